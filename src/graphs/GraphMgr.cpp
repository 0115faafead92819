#include "graphs/GraphMgr.h"

#include <cmath>
#include <numbers>

#include "circuit/AnalCfg.h"
#include "circuit/DocServices.h"
#include "circuit/USData.h"
#include "platform/core/ReportSink.h"
#include "records/Utils.h"

namespace {

constexpr UINT kMsgAllGraphsFull = 53011;
constexpr UINT kMsgFirstGraphFull = 53012;
constexpr UINT kMsgGraphRangeUnusable = 58100;

constexpr double kAcceptMargin = 1e-5;
constexpr double kEndMargin = 1e-9;
constexpr double kAngleLimit = 0.01;  // radians
constexpr double kMicroseconds = 1000000.0;

void Code(int code) { ReportMessage1(kModuleGraphMgr, code, FALSE); }

// The slope's angle; a vertical step gives +-pi/2 and no step 0, without the 0/0 that
// would leave a floating-point fault for the next model's check to report.
double SlopeAngle(double dy, double dx) {
    if (dx != 0.0) return std::atan(dy / dx);
    if (dy > 0.0) return std::numbers::pi / 2.0;
    if (dy < 0.0) return -std::numbers::pi / 2.0;
    return 0.0;
}

const CAnalysisConfig* CurrentConfig() {
    CDocServices* doc = GetCurrentDoc();
    return doc ? doc->GetAnalysisConfig() : nullptr;
}

}  // namespace

CGraphMgr::CGraphMgr() = default;

CGraphMgr::~CGraphMgr() {
    if (GetCurrentGraphMgr() == this) SetCurrentGraphMgr(nullptr);
}

CGraphMgr& GraphMgr() {
    static CGraphMgr mgr;
    static const bool registered = [] {
        SetCurrentGraphMgr(&mgr);
        return true;
    }();
    (void)registered;
    return mgr;
}

CGraphMgr::Graph* CGraphMgr::At(int graph) {
    return (graph >= 1 && graph <= kMaxPageGraphs) ? &m_graphs[size_t(graph - 1)] : nullptr;
}

const CGraphMgr::Graph* CGraphMgr::At(int graph) const {
    return (graph >= 1 && graph <= kMaxPageGraphs) ? &m_graphs[size_t(graph - 1)] : nullptr;
}

// ---------------------------------------------------------------------------------------
// Selectors

int CGraphMgr::GraphOfQuantity(int quantity) const {
    return (quantity >= 1 && quantity <= kPlotQuantities) ? m_graphOfQuantity[size_t(quantity - 1)] : 0;
}

BOOL CGraphMgr::GetVariableGraph(int quantity, int& graph) {
    if (quantity < 1 || quantity > kPlotQuantities) {
        Code(2000);
        return FALSE;
    }
    graph = m_graphOfQuantity[size_t(quantity - 1)];
    return graph != 0 ? TRUE : FALSE;
}

double CGraphMgr::GetGraphStart(int graph) {
    const Graph* gr = At(graph);
    if (!gr) {
        Code(2001);
        return 0.0;
    }
    return gr->attached.load(std::memory_order_acquire) ? gr->start : -1.0;
}

double CGraphMgr::GetGraphStop(int graph) {
    const Graph* gr = At(graph);
    if (!gr) {
        Code(2002);
        return 0.0;
    }
    return gr->attached.load(std::memory_order_acquire) ? gr->stop : -1.0;
}

// ---------------------------------------------------------------------------------------
// Sampling

