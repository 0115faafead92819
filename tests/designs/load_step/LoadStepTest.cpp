// The closed voltage loop recovering from a load step: a steady-state run starts at the set
// point, the load source's table adds 1 A at 5 ms, the output dips by the output filter's
// response to the step and the integrating error amplifier brings it back to the set point.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

#include "analysis/context/AnalContext.h"
#include "designs/AnalHeadless.h"
#include "circuit/Doc.h"
#include "designs/Designs.h"

namespace {

// The design's values (LoadStepDesign.cpp, ClosedLoopDesign.cpp).
constexpr double kSetPoint = 10.0;           // target 10 V, VRef and the feedback gain both 1.5 V
constexpr double kStepTime = 5e-3;           // s
constexpr double kStep = 1.0;                // A
constexpr double kResistor = 10.0;           // ohm, beside the 1 A source
constexpr double kL = 100e-6, kC = 100e-6;   // output filter

// Output filter: the choke is fed by the modulator's average voltage, which the loop moves
// only over milliseconds (crossover near 90 Hz), so against the step the capacitor sees the
// choke's current held and the load's 1 A more. With Z0 = sqrt(L/C) = 1 ohm, w0 = 1/sqrt(LC)
// = 1e4 rad/s and the resistor's damping a = 1/(2·R·C) = 500 /s, the capacitor's voltage
// falls as -dI·Z0·(w0/wd)·exp(-a·t)·sin(wd·t) (wd = sqrt(w0² - a²), 0.1 % below w0): its
// lowest point at wd·t = pi/2, t = 157 us, dI·Z0·exp(-a·157 us) = 0.924 V below the set point.
constexpr double kZ0 = 1.0;                                   // sqrt(kL / kC)
constexpr double kW0 = 1e4;                                   // 1 / sqrt(kL * kC)
constexpr double kAlpha = 1.0 / (2.0 * kResistor * kC);
constexpr double kDipTime = 1.5707963267948966 / kW0;          // s after the step
const double kDip = kStep * kZ0 * std::exp(-kAlpha * kDipTime);  // V

struct Window {
    double from, to, area = 0.0, il = 0.0, span = 0.0;
    void Observe(double t, double h, double v, double i) {
        if (t <= from || t > to) return;
        area += v * h;
        il += i * h;
        span += h;
    }
    double Vout() const { return span > 0.0 ? area / span : 0.0; }
    double Il() const { return span > 0.0 ? il / span : 0.0; }
};

TEST(LoadStep, LoopRecoversToTheSetPoint) {
    std::string problem;
    std::unique_ptr<CPwrQuorraDoc> doc = OpenRegressionDesign("load_step", &problem);
    ASSERT_TRUE(doc) << problem;
    // Before the step (the run starts at the operating point), and the last 5 ms, 10 ms
    // after the step.
    Window before{kStepTime - 1e-3, kStepTime}, after{15e-3, 20e-3};
    double lowest = 1e300, lowestAt = 0.0;
    const HeadlessRun run = RunDesignHeadless(*doc, 0.0, nullptr, nullptr, [&](const AnalysisContext& c) {
        const double t = c.stepState.time, h = c.stepState.inverseTimeStepTermA;
        const double v = c.outputFilter[0].outputVoltage, i = c.outputChoke[0].chokeCurrent;
        before.Observe(t, h, v, i);
        after.Observe(t, h, v, i);
        if (t > kStepTime && v < lowest) {
            lowest = v;
            lowestAt = t - kStepTime;
        }
    });
    ASSERT_EQ(run.ran, 1) << run.problem;

    // At the set point before the step; the choke carries the load's 10 V / 10 ohm + 1 A.
    EXPECT_NEAR(before.Vout(), kSetPoint, 0.005 * kSetPoint);
    EXPECT_NEAR(before.Il(), kSetPoint / kResistor + 1.0, 0.01 * 2.0);
    // The filter's dip (the ripple of 10 mV and the loop's first reaction are within 10 %).
    EXPECT_NEAR(kSetPoint - lowest, kDip, 0.1 * kDip);
    EXPECT_NEAR(lowestAt, kDipTime, 0.2 * kDipTime);
    // Back at the set point, carrying the 1 A more.
    EXPECT_NEAR(after.Vout(), kSetPoint, 0.005 * kSetPoint);
    EXPECT_NEAR(after.Il(), kSetPoint / kResistor + 1.0 + kStep, 0.01 * 3.0);
}

}  // namespace
