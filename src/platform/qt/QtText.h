// Text and pictures at the border to Qt: the program's 8-bit Windows-1252
// strings and fw::Image on one side, QString and QImage on the other.
#pragma once

#include <QImage>
#include <QString>
#include <string>

#include "platform/ui/Geometry.h"
#include "platform/ui/Image.h"

namespace fw::qt {

QString ToQ(const std::string& text);
// Characters outside Windows-1252 become '?'.
std::string FromQ(const QString& text);
// File paths are the system's own bytes, not Windows-1252 text.
QString PathToQ(const std::string& path);
std::string PathFromQ(const QString& path);
QImage ToQImage(const Image& image);
Image FromQImage(const QImage& image);
inline QRect ToQRect(const Rect& r) { return QRect(r.left, r.top, r.Width(), r.Height()); }
inline Rect FromQRect(const QRect& r) { return Rect::FromXYWH(r.x(), r.y(), r.width(), r.height()); }

}  // namespace fw::qt
