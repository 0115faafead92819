// Average current control: the inner loop holds the sensed choke current at the current
// reference, the outer loop sets that reference so that the output sits on its set point.
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

TEST(AverageCurrent, HoldsTheSensedCurrentAtItsReferenceAndTheOutputAtItsSetPoint) {
    std::string problem;
    std::unique_ptr<CPwrQuorraDoc> doc = OpenRegressionDesign("average_current", &problem);
    ASSERT_TRUE(doc) << problem;
    CRunFigures fig(0.0);
    const HeadlessRun run = RunDesignHeadless(*doc, 0.0, &fig, nullptr);
    ASSERT_EQ(run.ran, 1) << run.problem;

    // Set point: the target, 10 V (the feedback gain equals VRef).
    EXPECT_NEAR(fig.OutputAverage(), 10.0, 0.005 * 10.0);
    // The current amplifier integrates (C4 in its feedback): settled, the mean sense voltage,
    // 100 · 1 mohm · IL (the sense resistor's 0.1 nH adds nothing on average), equals its
    // reference, the voltage error amplifier's output; IL is the load's 10 V / 5 ohm = 2 A.
    const double sense = 100.0 * 1e-3 * fig.ChokeAverage();
    EXPECT_NEAR(fig.ChokeAverage(), 2.0, 0.01 * 2.0);
    EXPECT_NEAR(fig.ErrorAmpAverage(), sense, 0.005 * sense);
}

}  // namespace
