// The initialisation loop searches the periodic steady state by shooting: the start state is
// kept in a block, one switching period is run from it, and each corrected quantity of the
// block moves by a factor times its drift over the period (end - start), level by level,
// until one period ends where it began. The factor halves when a drift grows or changes sign
// strongly and grows by 1.5 while the drift shrinks only slowly, so that a quantity whose
// drift does not shrink stops being corrected once its factor is spent.
//
// Those per-quantity steps leave an output filter's choke-capacitor resonance alone when it is
// slow against the period: the choke then drifts by less than its tolerance per period while
// the capacitor sits off its settled voltage, and the run rings at that amplitude; and where
// the outputs are coupled (chokes on one core, windings that share the transformer's drops, a
// second filter stage) correcting one quantity at a time pulls the others round. The output
// filters' slow states x (each output's capacitors, choke and second-stage inductor) are
// therefore also solved together, before the levels and after them: the trial map x -> F(x)
// over one period is nearly linear there, so Newton steps on the drift d(x) = F(x) - x,
//   J·dx = -d,   J = dF/dx - 1,
// reach its fixed point; J is measured by perturbing one state at a time (ten tolerances) and
// reused while the drift at least halves per step. With the capacitor voltage V, the choke
// current I, the load R and the choke's source voltage E constant over the period
//   C·dV/dt = I - V/R,   L·dI/dt = E - V
// the drifts over a period T are dV = (I - V/R)·T/C and dI = (E - V)·T/L, linear in the errors,
// so one step lands within the switching ripple's own nonlinearity. A choke that runs dry
// starts every period at 0 A whatever it started with: its column of J is -1 on the diagonal
// and the step puts it back to 0. The primary's clamp capacitor (and a resonant reset's
// capacitor) rings with the magnetising inductance as slowly: its voltage, and where the
// capacitor carries it at the period start the primary current, are solved the same way.
//
// The filter refinement does not move the control networks' charge, which the closed loop sets: the
// shooting refinement (ShootingSlots) solves the slow states of the power stage and the
// control together, before the levels (so that they start from small drifts) and after the
// filter steps. A level that reaches its iteration limit ends the loop with its message only
// when the shooting refinement cannot find the periodic point either.
#include "analysis/timedomain/AnalLoop.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <numbers>
#include <type_traits>

#include "analysis/context/AnalContext.h"
#include "analysis/models/AnalInSS.h"
#include "analysis/models/AnalInit.h"
#include "analysis/models/AnalMOpto.h"
#include "analysis/models/AnalMOut.h"
#include "analysis/models/AnalMRamp.h"
#include "analysis/models/AnalMVea.h"
#include "analysis/timedomain/AnalABCP.h"
#include "analysis/timedomain/AnalDABC.h"
#include "analysis/timedomain/AnalSetT.h"
#include "analysis/timedomain/AnalTime.h"
#include "records/Utils.h"

namespace {

constexpr UINT kModuleAnalLoop = 56016;
constexpr double kTwoPi = 2.0 * std::numbers::pi;
constexpr int kLevels = 8;  // 1..7
constexpr UINT kNoPeriodEnd = 58960;
constexpr double kPeriodsWithoutEnd = 100.0;
constexpr int32_t kMaxFilterStates = 6 * kMaxOutputs + 2 + 6 * kMaxLinePhases + 2;
constexpr int32_t kActiveClampFamily = 7;
constexpr int32_t kResonantResetFamily = 5;

// A complete copy of the context's state: the start state of the next trial period. The
// step's own hand-over slots and device bookkeeping belong to the state as well.
struct AnalysisStateBlock {
    StepStateRec step;
    LinePhaseStateRec linePhase[kMaxLinePhases];
    LineRectifierStateRec lineRectifier;
    InputCapacitorStateRec inputCapacitor;
    PrimaryStateRec primary;
    SecondaryWindingStateRec secondaryWinding[kMaxOutputs];
    SecondaryRectifierStateRec secondaryRectifier[kMaxOutputs];
    OutputChokeStateRec outputChoke[kMaxOutputs];
    OutputFilterStateRec outputFilter[kMaxOutputs];
    LoadNetworkStateRec loadNetwork[kMaxOutputs];
    ControlStateRec control;
    EngineStore engine;
};
// Compared and copied bytewise by the loop.
static_assert(std::is_trivially_copyable_v<AnalysisStateBlock>);

void StoreAnalysisSnapshot(AnalysisStateBlock& b) {
    const AnalysisContext& c = *GetAnalysisContext();
    b.step = c.stepState;
    for (int32_t p = 0; p < kMaxLinePhases; ++p) b.linePhase[p] = c.linePhase[p];
    b.lineRectifier = c.lineRectifier;
    b.inputCapacitor = c.inputCapacitor;
    b.primary = c.primary;
    for (int32_t j = 0; j < kMaxOutputs; ++j) {
        b.secondaryWinding[j] = c.secondaryWinding[j];
        b.secondaryRectifier[j] = c.secondaryRectifier[j];
        b.outputChoke[j] = c.outputChoke[j];
        b.outputFilter[j] = c.outputFilter[j];
        b.loadNetwork[j] = c.loadNetwork[j];
    }
    b.control = c.control;
    b.engine = c.engine;
}

void LoadAnalysisSnapshot(const AnalysisStateBlock& b) {
    AnalysisContext& c = *GetAnalysisContext();
    c.stepState = b.step;
    for (int32_t p = 0; p < kMaxLinePhases; ++p) c.linePhase[p] = b.linePhase[p];
    c.lineRectifier = b.lineRectifier;
    c.inputCapacitor = b.inputCapacitor;
    c.primary = b.primary;
    for (int32_t j = 0; j < kMaxOutputs; ++j) {
        c.secondaryWinding[j] = b.secondaryWinding[j];
        c.secondaryRectifier[j] = b.secondaryRectifier[j];
        c.outputChoke[j] = b.outputChoke[j];
        c.outputFilter[j] = b.outputFilter[j];
        c.loadNetwork[j] = b.loadNetwork[j];
    }
    c.control = b.control;
    c.engine = b.engine;
}

bool QuitRequested(const AnalysisContext& ctx) { return ctx.pQuitEvent && ctx.pQuitEvent->IsSet(); }

int32_t OutputsInUse(const AnalysisContext& ctx) {
    const int32_t n = ctx.pSettings->outputCount;
    return n >= 1 && n <= kMaxOutputs ? n : 0;
}

int32_t Code(int code) {
    ReportMessage1(kModuleAnalLoop, code, FALSE);
    return 0;
}

// In hysteretic control a period that outgrows its limit cannot reach the target frequency.
int32_t CheckComparatorHysteresis(const AnalysisContext& ctx) {
    if (ctx.pControlInput->controlMode == 3 && ctx.stepState.cycleTime > ctx.pSettings->comparatorHysteresisLimit) {
        ReportMessageFirstBox(52083);
        return 0;
    }
    return 1;
}

}  // namespace

int32_t CorrectQuantity(IterationVar& v, int32_t* converged, double* value, double start, double end,
                        double tolerance, int code) {
    v.previousError = v.error;
    v.previousSign = v.sign;
    v.error = end - start;
    v.sign = v.error > 0.0 ? 1 : 0;
    const double e = std::fabs(v.error), p = std::fabs(v.previousError);
    const bool changed = v.sign != v.previousSign;
    if (e > p) v.factor /= 2.0;
    else if (changed && e > 0.5 * p) v.factor /= 2.0;
    else if (!changed && e > 0.9 * p && e < p && v.factor < 0.6) v.factor *= 1.5;
    *value += v.factor * v.error;
    if (e > std::max(std::fabs(tolerance), 0.001) && v.factor > 0.001) *converged = 0;
    if (GetAnalysisContext()->pSettings->loggingOn && CheckFloatingPointStatus()) return Code(code);
    return std::isfinite(*value) ? 1 : 0;
}

