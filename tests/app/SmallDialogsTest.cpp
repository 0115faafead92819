// The About, Notes and User Specified Data dialogs, the commands that commit
// their copies, Problem Check and File > Save As Text.
#include <filesystem>

#include "AppFixture.h"
#include "app/AboutDlg.h"
#include "app/NotesDlg.h"
#include "app/USDataDlg.h"

namespace {

TEST(AboutBox, ShowsTheVersionAndBuild) {
    fw::FakeUi ui;
    std::map<int, std::string> texts;
    ui.windows.Script(IDD_ABOUTBOX, [&](fw::Dialog& d) {
        for (int id : {IDC_ABOUT_VERSION, IDC_ABOUT_BUILD_DATE, IDC_ABOUT_BUILD_TIME}) texts[id] = d.GetDlgItemText(id);
        d.UserClicked(fw::IDOK);
    });
    CAboutDlg about;
    EXPECT_EQ(about.DoModal(), fw::IDOK);
    EXPECT_EQ(texts[IDC_ABOUT_VERSION], "1.00");
    EXPECT_EQ(texts[IDC_ABOUT_BUILD_DATE], "Sep 27 2002");
    EXPECT_EQ(texts[IDC_ABOUT_BUILD_TIME], "19:50:00");
}

TEST(USDataDialog, RangesAndMessages) {
    struct Case {
        int id;
        const char* text;
        const char* message;  // nullptr: accepted
    };
    const Case cases[] = {
        {IDC_US_OFF_RESISTANCE, "100", nullptr},
        {IDC_US_OFF_RESISTANCE, "1e9", nullptr},
        {IDC_US_OFF_RESISTANCE, "99.9", "Please enter a number between 100 and 1000000000."},
        {IDC_US_OFF_RESISTANCE, "1.1e9", "Please enter a number between 100 and 1000000000."},
        {IDC_US_OFF_RESISTANCE, "1 kohm", "Please enter a number."},
        {IDC_US_ITERATION_LIMIT, "5", nullptr},
        {IDC_US_ITERATION_LIMIT, "1000", nullptr},
        {IDC_US_ITERATION_LIMIT, "4", "Please enter an integer between 5 and 1000."},
        {IDC_US_ITERATION_LIMIT, "1001", "Please enter an integer between 5 and 1000."},
        {IDC_US_ITERATION_LIMIT, "50.5", "Please enter an integer."},
        {IDC_US_STABILIZATION_CYCLES, "0", nullptr},
        {IDC_US_STABILIZATION_CYCLES, "10000", nullptr},
        {IDC_US_STABILIZATION_CYCLES, "-1", "Please enter an integer between 0 and 10000."},
        {IDC_US_STABILIZATION_CYCLES, "10001", "Please enter an integer between 0 and 10000."},
        {IDC_US_LARGE_STEP_FACTOR, "0.5", nullptr},
        {IDC_US_LARGE_STEP_FACTOR, "0.9999", nullptr},
        {IDC_US_LARGE_STEP_FACTOR, "0.49", "Please enter a number between 0.5 and 0.9999."},
        {IDC_US_LARGE_STEP_FACTOR, "1", "Please enter a number between 0.5 and 0.9999."},
        {IDC_US_LARGE_STEP_LIMIT, "1e-9", nullptr},
        {IDC_US_LARGE_STEP_LIMIT, "2e-5", "Please enter a number between 1e-009 and 1e-005."},
        {IDC_US_LARGE_STEP_LIMIT, "9e-10", "Please enter a number between 1e-009 and 1e-005."},
        {IDC_US_SMALL_STEP_FACTOR, "0.8", nullptr},
        {IDC_US_SMALL_STEP_FACTOR, "0.9999", "Please enter a number between 0.8 and 0.999."},
        {IDC_US_SMALL_STEP_LIMIT, "1e-6", nullptr},
        {IDC_US_SMALL_STEP_LIMIT, "1e-11", "Please enter a number between 1e-010 and 1e-006."},
        {IDC_US_SMALL_STEP_LIMIT, "2e-6", "Please enter a number between 1e-010 and 1e-006."},
    };
    for (const Case& c : cases) {
        fw::FakeUi ui;
        CUSData data;
        int focus = 0;
        bool ended = false;
        ui.windows.Script(IDD_US_DATA, [&](fw::Dialog& d) {
            d.UserTyped(c.id, c.text);
            d.UserClicked(fw::IDOK);
            ended = d.IsEnded();
            focus = d.GetFocusId();
        });
        CUSDataDlg dlg(&data);
        int result = dlg.DoModal();
        if (c.message) {
            EXPECT_EQ(ui.sink.boxes, std::vector<std::string>{c.message}) << c.id << " " << c.text;
            EXPECT_FALSE(ended) << c.text;
            EXPECT_EQ(focus, c.id) << c.text;
            EXPECT_EQ(result, fw::IDCANCEL);
        } else {
            EXPECT_TRUE(ui.sink.boxes.empty()) << c.id << " " << c.text;
            EXPECT_EQ(result, fw::IDOK) << c.text;
        }
    }
}

TEST(USDataDialog, DefaultRestoresEveryFieldWithLoggingOff) {
    fw::FakeUi ui;
    CUSData data;
    data.m_dOffResistance = 2.5e5;
    data.m_nIterationLimit = 700;
    data.m_nStabilizationCycles = 0;
    data.m_nDataSampling = CUSData::SAMPLING_PEAK;
    data.m_dLargeStepFactor = 0.6;
    data.m_dLargeStepLowerLimit = 2e-6;
    data.m_dSmallStepFactor = 0.85;
    data.m_dSmallStepLowerLimit = 5e-9;
    data.m_bDataLogging = 1;
    std::map<int, std::string> shown;
    bool endedByDefault = true;
    ui.windows.Script(IDD_US_DATA, [&](fw::Dialog& d) {
        EXPECT_EQ(d.GetDlgItemText(IDC_US_OFF_RESISTANCE), "250000");
        EXPECT_TRUE(d.IsDlgButtonChecked(IDC_US_SAMPLING_PEAK));
        EXPECT_TRUE(d.IsDlgButtonChecked(IDC_US_DATA_LOGGING));
        d.UserClicked(IDC_US_DEFAULT);
        endedByDefault = d.IsEnded();
        for (int id : {IDC_US_OFF_RESISTANCE, IDC_US_ITERATION_LIMIT, IDC_US_STABILIZATION_CYCLES,
                       IDC_US_LARGE_STEP_FACTOR, IDC_US_LARGE_STEP_LIMIT, IDC_US_SMALL_STEP_FACTOR,
                       IDC_US_SMALL_STEP_LIMIT})
            shown[id] = d.GetDlgItemText(id);
        EXPECT_TRUE(d.IsDlgButtonChecked(IDC_US_SAMPLING_NONE));
        EXPECT_FALSE(d.IsDlgButtonChecked(IDC_US_SAMPLING_PEAK));
        EXPECT_FALSE(d.IsDlgButtonChecked(IDC_US_DATA_LOGGING));
        d.UserClicked(fw::IDOK);
    });
    CUSDataDlg dlg(&data);
    EXPECT_EQ(dlg.DoModal(), fw::IDOK);
    EXPECT_FALSE(endedByDefault);
    EXPECT_EQ(shown, (std::map<int, std::string>{{IDC_US_OFF_RESISTANCE, "1000000"},
                                                 {IDC_US_ITERATION_LIMIT, "50"},
                                                 {IDC_US_STABILIZATION_CYCLES, "10"},
                                                 {IDC_US_LARGE_STEP_FACTOR, "0.9"},
                                                 {IDC_US_LARGE_STEP_LIMIT, "1e-007"},
                                                 {IDC_US_SMALL_STEP_FACTOR, "0.98"},
                                                 {IDC_US_SMALL_STEP_LIMIT, "3e-008"}}));
    CUSData defaults;
    EXPECT_FALSE(data != defaults);
    EXPECT_EQ(data.m_bDataLogging, 0);
    EXPECT_EQ(data.m_dSmallStepLowerLimit, 3e-8);  // exact, not re-read from "3e-008" rounded
}

TEST(USDataDialog, EnterInAFieldChecksAndBeepsButStaysOpen) {
    fw::FakeUi ui;
    CUSData data;
    bool ended = true;
    ui.windows.Script(IDD_US_DATA, [&](fw::Dialog& d) {
        d.UserFocus(IDC_US_ITERATION_LIMIT);
        d.UserTyped(IDC_US_ITERATION_LIMIT, "60");
        d.UserPressedEnter();
        ended = d.IsEnded();
        d.UserClicked(fw::IDCANCEL);
    });
    CUSDataDlg dlg(&data);
    EXPECT_EQ(dlg.DoModal(), fw::IDCANCEL);
    EXPECT_FALSE(ended);
    EXPECT_EQ(ui.sink.beeps, 1);
    EXPECT_TRUE(ui.sink.boxes.empty());
}

// ---------------------------------------------------------------------------
// The commands

class CommandTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        ASSERT_TRUE(Start(""));
        Frame().UpdateCommandUI();
    }
    CPwrQuorraDoc& Design() { return app_.GetDocument()->Design(); }
};

