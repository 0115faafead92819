// The drive edges' delay timers and the clamp switch. At each drive edge switch 1, the clamp
// switch and each synchronous rectifier get a timer: their own delay plus the edge's
// transition delay (AnalMTrans.h), whose energy goes into the period's transition loss. The
// timers count down after each step; one that runs out raises its element's request for the
// next step. A timer at or below the resolution is due at once: a zero delay switches without
// waiting for a step.
//
// The active clamp's switches: the clamp switch turns off when its on-edge timer runs out and
// on when its off-edge timer does; the dead time between it and switch 1 is the difference of
// their delays. A switch that opens hands its current to a body diode: a positive primary
// current to the clamp switch's (into the clamp), a negative one to switch 1's (up from the
// return); the diode lets go when its current comes to zero, and the primary idles until a
// channel turns on. The clamp switch turning on takes switch 1 off, and switch 1 turning on the
// clamp switch: the two never conduct together.
//
// Switch state 3 (resonant reset, active clamp): switch 1 off while an output's forward
// rectifier still carries current, before the reset or clamp path conducts alone; the primary
// sees the same loop as in state 1.
#pragma once

#include <cstdint>

#include "analysis/models/AnalMTrans.h"

class AnalysisContext;
struct EngineStore;

constexpr double kTimerDue = 5e-10;  // s
// A predicted current end this close counts as reached.
constexpr double kEventReached = 1.5e-10;  // s

inline bool CurrentEnded(double current, double slope) {
    return current <= 0.0 || (slope < 0.0 && -current / slope <= kEventReached);
}

TransitionParams TransitionParamsOf(const AnalysisContext& ctx);
// The drive has just risen (fallen): load the edge's timers; a due one raises its request now.
void BeginDriveOnEdge(AnalysisContext& ctx);
void BeginDriveOffEdge(AnalysisContext& ctx, bool currentLimited);
// After a step of h: count every pending timer down; those that run out raise their requests.
// 1 when one ran out.
int32_t CountDownEdgeTimers(AnalysisContext& ctx, double h);
// The nearest pending timer beyond the resolution (s), or -1.
double NextEdgeTimer(const EngineStore& st, int32_t outputs);
// A switching period starts: the last period's transition loss is kept, the sum starts again.
void StartTransitionPeriod(AnalysisContext& ctx);

// The active clamp's switch state from its pending requests.
void DetermineActiveClampState(AnalysisContext& ctx);
// Resonant reset and active clamp: between states 1 and 3 as the forward rectifiers conduct.
void SettleResetInterval(AnalysisContext& ctx);
// After a step: the active clamp's body diodes let go when their current ends. 1 on an event.
int32_t ActiveClampDiodeEvents(AnalysisContext& ctx, double current, double slope);
inline bool ResetInterval(int32_t switchState) { return switchState == 1 || switchState == 3; }