BOOL CGraphMgr::PlotSample(int graph, double x, double y, double weight) {
    if (m_bHalt.load(std::memory_order_acquire)) return FALSE;
    Graph* gr = At(graph);
    if (!gr) return FALSE;
    if (gr->full.load(std::memory_order_relaxed)) return FALSE;
    if (!gr->attached.load(std::memory_order_acquire) || !gr->rangeValid) return FALSE;

    const int last = gr->store.lastIndex.load(std::memory_order_relaxed);
    // Written so that an x that is not a number falls outside the window too.
    if (!(x >= gr->acceptLow && x <= gr->acceptHigh) || last >= kGraphStorePoints - 1) {
        if (last >= kGraphStorePoints - 1) GraphFilled(graph);
        else if (x > gr->acceptHigh && m_bSamplingEnabled.load(std::memory_order_relaxed)) GraphPassed(graph);
        return FALSE;
    }

    double ox = x, oy = y;
    bool store = true;
    const bool sampling = m_bSamplingEnabled.load(std::memory_order_relaxed) != 0;
    const int mode = m_nSamplingMode.load(std::memory_order_relaxed);
    if (sampling && mode == SAMPLING_AVERAGE) {
        if (RunAverageSampler(*gr, x, y, weight, ox, oy, store)) {
            StorePoint(graph, ox, oy);
            // Without weights the closing point is the sample itself: once is enough.
            if (ox != x || oy != y) StorePoint(graph, x, y);
            store = false;
        }
    }
    if (sampling && mode == SAMPLING_PEAK) {
        const PeakState& p = gr->peak;
        if (RunPeakSampler(*gr, x, y, gr->lastX + gr->peakWindow, store)) {
            if (p.xMax == p.xMin) {
                StorePoint(graph, p.xMin, p.yMin);
            } else if (p.xMax < p.xMin) {
                StorePoint(graph, p.xMax, p.yMax);
                StorePoint(graph, p.xMin, p.yMin);
            } else {
                StorePoint(graph, p.xMin, p.yMin);
                StorePoint(graph, p.xMax, p.yMax);
            }
        }
    }
    if (store) StorePoint(graph, ox, oy);
    return TRUE;
}

bool CGraphMgr::RunAverageSampler(Graph& gr, double x, double y, double w, double& ox, double& oy, bool& store) {
    AverageState& s = gr.avg;
    bool end = false;
    if (gr.store.lastIndex.load(std::memory_order_relaxed) == -1) {
        s.xm = x;
        s.n = 1;
        s.sumW = s.sumWY = 0.0;
        s.prevAngle = 0.0;
    } else {
        // The count starts at the graph's first sample; one that never saw it has none.
        const double t = s.n > 0 ? x / s.n : x;
        const double a1 = SlopeAngle(y - s.yl, x - s.xl);
        const double a2 = SlopeAngle(y - s.yp, x - s.xp);
        const double d1 = a2 - a1;
        const double d2 = a2 - s.prevAngle;
        s.prevAngle = a2;
        s.sumWY += ((s.yp + y) / 2.0) * w;
        s.sumW += w;
        const bool beyondEnd = x > gr.endThreshold;
        const bool due = std::fabs(d1) > kAngleLimit || (std::fabs(d2) > kAngleLimit && s.xp > 0.0) || beyondEnd ||
                         gr.sampleStep * 20.0 < s.sumW * kMicroseconds;
        if (!due) {
            store = false;
        } else {
            if (gr.sampleStep * 2.0 <= t) {
                ox = s.xp;
                oy = s.yp;
                s.xm = x;
                ++s.n;
                s.sumW = s.sumWY = 0.0;
            } else if (s.xm + gr.sampleStep <= x || beyondEnd) {
                // A run that passes no time step has nothing to average: the sample stands.
                if (s.sumW != 0.0) {
                    ox = x - (s.sumW / 2.0) * kMicroseconds;
                    oy = s.sumWY / s.sumW;
                }
                s.xm = x;
                ++s.n;
                s.sumW = s.sumWY = 0.0;
            } else {
                store = false;
            }
            if (beyondEnd) {
                end = true;
                ++s.n;
            }
        }
    }
    s.xp = x;
    s.yp = y;
    if (store) {
        s.xl = ox;
        s.yl = oy;
    }
    return end;
}

bool CGraphMgr::RunPeakSampler(Graph& gr, double x, double y, double windowEnd, bool& store) {
    PeakState& p = gr.peak;
    store = false;
    if (p.restart) {
        p.xMin = p.xMax = x;
        p.yMin = p.yMax = y;
        p.restart = 0;
    }
    if (gr.store.lastIndex.load(std::memory_order_relaxed) == -1) {
        store = true;
        p.restart = 1;
        return false;
    }
    if (y > p.yMax) {
        p.xMax = x;
        p.yMax = y;
    }
    if (y < p.yMin) {
        p.xMin = x;
        p.yMin = y;
    }
    if (windowEnd <= x || x > gr.endThreshold) {
        p.restart = 1;
        return true;
    }
    return false;
}

