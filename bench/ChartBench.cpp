// Redraw time of a full graph page: four graphs of 64,000 points each on a
// 1600 x 1000 picture, drawn offscreen the way the page's window draws.
// Run by hand in a Release build; prints ms_per_redraw=<x>.
#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <cmath>
#include <cstdio>

#include "graphs/GraphMgr.h"
#include "graphs/GraphPageRun.h"
#include "platform/qt/QtChart.h"

namespace {

class FullStores : public CGraphPageData {
public:
    CStorePoints points[4] = {CStorePoints(1), CStorePoints(2), CStorePoints(3), CStorePoints(4)};
    // The graph manager's four stores filled to the last place, as a long
    // run leaves them.
    FullStores() {
        CGraphMgr& mgr = GraphMgr();
        mgr.Reset(4);
        const WORD ids[kGraphItemIds] = {};
        for (int g = 1; g <= 4; ++g) {
            mgr.AttachGraph(g, g, ids, 0.0, 1000.0);
            for (int i = 0; i < kGraphStorePoints; ++i)
                // A switching waveform with ripple: every column holds peaks.
                mgr.PlotSample(g, i * 1000.0 / kGraphStorePoints,
                               std::sin(i * 0.05 * g) * 4.0 + std::sin(i * 0.9) * 0.5, 0.0);
        }
    }
    int GetGraphCount() override { return 4; }
    chart::ChartSettings GetSettings(int g) override {
        chart::ChartSettings s;
        s.title = "Graph " + std::to_string(g);
        s.xLabel = "Microseconds";
        s.yLabel = "Volts";
        s.xMax = 1000.0;
        s.yMin = -5.0;
        s.yMax = 5.0;
        s.xMinorTicks = 4;
        s.yMinorTicks = 1;
        s.gridType = 2;
        s.gridColor = 7;
        return s;
    }
    const chart::PointSource* GetPoints(int g) override { return &points[g - 1]; }
};

}  // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    FullStores data;
    CGraphPage page(data);
    QImage image(1600, 1000, QImage::Format_ARGB32_Premultiplied);
    auto redraw = [&] {
        QPainter painter(&image);
        fw::qt::QtChartSurface surface(painter, 96);
        page.Paint(surface, {1600, 1000});
    };
    redraw();  // builds the page
    const int rounds = 50;
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < rounds; ++i) redraw();
    const double ms = static_cast<double>(timer.nsecsElapsed()) / 1e6 / rounds;
    std::printf("graphs=4 points_per_graph=%d canvas=1600x1000\nms_per_redraw=%.2f\n", GraphMgr().GetLastIndex(4) + 1, ms);
    return 0;
}
