// A real voltage-loop sweep of the voltage-loop design plotted through the program's graph
// manager and drawn on the design window's page by Qt offscreen: the gain and phase charts
// with their logarithmic frequency axis (the picture stays in /tmp for a look). Each point
// lands where its frequency's logarithm puts it, and the curve joins them in order.
#include <gtest/gtest.h>

#include <QImage>
#include <chrono>
#include <cmath>
#include <thread>

#include "app/AnalEngineLink.h"
#include "app/DesignDoc.h"
#include "circuit/AnalCfg.h"
#include "circuit/Doc.h"
#include "designs/Designs.h"
#include "graphs/GraphMgr.h"
#include "graphs/GraphPageRun.h"
#include "platform/core/ReportSink.h"
#include "platform/qt/QtChart.h"

namespace {

// The trace's cyan, lightened where the line is smoothed; the axes are red, the page white.
bool IsTrace(QRgb c) { return qBlue(c) - qRed(c) > 60 && qGreen(c) - qRed(c) > 40; }

TEST(FrequencyPageRender, VoltageLoopSweepOnLogFrequencyAxes) {
    fw::RecordingSink reports;
    fw::ScopedReportSink scoped(&reports);
    CDesignDocument host;
    CPwrQuorraDoc& doc = host.Design();
    ASSERT_TRUE(doc.OnNewDocument());
    BuildVoltageLoop(doc);
    CAnalysisConfig& config = *doc.GetAnalysisConfig();
    CFreqDomainStimulusCfg& stim = config.GetStimulusCfg();
    const double start = 300.0, stop = 20e3;
    stim.m_dStartFrequency = start;
    stim.m_dStopFrequency = stop;
    stim.m_nPointsPerDecade = 4;
    // The voltage loop's graph settings (8-11), taken by the run's graphs (4-7) as the
    // Analysis dialog's start does.
    for (int g = 8; g < 12; ++g) {
        config.GetGraphCfg(g)->m_dXMin = start;
        config.GetGraphCfg(g)->m_dXMax = stop;
        *config.GetGraphCfg(g - 4) = *config.GetGraphCfg(g);
    }
    SetCurrentDoc(&doc);
    CRunGraphPage& data = RunGraphPage();
    data.CreatePage();
    // As the program starts a run: on the worker, the page rebuilt for the run's graphs.
    ASSERT_TRUE(doc.PrepareAnalysis());
    ASSERT_TRUE(CheckAnalysisCanRun(doc));
    ASSERT_TRUE(doc.StartAnalysis());
    CGraphMgr& mgr = GraphMgr();
    const auto lastFrequency = [&] {
        const int last = mgr.GetLastIndex(1);
        return last < 0 ? 0.0 : mgr.GetXData(1)[last];
    };
    for (int i = 0; i < 6000 && lastFrequency() < stop; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ASSERT_EQ(lastFrequency(), stop);

    const int w = 1200, h = 900;
    fw::qt::QtGraphPageWidget widget(data.Page());
    widget.resize(w, h);
    const QImage image = widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
    image.save(QStringLiteral("/tmp/pq-voltage-loop-page.png"));
    const int graphs = data.Page().GetGraphCount();
    ASSERT_EQ(graphs, 4);
    for (int g = 1; g <= graphs; ++g) {
        SCOPED_TRACE(g);
        const chart::ChartSettings s = data.GetSettings(g);
        EXPECT_TRUE(s.frequency);
        const fw::Rect plot = data.Page().LayoutOf(g, {w, h}).plot;
        const chart::PointSource* points = data.GetPoints(g);
        ASSERT_GE(points->Count(), 8u);
        // Every point's column on the log axis holds the trace near the point's row.
        for (size_t i = 0; i < points->Count(); ++i) {
            const double fx = std::log10(points->X(i) / s.xMin) / std::log10(s.xMax / s.xMin);
            const double fy = (points->Y(i) - s.yMin) / (s.yMax - s.yMin);
            // The design's ranges hold the whole response.
            ASSERT_GE(fy, 0.0) << points->Y(i);
            ASSERT_LE(fy, 1.0) << points->Y(i);
            const int x = std::clamp(plot.left + int(std::lround(fx * (plot.Width() - 1))), plot.left, plot.right - 1);
            const int y = plot.bottom - 1 - int(std::lround(fy * (plot.Height() - 1)));
            int near = 0;
            for (int dx = -2; dx <= 2; ++dx)
                for (int dy = -3; dy <= 3; ++dy)
                    if (plot.PtInRect({x + dx, y + dy}) && IsTrace(image.pixel(x + dx, y + dy))) ++near;
            EXPECT_GT(near, 0) << "point " << i << " at " << points->X(i) << " Hz";
        }
    }
    doc.EndAnalysis();
    EXPECT_EQ(doc.GetRunStatus(), 1);
    EXPECT_TRUE(reports.boxes.empty());
    data.DestroyPage();
    SetCurrentDoc(nullptr);
}

}  // namespace
