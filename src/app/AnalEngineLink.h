// Joins a design document to the analysis engine: the worker procedure its runs start, the
// evaluation of the four plotted quantities over a run's waveform variables, and the check
// that refuses a design the engine cannot run before anything starts.
#pragma once

#include "platform/core/Types.h"

class CPwrQuorraDoc;

void InstallAnalysisEngine(CPwrQuorraDoc& doc);

// After PrepareAnalysis: TRUE when the engine can run the prepared design; otherwise the
// reason is shown in a message box and FALSE returned (the caller then ends the run).
BOOL CheckAnalysisCanRun(CPwrQuorraDoc& doc);
