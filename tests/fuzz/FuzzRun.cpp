// Fuzz target: a design file opened, checked (Problem Check), filled and run for a few
// switching periods of a turn-on analysis, capped at a few hundred steps. Whatever the
// bytes, nothing crashes, leaks or hangs, and a run that fails says why.
#include <cstddef>
#include <cstdint>

#include "FuzzDesign.h"
#include "analysis/context/AnalContext.h"
#include "designs/AnalHeadless.h"
#include "circuit/AnalCfg.h"
#include "circuit/Doc.h"
#include "platform/core/Event.h"

namespace {

constexpr int64_t kMaxSteps = 400;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::unique_ptr<CPwrQuorraDoc> doc = fuzz::Open(data, size);
    if (!doc) return 0;
    doc->CheckAllSections();
    doc->GetAnalysisConfig()->SetAnalysisKind(CAnalysisConfig::KIND_TURN_ON);
    int64_t steps = 0;
    const HeadlessRun run = RunDesignHeadless(*doc, 3.0, nullptr, nullptr, [&steps](const AnalysisContext& c) {
        if (++steps == kMaxSteps && c.pQuitEvent) c.pQuitEvent->Set();
    });
    if (!run.ran && run.problem.empty() && steps < kMaxSteps) fuzz::Fail("a run failed without a message");
    return 0;
}
