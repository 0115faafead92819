#include "analysis/context/AnalRec.h"

namespace {

// Time-step limits of the limiter (s).
constexpr double kEventShrinkAbove = 2e-8;  // event proposals above it shrink by 0.7, else by 0.8
constexpr double kMinOrdinaryStep = 1e-9;   // ordinary proposals never go below it
constexpr double kEventFloor = 1e-10;
// While a secondary rectifier still conducts across a switch-state change the events come
// much closer together, so the floor drops.
constexpr double kOverlapEventFloor = 1e-12;

void Limit(StepStateRec& step, const AnalysisSettingsRec* settings, double candidate, int32_t applyFactors,
           int32_t eventProposal) {
    if (!(candidate > 0.0)) return;  // zero, negative or not a number
    if (eventProposal) {
        // Step a little short of the predicted event, so that it falls inside the next step
        // rather than just past it.
        if (applyFactors) {
            if (candidate > kEventShrinkAbove) candidate *= 0.7;
            else if (candidate > kMinOrdinaryStep) candidate *= 0.8;
        }
        const double floor = step.commutationOverlap ? kOverlapEventFloor : kEventFloor;
        if (candidate < floor) candidate = floor;
        if (step.nextTimeStep > candidate) step.nextTimeStep = candidate;
        return;
    }
    if (!(step.nextTimeStep > kMinOrdinaryStep)) return;
    double work = candidate;
    if (applyFactors && settings) {
        if (candidate > settings->largeStepAttenuationLimit)
            work = settings->largeStepAttenuationFactor * candidate;
        else if (candidate > settings->smallStepAttenuationLimit)
            work = settings->smallStepAttenuationFactor * candidate;
    }
    if (work < kMinOrdinaryStep) {
        step.nextTimeStep = kMinOrdinaryStep;
        return;
    }
    if (step.nextTimeStep > work) step.nextTimeStep = work;
}

}  // namespace

void LimitTimeStep(StepStateRec& step, const AnalysisSettingsRec& settings, double candidate,
                   int32_t applyFactors, int32_t eventProposal) {
    Limit(step, &settings, candidate, applyFactors, eventProposal);
}

// Unbound (a record outside a context) the user's attenuation cannot apply: the proposal
// is taken as it is.
void StepStateRec::LimitTimeStep(double candidate, int32_t applyFactors, int32_t eventProposal) {
    Limit(*this, settings, candidate, applyFactors, eventProposal);
}

void LinePhaseSnapshot::CopyFrom(const LinePhaseStateRec& rec) {
    firstStageCapacitorCurrent = rec.firstStageCapacitorCurrent;
    sourceVoltage = rec.sourceVoltage;
    filterCapCurrent = rec.filterCapCurrent;
    filterCapVoltage = rec.filterCapVoltage;
    firstInductorCurrent = rec.firstInductorCurrent;
    firstInductorCurrentCopy = rec.firstInductorCurrentCopy;
    firstInductorVoltage = rec.firstInductorVoltage;
    dampingInductorCurrent = rec.dampingInductorCurrent;
    dampingInductorCurrentCopy = rec.dampingInductorCurrentCopy;
    dampingInductorVoltage = rec.dampingInductorVoltage;
    secondInductorCurrent = rec.secondInductorCurrent;
    dampingBranchCurrent = rec.dampingBranchCurrent;
    secondInductorCurrentCopy = rec.secondInductorCurrentCopy;
    secondInductorVoltage = rec.secondInductorVoltage;
    lineCurrentHeld = rec.lineCurrentHeld;
}

void LineRectifierSnapshot::CopyFrom(const LineRectifierStateRec& rec) {
    diode1Current = rec.diode1Current;
    diode2Current = rec.diode2Current;
    diode3Current = rec.diode3Current;
    diode4Current = rec.diode4Current;
    diode5Current = rec.diode5Current;
    diode6Current = rec.diode6Current;
    diode7Current = rec.diode7Current;
    diode8Current = rec.diode8Current;
}

void InputCapacitorSnapshot::CopyFrom(const InputCapacitorStateRec& rec) {
    lowerBulkCapacitorCurrent = rec.lowerBulkCapacitorCurrent;
    capSlot1Voltage = rec.capSlot1Voltage;
    lowerBulkDampingCapacitorCurrent = rec.lowerBulkDampingCapacitorCurrent;
    capSlot2Voltage = rec.capSlot2Voltage;
    upperBulkCapacitorCurrent = rec.upperBulkCapacitorCurrent;
    capSlot3Voltage = rec.capSlot3Voltage;
    upperBulkDampingCapacitorCurrent = rec.upperBulkDampingCapacitorCurrent;
    capSlot4Voltage = rec.capSlot4Voltage;
    inputVoltage = rec.inputVoltage;
}

