// Graph > Save As Text and Save For Viewer from the frame, and the store each run plots into.
#include <filesystem>
#include <functional>

#include "AppFixture.h"
#include "app/DesignDoc.h"
#include "app/GraphLink.h"
#include "graphs/GraphMgr.h"
#include "graphs/GraphPageRun.h"
#include "graphs/KXGraph.h"

namespace {

class GraphSaveTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        ASSERT_TRUE(Start(""));
        dir_ = std::filesystem::path(::testing::TempDir()) / ("pq-graph-save-" + std::to_string(getpid()));
        std::filesystem::create_directories(dir_);
        // One time-domain graph with two points.
        CGraphMgr& mgr = GraphMgr();
        mgr.Reset(1);
        const WORD ids[kGraphItemIds] = {};
        mgr.AttachGraph(1, 0, ids, 0.0, 10.0);
        mgr.SetGraphSource(1, 1);
        mgr.PlotSample(1, 1.0, 2.0, 0.0);
        mgr.PlotSample(1, 3.0, -4.0, 0.0);
        Design().GetAnalysisConfig()->GetGraphCfg(0)->m_strTitle = "Output voltage";
        Frame().UpdateCommandUI();
    }
    void TearDown() override {
        GraphMgr().Reset(0);
        std::filesystem::remove_all(dir_);
        AppTest::TearDown();
    }
    CPwrQuorraDoc& Design() { return app_.GetDocument()->Design(); }
    // Neither graph save runs nor asks for a file.
    void ExpectNoGraphSaves() {
        Frame().UpdateCommandUI();
        ui_.files.answers = {(dir_ / "x.txt").string()};
        EXPECT_FALSE(Frame().OnUserCommand(ID_GRAPH_SAVE_AS_TEXT));
        EXPECT_FALSE(Frame().OnUserCommand(ID_GRAPH_SAVE_FOR_VIEWER));
        EXPECT_TRUE(ui_.files.requests.empty());
    }

    std::filesystem::path dir_;
};

TEST_F(GraphSaveTest, SaveAsTextWritesThePage) {
    const std::string path = (dir_ / "graphs.txt").string();
    ui_.files.answers = {path};
    EXPECT_TRUE(Frame().OnUserCommand(ID_GRAPH_SAVE_AS_TEXT));
    ASSERT_EQ(ui_.files.requests.size(), 1u);
    EXPECT_EQ(ui_.files.requests[0].filter, "Text Files (*.txt)|*.txt|All Files (*.*)|*.*||");
    EXPECT_EQ(ui_.files.requests[0].defaultExtension, "txt");
    EXPECT_EQ(ui_.files.requests[0].initialPath, PlainTitle(*app_.GetDocument()) + " - Graphs.txt");
    EXPECT_FALSE(ui_.files.requests[0].overwritePrompt);
    std::ifstream f(path, std::ios::binary);
    std::stringstream ss;
    ss << f.rdbuf();
    const std::string text = ss.str();
    EXPECT_EQ(text.rfind("File:  \r\nDate:  ", 0), 0u) << text;
    EXPECT_NE(text.find("Graph Title:  Output voltage \r\n"), std::string::npos);
    EXPECT_NE(text.find("+3.0000000000000000e+000          -4.0000000000000000e+000\r\n\r\n\r\n\r\n"), std::string::npos);
    EXPECT_TRUE(ui_.sink.boxes.empty());
    EXPECT_EQ(ui_.windows.waitCursorDepth, 0);

    // Cancelled: nothing is written.
    ui_.files.answers = {std::nullopt};
    std::filesystem::remove(path);
    EXPECT_TRUE(Frame().OnUserCommand(ID_GRAPH_SAVE_AS_TEXT));
    EXPECT_FALSE(std::filesystem::exists(path));
}

// Both graph saves start where the user last saved a file, since this design has no folder yet.
TEST_F(GraphSaveTest, SavesStartInTheFolderLastUsed) {
    ui_.files.answers = {(dir_ / "first.txt").string()};
    ASSERT_TRUE(Frame().OnUserCommand(ID_GRAPH_SAVE_AS_TEXT));
    for (UINT command : {ID_GRAPH_SAVE_AS_TEXT, ID_GRAPH_SAVE_FOR_VIEWER}) {
        SCOPED_TRACE(command);
        ui_.files.requests.clear();
        ui_.files.answers = {std::nullopt};
        EXPECT_TRUE(Frame().OnUserCommand(command));
        ASSERT_EQ(ui_.files.requests.size(), 1u);
        EXPECT_EQ(std::filesystem::path(ui_.files.requests[0].initialFolder), dir_);
    }
}

TEST_F(GraphSaveTest, SaveForViewerWritesAFileTheReaderTakes) {
    const std::string path = (dir_ / "graphs.kvx").string();
    Design().GetMiscData()->SetNotes("prototype B");
    ui_.files.answers = {path};
    EXPECT_TRUE(Frame().OnUserCommand(ID_GRAPH_SAVE_FOR_VIEWER));
    ASSERT_EQ(ui_.files.requests.size(), 1u);
    EXPECT_EQ(ui_.files.requests[0].filter, "Viewer Files (*.kvx)|*.kvx|All Files (*.*)|*.*||");
    EXPECT_EQ(ui_.files.requests[0].defaultExtension, "kvx");
    EXPECT_EQ(ui_.files.requests[0].initialPath, PlainTitle(*app_.GetDocument()) + ".kvx");
    CPwrQuorraViewerObj root;
    ASSERT_TRUE(LoadViewerFile(path, root));
    EXPECT_TRUE(ui_.sink.boxes.empty());
    EXPECT_EQ(root.m_strNotes, "prototype B");
    EXPECT_EQ(root.m_strDesignFile, "   < file timestamp unknown >");
    ASSERT_EQ(root.m_nGraphCount, 1);
    EXPECT_EQ(root.Graph(0).m_strTitle, "Output voltage");
    EXPECT_EQ(root.Points(0).y, (std::vector<double>{2.0, -4.0}));
}

