#include "platform/qt/QtChart.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QVBoxLayout>
#include <cmath>

#include "graphs/GraphPageRun.h"
#include "platform/qt/QtCanvas.h"
#include "platform/qt/QtText.h"

namespace fw::qt {

namespace {

QColor ToQColor(fw::Color c) { return QColor(c.r, c.g, c.b); }

}  // namespace

QFont QtChartSurface::FontOf(const chart::TextStyle& style) const {
    fw::Font f;
    f.face = "Arial";
    f.height = std::max(6, (style.points * dpi_ + 36) / 72);
    f.weight = style.bold ? 700 : 400;
    return ToQFont(f, f.height);
}

void QtChartSurface::Fill(const fw::Rect& r, fw::Color c) { p_.fillRect(ToQRect(r), ToQColor(c)); }

void QtChartSurface::Lines(const std::vector<chart::Segment>& lines, fw::Color c, int width, bool dotted) {
    if (lines.empty()) return;
    QPen pen(ToQColor(c));
    pen.setWidth(std::max(1, width));
    pen.setCapStyle(Qt::FlatCap);
    pen.setStyle(dotted ? Qt::DotLine : Qt::SolidLine);
    p_.setPen(pen);
    lines_.clear();
    for (const chart::Segment& s : lines) {
        // Whole pixels, as on any canvas: a stroke shorter than a pixel is
        // still a dot, never nothing.
        const double x0 = std::round(s.x0), y0 = std::round(s.y0), x1 = std::round(s.x1), y1 = std::round(s.y1);
        if (x0 == x1 && y0 == y1) {
            p_.fillRect(QRectF(x0, y0, width, width), ToQColor(c));
            continue;
        }
        // Pixel centres: a one-pixel line lands on one row or column.
        lines_.emplace_back(x0 + 0.5, y0 + 0.5, x1 + 0.5, y1 + 0.5);
    }
    p_.drawLines(lines_.data(), static_cast<int>(lines_.size()));
}

void QtChartSurface::Text(int x, int y, const std::string& text, const chart::TextStyle& style, unsigned align) {
    if (text.empty()) return;
    const QFont font = FontOf(style);
    const QFontMetrics fm(font, p_.device());
    const QString q = ToQ(text);
    const int w = fm.horizontalAdvance(q), h = fm.height();
    if (align & chart::kCenter) x -= w / 2;
    else if (align & chart::kRight) x -= w;
    if (align & chart::kMiddle) y -= h / 2;
    else if (align & chart::kBottom) y -= h;
    p_.setFont(font);
    p_.setPen(ToQColor(style.color));
    p_.drawText(x, y + fm.ascent(), q);
}

void QtChartSurface::VerticalText(int x, int y, const std::string& text, const chart::TextStyle& style) {
    if (text.empty()) return;
    const QFont font = FontOf(style);
    const QFontMetrics fm(font, p_.device());
    const QString q = ToQ(text);
    p_.save();
    p_.translate(x, y);
    p_.rotate(-90.0);
    p_.setFont(font);
    p_.setPen(ToQColor(style.color));
    p_.drawText(-fm.horizontalAdvance(q) / 2, -fm.height() / 2 + fm.ascent(), q);
    p_.restore();
}

fw::Size QtChartSurface::Measure(const std::string& text, const chart::TextStyle& style) {
    const QFontMetrics fm(FontOf(style), p_.device());
    return {fm.horizontalAdvance(ToQ(text)), fm.height()};
}

// ---------------------------------------------------------------------------

QtGraphPageWidget::QtGraphPageWidget(CGraphPage& page, QWidget* parent) : QWidget(parent), page_(page) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setMinimumSize(100, 100);
}

void QtGraphPageWidget::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QtChartSurface surface(painter, logicalDpiY());
    page_.Paint(surface, {width(), height()});
}

void QtGraphPageWidget::resizeEvent(QResizeEvent*) { page_.SetSize({width(), height()}); }

namespace {

fw::Point PointOf(const QMouseEvent* e) {
    return {static_cast<int>(std::floor(e->position().x())), static_cast<int>(std::floor(e->position().y()))};
}

bool Ctrl(const QMouseEvent* e) { return (e->modifiers() & Qt::ControlModifier) != 0; }

}  // namespace

