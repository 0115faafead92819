// The start of a run's stepping: the circuit brought to its starting state. A turn-on run
// starts from rest at time 0; a steady-state run starts from the steady-state estimate and
// runs freely for the design's stabilisation cycles, every periodic source phased to pass 0
// when the settling ends, and then restarts the run clock at 0.
#pragma once

#include <cstdint>

// 0 when the steps may begin, 1 on failure (reported), 2 when cancelled.
int32_t RunQuickOperatingPoint();
// The settling steps until the first period start at or after settleTime: 0, 1, 2 as above.
int32_t RunSettlingSteps(double settleTime);
