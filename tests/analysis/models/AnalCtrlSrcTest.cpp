#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <limits>
#include <numbers>
#include <sstream>
#include <string>
#include <unistd.h>

#include "analysis/context/AnalContext.h"
#include "analysis/models/AnalCtrlSrc.h"
#include "platform/core/ReportSink.h"
#include "records/Utils.h"

namespace {

constexpr double kUntouched = -7.0;  // an out-value the source must not have written

// A live run (analysis kind 1, past the settling run) with a recording sink and a log.
class Sources : public ::testing::Test {
protected:
    void SetUp() override {
        settings_.analysisKind = 1;
        settings_.loggingOn = 0;
        block_.pSettings = &settings_;
        block_.pTable101[0] = &docTable_;  // the block's first table: the opto reference
        run_ = std::make_unique<AnalysisRun>(block_);
        ASSERT_EQ(run_->GetStatus(), AnalysisRun::Status::kLive);
        ctx_ = run_->Context();
        ctx_->stepState.settling = 0;

        // One log per process: ctest runs these cases side by side.
        logPath_ = ::testing::TempDir() + "/PwrQuorra_sources_" + std::to_string(::getpid()) + ".log";
        std::remove(logPath_.c_str());
        SetLogPath(logPath_);
        ResetLogStarted();
        ResetFirstMessageFlag();
        SetLoggingQuery([] { return true; });
        std::feclearexcept(FE_ALL_EXCEPT);
    }
    void TearDown() override {
        SetLoggingQuery(nullptr);
        std::remove(logPath_.c_str());
    }
    std::string Log() {
        std::ifstream f(logPath_, std::ios::binary);
        std::stringstream ss;
        ss << f.rdbuf();
        return ss.str();
    }

    // (0 s, 0 V), (1 ms, 1 V), (2 ms, 3 V), (3 ms, 6 V)
    static TimeMagnitudeTable101 Ramp() {
        TimeMagnitudeTable101 t;
        t.Insert(1e-3, 1.0);
        t.Insert(2e-3, 3.0);
        t.Insert(3e-3, 6.0);
        return t;
    }

    // Evaluates `table` at time t with amplitude 0 and offset 0.
    int32_t Eval(TimeMagnitudeTable101& table, double t, double* value, double* slope, int32_t* active) {
        ctx_->stepState.time = t;
        return EvalPwlAcSource(&table, &table.cursor, value, slope, active, 0.0, 0.0, 0.0);
    }

    AnalysisSettingsRec settings_;
    TimeMagnitudeTable101 docTable_;
    AnalysisThreadParams block_;
    std::unique_ptr<AnalysisRun> run_;
    AnalysisContext* ctx_ = nullptr;
    fw::RecordingSink sink_;
    fw::ScopedReportSink scoped_{&sink_};
    std::string logPath_;
};

}  // namespace

TEST_F(Sources, InsideTheTableInterpolatesWithTheSegmentSlope) {
    TimeMagnitudeTable101 t;
    t.Insert(1e-3, 1.0);
    double value = kUntouched, slope = kUntouched;
    int32_t active = 1;
    ASSERT_EQ(Eval(t, 0.5e-3, &value, &slope, &active), 1);
    EXPECT_DOUBLE_EQ(value, 0.5);
    EXPECT_DOUBLE_EQ(slope, 1000.0);
    EXPECT_EQ(active, 1);
    EXPECT_EQ(t.cursor, 1);
}

TEST_F(Sources, AtTheFirstPointTheSourceHoldsItsMagnitude) {
    TimeMagnitudeTable101 t = Ramp();
    t.Insert(0.0, 2.0);
    double value = kUntouched, slope = kUntouched;
    int32_t active = 1;
    ASSERT_EQ(Eval(t, 0.0, &value, &slope, &active), 1);
    EXPECT_EQ(value, 2.0);
    EXPECT_EQ(slope, kUntouched);  // no segment interpolated
    EXPECT_EQ(t.cursor, 0);
    EXPECT_EQ(active, 1);
}

TEST_F(Sources, AfterTheLastPointTheSourceKeepsTheLastMagnitude) {
    TimeMagnitudeTable101 t = Ramp();
    double value = 0.0, slope = 0.0;
    int32_t active = 1;
    const double times[] = {0.5e-3, 1.5e-3, 2.5e-3, 2.9e-3};
    for (double time : times) ASSERT_EQ(Eval(t, time, &value, &slope, &active), 1);
    EXPECT_EQ(t.cursor, 3);
    EXPECT_DOUBLE_EQ(value, 5.7);  // still on the last segment
    EXPECT_EQ(active, 1);
    ASSERT_EQ(Eval(t, 4e-3, &value, &slope, &active), 1);
    EXPECT_EQ(value, 6.0);
    EXPECT_EQ(active, 0);  // constant from now on: the caller stops evaluating it
}

