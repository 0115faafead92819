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
        active = HasLoss(PrimaryValues(pi)) || (pi.resetWindingOn && HasLoss(ResetValues(pi)));
        for (int32_t j = 0; j < n; ++j) active = active || HasLoss(SecondaryValues(*ctx.pSecondaryRectifierInput[j]));
    }
    for (int32_t j = 0; j < n; ++j) active = active || HasLoss(ChokeLossValues(ctx, j));
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
    l.periodTime = 0.0;
    l.lastCycleTime = ctx.stepState.cycleTime;
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
        if (!AverageWindingCurrents(&l.primary, period, early, PrimaryValues(pi))) {
            ReportMessage1(kModuleAnalCalc, 5914, FALSE);
            return Failed(7166, kTransformerMessage);
        }
        if (pi.resetWindingOn && !AverageWindingCurrents(&l.reset, period, early, ResetValues(pi))) {
            ReportMessage1(kModuleAnalCalc, 5914, FALSE);
            return Failed(7167, kTransformerMessage);
        }
        for (int32_t j = n - 1; j >= 0; --j)
            if (!AverageWindingCurrents(&l.secondary[j], period, early, SecondaryValues(*ctx.pSecondaryRectifierInput[j])))
                return Failed(5912, kOutputWindingMessage, j + 1);
    }
    for (int32_t j = n - 1; j >= 0; --j)
        if (!AverageWindingCurrents(&l.choke[j], period, early, ChokeLossValues(ctx, j)))
            return Failed(5904, kOutputWindingMessage, j + 1);
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
        ch.meanCurrent = l.choke[j].meanCurrent;
        ch.chokeMeanSquareCurrent = l.choke[j].meanSquareCurrent;
        ch.chokeMeanSquareVoltage = l.choke[j].meanSquareVoltage;
        SecondaryWindingStateRec& w = ctx.secondaryWinding[j];
        w.windingMeanCurrent = l.secondary[j].meanCurrent;
        w.windingMeanSquareCurrent = l.secondary[j].meanSquareCurrent;
        w.windingMeanSquareVoltage = l.secondary[j].meanSquareVoltage;
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
    if (!AccumulateWindingStep(&l.primary, nullptr, pri.primaryWindingCurrent, pri.primaryWindingVoltage, h))
        return Failed(5927, kPrimaryWindingMessage);
    if (pi.resetWindingOn &&
        !AccumulateWindingStep(&l.reset, nullptr, pri.resetWindingCurrent, pri.resetWindingVoltage, h))
        return Failed(5928, kPrimaryWindingMessage);
    for (int32_t j = ctx.pSettings->outputCount - 1; j >= 0; --j) {
        const SecondaryWindingStateRec& w = ctx.secondaryWinding[j];
        if (!AccumulateWindingStep(&l.secondary[j], nullptr, w.windingCurrent, w.windingVoltage, h)) {
            ReportMessage1(kModuleAnalCalc, 5923, FALSE);
            return Failed(OutputCode(j), kPrimaryWindingMessage);
        }
    }
    return 1;
}

int32_t AccumulateChokeWinding(AnalysisContext& ctx, int32_t j, double current, double voltage) {
    MagneticLossStore& l = ctx.engine.loss;
    if (!l.active) return 1;
    if (AccumulateWindingStep(&l.choke[j], nullptr, current, voltage, ctx.stepState.nextTimeStep)) return 1;
    ReportMessage1(kModuleAnalCalc, 5916, FALSE);
    return Failed(OutputCode(j), kOutputWindingMessage, j + 1);
}
