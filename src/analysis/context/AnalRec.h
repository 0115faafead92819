// The state records of one analysis run, one per section (per line phase or per output
// where the section repeats), and the snapshots that keep their previous-step values. The
// element models write them in their two passes; the state-equation builders and the graphs
// read them. Plain records of doubles and a few words; never written to a file or read as
// bytes, so the field order is for the reader only.
//
// Presets (written by the constructors): words 0 and doubles NOT_SET unless given otherwise
// at the field. Units are in the comments.
// "alias X" at a field: X is the other name under which the step and model logic knows it.
#pragma once

#include <cstdint>

#include "analysis/context/AnalConst.h"
#include "analysis/context/AnalInputRec.h"

// The step itself: drive flags, time-step bookkeeping, run clock. One, at the head of the
// context; no snapshot.
struct StepStateRec {
    // Adjusts one time-step proposal and keeps the smallest in nextTimeStep (AnalRec.cpp).
    // Ordinary proposals with applyFactors take the attenuation of `settings`.
    void LimitTimeStep(double candidate, int32_t applyFactors, int32_t eventProposal);

    int32_t driveOn = 0;  // non-zero while the control drive commands the primary switch on; alias DriveOn
    int32_t driveOnPrevious = 0;  // driveOn of the previous step (edge detection)
    int32_t periodIrregular = 0;  // set when a measured period lies outside 0.1..10 times the running mean
    // set while a secondary rectifier still conducts across a primary switch-state change
    int32_t commutationOverlap = 0;
    int32_t commutationOverlap2 = 0;  // commutationOverlap of the previous step; alias prevCommutationOverlap
    int32_t settling = 1;  // 1 from the start of RunInitializationLoop until ResetRunClock; alias initializing
    int32_t settlingFlagA = 1;  // flag kept with the settling quantities; alias OnEdgeArmed
    int32_t settlingFlagB = 0;  // flag kept with the settling quantities; alias EventThisStep
    double switchingPeriod = NOT_SET;  // switching period of the run (s) when > 0
    double cycleTime = 0.0;  // time since the present switching period began (s)
    double inverseTimeStep = NOT_SET;  // 1 / time step (1/s), used for derivatives; alias invTimeStep
    // value kept with the inverse time step quantities; alias lastTimeStep
    double inverseTimeStepTermA = NOT_SET;
    double nextTimeStep = NOT_SET;  // smallest time-step proposal of the present step (s)
    double lastDriveEdgeTime = NOT_SET;  // time of the previous rising edge of the control drive (s)
    double lineInputInjection = 0.0;  // sine injection of the line-to-output analysis (V)
    double lineMagnitudeNow = NOT_SET;  // line magnitude plus the magnitude transient (V)
    double mutualInductance12 = NOT_SET;  // mutual inductance of output chokes 1-2 (H)
    double mutualInductance13 = NOT_SET;  // mutual inductance of output chokes 1-3 (H)
    double mutualInductance14 = NOT_SET;  // mutual inductance of output chokes 1-4 (H)
    double mutualInductance23 = NOT_SET;  // mutual inductance of output chokes 2-3 (H)
    double mutualInductance24 = NOT_SET;  // mutual inductance of output chokes 2-4 (H)
    double mutualInductance34 = NOT_SET;  // mutual inductance of output chokes 3-4 (H)
    double time = 0.0;  // run time t (s); alias runTime
    // number of whole switching periods taken into the winding means; alias cycleCount
    int32_t periodCount = 0;
    uint32_t driveEdgeCount = 0;  // rising edges of the drive counted since the run clock was reset
    int32_t stepCount = 0;  // steps taken since the run clock was reset

    // The run's settings, for the limiter's attenuation; bound by the context. Not a step
    // quantity: copying the record keeps the binding.
    const AnalysisSettingsRec* settings = nullptr;
};

// Line source and line filter of one line phase.
struct LinePhaseStateRec {
    double firstStageCapacitorCurrent = NOT_SET;  // current of the line source element (A)
    double sourceVoltage = NOT_SET;  // voltage of the line source element (V)
    double filterVoltage = NOT_SET;  // voltage behind the first-stage inductor (V)
    double filterCapCurrent = NOT_SET;  // line filter input capacitor current (A)
    double filterCapVoltage = NOT_SET;  // line filter input capacitor voltage (V)
    // "Line Filter DC or AC/Phase 0 First Stage Capacitor Damping Resistor Voltage" (V)
    double firstStageCapacitorDampingResistorVoltage = NOT_SET;
    double filterCapVoltage2 = NOT_SET;  // second voltage field of the line filter input capacitor (V)
    double firstInductorMeanCurrent = NOT_SET;  // mean current of the first-stage inductor over the periods (A)
    double firstInductorMeanSquareCurrent = 0.0;  // mean square current of the first inductor (A^2)
    double firstInductorMeanSquareVoltage = 0.0;  // mean square voltage of the first inductor (V^2)
    double firstInductorCurrentIntegral = 0.0;  // integral of the first inductor current over the period (A s)
    double firstInductanceSlope = NOT_SET;  // dL/dI of the first-stage inductor (H/A)
    // integral of the square of the first inductor current (A^2 s)
    double firstInductorSquareCurrentIntegral = 0.0;
    double firstInductorCurrent = NOT_SET;  // present current of the first-stage inductor (A)
    double firstInductorCurrentSlope = NOT_SET;  // dI/dt of the first-stage inductor current (A/s)
    double firstInductorParallelResistance = NOT_SET;  // parallel resistance of the first-stage inductor (ohm)
    double firstInductorCurrentCopy = NOT_SET;  // further copy of the first-stage inductor current (A)
    double firstInductorWindingResistance = NOT_SET;  // winding resistance of the first-stage inductor (ohm)
    // integral of the square of the first inductor voltage (V^2 s)
    double firstInductorSquareVoltageIntegral = 0.0;
    double firstInductorVoltage = NOT_SET;  // voltage across the first-stage inductor winding (V)
    double firstInductance = NOT_SET;  // first-stage inductance (H)
    double dampingInductorMeanCurrent = NOT_SET;  // mean current of the damping inductor (A)
    double dampingInductorMeanSquareCurrent = 0.0;  // mean square current of the damping inductor (A^2)
    double dampingInductorMeanSquareVoltage = 0.0;  // mean square voltage of the damping inductor (V^2)
    // integral of the damping inductor current over the period (A s)
    double dampingInductorCurrentIntegral = 0.0;
    double dampingInductanceSlope = NOT_SET;  // dL/dI of the damping inductor (H/A)
    // integral of the square of the damping inductor current (A^2 s)
    double dampingInductorSquareCurrentIntegral = 0.0;
    double dampingInductorCurrent = NOT_SET;  // present current of the damping inductor (A)
    double dampingInductorCurrentSlope = NOT_SET;  // dI/dt of the damping inductor current (A/s)
    double dampingInductorParallelResistance = NOT_SET;  // parallel resistance of the damping inductor (ohm)
    double dampingInductorCurrentCopy = NOT_SET;  // further copy of the damping inductor current (A)
    double dampingInductorWindingResistance = NOT_SET;  // winding resistance of the damping inductor (ohm)
    // integral of the square of the damping inductor voltage (V^2 s)
    double dampingInductorSquareVoltageIntegral = 0.0;
    double dampingInductorVoltage = NOT_SET;  // voltage across the damping inductor winding (V)
    double dampingInductance = NOT_SET;  // damping inductance (H)
    double secondInductorMeanCurrent = NOT_SET;  // mean current of the second-stage inductor (A)
    double secondInductorMeanSquareCurrent = 0.0;  // mean square current of the second inductor (A^2)
    double secondInductorMeanSquareVoltage = 0.0;  // mean square voltage of the second inductor (V^2)
    // integral of the second inductor current over the period (A s)
    double secondInductorCurrentIntegral = 0.0;
    double secondInductanceSlope = NOT_SET;  // dL/dI of the second-stage inductor (H/A)
    // integral of the square of the second inductor current (A^2 s)
    double secondInductorSquareCurrentIntegral = 0.0;
    double secondInductorCurrent = NOT_SET;  // present current of the second-stage inductor (A)
    double secondInductorCurrentSlope = NOT_SET;  // dI/dt of the second-stage inductor current (A/s)
    double dampingBranchCurrent = NOT_SET;  // current of the damping branch (A)
    double dampingResistorDrop = NOT_SET;  // drop across the damping resistor (V)
    // parallel resistance of the second-stage inductor (ohm)
    double secondInductorParallelResistance = NOT_SET;
    double secondInductorCurrentCopy = NOT_SET;  // further copy of the second-stage inductor current (A)
    double secondInductorWindingResistance = NOT_SET;  // winding resistance of the second-stage inductor (ohm)
    // integral of the square of the second inductor voltage (V^2 s)
    double secondInductorSquareVoltageIntegral = 0.0;
    double secondInductorVoltage = NOT_SET;  // voltage across the second-stage inductor winding (V)
    double secondInductance = NOT_SET;  // second-stage inductance (H)
    double phase = NOT_SET;  // phase angle of the line phase (rad)
    double lineVoltage = NOT_SET;  // phase voltage including the transient tables (V)
    double startTermA = NOT_SET;  // "Line Filter DC or AC/Phase 0 Output Current" (A); 0 at turn-on
    // "Line Filter DC or AC/Phase 0 Output Voltage" (V); set to startValue at turn-on
    double startValueCopy = NOT_SET;
    double lineCurrentHeld = NOT_SET;  // held copy of the line current (A); alias PhaseCurrent
    double phaseVoltage = NOT_SET;  // phase voltage at the start without transients (V); alias PhaseVoltage
    double lineTerminalVoltage = NOT_SET;  // "Line Source ... Line Voltage": behind the line's impedance (V)
};

