// Bringing the current analysis context to time 0 of a run: the line source, the turn-on
// values (every capacitor discharged, every inductor without current, every switch and diode
// open), the line filter impedance check and the first snapshot. Worker thread only.
#pragma once

#include <cstdint>

// 1 success, 0 failure (the messages are shown).
int32_t InitializeAnalysis();
int32_t InitLineSourceQuantities();
int32_t TurnOnInitialValues();
// Warns (53025) when the line filter's peak output impedance is high against the
// converter's input impedance. 1, or 0 on a floating-point fault.
int32_t CheckLineFilterImpedance();
// Copies every state record into its snapshot: the values at the start of the step.
void StorePreviousStateVariables();
