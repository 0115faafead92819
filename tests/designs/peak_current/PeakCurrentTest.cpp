// Peak current control: every on-time ends where the sensed primary current reaches the
// control voltage, and the outer loop sets that voltage so that the output sits on its set
// point.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <unistd.h>

#include "analysis/timedomain/AnalFigures.h"
#include "designs/AnalHeadless.h"
#include "circuit/Doc.h"
#include "designs/Designs.h"

namespace {

TEST(PeakCurrent, EndsEachPulseAtTheControlVoltageAndRegulates) {
    std::string problem;
    std::unique_ptr<CPwrQuorraDoc> doc = OpenRegressionDesign("peak_current", &problem);
    ASSERT_TRUE(doc) << problem;
    CRunFigures fig(0.0);
    const HeadlessRun run = RunDesignHeadless(*doc, 0.0, &fig, nullptr);
    ASSERT_EQ(run.ran, 1) << run.problem;

    // Set point: the target, 10 V (the feedback gain equals VRef).
    EXPECT_NEAR(fig.OutputAverage(), 10.0, 0.005 * 10.0);
    // The pulse ends when the filtered sense 0.1 ohm · Ip reaches the control voltage Vc; the
    // switch opens 30 ns later (turn-off delay, fall time, comparator delay), the filter lags
    // 10 ns, and Ip rises at about 0.67 A/us meanwhile (see the current-limit design):
    // Ipk = Vc/0.1 ohm + 0.67 A/us · 40 ns.
    const double expected = fig.ControlAverage() / 0.1 + 0.67e6 * 40e-9;
    EXPECT_NEAR(fig.PrimaryPeak(), expected, 0.02 * expected);
}

}  // namespace
