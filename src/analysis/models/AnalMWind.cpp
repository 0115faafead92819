#include "analysis/models/AnalMWind.h"

#include <cmath>

#include "analysis/context/AnalContext.h"
#include "records/Utils.h"

namespace {

constexpr UINT kModuleAnalCalc = 56002;
constexpr UINT kOutputWindingMessage = 52175;
constexpr UINT kPrimaryWindingMessage = 52174;
constexpr UINT kTransformerMessage = 52193;

// A value the fill leaves unset counts as none.
double Given(double v) { return std::isfinite(v) && v != NOT_SET ? v : 0.0; }

WindingLossValues PrimaryValues(const PrimaryInputRec& pi) {
    return {Given(pi.primaryWindingAcResistance), Given(pi.transformerCoreLoss), Given(pi.primaryWindingResistance)};
}
WindingLossValues ResetValues(const PrimaryInputRec& pi) {
    return {Given(pi.resetWindingAcResistance), 0.0, Given(pi.resetWindingResistance)};
}
WindingLossValues SecondaryValues(const SecondaryRectifierInputRec& ri) {
    return {Given(ri.windingAcResistance), 0.0, Given(ri.windingResistance)};
}

bool HasLoss(const WindingLossValues& v) { return v.coreLoss > 0.0 || v.acResistance > v.dcResistance; }

int32_t Failed(int code, UINT message, int32_t output = 0) {
    ReportMessage1(kModuleAnalCalc, code, FALSE);
    if (output) ReportMessage1FirstBox(message, output);
    else ReportMessageFirstBox(message);
    return 0;
}

// The output codes of the step integrals run 5938 (output 1) down to 5935 (output 4).
int OutputCode(int32_t j) { return 5938 - j; }

constexpr UINT kLineWindingMessage = 52172;
constexpr UINT kLineCoreLossMessage = 58975;
constexpr UINT kOutputCoreLossMessage = 58976;

// The line filter inductors: present, and their values.
bool LineInductorPresent(const LineSourceInputRec& li, int k) {
    if (k == kLossFirstInductor) return li.firstInductorOn != 0;
    if (k == kLossSecondInductor) return li.secondInductorOn != 0;
    return li.dampingResistorOn && li.dampingInductorOn;
}
WindingLossValues LineInductorValues(const LineSourceInputRec& li, int k) {
    if (k == kLossFirstInductor)
        return {Given(li.firstInductorAcResistance), Given(li.firstInductorCoreLoss), Given(li.firstInductorResistance)};
    if (k == kLossSecondInductor)
        return {Given(li.secondInductorAcResistance), Given(li.secondInductorCoreLoss),
                Given(li.secondInductorResistance)};
    return {Given(li.dampingInductorAcResistance), Given(li.dampingInductorCoreLoss),
            Given(li.dampingInductorResistance)};
}

// The output's other inductors: the skim winding, Inductors Out 2 and Out 3 of the second
// stage, the load's two (no core loss in their records).
bool SecondStageInductor(const OutputFilterInputRec& fi) {
    return fi.hasCapB && fi.sectionQuantityFlagB != 0;
}
bool OutputInductorPresent(const AnalysisContext& ctx, int32_t j, int k) {
    const OutputFilterInputRec& fi = *ctx.pOutputFilterInput[j];
    const LoadNetworkInputRec& ld = *ctx.pLoadNetworkInput[j];
    switch (k) {
    case kLossSkim: return ctx.pOutputChokeInput[j]->skimWindingOn != 0;
    case kLossSecondStage: return SecondStageInductor(fi);
    case kLossOutputDamping:
        return SecondStageInductor(fi) && fi.dampingInductorOn &&
               (fi.sectionQuantityFlagB == 4 || fi.sectionQuantityFlagB == 6);
    case kLossLoad1: return ld.firstBranchOn && ld.firstInductorOn;
    case kLossSensePrimary:
    case kLossSenseSecondary: return fi.senseXfmrOn != 0;
    default: return ld.inductorOn && (ld.sectionQuantityFlagA == 1 || ld.sectionQuantityFlagA == 3);
    }
}
WindingLossValues OutputInductorValues(const AnalysisContext& ctx, int32_t j, int k) {
    const OutputChokeInputRec& ci = *ctx.pOutputChokeInput[j];
    const OutputFilterInputRec& fi = *ctx.pOutputFilterInput[j];
    const LoadNetworkInputRec& ld = *ctx.pLoadNetworkInput[j];
    switch (k) {
    case kLossSkim: return {Given(ci.skimAcResistance), Given(ci.skimCoreLoss), Given(ci.skimResistance)};
    case kLossSecondStage:
        return {Given(fi.secondInductorAcResistance), Given(fi.secondInductorCoreLoss),
                Given(fi.secondInductorResistance)};
    case kLossOutputDamping:
        return {Given(fi.dampingInductorAcResistance), Given(fi.dampingInductorCoreLoss),
                Given(fi.dampingInductorResistance)};
    case kLossLoad1: return {Given(ld.firstInductorAcResistance), 0.0, Given(ld.firstInductorResistance)};
    // The capacitor-sense transformer's one core loss is its primary's, the winding the sensed
    // branch drives.
    case kLossSensePrimary:
        return {Given(fi.senseXfmrAcResistance), Given(fi.senseXfmrCoreLoss), Given(fi.senseXfmrResistance)};
    case kLossSenseSecondary:
        return {Given(fi.senseXfmrSecondaryAcResistance), 0.0, Given(fi.senseXfmrSecondaryResistance)};
    default: return {Given(ld.inductorAcResistance), 0.0, Given(ld.inductorResistance)};
    }
}

// Period-end codes: the line's inductors 5900..5902; the output's skim 5905, Out 2 and Out 3
// 5908 and 5909, the load's 5910 and 5911, the capacitor-sense windings 5906 and 5907. Step
// codes: line 5924..5926, output 5915, 5919, 5920, 5921, 5922, 5917, 5918.
constexpr int kLineAverageCode[kLossLineInductors] = {5900, 5901, 5902};
constexpr int kLineStepCode[kLossLineInductors] = {5924, 5925, 5926};
constexpr int kOutputAverageCode[kLossOutputInductors] = {5905, 5908, 5909, 5910, 5911, 5906, 5907};
constexpr int kOutputStepCode[kLossOutputInductors] = {5915, 5919, 5920, 5921, 5922, 5917, 5918};
constexpr UINT kSenseCoreLossMessage = 58977;

void ClearIntegrals(WindingLoss* w) { w->currentIntegral = w->squareCurrentIntegral = w->squareVoltageIntegral = 0.0; }

}  // namespace

