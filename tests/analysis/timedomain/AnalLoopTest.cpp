// The steady-state start on a live context: the initialisation loop's results (turn-on,
// found, quit, limit with its fallback), the quick settling run, the run clock's reset and
// the phasing of the periodic sources.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <numbers>

#include "analysis/context/AnalContext.h"
#include "analysis/timedomain/AnalCaps.h"
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
    rec_.settings.loggingOn = 1;  // every member checks its arithmetic: none may fault
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

// The frame's spinner shows the search: progress 998 (settling) before the run's percentages.
TEST_F(SteadyLoop, SearchPostsItsSettlingProgress) {
    block_.hNotifyWnd = 1;
    rec_.settings.endTime = 2e-5;
    AnalysisContext& ctx = Start();
    ctx.pSettings->endTime = 2e-5;
    ASSERT_EQ(RunTimeDomainAnalysis(), 1);
    ASSERT_GE(sink_.posts.size(), 3u);
    EXPECT_EQ(sink_.posts[0].wParam, 1000);  // start
    EXPECT_EQ(sink_.posts[1].wParam, 998);   // settling
    EXPECT_EQ(sink_.posts.back().wParam, 100);
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

// Output voltage averaged over the steps from `from` on, for a run of the fixture's records.
double AverageOutput(const AnalysisContext& ctx, double from, double* area, double* span) {
    const double h = ctx.stepState.inverseTimeStepTermA;
    if (ctx.stepState.time > from) {
        *area += ctx.outputFilter[0].outputVoltage * h;
        *span += h;
    }
    return *span > 0.0 ? *area / *span : 0.0;
}

// At 100 ohm the choke runs dry every period (its 0.86 A ripple against 0.2 A of load): the
// capacitor voltage is the one state, and the first period of the precise start averages what
// a turn-on run settles to. The converter feeds the capacitor like a power source, so the
// output settles with R·C/2 = 5 ms; 30 ms leave it within e^-6 of its final value.
TEST_F(SteadyLoop, DryChokeStartsAtTheSettledVoltage) {
    double settled = 0.0, first = 0.0;
    for (int kind = 0; kind < 2; ++kind) {
        rec_.load.resistance = 100.0;
        rec_.load.outputVoltage = 19.7;
        AnalysisContext& ctx = Start();
        ctx.pSettings->analysisKind = kind;
        ctx.pSettings->endTime = kind == 0 ? 30e-3 : 1e-5;
        double area = 0.0, span = 0.0, average = 0.0;
        const double from = kind == 0 ? 27e-3 : 0.0;
        SetTimeStepObserver([&](const AnalysisContext& c) { average = AverageOutput(c, from, &area, &span); });
        EXPECT_EQ(RunTimeDomainAnalysis(), 1);
        SetTimeStepObserver(nullptr);
        EXPECT_EQ(block_.runStatus, 1);
        if (kind == 1) {
            EXPECT_EQ(ctx.outputChoke[0].continuousConduction, 0);  // the estimate saw it run dry
        }
        (kind == 0 ? settled : first) = average;
        run_.reset();
    }
    EXPECT_NEAR(first, settled, 0.005 * settled);
}

// A second output of 5 turns (50 uH, coupled 0.99 to the first) at 5 V into 2.5 ohm, outside
// the feedback: each output's filter settles on its own, and the first period of the precise
// start averages, output by output, what a 20 ms turn-on run settles to (both filters have
// Q = 5 or less and settle within 3 ms).
TEST_F(SteadyLoop, EveryOutputStartsAtItsSettledPoint) {
    SecondaryRectifierInputRec rect = rec_.rectifier;
    OutputChokeInputRec choke = rec_.choke;
    OutputFilterInputRec filter = rec_.filter;
    LoadNetworkInputRec load = rec_.load;
    rect.windingTurns = 5.0;
    rect.nominalWindingInductance = 50e-6;
    filter.secondaryTurns = 5.0;
    filter.outputNumber = 2;
    load.resistance = 2.5;
    load.outputVoltage = 5.0;
    load.rippleWeight = 0.0;
    rec_.primary.couplingPriSec2 = std::sqrt(0.99);
    rec_.primary.couplingSec1Sec2 = 0.99;
    rec_.settings.outputCount = 2;
    double vout[2][2] = {}, il[2][2] = {};  // [kind][output]
    for (int kind = 0; kind < 2; ++kind) {
        block_.pSecondaryRectifierInput[1] = &rect;
        block_.pOutputChokeInput[1] = &choke;
        block_.pOutputFilterInput[1] = &filter;
        block_.pLoadNetworkInput[1] = &load;
        AnalysisContext& ctx = Start();
        ctx.pSettings->analysisKind = kind;
        ctx.pSettings->endTime = kind == 0 ? 20e-3 : 1e-5;
        const double from = kind == 0 ? 18e-3 : 0.0;
        double span = 0.0;
        SetTimeStepObserver([&](const AnalysisContext& c) {
            const double h = c.stepState.inverseTimeStepTermA;
            if (c.stepState.time <= from) return;
            span += h;
            for (int j = 0; j < 2; ++j) {
                vout[kind][j] += c.outputFilter[j].outputVoltage * h;
                il[kind][j] += c.outputChoke[j].chokeCurrent * h;
            }
        });
        EXPECT_EQ(RunTimeDomainAnalysis(), 1);
        SetTimeStepObserver(nullptr);
        EXPECT_EQ(block_.runStatus, 1);
        for (int j = 0; j < 2; ++j) {
            vout[kind][j] /= span;
            il[kind][j] /= span;
        }
        run_.reset();
    }
    for (int j = 0; j < 2; ++j) {
        SCOPED_TRACE(j + 1);
        EXPECT_NEAR(vout[1][j], vout[0][j], 0.005 * vout[0][j]);
        EXPECT_NEAR(il[1][j], il[0][j], 0.005 * il[0][j]);
    }
}

TEST_F(SteadyLoop, CorrectionFactorFollowsTheDrift) {
    struct Case {
        const char* name;
        double factor, previousError, start, end, tolerance;
        double newFactor;
        bool clears;
    };
    const Case cases[] = {
        {"drift grew: halved", 0.9, 1.0, 0.0, 2.0, 0.01, 0.45, true},
        {"sign changed, shrank by less than half: halved", 0.9, 1.0, 0.0, -0.8, 0.01, 0.45, true},
        {"sign changed, shrank by half or more: kept", 0.9, 1.0, 0.0, -0.4, 0.01, 0.9, true},
        {"same sign, shrank by less than a tenth: grows", 0.5, 1.0, 0.0, 0.95, 0.01, 0.75, true},
        {"same sign, slow, factor at 0.6: kept", 0.6, 1.0, 0.0, 0.95, 0.01, 0.6, true},
        {"same sign, shrank fast: kept", 0.5, 1.0, 0.0, 0.5, 0.01, 0.5, true},
        {"within the tolerance", 0.5, 1.0, 0.0, 0.005, 0.01, 0.5, false},
        {"tolerance raised to 0.001", 0.5, 1.0, 0.0, 0.0008, 1e-6, 0.5, false},
        {"factor spent", 0.0008, 1.0, 0.0, 0.5, 0.01, 0.0008, false},
    };
    Start();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        IterationVar v;
        v.factor = c.factor;
        v.error = c.previousError;
        v.sign = c.previousError > 0.0;
        int32_t converged = 1;
        double value = 10.0;
        ASSERT_EQ(CorrectQuantity(v, &converged, &value, c.start, c.end, c.tolerance, 5009), 1);
        EXPECT_DOUBLE_EQ(v.factor, c.newFactor);
        EXPECT_DOUBLE_EQ(value, 10.0 + c.newFactor * (c.end - c.start));
        EXPECT_EQ(converged == 0, c.clears);
        EXPECT_EQ(v.previousError, c.previousError);
    }
}

