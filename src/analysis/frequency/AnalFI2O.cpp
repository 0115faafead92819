#include "analysis/frequency/AnalFI2O.h"

#include <cmath>

#include "analysis/context/AnalContext.h"
#include "analysis/frequency/AnalFSwp.h"
#include "records/Utils.h"

namespace {

constexpr uint32_t kModuleAnalFI2O = 56011;

// Whole counts of periods, a ratio a rounding away from a whole number taken as that number.
double FloorNear(double x) { return std::floor(x + 1e-9); }
double CeilNear(double x) { return std::ceil(x - 1e-9); }

// The design's line frequency, kept when the sweep begins: every frequency's window is fitted
// to it, not to the one the previous frequency retuned the line to (the run's worker only).
double g_designLineFrequency = 0.0;

// The window for the sweep: the ripple-commensurate one, with the line retuned to it.
double Window(AnalysisContext& ctx, double frequency, double period) {
    LineSourceInputRec& line = *ctx.pLineSourceInput;
    const AnalysisSettingsRec& set = *ctx.pSettings;
    const LineRippleWindow w =
        RippleCommensurateWindow(frequency, g_designLineFrequency, set.lineRectifierVariant, set.linePhaseCount);
    if (!(w.window > 0.0)) return SweepWindowLength(frequency, period);
    line.lineFrequency = w.lineFrequency;
    return w.window;
}

double Begin(AnalysisContext& ctx) {
    ctx.stepState.lineInputInjection = 0.0;
    g_designLineFrequency = ctx.pLineSourceInput->lineFrequency;
    return 0.0;
}

void Finish(AnalysisContext& ctx) { ctx.stepState.lineInputInjection = 0.0; }

void Inject(AnalysisContext& ctx, double value) { ctx.stepState.lineInputInjection = value; }

int32_t Read(AnalysisContext& ctx, FrequencySweepState& st) {
    st.measured[0] = ctx.linePhase[0].sourceVoltage;
    st.measured[1] = ctx.inputCapacitor.inputVoltage;
    const int32_t out = ctx.pSettings->inputToOutputOutput;
    if (out < 0 || out > 3 || out >= ctx.pSettings->outputCount) {
        ReportMessage1(kModuleAnalFI2O, 5417, FALSE);
        return 1;
    }
    st.measured[2] = ctx.outputFilter[out].outputVoltage;
    return 1;
}

int32_t Evaluate(AnalysisContext& ctx, FrequencySweepState& st, int32_t n, int32_t* converged) {
    const AnalysisSettingsRec& set = *ctx.pSettings;
    *converged = n >= 2 ? 1 : 0;
    st.MeasureChannels();
    // This analysis accepts a restless point after 11 windows rather than 21.
    const bool limits = n < 10 && SweepLimitsHold(ctx, st, n);
    int32_t doubling = 0;
    const int32_t* shown = st.plotted;
    const double* m = st.magnitude;
    const double* p = st.phaseOf;
    // (response, reference) channels of each gain and phase pair.
    const int pairs[3][2] = {{1, 0}, {2, 1}, {2, 0}};
    const double maxPhase[3] = {set.inputToOutputPhaseMax1, set.inputToOutputPhaseMax2, set.inputToOutputPhaseMax3};
    const double minPhase[3] = {set.inputToOutputPhaseMin1, set.inputToOutputPhaseMin2, set.inputToOutputPhaseMin3};
    for (int k = 0; k < 3; ++k) {
        const int a = pairs[k][0], b = pairs[k][1];
        const int gain = 2 * k, phase = 2 * k + 1;
        if (shown[gain]) ConvergeQuantity(st, gain, GainDb(m[a], m[b], 1000.0), false, n, limits, converged, &doubling);
        // The line-to-output phase is the sum of the other two: they are kept with it.
        if (shown[phase] || (k < 2 && shown[5])) {
            double value = RadiansToDegrees(p[a] - p[b]);
            if (n > 0) value = ContinuePhase(value, st.value[phase]);
            ConvergeQuantity(st, phase, value, true, n, limits, converged, &doubling);
        }
    }
    if (*converged)
        for (int k = 0; k < 3; ++k)
            if (shown[2 * k + 1]) st.value[2 * k + 1] = IntoPhaseWindow(st.value[2 * k + 1], maxPhase[k], minPhase[k]);
    st.ClearSums();
    if (n > 20) *converged = 1;
    if (doubling) st.windowLength *= 2.0;
    if (set.loggingOn && CheckFloatingPointStatus()) {
        ReportMessage1(kModuleAnalFI2O, 5403, FALSE);
        ReportMessage(52148, TRUE);
        ReportMessageFirstBox(52209);
    }
    return 1;
}

constexpr SweepDriver kLineToOutput{kModuleAnalFI2O, 5404, 5406, 5412, 5418, 5402, 5400, 5401, 3, 6,
                                    DutyFlagClear::kStepFlag, true, Inject, Read, Evaluate, Begin, Finish, Window,
                                    true};

}  // namespace

LineRippleWindow RippleCommensurateWindow(double frequency, double lineFrequency, int32_t rectifierCase,
                                          int32_t phases) {
    LineRippleWindow w;
    if (rectifierCase == 0 || !(lineFrequency > 0.0) || !std::isfinite(lineFrequency) || !(frequency > 0.0))
        return w;
    double ripple = 1.0 / lineFrequency;
    double perLine = 1.0;  // ripple periods per line period
    if (rectifierCase < 1 || rectifierCase > 3) perLine *= 2.0;
    if (phases == 3) perLine *= 3.0;
    ripple /= perLine;
    const double inj = 1.0 / frequency;
    // Each branch fits m ripple periods into k injection periods (or k into m): the window is
    // the k injection periods, the adjusted ripple period window / m.
    double adjusted = 0.0;
    if (inj <= ripple) {
        const double n = FloorNear(ripple / inj);
        const double k = n >= 10.0 ? 1.0 : n >= 5.0 ? 2.0 : n >= 3.0 ? 4.0 : n >= 2.0 ? 5.0 : 10.0;
        const double m = k == 1.0 ? n : FloorNear(k * ripple / inj);
        adjusted = m * inj / k;
        w.window = k * adjusted;
    } else {
        const double k = CeilNear(inj / ripple);
        if (k > 10.0) {
            adjusted = inj / k;
            w.window = inj;
        } else if (k <= 2.0 && std::fmod(inj, ripple) / ripple < 0.1) {
            adjusted = inj;
            w.window = inj;
        } else {
            const double j = k > 5.0 ? 2.0 : k > 3.0 ? 4.0 : k > 2.0 ? 5.0 : 10.0;
            adjusted = j * inj / CeilNear(j * inj / ripple);
            w.window = j * inj;
        }
    }
    w.lineFrequency = 1.0 / adjusted / perLine;
    return w;
}

int32_t RunLineToOutputAnalysis() { return RunFrequencySweep(kLineToOutput); }
