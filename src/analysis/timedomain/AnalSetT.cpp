#include "analysis/timedomain/AnalSetT.h"

#include <algorithm>
#include <cmath>

#include "analysis/context/AnalContext.h"
#include "analysis/context/AnalTableIndex.h"
#include "analysis/models/AnalCtrlSrc.h"
#include "analysis/models/AnalMCtl.h"
#include "analysis/models/AnalMHyst.h"
#include "analysis/models/AnalMOpto.h"
#include "analysis/models/AnalMRamp.h"
#include "analysis/models/AnalMSync.h"
#include "analysis/models/AnalMVea.h"
#include "analysis/models/AnalMPri.h"
#include "analysis/timedomain/AnalEdge.h"
#include "analysis/timedomain/AnalABCS.h"
#include "analysis/timedomain/AnalLine.h"
#include "records/Utils.h"

namespace {

// The event mechanism's one rule: an event within the timer resolution of now is due now.
// Landing a step on it would take a step of rounding size (1e-21 s), whose 1/h terms swamp
// every state of the step; a zero delay must switch at once, not never.
constexpr double kTimerResolution = kTimerDue;  // s
// The step restarts at 1 ns after a switch-state change or a device event (32 ns with the
// transformer at rest, where nothing moves fast), grows to at most 10 ns after a step of 1 ns
// or less, and otherwise to at most twice the last one. (Tenfold growth reaches the largest
// step two steps after an edge and leaves the clamp, sense transformer and current-loop
// transients after it several per cent off their closed forms.)
constexpr double kRestartStep = 1e-9;         // s
constexpr double kRestingRestartStep = 3.2e-8;  // s
// The first step after the turn-on while some output's forward rectifier is still off: that
// rectifier comes on only once a solve shows its voltage over the knee, so its hand-over
// starts a step late; a 1 ns step held four_outputs' shortest one 21 % long.
constexpr double kHandOverStartStep = 1e-10;  // s
constexpr double kFirstGrowthCap = 1e-8;      // s
constexpr double kStepGrowth = 2.0;
// No storage element's quantity moves by more than this share of its reference in one step.
constexpr double kOnePerCent = 0.01;
// The sense transformer's step against its magnetising time constant while it droops: the
// droop's step error is first order in h/tau, about 1.5·h/tau.
constexpr double kSenseRelaxationFraction = 0.01;
constexpr int32_t kStepTimeCapacity = 8;
constexpr int kLoadSourceTable = 6;  // the context table of output j's load current source: 6 + j
// The last step is not shortened to the end time for less than this: a step of rounding size
// would swamp the states with its 1/h.
constexpr double kEndLandingSlack = 1e-10;  // s
// Until the bulk reaches the error amplifier's turn-on level its reference stands at this
// mark (the references are locked out).
constexpr double kLockedReference = 1e-6;  // V
constexpr int32_t kAverageCurrentMode = 4;
constexpr int32_t kPeakCurrentMode = 0;
constexpr int32_t kFeedForwardMode = 1;
constexpr int32_t kHystereticMode = 3;
// The current limit lets go once its sense is this far under the threshold.
constexpr double kCurrentLimitMargin = 0.0001;  // V

double OnTimeHold(const AnalysisContext* ctx) {
    const double fraction = ctx->pControlInput->clockBlankingFraction;
    return fraction > 0.0 ? fraction * ctx->stepState.switchingPeriod : 0.0;
}

bool DueNow(double t) { return t <= kTimerResolution; }

// The step ends at the next event, t seconds ahead (t <= 0: none). What is due now happens
// at once where the set-up decides it (a timer, the drive's comparator): no step for it. A
// crossing that only the solve can show is passed with a step of the resolution instead,
// neither of rounding size nor a whole step beyond it.
void ProposeEvent(StepStateRec& step, double t, bool shownBySolve) {
    if (!(t > 0.0)) return;
    if (DueNow(t)) t = shownBySolve ? kTimerResolution : step.nextTimeStep;
    step.nextTimeStep = std::min(step.nextTimeStep, t);
}
void Land(StepStateRec& step, double t) { ProposeEvent(step, t, false); }
void Reach(StepStateRec& step, double t) { ProposeEvent(step, t, true); }

// Seconds until the PWM comparator's positive difference comes down to zero: the rising clock
// meets the control voltage, or in the ramp modes the ramp does; -1 when it is not heading there.
double TimeToComparatorCrossing(const ControlInputRec& ci, const ControlStateRec& ctl) {
    if (!(ctl.pwmComparatorDifferential > 0.0)) return -1.0;
    if (ci.controlMode == kPeakCurrentMode || ci.controlMode == kFeedForwardMode)
        return ctl.pwmComparatorDifferentialSlope < 0.0
                   ? -ctl.pwmComparatorDifferential / ctl.pwmComparatorDifferentialSlope
                   : -1.0;
    return ctl.clockSlope > 0.0 ? ctl.pwmComparatorDifferential / ctl.clockSlope : -1.0;
}

// Predicted end of a falling current as an event proposal.
void ProposeCurrentEnd(StepStateRec& step, double current, double slope, int32_t shrink = 1) {
    if (current > 0.0 && slope < 0.0) step.LimitTimeStep(-current / slope, shrink, 1);
}

// The devices that carry the core's current once switch 1 is off (the active clamp's
// switches follow their own timers).
void TurnOnResetPath(PrimaryStateRec& pri, int32_t topology) {
    if (IsPassiveClamp(topology)) pri.clampRectifierOn = 1;
    else if (IsResetWinding(topology)) pri.resetRectifierOn = 1;
    else if (!IsResonantReset(topology)) pri.resetRectifiersOn = 1;
}

bool Above(double v, double threshold) { return v != NOT_SET && threshold != NOT_SET && v > threshold; }

// While the transformer rests its reset path blocks; a winding that swings the path's
// diodes forward makes them conduct like any diode.
bool ResetPathForwardBiased(const AnalysisContext& ctx) {
    const PrimaryInputRec& pi = *ctx.pPrimaryInput;
    const PrimaryStateRec& p = ctx.primary;
    const int32_t topology = pi.topology;
    if (IsPassiveClamp(topology)) return Above(p.resetDiodeVoltage, pi.sectionQuantityParamH);
    if (IsResetWinding(topology)) return Above(p.senseAmpVoltage, pi.sectionQuantityParamJ);
    if (IsResonantReset(topology) || IsActiveClamp(topology)) return false;
    return Above(p.diode1Voltage, pi.sectionQuantityParamI) && Above(p.diode2Voltage, pi.sectionQuantityParamI);
}

// At each rising drive edge of hysteretic control: the period since the last one joins the
// running mean, and a new switching cycle starts (a very short first one is not counted).
void MeasureHystereticPeriod(StepStateRec& step) {
    if (step.stepCount == 0) step.driveEdgeCount = 0;
    if (step.driveEdgeCount != 0) {
        const double period = step.time - step.lastDriveEdgeTime;
        const double n = static_cast<double>(step.driveEdgeCount);
        const double mean = ((n - 1.0) * step.switchingPeriod + period) / n;
        step.switchingPeriod = mean;
        if (!step.settling && (period > 10.0 * mean || period < 0.1 * mean)) step.periodIrregular = 1;
    }
    if (step.cycleTime > step.switchingPeriod / 8.0 || step.periodCount != 0) ++step.periodCount;
    step.cycleTime = 0.0;
    step.settlingFlagA = 1;  // OnEdgeArmed
}

// A control-side source for this step: its phase moved on by the step, then its sine, offset
// and transient table. A source that has never run starts at phase 0.
int32_t StepControlSource(AnalysisContext& ctx, int table, double amplitude, double offset, double frequency,
                          double* phase, double* value) {
    constexpr double kTwoPi = 6.283185307179586;
    if (!(*phase >= 0.0 && *phase < kTwoPi)) *phase = 0.0;
    if (frequency > 0.0) *phase = std::fmod(*phase + kTwoPi * frequency * ctx.stepState.inverseTimeStepTermA, kTwoPi);
    TimeMagnitudeTable101* t = ctx.pTable101[table];
    int32_t active = 1;
    return EvalPwlAcSource(t, t ? &t->cursor : nullptr, value, nullptr, &active, amplitude, offset, *phase);
}

// The injections play in a turn-on or steady-state run and while a sweep settles; a sweep
// writes its own injection afterwards.
bool InjectionsPlay(const AnalysisContext& ctx) {
    return ctx.pSettings->analysisKind <= 1 || ctx.stepState.settling;
}

bool Known(double x) { return x != NOT_SET && std::isfinite(x); }

// 0.01·Q/|R|: Q the quantity's reference (its scale, not its present value, so that a
// quantity passing through zero does not stall the step), R its rate.
void ProposeOnePerCent(StepStateRec& step, double reference, double rate, int32_t attenuate = 0) {
    if (!Known(reference) || !Known(rate) || rate == 0.0 || !(std::fabs(reference) > 0.0)) return;
    step.LimitTimeStep(kOnePerCent * std::fabs(reference) / std::fabs(rate), attenuate, 0);
}

// While its rectifier conducts, the sense transformer's magnetising current relaxes towards
// the switch current with tau = Ls/R: Ls the secondary saturating with the core (the ratio of
// the step's looked-up primary inductance to the table's point at 0 A), R its loop. The sensed
// current's own rate does not see tau (the droop and the ramp partly cancel), and past the
// knee tau falls to a fraction of its value under the same steps; a step a fixed fraction of
// tau keeps the droop's step error small there; it costs steps only where tau is short.
void ProposeSenseRelaxation(AnalysisContext& ctx, StepStateRec& step) {
    const PrimaryInputRec& pi = *ctx.pPrimaryInput;
    const PrimaryStateRec& pri = ctx.primary;
    if (!(pri.switchState == 2 && pri.switch1Current >= 0.0)) return;
    const TimeMagnitudeTable* table = ctx.pTable[kSenseXfmrTable];
    if (!table || table->count < 1 || !(table->points[0].magnitude > 0.0)) return;
    const double r = pi.senseResistance + pi.senseXfmrSecondaryResistance + pi.senseSeriesResistance;
    const double lp = pri.senseXfmrInductance, ls = pi.senseXfmrSecondaryNominal;
    if (!Known(lp) || !Known(ls) || !(r > 0.0)) return;
    const double tau = lp / table->points[0].magnitude * ls / r;
    if (tau > 0.0 && std::isfinite(tau)) step.LimitTimeStep(kSenseRelaxationFraction * tau, 1, 0);
}

// A watched quantity takes its value after the step just taken (h seconds): its rate is the
// difference over that step. Quantities the run does not model stay unseen.
void Watch(StepWatch& w, double value, double h) {
    if (!Known(value)) {
        w.seen = 0;
        w.rate = 0.0;
        return;
    }
    w.rate = w.seen && h > 0.0 ? (value - w.value) / h : 0.0;
    w.value = value;
    w.seen = 1;
}

// A blocking rectifier's voltage V rising at r towards its forward voltage: an event at (Vf - V)/r.
// Within a hundredth of Vf it is there already: a voltage that creeps up to its knee without
// crossing it would otherwise hold every step at its approach's time constant.
void ProposeTurnOn(StepStateRec& step, double v, const StepWatch& w, double vf) {
    if (w.seen && w.rate > 0.0 && Known(v) && Known(vf) && v < vf - 0.01 * std::fabs(vf))
        step.LimitTimeStep((vf - v) / w.rate, 0, 1);
}

void ProposeBreakpoint(StepStateRec& step, const TimeMagnitudeTable101* table);

// The output's scales: its target voltage (or the node, when larger) and the current that
// target drives through the load resistor (or the choke's mean, present or largest current,
// when larger: a lightly loaded choke's ripple is its scale).
double OutputVoltageReference(const AnalysisContext& ctx, int32_t j) {
    const double target = ctx.pLoadNetworkInput[j]->outputVoltage;
    const double node = ctx.outputFilter[j].outputVoltage;
    return std::max(Known(target) ? std::fabs(target) : 0.0, Known(node) ? std::fabs(node) : 0.0);
}
double OutputCurrentReference(const AnalysisContext& ctx, int32_t j) {
    const LoadNetworkInputRec& ld = *ctx.pLoadNetworkInput[j];
    const OutputChokeStateRec& ch = ctx.outputChoke[j];
    double ref = Known(ch.chokeCurrent) ? std::fabs(ch.chokeCurrent) : 0.0;
    if (Known(ch.meanCurrent)) ref = std::max(ref, std::fabs(ch.meanCurrent));
    ref = std::max(ref, ctx.engine.watch.chokeCurrentPeak[j]);
    if (ld.resistorOn && Known(ld.resistance) && ld.resistance > 0.0)
        ref = std::max(ref, OutputVoltageReference(ctx, j) / ld.resistance);
    return ref;
}

// The storage elements of one output: the choke, the first-stage capacitor (its node), the
// second stage's inductor and capacitor, the load's resistor and inductor.
void OutputStepLimits(AnalysisContext& ctx, int32_t j) {
    StepStateRec& step = ctx.stepState;
    const StepWatch* w = ctx.engine.watch.output[j];
    const double v = OutputVoltageReference(ctx, j), i = OutputCurrentReference(ctx, j);
    const OutputChokeStateRec& ch = ctx.outputChoke[j];
    ProposeOnePerCent(step, i, Known(ch.currentSlope) ? ch.currentSlope : w[kWatchChoke].rate);
    ProposeOnePerCent(step, v, w[kWatchNode].rate);
    ProposeOnePerCent(step, i, w[kWatchSecondCurrent].rate);
    ProposeOnePerCent(step, v, w[kWatchSecondVoltage].rate);
    ProposeOnePerCent(step, v, w[kWatchLoadVoltage].rate);
    ProposeOnePerCent(step, i, w[kWatchLoadCurrent].rate);
}

// The line filter's storage elements of one phase, against the line's peak and the
// inductors' mean currents.
void LinePhaseStepLimits(AnalysisContext& ctx, int32_t p) {
    const LineSourceInputRec& li = *ctx.pLineSourceInput;
    const LinePhaseStateRec& lp = ctx.linePhase[p];
    const StepWatch* w = ctx.engine.watch.line[p];
    double v = (Known(li.lineOffset) ? std::fabs(li.lineOffset) : 0.0) +
               (Known(li.lineMagnitude) ? std::fabs(li.lineMagnitude) : 0.0);
    if (Known(lp.filterCapVoltage)) v = std::max(v, std::fabs(lp.filterCapVoltage));
    const auto current = [](double now, double mean) {
        return std::max(Known(now) ? std::fabs(now) : 0.0, Known(mean) ? std::fabs(mean) : 0.0);
    };
    StepStateRec& step = ctx.stepState;
    if (li.firstInductorOn)
        ProposeOnePerCent(step, current(lp.firstInductorCurrent, lp.firstInductorMeanCurrent),
                          w[kWatchFirstInductor].rate);
    if (li.dampingInductorOn)
        ProposeOnePerCent(step, current(lp.dampingInductorCurrent, lp.dampingInductorMeanCurrent),
                          w[kWatchDampingInductor].rate);
    if (li.secondInductorOn)
        ProposeOnePerCent(step, current(lp.secondInductorCurrent, lp.secondInductorMeanCurrent),
                          w[kWatchSecondInductor].rate);
    if (li.inputCapacitorOn) ProposeOnePerCent(step, v, w[kWatchFilterCapacitor].rate);
}

// The next breakpoint of a transient table after t, or a negative value when none is left.
double NextBreakpoint(const TimeMagnitudeTable101* table, double t) {
    if (!table) return -1.0;
    const int32_t n = std::min(table->count, TimeMagnitudeTable101::kCapacity);
    for (int32_t k = 0; k < n; ++k)
        if (table->points[k].time > t) return table->points[k].time;
    return -1.0;
}
void ProposeBreakpoint(StepStateRec& step, const TimeMagnitudeTable101* table) {
    const double next = NextBreakpoint(table, step.time);
    if (next < 0.0) return;
    const double dt = next - step.time;
    // As an event: an ordinary proposal under 1 ns would take 1 ns and step past the point.
    if (dt > 0.0 && dt < step.nextTimeStep) step.LimitTimeStep(dt, 0, 1);
}

// A control-side AC source moves its phase by at most pi/10 in a step while the comparator
// closes in on its crossing: the rate a = 2·pi·f gives pi/(10·a).
void ProposeSourcePhaseStep(StepStateRec& step, int32_t on, double amplitude, double frequency) {
    if (!on || !Known(amplitude) || !(amplitude > 0.0) || !Known(frequency) || frequency == 0.0) return;
    constexpr double kPi = 3.141592653589793;
    const double a = 2.0 * kPi * std::fabs(frequency);
    step.LimitTimeStep(kPi / (10.0 * a), 0, 0);
}

// The reset capacitor of the resonant reset: land where its current would charge the winding
// back to zero (the winding voltage over its rate, at most half the bulk), and in the reset
// interval follow its current's fall to zero.
void ResetCapacitorStepLimits(AnalysisContext& ctx) {
    StepStateRec& step = ctx.stepState;
    const PrimaryStateRec& pri = ctx.primary;
    const StepWatch* w = ctx.engine.watch.primary;
    const double v = pri.primaryWindingVoltage;
    if (!Known(v)) return;
    if (pri.switchState != 0 && pri.switchState != 2 && w[kWatchWindingVoltage].rate != 0.0) {
        const double bulk = ctx.inputCapacitor.inputVoltage;
        const double span = Known(bulk) ? std::min(std::fabs(v), bulk / 2.0) : std::fabs(v);
        step.LimitTimeStep(span / std::fabs(w[kWatchWindingVoltage].rate), 0, 0);
    }
    // The turn-off ramp: the winding falls from the bulk through zero while the output's
    // forward rectifier still conducts (state 3 here), at a rate set by the reset capacitor;
    // the node of the output ramps down with it, and backward Euler loses s·h²/2 of its area
    // per step: at most an eighth of the largest step there. (The ring that follows, state 1
    // here, spans the whole off-time and is smooth: a quarter step there would double the
    // steps per period and move the output by 0.05 %.)
    if (pri.switchState == 3 && v > 0.0 && w[kWatchWindingVoltage].rate < 0.0)
        step.LimitTimeStep(ctx.pSettings->initialTimeStep / 8.0, 0, 0);
    if (pri.switchState == 1) {
        const double i = pri.resetCapacitorCurrent, r = w[kWatchResetCapacitorCurrent].rate;
        if (Known(i) && r < 0.0) step.LimitTimeStep(i <= 0.0 ? 2.0 * i / r : -i / r, 0, 0);
    }
}

// Some output's rectifiers overlap across the primary's switch state: the freewheel one still
// conducts with the switch on, or the forward one with it off.
int32_t CommutationOverlap(const AnalysisContext& ctx) {
    const int32_t state = ctx.primary.switchState;
    for (int32_t j = ctx.pSettings->outputCount - 1; j >= 0; --j) {
        const SecondaryRectifierStateRec& rs = ctx.secondaryRectifier[j];
        if (((state == 2 || state == 3) && rs.diodeConducting) || (state == 1 && rs.rectifier1On)) return 1;
    }
    return 0;
}

// Some output's freewheel rectifier hands its current over to the forward one, both conducting.
bool HandOver(const AnalysisContext& ctx) {
    for (int32_t j = ctx.pSettings->outputCount - 1; j >= 0; --j) {
        const SecondaryRectifierStateRec& rs = ctx.secondaryRectifier[j];
        if (rs.diodeConducting && rs.rectifier1On) return true;
    }
    return false;
}

// Some output's freewheel rectifier carries its choke while its forward one, not driven, is off.
bool HandOverPending(const AnalysisContext& ctx) {
    for (int32_t j = ctx.pSettings->outputCount - 1; j >= 0; --j) {
        const SecondaryRectifierStateRec& rs = ctx.secondaryRectifier[j];
        const bool driven = SyncPosition(*ctx.pSecondaryRectifierInput[j], 0) && rs.switchPathAOn;
        if (rs.diodeConducting && !rs.rectifier1On && !driven) return true;
    }
    return false;
}

// An output's second-stage load resistor: a step ends where its voltage crosses zero.
void CalcLoadStepLimits(AnalysisContext& ctx, int32_t j) {
    const StepWatch& w = ctx.engine.watch.output[j][kWatchLoadVoltage];
    if (!ctx.pLoadNetworkInput[j]->resistorOn || !w.seen) return;
    if ((w.value < 0.0 && w.rate > 0.0) || (w.value >= 0.0 && w.rate < 0.0))
        ctx.stepState.LimitTimeStep(-w.value / w.rate, 0, 0);
}

// The step-time list: the next listed run time still ahead is landed on.
void ProposeNextStepTime(AnalysisSettingsRec* set, StepStateRec& step) {
    const double* times = &set->stepSetupParamA;  // stepTimes[8]: the eight doubles at the head
    int32_t& index = set->stepSetupFlagB;           // stepTimeIndex
    const int32_t count = std::min<int32_t>(set->stepSetupFlagA, kStepTimeCapacity);  // stepTimeCount
    if (index < 0) index = 0;
    while (index < count && times[index] <= step.time) ++index;
    if (index < count) step.LimitTimeStep(times[index] - step.time, 0, 1);
}

// The watched quantities after the step just taken (h seconds).
void WatchStepQuantities(AnalysisContext& ctx, double h) {
    StepWatchStore& ws = ctx.engine.watch;
    for (int32_t j = ctx.pSettings->outputCount - 1; j >= 0; --j) {
        StepWatch* w = ws.output[j];
        const OutputFilterStateRec& f = ctx.outputFilter[j];
        const LoadNetworkStateRec& lo = ctx.loadNetwork[j];
        const LoadNetworkInputRec& ld = *ctx.pLoadNetworkInput[j];
        const OutputStepStore& o = ctx.engine.output[j];
        Watch(w[kWatchChoke], ctx.outputChoke[j].chokeCurrent, h);
        if (w[kWatchChoke].seen)
            ws.chokeCurrentPeak[j] = std::max(ws.chokeCurrentPeak[j], std::fabs(w[kWatchChoke].value));
        Watch(w[kWatchNode], f.outputVoltage, h);
        Watch(w[kWatchSecondCurrent], f.secondInductorCurrent, h);
        Watch(w[kWatchSecondVoltage], f.outputCapacitorVoltageCopy, h);
        Watch(w[kWatchLoadVoltage], ld.resistorOn ? lo.resistorVoltage : NOT_SET, h);
        Watch(w[kWatchLoadCurrent], ld.inductorOn ? lo.load2CurrentCopy : NOT_SET, h);
        Watch(w[kWatchForwardVoltage], o.forwardVoltage, h);
        Watch(w[kWatchFreewheelVoltage], o.freewheelVoltage, h);
    }
    const int32_t phases = ctx.pSettings->linePhaseCount == 2 || ctx.pSettings->linePhaseCount == 3
                               ? ctx.pSettings->linePhaseCount
                               : 1;
    for (int32_t p = phases - 1; p >= 0; --p) {
        StepWatch* w = ws.line[p];
        const LinePhaseStateRec& lp = ctx.linePhase[p];
        Watch(w[kWatchFirstInductor], lp.firstInductorCurrent, h);
        Watch(w[kWatchDampingInductor], lp.dampingInductorCurrent, h);
        Watch(w[kWatchSecondInductor], lp.secondInductorCurrent, h);
        Watch(w[kWatchFilterCapacitor], lp.filterCapVoltage, h);
    }
    const PrimaryStateRec& pri = ctx.primary;
    const PrimaryInputRec& pi = *ctx.pPrimaryInput;
    Watch(ws.primary[kWatchWindingVoltage], pri.primaryWindingVoltage, h);
    Watch(ws.primary[kWatchBulkDraw], ctx.engine.bulkDraw, h);
    Watch(ws.primary[kWatchResetCapacitorCurrent], IsResonantReset(pi.topology) ? pri.resetCapacitorCurrent : NOT_SET, h);
    if (pi.currentSenseTransformerOn) {
        Watch(ws.primary[kWatchSenseCurrent], pri.senseXfmrSecondaryCurrent, h);
        Watch(ws.primary[kWatchSenseCurrent2], pi.secondSwitchOn ? pri.senseXfmrCurrent2 : NOT_SET, h);
        for (int32_t k = 0; k < 2; ++k) {
            const StepWatch& w = ws.primary[kWatchSenseCurrent + k];
            if (w.seen) ws.senseCurrentPeak[k] = std::max(ws.senseCurrentPeak[k], std::fabs(w.value));
        }
    }
}

}  // namespace

