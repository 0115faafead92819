#include "analysis/frequency/AnalFCLp.h"

#include <cmath>

#include "analysis/context/AnalContext.h"
#include "analysis/frequency/AnalFSwp.h"
#include "records/Utils.h"

namespace {

constexpr uint32_t kModuleAnalFCLp = 56010;

double Begin(AnalysisContext& ctx) {
    ctx.control.currentLoopSweepInjection = 0.0;
    return 0.0;
}

void Finish(AnalysisContext& ctx) { ctx.control.currentLoopSweepInjection = 0.0; }

void Inject(AnalysisContext& ctx, double value) { ctx.control.currentLoopSweepInjection = value; }

int32_t Read(AnalysisContext& ctx, FrequencySweepState& st) {
    const ControlStateRec& c = ctx.control;
    // The voltage the current signal is compared with: the current error amplifier's output in
    // average current control, the control voltage in peak current control (which has no such
    // amplifier: its output would be a constant and its gains minus infinity).
    st.measured[0] = c.pwmControlVoltage;
    st.measured[1] = c.currentFeedbackVoltage + c.currentLoopInjection;
    st.measured[2] = c.currentFeedbackVoltage;
    return 1;
}

int32_t Evaluate(AnalysisContext& ctx, FrequencySweepState& st, int32_t n, int32_t* converged) {
    const AnalysisSettingsRec& set = *ctx.pSettings;
    *converged = n >= 2 ? 1 : 0;
    st.MeasureChannels();
    double* m = st.magnitude;
    double* p = st.phaseOf;
    CrossCheckInjectedSum(m[1], p[1], m[2], p[2], st.amplitude);

    const bool limits = SweepLimitsHold(ctx, st, n);
    int32_t doubling = 0;
    // (response, reference) channels of each quantity pair, in the order they are computed:
    // the modulator, the current error amplifier, the loop.
    const int pairs[3][3] = {{2, 2, 0}, {1, 0, 1}, {0, 2, 1}};  // {pair, response, reference}
    for (const auto& q : pairs) {
        const int gain = 2 * q[0], phase = gain + 1;
        if (st.plotted[gain])
            ConvergeQuantity(st, gain, GainDb(m[q[1]], m[q[2]], 1000.0), false, n, limits, converged, &doubling);
        if (st.plotted[phase]) {
            double value = RadiansToDegrees(p[q[1]] - p[q[2]]);
            if (n > 0) value = ContinuePhase(value, st.value[phase]);
            ConvergeQuantity(st, phase, value, true, n, limits, converged, &doubling);
        }
    }
    if (*converged) {
        const double maxPhase[3] = {set.currentLoopPhaseMax1, set.currentLoopPhaseMax2, set.currentLoopPhaseMax3};
        const double minPhase[3] = {set.currentLoopPhaseMin1, set.currentLoopPhaseMin2, set.currentLoopPhaseMin3};
        for (int k = 0; k < 3; ++k)
            if (st.plotted[2 * k + 1])
                st.value[2 * k + 1] = IntoPhaseWindow(st.value[2 * k + 1], maxPhase[k], minPhase[k]);
    }
    st.ClearSums();
    if (doubling) st.windowLength *= 2.0;
    if (set.loggingOn && CheckFloatingPointStatus()) {
        ReportMessage1(kModuleAnalFCLp, 5303, FALSE);
        ReportMessage(52148, TRUE);
        ReportMessageFirstBox(52209);
    }
    return 1;
}

constexpr SweepDriver kCurrentLoop{kModuleAnalFCLp, 5304, 5306, 5312, 5317, 5302, 5300, 5301, 3, 6,
                                   DutyFlagClear::kBothFlags, false, Inject, Read, Evaluate, Begin, Finish,
                                   nullptr, true};

}  // namespace

void CrossCheckInjectedSum(double& mb, double& pb, double& mc, double& pc, double a) {
    // x_b from x_c plus the injection, x_c from x_b less it (moduli: the sine of an angle can be 0).
    const double bRe = mc * std::cos(pc) + a, bIm = mc * std::sin(pc);
    const double cRe = mb * std::cos(pb) - a, cIm = mb * std::sin(pb);
    const double estimateB = std::hypot(bRe, bIm);
    // A zero x_b cannot agree with anything: it is rebuilt.
    if (mb != 0.0 && !(std::fabs((mb - estimateB) / mb) > 0.01)) return;
    if (mb <= mc) {
        mb = estimateB;
        pb = std::atan2(bIm, bRe);
    } else {
        mc = std::hypot(cRe, cIm);
        pc = std::atan2(cIm, cRe);
    }
}

int32_t RunCurrentLoopAnalysis() { return RunFrequencySweep(kCurrentLoop); }
