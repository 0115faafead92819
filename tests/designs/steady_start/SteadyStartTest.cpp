// Every regression design's steady-state run begins at its periodic operating point: with
// the precise initialisation and the quick one, the first cycle's average output voltage and choke current
// are within 0.5 % of what a turn-on run over the design's own analysis time settles to,
// and the state at the end of that cycle is where it began, within the initialisation
// loop's tolerances (the capacitor's drift T·I/C/100, the choke's T·V/L/100, each at least
// 1 mV or 1 mA). A cycle is one switching period, or a periodic source's whole period.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>

#include "circuit/AnalCfg.h"
#include "circuit/Doc.h"
#include "designs/Designs.h"
#include "designs/SteadyStart.h"

namespace {

class SteadyStartOf : public ::testing::TestWithParam<RegressionDesign> {};

void ExpectStartAtOperatingPoint(CPwrQuorraDoc& doc) {
    const TurnOnRun reference = RunTurnOn(doc, 0.0);
    ASSERT_EQ(reference.run.ran, 1) << reference.run.problem;
    // An AC line or a load sine repeats the state over its own period (the 400 Hz line over
    // 250 periods of 10 us, the 5 kHz load sine over 20): that is the cycle.
    const int32_t cycle = SourceCyclePeriods(doc);
    const SteadyStartRun ss = RunSteadyStart(doc, CAnalysisConfig::INIT_SLOW_PRECISE, cycle);
    ASSERT_EQ(ss.run.ran, 1) << ss.run.problem;

    // Over a periodic source's whole cycle, not the last tenth of the run that cuts one.
    const OutputPoint settled = cycle > 1 ? reference.MeanOfLast(cycle) : reference.settled;
    EXPECT_NEAR(ss.firstAverage.vout, settled.vout, 0.005 * std::fabs(settled.vout));
    EXPECT_NEAR(ss.firstAverage.il, settled.il, 0.005 * std::fabs(settled.il));

    EXPECT_NEAR(ss.end.vout, ss.start.vout, ss.capTolerance);
    EXPECT_NEAR(ss.end.il, ss.start.il, ss.chokeTolerance);

    // The quick start (the estimate, up to three Newton steps on one period's map, the
    // stabilisation periods; over a source cycle up to three whole cycles run on first, and a
    // resonant reset's ring run out between two Newton solves) lands there too.
    const SteadyStartRun quick = RunSteadyStart(doc, CAnalysisConfig::INIT_FAST, cycle);
    ASSERT_EQ(quick.run.ran, 1) << quick.run.problem;
    EXPECT_NEAR(quick.firstAverage.vout, settled.vout, 0.005 * std::fabs(settled.vout));
    EXPECT_NEAR(quick.firstAverage.il, settled.il, 0.005 * std::fabs(settled.il));
}

TEST_P(SteadyStartOf, PreciseStartIsThePeriodicOperatingPoint) {
    CPwrQuorraDoc doc;
    doc.OnNewDocument();
    GetParam().build(doc);
    ExpectStartAtOperatingPoint(doc);
}

INSTANTIATE_TEST_SUITE_P(Designs, SteadyStartOf, ::testing::ValuesIn(RegressionDesigns()),
                         [](const ::testing::TestParamInfo<RegressionDesign>& info) {
                             return std::string(info.param.name);
                         });

// The primary families sensed by a current transformer start at their operating point too.
TEST(SteadyStartSensedByTransformer, EveryFamilyStartsAtItsOperatingPoint) {
    const struct {
        const char* name;
        void (*build)(CPwrQuorraDoc&);
        int variant;
    } cases[] = {{"two switch", &BuildFirstConfiguration, 0},
                 {"reset winding", &BuildResetWinding, 2},
                 {"resonant reset", &BuildResonantReset, 4},
                 {"active clamp", &BuildActiveClamp, 6},
                 {"passive clamp", &BuildPassiveClamp, 8}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CPwrQuorraDoc doc;
        doc.OnNewDocument();
        c.build(doc);
        doc.GetPrimarySection()->SetTopology(WORD(c.variant));
        doc.CheckAllSections();
        ExpectStartAtOperatingPoint(doc);
    }
}

// The voltage feedback taking half its weight from the modulator (the rectified voltage through
// an RC lag) and a quarter from the output, on the closed loop: it regulates at 10/0.75 V. A
// lag long against the 10 us period starts at the mean rectified voltage and is a slow state
// of the shooting (the quick start's three Newton steps need it at 1 ms, and the placed lag at
// 20 us); a short one and none follow the rectified voltage within the period.
TEST(SteadyStartModulatorFeedback, StartsAtTheOperatingPointItRegulatesTo) {
    const struct {
        const char* name;
        double lag;  // s
    } cases[] = {{"1 ms lag", 1e-3}, {"20 us lag", 20e-6}, {"1 us lag", 1e-6}, {"no lag", 0.0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CPwrQuorraDoc doc;
        doc.OnNewDocument();
        BuildClosedLoopVoltageMode(doc);
        FeedTheModulator(doc, 50.0, 25.0, c.lag);
        ExpectStartAtOperatingPoint(doc);
    }
}

// A power transformer whose core saturates within the on-time (200 uH to 50 uH from the knee
// to twice the knee) starts at its operating point too: the two-switch forward's magnetising
// current rises past 0.6 A to about 1 A from the 0 the reset leaves; the active clamp's swings
// between about ±0.75 A, into the saturation on both sides, with the clamp capacitor holding it.
TEST(SteadyStartSaturatingTransformer, EveryResetStartsAtItsOperatingPoint) {
    const struct {
        const char* name;
        void (*build)(CPwrQuorraDoc&);
        double knee;
    } cases[] = {{"two switch", &BuildFirstConfiguration, 0.3}, {"active clamp", &BuildActiveClamp, 0.1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CPwrQuorraDoc doc;
        doc.OnNewDocument();
        c.build(doc);
        SaturateTransformerCore(doc, c.knee);
        ExpectStartAtOperatingPoint(doc);
    }
}

// A skim inductor beside a choke that saturates onto its 40 uH plateau: the estimate follows
// the branch's flux (the plateau's and the skim's together) back from the valley.
TEST(SteadyStartSkim, BesideASaturatingChoke) {
    CPwrQuorraDoc doc;
    doc.OnNewDocument();
    BuildSkimChoke(doc);
    SetPlateauChoke(doc, true);
    ExpectStartAtOperatingPoint(doc);
}

}  // namespace
