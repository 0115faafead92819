#include "analysis/timedomain/AnalChck.h"

#include <cmath>
#include <string>

#include "analysis/models/AnalMPri.h"
#include "analysis/models/AnalMSync.h"
#include "analysis/timedomain/AnalEdge.h"
#include "platform/core/Format.h"
#include "records/Utils.h"
#include "resources/StringTable.h"

namespace {

constexpr UINT kSwitchingFrequencyWarning = 53026;
constexpr UINT kCoreWalkWarning = 58700;
// Turn-ons in a row, each with more magnetizing current left in the core than the one
// before, that show the walk (a start-up's first reset may end late once).
constexpr int32_t kCoreWalkTurnOns = 3;
// Growth below this share of the current is the settling of a reset that just keeps up.
constexpr double kCoreWalkGrowth = 0.01;

// Touched by the worker thread only. A run's first step re-arms them all.
int32_t g_breakdownReported[kBreakdownCheckCount] = {};
// The message each check reported this run (0: none yet).
UINT g_breakdownReportedId[kBreakdownCheckCount] = {};

// Two checks watch each bulk capacitor (its voltage and its held value, the same quantity
// at every step): the capacitor is reported once.
UINT SamePartAs(UINT messageId) {
    switch (messageId) {
    case 51052: return 51050;  // lower bulk capacitor, C.IN2
    case 51053: return 51051;  // upper bulk capacitor, C.IN1
    default: return messageId;
    }
}
bool PartReported(UINT messageId) {
    for (UINT id : g_breakdownReportedId)
        if (id && SamePartAs(id) == SamePartAs(messageId)) return true;
    return false;
}
int32_t g_frequencyWarned = 0;
// An on-time longer than the one before by more than this share of the period is a rising
// duty (a soft start, a loop catching up), not the steady duty a walk is judged at.
constexpr double kCoreWalkDutyRise = 2e-4;
// A growth smaller than the one before by more than this share is a walk that a falling duty
// is ending (the reset catching up after a start-up's overshoot); a walk that lasts grows by
// nearly the same each cycle (its losses take well under 1 % a cycle).
constexpr double kCoreWalkGrowthFade = 0.02;
struct CoreWalkWatch {
    int32_t warned = 0;
    int32_t lastState = 0;      // switch state of the step before
    int32_t growing = 0;        // turn-ons in a row with the core's current grown
    double lastOnCurrent = 0.0; // magnetizing current at the last turn-on (A)
    double turnOnTime = -1.0;   // run time of the last turn-on (s); < 0 before the first
    double onTime = 0.0;        // the last whole on-time (s)
    double previousOnTime = 0.0;
    double lastGrowth = 0.0;    // the last turn-on's growth of the core's current (A)
};
CoreWalkWatch g_coreWalk;
// Set when the first step had no measured period to judge: the run decides at its end, on
// the drive's rising edges in its last tenth (the start-up's periods left out).
int32_t g_frequencyDeferred = 0;
uint32_t g_edgesSeen = 0;
int32_t g_windowEdges = 0;
double g_windowFirstEdge = 0.0, g_windowLastEdge = 0.0;
constexpr double kJudgedShare = 0.1;  // of the run, at its end

bool Exceeds(const BreakdownCheck& c) {
    // A voltage that no model of this run computes is not a voltage across the part.
    if (c.voltage == NOT_SET) return false;
    // Nor is there a rating to exceed for a part that has none.
    if (c.rating == NOT_SET) return false;
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
        if (firstStep) g_breakdownReportedId[c.order] = 0;
        if (!c.guard) return;
        int32_t& latch = g_breakdownReported[c.order];
        if (firstStep) latch = 0;
        if (latch || !Exceeds(c)) return;
        latch = 1;
        if (PartReported(c.messageId)) return;
        g_breakdownReportedId[c.order] = c.messageId;
        ReportBreakdownProblem(c.messageId, c.voltage, c.rating);
    });
}