namespace {

struct LoopCyclesResult {
    int32_t stateTwo = 0;
    double duty = 0.0;
    double balance = 0.0;
    double integralB = 0.0;
    double lastFlow = 0.0;
    double integralA = 0.0;
    double max1 = 0.0, min1 = 0.0, max2 = 0.0, min2 = 0.0;
};

// Steps the engine as a run does, whole periods. Mode 0 one period (samples and control
// integrals), 1 until the settle time at a period start, 2 until the clamp quantities have
// turned more than twice. 0 ended, 1 failure, 2 quit.
int32_t RunLoopCycles(CycleSample* start, CycleSample* end, LoopCyclesResult& r, int32_t mode, double settle) {
    AnalysisContext& ctx = *GetAnalysisContext();
    StepStateRec& step = ctx.stepState;
    ControlStateRec& ctl = ctx.control;
    const ControlInputRec& ci = *ctx.pControlInput;
    PrimaryStateRec& pri = ctx.primary;
    const bool hysteretic = ci.controlMode == 3;
    double onTime = 0.0, counted = 0.0;
    bool started = false, firstEdge = true, done = false;
    int32_t turns1 = 0, turns2 = 0, periodStarts = 0;
    bool rising1 = false, rising2 = false, lastRising1 = false, lastRising2 = false;
    double prev1 = pri.clampCapacitorVoltage, prev2 = pri.clampCapacitorCurrent;
    if (mode == 0) {
        r.balance = r.integralB = r.lastFlow = r.integralA = 0.0;
        if (hysteretic) {
            ctl.hystInput = 0.0;
            ctl.rampCapacitorVoltage = ctl.pwmControlVoltage;
            ctl.pwmComparatorDifferential = -0.0001;
            step.nextTimeStep = 1e-9;
        } else {
            CaptureCycleSample(start);
        }
    } else if (mode == 2) {
        r.max1 = r.min1 = pri.clampCapacitorVoltage;
        r.max2 = r.min2 = pri.clampCapacitorCurrent;
    } else {
        ctl.hystInput = 0.0;
        ctl.pwmComparatorDifferential = -0.0001;
    }
    const double period = step.switchingPeriod;
    // A period that never ends (the clock never restarts) must not hold the run.
    // The clamp's measuring run may take its 101 period starts before it ends.
    const double deadline =
        step.time + (mode == 1 ? settle : 0.0) + (mode == 2 ? 101.0 * period : 0.0) + kPeriodsWithoutEnd * period;
    bool sawStateTwo = false;
    for (;;) {
        const int32_t wasOn = step.driveOn;
        if (!DeterminePrimarySwitchState()) {
            Code(5001);
            ReportMessageFirstBox(52210);
            return 1;
        }
        if (pri.switchState == 2) sawStateTwo = true;
        if (!UpdateControlSectionState()) {
            Code(5002);
            ReportMessageFirstBox(52187);
            return 1;
        }
        if (!DetermineTimeStep()) {
            Code(5003);
            ReportMessageFirstBox(52211);
            return 1;
        }
        if (!AssembleStateMatrices()) {
            Code(5004);
            return 1;
        }
        if (!CalcControlSectionQuantities()) {
            Code(5005);
            ReportMessageFirstBox(52187);
            return 1;
        }
        if (!CheckComparatorHysteresis(ctx)) {
            Code(5035);
            return 1;
        }
        const double dt = step.inverseTimeStepTermA;
        if (mode == 0) {
            if (step.driveOn) onTime += dt;
            if (!hysteretic || (step.driveOn && !wasOn)) started = true;
            if (started) {
                counted += dt;
                r.balance += (ctl.errorAmpFlowA + (ci.hasErrorAmpFlowB ? ctl.errorAmpFlowB : 0.0)) * dt;
                if (ci.hasErrorAmpStateB) r.lastFlow = ctl.errorAmpFlowC * dt;
                if (ci.hasCurrentAmp) {
                    r.integralB += ctl.currentAmpFlowB * dt;
                    r.integralA += ctl.currentAmpFlowA * dt;
                }
            }
            if (!hysteretic) {
                // The clock restarts the period at the step that reaches its top.
                if (started && step.cycleTime == 0.0 && counted > 0.5 * period) {
                    CaptureCycleSample(end);
                    r.duty = onTime / counted;
                    done = true;
                    if (wasOn && sawStateTwo) r.stateTwo = 1;
                }
            } else if (step.driveOn && !wasOn) {
                if (firstEdge) {
                    CaptureCycleSample(start);
                    firstEdge = false;
                    onTime = dt;
                    counted = dt;
                } else {
                    CaptureCycleSample(end);
                    r.duty = onTime / counted;
                    done = true;
                }
            }
            if (hysteretic && ctl.pwmComparatorNonInverting < ci.veaLowerLimit) {
                ctl.pwmComparatorNonInverting = ci.veaLowerLimit;
                const double k = ci.hystFilterResistance * ci.hystFilterCapacitance / dt;
                ctl.hystFiltered = ((ctl.hystInput - ci.veaLowerLimit) + k * ctx.controlSnapshot.hystFiltered) / (k + 1.0);
                ctl.pwmComparatorDifferential = ctl.pwmComparatorNonInverting - ctl.rampCapacitorVoltage;
            }
        } else if (mode == 2 && step.cycleTime == 0.0) {
            // The first period start only takes the directions; it counts no turn.
            const double v1 = pri.clampCapacitorVoltage, v2 = pri.clampCapacitorCurrent;
            rising1 = prev1 < v1;
            rising2 = prev2 < v2;
            r.max1 = std::max(r.max1, v1);
            r.min1 = std::min(r.min1, v1);
            r.max2 = std::max(r.max2, v2);
            r.min2 = std::min(r.min2, v2);
            if (periodStarts > 0) {
                if (rising1 != lastRising1) ++turns1;
                if (rising2 != lastRising2) ++turns2;
            }
            lastRising1 = rising1;
            lastRising2 = rising2;
            ++periodStarts;
        }
        if (mode == 2) {
            prev1 = pri.clampCapacitorVoltage;
            prev2 = pri.clampCapacitorCurrent;
        }
        ++step.stepCount;
        if (!DetermineTimeStepAfterStep()) {
            Code(5006);
            ReportMessageFirstBox(52211);
            return 1;
        }
        if (QuitRequested(ctx)) return 2;
        if (step.time > deadline) {
            Code(5006);
            ReportMessageFirstBox(kNoPeriodEnd);
            return 1;
        }
        bool ends = false;
        if (mode == 0) ends = done;
        // Hysteretic control starts its periods at the drive's rising edges, within a step.
        else if (mode == 1)
            ends = settle <= step.time && (hysteretic ? step.driveOn && !wasOn : step.cycleTime == 0.0);
        else {
            // A clamp that stays where it started over three periods (the state already
            // periodic) shows no swing to measure: the run ends there rather than after 100.
            const double v1 = std::fabs(pri.clampCapacitorVoltage), v2 = std::fabs(pri.clampCapacitorCurrent);
            const bool still = periodStarts >= 3 && r.max1 - r.min1 <= std::max(5e-5 * v1, 0.001) &&
                               r.max2 - r.min2 <= std::max(5e-5 * v2, 0.001);
            ends = ((turns1 > 2 && turns2 > 2) || periodStarts > 100 || still) && step.cycleTime == 0.0;
        }
        if (ends) return 0;
        if (step.stepCount % 200 == 0) PostRunStatus(998);
    }
}

// An offset x at the error amplifier, folded into its state.
void FoldIntoAmplifier(const ControlInputRec& ci, ControlStateRec& c, double x) {
    if (ci.hasErrorAmpStateA)
        c.errorAmpStateA = ci.limitSetB ? c.errorAmpStateA - ci.offsetDividerNum * x / ci.offsetDividerDen
                                        : c.errorAmpStateA + x;
    double v = ci.hasErrorAmpStateC ? c.errorAmpStateC : c.errorAmpStateB;
    if (ci.limitSetB)
        v += ci.offsetDividerNum * x / ci.offsetDividerDen * ci.offsetGainNum / ci.offsetGainDen1 / ci.offsetGainDen2;
    else if (ci.limitSetA)
        v += ci.offsetGainNum * x / ci.offsetGainDen1 / ci.offsetGainDen2;
    else
        v += x;
    if (ci.hasErrorAmpStateC) c.errorAmpStateC = v;
    if (ci.hasErrorAmpStateB) c.errorAmpStateB = v;
}

// Trial periods with an offset added at the error amplifier, until its integrator balances.
// 0 found, 1 failure, 2 quit, 3 limit.
int32_t FindControlOffset(CycleSample* start, CycleSample* end, AnalysisStateBlock& block, double* offset,
                          LoopCyclesResult& r) {
    AnalysisContext& ctx = *GetAnalysisContext();
    const ControlInputRec& ci = *ctx.pControlInput;
    const ControlStateRec& ctl = ctx.control;
    double s = 0.01;
    double balance = 0.0, duty = 0.0;
    int32_t sign = 0;
    r.stateTwo = 0;
    for (int32_t n = 0;;) {
        if (n % 50 == 0) PostRunStatus(998);
        ++n;
        const double previousBalance = balance, previousDuty = duty;
        const int32_t previousSign = sign;
        const int32_t result = RunLoopCycles(start, end, r, 0, 0.0);
        if (result == 1) {
            Code(5007);
            ctx.pParams->runStatus = 2;
            return 1;
        }
        if (result == 2) {
            Code(5008);
            ctx.pParams->runStatus = 2;
            return 2;
        }
        bool done = false;
        const double m = ctl.pwmControlVoltage;
        if (!ci.limitSetA) done = m <= ci.veaLowerLimit || ci.errorUpperLimit <= m;
        else if (!ci.limitSetB) done = m <= 0.0 || ci.pwmLimitUpperA <= m;
        else done = m <= ci.pwmLimitLowerB || ci.pwmLimitUpperB <= m;
        balance = r.balance;
        duty = r.duty;
        sign = balance > 0.0 ? 1 : 0;
        if (n > 1) {
            const double e = std::fabs(balance), p = std::fabs(previousBalance);
            if (e > p) s /= 3.0;
            else if (sign != previousSign && e >= 0.5 * p) s /= 3.0;
            else if (sign == previousSign && e > 0.7 * p) s *= 1.5;
        }
        const bool balanced = (balance > 0.0 && duty == 0.0) || (balance < 0.0 && r.stateTwo) ||
                              (std::fabs(duty - previousDuty) < 0.0001 && duty != 0.0 && !r.stateTwo) || s < 1e-5;
        if (balanced) {
            done = true;
            if (ci.hasErrorAmpStateB)
                block.control.errorAmpStateB += ci.errorAmpStateBGain * r.lastFlow / ctx.stepState.switchingPeriod / 2.0;
        }
        // Without an integrator current there is nothing to balance: the offset stays.
        const double before = *offset;
        if (balance < 0.0 || (balance == 0.0 && (ci.hasErrorAmpFlowB || ci.hasErrorAmpStateB)))
            *offset += s;
        else if (balance > 0.0)
            *offset -= s;
        // The offset goes into the amplifier's state as it is found, so that every later trial
        // period (this search's and the other levels') runs with it.
        FoldIntoAmplifier(ci, block.control, *offset - before);
        LoadAnalysisSnapshot(block);
        if (done) return 0;
        // The limit's message waits for the shooting refinement (RunInitializationLoop).
        if (n >= ctx.pSettings->initIterationLimit) return 3;
    }
}

// Switching periods in one cycle of the design's periodic sources (1 without any): the
// operating point repeats over that cycle, not over one switching period.
int32_t SourceCyclePeriods() {
    const AnalysisContext& ctx = *GetAnalysisContext();
    return SwitchingPeriodsPerSourceCycle(*ctx.pSettings, *ctx.pLineSourceInput, ctx.pLoadNetworkInput);
}

// The trial's end state of the primary and of the line rectifier into the block; true when
// the magnetising current moved by more than the loop's current tolerance (1 mA) or a line
// rectifier diode changed its state.
bool FoldPrimaryEnd(AnalysisStateBlock& block) {
    const AnalysisContext& ctx = *GetAnalysisContext();
    double moved = std::fabs(ctx.primary.magnetizingCurrent - block.primary.magnetizingCurrent);
    // The estimate starts every line diode blocking, as at an AC line's peak; a DC line keeps
    // its rectifier conducting, and a trial that starts with it blocked charges the bulk a
    // step late every period.
    const LineRectifierStateRec& lr = ctx.lineRectifier;
    const LineRectifierStateRec& lb = block.lineRectifier;
    if (lr.diode1State != lb.diode1State || lr.diode2State != lb.diode2State || lr.diode3State != lb.diode3State ||
        lr.diode4State != lb.diode4State || lr.diode5State != lb.diode5State || lr.diode6State != lb.diode6State ||
        lr.diode7State != lb.diode7State || lr.diode8State != lb.diode8State)
        moved = 1.0;
    block.lineRectifier = ctx.lineRectifier;
    block.primary = ctx.primary;
    const EngineStore& e = ctx.engine;
    EngineStore& b = block.engine;
    b.primaryCurrent = e.primaryCurrent;
    b.primaryCurrentPrev = e.primaryCurrentPrev;
    b.primaryCurrentSlope = e.primaryCurrentSlope;
    b.resetCurrentPrev = e.resetCurrentPrev;
    b.resetCurrentSlope = e.resetCurrentSlope;
    b.senseTransformerConducting = e.senseTransformerConducting;
    return std::isfinite(moved) && moved > 0.001;
}

// The output filters' slow states, solved together by Newton steps on the drift over a
// trial: each output's first-stage capacitor and choke, its damping capacitor, and the second
// stage's inductor and capacitors. The chokes on one core, the outputs that share the
// transformer's drops and the second stage's resonance all couple them, so the drift of each
// depends on every other: the trial's Jacobian is measured by perturbing one state at a time
// and reused (chord steps) while the drifts keep shrinking by half.
enum FilterQuantity {
    kCapA, kChoke, kCapA2, kInductorB, kCapB, kCapB2,
    // The DC line side (the index is the line phase's): the bulk capacitors, the line's own
    // inductance and the line filter's inductors and capacitors.
    kBulk1, kBulk2, kLineCurrent, kLineInductor1, kLineInductor2, kLineDamping, kLineCapacitor, kLineCapacitor2,
    // The primary's clamp (or reset) capacitor, and the primary current that an active
    // clamp's capacitor rings with through the magnetising inductance.
    kClamp, kPrimaryCurrent
};

struct FilterStates {
    int32_t count = 0;
    int32_t output[kMaxFilterStates];
    FilterQuantity quantity[kMaxFilterStates];
    double tolerance[kMaxFilterStates];  // the loop's tolerance on its drift over one trial
    double perturbation[kMaxFilterStates];
};

// A state's value in the context or in the block (the records of the same names).
template <class Records>
double ValueIn(const Records& r, int32_t j, FilterQuantity q) {
    const OutputFilterStateRec& f = r.outputFilter[j];
    switch (q) {
    case kCapA: return f.capAVoltage;
    case kChoke: return r.outputChoke[j].chokeCurrent;
    case kCapA2: return f.capA2Voltage;
    case kInductorB: return f.inductorBCurrent;
    case kCapB: return f.capBVoltage;
    case kCapB2: return f.capB2Voltage;
    case kBulk1: return r.inputCapacitor.capacitorVoltage1;
    case kBulk2: return r.inputCapacitor.capacitorVoltage2;
    case kLineCurrent: return r.linePhase[j].lineCurrentHeld;
    case kLineInductor1: return r.linePhase[j].firstInductorCurrent;
    case kLineInductor2: return r.linePhase[j].secondInductorCurrent;
    case kLineDamping: return r.linePhase[j].dampingBranchCurrent;
    case kLineCapacitor: return r.linePhase[j].filterCapVoltage;
    case kLineCapacitor2: return r.linePhase[j].filterCapVoltage2;
    case kClamp:
        return (GetAnalysisContext()->pPrimaryInput->topology | 1) == kResonantResetFamily ? r.primary.capacitorVoltage
                                                                                           : r.primary.clampCapacitorVoltage;
    default: return r.primary.primaryWindingCurrent;
    }
}

// Writes one state into the block with every copy the step reads.
void SetBlockValue(AnalysisStateBlock& b, int32_t j, FilterQuantity q, double value) {
    const OutputFilterInputRec& fi = *GetAnalysisContext()->pOutputFilterInput[j];
    OutputFilterStateRec& f = b.outputFilter[j];
    switch (q) {
    case kCapA:
        f.capAVoltage = f.capacitorVoltage = f.capacitorVoltage1 = value;
        break;
    case kChoke: {
        OutputChokeStateRec& ch = b.outputChoke[j];
        ch.chokeCurrent = ch.reportedChokeCurrent = value;
        // A skim winding's own current leaves the choke's only by what its core-loss shunt
        // takes, which settles within a fraction of a period.
        ch.skimCurrent = value;
        // The step takes the freewheeling rectifier's current as the choke's at the start.
        SecondaryRectifierStateRec& rs = b.secondaryRectifier[j];
        if (rs.diodeConducting && !rs.rectifier1On) {
            rs.diodeCurrent = rs.rectifier2TotalAnodeToCathodeCurrent = value;
            b.engine.output[j].freewheelCurrent = value;
        }
        rs.chokeCurrentCopy = value;
        break;
    }
    case kCapA2:
        f.capA2Voltage = f.capacitor2Voltage = value;
        break;
    case kInductorB:
        f.inductorBCurrent = value;
        if (!fi.hasDampingB) {
            f.secondInductorCurrent = value;
            f.dampingInductorCurrent = 0.0;
        } else {
            f.secondInductorCurrent = value / fi.inductorBShareBase * fi.inductorBShare;
            f.dampingInductorCurrent = value / fi.inductorBShareBase * fi.secondInductorResistance;
        }
        break;
    case kCapB:
        f.capBVoltage = f.outputCapacitorVoltageCopy = value;
        break;
    case kCapB2:
        f.capB2Voltage = f.outputCapacitor2Voltage = value;
        break;
    case kBulk1:
        b.inputCapacitor.capacitorVoltage1 = value;
        break;
    case kBulk2:
        b.inputCapacitor.capacitorVoltage2 = value;
        break;
    case kLineCurrent:
        b.linePhase[j].lineCurrentHeld = value;
        break;
    case kLineInductor1:
        b.linePhase[j].firstInductorCurrent = value;
        break;
    case kLineInductor2:
        b.linePhase[j].secondInductorCurrent = value;
        break;
    case kLineDamping:
        b.linePhase[j].dampingBranchCurrent = value;
        if (GetAnalysisContext()->pLineSourceInput->dampingInductorOn) b.linePhase[j].dampingInductorCurrent = value;
        break;
    case kLineCapacitor:
        b.linePhase[j].filterCapVoltage = value;
        break;
    case kLineCapacitor2:
        b.linePhase[j].filterCapVoltage2 = value;
        break;
    case kClamp: {
        PrimaryStateRec& p = b.primary;
        p.capacitorVoltage = p.capacitorVoltageCopy = value;
        if ((GetAnalysisContext()->pPrimaryInput->topology | 1) != kResonantResetFamily)
            p.clampCapacitorVoltage = p.clampCapacitorVoltageState = value;
        break;
    }
    default: {
        // The period starts with the clamp switch carrying the primary current; the
        // magnetising current moves with it (the secondaries' reflected share stays).
        PrimaryStateRec& p = b.primary;
        const double delta = value - p.primaryWindingCurrent;
        p.primaryWindingCurrent = p.idleTestCurrent = value;
        p.magnetizingCurrent += delta;
        p.magnetizingCurrentCopy1 = p.transformerPrimaryCurrent = p.magnetizingCurrent;
        if (p.switchState == 1 && (GetAnalysisContext()->pPrimaryInput->topology | 1) == kActiveClampFamily) {
            p.clampCapacitorCurrent = value;
            p.clampSwitchCurrent = -value;
        }
        if ((GetAnalysisContext()->pPrimaryInput->topology | 1) == kResonantResetFamily && !p.switch1DiodeConducting)
            p.resetCapacitorCurrent = value;
        break;
    }
    }
}

void Add(FilterStates& st, int32_t j, FilterQuantity q, double tolerance) {
    const double tol = std::max(std::fabs(tolerance), 0.001);
    if (!std::isfinite(tol) || st.count >= kMaxFilterStates) return;
    st.output[st.count] = j;
    st.quantity[st.count] = q;
    st.tolerance[st.count] = tol;
    st.perturbation[st.count] = 10.0 * tol;
    ++st.count;
}

// Tolerances as the loop's levels take them: a capacitor's T·I/C/100, a choke's T·V/L/100.
FilterStates FilterStatesOf(const AnalysisStateBlock& b, int32_t periods) {
    const AnalysisContext& ctx = *GetAnalysisContext();
    FilterStates st;
    const double t = ctx.stepState.switchingPeriod * periods;
    for (int32_t j = 0; j < OutputsInUse(ctx); ++j) {
        const OutputFilterInputRec& fi = *ctx.pOutputFilterInput[j];
        const OutputChokeInputRec& ch = *ctx.pOutputChokeInput[j];
        const double load = b.loadNetwork[j].loadCurrent;
        if (fi.capacitorOn) Add(st, j, kCapA, t * load / fi.capACapacitance / 100.0);
        // The choke at the inductance the step starts from (a saturable core's looked-up one).
        if (ch.chokeOn)
            Add(st, j, kChoke, t * ctx.pLoadNetworkInput[j]->outputVoltage / b.outputChoke[j].inductance / 100.0);
        if (fi.hasCapA2) Add(st, j, kCapA2, t * load / fi.capACapacitance / 100.0);
        if (fi.hasInductorB) Add(st, j, kInductorB, 0.001 * load);
        if (fi.hasCapB) Add(st, j, kCapB, t * load / fi.capBCapacitance / 100.0);
        if (fi.hasCapB2) Add(st, j, kCapB2, t * load / fi.capBCapacitance / 100.0);
    }
    // A clamp capacitor charges over many periods through its resistor or the magnetising
    // inductance: 1 mV.
    const int32_t family = ctx.pPrimaryInput->topology | 1;
    if (ctx.pPrimaryInput->hasClampCapacitor || family == kResonantResetFamily) Add(st, 0, kClamp, 0.0);
    if (family == kActiveClampFamily || family == kResonantResetFamily) Add(st, 0, kPrimaryCurrent, 0.0);
    // The line side settles with its own filter's and bulk capacitor's time constants, as
    // slow as the outputs': 1 mV and 1 mA.
    const LineSourceInputRec& li = *ctx.pLineSourceInput;
    {
        const AnalysisSettingsRec& set = *ctx.pSettings;
        Add(st, 0, kBulk1, 0.0);
        if (set.inputCapacitorVariant == 2 || set.inputCapacitorVariant == 3) Add(st, 0, kBulk2, 0.0);
        const int32_t phases = set.linePhaseCount >= 1 && set.linePhaseCount <= kMaxLinePhases ? set.linePhaseCount : 1;
        for (int32_t p = 0; p < phases; ++p) {
            if (li.lineInductance > 0.0) Add(st, p, kLineCurrent, 0.0);
            if (li.firstInductorOn) Add(st, p, kLineInductor1, 0.0);
            if (li.secondInductorOn) Add(st, p, kLineInductor2, 0.0);
            if (li.dampingResistorOn) Add(st, p, kLineDamping, 0.0);
            if (li.sourceOn) Add(st, p, kLineCapacitor, 0.0);
            if (li.inputCapacitorOn) Add(st, p, kLineCapacitor2, 0.0);
        }
    }
    return st;
}

// A fixed-point step over a whole source cycle, judged by the largest drift `norm` of its
// trial against the last step's: the step is taken only while each cycle shrinks it at least
// tenfold. A map that shrank the drift by rho leaves its fixed point within rho/(1 - rho)·norm
// of the trial's end, so the end is converged where that is below `bound`. The first step has
// nothing to compare with and is always taken. kHeld: not contracting, *lastNorm kept.
enum class Contraction { kHeld, kStepped, kConverged };
Contraction ContractionStep(double norm, double* lastNorm, double bound) {
    if (!std::isfinite(norm)) return Contraction::kHeld;
    if (!(*lastNorm > 0.0)) {
        *lastNorm = norm;
        return Contraction::kStepped;
    }
    if (!(norm < 0.1 * *lastNorm)) return Contraction::kHeld;
    const double rho = norm / *lastNorm;  // below 0.1 here, so 1 - rho never vanishes
    *lastNorm = norm;
    return norm * rho / (1.0 - rho) < bound ? Contraction::kConverged : Contraction::kStepped;
}

// The last trial over a whole source cycle: the block it started from and the state it ended
// in. A trial is a deterministic function of its block, so the shooting refinement's first
// trial from the block the filters' refinement last tried is read from here, not run again.
struct TrialMemo {
    int32_t periods = 0;  // 0: none yet
    AnalysisStateBlock start;
    AnalysisStateBlock end;
};

// One trial of `periods` switching periods from the block; the drift of every state, each
// in units of its tolerance. 0, 1 failure, 2 quit.
int32_t TrialDrifts(AnalysisStateBlock& block, const FilterStates& st, int32_t periods, CycleSample* start,
                    CycleSample* end, double* drift, TrialMemo* memo) {
    LoadAnalysisSnapshot(block);
    for (int32_t k = 0; k < periods; ++k) {
        LoopCyclesResult r;
        const int32_t run = RunLoopCycles(start, end, r, 0, 0.0);
        if (run != 0) return run;
    }
    if (memo && periods > 1) {
        std::memcpy(&memo->start, &block, sizeof block);
        StoreAnalysisSnapshot(memo->end);
        memo->periods = periods;
    }
    const AnalysisContext& ctx = *GetAnalysisContext();
    for (int32_t i = 0; i < st.count; ++i)
        drift[i] = (ValueIn(ctx, st.output[i], st.quantity[i]) - ValueIn(block, st.output[i], st.quantity[i])) /
                   st.tolerance[i];
    return 0;
}

// Solves a·y = b in place (partial pivoting); false when singular.
bool SolveDense(double (&a)[kMaxFilterStates][kMaxFilterStates], double* b, int32_t n) {
    for (int32_t c = 0; c < n; ++c) {
        int32_t p = c;
        for (int32_t r = c + 1; r < n; ++r)
            if (std::fabs(a[r][c]) > std::fabs(a[p][c])) p = r;
        if (!(std::fabs(a[p][c]) > 1e-12)) return false;
        if (p != c) {
            for (int32_t k = 0; k < n; ++k) std::swap(a[p][k], a[c][k]);
            std::swap(b[p], b[c]);
        }
        for (int32_t r = c + 1; r < n; ++r) {
            const double m = a[r][c] / a[c][c];
            for (int32_t k = c; k < n; ++k) a[r][k] -= m * a[c][k];
            b[r] -= m * b[c];
        }
    }
    for (int32_t c = n - 1; c >= 0; --c) {
        double v = b[c];
        for (int32_t k = c + 1; k < n; ++k) v -= a[c][k] * b[k];
        b[c] = v / a[c][c];
    }
    return true;
}

// Until every drift is a hundredth of its tolerance, or the trial budget (the iteration limit)
// is spent: the last state stays in the block. 0 done, 1 failure, 2 quit.
int32_t RefineOutputFilters(AnalysisStateBlock& block, CycleSample* start, CycleSample* end, bool first,
                            bool* converged, TrialMemo* memo) {
    *converged = false;
    AnalysisContext& ctx = *GetAnalysisContext();
    // A trial covers a whole cycle of the periodic sources (a load sine), over which the
    // operating point repeats. A resonant reset rings on into the next period, alternating
    // from period to period and dying away slowly: its trials take an even number of periods,
    // so that the alternation does not read as a drift, and before the first solve the whole
    // converter runs on for forty periods from the estimate, so that the ring has died down
    // in the state the solve starts from.
    const int32_t family = ctx.pPrimaryInput->topology | 1;
    int32_t periods = std::max(SourceCyclePeriods(), 1);
    if (family == kResonantResetFamily && periods % 2 != 0) periods *= 2;
    if (first && family == kResonantResetFamily) {
        LoadAnalysisSnapshot(block);
        LoopCyclesResult r;
        const double settle = ctx.stepState.time + 40.0 * ctx.stepState.switchingPeriod;
        const int32_t run = RunLoopCycles(nullptr, nullptr, r, 1, settle);
        if (run != 0) {
            Code(run == 1 ? 5007 : 5008);
            ctx.pParams->runStatus = 2;
            return run;
        }
        const ControlStateRec control = block.control;
        StoreAnalysisSnapshot(block);
        block.control = control;
    }
    const FilterStates st = FilterStatesOf(block, periods);
    const int32_t n = st.count;
    if (n == 0) return 0;
    double jac[kMaxFilterStates][kMaxFilterStates] = {};
    double lu[kMaxFilterStates][kMaxFilterStates];
    double d0[kMaxFilterStates], di[kMaxFilterStates], step[kMaxFilterStates];
    bool haveJacobian = false;
    double lastNorm = 0.0;
    int32_t relaxations = 0;
    const int32_t budget = 4 * ctx.pSettings->initIterationLimit;
    for (int32_t trials = 0; trials < budget;) {
        const int32_t run = TrialDrifts(block, st, periods, start, end, d0, memo);
        ++trials;
        if (run != 0) {
            Code(run == 1 ? 5007 : 5008);
            ctx.pParams->runStatus = 2;
            return run;
        }
        // The primary's own states (magnetising current, reset and clamp circuits) settle
        // within a few periods: trials start from where the last one left them, so that the
        // filters are balanced against the primary's periodic swing, not its first one.
        // The fold takes the primary's end state; a clamp voltage the solve holds keeps its
        // start, which its drift was measured from.
        const double clamp = block.primary.clampCapacitorVoltage;
        const PrimaryStateRec before = block.primary;
        const bool moved = FoldPrimaryEnd(block);
        if (ctx.pPrimaryInput->hasClampCapacitor) SetBlockValue(block, 0, kClamp, clamp);
        if (family == kActiveClampFamily || family == kResonantResetFamily) block.primary = before;
        if (moved && relaxations < 20) {
            ++relaxations;
            continue;
        }
        double norm = 0.0;
        for (int32_t i = 0; i < n; ++i) norm = std::max(norm, std::fabs(d0[i]));
        if (!std::isfinite(norm)) return 0;
        if (norm < 0.01) {
            // Over a source cycle the block its trial confirmed, not the primary's fold, so
            // that the shooting refinement reads that trial from the memo.
            if (memo && periods > 1 && memo->periods == periods) std::memcpy(&block, &memo->start, sizeof block);
            *converged = true;
            break;
        }
        // Over a whole source cycle the line side and the filters mostly forget their start:
        // while one cycle shrinks the drifts tenfold, its end is the better start, for one
        // trial where a Jacobian takes one per state; an end within a hundredth of the fixed
        // point is taken without a further trial to confirm it.
        if (periods > 1 && !haveJacobian) {
            const Contraction step = ContractionStep(norm, &lastNorm, 0.01);
            if (step != Contraction::kHeld) {
                for (int32_t c = 0; c < n; ++c)
                    SetBlockValue(block, st.output[c], st.quantity[c], ValueIn(ctx, st.output[c], st.quantity[c]));
                if (step == Contraction::kConverged) {
                    *converged = true;
                    break;
                }
                continue;
            }
        }
        if (!haveJacobian || norm > 0.5 * lastNorm) {
            for (int32_t c = 0; c < n && trials < budget; ++c) {
                const int32_t j = st.output[c];
                const FilterQuantity q = st.quantity[c];
                const double x = ValueIn(block, j, q);
                const int32_t sign = ctx.pOutputFilterInput[j]->outputSign < 0 ? -1 : 1;
                const double h = sign * st.perturbation[c];
                SetBlockValue(block, j, q, x + h);
                const int32_t r = TrialDrifts(block, st, periods, start, end, di, memo);
                ++trials;
                SetBlockValue(block, j, q, x);
                if (r != 0) {
                    Code(r == 1 ? 5007 : 5008);
                    ctx.pParams->runStatus = 2;
                    return r;
                }
                for (int32_t row = 0; row < n; ++row) jac[row][c] = (di[row] - d0[row]) / (h / st.tolerance[c]);
            }
            haveJacobian = true;
        }
        lastNorm = norm;
        // J·y = -d, in tolerance units; the state moves by y tolerances.
        for (int32_t r = 0; r < n; ++r) {
            for (int32_t c = 0; c < n; ++c) lu[r][c] = jac[r][c];
            step[r] = -d0[r];
        }
        if (!SolveDense(lu, step, n)) break;
        for (int32_t c = 0; c < n; ++c) {
            const double next = ValueIn(block, st.output[c], st.quantity[c]) + step[c] * st.tolerance[c];
            if (!std::isfinite(next)) return 0;
            SetBlockValue(block, st.output[c], st.quantity[c], next);
        }
    }
    LoadAnalysisSnapshot(block);
    return 0;
}

// The shooting refinement: the period map x -> F(x) of the slow states (each output's
// capacitor voltages and inductor currents, the capacitors of the control networks) solved
// for F(x) = x by Newton steps, the Jacobian of the drift g(x) = F(x) - x taken by finite
// differences, one trial period per state:
//   J·dx = -g(x),  J[:, i] = (g(x + d_i·e_i) - g(x)) / d_i.
// The per-quantity corrections leave what couples the outputs to the control: an
// integrating error amplifier drifts by only T/(R1·C3) of the feedback error in a period,
// so its charge is far below any drift tolerance when the duty is wrong by a per cent, and a
// current limit makes the choke's end current independent of its start. Both are plain
// entries of J. A step is limited to a share of each state's range; the state whose Newton
// step was smallest is kept when the iterations run out.
enum class SlotKind { CapA, Choke, CapB, InductorB, Modulator, Control };

struct Slot {
    SlotKind kind = SlotKind::Control;
    int32_t j = 0;                          // output
    double ControlStateRec::*field = nullptr;
    double delta = 0.0;                     // finite-difference step
    double tolerance = 0.0;                 // a Newton step below it is converged
    double range = 0.0;                     // the largest step taken at once
};

constexpr int kMaxSlots = 24;
constexpr int32_t kShootingIterations = 20;
constexpr int32_t kQuickShootingIterations = 3;
// The quick start's run-out of a resonant reset's ring: it dies to a millivolt within about
// twenty periods; forty as the precise start's relaxation takes.
constexpr int32_t kResetRingPeriods = 40;

template <class State>
double& SlotValue(State& s, const Slot& k) {
    switch (k.kind) {
    case SlotKind::CapA: return s.outputFilter[k.j].capAVoltage;
    case SlotKind::Choke: return s.outputChoke[k.j].chokeCurrent;
    case SlotKind::CapB: return s.outputFilter[k.j].capBVoltage;
    case SlotKind::InductorB: return s.outputFilter[k.j].inductorBCurrent;
    case SlotKind::Modulator: return s.secondaryRectifier[k.j].modulatorVoltage;
    default: return s.control.*k.field;
    }
}

void SetSlot(AnalysisStateBlock& b, const AnalysisContext& ctx, const Slot& k, double v) {
    const OutputFilterInputRec& fi = *ctx.pOutputFilterInput[k.j];
    switch (k.kind) {
    case SlotKind::CapA:
        SetBlockValue(b, k.j, kCapA, v);
        if (fi.hasCapA2) SetBlockValue(b, k.j, kCapA2, v);
        break;
    case SlotKind::Choke: SetBlockValue(b, k.j, kChoke, v); break;
    case SlotKind::CapB:
        SetBlockValue(b, k.j, kCapB, v);
        if (fi.hasCapB2) SetBlockValue(b, k.j, kCapB2, v);
        break;
    case SlotKind::InductorB: SetBlockValue(b, k.j, kInductorB, v); break;
    case SlotKind::Modulator: b.secondaryRectifier[k.j].modulatorVoltage = v; break;
    default: b.control.*k.field = v; break;
    }
}

// The slow states of the design at the block's start state.
int32_t ShootingSlots(const AnalysisContext& ctx, const AnalysisStateBlock& b, Slot* slots) {
    int32_t n = 0;
    const auto add = [&](Slot k) {
        if (n < kMaxSlots) slots[n++] = k;
    };
    const auto volts = [](double v, double floor) {
        const double scale = std::max(std::fabs(v), floor);
        return Slot{SlotKind::CapA, 0, nullptr, 1e-3 * scale, 1e-4 * scale, 0.2 * scale};
    };
    for (int32_t j = 0; j < OutputsInUse(ctx); ++j) {
        const OutputFilterInputRec& fi = *ctx.pOutputFilterInput[j];
        const double v = std::fabs(ctx.pLoadNetworkInput[j]->outputVoltage);
        const double i = std::max(std::fabs(b.loadNetwork[j].loadCurrent), 0.01);
        const Slot amps{SlotKind::Choke, j, nullptr, 1e-3 * i, 1e-4 * i, 0.5 * i};
        if (fi.capacitorOn) {
            Slot k = volts(v, 1.0);
            k.j = j;
            add(k);
        }
        // A choke that runs dry starts every period at 0 A: no state of its own.
        const int32_t sign = fi.outputSign < 0 ? -1 : 1;
        if (ctx.pOutputChokeInput[j]->chokeOn && sign * b.outputChoke[j].chokeCurrent > 0.0 &&
            b.secondaryRectifier[j].diodeConducting) {
            Slot k = amps;
            add(k);
        }
        if (fi.hasCapB) {
            Slot k = volts(v, 1.0);
            k.kind = SlotKind::CapB;
            k.j = j;
            add(k);
        }
        if (fi.hasInductorB) {
            Slot k = amps;
            k.kind = SlotKind::InductorB;
            add(k);
        }
        // The feedback's modulator lag, where it remembers more than e^-5 of its start over a
        // period.
        if (ctx.pSecondaryRectifierInput[j]->dutyWeight != 0.0 &&
            fi.engineSetupParamA > 0.2 * ctx.stepState.switchingPeriod) {
            Slot k = volts(v, 1.0);
            k.kind = SlotKind::Modulator;
            k.j = j;
            add(k);
        }
    }
    const ControlInputRec& ci = *ctx.pControlInput;
    const auto control = [&](double ControlStateRec::*field, double scale) {
        add(Slot{SlotKind::Control, 0, field, 1e-3 * scale, 1e-5 * scale, 0.25 * scale});
    };
    // The error amplifier's capacitors: C3 (the feedback network's voltage), C2, C1.
    const VeaNetwork vea = VeaNetworkOf(ci);
    const double span = std::max(vea.upper - vea.lower, 0.1);
    if (vea.HasC3()) control(&ControlStateRec::errorAmpStateC, span);
    if (vea.HasR3C2()) control(&ControlStateRec::errorAmpStateB, span);
    if (vea.HasInputBranch()) control(&ControlStateRec::errorAmpAux, span);
    if (ci.hasCurrentAmp) {
        const VeaNetwork ca = CurrentAmpNetworkOf(ci);
        const double caSpan = std::max(ca.upper - ca.lower, 0.1);
        control(&ControlStateRec::currentAmpStateB, caSpan);
        control(&ControlStateRec::currentAmpStateA, caSpan);
    }
    const OptoNetwork opto = OptoNetworkOf(ci);
    if (opto.topology >= 0 && opto.topology <= 5) {
        // The photo transistor's lag: its collector current.
        control(&ControlStateRec::optoLedCurrent, std::max(std::fabs(b.control.optoLedCurrent), 1e-4));
        if (opto.HasPole()) control(&ControlStateRec::errorAmpStateA, std::max(opto.biasVoltage, 0.1));
    }
    if (ci.controlMode == 0) {
        // The peak current ramp's capacitors, where they hold charge across the period.
        const RampNetwork ramp = RampNetworkOf(ci);
        const double period = ctx.stepState.switchingPeriod;
        const double clockSpan = std::max(ci.clockUpperLimit - ci.clockLowerLimit, 0.1);
        if (ramp.ra * ramp.ca > 0.05 * period) control(&ControlStateRec::clockDividerVoltage, clockSpan);
        if (ramp.rb * ramp.cb > 0.05 * period) control(&ControlStateRec::rampCapacitorVoltage, clockSpan);
    }
    return n;
}

class InitLoop {
public:
    explicit InitLoop(AnalysisContext& ctx) : ctx_(ctx), limit_(ctx.pSettings->initIterationLimit) {}

