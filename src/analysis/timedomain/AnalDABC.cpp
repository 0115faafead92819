#include "analysis/timedomain/AnalDABC.h"

#include "analysis/context/AnalContext.h"
#include "analysis/models/AnalInit.h"
#include "analysis/models/AnalMOut.h"
#include "analysis/models/AnalMPri.h"
#include "analysis/models/AnalMWind.h"
#include "analysis/timedomain/AnalABCP.h"
#include "analysis/timedomain/AnalABCPVar.h"
#include "analysis/timedomain/AnalABCS.h"
#include "analysis/timedomain/AnalChck.h"
#include "records/Utils.h"

namespace {

constexpr UINT kModuleAnalDABC = 56006;
constexpr int32_t kTwoSwitchSenseResistor = 1;

// One step of the assembly: its member, its code and the message that follows a failure
// (0: the member has reported its own).
struct AssemblyStep {
    int32_t (*member)();
    int code;
    UINT message;
};

int32_t Run(const AssemblyStep& step) {
    if (step.member()) return 1;
    ReportMessage1(kModuleAnalDABC, step.code, FALSE);
    if (step.message) ReportMessageFirstBox(step.message);
    return 0;
}

int32_t RunAll(const AssemblyStep* steps, size_t count) {
    for (size_t i = 0; i < count; ++i)
        if (!Run(steps[i])) return 0;
    return 1;
}

// The choke-direction test of every output.
void TestChokeDirections(AnalysisContext& ctx) {
    for (int32_t j = ctx.pSettings->outputCount - 1; j >= 0; --j)
        SetFlagIfSameSign(&ctx.outputChoke[j].chokeFlagA, ctx.pSecondaryRectifierInput[j]->resistiveRectifier,
                          ctx.engine.output[j].chokeCurrent, ctx.pOutputFilterInput[j]->outputSign);
}

constexpr AssemblyStep kForward[] = {
    {AssembleLoadNetworkPass1, 10401, 52188},
    {AssembleSecondStageFilterPass1, 10402, 52189},
    {AssembleFirstStageFilterPass1, 10403, 52190},
    {AssembleOutputChokePass1, 10404, 52191},
    {AssembleLineSourcePass1, 10405, 52192},
    {AssembleLineFilterPass1, 10406, 52088},
    {AssembleInputCapacitorPass1, 10407, 52169},
    {AssembleLineRectifierPass1, 10408, 52170},
    {CalcPrimarySectionQuantitiesPass1, 10409, 52130},
    {CalcPowerTransformerQuantitiesPass1, 10410, 52193},
};
// The primary builders log by variant (10411 + variant large, 10431 + variant small).
constexpr AssemblyStep kLargeBuilder{BuildPriTwoSwitchSenseResCoeffs, 0, 52130};
constexpr AssemblyStep kClampLargeBuilder{BuildPriPassiveClampSenseResCoeffs, 0, 52130};
constexpr AssemblyStep kResonantLargeBuilder{BuildPriResonantResetSenseResCoeffs, 0, 52130};
constexpr AssemblyStep kActiveLargeBuilder{BuildPriActiveClampSenseResCoeffs, 0, 52130};
constexpr AssemblyStep kResetLargeBuilder{BuildPriResetWindingSenseResCoeffs, 0, 52130};
constexpr AssemblyStep kSecondaries[] = {
    {AssembleSecRectifierElementsPass1, 10425, 52180},
    {CalcCoupledOutputChokeQuantities, 10427, 52191},
};
constexpr AssemblyStep kSecondariesBack[] = {
    {AssembleSecRectifierElementsPass2, 10429, 52180},
    {CalcTransformerSecondaryQuantitiesPass2, 10430, 52194},
};
constexpr AssemblyStep kSmallBuilder{UpdatePriTwoSwitchSenseResQuantities, 0, 52130};
constexpr AssemblyStep kClampSmallBuilder{UpdatePriPassiveClampSenseResQuantities, 0, 52130};
constexpr AssemblyStep kResonantSmallBuilder{UpdatePriResonantResetSenseResQuantities, 0, 52130};
constexpr AssemblyStep kActiveSmallBuilder{UpdatePriActiveClampSenseResQuantities, 0, 52130};
constexpr AssemblyStep kResetSmallBuilder{UpdatePriResetWindingSenseResQuantities, 0, 52130};
constexpr AssemblyStep kReverse[] = {
    {CalcPrimarySectionQuantitiesPass2, 10444, 52130},
    {CalcPowerTransformerQuantitiesPass2, 10445, 52193},
    {SumReflectedSecondaryCurrents, 10451, 52193},
};
constexpr AssemblyStep kOuterReverse[] = {
    {AssembleLineRectifierPass2, 10446, 52170},
    {AssembleInputCapacitorPass2, 10447, 52169},
    {AssembleLineFilterPass2, 10448, 52088},
    {AssembleLineSourcePass2, 10449, 52192},
    {AssembleOutputChokePass2, 10450, 52191},
    {AssembleFirstStageFilterPass2, 10441, 52190},
    {AssembleSecondStageFilterPass2, 10442, 52189},
    {AssembleLoadNetworkPass2, 10421, 52188},
};

// The code a variant's large builder logs for a switch state outside its own (0 where the
// variant has none: the passive clamps); the states each variant has.
constexpr int kOtherStateCode[10] = {12126, 12155, 12020, 12070, 12188, 12210, 12227, 12243, 0, 0};
bool OutsideVariantStates(int32_t variant, int32_t state) {
    if (kOtherStateCode[variant] == 0) return false;
    // The resonant reset and the active clamp have a state 3 (the reset's ring, the clamp's overlap).
    const int32_t highest = variant >= 4 && variant <= 7 ? 3 : 2;
    return state < 0 || state > highest;
}

template <size_t N>
int32_t RunAll(const AssemblyStep (&steps)[N]) {
    return RunAll(steps, N);
}

}  // namespace

