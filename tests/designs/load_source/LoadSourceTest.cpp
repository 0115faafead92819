// The current-source load end to end: its sine moves the output by the output filter's
// impedance at the sine's frequency.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <memory>
#include <numbers>
#include <string>

#include "analysis/timedomain/AnalFigures.h"
#include "designs/AnalHeadless.h"
#include "circuit/Doc.h"
#include "designs/Designs.h"

namespace {

// Long enough for the output filter (Q = 5, about 1 ms to settle) and ten periods of the sine
// in the window; the sanitizer build runs fewer.
#ifdef PQ_SANITIZE
constexpr double kCycles = 1500;
#else
constexpr double kCycles = 2000;
#endif

// The design's values: the source's sine, the choke (with its sense resistor), the output
// capacitor group, the load branches.
constexpr double kIa = 1.0, kF = 5000.0;
constexpr double kL = 100e-6 + 1e-10, kRchoke = 2e-6;
constexpr double kC = 100e-6, kEsr = 1e-6, kEsl = 1e-10;
constexpr double kR1 = 1e-3 + 1e-6, kL1 = 1e-9;
constexpr double kR2 = 5.0 + 1e-6, kL2 = 1e-9 + 1e-10;

// The source draws Ia·sin(wt) from the node p behind the series branch; p sees the load
// resistor branch to the return and, through the series branch, the output node with the
// capacitor and the choke, whose other end the rectifier holds at its average (an AC ground:
// its source impedance, the diode's 10 mohm and the leakage's 2 uH for a quarter of the
// period, is below 0.5 % of the choke's 3.1 ohm here).
//   Zf = 1 / (Yc + Yl),  Yc = 1/(Esr + jw·Esl + 1/(jw·C)),  Yl = 1/(Rchoke + jw·L)
//   Vp = -Ia·(Z2 || (Z1 + Zf)),  Vout = Vp·Zf/(Z1 + Zf)
// so the output swings by 2·Ia·|Z2·Zf/(Z1 + Z2 + Zf)| peak to peak, plus at most the
// switching ripple at the sine's crests: dIL·T/(8·C) with dIL <= (k·Vbulk - Vo)·D·T/L
// = (47.7 - 10.7)·0.25·10 us/100 uH = 0.93 A, 11.6 mV.
double SwingPeakToPeak() {
    using C = std::complex<double>;
    const double w = 2.0 * std::numbers::pi * kF;
    const C j(0.0, 1.0);
    const C zf = 1.0 / (1.0 / (kEsr + j * w * kEsl + 1.0 / (j * w * kC)) + 1.0 / (kRchoke + j * w * kL));
    const C z1 = kR1 + j * w * kL1, z2 = kR2 + j * w * kL2;
    return 2.0 * kIa * std::abs(z2 * zf / (z1 + z2 + zf));
}
constexpr double kRippleBound = 0.0116;

TEST(LoadSource, SineOfTheSourceMovesTheOutputByTheFilterImpedance) {
    std::string problem;
    std::unique_ptr<CPwrQuorraDoc> doc = OpenRegressionDesign("load_source", &problem);
    ASSERT_TRUE(doc) << problem;
    CRunFigures fig(0.0);
    const HeadlessRun run = RunDesignHeadless(*doc, kCycles, &fig, nullptr);
    ASSERT_EQ(run.ran, 1) << run.problem;
    const double expected = SwingPeakToPeak();
    EXPECT_NEAR(fig.OutputPeakToPeak(), expected + kRippleBound / 2.0, 0.02 * expected + kRippleBound / 2.0);
}

}  // namespace
