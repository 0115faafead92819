// The single switch with resonant reset end to end: the design written and read back, run as
// a turn-on transient until the output has settled, and measured over the last tenth of the
// run against the closed forms below.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <unistd.h>

#include "analysis/timedomain/AnalFigures.h"
#include "analysis/timedomain/AnalHeadless.h"
#include "circuit/Doc.h"
#include "designs/Designs.h"

namespace {

constexpr double kDuty = 0.25, kPeriod = 1e-5;
constexpr double kLp = 200e-6, kLs = 200e-6, kLeakage = 2e-6;
constexpr double kCr = 22e-9;

#ifdef PQ_SANITIZE
constexpr double kCycles = 800;
#else
constexpr double kCycles = 1000;
#endif

TEST(ResonantReset, SettlesOnTheClosedForms) {
    std::string problem;
    std::unique_ptr<CPwrQuorraDoc> doc = OpenRegressionDesign("resonant_reset", &problem);
    ASSERT_TRUE(doc) << problem;
    CRunFigures fig(0.0);
    const HeadlessRun run = RunDesignHeadless(*doc, kCycles, &fig, nullptr);
    ASSERT_EQ(run.ran, 1) << run.problem;

    // The core resets by resonance: the magnetising current swings below zero in the ring and
    // every on-time starts from the same value.
    ASSERT_GT(fig.TurnOns(), 50);
    EXPECT_LT(fig.MagnetizingAtTurnOnSpread(), 1e-3);
    EXPECT_LT(fig.MagnetizingAtTurnOnLast(), 0.0);
    EXPECT_NEAR(fig.Duty(), kDuty, 0.002);

    // The ring's peak. At turn-off the magnetising current has risen from its start value Im0
    // by Vp·D·T/Lp (Vp the winding voltage while on: the bulk, less a switch and sense drop
    // under 5 mV that is left out); the choke's peak current ILpk still flows in the
    // secondary. Once the winding has swung through zero the secondary lets go of it through
    // the leakage Llkp = Lp(1 - k²) seen from the primary, and what the magnetising and the
    // leakage inductance hold ends in Cr at the peak, where the primary current is zero:
    //   ½·Cr·(Vpk - Vbulk)² = ½·Lp·Im² + ½·Llkp·(n·ILpk/k)²,   Im = Im0 + Vp·D·T/Lp
    // (n = sqrt(Ls/Lp), k² = 1 - Llk/Ls). Im0 and ILpk are the run's own (its turn-on
    // magnetising current and its choke current's average plus half its ripple); the bulk is
    // the run's average. While both output rectifiers conduct the output takes a little of
    // the leakage's energy, so this is the ceiling and the run peaks up to 2 % under it.
    const double vbulk = fig.BulkAverage();
    const double k = std::sqrt(1.0 - kLeakage / kLs);
    const double n = std::sqrt(kLs / kLp);
    const double im = fig.MagnetizingAtTurnOnLast() + vbulk * kDuty * kPeriod / kLp;
    const double ilpk = fig.ChokeAverage() + fig.ChokePeakToPeak() / 2.0;
    const double llkp = kLp * (1.0 - k * k);
    const double stored = kLp * im * im + llkp * (n * ilpk / k) * (n * ilpk / k);
    const double peak = vbulk + std::sqrt(stored / kCr);
    EXPECT_LE(fig.SwitchVoltagePeak(), peak * 1.002);
    EXPECT_GE(fig.SwitchVoltagePeak(), peak * 0.98);
}

}  // namespace