// The core walks when the reset cannot undo each on-time: the switch turns on again while the
// reset path still carries the core's current, and there is more of it at every turn-on.
// Only the schemes that reset at a fixed voltage (two switch: the bulk; reset winding: the
// bulk through its turns) can be outrun by a long duty for good; the clamps and the resonant
// reset raise their reset voltage with the core's current until it balances (a passive
// clamp charging from zero lets the core walk for a few start-up cycles, and that ends by itself).
void CheckCoreWalk(int32_t firstStep) {
    const AnalysisContext* ctx = GetAnalysisContext();
    if (!ctx) return;
    CoreWalkWatch& w = g_coreWalk;
    const PrimaryStateRec& p = ctx->primary;
    if (firstStep) {
        w = CoreWalkWatch{};
        w.lastState = p.switchState;
    }
    const int32_t topology = ctx->pPrimaryInput->topology;
    const bool fixedReset = !IsResonantReset(topology) && !IsActiveClamp(topology) && !IsPassiveClamp(topology);
    const double t = ctx->stepState.time;
    if (p.switchState != 2 && w.lastState == 2 && w.turnOnTime >= 0.0) {
        w.previousOnTime = w.onTime;
        w.onTime = t - w.turnOnTime;
    }
    if (p.switchState == 2 && w.lastState != 2) {
        const double im = p.magnetizingCurrent;
        const double period = ctx->stepState.switchingPeriod > 0.0 ? ctx->stepState.switchingPeriod
                                                                   : ctx->pSettings->switchingPeriodSetting;
        // While the duty rises the reset's share of the period shrinks each cycle, and what it
        // leaves grows without the core walking for good: a walk is judged at a steady duty.
        const bool dutyRising = w.onTime - w.previousOnTime > kCoreWalkDutyRise * period;
        const double growth = im - w.lastOnCurrent;
        const bool fading = growth < (1.0 - kCoreWalkGrowthFade) * w.lastGrowth;
        const bool grew = w.lastState == 1 && fixedReset && std::isfinite(im) && im > 0.0 &&
                          growth > kCoreWalkGrowth * im && !dutyRising && !fading;
        w.growing = grew ? w.growing + 1 : 0;
        w.lastGrowth = w.lastState == 1 && std::isfinite(growth) ? growth : 0.0;
        w.lastOnCurrent = w.lastState == 1 ? im : 0.0;
        w.turnOnTime = t;
    }
    w.lastState = p.switchState;
    if (w.warned || w.growing < kCoreWalkTurnOns) return;
    w.warned = 1;
    ReportMessage(kCoreWalkWarning, TRUE);
}

namespace {

void WarnIfFarOff(const AnalysisContext& ctx, double projected) {
    const double target = ctx.pSettings->targetSwitchingPeriod;
    // Before any period is known there is nothing to compare.
    if (!(projected > 0.0) || !(target > 0.0)) return;
    if (projected / 2.0 >= target || projected * 2.0 <= target) ReportMessage(kSwitchingFrequencyWarning, TRUE);
}

// A rising edge the step record counted since the last look, when it falls in the judged share.
void ObserveDriveEdge(const AnalysisContext& ctx) {
    const StepStateRec& step = ctx.stepState;
    if (step.driveEdgeCount == g_edgesSeen) return;
    g_edgesSeen = step.driveEdgeCount;
    if (step.lastDriveEdgeTime < (1.0 - kJudgedShare) * ctx.pSettings->endTime) return;
    if (g_windowEdges == 0) g_windowFirstEdge = step.lastDriveEdgeTime;
    g_windowLastEdge = step.lastDriveEdgeTime;
    ++g_windowEdges;
}

}  // namespace

void CheckStepLimits(int32_t firstStep) {
    CheckBreakdownVoltages(firstStep);
    CheckCoreWalk(firstStep);
    const AnalysisContext* now = GetAnalysisContext();
    if (firstStep) {
        g_frequencyWarned = 0;
        g_frequencyDeferred = 0;
        g_windowEdges = 0;
        g_edgesSeen = now ? now->stepState.driveEdgeCount : 0;
    }
    if (g_frequencyDeferred && now) ObserveDriveEdge(*now);
    if (g_frequencyWarned) return;
    g_frequencyWarned = 1;
    const AnalysisContext* ctx = GetAnalysisContext();
    if (!ctx || ctx->pControlInput->controlMode != 3) return;
    // Without a settling before the run (a turn-on run) no period has been measured yet: the
    // projection would be the target itself. The run is judged at its end instead.
    if (ctx->stepState.driveEdgeCount < 2) {
        g_frequencyDeferred = 1;
        return;
    }
    WarnIfFarOff(*ctx, ctx->stepState.switchingPeriod);
}

