// Steady state of the forward converter with a coupled (k < 1) transformer, continuous choke
// current, at a fixed duty: the closed forms the regression designs compare their runs with.
// Fixed point over the output voltage, a few passes:
//   IL      = Vo / R                                   choke (= load) current
//   Vbulk   = Vin - Rline·Iin,  Iin = Deff·k·(IL + Io) average line current (the magnetising
//                                                      charge returns in the reset; Io the other
//                                                      outputs' choke currents on the same primary)
//   Vp      = Vbulk - (k·(IL + Io) + Im/2)·Rpri        primary winding voltage while on (Rpri:
//                                                      every switch and sense resistor in the path)
//   E       = k·Vp·sqrt(Ls/Lp)                         open-circuit secondary voltage
//   Von     = (E - Vf - (Rd + Rsec)·IL)·L/(L + Llk) + Vo·Llk/(L + Llk)
//                                                      choke node while forward: the leakage
//                                                      Llk = Ls(1 - k²) carries the choke's dI/dt
//   Voff    = -(Vf + Rd·IL)                            choke node while freewheeling
//   dIL     = (Von - Vo)·Deff·T / L                    choke ripple
//   tc      = Llk·(IL - dIL/2) / E                     turn-on commutation: both rectifiers on,
//                                                      their drops cancel round the secondary loop
//   Deff    = D - tc/T
//   Vo      = Deff·Von + (1 - Deff)·Voff - Rchoke·IL
// A series inductance Lx in the primary path (a current-sense transformer's leakage) makes the
// primary source Vp behind Lx: seen from the secondary, E and Llk become the Thevenin values
//   E'   = E·Lp/(Lp + Lx),   Llk' = Ls - k²·Ls·Lp/(Lp + Lx)   (Llk' = Llk at Lx = 0)
// Then the ripple of the output (capacitor takes the triangle): dVo = dIL·T / (8·C); the
// magnetising current at the end of the on-time Im = Vp·D·T/Lp; the peak primary current
// k·(IL + dIL/2) + Im.
#pragma once

#include <cmath>

namespace designs {

struct ForwardCircuit {
    double vin, rline, duty, period;
    double lp, ls, leakage;  // winding inductances and the secondary's leakage Ls(1 - k²) (H)
    double vf, rd;           // output rectifiers
    double rpri;             // series resistance of the primary path while on (ohm)
    double l, rchoke, c, r;  // choke with its sense resistor, output capacitor, load
    double otherOutputsCurrent = 0.0;  // Io: the other outputs' choke currents, equal windings (A)
    double rsec = 0.0;                 // secondary winding resistance, in the forward path only (ohm)
    double primarySeries = 0.0;        // Lx: series inductance of the primary path (H)
};

struct ForwardSteadyState {
    double vout, il, dil, dvout, ipk;
    double vbulk, vp, im, k;
};

inline ForwardSteadyState SolveForward(const ForwardCircuit& x) {
    const double k = std::sqrt(1.0 - x.leakage / x.ls);
    const double divider = x.lp / (x.lp + x.primarySeries);
    const double llk = x.primarySeries > 0.0 ? x.ls - k * k * x.ls * divider : x.leakage;
    double vo = 10.0, deff = x.duty, il = 0.0, dil = 0.0, vbulk = x.vin, vp = x.vin, im = 0.0;
    for (int pass = 0; pass < 50; ++pass) {
        il = vo / x.r;
        vbulk = x.vin - x.rline * deff * k * (il + x.otherOutputsCurrent);
        im = vp * x.duty * x.period / x.lp;
        vp = vbulk - (k * (il + x.otherOutputsCurrent) + im / 2.0) * x.rpri;
        const double e = k * vp * std::sqrt(x.ls / x.lp) * divider;
        const double von = (e - x.vf - (x.rd + x.rsec) * il) * x.l / (x.l + llk) + vo * llk / (x.l + llk);
        const double voff = -(x.vf + x.rd * il);
        dil = (von - vo) * deff * x.period / x.l;
        const double tc = llk * (il - dil / 2.0) / e;
        deff = x.duty - tc / x.period;
        vo = deff * von + (1.0 - deff) * voff - x.rchoke * il;
    }
    return {vo, il, dil, dil * x.period / (8.0 * x.c), k * (il + dil / 2.0) + im, vbulk, vp, im, k};
}

// The hysteretic design's window (its choke, leakage and rectifiers): the sense of gain G (V/A)
// swings through the band and past it, the sense filter tau late at each edge, the switch
// t_off = 30 ns after the upper edge and t_on = 30 ns after the lower one, the forward rectifier
// then taking over the choke current through the leakage in tc = Llk·Ivalley/E (the two
// rectifiers' drops cancel round the secondary loop):
//   dI = band/G + (a + b)·tau + a·t_off + b·(t_on + tc),   T = dI·(1/a + 1/b)
struct HystereticWindow {
    double ripple, period;
};

inline HystereticWindow HystereticWindowClosedForm(double gain, double band, double tau, double vo, double il,
                                                   double vbulk) {
    const double k = std::sqrt(0.99), llk = 2e-6, l = 100e-6, rl = 2e-3, vf = 0.7, rd = 0.01;
    const double tOff = 30e-9, tOn = 30e-9;
    const double e = k * vbulk;
    const double a = (e - vf - (rd + rl) * il - vo) / (l + llk);
    const double b = (vo + vf + (rd + rl) * il) / l;
    double ripple = band / gain;
    for (int pass = 0; pass < 20; ++pass) {
        const double tc = llk * (il - ripple / 2.0) / e;
        ripple = band / gain + (a + b) * tau + a * tOff + b * (tOn + tc);
    }
    return {ripple, ripple * (1.0 / a + 1.0 / b)};
}

}  // namespace designs
