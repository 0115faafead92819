// The flat records through which the document hands a design to the analysis: the run
// settings and one input record per section (per output where the section is per
// output). The document owns and fills them before a run; a run reads its own copies
// (AnalContext.h), so nothing a run writes reaches the design. Never written to a file or
// read as bytes, so the field order is for the reader only.
//
// Presets: words 0 and doubles NOT_SET unless given otherwise at the field. Init() writes
// the presets again.
// "alias X" at a field: X is the other name under which the step and model logic knows it.
#pragma once

#include <cstdint>

#include "analysis/context/AnalConst.h"

// The run-wide settings. The constructor-only words (the three preset 1 and loggingOn)
// survive Init: the document sets the logging word and never clears it.
struct AnalysisSettingsRec {
    // Back to the presets, keeping the constructor-only words.
    void Init() {
        const AnalysisSettingsRec kept = *this;
        *this = AnalysisSettingsRec();
        frequencyAnalysisFlagA = kept.frequencyAnalysisFlagA;
        settingsSpareWordA = kept.settingsSpareWordA;
        loggingOn = kept.loggingOn;
        settingsSpareWordB = kept.settingsSpareWordB;
    }

    double stepSetupParamA = 0.0;  // landing time of the time-domain run (s); alias stepTimes[0]
    double settingsSpareA = 0.0;  // landing time (s); alias stepTimes[1]
    double settingsSpareB = 0.0;  // landing time (s); alias stepTimes[2]
    double settingsSpareC = 0.0;  // landing time (s); alias stepTimes[3]
    double settingsSpareD = 0.0;  // landing time (s); alias stepTimes[4]
    double settingsSpareE = 0.0;  // landing time (s); alias stepTimes[5]
    double settingsSpareF = 0.0;  // landing time (s); alias stepTimes[6]
    double settingsSpareG = 0.0;  // landing time (s); alias stepTimes[7]
    int32_t stepSetupFlagA = 0;  // read by the per-step state set-up; alias stepTimeCount
    int32_t stepSetupFlagB = 0;  // read by the per-step state set-up; alias stepTimeIndex
    int32_t frequencyAnalysisFlagA = 1;  // read by the frequency-domain analyses
    int32_t settingsSpareWordA = 1;  // unused
    // non-zero when data logging is on for the run (set by the document): element models test the
    // floating-point status after their calculation; alias checkFloatingPoint
    int32_t loggingOn = 0;
    int32_t skipInitializationLoop = 0;  // 0: initialisation loop before the run; alias fastInitialization
    int32_t settingsSpareWordB = 1;  // unused
    int32_t coupledOutputChokes = 0;  // non-zero: output chokes coupled
    double voltageLoopPhaseMax1 = NOT_SET;  // upper end of the voltage-loop phase window, result 1 (deg)
    double voltageLoopPhaseMax2 = NOT_SET;  // upper end of the voltage-loop phase window, result 2 (deg)
    double voltageLoopPhaseMax3 = NOT_SET;  // upper end of the voltage-loop phase window, result 3 (deg)
    double currentLoopPhaseMax1 = NOT_SET;  // upper end of the current-loop phase window, result 1 (deg)
    double currentLoopPhaseMax2 = NOT_SET;  // upper end of the current-loop phase window, result 2 (deg)
    double currentLoopPhaseMax3 = NOT_SET;  // upper end of the current-loop phase window, result 3 (deg)
    double inputToOutputPhaseMax1 = NOT_SET;  // upper end of the input-to-output phase window, result 1 (deg)
    double inputToOutputPhaseMax2 = NOT_SET;  // upper end of the input-to-output phase window, result 2 (deg)
    double inputToOutputPhaseMax3 = NOT_SET;  // upper end of the input-to-output phase window, result 3 (deg)
    double amplifierPhaseMax = NOT_SET;  // upper end of the amplifier phase window (deg)
    double voltageLoopPhaseMin1 = NOT_SET;  // lower end of the voltage-loop phase window, result 1 (deg)
    double voltageLoopPhaseMin2 = NOT_SET;  // lower end of the voltage-loop phase window, result 2 (deg)
    double voltageLoopPhaseMin3 = NOT_SET;  // lower end of the voltage-loop phase window, result 3 (deg)
    double currentLoopPhaseMin1 = NOT_SET;  // lower end of the current-loop phase window, result 1 (deg)
    double currentLoopPhaseMin2 = NOT_SET;  // lower end of the current-loop phase window, result 2 (deg)
    double currentLoopPhaseMin3 = NOT_SET;  // lower end of the current-loop phase window, result 3 (deg)
    double inputToOutputPhaseMin1 = NOT_SET;  // lower end of the input-to-output phase window, result 1 (deg)
    double inputToOutputPhaseMin2 = NOT_SET;  // lower end of the input-to-output phase window, result 2 (deg)
    double inputToOutputPhaseMin3 = NOT_SET;  // lower end of the input-to-output phase window, result 3 (deg)
    double amplifierPhaseMin = NOT_SET;  // lower end of the amplifier phase window (deg)
    double sweepFactor = NOT_SET;  // frequency-analysis step factor
    double sweepStartFrequency = NOT_SET;  // frequency-analysis start frequency (Hz)
    double analysisParamA = NOT_SET;  // read by other analysis code
    double sweepEndFrequency = NOT_SET;  // frequency-analysis end frequency (Hz)
    double stepSetupParamB = NOT_SET;  // read by the per-step state set-up; alias overlapTimeStep
    // first time step and first upper bound of the step (s); alias maxTimeStep
    double initialTimeStep = NOT_SET;
    double targetSwitchingPeriod = NOT_SET;  // target switching period of control mode 3 (s)
    // limit of the comparator value of control mode 3; alias maxCycleTime
    double comparatorHysteresisLimit = NOT_SET;
    // coupling coefficients of the output choke pairs 1-2, 1-3, 1-4, 2-3, 2-4, 3-4, in this order
    double outputChokeCoupling[6] = {0.0, 0.0, 0.0, 0.0, 0.0, 0.0};
    double frequencyAnalysisParamA = NOT_SET;  // read by the frequency-domain analyses
    // switching period when control mode is not 3 (s); alias nominalSwitchingPeriod
    double switchingPeriodSetting = NOT_SET;
    double switchingFrequency = NOT_SET;  // switching frequency (Hz)
    double endTime = NOT_SET;  // run end time (s)
    double openResistance = NOT_SET;  // resistance standing for an open element (ohm); alias offResistance
    double largeStepAttenuationFactor = NOT_SET;  // "Large Time Step Attenuation Factor"
    double largeStepAttenuationLimit = NOT_SET;  // "Large Time Step Size Attenuation Lower Limit" (s)
    double smallStepAttenuationFactor = NOT_SET;  // "Small Time Step Attenuation Factor"
    double smallStepAttenuationLimit = NOT_SET;  // "Small Time Step Size Attenuation Lower Limit" (s)
    // 0,1 time domain, 2 voltage loop, 3 current loop, 4 input to output, 5 amplifier
    int32_t analysisKind = 1;
    int32_t frequencyAnalysisFlagB = -1;  // read by the frequency-domain analyses
    int32_t frequencyAnalysisFlagC = -1;  // read by the frequency-domain analyses
    int32_t inputCapacitorVariant = 0;  // input capacitor variant
    int32_t lineFilterVariant = 0;  // line filter variant
    int32_t lineRectifierVariant = 0;  // line rectifier model case; alias lineRectifierCase
    int32_t lineRectifierForm = 0;  // line rectifier form 1..5
    int32_t linePhaseCount = 0;  // number of line phases 1..3; alias numLinePhases
    int32_t outputCount = 0;  // number of outputs 1..4; alias numOutputs
    int32_t progressInterval = 50;  // steps between progress posts
    int32_t initIterationLimit = 50;  // iteration limit of the initialisation loop
    int32_t stabilisationCycles = 10;  // switching cycles of the quick settling run; alias stabilizationCycles
    double stimulusAmplitude = 0.0;  // amplitude of the swept sine (V)
    double avoidedFrequency = 0.0;  // frequency the sweep never measures at (Hz); 0 none
    int32_t inputToOutputOutput = 0;  // output 0-3 measured by the input-to-output analysis
    int32_t amplifierOutput = 0;  // output 0-3 measured by the amplifier analysis
};

