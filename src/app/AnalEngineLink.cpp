#include "app/AnalEngineLink.h"

#include <memory>

#include "analysis/context/AnalContext.h"
#include "analysis/context/AnalVarTable.h"
#include "analysis/frequency/AnalFSwp.h"
#include "analysis/timedomain/AnalCaps.h"
#include "analysis/timedomain/AnalThrd.h"
#include "analysis/timedomain/AnalTime.h"
#include "circuit/Doc.h"
#include "graphs/ParsCalc.h"
#include "records/Utils.h"

namespace {

// The graphs' evaluator over the run's own records: every waveform id bound to its field.
class CEquationSampleEvaluator : public CTimeSampleEvaluator {
public:
    explicit CEquationSampleEvaluator(AnalysisContext& ctx)
        : evaluators_{{ctx.pEquation[0], &table_},
                      {ctx.pEquation[1], &table_},
                      {ctx.pEquation[2], &table_},
                      {ctx.pEquation[3], &table_}} {
        for (int id = 0; id < kWaveformVariableCount; ++id) table_.Bind(id, GetWaveformAddress(ctx, id));
    }
    BOOL IsValid(int quantity) override { return evaluators_[quantity - 1].IsValid(); }
    BOOL Evaluate(int quantity, double& value) override { return evaluators_[quantity - 1].Evaluate(value); }

private:
    CVarPtrTable table_;
    CEquationEvaluator evaluators_[4];
};

}  // namespace

void InstallAnalysisEngine(CPwrQuorraDoc& doc) {
    InstallFrequencyDrivers();
    SetTimeSampleEvaluatorFactory(
        [](AnalysisContext& ctx) -> std::unique_ptr<CTimeSampleEvaluator> {
            return std::make_unique<CEquationSampleEvaluator>(ctx);
        });
    CPwrQuorraDoc* owner = &doc;
    doc.SetAnalysisWorkerProc([owner](AnalysisThreadParams& params) {
        AnalysisThreadProc(params, [owner] { owner->ClearInitValuesOk(); });
    });
}

BOOL CheckAnalysisCanRun(CPwrQuorraDoc& doc) {
    const EngineRefusal refusal = CheckTimeDomainCapability(doc.GetThreadParams());
    if (!refusal.messageId) return TRUE;
    if (refusal.output) ReportMessage1(refusal.messageId, refusal.output, TRUE);
    else ReportMessage(refusal.messageId, TRUE);
    return FALSE;
}
