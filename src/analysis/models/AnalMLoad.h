// The load network of one output over one backward-Euler step, as the output node sees it:
// V = z·I + e, I the current the network takes from the output node (ohm, V, A; s = 1/h).
//
// Branches (each current previous-step value "prev"):
//   shunt   the load resistor R with its ESL Le, and in the inductive and complex loads the
//           load inductor (Ri, Li) in series:   z = R + Ri + (Le + Li)·s,  e = -(Le + Li)·s·Iprev
//   source  the current source Ics with its resistance Rcs across it; the branch takes
//           I = Ics + V/Rcs, so V = Rcs·I - Rcs·Ics:   z = Rcs,  e = -Rcs·Ics
//   series  in the complex load, resistor 1 and inductor 1 (R1 + Ri1, Li1) between the output
//           node and the rest:                    z = R1 + Ri1 + Li1·s,  e = -Li1·s·Iprev
// Variants: 0 resistive and 1 inductive-and-resistive: the shunt branch; 2 current source:
// the source branch; 3 complex: the series branch, then the shunt and source branches in
// parallel (AnalMBranch.h):  z = zser + zpar,  e = eser + epar.
// Reverse pass from the output voltage V: I = (V - e)/z; the series drop zser·I + eser
// leaves Vp = V - (zser·I + eser) across the parallel pair; the shunt current (Vp - esh)/zsh;
// the source branch carries I - Ishunt, of which Ics - (I - Ishunt) flows back through Rcs.
// The current source conducts its set current only while its voltage has the sign of the
// output: otherwise (a load that would drive the output the wrong way at turn-on) it stands
// as a short, Rcs = 1e-6 ohm, else Rcs = 1e8 ohm; the next step takes the new Rcs.
#pragma once

#include <cstdint>

#include "analysis/context/AnalLoadStore.h"

constexpr double kLoadSourceOpen = 1e8;    // ohm
constexpr double kLoadSourceShort = 1e-6;  // ohm

// LoadNetworkValues: AnalLoadStore.h.

// Start-of-step values of the network.
struct LoadNetworkStart {
    double shuntCurrent = 0.0;
    double seriesCurrent = 0.0;
    double sourceCurrent = 0.0;     // Ics (A)
    double sourceResistance = 0.0;  // Rcs (ohm)
};

struct LoadNetworkResult {
    double current = 0.0;        // into the network from the output node
    double shuntCurrent = 0.0;
    double shuntVoltage = 0.0;   // across the shunt branch
    double sourceVoltage = 0.0;  // across the current source
    double seriesVoltage = 0.0;  // across the series branch
};

// 1, or 0 for an unknown variant or a result that is not finite.
int32_t CalcLoadNetworkCoeffs(const LoadNetworkValues& v, double s, const LoadNetworkStart& start,
                              LoadNetworkCoeffs* out);
int32_t UpdateLoadNetwork(const LoadNetworkValues& v, const LoadNetworkCoeffs& c, double outputVoltage,
                          LoadNetworkResult* out);
// The current source's resistance for the next step, from its voltage and the output's sign.
double LoadSourceResistance(int32_t sign, double sourceVoltage);