void CheckProjectedFrequencyAtRunEnd() {
    if (!g_frequencyDeferred) return;
    const AnalysisContext* ctx = GetAnalysisContext();
    if (ctx) ObserveDriveEdge(*ctx);
    g_frequencyDeferred = 0;
    // Two whole periods at least, or the run was too short to tell.
    if (!ctx || ctx->pControlInput->controlMode != 3 || g_windowEdges < 3) return;
    WarnIfFarOff(*ctx, (g_windowLastEdge - g_windowFirstEdge) / (g_windowEdges - 1));
}

// ---------------------------------------------------------------------------------------
// Consistency tests. The devices as the step set-up keeps them:
//   primary:   switch 1 channel switch1Conducting, its body diode switch1DiodeConducting,
//              clamp switch channel clampSwitchActive, its body diode
//              clampSwitchDiodeConducting, rectifier pair resetRectifiersOn, reset rectifier
//              resetRectifierOn, clamp rectifier clampRectifierOn, current sense rectifier
//              the sense transformer's conduction of the step;
//   each output: diode 1 rectifier1On, diode 2 diodeConducting, switch 1 channel
//              switchPathAOn, switch 1 body diode secondDiodeConducting, switch 2 channel
//              switchPathBOn, switch 2 body diode bodyDiode2Conducting;
//   rectifier 1 conducts when diode 1, switch 1's channel or its body diode does; rectifier 2
//   when diode 2, switch 2's channel or its body diode does.
// Voltages are the catalogue's anode-to-cathode and drain-to-source quantities; the output's
// factor n is its polarity word.

namespace {

constexpr UINT kModuleAnalChck = 56004;
constexpr double kCurrentFloor = 0.0001;  // A

void Log(int code) { ReportMessage1(kModuleAnalChck, code, FALSE); }

bool Known(double v) { return v != NOT_SET && std::isfinite(v); }

// A blocking diode whose voltage is past twice its forward voltage (plus a margin).
bool BlocksBeyond(int32_t on, double voltage, double forwardVoltage, double margin = 0.0) {
    return !on && Known(voltage) && Known(forwardVoltage) && voltage > 2.0 * forwardVoltage + margin;
}

struct PrimaryScheme {
    bool twoSwitch, resetWinding, activeClamp, passiveClamp;
};

PrimaryScheme SchemeOf(const PrimaryInputRec& pi) {
    return {pi.secondSwitchOn && pi.diode1On, pi.resetWindingOn && pi.resetDiodeOn, pi.turnOnFlagA != 0,
            pi.resetDiodeOn && !pi.resetWindingOn};
}

bool Rectifier1Conducts(const SecondaryRectifierStateRec& r) {
    return r.rectifier1On || r.switchPathAOn || r.secondDiodeConducting;
}

bool Rectifier2Conducts(const SecondaryRectifierStateRec& r) {
    return r.diodeConducting || r.switchPathBOn || r.bodyDiode2Conducting;
}

// A secondary rectifier still conducts across a switch-state change: the forward one after
// switch 1 turned off, the freewheel one after it turned on. Kept here for the tests, this
// step's and the previous one's: the engine's commutation runs through the transformer's
// leakage and its step set-up keeps its own event bookkeeping, so the step's overlap words
// are not rewritten by the checks.
struct Overlap {
    int32_t now = 0;
    int32_t previous = 0;
};
Overlap g_overlap;

int32_t CommutationOverlap(const AnalysisContext& ctx) {
    const int32_t state = ctx.primary.switchState;
    for (int32_t n = ctx.pSettings->outputCount; n >= 1; --n) {
        if (n > kMaxOutputs) continue;
        const SecondaryRectifierStateRec& r = ctx.secondaryRectifier[n - 1];
        if (((state == 2 || state == 3) && Rectifier2Conducts(r)) || (state == 1 && Rectifier1Conducts(r))) return 1;
    }
    return 0;
}

}  // namespace

