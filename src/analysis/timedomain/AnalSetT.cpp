#include "analysis/timedomain/AnalSetT.h"

#include <algorithm>
#include <cmath>

#include "analysis/context/AnalContext.h"
#include "analysis/models/AnalCtrlSrc.h"
#include "analysis/models/AnalMCtl.h"
#include "analysis/models/AnalMHyst.h"
#include "analysis/models/AnalMOpto.h"
#include "analysis/models/AnalMRamp.h"
#include "analysis/models/AnalMSync.h"
#include "analysis/models/AnalMVea.h"
#include "analysis/models/AnalMPri.h"
#include "analysis/timedomain/AnalEdge.h"
#include "analysis/timedomain/AnalABCS.h"
#include "analysis/timedomain/AnalLine.h"
#include "records/Utils.h"

namespace {

// The event mechanism's one rule: an event within the timer resolution of now is due now.
// Landing a step on it would take a step of rounding size (1e-21 s), whose 1/h terms swamp
// every state of the step; a zero delay must switch at once, not never.
constexpr double kTimerResolution = kTimerDue;  // s
constexpr double kStepGrowth = 2.0;
// Until the bulk reaches the error amplifier's turn-on level its reference stands at this
// mark (the references are locked out).
constexpr double kLockedReference = 1e-6;  // V
constexpr int32_t kAverageCurrentMode = 4;
constexpr int32_t kPeakCurrentMode = 0;
constexpr int32_t kFeedForwardMode = 1;
constexpr int32_t kHystereticMode = 3;
// The current limit lets go once its sense is this far under the threshold.
constexpr double kCurrentLimitMargin = 0.0001;  // V

double OnTimeHold(const AnalysisContext* ctx) {
    const double fraction = ctx->pControlInput->clockBlankingFraction;
    return fraction > 0.0 ? fraction * ctx->stepState.switchingPeriod : 0.0;
}

bool DueNow(double t) { return t <= kTimerResolution; }

// The step ends at the next event, t seconds ahead (t <= 0: none). What is due now happens
// at once where the set-up decides it (a timer, the drive's comparator): no step for it. A
// crossing that only the solve can show is passed with a step of the resolution instead,
// neither of rounding size nor a whole step beyond it.
void ProposeEvent(StepStateRec& step, double t, bool shownBySolve) {
    if (!(t > 0.0)) return;
    if (DueNow(t)) t = shownBySolve ? kTimerResolution : step.nextTimeStep;
    step.nextTimeStep = std::min(step.nextTimeStep, t);
}
void Land(StepStateRec& step, double t) { ProposeEvent(step, t, false); }
void Reach(StepStateRec& step, double t) { ProposeEvent(step, t, true); }

// Seconds until the PWM comparator's positive difference comes down to zero: the rising clock
// meets the control voltage, or in the ramp modes the ramp does; -1 when it is not heading there.
double TimeToComparatorCrossing(const ControlInputRec& ci, const ControlStateRec& ctl) {
    if (!(ctl.pwmComparatorDifferential > 0.0)) return -1.0;
    if (ci.controlMode == kPeakCurrentMode || ci.controlMode == kFeedForwardMode)
        return ctl.pwmComparatorDifferentialSlope < 0.0
                   ? -ctl.pwmComparatorDifferential / ctl.pwmComparatorDifferentialSlope
                   : -1.0;
    return ctl.clockSlope > 0.0 ? ctl.pwmComparatorDifferential / ctl.clockSlope : -1.0;
}

// Predicted end of a falling current as an event proposal.
void ProposeCurrentEnd(StepStateRec& step, double current, double slope, int32_t shrink = 1) {
    if (current > 0.0 && slope < 0.0) step.LimitTimeStep(-current / slope, shrink, 1);
}

// The devices that carry the core's current once switch 1 is off (the active clamp's
// switches follow their own timers).
void TurnOnResetPath(PrimaryStateRec& pri, int32_t topology) {
    if (IsPassiveClamp(topology)) pri.clampRectifierOn = 1;
    else if (IsResetWinding(topology)) pri.resetRectifierOn = 1;
    else if (!IsResonantReset(topology)) pri.resetRectifiersOn = 1;
}

bool Above(double v, double threshold) { return v != NOT_SET && threshold != NOT_SET && v > threshold; }

// While the transformer rests its reset path blocks; a winding that swings the path's
// diodes forward makes them conduct like any diode.
bool ResetPathForwardBiased(const AnalysisContext& ctx) {
    const PrimaryInputRec& pi = *ctx.pPrimaryInput;
    const PrimaryStateRec& p = ctx.primary;
    const int32_t topology = pi.topology;
    if (IsPassiveClamp(topology)) return Above(p.resetDiodeVoltage, pi.sectionQuantityParamH);
    if (IsResetWinding(topology)) return Above(p.senseAmpVoltage, pi.sectionQuantityParamJ);
    if (IsResonantReset(topology) || IsActiveClamp(topology)) return false;
    return Above(p.diode1Voltage, pi.sectionQuantityParamI) && Above(p.diode2Voltage, pi.sectionQuantityParamI);
}

// At each rising drive edge of hysteretic control: the period since the last one joins the
// running mean, and a new switching cycle starts (a very short first one is not counted).
void MeasureHystereticPeriod(StepStateRec& step) {
    if (step.stepCount == 0) step.driveEdgeCount = 0;
    if (step.driveEdgeCount != 0) {
        const double period = step.time - step.lastDriveEdgeTime;
        const double n = static_cast<double>(step.driveEdgeCount);
        const double mean = ((n - 1.0) * step.switchingPeriod + period) / n;
        step.switchingPeriod = mean;
        if (!step.settling && (period > 10.0 * mean || period < 0.1 * mean)) step.periodIrregular = 1;
    }
    if (step.cycleTime > step.switchingPeriod / 8.0 || step.periodCount != 0) ++step.periodCount;
    step.cycleTime = 0.0;
    step.settlingFlagA = 1;  // OnEdgeArmed
}

// A control-side source for this step: its phase moved on by the step, then its sine, offset
// and transient table. A source that has never run starts at phase 0.
int32_t StepControlSource(AnalysisContext& ctx, int table, double amplitude, double offset, double frequency,
                          double* phase, double* value) {
    constexpr double kTwoPi = 6.283185307179586;
    if (!(*phase >= 0.0 && *phase < kTwoPi)) *phase = 0.0;
    if (frequency > 0.0) *phase = std::fmod(*phase + kTwoPi * frequency * ctx.stepState.inverseTimeStepTermA, kTwoPi);
    TimeMagnitudeTable101* t = ctx.pTable101[table];
    int32_t active = 1;
    return EvalPwlAcSource(t, t ? &t->cursor : nullptr, value, nullptr, &active, amplitude, offset, *phase);
}

// The injections play in a turn-on or steady-state run and while a sweep settles; a sweep
// writes its own injection afterwards.
bool InjectionsPlay(const AnalysisContext& ctx) {
    return ctx.pSettings->analysisKind <= 1 || ctx.stepState.settling;
}

}  // namespace

