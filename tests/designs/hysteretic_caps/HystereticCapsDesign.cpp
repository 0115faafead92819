// The hysteretic design sensing its output capacitor's current instead of its choke's: the
// first stage "Single Capacitor with Current Sensing" of the capacitor-sense design (100 uF,
// 10 mohm, 1 nH through a 1:100 current sense transformer), its Resistor Cap Sense raised to
// 10 ohm so that the sense gives 10 ohm/100 = 0.1 V/A, the gain of the choke's sense in the
// hysteretic design, and Capacitor Bias cut to 10 pF (10 ns behind the sense node). The
// current feedback network takes output 1 at 100 %; the window and the set point are the
// hysteretic design's.
// The capacitor's current commanded by the window integrates into the output by itself, so
// the error amplifier's lone integrator would leave no phase: it becomes "Two Poles, One
// Zero" (R1 = 10 kohm; R3 = 100 kohm in series with C2 = 2.7 nF, C3 = 150 pF across both).
// The loop
//   Vo -> 0.02 (feedback: 0.2 V at 10 V) -> R3/R1 -> 1/G = 10 A/V -> 1/(s·C)
// crosses over where 0.02·10·10/(w·100 uF) = 1, w = 2e4 rad/s, its zero 1/(R3·C2) = 3.7e3
// rad/s below and its pole 1/(R3·C3) = 6.7e4 rad/s above: about 60 degrees of phase. The pole
// also keeps the output ripple off the window (0.02·13 mV at the switching frequency, 0.3 %
// of the band). 3 ms run.
#include "circuit/Doc.h"
#include "designs/Designs.h"

void BuildHystereticCaps(CPwrQuorraDoc& doc) {
    BuildHysteretic(doc);
    doc.GetControlSection()->GetFeedbackCurrentSourceVIS().m_iSensedCurrent =
        CCrntSensSource::SENSE_OUTPUT_CAPACITOR;
    SetCapacitorSenseStage(*doc.Get1StgOutputFilter1(), 10.0, 10e-12);
    // The loop below is derived for the capacitor's own 10 mohm in its branch: the sense
    // windings' AC resistances at their DC ones, not the preset's 1 ohm.
    CTransformer& ct = doc.Get1StgOutputFilter1()->GetCurrentSenseTransformer();
    ct.m_dPrimaryAcResistance = ct.m_dPrimaryDcResistance;
    ct.m_dSecondaryAcResistance = ct.m_dSecondaryDcResistance;
    CVoltageErrorAmp& vea = *doc.GetVoltageErrorAmp();
    const double vref = vea.GetVoltageSourceVRef().m_dDCMagnitude, top = vea.GetOperationalAmplifier().m_dMaximumOutput;
    vea.SetTopology(1);
    vea.SetDefaults();
    vea.GetResistor1().m_dResistance = 1e4;
    vea.GetResistor3().m_dResistance = 100e3;
    vea.GetCapacitor2().m_dCapacitance = 2.7e-9;
    vea.GetCapacitor3().m_dCapacitance = 150e-12;
    vea.GetOperationalAmplifier().m_dMinimumOutput = 0.0;
    vea.GetOperationalAmplifier().m_dMaximumOutput = top;
    vea.GetVoltageSourceVRef().m_dDCMagnitude = vref;
    doc.GetAnalysisConfig()->m_dTime = 3e-3;
    doc.CheckAllSections();
}