    void Store() { StoreAnalysisSnapshot(block_); }

    int32_t Run() {
        // The output filters solved together first: the levels' one-quantity corrections then
        // start next to the periodic point, where coupled outputs no longer pull each other
        // round.
        if (const int32_t r = Refine()) return r;
        factor1_ = 2.0;
        previousError1_ = 0.0;
        return Level1();
    }

    int32_t Refine() {
        // The levels left a periodic state untouched: a further trial, over a whole source
        // cycle on an AC line, would only confirm it.
        if (periodic_ && std::memcmp(&periodicBlock_, &block_, sizeof block_) == 0) {
            LoadAnalysisSnapshot(block_);
            return 0;
        }
        const bool first = !refined_;
        refined_ = true;
        const int32_t r = RefineOutputFilters(block_, &start_, &end_, first, &periodic_, &memo_);
        if (periodic_) std::memcpy(&periodicBlock_, &block_, sizeof block_);
        return r;
    }

    // Newton steps on the period map of the slow states (see ShootingSlots), at most the
    // given number; the step from the state whose step was smallest stays in the block. 0, or
    // 1/2 as a failed or stopped trial.
    int32_t Shoot(bool* converged, int32_t iterations) {
        *converged = false;
        Slot slots[kMaxSlots];
        const int32_t n = ShootingSlots(ctx_, block_, slots);
        if (n == 0) return 0;
        double bestScore = std::numeric_limits<double>::infinity();
        best_ = block_;
        // Over a whole source cycle every slot may forget its start (see Relax).
        bool relaxing = SourceCyclePeriods() > 1;
        double lastNorm = 0.0;
        for (int32_t iter = 0; iter < iterations; ++iter) {
            ++shootingSteps_;
            double g0[kMaxSlots];
            if (const int32_t r = Drift(slots, n, g0)) return r;
            if (AlreadyPeriodic(slots, n, g0)) {
                LoadAnalysisSnapshot(block_);
                *converged = true;
                return 0;
            }
            if (relaxing) {
                const int32_t r = Relax(slots, n, g0, &lastNorm, converged);
                if (r < 0) {
                    LoadAnalysisSnapshot(block_);
                    return 0;
                }
                if (r > 0) continue;
                relaxing = false;  // a slot that does not forget its start: Newton steps
            }
            base_ = block_;
            double jac[kMaxSlots][kMaxSlots];
            for (int32_t i = 0; i < n; ++i) {
                SetSlot(block_, ctx_, slots[i], SlotValue(base_, slots[i]) + slots[i].delta);
                double gi[kMaxSlots];
                if (const int32_t r = Drift(slots, n, gi)) return r;
                for (int32_t row = 0; row < n; ++row) jac[row][i] = (gi[row] - g0[row]) / slots[i].delta;
                block_ = base_;
            }
            double rhs[kMaxSlots], dx[kMaxSlots], own[kMaxSlots];
            for (int32_t i = 0; i < n; ++i) {
                rhs[i] = -g0[i];
                own[i] = jac[i][i];  // the solve overwrites the matrix
            }
            relaxingSlots_ = n;
            for (int32_t i = 0; i < n; ++i)
                if (!(std::fabs(own[i]) >= 0.5)) relaxingSlots_ = 0;
            if (!::SolveDense(n, jac, rhs, dx)) break;
            double score = 0.0, shrink = 1.0;
            for (int32_t i = 0; i < n; ++i) {
                const double size = std::fabs(dx[i]);
                score = std::max(score, size / slots[i].tolerance);
                // A state that relaxes within the period (its own drift undoes most of an
                // error) cannot run away: only the slow ones limit the step.
                const bool slow = std::fabs(own[i]) < 0.5;
                if (slow && size > slots[i].range) shrink = std::min(shrink, slots[i].range / size);
            }
            if (!std::isfinite(score)) break;
            for (int32_t i = 0; i < n; ++i) SetSlot(block_, ctx_, slots[i], SlotValue(base_, slots[i]) + shrink * dx[i]);
            if (score < bestScore) {
                bestScore = score;
                best_ = block_;
            }
            if (score < 1.0) {
                LoadAnalysisSnapshot(block_);
                *converged = true;
                return 0;
            }
        }
        block_ = best_;
        LoadAnalysisSnapshot(block_);
        return 0;
    }

