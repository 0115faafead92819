// File New, Save As, Save and Open on real design files through the
// application and the design document.
#include <sys/resource.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "AppFixture.h"
#include "app/DesignDoc.h"
#include "app/NotesDlg.h"
#include "resources/StringTable.h"

namespace {

class DesignFileTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        app_.SetDocumentFactory(&designs_);
        dir_ = ::testing::TempDir() + "/pq-designs-" + std::to_string(getpid());
        std::filesystem::create_directories(dir_);
        ASSERT_TRUE(Start(""));
    }
    void TearDown() override {
        std::filesystem::remove_all(dir_);
        AppTest::TearDown();
    }
    void EditNotes(const std::string& text) {
        ui_.windows.Script(IDD_NOTES, [text](fw::Dialog& d) {
            d.UserTyped(IDC_NOTES_TEXT, text);
            d.UserClicked(fw::IDOK);
        });
        Frame().UpdateCommandUI();
        ASSERT_TRUE(Frame().OnUserCommand(ID_ANALYSIS_NOTES));
    }
    CDocumentHost& Doc() { return *app_.GetDocument(); }

    CDesignDocFactory designs_;
    std::string dir_;
};

TEST_F(DesignFileTest, SaveAsSaveAndOpenAgain) {
    EXPECT_EQ(Doc().GetTitle(), "untitled");
    EXPECT_EQ(Frame().GetStatusBar().GetPaneText(CMainFrame::kPaneOutputs), "1 Output");
    EditNotes("first");
    EXPECT_TRUE(Doc().IsModified());
    EXPECT_EQ(Frame().GetWindowText(), "Power Quorra Designer - untitled");
    app_.OnIdle(0);  // the title follows the modified mark
    EXPECT_EQ(Frame().GetWindowText(), "Power Quorra Designer - untitled*");

    // Save on a design without a path asks for one.
    const std::string path = dir_ + "/Forward 5V.SEF";
    ui_.files.answers = {path};
    Frame().UpdateCommandUI();
    ASSERT_TRUE(Frame().OnUserCommand(fw::ID_FILE_SAVE));
    ASSERT_TRUE(std::filesystem::exists(path));
    EXPECT_FALSE(Doc().IsModified());
    EXPECT_EQ(Doc().GetPathName(), path);
    EXPECT_EQ(Frame().GetWindowText(), "Power Quorra Designer - Forward 5V.SEF");

    // Save writes to the same file without a question.
    EditNotes("second");
    ASSERT_TRUE(Frame().OnUserCommand(fw::ID_FILE_SAVE));
    EXPECT_EQ(ui_.files.requests.size(), 1u);
    EXPECT_FALSE(Doc().IsModified());

    ASSERT_TRUE(app_.CloseCurrentDocument());
    ASSERT_NE(app_.OpenDocumentFile(path), nullptr);
    EXPECT_EQ(Doc().Design().GetMiscData()->GetNotes(), "second");
    EXPECT_EQ(Doc().GetTitle(), "Forward 5V.SEF");
    EXPECT_FALSE(Doc().IsModified());
    EXPECT_EQ(app_.RecentFiles()[0], path);
    EXPECT_TRUE(ui_.sink.boxes.empty());
}

