// What the time-domain engine can simulate so far. A design or an analysis kind outside it is
// refused with a message before any step, never run on models that do not fit it.
#pragma once

#include <cstdint>
#include <string>

struct AnalysisThreadParams;

struct EngineRefusal {
    uint32_t messageId = 0;  // 0: the engine can run it
    int32_t output = 0;      // the output a per-output refusal names (1-4), else 0
};

// The analysis kinds (0-5) the engine runs at all; the frame asks before it prepares a run.
bool EngineRunsKind(int32_t kind);
// The refusal of a kind that EngineRunsKind turns down.
EngineRefusal KindRefusal();
// Reads the records the block points to (the document's, before a start; the run's copies
// are the same).
EngineRefusal CheckTimeDomainCapability(const AnalysisThreadParams& params);
// The message of a refusal, with the output number put in.
std::string EngineRefusalText(const EngineRefusal& refusal);
// Reports the refusal with a message box (the first of the run).
void ReportEngineRefusal(const EngineRefusal& refusal);
