#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>
#include <vector>

#include "analysis/context/AnalInputRec.h"
#include "analysis/context/AnalRec.h"
#include "analysis/context/RecordScan.h"

// Counts of not-set doubles per record kind, as the record inventory states them in its
// summary (a second statement of the presets, independent of the field lists).
TEST(RecordPresets, NotSetCountsMatchTheInventory) {
    EXPECT_EQ(CountNotSet(StepStateRec()), 12);
    EXPECT_EQ(CountNotSet(LinePhaseStateRec()), 43);  // the inventory's 42 and the line terminal voltage
    EXPECT_EQ(CountNotSet(LineRectifierStateRec()), 32);
    EXPECT_EQ(CountNotSet(InputCapacitorStateRec()), 11);
    EXPECT_EQ(CountNotSet(PrimaryStateRec()), 96);
    EXPECT_EQ(CountNotSet(SecondaryWindingStateRec()), 5);
    // Plus the body diode of rectifier 2's transistor (resistance) added after it.
    EXPECT_EQ(CountNotSet(SecondaryRectifierStateRec()), 32 + 1);
    EXPECT_EQ(CountNotSet(OutputChokeStateRec()), 22);
    EXPECT_EQ(CountNotSet(OutputFilterStateRec()), 66);
    EXPECT_EQ(CountNotSet(LoadNetworkStateRec()), 29);
    EXPECT_EQ(CountNotSet(ControlStateRec()), 82);

    EXPECT_EQ(CountNotSet(AnalysisSettingsRec()), 37);
    EXPECT_EQ(CountNotSet(LineSourceInputRec()), 50);
    // The inventory's own counts, plus the named fields added after it (winding constants,
    // error amplifier network, feedback gain, drive timing) and the current sense rectifier's
    // forward voltage.
    EXPECT_EQ(CountNotSet(PrimaryInputRec()), 69 + 3 + 1);
    // Plus the body diode of rectifier 2's transistor (forward voltage, resistance).
    EXPECT_EQ(CountNotSet(SecondaryRectifierInputRec()), 31 + 2);
    EXPECT_EQ(CountNotSet(OutputChokeInputRec()), 10);
    EXPECT_EQ(CountNotSet(OutputFilterInputRec()), 57);
    EXPECT_EQ(CountNotSet(LoadNetworkInputRec()), 13);
    // Then the opto-isolator (14), current error amplifier (4) and current ramp (6) parts.
    EXPECT_EQ(CountNotSet(ControlInputRec()), 60 + 10 + 14 + 4 + 6);
}

// The words preset -1 and the doubles preset to constants, counted over each whole record,
// so that a preset moved to the wrong field or lost shows here as well.
TEST(RecordPresets, MinusOneWordsAndConstantDoublesOfTheInputRecords) {
    struct Case {
        const char* record;
        int minusOneWords;
        int actual;
    };
    const Case words[] = {
        {"AnalysisSettingsRec", 2, CountWords(AnalysisSettingsRec(), -1)},
        {"LineSourceInputRec", 0, CountWords(LineSourceInputRec(), -1)},
        {"PrimaryInputRec", 7, CountWords(PrimaryInputRec(), -1)},
        {"SecondaryRectifierInputRec", 0, CountWords(SecondaryRectifierInputRec(), -1)},
        {"OutputChokeInputRec", 0, CountWords(OutputChokeInputRec(), -1)},
        {"OutputFilterInputRec", 3, CountWords(OutputFilterInputRec(), -1)},
        {"LoadNetworkInputRec", 1, CountWords(LoadNetworkInputRec(), -1)},
        {"ControlInputRec", 4, CountWords(ControlInputRec(), -1)},
    };
    for (const Case& c : words) EXPECT_EQ(c.actual, c.minusOneWords) << c.record;

    // Given to Init, the output number takes the place of one of them.
    OutputFilterInputRec numbered{};
    numbered.Init(2);
    EXPECT_EQ(CountWords(numbered, -1), 2);

    const ControlInputRec control;
    EXPECT_EQ(CountDoubles(control, 1e-14), 3);
    EXPECT_EQ(CountDoubles(control, 1e8), 2);
    EXPECT_EQ(CountDoubles(control, 1e-6), 1);
    // The settings words preset 1: three constructor words and the analysis kind.
    EXPECT_EQ(CountWords(AnalysisSettingsRec(), 1), 4);
}