void CGraphMgr::StorePoint(int graph, double x, double y) {
    Graph& gr = m_graphs[size_t(graph - 1)];
    const int last = gr.store.lastIndex.load(std::memory_order_relaxed);
    // A sampler may hand over two points with one place left: the second never goes past
    // the store, the graph is full instead.
    if (last >= kGraphStorePoints - 1) {
        GraphFilled(graph);
        return;
    }
    gr.lastX = x;
    gr.lastY = y;
    gr.store.x[last + 1] = x;
    gr.store.y[last + 1] = y;
    gr.store.lastIndex.store(last + 1, std::memory_order_release);
}

void CGraphMgr::GraphFilled(int graph) {
    Graph& gr = m_graphs[size_t(graph - 1)];
    if (gr.full.exchange(1, std::memory_order_acq_rel)) return;
    if (!CheckAllGraphsFull()) ReportMessage(kMsgFirstGraphFull + UINT(graph - 1), TRUE);
}

void CGraphMgr::GraphPassed(int graph) {
    Graph& gr = m_graphs[size_t(graph - 1)];
    if (gr.passed.exchange(1, std::memory_order_acq_rel)) return;
    // Only once a graph has filled: a run longer than every graph's range
    // was asked for (and still checks the parts' ratings) as long as no
    // store ran out.
    for (int g = 1; g <= m_nGraphCount && g <= kMaxPageGraphs; ++g)
        if (m_graphs[size_t(g - 1)].full.load(std::memory_order_acquire)) {
            CheckAllGraphsFull();
            return;
        }
}

BOOL CGraphMgr::CheckAllGraphsFull() {
    const int n = m_nGraphCount;
    if (n < 1 || n > kMaxPageGraphs) {
        Code(2007);
        return FALSE;
    }
    for (int g = 1; g <= n; ++g) {
        const Graph& gr = m_graphs[size_t(g - 1)];
        if (!gr.full.load(std::memory_order_acquire) && !gr.passed.load(std::memory_order_acquire)) return FALSE;
    }
    ReportMessage(kMsgAllGraphsFull, TRUE);
    m_bHalt.store(1, std::memory_order_release);
    fw::GetReportSink().PostToMainWindow(WM_ANALYSIS_STOP, 0, 0);
    return TRUE;
}

// ---------------------------------------------------------------------------------------
// The frame and the page

void CGraphMgr::SetRunning(BOOL running) {
    m_bRunning.store(running ? 1 : 0);
    if (!running) {
        m_bSamplingEnabled.store(0);
        return;
    }
    TakeSampling();
    for (int g = 1; g <= kMaxPageGraphs; ++g) {
        const Graph& gr = m_graphs[size_t(g - 1)];
        if (gr.attached.load(std::memory_order_acquire) && !gr.rangeValid)
            ReportMessage1(kMsgGraphRangeUnusable, g, TRUE);
    }
}

void CGraphMgr::TakeSampling() {
    CDocServices* doc = GetCurrentDoc();
    const CAnalysisConfig* config = doc ? doc->GetAnalysisConfig() : nullptr;
    const CUSData* us = doc ? doc->GetUSData() : nullptr;
    m_nSamplingMode.store(us ? us->GetDataSampling() : SAMPLING_NONE);
    m_bSamplingEnabled.store(config && config->IsTimeDomain() ? 1 : 0);
}

