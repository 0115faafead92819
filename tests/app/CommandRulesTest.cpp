// The availability rules of the main menu's commands and the Messages check
// mark, over a matrix of states; then the same rules as the frame applies
// them to a real design's records.
#include <functional>

#include "AppFixture.h"

namespace {

// The rules met by a state, as "R1 R2 ... ✓" (✓: View > Messages checked).
std::string RulesMet(const CommandState& s) {
    const CmdRule rules[] = {CmdRule::R1, CmdRule::R2, CmdRule::R3, CmdRule::R4, CmdRule::R5, CmdRule::R6,
                             CmdRule::R7, CmdRule::R8, CmdRule::R9, CmdRule::R10, CmdRule::R11};
    std::string out;
    for (size_t i = 0; i < std::size(rules); ++i) {
        if (!IsRuleMet(rules[i], s)) continue;
        if (!out.empty()) out += ' ';
        out += "R" + std::to_string(i + 1);
    }
    if (IsMessagesChecked(s)) out += out.empty() ? "check" : " check";
    return out;
}

CommandState Idle() {
    CommandState s;
    s.designOpen = true;
    s.enabledOutputs = 1;
    return s;
}

CommandState Chosen() {
    CommandState s = Idle();
    s.lineSourceType = 1;
    s.lineRectifierVariant = 2;
    s.primaryVariant = 0;
    s.enabledOutputs = 2;
    s.feedbackSourceNotPrimary = true;
    s.limitSourceChoke = true;
    return s;
}

TEST(CommandRules, RulesOverAMatrixOfStates) {
    struct Case {
        const char* name;
        std::function<CommandState()> state;
        const char* met;
    };
    const Case cases[] = {
        {"no design", [] { return CommandState{}; }, "R1"},
        {"no design, stale flags", [] {
             CommandState s;
             s.running = true;
             s.circuitComplete = true;
             s.showMessages = true;
             s.lineSourceType = 0;
             return s;
         }, "R1"},
        {"new design", Idle, "R1 R2"},
        {"new design, messages on", [] {
             CommandState s = Idle();
             s.showMessages = true;
             return s;
         }, "R1 R2 check"},
        {"line source DC", [] {
             CommandState s = Idle();
             s.lineSourceType = 0;
             return s;
         }, "R1 R2 R3"},
        {"rectifier chosen", [] {
             CommandState s = Idle();
             s.lineRectifierVariant = 0;
             return s;
         }, "R1 R2 R4"},
        {"primary chosen", [] {
             CommandState s = Idle();
             s.primaryVariant = 9;
             return s;
         }, "R1 R2 R5"},
        {"everything chosen, two outputs", Chosen, "R1 R2 R3 R4 R5 R6 R7"},
        {"one output", [] {
             CommandState s = Chosen();
             s.enabledOutputs = 1;
             return s;
         }, "R1 R2 R3 R4 R5"},
        {"four outputs, feedback from the primary", [] {
             CommandState s = Chosen();
             s.enabledOutputs = 4;
             s.feedbackSourceNotPrimary = false;
             return s;
         }, "R1 R2 R3 R4 R5 R7"},
        {"limit not at the choke", [] {
             CommandState s = Chosen();
             s.limitSourceChoke = false;
             return s;
         }, "R1 R2 R3 R4 R5 R6"},
        {"running", [] {
             CommandState s = Chosen();
             s.running = true;
             s.showMessages = true;
             return s;
         }, "check"},
        {"circuit complete", [] {
             CommandState s = Chosen();
             s.circuitComplete = true;
             return s;
         }, "R1 R2 R3 R4 R5 R6 R7 R8"},
        {"circuit complete and running", [] {
             CommandState s = Idle();
             s.circuitComplete = true;
             s.running = true;
             return s;
         }, "R8"},
        {"one graph with data", [] {
             CommandState s = Idle();
             s.graphHasData = true;
             s.graphCount = 1;
             return s;
         }, "R1 R2 R9"},
        {"two graphs with data", [] {
             CommandState s = Idle();
             s.graphHasData = true;
             s.graphCount = 2;
             return s;
         }, "R1 R2 R9 R10"},
        {"graphs without data", [] {
             CommandState s = Idle();
             s.graphCount = 4;
             return s;
         }, "R1 R2"},
        {"graph run in progress", [] {
             CommandState s = CommandState{};
             s.graphRunning = true;
             s.graphHasData = true;
             s.graphCount = 4;
             s.viewerFound = true;
             return s;
         }, "R1"},
        {"viewer found", [] {
             CommandState s = CommandState{};
             s.viewerFound = true;
             return s;
         }, "R1 R11"},
    };
    for (const Case& c : cases) EXPECT_EQ(RulesMet(c.state()), c.met) << c.name;

    CommandState blown = Idle();
    EXPECT_FALSE(IsBlowUpChecked(blown));
    blown.graphBlownUp = true;
    EXPECT_TRUE(IsBlowUpChecked(blown));
}

// The frame's rules on a real design, with the Setup and Start commands
// connected as their parts will connect them.
class FrameRulesTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        ASSERT_TRUE(Start(""));
        for (UINT id = ID_SETUP_REQUIREMENTS; id <= ID_SETUP_CURRENT_LIMIT; ++id) {
            if (id == 32773) continue;
            Frame().ConnectSetupCommand(id, [this, id](CPwrQuorraDoc&) { ran.push_back(id); });
        }
        Frame().ConnectCommand(ID_ANALYSIS_START, [this] { ran.push_back(ID_ANALYSIS_START); });
    }
    bool Enabled(UINT id) {
        Frame().UpdateCommandUI();
        const fw::MenuItem* m = Frame().GetMenu().FindCommand(id);
        return m && m->enabled;
    }
    CPwrQuorraDoc& Design() { return app_.GetDocument()->Design(); }
    std::vector<UINT> ran;
};

