#include "analysis/timedomain/AnalTime.h"

#include <cfenv>
#include <chrono>
#include <thread>

#include "analysis/context/AnalContext.h"
#include "analysis/timedomain/AnalABCP.h"
#include "analysis/timedomain/AnalChck.h"
#include "analysis/timedomain/AnalDABC.h"
#include "analysis/timedomain/AnalLoop.h"
#include "analysis/timedomain/AnalLpQk.h"
#include "analysis/timedomain/AnalSetT.h"
#include "platform/core/ReportSink.h"
#include "records/Utils.h"

namespace {

constexpr UINT kModuleAnalTime = 56029;

TimeSampleEvaluatorFactory g_evaluatorFactory;
TimeStepObserver g_stepObserver;
// The last percentage the stepping loop posted, kept across runs of one program start.
int32_t g_lastPercentPosted = -1;
bool g_initFailed = false;

bool QuitRequested(const AnalysisContext& ctx) { return ctx.pQuitEvent && ctx.pQuitEvent->IsSet(); }

void SampleTimeDomainGraphs(AnalysisContext& ctx, CTimeSampleEvaluator* evaluator) {
    CGraphSampleSink* sink = ctx.pParams->pGraphSink;
    if (!evaluator || !sink) return;
    const double x = ctx.stepState.time * 1e6;
    const double weight = ctx.stepState.inverseTimeStepTermA;
    for (int g = 1; g <= 4; ++g) {
        if (!evaluator->IsValid(g)) continue;
        double value = 0.0;
        if (!evaluator->Evaluate(g, value)) {
            ReportMessage1(kModuleAnalTime, 5101 + g, FALSE);
            continue;
        }
        int graph = 0;
        if (sink->GetVariableGraph(g, graph)) sink->PlotSample(graph, x, value, weight);
    }
    if (ctx.pSettings->loggingOn && CheckFloatingPointStatus()) ReportMessage1(kModuleAnalTime, 5106, FALSE);
}

// Display-only quantities: voltages the user may plot that no model needs.
void CalcDisplayQuantities(AnalysisContext& ctx) {
    ControlStateRec& c = ctx.control;
    const ControlInputRec& ci = *ctx.pControlInput;
    c.currentAmpAux2 = c.currentAmpStateB - c.currentAmpStateA;                     // R5
    c.currentAmpFlowBAux = c.currentFeedbackVoltage - c.currentEaInvertingInput;    // R4
    if (ci.currentLimitEnabled) c.comparatorCopy = c.currentLimitFeedback - ci.currentLimitThreshold;
    c.feedForwardVoltage = c.currentFeedbackVoltage - c.rampCapacitorVoltage;       // R.FF
    c.errorAmpFlowCAux = c.errorAmpStateC - c.errorAmpStateB;                       // R3
    c.errorAmpFlowAAux = c.veaReferenceCopy - c.veaInvertingInput;                  // R1
    c.errorAmpFlowBAux = c.errorAmpFlowAAux - c.errorAmpAux;                        // R2

    const PrimaryInputRec& pi = *ctx.pPrimaryInput;
    PrimaryStateRec& p = ctx.primary;
    if (pi.secondSwitchOn) p.switch2SourceVoltage = -p.diode2Voltage;
    if (!pi.currentSenseTransformerOn) {
        p.switch1DrainVoltage = p.switch1VoltageCopy + p.currentSenseResistorVoltage;
        p.switch1SourceVoltage = p.currentSenseResistorVoltage;
        if (pi.secondSwitchOn) p.switch2DrainVoltage = ctx.inputCapacitor.inputVoltage;
    } else {
        p.switch1DrainVoltage = p.switch1VoltageCopy;
        p.switch1SourceVoltage = 0.0;
        if (pi.secondSwitchOn) p.switch2DrainVoltage = p.switch2SourceVoltage + p.switch2Voltage;
    }

    // The clamp network's whole current (its capacitor, and the passive clamp's resistor beside
    // it); the clamp switch between the capacitor's top (bulk + its voltage) and switch 1's drain.
    if (pi.topology >= 6 && pi.topology <= 9)
        p.resetCurrentCopy = p.clampCapacitorCurrent + (pi.clampResistorOn ? p.clampResistorCurrent : 0.0);
    if (pi.topology == 6 || pi.topology == 7) {
        p.clampSwitchDrainVoltage = p.clampCapacitorVoltage + ctx.inputCapacitor.inputVoltage;
        p.clampSwitchSourceVoltage = p.clampSwitchDrainVoltage - p.clampSwitchAux4;
    }
    // The sense resistor's current: the switch's current (behind a sense transformer the
    // primary's model writes it); the resonant reset's capacitor returns through the resistor too.
    if (!pi.currentSenseTransformerOn)
        p.senseXfmrSecondaryCurrentCopy =
            p.switch1DrainToSourceCurrent + (pi.topology == 5 ? p.resetCapacitorCurrent : 0.0);
    // The PWM comparator's output: its logic level while it drives the switch on (the
    // hysteretic comparator writes its own).
    if (ci.controlMode != 3) {
        const double level = ci.pwmLogicVoltageInPercent ? ci.pwmLogicVoltage * ctx.inputCapacitor.inputVoltage / 100.0
                                                         : ci.pwmLogicVoltage;
        c.hystInput = ctx.stepState.driveOn ? level : 0.0;
    }

    // The op-amp inverter's reference: its DC value, unless a source wrote its present value.
    if (ci.optoVariant >= 3 && ci.optoVariant <= 5 && c.optoReferenceVoltage == NOT_SET)
        c.optoReferenceVoltage = ci.optoReferenceValue;
    // The opto-isolator's driver source: its own voltage, or the output it is taken from.
    if (ci.optoVariant != 6) {
        const int32_t k = ci.optoDriveSource;
        c.optoSupplyVoltage =
            k >= 1 && k <= ctx.pSettings->outputCount ? ctx.outputFilter[k - 1].outputVoltage : ci.optoDriveVoltage;
    }

    for (int32_t j = ctx.pSettings->outputCount - 1; j >= 0; --j) {
        // Without a second stage its total is what the first stage hands the load.
        if (ctx.pOutputFilterInput[j]->sectionQuantityFlagB == 0)
            ctx.outputFilter[j].inductorBCurrent = ctx.loadNetwork[j].loadCurrent;
        const LoadNetworkInputRec& ld = *ctx.pLoadNetworkInput[j];
        LoadNetworkStateRec& lo = ctx.loadNetwork[j];
        if (ld.inductorOn && ld.resistorOn) lo.outputNodeVoltage = lo.resistorVoltage + lo.load2Voltage;
        else if (ld.inductorOn) lo.outputNodeVoltage = lo.load2Voltage;
        else if (ld.resistorOn) lo.outputNodeVoltage = lo.resistorVoltage;
        const OutputChokeInputRec& ch = *ctx.pOutputChokeInput[j];
        if (ch.seriesElementOn && ch.seriesElementFactor != 0.0)
            ctx.outputChoke[j].seriesElementVoltage = ctx.outputChoke[j].currentSenseOutput / ch.seriesElementFactor;
    }
    if (ctx.pSettings->loggingOn && CheckFloatingPointStatus()) ReportMessage1(kModuleAnalTime, 5107, FALSE);
}

int32_t StepFailed(AnalysisContext& ctx, int code, UINT message) {
    ReportMessage1(kModuleAnalTime, code, FALSE);
    if (message) ReportMessageFirstBox(message);
    ctx.pParams->runStatus = 2;
    return 1;
}

int32_t Percent(const AnalysisContext& ctx) {
    const double end = ctx.pSettings->endTime;
    if (!(end > 0.0)) return 100;
    return static_cast<int32_t>(ctx.stepState.time * 100.0 / end);
}

}  // namespace

