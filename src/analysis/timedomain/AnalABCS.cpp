#include "analysis/timedomain/AnalABCS.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "analysis/context/AnalContext.h"
#include "analysis/context/AnalTableIndex.h"
#include "analysis/models/AnalCtrlSrc.h"
#include "analysis/models/AnalMBranch.h"
#include "analysis/models/AnalMFlt.h"
#include "analysis/models/AnalMLoad.h"
#include "analysis/models/AnalMOut.h"
#include "analysis/models/AnalMSat.h"
#include "analysis/models/AnalMSec.h"
#include "analysis/models/AnalMWind.h"
#include "analysis/models/AnalMSync.h"
#include "analysis/timedomain/AnalLine.h"
#include "records/Utils.h"

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;
constexpr int32_t kFirstStageSingleCapacitor = 0;
constexpr int32_t kFirstStageDamped = 1;
constexpr int32_t kFirstStageSensed = 2;
constexpr int32_t kFirstStageDampedSensed = 3;
constexpr int32_t kLineFilterNone = 9;
// A sense diode's current predicted to end this close has ended.
constexpr double kSenseEventReached = 1.5e-10;  // s
constexpr UINT kOutputInductanceMessage = 52178;
constexpr int32_t kInputCapacitorSingle = 0;
constexpr int32_t kInputCapacitorDoubledDamped = 3;

AnalysisContext& Ctx() { return *GetAnalysisContext(); }
int32_t Outputs() { return Ctx().pSettings->outputCount; }
double StepFactor() { return Ctx().stepState.inverseTimeStep; }
double Open() { return Ctx().pSettings->openResistance; }

// With data logging on the members' arithmetic is checked for floating-point faults; a
// result that is not a number fails whatever the logging state, since a step that went on
// would spread it into every later state.
int32_t Checked(double a, double b) {
    if (!std::isfinite(a) || !std::isfinite(b)) return 0;
    return Ctx().pSettings->loggingOn && CheckFloatingPointStatus() ? 0 : 1;
}

int32_t OutputSign(const AnalysisContext& ctx, int32_t j) { return ctx.pOutputFilterInput[j]->outputSign < 0 ? -1 : 1; }

// A load inductor's inductance: the first point of its table (its value at 0 A).
double NominalInductance(const TimeMagnitudeTable* table) {
    return table && table->count > 0 ? table->points[0].magnitude : 0.0;
}

// A saturable part's inductance over the step: its table's chord from the step's starting
// current across the flux the step is expected to move (AnalMSat.h). Its code and the output
// inductance problem when the lookup fails.
constexpr UINT kModuleAnalCalc = 56002;
int32_t LookUpPartInductance(TimeMagnitudeTable& table, double current, double flux, uint32_t code,
                             double* inductance, double* slope) {
    const double at = std::isfinite(current) && current != NOT_SET ? current : 0.0;
    if (LookUpStepInductance(inductance, slope, table, at, flux) && std::isfinite(*inductance)) return 1;
    ReportMessage1(kModuleAnalCalc, code, FALSE);
    ReportMessageFirstBox(kOutputInductanceMessage);
    return 0;
}

// The flux (V·s) a step of h is expected to move from an inductor's voltage of the step before
// less its winding's drop; 0 before the first step.
double VoltageFlux(double voltage, double resistance, double current, double h) {
    if (voltage == NOT_SET || current == NOT_SET) return 0.0;
    const double f = (voltage - resistance * current) * h;
    return std::isfinite(f) ? f : 0.0;
}

TimeMagnitudeTable* OutputTable(const AnalysisContext& ctx, int32_t j, int32_t which) {
    return ctx.pTable[OutputTableIndex(j + 1, which)];
}

LoadNetworkValues LoadValues(const AnalysisContext& ctx, int32_t j) {
    const LoadNetworkInputRec& ld = *ctx.pLoadNetworkInput[j];
    LoadNetworkValues v;
    v.variant = ld.sectionQuantityFlagA;
    if (ld.resistorOn) {
        v.resistance = ld.resistance;
        v.resistorEsl = ld.closedFormParamB;
    }
    const InductorLoss* loss = ctx.engine.loss.output[j];
    if (ld.inductorOn) {
        v.inductorResistance = InductorResistance(loss[kLossLoad2], ld.inductorResistance);
        v.inductance = NominalInductance(ctx.pTable[OutputTableIndex(j + 1, kLoadInductor2Table)]);
    }
    if (ld.firstBranchOn) {
        v.seriesResistance = ld.firstResistance + InductorResistance(loss[kLossLoad1], ld.firstInductorResistance);
        v.seriesInductance = NominalInductance(ctx.pTable[OutputTableIndex(j + 1, kLoadInductor1Table)]);
    }
    return v;
}

// The skim winding's own current at the step's start: the choke's until it has one of its own.
double SkimOwnCurrent(const OutputChokeStateRec& ch) {
    return std::isfinite(ch.skimCurrent) && ch.skimCurrent != NOT_SET ? ch.skimCurrent : ch.chokeCurrent;
}

// The skim inductor's inductance of the step: looked up by the choke's pass when it saturates.
double SkimInductance(const AnalysisContext& ctx, int32_t j) {
    const TimeMagnitudeTable* table = OutputTable(ctx, j, kSkimTable);
    return Saturable(table) ? ctx.outputChoke[j].skimInductance : NominalInductance(table);
}

FirstStageDamping FirstStageDampingOf(const OutputFilterInputRec& fi) {
    FirstStageDamping d;
    d.capacitor = {Open(), fi.sectionQuantityParamC, fi.sectionQuantityParamD, fi.sectionQuantityParamE,
                   fi.sectionQuantityParamF, fi.sectionQuantityParamG};
    d.resistance = fi.filterTermParamA;
    d.inductance = fi.filterTermParamB;
    return d;
}