int32_t DeterminePrimarySwitchState() {
    AnalysisContext* ctx = GetAnalysisContext();
    PrimaryStateRec& pri = ctx->primary;
    const int32_t before = pri.switchState;
    const int32_t topology = ctx->pPrimaryInput->topology;
    if (IsActiveClamp(topology)) {
        DetermineActiveClampState(*ctx);
    } else if (pri.switch1OnRequest) {
        pri.switch1OnRequest = 0;
        pri.switch1OffRequest = 0;
        pri.switch1Conducting = 1;
        pri.resetRectifiersOn = 0;
        pri.resetRectifiersOffRequest = 0;
        pri.clampRectifierOn = 0;
        pri.clampRectifierOffRequest = 0;
        pri.resetRectifierOn = 0;
        pri.resetRectifierOffRequest = 0;
        pri.switch1DiodeConducting = 0;  // the channel takes the body diode's current
        pri.switchState = 2;
    } else if (pri.switch1OffRequest) {
        pri.switch1OffRequest = 0;
        if (pri.switchState == 2) {
            pri.switch1Conducting = 0;
            TurnOnResetPath(pri, ctx->pPrimaryInput->topology);
            pri.switchState = 1;
        }
    } else if (pri.switchState == 0 && ctx->engine.resetPathOnRequest) {
        TurnOnResetPath(pri, ctx->pPrimaryInput->topology);
        pri.switchState = 1;
    } else if (pri.switchState == 1 &&
               (pri.resetRectifiersOffRequest || pri.clampRectifierOffRequest || pri.resetRectifierOffRequest)) {
        pri.resetRectifiersOffRequest = 0;
        pri.resetRectifiersOn = 0;
        pri.resetRectifierOffRequest = 0;
        pri.resetRectifierOn = 0;
        pri.clampRectifierOffRequest = 0;
        pri.clampRectifierOn = 0;
        pri.switchState = 0;
    }
    ctx->engine.resetPathOnRequest = 0;
    if (IsResonantReset(topology) || IsActiveClamp(topology)) SettleResetInterval(*ctx);
    ctx->engine.switchStateChanged = pri.switchState != before;
    return 1;
}

