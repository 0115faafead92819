#include "analysis/timedomain/AnalABCS.h"

#include <cmath>

#include "analysis/context/AnalContext.h"
#include "analysis/models/AnalMBranch.h"
#include "analysis/models/AnalMOut.h"
#include "records/Utils.h"

namespace {

constexpr int32_t kLoadResistive = 0;
constexpr int32_t kSecondStageNone = 0;
constexpr int32_t kFirstStageSingleCapacitor = 0;
constexpr int32_t kLineFilterNone = 9;
constexpr int32_t kInputCapacitorSingle = 0;
constexpr int32_t kLineRectifierNone = 0;

AnalysisContext& Ctx() { return *GetAnalysisContext(); }
int32_t Outputs() { return Ctx().pSettings->outputCount; }
double StepFactor() { return Ctx().stepState.inverseTimeStep; }
double Open() { return Ctx().pSettings->openResistance; }

// With data logging on the members' arithmetic is checked for floating-point faults; a
// result that is not a number fails whatever the logging state, since a step that went on
// would spread it into every later state.
int32_t Checked(double a, double b) {
    if (!std::isfinite(a) || !std::isfinite(b)) return 0;
    return Ctx().pSettings->loggingOn && CheckFloatingPointStatus() ? 0 : 1;
}

CapacitorGroup BulkCapacitor(const LineSourceInputRec& in) {
    return {Open(), in.outputCapacitorInductance, in.outputCapacitorResistance, in.sectionQuantityParamE,
            in.sectionQuantityParamF, in.outputCapacitance};
}

CapacitorGroup FilterCapacitor(const OutputFilterInputRec& in) {
    return {Open(), in.rippleInductance, in.rippleResistance, in.sectionQuantityParamA, in.sectionQuantityParamB,
            in.capACapacitance};
}

}  // namespace

// ---- Output side, forward ------------------------------------------------------------------

int32_t AssembleLoadNetworkPass1() {
    AnalysisContext& ctx = Ctx();
    for (int32_t j = Outputs() - 1; j >= 0; --j) {
        const LoadNetworkInputRec& ld = *ctx.pLoadNetworkInput[j];
        if (ld.sectionQuantityFlagA != kLoadResistive) return 0;
        OutputStepStore& o = ctx.engine.output[j];
        CalcInductorBranchCoeffs(ld.closedFormParamB, ld.resistance, StepFactor(), ctx.loadNetwork[j].resistorCurrent,
                                 &o.load);
        if (!Checked(o.load.z, o.load.e)) return 0;
    }
    return 1;
}

int32_t AssembleSecondStageFilterPass1() {
    AnalysisContext& ctx = Ctx();
    for (int32_t j = Outputs() - 1; j >= 0; --j) {
        if (ctx.pOutputFilterInput[j]->sectionQuantityFlagB != kSecondStageNone) return 0;
        OutputStepStore& o = ctx.engine.output[j];
        o.secondStage = o.load;
    }
    return 1;
}

int32_t AssembleFirstStageFilterPass1() {
    AnalysisContext& ctx = Ctx();
    for (int32_t j = Outputs() - 1; j >= 0; --j) {
        const OutputFilterInputRec& fi = *ctx.pOutputFilterInput[j];
        if (fi.sectionQuantityFlagA != kFirstStageSingleCapacitor) return 0;
        OutputStepStore& o = ctx.engine.output[j];
        CalcCapacitorBranchCoeffs(FilterCapacitor(fi), StepFactor(), ctx.outputFilter[j].capacitorVoltage,
                                  ctx.outputFilter[j].capacitorCurrent, &o.filterCapacitor);
        o.outputNode = ParallelBranches(o.filterCapacitor, o.secondStage);
        if (!Checked(o.outputNode.z, o.outputNode.e)) return 0;
    }
    return 1;
}

int32_t AssembleOutputChokePass1() {
    AnalysisContext& ctx = Ctx();
    for (int32_t j = Outputs() - 1; j >= 0; --j) {
        const OutputChokeInputRec& ci = *ctx.pOutputChokeInput[j];
        OutputStepStore& o = ctx.engine.output[j];
        // The choke's sense resistor and its inductance are in series with the winding.
        const double l = ci.inductance + (ci.seriesElementOn ? ci.seriesInductance : 0.0);
        const double r = ci.windingResistance + (ci.seriesElementOn ? ci.seriesResistance : 0.0);
        CalcInductorBranchCoeffs(l, r, StepFactor(), ctx.outputChoke[j].chokeCurrent, &o.choke);
        ctx.outputChoke[j].totalInductance = l;
        ctx.outputChoke[j].totalResistance = r;
        if (!Checked(o.choke.z, o.choke.e)) return 0;
    }
    return 1;
}

// ---- Line side, forward --------------------------------------------------------------------

int32_t AssembleLineSourcePass1() {
    AnalysisContext& ctx = Ctx();
    EngineStore& st = ctx.engine;
    const LineSourceInputRec& li = *ctx.pLineSourceInput;
    // The input-to-output analysis rides its sine on the line (0 otherwise).
    st.lineSourceVoltage = ctx.linePhase[0].lineVoltage + ctx.stepState.lineInputInjection;
    CalcInductorBranchCoeffs(li.lineInductance, li.lineResistance, StepFactor(), ctx.linePhase[0].lineCurrentHeld,
                             &st.line);
    st.lineSource = {st.line.z, st.lineSourceVoltage - st.line.e};
    return Checked(st.lineSource.z, st.lineSource.e);
}

int32_t AssembleLineFilterPass1() {
    AnalysisContext& ctx = Ctx();
    if (ctx.pSettings->lineFilterVariant != kLineFilterNone) return 0;
    ctx.engine.lineFilterOutput = ctx.engine.lineSource;
    return 1;
}

int32_t AssembleInputCapacitorPass1() {
    AnalysisContext& ctx = Ctx();
    if (ctx.pSettings->inputCapacitorVariant != kInputCapacitorSingle) return 0;
    EngineStore& st = ctx.engine;
    const InputCapacitorStateRec& cap = ctx.inputCapacitor;
    CalcCapacitorBranchCoeffs(BulkCapacitor(*ctx.pLineSourceInput), StepFactor(), cap.capacitorVoltage1,
                              cap.upperBulkCapacitorCurrent, &st.bulkCapacitor);
    st.bulk = ParallelBranches(st.lineFilterOutput, st.bulkCapacitor);
    return Checked(st.bulk.z, st.bulk.e);
}

int32_t AssembleLineRectifierPass1() {
    AnalysisContext& ctx = Ctx();
    // Case 0 has no rectifier: the primary draws from the input capacitor's node directly.
    return ctx.pSettings->lineRectifierVariant == kLineRectifierNone ? 1 : 0;
}

// ---- Secondary rectifiers and the coupled solve --------------------------------------------

int32_t AssembleSecRectifierElementsPass1() {
    AnalysisContext& ctx = Ctx();
    const double open = Open();
    for (int32_t j = Outputs() - 1; j >= 0; --j) {
        const SecondaryRectifierInputRec& ri = *ctx.pSecondaryRectifierInput[j];
        const SecondaryRectifierStateRec& rs = ctx.secondaryRectifier[j];
        OutputStepStore& o = ctx.engine.output[j];
        o.polarity = ctx.pOutputFilterInput[j]->outputSign < 0 ? -1 : 1;
        CalcRectifierCoeffs(rs.rectifier1On, ri.diodeDrop, ri.dynamicResistance, open, &o.forwardRectifier);
        CalcRectifierCoeffs(rs.diodeConducting, ri.forwardVoltage, ri.secondDynamicResistance, open,
                            &o.freewheelRectifier);
    }
    return 1;
}

int32_t CalcCoupledOutputChokeQuantities() {
    AnalysisContext& ctx = Ctx();
    EngineStore& st = ctx.engine;
    const int32_t n = Outputs();
    int32_t polarity[kMaxOutputs] = {1, 1, 1, 1};
    for (int32_t j = 0; j < n; ++j) polarity[j] = st.output[j].polarity;
    if (!SolveCoupledOutputs(n, polarity, &st)) return 0;
    for (int32_t j = 0; j < n; ++j) {
        OutputStepStore& o = st.output[j];
        o.chokeCurrent = o.forwardCurrent + o.freewheelCurrent;
        o.outputVoltage = o.outputNode.z * o.chokeCurrent + o.outputNode.e;
        if (!Checked(o.chokeCurrent, o.outputVoltage)) return 0;
    }
    return 1;
}

int32_t AssembleSecRectifierElementsPass2() {
    AnalysisContext& ctx = Ctx();
    const double s = StepFactor();
    const double open = Open();
    for (int32_t j = Outputs() - 1; j >= 0; --j) {
        const SecondaryRectifierInputRec& ri = *ctx.pSecondaryRectifierInput[j];
        SecondaryRectifierStateRec& rs = ctx.secondaryRectifier[j];
        OutputStepStore& o = ctx.engine.output[j];
        o.forwardSlope = (o.forwardCurrent - rs.rectifier1AnodeToCathodeCurrent) * s;
        o.freewheelSlope = (o.freewheelCurrent - rs.diodeCurrent) * s;
        o.forwardVoltage = o.forwardRectifier.z * o.forwardCurrent + o.forwardRectifier.e;
        o.freewheelVoltage = o.freewheelRectifier.z * o.freewheelCurrent + o.freewheelRectifier.e;
        rs.rectifier1AnodeToCathodeCurrent = o.forwardCurrent;
        rs.rectifier1AnodeToCathodeVoltage = o.forwardVoltage;
        rs.rectifierCurrent = o.forwardCurrent;
        rs.rectifier1Resistance = rs.rectifier1On ? ri.dynamicResistance : open;
        rs.diodeCurrent = o.freewheelCurrent;
        rs.rectifier2TotalAnodeToCathodeCurrent = o.freewheelCurrent;
        rs.rectifierVoltage = o.freewheelVoltage;
        rs.diodeResistance = rs.diodeConducting ? ri.secondDynamicResistance : open;
        rs.chokeCurrentCopy = o.chokeCurrent;
        rs.rectifiedVoltage = o.chokeNodeVoltage;
    }
    return 1;
}

