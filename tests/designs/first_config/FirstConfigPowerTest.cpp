// Where the first configuration's input power goes. Over whole periods of the steady state
// every stored energy returns, and what the bulk gives is what the load and the dissipating
// parts take:
//   Pin = Vbulk·Idraw = Pout + Pswitches + Psense + Preset diodes + Prect1 + Prect2 + Ptransition
// each part's power the mean of its voltage times its current (the switches' off resistance
// included). The transition loss is the edges' capacitive energy over the period, a figure
// the step computes beside the circuit and never draws from the bulk: with no capacitances
// but what the design's parts carry by default, a fraction of a milliwatt here.
//
// Each power is taken over a step as the mean of its values at the step's two ends. Taking the
// end value alone reads a current that ramps through the step half its rise too high: the
// on-time's primary ramp (0.6 A a step) and the hand-overs through the leakage (up to 1 A a
// step) then read 2 to 3 % more input power than the circuit takes, the whole of an apparent
// step loss L·di²/2 per step (v·i·h = (L·i² - L·i'²)/2 + L·(i - i')²/2 for an inductor stepped
// by L·(i - i') = h·v). The circuit itself loses nothing beside its parts.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

#include "analysis/context/AnalContext.h"
#include "designs/AnalHeadless.h"
#include "circuit/Doc.h"
#include "designs/Designs.h"

namespace {

constexpr double kPeriod = 1e-5;

struct Power {
    double previous = 0.0, area = 0.0;
    void Add(double now, double h) {
        area += 0.5 * (previous + now) * h;
        previous = now;
    }
};

TEST(FirstConfigPower, InputPowerIsOutputAndParts) {
    std::string problem;
    std::unique_ptr<CPwrQuorraDoc> doc = OpenRegressionDesign("first_config", &problem);
    ASSERT_TRUE(doc) << problem;
    Power in, out, parts;
    double span = 0.0, transition = -1.0;
    bool first = true;
    const HeadlessRun run = RunDesignHeadless(*doc, 400, nullptr, nullptr, [&](const AnalysisContext& ctx) {
        const double h = ctx.stepState.inverseTimeStepTermA;
        const PrimaryStateRec& p = ctx.primary;
        const SecondaryRectifierStateRec& rs = ctx.secondaryRectifier[0];
        const double pin = ctx.inputCapacitor.inputVoltage * ctx.engine.bulkDraw;
        const double pout = ctx.outputFilter[0].outputVoltage * ctx.loadNetwork[0].loadCurrent;
        const double pparts = p.switch1Voltage * p.switch1Current + p.switch2Voltage * p.switch2Current +
                              p.currentSenseResistorVoltage * p.switch1Current + p.diode1Voltage * p.diode1Current +
                              p.diode2Voltage * p.diode2Current +
                              rs.rectifier1AnodeToCathodeVoltage * rs.rectifier1AnodeToCathodeCurrent +
                              rs.rectifierVoltage * rs.diodeCurrent;
        // The last 100 periods, from the first step that ends inside them.
        const bool inside = ctx.stepState.time > ctx.pSettings->endTime - 100 * kPeriod;
        if (!inside || first) {
            first = !inside;
            in.previous = pin, out.previous = pout, parts.previous = pparts;
            return;
        }
        span += h;
        in.Add(pin, h);
        out.Add(pout, h);
        parts.Add(pparts, h);
        transition = ctx.engine.periodTransitionLoss;
    });
    ASSERT_EQ(run.ran, 1) << run.problem;
    ASSERT_GT(span, 99 * kPeriod);
    const double pin = in.area / span, pout = out.area / span, pparts = parts.area / span;
    EXPECT_GE(transition, 0.0);
    EXPECT_LT(transition, 1e-3);
    EXPECT_NEAR(pin, pout + pparts + transition, 0.005 * pin);
    // The output: (10.69 V)²/5 ohm, some 22.8 W; the
    // parts: the diodes' drops at the 2.1 A load current dominate (0.7 V over the whole period
    // between the two rectifiers), some 1.5 W to 1.8 W.
    EXPECT_GT(pout, 22.0);
    EXPECT_GT(pparts, 1.5);
    EXPECT_LT(pparts, 1.8);
}

}  // namespace
