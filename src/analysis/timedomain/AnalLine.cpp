#include "analysis/timedomain/AnalLine.h"

#include <cmath>
#include <numbers>

#include "analysis/context/AnalContext.h"
#include "analysis/models/AnalCtrlSrc.h"
#include "analysis/models/AnalMBranch.h"
#include "analysis/models/AnalMLrc.h"
#include "analysis/models/AnalMSat.h"
#include "analysis/models/AnalMWind.h"
#include "records/Utils.h"

namespace {

// The line filter inductors' point tables (the fill's order).
constexpr int kLineFirstTable = 0;
constexpr int kLineSecondTable = 1;
constexpr int kLineDampingTable = 2;

// A line filter inductor's inductance for the step: when its core saturates, its table's chord
// from the phase's present current across the flux the step is expected to move (AnalMSat.h;
// each phase its own cursor word), else the nominal one; not a number when the lookup fails,
// which fails the step's check.
double LineInductance(AnalysisContext& ctx, int table, double nominal, int32_t phase, double current, double flux) {
    TimeMagnitudeTable3* t = ctx.pTable3[table];
    if (!Saturable(t)) return nominal;
    double l = 0.0, slope = 0.0;
    return LookUpStepInductance(&l, &slope, *t, current, flux, phase) ? l : std::nan("");
}

// The flux (V·s) a step of 1/s is expected to move: the inductance's own voltage of the step
// before (the winding's less its resistance's drop), 0 before the first step.
double LineStepFlux(double voltage, double resistance, double current, double s) {
    if (voltage == NOT_SET || current == NOT_SET) return 0.0;
    const double f = (voltage - resistance * current) / s;
    return std::isfinite(f) ? f : 0.0;
}

constexpr UINT kModuleAnalSubs = 56028;
constexpr UINT kModuleAnalMLrc = 56022;
constexpr double kTwoPi = 2.0 * std::numbers::pi;
// A current end predicted this close counts as reached (as for the output rectifiers).
constexpr double kEventReached = 1.5e-10;  // s

struct LineDiodeFields {
    int32_t LineRectifierStateRec::*on;
    double LineRectifierStateRec::*current;
    double LineRectifierStateRec::*slope;
    double LineRectifierStateRec::*resistance;
    double LineRectifierStateRec::*voltage;
};
using R = LineRectifierStateRec;
constexpr LineDiodeFields kDiode[kLineDiodes] = {
    {&R::diode1State, &R::diode1Current, &R::diode1SecondCurrent, &R::diode1Resistance, &R::diode1Voltage},
    {&R::diode2State, &R::diode2Current, &R::diode2SecondCurrent, &R::diode2Resistance, &R::diode2Voltage},
    {&R::diode3State, &R::diode3Current, &R::diode3SecondCurrent, &R::diode3Resistance, &R::diode3Voltage},
    {&R::diode4State, &R::diode4Current, &R::diode4SecondCurrent, &R::diode4Resistance, &R::diode4Voltage},
    {&R::diode5State, &R::diode5Current, &R::diode5SecondCurrent, &R::diode5Resistance, &R::diode5Voltage},
    {&R::diode6State, &R::diode6Current, &R::diode6SecondCurrent, &R::diode6Resistance, &R::diode6Voltage},
    {&R::diode7State, &R::diode7Current, &R::diode7SecondCurrent, &R::diode7Resistance, &R::diode7Voltage},
    {&R::diode8State, &R::diode8Current, &R::diode8SecondCurrent, &R::diode8Resistance, &R::diode8Voltage},
};

int32_t Phases(const AnalysisContext& ctx) {
    const int32_t n = ctx.pSettings->linePhaseCount;
    return n >= 1 && n <= kMaxLinePhases ? n : 1;
}

CapacitorGroup BulkCapacitor(const LineSourceInputRec& in, double open) {
    return {open, in.outputCapacitorInductance, in.outputCapacitorResistance, in.sectionQuantityParamE,
            in.sectionQuantityParamF, in.outputCapacitance};
}

CapacitorGroup FilterCapacitor(const LineSourceInputRec& in, double open) {
    return {open, in.sourceBranchInductance, in.sourceBranchResistance, in.sectionQuantityParamA,
            in.sectionQuantityParamB, in.sourceBranchCapacitance};
}

// Capacitor Damp with Resistor Damp1 in series (the group takes the resistor as ESR).
CapacitorGroup FilterDampingCapacitor(const LineSourceInputRec& in, double open) {
    return {open, in.inputCapacitorInductance, in.inputCapacitorResistance + in.inputCapacitorExtraResistance,
            in.sectionQuantityParamC, in.sectionQuantityParamD, in.inputCapacitance};
}

// The damped input capacitor's damping capacitor; its resistor and that resistor's ESL follow
// in series.
CapacitorGroup BulkDampingCapacitor(const LineSourceInputRec& in, double open) {
    return {open, in.outputCapacitor2Inductance, in.outputCapacitor2Resistance, in.sectionQuantityParamG,
            in.sectionQuantityParamH, in.outputCapacitor2Capacitance};
}

BranchPair Series(const BranchPair& a, const BranchPair& b) { return {a.z + b.z, a.e + b.e}; }

int32_t Fail(UINT module, int code, UINT message) {
    ReportMessage1(module, code, FALSE);
    if (message) ReportMessageFirstBox(message);
    return 0;
}

bool Checked(const AnalysisSettingsRec& set) { return set.loggingOn && CheckFloatingPointStatus(); }

}  // namespace

