#include "platform/qt/QtDialog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFontMetrics>
#include <QFrame>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>

#include "platform/qt/QtCanvas.h"
#include "platform/qt/QtText.h"

namespace fw::qt {

namespace {

constexpr const char* kIdProperty = "pqControlId";

// Static texts show "&" as the access-key mark unless told otherwise.
QString LabelText(const std::string& text, unsigned style) {
    if (style & kNoPrefix) return ToQ(text);
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '&' && i + 1 < text.size()) ++i;
        out += text[i];
    }
    return ToQ(out);
}

// Multi-line fields keep "\r\n" line ends in the model.
QString EditToQ(const std::string& text) {
    std::string out;
    for (size_t i = 0; i < text.size(); ++i)
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) out += text[i];
    return ToQ(out);
}

std::string EditFromQ(const QString& text) {
    std::string in = FromQ(text), out;
    for (char c : in) {
        if (c == '\n') out += '\r';
        out += c;
    }
    return out;
}

UINT MouseFlags(const QMouseEvent* e) {
    UINT f = 0;
    if (e->buttons() & Qt::LeftButton) f |= MK_LBUTTON;
    if (e->buttons() & Qt::RightButton) f |= MK_RBUTTON;
    if (e->modifiers() & Qt::ShiftModifier) f |= MK_SHIFT;
    if (e->modifiers() & Qt::ControlModifier) f |= MK_CONTROL;
    return f;
}

// An owner-drawn button: the dialog draws it. It does not erase its
// background: it is drawn over what the dialog shows beneath it.
class OwnerDrawButton : public QAbstractButton {
public:
    OwnerDrawButton(Dialog& model, int id, QWidget* parent) : QAbstractButton(parent), model_(model), id_(id) {
        setMouseTracking(true);
    }

protected:
    // The dialog decides the cursor over its drawn buttons (a picture that
    // opens on a click shows the hand): it sees the moves in its own client
    // pixels, and the button shows the dialog's cursor.
    void mouseMoveEvent(QMouseEvent* e) override {
        const QPoint at = mapToParent(e->position().toPoint());
        model_.UserMouse(MouseEvent::Move, {at.x(), at.y()}, MouseFlags(e));
        QAbstractButton::mouseMoveEvent(e);
        e->accept();
    }
    void paintEvent(QPaintEvent*) override {
        QImage buffer(size(), QImage::Format_ARGB32_Premultiplied);
        buffer.fill(parentWidget() ? parentWidget()->palette().color(QPalette::Window) : Qt::lightGray);
        {
            QPainter p(&buffer);
            QtCanvas canvas(p, {width(), height()}, logicalDpiX(), logicalDpiY(), &buffer);
            model_.OnDrawItem(id_, canvas, Rect{0, 0, width(), height()});
        }
        QPainter(this).drawImage(0, 0, buffer);
    }

private:
    Dialog& model_;
    int id_;
};

// A group box as the forms are laid out for: the title sits on the frame's
// top line, so that the first row of controls a form puts below the title
// lies inside the frame (a style that puts the title above the frame would
// run its top line through that row).
class FormGroupBox : public QGroupBox {
public:
    explicit FormGroupBox(QWidget* parent) : QGroupBox(parent) {}

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        const QFontMetrics fm(font());
        const int top = fm.height() / 2;
        const QRect frame(0, top, width() - 2, height() - top - 2);
        p.setPen(palette().color(QPalette::Mid));
        p.drawRect(frame);
        p.setPen(palette().color(QPalette::Light));
        p.drawRect(frame.translated(1, 1));
        const QString text = title();
        if (text.isEmpty()) return;
        const QRect label(6, 0, std::min(fm.horizontalAdvance(text) + 4, width() - 8), fm.height());
        p.fillRect(label, palette().brush(QPalette::Window));
        p.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
        p.drawText(label, Qt::AlignCenter | Qt::TextSingleLine, text);
    }
};

}  // namespace

QFont DialogFont() {
    QFont f(QStringLiteral("Liberation Sans"));
    f.setPixelSize(11);
    return f;
}

DialogUnits DialogBaseUnitsOf(const QFont& font) {
    QFontMetrics fm(font);
    int width52 = fm.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    return {(width52 / 26 + 1) / 2, fm.height()};
}

