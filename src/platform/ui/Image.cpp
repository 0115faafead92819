#include "platform/ui/Image.h"

#include <algorithm>
#include <cstring>

namespace fw {

Image::Image(int width, int height, uint32_t fill) {
    if (width <= 0 || height <= 0) return;
    width_ = width;
    height_ = height;
    pixels_.assign(static_cast<size_t>(width) * height, fill);
}

Image Image::Scaled(const Rect& source, int w, int h) const {
    Image out(w, h);
    if (out.IsNull() || IsNull() || source.IsEmpty()) return out;
    for (int y = 0; y < h; ++y) {
        int sy = source.top + static_cast<int>(static_cast<long long>(y) * source.Height() / h);
        for (int x = 0; x < w; ++x) {
            int sx = source.left + static_cast<int>(static_cast<long long>(x) * source.Width() / w);
            if (sx >= 0 && sx < width_ && sy >= 0 && sy < height_) out.SetPixel(x, y, Pixel(sx, sy));
        }
    }
    return out;
}

Image Image::Copy(const Rect& source) const { return Scaled(source, source.Width(), source.Height()); }

void Image::Blend(const Image& src, int x0, int y0) {
    for (int y = 0; y < src.Height(); ++y) {
        for (int x = 0; x < src.Width(); ++x) {
            int tx = x0 + x, ty = y0 + y;
            if (tx < 0 || ty < 0 || tx >= width_ || ty >= height_) continue;
            uint32_t p = src.Pixel(x, y);
            if ((p >> 24) != 0) SetPixel(tx, ty, p);
        }
    }
}

Image Image::FromArt(const char* const* rows, int rowCount, const PaletteEntry* palette, int paletteCount) {
    if (rowCount <= 0 || !rows[0]) return {};
    int w = static_cast<int>(std::strlen(rows[0]));
    Image img(w, rowCount);
    for (int y = 0; y < rowCount; ++y) {
        int len = static_cast<int>(std::strlen(rows[y]));
        for (int x = 0; x < std::min(w, len); ++x) {
            for (int i = 0; i < paletteCount; ++i) {
                if (palette[i].key == rows[y][x]) {
                    img.SetPixel(x, y, palette[i].argb);
                    break;
                }
            }
        }
    }
    return img;
}

}  // namespace fw
