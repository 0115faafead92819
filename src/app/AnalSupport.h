// Whether the analysis engine can run a kind of analysis on a design. The
// Analysis > Start command asks it before a run is prepared; a kind the
// engine cannot run is refused here, with the user told, and never started.
#pragma once

#include <cstdint>

#include "platform/core/Types.h"

class CPwrQuorraDoc;

// TRUE when the engine runs this kind (CAnalysisConfig::KIND_*) on the
// design; otherwise FALSE after message 58500 in a box.
BOOL CanRunAnalysis(CPwrQuorraDoc& doc, int32_t kind);
