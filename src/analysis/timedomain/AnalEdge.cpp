#include "analysis/timedomain/AnalEdge.h"

#include <algorithm>
#include <cmath>

#include "analysis/context/AnalContext.h"
#include "analysis/models/AnalMPri.h"

namespace {

// A value the design does not give counts as none.
double Given(double v) { return v == NOT_SET || !std::isfinite(v) ? 0.0 : v; }

double PeriodOf(const AnalysisContext& ctx) {
    const double measured = ctx.stepState.switchingPeriod;
    return measured > 0.0 ? measured : ctx.pSettings->switchingPeriodSetting;
}

void AddTransitionLoss(AnalysisContext& ctx, double energy, double fixedPower) {
    const double period = PeriodOf(ctx);
    if (period > 0.0 && std::isfinite(energy)) ctx.primary.cycleAccumulator += energy / period + fixedPower;
}

bool ClampSwitchOf(const PrimaryInputRec& pi) { return IsActiveClamp(pi.topology) && pi.turnOnFlagA; }

// Loads a timer; a due one is spent at once and reported.
bool Load(double& timer, double delay) {
    timer = delay;
    if (timer > kTimerDue) return false;
    timer = -1.0;
    return true;
}

bool CountDown(double& timer, double h) {
    if (!(timer > 0.0)) return false;
    timer -= h;
    if (timer > kTimerDue) return false;
    timer = -1.0;
    return true;
}

// What a synchronous rectifier's timer completes: rectifier 1's channel is driven from the
// on-edge to the off-edge, rectifier 2's from the off-edge to the on-edge. A driven channel
// conducts either way at once; one let go keeps conducting through its diode while the current
// flows forward (the step set-up ends it when the current does).
void RectifierOnEdgeDone(SecondaryRectifierStateRec& rs, int32_t r) {
    if (r == 0) {
        rs.switchPathASettled = 1;
        rs.switchPathAOn = rs.rectifier1On = 1;
    } else {
        rs.delayExpired = 1;
        rs.switchPathBOn = 0;
    }
}
void RectifierOffEdgeDone(SecondaryRectifierStateRec& rs, int32_t r) {
    if (r == 1) {
        rs.switchPathBSettled = 1;
        rs.switchPathBOn = rs.diodeConducting = 1;
    } else {
        rs.delayExpired = 1;
        rs.switchPathAOn = 0;
    }
}

bool RectifierEnabled(const SecondaryRectifierInputRec& ri, int32_t r) {
    return (r == 0 ? ri.frequencyAnalysisFlagA : ri.frequencyAnalysisFlagB) != 0;
}

}  // namespace

TransitionParams TransitionParamsOf(const AnalysisContext& ctx) {
    const PrimaryInputRec& pi = *ctx.pPrimaryInput;
    TransitionParams p;
    p.noCalc = pi.transitionNoCalc;
    p.doubled = pi.transitionDoubled;
    p.winding = pi.transitionWinding;
    p.clamp = pi.transitionClamp;
    p.capE = pi.transitionCapE;
    p.clampSwitch = ClampSwitchOf(pi) ? 1 : 0;
    p.auxElement = pi.auxElementOn;
    p.turnsRatio = Given(pi.primaryTurns);
    p.leakage = Given(pi.primaryLeakage);
    p.auxCoupling = Given(pi.auxCoupling);
    p.magnetizing = Given(pi.magnetizingInductanceNominal);
    p.csw = Given(pi.stepSetupParamR);
    p.cb = p.doubled ? Given(pi.stepSetupParamG) : 0.0;
    p.cc = Given(pi.primaryWindingCapacitance);
    p.cd = Given(pi.clampSwitchCapacitance);
    p.ce = Given(pi.transitionCapacitanceE);
    p.cf = p.winding ? Given(pi.stepSetupParamH) : 0.0;
    p.cg = Given(pi.resetWindingCapacitance);
    p.windingTurns = p.winding ? Given(pi.resetTurns) : 0.0;
    p.vb = p.doubled ? Given(pi.sectionQuantityParamI) : 0.0;
    p.vd = p.winding ? Given(pi.sectionQuantityParamJ) : 0.0;
    p.ve = Given(pi.transitionVoltageE);
    p.fixedPower = Given(pi.transitionFixedPower);
    p.outputs = std::min(ctx.pSettings->outputCount, kMaxOutputs);
    const double leakages[kMaxOutputs] = {pi.stepSetupParamB, pi.stepSetupParamC, pi.stepSetupParamD,
                                          pi.stepSetupParamE};
    for (int32_t j = 0; j < p.outputs; ++j) {
        const SecondaryRectifierInputRec& ri = *ctx.pSecondaryRectifierInput[j];
        const OutputFilterInputRec& fi = *ctx.pOutputFilterInput[j];
        const OutputChokeStateRec& ch = ctx.outputChoke[j];
        TransitionOutput& o = p.out[j];
        o.turns = Given(fi.secondaryTurns);
        o.cr1 = Given(ri.stepSetupParamA);
        o.cr2 = Given(ri.stepSetupParamB);
        o.cr3 = Given(ri.stepSetupParamC);
        o.leakage = Given(leakages[j]);
        o.chokeCurrent = Given(ch.chokeCurrent);
        o.chokeSlope = Given(ch.currentSlope);
        o.polarity = fi.outputSign < 0 ? -1.0 : 1.0;
        o.rectifierVoltage = Given(ctx.secondaryRectifier[j].rectifier1AnodeToCathodeVoltage);
    }
    return p;
}