// The line rectifier.
struct LineRectifierStateRec {
    int32_t diode1State = 0;  // state flag of line rectifier diode 1; alias LineDiodeOn[0]
    int32_t diode2State = 0;  // state flag of line rectifier diode 2; alias LineDiodeOn[1]
    int32_t diode3State = 0;  // state flag of line rectifier diode 3; alias LineDiodeOn[2]
    int32_t diode4State = 0;  // state flag of line rectifier diode 4; alias LineDiodeOn[3]
    int32_t diode5State = 0;  // state flag of line rectifier diode 5; alias LineDiodeOn[4]
    int32_t diode6State = 0;  // state flag of line rectifier diode 6; alias LineDiodeOn[5]
    int32_t diode7State = 0;  // state flag of line rectifier diode 7; alias LineDiodeOn[6]
    int32_t diode8State = 0;  // state flag of line rectifier diode 8; alias LineDiodeOn[7]
    double diode8TermA = 0.0;  // value kept with the diode8 quantities; alias LineRectLoadCurrent
    double negativeRectifierCurrent = 0.0;  // "Line Rectifier Negative Rectifier Current" (A)
    double negativeRectifierVoltage = 0.0;  // "Line Rectifier Negative Rectifier Voltage" (V)
    double neutralRectifierCurrent = 0.0;  // "Line Rectifier Neutral Rectifier Current" (A)
    double positiveRectifierCurrent = 0.0;  // "Line Rectifier Positive Rectifier Current" (A)
    double positiveRectifierVoltage = 0.0;  // "Line Rectifier Positive Rectifier Voltage" (V)
    double diode1Current = NOT_SET;  // current of line rectifier diode 1 (A); alias LineDiode[0].Current
    // second current field of line rectifier diode 1 (A), set by the initial values and read by the
    // per-step state set-up; alias LineDiode[0].CurrentSlope
    double diode1SecondCurrent = NOT_SET;
    // resistance of line rectifier diode 1 (ohm); alias LineDiode[0].Resistance
    double diode1Resistance = NOT_SET;
    double diode1Voltage = NOT_SET;  // voltage of line rectifier diode 1 (V); alias LineDiode[0].Voltage
    double diode2Current = NOT_SET;  // current of line rectifier diode 2 (A); alias LineDiode[1].Current
    // second current field of line rectifier diode 2 (A), set by the initial values and read by the
    // per-step state set-up; alias LineDiode[1].CurrentSlope
    double diode2SecondCurrent = NOT_SET;
    // resistance of line rectifier diode 2 (ohm); alias LineDiode[1].Resistance
    double diode2Resistance = NOT_SET;
    double diode2Voltage = NOT_SET;  // voltage of line rectifier diode 2 (V); alias LineDiode[1].Voltage
    // "Line Rectifier Rectifier 3 Anode to Cathode Current" (A); alias LineDiode[2].Current
    double diode3Current = NOT_SET;
    // second current field of line rectifier diode 3 (A), set by the initial values and read by the
    // per-step state set-up; alias LineDiode[2].CurrentSlope
    double diode3SecondCurrent = NOT_SET;
    // resistance of line rectifier diode 3 (ohm); alias LineDiode[2].Resistance
    double diode3Resistance = NOT_SET;
    // "Line Rectifier Rectifier 3 Anode to Cathode Voltage" (V); alias LineDiode[2].Voltage
    double diode3Voltage = NOT_SET;
    // "Line Rectifier Rectifier 4 Anode to Cathode Current" (A); alias LineDiode[3].Current
    double diode4Current = NOT_SET;
    // second current field of line rectifier diode 4 (A), set by the initial values and read by the
    // per-step state set-up; alias LineDiode[3].CurrentSlope
    double diode4SecondCurrent = NOT_SET;
    // resistance of line rectifier diode 4 (ohm); alias LineDiode[3].Resistance
    double diode4Resistance = NOT_SET;
    // "Line Rectifier Rectifier 4 Anode to Cathode Voltage" (V); alias LineDiode[3].Voltage
    double diode4Voltage = NOT_SET;
    // "Line Rectifier Rectifier 1 Anode to Cathode Current" (A); alias LineDiode[4].Current
    double diode5Current = NOT_SET;
    // second current field of line rectifier diode 5 (A), set by the initial values and read by the
    // per-step state set-up; alias LineDiode[4].CurrentSlope
    double diode5SecondCurrent = NOT_SET;
    // resistance of line rectifier diode 5 (ohm); alias LineDiode[4].Resistance
    double diode5Resistance = NOT_SET;
    // "Line Rectifier Rectifier 1 Anode to Cathode Voltage" (V); alias LineDiode[4].Voltage
    double diode5Voltage = NOT_SET;
    // "Line Rectifier Rectifier 2 Anode to Cathode Current" (A); alias LineDiode[5].Current
    double diode6Current = NOT_SET;
    // second current field of line rectifier diode 6 (A), set by the initial values and read by the
    // per-step state set-up; alias LineDiode[5].CurrentSlope
    double diode6SecondCurrent = NOT_SET;
    // resistance of line rectifier diode 6 (ohm); alias LineDiode[5].Resistance
    double diode6Resistance = NOT_SET;
    // "Line Rectifier Rectifier 2 Anode to Cathode Voltage" (V); alias LineDiode[5].Voltage
    double diode6Voltage = NOT_SET;
    // "Line Rectifier Rectifier 1 Anode to Cathode Current" (A); alias LineDiode[6].Current
    double diode7Current = NOT_SET;
    // second current field of line rectifier diode 7 (A), set by the initial values and read by the
    // per-step state set-up; alias LineDiode[6].CurrentSlope
    double diode7SecondCurrent = NOT_SET;
    // resistance of line rectifier diode 7 (ohm); alias LineDiode[6].Resistance
    double diode7Resistance = NOT_SET;
    // "Line Rectifier Rectifier 1 Anode to Cathode Voltage" (V); alias LineDiode[6].Voltage
    double diode7Voltage = NOT_SET;
    // "Line Rectifier Rectifier 2 Anode to Cathode Current" (A); alias LineDiode[7].Current
    double diode8Current = NOT_SET;
    // second current field of line rectifier diode 8 (A), set by the initial values and read by the
    // per-step state set-up; alias LineDiode[7].CurrentSlope
    double diode8SecondCurrent = NOT_SET;
    // resistance of line rectifier diode 8 (ohm); alias LineDiode[7].Resistance
    double diode8Resistance = NOT_SET;
    double diode8Voltage = NOT_SET;  // voltage of line rectifier diode 8 (V); alias LineDiode[7].Voltage
};

// The input capacitor (one or two capacitors).
struct InputCapacitorStateRec {
    double lowerBulkCapacitorCurrent = 0.0;  // "Input Capacitor Lower Bulk Capacitor Current" (A)
    double capSlot1Voltage = NOT_SET;  // input capacitor voltage slot 1 (V)
    double capSlot1VoltageHeld = NOT_SET;  // held copy of capSlot1Voltage (V)
    // "Input Capacitor Lower Bulk Damping Capacitor Current" (A)
    double lowerBulkDampingCapacitorCurrent = 0.0;
    double capSlot2Voltage = NOT_SET;  // input capacitor voltage slot 2 (V)
    double capSlot2VoltageHeld = NOT_SET;  // held copy of capSlot2Voltage (V)
    double upperBulkCapacitorCurrent = 0.0;  // "Input Capacitor Upper Bulk Capacitor Current" (A)
    double capSlot3Voltage = NOT_SET;  // input capacitor voltage slot 3 (V)
    double capSlot3VoltageHeld = NOT_SET;  // held copy of capSlot3Voltage (V)
    // "Input Capacitor Upper Bulk Damping Capacitor Current" (A)
    double upperBulkDampingCapacitorCurrent = 0.0;
    double capSlot4Voltage = NOT_SET;  // input capacitor voltage slot 4 (V)
    double capSlot4VoltageHeld = NOT_SET;  // held copy of capSlot4Voltage (V)
    // "Input Capacitor Negative Capacitor Current" (A); alias Cap2Current
    double negativeCapacitorCurrent = 0.0;
    double capacitorVoltage2 = NOT_SET;  // voltage of the second input capacitor (V); alias Cap2Voltage
    // "Input Capacitor Positive Capacitor Current" (A); alias Cap1Current
    double positiveCapacitorCurrent = 0.0;
    double capacitorVoltage1 = NOT_SET;  // voltage of the first input capacitor (V); alias Cap1Voltage
    double inputVoltage = NOT_SET;  // rectified input (bulk) voltage (V); alias InputVoltage
};

