#include "platform/qt/QtCanvas.h"

#include <QFontMetrics>
#include <algorithm>

#include "platform/qt/QtText.h"

namespace fw::qt {

QFont ToQFont(const Font& f, int defaultPixelHeight) {
    QString face = ToQ(f.face);
    if (face.compare(QLatin1String("Arial"), Qt::CaseInsensitive) == 0) face = QStringLiteral("Liberation Sans");
    QFont q(face);
    q.setPixelSize(f.height > 0 ? f.height : (f.height < 0 ? -f.height : defaultPixelHeight));
    int w = f.weight <= 0 ? 400 : f.weight;
    q.setWeight(static_cast<QFont::Weight>(std::clamp(w, 100, 900)));
    q.setItalic(f.italic);
    q.setUnderline(f.underline);
    q.setStyleStrategy(QFont::PreferAntialias);
    return q;
}

QtCanvas::QtCanvas(QPainter& painter, Size device, int dpiX, int dpiY, QImage* backing)
    : p_(painter), device_(device), dpiX_(dpiX), dpiY_(dpiY), backing_(backing) {
    // The default text height is about 8 points at the device's resolution.
    defaultHeight_ = std::max(8, dpiY * 11 / 96);
    OnStateChanged();
}

void QtCanvas::OnStateChanged() {
    font_ = ToQFont(state_.font, defaultHeight_);
    p_.setFont(font_);
}

QPen QtCanvas::MakePen() const {
    const Pen& pen = state_.pen;
    if (pen.style == Pen::Null) return QPen(Qt::NoPen);
    QPen q(QColor(pen.color.r, pen.color.g, pen.color.b));
    q.setWidth(std::max(1, pen.width));
    q.setStyle(pen.style == Pen::Dash ? Qt::DashLine : pen.style == Pen::Dot ? Qt::DotLine : Qt::SolidLine);
    q.setCapStyle(Qt::FlatCap);
    q.setJoinStyle(Qt::MiterJoin);
    return q;
}

Size QtCanvas::GetTextExtent(const std::string& text) {
    QFontMetrics fm(font_, p_.device());
    return {fm.horizontalAdvance(ToQ(text)), fm.height()};
}

TextMetrics QtCanvas::GetTextMetrics() {
    QFontMetrics fm(font_, p_.device());
    TextMetrics tm;
    tm.height = fm.height();
    tm.ascent = fm.ascent();
    tm.descent = fm.descent();
    tm.aveCharWidth = fm.averageCharWidth();
    tm.externalLeading = std::max(0, fm.leading());
    return tm;
}

bool QtCanvas::GrabArea(const Rect& area, Image& out) {
    if (!backing_ || area.IsEmpty()) return false;
    out = FromQImage(backing_->copy(ToQRect(area)));
    return true;
}

void QtCanvas::DoLine(Point from, Point to) {
    p_.setPen(MakePen());
    p_.drawLine(from.x, from.y, to.x, to.y);
}

void QtCanvas::DoRectangle(const Rect& r) {
    // The outline lies inside the rectangle, whose right and bottom edges
    // are outside it.
    const Pen& pen = state_.pen;
    int w = pen.style == Pen::Null ? 0 : std::max(1, pen.width);
    if (!state_.brush.null)
        p_.fillRect(QRect(r.left, r.top, r.Width(), r.Height()),
                    QColor(state_.brush.color.r, state_.brush.color.g, state_.brush.color.b));
    if (w == 0) return;
    QColor c(pen.color.r, pen.color.g, pen.color.b);
    p_.fillRect(QRect(r.left, r.top, r.Width(), w), c);
    p_.fillRect(QRect(r.left, r.bottom - w, r.Width(), w), c);
    p_.fillRect(QRect(r.left, r.top, w, r.Height()), c);
    p_.fillRect(QRect(r.right - w, r.top, w, r.Height()), c);
}

void QtCanvas::DoFillRect(const Rect& r, Color c) {
    p_.fillRect(QRect(r.left, r.top, r.Width(), r.Height()), QColor(c.r, c.g, c.b));
}

void QtCanvas::DoText(int x, int y, const std::string& text) {
    p_.setPen(QColor(state_.textColor.r, state_.textColor.g, state_.textColor.b));
    QFontMetrics fm(font_, p_.device());
    p_.drawText(x, y + fm.ascent(), ToQ(text));
}

void QtCanvas::DoDrawImage(const Image& image, const Rect& dest, const Rect& source) {
    if (image.IsNull() || dest.IsEmpty()) return;
    if (dest.Width() == source.Width() && dest.Height() == source.Height()) {
        p_.drawImage(ToQRect(dest), ToQImage(image), ToQRect(source));
        return;
    }
    // A line drawing shrunk by sampling loses its thin lines: average it down instead.
    const QImage part = ToQImage(image).copy(ToQRect(source));
    p_.drawImage(ToQRect(dest).topLeft(),
                 part.scaled(dest.Width(), dest.Height(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
}

void QtCanvas::DoClip(const Rect* clip) {
    if (clip) p_.setClipRect(ToQRect(*clip));
    else p_.setClipping(false);
}

}  // namespace fw::qt
