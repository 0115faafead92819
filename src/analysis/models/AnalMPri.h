// The single-switch primary with a passive (RCD) clamp: the loop that the primary winding
// sees in each switch state, and the clamp network's own state. Backward Euler, s = 1/h;
// every branch in the form V = z·I + e (AnalMBranch.h).
//
// Circuit: the winding's dotted end on the bulk node, its other end on the drain D. Switch 1
// (Ron while on, the open resistance while off) from D to the sense resistor (R with its ESL)
// and the return. The clamp rectifier (Vf, Rd) from D to the clamp node K; the clamp
// capacitor and the clamp resistor in parallel from K back to the bulk node, so the clamp
// holds the drain above the bulk by its own voltage.
//
// Clamp network seen from K towards the bulk node (I entering K):
//     capacitor group  Vk = zc·Ic + ec        resistor  Vk = Rcl·Ir        I = Ic + Ir
//     =>  Vk = zn·I + en,  the parallel form of the two (ParallelBranches).
// Primary loop, Vw = Vbulk - VD = A·Ip + B, with Vbulk = ebulk - zbulk·Idraw:
//   state 2 (switch on):   VD = (Ron + zsr)·Ip + esr, Idraw = Ip
//                          A = -(zbulk + Ron + zsr),  B = ebulk - esr
//   state 0 (all open):    as state 2 with the open resistance for Ron
//   state 1 (clamp rectifier conducting): VD = Vbulk + Vf + Rd·Ip + zn·Ip + en; the current
//                          leaves the bulk node through the winding and comes back into it
//                          through the clamp, so Idraw = 0 and the bulk drops out:
//                          A = -(zn + Rd),  B = -(en + Vf)
// In states 0 and 2 the rectifier blocks and the network only discharges: I = 0.
// The off paths of the blocking devices (open resistance, 1e5 ohm and up) are left out of
// the loop, as in the two-switch loops.
//
// Energy balance that the clamp settles to (used by the regression design): each cycle the
// clamp takes the magnetising current Im from its turn-off value down to 0 at the slope
// (Vcl + Vf)/Lp, a charge Im²·Lp/(2·(Vcl + Vf)); at the clamp's voltage that is the energy
// ½·Lp·Im²·Vcl/(Vcl + Vf), which the resistor burns as Vcl²/Rcl each period T:
//     Vcl·(Vcl + Vf) = Rcl·½·Lp·Im²/T
//
// The single switch with resonant reset: the reset capacitor Cr across switch 1 (drain to
// source), the source on the sense resistor, the winding from the bulk to the drain. The
// switch element beside the capacitor (I drain to source) is Ron while on, the body diode
// V = Rbd·I - Vbd while that conducts, the open resistance otherwise; the pair is one
// branch Vds = zds·I + eds (ParallelBranches), and the whole primary current passes it:
//   Vw = Vbulk - Vds - Vsense, Idraw = Ip   =>   A = -(zbulk + zds + zsr),  B = ebulk - eds - esr
// After the switch turns off the magnetising current rings with Cr: from the winding's
// zero crossing (Vds = Vbulk) on, with the secondary rectifiers off, the peak is
//     Vpk = Vbulk + sqrt(Lp/Cr · Im² + (energy the leakage hands to Cr)·2/Cr)
// and the ring back below the return is held by the body diode, through which the
// magnetising current, now negative, flows back into the bulk until the next turn-on.
//
// The single switch with an active clamp: the clamp switch SW2 (Ron2, its channel driven
// while switch 1 is off, so it carries the current both ways) and the clamp capacitor in
// series from the drain back to the bulk node. While switch 1 is off (state 1) the winding is
// held at minus the clamp's voltage, and the current comes back into the bulk node:
//     VD = Vbulk + Ron2·Ip + Vc,  Vc = zc·Ip + ec   =>   A = -(zc + Ron2),  B = -ec,  Idraw = 0
// while on (state 2) it is the single switch's loop above. The magnetising current runs
// through zero in the clamp interval and the clamp settles where the winding's volt-seconds
// balance: Vp·D = Vc·(1 - D), Vc = Vp·D/(1 - D).
// In the dead times a body diode stands for a channel: the clamp switch's (Vf2, Rd2) carries a
// positive current into the clamp, VD = Vbulk + Vf2 + Rd2·Ip + Vc, so B = -(ec + Vf2), A as
// above with Rd2; switch 1's carries a negative one up from the return, VD = Vsense - Vbd +
// Rbd·Ip, the single switch's loop with the element {Rbd, -Vbd} for {Ron, 0}. Each element is a
// branch V = z·I + e, and the loops are
//   state 1, 3:   A = -(zc + zclamp),              B = -(ec + eclamp)
//   state 0, 2:   A = -(zbulk + zsw + zsr),        B = ebulk - esw - esr
// With a dead time td at the off-edge the clamp sees Vf2 more for td, and at the on-edge the
// winding takes Vp + Vbd from the clamp switch's turn-off, td' before switch 1's channel:
//   Vp·D·T + (Vp + Vbd)·td' = Vc·((1 - D)·T - td') + (Vc + Vf2)·td
//
// Current sense transformer (the variants sensed by a transformer), its primary in the place
// of the sense resistor: two coupled windings, the primary Lp, the secondary Ls, M = k·sqrt(Lp·Ls).
// Referred through the ratio n = M/Ls (N1/N2 for a tight core) they are a primary leakage
// Ll = Lp - M²/Ls = (1 - k²)·Lp in series with a magnetising inductance Lm = M²/Ls = k²·Lp
// across an ideal n:1 transformer, the secondary with no leakage of its own:
//     Vp = Lp·dI/dt - M·dIs/dt = Ll·dI/dt + Lm·dIm/dt,     Im = I - Is/n
//     Vs = M·dI/dt - Ls·dIs/dt = (Lm·dIm/dt)/n
// The power stage drives I, so Is follows from I alone; Ll adds its Ll·dI/dt to the switch
// path whatever the secondary does, from the path's current Ipath at the step's start:
//     V += Ll·s·(I - Ipath)
// It carries the loop's current wherever the path is in the loop, so Ipath is the loop's
// current at the step's start; where the path joins the loop (a clamp or reset interval ends)
// it takes the loop's current as it stands, and the small energy ½·Ll·I² that a real switch
// node would ring away is dropped, as a snubber would.
// What it costs the converter: Ll stands in series with the power transformer's primary, so
// seen from a secondary (Lp, Ls, k the power windings; Thevenin of the primary behind Ll)
//     E'   = k·Vp·sqrt(Ls/Lp)·Lp/(Lp + Ll)            (the divider Ll : Lp)
//     Llk' = Ls - k²·Ls·Lp/(Lp + Ll) ≈ Ls·(1 - k²) + (k²·Ls/Lp)·Ll
// The turn-on commutation lasts Llk'·IL/E' instead of Llk·IL/E: with the part's preset
// (Lp 10 uH, k² = 0.98, Ll = 0.2 uH) on a 48 V, 1:1 forward at 2.5 A and 100 kHz that is
// 10 ns more, 0.1 % of duty and 0.4 % of a quarter-duty output, and the on-time's slope adds
// its share through the divider: 0.57 % of output at a fixed duty, less at a higher input
// voltage. A closed loop takes it back in duty.
// While its rectifier conducts (switch 1 on with its current forward) the secondary loop (sense
// resistor Rs, secondary winding Rsec, the rectifier's resistance Rd), R = Rs + Rsec + Rd seen
// as n²·R, is in parallel with Lm, and the magnetising current Im takes its share:
//     V1 = Lm·s·(Im - Imprev) = n²·R·(I - Im)
//     =>  Im = (n²·R·I + Lm·s·Imprev) / (Lm·s + n²·R)
//     V  = Rp·I + V1,   z = Rp + Lm·s·n²·R/(Lm·s + n²·R),   e = -Lm·s·n²·R·Imprev/(Lm·s + n²·R)
//     sensed current Is = n·(I - Im), sensed voltage Rs·n·(I - Im)
// so under a constant current the sensed current droops as n·I·exp(-t/τ), τ = Lm/(n²·R) =
// Ls/R, and under a ramp I0 + S·t it is n·(I0·exp(-t/τ) + S·τ·(1 - exp(-t/τ))). Otherwise
// the primary sees its winding's resistance Rp alone, the core taking the current: the
// secondary is open but for the rectifier's open resistance, which (seen as n²·Roff,
// megaohms) empties Lm within the step, so the core resets and Im starts the next conduction
// at 0. The rectifier's drop, n·Vf in the switch path (7 mV at 1:100), is left out: it does
// not change the sensed voltage, which the current sets. An Lm of 0 (no primary inductance)
// is an ideal core.
// A saturable core is looked up at Im; the secondary follows in the ratio of the primary to
// its table's point at 0 A, so n stays and Lm scales with Lp.
//
// The single switch with a reset winding: a third winding on the core (Lr, Rr; mutuals Mpr to
// the primary, Mrs[j] to the secondaries) whose reset rectifier (Vf, Rd) returns the
// magnetising energy to the bulk: the rectifier from the return into the reset winding's dotted
// end, its other end on the bulk node, so that while it conducts (state 1)
//     Vr = -(Vbulk + Vf + Rd·Ir),  Idraw = -Ir     =>   A = -(zbulk + Rd),  B = -(ebulk + Vf)
// and the primary winding is open (Ip = 0). While the switch is on (state 2, or all open in
// state 0) the reset rectifier blocks and the reset winding is open (Ir = 0). So one of the
// two carries the core's current at a time, and it is the centre of the transformer terms
// (AnalMXfmr.h) with its own inductance and mutuals. When the centre changes, the current the
// open winding carried at the start of the step is handed to the centre by their mutual, as the
// flux it drove: Icentre,prev += Iopen,prev·Mpr/Lcentre, and the open winding starts from zero.
// Left to the open winding, its current would fall to zero within the one step and drive an
// impulse of L·I/h through every winding: a spike that grows as the step shrinks. The hand-over
// drops the small energy of the leakage between the two windings instead, as a snubber would.
// The reset then holds the primary at -(Vbulk + Vf)·Np/Nr, so the switch sees about
// Vbulk·(1 + Np/Nr) while the core resets.
#pragma once

