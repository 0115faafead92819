// The steady-state start on a live context: the initialisation loop's results (turn-on,
// found, quit, limit with its fallback), the quick settling run, the run clock's reset and
// the phasing of the periodic sources.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <numbers>

#include "analysis/context/AnalContext.h"
#include "analysis/timedomain/AnalLoop.h"
#include "analysis/timedomain/AnalLpQk.h"
#include "analysis/timedomain/AnalTime.h"
#include "platform/core/Event.h"
#include "platform/core/ReportSink.h"
#include "records/Utils.h"
#include "support/FirstConfigRecords.h"

namespace {

using test_support::FirstConfigRecords;

constexpr char kLimitMessage[] = "The initialization iteration limit has been reached.";

class SteadyLoop : public ::testing::Test {
protected:
    AnalysisContext& Start() {
        rec_.settings.analysisKind = 1;
        rec_.settings.skipInitializationLoop = 0;
        rec_.filter.outputNumber = 1;
        rec_.Attach(block_);
        block_.hQuitEvent = &quit_;
        block_.runStatus = 1;
        run_ = std::make_unique<AnalysisRun>(block_);
        return *run_->Context();
    }
    void SetUp() override { ResetFirstMessageFlag(); }

    int Boxes(const char* text) const {
        int n = 0;
        for (const std::string& b : sink_.boxes) n += b.find(text) != std::string::npos;
        return n;
    }

    fw::RecordingSink sink_;
    fw::ScopedReportSink scoped_{&sink_};
    fw::Event quit_{true};
    FirstConfigRecords rec_;
    AnalysisThreadParams block_;
    std::unique_ptr<AnalysisRun> run_;
};

TEST_F(SteadyLoop, FoundPointStartsTheRunAtAPeriodStartWithTheClockReset) {
    AnalysisContext& ctx = Start();
    ASSERT_EQ(RunInitializationLoop(), 0);
    EXPECT_TRUE(sink_.boxes.empty());
    EXPECT_EQ(ctx.stepState.settling, 0);
    EXPECT_EQ(ctx.stepState.time, 0.0);
    EXPECT_EQ(ctx.stepState.stepCount, 0);
    EXPECT_EQ(ctx.stepState.cycleTime, 0.0);
    EXPECT_EQ(ctx.control.clockVoltage, rec_.control.clockUpperLimit);
    EXPECT_EQ(block_.runStatus, 1);
}

TEST_F(SteadyLoop, TurnOnReturnsAfterItsStartingValues) {
    rec_.settings.analysisKind = 0;
    AnalysisContext& ctx = Start();
    ctx.pSettings->analysisKind = 0;
    ASSERT_EQ(RunInitializationLoop(), 0);
    EXPECT_EQ(ctx.stepState.stepCount, 0);
    EXPECT_EQ(ctx.stepState.settling, 1);
    EXPECT_EQ(ctx.outputFilter[0].capacitorVoltage, 0.0);
}

TEST_F(SteadyLoop, QuitDuringTheTrialsEndsQuietly) {
    Start();
    quit_.Set();
    EXPECT_EQ(RunInitializationLoop(), 2);
    EXPECT_EQ(block_.runStatus, 2);
    EXPECT_TRUE(sink_.boxes.empty());
}

// With a limit of one trial the offset search cannot compare two duties: the loop stops at
// its limit, says so, and the run goes on from the quick settling.
TEST_F(SteadyLoop, LimitFallsBackOnTheQuickSettling) {
    rec_.settings.initIterationLimit = 1;
    rec_.settings.endTime = 2e-5;
    AnalysisContext& ctx = Start();
    ctx.pSettings->endTime = 2e-5;
    EXPECT_EQ(RunTimeDomainAnalysis(), 1);
    EXPECT_EQ(block_.runStatus, 1);
    EXPECT_EQ(Boxes(kLimitMessage), 1);
    EXPECT_GE(ctx.stepState.time, 2e-5);
}

TEST_F(SteadyLoop, QuickSettlingRunsWholePeriodsThenResetsTheClock) {
    rec_.settings.stabilisationCycles = 3;
    AnalysisContext& ctx = Start();
    ASSERT_EQ(RunQuickOperatingPoint(), 0);
    EXPECT_EQ(ctx.stepState.time, 0.0);
    EXPECT_EQ(ctx.stepState.stepCount, 0);
    EXPECT_EQ(ctx.stepState.settling, 0);
    EXPECT_EQ(ctx.stepState.cycleTime, 0.0);
}

TEST_F(SteadyLoop, QuitDuringTheSettlingEndsIt) {
    AnalysisContext& ctx = Start();
    quit_.Set();
    EXPECT_EQ(RunQuickOperatingPoint(), 2);
    EXPECT_EQ(block_.runStatus, 2);
    EXPECT_EQ(ctx.stepState.settling, 1);
}

// A clock that never restarts its period (its ramp takes seconds) ends both starts with a
// message after 100 periods' time instead of holding the run.
TEST_F(SteadyLoop, PeriodThatNeverEndsFailsBothStarts) {
    struct Case {
        const char* name;
        int32_t (*start)();
    };
    const Case cases[] = {{"loop", RunInitializationLoop}, {"settling", RunQuickOperatingPoint}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        rec_.control.clockSecondSlope = 1.0;  // V/s
        Start();
        sink_.Clear();
        ResetFirstMessageFlag();
        EXPECT_EQ(c.start(), 1);
        EXPECT_EQ(Boxes("No switching period ended while the steady state was sought."), 1);
        run_.reset();
    }
}

// Every cursor starts the run at the first point, the opto reference's included.
TEST_F(SteadyLoop, ClockResetRewindsEveryTableCursor) {
    AnalysisContext& ctx = Start();
    for (TimeMagnitudeTable101* t : ctx.pTable101) t->cursor = 3;
    for (TimeMagnitudeTable3* t : ctx.pTable3) t->cursor[2] = 3;
    for (TimeMagnitudeTable* t : ctx.pTable) t->cursor[0] = 3;
    ctx.stepState.time = 1e-3;
    ResetRunClock();
    for (TimeMagnitudeTable101* t : ctx.pTable101) EXPECT_EQ(t->cursor, 0);
    EXPECT_EQ(ctx.pTable101[kOptoReferenceTable]->cursor, 0);
    for (TimeMagnitudeTable3* t : ctx.pTable3) EXPECT_EQ(t->cursor[2], 0);
    for (TimeMagnitudeTable* t : ctx.pTable) EXPECT_EQ(t->cursor[0], 0);
    EXPECT_EQ(ctx.stepState.time, 0.0);
}

TEST(SourcePhase, PassesZeroAtTheGivenTime) {
    struct Case {
        double f, t, phase;
    };
    const double pi = std::numbers::pi;
    const Case cases[] = {
        {50.0, 0.0, 0.0},
        {50.0, 0.005, 1.5 * pi},  // -pi/2, wrapped
        {50.0, 0.02, 0.0},        // a whole cycle
        {0.0, 1.0, 0.0},          // DC
    };
    for (const Case& c : cases) {
        double phase = -1.0;
        EXPECT_EQ(SetInitialPhase(&phase, c.f, c.t), 1);
        // As an angle: a rounding may leave a whole turn as a hair below 2 pi.
        const double apart = std::fabs(phase - c.phase);
        EXPECT_NEAR(std::min(apart, 2.0 * pi - apart), 0.0, 1e-12) << c.f << " Hz at " << c.t;
        EXPECT_GE(phase, 0.0);
        EXPECT_LT(phase, 2.0 * pi);
    }
}

}  // namespace
