// The document's point tables that a run reads: the 101-point transient tables of the
// piecewise-linear sources, and the larger (current, inductance) saturation tables with one
// or three cursor words. Plain data, not archived; a run works on copies (AnalContext.h).
#pragma once

#include <cmath>
#include <cstdint>

#include "platform/core/Types.h"

struct TimeMagnitudePoint {
    double time;       // s (A in a saturation table)
    double magnitude;  // V or A (H in a saturation table)
};

// The insertion rule of every table kind: a negative or non-finite time is refused, an exact
// time match replaces that point's magnitude, anything else is appended while there is room.
// Points are not sorted: the caller inserts in increasing time. TRUE when stored or updated.
inline BOOL InsertTimeMagnitudePoint(TimeMagnitudePoint* points, int32_t& count, int32_t capacity, double time,
                                     double magnitude) {
    if (!(time >= 0.0) || !std::isfinite(time)) return FALSE;
    if (count < 0) count = 0;
    if (count > capacity) count = capacity;
    for (int32_t i = 0; i < count; ++i) {
        if (points[i].time == time) {
            points[i].magnitude = magnitude;
            return TRUE;
        }
    }
    if (count == capacity) return FALSE;
    points[count] = {time, magnitude};
    ++count;
    return TRUE;
}

// Up to 101 (time, magnitude) points of a transient. Point 0 is the point at time 0, so a
// cleared table holds one point and inserting time 0 updates it.
struct TimeMagnitudeTable101 {
    static constexpr int32_t kCapacity = 101;

    TimeMagnitudeTable101() {
        for (TimeMagnitudePoint& p : points) p = {-1.0, 0.0};
        Clear();
    }
    void Clear() {
        for (TimeMagnitudePoint& p : points) p = {0.0, 0.0};
        count = 1;
        cursor = 0;
    }
    BOOL Insert(double time, double magnitude) {
        return InsertTimeMagnitudePoint(points, count, kCapacity, time, magnitude);
    }

    int32_t count;  // points in use
    TimeMagnitudePoint points[kCapacity];
    int32_t cursor;  // index of the point that ends the segment in use
};

// Up to 102 points and N cursor words: N = 3 for a line filter table shared by the three
// line phases, each phase searching from its own word; N = 1 for the other tables.
template <int N>
struct TimeMagnitudeTableN {
    static constexpr int32_t kCapacity = 102;

    TimeMagnitudeTableN() {
        for (TimeMagnitudePoint& p : points) p = {-1.0, 0.0};
        Clear();
    }
    void Clear() {
        for (TimeMagnitudePoint& p : points) p = {0.0, 0.0};
        for (int32_t& c : cursor) c = 0;
        count = 0;
    }
    BOOL Insert(double time, double magnitude) {
        return InsertTimeMagnitudePoint(points, count, kCapacity, time, magnitude);
    }

    int32_t count;
    TimeMagnitudePoint points[kCapacity];
    int32_t cursor[N];
};

using TimeMagnitudeTable = TimeMagnitudeTableN<1>;
using TimeMagnitudeTable3 = TimeMagnitudeTableN<3>;
