#include "analysis/models/AnalInit.h"

#include <cmath>
#include <numbers>

#include "analysis/context/AnalContext.h"
#include "analysis/models/AnalCtrlSrc.h"
#include "analysis/models/AnalInSS.h"
#include "analysis/models/AnalMWind.h"
#include "platform/core/FpStatus.h"
#include "records/Utils.h"

namespace {

constexpr UINT kModuleAnalInit = 56013;

void ResetOutputStore(OutputStepStore& o) { o = OutputStepStore(); }

// Plain-magnitude impedances of the filter check.
double InductorMagnitude(double w, double l, double r) { return w * l + r; }
double CapacitorMagnitude(double w, double l, double c, double r) { return w * l + 1.0 / (w * c) + r; }
double Parallel(double a, double b) { return 1.0 / (1.0 / a + 1.0 / b); }

double LineFilterImpedance(const LineSourceInputRec& in, double w) {
    double zs = InductorMagnitude(w, in.lineInductance, in.lineResistance);
    if (in.firstInductorOn) zs += InductorMagnitude(w, in.firstInductorInductance, in.firstInductorResistance);
    if (in.sourceOn)
        zs = Parallel(zs, CapacitorMagnitude(w, in.sourceBranchInductance, in.sourceBranchCapacitance,
                                             in.sourceBranchResistance));
    if (in.inputCapacitorOn)
        zs = Parallel(zs, CapacitorMagnitude(w, in.inputCapacitorInductance, in.inputCapacitance,
                                             in.inputCapacitorResistance + in.inputCapacitorExtraResistance));
    if (in.secondInductorOn) {
        double second = InductorMagnitude(w, in.secondInductorInductance, in.secondInductorResistance);
        if (in.dampingResistorOn) {
            double damping = InductorMagnitude(w, in.dampingResistorInductance, in.dampingResistance);
            if (in.dampingInductorOn)
                damping += InductorMagnitude(w, in.dampingInductorInductance, in.dampingInductorResistance);
            second = Parallel(second, damping);
        }
        zs += second;
    }
    double zo = CapacitorMagnitude(w, in.outputCapacitorInductance, in.outputCapacitance, in.outputCapacitorResistance);
    if (in.outputCapacitor2On)
        zo = Parallel(zo, CapacitorMagnitude(w, in.outputCapacitor2Inductance, in.outputCapacitor2Capacitance,
                                             in.outputCapacitor2Resistance + in.dampingCoeffB));
    if (in.outputCapacitorDoubled) zo *= 2.0;
    return Parallel(zo, zs);
}

}  // namespace

int32_t InitLineSourceQuantities() {
    AnalysisContext* ctx = GetAnalysisContext();
    StepStateRec& step = ctx->stepState;
    const AnalysisSettingsRec& set = *ctx->pSettings;
    const LineSourceInputRec& line = *ctx->pLineSourceInput;
    step.nextTimeStep = set.initialTimeStep;
    step.inverseTimeStepTermA = set.initialTimeStep;
    step.inverseTimeStep = 0.0;
    step.switchingPeriod = 0.0;
    step.lastDriveEdgeTime = 0.0;

    const int32_t phases = set.linePhaseCount;
    ctx->linePhase[0].phase = 0.0;
    if (phases == 2) ctx->linePhase[1].phase = std::numbers::pi;
    if (phases == 3) {
        ctx->linePhase[1].phase = 2.0 * std::numbers::pi / 3.0;
        ctx->linePhase[2].phase = 4.0 * std::numbers::pi / 3.0;
    }
    const int32_t used = phases >= 1 && phases <= kMaxLinePhases ? phases : 1;
    for (int32_t p = 0; p < used; ++p)
        ctx->linePhase[p].phaseVoltage = std::sin(ctx->linePhase[p].phase) * line.lineMagnitude + line.lineOffset;

    double offset = 0.0;
    double magnitude = 0.0;
    int32_t cursor = 0;
    int32_t active = 1;
    if (!InterpolateTimeMagnitudeTable(ctx->pTable101[kLineOffsetTable], &cursor, &offset, &active)) {
        ReportMessage1(kModuleAnalInit, 4900, FALSE);
        ReportMessageFirstBox(52183);
        return 0;
    }
    cursor = 0;
    active = 1;
    if (!InterpolateTimeMagnitudeTable(ctx->pTable101[kLineMagnitudeTable], &cursor, &magnitude, &active)) {
        ReportMessage1(kModuleAnalInit, 4901, FALSE);
        ReportMessageFirstBox(52183);
        return 0;
    }
    step.lineMagnitudeNow = line.lineMagnitude + magnitude;
    for (int32_t p = 0; p < used; ++p)
        ctx->linePhase[p].lineVoltage =
            std::sin(ctx->linePhase[p].phase) * step.lineMagnitudeNow + line.lineOffset + offset;
    if (CheckFloatingPointStatus()) {
        ReportMessage1(kModuleAnalInit, 4902, FALSE);
        ReportMessageFirstBox(52192);
        return 0;
    }
    return 1;
}

