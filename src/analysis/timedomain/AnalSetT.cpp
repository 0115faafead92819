#include "analysis/timedomain/AnalSetT.h"

#include <algorithm>
#include <cmath>

#include "analysis/context/AnalContext.h"
#include "analysis/models/AnalMCtl.h"
#include "records/Utils.h"

namespace {

// A timer at or below this is due now: a zero delay must switch at once, not never.
constexpr double kTimerDue = 5e-10;  // s
// A predicted current end this close counts as reached.
constexpr double kEventReached = 1.5e-10;  // s
constexpr double kStepGrowth = 2.0;
// Until the bulk reaches the error amplifier's turn-on level its reference stands at this
// mark (the references are locked out).
constexpr double kLockedReference = 1e-6;  // V

double OnTimeHold(const AnalysisContext* ctx) {
    const double fraction = ctx->pControlInput->clockBlankingFraction;
    return fraction > 0.0 ? fraction * ctx->stepState.switchingPeriod : 0.0;
}

void Land(StepStateRec& step, double t) {
    if (t > 0.0 && t < step.nextTimeStep) step.nextTimeStep = t;
}

// Predicted end of a falling current as an event proposal.
void ProposeCurrentEnd(StepStateRec& step, double current, double slope) {
    if (current > 0.0 && slope < 0.0) step.LimitTimeStep(-current / slope, 1, 1);
}

bool CurrentEnded(double current, double slope) {
    return current <= 0.0 || (slope < 0.0 && -current / slope <= kEventReached);
}

}  // namespace

int32_t DeterminePrimarySwitchState() {
    AnalysisContext* ctx = GetAnalysisContext();
    PrimaryStateRec& pri = ctx->primary;
    const int32_t before = pri.switchState;
    if (pri.switch1OnRequest) {
        pri.switch1OnRequest = 0;
        pri.switch1OffRequest = 0;
        pri.switch1Conducting = 1;
        pri.resetRectifiersOn = 0;
        pri.resetRectifiersOffRequest = 0;
        pri.switchState = 2;
    } else if (pri.switch1OffRequest) {
        pri.switch1OffRequest = 0;
        if (pri.switchState == 2) {
            pri.switch1Conducting = 0;
            pri.resetRectifiersOn = 1;
            pri.switchState = 1;
        }
    } else if (pri.switchState == 1 && pri.resetRectifiersOffRequest) {
        pri.resetRectifiersOffRequest = 0;
        pri.resetRectifiersOn = 0;
        pri.switchState = 0;
    }
    ctx->engine.switchStateChanged = pri.switchState != before;
    return 1;
}