SecondStageValues SecondStageOf(const AnalysisContext& ctx, int32_t j) {
    const OutputFilterInputRec& fi = *ctx.pOutputFilterInput[j];
    SecondStageValues v;
    v.variant = fi.sectionQuantityFlagB;
    if (fi.hasCapB) {
        v.capacitor = {Open(), fi.sectionQuantityParamH, fi.sectionQuantityParamI, fi.sectionQuantityParamJ,
                       fi.sectionQuantityParamK, fi.capBCapacitance};
        const TimeMagnitudeTable* table = OutputTable(ctx, j, kSecondStageInductorTable);
        v.inductance = Saturable(table) ? ctx.outputFilter[j].secondInductance : NominalInductance(table);
        const InductorLoss& x = ctx.engine.loss.output[j][kLossSecondStage];
        v.resistance = InductorResistance(x, fi.secondInductorResistance);
        v.inductorConductance = x.on ? x.conductance : 0.0;
    }
    if (fi.hasDampingB) v.dampingResistance = fi.dampingResistance;
    if (fi.hasCapB2)
        v.dampingCapacitor = {Open(), fi.sectionQuantityParamL, fi.sectionQuantityParamM + fi.filterTermParamD,
                              fi.sectionQuantityParamN, fi.sectionQuantityParamO, fi.filterTermParamC};
    if (fi.dampingInductorOn) {
        const TimeMagnitudeTable* table = OutputTable(ctx, j, kDampingInductorTable);
        v.dampingInductance = Saturable(table) ? ctx.outputFilter[j].dampingInductance : NominalInductance(table);
        const InductorLoss& x = ctx.engine.loss.output[j][kLossOutputDamping];
        v.dampingInductorResistance = InductorResistance(x, fi.dampingInductorResistance);
        v.dampingInductorConductance = x.on ? x.conductance : 0.0;
    }
    return v;
}

SecondStageStart SecondStageStartOf(const AnalysisContext& ctx, int32_t j) {
    const OutputFilterStateRec& f = ctx.outputFilter[j];
    if (!ctx.pOutputFilterInput[j]->hasCapB) return {};
    return {f.secondInductorCurrent, f.dampingInductorCurrent, f.capBVoltage, f.outputCapacitorCurrent,
            f.capB2Voltage, f.outputCapacitor2Current};
}

// The chokes on one core: M[j][k] = k_jk·sqrt(Lj·Lk) over the step, and each choke's e takes
// the other chokes' previous currents.
// The current at which choke j's core is looked up when the chokes share it: its own and the
// others' referred by their turns, S_j = x_j + Σ_i sqrt(L_i/L_j)·k_ij·x_i (nominal inductances),
// the ampere-turns of the core over choke j's turns.
// (Of the chokes' currents, or of another field of theirs: their slopes give the sum's.)
double CoupledChokeSum(const AnalysisContext& ctx, int32_t j,
                       double OutputChokeStateRec::*field = &OutputChokeStateRec::chokeCurrent) {
    const double* k = ctx.pSettings->outputChokeCoupling;  // k12, k13, k14, k23, k24, k34
    const double coupling[kMaxOutputs][kMaxOutputs] = {
        {0.0, k[0], k[1], k[2]}, {k[0], 0.0, k[3], k[4]}, {k[1], k[3], 0.0, k[5]}, {k[2], k[4], k[5], 0.0}};
    double sum = ctx.outputChoke[j].*field;
    for (int32_t i = 0; i < Outputs(); ++i)
        if (i != j)
            sum += std::sqrt(ctx.pOutputChokeInput[i]->inductance / ctx.pOutputChokeInput[j]->inductance) *
                   coupling[j][i] * (ctx.outputChoke[i].*field);
    return sum;
}

// The inductance of choke j's own winding in this step: its table's, or its nominal one.
double ChokeWindingInductance(const AnalysisContext& ctx, int32_t j) {
    return Saturable(ctx.pTable[OutputTableIndex(j + 1, kChokeTable)]) ? ctx.outputChoke[j].inductance
                                                                      : ctx.pOutputChokeInput[j]->inductance;
}

int32_t CoupleOutputChokes(AnalysisContext& ctx) {
    const int32_t n = Outputs();
    const double s = StepFactor();
    const double* k = ctx.pSettings->outputChokeCoupling;  // k12, k13, k14, k23, k24, k34
    const double coupling[kMaxOutputs][kMaxOutputs] = {
        {0.0, k[0], k[1], k[2]}, {k[0], 0.0, k[3], k[4]}, {k[1], k[3], 0.0, k[5]}, {k[2], k[4], k[5], 0.0}};
    MagneticLossStore& loss = ctx.engine.loss;
    double z[kMaxOutputs][kMaxOutputs] = {}, e[kMaxOutputs] = {}, g[kMaxOutputs] = {};
    for (int32_t j = 0; j < n; ++j) {
        double ej = 0.0;
        for (int32_t i = 0; i < n; ++i) {
            // The chokes' own windings couple; their sense and skim inductors do not.
            const double m =
                coupling[j][i] * std::sqrt(ChokeWindingInductance(ctx, j) * ChokeWindingInductance(ctx, i)) * s;
            ctx.loadStep.chokeMutual[j][i] = i == j ? 0.0 : m;
            z[j][i] = m;
            if (i != j) ej += m * ctx.outputChoke[i].chokeCurrent;
        }
        ctx.engine.output[j].choke.e -= ej;
        if (!Checked(ctx.engine.output[j].choke.e, ej)) return 0;
        z[j][j] = loss.chokeWinding[j].z;
        e[j] = loss.chokeWinding[j].e - ej;
        g[j] = loss.chokeOn[j] ? loss.chokeConductance[j] : 0.0;
    }
    if (!loss.coupledShunts) return 1;
    // The windings with their shunts as one: each branch keeps its elements in series.
    if (!ShuntCoupledWindings(n, z, e, g, loss.coupledZ, loss.coupledE)) return 0;
    for (int32_t j = 0; j < n; ++j) {
        OutputStepStore& o = ctx.engine.output[j];
        o.choke.z += loss.coupledZ[j][j] - z[j][j];
        o.choke.e += loss.coupledE[j] - e[j];
        for (int32_t i = 0; i < n; ++i)
            if (i != j) ctx.loadStep.chokeMutual[j][i] = loss.coupledZ[j][i];
        if (!Checked(o.choke.z, o.choke.e)) return 0;
    }
    return 1;
}

bool Damped(int32_t firstStage) { return firstStage == kFirstStageDamped || firstStage == kFirstStageDampedSensed; }

CapacitorSenseValues CapacitorSenseOf(const AnalysisContext& ctx, int32_t j) {
    const OutputFilterInputRec& fi = *ctx.pOutputFilterInput[j];
    const OutputFilterStateRec& f = ctx.outputFilter[j];
    CapacitorSenseValues v;
    v.primaryInductance = f.csInductanceC;
    v.secondaryInductance = f.csInductanceB;
    v.mutualInductance = f.csInductanceA;
    const InductorLoss* loss = ctx.engine.loss.output[j];
    v.primaryResistance = InductorResistance(loss[kLossSensePrimary], fi.senseXfmrResistance);
    v.secondaryResistance = InductorResistance(loss[kLossSenseSecondary], fi.senseXfmrSecondaryResistance);
    v.coreConductance = loss[kLossSensePrimary].on ? loss[kLossSensePrimary].conductance : 0.0;
    v.diodeForwardVoltage = fi.sectionQuantityParamR;
    v.diodeResistance = fi.senseDiodeResistance;
    v.senseResistance = fi.senseResistance;
    v.biasVoltage = fi.biasVoltage;
    v.biasResistance1 = fi.biasUpperResistance;
    v.biasResistance2 = fi.csTermA;
    v.biasCapacitor = BiasCapacitorGroup(fi.filterTermParamE);
    return v;
}

