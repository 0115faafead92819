#include "analysis/timedomain/AnalABCPVar.h"

#include <cmath>

#include "analysis/context/AnalContext.h"
#include "analysis/models/AnalMOut.h"
#include "analysis/models/AnalMPri.h"
#include "analysis/models/AnalMSat.h"
#include "analysis/models/AnalMXfmr.h"
#include "analysis/timedomain/AnalEdge.h"
#include "circuit/AnalFill.h"
#include "records/Utils.h"

namespace {

AnalysisContext& Ctx() { return *GetAnalysisContext(); }

int32_t Checked(double a, double b) {
    if (!std::isfinite(a) || !std::isfinite(b)) return 0;
    return Ctx().pSettings->loggingOn && CheckFloatingPointStatus() ? 0 : 1;
}

double SwitchResistance(const AnalysisContext& ctx) {
    return ctx.primary.switchState == 2 ? ctx.pPrimaryInput->primarySeriesResistance : ctx.pSettings->openResistance;
}

// The clamp capacitor as the design gives it: its capacitance alone.
CapacitorGroup ClampCapacitor(const AnalysisContext& ctx) {
    return {ctx.pSettings->openResistance, 0.0, 0.0, 0.0, 0.0, ctx.pPrimaryInput->clampCapacitance};
}

// The reset capacitor likewise.
CapacitorGroup ResetCapacitor(const AnalysisContext& ctx) { return ClampCapacitor(ctx); }

BranchPair ActiveClampSwitch(const AnalysisContext& ctx) {
    const PrimaryInputRec& pi = *ctx.pPrimaryInput;
    const PrimaryStateRec& p = ctx.primary;
    return ActiveClampSwitchElement(p.switchState, p.switch1Conducting, p.switch1DiodeConducting,
                                    pi.primarySeriesResistance, ctx.pSettings->openResistance, pi.switch1DiodeParamA,
                                    pi.switch1DiodeParamB);
}

BranchPair ClampSwitch(const AnalysisContext& ctx) {
    const PrimaryInputRec& pi = *ctx.pPrimaryInput;
    return ClampSwitchElement(ctx.primary.clampSwitchActive, ctx.primary.clampSwitchDiodeConducting,
                              pi.clampSwitchOnResistance, pi.clampSwitchDiodeParamA, pi.clampSwitchDiodeParamB);
}

BranchPair SwitchElement(const AnalysisContext& ctx) {
    const PrimaryInputRec& pi = *ctx.pPrimaryInput;
    return ResonantSwitchElement(ctx.primary.switchState, ctx.primary.switch1DiodeConducting,
                                 pi.primarySeriesResistance, ctx.pSettings->openResistance, pi.switch1DiodeParamA,
                                 pi.switch1DiodeParamB);
}

}  // namespace

int32_t BuildPriPassiveClampSenseResCoeffs() {
    AnalysisContext& ctx = Ctx();
    const PrimaryInputRec& pi = *ctx.pPrimaryInput;
    EngineStore& st = ctx.engine;
    const PrimaryStateRec& pri = ctx.primary;
    if (!CalcPassiveClampNetworkCoeffs(ClampCapacitor(ctx), pi.clampResistance, ctx.stepState.inverseTimeStep,
                                       pri.clampCapacitorVoltage, pri.clampCapacitorCurrent, &st.clampCapacitor,
                                       &st.clampNetwork) ||
        !CalcPassiveClampLoop(pri.switchState, SwitchResistance(ctx), st.senseResistor, st.clampNetwork,
                              pi.sectionQuantityParamH, pi.runCheckParamA, &st))
        return 0;
    BuildPrimaryCentre(ctx.pSettings->outputCount, &st);
    return Checked(st.loopA, st.b);
}