void BeginDriveOnEdge(AnalysisContext& ctx) {
    const PrimaryInputRec& pi = *ctx.pPrimaryInput;
    PrimaryStateRec& pri = ctx.primary;
    EngineStore& st = ctx.engine;
    const int32_t n = std::min(ctx.pSettings->outputCount, kMaxOutputs);
    // The drive's rise cancels what its fall started.
    st.offEdgeTimer = st.clampOffEdgeTimer = -1.0;
    double dmin = Given(pi.turnOnDelay);
    for (int32_t j = n - 1; j >= 0; --j) {
        const SecondaryRectifierInputRec& ri = *ctx.pSecondaryRectifierInput[j];
        const double delays[2] = {Given(ri.rect1OnEdgeDelay), Given(ri.rect2OnEdgeDelay)};
        SecondaryRectifierStateRec& rs = ctx.secondaryRectifier[j];
        rs.switchPathASettled = 0;
        rs.delayExpired = 0;
        for (int32_t r = 0; r < 2; ++r) {
            st.rectOffEdgeTimer[j][r] = -1.0;
            if (RectifierEnabled(ri, r) && !ctx.outputChoke[j].chokeFlagA && delays[r] < dmin) dmin = delays[r];
        }
    }
    const TransitionResult td = CalcOnEdgeTransition(TransitionParamsOf(ctx), Given(pri.switch1Voltage),
                                                     ctx.inputCapacitor.inputVoltage, dmin);
    AddTransitionLoss(ctx, td.energy, 0.0);

    if (Load(st.onEdgeTimer, Given(pi.turnOnDelay) + td.delay)) pri.switch1OnRequest = 1;
    if (ClampSwitchOf(pi) && Load(st.clampOnEdgeTimer, Given(pi.clampSwitchOnEdgeDelay) + td.delay))
        pri.clampSwitchOffRequest = 1;
    for (int32_t j = n - 1; j >= 0; --j) {
        const SecondaryRectifierInputRec& ri = *ctx.pSecondaryRectifierInput[j];
        const double delays[2] = {Given(ri.rect1OnEdgeDelay), Given(ri.rect2OnEdgeDelay)};
        for (int32_t r = 0; r < 2; ++r) {
            if (!RectifierEnabled(ri, r)) continue;
            st.rectTimersOn = 1;
            if (Load(st.rectOnEdgeTimer[j][r], delays[r] + td.delay)) RectifierOnEdgeDone(ctx.secondaryRectifier[j], r);
        }
    }
}

