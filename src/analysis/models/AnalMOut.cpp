#include "analysis/models/AnalMOut.h"

#include <cmath>

int32_t SolveDenseSmall(int32_t n, double a[8][8], double* rhs, double* x) {
    return SolveDense<8>(n, reinterpret_cast<double(&)[8][8]>(*a), rhs, x);
}

int32_t SolveCoupledOutputs(int32_t outputs, const int32_t* polarity, EngineStore* st,
                            const double (*chokeMutual)[kMaxOutputs]) {
    double p[kMaxOutputs][kMaxOutputs] = {};
    for (int32_t j = 0; j < outputs; ++j) p[j][j] = polarity[j] < 0 ? -1.0 : 1.0;
    return SolveCoupledOutputsStacked(outputs, p, st, chokeMutual);
}

int32_t SolveCoupledOutputsStacked(int32_t outputs, const double p[kMaxOutputs][kMaxOutputs], EngineStore* st,
                                   const double (*chokeMutual)[kMaxOutputs]) {
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
        if (chokeMutual) {
            a[j][j] += o.forwardRectifier.z;
            a[j][n + j] = -zW;
            rhs[j] = er - o.forwardRectifier.e + o.freewheelRectifier.e;
            a[n + j][j] = zLo;
            a[n + j][n + j] = zLoop[j];
            rhs[n + j] = rLoop[j];
            for (int32_t k = 0; k < n; ++k)
                if (k != j) a[n + j][k] += chokeMutual[j][k], a[n + j][n + k] += chokeMutual[j][k];
        } else {
            a[j][j] += o.forwardRectifier.z + zW * zLo / zLoop[j];
            rhs[j] = er - o.forwardRectifier.e + o.freewheelRectifier.e + zW * rLoop[j] / zLoop[j];
        }
    }
    if (!SolveDenseSmall(chokeMutual ? 2 * n : n, a, rhs, x)) return 0;
    for (int32_t j = 0; j < n; ++j) {
        OutputStepStore& o = st->output[j];
        const double zLo = o.choke.z + o.outputNode.z;
        o.forwardCurrent = x[j];
        o.freewheelCurrent = chokeMutual ? x[n + j] : (rLoop[j] - zLo * x[j]) / zLoop[j];
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
