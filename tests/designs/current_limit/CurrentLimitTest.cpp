// Into an overload the current limit, not the voltage loop, ends every on-time: the peak
// primary current stays at the threshold and the output falls short of its set point.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <unistd.h>

#include "analysis/timedomain/AnalFigures.h"
#include "analysis/timedomain/AnalHeadless.h"
#include "circuit/Doc.h"
#include "designs/Designs.h"

namespace {

TEST(CurrentLimit, HoldsThePeakPrimaryCurrentAtItsThresholdIntoAnOverload) {
    std::string problem;
    std::unique_ptr<CPwrQuorraDoc> doc = OpenRegressionDesign("current_limit", &problem);
    ASSERT_TRUE(doc) << problem;
    CRunFigures fig(0.0);
    const HeadlessRun run = RunDesignHeadless(*doc, 0.0, &fig, nullptr);
    ASSERT_EQ(run.ran, 1) << run.problem;

    // Threshold: IRef / (Rsense·gain) = 0.25 V / 0.1 ohm = 2.5 A. The switch opens only after
    // the filter's lag (10 ns) and the turn-off delay (SW1 turn-off delay + fall time + the
    // limit comparator's delay, 30 ns with the presets): 40 ns more of the on-time ramp. The
    // ramp is the reflected choke slope (E - Vo)/L with E = 47.7 V and Vo about 5 V, plus the
    // magnetising slope 48 V/200 uH: 0.43 + 0.24 = 0.67 A/us, so 0.027 A over the threshold.
    const double expected = 2.5 + 0.67e6 * 40e-9;
    EXPECT_NEAR(fig.PrimaryPeak(), expected, 0.02 * expected);
    // The load takes what the limited current gives: well short of the 10 V set point.
    EXPECT_LT(fig.OutputAverage(), 9.0);
}

}  // namespace
