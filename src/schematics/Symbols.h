// The circuit symbols of the section pictures, drawn with the canvas's pen
// inside a given box. A two-terminal symbol lies along the box's long side
// with its leads reaching the box's edges, so wires meet it there.
#pragma once

#include <vector>

#include "platform/ui/Canvas.h"
#include "schematics/SchemDlg.h"

namespace schem {

// Where a symbol's two leads end (for two-terminal symbols; for the others
// the middles of the box's left and right edges).
struct Terminals {
    fw::Point a, b;
    bool vertical = false;
};

bool Upright(Symbol symbol, const fw::Rect& box);
Terminals SymbolTerminals(Symbol symbol, const fw::Rect& box);

// A named terminal of a symbol: where its lead ends and which way it leaves
// the symbol. The terminals of each symbol, in order:
//   two-terminal parts: the top or left end (anode, positive plate), the other end;
//   transformer: primary top, primary bottom, secondary top, secondary bottom,
//     and with a reset winding (drawn under the primary) its top and bottom;
//   current transformer: the conductor's left and right ends, the winding's two ends;
//   MOSFET: drain, gate, source; transistors: collector, base, emitter;
//   amplifier: input, output; op amp and comparator: inverting and
//   non-inverting input, output; clock: output; block: left, right.
enum class Toward { Left, Right, Up, Down };
struct Pin {
    fw::Point at;
    Toward toward;
};
std::vector<Pin> SymbolPins(Symbol symbol, const fw::Rect& box);
void DrawSymbol(fw::Canvas& dc, Symbol symbol, const fw::Rect& box);
void DrawGround(fw::Canvas& dc, fw::Point at);
void DrawJunction(fw::Canvas& dc, fw::Point at);

// A canvas over a picture: lines, rectangles and fills with clipping; text
// is not drawn (the pictures carry none of their own).
class ImageCanvas : public fw::Canvas {
public:
    explicit ImageCanvas(fw::Image& image) : image_(image) {}
    fw::Size GetTextExtent(const std::string& text) override { return {0, 0}; }
    fw::TextMetrics GetTextMetrics() override { return {}; }
    fw::Size GetDeviceSize() const override { return {image_.Width(), image_.Height()}; }
    // Limits drawing to the rectangle; nullptr lifts the limit.
    void SetClip(const fw::Rect* clip) { DoClip(clip); }
    // The smallest rectangle holding every pixel drawn so far, also those
    // outside the picture (empty when nothing was drawn).
    fw::Rect InkBounds() const { return ink_; }

protected:
    void DoLine(fw::Point from, fw::Point to) override;
    void DoRectangle(const fw::Rect& r) override;
    void DoFillRect(const fw::Rect& r, fw::Color c) override;
    void DoText(int, int, const std::string&) override {}
    void DoDrawImage(const fw::Image& image, const fw::Rect& dest, const fw::Rect& source) override;
    void DoClip(const fw::Rect* clip) override;

private:
    void Plot(int x, int y, uint32_t argb);
    fw::Image& image_;
    bool clipped_ = false;
    fw::Rect clip_;
    fw::Rect ink_;
};

}  // namespace schem