int32_t DeterminePrimarySwitchState() {
    AnalysisContext* ctx = GetAnalysisContext();
    PrimaryStateRec& pri = ctx->primary;
    const int32_t before = pri.switchState;
    const int32_t topology = ctx->pPrimaryInput->topology;
    if (IsActiveClamp(topology)) {
        DetermineActiveClampState(*ctx);
    } else if (pri.switch1OnRequest) {
        pri.switch1OnRequest = 0;
        pri.switch1OffRequest = 0;
        pri.switch1Conducting = 1;
        pri.resetRectifiersOn = 0;
        pri.resetRectifiersOffRequest = 0;
        pri.clampRectifierOn = 0;
        pri.clampRectifierOffRequest = 0;
        pri.resetRectifierOn = 0;
        pri.resetRectifierOffRequest = 0;
        pri.switch1DiodeConducting = 0;  // the channel takes the body diode's current
        pri.switchState = 2;
    } else if (pri.switch1OffRequest) {
        pri.switch1OffRequest = 0;
        if (pri.switchState == 2) {
            pri.switch1Conducting = 0;
            TurnOnResetPath(pri, ctx->pPrimaryInput->topology);
            pri.switchState = 1;
        }
    } else if (pri.switchState == 0 && ctx->engine.resetPathOnRequest) {
        TurnOnResetPath(pri, ctx->pPrimaryInput->topology);
        pri.switchState = 1;
    } else if (pri.switchState == 1 &&
               (pri.resetRectifiersOffRequest || pri.clampRectifierOffRequest || pri.resetRectifierOffRequest)) {
        pri.resetRectifiersOffRequest = 0;
        pri.resetRectifiersOn = 0;
        pri.resetRectifierOffRequest = 0;
        pri.resetRectifierOn = 0;
        pri.clampRectifierOffRequest = 0;
        pri.clampRectifierOn = 0;
        pri.switchState = 0;
    }
    ctx->engine.resetPathOnRequest = 0;
    if (IsResonantReset(topology) || IsActiveClamp(topology)) SettleResetInterval(*ctx);
    ctx->engine.switchStateChanged = pri.switchState != before;
    return 1;
}