// A file that cannot be opened leaves the open design as it was; the user is
// told which file was not opened.
TEST_F(DesignFileTest, AFileThatFailsLeavesTheOpenDesignOpen) {
    const std::string good = dir_ + "/good.SEF";
    ASSERT_TRUE(Doc().OnSaveDocument(good));
    std::ifstream in(good, std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    struct Case {
        const char* name;
        std::string contents;  // nothing written when empty and missing
        bool missing;
    };
    const Case cases[] = {
        {"empty", "", false},
        {"wrong tag", "\x13<POWER_QUORRA_DATX>" + bytes.substr(20), false},
        {"truncated", bytes.substr(0, bytes.size() / 2), false},
        {"missing", "", true},
    };
    EditNotes("kept");
    CDocumentHost* open = app_.GetDocument();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = dir_ + "/" + c.name + ".SEF";
        if (!c.missing) std::ofstream(path, std::ios::binary) << c.contents;
        ui_.sink.boxes.clear();
        ui_.windows.threeWayAnswers = {fw::IDNO};
        EXPECT_EQ(app_.OpenDocumentFile(path), nullptr);
        EXPECT_TRUE(app_.LastOpenFailed());
        ASSERT_EQ(app_.GetDocument(), open);
        EXPECT_EQ(Doc().Design().GetMiscData()->GetNotes(), "kept");
        EXPECT_TRUE(Doc().IsModified());
        EXPECT_EQ(Doc().GetPathName(), good);
        // The sections still reach the open design.
        EXPECT_EQ(GetCurrentDoc(), &Doc().Design());
        ASSERT_EQ(ui_.sink.boxes.size(), 1u);
        EXPECT_EQ(ui_.sink.boxes[0].rfind("Problem:  Could not open the file " + path + "\n", 0), 0u);
    }
    // The question about unsaved changes still comes first: Cancel tries nothing.
    ui_.windows.threeWayQuestions.clear();
    ui_.windows.threeWayAnswers = {fw::IDCANCEL};
    ui_.sink.boxes.clear();
    EXPECT_EQ(app_.OpenDocumentFile(dir_ + "/missing.SEF"), open);
    EXPECT_FALSE(app_.LastOpenFailed());
    EXPECT_EQ(ui_.windows.threeWayQuestions.size(), 1u);
    EXPECT_TRUE(ui_.sink.boxes.empty());
    app_.OnIdle(0);
    EXPECT_EQ(Frame().GetWindowText(), "Power Quorra Designer - good.SEF*");
}

// A recent file that no longer opens leaves the list; the open design stays.
TEST_F(DesignFileTest, ARecentFileThatFailsLeavesTheList) {
    const std::string a = dir_ + "/a.SEF", b = dir_ + "/b.SEF";
    ASSERT_TRUE(Doc().OnSaveDocument(a));
    ASSERT_TRUE(Doc().OnSaveDocument(b));
    ASSERT_NE(app_.OpenDocumentFile(a), nullptr);
    ASSERT_NE(app_.OpenDocumentFile(b), nullptr);
    ASSERT_EQ(app_.RecentFiles().Size(), 2u);
    std::filesystem::remove(a);
    CDocumentHost* open = app_.GetDocument();
    Frame().UpdateCommandUI();
    EXPECT_TRUE(Frame().OnUserCommand(fw::ID_FILE_MRU_FILE1 + 1));
    EXPECT_EQ(app_.GetDocument(), open);
    EXPECT_EQ(Doc().GetPathName(), b);
    ASSERT_EQ(app_.RecentFiles().Size(), 1u);
    EXPECT_EQ(app_.RecentFiles()[0], b);
}

