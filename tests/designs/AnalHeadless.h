// A time-domain run of a design without the program around it: the design opened as File
// Open does, its records filled as a start does, then the driver on this thread. The
// headless runner and the regression designs use it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "analysis/timedomain/AnalTime.h"

class CPwrQuorraDoc;
class CGraphSampleSink;
class CRunFigures;

struct HeadlessRun {
    int32_t ran = 0;          // 1: the run ended successfully
    std::string problem;      // why it did not run or failed (the messages it gave)
    double switchingPeriod = 0.0;
    double seconds = 0.0;     // wall time of the stepping (s)
    int64_t steps = 0;
    std::vector<std::string> messages;  // every message box the run showed, in order
};

// The design in a new document, or nullptr with *problem set.
std::unique_ptr<CPwrQuorraDoc> OpenDesignHeadless(const std::string& path, std::string* problem);

// Runs `cycles` switching periods of a turn-on analysis (0: the design's own analysis time);
// a frequency analysis runs its sweep (cycles does not apply).
// The figures are measured over the last tenth of the run; samples go to sink when given.
// observer, when given, sees every step after the figures.
HeadlessRun RunDesignHeadless(CPwrQuorraDoc& doc, double cycles, CRunFigures* figures, CGraphSampleSink* sink,
                              TimeStepObserver observer = nullptr);

// The window start the figures use for a run of endTime seconds.
inline double FigureWindowStart(double endTime) { return 0.9 * endTime; }
