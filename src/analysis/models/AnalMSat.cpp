#include "analysis/models/AnalMSat.h"

#include <algorithm>
#include <cmath>
#include <limits>

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

int32_t InterpolateStepInductance(double* inductance, double* slope, const TimeMagnitudePoint* points, int32_t count,
                                  int32_t* cursor, double current, double flux) {
    if (!InterpolateInductance(inductance, slope, points, count, cursor, current)) return 0;
    if (count < 2 || !(std::fabs(flux) > 0.0) || !std::isfinite(flux)) return 1;
    const double from = FluxLinkage(points, count, current);
    const double to = CurrentAtFlux(points, count, from + flux);
    const double moved = to - current;
    // A move lost in the current's own rounding leaves the start value.
    if (!(std::fabs(moved) > 1e-12 * std::max(std::fabs(current), 1e-3))) return 1;
    // Within one segment on one side of zero the chord is the mean of its ends' inductances,
    // free of the cancellation in F over the move (exact on a plateau).
    int32_t end = *cursor;
    double atEnd = 0.0, slopeAtEnd = 0.0;
    if (current * to >= 0.0 && InterpolateInductance(&atEnd, &slopeAtEnd, points, count, &end, to) &&
        end == *cursor) {
        *inductance = 0.5 * (*inductance + atEnd);
        return 1;
    }
    const double chord = flux / moved;
    if (std::isfinite(chord) && chord > 0.0) *inductance = chord;
    return 1;
}

int32_t TakeSingleInductance(double* inductance, double* slope, const TimeMagnitudePoint* points) {
    *inductance = points[0].magnitude;
    *slope = 0.0;
    return 1;
}

namespace {

double Slope(const TimeMagnitudePoint* p, int32_t j, int32_t count) {
    return j < count - 1 ? (p[j + 1].magnitude - p[j].magnitude) / (p[j + 1].time - p[j].time) : 0.0;
}

// The segment's length: up to the next point, without end beyond the last.
double SegmentLength(const TimeMagnitudePoint* p, int32_t j, int32_t count) {
    return j < count - 1 ? p[j + 1].time - p[j].time : std::numeric_limits<double>::infinity();
}

double LeastInductance(const TimeMagnitudePoint* p, int32_t count) {
    double l = p[0].magnitude;
    for (int32_t j = 1; j < count; ++j) l = std::min(l, p[j].magnitude);
    return l;
}

}  // namespace

double FluxLinkage(const TimeMagnitudePoint* p, int32_t count, double current) {
    const double x = std::fabs(current);
    double phi = 0.0;
    for (int32_t j = 0; j < count; ++j) {
        const double s = Slope(p, j, count);
        const double u = std::min(x - p[j].time, SegmentLength(p, j, count));
        phi += p[j].magnitude * u + s * u * u / 2.0;
        if (x - p[j].time <= SegmentLength(p, j, count)) break;
    }
    return current < 0.0 ? -phi : phi;
}

double CurrentAtFlux(const TimeMagnitudePoint* p, int32_t count, double flux) {
    double r = std::fabs(flux);
    double x = 0.0;
    for (int32_t j = 0; j < count; ++j) {
        const double s = Slope(p, j, count);
        const double len = SegmentLength(p, j, count);
        const double la = p[j].magnitude;
        const double whole = j < count - 1 ? la * len + s * len * len / 2.0 : r;
        if (r <= whole) {
            x = p[j].time + 2.0 * r / (la + std::sqrt(std::max(la * la + 2.0 * s * r, 0.0)));
            break;
        }
        r -= whole;
    }
    return flux < 0.0 ? -x : x;
}

double CoreEnergy(const TimeMagnitudePoint* p, int32_t count, double current) {
    const double x = std::fabs(current);
    double w = 0.0;
    for (int32_t j = 0; j < count; ++j) {
        const double a = p[j].time, la = p[j].magnitude, s = Slope(p, j, count);
        const double u = std::min(x - a, SegmentLength(p, j, count));
        w += a * la * u + (a * s + la) * u * u / 2.0 + s * u * u * u / 3.0;
        if (x - a <= SegmentLength(p, j, count)) break;
    }
    return w;
}

double CurrentAtEnergy(const TimeMagnitudePoint* p, int32_t count, double energy) {
    if (!(energy > 0.0)) return 0.0;
    // W(x) >= L_min·x²/2 bounds the current.
    double lo = 0.0, hi = std::sqrt(2.0 * energy / LeastInductance(p, count));
    for (int32_t i = 0; i < 200 && hi - lo > 1e-15 * hi; ++i) {
        const double mid = 0.5 * (lo + hi);
        if (CoreEnergy(p, count, mid) < energy) lo = mid;
        else hi = mid;
    }
    return 0.5 * (lo + hi);
}

double RippleAtFlux(const TimeMagnitudePoint* p, int32_t count, double mean, double flux) {
    if (!(flux > 0.0)) return 0.0;
    double lo = 0.0, hi = flux / LeastInductance(p, count);
    for (int32_t i = 0; i < 200 && hi - lo > 1e-15 * hi; ++i) {
        const double mid = 0.5 * (lo + hi);
        if (FluxLinkage(p, count, mean + mid / 2.0) - FluxLinkage(p, count, mean - mid / 2.0) < flux) lo = mid;
        else hi = mid;
    }
    return 0.5 * (lo + hi);
}