void QtGraphPageWidget::mousePressEvent(QMouseEvent* e) {
    setFocus(Qt::MouseFocusReason);
    switch (e->button()) {
    case Qt::LeftButton: page_.OnMouse(GraphMouse::LeftDown, PointOf(e), Ctrl(e)); break;
    case Qt::RightButton: page_.OnMouse(GraphMouse::RightDown, PointOf(e), Ctrl(e)); break;
    case Qt::MiddleButton: page_.OnMouse(GraphMouse::MiddleDown, PointOf(e), Ctrl(e)); break;
    default: break;
    }
}

void QtGraphPageWidget::mouseReleaseEvent(QMouseEvent* e) {
    switch (e->button()) {
    case Qt::LeftButton: page_.OnMouse(GraphMouse::LeftUp, PointOf(e), Ctrl(e)); break;
    case Qt::MiddleButton: page_.OnMouse(GraphMouse::MiddleUp, PointOf(e), Ctrl(e)); break;
    default: break;
    }
}

void QtGraphPageWidget::mouseDoubleClickEvent(QMouseEvent* e) {
    switch (e->button()) {
    case Qt::LeftButton: page_.OnMouse(GraphMouse::LeftDown, PointOf(e), Ctrl(e)); break;
    case Qt::RightButton: page_.OnMouse(GraphMouse::RightDoubleClick, PointOf(e), Ctrl(e)); break;
    case Qt::MiddleButton: page_.OnMouse(GraphMouse::MiddleDown, PointOf(e), Ctrl(e)); break;
    default: break;
    }
}

void QtGraphPageWidget::mouseMoveEvent(QMouseEvent* e) { page_.OnMouse(GraphMouse::Move, PointOf(e), Ctrl(e)); }

void QtGraphPageWidget::keyPressEvent(QKeyEvent* e) {
    // Typed characters only; keys that type nothing (Shift, arrows) are not
    // the page's.
    if (e->key() == Qt::Key_Tab) page_.OnChar(9);
    else if (e->key() == Qt::Key_Escape) page_.OnChar(27);
    else if (!e->text().isEmpty()) page_.OnChar(e->text().at(0).unicode());
    else QWidget::keyPressEvent(e);
}

bool QtGraphPageWidget::focusNextPrevChild(bool) { return false; }

QtGraphPageWindow::~QtGraphPageWindow() { delete widget_.data(); }

void QtGraphPageWindow::Invalidate() {
    if (widget_) widget_->update();
}

std::unique_ptr<QtGraphPageWindow> MakeGraphPageWindow(CGraphPage& page, QWidget* parent) {
    auto* widget = new QtGraphPageWidget(page, parent);
    if (parent) {
        if (!parent->layout()) {
            auto* layout = new QVBoxLayout(parent);
            layout->setContentsMargins(0, 0, 0, 0);
        }
        parent->layout()->addWidget(widget);
        widget->show();
    }
    page.SetSize({widget->width(), widget->height()});
    return std::make_unique<QtGraphPageWindow>(widget);
}

void InstallChartDevices() {
    ChartDevices d;
    d.surfaceFor = [](fw::Canvas& dc) -> std::unique_ptr<chart::ChartSurface> {
        auto* canvas = dynamic_cast<QtCanvas*>(&dc);
        if (!canvas) return nullptr;
        return std::make_unique<QtChartSurface>(canvas->Painter(), dc.PixelsPerInchY());
    };
    d.renderImage = [](fw::Size size, const std::function<void(chart::ChartSurface&)>& paint, fw::Image& out) {
        if (size.cx <= 0 || size.cy <= 0) return false;
        QImage image(size.cx, size.cy, QImage::Format_ARGB32_Premultiplied);
        if (image.isNull()) return false;
        image.fill(Qt::white);
        QPainter painter(&image);
        QtChartSurface surface(painter, 96);
        paint(surface);
        painter.end();
        out = FromQImage(image);
        return !out.IsNull();
    };
    SetChartDevices(d);
}

void InstallGraphPageWindows(std::function<QWidget*()> designWindow) {
    CRunGraphPage::SetWindowFactory(
        [designWindow = std::move(designWindow)](CGraphPage& page) -> std::unique_ptr<CGraphPageWindow> {
            QWidget* parent = designWindow ? designWindow() : nullptr;
            if (!parent) return nullptr;
            return MakeGraphPageWindow(page, parent);
        });
}

void UninstallGraphPageWindows() { CRunGraphPage::SetWindowFactory(nullptr); }

}  // namespace fw::qt
