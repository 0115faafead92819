// The single switch with resonant reset end to end: the design written and read back, run as
// a turn-on transient until the output has settled, and measured over the last tenth of the
// run against the closed forms below.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <unistd.h>

#include "analysis/context/AnalContext.h"
#include "analysis/timedomain/AnalFigures.h"
#include "designs/AnalHeadless.h"
#include "circuit/Doc.h"
#include "designs/Designs.h"

namespace {

constexpr double kDuty = 0.25, kPeriod = 1e-5;
constexpr double kLp = 200e-6, kLs = 200e-6, kLeakage = 2e-6;
constexpr double kCr = 22e-9;

// The output voltage. The choke node sits at Von = (E - Vf - Rd·IL)·L/(L + Llk) + Vo·Llk/(L + Llk)
// while the forward rectifier alone conducts (E = k·n·Vp) and at Voff = -(Vf + Rd·IL) while the
// freewheel one does, so Vo + Rchoke·IL = Voff + A/T, A the area of the node above Voff over a
// period. Three intervals make A:
// - On: from the turn-on commutation's end to the turn-off, (Von - Voff)·(D·T - tc). The ring
//   of the last off-time has the forward rectifier conducting already (state 3: the winding
//   swings back positive before the turn-on), so the commutation through the leakage starts from
//   that current Ipre: tc = Llk·(IL - dIL/2 - Ipre)/(E - 2·Vf - Rd·IL).
// - The turn-off ramp: the switch opens, the whole primary current Ip = k·n·(IL + dIL/2) + Im
//   (Im = Im0 + Vp·D·T/Lp, Im0 the magnetising current at turn-on) charges Cr, the drain rises at
//   Ip/Cr and the winding falls with it while the forward rectifier still carries the choke
//   current: the node falls linearly at s = k·n·(Ip/Cr)·L/(L + Llk) from Von to Voff, where the
//   freewheel rectifier takes over. That adds the triangle (Von - Voff)²/(2·s), D growing by
//   (Von - Voff)/(2·s·T), 0.36 us/2 here: 0.9 V on 11.5 V.
// - Off: the node at Voff (the reset ring does not reach the output; the ring-back's
//   pre-conduction has both rectifiers on, so the node stays at Voff until the turn-on).
// Fixed point over Vo as in ForwardClosedForm.h, the bulk after the line resistance. This is
// the continuous circuit's: the run's steps must come within 0.5 % of it.
double SolveResonantOutput(double im0, double ipre) {
    constexpr double kVin = 48.0, kRline = 0.1, kVf = 0.7, kRd = 0.01, kRpri = 1e-3 + 1e-6;
    constexpr double kL = 100e-6 + 1e-10, kRchoke = 2e-6, kR = 5.0;
    const double k = std::sqrt(1.0 - kLeakage / kLs), n = std::sqrt(kLs / kLp);
    double vo = 10.0, dil = 0.0, vp = kVin, deff = kDuty;
    for (int pass = 0; pass < 100; ++pass) {
        const double il = vo / kR;
        const double vbulk = kVin - kRline * deff * k * il;
        const double im = kDuty * kPeriod * vp / kLp;
        vp = vbulk - (k * il + im / 2.0) * kRpri;
        const double e = k * vp * n;
        const double von = (e - kVf - kRd * il) * kL / (kL + kLeakage) + vo * kLeakage / (kL + kLeakage);
        const double voff = -(kVf + kRd * il);
        const double tc = kLeakage * (il - dil / 2.0 - ipre) / (e - 2.0 * kVf - kRd * il);
        const double ip = k * n * (il + dil / 2.0) + im0 + im;
        const double slope = k * n * ip / kCr * kL / (kL + kLeakage);
        const double ramp = (von - voff) * (von - voff) / (2.0 * slope);
        const double area = (von - voff) * (kDuty * kPeriod - tc) + ramp;
        deff = area / ((von - voff) * kPeriod);
        dil = (von - vo) * (kDuty * kPeriod - tc) / kL;
        vo = voff + area / kPeriod - kRchoke * il;
    }
    return vo;
}

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
    // The forward rectifier's current when switch 1 turns on (the ring-back's pre-conduction).
    double ipre = 0.0, beforeTurnOn = 0.0;
    const HeadlessRun run = RunDesignHeadless(*doc, kCycles, &fig, nullptr, [&](const AnalysisContext& c) {
        if (c.primary.switchState != 2) beforeTurnOn = c.engine.output[0].forwardCurrent;
        else if (c.engine.switchStateChanged) ipre = beforeTurnOn;
    });
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
    // the leakage's energy, and the ring's start is not a single instant: the run peaks within
    // 3 % of this (under it at the default steps, a little over it at steps of a few ns).
    const double vbulk = fig.BulkAverage();
    const double k = std::sqrt(1.0 - kLeakage / kLs);
    const double n = std::sqrt(kLs / kLp);
    const double im = fig.MagnetizingAtTurnOnLast() + vbulk * kDuty * kPeriod / kLp;
    const double ilpk = fig.ChokeAverage() + fig.ChokePeakToPeak() / 2.0;
    const double llkp = kLp * (1.0 - k * k);
    const double stored = kLp * im * im + llkp * (n * ilpk / k) * (n * ilpk / k);
    const double peak = vbulk + std::sqrt(stored / kCr);
    EXPECT_NEAR(fig.SwitchVoltagePeak(), peak, 0.03 * peak);

    // The output voltage against the continuous circuit's closed form with the run's own start
    // values (Im0 and the pre-conducted current at turn-on).
    EXPECT_GT(ipre, 0.0);
    const double vcont = SolveResonantOutput(fig.MagnetizingAtTurnOnLast(), ipre);
    EXPECT_NEAR(fig.OutputAverage(), vcont, 0.005 * vcont);
}

}  // namespace
