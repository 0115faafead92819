#include "analysis/models/AnalMLoss.h"

#include <cmath>
#include <utility>

namespace {

// A winding below a microampere rms over a period carries no current of its own (A²).
constexpr double kUndrivenSquareCurrent = 1e-12;

double AcResistance(const WindingLossValues& v) { return v.acResistance > v.dcResistance ? v.acResistance : v.dcResistance; }

double CoreResistance(double meanSquareVoltage, const WindingLossValues& v) {
    return v.coreLoss > 0.0 && meanSquareVoltage > 0.0 ? meanSquareVoltage / v.coreLoss : 0.0;
}

bool Finite(const WindingLoss& w) {
    return std::isfinite(w.meanCurrent) && std::isfinite(w.meanSquareCurrent) && std::isfinite(w.meanSquareVoltage) &&
           std::isfinite(w.parallelResistance) && std::isfinite(w.windingResistance);
}

}  // namespace

void ResetWindingLoss(WindingLoss* w, double dcResistance) {
    *w = WindingLoss();
    w->windingResistance = dcResistance;
}

double EffectiveWindingResistance(double m, double b, const WindingLossValues& v) {
    const double variance = b - m * m;
    if (variance <= 0.0 || b <= 0.0) return v.dcResistance;
    return (variance * AcResistance(v) + m * m * v.dcResistance) / b;
}

int32_t AccumulateWindingStep(WindingLoss* w, double* slope, double current, double voltage, double h) {
    const double i0 = w->currentPrev, v0 = w->voltagePrev;
    if (slope) *slope = (current - i0) / h;
    const double third = h * (1.0 / 3.0);
    w->currentIntegral += (i0 + current) * 0.5 * h;
    w->squareCurrentIntegral += (current * current + i0 * current + i0 * i0) * third;
    w->squareVoltageIntegral += (voltage * voltage + v0 * voltage + v0 * v0) * third;
    w->currentPrev = current;
    w->voltagePrev = voltage;
    // The sum is not finite when any term is not.
    return std::isfinite(w->squareCurrentIntegral + w->squareVoltageIntegral) ? 1 : 0;
}

int32_t AverageWindingCurrents(WindingLoss* w, double period, bool early, const WindingLossValues& v) {
    const double a = w->currentIntegral / period, b = w->squareCurrentIntegral / period,
                 c = w->squareVoltageIntegral / period;
    w->currentIntegral = w->squareCurrentIntegral = w->squareVoltageIntegral = 0.0;
    // A period the winding did not carry current in (a converter not yet switching) leaves the
    // means as they were: counted, its near-zero voltage would make the core-loss resistance
    // a short across the winding.
    if (!(b > kUndrivenSquareCurrent)) return 1;
    const double n = w->periods;
    w->meanCurrent = (n * w->meanCurrent + a) / (n + 1.0);
    w->meanSquareCurrent = (n * w->meanSquareCurrent + b) / (n + 1.0);
    w->meanSquareVoltage = (n * w->meanSquareVoltage + c) / (n + 1.0);
    ++w->periods;
    w->parallelResistance = early ? 0.0 : CoreResistance(w->meanSquareVoltage, v);
    w->windingResistance =
        early ? v.dcResistance : EffectiveWindingResistance(w->meanCurrent, w->meanSquareCurrent, v);
    return Finite(*w) ? 1 : 0;
}

int32_t SeedWindingLoss(WindingLoss* w, double meanCurrent, double meanSquareCurrent, double meanSquareVoltage,
                        const WindingLossValues& v) {
    w->currentIntegral = w->squareCurrentIntegral = w->squareVoltageIntegral = 0.0;
    w->meanCurrent = meanCurrent;
    w->meanSquareCurrent = meanSquareCurrent;
    w->meanSquareVoltage = meanSquareVoltage;
    w->periods = 1;
    w->parallelResistance = CoreResistance(meanSquareVoltage, v);
    w->windingResistance = EffectiveWindingResistance(meanCurrent, meanSquareCurrent, v);
    return Finite(*w) ? 1 : 0;
}

void ResetInductorLoss(InductorLoss* x, bool present, const WindingLossValues& v) {
    *x = InductorLoss();
    ResetWindingLoss(&x->w, v.dcResistance);
    x->acResistance = v.acResistance;
    x->coreLoss = v.coreLoss;
    x->dcResistance = v.dcResistance;
    x->on = present && (v.coreLoss > 0.0 || v.acResistance > v.dcResistance) ? 1 : 0;
}

int32_t AverageInductorLoss(InductorLoss* x, double period, bool early) {
    if (!AverageWindingCurrents(&x->w, period, early, {x->acResistance, x->coreLoss, x->dcResistance})) return 0;
    x->conductance = CoreConductance(x->w);
    if (x->conductance > 0.0 && x->coreLoss * x->coreLoss > x->w.meanSquareVoltage * x->w.meanSquareCurrent) return 2;
    return 1;
}

int32_t ShuntCoupledWindings(int32_t n, const double z[kMaxOutputs][kMaxOutputs], const double* e, const double* g,
                             double zOut[kMaxOutputs][kMaxOutputs], double* eOut) {
    if (n < 1 || n > kMaxOutputs) return 0;
    // [I + Z·G | Z | E] reduced to [I | Z' | E'].
    constexpr int kColumns = 2 * kMaxOutputs + 1;
    double a[kMaxOutputs][kColumns] = {};
    const int32_t cols = 2 * n + 1;
    for (int32_t r = 0; r < n; ++r) {
        for (int32_t c = 0; c < n; ++c) {
            a[r][c] = (r == c ? 1.0 : 0.0) + z[r][c] * g[c];
            a[r][n + c] = z[r][c];
        }
        a[r][2 * n] = e[r];
    }
    for (int32_t col = 0; col < n; ++col) {
        int32_t pivot = col;
        for (int32_t r = col + 1; r < n; ++r)
            if (std::fabs(a[r][col]) > std::fabs(a[pivot][col])) pivot = r;
        if (!(std::fabs(a[pivot][col]) > 0.0)) return 0;
        if (pivot != col)
            for (int32_t c = 0; c < cols; ++c) std::swap(a[pivot][c], a[col][c]);
        const double inverse = 1.0 / a[col][col];
        for (int32_t c = 0; c < cols; ++c) a[col][c] *= inverse;
        for (int32_t r = 0; r < n; ++r) {
            if (r == col || a[r][col] == 0.0) continue;
            const double f = a[r][col];
            for (int32_t c = 0; c < cols; ++c) a[r][c] -= f * a[col][c];
        }
    }
    for (int32_t r = 0; r < n; ++r) {
        for (int32_t c = 0; c < n; ++c) {
            zOut[r][c] = a[r][n + c];
            if (!std::isfinite(zOut[r][c])) return 0;
        }
        eOut[r] = a[r][2 * n];
        if (!std::isfinite(eOut[r])) return 0;
    }
    return 1;
}
