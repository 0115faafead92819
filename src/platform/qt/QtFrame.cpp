#include "platform/qt/QtFrame.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QGuiApplication>
#include <QShortcut>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QUrl>

#include "platform/qt/QtText.h"
#include "platform/ui/ResourceImages.h"
#include "resources/UiResources.h"

namespace fw::qt {

namespace {

// "prompt\ntip": the part for the status line or for the tool tip.
QString PromptPart(UINT id, int part) {
    const char* s = res::FindCommandPrompt(id);
    if (!s) return {};
    QString text = ToQ(s);
    QStringList parts = text.split(QLatin1Char('\n'));
    return part < parts.size() ? parts[part] : QString();
}

UINT CommandOf(const QAction* a) { return a->property(QtFrame::kCommandProperty).toUInt(); }

// A button picture with a washed-out grey form for an unavailable command:
// the style's own greying leaves thin black line drawings nearly as dark as
// they were.
QIcon ToolbarIcon(const QImage& picture) {
    QIcon icon(QPixmap::fromImage(picture));
    QImage grey = picture.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < grey.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(grey.scanLine(y));
        for (int x = 0; x < grey.width(); ++x) {
            const int level = 160 + qGray(line[x]) * 80 / 255;
            line[x] = qRgba(level, level, level, qAlpha(line[x]));
        }
    }
    icon.addPixmap(QPixmap::fromImage(grey), QIcon::Disabled);
    return icon;
}

QKeySequence KeyOf(const Accelerator& a) {
    int key = 0;
    if (a.key >= VK_F1 && a.key < VK_F1 + 24) key = Qt::Key_F1 + static_cast<int>(a.key - VK_F1);
    else key = static_cast<int>(a.key);  // 'A'..'Z' and '0'..'9' are Qt's key codes too
    int mods = 0;
    if (a.modifiers & FVIRTKEY_CTRL) mods |= Qt::CTRL;
    if (a.modifiers & FVIRTKEY_SHIFT) mods |= Qt::SHIFT;
    if (a.modifiers & FVIRTKEY_ALT) mods |= Qt::ALT;
    return QKeySequence(key | mods);
}

}  // namespace

QtFrame::QtFrame(FrameWnd& model) : model_(model) {
    setAttribute(Qt::WA_DeleteOnClose, false);
    setAcceptDrops(true);
    QImage icon = ToQImage(LoadIconImage(101));
    if (!icon.isNull()) setWindowIcon(QIcon(QPixmap::fromImage(icon)));
    area_ = new QMdiArea(this);
    area_->setViewMode(QMdiArea::SubWindowView);
    area_->setBackground(QColor(128, 128, 128));
    setCentralWidget(area_);
    toolBar_ = addToolBar(QStringLiteral("Standard"));
    toolBar_->setObjectName(QStringLiteral("Standard"));
    toolBar_->setIconSize(QSize(16, 15));
    BuildStatusBar();
}

QtFrame::~QtFrame() {
    if (!destroyed_) {
        destroyed_ = true;
        model_.DestroyWindow();
    }
}

void QtFrame::BuildMenu() {
    for (QAction* a : menuBar()->actions())
        if (a->menu()) a->menu()->deleteLater();
    menuBar()->clear();
    std::function<void(QMenu*, const std::vector<MenuItem>&)> fill = [&](QMenu* menu, const std::vector<MenuItem>& items) {
        for (const MenuItem& m : items) {
            if (m.kind == MenuItem::Separator) {
                menu->addSeparator();
            } else if (m.kind == MenuItem::Popup) {
                fill(menu->addMenu(ToQ(m.text)), m.items);
            } else {
                QAction* a = menu->addAction(ToQ(m.text));
                a->setProperty(kCommandProperty, m.id);
                a->setStatusTip(PromptPart(m.id, 0));
                // The item's command may change later (Start and Stop).
                connect(a, &QAction::triggered, this, [this, a] { model_.OnUserCommand(CommandOf(a)); });
                connect(a, &QAction::hovered, this, [this, a] { model_.ShowPrompt(CommandOf(a)); });
            }
        }
    };
    for (const MenuItem& top : model_.GetMenu().items) {
        if (top.kind != MenuItem::Popup) continue;
        QMenu* menu = menuBar()->addMenu(ToQ(top.text));
        fill(menu, top.items);
        // The menus' states are brought up to date as they open.
        connect(menu, &QMenu::aboutToShow, this, [this] { model_.UpdateCommandUI(); });
        connect(menu, &QMenu::aboutToHide, this, [this] { model_.SetMessageText(FrameWnd::IdleMessage()); });
    }
    ApplyCommandStates();
}

