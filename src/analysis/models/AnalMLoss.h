// Winding and core losses of the magnetic parts: per step each winding integrates its current,
// the square of its current and the square of its voltage; per switching period those become
// running means, from which the winding's effective resistance and its core-loss resistance
// follow.
//
// Step integrals over one step of length h, on the straight segment from (Iprev, Vprev) to
// (I, V) (the step's own linear interpolation, so the square integrals are exact):
//     ∫I dt  += (Iprev + I)/2·h
//     ∫I² dt += (I² + Iprev·I + Iprev²)/3·h,     ∫V² dt likewise
// Period end (period length T, the time the integrals ran): a = ∫I/T, b = ∫I²/T, c = ∫V²/T;
// over the n periods counted before, each running mean m ← (n·m + new)/(n + 1), the first
// period's values taken as they are.
//
// Effective winding resistance. The winding current i = m + r(t) with m its mean and r the
// ripple (mean 0, mean square σ² = b - m²). The DC part sees the DC resistance, the ripple the
// AC resistance, so the winding loss is P = m²·Rdc + σ²·Rac, which one resistance carrying the
// whole current dissipates at
//     Reff = P / b = (σ²·Rac + m²·Rdc) / b
// (Rdc while σ² <= 0, b <= 0, or before ten steps and half a period have been counted, when the
// means are not yet a period's). A period in which the winding carried no current (below a
// microampere rms: a converter that has not yet begun to switch) is not counted: its voltage,
// near zero, would otherwise make the core-loss resistance below a short across the winding. An AC resistance below the DC one (the parts list's 0 for "not
// given") is taken as the DC one: a winding's resistance never falls with frequency, and then
// Reff = Rdc, the run without AC resistance.
//
// Core-loss resistance. A core that loses P_core at the winding's mean square voltage c is a
// resistance across the winding's inductance (and its series resistance) of
//     Rp = c / P_core,
// which at that voltage takes exactly P_core. No core loss (P_core <= 0), or too early (as
// above): no resistance there at all (the open resistance, whose conductance is negligible).
//
// The shunt across the power transformer's centre winding. The primary loop of the switch
// state presents Vw = A·It + B to the winding's terminals (It the terminal current); Rp from
// terminal to terminal, in parallel with the winding branch carrying Iw, with g = 1/Rp:
//     It = Iw + g·Vw   =>   Vw = A·(Iw + g·Vw) + B   =>   Vw = A'·Iw + B',
//     A' = A/(1 - g·A),   B' = B/(1 - g·A)
// so the winding branch sees the loop in parallel with Rp, and after the solve the terminal
// current is It = Iw + g·(A'·Iw + B'). Referred to a centre winding of Nc turns instead of the
// primary's Np, the same core loss is Rp·(Nc/Np)² = Rp·Lc/Lp.
//
// The choke's shunt. The choke winding (inductance L, effective resistance R) is
//     V = R·IL + L·s·(IL - ILprev)   =   zL·IL + eL
// and Rp across it: with the branch current Ib = IL + V/Rp,
//     V = zL·Rp/(zL + Rp)·Ib + eL·Rp/(zL + Rp),   IL = Ib - V/Rp.
//
// Chokes on one core, each with its core-loss conductance g_k across its winding. The windings
// (their own currents Iw, step impedances Z with the mutuals off the diagonal, E their previous
// currents' terms) and the branches (currents Ib, each a winding with its shunt beside it):
//     V = Z·Iw + E,   Ib = Iw + G·V   =>   (I + Z·G)·V = Z·Ib + E
//     V = Z'·Ib + E',   Z' = (I + Z·G)⁻¹·Z,   E' = (I + Z·G)⁻¹·E
// Z' = (Z⁻¹ + G)⁻¹: the windings' admittance matrix beside the shunts', symmetric as Z is, so
// its diagonal is each branch's own impedance and the rest its mutuals in the coupled solve.
// After the solve each winding's own current is Iw_k = Ib_k - g_k·V_k. I + Z·G is regular for
// any passive Z and g >= 0 (G^½·Z·G^½ has no eigenvalue of -1).
#pragma once

#include <cstdint>

