#include "analysis/frequency/AnalFVLR.h"

#include <cmath>
#include <complex>
#include <numbers>

#include "analysis/context/AnalContext.h"
#include "analysis/frequency/AnalFSwp.h"
#include "analysis/models/AnalMOpto.h"
#include "analysis/models/AnalMVea.h"
#include "records/Utils.h"

namespace {

constexpr uint32_t kModuleAnalFVLR = 56012;
constexpr double kPi = std::numbers::pi;

double Wrap(double a) {
    while (a > kPi) a -= 2.0 * kPi;
    while (a <= -kPi) a += 2.0 * kPi;
    return a;
}

bool Agree(double u, double v) { return u != 0.0 && std::fabs((u - v) / u) <= 0.01; }

double Begin(AnalysisContext& ctx) {
    ctx.control.voltageLoopInjection = 0.0;
    return 0.0;
}

void Finish(AnalysisContext& ctx) { ctx.control.voltageLoopInjection = 0.0; }

void Inject(AnalysisContext& ctx, double value) { ctx.control.voltageLoopInjection = value; }

int32_t Read(AnalysisContext& ctx, FrequencySweepState& st) {
    const ControlStateRec& c = ctx.control;
    st.measured[0] = c.optoCoupledError;
    st.measured[1] = c.veaReferenceCopy;
    st.measured[2] = c.pwmControlVoltage;
    return 1;
}

int32_t Evaluate(AnalysisContext& ctx, FrequencySweepState& st, int32_t n, int32_t* converged) {
    const AnalysisSettingsRec& set = *ctx.pSettings;
    *converged = n >= 2 ? 1 : 0;
    double g = 1.0, phi = 0.0;
    if (!CalcErrorAmpResponse(*ctx.pControlInput, st.angularFrequency, &g, &phi)) {
        ReportMessage1(kModuleAnalFVLR, 5518, FALSE);
        ReportMessageFirstBox(52185);
        return 0;
    }
    st.MeasureChannels();
    double& m1 = st.magnitude[0];
    double& p1 = st.phaseOf[0];
    double& m2 = st.magnitude[1];
    double& p2 = st.phaseOf[1];
    double& m3 = st.magnitude[2];
    double& p3 = st.phaseOf[2];
    const double a = st.amplitude;

    if (!(g == 1.0 && phi == 0.0)) {
        // Estimates, all from the measurements as taken.
        const double zRe = m3 * std::cos(p3) - a, zIm = m3 * std::sin(p3);
        const double b = std::atan2(zIm, zRe);
        const double z = std::hypot(zRe, zIm);  // x3 less the injection
        const double c = Wrap(p2 + phi);
        const double x2gRe = m2 * g * std::cos(c) + a, x2gIm = m2 * g * std::sin(c);
        const double d = std::atan2(x2gIm, x2gRe);
        const double x2gInj = std::hypot(x2gRe, x2gIm);  // x2 through G, plus the injection
        const double x1Re = m1 * std::cos(p1) + a, x1Im = m1 * std::sin(p1);
        const double e = std::atan2(x1Im, x1Re);
        const double x1Inj = std::hypot(x1Re, x1Im);  // x1 plus the injection
        const double m1Raw = m1, p1Raw = p1;
        CrossCheckMagnitude(m1, p1, m2 * g, c, z, b);
        CrossCheckMagnitude(m3, p3, x2gInj, d, x1Inj, e);
        CrossCheckMagnitude(m2, p2, z / g, Wrap(b - phi), m1Raw / g, Wrap(p1Raw - phi));
    }

    const bool limits = SweepLimitsHold(ctx, st, n);
    int32_t doubling = 0;
    const int32_t* shown = st.plotted;
    const auto phaseStep = [&](int i, double raw) { return n > 0 ? ContinuePhase(raw, st.value[i]) : raw; };
    if (shown[2] || shown[0])
        ConvergeQuantity(st, 2, GainDb(m2, m3, 1000.0), false, n, limits, converged, &doubling);
    if (shown[3] || shown[1])
        ConvergeQuantity(st, 3, phaseStep(3, RadiansToDegrees(p2 - p3)), true, n, limits, converged, &doubling);
    if (shown[4] || shown[0])
        ConvergeQuantity(st, 4, GainDb(m1, m2, 0.0), false, n, limits, converged, &doubling);
    if (shown[5] || shown[1])
        ConvergeQuantity(st, 5, phaseStep(5, RadiansToDegrees(p1 - p2)), true, n, limits, converged, &doubling);
    if (shown[0]) ConvergeQuantity(st, 0, GainDb(m1, m3, 1000.0), false, n, limits, converged, &doubling);
    if (shown[1]) {
        // Where x2 dominates the loop phase is better built from its two halves.
        const double raw = (m1 <= m2 || m3 <= m2) ? st.value[3] + st.value[5] : RadiansToDegrees(p1 - p3);
        ConvergeQuantity(st, 1, ContinuePhase(raw, st.value[1]), true, n, limits, converged, &doubling);
    }
    if (*converged) {
        if (shown[1]) st.value[1] = IntoPhaseWindow(st.value[1], set.voltageLoopPhaseMax1, set.voltageLoopPhaseMin1);
        if (shown[5]) st.value[5] = IntoPhaseWindow(st.value[5], set.voltageLoopPhaseMax3, set.voltageLoopPhaseMin3);
        if (shown[3]) st.value[3] = IntoPhaseWindow(st.value[3], set.voltageLoopPhaseMax2, set.voltageLoopPhaseMin2);
    }
    st.ClearSums();
    if (doubling) st.windowLength *= 2.0;
    if (set.loggingOn && CheckFloatingPointStatus()) {
        ReportMessage1(kModuleAnalFVLR, 5503, FALSE);
        ReportMessage(52148, TRUE);
        ReportMessageFirstBox(52207);
    }
    return 1;
}

constexpr SweepDriver kVoltageLoop{kModuleAnalFVLR, 5504, 5506, 5512, 5517, 5502, 5500, 5501, 3, 6,
                                   DutyFlagClear::kBothFlags, false, Inject, Read, Evaluate, Begin, Finish};

}  // namespace

void CrossCheckMagnitude(double& m, double& p, double u, double angU, double v, double angV) {
    if (Agree(m, u) || Agree(m, v)) return;
    if (Agree(u, v)) {
        m = std::sqrt(u * v);
        p = (angU + angV) / 2.0;
    } else if (!(m > u && m > v)) {
        if (u >= v) {
            m = u;
            p = angU;
        } else {
            m = v;
            p = angV;
        }
    }
}

int32_t CalcErrorAmpResponse(const ControlInputRec& ci, double w, double* gain, double* phase) {
    if (ci.veaVariant < 0 || ci.veaVariant > 7 || ci.optoVariant < 0 || ci.optoVariant > 6) return 0;
    const std::complex<double> jw(0.0, w);
    const std::complex<double> h = VeaTransfer(VeaNetworkOf(ci), jw) * OptoTransfer(OptoNetworkOf(ci), jw);
    *gain = std::abs(h);
    *phase = std::arg(h);
    return 1;
}

int32_t RunVoltageLoopAnalysis() { return RunFrequencySweep(kVoltageLoop); }