int32_t UpdateControlSectionState() {
    AnalysisContext* ctx = GetAnalysisContext();
    StepStateRec& step = ctx->stepState;
    ControlStateRec& ctl = ctx->control;
    const ControlInputRec& ci = *ctx->pControlInput;
    EngineStore& st = ctx->engine;

    // The drive follows the PWM comparator; a clock that inhibits during its reset holds it
    // off while it falls, and the blanking holds it on for its share of the period.
    const bool inhibited = ci.clockEnabled && ci.clockInhibitDuringReset && ctl.clockSlope < 0.0;
    const bool currentLimited = ctl.comparatorAux > 0.5;
    const bool blanking = step.driveOn && step.time - step.lastDriveEdgeTime < OnTimeHold(ctx);
    // One pulse per clock period: an off edge holds the drive off until the next period starts,
    // so that a control voltage riding on the sensed ripple (average current) or a ramp's
    // reset cannot start a second pulse. Hysteretic control has no clock periods.
    // A crossing within the timer resolution is due now, like a timer: what is left of it after
    // the last step landed on it is rounding.
    const bool hysteretic = ci.controlMode == kHystereticMode;
    const bool onePulsePerPeriod = ci.clockEnabled && !hysteretic;
    bool want = false;
    if (hysteretic) {
        // The comparator alone: its difference turns the drive either way, the window it
        // opens holding it there; a crossing due within the resolution has happened.
        const double t = TimeToHystereticCrossing(ctl);
        const bool flips = t >= 0.0 && DueNow(t);
        want = ((ctl.pwmComparatorDifferential > 0.0) != flips) && !currentLimited;
    } else {
        const double crossing = TimeToComparatorCrossing(ci, ctl);
        const bool compared = ctl.pwmComparatorDifferential > 0.0 && !(crossing >= 0.0 && DueNow(crossing));
        want = blanking || (compared && !inhibited && !currentLimited && !st.pulseEnded);
    }
    step.driveOnPrevious = step.driveOn;
    if (!step.driveOn && want) {
        step.driveOn = 1;
        if (hysteretic) MeasureHystereticPeriod(step);
        ctx->primary.switch1FlagA = 1;
        step.lastDriveEdgeTime = step.time;
        ++step.driveEdgeCount;
        BeginDriveOnEdge(*ctx);
    } else if (step.driveOn && !want) {
        step.driveOn = 0;
        if (onePulsePerPeriod) st.pulseEnded = 1;
        BeginDriveOffEdge(*ctx, currentLimited);
    }
    return 1;
}

