#include "analysis/models/AnalMOut.h"

#include <cmath>

int32_t SolveDenseSmall(int32_t n, double a[8][8], double* rhs, double* x) {
    return SolveDense<8>(n, reinterpret_cast<double(&)[8][8]>(*a), rhs, x);
}

int32_t SolveCoupledOutputs(int32_t outputs, const int32_t* polarity, EngineStore* st,
                            const double (*chokeMutual)[kMaxOutputs]) {
    const int32_t n = outputs;
    double a[8][8] = {};
    double rhs[8] = {};
    double x[8] = {};
    for (int32_t j = 0; j < n; ++j) {
        const OutputStepStore& o = st->output[j];
        const double sj = polarity[j] < 0 ? -1.0 : 1.0;
        for (int32_t k = 0; k < n; ++k) {
            const double sk = polarity[k] < 0 ? -1.0 : 1.0;
            a[j][k] = sj * sk * st->zsr[j][k];
        }
        a[j][j] += o.forwardRectifier.z;
        a[j][n + j] = -o.freewheelRectifier.z;
        rhs[j] = sj * st->esr[j] - o.forwardRectifier.e + o.freewheelRectifier.e;

        const double zLo = o.choke.z + o.outputNode.z;
        a[n + j][j] = zLo;
        a[n + j][n + j] = zLo + o.freewheelRectifier.z;
        rhs[n + j] = -o.freewheelRectifier.e - o.choke.e - o.outputNode.e;
        if (chokeMutual)
            for (int32_t k = 0; k < n; ++k)
                if (k != j) a[n + j][k] += chokeMutual[j][k], a[n + j][n + k] += chokeMutual[j][k];
    }
    if (!SolveDenseSmall(2 * n, a, rhs, x)) return 0;
    for (int32_t j = 0; j < n; ++j) {
        OutputStepStore& o = st->output[j];
        const double sj = polarity[j] < 0 ? -1.0 : 1.0;
        o.forwardCurrent = x[j];
        o.freewheelCurrent = x[n + j];
        o.chokeNodeVoltage = -(o.freewheelRectifier.z * o.freewheelCurrent + o.freewheelRectifier.e);
        st->secondaryCurrent[j] = -sj * o.forwardCurrent;
    }
    return 1;
}

void SetFlagIfSameSign(int32_t* flag, int32_t testSwitch, double current, int32_t polarity) {
    *flag = !testSwitch || (current >= 0.0 && polarity > 0) || (current <= 0.0 && polarity < 0) ? 1 : 0;
}
