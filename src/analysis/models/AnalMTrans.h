// The switching transitions at the drive edges: how long the capacitances around the primary
// switch and the output rectifiers take to swing, how long the leakage inductances take to hand
// the choke currents over, and the energy the capacitances hold, lost once per edge.
//
// Notation: n the primary turns, a an output's effective turns (a/n its voltage ratio),
// Vin the bulk, Csw the switch's output capacitance; per output k the rectifier capacitances
// Cr1 (forward), Cr2 (freewheel), Cr3 (the winding's), its leakage Lk, choke current I0 with
// slope S and polarity p.
//
// On-edge (switch voltage V at the edge). The capacitances discharge into the switch:
//   E = ½·Csw·V² [+ ½·(3·Csw + 2·Cb)·V² two switches in series, Vx = 2·V, else Vx = V]
//       [+ (Cg + Cf)·½·(Nw/n)²·Vx² reset winding] [+ ½·Cd·Vx² clamp switch] [+ ½·Ce·Vx²]
//       + Σk (½·(a/n)²·Cr3·Vx² + ½·Cr1·Vrect1² + ½·(a/n)²·Cr2·Vin²)
// The choke currents then move from the freewheel rectifiers to the forward ones through the
// leakages L + Lk (L = L0, 2·L0 with two switches, plus (1 - kc²)·Lm with the auxiliary element):
// the bulk across the leakages (seen from the primary) drives a current that has to catch the
// choke currents reflected by a/n, still rising at S, over the time t itself:
//   Vin·t = Σk (Lk + L)·p·(a/n)·(S·(dmin + t) + I0)
//   =>  t = (Q2/(Vin·n)) / (1 - Q1/(Vin·n)),  Q1 = Σ (Lk + L)·p·a·S,  Q2 = Σ (Lk + L)·p·a·(S·dmin + I0)
// taken as 0 below 1 V of bulk, when negative, and when the choke slopes outrun the winding
// voltage (1 - Q1/(Vin·n) <= 0: the hand-over never completes within the model).
//
// Off-edge (switch current I at the edge). The switch swings to Vt = Vin + Vr, Vr the reset
// voltage of the variant: two switches 2·Vb + Vin; reset winding (Vd + Vin)·n/Nw; clamp the
// clamp voltage (+ Ve with two switches), at least Vin/3; none of them (the resonant reset,
// whose capacitor the step models itself) 0, so Vt = Vin. The current charges the capacitances:
//   t = (Vt/I)·((Cc + Csw) [+ 2·Cb + Cc] [+ (Cg + Cf)·(Nw/n)²] [+ Cd] [+ Ce])
//       + Σk (Cr1·Vr + Cr2·Vin + Cr3·Vt)·(a/n)²/I        (I above 0.1 mA, else 0)
//   E = ½·Csw·Vt² [+ ¼·(Cb + Cc)·Vt²] [+ (Cg + Cf)·½·(Nw/n)²·Vt²] [+ ½·Cd·Vt²] [+ ½·Ce·Vt²]
//       + Σk ½·(a/n)²·(Lk·I0² + Cr1·Vr² + Cr3·Vt²)
// The delay is t alone: the element delays already stand in the timers it is added to.
//
// The transition loss of a period is the energy of its edges over the period, plus the fixed
// power Pfix: P = (E_on + E_off)/T + Pfix.
#pragma once

#include <cstdint>

#include "analysis/context/AnalConst.h"

struct TransitionOutput {
    double turns = 0.0;        // a
    double cr1 = 0.0, cr2 = 0.0, cr3 = 0.0;
    double leakage = 0.0;      // Lk (H)
    double chokeCurrent = 0.0; // I0 (A)
    double chokeSlope = 0.0;   // S (A/s)
    double polarity = 1.0;     // p
    double rectifierVoltage = 0.0;  // the forward rectifier's capacitance voltage (V)
};

struct TransitionParams {
    int32_t noCalc = 0, doubled = 0, winding = 0, clamp = 0, capE = 0, clampSwitch = 0, auxElement = 0;
    double turnsRatio = 0.0;   // n
    double leakage = 0.0;      // L0 (H)
    double auxCoupling = 0.0;  // kc
    double magnetizing = 0.0;  // Lm (H)
    double csw = 0.0, cb = 0.0, cc = 0.0, cd = 0.0, ce = 0.0, cf = 0.0, cg = 0.0;  // (F)
    double windingTurns = 0.0;  // Nw
    double vb = 0.0, vd = 0.0, ve = 0.0;  // (V)
    double fixedPower = 0.0;    // Pfix (W)
    int32_t outputs = 0;
    TransitionOutput out[kMaxOutputs];
};

struct TransitionResult {
    double delay = 0.0;   // added to each element's own delay (s)
    double energy = 0.0;  // lost at this edge (J)
};

// dmin: the shortest element delay of the edge (the choke current is taken at its end).
TransitionResult CalcOnEdgeTransition(const TransitionParams& p, double switchVoltage, double vin, double dmin);
TransitionResult CalcOffEdgeTransition(const TransitionParams& p, double switchCurrent, double clampVoltage, double vin);