CapacitorSenseStart CapacitorSenseStartOf(const OutputFilterStateRec& f) {
    return {f.csValue1, f.senseXfmrSecondaryCurrent, f.csValue12, f.biasCurrent, f.filterFlagA};
}

// The sense transformer's windings with the primary inductance lp: the secondary saturates in
// the ratio lp / l0 (l0 the table's point at 0 A, the design's primary inductance without a
// table), the mutual follows the coupling.
void SetCapacitorSenseInductances(AnalysisContext& ctx, int32_t j, double lp) {
    const OutputFilterInputRec& fi = *ctx.pOutputFilterInput[j];
    OutputFilterStateRec& f = ctx.outputFilter[j];
    const double table = NominalInductance(OutputTable(ctx, j, kCapSenseXfmrTable));
    const double l0 = table > 0.0 ? table : fi.csScaleDen;
    f.csInductanceC = lp > 0.0 ? lp : l0;
    f.csInductanceB = f.csInductanceC / l0 * fi.csScaleNum;
    f.csInductanceA = std::sqrt(f.csInductanceC * f.csInductanceB) * fi.csCoupling;
}

// A saturable core from the step's starting magnetising current, Ip - Is·Ls/M (the primary's
// current less the share the secondary carries, which is all of it on an ideal core), across
// the flux of its primary's voltage of the step before less the winding's drop (Lp·dIm/dt for
// a tight core).
int32_t LookUpCapacitorSense(AnalysisContext& ctx, int32_t j) {
    TimeMagnitudeTable* table = OutputTable(ctx, j, kCapSenseXfmrTable);
    if (!Saturable(table)) return 1;
    OutputFilterStateRec& f = ctx.outputFilter[j];
    const double ip = std::isfinite(f.csValue1) && f.csValue1 != NOT_SET ? f.csValue1 : 0.0;
    const double is = std::isfinite(f.senseXfmrSecondaryCurrent) && f.senseXfmrSecondaryCurrent != NOT_SET
                          ? f.senseXfmrSecondaryCurrent
                          : 0.0;
    const double im = f.csInductanceA > 0.0 ? ip - is * f.csInductanceB / f.csInductanceA : ip;
    double lp = 0.0, slope = 0.0;
    const double flux = VoltageFlux(f.csValue15, ctx.pOutputFilterInput[j]->senseXfmrResistance, f.csValue1,
                                    1.0 / StepFactor());
    if (!LookUpPartInductance(*table, im, flux, 5957, &lp, &slope)) return 0;
    SetCapacitorSenseInductances(ctx, j, lp);
    return 1;
}

// The sense transformer's inductances at their nominal values, and at turn-on its windings at rest.
void StartCapacitorSense(AnalysisContext& ctx, int32_t j) {
    OutputFilterStateRec& f = ctx.outputFilter[j];
    SetCapacitorSenseInductances(ctx, j, 0.0);
    // A steady-state run starts the windings and the bias filter where the estimate put them.
    if (ctx.pSettings->analysisKind != 0) return;
    f.csValue1 = f.senseXfmrSecondaryCurrent = f.csValue12 = f.biasCurrent = 0.0;
    f.filterFlagA = 0;
}

CapacitorGroup FilterCapacitor(const OutputFilterInputRec& in) {
    return {Open(), in.rippleInductance, in.rippleResistance, in.sectionQuantityParamA, in.sectionQuantityParamB,
            in.capACapacitance};
}

}  // namespace

// ---- Output side, forward ------------------------------------------------------------------

int32_t AssembleLoadNetworkPass1() {
    AnalysisContext& ctx = Ctx();
    const StepStateRec& step = ctx.stepState;
    LoadStepStore& ls = ctx.loadStep;
    if (!ls.valuesReady) {
        for (int32_t j = Outputs() - 1; j >= 0; --j) ls.values[j] = LoadValues(ctx, j);
        ls.valuesReady = 1;
    }
    for (int32_t j = Outputs() - 1; j >= 0; --j) {
        const LoadNetworkInputRec& ld = *ctx.pLoadNetworkInput[j];
        LoadNetworkStateRec& lo = ctx.loadNetwork[j];
        LoadNetworkValues& v = ls.values[j];
        if (step.stepCount == 0) {
            // At rest at turn-on; a steady-state start keeps the estimate's current, the
            // phase the settling gave the source and the source's state at its voltage (taken
            // as at 0 V the source would short the output for a step).
            const bool turnOn = ctx.pSettings->analysisKind == 0;
            if (turnOn) {
                lo.firstBranchCurrent = 0.0;
                lo.sourcePhase = 0.0;
            }
            lo.sourceResistance = LoadSourceResistance(OutputSign(ctx, j), turnOn ? 0.0 : lo.sourceVoltage);
            ls.tableCursor[j] = 0;
            ls.tableActive[j] = 1;
            ls.chokePeak[j] = 0.0;
        }
        // Saturable load inductors from their own currents of the step's start: the series one
        // carries the whole load current, the shunt one the resistor's; each expects the flux
        // of its own voltage of the step before, less its winding's drop.
        TimeMagnitudeTable* series = OutputTable(ctx, j, kLoadInductor1Table);
        TimeMagnitudeTable* shunt = OutputTable(ctx, j, kLoadInductor2Table);
        const double h = 1.0 / StepFactor();
        if (ld.firstBranchOn && Saturable(series) &&
            !LookUpPartInductance(*series, lo.firstBranchCurrent,
                                  VoltageFlux(lo.load1Voltage, v.seriesResistance - ld.firstResistance,
                                              lo.firstBranchCurrent, h),
                                  5951, &v.seriesInductance, &lo.load1InductanceSlope))
            return 0;
        if (ld.inductorOn && Saturable(shunt) &&
            !LookUpPartInductance(*shunt, lo.resistorCurrent,
                                  VoltageFlux(lo.load2Voltage, v.inductorResistance, lo.resistorCurrent, h), 5952, &v.inductance, &lo.load2InductanceSlope))
            return 0;
        if (ld.currentSourceOn) {
            // The source of the step: its sine, its DC part and its transient table, never more
            // than the choke has carried so far.
            if (ld.sourceFrequency > 0.0)
                lo.sourcePhase = std::fmod(lo.sourcePhase + kTwoPi * ld.sourceFrequency * step.inverseTimeStepTermA,
                                           kTwoPi);
            double ics = 0.0;
            if (!EvalPwlAcSource(ctx.pTable101[kLoadSourceBlockTable + j], &ls.tableCursor[j], &ics, nullptr,
                                 &ls.tableActive[j], ld.sourceSineAmplitude, ld.sourceCurrent, lo.sourcePhase))
                return 0;
            ls.chokePeak[j] = std::max(ls.chokePeak[j], ctx.outputChoke[j].chokeCurrent);
            ls.sourceCurrent[j] = std::min(ics, ls.chokePeak[j]);
            lo.sourceTermA = ls.sourceCurrent[j];
        }
        const LoadNetworkStart start{lo.resistorCurrent, lo.firstBranchCurrent, ls.sourceCurrent[j],
                                     lo.sourceResistance};
        if (!CalcLoadNetworkCoeffs(v, StepFactor(), start, &ls.output[j])) return 0;
        ctx.engine.output[j].load = ls.output[j].load;
        if (!Checked(ls.output[j].load.z, ls.output[j].load.e)) return 0;
    }
    return 1;
}

