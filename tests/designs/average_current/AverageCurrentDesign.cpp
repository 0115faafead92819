// The closed-loop design in average current control: the choke current is sensed through
// its 1 mohm sense resistor and a gain of 100 (0.1 V/A, the current feedback network taking
// output 1 at 100 %); the current error amplifier (R4 = 10 kohm in, C5 = 100 pF across
// R5 = 30 kohm in series with C4 = 5.3 nF: a zero at 1 kHz, a flat gain of 3 above it) holds
// that sense voltage at the voltage error amplifier's output, and its own output is compared
// with the clock. The voltage error amplifier (R1 = 10 kohm, C3 = 0.15 uF) integrates the output
// error into the current reference, 0.2 V (2 A) at the set point, which its own reference
// matches. Soft start as before. The current amplifier's output stops
// at 2 V, a duty of 0.45 on the clock, so that the transformer always resets.
#include "circuit/Doc.h"
#include "designs/Designs.h"

void BuildAverageCurrent(CPwrQuorraDoc& doc) {
    BuildClosedLoopVoltageMode(doc);
    CControlSection& ctl = *doc.GetControlSection();
    ctl.SetTopology(CControlSection::AVERAGE_CURRENT);
    ctl.SetDefaults();
    ctl.GetCurrentSourceISS().m_dDCMagnitude = 1e-5;
    ctl.GetCapacitorSS().m_dCapacitance = 33e-9;
    ctl.GetResistor4().m_dResistance = 1e4;
    ctl.GetResistor5().m_dResistance = 3e4;
    ctl.GetCapacitor4().m_dCapacitance = 5.3e-9;
    ctl.GetCapacitor5().m_dCapacitance = 100e-12;
    ctl.GetOperationalAmplifier().m_dMinimumOutput = 0.0;
    ctl.GetOperationalAmplifier().m_dMaximumOutput = 2.0;
    CCurrentFeedbackNetwork& fb = *doc.GetCurrentFeedbackNetwork();
    fb.m_bOutputEnable[0] = 1;
    fb.m_dOutputWeight[0] = 100.0;
    COutputChoke& choke = *doc.GetOutputChoke1();
    choke.GetSenseResistor().m_dResistance = 1e-3;
    choke.GetSenseAmplifier().m_dVoltageGain = 100.0;
    CVoltageErrorAmp& vea = *doc.GetVoltageErrorAmp();
    vea.GetCapacitor3().m_dCapacitance = 0.15e-6;
    vea.GetOperationalAmplifier().m_dMaximumOutput = 5.0;
    vea.GetVoltageSourceVRef().m_dDCMagnitude = 0.2;
    doc.GetAnalysisConfig()->m_dTime = 0.03;
    doc.CheckAllSections();
}