int32_t UpdatePriPassiveClampSenseResQuantities() {
    AnalysisContext& ctx = Ctx();
    const PrimaryInputRec& pi = *ctx.pPrimaryInput;
    EngineStore& st = ctx.engine;
    PrimaryStateRec& pri = ctx.primary;
    const int32_t state = pri.switchState;
    const double ip = st.primaryCurrent;
    // While the clamp conducts the current comes back into the bulk node through it.
    st.bulkDraw = state == 1 ? 0.0 : ip;
    const double vbulk = st.bulk.e - st.bulk.z * st.bulkDraw;
    pri.primaryWindingVoltage = st.loopA * ip + st.loopB;

    const double senseCurrent = state == 1 ? 0.0 : ip;
    const double vsense = state == 1 ? 0.0 : st.senseResistor.z * senseCurrent + st.senseResistor.e;
    pri.currentSenseResistorVoltage = vsense;
    pri.switch1Current = senseCurrent;
    pri.switch1DrainToSourceCurrent = senseCurrent;

    const PassiveClampResult cl =
        UpdatePassiveClamp(state, ip, ClampCapacitor(ctx), pi.clampResistance, ctx.stepState.inverseTimeStep,
                           pri.clampCapacitorVoltage, st.clampCapacitor, st.clampNetwork);
    const double cathode = vbulk + cl.nodeVoltage;
    const double drain =
        state == 1 ? cathode + pi.sectionQuantityParamH + pi.runCheckParamA * ip : vsense + SwitchResistance(ctx) * ip;
    pri.clampCapacitorVoltage = cl.capacitorVoltage;
    pri.clampCapacitorVoltageState = cl.capacitorVoltage;
    pri.capacitorVoltage = cl.capacitorVoltage;
    pri.capacitorVoltageCopy = cl.capacitorVoltage;
    pri.clampCapacitorCurrent = cl.capacitorCurrent;
    pri.clampResistorCurrent = cl.resistorCurrent;
    pri.clampRectifierAnodeToCathodeCurrent = cl.clampCurrent;
    pri.clampDiodeAnodeVoltage = drain;
    pri.clampDiodeCathodeVoltage = cathode;
    // The clamp rectifier's own voltage: what its rating and the run checks compare.
    pri.resetDiodeVoltage = drain - cathode;
    const double vsw = drain - vsense;
    pri.switch1Voltage = vsw;
    pri.switch1VoltageCopy = vsw;
    return Checked(vbulk, cl.capacitorVoltage);
}

int32_t BuildPriResonantResetSenseResCoeffs() {
    AnalysisContext& ctx = Ctx();
    EngineStore& st = ctx.engine;
    const PrimaryStateRec& pri = ctx.primary;
    const PrimaryInputRec& pi = *ctx.pPrimaryInput;
    // The capacitor's current returns through the sense resistor too: it carries the whole
    // primary current, not the switch's alone.
    if (!pi.currentSenseTransformerOn)
        CalcInductorBranchCoeffs(pi.senseResistorInductance, pi.senseResistance, ctx.stepState.inverseTimeStep,
                                 pri.primaryWindingCurrent, &st.senseResistor);
    CalcCapacitorBranchCoeffs(ResetCapacitor(ctx), ctx.stepState.inverseTimeStep, pri.capacitorVoltage,
                              pri.resetCapacitorCurrent, &st.clampCapacitor);
    st.drainSource = ParallelBranches(st.clampCapacitor, SwitchElement(ctx));
    if (!CalcResonantResetLoop(st.drainSource, st.senseResistor, &st)) return 0;
    BuildPrimaryCentre(ctx.pSettings->outputCount, &st);
    return Checked(st.loopA, st.b);
}

int32_t UpdatePriResonantResetSenseResQuantities() {
    AnalysisContext& ctx = Ctx();
    EngineStore& st = ctx.engine;
    PrimaryStateRec& pri = ctx.primary;
    const double ip = st.primaryCurrent;
    st.bulkDraw = ip;
    const double vbulk = st.bulk.e - st.bulk.z * ip;
    pri.primaryWindingVoltage = st.loopA * ip + st.loopB;
    const double vsense = st.senseResistor.z * ip + st.senseResistor.e;
    pri.currentSenseResistorVoltage = vsense;

    const ResonantResetResult rr = UpdateResonantReset(ip, ResetCapacitor(ctx), ctx.stepState.inverseTimeStep,
                                                       pri.capacitorVoltage, st.clampCapacitor, st.drainSource);
    pri.capacitorVoltage = rr.capacitorVoltage;
    pri.capacitorVoltageCopy = rr.capacitorVoltage;
    pri.resetCapacitorCurrent = rr.capacitorCurrent;
    pri.switch1Current = rr.switchCurrent;
    pri.switch1DrainToSourceCurrent = rr.switchCurrent;
    pri.switch1Voltage = rr.drainSourceVoltage;
    pri.switch1VoltageCopy = rr.drainSourceVoltage;
    return Checked(vbulk, rr.capacitorVoltage);
}

