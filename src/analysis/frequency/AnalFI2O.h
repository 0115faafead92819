// Input-to-output analysis: a sine on the line voltage (every line phase's source), measured
// on the line (phase 1), the bulk input capacitor and a chosen output.
//   1 "Input Filter Gain" |V_in|/|V_line|    2 its phase
//   3 "Input to Output Gain" |V_out|/|V_in|  4 its phase
//   5 "Line to Output Gain" |V_out|/|V_line| 6 its phase
// On a rectified AC line the bulk ripples at the rectified line frequency: the window holds a
// whole number of injection periods and of ripple periods, the line frequency nudged to make it
// so, and the ripple then integrates out of the sums as the switching ripple does. Without a
// line rectifier (or on a DC line) there is no ripple to fit: the window is whole injection
// periods spanning 100 switching periods, and the line frequency is left alone. The start
// frequency settles for whole windows spanning 100 switching periods.
#pragma once

#include <cstdint>

struct LineRippleWindow {
    double window = 0.0;         // s; 0 when the line has no rectified ripple
    double lineFrequency = 0.0;  // Hz, the line frequency that fits the window
};

// The window for an injection at `frequency` on a line of `lineFrequency` through rectifier
// case `rectifierCase` with `phases` phases: the ripple period is the line period, halved by
// a full-wave rectifier (every case but the half-wave 1-3) and divided by 3 on three phases.
LineRippleWindow RippleCommensurateWindow(double frequency, double lineFrequency, int32_t rectifierCase,
                                          int32_t phases);

int32_t RunLineToOutputAnalysis();
