// A design's steady-state start against its turn-on transient: the first switching period of
// a steady-state run, and the periods a turn-on run needs until its output stays settled.
#pragma once

#include <cstdint>
#include <vector>

#include "designs/AnalHeadless.h"

class CPwrQuorraDoc;

// Output voltage and choke current of output 1: averages over one period, or values at an
// instant.
struct OutputPoint {
    double vout = 0.0;
    double il = 0.0;
};

struct SteadyStartRun {
    HeadlessRun run;
    OutputPoint firstAverage;  // over the first cycle
    // The state: output capacitor voltage and choke current, at run time 0 and at the end of
    // the first cycle.
    OutputPoint start;
    OutputPoint end;
    // The initialisation loop's tolerances for those drifts over a period: the capacitor's
    // T·I/C/100 and the choke's T·V/L/100, each at least 1 mV or 1 mA.
    double capTolerance = 0.0;
    double chokeTolerance = 0.0;
};

// Runs the design's steady-state analysis for `cycles` switching periods with the given
// initialisation (CAnalysisConfig::INIT_*); they make its first cycle (a periodic source's
// whole period, or one switching period).
SteadyStartRun RunSteadyStart(CPwrQuorraDoc& doc, int32_t initMode, double cycles = 1.0);

struct TurnOnRun {
    HeadlessRun run;
    std::vector<OutputPoint> periodAverages;  // one per switching period
    OutputPoint settled;                      // the mean over the last tenth of the run
    // Periods until every later period's averages stay within `tolerance` (relative) of the
    // settled values; with a periodic source of `cycle` periods, the averages over the cycle
    // ending at each period against the last cycle's.
    int32_t PeriodsToSettle(double tolerance, int32_t cycle = 1) const;
    // The mean of the last `periods` period averages (a periodic source's whole cycle, where
    // the last tenth of the run would cut one).
    OutputPoint MeanOfLast(int32_t periods) const;
};

TurnOnRun RunTurnOn(CPwrQuorraDoc& doc, double cycles);

// Switching periods in one period of the design's periodic sources (an AC line, a load sine),
// from the records its last run filled: 1 without any.
int32_t SourceCyclePeriods(CPwrQuorraDoc& doc);
