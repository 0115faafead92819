// Which primary variants and winding stacks the engine takes: those it simulates run; a variant
// it does not simulate, a part without a usable value and a loop of stacked windings are each
// refused with their own message before any step.
#include <gtest/gtest.h>

#include <string>

#include "analysis/context/AnalParams.h"
#include "analysis/models/AnalInSS.h"
#include "analysis/timedomain/AnalCaps.h"
#include "platform/core/Format.h"
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
             r.primary.senseXfmrSecondaryNominal = 0.1;
             r.primary.senseXfmrCoupling = 0.99;
         },
         kRuns},
        // The windings' inductances and coupling set its ratio: without them it senses nothing.
        {"two switch sensed by a transformer of coupling 0",
         [](FirstConfigRecords& r) {
             r.primary.topology = 0;
             r.primary.senseXfmrPrimaryTurnsCount = 1.0;
             r.primary.senseXfmrSecondaryTurnsCount = 100.0;
             r.primary.senseXfmrWindingResistance = 0.01;
             r.primary.senseXfmrSecondaryResistance = 1.0;
             r.primary.senseSeriesResistance = 0.01;
             r.primary.senseXfmrSecondaryNominal = 0.1;
         },
         kRefuseValues},
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

// A first stage with its capacitor current sensed, every value of its network given.
void Sensed(FirstConfigRecords& r) {
    OutputFilterInputRec& f = r.filter;
    f.sectionQuantityFlagA = 2;
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
}

// The first stage's capacitor current sense runs with every value its network needs, and the
// current modes may read it from the outputs that sense it; a missing value, a transformer
// flag that does not match the variant and a weighted output without the sense are refused; a
// steady-state run starts from the sense's own estimate.
TEST(EngineCapability, CapacitorCurrentSense) {
    constexpr uint32_t kRefuseOutput = 58403, kRefuseControl = 58404, kRefuseSense = 58921;
    // Past the control check, average current control asks next for its amplifier's values.
    constexpr uint32_t kCurrentAmpValues = 58942;
    struct Case {
        const char* name;
        void (*change)(FirstConfigRecords&);
        uint32_t refusal;
    };
    const Case cases[] = {
        {"single capacitor, sensed", [](FirstConfigRecords& r) { Sensed(r); }, kRuns},
        {"damped, sensed", [](FirstConfigRecords& r) { Sensed(r); r.filter.sectionQuantityFlagA = 3; }, kRuns},
        {"sensing variant without its transformer", [](FirstConfigRecords& r) { r.filter.sectionQuantityFlagA = 2; },
         kRefuseOutput},
        {"no Capacitor Bias", [](FirstConfigRecords& r) { Sensed(r); r.filter.filterTermParamE = 0.0; }, kRefuseSense},
        {"no Resistor Bias 2", [](FirstConfigRecords& r) { Sensed(r); r.filter.csTermA = NOT_SET; }, kRefuseSense},
        {"no secondary inductance", [](FirstConfigRecords& r) { Sensed(r); r.filter.csScaleNum = 0.0; }, kRefuseSense},
        {"coupling above 1", [](FirstConfigRecords& r) { Sensed(r); r.filter.csCoupling = 1.2; }, kRefuseSense},
        {"average current from the capacitor",
         [](FirstConfigRecords& r) {
             Sensed(r);
             r.control.controlMode = 4;
             r.control.senseSource = 2;
             r.choke.senseWeight = 1.0;
         },
         kCurrentAmpValues},
        {"average current from an output without the sense",
         [](FirstConfigRecords& r) {
             r.control.controlMode = 4;
             r.control.senseSource = 2;
             r.choke.senseWeight = 1.0;
         },
         kRefuseControl},
        {"steady state", [](FirstConfigRecords& r) { Sensed(r); r.settings.analysisKind = 1; }, kRuns},
        {"hysteretic steady state from the capacitor",
         [](FirstConfigRecords& r) {
             Sensed(r);
             r.control.controlMode = 3;
             r.control.senseSource = 2;
             r.control.referenceValue = 5.0;
             r.choke.senseWeight = 1.0;
             r.settings.analysisKind = 1;
         },
         kRuns},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FirstConfigRecords rec;
        c.change(rec);
        AnalysisThreadParams block;
        rec.Attach(block);
        EXPECT_EQ(CheckTimeDomainCapability(block).messageId, c.refusal);
    }
}

}  // namespace

