#include "platform/qt/QtText.h"

#include <QFile>

namespace fw::qt {

namespace {

// 0x80 to 0x9F of Windows-1252; 0 where the code is unused.
constexpr char16_t kHigh[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

}  // namespace

QString ToQ(const std::string& text) {
    QString out;
    out.reserve(static_cast<qsizetype>(text.size()));
    for (unsigned char c : text) {
        if (c >= 0x80 && c <= 0x9F) out.append(QChar(kHigh[c - 0x80] ? kHigh[c - 0x80] : u'?'));
        else out.append(QChar(static_cast<char16_t>(c)));
    }
    return out;
}

std::string FromQ(const QString& text) {
    std::string out;
    out.reserve(static_cast<size_t>(text.size()));
    for (QChar qc : text) {
        char16_t u = qc.unicode();
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
            out += static_cast<char>(u);
            continue;
        }
        char c = '?';
        for (int i = 0; i < 32; ++i)
            if (kHigh[i] && kHigh[i] == u) c = static_cast<char>(0x80 + i);
        out += c;
    }
    return out;
}

QString PathToQ(const std::string& path) { return QFile::decodeName(QByteArray::fromStdString(path)); }

std::string PathFromQ(const QString& path) { return QFile::encodeName(path).toStdString(); }

QImage ToQImage(const Image& image) {
    if (image.IsNull()) return QImage();
    QImage q(image.Width(), image.Height(), QImage::Format_ARGB32);
    for (int y = 0; y < image.Height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(q.scanLine(y));
        for (int x = 0; x < image.Width(); ++x) line[x] = image.Pixel(x, y);
    }
    return q;
}

Image FromQImage(const QImage& source) {
    if (source.isNull()) return Image();
    QImage q = source.convertToFormat(QImage::Format_ARGB32);
    Image out(q.width(), q.height());
    for (int y = 0; y < q.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(q.constScanLine(y));
        for (int x = 0; x < q.width(); ++x) out.SetPixel(x, y, line[x]);
    }
    return out;
}

}  // namespace fw::qt
