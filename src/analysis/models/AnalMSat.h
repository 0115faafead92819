// Saturable inductance: a core's (current, inductance) points looked up piecewise-linearly at
// the winding's absolute current. Each table keeps a cursor where the last lookup ended, so a
// step moves it by a point or two instead of searching; beyond the last point the inductance
// stays at that point's value (slope 0).
//
// In the step an inductor's companion takes the inductance at the step's starting current,
//     V = R·I + L(|Iprev|)·(I - Iprev)·s,
// the incremental inductance held over the step (the current moves little in one step, so
// the error is of the order of dL/dI·ΔI over the step).
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

#include <cstdint>

#include "analysis/context/AnalTables.h"

// Inductance and dL/dI at |current| from points (x_i, L_i) in ascending x, starting the
// search at *cursor and leaving it on the segment used. 0 for an empty table.
int32_t InterpolateInductance(double* inductance, double* slope, const TimeMagnitudePoint* points, int32_t count,
                              int32_t* cursor, double current);

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
