// The time-domain run: from the starting state to the end time, one variable step after
// another, with the four graph samples after every step, progress posts and the quit poll.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "platform/core/Types.h"

class AnalysisContext;

// The four plotted quantities of a run, evaluated over the run's waveform variables. The
// graphs own the equations and their evaluation; a run asks through this seam.
class CTimeSampleEvaluator {
public:
    virtual ~CTimeSampleEvaluator() = default;
    // Plotted quantity 1..4 has an equation that can be evaluated.
    virtual BOOL IsValid(int quantity) = 0;
    virtual BOOL Evaluate(int quantity, double& value) = 0;
};

// Builds the evaluators of a run from its context (at the start of the run, never in the
// step loop). Without a factory a run takes no samples.
using TimeSampleEvaluatorFactory = std::function<std::unique_ptr<CTimeSampleEvaluator>(AnalysisContext&)>;
void SetTimeSampleEvaluatorFactory(TimeSampleEvaluatorFactory factory);

// Called after every step with the context (benchmarks and tests measure through it).
using TimeStepObserver = std::function<void(const AnalysisContext&)>;
void SetTimeStepObserver(TimeStepObserver observer);

// 1: the run ended (runStatus tells how); 0: cancelled by the quit event.
int32_t RunTimeDomainAnalysis();
// TRUE when the last run ended because its initial values failed.
bool TimeDomainInitFailed();
// No division by zero, invalid operation or overflow since the run began (the run clears the
// flags at its start): a step that broke it is failed, so that no infinity or NaN reaches a
// graph or a figure on any path.
bool StepStayedFinite();
// Posts the progress value to the main window (1000 start, 999 sweeping, 998 settling, else
// per cent). The frame's queue must not flood, yet the worker may not wait on the painting: the
// start code, a change of kind (start, settling, sweeping, per cent) and a post marked `always`
// (a run's last) go at once, a repeat of the same kind at most once every
// kLeastRunStatusInterval; every post yields the processor to the user-interface thread.
inline constexpr int32_t kLeastRunStatusIntervalMs = 50;
void PostRunStatus(int32_t status, bool always = false);
