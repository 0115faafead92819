// The step checks on hand-built contexts: each breakdown rating trips exactly at its
// comparison, once per run, in its order, with its text and figures; the switching-frequency
// warning of the hysteretic control.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "analysis/context/AnalContext.h"
#include "analysis/timedomain/AnalChck.h"
#include "analysis/timedomain/AnalTime.h"
#include "platform/core/ReportSink.h"
#include "records/Utils.h"
#include "resources/StringTable.h"

namespace {

using Kind = BreakdownCompare;

struct Case {
    UINT id;
    std::function<void(AnalysisContext&)> enable;  // empty: the part is always checked
    std::function<double&(AnalysisContext&)> voltage;
    std::function<double&(AnalysisContext&)> rating;
    Kind kind;
};

// The 71 checks in the order the run makes them.
std::vector<Case> AllChecks() {
    std::vector<Case> c;
    auto pi = [](AnalysisContext& x) -> PrimaryInputRec& { return *x.pPrimaryInput; };
    auto li = [](AnalysisContext& x) -> LineSourceInputRec& { return *x.pLineSourceInput; };
    c.push_back({51035, [=](AnalysisContext& x) { pi(x).diode1On = 1; },
                 [](AnalysisContext& x) -> double& { return x.primary.diode1Voltage; },
                 [=](AnalysisContext& x) -> double& { return pi(x).rectifierBreakdownVoltage; }, Kind::kMagnitudeAtLeast});
    c.push_back({51036, [=](AnalysisContext& x) { pi(x).diode1On = 1, pi(x).secondSwitchOn = 1; },
                 [](AnalysisContext& x) -> double& { return x.primary.diode2Voltage; },
                 [=](AnalysisContext& x) -> double& { return pi(x).rectifierBreakdownVoltage; }, Kind::kMagnitudeAtLeast});
    c.push_back({51034, [=](AnalysisContext& x) { pi(x).resetDiodeOn = 1; },
                 [](AnalysisContext& x) -> double& { return x.primary.resetDiodeVoltage; },
                 [=](AnalysisContext& x) -> double& { return pi(x).clampRectifierBreakdownVoltage; },
                 Kind::kMagnitudeAtLeast});
    c.push_back({51033, [=](AnalysisContext& x) { pi(x).senseDiodeOn = 1; },
                 [](AnalysisContext& x) -> double& { return x.primary.currentSenseRectifierAnodeToCathodeVoltage; },
                 [=](AnalysisContext& x) -> double& { return pi(x).senseRectifierBreakdownVoltage; },
                 Kind::kMagnitudeAtLeast});
    c.push_back({51037, [=](AnalysisContext& x) { pi(x).resetDiodeOn = 1, pi(x).resetWindingOn = 1; },
                 [](AnalysisContext& x) -> double& { return x.primary.senseAmpVoltage; },
                 [=](AnalysisContext& x) -> double& { return pi(x).resetRectifierBreakdownVoltage; },
                 Kind::kMagnitudeAtLeast});
    int32_t LineSourceInputRec::*present[8] = {
        &LineSourceInputRec::diode1Present, &LineSourceInputRec::diode2Present, &LineSourceInputRec::diode3Present,
        &LineSourceInputRec::diode4Present, &LineSourceInputRec::diode5Present, &LineSourceInputRec::diode6Present,
        &LineSourceInputRec::diode7Present, &LineSourceInputRec::diode8Present};
    double LineRectifierStateRec::*volts[8] = {
        &LineRectifierStateRec::diode1Voltage, &LineRectifierStateRec::diode2Voltage,
        &LineRectifierStateRec::diode3Voltage, &LineRectifierStateRec::diode4Voltage,
        &LineRectifierStateRec::diode5Voltage, &LineRectifierStateRec::diode6Voltage,
        &LineRectifierStateRec::diode7Voltage, &LineRectifierStateRec::diode8Voltage};
    for (int d = 0; d < 8; ++d) {
        auto p = present[d];
        auto v = volts[d];
        c.push_back({UINT(51001 + d), [=](AnalysisContext& x) { li(x).*p = 1; },
                     [=](AnalysisContext& x) -> double& { return x.lineRectifier.*v; },
                     [=](AnalysisContext& x) -> double& { return li(x).rectifierBreakdownVoltage; },
                     d == 0 ? Kind::kReverse : Kind::kMagnitudeAtLeast});
    }
    c.push_back({51000, [](AnalysisContext& x) { x.pControlInput->optoVariant = 0; },
                 [](AnalysisContext& x) -> double& { return x.control.optoOutputStageVoltage; },
                 [](AnalysisContext& x) -> double& { return x.pControlInput->ledBreakdownVoltage; }, Kind::kReverse});
    c.push_back({51038, [=](AnalysisContext& x) { pi(x).turnOnFlagA = 1; },
                 [](AnalysisContext& x) -> double& { return x.primary.clampSwitchAux4; },
                 [=](AnalysisContext& x) -> double& { return pi(x).clampSwitchBreakdownVoltage; },
                 Kind::kMagnitudeAtLeast});
    c.push_back({51039, [=](AnalysisContext& x) { pi(x).switch1On = 1; },
                 [](AnalysisContext& x) -> double& { return x.primary.switch1VoltageCopy; },
                 [=](AnalysisContext& x) -> double& { return pi(x).switchBreakdownVoltage; }, Kind::kMagnitudeAtLeast});
    c.push_back({51040, [=](AnalysisContext& x) { pi(x).switch1On = 1, pi(x).secondSwitchOn = 1; },
                 [](AnalysisContext& x) -> double& { return x.primary.switch2Voltage; },
                 [=](AnalysisContext& x) -> double& { return pi(x).switchBreakdownVoltage; }, Kind::kMagnitudeAtLeast});
    for (int n = 4; n >= 1; --n) {
        const int i = n - 1;
        auto fi = [=](AnalysisContext& x) -> OutputFilterInputRec& { return *x.pOutputFilterInput[i]; };
        auto ri = [=](AnalysisContext& x) -> SecondaryRectifierInputRec& { return *x.pSecondaryRectifierInput[i]; };
        c.push_back({UINT(51024 + n), [=](AnalysisContext& x) { fi(x).senseDiodeOn = 1; },
                     [=](AnalysisContext& x) -> double& { return x.outputFilter[i].senseDiodeAux; },
                     [=](AnalysisContext& x) -> double& { return fi(x).senseRectifierBreakdownVoltage; },
                     Kind::kMagnitudeAtLeast});
        c.push_back({UINT(51028 + n), [=](AnalysisContext& x) { fi(x).senseDiodeOn = 1; },
                     [=](AnalysisContext& x) -> double& { return x.outputFilter[i].senseDiodeAux2; },
                     [=](AnalysisContext& x) -> double& { return fi(x).senseRectifierBreakdownVoltage; },
                     Kind::kMagnitudeAtLeast});
        c.push_back({UINT(51008 + n), [=](AnalysisContext& x) { ri(x).sectionQuantityFlagA = 1; },
                     [=](AnalysisContext& x) -> double& {
                         return x.secondaryRectifier[i].rectifier1AnodeToCathodeVoltage;
                     },
                     [=](AnalysisContext& x) -> double& { return ri(x).rectifier1BreakdownVoltage; },
                     Kind::kMagnitudeAtLeast});
        c.push_back({UINT(51012 + n), [=](AnalysisContext& x) { ri(x).sectionQuantityFlagB = 1; },
                     [=](AnalysisContext& x) -> double& { return x.secondaryRectifier[i].rectifierVoltage; },
                     [=](AnalysisContext& x) -> double& { return ri(x).rectifier2BreakdownVoltage; },
                     Kind::kMagnitudeAtLeast});
        c.push_back({UINT(51016 + n), [=](AnalysisContext& x) { ri(x).frequencyAnalysisFlagA = 1; },
                     [=](AnalysisContext& x) -> double& { return x.secondaryRectifier[i].switch1DrainToSourceVoltage; },
                     [=](AnalysisContext& x) -> double& { return ri(x).syncRectifier1BreakdownVoltage; },
                     Kind::kMagnitudeAtLeast});
        c.push_back({UINT(51020 + n), [=](AnalysisContext& x) { ri(x).frequencyAnalysisFlagB = 1; },
                     [=](AnalysisContext& x) -> double& { return x.secondaryRectifier[i].channelVoltage; },
                     [=](AnalysisContext& x) -> double& { return ri(x).syncRectifier2BreakdownVoltage; },
                     Kind::kMagnitudeAtLeast});
    }
    auto bulk = [=](AnalysisContext& x) -> double& { return li(x).bulkCapacitorBreakdownVoltage; };
    auto damp = [=](AnalysisContext& x) -> double& { return li(x).bulkDampingCapacitorBreakdownVoltage; };
    c.push_back({51050, [](AnalysisContext& x) { x.pSettings->lineRectifierVariant = 5; },
                 [](AnalysisContext& x) -> double& { return x.inputCapacitor.capacitorVoltage2; }, bulk,
                 Kind::kMagnitudeAtLeast});
    c.push_back({51051, nullptr, [](AnalysisContext& x) -> double& { return x.inputCapacitor.capacitorVoltage1; }, bulk,
                 Kind::kMagnitudeAtLeast});
    c.push_back({51052, [](AnalysisContext& x) { x.pSettings->inputCapacitorVariant = 2; },
                 [](AnalysisContext& x) -> double& { return x.inputCapacitor.capSlot1VoltageHeld; }, bulk,
                 Kind::kMagnitudeAtLeast});
    c.push_back({51053, nullptr, [](AnalysisContext& x) -> double& { return x.inputCapacitor.capSlot3VoltageHeld; },
                 bulk, Kind::kMagnitudeAtLeast});
    c.push_back({51054, [](AnalysisContext& x) { x.pSettings->inputCapacitorVariant = 3; },
                 [](AnalysisContext& x) -> double& { return x.inputCapacitor.capSlot2VoltageHeld; }, damp,
                 Kind::kMagnitudeAtLeast});
    c.push_back({51055, [](AnalysisContext& x) { x.pSettings->inputCapacitorVariant = 1; },
                 [](AnalysisContext& x) -> double& { return x.inputCapacitor.capSlot4VoltageHeld; }, damp,
                 Kind::kMagnitudeAtLeast});
    for (int ph = 3; ph >= 1; --ph) {
        const int i = ph - 1;
        const UINT id = UINT(51056 + 2 * (3 - ph));
        c.push_back({id, [=](AnalysisContext& x) { li(x).sourceOn = 1; },
                     [=](AnalysisContext& x) -> double& { return x.linePhase[i].filterVoltage; },
                     [=](AnalysisContext& x) -> double& { return li(x).filterCapacitorBreakdownVoltage; },
                     Kind::kMagnitudeAtLeast});
        c.push_back({id + 1, [=](AnalysisContext& x) { li(x).inputCapacitorOn = 1; },
                     [=](AnalysisContext& x) -> double& { return x.linePhase[i].filterCapVoltage2; },
                     [=](AnalysisContext& x) -> double& { return li(x).filterDampingCapacitorBreakdownVoltage; },
                     Kind::kMagnitudeAtLeast});
    }
    c.push_back({51062, [=](AnalysisContext& x) { pi(x).hasClampCapacitor = 1; },
                 [](AnalysisContext& x) -> double& { return x.primary.clampCapacitorVoltage; },
                 [=](AnalysisContext& x) -> double& { return pi(x).clampCapacitorBreakdownVoltage; },
                 Kind::kMagnitudeAbove});
    c.push_back({51063, [=](AnalysisContext& x) { pi(x).sectionQuantityFlagA = 1; },
                 [](AnalysisContext& x) -> double& { return x.primary.capacitorVoltage; },
                 [=](AnalysisContext& x) -> double& { return pi(x).resetCapacitorBreakdownVoltage; },
                 Kind::kMagnitudeAbove});
    for (int n = 4; n >= 1; --n) {
        const int i = n - 1;
        const UINT id = UINT(51064 + 4 * (4 - n));
        auto fi = [=](AnalysisContext& x) -> OutputFilterInputRec& { return *x.pOutputFilterInput[i]; };
        c.push_back({id, [=](AnalysisContext& x) { fi(x).capacitorOn = 1; },
                     [=](AnalysisContext& x) -> double& { return x.outputFilter[i].capacitorVoltage; },
                     [=](AnalysisContext& x) -> double& { return fi(x).capacitorBreakdownVoltage; },
                     Kind::kMagnitudeAtLeast});
        c.push_back({id + 1, [=](AnalysisContext& x) { fi(x).hasCapA2 = 1; },
                     [=](AnalysisContext& x) -> double& { return x.outputFilter[i].capA2Voltage; },
                     [=](AnalysisContext& x) -> double& { return fi(x).dampingCapacitorBreakdownVoltage; },
                     Kind::kMagnitudeAtLeast});
        c.push_back({id + 2, [=](AnalysisContext& x) { fi(x).hasCapB = 1; },
                     [=](AnalysisContext& x) -> double& { return x.outputFilter[i].capBVoltage; },
                     [=](AnalysisContext& x) -> double& { return fi(x).outputCapacitorBreakdownVoltage; },
                     Kind::kMagnitudeAtLeast});
        c.push_back({id + 3, [=](AnalysisContext& x) { fi(x).hasCapB2 = 1; },
                     [=](AnalysisContext& x) -> double& { return x.outputFilter[i].capB2Voltage; },
                     [=](AnalysisContext& x) -> double& { return fi(x).outputDampingCapacitorBreakdownVoltage; },
                     Kind::kMagnitudeAtLeast});
    }
    return c;
}

class StepChecks : public ::testing::Test {
protected:
    // A fresh run: every record at its presets (voltages not computed, parts absent), four
    // outputs and three line phases.
    void NewRun() {
        run_.reset();
        run_ = std::make_unique<AnalysisRun>(block_);
        ASSERT_EQ(run_->GetStatus(), AnalysisRun::Status::kLive);
        ctx_ = run_->Context();
        ctx_->pSettings->outputCount = 4;
        ctx_->pSettings->linePhaseCount = 3;
    }
    void SetUp() override { NewRun(); }
    void TearDown() override { run_.reset(); }