int32_t AssembleSecondStageFilterPass1() {
    AnalysisContext& ctx = Ctx();
    for (int32_t j = Outputs() - 1; j >= 0; --j) {
        OutputStepStore& o = ctx.engine.output[j];
        SecondStageCoeffs& c = ctx.loadStep.secondStage[j];
        if (ctx.pOutputFilterInput[j]->sectionQuantityFlagB == 0) {
            // No second stage: the first stage sees the load (the step's cost grows with outputs).
            c.total = c.outputNode = o.load;
            o.secondStage = o.load;
            continue;
        }
        OutputFilterStateRec& f = ctx.outputFilter[j];
        if (ctx.stepState.stepCount == 0 && ctx.pSettings->analysisKind == 0 && ctx.pOutputFilterInput[j]->hasCapB) {
            // At rest at turn-on.
            f.secondInductorCurrent = 0.0;
            f.dampingInductorCurrent = 0.0;
            f.capBVoltage = 0.0;
            f.outputCapacitorCurrent = 0.0;
            f.capB2Voltage = 0.0;
            f.outputCapacitor2Current = 0.0;
        }
        // Saturable inductors at their own currents of the step's start.
        const OutputFilterInputRec& fi = *ctx.pOutputFilterInput[j];
        TimeMagnitudeTable* second = OutputTable(ctx, j, kSecondStageInductorTable);
        TimeMagnitudeTable* damping = OutputTable(ctx, j, kDampingInductorTable);
        const double h = 1.0 / StepFactor();
        if (fi.hasInductorB && Saturable(second) &&
            !LookUpPartInductance(*second, f.secondInductorCurrent,
                                  ExpectedStepFlux(f.secondInductance, f.secondInductorCurrentSlope, h), 5955, &f.secondInductance, &f.secondInductanceSlope))
            return 0;
        if (fi.dampingInductorOn && Saturable(damping) &&
            !LookUpPartInductance(*damping, f.dampingInductorCurrent,
                                  ExpectedStepFlux(f.dampingInductance, f.dampingInductorCurrentSlope, h), 5956,
                                  &f.dampingInductance,
                                  &f.dampingInductanceSlope))
            return 0;
        if (!CalcSecondStageCoeffs(SecondStageOf(ctx, j), StepFactor(), SecondStageStartOf(ctx, j), o.load, &c))
            return 0;
        o.secondStage = c.total;
        if (!Checked(c.total.z, c.total.e)) return 0;
    }
    return 1;
}

int32_t AssembleFirstStageFilterPass1() {
    AnalysisContext& ctx = Ctx();
    for (int32_t j = Outputs() - 1; j >= 0; --j) {
        const OutputFilterInputRec& fi = *ctx.pOutputFilterInput[j];
        const int32_t v = fi.sectionQuantityFlagA;
        if (v < kFirstStageSingleCapacitor || v > kFirstStageDampedSensed) return 0;
        if ((fi.senseXfmrOn != 0) != (v == kFirstStageSensed || v == kFirstStageDampedSensed)) return 0;
        OutputStepStore& o = ctx.engine.output[j];
        OutputFilterStateRec& f = ctx.outputFilter[j];
        CalcCapacitorBranchCoeffs(FilterCapacitor(fi), StepFactor(), f.capacitorVoltage, f.capacitorCurrent,
                                  &o.filterCapacitor);
        // The sensed branch: the capacitor, with its damping branch beside it.
        BranchPair sensed = o.filterCapacitor;
        if (Damped(v)) {
            if (ctx.stepState.stepCount == 0 && ctx.pSettings->analysisKind == 0)
                f.capA2Voltage = f.capacitor2Current = 0.0;  // at rest at turn-on
            BranchPair& damping = ctx.loadStep.firstStageDamping[j];
            if (!CalcFirstStageDampingCoeffs(FirstStageDampingOf(fi), StepFactor(), f.capA2Voltage,
                                             f.capacitor2Current, &damping))
                return 0;
            sensed = ParallelBranches(sensed, damping);
        }
        if (fi.senseXfmrOn) {
            if (ctx.stepState.stepCount == 0) StartCapacitorSense(ctx, j);
            if (!LookUpCapacitorSense(ctx, j)) return 0;
            CapacitorSenseCoeffs& c = ctx.loadStep.capacitorSense[j];
            if (!CalcCapacitorSenseCoeffs(CapacitorSenseOf(ctx, j), StepFactor(), CapacitorSenseStartOf(f), &c))
                return 0;
            ctx.loadStep.sensedBranch[j] = sensed;
            sensed = {sensed.z + c.primary.z, sensed.e + c.primary.e};
        }
        o.outputNode = ParallelBranches(sensed, o.secondStage);
        if (!Checked(o.outputNode.z, o.outputNode.e)) return 0;
    }
    return 1;
}