// Primary (power) section and power transformer primary. switchState is the primary switch
// state of the present step: 0 off and idle, 1 off with the reset or clamp path conducting,
// 2 on, 3 the resonant or clamp interval of the resonant-reset and active-clamp variants.
struct PrimaryStateRec {
    int32_t primaryFlagA = 0;  // flag kept with the primary quantities
    int32_t clampRectifierOn = 0;  // clamp rectifier (Passive Clamp) conducting
    int32_t clampRectifierOffRequest = 0;  // request: clamp rectifier stops conducting
    int32_t resetRectifiersOn = 0;  // primary rectifiers 1 and 2 (Two Switch reset path) conducting
    int32_t resetRectifiersOffRequest = 0;  // request: primary rectifiers 1 and 2 stop conducting
    int32_t resetRectifierOn = 0;  // reset rectifier (Single Switch) conducting
    int32_t resetRectifierOffRequest = 0;  // request: reset rectifier stops conducting
    int32_t resetRectifierFlagA = 1;  // flag kept with the reset rectifier quantities
    int32_t clampSwitchDiodeConducting = 0;  // non-zero: the clamp switch body diode conducts
    int32_t clampSwitchDiodeOffRequest = 0;  // request: clamp switch body diode stops conducting
    int32_t clampSwitchDiodeOnRequest = 0;  // request: clamp switch body diode starts conducting
    int32_t clampSwitchActive = 0;  // 1 in the active clamp variants
    int32_t clampSwitchOffRequest = 0;  // request: clamp switch stops conducting
    int32_t clampSwitchOnRequest = 0;  // request: clamp switch starts conducting
    int32_t switch1DiodeConducting = 0;  // non-zero: the SW1 body diode conducts; alias Sw1BodyDiodeOn
    // request: switch 1 body diode stops conducting; alias Sw1BodyDiodeRelease
    int32_t switch1DiodeOffRequest = 0;
    // request: switch 1 body diode starts conducting (counts in the switch-state decision only while
    // StepStateRec.driveOn)
    int32_t switch1DiodeOnRequest = 0;
    int32_t switch1Conducting = 0;  // switch 1 conducting (its on-resistance in circuit); alias Sw1On
    int32_t switch1OffRequest = 0;  // request: switch 1 stops conducting; alias Sw1TurnedOff
    // request: switch 1 starts conducting (raised by the zero-crossing predictor with the drive on); alias
    // Sw1TurnedOn
    int32_t switch1OnRequest = 0;
    int32_t switch1FlagA = 0;  // flag kept with the switch1 quantities; alias switchOnSeen
    double clampCapacitorCurrent = NOT_SET;  // "Primary Section Clamp Capacitor Current" (A)
    double clampCapacitorVoltageState = NOT_SET;  // state copy of clampCapacitorVoltage
    double clampCapacitorVoltage = NOT_SET;  // clamp capacitor voltage (V); alias ClampVoltage
    double resetCurrentCopy = NOT_SET;  // second reset current field (A)
    double clampResistorCurrent = NOT_SET;  // clamp resistor current (A)
    double magnetizingCurrent = NOT_SET;  // power transformer magnetising current (A)
    double magnetizingInductanceSlope = NOT_SET;  // dL/dI of the magnetising inductance (H/A)
    // power transformer magnetising inductance (H); alias MagnetizingInductance
    double magnetizingInductance = NOT_SET;
    double magnetizingCurrentCopy1 = NOT_SET;  // copy of the magnetising current (A)
    double magnetizingSpareA = 0.0;  // unused
    double magnetizingSpareB = 0.0;  // unused
    double magnetizingSpareC = 0.0;  // unused
    double magnetizingSpareD = 0.0;  // unused
    double transformerPrimaryCurrent = NOT_SET;  // total power transformer primary current (A)
    double magnetizingCurrentCopy5 = NOT_SET;  // copy of the magnetising current (A); alias PrimaryInputCurrent
    double primaryWindingCurrentSlope = NOT_SET;  // dI/dt of the primary winding current (A/s)
    double cycleAccumulator = 0.0;  // per-cycle sum added to by the per-step set-up; alias TransitionLossPower
    double idleTestCurrent = 0.0;  // difference of two primary quantities formed by the state-matrix assembly
    double primaryWindingResistance = NOT_SET;  // primary winding resistance (ohm)
    double mutualPriReset = NOT_SET;  // primary to reset winding mutual inductance (H)
    double mutualPriSec1 = NOT_SET;  // primary to secondary 1 mutual inductance (H)
    double mutualPriSec2 = NOT_SET;  // primary to secondary 2 (H)
    double mutualPriSec3 = NOT_SET;  // primary to secondary 3 (H)
    double mutualPriSec4 = NOT_SET;  // primary to secondary 4 (H)
    double senseDiodeResistance = NOT_SET;  // current sense diode resistance (ohm)
    // "Primary Section Current Sense Rectifier Anode to Cathode Voltage" (V)
    double currentSenseRectifierAnodeToCathodeVoltage = NOT_SET;
    double senseXfmrSecondaryCurrentCopy = 0.0;  // copy of ctCurrentC
    double currentSenseResistorVoltage = NOT_SET;  // "Primary Section Current Sense Resistor Voltage" (V)
    // the voltage across the sense resistor, `senseXfmrSecondaryCurrent` times
    // `PrimaryInputRec.senseResistance`
    double currentSenseOutput = NOT_SET;
    double currentSenseOutputSpareA = 0.0;  // unused
    double primaryWindingCurrent = 0.0;  // present primary winding current (A)
    double primaryWindingVoltage = NOT_SET;  // present primary winding voltage (V)
    double primaryOpenResistance = NOT_SET;  // open resistance of the primary winding element (ohm)
    double clampDiodeAnodeVoltage = NOT_SET;  // "Primary Section Clamp Diode Anode Voltage" (V)
    double clampDiodeCathodeVoltage = NOT_SET;  // "Primary Section Clamp Diode Cathode Voltage" (V)
    // "Primary Section Clamp Rectifier Anode to Cathode Current" (A)
    double clampRectifierAnodeToCathodeCurrent = 0.0;
    double resetDiodeCurrent = NOT_SET;  // reset diode current (A)
    double resetDiodeResistance = NOT_SET;  // reset diode resistance (ohm)
    double resetDiodeVoltage = NOT_SET;  // reset diode voltage (V)
    double diode1Current = NOT_SET;  // diode 1 current (A)
    double diode1Aux = NOT_SET;  // auxiliary field of diode 1
    double diode1Voltage = NOT_SET;  // diode 1 voltage (V)
    double diode2Current = NOT_SET;  // diode 2 current (A)
    double diode2Voltage = NOT_SET;  // diode 2 voltage (V)
    double diode1Resistance = NOT_SET;  // diode 1 resistance (ohm)
    // "Primary Section Reset Rectifier Anode to Cathode Current" (A)
    double resetRectifierAnodeToCathodeCurrent = 0.0;
    double senseAmpCurrent = NOT_SET;  // sense amplifier current (A)
    double senseAmpResistance = NOT_SET;  // sense amplifier resistance (ohm)
    double senseAmpVoltage = NOT_SET;  // sense amplifier voltage (V)
    double resetWindingAux = NOT_SET;  // auxiliary field of the reset winding
    double resetWindingSpareA = 0.0;  // unused
    double resetWindingSpareB = 0.0;  // unused
    double resetCapacitorCurrent = 0.0;  // "Primary Section Reset Capacitor Current" (A)
    double capacitorVoltageCopy = 0.0;  // copy of the clamp or reset capacitor voltage (V)
    double capacitorVoltage = 0.0;  // clamp or reset capacitor voltage (V)
    double capacitorSpareA = 0.0;  // unused
    double capacitorSpareB = 0.0;  // unused
    double resetWindingCurrent = NOT_SET;  // reset winding current (A)
    double resetWindingInductance = NOT_SET;  // reset winding inductance (H)
    double resetWindingResistance = NOT_SET;  // reset winding resistance (ohm)
    double resetWindingSpareC = 0.0;  // unused
    double resetWindingVoltage = NOT_SET;  // reset winding voltage (V)
    double secondaryInductance1 = NOT_SET;  // present inductance of secondary winding 1 (H)
    double mutualResetSec1 = NOT_SET;  // reset winding to secondary 1 (H)
    double mutualSec1Sec2 = NOT_SET;  // mutual inductance between secondary windings 1 and 2 (H)
    double mutualSec1Sec3 = NOT_SET;  // mutual inductance secondaries 1-3 (H)
    double mutualSec1Sec4 = NOT_SET;  // mutual inductance secondaries 1-4 (H)
    double secondaryInductance2 = NOT_SET;  // present inductance of secondary winding 2 (H)
    double mutualResetSec2 = NOT_SET;  // reset winding to secondary 2 (H)
    double mutualSec2Sec3 = NOT_SET;  // mutual inductance secondaries 2-3 (H)
    double mutualSec2Sec4 = NOT_SET;  // mutual inductance secondaries 2-4 (H)
    double secondaryInductance3 = NOT_SET;  // present inductance of secondary winding 3 (H)
    double mutualResetSec3 = NOT_SET;  // reset winding to secondary 3 (H)
    double mutualSec3Sec4 = NOT_SET;  // mutual inductance secondaries 3-4 (H)
    double secondaryInductance4 = NOT_SET;  // present inductance of secondary winding 4 (H)
    double mutualResetSec4 = NOT_SET;  // reset winding to secondary 4 (H)
    double clampSwitchDiodeCurrent = 0.0;  // clamp switch body diode current (A)
    double clampSwitchVoltage = NOT_SET;  // clamp switch voltage (V)
    double clampSwitchResistance = NOT_SET;  // clamp switch resistance (ohm)
    double clampSwitchAux1 = NOT_SET;  // auxiliary field of the clamp switch
    double clampSwitchOnResistance = NOT_SET;  // clamp switch on-resistance (ohm)
    double clampSwitchCurrent = NOT_SET;  // clamp switch current (A)
    double clampSwitchDrainVoltage = NOT_SET;  // "Primary Section Clamp Switch Drain Voltage" (V)
    double clampSwitchAux2 = NOT_SET;  // auxiliary field of the clamp switch
    double clampSwitchAux3 = NOT_SET;  // auxiliary field of the clamp switch
    double clampSwitchSourceVoltage = NOT_SET;  // "Primary Section Clamp Switch Source Voltage" (V)
    double clampSwitchAux4 = NOT_SET;  // auxiliary field of the clamp switch
    double switch1DiodeCurrent = 0.0;  // SW1 body diode current (A)
    double switch1Current = NOT_SET;  // switch SW1 current (A); alias SwitchCurrent
    double switch1Voltage = NOT_SET;  // switch SW1 voltage (V); alias SwitchVoltage
    double switch1DrainToSourceCurrent = 0.0;  // "Primary Section Switch 1 Drain to Source Current" (A)
    double switch1DrainVoltage = NOT_SET;  // "Primary Section Switch 1 Drain Voltage" (V)
    double switch1SourceVoltage = NOT_SET;  // "Primary Section Switch 1 Source Voltage" (V)
    double switch1VoltageCopy = NOT_SET;  // copy of the SW1 voltage (V)
    double switch2Link = NOT_SET;  // SW1 body diode current seen by the second switch (A)
    double switch2Current = NOT_SET;  // second switch current (A); alias Sw2Current
    double switch2DrainVoltage = NOT_SET;  // "Primary Section Switch 2 Drain Voltage" (V)
    double switch2SourceVoltage = NOT_SET;  // "Primary Section Switch 2 Source Voltage" (V)
    double switch2Voltage = NOT_SET;  // second switch voltage (V)
    double switch1Resistance = NOT_SET;  // switch SW1 resistance (ohm)
    double switch1OffResistance = NOT_SET;  // switch SW1 off resistance (ohm)
    double switch1Aux1 = NOT_SET;  // auxiliary field of SW1
    double switch1Aux2 = NOT_SET;  // auxiliary field of SW1
    // sum of the secondary winding currents reflected to the primary (A)
    double reflectedSecondaryCurrent = 0.0;
    double senseXfmrOffResistance2 = NOT_SET;  // second open resistance of the current sense transformer (ohm)
    double senseXfmrAux2 = NOT_SET;  // auxiliary field of the current sense transformer
    double senseXfmrResistance = NOT_SET;  // winding resistance copy of the current sense transformer (ohm)
    double senseXfmrCurrent = NOT_SET;  // magnetising current of the current sense transformer (A)
    double senseXfmrInductance2 = NOT_SET;  // inductance paired with current B (H)
    double senseXfmrAux1 = NOT_SET;  // auxiliary field of the current sense transformer
    double senseXfmrSpareA = 0.0;  // unused
    double senseXfmrSpareB = 0.0;  // unused
    double senseXfmrSpareC = 0.0;  // unused
    double senseXfmrSpareD = 0.0;  // unused
    double senseXfmrCurrent2 = 0.0;  // current sense transformer current B (A)
    double senseXfmrInductanceSlope = NOT_SET;  // dL/dI of the current sense transformer (H/A)
    double senseXfmrInductance = NOT_SET;  // current sense transformer inductance (H)
    double senseXfmrOffResistance = NOT_SET;  // open resistance of the current sense transformer (ohm)
    double senseXfmrWindingResistance = NOT_SET;  // winding resistance of the current sense transformer (ohm)
    double senseXfmrInput2 = 0.0;  // additive input of the sense transformer update
    double senseXfmrInput2SpareA = 0.0;  // unused
    double senseXfmrVoltage = NOT_SET;  // primary winding voltage of the current sense transformer (V)
    double senseXfmrSpareE = 0.0;  // unused
    double senseXfmrSpareF = 0.0;  // unused
    double senseXfmrSpareG = 0.0;  // unused
    double senseXfmrSpareH = 0.0;  // unused
    double senseXfmrSpareI = 0.0;  // unused
    double senseXfmrSecondaryCurrent = NOT_SET;  // secondary current of the current sense transformer (A)
    double senseXfmrSecondaryInductance = NOT_SET;  // inductance paired with current C (H)
    // secondary resistance of the current sense transformer (ohm)
    double senseXfmrSecondaryResistance = NOT_SET;
    double senseXfmrSecondarySpareA = 0.0;  // unused
    double senseXfmrSecondaryVoltage = NOT_SET;  // secondary voltage of the current sense transformer (V)
    int32_t switchState = 0;  // primary switch state 0-3 of the present step; alias primarySwitchState
};

