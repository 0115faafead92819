// Every regression design's steady-state run begins at its periodic operating point: with
// the precise initialisation, the first period's average output voltage and choke current
// are within 0.5 % of what a turn-on run over the design's own analysis time settles to,
// and the state at the end of that period is where it began, within the initialisation
// loop's tolerances (the capacitor's drift T·I/C/100, the choke's T·V/L/100, each at least
// 1 mV or 1 mA).
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "circuit/AnalCfg.h"
#include "circuit/Doc.h"
#include "designs/Designs.h"
#include "designs/SteadyStart.h"

namespace {

class SteadyStartOf : public ::testing::TestWithParam<RegressionDesign> {};

TEST_P(SteadyStartOf, PreciseStartIsThePeriodicOperatingPoint) {
    CPwrQuorraDoc doc;
    doc.OnNewDocument();
    GetParam().build(doc);
    const TurnOnRun reference = RunTurnOn(doc, 0.0);
    ASSERT_EQ(reference.run.ran, 1) << reference.run.problem;
    const SteadyStartRun ss = RunSteadyStart(doc, CAnalysisConfig::INIT_SLOW_PRECISE);
    ASSERT_EQ(ss.run.ran, 1) << ss.run.problem;

    const OutputPoint settled = reference.settled;
    EXPECT_NEAR(ss.firstAverage.vout, settled.vout, 0.005 * std::fabs(settled.vout));
    EXPECT_NEAR(ss.firstAverage.il, settled.il, 0.005 * std::fabs(settled.il));

    EXPECT_NEAR(ss.end.vout, ss.start.vout, ss.capTolerance);
    EXPECT_NEAR(ss.end.il, ss.start.il, ss.chokeTolerance);
}

INSTANTIATE_TEST_SUITE_P(Designs, SteadyStartOf, ::testing::ValuesIn(RegressionDesigns()),
                         [](const ::testing::TestParamInfo<RegressionDesign>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace
