#include <gtest/gtest.h>

#include <memory>
#include <variant>

#include "analysis/context/AnalVarTable.h"

namespace {

// How many instances a field's record kind has in the context.
struct InstanceLimit {
    int operator()(double LinePhaseStateRec::*) const { return kMaxLinePhases; }
    int operator()(double SecondaryWindingStateRec::*) const { return kMaxOutputs; }
    int operator()(double SecondaryRectifierStateRec::*) const { return kMaxOutputs; }
    int operator()(double OutputChokeStateRec::*) const { return kMaxOutputs; }
    int operator()(double OutputFilterStateRec::*) const { return kMaxOutputs; }
    int operator()(double LoadNetworkStateRec::*) const { return kMaxOutputs; }
    template <class F>
    int operator()(F) const { return 1; }
};

bool Inside(const void* p, const void* base, size_t size) {
    auto a = reinterpret_cast<uintptr_t>(p);
    auto b = reinterpret_cast<uintptr_t>(base);
    return a >= b && a + sizeof(double) <= b + size;
}

}  // namespace

TEST(WaveformBindings, EveryIdIsBoundExactlyOnceInIdOrder) {
    const WaveformBinding* rows = GetWaveformBindings();
    int seen[kWaveformVariableCount] = {};
    for (int i = 0; i < kWaveformVariableCount; ++i) {
        ASSERT_GE(rows[i].id, 0);
        ASSERT_LT(rows[i].id, kWaveformVariableCount);
        ++seen[rows[i].id];
        EXPECT_EQ(rows[i].id, i) << "the table must stay in id order";
        EXPECT_GE(rows[i].instance, 0);
        EXPECT_LT(rows[i].instance, std::visit(InstanceLimit{}, rows[i].field)) << "id " << rows[i].id;
    }
    for (int id = 0; id < kWaveformVariableCount; ++id) EXPECT_EQ(seen[id], 1) << "id " << id;
}

TEST(WaveformBindings, AddressesLieInTheRunsContext) {
    AnalysisThreadParams block;
    AnalysisRun run(block);
    AnalysisContext& ctx = *run.Context();
    for (int id = 0; id < kWaveformVariableCount; ++id) {
        double* p = GetWaveformAddress(ctx, id);
        ASSERT_NE(p, nullptr) << id;
        EXPECT_TRUE(Inside(p, &ctx, sizeof ctx)) << id;
    }
    EXPECT_EQ(GetWaveformAddress(ctx, -1), nullptr);
    EXPECT_EQ(GetWaveformAddress(ctx, kWaveformVariableCount), nullptr);
}

TEST(WaveformBindings, KnownPlaces) {
    AnalysisThreadParams block;
    AnalysisRun run(block);
    AnalysisContext& ctx = *run.Context();
    EXPECT_EQ(GetWaveformAddress(ctx, 0), &ctx.linePhase[0].firstStageCapacitorCurrent);
    EXPECT_EQ(GetWaveformAddress(ctx, 2), &ctx.linePhase[2].firstStageCapacitorCurrent);
    EXPECT_EQ(GetWaveformAddress(ctx, 54), &ctx.linePhase[0].startTermA);
    EXPECT_EQ(GetWaveformAddress(ctx, 95), &ctx.primary.magnetizingCurrentCopy5);
    EXPECT_EQ(GetWaveformAddress(ctx, 106), &ctx.primary.magnetizingCurrentCopy5);
    EXPECT_EQ(GetWaveformAddress(ctx, 130), &ctx.secondaryWinding[3].windingCurrent);
    // The output voltage carries two names per output: 363-366 and 367-370.
    for (int k = 0; k < kMaxOutputs; ++k) {
        EXPECT_EQ(GetWaveformAddress(ctx, 363 + k), &ctx.outputFilter[k].outputVoltage);
        EXPECT_EQ(GetWaveformAddress(ctx, 367 + k), &ctx.outputFilter[k].outputVoltage);
    }
    EXPECT_EQ(GetWaveformAddress(ctx, 406), &ctx.loadNetwork[3].loadCurrent);
    EXPECT_EQ(GetWaveformAddress(ctx, 507), &ctx.linePhase[2].startValueCopy);
    EXPECT_EQ(GetWaveformAddress(ctx, 508), &ctx.control.optoSupplyVoltage);
    // The one value of an input record: the opto-isolator bias voltage, from the run's copy.
    EXPECT_EQ(GetWaveformAddress(ctx, 509), &ctx.pControlInput->optoOutputBias);
}