// One secondary winding of the power transformer.
struct SecondaryWindingStateRec {
    // mean current of the secondary winding over the switching periods taken (A)
    double windingMeanCurrent = 0.0;
    double windingMeanSquareCurrent = 0.0;  // mean square current of the secondary winding (A^2)
    double windingMeanSquareVoltage = 0.0;  // mean square voltage of the secondary winding (V^2)
    // integral of the current of the secondary winding over the switching period (A s)
    double windingCurrentIntegral = 0.0;
    // integral of the square of the current of the secondary winding over the switching period (A^2 s)
    double windingSquareCurrentIntegral = 0.0;
    double windingInductance = NOT_SET;  // inductance of this secondary winding (H)
    double windingResistance = NOT_SET;  // secondary winding resistance (ohm)
    // integral of the square of the voltage of the secondary winding over the switching period (V^2 s)
    double windingSquareVoltageIntegral = 0.0;
    double windingCouplingFactor = NOT_SET;  // factor of the output in the reset-winding terms
    double windingCurrent = NOT_SET;  // current of this secondary winding (A)
    double windingVoltage = NOT_SET;  // secondary winding voltage (V)
};

// One output's secondary rectifier.
struct SecondaryRectifierStateRec {
    int32_t outputCurrentZero = 0;  // 1: the output current is held at zero (rectifiers not conducting)
    int32_t outputConducting = 0;  // 1: the output conducts
    int32_t rectifier1On = 0;  // rectifier 1 of the output conducting
    int32_t rectifier1Settled = 0;  // turn-on delay of rectifier 1 has run out; alias Rect1TurnedOn
    int32_t turnOffStartA = 0;  // turn-off of the output started with the primary switch (first kind)
    int32_t turnOffStartAFlagA = 0;  // flag kept with the turn off start a quantities
    int32_t turnOffStartAFlagB = 1;  // flag kept with the turn off start a quantities
    int32_t diodeConducting = 1;  // non-zero: the rectifier diode conducts
    int32_t diodeFlagA = 0;  // flag kept with the diode quantities
    int32_t diodeFlagB = 0;  // flag kept with the diode quantities
    int32_t switchPathAOn = 0;  // first switch path of the output conducting
    int32_t switchPathASettled = 0;  // turn-on delay of the first switch path has run out
    int32_t turnOffStartB = 0;  // turn-off of the output started with the primary switch (second kind)
    int32_t switchPathBOn = 0;  // second switch path of the output conducting
    int32_t switchPathBSettled = 0;  // turn-on delay of the second switch path has run out
    int32_t delayExpired = 0;  // transition delay timer of the output has run out
    int32_t secondDiodeConducting = 0;  // non-zero: the diode beside a resistive rectifier conducts
    int32_t secondDiodeFlagA = 0;  // flag kept with the second diode quantities
    int32_t secondDiodeFlagB = 0;  // flag kept with the second diode quantities
    int32_t resistiveActive = 0;  // 1 for a resistive rectifier
    int32_t resistiveFlagA = 0;  // flag kept with the resistive quantities
    int32_t resistiveFlagB = 0;  // flag kept with the resistive quantities
    double forwardVoltage = NOT_SET;  // forward voltage of the conducting secondary rectifier (V)
    double outputSideVoltage = NOT_SET;  // output-side voltage of the rectifier (V)
    // "Secondary Section 1 Rectifier 1 Anode to Cathode Current" (A)
    double rectifier1AnodeToCathodeCurrent = NOT_SET;
    // value kept with the rectifier1 anode to cathode quantities
    double rectifier1AnodeToCathodeTermA = NOT_SET;
    double rectifier1Resistance = NOT_SET;  // resistance of rectifier 1 (ohm)
    double rectifierCurrent = NOT_SET;  // current of the output rectifier (A); alias RectCurrent
    // "Secondary Section 1 Rectifier 1 Anode to Cathode Voltage" (V)
    double rectifier1AnodeToCathodeVoltage = NOT_SET;
    double diodeCurrent = NOT_SET;  // rectifier diode current (A)
    double diodeTermA = NOT_SET;  // value kept with the diode quantities
    double diodeResistance = NOT_SET;  // rectifier diode resistance (ohm)
    // "Secondary Section 1 Rectifier 2 Total Anode to Cathode Current" (A)
    double rectifier2TotalAnodeToCathodeCurrent = NOT_SET;
    double rectifierVoltage = NOT_SET;  // rectifier forward (or reverse) voltage (V)
    double rectifierTermA = NOT_SET;  // value kept with the rectifier quantities
    double rectifierTermB = NOT_SET;  // value kept with the rectifier quantities
    double switchPathAResistance = NOT_SET;  // resistance of the first switch path (ohm)
    double switchPathATermA = NOT_SET;  // value kept with the switch path a quantities
    double switch1DrainToSourceCurrent = NOT_SET;  // "Secondary Section 1 Switch 1 Drain to Source Current" (A)
    double switch1DrainToSourceTermA = NOT_SET;  // value kept with the switch1 drain to source quantities
    double switch1DrainToSourceTermB = NOT_SET;  // value kept with the switch1 drain to source quantities
    double switch1DrainToSourceVoltage = NOT_SET;  // "Secondary Section 1 Switch 1 Drain to Source Voltage" (V)
    double secondDiodeCurrent = NOT_SET;  // current of the diode beside a resistive rectifier (A)
    double secondDiodeTermA = NOT_SET;  // value kept with the second diode quantities
    double secondDiodeResistanceNow = NOT_SET;  // resistance of that diode (ohm)
    double channelResistance = NOT_SET;  // channel on-resistance (ohm)
    double channelCurrent = NOT_SET;  // channel current (A)
    double channelTermA = NOT_SET;  // value kept with the channel quantities
    double channelTermB = NOT_SET;  // value kept with the channel quantities
    double channelVoltage = NOT_SET;  // channel voltage (V)
    // coupling coefficient of the output to the primary, used by the coupled rectifier solves
    double windingCoefficient = NOT_SET;
    double chokeCurrentCopy = NOT_SET;  // choke current seen by the rectifier (A)
    double rectifierSectionInputVoltage = NOT_SET;  // "Secondary Section 1 Rectifier Section Input Voltage" (V)
    double rectifiedVoltage = NOT_SET;  // rectified secondary voltage seen by the choke (V)
    double modulatorVoltage = 0.0;  // the rectified voltage through the feedback's modulator lag (V)
    int32_t conductionLatch = 0;  // cleared when the output stops conducting
    int32_t bodyDiode2Conducting = 0;  // non-zero: rectifier 2's transistor body diode conducts
    // resistance of that body diode (ohm): its on-resistance while it conducts, else the off-resistance
    double bodyDiode2ResistanceNow = NOT_SET;
};