    int32_t ShootingSteps() const { return shootingSteps_; }

    // The quick start over a periodic source's cycle: fixed-point steps of the whole state (the
    // line side and the bulk with the outputs and the control; ContractionStep), the largest
    // drift taken with each state in its tolerance: an end within one tolerance of the fixed
    // point is the quick start's point. A cycle that does not shrink the drift
    // (a loop slower than the cycle) leaves the block where that cycle started, its trial in the
    // memo for the Newton steps. At most `cycles` cycles. 0, or 1/2 as a failed or stopped trial.
    int32_t RunOnSourceCycles(int32_t cycles, bool* converged) {
        *converged = false;
        const int32_t periods = std::max(SourceCyclePeriods(), 1);
        const FilterStates st = FilterStatesOf(block_, periods);
        Slot slots[kMaxSlots];
        const int32_t n = ShootingSlots(ctx_, block_, slots);
        double drift[kMaxFilterStates];
        double lastNorm = 0.0;
        for (int32_t c = 0; c < cycles; ++c) {
            if (const int32_t r = TrialDrifts(block_, st, periods, &start_, &end_, drift, &memo_)) {
                Code(r == 1 ? 5007 : 5008);
                ctx_.pParams->runStatus = 2;
                return r;
            }
            double norm = 0.0;
            for (int32_t i = 0; i < st.count; ++i) norm = std::max(norm, std::fabs(drift[i]));
            for (int32_t i = 0; i < n; ++i)
                norm = std::max(norm, std::fabs(SlotValue(ctx_, slots[i]) - SlotValue(block_, slots[i])) / slots[i].tolerance);
            const Contraction step = ContractionStep(norm, &lastNorm, 1.0);
            if (step == Contraction::kHeld) break;
            TakeEndState();
            if (step == Contraction::kConverged) {
                *converged = true;
                break;
            }
        }
        LoadAnalysisSnapshot(block_);
        return 0;
    }

