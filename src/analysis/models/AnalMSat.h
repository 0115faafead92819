// Saturable inductance: a core's (current, inductance) points looked up piecewise-linearly at
// the winding's absolute current. Each table keeps a cursor where the last lookup ended, so a
// step moves it by a point or two instead of searching; beyond the last point the inductance
// stays at that point's value (slope 0).
//
// In the step an inductor's companion takes the inductance at the step's starting current,
//     V = R·I + L(|Iprev|)·(I - Iprev)·s,
// the incremental inductance held over the step (the current moves little in one step, so
// the error is of the order of dL/dI·ΔI over the step).
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
