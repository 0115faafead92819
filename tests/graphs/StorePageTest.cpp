// The design window's page drawn while a run fills the graph manager's store
// on another thread: it reads only the points already published, and every
// redraw sees at least as many as the one before (ThreadSanitizer runs it).
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <thread>

#include "graphs/GraphMgr.h"
#include "graphs/GraphPageRun.h"

namespace {

class OneStoreGraph : public CGraphPageData {
public:
    CStorePoints points{1};
    int GetGraphCount() override { return 1; }
    chart::ChartSettings GetSettings(int) override {
        chart::ChartSettings s;
        s.xMax = 64000.0;
        s.yMin = -1.0;
        return s;
    }
    const chart::PointSource* GetPoints(int) override { return &points; }
    bool IsRunning() override { return true; }
};

}  // namespace

TEST(StorePage, DrawnWhileARunAddsPoints) {
    CGraphMgr& mgr = GraphMgr();
    mgr.Reset(1);
    const WORD ids[kGraphItemIds] = {};
    mgr.AttachGraph(1, 1, ids, 0.0, 64000.0);
    OneStoreGraph data;
    CGraphPage page(data);

    std::atomic<bool> done{false};
    std::thread run([&] {
        for (int i = 0; i < kGraphStorePoints; ++i) mgr.PlotSample(1, i, std::sin(i * 0.01), 0.0);
        done = true;
    });
    size_t seen = 0;
    int redraws = 0;
    while (!done || redraws == 0) {
        fw::RecordingCanvas dc({640, 480});
        chart::CanvasSurface s(dc);
        page.Paint(s, {640, 480});
        const size_t now = data.points.Count();
        EXPECT_GE(now, seen);
        seen = now;
        ++redraws;
    }
    run.join();
    EXPECT_EQ(data.points.Count(), size_t(kGraphStorePoints));
    mgr.Reset(0);
}
