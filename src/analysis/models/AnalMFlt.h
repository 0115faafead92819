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
// Core losses: a conductance g across Inductor Out 2 (across Inductor Out 3 alone, not Resistor
// Damp 2) makes its pair z' = z/(1 + g·z), e' = e/(1 + g·z) (AnalMLoss.h); the inductor's own
// current is the branch's less g times the voltage across it, and it is that current the
// next step starts from.
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
    double inductorConductance = 0.0;  // Inductor Out 2's core-loss conductance (S)
    double dampingInductorConductance = 0.0;  // Inductor Out 3's (S)
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
    double inductorCurrent = 0.0;  // Inductor Out 2's own
    double inductorVoltage = 0.0;
    double dampingCurrent = 0.0;   // through the damping branch
    double dampingInductorCurrent = 0.0;  // Inductor Out 3's own
    double dampingInductorVoltage = 0.0;
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
//   z = zC + Rd + Ld·s,  e = eC - Ld·s·Iprev  (Rd taken into zC's ESR for its step correction).
struct FirstStageDamping {
    CapacitorGroup capacitor{};  // Capacitor Damp 1
    double resistance = 0.0;     // Resistor Damp 1 (ohm)
    double inductance = 0.0;     // its ESL (H)
};
int32_t CalcFirstStageDampingCoeffs(const FirstStageDamping& d, double s, double capacitorVoltagePrev,
                                    double currentPrev, BranchPair* out);

// First stage "... with Current Sensing" (variants 2 and 3): the sensed branch (Capacitor
// Out 1, in variant 3 with the damping branch beside it) returns through the primary of the
// current sense transformer. Its secondary drives the Current Sense Diode into the sense
// node, which Resistor Cap Sense returns, V Bias offsets through Resistor Bias 1, and
// Resistor Bias 2 with Capacitor Bias filters on to the sense output the control reads.
//
// The transformer is two coupled windings: Lp, Ls, M = k·sqrt(Lp·Ls); the primary current Ip
// flows into its dotted end, the secondary current Is out of its dotted end into the diode
// (so that Is = Ip·M/Ls for an ideal core):
//   Vp = Rp·Ip + Lp·s·(Ip - Ip0) - M·s·(Is - Is0)
//   Vs = M·s·(Ip - Ip0) - Ls·s·(Is - Is0) - Rs·Is
// Sense node, three branches to the return in parallel (AnalMBranch.h): Resistor Cap Sense
// (Rcs, 0), Resistor Bias 1 to V Bias (Rb1, Vb), Resistor Bias 2 in series with Capacitor
// Bias (Rb2 + zCb, eCb):  Vn = zN·Is + eN.
// Diode conducting:  Vs = (Rd + zN)·Is + Vf + eN, so with Zs = Ls·s + Rs + Rd + zN
//   Is = a·Ip + b,  a = M·s/Zs,  b = (Ls·s·Is0 - M·s·Ip0 - Vf - eN)/Zs
// Diode open:  Is = 0 (a = b = 0); its current is taken as ended, so the open diode sees the
// mutual part of the winding voltage, Vd = M·s·(Ip - Ip0) - eN.
// Either way the primary is the pair
//   zP = Rp + Lp·s - M·s·a,  eP = -Lp·s·Ip0 + M·s·(Is0 - b)
// in series with the sensed branch:  z = zB + zP, e = eB + eP (zB, eB Capacitor Out 1, or in
// variant 3 Capacitor Out 1 beside the damping branch).
// Reverse pass from Ip: Vp, Is, Vn = zN·Is + eN, each sense branch's current from Vn, Capacitor
// Bias's own voltage from its current, the sense output = Vn - Rb2·(its current).
// The core's loss is a conductance g across the primary's terminals: the winding carries
// Iw = Ip - g·Vp, and with Vp = zP·Iw + eP the branch sees
//   zP' = zP/(1 + g·zP),  eP' = eP/(1 + g·zP),
// the secondary following the winding's own current, Is = a·Iw + b (Ip0 above is Iw's).
struct CapacitorSenseValues {
    double primaryInductance = 0.0;    // Lp (H)
    double secondaryInductance = 0.0;  // Ls (H)
    double mutualInductance = 0.0;     // M (H)
    double primaryResistance = 0.0;    // Rp (ohm)
    double secondaryResistance = 0.0;  // Rs (ohm)
    double coreConductance = 0.0;      // g across the primary (S)
    double diodeForwardVoltage = 0.0;  // Vf (V)
    double diodeResistance = 0.0;      // Rd (ohm)
    double senseResistance = 0.0;      // Resistor Cap Sense (ohm)
    double biasVoltage = 0.0;          // V Bias (V)
    double biasResistance1 = 0.0;      // Resistor Bias 1 (ohm)
    double biasResistance2 = 0.0;      // Resistor Bias 2 (ohm)
    CapacitorGroup biasCapacitor{};    // Capacitor Bias
};

struct CapacitorSenseStart {
    double primaryCurrent = 0.0;        // Ip0
    double secondaryCurrent = 0.0;      // Is0
    double biasCapacitorVoltage = 0.0;  // Capacitor Bias's own voltage
    double biasCapacitorCurrent = 0.0;
    int32_t diodeOn = 0;
};

struct CapacitorSenseResult {
    double primaryVoltage = 0.0;
    double windingCurrent = 0.0;    // the primary winding's own, Iw
    double secondaryCurrent = 0.0;
    double secondaryVoltage = 0.0;  // across the winding
    double diodeVoltage = 0.0;      // anode to cathode
    double nodeVoltage = 0.0;       // across Resistor Cap Sense
    double senseResistorCurrent = 0.0;
    double bias1Current = 0.0;      // from V Bias into the node
    double bias2Current = 0.0;      // from the node into Capacitor Bias
    double biasCapacitorVoltage = 0.0;  // its own voltage after the step
    double output = 0.0;            // the sense output
};

// 1, or 0 when a result is not finite.
int32_t CalcCapacitorSenseCoeffs(const CapacitorSenseValues& v, double s, const CapacitorSenseStart& start,
                                 CapacitorSenseCoeffs* out);
int32_t UpdateCapacitorSense(const CapacitorSenseValues& v, double s, const CapacitorSenseStart& start,
                             const CapacitorSenseCoeffs& c, double primaryCurrent, CapacitorSenseResult* out);
// Capacitor Bias as the engine models it: ideal, with the negligible ESR and ESL that keep its
// branch in the capacitor form.
CapacitorGroup BiasCapacitorGroup(double capacitance);
