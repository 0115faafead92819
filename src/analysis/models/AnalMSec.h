// Stacked secondary windings: adjacent windings joined in series, so that an output's
// rectifier sees its own winding and the ones it sits on, and a lower winding carries the
// currents of the outputs stacked on it.
//
// Flags (1 = joined): d1 = winding 2 on 1, u1 = 1 on 2, d2 = 3 on 2, u2 = 2 on 3, d3 = 4 on 3,
// u3 = 3 on 4; e[j] the sign of output j. The rectifier-side voltages from the winding
// voltages (unsigned), outermost windings last:
//     Vr3 = d2·d1·Vw1 + d2·Vw2 + u3·Vw4 + Vw3
//     Vr2 = d1·Vw1 + u2·Vr3 + Vw2
//     Vr1 = u1·Vr2 + Vw1
//     Vr4 = d3·Vr3 + Vw4
// i.e. Vr = S·Vw with S[j][k] = 1 where output j's chain holds winding k (the identity when
// no flag is set). Output j's rectifier sees e[j]·Vr[j] and draws Ir[j]; winding k carries
// the currents of every output whose chain holds it, each with its output's sign:
//     Iw[k] = sum_j S[j][k]·e[j]·Ir[j]
// (the upward and downward chains of the winding-current rule, in closed form). With
// P[j][k] = e[j]·S[j][k] both are one matrix: what the rectifiers see is P·Vw and the
// windings carry Pᵀ·Ir. The transformer's winding equations Vs = Zr·Is + Er (Is into the
// dotted ends, Is = -Pᵀ·Ir) seen from the rectifiers are then
//     P·Vs = -(P·Zr·Pᵀ)·Ir + P·Er
// which the coupled output solve takes in place of its diagonal signs (AnalMOut.h).
// Flags of windings beyond the number of outputs count as 0.
#pragma once

#include <cstdint>

#include "analysis/context/AnalConst.h"

struct StackingFlags {
    int32_t d1, u1, d2, u2, d3, u3;
};

// P[j][k] = e[j]·S[j][k] for outputs 1..n (rows and columns beyond n are zero).
void CalcStackingMatrix(int32_t outputs, const StackingFlags& flags, const int32_t* sign,
                        double p[kMaxOutputs][kMaxOutputs]);
