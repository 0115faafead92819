// The graph page: one to four charts stacked from top to bottom, with the
// selected chart, Blow Up, the two cursors with their read-outs, the rubber
// band zoom, Rescale, Restore, Print and Copy. The page is headless: a real
// window (CGraphPageWindow) shows it and hands it the mouse and the keys;
// what it shows comes from a CGraphPageData (a run's graphs, or a viewer
// file's).
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "graphs/ChartPaint.h"
#include "platform/ui/Image.h"

namespace fw {
class Canvas;
}

// What a page shows; graphs are numbered 1..count in page order.
class CGraphPageData {
public:
    virtual ~CGraphPageData() = default;
    virtual int GetGraphCount() = 0;
    virtual chart::ChartSettings GetSettings(int graph) = 0;
    // The curve of the graph, or nullptr for none; it lives as long as the data.
    virtual const chart::PointSource* GetPoints(int graph) = 0;
    // While a run adds points, the user's commands on the graphs wait.
    virtual bool IsRunning() { return false; }
    virtual void BlownUpChanged(bool blownUp) {}
    // The name of a print job of the page.
    virtual std::string GetJobName() { return "Graphs"; }
};

// The window that shows a page.
class CGraphPageWindow {
public:
    virtual ~CGraphPageWindow() = default;
    // Paint the page again soon.
    virtual void Invalidate() = 0;
};

// How the page reaches the devices it does not own: a chart surface over a
// printer's canvas (default: CanvasSurface), and a picture of the page for
// the clipboard (default: none, and Copy fails). The window binding sets
// both.
struct ChartDevices {
    std::function<std::unique_ptr<chart::ChartSurface>(fw::Canvas&)> surfaceFor;
    std::function<bool(fw::Size, const std::function<void(chart::ChartSurface&)>&, fw::Image&)> renderImage;
};
void SetChartDevices(const ChartDevices& devices);
const ChartDevices& GetChartDevices();

enum class GraphMouse { Move, LeftDown, LeftUp, RightDown, RightDoubleClick, MiddleDown, MiddleUp };

// Internal codes of the page's commands (module GraphMgr).
constexpr int kCodeRubberBandStart = 2008;
constexpr int kCodeRubberBandEnd = 2009;
constexpr int kCodeExtremes = 2010;
constexpr int kCodePrint = 2011;
constexpr int kCodePageCopy = 2013;
constexpr int kCodeChartCopy = 2014;

class CGraphPage {
public:
    explicit CGraphPage(CGraphPageData& data) : data_(data) {}

    void SetWindow(CGraphPageWindow* window) { window_ = window; }
    CGraphPageWindow* GetWindow() const { return window_; }
    // The page is built anew at its next paint (a new run, a new file).
    void Rebuild();
    bool IsBuilt() const { return built_; }
    // Takes the graphs, their settings and curves from the data now.
    void Build();

    // The page's size in pixels: the window's (mouse positions are in it).
    void SetSize(fw::Size size) { size_ = size; }
    fw::Size GetSize() const { return size_; }
    // Draws the page at the size given (the window's, a printed page's);
    // builds it first when it is not built.
    void Paint(chart::ChartSurface& s, fw::Size size);

    void OnMouse(GraphMouse event, fw::Point at, bool ctrl);
    // A typed character: Tab, Esc, M or m; anything else beeps.
    void OnChar(unsigned ch);

    // The Graph commands; each works on the selected graph.
    void BlowUp();
    void Restore();
    void Rescale();
    bool Print();
    bool Copy();
    void RedrawPage();

    int GetGraphCount() const { return count_; }
    // 1..count, 0 when none.
    int GetSelectedGraph() const { return selected_ + 1; }
    void SelectGraph(int graph);
    bool IsBlownUp() const { return blownUp_; }
    const chart::ChartState& Chart(int graph) const { return charts_[graph - 1]; }
    // The graph under a point of the page, 0 when none.
    int GraphAt(fw::Point p) const;
    // Where graph g's parts are on a page of the size.
    chart::ChartLayout LayoutOf(int graph, fw::Size page) const;
    // The page as a picture of its window's size (one chart when blown up).
    bool RenderImage(fw::Image& out);
    // A data point under a pixel of graph g's plot area, in its present view.
    chart::DataPoint ToData(int graph, fw::Point p) const;
    bool IsZooming() const { return band_.active; }

    // After a zoom: the one-shot redraw of the frame (timer 32811).
    std::function<void()> onZoomed;

private:
    bool CanStartOn(int index) const;
    void PlaceCursor(int index, int cursor, fw::Point at);
    void UpdateReadouts(int index);
    void HideCursors(int index);
    void StartCursors(int index, fw::Point at);
    void StartZoom(int index, fw::Point at);
    void FinishZoom(fw::Point at);
    void Changed();
    void PaintPage(chart::ChartSurface& s, fw::Size size);

    CGraphPageData& data_;
    CGraphPageWindow* window_ = nullptr;
    bool built_ = false;
    int count_ = 0;
    int selected_ = -1;
    bool blownUp_ = false;
    fw::Size size_;
    chart::ChartState charts_[4];
    struct Band {
        bool active = false;
        int index = -1;
        fw::Point from, to;
    } band_;
    std::vector<chart::Segment> scratch_;
};
