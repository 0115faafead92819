// The current ramp of peak current control: the sensed current voltage vs, filtered by R7
// into C6, with the clock's slope compensation added through Q1.
//
//   vs --RB(R7)-- B --CB(C6)-- return          B feeds the PWM comparator
//                 B --RA(R8) || CA(C7)-- C     vA = vC - vB
//                 C --RC(R9)-- return          C is Q1's emitter: its base follows the clock
//                                              Vx, and it can only source current, so
//                                              vC >= Vx - Voff (Voff = Q1's forward bias)
// Backward Euler (gA = CA·s, gB = CB·s, GA = 1/RA), x = vC/RC the current in RC:
//   B:  (vs - vB)/RB = gB·(vB - vBprev) - (GA·vA + gA·(vA - vAprev))
//   C:  x = -(GA·vA + gA·(vA - vAprev))            (Q1 off: RC takes what RA || CA gives)
// From B, with L = 1/(RB·gB + 1) and the RB current iB = (vs - vB)/RB:
//   iB = vA·M + K,  K = (gB·(vs - vBprev) + gA·vAprev)·L,  M = -L·(GA + gA)
// and vC = vA + vB = vA + vs - RB·iB gives vA = (x·RC - vs + RB·K)/(1 - RB·M); with
// N = 1/(RB·M - 1), P = (vs - RB·K)·N:  vA = x·(-N·RC) + P. Put into C:
//   x = (vAprev·gA - P·(GA + gA)) / ((GA + gA)·(-N·RC) + 1)
// Q1 conducts when that x puts C below Vx - Voff; then x = (Vx - Voff)/RC.
// State: rampCapacitorVoltage = vB, rampCapacitorCurrent = iCB, clockDividerVoltage = vA,
// clockDividerAux = iCA, clockDividerCurrent = iRA, clockDividerAux2 = RA's voltage,
// rampDifference = vC (Q1's emitter), r9ResistorCurrent = x, feedForwardResistorCurrent = iB
// (R7's current).
#pragma once

#include <cstdint>

#include "analysis/context/AnalInputRec.h"
#include "analysis/context/AnalRec.h"

struct RampNetwork {
    double ra = 0, rb = 0, rc = 0;  // ohm: R8, R7, R9
    double ca = 0, cb = 0;          // F: C7, C6
    double offset = 0;              // V, Q1's forward bias
};

RampNetwork RampNetworkOf(const ControlInputRec& in);
bool RampNetworkValid(const RampNetwork& n);
// vs: the sensed current voltage (with the injection); vx: the clock voltage.
int32_t SolveCurrentRampNetwork(const RampNetwork& n, double vs, double vx, double s, ControlStateRec* st);

// The ramp of voltage feed-forward control: C.FF charged from the bulk voltage Vb through
// R.FF, shorted by the reset switch (on resistance Rs) while the drive is off, so that each
// on-time starts from (nearly) zero and the ramp's slope follows the bulk. Backward Euler,
// k = C·R·s, v' the previous capacitor voltage:
//   drive on (switch open):    (Vb - v)/R = C·s·(v - v')           =>  v = (k·v' + Vb)/(k + 1)
//   drive off (switch closed): (Vb - v)/R = C·s·(v - v') + v/Rs    =>  v = (k·v' + Vb)·Rs/((k + 1)·Rs + R)
// The pulse ends where v reaches the control voltage Vc: from v = 0 at the on-edge,
// t = -R·C·ln(1 - Vc/Vb), so the duty falls as the bulk rises.
// State: rampCapacitorVoltage = v, rampCapacitorCurrent, resetSwitchCurrent,
// feedForwardResistorCurrent.
int32_t SolveFeedForwardRamp(const ControlInputRec& in, double bulk, bool driveOn, double s, ControlStateRec* st);
bool FeedForwardRampValid(const ControlInputRec& in);