int32_t LogSecDiodeVoltageChecks(int32_t output) {
    const AnalysisContext& ctx = *GetAnalysisContext();
    const SecondaryRectifierInputRec& ri = *ctx.pSecondaryRectifierInput[output - 1];
    const SecondaryRectifierStateRec& r = ctx.secondaryRectifier[output - 1];
    const bool sync = ri.resistiveRectifier != 0;
    if (ri.sectionQuantityFlagB && BlocksBeyond(r.diodeConducting, r.rectifierVoltage, ri.forwardVoltage)) Log(13257);
    if (sync && ri.frequencyAnalysisFlagB &&
        BlocksBeyond(r.bodyDiode2Conducting, r.rectifierVoltage, ri.bodyDiode2Voltage))
        Log(13258);
    if (ctx.primary.switchState != 0) {
        if (ri.sectionQuantityFlagA &&
            BlocksBeyond(r.rectifier1On, r.rectifier1AnodeToCathodeVoltage, ri.diodeDrop, 1.0))
            Log(13259);
        if (sync && ri.frequencyAnalysisFlagA &&
            BlocksBeyond(r.secondDiodeConducting, r.rectifier1AnodeToCathodeVoltage, ri.secondDiodeVoltage, 1.0))
            Log(13260);
    }
    return 1;
}

int32_t LogDiodeVoltageChecks() {
    const AnalysisContext& ctx = *GetAnalysisContext();
    const PrimaryInputRec& pi = *ctx.pPrimaryInput;
    const LineSourceInputRec& li = *ctx.pLineSourceInput;
    const LineRectifierStateRec& lr = ctx.lineRectifier;
    const PrimaryStateRec& p = ctx.primary;
    const PrimaryScheme sc = SchemeOf(pi);

    const int32_t present[8] = {li.diode1Present, li.diode2Present, li.diode3Present, li.diode4Present,
                                li.diode5Present, li.diode6Present, li.diode7Present, li.diode8Present};
    const int32_t on[8] = {lr.diode1State, lr.diode2State, lr.diode3State, lr.diode4State,
                           lr.diode5State, lr.diode6State, lr.diode7State, lr.diode8State};
    const double v[8] = {lr.diode1Voltage, lr.diode2Voltage, lr.diode3Voltage, lr.diode4Voltage,
                         lr.diode5Voltage, lr.diode6Voltage, lr.diode7Voltage, lr.diode8Voltage};
    for (int32_t d = 0; d < 8; ++d)
        if (present[d] && BlocksBeyond(on[d], v[d], li.rectifierForwardVoltage)) Log(13249 + d);

    if (sc.passiveClamp && BlocksBeyond(p.clampRectifierOn, p.resetDiodeVoltage, pi.sectionQuantityParamH))
        Log(13261);
    if (pi.senseDiodeOn && pi.currentSenseTransformerOn &&
        BlocksBeyond(ctx.engine.senseTransformerConducting, p.currentSenseRectifierAnodeToCathodeVoltage,
                     pi.senseRectifierForwardVoltage))
        Log(13262);
    const bool unchanged = p.switchState == ctx.primarySnapshot.switchState;
    if (sc.twoSwitch && unchanged) {
        if (BlocksBeyond(p.resetRectifiersOn, p.diode1Voltage, pi.sectionQuantityParamI)) Log(13263);
        if (BlocksBeyond(p.resetRectifiersOn, p.diode2Voltage, pi.sectionQuantityParamI)) Log(13243);
    }
    if (sc.twoSwitch && BlocksBeyond(p.switch1DiodeConducting, -p.switch1VoltageCopy, pi.switch1DiodeParamA))
        Log(13248);
    if (sc.resetWinding && BlocksBeyond(p.resetRectifierOn, p.senseAmpVoltage, pi.sectionQuantityParamJ)) Log(13264);
    if (sc.activeClamp && BlocksBeyond(p.clampSwitchDiodeConducting, -p.clampSwitchAux4, pi.clampSwitchDiodeParamA))
        Log(13265);
    if (pi.switch1On &&
        BlocksBeyond(p.switch1DiodeConducting, -(p.switch1Resistance * p.switch1DrainToSourceCurrent),
                     pi.switch1DiodeParamA))
        Log(13247);

    for (int32_t n = ctx.pSettings->outputCount; n >= 1; --n)
        if (n <= kMaxOutputs) LogSecDiodeVoltageChecks(n);
    return 1;
}

