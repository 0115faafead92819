// Piecewise-linear and AC sources: a source is a transient table, a sine, a constant offset
// or any sum of them, evaluated at the present run time of the current analysis context.
#pragma once

#include <cstdint>

#include "analysis/context/AnalTables.h"

// value = sin(phase) x amplitude + offset + table contribution; slope (units/s) is written
// only when a table segment is interpolated. The table contributes only in a time-domain run
// from the steady state (analysis kind 1) outside the settling run. *active is cleared once
// the table has nothing more to give and set while amplitude > 0, so that the caller can stop
// evaluating a source that has become constant. 1, or 0 on a floating-point fault with data
// logging on.
int32_t EvalPwlAcSource(const TimeMagnitudeTable101* table, int32_t* cursor, double* value, double* slope,
                        int32_t* active, double amplitude, double offset, double phase);

// The table alone, in a run of analysis kind 1 (otherwise *active is cleared and *value left
// as it is). *active is cleared once the table has nothing more to give (past its last point,
// or a table of one point or none); the caller keeps the last value. 1, or 0 on a
// floating-point fault with data logging on.
int32_t InterpolateTimeMagnitudeTable(const TimeMagnitudeTable101* table, int32_t* cursor, double* value,
                                      int32_t* active);