int32_t AssembleStateMatrices() {
    AnalysisContext& ctx = *GetAnalysisContext();
    if (!CheckSwitchQuantities()) {
        ReportMessage1(kModuleAnalDABC, 10452, FALSE);
        return 0;
    }
    StorePreviousStateVariables();
    // A switching period ended with the last step: the windings' means and resistances.
    if (!AverageMagneticLosses(ctx)) {
        ReportMessage1(kModuleAnalDABC, 10453, FALSE);
        return 0;
    }
    if (!RunAll(kForward)) return 0;
    // The primary variant's builders; the engine has those of one variant so far.
    const bool clamp = IsPassiveClamp(ctx.pPrimaryInput->topology);
    const bool resonant = IsResonantReset(ctx.pPrimaryInput->topology);
    const bool active = IsActiveClamp(ctx.pPrimaryInput->topology);
    // Each variant's builders serve both of its current-sense forms.
    const bool twoSwitch = ctx.pPrimaryInput->topology == kTwoSwitchSenseResistor || ctx.pPrimaryInput->topology == 0;
    const bool resetWinding = IsResetWinding(ctx.pPrimaryInput->topology);
    const bool builtVariant = twoSwitch || clamp || resonant || active || resetWinding;
    const AssemblyStep& large = clamp          ? kClampLargeBuilder
                                : resonant     ? kResonantLargeBuilder
                                : active       ? kActiveLargeBuilder
                                : resetWinding ? kResetLargeBuilder
                                               : kLargeBuilder;
    const AssemblyStep& small = clamp          ? kClampSmallBuilder
                                : resonant     ? kResonantSmallBuilder
                                : active       ? kActiveSmallBuilder
                                : resetWinding ? kResetSmallBuilder
                                               : kSmallBuilder;
    if (!builtVariant) {
        ReportMessage1(kModuleAnalDABC, 10423, FALSE);
        ReportMessageFirstBox(52130);
        return 0;
    }
    // Each variant logs its own builder codes; a large builder that fails in a switch state its
    // variant does not have logs that variant's code for it instead.
    const int32_t variant = ctx.pPrimaryInput->topology;
    if (!large.member()) {
        ReportMessage1(kModuleAnalDABC, OutsideVariantStates(variant, ctx.primary.switchState)
                                            ? kOtherStateCode[variant]
                                            : 10411 + variant,
                       FALSE);
        ReportMessageFirstBox(large.message);
        return 0;
    }
    if (!RunAll(kSecondaries)) return 0;
    TestChokeDirections(ctx);
    if (!RunAll(kSecondariesBack) || !Run({small.member, 10431 + variant, small.message}) || !RunAll(kReverse))
        return 0;
    // What the transformer's core carries: the winding current less the reflected ones.
    PrimaryStateRec& pri = ctx.primary;
    pri.magnetizingCurrent = pri.primaryWindingCurrent - pri.reflectedSecondaryCurrent;
    // While the reset winding carries the core's current it counts by its turns.
    if (resetWinding)
        pri.magnetizingCurrent += pri.resetWindingCurrent * ctx.pPrimaryInput->resetTurns / ctx.pPrimaryInput->primaryTurns;
    pri.magnetizingCurrentCopy1 = pri.magnetizingCurrent;
    return RunAll(kOuterReverse);
}
