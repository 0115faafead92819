#include "analysis/timedomain/AnalLpQk.h"

#include "analysis/context/AnalContext.h"
#include "analysis/models/AnalInit.h"
#include "analysis/timedomain/AnalTime.h"
#include "records/Utils.h"

namespace {

constexpr UINT kModuleAnalLpQk = 56017;

}  // namespace

int32_t RunQuickOperatingPoint() {
    AnalysisContext* ctx = GetAnalysisContext();
    ctx->stepState.settling = 1;
    PostRunStatus(998);
    if (!InitializeAnalysis()) {
        ReportMessage1(kModuleAnalLpQk, 13406, FALSE);
        ReportMessageFirstBox(52085);
        return 1;
    }
    // A turn-on run starts from the turn-on values; the run clock keeps running from 0.
    if (ctx->pSettings->analysisKind == 0) return 0;
    ReportMessage1(kModuleAnalLpQk, 13407, FALSE);
    ReportMessageFirstBox(52085);
    return 1;
}