TEST_F(GraphSaveTest, FailedSavesAreToldAndLeaveNoFile) {
    SetLoggingQuery([] { return true; });
    struct Case {
        UINT command;
        const char* box;
        const char* code;
    };
    const Case cases[] = {
        {ID_GRAPH_SAVE_AS_TEXT, "A problem occurred writing the graph data text file.", "MainFrm:   CODE 1934"},
        {ID_GRAPH_SAVE_FOR_VIEWER, "Problem:  Could not open KVXViewer file for graph data", "MainFrm:   CODE 1935"},
    };
    for (const Case& c : cases) {
        ui_.sink.Clear();
        const std::string path = (dir_ / "missing" / "graphs").string();
        ui_.files.answers = {path};
        EXPECT_TRUE(Frame().OnUserCommand(c.command));
        EXPECT_EQ(ui_.sink.boxes, std::vector<std::string>{c.box});
        EXPECT_NE(Log().find(c.code), std::string::npos);
        EXPECT_FALSE(std::filesystem::exists(path));
    }
}

TEST_F(GraphSaveTest, TheSavesNeedGraphDataAndNoRun) {
    GraphMgr().Reset(1);
    ExpectNoGraphSaves();
}

// Opening or making another design empties the page and the progress pane: nothing of the last
// design's run can be exported, printed or read as the new one's.
TEST_F(GraphSaveTest, AnotherDesignStartsOnEmptyGraphs) {
    struct Case {
        const char* name;
        std::function<void()> replace;
    };
    const Case cases[] = {
        {"open", [this] { ASSERT_NE(app_.OpenDocumentFile((dir_ / "other.SEF").string()), nullptr); }},
        {"new", [this] { Frame().OnUserCommand(fw::ID_FILE_NEW); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CGraphMgr& mgr = GraphMgr();
        mgr.Reset(1);
        const WORD ids[kGraphItemIds] = {};
        mgr.AttachGraph(1, 0, ids, 0.0, 10.0);
        mgr.PlotSample(1, 1.0, 2.0, 0.0);
        mgr.PlotSample(1, 3.0, -4.0, 0.0);
        Frame().SetProgressText("100%");
        Frame().UpdateCommandUI();
        ASSERT_TRUE(mgr.HasGraphData());
        const uint64_t before = app_.GetDocumentSerial();
        c.replace();
        ASSERT_NE(app_.GetDocumentSerial(), before);
        EXPECT_FALSE(mgr.HasGraphData());
        EXPECT_EQ(Frame().GetStatusBar().GetPaneText(CMainFrame::kPaneProgress), "  ");
        ExpectNoGraphSaves();
    }
}

// Each print job proposes its own file in the design's folder: a graph print after a summary print
// never offers (and so never silently overwrites) the summary's PDF.
TEST_F(GraphSaveTest, EachPrintJobProposesAFileNamedAfterTheDesignAndTheJob) {
    ASSERT_NE(app_.OpenDocumentFile((dir_ / "buck.SEF").string()), nullptr);
    CGraphMgr& mgr = GraphMgr();
    mgr.Reset(1);
    const WORD ids[kGraphItemIds] = {};
    mgr.AttachGraph(1, 0, ids, 0.0, 10.0);
    mgr.PlotSample(1, 1.0, 2.0, 0.0);
    mgr.PlotSample(1, 3.0, -4.0, 0.0);
    Frame().UpdateCommandUI();
    EXPECT_TRUE(Frame().OnUserCommand(fw::ID_FILE_PRINT));
    EXPECT_TRUE(Frame().OnUserCommand(ID_GRAPH_PRINT));
    EXPECT_EQ(ui_.printing.proposedFiles,
              (std::vector<std::string>{(dir_ / "buck - Summary.pdf").string(), (dir_ / "buck - Graphs.pdf").string()}));
}

TEST_F(GraphSaveTest, TheLinkFindsAGraphWithoutAPoint) {
    EXPECT_FALSE(AppGraphLink().HasEmptyGraph());
    CGraphMgr& mgr = GraphMgr();
    mgr.Reset(2);
    const WORD ids[kGraphItemIds] = {};
    mgr.AttachGraph(1, 0, ids, 0.0, 10.0);
    mgr.AttachGraph(2, 0, ids, 20.0, 30.0);
    mgr.PlotSample(1, 1.0, 2.0, 0.0);
    mgr.PlotSample(2, 1.0, 2.0, 0.0);  // outside graph 2's range
    EXPECT_TRUE(AppGraphLink().HasEmptyGraph());
    mgr.PlotSample(2, 25.0, 2.0, 0.0);
    EXPECT_FALSE(AppGraphLink().HasEmptyGraph());
}

TEST(DesignDocumentTest, RunsPlotIntoTheGraphManager) {
    CDesignDocument doc;
    EXPECT_EQ(doc.Design().GetThreadParams().pGraphSink, static_cast<CGraphSampleSink*>(&GraphMgr()));
}

}  // namespace
