// Voltage-loop response: a sine in series with the control voltage, after the error
// amplifier. Measured: x1 the error-amplifier output (after the opto-isolator stage), x2 the
// feedback-network output (the amplifier's input), x3 the control voltage after the
// injection point (x3 = x1 + sine in AC terms).
//   1 "Loop Gain" 20·log10(M1/M3)            2 "Loop Phase" P1 - P3
//   3 "Control to Feedback Output Gain" M2/M3 4 its phase P2 - P3
//   5 "Error Amplifier Gain" M1/M2            6 its phase P1 - P2
//
// Analytic response G·exp(j·phi) from x2 to x1: the error amplifier's inverting stage
// -Zf/Zi (every input and feedback network) times the opto-isolator chain's small-signal
// transfer (transmitter, photo-transistor lag, receiver, op-amp inverter; 1 without one), both
// from their models. The measured magnitudes are cross-checked against their estimates
// through G and the injected sine.
#pragma once

#include <cstdint>

struct ControlInputRec;

// G and phi of the error amplifier and opto-isolator at w rad/s; 0 for an amplifier network
// or opto-isolator arrangement outside the known ones.
int32_t CalcErrorAmpResponse(const ControlInputRec& ci, double w, double* gain, double* phase);

// A measured magnitude m (angle p) that disagrees by more than 1 % with both of its estimates
// u (angle angU) and v is replaced: by their geometric mean and mean angle when they agree
// with each other, else by the larger (u on a tie) unless m is larger than both.
void CrossCheckMagnitude(double& m, double& p, double u, double angU, double v, double angV);

int32_t RunVoltageLoopAnalysis();
