// The first configuration end to end: the design written and read back as a design file,
// filled as a start fills it, run as a turn-on transient until the output has settled, and
// measured over the last tenth of the run against the closed forms below.
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

// The circuit's values (the design's, see FirstConfigDesign.cpp).
constexpr double kVin = 48.0, kRline = 0.1;
constexpr double kDuty = 0.25, kPeriod = 1e-5;
constexpr double kLp = 200e-6, kLs = 200e-6, kLeakage = 2e-6;  // Ls·(1 - k²), k² = 1 - 2 uH/200 uH
constexpr double kVf = 0.7, kRd = 0.01;                          // every diode
constexpr double kRon = 1e-3, kRsense = 1e-6;
constexpr double kL = 100e-6 + 1e-10, kRchoke = 2e-6;            // choke with its sense resistor
constexpr double kC = 100e-6, kR = 5.0;

struct ClosedForm {
    double vout, ilAverage, ilRipple, voutRipple, ipk, plateau;
};

// Steady state of the forward converter with a coupled (k < 1) transformer, continuous
// choke current. Fixed point over the output voltage, a few passes:
//   IL      = Vo / R                                   choke (= load) current
//   Vbulk   = Vin - Rline·Iin,  Iin = Deff·k·IL        average line current (the magnetising
//                                                      charge returns in the reset)
//   Vp      = Vbulk - (k·IL + Im/2)·(2·Ron + Rsense)   primary winding voltage while on
//   E       = k·Vp                                     open-circuit secondary voltage
//                                                      (M/Lp = k with equal windings)
//   Von     = (E - Vf - Rd·IL)·L/(L + Llk) + Vo·Llk/(L + Llk)
//                                                      choke node while forward: the leakage
//                                                      Llk = Ls(1 - k²) carries the choke's dI/dt
//   Voff    = -(Vf + Rd·IL)                            choke node while freewheeling
//   dIL     = (Von - Vo)·Deff·T / L                    choke ripple
//   tc      = Llk·(IL - dIL/2) / (E - 2·Vf - Rd·IL)    turn-on commutation, both rectifiers on
//   Deff    = D - tc/T
//   Vo      = Deff·Von + (1 - Deff)·Voff - Rchoke·IL
// Then the ripple of the output (capacitor takes the triangle): dVo = dIL·T / (8·C); the
// magnetising current at the end of the on-time Im = Vp·D·T/Lp; the peak primary current
// k·(IL + dIL/2) + Im; and the reset plateau of the switch voltage, its mean over the reset
// (magnetising current falling from Im to 0 through both primary rectifiers):
// Vbulk + Vf + Rd·Im/2.
ClosedForm Solve() {
    const double k = std::sqrt(1.0 - kLeakage / kLs);
    double vo = 10.7, deff = kDuty, il = 0.0, dil = 0.0, vbulk = kVin, vp = kVin, im = 0.0;
    for (int pass = 0; pass < 50; ++pass) {
        il = vo / kR;
        vbulk = kVin - kRline * deff * k * il;
        im = vp * kDuty * kPeriod / kLp;
        vp = vbulk - (k * il + im / 2.0) * (2.0 * kRon + kRsense);
        const double e = k * vp * std::sqrt(kLs / kLp);
        const double von = (e - kVf - kRd * il) * kL / (kL + kLeakage) + vo * kLeakage / (kL + kLeakage);
        const double voff = -(kVf + kRd * il);
        dil = (von - vo) * deff * kPeriod / kL;
        const double tc = kLeakage * (il - dil / 2.0) / (e - 2.0 * kVf - kRd * il);
        deff = kDuty - tc / kPeriod;
        vo = deff * von + (1.0 - deff) * voff - kRchoke * il;
    }
    return {vo, il, dil, dil * kPeriod / (8.0 * kC), k * (il + dil / 2.0) + im, vbulk + kVf + kRd * im / 2.0};
}

// Long enough for the output filter (100 uH, 100 uF into 5 ohm: Q = 5, about 2 ms time
// constant) to settle well inside the measuring window; the sanitizer build runs fewer.
#ifdef PQ_SANITIZE
constexpr double kCycles = 1500;
#else
constexpr double kCycles = 2000;
#endif

TEST(FirstConfiguration, SettlesOnTheClosedForms) {
    const std::string path = ::testing::TempDir() + "first_config_" + std::to_string(::getpid()) + ".SEF";
    ASSERT_TRUE(WriteRegressionDesign(RegressionDesigns().front(), path));
    std::string problem;
    std::unique_ptr<CPwrQuorraDoc> doc = OpenDesignHeadless(path, &problem);
    ASSERT_TRUE(doc) << problem;
    CRunFigures fig(0.0);
    const HeadlessRun run = RunDesignHeadless(*doc, kCycles, &fig, nullptr);
    std::remove(path.c_str());
    ASSERT_EQ(run.ran, 1) << run.problem;

    const ClosedForm cf = Solve();
    struct Figure {
        const char* name;
        double measured, expected, relativeTolerance;
    };
    const Figure figures[] = {
        {"average output voltage", fig.OutputAverage(), cf.vout, 0.005},
        {"average choke current", fig.ChokeAverage(), cf.ilAverage, 0.005},
        {"choke current ripple", fig.ChokePeakToPeak(), cf.ilRipple, 0.03},
        {"output voltage ripple", fig.OutputPeakToPeak(), cf.voutRipple, 0.03},
        {"peak primary current", fig.PrimaryPeak(), cf.ipk, 0.02},
        {"switch voltage plateau", fig.SwitchPlateau(), cf.plateau, 0.01},
    };
    for (const Figure& f : figures)
        EXPECT_NEAR(f.measured, f.expected, f.relativeTolerance * f.expected) << f.name;
    EXPECT_NEAR(fig.Duty(), kDuty, 0.002);
}

// A current-loop response of a design without a current loop is refused with its message and
// runs nothing.
TEST(FirstConfiguration, CurrentLoopKindWithoutACurrentLoopIsRefusedNotRun) {
    CPwrQuorraDoc doc;
    doc.OnNewDocument();
    BuildFirstConfiguration(doc);
    doc.GetAnalysisConfig()->SetAnalysisKind(CAnalysisConfig::KIND_CURRENT_LOOP);
    const HeadlessRun run = RunDesignHeadless(doc, 10, nullptr, nullptr);
    EXPECT_EQ(run.ran, 0);
    EXPECT_EQ(run.steps, 0);
    EXPECT_NE(run.problem.find("the current loop analysis needs peak current"), std::string::npos) << run.problem;
}

}  // namespace
