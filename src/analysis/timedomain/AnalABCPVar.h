// Builders of the primary variants beyond the two-switch one, in the same pair as its own:
// the large builder (the loop of the switch state, then the centre) and the small builder
// (the primary quantities from the solved primary current). Loops: AnalMPri.h.
#pragma once

#include <cstdint>

// Single switch, passive clamp, current-sense resistor.
int32_t BuildPriPassiveClampSenseResCoeffs();
int32_t UpdatePriPassiveClampSenseResQuantities();

// Single switch, resonant reset, current-sense resistor.
int32_t BuildPriResonantResetSenseResCoeffs();
int32_t UpdatePriResonantResetSenseResQuantities();

// Single switch, active clamp, current-sense resistor.
int32_t BuildPriActiveClampSenseResCoeffs();
int32_t UpdatePriActiveClampSenseResQuantities();

// Single switch, reset winding, current-sense resistor.
int32_t BuildPriResetWindingSenseResCoeffs();
int32_t UpdatePriResetWindingSenseResQuantities();