QtDialog::QtDialog(Dialog& model, QWidget* parent, bool modal) : QDialog(parent), model_(model), modal_(modal) {
    setFont(DialogFont());
    const FormTable* form = model_.GetForm();
    bool noCaption = form && (form->style & kFormNoCaption);
    Qt::WindowFlags flags = modal ? Qt::Dialog : (noCaption ? Qt::Tool : Qt::Dialog);
    if (noCaption) flags |= Qt::FramelessWindowHint;
    else flags |= Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint;
    setWindowFlags(flags);
    setModal(modal);
    if (!modal) setAttribute(Qt::WA_ShowWithoutActivating);
    setMouseTracking(true);

    model_.BuildControls(DialogBaseUnitsOf(font()), {0, 0}, {0, 0});
    BuildWidgets();
    model_.AttachDialogHost(this);
    setWindowTitle(ToQ(model_.GetWindowText()));
    GeometryChanged();
    focusConnection_ =
        connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) { OnFocusChanged(now); });

    model_.InitDialog();
    for (const auto& c : model_.Controls()) SyncControl(*c);
    if (model_.GetFocusId()) FocusChanged(model_.GetFocusId());
}

QtDialog::~QtDialog() {
    // The widgets that go with this window move the focus as they go.
    disconnect(focusConnection_);
    if (!destroyed_) {
        destroyed_ = true;
        model_.DestroyWindow();
    }
}

void QtDialog::BuildWidgets() {
    for (const auto& cp : model_.Controls()) {
        const Control& c = *cp;
        const int id = c.GetDlgCtrlID();
        const unsigned style = c.GetStyle();
        QWidget* w = nullptr;
        switch (c.GetKind()) {
        case ControlKind::Static: {
            auto* l = new QLabel(this);
            Qt::Alignment a = (style & kCenter) ? Qt::AlignHCenter : (style & kRight) ? Qt::AlignRight : Qt::AlignLeft;
            l->setAlignment(a | Qt::AlignTop);
            l->setWordWrap(c.GetRect().Height() > QFontMetrics(font()).height() * 3 / 2);
            if (style & kSunken) l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
            w = l;
            break;
        }
        case ControlKind::EtchedLine: {
            auto* f = new QFrame(this);
            f->setFrameShape(c.GetRect().Width() >= c.GetRect().Height() ? QFrame::HLine : QFrame::VLine);
            f->setFrameShadow(QFrame::Sunken);
            w = f;
            break;
        }
        case ControlKind::GroupBox:
            w = new FormGroupBox(this);
            break;
        case ControlKind::Edit:
            if (style & kMultiLine) {
                auto* e = new QPlainTextEdit(this);
                e->setReadOnly(style & kReadOnly);
                e->setTabChangesFocus(true);
                connect(e, &QPlainTextEdit::textChanged, this, [this, e, id] {
                    if (!syncing_) model_.UserTyped(id, EditFromQ(e->toPlainText()));
                });
                w = e;
            } else {
                auto* e = new QLineEdit(this);
                e->setReadOnly(style & kReadOnly);
                e->setAlignment((style & kRight) ? Qt::AlignRight : (style & kCenter) ? Qt::AlignHCenter : Qt::AlignLeft);
                connect(e, &QLineEdit::textEdited, this, [this, id](const QString& t) {
                    if (!syncing_) model_.UserTyped(id, FromQ(t));
                });
                w = e;
            }
            break;
        case ControlKind::PushButton:
        case ControlKind::DefPushButton: {
            auto* b = new QPushButton(this);
            // Enter is the dialog model's business, not the button's.
            b->setAutoDefault(false);
            b->setDefault(false);
            connect(b, &QPushButton::clicked, this, [this, id] { model_.UserClicked(id); });
            w = b;
            break;
        }
        case ControlKind::CheckBox: {
            auto* b = new QCheckBox(this);
            connect(b, &QCheckBox::clicked, this, [this, id] { model_.UserClicked(id); });
            w = b;
            break;
        }
        case ControlKind::RadioButton: {
            auto* b = new QRadioButton(this);
            // The model keeps the groups; Qt would join every radio button
            // of the window into one.
            b->setAutoExclusive(false);
            connect(b, &QRadioButton::clicked, this, [this, id] { model_.UserClicked(id); });
            w = b;
            break;
        }
        case ControlKind::ComboBox: {
            auto* cb = new QComboBox(this);
            cb->setEditable(style & kDropDown);
            connect(cb, &QComboBox::activated, this, [this, id](int i) { model_.UserSelected(id, i); });
            if (style & kDropDown)
                connect(cb, &QComboBox::editTextChanged, this, [this, id](const QString& t) {
                    if (!syncing_) model_.UserTyped(id, FromQ(t));
                });
            w = cb;
            break;
        }
        case ControlKind::ListBox: {
            auto* lb = new QListWidget(this);
            connect(lb, &QListWidget::currentRowChanged, this, [this, id](int row) {
                if (!syncing_) model_.UserSelected(id, row);
            });
            connect(lb, &QListWidget::itemDoubleClicked, this, [this, id] { model_.UserDoubleClicked(id); });
            w = lb;
            break;
        }
        case ControlKind::OwnerDrawButton: {
            auto* b = new OwnerDrawButton(model_, id, this);
            connect(b, &QAbstractButton::clicked, this, [this, id] { model_.UserClicked(id); });
            w = b;
            break;
        }
        }
        w->setProperty(kIdProperty, id);
        QRect r = ToQRect(c.GetRect());
        if (c.GetKind() == ControlKind::ComboBox) r.setHeight(std::min(r.height(), w->sizeHint().height()));
        w->setGeometry(r);
        if (c.GetKind() == ControlKind::GroupBox) w->lower();
        if (id != IDC_STATIC) widgets_[id] = w;
        all_.push_back(w);
        SyncControl(c);
    }
}

