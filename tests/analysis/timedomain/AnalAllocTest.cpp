// The step loop allocates nothing: a run's memory is taken before its first step, so a long
// run costs no more than a short one. Every allocation of this test program is counted.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "analysis/context/AnalContext.h"
#include "analysis/timedomain/AnalTime.h"
#include "support/FirstConfigRecords.h"

namespace {
std::atomic<long> g_allocations{0};
}  // namespace

void* operator new(std::size_t size) {
    ++g_allocations;
    if (void* p = std::malloc(size ? size : 1)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }

namespace {

TEST(StepLoop, AllocatesNothing) {
    test_support::FirstConfigRecords rec;
    rec.settings.endTime = 200e-6;  // twenty switching periods: every switch state and event
    AnalysisThreadParams block;
    rec.Attach(block);
    block.runStatus = 1;
    AnalysisRun run(block);
    long atFirstStep = -1;
    long atLastStep = -1;
    int32_t states = 0;
    SetTimeStepObserver([&](const AnalysisContext& ctx) {
        const long now = g_allocations.load();
        if (atFirstStep < 0) atFirstStep = now;
        atLastStep = now;
        states |= 1 << ctx.primary.switchState;
    });
    ASSERT_EQ(RunTimeDomainAnalysis(), 1);
    SetTimeStepObserver(nullptr);
    EXPECT_EQ(block.runStatus, 1);
    EXPECT_EQ(states, 0b111);  // rest, reset and on were all stepped
    EXPECT_EQ(atLastStep, atFirstStep);
}

}  // namespace

namespace {

// The steady-state start takes its memory once: ten times the settling periods cost no more.
TEST(StepLoop, SteadyStartAllocatesNothingPerPeriod) {
    long used[2] = {};
    const int32_t cycles[2] = {10, 100};
    for (int i = 0; i < 2; ++i) {
        test_support::FirstConfigRecords rec;
        rec.settings.analysisKind = 1;
        rec.settings.skipInitializationLoop = 0;
        rec.settings.stabilisationCycles = cycles[i];
        rec.settings.endTime = 1e-9;
        AnalysisThreadParams block;
        rec.Attach(block);
        block.runStatus = 1;
        AnalysisRun run(block);
        const long before = g_allocations.load();
        ASSERT_EQ(RunTimeDomainAnalysis(), 1);
        EXPECT_EQ(block.runStatus, 1);
        used[i] = g_allocations.load() - before;
    }
    EXPECT_EQ(used[1], used[0]);
}

}  // namespace