int32_t AssembleOutputChokePass1() {
    AnalysisContext& ctx = Ctx();
    for (int32_t j = Outputs() - 1; j >= 0; --j) {
        const OutputChokeInputRec& ci = *ctx.pOutputChokeInput[j];
        OutputStepStore& o = ctx.engine.output[j];
        // The choke's sense resistor and its inductance, and the skim inductor, are in series
        // with the winding.
        OutputChokeStateRec& ch = ctx.outputChoke[j];
        TimeMagnitudeTable* skim = OutputTable(ctx, j, kSkimTable);
        // Both carry the choke's current: the flux each is expected to move is its own
        // inductance of the step before times that current's slope.
        const double h = 1.0 / StepFactor();
        if (ci.skimWindingOn && Saturable(skim) &&
            !LookUpPartInductance(*skim, ch.chokeCurrent, ExpectedStepFlux(ch.skimInductance, ch.currentSlope, h),
                                  5953, &ch.skimInductance, &ch.skimInductanceSlope))
            return 0;
        const double skimL = ci.skimWindingOn ? SkimInductance(ctx, j) : 0.0;
        const double skimR =
            ci.skimWindingOn ? InductorResistance(ctx.engine.loss.output[j][kLossSkim], ci.skimResistance) : 0.0;
        // A saturable choke takes the chord of its core across the step.
        double lc = ci.inductance;
        TimeMagnitudeTable* table = ctx.pTable[OutputTableIndex(j + 1, kChokeTable)];
        if (Saturable(table)) {
            // On one core the chokes saturate together, at the ampere-turns of them all.
            const bool coupled = ctx.pSettings->coupledOutputChokes;
            ch.lookupCurrent = coupled ? CoupledChokeSum(ctx, j) : ch.chokeCurrent;
            const double slope = coupled ? CoupledChokeSum(ctx, j, &OutputChokeStateRec::currentSlope) : ch.currentSlope;
            if (!LookUpStepInductance(&ch.inductance, &ch.inductanceSlope, *table, ch.lookupCurrent,
                                      ExpectedStepFlux(ch.inductance, slope, h))) {
                ReportMessageFirstBox(kOutputInductanceMessage);
                return 0;
            }
            lc = ch.inductance;
        }
        const double l = lc + skimL + (ci.seriesElementOn ? ci.seriesInductance : 0.0);
        const MagneticLossStore& loss = ctx.engine.loss;
        const double rw = loss.chokeOn[j] ? loss.choke[j].windingResistance : ci.windingResistance;
        const double r = rw + skimR + (ci.seriesElementOn ? ci.seriesResistance : 0.0);
        InductorLoss& skimLoss = ctx.engine.loss.output[j][kLossSkim];
        const bool skimShunted = ci.skimWindingOn && skimLoss.on && skimLoss.conductance > 0.0;
        if (loss.chokeOn[j] || skimShunted || loss.coupledShunts) {
            // A winding with its core-loss resistance across it stands apart from the elements
            // in series: it carries its own current (the state), the branch the core's too.
            BranchPair winding, series, skimPart;
            double sl = l - lc, sr = r - rw;
            if (skimShunted) {
                sl -= skimL;
                sr -= skimR;
                CalcInductorBranchCoeffs(skimL, skimR, StepFactor(), SkimOwnCurrent(ch), &skimPart);
                ShuntInductor(&skimLoss, &skimPart);
            }
            CalcInductorBranchCoeffs(lc, rw, StepFactor(), ch.chokeCurrent, &winding);
            CalcInductorBranchCoeffs(sl, sr, StepFactor(), ch.chokeCurrent, &series);
            // On one core the shunts join the windings' coupled solve instead.
            if (loss.chokeOn[j] && !loss.coupledShunts) winding = ShuntedBranch(winding, loss.chokeConductance[j]);
            ctx.engine.loss.chokeWinding[j] = winding;
            o.choke = {winding.z + series.z + skimPart.z, winding.e + series.e + skimPart.e};
        } else {
            CalcInductorBranchCoeffs(l, r, StepFactor(), ctx.outputChoke[j].chokeCurrent, &o.choke);
        }
        ctx.outputChoke[j].totalInductance = l;
        ctx.outputChoke[j].totalResistance = r;
        if (!Checked(o.choke.z, o.choke.e)) return 0;
    }
    if (ctx.pSettings->coupledOutputChokes) return CoupleOutputChokes(ctx);
    return 1;
}

// ---- Line side, forward --------------------------------------------------------------------

int32_t AssembleLineSourcePass1() {
    // The phases' sources of the step; their branches join the line side's network below.
    return CalcLineSourceQuantities();
}

int32_t AssembleLineFilterPass1() {
    AnalysisContext& ctx = Ctx();
    // Every variant; its elements join the line side's network with the rectifier.
    const int32_t v = ctx.pSettings->lineFilterVariant;
    return v >= 0 && v <= kLineFilterNone ? 1 : 0;
}

int32_t AssembleInputCapacitorPass1() {
    // One capacitor or two in series, each with or without its damping branch; solved with
    // the rectifier.
    const int32_t v = Ctx().pSettings->inputCapacitorVariant;
    return v >= kInputCapacitorSingle && v <= kInputCapacitorDoubledDamped ? 1 : 0;
}

int32_t AssembleLineRectifierPass1() {
    // The phases, the rectifier of its case and the input capacitor as one network.
    return AssembleLineSidePass1(StepFactor());
}

// ---- Secondary rectifiers and the coupled solve --------------------------------------------

int32_t AssembleSecRectifierElementsPass1() {
    AnalysisContext& ctx = Ctx();
    const double open = Open();
    for (int32_t j = Outputs() - 1; j >= 0; --j) {
        const SecondaryRectifierInputRec& ri = *ctx.pSecondaryRectifierInput[j];
        const SecondaryRectifierStateRec& rs = ctx.secondaryRectifier[j];
        OutputStepStore& o = ctx.engine.output[j];
        o.polarity = ctx.pOutputFilterInput[j]->outputSign < 0 ? -1 : 1;
        if (!ri.frequencyAnalysisFlagA && !ri.frequencyAnalysisFlagB) {
            CalcRectifierCoeffs(rs.rectifier1On, ri.diodeDrop, ri.dynamicResistance, open, &o.forwardRectifier);
            CalcRectifierCoeffs(rs.diodeConducting, ri.forwardVoltage, ri.secondDynamicResistance, open,
                                &o.freewheelRectifier);
            continue;
        }
        CalcSyncRectifierCoeffs(SyncPosition(ri, 0) && rs.switchPathAOn, ri.onResistance, rs.rectifier1On,
                                PositionDiode(ri, 0), open, &o.forwardRectifier);
        CalcSyncRectifierCoeffs(SyncPosition(ri, 1) && rs.switchPathBOn, ri.secondOnResistance, rs.diodeConducting,
                                PositionDiode(ri, 1), open, &o.freewheelRectifier);
    }
    return 1;
}

