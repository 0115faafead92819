// The single switch with a reset winding end to end: the design written and read back, run as
// a turn-on transient until the output has settled, and measured over the last tenth of the
// run against the closed forms below.
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
#include "designs/ForwardClosedForm.h"

namespace {

constexpr double kDuty = 0.25, kVf = 0.7;
constexpr double kTurnsRatio = 1.0;  // Np/Nr

#ifdef PQ_SANITIZE
constexpr double kCycles = 600;
#else
constexpr double kCycles = 1000;
#endif

TEST(ResetWinding, SettlesOnTheClosedForms) {
    std::string problem;
    std::unique_ptr<CPwrQuorraDoc> doc = OpenRegressionDesign("reset_winding", &problem);
    ASSERT_TRUE(doc) << problem;
    CRunFigures fig(0.0);
    const HeadlessRun run = RunDesignHeadless(*doc, kCycles, &fig, nullptr);
    ASSERT_EQ(run.ran, 1) << run.problem;

    // The output is the first configuration's with one switch in the primary path: the reset
    // winding takes the primary's current at turn-off as the two-switch rectifiers do.
    const designs::ForwardSteadyState cf = designs::SolveForward(
        {48.0, 0.1, kDuty, 1e-5, 200e-6, 200e-6, 2e-6, 0.7, 0.01, 1e-3 + 1e-6, 100e-6 + 1e-10, 2e-6, 100e-6, 5.0});
    EXPECT_NEAR(fig.OutputAverage(), cf.vout, 0.01 * cf.vout);
    EXPECT_NEAR(fig.Duty(), kDuty, 0.002);

    // While the core resets, the reset rectifier holds the reset winding at -(Vbulk + Vf) and
    // the open primary follows it by Mpr/Lr = k·Np/Nr (k² = 0.99 here, the same coupling as
    // the secondary's), so the switch sits at
    //   Vsw = Vbulk + k·(Vbulk + Vf)·Np/Nr      (Vin·(1 + Np/Nr) for a tight core, no drop).
    // Its mean over the reset is a little lower: the reset starts with the secondary's
    // commutation, both output rectifiers holding the core lower through the leakage for
    // some 0.1 us of the 2.4 us, about 1 %; its peak is a little higher, by the rectifier's
    // and the winding's resistive drops.
    const double vbulk = fig.BulkAverage();
    const double k = std::sqrt(0.99);
    const double plateau = vbulk + k * (vbulk + kVf) * kTurnsRatio;
    EXPECT_GE(fig.SwitchPlateau(), plateau * 0.98);
    EXPECT_LE(fig.SwitchPlateau(), plateau * 1.002);
    EXPECT_NEAR(fig.SwitchVoltagePeak(), plateau, 0.01 * plateau);
    // The reset ends before the next turn-on: every on-time starts from no magnetising current.
    ASSERT_GT(fig.TurnOns(), 50);
    EXPECT_LT(fig.MagnetizingAtTurnOnSpread(), 1e-3);
    EXPECT_NEAR(fig.MagnetizingAtTurnOnLast(), 0.0, 1e-3);
}

}  // namespace