TEST(RecordPresets, WordsAndConstantsThatAreNotZero) {
    StepStateRec step;
    EXPECT_EQ(step.settling, 1);
    EXPECT_EQ(step.settlingFlagA, 1);
    EXPECT_EQ(step.time, 0.0);
    EXPECT_EQ(step.stepCount, 0);
    EXPECT_EQ(step.cycleTime, 0.0);
    PrimaryStateRec primary;
    EXPECT_EQ(primary.switchState, 0);
    SecondaryRectifierStateRec rect;
    EXPECT_EQ(rect.turnOffStartAFlagB, 1);
    EXPECT_EQ(rect.diodeConducting, 1);
    EXPECT_EQ(OutputChokeStateRec().continuousConduction, 1);

    AnalysisSettingsRec s;
    EXPECT_EQ(s.analysisKind, 1);
    EXPECT_EQ(s.progressInterval, 50);
    EXPECT_EQ(s.initIterationLimit, 50);
    EXPECT_EQ(s.stabilisationCycles, 10);
    EXPECT_EQ(s.frequencyAnalysisFlagB, -1);
    EXPECT_EQ(s.frequencyAnalysisFlagC, -1);
    EXPECT_EQ(s.openResistance, NOT_SET);

    OutputFilterInputRec filter;
    EXPECT_EQ(filter.sectionQuantityFlagA, -1);
    EXPECT_EQ(filter.outputNumber, -1);
    EXPECT_EQ(filter.outputSign, 0);
    EXPECT_EQ(filter.sectionQuantityFlagB, -1);

    PrimaryInputRec pri;
    EXPECT_EQ(pri.topology, -1);
    EXPECT_EQ(pri.stack3On4, -1);
    EXPECT_EQ(LoadNetworkInputRec().sectionQuantityFlagA, -1);

    ControlInputRec ctl;
    EXPECT_EQ(ctl.rampCapacitance, 1e-14);
    EXPECT_EQ(ctl.rampResistance, 1e8);
    EXPECT_EQ(ctl.hystDividerResistance, 1e-6);
    EXPECT_EQ(ctl.controlMode, -1);
    EXPECT_EQ(ctl.veaVariant, -1);
    EXPECT_EQ(ctl.senseSource, 0);
}

TEST(RecordPresets, InitRestoresThePresets) {
    AnalysisSettingsRec s;
    s.loggingOn = 1;             // set by the document, never cleared
    s.settingsSpareWordA = 7;    // constructor-only words survive Init
    s.analysisKind = 4;
    s.endTime = 1e-3;
    s.outputChokeCoupling[5] = 0.9;
    s.Init();
    EXPECT_EQ(s.loggingOn, 1);
    EXPECT_EQ(s.settingsSpareWordA, 7);
    EXPECT_EQ(s.analysisKind, 1);
    EXPECT_EQ(s.endTime, NOT_SET);
    EXPECT_EQ(s.outputChokeCoupling[5], 0.0);

    OutputFilterInputRec filter(2);
    EXPECT_EQ(filter.outputNumber, 2);
    filter.outputSign = -1;
    filter.capacitorBreakdownVoltage = 50.0;
    filter.Init(3);
    EXPECT_EQ(filter.outputNumber, 3);
    EXPECT_EQ(filter.outputSign, 0);
    EXPECT_EQ(filter.capacitorBreakdownVoltage, NOT_SET);

    LineSourceInputRec line;
    line.lineFrequency = 60.0;
    line.diode8Present = 1;
    line.Init();
    EXPECT_EQ(line.lineFrequency, NOT_SET);
    EXPECT_EQ(line.diode8Present, 0);
}

