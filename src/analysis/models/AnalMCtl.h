// Control-side elements of the voltage-mode loop: the sawtooth clock, the voltage error
// amplifier "Single Pole with DC Feedback", the soft start and the current-limit filter.
//
// Sawtooth clock: it starts a switching period at its upper limit, falls at the first slope
// (negative, V/s) to the lower limit, then rises at the second slope back to the upper limit,
// where the next period begins. The time to the turn it heads for is (limit - v)/slope.
//
// Error amplifier "Single Pole with DC Feedback", the general network of AnalMVea with
// topology 7 (ideal op-amp, non-inverting input at the
// reference Vr, R1 from the feedback voltage Vin to the inverting node, C3 in parallel with Rfb
// from the node to the output; g3 = C3·s; vC3 = output - node).
//   Linear form (node held at Vr, u = Vin - Vr): the input current u/R1 flows on through the
//   network, u/R1 = -(vC3/Rfb + g3·(vC3 - vC3prev)):
//       vC3 = (vC3prev·g3·R1 - u)·Rfb / (Rfb·g3·R1 + R1),  output = Vr + vC3
//   Clamped form (output held at the limit Vc, node free): one current i from the output
//   through the network and R1 to Vin; with G = 1/Rfb + g3,
//       vC3 = (i + g3·vC3prev)/G  and  vC3 = (Vc - Vin) - i·R1
//       =>  i = ((Vc - Vin)·G - g3·vC3prev) / (1 + R1·G),  node = Vin + i·R1,  vC3 = Vc - node
//   The amplifier starts linear, is held at a limit once its output would pass it, and comes
//   back to the linear form when the node crosses the reference (from below at the upper
//   limit, from above at the lower one).
// State: errorAmpStateC = vC3, veaInvertingInput = node, veaOutput, veaClampState (0 linear,
// 1 upper, 2 lower), veaClampValue = the held level.
// Current-limit filter: R in series, C to the return, fed by the sensed current voltage Vi:
//     Vc = (Vi/R + C·s·Vcprev) / (1/R + C·s)
#pragma once

#include <cstdint>

#include "analysis/context/AnalInputRec.h"
#include "analysis/context/AnalRec.h"

// The soft-start capacitor charges no further than this.
constexpr double kSoftStartTop = 5.0;  // V

// Moves the clock by h seconds, turning at the limits. *periodStart is set when the clock
// reached its upper limit (a new switching period begins).
int32_t AdvanceSawtoothClock(const ControlInputRec& in, ControlStateRec& st, double h, int32_t* periodStart);
// Seconds until the clock reaches the limit it heads for (0 when it stands on it).
double TimeToClockTurn(const ControlInputRec& in, const ControlStateRec& st);

struct ErrorAmpT7 {
    double r1, rfb, c3;    // ohm, ohm, F
    double lower, upper;   // output limits (V)
};
int32_t SolveVoltageErrorAmpLinearT7(const ErrorAmpT7& a, double input, double reference, double s,
                                     ControlStateRec* st);
int32_t SolveVoltageErrorAmpClampedT7(const ErrorAmpT7& a, double input, double s, ControlStateRec* st);
// The step of the amplifier: the form of its state, moved to the other form where the
// rules above say so.
int32_t CalcVoltageErrorAmpT7(const ErrorAmpT7& a, double input, double reference, double s, ControlStateRec* st);

double CalcCurrentLimitFilter(double input, double r, double c, double s, double previous);
