#include "analysis/timedomain/AnalABCPVar.h"

#include <cmath>

#include "analysis/context/AnalContext.h"
#include "analysis/models/AnalMOut.h"
#include "analysis/models/AnalMPri.h"
#include "analysis/models/AnalMXfmr.h"
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
    const PrimaryInputRec& pi = *ctx.pPrimaryInput;
    EngineStore& st = ctx.engine;
    const PrimaryStateRec& pri = ctx.primary;
    CalcCapacitorBranchCoeffs(ClampCapacitor(ctx), ctx.stepState.inverseTimeStep, pri.clampCapacitorVoltage,
                              pri.clampCapacitorCurrent, &st.clampCapacitor);
    if (!CalcActiveClampLoop(pri.switchState, SwitchResistance(ctx), st.senseResistor, st.clampCapacitor,
                             pi.clampSwitchOnResistance, &st))
        return 0;
    BuildPrimaryCentre(ctx.pSettings->outputCount, &st);
    return Checked(st.loopA, st.b);
}

int32_t UpdatePriActiveClampSenseResQuantities() {
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

    const double clampCurrent = state == 1 ? ip : 0.0;
    const double vc = st.clampCapacitor.z * clampCurrent + st.clampCapacitor.e;
    pri.clampCapacitorVoltage =
        UpdateCapacitorBranch(ClampCapacitor(ctx), ctx.stepState.inverseTimeStep, pri.clampCapacitorVoltage, clampCurrent);
    pri.clampCapacitorVoltageState = pri.clampCapacitorVoltage;
    pri.capacitorVoltage = pri.clampCapacitorVoltage;
    pri.capacitorVoltageCopy = pri.clampCapacitorVoltage;
    pri.clampCapacitorCurrent = clampCurrent;
    pri.clampSwitchCurrent = -clampCurrent;  // drain to source of the clamp switch
    const double drain = state == 1 ? vbulk + pi.clampSwitchOnResistance * ip + vc : vsense + SwitchResistance(ctx) * ip;
    const double vsw = drain - vsense;
    pri.switch1Voltage = vsw;
    pri.switch1VoltageCopy = vsw;
    return Checked(vbulk, pri.clampCapacitorVoltage);
}
