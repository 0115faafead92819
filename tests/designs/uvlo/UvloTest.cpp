// On a slowly charging bulk the lockout holds the references, the soft start and so the
// drive until the bulk reaches the turn-on level; then the loop starts and regulates.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <unistd.h>

#include "analysis/timedomain/AnalFigures.h"
#include "designs/AnalHeadless.h"
#include "circuit/Doc.h"
#include "analysis/context/AnalContext.h"
#include "designs/Designs.h"

namespace {

// The sanitizer build stops after the start (20 ms) and leaves the settling to the others.
#ifdef PQ_SANITIZE
constexpr double kCycles = 2000;
constexpr bool kSettles = false;
#else
constexpr double kCycles = 0;  // the design's own 80 ms
constexpr bool kSettles = true;
#endif

TEST(Uvlo, TheLoopStartsWhenTheBulkReachesTheTurnOnLevel) {
    std::string problem;
    std::unique_ptr<CPwrQuorraDoc> doc = OpenRegressionDesign("uvlo", &problem);
    ASSERT_TRUE(doc) << problem;
    CRunFigures fig(0.0);
    const HeadlessRun run = RunDesignHeadless(*doc, kCycles, &fig, nullptr);
    ASSERT_EQ(run.ran, 1) << run.problem;

    // Nothing loads the bulk before the drive starts: it charges from 48 V through the line's
    // 10 ohm (and 1 uH, negligible here), V(t) = 48·(1 - exp(-t/RC)), RC = 10 ohm·1 mF; it
    // passes the 30 V turn-on level at t = -RC·ln(1 - 30/48) = 9.81 ms.
    const double rc = 10.0 * 1e-3;
    const double tOn = -rc * std::log(1.0 - 30.0 / 48.0);
    EXPECT_NEAR(fig.ReferenceStartBulk(), 30.0, 0.005 * 30.0);
    EXPECT_NEAR(fig.ReferenceStartTime(), tOn, 0.01 * tOn);
    // The drive waits for the soft start, which charges only from then on.
    EXPECT_GE(fig.FirstDriveTime(), fig.ReferenceStartTime());
    // Then the loop regulates at its set point, 10 V (the closed-loop design).
    if (kSettles) {
        EXPECT_NEAR(fig.OutputAverage(), 10.0, 0.005 * 10.0);
    }
}

}  // namespace

namespace {

// The line falls slowly from a steady state: a steady-state run (the line's transient table
// plays only there), the line's resistance back at the first configuration's 0.1 ohm, and
// its DC value ramping from 48 V at 1 ms down by 4 V/ms. The lockout lets go of the
// references where the bulk falls to its turn-off level, 20 V; the drive ends with them.
TEST(Uvlo, TheLoopStopsWhenTheBulkFallsToTheTurnOffLevel) {
    std::string problem;
    std::unique_ptr<CPwrQuorraDoc> doc = OpenRegressionDesign("uvlo", &problem);
    ASSERT_TRUE(doc) << problem;
    doc->GetLineFilter()->GetLineResistance().m_dResistance = 0.1;
    CObArrayTimeMagnitude& table = doc->GetLineFilter()->GetLineVoltage().GetDCMagnitudeTable();
    table.DeleteAll();
    CObTimeMagnitude point;
    point.m_dTime = 1e-3;
    point.m_dMagnitude = 0.0;
    table.AddCopy(0, point);
    point.m_dTime = 11e-3;
    point.m_dMagnitude = -40.0;
    table.AddCopy(1, point);
    doc->GetAnalysisConfig()->SetAnalysisKind(CAnalysisConfig::KIND_STEADY_STATE);
    doc->GetAnalysisConfig()->m_dTime = 0.01;

    double stopTime = -1.0, stopBulk = -1.0, lastTurnOn = -1.0;
    int32_t restarts = 0, previous = -1;
    const HeadlessRun run = RunDesignHeadless(*doc, 0.0, nullptr, nullptr, [&](const AnalysisContext& ctx) {
        const int32_t running = ctx.control.referenceLockout ? 0 : 1;
        if (previous == 1 && running == 0 && stopTime < 0.0) {
            stopTime = ctx.stepState.time;
            stopBulk = ctx.inputCapacitor.inputVoltage;
        }
        if (previous == 0 && running == 1 && stopTime >= 0.0) ++restarts;
        previous = running;
        if (ctx.stepState.driveOn && !ctx.stepState.driveOnPrevious) lastTurnOn = ctx.stepState.time;
    });
    ASSERT_EQ(run.ran, 1) << run.problem;

    // The bulk follows the line through its 0.1 ohm: C·dVb/dt = (Vline - Vb)/R - Iconv, so while
    // the line falls at 4 V/ms the 1 mF bulk gives 4 A back to it, Vb = Vline + R·(4 A - Iconv).
    // It reaches 20 V when the line stands at 19.6 V + R·Iconv, at
    //   t = 1 ms + (48 - 19.6) V / 4 V/ms = 8.1 ms,
    // earlier by R·Iconv/(4 V/ms) = 25 us for each ampere the converter still draws then (its
    // 20 W output needs about 1 A at 20 V; by then it has fallen out of regulation).
    const double tOff = 1e-3 + (48.0 - 19.6) / 4000.0;
    ASSERT_GT(stopTime, 0.0);
    EXPECT_LE(stopTime, tOff);
    EXPECT_GE(stopTime, tOff - 1.0 * 25e-6);
    EXPECT_NEAR(stopBulk, 20.0, 0.005 * 20.0);
    EXPECT_LE(stopBulk, 20.0);
    // No pulse after the references stop, and they do not start again on the falling line.
    EXPECT_LT(lastTurnOn, stopTime);
    EXPECT_EQ(restarts, 0);
}

}  // namespace
