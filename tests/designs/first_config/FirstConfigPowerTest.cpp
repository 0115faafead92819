// Where the first configuration's input power goes. Over whole periods of the steady state
// every stored energy returns, and what the bulk gives is what the load, the dissipating
// parts and the step itself take:
//   Pin = Vbulk·Idraw = Pout + Pswitches + Psense + Preset diodes + Prect1 + Prect2 + Pstep
// each part's power the mean of its voltage times its current (the switches' off resistance
// included). Pstep is backward Euler's own loss: an inductor stepped by
// L·(i - i') = h·v takes v·i·h = (L·i² - L·i'²)/2 + L·(i - i')²/2 in a step, so beyond its
// stored energy each step costs L·di²/2; for the coupled windings (Lp = Ls = 200 uH,
// M = sqrt(0.99)·200 uH, the secondary current out of its dotted end as the forward rectifier
// carries it) (Lp·dIp² - 2·M·dIp·dIs + Ls·dIs²)/2, for the choke (100 uH) L·dIL²/2.
// The balance holding shows that no part makes or loses energy outside its own equation; the
// step's share is the whole gap between the bulk's power and the continuous circuit's losses,
// and it shrinks with the step.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

#include "analysis/context/AnalContext.h"
#include "designs/AnalHeadless.h"
#include "circuit/Doc.h"
#include "designs/Designs.h"

namespace {

constexpr double kPeriod = 1e-5, kLp = 200e-6, kLchoke = 100e-6;

struct Powers {
    double span = 0, in = 0, out = 0, parts = 0, step = 0;
};

TEST(FirstConfigPower, InputPowerIsOutputPartsAndStepLoss) {
    std::string problem;
    std::unique_ptr<CPwrQuorraDoc> doc = OpenRegressionDesign("first_config", &problem);
    ASSERT_TRUE(doc) << problem;
    Powers w;
    double ipPrev = 0, isPrev = 0, ilPrev = 0;
    bool first = true;
    const HeadlessRun run = RunDesignHeadless(*doc, 400, nullptr, nullptr, [&](const AnalysisContext& ctx) {
        const double h = ctx.stepState.inverseTimeStepTermA;
        const PrimaryStateRec& p = ctx.primary;
        const SecondaryRectifierStateRec& rs = ctx.secondaryRectifier[0];
        const double ip = p.primaryWindingCurrent, is = rs.rectifier1AnodeToCathodeCurrent;
        const double il = ctx.outputChoke[0].chokeCurrent;
        const double a = ip - ipPrev, b = is - isPrev, c = il - ilPrev;
        ipPrev = ip;
        isPrev = is;
        ilPrev = il;
        // The last 100 periods, from the first step that ends inside them.
        if (ctx.stepState.time <= ctx.pSettings->endTime - 100 * kPeriod) return;
        if (first) {
            first = false;
            return;
        }
        w.span += h;
        w.in += ctx.inputCapacitor.inputVoltage * ctx.engine.bulkDraw * h;
        w.out += ctx.outputFilter[0].outputVoltage * ctx.loadNetwork[0].loadCurrent * h;
        w.parts += (p.switch1Voltage * p.switch1Current + p.switch2Voltage * p.switch2Current +
                    p.currentSenseResistorVoltage * p.switch1Current + p.diode1Voltage * p.diode1Current +
                    p.diode2Voltage * p.diode2Current +
                    rs.rectifier1AnodeToCathodeVoltage * rs.rectifier1AnodeToCathodeCurrent +
                    rs.rectifierVoltage * rs.diodeCurrent) *
                   h;
        const double m = std::sqrt(0.99) * kLp;
        w.step += 0.5 * (kLp * a * a - 2.0 * m * a * b + kLp * b * b) + 0.5 * kLchoke * c * c;
    });
    ASSERT_EQ(run.ran, 1) << run.problem;
    ASSERT_GT(w.span, 99 * kPeriod);
    const double in = w.in / w.span, out = w.out / w.span, parts = w.parts / w.span, step = w.step / w.span;
    EXPECT_NEAR(in, out + parts + step, 0.002 * in);
    // The parts alone: the diodes' drops at the 2.1 A load current dominate (0.7 V over the
    // whole period between the two rectifiers), some 1.5 W to 1.8 W.
    EXPECT_GT(parts, 1.5);
    EXPECT_LT(parts, 1.8);
}

}  // namespace
