// The design-to-analysis fill, on designs built through the document's sections (the first
// regression design and variations of it): each input-record field against its source in the
// design or its derivation.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "analysis/context/AnalConst.h"
#include "circuit/AnalFill.h"
#include "circuit/Doc.h"
#include "designs/Designs.h"
#include "platform/core/ReportSink.h"
#include "records/Utils.h"

namespace {

class AnalFillTest : public ::testing::Test {
protected:
    // Also a fresh design for each row of a table: the old document goes first, since
    // it unregisters itself as the current one.
    void SetUp() override {
        doc.reset();
        doc = std::make_unique<CPwrQuorraDoc>();
        doc->OnNewDocument();
    }
    void TearDown() override {
        if (doc->HasAnalysisWorker()) doc->EndAnalysis();
    }

    BOOL Fill() {
        CAnalysisFill fill(*doc);
        const BOOL ok = fill.FillAnalysisRecords();
        problem = fill.GetProblem();
        return ok;
    }

    fw::RecordingSink sink;
    fw::ScopedReportSink scoped{&sink};
    std::unique_ptr<CPwrQuorraDoc> doc;
    std::string problem;
};

struct DoubleCase {
    const char* name;
    double actual;
    double expected;
};

void ExpectAll(const std::vector<DoubleCase>& cases) {
    for (const DoubleCase& c : cases) {
        if (c.expected == 0.0)
            EXPECT_EQ(c.actual, 0.0) << c.name;
        else
            EXPECT_NEAR(c.actual, c.expected, std::fabs(c.expected) * 1e-12) << c.name;
    }
}

struct WordCase {
    const char* name;
    int32_t actual;
    int32_t expected;
};

void ExpectAll(const std::vector<WordCase>& cases) {
    for (const WordCase& c : cases) EXPECT_EQ(c.actual, c.expected) << c.name;
}

// ---------------------------------------------------------------------------------------
TEST_F(AnalFillTest, TheFirstConfigurationBuildsAsACompleteDesign) {
    BuildFirstConfiguration(*doc);
    EXPECT_TRUE(doc->GetCircuitComplete());
}

TEST_F(AnalFillTest, FirstConfigurationSettings) {
    BuildFirstConfiguration(*doc);
    ASSERT_TRUE(Fill()) << problem;
    const AnalysisSettingsRec& s = *doc->GetAnalysisSettings();
    ExpectAll(std::vector<WordCase>{
        {"analysisKind", s.analysisKind, 0},
        {"skipInitializationLoop (fast by default)", s.skipInitializationLoop, 1},
        {"coupledOutputChokes", s.coupledOutputChokes, 0},
        {"outputCount", s.outputCount, 1},
        {"linePhaseCount (DC)", s.linePhaseCount, 1},
        {"lineRectifierForm", s.lineRectifierForm, 0},
        {"lineRectifierVariant", s.lineRectifierVariant, 0},
        {"lineFilterVariant", s.lineFilterVariant, 9},
        {"inputCapacitorVariant", s.inputCapacitorVariant, 0},
        {"progressInterval", s.progressInterval, 50},
        {"initIterationLimit", s.initIterationLimit, 50},
        {"stabilisationCycles", s.stabilisationCycles, 10},
    });
    ExpectAll(std::vector<DoubleCase>{
        {"openResistance", s.openResistance, 1e6},
        {"largeStepAttenuationFactor", s.largeStepAttenuationFactor, 0.9},
        {"largeStepAttenuationLimit", s.largeStepAttenuationLimit, 1e-7},
        {"smallStepAttenuationFactor", s.smallStepAttenuationFactor, 0.98},
        {"smallStepAttenuationLimit", s.smallStepAttenuationLimit, 3e-8},
        {"switchingFrequency", s.switchingFrequency, 1e5},
        {"switchingPeriodSetting = 1/f", s.switchingPeriodSetting, 1e-5},
        {"targetSwitchingPeriod = 1/f", s.targetSwitchingPeriod, 1e-5},
        {"endTime", s.endTime, 0.02},
        {"initialTimeStep = T/100", s.initialTimeStep, 1e-7},
        {"overlap step", s.stepSetupParamB, 1e-8},
        {"comparatorHysteresisLimit = 10 T", s.comparatorHysteresisLimit, 1e-4},
        // The graphs show the run's last 100 us: a step lands on the window's start (its end
        // is the end time).
        {"stepTimes[0] = graph window start", s.stepSetupParamA, 0.0199},
        {"stepTimes[1] unused", s.settingsSpareA, 0.0},
        {"outputChokeCoupling[0]", s.outputChokeCoupling[0], 0.0},
    });
    EXPECT_EQ(s.stepSetupFlagA, 1);  // stepTimeCount
    EXPECT_EQ(s.stepSetupFlagB, 0);  // stepTimeIndex
}

TEST_F(AnalFillTest, SweepSettingsComeFromTheStimulus) {
    BuildFirstConfiguration(*doc);
    CFreqDomainStimulusCfg& stim = doc->GetAnalysisConfig()->GetStimulusCfg();
    stim.m_dStartFrequency = 200.0;
    stim.m_dStopFrequency = 30e3;
    stim.m_nPointsPerDecade = 20;
    stim.m_dAmplitude = 0.05;
    stim.m_nChoice[size_t(CFreqDomainStimulusCfg::CHOICE_I2O_OUTPUT)] = 2;
    stim.m_nChoice[size_t(CFreqDomainStimulusCfg::CHOICE_AMP_OUTPUT)] = 1;
    stim.m_dMaxPhase[0] = -45.0;   // voltage loop: loop phase
    stim.m_dMaxPhase[2] = 10.0;    // voltage loop: error amplifier phase
    stim.m_dMaxPhase[10] = 90.0;   // amplifier phase
    stim.m_dMaxPhase[3] = -100.0;  // average current mode: loop phase
    stim.m_dMaxPhase[6] = -30.0;   // peak or hysteretic: loop phase, this (voltage-mode) design's
    ASSERT_TRUE(Fill()) << problem;
    const AnalysisSettingsRec& s = *doc->GetAnalysisSettings();
    ExpectAll(std::vector<WordCase>{
        {"inputToOutputOutput", s.inputToOutputOutput, 2},
        {"amplifierOutput", s.amplifierOutput, 1},
    });
    ExpectAll(std::vector<DoubleCase>{
        {"sweepStartFrequency", s.sweepStartFrequency, 200.0},
        {"sweepEndFrequency", s.sweepEndFrequency, 30e3},
        {"sweepFactor = 10^(1/20)", s.sweepFactor, std::pow(10.0, 0.05)},
        {"stimulusAmplitude", s.stimulusAmplitude, 0.05},
        {"avoidedFrequency (none)", s.avoidedFrequency, 0.0},
        {"voltageLoopPhaseMax1", s.voltageLoopPhaseMax1, -45.0},
        {"voltageLoopPhaseMin1 = max - 360", s.voltageLoopPhaseMin1, -405.0},
        {"voltageLoopPhaseMax3", s.voltageLoopPhaseMax3, 10.0},
        {"voltageLoopPhaseMin3", s.voltageLoopPhaseMin3, -350.0},
        {"amplifierPhaseMax", s.amplifierPhaseMax, 90.0},
        {"amplifierPhaseMin", s.amplifierPhaseMin, -270.0},
        {"currentLoopPhaseMax1 (the peak setup's)", s.currentLoopPhaseMax1, -30.0},
        {"currentLoopPhaseMin1", s.currentLoopPhaseMin1, -390.0},
    });
}

TEST_F(AnalFillTest, FirstConfigurationLineSource) {
    BuildFirstConfiguration(*doc);
    ASSERT_TRUE(Fill()) << problem;
    const LineSourceInputRec& r = *doc->GetLineSourceInput();
    const CCapacitor& cin = doc->GetInputCapacitor()->GetCapacitorIn();
    ExpectAll(std::vector<WordCase>{
        {"sourceOn", r.sourceOn, 0},
        {"inputCapacitorOn", r.inputCapacitorOn, 0},
        {"firstInductorOn", r.firstInductorOn, 0},
        {"secondInductorOn", r.secondInductorOn, 0},
        {"dampingInductorOn", r.dampingInductorOn, 0},
        {"dampingResistorOn", r.dampingResistorOn, 0},
        {"diode1Present", r.diode1Present, 0},
        {"outputCapacitorDoubled", r.outputCapacitorDoubled, 0},
        {"upper bulk present", r.sectionQuantityFlagA, 1},
        {"lower bulk damping", r.sectionQuantityFlagB, 0},
        {"outputCapacitor2On", r.outputCapacitor2On, 0},
    });
    ExpectAll(std::vector<DoubleCase>{
        {"lineInductance", r.lineInductance, 1e-6},
        {"lineResistance", r.lineResistance, 0.1},
        {"lineOffset (DC magnitude)", r.lineOffset, 48.0},
        {"lineMagnitude (AC peak)", r.lineMagnitude, 0.0},
        {"lineFrequency", r.lineFrequency, 0.0},
        {"bulk c1 = breakdown", r.bulkCapacitorBreakdownVoltage, cin.m_dBreakdownVoltage},
        {"bulk c2 = ESL", r.outputCapacitorInductance, cin.m_dEsl},
        {"bulk c3 = ESR", r.outputCapacitorResistance, cin.m_dEsr},
        {"bulk c4", r.sectionQuantityParamE, 0.0},
        {"bulk c5", r.sectionQuantityParamF, 0.0},
        {"bulk c6 = C", r.outputCapacitance, cin.m_dCapacitance},
    });
    // The preset input capacitor of the configuration.
    EXPECT_EQ(r.outputCapacitance, 1e-3);
    // No line filter: its groups stay not set.
    EXPECT_EQ(r.sourceBranchCapacitance, NOT_SET);
    EXPECT_EQ(r.secondInductorInductance, NOT_SET);
    // The line tables: one point at time 0, magnitude 0.
    EXPECT_EQ(doc->GetTable101(kLineOffsetBlockTable)->count, 1);
    EXPECT_EQ(doc->GetTable101(kLineOffsetBlockTable)->points[0].magnitude, 0.0);
}

TEST_F(AnalFillTest, FirstConfigurationPrimary) {
    BuildFirstConfiguration(*doc);
    ASSERT_TRUE(Fill()) << problem;
    const PrimaryInputRec& r = *doc->GetPrimaryInput();
    CPrimarySection& pri = *doc->GetPrimarySection();
    const CPwrTransformer& x = pri.GetPowerTransformer();
    const CTransistorFE& sw1 = pri.GetSwitchSW1();
    const double pwmDelay = doc->GetControlSection()->GetComparator1().m_dDelay;
    const double limitDelay = doc->GetControlSection()->GetComparator2().m_dDelay;
    ExpectAll(std::vector<WordCase>{
        {"topology", r.topology, 1},
        {"switch1On", r.switch1On, 1},
        {"secondSwitchOn", r.secondSwitchOn, 1},
        {"diode1On", r.diode1On, 1},
        {"senseResistorOn", r.senseResistorOn, 1},
        {"directSenseOn", r.directSenseOn, 1},
        {"senseAmplifierOn", r.senseAmplifierOn, 1},
        {"powerTransformerOn", r.powerTransformerOn, 1},
        {"currentSenseTransformerOn", r.currentSenseTransformerOn, 0},
        {"senseDiodeOn", r.senseDiodeOn, 0},
        {"resetWindingOn", r.resetWindingOn, 0},
        {"resetDiodeOn", r.resetDiodeOn, 0},
        {"clampCapacitorOn", r.clampCapacitorOn, 0},
        {"hasClampCapacitor", r.hasClampCapacitor, 0},
        {"clampResistorOn", r.clampResistorOn, 0},
        {"reset capacitor", r.sectionQuantityFlagA, 0},
        {"clamp switch", r.turnOnFlagA, 0},
        {"primarySign", r.primarySign, 1},
        {"stack2On1", r.stack2On1, 0},
        {"stack1On2", r.stack1On2, 0},
        {"stack3On4", r.stack3On4, 0},
    });
    ExpectAll(std::vector<DoubleCase>{
        {"primaryTurns", r.primaryTurns, 10.0},
        {"magnetizingInductanceNominal", r.magnetizingInductanceNominal, 2e-4},
        {"primaryWindingResistance", r.primaryWindingResistance, x.m_dDcResistance[0]},
        {"primaryWindingAcResistance", r.primaryWindingAcResistance, 1e-6},
        {"transformerCoreLoss", r.transformerCoreLoss, x.m_dCorePowerLoss},
        // k = sqrt(1 - 2 uH / 200 uH)
        {"couplingPriSec1", r.couplingPriSec1, std::sqrt(0.99)},
        {"couplingPriSec2 (absent)", r.couplingPriSec2, 0.0},
        {"couplingPriReset (absent)", r.couplingPriReset, 0.0},
        {"senseResistance", r.senseResistance, pri.GetSenseResistor().m_dResistance},
        {"senseResistorInductance", r.senseResistorInductance, pri.GetSenseResistor().m_dEsl},
        {"senseAmpGain", r.senseAmpGain, pri.GetSenseAmplifier().m_dVoltageGain},
        {"primarySeriesResistance = SW1 Ron", r.primarySeriesResistance, sw1.m_dOnResistance},
        {"SW1 body diode Vf", r.switch1DiodeParamA, sw1.m_dBodyDiodeForwardVoltage},
        {"SW1 body diode R", r.switch1DiodeParamB, sw1.m_dBodyDiodeResistance},
        {"switchBreakdownVoltage", r.switchBreakdownVoltage, sw1.m_dBreakdownVoltage},
        {"turnOnDelay = on delay + rise + PWM", r.turnOnDelay, sw1.m_dTurnOnDelay + sw1.m_dRiseTime + pwmDelay},
        {"off edge = off delay + fall + PWM", r.stepSetupParamP, sw1.m_dTurnOffDelay + sw1.m_dFallTime + pwmDelay},
        {"limit off edge = off delay + fall + PWM2", r.stepSetupParamQ,
         sw1.m_dTurnOffDelay + sw1.m_dFallTime + limitDelay},
        {"Csw = SW1 output capacitance", r.stepSetupParamR, sw1.m_dOutputCapacitance},
        {"output leakage delay 1", r.stepSetupParamB, 0.0},
        {"Diode 1 and 2 Vf", r.sectionQuantityParamI, pri.GetDiode1And2().m_dForwardVoltage},
        {"Diode 1 and 2 R", r.runCheckParamB, pri.GetDiode1And2().m_dDynamicResistance},
        {"Diode 1 and 2 Cj", r.stepSetupParamG, pri.GetDiode1And2().m_dJunctionCapacitance},
        {"rectifierBreakdownVoltage", r.rectifierBreakdownVoltage, pri.GetDiode1And2().m_dBreakdownVoltage},
    });
    // The configuration's preset figures.
    EXPECT_DOUBLE_EQ(r.turnOnDelay, 3e-8);
    EXPECT_EQ(r.sectionQuantityParamI, 0.7);
    // Parts the variant does not have stay not set.
    EXPECT_EQ(r.clampCapacitance, NOT_SET);
    EXPECT_EQ(r.resetTurns, NOT_SET);
    EXPECT_EQ(r.clampSwitchOnResistance, NOT_SET);
    // An empty saturation characteristic: one point at 0 A with the open-circuit inductance.
    const TimeMagnitudeTable& t = *doc->GetTable(kPowerXfmrTable);
    ASSERT_EQ(t.count, 1);
    EXPECT_EQ(t.points[0].time, 0.0);
    EXPECT_EQ(t.points[0].magnitude, 2e-4);
    EXPECT_EQ(doc->GetTable(kSenseXfmrTable)->count, 0);
}

TEST_F(AnalFillTest, FirstConfigurationOutput) {
    BuildFirstConfiguration(*doc);
    ASSERT_TRUE(Fill()) << problem;
    const SecondaryRectifierInputRec& sr = *doc->GetSecondaryRectifierInput(0);
    const OutputChokeInputRec& ch = *doc->GetOutputChokeInput(0);
    const OutputFilterInputRec& of = *doc->GetOutputFilterInput(0);
    const LoadNetworkInputRec& ld = *doc->GetLoadNetworkInput(0);
    CSecondarySection& sec = *doc->GetSecondarySection1();
    COutputChoke& choke = *doc->GetOutputChoke1();
    const CCapacitor& cout = doc->Get1StgOutputFilter1()->GetCapacitorOut1();
    const CResistor& rload = doc->GetLoadNetwork1()->GetResistorLoad2();
    ExpectAll(std::vector<WordCase>{
        {"diode rectifier 1", sr.sectionQuantityFlagA, 1},
        {"diode rectifier 2", sr.sectionQuantityFlagB, 1},
        {"Rect1Enabled (synchronous)", sr.frequencyAnalysisFlagA, 0},
        {"Rect2Enabled (synchronous)", sr.frequencyAnalysisFlagB, 0},
        {"resistiveRectifier", sr.resistiveRectifier, 0},
        {"chokeOn", ch.chokeOn, 1},
        {"skimWindingOn", ch.skimWindingOn, 0},
        {"seriesElementOn", ch.seriesElementOn, 1},
        {"choke sense amplifier", ch.engineSetupFlagA, 1},
        {"capacitorOn", of.capacitorOn, 1},
        {"hasCapA2", of.hasCapA2, 0},
        {"hasCapB", of.hasCapB, 0},
        {"first-stage variant", of.sectionQuantityFlagA, 0},
        {"second-stage variant", of.sectionQuantityFlagB, 0},
        {"outputNumber", of.outputNumber, 1},
        {"outputSign (end A grounded)", of.outputSign, 1},
        {"load variant", ld.sectionQuantityFlagA, 0},
        {"resistorOn", ld.resistorOn, 1},
        {"inductorOn", ld.inductorOn, 0},
        {"currentSourceOn", ld.currentSourceOn, 0},
    });
    ExpectAll(std::vector<DoubleCase>{
        {"dutyWeight (modulator not enabled)", sr.dutyWeight, 0.0},
        {"diodeDrop", sr.diodeDrop, 0.7},
        {"dynamicResistance", sr.dynamicResistance, sec.GetDiodeRectifier1().m_dDynamicResistance},
        {"forwardVoltage", sr.forwardVoltage, 0.7},
        {"secondDynamicResistance", sr.secondDynamicResistance, sec.GetDiodeRectifier2().m_dDynamicResistance},
        {"Cr1", sr.stepSetupParamA, sec.GetDiodeRectifier1().m_dJunctionCapacitance},
        {"Cr2", sr.stepSetupParamB, sec.GetDiodeRectifier2().m_dJunctionCapacitance},
        {"rectifier1BreakdownVoltage", sr.rectifier1BreakdownVoltage, sec.GetDiodeRectifier1().m_dBreakdownVoltage},
        {"rectifier2BreakdownVoltage", sr.rectifier2BreakdownVoltage, sec.GetDiodeRectifier2().m_dBreakdownVoltage},
        {"windingTurns", sr.windingTurns, 10.0},
        {"nominalWindingInductance", sr.nominalWindingInductance, 2e-4},
        {"windingResistance", sr.windingResistance, doc->GetPrimarySection()->GetPowerTransformer().m_dDcResistance[1]},
        {"windingAcResistance", sr.windingAcResistance, 1e-6},
        {"choke inductance", ch.inductance, 1e-4},
        {"choke windingResistance", ch.windingResistance, choke.GetInductorOut1().m_dDcResistance},
        {"chokeAcResistance", ch.chokeAcResistance, choke.GetInductorOut1().m_dAcResistance},
        {"chokeCoreLoss", ch.chokeCoreLoss, choke.GetInductorOut1().m_dCorePowerLoss},
        {"seriesResistance (Resistor Sense)", ch.seriesResistance, choke.GetSenseResistor().m_dResistance},
        {"seriesInductance (Resistor Sense ESL)", ch.seriesInductance, choke.GetSenseResistor().m_dEsl},
        {"seriesElementFactor (sense gain)", ch.seriesElementFactor, choke.GetSenseAmplifier().m_dVoltageGain},
        {"senseWeight", ch.senseWeight, 0.0},
        {"currentSenseWeight", ch.currentSenseWeight, 0.0},
        {"C.OUT1 c1 = breakdown", of.capacitorBreakdownVoltage, cout.m_dBreakdownVoltage},
        {"C.OUT1 c2 = ESL", of.rippleInductance, cout.m_dEsl},
        {"C.OUT1 c3 = ESR", of.rippleResistance, cout.m_dEsr},
        {"C.OUT1 c4", of.sectionQuantityParamA, 0.0},
        {"C.OUT1 c5", of.sectionQuantityParamB, 0.0},
        {"C.OUT1 c6 = C", of.capACapacitance, 100e-6},
        {"secondaryTurns (effective)", of.secondaryTurns, 10.0},
        {"modulator RC", of.engineSetupParamA, 0.0},
        {"load resistance", ld.resistance, 5.0},
        {"load ESL", ld.closedFormParamB, rload.m_dEsl},
        {"rippleWeight (output 1 at 100 %)", ld.rippleWeight, 1.0},
        {"outputVoltage (target)", ld.outputVoltage, 10.7},
    });
    const TimeMagnitudeTable& t = *doc->GetTable(OutputTableIndex(1, kChokeTable));
    ASSERT_EQ(t.count, 1);
    EXPECT_EQ(t.points[0].magnitude, 1e-4);
    // Output 2 is not in use: its records stay at their presets.
    EXPECT_EQ(doc->GetSecondaryRectifierInput(1)->windingTurns, NOT_SET);
    EXPECT_EQ(doc->GetOutputFilterInput(1)->outputNumber, 2);
}

TEST_F(AnalFillTest, FirstConfigurationControl) {
    BuildFirstConfiguration(*doc);
    ASSERT_TRUE(Fill()) << problem;
    const ControlInputRec& r = *doc->GetControlInput();
    CControlSection& c = *doc->GetControlSection();
    CVoltageErrorAmp& vea = *doc->GetVoltageErrorAmp();
    ExpectAll(std::vector<WordCase>{
        {"controlMode", r.controlMode, 2},
        {"veaVariant", r.veaVariant, 7},
        {"optoVariant", r.optoVariant, 6},
        {"veaOn", r.veaOn, 1},
        {"clockEnabled", r.clockEnabled, 1},
        {"currentLimitEnabled", r.currentLimitEnabled, 1},
        {"currentSenseSource (VISCL primary)", r.currentSenseSource, 0},
        {"senseSource", r.senseSource, 0},
        {"softStartCapOn", r.softStartCapOn, 1},
        {"softStartControlOn", r.softStartControlOn, 1},
        {"softStartResetEnabled", r.softStartResetEnabled, 0},
        {"softStartResetArmed", r.softStartResetArmed, 0},
        {"veaReferenceAcOn", r.veaReferenceAcOn, 0},
        {"errorInjectionOn", r.errorInjectionOn, 0},
        {"currentInjectionOn", r.currentInjectionOn, 0},
        {"referenceInPercent", r.referenceInPercent, 0},
        {"feedForwardOn", r.feedForwardOn, 0},
        {"clockInhibitDuringReset", r.clockInhibitDuringReset, 1},
        {"pwmLogicVoltageInPercent", r.pwmLogicVoltageInPercent, 1},
    });
    ExpectAll(std::vector<DoubleCase>{
        // 2 V peak to valley around 2 V, rising 90 % of 10 us.
        {"clockUpperLimit", r.clockUpperLimit, 3.0},
        {"clockLowerLimit", r.clockLowerLimit, 1.0},
        {"clockSecondSlope (rising)", r.clockSecondSlope, 2.0 / (0.9 * 1e-5)},
        {"clockFirstSlope (falling)", r.clockFirstSlope, -2.0 / (0.1 * 1e-5)},
        {"clockBlankingFraction", r.clockBlankingFraction, 0.0},
        {"pwmLogicVoltage (per cent)", r.pwmLogicVoltage, c.GetComparator1().m_dLogicVoltage},
        {"currentLimitThreshold = IRef", r.currentLimitThreshold, 5.0},
        {"currentLimitFilterResistance", r.currentLimitFilterResistance, 1e3},
        {"currentLimitFilterCapacitance", r.currentLimitFilterCapacitance, 1e-9},
        {"softStartRate = ISS / CSS", r.softStartRate,
         c.GetCurrentSourceISS().m_dDCMagnitude / c.GetCapacitorSS().m_dCapacitance},
        {"softStartOffset = USS", r.softStartOffset, 0.0},
        {"softStartResetThreshold", r.softStartResetThreshold, c.GetComparator2().m_dSoftStartThreshold},
        {"errorUpperLimit", r.errorUpperLimit, 5.0},
        {"veaLowerLimit", r.veaLowerLimit, 0.0},
        {"veaReferenceValue", r.veaReferenceValue, 1.5556},
        {"veaReferenceAmplitude", r.veaReferenceAmplitude, 0.0},
        {"veaReferenceFrequency", r.veaReferenceFrequency, 0.0},
        {"feedbackGain = VRef", r.feedbackGain, 1.5556},
        {"lockoutLevelA = UVLO on", r.lockoutLevelA, vea.GetUnderVoltLockOut().m_dTurnOnVoltage},
        {"lockoutLevelB = UVLO off", r.lockoutLevelB, vea.GetUnderVoltLockOut().m_dTurnOffVoltage},
        {"veaResistor1", r.veaResistor1, 1e6},
        {"veaCapacitor3", r.veaCapacitor3, vea.GetCapacitor3().m_dCapacitance},
        {"veaFeedbackResistor", r.veaFeedbackResistor, vea.GetResistorFeedback().m_dResistance},
        {"errorAmpOffset (UE)", r.errorAmpOffset, 0.0},
        {"currentInjectionOffset (no UI in voltage mode)", r.currentInjectionOffset, 0.0},
        {"currentInjectionAmplitude", r.currentInjectionAmplitude, 0.0},
    });
    // Single pole: no R2, R3, C1, C2.
    EXPECT_EQ(r.veaResistor2, NOT_SET);
    EXPECT_EQ(r.veaCapacitor2, NOT_SET);
    EXPECT_EQ(r.ledBreakdownVoltage, NOT_SET);
}

}  // namespace

