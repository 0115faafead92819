// The control side's AC sources through the closed voltage-mode loop: a sine on the error
// amplifier's reference and one injected at the error voltage reach the output by the loop's
// closed-loop transfer functions.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <numbers>

#include "analysis/context/AnalContext.h"
#include "analysis/timedomain/AnalFigures.h"
#include "designs/AnalHeadless.h"
#include "circuit/Doc.h"
#include "designs/Designs.h"

namespace {

// The design's values (ClosedLoopDesign.cpp): integrator R1·C3, feedback Vout·1.5/10.
constexpr double kRC = 1e4 * 0.56e-6;  // s
constexpr double kBeta = 1.5 / 10.0;
// Control voltage to output at the set point (ClosedLoopTest.cpp): D = 0.45·(Vc - 1 V) and
// Vout ≈ Deff·46.28 - (1 - Deff)·0.716, so G = 0.45·47.0 V/V.
constexpr double kG = 0.45 * (46.28 + 0.716);

// The averaged loop well below the LC filter's 1.6 kHz: the amplifier puts the reference on its
// non-inverting input, Vc = Vr·(1 + 1/(sRC)) - Vfb/(sRC) + e, and Vout = G·Vc, Vfb = beta·Vout:
//   Vout/Vr = G·(1 + sRC) / (sRC + beta·G),   Vout/e = G·sRC / (sRC + beta·G).
// At DC the first is 1/beta, the set point's own ratio. At 20 and 40 Hz the loop gain beta·G/(wRC)
// is 4.5 and 2.3, so an error in G moves the figures by 5 % and 17 % of its own size.
std::complex<double> ReferenceToOutput(double f) {
    const std::complex<double> s(0.0, 2.0 * std::numbers::pi * f * kRC);
    return kG * (1.0 + s) / (s + kBeta * kG);
}
std::complex<double> InjectionToOutput(double f) {
    const std::complex<double> s(0.0, 2.0 * std::numbers::pi * f * kRC);
    return kG * s / (s + kBeta * kG);
}

// The output's component at f over [from, to], each step's end value held over the step;
// both sines start at phase 0 at turn-on, so its phase is the transfer function's.
class SineMeasure {
public:
    SineMeasure(double f, double from, double to) : w_(2.0 * std::numbers::pi * f), from_(from), to_(to) {}
    void Add(double t0, double t1, double v) {
        const double a = std::max(t0, from_), b = std::min(t1, to_);
        if (!(b > a)) return;
        sin_ += v * (std::cos(w_ * a) - std::cos(w_ * b)) / w_;
        cos_ += v * (std::sin(w_ * b) - std::sin(w_ * a)) / w_;
    }
    std::complex<double> Phasor() const {  // v = |P| sin(wt + arg P)
        const double span = to_ - from_;
        return {2.0 * sin_ / span, 2.0 * cos_ / span};
    }

private:
    double w_, from_, to_;
    double sin_ = 0.0, cos_ = 0.0;
};

TEST(ClosedLoopSources, ReferenceAndErrorInjectionReachTheOutputByTheClosedLoop) {
    constexpr double kRefF = 20.0, kRefA = 0.03;  // Hz, V
    constexpr double kInjF = 40.0, kInjA = 0.01;
    // Soft start over by 5 ms, the loop's slowest pole (beta·G/RC = 570/s) settled by 20 ms; one
    // reference period and two injection periods in the window.
    constexpr double kFrom = 0.02, kTo = 0.07;
    CPwrQuorraDoc doc;
    doc.OnNewDocument();
    BuildClosedLoopVoltageMode(doc);
    CCrntVoltSource& ref = doc.GetVoltageErrorAmp()->GetVoltageSourceVRef();
    ref.m_dACPeakMagnitude = kRefA;
    ref.m_dACFrequency = kRefF;
    CCrntVoltSource& ue = doc.GetControlSection()->GetVoltageSourceUE();
    ue.m_dDCMagnitude = 0.0;
    ue.m_dACPeakMagnitude = kInjA;
    ue.m_dACFrequency = kInjF;
    doc.GetAnalysisConfig()->m_dTime = kTo;

    SineMeasure atRef(kRefF, kFrom, kTo), atInj(kInjF, kFrom, kTo);
    double last = 0.0;
    auto observe = [&](const AnalysisContext& ctx) {
        const double t = ctx.stepState.time, v = ctx.outputFilter[0].outputVoltage;
        atRef.Add(last, t, v);
        atInj.Add(last, t, v);
        last = t;
    };
    CRunFigures fig(FigureWindowStart(kTo));
    const HeadlessRun run = RunDesignHeadless(doc, 0.0, &fig, nullptr, observe);
    ASSERT_EQ(run.ran, 1) << run.problem;

    const std::complex<double> r = atRef.Phasor() / kRefA, e = atInj.Phasor() / kInjA;
    const std::complex<double> hr = ReferenceToOutput(kRefF), he = InjectionToOutput(kInjF);
    EXPECT_NEAR(std::abs(r), std::abs(hr), 0.01 * std::abs(hr));
    EXPECT_NEAR(std::arg(r), std::arg(hr), 0.03);  // rad
    EXPECT_NEAR(std::abs(e), std::abs(he), 0.01 * std::abs(he));
    EXPECT_NEAR(std::arg(e), std::arg(he), 0.03);
}

}  // namespace

namespace {

// The voltage feedback network taking half its weight from the modulator (the rectified voltage
// through a 20 us lag) and a quarter from the output: the integrator holds the feedback's average
// at the reference, 1.5·(0.5·<Vm> + 0.25·<Vo>)/10 = 1.5, and the choke's average voltage is its
// resistance times its current (2 uohm·2.7 A, nothing here), so <Vm> = <Vo> and
// Vo = 10 / 0.75 = 13.33 V. Without the modulator term the same weights would ask for 40 V, out
// of the stage's reach (0.45·47 V at the amplifier's 2 V limit).
TEST(ClosedLoopSources, ModulatorTermSharesTheFeedbackWithTheOutput) {
    CPwrQuorraDoc doc;
    doc.OnNewDocument();
    BuildClosedLoopVoltageMode(doc);
    FeedTheModulator(doc, 50.0, 25.0, 20e-6);
    CRunFigures fig(FigureWindowStart(doc.GetAnalysisConfig()->m_dTime));
    const HeadlessRun run = RunDesignHeadless(doc, 0.0, &fig, nullptr);
    ASSERT_EQ(run.ran, 1) << run.problem;
    const double setPoint = 10.0 / 0.75;
    EXPECT_NEAR(fig.OutputAverage(), setPoint, 0.005 * setPoint);
}

}  // namespace