    // A resonant reset's capacitor rings with the magnetising and leakage inductances into the
    // next period, alternating and dying away over tens of periods; the output filter's Newton
    // point moves with it. The converter runs on from the Newton point, period by period, until
    // the capacitor voltage and the primary current at the period start repeat within 1 mV and
    // 1 mA over two periods running (at most `limit` periods), and that state is the start.
    int32_t RunOutResetRing(int32_t limit) {
        LoadAnalysisSnapshot(block_);
        double v = ctx_.primary.capacitorVoltage, i = ctx_.primary.primaryWindingCurrent;
        int32_t still = 0;
        for (int32_t k = 0; k < limit && still < 2; ++k) {
            LoopCyclesResult r;
            if (const int32_t run = RunLoopCycles(&start_, &end_, r, 0, 0.0)) {
                Code(run == 1 ? 5007 : 5008);
                ctx_.pParams->runStatus = 2;
                return run;
            }
            const double dv = ctx_.primary.capacitorVoltage - v, di = ctx_.primary.primaryWindingCurrent - i;
            v = ctx_.primary.capacitorVoltage;
            i = ctx_.primary.primaryWindingCurrent;
            still = std::fabs(dv) < 0.001 && std::fabs(di) < 0.001 ? still + 1 : 0;
        }
        TakeEndState();
        LoadAnalysisSnapshot(block_);
        return 0;
    }