WindingLossValues ChokeLossValues(const AnalysisContext& ctx, int32_t j) {
    const OutputChokeInputRec& ci = *ctx.pOutputChokeInput[j];
    return {Given(ci.chokeAcResistance), Given(ci.chokeCoreLoss), Given(ci.windingResistance)};
}

void ResetMagneticLosses(AnalysisContext& ctx) {
    MagneticLossStore& l = ctx.engine.loss;
    const PrimaryInputRec& pi = *ctx.pPrimaryInput;
    const int32_t n = ctx.pSettings->outputCount;
    l = MagneticLossStore();
    bool active = false;
    if (pi.powerTransformerOn) {
        l.primaryOn = HasLoss(PrimaryValues(pi)) ? 1 : 0;
        l.resetOn = pi.resetWindingOn && HasLoss(ResetValues(pi)) ? 1 : 0;
        active = l.primaryOn || l.resetOn;
        for (int32_t j = 0; j < n; ++j) {
            l.secondaryOn[j] = HasLoss(SecondaryValues(*ctx.pSecondaryRectifierInput[j])) ? 1 : 0;
            active = active || l.secondaryOn[j];
        }
    }
    for (int32_t j = 0; j < n; ++j) {
        l.chokeOn[j] = HasLoss(ChokeLossValues(ctx, j)) ? 1 : 0;
        active = active || l.chokeOn[j];
        if (l.chokeOn[j] && ctx.pSettings->coupledOutputChokes) l.coupledShunts = 1;
    }
    const LineSourceInputRec& li = *ctx.pLineSourceInput;
    const int32_t phases = ctx.pSettings->linePhaseCount >= 1 && ctx.pSettings->linePhaseCount <= kMaxLinePhases
                               ? ctx.pSettings->linePhaseCount
                               : 1;
    for (int32_t p = 0; p < kMaxLinePhases; ++p)
        for (int k = 0; k < kLossLineInductors; ++k) {
            ResetInductorLoss(&l.line[p][k], p < phases && LineInductorPresent(li, k), LineInductorValues(li, k));
            active = active || l.line[p][k].on;
        }
    for (int32_t j = 0; j < n; ++j)
        for (int k = 0; k < kLossOutputInductors; ++k) {
            ResetInductorLoss(&l.output[j][k], OutputInductorPresent(ctx, j, k), OutputInductorValues(ctx, j, k));
            active = active || l.output[j][k].on;
        }
    l.active = active ? 1 : 0;
    ResetWindingLoss(&l.primary, PrimaryValues(pi).dcResistance);
    ResetWindingLoss(&l.reset, ResetValues(pi).dcResistance);
    for (int32_t j = 0; j < kMaxOutputs; ++j) {
        ResetWindingLoss(&l.secondary[j], j < n ? SecondaryValues(*ctx.pSecondaryRectifierInput[j]).dcResistance : 0.0);
        ResetWindingLoss(&l.choke[j], j < n ? ChokeLossValues(ctx, j).dcResistance : 0.0);
    }
}

