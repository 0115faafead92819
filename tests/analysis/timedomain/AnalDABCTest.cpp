// One step of the assembly against the nodal oracle: the whole converter (line, bulk,
// primary loop of the switch state, coupled transformer, rectifiers, chokes, filters and
// loads) built element by element in the oracle, from the same start-of-step values, must
// give the currents and voltages that the closed-form reductions give. Asymmetric values
// and a reversed second output catch swapped or mis-signed terms.
#include <gtest/gtest.h>

#include <cmath>
#include <initializer_list>

#include "analysis/context/AnalContext.h"
#include "analysis/models/AnalInit.h"
#include "analysis/models/AnalMBranch.h"
#include "analysis/timedomain/AnalABCP.h"
#include "analysis/timedomain/AnalDABC.h"
#include "analysis/context/AnalTableIndex.h"
#include "support/FirstConfigRecords.h"
#include "support/NodalOracle.h"

namespace {

// The series resistance a capacitor's companion carries over a step of 1/s.
double StepEsr(double esr, double capacitance, double s) {
    return CapacitorStepResistance({0.0, 0.0, esr, 0.0, 0.0, capacitance}, s);
}

using test_support::FirstConfigRecords;
using test_support::NodalOracle;

struct StepCase {
    const char* name;
    int32_t switchState;
    int32_t forwardOn[4];
    int32_t freewheelOn[4];
    int32_t outputs;
    int32_t polarity[4];
    int32_t topology = 1;
    int32_t bodyDiode = 0;
    int32_t stack[6] = {};  // 2 on 1, 1 on 2, 3 on 2, 2 on 3, 4 on 3, 3 on 4
    double chokeCoupling = 0.0;  // the first two outputs' chokes on one core
    bool saturating = false;     // the power transformer's core and every choke saturate
    // -1: diode rectifiers; else transistors beside both, their channels driven by bit 0
    // (rectifier 1) and bit 1 (rectifier 2) on every output.
    int32_t syncDrive = -1;
    // Forward voltage of rectifier 2's body diode (resistance kBodyDiode2Resistance); 0: the
    // design gives none.
    double bodyDiode2Voltage = 0.0;
};
constexpr double kBodyDiode2Resistance = 0.024;

// The saturating cores: each table at 0 A holds the nominal inductance, and the start-of-step
// currents fall between points, so a lookup off by a segment or a missing |I| shows.
// Power transformer: (0, 310 uH), (1 A, 250 uH), (3 A, 100 uH); at the magnetising current of
// 1.6 A: 250 - 0.6·150/2 = 205 uH, every secondary at 205/310 of its own.
// Chokes: (0, L), (2 A, 0.6 L), (5 A, 0.3 L) of each choke's L; at the choke currents 2.1,
// 1.1, 0.5 and 4.2 A: 0.59 L, 0.78 L, 0.9 L and 0.38 L.
constexpr double kMagnetizingCurrent = 1.6;
constexpr double kSaturatedLp = 205e-6;
constexpr double kSaturatedChoke[4] = {0.59, 0.78, 0.9, 0.38};

void FillTable(TimeMagnitudeTable& t, double l0, std::initializer_list<TimeMagnitudePoint> points) {
    t.Clear();
    t.Insert(0.0, l0);
    for (const TimeMagnitudePoint& p : points) t.Insert(p.time, p.magnitude);
}

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
        rec_.primary.couplingPriSec3 = 0.95;
        rec_.primary.couplingPriSec4 = 0.89;
        rec_.primary.couplingSec1Sec3 = 0.88;
        rec_.primary.couplingSec1Sec4 = 0.86;
        rec_.primary.couplingSec2Sec3 = 0.9;
        rec_.primary.couplingSec2Sec4 = 0.87;
        rec_.primary.couplingSec3Sec4 = 0.92;
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

        rec3_ = rec_;
        rec3_.rectifier.nominalWindingInductance = 260e-6;
        rec3_.rectifier.forwardVoltage = 0.61;
        rec3_.choke.inductance = 68e-6;
        rec3_.load.resistance = 12.0;
        rec4_ = rec_;
        rec4_.rectifier.nominalWindingInductance = 31e-6;
        rec4_.rectifier.windingResistance = 0.003;
        rec4_.choke.inductance = 10e-6;
        rec4_.filter.capACapacitance = 470e-6;
        rec4_.load.resistance = 0.8;
    }

    FirstConfigRecords rec_;
    FirstConfigRecords rec2_;
    FirstConfigRecords rec3_;
    FirstConfigRecords rec4_;
};

