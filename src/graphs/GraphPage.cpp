#include "graphs/GraphPage.h"

#include <algorithm>
#include <cmath>

#include "graphs/GraphMgr.h"
#include "platform/ui/Services.h"
#include "records/Utils.h"

namespace {

constexpr UINT kMsgCopyFailed = 58200;
// A drag shorter than this (pixels) is a click, not a zoom.
constexpr int kMinBand = 3;
constexpr unsigned kTab = 9;
constexpr unsigned kEscape = 27;

ChartDevices& Devices() {
    static ChartDevices devices;
    return devices;
}

std::unique_ptr<chart::ChartSurface> SurfaceFor(fw::Canvas& dc) {
    if (Devices().surfaceFor)
        if (auto s = Devices().surfaceFor(dc)) return s;
    return std::make_unique<chart::CanvasSurface>(dc);
}

// The page on paper: inside half-inch margins, one page, no page numbers.
class PagePrintJob : public fw::Printable {
public:
    PagePrintJob(const std::function<void(chart::ChartSurface&, const fw::Rect&)>& paint) : paint_(paint) {}
    bool OnPreparePrinting(fw::PrintInfo& info) override {
        info.hidePrintToFile = true;
        info.noPageNumbers = true;
        return true;
    }
    void OnPrint(fw::Canvas& dc, fw::PrintInfo& info) override {
        fw::Rect area = info.drawArea;
        area.Deflate(dc.PixelsPerInchX() / 2, dc.PixelsPerInchY() / 2);
        if (area.IsEmpty()) return;
        auto surface = SurfaceFor(dc);
        paint_(*surface, area);
    }

private:
    const std::function<void(chart::ChartSurface&, const fw::Rect&)>& paint_;
};

}  // namespace

void SetChartDevices(const ChartDevices& devices) { Devices() = devices; }

const ChartDevices& GetChartDevices() { return Devices(); }

void CGraphPage::Rebuild() {
    built_ = false;
    band_ = {};
    Changed();
}

void CGraphPage::Build() {
    built_ = true;
    band_ = {};
    blownUp_ = false;
    count_ = std::clamp(data_.GetGraphCount(), 0, 4);
    for (int i = 0; i < 4; ++i) {
        chart::ChartState& c = charts_[i];
        c = chart::ChartState{};
        if (i >= count_) continue;
        c.settings = data_.GetSettings(i + 1);
        c.points = data_.GetPoints(i + 1);
        c.views.Reset(c.ConfiguredView());
    }
    // The first graph is selected until the user picks another, so that the
    // Graph commands have a graph to work on from the start.
    selected_ = count_ > 0 ? 0 : -1;
    data_.BlownUpChanged(false);
}

void CGraphPage::Changed() {
    if (window_) window_->Invalidate();
}

void CGraphPage::SelectGraph(int graph) {
    if (graph < 1 || graph > count_ || selected_ == graph - 1) return;
    selected_ = graph - 1;
    Changed();
}

chart::ChartLayout CGraphPage::LayoutOf(int graph, fw::Size page) const {
    if (blownUp_) return chart::LayoutChart(chart::ChartWindowRect(page, 1, 0), 1);
    return chart::LayoutChart(chart::ChartWindowRect(page, count_, graph - 1), count_);
}

int CGraphPage::GraphAt(fw::Point p) const {
    if (blownUp_) return selected_ >= 0 && chart::ChartWindowRect(size_, 1, 0).PtInRect(p) ? selected_ + 1 : 0;
    for (int i = 0; i < count_; ++i)
        if (chart::ChartWindowRect(size_, count_, i).PtInRect(p)) return i + 1;
    return 0;
}

chart::DataPoint CGraphPage::ToData(int graph, fw::Point p) const {
    const chart::ChartState& c = charts_[graph - 1];
    const fw::Rect plot = LayoutOf(graph, size_).plot;
    const chart::Axis xa = c.XAxis(), ya = c.YAxis();
    const double w = std::max(1, plot.Width() - 1), h = std::max(1, plot.Height() - 1);
    return {xa.FromFraction((p.x - plot.left) / w), ya.FromFraction((plot.bottom - 1 - p.y) / h)};
}

void CGraphPage::Paint(chart::ChartSurface& s, fw::Size size) {
    size_ = size;
    PaintPage(s, size);
}

void CGraphPage::PaintPage(chart::ChartSurface& s, fw::Size size) {
    if (!built_) Build();
    // Grey shows between the charts; a page without graphs is blank.
    s.Fill({0, 0, size.cx, size.cy}, count_ > 0 ? fw::colors::LightGray : fw::colors::White);
    const bool several = count_ > 1 && !blownUp_;
    for (int i = 0; i < count_; ++i) {
        if (blownUp_ && i != selected_) continue;
        chart::PaintChart(s, charts_[i], LayoutOf(i + 1, size), several && i == selected_, scratch_);
    }
    if (band_.active) {
        const double l = std::min(band_.from.x, band_.to.x), r = std::max(band_.from.x, band_.to.x);
        const double t = std::min(band_.from.y, band_.to.y), b = std::max(band_.from.y, band_.to.y);
        s.Lines({{l, t, r, t}, {r, t, r, b}, {r, b, l, b}, {l, b, l, t}}, fw::colors::Black, 1, true);
    }
}

