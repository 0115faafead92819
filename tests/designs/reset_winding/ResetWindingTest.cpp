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

namespace {

// The reset-winding converter on the saturating core of SaturatingChokeTest.cpp (200 uH to
// 0.3 A, 50 uH from 0.6 A): the magnetising current rises under the primary voltage Vp as
// dIm/dt = Vp/L(Im) through the knee,
//   t1 = L1·I1/Vp,  t2 = (L1 + L2)/2·(I2 - I1)/Vp,  Im = I2 + Vp·(D·T - t1 - t2)/L2,
// so the peak primary current is k·(IL + dIL/2) + Im, about 0.45 A above the unsaturated one.
// The reset winding saturates with the core in the same ratio and, at the same turns, returns
// the same volt-seconds, so the core still resets within the off-time. Run from its steady
// state; the lookup's lag across the knee as there (3.5 %).
TEST(ResetWinding, SaturatingCoreRaisesTheMagnetisingPeak) {
    CPwrQuorraDoc doc;
    doc.OnNewDocument();
    BuildResetWinding(doc);
    SaturateTransformerCore(doc, 0.3);
    doc.GetAnalysisConfig()->SetAnalysisKind(CAnalysisConfig::KIND_STEADY_STATE);
    doc.CheckAllSections();
    CRunFigures fig(0.0);
    const HeadlessRun run = RunDesignHeadless(doc, 60, &fig, nullptr);
    ASSERT_EQ(run.ran, 1) << run.problem;
    const designs::ForwardSteadyState cf = designs::SolveForward(
        {48.0, 0.1, kDuty, 1e-5, 200e-6, 200e-6, 2e-6, 0.7, 0.01, 1e-3 + 1e-6, 100e-6 + 1e-10, 2e-6, 100e-6, 5.0});
    const double l1 = 200e-6, l2 = 50e-6, i1 = 0.3, i2 = 0.6, on = kDuty * 1e-5;
    const double t1 = l1 * i1 / cf.vp, t2 = (l1 + l2) / 2.0 * (i2 - i1) / cf.vp;
    ASSERT_LT(t1 + t2, on);
    const double peak = cf.k * (cf.il + cf.dil / 2.0) + i2 + cf.vp * (on - t1 - t2) / l2;
    EXPECT_NEAR(fig.PrimaryPeak(), peak, 0.035 * peak);
    EXPECT_GT(fig.PrimaryPeak(), cf.ipk + 0.3);
    EXPECT_NEAR(fig.OutputAverage(), cf.vout, 0.01 * cf.vout);
    ASSERT_GT(fig.TurnOns(), 3);
    EXPECT_LT(fig.MagnetizingAtTurnOnSpread(), 1e-3);
}

}  // namespace