int32_t SeedMagneticLosses(AnalysisContext& ctx, double duty, double vin) {
    MagneticLossStore& l = ctx.engine.loss;
    if (!l.active) return 1;
    const PrimaryInputRec& pi = *ctx.pPrimaryInput;
    const int32_t n = ctx.pSettings->outputCount;
    const double d = std::fmin(std::fmax(duty, 0.0), 1.0);
    double reflected = 0.0;
    for (int32_t j = 0; j < n; ++j) {
        const SecondaryRectifierInputRec& ri = *ctx.pSecondaryRectifierInput[j];
        const OutputChokeStateRec& ch = ctx.outputChoke[j];
        const double io = Given(ctx.loadNetwork[j].loadCurrent);
        const double ripple = std::fabs(Given(ch.currentSlope)) * d * ctx.stepState.switchingPeriod;
        const double vs = vin * ri.windingTurns / pi.primaryTurns;
        const double vo = Given(ctx.outputFilter[j].outputVoltage);
        // Secondary: the choke current in the on-time, nothing else; its voltage the reflected
        // input in the on-time and about as much reversed in the reset.
        const double b = io * io + ripple * ripple / 12.0;
        if (!SeedWindingLoss(&l.secondary[j], d * io, d * b, 2.0 * d * vs * vs, SecondaryValues(ri)) ||
            !SeedWindingLoss(&l.choke[j], io, b, d * (vs - vo) * (vs - vo) + (1.0 - d) * vo * vo,
                             ChokeLossValues(ctx, j)))
            return 0;
        reflected += io * ri.windingTurns / pi.primaryTurns;
    }
    // Primary: the reflected load in the on-time; its voltage the input in the on-time and
    // about as much reversed while the core resets.
    if (!SeedWindingLoss(&l.primary, d * reflected, d * reflected * reflected, 2.0 * d * vin * vin, PrimaryValues(pi)))
        return 0;
    return 1;
}

