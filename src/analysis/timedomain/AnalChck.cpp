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
        if (!c.guard) return;
        int32_t& latch = g_breakdownReported[c.order];
        if (firstStep) latch = 0;
        if (latch || !Exceeds(c)) return;
        latch = 1;
        ReportBreakdownProblem(c.messageId, c.voltage, c.rating);
    });
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
//              resetRectifierOn, clamp rectifier clampRectifierOn;
//   each output: diode 1 rectifier1On, diode 2 diodeConducting, switch 1 channel
//              switchPathAOn, switch 1 body diode secondDiodeConducting, switch 2 channel
//              switchPathBOn (the records keep no switch 2 body diode, so its test waits);
//   rectifier 1 conducts when diode 1, switch 1's channel or its body diode does; rectifier 2
//   when diode 2 or switch 2's channel does. The current sense rectifier has neither an on
//   flag nor a forward voltage in the records, so its test waits with switch 2's body diode.
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

bool Rectifier2Conducts(const SecondaryRectifierStateRec& r) { return r.diodeConducting || r.switchPathBOn; }

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

int32_t CheckSwitchQuantities() {
    const AnalysisContext& ctx = *GetAnalysisContext();
    g_overlap.previous = ctx.stepState.stepCount == 0 ? 0 : g_overlap.now;
    g_overlap.now = CommutationOverlap(ctx);
    if (!ctx.pSettings->loggingOn) return 1;
    if (ctx.inputCapacitor.inputVoltage > ctx.pControlInput->lockoutLevelA) LogConductionConsistency();
    if (CheckFloatingPointStatus()) Log(13237);
    return 1;
}
