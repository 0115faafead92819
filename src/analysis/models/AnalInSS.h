// Steady-state starting values: every state record set to an estimate of the converter's
// periodic operating point at the start of a switching period (switches off, the clock at
// its top), built from the design's nominal values. Worker thread only; the derivations are
// in AnalInSS.cpp.
#pragma once

#include <cstdint>

#include "analysis/context/AnalConst.h"

struct AnalysisThreadParams;
struct AnalysisSettingsRec;
struct LineSourceInputRec;
struct OutputChokeInputRec;
struct OutputFilterInputRec;
struct LoadNetworkInputRec;
struct SecondaryRectifierInputRec;

double AbsValue(double x);

// Effective turns of output k (1..4) with the secondaries stacked as the primary's six
// stacking flags say; outputCount outside 1..4 gives 0.
double EffectiveSecondaryTurns(int32_t k);

// Adds each output's weighted duty to *duty and writes each output's rectifier drop, filter
// capacitor voltage, load resistance total and conduction mode. 1, or 0 on a fault (shown).
int32_t CalcSteadyStateDutyCycle(double* duty);

// The period the run starts with: the fixed period, or in hysteretic control the period the
// hysteresis band gives at duty D. 1, or 0 on a floating-point fault.
int32_t CalcInitialSwitchingPeriod(double* period, double duty, double vin);

// Output voltage from the voltage seen at the secondary less the drops at the design's load
// current; a steady-state run warns (53027) when it is far from the target. 1, or 0.
int32_t PredictOutputVoltage(double* predicted, double source, const LoadNetworkInputRec& ld,
                             const OutputChokeInputRec& ch, const SecondaryRectifierInputRec& ri,
                             const OutputFilterInputRec& fi);

// The primary section at the period start for duty D, from the bulk voltage and the period
// already in the context.
void InitSteadyStatePrimary(double duty);

// Switching periods in one common period of the design's periodic sources (the load sources'
// sines, an AC line), the length of the steady state's trials: 1 without such a source. A
// source whose own period holds no whole number of switching periods counts the fewest of its
// periods that do, at most kMaxSourcePeriodsPerCycle; 0 when none does, or when the common
// period spans more than kMaxPeriodsPerSourceCycle switching periods. The search runs a few
// such periods (about 0.3 s each at 2000 periods in a Release build), so the cap bounds its time.
constexpr int32_t kMaxPeriodsPerSourceCycle = 20000;
constexpr int32_t kMaxSourcePeriodsPerCycle = 10;
int32_t SwitchingPeriodsPerSourceCycle(const AnalysisSettingsRec& set, const LineSourceInputRec& line,
                                       const LoadNetworkInputRec* const* loads);

// Where the sources share no such period, a run moves each source that lacks one to the
// nearest frequency at which N <= kMaxSourcePeriodsPerCycle of its periods hold a whole number
// n of switching periods: f' = N / (n T), the fewest N whose move |f'/f - 1| stays within the
// bound (the search cycle is then shortest). One period alone moves it by at most half a
// switching period in one of its own, 0.5 fT, 0.03 % for 60 Hz at 100 kHz. The bound: a line's
// frequency is only known to about 1 % (grids drift by that much), and a move of 0.1 % moves the ripple a source drives (I / (C f) on the bulk) by
// 0.1 % of itself, well inside the 0.5 % the steady start is held to; every source slower than
// fs/500 fits with one period.
constexpr double kMaxSourceRetune = 1e-3;
struct SourceCyclePlan {
    int32_t periods = 0;  // switching periods in the common period as run; 0: none within the caps
    double lineFrequency = 0.0;             // the line's frequency as run
    double loadFrequency[kMaxOutputs] = {};  // each load sine's, as run
    bool lineRetuned = false;
    bool loadRetuned[kMaxOutputs] = {};
};
SourceCyclePlan PlanSourceCycle(const AnalysisSettingsRec& set, const LineSourceInputRec& line,
                                const LoadNetworkInputRec* const* loads);
// Moves the periodic sources of the present run (its own copies of the records, never the
// design's) as PlanSourceCycle says for its kind, and tells the user once per source moved
// (58431). The turn-on from rest (kind 0) runs the design's frequencies.
void RetuneRunSources();

// Every state record at the estimated operating point. 1, or 0 after its messages.
int32_t ComputeSteadyStateInitialValues();

// The designs whose operating point the estimate sets for the step: a line through any line
// filter and rectifier, every primary family, every clocked control mode with any opto-isolator arrangement,
// outputs with a choke (coupled or not, with or without its skim inductor), any second filter
// stage and load. An AC line, or in the time-domain steady state a load sine, only where
// SourceCycleSearchable. Others start only from rest.
bool SteadyStartCovers(const AnalysisThreadParams& params);
// The periodic sources that count for the run's kind repeat together within the caps above,
// retuned where they must be.
bool SourceCycleSearchable(const AnalysisThreadParams& params);
