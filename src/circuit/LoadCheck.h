// Values read from a design file that the dialogs could never have entered
// (a divisor that is zero, negative or not a number, an enumeration outside
// its range) mark the file as damaged: the once-per-load warning 52080, the
// record's internal code, and the field takes its default, so that nothing
// downstream divides by it or indexes with it.
#pragma once

#include <cmath>

#include "platform/core/Types.h"
#include "records/Utils.h"

inline bool IsFinitePositive(double v) { return std::isfinite(v) && v > 0.0; }

inline bool InRange(int32_t v, int32_t lo, int32_t hi) { return v >= lo && v <= hi; }

inline void ReportDamagedValue(UINT moduleId, int code) {
    WarnFileCorrupted();
    ReportMessage1(moduleId, code, FALSE);
}