int32_t UpdateControlSectionState() {
    AnalysisContext* ctx = GetAnalysisContext();
    StepStateRec& step = ctx->stepState;
    ControlStateRec& ctl = ctx->control;
    const ControlInputRec& ci = *ctx->pControlInput;
    EngineStore& st = ctx->engine;

    // The drive follows the PWM comparator; a clock that inhibits during its reset holds it
    // off while it falls, and the blanking holds it on for its share of the period.
    const bool inhibited = ci.clockEnabled && ci.clockInhibitDuringReset && ctl.clockSlope < 0.0;
    const bool currentLimited = ctl.comparatorAux > 0.5;
    const bool blanking = step.driveOn && step.time - step.lastDriveEdgeTime < OnTimeHold(ctx);
    // One pulse per clock period: an off edge holds the drive off until the next period starts,
    // so that a control voltage riding on the sensed ripple (average current) or a ramp's
    // reset cannot start a second pulse. Hysteretic control has no clock periods.
    // A crossing within the timer resolution is due now, like a timer: what is left of it after
    // the last step landed on it is rounding.
    const bool hysteretic = ci.controlMode == kHystereticMode;
    const bool onePulsePerPeriod = ci.clockEnabled && !hysteretic;
    bool want = false;
    if (hysteretic) {
        // The comparator alone: its difference turns the drive either way, the window it
        // opens holding it there; a crossing due within the resolution has happened.
        const double t = TimeToHystereticCrossing(ctl);
        const bool flips = t >= 0.0 && DueNow(t);
        want = ((ctl.pwmComparatorDifferential > 0.0) != flips) && !currentLimited;
    } else {
        const double crossing = TimeToComparatorCrossing(ci, ctl);
        const bool compared = ctl.pwmComparatorDifferential > 0.0 && !(crossing >= 0.0 && DueNow(crossing));
        want = blanking || (compared && !inhibited && !currentLimited && !st.pulseEnded);
    }
    step.driveOnPrevious = step.driveOn;
    if (!step.driveOn && want) {
        step.driveOn = 1;
        if (hysteretic) MeasureHystereticPeriod(step);
        ctx->primary.switch1FlagA = 1;
        step.lastDriveEdgeTime = step.time;
        ++step.driveEdgeCount;
        BeginDriveOnEdge(*ctx);
    } else if (step.driveOn && !want) {
        step.driveOn = 0;
        if (onePulsePerPeriod) st.pulseEnded = 1;
        BeginDriveOffEdge(*ctx, currentLimited);
    }
    return 1;
}

