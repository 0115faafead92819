// The conduction consistency tests on a hand-built context: a consistent two-switch forward
// in its on state logs nothing; each inconsistency logs its own code (and only the codes
// that the same state also breaks); nothing runs with checks off or a low bulk voltage.
#include <gtest/gtest.h>

#include <algorithm>
#include <cfenv>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "analysis/context/AnalContext.h"
#include "analysis/timedomain/AnalChck.h"
#include "support/ReportCapture.h"

namespace {

class ConsistencyLog : public test_support::ReportCaptureTest {
protected:
    // Two-switch forward, one output, switch 1 on and the forward rectifier carrying the
    // choke current; 48 V bulk, undervoltage turn-on at 1 V.
    void NewContext() {
        run_.reset();
        run_ = std::make_unique<AnalysisRun>(block_);
        ctx_ = run_->Context();
        AnalysisContext& c = *ctx_;
        c.pSettings->loggingOn = 1;
        c.pSettings->outputCount = 1;
        c.pControlInput->lockoutLevelA = 1.0;
        c.inputCapacitor.inputVoltage = 48.0;
        PrimaryInputRec& pi = *c.pPrimaryInput;
        pi.switch1On = pi.secondSwitchOn = pi.diode1On = 1;
        pi.primaryTurns = 10.0;
        pi.sectionQuantityParamI = 0.7;  // rectifier pair Vf
        pi.switch1DiodeParamA = 0.7;     // switch 1 body diode Vf
        PrimaryStateRec& p = c.primary;
        p.switchState = c.primarySnapshot.switchState = 2;
        p.switch1Conducting = 1;
        p.primaryWindingVoltage = 47.0;
        p.transformerPrimaryCurrent = p.primaryWindingCurrent = 1.0;
        p.switch1VoltageCopy = 0.001;
        p.switch1Resistance = 1e-3;
        p.switch1DrainToSourceCurrent = 1.0;
        p.diode1Voltage = p.diode2Voltage = -48.0;
        SecondaryRectifierInputRec& ri = *c.pSecondaryRectifierInput[0];
        ri.sectionQuantityFlagA = ri.sectionQuantityFlagB = 1;
        ri.diodeDrop = ri.forwardVoltage = 0.7;
        OutputFilterInputRec& fi = *c.pOutputFilterInput[0];
        fi.outputSign = 1;
        fi.secondaryTurns = 10.0;
        SecondaryRectifierStateRec& r = c.secondaryRectifier[0];
        r.rectifier1On = 1;
        r.diodeConducting = 0;
        r.rectifier1AnodeToCathodeVoltage = 0.7;
        r.rectifierVoltage = -46.0;
        r.rectifierSectionInputVoltage = 47.0;
        r.rectifiedVoltage = 46.0;
        r.rectifierCurrent = 2.0;
        c.secondaryWinding[0].windingVoltage = 47.0;
        c.outputChoke[0].chokeCurrent = 2.0;
        c.outputChoke[0].chokeFlagA = 1;
    }
    void SetUp() override {
        ReportCaptureTest::SetUp();
        NewContext();
    }
    void TearDown() override {
        run_.reset();
        ReportCaptureTest::TearDown();
    }

    // The codes of one step's checks, sorted.
    std::vector<int> Logged() {
        RestartLog();
        std::feclearexcept(FE_ALL_EXCEPT);
        EXPECT_EQ(CheckSwitchQuantities(), 1);
        const std::string log = Log();
        std::vector<int> codes;
        const std::string mark = "AnalChck:  CODE ";
        for (size_t at = log.find(mark); at != std::string::npos; at = log.find(mark, at + 1))
            codes.push_back(std::stoi(log.substr(at + mark.size())));
        std::sort(codes.begin(), codes.end());
        return codes;
    }