    size_t Boxes() const { return sink_.boxes.size(); }
    std::string Text(UINT id) const { return res::FindString(id); }

    fw::RecordingSink sink_;
    fw::ScopedReportSink scoped_{&sink_};
    AnalysisThreadParams block_;
    std::unique_ptr<AnalysisRun> run_;
    AnalysisContext* ctx_ = nullptr;
};

TEST_F(StepChecks, ThereAreSeventyOneChecks) {
    int count = 0;
    ForEachBreakdownCheck(*ctx_, [&](const BreakdownCheck& c) { EXPECT_EQ(c.order, count++); });
    EXPECT_EQ(count, kBreakdownCheckCount);
    EXPECT_EQ(AllChecks().size(), size_t(kBreakdownCheckCount));
}

// Each check alone: absent part silent whatever its voltage, just under the rating silent,
// at the rating (strict ones just above it) shown once, silent for the rest of the run and
// shown again in the next run.
TEST_F(StepChecks, EachCheckTripsAtItsComparisonOncePerRun) {
    const double R = 100.0;
    for (const Case& c : AllChecks()) {
        SCOPED_TRACE(c.id);
        NewRun();
        sink_.Clear();
        c.rating(*ctx_) = R;
        const double sign = c.kind == Kind::kReverse ? -1.0 : 1.0;
        if (c.enable) {
            c.voltage(*ctx_) = sign * 10.0 * R;
            CheckBreakdownVoltages(1);
            EXPECT_EQ(Boxes(), 0u) << "absent part";
            c.enable(*ctx_);
        }
        for (double v : {0.9999 * R, -0.9999 * R}) {
            c.voltage(*ctx_) = v;
            CheckBreakdownVoltages(1);
        }
        if (c.kind == Kind::kReverse) {
            c.voltage(*ctx_) = 1e6;  // forward, however large
            CheckBreakdownVoltages(0);
        }
        EXPECT_EQ(Boxes(), 0u) << "below the rating";
        c.voltage(*ctx_) = sign * R;
        CheckBreakdownVoltages(0);
        EXPECT_EQ(Boxes(), c.kind == Kind::kMagnitudeAbove ? 0u : 1u) << "at the rating";
        c.voltage(*ctx_) = sign * 1.001 * R;
        CheckBreakdownVoltages(0);
        CheckBreakdownVoltages(0);
        ASSERT_EQ(Boxes(), 1u) << "once per run";
        EXPECT_EQ(sink_.boxes[0].rfind(Text(c.id), 0), 0u) << sink_.boxes[0];
        if (c.kind == Kind::kMagnitudeAtLeast) {
            // The magnitude counts: a negative voltage trips as well.
            NewRun();
            c.rating(*ctx_) = R;
            if (c.enable) c.enable(*ctx_);
            c.voltage(*ctx_) = -R;
        }
        CheckBreakdownVoltages(1);
        EXPECT_EQ(Boxes(), 2u) << "a new run shows it again";
    }
}

TEST_F(StepChecks, ProblemTextCarriesVoltageRatingAndTime) {
    PrimaryInputRec& pi = *ctx_->pPrimaryInput;
    pi.switch1On = 1;
    pi.switchBreakdownVoltage = 50.0;
    ctx_->primary.switch1VoltageCopy = 61.25;
    ctx_->stepState.time = 1.5e-3;
    CheckStepLimits(1);
    ASSERT_EQ(Boxes(), 1u);
    EXPECT_EQ(sink_.boxes[0],
              "Break Down Volt Problem with primary switch, SW.1. \n\n6.125e+001 \t Volt  \n\n "
              "5.000e+001 \t Break Down Volt  \n\n 1.500e-003 \t Time ");
}

// All parts over their ratings at once: shown in the run's order. The reset winding scheme
// has no clamp rectifier, so D.CLAMP stays silent once the reset rectifier is enabled; the
// damped doubler (input capacitor variant 3) has all four bulk capacitors, each shown once
// though two checks watch each of the two bulk capacitors.
TEST_F(StepChecks, ChecksRunInTheirOrder) {
    const std::vector<Case> all = AllChecks();
    std::vector<std::string> expected;
    for (const Case& c : all) {
        if (c.enable) c.enable(*ctx_);
        c.rating(*ctx_) = 10.0;
        c.voltage(*ctx_) = c.kind == Kind::kReverse ? -20.0 : 20.0;
        // The bulk capacitors' held values are their voltages again: each capacitor shows once.
        if (c.id != 51034 && c.id != 51052 && c.id != 51053) expected.push_back(Text(c.id));
    }
    ctx_->pSettings->inputCapacitorVariant = 3;
    CheckBreakdownVoltages(1);
    ASSERT_EQ(sink_.boxes.size(), expected.size());
    for (size_t k = 0; k < expected.size(); ++k) {
        SCOPED_TRACE(k);
        EXPECT_EQ(sink_.boxes[k].substr(0, expected[k].size()), expected[k]);
    }
}

// Outputs N..1 only, and none for a count outside 1..4; phases 3, 2, 1 with three, 2, 1 with
// two, else phase 1 only.
TEST_F(StepChecks, OutputsAndPhasesVisitedByTheirCounts) {
    auto outputsShown = [&](int32_t count) {
        NewRun();
        sink_.Clear();
        ctx_->pSettings->outputCount = count;
        for (int i = 0; i < 4; ++i) {
            ctx_->pOutputFilterInput[i]->capacitorOn = 1;
            ctx_->pOutputFilterInput[i]->capacitorBreakdownVoltage = 1.0;
            ctx_->outputFilter[i].capacitorVoltage = 5.0;
        }
        CheckBreakdownVoltages(1);
        std::string shown;
        for (const std::string& b : sink_.boxes) shown += b.substr(b.find(", output ") + 9, 1);
        return shown;
    };
    EXPECT_EQ(outputsShown(1), "1");
    EXPECT_EQ(outputsShown(2), "21");
    EXPECT_EQ(outputsShown(4), "4321");
    EXPECT_EQ(outputsShown(0), "");
    EXPECT_EQ(outputsShown(5), "");

    auto phasesShown = [&](int32_t count) {
        NewRun();
        sink_.Clear();
        ctx_->pSettings->linePhaseCount = count;
        ctx_->pLineSourceInput->sourceOn = 1;
        ctx_->pLineSourceInput->filterCapacitorBreakdownVoltage = 1.0;
        for (int i = 0; i < 3; ++i) ctx_->linePhase[i].filterVoltage = 2.0 + i;  // phase p: p + 1 V
        CheckBreakdownVoltages(1);
        std::string shown;
        for (const std::string& b : sink_.boxes) shown += b.substr(b.find("\n\n") + 2, 1);
        return shown;
    };
    EXPECT_EQ(phasesShown(3), "432");
    EXPECT_EQ(phasesShown(2), "32");
    EXPECT_EQ(phasesShown(1), "2");
    EXPECT_EQ(phasesShown(0), "2");
}

// A latch set in a run stays set while its part is absent: only a first step with the part
// present re-arms it.
TEST_F(StepChecks, AbsentPartKeepsItsLatch) {
    PrimaryInputRec& pi = *ctx_->pPrimaryInput;
    pi.switch1On = 1;
    pi.switchBreakdownVoltage = 10.0;
    ctx_->primary.switch1VoltageCopy = 20.0;
    CheckBreakdownVoltages(1);
    pi.switch1On = 0;
    CheckBreakdownVoltages(1);
    pi.switch1On = 1;
    CheckBreakdownVoltages(0);
    EXPECT_EQ(Boxes(), 1u);
    CheckBreakdownVoltages(1);
    EXPECT_EQ(Boxes(), 2u);
}

// A part present without a rating has nothing to exceed: no problem, whatever its voltage.
TEST_F(StepChecks, PartWithoutARatingIsNotReported) {
    PrimaryInputRec& pi = *ctx_->pPrimaryInput;
    pi.switch1On = 1;
    pi.switchBreakdownVoltage = NOT_SET;
    ctx_->primary.switch1VoltageCopy = 20.0;
    CheckBreakdownVoltages(1);
    EXPECT_EQ(Boxes(), 0u);
}

TEST_F(StepChecks, SwitchingFrequencyWarning) {
    struct Step {
        int32_t firstStep;
        bool warns;
    };
    struct Row {
        const char* name;
        int32_t mode;
        double projected, target;
        std::vector<Step> steps;
    };
    const Row rows[] = {
        {"twice the target warns", 3, 2e-5, 1e-5, {{1, true}, {0, false}, {0, false}}},
        {"half the target warns", 3, 5e-6, 1e-5, {{1, true}}},
        {"just inside twice", 3, 1.999e-5, 1e-5, {{1, false}, {0, false}}},
        {"just inside half", 3, 5.001e-6, 1e-5, {{1, false}}},
        {"decided at the first step only", 3, 1e-5, 1e-5, {{1, false}}},
        {"other control modes never warn", 2, 1e-4, 1e-5, {{1, false}}},
        {"a new run warns again", 3, 1e-4, 1e-5, {{1, true}, {0, false}, {1, true}}},
        {"no period known yet", 3, NOT_SET, 1e-5, {{1, false}}},
    };
    const std::string text = Text(53026);
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        NewRun();
        ctx_->pControlInput->controlMode = r.mode;
        ctx_->stepState.driveEdgeCount = 40;  // the settling measured the period
        ctx_->stepState.switchingPeriod = r.projected;
        ctx_->pSettings->targetSwitchingPeriod = r.target;
        for (const Step& s : r.steps) {
            sink_.Clear();
            CheckStepLimits(s.firstStep);
            EXPECT_EQ(Boxes(), s.warns ? 1u : 0u);
            if (s.warns && Boxes() == 1) {
                EXPECT_EQ(sink_.boxes[0], text);
            }
        }
    }
    // The period is judged when the run starts: a later drift does not warn.
    NewRun();
    sink_.Clear();
    ctx_->pControlInput->controlMode = 3;
    ctx_->pSettings->targetSwitchingPeriod = 1e-5;
    ctx_->stepState.driveEdgeCount = 40;
    ctx_->stepState.switchingPeriod = 1e-5;
    CheckStepLimits(1);
    ctx_->stepState.switchingPeriod = 1e-3;
    CheckStepLimits(0);
    CheckProjectedFrequencyAtRunEnd();
    EXPECT_EQ(Boxes(), 0u);
}

