// The first configuration's converter with a choke whose core saturates: 100 uH up to 0.3 A,
// falling to 40 uH at 0.5 A and flat from there to 20 A, so that the whole ripple of the
// 2.1 A operating point sits on the saturated plateau.
#include "circuit/Doc.h"
#include "designs/Designs.h"
#include "records/DbParts.h"

void BuildSaturatingChoke(CPwrQuorraDoc& doc) {
    BuildFirstConfiguration(doc);
    SetPlateauChoke(doc, true);
}

void SetPlateauChoke(CPwrQuorraDoc& doc, bool saturating) {
    CInductor& choke = doc.GetOutputChoke1()->GetInductorOut1();
    if (saturating) {
        CObArrayCurrentInductance& points = choke.m_CoreSatChar.m_arPoints;
        points.DeleteAll();
        points.AddCopy(0, CObCurrentInductance(0.3, 100e-6));
        points.AddCopy(1, CObCurrentInductance(0.5, 40e-6));
        points.AddCopy(2, CObCurrentInductance(20.0, 40e-6));
    } else {
        choke.m_dInductance = 40e-6;
    }
    doc.CheckAllSections();
}

void SaturateTransformerCore(CPwrQuorraDoc& doc, double knee) {
    CObArrayCurrentInductance& points = doc.GetPrimarySection()->GetPowerTransformer().m_CoreSatChar.m_arPoints;
    points.DeleteAll();
    points.AddCopy(0, CObCurrentInductance(knee, 200e-6));
    points.AddCopy(1, CObCurrentInductance(2.0 * knee, 50e-6));
    points.AddCopy(2, CObCurrentInductance(20.0, 50e-6));
    doc.CheckAllSections();
}
