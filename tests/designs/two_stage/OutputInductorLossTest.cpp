// The output's other inductors with their losses, from the steady state: Inductor Out 2 of the
// second stage (1 uH, 5 mohm, carrying the 2 A load with little ripple) and the load network's
// two inductors (AC resistances only; their records carry no core loss).
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "analysis/context/AnalContext.h"
#include "circuit/AnalCfg.h"
#include "circuit/Doc.h"
#include "designs/AnalHeadless.h"
#include "designs/Designs.h"
#include "designs/ShuntRun.h"
#include "records/DbParts.h"

namespace {

// Inductor Out 2's shunt power, g·V² (W).
double OutTwoShunt(const AnalysisContext& c) {
    const double v = c.outputFilter[0].secondInductorVoltage;
    return c.engine.loss.output[0][kLossSecondStage].conductance * v * v;
}

// Each inductor's resistance is its effective one, above the DC one by the share of its mean
// square current that is ripple (over the periods: the load source's 5 kHz sine counts as
// ripple too): Reff - Rdc = σ²/b·(Rac - Rdc), σ² = b - m². Inductor Out 2's 1 mW of core loss
// (below a quarter of its 20 mW DC loss, where the means settle) is what its shunt takes over
// the run's second half, within 2 %.
TEST(OutputInductorLosses, EffectiveResistancesAndTheCoreLoss) {
    const ShuntRun stage = RunShunted(
        "two_stage",
        [](CPwrQuorraDoc& doc) {
            CInductor& l = doc.Get2StgOutputFilter1()->GetInductorOut2();
            l.m_dAcResistance = 0.05;
            l.m_dCorePowerLoss = 0.001;
        },
        OutTwoShunt);
    const ShuntRun load = RunShunted(
        "load_source",
        [](CPwrQuorraDoc& doc) {
            CLoadNetwork& ld = *doc.GetLoadNetwork1();
            ld.GetInductorLoad1().m_dAcResistance = 1e-3;
            ld.GetInductorLoad2().m_dAcResistance = 2e-3;
        },
        OutTwoShunt);
    ASSERT_EQ(stage.run.ran, 1) << stage.run.problem;
    ASSERT_EQ(load.run.ran, 1) << load.run.problem;
    EXPECT_NEAR(stage.shuntPower, 0.001, 0.02 * 0.001);
    const struct {
        const char* name;
        const InductorLoss& x;
        double dc, ac;
    } cases[] = {{"Inductor Out 2", stage.loss.output[0][kLossSecondStage], 5e-3, 0.05},
                 {"Inductor Load 1", load.loss.output[0][kLossLoad1], 1e-6, 1e-3},
                 {"Inductor Load 2", load.loss.output[0][kLossLoad2], 1e-6, 2e-3}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(c.x.on);
        ExpectAcDcSplit(c.x.w, c.dc, c.ac);
    }
}

// 50 mW on Inductor Out 2 is more than its rms voltage (some 10 mV) times its 2 A: the run
// stops with the message that names output 1, not with the inductor shorted by its shunt.
TEST(OutputInductorLosses, ACoreLossBeyondTheWindingStopsTheRun) {
    const ShuntRun r = RunShunted(
        "two_stage", [](CPwrQuorraDoc& doc) { doc.Get2StgOutputFilter1()->GetInductorOut2().m_dCorePowerLoss = 0.05; },
        OutTwoShunt);
    EXPECT_NE(r.run.ran, 1);
    EXPECT_NE(r.run.problem.find("output filter inductor of output 1"), std::string::npos) << r.run.problem;
}

}  // namespace
