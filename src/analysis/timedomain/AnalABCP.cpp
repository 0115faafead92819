#include "analysis/timedomain/AnalABCP.h"

#include <cmath>

#include "analysis/context/AnalContext.h"
#include "analysis/context/AnalTableIndex.h"
#include "analysis/models/AnalMBranch.h"
#include "analysis/models/AnalMPri.h"
#include "analysis/models/AnalMSat.h"
#include "analysis/models/AnalMWind.h"
#include "analysis/models/AnalMXfmr.h"
#include "records/Utils.h"

namespace {

constexpr UINT kModuleAnalDABC = 56006;
constexpr int kCodeTransformerValues = 10410;
constexpr UINT kPrimaryInductanceMessage = 52176;
constexpr UINT kModuleAnalCalc = 56002;

AnalysisContext& Ctx() { return *GetAnalysisContext(); }
int32_t Outputs() { return Ctx().pSettings->outputCount; }
double StepFactor() { return Ctx().stepState.inverseTimeStep; }

int32_t Checked(double a, double b) {
    if (!std::isfinite(a) || !std::isfinite(b)) return 0;
    return Ctx().pSettings->loggingOn && CheckFloatingPointStatus() ? 0 : 1;
}

double Coupling(double k, double la, double lb) { return k * std::sqrt(la * lb); }

// The switches' resistance in the loop of the present state.
double SwitchResistance(const AnalysisContext& ctx) {
    return ctx.primary.switchState == 2 ? ctx.pPrimaryInput->primarySeriesResistance : ctx.pSettings->openResistance;
}

// The magnetising current the sense transformer's core holds (A): 0 before the first step.
double SenseMagnetizing(const PrimaryStateRec& pri) {
    return std::isfinite(pri.senseXfmrCurrent) && pri.senseXfmrCurrent != NOT_SET ? pri.senseXfmrCurrent : 0.0;
}

// The current its switch path carried at the step's start: the loop's, which it joins with
// that current where it was out of the loop (AnalMPri.h).
double SensePathCurrent(const PrimaryStateRec& pri) {
    return std::isfinite(pri.transformerPrimaryCurrent) && pri.transformerPrimaryCurrent != NOT_SET
               ? pri.transformerPrimaryCurrent
               : 0.0;
}

// Its windings: the primary's inductance from its table, looked up at the magnetising current
// when the core saturates (the chord across the step, as the power transformer's), the secondary's in
// the same ratio to the table's point at 0 A, and their coupling. Records without a table (no
// primary inductance) give an ideal core at the turns' ratio. A lookup that fails, or windings
// that form no transformer, leave the magnetising inductance NOT_SET.
// After the solve (lookUp false) it takes the primary inductance the step took.
SenseTransformer SenseTransformerOf(AnalysisContext& ctx, bool lookUp) {
    const PrimaryInputRec& pi = *ctx.pPrimaryInput;
    SenseTransformer ct{pi.senseXfmrWindingResistance, pi.senseXfmrPrimaryTurnsCount / pi.senseXfmrSecondaryTurnsCount,
                        pi.senseResistance, pi.senseXfmrSecondaryResistance, pi.senseSeriesResistance};
    TimeMagnitudeTable* table = ctx.pTable[kSenseXfmrTable];
    if (!table || table->count < 1) return ct;
    const double l0 = table->points[0].magnitude;
    double lp = l0, slope = 0.0;
    if (!lookUp) {
        lp = ctx.primary.senseXfmrInductance;
    } else if (Saturable(table)) {
        // The flux the step is expected to move (AnalMSat.h), in the primary's terms: the core's
        // voltage of the step before, n times the secondary loop's drop, over k² (Lm = k²·Lp),
        // while the rectifier went on conducting; a core that reset holds none.
        const PrimaryStateRec& pri = ctx.primary;
        const double is = pri.senseXfmrSecondaryCurrent, k = pi.senseXfmrCoupling;
        const double loop = (ct.senseResistance + ct.secondaryResistance + ct.rectifierResistance) * is;
        double flux = 0.0;
        if (ctx.engine.senseTransformerConducting && is != NOT_SET && is != 0.0 && k > 0.0)
            flux = SenseTransformerRatio(l0, pi.senseXfmrSecondaryNominal, k) * loop / (k * k) / StepFactor();
        if (!std::isfinite(flux)) flux = 0.0;
        if (!LookUpStepInductance(&lp, &slope, *table, SenseMagnetizing(ctx.primary), flux)) {
            ct.magnetizingInductance = NOT_SET;
            return ct;
        }
        ctx.primary.senseXfmrInductanceSlope = slope;
    }
    const double ls = lp / l0 * pi.senseXfmrSecondaryNominal;
    if (!SetSenseTransformerWindings(lp, ls, pi.senseXfmrCoupling, &ct)) {
        ct.magnetizingInductance = NOT_SET;
        return ct;
    }
    ctx.primary.senseXfmrInductance = lp;
    ctx.primary.senseXfmrInductance2 = pi.senseXfmrCoupling * std::sqrt(lp * ls);  // the mutual
    return ct;
}

// The windings' inductances with the magnetising inductance lp: every secondary saturates
// in the ratio lp / l0 of the core's table, l0 its point at 0 A (the nominal inductance
// without a table), and the mutuals follow from the coupling coefficients. FALSE when a value
// is not finite.
bool SetTransformerInductances(AnalysisContext& ctx, double lp, double l0) {
    const PrimaryInputRec& pi = *ctx.pPrimaryInput;
    TransformerParams& t = ctx.engine.xfmr;
    const double ratio = lp / l0;
    t.lp = lp;
    const double sign = pi.primarySign < 0 ? -1.0 : 1.0;
    const double kps[kMaxOutputs] = {pi.couplingPriSec1, pi.couplingPriSec2, pi.couplingPriSec3, pi.couplingPriSec4};
    const double kss[kMaxOutputs][kMaxOutputs] = {
        {0.0, pi.couplingSec1Sec2, pi.couplingSec1Sec3, pi.couplingSec1Sec4},
        {pi.couplingSec1Sec2, 0.0, pi.couplingSec2Sec3, pi.couplingSec2Sec4},
        {pi.couplingSec1Sec3, pi.couplingSec2Sec3, 0.0, pi.couplingSec3Sec4},
        {pi.couplingSec1Sec4, pi.couplingSec2Sec4, pi.couplingSec3Sec4, 0.0}};
    for (int32_t j = 0; j < t.outputs; ++j) {
        t.ls[j] = ratio * ctx.pSecondaryRectifierInput[j]->nominalWindingInductance;
        t.mps[j] = sign * Coupling(kps[j], t.lp, t.ls[j]);
    }
    for (int32_t j = 0; j < t.outputs; ++j)
        for (int32_t k = 0; k < t.outputs; ++k)
            t.mss[j][k] = j == k ? 0.0 : Coupling(kss[j][k], t.ls[j], t.ls[k]);
    double* mutuals[kMaxOutputs] = {&ctx.primary.mutualPriSec1, &ctx.primary.mutualPriSec2,
                                    &ctx.primary.mutualPriSec3, &ctx.primary.mutualPriSec4};
    bool finite = std::isfinite(t.lp);
    for (int32_t j = 0; j < t.outputs; ++j) {
        *mutuals[j] = t.mps[j];
        ctx.secondaryWinding[j].windingInductance = t.ls[j];
        finite = finite && std::isfinite(t.mps[j]) && std::isfinite(t.ls[j]);
    }
    ctx.primary.magnetizingInductance = t.lp;
    return finite;
}

}  // namespace