int32_t ApplyMagneticLosses(AnalysisContext& ctx) {
    MagneticLossStore& l = ctx.engine.loss;
    TransformerParams& t = ctx.engine.xfmr;
    const int32_t n = ctx.pSettings->outputCount;
    // The integrals start with the period's time: what ran before (the search for the steady
    // state) would otherwise be divided by this period's length alone.
    l.periodTime = 0.0;
    l.lastCycleTime = ctx.stepState.cycleTime;
    ClearIntegrals(&l.primary);
    ClearIntegrals(&l.reset);
    for (int32_t j = 0; j < kMaxOutputs; ++j) {
        ClearIntegrals(&l.secondary[j]);
        ClearIntegrals(&l.choke[j]);
        for (int k = 0; k < kLossOutputInductors; ++k) ClearIntegrals(&l.output[j][k].w);
    }
    for (int32_t p = 0; p < kMaxLinePhases; ++p)
        for (int k = 0; k < kLossLineInductors; ++k) ClearIntegrals(&l.line[p][k].w);
    l.primary.currentPrev = ctx.primary.primaryWindingCurrent;
    l.primary.voltagePrev = Given(ctx.primary.primaryWindingVoltage);
    l.reset.currentPrev = Given(ctx.primary.resetWindingCurrent);
    l.reset.voltagePrev = Given(ctx.primary.resetWindingVoltage);
    for (int32_t j = 0; j < n; ++j) {
        l.secondary[j].currentPrev = Given(ctx.secondaryWinding[j].windingCurrent);
        l.secondary[j].voltagePrev = Given(ctx.secondaryWinding[j].windingVoltage);
        l.choke[j].currentPrev = Given(ctx.outputChoke[j].chokeCurrent);
        l.choke[j].voltagePrev = Given(ctx.outputChoke[j].windingVoltage);
    }
    for (int32_t p = 0; p < kMaxLinePhases; ++p) {
        const LinePhaseStateRec& ph = ctx.linePhase[p];
        const double current[kLossLineInductors] = {ph.firstInductorCurrent, ph.secondInductorCurrent,
                                                    ph.dampingBranchCurrent};
        const double voltage[kLossLineInductors] = {ph.firstInductorVoltage, ph.secondInductorVoltage,
                                                    ph.dampingInductorVoltage};
        for (int k = 0; k < kLossLineInductors; ++k) {
            InductorLoss& x = l.line[p][k];
            x.w.currentPrev = Given(current[k]);
            x.w.voltagePrev = Given(voltage[k]);
            x.conductance = CoreConductance(x.w);
        }
    }
    for (int32_t j = 0; j < n; ++j) {
        const OutputFilterStateRec& f = ctx.outputFilter[j];
        const LoadNetworkStateRec& lo = ctx.loadNetwork[j];
        const OutputChokeStateRec& ch = ctx.outputChoke[j];
        const double skimCurrent = std::isfinite(ch.skimCurrent) && ch.skimCurrent != NOT_SET ? ch.skimCurrent
                                                                                              : ch.chokeCurrent;
        const double current[kLossOutputInductors] = {skimCurrent, f.secondInductorCurrent,
                                                      f.dampingInductorCurrent, lo.firstBranchCurrent,
                                                      lo.resistorCurrent, f.csValue1, f.senseXfmrSecondaryCurrent};
        const double voltage[kLossOutputInductors] = {ctx.outputChoke[j].skimVoltage, f.secondInductorVoltage,
                                                      f.dampingInductorVoltage, lo.load1Voltage, lo.load2Voltage,
                                                      f.csValue15, f.csValue14};
        for (int k = 0; k < kLossOutputInductors; ++k) {
            InductorLoss& x = l.output[j][k];
            x.w.currentPrev = Given(current[k]);
            x.w.voltagePrev = Given(voltage[k]);
            x.conductance = CoreConductance(x.w);
        }
    }
    if (!l.active) return 1;
    t.rp = l.primary.windingResistance;
    ctx.primary.primaryWindingResistance = t.rp;
    l.primaryConductance = CoreConductance(l.primary);
    ctx.primary.primaryOpenResistance = l.primary.parallelResistance > 0.0 ? l.primary.parallelResistance
                                                                         : ctx.pSettings->openResistance;
    for (int32_t j = 0; j < n; ++j) {
        t.rs[j] = l.secondary[j].windingResistance;
        ctx.secondaryWinding[j].windingResistance = t.rs[j];
        l.chokeConductance[j] = CoreConductance(l.choke[j]);
        ctx.outputChoke[j].parallelResistance = l.choke[j].parallelResistance > 0.0 ? l.choke[j].parallelResistance
                                                                                  : ctx.pSettings->openResistance;
        ctx.outputChoke[j].windingResistance = l.choke[j].windingResistance;
    }
    return std::isfinite(t.rp) && std::isfinite(l.primaryConductance) ? 1 : 0;
}

