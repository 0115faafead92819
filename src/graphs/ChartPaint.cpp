#include "graphs/ChartPaint.h"

#include <algorithm>
#include <cmath>

namespace chart {

namespace {

int Round(double v) { return static_cast<int>(std::lround(v)); }

int FontPixels(const TextStyle& style, int dpi) { return std::max(6, (style.points * dpi + 36) / 72); }

}  // namespace

// ---------------------------------------------------------------------------
// CanvasSurface

void CanvasSurface::Fill(const fw::Rect& r, fw::Color c) { dc_.FillRect(r, c); }

void CanvasSurface::Lines(const std::vector<Segment>& lines, fw::Color c, int width, bool dotted) {
    fw::Pen old = dc_.SelectPen({dotted ? fw::Pen::Dot : fw::Pen::Solid, width, c});
    for (const Segment& s : lines) {
        const int x0 = Round(s.x0), y0 = Round(s.y0), x1 = Round(s.x1), y1 = Round(s.y1);
        if (x0 == x1 && y0 == y1) {
            dc_.FillRect(fw::Rect::FromXYWH(x0, y0, width, width), c);
            continue;
        }
        dc_.MoveTo(x0, y0);
        dc_.LineTo(x1, y1);
    }
    dc_.SelectPen(old);
}

void CanvasSurface::Use(const TextStyle& style) {
    fw::Font f;
    f.face = "Arial";
    f.height = FontPixels(style, Dpi());
    f.weight = style.bold ? 700 : 400;
    dc_.SelectFont(f);
    dc_.SetTextColor(style.color);
}

void CanvasSurface::Text(int x, int y, const std::string& text, const TextStyle& style, unsigned align) {
    if (text.empty()) return;
    Use(style);
    const fw::Size size = dc_.GetTextExtent(text);
    if (align & kCenter) x -= size.cx / 2;
    else if (align & kRight) x -= size.cx;
    if (align & kMiddle) y -= size.cy / 2;
    else if (align & kBottom) y -= size.cy;
    dc_.SetTextAlign(fw::TA_LEFT | fw::TA_TOP);
    dc_.TextOut(x, y, text);
}

void CanvasSurface::VerticalText(int x, int y, const std::string& text, const TextStyle& style) {
    Text(x, y, text, style, kCenter | kMiddle);
}

fw::Size CanvasSurface::Measure(const std::string& text, const TextStyle& style) {
    Use(style);
    return dc_.GetTextExtent(text);
}

// ---------------------------------------------------------------------------
// Chart state and layout

Axis ChartState::XAxis() const {
    Axis a;
    a.log = settings.frequency;
    a.range = Normalized(views.Current().x, a.log);
    a.minorTicks = settings.xMinorTicks;
    return a;
}

Axis ChartState::YAxis() const {
    Axis a;
    a.range = Normalized(views.Current().y, false);
    a.minorTicks = settings.yMinorTicks;
    return a;
}

View ChartState::ConfiguredView() const {
    return {Normalized({settings.xMin, settings.xMax}, settings.frequency),
            Normalized({settings.yMin, settings.yMax}, false)};
}

namespace {

struct Fractions {
    double left, top, right, bottom;
};

constexpr Fractions kPlaces[4][4] = {
    {{0, 0, 0.999, 0.999}},
    {{0, 0, 0.999, 0.49}, {0, 0.5, 0.999, 0.999}},
    {{0, 0, 0.999, 0.32}, {0, 0.33, 0.999, 0.65}, {0, 0.66, 0.999, 0.999}},
    {{0, 0, 0.999, 0.24}, {0, 0.25, 0.999, 0.49}, {0, 0.5, 0.999, 0.74}, {0, 0.75, 0.999, 0.999}},
};
constexpr Fractions kPlotAreas[4] = {
    {0.25, 0.05, 0.97, 0.92}, {0.3, 0.05, 0.97, 0.85}, {0.3, 0.05, 0.97, 0.8}, {0.3, 0.05, 0.97, 0.75}};
constexpr double kReadoutRows[4][3] = {{0.1, 0.15, 0.2}, {0.15, 0.25, 0.35}, {0.15, 0.3, 0.45}, {0.2, 0.4, 0.6}};

fw::Rect Place(const fw::Rect& parent, const Fractions& f) {
    const double w = parent.Width(), h = parent.Height();
    return {parent.left + Round(f.left * w), parent.top + Round(f.top * h), parent.left + Round(f.right * w),
            parent.top + Round(f.bottom * h)};
}

}  // namespace

fw::Rect ChartWindowRect(fw::Size page, int count, int index) {
    count = std::clamp(count, 1, 4);
    if (index < 0 || index >= count) return {};
    return Place({0, 0, page.cx, page.cy}, kPlaces[count - 1][index]);
}

ChartLayout LayoutChart(const fw::Rect& window, int count, int dpi) {
    count = std::clamp(count, 1, 4);
    ChartLayout l;
    l.window = window;
    l.plot = Place(window, kPlotAreas[count - 1]);
    // Tick marks, a row of 7-point numbers and the 7-point label.
    const int room = Round(0.36 * dpi);
    if (l.plot.bottom > window.bottom - room) l.plot.bottom = std::max(l.plot.top, window.bottom - room);
    const double w = window.Width(), h = window.Height();
    l.title = {window.left + Round(0.016 * w), window.top + Round(0.04 * h)};
    for (int i = 0; i < 3; ++i) l.readout[i] = {window.left + Round(0.02 * w), window.top + Round(kReadoutRows[count - 1][i] * h)};
    return l;
}

// ---------------------------------------------------------------------------
// Painting

void PaintChart(ChartSurface& s, const ChartState& chart, const ChartLayout& layout, bool selected,
                std::vector<Segment>& scratch) {
    const int dpi = s.Dpi();
    const ChartSettings& cfg = chart.settings;
    const fw::Rect& plot = layout.plot;
    const fw::Color axisColor = PaletteColor(cfg.axisColor);
    s.Fill(layout.window, fw::colors::White);
    if (selected) {
        const double l = layout.window.left, t = layout.window.top, r = layout.window.right - 1,
                     b = layout.window.bottom - 1;
        s.Lines({{l, t, r, t}, {r, t, r, b}, {r, b, l, b}, {l, b, l, t}}, fw::colors::DarkGray, 1, false);
    }
    if (plot.Width() < 4 || plot.Height() < 4) return;

    // Lines keep their width on paper: a pixel of the screen.
    const int thin = Scaled(1, dpi);
    const Axis xa = chart.XAxis(), ya = chart.YAxis();
    const double left = plot.left, top = plot.top, right = plot.right - 1, bottom = plot.bottom - 1;
    auto px = [&](double v) { return left + xa.ToFraction(v) * (right - left); };
    auto py = [&](double v) { return bottom - ya.ToFraction(v) * (bottom - top); };
    const TextStyle numbers{7, false, axisColor};
    const int charW = std::max(1, s.Measure("0", numbers).cx);
    const int lineH = std::max(1, s.Measure("0", numbers).cy);
    const Ticks xt = MakeTicks(xa, std::clamp(plot.Width() / (charW * 9), 2, 12));
    const Ticks yt = MakeTicks(ya, std::clamp(plot.Height() / (lineH * 2), 2, 10));

    // Grids under the curve.
    if (cfg.gridType >= 0 && cfg.gridType <= 2) {
        std::vector<Segment> grid;
        auto add = [&](const std::vector<double>& xs, const std::vector<double>& ys) {
            for (double v : xs) grid.push_back({px(v), top, px(v), bottom});
            for (double v : ys) grid.push_back({left, py(v), right, py(v)});
        };
        if (cfg.gridType == 0 || cfg.gridType == 2) add(xt.major, yt.major);
        if (cfg.gridType == 1 || cfg.gridType == 2) add(xt.minor, yt.minor);
        s.Lines(grid, PaletteColor(cfg.gridColor), thin, true);
    }

    // The curve.
    if (chart.points) {
        DecimateToColumns(*chart.points, xa, ya, plot, scratch);
        s.Lines(scratch, PaletteColor(cfg.traceColor), thin, false);
    }

    // Axes across the bottom and up the left side, where they cross.
    const int major = Scaled(5, dpi), minor = Scaled(3, dpi);
    std::vector<Segment> axes{{left, bottom, right, bottom}, {left, top, left, bottom}};
    s.Lines(axes, axisColor, Scaled(2, dpi), false);
    std::vector<Segment> ticks;
    for (double v : xt.major) ticks.push_back({px(v), bottom, px(v), bottom + major});
    for (double v : xt.minor) ticks.push_back({px(v), bottom, px(v), bottom + minor});
    for (double v : yt.major) ticks.push_back({left - major, py(v), left, py(v)});
    for (double v : yt.minor) ticks.push_back({left - minor, py(v), left, py(v)});
    s.Lines(ticks, axisColor, thin, false);

    int numbersWidth = 0;
    for (double v : xt.major) s.Text(Round(px(v)), plot.bottom + major + 1, TickLabel(v, xt, xa.log), numbers, kCenter);
    for (double v : yt.major) {
        const std::string t = TickLabel(v, yt, false);
        numbersWidth = std::max(numbersWidth, s.Measure(t, numbers).cx);
        s.Text(plot.left - major - 3, Round(py(v)), t, numbers, kRight | kMiddle);
    }
    const TextStyle labels{7, true, axisColor};
    if (!cfg.xLabel.empty())
        s.Text((plot.left + plot.right) / 2, plot.bottom + major + lineH + 3, cfg.xLabel, labels, kCenter);
    if (!cfg.yLabel.empty())
        s.VerticalText(plot.left - major - 6 - numbersWidth - lineH / 2, (plot.top + plot.bottom) / 2, cfg.yLabel,
                       labels);

    // Cursors: hair lines across the plot for time graphs, a line and a
    // box on the point for frequency graphs.
    for (int c = 0; c < 2; ++c) {
        if (!chart.cursorShown[c]) continue;
        std::vector<Segment> hair;
        const double cx = px(chart.cursor[c].x), cy = py(chart.cursor[c].y);
        Segment v{cx, top, cx, bottom};
        if (ClipSegment(v, left, top, right, bottom)) hair.push_back(v);
        if (!cfg.frequency) {
            Segment h{left, cy, right, cy};
            if (ClipSegment(h, left, top, right, bottom)) hair.push_back(h);
        } else {
            const double b = Scaled(3, dpi);
            for (Segment e : {Segment{cx - b, cy - b, cx + b, cy - b}, Segment{cx + b, cy - b, cx + b, cy + b},
                              Segment{cx + b, cy + b, cx - b, cy + b}, Segment{cx - b, cy + b, cx - b, cy - b}})
                if (ClipSegment(e, left, top, right, bottom)) hair.push_back(e);
        }
        s.Lines(hair, PaletteColor(c == kGreen ? kGreenCursorColor : kMagentaCursorColor), thin, false);
    }

    if (!cfg.title.empty()) s.Text(layout.title.x, layout.title.y, cfg.title, {7, true, fw::colors::Black}, kLeft);
    const TextStyle readouts{6, false, fw::colors::Black};
    for (int i = 0; i < 3; ++i) s.Text(layout.readout[i].x, layout.readout[i].y, chart.readout[i], readouts, kLeft);
}

}  // namespace chart