TEST_F(Sources, AStepPastSeveralPointsMovesOnePointAndExtrapolates) {
    TimeMagnitudeTable101 t = Ramp();
    double value = 0.0, slope = 0.0;
    int32_t active = 1;
    ASSERT_EQ(Eval(t, 3.5e-3, &value, &slope, &active), 1);
    EXPECT_EQ(t.cursor, 1);
    EXPECT_DOUBLE_EQ(value, 3.5);  // along the first segment
    EXPECT_DOUBLE_EQ(slope, 1000.0);
}

TEST_F(Sources, EmptyAndOnePointTables) {
    TimeMagnitudeTable101 empty;
    empty.count = 0;
    ctx_->stepState.time = 1e-3;
    double value = kUntouched, slope = kUntouched;
    int32_t active = 1;
    ASSERT_EQ(EvalPwlAcSource(&empty, &empty.cursor, &value, &slope, &active, 0.0, 2.5, 0.0), 1);
    EXPECT_EQ(value, 2.5);  // the offset alone
    EXPECT_EQ(active, 0);

    TimeMagnitudeTable101 one;
    one.points[0] = {2e-3, 4.0};
    for (double t : {0.0, 1e-3, 5e-3}) {
        active = 1;
        ASSERT_EQ(Eval(one, t, &value, &slope, &active), 1);
        EXPECT_EQ(value, 4.0) << t;
        EXPECT_EQ(active, 0);
    }
    EXPECT_EQ(slope, kUntouched);
}

TEST_F(Sources, AcSourceWithPhaseStaysActive) {
    TimeMagnitudeTable101 t = Ramp();
    ctx_->stepState.time = 4e-3;
    t.cursor = 3;
    double value = 0.0, slope = 0.0;
    int32_t active = 0;
    ASSERT_EQ(EvalPwlAcSource(&t, &t.cursor, &value, &slope, &active, 2.0, 1.0, std::numbers::pi / 6.0), 1);
    EXPECT_DOUBLE_EQ(value, 2.0 * 0.5 + 1.0 + 6.0);
    EXPECT_EQ(active, 1);
}

TEST_F(Sources, TableIsSilentWhileSettlingOrOutsideTheSteadyStateRun) {
    TimeMagnitudeTable101 t = Ramp();
    double value = 0.0, slope = kUntouched;
    int32_t active = 1;

    ctx_->stepState.settling = 1;
    ctx_->stepState.time = 1.5e-3;
    ASSERT_EQ(EvalPwlAcSource(&t, &t.cursor, &value, &slope, &active, 0.0, 0.25, 0.0), 1);
    EXPECT_EQ(value, 0.25);
    EXPECT_EQ(active, 1);
    EXPECT_EQ(t.cursor, 0);

    ctx_->stepState.settling = 0;
    ctx_->pSettings->analysisKind = 2;
    ASSERT_EQ(EvalPwlAcSource(&t, &t.cursor, &value, &slope, &active, 0.0, 0.25, 0.0), 1);
    EXPECT_EQ(value, 0.25);
    EXPECT_EQ(active, 1);
    EXPECT_EQ(t.cursor, 0);
    EXPECT_EQ(slope, kUntouched);
}

TEST_F(Sources, LookupNeverLeavesThePointsInUse) {
    TimeMagnitudeTable101 t = Ramp();
    t.points[4] = {10e-3, 1e6};  // beyond the count: must never be read
    double value = 0.0, slope = 0.0;
    int32_t active = 1;
    t.cursor = 50;  // a cursor beyond the last point stands on the last point
    ASSERT_EQ(Eval(t, 9e-3, &value, &slope, &active), 1);
    EXPECT_EQ(value, 6.0);
    EXPECT_EQ(t.cursor, 3);
    t.cursor = -3;  // and one before the first on the first
    ASSERT_EQ(Eval(t, 0.5e-3, &value, &slope, &active), 1);
    EXPECT_DOUBLE_EQ(value, 0.5);
    EXPECT_EQ(t.cursor, 1);
    t.count = 1000;  // a damaged count reads at most the table's 101 points
    t.cursor = 0;
    EXPECT_EQ(Eval(t, 0.5e-3, &value, &slope, &active), 1);
}

TEST_F(Sources, SecondRunStartsFromTheFirstSegment) {
    docTable_ = Ramp();
    ctx_->TakeRunInputs();  // the run starts after the document has filled its tables
    double value = 0.0, slope = 0.0;
    int32_t active = 1;
    TimeMagnitudeTable101& opto = *ctx_->pTable101[kOptoReferenceTable];
    for (double t : {0.5e-3, 1.5e-3, 2.5e-3, 3.5e-3}) {
        ctx_->stepState.time = t;
        ASSERT_EQ(EvalPwlAcSource(&opto, &opto.cursor, &value, &slope, &active, 0.0, 0.0, 0.0), 1);
    }
    EXPECT_EQ(opto.cursor, 3);
    EXPECT_EQ(value, 6.0);
    run_.reset();
    EXPECT_EQ(docTable_.cursor, 0);  // the document's table never moved

    AnalysisRun next(block_);
    AnalysisContext& ctx = *next.Context();
    ctx.stepState.settling = 0;
    ctx.stepState.time = 0.5e-3;
    TimeMagnitudeTable101& again = *ctx.pTable101[kOptoReferenceTable];
    EXPECT_EQ(again.cursor, 0);
    active = 1;
    ASSERT_EQ(EvalPwlAcSource(&again, &again.cursor, &value, &slope, &active, 0.0, 0.0, 0.0), 1);
    EXPECT_DOUBLE_EQ(value, 0.5);
}

