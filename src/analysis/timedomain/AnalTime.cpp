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

    for (int32_t j = ctx.pSettings->outputCount - 1; j >= 0; --j) {
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

void PostRunStatus(int32_t status) {
    AnalysisContext* ctx = GetAnalysisContext();
    if (!ctx || *ctx->pNotifyWnd == 0) return;
    fw::GetReportSink().PostToMainWindow(WM_ANALYSIS_PROGRESS, status, 0);
    // Let the user-interface thread paint the progress before the next post.
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
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
        PostRunStatus(Percent(ctx));
    }
    return 1;
}
