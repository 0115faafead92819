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

int32_t StackingCouplesWindings(int32_t outputs, const double p[kMaxOutputs][kMaxOutputs]) {
    for (int32_t j = 0; j < outputs; ++j)
        for (int32_t k = 0; k < outputs; ++k)
            if (j != k && p[j][k] != 0.0) return 1;
    return 0;
}

int32_t SolveCoupledOutputsStacked(int32_t outputs, const double p[kMaxOutputs][kMaxOutputs], EngineStore* st,
                                   const double (*chokeMutual)[kMaxOutputs], int32_t stackedKnown) {
    const int32_t n = outputs;
    double zLoop[kMaxOutputs];  // zLo + zW of each output's choke row
    double rLoop[kMaxOutputs];  // its right side rw
    // P·Zr·Pᵀ and P·er; without stacking P is the signs alone.
    const bool stacked = stackedKnown < 0 ? StackingCouplesWindings(n, p) != 0 : stackedKnown != 0;
    double pzp[kMaxOutputs][kMaxOutputs];
    double er[kMaxOutputs];
    if (stacked) {
        double pz[kMaxOutputs][kMaxOutputs] = {};
        for (int32_t j = 0; j < n; ++j)
            for (int32_t m = 0; m < n; ++m)
                for (int32_t l = 0; l < n; ++l) pz[j][m] += p[j][l] * st->zsr[l][m];
        for (int32_t j = 0; j < n; ++j) {
            er[j] = 0.0;
            for (int32_t l = 0; l < n; ++l) er[j] += p[j][l] * st->esr[l];
            for (int32_t k = 0; k < n; ++k) {
                pzp[j][k] = 0.0;
                for (int32_t m = 0; m < n; ++m) pzp[j][k] += pz[j][m] * p[k][m];
            }
        }
    } else {
        for (int32_t j = 0; j < n; ++j) {
            er[j] = p[j][j] * st->esr[j];
            for (int32_t k = 0; k < n; ++k) pzp[j][k] = p[j][j] * st->zsr[j][k] * p[k][k];
        }
    }
    double x[2 * kMaxOutputs];
    if (chokeMutual) {
        // The chokes' mutuals tie the freewheel rows together: the 2N system whole.
        double a[8][8] = {};
        double rhs[8] = {};
        for (int32_t j = 0; j < n; ++j) {
            const OutputStepStore& o = st->output[j];
            const double zLo = o.choke.z + o.outputNode.z;
            const double zW = o.freewheelRectifier.z;
            zLoop[j] = zLo + zW;
            rLoop[j] = -o.freewheelRectifier.e - o.choke.e - o.outputNode.e;
            for (int32_t k = 0; k < n; ++k) a[j][k] = pzp[j][k];
            a[j][j] += o.forwardRectifier.z;
            a[j][n + j] = -zW;
            rhs[j] = er[j] - o.forwardRectifier.e + o.freewheelRectifier.e;
            a[n + j][j] = zLo;
            a[n + j][n + j] = zLoop[j];
            rhs[n + j] = rLoop[j];
            for (int32_t k = 0; k < n; ++k)
                if (k != j) a[n + j][k] += chokeMutual[j][k], a[n + j][n + k] += chokeMutual[j][k];
        }
        if (!SolveDenseSmall(2 * n, a, rhs, x)) return 0;
    } else {
        // Each freewheel row eliminated into its forward row: N x N.
        double rhs[kMaxOutputs];
        for (int32_t j = 0; j < n; ++j) {
            const OutputStepStore& o = st->output[j];
            const double zLo = o.choke.z + o.outputNode.z;
            const double zW = o.freewheelRectifier.z;
            zLoop[j] = zLo + zW;
            rLoop[j] = -o.freewheelRectifier.e - o.choke.e - o.outputNode.e;
            pzp[j][j] += o.forwardRectifier.z + zW * zLo / zLoop[j];
            rhs[j] = er[j] - o.forwardRectifier.e + o.freewheelRectifier.e + zW * rLoop[j] / zLoop[j];
        }
        double a[kMaxOutputs][kMaxOutputs];
        double b[kMaxOutputs];
        for (int32_t j = 0; j < n; ++j) {
            b[j] = rhs[j];
            for (int32_t k = 0; k < n; ++k) a[j][k] = pzp[j][k];
        }
        if (!SolveImpedance<kMaxOutputs>(n, a, b, x) && !SolveDense<kMaxOutputs>(n, pzp, rhs, x)) return 0;
    }
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
        if (!stacked) is = -p[k][k] * x[k];
        else
            for (int32_t j = 0; j < n; ++j) is -= p[j][k] * x[j];
        st->secondaryCurrent[k] = is;
    }
    return 1;
}

void SetFlagIfSameSign(int32_t* flag, int32_t testSwitch, double current, int32_t polarity) {
    *flag = !testSwitch || (current >= 0.0 && polarity > 0) || (current <= 0.0 && polarity < 0) ? 1 : 0;
}
