// Which primary variants and winding stacks the engine takes: those it simulates run, the
// rest are refused with the primary section's message before any step.
#include <gtest/gtest.h>

#include "analysis/context/AnalParams.h"
#include "analysis/timedomain/AnalCaps.h"
#include "support/FirstConfigRecords.h"

namespace {

using test_support::FirstConfigRecords;

constexpr uint32_t kRefusePrimary = 58402;

TEST(EngineCapability, PrimaryVariantsAndStacks) {
    struct Case {
        const char* name;
        void (*change)(FirstConfigRecords&);
        bool runs;
    };
    const Case cases[] = {
        {"two switch, sense resistor", [](FirstConfigRecords&) {}, true},
        {"passive clamp, sense resistor",
         [](FirstConfigRecords& r) {
             r.primary.topology = 9;
             r.primary.clampCapacitance = 1e-6;
             r.primary.clampResistance = 1e3;
         },
         true},
        {"passive clamp without a capacitance",
         [](FirstConfigRecords& r) {
             r.primary.topology = 9;
             r.primary.clampResistance = 1e3;
         },
         false},
        {"resonant reset, sense resistor",
         [](FirstConfigRecords& r) {
             r.primary.topology = 5;
             r.primary.clampCapacitance = 22e-9;
         },
         true},
        {"resonant reset sensed by a current transformer",
         [](FirstConfigRecords& r) {
             r.primary.topology = 4;
             r.primary.clampCapacitance = 22e-9;
         },
         false},
        {"reset winding", [](FirstConfigRecords& r) { r.primary.topology = 3; }, false},
        {"active clamp, sense resistor",
         [](FirstConfigRecords& r) {
             r.primary.topology = 7;
             r.primary.clampCapacitance = 1e-6;
             r.primary.clampSwitchOnResistance = 0.05;
         },
         true},
        {"active clamp without its switch's resistance",
         [](FirstConfigRecords& r) {
             r.primary.topology = 7;
             r.primary.clampCapacitance = 1e-6;
         },
         false},
        {"two switch sensed by a transformer without its turns", [](FirstConfigRecords& r) { r.primary.topology = 0; },
         false},
        {"two switch sensed by a transformer",
         [](FirstConfigRecords& r) {
             r.primary.topology = 0;
             r.primary.senseXfmrPrimaryTurnsCount = 1.0;
             r.primary.senseXfmrSecondaryTurnsCount = 100.0;
             r.primary.senseXfmrWindingResistance = 0.01;
             r.primary.senseXfmrSecondaryResistance = 1.0;
             r.primary.senseSeriesResistance = 0.01;
         },
         true},
        {"2 on 1", [](FirstConfigRecords& r) { r.primary.stack2On1 = 1; }, true},
        {"2 on 1 and 1 on 2", [](FirstConfigRecords& r) { r.primary.stack2On1 = r.primary.stack1On2 = 1; }, false},
        {"2 on 1 and on 3", [](FirstConfigRecords& r) { r.primary.stack2On1 = r.primary.stack2On3 = 1; }, false},
        {"1 on 2 and 3 on 2", [](FirstConfigRecords& r) { r.primary.stack1On2 = r.primary.stack3On2 = 1; }, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FirstConfigRecords rec;
        FirstConfigRecords other;  // outputs 2 to 4
        c.change(rec);
        rec.settings.outputCount = 3;
        AnalysisThreadParams block;
        rec.Attach(block);
        for (int j = 1; j < 3; ++j) {
            block.pSecondaryRectifierInput[j] = &other.rectifier;
            block.pOutputChokeInput[j] = &other.choke;
            block.pOutputFilterInput[j] = &other.filter;
            block.pLoadNetworkInput[j] = &other.load;
        }
        const EngineRefusal refusal = CheckTimeDomainCapability(block);
        EXPECT_EQ(refusal.messageId, c.runs ? 0u : kRefusePrimary);
    }
}

}  // namespace
