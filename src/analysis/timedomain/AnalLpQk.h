// The start of a run's stepping: the circuit brought to its starting state. A turn-on run
// starts from rest at time 0; settling to the periodic operating point belongs to the
// steady-state start, which the engine does not run yet.
#pragma once

#include <cstdint>

// 0 when the steps may begin, 1 on failure (reported), 2 when cancelled.
int32_t RunQuickOperatingPoint();
