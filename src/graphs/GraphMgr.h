// The graph manager: the results of a run as up to four XY curves, each with its x range, a
// store of at most 64,000 points and its sampling state, plus what the page and the frame
// read of them.
//
// Threads: PlotSample and the selectors a run uses come from the analysis worker; everything
// else is for the user-interface thread. The sample path takes no lock. The worker writes a
// point, then publishes the graph's last index with release; a reader loads the index with
// acquire (GetLastIndex) and reads points 0..that index only. A graph's range is published
// the same way when it is attached, so a page built late never races the worker. Reset and
// AttachGraph run while no worker is plotting (the page is built before a run starts).
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <ctime>
#include <functional>
#include <string>

#include "analysis/context/AnalGraphSink.h"
#include "circuit/GraphServices.h"
#include "platform/core/Types.h"

namespace fw {
class File;
}
class CAnalysisConfig;

// Module of the graph manager's internal codes.
constexpr UINT kModuleGraphMgr = 56042;

constexpr int kMaxPageGraphs = 4;
constexpr int kGraphStorePoints = 64000;
constexpr int kPlotQuantities = 6;
constexpr int kGraphItemIds = 9;

class CGraphMgr : public CGraphSampleSink, public CGraphMgrServices {
public:
    enum { SAMPLING_NONE = 0, SAMPLING_AVERAGE = 1, SAMPLING_PEAK = 2 };
    // The library items of a graph, in the order AttachGraph takes them.
    enum {
        ITEM_X_AXIS = 0,
        ITEM_Y_AXIS,
        ITEM_X_GRID,
        ITEM_Y_GRID,
        ITEM_GREEN_CURSOR,
        ITEM_MAGENTA_CURSOR,
        ITEM_GREEN_TEXT,
        ITEM_MAGENTA_TEXT,
        ITEM_DIFF_TEXT
    };
    enum { CURSOR_GREEN = 0, CURSOR_MAGENTA = 1 };

    CGraphMgr();
    ~CGraphMgr() override;
    CGraphMgr(const CGraphMgr&) = delete;
    CGraphMgr& operator=(const CGraphMgr&) = delete;

    // --- The run (worker thread) ---------------------------------------------------------

    // The graph (1..4) of plotted quantity 1..6; FALSE when it is not plotted. Another
    // quantity logs code 2000 and leaves graph alone.
    BOOL GetVariableGraph(int quantity, int& graph) override;
    int GetVariable1Graph() const { return GraphOfQuantity(1); }
    int GetVariable2Graph() const { return GraphOfQuantity(2); }
    int GetVariable3Graph() const { return GraphOfQuantity(3); }
    int GetVariable4Graph() const { return GraphOfQuantity(4); }
    int GetVariable5Graph() const { return GraphOfQuantity(5); }
    int GetVariable6Graph() const { return GraphOfQuantity(6); }
    // The configured x range of graph 1..4 (-1.0 while unset); another graph logs code 2001
    // or 2002 and gives 0.0.
    double GetGraphStart(int graph) override;
    double GetGraphStop(int graph) override;
    // Offers one sample; TRUE when it was stored or absorbed by the sampling. Refused: a
    // halted manager, a graph outside 1..4, not attached, with an unusable range or full,
    // and x outside the accept window.
    BOOL PlotSample(int graph, double x, double y, double weight) override;

    // --- The frame and the page (user-interface thread) ----------------------------------

    // TRUE at a run's start: also takes the sampling (time-domain runs only) and its mode
    // from the current design, and tells the user of every attached graph whose range
    // cannot be sampled. FALSE at its end: sampling off.
    void SetRunning(BOOL running);
    // Empties every store and forgets the page's graphs; count 0 also ends running and
    // sampling.
    void Reset(int graphCount);
    // Graph g (1..4) of the page: its chart, its nine item ids (ITEM_ order) and its x range.
    void AttachGraph(int graph, intptr_t chart, const WORD itemIds[kGraphItemIds], double start, double stop);

    BOOL HasGraphData() const;
    // At least two points on graph g.
    BOOL GraphHasPoints(int graph) const;
    int GetGraphSetting(int graph) const;
    int GetFreqQuantity(int graph) const;
    BOOL GetShowAll() const { return m_bShowAll; }
    void SetShowAll(BOOL showAll) { m_bShowAll = showAll ? TRUE : FALSE; }
    BOOL IsAnalysisRunning() const { return m_bRunning.load() ? TRUE : FALSE; }
    BOOL IsBlownUp() const { return m_bShowAll ? FALSE : TRUE; }
    int GetGraphCount() const { return m_nGraphCount; }
    // The current design runs a frequency analysis (kinds 2-5).
    BOOL IsFrequencyRun() const;
    // Graph g shows a gain: kinds 2-4 with quantity 1, 3 or 5 on it, or kind 5 with 1.
    BOOL IsGainGraph(int graph) const;

    // The numbering of the page's graphs (the analysis configuration sets it after Reset).
    void SetQuantityGraph(int32_t quantity, int32_t graph) override;
    void SetGraphSource(int32_t source, int32_t graph) override;
    void SetGraphQuantity(int32_t quantity, int32_t graph) override;
    void SetChoiceQuantity(int32_t quantity, int32_t userGraph) override;
    int32_t GetChoiceQuantity(int32_t userGraph) override;
    // A run starts: the page is rebuilt through the page's own procedure (none set: the
    // page stays) and the run's sampling is taken from the current design.
    void RebuildPage() override;
    void SetPageRebuilder(std::function<void()> rebuild) { m_rebuildPage = std::move(rebuild); }