QWidget* QtDialog::ControlWidget(int id) const {
    auto it = widgets_.find(id);
    return it == widgets_.end() ? nullptr : it->second;
}

int QtDialog::IdOf(QWidget* w) const {
    for (; w && w != this; w = w->parentWidget()) {
        QVariant v = w->property(kIdProperty);
        if (v.isValid()) return v.toInt();
    }
    return 0;
}

void QtDialog::SyncControl(const Control& c) {
    QWidget* w = nullptr;
    const auto& controls = model_.Controls();
    for (size_t i = 0; i < controls.size() && i < all_.size(); ++i)
        if (controls[i].get() == &c) w = all_[i];
    if (!w) return;
    syncing_ = true;
    w->setEnabled(c.IsWindowEnabled());
    w->setVisible(c.IsWindowVisible());
    const QString text = ToQ(c.GetWindowText());
    if (auto* l = qobject_cast<QLabel*>(w)) {
        l->setText(LabelText(c.GetWindowText(), c.GetStyle()));
    } else if (auto* e = qobject_cast<QLineEdit*>(w)) {
        if (e->text() != text) e->setText(text);
        e->setMaxLength(c.GetLimitText() > 0 ? c.GetLimitText() : 32767);
    } else if (auto* pe = qobject_cast<QPlainTextEdit*>(w)) {
        QString t = EditToQ(c.GetWindowText());
        if (pe->toPlainText() != t) pe->setPlainText(t);
    } else if (auto* g = qobject_cast<QGroupBox*>(w)) {
        g->setTitle(text);
    } else if (auto* cb = qobject_cast<QComboBox*>(w)) {
        QStringList rows;
        for (const auto& r : c.Rows()) rows << ToQ(r);
        QStringList have;
        for (int i = 0; i < cb->count(); ++i) have << cb->itemText(i);
        if (rows != have) {
            cb->clear();
            cb->addItems(rows);
        }
        cb->setCurrentIndex(c.GetCurSel());
        if (cb->isEditable() && cb->currentText() != text) cb->setEditText(text);
    } else if (auto* lb = qobject_cast<QListWidget*>(w)) {
        QStringList rows;
        for (const auto& r : c.Rows()) rows << ToQ(r);
        QStringList have;
        for (int i = 0; i < lb->count(); ++i) have << lb->item(i)->text();
        if (rows != have) {
            lb->clear();
            lb->addItems(rows);
        }
        lb->setCurrentRow(c.GetCurSel());
    } else if (auto* b = qobject_cast<QAbstractButton*>(w)) {
        if (c.GetKind() != ControlKind::OwnerDrawButton) b->setText(text);
        if (c.GetKind() == ControlKind::CheckBox || c.GetKind() == ControlKind::RadioButton) {
            b->setCheckable(true);
            b->setChecked(c.GetCheck() != 0);
        }
        b->update();
    }
    syncing_ = false;
}

void QtDialog::OnFocusChanged(QWidget* now) {
    if (destroyed_ || !now || now->window() != this) return;
    int id = IdOf(now);
    if (id && id != model_.GetFocusId()) model_.UserFocus(id);
}