int32_t DetermineTimeStep() {
    AnalysisContext* ctx = GetAnalysisContext();
    StepStateRec& step = ctx->stepState;
    const AnalysisSettingsRec& set = *ctx->pSettings;
    const ControlInputRec& ci = *ctx->pControlInput;
    const ControlStateRec& ctl = ctx->control;
    EngineStore& st = ctx->engine;
    const double lastStep = step.inverseTimeStepTermA;

    // An output rectifier whose current runs out leaves its choke's current flowing on
    // smoothly: the step picks up where the approach to it began rather than at the
    // commutation step. A control that senses the filter capacitors' current sees that
    // current jump, so there the step restarts.
    const bool resume = st.outputCurrentEndsOnly && ci.senseSource != 2;
    if (st.switchStateChanged || (st.deviceEventThisStep && !resume)) {
        step.nextTimeStep = std::min(step.nextTimeStep, set.stepSetupParamB);
        st.stepRampPeak = 0.0;
    } else if (st.deviceEventThisStep) {
        step.nextTimeStep = std::min(step.nextTimeStep, std::max(set.stepSetupParamB, st.stepRampPeak));
    } else if (lastStep > 0.0) {
        step.nextTimeStep = std::min(step.nextTimeStep, kStepGrowth * std::max(lastStep, set.stepSetupParamB));
    }

    if (step.driveOn) Reach(step, step.lastDriveEdgeTime + OnTimeHold(ctx) - step.time);
    Land(step, NextEdgeTimer(st, set.outputCount));
    // A switch request raised without a delay is due now, and the switch's new state shows
    // only through a solve: it is passed like a crossing, not after a whole step in its old state.
    const PrimaryStateRec& requests = ctx->primary;
    if (requests.switch1OnRequest || requests.switch1OffRequest || requests.clampSwitchOnRequest ||
        requests.clampSwitchOffRequest)
        Reach(step, kTimerResolution);
    if (ci.controlMode == kHystereticMode) Reach(step, TimeToHystereticCrossing(ctl));
    if (ci.clockEnabled) {
        Reach(step, TimeToClockTurn(ci, ctl));
        // In the ramp modes the ramp, not the clock, meets the control voltage.
        const bool rampMode = ci.controlMode == kPeakCurrentMode || ci.controlMode == kFeedForwardMode;
        if (step.driveOn || !rampMode) Land(step, TimeToComparatorCrossing(ci, ctl));
    }
    // The current limit ends the pulse where its filtered sense crosses the threshold: land there.
    if (ci.currentLimitEnabled && step.driveOn && ctl.comparatorAux <= 0.5 && ctl.currentLimitFeedbackSlope > 0.0 &&
        ctl.currentLimitFeedback < ci.currentLimitThreshold)
        Reach(step, (ci.currentLimitThreshold - ctl.currentLimitFeedback) / ctl.currentLimitFeedbackSlope);

    // A time-domain run steps straight onto an output rectifier's predicted current end. A
    // sweep closes in on it in shrinking steps: its small-signal phase shows any shift of the
    // commutation from one period to the next.
    const int32_t shrink = set.analysisKind >= 2 ? 1 : 0;
    const int32_t n = set.outputCount;
    for (int32_t j = 0; j < n; ++j) {
        const SecondaryRectifierStateRec& rs = ctx->secondaryRectifier[j];
        const OutputStepStore& o = st.output[j];
        // A driven channel's current passes through zero without an event.
        if (rs.rectifier1On && !rs.switchPathAOn) ProposeCurrentEnd(step, o.forwardCurrent, o.forwardSlope, shrink);
        if (rs.diodeConducting && !rs.switchPathBOn)
            ProposeCurrentEnd(step, o.freewheelCurrent, o.freewheelSlope, shrink);
    }
    const PrimaryStateRec& pri = ctx->primary;
    if (ResetInterval(pri.switchState)) ProposeCurrentEnd(step, pri.primaryWindingCurrent, st.primaryCurrentSlope);
    if (ResetInterval(pri.switchState)) ProposeCurrentEnd(step, pri.resetWindingCurrent, st.resetCurrentSlope);
    // The active clamp's switch 1 body diode carries a negative current up to zero.
    if (pri.switchState == 2 && !pri.switch1Conducting && pri.switch1DiodeConducting)
        ProposeCurrentEnd(step, -pri.primaryWindingCurrent, -st.primaryCurrentSlope);
    ProposeLineDiodeEvents(step);
    ProposeFilterSenseEvents(step);

    const double h = step.nextTimeStep;
    if (!(h > 0.0) || !std::isfinite(h)) return 0;
    st.stepRampPeak = std::max(st.stepRampPeak, h);
    step.time += h;
    step.cycleTime += h;
    step.inverseTimeStep = 1.0 / h;
    step.inverseTimeStepTermA = h;
    return 1;
}

