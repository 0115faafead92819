#include <gtest/gtest.h>

#include <vector>

#include "analysis/context/AnalContext.h"
#include "analysis/context/RecordScan.h"

namespace {

// What the document holds for a run: the records and tables the block points to.
struct Document {
    AnalysisSettingsRec settings;
    LineSourceInputRec lineSource;
    PrimaryInputRec primary;
    ControlInputRec control;
    SecondaryRectifierInputRec secondaryRectifier[kMaxOutputs];
    OutputChokeInputRec outputChoke[kMaxOutputs];
    OutputFilterInputRec outputFilter[kMaxOutputs];
    LoadNetworkInputRec loadNetwork[kMaxOutputs];
    TimeMagnitudeTable101 table101[10];
    TimeMagnitudeTable3 table3[3];
    TimeMagnitudeTable table[30];
    char equation[4] = {};  // stands for the equation records: only their addresses travel
    fw::Event start{false}, busy{true, true}, quit{false}, finished{false};
    AnalysisThreadParams block;

    Document() {
        block.hStartEvent = &start;
        block.hBusyEvent = &busy;
        block.hQuitEvent = &quit;
        block.hFinishedEvent = &finished;
        block.pSettings = &settings;
        block.pLineSourceInput = &lineSource;
        block.pPrimaryInput = &primary;
        block.pControlInput = &control;
        for (int k = 0; k < kMaxOutputs; ++k) {
            outputFilter[k].Init(k + 1);
            block.pSecondaryRectifierInput[k] = &secondaryRectifier[k];
            block.pOutputChokeInput[k] = &outputChoke[k];
            block.pOutputFilterInput[k] = &outputFilter[k];
            block.pLoadNetworkInput[k] = &loadNetwork[k];
        }
        for (int i = 0; i < 10; ++i) block.pTable101[i] = &table101[i];
        for (int i = 0; i < 3; ++i) block.pTable3[i] = &table3[i];
        for (int i = 0; i < 30; ++i) block.pTable[i] = &table[i];
        for (int i = 0; i < 4; ++i) block.pEquation[i] = reinterpret_cast<const CEquation*>(&equation[i]);
    }
};

}  // namespace

TEST(AnalysisContext, FreshContextHoldsEveryPreset) {
    AnalysisThreadParams block;  // a document with nothing filled
    AnalysisRun run(block);
    ASSERT_EQ(run.GetStatus(), AnalysisRun::Status::kLive);
    AnalysisContext& ctx = *run.Context();

    EXPECT_EQ(CountNotSet(ctx.stepState), 12);
    EXPECT_EQ(ctx.stepState.time, 0.0);
    EXPECT_EQ(ctx.stepState.stepCount, 0);
    EXPECT_EQ(ctx.stepState.settling, 1);
    for (const LinePhaseStateRec& r : ctx.linePhase) EXPECT_EQ(CountNotSet(r), 43);
    EXPECT_EQ(CountNotSet(ctx.lineRectifier), 32);
    EXPECT_EQ(CountNotSet(ctx.inputCapacitor), 11);
    EXPECT_EQ(CountNotSet(ctx.primary), 96);
    EXPECT_EQ(ctx.primary.switchState, 0);
    for (int k = 0; k < kMaxOutputs; ++k) {
        EXPECT_EQ(CountNotSet(ctx.secondaryWinding[k]), 5);
        EXPECT_EQ(CountNotSet(ctx.secondaryRectifier[k]), 32 + 1);  // + rectifier 2 body diode
        EXPECT_EQ(CountNotSet(ctx.outputChoke[k]), 22);
        EXPECT_EQ(CountNotSet(ctx.outputFilter[k]), 66);
        EXPECT_EQ(CountNotSet(ctx.loadNetwork[k]), 29);
    }
    EXPECT_EQ(CountNotSet(ctx.control), 82);
    // Absent document records leave the run's copies at their presets.
    EXPECT_EQ(CountNotSet(*ctx.pSettings), 37);
    EXPECT_EQ(ctx.pSettings->analysisKind, 1);
    // Inventory plus the named additions, then the opto-isolator (14), current error
    // amplifier (4) and current ramp (6) parts.
    EXPECT_EQ(CountNotSet(*ctx.pControlInput), 60 + 10 + 14 + 4 + 6);
    EXPECT_EQ(ctx.pTable101[0]->count, 1);
    EXPECT_EQ(ctx.pEquation[0], nullptr);
}

