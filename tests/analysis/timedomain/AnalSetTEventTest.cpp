// A known event that is already due (within the timer resolution) is not landed on: a step
// of rounding size would make every 1/h term of the assembly swamp the states.
#include <gtest/gtest.h>

#include <memory>

#include "analysis/context/AnalContext.h"
#include "analysis/models/AnalInit.h"
#include "analysis/timedomain/AnalABCP.h"
#include "analysis/timedomain/AnalSetT.h"
#include "platform/core/ReportSink.h"
#include "support/FirstConfigRecords.h"

namespace {

TEST(StepEvents, DueEventsAreNotLandedOn) {
    fw::RecordingSink sink;
    fw::ScopedReportSink scoped(&sink);
    test_support::FirstConfigRecords rec;
    AnalysisThreadParams block;
    rec.Attach(block);
    block.runStatus = 1;
    AnalysisRun run(block);
    AnalysisContext* ctx = run.Context();
    ASSERT_TRUE(ctx);
    ASSERT_EQ(InitializeAnalysis(), 1);
    ASSERT_EQ(PrepareStepEngine(), 1);
    StepStateRec& step = ctx->stepState;
    ControlStateRec& ctl = ctx->control;
    ctl.clockVoltage = 2.0;
    ctl.clockSlope = 1e3;
    ctl.pwmComparatorDifferential = -1.0;
    struct Row {
        double timer, expected;
    };
    // 1e-21 s: what is left of an edge after the run time's rounding.
    const Row rows[] = {{1e-21, 1e-7}, {4e-10, 1e-7}, {6e-10, 6e-10}, {3e-8, 3e-8}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.timer);
        ctx->engine.onEdgeTimer = r.timer;
        step.nextTimeStep = rec.settings.initialTimeStep;
        step.inverseTimeStepTermA = 1e-7;
        const double before = step.time;
        ASSERT_EQ(DetermineTimeStep(), 1);
        EXPECT_NEAR(step.time - before, r.expected, 1e-20);
    }
}

// A predicted crossing has no timer to fire it: the step must pass it, and one already within
// the resolution is passed with a step of the resolution, not a whole step late. The current
// limit's filtered sense rising to its threshold is such a crossing.
TEST(StepEvents, DueCrossingsArePassedWithAResolutionStep) {
    fw::RecordingSink sink;
    fw::ScopedReportSink scoped(&sink);
    test_support::FirstConfigRecords rec;
    rec.control.currentLimitEnabled = 1;
    rec.control.currentLimitThreshold = 1.0;
    AnalysisThreadParams block;
    rec.Attach(block);
    block.runStatus = 1;
    AnalysisRun run(block);
    AnalysisContext* ctx = run.Context();
    ASSERT_TRUE(ctx);
    ASSERT_EQ(InitializeAnalysis(), 1);
    ASSERT_EQ(PrepareStepEngine(), 1);
    StepStateRec& step = ctx->stepState;
    ControlStateRec& ctl = ctx->control;
    ctl.clockVoltage = 2.0;
    ctl.clockSlope = 1e3;
    ctl.pwmComparatorDifferential = -1.0;
    ctl.comparatorAux = 0.0;
    ctl.currentLimitFeedbackSlope = 1e6;  // V/s
    step.driveOn = 1;
    step.lastDriveEdgeTime = -1.0;  // the blanking long over
    struct Row {
        double crossing, expected;
    };
    const Row rows[] = {{1e-21, 5e-10}, {4e-10, 5e-10}, {6e-10, 6e-10}, {3e-8, 3e-8}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.crossing);
        ctl.currentLimitFeedback = 1.0 - r.crossing * ctl.currentLimitFeedbackSlope;
        step.nextTimeStep = rec.settings.initialTimeStep;
        step.inverseTimeStepTermA = 1e-7;
        const double before = step.time;
        ASSERT_EQ(DetermineTimeStep(), 1);
        EXPECT_NEAR(step.time - before, r.expected, 1e-20);
    }
}

// The PWM comparator's crossing is due now once within the resolution, like a timer: what is
// left of it after the step landed on it is rounding, and the drive ends without another step.
TEST(StepEvents, DueComparatorCrossingEndsThePulseAtOnce) {
    fw::RecordingSink sink;
    fw::ScopedReportSink scoped(&sink);
    test_support::FirstConfigRecords rec;
    AnalysisThreadParams block;
    rec.Attach(block);
    block.runStatus = 1;
    AnalysisRun run(block);
    AnalysisContext* ctx = run.Context();
    ASSERT_TRUE(ctx);
    ASSERT_EQ(InitializeAnalysis(), 1);
    ASSERT_EQ(PrepareStepEngine(), 1);
    StepStateRec& step = ctx->stepState;
    ControlStateRec& ctl = ctx->control;
    ctl.clockSlope = 1e5;  // V/s, rising towards the control voltage
    struct Row {
        double crossing;
        int32_t driveOn;
    };
    const Row rows[] = {{1e-21, 0}, {4e-10, 0}, {6e-10, 1}, {3e-8, 1}};
    for (const Row& r : rows) {
        SCOPED_TRACE(r.crossing);
        step.driveOn = 1;
        ctx->engine.pulseEnded = 0;  // each row a pulse of its own period
        step.lastDriveEdgeTime = step.time - 1.0;
        ctl.pwmComparatorDifferential = r.crossing * ctl.clockSlope;
        ASSERT_EQ(UpdateControlSectionState(), 1);
        EXPECT_EQ(step.driveOn, r.driveOn);
    }
}

}  // namespace
