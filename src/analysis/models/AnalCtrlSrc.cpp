// Piecewise-linear and AC sources.
//
// A transient table is a list of (t_k, m_k) points in increasing time. Between points the
// source follows the straight segment: m(t) = m_(i-1) + (t - t_(i-1)) x s, with the segment
// slope s = (m_i - m_(i-1)) / (t_i - t_(i-1)). Before the first point it holds m_0, after the
// last point m_(n-1). The cursor i (the point that ends the segment in use) only moves
// forward, one point per call, so that a step costs a constant amount of work; a step that
// passes several points extrapolates along the segment in use until the cursor catches up.
// An AC source adds amplitude x sin(phase) and an offset; the caller advances the phase.
#include "analysis/models/AnalCtrlSrc.h"

#include <algorithm>
#include <cmath>

#include "analysis/context/AnalContext.h"
#include "records/Utils.h"

namespace {

constexpr UINT kModuleAnalCtrl = 56005;  // "AnalCtrl:  CODE %1"
constexpr int kCodeSourceFault = 5700;
constexpr int kCodeTableFault = 5751;
constexpr UINT kMsgSourceFailure = 52183;  // "Problem:  Failure calculating piece wise linear or AC quantities."

enum class Walked {
    kEmpty,      // no points: no contribution
    kConstant,   // one point: its magnitude
    kInside,     // the cursor is short of the last point
    kOnLast,     // the cursor stands on the last point, t not past it
    kPastLast,   // t past the last point: its magnitude
};

struct WalkResult {
    Walked where = Walked::kEmpty;
    bool hasValue = false;
    double value = 0.0;
    bool interpolated = false;
    double slope = 0.0;
};

// The value on the segment that ends at point i (i >= 1).
void OnSegment(const TimeMagnitudeTable101& tab, int32_t i, double t, WalkResult& r) {
    const TimeMagnitudePoint& a = tab.points[i - 1];
    const TimeMagnitudePoint& b = tab.points[i];
    r.hasValue = true;
    const double span = b.time - a.time;
    if (span == 0.0) {  // only a table filled by hand can hold two equal times
        r.value = b.magnitude;
        return;
    }
    r.slope = (b.magnitude - a.magnitude) / span;
    r.value = (t - a.time) * r.slope + a.magnitude;
    r.interpolated = true;
}

// One step of the table walk at time t. Reads only points 0 to count - 1, whatever the
// cursor or the count held.
WalkResult WalkTable(const TimeMagnitudeTable101* tab, int32_t& cursor, double t) {
    WalkResult r;
    const int32_t n = tab ? std::clamp(tab->count, 0, TimeMagnitudeTable101::kCapacity) : 0;
    if (n == 0) return r;
    if (n == 1) {
        r.where = Walked::kConstant;
        r.hasValue = true;
        r.value = tab->points[0].magnitude;
        return r;
    }
    int32_t i = std::clamp(cursor, 0, n - 1);
    if (i < n - 1) {
        r.where = Walked::kInside;
        if (tab->points[i].time < t) ++i;
        if (i < 1) {
            r.hasValue = true;
            r.value = tab->points[0].magnitude;
        } else {
            OnSegment(*tab, i, t, r);
        }
    } else if (t <= tab->points[n - 1].time) {
        r.where = Walked::kOnLast;
        OnSegment(*tab, i, t, r);
    } else {
        r.where = Walked::kPastLast;
        r.hasValue = true;
        r.value = tab->points[n - 1].magnitude;
    }
    cursor = i;
    return r;
}

}  // namespace

int32_t EvalPwlAcSource(const TimeMagnitudeTable101* table, int32_t* cursor, double* value, double* slope,
                        int32_t* active, double amplitude, double offset, double phase) {
    AnalysisContext* ctx = GetAnalysisContext();
    if (!ctx) return 0;
    const AnalysisSettingsRec& settings = *ctx->pSettings;
    const StepStateRec& step = ctx->stepState;

    double tablePart = 0.0;
    if (settings.analysisKind == 1 && !step.settling) {
        int32_t unused = 0;
        WalkResult r = WalkTable(table, cursor ? *cursor : unused, step.time);
        if (r.hasValue) tablePart = r.value;
        if (r.interpolated && slope) *slope = r.slope;
        // A table that has nothing more to give leaves a constant; an AC part (below) keeps
        // the source alive for the whole run.
        if (r.where == Walked::kEmpty || r.where == Walked::kConstant || r.where == Walked::kPastLast) *active = 0;
    }
    if (amplitude > 0.0) *active = 1;
    *value = std::sin(phase) * amplitude + offset + tablePart;

    if (settings.loggingOn && CheckFloatingPointStatus()) {
        ReportMessage1(kModuleAnalCtrl, kCodeSourceFault, FALSE);
        ReportMessageFirstBox(kMsgSourceFailure);
        return 0;
    }
    return 1;
}

int32_t InterpolateTimeMagnitudeTable(const TimeMagnitudeTable101* table, int32_t* cursor, double* value,
                                      int32_t* active) {
    AnalysisContext* ctx = GetAnalysisContext();
    if (!ctx) return 0;
    const AnalysisSettingsRec& settings = *ctx->pSettings;
    if (settings.analysisKind != 1) {
        *active = 0;
        return 1;
    }
    int32_t unused = 0;
    WalkResult r = WalkTable(table, cursor ? *cursor : unused, ctx->stepState.time);
    if (r.hasValue) *value = r.value;
    // The last segment is still a ramp: the walk ends only past the last point.
    if (r.where == Walked::kEmpty || r.where == Walked::kConstant || r.where == Walked::kPastLast) *active = 0;

    if (settings.loggingOn && CheckFloatingPointStatus()) {
        ReportMessage1(kModuleAnalCtrl, kCodeTableFault, FALSE);
        return 0;
    }
    return 1;
}
