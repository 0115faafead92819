// 48 V DC, no line filter or rectifier, 1 mF bulk; two-switch forward with a sense resistor,
// a 10:10 transformer of 200 uH windings with 2 uH leakage (k = sqrt(0.99)); one half-wave
// diode output with a 100 uH choke and 100 uF into 5 ohm; voltage-mode control with the
// DC-feedback error amplifier turned down (R1 = 1 Mohm, Rfb = 1 uohm: gain 1e-12) so that the
// PWM control voltage is VRef = 1.5556 V and the duty (VRef - 1 V)·0.9/2 V = 0.25.
// Everything else is the new-design preset; the transformer's AC resistance is set to its DC
// value so that the winding loss stays negligible. The four graphs show the last ten
// switching periods of the 20 ms run: output voltage, choke current, primary current and
// switch voltage.
#include "circuit/Doc.h"
#include "circuit/EquObj.h"
#include "designs/Designs.h"

namespace {

void PlotVariable(CAnalysisConfig& config, int variable, int id, const char* title, const char* yLabel,
                  double yMin, double yMax) {
    CEquation& eq = *config.GetEquation(variable);
    eq.GetTokens().DeleteAll();
    CObEquation token;
    token.m_nKind = CObEquation::KIND_VARIABLE;
    token.m_nVarId = id;
    eq.GetTokens().AddCopy(token);
    eq.m_strText = title;
    eq.m_nLastEntry = CEquation::LAST_VALUE;
    CGraphCfg& g = *config.GetGraphCfg(variable - 1);
    g.m_strTitle = title;
    g.m_strXAxisLabel = "Time (us)";
    g.m_strYAxisLabel = yLabel;
    g.m_dXMin = 19900.0;  // us
    g.m_dXMax = 20000.0;
    g.m_dYMin = yMin;
    g.m_dYMax = yMax;
}

}  // namespace

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
    CAnalysisConfig& config = *doc.GetAnalysisConfig();
    PlotVariable(config, 1, 363, "Output 1 Voltage", "V", 10.0, 11.5);
    PlotVariable(config, 2, 203, "Output Choke 1 Current", "A", 1.0, 3.0);
    PlotVariable(config, 3, 94, "Transformer Primary Current", "A", -1.0, 4.0);
    PlotVariable(config, 4, 116, "Switch 1 Voltage", "V", 0.0, 60.0);
    doc.CheckAllSections();
}
