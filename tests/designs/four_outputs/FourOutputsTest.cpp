// Four outputs on one transformer end to end: the design written and read back, run as a
// turn-on transient until every output has settled, and each output's average measured over
// the last tenth of the run against its closed form.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <unistd.h>

#include "analysis/context/AnalContext.h"
#include "analysis/timedomain/AnalFigures.h"
#include "designs/AnalHeadless.h"
#include "circuit/Doc.h"
#include "designs/Designs.h"
#include "designs/ForwardClosedForm.h"

namespace {

#ifdef PQ_SANITIZE
constexpr double kCycles = 600;
#else
constexpr double kCycles = 1000;
#endif

// Each output is the first configuration's output with its own load. The secondaries are
// coupled to each other by the product of their couplings to the primary (k(Sj;Sk) = k²),
// so with the primary held by the bulk each output's commutation sees its own leakage
// Ls(1 - k²) alone (the mutual that remains between two secondaries, Ls·(k(Sj;Sk) - k²),
// is zero) and each output follows the single-output closed form. The outputs meet only in
// the primary current: the line and the switch carry all four choke currents, a fixed point
// over the four outputs.
TEST(FourOutputs, EveryOutputSettlesOnItsClosedForm) {
    std::string problem;
    std::unique_ptr<CPwrQuorraDoc> doc = OpenRegressionDesign("four_outputs", &problem);
    ASSERT_TRUE(doc) << problem;
    CRunFigures fig(0.0);
    const HeadlessRun run = RunDesignHeadless(*doc, kCycles, &fig, nullptr);
    ASSERT_EQ(run.ran, 1) << run.problem;

    const double loads[4] = {5.0, 10.0, 2.5, 20.0};
    double il[4] = {2.0, 1.0, 4.0, 0.5};
    designs::ForwardSteadyState cf[4];
    for (int pass = 0; pass < 20; ++pass) {
        for (int j = 0; j < 4; ++j) {
            const double others = il[0] + il[1] + il[2] + il[3] - il[j];
            cf[j] = designs::SolveForward({48.0, 0.1, 0.25, 1e-5, 200e-6, 200e-6, 2e-6, 0.7, 0.01, 2e-3 + 1e-6,
                                           100e-6 + 1e-10, 2e-6, 100e-6, loads[j], others});
        }
        for (int j = 0; j < 4; ++j) il[j] = cf[j].il;
    }
    for (int j = 0; j < 4; ++j) {
        SCOPED_TRACE(j + 1);
        EXPECT_NEAR(fig.OutputAverage(j), cf[j].vout, 0.01 * cf[j].vout);
    }
    EXPECT_NEAR(fig.Duty(), 0.25, 0.002);
}

// At the turn-on each output's freewheel rectifier hands its valley current Iv to the forward
// one through its leakage Llk = Ls - Mps²/Lp. Both rectifiers on, their drops cancel around the
// secondary loop (vs = rd·(i_fwd - i_fw), a few tens of mV), so with the primary held at the
// bulk V the secondary current ramps at (Mps/Lp)·V/Llk and the hand-over lasts
//   tc = Llk·Iv·Lp/(Mps·V).
// The outputs' valleys differ (0.1 A to 3.7 A): the shortest hand-over, a few ns, shows a start
// one step late as plainly as the longest shows a wrong rate.
TEST(FourOutputs, HandOversLastTheirClosedForms) {
    std::string problem;
    std::unique_ptr<CPwrQuorraDoc> doc = OpenRegressionDesign("four_outputs", &problem);
    ASSERT_TRUE(doc) << problem;
    constexpr int kRunCycles = 400;
    const double measureFrom = 350 * 10e-6;
    double turnOn = -1.0, bulk = 0.0, valley[4] = {}, duration[4] = {}, closedForm[4] = {};
    int counted[4] = {};
    int32_t lastState = 0;
    const HeadlessRun run = RunDesignHeadless(*doc, kRunCycles, nullptr, nullptr, [&](const AnalysisContext& ctx) {
        const double t = ctx.stepState.time, h = ctx.stepState.inverseTimeStepTermA;
        const int32_t state = ctx.primary.switchState;
        if (state == 2 && lastState != 2) {
            turnOn = t - h;
        } else if (state != 2) {
            turnOn = -1.0;
            bulk = ctx.inputCapacitor.capacitorVoltage1;
            for (int j = 0; j < 4; ++j)
                valley[j] = ctx.secondaryRectifier[j].diodeConducting ? ctx.engine.output[j].freewheelCurrent : 0.0;
        }
        lastState = state;
        if (turnOn < measureFrom) return;
        const TransformerParams& x = ctx.engine.xfmr;
        for (int j = 0; j < 4; ++j) {
            if (ctx.secondaryRectifier[j].diodeConducting || valley[j] <= 0.0) continue;
            const double llk = x.ls[j] - x.mps[j] * x.mps[j] / x.lp;
            duration[j] += t - turnOn;
            closedForm[j] += llk * valley[j] * x.lp / (std::fabs(x.mps[j]) * bulk);
            ++counted[j];
            valley[j] = 0.0;
        }
    });
    ASSERT_EQ(run.ran, 1) << run.problem;
    for (int j = 0; j < 4; ++j) {
        SCOPED_TRACE(j + 1);
        ASSERT_GT(counted[j], 10);
        const double mean = duration[j] / counted[j], expected = closedForm[j] / counted[j];
        // The run's first step after the turn-on is 0.1 ns.
        EXPECT_NEAR(mean, expected, 0.01 * expected + 0.2e-9);
    }
}

}  // namespace
