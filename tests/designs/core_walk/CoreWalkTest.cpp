// A two-switch converter driven past its reset limit: the two primary rectifiers reset the
// core at the bulk voltage, as fast as the switches set it, so a duty over 0.5 leaves part
// of the magnetising current in the core each cycle and it grows cycle by cycle. The run
// must show that walk, not hide it.
#include <gtest/gtest.h>

#include <memory>

#include "analysis/timedomain/AnalFigures.h"
#include "designs/AnalHeadless.h"
#include "circuit/Doc.h"
#include "designs/Designs.h"
#include "resources/StringTable.h"

namespace {

TEST(CoreWalk, MagnetisingCurrentGrowsWhenTheDutyExceedsTheResetLimit) {
    CPwrQuorraDoc doc;
    doc.OnNewDocument();
    BuildFirstConfiguration(doc);
    // Duty (VRef - 1 V)·0.9/2 V = 0.6: set for 1.5 us, reset in at most 4 us of the 10 us.
    doc.GetVoltageErrorAmp()->GetVoltageSourceVRef().m_dDCMagnitude = 1.0 + 0.6 * 2.0 / 0.9;
    doc.CheckAllSections();
    CRunFigures fig(0.0);
    const HeadlessRun run = RunDesignHeadless(doc, 30, &fig, nullptr);
    ASSERT_EQ(run.ran, 1) << run.problem;
    EXPECT_NEAR(fig.Duty(), 0.6, 0.01);
    // Each cycle leaves (Vp·D - (Vbulk + 2·Vf)·(1 - D))·T/Lp more in the core, the set at the
    // winding voltage against the reset through both rectifiers: (48·0.6 - 49.4·0.4)·10 us/
    // 200 uH = 0.45 A; the growing current's drop in the line and the switches takes some of
    // the winding voltage, so the bound below is wide. Measured at each turn-on over the last
    // three cycles of the run.
    ASSERT_GE(fig.TurnOns(), 3);
    const double growth = (fig.MagnetizingAtTurnOnLast() - fig.MagnetizingAtTurnOnFirst()) / (fig.TurnOns() - 1);
    EXPECT_GT(growth, 0.45 * 0.85);
    EXPECT_LT(growth, 0.45 * 1.05);
    // The run says so, once, however many cycles it walks.
    ASSERT_EQ(run.messages.size(), 1u);
    EXPECT_EQ(run.messages[0], res::FindString(58700));
}

// At the reset limit's safe side the same converter resets every cycle and nothing is said
// (the regression designs show the same through their start-ups).
TEST(CoreWalk, NoWarningWhileTheResetKeepsUp) {
    CPwrQuorraDoc doc;
    doc.OnNewDocument();
    BuildFirstConfiguration(doc);
    doc.GetVoltageErrorAmp()->GetVoltageSourceVRef().m_dDCMagnitude = 1.0 + 0.45 * 2.0 / 0.9;
    doc.CheckAllSections();
    const HeadlessRun run = RunDesignHeadless(doc, 30, nullptr, nullptr);
    ASSERT_EQ(run.ran, 1) << run.problem;
    EXPECT_TRUE(run.messages.empty()) << run.messages.front();
}

}  // namespace
