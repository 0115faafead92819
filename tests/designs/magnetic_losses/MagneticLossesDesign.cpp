// The first configuration's converter with lossy magnetics: a transformer of 50 mohm primary
// and 20 mohm secondary DC resistance, five times as much for the ripple, and 1.5 W of core
// loss; a choke of 20 mohm (100 mohm AC) with 0.5 W of core loss.
#include "circuit/Doc.h"
#include "designs/Designs.h"
#include "records/DbParts.h"

void SetMagneticLosses(CPwrQuorraDoc& doc, const MagneticLosses& m) {
    CPwrTransformer& x = doc.GetPrimarySection()->GetPowerTransformer();
    using X = CPwrTransformer;
    x.m_dDcResistance[X::kPrimary] = m.primaryDc;
    x.m_dAcResistance[X::kPrimary] = m.primaryAc;
    x.m_dDcResistance[X::kSecondary1] = m.secondaryDc;
    x.m_dAcResistance[X::kSecondary1] = m.secondaryAc;
    x.m_dCorePowerLoss = m.transformerCore;
    CInductor& choke = doc.GetOutputChoke1()->GetInductorOut1();
    choke.m_dDcResistance = m.chokeDc;
    choke.m_dAcResistance = m.chokeAc;
    choke.m_dCorePowerLoss = m.chokeCore;
    doc.CheckAllSections();
}

void BuildMagneticLosses(CPwrQuorraDoc& doc) {
    BuildFirstConfiguration(doc);
    SetMagneticLosses(doc, {0.05, 0.25, 0.02, 0.1, 1.5, 0.02, 0.1, 0.5});
}