namespace {

// On an AC line (400 Hz: 250 switching periods; 60 Hz: 5000 over three line periods) the
// steady state and every sweep, whose windows hold whole ripple periods, start from the state
// over the line's cycle; a load sine is silenced before a sweep seeks that state. A line that
// holds no whole number of switching periods within ten of its periods (61 Hz) is run a little
// off; one that no move within the bound brings into a short enough cycle (4 Hz, or a moved
// 3.1 kHz sine beside a 60 Hz line) has no such state to search, and the refusal says so with
// the limits it applies.
TEST(EngineCapability, SweepsOnAnAcLine) {
    constexpr uint32_t kRefuseKind = 58430;
    struct Case {
        const char* name;
        int32_t kind;
        double loadSine;
        uint32_t refusal;
        double lineFrequency = 400.0;
    };
    const Case cases[] = {
        {"steady state", 1, 0.0, kRuns},
        {"voltage loop on a 60 Hz line", 2, 0.0, kRuns, 60.0},
        {"steady state on a 50 Hz line", 1, 0.0, kRuns, 50.0},
        {"voltage loop on a 61 Hz line", 2, 0.0, kRuns, 61.0},
        {"steady state on a 61 Hz line", 1, 0.0, kRuns, 61.0},
        {"steady state on a 4 Hz line: 25000 periods", 1, 0.0, kRefuseKind, 4.0},
        // The sweep silences the sine, whose 3.1 kHz would hold no whole number of periods.
        {"voltage loop on a 60 Hz line with a 3.1 kHz load sine", 2, 0.1, kRuns, 60.0},
        {"steady state on a 60 Hz line with a 3.1 kHz load sine", 1, 0.1, kRefuseKind, 60.0},
        {"input to output", 4, 0.0, kRuns},
        {"voltage loop", 2, 0.0, kRuns},
        {"amplifier", 5, 0.0, kRuns},
        // The sweep silences the load sine before it seeks its operating point.
        {"input to output with a load sine", 4, 0.1, kRuns},
        {"voltage loop with a load sine", 2, 0.1, kRuns},
        {"steady state with a load sine", 1, 0.1, kRuns},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FirstConfigRecords rec;
        rec.line.lineMagnitude = 60.0;
        rec.line.lineFrequency = c.lineFrequency;
        rec.settings.analysisKind = c.kind;
        rec.load.currentSourceOn = 1;
        rec.load.sourceSineAmplitude = c.loadSine;
        rec.load.sourceFrequency = c.lineFrequency == 60.0 ? 3100.0 : 2000.0;
        AnalysisThreadParams block;
        rec.Attach(block);
        const EngineRefusal refusal = CheckTimeDomainCapability(block);
        EXPECT_EQ(refusal.messageId, c.refusal);
        if (refusal.messageId == kRefuseKind) {
            const std::string text = EngineRefusalText(refusal);
            EXPECT_NE(text.find(std::to_string(kMaxPeriodsPerSourceCycle) + "\nswitching periods"), std::string::npos)
                << text;
            EXPECT_NE(text.find(std::to_string(kMaxSourcePeriodsPerCycle) + " of their own periods"), std::string::npos)
                << text;
            EXPECT_NE(text.find(fw::Format("%g %%", kMaxSourceRetune * 100.0)), std::string::npos) << text;
        }
    }
}

// The modulator term in the feedback runs in every analysis (the estimate places its lag; the
// current loop's, which needs a current-mode design, runs in the average-current design's
// tests); a lag that is not a number of 0 or more is refused.
TEST(EngineCapability, ModulatorFeedbackByKind) {
    constexpr uint32_t kRefuseModulator = 58741;
    struct Case {
        const char* name;
        int32_t kind;
        double lag;  // s
        uint32_t refusal;
    };
    const Case cases[] = {
        {"turn on", 0, 20e-6, kRuns},
        {"steady state", 1, 20e-6, kRuns},
        {"steady state without a lag", 1, 0.0, kRuns},
        {"steady state with a negative lag", 1, -1e-6, kRefuseModulator},
        {"voltage loop", 2, 20e-6, kRuns},
        {"input to output", 4, 20e-6, kRuns},
        {"amplifier", 5, 20e-6, kRuns},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FirstConfigRecords rec;
        rec.settings.analysisKind = c.kind;
        rec.rectifier.dutyWeight = 0.5;
        rec.load.rippleWeight = 0.25;
        rec.filter.engineSetupParamA = c.lag;
        AnalysisThreadParams block;
        rec.Attach(block);
        const EngineRefusal r = CheckTimeDomainCapability(block);
        EXPECT_EQ(r.messageId, c.refusal);
        EXPECT_EQ(r.output, c.refusal ? 1 : 0);
    }
}

}  // namespace

