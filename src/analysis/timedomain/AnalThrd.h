// The analysis worker: builds the run's context from the document's parameter block, waits
// for the start signal, runs the driver of the chosen analysis kind, tells the main window
// when the driver returns, and frees the context when it leaves.
#pragma once

#include <cstdint>
#include <functional>

struct AnalysisThreadParams;

// What the worker calls when the initial values of a run fail (the document's
// ClearInitValuesOk); none: nothing is told.
using InitValuesFailedProc = std::function<void()>;

// The thread procedure. Returns 0 on every path.
uint32_t AnalysisThreadProc(AnalysisThreadParams& params, const InitValuesFailedProc& initValuesFailed = nullptr);

// The frequency analyses sit above the time-domain engine: their library hands its drivers
// (kinds 2..5) to the worker here. A kind without a driver is refused as the engine's.
using AnalysisKindDriver = int32_t (*)();
void SetAnalysisKindDriver(int32_t kind, AnalysisKindDriver driver);
// Runs the driver of a kind on the present context (a kind without one is refused there).
int32_t RunAnalysisOfKind(int32_t kind);
