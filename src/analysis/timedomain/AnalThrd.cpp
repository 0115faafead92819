#include "analysis/timedomain/AnalThrd.h"

#include <cfenv>

#include "analysis/context/AnalContext.h"
#include "analysis/models/AnalInSS.h"
#include "analysis/timedomain/AnalCaps.h"
#include "analysis/timedomain/AnalTime.h"
#include "platform/core/ReportSink.h"
#include "records/Utils.h"

namespace {

AnalysisKindDriver g_kindDrivers[6] = {};

// The driver of each analysis kind.
int32_t RunAnalysisKind(AnalysisContext& ctx, int32_t kind) {
    // Flags left by whatever ran before on this thread are not this run's (StepStayedFinite).
    std::feclearexcept(FE_ALL_EXCEPT);
    // Before any steady state is sought: sources with no common period are moved, in the run's copy.
    if (kind >= 1 && kind <= 5) RetuneRunSources();
    switch (kind) {
    case 0:
    case 1: return RunTimeDomainAnalysis();
    default:
        if (kind >= 2 && kind <= 5 && g_kindDrivers[kind]) return g_kindDrivers[kind]();
        ReportEngineRefusal(KindRefusal());
        ctx.pParams->runStatus = 2;
        return 1;
    }
}

}  // namespace

int32_t RunAnalysisOfKind(int32_t kind) { return RunAnalysisKind(*GetAnalysisContext(), kind); }

void SetAnalysisKindDriver(int32_t kind, AnalysisKindDriver driver) {
    if (kind >= 2 && kind <= 5) g_kindDrivers[kind] = driver;
}

uint32_t AnalysisThreadProc(AnalysisThreadParams& params, const InitValuesFailedProc& initValuesFailed) {
    AnalysisRun run(params);
    if (run.GetStatus() != AnalysisRun::Status::kLive) {
        ReportMessage(52094, TRUE);
        // The controller's stop waits for this event; without it a stop would wait for ever.
        if (params.hFinishedEvent) params.hFinishedEvent->Set();
        return 0;
    }
    AnalysisContext& ctx = *run.Context();
    params.runStatus = 1;
    for (;;) {
        int32_t result = 0;
        if (!params.hStartEvent || !params.hStartEvent->Wait()) break;
        if (params.hQuitEvent && params.hQuitEvent->IsSet()) break;
        if (params.hBusyEvent) params.hBusyEvent->Reset();
        // The records the document filled for this start.
        ctx.TakeRunInputs();
        // Each start is a run of its own whose first problem gets a box, a refused one too
        // (the refusal comes before the run's initialisation would re-arm it).
        ResetFirstMessageFlag();
        const int32_t kind = ctx.pSettings->analysisKind;
        if (kind < 0 || kind > 5) {
            ReportMessage(52011, TRUE);
            result = 1;
        } else {
            const EngineRefusal refusal = CheckTimeDomainCapability(params);
            if (refusal.messageId) {
                // Never run a design the engine cannot simulate: refuse it as a failed run.
                ReportEngineRefusal(refusal);
                params.runStatus = 2;
                result = 1;
            } else {
                result = RunAnalysisKind(ctx, kind);
                if (TimeDomainInitFailed() && initValuesFailed) initValuesFailed();
            }
        }
        if (params.hBusyEvent) params.hBusyEvent->Set();
        if (result == 0) break;
        if (params.hNotifyWnd) fw::GetReportSink().PostToMainWindow(WM_ANALYSIS_DONE, 0, 0);
    }
    if (params.hFinishedEvent) params.hFinishedEvent->Set();
    return 0;
}
