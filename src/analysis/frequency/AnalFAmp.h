// Amplifier analysis: the loop opened at the voltage error amplifier's input, a sine around
// the operating point's input written there, and a chosen output's voltage measured.
//   Quantity 1 "Amplifier Gain"  = 20·log10(|V_out| / |V_inj|) dB (1000 when |V_inj| = 0)
//   Quantity 2 "Amplifier Phase" = angle V_out - angle V_inj, degrees
// The phase is not carried on from window to window; only its change is wrapped.
#pragma once

#include <cstdint>

int32_t RunAmplifierAnalysis();