#include "analysis/context/AnalEngine.h"

// The losses a winding's part gives it.
struct WindingLossValues {
    double acResistance;  // ohm
    double coreLoss;      // W
    double dcResistance;  // ohm
};

// A winding with no period counted yet: its resistance the DC one, no core-loss resistance.
void ResetWindingLoss(WindingLoss* w, double dcResistance);

// One step of length h ending at (current, voltage); writes the slope dI/dt when slope is given.
// 1, or 0 when a value is not finite.
int32_t AccumulateWindingStep(WindingLoss* w, double* slope, double current, double voltage, double h);

// The period of length period ends: the means and resistances. early: fewer than ten steps or
// half a period since the run began. 1 (nothing changes while the integrals are 0), or 0 when a
// value is not finite.
int32_t AverageWindingCurrents(WindingLoss* w, double period, bool early, const WindingLossValues& v);

// Seeds the means with a period of the given mean, mean square current and mean square voltage
// (the operating point's), as one counted period.
int32_t SeedWindingLoss(WindingLoss* w, double meanCurrent, double meanSquareCurrent, double meanSquareVoltage,
                        const WindingLossValues& v);

// The effective resistance at a mean m and mean square b.
double EffectiveWindingResistance(double m, double b, const WindingLossValues& v);

// The core-loss conductance 1/Rp (0 without one).
inline double CoreConductance(const WindingLoss& w) {
    return w.parallelResistance > 0.0 ? 1.0 / w.parallelResistance : 0.0;
}

// The winding branch with a conductance g across it (g = 0: unchanged).
inline BranchPair ShuntedBranch(const BranchPair& winding, double g) {
    if (g == 0.0) return winding;
    const double k = 1.0 / (1.0 + g * winding.z);
    return {winding.z * k, winding.e * k};
}

// An inductor's slot at the run's start: on when it is present and its part has a loss.
void ResetInductorLoss(InductorLoss* x, bool present, const WindingLossValues& v);

// Its winding resistance for the step: the effective one while on, else the DC one.
inline double InductorResistance(const InductorLoss& x, double dcResistance) {
    return x.on ? x.w.windingResistance : dcResistance;
}

// Its winding branch with the core-loss conductance across it; kept for the solve's own current.
inline void ShuntInductor(InductorLoss* x, BranchPair* winding) {
    if (!x->on) return;
    x->winding = ShuntedBranch(*winding, x->conductance);
    *winding = x->winding;
}

// After the solve: the winding's own current from the branch's current ib; its voltage in v.
inline double InductorOwnCurrent(const InductorLoss& x, double ib, double* v) {
    *v = x.winding.z * ib + x.winding.e;
    return ib - x.conductance * *v;
}

// The period end for an inductor's slot; its conductance follows. 1; 0 when not finite; 2
// when its core loss is above its winding's rms voltage times its rms current.
//
// Why that bound. An inductor that carries a smooth current (a line filter's, a second
// stage's) has little voltage across it, so Rp = c/P_core comes out small, the shunt takes
// the winding's current, the voltage falls and with it the next Rp: the means run away to a
// short across the inductor, which then dissipates less, not P_core. Whatever the means, a
// shunt that takes P_core carries c/Rp² = P_core²/c, more than the winding's own b when
// P_core² > b·c: past that it is no core loss of the winding any more, and the run stops
// with a message rather than show an inductor shorted out.
int32_t AverageInductorLoss(InductorLoss* x, double period, bool early);

// The loop A, B seen by the centre winding with the conductance g across its terminals.
inline void ShuntLoop(double g, double* a, double* b) {
    if (g == 0.0) return;
    const double k = 1.0 / (1.0 - g * *a);
    *a *= k;
    *b *= k;
}

// The coupled windings' branch impedances Z' and terms E' with the conductances g across them
// (n <= kMaxOutputs; g = 0 leaves a winding as it is). 1, or 0 when the system is singular or a
// result not finite.
int32_t ShuntCoupledWindings(int32_t n, const double z[kMaxOutputs][kMaxOutputs], const double* e, const double* g,
                             double zOut[kMaxOutputs][kMaxOutputs], double* eOut);
