// The calling thread's floating-point status flags, read and cleared.
#pragma once

namespace fw {

enum FpFlag : unsigned {
    kFpZeroDivide = 1u << 0,
    kFpOverflow = 1u << 1,
    kFpUnderflow = 1u << 2,
    kFpInvalid = 1u << 3,
    kFpInexact = 1u << 4,
};

// Returns the raised flags as FpFlag bits and clears them.
unsigned ReadAndClearFpStatus();
// Clears every flag without reading.
void ClearFpStatus();

}  // namespace fw