    // The block with the offset found (already folded into its error amplifier state).
    void FoldOffset() { LoadAnalysisSnapshot(block_); }

    // A level's iteration limit that the shooting refinement could not make good either.
    void ReportLimit() {
        if (limitCode_) Code(limitCode_);
        ReportMessage(53023, TRUE);
        if (limitSecond_) ReportMessageFirstBox(limitSecond_);
    }

private:
    // Every slot relaxed within the trial when the Jacobian was last measured (its own drift
    // undoing at least half of an error): a drift of a hundredth of its tolerance then leaves a
    // Newton step well inside it, and the trials of a new Jacobian, each a whole source cycle
    // on an AC line, are saved.
    bool AlreadyPeriodic(const Slot* slots, int32_t n, const double* g) const {
        if (relaxingSlots_ != n) return false;
        for (int32_t i = 0; i < n; ++i)
            if (!(std::fabs(g[i]) < 0.01 * slots[i].tolerance)) return false;
        return true;
    }

    // A fixed-point step of the map over a whole source cycle, for slots that forget their
    // start within it (ContractionStep, the drifts in tolerances): the end is taken as
    // converged within a tenth of every tolerance; each slot then relaxed, as AlreadyPeriodic
    // needs. 1 stepped, -1 converged, 0 not contracting (the block unchanged).
    int32_t Relax(const Slot* slots, int32_t n, const double* g, double* lastNorm, bool* converged) {
        double norm = 0.0;
        for (int32_t i = 0; i < n; ++i) norm = std::max(norm, std::fabs(g[i]) / slots[i].tolerance);
        const Contraction step = ContractionStep(norm, lastNorm, 0.1);
        if (step == Contraction::kHeld) return 0;
        for (int32_t i = 0; i < n; ++i) SetSlot(block_, ctx_, slots[i], SlotValue(block_, slots[i]) + g[i]);
        if (step == Contraction::kStepped) return 1;
        relaxingSlots_ = n;
        best_ = block_;
        *converged = true;
        return -1;
    }

    // One trial period from the block: each slot's drift into g. 0, or 1/2 as the loop.
    int32_t Drift(const Slot* slots, int32_t n, double* g) {
        if (memo_.periods == std::max(SourceCyclePeriods(), 1) &&
            std::memcmp(&memo_.start, &block_, sizeof block_) == 0) {
            for (int32_t i = 0; i < n; ++i) g[i] = SlotValue(memo_.end, slots[i]) - SlotValue(block_, slots[i]);
            return 0;
        }
        LoadAnalysisSnapshot(block_);
        LoopCyclesResult r;
        int32_t run = 0;
        for (int32_t k = std::max(SourceCyclePeriods(), 1); k > 0 && run == 0; --k)
            run = RunLoopCycles(&start_, &end_, r, 0, 0.0);
        if (run == 1 || run == 2) {
            Code(run == 1 ? 5007 : 5008);
            ctx_.pParams->runStatus = 2;
            return run;
        }
        for (int32_t i = 0; i < n; ++i) g[i] = SlotValue(ctx_, slots[i]) - SlotValue(block_, slots[i]);
        return 0;
    }