int32_t DetermineTimeStep() {
    AnalysisContext* ctx = GetAnalysisContext();
    StepStateRec& step = ctx->stepState;
    const AnalysisSettingsRec& set = *ctx->pSettings;
    const ControlInputRec& ci = *ctx->pControlInput;
    const ControlStateRec& ctl = ctx->control;
    EngineStore& st = ctx->engine;
    const double lastStep = step.inverseTimeStepTermA;

    // An output rectifier whose current runs out leaves its choke's current flowing on
    // smoothly: the step picks up where the approach to it began rather than at the
    // commutation step. A control that senses the filter capacitors' current sees that
    // current jump, so there the step restarts.
    const bool resume = st.outputCurrentEndsOnly && ci.senseSource != 2;
    const PrimaryStateRec& pri = ctx->primary;
    if (st.switchStateChanged || (st.deviceEventThisStep && !resume)) {
        step.LimitTimeStep(st.switchStateChanged || pri.switchState != 0 ? kRestartStep : kRestingRestartStep, 0, 0);
        st.stepRampPeak = 0.0;
    } else if (st.deviceEventThisStep) {
        step.LimitTimeStep(std::max(kRestartStep, st.stepRampPeak), 0, 0);
    }
    if (st.switchStateChanged && pri.switchState == 2 && HandOverPending(*ctx))
        step.LimitTimeStep(kHandOverStartStep, 0, 1);
    // The resonant reset's capacitor: with the winding and the primary current both negative
    // in the reset, the time their ratio gives (C·V/I).
    if (IsResonantReset(ctx->pPrimaryInput->topology) && pri.switchState == 1) {
        const double v = pri.primaryWindingVoltage;
        const double i = Known(pri.transformerPrimaryCurrent) ? pri.transformerPrimaryCurrent : pri.primaryWindingCurrent;
        if (Known(v) && v < 0.0 && i < 0.0) step.LimitTimeStep(ctx->pPrimaryInput->clampCapacitance * v / i, 0, 0);
    }

    if (step.driveOn) Reach(step, step.lastDriveEdgeTime + OnTimeHold(ctx) - step.time);
    Land(step, NextEdgeTimer(st, set.outputCount));
    // A switch request raised without a delay is due now, and the switch's new state shows
    // only through a solve: it is passed like a crossing, not after a whole step in its old state.
    const PrimaryStateRec& requests = ctx->primary;
    if (requests.switch1OnRequest || requests.switch1OffRequest || requests.clampSwitchOnRequest ||
        requests.clampSwitchOffRequest)
        Reach(step, kTimerResolution);
    if (ci.controlMode == kHystereticMode) Reach(step, TimeToHystereticCrossing(ctl));
    if (ci.clockEnabled) {
        Reach(step, TimeToClockTurn(ci, ctl));
        // In the ramp modes the ramp, not the clock, meets the control voltage.
        const bool rampMode = ci.controlMode == kPeakCurrentMode || ci.controlMode == kFeedForwardMode;
        const double crossing = TimeToComparatorCrossing(ci, ctl);
        if (step.driveOn || !rampMode) Land(step, crossing);
        // While the comparator closes in on its crossing, the control-side sines that move it.
        if (crossing > 0.0) {
            ProposeSourcePhaseStep(step, ci.veaReferenceAcOn, ci.veaReferenceAmplitude, ci.veaReferenceFrequency);
            ProposeSourcePhaseStep(step, ci.errorInjectionOn, ci.errorInjectionAmplitude, ci.errorInjectionFrequency);
            ProposeSourcePhaseStep(step, ci.currentInjectionOn, ci.currentInjectionAmplitude,
                                   ci.currentInjectionFrequency);
        }
    }
    // A step ends on every breakpoint of the line's tables and of the enabled control-side
    // sources' tables.
    ProposeBreakpoint(step, ctx->pTable101[kLineOffsetTable]);
    ProposeBreakpoint(step, ctx->pTable101[kLineMagnitudeTable]);
    if (ci.veaReferenceAcOn) ProposeBreakpoint(step, ctx->pTable101[kVeaReferenceTable]);
    if (ci.errorInjectionOn) ProposeBreakpoint(step, ctx->pTable101[kErrorInjectionTable]);
    if (ci.currentInjectionOn) ProposeBreakpoint(step, ctx->pTable101[kCurrentInjectionTable]);
    // Each output's load: its resistor's zero crossing, and each point of its current source's table.
    for (int32_t j = set.outputCount - 1; j >= 0; --j) {
        CalcLoadStepLimits(*ctx, j);
        if (ctx->pLoadNetworkInput[j]->currentSourceOn) ProposeBreakpoint(step, ctx->pTable101[kLoadSourceTable + j]);
    }
    // The current limit ends the pulse where its filtered sense crosses the threshold: land there.
    if (ci.currentLimitEnabled && step.driveOn && ctl.comparatorAux <= 0.5 && ctl.currentLimitFeedbackSlope > 0.0 &&
        ctl.currentLimitFeedback < ci.currentLimitThreshold)
        Reach(step, (ci.currentLimitThreshold - ctl.currentLimitFeedback) / ctl.currentLimitFeedbackSlope);

    // A time-domain run steps straight onto an output rectifier's predicted current end. A
    // sweep closes in on it in shrinking steps: its small-signal phase shows any shift of the
    // commutation from one period to the next.
    const int32_t shrink = set.analysisKind >= 2 ? 1 : 0;
    const int32_t n = set.outputCount;
    for (int32_t j = 0; j < n; ++j) {
        const SecondaryRectifierStateRec& rs = ctx->secondaryRectifier[j];
        const OutputStepStore& o = st.output[j];
        // A driven channel's current passes through zero without an event.
        if (rs.rectifier1On && !rs.switchPathAOn) ProposeCurrentEnd(step, o.forwardCurrent, o.forwardSlope, shrink);
        if (rs.diodeConducting && !rs.switchPathBOn)
            ProposeCurrentEnd(step, o.freewheelCurrent, o.freewheelSlope, shrink);
        // A blocking rectifier whose voltage rises towards its forward voltage turns on where it
        // reaches it: (Vf - V)/r, r the voltage's rate over the last step. (A forward rectifier
        // that comes on at the primary's turn-on, where its voltage steps, has no rate to
        // predict from; one that comes on at the reset's end rises to it.)
        const SecondaryRectifierInputRec& ri = *ctx->pSecondaryRectifierInput[j];
        const StepWatch* w = st.watch.output[j];
        if (!rs.diodeConducting && !(SyncPosition(ri, 1) && rs.switchPathBOn))
            ProposeTurnOn(step, o.freewheelVoltage, w[kWatchFreewheelVoltage], PositionDiode(ri, 1).forwardVoltage);
        if (!rs.rectifier1On && !(SyncPosition(ri, 0) && rs.switchPathAOn))
            ProposeTurnOn(step, o.forwardVoltage, w[kWatchForwardVoltage], PositionDiode(ri, 0).forwardVoltage);
    }
    if (ResetInterval(pri.switchState)) ProposeCurrentEnd(step, pri.primaryWindingCurrent, st.primaryCurrentSlope);
    if (ResetInterval(pri.switchState)) ProposeCurrentEnd(step, pri.resetWindingCurrent, st.resetCurrentSlope);
    // The active clamp's switch 1 body diode carries a negative current up to zero.
    if (pri.switchState == 2 && !pri.switch1Conducting && pri.switch1DiodeConducting)
        ProposeCurrentEnd(step, -pri.primaryWindingCurrent, -st.primaryCurrentSlope);
    ProposeLineDiodeEvents(step);
    ProposeFilterSenseEvents(step);
    // A reversed primary current drawn through the input capacitor while the switch is on:
    // a step ends where it turns.
    const StepWatch& draw = st.watch.primary[kWatchBulkDraw];
    if (pri.switchState == 2 && draw.seen && draw.value < 0.0 && draw.rate > 0.0)
        step.LimitTimeStep(-draw.value / draw.rate, 0, 0);
    // While the switch is on and an output's freewheel rectifier still hands its current over
    // to the forward one through the leakage, the step holds at the overlap step. Not in a
    // sweep: there the hand-over's end is closed in on (above), and a fixed step would end it
    // a fraction of a step differently from one period to the next, which the small-signal
    // phase reads (a degree at 1 kHz on ac_bridge).
    step.commutationOverlap = CommutationOverlap(*ctx);
    if (step.commutationOverlap && pri.switchState == 2 && !shrink && HandOver(*ctx))
        step.LimitTimeStep(set.stepSetupParamB, 0, 0);  // overlapTimeStep

    // Every storage element: at most one per cent of its reference in a step.
    const int32_t phases = set.linePhaseCount == 2 || set.linePhaseCount == 3 ? set.linePhaseCount : 1;
    for (int32_t p = phases - 1; p >= 0; --p) LinePhaseStepLimits(*ctx, p);
    // The current sense transformer likewise, against the largest current it has carried; this
    // proposal takes the user's step attenuation.
    const PrimaryInputRec& pi = *ctx->pPrimaryInput;
    if (pi.currentSenseTransformerOn) {
        const StepWatchStore& ws = st.watch;
        ProposeOnePerCent(step, ws.senseCurrentPeak[0], ws.primary[kWatchSenseCurrent].rate, 1);
        if (pi.secondSwitchOn) ProposeOnePerCent(step, ws.senseCurrentPeak[1], ws.primary[kWatchSenseCurrent2].rate, 1);
        ProposeSenseRelaxation(*ctx, step);
    }
    for (int32_t j = n - 1; j >= 0; --j) OutputStepLimits(*ctx, j);

    // Growth: at most 10 ns after a step of 1 ns or less, else twice the last step.
    if (lastStep > 0.0) step.nextTimeStep = std::min(step.nextTimeStep, lastStep <= kRestartStep ? kFirstGrowthCap
                                                                                                 : kStepGrowth * lastStep);
    if (IsResonantReset(pi.topology)) ResetCapacitorStepLimits(*ctx);

    const double h = step.nextTimeStep;
    if (!(h > 0.0) || !std::isfinite(h)) return 0;
    st.stepRampPeak = std::max(st.stepRampPeak, h);
    // A step that lands on the end time ends there exactly, not a rounding away.
    if (!step.settling && std::fabs(set.endTime - (step.time + h)) <= 1e-15 * std::fabs(set.endTime))
        step.time = set.endTime;
    else
        step.time += h;
    step.cycleTime += h;
    step.inverseTimeStep = 1.0 / h;
    step.inverseTimeStepTermA = h;
    return 1;
}