// Line source and line filter, all phases; line rectifier diode presence.
struct LineSourceInputRec {
    void Init() { *this = LineSourceInputRec(); }

    int32_t sourceOn = 0;  // presence flag of the source-side capacitor branch of the line filter impedance
    int32_t inputCapacitorOn = 0;  // presence flag of the input capacitor branch
    int32_t timeRunFlagA = 0;  // read by the time-domain run
    int32_t firstInductorOn = 0;  // presence flag of the first inductor
    int32_t dampingInductorOn = 0;  // presence flag of the damping inductor
    int32_t dampingResistorOn = 0;  // presence flag of the damping resistor
    int32_t secondInductorOn = 0;  // presence flag of the second inductor
    int32_t diode1Present = 0;  // non-zero: line rectifier diode 1 exists
    int32_t diode2Present = 0;  // non-zero: line rectifier diode 2 exists
    int32_t diode3Present = 0;  // non-zero: line rectifier diode 3 exists
    int32_t diode4Present = 0;  // non-zero: line rectifier diode 4 exists
    int32_t diode5Present = 0;  // non-zero: line rectifier diode 5 exists
    int32_t diode6Present = 0;  // non-zero: line rectifier diode 6 exists
    int32_t diode7Present = 0;  // non-zero: line rectifier diode 7 exists
    int32_t diode8Present = 0;  // non-zero: line rectifier diode 8 exists
    int32_t outputCapacitorDoubled = 0;  // non-zero: the output capacitor branch impedance is doubled
    int32_t sectionQuantityFlagA = 0;  // read by the per-section circuit-quantity subroutines
    int32_t sectionQuantityFlagB = 0;  // read by the per-section circuit-quantity subroutines
    int32_t outputCapacitor2On = 0;  // presence flag of the second output capacitor branch
    // breakdown voltage rating of the first-stage input filter capacitor C.IN (V)
    double filterCapacitorBreakdownVoltage = NOT_SET;
    double sourceBranchInductance = NOT_SET;  // inductance of the source-side capacitor branch (H)
    double sourceBranchResistance = NOT_SET;  // resistance of the source-side capacitor branch (ohm)
    double sectionQuantityParamA = NOT_SET;  // read by the per-section circuit-quantity subroutines
    double sectionQuantityParamB = NOT_SET;  // read by the per-section circuit-quantity subroutines
    double sourceBranchCapacitance = NOT_SET;  // capacitance of the source-side capacitor branch (F)
    // breakdown voltage rating of the first-stage input filter damping capacitor C.DAMP (V)
    double filterDampingCapacitorBreakdownVoltage = NOT_SET;
    double inputCapacitorInductance = NOT_SET;  // series inductance of the input capacitor (H)
    double inputCapacitorResistance = NOT_SET;  // series resistance of the input capacitor (ohm)
    double sectionQuantityParamC = NOT_SET;  // read by the per-section circuit-quantity subroutines
    double sectionQuantityParamD = NOT_SET;  // read by the per-section circuit-quantity subroutines
    double inputCapacitance = NOT_SET;  // input capacitance (F)
    double timeRunParamA = NOT_SET;  // read by the time-domain run
    // second series resistance of the input capacitor branch (ohm)
    double inputCapacitorExtraResistance = NOT_SET;
    double firstInductorAcResistance = NOT_SET;  // AC resistance of the first-stage line filter inductor (ohm)
    double firstInductorCoreLoss = NOT_SET;  // core loss of the first-stage line filter inductor (W)
    double firstInductorResistance = NOT_SET;  // winding resistance of the first inductor (ohm)
    double firstInductorInductance = NOT_SET;  // inductance of the first inductor (H)
    // breakdown voltage rating of the input bulk capacitors C.IN1 and C.IN2 (V)
    double bulkCapacitorBreakdownVoltage = NOT_SET;
    double outputCapacitorInductance = NOT_SET;  // series inductance of the output capacitor (H)
    double outputCapacitorResistance = NOT_SET;  // series resistance of the output capacitor (ohm)
    double sectionQuantityParamE = NOT_SET;  // read by the per-section circuit-quantity subroutines
    double sectionQuantityParamF = NOT_SET;  // read by the per-section circuit-quantity subroutines
    double outputCapacitance = NOT_SET;  // output capacitance (F)
    // breakdown voltage rating of the input bulk damping capacitors C.DAMP1 and C.DAMP2 (V)
    double bulkDampingCapacitorBreakdownVoltage = NOT_SET;
    double outputCapacitor2Inductance = NOT_SET;  // series inductance of the second output capacitor (H)
    double outputCapacitor2Resistance = NOT_SET;  // series resistance of the second output capacitor (ohm)
    double sectionQuantityParamG = NOT_SET;  // read by the per-section circuit-quantity subroutines
    double sectionQuantityParamH = NOT_SET;  // read by the per-section circuit-quantity subroutines
    double outputCapacitor2Capacitance = NOT_SET;  // capacitance of the second output capacitor (F)
    double dampingInductorAcResistance = NOT_SET;  // AC resistance of the damping inductor (ohm)
    double dampingInductorCoreLoss = NOT_SET;  // core loss of the damping inductor (W)
    double dampingInductorResistance = NOT_SET;  // winding resistance of the damping inductor (ohm)
    double dampingCoeffA = NOT_SET;  // input capacitor damping coefficient multiplied by the step factor
    // second resistance of the second output capacitor branch in the impedance estimate
    double dampingCoeffB = NOT_SET;
    double dampingInductorInductance = NOT_SET;  // inductance of the damping inductor (H)
    // AC resistance of the second-stage line filter inductor (ohm)
    double secondInductorAcResistance = NOT_SET;
    double secondInductorCoreLoss = NOT_SET;  // core loss of the second-stage line filter inductor (W)
    double dampingResistorInductance = NOT_SET;  // inductance of the damping resistor branch (H)
    double dampingResistance = NOT_SET;  // damping resistor (ohm)
    double secondInductorResistance = NOT_SET;  // winding resistance of the second inductor (ohm)
    double secondInductorInductance = NOT_SET;  // inductance of the second inductor (H)
    double lineInductance = NOT_SET;  // series inductance of the line (H)
    double lineResistance = NOT_SET;  // series resistance of the line (ohm)
    double lineOffset = NOT_SET;  // offset added to the line voltage (V)
    double lineFrequency = NOT_SET;  // line frequency (Hz)
    double lineMagnitude = NOT_SET;  // magnitude (peak) of the line voltage (V)
    // forward voltage of one line rectifier diode (V); alias LineDiodeForwardVoltage
    double rectifierForwardVoltage = NOT_SET;
    double stepSetupParamA = NOT_SET;  // read by the per-step state set-up
    // reverse breakdown voltage rating of the line rectifiers D.1 and D.2 (V)
    double rectifierBreakdownVoltage = NOT_SET;
};

