// A secondary rectifier position with a transistor: its channel beside a diode.
//
// Driven, the channel is a resistance that conducts either way:  V = Ron·I  (z = Ron, e = 0).
// The diode beside it would take a share only once Ron·I passes its forward voltage; at the
// currents a channel is chosen for its drop stays below it, so the driven position is the
// channel alone.
// Not driven, the position conducts through whichever of its diodes has the lower forward
// voltage (the diode of the section or the transistor's body diode):
//     on  V = Rd·I + Vf,  off  V = Roff·I
// so a position whose channel was let go while the current still flows forward keeps that
// current through the diode, and one whose current is reversed opens when the current ends.
// Two diodes of one forward voltage Vf conduct together from the same knee; in parallel
//     I = (V - Vf)/Rd + (V - Vf)/Rb   so   V = Vf + (Rd·Rb/(Rd + Rb))·I
// and the position is that one branch.
//
// The operating-point estimate of such an output (AnalInSS.cpp), in magnitudes (the output's
// sign folded into V and I). Rectifier 1 conducts during the on-time D·T, its channel driven
// (V1 = Ron1·I) or its diode (V1 = Vd1 + Rd1·I); rectifier 2 during the off-time, likewise
// (V2 = Ron2·I or Vf2 + Rd2·I). The primary (n²·Rp) and the winding (Rw) carry the current in
// the on-time only, the choke and the filter (Ro) always. The choke sees E - Rs·I - V1 - V - Ro·I
// in the on-time and -(V + Ro·I + V2) in the off-time; its volt-seconds balance:
//     D·(E - Rs·I - V1) = V + Ro·I + (1 - D)·V2,        E = n·Vin, Rs = n²·Rp + Rw
// solved for D and for V:
//     D = (V + Ro·I + V2) / (E - Rs·I - V1 + V2)
//     V = D·(E - Rs·I - V1) - (1 - D)·V2 - Ro·I
// A driven channel of rectifier 2 conducts the choke current either way, so the current never
// runs dry; the choke falls at (V + V2)/L through the off-time.
#pragma once

#include <cmath>
#include <cstdint>

#include "analysis/context/AnalInputRec.h"
#include "analysis/models/AnalMBranch.h"

struct RectifierDiode {
    double forwardVoltage;  // V
    double resistance;      // ohm
};

// Rectifier 1 (position 0) or 2 (position 1) of an output: does a transistor sit there?
inline bool SyncPosition(const SecondaryRectifierInputRec& ri, int32_t position) {
    return (position == 0 ? ri.frequencyAnalysisFlagA : ri.frequencyAnalysisFlagB) != 0;
}

inline double SyncOnResistance(const SecondaryRectifierInputRec& ri, int32_t position) {
    return position == 0 ? ri.onResistance : ri.secondOnResistance;
}

// Which diodes of a position conduct while its channel is not driven, and the branch they make.
struct PositionDiodes {
    RectifierDiode branch;
    bool diode;      // the section's diode (rectifier 1 or 2)
    bool bodyDiode;  // the transistor's body diode
};

// The transistor's body diode at the position, when the transistor is there and the design gives
// both of its values.
inline bool BodyDiodeGiven(const SecondaryRectifierInputRec& ri, int32_t position, RectifierDiode* body) {
    const double vb = position == 0 ? ri.secondDiodeVoltage : ri.bodyDiode2Voltage;
    const double rb = position == 0 ? ri.secondDiodeResistance : ri.bodyDiode2Resistance;
    if (!SyncPosition(ri, position) || vb == NOT_SET || !std::isfinite(vb) || !(vb > 0.0) || rb == NOT_SET ||
        !std::isfinite(rb) || !(rb > 0.0))
        return false;
    *body = {vb, rb};
    return true;
}

// The lower forward voltage conducts; equal ones both.
inline PositionDiodes ChoosePositionDiodes(const SecondaryRectifierInputRec& ri, int32_t position) {
    const RectifierDiode diode = position == 0 ? RectifierDiode{ri.diodeDrop, ri.dynamicResistance}
                                               : RectifierDiode{ri.forwardVoltage, ri.secondDynamicResistance};
    RectifierDiode body{};
    if (!BodyDiodeGiven(ri, position, &body) || diode.forwardVoltage < body.forwardVoltage) return {diode, true, false};
    if (body.forwardVoltage < diode.forwardVoltage) return {body, false, true};
    const double rd = diode.resistance, rb = body.resistance;
    return {{diode.forwardVoltage, rd > 0.0 ? rd * rb / (rd + rb) : 0.0}, true, true};
}

// The diode (or the pair) that conducts when the position's channel is not driven.
inline RectifierDiode PositionDiode(const SecondaryRectifierInputRec& ri, int32_t position) {
    return ChoosePositionDiodes(ri, position).branch;
}

// The position's branch for the step: the channel when driven, else its diode.
inline int32_t CalcSyncRectifierCoeffs(int32_t driven, double onResistance, int32_t diodeOn,
                                       const RectifierDiode& diode, double offResistance, BranchPair* out) {
    if (driven) return CalcSwitchCoeffs(1, onResistance, offResistance, out);
    return CalcRectifierCoeffs(diodeOn, diode.forwardVoltage, diode.resistance, offResistance, out);
}

// The drop of a position carrying |current| forward: its driven channel, or its diode.
inline double ConductingDrop(const SecondaryRectifierInputRec& ri, int32_t position, double current) {
    const double a = std::fabs(current);
    if (SyncPosition(ri, position)) return SyncOnResistance(ri, position) * a;
    const RectifierDiode d = PositionDiode(ri, position);
    return d.forwardVoltage + d.resistance * a;
}

// The estimate's duty and output voltage of a continuous choke current (derivation above).
inline double SyncDuty(double e, double rs, double ro, double v, double i, double v1, double v2) {
    return (v + ro * i + v2) / (e - rs * i - v1 + v2);
}
inline double SyncOutputVoltage(double e, double duty, double rs, double ro, double i, double v1, double v2) {
    return duty * (e - rs * i - v1) - (1.0 - duty) * v2 - ro * i;
}
