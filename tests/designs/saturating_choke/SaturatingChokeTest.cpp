// A saturating choke end to end: over the operating point's ripple the core sits on its
// 40 uH plateau, so the converter settles where the first configuration settles with a 40 uH
// choke, and the choke ripple grows by the inductance ratio.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <unistd.h>

#include "analysis/timedomain/AnalFigures.h"
#include "analysis/timedomain/AnalHeadless.h"
#include "circuit/Doc.h"
#include "designs/Designs.h"
#include "designs/ForwardClosedForm.h"

namespace {

#ifdef PQ_SANITIZE
constexpr double kCycles = 1500;
#else
constexpr double kCycles = 2000;
#endif

// The first configuration's circuit (FirstConfigDesign.cpp) with the choke's inductance L:
// 48 V through 0.1 ohm, D = 0.25 at 100 kHz, Lp = Ls = 200 uH with 2 uH leakage, diodes
// 0.7 V + 10 mohm, both switches 1 mohm with the 1 uohm sense resistor, the choke's 2 uohm
// and its sense resistor's 0.1 nH, 100 uF, 5 ohm.
designs::ForwardSteadyState Forward(double l) {
    return designs::SolveForward(
        {48.0, 0.1, 0.25, 1e-5, 200e-6, 200e-6, 2e-6, 0.7, 0.01, 2e-3 + 1e-6, l + 1e-10, 2e-6, 100e-6, 5.0});
}

// In continuous conduction the choke's current rises by (Von - Vo)·Deff·T/L while the forward
// rectifier conducts and falls as much while it freewheels: the ripple is inversely
// proportional to the inductance the step uses, here the plateau's 40 uH looked up at the
// present current (1.0 A to 3.3 A over the period, above the 0.5 A knee). The average output
// hardly moves: only the leakage's share L/(L + Llk) of the forward voltage and the
// commutation time depend on L. So, against the unsaturated 100 uH: the ripple 2.5 times as
// large (0.88 A to 2.2 A peak to peak), the output within the 0.5 % of the closed form.
TEST(SaturatingChoke, RippleGrowsAsThePlateauInductancePredicts) {
    const RegressionDesign* design = nullptr;
    for (const RegressionDesign& d : RegressionDesigns())
        if (std::string(d.name) == "saturating_choke") design = &d;
    ASSERT_NE(design, nullptr);
    const std::string path = ::testing::TempDir() + "saturating_choke_" + std::to_string(::getpid()) + ".SEF";
    ASSERT_TRUE(WriteRegressionDesign(*design, path));
    std::string problem;
    std::unique_ptr<CPwrQuorraDoc> doc = OpenDesignHeadless(path, &problem);
    std::remove(path.c_str());
    ASSERT_TRUE(doc) << problem;
    CRunFigures fig(0.0);
    const HeadlessRun run = RunDesignHeadless(*doc, kCycles, &fig, nullptr);
    ASSERT_EQ(run.ran, 1) << run.problem;

    const designs::ForwardSteadyState saturated = Forward(40e-6), nominal = Forward(100e-6);
    ASSERT_GT(saturated.il - saturated.dil / 2.0, 0.5);  // the valley stays on the plateau
    EXPECT_NEAR(fig.ChokePeakToPeak(), saturated.dil, 0.03 * saturated.dil);
    EXPECT_GT(fig.ChokePeakToPeak(), 2.3 * nominal.dil);
    EXPECT_NEAR(fig.OutputAverage(), saturated.vout, 0.005 * saturated.vout);
    EXPECT_NEAR(fig.ChokeAverage(), saturated.il, 0.005 * saturated.il);
    EXPECT_NEAR(fig.OutputPeakToPeak(), saturated.dvout, 0.05 * saturated.dvout);
}

// The steady-state estimate takes every inductance at its nominal value: a steady-state run
// of the design is refused with its message and runs nothing.
TEST(SaturatingChoke, SteadyStateRunIsRefused) {
    CPwrQuorraDoc doc;
    doc.OnNewDocument();
    BuildSaturatingChoke(doc);
    doc.GetAnalysisConfig()->SetAnalysisKind(CAnalysisConfig::KIND_STEADY_STATE);
    const HeadlessRun run = RunDesignHeadless(doc, 10, nullptr, nullptr);
    EXPECT_EQ(run.ran, 0);
    EXPECT_EQ(run.steps, 0);
    EXPECT_NE(run.problem.find("does not cover inductors that"), std::string::npos) << run.problem;
}

}  // namespace