TEST_F(Sources, FloatingPointFaultWithLoggingFailsAndReportsOnce) {
    ctx_->pSettings->loggingOn = 1;
    TimeMagnitudeTable101 t = Ramp();
    double value = 0.0, slope = 0.0;
    int32_t active = 1;
    ctx_->stepState.time = 0.5e-3;
    const double inf = std::numeric_limits<double>::infinity();
    EXPECT_EQ(EvalPwlAcSource(&t, &t.cursor, &value, &slope, &active, 1.0, 0.0, inf), 0);  // sin(inf)
    EXPECT_EQ(EvalPwlAcSource(&t, &t.cursor, &value, &slope, &active, 1.0, 0.0, inf), 0);
    ASSERT_EQ(sink_.boxes.size(), 1u);
    EXPECT_EQ(sink_.boxes[0], "Problem:  Failure calculating piece wise linear or AC quantities.");
    EXPECT_NE(Log().find("AnalCtrl:  CODE 5700"), std::string::npos);

    // Without logging the same fault is not looked for.
    ctx_->pSettings->loggingOn = 0;
    EXPECT_EQ(EvalPwlAcSource(&t, &t.cursor, &value, &slope, &active, 1.0, 0.0, inf), 1);
}

TEST_F(Sources, InterpolateTableAlone) {
    TimeMagnitudeTable101 t = Ramp();
    double value = kUntouched;
    int32_t active = 1;

    ctx_->pSettings->analysisKind = 0;  // tables apply only to the steady-state time-domain run
    ctx_->stepState.time = 0.5e-3;
    ASSERT_EQ(InterpolateTimeMagnitudeTable(&t, &t.cursor, &value, &active), 1);
    EXPECT_EQ(value, kUntouched);
    EXPECT_EQ(active, 0);

    ctx_->pSettings->analysisKind = 1;
    active = 1;
    ASSERT_EQ(InterpolateTimeMagnitudeTable(&t, &t.cursor, &value, &active), 1);
    EXPECT_DOUBLE_EQ(value, 0.5);
    EXPECT_EQ(active, 1);
    for (double time : {1.5e-3, 2.5e-3}) {
        ctx_->stepState.time = time;
        ASSERT_EQ(InterpolateTimeMagnitudeTable(&t, &t.cursor, &value, &active), 1);
    }
    EXPECT_EQ(t.cursor, 3);
    EXPECT_EQ(active, 1);
    ctx_->stepState.time = 2.6e-3;
    ASSERT_EQ(InterpolateTimeMagnitudeTable(&t, &t.cursor, &value, &active), 1);
    EXPECT_DOUBLE_EQ(value, 4.8);  // the last segment ramps on to its end
    EXPECT_EQ(active, 1);
    ctx_->stepState.time = 2.9e-3;
    ASSERT_EQ(InterpolateTimeMagnitudeTable(&t, &t.cursor, &value, &active), 1);
    EXPECT_DOUBLE_EQ(value, 5.7);
    EXPECT_EQ(active, 1);
    ctx_->stepState.time = 3.1e-3;
    ASSERT_EQ(InterpolateTimeMagnitudeTable(&t, &t.cursor, &value, &active), 1);
    EXPECT_DOUBLE_EQ(value, 6.0);  // past the last point: its magnitude, and done
    EXPECT_EQ(active, 0);

    TimeMagnitudeTable101 empty;
    empty.count = 0;
    value = kUntouched;
    active = 1;
    ASSERT_EQ(InterpolateTimeMagnitudeTable(&empty, &empty.cursor, &value, &active), 1);
    EXPECT_EQ(value, kUntouched);
    EXPECT_EQ(active, 0);
}

TEST_F(Sources, InterpolateFaultWithLoggingIsLoggedWithoutABox) {
    ctx_->pSettings->loggingOn = 1;
    TimeMagnitudeTable101 t;
    t.points[0].magnitude = 1e308;
    t.Insert(1e-300, -1e308);  // a slope beyond the largest double
    ctx_->stepState.time = 0.5e-300;
    double value = 0.0;
    int32_t active = 1;
    EXPECT_EQ(InterpolateTimeMagnitudeTable(&t, &t.cursor, &value, &active), 0);
    EXPECT_TRUE(sink_.boxes.empty());
    EXPECT_NE(Log().find("AnalCtrl:  CODE 5751"), std::string::npos);
}