int32_t CalcCoupledOutputChokeQuantities() {
    AnalysisContext& ctx = Ctx();
    EngineStore& st = ctx.engine;
    const int32_t n = Outputs();
    int32_t polarity[kMaxOutputs] = {1, 1, 1, 1};
    for (int32_t j = 0; j < n; ++j) polarity[j] = st.output[j].polarity;
    const PrimaryInputRec& pi = *ctx.pPrimaryInput;
    // The stacking and the signs hold for the run.
    if (!st.stackReady) {
        CalcStackingMatrix(n, {pi.stack2On1, pi.stack1On2, pi.stack3On2, pi.stack2On3, pi.stack4On3, pi.stack3On4},
                           polarity, st.stack);
        st.stackCouples = StackingCouplesWindings(n, st.stack);
        st.stackReady = 1;
    }
    if (!SolveCoupledOutputsStacked(n, st.stack, &st,
                                    ctx.pSettings->coupledOutputChokes ? ctx.loadStep.chokeMutual : nullptr,
                                    st.stackCouples))
        return 0;
    for (int32_t j = 0; j < n; ++j) {
        OutputStepStore& o = st.output[j];
        o.chokeCurrent = o.forwardCurrent + o.freewheelCurrent;
        o.outputVoltage = o.outputNode.z * o.chokeCurrent + o.outputNode.e;
        if (!Checked(o.chokeCurrent, o.outputVoltage)) return 0;
    }
    return 1;
}

int32_t AssembleSecRectifierElementsPass2() {
    AnalysisContext& ctx = Ctx();
    const double s = StepFactor();
    const double open = Open();
    for (int32_t j = Outputs() - 1; j >= 0; --j) {
        const SecondaryRectifierInputRec& ri = *ctx.pSecondaryRectifierInput[j];
        SecondaryRectifierStateRec& rs = ctx.secondaryRectifier[j];
        OutputStepStore& o = ctx.engine.output[j];
        o.forwardSlope = (o.forwardCurrent - rs.rectifier1AnodeToCathodeCurrent) * s;
        o.freewheelSlope = (o.freewheelCurrent - rs.diodeCurrent) * s;
        o.forwardVoltage = o.forwardRectifier.z * o.forwardCurrent + o.forwardRectifier.e;
        o.freewheelVoltage = o.freewheelRectifier.z * o.freewheelCurrent + o.freewheelRectifier.e;
        rs.rectifier1AnodeToCathodeCurrent = o.forwardCurrent;
        rs.rectifier1AnodeToCathodeVoltage = o.forwardVoltage;
        rs.rectifierCurrent = o.forwardCurrent;
        rs.rectifier1Resistance = o.forwardRectifier.z;
        rs.diodeCurrent = o.freewheelCurrent;
        rs.rectifier2TotalAnodeToCathodeCurrent = o.freewheelCurrent;
        rs.rectifierVoltage = o.freewheelVoltage;
        rs.diodeResistance = o.freewheelRectifier.z;
        if (ri.frequencyAnalysisFlagA) {
            const bool channel = rs.switchPathAOn != 0;
            rs.switch1DrainToSourceVoltage = -o.forwardVoltage;
            rs.switch1DrainToSourceCurrent = channel ? -o.forwardCurrent : 0.0;
            rs.switchPathAResistance = channel ? ri.onResistance : open;
            // The body diode conducts when it is (one of) the position's diodes and the channel is
            // not driven.
            rs.secondDiodeConducting = !channel && rs.rectifier1On && ChoosePositionDiodes(ri, 0).bodyDiode;
        }
        if (ri.frequencyAnalysisFlagB) {
            rs.channelResistance = rs.switchPathBOn ? ri.secondOnResistance : open;
            rs.channelCurrent = rs.switchPathBOn ? -o.freewheelCurrent : 0.0;
            rs.channelVoltage = -o.freewheelVoltage;
            rs.bodyDiode2Conducting = !rs.switchPathBOn && rs.diodeConducting && ChoosePositionDiodes(ri, 1).bodyDiode;
            rs.bodyDiode2ResistanceNow = rs.bodyDiode2Conducting ? ri.bodyDiode2Resistance : open;
        }
        rs.chokeCurrentCopy = o.chokeCurrent;
        rs.rectifiedVoltage = o.chokeNodeVoltage;
        // The feedback's modulator term: the rectified voltage through its RC lag (none at 0).
        const double tauS = ctx.pOutputFilterInput[j]->engineSetupParamA * s;
        rs.modulatorVoltage = tauS > 0.0 ? (tauS * rs.modulatorVoltage + rs.rectifiedVoltage) / (tauS + 1.0)
                                         : rs.rectifiedVoltage;
    }
    return 1;
}

// ---- Line side, reverse --------------------------------------------------------------------

int32_t AssembleLineRectifierPass2() {
    AnalysisContext& ctx = Ctx();
    EngineStore& st = ctx.engine;
    ctx.primary.magnetizingCurrentCopy5 = st.bulkDraw;  // the primary's input current
    if (!AssembleLineSidePass2(st.bulkDraw, StepFactor())) return 0;
    st.bulkVoltage = ctx.inputCapacitor.inputVoltage;
    st.lineFilterCurrent = ctx.lineStep.sol.rectifierCurrent;
    return 1;
}

int32_t AssembleInputCapacitorPass2() {
    // Written with the line rectifier's reverse pass.
    return 1;
}

int32_t AssembleLineFilterPass2() {
    // Written with the line rectifier's reverse pass.
    const int32_t v = Ctx().pSettings->lineFilterVariant;
    return v >= 0 && v <= kLineFilterNone ? 1 : 0;
}

int32_t AssembleLineSourcePass2() {
    // The phase currents were written with the line rectifier's reverse pass.
    return 1;
}

// ---- Output side, reverse ------------------------------------------------------------------