// Primary section and power transformer primary.
struct PrimaryInputRec {
    void Init() { *this = PrimaryInputRec(); }

    // non-zero: the primary has the reset/clamp circuit whose voltage and current the steady-state primary
    // estimate sets
    int32_t hasClampCapacitor = 0;
    int32_t clampResistorOn = 0;  // non-zero: the clamp resistor exists (variants 8, 9)
    // non-zero: the primary resistance estimate adds senseResistorValue directly instead of the sense path
    // reflected through the current sense transformer
    int32_t directSenseOn = 0;
    int32_t senseResistorOn = 0;  // non-zero: the sense resistor element exists
    int32_t resetDiodeOn = 0;  // non-zero: the reset (or clamp) diode exists
    int32_t senseDiodeOn = 0;  // non-zero: the current sense diode exists
    int32_t diode1On = 0;  // non-zero: diode 1 of the two-switch forward exists
    int32_t senseAmplifierOn = 0;  // non-zero: the sense amplifier exists
    int32_t clampCapacitorOn = 0;  // non-zero: the clamp or reset capacitor exists
    int32_t sectionQuantityFlagA = 0;  // read by the per-section circuit-quantity subroutines
    int32_t turnOnFlagA = 0;  // read by the turn-on initial values
    int32_t switch1On = 0;  // non-zero: switch SW1 exists; alias Sw1Enabled
    int32_t currentSenseTransformerOn = 0;  // non-zero: the current sense transformer exists
    int32_t powerTransformerOn = 0;  // non-zero: the power transformer is modelled
    // non-zero: a second switch (two-switch forward) or diode 2 exists; alias Sw2Enabled
    int32_t secondSwitchOn = 0;
    int32_t resetWindingOn = 0;  // non-zero: the reset winding exists
    // breakdown voltage rating of the clamp capacitor C.CLAMP (V)
    double clampCapacitorBreakdownVoltage = NOT_SET;
    double sectionQuantityParamA = NOT_SET;  // read by the per-section circuit-quantity subroutines
    double sectionQuantityParamB = NOT_SET;  // read by the per-section circuit-quantity subroutines
    double sectionQuantityParamC = NOT_SET;  // read by the per-section circuit-quantity subroutines
    double sectionQuantityParamD = NOT_SET;  // read by the per-section circuit-quantity subroutines
    double sectionQuantityParamE = NOT_SET;  // read by the per-section circuit-quantity subroutines
    double clampCapacitance = NOT_SET;  // clamp network capacitance (F) as used by the clamp model
    double clampResistance = NOT_SET;  // clamp resistor (ohm)
    double sectionQuantityParamF = NOT_SET;  // read by the per-section circuit-quantity subroutines
    double stepSetupParamA = NOT_SET;  // read by the per-step state set-up
    double primaryWindingResistance = NOT_SET;  // primary winding resistance (ohm)
    double couplingPriReset = 0.0;  // coupling of the magnetising inductance and the reset winding
    double couplingPriSec1 = 0.0;  // coupling of the magnetising inductance and secondary 1
    double stepSetupParamB = 0.0;  // read by the per-step state set-up
    double couplingPriSec2 = 0.0;  // coupling of the magnetising inductance and secondary 2
    double stepSetupParamC = 0.0;  // read by the per-step state set-up
    double couplingPriSec3 = 0.0;  // coupling of the magnetising inductance and secondary 3
    double stepSetupParamD = 0.0;  // read by the per-step state set-up
    double couplingPriSec4 = 0.0;  // coupling of the magnetising inductance and secondary 4
    double stepSetupParamE = 0.0;  // read by the per-step state set-up
    double sectionQuantityParamG = NOT_SET;  // read by the per-section circuit-quantity subroutines
    double senseResistance = NOT_SET;  // primary current sense resistance (ohm)
    double senseAmpGain = NOT_SET;  // primary current sense amplifier gain
    // resistance added to the sense resistance in the current sense transformer model
    double ctSeriesResistance = NOT_SET;
    // further series resistance of the current sense path, added to the sense resistor and the sense
    // transformer secondary resistance and reflected through the sense transformer ratio (ohm)
    double senseSeriesResistance = NOT_SET;
    // reverse breakdown voltage rating of the primary current sense rectifier D.CS (V)
    double senseRectifierBreakdownVoltage = NOT_SET;
    double senseRectifierForwardVoltage = NOT_SET;  // forward voltage of D.CS at the run's temperature (V)
    double senseResistorInductance = NOT_SET;  // inductance of the current sense resistor (H)
    double primaryTurns = NOT_SET;  // primary turns of the power transformer
    double magnetizingInductanceNominal = NOT_SET;  // nominal magnetising inductance L_m (H)
    double stepSetupParamF = NOT_SET;  // read by the per-step state set-up
    double sectionQuantityParamH = NOT_SET;  // read by the per-section circuit-quantity subroutines
    double runCheckParamA = NOT_SET;  // read by the run checks
    // reverse breakdown voltage rating of the primary clamp rectifier D.CLAMP (V)
    double clampRectifierBreakdownVoltage = NOT_SET;
    double stepSetupParamG = NOT_SET;  // read by the per-step state set-up
    double sectionQuantityParamI = NOT_SET;  // read by the per-section circuit-quantity subroutines
    double runCheckParamB = NOT_SET;  // read by the run checks
    // reverse breakdown voltage rating of the primary rectifiers D.1 and D.2 (V)
    double rectifierBreakdownVoltage = NOT_SET;
    double stepSetupParamH = NOT_SET;  // read by the per-step state set-up
    double sectionQuantityParamJ = NOT_SET;  // read by the per-section circuit-quantity subroutines
    double runCheckParamC = NOT_SET;  // read by the run checks
    // reverse breakdown voltage rating of the primary reset rectifier (V)
    double resetRectifierBreakdownVoltage = NOT_SET;
    double sectionQuantityParamK = NOT_SET;  // read by the per-section circuit-quantity subroutines
    double stepSetupParamI = NOT_SET;  // read by the per-step state set-up
    // breakdown voltage rating of the reset capacitor C.RS (V)
    double resetCapacitorBreakdownVoltage = NOT_SET;
    double sectionQuantityParamL = NOT_SET;  // read by the per-section circuit-quantity subroutines
    double sectionQuantityParamM = NOT_SET;  // read by the per-section circuit-quantity subroutines
    double sectionQuantityParamN = NOT_SET;  // read by the per-section circuit-quantity subroutines
    double sectionQuantityParamO = NOT_SET;  // read by the per-section circuit-quantity subroutines
    double sectionQuantityParamP = NOT_SET;  // read by the per-section circuit-quantity subroutines
    double resetWindingResistance = NOT_SET;  // reset winding resistance (ohm)
    double resetTurns = NOT_SET;  // reset winding turns
    double resetWindingNominal = NOT_SET;  // nominal inductance of the reset winding (H)
    double couplingResetSec1 = 0.0;  // coupling of the reset winding and secondary 1
    double couplingSec1Sec2 = 0.0;  // coupling of secondaries 1 and 2
    double couplingSec1Sec3 = 0.0;  // coupling of secondaries 1 and 3
    double couplingSec1Sec4 = 0.0;  // coupling of secondaries 1 and 4
    double couplingResetSec2 = 0.0;  // coupling of the reset winding and secondary 2
    double couplingSec2Sec3 = 0.0;  // coupling of secondaries 2 and 3
    double couplingSec2Sec4 = 0.0;  // coupling of secondaries 2 and 4
    double couplingResetSec3 = 0.0;  // coupling of the reset winding and secondary 3
    double couplingSec3Sec4 = 0.0;  // coupling of secondaries 3 and 4
    double couplingResetSec4 = 0.0;  // coupling of the reset winding and secondary 4
    double stepSetupParamJ = NOT_SET;  // read by the per-step state set-up
    double clampSwitchDiodeParamA = NOT_SET;  // first body-diode parameter of the clamp switch
    double clampSwitchDiodeParamB = NOT_SET;  // second body-diode parameter of the clamp switch
    // breakdown voltage rating of the primary clamp switch SW.2 (V)
    double clampSwitchBreakdownVoltage = NOT_SET;
    double clampSwitchOnResistance = NOT_SET;  // on-resistance of the clamp switch (ohm)
    double stepSetupParamK = NOT_SET;  // read by the per-step state set-up
    double stepSetupParamL = NOT_SET;  // read by the per-step state set-up
    double stepSetupParamM = NOT_SET;  // read by the per-step state set-up
    double stepSetupParamN = NOT_SET;  // read by the per-step state set-up
    double stepSetupParamO = NOT_SET;  // read by the per-step state set-up
    // first body-diode parameter of switch SW1; alias Sw1BodyDiodeForwardVoltage
    double switch1DiodeParamA = NOT_SET;
    double switch1DiodeParamB = NOT_SET;  // second body-diode parameter of switch SW1
    // breakdown voltage rating of the primary switches SW.1 and SW.2 (V)
    double switchBreakdownVoltage = NOT_SET;
    // series resistance of the primary path in the duty and output estimates, counted twice in the
    // two-switch forward (ohm)
    double primarySeriesResistance = NOT_SET;
    double turnOnDelay = NOT_SET;  // delay of the switch turn-on (s)
    double stepSetupParamP = NOT_SET;  // read by the per-step state set-up
    double stepSetupParamQ = NOT_SET;  // read by the per-step state set-up
    double stepSetupParamR = NOT_SET;  // read by the per-step state set-up
    double sectionQuantityParamQ = NOT_SET;  // read by the per-section circuit-quantity subroutines
    double senseXfmrCoupling = 0.0;  // coupling coefficient of the current sense transformer windings
    double sectionQuantityParamR = NOT_SET;  // read by the per-section circuit-quantity subroutines
    double senseXfmrWindingResistance = NOT_SET;  // winding resistance of the current sense transformer (ohm)
    double senseXfmrPrimaryTurnsCount = NOT_SET;  // current sense transformer primary turns
    double sectionQuantityParamS = NOT_SET;  // read by the per-section circuit-quantity subroutines
    // secondary resistance of the current sense transformer (ohm)
    double senseXfmrSecondaryResistance = NOT_SET;
    double senseXfmrSecondaryTurnsCount = NOT_SET;  // current sense transformer secondary turns
    // nominal inductance of the current sense transformer's second winding (H)
    double senseXfmrSecondaryNominal = NOT_SET;
    // The primary and reset winding slots' own constants for their loss means (ohm, W).
    double primaryWindingAcResistance = NOT_SET;
    double resetWindingAcResistance = NOT_SET;
    double transformerCoreLoss = NOT_SET;  // core loss of the power transformer (W)
    int32_t primarySign = 0;  // sign factor of the primary coupling terms
    int32_t topology = -1;  // primary section variant 0..9; alias primaryVariant
    // 1: secondary winding 2 is stacked on winding 1 (winding 1 carries the current of winding 2, and the
    // rectifier of output 2 also sees the voltage of winding 1)
    int32_t stack2On1 = -1;
    int32_t stack1On2 = -1;  // 1: winding 1 is stacked on winding 2
    int32_t stack3On2 = -1;  // 1: winding 3 is stacked on winding 2
    int32_t stack2On3 = -1;  // 1: winding 2 is stacked on winding 3
    int32_t stack4On3 = -1;  // 1: winding 4 is stacked on winding 3
    int32_t stack3On4 = -1;  // 1: winding 3 is stacked on winding 4
    // The clamp switch's drive delays (s): it turns off after the drive's on-edge and on after its
    // off-edge (the current limit's off-edge has its own); aliases Sw2OnEdgeDelay, Sw2OffEdgeDelay,
    // Sw2CurrentLimitOffEdgeDelay.
    double clampSwitchOnEdgeDelay = 0.0;
    double clampSwitchOffEdgeDelay = 0.0;
    double clampSwitchLimitDelay = 0.0;
    // The switching transitions (AnalMTrans.h). The switch's output capacitance is stepSetupParamR,
    // the output leakages stepSetupParamB..E, Cb the primary rectifiers' junction capacitance
    // (stepSetupParamG), Cf the reset diode's (stepSetupParamH); aliases TransitionNoCalc,
    // TransitionDoubled, TransitionWinding, TransitionClamp, TransitionCapE, AuxElementEnabled.
    int32_t transitionNoCalc = 0;
    int32_t transitionDoubled = 0;  // two switches in series
    int32_t transitionWinding = 0;  // a reset winding
    int32_t transitionClamp = 0;    // a clamp capacitor
    int32_t transitionCapE = 0;
    int32_t auxElementOn = 0;
    double primaryLeakage = 0.0;    // L0 (H); alias PrimaryLeakage
    double auxCoupling = 0.0;       // kc; alias AuxCoupling
    double primaryWindingCapacitance = 0.0;  // Cc (F)
    double clampSwitchCapacitance = 0.0;     // Cd: the clamp switch's output capacitance (F)
    double transitionCapacitanceE = 0.0;     // Ce (F)
    double resetWindingCapacitance = 0.0;    // Cg (F)
    double transitionVoltageE = 0.0;         // Ve (V)
    double transitionFixedPower = 0.0;       // Pfix (W)
};

