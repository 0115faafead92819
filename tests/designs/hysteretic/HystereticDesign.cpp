// The closed-loop design in hysteretic current control: the choke current is sensed through
// its 1 mohm sense resistor (without inductance) and a gain of 100 (0.1 V/A, the current
// feedback network taking output 1 at 100 %), filtered by R7 = 100 ohm into C6 = 100 pF
// (10 ns). Comparator PWM's output, 5 V while the drive is on, reaches its non-inverting input
// through C8 = 1 uF and R10 = 100 kohm, and R9 = 1.6 kohm ties that input to the control
// voltage: a window of 5 V·1.6/101.6 = 78.7 mV (0.787 A of choke current) around it, with no
// clock. The voltage error amplifier (R1 = 10 kohm, C3 = 0.15 uF) integrates the output error
// into the current command, 0.2 V (2 A) at the set point, which its own reference matches; its
// output stops at 0.45 V. 10 ms run.
#include "circuit/Doc.h"
#include "designs/Designs.h"

void BuildHysteretic(CPwrQuorraDoc& doc) {
    BuildClosedLoopVoltageMode(doc);
    CControlSection& ctl = *doc.GetControlSection();
    ctl.SetTopology(CControlSection::HYSTERETIC_CURRENT);
    ctl.SetDefaults();
    ctl.GetFeedbackCurrentSourceVIS().m_iSensedCurrent = CCrntSensSource::SENSE_CHOKE;
    ctl.GetCurrentSourceISS().m_dDCMagnitude = 1e-5;
    ctl.GetCapacitorSS().m_dCapacitance = 33e-9;
    ctl.GetResistor7().m_dResistance = 100.0;
    ctl.GetCapacitor6().m_dCapacitance = 100e-12;
    ctl.GetResistor10().m_dResistance = 1e5;
    ctl.GetResistor9().m_dResistance = 1.6e3;
    ctl.GetCapacitor8().m_dCapacitance = 1e-6;
    ctl.GetComparator1().m_dLogicVoltage = 5.0;
    ctl.GetComparator1().m_nLogicVoltageInPercent = 0;
    CCurrentFeedbackNetwork& fb = *doc.GetCurrentFeedbackNetwork();
    fb.m_bOutputEnable[0] = 1;
    fb.m_dOutputWeight[0] = 100.0;
    COutputChoke& choke = *doc.GetOutputChoke1();
    choke.GetSenseResistor().m_dResistance = 1e-3;
    choke.GetSenseResistor().m_dEsl = 0.0;  // the sense follows the current alone
    choke.GetSenseAmplifier().m_dVoltageGain = 100.0;
    CVoltageErrorAmp& vea = *doc.GetVoltageErrorAmp();
    vea.GetCapacitor3().m_dCapacitance = 0.15e-6;
    vea.GetOperationalAmplifier().m_dMaximumOutput = 0.45;
    vea.GetVoltageSourceVRef().m_dDCMagnitude = 0.2;
    doc.GetAnalysisConfig()->m_dTime = 0.01;
    doc.CheckAllSections();
}
