// Drawing of a chart: where its plot area, title, numbers, labels and
// read-outs go inside the chart's window by the number of graphs on the
// page, and the drawing itself onto a chart surface. The surface is the only
// thing a device provides; CanvasSurface puts it on any fw::Canvas (printer,
// picture, the recording canvas of the tests).
#pragma once

#include <string>
#include <vector>

#include "graphs/Chart.h"

namespace chart {

struct TextStyle {
    int points = 7;
    bool bold = false;
    fw::Color color;
};

enum Align : unsigned { kLeft = 0, kCenter = 1, kRight = 2, kTop = 0, kMiddle = 4, kBottom = 8 };

class ChartSurface {
public:
    virtual ~ChartSurface() = default;
    virtual void Fill(const fw::Rect& r, fw::Color c) = 0;
    // Lines of one pen; a line without length is a dot.
    virtual void Lines(const std::vector<Segment>& lines, fw::Color c, int width, bool dotted) = 0;
    // Text anchored at (x, y) by the Align flags.
    virtual void Text(int x, int y, const std::string& text, const TextStyle& style, unsigned align) = 0;
    // Text that reads upwards, centred on (x, y).
    virtual void VerticalText(int x, int y, const std::string& text, const TextStyle& style) = 0;
    virtual fw::Size Measure(const std::string& text, const TextStyle& style) = 0;
    // Device pixels per inch: fonts in points and line widths follow it.
    virtual int Dpi() const = 0;
};

class CanvasSurface : public ChartSurface {
public:
    explicit CanvasSurface(fw::Canvas& dc) : dc_(dc) {}
    void Fill(const fw::Rect& r, fw::Color c) override;
    void Lines(const std::vector<Segment>& lines, fw::Color c, int width, bool dotted) override;
    void Text(int x, int y, const std::string& text, const TextStyle& style, unsigned align) override;
    // The canvas has no turned text: the label is written across, centred.
    void VerticalText(int x, int y, const std::string& text, const TextStyle& style) override;
    fw::Size Measure(const std::string& text, const TextStyle& style) override;
    int Dpi() const override { return dc_.PixelsPerInchY(); }

private:
    void Use(const TextStyle& style);
    fw::Canvas& dc_;
};

// What a chart shows, from the graph settings (or a viewer file).
struct ChartSettings {
    std::string title, xLabel, yLabel;  // empty: none
    double xMin = 0.0, xMax = 1.0, yMin = 0.0, yMax = 1.0;
    int xMinorTicks = 0, yMinorTicks = 0;
    int axisColor = 4, traceColor = 11;
    int gridType = -1;  // -1 none, 0 major, 1 minor, 2 both
    int gridColor = 19;
    bool frequency = false;  // a frequency graph: logarithmic x axis
};

enum Cursor { kGreen = 0, kMagenta = 1 };

// One chart's state on the page.
struct ChartState {
    ChartSettings settings;
    ViewStack views;
    bool cursorShown[2] = {false, false};
    bool cursorActive[2] = {false, false};
    DataPoint cursor[2];
    std::string readout[3];
    const PointSource* points = nullptr;

    Axis XAxis() const;
    Axis YAxis() const;
    // The configured view, normalised so that it can be drawn.
    View ConfiguredView() const;
};

// Where the parts of a chart go inside its window.
struct ChartLayout {
    fw::Rect window;
    fw::Rect plot;
    fw::Point title;
    fw::Point readout[3];
};
// The chart window of graph index (0-based) of count graphs on a page.
fw::Rect ChartWindowRect(fw::Size page, int count, int index);
// The plot keeps room below it for the x axis' numbers and label (about a
// third of an inch at the device's dpi), however low the window.
ChartLayout LayoutChart(const fw::Rect& window, int count, int dpi = 96);

// Device pixels of a length given in 1/96 inch.
inline int Scaled(int px96, int dpi) { return px96 * dpi / 96 > 0 ? px96 * dpi / 96 : 1; }

// Draws the chart into its layout. scratch is reused between calls.
void PaintChart(ChartSurface& s, const ChartState& chart, const ChartLayout& layout, bool selected,
                std::vector<Segment>& scratch);

}  // namespace chart
