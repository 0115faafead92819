// The frame's side of an analysis run: Start and Stop, the progress pane and
// the result, driven by scripted workers that post through the frame's queue.
#include <functional>

#include "AppFixture.h"
#include "app/DesignDoc.h"
#include "platform/core/Event.h"

namespace {

// Records every text the progress pane takes.
class PaneRecorder : public fw::FakeFrameHost {
public:
    explicit PaneRecorder(fw::FrameWnd& frame) : frame_(frame) {}
    void StatusPaneChanged(int index) override {
        if (index == CMainFrame::kPaneProgress) texts.push_back(frame_.GetStatusBar().GetPaneText(index));
    }
    std::vector<std::string> texts;

private:
    fw::FrameWnd& frame_;
};

class FakeGraphs : public CGraphPageLink {
public:
    void SetRunning(BOOL r) override { running = r; }
    BOOL IsAnalysisRunning() override { return running; }
    BOOL HasGraphData() override { return FALSE; }
    int GetGraphCount() override { return 0; }
    BOOL IsBlownUp() override { return FALSE; }
    void ClearAndRecreatePage() override { ++recreated; }
    BOOL HasEmptyGraph() override { return emptyGraph; }
    BOOL running = FALSE;
    BOOL emptyGraph = FALSE;
    int recreated = 0;
};

class RunDisplayTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        app_.SetDocumentFactory(&designs_);
        ASSERT_TRUE(Start(""));
        app_.OnIdle(0);  // the first idle moment after start-up
        CMainFrame::ResetProgressPhases();
        recorder_ = std::make_unique<PaneRecorder>(Frame());
        Frame().AttachFrameHost(recorder_.get());
        Frame().SetGraphPageLink(&graphs_);
    }
    void TearDown() override {
        Frame().SetGraphPageLink(nullptr);
        // The recorder goes before the application: the frame lets go of it first.
        Frame().DestroyWindow();
        AppTest::TearDown();
    }
    CPwrQuorraDoc& Design() { return app_.GetDocument()->Design(); }

    // Starts a run as Analysis > Start does once the design is prepared; the
    // worker runs the script with the run's parameter block.
    void StartRun(std::function<void(AnalysisThreadParams&)> script) {
        Design().SetAnalysisWorkerProc([this, script](AnalysisThreadParams& p) {
            p.hStartEvent->Wait();
            script(p);
            p.hFinishedEvent->Set();
            workerDone_.Set();
        });
        ASSERT_TRUE(Design().PrepareAnalysis());
        Frame().SetStartStopMenu(TRUE);
        ASSERT_TRUE(Design().StartAnalysis());
    }
    void Post(UINT message, intptr_t wParam = 0) { Frame().PostMessage(message, wParam, 0); }
    void WaitForWorkerAndDrain() {
        ASSERT_TRUE(workerDone_.Wait(20000));
        Frame().DrainPostedMessages();
    }
    void ExpectStartState() {
        const fw::MenuItem* start = Frame().GetMenu().FindCommand(ID_ANALYSIS_START);
        ASSERT_NE(start, nullptr);
        EXPECT_EQ(start->text, "&Start");
        EXPECT_EQ(Frame().GetMenu().FindCommand(ID_ANALYSIS_STOP), nullptr);
        const fw::ToolButton& b = Frame().GetToolBar().Buttons().at(24);
        EXPECT_EQ(b.id, ID_ANALYSIS_START);
        EXPECT_EQ(b.image, 22);
        EXPECT_FALSE(graphs_.running);
    }
    const std::string& Pane() { return Frame().GetStatusBar().GetPaneText(CMainFrame::kPaneProgress); }

    CDesignDocFactory designs_;
    std::unique_ptr<PaneRecorder> recorder_;
    FakeGraphs graphs_;
    fw::Event workerDone_{true};
};