void BeginDriveOffEdge(AnalysisContext& ctx, bool currentLimited) {
    const PrimaryInputRec& pi = *ctx.pPrimaryInput;
    PrimaryStateRec& pri = ctx.primary;
    EngineStore& st = ctx.engine;
    const int32_t n = std::min(ctx.pSettings->outputCount, kMaxOutputs);
    const TransitionParams params = TransitionParamsOf(ctx);
    const TransitionResult td = CalcOffEdgeTransition(params, Given(pri.switch1Current),
                                                      Given(pri.clampCapacitorVoltage), ctx.inputCapacitor.inputVoltage);
    // The capacitances swing at a current-limited edge too; its delays are the measured ones,
    // with no transition delay added.
    AddTransitionLoss(ctx, td.energy, params.fixedPower);
    const double added = currentLimited ? 0.0 : td.delay;

    st.clampOnEdgeTimer = -1.0;
    if (st.onEdgeTimer > 0.0) {
        // The pulse ended before switch 1 followed it: it never turns on.
        st.onEdgeTimer = -1.0;
    } else if (Load(st.offEdgeTimer,
                    Given(currentLimited ? pi.stepSetupParamQ : pi.stepSetupParamP) + added)) {
        pri.switch1OffRequest = 1;
    }
    if (ClampSwitchOf(pi) &&
        Load(st.clampOffEdgeTimer,
             Given(currentLimited ? pi.clampSwitchLimitDelay : pi.clampSwitchOffEdgeDelay) + added))
        pri.clampSwitchOnRequest = 1;
    for (int32_t j = n - 1; j >= 0; --j) {
        const SecondaryRectifierInputRec& ri = *ctx.pSecondaryRectifierInput[j];
        const double delays[2] = {Given(currentLimited ? ri.rect1LimitDelay : ri.rect1OffEdgeDelay),
                                  Given(currentLimited ? ri.rect2LimitDelay : ri.rect2OffEdgeDelay)};
        SecondaryRectifierStateRec& rs = ctx.secondaryRectifier[j];
        rs.switchPathBSettled = 0;
        rs.delayExpired = 0;
        for (int32_t r = 0; r < 2; ++r) {
            st.rectOnEdgeTimer[j][r] = -1.0;
            if (!RectifierEnabled(ri, r)) continue;
            st.rectTimersOn = 1;
            if (Load(st.rectOffEdgeTimer[j][r], delays[r] + added)) RectifierOffEdgeDone(rs, r);
        }
    }
}

int32_t CountDownEdgeTimers(AnalysisContext& ctx, double h) {
    PrimaryStateRec& pri = ctx.primary;
    EngineStore& st = ctx.engine;
    int32_t expired = 0;
    if (CountDown(st.onEdgeTimer, h)) pri.switch1OnRequest = expired = 1;
    if (CountDown(st.offEdgeTimer, h)) pri.switch1OffRequest = expired = 1;
    if (CountDown(st.clampOnEdgeTimer, h)) pri.clampSwitchOffRequest = expired = 1;
    if (CountDown(st.clampOffEdgeTimer, h)) pri.clampSwitchOnRequest = expired = 1;
    if (!st.rectTimersOn) return expired;
    for (int32_t j = std::min(ctx.pSettings->outputCount, kMaxOutputs) - 1; j >= 0; --j)
        for (int32_t r = 0; r < 2; ++r) {
            if (CountDown(st.rectOnEdgeTimer[j][r], h)) {
                RectifierOnEdgeDone(ctx.secondaryRectifier[j], r);
                expired = 1;
            }
            if (CountDown(st.rectOffEdgeTimer[j][r], h)) {
                RectifierOffEdgeDone(ctx.secondaryRectifier[j], r);
                expired = 1;
            }
        }
    return expired;
}

double NextEdgeTimer(const EngineStore& st, int32_t outputs) {
    double next = -1.0;
    auto take = [&next](double t) {
        if (t > kTimerDue && (next < 0.0 || t < next)) next = t;
    };
    take(st.onEdgeTimer);
    take(st.offEdgeTimer);
    take(st.clampOnEdgeTimer);
    take(st.clampOffEdgeTimer);
    if (!st.rectTimersOn) return next;
    for (int32_t j = std::min(outputs, kMaxOutputs) - 1; j >= 0; --j)
        for (int32_t r = 0; r < 2; ++r) {
            take(st.rectOnEdgeTimer[j][r]);
            take(st.rectOffEdgeTimer[j][r]);
        }
    return next;
}

void StartTransitionPeriod(AnalysisContext& ctx) {
    ctx.engine.periodTransitionLoss = ctx.primary.cycleAccumulator;
    ctx.primary.cycleAccumulator = 0.0;
}

