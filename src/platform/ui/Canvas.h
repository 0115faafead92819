// The drawing surface of windows, owner-drawn controls and printed pages.
// The canvas keeps the drawing state (pen, brush, font, text colour, current
// position, saved states); a device implements the few primitives. Text
// layout with word breaks is done here once, so that screen, printer and the
// recording canvas of the tests lay text out alike.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/Geometry.h"
#include "platform/ui/Image.h"

namespace fw {

struct Color {
    uint8_t r = 0;
    uint8_t g = 0;
    uint8_t b = 0;
    constexpr uint32_t ToArgb() const { return 0xFF000000u | (uint32_t(r) << 16) | (uint32_t(g) << 8) | b; }
    friend bool operator==(const Color&, const Color&) = default;
};

namespace colors {
constexpr Color Black{0, 0, 0};
constexpr Color White{255, 255, 255};
constexpr Color DarkGray{128, 128, 128};
constexpr Color LightGray{192, 192, 192};
constexpr Color Face{212, 208, 200};  // dialog and button face
}  // namespace colors

struct Pen {
    enum Style { Solid, Dash, Dot, Null };
    Style style = Solid;
    int width = 1;
    Color color = colors::Black;
    friend bool operator==(const Pen&, const Pen&) = default;
};

struct Brush {
    bool null = false;
    Color color = colors::White;
    friend bool operator==(const Brush&, const Brush&) = default;
};

// height in device units (pixels on screen); 0 takes the device's default.
struct Font {
    std::string face = "Arial";
    int height = 0;
    int weight = 400;
    bool italic = false;
    bool underline = false;
    friend bool operator==(const Font&, const Font&) = default;
};

struct TextMetrics {
    int height = 0;
    int ascent = 0;
    int descent = 0;
    int aveCharWidth = 0;
    int externalLeading = 0;
};

// DrawText flags.
enum : unsigned {
    DT_LEFT = 0x0000,
    DT_TOP = 0x0000,
    DT_CENTER = 0x0001,
    DT_RIGHT = 0x0002,
    DT_VCENTER = 0x0004,
    DT_BOTTOM = 0x0008,
    DT_WORDBREAK = 0x0010,
    DT_SINGLELINE = 0x0020,
    DT_EXPANDTABS = 0x0040,
    DT_NOCLIP = 0x0100,
    DT_EXTERNALLEADING = 0x0200,
    DT_CALCRECT = 0x0400,
    DT_NOPREFIX = 0x0800,
};

// Text alignment of TextOut.
enum : unsigned {
    TA_LEFT = 0,
    TA_TOP = 0,
    TA_RIGHT = 2,
    TA_CENTER = 6,
    TA_BOTTOM = 8,
    TA_BASELINE = 24,
};

class Canvas {
public:
    virtual ~Canvas() = default;

    // Drawing state; each Select returns what was selected before.
    Pen SelectPen(const Pen& pen);
    Brush SelectBrush(const Brush& brush);
    Font SelectFont(const Font& font);
    const Pen& GetPen() const { return state_.pen; }
    const Brush& GetBrush() const { return state_.brush; }
    const Font& GetFont() const { return state_.font; }
    Color SetTextColor(Color c);
    Color GetTextColor() const { return state_.textColor; }
    // Transparent text background (the default) or opaque with the background colour.
    void SetBkMode(bool transparent) { state_.transparent = transparent; }
    Color SetBkColor(Color c);
    unsigned SetTextAlign(unsigned align);
    int SaveDC();
    bool RestoreDC(int saved);