void QtFrame::BuildStatusBar() {
    for (QLabel* l : panes_) {
        statusBar()->removeWidget(l);
        delete l;
    }
    panes_.clear();
    const auto& panes = model_.GetStatusBar().Panes();
    for (size_t i = 0; i < panes.size(); ++i) {
        auto* l = new QLabel(statusBar());
        if (i == 0) {
            statusBar()->addWidget(l, 1);
        } else {
            l->setFrameStyle(QFrame::Panel | QFrame::Sunken);
            l->setMinimumWidth(l->fontMetrics().horizontalAdvance(ToQ(panes[i].widthText)) + 8);
            statusBar()->addPermanentWidget(l);
        }
        panes_.push_back(l);
        l->setText(ToQ(model_.GetStatusBar().DisplayedText(static_cast<int>(i))));
    }
}

QList<QAction*> QtFrame::MenuActions() const {
    QList<QAction*> out;
    std::function<void(QMenu*)> walk = [&](QMenu* m) {
        for (QAction* a : m->actions()) {
            if (a->menu()) walk(a->menu());
            else if (!a->isSeparator()) out << a;
        }
    };
    for (QAction* a : menuBar()->actions())
        if (a->menu()) walk(a->menu());
    return out;
}

QLabel* QtFrame::StatusPane(int index) const {
    return index >= 0 && index < static_cast<int>(panes_.size()) ? panes_[index] : nullptr;
}

QWidget* QtFrame::DesignWindow() const { return child_ ? child_->widget() : nullptr; }

void QtFrame::ApplyCommandStates() {
    for (QAction* a : MenuActions()) {
        const MenuItem* m = model_.GetMenu().FindCommand(a->property(kCommandProperty).toUInt());
        if (!m) continue;
        a->setEnabled(m->enabled);
        a->setCheckable(m->checked || a->isCheckable());
        a->setChecked(m->checked);
        QString text = ToQ(m->text);
        if (a->text() != text) a->setText(text);
    }
    const auto& buttons = model_.GetToolBar().Buttons();
    for (QAction* a : toolBar_->actions()) {
        QVariant index = a->property("pqButtonIndex");
        if (!index.isValid()) continue;
        int i = index.toInt();
        if (i < 0 || i >= static_cast<int>(buttons.size())) continue;
        a->setEnabled(buttons[i].enabled);
        a->setCheckable(buttons[i].checked || (buttons[i].style & TBBS_CHECKBOX));
        a->setChecked(buttons[i].checked);
    }
}

void QtFrame::TitleChanged() { setWindowTitle(ToQ(model_.GetWindowText())); }

void QtFrame::GeometryChanged() {
    // The model's rectangle is the whole window, title bar and border
    // included; Qt's geometry is the inside.
    Rect r = model_.GetWindowRect();
    QScreen* screen = QGuiApplication::primaryScreen();
    const QRect work = screen ? screen->availableGeometry() : QRect();
    if (screen && FromQRect(work) == r) {
        // Filling the work area is what a maximised window does: the window
        // manager keeps the title bar on the screen, and a restore gives a
        // normal window inside the work area.
        if (!isMaximized()) {
            QRect normal(QPoint(), work.size() * 3 / 4);
            normal.moveCenter(work.center());
            setGeometry(normal);
        }
        setWindowState(windowState() | Qt::WindowMaximized);
        // Without a window manager nothing maximises the window (and there is
        // no title bar): the window itself is then made to fill the work area.
        QTimer::singleShot(kWindowManagerGraceMs, this, [this] { FillWorkAreaWithoutWindowManager(); });
        return;
    }
    const QRect inside = geometry(), whole = frameGeometry();
    setGeometry(r.left + (inside.left() - whole.left()), r.top + (inside.top() - whole.top()),
                r.Width() - (whole.width() - inside.width()), r.Height() - (whole.height() - inside.height()));
}