// One output's choke.
struct OutputChokeStateRec {
    int32_t chokeFlagA = 0;  // flag kept with the choke quantities; alias chokeCurrentForward
    int32_t continuousConduction = 1;  // non-zero: the output choke conducts continuously
    double meanCurrent = NOT_SET;  // mean choke current (A)
    double chokeMeanSquareCurrent = 0.0;  // mean square current of the output choke (A^2)
    double chokeMeanSquareVoltage = 0.0;  // mean square voltage of the output choke (V^2)
    // integral of the current of the output choke over the switching period (A s)
    double chokeCurrentIntegral = 0.0;
    double inductanceSlope = NOT_SET;  // dL/dI of the choke (H/A)
    // integral of the square of the current of the output choke over the switching period (A^2 s)
    double chokeSquareCurrentIntegral = 0.0;
    double chokeCurrent = NOT_SET;  // output choke current (A), state variable; alias ChokeCurrent
    double currentSlope = NOT_SET;  // dI/dt of the choke current (A/s); alias ChokeCurrentSlope
    double totalResistance = NOT_SET;  // total series resistance of the choke path (ohm)
    double squareCurrentIntegral = NOT_SET;  // integral of the square of the choke current (A^2 s)
    double parallelResistance = NOT_SET;  // parallel resistance of the choke (ohm)
    double lookupCurrent = NOT_SET;  // coupled current sum (A)
    double windingResistance = NOT_SET;  // choke winding resistance (ohm)
    double totalInductance = NOT_SET;  // total series inductance of the choke path (H)
    // integral of the square of the voltage of the output choke over the switching period (V^2 s)
    double chokeSquareVoltageIntegral = 0.0;
    double windingVoltage = NOT_SET;  // voltage across the choke winding (V)
    double inductance = NOT_SET;  // present inductance of the choke (H)
    double reportedChokeCurrent = NOT_SET;  // "Output Choke 1 Choke Current" (A)
    double seriesElementVoltage = NOT_SET;  // voltage across the fixed series element (V)
    double currentSenseOutput = NOT_SET;  // sensed choke current value
    double currentSenseOutputTermA = 0.0;  // value kept with the current sense output quantities
    double skimMeanCurrent = NOT_SET;  // mean current of the skim winding (A)
    double skimMeanSquareCurrent = 0.0;  // mean square current of the skim winding of the output choke (A^2)
    double skimMeanSquareVoltage = 0.0;  // mean square voltage of the skim winding of the output choke (V^2)
    // integral of the current of the skim winding of the output choke over the switching period (A s)
    double skimCurrentIntegral = 0.0;
    double skimInductanceSlope = NOT_SET;  // dL/dI of the skim winding (H/A)
    // integral of the square of the current of the skim winding of the output choke over the switching
    // period (A^2 s)
    double skimSquareCurrentIntegral = 0.0;
    double skimParallelResistance = NOT_SET;  // parallel resistance of the skim winding (ohm)
    double skimCurrent = NOT_SET;  // skim winding current (A)
    double skimWindingResistance = NOT_SET;  // skim winding resistance (ohm)
    // integral of the square of the voltage of the skim winding of the output choke over the switching
    // period (V^2 s)
    double skimSquareVoltageIntegral = 0.0;
    double skimVoltage = NOT_SET;  // voltage across the skim winding (V)
    double skimInductance = NOT_SET;  // skim winding inductance (H)
};