int32_t AssembleOutputChokePass2() {
    AnalysisContext& ctx = Ctx();
    for (int32_t j = Outputs() - 1; j >= 0; --j) {
        const OutputChokeInputRec& ci = *ctx.pOutputChokeInput[j];
        const OutputStepStore& o = ctx.engine.output[j];
        OutputChokeStateRec& ch = ctx.outputChoke[j];
        // With a core-loss resistance the choke's current is its winding's own (the terminal's
        // less what the resistance takes): the slope compares that with the last step's winding
        // current, not the terminal's, whose difference over a short step is no slope at all.
        const MagneticLossStore& loss = ctx.engine.loss;
        double own = o.chokeCurrent, v = 0.0;
        if (loss.chokeOn[j] && loss.coupledShunts) {
            v = loss.coupledE[j];
            for (int32_t i = 0; i < Outputs(); ++i) v += loss.coupledZ[j][i] * ctx.engine.output[i].chokeCurrent;
            own = o.chokeCurrent - loss.chokeConductance[j] * v;
        } else if (loss.chokeOn[j]) {
            const BranchPair& w = loss.chokeWinding[j];
            v = w.z * o.chokeCurrent + w.e;
            own = o.chokeCurrent - loss.chokeConductance[j] * v;
        }
        ch.currentSlope = (own - ch.chokeCurrent) * StepFactor();
        if (ci.skimWindingOn) {
            ch.skimInductance = SkimInductance(ctx, j);
            const InductorLoss& skim = ctx.engine.loss.output[j][kLossSkim];
            ch.skimWindingResistance = InductorResistance(skim, ci.skimResistance);
            if (skim.on && skim.conductance > 0.0) {
                ch.skimCurrent = InductorOwnCurrent(skim, o.chokeCurrent, &ch.skimVoltage);
            } else {
                ch.skimCurrent = o.chokeCurrent;
                ch.skimVoltage = ch.skimWindingResistance * o.chokeCurrent + ch.skimInductance * ch.currentSlope;
            }
            if (skim.on && !AccumulateOutputInductor(ctx, j, kLossSkim, ch.skimCurrent, ch.skimVoltage)) return 0;
        }
        ch.chokeCurrent = own;
        ch.reportedChokeCurrent = o.chokeCurrent;
        ch.windingVoltage = o.chokeNodeVoltage - o.outputVoltage;
        if (loss.chokeOn[j] && !AccumulateChokeWinding(ctx, j, own, v)) return 0;
        if (ci.seriesElementOn)
            ch.currentSenseOutput = ci.seriesElementFactor *
                                    (ci.seriesResistance * o.chokeCurrent + ci.seriesInductance * ch.currentSlope);
    }
    return 1;
}

int32_t AssembleFirstStageFilterPass2() {
    AnalysisContext& ctx = Ctx();
    const double sf = StepFactor();
    for (int32_t j = Outputs() - 1; j >= 0; --j) {
        const OutputFilterInputRec& fi = *ctx.pOutputFilterInput[j];
        const OutputStepStore& o = ctx.engine.output[j];
        OutputFilterStateRec& f = ctx.outputFilter[j];
        f.outputVoltage = o.outputVoltage;
        // What the capacitors see: the output, less the sense transformer's primary.
        double across = o.outputVoltage;
        if (fi.senseXfmrOn) {
            const CapacitorSenseCoeffs& c = ctx.loadStep.capacitorSense[j];
            const BranchPair& branch = ctx.loadStep.sensedBranch[j];
            const double ip = (o.outputVoltage - branch.e - c.primary.e) / (branch.z + c.primary.z);
            const CapacitorSenseValues v = CapacitorSenseOf(ctx, j);
            CapacitorSenseResult r;
            if (!UpdateCapacitorSense(v, sf, CapacitorSenseStartOf(f), c, ip, &r)) return 0;
            across = o.outputVoltage - r.primaryVoltage;
            ctx.loadStep.senseCurrentSlope[j] = (r.secondaryCurrent - f.senseXfmrSecondaryCurrent) * sf;
            const InductorLoss* loss = ctx.engine.loss.output[j];
            if ((loss[kLossSensePrimary].on &&
                 !AccumulateOutputInductor(ctx, j, kLossSensePrimary, r.windingCurrent, r.primaryVoltage)) ||
                (loss[kLossSenseSecondary].on &&
                 !AccumulateOutputInductor(ctx, j, kLossSenseSecondary, r.secondaryCurrent, r.secondaryVoltage)))
                return 0;
            f.csValue1 = r.windingCurrent;
            f.csValue15 = r.primaryVoltage;
            f.senseXfmrSecondaryCurrent = r.secondaryCurrent;
            f.csValue14 = r.secondaryVoltage;
            f.senseDiodeCurrent = r.secondaryCurrent;
            f.senseDiodeAux = r.diodeVoltage;
            // Current Sense Rectifier 2 resets the core across the winding, against rectifier 1:
            // it blocks the winding's voltage, and the model gives it no current (an open
            // rectifier 1 leaves the secondary open).
            f.firstStageCurrentSenseRectifier2AnodeToCathodeCurrent = 0.0;
            f.senseDiodeAux2 = -r.secondaryVoltage;
            f.senseDiodeResistanceNow = f.filterFlagA ? v.diodeResistance : Open();
            f.biasNodeVoltage = r.nodeVoltage;
            f.senseResistorCurrent = r.senseResistorCurrent;
            f.senseResistorVoltage = r.nodeVoltage;
            f.senseBranchACurrent = r.senseResistorCurrent;
            f.senseBranchBCurrent = r.bias1Current;
            f.senseBranchBVoltage = v.biasVoltage - r.nodeVoltage;
            f.biasCurrent = r.bias2Current;
            f.csValue12 = r.biasCapacitorVoltage;
            f.currentSenseOutput = r.output;
        }
        const double current = BranchCurrent(o.filterCapacitor, across);
        f.capacitorVoltage = UpdateCapacitorBranch(FilterCapacitor(fi), sf, f.capacitorVoltage, current);
        f.capacitorCurrent = current;
        f.capacitorVoltage1 = f.capacitorVoltage;
        f.capAVoltage = f.capacitorVoltage;
        f.capacitorCurrent1 = current;
        if (!Checked(f.capacitorVoltage, current)) return 0;
        if (Damped(fi.sectionQuantityFlagA)) {
            const FirstStageDamping d = FirstStageDampingOf(fi);
            const double i2 = BranchCurrent(ctx.loadStep.firstStageDamping[j], across);
            // Resistor Damp 1 with its ESL: R·I + L·dI/dt over the step.
            f.capacitor2VoltageCopy = d.resistance * i2 + d.inductance * sf * (i2 - f.capacitor2Current);
            f.capA2Voltage = UpdateCapacitorBranch(d.capacitor, sf, f.capA2Voltage, i2);
            f.capacitor2Current = i2;
            f.capacitor2Voltage = across;
            if (!Checked(f.capA2Voltage, i2)) return 0;
        }
    }
    return 1;
}

// The sense diodes follow their current and voltage: one that carries current until it ends,
// an open one once its voltage passes its forward voltage.
int32_t UpdateFilterSenseDiodes() {
    AnalysisContext& ctx = Ctx();
    int32_t event = 0;
    for (int32_t j = 0; j < Outputs(); ++j) {
        const OutputFilterInputRec& fi = *ctx.pOutputFilterInput[j];
        if (!fi.senseXfmrOn) continue;
        OutputFilterStateRec& f = ctx.outputFilter[j];
        if (f.filterFlagA) {
            if (f.senseDiodeCurrent <= 0.0 ||
                (ctx.loadStep.senseCurrentSlope[j] < 0.0 &&
                 -f.senseDiodeCurrent / ctx.loadStep.senseCurrentSlope[j] <= kSenseEventReached)) {
                f.filterFlagA = 0;
                event = 1;
            }
        } else if (f.senseDiodeAux > fi.sectionQuantityParamR) {
            f.filterFlagA = 1;
            event = 1;
        }
    }
    return event;
}