#include <cmath>
#include <cstdint>

#include "analysis/context/AnalEngine.h"
#include "analysis/models/AnalMBranch.h"

inline bool IsPassiveClamp(int32_t topology) { return topology == 8 || topology == 9; }
inline bool IsResonantReset(int32_t topology) { return topology == 4 || topology == 5; }
inline bool IsActiveClamp(int32_t topology) { return topology == 6 || topology == 7; }
inline bool IsResetWinding(int32_t topology) { return topology == 2 || topology == 3; }

// The clamp network (capacitor group parallel to the resistor) from the capacitor's voltage
// and current at the start of the step.
int32_t CalcPassiveClampNetworkCoeffs(const CapacitorGroup& cap, double resistance, double s, double voltagePrev,
                                      double capCurrentPrev, BranchPair* capacitor, BranchPair* network);

// The loop of the present switch state: writes loopA, loopB of the store.
//   ron      the switch resistance of the state (Ron, or the open resistance in state 0)
//   sense    the sense resistor's branch; bulk in the store
int32_t CalcPassiveClampLoop(int32_t switchState, double ron, const BranchPair& sense, const BranchPair& network,
                             double rectifierDrop, double rectifierResistance, EngineStore* st);

// After the solve: the clamp's currents and voltages from the primary current.
struct PassiveClampResult {
    double clampCurrent;      // through the rectifier into the network (A)
    double capacitorCurrent;  // (A)
    double resistorCurrent;   // (A)
    double nodeVoltage;       // K above the bulk node (V)
    double capacitorVoltage;  // the capacitor's own voltage after the step (V)
};
PassiveClampResult UpdatePassiveClamp(int32_t switchState, double primaryCurrent, const CapacitorGroup& cap,
                                      double resistance, double s, double voltagePrev, const BranchPair& capacitor,
                                      const BranchPair& network);

