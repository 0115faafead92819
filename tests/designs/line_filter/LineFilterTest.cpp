// A DC line through a line filter on its own, from the steady state: over the first
// switching periods the filter carries the converter's mean input current I, split between
// Inductor In2 and Resistor Damp2 by their resistances, and every node sits at the line less
// the resistive drops before it (the inductors carry no mean voltage):
//   I_In2 = I·Rd/(R2 + Rd),   V_F = V - I·(Rl + R1),   V_bulk = V - I·(Rl + R1 + R2·Rd/(R2 + Rd))
// with Rl the line's resistance, R1 and R2 the inductors' and Rd the damping resistor's. The
// 10 uF filter capacitor and the 1 mF bulk smooth the switching current, so the means over
// 50 periods hold these within 0.5 % (current share) and 1 mV (voltages).
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "analysis/context/AnalContext.h"
#include "designs/AnalHeadless.h"
#include "circuit/AnalCfg.h"
#include "circuit/Doc.h"
#include "designs/Designs.h"
#include "records/DbParts.h"

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

namespace {

// Inductor In1's current over 50 periods from the steady state: its mean and its ripple, the
// largest peak-to-peak of a switching period about the line through the period's ends, with In1
// given by `setUp`. (What the start leaves of the 1 mF bulk's slow ring, a kilohertz or so,
// moves the current by up to half a milliampere over the run, ten times the ripple.)
struct In1Current {
    double mean = 0.0, ripple = 0.0;
    HeadlessRun run;
};

In1Current RunIn1(void (*setUp)(CInductor&)) {
    std::string problem;
    auto doc = OpenRegressionDesign("line_filter", &problem);
    In1Current r;
    if (!doc) {
        r.run.problem = problem;
        return r;
    }
    setUp(doc->GetLineFilter()->GetInductorIn1());
    doc->CheckAllSections();
    CAnalysisConfig& cfg = *doc->GetAnalysisConfig();
    cfg.SetAnalysisKind(CAnalysisConfig::KIND_STEADY_STATE);
    cfg.m_nInitMode = CAnalysisConfig::INIT_SLOW_PRECISE;
    double span = 0.0, area = 0.0;
    std::vector<std::pair<double, double>> period;  // (time, current) of the open period
    const auto close = [&] {
        if (period.size() < 3) return;
        const auto [t0, i0] = period.front();
        const auto [t1, i1] = period.back();
        double lo = 1e300, hi = -1e300;
        for (const auto& [t, i] : period) {
            const double d = i - (i0 + (i1 - i0) * (t - t0) / (t1 - t0));
            lo = std::min(lo, d);
            hi = std::max(hi, d);
        }
        r.ripple = std::max(r.ripple, hi - lo);
    };
    double lastCycle = 0.0;
    r.run = RunDesignHeadless(*doc, 50.0, nullptr, nullptr, [&](const AnalysisContext& c) {
        const double h = c.stepState.inverseTimeStepTermA, i = c.linePhase[0].firstInductorCurrent;
        span += h;
        area += i * h;
        if (c.stepState.cycleTime < lastCycle) {
            close();
            period.assign(1, period.empty() ? std::make_pair(c.stepState.time, i) : period.back());
        }
        lastCycle = c.stepState.cycleTime;
        period.emplace_back(c.stepState.time, i);
    });
    close();
    r.mean = span > 0.0 ? area / span : 0.0;
    return r;
}

}  // namespace

// Inductor In1 on a core that saturates: 40 uH up to 0.1 A, 10 uH from 0.2 A to 20 A. The
// converter draws about 0.55 A through it with a ripple of milliamperes, all on the 10 uH
// plateau, where the step looks its inductance up at the present current: the filter then
// carries what it carries with a plain 10 uH inductor, the DC operating point above and the
// ripple, which the LC divider of In1 and the 10 uF capacitor sets in inverse proportion to
// In1's inductance far above its 16 kHz resonance (a plain 40 uH gives about a quarter).
TEST(LineFilter, SaturatingInductorRunsOnItsPlateau) {
    const In1Current plain = RunIn1([](CInductor&) {});
    const In1Current saturating = RunIn1([](CInductor& l) {
        l.m_dInductance = 40e-6;  // at 0 A
        CObArrayCurrentInductance& points = l.m_CoreSatChar.m_arPoints;
        points.DeleteAll();
        points.AddCopy(0, CObCurrentInductance(0.1, 40e-6));
        points.AddCopy(1, CObCurrentInductance(0.2, 10e-6));
        points.AddCopy(2, CObCurrentInductance(20.0, 10e-6));
    });
    const In1Current unsaturated = RunIn1([](CInductor& l) { l.m_dInductance = 40e-6; });
    ASSERT_EQ(plain.run.ran, 1) << plain.run.problem;
    ASSERT_EQ(saturating.run.ran, 1) << saturating.run.problem;
    ASSERT_EQ(unsaturated.run.ran, 1) << unsaturated.run.problem;
    ASSERT_GT(plain.mean, 0.3);
    EXPECT_NEAR(saturating.mean, plain.mean, 0.005 * plain.mean);
    EXPECT_NEAR(saturating.ripple, plain.ripple, 0.03 * plain.ripple);
    EXPECT_LT(unsaturated.ripple, 0.4 * plain.ripple);
}