    // --- Reading the store (any thread) --------------------------------------------------

    // The published last index of graph g: -1 empty (or g outside 1..4), at most 63,999.
    int GetLastIndex(int graph) const;
    // The x and y values of graph g; read only indices up to GetLastIndex. nullptr for a
    // graph outside 1..4.
    const double* GetXData(int graph) const;
    const double* GetYData(int graph) const;
    // Point i of graph g; FALSE past the published points.
    BOOL GetPoint(int graph, int index, double& x, double& y) const;
    BOOL IsGraphFull(int graph) const;
    BOOL IsHalted() const { return m_bHalt.load(std::memory_order_acquire) ? TRUE : FALSE; }
    // TRUE once graph g is attached with a range that can be sampled.
    BOOL IsGraphAttached(int graph) const;
    BOOL IsGraphRangeValid(int graph) const;
    // The last point handed to graph g's store (kept across Reset); read after the run.
    BOOL GetLastStoredPoint(int graph, double& x, double& y) const;

    // --- The page's items and cursors (user-interface thread) ----------------------------

    intptr_t GetChartHandle(int graph) const;
    WORD GetItemId(int graph, int item) const;
    void SetItemId(int graph, int item, WORD id);
    BOOL GetCursorState(int graph, int cursor) const;
    void SetCursorState(int graph, int cursor, BOOL active);
    // Green x, green y, magenta x, magenta y.
    double GetCursorPosition(int graph, int index) const;
    void SetCursorPosition(int graph, int index, double value);

    // --- Exports --------------------------------------------------------------------------

    // The page's graphs as text (CR LF lines): header with the design's path and the date,
    // then per graph its title, equation (time-domain runs), axis labels and points.
    void SaveAsText(fw::File& file, const CAnalysisConfig& config, const std::string& pathName,
                    const std::tm& now) const;

private:
    struct PointStore {
        std::atomic<int> lastIndex{-1};
        double x[kGraphStorePoints];
        double y[kGraphStorePoints];
    };
    struct AverageState {
        int n = 0;
        double sumW = 0.0, sumWY = 0.0;
        double prevAngle = 0.0;
        double xl = 0.0, yl = 0.0;  // last point handed out
        double xp = 0.0, yp = 0.0;  // previous sample
        double xm = 0.0;            // where the interval began
    };
    struct PeakState {
        int restart = 0;
        double xMin = 0.0, yMin = 0.0, xMax = 0.0, yMax = 0.0;
    };
    struct Graph {
        PointStore store;
        std::atomic<int> full{0};
        // A time-domain run's time has gone past the graph's x range: it can
        // take no sample any more, so it counts as full for the halt.
        std::atomic<int> passed{0};
        std::atomic<int> attached{0};
        BOOL rangeValid = FALSE;
        intptr_t chart = 0;
        std::array<WORD, kGraphItemIds> items{};
        std::array<BOOL, 2> cursorState{};
        std::array<double, 4> cursorPos{};
        double acceptLow = -1.0, acceptHigh = -1.0;
        double endThreshold = -1.0;
        double sampleStep = -1.0;
        double peakWindow = -1.0;
        double start = -1.0, stop = -1.0;
        double lastX = 0.0, lastY = 0.0;  // last stored point
        AverageState avg;
        PeakState peak;
        int setting = 0;       // settings number of the page graph
        int freqQuantity = 0;  // frequency quantity of the page graph
    };

    int GraphOfQuantity(int quantity) const;
    // Sampling on for time-domain runs, with the design's mode.
    void TakeSampling();
    Graph* At(int graph);
    const Graph* At(int graph) const;
    // Appends one point; a store with no place left marks the graph full instead.
    void StorePoint(int graph, double x, double y);
    void GraphFilled(int graph);
    void GraphPassed(int graph);
    BOOL CheckAllGraphsFull();
    // The samplers; they return their end or flush flag.
    bool RunAverageSampler(Graph& gr, double x, double y, double w, double& ox, double& oy, bool& store);
    bool RunPeakSampler(Graph& gr, double x, double y, double windowEnd, bool& store);
    void WriteGraphText(fw::File& file, const CAnalysisConfig& config, int setting, int graph) const;

    std::atomic<int> m_bSamplingEnabled{0};
    std::atomic<int> m_nSamplingMode{0};
    std::array<int, kPlotQuantities> m_graphOfQuantity{};
    std::array<int, kMaxPageGraphs> m_choiceQuantity{};
    std::atomic<int> m_bRunning{0};
    int m_nGraphCount = 0;
    std::atomic<int> m_bHalt{0};
    BOOL m_bShowAll = TRUE;
    std::array<Graph, kMaxPageGraphs> m_graphs;
    std::function<void()> m_rebuildPage;
};

// The program's one graph manager, made on first use and registered as the current one.
CGraphMgr& GraphMgr();

// A frequency quantity that is a gain for the analysis kind: 1, 3 or 5 for kinds 2-4, 1 for
// kind 5.
BOOL IsGainQuantity(int analysisKind, int quantity);
