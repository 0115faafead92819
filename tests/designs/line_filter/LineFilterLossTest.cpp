// The line filter's inductors with their losses, from the steady state. A smooth current
// leaves little voltage across a filter inductor, so its core-loss resistance Rp = mean V²/P
// is small (AnalMLoss.h): within reach the shunt takes the entered core loss, beyond it the
// run stops with a message instead of shorting the inductor out.
#include <gtest/gtest.h>

#include <string>

#include "analysis/context/AnalContext.h"
#include "circuit/AnalCfg.h"
#include "circuit/Doc.h"
#include "designs/AnalHeadless.h"
#include "designs/Designs.h"
#include "records/DbParts.h"

namespace {

// In1 with 2 mW and In2 with 1 mW of core loss (each below a quarter of its winding's DC
// loss, about 27 and 13 mW, where the means settle) and AC resistances five times the DC
// ones. Over the last half of the run the power the shunt takes, g·V² with V the winding's
// voltage, is the core loss the part gives, within 2 % (the running means still move a
// little); each winding's resistance is its effective one, above the DC one by the ripple's
// share: Reff - Rdc = σ²/b·(Rac - Rdc) with σ² = b - m².
TEST(LineFilterLosses, TheShuntsTakeTheEnteredCoreLosses) {
    std::string problem;
    auto doc = OpenRegressionDesign("line_filter", &problem);
    ASSERT_TRUE(doc) << problem;
    CLineFilter& filter = *doc->GetLineFilter();
    filter.GetInductorIn1().m_dAcResistance = 0.5;
    filter.GetInductorIn1().m_dCorePowerLoss = 0.002;
    filter.GetInductorIn2().m_dAcResistance = 0.25;
    filter.GetInductorIn2().m_dCorePowerLoss = 0.001;
    doc->GetAnalysisConfig()->SetAnalysisKind(CAnalysisConfig::KIND_STEADY_STATE);
    doc->CheckAllSections();
    constexpr double kCycles = 200;
    const double start = kCycles * 1e-5 / 2.0;
    double span = 0.0, shunt1 = 0.0, shunt2 = 0.0;
    MagneticLossStore loss;
    const HeadlessRun run = RunDesignHeadless(*doc, kCycles, nullptr, nullptr, [&](const AnalysisContext& c) {
        loss = c.engine.loss;
        if (c.stepState.time < start) return;
        const double h = c.stepState.inverseTimeStepTermA;
        const LinePhaseStateRec& ph = c.linePhase[0];
        span += h;
        shunt1 += c.engine.loss.line[0][kLossFirstInductor].conductance * ph.firstInductorVoltage * ph.firstInductorVoltage * h;
        shunt2 += c.engine.loss.line[0][kLossSecondInductor].conductance * ph.secondInductorVoltage *
                  ph.secondInductorVoltage * h;
    });
    ASSERT_EQ(run.ran, 1) << run.problem;
    ASSERT_GT(span, 0.0);
    EXPECT_NEAR(shunt1 / span, 0.002, 0.02 * 0.002);
    EXPECT_NEAR(shunt2 / span, 0.001, 0.02 * 0.001);
    const struct {
        const InductorLoss& x;
        double dc, ac;
    } cases[] = {{loss.line[0][kLossFirstInductor], 0.1, 0.5}, {loss.line[0][kLossSecondInductor], 0.05, 0.25}};
    for (const auto& c : cases) {
        const WindingLoss& w = c.x.w;
        ASSERT_GT(w.meanSquareCurrent, 0.1);
        const double share = (w.meanSquareCurrent - w.meanCurrent * w.meanCurrent) / w.meanSquareCurrent;
        EXPECT_GT(share, 0.0);
        EXPECT_NEAR(w.windingResistance - c.dc, share * (c.ac - c.dc), 1e-12);
    }
}

// The same filter with Inductor Damp (2 uH, 0.1 ohm DC, 0.5 ohm AC) in series with Resistor
// Damp2: the damping branch carries the filter's ripple, and the inductor alone (not the
// resistor with it) takes the effective resistance of its own means.
TEST(LineFilterLosses, TheDampingInductorTakesItsEffectiveResistance) {
    std::string problem;
    auto doc = OpenRegressionDesign("line_filter", &problem);
    ASSERT_TRUE(doc) << problem;
    CLineFilter& filter = *doc->GetLineFilter();
    filter.SetTopology(6);
    filter.GetInductorDamp().m_dInductance = 2e-6;
    filter.GetInductorDamp().m_dDcResistance = 0.1;
    filter.GetInductorDamp().m_dAcResistance = 0.5;
    doc->GetAnalysisConfig()->SetAnalysisKind(CAnalysisConfig::KIND_STEADY_STATE);
    doc->CheckAllSections();
    MagneticLossStore loss;
    const HeadlessRun run =
        RunDesignHeadless(*doc, 100, nullptr, nullptr, [&](const AnalysisContext& c) { loss = c.engine.loss; });
    ASSERT_EQ(run.ran, 1) << run.problem;
    const InductorLoss& x = loss.line[0][kLossDampingInductor];
    ASSERT_TRUE(x.on);
    ASSERT_GT(x.w.periods, 10);
    const double b = x.w.meanSquareCurrent, m = x.w.meanCurrent;
    ASSERT_GT(b, 0.0);
    EXPECT_GT(b - m * m, 0.0);
    EXPECT_NEAR(x.w.windingResistance - 0.1, (b - m * m) / b * 0.4, 1e-12);
}

// 50 mW on In1 is out of its winding's reach (its rms voltage, some 50 mV, times its 0.5 A):
// the run stops with the message that says so, not with In1 shorted by its own shunt.
TEST(LineFilterLosses, ACoreLossBeyondTheWindingStopsTheRun) {
    std::string problem;
    auto doc = OpenRegressionDesign("line_filter", &problem);
    ASSERT_TRUE(doc) << problem;
    doc->GetLineFilter()->GetInductorIn1().m_dCorePowerLoss = 0.05;
    doc->GetAnalysisConfig()->SetAnalysisKind(CAnalysisConfig::KIND_STEADY_STATE);
    doc->CheckAllSections();
    const HeadlessRun run = RunDesignHeadless(*doc, 100, nullptr, nullptr);
    EXPECT_NE(run.ran, 1);
    EXPECT_NE(run.problem.find("core loss of a line filter inductor"), std::string::npos) << run.problem;
}

}  // namespace