void QtDialog::TitleChanged() { setWindowTitle(ToQ(model_.GetWindowText())); }

void QtDialog::GeometryChanged() {
    Rect r = model_.GetWindowRect();
    move(r.left, r.top);
    setFixedSize(std::max(1, r.Width()), std::max(1, r.Height()));
}

void QtDialog::VisibilityChanged() {
    if (!model_.IsWindowVisible()) hide();
    else if (model_.IsIconic()) showMinimized();
    else show();
}

void QtDialog::Invalidate(bool) { update(); }

void QtDialog::UpdateNow() { repaint(); }

void QtDialog::CursorChanged() {
    switch (model_.GetCursor()) {
    case CursorKind::Hand: setCursor(Qt::PointingHandCursor); break;
    case CursorKind::Wait: setCursor(Qt::WaitCursor); break;
    default: setCursor(Qt::ArrowCursor); break;
    }
}

void QtDialog::BringToFront() {
    raise();
    activateWindow();
}

void QtDialog::Destroy() {
    if (destroyed_) return;
    destroyed_ = true;
    hide();
    if (!modal_) deleteLater();
}

void QtDialog::ControlChanged(int id) {
    if (const Control* c = model_.GetDlgItem(id)) SyncControl(*c);
}

void QtDialog::ControlGeometryChanged(int id) {
    const Control* c = model_.GetDlgItem(id);
    QWidget* w = ControlWidget(id);
    if (c && w) w->setGeometry(ToQRect(c->GetRect()));
}

void QtDialog::FocusChanged(int id) {
    QWidget* w = ControlWidget(id);
    if (!w) return;
    w->setFocus(Qt::OtherFocusReason);
    if (auto* e = qobject_cast<QLineEdit*>(w)) e->selectAll();
}

void QtDialog::EndModal(int result) {
    if (modal_) QDialog::done(result);
    else hide();
}

void QtDialog::keyPressEvent(QKeyEvent* e) {
    if (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) {
        if (auto* pe = qobject_cast<QPlainTextEdit*>(focusWidget())) {
            const Control* c = model_.GetDlgItem(IdOf(pe));
            if (c && (c->GetStyle() & kWantReturn)) return;
        }
        e->accept();
        model_.UserPressedEnter();
        return;
    }
    if (e->key() == Qt::Key_Escape) {
        e->accept();
        model_.UserPressedEscape();
        return;
    }
    QDialog::keyPressEvent(e);
}

void QtDialog::reject() {
    if (!model_.IsEnded()) model_.UserPressedEscape();
}

void QtDialog::closeEvent(QCloseEvent* e) {
    e->ignore();
    if (!destroyed_ && !model_.IsEnded()) model_.UserPressedEscape();
}

void QtDialog::paintEvent(QPaintEvent* e) {
    QDialog::paintEvent(e);
    QPainter p(this);
    QtCanvas canvas(p, {width(), height()}, logicalDpiX(), logicalDpiY());
    model_.OnPaint(canvas);
}

void QtDialog::mousePressEvent(QMouseEvent* e) {
    Point pt{e->position().toPoint().x(), e->position().toPoint().y()};
    if (e->button() == Qt::LeftButton) model_.UserMouse(MouseEvent::LButtonDown, pt, MouseFlags(e));
    else if (e->button() == Qt::RightButton) model_.UserMouse(MouseEvent::RButtonDown, pt, MouseFlags(e));
}

void QtDialog::mouseReleaseEvent(QMouseEvent* e) {
    Point pt{e->position().toPoint().x(), e->position().toPoint().y()};
    if (e->button() == Qt::LeftButton) model_.UserMouse(MouseEvent::LButtonUp, pt, MouseFlags(e));
    else if (e->button() == Qt::RightButton) model_.UserMouse(MouseEvent::RButtonUp, pt, MouseFlags(e));
}

void QtDialog::mouseDoubleClickEvent(QMouseEvent* e) {
    Point pt{e->position().toPoint().x(), e->position().toPoint().y()};
    if (e->button() == Qt::LeftButton) model_.UserMouse(MouseEvent::LButtonDblClk, pt, MouseFlags(e));
}

void QtDialog::mouseMoveEvent(QMouseEvent* e) {
    Point pt{e->position().toPoint().x(), e->position().toPoint().y()};
    model_.UserMouse(MouseEvent::Move, pt, MouseFlags(e));
}

}  // namespace fw::qt
