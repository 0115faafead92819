#include "designs/AnalHeadless.h"

#include <chrono>

#include "analysis/context/AnalContext.h"
#include "analysis/timedomain/AnalCaps.h"
#include "analysis/timedomain/AnalFigures.h"
#include "analysis/timedomain/AnalThrd.h"
#include "analysis/timedomain/AnalTime.h"
#include "circuit/Doc.h"
#include "platform/core/ReportSink.h"

namespace {

std::string Joined(const std::vector<std::string>& boxes) {
    std::string text;
    for (const std::string& b : boxes) {
        if (!text.empty()) text += "\n";
        text += b;
    }
    return text;
}

}  // namespace

std::unique_ptr<CPwrQuorraDoc> OpenDesignHeadless(const std::string& path, std::string* problem) {
    fw::RecordingSink sink;
    fw::ScopedReportSink scoped(&sink);
    auto doc = std::make_unique<CPwrQuorraDoc>();
    if (!doc->OnOpenDocument(path)) {
        *problem = sink.boxes.empty() ? "the design could not be opened" : Joined(sink.boxes);
        return nullptr;
    }
    return doc;
}

HeadlessRun RunDesignHeadless(CPwrQuorraDoc& doc, double cycles, CRunFigures* figures, CGraphSampleSink* sink,
                              TimeStepObserver observer) {
    HeadlessRun result;
    fw::RecordingSink reports;
    fw::ScopedReportSink scoped(&reports);
    if (!doc.PrepareAnalysis()) {
        result.problem = Joined(reports.boxes);
        return result;
    }
    AnalysisThreadParams& block = doc.GetThreadParams();
    block.runStatus = 1;
    block.pGraphSink = sink;
    const EngineRefusal refusal = CheckTimeDomainCapability(block);
    if (refusal.messageId) {
        result.problem = EngineRefusalText(refusal);
        doc.EndAnalysis();
        return result;
    }
    {
        AnalysisRun run(block);
        AnalysisContext* ctx = run.Context();
        if (!ctx) {
            result.problem = "no analysis context";
            doc.EndAnalysis();
            return result;
        }
        result.switchingPeriod = ctx->pSettings->switchingPeriodSetting;
        // The run's own copy of the settings: the design keeps its analysis time.
        if (cycles > 0.0) ctx->pSettings->endTime = cycles * result.switchingPeriod;
        if (figures) {
            const double level = figures->WatchedLevel();
            *figures = CRunFigures(FigureWindowStart(ctx->pSettings->endTime));
            figures->WatchOutputLevel(level);
        }
        SetTimeStepObserver([figures, &observer](const AnalysisContext& c) {
            if (figures) figures->Observe(c);
            if (observer) observer(c);
        });
        const auto start = std::chrono::steady_clock::now();
        RunAnalysisOfKind(ctx->pSettings->analysisKind);
        result.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        SetTimeStepObserver(nullptr);
        result.steps = ctx->stepState.stepCount;
        result.ran = block.runStatus == 1 ? 1 : 0;
        result.messages = reports.boxes;
        if (!result.ran) result.problem = Joined(reports.boxes);
    }
    block.pGraphSink = nullptr;
    doc.EndAnalysis();
    return result;
}