// One output's first- and second-stage filter.
struct OutputFilterStateRec {
    int32_t filterFlagA = 0;  // flag kept with the filter quantities
    int32_t senseDiodeActive = 0;  // 1 when the sense diode is preset
    double capacitorCurrent1 = NOT_SET;  // current of the first capacitor slot (A)
    double capacitorVoltage1 = NOT_SET;  // voltage of the first capacitor slot (V)
    double capAVoltage = NOT_SET;  // output filter capacitor A voltage (V)
    double capacitorCurrent = NOT_SET;  // current into the first-stage capacitor (A)
    double capacitor2Current = NOT_SET;  // current of the second capacitor (A)
    double capacitor2Voltage = NOT_SET;  // voltage of the second capacitor (V)
    double capacitor2VoltageCopy = NOT_SET;  // copy of the second capacitor voltage (V)
    double capA2Voltage = NOT_SET;  // second capacitor of group A (V)
    double capacitorVoltage = NOT_SET;  // first-stage output filter capacitor voltage (V)
    double outputCapacitorCurrent = NOT_SET;  // current of the second-stage output capacitor (A)
    double outputCapacitorVoltageCopy = NOT_SET;  // copy of the second-stage output capacitor voltage (V)
    double capBVoltage = NOT_SET;  // output filter capacitor B voltage (V)
    double outputCapacitor2Current = NOT_SET;  // current of the second output capacitor (A)
    double outputCapacitor2Voltage = NOT_SET;  // voltage of the second output capacitor (V)
    double outputCapacitor2VoltageCopy = NOT_SET;  // copy of that voltage (V)
    double capB2Voltage = NOT_SET;  // second capacitor of group B (V)
    double dampingInductorMeanCurrent = NOT_SET;  // mean current of the damping inductor (A)
    // mean square current of the second-stage damping inductor (A^2)
    double secondStageDampingInductorMeanSquareCurrent = 0.0;
    // mean square voltage of the second-stage damping inductor (V^2)
    double secondStageDampingInductorMeanSquareVoltage = 0.0;
    // integral of the current of the second-stage damping inductor over the switching period (A s)
    double secondStageDampingInductorCurrentIntegral = 0.0;
    double dampingInductanceSlope = NOT_SET;  // dL/dI of the damping inductor (H/A)
    // integral of the square of the current of the second-stage damping inductor over the switching period
    // (A^2 s)
    double secondStageDampingInductorSquareCurrentIntegral = 0.0;
    double dampingInductorCurrentSlope = NOT_SET;  // dI/dt of the damping inductor (A/s)
    double dampingInductorParallelResistance = NOT_SET;  // parallel resistance of the damping inductor (ohm)
    double dampingInductorCurrentCopy = NOT_SET;  // copy of the damping inductor current (A)
    double dampingInductorWindingResistance = NOT_SET;  // winding resistance of the damping inductor (ohm)
    // integral of the square of the voltage of the second-stage damping inductor over the switching period
    // (V^2 s)
    double secondStageDampingInductorSquareVoltageIntegral = 0.0;
    double dampingInductorVoltage = NOT_SET;  // voltage across the damping inductor winding (V)
    double dampingInductance = NOT_SET;  // damping inductor inductance (H)
    double secondInductorMeanCurrent = NOT_SET;  // mean current of the second-stage inductor (A)
    // mean square current of the second-stage inductor (A^2)
    double secondStageInductorMeanSquareCurrent = 0.0;
    // mean square voltage of the second-stage inductor (V^2)
    double secondStageInductorMeanSquareVoltage = 0.0;
    // integral of the current of the second-stage inductor over the switching period (A s)
    double secondStageInductorCurrentIntegral = 0.0;
    double secondInductanceSlope = NOT_SET;  // dL/dI of the second-stage inductor (H/A)
    // integral of the square of the current of the second-stage inductor over the switching period (A^2 s)
    double secondStageInductorSquareCurrentIntegral = 0.0;
    double inductorBCurrent = NOT_SET;  // output filter inductor B current (A)
    double secondInductorCurrent = NOT_SET;  // second-stage inductor current (A)
    double secondInductorCurrentSlope = NOT_SET;  // dI/dt of the second-stage inductor (A/s)
    double dampingInductorCurrent = NOT_SET;  // damping inductor current (A)
    double dampingResistorDrop = NOT_SET;  // drop across the damping resistor (V)
    // parallel resistance of the second-stage inductor (ohm)
    double secondInductorParallelResistance = NOT_SET;
    double secondInductorCurrentCopy2 = NOT_SET;  // second copy of the second-stage inductor current (A)
    double secondInductorWindingResistance = NOT_SET;  // winding resistance of the second-stage inductor (ohm)
    // integral of the square of the voltage of the second-stage inductor over the switching period (V^2 s)
    double secondStageInductorSquareVoltageIntegral = 0.0;
    double secondInductorVoltage = NOT_SET;  // voltage across the second-stage inductor winding (V)
    double secondInductance = NOT_SET;  // second-stage inductance (H)
    double senseResistorCurrent = NOT_SET;  // sense resistor current (A)
    double senseResistorVoltage = NOT_SET;  // sense resistor voltage (V)
    double biasCurrent = NOT_SET;  // bias divider current (A)
    double biasNodeVoltage = NOT_SET;  // bias divider output voltage (V)
    double csValue12 = NOT_SET;  // "First Stage Output Filter 1 Current Sense Coupling Capacitor Voltage" (V)
    double senseDiodeCurrent = NOT_SET;  // sense diode current (A)
    double senseDiodeResistanceNow = NOT_SET;  // sense diode resistance (ohm)
    double senseDiodeAux = NOT_SET;  // auxiliary field of the sense diode
    // "First Stage Output Filter 1 Current Sense Rectifier 2 Anode to Cathode Current" (A)
    double firstStageCurrentSenseRectifier2AnodeToCathodeCurrent = NOT_SET;
    double senseDiodeOnResistance = NOT_SET;  // sense diode on-resistance (ohm)
    double senseDiodeAux2 = NOT_SET;  // auxiliary field of the sense diode
    double currentSenseOutput = NOT_SET;  // "First Stage Output Filter 1 Current Sense Output Voltage" (V)
    double loadResistance = NOT_SET;  // resistance total seen by the output filter (ohm)
    double senseBranchACurrent = NOT_SET;  // current of sense branch A (A)
    double senseBranchBVoltage = NOT_SET;  // voltage of sense branch B (V)
    double senseBranchBCurrent = NOT_SET;  // current of sense branch B (A)
    // mutual inductance of the capacitor current-sense transformer: sqrt(csInductanceC x csInductanceB) x
    // csCoupling
    double csInductanceA = NOT_SET;
    double senseXfmrMeanCurrent = NOT_SET;  // mean primary current of the sense transformer (A)
    // mean square current of the current sense transformer primary winding (A^2)
    double senseXfmrPrimaryMeanSquareCurrent = 0.0;
    // mean square voltage of the current sense transformer primary winding (V^2)
    double senseXfmrPrimaryMeanSquareVoltage = 0.0;
    // integral of the current of the current sense transformer primary winding over the switching period (A
    // s)
    double senseXfmrPrimaryCurrentIntegral = 0.0;
    // integral of the square of the current of the current sense transformer primary winding over the
    // switching period (A^2 s)
    double senseXfmrPrimarySquareCurrentIntegral = 0.0;
    double csValue1 = NOT_SET;  // "First Stage Output Filter 1 Current Sense Transformer Primary Current" (A)
    double senseXfmrInductanceSlope = NOT_SET;  // dL/dI of the sense transformer (H/A)
    // magnetising inductance of the capacitor current-sense transformer from its table
    double csInductanceC = NOT_SET;
    double csLoadResistance = NOT_SET;
    double csResistanceC = NOT_SET;
    // integral of the square of the voltage of the current sense transformer primary winding over the
    // switching period (V^2 s)
    double senseXfmrPrimarySquareVoltageIntegral = 0.0;
    double csValue15 = NOT_SET;  // "First Stage Output Filter 1 Current Sense Transformer Primary Voltage" (V)
    double senseXfmrAux = NOT_SET;  // auxiliary field of the sense transformer
    // mean square current of the current sense transformer secondary winding (A^2)
    double senseXfmrSecondaryMeanSquareCurrent = 0.0;
    // mean square voltage of the current sense transformer secondary winding (V^2)
    double senseXfmrSecondaryMeanSquareVoltage = 0.0;
    // integral of the current of the current sense transformer secondary winding over the switching period
    // (A s)
    double senseXfmrSecondaryCurrentIntegral = 0.0;
    // integral of the square of the current of the current sense transformer secondary winding over the
    // switching period (A^2 s)
    double senseXfmrSecondarySquareCurrentIntegral = 0.0;
    double senseXfmrSecondaryCurrent = NOT_SET;  // secondary current of the sense transformer (A)
    double csInductanceB = NOT_SET;  // second inductance: csInductanceC / csScaleDen x csScaleNum
    double csResistanceB = NOT_SET;
    // integral of the square of the voltage of the current sense transformer secondary winding over the
    // switching period (V^2 s)
    double senseXfmrSecondarySquareVoltageIntegral = 0.0;
    // "First Stage Output Filter 1 Current Sense Transformer Secondary Voltage" (V)
    double csValue14 = NOT_SET;
    double outputVoltage = NOT_SET;  // output voltage V_o of this output (V)
};

