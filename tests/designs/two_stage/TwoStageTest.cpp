// The two-stage output filter end to end: the second stage passes the switching frequency's
// component of the first stage's node to the output by its transfer function.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <memory>
#include <numbers>
#include <string>

#include "analysis/timedomain/AnalFigures.h"
#include "designs/AnalHeadless.h"
#include "circuit/Doc.h"
#include "designs/Designs.h"
#include "platform/core/ReportSink.h"

namespace {

// The run is deterministic, and the attenuation's discretisation error (below) depends on
// the window, so the sanitizer build runs the same 2000 periods (a few seconds).
constexpr double kCycles = 4000;

// The stage is linear, so the switching frequency's component of the output is that of the
// first stage's node times
//   H = Zo/(Zs + Zo),  Zs = R2 + jw·L2,  Zo = Zc2 || Rload,  Zc2 = Esr + jw·Esl + 1/(jw·C2)
// at w = 2·pi·100 kHz, whatever loads the first stage: |H| = 0.0582 here (the ideal
// 1/(w²·L2·C2 - 1) = 0.0571, raised by the capacitor's 10 mohm ESR). Both components come
// from the same steps. The run's steps (at most T/100, the choke's and the filter's one-per-cent
// rules) give H within 2.2 % (4000 periods); 2000 periods still hold a quarter-millivolt of the
// turn-on ring, which reads as 4 times the attenuation.
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
    CRunFigures fig(0.0);
    const HeadlessRun run = RunDesignHeadless(*doc, kCycles, &fig, nullptr);
    ASSERT_EQ(run.ran, 1) << run.problem;
    const double first = fig.FirstStageRippleAmplitude(), out = fig.OutputRippleAmplitude();
    ASSERT_GT(first, 1e-3);
    EXPECT_NEAR(out / first, Attenuation(), 0.03 * Attenuation());
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
        return RunDesignHeadless(doc, kCycles, fig, nullptr);
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
