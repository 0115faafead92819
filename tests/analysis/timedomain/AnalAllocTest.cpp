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

// The same with the line side and the output side at their fullest: an AC line through the
// fullest line filter and the doubler into two damped capacitors, and behind the choke (with
// its skim inductor) both damped filter stages and the complex load with its current source.
TEST(StepLoop, FullestLineAndOutputSidesAllocateNothing) {
    test_support::FirstConfigRecords rec;
    rec.settings.endTime = 200e-6;
    rec.settings.lineRectifierVariant = 5;
    rec.settings.inputCapacitorVariant = 3;
    rec.settings.lineFilterVariant = 8;
    LineSourceInputRec& line = rec.line;
    line.lineOffset = 0.0;
    line.lineMagnitude = 30.0;
    line.lineFrequency = 400.0;
    line.rectifierForwardVoltage = 0.8;
    line.stepSetupParamA = 0.02;
    line.outputCapacitorDoubled = 1;
    line.outputCapacitor2On = 1;
    line.outputCapacitor2Inductance = 1e-9;
    line.outputCapacitor2Resistance = 1e-3;
    line.sectionQuantityParamG = line.sectionQuantityParamH = 0.0;
    line.outputCapacitor2Capacitance = 10e-6;
    line.dampingCoeffA = 1e-9;
    line.dampingCoeffB = 1.0;
    line.firstInductorOn = line.secondInductorOn = line.dampingInductorOn = line.dampingResistorOn = 1;
    line.sourceOn = line.inputCapacitorOn = 1;
    line.firstInductorInductance = line.secondInductorInductance = 1e-6;
    line.firstInductorResistance = line.secondInductorResistance = 0.01;
    line.dampingInductorInductance = 2e-6;
    line.dampingInductorResistance = 0.01;
    line.dampingResistance = 1.0;
    line.dampingResistorInductance = 1e-9;
    line.sourceBranchInductance = 1e-9;
    line.sourceBranchResistance = 0.01;
    line.sectionQuantityParamA = line.sectionQuantityParamB = 0.0;
    line.sourceBranchCapacitance = 1e-6;
    line.inputCapacitorInductance = 1e-9;
    line.inputCapacitorResistance = 0.01;
    line.inputCapacitorExtraResistance = 1.0;
    line.sectionQuantityParamC = line.sectionQuantityParamD = 0.0;
    line.inputCapacitance = 4.7e-6;
    OutputFilterInputRec& f = rec.filter;
    // Damped, with the capacitor current sensed.
    f.sectionQuantityFlagA = 3;
    f.hasCapA2 = 1;
    f.senseXfmrOn = f.senseDiodeOn = f.senseResistorOn = f.biasDividerOn = 1;
    f.csScaleNum = 1e-2;
    f.csScaleDen = 1e-6;
    f.csCoupling = 0.995;
    f.senseXfmrResistance = 1e-3;
    f.senseXfmrSecondaryResistance = 0.1;
    f.sectionQuantityParamR = 0.3;
    f.senseDiodeResistance = 0.01;
    f.senseResistance = 1.0;
    f.biasUpperResistance = 1e4;
    f.csTermA = 1e3;
    f.filterTermParamE = 1e-10;
    f.biasVoltage = 1.0;
    f.sectionQuantityParamC = 1e-9;
    f.sectionQuantityParamD = 1e-3;
    f.sectionQuantityParamE = f.sectionQuantityParamF = 0.0;
    f.sectionQuantityParamG = 220e-6;
    f.filterTermParamA = 0.3;
    f.filterTermParamB = 1e-9;
    f.sectionQuantityFlagB = 6;
    f.hasCapB = f.hasInductorB = f.hasCapB2 = f.hasDampingB = f.dampingInductorOn = 1;
    f.sectionQuantityParamH = 1e-9;
    f.sectionQuantityParamI = 0.01;
    f.sectionQuantityParamJ = f.sectionQuantityParamK = 0.0;
    f.capBCapacitance = 47e-6;
    f.secondInductorResistance = 5e-3;
    f.dampingResistance = 0.5;
    f.dampingInductorResistance = 1e-3;
    f.sectionQuantityParamL = 1e-9;
    f.sectionQuantityParamM = 1e-3;
    f.sectionQuantityParamN = f.sectionQuantityParamO = 0.0;
    f.filterTermParamC = 100e-6;
    f.filterTermParamD = 0.2;
    rec.choke.skimWindingOn = 1;
    rec.choke.skimResistance = 1e-3;
    LoadNetworkInputRec& load = rec.load;
    load.sectionQuantityFlagA = 3;
    load.inductorOn = load.firstBranchOn = load.currentSourceOn = 1;
    load.inductorResistance = 1e-3;
    load.firstResistance = 1e-3;
    load.firstInductorResistance = 1e-6;
    load.sourceCurrent = 0.5;
    load.sourceSineAmplitude = 1.0;
    load.sourceFrequency = 5000.0;
    AnalysisThreadParams block;
    rec.Attach(block);
    block.runStatus = 1;
    AnalysisRun run(block);
    long atFirstStep = -1;
    long atLastStep = -1;
    SetTimeStepObserver([&](const AnalysisContext&) {
        const long now = g_allocations.load();
        if (atFirstStep < 0) atFirstStep = now;
        atLastStep = now;
    });
    ASSERT_EQ(RunTimeDomainAnalysis(), 1);
    SetTimeStepObserver(nullptr);
    EXPECT_EQ(block.runStatus, 1);
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