int32_t CalcLineSourceQuantities() {
    AnalysisContext* ctx = GetAnalysisContext();
    StepStateRec& step = ctx->stepState;
    const LineSourceInputRec& line = *ctx->pLineSourceInput;
    LineStepStore& ls = ctx->lineStep;
    const double h = step.inverseTimeStepTermA;
    const int32_t phases = Phases(*ctx);
    if (line.lineFrequency > 0.0)
        for (int32_t p = phases - 1; p >= 0; --p)
            ctx->linePhase[p].phase = std::fmod(ctx->linePhase[p].phase + kTwoPi * line.lineFrequency * h, kTwoPi);

    if (step.stepCount == 0) {
        ls.offsetActive = ls.magnitudeActive = 1;
        ls.offsetCursor = ls.magnitudeCursor = 0;
        ls.offsetValue = ls.magnitudeValue = 0.0;
    }
    // Once a table is no longer walked (its last segment reached) its last value holds: the
    // line does not jump back to its DC value when the table ends. The transient points play in
    // the run itself, not in the steady state's search and settling before it (whose clock
    // also starts at 0).
    if (!step.settling && ls.offsetActive &&
        !InterpolateTimeMagnitudeTable(ctx->pTable101[kLineOffsetTable], &ls.offsetCursor, &ls.offsetValue,
                                       &ls.offsetActive))
        return Fail(kModuleAnalSubs, 7159, 0);
    if (!step.settling && ls.magnitudeActive &&
        !InterpolateTimeMagnitudeTable(ctx->pTable101[kLineMagnitudeTable], &ls.magnitudeCursor,
                                       &ls.magnitudeValue, &ls.magnitudeActive))
        return Fail(kModuleAnalSubs, 7160, 52089);
    const double offset = ls.offsetValue;
    const double magnitude = ls.magnitudeValue;
    step.lineMagnitudeNow = line.lineMagnitude + magnitude;
    for (int32_t p = phases - 1; p >= 0; --p)
        ctx->linePhase[p].lineVoltage =
            std::sin(ctx->linePhase[p].phase) * step.lineMagnitudeNow + line.lineOffset + offset +
            step.lineInputInjection;  // the input-to-output analysis rides its sine on the line (0 otherwise)
    if (Checked(*ctx->pSettings) || !std::isfinite(ctx->linePhase[0].lineVoltage))
        return Fail(kModuleAnalSubs, 7161, 52089);
    return 1;
}