// Each snapshot copies exactly its list of state-record fields, in the list's order: the
// source record is filled with slot numbers, and every double of the snapshot must come
// from the named field.
TEST(Snapshots, CopyExactlyTheListedFields) {
#define AT(Rec, f) offsetof(Rec, f)
    {
        LinePhaseStateRec rec;
        FillWithSlotNumbers(rec);
        LinePhaseSnapshot snap;
        snap.CopyFrom(rec);
        ASSERT_EQ(sizeof snap, 15 * 8u);
        using R = LinePhaseStateRec;
        EXPECT_EQ(SourceOffsets(snap, 0, 15),
                  (std::vector<size_t>{AT(R, firstStageCapacitorCurrent), AT(R, sourceVoltage), AT(R, filterCapCurrent),
                                       AT(R, filterCapVoltage), AT(R, firstInductorCurrent),
                                       AT(R, firstInductorCurrentCopy), AT(R, firstInductorVoltage),
                                       AT(R, dampingInductorCurrent), AT(R, dampingInductorCurrentCopy),
                                       AT(R, dampingInductorVoltage), AT(R, secondInductorCurrent),
                                       AT(R, dampingBranchCurrent), AT(R, secondInductorCurrentCopy),
                                       AT(R, secondInductorVoltage), AT(R, lineCurrentHeld)}));
    }
    {
        LineRectifierStateRec rec;
        FillWithSlotNumbers(rec);
        LineRectifierSnapshot snap;
        snap.CopyFrom(rec);
        ASSERT_EQ(sizeof snap, 8 * 8u);
        using R = LineRectifierStateRec;
        EXPECT_EQ(SourceOffsets(snap, 0, 8),
                  (std::vector<size_t>{AT(R, diode1Current), AT(R, diode2Current), AT(R, diode3Current),
                                       AT(R, diode4Current), AT(R, diode5Current), AT(R, diode6Current),
                                       AT(R, diode7Current), AT(R, diode8Current)}));
    }
    {
        InputCapacitorStateRec rec;
        FillWithSlotNumbers(rec);
        InputCapacitorSnapshot snap;
        snap.CopyFrom(rec);
        ASSERT_EQ(sizeof snap, 9 * 8u);
        using R = InputCapacitorStateRec;
        EXPECT_EQ(SourceOffsets(snap, 0, 9),
                  (std::vector<size_t>{AT(R, lowerBulkCapacitorCurrent), AT(R, capSlot1Voltage),
                                       AT(R, lowerBulkDampingCapacitorCurrent), AT(R, capSlot2Voltage),
                                       AT(R, upperBulkCapacitorCurrent), AT(R, capSlot3Voltage),
                                       AT(R, upperBulkDampingCapacitorCurrent), AT(R, capSlot4Voltage),
                                       AT(R, inputVoltage)}));
    }
    {
        PrimaryStateRec rec;
        FillWithSlotNumbers(rec);
        rec.switchState = 3;
        PrimarySnapshot snap;
        snap.CopyFrom(rec);
        ASSERT_EQ(offsetof(PrimarySnapshot, switchState), 26 * 8u);
        EXPECT_EQ(snap.switchState, 3);
        using R = PrimaryStateRec;
        EXPECT_EQ(SourceOffsets(snap, 0, 26),
                  (std::vector<size_t>{
                      AT(R, clampCapacitorCurrent), AT(R, clampCapacitorVoltageState), AT(R, clampResistorCurrent),
                      AT(R, magnetizingCurrent), AT(R, primaryWindingCurrent), AT(R, primaryWindingVoltage),
                      AT(R, clampRectifierAnodeToCathodeCurrent), AT(R, diode1Current), AT(R, resetCapacitorCurrent),
                      AT(R, capacitorVoltageCopy), AT(R, resetWindingCurrent),
                      AT(R, resetRectifierAnodeToCathodeCurrent), AT(R, resetWindingVoltage),
                      AT(R, clampSwitchDiodeCurrent), AT(R, clampSwitchAux1), AT(R, switch1DiodeCurrent),
                      AT(R, switch1Voltage), AT(R, switch1DrainToSourceCurrent), AT(R, switch2Link),
                      AT(R, senseXfmrAux2), AT(R, senseXfmrCurrent), AT(R, senseXfmrCurrent2), AT(R, senseXfmrInput2),
                      AT(R, senseXfmrVoltage), AT(R, senseXfmrSecondaryCurrent), AT(R, senseXfmrSecondaryVoltage)}));
    }
    {
        SecondaryWindingStateRec rec;
        FillWithSlotNumbers(rec);
        SecondaryWindingSnapshot snap;
        snap.CopyFrom(rec);
        ASSERT_EQ(sizeof snap, 2 * 8u);
        EXPECT_EQ(SourceOffsets(snap, 0, 2), (std::vector<size_t>{AT(SecondaryWindingStateRec, windingCurrent),
                                                                   AT(SecondaryWindingStateRec, windingVoltage)}));
    }
    {
        SecondaryRectifierStateRec rec;
        FillWithSlotNumbers(rec);
        rec.outputConducting = 1;
        rec.turnOffStartAFlagB = 7;
        SecondaryRectifierSnapshot snap;
        snap.CopyFrom(rec);
        ASSERT_EQ(sizeof snap, 8u + 6 * 8u);
        EXPECT_EQ(snap.outputConducting, 1);
        EXPECT_EQ(snap.turnOffStartAFlagB, 7);
        using R = SecondaryRectifierStateRec;
        EXPECT_EQ(SourceOffsets(snap, 8, 6),
                  (std::vector<size_t>{AT(R, rectifier1AnodeToCathodeCurrent), AT(R, rectifier1AnodeToCathodeVoltage),
                                       AT(R, diodeCurrent), AT(R, rectifierVoltage), AT(R, rectifierTermA),
                                       AT(R, secondDiodeCurrent)}));
    }
    {
        OutputChokeStateRec rec;
        FillWithSlotNumbers(rec);
        OutputChokeSnapshot snap;
        snap.CopyFrom(rec);
        ASSERT_EQ(sizeof snap, 6 * 8u);
        using R = OutputChokeStateRec;
        EXPECT_EQ(SourceOffsets(snap, 0, 6),
                  (std::vector<size_t>{AT(R, chokeCurrent), AT(R, squareCurrentIntegral), AT(R, lookupCurrent),
                                       AT(R, windingVoltage), AT(R, skimCurrent), AT(R, skimVoltage)}));
    }
    {
        OutputFilterStateRec rec;
        FillWithSlotNumbers(rec);
        OutputFilterSnapshot snap;
        snap.CopyFrom(rec);
        ASSERT_EQ(sizeof snap, 21 * 8u);
        using R = OutputFilterStateRec;
        EXPECT_EQ(SourceOffsets(snap, 0, 21),
                  (std::vector<size_t>{
                      AT(R, capacitorCurrent1), AT(R, capacitorVoltage1), AT(R, capacitorCurrent),
                      AT(R, capacitor2Current), AT(R, capacitor2Voltage), AT(R, outputCapacitorCurrent),
                      AT(R, outputCapacitorVoltageCopy), AT(R, outputCapacitor2Current), AT(R, outputCapacitor2Voltage),
                      AT(R, dampingInductorCurrentCopy), AT(R, dampingInductorVoltage), AT(R, secondInductorCurrent),
                      AT(R, dampingInductorCurrent), AT(R, secondInductorCurrentCopy2), AT(R, secondInductorVoltage),
                      AT(R, biasCurrent), AT(R, biasNodeVoltage), AT(R, csValue1), AT(R, csValue15),
                      AT(R, senseXfmrSecondaryCurrent), AT(R, csValue14)}));
    }
    {
        LoadNetworkStateRec rec;
        FillWithSlotNumbers(rec);
        LoadNetworkSnapshot snap;
        snap.CopyFrom(rec);
        ASSERT_EQ(sizeof snap, 8 * 8u);
        using R = LoadNetworkStateRec;
        EXPECT_EQ(SourceOffsets(snap, 0, 8),
                  (std::vector<size_t>{AT(R, load1CurrentCopy), AT(R, load1Voltage), AT(R, firstBranchCurrent),
                                       AT(R, load2CurrentCopy), AT(R, load2Voltage), AT(R, resistorCurrent),
                                       AT(R, resistorVoltage), AT(R, loadCurrent)}));
    }
    {
        ControlStateRec rec;
        FillWithSlotNumbers(rec);
        ControlSnapshot snap;
        snap.CopyFrom(rec);
        ASSERT_EQ(sizeof snap, 14 * 8u);
        using R = ControlStateRec;
        EXPECT_EQ(SourceOffsets(snap, 0, 14),
                  (std::vector<size_t>{AT(R, currentAmpStateA), AT(R, currentAmpStateB), AT(R, comparatorAux),
                                       AT(R, pwmComparatorDifferential), AT(R, hystFiltered), AT(R, clockDividerVoltage),
                                       AT(R, hystInput), AT(R, currentLimitFeedback), AT(R, errorAmpStateA),
                                       AT(R, optoLedCurrent), AT(R, rampCapacitorVoltage), AT(R, errorAmpStateB),
                                       AT(R, errorAmpStateC), AT(R, errorAmpAux)}));
    }
#undef AT
}

