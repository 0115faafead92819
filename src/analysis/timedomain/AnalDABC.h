// The per-step assembly: every section reduces its elements over the step to a linear form
// seen from the transformer (forward pass), the primary centre and the coupled outputs are
// solved, and every section writes its new state from the solution (reverse pass). The
// sections are in AnalABCS.h, the primary side in AnalABCP.h.
#pragma once

#include <cstdint>

// One step at the present time step. 1, or 0 after reporting the failing step's code and
// message.
int32_t AssembleStateMatrices();
