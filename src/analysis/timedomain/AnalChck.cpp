#include "analysis/timedomain/AnalChck.h"

#include <cmath>
#include <string>

#include "platform/core/Format.h"
#include "records/Utils.h"
#include "resources/StringTable.h"

namespace {

constexpr UINT kSwitchingFrequencyWarning = 53026;

// Touched by the worker thread only. A run's first step re-arms them all.
int32_t g_breakdownReported[kBreakdownCheckCount] = {};
int32_t g_frequencyWarned = 0;

bool Exceeds(const BreakdownCheck& c) {
    // A voltage that no model of this run computes is not a voltage across the part.
    if (c.voltage == NOT_SET) return false;
    switch (c.compare) {
    case BreakdownCompare::kMagnitudeAtLeast: return std::fabs(c.voltage) >= c.rating;
    case BreakdownCompare::kMagnitudeAbove: return std::fabs(c.voltage) > c.rating;
    case BreakdownCompare::kReverse: return c.voltage <= -c.rating;
    }
    return false;
}

}  // namespace

void ReportBreakdownProblem(UINT messageId, double voltage, double rating) {
    const char* text = res::FindString(messageId);
    if (!text) return;
    const AnalysisContext* ctx = GetAnalysisContext();
    const double t = ctx ? ctx->stepState.time : 0.0;
    const std::string v = fw::Format("\n\n%7.3e %s \n\n", voltage, "\t Volt ");
    const std::string r = fw::Format("%7.3e %s \n\n", rating, "\t Break Down Volt ");
    const std::string w = fw::Format("%7.3e %s", t, "\t Time ");
    const std::string all = fw::Format("%s %s %s %s", text, v.c_str(), r.c_str(), w.c_str());
    ReportText(all.c_str(), TRUE);
}

void CheckBreakdownVoltages(int32_t firstStep) {
    const AnalysisContext* ctx = GetAnalysisContext();
    if (!ctx) return;
    ForEachBreakdownCheck(*ctx, [firstStep](const BreakdownCheck& c) {
        if (!c.guard) return;
        int32_t& latch = g_breakdownReported[c.order];
        if (firstStep) latch = 0;
        if (latch || !Exceeds(c)) return;
        latch = 1;
        ReportBreakdownProblem(c.messageId, c.voltage, c.rating);
    });
}

void CheckStepLimits(int32_t firstStep) {
    CheckBreakdownVoltages(firstStep);
    if (firstStep) g_frequencyWarned = 0;
    if (g_frequencyWarned) return;
    g_frequencyWarned = 1;
    const AnalysisContext* ctx = GetAnalysisContext();
    if (!ctx || ctx->pControlInput->controlMode != 3) return;
    const double projected = ctx->stepState.switchingPeriod;
    const double target = ctx->pSettings->targetSwitchingPeriod;
    // Before any period is known there is nothing to compare.
    if (!(projected > 0.0) || !(target > 0.0)) return;
    if (projected / 2.0 >= target || projected * 2.0 <= target) ReportMessage(kSwitchingFrequencyWarning, TRUE);
}