// A turn-on run has measured no period at its first step (the period there is the target it
// started from): it is judged once, at its end, on the drive's rising edges in its last tenth.
TEST_F(StepChecks, SwitchingFrequencyOfATurnOnRunIsJudgedAtItsEnd) {
    struct Row {
        const char* name;
        int32_t mode;
        double startPeriod, laterPeriod;  // s, before and after the run's middle
        bool warns;
    };
    const Row rows[] = {
        {"far off warns once", 3, 3e-5, 3e-5, true},
        {"far off the other way", 3, 4e-6, 4e-6, true},
        {"near the target is quiet", 3, 1.2e-5, 1.2e-5, false},
        {"the start-up's long periods are left out", 3, 8e-5, 1e-5, false},
        {"fewer than two periods at the end are not judged", 3, 6e-5, 6e-5, false},
        {"other control modes never warn", 2, 3e-5, 3e-5, false},
    };
    const double end = 1e-3;
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        NewRun();
        sink_.Clear();
        ctx_->pControlInput->controlMode = r.mode;
        ctx_->pSettings->targetSwitchingPeriod = 1e-5;
        ctx_->pSettings->endTime = end;
        StepStateRec& step = ctx_->stepState;
        step.driveEdgeCount = 0;
        step.switchingPeriod = 1e-5;
        CheckStepLimits(1);
        for (double t = 1e-6; t < end; t += t < end / 2.0 ? r.startPeriod : r.laterPeriod) {
            ++step.driveEdgeCount;
            step.lastDriveEdgeTime = t;
            step.switchingPeriod = t / step.driveEdgeCount;  // the running mean goes on regardless
            CheckStepLimits(0);
        }
        EXPECT_EQ(Boxes(), 0u);
        CheckProjectedFrequencyAtRunEnd();
        CheckProjectedFrequencyAtRunEnd();
        EXPECT_EQ(Boxes(), r.warns ? 1u : 0u);
    }
}