TEST_F(CommandTest, AboutFromTheHelpMenu) {
    EXPECT_TRUE(Frame().OnUserCommand(fw::ID_APP_ABOUT));
    EXPECT_EQ(ui_.windows.modalRuns, std::vector<UINT>{IDD_ABOUTBOX});
}

TEST_F(CommandTest, UserSpecifiedCommitRules) {
    CUSData& design = *Design().GetUSData();
    // Only the logging switch: taken, the design stays unmodified.
    ui_.windows.Script(IDD_US_DATA, [](fw::Dialog& d) {
        d.UserClicked(IDC_US_DATA_LOGGING);
        d.UserClicked(fw::IDOK);
    });
    EXPECT_TRUE(Frame().OnUserCommand(ID_ANALYSIS_USER_SPECIFIED));
    EXPECT_TRUE(design.GetDataLogging());
    EXPECT_FALSE(doc_.modified);

    // Cancel leaves the design untouched.
    ui_.windows.Script(IDD_US_DATA, [](fw::Dialog& d) {
        d.UserTyped(IDC_US_OFF_RESISTANCE, "5000");
        d.UserClicked(IDC_US_DATA_LOGGING);
        d.UserClicked(fw::IDCANCEL);
    });
    EXPECT_TRUE(Frame().OnUserCommand(ID_ANALYSIS_USER_SPECIFIED));
    EXPECT_EQ(design.GetOffResistance(), 1.0e6);
    EXPECT_TRUE(design.GetDataLogging());
    EXPECT_FALSE(doc_.modified);

    // Anything else: committed and modified.
    ui_.windows.Script(IDD_US_DATA, [](fw::Dialog& d) {
        d.UserTyped(IDC_US_OFF_RESISTANCE, "5000");
        d.UserClicked(IDC_US_SAMPLING_AVERAGE);
        d.UserClicked(fw::IDOK);
    });
    EXPECT_TRUE(Frame().OnUserCommand(ID_ANALYSIS_USER_SPECIFIED));
    EXPECT_EQ(design.GetOffResistance(), 5000.0);
    EXPECT_EQ(design.GetDataSampling(), CUSData::SAMPLING_AVERAGE);
    EXPECT_TRUE(design.GetDataLogging());
    EXPECT_TRUE(doc_.modified);
}

