#include "analysis/timedomain/AnalLpQk.h"

#include "analysis/context/AnalContext.h"
#include "analysis/models/AnalInit.h"
#include "analysis/timedomain/AnalABCP.h"
#include "analysis/timedomain/AnalDABC.h"
#include "analysis/timedomain/AnalLoop.h"
#include "analysis/timedomain/AnalSetT.h"
#include "analysis/timedomain/AnalTime.h"
#include "records/Utils.h"

namespace {

constexpr UINT kModuleAnalLpQk = 56017;
constexpr UINT kNoPeriodEnd = 58960;
constexpr double kPeriodsWithoutEnd = 100.0;

int32_t Failed(int code, UINT message) {
    ReportMessage1(kModuleAnalLpQk, code, FALSE);
    if (message) ReportMessageFirstBox(message);
    return 1;
}

// Go on while the settle time is not reached or the present period has not ended (hysteretic
// control begins its periods at the drive's rising edges, within a step).
int32_t ContinueSettling(const StepStateRec& step, double settleTime, bool periodStart) {
    if (step.time < settleTime || !periodStart) {
        if (step.stepCount % 200 == 0) PostRunStatus(998);
        return 1;
    }
    return 0;
}

}  // namespace

int32_t RunSettlingSteps(double settleTime) {
    AnalysisContext& ctx = *GetAnalysisContext();
    StepStateRec& step = ctx.stepState;
    // A period that never ends (the clock never restarts) must not hold the run.
    const double period = step.switchingPeriod > 0.0 ? step.switchingPeriod : ctx.pSettings->switchingPeriodSetting;
    const double deadline = step.time + settleTime + kPeriodsWithoutEnd * period;
    const bool hysteretic = ctx.pControlInput->controlMode == 3;
    bool periodStart = false;
    do {
        const int32_t wasOn = step.driveOn;
        if (!DeterminePrimarySwitchState()) return Failed(13400, 52210);
        if (!UpdateControlSectionState()) return Failed(13401, 52187);
        if (!DetermineTimeStep()) return Failed(13402, 52211);
        if (!AssembleStateMatrices()) return Failed(13403, 0);
        if (!CalcControlSectionQuantities()) return Failed(13404, 52187);
        if (ctx.pControlInput->controlMode == 3 && step.cycleTime > ctx.pSettings->comparatorHysteresisLimit) {
            ReportMessage1(kModuleAnalLpQk, 13410, FALSE);
            ReportMessageFirstBox(52083);
            return Failed(13409, 0);
        }
        ++step.stepCount;
        if (!DetermineTimeStepAfterStep()) return Failed(13405, 52211);
        if (ctx.pQuitEvent && ctx.pQuitEvent->IsSet()) return 2;
        if (step.time > deadline) return Failed(13407, kNoPeriodEnd);
        periodStart = hysteretic ? step.driveOn && !wasOn : step.cycleTime == 0.0;
    } while (ContinueSettling(step, settleTime, periodStart));
    return 0;
}

int32_t RunQuickOperatingPoint() {
    AnalysisContext* ctx = GetAnalysisContext();
    ctx->stepState.settling = 1;
    PostRunStatus(998);
    if (!InitializeAnalysis()) return Failed(13406, 52085);
    // A turn-on run starts from the turn-on values; the run clock keeps running from 0.
    if (ctx->pSettings->analysisKind == 0) return 0;

    if (!PrepareStepEngine()) return Failed(13406, 0);
    // The estimate puts each output at its target and the control at the duty that gives it,
    // without the converter's commutation and switching delays: the output filter and a
    // closed loop's amplifier would start off their point and ring through the stabilisation
    // periods (the filter's resonance is far longer). One Newton step on the period map
    // takes them to within its nonlinearity.
    const double period = ctx->stepState.switchingPeriod > 0.0 ? ctx->stepState.switchingPeriod
                                                               : ctx->pSettings->switchingPeriodSetting;
    const double settle = ctx->pSettings->stabilisationCycles * period;
    // The sources at the phases the settling starts from: the state the steps solve over
    // their cycle is then the one the settling carries on.
    SetSourcePhases(settle);
    if (const int32_t r = RunQuickShootingStep()) {
        ReportMessage1(kModuleAnalLpQk, r == 1 ? 13407 : 13408, FALSE);
        return r;
    }
    SetSourcePhases(settle);
    const int32_t result = RunSettlingSteps(settle);
    if (result == 1) {
        ReportMessage1(kModuleAnalLpQk, 13407, FALSE);
        ctx->pParams->runStatus = 2;
        return 1;
    }
    if (result == 2) {
        ReportMessage1(kModuleAnalLpQk, 13408, FALSE);
        ctx->pParams->runStatus = 2;
        return 2;
    }
    ResetRunClock();
    return 0;
}
