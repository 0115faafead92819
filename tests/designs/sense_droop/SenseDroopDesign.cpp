// The first configuration's converter sensed by a current transformer whose core holds little:
// 1:100 turns into 10 ohm, a primary (magnetising) inductance of 5 nH, so that the sensed
// current droops by about a fifth over the 2.5 us on-time (time constant Lm/(n²·R) about 5 us).
#include "circuit/Doc.h"
#include "designs/Designs.h"
#include "records/DbParts.h"

void BuildSenseDroop(CPwrQuorraDoc& doc) {
    BuildFirstConfiguration(doc);
    CPrimarySection& pri = *doc.GetPrimarySection();
    pri.SetTopology(0);
    doc.CheckAllSections();
    pri.GetSenseResistor().m_dResistance = 10.0;
    CTransformer& ct = pri.GetCurrentSenseTransformer();
    ct.m_dPrimaryInductance = 5e-9;
    ct.m_dSecondaryInductance = 5e-5;
    doc.CheckAllSections();
}