// --- Time-step limiter -------------------------------------------------------------------

namespace {

// The user data defaults: large steps above 1e-7 s by 0.9, small above 3e-8 s by 0.98.
AnalysisSettingsRec AttenuationSettings() {
    AnalysisSettingsRec s;
    s.largeStepAttenuationLimit = 1e-7;
    s.largeStepAttenuationFactor = 0.9;
    s.smallStepAttenuationLimit = 3e-8;
    s.smallStepAttenuationFactor = 0.98;
    return s;
}

struct LimitCase {
    const char* what;
    int32_t overlap;
    double nextBefore;
    double candidate;
    int32_t applyFactors;
    int32_t eventProposal;
    double nextAfter;
};

const double kNaN = std::numeric_limits<double>::quiet_NaN();

const LimitCase kLimitCases[] = {
    {"zero ignored", 0, 1e-6, 0.0, 0, 1, 1e-6},
    {"negative ignored", 0, 1e-6, -1e-8, 1, 0, 1e-6},
    {"not a number ignored", 0, 1e-6, kNaN, 0, 1, 1e-6},
    {"event raised to the 1e-10 floor", 0, 1e-6, 1e-11, 0, 1, 1e-10},
    {"event kept above the 1e-12 overlap floor", 1, 1e-6, 1e-11, 0, 1, 1e-11},
    {"event raised to the 1e-12 overlap floor", 1, 1e-6, 1e-13, 0, 1, 1e-12},
    {"event above 2e-8 shrinks by 0.7", 0, 1e-6, 5e-8, 1, 1, 0.7 * 5e-8},
    {"event above 1e-9 shrinks by 0.8", 0, 1e-6, 1e-8, 1, 1, 0.8 * 1e-8},
    {"event of exactly 2e-8 shrinks by 0.8", 0, 1e-6, 2e-8, 1, 1, 0.8 * 2e-8},
    {"event of exactly 1e-9 is not shrunk", 0, 1e-6, 1e-9, 1, 1, 1e-9},
    {"event without factors is taken as it is", 0, 1e-6, 5e-8, 0, 1, 5e-8},
    {"event larger than the kept step", 0, 1e-8, 5e-8, 0, 1, 1e-8},
    {"event still lowers a step at or below 1e-9", 0, 5e-10, 2e-10, 0, 1, 2e-10},
    {"ordinary ignored once the step is at 1e-9", 0, 1e-9, 5e-10, 0, 0, 1e-9},
    {"ordinary ignored below 1e-9", 0, 5e-10, 4e-10, 0, 0, 5e-10},
    {"ordinary above the large limit", 0, 1e-6, 2e-7, 1, 0, 0.9 * 2e-7},
    {"ordinary between the limits", 0, 1e-6, 5e-8, 1, 0, 0.98 * 5e-8},
    {"ordinary exactly at the large limit takes the small factor", 0, 1e-6, 1e-7, 1, 0, 0.98 * 1e-7},
    {"ordinary at or below the small limit", 0, 1e-6, 3e-8, 1, 0, 3e-8},
    {"ordinary without factors", 0, 1e-6, 2e-7, 0, 0, 2e-7},
    {"ordinary larger than the kept step", 0, 1e-7, 2e-7, 0, 0, 1e-7},
    {"ordinary below 1e-9 sets exactly 1e-9", 0, 2e-9, 5e-10, 0, 0, 1e-9},
};

}  // namespace

