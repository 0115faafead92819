// Control-side elements of the voltage-mode loop: the sawtooth clock, the voltage error
// amplifier "Single Pole with DC Feedback", the soft start and the current-limit filter.
//
// Sawtooth clock: it starts a switching period at its upper limit, falls at the first slope
// (negative, V/s) to the lower limit, then rises at the second slope back to the upper limit,
// where the next period begins. The time to the turn it heads for is (limit - v)/slope.
//
// Error amplifier (ideal op-amp, non-inverting input at the reference Vr, input resistor R1
// from the feedback voltage Vf to the inverting node, feedback network Rfb in parallel with C3
// from the inverting node to the output). With the network voltage Vn = Vr - Vout and the
// input current I = (Vf - Vr)/R1 flowing into the network, backward Euler gives
//     I = Vn/Rfb + C3·s·(Vn - Vnprev)   =>  Vn = (I + C3·s·Vnprev) / (1/Rfb + C3·s)
//     Vout = Vr - Vn, held between the lower and upper output limits (then Vn = Vr - Vout).
// At DC the gain is -Rfb/R1 around Vr.
//
// Current-limit filter: R in series, C to the return, fed by the sensed current voltage Vi:
//     Vc = (Vi/R + C·s·Vcprev) / (1/R + C·s)
#pragma once

#include <cstdint>

#include "analysis/context/AnalInputRec.h"
#include "analysis/context/AnalRec.h"

// Moves the clock by h seconds, turning at the limits. *periodStart is set when the clock
// reached its upper limit (a new switching period begins).
int32_t AdvanceSawtoothClock(const ControlInputRec& in, ControlStateRec& st, double h, int32_t* periodStart);
// Seconds until the clock reaches the limit it heads for (0 when it stands on it).
double TimeToClockTurn(const ControlInputRec& in, const ControlStateRec& st);

int32_t SolveVoltageErrorAmpT7(double feedback, double reference, double r1, double rfb, double c3, double s,
                               double lower, double upper, ControlStateRec* st);

double CalcCurrentLimitFilter(double input, double r, double c, double s, double previous);