void QtFrame::FillWorkAreaWithoutWindowManager() {
    QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen || !isVisible() || isMinimized() || !isMaximized()) return;
    const QRect work = screen->availableGeometry();
    const bool decorated = frameGeometry() != geometry();
    if (!decorated && geometry() != work) setGeometry(work);
}

void QtFrame::VisibilityChanged() {
    if (!model_.IsWindowVisible()) hide();
    else if (model_.IsIconic()) showMinimized();
    else show();
}

void QtFrame::Invalidate(bool) { update(); }

void QtFrame::UpdateNow() {
    repaint();
    statusBar()->repaint();
}

void QtFrame::BringToFront() {
    // Un-minimised into the state it had: a maximised window stays maximised.
    if (isMinimized()) setWindowState(windowState() & ~Qt::WindowMinimized);
    show();
    raise();
    activateWindow();
}

void QtFrame::Destroy() {
    if (destroyed_) return;
    destroyed_ = true;
    hide();
    deleteLater();
    // The frame is the program: when it goes, the loop ends.
    QCoreApplication::quit();
}

bool QtFrame::UpdateMenuInPlace() {
    std::vector<const MenuItem*> popups;
    for (const MenuItem& top : model_.GetMenu().items)
        if (top.kind == MenuItem::Popup) popups.push_back(&top);
    QList<QAction*> tops = menuBar()->actions();
    if (tops.size() != static_cast<qsizetype>(popups.size())) return false;
    std::function<bool(QMenu*, const std::vector<MenuItem>&)> update = [&](QMenu* menu, const std::vector<MenuItem>& items) {
        QList<QAction*> actions = menu->actions();
        if (actions.size() != static_cast<qsizetype>(items.size())) return false;
        for (size_t i = 0; i < items.size(); ++i) {
            QAction* a = actions[static_cast<qsizetype>(i)];
            const MenuItem& m = items[i];
            if (m.kind == MenuItem::Separator) {
                if (!a->isSeparator()) return false;
            } else if (m.kind == MenuItem::Popup) {
                if (!a->menu() || !update(a->menu(), m.items)) return false;
            } else {
                if (a->isSeparator() || a->menu()) return false;
                if (CommandOf(a) != m.id) {
                    a->setProperty(kCommandProperty, m.id);
                    a->setStatusTip(PromptPart(m.id, 0));
                }
            }
        }
        return true;
    };
    for (size_t i = 0; i < popups.size(); ++i) {
        QMenu* menu = tops[static_cast<qsizetype>(i)]->menu();
        if (!menu || !update(menu, popups[i]->items)) return false;
    }
    ApplyCommandStates();
    return true;
}

void QtFrame::MenuChanged() {
    // A command renamed in place keeps the menus (one may be open).
    if (UpdateMenuInPlace()) return;
    BuildMenu();
    for (QShortcut* s : shortcuts_) delete s;
    shortcuts_.clear();
    for (const Accelerator& a : model_.GetAccelerators()) {
        auto* s = new QShortcut(KeyOf(a), this);
        s->setContext(Qt::WindowShortcut);
        const UINT command = a.command;
        connect(s, &QShortcut::activated, this, [this, command] { model_.OnUserCommand(command); });
        shortcuts_.push_back(s);
    }
}

void QtFrame::CommandStatesChanged() { ApplyCommandStates(); }

