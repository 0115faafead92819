// The viewer's side of a viewer file: a file written from a run's page shows
// the same graphs as the design window's page, and damaged or missing files
// show what could be read with their message, never a crash.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

#include "graphs/GraphPageRun.h"
#include "graphs/GraphTestSupport.h"
#include "graphs/ViewerData.h"
#include "platform/ui/Fakes.h"
#include "support/ReadFile.h"
#include <unistd.h>

namespace {

// The design window's page over the test's own graph manager.
class StorePage : public CGraphPageData {
public:
    StorePage(const CGraphMgr& mgr, const CAnalysisConfig& config) : mgr_(mgr), config_(config) {
        for (int g = 0; g < 4; ++g) points_[g].graph = g + 1, points_[g].mgr = &mgr;
    }
    int GetGraphCount() override { return mgr_.GetGraphCount(); }
    chart::ChartSettings GetSettings(int g) override { return CRunGraphPage::SettingsOf(mgr_, config_, g); }
    const chart::PointSource* GetPoints(int g) override { return &points_[g - 1]; }

private:
    struct Points : chart::PointSource {
        int graph = 0;
        const CGraphMgr* mgr = nullptr;
        size_t Count() const override { return size_t(mgr->GetLastIndex(graph) + 1); }
        double X(size_t i) const override { return mgr->GetXData(graph)[i]; }
        double Y(size_t i) const override { return mgr->GetYData(graph)[i]; }
    };
    const CGraphMgr& mgr_;
    const CAnalysisConfig& config_;
    Points points_[4];
};

std::vector<std::string> Drawn(CGraphPage& page) {
    fw::RecordingCanvas dc({900, 700});
    chart::CanvasSurface s(dc);
    page.Paint(s, {900, 700});
    return dc.ops;
}

class ViewerDataTest : public test_support::GraphStoreTest {
protected:
    fw::FakeUi ui;
    std::string path = ::testing::TempDir() + "viewer_data_test_" + std::to_string(::getpid()) + ".kvx";

    void TearDown() override {
        std::remove(path.c_str());
        test_support::GraphStoreTest::TearDown();
    }
    CAnalysisConfig& Config() { return *doc_->GetAnalysisConfig(); }

    // A page of three graphs with settings of their own; graph 2 holds no points.
    void RunAndSave() {
        StartRun(3, 0.0, 200.0);
        for (int g = 1; g <= 3; ++g) {
            mgr_->SetGraphSource(g, g);
            CGraphCfg& cfg = *Config().GetGraphCfg(g - 1);
            cfg.m_strTitle = "Output " + std::to_string(g);
            cfg.m_strXAxisLabel = "Micro Seconds";
            cfg.m_strYAxisLabel = "Volts";
            cfg.m_dXMax = 200.0;
            cfg.m_dYMin = -3.0 * g;
            cfg.m_dYMax = 3.0 * g;
            cfg.m_nXMinorTicks = g;
            cfg.m_nTraceColor = CGraphCfg::COLOR_MAGENTA;
            cfg.m_nGridType = g == 3 ? CGraphCfg::GRID_BOTH : CGraphCfg::GRID_NONE;
            if (g == 2) continue;
            Feed(g, 0.0, 200.0, 0.05, [g](double x) { return g * std::sin(x / 7.0); });
        }
        mgr_->SetRunning(FALSE);
        ASSERT_TRUE(SaveGraphsForViewerFile(*mgr_, path, Config(), "", "notes"));
    }
};

}  // namespace

TEST_F(ViewerDataTest, ShowsTheGraphsTheDesignWindowShowed) {
    RunAndSave();
    CViewerGraphData viewer;
    ASSERT_TRUE(viewer.Open(path));
    EXPECT_TRUE(ui.sink.boxes.empty());
    ASSERT_EQ(viewer.GetGraphCount(), 3);
    EXPECT_EQ(viewer.GetPoints(2)->Count(), 0u);
    EXPECT_EQ(viewer.GetPoints(1)->Count(), size_t(mgr_->GetLastIndex(1) + 1));

    StorePage design(*mgr_, Config());
    CGraphPage designPage(design), viewerPage(viewer);
    // Every line, number and text of the two pages is the same.
    EXPECT_EQ(Drawn(viewerPage), Drawn(designPage));

    // Cursors and zoom work on the file's points as on the run's.
    const fw::Rect plot = viewerPage.LayoutOf(3, {900, 700}).plot;
    viewerPage.OnMouse(GraphMouse::RightDown, {plot.left + plot.Width() / 2, plot.top + 5}, false);
    EXPECT_TRUE(viewerPage.Chart(3).cursorShown[chart::kGreen]);
    viewerPage.OnChar('M');
    EXPECT_NEAR(viewerPage.Chart(3).cursor[chart::kGreen].y, 3.0, 1e-3);
}

TEST_F(ViewerDataTest, DamagedFilesShowWhatCouldBeRead) {
    RunAndSave();
    const std::string text = test_support::ReadAll(path);
    const std::vector<uint8_t> whole(text.begin(), text.end());
    // Cut inside the last graph record written (graph 1): graphs 3 and 2 whole,
    // graph 1 with the points before the cut.
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(whole.data()), std::streamsize(whole.size() - 1000));
    }
    CViewerGraphData viewer;
    ASSERT_TRUE(viewer.Open(path));
    ASSERT_EQ(ui.sink.boxes.size(), 1u);
    EXPECT_EQ(ui.sink.boxes[0], "The KVX file's has been corrupted.\nNot all data has been restored.");
    EXPECT_EQ(viewer.GetGraphCount(), 3);
    EXPECT_EQ(viewer.GetSettings(3).title, "Output 3");
    EXPECT_GT(viewer.GetPoints(1)->Count(), 0u);
    EXPECT_LT(viewer.GetPoints(1)->Count(), size_t(mgr_->GetLastIndex(1) + 1));
    CGraphPage page(viewer);
    EXPECT_FALSE(Drawn(page).empty());

    // Bytes changed at random: whatever is read is drawn, and nothing fails.
    std::mt19937 random(17);
    for (int round = 0; round < 40; ++round) {
        std::vector<uint8_t> bytes = whole;
        for (int k = 0; k < 6; ++k) bytes[random() % bytes.size()] = uint8_t(random());
        {
            std::ofstream out(path, std::ios::binary | std::ios::trunc);
            out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
        }
        CViewerGraphData damaged;
        damaged.Open(path);
        CGraphPage p(damaged);
        Drawn(p);
        p.OnMouse(GraphMouse::RightDown, {600, 100}, false);
        p.Rescale();
        Drawn(p);
    }
}

TEST_F(ViewerDataTest, AFileThatCannotBeReadKeepsTheGraphsShown) {
    RunAndSave();
    CViewerGraphData viewer;
    ASSERT_TRUE(viewer.Open(path));
    EXPECT_FALSE(viewer.Open(path + ".missing"));
    ASSERT_EQ(ui.sink.boxes.size(), 1u);
    EXPECT_EQ(ui.sink.boxes[0], "Problem:  Could not open KVXViewer file for graph data");
    EXPECT_EQ(viewer.GetGraphCount(), 3);
    EXPECT_EQ(viewer.GetPath(), path);
}
