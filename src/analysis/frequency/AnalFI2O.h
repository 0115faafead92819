// Input-to-output analysis: a sine on the line voltage (every line phase's source), measured
// on the line (phase 1), the bulk input capacitor and a chosen output.
//   1 "Input Filter Gain" |V_in|/|V_line|    2 its phase
//   3 "Input to Output Gain" |V_out|/|V_in|  4 its phase
//   5 "Line to Output Gain" |V_out|/|V_line| 6 its phase
// The engine runs DC lines only: there is no rectified ripple to make the window
// commensurate with, so the window is whole injection periods spanning 100 switching periods
// and the line frequency is left alone; the start frequency settles for one such window.
#pragma once

#include <cstdint>

int32_t RunLineToOutputAnalysis();
