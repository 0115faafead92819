// File New, Save As, Save and Open on real design files through the
// application and the design document.
#include <filesystem>

#include "AppFixture.h"
#include "app/DesignDoc.h"
#include "app/NotesDlg.h"

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

TEST_F(DesignFileTest, ADamagedFileLeavesNoDesignAndSaysSo) {
    const std::string path = dir_ + "/damaged.SEF";
    { std::ofstream(path, std::ios::binary) << "not a design"; }
    EXPECT_EQ(app_.OpenDocumentFile(path), nullptr);
    EXPECT_TRUE(app_.LastOpenFailed());
    EXPECT_FALSE(ui_.sink.boxes.empty());
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