void SetTimeSampleEvaluatorFactory(TimeSampleEvaluatorFactory factory) { g_evaluatorFactory = std::move(factory); }
void SetTimeStepObserver(TimeStepObserver observer) { g_stepObserver = std::move(observer); }
bool TimeDomainInitFailed() { return g_initFailed; }
bool StepStayedFinite() { return std::fetestexcept(FE_DIVBYZERO | FE_INVALID | FE_OVERFLOW) == 0; }

namespace {

int32_t StatusKind(int32_t status) { return status >= 998 && status <= 1000 ? status : 0; }

// The last post of this thread: a worker thread lives for one run.
struct LastRunStatusPost {
    std::chrono::steady_clock::time_point at{};
    int32_t kind = -1;
};
thread_local LastRunStatusPost t_lastPost;

}  // namespace

void PostRunStatus(int32_t status, bool always) {
    AnalysisContext* ctx = GetAnalysisContext();
    if (!ctx || *ctx->pNotifyWnd == 0) return;
    const auto now = std::chrono::steady_clock::now();
    const int32_t kind = StatusKind(status);
    if (!always && status != 1000 && kind == t_lastPost.kind &&
        now - t_lastPost.at < std::chrono::milliseconds(kLeastRunStatusIntervalMs))
        return;
    t_lastPost = {now, kind};
    fw::GetReportSink().PostToMainWindow(WM_ANALYSIS_PROGRESS, status, 0);
    // The user-interface thread gets its turn to paint without the worker waiting for it.
    std::this_thread::yield();
}

