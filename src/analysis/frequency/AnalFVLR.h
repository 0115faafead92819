// Voltage-loop response: a sine in series with the control voltage, after the error
// amplifier. Measured: x1 the error-amplifier output (after the opto-isolator stage), x2 the
// feedback-network output (the amplifier's input), x3 the control voltage after the
// injection point (x3 = x1 + sine in AC terms).
//   1 "Loop Gain" 20·log10(M1/M3)            2 "Loop Phase" P1 - P3
//   3 "Control to Feedback Output Gain" M2/M3 4 its phase P2 - P3
//   5 "Error Amplifier Gain" M1/M2            6 its phase P1 - P2
//
// Analytic error-amplifier response, inverting stage with input impedance Zi and feedback
// impedance Zf: G = |Zf|/|Zi|, phi = arg Zf - pi - arg Zi. The "Single Pole with DC Feedback"
// amplifier is Zi = R1 and Zf = Rfb || C3:
//   Zf = 1/(j·w·C3) in parallel with Rfb:  |Zf| = Rfb·|Zc| / |Zc + Rfb|,
//   arg Zf = -pi/2 - atan2(-1/(w·C3), Rfb),   Zc = -j/(w·C3)
// which is the general network with the zero branch absent, Cf1 = C3 and Rp = Rfb. Without
// an opto-isolator stage nothing follows. The measured magnitudes are cross-checked against
// their estimates through G and the injected sine.
#pragma once

#include <cstdint>

struct ControlInputRec;

// G and phi of the error amplifier and opto-isolator at w rad/s; 0 for a network or
// opto-isolator stage it does not know.
int32_t CalcErrorAmpResponse(const ControlInputRec& ci, double w, double* gain, double* phase);

// A measured magnitude m (angle p) that disagrees by more than 1 % with both of its estimates
// u (angle angU) and v is replaced: by their geometric mean and mean angle when they agree
// with each other, else by the larger (u on a tie) unless m is larger than both.
void CrossCheckMagnitude(double& m, double& p, double u, double angU, double v, double angV);

int32_t RunVoltageLoopAnalysis();
