// The first configuration's converter with a single switch reset by a third winding: the
// reset winding has the primary's turns and inductance, coupled to the primary and to the
// secondary as the secondary is to the primary (2 uH with the other shorted), and returns the
// magnetising energy to the bulk through the reset diode. Same output and fixed duty of 0.25.
#include "circuit/Doc.h"
#include "designs/Designs.h"

void BuildResetWinding(CPwrQuorraDoc& doc) {
    BuildFirstConfiguration(doc);
    CPrimarySection& pri = *doc.GetPrimarySection();
    pri.SetTopology(CPrimarySection::SINGLE_SWITCH_RESISTOR);
    pri.SetDefaults();
    CPwrTransformer& x = pri.GetPowerTransformer();
    using X = CPwrTransformer;
    for (double& r : x.m_dAcResistance) r = 1e-6;
    x.m_dTurns[X::kReset] = x.m_dTurns[X::kPrimary];
    x.m_dOpenInductance[X::kReset] = x.m_dOpenInductance[X::kPrimary];
    x.m_dDcResistance[X::kReset] = x.m_dDcResistance[X::kPrimary];
    const double shorted = x.ShortedInductance(X::kPrimary, X::kPrimary + 1);
    x.ShortedInductance(X::kPrimary, X::kReset) = shorted;
    x.ShortedInductance(X::kPrimary + 1, X::kReset) = shorted;
    OutputEnables enables;
    enables.flags = {1, 0, 0, 0};
    x.ComputeCoupling(enables, TRUE);
    doc.GetAnalysisConfig()->GetGraphCfg(3)->m_dYMax = 120.0;
    doc.CheckAllSections();
}
