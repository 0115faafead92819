// The first configuration's converter with a single switch reset by a passive clamp: the
// clamp rectifier from the drain into 2.2 uF with 560 ohm beside it, both back to the bulk.
// Same transformer (2 uH leakage), output and fixed duty of 0.25; the switch voltage graph
// is widened for the clamp's plateau.
#include "circuit/Doc.h"
#include "designs/Designs.h"

void BuildPassiveClamp(CPwrQuorraDoc& doc) {
    BuildFirstConfiguration(doc);
    CPrimarySection& pri = *doc.GetPrimarySection();
    pri.SetTopology(CPrimarySection::PASSIVE_CLAMP_RESISTOR);
    pri.SetDefaults();
    for (double& r : pri.GetPowerTransformer().m_dAcResistance) r = 1e-6;
    CCapacitor& c = pri.GetClampCapacitor();
    c.m_dCapacitance = 2.2e-6;
    c.m_dCapTempCoefLinear = 0.0;
    c.m_dCapTempCoefQuad = 0.0;
    CResistor& r = pri.GetClampResistor();
    r.m_dResistance = 560.0;
    r.m_dTempCoefLinear = 0.0;
    r.m_dTempCoefQuad = 0.0;
    doc.GetAnalysisConfig()->GetGraphCfg(3)->m_dYMax = 120.0;
    doc.CheckAllSections();
}
