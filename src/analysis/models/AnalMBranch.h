// Two-terminal element companions over one backward-Euler step, in the linear form
// V = z·I + e that every section hands on (V across the branch, I entering its positive end;
// ohm, V, A; s = 1/h in 1/s; "prev" are the values at the start of the step).
//
// Inductor L with series R:
//     V = R·I + L·(I - Iprev)·s            =>  z = R + L·s,  e = -L·s·Iprev
// Capacitor group (c1 leakage resistance, c2 ESL, c3 ESR, c4·c5 leakage switch, c6 = C):
//     capacitor node  I = C·s·(Vc - Vcprev) + g·Vc,  g = 1/c1 when c4·c5 != 0, else 0
//                     =>  Vc = (I + C·s·Vcprev) / (C·s + g)
//     branch          V = R'·I + c2·s·(I - Iprev) + Vc
//                     =>  z = R' + c2·s + 1/(C·s + g),  e = C·s·Vcprev/(C·s + g) - c2·s·Iprev
//   R' = max(c3 - h/(2·C), 0) when c3 > 0, else c3. Why: backward Euler's capacitor seen at its
//   terminals is h·q/(C·(q - 1)) (q = e^(j·w·h), one step's shift) = 1/(j·w·C) + h/(2·C)
//   + O(w·h²/C): a series resistance h/(2·C) the part does not have. Beside a small ESR that
//   is first order in the magnitude (47 uF at 100 ns: 1.06 mohm on a 10 mohm ESR lifts a
//   second stage's ripple 0.8 %). Taking it off the ESR leaves
//       R' + h·q/(C·(q - 1)) = c3 + (h/(2·C))·(q + 1)/(q - 1),
//   the trapezoidal rule's impedance, right to second order, at no extra steps. The same
//   per step, from Vc - Vcprev = h·I/C:
//       h·V·I = ½·C·(Vc² - Vcprev²) + h·c3·I² + h·(R' + h/(2·C) - c3)·I²
//   so while R' > 0 the branch takes exactly its stored energy and its ESR's loss (backward
//   Euler alone loses h²·I²/(2·C) more). R' is kept >= 0: with a voltage across the branch
//   the state follows Vc = (R'·Vcprev + (h/C)·V)/(R' + h/C), a factor R'/(R' + h/C) in
//   [0, 1) on the old state, so no trapezoidal ringing after an edge; below that the rest of
//   the step error stays (still less than before). The capacitor's own voltage Vc keeps the
//   backward-Euler charge balance (its step mean, Vc - h·I/(2·C), is the trapezoidal one).
//   An ideal capacitor (c3 = 0: clamp and reset capacitors) is left as it was.
// Resistor R with series inductance L: the inductor form.
// Diode or switch: on  V = Ron·I + Vf (Vf = 0 for a switch channel), off  V = Roff·I.
// Two branches between the same two nodes (parallel), eliminating the branch currents:
//     V = z1·I1 + e1 = z2·I2 + e2, I = I1 + I2
//     =>  z = z1·z2/(z1 + z2),  e = (e1·z2 + e2·z1)/(z1 + z2)
#pragma once

#include <cstdint>

#include "analysis/context/AnalEngine.h"

// One capacitor as the design hands it (the six doubles of its input record).
struct CapacitorGroup {
    double leakageResistance;  // c1 (ohm)
    double esl;                // c2 (H)
    double esr;                // c3 (ohm)
    double leakageA;           // c4
    double leakageB;           // c5
    double capacitance;        // c6 (F)
};

// Inline: every element of every output calls these several times a step.
inline double LeakageConductance(const CapacitorGroup& cap) {
    return cap.leakageA * cap.leakageB != 0.0 && cap.leakageResistance > 0.0 ? 1.0 / cap.leakageResistance : 0.0;
}

inline int32_t CalcInductorBranchCoeffs(double inductance, double resistance, double s, double currentPrev,
                                        BranchPair* out) {
    out->z = resistance + inductance * s;
    out->e = -inductance * s * currentPrev;
    return 1;
}

// R' of the capacitor group over a step of 1/s.
inline double CapacitorStepResistance(const CapacitorGroup& cap, double s) {
    if (!(cap.esr > 0.0) || !(cap.capacitance > 0.0) || !(s > 0.0)) return cap.esr;
    const double r = cap.esr - 0.5 / (cap.capacitance * s);
    return r > 0.0 ? r : 0.0;
}

inline int32_t CalcCapacitorBranchCoeffs(const CapacitorGroup& cap, double s, double voltagePrev, double currentPrev,
                                         BranchPair* out) {
    const double y = cap.capacitance * s + LeakageConductance(cap);
    out->z = CapacitorStepResistance(cap, s) + cap.esl * s + 1.0 / y;
    out->e = cap.capacitance * s * voltagePrev / y - cap.esl * s * currentPrev;
    return 1;
}

// The capacitor's own voltage after the step, from the branch current of the solve.
inline double UpdateCapacitorBranch(const CapacitorGroup& cap, double s, double voltagePrev, double current) {
    return (current + cap.capacitance * s * voltagePrev) / (cap.capacitance * s + LeakageConductance(cap));
}

// A capacitor that takes its charge by the trapezoid over the step (the line's bulk capacitors),
//   C·(v - v') = h·((i - G·v) + (i' - G·v'))/2,  v = ((2C/h - G)·v' + i + i')/(2C/h + G),
// i, i' the branch current at the step's ends, G the leakage. Backward Euler's C·(v - v') =
// h·i charges them with each step's end current: the primary's draw ramps through the on-time
// and the reset, and the line then supplies 2 to 3 % more than the continuous circuit takes
// (the converter's L·di²/2 per step paid at the bulk). The series ESL and ESR stay as they are.
inline BranchPair TrapezoidalCapacitor(const CapacitorGroup& cap, double s, double voltagePrev, double currentPrev) {
    const double twoCs = 2.0 * cap.capacitance * s, g = LeakageConductance(cap);
    return {cap.esr + cap.esl * s + 1.0 / (twoCs + g),
            ((twoCs - g) * voltagePrev + currentPrev) / (twoCs + g) - cap.esl * s * currentPrev};
}

inline double UpdateTrapezoidalCapacitor(const CapacitorGroup& cap, double s, double voltagePrev, double currentPrev,
                                  double current) {
    const double twoCs = 2.0 * cap.capacitance * s, g = LeakageConductance(cap);
    return ((twoCs - g) * voltagePrev + current + currentPrev) / (twoCs + g);
}

inline int32_t CalcRectifierCoeffs(int32_t conducting, double forwardVoltage, double onResistance,
                                   double offResistance, BranchPair* out) {
    out->z = conducting ? onResistance : offResistance;
    out->e = conducting ? forwardVoltage : 0.0;
    return 1;
}

inline int32_t CalcSwitchCoeffs(int32_t conducting, double onResistance, double offResistance, BranchPair* out) {
    return CalcRectifierCoeffs(conducting, 0.0, onResistance, offResistance, out);
}

inline BranchPair ParallelBranches(const BranchPair& first, const BranchPair& second) {
    const double sum = first.z + second.z;
    return {first.z * second.z / sum, (first.e * second.z + second.e * first.z) / sum};
}

// The current of a branch from the voltage across it.
inline double BranchCurrent(const BranchPair& branch, double voltage) { return (voltage - branch.e) / branch.z; }
