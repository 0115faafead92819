#include "analysis/timedomain/AnalCaps.h"

#include <cmath>

#include "analysis/context/AnalParams.h"
#include "analysis/context/AnalTableIndex.h"
#include "analysis/models/AnalInSS.h"
#include "analysis/models/AnalMHyst.h"
#include "analysis/models/AnalMOpto.h"
#include "analysis/models/AnalMRamp.h"
#include "analysis/models/AnalMSat.h"
#include "analysis/models/AnalMVea.h"
#include "analysis/models/AnalMLrc.h"
#include "platform/core/Format.h"
#include "records/Utils.h"
#include "resources/StringTable.h"

namespace {

constexpr uint32_t kRefuseKind = 58400;
constexpr uint32_t kRefuseSourceCycle = 58430;
constexpr uint32_t kRefuseLineSide = 58401;
constexpr uint32_t kRefusePrimary = 58402;
constexpr uint32_t kRefuseOutput = 58403;
constexpr uint32_t kRefuseControl = 58404;
constexpr uint32_t kRefuseChokeCoupling = 58920;
constexpr uint32_t kRefuseIncomplete = 58406;
constexpr uint32_t kRefuseErrorAmpValues = 58940;
constexpr uint32_t kRefuseOptoValues = 58941;
constexpr uint32_t kRefuseCurrentAmpValues = 58942;
constexpr int32_t kControlAverageCurrent = 4;
constexpr int32_t kControlPeakCurrent = 0;
constexpr uint32_t kRefuseRampValues = 58943;
constexpr uint32_t kRefuseFeedForwardValues = 58944;
constexpr int32_t kControlFeedForward = 1;
constexpr uint32_t kRefuseHystereticValues = 58945;
constexpr uint32_t kRefuseHystereticSense = 58946;
constexpr uint32_t kRefuseHystereticCapacitorSweep = 58947;
constexpr int32_t kControlHysteretic = 3;
constexpr uint32_t kRefusePrimaryValues = 58900;
constexpr uint32_t kRefuseStackLoop = 58901;
constexpr uint32_t kRefuseCapacitorSenseValues = 58921;
constexpr uint32_t kRefuseNoCurrentLoop = 58881;
constexpr uint32_t kRefuseSyncRectifierValues = 58720;
constexpr uint32_t kRefuseControlSourceValues = 58740;
constexpr uint32_t kRefuseModulatorFeedback = 58741;
constexpr int32_t kKindCurrentLoop = 3;

constexpr int32_t kPrimaryTwoSwitchSenseResistor = 1;
constexpr int32_t kPrimaryPassiveClampSenseResistor = 9;
constexpr int32_t kPrimaryResonantResetSenseResistor = 5;
constexpr int32_t kPrimaryActiveClampSenseResistor = 7;
constexpr int32_t kPrimaryResetWindingSenseResistor = 3;
constexpr int32_t kLineFilterNone = 9;
constexpr int32_t kControlVoltageMode = 2;
// The line phases each rectifier case is built for (no rectifier: one phase straight through).
constexpr int32_t kRectifierPhases[kLineCases] = {1, 1, 2, 3, 1, 1, 2, 2, 3, 3};


bool Positive(double v) { return std::isfinite(v) && v > 0.0; }

bool NonNegative(double v) { return std::isfinite(v) && v >= 0.0; }

EngineRefusal Refuse(uint32_t id, int32_t output = 0) { return {id, output}; }

// The capacitor current sense: a transformer with both inductances and a coupling from 0 to
// 1, and every resistor and the bias capacitor of its network, or its step would divide by 0.
// A control-side source that varies: a sine of finite amplitude at a frequency of 0 or more.
bool SineUsable(double offset, double amplitude, double frequency) {
    return std::isfinite(offset) && offset != NOT_SET && NonNegative(amplitude) && NonNegative(frequency);
}

bool CapacitorSenseUsable(const OutputFilterInputRec& f) {
    return Positive(f.csScaleNum) && Positive(f.csScaleDen) && f.csCoupling >= 0.0 && f.csCoupling <= 1.0 &&
           NonNegative(f.senseXfmrResistance) && NonNegative(f.senseXfmrSecondaryResistance) &&
           NonNegative(f.sectionQuantityParamR) && NonNegative(f.senseDiodeResistance) &&
           Positive(f.senseResistance) && Positive(f.biasUpperResistance) && Positive(f.csTermA) &&
           Positive(f.filterTermParamE) && std::isfinite(f.biasVoltage);
}

}  // namespace

