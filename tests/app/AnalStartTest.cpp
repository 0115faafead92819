// Analysis > Start from the frame on a real design: the dialog on a copy of
// the configuration, the copy committed back, saving by the chosen command,
// and a start that the engine cannot run yet refused with nothing started.
#include <filesystem>

#include "AppFixture.h"
#include "app/AnalDlg.h"
#include "app/AnalSupport.h"
#include "app/DesignDoc.h"
#include "resources/StringTable.h"

namespace {

namespace fs = std::filesystem;

class AnalysisStart : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        dir_ = fs::path(::testing::TempDir()) / ("pq-start-" + std::to_string(getpid()));
        fs::create_directories(dir_);
        previousDir_ = fs::current_path();
        fs::current_path(dir_);
        app_.SetDocumentFactory(&designs_);
        ASSERT_TRUE(Start(""));
        Design().GetMiscData()->SetCircuitComplete(TRUE);
        Frame().UpdateCommandUI();
    }
    void TearDown() override {
        fs::current_path(previousDir_);
        fs::remove_all(dir_);
        AppTest::TearDown();
    }
    CPwrQuorraDoc& Design() { return app_.GetDocument()->Design(); }
    // Runs Analysis > Start with the dialog script.
    void StartCommand(const std::function<void(fw::Dialog&)>& script) {
        // A committed change re-checks the sections, which finds the new design incomplete.
        Design().GetMiscData()->SetCircuitComplete(TRUE);
        ui_.windows.Script(IDD_ANALYSIS, script);
        ASSERT_TRUE(Frame().OnUserCommand(ID_ANALYSIS_START));
    }
    bool StartShown() {
        const fw::MenuItem* m = Frame().GetMenu().FindCommand(ID_ANALYSIS_START);
        return m != nullptr;
    }

    CDesignDocFactory designs_;
    fs::path dir_;
    fs::path previousDir_;
};

const std::string kRefused = res::FindString(58400);

TEST_F(AnalysisStart, CancelChangesNothing) {
    bool openFlag = false;
    StartCommand([&](fw::Dialog& d) {
        openFlag = Design().IsAnalysisSetupOpen();
        d.UserTyped(IDC_ANAL_TIME, "0.5");
        d.UserClicked(fw::IDCANCEL);
    });
    EXPECT_EQ(ui_.windows.modalRuns, std::vector<UINT>{IDD_ANALYSIS});
    EXPECT_TRUE(openFlag);
    EXPECT_FALSE(Design().IsAnalysisSetupOpen());
    EXPECT_EQ(Design().GetAnalysisConfig()->GetTime(), 0.001);
    EXPECT_FALSE(Design().IsModified());
    EXPECT_TRUE(ui_.sink.boxes.empty());
}

TEST_F(AnalysisStart, SaveOnlyCommitsAndSavesUnderTheDesignsPath) {
    const fs::path path = dir_ / "design.SEF";
    ASSERT_TRUE(app_.GetDocument()->OnSaveDocument(path.string()));
    StartCommand([](fw::Dialog& d) {
        d.UserTyped(IDC_ANAL_TIME, "0.25");
        d.UserClicked(ID_SAVE_ONLY);
    });
    const CAnalysisConfig& cfg = *Design().GetAnalysisConfig();
    EXPECT_EQ(cfg.GetTime(), 0.25);
    EXPECT_EQ(cfg.m_bDefaults, 1);  // marked changed
    EXPECT_FALSE(Design().IsModified());
    EXPECT_TRUE(ui_.sink.questions.empty());
    EXPECT_TRUE(ui_.sink.boxes.empty()) << "no start";
    // The file holds the new time.
    CPwrQuorraDoc reread;
    ASSERT_TRUE(reread.OnOpenDocument(path.string()));
    EXPECT_EQ(reread.GetAnalysisConfig()->GetTime(), 0.25);
}

TEST_F(AnalysisStart, UntitledDesignSavedAsUntitledOnlyWhenTheUserSaysSo) {
    // No: nothing written, the design stays modified.
    ui_.sink.answers = {false};
    StartCommand([](fw::Dialog& d) {
        d.UserTyped(IDC_ANAL_TIME, "0.25");
        d.UserClicked(ID_SAVE_ONLY);
    });
    EXPECT_EQ(ui_.sink.questions, std::vector<std::string>{res::FindString(54004)});
    EXPECT_FALSE(fs::exists(dir_ / "Untitled.SEF"));
    EXPECT_TRUE(Design().IsModified());

    // Yes: written beside, the design keeps no path and its title.
    ui_.sink.Clear();
    ui_.sink.answers = {true};
    StartCommand([](fw::Dialog& d) {
        d.UserTyped(IDC_ANAL_TIME, "0.5");
        d.UserClicked(ID_SAVE_ONLY);
    });
    EXPECT_TRUE(fs::exists(dir_ / "Untitled.SEF"));
    EXPECT_EQ(Design().GetPathName(), "");
    EXPECT_EQ(Design().GetTitle(), "untitled");
    EXPECT_FALSE(Design().IsModified());
    CPwrQuorraDoc reread;
    ASSERT_TRUE(reread.OnOpenDocument((dir_ / "Untitled.SEF").string()));
    EXPECT_EQ(reread.GetAnalysisConfig()->GetTime(), 0.5);
}

TEST_F(AnalysisStart, StartOfAKindTheEngineCannotRunIsRefused) {
    // Each kind as the engine stands: a refused one gives the engine's message in a box and
    // starts nothing; a kind that runs passes without a word.
    const struct {
        int32_t kind;
        bool runs;
    } kinds[] = {
        {CAnalysisConfig::KIND_TURN_ON, true},        {CAnalysisConfig::KIND_STEADY_STATE, true},
        {CAnalysisConfig::KIND_VOLTAGE_LOOP, true},  {CAnalysisConfig::KIND_CURRENT_LOOP, true},
        {CAnalysisConfig::KIND_INPUT_TO_OUTPUT, true}, {CAnalysisConfig::KIND_AMPLIFIER, true},
    };
    for (const auto& k : kinds) {
        ui_.sink.Clear();
        EXPECT_EQ(CanRunAnalysis(Design(), k.kind) != FALSE, k.runs) << k.kind;
        EXPECT_EQ(ui_.sink.boxes, k.runs ? std::vector<std::string>{} : std::vector<std::string>{kRefused}) << k.kind;
        EXPECT_FALSE(Design().IsAnalysisRunning());
        EXPECT_FALSE(Design().HasAnalysisWorker());
    }
}

TEST_F(AnalysisStart, WithoutADesignOnlyTheCodeIsLogged) {
    SetLoggingQuery([] { return true; });
    ASSERT_TRUE(app_.CloseCurrentDocument());
    Frame().OnAnalysisStart();
    EXPECT_TRUE(ui_.windows.modalRuns.empty());
    EXPECT_NE(Log().find("MainFrm:   CODE 1928"), std::string::npos);
}

}  // namespace