// The switch element of the resonant reset beside its capacitor.
BranchPair ResonantSwitchElement(int32_t switchState, int32_t bodyDiodeOn, double onResistance, double open,
                                 double bodyDiodeDrop, double bodyDiodeResistance);
// The loop through the drain-source pair (capacitor group parallel to the switch element).
int32_t CalcResonantResetLoop(const BranchPair& drainSource, const BranchPair& sense, EngineStore* st);

struct ResonantResetResult {
    double drainSourceVoltage;  // (V)
    double capacitorCurrent;    // (A)
    double switchCurrent;       // through the channel or the body diode, drain to source (A)
    double capacitorVoltage;    // the capacitor's own voltage after the step (V)
};
ResonantResetResult UpdateResonantReset(double primaryCurrent, const CapacitorGroup& cap, double s, double voltagePrev,
                                        const BranchPair& capacitor, const BranchPair& drainSource);

// The active clamp's switch 1 (drain to source) and clamp switch (drain to the clamp) as branches
// while their path conducts: the body diode when only it conducts, else the channel, the clamp
// switch's with its body diode beside it once the channel's drop passes the diode's forward
// voltage; switch 1 open outside state 2.
BranchPair ActiveClampSwitchElement(int32_t switchState, int32_t channelOn, int32_t bodyDiodeOn, double onResistance,
                                    double open, double bodyDiodeDrop, double bodyDiodeResistance);