int32_t LogSecWindingVoltageChecks(int32_t output) {
    const AnalysisContext& ctx = *GetAnalysisContext();
    const PrimaryStateRec& p = ctx.primary;
    if (p.switchState != 2 || ctx.primarySnapshot.switchState != 2) return 1;
    const OutputFilterInputRec& fi = *ctx.pOutputFilterInput[output - 1];
    const SecondaryRectifierStateRec& r = ctx.secondaryRectifier[output - 1];
    const double np = ctx.pPrimaryInput->primaryTurns;
    const double n = fi.outputSign;
    const double vs = ctx.secondaryWinding[output - 1].windingVoltage;
    if (Known(np) && np != 0.0 && Known(vs) && Known(p.primaryWindingVoltage) &&
        (fi.secondaryTurns * 1.3 / np) * p.primaryWindingVoltage + 2.0 <= n * vs)
        Log(13238);
    if (Known(r.rectifierSectionInputVoltage) && Known(r.rectifiedVoltage) &&
        n * r.rectifierSectionInputVoltage * 1.2 + 1.0 <= n * r.rectifiedVoltage)
        Log(13240);
    return 1;
}

int32_t LogTransformerVoltageChecks() {
    const AnalysisContext& ctx = *GetAnalysisContext();
    const PrimaryInputRec& pi = *ctx.pPrimaryInput;
    const PrimaryStateRec& p = ctx.primary;
    const double np = pi.primaryTurns, nr = pi.resetTurns, vf = pi.sectionQuantityParamJ;
    if (SchemeOf(pi).resetWinding && Known(np) && np != 0.0 && Known(nr) && Known(vf) &&
        Known(p.resetWindingVoltage) && !g_overlap.now && !g_overlap.previous &&
        p.switchState == ctx.primarySnapshot.switchState &&
        3.0 * vf + (1.2 * nr / np) * std::fabs(p.primaryWindingVoltage) < std::fabs(p.resetWindingVoltage))
        Log(13209);
    for (int32_t n = ctx.pSettings->outputCount; n >= 1; --n)
        if (n <= kMaxOutputs) LogSecWindingVoltageChecks(n);
    return 1;
}

int32_t LogSecRectifierInconsistencies(int32_t output) {
    const AnalysisContext& ctx = *GetAnalysisContext();
    const OutputFilterInputRec& fi = *ctx.pOutputFilterInput[output - 1];
    const SecondaryRectifierStateRec& r = ctx.secondaryRectifier[output - 1];
    const OutputChokeStateRec& ch = ctx.outputChoke[output - 1];
    const PrimaryInputRec& pi = *ctx.pPrimaryInput;
    const int32_t state = ctx.primary.switchState;
    const double vbulk = ctx.inputCapacitor.inputVoltage;
    const double n = fi.outputSign;
    const double np = pi.primaryTurns;
    if (vbulk > 1.0 && Known(np) && np != 0.0 && Known(r.rectifiedVoltage) &&
        (vbulk * fi.secondaryTurns * 1.3) / np < n * r.rectifiedVoltage)
        Log(13203);
    if (Known(ch.chokeCurrent) && n * ch.chokeCurrent > kCurrentFloor) {
        const bool r1 = Rectifier1Conducts(r), r2 = Rectifier2Conducts(r);
        if (!r1 && !r2) Log(13210);
        if (r1 && Known(r.rectifierCurrent) && std::fabs(r.rectifierCurrent) > kCurrentFloor && state == 1 &&
            !g_overlap.now)
            Log(13211);
        if (!ch.chokeFlagA) {
            if (!r1 && !r2) Log(13215);
            if (r1 && state != 2 && !(pi.turnOnFlagA && state == 3)) Log(13214);
        }
    }
    return 1;
}