namespace {

// Transistor rectifiers: the estimate sets their channels at the period start, so every kind
// runs with them, the sweeps too (the first configuration has no current loop to open: that
// refusal is its own); a channel without its on-resistance is refused in every kind.
TEST(EngineCapability, TransistorRectifiersInEveryKind) {
    constexpr uint32_t kRefuseNoCurrentLoop = 58881, kRefuseSyncValues = 58720;
    struct Case {
        const char* name;
        int32_t flagA, flagB;
        double ron1, ron2;  // ohm
        uint32_t refusal[6];  // kinds 0 to 5
    };
    const Case cases[] = {
        {"both channels", 1, 1, 0.02, 0.03, {kRuns, kRuns, kRuns, kRefuseNoCurrentLoop, kRuns, kRuns}},
        {"rectifier 1 alone", 1, 0, 0.02, NOT_SET, {kRuns, kRuns, kRuns, kRefuseNoCurrentLoop, kRuns, kRuns}},
        {"rectifier 2 alone", 0, 1, NOT_SET, 0.03, {kRuns, kRuns, kRuns, kRefuseNoCurrentLoop, kRuns, kRuns}},
        {"rectifier 2 without its on-resistance", 1, 1, 0.02, 0.0,
         {kRefuseSyncValues, kRefuseSyncValues, kRefuseSyncValues, kRefuseSyncValues, kRefuseSyncValues,
          kRefuseSyncValues}},
    };
    for (const Case& c : cases) {
        for (int32_t kind = 0; kind <= 5; ++kind) {
            SCOPED_TRACE(std::string(c.name) + ", kind " + std::to_string(kind));
            FirstConfigRecords rec;
            rec.settings.analysisKind = kind;
            rec.rectifier.frequencyAnalysisFlagA = c.flagA;
            rec.rectifier.frequencyAnalysisFlagB = c.flagB;
            rec.rectifier.resistiveRectifier = 1;
            rec.rectifier.onResistance = c.ron1;
            rec.rectifier.secondOnResistance = c.ron2;
            AnalysisThreadParams block;
            rec.Attach(block);
            const EngineRefusal refusal = CheckTimeDomainCapability(block);
            EXPECT_EQ(refusal.messageId, c.refusal[kind]);
            EXPECT_EQ(refusal.output, c.refusal[kind] == kRefuseSyncValues ? 1 : 0);
        }
    }
}

}  // namespace

namespace {

// Hysteretic control sensing the chokes runs in every kind, the current-loop sweep included
// (its comparator closes a current loop); sensing the output capacitors it runs from a turn-on
// and from the steady-state start, and every sweep refuses it with its own reason.
TEST(EngineCapability, HystereticControlInEveryKind) {
    constexpr uint32_t kRefuseSweep = 58947;
    struct Case {
        const char* name;
        int32_t senseSource;
        uint32_t refusal[6];  // kinds 0 to 5
    };
    const Case cases[] = {
        {"sensing the chokes", 1, {kRuns, kRuns, kRuns, kRuns, kRuns, kRuns}},
        {"sensing the capacitors", 2, {kRuns, kRuns, kRefuseSweep, kRefuseSweep, kRefuseSweep, kRefuseSweep}},
    };
    for (const Case& c : cases) {
        for (int32_t kind = 0; kind <= 5; ++kind) {
            SCOPED_TRACE(std::string(c.name) + ", kind " + std::to_string(kind));
            FirstConfigRecords rec;
            if (c.senseSource == 2) Sensed(rec);
            rec.control.controlMode = 3;
            rec.control.senseSource = c.senseSource;
            rec.control.referenceValue = 5.0;
            rec.choke.senseWeight = 1.0;
            rec.settings.analysisKind = kind;
            AnalysisThreadParams block;
            rec.Attach(block);
            EXPECT_EQ(CheckTimeDomainCapability(block).messageId, c.refusal[kind]);
        }
    }
}

}  // namespace
