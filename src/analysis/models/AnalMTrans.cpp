#include "analysis/models/AnalMTrans.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kLowestBulk = 1.0;           // V: below it no hand-over is timed
constexpr double kChargingCurrent = 0.0001;   // A: below it the capacitances are not timed

// (a/n)², 0 without primary turns.
double RatioSquared(double a, double n) { return n > 0.0 ? (a / n) * (a / n) : 0.0; }

}  // namespace

TransitionResult CalcOnEdgeTransition(const TransitionParams& p, double switchVoltage, double vin, double dmin) {
    TransitionResult r;
    const double n = p.turnsRatio;
    const double v = switchVoltage;
    double vx = v, l = p.leakage;
    double e = 0.5 * p.csw * v * v;
    if (p.doubled) {
        l = 2.0 * p.leakage;
        vx = 2.0 * v;
        e += 0.5 * (3.0 * p.csw + 2.0 * p.cb) * v * v;
    }
    if (p.winding) e += (p.cg + p.cf) * 0.5 * RatioSquared(p.windingTurns, n) * vx * vx;
    if (p.clampSwitch) e += 0.5 * p.cd * vx * vx;
    if (p.capE) e += 0.5 * p.ce * vx * vx;
    if (p.auxElement) l += (1.0 - p.auxCoupling * p.auxCoupling) * p.magnetizing;
    double q1 = 0.0, q2 = 0.0;
    for (int32_t k = std::min(p.outputs, kMaxOutputs) - 1; k >= 0; --k) {
        const TransitionOutput& o = p.out[k];
        const double lk = o.leakage + l;
        q1 += lk * o.polarity * o.turns * o.chokeSlope;
        q2 += lk * (o.chokeSlope * dmin + o.chokeCurrent) * o.polarity * o.turns;
        const double ar = RatioSquared(o.turns, n);
        e += 0.5 * ar * o.cr3 * vx * vx + 0.5 * o.cr1 * o.rectifierVoltage * o.rectifierVoltage +
             0.5 * ar * o.cr2 * vin * vin;
    }
    r.energy = e;
    if (vin >= kLowestBulk && n > 0.0) {
        const double drive = vin * n;
        const double rest = 1.0 - q1 / drive;
        r.delay = rest > 0.0 ? std::max(0.0, (q2 / drive) / rest) : 0.0;
    }
    return r;
}

TransitionResult CalcOffEdgeTransition(const TransitionParams& p, double switchCurrent, double clampVoltage, double vin) {
    TransitionResult r;
    if (p.noCalc) return r;
    const double n = p.turnsRatio;
    double vr = 0.0;
    if (p.doubled) vr = 2.0 * p.vb + vin;
    if (p.winding && p.windingTurns > 0.0) vr = (p.vd + vin) / p.windingTurns * n;
    if (p.clamp) vr = std::max(clampVoltage + (p.doubled ? p.ve : 0.0), vin / 3.0);
    const double vt = vin + vr;
    const double wound = RatioSquared(p.windingTurns, n);
    double e = 0.5 * p.csw * vt * vt;
    if (p.doubled) e += 0.25 * (p.cb + p.cc) * vt * vt;
    if (p.winding) e += (p.cg + p.cf) * 0.5 * wound * vt * vt;
    if (p.clampSwitch) e += 0.5 * p.cd * vt * vt;
    if (p.capE) e += 0.5 * p.ce * vt * vt;

    const double i = switchCurrent;
    double c = 0.0;  // capacitance charged through Vt, and the rectifiers' charge over Vt
    double rectifierCharge = 0.0;
    if (i >= kChargingCurrent) c = p.cc + p.csw;
    const bool charging = i > kChargingCurrent;
    if (charging) {
        if (p.doubled) c += 2.0 * p.cb + p.cc;
        if (p.winding) c += (p.cg + p.cf) * wound;
        if (p.clampSwitch) c += p.cd;
        if (p.capE) c += p.ce;
    }
    for (int32_t k = std::min(p.outputs, kMaxOutputs) - 1; k >= 0; --k) {
        const TransitionOutput& o = p.out[k];
        const double ar = RatioSquared(o.turns, n);
        if (charging) rectifierCharge += (o.cr1 * vr + o.cr2 * vin + o.cr3 * vt) * ar;
        e += 0.5 * ar * (o.leakage * o.chokeCurrent * o.chokeCurrent + o.cr1 * vr * vr + o.cr3 * vt * vt);
    }
    r.delay = i >= kChargingCurrent ? (vt * c + rectifierCharge) / i : 0.0;
    r.energy = e;
    return r;
}
