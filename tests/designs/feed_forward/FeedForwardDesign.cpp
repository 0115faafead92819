// The closed-loop design in voltage feed-forward control: C.FF = 10 nF charges from the bulk
// through R.FF = 100 kohm (1 ms, against the 10 us period) from each on-edge, the reset switch
// (10 ohm) empties it while the drive is off, and the pulse ends where it reaches the control
// voltage. At 48 V the ramp rises 48 mV/us, so the duty of 0.235 needs about 0.11 V: the
// reference is 0.11 V and the error amplifier's output stops at 0.2 V (a duty of 0.42). The
// integrator R1 = 10 kohm, C3 = 0.22 uF keeps the crossover near 80 Hz (modulator gain
// R·C/T = 100, feedback 0.11/10). Soft start as before.
#include "circuit/Doc.h"
#include "designs/Designs.h"

void BuildFeedForward(CPwrQuorraDoc& doc) {
    BuildClosedLoopVoltageMode(doc);
    CControlSection& ctl = *doc.GetControlSection();
    ctl.SetTopology(CControlSection::VOLTAGE_FEED_FORWARD);
    ctl.SetDefaults();
    ctl.GetCurrentSourceISS().m_dDCMagnitude = 1e-5;
    ctl.GetCapacitorSS().m_dCapacitance = 33e-9;
    ctl.GetResistorFF().m_dResistance = 1e5;
    ctl.GetCapacitorFF().m_dCapacitance = 1e-8;
    ctl.GetResetSwitch().m_dOnResistance = 10.0;
    CVoltageErrorAmp& vea = *doc.GetVoltageErrorAmp();
    vea.GetCapacitor3().m_dCapacitance = 0.22e-6;
    vea.GetOperationalAmplifier().m_dMaximumOutput = 0.2;
    vea.GetVoltageSourceVRef().m_dDCMagnitude = 0.11;
    doc.GetAnalysisConfig()->m_dTime = 0.03;
    doc.CheckAllSections();
}