int32_t CalcControlSectionQuantities() {
    AnalysisContext* ctx = GetAnalysisContext();
    StepStateRec& step = ctx->stepState;
    const AnalysisSettingsRec& set = *ctx->pSettings;
    const ControlInputRec& ci = *ctx->pControlInput;
    ControlStateRec& ctl = ctx->control;
    const double s = step.inverseTimeStep;
    const double h = step.inverseTimeStepTermA;

    // Feedback: each output's voltage over its target, weighted, scaled to the reference,
    // so that the error amplifier sees its reference when every output is on target.
    double feedback = 0.0;
    for (int32_t j = 0; j < set.outputCount; ++j) {
        const LoadNetworkInputRec& ld = *ctx->pLoadNetworkInput[j];
        const double dutyWeight = ctx->pSecondaryRectifierInput[j]->dutyWeight;
        const double modulator = dutyWeight != 0.0 ? dutyWeight * ctx->secondaryRectifier[j].modulatorVoltage : 0.0;
        feedback += (modulator + ld.rippleWeight * ctx->outputFilter[j].outputVoltage) / ld.outputVoltage;
    }
    feedback *= ci.feedbackGain;
    // The amplifier analysis opens the loop here and drives the amplifier's input itself.
    if (ctl.amplifierInputOn) feedback = ctl.amplifierInput;
    ctl.veaReferenceCopy = feedback;  // the amplifier's "Feedback Voltage"
    // The current feedback senses the primary current, or the chokes' by their weights; in
    // feed-forward control it is the bulk voltage that charges the ramp.
    if (ci.controlMode == kFeedForwardMode) {
        ctl.currentFeedbackVoltage = ctx->inputCapacitor.inputVoltage;
    } else if (ci.senseSource == 1 || ci.senseSource == 2) {
        // The chokes' sense outputs, or the first stages' capacitor current sense outputs.
        double sensed = 0.0;
        for (int32_t j = set.outputCount - 1; j >= 0; --j)
            sensed += ctx->pOutputChokeInput[j]->senseWeight * (ci.senseSource == 1
                                                                    ? ctx->outputChoke[j].currentSenseOutput
                                                                    : ctx->outputFilter[j].currentSenseOutput);
        ctl.currentFeedbackVoltage = sensed;
    } else {
        ctl.currentFeedbackVoltage = ctx->primary.currentSenseOutput;
    }

    // The references are locked out until the bulk has reached the turn-on level, and locked
    // out again only at or below the turn-off level.
    const double bulk = ctx->inputCapacitor.inputVoltage;
    if (ctl.referenceLockout && bulk >= ci.lockoutLevelA) ctl.referenceLockout = 0;
    else if (!ctl.referenceLockout && bulk <= ci.lockoutLevelB && ci.lockoutLevelB < ci.lockoutLevelA)
        ctl.referenceLockout = 1;
    const bool referencesRun = !ctl.referenceLockout;
    double reference = kLockedReference;
    if (referencesRun && ci.veaReferenceAcOn) {
        if (!StepControlSource(*ctx, kVeaReferenceTable, ci.veaReferenceAmplitude, ci.veaReferenceValue,
                               ci.veaReferenceFrequency, &ctl.veaReferencePhase, &reference))
            return 0;
    } else if (referencesRun) {
        reference = ci.veaReferenceValue;
    }
    ctl.veaReference = reference;
    // The opto-isolator's reference source, held like the other references while they are
    // locked out; the op-amp inverter of the arrangements that have one regulates to it.
    const bool optoChosen = ci.optoVariant >= 0 && ci.optoVariant <= 5;
    if (optoChosen) {
        double optoReference = kLockedReference;
        if (referencesRun &&
            !StepControlSource(*ctx, kOptoReferenceTable, ci.optoReferenceAmplitude, ci.optoReferenceValue,
                               ci.optoReferenceFrequency, &ctl.optoReferencePhase, &optoReference))
            return 0;
        ctl.optoReferenceVoltage = optoReference;
    }

    // The current limit may restart the soft start: its filtered sense of the last step at or
    // above both its own threshold and the reset's.
    if (ci.currentLimitEnabled && ci.softStartResetEnabled && ci.softStartResetArmed &&
        ctl.currentLimitFeedback >= ci.currentLimitThreshold && ctl.currentLimitFeedback >= ci.softStartResetThreshold)
        ctl.softStartCapVoltage = 0.0;

    // The soft start charges only while the references run; it holds the error amplifier's
    // upper clamp down with it, so the amplifier never winds up past the drive it allows.
    if (ci.softStartCapOn) {
        if (referencesRun && ctl.softStartCapVoltage < kSoftStartTop)
            ctl.softStartCapVoltage += ci.softStartRate * h;
        if (ci.softStartControlOn) ctl.softStartControl = ctl.softStartCapVoltage + ci.softStartOffset;
    }
    ctl.errorUpperClamp = ci.softStartCapOn ? std::min(ci.errorUpperLimit, ctl.softStartControl) : ci.errorUpperLimit;
    VeaNetwork vea = VeaNetworkOf(ci);
    vea.upper = ctl.errorUpperClamp;
    if (!CalcVoltageErrorAmp(vea, feedback, reference, s, &ctl)) return 0;
    OptoNetwork opto = OptoNetworkOf(ci);
    if (optoChosen) opto.ampReference = ctl.optoReferenceVoltage;
    // A driver source taken from an output follows that output's voltage.
    if (ci.optoDriveSource >= 1 && ci.optoDriveSource <= set.outputCount)
        opto.driveVoltage = ctx->outputFilter[ci.optoDriveSource - 1].outputVoltage;
    if (!CalcOptoIsolator(opto, ctl.veaOutput, s, &ctl)) return 0;

    // The error and current-loop injection sources.
    if (InjectionsPlay(*ctx)) {
        if (ci.errorInjectionOn) {
            if (!StepControlSource(*ctx, kErrorInjectionTable, ci.errorInjectionAmplitude, ci.errorAmpOffset,
                                   ci.errorInjectionFrequency, &ctl.errorInjectionPhase, &ctl.errorInjection))
                return 0;
        } else {
            ctl.errorInjection = ci.errorAmpOffset != NOT_SET ? ci.errorAmpOffset : 0.0;
        }
        ctl.currentSourceInjection = ci.currentInjectionOffset;
        if (ci.currentInjectionOn &&
            !StepControlSource(*ctx, kCurrentInjectionTable, ci.currentInjectionAmplitude, ci.currentInjectionOffset,
                               ci.currentInjectionFrequency, &ctl.currentInjectionPhase, &ctl.currentSourceInjection))
            return 0;
    } else {
        // A sweep silences the sources' sines: their offsets stay.
        if (ctl.errorInjection == NOT_SET) ctl.errorInjection = ci.errorAmpOffset != NOT_SET ? ci.errorAmpOffset : 0.0;
        ctl.currentSourceInjection = ci.currentInjectionOffset;
    }

    // The voltage-loop analysis injects its sine between the error amplifier and the modulator.
    const double error = ctl.optoCoupledError + ctl.voltageLoopInjection;
    const double control = (ci.softStartCapOn ? std::min(error, ctl.softStartControl) : error) + ctl.errorInjection;
    ctl.limitedError = control;
    ctl.pwmControlVoltage = control;
    ctl.currentLoopInjection = ctl.currentSourceInjection + ctl.currentLoopSweepInjection;
    // Average current control: the current error amplifier holds the sensed current at the
    // limited error voltage, and its output sets the duty.
    if (ci.controlMode == kAverageCurrentMode) {
        if (!CalcCurrentErrorAmp(CurrentAmpNetworkOf(ci), ctl.currentFeedbackVoltage + ctl.currentLoopInjection,
                                 control, s, &ctl))
            return 0;
        ctl.pwmControlVoltage = ctl.currentEaOutput;
    }

    if (ci.currentLimitEnabled) {
        // The limit senses the primary current, or the chokes' by the current limit network's
        // weights.
        double sense = ctx->primary.currentSenseOutput;
        if (ci.currentSenseSource) {
            sense = 0.0;
            for (int32_t j = set.outputCount - 1; j >= 0; --j)
                sense += ctx->pOutputChokeInput[j]->currentSenseWeight * ctx->outputChoke[j].currentSenseOutput;
        }
        const double previous = ctl.currentLimitFeedback;
        ctl.currentLimitFeedback = CalcCurrentLimitFilter(sense, ci.currentLimitFilterResistance,
                                                          ci.currentLimitFilterCapacitance, s, previous);
        ctl.currentLimitFeedbackSlope = (ctl.currentLimitFeedback - previous) * s;
        if (step.driveOn && ctl.currentLimitFeedback >= ci.currentLimitThreshold) ctl.comparatorAux = 1.0;
        // Without a clock to start the next period, the limit lets go once the drive is off and
        // the sense has fallen under the threshold.
        else if (ci.controlMode == kHystereticMode && !step.driveOn &&
                 ctl.currentLimitFeedback + kCurrentLimitMargin <= ci.currentLimitThreshold)
            ctl.comparatorAux = 0.0;
    }

    if (ci.clockEnabled) {
        int32_t periodStart = 0;
        AdvanceSawtoothClock(ci, ctl, h, &periodStart);
        if (periodStart) {
            StartTransitionPeriod(*ctx);
            // A sweep warns when a whole period passed with the drive on, or without a pulse.
            if (set.analysisKind >= 2 && ci.controlMode != kHystereticMode) {
                if (step.driveOn || !ctx->primary.switch1FlagA) ctl.controlFlagA = 1;
                ctx->primary.switch1FlagA = 0;
            }
            step.cycleTime = 0.0;
            ctl.comparatorAux = 0.0;
            ctx->engine.pulseEnded = 0;
        }
    }
    double inverting = ctl.clockVoltage;
    if (ci.controlMode == kPeakCurrentMode) {
        if (!SolveCurrentRampNetwork(RampNetworkOf(ci), ctl.currentFeedbackVoltage + ctl.currentLoopInjection,
                                     ctl.clockVoltage, s, &ctl))
            return 0;
        inverting = ctl.rampCapacitorVoltage;
    } else if (ci.controlMode == kFeedForwardMode) {
        if (!SolveFeedForwardRamp(ci, ctl.currentFeedbackVoltage, step.driveOn != 0, s, &ctl)) return 0;
        inverting = ctl.rampCapacitorVoltage;
    } else if (ci.controlMode == kHystereticMode) {
        // The sensed current against the window the comparator's output sets around the
        // control voltage.
        const HystNetwork hn = HystNetworkOf(ci);
        ctl.controlReference = HystereticLogicLevel(ci, ctx->inputCapacitor.inputVoltage);
        if (!SolveHystereticSenseFilter(hn, ctl.currentFeedbackVoltage, ctl.currentLoopInjection, s, &ctl)) return 0;
        const double comparatorOutput = step.driveOn ? ctl.controlReference : 0.0;
        if (!SolveHystereticComparatorNetwork(hn, comparatorOutput, ctl.pwmControlVoltage, s, &ctl)) return 0;
        inverting = ctl.rampCapacitorVoltage;
    }
    ctl.pwmComparatorInverting = inverting;
    if (ci.controlMode != kHystereticMode) ctl.pwmComparatorNonInverting = ctl.pwmControlVoltage;
    ctl.comparatorCopy = ctl.pwmComparatorNonInverting;
    const double previousDecision = ctl.pwmComparatorDifferential;
    ctl.pwmComparatorDifferential = ctl.pwmComparatorNonInverting - inverting;
    ctl.pwmComparatorDifferentialSlope = (ctl.pwmComparatorDifferential - previousDecision) * s;

    if (set.loggingOn && CheckFloatingPointStatus()) return 0;
    return std::isfinite(control) ? 1 : 0;
}