void CGraphMgr::Reset(int graphCount) {
    if (graphCount == 0) {
        m_bRunning.store(0);
        m_bSamplingEnabled.store(0);
    }
    for (Graph& gr : m_graphs) {
        gr.attached.store(0, std::memory_order_release);
        gr.store.lastIndex.store(-1, std::memory_order_release);
        gr.full.store(0, std::memory_order_release);
        gr.passed.store(0, std::memory_order_release);
    }
    m_bHalt.store(0, std::memory_order_release);
    m_nGraphCount = graphCount;
    m_graphOfQuantity.fill(0);
    m_choiceQuantity.fill(0);
    for (Graph& gr : m_graphs) {
        gr.setting = 0;
        gr.freqQuantity = 0;
        gr.cursorState.fill(FALSE);
        gr.chart = 0;
        gr.items.fill(0);
        gr.acceptLow = gr.acceptHigh = -1.0;
        gr.endThreshold = -1.0;
        gr.sampleStep = -1.0;
        gr.peakWindow = -1.0;
        gr.start = gr.stop = -1.0;
        gr.rangeValid = FALSE;
        gr.cursorPos.fill(0.0);
    }
}

void CGraphMgr::AttachGraph(int graph, intptr_t chart, const WORD itemIds[kGraphItemIds], double start, double stop) {
    Graph* gr = At(graph);
    if (!gr) return;
    gr->chart = chart;
    for (int i = 0; i < kGraphItemIds; ++i) gr->items[size_t(i)] = itemIds ? itemIds[i] : 0;
    gr->acceptLow = start - kAcceptMargin;
    gr->acceptHigh = stop + kAcceptMargin;
    gr->endThreshold = stop - kEndMargin;
    gr->sampleStep = (stop - start) / double(kGraphStorePoints);
    gr->peakWindow = 2.0 * gr->sampleStep;
    gr->start = start;
    gr->stop = stop;
    // A range without width (or reversed) has no sample step to divide the run into.
    gr->rangeValid = (std::isfinite(start) && std::isfinite(stop) && stop > start) ? TRUE : FALSE;
    gr->attached.store(1, std::memory_order_release);
    // The chart layer puts a frequency graph's x axis into its frequency mode itself.
}

BOOL CGraphMgr::HasGraphData() const {
    for (const Graph& gr : m_graphs)
        if (gr.store.lastIndex.load(std::memory_order_acquire) != -1) return TRUE;
    return FALSE;
}

BOOL CGraphMgr::GraphHasPoints(int graph) const { return GetLastIndex(graph) >= 1 ? TRUE : FALSE; }

int CGraphMgr::GetGraphSetting(int graph) const {
    const Graph* gr = At(graph);
    return gr ? gr->setting : 0;
}

int CGraphMgr::GetFreqQuantity(int graph) const {
    const Graph* gr = At(graph);
    return gr ? gr->freqQuantity : 0;
}

BOOL CGraphMgr::IsFrequencyRun() const {
    const CAnalysisConfig* config = CurrentConfig();
    return config && config->IsFrequencyDomain() ? TRUE : FALSE;
}

BOOL IsGainQuantity(int analysisKind, int quantity) {
    switch (analysisKind) {
    case CAnalysisConfig::KIND_VOLTAGE_LOOP:
    case CAnalysisConfig::KIND_CURRENT_LOOP:
    case CAnalysisConfig::KIND_INPUT_TO_OUTPUT: return (quantity == 1 || quantity == 3 || quantity == 5) ? TRUE : FALSE;
    case CAnalysisConfig::KIND_AMPLIFIER: return quantity == 1 ? TRUE : FALSE;
    default: return FALSE;
    }
}

BOOL CGraphMgr::IsGainGraph(int graph) const {
    const CAnalysisConfig* config = CurrentConfig();
    return config ? IsGainQuantity(config->GetAnalysisKind(), GetFreqQuantity(graph)) : FALSE;
}

void CGraphMgr::SetQuantityGraph(int32_t quantity, int32_t graph) {
    if (quantity >= 1 && quantity <= kPlotQuantities && graph >= 0 && graph <= kMaxPageGraphs)
        m_graphOfQuantity[size_t(quantity - 1)] = graph;
}

void CGraphMgr::SetGraphSource(int32_t source, int32_t graph) {
    if (Graph* gr = At(graph)) gr->setting = source;
}

void CGraphMgr::SetGraphQuantity(int32_t quantity, int32_t graph) {
    if (Graph* gr = At(graph)) gr->freqQuantity = quantity;
}