int32_t AverageMagneticLosses(AnalysisContext& ctx) {
    MagneticLossStore& l = ctx.engine.loss;
    const StepStateRec& step = ctx.stepState;
    const bool ended = step.cycleTime < l.lastCycleTime;
    l.lastCycleTime = step.cycleTime;
    if (!l.active || !ended || step.stepCount == 0 || !(l.periodTime > 0.0)) return 1;
    const PrimaryInputRec& pi = *ctx.pPrimaryInput;
    const int32_t n = ctx.pSettings->outputCount;
    const double period = l.periodTime;
    l.periodTime = 0.0;
    const bool early = step.stepCount < 10 || step.time < step.switchingPeriod / 2.0;
    if (pi.powerTransformerOn) {
        if (l.primaryOn && !AverageWindingCurrents(&l.primary, period, early, PrimaryValues(pi))) {
            ReportMessage1(kModuleAnalCalc, 5914, FALSE);
            return Failed(7166, kTransformerMessage);
        }
        if (l.resetOn && !AverageWindingCurrents(&l.reset, period, early, ResetValues(pi))) {
            ReportMessage1(kModuleAnalCalc, 5914, FALSE);
            return Failed(7167, kTransformerMessage);
        }
        for (int32_t j = n - 1; j >= 0; --j)
            if (l.secondaryOn[j] &&
                !AverageWindingCurrents(&l.secondary[j], period, early, SecondaryValues(*ctx.pSecondaryRectifierInput[j])))
                return Failed(5912, kOutputWindingMessage, j + 1);
    }
    for (int32_t j = n - 1; j >= 0; --j)
        if (l.chokeOn[j] && !AverageWindingCurrents(&l.choke[j], period, early, ChokeLossValues(ctx, j)))
            return Failed(5904, kOutputWindingMessage, j + 1);
    for (int32_t p = kMaxLinePhases - 1; p >= 0; --p)
        for (int k = 0; k < kLossLineInductors; ++k) {
            if (!l.line[p][k].on) continue;
            const int32_t done = AverageInductorLoss(&l.line[p][k], period, early);
            if (done == 2) return Failed(kLineAverageCode[k], kLineCoreLossMessage);
            if (!done) return Failed(kLineAverageCode[k], kLineWindingMessage);
        }
    for (int32_t j = n - 1; j >= 0; --j)
        for (int k = 0; k < kLossOutputInductors; ++k) {
            if (!l.output[j][k].on) continue;
            const int32_t done = AverageInductorLoss(&l.output[j][k], period, early);
            if (done == 2)
                return Failed(kOutputAverageCode[k], k == kLossSensePrimary ? kSenseCoreLossMessage : kOutputCoreLossMessage,
                              j + 1);
            if (!done) {
                ReportMessage1(kModuleAnalCalc, kOutputAverageCode[k], FALSE);
                return Failed(5913, kOutputWindingMessage, j + 1);
            }
        }
    // The load's values are taken once a run: its inductors' new resistances go in here.
    if (ctx.loadStep.valuesReady)
        for (int32_t j = 0; j < n; ++j) {
            LoadNetworkValues& v = ctx.loadStep.values[j];
            if (l.output[j][kLossLoad1].on)
                v.seriesResistance = ctx.pLoadNetworkInput[j]->firstResistance + l.output[j][kLossLoad1].w.windingResistance;
            if (l.output[j][kLossLoad2].on) v.inductorResistance = l.output[j][kLossLoad2].w.windingResistance;
        }
    // The new resistances from the next step on.
    TransformerParams& t = ctx.engine.xfmr;
    t.rp = l.primary.windingResistance;
    ctx.primary.primaryWindingResistance = t.rp;
    l.primaryConductance = CoreConductance(l.primary);
    ctx.primary.primaryOpenResistance =
        l.primary.parallelResistance > 0.0 ? l.primary.parallelResistance : ctx.pSettings->openResistance;
    ctx.primary.resetWindingResistance = l.reset.windingResistance;
    for (int32_t j = 0; j < n; ++j) {
        t.rs[j] = l.secondary[j].windingResistance;
        ctx.secondaryWinding[j].windingResistance = t.rs[j];
        l.chokeConductance[j] = CoreConductance(l.choke[j]);
        OutputChokeStateRec& ch = ctx.outputChoke[j];
        ch.parallelResistance =
            l.choke[j].parallelResistance > 0.0 ? l.choke[j].parallelResistance : ctx.pSettings->openResistance;
        ch.windingResistance = l.choke[j].windingResistance;
        if (l.chokeOn[j]) {
            ch.meanCurrent = l.choke[j].meanCurrent;
            ch.chokeMeanSquareCurrent = l.choke[j].meanSquareCurrent;
            ch.chokeMeanSquareVoltage = l.choke[j].meanSquareVoltage;
        }
        if (l.secondaryOn[j]) {
            SecondaryWindingStateRec& w = ctx.secondaryWinding[j];
            w.windingMeanCurrent = l.secondary[j].meanCurrent;
            w.windingMeanSquareCurrent = l.secondary[j].meanSquareCurrent;
            w.windingMeanSquareVoltage = l.secondary[j].meanSquareVoltage;
        }
    }
    return 1;
}