void QtFrame::ToolBarChanged() {
    const ::fw::ToolBar& tb = model_.GetToolBar();
    const auto& buttons = tb.Buttons();
    auto iconOf = [&tb](const ToolButton& b) {
        if (b.image >= 0 && b.image < static_cast<int>(tb.Images().size()))
            return ToolbarIcon(ToQImage(tb.Images()[b.image]));
        return QIcon();
    };
    QList<QAction*> existing = toolBar_->actions();
    bool sameShape = existing.size() == static_cast<qsizetype>(buttons.size());
    for (size_t i = 0; sameShape && i < buttons.size(); ++i)
        sameShape = existing[static_cast<qsizetype>(i)]->isSeparator() == ((buttons[i].style & TBBS_SEPARATOR) != 0);
    if (sameShape) {
        // A button's command or picture changed (Start and Stop).
        for (size_t i = 0; i < buttons.size(); ++i) {
            const ToolButton& b = buttons[i];
            QAction* a = existing[static_cast<qsizetype>(i)];
            if (a->isSeparator() || CommandOf(a) == b.id) continue;
            a->setProperty(kCommandProperty, b.id);
            a->setIcon(iconOf(b));
            a->setText(PromptPart(b.id, 1));
            a->setToolTip(PromptPart(b.id, 1));
            a->setStatusTip(PromptPart(b.id, 0));
        }
        ApplyCommandStates();
        return;
    }
    for (QAction* a : existing) {
        toolBar_->removeAction(a);
        a->deleteLater();
    }
    for (size_t i = 0; i < buttons.size(); ++i) {
        const ToolButton& b = buttons[i];
        if (b.style & TBBS_SEPARATOR) {
            toolBar_->addSeparator();
            continue;
        }
        QAction* a = toolBar_->addAction(iconOf(b), PromptPart(b.id, 1));
        a->setProperty(kCommandProperty, b.id);
        a->setProperty("pqButtonIndex", static_cast<int>(i));
        a->setToolTip(PromptPart(b.id, 1));
        a->setStatusTip(PromptPart(b.id, 0));
        connect(a, &QAction::triggered, this, [this, a] { model_.OnUserCommand(CommandOf(a)); });
    }
    ApplyCommandStates();
}

void QtFrame::StatusPaneChanged(int index) {
    if (static_cast<int>(panes_.size()) != model_.GetStatusBar().GetCount()) {
        BuildStatusBar();
        return;
    }
    if (QLabel* l = StatusPane(index)) l->setText(ToQ(model_.GetStatusBar().DisplayedText(index)));
}

void QtFrame::ControlBarsChanged() {
    toolBar_->setVisible(model_.GetToolBar().visible);
    statusBar()->setVisible(model_.GetStatusBar().visible);
}

void QtFrame::WakeForPosts() {
    QMetaObject::invokeMethod(
        this, [this] { model_.DrainPostedMessages(); }, Qt::QueuedConnection);
}

void QtFrame::ChildChanged() {
    if (!model_.HasChild()) {
        if (child_) {
            // Forgotten at once: a new design may come before the old
            // window is deleted.
            QMdiSubWindow* old = child_;
            child_ = nullptr;
            area_->removeSubWindow(old);
            old->deleteLater();
        }
        return;
    }
    if (!child_) {
        auto* view = new QWidget;
        view->setAutoFillBackground(true);
        QPalette p = view->palette();
        p.setColor(QPalette::Window, Qt::white);
        view->setPalette(p);
        // The design's window is always maximised: no frame of its own,
        // its title is in the main window's.
        child_ = area_->addSubWindow(view, Qt::SubWindow | Qt::FramelessWindowHint);
        child_->showMaximized();
    }
    // The design's title is part of the main window's (the model composes it);
    // a maximised child with a title of its own would add it a second time.
    child_->setWindowTitle(QString());
}

void QtFrame::closeEvent(QCloseEvent* e) {
    if (destroyed_) {
        e->accept();
        return;
    }
    // The frame's own exit path asks about the design and then destroys it.
    e->ignore();
    model_.OnUserCommand(ID_APP_EXIT);
}

void QtFrame::dragEnterEvent(QDragEnterEvent* e) {
    if (model_.AcceptsFiles() && e->mimeData()->hasUrls()) e->acceptProposedAction();
}

void QtFrame::dropEvent(QDropEvent* e) {
    std::vector<std::string> paths;
    for (const QUrl& u : e->mimeData()->urls())
        if (u.isLocalFile()) paths.push_back(PathFromQ(u.toLocalFile()));
    if (!paths.empty()) {
        e->acceptProposedAction();
        model_.OnDropFiles(paths);
    }
}

}  // namespace fw::qt