int32_t AssembleLineSidePass1(double s) {
    AnalysisContext* ctx = GetAnalysisContext();
    const AnalysisSettingsRec& set = *ctx->pSettings;
    const LineSourceInputRec& li = *ctx->pLineSourceInput;
    const InputCapacitorStateRec& cap = ctx->inputCapacitor;
    const LineRectifierStateRec& lr = ctx->lineRectifier;
    const double open = set.openResistance;
    LineSideInputs& in = ctx->lineStep.in;
    in.rectifierCase = set.lineRectifierVariant;
    in.doubledCapacitor = set.inputCapacitorVariant == 2 || set.inputCapacitorVariant == 3 ? 1 : 0;
    for (int32_t p = 0; p < kMaxLinePhases; ++p) {
        const LinePhaseStateRec& ph = ctx->linePhase[p];
        if (p >= Phases(*ctx)) {
            in.phase[p] = {open, 0.0};
            continue;
        }
        CalcInductorBranchCoeffs(li.lineInductance, li.lineResistance, s, ph.lineCurrentHeld, &in.phase[p]);
        in.phase[p].e = ph.lineVoltage - in.phase[p].e;
    }
    const uint32_t used = LineDiodesOfRectifierCase(in.rectifierCase);
    for (int32_t d = 0; d < kLineDiodes; ++d)
        if (used >> d & 1u)
            CalcRectifierCoeffs(lr.*kDiode[d].on, li.rectifierForwardVoltage, li.stepSetupParamA, open, &in.diode[d]);
    const CapacitorGroup bulk = BulkCapacitor(li, open);
    in.upperCapacitor = TrapezoidalCapacitor(bulk, s, cap.capacitorVoltage1, cap.upperBulkCapacitorCurrent);
    if (in.doubledCapacitor)
        in.lowerCapacitor = TrapezoidalCapacitor(bulk, s, cap.capacitorVoltage2, cap.lowerBulkCapacitorCurrent);

    InputCapacitorStateRec& capw = ctx->inputCapacitor;
    in.dampedCapacitor = set.inputCapacitorVariant == 1 || set.inputCapacitorVariant == 3 ? 1 : 0;
    if (in.dampedCapacitor) {
        if (ctx->stepState.stepCount == 0 && set.analysisKind == 0) {
            // The damping capacitors at rest at turn-on (their own voltages in slots 3 and 4).
            capw.capSlot3Voltage = capw.capSlot4Voltage = 0.0;
            capw.upperBulkDampingCapacitorCurrent = capw.lowerBulkDampingCapacitorCurrent = 0.0;
        }
        // Its resistor joins the ESR for the companion's step correction (AnalMBranch.h).
        CapacitorGroup damp = BulkDampingCapacitor(li, open);
        damp.esr += li.dampingCoeffB;
        BranchPair c, rl;
        CalcCapacitorBranchCoeffs(damp, s, capw.capSlot3Voltage, capw.upperBulkDampingCapacitorCurrent, &c);
        CalcInductorBranchCoeffs(li.dampingCoeffA, 0.0, s, capw.upperBulkDampingCapacitorCurrent, &rl);
        in.upperDamping = Series(c, rl);
        if (in.doubledCapacitor) {
            CalcCapacitorBranchCoeffs(damp, s, capw.capSlot4Voltage, capw.lowerBulkDampingCapacitorCurrent, &c);
            CalcInductorBranchCoeffs(li.dampingCoeffA, 0.0, s, capw.lowerBulkDampingCapacitorCurrent, &rl);
            in.lowerDamping = Series(c, rl);
        }
    }

    // The line filter of each phase.
    in.firstInductorOn = li.firstInductorOn ? 1 : 0;
    in.filterCapacitorOn = li.sourceOn ? 1 : 0;
    in.dampingCapacitorOn = li.inputCapacitorOn ? 1 : 0;
    in.secondInductorOn = li.secondInductorOn ? 1 : 0;
    in.dampingBranchOn = li.dampingResistorOn ? 1 : 0;
    const LineSideSolution& before = ctx->lineStep.sol;
    for (int32_t p = 0; p < Phases(*ctx); ++p) {
        LinePhaseStateRec& ph = ctx->linePhase[p];
        // At rest at turn-on; a steady-state start begins at the estimate's values.
        if (ctx->stepState.stepCount == 0 && ctx->pSettings->analysisKind == 0) {
            ph.firstInductorCurrent = ph.secondInductorCurrent = ph.dampingBranchCurrent = 0.0;
            ph.filterCapVoltage = ph.filterCapCurrent = ph.filterCapVoltage2 = 0.0;
        }
        // A lossy inductor: its effective resistance, its core-loss resistance across it
        // (AnalMLoss.h); its state current is the winding's own.
        InductorLoss* loss = ctx->engine.loss.line[p];
        if (in.firstInductorOn) {
            const double r = InductorResistance(loss[kLossFirstInductor], li.firstInductorResistance);
            CalcInductorBranchCoeffs(
                LineInductance(*ctx, kLineFirstTable, li.firstInductorInductance, p, ph.firstInductorCurrent,
                               LineStepFlux(ph.firstInductorVoltage, r, ph.firstInductorCurrent, s)),
                r, s, ph.firstInductorCurrent, &in.firstInductor[p]);
            ShuntInductor(&loss[kLossFirstInductor], &in.firstInductor[p]);
        }
        if (in.secondInductorOn) {
            const double r = InductorResistance(loss[kLossSecondInductor], li.secondInductorResistance);
            CalcInductorBranchCoeffs(
                LineInductance(*ctx, kLineSecondTable, li.secondInductorInductance, p, ph.secondInductorCurrent,
                               LineStepFlux(ph.secondInductorVoltage, r, ph.secondInductorCurrent, s)),
                r, s, ph.secondInductorCurrent, &in.secondInductor[p]);
            ShuntInductor(&loss[kLossSecondInductor], &in.secondInductor[p]);
        }
        if (in.dampingBranchOn) {
            const bool inductor = li.dampingInductorOn != 0;
            InductorLoss& x = loss[kLossDampingInductor];
            const double rd = InductorResistance(x, li.dampingInductorResistance);
            const double ld = inductor ? LineInductance(*ctx, kLineDampingTable, li.dampingInductorInductance, p,
                                                        ph.dampingBranchCurrent,
                                                        LineStepFlux(ph.dampingInductorVoltage, rd,
                                                                     ph.dampingInductorCurrent, s))
                                       : 0.0;
            ph.dampingInductance = ld;
            if (x.on) {
                // The shunt spans the inductor alone, not the resistor in series with it.
                BranchPair winding, series;
                CalcInductorBranchCoeffs(ld, InductorResistance(x, li.dampingInductorResistance), s,
                                         ph.dampingBranchCurrent, &winding);
                ShuntInductor(&x, &winding);
                CalcInductorBranchCoeffs(li.dampingResistorInductance, li.dampingResistance, s, ph.dampingBranchCurrent,
                                         &series);
                in.dampingBranch[p] = {winding.z + series.z, winding.e + series.e};
            } else {
                CalcInductorBranchCoeffs(li.dampingResistorInductance + ld,
                                         li.dampingResistance + (inductor ? li.dampingInductorResistance : 0.0), s,
                                         ph.dampingBranchCurrent, &in.dampingBranch[p]);
            }
        }
        if (in.filterCapacitorOn)
            CalcCapacitorBranchCoeffs(FilterCapacitor(li, open), s, ph.filterCapVoltage, ph.filterCapCurrent,
                                      &in.filterCapacitor[p]);
        if (in.dampingCapacitorOn)
            CalcCapacitorBranchCoeffs(FilterDampingCapacitor(li, open), s, ph.filterCapVoltage2,
                                      before.dampingCapacitorCurrent[p], &in.dampingCapacitor[p]);
    }
    const int code = 11300 + 2 * (in.rectifierCase >= 0 && in.rectifierCase < kLineCases ? in.rectifierCase : 0);
    if (!CalcLineSideCoeffs(in, &ctx->lineStep.sol) || Checked(set)) return Fail(kModuleAnalMLrc, code, 52170);
    ctx->engine.bulk = {ctx->lineStep.sol.z, ctx->lineStep.sol.e};
    return 1;
}

