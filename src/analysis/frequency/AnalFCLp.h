// Current-loop response: a sine added to the returned current-sense signal x_c where it enters
// the current loop (the current error amplifier in average current control, the ramp network
// in peak current control). Measured: x_a the current error amplifier's output (in peak
// current control the control voltage the ramp is compared with), x_b = x_c +
// the sine (what the loop's input sees), x_c.
//   1 "Current Loop Gain" 20·log10(Mc/Mb)          2 "Current Loop Phase" Pc - Pb
//   3 "Current Error Amp Gain" Ma/Mb              4 its phase Pa - Pb
//   5 "Current Loop Modulator Gain" Mc/Ma         6 its phase Pc - Pa
// x_b and x_c differ by the injection only, so the smaller of the two, where the measurement
// of it disagrees by more than 1 % with the larger plus or less the sine, is rebuilt from the
// larger:  x_b estimate = x_c + A at angle 0,  x_c estimate = x_b - A at angle 0.
#pragma once

#include <cstdint>

// The one cross-check between the injected sum and the returned signal (a the amplitude).
void CrossCheckInjectedSum(double& mb, double& pb, double& mc, double& pc, double a);

int32_t RunCurrentLoopAnalysis();