TEST_P(AssemblyOracle, StepMatchesNodalSolution) {
    const StepCase& c = GetParam();
    rec_.settings.outputCount = c.outputs;
    rec_.primary.topology = c.topology;
    int32_t* stackFlags[6] = {&rec_.primary.stack2On1, &rec_.primary.stack1On2, &rec_.primary.stack3On2,
                              &rec_.primary.stack2On3, &rec_.primary.stack4On3, &rec_.primary.stack3On4};
    for (int f = 0; f < 6; ++f) *stackFlags[f] = c.stack[f];
    const bool clamp = (c.topology | 1) == 9;
    if (clamp) {
        rec_.primary.secondSwitchOn = 0;
        rec_.primary.diode1On = 0;
        rec_.primary.hasClampCapacitor = 1;
        rec_.primary.clampCapacitorOn = 1;
        rec_.primary.clampResistorOn = 1;
        rec_.primary.clampCapacitance = 0.47e-6;
        rec_.primary.clampResistance = 3.3e3;
        rec_.primary.sectionQuantityParamH = 0.93;
        rec_.primary.runCheckParamA = 0.071;
    }
    if (c.topology % 2 == 0) {
        rec_.primary.senseResistorOn = 0;
        rec_.primary.senseAmplifierOn = 0;
        rec_.primary.currentSenseTransformerOn = 1;
        rec_.primary.senseXfmrWindingResistance = 0.0071;
        rec_.primary.senseXfmrPrimaryTurnsCount = 1.0;
        rec_.primary.senseXfmrSecondaryTurnsCount = 50.0;
        rec_.primary.senseResistance = 22.0;
        rec_.primary.senseXfmrSecondaryResistance = 1.3;
        rec_.primary.senseSeriesResistance = 0.4;
    }
    const bool resetWinding = (c.topology | 1) == 3;
    if (resetWinding) {
        PrimaryInputRec& p = rec_.primary;
        p.secondSwitchOn = 0;
        p.diode1On = 0;
        p.resetWindingOn = 1;
        p.resetDiodeOn = 1;
        p.resetWindingNominal = 150e-6;
        p.resetWindingResistance = 0.031;
        p.resetTurns = 8.0;
        p.couplingPriReset = 0.985;
        p.couplingResetSec1 = 0.96;
        p.couplingResetSec2 = 0.94;
        p.couplingResetSec3 = 0.93;
        p.couplingResetSec4 = 0.9;
        p.sectionQuantityParamJ = 0.77;
        p.runCheckParamC = 0.045;
    }
    const bool active = (c.topology | 1) == 7;
    if (active) {
        rec_.primary.secondSwitchOn = 0;
        rec_.primary.diode1On = 0;
        rec_.primary.hasClampCapacitor = 1;
        rec_.primary.clampCapacitorOn = 1;
        rec_.primary.turnOnFlagA = 1;
        rec_.primary.clampCapacitance = 0.33e-6;
        rec_.primary.clampSwitchOnResistance = 0.061;
        rec_.primary.clampSwitchDiodeParamA = 0.91;
        rec_.primary.clampSwitchDiodeParamB = 0.033;
        rec_.primary.switch1DiodeParamA = 0.83;
        rec_.primary.switch1DiodeParamB = 0.027;
    }
    const bool resonant = (c.topology | 1) == 5;
    if (resonant) {
        rec_.primary.secondSwitchOn = 0;
        rec_.primary.diode1On = 0;
        rec_.primary.clampCapacitorOn = 1;
        rec_.primary.sectionQuantityFlagA = 1;
        rec_.primary.clampCapacitance = 22e-9;
        rec_.primary.switch1DiodeParamA = 0.83;
        rec_.primary.switch1DiodeParamB = 0.027;
    }
    FirstConfigRecords* recs[4] = {&rec_, &rec2_, &rec3_, &rec4_};
    const bool sync = c.syncDrive >= 0;
    for (FirstConfigRecords* r : recs) {
        SecondaryRectifierInputRec& ri = r->rectifier;
        ri.frequencyAnalysisFlagA = ri.frequencyAnalysisFlagB = ri.resistiveRectifier = sync;
        ri.onResistance = 0.0071;
        ri.secondOnResistance = 0.0093;
        ri.secondDiodeVoltage = 0.33;  // the body diode below the diode beside it: it conducts
        ri.secondDiodeResistance = 0.027;
        if (sync && c.bodyDiode2Voltage > 0.0) {
            ri.bodyDiode2Voltage = c.bodyDiode2Voltage;
            ri.bodyDiode2Resistance = kBodyDiode2Resistance;
        }
    }
    rec_.settings.coupledOutputChokes = c.chokeCoupling > 0.0;
    rec_.settings.outputChokeCoupling[0] = c.chokeCoupling;
    AnalysisThreadParams block;
    rec_.Attach(block);
    for (int j = 0; j < 4; ++j) {
        recs[j]->filter.outputSign = c.polarity[j];
        block.pSecondaryRectifierInput[j] = &recs[j]->rectifier;
        block.pOutputChokeInput[j] = &recs[j]->choke;
        block.pOutputFilterInput[j] = &recs[j]->filter;
        block.pLoadNetworkInput[j] = &recs[j]->load;
    }
    TimeMagnitudeTable tables[5];
    if (c.saturating) {
        FillTable(tables[4], rec_.primary.magnetizingInductanceNominal, {{1.0, 250e-6}, {3.0, 100e-6}});
        block.pTable[kPowerXfmrTable] = &tables[4];
        for (int j = 0; j < 4; ++j) {
            const double l = recs[j]->choke.inductance;
            FillTable(tables[j], l, {{2.0, 0.6 * l}, {5.0, 0.3 * l}});
            block.pTable[OutputTableIndex(j + 1, kChokeTable)] = &tables[j];
        }
    }
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
    if (c.saturating) {
        ctx.primary.magnetizingCurrent = kMagnetizingCurrent;
        ctx.primary.primaryWindingVoltage = NOT_SET;  // no step before: the core expects no flux
    }
    ctx.primary.switch1Current = c.switchState == 1 ? 0.0 : 2.3;
    const double vclPrev = 51.3;
    ctx.primary.clampCapacitorVoltage = vclPrev;
    ctx.primary.clampCapacitorCurrent = 0.4;
    const double vrPrev = 71.2;
    ctx.primary.capacitorVoltage = vrPrev;
    ctx.primary.switch1DiodeConducting = c.bodyDiode;
    if (active) {
        // A body diode stands for the channel of the conducting path: switch 1's in state 2, the
        // clamp switch's in states 1 and 3 (2: beside the clamp switch's channel).
        const bool clamping = c.switchState == 1 || c.switchState == 3;
        ctx.primary.switch1Conducting = c.switchState == 2 && !c.bodyDiode;
        ctx.primary.switch1DiodeConducting = c.switchState == 2 && c.bodyDiode;
        ctx.primary.clampSwitchActive = clamping && c.bodyDiode != 1;
        ctx.primary.clampSwitchDiodeConducting = clamping && c.bodyDiode;
    }
    const double irPrev = 0.35;
    ctx.primary.resetWindingCurrent = irPrev;
    const double isPrev[4] = {-1.9, 0.7, -0.4, -3.3};
    const double ilPrev[4] = {2.1, 1.1, 0.5, 4.2};
    const double vcPrev[4] = {10.4, 5.2, 24.1, 3.3};
    const double icPrev[4] = {0.2, -0.3, 0.05, 0.9};
    const double iloadPrev[4] = {3.1, 2.7, 1.9, 4.0};
    const int* polarity = c.polarity;
    for (int j = 0; j < c.outputs; ++j) {
        // Kept as the current the rectifier draws; isPrev is the current into the dotted end.
        ctx.secondaryWinding[j].windingCurrent = -polarity[j] * isPrev[j];
        ctx.outputChoke[j].chokeCurrent = ilPrev[j];
        ctx.outputChoke[j].currentSlope = 0.0;  // at rest: the step expects no flux of its cores
        ctx.outputFilter[j].capacitorVoltage = vcPrev[j];
        ctx.outputFilter[j].capacitorCurrent = icPrev[j];
        ctx.loadNetwork[j].resistorCurrent = iloadPrev[j];
        ctx.secondaryRectifier[j].rectifier1On = c.forwardOn[j];
        ctx.secondaryRectifier[j].diodeConducting = c.freewheelOn[j];
        ctx.secondaryRectifier[j].switchPathAOn = sync && (c.syncDrive & 1);
        ctx.secondaryRectifier[j].switchPathBOn = sync && (c.syncDrive & 2);
    }
    ASSERT_EQ(AssembleStateMatrices(), 1);

    // The same step in the oracle.
    const double open = rec_.settings.openResistance;
    NodalOracle o(s);
    const int src = o.Node(), l1 = o.Node(), bulk = o.Node(), cb1 = o.Node(), cb2 = o.Node();
    o.VoltageSource(src, 0, rec_.line.lineOffset);
    const int lineBranch = o.Inductor(src, l1, rec_.line.lineInductance, 1.4);
    o.Resistor(l1, bulk, rec_.line.lineResistance);
    o.Resistor(bulk, cb1, rec_.line.outputCapacitorResistance);  // the trapezoid has no step resistance to take off
    o.Inductor(cb1, cb2, rec_.line.outputCapacitorInductance, -0.6);
    // The bulk takes its charge by the trapezoid, I = 2C·s·(V - V') - I': a capacitor of 2C
    // beside a source of its last current.
    o.Capacitor(cb2, 0, 2.0 * rec_.line.outputCapacitance, 46.2);
    o.CurrentSource(cb2, 0, 0.6);

    const int dot = o.Node(), w1 = o.Node(), undot = o.Node();
    const double lp = c.saturating ? kSaturatedLp : rec_.primary.magnetizingInductanceNominal;
    const double saturation = lp / rec_.primary.magnetizingInductanceNominal;  // every secondary's
    // With a reset winding, the open one of the two starts from zero, its current handed to the
    // conducting one by their mutual.
    double ipPrevOracle = 2.3, irPrevOracle = irPrev;
    if (resetWinding) {
        const double lr = rec_.primary.resetWindingNominal;
        const double mpr = rec_.primary.couplingPriReset * std::sqrt(lp * lr);
        if (c.switchState == 1) {
            irPrevOracle = irPrev + 2.3 * mpr / lr;
            ipPrevOracle = 0.0;
        } else {
            ipPrevOracle = 2.3 + irPrev * mpr / lp;
            irPrevOracle = 0.0;
        }
    }
    const int pw = o.Inductor(dot, w1, lp, ipPrevOracle);
    o.Resistor(w1, undot, rec_.primary.primaryWindingResistance);
    // The sense path from the switch's source to the return: the resistor with its inductance,
    // or the sense transformer's primary with its secondary loop seen through the turns.
    const bool ct = c.topology % 2 == 0;
    const PrimaryInputRec& sp = rec_.primary;
    const double ratio = sp.senseXfmrPrimaryTurnsCount / sp.senseXfmrSecondaryTurnsCount;
    const bool ctConducting = c.switchState == 2;  // the switch's previous current is forward
    auto sensePath = [&](int from, int mid) {
        if (ct) {
            const double reflected =
                ratio * ratio * (sp.senseResistance + sp.senseXfmrSecondaryResistance + sp.senseSeriesResistance);
            o.Resistor(from, mid, sp.senseXfmrWindingResistance + (ctConducting ? reflected : 0.0));
            o.VoltageSource(mid, 0, 0.0);
        } else {
            o.Resistor(from, mid, sp.senseResistance);
            o.Inductor(mid, 0, sp.senseResistorInductance, 2.3);
        }
    };
    int clampNode = 0, source = 0, resetBranch = -1;
    if (resetWinding) {
        // Single switch; the reset winding from the reset rectifier (from the return) to the bulk.
        const PrimaryInputRec& p = rec_.primary;
        o.VoltageSource(bulk, dot, 0.0);
        if (c.switchState != 1) {
            const int top = o.Node(), t1 = o.Node();
            o.Resistor(undot, top, c.switchState == 2 ? p.primarySeriesResistance : open);
            sensePath(top, t1);
        }
        const int rd = o.Node(), rw = o.Node(), ru = o.Node();
        resetBranch = o.Inductor(rd, rw, p.resetWindingNominal, irPrevOracle);
        o.Resistor(rw, ru, p.resetWindingResistance);
        o.VoltageSource(ru, bulk, 0.0);
        if (c.switchState == 1) {
            const int ra = o.Node();
            o.VoltageSource(0, ra, p.sectionQuantityParamJ);
            o.Resistor(ra, rd, p.runCheckParamC);
        }
        o.Mutual(pw, resetBranch, p.couplingPriReset * std::sqrt(lp * p.resetWindingNominal));
    } else if (active) {
        // Single switch; the clamp switch and capacitor from the drain back to the bulk.
        const PrimaryInputRec& p = rec_.primary;
        o.VoltageSource(bulk, dot, 0.0);
        clampNode = o.Node();
        o.Capacitor(clampNode, bulk, p.clampCapacitance, vclPrev);
        if (c.switchState == 1 || c.switchState == 3) {
            if (c.bodyDiode) {
                const int ka = o.Node();
                o.VoltageSource(undot, ka, p.clampSwitchDiodeParamA);  // anode at the drain
                o.Resistor(ka, clampNode, p.clampSwitchDiodeParamB);
            }
            if (c.bodyDiode != 1) o.Resistor(undot, clampNode, p.clampSwitchOnResistance);
        } else {
            const int top = o.Node(), t1 = o.Node();
            if (c.switchState == 2 && c.bodyDiode) {
                const int ba = o.Node();
                o.VoltageSource(top, ba, p.switch1DiodeParamA);  // anode at the source
                o.Resistor(ba, undot, p.switch1DiodeParamB);
            } else {
                o.Resistor(undot, top, c.switchState == 2 ? p.primarySeriesResistance : open);
            }
            sensePath(top, t1);
        }
    } else if (resonant) {
        // Single switch with the reset capacitor across it, the source on the sense resistor.
        const PrimaryInputRec& p = rec_.primary;
        o.VoltageSource(bulk, dot, 0.0);
        source = o.Node();
        o.Capacitor(undot, source, p.clampCapacitance, vrPrev);
        if (c.switchState == 2) {
            o.Resistor(undot, source, p.primarySeriesResistance);
        } else if (c.bodyDiode) {
            const int ba = o.Node();
            o.VoltageSource(source, ba, p.switch1DiodeParamA);  // anode at the source
            o.Resistor(ba, undot, p.switch1DiodeParamB);
        } else {
            o.Resistor(undot, source, open);
        }
        const int t1 = o.Node();
        sensePath(source, t1);
    } else if (clamp) {
        // Single switch: the dotted end on the bulk, the clamp from the drain back to the bulk.
        const PrimaryInputRec& p = rec_.primary;
        o.VoltageSource(bulk, dot, 0.0);
        clampNode = o.Node();
        o.Capacitor(clampNode, bulk, p.clampCapacitance, vclPrev);
        o.Resistor(clampNode, bulk, p.clampResistance);
        if (c.switchState == 1) {
            const int ka = o.Node();
            o.VoltageSource(undot, ka, p.sectionQuantityParamH);
            o.Resistor(ka, clampNode, p.runCheckParamA);
        } else {
            const int top = o.Node(), t1 = o.Node();
            o.Resistor(undot, top, c.switchState == 2 ? p.primarySeriesResistance : open);
            sensePath(top, t1);
        }
    } else if (c.switchState == 1) {
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
        sensePath(top, t1);
    }

    int swBranch[4] = {}, chokeBranch[4] = {}, outNode[4] = {}, anodes[4] = {}, returns[4] = {};
    const PrimaryInputRec& pi = rec_.primary;
    const double k[4] = {pi.couplingPriSec1, pi.couplingPriSec2, pi.couplingPriSec3, pi.couplingPriSec4};
    const double kss[4][4] = {{0.0, pi.couplingSec1Sec2, pi.couplingSec1Sec3, pi.couplingSec1Sec4},
                              {0.0, 0.0, pi.couplingSec2Sec3, pi.couplingSec2Sec4},
                              {0.0, 0.0, 0.0, pi.couplingSec3Sec4},
                              {0.0, 0.0, 0.0, 0.0}};
    for (int j = 0; j < c.outputs; ++j) {
        const FirstConfigRecords& r = *recs[j];
        const int sd = o.Node(), sw = o.Node(), su = o.Node();
        const double ls = saturation * r.rectifier.nominalWindingInductance;
        swBranch[j] = o.Inductor(sd, sw, ls, isPrev[j]);
        o.Resistor(sw, su, r.rectifier.windingResistance);
        o.Mutual(pw, swBranch[j], k[j] * std::sqrt(lp * ls));
        const int anode = polarity[j] > 0 ? sd : su;
        anodes[j] = anode;
        returns[j] = polarity[j] > 0 ? su : sd;  // tied below: to the return, or stacked
        const int x = o.Node();
        if (sync && (c.syncDrive & 1)) {
            o.Resistor(anode, x, r.rectifier.onResistance);
        } else if (c.forwardOn[j]) {
            const int fa = o.Node();
            o.VoltageSource(anode, fa, sync ? r.rectifier.secondDiodeVoltage : r.rectifier.diodeDrop);
            o.Resistor(fa, x, sync ? r.rectifier.secondDiodeResistance : r.rectifier.dynamicResistance);
        } else {
            o.Resistor(anode, x, open);
        }
        if (sync && (c.syncDrive & 2)) {
            o.Resistor(0, x, r.rectifier.secondOnResistance);
        } else if (c.freewheelOn[j]) {
            // The lower knee conducts, equal ones side by side.
            const double vd = r.rectifier.forwardVoltage, vb = sync ? r.rectifier.bodyDiode2Voltage : NOT_SET;
            const bool body = vb != NOT_SET && vb <= vd, diode = vb == NOT_SET || vd <= vb;
            if (diode) {
                const int wa = o.Node();
                o.VoltageSource(0, wa, vd);
                o.Resistor(wa, x, r.rectifier.secondDynamicResistance);
            }
            if (body) {
                const int wb = o.Node();
                o.VoltageSource(0, wb, vb);
                o.Resistor(wb, x, r.rectifier.bodyDiode2Resistance);
            }
        } else {
            o.Resistor(0, x, open);
        }
        const int xl = o.Node(), out = o.Node();
        const double lc = (c.saturating ? kSaturatedChoke[j] : 1.0) * r.choke.inductance;
        chokeBranch[j] = o.Inductor(x, xl, lc + r.choke.seriesInductance, ilPrev[j]);
        o.Resistor(xl, out, r.choke.windingResistance + r.choke.seriesResistance);
        const int c1 = o.Node(), c2 = o.Node();
        o.Resistor(out, c1, StepEsr(r.filter.rippleResistance, r.filter.capACapacitance, s));
        o.Inductor(c1, c2, r.filter.rippleInductance, icPrev[j]);
        o.Capacitor(c2, 0, r.filter.capACapacitance, vcPrev[j]);
        const int ld = o.Node();
        o.Resistor(out, ld, r.load.resistance);
        o.Inductor(ld, 0, r.load.closedFormParamB, iloadPrev[j]);
        outNode[j] = out;
    }
    // A stacked winding's return end sits on the rectifier end of the winding below it.
    const int below[4] = {c.stack[1] ? 1 : -1, c.stack[0] ? 0 : (c.stack[3] ? 2 : -1),
                          c.stack[2] ? 1 : (c.stack[5] ? 3 : -1), c.stack[4] ? 2 : -1};
    for (int j = 0; j < c.outputs; ++j) {
        o.VoltageSource(returns[j], below[j] >= 0 ? anodes[below[j]] : 0, 0.0);
    }
    if (c.chokeCoupling > 0.0) {
        o.Mutual(chokeBranch[0], chokeBranch[1],
                 c.chokeCoupling * std::sqrt(rec_.choke.inductance * rec2_.choke.inductance));
    }
    if (resetWinding) {
        const double krs[4] = {pi.couplingResetSec1, pi.couplingResetSec2, pi.couplingResetSec3, pi.couplingResetSec4};
        for (int j = 0; j < c.outputs; ++j)
            o.Mutual(resetBranch, swBranch[j],
                     krs[j] * std::sqrt(pi.resetWindingNominal * recs[j]->rectifier.nominalWindingInductance));
    }
    for (int j = 0; j < c.outputs; ++j)
        for (int m = j + 1; m < c.outputs; ++m)
            o.Mutual(swBranch[j], swBranch[m],
                     kss[j][m] * saturation *
                         std::sqrt(recs[j]->rectifier.nominalWindingInductance *
                                   recs[m]->rectifier.nominalWindingInductance));
    ASSERT_TRUE(o.Solve());

    auto near = [](double expected, double actual, const char* what) {
        EXPECT_NEAR(actual, expected, 1e-9 * (1.0 + std::fabs(expected))) << what;
    };
    near(o.Current(pw), ctx.primary.primaryWindingCurrent, "primary current");
    near(o.V(bulk), ctx.inputCapacitor.inputVoltage, "bulk voltage");
    if (resetWinding) near(o.Current(resetBranch), ctx.primary.resetWindingCurrent, "reset winding current");
    if (ct) {
        // While on, the switch carries the whole primary current.
        const double sensed = ctConducting ? sp.senseResistance * ratio * o.Current(pw) : 0.0;
        near(sensed, ctx.primary.currentSenseOutput, "sensed voltage");
    }
    if (clamp || active)
        near(o.V(clampNode) - o.V(bulk), ctx.primary.clampCapacitorVoltage, "clamp capacitor voltage");
    if (resonant) near(o.V(undot) - o.V(source), ctx.primary.capacitorVoltage, "reset capacitor voltage");
    near(o.Current(lineBranch), ctx.linePhase[0].lineCurrentHeld, "line current");
    for (int j = 0; j < c.outputs; ++j) {
        SCOPED_TRACE(j + 1);
        near(o.Current(swBranch[j]), -polarity[j] * ctx.secondaryWinding[j].windingCurrent, "secondary current");
        near(o.Current(chokeBranch[j]), ctx.outputChoke[j].chokeCurrent, "choke current");
        near(o.V(outNode[j]), ctx.outputFilter[j].outputVoltage, "output voltage");
        if (sync) {
            const double vb = recs[j]->rectifier.bodyDiode2Voltage;
            const bool body = c.freewheelOn[j] && !(c.syncDrive & 2) && vb != NOT_SET &&
                              vb <= recs[j]->rectifier.forwardVoltage;
            EXPECT_EQ(ctx.secondaryRectifier[j].bodyDiode2Conducting, body ? 1 : 0);
            EXPECT_EQ(ctx.secondaryRectifier[j].bodyDiode2ResistanceNow,
                      body ? kBodyDiode2Resistance : rec_.settings.openResistance);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    SwitchAndRectifierStates, AssemblyOracle,
    ::testing::Values(StepCase{"on, forward conducting", 2, {1}, {0}, 1, {1, 1, 1, 1}},
                      StepCase{"on, both conducting (commutation)", 2, {1}, {1}, 1, {1, 1, 1, 1}},
                      StepCase{"reset, freewheel conducting", 1, {0}, {1}, 1, {1, 1, 1, 1}},
                      StepCase{"reset, forward still conducting", 1, {1}, {1}, 1, {1, 1, 1, 1}},
                      StepCase{"all open, rectifiers open", 0, {0}, {0}, 1, {1, 1, 1, 1}},
                      StepCase{"two outputs, second reversed", 2, {1, 0}, {0, 1}, 2, {1, -1, 1, 1}},
                      StepCase{"two outputs in reset", 1, {0, 1}, {1, 1}, 2, {1, 1, 1, 1}},
                      // Three and four coupled outputs, some not conducting at all.
                      StepCase{"three outputs, third open", 2, {1, 1, 0}, {0, 1, 0}, 3, {1, -1, 1, 1}},
                      StepCase{"three outputs in reset", 1, {0, 0, 1}, {1, 0, 1}, 3, {1, 1, -1, 1}},
                      StepCase{"four outputs on, two open", 2, {1, 0, 1, 0}, {0, 0, 1, 0}, 4, {1, 1, -1, -1}},
                      StepCase{"four outputs in reset", 1, {0, 1, 0, 0}, {1, 1, 0, 1}, 4, {-1, 1, 1, 1}},
                      StepCase{"four outputs idle", 0, {0, 0, 0, 0}, {0, 0, 0, 0}, 4, {1, -1, 1, -1}},
                      // Single switch with a passive clamp, in each switch state.
                      StepCase{"clamp: on", 2, {1, 0}, {0, 1}, 2, {1, -1, 1, 1}, 9},
                      StepCase{"clamp: clamping, forward still conducting", 1, {1}, {1}, 1, {1, 1, 1, 1}, 9},
                      StepCase{"clamp: clamping, freewheel", 1, {0, 0, 0}, {1, 1, 0}, 3, {1, 1, -1, 1}, 9},
                      StepCase{"clamp: idle, the clamp discharging", 0, {0}, {1}, 1, {1, 1, 1, 1}, 9},
                      // Resonant reset: on, ringing with the capacitor, held by the body diode.
                      StepCase{"resonant: on", 2, {1, 1}, {0, 1}, 2, {1, -1, 1, 1}, 5},
                      StepCase{"resonant: ringing", 1, {1}, {1}, 1, {1, 1, 1, 1}, 5},
                      StepCase{"resonant: body diode", 1, {0, 0, 0, 0}, {1, 1, 1, 0}, 4, {1, 1, 1, -1}, 5, 1},
                      // Stacked windings: 2 on 1; 2 on 3 beside a reversed first output; every
                      // winding on the one below, all reversed, some rectifiers open; 1 on 2 and
                      // 3 on 4.
                      // Active clamp: on; clamping with the capacitor, the outputs as they are.
                      StepCase{"active clamp: on", 2, {1}, {0}, 1, {1, 1, 1, 1}, 7},
                      StepCase{"active clamp: clamping", 1, {1, 0}, {1, 1}, 2, {1, -1, 1, 1}, 7},
                      // The dead times: switch 1's body diode carrying the negative current up
                      // from the return, the clamp switch's the positive one into the clamp
                      // while a forward rectifier still conducts (state 3).
                      StepCase{"active clamp: switch 1 body diode", 2, {1}, {1}, 1, {1, 1, 1, 1}, 7, 1},
                      StepCase{"active clamp: clamp body diode, forward on", 3, {1, 0}, {1, 1}, 2, {1, -1, 1, 1}, 7, 1},
                      StepCase{"active clamp: state 3 on the channel", 3, {1}, {0}, 1, {1, 1, 1, 1}, 7},
                      StepCase{"active clamp: channel and body diode", 1, {0}, {1}, 1, {1, 1, 1, 1}, 7, 2},
                      // Sensed by a transformer: the two switches on (its rectifier conducting) and
                      // in reset; the passive clamp on; the resonant reset ringing.
                      StepCase{"sense transformer: two switch on", 2, {1}, {0}, 1, {1, 1, 1, 1}, 0},
                      StepCase{"sense transformer: two switch reset", 1, {0, 1}, {1, 1}, 2, {1, 1, 1, 1}, 0},
                      StepCase{"sense transformer: clamp on", 2, {1}, {1}, 1, {1, 1, 1, 1}, 8},
                      StepCase{"sense transformer: resonant ringing", 1, {0}, {1}, 1, {1, 1, 1, 1}, 4},
                      StepCase{"sense transformer: active clamp on", 2, {1}, {0}, 1, {1, 1, 1, 1}, 6},
                      // Reset winding: resetting with the primary open; on with the reset winding
                      // open while its current of the last step falls to zero; idle, two outputs.
                      StepCase{"reset winding: resetting", 1, {1, 0}, {1, 1}, 2, {1, -1, 1, 1}, 3},
                      StepCase{"reset winding: on", 2, {1}, {0}, 1, {1, 1, 1, 1}, 3},
                      StepCase{"reset winding: idle", 0, {0, 0}, {1, 0}, 2, {1, 1, 1, 1}, 3},
                      StepCase{"reset winding, sense transformer: on", 2, {1, 1, 0}, {0, 1, 1}, 3, {1, 1, -1, 1}, 2},
                      StepCase{"stacked 2 on 1", 2, {1, 1}, {0, 0}, 2, {1, 1, 1, 1}, 1, 0, {1, 0, 0, 0, 0, 0}},
                      StepCase{"stacked 2 on 3", 2, {1, 1, 1}, {0, 1, 0}, 3, {-1, 1, 1, 1}, 1, 0, {0, 0, 0, 1, 0, 0}},
                      StepCase{"stacked all down", 1, {1, 0, 1, 0}, {1, 1, 0, 1}, 4, {-1, -1, -1, -1}, 1, 0,
                               {1, 0, 1, 0, 1, 0}},
                      StepCase{"stacked 1 on 2, 3 on 4", 2, {1, 1, 0, 1}, {0, 1, 1, 0}, 4, {1, 1, -1, -1}, 9, 0,
                               {0, 1, 0, 0, 0, 1}},
                      // Two outputs' chokes on one core, also with the second winding stacked.
                      StepCase{"two outputs, coupled chokes", 2, {1, 0}, {0, 1}, 2, {1, -1, 1, 1}, 1, 0, {}, 0.6},
                      StepCase{"two outputs in reset, coupled chokes", 1, {0, 1}, {1, 1}, 2, {1, 1, 1, 1}, 1, 0, {},
                               0.35},
                      StepCase{"stacked 2 on 1, coupled chokes", 2, {1, 1}, {0, 1}, 2, {1, 1, 1, 1}, 1, 0,
                               {1, 0, 0, 0, 0, 0}, 0.5},
                      // Transistor rectifiers: a driven channel conducts either way as a resistance,
                      // one let go through the lower of its diodes (rectifier 1's body diode here).
                      StepCase{"sync: on, rectifier 1 channel", 2, {1}, {0}, 1, {1, 1, 1, 1}, 1, 0, {}, 0.0, false, 1},
                      StepCase{"sync: on, rectifier 1 body diode, 2 open", 2, {1}, {0}, 1, {1, 1, 1, 1}, 1, 0, {}, 0.0, false, 0},
                      StepCase{"sync: reset, rectifier 2 channel", 1, {0}, {1}, 1, {1, 1, 1, 1}, 1, 0, {}, 0.0, false, 2},
                      StepCase{"sync: both channels driven", 2, {1}, {1}, 1, {1, 1, 1, 1}, 1, 0, {}, 0.0, false, 3},
                      StepCase{"sync: channel 2 let go, both diodes", 1, {1}, {1}, 1, {1, 1, 1, 1}, 1, 0, {}, 0.0, false, 0},
                      StepCase{"sync: idle, all open", 0, {0}, {0}, 1, {1, 1, 1, 1}, 1, 0, {}, 0.0, false, 0},
                      StepCase{"sync: three outputs, channel 1, second reversed", 2, {1, 0, 1}, {0, 1, 0}, 3,
                               {1, -1, 1, 1}, 1, 0, {}, 0.0, false, 1},
                      // Rectifier 2 let go: its body diode below diode 2 (0.52 V) takes the
                      // current, one above it leaves it to diode 2, one level with it shares it.
                      StepCase{"sync: reset, rectifier 2 body diode lower", 1, {0}, {1}, 1, {1, 1, 1, 1}, 1, 0, {}, 0.0,
                               false, 0, 0.29},
                      StepCase{"sync: reset, rectifier 2 body diode higher", 1, {0}, {1}, 1, {1, 1, 1, 1}, 1, 0, {},
                               0.0, false, 0, 0.83},
                      StepCase{"sync: reset, rectifier 2 body diode level with diode 2", 1, {0}, {1}, 1, {1, 1, 1, 1},
                               1, 0, {}, 0.0, false, 0, 0.52},
                      StepCase{"sync: two outputs, overlap, body diode 2 lower", 1, {1, 0}, {1, 1}, 2, {1, -1, 1, 1},
                               1, 0, {}, 0.0, false, 0, 0.29},
                      StepCase{"sync: on, channel 2 driven beside a lower body diode", 2, {1}, {1}, 1, {1, 1, 1, 1}, 1,
                               0, {}, 0.0, false, 3, 0.29}),
    [](const ::testing::TestParamInfo<StepCase>& info) { return std::to_string(info.index); });

// The step with the inductances looked up at its starting currents (cores at rest): the transformer's
// magnetising inductance with its secondaries in the same ratio, and each choke its own.
INSTANTIATE_TEST_SUITE_P(
    SaturatingCores, AssemblyOracle,
    ::testing::Values(StepCase{"on", 2, {1}, {0}, 1, {1, 1, 1, 1}, 1, 0, {}, 0.0, true},
                      StepCase{"reset", 1, {0, 1}, {1, 1}, 2, {1, -1, 1, 1}, 1, 0, {}, 0.0, true},
                      StepCase{"four outputs on", 2, {1, 0, 1, 1}, {0, 1, 1, 0}, 4, {1, 1, -1, 1}, 1, 0, {}, 0.0,
                               true},
                      StepCase{"active clamp on", 2, {1, 0}, {0, 1}, 2, {1, -1, 1, 1}, 7, 0, {}, 0.0, true}),
    [](const ::testing::TestParamInfo<StepCase>& info) { return std::to_string(info.index); });

}  // namespace