void CGraphMgr::SetChoiceQuantity(int32_t quantity, int32_t userGraph) {
    if (userGraph >= 1 && userGraph <= kMaxPageGraphs) m_choiceQuantity[size_t(userGraph - 1)] = quantity;
}

int32_t CGraphMgr::GetChoiceQuantity(int32_t userGraph) {
    return (userGraph >= 1 && userGraph <= kMaxPageGraphs) ? m_choiceQuantity[size_t(userGraph - 1)] : 0;
}

void CGraphMgr::RebuildPage() {
    if (m_rebuildPage) m_rebuildPage();
    // The document rebuilds the page as a run starts, before its worker exists: the run's
    // first sample already meets its sampling, whenever the frame gets to SetRunning.
    TakeSampling();
}

// ---------------------------------------------------------------------------------------
// Reading

int CGraphMgr::GetLastIndex(int graph) const {
    const Graph* gr = At(graph);
    return gr ? gr->store.lastIndex.load(std::memory_order_acquire) : -1;
}

const double* CGraphMgr::GetXData(int graph) const {
    const Graph* gr = At(graph);
    return gr ? gr->store.x : nullptr;
}

const double* CGraphMgr::GetYData(int graph) const {
    const Graph* gr = At(graph);
    return gr ? gr->store.y : nullptr;
}

BOOL CGraphMgr::GetPoint(int graph, int index, double& x, double& y) const {
    const Graph* gr = At(graph);
    if (!gr || index < 0 || index > gr->store.lastIndex.load(std::memory_order_acquire)) return FALSE;
    x = gr->store.x[index];
    y = gr->store.y[index];
    return TRUE;
}

BOOL CGraphMgr::IsGraphFull(int graph) const {
    const Graph* gr = At(graph);
    return gr && gr->full.load(std::memory_order_acquire) ? TRUE : FALSE;
}

BOOL CGraphMgr::IsGraphAttached(int graph) const {
    const Graph* gr = At(graph);
    return gr && gr->attached.load(std::memory_order_acquire) ? TRUE : FALSE;
}

BOOL CGraphMgr::IsGraphRangeValid(int graph) const {
    const Graph* gr = At(graph);
    return gr && gr->attached.load(std::memory_order_acquire) && gr->rangeValid ? TRUE : FALSE;
}

BOOL CGraphMgr::GetLastStoredPoint(int graph, double& x, double& y) const {
    const Graph* gr = At(graph);
    if (!gr) return FALSE;
    x = gr->lastX;
    y = gr->lastY;
    return TRUE;
}

intptr_t CGraphMgr::GetChartHandle(int graph) const {
    const Graph* gr = At(graph);
    return gr ? gr->chart : 0;
}

WORD CGraphMgr::GetItemId(int graph, int item) const {
    const Graph* gr = At(graph);
    return (gr && item >= 0 && item < kGraphItemIds) ? gr->items[size_t(item)] : 0;
}

void CGraphMgr::SetItemId(int graph, int item, WORD id) {
    Graph* gr = At(graph);
    if (gr && item >= 0 && item < kGraphItemIds) gr->items[size_t(item)] = id;
}

BOOL CGraphMgr::GetCursorState(int graph, int cursor) const {
    const Graph* gr = At(graph);
    return (gr && (cursor == CURSOR_GREEN || cursor == CURSOR_MAGENTA)) ? gr->cursorState[size_t(cursor)] : FALSE;
}

void CGraphMgr::SetCursorState(int graph, int cursor, BOOL active) {
    Graph* gr = At(graph);
    if (gr && (cursor == CURSOR_GREEN || cursor == CURSOR_MAGENTA)) gr->cursorState[size_t(cursor)] = active ? TRUE : FALSE;
}

double CGraphMgr::GetCursorPosition(int graph, int index) const {
    const Graph* gr = At(graph);
    return (gr && index >= 0 && index < 4) ? gr->cursorPos[size_t(index)] : 0.0;
}

void CGraphMgr::SetCursorPosition(int graph, int index, double value) {
    Graph* gr = At(graph);
    if (gr && index >= 0 && index < 4) gr->cursorPos[size_t(index)] = value;
}