int32_t AssembleLineSidePass2(double draw, double s) {
    AnalysisContext* ctx = GetAnalysisContext();
    const AnalysisSettingsRec& set = *ctx->pSettings;
    const LineSourceInputRec& li = *ctx->pLineSourceInput;
    const LineSideInputs& in = ctx->lineStep.in;
    LineSideSolution& sol = ctx->lineStep.sol;
    const int code = 11301 + 2 * (in.rectifierCase >= 0 && in.rectifierCase < kLineCases ? in.rectifierCase : 0);
    if (!UpdateLineSide(in, draw, &sol)) return Fail(kModuleAnalMLrc, code, 52170);
    const double vbulk = sol.e - sol.z * draw;

    for (int32_t p = 0; p < Phases(*ctx); ++p) {
        LinePhaseStateRec& ph = ctx->linePhase[p];
        const double previous = ph.lineCurrentHeld;
        ph.lineCurrentHeld = sol.phaseCurrent[p];
        ph.firstStageCapacitorCurrent = sol.phaseCurrent[p];
        ph.firstInductorCurrentSlope = (sol.phaseCurrent[p] - previous) * s;
        ph.sourceVoltage = ph.lineVoltage;
        ph.filterVoltage = in.secondInductorOn ? sol.filterNodeVoltage[p] : sol.phaseTerminalVoltage[p];
        // The source branch's end: V(S) - V(N) = eb - zb·(phase current), the line behind its impedance.
        ph.lineTerminalVoltage = in.phase[p].e - in.phase[p].z * sol.phaseCurrent[p];
        // What the filter hands the rectifier at Ap: through Inductor In2 and its damping branch, or,
        // without In2, the phase current less what the filter node's capacitors take.
        ph.startTermA = in.secondInductorOn ? sol.secondInductorCurrent[p] + sol.dampingBranchCurrent[p]
                                            : sol.phaseCurrent[p] - sol.filterCapacitorCurrent[p] -
                                                  sol.dampingCapacitorCurrent[p];
        ph.startValueCopy = sol.phaseTerminalVoltage[p];
    }

    const double open = set.openResistance;
    for (int32_t p = 0; p < Phases(*ctx); ++p) {
        LinePhaseStateRec& ph = ctx->linePhase[p];
        InductorLoss* loss = ctx->engine.loss.line[p];
        if (in.firstInductorOn) {
            ph.firstInductance = li.firstInductorInductance;
            ph.firstInductorVoltage = in.firstInductor[p].z * sol.firstInductorCurrent[p] + in.firstInductor[p].e;
            ph.firstInductorCurrent = sol.firstInductorCurrent[p];
            InductorLoss& x = loss[kLossFirstInductor];
            if (x.on) {
                ph.firstInductorCurrent = InductorOwnCurrent(x, sol.firstInductorCurrent[p], &ph.firstInductorVoltage);
                if (!AccumulateLineInductor(*ctx, p, kLossFirstInductor, ph.firstInductorCurrent, ph.firstInductorVoltage))
                    return 0;
            }
        }
        if (in.secondInductorOn) {
            ph.secondInductance = li.secondInductorInductance;
            InductorLoss& x = loss[kLossSecondInductor];
            double own = sol.secondInductorCurrent[p];
            if (x.on) own = InductorOwnCurrent(x, own, &ph.secondInductorVoltage);
            else ph.secondInductorVoltage = in.secondInductor[p].z * own + in.secondInductor[p].e;
            ph.secondInductorCurrentSlope = (own - ph.secondInductorCurrent) * s;
            ph.secondInductorCurrent = own;
            if (x.on && !AccumulateLineInductor(*ctx, p, kLossSecondInductor, own, ph.secondInductorVoltage)) return 0;
        }
        if (in.dampingBranchOn) {
            const double previous = ph.dampingBranchCurrent;
            ph.dampingBranchCurrent = sol.dampingBranchCurrent[p];
            ph.dampingResistorDrop = li.dampingResistance * sol.dampingBranchCurrent[p];
            InductorLoss& x = loss[kLossDampingInductor];
            if (x.on) {
                ph.dampingBranchCurrent = InductorOwnCurrent(x, sol.dampingBranchCurrent[p], &ph.dampingInductorVoltage);
                ph.dampingInductorCurrent = ph.dampingBranchCurrent;
                if (!AccumulateLineInductor(*ctx, p, kLossDampingInductor, ph.dampingBranchCurrent,
                                            ph.dampingInductorVoltage))
                    return 0;
            } else if (li.dampingInductorOn) {
                ph.dampingInductorCurrent = sol.dampingBranchCurrent[p];
                ph.dampingInductorVoltage = ph.dampingInductance * (sol.dampingBranchCurrent[p] - previous) * s +
                                            li.dampingInductorResistance * sol.dampingBranchCurrent[p];
            }
        }
        // A filter of one inductor shows it as its first stage, though it sits where In2 does.
        if (!in.firstInductorOn && in.secondInductorOn && !in.filterCapacitorOn) {
            ph.firstInductorCurrent = ph.secondInductorCurrent;
            ph.firstInductorVoltage = ph.secondInductorVoltage;
        }
        if (in.filterCapacitorOn) {
            ph.filterCapVoltage =
                UpdateCapacitorBranch(FilterCapacitor(li, open), s, ph.filterCapVoltage, sol.filterCapacitorCurrent[p]);
            ph.filterCapCurrent = sol.filterCapacitorCurrent[p];
        }
        if (in.dampingCapacitorOn) {
            ph.filterCapVoltage2 = UpdateCapacitorBranch(FilterDampingCapacitor(li, open), s, ph.filterCapVoltage2,
                                                         sol.dampingCapacitorCurrent[p]);
            ph.firstStageCapacitorDampingResistorVoltage = li.inputCapacitorExtraResistance * sol.dampingCapacitorCurrent[p];
        }
    }

    LineRectifierStateRec& lr = ctx->lineRectifier;
    const uint32_t used = LineDiodesOfRectifierCase(in.rectifierCase);
    for (int32_t d = 0; d < kLineDiodes; ++d) {
        if (!(used >> d & 1u)) continue;
        const double previous = lr.*kDiode[d].current;
        lr.*kDiode[d].slope = previous == NOT_SET ? 0.0 : (sol.diodeCurrent[d] - previous) * s;
        lr.*kDiode[d].current = sol.diodeCurrent[d];
        lr.*kDiode[d].voltage = sol.diodeVoltage[d];
        lr.*kDiode[d].resistance = in.diode[d].z;
    }
    lr.positiveRectifierCurrent = sol.rectifierCurrent;
    lr.positiveRectifierVoltage = vbulk;
    // The odd diodes are the lower ones, from M: their sum is what the return rail gives the
    // line. The neutral N sits at V(A1) - (V(A1) - V(N)), V(A1) = -(D1's voltage) over M; without
    // D1 (no rectifier, half wave) N is M. A doubler's neutral takes the midpoint's current,
    // D0 - D1 summed over the phases: the upper diodes' current less the lower ones'.
    double lower = 0.0;
    for (int32_t d = 1; d < kLineDiodes; d += 2)
        if (used >> d & 1u) lower += sol.diodeCurrent[d];
    lr.negativeRectifierCurrent = lower;
    lr.negativeRectifierVoltage = used >> 1 & 1u ? -sol.diodeVoltage[1] - sol.phaseTerminalVoltage[0] : 0.0;
    lr.neutralRectifierCurrent = IsDoublerRectifierCase(in.rectifierCase) ? sol.rectifierCurrent - lower : 0.0;

    InputCapacitorStateRec& cap = ctx->inputCapacitor;
    const CapacitorGroup bulk = BulkCapacitor(li, set.openResistance);
    cap.capacitorVoltage1 =
        UpdateTrapezoidalCapacitor(bulk, s, cap.capacitorVoltage1, cap.upperBulkCapacitorCurrent, sol.upperCapacitorCurrent);
    cap.upperBulkCapacitorCurrent = sol.upperCapacitorCurrent;
    cap.positiveCapacitorCurrent = sol.upperCapacitorCurrent;
    if (in.doubledCapacitor) {
        cap.capacitorVoltage2 = UpdateTrapezoidalCapacitor(bulk, s, cap.capacitorVoltage2, cap.lowerBulkCapacitorCurrent,
                                                           sol.lowerCapacitorCurrent);
        cap.lowerBulkCapacitorCurrent = sol.lowerCapacitorCurrent;
        cap.negativeCapacitorCurrent = sol.lowerCapacitorCurrent;
    }
    if (in.dampedCapacitor) {
        const CapacitorGroup damp = BulkDampingCapacitor(li, set.openResistance);
        cap.capSlot3Voltage = UpdateCapacitorBranch(damp, s, cap.capSlot3Voltage, sol.upperDampingCurrent);
        cap.upperBulkDampingCapacitorCurrent = sol.upperDampingCurrent;
        if (in.doubledCapacitor) {
            cap.capSlot4Voltage = UpdateCapacitorBranch(damp, s, cap.capSlot4Voltage, sol.lowerDampingCurrent);
            cap.lowerBulkDampingCapacitorCurrent = sol.lowerDampingCurrent;
        }
    }
    cap.inputVoltage = vbulk;
    // The held values the catalogue shows: each bulk capacitor's and damping capacitor's voltage.
    cap.capSlot3VoltageHeld = cap.capacitorVoltage1;
    if (in.doubledCapacitor) cap.capSlot1VoltageHeld = cap.capacitorVoltage2;
    if (in.dampedCapacitor) {
        cap.capSlot4VoltageHeld = cap.capSlot3Voltage;
        if (in.doubledCapacitor) cap.capSlot2VoltageHeld = cap.capSlot4Voltage;
    }
    if (Checked(set) || !std::isfinite(cap.capacitorVoltage1) || !std::isfinite(vbulk))
        return Fail(kModuleAnalMLrc, code, 52170);
    return 1;
}