    AnalysisThreadParams block_;
    std::unique_ptr<AnalysisRun> run_;
    AnalysisContext* ctx_ = nullptr;
};

using Codes = std::vector<int>;

TEST_F(ConsistencyLog, ConsistentOnStateLogsNothing) { EXPECT_EQ(Logged(), Codes{}); }

TEST_F(ConsistencyLog, EachInconsistencyLogsItsCode) {
    struct Row {
        const char* name;
        std::function<void(AnalysisContext&)> make;
        Codes codes;
    };
    const Row rows[] = {
        {"switch 1 and the clamp switch conduct together", [](AnalysisContext& c) { c.primary.clampSwitchActive = 1; },
         {13244}},
        {"primary winding above 1.2 x bulk", [](AnalysisContext& c) { c.primary.primaryWindingVoltage = 57.6; },
         {13245}},
        {"line diode 3 blocks beyond 2 Vf",
         [](AnalysisContext& c) {
             c.pLineSourceInput->diode3Present = 1;
             c.pLineSourceInput->rectifierForwardVoltage = 0.9;
             c.lineRectifier.diode3Voltage = 1.81;
         },
         {13251}},
        {"rectifier pair blocks forward, state unchanged",
         [](AnalysisContext& c) { c.primary.diode1Voltage = 1.5; }, {13263}},
        {"rectifier pair 2 blocks forward, state unchanged",
         [](AnalysisContext& c) { c.primary.diode2Voltage = 1.5; }, {13243}},
        {"rectifier pair quiet in the step the state changes",
         [](AnalysisContext& c) {
             c.primary.diode1Voltage = c.primary.diode2Voltage = 1.5;
             c.primarySnapshot.switchState = 1;
         },
         {}},
        {"switch 1 body diode off under reverse drain voltage",
         [](AnalysisContext& c) { c.primary.switch1VoltageCopy = -1.5; }, {13248}},
        {"switch 1 body diode off under the channel's reverse drop",
         [](AnalysisContext& c) { c.primary.switch1DrainToSourceCurrent = -1500.0; }, {13247}},
        {"freewheel diode blocks beyond 2 Vf", [](AnalysisContext& c) { c.secondaryRectifier[0].rectifierVoltage = 1.5; },
         {13257}},
        {"switch 2 body diode blocks beyond 2 Vf (diode 2 still below its own 2 Vf)",
         [](AnalysisContext& c) {
             SecondaryRectifierInputRec& ri = *c.pSecondaryRectifierInput[0];
             ri.resistiveRectifier = ri.frequencyAnalysisFlagB = 1;
             ri.bodyDiode2Voltage = 0.4;
             c.secondaryRectifier[0].rectifierVoltage = 0.81;
         },
         {13258}},
        {"switch 2 body diode conducting at that voltage",
         [](AnalysisContext& c) {
             SecondaryRectifierInputRec& ri = *c.pSecondaryRectifierInput[0];
             ri.resistiveRectifier = ri.frequencyAnalysisFlagB = 1;
             ri.bodyDiode2Voltage = 0.4;
             c.secondaryRectifier[0].rectifierVoltage = 0.81;
             c.secondaryRectifier[0].bodyDiode2Conducting = 1;
         },
         {}},
        {"no transistor at rectifier 2: no body diode to test",
         [](AnalysisContext& c) {
             c.pSecondaryRectifierInput[0]->bodyDiode2Voltage = 0.4;
             c.secondaryRectifier[0].rectifierVoltage = 0.81;
         },
         {}},
        {"forward diode blocks beyond 2 Vf + 1 V",
         [](AnalysisContext& c) {
             SecondaryRectifierStateRec& r = c.secondaryRectifier[0];
             r.rectifier1On = 0;
             r.diodeConducting = 1;
             r.rectifier1AnodeToCathodeVoltage = 2.5;
         },
         {13259}},
        {"forward diode test waits in state 0",
         [](AnalysisContext& c) {
             SecondaryRectifierStateRec& r = c.secondaryRectifier[0];
             r.rectifier1On = 0;
             r.diodeConducting = 1;
             r.rectifier1AnodeToCathodeVoltage = 2.5;
             c.primary.switchState = c.primarySnapshot.switchState = 0;
             c.primary.transformerPrimaryCurrent = 0.0;
         },
         {}},
        {"secondary winding beyond the turns ratio",
         [](AnalysisContext& c) { c.secondaryWinding[0].windingVoltage = 63.1; }, {13238}},
        {"rectifier output beyond its input",
         [](AnalysisContext& c) { c.secondaryRectifier[0].rectifiedVoltage = 57.4; }, {13240}},
        {"rectifier output beyond what the bulk allows",
         [](AnalysisContext& c) {
             c.secondaryRectifier[0].rectifierSectionInputVoltage = 60.0;
             c.secondaryRectifier[0].rectifiedVoltage = 62.41;
         },
         {13203}},
        {"state 2 with switch 1 off", [](AnalysisContext& c) { c.primary.switch1Conducting = 0; }, {13222}},
        {"state 2 with the rectifier pair on", [](AnalysisContext& c) { c.primary.resetRectifiersOn = 1; }, {13225}},
        {"reset state with primary current and the pair off",
         [](AnalysisContext& c) {
             c.primary.switchState = c.primarySnapshot.switchState = 1;
             c.primary.switch1Conducting = 0;
             c.secondaryRectifier[0].rectifier1On = 0;
             c.secondaryRectifier[0].diodeConducting = 1;
         },
         {13228}},
        {"choke current with neither rectifier on",
         [](AnalysisContext& c) { c.secondaryRectifier[0].rectifier1On = 0; }, {13210}},
        {"choke current with neither rectifier on, choke flag clear",
         [](AnalysisContext& c) {
             c.secondaryRectifier[0].rectifier1On = 0;
             c.outputChoke[0].chokeFlagA = 0;
         },
         {13210, 13215}},
        {"forward rectifier on in the reset, choke flag clear",
         [](AnalysisContext& c) {
             c.primary.switchState = c.primarySnapshot.switchState = 1;
             c.primary.switch1Conducting = 0;
             c.primary.resetRectifiersOn = 1;
             c.outputChoke[0].chokeFlagA = 0;
         },
         {13214}},
        {"passive clamp: reset current with the clamp rectifier off",
         [](AnalysisContext& c) {
             c.pPrimaryInput->secondSwitchOn = c.pPrimaryInput->diode1On = 0;
             c.pPrimaryInput->resetDiodeOn = 1;
             c.primary.switchState = c.primarySnapshot.switchState = 1;
             c.primary.switch1Conducting = 0;
             c.secondaryRectifier[0].rectifier1On = 0;
             c.secondaryRectifier[0].diodeConducting = 1;
         },
         {13232}},
        {"active clamp channel on while switch 1 is",
         [](AnalysisContext& c) {
             c.pPrimaryInput->turnOnFlagA = 1;
             c.primary.clampSwitchActive = 1;
         },
         {13223, 13244}},
        {"active clamp body diode on while switch 1 is",
         [](AnalysisContext& c) {
             c.pPrimaryInput->turnOnFlagA = 1;
             c.primary.clampSwitchDiodeConducting = 1;
         },
         {13224, 13244}},
        {"active clamp in the reset with neither clamp device on",
         [](AnalysisContext& c) {
             PrimaryInputRec& pi = *c.pPrimaryInput;
             pi.secondSwitchOn = pi.diode1On = 0;
             pi.turnOnFlagA = 1;
             c.primary.switchState = c.primarySnapshot.switchState = 1;
             c.primary.switch1Conducting = 0;
             c.primary.transformerPrimaryCurrent = -1.0;
             c.secondaryRectifier[0].rectifier1On = 0;
             c.secondaryRectifier[0].diodeConducting = 1;
         },
         {13230, 13231}},
        {"active clamp before the first pulse: the open switch's leakage needs no clamp",
         [](AnalysisContext& c) {
             PrimaryInputRec& pi = *c.pPrimaryInput;
             pi.secondSwitchOn = pi.diode1On = 0;
             pi.turnOnFlagA = 1;
             c.primary.switchState = c.primarySnapshot.switchState = 0;
             c.primary.switch1Conducting = 0;
             c.primary.primaryWindingCurrent = c.primary.transformerPrimaryCurrent = 2e-6;
             c.secondaryRectifier[0].rectifier1On = 0;
             c.secondaryRectifier[0].diodeConducting = 1;
         },
         {}},
        {"clamp switch body diode blocks beyond 2 Vf",
         [](AnalysisContext& c) {
             c.pPrimaryInput->turnOnFlagA = 1;
             c.pPrimaryInput->clampSwitchDiodeParamA = 0.7;
             c.primary.clampSwitchAux4 = -1.5;
         },
         {13265}},
        {"clamp rectifier blocks beyond 2 Vf",
         [](AnalysisContext& c) {
             c.pPrimaryInput->resetDiodeOn = 1;
             c.pPrimaryInput->sectionQuantityParamH = 0.7;
             c.primary.resetDiodeVoltage = 1.5;
         },
         {13261}},
        {"current sense rectifier blocks beyond 2 Vf",
         [](AnalysisContext& c) {
             c.pPrimaryInput->senseDiodeOn = c.pPrimaryInput->currentSenseTransformerOn = 1;
             c.pPrimaryInput->senseRectifierForwardVoltage = 0.7;
             c.engine.senseTransformerConducting = 0;
             c.primary.currentSenseRectifierAnodeToCathodeVoltage = 1.5;
         },
         {13262}},
        {"current sense rectifier conducting",
         [](AnalysisContext& c) {
             c.pPrimaryInput->senseDiodeOn = c.pPrimaryInput->currentSenseTransformerOn = 1;
             c.pPrimaryInput->senseRectifierForwardVoltage = 0.7;
             c.engine.senseTransformerConducting = 1;
             c.primary.currentSenseRectifierAnodeToCathodeVoltage = 1.5;
         },
         {}},
        {"clamp rectifier on while switch 1 is",
         [](AnalysisContext& c) {
             c.pPrimaryInput->resetDiodeOn = 1;
             c.primary.clampRectifierOn = 1;
         },
         {13226}},
        {"reset rectifier on while switch 1 is",
         [](AnalysisContext& c) {
             c.pPrimaryInput->resetDiodeOn = c.pPrimaryInput->resetWindingOn = 1;
             c.primary.resetRectifierOn = 1;
         },
         {13227}},
        {"reset rectifier blocks beyond 2 Vf",
         [](AnalysisContext& c) {
             c.pPrimaryInput->resetDiodeOn = c.pPrimaryInput->resetWindingOn = 1;
             c.pPrimaryInput->sectionQuantityParamJ = 0.7;
             c.primary.senseAmpVoltage = 1.5;
         },
         {13264}},
        {"reset winding current with the reset rectifier off",
         [](AnalysisContext& c) {
             PrimaryInputRec& pi = *c.pPrimaryInput;
             pi.secondSwitchOn = pi.diode1On = 0;
             pi.resetDiodeOn = pi.resetWindingOn = 1;
             c.primary.switchState = c.primarySnapshot.switchState = 1;
             c.primary.switch1Conducting = 0;
             c.primary.resetWindingCurrent = 0.5;
             c.secondaryRectifier[0].rectifier1On = 0;
             c.secondaryRectifier[0].diodeConducting = 1;
         },
         {13229}},
        {"reset winding voltage below its reverse bound",
         [](AnalysisContext& c) {
             PrimaryInputRec& pi = *c.pPrimaryInput;
             pi.secondSwitchOn = pi.diode1On = 0;
             pi.resetDiodeOn = pi.resetWindingOn = 1;
             pi.resetTurns = 10.0;
             pi.sectionQuantityParamJ = 0.7;
             c.primary.resetWindingVoltage = -72.0;  // -1.5 x 48
         },
         {13209, 13239}},
        {"reset winding voltage above its forward bound",
         [](AnalysisContext& c) {
             PrimaryInputRec& pi = *c.pPrimaryInput;
             pi.secondSwitchOn = pi.diode1On = 0;
             pi.resetDiodeOn = pi.resetWindingOn = 1;
             pi.resetTurns = 10.0;
             pi.sectionQuantityParamJ = 0.7;
             c.primary.resetWindingVoltage = 72.7;
         },
         {13209, 13241}},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        NewContext();
        r.make(*ctx_);
        EXPECT_EQ(Logged(), r.codes);
        // A finding is logged again at every step it holds.
        if (!r.codes.empty()) {
            EXPECT_EQ(Logged(), r.codes);
        }
    }
}

TEST_F(ConsistencyLog, RunOnlyWithChecksOnAndTheBulkUp) {
    ctx_->primary.switch1Conducting = 0;  // would log 13222
    ctx_->pSettings->loggingOn = 0;
    EXPECT_EQ(Logged(), Codes{});
    ctx_->pSettings->loggingOn = 1;
    ctx_->inputCapacitor.inputVoltage = 1.0;  // not above the 1 V threshold
    EXPECT_EQ(Logged(), Codes{});
    ctx_->inputCapacitor.inputVoltage = 1.01;  // the 46 V output is now beyond what it allows too
    EXPECT_EQ(Logged(), (Codes{13203, 13222}));
}

// At 2 V and below the winding tests skip; at 1 V and below the output test too.
TEST_F(ConsistencyLog, LowBulkSkipsTheWindingAndOutputTests) {
    ctx_->pControlInput->lockoutLevelA = 0.5;
    ctx_->primary.primaryWindingVoltage = 2.4;            // 1.2 x 2 V
    ctx_->secondaryRectifier[0].rectifiedVoltage = 2.61;  // above 2 V x 1.3
    ctx_->secondaryRectifier[0].rectifierSectionInputVoltage = 10.0;
    ctx_->secondaryWinding[0].windingVoltage = 1.0;
    ctx_->inputCapacitor.inputVoltage = 2.0;
    EXPECT_EQ(Logged(), Codes{13203});
    ctx_->inputCapacitor.inputVoltage = 1.0;
    ctx_->secondaryRectifier[0].rectifiedVoltage = 1.31;
    EXPECT_EQ(Logged(), Codes{});
}

}  // namespace
