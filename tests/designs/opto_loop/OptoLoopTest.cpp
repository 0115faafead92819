// The loop closed across the opto-isolator regulates on the same set point; the error
// amplifier settles where the opto chain, through its current transfer ratio, turns its
// output into the control voltage the set point needs.
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

// The design's values (OptoLoopDesign.cpp, ClosedLoopDesign.cpp).
constexpr double kSetPoint = 10.0;  // the target (the feedback gain equals VRef)
constexpr double kDrive = 5.0, kRd = 1e3, kVf = 1.1, kRf = 5.0;
constexpr double kBias = 5.0, kCtr = 0.5, kRl = 2.2e3;

TEST(OptoLoop, RegulatesThroughTheCurrentTransferRatio) {
    std::string problem;
    std::unique_ptr<CPwrQuorraDoc> doc = OpenRegressionDesign("opto_loop", &problem);
    ASSERT_TRUE(doc) << problem;
    CRunFigures fig(0.0);
    const HeadlessRun run = RunDesignHeadless(*doc, 0.0, &fig, nullptr);
    ASSERT_EQ(run.ran, 1) << run.problem;

    EXPECT_NEAR(fig.OutputAverage(), kSetPoint, 0.005 * kSetPoint);
    // Settled, the collector current holds the control voltage Vc: iC = (Vb - Vc)/RL; the
    // diode carries iC/CTR, which the amplifier sinks: vEA = Vdrive - VF - (rF + Rd)·iC/CTR.
    // Vc itself is near 1.52 V (the closed-loop design's derivation), so vEA is near 0.72 V.
    const double vc = fig.ControlAverage();
    EXPECT_NEAR(vc, 1.523, 0.02 * 1.523);
    const double vea = kDrive - kVf - (kRf + kRd) * (kBias - vc) / kRl / kCtr;
    EXPECT_NEAR(fig.ErrorAmpAverage(), vea, 0.005 * vea);
}

}  // namespace