int32_t TurnOnInitialValues() {
    AnalysisContext* ctx = GetAnalysisContext();
    const AnalysisSettingsRec& set = *ctx->pSettings;
    const ControlInputRec& ci = *ctx->pControlInput;
    const PrimaryInputRec& pi = *ctx->pPrimaryInput;
    const double open = set.openResistance;

    InputCapacitorStateRec& cap = ctx->inputCapacitor;
    cap.inputVoltage = 0.0;
    cap.capacitorVoltage1 = 0.0;
    cap.upperBulkCapacitorCurrent = 0.0;
    if (set.inputCapacitorVariant == 2 || set.inputCapacitorVariant == 3) cap.capacitorVoltage2 = 0.0;

    ControlStateRec& ctl = ctx->control;
    ctl = ControlStateRec();
    ctl.controlReference = ci.controlMode == 3 && ci.referenceInPercent ? 0.0 : ci.referenceValue;

    for (int32_t p = 0; p < kMaxLinePhases; ++p) {
        LinePhaseStateRec& ph = ctx->linePhase[p];
        ph.lineCurrentHeld = 0.0;
        ph.startTermA = 0.0;
        ph.startValueCopy = ph.lineVoltage;
        ph.firstStageCapacitorCurrent = 0.0;
        ph.filterVoltage = 0.0;
    }

    ctx->stepState.switchingPeriod = set.switchingPeriodSetting;

    PrimaryStateRec& pri = ctx->primary;
    pri.switchState = 0;
    if (pi.hasClampCapacitor) {
        pri.clampCapacitorVoltage = 0.0;
        pri.clampCapacitorVoltageState = 0.0;
        pri.clampCapacitorCurrent = 0.0;
        pri.clampResistorCurrent = 0.0;
    }
    if (pi.clampCapacitorOn) {
        pri.capacitorVoltage = 0.0;
        pri.capacitorVoltageCopy = 0.0;
        pri.resetCapacitorCurrent = 0.0;
    }
    pri.clampRectifierOn = 0;
    pri.clampRectifierOffRequest = 0;
    pri.resetRectifierOn = 0;
    pri.resetRectifierOffRequest = 0;
    if (pi.resetWindingOn) {
        pri.resetWindingCurrent = 0.0;
        pri.resetWindingVoltage = 0.0;
    }
    pri.switch1DiodeConducting = 0;
    pri.switch1Conducting = 0;
    pri.switch1OnRequest = 0;
    pri.switch1OffRequest = 0;
    pri.resetRectifiersOn = 0;
    pri.resetRectifiersOffRequest = 0;
    pri.switch1Resistance = open;
    pri.switch1OffResistance = open;
    pri.diode1Resistance = open;
    pri.switch1Current = 0.0;
    pri.switch1Voltage = 0.0;
    pri.switch1VoltageCopy = 0.0;
    pri.switch2Current = 0.0;
    pri.switch2Voltage = 0.0;
    pri.diode1Current = 0.0;
    pri.diode2Current = 0.0;
    pri.diode1Voltage = 0.0;
    pri.diode2Voltage = 0.0;
    pri.primaryWindingCurrent = 0.0;
    pri.primaryWindingVoltage = 0.0;
    pri.transformerPrimaryCurrent = 0.0;
    pri.magnetizingCurrent = 0.0;
    pri.currentSenseResistorVoltage = 0.0;
    pri.currentSenseOutput = 0.0;
    pri.reflectedSecondaryCurrent = 0.0;

    EngineStore& st = ctx->engine;
    st.IdleEdgeTimers();
    st.switchStateChanged = 0;
    st.deviceEventThisStep = 0;
    st.stepRampPeak = 0.0;
    st.resetPathOnRequest = 0;
    st.currentLimitFiltered = 0.0;
    st.primaryCurrentSlope = 0.0;
    st.resetCurrentSlope = 0.0;
    for (int32_t j = 0; j < kMaxOutputs; ++j) {
        ResetOutputStore(st.output[j]);
        st.secondaryCurrent[j] = 0.0;
        SecondaryWindingStateRec& w = ctx->secondaryWinding[j];
        w.windingCurrent = 0.0;
        w.windingVoltage = 0.0;
        SecondaryRectifierStateRec& r = ctx->secondaryRectifier[j];
        r.rectifier1On = 0;
        r.diodeConducting = 0;
        r.switchPathAOn = r.switchPathBOn = r.secondDiodeConducting = r.bodyDiode2Conducting = 0;
        r.rectifier1Resistance = open;
        r.diodeResistance = open;
        r.bodyDiode2ResistanceNow = open;
        r.rectifierCurrent = 0.0;
        r.diodeCurrent = 0.0;
        r.rectifier1AnodeToCathodeCurrent = 0.0;
        r.rectifier1AnodeToCathodeVoltage = 0.0;
        r.rectifier2TotalAnodeToCathodeCurrent = 0.0;
        r.rectifierVoltage = 0.0;
        r.chokeCurrentCopy = 0.0;
        r.rectifiedVoltage = 0.0;
        r.rectifierSectionInputVoltage = 0.0;
        OutputChokeStateRec& ch = ctx->outputChoke[j];
        ch.chokeCurrent = 0.0;
        ch.reportedChokeCurrent = 0.0;
        ch.currentSlope = 0.0;
        ch.windingVoltage = 0.0;
        ch.currentSenseOutput = 0.0;
        OutputFilterStateRec& f = ctx->outputFilter[j];
        f.capacitorVoltage = 0.0;
        f.capacitorCurrent = 0.0;
        f.outputVoltage = 0.0;
        // The capacitor current sense at rest: its diode open, its sense output at 0.
        f.filterFlagA = 0;
        f.csValue1 = f.senseXfmrSecondaryCurrent = f.senseDiodeCurrent = f.csValue12 = f.biasCurrent = 0.0;
        f.currentSenseOutput = 0.0;
        LoadNetworkStateRec& ld = ctx->loadNetwork[j];
        ld.resistorCurrent = 0.0;
        ld.resistorVoltage = 0.0;
        ld.loadCurrent = 0.0;
    }

    // The control elements at rest, then the values that are not zero at turn-on.
    ctl.errorAmpStateA = 0.0;
    ctl.errorAmpStateB = 0.0;
    ctl.errorAmpStateC = 0.0;
    ctl.errorAmpAux = 0.0;
    ctl.currentEaInvertingInput = 0.0;
    ctl.currentAmpStateA = 0.0;
    ctl.currentAmpStateB = 0.0;
    ctl.rampCapacitorVoltage = 0.0;
    ctl.clockDividerVoltage = 0.0;
    ctl.currentFeedbackVoltage = 0.0;
    ctl.veaReferenceCopy = 0.0;
    ctl.clockVoltage = 0.0;
    ctl.softStartCapVoltage = 0.0;
    ctl.softStartControl = ci.softStartControlOn ? ci.softStartOffset : 0.0;
    ctl.currentLimitFeedback = 0.0;
    ctl.pwmComparatorDifferential = 0.0;
    if (ci.veaOn) {
        ctl.veaInvertingInput = ci.veaReferenceValue;
        ctl.errorUpperClamp = ci.errorUpperLimit;
        ctl.veaClampValue = ci.errorUpperLimit;
        ctl.veaOutput = 0.0;
    }
    // The opto-isolator dark: no diode or collector current, its inverter linear.
    for (double* v : {&ctl.optoOutputCurrent, &ctl.optoTransferDrop, &ctl.optoOutputStageVoltage, &ctl.optoSupplyDrop,
                      &ctl.optoLedCurrent, &ctl.optoLimitDifference, &ctl.optoResistorCurrent, &ctl.optoNodeVoltage,
                      &ctl.optoCPoleCapacitorCurrent, &ctl.optoBranchCurrent, &ctl.optoDividerUpperDrop,
                      &ctl.optoDividerLowerDrop, &ctl.optoCoupledError})
        *v = 0.0;
    ctl.optoReferenceCopy = ci.optoVariant >= 3 && ci.optoVariant <= 5 ? ci.optoReferenceValue : 0.0;
    ctl.optoAmpClampState = 0;
    if (ci.clockEnabled) {
        ctl.clockVoltage = ci.clockUpperLimit;
        ctl.clockSlope = ci.clockFirstSlope;
    }
    if (ci.errorInjectionOn) ctl.errorInjection = ci.errorAmpOffset;
    // The hysteretic window at rest: C8 uncharged, the comparator output low.
    if (ci.hystOn) {
        ctl.hystFiltered = 0.0;
        ctl.pwmComparatorNonInverting = 0.0;
    }
    if (ci.hystAux1On) ctl.hystAux1 = 0.0;
    if (ci.hystAux2On) ctl.r10ResistorCurrent = ctl.hystAux3 = 0.0;
    if (ci.hystInputOn) ctl.hystInput = 0.0;
    ctx->stepState.driveOn = 0;
    ctx->stepState.driveOnPrevious = 0;

    if (CheckFloatingPointStatus()) {
        ReportMessage(52085, TRUE);
        return 0;
    }
    return 1;
}