int32_t BuildPriActiveClampSenseResCoeffs() {
    AnalysisContext& ctx = Ctx();
    EngineStore& st = ctx.engine;
    const PrimaryStateRec& pri = ctx.primary;
    CalcCapacitorBranchCoeffs(ClampCapacitor(ctx), ctx.stepState.inverseTimeStep, pri.clampCapacitorVoltage,
                              pri.clampCapacitorCurrent, &st.clampCapacitor);
    if (!CalcActiveClampLoop(pri.switchState, ActiveClampSwitch(ctx), st.senseResistor, st.clampCapacitor,
                             ClampSwitch(ctx), &st))
        return 0;
    BuildPrimaryCentre(ctx.pSettings->outputCount, &st);
    return Checked(st.loopA, st.b);
}

int32_t UpdatePriActiveClampSenseResQuantities() {
    AnalysisContext& ctx = Ctx();
    EngineStore& st = ctx.engine;
    PrimaryStateRec& pri = ctx.primary;
    const bool clamping = ResetInterval(pri.switchState);
    const double ip = st.primaryCurrent;
    // While the clamp conducts the current comes back into the bulk node through it.
    st.bulkDraw = clamping ? 0.0 : ip;
    const double vbulk = st.bulk.e - st.bulk.z * st.bulkDraw;
    pri.primaryWindingVoltage = st.loopA * ip + st.loopB;

    const double senseCurrent = clamping ? 0.0 : ip;
    const double vsense = clamping ? 0.0 : st.senseResistor.z * senseCurrent + st.senseResistor.e;
    pri.currentSenseResistorVoltage = vsense;
    pri.switch1Current = senseCurrent;
    pri.switch1DrainToSourceCurrent = senseCurrent;

    const double clampCurrent = clamping ? ip : 0.0;
    const double vc = st.clampCapacitor.z * clampCurrent + st.clampCapacitor.e;
    pri.clampCapacitorVoltage =
        UpdateCapacitorBranch(ClampCapacitor(ctx), ctx.stepState.inverseTimeStep, pri.clampCapacitorVoltage, clampCurrent);
    pri.clampCapacitorVoltageState = pri.clampCapacitorVoltage;
    pri.capacitorVoltage = pri.clampCapacitorVoltage;
    pri.capacitorVoltageCopy = pri.clampCapacitorVoltage;
    pri.clampCapacitorCurrent = clampCurrent;
    pri.clampSwitchCurrent = -clampCurrent;  // drain to source of the clamp switch
    const BranchPair clamp = ClampSwitch(ctx);
    const BranchPair sw = ActiveClampSwitch(ctx);
    const double drain = clamping ? vbulk + clamp.z * ip + clamp.e + vc : vsense + sw.z * ip + sw.e;
    const double vsw = drain - vsense;
    pri.clampSwitchAux4 = vbulk + vc - drain;  // the clamp switch's own drain to source
    pri.switch1Voltage = vsw;
    pri.switch1VoltageCopy = vsw;
    return Checked(vbulk, pri.clampCapacitorVoltage);
}

int32_t BuildPriResetWindingSenseResCoeffs() {
    AnalysisContext& ctx = Ctx();
    const PrimaryInputRec& pi = *ctx.pPrimaryInput;
    EngineStore& st = ctx.engine;
    const PrimaryStateRec& pri = ctx.primary;
    const int32_t n = ctx.pSettings->outputCount;
    const double s = ctx.stepState.inverseTimeStep;
    ResetWindingParams& r = st.reset;
    const TransformerParams& t = st.xfmr;
    const double sign = pi.primarySign < 0 ? -1.0 : 1.0;
    const double krs[kMaxOutputs] = {pi.couplingResetSec1, pi.couplingResetSec2, pi.couplingResetSec3,
                                     pi.couplingResetSec4};
    // The reset winding saturates in the ratio of the magnetising inductance to its table's
    // first point, as every winding on the core does.
    const TimeMagnitudeTable* core = ctx.pTable[kPowerXfmrTable];
    r.lr = pi.resetWindingNominal * (Saturable(core) ? t.lp / core->points[0].magnitude : 1.0);
    r.rr = st.loss.active ? st.loss.reset.windingResistance : pi.resetWindingResistance;
    r.mpr = pi.couplingPriReset * std::sqrt(t.lp * r.lr);
    for (int32_t j = 0; j < n; ++j) r.mrs[j] = sign * krs[j] * std::sqrt(r.lr * t.ls[j]);
    for (int32_t j = 0; j < n; ++j)
        st.secondaryCurrentPrev[j] = -st.output[j].polarity * ctx.secondaryWinding[j].windingCurrent;

    if (pri.switchState == 1) {
        // The reset winding carries the core's current; the primary is open.
        st.resetCurrentPrev = HandOverCurrent(pri.resetWindingCurrent, pri.primaryWindingCurrent, r.mpr, r.lr);
        st.primaryCurrentPrev = 0.0;
        CalcTransformerCoeffs(ResetWindingAsCentre(t, r), s, st.resetCurrentPrev, st.secondaryCurrentPrev, &st);
        // The core's loss resistance referred to the reset winding's turns.
        st.loss.centreConductance = st.loss.primaryConductance * t.lp / r.lr;
        st.loopA = -(st.bulk.z + pi.runCheckParamC);
        st.loopB = -(st.bulk.e + pi.sectionQuantityParamJ);
    } else {
        // The primary carries it; the reset winding is open.
        st.primaryCurrentPrev = HandOverCurrent(pri.primaryWindingCurrent, pri.resetWindingCurrent, r.mpr, t.lp);
        st.resetCurrentPrev = 0.0;
        CalcTransformerCoeffs(t, s, st.primaryCurrentPrev, st.secondaryCurrentPrev, &st);
        st.loopA = -(st.bulk.z + SwitchResistance(ctx) + st.senseResistor.z);
        st.loopB = st.bulk.e - st.senseResistor.e;
    }
    if (!std::isfinite(st.loopA) || !std::isfinite(st.loopB) || !std::isfinite(st.ep)) return 0;
    BuildPrimaryCentre(n, &st);
    return Checked(st.loopA, st.b);
}