TEST_F(CommandTest, NotesCommitRules) {
    CMiscData& misc = *Design().GetMiscData();
    ui_.windows.Script(IDD_NOTES, [](fw::Dialog& d) {
        d.UserTyped(IDC_NOTES_TEXT, "12 V rail, first prototype");
        d.UserClicked(fw::IDCANCEL);
    });
    EXPECT_TRUE(Frame().OnUserCommand(ID_ANALYSIS_NOTES));
    EXPECT_EQ(misc.GetNotes(), "");
    EXPECT_FALSE(doc_.modified);

    ui_.windows.Script(IDD_NOTES, [](fw::Dialog& d) { d.UserClicked(fw::IDOK); });
    EXPECT_TRUE(Frame().OnUserCommand(ID_ANALYSIS_NOTES));
    EXPECT_FALSE(doc_.modified);

    std::string seen;
    ui_.windows.Script(IDD_NOTES, [&](fw::Dialog& d) {
        seen = d.GetDlgItemText(IDC_NOTES_TEXT);
        d.UserTyped(IDC_NOTES_TEXT, "12 V rail,\r\nfirst prototype");
        d.UserClicked(fw::IDOK);
    });
    misc.SetNotes("old");
    EXPECT_TRUE(Frame().OnUserCommand(ID_ANALYSIS_NOTES));
    EXPECT_EQ(seen, "old");
    EXPECT_EQ(misc.GetNotes(), "12 V rail,\r\nfirst prototype");
    EXPECT_TRUE(doc_.modified);
}

