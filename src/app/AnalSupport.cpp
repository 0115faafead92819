#include "app/AnalSupport.h"

#include "analysis/timedomain/AnalCaps.h"
#include "app/AnalEngineLink.h"
#include "records/Utils.h"

BOOL CanRunAnalysis(CPwrQuorraDoc&, int32_t kind) {
    if (EngineRunsKind(kind)) return TRUE;
    ReportMessage(KindRefusal().messageId, TRUE);
    return FALSE;
}

BOOL CanRunPreparedAnalysis(CPwrQuorraDoc& doc) { return CheckAnalysisCanRun(doc); }
