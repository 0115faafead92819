#include "platform/core/FpStatus.h"

#include <cfenv>

namespace fw {

unsigned ReadAndClearFpStatus() {
    int raised = std::fetestexcept(FE_ALL_EXCEPT);
    std::feclearexcept(FE_ALL_EXCEPT);
    unsigned out = 0;
    if (raised & FE_DIVBYZERO) out |= kFpZeroDivide;
    if (raised & FE_OVERFLOW) out |= kFpOverflow;
    if (raised & FE_UNDERFLOW) out |= kFpUnderflow;
    if (raised & FE_INVALID) out |= kFpInvalid;
    if (raised & FE_INEXACT) out |= kFpInexact;
    return out;
}

void ClearFpStatus() { std::feclearexcept(FE_ALL_EXCEPT); }

}  // namespace fw