// One output's load network.
struct LoadNetworkStateRec {
    double load1MeanCurrent = NOT_SET;  // mean current of load inductor 1 (A)
    // mean square current of the first-stage load inductor (A^2)
    double firstStageLoadInductorMeanSquareCurrent = 0.0;
    // mean square voltage of the first-stage load inductor (V^2)
    double firstStageLoadInductorMeanSquareVoltage = 0.0;
    // integral of the current of the first-stage load inductor over the switching period (A s)
    double firstStageLoadInductorCurrentIntegral = 0.0;
    double load1InductanceSlope = NOT_SET;  // dL/dI of load inductor 1 (H/A)
    // integral of the square of the load inductor 1 current (A^2 s)
    double load1SquareCurrentIntegral = NOT_SET;
    double load1ParallelResistance = NOT_SET;  // parallel resistance of load inductor 1 (ohm)
    double load1CurrentCopy = NOT_SET;  // copy of the load inductor 1 current (A)
    double load1WindingResistance = NOT_SET;  // winding resistance of load inductor 1 (ohm)
    // integral of the square of the voltage of the first-stage load inductor over the switching period (V^2
    // s)
    double firstStageLoadInductorSquareVoltageIntegral = 0.0;
    double load1Voltage = NOT_SET;  // voltage across load inductor 1 (V)
    double load1Inductance = NOT_SET;  // inductance of load inductor 1 (H)
    double firstBranchCurrent = NOT_SET;  // current of the first load branch (A)
    double firstResistorDrop = NOT_SET;  // drop across the first-branch resistor (V)
    double load2MeanCurrent = NOT_SET;  // mean current of load inductor 2 (A)
    // mean square current of the second-stage load inductor (A^2)
    double secondStageLoadInductorMeanSquareCurrent = 0.0;
    // mean square voltage of the second-stage load inductor (V^2)
    double secondStageLoadInductorMeanSquareVoltage = 0.0;
    // integral of the current of the second-stage load inductor over the switching period (A s)
    double secondStageLoadInductorCurrentIntegral = 0.0;
    double load2InductanceSlope = NOT_SET;  // dL/dI of load inductor 2 (H/A)
    // integral of the square of the load inductor 2 current (A^2 s)
    double load2SquareCurrentIntegral = NOT_SET;
    double load2ParallelResistance = NOT_SET;  // parallel resistance of load inductor 2 (ohm)
    double load2CurrentCopy = NOT_SET;  // copy of the load inductor 2 current (A)
    double load2WindingResistance = NOT_SET;  // winding resistance of load inductor 2 (ohm)
    // integral of the square of the voltage of the second-stage load inductor over the switching period
    // (V^2 s)
    double secondStageLoadInductorSquareVoltageIntegral = 0.0;
    double load2Voltage = NOT_SET;  // voltage across load inductor 2 (V)
    double load2Inductance = NOT_SET;  // inductance of load inductor 2 (H)
    double resistorCurrent = NOT_SET;  // load resistor current (A)
    double resistorAux = NOT_SET;  // auxiliary field of the load resistor
    double resistorVoltage = NOT_SET;  // load resistor voltage (V)
    double outputNodeVoltage = NOT_SET;  // voltage of the node behind the first branch (V)
    double sourcePhase = NOT_SET;  // phase of the load current source sine (rad)
    double sourceVoltage = NOT_SET;  // voltage across the load current source (V)
    double sourceDcCurrent = NOT_SET;  // DC part of the load current source (A)
    double sourceCurrentSlope = NOT_SET;  // slope of the source sine at phase 0 (A/s)
    double sourceTermA = NOT_SET;  // value kept with the source quantities
    double sourceResistance = NOT_SET;  // resistance of the load current source element (ohm)
    double loadCurrent = NOT_SET;  // total load current of the output (A)
};

// Control section, error amplifiers and opto-isolator.
struct ControlStateRec {
    int32_t controlFlagA = 0;  // flag kept with the control quantities; alias freqCycleMark
    // 1 while the bulk voltage is below the lockout level: references held at 1e-6 V, soft start
    // stopped; a run starts locked out until its first step has seen the bulk
    int32_t referenceLockout = 1;
    double currentEaInvertingInput = NOT_SET;  // current error amplifier inverting input (V)
    double currentAmpFlowA = NOT_SET;  // current amplifier flow A
    double currentAmpStateA = NOT_SET;  // current error amplifier state A (V)
    double currentAmpAux1 = NOT_SET;  // current amplifier auxiliary value
    double currentAmpStateB = NOT_SET;  // current error amplifier state B (V)
    double currentAmpAux2 = NOT_SET;  // current amplifier auxiliary value
    double currentAmpFlowB = NOT_SET;  // current amplifier flow B
    double currentAmpFlowBAux = NOT_SET;  // auxiliary of currentAmpFlowB
    double currentEaClampValue = 0.0;  // value at which the current error amplifier output is held (V)
    double currentEaOutput = NOT_SET;  // current error amplifier output (V)
    double comparatorCopy = NOT_SET;  // copy of pwmComparatorNonInverting (V)
    double comparatorAux = NOT_SET;  // comparator auxiliary value; alias CurrentLimitOutput
    double pwmComparatorDifferential = NOT_SET;  // PWM comparator differential input (V); alias PwmDecision
    // rate of change of the PWM comparator differential input (V/s)
    double pwmComparatorDifferentialSlope = NOT_SET;
    double hystFiltered = NOT_SET;  // filtered hysteresis value (V)
    double hystAux1 = NOT_SET;  // hysteresis auxiliary value
    double r10ResistorCurrent = NOT_SET;  // "Control Section R9 Resistor Current" (A)
    double hystAux3 = NOT_SET;  // hysteresis auxiliary value
    double pwmComparatorInverting = NOT_SET;  // PWM comparator inverting input (V)
    double clockDividerAux = NOT_SET;  // clock divider auxiliary value
    double clockDividerVoltage = NOT_SET;  // clock divider voltage (V)
    double clockDividerCurrent = NOT_SET;  // clock divider current (A)
    double clockDividerAux2 = NOT_SET;  // clock divider auxiliary value
    double hystInput = NOT_SET;  // hysteresis filter input
    double pwmComparatorNonInverting = NOT_SET;  // PWM comparator non-inverting input (V)
    double r9ResistorCurrent = NOT_SET;  // "Control Section R9 Resistor Current" (A)
    double pwmControlVoltage = NOT_SET;  // PWM control voltage (V)
    double currentLimitFeedback = NOT_SET;  // current limit feedback voltage (V); alias CurrentSense
    double currentLimitFeedbackSlope = NOT_SET;  // rate of change of the current limit feedback (V/s)
    double currentInjectionPhase = NOT_SET;  // phase of control AC source 3 (rad)
    double currentLoopInjection = NOT_SET;  // current loop injection voltage (V)
    double currentFeedbackVoltage = NOT_SET;  // sensed current or voltage value of the control loop
    double clockAux = NOT_SET;  // clock auxiliary value
    double controlReference = NOT_SET;  // reference value of control mode 3 in volts or absolute units
    double errorUpperClamp = NOT_SET;  // upper clamp of the error path (V)
    double veaReferenceCopy = NOT_SET;  // copy of the voltage error amplifier reference (V)
    double optoReferenceCopy = NOT_SET;  // copy of the opto reference voltage (V)
    double optoDividerUpperDrop = NOT_SET;  // drop across the upper opto divider element (V)
    double optoDividerLowerDrop = NOT_SET;  // drop across the lower opto divider element (V)
    double optoBranchCurrent = NOT_SET;  // current of the opto divider branch (A)
    double optoTransferDrop = NOT_SET;  // drop of the opto transfer element (V)
    double optoSupplyVoltage = NOT_SET;  // supply voltage of the opto output (V)
    double optoSupplyDrop = NOT_SET;  // remaining supply drop of the opto output (V)
    double optoOutputCurrent = NOT_SET;  // opto output current (A)
    double optoOutputStageVoltage = NOT_SET;  // opto output stage voltage (V)
    double optoResistorCurrent = NOT_SET;  // current of the opto diode resistor (A)
    double optoNodeVoltage = NOT_SET;  // voltage of the opto input node (V)
    double optoCPoleCapacitorCurrent = NOT_SET;  // "Opto-Isolator C.POLE Capacitor Current" (A)
    double errorAmpStateA = NOT_SET;  // error amplifier state A (V)
    double optoReferenceVoltage = NOT_SET;  // opto reference voltage (V)
    double optoReferencePhase = NOT_SET;  // phase of the opto reference source (rad)
    double optoReferenceTermA = 0.0;  // value kept with the opto reference quantities
    double optoCoupledError = NOT_SET;  // optically coupled error voltage (V)
    double optoLedCurrent = NOT_SET;  // opto diode current (A)
    double optoLimitDifference = NOT_SET;  // upper limit less the opto node voltage (V)
    double rampDifference = NOT_SET;  // clock voltage less the ramp offset (V)
    double veaReferencePhase = NOT_SET;  // phase of control AC source 1 (rad)
    double veaReference = NOT_SET;  // voltage error amplifier reference (V)
    double rampCapacitorCurrent = NOT_SET;  // ramp capacitor current (A)
    double rampCapacitorVoltage = NOT_SET;  // ramp capacitor voltage (V)
    double resetSwitchCurrent = NOT_SET;  // reset switch current (A)
    double clockVoltage = NOT_SET;  // sawtooth clock voltage (V); alias HystereticSense
    double clockSlope = NOT_SET;  // slope of the clock ramp (V/s); alias HystereticSenseSlope
    double feedForwardResistorCurrent = NOT_SET;  // feed-forward resistor current (A)
    double feedForwardVoltage = NOT_SET;  // feed-forward resistor voltage (V)
    double softStartCapVoltage = NOT_SET;  // soft-start capacitor voltage (V)
    double softStartControl = NOT_SET;  // soft-start control voltage (V)
    double veaInvertingInput = NOT_SET;  // voltage error amplifier inverting input (V)
    double veaStateScaled = NOT_SET;  // scaled error amplifier state
    double errorAmpStateB = NOT_SET;  // error amplifier state B (V)
    double errorAmpStateCAux = NOT_SET;  // auxiliary of errorAmpStateC
    double errorAmpStateC = NOT_SET;  // error amplifier state C (V)
    double errorAmpFlowC = NOT_SET;  // error amplifier flow C
    double errorAmpFlowCAux = NOT_SET;  // auxiliary of errorAmpFlowC
    double errorAmpFlowB = NOT_SET;  // error amplifier flow B
    double errorAmpFlowBAux = NOT_SET;  // auxiliary of errorAmpFlowB
    double errorAmpFlowA = NOT_SET;  // error amplifier flow A
    double errorAmpFlowAAux = NOT_SET;  // auxiliary of errorAmpFlowA
    double errorAmpAux = NOT_SET;  // error amplifier auxiliary value
    double veaClampValue = NOT_SET;  // value at which the voltage error amplifier output is held (V)
    double errorInjectionPhase = NOT_SET;  // phase of control AC source 2 (rad)
    double errorInjection = NOT_SET;  // error offset or injection voltage (V)
    double limitedError = NOT_SET;  // limited error voltage (V)
    double veaOutput = NOT_SET;  // voltage error amplifier output (V)
    int32_t currentEaClampState = 0;  // current error amplifier clamp state 0 linear, 1 upper, 2 lower
    int32_t optoAmpClampState = 0;  // opto-isolator op-amp clamp state 0 linear, else clamped
    int32_t veaClampState = 0;  // voltage error amplifier clamp state 0 linear, 1 upper, 2 lower
    int16_t veaClampTermA = 0;  // value kept with the vea clamp quantities; alias PulseCount
    double voltageLoopInjection = 0.0;  // sine added to the control voltage by the voltage-loop analysis (V)
    // sine added to the returned current-sense signal by the current-loop analysis (V)
    double currentLoopSweepInjection = 0.0;
    double currentSourceInjection = 0.0;  // the current-loop injection source's value of the step (V)
    // the error amplifier's input while the amplifier analysis drives it (V); read only when
    // amplifierInputOn is set, which opens the loop at the amplifier's input
    double amplifierInput = 0.0;
    int32_t amplifierInputOn = 0;
};

