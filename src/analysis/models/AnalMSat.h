// Saturable inductance: a core's (current, inductance) points looked up piecewise-linearly at
// the winding's absolute current. Each table keeps a cursor where the last lookup ended, so a
// step moves it by a point or two instead of searching; beyond the last point the inductance
// stays at that point's value (slope 0).
//
// In the step an inductor's companion V = R·I + L·(I - Iprev)·s takes the chord of its flux
// linkage across the step rather than the inductance at the step's start. The continuous
// inductor moves its flux Φ(i) = ∫0..i L(|x|) dx by the volt-seconds it sees, Φ(I) - Φ(Iprev) =
// v·h; the companion moves it by L·(I - Iprev). Held at L(|Iprev|), every step across a knee
// leaves |dL/dI|·ΔI²/2 of flux behind, in the same sense rising and falling, so a ripple across
// the knee drifts off the continuous circuit's flux and energy balance. The step's voltage is
// not known before the solve; the voltage of the step before (its companion's L·dI/dt) stands
// for it, so the flux the step is expected to move is F = Lprev·(dI/dt)prev·h, and
//     I1 = Φ⁻¹(Φ(Iprev) + F),   L = F / (I1 - Iprev)        (the chord from Iprev to I1)
// which is exact while the voltage holds over the step (a forward converter's intervals), and
// at an edge, where the voltage turns, errs for that one step by no more than the start value
// would. A part that keeps its voltage rather than its slope gives F from that voltage less its
// winding's drop. Within one segment the chord is the mean of L at its two ends. With no flux
// expected (a start, a current at rest) it is L(|Iprev|).
//
// The steady-state estimate works with what that step integrates. Under a voltage V held for
// a time t the current moves along L(|i|)·di = V·dt, so the flux linkage
//     Φ(x) = ∫0..x L(|i|) di        (odd in x: Φ(-x) = -Φ(x))
// moves by V·t. On the segment from point a (L_a) with slope s, at a + u:
//     Φ(a + u) = Φ(a) + L_a·u + s·u²/2,   u = 2·r / (L_a + √(L_a² + 2·s·r))   for r = Φ - Φ(a),
// the root that is 0 at r = 0, written without the cancellation of (-L_a + √...)/s. The
// energy the core takes from 0 to x is
//     W(x) = ∫0..x i·L(i) di,   W(a + u) = W(a) + a·L_a·u + (a·s + L_a)·u²/2 + s·u³/3.
// A ripple of flux F (the volt-seconds of one slope of the period) around a mean current I
// spans the d with Φ(I + d/2) - Φ(I - d/2) = F; its derivative in d, (L(I + d/2) +
// L(|I - d/2|))/2, is positive, so d is found by bisection between 0 and F/L_min. Its chord
// inductance F/d is the one that puts the linear inductor's ripple formulas at that ripple.
#pragma once

#include <cmath>
#include <cstdint>

#include "analysis/context/AnalConst.h"
#include "analysis/context/AnalTables.h"

// Inductance and dL/dI at |current| from points (x_i, L_i) in ascending x, starting the
// search at *cursor and leaving it on the segment used. 0 for an empty table.
int32_t InterpolateInductance(double* inductance, double* slope, const TimeMagnitudePoint* points, int32_t count,
                              int32_t* cursor, double current);

// The step's inductance (the chord above) for the flux F (V·s) the step is expected to move
// from the current; the slope and the cursor are those at the current.
int32_t InterpolateStepInductance(double* inductance, double* slope, const TimeMagnitudePoint* points, int32_t count,
                                  int32_t* cursor, double current, double flux);

// A one-point table: that point's inductance, slope 0.
int32_t TakeSingleInductance(double* inductance, double* slope, const TimeMagnitudePoint* points);

// The inductance of a table at a current: its single point, or the lookup with its first
// cursor word. 0 for an empty table.
template <int N>
int32_t LookUpInductance(double* inductance, double* slope, TimeMagnitudeTableN<N>& table, double current,
                         int32_t word = 0) {
    if (table.count == 1) return TakeSingleInductance(inductance, slope, table.points);
    return InterpolateInductance(inductance, slope, table.points, table.count, &table.cursor[word], current);
}

// The step's inductance of a table from the current and the expected flux F: its single
// point, or the chord with its cursor word.
template <int N>
int32_t LookUpStepInductance(double* inductance, double* slope, TimeMagnitudeTableN<N>& table, double current,
                             double flux, int32_t word = 0) {
    if (table.count == 1) return TakeSingleInductance(inductance, slope, table.points);
    return InterpolateStepInductance(inductance, slope, table.points, table.count, &table.cursor[word], current,
                                     flux);
}

// The flux (V·s) a step of h (s) is expected to move: the voltage L·dI/dt of the step before,
// 0 where either is not known yet.
inline double ExpectedStepFlux(double inductance, double currentSlope, double h) {
    const double f = inductance * currentSlope * h;
    return std::isfinite(f) && inductance > 0.0 && currentSlope != NOT_SET ? f : 0.0;
}

// More than the point at 0 A: the inductance follows the current.
template <int N>
bool Saturable(const TimeMagnitudeTableN<N>* table) {
    return table && table->count > 1;
}

// Flux linkage Φ(current) in V·s (odd in the current), the current at a flux linkage, and the
// energy W in J from 0 to |current|, over the points (first at 0 A) of a saturable table.
double FluxLinkage(const TimeMagnitudePoint* points, int32_t count, double current);
double CurrentAtFlux(const TimeMagnitudePoint* points, int32_t count, double flux);
double CoreEnergy(const TimeMagnitudePoint* points, int32_t count, double current);
// The current (>= 0) at which the core holds the energy W.
double CurrentAtEnergy(const TimeMagnitudePoint* points, int32_t count, double energy);
// The peak-to-peak ripple d around the mean current with flux F (V·s) between its ends.
double RippleAtFlux(const TimeMagnitudePoint* points, int32_t count, double mean, double flux);