int32_t CalcControlSectionQuantities() {
    AnalysisContext* ctx = GetAnalysisContext();
    StepStateRec& step = ctx->stepState;
    const AnalysisSettingsRec& set = *ctx->pSettings;
    const ControlInputRec& ci = *ctx->pControlInput;
    ControlStateRec& ctl = ctx->control;
    const double s = step.inverseTimeStep;
    const double h = step.inverseTimeStepTermA;

    // Feedback: each output's voltage over its target, weighted, scaled to the reference,
    // so that the error amplifier sees its reference when every output is on target.
    double feedback = 0.0;
    for (int32_t j = 0; j < set.outputCount; ++j) {
        const LoadNetworkInputRec& ld = *ctx->pLoadNetworkInput[j];
        const double dutyWeight = ctx->pSecondaryRectifierInput[j]->dutyWeight;
        const double modulator = dutyWeight != 0.0 ? dutyWeight * ctx->secondaryRectifier[j].modulatorVoltage : 0.0;
        feedback += (modulator + ld.rippleWeight * ctx->outputFilter[j].outputVoltage) / ld.outputVoltage;
    }
    feedback *= ci.feedbackGain;
    // The amplifier analysis opens the loop here and drives the amplifier's input itself.
    if (ctl.amplifierInputOn) feedback = ctl.amplifierInput;
    ctl.veaReferenceCopy = feedback;  // the amplifier's "Feedback Voltage"
    // The current feedback senses the primary current, or the chokes' by their weights; in
    // feed-forward control it is the bulk voltage that charges the ramp.
    if (ci.controlMode == kFeedForwardMode) {
        ctl.currentFeedbackVoltage = ctx->inputCapacitor.inputVoltage;
    } else if (ci.senseSource == 1 || ci.senseSource == 2) {
        // The chokes' sense outputs, or the first stages' capacitor current sense outputs.
        double sensed = 0.0;
        for (int32_t j = set.outputCount - 1; j >= 0; --j)
            sensed += ctx->pOutputChokeInput[j]->senseWeight * (ci.senseSource == 1
                                                                    ? ctx->outputChoke[j].currentSenseOutput
                                                                    : ctx->outputFilter[j].currentSenseOutput);
        ctl.currentFeedbackVoltage = sensed;
    } else {
        ctl.currentFeedbackVoltage = ctx->primary.currentSenseOutput;
    }

    // The references are locked out until the bulk has reached the turn-on level, and locked
    // out again only at or below the turn-off level.
    const double bulk = ctx->inputCapacitor.inputVoltage;
    if (ctl.referenceLockout && bulk >= ci.lockoutLevelA) ctl.referenceLockout = 0;
    else if (!ctl.referenceLockout && bulk <= ci.lockoutLevelB && ci.lockoutLevelB < ci.lockoutLevelA)
        ctl.referenceLockout = 1;
    const bool referencesRun = !ctl.referenceLockout;
    double reference = kLockedReference;
    if (referencesRun && ci.veaReferenceAcOn) {
        if (!StepControlSource(*ctx, kVeaReferenceTable, ci.veaReferenceAmplitude, ci.veaReferenceValue,
                               ci.veaReferenceFrequency, &ctl.veaReferencePhase, &reference))
            return 0;
    } else if (referencesRun) {
        reference = ci.veaReferenceValue;
    }
    ctl.veaReference = reference;
    // The opto-isolator's reference source, held like the other references while they are
    // locked out; the op-amp inverter of the arrangements that have one regulates to it.
    const bool optoChosen = ci.optoVariant >= 0 && ci.optoVariant <= 5;
    if (optoChosen) {
        double optoReference = kLockedReference;
        if (referencesRun &&
            !StepControlSource(*ctx, kOptoReferenceTable, ci.optoReferenceAmplitude, ci.optoReferenceValue,
                               ci.optoReferenceFrequency, &ctl.optoReferencePhase, &optoReference))
            return 0;
        ctl.optoReferenceVoltage = optoReference;
    }

    // The current limit may restart the soft start: its filtered sense of the last step at or
    // above both its own threshold and the reset's.
    if (ci.currentLimitEnabled && ci.softStartResetEnabled && ci.softStartResetArmed &&
        ctl.currentLimitFeedback >= ci.currentLimitThreshold && ctl.currentLimitFeedback >= ci.softStartResetThreshold)
        ctl.softStartCapVoltage = 0.0;

    // The soft start charges only while the references run; it holds the error amplifier's
    // upper clamp down with it, so the amplifier never winds up past the drive it allows.
    if (ci.softStartCapOn) {
        if (referencesRun && ctl.softStartCapVoltage < kSoftStartTop)
            ctl.softStartCapVoltage += ci.softStartRate * h;
        if (ci.softStartControlOn) ctl.softStartControl = ctl.softStartCapVoltage + ci.softStartOffset;
    }
    ctl.errorUpperClamp = ci.softStartCapOn ? std::min(ci.errorUpperLimit, ctl.softStartControl) : ci.errorUpperLimit;
    VeaNetwork vea = VeaNetworkOf(ci);
    vea.upper = ctl.errorUpperClamp;
    if (!CalcVoltageErrorAmp(vea, feedback, reference, s, &ctl)) return 0;
    OptoNetwork opto = OptoNetworkOf(ci);
    if (optoChosen) opto.ampReference = ctl.optoReferenceVoltage;
    // A driver source taken from an output follows that output's voltage.
    if (ci.optoDriveSource >= 1 && ci.optoDriveSource <= set.outputCount)
        opto.driveVoltage = ctx->outputFilter[ci.optoDriveSource - 1].outputVoltage;
    if (!CalcOptoIsolator(opto, ctl.veaOutput, s, &ctl)) return 0;

    // The error and current-loop injection sources.
    if (InjectionsPlay(*ctx)) {
        if (ci.errorInjectionOn) {
            if (!StepControlSource(*ctx, kErrorInjectionTable, ci.errorInjectionAmplitude, ci.errorAmpOffset,
                                   ci.errorInjectionFrequency, &ctl.errorInjectionPhase, &ctl.errorInjection))
                return 0;
        } else {
            ctl.errorInjection = ci.errorAmpOffset != NOT_SET ? ci.errorAmpOffset : 0.0;
        }
        ctl.currentSourceInjection = ci.currentInjectionOffset;
        if (ci.currentInjectionOn &&
            !StepControlSource(*ctx, kCurrentInjectionTable, ci.currentInjectionAmplitude, ci.currentInjectionOffset,
                               ci.currentInjectionFrequency, &ctl.currentInjectionPhase, &ctl.currentSourceInjection))
            return 0;
    } else {
        // A sweep silences the sources' sines: their offsets stay.
        if (ctl.errorInjection == NOT_SET) ctl.errorInjection = ci.errorAmpOffset != NOT_SET ? ci.errorAmpOffset : 0.0;
        ctl.currentSourceInjection = ci.currentInjectionOffset;
    }

    // The voltage-loop analysis injects its sine between the error amplifier and the modulator.
    const double error = ctl.optoCoupledError + ctl.voltageLoopInjection;
    const double control = (ci.softStartCapOn ? std::min(error, ctl.softStartControl) : error) + ctl.errorInjection;
    ctl.limitedError = control;
    ctl.pwmControlVoltage = control;
    ctl.currentLoopInjection = ctl.currentSourceInjection + ctl.currentLoopSweepInjection;
    // Average current control: the current error amplifier holds the sensed current at the
    // limited error voltage, and its output sets the duty.
    if (ci.controlMode == kAverageCurrentMode) {
        if (!CalcCurrentErrorAmp(CurrentAmpNetworkOf(ci), ctl.currentFeedbackVoltage + ctl.currentLoopInjection,
                                 control, s, &ctl))
            return 0;
        ctl.pwmControlVoltage = ctl.currentEaOutput;
    }

    if (ci.currentLimitEnabled) {
        // The limit senses the primary current, or the chokes' by the current limit network's
        // weights.
        double sense = ctx->primary.currentSenseOutput;
        if (ci.currentSenseSource) {
            sense = 0.0;
            for (int32_t j = set.outputCount - 1; j >= 0; --j)
                sense += ctx->pOutputChokeInput[j]->currentSenseWeight * ctx->outputChoke[j].currentSenseOutput;
        }
        const double previous = ctl.currentLimitFeedback;
        ctl.currentLimitFeedback = CalcCurrentLimitFilter(sense, ci.currentLimitFilterResistance,
                                                          ci.currentLimitFilterCapacitance, s, previous);
        ctl.currentLimitFeedbackSlope = (ctl.currentLimitFeedback - previous) * s;
        if (step.driveOn && ctl.currentLimitFeedback >= ci.currentLimitThreshold) ctl.comparatorAux = 1.0;
        // Without a clock to start the next period, the limit lets go once the drive is off and
        // the sense has fallen under the threshold.
        else if (ci.controlMode == kHystereticMode && !step.driveOn &&
                 ctl.currentLimitFeedback + kCurrentLimitMargin <= ci.currentLimitThreshold)
            ctl.comparatorAux = 0.0;
    }

    if (ci.clockEnabled) {
        int32_t periodStart = 0;
        AdvanceSawtoothClock(ci, ctl, h, &periodStart);
        if (periodStart) {
            StartTransitionPeriod(*ctx);
            // A sweep warns when a whole period passed with the drive on, or without a pulse.
            if (set.analysisKind >= 2 && ci.controlMode != kHystereticMode) {
                if (step.driveOn || !ctx->primary.switch1FlagA) ctl.controlFlagA = 1;
                ctx->primary.switch1FlagA = 0;
            }
            step.cycleTime = 0.0;
            ctl.comparatorAux = 0.0;
            ctx->engine.pulseEnded = 0;
        }
    }
    double inverting = ctl.clockVoltage;
    if (ci.controlMode == kPeakCurrentMode) {
        if (!SolveCurrentRampNetwork(RampNetworkOf(ci), ctl.currentFeedbackVoltage + ctl.currentLoopInjection,
                                     ctl.clockVoltage, s, &ctl))
            return 0;
        inverting = ctl.rampCapacitorVoltage;
    } else if (ci.controlMode == kFeedForwardMode) {
        if (!SolveFeedForwardRamp(ci, ctl.currentFeedbackVoltage, step.driveOn != 0, s, &ctl)) return 0;
        inverting = ctl.rampCapacitorVoltage;
    } else if (ci.controlMode == kHystereticMode) {
        // The sensed current against the window the comparator's output sets around the
        // control voltage.
        const HystNetwork hn = HystNetworkOf(ci);
        ctl.controlReference = HystereticLogicLevel(ci, ctx->inputCapacitor.inputVoltage);
        if (!SolveHystereticSenseFilter(hn, ctl.currentFeedbackVoltage, ctl.currentLoopInjection, s, &ctl)) return 0;
        const double comparatorOutput = step.driveOn ? ctl.controlReference : 0.0;
        if (!SolveHystereticComparatorNetwork(hn, comparatorOutput, ctl.pwmControlVoltage, s, &ctl)) return 0;
        inverting = ctl.rampCapacitorVoltage;
    }
    ctl.pwmComparatorInverting = inverting;
    if (ci.controlMode != kHystereticMode) ctl.pwmComparatorNonInverting = ctl.pwmControlVoltage;
    ctl.comparatorCopy = ctl.pwmComparatorNonInverting;
    const double previousDecision = ctl.pwmComparatorDifferential;
    ctl.pwmComparatorDifferential = ctl.pwmComparatorNonInverting - inverting;
    ctl.pwmComparatorDifferentialSlope = (ctl.pwmComparatorDifferential - previousDecision) * s;

    if (set.loggingOn && CheckFloatingPointStatus()) return 0;
    return std::isfinite(control) ? 1 : 0;
}