    void MoveTo(int x, int y) { state_.pos = {x, y}; }
    Point GetCurrentPosition() const { return state_.pos; }
    void LineTo(int x, int y);
    // Outline with the pen, filled with the brush; right and bottom excluded.
    void Rectangle(int left, int top, int right, int bottom);
    void FillRect(const Rect& r, Color c) { DoFillRect(r, c); }
    void FillSolidRect(const Rect& r, Color c) { DoFillRect(r, c); }
    void TextOut(int x, int y, const std::string& text);
    // Lays out text in the rectangle by the DT_ flags; returns the height of
    // the text. With DT_CALCRECT nothing is drawn and rc gets the text's
    // bounds.
    int DrawText(const std::string& text, Rect& rc, unsigned flags);
    // Stretches the source part of the picture over the destination.
    void StretchImage(const Image& image, const Rect& dest, const Rect& source) { DoDrawImage(image, dest, source); }
    void DrawImage(const Image& image, int x, int y) {
        DoDrawImage(image, Rect::FromXYWH(x, y, image.Width(), image.Height()),
                    Rect::FromXYWH(0, 0, image.Width(), image.Height()));
    }

    virtual Size GetTextExtent(const std::string& text) = 0;
    virtual TextMetrics GetTextMetrics() = 0;
    // Reads back what is already drawn; false where the device cannot.
    virtual bool GrabArea(const Rect& area, Image& out) { return false; }
    virtual int PixelsPerInchX() const { return 96; }
    virtual int PixelsPerInchY() const { return 96; }
    virtual bool CanStretchImages() const { return true; }
    // The device's drawing area in device units (a page, a window's client area).
    virtual Size GetDeviceSize() const = 0;

protected:
    virtual void DoLine(Point from, Point to) = 0;
    virtual void DoRectangle(const Rect& r) = 0;
    virtual void DoFillRect(const Rect& r, Color c) = 0;
    // Text at (x, y) as its top-left corner, one line, in the current font.
    virtual void DoText(int x, int y, const std::string& text) = 0;
    virtual void DoDrawImage(const Image& image, const Rect& dest, const Rect& source) = 0;
    // Limits drawing to the rectangle; an empty optional lifts the limit.
    virtual void DoClip(const Rect* clip) {}
    // The state changed (a new pen, font ...): devices that keep their own
    // copy update it.
    virtual void OnStateChanged() {}

    struct State {
        Pen pen;
        Brush brush;
        Font font;
        Color textColor = colors::Black;
        Color bkColor = colors::White;
        bool transparent = true;
        unsigned textAlign = TA_LEFT | TA_TOP;
        Point pos;
    };
    State state_;

private:
    std::vector<State> saved_;
};

// Records every drawing operation as a line of text; text is measured with
// fixed metrics (a character is half the font height wide). For tests.
class RecordingCanvas : public Canvas {
public:
    explicit RecordingCanvas(Size device = {800, 600}, int ppiX = 96, int ppiY = 96)
        : device_(device), ppiX_(ppiX), ppiY_(ppiY) {}

    std::vector<std::string> ops;
    bool canStretch = true;
    // What GrabArea returns (a uniform colour); none when null.
    bool grabbable = false;
    uint32_t grabColor = 0xFFD4D0C8u;

    Size GetTextExtent(const std::string& text) override;
    TextMetrics GetTextMetrics() override;
    bool GrabArea(const Rect& area, Image& out) override;
    int PixelsPerInchX() const override { return ppiX_; }
    int PixelsPerInchY() const override { return ppiY_; }
    bool CanStretchImages() const override { return canStretch; }
    Size GetDeviceSize() const override { return device_; }

    // The operations whose text starts with the prefix.
    std::vector<std::string> OpsStartingWith(const std::string& prefix) const;

protected:
    void DoLine(Point from, Point to) override;
    void DoRectangle(const Rect& r) override;
    void DoFillRect(const Rect& r, Color c) override;
    void DoText(int x, int y, const std::string& text) override;
    void DoDrawImage(const Image& image, const Rect& dest, const Rect& source) override;
    void DoClip(const Rect* clip) override;

private:
    int FontHeight() const { return state_.font.height > 0 ? state_.font.height : 16; }
    Size device_;
    int ppiX_;
    int ppiY_;
};

}  // namespace fw