TEST_F(FrameRulesTest, SetupCommandsFollowTheDesign) {
    // Each waits for the choice before it.
    EXPECT_TRUE(Enabled(ID_SETUP_LINE_FILTER));
    EXPECT_FALSE(Enabled(ID_SETUP_LINE_RECTIFIER));
    EXPECT_FALSE(Enabled(ID_SETUP_INPUT_CAPACITOR));
    EXPECT_FALSE(Enabled(ID_SETUP_SECONDARY_SECTION));
    Design().GetLineFilter()->SetLineSourceType(1);
    EXPECT_TRUE(Enabled(ID_SETUP_LINE_RECTIFIER));
    EXPECT_FALSE(Enabled(ID_SETUP_INPUT_CAPACITOR));
    Design().GetLineRectifier()->SetTopology(2);
    EXPECT_TRUE(Enabled(ID_SETUP_INPUT_CAPACITOR));
    Design().GetPrimarySection()->SetTopology(0);
    EXPECT_TRUE(Enabled(ID_SETUP_SECONDARY_SECTION));

    // The current networks need two enabled outputs and their source choices.
    CControlSection& control = *Design().GetControlSection();
    control.GetFeedbackCurrentSourceVIS().m_iSensedCurrent = CCrntSensSource::SENSE_CHOKE;
    control.GetLimitCurrentSourceVISCL().m_iSensedCurrent = CCrntSensSource::SENSE_CHOKE;
    EXPECT_FALSE(Enabled(ID_SETUP_CURRENT_FEEDBACK));
    EXPECT_FALSE(Enabled(ID_SETUP_CURRENT_LIMIT));
    Design().GetRequirements()->GetOutput(2)->SetEnabled(TRUE);
    EXPECT_TRUE(Enabled(ID_SETUP_CURRENT_FEEDBACK));
    EXPECT_TRUE(Enabled(ID_SETUP_CURRENT_LIMIT));
    control.GetFeedbackCurrentSourceVIS().m_iSensedCurrent = CCrntSensSource::SENSE_PRIMARY_SWITCH;
    control.GetLimitCurrentSourceVISCL().m_iSensedCurrent = CCrntSensSource::SENSE_PRIMARY_SWITCH;
    EXPECT_FALSE(Enabled(ID_SETUP_CURRENT_FEEDBACK));
    EXPECT_FALSE(Enabled(ID_SETUP_CURRENT_LIMIT));

    EXPECT_TRUE(Frame().OnUserCommand(ID_SETUP_LINE_RECTIFIER));
    EXPECT_EQ(ran, std::vector<UINT>{ID_SETUP_LINE_RECTIFIER});

    // A run in progress closes every Setup command and File New and Open.
    doc_.running = TRUE;
    for (UINT id : {ID_SETUP_REQUIREMENTS, ID_SETUP_LINE_RECTIFIER, ID_SETUP_CONTROL_SECTION, fw::ID_FILE_NEW,
                    fw::ID_FILE_OPEN, fw::ID_FILE_PRINT, ID_ANALYSIS_NOTES})
        EXPECT_FALSE(Enabled(id)) << id;
    EXPECT_FALSE(Frame().OnUserCommand(ID_SETUP_LINE_RECTIFIER));
    EXPECT_EQ(ran.size(), 1u);
}

