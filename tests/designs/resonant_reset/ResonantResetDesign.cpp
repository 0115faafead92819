// The first configuration's converter with a single switch reset by resonance: 22 nF across
// the switch rings with the 200 uH winding once the switch turns off, the switch's body diode
// holding the ring-back. Same transformer (2 uH leakage), output and fixed duty of 0.25; the
// switch voltage graph is widened for the ring's peak.
#include "circuit/Doc.h"
#include "designs/Designs.h"

void BuildResonantReset(CPwrQuorraDoc& doc) {
    BuildFirstConfiguration(doc);
    CPrimarySection& pri = *doc.GetPrimarySection();
    pri.SetTopology(CPrimarySection::RESONANT_RESET_RESISTOR);
    pri.SetDefaults();
    for (double& r : pri.GetPowerTransformer().m_dAcResistance) r = 1e-6;
    CCapacitor& c = pri.GetResetCapacitor();
    c.m_dCapacitance = 22e-9;
    c.m_dCapTempCoefLinear = 0.0;
    c.m_dCapTempCoefQuad = 0.0;
    doc.GetAnalysisConfig()->GetGraphCfg(3)->m_dYMin = -10.0;
    doc.GetAnalysisConfig()->GetGraphCfg(3)->m_dYMax = 160.0;
    doc.CheckAllSections();
}