int32_t PrepareStepEngine() {
    AnalysisContext& ctx = Ctx();
    const PrimaryInputRec& pi = *ctx.pPrimaryInput;
    TransformerParams& t = ctx.engine.xfmr;
    t = TransformerParams();
    ctx.engine.stackReady = 0;
    ctx.loadStep.valuesReady = 0;
    t.outputs = ctx.pSettings->outputCount;
    t.rp = pi.primaryWindingResistance;
    ctx.primary.magnetizingInductanceSlope = 0.0;
    bool finite = std::isfinite(t.rp) &&
                  SetTransformerInductances(ctx, pi.magnetizingInductanceNominal, pi.magnetizingInductanceNominal);
    for (int32_t j = 0; j < t.outputs; ++j) {
        t.rs[j] = ctx.pSecondaryRectifierInput[j]->windingResistance;
        ctx.secondaryWinding[j].windingResistance = t.rs[j];
    }
    ctx.primary.primaryWindingResistance = t.rp;
    // The windings' effective resistances and the core-loss resistance the run has reached.
    finite = finite && ApplyMagneticLosses(ctx);
    if (!finite) {
        ReportMessage1(kModuleAnalDABC, kCodeTransformerValues, FALSE);
        ReportMessageFirstBox(52085);
        return 0;
    }
    return 1;
}