int32_t UpdatePriResetWindingSenseResQuantities() {
    AnalysisContext& ctx = Ctx();
    const PrimaryInputRec& pi = *ctx.pPrimaryInput;
    EngineStore& st = ctx.engine;
    PrimaryStateRec& pri = ctx.primary;
    const int32_t n = ctx.pSettings->outputCount;
    const double s = ctx.stepState.inverseTimeStep;
    const int32_t state = pri.switchState;
    // The loop carries the centre's terminal current, the winding equations its own.
    const double centre = st.primaryCurrent;
    const double ir = state == 1 ? centre : 0.0;
    const double ip = state == 1 ? 0.0 : centre;
    const double centreWinding = st.loss.centreWindingCurrent;
    const double irw = state == 1 ? centreWinding : 0.0;
    const double ipw = state == 1 ? 0.0 : centreWinding;
    st.loss.centreWindingCurrent = ipw;
    const double ipPrev = st.primaryCurrentPrev;
    const double irPrev = st.resetCurrentPrev;
    st.bulkDraw = state == 1 ? -ir : ip;
    const double vbulk = st.bulk.e - st.bulk.z * st.bulkDraw;

    // Each winding's voltage from its own equation.
    const TransformerParams& t = st.xfmr;
    const ResetWindingParams& r = st.reset;
    double vp = t.rp * ipw + t.lp * s * (ipw - ipPrev) + r.mpr * s * (irw - irPrev);
    double vr = r.rr * irw + r.lr * s * (irw - irPrev) + r.mpr * s * (ipw - ipPrev);
    for (int32_t j = 0; j < n; ++j) {
        const double dis = s * (st.secondaryCurrent[j] - st.secondaryCurrentPrev[j]);
        vp += t.mps[j] * dis;
        vr += r.mrs[j] * dis;
    }
    pri.primaryWindingVoltage = vp;
    pri.resetWindingVoltage = vr;
    pri.resetWindingCurrent = irw;
    pri.resetRectifierAnodeToCathodeCurrent = ir;
    // The reset rectifier's own voltage (not the clamp rectifier's): it returns the winding's
    // negative end to the bulk, so it conducts at vr = -(Vbulk + Vf) and blocks the bulk
    // plus the winding's voltage while the switch is on.
    pri.senseAmpVoltage = state == 1 ? pi.sectionQuantityParamJ + pi.runCheckParamC * ir : -(vbulk + vr);
    st.resetCurrentSlope = (irw - irPrev) * s;
    st.primaryCurrent = ip;  // the transformer pass writes the primary's own current

    const double senseCurrent = state == 1 ? 0.0 : ip;
    const double vsense = state == 1 ? 0.0 : st.senseResistor.z * senseCurrent + st.senseResistor.e;
    pri.currentSenseResistorVoltage = vsense;
    pri.switch1Current = senseCurrent;
    pri.switch1DrainToSourceCurrent = senseCurrent;
    const double vsw = state == 1 ? vbulk - vp : SwitchResistance(ctx) * ip;
    pri.switch1Voltage = vsw;
    pri.switch1VoltageCopy = vsw;
    return Checked(vbulk, vsw);
}