// The secondary rectifier of one output.
struct SecondaryRectifierInputRec {
    void Init() { *this = SecondaryRectifierInputRec(); }

    int32_t sectionQuantityFlagA = 0;  // read by the per-section circuit-quantity subroutines
    int32_t sectionQuantityFlagB = 0;  // read by the per-section circuit-quantity subroutines
    int32_t frequencyAnalysisFlagA = 0;  // read by the frequency-domain analyses; alias Rect1Enabled
    int32_t frequencyAnalysisFlagB = 0;  // read by the frequency-domain analyses; alias Rect2Enabled
    // non-zero: the rectifier drop is on-resistance x current; alias RectPairEnabled
    int32_t resistiveRectifier = 0;
    double dutyWeight = 0.0;  // weight of this output's duty in the steady-state duty
    double stepSetupParamA = NOT_SET;  // read by the per-step state set-up
    double rectifierSpareA = NOT_SET;  // unused
    double diodeDrop = NOT_SET;  // forward drop of the rectifier (V)
    double dynamicResistance = NOT_SET;  // dynamic resistance of the diode rectifier (ohm)
    // reverse breakdown voltage rating of output rectifier D.1 of this output (V)
    double rectifier1BreakdownVoltage = NOT_SET;
    double stepSetupParamB = NOT_SET;  // read by the per-step state set-up
    double rectifierSpareB = NOT_SET;  // unused
    double forwardVoltage = NOT_SET;  // forward voltage of the secondary rectifier (V)
    double secondDynamicResistance = NOT_SET;  // dynamic resistance of the rectifier diode (ohm)
    // reverse breakdown voltage rating of output rectifier D.2 of this output (V)
    double rectifier2BreakdownVoltage = NOT_SET;
    double windingAcResistance = NOT_SET;  // AC resistance of the secondary winding (ohm)
    double windingResistance = NOT_SET;  // secondary winding resistance (ohm)
    double stepSetupParamC = NOT_SET;  // read by the per-step state set-up
    double windingTurns = NOT_SET;  // turns of this output's secondary winding
    double nominalWindingInductance = NOT_SET;  // nominal inductance of this output's winding (H)
    double rectifierSpareC = NOT_SET;  // unused
    double maximumDrop = NOT_SET;  // maximum drop of a resistive rectifier (V)
    double runCheckParamA = NOT_SET;  // read by the run checks
    // breakdown voltage rating of synchronous rectifier D.1 of this output (V)
    double syncRectifier1BreakdownVoltage = NOT_SET;
    double onResistance = NOT_SET;  // on-resistance of a resistive rectifier (ohm)
    double stepSetupParamD = NOT_SET;  // read by the per-step state set-up
    double stepSetupParamE = NOT_SET;  // read by the per-step state set-up
    double stepSetupParamF = NOT_SET;  // read by the per-step state set-up
    double rectifierSpareD = NOT_SET;  // unused
    double secondDiodeVoltage = NOT_SET;  // forward voltage of the diode beside a resistive rectifier (V)
    double secondDiodeResistance = NOT_SET;  // resistance of the diode beside a resistive rectifier (ohm)
    // breakdown voltage rating of synchronous rectifier D.2 of this output (V)
    double syncRectifier2BreakdownVoltage = NOT_SET;
    double secondOnResistance = NOT_SET;  // on-resistance of a resistive secondary rectifier (ohm)
    double stepSetupParamG = NOT_SET;  // read by the per-step state set-up
    double stepSetupParamH = NOT_SET;  // read by the per-step state set-up
    double stepSetupParamI = NOT_SET;  // read by the per-step state set-up
    // The synchronous rectifiers' drive delays (s), loaded at the drive edges when the rectifier is
    // a transistor; aliases Rect1OnEdgeDelay, Rect2OnEdgeDelay, Rect1OffEdgeDelay, Rect2OffEdgeDelay,
    // Rect1CurrentLimitOffEdgeDelay, Rect2CurrentLimitOffEdgeDelay.
    double rect1OnEdgeDelay = 0.0;
    double rect2OnEdgeDelay = 0.0;
    double rect1OffEdgeDelay = 0.0;
    double rect2OffEdgeDelay = 0.0;
    double rect1LimitDelay = 0.0;
    double rect2LimitDelay = 0.0;
    // The body diode of rectifier 2's transistor, beside diode 2 and the channel.
    double bodyDiode2Voltage = NOT_SET;     // forward voltage (V)
    double bodyDiode2Resistance = NOT_SET;  // on-resistance (ohm)
};