// The status reaches the frame only when the run has a window to tell.
TEST_F(StepChecks, RunStatusIsPostedOnlyWithAWindow) {
    block_.hNotifyWnd = 0;
    PostRunStatus(42);
    EXPECT_TRUE(sink_.posts.empty());
    block_.hNotifyWnd = 1;
    PostRunStatus(1000);
    ASSERT_EQ(sink_.posts.size(), 1u);
    EXPECT_EQ(sink_.posts[0].message, WM_ANALYSIS_PROGRESS);
    EXPECT_EQ(sink_.posts[0].wParam, 1000);
    EXPECT_EQ(sink_.posts[0].lParam, 0);
}

// A run posts far more often than a frame can paint: repeats of one kind are held back, while
// the start code, each change of kind and a run's last post always go.
TEST_F(StepChecks, RunStatusPostsAreBoundedInTime) {
    block_.hNotifyWnd = 1;
    const auto begin = std::chrono::steady_clock::now();
    PostRunStatus(1000);
    for (int i = 0; i < 1000; ++i) PostRunStatus(998);
    for (int i = 0; i < 1000; ++i) PostRunStatus(999);
    PostRunStatus(37);
    PostRunStatus(38);
    PostRunStatus(100, true);
    PostRunStatus(1000);
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - begin).count();
    std::vector<intptr_t> codes;
    for (const auto& p : sink_.posts) codes.push_back(p.wParam);
    // A slow machine may let one interval pass inside a burst: one more repeat each time.
    const size_t extra = size_t(ms / kLeastRunStatusIntervalMs);
    ASSERT_GE(codes.size(), 6u);
    EXPECT_LE(codes.size(), 6u + extra);
    EXPECT_EQ(codes.front(), 1000);
    EXPECT_EQ(codes[1], 998);
    EXPECT_NE(std::find(codes.begin(), codes.end(), 999), codes.end());
    EXPECT_NE(std::find(codes.begin(), codes.end(), 37), codes.end());
    EXPECT_EQ(codes[codes.size() - 2], 100);
    EXPECT_EQ(codes.back(), 1000);
}

}  // namespace