void PrimarySnapshot::CopyFrom(const PrimaryStateRec& rec) {
    clampCapacitorCurrent = rec.clampCapacitorCurrent;
    clampCapacitorVoltageState = rec.clampCapacitorVoltageState;
    clampResistorCurrent = rec.clampResistorCurrent;
    magnetizingCurrent = rec.magnetizingCurrent;
    primaryWindingCurrent = rec.primaryWindingCurrent;
    primaryWindingVoltage = rec.primaryWindingVoltage;
    clampRectifierAnodeToCathodeCurrent = rec.clampRectifierAnodeToCathodeCurrent;
    diode1Current = rec.diode1Current;
    resetCapacitorCurrent = rec.resetCapacitorCurrent;
    capacitorVoltageCopy = rec.capacitorVoltageCopy;
    resetWindingCurrent = rec.resetWindingCurrent;
    resetRectifierAnodeToCathodeCurrent = rec.resetRectifierAnodeToCathodeCurrent;
    resetWindingVoltage = rec.resetWindingVoltage;
    clampSwitchDiodeCurrent = rec.clampSwitchDiodeCurrent;
    clampSwitchAux1 = rec.clampSwitchAux1;
    switch1DiodeCurrent = rec.switch1DiodeCurrent;
    switch1Voltage = rec.switch1Voltage;
    switch1DrainToSourceCurrent = rec.switch1DrainToSourceCurrent;
    switch2Link = rec.switch2Link;
    senseXfmrAux2 = rec.senseXfmrAux2;
    senseXfmrCurrent = rec.senseXfmrCurrent;
    senseXfmrCurrent2 = rec.senseXfmrCurrent2;
    senseXfmrInput2 = rec.senseXfmrInput2;
    senseXfmrVoltage = rec.senseXfmrVoltage;
    senseXfmrSecondaryCurrent = rec.senseXfmrSecondaryCurrent;
    senseXfmrSecondaryVoltage = rec.senseXfmrSecondaryVoltage;
    switchState = rec.switchState;
}

void SecondaryWindingSnapshot::CopyFrom(const SecondaryWindingStateRec& rec) {
    windingCurrent = rec.windingCurrent;
    windingVoltage = rec.windingVoltage;
}

void SecondaryRectifierSnapshot::CopyFrom(const SecondaryRectifierStateRec& rec) {
    outputConducting = rec.outputConducting;
    turnOffStartAFlagB = rec.turnOffStartAFlagB;
    rectifier1AnodeToCathodeCurrent = rec.rectifier1AnodeToCathodeCurrent;
    rectifier1AnodeToCathodeVoltage = rec.rectifier1AnodeToCathodeVoltage;
    diodeCurrent = rec.diodeCurrent;
    rectifierVoltage = rec.rectifierVoltage;
    rectifierTermA = rec.rectifierTermA;
    secondDiodeCurrent = rec.secondDiodeCurrent;
}

void OutputChokeSnapshot::CopyFrom(const OutputChokeStateRec& rec) {
    chokeCurrent = rec.chokeCurrent;
    squareCurrentIntegral = rec.squareCurrentIntegral;
    lookupCurrent = rec.lookupCurrent;
    windingVoltage = rec.windingVoltage;
    skimCurrent = rec.skimCurrent;
    skimVoltage = rec.skimVoltage;
}

void OutputFilterSnapshot::CopyFrom(const OutputFilterStateRec& rec) {
    capacitorCurrent1 = rec.capacitorCurrent1;
    capacitorVoltage1 = rec.capacitorVoltage1;
    capacitorCurrent = rec.capacitorCurrent;
    capacitor2Current = rec.capacitor2Current;
    capacitor2Voltage = rec.capacitor2Voltage;
    outputCapacitorCurrent = rec.outputCapacitorCurrent;
    outputCapacitorVoltageCopy = rec.outputCapacitorVoltageCopy;
    outputCapacitor2Current = rec.outputCapacitor2Current;
    outputCapacitor2Voltage = rec.outputCapacitor2Voltage;
    dampingInductorCurrentCopy = rec.dampingInductorCurrentCopy;
    dampingInductorVoltage = rec.dampingInductorVoltage;
    secondInductorCurrent = rec.secondInductorCurrent;
    dampingInductorCurrent = rec.dampingInductorCurrent;
    secondInductorCurrentCopy2 = rec.secondInductorCurrentCopy2;
    secondInductorVoltage = rec.secondInductorVoltage;
    biasCurrent = rec.biasCurrent;
    biasNodeVoltage = rec.biasNodeVoltage;
    csValue1 = rec.csValue1;
    csValue15 = rec.csValue15;
    senseXfmrSecondaryCurrent = rec.senseXfmrSecondaryCurrent;
    csValue14 = rec.csValue14;
}

void LoadNetworkSnapshot::CopyFrom(const LoadNetworkStateRec& rec) {
    load1CurrentCopy = rec.load1CurrentCopy;
    load1Voltage = rec.load1Voltage;
    firstBranchCurrent = rec.firstBranchCurrent;
    load2CurrentCopy = rec.load2CurrentCopy;
    load2Voltage = rec.load2Voltage;
    resistorCurrent = rec.resistorCurrent;
    resistorVoltage = rec.resistorVoltage;
    loadCurrent = rec.loadCurrent;
}

void ControlSnapshot::CopyFrom(const ControlStateRec& rec) {
    currentAmpStateA = rec.currentAmpStateA;
    currentAmpStateB = rec.currentAmpStateB;
    comparatorAux = rec.comparatorAux;
    pwmComparatorDifferential = rec.pwmComparatorDifferential;
    hystFiltered = rec.hystFiltered;
    clockDividerVoltage = rec.clockDividerVoltage;
    hystInput = rec.hystInput;
    currentLimitFeedback = rec.currentLimitFeedback;
    errorAmpStateA = rec.errorAmpStateA;
    optoLedCurrent = rec.optoLedCurrent;
    rampCapacitorVoltage = rec.rampCapacitorVoltage;
    errorAmpStateB = rec.errorAmpStateB;
    errorAmpStateC = rec.errorAmpStateC;
    errorAmpAux = rec.errorAmpAux;
}
