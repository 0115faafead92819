// The graph page of the design window from the frame's side: made with the
// design's window and gone with it, rebuilt with the run's graphs when a run
// starts, the Graph commands with their one-shot redraw, and the redraws
// that keep coming while a run adds points.
#include "AppFixture.h"
#include "graphs/GraphMgr.h"
#include "graphs/GraphPageRun.h"

namespace {

class CountingWindow : public CGraphPageWindow {
public:
    CountingWindow(int& made, int& gone, int& invalidations) : gone_(gone), invalidations_(invalidations) { ++made; }
    ~CountingWindow() override { ++gone_; }
    void Invalidate() override { ++invalidations_; }

private:
    int& gone_;
    int& invalidations_;
};

void UseVariable(CEquation& eq, int32_t id) {
    CObEquation t;
    t.m_nKind = CObEquation::KIND_VARIABLE;
    t.m_nVarId = id;
    eq.GetTokens().AddCopy(t);
}

class GraphCommandsTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        CRunGraphPage::SetWindowFactory([this](CGraphPage&) {
            return std::make_unique<CountingWindow>(made_, gone_, invalidations_);
        });
        ASSERT_TRUE(Start(""));
    }
    void TearDown() override {
        app_.CloseCurrentDocument();
        CRunGraphPage::SetWindowFactory(nullptr);
        GraphMgr().Reset(0);
        AppTest::TearDown();
    }
    CPwrQuorraDoc& Design() { return app_.GetDocument()->Design(); }
    CGraphPage& Page() { return RunGraphPage().Page(); }

    // Variables 1 and 3 in use: a time-domain run plots two graphs, each
    // over its own settings' x range; the run's page is then built with a
    // curve on each.
    void RunWithTwoGraphs() {
        CAnalysisConfig& cfg = *Design().GetAnalysisConfig();
        UseVariable(*cfg.GetEquation(1), 5);
        UseVariable(*cfg.GetEquation(3), 7);
        for (int s : {0, 2}) {
            CGraphCfg& g = *cfg.GetGraphCfg(s);
            g.m_strTitle = "Variable " + std::to_string(s + 1);
            g.m_dXMin = 10.0 * (s + 1);
            g.m_dXMax = 100.0 * (s + 1);
        }
        Design().SetAnalysisSetupOpen(1);
        GraphMgr().RebuildPage();
        Design().SetAnalysisSetupOpen(0);
        for (int g = 1; g <= 2; ++g)
            for (int i = 0; i <= 10; ++i)
                GraphMgr().PlotSample(g, GraphMgr().GetGraphStart(g) + i, i % 3 * 1.0, 0.0);
        Paint();
        Frame().UpdateCommandUI();
    }
    void Paint() {
        fw::RecordingCanvas dc({800, 600});
        chart::CanvasSurface s(dc);
        Page().Paint(s, {800, 600});
    }
    bool RedrawDue() const { return ui_.timers.IsActive(*app_.GetMainFrame(), ID_GRAPH_REDRAW); }
    void FireRedraw() { ui_.timers.Fire(Frame(), ID_GRAPH_REDRAW); }
    bool Enabled(UINT id) {
        const fw::MenuItem* m = Frame().GetMenu().FindCommand(id);
        return m && m->enabled;
    }

    int made_ = 0, gone_ = 0, invalidations_ = 0;
};

}  // namespace

TEST_F(GraphCommandsTest, ThePageLivesWithTheDesignWindow) {
    EXPECT_TRUE(RunGraphPage().HasPage());
    EXPECT_EQ(made_, 1);
    // A design that was never run shows an empty page.
    EXPECT_EQ(GraphMgr().GetGraphCount(), 0);

    ASSERT_TRUE(app_.CloseCurrentDocument());
    EXPECT_FALSE(RunGraphPage().HasPage());
    EXPECT_EQ(gone_, 1);
    // No design window, nothing to rebuild.
    GraphMgr().RebuildPage();
    EXPECT_EQ(made_, 1);

    app_.OnFileNew();
    EXPECT_TRUE(RunGraphPage().HasPage());
    EXPECT_EQ(made_, 2);
}

