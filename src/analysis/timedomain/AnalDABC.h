// The per-step assembly: every section reduces its elements over the step to a linear form
// seen from the transformer (forward pass), the primary centre and the coupled outputs are
// solved, and every section writes its new state from the solution (reverse pass).
//
// Sections as the step sees them (backward Euler; linear forms V = z·I + e):
//   line side (phases, line rectifier, input capacitor; AnalMLrc.h):
//            Vbulk = ebulk - zbulk·Idraw, Idraw the current the primary takes from the bulk;
//   primary (two switches, sense resistor in the low-side switch's source): the loop that
//            the primary winding (voltage Vw, current Ip into its dotted end) sees, Vw = A·Ip + B:
//     state 2 (switches on):  Vw = Vbulk - 2·Ron·Ip - (zsr·Ip + esr), Idraw = Ip
//                             A = -(zbulk + 2·Ron + zsr), B = ebulk - esr
//     state 1 (reset through the two primary rectifiers back into the bulk, Idraw = -Ip):
//                             Vw = -(Vbulk + 2·(Vf + Rd·Ip))
//                             A = -(zbulk + 2·Rd), B = -(ebulk + 2·Vf)
//     state 0 (all open):     as state 2 with the open resistance for Ron;
//   transformer and centre:   AnalMXfmr.h;  outputs: AnalMOut.h.
#pragma once

#include <cstdint>

// Takes the run's transformer terms from the input records (once per run, after the
// initial values). 1, or 0 with a message when a value is unusable.
int32_t PrepareStepEngine();

// One step at the present time step. 1, or 0 after reporting the failure.
int32_t AssembleStateMatrices();