void ProposeLineDiodeEvents(StepStateRec& step) {
    const AnalysisContext* ctx = GetAnalysisContext();
    const LineRectifierStateRec& lr = ctx->lineRectifier;
    const uint32_t used = LineDiodesOfRectifierCase(ctx->lineStep.in.rectifierCase);
    for (int32_t d = 0; d < kLineDiodes; ++d) {
        if (!(used >> d & 1u)) continue;
        const double current = lr.*kDiode[d].current, slope = lr.*kDiode[d].slope;
        if (current == NOT_SET) continue;
        // A conducting diode's current running out, or an open one's reverse current (its
        // voltage over the open resistance) running up to zero as it comes forward.
        const bool on = lr.*kDiode[d].on != 0;
        if ((on && current > 0.0 && slope < 0.0) || (!on && current < 0.0 && slope > 0.0))
            step.LimitTimeStep(-current / slope, 1, 1);
    }
}

int32_t UpdateLineDiodeConduction() {
    AnalysisContext* ctx = GetAnalysisContext();
    LineRectifierStateRec& lr = ctx->lineRectifier;
    const double vf = ctx->pLineSourceInput->rectifierForwardVoltage;
    const uint32_t used = LineDiodesOfRectifierCase(ctx->pSettings->lineRectifierVariant);
    int32_t event = 0;
    for (int32_t d = 0; d < kLineDiodes; ++d) {
        if (!(used >> d & 1u)) continue;
        const double current = lr.*kDiode[d].current, slope = lr.*kDiode[d].slope;
        if (current == NOT_SET) continue;  // not through a step yet
        int32_t& on = lr.*kDiode[d].on;
        if (on) {
            if (current <= 0.0 || (slope < 0.0 && -current / slope <= kEventReached)) on = 0, event = 1;
        } else if (lr.*kDiode[d].voltage > vf) {
            on = 1, event = 1;
        }
    }
    return event;
}
