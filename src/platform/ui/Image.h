// A plain 32-bit picture (0xAARRGGBB per pixel, rows top to bottom): toolbar
// pictures, icons, bitmaps of the resource pack. The window binding converts
// it at the border; everything else only passes it around.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/ui/Geometry.h"

namespace fw {

class Image {
public:
    Image() = default;
    Image(int width, int height, uint32_t fill = 0);

    int Width() const { return width_; }
    int Height() const { return height_; }
    bool IsNull() const { return width_ <= 0 || height_ <= 0; }
    uint32_t Pixel(int x, int y) const { return pixels_[static_cast<size_t>(y) * width_ + x]; }
    void SetPixel(int x, int y, uint32_t argb) { pixels_[static_cast<size_t>(y) * width_ + x] = argb; }
    const std::vector<uint32_t>& Pixels() const { return pixels_; }

    // Part of the picture stretched or shrunk to w by h (nearest pixel).
    Image Scaled(const Rect& source, int w, int h) const;
    // Copies a part of the picture; parts outside are left transparent.
    Image Copy(const Rect& source) const;
    // Draws src over this picture at (x, y), honouring full transparency.
    void Blend(const Image& src, int x, int y);

    // A picture from rows of characters: each character is looked up in the
    // palette (pairs of a character and an ARGB value); an unknown character
    // is transparent. All rows must have the same length.
    struct PaletteEntry {
        char key;
        uint32_t argb;
    };
    static Image FromArt(const char* const* rows, int rowCount, const PaletteEntry* palette, int paletteCount);

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<uint32_t> pixels_;
};

}  // namespace fw
