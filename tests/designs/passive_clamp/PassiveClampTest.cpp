// The single switch with a passive clamp end to end: the design written and read back, run
// as a turn-on transient until the output and the clamp have settled, and measured over the
// last tenth of the run against the closed forms below.
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

// The output and transformer are the first configuration's; the primary path holds one switch.
constexpr double kVin = 48.0, kRline = 0.1, kDuty = 0.25, kPeriod = 1e-5;
constexpr double kLp = 200e-6, kLs = 200e-6, kLeakage = 2e-6;
constexpr double kVf = 0.7, kRd = 0.01;
constexpr double kRon = 1e-3, kRsense = 1e-6;
constexpr double kClampC = 2.2e-6, kClampR = 560.0, kClampVf = 0.7;

// The clamp voltage from its charge balance: the resistor's average current Vcl/Rcl carries
// off, each period T, the charge the clamp rectifier took in two parts (Vr = Vcl + Vf, the
// voltage the winding is held at while the clamp conducts; n = sqrt(Ls/Lp)):
//   commutation: the choke's peak current ILpk leaves the secondary through the leakage seen
//     from the primary, Llkp = Lp(1 - k²): the primary current falls by dI = n·ILpk/k in
//     tc = Llkp·dI/Vr, from Ip0 = Iend + dI to Iend:      Qc = (Ip0 + Iend)/2 · tc
//   reset: the magnetising current falls from Iend to 0 at Vr/Lp:   Qr = Iend²·Lp/(2·Vr)
// where Iend is the primary flux linkage at turn-off, Vp·D·T, less what the commutation
// took, Llkp·dI, over Lp. Vcl·T/Rcl = Qc + Qr is solved by bisection.
// The run counts less: backward Euler charges the capacitor with each step's end current, so
// a falling ramp of I over steps of h loses I·h/2. At the largest step h = T/100 that is
// 0.03 uC of the 0.69 uC reset charge, and about as much again in the commutation's growing
// steps: some 6 % of the charge, so the clamp voltage (Vcl² goes nearly as the charge) sits
// about 3 % under the balance. The run must lie between 5 % under it and the balance itself.
double ClampVoltage(const designs::ForwardSteadyState& cf) {
    const double n = std::sqrt(kLs / kLp);
    const double ilpk = cf.il + cf.dil / 2.0;
    const double llkp = kLp * (1.0 - cf.k * cf.k);
    const double di = n * ilpk / cf.k;
    const double iend = (cf.vp * kDuty * kPeriod - llkp * di) / kLp;
    auto excess = [&](double vcl) {
        const double vr = vcl + kClampVf;
        const double qc = (2.0 * iend + di) / 2.0 * llkp * di / vr;
        const double qr = iend * iend * kLp / (2.0 * vr);
        return vcl * kPeriod / kClampR - (qc + qr);
    };
    double lo = 1.0, hi = 500.0;
    for (int i = 0; i < 100; ++i) {
        const double mid = 0.5 * (lo + hi);
        (excess(mid) > 0.0 ? hi : lo) = mid;
    }
    return 0.5 * (lo + hi);
}

#ifdef PQ_SANITIZE
constexpr double kCycles = 800;
#else
constexpr double kCycles = 1000;
#endif

TEST(PassiveClamp, SettlesOnTheClosedForms) {
    std::string problem;
    std::unique_ptr<CPwrQuorraDoc> doc = OpenRegressionDesign("passive_clamp", &problem);
    ASSERT_TRUE(doc) << problem;
    CRunFigures fig(0.0);
    const HeadlessRun run = RunDesignHeadless(*doc, kCycles, &fig, nullptr);
    ASSERT_EQ(run.ran, 1) << run.problem;

    const designs::ForwardSteadyState cf = designs::SolveForward(
        {kVin, kRline, kDuty, kPeriod, kLp, kLs, kLeakage, kVf, kRd, kRon + kRsense, 100e-6 + 1e-10, 2e-6, 100e-6, 5.0});
    const double vcl = ClampVoltage(cf);
    struct Figure {
        const char* name;
        double measured, expected, under, over;  // the bounds relative to the expected value
    };
    const double plateau = cf.vbulk + vcl + kClampVf;  // the switch on the clamp above the bulk
    const Figure figures[] = {
        {"average output voltage", fig.OutputAverage(), cf.vout, 0.01, 0.01},
        {"clamp capacitor voltage", fig.ClampAverage(), vcl, 0.05, 0.0},
        {"switch voltage plateau", fig.SwitchPlateau(), plateau, 0.05 * vcl / plateau, 0.002},
    };
    for (const Figure& f : figures) {
        EXPECT_GE(f.measured, f.expected * (1.0 - f.under)) << f.name;
        EXPECT_LE(f.measured, f.expected * (1.0 + f.over)) << f.name;
    }
    EXPECT_NEAR(fig.Duty(), kDuty, 0.002);
    // The clamp resets the core fully: every on-time starts from no magnetising current.
    EXPECT_GT(fig.TurnOns(), 50);
    EXPECT_LT(fig.MagnetizingAtTurnOnSpread(), 1e-3);
    EXPECT_NEAR(fig.MagnetizingAtTurnOnLast(), 0.0, 1e-3);
}

}  // namespace
