// The line sources of a step: the sine advanced over the step, and the transient tables,
// which play only in a run from the steady state (a turn-on run keeps the design's line).
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <numbers>

#include "analysis/context/AnalContext.h"
#include "analysis/timedomain/AnalLine.h"
#include "platform/core/ReportSink.h"
#include "records/Utils.h"
#include "support/FirstConfigRecords.h"

namespace {

using test_support::FirstConfigRecords;

// A 48 V DC line that drops out for a millisecond (the offset table: 0 until 1 ms, -48 V from
// 1.001 ms to 2 ms, back to 0 at 2.001 ms), and a 10 V, 50 Hz sine on top.
struct LineRun {
    FirstConfigRecords rec;
    AnalysisThreadParams block;
    TimeMagnitudeTable101 offset;
    std::unique_ptr<AnalysisRun> run;
    AnalysisContext* ctx = nullptr;

    explicit LineRun(int32_t kind) {
        rec.settings.analysisKind = kind;
        rec.line.lineOffset = 48.0;
        rec.line.lineMagnitude = 10.0;
        rec.line.lineFrequency = 50.0;
        offset.Insert(1e-3, 0.0);
        offset.Insert(1.001e-3, -48.0);
        offset.Insert(2e-3, -48.0);
        offset.Insert(2.001e-3, 0.0);
        rec.Attach(block);
        block.pTable101[kTable101BlockIndex[kLineOffsetTable]] = &offset;
        run = std::make_unique<AnalysisRun>(block);
        ctx = run->Context();
        ctx->linePhase[0].phase = 0.0;
        ctx->stepState.settling = 0;  // the run itself, after any settling
    }

    // One step of h ending at t.
    double StepTo(double t, double h) {
        StepStateRec& step = ctx->stepState;
        step.time = t;
        step.inverseTimeStepTermA = h;
        EXPECT_EQ(CalcLineSourceQuantities(), 1);
        ++step.stepCount;
        return ctx->linePhase[0].lineVoltage;
    }
};

TEST(LineSource, SineAdvancesOverTheStepAndTablesPlayFromTheSteadyState) {
    fw::RecordingSink sink;
    fw::ScopedReportSink scoped(&sink);
    struct Case {
        int32_t kind;
        int32_t settling;  // the steady state's search and settling before the run
        double during;     // the offset's contribution inside the drop-out
    };
    for (const Case c : {Case{1, 0, -48.0}, Case{1, 1, 0.0}, Case{0, 0, 0.0}}) {
        SCOPED_TRACE(c.kind);
        SCOPED_TRACE(c.settling);
        LineRun r(c.kind);
        r.ctx->stepState.settling = c.settling;
        const double h = 1e-4;
        double t = 0.0;
        for (int k = 0; k < 40; ++k) {
            t += h;
            const double v = r.StepTo(t, h);
            // The sine at the step's end (the phase starts at 0 with the run).
            const double sine = 10.0 * std::sin(2.0 * std::numbers::pi * 50.0 * t);
            const double table = t > 1.0005e-3 && t < 2.0005e-3 ? c.during : 0.0;
            EXPECT_NEAR(v, 48.0 + sine + table, 1e-9) << t;
        }
    }
}

}  // namespace
