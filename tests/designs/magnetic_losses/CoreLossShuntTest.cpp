// Core losses on the windings that carry a state of their own beside the branch they sit in:
// each core-loss resistance takes the entered loss over the run's second half (within 2 %),
// each effective resistance takes the AC/DC split of its winding's current.
#include <gtest/gtest.h>

#include <cmath>
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

// The skim winding (50 uH, 20 mohm in series with the 100 uH choke) with 0.2 W of core loss
// and 0.1 ohm AC: its shunt takes the 0.2 W, and its own current keeps the choke's mean (the
// shunt carries the ripple's share only, no DC: the winding's mean voltage is its IR drop).
TEST(CoreLossShunts, SkimWinding) {
    const ShuntRun r = RunShunted(
        "skim_choke",
        [](CPwrQuorraDoc& doc) {
            CInductor& skim = doc.GetOutputChoke1()->GetSkimInductor();
            skim.m_dCorePowerLoss = 0.2;
            skim.m_dAcResistance = 0.1;
        },
        [](const AnalysisContext& c) {
            const double v = c.outputChoke[0].skimVoltage;
            return c.engine.loss.output[0][kLossSkim].conductance * v * v;
        },
        [](const AnalysisContext& c) { return c.outputChoke[0].skimCurrent; },
        [](const AnalysisContext& c) { return c.outputChoke[0].reportedChokeCurrent; });
    ASSERT_EQ(r.run.ran, 1) << r.run.problem;
    EXPECT_TRUE(r.run.messages.empty()) << r.run.messages.front();
    const InductorLoss& x = r.loss.output[0][kLossSkim];
    ASSERT_TRUE(x.on);
    EXPECT_GT(x.conductance, 0.0);
    EXPECT_NEAR(r.shuntPower, 0.2, 0.02 * 0.2);
    ExpectAcDcSplit(x.w, 0.02, 0.1);
    ASSERT_GT(r.meanB, 0.5);
    EXPECT_NEAR(r.meanA, r.meanB, 1e-3 * r.meanB);
}

// The capacitor-sense transformer with 2 mW of core loss (the primary carries the
// capacitor's 0.3 A of ripple through its preset's 1 ohm AC resistance: some 0.3 V rms, so
// 2 mW is well inside what the winding can take): its shunt takes the 2 mW, and both windings'
// effective resistances take their currents' AC/DC split (the primary's, of a current whose
// mean is near 0, close to its AC 1 ohm; the secondary's, of the diode's one-way current,
// between its 0.1 ohm DC and 1 ohm AC). The core-loss resistance follows the running mean of
// the voltage over every period counted, which trails the settled value while the branch's
// ripple settles from the start (about 2 % at 200 periods): 600 periods bring it within 1 %.
TEST(CoreLossShunts, CapacitorSenseTransformer) {
    const ShuntRun r = RunShunted(
        "capacitor_sense",
        [](CPwrQuorraDoc& doc) {
            CTransformer& ct = doc.Get1StgOutputFilter1()->GetCurrentSenseTransformer();
            ct.m_dCorePowerLoss = 0.002;
        },
        [](const AnalysisContext& c) {
            const double v = c.outputFilter[0].csValue15;
            return c.engine.loss.output[0][kLossSensePrimary].conductance * v * v;
        },
        [](const AnalysisContext& c) { return c.outputFilter[0].csValue1; },
        [](const AnalysisContext& c) { return c.outputFilter[0].capacitorCurrent; }, 600);
    ASSERT_EQ(r.run.ran, 1) << r.run.problem;
    EXPECT_TRUE(r.run.messages.empty()) << r.run.messages.front();
    const InductorLoss& primary = r.loss.output[0][kLossSensePrimary];
    ASSERT_TRUE(primary.on);
    EXPECT_GT(primary.conductance, 0.0);
    EXPECT_NEAR(r.shuntPower, 0.002, 0.02 * 0.002);
    ExpectAcDcSplit(primary.w, 1e-3, 1.0);
    EXPECT_GT(primary.w.windingResistance, 0.9);
    const InductorLoss& secondary = r.loss.output[0][kLossSenseSecondary];
    ASSERT_TRUE(secondary.on);
    ExpectAcDcSplit(secondary.w, 0.1, 1.0);
}

// A core loss beyond the sense primary's rms voltage times its rms current stops the run with
// the message that names the sense transformer of output 1.
TEST(CoreLossShunts, ASenseCoreLossBeyondItsWindingStopsTheRun) {
    const ShuntRun r = RunShunted(
        "capacitor_sense",
        [](CPwrQuorraDoc& doc) { doc.Get1StgOutputFilter1()->GetCurrentSenseTransformer().m_dCorePowerLoss = 1.0; },
        [](const AnalysisContext&) { return 0.0; });
    EXPECT_NE(r.run.ran, 1);
    EXPECT_NE(r.run.problem.find("capacitor current sense transformer of output 1"), std::string::npos)
        << r.run.problem;
}

// The coupled_chokes design (two 100 uH chokes on one core, k = 0.5) with 0.3 W and 0.15 W
// of core loss and 0.2 ohm AC on each: each shunt takes its own choke's loss, the coupling
// notwithstanding, and each winding's effective resistance its current's AC/DC split.
TEST(CoreLossShunts, ChokesOnOneCore) {
    constexpr double kLoss[2] = {0.3, 0.15};
    double dc[2] = {};
    // Each choke's winding voltage from the coupled solve: V = Z'·Ib + E'.
    const auto winding = [](const AnalysisContext& c, int k) {
        const MagneticLossStore& l = c.engine.loss;
        double v = l.coupledE[k];
        for (int i = 0; i < 2; ++i) v += l.coupledZ[k][i] * c.engine.output[i].chokeCurrent;
        return v;
    };
    const auto power = [&](const AnalysisContext& c, int k) {
        const double v = winding(c, k);
        return c.engine.loss.chokeConductance[k] * v * v;
    };
    const ShuntRun r = RunShunted(
        "coupled_chokes",
        [&](CPwrQuorraDoc& doc) {
            CInductor* chokes[2] = {&doc.GetOutputChoke1()->GetInductorOut1(), &doc.GetOutputChoke2()->GetInductorOut1()};
            for (int j = 0; j < 2; ++j) {
                dc[j] = chokes[j]->m_dDcResistance;
                chokes[j]->m_dCorePowerLoss = kLoss[j];
                chokes[j]->m_dAcResistance = 0.2;
            }
        },
        [&](const AnalysisContext& c) { return power(c, 0); }, [&](const AnalysisContext& c) { return power(c, 1); });
    ASSERT_EQ(r.run.ran, 1) << r.run.problem;
    EXPECT_TRUE(r.run.messages.empty()) << r.run.messages.front();
    const MagneticLossStore& l = r.loss;
    ASSERT_TRUE(l.coupledShunts);
    const double measured[2] = {r.shuntPower, r.meanA};
    for (int k = 0; k < 2; ++k) {
        SCOPED_TRACE(k);
        EXPECT_GT(l.chokeConductance[k], 0.0);
        EXPECT_NEAR(measured[k], kLoss[k], 0.02 * kLoss[k]);
        ExpectAcDcSplit(l.choke[k], dc[k], 0.2);
    }
}

}  // namespace