namespace {

// Cycles of a two-switch primary: on for on[k] of a 10 us period, then the reset, still
// carrying im[k] A when the switch turns on again. The walking-core warning judges only
// turn-ons after the reset has not ended, at a duty that is not rising, with a growth that
// does not fade.
struct WalkCase {
    const char* name;
    std::vector<double> onTime;       // us, per cycle
    std::vector<double> currentAtOn;  // A, per turn-on
    bool warns;
};

TEST_F(StepChecks, CoreWalkIsSaidOnlyForAWalkThatLasts) {
    const double T = 10e-6;
    auto steady = [](int n, double v) { return std::vector<double>(size_t(n), v); };
    auto ramp = [](int n, double from, double step) {
        std::vector<double> v;
        for (int k = 0; k < n; ++k) v.push_back(from + k * step);
        return v;
    };
    auto squares = [](int n, double step) {  // growth rising with a rising duty
        std::vector<double> v;
        for (int k = 0; k < n; ++k) v.push_back(step * k * (k + 1) / 2.0);
        return v;
    };
    auto fading = [](int n, double first, double fade) {  // each growth 5 % below the last
        std::vector<double> v{0.0};
        double g = first;
        for (int k = 1; k < n; ++k, g *= 1.0 - fade) v.push_back(v.back() + g);
        return v;
    };
    const WalkCase cases[] = {
        {"steady duty past the reset limit", steady(8, 6.0), ramp(8, 0.0, 0.45), true},
        {"steady duty with its losses", steady(8, 6.0), fading(8, 0.45, 0.007), true},
        {"rising duty (soft start)", ramp(8, 4.0, 0.02), squares(8, 0.01), false},
        {"falling duty ending an overshoot", ramp(8, 5.5, -0.02), fading(8, 0.2, 0.05), false},
        {"reset keeps up", steady(8, 4.0), steady(8, 0.0), false},
    };
    for (const WalkCase& c : cases) {
        SCOPED_TRACE(c.name);
        NewRun();
        sink_.Clear();
        ctx_->pPrimaryInput->topology = 1;  // two switch, resistor sense
        StepStateRec& step = ctx_->stepState;
        step.switchingPeriod = T;
        PrimaryStateRec& p = ctx_->primary;
        double t = 0.0;
        p.switchState = 0;
        step.time = t;
        CheckStepLimits(1);
        for (size_t k = 0; k < c.onTime.size(); ++k) {
            // Turn-on (the reset still carrying after the first cycle), then turn-off.
            p.switchState = k == 0 ? 0 : 1;
            step.time = t - 1e-8;
            CheckStepLimits(0);
            p.switchState = 2;
            p.magnetizingCurrent = k == 0 ? 0.0 : c.currentAtOn[k];
            step.time = t;
            CheckStepLimits(0);
            p.switchState = 1;
            step.time = t + c.onTime[k] * 1e-6;
            CheckStepLimits(0);
            t += T;
        }
        const std::string walk = Text(58700);
        const bool warned = std::count(sink_.boxes.begin(), sink_.boxes.end(), walk) == 1;
        EXPECT_EQ(warned, c.warns);
    }
}

}  // namespace
