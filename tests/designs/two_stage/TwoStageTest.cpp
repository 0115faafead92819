// The two-stage output filter end to end: the second stage passes the switching frequency's
// component of the first stage's node to the output by its transfer function.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <memory>
#include <numbers>
#include <string>

#include "analysis/context/AnalContext.h"
#include "analysis/timedomain/AnalFigures.h"
#include "designs/AnalHeadless.h"
#include "circuit/Doc.h"
#include "designs/Designs.h"
#include "platform/core/ReportSink.h"

namespace {

// The switching frequency's component of a step quantity over the last kWindow periods: each
// step's end value held over the step, against the sine and cosine integrated over it exactly,
// with a Hann window. The output's ripple is a quarter of a millivolt on 10.7 V, still
// drifting by a tenth of a millivolt a period with the filters' slow ring from the turn-on: a
// plain window reads that drift as a quarter of the ripple again, and a sum that does not
// integrate the sine exactly over uneven steps reads the 10.7 V itself as more than the ripple.
// The window's first value is taken off so that what is left is the ripple and the drift.
constexpr double kPeriod = 1e-5, kWindow = 100.0, kCycles = 400.0;
// The averages settle on the filters' slow ring: the damped and plain runs compare late.
constexpr double kAverageCycles = 4000.0;

struct Component {
    std::complex<double> sum;
    double offset = 0.0;
    bool started = false;
    void Add(double v, double t0, double t1, double windowStart) {
        if (!started) offset = v, started = true;
        const double k = 2.0 * std::numbers::pi / kPeriod;
        const double hann = 1.0 - std::cos(2.0 * std::numbers::pi * (0.5 * (t0 + t1) - windowStart) / (kWindow * kPeriod));
        const std::complex<double> j(0.0, 1.0);
        sum += hann * (v - offset) * (std::exp(-j * k * t0) - std::exp(-j * k * t1)) / (j * k);
    }
};

// The stage is linear, so the switching frequency's component of the output is that of the
// first stage's node times
//   H = Zo/(Zs + Zo),  Zs = R2 + jw·L2,  Zo = Zc2 || Rload,  Zc2 = Esr + jw·Esl + 1/(jw·C2)
// at w = 2·pi·100 kHz, whatever loads the first stage: |H| = 0.05817 here (the ideal
// 1/(w²·L2·C2 - 1) = 0.0571, raised by the capacitor's 10 mohm ESR, lowered by its 1 nH ESL).
// Backward Euler alone would put h/(2·C2) = 1.06 mohm in series with the capacitor at the
// largest step (100 ns) and raise |H| by ESR·h/(2·C2·|Zc2|²) = 0.8 %; the capacitor's
// companion takes it off the ESR, and what is left is second order in w·h, at most
// (w·h)²/12 = 0.3 % on each reactance: the run comes within 0.1 % of the continuous circuit.
double Attenuation() {
    using C = std::complex<double>;
    const double w = 2.0 * std::numbers::pi * 1e5;
    const C j(0.0, 1.0);
    const C zc = 0.01 + j * w * 1e-9 + 1.0 / (j * w * 47e-6);
    const C zo = zc * 5.0 / (zc + 5.0);
    const C zs = 5e-3 + j * w * 1e-6;
    return std::abs(zo / (zs + zo));
}

TEST(TwoStage, SecondStageAttenuatesTheRippleByItsTransferFunction) {
    std::string problem;
    std::unique_ptr<CPwrQuorraDoc> doc = OpenRegressionDesign("two_stage", &problem);
    ASSERT_TRUE(doc) << problem;
    Component first, out;
    double previous = 0.0;
    const HeadlessRun run = RunDesignHeadless(*doc, kCycles, nullptr, nullptr, [&](const AnalysisContext& ctx) {
        const double t = ctx.stepState.time, start = ctx.pSettings->endTime - kWindow * kPeriod;
        if (previous >= start) {
            first.Add(ctx.engine.output[0].outputVoltage, previous, t, start);
            out.Add(ctx.outputFilter[0].outputVoltage, previous, t, start);
        }
        previous = t;
    });
    ASSERT_EQ(run.ran, 1) << run.problem;
    const double ratio = std::abs(out.sum) / std::abs(first.sum);
    // The node's ripple itself: some 5 mV (its Hann sum is half the amplitude times the window).
    EXPECT_GT(std::abs(first.sum) / (0.5 * kWindow * kPeriod), 3e-3);
    EXPECT_NEAR(ratio, Attenuation(), 0.005 * Attenuation());
}

// The same converter with every damping element of both stages (Capacitor Damp 1 behind
// Resistor Damp 1; Resistor Damp 2 with Inductor Out 3 beside Inductor Out 2; Capacitor
// Damp 2 behind Resistor Damp 3): none of them carries DC, so the output settles where the
// undamped design settles (the damping only reshapes the ripple).
TEST(TwoStage, DampingElementsLeaveTheAverageOutput) {
    auto run = [](bool damped, CRunFigures* fig) {
        fw::RecordingSink sink;
        fw::ScopedReportSink scoped(&sink);
        CPwrQuorraDoc doc;
        doc.OnNewDocument();
        BuildTwoStage(doc);
        if (damped) {
            C1StgOutputFilter& f1 = *doc.Get1StgOutputFilter1();
            f1.SetTopology(1);
            f1.SetDefaults();
            f1.GetCapacitorOut1().m_dCapacitance = 100e-6;
            f1.GetCapacitorDamp1().m_dCapacitance = 220e-6;
            f1.GetResistorDamp1().m_dResistance = 0.3;
            C2StgOutputFilter& f2 = *doc.Get2StgOutputFilter1();
            f2.SetTopology(6);
            f2.SetDefaults();
            f2.GetInductorOut2().m_dInductance = 1e-6;
            f2.GetInductorOut2().m_dDcResistance = 5e-3;
            f2.GetCapacitorOut2().m_dCapacitance = 47e-6;
            f2.GetCapacitorOut2().m_dEsr = 0.01;
            f2.GetResistorDamp2().m_dResistance = 0.5;
            f2.GetInductorOut3().m_dInductance = 0.5e-6;
            f2.GetInductorOut3().m_dDcResistance = 1e-3;
            f2.GetCapacitorDamp2().m_dCapacitance = 100e-6;
            f2.GetResistorDamp3().m_dResistance = 0.2;
            doc.CheckAllSections();
        }
        return RunDesignHeadless(doc, kAverageCycles, fig, nullptr);
    };
    CRunFigures plain(0.0), damped(0.0);
    const HeadlessRun a = run(false, &plain);
    ASSERT_EQ(a.ran, 1) << a.problem;
    const HeadlessRun b = run(true, &damped);
    ASSERT_EQ(b.ran, 1) << b.problem;
    EXPECT_NEAR(damped.OutputAverage(), plain.OutputAverage(), 0.005 * plain.OutputAverage());
    EXPECT_NEAR(damped.ChokeAverage(), plain.ChokeAverage(), 0.005 * plain.ChokeAverage());
}

}  // namespace