int32_t DetermineTimeStepAfterStep() {
    AnalysisContext* ctx = GetAnalysisContext();
    StepStateRec& step = ctx->stepState;
    const AnalysisSettingsRec& set = *ctx->pSettings;
    EngineStore& st = ctx->engine;
    PrimaryStateRec& pri = ctx->primary;
    const double h = step.inverseTimeStepTermA;

    CountDownEdgeTimers(*ctx, h);

    int32_t event = 0;
    const int32_t topology = ctx->pPrimaryInput->topology;
    if (IsActiveClamp(topology)) {
        event = ActiveClampDiodeEvents(*ctx, pri.primaryWindingCurrent, st.primaryCurrentSlope);
    } else if (IsResonantReset(topology) && ResetInterval(pri.switchState)) {
        // The capacitor carries the primary current through zero: the off state lasts until
        // the next turn-on, the body diode holding the drain at the return when it rings back.
        if (!pri.switch1DiodeConducting && pri.switch1Voltage < -ctx->pPrimaryInput->switch1DiodeParamA) {
            pri.switch1DiodeConducting = 1;
            event = 1;
        } else if (pri.switch1DiodeConducting && pri.switch1Current >= 0.0) {
            pri.switch1DiodeConducting = 0;
            event = 1;
        }
    } else if (IsResetWinding(topology)) {
        if (pri.switchState == 1 && CurrentEnded(pri.resetWindingCurrent, st.resetCurrentSlope)) {
            pri.resetRectifierOffRequest = 1;
            event = 1;
        }
    } else if (pri.switchState == 1 && !IsActiveClamp(topology) &&
               CurrentEnded(pri.primaryWindingCurrent, st.primaryCurrentSlope)) {
        // The active clamp's switch carries the current through zero until the next turn-on.
        if (IsPassiveClamp(topology)) pri.clampRectifierOffRequest = 1;
        else pri.resetRectifiersOffRequest = 1;
        event = 1;
    }
    if (pri.switchState == 0 && ResetPathForwardBiased(*ctx)) {
        st.resetPathOnRequest = 1;
        event = 1;
    }
    int32_t currentEnd = 0;
    for (int32_t j = 0; j < set.outputCount; ++j) {
        SecondaryRectifierStateRec& rs = ctx->secondaryRectifier[j];
        const SecondaryRectifierInputRec& ri = *ctx->pSecondaryRectifierInput[j];
        const OutputStepStore& o = st.output[j];
        // A driven channel conducts whatever its current; its timers turn it on and off.
        if (SyncPosition(ri, 0) && rs.switchPathAOn) {
            if (!rs.rectifier1On) rs.rectifier1On = event = 1;
        } else if (rs.rectifier1On) {
            if (CurrentEnded(o.forwardCurrent, o.forwardSlope)) {
                rs.rectifier1On = 0;
                currentEnd = 1;
            }
        } else if (o.forwardVoltage > PositionDiode(ri, 0).forwardVoltage) {
            rs.rectifier1On = 1;
            event = 1;
        }
        if (SyncPosition(ri, 1) && rs.switchPathBOn) {
            if (!rs.diodeConducting) rs.diodeConducting = event = 1;
        } else if (rs.diodeConducting) {
            if (CurrentEnded(o.freewheelCurrent, o.freewheelSlope)) {
                rs.diodeConducting = 0;
                currentEnd = 1;
            }
        } else if (o.freewheelVoltage > PositionDiode(ri, 1).forwardVoltage) {
            rs.diodeConducting = 1;
            event = 1;
        }
        rs.outputConducting = rs.rectifier1On || rs.diodeConducting;
    }
    if (UpdateLineDiodeConduction()) event = 1;
    if (UpdateFilterSenseDiodes()) event = 1;
    st.outputCurrentEndsOnly = currentEnd && !event;
    event |= currentEnd;
    st.deviceEventThisStep = event;
    step.settlingFlagB = event;  // EventThisStep

    step.nextTimeStep = set.initialTimeStep;  // the largest step
    return 1;
}
