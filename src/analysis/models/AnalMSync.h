// A secondary rectifier position with a transistor: its channel beside a diode.
//
// Driven, the channel is a resistance that conducts either way:  V = Ron·I  (z = Ron, e = 0).
// The diode beside it would take a share only once Ron·I passes its forward voltage; at the
// currents a channel is chosen for its drop stays below it, so the driven position is the
// channel alone.
// Not driven, the position conducts through whichever of its diodes has the lower forward
// voltage (the diode of the section or, for rectifier 1, the transistor's body diode):
//     on  V = Rd·I + Vf,  off  V = Roff·I
// so a position whose channel was let go while the current still flows forward keeps that
// current through the diode, and one whose current is reversed opens when the current ends.
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

// The diode that conducts when the position's channel is not driven.
inline RectifierDiode PositionDiode(const SecondaryRectifierInputRec& ri, int32_t position) {
    if (position == 1) return {ri.forwardVoltage, ri.secondDynamicResistance};
    const RectifierDiode diode{ri.diodeDrop, ri.dynamicResistance};
    const double vb = ri.secondDiodeVoltage, rb = ri.secondDiodeResistance;
    const bool bodyGiven = ri.frequencyAnalysisFlagA && vb != NOT_SET && std::isfinite(vb) && vb > 0.0 &&
                           rb != NOT_SET && std::isfinite(rb) && rb > 0.0;
    return bodyGiven && vb < diode.forwardVoltage ? RectifierDiode{vb, rb} : diode;
}

// The position's branch for the step: the channel when driven, else its diode.
inline int32_t CalcSyncRectifierCoeffs(int32_t driven, double onResistance, int32_t diodeOn,
                                       const RectifierDiode& diode, double offResistance, BranchPair* out) {
    if (driven) return CalcSwitchCoeffs(1, onResistance, offResistance, out);
    return CalcRectifierCoeffs(diodeOn, diode.forwardVoltage, diode.resistance, offResistance, out);
}