// ---------------------------------------------------------------------------
// Mouse and keys

bool CGraphPage::CanStartOn(int index) const {
    const chart::PointSource* p = charts_[index].points;
    return p && p->Count() >= 2;
}

void CGraphPage::UpdateReadouts(int index) {
    chart::ChartState& c = charts_[index];
    c.readout[0] = chart::GreenReadout(c.cursor[chart::kGreen]);
    c.readout[1] = chart::MagentaReadout(c.cursor[chart::kMagenta]);
    c.readout[2] = chart::DiffReadout(c.cursor[chart::kGreen], c.cursor[chart::kMagenta]);
}

void CGraphPage::PlaceCursor(int index, int cursor, fw::Point at) {
    chart::ChartState& c = charts_[index];
    const chart::DataPoint mouse = ToData(index + 1, at);
    static const chart::VectorPoints kNone;
    c.cursor[cursor] = chart::SnapToCurve(c.points ? *c.points : kNone, mouse);
    c.cursorShown[cursor] = true;
    UpdateReadouts(index);
    data_.CursorsChanged(index + 1, c);
    Changed();
}

void CGraphPage::HideCursors(int index) {
    chart::ChartState& c = charts_[index];
    for (int k = 0; k < 2; ++k) {
        c.cursorShown[k] = false;
        c.cursor[k] = {};
    }
    for (std::string& r : c.readout) r.clear();
    data_.CursorsChanged(index + 1, c);
    Changed();
}

void CGraphPage::StartCursors(int index, fw::Point at) {
    if (!CanStartOn(index)) return;
    chart::ChartState& c = charts_[index];
    c.cursorActive[chart::kGreen] = true;
    c.cursorActive[chart::kMagenta] = false;
    PlaceCursor(index, chart::kMagenta, at);
    PlaceCursor(index, chart::kGreen, at);
}

void CGraphPage::StartZoom(int index, fw::Point at) {
    SelectGraph(index + 1);
    if (!CanStartOn(index)) return;
    const fw::Rect plot = LayoutOf(index + 1, size_).plot;
    at.x = std::clamp(at.x, plot.left, plot.right - 1);
    at.y = std::clamp(at.y, plot.top, plot.bottom - 1);
    band_ = {true, index, at, at};
    Changed();
}

void CGraphPage::FinishZoom(fw::Point at) {
    if (!band_.active) return;
    const int index = band_.index;
    const fw::Point from = band_.from, to = band_.to;
    band_ = {};
    Changed();
    if (index < 0 || index >= count_ || !CanStartOn(index)) return;
    if (std::abs(to.x - from.x) < kMinBand || std::abs(to.y - from.y) < kMinBand) return;
    const chart::DataPoint a = ToData(index + 1, from), b = ToData(index + 1, to);
    chart::ChartState& c = charts_[index];
    c.views.Push({{std::min(a.x, b.x), std::max(a.x, b.x)}, {std::min(a.y, b.y), std::max(a.y, b.y)}});
    if (!c.cursorActive[chart::kGreen] && !c.cursorActive[chart::kMagenta]) {
        HideCursors(index);
    } else {
        PlaceCursor(index, chart::kGreen, at);
        PlaceCursor(index, chart::kMagenta, at);
    }
    if (onZoomed) onZoomed();
}

void CGraphPage::OnMouse(GraphMouse event, fw::Point at, bool ctrl) {
    if (!built_) return;
    const bool running = data_.IsRunning();
    if (band_.active && running) {
        // A run started under the drag: the band is dropped.
        band_ = {};
        Changed();
    }
    if (band_.active) {
        const fw::Rect plot = LayoutOf(band_.index + 1, size_).plot;
        band_.to = {std::clamp(at.x, plot.left, plot.right - 1), std::clamp(at.y, plot.top, plot.bottom - 1)};
        if (event == GraphMouse::Move) {
            Changed();
            return;
        }
        // The band ends with the button that started it, Ctrl or not.
        if (event == GraphMouse::LeftUp || event == GraphMouse::MiddleUp) {
            FinishZoom(at);
            return;
        }
    }
    const int graph = GraphAt(at);
    if (graph == 0) return;
    const int index = graph - 1;
    if (event == GraphMouse::LeftDown) SelectGraph(graph);
    if (running) return;
    chart::ChartState& c = charts_[index];
    switch (event) {
    case GraphMouse::Move:
        if (c.cursorActive[chart::kGreen]) PlaceCursor(index, chart::kGreen, at);
        else if (c.cursorActive[chart::kMagenta]) PlaceCursor(index, chart::kMagenta, at);
        break;
    case GraphMouse::LeftDown:
        if (ctrl) StartZoom(index, at);
        break;
    case GraphMouse::LeftUp:
        if (ctrl) FinishZoom(at);
        break;
    case GraphMouse::RightDown:
    case GraphMouse::RightDoubleClick:
        SelectGraph(graph);
        StartCursors(index, at);
        break;
    case GraphMouse::MiddleDown: StartZoom(index, at); break;
    case GraphMouse::MiddleUp: FinishZoom(at); break;
    }
}