namespace {

// A saturable core takes the chord of its magnetising inductance across the flux the step is
// expected to move (AnalMSat.h): the core's voltage of the step before, the primary's less its
// winding's drop, over this step. The windings follow it.
int32_t ComputePrimaryInductance() {
    AnalysisContext& ctx = Ctx();
    TimeMagnitudeTable* table = ctx.pTable[kPowerXfmrTable];
    if (!Saturable(table)) return 1;
    const PrimaryStateRec& pri = ctx.primary;
    const double core = pri.primaryWindingVoltage - ctx.engine.xfmr.rp * pri.primaryWindingCurrent;
    const bool known = pri.primaryWindingVoltage != NOT_SET && pri.primaryWindingCurrent != NOT_SET;
    const double flux = known && std::isfinite(core) ? core / StepFactor() : 0.0;
    double lm = 0.0;
    if (!LookUpStepInductance(&lm, &ctx.primary.magnetizingInductanceSlope, *table, ctx.primary.magnetizingCurrent,
                              flux) ||
        !SetTransformerInductances(ctx, lm, table->points[0].magnitude)) {
        ReportMessage1(kModuleAnalDABC, kCodeTransformerValues, FALSE);
        ReportMessageFirstBox(kPrimaryInductanceMessage);
        return 0;
    }
    return 1;
}

}  // namespace

int32_t CalcPrimarySectionQuantitiesPass1() {
    AnalysisContext& ctx = Ctx();
    const PrimaryInputRec& pi = *ctx.pPrimaryInput;
    EngineStore& st = ctx.engine;
    if (pi.currentSenseTransformerOn) {
        // Its rectifier conducts while the switch is on and its current was forward.
        st.senseTransformerConducting = ctx.primary.switchState == 2 && ctx.primary.switch1Current >= 0.0;
        const SenseTransformer ct = SenseTransformerOf(ctx, true);
        if (ct.magnetizingInductance == NOT_SET) {
            ReportMessage1(kModuleAnalCalc, 5942, FALSE);
            ReportMessageFirstBox(kPrimaryInductanceMessage);
            return 0;
        }
        st.senseResistor = CalcSenseTransformerBranch(ct, st.senseTransformerConducting, StepFactor(),
                                                      SenseMagnetizing(ctx.primary), SensePathCurrent(ctx.primary));
        return Checked(st.senseResistor.z, st.senseResistor.e);
    }
    // The sense resistor carries the switches' current; in the reset it carries none.
    CalcInductorBranchCoeffs(pi.senseResistorInductance, pi.senseResistance, StepFactor(), ctx.primary.switch1Current,
                             &st.senseResistor);
    return Checked(st.senseResistor.z, st.senseResistor.e);
}

int32_t CalcPowerTransformerQuantitiesPass1() {
    AnalysisContext& ctx = Ctx();
    EngineStore& st = ctx.engine;
    double isPrev[kMaxOutputs] = {};
    // A winding's current is kept as the current its rectifier draws; the transformer terms
    // take the current into the dotted end.
    for (int32_t j = 0; j < Outputs(); ++j) {
        st.output[j].polarity = ctx.pOutputFilterInput[j]->outputSign < 0 ? -1 : 1;
        isPrev[j] = -st.output[j].polarity * ctx.secondaryWinding[j].windingCurrent;
    }
    if (!ComputePrimaryInductance()) return 0;
    st.loss.centreConductance = st.loss.primaryConductance;
    CalcTransformerCoeffs(st.xfmr, StepFactor(), ctx.primary.primaryWindingCurrent, isPrev, &st);
    return Checked(st.zpp, st.ep);
}

