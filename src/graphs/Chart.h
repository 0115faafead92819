// The chart layer's model: axes with linear or logarithmic (frequency) scales,
// round limits and ticks, the zoom stack of a chart, cursors that snap to the
// curve, the read-out texts, and the reduction of a long curve to the pixel
// columns of its plot area. No drawing here and no window: ChartPaint draws
// a chart from this state; the page (GraphPage) owns the charts.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "platform/ui/Canvas.h"

namespace chart {

// The palette of colour codes the graph settings use: 0 black, 1-5 and 9-13
// blue, green, cyan, red, magenta, 7 light grey, 18 medium grey, 19 off white.
// An unknown code is black.
fw::Color PaletteColor(int code);
constexpr int kGreenCursorColor = 10;
constexpr int kMagentaCursorColor = 13;

struct Range {
    double lo = 0.0;
    double hi = 1.0;
    friend bool operator==(const Range&, const Range&) = default;
};

// One axis of a chart: its shown range and scale. A logarithmic axis maps
// decades evenly; it needs a positive range (Normalized makes it one).
struct Axis {
    Range range;
    bool log = false;
    int minorTicks = 0;  // between two major ticks

    // Position of v along the axis, 0 at lo and 1 at hi (outside for values
    // beyond the range; a log axis puts zero and negatives far below 0).
    double ToFraction(double v) const;
    double FromFraction(double f) const;
};

// A usable range: finite, lo < hi, and positive on a log scale. Reversed
// bounds are swapped; an empty or unusable range is widened around what is
// left of it so that a chart can always be drawn.
Range Normalized(Range r, bool log);

// Widens [lo, hi] to the axis' round limits: whole multiples of a 1-2-5 step
// (about five steps across) on a linear axis, whole decades on a log axis.
Range RoundLimits(Range r, bool log);

// The tick layout of an axis: major ticks carry numbers; minorTicks minor
// ticks lie evenly between two majors (on a log axis, evenly in value
// within each decade when minorTicks is 8 or more, as the 2..9 marks).
struct Ticks {
    std::vector<double> major;
    std::vector<double> minor;
    double step = 0.0;  // linear axes: the major step
};
Ticks MakeTicks(const Axis& axis, int maxMajor = 10);
// The number written at a major tick: "%g"-style with enough digits to tell
// neighbouring ticks apart, and 0 written as "0".
std::string TickLabel(double v, const Ticks& ticks, bool log);

// A chart's zoom stack: the configured view at the bottom, one entry per
// zoom or rescale above it. Restore goes back to the bottom.
struct View {
    Range x;
    Range y;
    friend bool operator==(const View&, const View&) = default;
};
class ViewStack {
public:
    void Reset(const View& home) {
        views_.assign(1, home);
    }
    void Push(const View& v) { views_.push_back(v); }
    void Restore() { views_.resize(1); }
    const View& Current() const { return views_.back(); }
    const View& Home() const { return views_.front(); }
    size_t Depth() const { return views_.size() - 1; }

private:
    std::vector<View> views_{View{}};
};

// The points of one curve, in store order. Implementations hand out only
// points that are complete (a run may still be adding more).
class PointSource {
public:
    virtual ~PointSource() = default;
    virtual size_t Count() const = 0;
    virtual double X(size_t i) const = 0;
    virtual double Y(size_t i) const = 0;
};

// A curve held in two vectors (tests, the viewer's file).
class VectorPoints : public PointSource {
public:
    std::vector<double> x, y;
    size_t Count() const override { return x.size() < y.size() ? x.size() : y.size(); }
    double X(size_t i) const override { return x[i]; }
    double Y(size_t i) const override { return y[i]; }
};

struct DataPoint {
    double x = 0.0;
    double y = 0.0;
    friend bool operator==(const DataPoint&, const DataPoint&) = default;
};

// Where a cursor stands for a mouse position in data units: on the first
// point when the mouse is left of it, on the last when right of every point,
// else on the line between the two stored points around the mouse's x. An
// empty curve leaves the cursor at the mouse.
DataPoint SnapToCurve(const PointSource& points, DataPoint mouse);

// The first point with the largest y and the first with the smallest; both
// (0, 0) for an empty curve.
void FindExtremes(const PointSource& points, DataPoint& maximum, DataPoint& minimum);

// The three read-out lines of a chart's cursors.
std::string GreenReadout(DataPoint green);
std::string MagentaReadout(DataPoint magenta);
std::string DiffReadout(DataPoint green, DataPoint magenta);

// The y range that fits a curve, before rounding: 5 % beyond its smallest
// and largest y (outwards for negative values too); a flat curve gets a band
// around its value ([-0.05, 0.05] at zero). False for a curve without a
// finite value.
bool FitRange(const PointSource& points, Range& out);

// A line in pixels of the plot area (doubles; the painter rounds).
struct Segment {
    double x0, y0, x1, y1;
};

// Turns the curve into lines inside the plot area: the points are reduced to
// one vertical stroke per pixel column, from the column's smallest to its
// largest y, joined from the last point of one column to the first of the
// next, so that every peak is drawn however many points share a column.
// Lines are clipped to the area; points without a finite value break the
// curve. The output is cleared first and reused (no allocation once grown).
void DecimateToColumns(const PointSource& points, const Axis& xAxis, const Axis& yAxis, const fw::Rect& plot,
                       std::vector<Segment>& out);

// Clips the line to the rectangle [left, right] x [top, bottom]; false when
// nothing of it is inside.
bool ClipSegment(Segment& s, double left, double top, double right, double bottom);

}  // namespace chart
