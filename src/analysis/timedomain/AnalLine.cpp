#include "analysis/timedomain/AnalLine.h"

#include <cmath>
#include <numbers>

#include "analysis/context/AnalContext.h"
#include "analysis/models/AnalCtrlSrc.h"
#include "analysis/models/AnalMBranch.h"
#include "analysis/models/AnalMLrc.h"
#include "records/Utils.h"

namespace {

constexpr UINT kModuleAnalSubs = 56028;
constexpr UINT kModuleAnalMLrc = 56022;
constexpr double kTwoPi = 2.0 * std::numbers::pi;
// A current end predicted this close counts as reached (as for the output rectifiers).
constexpr double kEventReached = 1.5e-10;  // s

struct LineDiodeFields {
    int32_t LineRectifierStateRec::*on;
    double LineRectifierStateRec::*current;
    double LineRectifierStateRec::*slope;
    double LineRectifierStateRec::*resistance;
    double LineRectifierStateRec::*voltage;
};
using R = LineRectifierStateRec;
constexpr LineDiodeFields kDiode[kLineDiodes] = {
    {&R::diode1State, &R::diode1Current, &R::diode1SecondCurrent, &R::diode1Resistance, &R::diode1Voltage},
    {&R::diode2State, &R::diode2Current, &R::diode2SecondCurrent, &R::diode2Resistance, &R::diode2Voltage},
    {&R::diode3State, &R::diode3Current, &R::diode3SecondCurrent, &R::diode3Resistance, &R::diode3Voltage},
    {&R::diode4State, &R::diode4Current, &R::diode4SecondCurrent, &R::diode4Resistance, &R::diode4Voltage},
    {&R::diode5State, &R::diode5Current, &R::diode5SecondCurrent, &R::diode5Resistance, &R::diode5Voltage},
    {&R::diode6State, &R::diode6Current, &R::diode6SecondCurrent, &R::diode6Resistance, &R::diode6Voltage},
    {&R::diode7State, &R::diode7Current, &R::diode7SecondCurrent, &R::diode7Resistance, &R::diode7Voltage},
    {&R::diode8State, &R::diode8Current, &R::diode8SecondCurrent, &R::diode8Resistance, &R::diode8Voltage},
};

int32_t Phases(const AnalysisContext& ctx) {
    const int32_t n = ctx.pSettings->linePhaseCount;
    return n >= 1 && n <= kMaxLinePhases ? n : 1;
}

CapacitorGroup BulkCapacitor(const LineSourceInputRec& in, double open) {
    return {open, in.outputCapacitorInductance, in.outputCapacitorResistance, in.sectionQuantityParamE,
            in.sectionQuantityParamF, in.outputCapacitance};
}

int32_t Fail(UINT module, int code, UINT message) {
    ReportMessage1(module, code, FALSE);
    if (message) ReportMessageFirstBox(message);
    return 0;
}

bool Checked(const AnalysisSettingsRec& set) { return set.loggingOn && CheckFloatingPointStatus(); }

}  // namespace

int32_t CalcLineSourceQuantities() {
    AnalysisContext* ctx = GetAnalysisContext();
    StepStateRec& step = ctx->stepState;
    const LineSourceInputRec& line = *ctx->pLineSourceInput;
    LineStepStore& ls = ctx->lineStep;
    const double h = step.inverseTimeStepTermA;
    const int32_t phases = Phases(*ctx);
    if (line.lineFrequency > 0.0)
        for (int32_t p = phases - 1; p >= 0; --p)
            ctx->linePhase[p].phase = std::fmod(ctx->linePhase[p].phase + kTwoPi * line.lineFrequency * h, kTwoPi);

    if (step.stepCount == 0) {
        ls.offsetActive = ls.magnitudeActive = 1;
        ls.offsetCursor = ls.magnitudeCursor = 0;
    }
    double offset = 0.0;
    double magnitude = 0.0;
    if (ls.offsetActive &&
        !InterpolateTimeMagnitudeTable(ctx->pTable101[kLineOffsetTable], &ls.offsetCursor, &offset, &ls.offsetActive))
        return Fail(kModuleAnalSubs, 7159, 0);
    if (ls.magnitudeActive && !InterpolateTimeMagnitudeTable(ctx->pTable101[kLineMagnitudeTable],
                                                             &ls.magnitudeCursor, &magnitude, &ls.magnitudeActive))
        return Fail(kModuleAnalSubs, 7160, 52089);
    step.lineMagnitudeNow = line.lineMagnitude + magnitude;
    for (int32_t p = phases - 1; p >= 0; --p)
        ctx->linePhase[p].lineVoltage =
            std::sin(ctx->linePhase[p].phase) * step.lineMagnitudeNow + line.lineOffset + offset;
    if (Checked(*ctx->pSettings) || !std::isfinite(ctx->linePhase[0].lineVoltage))
        return Fail(kModuleAnalSubs, 7161, 52089);
    return 1;
}

