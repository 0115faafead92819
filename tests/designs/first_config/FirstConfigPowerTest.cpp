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
#include "analysis/timedomain/AnalFigures.h"
#include "designs/AnalHeadless.h"
#include "circuit/Doc.h"
#include "designs/Designs.h"
#include "designs/ForwardClosedForm.h"
#include "designs/StepEnergy.h"

namespace {

constexpr double kPeriod = 1e-5;

struct Power {
    double previous = 0.0, area = 0.0;
    void Add(double now, double h) {
        area += 0.5 * (previous + now) * h;
        previous = now;
    }
};

// The line's side of the balance, in the continuous circuit (values as in FirstConfigTest.cpp,
// the operating point Vo, IL, dIL, Im, Vbulk from ForwardClosedForm.h):
//   Pline = Vo²/R                                     the load
//         + Vf·IL + Rd·(IL² + dIL²/12)                the choke current, always through one
//                                                     output rectifier (shared while both conduct)
//         + 2·(Vf·Im/2 + Rd·Im²/3)·tr/T,  tr = Lp·Im/(Vbulk + 2·Vf)
//                                                     the magnetising current's reset through
//                                                     both primary rectifiers, falling from Im
//         + 2·Vf·(Ioff/2)·tl/T,  tl = Llk·Ioff/(Vbulk + 2·Vf),  Ioff = k·(IL + dIL/2)
//                                                     the leakage's current at turn-off handed
//                                                     back to the bulk through them
//         + Rpri·(k·IL + Im/2)²·D + Rline·Iin²        the switches, sense resistor and line
//   Iin = Pline/Vin (a few passes), efficiency Vo²/R / Pline. Here Pline = 24.5 W, Iin = 0.511 A,
//   efficiency 0.931. A run that charges the bulk with each step's end current reads the line
//   2.7 % higher and the efficiency 0.906.
struct LineBalance {
    double current, efficiency;
};

LineBalance LineClosedForm() {
    constexpr double kVin = 48.0, kRline = 0.1, kDuty = 0.25, kLp = 200e-6, kLeakage = 2e-6;
    constexpr double kVf = 0.7, kRd = 0.01, kRpri = 2e-3 + 1e-6, kR = 5.0;
    const designs::ForwardCircuit x{kVin, kRline, kDuty, kPeriod, kLp, 200e-6, kLeakage, kVf, kRd, kRpri,
                                    100e-6 + 1e-10, 2e-6, 100e-6, kR};
    const designs::ForwardSteadyState f = designs::SolveForward(x);
    const double pout = f.vout * f.vout / kR;
    const double tr = kLp * f.im / (f.vbulk + 2.0 * kVf);
    const double ioff = f.k * (f.il + f.dil / 2.0);
    const double tl = kLeakage * ioff / (f.vbulk + 2.0 * kVf);
    const double ion = f.k * f.il + f.im / 2.0;
    const double parts = pout + kVf * f.il + kRd * (f.il * f.il + f.dil * f.dil / 12.0) +
                         2.0 * (kVf * f.im / 2.0 + kRd * f.im * f.im / 3.0) * tr / kPeriod +
                         kVf * ioff * tl / kPeriod + kRpri * ion * ion * kDuty;
    double iin = parts / kVin;
    for (int pass = 0; pass < 20; ++pass) iin = (parts + kRline * iin * iin) / kVin;
    return {iin, pout / (kVin * iin)};
}

TEST(FirstConfigPower, InputPowerIsOutputAndParts) {
    std::string problem;
    std::unique_ptr<CPwrQuorraDoc> doc = OpenRegressionDesign("first_config", &problem);
    ASSERT_TRUE(doc) << problem;
    Power in, out, parts;
    double span = 0.0, transition = -1.0;
    bool first = true;
    CRunFigures fig(400 * kPeriod - 100 * kPeriod);
    const HeadlessRun run = RunDesignHeadless(*doc, 400, nullptr, nullptr, [&](const AnalysisContext& ctx) {
        fig.Observe(ctx);
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

    // The line gives what the bulk passes on, its own resistance's loss beside it, and the
    // figures the user reads are the continuous circuit's.
    const double iline = fig.InputCurrentAverage();
    EXPECT_NEAR(fig.InputPower(), pin + 0.1 * iline * iline, 0.002 * pin);
    const LineBalance cf = LineClosedForm();
    EXPECT_NEAR(iline, cf.current, 0.005 * cf.current);
    EXPECT_NEAR(fig.Efficiency(), cf.efficiency, 0.005 * cf.efficiency);
    EXPECT_NEAR(fig.DrawAverage(), pin / fig.BulkAverage(), 0.002 * fig.DrawAverage());
}

// Where a step of the size the run takes puts the energy a backward-Euler inductor or
// capacitor takes beyond its stored energy (StepEnergy.h): reading every power at the step's
// end, what the bulk gives is the outputs, the resistive parts and those step losses, to the
// watt's last few hundredths. They sit in the transformer (the magnetising ramps and the
// hand-overs through the leakage) and the choke; the capacitors take next to nothing.
TEST(FirstConfigPower, StepLossesCloseTheEndValueBalance) {
    struct Case {
        const char* design;
        double transformerAtLeast, chokeAtLeast;  // W
    };
    const Case cases[] = {{"first_config", 0.3, 0.1}, {"four_outputs", 0.5, 0.4}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.design);
        std::string problem;
        std::unique_ptr<CPwrQuorraDoc> doc = OpenRegressionDesign(c.design, &problem);
        ASSERT_TRUE(doc) << problem;
        StepEnergyLedger ledger;
        ledger.windowStart = 300 * kPeriod;
        double pin = 0.0, pout = 0.0, pparts = 0.0;
        const HeadlessRun run = RunDesignHeadless(*doc, 400, nullptr, nullptr, [&](const AnalysisContext& ctx) {
            ledger.Observe(ctx);
            const double h = ctx.stepState.inverseTimeStepTermA;
            if (ctx.stepState.time - h < ledger.windowStart) return;
            const PrimaryStateRec& p = ctx.primary;
            const TransformerParams& t = ctx.engine.xfmr;
            pin += ctx.inputCapacitor.inputVoltage * ctx.engine.bulkDraw * h;
            double parts = p.switch1Voltage * p.switch1Current + p.switch2Voltage * p.switch2Current +
                           p.currentSenseResistorVoltage * p.switch1Current + p.diode1Voltage * p.diode1Current +
                           p.diode2Voltage * p.diode2Current + t.rp * p.primaryWindingCurrent * p.primaryWindingCurrent;
            for (int32_t j = 0; j < ctx.pSettings->outputCount; ++j) {
                const SecondaryRectifierStateRec& rs = ctx.secondaryRectifier[j];
                const OutputChokeStateRec& ch = ctx.outputChoke[j];
                const double is = ctx.engine.secondaryCurrent[j], ic = ctx.outputFilter[j].capacitorCurrent;
                parts += rs.rectifier1AnodeToCathodeVoltage * rs.rectifier1AnodeToCathodeCurrent +
                         rs.rectifierVoltage * rs.diodeCurrent + t.rs[j] * is * is +
                         ch.totalResistance * ch.chokeCurrent * ch.chokeCurrent +
                         ctx.pOutputFilterInput[j]->rippleResistance * ic * ic;
                pout += ctx.outputFilter[j].outputVoltage * ctx.loadNetwork[j].loadCurrent * h;
            }
            pparts += parts * h;
        });
        ASSERT_EQ(run.ran, 1) << run.problem;
        ASSERT_GT(ledger.span, 99 * kPeriod);
        pin /= ledger.span, pout /= ledger.span, pparts /= ledger.span;
        EXPECT_NEAR(pin, pout + pparts + ledger.Total(), 0.001 * pin);
        EXPECT_GT(ledger.Power(StepEnergyLedger::kTransformer), c.transformerAtLeast);
        EXPECT_GT(ledger.Power(StepEnergyLedger::kChoke), c.chokeAtLeast);
        EXPECT_LT(ledger.Power(StepEnergyLedger::kOutputCapacitor) + ledger.Power(StepEnergyLedger::kBulkCapacitor),
                  0.01);
    }
}

}  // namespace