int32_t CheckLineFilterImpedance() {
    AnalysisContext* ctx = GetAnalysisContext();
    const AnalysisSettingsRec& set = *ctx->pSettings;
    const LineSourceInputRec& line = *ctx->pLineSourceInput;
    double power = 0.0;
    const int32_t outputs = set.outputCount >= 1 && set.outputCount <= kMaxOutputs ? set.outputCount : 0;
    for (int32_t j = 0; j < outputs; ++j) {
        const LoadNetworkInputRec& ld = *ctx->pLoadNetworkInput[j];
        const double v = ld.outputVoltage;
        double i = ld.currentSourceOn ? ld.sourceCurrent : 0.0;
        if (ld.resistorOn) {
            const double r = ld.resistance + (ld.inductorOn ? ld.inductorResistance : 0.0);
            if (!ld.currentSourceOn) {
                i += v / r;
            } else {
                const double first = ld.firstResistance + ld.firstInductorResistance;
                i += (v - first * ld.sourceCurrent) / (r + first);
            }
        }
        power += v * i;
    }
    double zin = 1e8;
    bool onePass = true;
    if (power > 0.0) {
        const double vin = ctx->inputCapacitor.inputVoltage > 0.5 ? ctx->inputCapacitor.inputVoltage
                                                                   : line.lineMagnitude + line.lineOffset;
        zin = vin * vin / power;
        onePass = false;
    }
    // Without a switching period there is no upper frequency bound; the search then stops
    // after its first pass instead of dividing by zero.
    const double period = ctx->stepState.switchingPeriod;
    if (!(period > 0.0)) onePass = true;
    const double wMax = onePass ? 0.0 : (2.0 * std::numbers::pi / period) / 4.0;
    double w = 1000.0;
    double factor = 1.0;
    bool up = true;
    double zMax = 0.0;
    double zPrev = 0.0;
    for (int pass = 0;; ++pass) {
        const double zf = LineFilterImpedance(line, w);
        if (CheckFloatingPointStatus()) {
            ReportMessage1(kModuleAnalInit, 4903, FALSE);
            ReportMessageFirstBox(52088);
            return 0;
        }
        if (pass == 0) {
            zMax = zf;
        } else {
            if (zf > zMax) zMax = zf;
            if (zf < zPrev) {
                up = !up;
                factor /= 4.0;
            }
        }
        zPrev = zf;
        if (onePass || factor < 0.001 || w > wMax || w < 1.0 || pass > 999) break;
        w = up ? w * (1.0 + factor) : w - w * factor;
    }
    if (0.1 * zin < zMax) ReportMessage(53025, TRUE);
    return 1;
}