BranchPair ClampSwitchElement(int32_t channelOn, int32_t bodyDiodeOn, double onResistance, double bodyDiodeDrop,
                              double bodyDiodeResistance);
// The active clamp's loop: writes loopA, loopB of the store.
int32_t CalcActiveClampLoop(int32_t switchState, const BranchPair& switchElement, const BranchPair& sense,
                            const BranchPair& capacitor, const BranchPair& clampElement, EngineStore* st);

// The sense transformer's branch in the switch path.
struct SenseTransformer {
    double primaryResistance;    // Rp (ohm)
    double ratio;                // n = M/Ls
    double senseResistance;      // Rs (ohm)
    double secondaryResistance;  // Rsec (ohm)
    double rectifierResistance;  // Rd (ohm)
    double magnetizingInductance = 0.0;  // Lm = k²·Lp (H); 0: an ideal core
    double leakageInductance = 0.0;      // Ll = (1 - k²)·Lp (H), in the switch path
};
// n and Lm from the windings' inductances (H) and coupling; false for values that give
// no transformer (a secondary inductance that is not positive, a coupling outside (0, 1]).
bool SetSenseTransformerWindings(double primaryInductance, double secondaryInductance, double coupling,
                                 SenseTransformer* ct);
// The ratio n of the part's nominal windings (what saturation leaves unchanged).
inline double SenseTransformerRatio(double primaryNominal, double secondaryNominal, double coupling) {
    return coupling * std::sqrt(primaryNominal / secondaryNominal);
}
// The branch of the step from the magnetising current and the path's current at its start.
BranchPair CalcSenseTransformerBranch(const SenseTransformer& ct, int32_t conducting, double s = 0.0,
                                      double magnetizingPrev = 0.0, double pathPrev = 0.0);
// The magnetising current after the step with the switch path's current.
double SenseMagnetizingCurrent(const SenseTransformer& ct, int32_t conducting, double s, double magnetizingPrev,
                               double current);
inline double SensedVoltage(const SenseTransformer& ct, int32_t conducting, double current,
                            double magnetizing = 0.0) {
    return conducting ? ct.senseResistance * ct.ratio * (current - magnetizing) : 0.0;
}

// The reset winding as the centre winding of the transformer terms (the secondaries unchanged).
TransformerParams ResetWindingAsCentre(const TransformerParams& t, const ResetWindingParams& r);
// The centre's current at the start of the step with the open winding's handed over.
inline double HandOverCurrent(double centrePrev, double openPrev, double mutual, double centreInductance) {
    return centrePrev + openPrev * mutual / centreInductance;
}
