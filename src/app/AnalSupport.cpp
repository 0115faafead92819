#include "app/AnalSupport.h"

#include "circuit/Doc.h"
#include "records/Utils.h"

namespace {
constexpr UINT kMsgAnalysisNotAvailable = 58500;
}  // namespace

BOOL CanRunAnalysis(CPwrQuorraDoc& doc, int32_t kind) {
    // No kind has an engine yet.
    ReportMessage(kMsgAnalysisNotAvailable, TRUE);
    return FALSE;
}
