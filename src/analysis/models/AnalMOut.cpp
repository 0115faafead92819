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

int32_t SolveCoupledOutputs(int32_t outputs, const int32_t* polarity, EngineStore* st) {
    double p[kMaxOutputs][kMaxOutputs] = {};
    for (int32_t j = 0; j < outputs; ++j) p[j][j] = polarity[j] < 0 ? -1.0 : 1.0;
    return SolveCoupledOutputsStacked(outputs, p, st);
}

int32_t SolveCoupledOutputsStacked(int32_t outputs, const double p[kMaxOutputs][kMaxOutputs], EngineStore* st) {
    const int32_t n = outputs;
    double a[8][8] = {};
    double rhs[8] = {};
    double x[8] = {};
    double zLoop[kMaxOutputs] = {};   // zLo + zW of each output's choke row
    double rLoop[kMaxOutputs] = {};   // its right side rw
    // (P·Zr) first, then times Pᵀ; without stacking P is the signs alone.
    bool stacked = false;
    for (int32_t j = 0; j < n; ++j)
        for (int32_t k = 0; k < n; ++k) stacked = stacked || (j != k && p[j][k] != 0.0);
    double pz[kMaxOutputs][kMaxOutputs] = {};
    for (int32_t j = 0; j < n; ++j)
        for (int32_t m = 0; m < n; ++m) {
            if (!stacked) {
                pz[j][m] = p[j][j] * st->zsr[j][m];
                continue;
            }
            for (int32_t l = 0; l < n; ++l) pz[j][m] += p[j][l] * st->zsr[l][m];
        }
    for (int32_t j = 0; j < n; ++j) {
        const OutputStepStore& o = st->output[j];
        double er = 0.0;
        for (int32_t l = 0; l < n; ++l) er += p[j][l] * st->esr[l];
        for (int32_t k = 0; k < n; ++k) {
            if (!stacked) {
                a[j][k] = pz[j][k] * p[k][k];
                continue;
            }
            for (int32_t m = 0; m < n; ++m) a[j][k] += pz[j][m] * p[k][m];
        }
        const double zLo = o.choke.z + o.outputNode.z;
        zLoop[j] = zLo + o.freewheelRectifier.z;
        rLoop[j] = -o.freewheelRectifier.e - o.choke.e - o.outputNode.e;
        const double zW = o.freewheelRectifier.z;
        a[j][j] += o.forwardRectifier.z + zW * zLo / zLoop[j];
        rhs[j] = er - o.forwardRectifier.e + o.freewheelRectifier.e + zW * rLoop[j] / zLoop[j];
    }
    if (!SolveDenseSmall(n, a, rhs, x)) return 0;
    for (int32_t j = 0; j < n; ++j) {
        OutputStepStore& o = st->output[j];
        const double zLo = o.choke.z + o.outputNode.z;
        o.forwardCurrent = x[j];
        o.freewheelCurrent = (rLoop[j] - zLo * x[j]) / zLoop[j];
        if (!std::isfinite(o.freewheelCurrent)) return 0;
        o.chokeNodeVoltage = -(o.freewheelRectifier.z * o.freewheelCurrent + o.freewheelRectifier.e);
    }
    for (int32_t k = 0; k < n; ++k) {
        double is = 0.0;
        for (int32_t j = 0; j < n; ++j) is -= p[j][k] * x[j];
        st->secondaryCurrent[k] = is;
    }
    return 1;
}

void SetFlagIfSameSign(int32_t* flag, int32_t testSwitch, double current, int32_t polarity) {
    *flag = !testSwitch || (current >= 0.0 && polarity > 0) || (current <= 0.0 && polarity < 0) ? 1 : 0;
}