TEST(AnalysisContext, PointsAtTheBlockAndItsEvents) {
    Document doc;
    AnalysisRun run(doc.block);
    AnalysisContext& ctx = *run.Context();
    EXPECT_EQ(ctx.pParams, &doc.block);
    doc.block.hNotifyWnd = 42;  // the document sets the window when it starts the run
    EXPECT_EQ(*ctx.pNotifyWnd, 42);
    EXPECT_EQ(ctx.pStartEvent, &doc.start);
    EXPECT_EQ(ctx.pBusyEvent, &doc.busy);
    EXPECT_EQ(ctx.pQuitEvent, &doc.quit);
    EXPECT_EQ(ctx.pFinishedEvent, &doc.finished);
    for (int i = 0; i < 4; ++i) EXPECT_EQ(ctx.pEquation[i], doc.block.pEquation[i]);
    EXPECT_EQ(ctx.stepState.settings, ctx.pSettings);
}

TEST(AnalysisContext, TablesFollowTheBlockOrderFiveSixOneToFourSevenToTen) {
    Document doc;
    for (int i = 0; i < 10; ++i) doc.table101[i].Insert(1e-3, i + 1);  // table n holds n
    for (int i = 0; i < 3; ++i) doc.table3[i].Insert(0.5, 100 + i);
    for (int i = 0; i < 30; ++i) doc.table[i].Insert(0.5, 200 + i);
    AnalysisRun run(doc.block);
    AnalysisContext& ctx = *run.Context();
    const double expected[10] = {5, 6, 1, 2, 3, 4, 7, 8, 9, 10};
    for (int i = 0; i < 10; ++i) EXPECT_EQ(ctx.pTable101[i]->points[1].magnitude, expected[i]) << i;
    EXPECT_EQ(ctx.pTable101[kOptoReferenceTable]->points[1].magnitude, 1.0);  // the block's first
    for (int i = 0; i < 3; ++i) EXPECT_EQ(ctx.pTable3[i]->points[0].magnitude, 100 + i);
    for (int i = 0; i < 30; ++i) EXPECT_EQ(ctx.pTable[i]->points[0].magnitude, 200 + i);
}

// Whatever a run changes (injected sources, a changed line frequency, the step-time index,
// table cursors) stays in its copies; the next run starts from the design as it is.
TEST(AnalysisContext, ARunNeverWritesTheDocument) {
    Document doc;
    doc.lineSource.lineFrequency = 50.0;
    doc.control.errorInjectionAmplitude = 0.2;
    doc.loadNetwork[2].sourceSineAmplitude = 1.5;
    doc.settings.stepSetupFlagB = 0;
    doc.table101[0].Insert(1e-3, 1.0);
    doc.table101[0].Insert(2e-3, 2.0);
    {
        AnalysisRun run(doc.block);
        AnalysisContext& ctx = *run.Context();
        EXPECT_EQ(ctx.pLineSourceInput->lineFrequency, 50.0);
        EXPECT_NE(ctx.pLineSourceInput, &doc.lineSource);
        ctx.pLineSourceInput->lineFrequency = 1234.0;
        ctx.pControlInput->errorInjectionAmplitude = 0.0;
        ctx.pLoadNetworkInput[2]->sourceSineAmplitude = 0.0;
        ctx.pSettings->stepSetupFlagB = 5;
        ctx.pTable101[2]->cursor = 2;
        ctx.pTable101[2]->Insert(3e-3, 9.0);
    }
    EXPECT_EQ(doc.lineSource.lineFrequency, 50.0);
    EXPECT_EQ(doc.control.errorInjectionAmplitude, 0.2);
    EXPECT_EQ(doc.loadNetwork[2].sourceSineAmplitude, 1.5);
    EXPECT_EQ(doc.settings.stepSetupFlagB, 0);
    EXPECT_EQ(doc.table101[0].cursor, 0);
    EXPECT_EQ(doc.table101[0].count, 3);

    AnalysisRun next(doc.block);
    AnalysisContext& ctx = *next.Context();
    EXPECT_EQ(ctx.pLineSourceInput->lineFrequency, 50.0);
    EXPECT_EQ(ctx.pSettings->stepSetupFlagB, 0);
    EXPECT_EQ(ctx.pTable101[2]->cursor, 0);
    EXPECT_EQ(ctx.pTable101[2]->count, 3);
}