TEST_F(CommandTest, ProblemCheckShowsFindingsAndKeepsTheMessagesSetting) {
    ASSERT_FALSE(Design().GetShowMessages());
    // With Messages off the section checks of a new design report nothing.
    Design().CheckAllSections();
    ASSERT_TRUE(ui_.sink.boxes.empty());
    EXPECT_TRUE(Frame().OnUserCommand(ID_ANALYSIS_PROBLEM_CHECK));
    EXPECT_FALSE(ui_.sink.boxes.empty());
    EXPECT_EQ(ui_.sink.beeps, 2);
    EXPECT_FALSE(Design().GetShowMessages());

    Design().SetShowMessages(TRUE);
    ui_.sink.Clear();
    EXPECT_TRUE(Frame().OnUserCommand(ID_ANALYSIS_PROBLEM_CHECK));
    EXPECT_TRUE(Design().GetShowMessages());
}

TEST_F(CommandTest, SaveAsTextWritesTheSummary) {
    std::string path = ::testing::TempDir() + "/pq-summary-" + std::to_string(getpid()) + ".txt";
    // An existing file is replaced without a question.
    { std::ofstream(path) << "old content that is longer than nothing"; }
    ui_.files.answers = {path};
    EXPECT_TRUE(Frame().OnUserCommand(ID_FILE_SAVE_AS_TEXT));
    ASSERT_EQ(ui_.files.requests.size(), 1u);
    EXPECT_EQ(ui_.files.requests[0].filter, "Text Files (*.txt)|*.txt|All Files (*.*)|*.*||");
    EXPECT_EQ(ui_.files.requests[0].defaultExtension, "txt");
    EXPECT_FALSE(ui_.files.requests[0].overwritePrompt);
    std::ifstream f(path, std::ios::binary);
    std::stringstream ss;
    ss << f.rdbuf();
    std::string text = ss.str();
    EXPECT_EQ(text.rfind("File:  ", 0), 0u) << text;
    EXPECT_NE(text.find("Type:  Single Ended Forward\r\n"), std::string::npos);
    EXPECT_EQ(text.find("old content"), std::string::npos);
    EXPECT_TRUE(ui_.sink.boxes.empty());
    EXPECT_EQ(ui_.windows.waitCursorDepth, 0);
    std::remove(path.c_str());

    // Cancelled: nothing happens.
    ui_.files.answers = {std::nullopt};
    EXPECT_TRUE(Frame().OnUserCommand(ID_FILE_SAVE_AS_TEXT));
    EXPECT_TRUE(ui_.sink.boxes.empty());
}

TEST_F(CommandTest, SaveAsTextFailuresAreReported) {
    SetLoggingQuery([] { return true; });
    const std::string cases[] = {
        ::testing::TempDir() + "/no-such-folder-" + std::to_string(getpid()) + "/summary.txt",  // cannot open
        "/dev/full",                                                                             // cannot write
    };
    for (const std::string& path : cases) {
        if (path == "/dev/full" && !std::filesystem::exists(path)) continue;  // a machine without it
        ui_.sink.Clear();
        ResetLogStarted();
        std::remove(logPath_.c_str());
        ui_.files.answers = {path};
        EXPECT_TRUE(Frame().OnUserCommand(ID_FILE_SAVE_AS_TEXT));
        EXPECT_EQ(ui_.sink.boxes, std::vector<std::string>{"Problem:  Could not open text file for graph data"})
            << path;
        EXPECT_NE(Log().find("MainFrm:   CODE 1936"), std::string::npos) << path;
    }
}

}  // namespace
