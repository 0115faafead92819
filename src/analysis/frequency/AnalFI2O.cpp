#include "analysis/frequency/AnalFI2O.h"

#include "analysis/context/AnalContext.h"
#include "analysis/frequency/AnalFSwp.h"
#include "records/Utils.h"

namespace {

constexpr uint32_t kModuleAnalFI2O = 56011;

double Begin(AnalysisContext& ctx) {
    ctx.stepState.lineInputInjection = 0.0;
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

double Continue(double value, double previous) {
    if (value - previous > 180.0) value -= 360.0;
    if (value - previous < -180.0) value += 360.0;
    return value;
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
            if (n > 0) value = Continue(value, st.value[phase]);
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

constexpr SweepDriver kLineToOutput{kModuleAnalFI2O, 5404, 5406, 5412, 5418, 5402, 5400, 5401, 3, 6, false, true,
                                    Inject, Read, Evaluate, Begin, Finish};

}  // namespace

int32_t RunLineToOutputAnalysis() { return RunFrequencySweep(kLineToOutput); }
