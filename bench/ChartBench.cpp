// Redraw time of a full graph page: four graphs of 64,000 points each on a
// 1600 x 1000 picture, drawn offscreen the way the page's window draws.
// Run by hand in a Release build; prints ms_per_redraw=<x>.
#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPainter>
#include <cmath>
#include <cstdio>

#include "graphs/GraphPage.h"
#include "platform/qt/QtChart.h"

namespace {

class FullStores : public CGraphPageData {
public:
    chart::VectorPoints points[4];
    FullStores() {
        for (int g = 0; g < 4; ++g)
            for (int i = 0; i < 64000; ++i) {
                points[g].x.push_back(i * 0.015625);
                // A switching waveform with ripple: every column holds peaks.
                points[g].y.push_back(std::sin(i * 0.05 * (g + 1)) * 4.0 + std::sin(i * 0.9) * 0.5);
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
    std::printf("graphs=4 points_per_graph=64000 canvas=1600x1000\nms_per_redraw=%.2f\n", ms);
    return 0;
}