TEST_F(GraphCommandsTest, ARunStartsOnAFreshPageOfItsGraphs) {
    RunWithTwoGraphs();
    // Attached at once, each over its settings' range, before the first paint.
    EXPECT_EQ(GraphMgr().GetGraphCount(), 2);
    EXPECT_TRUE(GraphMgr().IsGraphAttached(2));
    EXPECT_EQ(GraphMgr().GetGraphStart(1), 10.0);
    EXPECT_EQ(GraphMgr().GetGraphStop(2), 300.0);
    ASSERT_EQ(Page().GetGraphCount(), 2);
    EXPECT_EQ(Page().Chart(2).settings.title, "Variable 3");
    EXPECT_EQ(Page().Chart(2).points->Count(), 11u);
    EXPECT_EQ(made_, 1);  // the same window shows the new page

    // The rules: data and two graphs make every Graph command available.
    for (UINT id : {ID_GRAPH_BLOW_UP, ID_GRAPH_RESCALE, ID_GRAPH_RESTORE, ID_GRAPH_PRINT, ID_GRAPH_COPY})
        EXPECT_TRUE(Enabled(id)) << id;
}

TEST_F(GraphCommandsTest, GraphCommandsAndTheirRedraw) {
    RunWithTwoGraphs();
    Page().SelectGraph(2);

    ASSERT_TRUE(Frame().OnUserCommand(ID_GRAPH_BLOW_UP));
    EXPECT_TRUE(Page().IsBlownUp());
    EXPECT_EQ(GraphMgr().IsBlownUp(), TRUE);
    Frame().UpdateCommandUI();
    EXPECT_TRUE(Frame().GetMenu().FindCommand(ID_GRAPH_BLOW_UP)->checked);
    // The one-shot redraw: 1 ms, stopped when it fires.
    ASSERT_TRUE(RedrawDue());
    EXPECT_EQ(ui_.timers.Interval(Frame(), ID_GRAPH_REDRAW), 1u);
    const int before = invalidations_;
    FireRedraw();
    EXPECT_FALSE(RedrawDue());
    EXPECT_GT(invalidations_, before);

    ASSERT_TRUE(Frame().OnUserCommand(ID_GRAPH_RESCALE));
    EXPECT_EQ(Page().Chart(2).views.Depth(), 1u);
    EXPECT_TRUE(RedrawDue());
    ASSERT_TRUE(Frame().OnUserCommand(ID_GRAPH_RESTORE));
    EXPECT_EQ(Page().Chart(2).views.Depth(), 0u);

    ASSERT_TRUE(Frame().OnUserCommand(ID_GRAPH_PRINT));
    EXPECT_EQ(ui_.printing.jobs.size(), 1u);
    ASSERT_TRUE(Frame().OnUserCommand(ID_GRAPH_BLOW_UP));
    EXPECT_FALSE(Page().IsBlownUp());

    // A zoom asks for the same redraw.
    FireRedraw();
    Page().onZoomed();
    EXPECT_TRUE(RedrawDue());
}

TEST_F(GraphCommandsTest, WhileARunAddsPointsThePageIsRedrawnOverAndOver) {
    RunWithTwoGraphs();
    Frame().SetStartStopMenu(TRUE);
    EXPECT_FALSE(Enabled(ID_GRAPH_RESCALE));
    ASSERT_TRUE(RedrawDue());
    EXPECT_GT(ui_.timers.Interval(Frame(), ID_GRAPH_REDRAW), 1u);
    const int before = invalidations_;
    FireRedraw();
    FireRedraw();
    EXPECT_TRUE(RedrawDue());
    EXPECT_GE(invalidations_, before + 2);

    Frame().SetStartStopMenu(FALSE);
    FireRedraw();  // the last one shows the run's end
    EXPECT_FALSE(RedrawDue());
}