namespace {

// ---------------------------------------------------------------------------------------
// Refusals: the run never starts on a value the models cannot use.

TEST_F(AnalFillTest, AMissingOrBrokenValueRefusesTheRunNamingIt) {
    struct Case {
        const char* what;
        void (*spoil)(CPwrQuorraDoc&);
        const char* named;
    };
    const Case cases[] = {
        {"not-set target voltage",
         [](CPwrQuorraDoc& d) { d.GetRequirements()->GetOutput(0)->SetTargetVoltage(NOT_SET); },
         "target voltage of the requirements"},
        {"line voltage not a number",
         [](CPwrQuorraDoc& d) { d.GetLineFilter()->GetLineVoltage().m_dDCMagnitude = std::nan(""); },
         "DC magnitude of the line filter"},
        {"clock rising all the period",
         [](CPwrQuorraDoc& d) { d.GetControlSection()->GetSawtoothClock().m_dPositiveSlopeDutyRatio = 100.0; },
         "clock falling slope of the control section"},
        {"coupling not a number",
         [](CPwrQuorraDoc& d) {
             d.GetPrimarySection()->GetPowerTransformer().Coupling(CPwrTransformer::kPrimary,
                                                                   CPwrTransformer::kSecondary1) = std::nan("");
         },
         "secondary coupling of the primary section"},
    };
    for (const Case& c : cases) {
        SetUp();
        BuildFirstConfiguration(*doc);
        c.spoil(*doc);
        sink.Clear();
        EXPECT_FALSE(doc->PrepareAnalysis()) << c.what;
        ASSERT_EQ(sink.boxes.size(), 1u) << c.what;
        EXPECT_EQ(sink.boxes[0], std::string("Problem:  Analysis was not run: the design gives no value for ") +
                                     c.named + ".")
            << c.what;
        // Nothing of the run was made.
        EXPECT_EQ(doc->GetThreadParams().hStartEvent, nullptr) << c.what;
    }
}

// A coupling of 0 was never computed: the winding would run dead, so the run is refused by name.
TEST_F(AnalFillTest, AnUncomputedCouplingRefusesTheRunNamingIt) {
    using X = CPwrTransformer;
    struct Case {
        int variant;
        int earlier, later;
        const char* named;
    };
    const Case cases[] = {
        {0, X::kPrimary, X::kSecondary1, "the primary and secondary 1"},
        {2, X::kPrimary, X::kReset, "the primary and the reset winding"},
        {3, X::kSecondary1, X::kReset, "secondary 1 and the reset winding"},
    };
    for (const Case& c : cases) {
        SetUp();
        BuildFirstConfiguration(*doc);
        CPrimarySection& pri = *doc->GetPrimarySection();
        pri.SetTopology(WORD(c.variant));
        pri.GetPowerTransformer().ComputeCoupling(OutputEnables{{1, 0, 0, 0}}, TRUE);
        ASSERT_TRUE(Fill()) << c.named << ": " << problem;
        pri.GetPowerTransformer().Coupling(c.earlier, c.later) = 0.0;
        EXPECT_FALSE(Fill());
        EXPECT_EQ(problem, std::string("Problem:  Analysis was not run: the power transformer has no coupling "
                                       "coefficient\nbetween ") +
                               c.named + ". Open the Power Transformer and press OK\nto compute its coupling coefficients.");
    }
    // Without a reset winding its couplings are not read.
    SetUp();
    BuildFirstConfiguration(*doc);
    doc->GetPrimarySection()->GetPowerTransformer().Coupling(X::kPrimary, X::kReset) = 0.0;
    EXPECT_TRUE(Fill()) << problem;
}

// A value outside the range its part editor allows (a file can carry anything) refuses the run
// by the field's name, with the value and the range; a temperature-scaled field names its
// part's base value. A variant past its section's list is refused as well, never run as
// another variant.
TEST_F(AnalFillTest, AValueNoPartEditorStoresRefusesTheRunNamingIt) {
    const std::string outside = " lies outside the range its part editor allows.";
    struct Case {
        const char* what;
        void (*spoil)(CPwrQuorraDoc&);
        std::string box;
    };
    const Case cases[] = {
        {"load ESL of 1e300", [](CPwrQuorraDoc& d) { d.GetLoadNetwork1()->GetResistorLoad2().m_dEsl = 1e300; },
         "the Resistor Load2 ESL of the load network (1e+300; from 0 to 10000)" + outside},
        {"negative load ESL", [](CPwrQuorraDoc& d) { d.GetLoadNetwork1()->GetResistorLoad2().m_dEsl = -1e-9; },
         "the Resistor Load2 ESL of the load network (-1e-009; from 0 to 10000)" + outside},
        {"choke of 1 kH", [](CPwrQuorraDoc& d) { d.GetOutputChoke1()->GetInductorOut1().m_dInductance = 1000.0; },
         "the Inductor Out 1 inductance of the output choke (1000; from 1e-009 to 100)" + outside},
        {"feedback resistor of 5e-324 ohm",
         [](CPwrQuorraDoc& d) { d.GetVoltageErrorAmp()->GetResistorFeedback().m_dResistance = 5e-324; },
         "the Resistor Feedback of the voltage error amplifier (its part's resistance 4.94065645841247e-324; "
         "from 1e-008 to 10000000000)" + outside},
        {"soft-start capacitor of 0 F",
         [](CPwrQuorraDoc& d) { d.GetControlSection()->GetCapacitorSS().m_dCapacitance = 0.0; },
         "the soft start rate of the control section (its part's capacitance 0; from 1e-014 to 1)" + outside},
        {"choke variant 13", [](CPwrQuorraDoc& d) { d.GetOutputChoke1()->SetTopology(13); },
         "the output choke of output 1 has a variant its list does not offer."},
        {"control variant 5", [](CPwrQuorraDoc& d) { d.GetControlSection()->SetTopology(5); },
         "the control section has a variant its list does not offer."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetUp();
        BuildFirstConfiguration(*doc);
        c.spoil(*doc);
        sink.Clear();
        EXPECT_FALSE(doc->PrepareAnalysis());
        ASSERT_EQ(sink.boxes.size(), 1u);
        EXPECT_EQ(sink.boxes[0], "Problem:  Analysis was not run: " + c.box);
        EXPECT_EQ(doc->GetThreadParams().hStartEvent, nullptr);
    }
}

TEST_F(AnalFillTest, AGoodDesignPreparesTheRun) {
    BuildFirstConfiguration(*doc);
    EXPECT_TRUE(doc->PrepareAnalysis());
    EXPECT_TRUE(sink.boxes.empty());
    EXPECT_EQ(doc->GetThreadParams().pPrimaryInput->topology, 1);
}

TEST_F(AnalFillTest, ANewDesignFillsOnlyThePresets) {
    ASSERT_TRUE(Fill()) << problem;
    EXPECT_EQ(doc->GetPrimaryInput()->topology, -1);
    EXPECT_EQ(doc->GetPrimaryInput()->primaryTurns, NOT_SET);
    EXPECT_EQ(doc->GetControlInput()->controlMode, -1);
    EXPECT_EQ(doc->GetSecondaryRectifierInput(0)->diodeDrop, NOT_SET);
}

TEST_F(AnalFillTest, ARefillForgetsWhatTheDesignNoLongerHas) {
    BuildFirstConfiguration(*doc);
    ASSERT_TRUE(Fill()) << problem;
    doc->GetPrimarySection()->SetTopology(kTopologyNotChosen);
    doc->GetRequirements()->GetOutput(0)->SetEnabled(FALSE);
    ASSERT_TRUE(Fill()) << problem;
    EXPECT_EQ(doc->GetPrimaryInput()->topology, -1);
    EXPECT_EQ(doc->GetPrimaryInput()->turnOnDelay, NOT_SET);
    EXPECT_EQ(doc->GetTable(kPowerXfmrTable)->count, 0);
    EXPECT_EQ(doc->GetOutputChokeInput(0)->inductance, NOT_SET);
    EXPECT_EQ(doc->GetAnalysisSettings()->outputCount, 0);
}

// ---------------------------------------------------------------------------------------
// Saturation tables from the core saturation characteristic.

TEST_F(AnalFillTest, SaturationTablesFromTheCoreCharacteristic) {
    struct Point {
        double current, inductance;
    };
    struct Case {
        const char* what;
        std::vector<Point> characteristic;
        bool ok;
        std::vector<Point> table;
    };
    const double l0 = 1e-4;  // Inductor Out 1's zero-current inductance
    const Case cases[] = {
        {"empty: the zero-current inductance alone", {}, true, {{0.0, l0}}},
        {"from 0 A: as given", {{0.0, 9e-5}, {2.0, 5e-5}}, true, {{0.0, 9e-5}, {2.0, 5e-5}}},
        {"from above 0 A: the zero-current point in front", {{1.0, 8e-5}, {3.0, 2e-5}}, true,
         {{0.0, l0}, {1.0, 8e-5}, {3.0, 2e-5}}},
        {"falling currents", {{0.0, l0}, {3.0, 5e-5}, {2.0, 4e-5}}, false, {}},
        {"the same current twice", {{0.0, l0}, {2.0, 5e-5}, {2.0, 4e-5}}, false, {}},
        {"a zero inductance", {{0.0, l0}, {2.0, 0.0}}, false, {}},
        {"a negative current", {{-1.0, l0}, {2.0, 5e-5}}, false, {}},
        {"a current not a number", {{0.0, l0}, {std::nan(""), 5e-5}}, false, {}},
    };
    for (const Case& c : cases) {
        SetUp();
        BuildFirstConfiguration(*doc);
        CCoreSatChar& sat = doc->GetOutputChoke1()->GetInductorOut1().m_CoreSatChar;
        for (size_t i = 0; i < c.characteristic.size(); ++i)
            sat.m_arPoints.AddCopy(int(i), CObCurrentInductance(c.characteristic[i].current,
                                                                c.characteristic[i].inductance));
        EXPECT_EQ(Fill(), c.ok ? TRUE : FALSE) << c.what;
        if (!c.ok) {
            EXPECT_EQ(problem, "Problem:  Analysis was not run: the core saturation characteristic of Inductor Out 1 "
                               "of output 1\nmust list currents rising from 0 amps, each with a positive "
                               "inductance,\nat most 102 points with the point at 0 amps.")
                << c.what;
            continue;
        }
        const TimeMagnitudeTable& t = *doc->GetTable(OutputTableIndex(1, kChokeTable));
        ASSERT_EQ(t.count, int32_t(c.table.size())) << c.what;
        for (size_t i = 0; i < c.table.size(); ++i) {
            EXPECT_EQ(t.points[i].time, c.table[i].current) << c.what << " point " << i;
            EXPECT_EQ(t.points[i].magnitude, c.table[i].inductance) << c.what << " point " << i;
        }
    }
}

TEST_F(AnalFillTest, ASaturationCharacteristicLongerThanTheTableIsRefused) {
    BuildFirstConfiguration(*doc);
    CCoreSatChar& sat = doc->GetPrimarySection()->GetPowerTransformer().m_CoreSatChar;
    // 102 points fill the table exactly; one more does not fit.
    for (int i = 0; i < 102; ++i) sat.m_arPoints.AddCopy(i, CObCurrentInductance(i * 0.1, 2e-4 - i * 1e-6));
    ASSERT_TRUE(Fill()) << problem;
    EXPECT_EQ(doc->GetTable(kPowerXfmrTable)->count, 102);
    sat.m_arPoints.AddCopy(102, CObCurrentInductance(20.0, 1e-5));
    EXPECT_FALSE(Fill());
    EXPECT_NE(problem.find("Power Transformer"), std::string::npos) << problem;
}

// ---------------------------------------------------------------------------------------
// Transient tables of the sources.

TEST_F(AnalFillTest, TransientTablesOfTheSources) {
    struct Point {
        double time, magnitude;
    };
    struct Case {
        const char* what;
        std::vector<Point> transient;
        bool ok;
        std::vector<Point> table;
    };
    const Case cases[] = {
        {"empty: the time-0 point", {}, true, {{0.0, 0.0}}},
        {"a point at 0 s replaces the time-0 point", {{0.0, 0.5}, {1e-3, 1.0}}, true, {{0.0, 0.5}, {1e-3, 1.0}}},
        {"later points follow it", {{1e-3, 1.0}, {2e-3, 0.0}}, true, {{0.0, 0.0}, {1e-3, 1.0}, {2e-3, 0.0}}},
        {"falling times", {{2e-3, 1.0}, {1e-3, 0.0}}, false, {}},
        {"a time twice", {{1e-3, 1.0}, {1e-3, 0.0}}, false, {}},
        {"a negative time", {{-1e-3, 1.0}}, false, {}},
        {"a magnitude not a number", {{1e-3, std::nan("")}}, false, {}},
    };
    for (const Case& c : cases) {
        SetUp();
        BuildFirstConfiguration(*doc);
        CObArrayTimeMagnitude& tr = doc->GetVoltageErrorAmp()->GetVoltageSourceVRef().m_Transient;
        for (size_t i = 0; i < c.transient.size(); ++i) {
            CObTimeMagnitude p;
            p.m_dTime = c.transient[i].time;
            p.m_dMagnitude = c.transient[i].magnitude;
            tr.AddCopy(int(i), p);
        }
        EXPECT_EQ(Fill(), c.ok ? TRUE : FALSE) << c.what;
        if (!c.ok) {
            EXPECT_EQ(problem, "Problem:  Analysis was not run: the transient table of VRef of the voltage error "
                               "amplifier\nmust list times rising from 0 seconds,\nat most 101 points with the point at 0 seconds.")
                << c.what;
            continue;
        }
        const TimeMagnitudeTable101& t = *doc->GetTable101(kVeaReferenceBlockTable);
        ASSERT_EQ(t.count, int32_t(c.table.size())) << c.what;
        for (size_t i = 0; i < c.table.size(); ++i) {
            EXPECT_EQ(t.points[i].time, c.table[i].time) << c.what << " point " << i;
            EXPECT_EQ(t.points[i].magnitude, c.table[i].magnitude) << c.what << " point " << i;
        }
        // Transient points make the reference vary.
        EXPECT_EQ(doc->GetControlInput()->veaReferenceAcOn, c.transient.empty() ? 0 : 1) << c.what;
    }
}

// ---------------------------------------------------------------------------------------
// Values at the operating temperature: 75 C, dT = 50 K.

TEST_F(AnalFillTest, ValuesAtTheOperatingTemperature) {
    BuildFirstConfiguration(*doc);
    doc->GetRequirements()->m_dOperatingTemp = 75.0;
    CCapacitor& cout = doc->Get1StgOutputFilter1()->GetCapacitorOut1();
    cout.m_dCapTempCoefLinear = 0.1;   // %/K
    cout.m_dCapTempCoefQuad = 0.002;   // %/K^2
    cout.m_dEsr = 0.01;
    cout.m_dEsrTempCoefLinear = -0.5;  // %/K
    cout.m_dEsrTempCoefQuad = 0.0;
    CResistor& rload = doc->GetLoadNetwork1()->GetResistorLoad2();
    rload.m_dTempCoefLinear = 100.0;   // ppm/K
    rload.m_dTempCoefQuad = 2.0;       // ppm/K^2
    CTransistorFE& sw1 = doc->GetPrimarySection()->GetSwitchSW1();
    sw1.m_dOnResistanceTempCoef = 0.6;  // %/K
    CDiode& d1 = doc->GetSecondarySection1()->GetDiodeRectifier1();
    ASSERT_TRUE(Fill()) << problem;
    ExpectAll(std::vector<DoubleCase>{
        // 100 uF x (1 + (0.1 x 50 + 0.002 x 2500) / 100) = 100 uF x 1.1
        {"capacitance", doc->GetOutputFilterInput(0)->capACapacitance, 100e-6 * 1.1},
        // 10 mohm x (1 - 0.5 x 50 / 100)
        {"ESR", doc->GetOutputFilterInput(0)->rippleResistance, 0.01 * 0.75},
        // 5 ohm x (1 + (100 x 50 + 2 x 2500) x 1e-6) = 5 ohm x 1.01
        {"resistance", doc->GetLoadNetworkInput(0)->resistance, 5.0 * 1.01},
        // 1 mohm x (1 + 0.6 x 50 / 100)
        {"on resistance", doc->GetPrimaryInput()->primarySeriesResistance, 1e-3 * 1.3},
        // 0.7 V x exp(-0.0036 x 50)
        {"forward voltage", doc->GetSecondaryRectifierInput(0)->diodeDrop,
         d1.m_dForwardVoltage * std::exp(d1.m_dForwardVoltageTempCoef * 50.0)},
        // No coefficient: as given.
        {"ESL", doc->GetOutputFilterInput(0)->rippleInductance, cout.m_dEsl},
    });
    EXPECT_LT(doc->GetSecondaryRectifierInput(0)->diodeDrop, 0.7);
}

}  // namespace

namespace {

// ---------------------------------------------------------------------------------------
// Other sections and variants.

TEST_F(AnalFillTest, LineFilterVariantsSetTheirElements) {
    struct Case {
        int variant;
        int32_t first, second, damping, dampingR, source, inputCap;
    };
    const Case cases[] = {
        {0, 0, 1, 0, 0, 0, 0}, {1, 0, 1, 0, 1, 0, 0}, {2, 0, 1, 1, 1, 0, 0}, {3, 1, 1, 0, 0, 1, 0},
        {4, 1, 1, 0, 0, 1, 1}, {5, 1, 1, 0, 1, 1, 0}, {6, 1, 1, 1, 1, 1, 0}, {7, 1, 1, 0, 1, 1, 1},
        {8, 1, 1, 1, 1, 1, 1}, {9, 0, 0, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SetUp();
        BuildFirstConfiguration(*doc);
        CLineFilter& f = *doc->GetLineFilter();
        f.SetTopology(WORD(c.variant));
        f.GetInductorIn1().m_dInductance = 11e-6;
        f.GetInductorIn2().m_dInductance = 12e-6;
        f.GetInductorDamp().m_dInductance = 13e-6;
        f.GetResistorDamp1().m_dResistance = 1.5;
        f.GetResistorDamp2().m_dResistance = 2.5;
        ASSERT_TRUE(Fill()) << c.variant << ": " << problem;
        const LineSourceInputRec& r = *doc->GetLineSourceInput();
        EXPECT_EQ(doc->GetAnalysisSettings()->lineFilterVariant, c.variant);
        ExpectAll(std::vector<WordCase>{
            {"firstInductorOn", r.firstInductorOn, c.first},
            {"secondInductorOn", r.secondInductorOn, c.second},
            {"dampingInductorOn", r.dampingInductorOn, c.damping},
            {"dampingResistorOn", r.dampingResistorOn, c.dampingR},
            {"sourceOn (Capacitor In)", r.sourceOn, c.source},
            {"inputCapacitorOn (Capacitor Damp)", r.inputCapacitorOn, c.inputCap},
            {"timeRunFlagA", r.timeRunFlagA, c.inputCap},
        });
        // A present element carries its part's values, an absent one stays not set.
        EXPECT_EQ(r.firstInductorInductance, c.first ? 11e-6 : NOT_SET) << c.variant;
        EXPECT_EQ(r.secondInductorInductance, c.second ? 12e-6 : NOT_SET) << c.variant;
        EXPECT_EQ(r.dampingInductorInductance, c.damping ? 13e-6 : NOT_SET) << c.variant;
        EXPECT_EQ(r.dampingResistance, c.dampingR ? 2.5 : NOT_SET) << c.variant;
        EXPECT_EQ(r.inputCapacitorExtraResistance, c.inputCap ? 1.5 : NOT_SET) << c.variant;
        EXPECT_EQ(doc->GetTable3(kLineFirstInductorTable)->count, c.first) << c.variant;
        EXPECT_EQ(doc->GetTable3(kLineSecondInductorTable)->count, c.second) << c.variant;
    }
}

TEST_F(AnalFillTest, LineRectifierCaseFromItsFormAndThePhases) {
    struct Case {
        WORD source;
        WORD form;
        int32_t phases, rectifierCase;
        unsigned diodes;  // bit n: diode n + 1
    };
    using R = CLineRectifier;
    using F = CLineFilter;
    const Case cases[] = {
        {F::SOURCE_DC, R::RECT_NONE, 1, 0, 0x00},
        {F::SOURCE_DC, R::RECT_HALF_WAVE, 1, 1, 0x01},
        {F::SOURCE_2_PHASE_AC, R::RECT_HALF_WAVE, 2, 2, 0x11},
        {F::SOURCE_3_PHASE_AC, R::RECT_HALF_WAVE, 3, 3, 0x51},
        {F::SOURCE_1_PHASE_AC, R::RECT_FULL_WAVE_BRIDGE, 1, 4, 0x0F},
        {F::SOURCE_1_PHASE_AC, R::RECT_HALF_WAVE_DOUBLER, 1, 5, 0x03},
        {F::SOURCE_2_PHASE_AC, R::RECT_FULL_WAVE_SINGLE_CAP, 2, 6, 0x33},
        {F::SOURCE_2_PHASE_AC, R::RECT_MULTI_PHASE_DOUBLER, 2, 7, 0x33},
        {F::SOURCE_3_PHASE_AC, R::RECT_FULL_WAVE_SINGLE_CAP, 3, 8, 0xF3},
        {F::SOURCE_3_PHASE_AC, R::RECT_MULTI_PHASE_DOUBLER, 3, 9, 0xF3},
    };
    for (const Case& c : cases) {
        SetUp();
        BuildFirstConfiguration(*doc);
        doc->GetLineFilter()->SetLineSourceType(c.source);
        doc->GetLineRectifier()->SetTopology(c.form);
        ASSERT_TRUE(Fill()) << c.form << "/" << c.phases << ": " << problem;
        const AnalysisSettingsRec& s = *doc->GetAnalysisSettings();
        EXPECT_EQ(s.linePhaseCount, c.phases);
        EXPECT_EQ(s.lineRectifierForm, int32_t(c.form));
        EXPECT_EQ(s.lineRectifierVariant, c.rectifierCase) << c.form << "/" << c.phases;
        const LineSourceInputRec& r = *doc->GetLineSourceInput();
        const int32_t present[8] = {r.diode1Present, r.diode2Present, r.diode3Present, r.diode4Present,
                                    r.diode5Present, r.diode6Present, r.diode7Present, r.diode8Present};
        for (unsigned n = 0; n < 8; ++n)
            EXPECT_EQ(present[n], int32_t((c.diodes >> n) & 1u)) << "case " << c.rectifierCase << " diode " << n + 1;
    }
    // A form that no case models with the source refuses the run.
    SetUp();
    BuildFirstConfiguration(*doc);
    doc->GetLineFilter()->SetLineSourceType(CLineFilter::SOURCE_3_PHASE_AC);
    doc->GetLineRectifier()->SetTopology(CLineRectifier::RECT_FULL_WAVE_BRIDGE);
    EXPECT_FALSE(Fill());
    EXPECT_EQ(problem, "Problem:  Analysis was not run: the line rectifier does not suit the line source.");
}

TEST_F(AnalFillTest, PrimaryVariantsSetTheirMembers) {
    struct Case {
        int variant;
        int32_t second, diode1, senseR, ct, resetWinding, resetDiode, clampCap, hasClamp, clampR, resetCap,
            clampSwitch;
    };
    const Case cases[] = {
        {0, 1, 1, 0, 1, 0, 0, 0, 0, 0, 0, 0}, {1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0, 0},
        {2, 0, 0, 0, 1, 1, 1, 0, 0, 0, 0, 0}, {3, 0, 0, 1, 0, 1, 1, 0, 0, 0, 0, 0},
        {4, 0, 0, 0, 1, 0, 0, 1, 0, 0, 1, 0}, {5, 0, 0, 1, 0, 0, 0, 1, 0, 0, 1, 0},
        {6, 0, 0, 0, 1, 0, 0, 1, 1, 0, 0, 1}, {7, 0, 0, 1, 0, 0, 0, 1, 1, 0, 0, 1},
        {8, 0, 0, 0, 1, 0, 1, 1, 1, 1, 0, 0}, {9, 0, 0, 1, 0, 0, 1, 1, 1, 1, 0, 0},
    };
    for (const Case& c : cases) {
        SetUp();
        BuildFirstConfiguration(*doc);
        CPrimarySection& pri = *doc->GetPrimarySection();
        pri.SetTopology(WORD(c.variant));
        pri.GetPowerTransformer().ComputeCoupling(OutputEnables{{1, 0, 0, 0}}, TRUE);
        ASSERT_TRUE(Fill()) << c.variant << ": " << problem;
        const PrimaryInputRec& r = *doc->GetPrimaryInput();
        ExpectAll(std::vector<WordCase>{
            {"topology", r.topology, c.variant},
            {"switch1On", r.switch1On, 1},
            {"secondSwitchOn", r.secondSwitchOn, c.second},
            {"diode1On", r.diode1On, c.diode1},
            {"senseResistorOn", r.senseResistorOn, c.senseR},
            {"senseAmplifierOn", r.senseAmplifierOn, c.senseR},
            {"currentSenseTransformerOn", r.currentSenseTransformerOn, c.ct},
            {"senseDiodeOn", r.senseDiodeOn, c.ct},
            {"resetWindingOn", r.resetWindingOn, c.resetWinding},
            {"resetDiodeOn", r.resetDiodeOn, c.resetDiode},
            {"clampCapacitorOn", r.clampCapacitorOn, c.clampCap},
            {"hasClampCapacitor", r.hasClampCapacitor, c.hasClamp},
            {"clampResistorOn", r.clampResistorOn, c.clampR},
            {"reset capacitor", r.sectionQuantityFlagA, c.resetCap},
            {"clamp switch", r.turnOnFlagA, c.clampSwitch},
            // The switching transitions: two switches in series, a reset winding, a clamp.
            {"transitionDoubled", r.transitionDoubled, c.diode1},
            {"transitionWinding", r.transitionWinding, c.resetWinding},
            {"transitionClamp", r.transitionClamp, c.hasClamp},
            {"transitionCapE", r.transitionCapE, 0},
        });
        const CPwrTransformer& x = pri.GetPowerTransformer();
        // The clamp switch turns off after the drive's on-edge and on after its off-edge.
        const CTransistorFE& sw2 = pri.GetSwitchSW2();
        CControlSection& ctl = *doc->GetControlSection();
        const double pwm = ctl.GetComparator1().m_dDelay, limit = ctl.GetComparator2().m_dDelay;
        EXPECT_EQ(r.clampSwitchOnEdgeDelay, c.clampSwitch ? sw2.m_dTurnOffDelay + sw2.m_dFallTime + pwm : 0.0)
            << c.variant;
        EXPECT_EQ(r.clampSwitchOffEdgeDelay, c.clampSwitch ? sw2.m_dTurnOnDelay + sw2.m_dRiseTime + pwm : 0.0)
            << c.variant;
        EXPECT_EQ(r.clampSwitchLimitDelay, c.clampSwitch ? sw2.m_dTurnOnDelay + sw2.m_dRiseTime + limit : 0.0)
            << c.variant;
        EXPECT_EQ(r.clampSwitchCapacitance, c.clampSwitch ? sw2.m_dOutputCapacitance : 0.0) << c.variant;
        EXPECT_EQ(r.primaryWindingCapacitance, x.m_dCapacitance[CPwrTransformer::kPrimary]) << c.variant;
        EXPECT_EQ(r.resetWindingCapacitance, c.resetWinding ? x.m_dCapacitance[CPwrTransformer::kReset] : 0.0)
            << c.variant;
        EXPECT_EQ(r.resetTurns, c.resetWinding ? x.m_dTurns[CPwrTransformer::kReset] : NOT_SET) << c.variant;
        EXPECT_EQ(r.couplingPriReset,
                  c.resetWinding ? x.Coupling(CPwrTransformer::kPrimary, CPwrTransformer::kReset) : 0.0)
            << c.variant;
        EXPECT_EQ(r.clampSwitchOnResistance, c.clampSwitch ? pri.GetSwitchSW2().m_dOnResistance : NOT_SET)
            << c.variant;
        EXPECT_EQ(r.senseXfmrSecondaryTurnsCount,
                  c.ct ? pri.GetCurrentSenseTransformer().m_dSecondaryTurns : NOT_SET)
            << c.variant;
        EXPECT_EQ(doc->GetTable(kSenseXfmrTable)->count, c.ct) << c.variant;
        EXPECT_EQ(r.senseSeriesResistance, c.ct ? pri.GetCurrentSenseDiode().m_dDynamicResistance : NOT_SET)
            << c.variant;
        // The clamp and reset diodes' drops and resistances; one capacitance for the clamp or
        // the reset capacitor, whichever the variant has.
        const bool passiveClamp = c.clampR != 0;
        EXPECT_EQ(r.sectionQuantityParamH != NOT_SET, passiveClamp) << c.variant;
        EXPECT_EQ(r.runCheckParamA, passiveClamp ? pri.GetClampDiode().m_dDynamicResistance : NOT_SET) << c.variant;
        EXPECT_EQ(r.sectionQuantityParamJ != NOT_SET, c.resetWinding != 0) << c.variant;
        EXPECT_EQ(r.runCheckParamC, c.resetWinding ? pri.GetResetDiode().m_dDynamicResistance : NOT_SET) << c.variant;
        const double capacitance = c.resetCap ? pri.GetResetCapacitor().m_dCapacitance
                                   : c.hasClamp ? pri.GetClampCapacitor().m_dCapacitance
                                                : NOT_SET;
        EXPECT_EQ(r.clampCapacitance == NOT_SET, capacitance == NOT_SET) << c.variant;
        EXPECT_TRUE(capacitance == NOT_SET || r.clampCapacitance > 0.0) << c.variant;
    }
}

// Two outputs on joined windings: output 2's winding sits on output 1's.
TEST_F(AnalFillTest, JoinedSecondariesStackAndAddTheirTurns) {
    BuildFirstConfiguration(*doc);
    doc->GetRequirements()->GetOutput(1)->SetEnabled(TRUE);
    doc->GetRequirements()->GetOutput(1)->SetTargetVoltage(20.0);
    doc->GetRequirements()->CheckOutputs(FALSE);
    CPwrTransformer& x = doc->GetPrimarySection()->GetPowerTransformer();
    x.m_dTurns[CPwrTransformer::kSecondary2] = 6.0;
    x.m_Connections[CPwrTransformer::kEndB] = CPwrTransformer::kAdjacentWinding;
    x.m_Connections[CPwrTransformer::kEndC] = CPwrTransformer::kAdjacentWinding;
    x.ComputeCoupling(OutputEnables{{1, 1, 0, 0}}, FALSE);
    doc->GetSecondarySection2()->SetTopology(0);
    doc->GetOutputChoke2()->SetTopology(0);
    doc->GetOutputChoke2()->SetDefaults();
    doc->Get1StgOutputFilter2()->SetTopology(0);
    doc->GetLoadNetwork2()->SetTopology(0);
    COutputChokeMutualInd& m = *doc->GetOutputChokeMutualInd();
    m.SetCouplingEnabled(TRUE);
    m.m_dCoupling[COutputChokeMutualInd::k12] = 0.5;
    ASSERT_TRUE(Fill()) << problem;
    const PrimaryInputRec& r = *doc->GetPrimaryInput();
    EXPECT_EQ(doc->GetAnalysisSettings()->outputCount, 2);
    EXPECT_EQ(r.stack2On1, 1);
    EXPECT_EQ(r.stack1On2, 0);
    EXPECT_EQ(r.stack3On2, 0);
    EXPECT_EQ(doc->GetOutputFilterInput(0)->outputSign, 1);
    EXPECT_EQ(doc->GetOutputFilterInput(1)->outputSign, 1);
    EXPECT_EQ(doc->GetOutputFilterInput(0)->secondaryTurns, 10.0);  // N1
    EXPECT_EQ(doc->GetOutputFilterInput(1)->secondaryTurns, 16.0);  // N2 + N1
    EXPECT_EQ(doc->GetSecondaryRectifierInput(1)->windingTurns, 6.0);  // the winding's own
    EXPECT_EQ(r.couplingPriSec2, x.Coupling(CPwrTransformer::kPrimary, CPwrTransformer::kSecondary2));
    EXPECT_EQ(r.couplingSec1Sec2, x.Coupling(CPwrTransformer::kSecondary1, CPwrTransformer::kSecondary2));
    EXPECT_EQ(r.couplingSec1Sec3, 0.0);
    EXPECT_EQ(doc->GetAnalysisSettings()->coupledOutputChokes, 1);
    EXPECT_EQ(doc->GetAnalysisSettings()->outputChokeCoupling[0], 0.5);
    EXPECT_EQ(doc->GetLoadNetworkInput(1)->outputVoltage, 20.0);
    EXPECT_EQ(doc->GetOutputChokeInput(1)->inductance, 1e-4);
    EXPECT_EQ(doc->GetTable(OutputTableIndex(2, kChokeTable))->count, 1);
}

TEST_F(AnalFillTest, OutputFilterAndLoadVariants) {
    struct FilterCase {
        int first, second;
        int32_t capA2, sensing, capB, capB2, dampingB, dampingL;
    };
    const FilterCase filters[] = {
        {0, 0, 0, 0, 0, 0, 0, 0}, {1, 1, 1, 0, 1, 0, 0, 0}, {2, 2, 0, 1, 1, 0, 1, 0}, {3, 3, 1, 1, 1, 1, 0, 0},
        {0, 4, 0, 0, 1, 0, 1, 1}, {0, 5, 0, 0, 1, 1, 1, 0}, {0, 6, 0, 0, 1, 1, 1, 1},
    };
    for (const FilterCase& c : filters) {
        SetUp();
        BuildFirstConfiguration(*doc);
        doc->Get1StgOutputFilter1()->SetTopology(WORD(c.first));
        doc->Get2StgOutputFilter1()->SetTopology(WORD(c.second));
        ASSERT_TRUE(Fill()) << c.first << "/" << c.second << ": " << problem;
        const OutputFilterInputRec& r = *doc->GetOutputFilterInput(0);
        ExpectAll(std::vector<WordCase>{
            {"first-stage variant", r.sectionQuantityFlagA, c.first},
            {"second-stage variant", r.sectionQuantityFlagB, c.second},
            {"hasCapA2", r.hasCapA2, c.capA2},
            {"senseXfmrOn", r.senseXfmrOn, c.sensing},
            {"senseDiodeOn", r.senseDiodeOn, c.sensing},
            {"hasCapB", r.hasCapB, c.capB},
            {"hasInductorB", r.hasInductorB, c.capB},
            {"hasCapB2", r.hasCapB2, c.capB2},
            {"hasDampingB", r.hasDampingB, c.dampingB},
            {"dampingInductorOn", r.dampingInductorOn, c.dampingL},
        });
        C2StgOutputFilter& f2 = *doc->Get2StgOutputFilter1();
        EXPECT_EQ(r.capBCapacitance, c.capB ? f2.GetCapacitorOut2().m_dCapacitance : NOT_SET);
        EXPECT_EQ(r.dampingResistance, c.dampingB ? f2.GetResistorDamp2().m_dResistance : NOT_SET);
        EXPECT_EQ(doc->GetTable(OutputTableIndex(1, kSecondStageInductorTable))->count, c.capB);
        EXPECT_EQ(doc->GetTable(OutputTableIndex(1, kCapSenseXfmrTable))->count, c.sensing);
    }

    struct LoadCase {
        int variant;
        int32_t resistor, inductor, source, firstBranch;
    };
    const LoadCase loads[] = {{0, 1, 0, 0, 0}, {1, 1, 1, 0, 0}, {2, 0, 0, 1, 0}, {3, 1, 1, 1, 1}};
    for (const LoadCase& c : loads) {
        SetUp();
        BuildFirstConfiguration(*doc);
        CLoadNetwork& ld = *doc->GetLoadNetwork1();
        ld.SetTopology(WORD(c.variant));
        ld.GetCurrentSourceILoad().m_dDCMagnitude = 1.25;
        ld.GetResistorLoad1().m_dResistance = 0.5;
        ASSERT_TRUE(Fill()) << c.variant << ": " << problem;
        const LoadNetworkInputRec& r = *doc->GetLoadNetworkInput(0);
        ExpectAll(std::vector<WordCase>{
            {"load variant", r.sectionQuantityFlagA, c.variant},
            {"resistorOn", r.resistorOn, c.resistor},
            {"inductorOn", r.inductorOn, c.inductor},
            {"currentSourceOn", r.currentSourceOn, c.source},
            {"firstBranchOn", r.firstBranchOn, c.firstBranch},
            {"firstInductorOn", r.firstInductorOn, c.firstBranch},
        });
        EXPECT_EQ(r.sourceCurrent, c.source ? 1.25 : 0.0) << c.variant;
        EXPECT_EQ(r.firstResistance, c.firstBranch ? 0.5 : NOT_SET) << c.variant;
        EXPECT_EQ(doc->GetTable(OutputTableIndex(1, kLoadInductor2Table))->count, c.inductor) << c.variant;
        EXPECT_EQ(doc->GetTable(OutputTableIndex(1, kLoadInductor1Table))->count, c.firstBranch) << c.variant;
    }
}

// The capacitor current sense network reaches the step whole: the transformer's two
// inductances for its secondary's share, Resistor Bias 2, Capacitor Bias and the diode's drop.
TEST_F(AnalFillTest, CapacitorCurrentSenseNetwork) {
    BuildCapacitorSense(*doc);
    C1StgOutputFilter& f1 = *doc->Get1StgOutputFilter1();
    f1.GetCurrentSenseDiode().m_dForwardVoltage = 0.4;
    f1.GetCurrentSenseDiode().m_dForwardVoltageTempCoef = 0.0;
    ASSERT_TRUE(Fill()) << problem;
    const OutputFilterInputRec& r = *doc->GetOutputFilterInput(0);
    EXPECT_EQ(r.senseBranchAOn, 1);
    EXPECT_EQ(r.senseBranchBOn, 1);
    EXPECT_EQ(r.csScaleNum, 10e-3);
    EXPECT_EQ(r.csScaleDen, 1e-6);
    EXPECT_DOUBLE_EQ(r.csCoupling, std::sqrt(0.99));
    EXPECT_EQ(r.senseResistance, 1.0);
    EXPECT_EQ(r.csTermC, 1.0);
    EXPECT_EQ(r.biasUpperResistance, 10e3);
    EXPECT_EQ(r.csTermA, 1e3);
    EXPECT_EQ(r.filterTermParamE, 100e-12);
    EXPECT_EQ(r.biasVoltage, 1.0);
    EXPECT_EQ(r.sectionQuantityParamR, 0.4);
    EXPECT_EQ(r.senseDiodeResistance, 0.01);
    EXPECT_EQ(doc->GetTable(OutputTableIndex(1, kCapSenseXfmrTable))->points[0].magnitude, 1e-6);
}

TEST_F(AnalFillTest, ErrorAmplifierNetworkOfEachVariant) {
    // R1 always; R2, C1 in 0; C3 in 0, 1, 3; R3, C2 in 0, 1, 2; Rfb in 4 to 7.
    struct Case {
        int variant;
        bool r2c1, c3, r3c2, rfb;
    };
    const Case cases[] = {{0, true, true, true, false}, {1, false, true, true, false},
                          {2, false, false, true, false}, {3, false, true, false, false},
                          {4, true, true, true, true},  {5, false, true, true, true},
                          {6, false, false, true, true},  {7, false, true, false, true}};
    for (const Case& c : cases) {
        SetUp();
        BuildFirstConfiguration(*doc);
        CVoltageErrorAmp& a = *doc->GetVoltageErrorAmp();
        a.SetTopology(WORD(c.variant));
        a.GetResistor2().m_dResistance = 2e3;
        a.GetResistor3().m_dResistance = 3e3;
        a.GetCapacitor1().m_dCapacitance = 1e-9;
        a.GetCapacitor2().m_dCapacitance = 2e-9;
        a.GetCapacitor3().m_dCapacitance = 3e-9;
        a.GetResistorFeedback().m_dResistance = 1e7;
        ASSERT_TRUE(Fill()) << c.variant << ": " << problem;
        const ControlInputRec& r = *doc->GetControlInput();
        EXPECT_EQ(r.veaVariant, c.variant);
        EXPECT_EQ(r.veaResistor1, 1e6) << c.variant;
        EXPECT_EQ(r.veaResistor2, c.r2c1 ? 2e3 : NOT_SET) << c.variant;
        EXPECT_EQ(r.veaCapacitor1, c.r2c1 ? 1e-9 : NOT_SET) << c.variant;
        EXPECT_EQ(r.veaCapacitor3, c.c3 ? 3e-9 : NOT_SET) << c.variant;
        EXPECT_EQ(r.veaResistor3, c.r3c2 ? 3e3 : NOT_SET) << c.variant;
        EXPECT_EQ(r.veaCapacitor2, c.r3c2 ? 2e-9 : NOT_SET) << c.variant;
        EXPECT_EQ(r.veaFeedbackResistor, c.rfb ? 1e7 : NOT_SET) << c.variant;
    }
}

TEST_F(AnalFillTest, ControlModesChooseTheirSourcesAndDelays) {
    struct Case {
        int mode;
        int32_t clock, feedForward, senseSource;
        bool injectsCurrent;
        bool limitByPwm;  // the current limit runs through Comparator PWM
    };
    const Case cases[] = {{0, 1, 0, 1, true, false}, {1, 1, 1, 0, false, false}, {2, 1, 0, 0, false, false},
                          {3, 0, 0, 1, true, true},  {4, 1, 0, 1, true, false}};
    for (const Case& c : cases) {
        SetUp();
        BuildFirstConfiguration(*doc);
        CControlSection& ctl = *doc->GetControlSection();
        ctl.SetTopology(WORD(c.mode));
        ctl.GetFeedbackCurrentSourceVIS().m_iSensedCurrent = CCrntSensSource::SENSE_CHOKE;
        ctl.GetVoltageSourceUI().m_dDCMagnitude = 0.25;
        ctl.GetComparator1().m_dDelay = 1e-8;
        ctl.GetComparator2().m_dDelay = 4e-8;
        ctl.GetResistor9().m_dResistance = 1.6e3;
        ctl.GetResistor10().m_dResistance = 1e5;
        ctl.GetCapacitor8().m_dCapacitance = 1e-6;
        ctl.GetResistor7().m_dResistance = 100.0;
        ctl.GetCapacitor6().m_dCapacitance = 1e-10;
        ASSERT_TRUE(Fill()) << c.mode << ": " << problem;
        const ControlInputRec& r = *doc->GetControlInput();
        EXPECT_EQ(r.controlMode, c.mode);
        EXPECT_EQ(r.clockEnabled, c.clock) << c.mode;
        EXPECT_EQ(r.feedForwardOn, c.feedForward) << c.mode;
        EXPECT_EQ(r.resetSwitchOn, c.feedForward) << c.mode;
        EXPECT_EQ(r.senseSource, c.senseSource) << c.mode;
        EXPECT_EQ(r.currentInjectionOffset, c.injectsCurrent ? 0.25 : 0.0) << c.mode;
        const CTransistorFE& sw1 = doc->GetPrimarySection()->GetSwitchSW1();
        EXPECT_DOUBLE_EQ(doc->GetPrimaryInput()->stepSetupParamQ,
                         sw1.m_dTurnOffDelay + sw1.m_dFallTime + (c.limitByPwm ? 1e-8 : 4e-8))
            << c.mode;
        if (!c.clock) {
            EXPECT_EQ(r.clockFirstSlope, NOT_SET) << c.mode;
        }
        // Hysteretic control: its reference is the comparator's logic level; R10 and C8 the
        // window's upper, filtering element, R9 its lower one; R7 and C6 filter the sense.
        EXPECT_EQ(r.referenceValue, c.mode == 3 ? ctl.GetComparator1().m_dLogicVoltage : 0.0) << c.mode;
        EXPECT_EQ(r.referenceInPercent, c.mode == 3 ? ctl.GetComparator1().m_nLogicVoltageInPercent : 0) << c.mode;
        EXPECT_EQ(r.hystOn, c.mode == 3 ? 1 : 0) << c.mode;
        if (c.mode == 3) {
            EXPECT_EQ(r.hystFilterResistance, ctl.GetResistor10().m_dResistance);
            EXPECT_EQ(r.hystDividerResistance, ctl.GetResistor9().m_dResistance);
            EXPECT_EQ(r.hystFilterCapacitance, ctl.GetCapacitor8().m_dCapacitance);
            EXPECT_EQ(r.rampResistance, ctl.GetResistor7().m_dResistance);
            EXPECT_EQ(r.rampCapacitance, ctl.GetCapacitor6().m_dCapacitance);
        }
        const COperationalAmplifier& op = ctl.GetOperationalAmplifier();
        EXPECT_EQ(r.hasCurrentAmp, c.mode == 4 ? 1 : 0) << c.mode;
        EXPECT_EQ(r.currentEaUpperLimit, c.mode == 4 ? op.m_dMaximumOutput : NOT_SET) << c.mode;
        EXPECT_EQ(r.currentEaLowerLimit, c.mode == 4 ? op.m_dMinimumOutput : NOT_SET) << c.mode;
    }
}

TEST_F(AnalFillTest, InputCapacitorVariantsAndTheirDamping) {
    struct Case {
        int variant;
        int32_t doubled, upperDamping, lowerDamping;
    };
    const Case cases[] = {{0, 0, 0, 0}, {1, 0, 1, 0}, {2, 1, 0, 0}, {3, 1, 1, 1}};
    for (const Case& c : cases) {
        SetUp();
        BuildFirstConfiguration(*doc);
        CInputCapacitor& in = *doc->GetInputCapacitor();
        in.SetTopology(WORD(c.variant));
        in.GetResistorDamp().m_dResistance = 0.47;
        in.GetResistorDamp().m_dEsl = 2e-9;
        in.GetCapacitorDamp().m_dCapacitance = 220e-6;
        ASSERT_TRUE(Fill()) << c.variant << ": " << problem;
        const LineSourceInputRec& r = *doc->GetLineSourceInput();
        EXPECT_EQ(doc->GetAnalysisSettings()->inputCapacitorVariant, c.variant);
        ExpectAll(std::vector<WordCase>{
            {"upper bulk", r.sectionQuantityFlagA, 1},
            {"outputCapacitorDoubled", r.outputCapacitorDoubled, c.doubled},
            {"outputCapacitor2On", r.outputCapacitor2On, c.upperDamping},
            {"lower bulk damping", r.sectionQuantityFlagB, c.lowerDamping},
        });
        // The damping branch: A = Resistor Damp ESL, B = its resistance.
        EXPECT_EQ(r.dampingCoeffA, c.upperDamping ? 2e-9 : NOT_SET) << c.variant;
        EXPECT_EQ(r.dampingCoeffB, c.upperDamping ? 0.47 : NOT_SET) << c.variant;
        EXPECT_EQ(r.outputCapacitor2Capacitance, c.upperDamping ? 220e-6 : NOT_SET) << c.variant;
    }
}

// Comparator PWM2's discharge flag is the design's one switch for the soft-start reset: it
// both enables and arms it.
TEST_F(AnalFillTest, SoftStartDischargeEnablesAndArmsTheReset) {
    BuildFirstConfiguration(*doc);
    CComparator& pwm2 = doc->GetControlSection()->GetComparator2();
    pwm2.m_nSoftStartDischarge = 1;
    pwm2.m_dSoftStartThreshold = 0.7;
    ASSERT_TRUE(Fill()) << problem;
    const ControlInputRec& r = *doc->GetControlInput();
    EXPECT_EQ(r.softStartResetEnabled, 1);
    EXPECT_EQ(r.softStartResetArmed, 1);
    EXPECT_EQ(r.softStartResetThreshold, 0.7);
}

// Weights in per cent become fractions; a weight counts only where its network takes part.
TEST_F(AnalFillTest, FeedbackWeightsAsFractions) {
    BuildFirstConfiguration(*doc);
    CVoltageFeedbackNetwork& vfn = *doc->GetVoltageFeedbackNetwork();
    vfn.m_bModulatorEnable[0] = 1;
    vfn.m_dModulatorWeight[0] = 40.0;
    vfn.m_dOutputWeight[0] = 60.0;
    vfn.m_dModulatorRC[0] = 2e-5;
    CCurrentFeedbackNetwork& cfn = *doc->GetCurrentFeedbackNetwork();
    cfn.m_bOutputEnable[0] = 1;
    cfn.m_dOutputWeight[0] = 100.0;
    CCurrentLimitNetwork& cln = *doc->GetCurrentLimitNetwork();
    cln.m_bOutputEnable[0] = 1;
    cln.m_dOutputWeight[0] = 50.0;
    ASSERT_TRUE(Fill()) << problem;
    EXPECT_EQ(doc->GetSecondaryRectifierInput(0)->dutyWeight, 0.4);
    EXPECT_EQ(doc->GetLoadNetworkInput(0)->rippleWeight, 0.6);
    EXPECT_EQ(doc->GetOutputFilterInput(0)->engineSetupParamA, 2e-5);
    // Voltage mode senses the primary: the current networks take no part.
    EXPECT_EQ(doc->GetOutputChokeInput(0)->senseWeight, 0.0);
    EXPECT_EQ(doc->GetOutputChokeInput(0)->currentSenseWeight, 0.0);

    CControlSection& ctl = *doc->GetControlSection();
    ctl.SetTopology(CControlSection::PEAK_CURRENT);
    ctl.GetFeedbackCurrentSourceVIS().m_iSensedCurrent = CCrntSensSource::SENSE_CHOKE;
    ctl.GetLimitCurrentSourceVISCL().m_iSensedCurrent = CCrntSensSource::SENSE_CHOKE;
    ASSERT_TRUE(Fill()) << problem;
    EXPECT_EQ(doc->GetOutputChokeInput(0)->senseWeight, 1.0);
    EXPECT_EQ(doc->GetOutputChokeInput(0)->currentSenseWeight, 0.5);
    EXPECT_EQ(doc->GetControlInput()->senseSource, 1);
    EXPECT_EQ(doc->GetControlInput()->currentSenseSource, 1);
    // A disabled output weight counts nothing.
    vfn.m_bOutputEnable[0] = 0;
    ASSERT_TRUE(Fill()) << problem;
    EXPECT_EQ(doc->GetLoadNetworkInput(0)->rippleWeight, 0.0);
}

}  // namespace

// Transistor rectifiers: rectifier 1 turns on after the drive's on-edge and off after its
// off-edge, rectifier 2 the other way round; their channels, both body diodes and their
// ratings reach the step; diode rectifiers load no timers.
TEST_F(AnalFillTest, TransistorRectifierDelaysAndValues) {
    BuildFirstConfiguration(*doc);
    CSecondarySection& sec = *doc->GetSecondarySection1();
    sec.SetSynchronous(TRUE);
    sec.SetRectifier1Kind(CSecondarySection::SYNCHRONOUS);
    sec.SetRectifier2Kind(CSecondarySection::SYNCHRONOUS);
    CTransistorFE& q1 = sec.GetTransistorRectifier1();
    CTransistorFE& q2 = sec.GetTransistorRectifier2();
    q1.m_dTurnOnDelay = 11e-9, q1.m_dRiseTime = 12e-9, q1.m_dTurnOffDelay = 13e-9, q1.m_dFallTime = 14e-9;
    q2.m_dTurnOnDelay = 21e-9, q2.m_dRiseTime = 22e-9, q2.m_dTurnOffDelay = 23e-9, q2.m_dFallTime = 24e-9;
    q1.m_dOnResistance = 0.021, q1.m_dBodyDiodeForwardVoltage = 0.61, q1.m_dBodyDiodeResistance = 0.031;
    q1.m_dBreakdownVoltage = 41.0;
    q2.m_dOnResistance = 0.032, q2.m_dBreakdownVoltage = 52.0;
    q2.m_dBodyDiodeForwardVoltage = 0.57, q2.m_dBodyDiodeResistance = 0.043;
    ASSERT_TRUE(Fill()) << problem;
    EXPECT_EQ(doc->GetSecondaryRectifierInput(0)->frequencyAnalysisFlagA, 1);
    EXPECT_EQ(doc->GetSecondaryRectifierInput(0)->frequencyAnalysisFlagB, 1);
    CControlSection& ctl = *doc->GetControlSection();
    const double pwm = ctl.GetComparator1().m_dDelay, limit = ctl.GetComparator2().m_dDelay;
    const SecondaryRectifierInputRec& r = *doc->GetSecondaryRectifierInput(0);
    ExpectAll(std::vector<DoubleCase>{
        {"rectifier 1 on after the on-edge", r.rect1OnEdgeDelay, 23e-9 + pwm},
        {"rectifier 1 off after the off-edge", r.rect1OffEdgeDelay, 27e-9 + pwm},
        {"rectifier 1 off at the limit", r.rect1LimitDelay, 27e-9 + limit},
        {"rectifier 2 off after the on-edge", r.rect2OnEdgeDelay, 47e-9 + pwm},
        {"rectifier 2 on after the off-edge", r.rect2OffEdgeDelay, 43e-9 + pwm},
        {"rectifier 2 on at the limit", r.rect2LimitDelay, 43e-9 + limit},
        {"rectifier 1 channel", r.onResistance, 0.021},
        {"rectifier 1 body diode forward voltage", r.secondDiodeVoltage, 0.61},
        {"rectifier 1 body diode resistance", r.secondDiodeResistance, 0.031},
        {"rectifier 1 breakdown", r.syncRectifier1BreakdownVoltage, 41.0},
        {"rectifier 2 channel", r.secondOnResistance, 0.032},
        {"rectifier 2 breakdown", r.syncRectifier2BreakdownVoltage, 52.0},
        {"rectifier 2 body diode forward voltage", r.bodyDiode2Voltage, 0.57},
        {"rectifier 2 body diode resistance", r.bodyDiode2Resistance, 0.043},
    });
    sec.SetRectifier1Kind(CSecondarySection::NON_SYNCHRONOUS);
    sec.SetRectifier2Kind(CSecondarySection::NON_SYNCHRONOUS);
    ASSERT_TRUE(Fill()) << problem;
    EXPECT_EQ(doc->GetSecondaryRectifierInput(0)->rect1OnEdgeDelay, 0.0);
    EXPECT_EQ(doc->GetSecondaryRectifierInput(0)->rect2OffEdgeDelay, 0.0);
}