int32_t LogConductionConsistency() {
    const AnalysisContext& ctx = *GetAnalysisContext();
    const PrimaryInputRec& pi = *ctx.pPrimaryInput;
    const PrimaryStateRec& p = ctx.primary;
    const PrimaryScheme sc = SchemeOf(pi);
    const int32_t state = p.switchState;
    const double vbulk = ctx.inputCapacitor.inputVoltage;

    const bool switch1 = p.switch1Conducting || p.switch1DiodeConducting;
    if (switch1 && (p.clampSwitchActive || p.clampSwitchDiodeConducting)) Log(13244);

    if (vbulk > 2.0) {
        if (Known(p.primaryWindingVoltage) && vbulk * 1.2 <= p.primaryWindingVoltage) Log(13245);
        const double np = pi.primaryTurns, nr = pi.resetTurns;
        if (sc.resetWinding && Known(np) && np != 0.0 && Known(nr) && Known(p.resetWindingVoltage)) {
            if (p.resetWindingVoltage <= (-1.5 * nr / np) * vbulk) Log(13239);
            if (Known(pi.sectionQuantityParamJ) &&
                (1.5 * nr / np) * vbulk + pi.sectionQuantityParamJ <= p.resetWindingVoltage)
                Log(13241);
        }
    }

    LogDiodeVoltageChecks();
    LogTransformerVoltageChecks();

    const double ip = p.transformerPrimaryCurrent, iw = p.primaryWindingCurrent;
    if (state == 2) {
        if (!switch1) Log(13222);
        if (sc.activeClamp) {
            if (p.clampSwitchActive) Log(13223);
            else if (p.clampSwitchDiodeConducting) Log(13224);
        }
        if (sc.twoSwitch && p.resetRectifiersOn) Log(13225);
        if (sc.passiveClamp && p.clampRectifierOn) Log(13226);
        if (sc.resetWinding && p.resetRectifierOn) Log(13227);
    } else {
        if (sc.twoSwitch && Known(ip) && ip > kCurrentFloor && !p.resetRectifiersOn) Log(13228);
        if (sc.resetWinding && Known(p.resetWindingCurrent) && p.resetWindingCurrent > kCurrentFloor &&
            !p.resetRectifierOn)
            Log(13229);
        // The open switch's leakage is no current that needs the clamp.
        if (sc.activeClamp && Known(iw) && std::fabs(iw) > kCurrentFloor && !p.clampSwitchActive) {
            if (!p.clampSwitchDiodeConducting) Log(13230);
            if (Known(ip) && ip < -kCurrentFloor) Log(13231);
        }
        if (sc.passiveClamp && Known(ip) && ip > kCurrentFloor && !p.clampRectifierOn) Log(13232);
    }

    for (int32_t n = ctx.pSettings->outputCount; n >= 1; --n)
        if (n <= kMaxOutputs && !LogSecRectifierInconsistencies(n)) Log(13237 - n);
    return 1;
}

// ---------------------------------------------------------------------------------------
// Current continuity across a change of conduction. The step set-up turns a device off once
// its current has reached zero or would within the event floor, so a few mA may still flow
// in it, or, where the step passed the crossing, a current that overshot through zero. In the
// next step the device is an open resistance: the winding's leakage (or the open primary)
// would force that current to zero within one step, a spike of L·I/h on the winding. The
// current is handed over instead, as the devices that still conduct take it: the choke's
// current goes whole to the rectifier that conducts (none when neither does), each winding
// carries the forward currents stacked on it, and the change of the winding currents moves
// into the winding that carries the core's flux, so that the flux is held:
//     Lc·dIc + sum_k Mck·dIs[k] = 0,   Is[k] = -e[k]·W[k]   (into the dotted end)
// with c the primary, or the reset winding while it carries the reset. A primary whose reset
// has ended (state 1 to 0) is open: what is left in it is dropped.

namespace {

constexpr UINT kOutputFailure[kMaxOutputs] = {13219, 13218, 13217, 13216};

bool Finite(double a, double b) { return std::isfinite(a) && std::isfinite(b); }

}  // namespace

bool CountsAsCurrentChange(double change, double inverseTimeStep) {
    // Without a step to compare with, every change counts.
    if (!(inverseTimeStep > 0.0) || !std::isfinite(inverseTimeStep)) return true;
    return std::fabs(change) * inverseTimeStep >= kLeastCurrentChangeRate;
}

int32_t SplitRectifierCurrents(int32_t output) {
    AnalysisContext& ctx = *GetAnalysisContext();
    SecondaryRectifierStateRec& r = ctx.secondaryRectifier[output - 1];
    OutputStepStore& o = ctx.engine.output[output - 1];
    OutputChokeStateRec& ch = ctx.outputChoke[output - 1];
    if (r.rectifier1On && r.diodeConducting) return 1;  // both conduct: as solved
    if (!r.rectifier1On && !r.diodeConducting) ch.chokeCurrent = 0.0;
    const double forward = r.rectifier1On ? ch.chokeCurrent : 0.0;
    const double freewheel = r.diodeConducting ? ch.chokeCurrent : 0.0;
    o.forwardCurrent = forward;
    o.freewheelCurrent = freewheel;
    o.chokeCurrent = ch.chokeCurrent;
    r.rectifier1AnodeToCathodeCurrent = forward;
    r.rectifierCurrent = forward;
    r.diodeCurrent = freewheel;
    r.rectifier2TotalAnodeToCathodeCurrent = freewheel;
    if (!Finite(forward, freewheel) || (ctx.pSettings->loggingOn && CheckFloatingPointStatus())) {
        Log(13200);
        ReportMessageFirstBox(52180);
        return 0;
    }
    return 1;
}