// The output choke of one output.
struct OutputChokeInputRec {
    void Init() { *this = OutputChokeInputRec(); }

    // non-zero: the output choke winding is present (gates the choke part of the steady-state output
    // estimate)
    int32_t chokeOn = 0;
    int32_t seriesElementOn = 0;  // non-zero: the fixed series inductance and resistance exist
    int32_t engineSetupFlagA = 0;  // read by the engine state set-up
    int32_t skimWindingOn = 0;  // non-zero: the skim winding exists
    double chokeAcResistance = NOT_SET;  // AC resistance of the output choke (ohm)
    double chokeCoreLoss = NOT_SET;  // core loss of the output choke (W)
    double windingResistance = NOT_SET;  // choke resistance (ohm)
    double seriesInductance = NOT_SET;  // inductance factor of the choke current sense
    // resistance factor of the choke current sense (also the second choke resistance in the duty estimate)
    double seriesResistance = NOT_SET;
    double inductance = NOT_SET;  // output choke inductance (H)
    double seriesElementFactor = NOT_SET;  // gain of the choke current sense
    double senseWeight = 0.0;  // weight of this output in the current sense sum
    // weight of the output's inductor current sense in the current-limit feedback
    double currentSenseWeight = 0.0;
    double skimAcResistance = NOT_SET;  // AC resistance of the skim winding (ohm)
    double skimCoreLoss = NOT_SET;  // core loss of the skim winding (W)
    double skimResistance = NOT_SET;  // skim winding resistance (ohm)
};

// First- and second-stage output filter of one output.
struct OutputFilterInputRec {
    OutputFilterInputRec() = default;
    explicit OutputFilterInputRec(int32_t number) { outputNumber = number; }
    // Back to the presets for output `number` (1-4).
    void Init(int32_t number) {
        *this = OutputFilterInputRec();
        outputNumber = number;
    }

