// The first configuration's power stage (48 V, two-switch forward, 10:10 transformer,
// 100 uH / 100 uF into 5 ohm) regulated in voltage mode: target 10 V, reference 1.5 V, so
// the feedback takes Vout·1.5/10 and the loop settles where that equals the reference. The
// reference sits near the control voltage the set point needs (about 1.52 V), so that the
// integrating capacitor starts close to its working charge and the start winds up little.
// Error amplifier "Single Pole" (an integrator: R1 = 10 kohm, C3 = 0.56 uF); its output is held
// between 0 and 2 V, just above the control level the set point needs (about 1.52 V), so
// that while the soft start holds the drive back the amplifier winds up no further than that.
// Soft start: ISS = 10 uA into CSS = 33 nF, a ramp of 303 V/s. 30 ms run.
#include "circuit/Doc.h"
#include "designs/Designs.h"

void BuildClosedLoopVoltageMode(CPwrQuorraDoc& doc) {
    BuildFirstConfiguration(doc);
    doc.GetRequirements()->GetOutput(0)->SetTargetVoltage(10.0);
    CVoltageErrorAmp& vea = *doc.GetVoltageErrorAmp();
    vea.SetTopology(3);
    vea.SetDefaults();
    vea.GetResistor1().m_dResistance = 1e4;
    vea.GetCapacitor3().m_dCapacitance = 0.56e-6;
    vea.GetOperationalAmplifier().m_dMinimumOutput = 0.0;
    vea.GetOperationalAmplifier().m_dMaximumOutput = 2.0;
    vea.GetVoltageSourceVRef().m_dDCMagnitude = 1.5;
    CControlSection& ctl = *doc.GetControlSection();
    ctl.GetCurrentSourceISS().m_dDCMagnitude = 1e-5;
    ctl.GetCapacitorSS().m_dCapacitance = 33e-9;
    doc.GetAnalysisConfig()->m_dTime = 0.03;
    doc.CheckAllSections();
}
