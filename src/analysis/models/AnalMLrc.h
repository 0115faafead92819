// The line side as the primary sees it: the line phases (each a source behind the line's
// series inductance and resistance), the line rectifier of its case, and the input
// capacitor (one capacitor, or two in series with a midpoint), reduced over one backward-
// Euler step to the linear form Vbulk = e - z·Idraw at the bulk node P (Idraw the current
// the primary takes from P; the return M is the reference).
//
// Branches, each V(a) - V(b) = zb·I + eb with I from a to b:
//   line phase p   from its terminal Ap to the neutral N:   zb = Rl + Ll·s,
//                  eb = Es[p] - (-Ll·s·Iprev)  (the source, as a branch against its current;
//                  the phase current, neutral into Ap through the source, is -I)
//   diode          anode to cathode: on  zb = Rd, eb = Vf;  off  zb = Roff, eb = 0
//   capacitor      P to M (single), or P to C and C to M (two in series): the group form;
//                  the damped variants put a damping branch beside each (its capacitor group
//                  in series with the damping resistor and that resistor's ESL)
//   line filter    per phase, from the source branch's end: Inductor In1 to the filter node F,
//                  Capacitor In and the damping capacitor branch (Capacitor Damp with Resistor
//                  Damp1) from F to N, Inductor In2 from F to the rectifier terminal Ap with the
//                  damping branch (Resistor Damp2 and its ESL, with Inductor Damp) beside it;
//                  absent elements are absent nodes (no In1: the source ends at F; no In2: F is Ap)
// Node and diode placement of each case (Dn is diode n, 0..7):
//   0 none                   A1 = P, N = M
//   1-3 half wave            D0: A1->P, D4: A2->P, D6: A3->P;  N = M
//   4 bridge, 1 phase        D0: A1->P, D1: M->A1, D2: N->P, D3: M->N;  N floats
//   5 doubler, 1 phase       D0: A1->P, D1: M->A1;  N = C
//   6, 8 bridge, 2-3 phases  per phase an upper (D0, D4, D6: Ap->P) and a lower diode
//                            (D1, D5, D7: M->Ap);  N floats (line to line)
//   7, 9 doubler, 2-3 phases the same diodes;  N = C
// Nodal equations over the unknown node voltages (P, C, N and per phase its source end, F and
// Ap; at most twelve): every branch
// adds g = 1/zb between its nodes and the current g·eb into a, out of b; Idraw leaves P.
//   G·V = J + Idraw·u,  u = -1 at P
// Solved once for J and once for u (one factorisation): V = V0 + Idraw·V1, hence
//   e = V0[P],  z = -V1[P].
// The reverse pass takes the solved Idraw, forms V, and gives every branch its current
// I = (V(a) - V(b) - eb)/zb.
#pragma once

#include <cstdint>

#include "analysis/context/AnalLineStore.h"

// Which diodes a case uses (bit n: diode n).
uint32_t LineDiodesOfRectifierCase(int32_t rectifierCase);
// The case's diodes are doublers (its neutral is the capacitors' midpoint).
bool IsDoublerRectifierCase(int32_t rectifierCase);

// Forward pass: 1, or 0 when the case is unknown, the network is singular or a result is
// not finite.
int32_t CalcLineSideCoeffs(const LineSideInputs& in, LineSideSolution* out);
// Reverse pass from the solved draw: 1, or 0 when a result is not finite.
int32_t UpdateLineSide(const LineSideInputs& in, double draw, LineSideSolution* out);