    int32_t capacitorOn = 0;  // non-zero: the first capacitor of the first output filter stage is present
    int32_t hasCapA2 = 0;  // non-zero when capacitor A has a second copy (capA2Voltage)
    int32_t timeRunFlagA = 0;  // read by the time-domain run
    int32_t biasDividerOn = 0;  // non-zero: the sense bias divider exists
    int32_t senseDiodeOn = 0;  // non-zero: the sense diode exists
    int32_t senseResistorOn = 0;  // non-zero: the sense resistor exists
    int32_t senseBranchAOn = 0;  // non-zero: sense branch A exists
    int32_t senseBranchBOn = 0;  // non-zero: sense branch B exists
    int32_t senseXfmrOn = 0;  // non-zero: the capacitor current sense transformer exists
    int32_t hasCapB = 0;  // non-zero when the filter has capacitor B (enables its correction level)
    int32_t timeRunFlagB = 0;  // read by the time-domain run
    int32_t hasCapB2 = 0;  // non-zero when capacitor B has a second copy (capB2Voltage)
    int32_t dampingInductorOn = 0;  // non-zero: the second-stage damping inductor exists
    int32_t hasDampingB = 0;  // non-zero when inductor B current splits into a damping branch
    int32_t hasInductorB = 0;  // non-zero when the filter has inductor B (enables its correction level)
    // breakdown voltage rating of the first-stage output filter capacitor C.OUT1 of this output (V)
    double capacitorBreakdownVoltage = NOT_SET;
    double rippleInductance = NOT_SET;  // inductance factor of the ripple term (H)
    double rippleResistance = NOT_SET;  // resistance factor of the ripple term (ohm)
    double sectionQuantityParamA = NOT_SET;  // read by the per-section circuit-quantity subroutines
    double sectionQuantityParamB = NOT_SET;  // read by the per-section circuit-quantity subroutines
    double capACapacitance = NOT_SET;  // capacitance of capacitor A (F)
    // breakdown voltage rating of the first-stage output filter damping capacitor C.DAMP1 of this output
    // (V)
    double dampingCapacitorBreakdownVoltage = NOT_SET;
    double sectionQuantityParamC = NOT_SET;  // read by the per-section circuit-quantity subroutines
    double sectionQuantityParamD = NOT_SET;  // read by the per-section circuit-quantity subroutines
    double sectionQuantityParamE = NOT_SET;  // read by the per-section circuit-quantity subroutines
    double sectionQuantityParamF = NOT_SET;  // read by the per-section circuit-quantity subroutines
    double sectionQuantityParamG = NOT_SET;  // read by the per-section circuit-quantity subroutines
    double filterTermParamA = NOT_SET;  // read by the filter-section state-equation terms
    double filterTermParamB = NOT_SET;  // read by the filter-section state-equation terms
    // breakdown voltage rating of the second-stage output filter capacitor C.OUT2 of this output (V)
    double outputCapacitorBreakdownVoltage = NOT_SET;
    double sectionQuantityParamH = NOT_SET;  // read by the per-section circuit-quantity subroutines
    double sectionQuantityParamI = NOT_SET;  // read by the per-section circuit-quantity subroutines
    double sectionQuantityParamJ = NOT_SET;  // read by the per-section circuit-quantity subroutines
    double sectionQuantityParamK = NOT_SET;  // read by the per-section circuit-quantity subroutines
    double capBCapacitance = NOT_SET;  // capacitance of capacitor B (F)
    // breakdown voltage rating of the second-stage output filter damping capacitor C.DAMP2 of this output
    // (V)
    double outputDampingCapacitorBreakdownVoltage = NOT_SET;
    double sectionQuantityParamL = NOT_SET;  // read by the per-section circuit-quantity subroutines
    double sectionQuantityParamM = NOT_SET;  // read by the per-section circuit-quantity subroutines
    double sectionQuantityParamN = NOT_SET;  // read by the per-section circuit-quantity subroutines
    double sectionQuantityParamO = NOT_SET;  // read by the per-section circuit-quantity subroutines
    double filterTermParamC = NOT_SET;  // read by the filter-section state-equation terms
    double filterTermParamD = NOT_SET;  // read by the filter-section state-equation terms
    double sectionQuantityParamP = NOT_SET;  // read by the per-section circuit-quantity subroutines
    double dampingInductorAcResistance = NOT_SET;  // AC resistance of the second-stage damping inductor (ohm)
    double dampingInductorCoreLoss = NOT_SET;  // core loss of the second-stage damping inductor (W)
    // winding resistance of the second-stage damping inductor (ohm)
    double dampingInductorResistance = NOT_SET;
    double inductorBShare = NOT_SET;  // numerator of the main-branch share of inductorBCurrent
    double secondInductorAcResistance = NOT_SET;  // AC resistance of the second-stage inductor (ohm)
    double secondInductorCoreLoss = NOT_SET;  // core loss of the second-stage inductor (W)
    double filterTermParamE = NOT_SET;  // read by the filter-section state-equation terms
    double dampingResistance = NOT_SET;  // second-stage damping resistor (ohm)
    double secondInductorResistance = NOT_SET;  // winding resistance of the second-stage inductor (ohm)
    double inductorBShareBase = NOT_SET;  // denominator of both shares
    double csTermA = NOT_SET;  // first-stage filter current-sense term R1
    double csTermD = NOT_SET;  // current-sense term R4
    double biasVoltage = NOT_SET;  // bias voltage of the sense divider (V)
    double senseResistance = NOT_SET;  // sense resistor of the output current sense (ohm)
    double sectionQuantityParamQ = NOT_SET;  // read by the per-section circuit-quantity subroutines
    double sectionQuantityParamR = NOT_SET;  // read by the per-section circuit-quantity subroutines
    double senseDiodeResistance = NOT_SET;  // sense diode resistance (ohm)
    // reverse breakdown voltage rating of the current sense rectifier D.CS of this output (V)
    double senseRectifierBreakdownVoltage = NOT_SET;
    double csTermC = NOT_SET;  // current-sense term R3
    double engineSetupParamA = 0.0;  // read by the engine state set-up
    double secondaryTurns = 0.0;  // effective secondary turns of this output; alias OutputTurnsFactor
    double biasUpperResistance = NOT_SET;  // upper resistor of the bias divider (ohm)
    double senseXfmrCoreLoss = NOT_SET;  // core loss of the current sense transformer (W)
    double csCoupling = 0.0;  // coupling factor of the capacitor current-sense transformer
    // AC resistance of the current sense transformer primary winding (ohm)
    double senseXfmrAcResistance = NOT_SET;
    double senseXfmrResistance = NOT_SET;  // winding resistance of the sense transformer (ohm)
    double senseXfmrPrimaryTurns = NOT_SET;  // turns of the sense transformer primary
    double csScaleDen = NOT_SET;  // divisor of the second current-sense inductance
    // AC resistance of the current sense transformer secondary winding (ohm)
    double senseXfmrSecondaryAcResistance = NOT_SET;
    double senseXfmrSecondaryResistance = NOT_SET;  // secondary resistance of the sense transformer (ohm)
    double senseXfmrSecondaryTurns = NOT_SET;  // turns of the sense transformer secondary
    double csScaleNum = NOT_SET;  // factor of the second current-sense inductance
    int32_t sectionQuantityFlagA = -1;  // read by the per-section circuit-quantity subroutines
    int32_t outputNumber = -1;  // output number 1-4, given to Init (-1 as constructed)
    int32_t outputSign = 0;  // integer sign factor (+1 or -1) of this output's voltage; alias outputPolarity
    int32_t sectionQuantityFlagB = -1;  // read by the per-section circuit-quantity subroutines
};

// The load network of one output.
struct LoadNetworkInputRec {
    void Init() { *this = LoadNetworkInputRec(); }

    // non-zero: the first-branch load inductor (load inductor 1, resistance firstInductorResistance) is
    // present
    int32_t firstInductorOn = 0;
    int32_t firstBranchOn = 0;  // non-zero: the first series branch is present
    int32_t inductorOn = 0;  // non-zero: the load inductor is present
    int32_t resistorOn = 0;  // non-zero: the load resistor is present
    int32_t currentSourceOn = 0;  // non-zero: the load current source is present
    double firstInductorAcResistance = NOT_SET;  // AC resistance of the first-stage load inductor (ohm)
    double firstInductorResistance = NOT_SET;  // DC resistance of the first-branch load inductor (ohm)
    double windingCalcParamA = NOT_SET;  // read by the winding and inductance calculations
    double closedFormParamA = NOT_SET;  // read by the closed-form circuit-quantity solutions
    double firstResistance = NOT_SET;  // resistance of the first-branch resistor (ohm)
    double inductorAcResistance = NOT_SET;  // AC resistance of the load inductor (ohm)
    double inductorResistance = NOT_SET;  // resistance of the load inductor (ohm)
    double windingCalcParamB = NOT_SET;  // read by the winding and inductance calculations
    double closedFormParamB = NOT_SET;  // read by the closed-form circuit-quantity solutions
    double resistance = NOT_SET;  // load resistance (ohm)
    double sourceFrequency = NOT_SET;  // frequency of the load current source (Hz)
    double sourceSineAmplitude = NOT_SET;  // amplitude of the load current source sine (A)
    double sourceCurrent = 0.0;  // current of the load current source (A)
    double rippleWeight = 0.0;  // second weight of this output's duty in the steady-state duty
    double outputVoltage = NOT_SET;  // output voltage of this output (V)
    int32_t sectionQuantityFlagA = -1;  // read by the per-section circuit-quantity subroutines
};

