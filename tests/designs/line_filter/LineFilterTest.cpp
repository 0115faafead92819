// A DC line through a line filter on its own, from the steady state: over the first
// switching periods the filter carries the converter's mean input current I, split between
// Inductor In2 and Resistor Damp2 by their resistances, and every node sits at the line less
// the resistive drops before it (the inductors carry no mean voltage):
//   I_In2 = I·Rd/(R2 + Rd),   V_F = V - I·(Rl + R1),   V_bulk = V - I·(Rl + R1 + R2·Rd/(R2 + Rd))
// with Rl the line's resistance, R1 and R2 the inductors' and Rd the damping resistor's. The
// 10 uF filter capacitor and the 1 mF bulk smooth the switching current, so the means over
// 50 periods hold these within 0.5 % (current share) and 1 mV (voltages).
#include <gtest/gtest.h>

#include <string>

#include "analysis/context/AnalContext.h"
#include "designs/AnalHeadless.h"
#include "circuit/AnalCfg.h"
#include "circuit/Doc.h"
#include "designs/Designs.h"

namespace {

TEST(LineFilter, DcOperatingPointThroughTheFilter) {
    std::string problem;
    auto doc = OpenRegressionDesign("line_filter", &problem);
    ASSERT_TRUE(doc) << problem;
    CAnalysisConfig& cfg = *doc->GetAnalysisConfig();
    cfg.SetAnalysisKind(CAnalysisConfig::KIND_STEADY_STATE);
    cfg.m_nInitMode = CAnalysisConfig::INIT_SLOW_PRECISE;

    double span = 0.0, line = 0.0, in2 = 0.0, node = 0.0, bulk = 0.0, source = 0.0, rl = 0.0;
    const HeadlessRun run = RunDesignHeadless(*doc, 50.0, nullptr, nullptr, [&](const AnalysisContext& c) {
        const double h = c.stepState.inverseTimeStepTermA;
        const LinePhaseStateRec& ph = c.linePhase[0];
        span += h;
        line += ph.firstInductorCurrent * h;
        in2 += ph.secondInductorCurrent * h;
        node += ph.filterCapVoltage * h;
        bulk += c.inputCapacitor.capacitorVoltage1 * h;
        source += ph.lineVoltage * h;
        rl = c.pLineSourceInput->lineResistance;
    });
    ASSERT_EQ(run.ran, 1) << run.problem;
    ASSERT_GT(span, 0.0);
    const double i = line / span, v = source / span;
    const double r1 = 0.1, r2 = 0.05, rd = 2.0;
    ASSERT_GT(i, 0.1);
    EXPECT_NEAR(in2 / span, i * rd / (r2 + rd), 0.005 * i);
    EXPECT_NEAR(node / span, v - i * (rl + r1), 1e-3);
    EXPECT_NEAR(bulk / span, v - i * (rl + r1 + r2 * rd / (r2 + rd)), 1e-3);
}

}  // namespace