int32_t AssembleLineSidePass1(double s) {
    AnalysisContext* ctx = GetAnalysisContext();
    const AnalysisSettingsRec& set = *ctx->pSettings;
    const LineSourceInputRec& li = *ctx->pLineSourceInput;
    const InputCapacitorStateRec& cap = ctx->inputCapacitor;
    const LineRectifierStateRec& lr = ctx->lineRectifier;
    const double open = set.openResistance;
    LineSideInputs& in = ctx->lineStep.in;
    in.rectifierCase = set.lineRectifierVariant;
    in.doubledCapacitor = set.inputCapacitorVariant == 2 || set.inputCapacitorVariant == 3 ? 1 : 0;
    for (int32_t p = 0; p < kMaxLinePhases; ++p) {
        const LinePhaseStateRec& ph = ctx->linePhase[p];
        if (p >= Phases(*ctx)) {
            in.phase[p] = {open, 0.0};
            continue;
        }
        CalcInductorBranchCoeffs(li.lineInductance, li.lineResistance, s, ph.lineCurrentHeld, &in.phase[p]);
        in.phase[p].e = ph.lineVoltage - in.phase[p].e;
    }
    const uint32_t used = LineDiodesOfRectifierCase(in.rectifierCase);
    for (int32_t d = 0; d < kLineDiodes; ++d)
        if (used >> d & 1u)
            CalcRectifierCoeffs(lr.*kDiode[d].on, li.rectifierForwardVoltage, li.stepSetupParamA, open, &in.diode[d]);
    const CapacitorGroup bulk = BulkCapacitor(li, open);
    CalcCapacitorBranchCoeffs(bulk, s, cap.capacitorVoltage1, cap.upperBulkCapacitorCurrent, &in.upperCapacitor);
    if (in.doubledCapacitor)
        CalcCapacitorBranchCoeffs(bulk, s, cap.capacitorVoltage2, cap.lowerBulkCapacitorCurrent, &in.lowerCapacitor);
    const int code = 11300 + 2 * (in.rectifierCase >= 0 && in.rectifierCase < kLineCases ? in.rectifierCase : 0);
    if (!CalcLineSideCoeffs(in, &ctx->lineStep.sol) || Checked(set)) return Fail(kModuleAnalMLrc, code, 52170);
    ctx->engine.bulk = {ctx->lineStep.sol.z, ctx->lineStep.sol.e};
    return 1;
}

