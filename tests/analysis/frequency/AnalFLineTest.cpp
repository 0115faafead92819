// The loop sweeps' window on an AC line: whole injection periods that are whole ripple periods
// of a line moved by at most 10 %, the injection never on a harmonic of the ripple (there the
// ripple would pass the window's Fourier filter as if it were the response).
#include <gtest/gtest.h>

#include <cmath>

#include "analysis/context/AnalInputRec.h"
#include "analysis/frequency/AnalFI2O.h"
#include "analysis/frequency/AnalFSwp.h"

namespace {

bool Whole(double x) { return std::fabs(x - std::round(x)) < 1e-6 && std::round(x) >= 1.0; }

TEST(LoopRippleWindow, EveryFrequencyFitsOffTheRippleHarmonics) {
    const struct {
        int32_t rectifier, phases;
        double perLine;  // ripple periods a line period
    } lines[] = {{0, 1, 1.0}, {1, 1, 1.0}, {4, 1, 2.0}, {8, 3, 6.0}};
    for (const auto& c : lines) {
        for (double f = 1.0; f < 2e5; f *= 1.0717) {
            SCOPED_TRACE(testing::Message() << "case " << c.rectifier << " at " << f << " Hz");
            const LineRippleWindow w = LoopRippleWindow(f, 50.0, c.rectifier, c.phases);
            ASSERT_GT(w.window, 0.0);
            const double ripples = w.window * w.lineFrequency * c.perLine;
            const double injections = w.window * f;
            EXPECT_TRUE(Whole(injections)) << injections;
            EXPECT_TRUE(Whole(ripples)) << ripples;
            // f over the ripple frequency, injections / ripples, is no whole number.
            EXPECT_FALSE(Whole(injections / ripples)) << injections << " / " << ripples;
            EXPECT_NEAR(w.lineFrequency / 50.0, 1.0, 0.1 + 1e-9);
        }
    }
}

// Where the input-to-output fit puts the injection on a harmonic: 4 kHz on a 400 Hz bridge is
// the ripple's fifth, 100 Hz on a 50 Hz bridge its first. The loop fit moves the line instead.
TEST(LoopRippleWindow, TheInjectionLeavesTheHarmonicsTheOtherFitTakes) {
    const struct {
        const char* name;
        double f, line;
        double injections, ripples;
    } cases[] = {
        {"4 kHz, 400 Hz line: eleven injections in two ripples of 727 Hz", 4000.0, 400.0, 11.0, 2.0},
        {"100 Hz, 50 Hz line: ten injections in nine ripples of 90 Hz", 100.0, 50.0, 10.0, 9.0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const LineRippleWindow other = RippleCommensurateWindow(c.f, c.line, 4, 1);
        EXPECT_TRUE(Whole(other.window * c.f / (other.window * other.lineFrequency * 2.0)));
        const LineRippleWindow w = LoopRippleWindow(c.f, c.line, 4, 1);
        EXPECT_NEAR(w.window * c.f, c.injections, 1e-9);
        EXPECT_NEAR(w.window * w.lineFrequency * 2.0, c.ripples, 1e-9);
    }
}

TEST(LoopRippleWindow, SpansAHundredSwitchingPeriodsAndRetunesTheLine) {
    AnalysisSettingsRec set;
    set.lineRectifierVariant = 4;
    set.linePhaseCount = 1;
    LineSourceInputRec line;
    line.lineFrequency = 400.0;
    // 20 kHz on an 800 Hz ripple: 51 injections in two ripples of 784 Hz (2.55 ms), twice for
    // 100 periods of 40 us.
    const double w = LineFittedWindow(line, set, 400.0, 20e3, 40e-6);
    EXPECT_NEAR(w, 2.0 * 51.0 / 20e3, 1e-15);
    EXPECT_NEAR(line.lineFrequency, 20e3 / 51.0, 1e-9);
}

// Far below the ripple one injection period holds a whole number of ripples, found at once.
TEST(LoopRippleWindow, AFarLowInjectionHoldsOneOfItsPeriods) {
    const LineRippleWindow w = LoopRippleWindow(1e-9, 50.0, 4, 1);
    EXPECT_DOUBLE_EQ(w.window, 1e9);
    EXPECT_DOUBLE_EQ(w.lineFrequency, 50.0);
}

TEST(LoopRippleWindow, NoLineLeavesNoWindow) {
    EXPECT_EQ(LoopRippleWindow(1e3, 0.0, 4, 1).window, 0.0);
    EXPECT_EQ(LoopRippleWindow(0.0, 50.0, 4, 1).window, 0.0);
}

}  // namespace
