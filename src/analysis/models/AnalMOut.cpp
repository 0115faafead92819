#include "analysis/models/AnalMOut.h"

#include <cmath>
#include <utility>

int32_t SolveDenseSmall(int32_t n, double a[8][8], double* rhs, double* x) {
    for (int32_t col = 0; col < n; ++col) {
        int32_t pivot = col;
        for (int32_t r = col + 1; r < n; ++r)
            if (std::fabs(a[r][col]) > std::fabs(a[pivot][col])) pivot = r;
        if (!(std::fabs(a[pivot][col]) > 0.0)) return 0;
        if (pivot != col) {
            for (int32_t c = 0; c < n; ++c) std::swap(a[pivot][c], a[col][c]);
            std::swap(rhs[pivot], rhs[col]);
        }
        for (int32_t r = col + 1; r < n; ++r) {
            const double f = a[r][col] / a[col][col];
            if (f == 0.0) continue;
            for (int32_t c = col; c < n; ++c) a[r][c] -= f * a[col][c];
            rhs[r] -= f * rhs[col];
        }
    }
    for (int32_t r = n - 1; r >= 0; --r) {
        double sum = rhs[r];
        for (int32_t c = r + 1; c < n; ++c) sum -= a[r][c] * x[c];
        x[r] = sum / a[r][r];
        if (!std::isfinite(x[r])) return 0;
    }
    return 1;
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