    // The context's state after whole periods into the block, on the block's run clock: the
    // settling that follows counts its time from there.
    void TakeEndState() {
        const StepStateRec was = block_.step;
        StoreAnalysisSnapshot(block_);
        const double shift = block_.step.time - was.time;
        block_.step.time = was.time;
        block_.step.stepCount = was.stepCount;
        if (block_.step.lastDriveEdgeTime != NOT_SET) block_.step.lastDriveEdgeTime -= shift;
    }

    int32_t Limit(int level, UINT second) {
        if (converged_[level] || counter_[level] < limit_) return 0;
        limitSecond_ = second;
        return 3;
    }

    void EnterInner(int level) {
        if (level != 2) counter_[level + 1] = 0;
        if (level >= 3 && level <= 6)
            for (IterationVar& v : var_[level + 1]) v.factor = 0.9;
    }

    // Clamp capacitor voltage and its difference term, measured by a mode-2 run.
    static void AdaptClampFactor(double& factor, double error, double previousError, int32_t sign,
                                 int32_t previousSign) {
        const double e = std::fabs(error), p = std::fabs(previousError);
        if (e > p) factor /= 2.0;
        else if (e > 0.5 * p && sign != previousSign) factor /= 2.0;
        else if (e > 0.7 * p && sign == previousSign) factor *= 1.5;
    }

    int32_t Level1() {
        const bool clamp = ctx_.pPrimaryInput->hasClampCapacitor != 0;
        do {
            ++counter_[1];
            converged_[1] = 1;
            if (counter_[1] > 1) {
                previousError1_ = error1_;
                previousSign1_ = sign1_;
            }
            EnterInner(1);
            factor2_ = 2.0;
            previousError2_ = 0.0;
            counter_[2] = 0;
            if (const int32_t r = Level2()) return r;
            if (clamp) {
                // The mean of the measured current extremes against the block's current: the
                // drift of the same quantity, so both sides are amperes.
                error1_ = (r_.max2 + r_.min2) / 2.0 - block_.primary.clampCapacitorCurrent;
                sign1_ = error1_ > 0.0 ? 1 : 0;
                AdaptClampFactor(factor1_, error1_, previousError1_, sign1_, previousSign1_);
                block_.primary.clampCapacitorCurrent += factor1_ * error1_;
                block_.primary.transformerPrimaryCurrent = block_.primary.clampCapacitorCurrent;
                block_.primary.primaryWindingCurrent = block_.primary.clampCapacitorCurrent;
                const double e = std::fabs(error1_);
                if (counter_[1] == 1 ||
                    (e > 5e-5 * std::fabs(ctx_.primary.clampCapacitorCurrent) && e > 0.001 && factor1_ > 0.01))
                    converged_[1] = 0;
            }
            if (const int32_t r = Limit(1, 52217)) return r;
        } while (!converged_[1]);
        return 0;
    }

    int32_t Level2() {
        const bool clamp = ctx_.pPrimaryInput->hasClampCapacitor != 0;
        do {
            ++counter_[2];
            converged_[2] = 1;
            if (counter_[2] > 1) {
                previousError2_ = error2_;
                previousSign2_ = sign2_;
            }
            EnterInner(2);
            if (const int32_t r = Level3()) return r;
            if (clamp) {
                LoopCyclesResult m;
                const int32_t run = RunLoopCycles(&start_, &end_, m, 2, 0.0);
                if (run == 1) {
                    Code(5036);
                    ReportMessageFirstBox(52217);
                    ctx_.pParams->runStatus = 2;
                    return 1;
                }
                if (run == 2) {
                    Code(5037);
                    ctx_.pParams->runStatus = 2;
                    return 2;
                }
                r_.max1 = m.max1;
                r_.min1 = m.min1;
                r_.max2 = m.max2;
                r_.min2 = m.min2;
                error2_ = (m.max1 + m.min1) / 2.0 - block_.primary.clampCapacitorVoltage;
                sign2_ = error2_ > 0.0 ? 1 : 0;
                AdaptClampFactor(factor2_, error2_, previousError2_, sign2_, previousSign2_);
                block_.primary.clampCapacitorVoltage += factor2_ * error2_;
                block_.primary.clampCapacitorVoltageState = block_.primary.clampCapacitorVoltage;
                const double e = std::fabs(error2_);
                if (counter_[2] == 1 ||
                    (e > 5e-5 * std::fabs(ctx_.primary.clampCapacitorVoltage) && e > 0.001 && factor2_ > 0.01))
                    converged_[2] = 0;
                LoadAnalysisSnapshot(block_);
            }
            if (const int32_t r = Limit(2, 52217)) return r;
        } while (!converged_[2]);
        return 0;
    }

    int32_t Level3() {
        const ControlInputRec& ci = *ctx_.pControlInput;
        do {
            ++counter_[3];
            EnterInner(3);
            if (const int32_t r = Level4()) return r;
            if (!ci.hasCurrentAmp) {
                converged_[3] = 1;
            } else {
                const double period = ctx_.stepState.switchingPeriod;
                // A gain the design does not set adds nothing.
                const double gainA = std::isfinite(ci.currentAmpGainA) && ci.currentAmpGainA != NOT_SET ? ci.currentAmpGainA : 0.0;
                const double gainB = std::isfinite(ci.currentAmpGainB) && ci.currentAmpGainB != NOT_SET ? ci.currentAmpGainB : 0.0;
                const double drift = gainB * r_.integralB / period;
                const double dc = end_.currentEaOutput - start_.currentEaOutput;
                const double da = end_.currentAmpStateA - start_.currentAmpStateA;
                const double db = end_.currentAmpStateB - start_.currentAmpStateB;
                // Small in size: a large negative drift is no convergence.
                if (std::fabs(drift) < 0.001 && std::fabs(dc) < 0.001 && std::fabs(db) < 0.001 &&
                    std::fabs(da) < 0.001) {
                    block_.control.currentAmpStateA += gainA * r_.integralA / period;
                    converged_[3] = 1;
                } else {
                    block_.control.currentAmpStateB += (db - drift) / 2.0;
                    block_.control.currentAmpStateA += (da - drift) / 2.0;
                }
            }
            LoadAnalysisSnapshot(block_);
            if (const int32_t r = Limit(3, 52186)) return r;
        } while (!converged_[3]);
        return 0;
    }

    // Levels 4 to 6: one correction per output and level, then the block loaded again.
    int32_t OutputLevel(int level) {
        const int32_t n = OutputsInUse(ctx_);
        do {
            ++counter_[level];
            converged_[level] = 1;
            EnterInner(level);
            if (const int32_t r = level == 6 ? Level7() : OutputLevel(level + 1)) return r;
            for (int32_t k = n; k >= 1; --k)
                if (!CorrectOutput(level, k)) {
                    static constexpr int kFirstCode[kLevels] = {0, 0, 0, 0, 5026, 5022, 5018, 5014};
                    Code(kFirstCode[level] + (4 - k));
                    ReportMessage1FirstBox(52203, k);
                    return 1;
                }
            LoadAnalysisSnapshot(block_);
            if (const int32_t r = Limit(level, 0)) return r;
        } while (!converged_[level]);
        return 0;
    }

    int32_t Level4() { return OutputLevel(4); }

    int32_t Level7() {
        const int32_t n = OutputsInUse(ctx_);
        do {
            ++counter_[7];
            converged_[7] = 1;
            const int32_t r = FindControlOffset(&start_, &end_, block_, &offset_, r_);
            if (r == 1) {
                Code(5032);
                ctx_.pParams->runStatus = 2;
                return 1;
            }
            if (r == 2) {
                Code(5033);
                ctx_.pParams->runStatus = 2;
                return 2;
            }
            if (r == 3) {
                limitCode_ = 5034;
                return 3;
            }
            for (int32_t k = n; k >= 1; --k)
                if (!CorrectOutput(7, k)) {
                    Code(5014 + (4 - k));
                    ReportMessage1FirstBox(52203, k);
                    return 1;
                }
            LoadAnalysisSnapshot(block_);
            if (const int32_t r2 = Limit(7, 0)) return r2;
        } while (!converged_[7]);
        return 0;
    }

    int32_t CorrectOutput(int level, int32_t k) {
        // Over a periodic source's cycle the outputs move from one switching period to the next
        // by the source's own swing: only the solve over whole cycles corrects them.
        if (SourceCyclePeriods() > 1) return 1;
        const int32_t j = k - 1;
        const OutputFilterInputRec& fi = *ctx_.pOutputFilterInput[j];
        const OutputFilterStateRec& f = block_.outputFilter[j];
        const double period = ctx_.stepState.switchingPeriod;
        const double load = block_.loadNetwork[j].loadCurrent;
        IterationVar& v = var_[level][j];
        int32_t* flag = &converged_[level];
        switch (level) {
        case 4: {
            const OutputChokeStateRec& ch = block_.outputChoke[j];
            const double tol = period * ctx_.pLoadNetworkInput[j]->outputVoltage / ch.inductance / 100.0;
            double value = ch.chokeCurrent;
            if (!CorrectQuantity(v, flag, &value, start_.choke[j], end_.choke[j], tol, 5009)) return 0;
            // The step takes the freewheeling rectifier's current as the choke's at the start.
            SetBlockValue(block_, j, kChoke, value);
            return 1;
        }
        case 5: {
            const double tol = period * load / fi.capACapacitance / 100.0;
            double value = f.capAVoltage;
            if (!CorrectQuantity(v, flag, &value, start_.capA[j], end_.capA[j], tol, 5010)) return 0;
            SetBlockValue(block_, j, kCapA, value);
            if (fi.hasCapA2) SetBlockValue(block_, j, kCapA2, value);
            return 1;
        }
        case 6: {
            if (!fi.hasInductorB) return 1;
            const double tol = 0.001 * load;
            double value = f.inductorBCurrent;
            if (!CorrectQuantity(v, flag, &value, start_.inductorB[j], end_.inductorB[j], tol, 5011)) return 0;
            SetBlockValue(block_, j, kInductorB, value);
            return 1;
        }
        default: {
            if (!fi.hasCapB) return 1;
            const double tol = period * load / fi.capBCapacitance / 100.0;
            double value = f.capBVoltage;
            if (!CorrectQuantity(v, flag, &value, start_.capB[j], end_.capB[j], tol, 5012)) return 0;
            SetBlockValue(block_, j, kCapB, value);
            if (fi.hasCapB2) SetBlockValue(block_, j, kCapB2, value);
            return 1;
        }
        }
    }

