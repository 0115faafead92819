#include <gtest/gtest.h>

#include "app/AppFixture.h"
#include "setup/RequireDg.h"
#include "setup/SelctDlg.h"

namespace {

class SetupCommandsTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        ASSERT_TRUE(Start(""));
    }
    bool Enabled(UINT id) {
        Frame().UpdateCommandUI();
        const fw::MenuItem* m = Frame().GetMenu().FindCommand(id);
        return m && m->enabled;
    }
    CPwrQuorraDoc& Design() { return app_.GetDocument()->Design(); }
};

// The frame connects every Setup command itself; each is then available by
// its rule.
TEST_F(SetupCommandsTest, EveryCommandIsConnectedAndFollowsItsRule) {
    for (UINT id : {ID_SETUP_REQUIREMENTS, ID_SETUP_LINE_SOURCE, ID_SETUP_LINE_FILTER, ID_SETUP_PRIMARY_SECTION,
                    ID_SETUP_FIRST_STAGE_FILTER, ID_SETUP_SECOND_STAGE_FILTER, ID_SETUP_OUTPUT_CHOKE,
                    ID_SETUP_LOAD_NETWORK, ID_SETUP_VOLTAGE_FEEDBACK, ID_SETUP_ERROR_AMPLIFIER,
                    ID_SETUP_OPTO_ISOLATOR, ID_SETUP_CONTROL_SECTION})
        EXPECT_TRUE(Enabled(id)) << id;
    for (UINT id : {ID_SETUP_LINE_RECTIFIER, ID_SETUP_INPUT_CAPACITOR, ID_SETUP_SECONDARY_SECTION,
                    ID_SETUP_CURRENT_FEEDBACK, ID_SETUP_CURRENT_LIMIT})
        EXPECT_FALSE(Enabled(id)) << id;
    doc_.running = TRUE;
    EXPECT_FALSE(Enabled(ID_SETUP_REQUIREMENTS));
}

TEST_F(SetupCommandsTest, ACommandEditsTheOpenDesign) {
    ui_.windows.Script(IDD_REQUIREMENTS, [](fw::Dialog& d) {
        d.UserClicked(IDC_REQ_OUTPUT1_ENABLED + 1);
        d.UserClicked(fw::IDOK);
    });
    ui_.windows.Script(IDD_SELECT_LINE_SOURCE, [](fw::Dialog& d) {
        d.UserClicked(IDC_LINE_SOURCE_DC + 2);
        d.UserClicked(fw::IDOK);
    });
    EXPECT_TRUE(Frame().ExecuteCommand(ID_SETUP_REQUIREMENTS));
    EXPECT_TRUE(Frame().ExecuteCommand(ID_SETUP_LINE_SOURCE));
    EXPECT_EQ(Design().GetRequirements()->CountEnabledOutputs(), 2);
    EXPECT_EQ(Design().GetLineFilter()->GetLineSourceType(), CLineFilter::SOURCE_2_PHASE_AC);
    // The line source chosen makes the line rectifier available.
    EXPECT_TRUE(Enabled(ID_SETUP_LINE_RECTIFIER));
}

}  // namespace