int32_t HandOverToSyncPosition(int32_t output, int32_t position) {
    AnalysisContext& ctx = *GetAnalysisContext();
    const SecondaryRectifierInputRec& ri = *ctx.pSecondaryRectifierInput[output - 1];
    SecondaryRectifierStateRec& r = ctx.secondaryRectifier[output - 1];
    const OutputStepStore& o = ctx.engine.output[output - 1];
    const double open = ctx.pSettings->openResistance;
    if (position == 0) {
        const bool channel = r.switchPathAOn != 0;
        r.switchPathAResistance = channel ? ri.onResistance : open;
        r.switch1DrainToSourceCurrent = channel ? -o.forwardCurrent : 0.0;
        r.switch1DrainToSourceVoltage = channel ? -ri.onResistance * o.forwardCurrent : r.switch1DrainToSourceVoltage;
        return Finite(r.switch1DrainToSourceCurrent, r.switch1DrainToSourceVoltage) ? 1 : 0;
    }
    const bool channel = r.switchPathBOn != 0;
    r.channelResistance = channel ? ri.secondOnResistance : open;
    r.channelCurrent = channel ? -o.freewheelCurrent : 0.0;
    r.channelVoltage = channel ? -ri.secondOnResistance * o.freewheelCurrent : r.channelVoltage;
    return Finite(r.channelCurrent, r.channelVoltage) ? 1 : 0;
}

int32_t UpdateRectifierCurrentsOnChange(int32_t output, int32_t* changed) {
    AnalysisContext& ctx = *GetAnalysisContext();
    OutputStepStore& o = ctx.engine.output[output - 1];
    const SecondaryRectifierStateRec& r = ctx.secondaryRectifier[output - 1];
    const int32_t forwardWas = o.solvedForwardOn, freewheelWas = o.solvedFreewheelOn;
    o.solvedForwardOn = r.rectifier1On;
    o.solvedFreewheelOn = r.diodeConducting;
    if (forwardWas < 0 || (forwardWas == r.rectifier1On && freewheelWas == r.diodeConducting)) return 1;
    *changed = 1;
    // The change's own code: the overlap ended, rectifier 1 or 2 went off, or one came on.
    const int code = forwardWas && freewheelWas ? 13207
                     : forwardWas && !r.rectifier1On   ? 13201
                     : freewheelWas && !r.diodeConducting ? 13205
                     : r.rectifier1On && !forwardWas   ? 13204
                                                       : 13208;
    if (!SplitRectifierCurrents(output)) {
        Log(code);
        ReportMessageFirstBox(52180);
        return 0;
    }
    // A transistor position that keeps conducting while the other lets go takes the choke's
    // current through whichever of its devices the step drives (only where the choke's current
    // flows forward: a reversed one the drive alone decides), the overlap's end included.
    const SecondaryRectifierInputRec& ri = *ctx.pSecondaryRectifierInput[output - 1];
    const int32_t keeper = forwardWas && !r.rectifier1On && r.diodeConducting    ? 1
                           : freewheelWas && !r.diodeConducting && r.rectifier1On ? 0
                                                                                  : -1;
    if (keeper >= 0 && SyncPosition(ri, keeper) && ctx.outputChoke[output - 1].chokeFlagA &&
        !HandOverToSyncPosition(output, keeper)) {
        Log(keeper == 1 ? 13202 : 13206);
        ReportMessageFirstBox(52180);
        return 0;
    }
    if (ctx.pSettings->loggingOn && CheckFloatingPointStatus()) {
        Log(13242);
        return 0;
    }
    return 1;
}