void CGraphPage::OnChar(unsigned ch) {
    if (!built_ || data_.IsRunning() || selected_ < 0) return;
    chart::ChartState& c = charts_[selected_];
    bool& green = c.cursorActive[chart::kGreen];
    bool& magenta = c.cursorActive[chart::kMagenta];
    switch (ch) {
    case kTab:
        if (green) {
            green = false;
            magenta = true;
        } else if (magenta) {
            magenta = false;
            green = true;
        }
        data_.CursorsChanged(selected_ + 1, c);
        return;
    case kEscape:
        green = magenta = false;
        data_.CursorsChanged(selected_ + 1, c);
        return;
    case 'M':
    case 'm': {
        if (!green && !magenta) return;
        static const chart::VectorPoints kNone;
        chart::DataPoint hi, lo;
        chart::FindExtremes(c.points ? *c.points : kNone, hi, lo);
        c.cursor[chart::kGreen] = hi;
        c.cursor[chart::kMagenta] = lo;
        c.cursorShown[chart::kGreen] = c.cursorShown[chart::kMagenta] = true;
        UpdateReadouts(selected_);
        green = magenta = false;
        data_.CursorsChanged(selected_ + 1, c);
        Changed();
        return;
    }
    default: Beep(); return;
    }
}

// ---------------------------------------------------------------------------
// Commands

void CGraphPage::BlowUp() {
    if (!built_ || selected_ < 0) return;
    blownUp_ = !blownUp_;
    band_ = {};
    data_.BlownUpChanged(blownUp_);
    Changed();
}

void CGraphPage::Restore() {
    if (!built_ || selected_ < 0) return;
    HideCursors(selected_);
    charts_[selected_].views.Restore();
    Changed();
}

void CGraphPage::Rescale() {
    if (!built_ || selected_ < 0 || !CanStartOn(selected_)) return;
    chart::ChartState& c = charts_[selected_];
    HideCursors(selected_);
    const chart::PointSource& p = *c.points;
    chart::View v = c.views.Current();
    // A run that stopped short of the configured end shrinks the x axis to
    // its last sample.
    const double xl = p.X(p.Count() - 1);
    if (!(xl == c.settings.xMin || std::fabs(c.settings.xMax - xl) <= 1.0))
        v.x = chart::Normalized({c.settings.xMin, xl}, c.settings.frequency);
    chart::Range y;
    if (chart::FitRange(p, y)) v.y = chart::RoundLimits(y, false);
    c.views.Push(v);
    Changed();
}

bool CGraphPage::Print() {
    if (!built_ || count_ == 0) return false;
    // The page laid out on the paper's printable area, without the screen's
    // rubber band and selection frame.
    const std::function<void(chart::ChartSurface&, const fw::Rect&)> paint = [this](chart::ChartSurface& s,
                                                                                   const fw::Rect& area) {
        s.Fill(area, fw::colors::White);
        for (int i = 0; i < count_; ++i) {
            if (blownUp_ && i != selected_) continue;
            fw::Rect window = blownUp_ ? chart::ChartWindowRect(area.GetSize(), 1, 0)
                                       : chart::ChartWindowRect(area.GetSize(), count_, i);
            window.Offset(area.left, area.top);
            chart::PaintChart(s, charts_[i], chart::LayoutChart(window, blownUp_ ? 1 : count_, s.Dpi()), false,
                              scratch_);
        }
    };
    PagePrintJob job(paint);
    if (fw::Printing().Print(job, data_.GetJobName(), true)) return true;
    if (fw::Printing().LastPrintFailed()) ReportMessage1(kModuleGraphMgr, kCodePrint, FALSE);
    return false;
}

bool CGraphPage::RenderImage(fw::Image& out) {
    if (!built_ || count_ == 0 || !Devices().renderImage) return false;
    const fw::Size size = size_.cx > 0 && size_.cy > 0 ? size_ : fw::Size{1600, 1000};
    const Band band = band_;
    band_ = {};
    const bool ok = Devices().renderImage(size, [this, size](chart::ChartSurface& s) { PaintPage(s, size); }, out);
    band_ = band;
    return ok;
}

bool CGraphPage::Copy() {
    if (!built_ || count_ == 0) return false;
    fw::Image picture;
    if (RenderImage(picture) && fw::GetClipboard().SetImage(picture)) return true;
    ReportMessage1(kModuleGraphMgr, blownUp_ ? kCodeChartCopy : kCodePageCopy, FALSE);
    ReportMessage(kMsgCopyFailed, TRUE);
    return false;
}

void CGraphPage::RedrawPage() { Changed(); }
