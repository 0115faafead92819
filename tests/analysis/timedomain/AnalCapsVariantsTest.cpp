// Which primary variants and winding stacks the engine takes: those it simulates run; a variant
// it does not simulate, a part without a usable value and a loop of stacked windings are each
// refused with their own message before any step.
#include <gtest/gtest.h>

#include "analysis/context/AnalParams.h"
#include "analysis/timedomain/AnalCaps.h"
#include "support/FirstConfigRecords.h"

namespace {

using test_support::FirstConfigRecords;

constexpr uint32_t kRefusePrimary = 58402;
constexpr uint32_t kRefuseValues = 58900;
constexpr uint32_t kRefuseStackLoop = 58901;
constexpr uint32_t kRuns = 0;

TEST(EngineCapability, PrimaryVariantsAndStacks) {
    struct Case {
        const char* name;
        void (*change)(FirstConfigRecords&);
        uint32_t refusal;
    };
    const Case cases[] = {
        {"two switch, sense resistor", [](FirstConfigRecords&) {}, kRuns},
        {"passive clamp, sense resistor",
         [](FirstConfigRecords& r) {
             r.primary.topology = 9;
             r.primary.clampCapacitance = 1e-6;
             r.primary.clampResistance = 1e3;
         },
         kRuns},
        {"passive clamp without a capacitance",
         [](FirstConfigRecords& r) {
             r.primary.topology = 9;
             r.primary.clampResistance = 1e3;
         },
         kRefuseValues},
        {"resonant reset, sense resistor",
         [](FirstConfigRecords& r) {
             r.primary.topology = 5;
             r.primary.clampCapacitance = 22e-9;
         },
         kRuns},
        {"resonant reset sensed by a transformer without its turns",
         [](FirstConfigRecords& r) {
             r.primary.topology = 4;
             r.primary.clampCapacitance = 22e-9;
         },
         kRefuseValues},
        {"reset winding without its values", [](FirstConfigRecords& r) { r.primary.topology = 3; }, kRefuseValues},
        {"reset winding, sense resistor",
         [](FirstConfigRecords& r) {
             r.primary.topology = 3;
             r.primary.resetWindingNominal = 2e-4;
             r.primary.resetTurns = 10.0;
             r.primary.resetWindingResistance = 0.01;
         },
         kRuns},
        {"no variant chosen", [](FirstConfigRecords& r) { r.primary.topology = 999; }, kRefusePrimary},
        {"active clamp, sense resistor",
         [](FirstConfigRecords& r) {
             r.primary.topology = 7;
             r.primary.clampCapacitance = 1e-6;
             r.primary.clampSwitchOnResistance = 0.05;
         },
         kRuns},
        {"active clamp without its switch's resistance",
         [](FirstConfigRecords& r) {
             r.primary.topology = 7;
             r.primary.clampCapacitance = 1e-6;
         },
         kRefuseValues},
        {"two switch sensed by a transformer without its turns", [](FirstConfigRecords& r) { r.primary.topology = 0; },
         kRefuseValues},
        {"two switch sensed by a transformer",
         [](FirstConfigRecords& r) {
             r.primary.topology = 0;
             r.primary.senseXfmrPrimaryTurnsCount = 1.0;
             r.primary.senseXfmrSecondaryTurnsCount = 100.0;
             r.primary.senseXfmrWindingResistance = 0.01;
             r.primary.senseXfmrSecondaryResistance = 1.0;
             r.primary.senseSeriesResistance = 0.01;
         },
         kRuns},
        {"2 on 1", [](FirstConfigRecords& r) { r.primary.stack2On1 = 1; }, kRuns},
        {"2 on 1 and 1 on 2", [](FirstConfigRecords& r) { r.primary.stack2On1 = r.primary.stack1On2 = 1; }, kRefuseStackLoop},
        {"2 on 1 and on 3", [](FirstConfigRecords& r) { r.primary.stack2On1 = r.primary.stack2On3 = 1; }, kRefuseStackLoop},
        {"1 on 2 and 3 on 2", [](FirstConfigRecords& r) { r.primary.stack1On2 = r.primary.stack3On2 = 1; }, kRuns},
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
        EXPECT_EQ(refusal.messageId, c.refusal);
    }
}

}  // namespace
