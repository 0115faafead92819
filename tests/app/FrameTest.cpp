#include <sys/stat.h>

#include <algorithm>

#include "AppFixture.h"

namespace {

TEST(StatusPaneTexts, ControlModeByVariant) {
    struct Case {
        WORD variant;
        const char* text;  // "" keeps the pane's text
    };
    const Case cases[] = {
        {999, "Mode: "},
        {0, "Mode: Peak Current"},
        {1, "Mode: Voltage Feed Forward"},
        {2, "Mode: Voltage"},
        {3, "Mode: Hysteretic Current"},
        {4, "Mode: Average Current"},
        {5, ""},
        {443, ""},  // 51720 + 443 is an unrelated message, never a mode
        {998, ""},
    };
    for (const Case& c : cases) EXPECT_EQ(ControlModePaneText(c.variant), c.text) << c.variant;
}

TEST(StatusPaneTexts, OutputCount) {
    const char* expected[] = {" ", "1 Output", "2 Outputs", "3 Outputs", "4 Outputs", " ", " "};
    for (WORD n = 0; n <= 6; ++n) EXPECT_EQ(OutputsPaneText(n), expected[n]) << n;
    EXPECT_EQ(OutputsPaneText(65535), " ");
}

TEST_F(AppTest, StatusPanesFollowTheDesign) {
    doc_.topology = 3;
    doc_.outputs = 2;
    ASSERT_TRUE(Start(""));
    fw::StatusBar& sb = Frame().GetStatusBar();
    ASSERT_EQ(sb.GetCount(), 5);
    EXPECT_EQ(sb.GetPaneText(1), "Single Ended Forward ");
    EXPECT_EQ(sb.GetPaneText(2), "Mode: Hysteretic Current");
    EXPECT_EQ(sb.GetPaneText(3), "2 Outputs");
    EXPECT_EQ(sb.GetPaneText(4), "  ");
    Frame().UpdateCommandUI();
    for (int i = 1; i < 5; ++i) EXPECT_TRUE(sb.Panes()[i].enabled);

    // A variant without a name leaves the pane's text.
    doc_.topology = 7;
    doc_.outputs = 6;
    app_.RefreshMainFrame(FALSE);
    EXPECT_EQ(sb.GetPaneText(2), "Mode: Hysteretic Current");
    EXPECT_EQ(sb.GetPaneText(3), " ");
    EXPECT_GT(ui_.windows.LastFrameHost()->paintsNow, 0);

    // No design: blanks, and panes 2 to 5 show nothing.
    ASSERT_TRUE(app_.CloseCurrentDocument());
    EXPECT_EQ(sb.GetPaneText(2), " ");
    EXPECT_EQ(sb.GetPaneText(3), " ");
    Frame().UpdateCommandUI();
    for (int i = 1; i < 5; ++i) EXPECT_EQ(sb.DisplayedText(i), "") << i;
    EXPECT_EQ(Frame().GetWindowText(), "Power Quorra Designer");
    EXPECT_FALSE(Frame().HasChild());
}

// A new design: the commands whose targets exist follow their rules; the
// Setup, Start, Graph and help commands have no target yet.
TEST_F(AppTest, CommandsWithoutTargetsAreUnavailable) {
    ASSERT_TRUE(Start(""));
    Frame().UpdateCommandUI();
    std::vector<UINT> enabled;
    Frame().GetMenu().ForEachCommand([&](const fw::MenuItem& m) {
        if (m.enabled) enabled.push_back(m.id);
    });
    EXPECT_EQ(enabled, (std::vector<UINT>{fw::ID_FILE_NEW, fw::ID_FILE_OPEN, fw::ID_FILE_SAVE, fw::ID_FILE_SAVE_AS,
                                         ID_FILE_SAVE_AS_TEXT, fw::ID_FILE_PRINT, fw::ID_FILE_PRINT_PREVIEW,
                                         fw::ID_FILE_PRINT_SETUP, fw::ID_APP_EXIT,
                                         // The Setup commands that a new design allows.
                                         ID_SETUP_REQUIREMENTS, ID_SETUP_LINE_SOURCE, ID_SETUP_LINE_FILTER,
                                         ID_SETUP_PRIMARY_SECTION, ID_SETUP_FIRST_STAGE_FILTER,
                                         ID_SETUP_SECOND_STAGE_FILTER, ID_SETUP_OUTPUT_CHOKE, ID_SETUP_LOAD_NETWORK,
                                         ID_SETUP_VOLTAGE_FEEDBACK, ID_SETUP_ERROR_AMPLIFIER, ID_SETUP_OPTO_ISOLATOR,
                                         ID_SETUP_CONTROL_SECTION, ID_ANALYSIS_USER_SPECIFIED,
                                         ID_ANALYSIS_PROBLEM_CHECK, ID_ANALYSIS_NOTES, ID_VIEW_CIRCUIT, fw::ID_VIEW_TOOLBAR,
                                         fw::ID_VIEW_STATUS_BAR, ID_VIEW_MESSAGES, fw::ID_APP_ABOUT}));
    EXPECT_TRUE(Frame().GetMenu().FindCommand(fw::ID_VIEW_TOOLBAR)->checked);
    EXPECT_FALSE(Frame().OnUserCommand(ID_ANALYSIS_START));
    // Toolbar buttons follow the same rules.
    const std::vector<UINT> setupAllowed = {32772, 32774, 32775, 32778, 32780, 32781,
                                            32782, 32783, 32784, 32785, 32786, 32787};
    for (const fw::ToolButton& b : Frame().GetToolBar().Buttons()) {
        if (b.style & fw::TBBS_SEPARATOR) continue;
        bool expected = b.id == 57600 || b.id == 57601 || b.id == 57603 || b.id == 32794 || b.id == 32792 ||
                        b.id == 32793 || b.id == 57664 ||
                        std::find(setupAllowed.begin(), setupAllowed.end(), b.id) != setupAllowed.end();
        EXPECT_EQ(b.enabled, expected) << b.id;
    }
}

TEST_F(AppTest, RunInProgressGatesNewOpenAndSave) {
    ASSERT_TRUE(Start(""));
    doc_.running = TRUE;
    Frame().UpdateCommandUI();
    EXPECT_FALSE(Frame().GetMenu().FindCommand(fw::ID_FILE_NEW)->enabled);
    EXPECT_FALSE(Frame().GetMenu().FindCommand(fw::ID_FILE_OPEN)->enabled);
    EXPECT_FALSE(Frame().GetMenu().FindCommand(fw::ID_FILE_SAVE)->enabled);
    // A file dropped on the frame only beeps.
    CDocumentHost* before = app_.GetDocument();
    Frame().OnDropFiles({"/d/x.SEF"});
    EXPECT_EQ(app_.GetDocument(), before);
    EXPECT_EQ(ui_.sink.beeps, 1);
    EXPECT_EQ(doc_.calls, std::vector<std::string>{"new"});
}

TEST_F(AppTest, ViewToggles) {
    ASSERT_TRUE(Start(""));
    EXPECT_TRUE(Frame().OnUserCommand(fw::ID_VIEW_TOOLBAR));
    EXPECT_FALSE(Frame().GetToolBar().visible);
    Frame().UpdateCommandUI();
    EXPECT_FALSE(Frame().GetMenu().FindCommand(fw::ID_VIEW_TOOLBAR)->checked);
    EXPECT_TRUE(Frame().OnUserCommand(fw::ID_VIEW_STATUS_BAR));
    EXPECT_FALSE(Frame().GetStatusBar().visible);
}

TEST_F(AppTest, SaveQuestionWhenClosingAModifiedDesign) {
    ASSERT_TRUE(Start(""));
    doc_.modified = TRUE;
    ui_.windows.threeWayAnswers = {fw::IDCANCEL};
    EXPECT_FALSE(app_.CloseCurrentDocument());
    EXPECT_NE(app_.GetDocument(), nullptr);
    ASSERT_EQ(ui_.windows.threeWayQuestions.size(), 1u);
    EXPECT_EQ(ui_.windows.threeWayQuestions[0], "Save the changes to Morvane1?");

    // Yes on a never-saved design asks for a name, then saves there.
    ui_.windows.threeWayAnswers = {fw::IDYES};
    ui_.files.answers = {std::string("/d/new.SEF")};
    EXPECT_TRUE(app_.CloseCurrentDocument());
    EXPECT_EQ(doc_.calls.back(), "save /d/new.SEF");
    EXPECT_EQ(app_.GetDocument(), nullptr);

    // A save that fails keeps the design open.
    app_.OnFileNew();
    doc_.modified = TRUE;
    doc_.saveResult = false;
    ui_.windows.threeWayAnswers = {fw::IDYES};
    ui_.files.answers = {std::string("/d/other.SEF")};
    EXPECT_FALSE(app_.CloseCurrentDocument());
    EXPECT_NE(app_.GetDocument(), nullptr);

    // No discards.
    ui_.windows.threeWayAnswers = {fw::IDNO};
    EXPECT_TRUE(app_.CloseCurrentDocument());

    // The question and the offered file name use the title without the
    // mark of unsaved changes.
    app_.OnFileNew();
    doc_.modified = TRUE;
    doc_.saveResult = true;
    app_.GetDocument()->SetTitle("untitled*");
    ui_.windows.threeWayQuestions.clear();
    ui_.windows.threeWayAnswers = {fw::IDYES};
    ui_.files.requests.clear();
    ui_.files.answers = {std::nullopt};
    EXPECT_FALSE(app_.CloseCurrentDocument());
    EXPECT_EQ(ui_.windows.threeWayQuestions.at(0), "Save the changes to untitled?");
    EXPECT_EQ(ui_.files.requests.at(0).initialPath, "untitled.SEF");
    ui_.files.answers = {std::nullopt};
    app_.OnFileSaveAs();
    EXPECT_EQ(ui_.files.requests.at(1).initialPath, "untitled.SEF");
}

TEST_F(AppTest, NewDesignsAreNumbered) {
    ASSERT_TRUE(Start(""));
    app_.OnFileNew();
    EXPECT_EQ(app_.GetDocument()->GetTitle(), "Morvane2");
    app_.OpenDocumentFile("/some/dir/Buck 12V.SEF");
    EXPECT_EQ(app_.GetDocument()->GetTitle(), "Buck 12V.SEF");
    EXPECT_EQ(Frame().GetWindowText(), "Power Quorra Designer - Buck 12V.SEF");
}

TEST_F(AppTest, RecentFilesInTheFileMenu) {
    ASSERT_TRUE(Start(""));
    auto fileItems = [&] {
        std::vector<std::string> texts;
        for (const fw::MenuItem& m : Frame().GetMenu().items[0].items)
            if (m.id >= 57616 && m.id <= 57619) texts.push_back(m.text);
        return texts;
    };
    EXPECT_EQ(fileItems(), std::vector<std::string>{"Recent File"});
    app_.OpenDocumentFile("/d/a.SEF");
    app_.OpenDocumentFile("/d/b.SEF");
    EXPECT_EQ(fileItems(), (std::vector<std::string>{"&1 /d/b.SEF", "&2 /d/a.SEF"}));
    // An entry that can no longer be opened leaves the list.
    doc_.openResult = false;
    Frame().UpdateCommandUI();
    EXPECT_TRUE(Frame().OnUserCommand(57617));
    EXPECT_EQ(fileItems(), std::vector<std::string>{"&1 /d/b.SEF"});
}

TEST_F(AppTest, ExitAsksFirstAndClosesTheFrame) {
    ASSERT_TRUE(Start(""));
    doc_.modified = TRUE;
    ui_.windows.threeWayAnswers = {fw::IDCANCEL};
    Frame().OnUserCommand(fw::ID_APP_EXIT);
    EXPECT_TRUE(Frame().IsWindow());
    ui_.windows.threeWayAnswers = {fw::IDNO};
    Frame().OnUserCommand(fw::ID_APP_EXIT);
    EXPECT_FALSE(Frame().IsWindow());
    EXPECT_TRUE(ui_.windows.LastFrameHost()->destroyed);
}

// The viewer: started at once when none runs; with one running, the
// question decides between another one and bringing that one forward.
TEST_F(AppTest, StartViewer) {
    ASSERT_TRUE(Start(""));
    app_.StartViewer();
    ASSERT_EQ(ui_.processes.spawned.size(), 1u);
    EXPECT_EQ(ui_.processes.spawned[0].program, "/opt/powerquorra/KVXViewer");
    EXPECT_EQ(ui_.processes.spawned[0].args, std::vector<std::string>{"~~"});
    EXPECT_TRUE(ui_.sink.questions.empty());

    ui_.instances.running.insert("TQuorraPowerQuorraViewer");
    ui_.sink.answers = {false};
    app_.StartViewer();
    EXPECT_EQ(ui_.processes.spawned.size(), 1u);
    EXPECT_EQ(ui_.instances.broughtToFront, std::vector<std::string>{"TQuorraPowerQuorraViewer"});
    ASSERT_EQ(ui_.sink.questions.size(), 1u);
    EXPECT_EQ(ui_.sink.questions[0],
              "Power Quorra Viewer is already running.\nDo you want to start another Power Quorra Viewer?");

    ui_.sink.answers = {true};
    doc_.running = TRUE;
    doc_.loggingSwitch = TRUE;
    app_.StartViewer();
    ASSERT_EQ(ui_.processes.spawned.size(), 2u);
    EXPECT_EQ(ui_.processes.spawned[1].args, std::vector<std::string>{"~!"});
}

TEST_F(AppTest, ViewerStartFailures) {
    ASSERT_TRUE(Start("~!"));
    struct Case {
        int error;
        const char* code;
        const char* message;
    };
    const Case cases[] = {
        {ENOENT, "Morvane:   CODE 3505", "Problem:  Could not find Power Quorra Viewer"},
        {E2BIG, "Morvane:   CODE 3503", "Problem:  An error occurred starting Power Quorra Viewer"},
        {ENOEXEC, "Morvane:   CODE 3506", "Problem:  Could not start Power Quorra Viewer"},
        {ENOMEM, "Morvane:   CODE 3507", "Problem:  Not enough memory to start Power Quorra Viewer"},
        {EINVAL, "Morvane:   CODE 3504", "Problem:  An error occurred starting Power Quorra Viewer"},
        {EACCES, "Morvane:   CODE 3508", "Problem:  An error occurred starting Power Quorra Viewer"},
    };
    for (const Case& c : cases) {
        ui_.sink.Clear();
        ResetLogStarted();
        ui_.processes.spawnResult = c.error;
        app_.StartViewer();
        ASSERT_EQ(ui_.sink.boxes.size(), 1u) << c.error;
        EXPECT_EQ(ui_.sink.boxes[0], c.message);
        std::string log = Log();
        EXPECT_NE(log.find(c.code), std::string::npos) << c.error;
        EXPECT_LT(log.find(c.code), log.find(c.message));
    }
}

TEST_F(AppTest, ViewerInstalledBesideTheProgram) {
    ASSERT_TRUE(Start(""));
    EXPECT_FALSE(app_.IsViewerInstalled());
    ui_.processes.files.insert("/opt/powerquorra/KVXViewer");
    EXPECT_TRUE(app_.IsViewerInstalled());
}

}  // namespace