int32_t DetermineTimeStepAfterStep() {
    AnalysisContext* ctx = GetAnalysisContext();
    StepStateRec& step = ctx->stepState;
    const AnalysisSettingsRec& set = *ctx->pSettings;
    EngineStore& st = ctx->engine;
    PrimaryStateRec& pri = ctx->primary;
    const double h = step.inverseTimeStepTermA;

    CountDownEdgeTimers(*ctx, h);

    int32_t event = 0;
    const int32_t topology = ctx->pPrimaryInput->topology;
    if (IsActiveClamp(topology)) {
        event = ActiveClampDiodeEvents(*ctx, pri.primaryWindingCurrent, st.primaryCurrentSlope);
    } else if (IsResonantReset(topology) && ResetInterval(pri.switchState)) {
        // The capacitor carries the primary current through zero: the off state lasts until
        // the next turn-on, the body diode holding the drain at the return when it rings back.
        if (!pri.switch1DiodeConducting && pri.switch1Voltage < -ctx->pPrimaryInput->switch1DiodeParamA) {
            pri.switch1DiodeConducting = 1;
            event = 1;
        } else if (pri.switch1DiodeConducting && pri.switch1Current >= 0.0) {
            pri.switch1DiodeConducting = 0;
            event = 1;
        }
    } else if (IsResetWinding(topology)) {
        if (pri.switchState == 1 && CurrentEnded(pri.resetWindingCurrent, st.resetCurrentSlope)) {
            pri.resetRectifierOffRequest = 1;
            event = 1;
        }
    } else if (pri.switchState == 1 && !IsActiveClamp(topology) &&
               CurrentEnded(pri.primaryWindingCurrent, st.primaryCurrentSlope)) {
        // The active clamp's switch carries the current through zero until the next turn-on.
        if (IsPassiveClamp(topology)) pri.clampRectifierOffRequest = 1;
        else pri.resetRectifiersOffRequest = 1;
        event = 1;
    }
    if (pri.switchState == 0 && ResetPathForwardBiased(*ctx)) {
        st.resetPathOnRequest = 1;
        event = 1;
    }
    int32_t currentEnd = 0;
    for (int32_t j = 0; j < set.outputCount; ++j) {
        SecondaryRectifierStateRec& rs = ctx->secondaryRectifier[j];
        const SecondaryRectifierInputRec& ri = *ctx->pSecondaryRectifierInput[j];
        const OutputStepStore& o = st.output[j];
        // A driven channel conducts whatever its current; its timers turn it on and off.
        if (SyncPosition(ri, 0) && rs.switchPathAOn) {
            if (!rs.rectifier1On) rs.rectifier1On = event = 1;
        } else if (rs.rectifier1On) {
            if (CurrentEnded(o.forwardCurrent, o.forwardSlope)) {
                rs.rectifier1On = 0;
                currentEnd = 1;
            }
        } else if (o.forwardVoltage > PositionDiode(ri, 0).forwardVoltage) {
            rs.rectifier1On = 1;
            event = 1;
        }
        if (SyncPosition(ri, 1) && rs.switchPathBOn) {
            if (!rs.diodeConducting) rs.diodeConducting = event = 1;
        } else if (rs.diodeConducting) {
            if (CurrentEnded(o.freewheelCurrent, o.freewheelSlope)) {
                rs.diodeConducting = 0;
                currentEnd = 1;
            }
        } else if (o.freewheelVoltage > PositionDiode(ri, 1).forwardVoltage) {
            rs.diodeConducting = 1;
            event = 1;
        }
        rs.outputConducting = rs.rectifier1On || rs.diodeConducting;
    }
    if (UpdateLineDiodeConduction()) event = 1;
    if (UpdateFilterSenseDiodes()) event = 1;
    st.outputCurrentEndsOnly = currentEnd && !event;
    event |= currentEnd;
    st.deviceEventThisStep = event;
    step.settlingFlagB = event;  // EventThisStep

    WatchStepQuantities(*ctx, h);
    step.nextTimeStep = set.initialTimeStep;  // the largest step
    if (set.analysisKind <= 1 && !step.settling) ProposeNextStepTime(ctx->pSettings, step);
    // (The switching period's end needs no landing of its own: the clock's turn, which starts
    // the period, is landed on before the step.)
    // The last step ends on the end time (a turn-on transient runs on past it).
    const double left = set.endTime - step.time;
    if (left < step.nextTimeStep && !step.settling && left > kEndLandingSlack) step.LimitTimeStep(left, 0, 1);
    return 1;
}
