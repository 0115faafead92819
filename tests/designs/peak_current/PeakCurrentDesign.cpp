// The closed-loop design in peak current control: the primary current is sensed through a
// 0.1 ohm sense resistor (gain 1), filtered by R7 = 100 ohm into C6 = 100 pF (10 ns), and
// each on-time ends when that voltage reaches the control voltage; no slope compensation
// (R8 = 100 Mohm, C7 = 1e-14 F, as preset): the duty stays near 0.24, below one half. The
// voltage error amplifier (R1 = 10 kohm, C3 = 0.22 uF) integrates the output error into the
// peak current reference; its output stops at 0.45 V, so the primary current at 4.5 A.
// The reference, 0.3 V, sits near the control voltage the set point needs. Soft start as
// before.
#include "circuit/Doc.h"
#include "designs/Designs.h"

void BuildPeakCurrent(CPwrQuorraDoc& doc) {
    BuildClosedLoopVoltageMode(doc);
    CControlSection& ctl = *doc.GetControlSection();
    ctl.SetTopology(CControlSection::PEAK_CURRENT);
    ctl.SetDefaults();
    ctl.GetCurrentSourceISS().m_dDCMagnitude = 1e-5;
    ctl.GetCapacitorSS().m_dCapacitance = 33e-9;
    ctl.GetResistor7().m_dResistance = 100.0;
    ctl.GetCapacitor6().m_dCapacitance = 100e-12;
    CPrimarySection& pri = *doc.GetPrimarySection();
    pri.GetSenseResistor().m_dResistance = 0.1;
    pri.GetSenseAmplifier().m_dVoltageGain = 1.0;
    CVoltageErrorAmp& vea = *doc.GetVoltageErrorAmp();
    vea.GetCapacitor3().m_dCapacitance = 0.22e-6;
    vea.GetOperationalAmplifier().m_dMaximumOutput = 0.45;
    vea.GetVoltageSourceVRef().m_dDCMagnitude = 0.3;
    doc.GetAnalysisConfig()->m_dTime = 0.03;
    doc.CheckAllSections();
}
