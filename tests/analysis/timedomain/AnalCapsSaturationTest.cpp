// Every saturating core the fill gives a table runs, in a turn-on transient, a steady-state run
// and the sweeps around it.
#include <gtest/gtest.h>

#include "analysis/context/AnalParams.h"
#include "analysis/timedomain/AnalCaps.h"
#include "analysis/context/AnalTableIndex.h"
#include "support/FirstConfigRecords.h"

namespace {

using test_support::FirstConfigRecords;

constexpr uint32_t kRuns = 0;

TEST(EngineCapability, SaturatingCores) {
    struct Case {
        const char* name;
        int table;  // the saturating table; -1 for a line filter inductor
        void (*change)(FirstConfigRecords&);
        uint32_t refusal;
    };
    const Case cases[] = {
        {"power transformer", kPowerXfmrTable, [](FirstConfigRecords&) {}, kRuns},
        {"output choke", OutputTableIndex(1, kChokeTable), [](FirstConfigRecords&) {}, kRuns},
        {"power transformer with a reset winding", kPowerXfmrTable,
         [](FirstConfigRecords& r) {
             r.primary.topology = 3;
             r.primary.resetWindingOn = 1;
             r.primary.resetWindingNominal = 2e-4;
             r.primary.resetTurns = 10.0;
             r.primary.resetWindingResistance = 0.01;
         },
         kRuns},
        {"chokes on one core", OutputTableIndex(1, kChokeTable),
         [](FirstConfigRecords& r) { r.settings.coupledOutputChokes = 1; }, kRuns},
        {"primary current sense transformer", kSenseXfmrTable, [](FirstConfigRecords&) {}, kRuns},
        {"skim inductor", OutputTableIndex(1, kSkimTable), [](FirstConfigRecords&) {}, kRuns},
        {"second-stage inductor", OutputTableIndex(1, kSecondStageInductorTable), [](FirstConfigRecords&) {},
         kRuns},
        {"damping inductor", OutputTableIndex(1, kDampingInductorTable), [](FirstConfigRecords&) {}, kRuns},
        {"first load inductor", OutputTableIndex(1, kLoadInductor1Table), [](FirstConfigRecords&) {}, kRuns},
        {"second load inductor", OutputTableIndex(1, kLoadInductor2Table), [](FirstConfigRecords&) {}, kRuns},
        {"capacitor sense transformer", OutputTableIndex(1, kCapSenseXfmrTable), [](FirstConfigRecords&) {},
         kRuns},
        {"steady state with a saturating load inductor", OutputTableIndex(1, kLoadInductor2Table),
         [](FirstConfigRecords& r) { r.settings.analysisKind = 1; }, kRuns},
        {"voltage-loop sweep around a saturating second-stage inductor", OutputTableIndex(1, kSecondStageInductorTable),
         [](FirstConfigRecords& r) { r.settings.analysisKind = 2; }, kRuns},
        {"line filter inductor", -1, [](FirstConfigRecords&) {}, kRuns},
        {"steady state with a saturating choke", OutputTableIndex(1, kChokeTable),
         [](FirstConfigRecords& r) { r.settings.analysisKind = 1; }, kRuns},
        {"steady state with a saturating power transformer", kPowerXfmrTable,
         [](FirstConfigRecords& r) { r.settings.analysisKind = 1; }, kRuns},
        {"voltage-loop sweep around a saturating choke", OutputTableIndex(1, kChokeTable),
         [](FirstConfigRecords& r) { r.settings.analysisKind = 2; }, kRuns},
        {"amplifier sweep around a saturating power transformer", kPowerXfmrTable,
         [](FirstConfigRecords& r) { r.settings.analysisKind = 5; }, kRuns},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FirstConfigRecords rec;
        c.change(rec);
        AnalysisThreadParams block;
        rec.Attach(block);
        TimeMagnitudeTable table;
        TimeMagnitudeTable3 line;
        table.Insert(0.0, 1e-4);
        table.Insert(2.0, 5e-5);
        line.Insert(0.0, 1e-4);
        line.Insert(2.0, 5e-5);
        if (c.table < 0) block.pTable3[0] = &line;
        else block.pTable[c.table] = &table;
        EXPECT_EQ(CheckTimeDomainCapability(block).messageId, c.refusal);
    }
}

}  // namespace