// Snapshots: the previous step's values of a state record's state variables, each copy
// named after the field it copies. StorePreviousStateVariables calls CopyFrom at the start of
// every step; until the first copy every double reads NOT_SET.

struct LinePhaseSnapshot {
    void CopyFrom(const LinePhaseStateRec& rec);

    double firstStageCapacitorCurrent = NOT_SET;
    double sourceVoltage = NOT_SET;
    double filterCapCurrent = NOT_SET;
    double filterCapVoltage = NOT_SET;
    double firstInductorCurrent = NOT_SET;
    double firstInductorCurrentCopy = NOT_SET;
    double firstInductorVoltage = NOT_SET;
    double dampingInductorCurrent = NOT_SET;
    double dampingInductorCurrentCopy = NOT_SET;
    double dampingInductorVoltage = NOT_SET;
    double secondInductorCurrent = NOT_SET;
    double dampingBranchCurrent = NOT_SET;
    double secondInductorCurrentCopy = NOT_SET;
    double secondInductorVoltage = NOT_SET;
    double lineCurrentHeld = NOT_SET;
};

struct LineRectifierSnapshot {
    void CopyFrom(const LineRectifierStateRec& rec);

    double diode1Current = NOT_SET;
    double diode2Current = NOT_SET;
    double diode3Current = NOT_SET;
    double diode4Current = NOT_SET;
    double diode5Current = NOT_SET;
    double diode6Current = NOT_SET;
    double diode7Current = NOT_SET;
    double diode8Current = NOT_SET;
};

struct InputCapacitorSnapshot {
    void CopyFrom(const InputCapacitorStateRec& rec);

    double lowerBulkCapacitorCurrent = NOT_SET;
    double capSlot1Voltage = NOT_SET;
    double lowerBulkDampingCapacitorCurrent = NOT_SET;
    double capSlot2Voltage = NOT_SET;
    double upperBulkCapacitorCurrent = NOT_SET;
    double capSlot3Voltage = NOT_SET;
    double upperBulkDampingCapacitorCurrent = NOT_SET;
    double capSlot4Voltage = NOT_SET;
    double inputVoltage = NOT_SET;
};

struct PrimarySnapshot {
    void CopyFrom(const PrimaryStateRec& rec);

    double clampCapacitorCurrent = NOT_SET;
    double clampCapacitorVoltageState = NOT_SET;
    double clampResistorCurrent = NOT_SET;
    double magnetizingCurrent = NOT_SET;
    double primaryWindingCurrent = NOT_SET;
    double primaryWindingVoltage = NOT_SET;
    double clampRectifierAnodeToCathodeCurrent = NOT_SET;
    double diode1Current = NOT_SET;
    double resetCapacitorCurrent = NOT_SET;
    double capacitorVoltageCopy = NOT_SET;
    double resetWindingCurrent = NOT_SET;
    double resetRectifierAnodeToCathodeCurrent = NOT_SET;
    double resetWindingVoltage = NOT_SET;
    double clampSwitchDiodeCurrent = NOT_SET;
    double clampSwitchAux1 = NOT_SET;
    double switch1DiodeCurrent = NOT_SET;
    double switch1Voltage = NOT_SET;
    double switch1DrainToSourceCurrent = NOT_SET;
    double switch2Link = NOT_SET;
    double senseXfmrAux2 = NOT_SET;
    double senseXfmrCurrent = NOT_SET;
    double senseXfmrCurrent2 = NOT_SET;
    double senseXfmrInput2 = NOT_SET;
    double senseXfmrVoltage = NOT_SET;
    double senseXfmrSecondaryCurrent = NOT_SET;
    double senseXfmrSecondaryVoltage = NOT_SET;
    int32_t switchState = 0;
};

struct SecondaryWindingSnapshot {
    void CopyFrom(const SecondaryWindingStateRec& rec);

    double windingCurrent = NOT_SET;
    double windingVoltage = NOT_SET;
};

struct SecondaryRectifierSnapshot {
    void CopyFrom(const SecondaryRectifierStateRec& rec);

    int32_t outputConducting = 0;
    int32_t turnOffStartAFlagB = 0;
    double rectifier1AnodeToCathodeCurrent = NOT_SET;
    double rectifier1AnodeToCathodeVoltage = NOT_SET;
    double diodeCurrent = NOT_SET;
    double rectifierVoltage = NOT_SET;
    double rectifierTermA = NOT_SET;
    double secondDiodeCurrent = NOT_SET;
};

struct OutputChokeSnapshot {
    void CopyFrom(const OutputChokeStateRec& rec);

    double chokeCurrent = NOT_SET;
    double squareCurrentIntegral = NOT_SET;
    double lookupCurrent = NOT_SET;
    double windingVoltage = NOT_SET;
    double skimCurrent = NOT_SET;
    double skimVoltage = NOT_SET;
};

struct OutputFilterSnapshot {
    void CopyFrom(const OutputFilterStateRec& rec);

    double capacitorCurrent1 = NOT_SET;
    double capacitorVoltage1 = NOT_SET;
    double capacitorCurrent = NOT_SET;
    double capacitor2Current = NOT_SET;
    double capacitor2Voltage = NOT_SET;
    double outputCapacitorCurrent = NOT_SET;
    double outputCapacitorVoltageCopy = NOT_SET;
    double outputCapacitor2Current = NOT_SET;
    double outputCapacitor2Voltage = NOT_SET;
    double dampingInductorCurrentCopy = NOT_SET;
    double dampingInductorVoltage = NOT_SET;
    double secondInductorCurrent = NOT_SET;
    double dampingInductorCurrent = NOT_SET;
    double secondInductorCurrentCopy2 = NOT_SET;
    double secondInductorVoltage = NOT_SET;
    double biasCurrent = NOT_SET;
    double biasNodeVoltage = NOT_SET;
    double csValue1 = NOT_SET;
    double csValue15 = NOT_SET;
    double senseXfmrSecondaryCurrent = NOT_SET;
    double csValue14 = NOT_SET;
};

struct LoadNetworkSnapshot {
    void CopyFrom(const LoadNetworkStateRec& rec);

    double load1CurrentCopy = NOT_SET;
    double load1Voltage = NOT_SET;
    double firstBranchCurrent = NOT_SET;
    double load2CurrentCopy = NOT_SET;
    double load2Voltage = NOT_SET;
    double resistorCurrent = NOT_SET;
    double resistorVoltage = NOT_SET;
    double loadCurrent = NOT_SET;
};

struct ControlSnapshot {
    void CopyFrom(const ControlStateRec& rec);

    double currentAmpStateA = NOT_SET;
    double currentAmpStateB = NOT_SET;
    double comparatorAux = NOT_SET;
    double pwmComparatorDifferential = NOT_SET;
    double hystFiltered = NOT_SET;
    double clockDividerVoltage = NOT_SET;
    double hystInput = NOT_SET;
    double currentLimitFeedback = NOT_SET;
    double errorAmpStateA = NOT_SET;
    double optoLedCurrent = NOT_SET;
    double rampCapacitorVoltage = NOT_SET;
    double errorAmpStateB = NOT_SET;
    double errorAmpStateC = NOT_SET;
    double errorAmpAux = NOT_SET;
};

// The limiter's rules on explicit settings (StepStateRec::LimitTimeStep binds them).
void LimitTimeStep(StepStateRec& step, const AnalysisSettingsRec& settings, double candidate,
                   int32_t applyFactors, int32_t eventProposal);