TEST(LimitTimeStep, Cases) {
    const AnalysisSettingsRec settings = AttenuationSettings();
    for (const LimitCase& c : kLimitCases) {
        SCOPED_TRACE(c.what);
        StepStateRec step;
        step.commutationOverlap = c.overlap;
        step.nextTimeStep = c.nextBefore;
        LimitTimeStep(step, settings, c.candidate, c.applyFactors, c.eventProposal);
        EXPECT_DOUBLE_EQ(step.nextTimeStep, c.nextAfter);
    }
}

TEST(LimitTimeStep, AttenuationBelowTheMinimumSetsTheMinimum) {
    AnalysisSettingsRec settings = AttenuationSettings();
    settings.largeStepAttenuationFactor = 1e-3;
    StepStateRec step;
    step.nextTimeStep = 1e-6;
    LimitTimeStep(step, settings, 2e-7, 1, 0);  // 2e-10 after attenuation
    EXPECT_EQ(step.nextTimeStep, 1e-9);
}

TEST(LimitTimeStep, SmallestSurvivorWinsWhateverTheOrder) {
    const AnalysisSettingsRec settings = AttenuationSettings();
    struct Proposal {
        double candidate;
        int32_t applyFactors;
        int32_t eventProposal;
    };
    std::vector<Proposal> proposals = {{2e-7, 1, 0}, {4e-8, 1, 1}, {5e-8, 0, 0}, {1e-6, 0, 1}};
    std::vector<int> order = {0, 1, 2, 3};
    do {
        StepStateRec step;
        step.nextTimeStep = 1e-6;
        for (int i : order) LimitTimeStep(step, settings, proposals[i].candidate, proposals[i].applyFactors,
                                          proposals[i].eventProposal);
        EXPECT_DOUBLE_EQ(step.nextTimeStep, 0.7 * 4e-8);
    } while (std::next_permutation(order.begin(), order.end()));
}

TEST(LimitTimeStep, RecordOperationUsesItsBoundSettings) {
    const AnalysisSettingsRec settings = AttenuationSettings();
    StepStateRec step;
    step.settings = &settings;
    step.nextTimeStep = 1e-6;
    step.LimitTimeStep(2e-7, 1, 0);
    EXPECT_DOUBLE_EQ(step.nextTimeStep, 0.9 * 2e-7);

    // A record outside a run has no user attenuation to apply.
    StepStateRec unbound;
    unbound.nextTimeStep = 1e-6;
    unbound.LimitTimeStep(2e-7, 1, 0);
    EXPECT_EQ(unbound.nextTimeStep, 2e-7);
}
