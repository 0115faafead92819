// Voltage feed-forward control: each pulse lasts until the bulk-fed ramp reaches the control
// voltage, and the loop sets that voltage so that the output sits on its set point.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <unistd.h>

#include "analysis/timedomain/AnalFigures.h"
#include "designs/AnalHeadless.h"
#include "circuit/Doc.h"
#include "designs/Designs.h"

namespace {

TEST(FeedForward, PulseFollowsTheBulkFedRampAndTheOutputRegulates) {
    std::string problem;
    std::unique_ptr<CPwrQuorraDoc> doc = OpenRegressionDesign("feed_forward", &problem);
    ASSERT_TRUE(doc) << problem;
    CRunFigures fig(0.0);
    const HeadlessRun run = RunDesignHeadless(*doc, 0.0, &fig, nullptr);
    ASSERT_EQ(run.ran, 1) << run.problem;

    EXPECT_NEAR(fig.OutputAverage(), 10.0, 0.005 * 10.0);
    // The drive is on from the on-edge until the ramp reaches Vc. It starts from what the
    // closed reset switch leaves, Vb·Rs/(R + Rs) = 4.8 mV, and rises towards Vb with R·C = 1 ms:
    // t = R·C·ln((Vb - V0)/(Vb - Vc)); T = 10 us.
    const double vb = fig.BulkAverage(), v0 = vb * 10.0 / (1e5 + 10.0);
    const double duty = 1e-3 * std::log((vb - v0) / (vb - fig.ControlAverage())) / 1e-5;
    EXPECT_NEAR(fig.Duty(), duty, 0.01 * duty);
}

}  // namespace