// Control section, voltage error amplifier, opto-isolator, current feedback and current
// limit networks.
struct ControlInputRec {
    void Init() { *this = ControlInputRec(); }

    // non-zero: the voltage error amplifier reference is the AC source 1 of the control side (gates the
    // reference presets of the steady-state control estimate)
    int32_t veaReferenceAcOn = 0;
    int32_t veaOn = 0;  // non-zero: the voltage error amplifier exists
    int32_t veaStateScaledOn = 0;  // non-zero: veaStateScaled takes part
    int32_t hasErrorAmpStateB = 0;  // errorAmpStateB takes part
    int32_t hasErrorAmpStateC = 0;  // errorAmpStateC takes part
    int32_t hasErrorAmpFlowC = 0;  // errorAmpFlowC takes part
    int32_t hasErrorAmpFlowB = 0;  // errorAmpFlowB takes part
    int32_t hasErrorAmpFlowA = 0;  // errorAmpFlowA takes part
    int32_t hasErrorAmpAux = 0;  // errorAmpAux takes part
    int32_t optoDividerUpperOn = 0;  // non-zero: the upper opto divider element exists
    int32_t optoDividerLowerOn = 0;  // non-zero: the lower opto divider element exists
    int32_t limitSetB = 0;  // second set of control voltage limits and divider form of the opto chain
    int32_t optoTransferOn = 0;  // non-zero: the opto transfer element exists
    int32_t engineSetupFlagA = 0;  // read by the engine state set-up
    int32_t optoSupplyOn = 0;  // non-zero: the opto output supply element exists
    int32_t limitSetA = 0;  // alternative control voltage limits
    int32_t hasRippleStage = 0;  // non-zero: the second ripple stage of the error amplifier network exists
    int32_t hasErrorAmpStateA = 0;  // errorAmpStateA takes part
    int32_t optoReferenceOn = 0;  // non-zero: the opto reference exists
    int32_t optoLimitOn = 0;  // non-zero: the opto limit difference is held
    int32_t optoDiodeForm = 0;  // selects the form of the opto diode current
    int32_t optoOutputForm = 0;  // selects the form of the opto output voltage
    int32_t hasCurrentAmp = 0;  // the current error amplifier takes part
    int32_t currentAmpFlowAOn = 0;  // non-zero: currentAmpFlowA is preset
    int32_t currentAmpAux1On = 0;  // non-zero: currentAmpAux1 is preset
    int32_t currentAmpAux2On = 0;  // non-zero: currentAmpAux2 is preset
    int32_t currentAmpFlowBOn = 0;  // non-zero: currentAmpFlowB is preset
    int32_t hystOn = 0;  // non-zero: the hysteresis filter takes part
    int32_t hystAux1On = 0;  // non-zero: hystAux1 is preset
    int32_t hystAux2On = 0;  // non-zero: hystAux2 and hystAux3 are preset
    int32_t clockDividerOn = 0;  // non-zero: the clock divider exists
    int32_t clockDividerCurrentOn = 0;  // non-zero: the clock divider current is held
    int32_t softStartResetEnabled = 0;  // current limit may reset the soft start
    int32_t currentLimitEnabled = 0;  // current limit comparator in use; alias CurrentLimitEnabled
    int32_t currentInjectionOn = 0;  // AC source 3 of the control side enabled
    int32_t controlSpareWordA = 0;  // unused
    int32_t hystInputOn = 0;  // non-zero: hystInput is preset
    int32_t rampCapacitorOn = 0;  // non-zero: the ramp capacitor exists
    int32_t rampDifferenceOn = 0;  // non-zero: rampDifference is held
    int32_t resetSwitchOn = 0;  // non-zero: the reset switch exists
    int32_t clockEnabled = 0;  // the sawtooth clock is modelled as a ramp; alias HystereticControl
    int32_t feedForwardOn = 0;  // non-zero: the feed-forward resistor exists
    int32_t softStartCapOn = 0;  // non-zero: the soft-start capacitor exists
    int32_t softStartControlOn = 0;  // non-zero: the soft-start control exists
    int32_t errorInjectionOn = 0;  // AC source 2 of the control side enabled
    int32_t referenceInPercent = 0;  // non-zero: referenceValue is a percentage of the input voltage
    int32_t engineSetupFlagB = 0;  // read by the engine state set-up
    int32_t softStartResetArmed = 0;  // second condition of the soft-start reset
    double closedFormParamA = NOT_SET;  // read by the closed-form circuit-quantity solutions
    double closedFormParamB = NOT_SET;  // read by the closed-form circuit-quantity solutions
    double currentAmpGainA = NOT_SET;  // factor of the final current-amplifier correction (per second)
    double currentAmpGainB = NOT_SET;  // factor of the current-amplifier drift term (per second)
    double clockUpperLimit = 0.0;  // upper turning point of the clock ramp (V); alias HystereticHighLimit
    double clockLowerLimit = 0.0;  // lower turning point of the clock ramp (V); alias HystereticLowLimit
    double hystFilterCapacitance = 1e-14;  // capacitance of the hysteresis filter (F,
    double hystFilterResistance = 1e8;  // upper element of the reference divider
    double hystDividerResistance = 1e-6;  // lower element of the reference divider
    double closedFormParamC = 1e-14;  // read by the closed-form circuit-quantity solutions
    double senseSummingResistance = NOT_SET;  // resistance that sums the current sense into the ramp (ohm)
    double closedFormParamD = NOT_SET;  // read by the closed-form circuit-quantity solutions
    double currentLimitFilterResistance = NOT_SET;  // resistance of the current-limit feedback filter (ohm)
    double currentLimitFilterCapacitance = NOT_SET;  // capacitance of the current-limit feedback filter (F)
    // current limit threshold of the feedback voltage (V); alias CurrentLimitThreshold
    double currentLimitThreshold = NOT_SET;
    double currentInjectionAmplitude = NOT_SET;  // sine amplitude of the current-loop injection source (V)
    double stepSetupParamA = NOT_SET;  // read by the per-step state set-up
    double currentInjectionOffset = NOT_SET;  // offset of the current-loop injection source (V)
    double currentInjectionFrequency = NOT_SET;  // frequency of control AC source 3 (Hz)
    double offsetGainDen2 = NOT_SET;  // opto output current divisor
    double referenceValue = NOT_SET;  // reference value of control mode 3
    double currentEaUpperLimit = NOT_SET;  // upper output limit of the current error amplifier (V)
    double engineSetupParamA = NOT_SET;  // read by the engine state set-up
    double errorUpperLimit = NOT_SET;  // upper limit of the error path (V)
    double currentEaLowerLimit = NOT_SET;  // lower output limit of the current error amplifier (V)
    double veaLowerLimit = NOT_SET;  // lower limit of pwmControlVoltage (first limit set)
    double pwmLimitUpperB = NOT_SET;  // upper limit of pwmControlVoltage (second limit set)
    double pwmLimitLowerB = NOT_SET;  // lower limit of pwmControlVoltage (second limit set)
    double offsetDividerNum = NOT_SET;  // upper opto divider value
    double offsetDividerDen = NOT_SET;  // lower opto divider value
    double pwmLimitUpperA = NOT_SET;  // upper control voltage limit of the alternative set (V)
    double offsetGainNum = NOT_SET;  // opto transfer value
    double engineSetupParamB = NOT_SET;  // read by the engine state set-up
    double optoOutputOffset = NOT_SET;  // offset of the opto output (V)
    double optoOutputBias = NOT_SET;  // bias of the opto output stage (V)
    double optoOutputResistance = NOT_SET;  // resistance of the opto output stage (ohm)
    // reverse breakdown voltage rating of the opto-isolator light emitting diode D.LED (V)
    double ledBreakdownVoltage = NOT_SET;
    double offsetGainDen1 = NOT_SET;  // opto diode resistance value
    double rippleStageCapacitance = NOT_SET;  // capacitance of the second ripple stage (F)
    double optoReferenceAmplitude = NOT_SET;  // sine amplitude of the opto reference source (V)
    double optoReferenceValue = NOT_SET;  // opto reference voltage (V)
    double optoReferenceFrequency = NOT_SET;  // frequency of the opto reference source (Hz)
    double closedFormParamE = NOT_SET;  // read by the closed-form circuit-quantity solutions
    // sine amplitude of the voltage-error-amplifier reference source (V)
    double veaReferenceAmplitude = NOT_SET;
    double stepSetupParamB = NOT_SET;  // read by the per-step state set-up
    double veaReferenceValue = NOT_SET;  // voltage error amplifier reference (V)
    double veaReferenceFrequency = NOT_SET;  // frequency of control AC source 1 (Hz)
    double rampCapacitance = 1e-14;  // ramp (feed-forward) capacitance (F)
    double rampOffset = 0.0;  // offset of the ramp against the clock (V)
    double resetSwitchResistance = NOT_SET;  // on resistance of the reset switch (ohm)
    double clockFirstSlope = NOT_SET;  // first slope of the sawtooth clock ramp (V/s)
    double clockSecondSlope = NOT_SET;  // second slope of the sawtooth clock ramp (V/s)
    double rampResistance = 1e8;  // ramp (feed-forward) resistance (ohm)
    // feedback level at which the current limit resets the soft start (V)
    double softStartResetThreshold = NOT_SET;
    double softStartRate = NOT_SET;  // charging rate of the soft-start capacitor (V/s)
    // added to softStartCapVoltage to form softStartControl when softStartControlOn (V)
    double softStartOffset = NOT_SET;
    double lockoutLevelA = NOT_SET;  // bulk voltage at or above which the references run (V)
    // bulk voltage at or below which the references are evaluated every step (V)
    double lockoutLevelB = NOT_SET;
    double veaStateScaledDivisor = NOT_SET;  // divisor of veaStateScaled
    double closedFormParamF = NOT_SET;  // read by the closed-form circuit-quantity solutions
    double rippleFilterCapacitance = NOT_SET;  // capacitance of the ripple filter (F)
    double errorAmpStateBGain = NOT_SET;  // first ripple gain resistance of the error amplifier network
    double rippleGainResistance2 = NOT_SET;  // second ripple gain resistance (ohm)
    double rippleGainResistance3 = NOT_SET;  // third ripple gain resistance (ohm)
    double closedFormParamG = NOT_SET;  // read by the closed-form circuit-quantity solutions
    double errorInjectionAmplitude = NOT_SET;  // sine amplitude of the error injection source (V)
    double stepSetupParamC = NOT_SET;  // read by the per-step state set-up
    double errorAmpOffset = NOT_SET;  // offset at the error amplifier (V)
    double errorInjectionFrequency = NOT_SET;  // frequency of control AC source 2 (Hz)
    int32_t controlMode = -1;  // control mode of the control section; alias ControlKind
    int32_t currentSenseSource = 0;  // 0 primary current sense, 1 sum of the outputs' inductor current sense
    // sense source of the hysteretic control: 0 primary current, 1 output choke currents, 2 output
    // capacitor current sense
    int32_t senseSource = 0;
    int32_t optoVariant = -1;  // opto-isolator variant 0-6
    int32_t engineSetupFlagC = -1;  // read by the engine state set-up
    int32_t veaVariant = -1;  // voltage error amplifier variant 0-7 (51700+variant)
    // The error amplifier's network, by the names on its schematic (ohm, F); a variant's
    // absent elements stay not set.
    double veaResistor1 = NOT_SET;
    double veaResistor2 = NOT_SET;
    double veaResistor3 = NOT_SET;
    double veaCapacitor1 = NOT_SET;
    double veaCapacitor2 = NOT_SET;
    double veaCapacitor3 = NOT_SET;
    double veaFeedbackResistor = NOT_SET;  // Rfb of the variants with DC feedback
    // Factor from the weighted output voltages (per unit of their target) to the error
    // amplifier input (V).
    double feedbackGain = NOT_SET;
    // The drive's own timing: the leading-edge blanking holds the switch on for this share of
    // the period; the PWM comparator's logic level (V, or per cent of the input voltage when
    // pwmLogicVoltageInPercent is set); the clock inhibits the drive while it resets.
    double clockBlankingFraction = NOT_SET;
    double pwmLogicVoltage = NOT_SET;
    int32_t pwmLogicVoltageInPercent = 0;
    int32_t clockInhibitDuringReset = 0;
    // The opto-isolator's parts, by the names on its schematic; an arrangement's absent parts
    // stay not set. The driver source is regulated (optoDriveSource 0) or output 1-4.
    int32_t optoDriveSource = 0;
    double optoDriveVoltage = NOT_SET;         // V
    double optoDriveResistance = NOT_SET;      // ohm
    double optoLedVoltage = NOT_SET;           // V, forward threshold
    double optoLedResistance = NOT_SET;        // ohm, dynamic
    double optoDriveTransistorVbe = NOT_SET;   // V
    double optoBiasVoltage = NOT_SET;          // V
    double optoCurrentTransferRatio = NOT_SET; // collector current per diode current
    double optoBandwidth = NOT_SET;            // Hz
    double optoLoadResistance = NOT_SET;       // ohm
    double optoPoleCapacitance = NOT_SET;      // F
    double optoAmpResistor1 = NOT_SET;         // ohm
    double optoAmpResistor2 = NOT_SET;         // ohm
    double optoAmpUpperLimit = NOT_SET;        // V
    double optoAmpLowerLimit = NOT_SET;        // V
    // The current error amplifier of average current control: input resistor R4, feedback
    // C5 in parallel with R5 in series with C4 (ohm, F).
    double currentAmpInputResistance = NOT_SET;
    double currentAmpSeriesResistance = NOT_SET;
    double currentAmpSeriesCapacitance = NOT_SET;
    double currentAmpParallelCapacitance = NOT_SET;
    // The current ramp of peak current control: sense filter R7, C6; slope compensation from
    // the clock through Q1 (forward bias), R8 with C7 into the filter node, R9 at Q1's
    // emitter (ohm, F, V).
    double rampFilterResistance = NOT_SET;
    double rampFilterCapacitance = NOT_SET;
    double slopeResistance = NOT_SET;
    double slopeCapacitance = NOT_SET;
    double slopeEmitterResistance = NOT_SET;
    double slopeTransistorVbe = NOT_SET;
};