int32_t AccumulateTransformerWindings(AnalysisContext& ctx) {
    MagneticLossStore& l = ctx.engine.loss;
    if (!l.active) return 1;
    const double h = ctx.stepState.nextTimeStep;
    l.periodTime += h;
    const PrimaryInputRec& pi = *ctx.pPrimaryInput;
    PrimaryStateRec& pri = ctx.primary;
    if (!pi.powerTransformerOn) return 1;
    if (l.primaryOn &&
        !AccumulateWindingStep(&l.primary, nullptr, pri.primaryWindingCurrent, pri.primaryWindingVoltage, h))
        return Failed(5927, kPrimaryWindingMessage);
    if (l.resetOn && !AccumulateWindingStep(&l.reset, nullptr, pri.resetWindingCurrent, pri.resetWindingVoltage, h))
        return Failed(5928, kPrimaryWindingMessage);
    for (int32_t j = ctx.pSettings->outputCount - 1; j >= 0; --j) {
        const SecondaryWindingStateRec& w = ctx.secondaryWinding[j];
        if (l.secondaryOn[j] && !AccumulateWindingStep(&l.secondary[j], nullptr, w.windingCurrent, w.windingVoltage, h)) {
            ReportMessage1(kModuleAnalCalc, 5923, FALSE);
            return Failed(OutputCode(j), kPrimaryWindingMessage);
        }
    }
    return 1;
}

int32_t AccumulateChokeWinding(AnalysisContext& ctx, int32_t j, double current, double voltage) {
    MagneticLossStore& l = ctx.engine.loss;
    if (!l.chokeOn[j]) return 1;
    if (AccumulateWindingStep(&l.choke[j], nullptr, current, voltage, ctx.stepState.nextTimeStep)) return 1;
    ReportMessage1(kModuleAnalCalc, 5916, FALSE);
    return Failed(OutputCode(j), kOutputWindingMessage, j + 1);
}

int32_t AccumulateLineInductor(AnalysisContext& ctx, int32_t p, int k, double current, double voltage) {
    if (AccumulateWindingStep(&ctx.engine.loss.line[p][k].w, nullptr, current, voltage, ctx.stepState.nextTimeStep))
        return 1;
    ReportMessage1(kModuleAnalCalc, kLineStepCode[k], FALSE);
    return Failed(5934 - p, kLineWindingMessage);
}

int32_t AccumulateOutputInductor(AnalysisContext& ctx, int32_t j, int k, double current, double voltage) {
    if (AccumulateWindingStep(&ctx.engine.loss.output[j][k].w, nullptr, current, voltage,
                              ctx.stepState.nextTimeStep))
        return 1;
    ReportMessage1(kModuleAnalCalc, kOutputStepCode[k], FALSE);
    return Failed(OutputCode(j), kOutputWindingMessage, j + 1);
}
