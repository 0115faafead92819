// One step of the assembly against the nodal oracle: the whole converter (line, bulk,
// primary loop of the switch state, coupled transformer, rectifiers, chokes, filters and
// loads) built element by element in the oracle, from the same start-of-step values, must
// give the currents and voltages that the closed-form reductions give. Asymmetric values
// and a reversed second output catch swapped or mis-signed terms.
#include <gtest/gtest.h>

#include <cmath>

#include "analysis/context/AnalContext.h"
#include "analysis/models/AnalInit.h"
#include "analysis/timedomain/AnalABCP.h"
#include "analysis/timedomain/AnalDABC.h"
#include "support/FirstConfigRecords.h"
#include "support/NodalOracle.h"

namespace {

using test_support::FirstConfigRecords;
using test_support::NodalOracle;

struct StepCase {
    const char* name;
    int32_t switchState;
    int32_t forwardOn[2];
    int32_t freewheelOn[2];
    int32_t outputs;
    int32_t polarity2;
    double chokeCoupling = 0.0;  // the two outputs' chokes on one core
};

class AssemblyOracle : public ::testing::TestWithParam<StepCase> {
protected:
    void SetUp() override {
        // Values far from each other, so that a term in the wrong place shows.
        rec_.line.lineInductance = 1.3e-6;
        rec_.line.lineResistance = 0.17;
        rec_.line.outputCapacitorInductance = 2.1e-9;
        rec_.line.outputCapacitorResistance = 0.011;
        rec_.line.outputCapacitance = 4.7e-5;
        rec_.primary.magnetizingInductanceNominal = 310e-6;
        rec_.primary.primaryWindingResistance = 0.021;
        rec_.primary.couplingPriSec1 = 0.97;
        rec_.primary.couplingPriSec2 = 0.93;
        rec_.primary.couplingSec1Sec2 = 0.91;
        rec_.primary.senseResistance = 0.033;
        rec_.primary.senseResistorInductance = 3e-9;
        rec_.primary.primarySeriesResistance = 0.042;
        rec_.primary.sectionQuantityParamI = 0.81;
        rec_.primary.runCheckParamB = 0.057;
        rec_.rectifier.diodeDrop = 0.45;
        rec_.rectifier.dynamicResistance = 0.013;
        rec_.rectifier.forwardVoltage = 0.52;
        rec_.rectifier.secondDynamicResistance = 0.019;
        rec_.rectifier.nominalWindingInductance = 120e-6;
        rec_.rectifier.windingResistance = 0.009;
        rec_.choke.inductance = 47e-6;
        rec_.choke.windingResistance = 0.014;
        rec_.choke.seriesResistance = 0.004;
        rec_.choke.seriesInductance = 2e-9;
        rec_.filter.capACapacitance = 220e-6;
        rec_.filter.rippleResistance = 0.018;
        rec_.filter.rippleInductance = 4e-9;
        rec_.load.resistance = 3.3;
        rec_.load.closedFormParamB = 7e-9;
        rec_.settings.openResistance = 2e5;

        rec2_ = rec_;
        rec2_.rectifier.nominalWindingInductance = 75e-6;
        rec2_.rectifier.windingResistance = 0.006;
        rec2_.rectifier.diodeDrop = 0.38;
        rec2_.choke.inductance = 22e-6;
        rec2_.filter.capACapacitance = 330e-6;
        rec2_.load.resistance = 1.9;
    }

