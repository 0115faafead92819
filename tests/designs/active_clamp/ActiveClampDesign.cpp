// The first configuration's converter with a single switch reset by an active clamp: the
// clamp switch and 1 uF in series from the drain back to the bulk. Same transformer (2 uH
// leakage), output and fixed duty of 0.25.
#include "circuit/Doc.h"
#include "designs/Designs.h"

void BuildActiveClamp(CPwrQuorraDoc& doc) {
    BuildFirstConfiguration(doc);
    CPrimarySection& pri = *doc.GetPrimarySection();
    pri.SetTopology(CPrimarySection::ACTIVE_CLAMP_RESISTOR);
    pri.SetDefaults();
    for (double& r : pri.GetPowerTransformer().m_dAcResistance) r = 1e-6;
    CCapacitor& c = pri.GetClampCapacitor();
    c.m_dCapacitance = 1e-6;
    c.m_dCapTempCoefLinear = 0.0;
    c.m_dCapTempCoefQuad = 0.0;
    doc.CheckAllSections();
}