int32_t KeepCurrentsContinuous() {
    AnalysisContext& ctx = *GetAnalysisContext();
    EngineStore& st = ctx.engine;
    PrimaryStateRec& p = ctx.primary;
    const PrimaryInputRec& pi = *ctx.pPrimaryInput;
    const int32_t n = ctx.pSettings->outputCount;
    const int32_t state = p.switchState;
    const int32_t previous = ctx.primarySnapshot.switchState;
    if (ctx.stepState.stepCount == 0) {
        for (int32_t j = 0; j < kMaxOutputs; ++j) st.output[j].solvedForwardOn = st.output[j].solvedFreewheelOn = -1;
    }
    int32_t changed = 0;
    for (int32_t k = n; k >= 1; --k) {
        if (k > kMaxOutputs) continue;
        if (!UpdateRectifierCurrentsOnChange(k, &changed)) {
            Log(int(kOutputFailure[k - 1]));
            ReportMessage1FirstBox(52171, k);
            return 0;
        }
    }
    if (ctx.stepState.stepCount > 0 && previous == 1 && state == 0) {
        p.primaryWindingCurrent = 0.0;
        p.transformerPrimaryCurrent = 0.0;
        p.resetWindingCurrent = 0.0;
        p.resetRectifierAnodeToCathodeCurrent = 0.0;
        p.diode1Current = 0.0;
        p.diode2Current = 0.0;
    }
    if (!changed) return 1;

    // Each winding's current from the forward currents on it, and the centre's share.
    const bool resetCentre = pi.resetWindingOn && pi.resetDiodeOn && previous == 1;
    const double lc = resetCentre ? st.reset.lr : st.xfmr.lp;
    const double* mc = resetCentre ? st.reset.mrs : st.xfmr.mps;
    double flux = 0.0;
    for (int32_t k = n - 1; k >= 0; --k) {
        if (k >= kMaxOutputs) continue;
        const double e = st.output[k].polarity;
        double w = 0.0;
        for (int32_t j = 0; j < n && j < kMaxOutputs; ++j)
            w += st.stack[j][k] * ctx.secondaryRectifier[j].rectifier1AnodeToCathodeCurrent;
        w *= e;
        SecondaryWindingStateRec& winding = ctx.secondaryWinding[k];
        flux += mc[k] * -e * (w - winding.windingCurrent);
        winding.windingCurrent = w;
        st.secondaryCurrent[k] = -e * w;
    }
    // An open primary takes no share. One whose switch closes at this step takes it as one that
    // stayed closed would: a transistor rectifier driven on with the switch carries the choke's
    // reversed current into its winding, and the primary starts at that current reflected, not
    // the core.
    const bool closing = previous == 0 && state == 2;
    if (state == 0 || (previous == 0 && !closing) || !(lc > 0.0)) return 1;
    const double d = -flux / lc;
    // Through the reset interval an active clamp's switch (channel or body diode) carries the
    // primary's current and so its share.
    const bool clampCarries = IsActiveClamp(pi.topology) && pi.turnOnFlagA && ResetInterval(previous) &&
                              (p.clampSwitchActive || p.clampSwitchDiodeConducting);
    if (!std::isfinite(d)) {
        Log(clampCarries ? 13221 : 13220);
        ReportMessageFirstBox(clampCarries ? 52182 : 52181);
        return 0;
    }
    if (!CountsAsCurrentChange(d, ctx.stepState.inverseTimeStep)) return 1;
    if (resetCentre) {
        p.resetWindingCurrent += d;
    } else {
        p.primaryWindingCurrent += d;
        p.transformerPrimaryCurrent = p.primaryWindingCurrent;
        if (previous == 2 || closing) p.switch1Current += d;
        if (clampCarries) p.clampSwitchCurrent = -p.primaryWindingCurrent;  // drain to source
    }
    return 1;
}

int32_t CheckSwitchQuantities() {
    if (!KeepCurrentsContinuous()) return 0;
    const AnalysisContext& ctx = *GetAnalysisContext();
    g_overlap.previous = ctx.stepState.stepCount == 0 ? 0 : g_overlap.now;
    g_overlap.now = CommutationOverlap(ctx);
    if (!ctx.pSettings->loggingOn) return 1;
    if (ctx.inputCapacitor.inputVoltage > ctx.pControlInput->lockoutLevelA) LogConductionConsistency();
    if (CheckFloatingPointStatus()) Log(13237);
    return 1;
}