// ---- Line side, reverse --------------------------------------------------------------------

int32_t AssembleLineRectifierPass2() {
    AnalysisContext& ctx = Ctx();
    if (ctx.pSettings->lineRectifierVariant != kLineRectifierNone) return 0;
    ctx.primary.magnetizingCurrentCopy5 = ctx.engine.bulkDraw;  // the primary's input current
    return 1;
}

int32_t AssembleInputCapacitorPass2() {
    AnalysisContext& ctx = Ctx();
    EngineStore& st = ctx.engine;
    InputCapacitorStateRec& cap = ctx.inputCapacitor;
    st.bulkVoltage = st.bulk.e - st.bulk.z * st.bulkDraw;
    const double capCurrent = BranchCurrent(st.bulkCapacitor, st.bulkVoltage);
    cap.capacitorVoltage1 =
        UpdateCapacitorBranch(BulkCapacitor(*ctx.pLineSourceInput), StepFactor(), cap.capacitorVoltage1, capCurrent);
    cap.upperBulkCapacitorCurrent = capCurrent;
    cap.positiveCapacitorCurrent = capCurrent;
    cap.inputVoltage = st.bulkVoltage;
    st.lineFilterCurrent = capCurrent + st.bulkDraw;
    return Checked(st.bulkVoltage, cap.capacitorVoltage1);
}

int32_t AssembleLineFilterPass2() {
    AnalysisContext& ctx = Ctx();
    if (ctx.pSettings->lineFilterVariant != kLineFilterNone) return 0;
    ctx.linePhase[0].filterVoltage = ctx.engine.bulkVoltage;
    return 1;
}

int32_t AssembleLineSourcePass2() {
    AnalysisContext& ctx = Ctx();
    EngineStore& st = ctx.engine;
    LinePhaseStateRec& phase = ctx.linePhase[0];
    const double previous = phase.lineCurrentHeld;
    const double current = (st.lineSourceVoltage - st.line.e - st.bulkVoltage) / st.line.z;
    phase.lineCurrentHeld = current;
    phase.firstStageCapacitorCurrent = current;
    phase.firstInductorCurrentSlope = (current - previous) * StepFactor();
    phase.sourceVoltage = st.lineSourceVoltage;
    return Checked(current, phase.firstInductorCurrentSlope);
}

// ---- Output side, reverse ------------------------------------------------------------------

int32_t AssembleOutputChokePass2() {
    AnalysisContext& ctx = Ctx();
    for (int32_t j = Outputs() - 1; j >= 0; --j) {
        const OutputChokeInputRec& ci = *ctx.pOutputChokeInput[j];
        const OutputStepStore& o = ctx.engine.output[j];
        OutputChokeStateRec& ch = ctx.outputChoke[j];
        ch.currentSlope = (o.chokeCurrent - ch.chokeCurrent) * StepFactor();
        ch.chokeCurrent = o.chokeCurrent;
        ch.reportedChokeCurrent = o.chokeCurrent;
        ch.windingVoltage = o.chokeNodeVoltage - o.outputVoltage;
        if (ci.seriesElementOn)
            ch.currentSenseOutput = ci.seriesElementFactor *
                                    (ci.seriesResistance * o.chokeCurrent + ci.seriesInductance * ch.currentSlope);
    }
    return 1;
}

int32_t AssembleFirstStageFilterPass2() {
    AnalysisContext& ctx = Ctx();
    for (int32_t j = Outputs() - 1; j >= 0; --j) {
        const OutputStepStore& o = ctx.engine.output[j];
        OutputFilterStateRec& f = ctx.outputFilter[j];
        const double current = BranchCurrent(o.filterCapacitor, o.outputVoltage);
        f.capacitorVoltage =
            UpdateCapacitorBranch(FilterCapacitor(*ctx.pOutputFilterInput[j]), StepFactor(), f.capacitorVoltage, current);
        f.capacitorCurrent = current;
        f.capacitorVoltage1 = f.capacitorVoltage;
        f.capAVoltage = f.capacitorVoltage;
        f.capacitorCurrent1 = current;
        f.outputVoltage = o.outputVoltage;
        if (!Checked(f.capacitorVoltage, current)) return 0;
    }
    return 1;
}

int32_t AssembleSecondStageFilterPass2() {
    // "None": the load sits on the first stage's node.
    return 1;
}

int32_t AssembleLoadNetworkPass2() {
    AnalysisContext& ctx = Ctx();
    for (int32_t j = Outputs() - 1; j >= 0; --j) {
        const OutputStepStore& o = ctx.engine.output[j];
        LoadNetworkStateRec& lo = ctx.loadNetwork[j];
        const double current = BranchCurrent(o.load, o.outputVoltage);
        lo.resistorCurrent = current;
        lo.resistorVoltage = ctx.pLoadNetworkInput[j]->resistance * current;
        lo.loadCurrent = current;
        lo.outputNodeVoltage = o.outputVoltage;
    }
    return 1;
}
