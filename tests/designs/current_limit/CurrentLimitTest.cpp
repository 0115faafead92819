// Into an overload the current limit, not the voltage loop, ends every on-time: the peak
// primary current stays at the threshold and the output falls short of its set point.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

#include "analysis/context/AnalContext.h"
#include "analysis/timedomain/AnalFigures.h"
#include "designs/AnalHeadless.h"
#include "circuit/Doc.h"
#include "designs/Designs.h"

namespace {

TEST(CurrentLimit, HoldsThePeakPrimaryCurrentAtItsThresholdIntoAnOverload) {
    std::string problem;
    std::unique_ptr<CPwrQuorraDoc> doc = OpenRegressionDesign("current_limit", &problem);
    ASSERT_TRUE(doc) << problem;
    CRunFigures fig(0.0);
    const HeadlessRun run = RunDesignHeadless(*doc, 0.0, &fig, nullptr);
    ASSERT_EQ(run.ran, 1) << run.problem;

    // Threshold: IRef / (Rsense·gain) = 0.25 V / 0.1 ohm = 2.5 A. The switch opens only after
    // the filter's lag (10 ns) and the turn-off delay (SW1 turn-off delay + fall time + the
    // limit comparator's delay, 30 ns with the presets): 40 ns more of the on-time ramp. The
    // ramp is the reflected choke slope (E - Vo)/L with E = 47.7 V and Vo about 5 V, plus the
    // magnetising slope 48 V/200 uH: 0.43 + 0.24 = 0.67 A/us, so 0.027 A over the threshold.
    const double expected = 2.5 + 0.67e6 * 40e-9;
    EXPECT_NEAR(fig.PrimaryPeak(), expected, 0.02 * expected);
    // The load takes what the limited current gives: well short of the 10 V set point.
    EXPECT_LT(fig.OutputAverage(), 9.0);
}

// The same overload with the limit sensing the choke instead: Resistor Sense of 0.1 ohm in the
// choke, its amplifier's gain 1, the current limit network weighting output 1 by 100 %, so
// that each on-time ends when the choke current reaches IRef / (0.1 ohm·1) = 2.5 A, late by
// the same 40 ns of the choke's up-slope (E - Vo)/L = (47.7 V - 5 V)/100 uH = 0.43 A/us.
TEST(CurrentLimit, HoldsThePeakChokeCurrentAtItsThresholdWhenItSensesTheChoke) {
    std::string problem;
    std::unique_ptr<CPwrQuorraDoc> doc = OpenRegressionDesign("current_limit", &problem);
    ASSERT_TRUE(doc) << problem;
    doc->GetControlSection()->GetLimitCurrentSourceVISCL().m_iSensedCurrent = CCrntSensSource::SENSE_CHOKE;
    CCurrentLimitNetwork& cln = *doc->GetCurrentLimitNetwork();
    cln.m_bOutputEnable[0] = TRUE;
    cln.m_dOutputWeight[0] = 100.0;
    doc->GetOutputChoke1()->GetSenseResistor().m_dResistance = 0.1;
    doc->GetOutputChoke1()->GetSenseAmplifier().m_dVoltageGain = 1.0;
    doc->CheckAllSections();
    double peak = -1e300;
    const double from = FigureWindowStart(0.02);
    CRunFigures fig(from);
    const HeadlessRun run = RunDesignHeadless(*doc, 0.0, &fig, nullptr, [&peak, from](const AnalysisContext& ctx) {
        if (ctx.stepState.time > from) peak = std::max(peak, ctx.outputChoke[0].chokeCurrent);
    });
    ASSERT_EQ(run.ran, 1) << run.problem;
    const double expected = 2.5 + 0.43e6 * 40e-9;
    EXPECT_NEAR(peak, expected, 0.02 * expected);
    EXPECT_LT(fig.OutputAverage(), 9.0);
}

}  // namespace

// With Comparator PWM2 discharging the soft start, each trip of the limit (sense at or above
// both IRef and the discharge threshold) restarts the soft start from 0 V: the converter
// hiccups. After a restart no pulse comes until the soft start lifts the control voltage past
// the clock's 1 V floor, 1 V / (ISS/CSS = 303 V/s) = 3.3 ms, so restarts are at least that far
// apart. A discharge threshold the sense never reaches leaves the soft start alone.
TEST(CurrentLimit, SoftStartDischargeRestartsTheSoftStartOnEachTrip) {
    constexpr double kRate = 1e-5 / 33e-9;  // V/s
    for (const double threshold : {0.25, 10.0}) {
        SCOPED_TRACE(threshold);
        CPwrQuorraDoc doc;
        doc.OnNewDocument();
        BuildCurrentLimit(doc);
        CComparator& pwm2 = doc.GetControlSection()->GetComparator2();
        pwm2.m_nSoftStartDischarge = 1;
        pwm2.m_dSoftStartThreshold = threshold;
        std::vector<double> restarts;
        double previous = 0.0;
        auto observe = [&](const AnalysisContext& ctx) {
            const double v = ctx.control.softStartCapVoltage;
            // A trip that lasts several steps holds the soft start at 0 V through them: one restart.
            if (v < previous && previous > 1e-3) restarts.push_back(ctx.stepState.time);
            previous = v;
        };
        CRunFigures fig(0.0);
        const HeadlessRun run = RunDesignHeadless(doc, 0.0, &fig, nullptr, observe);
        ASSERT_EQ(run.ran, 1) << run.problem;
        if (threshold > 1.0) {
            EXPECT_TRUE(restarts.empty());
            continue;
        }
        ASSERT_GE(restarts.size(), 2u);
        for (size_t i = 1; i < restarts.size(); ++i)
            EXPECT_GE(restarts[i] - restarts[i - 1], 1.0 / kRate) << i;
        // Each trip ends its pulse at the threshold as before; the hiccup keeps the output low.
        EXPECT_LT(fig.PrimaryPeak(), 1.02 * (2.5 + 0.67e6 * 40e-9));
        EXPECT_LT(fig.OutputAverage(), 5.0);
    }
}