TEST_F(RunDisplayTest, ScriptedWorkerShowsProgressThenTheResult) {
    StartRun([this](AnalysisThreadParams& p) {
        for (int i = 0; i < 4; ++i) Post(WM_RUN_PROGRESS, 998);
        Post(WM_RUN_PROGRESS, 42);
        p.runStatus = 3;
        Post(WM_RUN_ENDED);
    });
    // Running: Stop in the menu and on the toolbar, File New unavailable.
    const fw::MenuItem* stop = Frame().GetMenu().FindCommand(ID_ANALYSIS_STOP);
    ASSERT_NE(stop, nullptr);
    EXPECT_EQ(stop->text, "&Stop");
    EXPECT_TRUE(stop->enabled);
    EXPECT_EQ(Frame().GetToolBar().Buttons().at(24).id, ID_ANALYSIS_STOP);
    EXPECT_EQ(Frame().GetToolBar().Buttons().at(24).image, 32);
    EXPECT_TRUE(graphs_.running);
    Frame().UpdateCommandUI();  // the next idle moment
    EXPECT_FALSE(Frame().GetMenu().FindCommand(fw::ID_FILE_NEW)->enabled);

    WaitForWorkerAndDrain();
    EXPECT_EQ(recorder_->texts, (std::vector<std::string>{"   .", "   o", "   O", "   .", "42%", "Err11"}));
    EXPECT_EQ(ui_.sink.boxes,
              std::vector<std::string>{"Problem:  Analysis has been terminated. (Error Number 11)\n"
                                       "Please contact Halverd Support."});
    EXPECT_EQ(graphs_.recreated, 1);
    ExpectStartState();
    EXPECT_FALSE(Design().IsAnalysisRunning());
    EXPECT_FALSE(Design().HasAnalysisWorker());
}

TEST_F(RunDisplayTest, ResultCodes) {
    struct Case {
        int32_t status;
        const char* box;
        const char* pane;
        BOOL emptyGraph = FALSE;
    };
    const Case cases[] = {
        {1, "Analysis was successful.", "77%"},  // the last progress text stays
        // Never plain success over a graph that shows nothing.
        {1,
         "Analysis was successful, but at least one graph shows no point:\nits x axis lies outside the range the "
         "analysis covered.\nSet the graph's start and stop values and run the analysis again.",
         "77%", TRUE},
        {2, "Analysis was not successful.", "Fail"},
        {3, "Problem:  Analysis has been terminated. (Error Number 11)\nPlease contact Halverd Support.", "Err11"},
        {0, "There was an error in Analysis Results", "  "},
        {7, "There was an error in Analysis Results", "  "},
    };
    for (const Case& c : cases) {
        ui_.sink.Clear();
        graphs_.emptyGraph = c.emptyGraph;
        workerDone_.Reset();
        StartRun([this, c](AnalysisThreadParams& p) {
            Post(WM_RUN_PROGRESS, 77);
            p.runStatus = c.status;
            Post(WM_RUN_ENDED);
        });
        WaitForWorkerAndDrain();
        EXPECT_EQ(ui_.sink.boxes, std::vector<std::string>{c.box}) << c.status;
        EXPECT_EQ(Pane(), c.pane) << c.status;
        ExpectStartState();
    }
}

TEST_F(RunDisplayTest, ProgressTexts) {
    const std::pair<intptr_t, const char*> cases[] = {
        {999, "   |"}, {999, "   /"}, {999, "  ---"}, {999, "   \\"}, {999, "   |"},
        {1000, " "},     {0, "0%"},     {100, "100%"},   {998, "   ."}, {998, "   o"},
    };
    for (const auto& [code, text] : cases) {
        Post(WM_RUN_PROGRESS, code);
        Frame().DrainPostedMessages();
        EXPECT_EQ(Pane(), text) << code;
    }
    // The spinners go on where the last run left them.
    Post(WM_RUN_PROGRESS, 998);
    Post(WM_RUN_PROGRESS, 999);
    Frame().DrainPostedMessages();
    EXPECT_EQ(recorder_->texts.back(), "   /");
    EXPECT_EQ(recorder_->texts[recorder_->texts.size() - 2], "   O");

    // Without a design nothing shows.
    ASSERT_TRUE(app_.CloseCurrentDocument());
    Post(WM_RUN_PROGRESS, 55);
    Frame().DrainPostedMessages();
    EXPECT_NE(Pane(), "55%");
}

TEST_F(RunDisplayTest, StopIfRunningWithoutARunChangesNothing) {
    Post(WM_RUN_PROGRESS, 42);
    Frame().DrainPostedMessages();
    size_t changes = recorder_->texts.size();
    int menuChanges = recorder_->menuChanges;
    Post(WM_RUN_STOP_IF_RUNNING);
    Frame().DrainPostedMessages();
    EXPECT_EQ(Pane(), "42%");
    EXPECT_EQ(recorder_->texts.size(), changes);
    EXPECT_EQ(recorder_->menuChanges, menuChanges);
    EXPECT_TRUE(ui_.sink.boxes.empty());
    ExpectStartState();
}

// A worker that runs until it is told to quit.
TEST_F(RunDisplayTest, StopsEndTheRun) {
    auto untilQuit = [](AnalysisThreadParams& p) {
        while (!p.hQuitEvent->Wait(5)) {
        }
        p.runStatus = 2;
    };
    // The unrecoverable-error path: stop, Start again, pane cleared.
    StartRun(untilQuit);
    Post(WM_RUN_PROGRESS, 30);
    Post(WM_RUN_STOP_IF_RUNNING);
    Frame().DrainPostedMessages();
    EXPECT_TRUE(workerDone_.Wait(0));
    EXPECT_FALSE(Design().IsAnalysisRunning());
    EXPECT_EQ(Pane(), "  ");
    ExpectStartState();

    // The graph manager's stop request: the pane keeps its text.
    workerDone_.Reset();
    StartRun(untilQuit);
    Post(WM_RUN_PROGRESS, 31);
    Post(WM_RUN_STOP_REQUEST);
    Frame().DrainPostedMessages();
    EXPECT_TRUE(workerDone_.Wait(0));
    EXPECT_EQ(Pane(), "31%");
    ExpectStartState();

    // Analysis > Stop.
    workerDone_.Reset();
    StartRun(untilQuit);
    Frame().UpdateCommandUI();
    EXPECT_TRUE(Frame().OnUserCommand(ID_ANALYSIS_STOP));
    EXPECT_TRUE(workerDone_.Wait(0));
    EXPECT_EQ(Pane(), "Stop");
    ExpectStartState();
    EXPECT_TRUE(ui_.sink.boxes.empty());
}

// A stop request after the run has ended returns at once and leaves Start.
TEST_F(RunDisplayTest, LateStopRequestLeavesStart) {
    Post(WM_RUN_STOP_REQUEST);
    Frame().DrainPostedMessages();
    ExpectStartState();
    Frame().UpdateCommandUI();
    EXPECT_TRUE(Frame().GetMenu().FindCommand(fw::ID_FILE_NEW)->enabled);
}

TEST_F(RunDisplayTest, WithoutADesignTheCodesAreLogged) {
    SetLoggingQuery([] { return true; });
    ASSERT_TRUE(app_.CloseCurrentDocument());
    Frame().SetStartStopMenu(TRUE);
    Post(WM_RUN_ENDED);
    Post(WM_RUN_STOP_REQUEST);
    Post(WM_RUN_STOP_IF_RUNNING);
    Frame().DrainPostedMessages();
    std::string log = Log();
    size_t a = log.find("MainFrm:   CODE 1931");
    size_t b = log.find("MainFrm:   CODE 1932");
    size_t c = log.find("MainFrm:   CODE 1933");
    ASSERT_NE(a, std::string::npos);
    ASSERT_NE(b, std::string::npos);
    ASSERT_NE(c, std::string::npos);
    EXPECT_LT(a, b);
    EXPECT_LT(b, c);
    // The run-ended message still switches back to Start.
    ExpectStartState();
    EXPECT_TRUE(ui_.sink.boxes.empty());
}

}  // namespace