void StorePreviousStateVariables() {
    AnalysisContext* ctx = GetAnalysisContext();
    for (int32_t p = 0; p < kMaxLinePhases; ++p) ctx->linePhaseSnapshot[p].CopyFrom(ctx->linePhase[p]);
    ctx->lineRectifierSnapshot.CopyFrom(ctx->lineRectifier);
    ctx->inputCapacitorSnapshot.CopyFrom(ctx->inputCapacitor);
    ctx->primarySnapshot.CopyFrom(ctx->primary);
    const int32_t outputs = ctx->pSettings->outputCount;
    for (int32_t j = 0; j < outputs && j < kMaxOutputs; ++j) {
        ctx->secondaryWindingSnapshot[j].CopyFrom(ctx->secondaryWinding[j]);
        ctx->secondaryRectifierSnapshot[j].CopyFrom(ctx->secondaryRectifier[j]);
        ctx->outputChokeSnapshot[j].CopyFrom(ctx->outputChoke[j]);
        ctx->outputFilterSnapshot[j].CopyFrom(ctx->outputFilter[j]);
        ctx->loadNetworkSnapshot[j].CopyFrom(ctx->loadNetwork[j]);
    }
    ctx->controlSnapshot.CopyFrom(ctx->control);
}

int32_t InitializeAnalysis() {
    AnalysisContext* ctx = GetAnalysisContext();
    ResetFirstMessageFlag();
    // The run's floating-point checks judge its own arithmetic, not what an earlier run on
    // this thread left raised.
    fw::ClearFpStatus();
    ResetMagneticLosses(*ctx);
    if (!InitLineSourceQuantities()) {
        ReportMessage1(kModuleAnalInit, 4904, FALSE);
        ReportMessage(52085, TRUE);
        return 0;
    }
    if (ctx->pSettings->analysisKind != 0) {
        if (!ComputeSteadyStateInitialValues()) {
            ReportMessage1(kModuleAnalInit, 4906, FALSE);
            ReportMessage(52135, TRUE);
            return 0;
        }
    } else if (!TurnOnInitialValues()) {
        ReportMessage1(kModuleAnalInit, 4905, FALSE);
        ReportMessage(52085, TRUE);
        return 0;
    }
    CheckLineFilterImpedance();
    StorePreviousStateVariables();
    return 1;
}