// A steady-state run is refused, before it starts, for a design whose sections the
// operating-point estimate does not set.
TEST(SteadyCapability, SectionsWithoutAnEstimateAreRefused) {
    struct Case {
        const char* name;
        void (*change)(FirstConfigRecords&);
        bool refused;
    };
    const Case cases[] = {
        {"the smallest converter", [](FirstConfigRecords&) {}, false},
        {"skim inductor", [](FirstConfigRecords& r) { r.choke.skimWindingOn = 1; }, false},
        // 400 Hz repeats every 250 periods; 60 Hz over three line periods (5000); 61 Hz runs
        // moved to 61.0128 Hz (1639 in one period); 4 Hz needs 25000.
        {"AC line over whole periods",
         [](FirstConfigRecords& r) {
             r.line.lineMagnitude = 10.0;
             r.line.lineFrequency = 400.0;
         },
         false},
        {"AC line in a frequency sweep",
         [](FirstConfigRecords& r) {
             r.settings.analysisKind = 2;
             r.line.lineMagnitude = 10.0;
             r.line.lineFrequency = 400.0;
         },
         false},
        {"AC line over three of its periods",
         [](FirstConfigRecords& r) {
             r.line.lineMagnitude = 10.0;
             r.line.lineFrequency = 60.0;
         },
         false},
        {"AC line over no whole number of periods, moved",
         [](FirstConfigRecords& r) {
             r.line.lineMagnitude = 10.0;
             r.line.lineFrequency = 61.0;
         },
         false},
        {"AC line too slow for the search",
         [](FirstConfigRecords& r) {
             r.line.lineMagnitude = 10.0;
             r.line.lineFrequency = 4.0;
         },
         true},
        // 5 kHz repeats every 20 switching periods of 10 us, 3 kHz every 100 (three of its
        // periods); 3.1 kHz runs moved by 0.025 % (129 over four); 17 kHz is 0.11 % off at best.
        {"load sine over whole periods",
         [](FirstConfigRecords& r) {
             r.load.currentSourceOn = 1;
             r.load.sourceCurrent = 0.5;
             r.load.sourceSineAmplitude = 1.0;
             r.load.sourceFrequency = 5000.0;
         },
         false},
        {"load sine over three of its periods",
         [](FirstConfigRecords& r) {
             r.load.currentSourceOn = 1;
             r.load.sourceCurrent = 0.5;
             r.load.sourceSineAmplitude = 1.0;
             r.load.sourceFrequency = 3000.0;
         },
         false},
        {"load sine over no whole number of periods in ten of its own, moved",
         [](FirstConfigRecords& r) {
             r.load.currentSourceOn = 1;
             r.load.sourceCurrent = 0.5;
             r.load.sourceSineAmplitude = 1.0;
             r.load.sourceFrequency = 3100.0;
         },
         false},
        {"load sine too far from any whole number of periods",
         [](FirstConfigRecords& r) {
             r.load.currentSourceOn = 1;
             r.load.sourceCurrent = 0.5;
             r.load.sourceSineAmplitude = 1.0;
             r.load.sourceFrequency = 17000.0;
         },
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FirstConfigRecords rec;
        rec.settings.analysisKind = 1;
        c.change(rec);
        AnalysisThreadParams block;
        rec.Attach(block);
        const EngineRefusal refusal = CheckTimeDomainCapability(block);
        EXPECT_EQ(refusal.messageId != 0, c.refused);
        if (c.refused) {
            EXPECT_NE(EngineRefusalText(refusal).find("do not come back to their start together"), std::string::npos);
        }
    }
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