TEST_F(FrameRulesTest, StartFollowsTheCircuitCompleteFlagOnly) {
    EXPECT_FALSE(Enabled(ID_ANALYSIS_START));
    Design().GetMiscData()->SetCircuitComplete(TRUE);
    EXPECT_TRUE(Enabled(ID_ANALYSIS_START));
    doc_.running = TRUE;
    EXPECT_TRUE(Enabled(ID_ANALYSIS_START));
    ASSERT_TRUE(app_.CloseCurrentDocument());
    EXPECT_FALSE(Enabled(ID_ANALYSIS_START));
}

TEST_F(FrameRulesTest, MessagesCheckMarkAndToggle) {
    EXPECT_FALSE(Frame().GetMenu().FindCommand(ID_VIEW_MESSAGES)->checked);
    EXPECT_TRUE(Frame().OnUserCommand(ID_VIEW_MESSAGES));
    EXPECT_TRUE(Design().GetShowMessages());
    EXPECT_TRUE(Design().IsModified());
    Frame().UpdateCommandUI();
    EXPECT_TRUE(Frame().GetMenu().FindCommand(ID_VIEW_MESSAGES)->checked);
    EXPECT_TRUE(Frame().OnUserCommand(ID_VIEW_MESSAGES));
    Frame().UpdateCommandUI();
    EXPECT_FALSE(Frame().GetMenu().FindCommand(ID_VIEW_MESSAGES)->checked);

    // Without a design the command only logs its code.
    ASSERT_TRUE(app_.CloseCurrentDocument());
    EXPECT_TRUE(Enabled(ID_VIEW_MESSAGES));
    EXPECT_FALSE(Frame().GetMenu().FindCommand(ID_VIEW_MESSAGES)->checked);
}

TEST_F(FrameRulesTest, MissingDesignCodes) {
    SetLoggingQuery([] { return true; });
    ASSERT_TRUE(app_.CloseCurrentDocument());
    ResetLogStarted();
    struct Case {
        std::function<void()> run;
        const char* code;
    };
    const Case cases[] = {
        {[&] { Frame().OnViewMessages(); }, "MainFrm:   CODE 1904"},
        {[&] { Frame().OnFileSaveAsText(); }, "MainFrm:   CODE 1905"},
        {[&] { Frame().OnAnalysisProblemCheck(); }, "MainFrm:   CODE 1923"},
        {[&] { Frame().OnAnalysisNotes(); }, "MainFrm:   CODE 1924"},
        {[&] { Frame().OnAnalysisUserSpecified(); }, "MainFrm:   CODE 1926"},
        {[&] { Frame().OnAnalysisStop(); }, "MainFrm:   CODE 1930"},
        {[&] { Frame().ExecuteCommand(ID_SETUP_REQUIREMENTS); }, nullptr},  // unavailable: nothing runs
    };
    for (const Case& c : cases) {
        std::string before = Log();
        c.run();
        std::string added = Log().substr(before.size());
        if (c.code) EXPECT_NE(added.find(c.code), std::string::npos) << c.code;
        else EXPECT_EQ(added, "");
    }
    EXPECT_TRUE(ran.empty());
    EXPECT_TRUE(ui_.sink.boxes.empty());
}

}  // namespace
