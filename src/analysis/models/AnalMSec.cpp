#include "analysis/models/AnalMSec.h"

void CalcStackingMatrix(int32_t outputs, const StackingFlags& flags, const int32_t* sign,
                        double p[kMaxOutputs][kMaxOutputs]) {
    const int32_t n = outputs < 1 ? 1 : (outputs > kMaxOutputs ? kMaxOutputs : outputs);
    // A flag that names a winding beyond the outputs joins nothing.
    const int32_t d1 = n >= 2 ? flags.d1 == 1 : 0, u1 = n >= 2 ? flags.u1 == 1 : 0;
    const int32_t d2 = n >= 3 ? flags.d2 == 1 : 0, u2 = n >= 3 ? flags.u2 == 1 : 0;
    const int32_t d3 = n >= 4 ? flags.d3 == 1 : 0, u3 = n >= 4 ? flags.u3 == 1 : 0;
    for (int32_t k = 0; k < kMaxOutputs; ++k) {
        // Column k of S: the rectifier-side voltages of a unit voltage on winding k alone.
        double vw[kMaxOutputs] = {};
        if (k < n) vw[k] = 1.0;
        const double vr3 = d2 * d1 * vw[0] + d2 * vw[1] + u3 * vw[3] + vw[2];
        const double vr2 = d1 * vw[0] + u2 * vr3 + vw[1];
        const double vr1 = u1 * vr2 + vw[0];
        const double vr4 = d3 * vr3 + vw[3];
        const double vr[kMaxOutputs] = {vr1, vr2, vr3, vr4};
        for (int32_t j = 0; j < kMaxOutputs; ++j) p[j][k] = j < n && k < n ? sign[j] * vr[j] : 0.0;
    }
}
