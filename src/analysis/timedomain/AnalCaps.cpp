#include "analysis/timedomain/AnalCaps.h"

#include <cmath>

#include "analysis/context/AnalParams.h"
#include "analysis/models/AnalInSS.h"
#include "circuit/AnalFill.h"
#include "platform/core/Format.h"
#include "records/Utils.h"
#include "resources/StringTable.h"

namespace {

constexpr uint32_t kRefuseKind = 58400;
constexpr uint32_t kRefuseLineSide = 58401;
constexpr uint32_t kRefusePrimary = 58402;
constexpr uint32_t kRefuseOutput = 58403;
constexpr uint32_t kRefuseControl = 58404;
constexpr uint32_t kRefuseCoupledChokes = 58405;
constexpr uint32_t kRefuseIncomplete = 58406;
constexpr uint32_t kRefuseSaturation = 58407;

constexpr int32_t kPrimaryTwoSwitchSenseResistor = 1;
constexpr int32_t kLineFilterNone = 9;
constexpr int32_t kControlVoltageMode = 2;
constexpr int32_t kVeaSinglePoleDcFeedback = 7;
constexpr int32_t kOptoNone = 6;

// More than the one point at 0 A: the inductance would follow the current.
bool Saturates(const TimeMagnitudeTable* table) { return table && table->count > 1; }

bool Positive(double v) { return std::isfinite(v) && v > 0.0; }

EngineRefusal Refuse(uint32_t id, int32_t output = 0) { return {id, output}; }

}  // namespace

bool EngineRunsKind(int32_t kind) {
    // The time-domain kinds: the turn-on transient and the steady state; the voltage-loop
    // response, the input-to-output and the amplifier analyses.
    return kind == 0 || kind == 1 || kind == 2 || kind == 4 || kind == 5;
}

EngineRefusal KindRefusal() { return Refuse(kRefuseKind); }

EngineRefusal CheckTimeDomainCapability(const AnalysisThreadParams& params) {
    const AnalysisSettingsRec* set = params.pSettings;
    if (!set || !params.pLineSourceInput || !params.pPrimaryInput || !params.pControlInput)
        return Refuse(kRefuseIncomplete);
    if (!EngineRunsKind(set->analysisKind)) return Refuse(kRefuseKind);

    const LineSourceInputRec& line = *params.pLineSourceInput;
    if (set->linePhaseCount != 1 || set->lineFilterVariant != kLineFilterNone || set->lineRectifierVariant != 0 ||
        set->inputCapacitorVariant != 0 || line.lineMagnitude != 0.0)
        return Refuse(kRefuseLineSide);

    const PrimaryInputRec& pri = *params.pPrimaryInput;
    if (pri.topology != kPrimaryTwoSwitchSenseResistor || !pri.powerTransformerOn) return Refuse(kRefusePrimary);

    if (set->outputCount < 1 || set->outputCount > kMaxOutputs) return Refuse(kRefuseIncomplete);
    if (set->coupledOutputChokes) return Refuse(kRefuseCoupledChokes);
    for (int32_t j = 0; j < set->outputCount; ++j) {
        const SecondaryRectifierInputRec* rect = params.pSecondaryRectifierInput[j];
        const OutputChokeInputRec* choke = params.pOutputChokeInput[j];
        const OutputFilterInputRec* filter = params.pOutputFilterInput[j];
        const LoadNetworkInputRec* load = params.pLoadNetworkInput[j];
        if (!rect || !choke || !filter || !load) return Refuse(kRefuseIncomplete);
        const bool diodes = !rect->frequencyAnalysisFlagA && !rect->frequencyAnalysisFlagB && !rect->resistiveRectifier;
        const bool plainChoke = choke->chokeOn && !choke->skimWindingOn;
        const bool singleCapacitor = filter->sectionQuantityFlagA == 0 && filter->sectionQuantityFlagB == 0;
        const bool resistiveLoad = load->sectionQuantityFlagA == 0 && load->resistorOn && !load->inductorOn &&
                                   !load->firstBranchOn && !load->currentSourceOn;
        // The output's voltage over its target drives the feedback: a target of 0 has no meaning.
        const bool targetSet = !(load->rippleWeight != 0.0) || Positive(load->outputVoltage);
        // The feedback takes the output voltages only, not the modulator's.
        const bool voltageFeedbackOnly = !(rect->dutyWeight != 0.0);
        if (!diodes || !plainChoke || !singleCapacitor || !resistiveLoad || !targetSet || !voltageFeedbackOnly)
            return Refuse(kRefuseOutput, j + 1);
    }
    // Stacked windings are not built.
    if (set->outputCount > 1 && (pri.stack2On1 == 1 || pri.stack1On2 == 1 || pri.stack3On2 == 1 ||
                                 pri.stack2On3 == 1 || pri.stack4On3 == 1 || pri.stack3On4 == 1))
        return Refuse(kRefusePrimary);

    // The inductances stay at their nominal values in the step.
    if (Saturates(params.pTable[kPowerXfmrTable])) return Refuse(kRefuseSaturation);
    for (int32_t k = 1; k <= set->outputCount; ++k)
        if (Saturates(params.pTable[OutputTableIndex(k, kChokeTable)])) return Refuse(kRefuseSaturation);

    const ControlInputRec& ctl = *params.pControlInput;
    if (ctl.controlMode != kControlVoltageMode || ctl.veaVariant != kVeaSinglePoleDcFeedback ||
        ctl.optoVariant != kOptoNone || !ctl.clockEnabled || ctl.veaReferenceAcOn || ctl.errorInjectionOn ||
        ctl.softStartResetEnabled || (ctl.currentLimitEnabled && ctl.currentSenseSource != 0))
        return Refuse(kRefuseControl);

    // A steady-state run needs the operating-point estimate of every section.
    if (set->analysisKind == 1 && !SteadyStartCovers(params)) return Refuse(kRefuseKind);

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
