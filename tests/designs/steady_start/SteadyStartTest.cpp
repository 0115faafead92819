// Every regression design's steady-state run begins at its periodic operating point: with
// the precise initialisation and with the quick one, the first period's average output
// voltage and choke current are within 0.5 % of what a turn-on run over the design's own
// analysis time settles to, and with the precise one the state at the end of that period is
// where it began, within the initialisation loop's tolerances (the
// capacitor's drift T·I/C/100, the choke's T·V/L/100, each at least 1 mV or 1 mA).
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

#include "circuit/AnalCfg.h"
#include "circuit/Doc.h"
#include "designs/Designs.h"
#include "designs/SteadyStart.h"
#include "resources/StringTable.h"

namespace {

class SteadyStartOf : public ::testing::TestWithParam<RegressionDesign> {};

// Designs whose primary variant, line side, second filter stage, coupled chokes or varying
// load source the operating-point estimate does not set: their steady-state run is refused,
// never started from a wrong point.
bool EstimateCovers(const char* name) {
    static const char* const kRefused[] = {"passive_clamp", "resonant_reset",  "active_clamp", "reset_winding",
                                           "ac_bridge",     "ac_doubler",      "two_stage",    "load_source",
                                           "coupled_chokes"};
    for (const char* r : kRefused)
        if (std::string(name) == r) return false;
    return true;
}

// Designs the estimate covers whose precise start still lands off the operating point: the
// four coupled outputs are refined one by one. Open work, not a tolerance.
const char* KnownStartGap(const char* name) {
    static const struct {
        const char* name;
        const char* why;
    } kGaps[] = {{"four_outputs", "outputs refined one by one, not as coupled"}};
    for (const auto& g : kGaps)
        if (std::string(name) == g.name) return g.why;
    return nullptr;
}

TEST_P(SteadyStartOf, PreciseStartIsThePeriodicOperatingPoint) {
    if (const char* why = KnownStartGap(GetParam().name)) GTEST_SKIP() << "known gap: " << why;
    CPwrQuorraDoc doc;
    doc.OnNewDocument();
    GetParam().build(doc);
    if (!EstimateCovers(GetParam().name)) {
        const SteadyStartRun ss = RunSteadyStart(doc, CAnalysisConfig::INIT_SLOW_PRECISE);
        EXPECT_EQ(ss.run.ran, 0);
        EXPECT_NE(ss.run.problem.find(res::FindString(58400)), std::string::npos) << ss.run.problem;
        return;
    }
    const TurnOnRun reference = RunTurnOn(doc, 0.0);
    ASSERT_EQ(reference.run.ran, 1) << reference.run.problem;
    const SteadyStartRun ss = RunSteadyStart(doc, CAnalysisConfig::INIT_SLOW_PRECISE);
    ASSERT_EQ(ss.run.ran, 1) << ss.run.problem;

    const OutputPoint settled = reference.settled;
    EXPECT_NEAR(ss.firstAverage.vout, settled.vout, 0.005 * std::fabs(settled.vout));
    EXPECT_NEAR(ss.firstAverage.il, settled.il, 0.005 * std::fabs(settled.il));

    EXPECT_NEAR(ss.end.vout, ss.start.vout, ss.capTolerance);
    EXPECT_NEAR(ss.end.il, ss.start.il, ss.chokeTolerance);

    // The quick start: the estimate, up to three Newton steps on the period map, the
    // stabilisation periods.
    const SteadyStartRun quick = RunSteadyStart(doc, CAnalysisConfig::INIT_FAST);
    ASSERT_EQ(quick.run.ran, 1) << quick.run.problem;
    EXPECT_NEAR(quick.firstAverage.vout, settled.vout, 0.005 * std::fabs(settled.vout));
    EXPECT_NEAR(quick.firstAverage.il, settled.il, 0.005 * std::fabs(settled.il));
}

INSTANTIATE_TEST_SUITE_P(Designs, SteadyStartOf, ::testing::ValuesIn(RegressionDesigns()),
                         [](const ::testing::TestParamInfo<RegressionDesign>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace
