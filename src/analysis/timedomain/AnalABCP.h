// The primary side in the step: the primary section's elements, the power transformer, and
// the builders of the primary variant that join them to the line side (forward) and write
// the primary quantities from the solved currents (reverse).
//
// Two switches with a current-sense resistor: the primary winding (voltage Vw, current Ip
// into its dotted end) between the high-side switch from the bulk and the low-side switch
// over the sense resistor; while the switches are off, the two primary rectifiers return
// the magnetising current to the bulk. Seen by the winding, Vw = A·Ip + B:
//   state 2 (switches on):  Vw = Vbulk - 2·Ron·Ip - (zsr·Ip + esr), Idraw = Ip
//                           A = -(zbulk + 2·Ron + zsr), B = ebulk - esr
//   state 1 (reset):        Vw = -(Vbulk + 2·(Vf + Rd·Ip)), Idraw = -Ip
//                           A = -(zbulk + 2·Rd), B = -(ebulk + 2·Vf)
//   state 0 (all open):     as state 2 with the open resistance for Ron
// (Vbulk = ebulk - zbulk·Idraw; zsr, esr the sense resistor with its inductance.) The
// transformer terms and the centre that eliminates Ip are in AnalMXfmr.h.
#pragma once

#include <cstdint>

// Once per run: the transformer's inductances and mutuals from the input records.
int32_t PrepareStepEngine();

int32_t CalcPrimarySectionQuantitiesPass1();
int32_t CalcPowerTransformerQuantitiesPass1();
// The large builder: the loop of the switch state and the centre.
int32_t BuildPriTwoSwitchSenseResCoeffs();
int32_t CalcTransformerSecondaryQuantitiesPass2();
// The small builder: Ip from the primary current row, then the loop's quantities.
int32_t UpdatePriTwoSwitchSenseResQuantities();
int32_t CalcPrimarySectionQuantitiesPass2();
int32_t CalcPowerTransformerQuantitiesPass2();
// Reflected secondary current, sum of polarity x turns x winding current / primary turns.
int32_t SumReflectedSecondaryCurrents();
