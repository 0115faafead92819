// The analysis records of the smallest converter the engine runs, filled by hand: 48 V DC,
// no line filter or rectifier, 1 mF bulk, two-switch forward with a sense resistor, a 10:10
// transformer of 200 uH windings with 2 uH leakage, one half-wave diode output with 100 uH
// and 100 uF into 5 ohm, voltage-mode control at a fixed duty of 0.25 (the error amplifier's
// gain is 1e-12). Tests change single fields from here.
#pragma once

#include <cmath>

#include "analysis/context/AnalParams.h"

namespace test_support {

struct FirstConfigRecords {
    AnalysisSettingsRec settings;
    LineSourceInputRec line;
    PrimaryInputRec primary;
    SecondaryRectifierInputRec rectifier;
    OutputChokeInputRec choke;
    OutputFilterInputRec filter{1};
    LoadNetworkInputRec load;
    ControlInputRec control;

    FirstConfigRecords() {
        AnalysisSettingsRec& s = settings;
        s.analysisKind = 0;
        s.linePhaseCount = 1;
        s.lineFilterVariant = 9;
        s.lineRectifierVariant = 0;
        s.lineRectifierForm = 0;
        s.inputCapacitorVariant = 0;
        s.outputCount = 1;
        s.openResistance = 1e6;
        s.initialTimeStep = 1e-7;
        s.stepSetupParamB = 1e-9;
        s.switchingPeriodSetting = 1e-5;
        s.switchingFrequency = 1e5;
        s.targetSwitchingPeriod = 1e-5;
        s.comparatorHysteresisLimit = 1e-4;
        s.endTime = 1e-3;
        s.largeStepAttenuationFactor = 0.9;
        s.largeStepAttenuationLimit = 1e-7;
        s.smallStepAttenuationFactor = 0.98;
        s.smallStepAttenuationLimit = 3e-8;

        line.lineInductance = 1e-6;
        line.lineResistance = 0.1;
        line.lineOffset = 48.0;
        line.lineMagnitude = 0.0;
        line.lineFrequency = 0.0;
        line.sectionQuantityFlagA = 1;
        line.bulkCapacitorBreakdownVoltage = 1e4;
        line.outputCapacitorInductance = 1e-10;
        line.outputCapacitorResistance = 1e-6;
        line.sectionQuantityParamE = 0.0;
        line.sectionQuantityParamF = 0.0;
        line.outputCapacitance = 1e-3;

        PrimaryInputRec& p = primary;
        p.topology = 1;
        p.powerTransformerOn = 1;
        p.switch1On = 1;
        p.secondSwitchOn = 1;
        p.diode1On = 1;
        p.senseResistorOn = 1;
        p.directSenseOn = 1;
        p.senseAmplifierOn = 1;
        p.primaryTurns = 10.0;
        p.magnetizingInductanceNominal = 2e-4;
        p.primaryWindingResistance = 1e-6;
        p.couplingPriSec1 = std::sqrt(0.99);
        p.primarySign = 1;
        p.senseResistance = 1e-6;
        p.senseResistorInductance = 1e-10;
        p.senseAmpGain = 1.0;
        p.primarySeriesResistance = 1e-3;
        p.sectionQuantityParamI = 0.7;
        p.runCheckParamB = 0.01;
        p.rectifierBreakdownVoltage = 100.0;
        p.switchBreakdownVoltage = 1e4;
        p.turnOnDelay = 3e-8;
        p.stepSetupParamP = 3e-8;
        p.stepSetupParamQ = 3e-8;
        p.stack2On1 = p.stack1On2 = p.stack3On2 = p.stack2On3 = p.stack4On3 = p.stack3On4 = 0;

        rectifier.sectionQuantityFlagA = 1;
        rectifier.sectionQuantityFlagB = 1;
        rectifier.diodeDrop = 0.7;
        rectifier.dynamicResistance = 0.01;
        rectifier.forwardVoltage = 0.7;
        rectifier.secondDynamicResistance = 0.01;
        rectifier.rectifier1BreakdownVoltage = 100.0;
        rectifier.rectifier2BreakdownVoltage = 100.0;
        rectifier.windingResistance = 1e-6;
        rectifier.windingAcResistance = 1e-6;
        rectifier.windingTurns = 10.0;
        rectifier.nominalWindingInductance = 2e-4;

        choke.chokeOn = 1;
        choke.inductance = 1e-4;
        choke.windingResistance = 1e-6;
        choke.seriesElementOn = 1;
        choke.seriesResistance = 1e-6;
        choke.seriesInductance = 1e-10;
        choke.seriesElementFactor = 1.0;

        filter.capacitorOn = 1;
        filter.capacitorBreakdownVoltage = 1e4;
        filter.rippleInductance = 1e-10;
        filter.rippleResistance = 1e-6;
        filter.sectionQuantityParamA = 0.0;
        filter.sectionQuantityParamB = 0.0;
        filter.capACapacitance = 1e-4;
        filter.outputSign = 1;
        filter.secondaryTurns = 10.0;
        filter.sectionQuantityFlagA = 0;
        filter.sectionQuantityFlagB = 0;

        load.sectionQuantityFlagA = 0;
        load.resistorOn = 1;
        load.resistance = 5.0;
        load.closedFormParamB = 1e-10;
        load.rippleWeight = 1.0;
        load.outputVoltage = 10.7;

        ControlInputRec& c = control;
        c.controlMode = 2;
        c.veaVariant = 7;
        c.optoVariant = 6;
        c.veaOn = 1;
        c.clockEnabled = 1;
        c.clockUpperLimit = 3.0;
        c.clockLowerLimit = 1.0;
        c.clockFirstSlope = -2.0 / (0.1 * 1e-5);
        c.clockSecondSlope = 2.0 / (0.9 * 1e-5);
        c.currentLimitEnabled = 1;
        c.currentLimitThreshold = 5.0;
        c.currentLimitFilterResistance = 1e3;
        c.currentLimitFilterCapacitance = 1e-9;
        c.softStartCapOn = 1;
        c.softStartControlOn = 1;
        c.softStartRate = 1e9;
        c.softStartOffset = 0.0;
        c.errorUpperLimit = 5.0;
        c.veaLowerLimit = 0.0;
        c.veaReferenceValue = 1.5556;
        c.veaReferenceAmplitude = 0.0;
        c.veaReferenceFrequency = 0.0;
        c.lockoutLevelA = 1.0;
        c.lockoutLevelB = 1.0;
        c.veaResistor1 = 1e6;
        c.veaFeedbackResistor = 1e-6;
        c.veaCapacitor3 = 1e-14;
        c.feedbackGain = 1.5556;
        c.clockInhibitDuringReset = 1;
        c.clockBlankingFraction = 0.0;
        c.pwmLogicVoltage = 2.4;
        c.currentInjectionOffset = 0.0;
        c.currentInjectionAmplitude = 0.0;
        c.currentInjectionFrequency = 0.0;
    }

    // Points the block at these records.
    void Attach(AnalysisThreadParams& block) {
        block.pSettings = &settings;
        block.pLineSourceInput = &line;
        block.pPrimaryInput = &primary;
        block.pControlInput = &control;
        block.pSecondaryRectifierInput[0] = &rectifier;
        block.pOutputChokeInput[0] = &choke;
        block.pOutputFilterInput[0] = &filter;
        block.pLoadNetworkInput[0] = &load;
    }
};

}  // namespace test_support
