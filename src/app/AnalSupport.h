// Whether the analysis engine can run a kind of analysis on a design. Analysis > Start asks
// before a run is prepared (the kind) and again once the design is in the run's records (its
// variants and values); what the engine cannot run is refused, with the user told, and never
// started.
#pragma once

#include <cstdint>

#include "platform/core/Types.h"

class CPwrQuorraDoc;

// TRUE when the engine runs this kind (CAnalysisConfig::KIND_*); otherwise FALSE after the
// engine's message in a box.
BOOL CanRunAnalysis(CPwrQuorraDoc& doc, int32_t kind);
// After PrepareAnalysis: TRUE when the engine runs the prepared design; otherwise FALSE after
// the engine's message in a box.
BOOL CanRunPreparedAnalysis(CPwrQuorraDoc& doc);