int32_t BuildPriTwoSwitchSenseResCoeffs() {
    AnalysisContext& ctx = Ctx();
    const PrimaryInputRec& pi = *ctx.pPrimaryInput;
    EngineStore& st = ctx.engine;
    if (ctx.primary.switchState == 1) {
        st.loopA = -(st.bulk.z + 2.0 * pi.runCheckParamB);
        st.loopB = -(st.bulk.e + 2.0 * pi.sectionQuantityParamI);
    } else {
        st.loopA = -(st.bulk.z + 2.0 * SwitchResistance(ctx) + st.senseResistor.z);
        st.loopB = st.bulk.e - st.senseResistor.e;
    }
    BuildPrimaryCentre(Outputs(), &st);
    return Checked(st.loopA, st.b);
}

int32_t CalcTransformerSecondaryQuantitiesPass2() {
    AnalysisContext& ctx = Ctx();
    EngineStore& st = ctx.engine;
    const int32_t n = Outputs();
    // The centre winding's own current, and the loop's with the core-loss resistance beside it.
    st.loss.centreWindingCurrent = PrimaryCurrentFromRow(n, st, st.secondaryCurrent);
    st.primaryCurrent = CentreTerminalCurrent(st, st.loss.centreWindingCurrent);
    for (int32_t j = n - 1; j >= 0; --j) {
        SecondaryWindingStateRec& w = ctx.secondaryWinding[j];
        const int32_t polarity = st.output[j].polarity;
        w.windingCurrent = -polarity * st.secondaryCurrent[j];
        double vs = st.m[j] * st.loss.centreWindingCurrent + st.es[j];
        for (int32_t k = 0; k < n; ++k) vs += st.zs[j][k] * st.secondaryCurrent[k];
        w.windingVoltage = vs;
    }
    // What each rectifier sees: its own winding and those it is stacked on.
    for (int32_t j = n - 1; j >= 0; --j) {
        double vr = st.stack[j][j] * ctx.secondaryWinding[j].windingVoltage;
        if (st.stackCouples)
            for (int32_t k = 0; k < n; ++k)
                if (k != j) vr += st.stack[j][k] * ctx.secondaryWinding[k].windingVoltage;
        ctx.secondaryRectifier[j].rectifierSectionInputVoltage = vr;
    }
    return Checked(st.primaryCurrent, st.primaryCurrent);
}

int32_t UpdatePriTwoSwitchSenseResQuantities() {
    AnalysisContext& ctx = Ctx();
    const PrimaryInputRec& pi = *ctx.pPrimaryInput;
    EngineStore& st = ctx.engine;
    PrimaryStateRec& pri = ctx.primary;
    const int32_t state = pri.switchState;
    const double ip = st.primaryCurrent;
    st.bulkDraw = state == 1 ? -ip : ip;
    const double vbulk = st.bulk.e - st.bulk.z * st.bulkDraw;
    pri.primaryWindingVoltage = st.loopA * ip + st.loopB;

    const double senseCurrent = state == 1 ? 0.0 : ip;
    const double vsense = state == 1 ? 0.0 : st.senseResistor.z * senseCurrent + st.senseResistor.e;
    pri.currentSenseResistorVoltage = vsense;
    pri.switch1Current = senseCurrent;
    pri.switch2Current = senseCurrent;
    pri.switch1DrainToSourceCurrent = senseCurrent;
    // Switch 1 is the low-side switch over the sense resistor, switch 2 the high-side one;
    // rectifier 1 returns the low-side drain to the bulk, rectifier 2 the return to the
    // high-side source. Both switches carry the same current, so they share one voltage.
    double vsw = 0.0;
    if (state == 1) {
        const double vd = pi.sectionQuantityParamI + pi.runCheckParamB * ip;
        pri.diode1Current = ip;
        pri.diode2Current = ip;
        pri.diode1Voltage = vd;
        pri.diode2Voltage = vd;
        vsw = vbulk + vd;
    } else {
        pri.diode1Current = 0.0;
        pri.diode2Current = 0.0;
        vsw = SwitchResistance(ctx) * ip;
        pri.diode1Voltage = vsense + vsw - vbulk;  // low-side drain to the bulk
        pri.diode2Voltage = -(vbulk - vsw);        // return to the high-side source
    }
    pri.switch1Voltage = vsw;
    pri.switch2Voltage = vsw;
    pri.switch1VoltageCopy = vsw;
    return Checked(vbulk, vsw);
}

