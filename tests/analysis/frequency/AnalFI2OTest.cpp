// The input-to-output analysis's window on a rectified AC line: whole injection periods that
// also hold whole periods of the line ripple, the line frequency nudged to make it so, and the
// current-loop analysis's rebuilding of the smaller of its two injection-side signals.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "analysis/frequency/AnalFCLp.h"
#include "analysis/frequency/AnalFI2O.h"

namespace {

constexpr double kPi = std::numbers::pi;

bool Whole(double x) { return std::fabs(x - std::round(x)) < 1e-6 && std::round(x) >= 1.0; }

TEST(LineRippleWindow, HoldsWholeInjectionAndRipplePeriods) {
    const struct {
        const char* name;
        double f, line;
        int32_t rectifier, phases;
        double window, adjustedLine;
    } cases[] = {
        // Full-wave bridge on 50 Hz: ripple 100 Hz.
        {"injection at the ripple frequency: ten periods, line untouched", 100.0, 50.0, 4, 1, 0.1, 50.0},
        {"injection period 10.5 ripple periods: one injection period, 11 ripples", 1.0 / 0.105, 50.0, 4, 1, 0.105,
         11.0 / 0.105 / 2.0},
        {"ten or more injection periods a ripple: the ripple's whole count of them", 1050.0, 50.0, 4, 1,
         10.0 / 1050.0, 1050.0 / 10.0 / 2.0},
        // Half wave: the ripple is the line period.
        {"3.5 injection periods a ripple: four ripples hold 14 injection periods", 175.0, 50.0, 1, 1, 0.08, 50.0},
        // Three phases full wave: six ripples a line period.
        {"three-phase bridge: the line period over six", 3100.0, 50.0, 8, 3, 10.0 / 3100.0, 3100.0 / 10.0 / 6.0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const LineRippleWindow w = RippleCommensurateWindow(c.f, c.line, c.rectifier, c.phases);
        EXPECT_NEAR(w.window, c.window, 1e-12 * c.window);
        EXPECT_NEAR(w.lineFrequency, c.adjustedLine, 1e-9 * c.adjustedLine);
    }
}

TEST(LineRippleWindow, EveryFrequencyFitsWithTheLineWithinTenPerCent) {
    for (const int32_t rectifier : {1, 4, 8}) {
        const int32_t phases = rectifier == 8 ? 3 : 1;
        const double perLine = (rectifier == 1 ? 1.0 : 2.0) * (phases == 3 ? 3.0 : 1.0);
        for (double f = 1.0; f < 2e5; f *= 1.0717) {
            SCOPED_TRACE(testing::Message() << "case " << rectifier << " at " << f << " Hz");
            const LineRippleWindow w = RippleCommensurateWindow(f, 60.0, rectifier, phases);
            ASSERT_GT(w.window, 0.0);
            const double ripple = 1.0 / (w.lineFrequency * perLine);
            EXPECT_TRUE(Whole(w.window * f)) << w.window * f;
            EXPECT_TRUE(Whole(w.window / ripple)) << w.window / ripple;
            EXPECT_NEAR(w.lineFrequency / 60.0, 1.0, 0.1 + 1e-9);
        }
    }
}

TEST(LineRippleWindow, NoRectifiedRippleLeavesTheSweepsOwnWindow) {
    EXPECT_EQ(RippleCommensurateWindow(1e3, 50.0, 0, 1).window, 0.0);  // no rectifier
    EXPECT_EQ(RippleCommensurateWindow(1e3, 0.0, 4, 1).window, 0.0);   // DC line
}

TEST(CurrentLoopCrossCheck, TheSmallerSignalIsRebuiltFromTheLarger) {
    const double a = 0.1;
    const struct {
        const char* name;
        double mb, pb, mc, pc;
        double wantMb, wantPb, wantMc, wantPc;
    } cases[] = {
        // x_c = 1 at 90 degrees: x_b = x_c + 0.1 = 1.005 at 84.3 degrees.
        {"agreeing within 1 %: kept", 1.004, 1.47, 1.0, kPi / 2, 1.004, 1.47, 1.0, kPi / 2},
        {"x_b the smaller: rebuilt from x_c", 0.5, 0.3, 1.0, kPi / 2, std::hypot(0.1, 1.0), std::atan2(1.0, 0.1),
         1.0, kPi / 2},
        {"equal magnitudes count as x_b the smaller", 1.0, 0.3, 1.0, 0.0, 1.1, 0.0, 1.0, 0.0},
        {"x_c the smaller: rebuilt from x_b", 2.0, 0.0, 0.5, 0.3, 2.0, 0.0, 1.9, 0.0},
        {"a zero x_b: rebuilt", 0.0, 0.0, 1.0, 0.0, 1.1, 0.0, 1.0, 0.0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        double mb = c.mb, pb = c.pb, mc = c.mc, pc = c.pc;
        CrossCheckInjectedSum(mb, pb, mc, pc, a);
        EXPECT_NEAR(mb, c.wantMb, 1e-12);
        EXPECT_NEAR(pb, c.wantPb, 1e-12);
        EXPECT_NEAR(mc, c.wantMc, 1e-12);
        EXPECT_NEAR(pc, c.wantPc, 1e-12);
    }
}

}  // namespace