int32_t UpdateControlSectionState() {
    AnalysisContext* ctx = GetAnalysisContext();
    StepStateRec& step = ctx->stepState;
    ControlStateRec& ctl = ctx->control;
    const ControlInputRec& ci = *ctx->pControlInput;
    const PrimaryInputRec& pi = *ctx->pPrimaryInput;
    EngineStore& st = ctx->engine;

    // The drive follows the PWM comparator; a clock that inhibits during its reset holds it
    // off while it falls, and the blanking holds it on for its share of the period.
    const bool inhibited = ci.clockEnabled && ci.clockInhibitDuringReset && ctl.clockSlope < 0.0;
    const bool currentLimited = ctl.comparatorAux > 0.5;
    const bool blanking = step.driveOn && step.time - step.lastDriveEdgeTime < OnTimeHold(ctx);
    const bool want = blanking || (ctl.pwmComparatorDifferential > 0.0 && !inhibited && !currentLimited);
    step.driveOnPrevious = step.driveOn;
    if (!step.driveOn && want) {
        step.driveOn = 1;
        step.lastDriveEdgeTime = step.time;
        ++step.driveEdgeCount;
        st.offEdgeTimer = -1.0;
        st.onEdgeTimer = pi.turnOnDelay;
        if (st.onEdgeTimer <= kTimerDue) {
            st.onEdgeTimer = -1.0;
            ctx->primary.switch1OnRequest = 1;
        }
    } else if (step.driveOn && !want) {
        step.driveOn = 0;
        if (st.onEdgeTimer > 0.0) {
            // The pulse ended before the switch followed it: it never turns on.
            st.onEdgeTimer = -1.0;
        } else {
            st.offEdgeTimer = currentLimited ? pi.stepSetupParamQ : pi.stepSetupParamP;
            if (st.offEdgeTimer <= kTimerDue) {
                st.offEdgeTimer = -1.0;
                ctx->primary.switch1OffRequest = 1;
            }
        }
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

    if (st.switchStateChanged || st.deviceEventThisStep) {
        step.nextTimeStep = std::min(step.nextTimeStep, set.stepSetupParamB);
    } else if (lastStep > 0.0) {
        step.nextTimeStep = std::min(step.nextTimeStep, kStepGrowth * std::max(lastStep, set.stepSetupParamB));
    }

    if (step.driveOn) Land(step, step.lastDriveEdgeTime + OnTimeHold(ctx) - step.time);
    Land(step, st.onEdgeTimer);
    Land(step, st.offEdgeTimer);
    if (ci.clockEnabled) {
        Land(step, TimeToClockTurn(ci, ctl));
        if (ctl.clockSlope > 0.0 && ctl.pwmComparatorDifferential > 0.0)
            Land(step, ctl.pwmComparatorDifferential / ctl.clockSlope);
    }

    const int32_t n = set.outputCount;
    for (int32_t j = 0; j < n; ++j) {
        const SecondaryRectifierStateRec& rs = ctx->secondaryRectifier[j];
        const OutputStepStore& o = st.output[j];
        if (rs.rectifier1On) ProposeCurrentEnd(step, o.forwardCurrent, o.forwardSlope);
        if (rs.diodeConducting) ProposeCurrentEnd(step, o.freewheelCurrent, o.freewheelSlope);
    }
    const PrimaryStateRec& pri = ctx->primary;
    if (pri.switchState == 1) ProposeCurrentEnd(step, pri.primaryWindingCurrent, st.primaryCurrentSlope);

    const double h = step.nextTimeStep;
    if (!(h > 0.0) || !std::isfinite(h)) return 0;
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
        feedback += ld.rippleWeight * ctx->outputFilter[j].outputVoltage / ld.outputVoltage;
    }
    feedback *= ci.feedbackGain;
    // The amplifier analysis opens the loop here and drives the amplifier's input itself.
    if (ctl.amplifierInputOn) feedback = ctl.amplifierInput;
    ctl.veaReferenceCopy = feedback;  // the amplifier's "Feedback Voltage"
    // The current feedback senses the primary current.
    ctl.currentFeedbackVoltage = ctx->primary.currentSenseOutput;

    // References run once the bulk has reached the turn-on level, and stop again only at or
    // below the turn-off level.
    const double bulk = ctx->inputCapacitor.inputVoltage;
    if (ctl.referenceLockout == 0 && bulk >= ci.lockoutLevelA) ctl.referenceLockout = 1;
    else if (ctl.referenceLockout == 1 && bulk <= ci.lockoutLevelB && ci.lockoutLevelB < ci.lockoutLevelA)
        ctl.referenceLockout = 0;
    const double reference = ctl.referenceLockout ? ci.veaReferenceValue : kLockedReference;
    ctl.veaReference = reference;

    const ErrorAmpT7 amp{ci.veaResistor1, ci.veaFeedbackResistor, ci.veaCapacitor3, ci.veaLowerLimit,
                         ci.errorUpperLimit};
    CalcVoltageErrorAmpT7(amp, feedback, reference, s, &ctl);
    ctl.limitedError = ctl.veaOutput;
    ctl.optoCoupledError = ctl.veaOutput;  // no opto-isolator: the amplifier drives the PWM

    double control = ctl.veaOutput + ctl.voltageLoopInjection;
    if (ci.softStartCapOn) {
        ctl.softStartCapVoltage = std::min(ctl.softStartCapVoltage + ci.softStartRate * h, ci.errorUpperLimit);
        if (ci.softStartControlOn) {
            ctl.softStartControl = ctl.softStartCapVoltage + ci.softStartOffset;
            control = std::min(control, ctl.softStartControl);
        }
    }
    ctl.pwmControlVoltage = control;

    if (ci.currentLimitEnabled) {
        const double sense = ctx->primary.currentSenseOutput;
        const double previous = ctl.currentLimitFeedback;
        ctl.currentLimitFeedback = CalcCurrentLimitFilter(sense, ci.currentLimitFilterResistance,
                                                          ci.currentLimitFilterCapacitance, s, previous);
        ctl.currentLimitFeedbackSlope = (ctl.currentLimitFeedback - previous) * s;
        if (step.driveOn && ctl.currentLimitFeedback >= ci.currentLimitThreshold) ctl.comparatorAux = 1.0;
    }

    if (ci.clockEnabled) {
        int32_t periodStart = 0;
        AdvanceSawtoothClock(ci, ctl, h, &periodStart);
        if (periodStart) {
            step.cycleTime = 0.0;
            ctl.comparatorAux = 0.0;
        }
    }
    ctl.pwmComparatorInverting = ctl.clockVoltage;
    ctl.pwmComparatorNonInverting = control;
    ctl.comparatorCopy = control;
    const double previousDecision = ctl.pwmComparatorDifferential;
    ctl.pwmComparatorDifferential = control - ctl.clockVoltage;
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

    if (st.onEdgeTimer > 0.0) {
        st.onEdgeTimer -= h;
        if (st.onEdgeTimer <= kTimerDue) {
            st.onEdgeTimer = -1.0;
            pri.switch1OnRequest = 1;
        }
    }
    if (st.offEdgeTimer > 0.0) {
        st.offEdgeTimer -= h;
        if (st.offEdgeTimer <= kTimerDue) {
            st.offEdgeTimer = -1.0;
            pri.switch1OffRequest = 1;
        }
    }

    int32_t event = 0;
    if (pri.switchState == 1 && CurrentEnded(pri.primaryWindingCurrent, st.primaryCurrentSlope)) {
        pri.resetRectifiersOffRequest = 1;
        event = 1;
    }
    for (int32_t j = 0; j < set.outputCount; ++j) {
        SecondaryRectifierStateRec& rs = ctx->secondaryRectifier[j];
        const SecondaryRectifierInputRec& ri = *ctx->pSecondaryRectifierInput[j];
        const OutputStepStore& o = st.output[j];
        if (rs.rectifier1On) {
            if (CurrentEnded(o.forwardCurrent, o.forwardSlope)) {
                rs.rectifier1On = 0;
                event = 1;
            }
        } else if (o.forwardVoltage > ri.diodeDrop) {
            rs.rectifier1On = 1;
            event = 1;
        }
        if (rs.diodeConducting) {
            if (CurrentEnded(o.freewheelCurrent, o.freewheelSlope)) {
                rs.diodeConducting = 0;
                event = 1;
            }
        } else if (o.freewheelVoltage > ri.forwardVoltage) {
            rs.diodeConducting = 1;
            event = 1;
        }
        rs.outputConducting = rs.rectifier1On || rs.diodeConducting;
    }
    st.deviceEventThisStep = event;
    step.settlingFlagB = event;  // EventThisStep

    step.nextTimeStep = set.initialTimeStep;  // the largest step
    return 1;
}