int32_t CalcPrimarySectionQuantitiesPass2() {
    AnalysisContext& ctx = Ctx();
    PrimaryStateRec& pri = ctx.primary;
    pri.switch1Resistance = SwitchResistance(ctx);
    const PrimaryInputRec& pi = *ctx.pPrimaryInput;
    if (pi.currentSenseTransformerOn) {
        // No amplifier: the sense resistor's voltage is the sensed signal. The resonant reset's
        // capacitor current passes the sense path too.
        const double current = IsResonantReset(pi.topology) ? ctx.engine.primaryCurrent : pri.switch1Current;
        const double pathVoltage = pri.currentSenseResistorVoltage;  // as the loop solved it
        const SenseTransformer ct = SenseTransformerOf(ctx, false);
        const int32_t conducting = ctx.engine.senseTransformerConducting;
        const double im = SenseMagnetizingCurrent(ct, conducting, StepFactor(), SenseMagnetizing(pri), current);
        pri.senseXfmrCurrent = im;
        pri.currentSenseResistorVoltage = SensedVoltage(ct, conducting, current, im);
        // Its rectifier and the sense resistor carry the secondary current n·(I - Im) while it
        // conducts; the core resets within the step while it blocks, leaving no current.
        const double secondary = conducting ? ct.ratio * (current - im) : 0.0;
        pri.senseXfmrInput2 = current;
        pri.senseXfmrSecondaryCurrent = secondary;
        pri.senseXfmrSecondaryCurrentCopy = secondary;
        pri.currentSenseRectifierAnodeToCathodeVoltage = ct.rectifierResistance * secondary;
        // The magnetising branch holds n times the secondary loop's drop; each terminal adds its
        // own winding's resistance (the rectifier's drop is left out, as in the loop), the
        // primary its leakage's drop too: the path's voltage as the loop solved it.
        const double loop = (ct.senseResistance + ct.secondaryResistance + ct.rectifierResistance) * secondary;
        pri.senseXfmrVoltage = pathVoltage;
        pri.senseXfmrSecondaryVoltage = loop - ct.secondaryResistance * secondary;
        pri.senseDiodeResistance = conducting ? ct.rectifierResistance : ctx.pSettings->openResistance;
        pri.currentSenseOutput = pri.currentSenseResistorVoltage;
        return 1;
    }
    pri.currentSenseOutput = pi.senseAmpGain * pri.currentSenseResistorVoltage;
    return 1;
}

int32_t CalcPowerTransformerQuantitiesPass2() {
    AnalysisContext& ctx = Ctx();
    EngineStore& st = ctx.engine;
    PrimaryStateRec& pri = ctx.primary;
    // The winding carries the centre's own current; the terminals the core-loss current too.
    const double winding = st.loss.centreWindingCurrent;
    st.primaryCurrentSlope = (winding - pri.primaryWindingCurrent) * StepFactor();
    pri.primaryWindingCurrent = winding;
    pri.transformerPrimaryCurrent = st.primaryCurrent;
    pri.primaryWindingCurrentSlope = st.primaryCurrentSlope;
    if (!AccumulateTransformerWindings(ctx)) return 0;
    return Checked(st.primaryCurrentSlope, st.primaryCurrentSlope);
}

int32_t SumReflectedSecondaryCurrents() {
    AnalysisContext& ctx = Ctx();
    double reflected = 0.0;
    for (int32_t j = Outputs() - 1; j >= 0; --j)
        reflected += ctx.pOutputFilterInput[j]->outputSign * ctx.pSecondaryRectifierInput[j]->windingTurns *
                     ctx.secondaryWinding[j].windingCurrent / ctx.pPrimaryInput->primaryTurns;
    ctx.primary.reflectedSecondaryCurrent = reflected;
    return Checked(reflected, reflected);
}
