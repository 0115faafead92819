#include "analysis/models/AnalMSat.h"

#include <cmath>

int32_t InterpolateInductance(double* inductance, double* slope, const TimeMagnitudePoint* points, int32_t count,
                              int32_t* cursor, double current) {
    if (count < 1) return 0;
    const double x = std::fabs(current);
    int32_t j = *cursor;
    if (j < 0) j = 0;
    if (j > count - 1) j = count - 1;
    // The first point sits at 0 A, so a current below it leaves the cursor on the first segment.
    while (j < count - 1 && std::fabs(points[j + 1].time) <= x) ++j;
    while (j > 0 && x < std::fabs(points[j].time)) --j;
    *cursor = j;
    const double s = j < count - 1 ? (points[j + 1].magnitude - points[j].magnitude) /
                                         (points[j + 1].time - points[j].time)
                                   : 0.0;
    *slope = s;
    *inductance = (x - points[j].time) * s + points[j].magnitude;
    return std::isfinite(*inductance) ? 1 : 0;
}

int32_t TakeSingleInductance(double* inductance, double* slope, const TimeMagnitudePoint* points) {
    *inductance = points[0].magnitude;
    *slope = 0.0;
    return 1;
}