// Every file dialog starts in the open design's folder, or in the folder last
// used when the design was never saved; Save As Text proposes the design's name.
TEST_F(DesignFileTest, FileDialogsStartInTheDesignsFolder) {
    const std::string other = dir_ + "/other";
    std::filesystem::create_directories(other);
    const std::string design = other + "/Forward 5V.SEF";
    ASSERT_TRUE(Doc().OnSaveDocument(design));
    ASSERT_NE(app_.OpenDocumentFile(design), nullptr);

    auto ask = [&](UINT command) {
        ui_.files.requests.clear();
        ui_.files.answers = {std::nullopt};
        Frame().UpdateCommandUI();
        EXPECT_TRUE(Frame().OnUserCommand(command));
        EXPECT_EQ(ui_.files.requests.size(), 1u);
        return ui_.files.requests.empty() ? fw::FileDialogRequest{} : ui_.files.requests[0];
    };
    struct Case {
        UINT command;
        const char* name;  // the file the dialog proposes
    };
    const Case saved[] = {
        {fw::ID_FILE_OPEN, ""},
        {fw::ID_FILE_SAVE_AS, "Forward 5V.SEF"},
        {ID_FILE_SAVE_AS_TEXT, "Forward 5V.txt"},
    };
    for (const Case& c : saved) {
        SCOPED_TRACE(c.command);
        fw::FileDialogRequest r = ask(c.command);
        EXPECT_EQ(r.initialFolder, other);
        EXPECT_EQ(r.initialPath, c.name);
    }

    // A new design has no folder of its own: the last one a dialog was answered in.
    ui_.files.answers = {dir_ + "/summary.txt"};
    ASSERT_TRUE(Frame().OnUserCommand(ID_FILE_SAVE_AS_TEXT));
    app_.OnFileNew();
    const std::string title = Doc().GetTitle();
    const Case unsaved[] = {
        {fw::ID_FILE_OPEN, ""},
        {fw::ID_FILE_SAVE_AS, "untitled.SEF"},
        {ID_FILE_SAVE_AS_TEXT, "untitled.txt"},
    };
    EXPECT_EQ(title, "untitled");
    for (const Case& c : unsaved) {
        SCOPED_TRACE(c.command);
        fw::FileDialogRequest r = ask(c.command);
        EXPECT_EQ(r.initialFolder, dir_);
        EXPECT_EQ(r.initialPath, c.name);
    }
}

// View > Messages is saved with the design: the title shows it, and closing asks.
TEST_F(DesignFileTest, ViewMessagesMarksTheTitleAsTheCloseQuestionSeesIt) {
    Frame().UpdateCommandUI();
    ASSERT_TRUE(Frame().OnUserCommand(ID_VIEW_MESSAGES));
    app_.OnIdle(0);
    EXPECT_EQ(Frame().GetWindowText(), "Power Quorra Designer - untitled*");
    ui_.windows.threeWayAnswers = {fw::IDCANCEL};
    EXPECT_FALSE(app_.CloseCurrentDocument());
    EXPECT_EQ(ui_.windows.threeWayQuestions, std::vector<std::string>{"Save the changes to untitled?"});
}

TEST_F(DesignFileTest, AFailedSaveKeepsTheDesignModified) {
    EditNotes("kept");
    ui_.files.answers = {dir_ + "/no-such-folder/x.SEF"};
    Frame().UpdateCommandUI();
    ASSERT_TRUE(Frame().OnUserCommand(fw::ID_FILE_SAVE_AS));
    EXPECT_TRUE(Doc().IsModified());
    EXPECT_EQ(Doc().GetPathName(), "");
    EXPECT_FALSE(ui_.sink.boxes.empty());
}

}  // namespace

// A summary that cannot be written whole (the file size limit stands in for a full disk)
// leaves the previous summary as it was and says so; nothing is left beside it.
TEST_F(DesignFileTest, SaveAsTextThatFailsKeepsThePreviousSummary) {
    const std::string folder = dir_ + "/summaries";
    std::filesystem::create_directories(folder);
    const std::string path = folder + "/summary.txt";
    std::ofstream(path, std::ios::binary) << "previous";
    rlimit old{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    rlimit small = old;
    small.rlim_cur = 64;
    auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    ui_.files.answers = {path};
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool handled = Frame().OnUserCommand(ID_FILE_SAVE_AS_TEXT);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_TRUE(handled);
    std::ifstream in(path, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "previous");
    ASSERT_EQ(ui_.sink.boxes.size(), 1u);
    EXPECT_EQ(ui_.sink.boxes[0], res::FindString(52082));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), 1);

    ui_.files.answers = {path};
    ASSERT_TRUE(Frame().OnUserCommand(ID_FILE_SAVE_AS_TEXT));
    EXPECT_GT(std::filesystem::file_size(path), 64u);
}
