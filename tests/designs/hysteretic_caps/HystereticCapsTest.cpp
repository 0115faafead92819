// Hysteretic current control sensing the output capacitor's current: the capacitor carries
// the choke current less the load's, whose ripple is the output ripple over the load, so the
// sense swings with the choke's slopes through the comparator's window as a choke sense would,
// and the error amplifier alone holds the output on its set point (the capacitor's mean
// current is 0 whatever the window's place).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>

#include "analysis/context/AnalContext.h"
#include "analysis/timedomain/AnalFigures.h"
#include "designs/AnalHeadless.h"
#include "circuit/AnalCfg.h"
#include "circuit/Doc.h"
#include "designs/Designs.h"
#include "designs/ForwardClosedForm.h"

namespace {

// The closed form of the hysteretic design (HystereticTest.cpp) with the capacitor's sense:
//   the transformer's secondary carries Ic·M/Ls (M = k·sqrt(Lp·Ls), k = sqrt(0.99), Lp = 1 uH,
//   Ls = 10 mH: 0.995/100), its magnetising time Ls/(Rs + Rd + Rcs) = 1 ms far beyond a
//   period, into Rcs = 10 ohm beside Rbias1 = 10 kohm: G = 0.995/100·(10 || 10e3) = 0.0994 V/A;
//   Capacitor Bias (10 pF through Rbias2 = 1 kohm from the ~10 ohm node) adds 10 ns to the
//   sense filter's R7·C6 = 10 ns.
//   a = (E - Vf - (rd + Rl)·IL - Vo)/(L + Llk),  b = (Vo + Vf + (rd + Rl)·IL)/L, E = k·Vbulk
//   (Rl = 1 mohm of winding and 1 mohm of the choke's sense resistor, still in the path)
//   dI = band/G + (a + b)·tau + a·t_off + b·(t_on + tc),  T = dI·(1/a + 1/b)
// with the window band = 5 V·1.6/101.6 and the switch's 30 ns either way, tc the forward
// rectifier's take-over through the leakage, Llk·Ivalley/(E - 2·Vf - rd·IL).
designs::HystereticWindow Expected(double vo, double il, double vbulk) {
    const double gain = std::sqrt(0.99) / 100.0 * (10.0 * 10e3 / (10.0 + 10e3));
    const double band = 5.0 * 1.6e3 / (1e5 + 1.6e3), tau = 100.0 * 100e-12 + 1e3 * 10e-12;
    return designs::HystereticWindowClosedForm(gain, band, tau, vo, il, vbulk);
}

void ExpectWindowAndRegulation(int32_t kind) {
    std::string problem;
    std::unique_ptr<CPwrQuorraDoc> doc = OpenRegressionDesign("hysteretic_caps", &problem);
    ASSERT_TRUE(doc) << problem;
    doc->GetAnalysisConfig()->SetAnalysisKind(kind);
    CRunFigures fig(0.0);
    // The drive's rising edges in the figures' window, and the choke current's swing within
    // each period between them (the window's own extremes would add the loop's slow wander).
    double first = -1.0, last = -1.0, low = 1e300, high = -1e300, swings = 0.0;
    int edges = 0;
    const HeadlessRun run = RunDesignHeadless(*doc, 0.0, &fig, nullptr, [&](const AnalysisContext& ctx) {
        const StepStateRec& step = ctx.stepState;
        if (step.time < FigureWindowStart(ctx.pSettings->endTime)) return;
        const double il = ctx.outputChoke[0].chokeCurrent;
        if (step.driveOn && !step.driveOnPrevious) {
            if (edges == 0) first = step.time;
            else swings += high - low;
            last = step.time;
            ++edges;
            low = high = il;
        }
        low = std::min(low, il);
        high = std::max(high, il);
    });
    ASSERT_EQ(run.ran, 1) << run.problem;
    EXPECT_NEAR(fig.OutputAverage(), 10.0, 0.005 * 10.0);
    const designs::HystereticWindow cf = Expected(fig.OutputAverage(), fig.ChokeAverage(), fig.BulkAverage());
    ASSERT_GT(edges, 10);
    const double ripple = swings / (edges - 1);
    EXPECT_NEAR(ripple, cf.ripple, 0.02 * cf.ripple);
    const double period = (last - first) / (edges - 1);
    EXPECT_NEAR(period, cf.period, 0.02 * cf.period);
}

// From a turn-on, and from the steady-state start (which begins on the window's cycle rather
// than settling into it).
TEST(HystereticCaps, SwitchesWithTheWindowAndRegulates) {
    for (const int32_t kind : {CAnalysisConfig::KIND_TURN_ON, CAnalysisConfig::KIND_STEADY_STATE}) {
        SCOPED_TRACE(kind);
        ExpectWindowAndRegulation(kind);
    }
}

}  // namespace
