// Hysteretic current control: the sensed choke current against a window around the control
// voltage, the window opened and shut by the PWM comparator's own output.
//
// The sense, with the current-loop injection UI added, is filtered by R7 into C6 and drives
// the comparator's inverting input (backward Euler, k = R7·C6·s, v' the previous voltage):
//   vS = (k·v' + UI + u)/(k + 1)
// The non-inverting input N is one series loop from the comparator output vIn (its logic
// level VL while the drive is on, 0 while it is off) through C8 and R10 to N, and through R9
// from N to the control voltage vRef (the limited error voltage):
//
//   vIn --C8--R10-- N --R9-- vRef
//
// With gc = C8·s and vc' the previous C8 voltage, the loop current is
//   i = (vIn - vRef - vc')·gc/((R10 + R9)·gc + 1)
//   N = vRef + R9·i,   vc = vc' + i/gc,   iC8 = (vc - vc')·gc = i
// C8 blocks DC, so N averages vRef and the loop regulates the sensed current's mean; at
// each drive edge vIn steps by VL and N by
//   band = VL·R9/(R10 + R9)                      (C8 a short over one period: gc·(R10 + R9) >> 1)
// so that the sense turns the drive off at the upper edge of the window and on at its lower
// edge. From the choke current's slopes in sense volts, a = G·(Vs - Vo - Vd)/L on and
// b = G·(Vo + Vd)/L off (G the sense gain), the sense falls through the band in the off-time
// band/b and rises through it in band/a: the hysteretic period is
//   T = band·(1/a + 1/b) = band/((1 - D)·b),   D = b/(a + b)
// Why this order of the loop: the design names C8 the hysteresis filter in series with the
// upper divider element R10 (the comparator output charges it through R10 while N is held),
// and R9 the lower element; a capacitor next to vRef instead would block the control voltage
// itself and leave N at the mean comparator output, whatever the loop asks.
// A reading that puts this loop between the sensed signal and the control voltage instead
// (the sense through R10 to N, R9 and C8 on to vRef) was weighed and rejected:
//  - it has no hysteresis: nothing that depends on the drive enters N, so the comparator
//    flips as fast as the delays allow (a few MHz on a 100 kHz-class design), whatever R9,
//    R10, C8 and the logic level are, and with C8 blocking vRef the loop cannot regulate;
//  - everything else the design says of these parts describes the loop above: the window's
//    width is the logic level times R9/(R10 + R9), the steady state of C8 is the mean
//    comparator output less the control voltage (StartHystereticWindow), the state's names
//    are the comparator input, the C8 voltage and the R9 and R10 drops, the comparator's
//    output swings between 0 and its logic level, and the node formula
//    N = vRef + R9·(vIn - vRef - vc')·gc/((R10 + R9)·gc + 1) is the one solved here with
//    the comparator output as vIn;
//  - a separate circuit simulation of the loop above agrees with this model within 0.6 %
//    on output, ripples, period and duty.
// Sensing the output capacitors: the capacitor's current reaches the comparator through a
// current transformer and a rectifier into Resistor Cap Sense (Rcs), biased from V Bias
// through Resistor Bias 1 (Rb1). The rectifier passes only the rise of the capacitor current
// from where it last blocked, so at the turn-on (the current's valley) the sense rests on the
// bias B = VBias·Rcs/(Rcs + Rb1), and the window's lower edge there, vRef - D·band, meets it:
//   vRef = B + D·band                               (HystereticControlVoltage)
// The capacitor's mean current is 0 wherever the window sits, so the error amplifier alone
// sets the output. An edge below B leaves the comparator waiting for the loop; the sense
// transformer's droop (its secondary's L/R) lifts the valley a little each period until
// such a late turn-on resets it, a cycle of about a dozen periods, not one periodic point.
// State: hystInput = vIn, hystFiltered = vc, r10ResistorCurrent = i, hystAux1 = R10's voltage,
// hystAux3 = R9's voltage, pwmComparatorNonInverting = N; rampCapacitorVoltage = vS,
// rampCapacitorCurrent = C6's current.
#pragma once

#include <cstdint>

#include "analysis/context/AnalInputRec.h"
#include "analysis/context/AnalRec.h"

struct HystNetwork {
    double ra = 0, rb = 0, cc = 0;  // ohm, ohm, F: R10, R9, C8
    double rs = 0, cs = 0;          // ohm, F: R7, C6 of the sense filter
};

HystNetwork HystNetworkOf(const ControlInputRec& in);
bool HystNetworkValid(const HystNetwork& n);
// The comparator output's high level: the logic voltage, or its share of the bulk voltage.
double HystereticLogicLevel(const ControlInputRec& in, double bulk);
// The sense filter: u the sensed current voltage, injection the current-loop injection.
int32_t SolveHystereticSenseFilter(const HystNetwork& n, double u, double injection, double s, ControlStateRec* st);
// The window loop: vIn the comparator output, vRef the control voltage.
int32_t SolveHystereticComparatorNetwork(const HystNetwork& n, double vIn, double vRef, double s,
                                         ControlStateRec* st);
// The window at the start of a steady period, the drive about to turn on (vIn = 0): C8 holds
// the mean comparator output less the control voltage, D·VL - vRef (no DC current through
// it), so the loop carries i = -D·VL/(R10 + R9) (C8 a short over the step) and N sits D·band
// below vRef, where the falling sense turns the drive on.
int32_t StartHystereticWindow(const HystNetwork& n, double vl, double duty, double vRef, ControlStateRec* st);
// The control voltage that puts the window's lower edge at the turn-on, vRef - D·band, on the
// sensed valley.
double HystereticControlVoltage(const HystNetwork& n, double vl, double duty, double valley);
// Seconds until the comparator's difference passes zero, either way, at its present rate;
// -1 when it is not heading there.
double TimeToHystereticCrossing(const ControlStateRec& st);
