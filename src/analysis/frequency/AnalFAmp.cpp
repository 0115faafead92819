#include "analysis/frequency/AnalFAmp.h"

#include "analysis/context/AnalContext.h"
#include "analysis/frequency/AnalFSwp.h"
#include "records/Utils.h"

namespace {

constexpr uint32_t kModuleAnalFAmp = 56009;

double Begin(AnalysisContext& ctx) {
    ControlStateRec& c = ctx.control;
    // The input the loop held at the operating point: the sweep stays round it instead of
    // stepping the amplifier off its working point.
    c.amplifierInput = c.veaReferenceCopy;
    c.amplifierInputOn = 1;
    return c.amplifierInput;
}

void Finish(AnalysisContext& ctx) { ctx.control.amplifierInputOn = 0; }

void Inject(AnalysisContext& ctx, double value) { ctx.control.amplifierInput = value; }

int32_t Read(AnalysisContext& ctx, FrequencySweepState& st) {
    st.measured[0] = ctx.control.amplifierInput;
    const int32_t out = ctx.pSettings->amplifierOutput;
    if (out < 0 || out > 3 || out >= ctx.pSettings->outputCount) {
        ReportMessage1(kModuleAnalFAmp, 5217, FALSE);
        return 1;
    }
    st.measured[1] = ctx.outputFilter[out].outputVoltage;
    return 1;
}

int32_t Evaluate(AnalysisContext& ctx, FrequencySweepState& st, int32_t n, int32_t* converged) {
    const AnalysisSettingsRec& set = *ctx.pSettings;
    *converged = n >= 2 ? 1 : 0;
    st.MeasureChannels();
    const bool limits = SweepLimitsHold(ctx, st, n);
    int32_t doubling = 0;
    if (st.plotted[0])
        ConvergeQuantity(st, 0, GainDb(st.magnitude[1], st.magnitude[0], 1000.0), false, n, limits, converged,
                         &doubling);
    if (st.plotted[1]) {
        ConvergeQuantity(st, 1, RadiansToDegrees(st.phaseOf[1] - st.phaseOf[0]), true, n, limits, converged,
                         &doubling);
        if (*converged) st.value[1] = IntoPhaseWindow(st.value[1], set.amplifierPhaseMax, set.amplifierPhaseMin);
    }
    st.ClearSums();
    if (n > 20) *converged = 1;
    if (doubling) st.windowLength *= 2.0;
    if (set.loggingOn && CheckFloatingPointStatus()) {
        ReportMessage1(kModuleAnalFAmp, 5203, FALSE);
        ReportMessage(52148, TRUE);
        ReportMessageFirstBox(52209);
    }
    return 1;
}

constexpr SweepDriver kAmplifier{kModuleAnalFAmp, 5204, 5206, 5212, 5218, 5202, 5200, 5201, 2, 2,
                                 DutyFlagClear::kNone, false, Inject, Read, Evaluate, Begin, Finish, nullptr,
                                 true};

}  // namespace

int32_t RunAmplifierAnalysis() { return RunFrequencySweep(kAmplifier); }