    FirstConfigRecords rec_;
    FirstConfigRecords rec2_;
};

TEST_P(AssemblyOracle, StepMatchesNodalSolution) {
    const StepCase& c = GetParam();
    rec_.settings.outputCount = c.outputs;
    rec2_.filter.outputSign = c.polarity2;
    rec_.settings.coupledOutputChokes = c.chokeCoupling > 0.0;
    rec_.settings.outputChokeCoupling[0] = c.chokeCoupling;
    AnalysisThreadParams block;
    rec_.Attach(block);
    block.pSecondaryRectifierInput[1] = &rec2_.rectifier;
    block.pOutputChokeInput[1] = &rec2_.choke;
    block.pOutputFilterInput[1] = &rec2_.filter;
    block.pLoadNetworkInput[1] = &rec2_.load;
    AnalysisRun run(block);
    ASSERT_EQ(run.GetStatus(), AnalysisRun::Status::kLive);
    AnalysisContext& ctx = *run.Context();
    ASSERT_EQ(InitializeAnalysis(), 1);
    ASSERT_EQ(PrepareStepEngine(), 1);

    // Start-of-step values.
    const double s = 1.0 / 37e-9;
    ctx.stepState.inverseTimeStep = s;
    ctx.linePhase[0].lineCurrentHeld = 1.4;
    ctx.inputCapacitor.capacitorVoltage1 = 46.2;
    ctx.inputCapacitor.upperBulkCapacitorCurrent = -0.6;
    ctx.primary.switchState = c.switchState;
    ctx.primary.primaryWindingCurrent = 2.3;
    ctx.primary.switch1Current = c.switchState == 1 ? 0.0 : 2.3;
    const double isPrev[2] = {-1.9, 0.7};
    const double ilPrev[2] = {2.1, 1.1};
    const double vcPrev[2] = {10.4, 5.2};
    const double icPrev[2] = {0.2, -0.3};
    const double iloadPrev[2] = {3.1, 2.7};
    const int polarity[2] = {1, c.polarity2};
    for (int j = 0; j < c.outputs; ++j) {
        // Kept as the current the rectifier draws; isPrev is the current into the dotted end.
        ctx.secondaryWinding[j].windingCurrent = -polarity[j] * isPrev[j];
        ctx.outputChoke[j].chokeCurrent = ilPrev[j];
        ctx.outputFilter[j].capacitorVoltage = vcPrev[j];
        ctx.outputFilter[j].capacitorCurrent = icPrev[j];
        ctx.loadNetwork[j].resistorCurrent = iloadPrev[j];
        ctx.secondaryRectifier[j].rectifier1On = c.forwardOn[j];
        ctx.secondaryRectifier[j].diodeConducting = c.freewheelOn[j];
    }
    ASSERT_EQ(AssembleStateMatrices(), 1);

    // The same step in the oracle.
    const double open = rec_.settings.openResistance;
    NodalOracle o(s);
    const int src = o.Node(), l1 = o.Node(), bulk = o.Node(), cb1 = o.Node(), cb2 = o.Node();
    o.VoltageSource(src, 0, rec_.line.lineOffset);
    const int lineBranch = o.Inductor(src, l1, rec_.line.lineInductance, 1.4);
    o.Resistor(l1, bulk, rec_.line.lineResistance);
    o.Resistor(bulk, cb1, rec_.line.outputCapacitorResistance);
    o.Inductor(cb1, cb2, rec_.line.outputCapacitorInductance, -0.6);
    o.Capacitor(cb2, 0, rec_.line.outputCapacitance, 46.2);

    const int dot = o.Node(), w1 = o.Node(), undot = o.Node();
    const double lp = rec_.primary.magnetizingInductanceNominal;
    const int pw = o.Inductor(dot, w1, lp, 2.3);
    o.Resistor(w1, undot, rec_.primary.primaryWindingResistance);
    if (c.switchState == 1) {
        const double vf = rec_.primary.sectionQuantityParamI, rd = rec_.primary.runCheckParamB;
        const int a1 = o.Node(), a2 = o.Node();
        o.VoltageSource(0, a1, vf);  // rectifier 1: return to the dotted end
        o.Resistor(a1, dot, rd);
        o.VoltageSource(undot, a2, vf);  // rectifier 2: undotted end to the bulk
        o.Resistor(a2, bulk, rd);
    } else {
        const double ron = c.switchState == 2 ? rec_.primary.primarySeriesResistance : open;
        const int top = o.Node(), t1 = o.Node();
        o.Resistor(bulk, dot, ron);
        o.Resistor(undot, top, ron);
        o.Resistor(top, t1, rec_.primary.senseResistance);
        o.Inductor(t1, 0, rec_.primary.senseResistorInductance, 2.3);
    }

    const FirstConfigRecords* recs[2] = {&rec_, &rec2_};
    int swBranch[2] = {}, chokeBranch[2] = {}, outNode[2] = {};
    const double k[2] = {rec_.primary.couplingPriSec1, rec_.primary.couplingPriSec2};
    for (int j = 0; j < c.outputs; ++j) {
        const FirstConfigRecords& r = *recs[j];
        const int sd = o.Node(), sw = o.Node(), su = o.Node();
        const double ls = r.rectifier.nominalWindingInductance;
        swBranch[j] = o.Inductor(sd, sw, ls, isPrev[j]);
        o.Resistor(sw, su, r.rectifier.windingResistance);
        o.Mutual(pw, swBranch[j], k[j] * std::sqrt(lp * ls));
        const int anode = polarity[j] > 0 ? sd : su;
        o.VoltageSource(polarity[j] > 0 ? su : sd, 0, 0.0);  // the other end is the output's return
        const int x = o.Node();
        if (c.forwardOn[j]) {
            const int fa = o.Node();
            o.VoltageSource(anode, fa, r.rectifier.diodeDrop);
            o.Resistor(fa, x, r.rectifier.dynamicResistance);
        } else {
            o.Resistor(anode, x, open);
        }
        if (c.freewheelOn[j]) {
            const int wa = o.Node();
            o.VoltageSource(0, wa, r.rectifier.forwardVoltage);
            o.Resistor(wa, x, r.rectifier.secondDynamicResistance);
        } else {
            o.Resistor(0, x, open);
        }
        const int xl = o.Node(), out = o.Node();
        chokeBranch[j] = o.Inductor(x, xl, r.choke.inductance + r.choke.seriesInductance, ilPrev[j]);
        o.Resistor(xl, out, r.choke.windingResistance + r.choke.seriesResistance);
        const int c1 = o.Node(), c2 = o.Node();
        o.Resistor(out, c1, r.filter.rippleResistance);
        o.Inductor(c1, c2, r.filter.rippleInductance, icPrev[j]);
        o.Capacitor(c2, 0, r.filter.capACapacitance, vcPrev[j]);
        const int ld = o.Node();
        o.Resistor(out, ld, r.load.resistance);
        o.Inductor(ld, 0, r.load.closedFormParamB, iloadPrev[j]);
        outNode[j] = out;
    }
    if (c.outputs == 2) {
        const double m12 = rec_.primary.couplingSec1Sec2 *
                           std::sqrt(rec_.rectifier.nominalWindingInductance * rec2_.rectifier.nominalWindingInductance);
        o.Mutual(swBranch[0], swBranch[1], m12);
        if (c.chokeCoupling > 0.0)
            o.Mutual(chokeBranch[0], chokeBranch[1],
                     c.chokeCoupling * std::sqrt(rec_.choke.inductance * rec2_.choke.inductance));
    }
    ASSERT_TRUE(o.Solve());

    auto near = [](double expected, double actual, const char* what) {
        EXPECT_NEAR(actual, expected, 1e-9 * (1.0 + std::fabs(expected))) << what;
    };
    near(o.Current(pw), ctx.primary.primaryWindingCurrent, "primary current");
    near(o.V(bulk), ctx.inputCapacitor.inputVoltage, "bulk voltage");
    near(o.Current(lineBranch), ctx.linePhase[0].lineCurrentHeld, "line current");
    for (int j = 0; j < c.outputs; ++j) {
        SCOPED_TRACE(j + 1);
        near(o.Current(swBranch[j]), -polarity[j] * ctx.secondaryWinding[j].windingCurrent, "secondary current");
        near(o.Current(chokeBranch[j]), ctx.outputChoke[j].chokeCurrent, "choke current");
        near(o.V(outNode[j]), ctx.outputFilter[j].outputVoltage, "output voltage");
    }
}

INSTANTIATE_TEST_SUITE_P(
    SwitchAndRectifierStates, AssemblyOracle,
    ::testing::Values(StepCase{"on, forward conducting", 2, {1, 1}, {0, 0}, 1, 1},
                      StepCase{"on, both conducting (commutation)", 2, {1, 1}, {1, 1}, 1, 1},
                      StepCase{"reset, freewheel conducting", 1, {0, 0}, {1, 1}, 1, 1},
                      StepCase{"reset, forward still conducting", 1, {1, 1}, {1, 1}, 1, 1},
                      StepCase{"all open, rectifiers open", 0, {0, 0}, {0, 0}, 1, 1},
                      StepCase{"two outputs, second reversed", 2, {1, 0}, {0, 1}, 2, -1},
                      StepCase{"two outputs in reset", 1, {0, 1}, {1, 1}, 2, 1},
                      StepCase{"two outputs, coupled chokes", 2, {1, 0}, {0, 1}, 2, -1, 0.6},
                      StepCase{"two outputs in reset, coupled chokes", 1, {0, 1}, {1, 1}, 2, 1, 0.35}),
    [](const ::testing::TestParamInfo<StepCase>& info) { return std::to_string(info.index); });

}  // namespace