    AnalysisContext& ctx_;
    const int32_t limit_;
    AnalysisStateBlock block_;
    AnalysisStateBlock periodicBlock_;  // the block as the last converged refinement left it
    bool periodic_ = false;
    TrialMemo memo_;
    // The slot count where every slot relaxed (in the last Jacobian, or in Relax's steps), else 0.
    int32_t relaxingSlots_ = 0;
    AnalysisStateBlock base_;  // the shooting step's start
    AnalysisStateBlock best_;
    CycleSample start_{};
    CycleSample end_{};
    LoopCyclesResult r_;
    IterationVar var_[kLevels][kMaxOutputs];
    int32_t counter_[kLevels] = {};
    int32_t converged_[kLevels] = {};
    double offset_ = 0.0;
    int limitCode_ = 0;
    int32_t shootingSteps_ = 0;
    UINT limitSecond_ = 0;
    bool refined_ = false;
    double error1_ = 0.0, previousError1_ = 0.0, factor1_ = 2.0;
    int32_t sign1_ = 0, previousSign1_ = 0;
    double error2_ = 0.0, previousError2_ = 0.0, factor2_ = 2.0;
    int32_t sign2_ = 0, previousSign2_ = 0;
};

}  // namespace

int32_t SetInitialPhase(double* phase, double frequency, double t) {
    double p = -(kTwoPi * t * frequency);
    while (p < 0.0) p += kTwoPi;
    *phase = p;
    return 1;
}

void SetSourcePhases(double t) {
    AnalysisContext& ctx = *GetAnalysisContext();
    const AnalysisSettingsRec& set = *ctx.pSettings;
    const ControlInputRec& ci = *ctx.pControlInput;
    const int32_t phases = set.linePhaseCount >= 1 && set.linePhaseCount <= kMaxLinePhases ? set.linePhaseCount : 1;
    for (int32_t p = phases - 1; p >= 0; --p)
        SetInitialPhase(&ctx.linePhase[p].phase, ctx.pLineSourceInput->lineFrequency, t);
    if (ci.veaReferenceAcOn) SetInitialPhase(&ctx.control.veaReferencePhase, ci.veaReferenceFrequency, t);
    if (ci.errorInjectionOn) SetInitialPhase(&ctx.control.errorInjectionPhase, ci.errorInjectionFrequency, t);
    if (ci.currentInjectionOn) SetInitialPhase(&ctx.control.currentInjectionPhase, ci.currentInjectionFrequency, t);
    for (int32_t j = OutputsInUse(ctx) - 1; j >= 0; --j)
        if (ctx.pLoadNetworkInput[j]->currentSourceOn)
            SetInitialPhase(&ctx.loadNetwork[j].sourcePhase, ctx.pLoadNetworkInput[j]->sourceFrequency, t);
}

void ResetRunClock() {
    AnalysisContext& ctx = *GetAnalysisContext();
    ctx.stepState.settling = 0;
    // The last drive edge moves with the clock: hysteretic control measures its next period
    // from it (a stale time would enter the period's mean as a negative period).
    if (ctx.stepState.lastDriveEdgeTime != NOT_SET) ctx.stepState.lastDriveEdgeTime -= ctx.stepState.time;
    ctx.stepState.time = 0.0;
    ctx.stepState.stepCount = 0;
    // Every cursor, the opto reference's too: a cursor left where the settling ended would
    // start the run's table walk from a stale point.
    for (TimeMagnitudeTable101* t : ctx.pTable101)
        if (t) t->cursor = 0;
    for (TimeMagnitudeTable3* t : ctx.pTable3)
        if (t)
            for (int32_t& c : t->cursor) c = 0;
    for (TimeMagnitudeTable* t : ctx.pTable)
        if (t)
            for (int32_t& c : t->cursor) c = 0;
}

int32_t CaptureCycleSample(CycleSample* sample) {
    const AnalysisContext& ctx = *GetAnalysisContext();
    for (int32_t j = OutputsInUse(ctx) - 1; j >= 0; --j) {
        const OutputFilterStateRec& f = ctx.outputFilter[j];
        sample->capA[j] = f.capAVoltage;
        sample->capA2[j] = f.capA2Voltage;
        sample->capB[j] = f.capBVoltage;
        sample->capB2[j] = f.capB2Voltage;
        sample->inductorB[j] = f.inductorBCurrent;
        sample->choke[j] = ctx.outputChoke[j].chokeCurrent;
    }
    const ControlStateRec& c = ctx.control;
    sample->currentEaOutput = c.currentEaOutput;
    sample->currentAmpStateA = c.currentAmpStateA;
    sample->currentAmpStateB = c.currentAmpStateB;
    sample->errorAmpStateA = c.errorAmpStateA;
    sample->errorAmpStateB = c.errorAmpStateB;
    sample->errorAmpStateC = c.errorAmpStateC;
    sample->clampCapacitorVoltage = ctx.primary.clampCapacitorVoltage;
    sample->clampCapacitorCurrent = ctx.primary.clampCapacitorCurrent;
    return 1;
}

int32_t RunQuickShootingStep() {
    AnalysisContext& ctx = *GetAnalysisContext();
    auto loop = std::make_unique<InitLoop>(ctx);
    loop->Store();
    bool converged = false;
    // Over a periodic source's cycle the line side and the bulk are off the estimate as much as
    // the outputs, and a Jacobian would take one whole cycle per state: the cycles run on first.
    if (SourceCyclePeriods() > 1) {
        if (const int32_t r = loop->RunOnSourceCycles(kQuickShootingIterations, &converged)) return r;
        return converged ? 0 : loop->Shoot(&converged, kQuickShootingIterations);
    }
    if (const int32_t r = loop->Shoot(&converged, kQuickShootingIterations)) return r;
    if ((ctx.pPrimaryInput->topology | 1) != kResonantResetFamily) return 0;
    if (const int32_t r = loop->RunOutResetRing(kResetRingPeriods)) return r;
    return loop->Shoot(&converged, kQuickShootingIterations);
}

namespace {

// The stabilisation periods from the point found, then the run clock from 0.
int32_t SettleFromPeriodicPoint(double settle) {
    AnalysisContext& ctx = *GetAnalysisContext();
    SetSourcePhases(settle);
    LoopCyclesResult r;
    const int32_t run = RunLoopCycles(nullptr, nullptr, r, 1, settle);
    if (run == 1) {
        Code(5030);
        ctx.pParams->runStatus = 2;
        return 1;
    }
    if (run == 2) {
        Code(5031);
        ctx.pParams->runStatus = 2;
        return 2;
    }
    ResetRunClock();
    return 0;
}

}  // namespace

int32_t RunInitializationLoop() {
    AnalysisContext& ctx = *GetAnalysisContext();
    ctx.stepState.settling = 1;
    PostRunStatus(998);
    if (!InitializeAnalysis()) {
        Code(5013);
        ReportMessageFirstBox(52085);
        return 1;
    }
    if (ctx.pSettings->analysisKind == 0) return 0;
    // The trial periods step the engine: it needs its transformer values first.
    if (!PrepareStepEngine()) return 1;

    const double period = ctx.stepState.switchingPeriod > 0.0 ? ctx.stepState.switchingPeriod
                                                              : ctx.pSettings->switchingPeriodSetting;
    const double settle = ctx.pSettings->stabilisationCycles * period;
    // The sources at the phases the settling starts from, so that the state searched over
    // their cycle is the one the settling carries on.
    SetSourcePhases(settle);
    // Hysteretic control sensing the output capacitors turns on where the sense falls onto
    // its rectifier's bias: below that the comparator waits for the loop, so its period map
    // has no smooth periodic point (the sense transformer's droop lifts the valley a little
    // each period until a late turn-on resets it). The levels' 10 mV control steps and a
    // Newton solve run to convergence fall off that edge; the estimate sits on it, and the
    // quick start's three steps (the best kept) and the stabilisation periods take it onto
    // the cycle.
    const ControlInputRec& ci = *ctx.pControlInput;
    if (ci.controlMode == 3 && ci.senseSource == 2) {
        if (const int32_t r = RunQuickShootingStep()) {
            Code(r == 1 ? 5030 : 5031);
            return r;
        }
        return SettleFromPeriodicPoint(settle);
    }
    // The block and its working data are large; one per call, never inside the step loop.
    auto loop = std::make_unique<InitLoop>(ctx);
    // The shooting refinement first takes the estimate to the periodic point, so that the
    // levels' corrections start where their drifts are small, and again on what they leave.
    bool converged = false;
    // The user's iteration limit bounds the shooting steps of both calls together.
    const int32_t shooting = std::min(ctx.pSettings->initIterationLimit, kShootingIterations);
    loop->Store();
    // Over a periodic source's cycle the filters' relaxation (the levels' first step) takes
    // the line side and the outputs to the point before any slot is solved: the shooting from
    // the estimate would measure its Jacobian over whole cycles from a bulk still off.
    if (SourceCyclePeriods() <= 1)
        if (const int32_t r = loop->Shoot(&converged, shooting)) return r;
    const int32_t levels = loop->Run();
    if (levels != 0 && levels != 3) return levels;
    if (const int32_t r = loop->Refine()) return r;
    if (const int32_t r = loop->Shoot(&converged, shooting - loop->ShootingSteps())) return r;
    // A level at its limit ends the loop only when the refinement cannot find the point either.
    if (levels == 3 && !converged) {
        loop->ReportLimit();
        return 3;
    }
    loop->FoldOffset();
    return SettleFromPeriodicPoint(settle);
}
