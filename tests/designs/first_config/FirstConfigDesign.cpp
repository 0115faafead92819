// 48 V DC, no line filter or rectifier, 1 mF bulk; two-switch forward with a sense resistor,
// a 10:10 transformer of 200 uH windings with 2 uH leakage (k = sqrt(0.99)); one half-wave
// diode output with a 100 uH choke and 100 uF into 5 ohm; voltage-mode control with the
// DC-feedback error amplifier turned down (R1 = 1 Mohm, Rfb = 1 uohm: gain 1e-12) so that the
// PWM control voltage is VRef = 1.5556 V and the duty (VRef - 1 V)·0.9/2 V = 0.25.
// Everything else is the new-design preset; the transformer's AC resistance is set to its DC
// value so that the winding loss stays negligible.
#include "circuit/Doc.h"
#include "designs/Designs.h"

void BuildFirstConfiguration(CPwrQuorraDoc& doc) {
    CRequirements& req = *doc.GetRequirements();
    req.GetOutput(0)->SetEnabled(TRUE);
    req.GetOutput(0)->SetTargetVoltage(10.7);

    CLineFilter& filter = *doc.GetLineFilter();
    filter.SetLineSourceType(CLineFilter::SOURCE_DC);
    filter.SetTopology(CLineFilter::FILTER_NONE);
    filter.SetDefaults();
    filter.GetLineVoltage().m_dDCMagnitude = 48.0;
    filter.GetLineInductance().m_dInductance = 1e-6;
    filter.GetLineResistance().m_dResistance = 0.1;

    doc.GetLineRectifier()->SetTopology(CLineRectifier::RECT_NONE);
    doc.GetLineRectifier()->SetDefaults();
    doc.GetInputCapacitor()->SetTopology(0);
    doc.GetInputCapacitor()->SetDefaults();

    CPrimarySection& pri = *doc.GetPrimarySection();
    pri.SetTopology(CPrimarySection::TWO_SWITCH_RESISTOR);
    pri.SetDefaults();
    for (double& r : pri.GetPowerTransformer().m_dAcResistance) r = 1e-6;

    doc.GetSecondarySection1()->SetTopology(0);
    doc.GetSecondarySection1()->SetDefaults();
    doc.GetOutputChoke1()->SetTopology(0);
    doc.GetOutputChoke1()->SetDefaults();
    doc.Get1StgOutputFilter1()->SetTopology(0);
    doc.Get1StgOutputFilter1()->SetDefaults();
    doc.Get1StgOutputFilter1()->GetCapacitorOut1().m_dCapacitance = 100e-6;
    doc.Get2StgOutputFilter1()->SetTopology(0);
    doc.Get2StgOutputFilter1()->SetDefaults();
    doc.GetLoadNetwork1()->SetTopology(0);
    doc.GetLoadNetwork1()->SetDefaults();
    doc.GetLoadNetwork1()->GetResistorLoad2().m_dResistance = 5.0;

    doc.GetControlSection()->SetTopology(CControlSection::VOLTAGE_MODE);
    doc.GetControlSection()->SetDefaults();
    CVoltageErrorAmp& vea = *doc.GetVoltageErrorAmp();
    vea.SetTopology(7);
    vea.SetDefaults();
    vea.GetResistor1().m_dResistance = 1e6;
    vea.GetVoltageSourceVRef().m_dDCMagnitude = 1.5556;
    doc.GetOptoIsolator()->SetTopology(COptoIsolator::kTopologyNone);

    doc.GetAnalysisConfig()->SetAnalysisKind(CAnalysisConfig::KIND_TURN_ON);
    doc.GetAnalysisConfig()->m_dTime = 0.02;
    doc.CheckAllSections();
}
