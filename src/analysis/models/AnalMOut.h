// The outputs behind the transformer: a half-wave double rectifier (forward rectifier F from
// the winding to the choke node X, freewheel rectifier W from the output return to X), the
// choke, and the filter and load that the choke sees (the output node as one linear form).
// All outputs are solved together because the secondaries are coupled through the
// transformer and the primary loop. Backward Euler; every branch is in the form V = z·I + e.
//
// Output j with winding polarity sigma[j] (+1: the rectifier sits on the dotted end):
// the rectifier sees Vs'[j] = sigma[j]·Vs[j], and the current it draws out of the winding is
// Isec[j] = -sigma[j]·Is[j]. With the centre's reduced secondaries (zsr, esr):
//     Vs'[j] = -sum_k sigma[j]·sigma[k]·zsr[j][k]·Isec[k] + sigma[j]·esr[j]
// Node X through the forward rectifier and through the freewheel rectifier (Iw into X):
//     Vx = Vs'[j] - (zF·Isec[j] + eF)  =  -(zW·Iw[j] + eW)
// Choke and output node (choke current IL = Isec + Iw):
//     Vx = (zL + zO)·(Isec[j] + Iw[j]) + eL + eO
// Unknowns x = (Isec[1..N], Iw[1..N]); rows for each output j:
//     sum_k sigma[j]·sigma[k]·zsr[j][k]·Isec[k] + zF·Isec[j] - zW·Iw[j] = sigma[j]·esr[j] - eF + eW
//     (zL + zO)·Isec[j] + (zL + zO + zW)·Iw[j]                          = -eW - eL - eO
// Each output's choke row gives its freewheel current from its forward current,
//     Iw[j] = (rw[j] - zLo[j]·Isec[j]) / (zLo[j] + zW[j]),   zLo = zL + zO,  rw = -eW - eL - eO
// and put into the first rows it leaves N x N (N <= 4):
//     sum_k sigma[j]·sigma[k]·zsr[j][k]·Isec[k] + (zF + zW·zLo/(zLo + zW))·Isec[j]
//                                               = sigma[j]·esr[j] - eF + eW + zW·rw/(zLo + zW)
// solved by elimination with partial pivoting on fixed arrays. Chokes on one core couple the
// choke rows to each other, so no row gives its freewheel current alone: then the 2N x 2N
// rows above are solved as they stand.
// The filter and load behind the output node (first-stage capacitor group and the resistive
// load with its ESL, both to the return):  zO, eO = the parallel form of the two branches.
#pragma once

#include <cmath>
#include <cstdint>
#include <utility>

#include "analysis/context/AnalEngine.h"

// Solves the rectifier and choke currents of all outputs; writes forwardCurrent,
// freewheelCurrent and chokeNodeVoltage of each output and the secondary currents Is.
// 0 when the system is singular or the result is not finite.
// With chokeMutual (M[j][k]·s, zero diagonal) the chokes share one core: each choke row adds
//     sum_k M[j][k]·s·(Isec[k] + Iw[k])
// and the caller has taken -sum_k M[j][k]·s·IL_prev[k] into the choke's e.
int32_t SolveCoupledOutputs(int32_t outputs, const int32_t* polarity, EngineStore* st,
                            const double (*chokeMutual)[kMaxOutputs] = nullptr);
// The same with stacked windings: rectifier j sees sum_k p[j][k]·Vs[k] (AnalMSec.h) in place
// of sigma[j]·Vs[j], and winding k carries Is[k] = -sum_j p[j][k]·Isec[j]. stacked: whether p
// has a term off its diagonal (1 or 0; -1: look).
int32_t SolveCoupledOutputsStacked(int32_t outputs, const double p[kMaxOutputs][kMaxOutputs], EngineStore* st,
                                   const double (*chokeMutual)[kMaxOutputs] = nullptr, int32_t stacked = -1);
// Whether a stacking matrix has a term off its diagonal.
int32_t StackingCouplesWindings(int32_t outputs, const double p[kMaxOutputs][kMaxOutputs]);

// The choke-direction flag: set when the test is switched off, or when the choke current
// runs the way the output's polarity says (a current of exactly 0 counts for both); a
// polarity of 0 clears it unless the test is off.
void SetFlagIfSameSign(int32_t* flag, int32_t testSwitch, double current, int32_t polarity);

// Dense solve of a (n x n) system held row-major in a (with n <= 8), right side rhs,
// result into x. Partial pivoting; 0 for a singular or non-finite system.
int32_t SolveDenseSmall(int32_t n, double a[8][8], double* rhs, double* x);

// An impedance matrix of the coupled windings (symmetric, positive definite): elimination in
// order without the pivot search, half the work of the pivoting solve, its loops fixed by the
// size M so that they unroll; 0 when a pivot is not positive, and the caller takes the
// pivoting solve.
template <int M, int N>
int32_t SolveImpedanceOfSize(double (&a)[N][N], double* rhs, double* x) {
    double inverse[M];
    for (int32_t col = 0; col < M; ++col) {
        if (!(a[col][col] > 0.0)) return 0;
        inverse[col] = 1.0 / a[col][col];
        for (int32_t r = col + 1; r < M; ++r) {
            const double f = a[r][col] * inverse[col];
            for (int32_t c = col + 1; c < M; ++c) a[r][c] -= f * a[col][c];
            rhs[r] -= f * rhs[col];
        }
    }
    for (int32_t r = M - 1; r >= 0; --r) {
        double sum = rhs[r];
        for (int32_t c = r + 1; c < M; ++c) sum -= a[r][c] * x[c];
        x[r] = sum * inverse[r];
        if (!std::isfinite(x[r])) return 0;
    }
    return 1;
}

template <int N>
int32_t SolveImpedance(int32_t n, double (&a)[N][N], double* rhs, double* x) {
    static_assert(N == 4, "sizes 1 to 4 in a 4 x 4 array");
    switch (n) {
    case 1: return SolveImpedanceOfSize<1>(a, rhs, x);
    case 2: return SolveImpedanceOfSize<2>(a, rhs, x);
    case 3: return SolveImpedanceOfSize<3>(a, rhs, x);
    case 4: return SolveImpedanceOfSize<4>(a, rhs, x);
    default: return 0;
    }
}

// The same for a system held in an N x N array (n <= N).
template <int N>
int32_t SolveDense(int32_t n, double (&a)[N][N], double* rhs, double* x) {
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