// The end of each sense diode's falling current as an event proposal.
void ProposeFilterSenseEvents(StepStateRec& step) {
    AnalysisContext& ctx = Ctx();
    for (int32_t j = 0; j < Outputs(); ++j) {
        if (!ctx.pOutputFilterInput[j]->senseXfmrOn || !ctx.outputFilter[j].filterFlagA) continue;
        const double i = ctx.outputFilter[j].senseDiodeCurrent, slope = ctx.loadStep.senseCurrentSlope[j];
        if (i > 0.0 && slope < 0.0) step.LimitTimeStep(-i / slope, 1, 1);
    }
}

int32_t AssembleSecondStageFilterPass2() {
    AnalysisContext& ctx = Ctx();
    for (int32_t j = Outputs() - 1; j >= 0; --j) {
        if (ctx.pOutputFilterInput[j]->sectionQuantityFlagB == 0) {
            ctx.loadStep.loadVoltage[j] = ctx.engine.output[j].outputVoltage;
            continue;
        }
        const SecondStageValues v = SecondStageOf(ctx, j);
        SecondStageResult r;
        if (!UpdateSecondStage(v, StepFactor(), SecondStageStartOf(ctx, j), ctx.loadStep.secondStage[j],
                               ctx.engine.output[j].outputVoltage, &r))
            return 0;
        ctx.loadStep.loadVoltage[j] = r.outputVoltage;
        if (v.variant == 0) continue;
        OutputFilterStateRec& f = ctx.outputFilter[j];
        f.secondInductance = v.inductance;
        f.secondInductorVoltage = r.inductorCurrent * v.resistance +
                                  v.inductance * StepFactor() * (r.inductorCurrent - f.secondInductorCurrent);
        f.secondInductorCurrentSlope = (r.inductorCurrent - f.secondInductorCurrent) * StepFactor();
        f.secondInductorCurrent = r.inductorCurrent;
        f.dampingInductorCurrentSlope = (r.dampingInductorCurrent - f.dampingInductorCurrent) * StepFactor();
        if (ctx.pOutputFilterInput[j]->dampingInductorOn)
            f.dampingInductorVoltage = v.dampingInductance * StepFactor() * (r.dampingInductorCurrent - f.dampingInductorCurrent) +
                                       v.dampingInductorResistance * r.dampingInductorCurrent;
        f.inductorBCurrent = r.inductorCurrent + v.inductorConductance * r.inductorVoltage + r.dampingCurrent;
        f.dampingInductorCurrent = r.dampingInductorCurrent;
        const InductorLoss* loss = ctx.engine.loss.output[j];
        if ((loss[kLossSecondStage].on &&
             !AccumulateOutputInductor(ctx, j, kLossSecondStage, r.inductorCurrent, f.secondInductorVoltage)) ||
            (loss[kLossOutputDamping].on &&
             !AccumulateOutputInductor(ctx, j, kLossOutputDamping, r.dampingInductorCurrent, f.dampingInductorVoltage)))
            return 0;
        f.dampingResistorDrop = v.dampingResistance * r.dampingCurrent;
        f.outputCapacitorCurrent = r.capacitorCurrent;
        f.capBVoltage = r.capacitorVoltage;
        f.outputCapacitorVoltageCopy = r.capacitorVoltage;
        if (ctx.pOutputFilterInput[j]->hasCapB2) {
            f.capB2Voltage = r.dampingCapacitorVoltage;
            f.outputCapacitor2Current = r.dampingCapacitorCurrent;
            // Resistor Damp 3, which the capacitor group carries in its ESR.
            f.outputCapacitor2VoltageCopy = ctx.pOutputFilterInput[j]->filterTermParamD * r.dampingCapacitorCurrent;
            f.outputCapacitor2Voltage = r.outputVoltage;
        }
        // What the feedback and the display take as the output: the node behind the second stage.
        f.outputVoltage = r.outputVoltage;
    }
    return 1;
}

int32_t AssembleLoadNetworkPass2() {
    AnalysisContext& ctx = Ctx();
    const double sf = StepFactor();
    for (int32_t j = Outputs() - 1; j >= 0; --j) {
        const LoadNetworkInputRec& ld = *ctx.pLoadNetworkInput[j];
        LoadNetworkStateRec& lo = ctx.loadNetwork[j];
        const LoadNetworkValues& v = ctx.loadStep.values[j];
        LoadNetworkResult r;
        const double vload = ctx.loadStep.loadVoltage[j];
        if (!UpdateLoadNetwork(v, ctx.loadStep.output[j], vload, &r)) return 0;
        if (ld.inductorOn) {
            lo.load2Inductance = v.inductance;
            lo.load2Voltage = v.inductorResistance * r.shuntCurrent + v.inductance * sf * (r.shuntCurrent - lo.resistorCurrent);
        }
        if (ld.firstBranchOn) {
            lo.load1Inductance = v.seriesInductance;
            lo.firstResistorDrop = ld.firstResistance * r.current;
            lo.load1Voltage = r.seriesVoltage - lo.firstResistorDrop;
            lo.firstBranchCurrent = r.current;
        }
        const InductorLoss* loss = ctx.engine.loss.output[j];
        if ((loss[kLossLoad1].on && !AccumulateOutputInductor(ctx, j, kLossLoad1, r.current, lo.load1Voltage)) ||
            (loss[kLossLoad2].on && !AccumulateOutputInductor(ctx, j, kLossLoad2, r.shuntCurrent, lo.load2Voltage)))
            return 0;
        lo.resistorCurrent = r.shuntCurrent;
        lo.resistorVoltage = ld.resistorOn ? ld.resistance * r.shuntCurrent : 0.0;
        if (ld.currentSourceOn) {
            // The source branch's current: its source and the resistance beside it this step.
            lo.sourceDcCurrent = r.sourceVoltage / lo.sourceResistance + ctx.loadStep.sourceCurrent[j];
            lo.sourceVoltage = r.sourceVoltage;
            lo.sourceResistance = LoadSourceResistance(OutputSign(ctx, j), r.sourceVoltage);
        }
        lo.loadCurrent = r.current;
        lo.outputNodeVoltage = vload;
    }
    return 1;
}
