// The second-stage output filter of one output over one backward-Euler step: a series
// element from the first stage's node n1 to the output node, and Capacitor Out 2 across the
// output node beside the load (every pair V = z·I + e; ohm, V, A; s = 1/h).
//
// Series element, V(n1) - V(out) = zs·I + es with I from n1 to the output:
//   1 "LC Filter", 3 "... Capacitor Damping"   Inductor Out 2:  zL = R2 + L2·s, eL = -L2·s·I2prev
//   2 "LC with Inductor Damping"          Inductor Out 2 beside Resistor Damp 2 (zD = Rd, eD = 0)
//   4 "... and Damping Inductor"          Inductor Out 2 beside Resistor Damp 2 in series with
//                                         Inductor Out 3:  zD = Rd + R3 + L3·s, eD = -L3·s·I3prev
//   two branches side by side (AnalMBranch.h):  zs = zL·zD/(zL + zD),  es = (eL·zD + eD·zL)/(zL + zD)
//   5 = 2 and 6 = 4, each with the damping capacitor below
// Output node: the capacitor group (zC, eC) beside the load (zd, ed), and in variants 3, 5
// and 6 the damping capacitor (Capacitor Damp 2 behind Resistor Damp 3, its ESR taking the
// resistor) beside both, each pair joined as two branches side by side:
//   zo = zC·zd/(zC + zd),  eo = (eC·zd + ed·zC)/(zC + zd)
// Seen from n1 (what the first stage has behind it):  z = zs + zo,  e = es + eo.
// Reverse pass from V(n1): I = (V(n1) - e)/z, V(out) = zo·I + eo, each branch's current from
// the voltage across it, the capacitor's own voltage from its current.
// Variant 0 "None" hands the load's pair on, and the output node is n1.
#pragma once

#include <cstdint>

#include "analysis/context/AnalLoadStore.h"
#include "analysis/models/AnalMBranch.h"

struct SecondStageValues {
    int32_t variant = 0;
    CapacitorGroup capacitor{};     // Capacitor Out 2
    CapacitorGroup dampingCapacitor{};  // Capacitor Damp 2 with Resistor Damp 3 in its ESR
    double inductance = 0.0;        // Inductor Out 2 (H)
    double resistance = 0.0;        // (ohm)
    double dampingResistance = 0.0;  // Resistor Damp 2 (ohm)
    double dampingInductance = 0.0;  // Inductor Out 3 (H)
    double dampingInductorResistance = 0.0;  // (ohm)
};

struct SecondStageStart {
    double inductorCurrent = 0.0;   // Inductor Out 2
    double dampingCurrent = 0.0;    // the damping branch
    double capacitorVoltage = 0.0;  // Capacitor Out 2's own voltage
    double capacitorCurrent = 0.0;
    double dampingCapacitorVoltage = 0.0;  // Capacitor Damp 2's own voltage
    double dampingCapacitorCurrent = 0.0;
};

struct SecondStageResult {
    double current = 0.0;        // into the stage from n1
    double outputVoltage = 0.0;  // the output node
    double inductorCurrent = 0.0;
    double dampingCurrent = 0.0;
    double capacitorCurrent = 0.0;
    double capacitorVoltage = 0.0;  // Capacitor Out 2's own voltage after the step
    double dampingCapacitorCurrent = 0.0;
    double dampingCapacitorVoltage = 0.0;  // Capacitor Damp 2's own voltage after the step
};

// True for the variants 0..6.
bool SecondStageVariantBuilt(int32_t variant);
// 1, or 0 for a variant not built or a result that is not finite.
int32_t CalcSecondStageCoeffs(const SecondStageValues& v, double s, const SecondStageStart& start,
                              const BranchPair& downstream, SecondStageCoeffs* out);
int32_t UpdateSecondStage(const SecondStageValues& v, double s, const SecondStageStart& start,
                          const SecondStageCoeffs& c, double vn1, SecondStageResult* out);

// First stage "Capacitor with Damping": beside Capacitor Out 1 the damping branch, Capacitor
// Damp 1 in series with Resistor Damp 1 and its ESL (one current through all):
//   z = zC + Rd + Ld·s,  e = eC - Ld·s·Iprev.
struct FirstStageDamping {
    CapacitorGroup capacitor{};  // Capacitor Damp 1
    double resistance = 0.0;     // Resistor Damp 1 (ohm)
    double inductance = 0.0;     // its ESL (H)
};
int32_t CalcFirstStageDampingCoeffs(const FirstStageDamping& d, double s, double capacitorVoltagePrev,
                                    double currentPrev, BranchPair* out);