int32_t AssembleLineSidePass2(double draw, double s) {
    AnalysisContext* ctx = GetAnalysisContext();
    const AnalysisSettingsRec& set = *ctx->pSettings;
    const LineSourceInputRec& li = *ctx->pLineSourceInput;
    const LineSideInputs& in = ctx->lineStep.in;
    LineSideSolution& sol = ctx->lineStep.sol;
    const int code = 11301 + 2 * (in.rectifierCase >= 0 && in.rectifierCase < kLineCases ? in.rectifierCase : 0);
    if (!UpdateLineSide(in, draw, &sol)) return Fail(kModuleAnalMLrc, code, 52170);
    const double vbulk = sol.e - sol.z * draw;

    for (int32_t p = 0; p < Phases(*ctx); ++p) {
        LinePhaseStateRec& ph = ctx->linePhase[p];
        const double previous = ph.lineCurrentHeld;
        ph.lineCurrentHeld = sol.phaseCurrent[p];
        ph.firstStageCapacitorCurrent = sol.phaseCurrent[p];
        ph.firstInductorCurrentSlope = (sol.phaseCurrent[p] - previous) * s;
        ph.sourceVoltage = ph.lineVoltage;
        ph.filterVoltage = sol.phaseTerminalVoltage[p];
    }

    LineRectifierStateRec& lr = ctx->lineRectifier;
    const uint32_t used = LineDiodesOfRectifierCase(in.rectifierCase);
    for (int32_t d = 0; d < kLineDiodes; ++d) {
        if (!(used >> d & 1u)) continue;
        const double previous = lr.*kDiode[d].current;
        lr.*kDiode[d].slope = previous == NOT_SET ? 0.0 : (sol.diodeCurrent[d] - previous) * s;
        lr.*kDiode[d].current = sol.diodeCurrent[d];
        lr.*kDiode[d].voltage = sol.diodeVoltage[d];
        lr.*kDiode[d].resistance = in.diode[d].z;
    }
    lr.positiveRectifierCurrent = sol.rectifierCurrent;
    lr.positiveRectifierVoltage = vbulk;

    InputCapacitorStateRec& cap = ctx->inputCapacitor;
    const CapacitorGroup bulk = BulkCapacitor(li, set.openResistance);
    cap.capacitorVoltage1 = UpdateCapacitorBranch(bulk, s, cap.capacitorVoltage1, sol.upperCapacitorCurrent);
    cap.upperBulkCapacitorCurrent = sol.upperCapacitorCurrent;
    cap.positiveCapacitorCurrent = sol.upperCapacitorCurrent;
    if (in.doubledCapacitor) {
        cap.capacitorVoltage2 = UpdateCapacitorBranch(bulk, s, cap.capacitorVoltage2, sol.lowerCapacitorCurrent);
        cap.lowerBulkCapacitorCurrent = sol.lowerCapacitorCurrent;
        cap.negativeCapacitorCurrent = sol.lowerCapacitorCurrent;
    }
    cap.inputVoltage = vbulk;
    if (Checked(set) || !std::isfinite(cap.capacitorVoltage1) || !std::isfinite(vbulk))
        return Fail(kModuleAnalMLrc, code, 52170);
    return 1;
}

void ProposeLineDiodeEvents(StepStateRec& step) {
    const AnalysisContext* ctx = GetAnalysisContext();
    const LineRectifierStateRec& lr = ctx->lineRectifier;
    const uint32_t used = LineDiodesOfRectifierCase(ctx->lineStep.in.rectifierCase);
    for (int32_t d = 0; d < kLineDiodes; ++d) {
        if (!(used >> d & 1u) || !(lr.*kDiode[d].on)) continue;
        const double current = lr.*kDiode[d].current, slope = lr.*kDiode[d].slope;
        if (current > 0.0 && slope < 0.0) step.LimitTimeStep(-current / slope, 1, 1);
    }
}

int32_t UpdateLineDiodeConduction() {
    AnalysisContext* ctx = GetAnalysisContext();
    LineRectifierStateRec& lr = ctx->lineRectifier;
    const double vf = ctx->pLineSourceInput->rectifierForwardVoltage;
    const uint32_t used = LineDiodesOfRectifierCase(ctx->pSettings->lineRectifierVariant);
    int32_t event = 0;
    for (int32_t d = 0; d < kLineDiodes; ++d) {
        if (!(used >> d & 1u)) continue;
        const double current = lr.*kDiode[d].current, slope = lr.*kDiode[d].slope;
        if (current == NOT_SET) continue;  // not through a step yet
        int32_t& on = lr.*kDiode[d].on;
        if (on) {
            if (current <= 0.0 || (slope < 0.0 && -current / slope <= kEventReached)) on = 0, event = 1;
        } else if (lr.*kDiode[d].voltage > vf) {
            on = 1, event = 1;
        }
    }
    return event;
}