int32_t RunTimeDomainAnalysis() {
    AnalysisContext& ctx = *GetAnalysisContext();
    g_initFailed = false;
    PostRunStatus(1000);
    if (QuitRequested(ctx)) {
        ReportMessage(53002, FALSE);
        return 0;
    }
    std::unique_ptr<CTimeSampleEvaluator> evaluator;
    if (g_evaluatorFactory) evaluator = g_evaluatorFactory(ctx);

    // The slow start searches the steady state and falls back on the quick settling when
    // its iteration limit is reached; a turn-on run's loop returns after the turn-on values.
    int32_t start = 3;
    if (!ctx.pSettings->skipInitializationLoop) start = RunInitializationLoop();
    if (start == 3) start = RunQuickOperatingPoint();
    if (start == 2) {
        ReportMessage1(kModuleAnalTime, 5109, FALSE);
        ctx.pParams->runStatus = 2;
        return 0;
    }
    if (start != 0 || !PrepareStepEngine()) {
        ReportMessage1(kModuleAnalTime, 5108, FALSE);
        g_initFailed = true;
        ctx.pParams->runStatus = 2;
        return 1;
    }
    StepStateRec& step = ctx.stepState;
    step.time = 0.0;
    step.stepCount = 0;
    step.cycleTime = 0.0;
    const AnalysisSettingsRec& set = *ctx.pSettings;
    const int32_t interval = set.progressInterval >= 1 ? set.progressInterval : 1;

    do {
        CalcDisplayQuantities(ctx);
        SampleTimeDomainGraphs(ctx, evaluator.get());
        CheckStepLimits(step.stepCount == 0 ? 1 : 0);
        if (!DeterminePrimarySwitchState()) return StepFailed(ctx, 5110, 52210);
        if (!UpdateControlSectionState()) return StepFailed(ctx, 5111, 52187);
        if (!DetermineTimeStep()) return StepFailed(ctx, 5112, 52211);
        if (!AssembleStateMatrices()) return StepFailed(ctx, 5113, 0);
        if (!CalcControlSectionQuantities() || !StepStayedFinite()) return StepFailed(ctx, 5114, 52187);
        ++step.stepCount;
        if (!DetermineTimeStepAfterStep()) return StepFailed(ctx, 5115, 52211);
        if (g_stepObserver) g_stepObserver(ctx);
        if (QuitRequested(ctx)) {
            ReportMessage(53002, FALSE);
            ctx.pParams->runStatus = 2;
            return 0;
        }
        if (step.stepCount % interval == 0) {
            const int32_t percent = Percent(ctx);
            if (percent != g_lastPercentPosted) {
                PostRunStatus(percent);
                g_lastPercentPosted = percent;
            }
        }
    } while (step.time < set.endTime);

    if (ctx.pParams->runStatus == 1) {
        CheckProjectedFrequencyAtRunEnd();
        CalcDisplayQuantities(ctx);
        SampleTimeDomainGraphs(ctx, evaluator.get());
        PostRunStatus(Percent(ctx), true);
    }
    return 1;
}