bool EngineRunsKind(int32_t kind) {
    // The time-domain kinds: the turn-on transient and the steady state; the voltage-loop and
    // current-loop responses, the input-to-output and the amplifier analyses.
    return kind >= 0 && kind <= 5;
}

EngineRefusal KindRefusal() { return Refuse(kRefuseKind); }

EngineRefusal CheckTimeDomainCapability(const AnalysisThreadParams& params) {
    const AnalysisSettingsRec* set = params.pSettings;
    if (!set || !params.pLineSourceInput || !params.pPrimaryInput || !params.pControlInput)
        return Refuse(kRefuseIncomplete);
    if (!EngineRunsKind(set->analysisKind)) return Refuse(kRefuseKind);

    // Line side: any rectifier on its own number of phases, every line filter and input
    // capacitor variant.
    const int32_t rect = set->lineRectifierVariant;
    const bool doubled = set->inputCapacitorVariant == 2 || set->inputCapacitorVariant == 3;
    if (set->linePhaseCount < 1 || set->linePhaseCount > kMaxLinePhases || rect < 0 || rect >= kLineCases ||
        set->lineFilterVariant < 0 || set->lineFilterVariant > kLineFilterNone || set->inputCapacitorVariant < 0 ||
        set->inputCapacitorVariant > 3)
        return Refuse(kRefuseLineSide);
    if (kRectifierPhases[rect] != set->linePhaseCount || (IsDoublerRectifierCase(rect) && !doubled))
        return Refuse(kRefuseLineSide);

    const PrimaryInputRec& pri = *params.pPrimaryInput;
    // Each family runs with either current sense; the sense transformer needs its turns, a
    // secondary inductance and a coupling that transfers the current, the passive clamp a
    // capacitor and a resistor to settle to a voltage.
    const int32_t family = pri.topology | 1;
    const bool senseTransformer = pri.topology >= 0 && pri.topology % 2 == 0;
    const bool senseUsable = !senseTransformer || (Positive(pri.senseXfmrPrimaryTurnsCount) &&
                                                   Positive(pri.senseXfmrSecondaryTurnsCount) &&
                                                   NonNegative(pri.senseXfmrWindingResistance) &&
                                                   NonNegative(pri.senseXfmrSecondaryResistance) &&
                                                   Positive(pri.senseXfmrSecondaryNominal) &&
                                                   pri.senseXfmrCoupling > 0.0 && pri.senseXfmrCoupling <= 1.0 &&
                                                   NonNegative(pri.senseSeriesResistance) &&
                                                   NonNegative(pri.senseResistance));
    const bool twoSwitch = family == kPrimaryTwoSwitchSenseResistor;
    const bool passiveClamp = family == kPrimaryPassiveClampSenseResistor;
    const bool resonantReset = family == kPrimaryResonantResetSenseResistor;
    const bool activeClamp = family == kPrimaryActiveClampSenseResistor;
    const bool resetWinding = family == kPrimaryResetWindingSenseResistor;
    if (!(twoSwitch || passiveClamp || resonantReset || activeClamp || resetWinding) || !pri.powerTransformerOn)
        return Refuse(kRefusePrimary);
    const bool valuesUsable =
        senseUsable && (twoSwitch || resetWinding || Positive(pri.clampCapacitance)) &&
        (!resetWinding || (Positive(pri.resetWindingNominal) && Positive(pri.resetTurns) &&
                           NonNegative(pri.resetWindingResistance))) &&
        (!passiveClamp || Positive(pri.clampResistance)) && (!activeClamp || Positive(pri.clampSwitchOnResistance));
    if (!valuesUsable) return Refuse(kRefusePrimaryValues);

    if (set->outputCount < 1 || set->outputCount > kMaxOutputs) return Refuse(kRefuseIncomplete);
    // Coupled chokes: each pair's coefficient a number from 0 up to (not including) 1.
    if (set->coupledOutputChokes)
        for (const double k : set->outputChokeCoupling)
            if (!(k >= 0.0 && k < 1.0)) return Refuse(kRefuseChokeCoupling);
    for (int32_t j = 0; j < set->outputCount; ++j) {
        const SecondaryRectifierInputRec* rect = params.pSecondaryRectifierInput[j];
        const OutputChokeInputRec* choke = params.pOutputChokeInput[j];
        const OutputFilterInputRec* filter = params.pOutputFilterInput[j];
        const LoadNetworkInputRec* load = params.pLoadNetworkInput[j];
        if (!rect || !choke || !filter || !load) return Refuse(kRefuseIncomplete);
        // Diodes, or transistors beside them whose channels have an on-resistance.
        if ((rect->frequencyAnalysisFlagA && !Positive(rect->onResistance)) ||
            (rect->frequencyAnalysisFlagB && !Positive(rect->secondOnResistance)))
            return Refuse(kRefuseSyncRectifierValues, j + 1);
        const bool plainChoke = choke->chokeOn != 0;  // with or without its skim inductor
        // Every first stage, with or without damping and current sensing; any second stage.
        const int32_t second = filter->sectionQuantityFlagB;
        const int32_t first = filter->sectionQuantityFlagA;
        const bool singleCapacitor = first >= 0 && first <= 3 && second >= 0 && second <= 6 &&
                                     (filter->senseXfmrOn != 0) == (first == 2 || first == 3);
        // Every load variant, with the parts the fill gives it.
        const int32_t lv = load->sectionQuantityFlagA;
        const bool knownLoad = (lv == 0 && load->resistorOn) || (lv == 1 && load->resistorOn && load->inductorOn) ||
                               (lv == 2 && load->currentSourceOn) ||
                               (lv == 3 && load->resistorOn && load->inductorOn && load->firstBranchOn &&
                                load->currentSourceOn);
        // The output's voltage over its target drives the feedback: a target of 0 has no meaning.
        const bool modulatorFed = rect->dutyWeight != 0.0;
        const bool targetSet = !(load->rippleWeight != 0.0 || modulatorFed) || Positive(load->outputVoltage);
        if (!plainChoke || !singleCapacitor || !knownLoad || !targetSet)
            return Refuse(kRefuseOutput, j + 1);
        // The modulator's voltage in the feedback: its weight and lag are numbers.
        if (modulatorFed && (!std::isfinite(rect->dutyWeight) || !NonNegative(filter->engineSetupParamA)))
            return Refuse(kRefuseModulatorFeedback, j + 1);
        if (filter->senseXfmrOn && !CapacitorSenseUsable(*filter)) return Refuse(kRefuseCapacitorSenseValues, j + 1);
    }
    // Stacked windings must form chains: a winding sits on at most one other, never on the
    // one that sits on it.
    const bool d1 = pri.stack2On1 == 1, u1 = pri.stack1On2 == 1, d2 = pri.stack3On2 == 1, u2 = pri.stack2On3 == 1,
               d3 = pri.stack4On3 == 1, u3 = pri.stack3On4 == 1;
    if (set->outputCount > 1 && ((d1 && u1) || (d2 && u2) || (d3 && u3) || (d1 && u2) || (d2 && u3)))
        return Refuse(kRefuseStackLoop);

    // Every saturable core the fill gives a table runs: the step looks each inductance up at its
    // winding's present current, and the steady-state estimate and the sweeps around it see them.

    const ControlInputRec& ctl = *params.pControlInput;
    // The current modes sense the primary, the chokes, or the capacitor current of outputs
    // whose first stage senses it.
    bool capacitorsSensed = ctl.senseSource == 2;
    for (int32_t j = 0; capacitorsSensed && j < set->outputCount; ++j)
        if (params.pOutputChokeInput[j]->senseWeight != 0.0 && !params.pOutputFilterInput[j]->senseXfmrOn)
            capacitorsSensed = false;
    const bool currentSensed = ctl.senseSource == 0 || ctl.senseSource == 1 || capacitorsSensed;
    const bool averageCurrent = ctl.controlMode == kControlAverageCurrent && currentSensed;
    const bool peakCurrent = ctl.controlMode == kControlPeakCurrent && currentSensed;
    const bool feedForward = ctl.controlMode == kControlFeedForward;
    // Hysteretic control runs without a clock; it senses the chokes or the output capacitors
    // (the capacitor sense needs the first-stage filters that sense current).
    const bool hysteretic = ctl.controlMode == kControlHysteretic;
    if ((ctl.controlMode != kControlVoltageMode && !averageCurrent && !peakCurrent && !feedForward && !hysteretic) ||
        ctl.veaVariant < 0 || ctl.veaVariant > 7 || ctl.optoVariant < 0 || ctl.optoVariant > 6 ||
        (!ctl.clockEnabled && !hysteretic))
        return Refuse(kRefuseControl);
    // The reference and the two injection sources play their sines; the soft-start reset
    // compares the current limit's sense with its threshold.
    if ((ctl.veaReferenceAcOn &&
         !SineUsable(ctl.veaReferenceValue, ctl.veaReferenceAmplitude, ctl.veaReferenceFrequency)) ||
        (ctl.errorInjectionOn &&
         !SineUsable(ctl.errorAmpOffset, ctl.errorInjectionAmplitude, ctl.errorInjectionFrequency)) ||
        (ctl.currentInjectionOn &&
         !SineUsable(ctl.currentInjectionOffset, ctl.currentInjectionAmplitude, ctl.currentInjectionFrequency)) ||
        (ctl.softStartResetEnabled && ctl.currentLimitEnabled &&
         (!std::isfinite(ctl.softStartResetThreshold) || ctl.softStartResetThreshold == NOT_SET)))
        return Refuse(kRefuseControlSourceValues);
    if (hysteretic && ctl.senseSource == 0) return Refuse(kRefuseHystereticSense);
    if (hysteretic && !currentSensed) return Refuse(kRefuseControl);
    if (hysteretic && (!HystNetworkValid(HystNetworkOf(ctl)) || !Positive(ctl.referenceValue)))
        return Refuse(kRefuseHystereticValues);
    // The current-loop response needs a current loop to open (hysteretic control's comparator
    // closes one on the sensed current).
    if (set->analysisKind == kKindCurrentLoop && !averageCurrent && !peakCurrent && !hysteretic)
        return Refuse(kRefuseNoCurrentLoop);
    if (!VeaNetworkValid(VeaNetworkOf(ctl))) return Refuse(kRefuseErrorAmpValues);
    if (averageCurrent && !VeaNetworkValid(CurrentAmpNetworkOf(ctl))) return Refuse(kRefuseCurrentAmpValues);
    if (peakCurrent && !RampNetworkValid(RampNetworkOf(ctl))) return Refuse(kRefuseRampValues);
    if (feedForward && !FeedForwardRampValid(ctl)) return Refuse(kRefuseFeedForwardValues);
    // The opto reference source plays its sine and table (the op-amp inverter regulates to it).
    if (!OptoNetworkValid(OptoNetworkOf(ctl)) ||
        (ctl.optoVariant != 6 &&
         !SineUsable(ctl.optoReferenceValue, ctl.optoReferenceAmplitude, ctl.optoReferenceFrequency)))
        return Refuse(kRefuseOptoValues);

    // A steady-state run, and the frequency sweeps that start from the steady state, need the
    // operating-point estimate of every section.
    if (set->analysisKind != 0 && !SourceCycleSearchable(params)) return Refuse(kRefuseSourceCycle);
    if (set->analysisKind != 0 && !SteadyStartCovers(params)) return Refuse(kRefuseKind);
    // Hysteretic control sensing the capacitors has no small-signal response to sweep: the
    // sense's rectifier passes only the current's rise within each period, so the mean current
    // reaches the comparator only through the sense transformer's droop, and the loop runs on a
    // cycle of about 13 switching periods. Swept, its responses move with the stimulus (the
    // voltage loop of the regression design at 464 Hz: 43, 49 and 58 dB at 0.5, 2 and 8 mV) and
    // lie 20 to 30 dB above the loop gain an averaged model with the sense's 0.1 V/A gives; the
    // amplifier sweep, its voltage loop open, has the capacitor's current integrate into the
    // output until the duty sticks.
    const bool hystereticCapacitors = hysteretic && ctl.senseSource == 2;
    if (hystereticCapacitors && set->analysisKind >= 2) return Refuse(kRefuseHystereticCapacitorSweep);

    // The step needs a positive largest and overlap step; the fill refuses unset values, this
    // guards callers that fill the records another way.
    if (!Positive(set->initialTimeStep) || !Positive(set->stepSetupParamB) || !Positive(set->openResistance) ||
        !Positive(set->endTime))
        return Refuse(kRefuseIncomplete);
    return {};
}

std::string EngineRefusalText(const EngineRefusal& refusal) {
    const char* text = res::FindString(refusal.messageId);
    if (!text) return {};
    return fw::Substitute(text, std::to_string(refusal.output));
}

void ReportEngineRefusal(const EngineRefusal& refusal) {
    if (refusal.output) ReportMessage1FirstBox(refusal.messageId, refusal.output);
    else ReportMessageFirstBox(refusal.messageId);
}