void DetermineActiveClampState(AnalysisContext& ctx) {
    PrimaryStateRec& p = ctx.primary;
    const bool on = p.switch1OnRequest, off = p.switch1OffRequest;
    const bool clampOn = p.clampSwitchOnRequest, clampOff = p.clampSwitchOffRequest;
    const bool diodeEnds = p.switch1DiodeOffRequest, clampDiodeEnds = p.clampSwitchDiodeOffRequest;
    const bool diodeStarts = p.switch1DiodeOnRequest, clampDiodeStarts = p.clampSwitchDiodeOnRequest;
    p.switch1OnRequest = p.switch1OffRequest = p.clampSwitchOnRequest = p.clampSwitchOffRequest = 0;
    p.switch1DiodeOffRequest = p.clampSwitchDiodeOffRequest = p.switch1DiodeOnRequest = p.clampSwitchDiodeOnRequest = 0;
    const bool conducted = p.switch1Conducting || p.clampSwitchActive;
    if (off) p.switch1Conducting = 0;
    if (clampOff) p.clampSwitchActive = 0;
    if (diodeEnds) p.switch1DiodeConducting = 0;
    if (clampDiodeEnds) p.clampSwitchDiodeConducting = 0;
    // An idle primary whose drain swings past a body diode's forward voltage starts it.
    if (diodeStarts) p.switch1DiodeConducting = 1;
    if (clampDiodeStarts) p.clampSwitchDiodeConducting = 1;
    if (clampOn) {
        // A conducting body diode stays beside the channel until its drop says otherwise.
        p.clampSwitchActive = 1;
        p.switch1Conducting = p.switch1DiodeConducting = 0;
    }
    if (on) {
        p.switch1Conducting = 1;
        p.switch1DiodeConducting = 0;
        p.clampSwitchActive = p.clampSwitchDiodeConducting = 0;
    }
    // A channel that opened hands its current to the body diode that can carry it.
    const bool sw1 = p.switch1Conducting || p.switch1DiodeConducting;
    const bool clamp = p.clampSwitchActive || p.clampSwitchDiodeConducting;
    if (conducted && !sw1 && !clamp) {
        const double ip = p.primaryWindingCurrent;
        if (ip > 0.0) p.clampSwitchDiodeConducting = 1;
        else if (ip < 0.0) p.switch1DiodeConducting = 1;
    }
    if (p.switch1Conducting || p.switch1DiodeConducting) p.switchState = 2;
    else if (p.clampSwitchActive || p.clampSwitchDiodeConducting) p.switchState = ResetInterval(p.switchState) ? p.switchState : 1;
    else p.switchState = 0;
}

void SettleResetInterval(AnalysisContext& ctx) {
    PrimaryStateRec& p = ctx.primary;
    if (!ResetInterval(p.switchState)) return;
    int32_t forward = 0;
    for (int32_t j = std::min(ctx.pSettings->outputCount, kMaxOutputs) - 1; j >= 0; --j)
        if (ctx.secondaryRectifier[j].rectifier1On) forward = 1;
    p.switchState = forward ? 3 : 1;
}

int32_t ActiveClampDiodeEvents(AnalysisContext& ctx, double current, double slope) {
    PrimaryStateRec& p = ctx.primary;
    const PrimaryInputRec& pi = *ctx.pPrimaryInput;
    if (p.switchState == 0) {
        // The drain above the clamp, or below the return, by a forward voltage.
        if (-p.clampSwitchAux4 > pi.clampSwitchDiodeParamA) {
            p.clampSwitchDiodeOnRequest = 1;
            return 1;
        }
        if (p.switch1Voltage < -pi.switch1DiodeParamA) {
            p.switch1DiodeOnRequest = 1;
            return 1;
        }
        return 0;
    }
    if (p.switchState == 2 && !p.switch1Conducting && p.switch1DiodeConducting && CurrentEnded(-current, -slope)) {
        p.switch1DiodeOffRequest = 1;
        return 1;
    }
    if (ResetInterval(p.switchState) && !p.clampSwitchActive && p.clampSwitchDiodeConducting && CurrentEnded(current, slope)) {
        p.clampSwitchDiodeOffRequest = 1;
        return 1;
    }
    // Beside the clamp switch's channel its body diode conducts while the drop is past its
    // forward voltage.
    if (ResetInterval(p.switchState) && p.clampSwitchActive) {
        const double drop = -p.clampSwitchAux4;
        if (!p.clampSwitchDiodeConducting && drop > pi.clampSwitchDiodeParamA) {
            p.clampSwitchDiodeOnRequest = 1;
            return 1;
        }
        if (p.clampSwitchDiodeConducting && drop < pi.clampSwitchDiodeParamA) {
            p.clampSwitchDiodeOffRequest = 1;
            return 1;
        }
    }
    return 0;
}