TEST(AnalysisContext, EveryCursorStartsAtZeroWhenARunStarts) {
    Document doc;
    doc.table101[4].Insert(1e-3, 1.0);
    doc.table101[4].cursor = 1;  // left behind by whatever wrote the document's table
    doc.table3[1].cursor[2] = 5;
    doc.table[7].cursor[0] = 9;
    AnalysisRun run(doc.block);
    AnalysisContext& ctx = *run.Context();
    EXPECT_EQ(ctx.pTable101[kLineOffsetTable]->cursor, 0);
    EXPECT_EQ(ctx.pTable3[1]->cursor[2], 0);
    EXPECT_EQ(ctx.pTable[7]->cursor[0], 0);

    // Inputs taken again at the start of a run: the copies come back, cursors at 0.
    ctx.pTable101[kLineOffsetTable]->cursor = 1;
    ctx.pLineSourceInput->lineFrequency = 7.0;
    doc.lineSource.lineFrequency = 60.0;
    ctx.TakeRunInputs();
    EXPECT_EQ(ctx.pTable101[kLineOffsetTable]->cursor, 0);
    EXPECT_EQ(ctx.pLineSourceInput->lineFrequency, 60.0);
}

TEST(AnalysisContext, OneRunAtATime) {
    Document doc;
    auto first = std::make_unique<AnalysisRun>(doc.block);
    ASSERT_EQ(first->GetStatus(), AnalysisRun::Status::kLive);
    AnalysisContext* live = first->Context();
    EXPECT_EQ(GetAnalysisContext(), live);
    live->stepState.time = 1e-3;

    {
        AnalysisRun second(doc.block);  // must neither start nor free the live context
        EXPECT_EQ(second.GetStatus(), AnalysisRun::Status::kAnotherRunLive);
        EXPECT_EQ(second.Context(), nullptr);
        EXPECT_EQ(GetAnalysisContext(), live);
    }
    EXPECT_EQ(GetAnalysisContext(), live);
    EXPECT_EQ(live->stepState.time, 1e-3);

    first.reset();
    EXPECT_EQ(GetAnalysisContext(), nullptr);
    AnalysisRun third(doc.block);
    EXPECT_EQ(third.GetStatus(), AnalysisRun::Status::kLive);
    EXPECT_EQ(GetAnalysisContext(), third.Context());
}

TEST(AnalysisContext, LimiterInTheContextUsesTheRunsSettings) {
    Document doc;
    doc.settings.largeStepAttenuationLimit = 1e-7;
    doc.settings.largeStepAttenuationFactor = 0.5;
    doc.settings.smallStepAttenuationLimit = 3e-8;
    doc.settings.smallStepAttenuationFactor = 0.98;
    AnalysisRun run(doc.block);
    AnalysisContext& ctx = *run.Context();
    ctx.stepState.nextTimeStep = 1e-6;
    ctx.stepState.LimitTimeStep(4e-7, 1, 0);
    EXPECT_DOUBLE_EQ(ctx.stepState.nextTimeStep, 2e-7);
}
