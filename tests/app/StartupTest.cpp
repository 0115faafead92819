#include <sys/stat.h>
#include <unistd.h>

#include "AppFixture.h"
#include "app/DesignDoc.h"

namespace {

TEST_F(AppTest, CommandLines) {
    struct Case {
        const char* line;
        const char* call;  // what the document was asked
        bool logging;
    };
    const Case cases[] = {
        {"", "new", false},
        {"~", "new", false},
        {"~x", "new", false},
        {"~~", "new", false},
        {"~!", "new", true},
        {"~!more", "new", true},
        {"/designs/my converter.SEF", "open /designs/my converter.SEF", false},
        {"!~", "open !~", false},
    };
    for (const Case& c : cases) {
        FakeDocState state;
        FakeDocFactory factory(state);
        fw::FakeUi ui;
        CPwrQuorraApp app;
        app.SetDocumentFactory(&factory);
        app.SetCommandLine(c.line);
        ASSERT_TRUE(app.InitInstance()) << c.line;
        EXPECT_EQ(state.calls, std::vector<std::string>{c.call}) << c.line;
        EXPECT_EQ(app.IsLoggingOn() != FALSE, c.logging) << c.line;
        ASSERT_NE(app.GetDocument(), nullptr);
    }
}

TEST_F(AppTest, LoggingFromTheCommandLineIsAnnouncedInTheLog) {
    ASSERT_TRUE(Start("~!"));
    EXPECT_NE(Log().find("Data logging has been enabled.\r\n"), std::string::npos);
    EXPECT_TRUE(ui_.sink.boxes.empty());  // logged, not shown
}

TEST_F(AppTest, TildeBangInAnEmptyFolderWritesTheLogThere) {
    // The log's default place is the current folder.
    char cwd[4096];
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    std::string dir = ::testing::TempDir() + "/pq-empty-" + std::to_string(getpid());
    ASSERT_EQ(mkdir(dir.c_str(), 0700), 0);
    ASSERT_EQ(chdir(dir.c_str()), 0);
    SetLogPath("PwrQuorra.log");
    ResetLogStarted();
    {
        CDesignDocFactory standIn;
        fw::FakeUi ui;
        CPwrQuorraApp app;
        app.SetDocumentFactory(&standIn);
        app.SetCommandLine("~!");
        ASSERT_TRUE(app.InitInstance());
    }
    std::ifstream f(dir + "/PwrQuorra.log", std::ios::binary);
    std::stringstream ss;
    ss << f.rdbuf();
    std::string log = ss.str();
    ASSERT_EQ(chdir(cwd), 0);
    EXPECT_NE(log.find("Data logging has been enabled."), std::string::npos);
    // The missing resource pack is logged as well (application module, code 3502).
    EXPECT_NE(log.find("Morvane:   CODE 3502"), std::string::npos);
    std::remove((dir + "/PwrQuorra.log").c_str());
    rmdir(dir.c_str());
}

TEST_F(AppTest, ASecondInstanceBringsTheFirstForwardAndEnds) {
    ui_.instances.acquireResult = fw::InstanceGuard::Result::AlreadyRunning;
    EXPECT_FALSE(Start(""));
    EXPECT_EQ(ui_.instances.acquired, std::vector<std::string>{"TQuorraPowerQuorraDesignerInstanceSemaphore"});
    EXPECT_EQ(ui_.instances.broughtToFront, std::vector<std::string>{"TQuorraPowerQuorraDesigner"});
    EXPECT_EQ(app_.GetMainFrame(), nullptr);
    EXPECT_TRUE(doc_.calls.empty());
    EXPECT_TRUE(ui_.sink.boxes.empty());
}

TEST_F(AppTest, AFailedInstanceMarkEndsSilently) {
    ui_.instances.acquireResult = fw::InstanceGuard::Result::Failed;
    EXPECT_FALSE(Start(""));
    EXPECT_TRUE(ui_.instances.broughtToFront.empty());
    EXPECT_EQ(app_.GetMainFrame(), nullptr);
}

TEST_F(AppTest, TheFrameFillsTheWorkAreaAndTheSplashIsUp) {
    ui_.windows.workArea = {0, 0, 1600, 860};
    ASSERT_TRUE(Start(""));
    EXPECT_EQ(Frame().GetWindowRect(), (fw::Rect{0, 0, 1600, 860}));
    EXPECT_TRUE(Frame().IsWindowVisible());
    EXPECT_TRUE(Frame().AcceptsFiles());
    EXPECT_EQ(Frame().GetWindowText(), "Power Quorra Designer - Morvane1");
    EXPECT_TRUE(Frame().HasChild());
    EXPECT_EQ(Frame().GetChildTitle(), "Morvane1");
    ASSERT_TRUE(app_.IsSplashUp());
    EXPECT_TRUE(app_.GetSplash()->IsWindowVisible());
    EXPECT_EQ(ui_.timers.Interval(*app_.GetSplash(), 1), 500u);
    EXPECT_EQ(app_.GetSplashStartTime(), ui_.clock.now);
    EXPECT_EQ(ui_.windows.waitCursorDepth, 0);
    EXPECT_GT(ui_.windows.waitCursorUses, 0);
}

// A start-up that opens a file: the load's message boxes see the frame of no
// design (blank panes, only what needs no design available), not placeholders.
TEST_F(AppTest, ALoadAtStartUpSeesTheFrameOfNoDesign) {
    for (bool opens : {false, true}) {
        SCOPED_TRACE(opens ? "file opens" : "file fails");
        FakeDocState state;
        FakeDocFactory factory(state);
        fw::FakeUi ui;
        CPwrQuorraApp app;
        app.SetDocumentFactory(&factory);
        app.SetCommandLine("/d/design.SEF");
        state.openResult = opens;
        std::vector<std::string> panes;
        std::vector<std::string> available;
        state.duringOpen = [&] {
            CMainFrame& frame = *app.GetMainFrame();
            for (int i = 1; i < frame.GetStatusBar().GetCount(); ++i) panes.push_back(frame.GetStatusBar().DisplayedText(i));
            for (const fw::ToolButton& b : frame.GetToolBar().Buttons())
                if (!(b.style & fw::TBBS_SEPARATOR) && b.enabled) available.push_back(std::to_string(b.id));
            for (UINT id : {fw::ID_FILE_SAVE, UINT(ID_SETUP_REQUIREMENTS), UINT(ID_ANALYSIS_NOTES)})
                if (frame.GetMenu().FindCommand(id)->enabled) available.push_back("menu " + std::to_string(id));
        };
        ASSERT_TRUE(app.InitInstance());
        EXPECT_EQ(panes, std::vector<std::string>(4, ""));
        // New and Open, and the commands that do not need a design.
        EXPECT_EQ(available, (std::vector<std::string>{"57600", "57601", "57664"}));
        EXPECT_EQ(app.GetDocument() != nullptr, opens);
        if (opens) {
            app.OnIdle(0);
            EXPECT_EQ(app.GetMainFrame()->GetStatusBar().DisplayedText(CMainFrame::kPaneOutputs), "1 Output");
        }
    }
}

TEST_F(AppTest, FrameThatCannotBeCreatedEndsStartUp) {
    ui_.windows.frameResult = false;
    EXPECT_FALSE(Start(""));
    EXPECT_EQ(app_.GetMainFrame(), nullptr);
}

TEST_F(AppTest, ResourcePackBesideTheProgram) {
    std::string dir = ::testing::TempDir() + "/pq-pack-" + std::to_string(getpid()) + "/";
    ASSERT_EQ(mkdir(dir.c_str(), 0700), 0);
    ui_.processes.programDirectory = dir;
    ASSERT_TRUE(fw::ResourcePack::Write(dir + kResourceLibraryName, {{400, fw::Image(2, 2, 0xFF000000u)}}));
    ASSERT_TRUE(Start("~!"));
    ASSERT_NE(app_.GetResourceLibrary(), nullptr);
    EXPECT_EQ(app_.GetResourceLibrary()->Count(), 1u);
    EXPECT_EQ(Log().find("CODE 3502"), std::string::npos);
    std::remove((dir + kResourceLibraryName).c_str());
    rmdir(dir.c_str());
}

TEST_F(AppTest, MissingResourcePackIsLoggedAndStartUpGoesOn) {
    ui_.processes.programDirectory = ::testing::TempDir() + "/nowhere/";
    ASSERT_TRUE(Start("~!"));
    EXPECT_EQ(app_.GetResourceLibrary(), nullptr);
    EXPECT_NE(Log().find("Morvane:   CODE 3502"), std::string::npos);
    EXPECT_NE(app_.GetDocument(), nullptr);
}

// The splash stays up for more than 2500 ms of idle time, unless a key or a
// click comes first; the tick count may wrap in between.
TEST_F(AppTest, SplashMinimumTime) {
    ui_.clock.now = 0xFFFFFF00u;  // wraps 256 ms after start
    ASSERT_TRUE(Start(""));
    ui_.clock.Advance(2500);
    EXPECT_TRUE(app_.OnIdle(0));
    EXPECT_TRUE(app_.IsSplashUp());
    ui_.clock.Advance(1);
    app_.OnIdle(0);
    EXPECT_FALSE(app_.IsSplashUp());
    EXPECT_TRUE(ui_.windows.dialogHosts.back()->destroyed);
}

TEST_F(AppTest, KeysAndClicksCloseTheSplashAndStillGoThrough) {
    for (UiInput input : {UiInput::KeyDown, UiInput::SysKeyDown, UiInput::LButtonDown, UiInput::RButtonDown,
                          UiInput::MButtonDown, UiInput::NcLButtonDown, UiInput::NcRButtonDown,
                          UiInput::NcMButtonDown}) {
        fw::FakeUi ui;
        FakeDocState state;
        FakeDocFactory factory(state);
        CPwrQuorraApp app;
        app.SetDocumentFactory(&factory);
        ASSERT_TRUE(app.InitInstance());
        EXPECT_FALSE(app.PreTranslateMessage(UiInput::Other));
        EXPECT_TRUE(app.IsSplashUp());
        EXPECT_FALSE(app.PreTranslateMessage(input));  // not swallowed
        EXPECT_FALSE(app.IsSplashUp());
    }
}

TEST_F(AppTest, WithoutASplashStartUpGoesOn) {
    ui_.windows.modelessResult = false;
    ASSERT_TRUE(Start(""));
    EXPECT_FALSE(app_.IsSplashUp());
    EXPECT_NE(app_.GetDocument(), nullptr);
    ui_.clock.Advance(10);
    app_.OnIdle(0);  // nothing to close
    // The failure is an internal code of the Splash module.
    SetLoggingQuery([] { return true; });
    CSplashWnd splash;
    EXPECT_FALSE(splash.Create(nullptr));
    EXPECT_NE(Log().find("Splash:    CODE 21100"), std::string::npos);
}

TEST_F(AppTest, SplashIconButtonIsTwiceTheIconSizePlusEight) {
    for (fw::Size icon : {fw::Size{32, 32}, fw::Size{48, 48}}) {
        fw::FakeUi ui;
        ui.windows.iconSize = icon;
        CSplashWnd splash;
        ASSERT_TRUE(splash.Create(nullptr));
        fw::Rect r = splash.GetDlgItem(IDC_SPLASH_ICON)->GetRect();
        EXPECT_EQ(r.Width(), icon.cx * 2 + 8);
        EXPECT_EQ(r.Height(), icon.cy * 2 + 8);
    }
}

TEST_F(AppTest, SplashIconIsFramedWithAShadowOverWhatLiesBeneath) {
    CIconButton button;
    fw::RecordingCanvas dc;
    dc.grabbable = true;
    button.DrawItem(dc, {0, 0, 72, 72});
    EXPECT_EQ(dc.ops, (std::vector<std::string>{
                          "grab 2,2 64x64",
                          "rect 0,0-68,68 hollow",
                          "fill 68,4-72,72 808080",
                          "fill 4,68-72,72 808080",
                          "image 32x32 0,0-32,32 -> 2,2-66,66",
                      }));
}

TEST_F(AppTest, LoggingQueryIsInstalledAtStart) {
    ASSERT_TRUE(Start(""));
    doc_.loggingSwitch = TRUE;
    ResetLogStarted();
    ReportMessage(53010, FALSE);  // not running: the design's switch does not count
    EXPECT_EQ(Log(), "");
    doc_.running = TRUE;
    ReportMessage(53010, FALSE);
    EXPECT_NE(Log().find("Data logging has been enabled."), std::string::npos);
}

TEST_F(AppTest, IsLoggingOnCases) {
    ASSERT_TRUE(Start(""));
    struct Case {
        BOOL running, loggingSwitch, expected;
    };
    for (Case c : {Case{FALSE, FALSE, FALSE}, Case{FALSE, TRUE, FALSE}, Case{TRUE, FALSE, FALSE}, Case{TRUE, TRUE, TRUE}}) {
        doc_.running = c.running;
        doc_.loggingSwitch = c.loggingSwitch;
        EXPECT_EQ(app_.IsLoggingOn(), c.expected);
    }
    doc_.running = FALSE;
    ASSERT_TRUE(app_.CloseCurrentDocument());
    EXPECT_FALSE(app_.IsLoggingOn());
}

TEST_F(AppTest, ExitInstanceKeepsTheRecentFiles) {
    std::string profile = ::testing::TempDir() + "/recent-test-" + std::to_string(getpid()) + ".txt";
    std::remove(profile.c_str());
    app_.SetProfilePath(profile);
    ASSERT_TRUE(Start("/d/one.SEF"));
    EXPECT_EQ(app_.ExitInstance(), 0);
    fw::RecentFileList again;
    again.Load(profile);
    ASSERT_EQ(again.Size(), 1u);
    EXPECT_EQ(again[0], "/d/one.SEF");
    std::remove(profile.c_str());
}

}  // namespace
