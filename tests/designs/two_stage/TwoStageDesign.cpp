// The first configuration's converter with a second-stage LC output filter: Inductor Out 2
// of 1 uH (5 mohm) from the first stage's 100 uF to Capacitor Out 2 of 47 uF (10 mohm ESR,
// 1 nH ESL) beside the 5 ohm load.
#include "circuit/Doc.h"
#include "designs/Designs.h"

void BuildTwoStage(CPwrQuorraDoc& doc) {
    BuildFirstConfiguration(doc);
    C2StgOutputFilter& f2 = *doc.Get2StgOutputFilter1();
    f2.SetTopology(1);
    f2.SetDefaults();
    f2.GetInductorOut2().m_dInductance = 1e-6;
    f2.GetInductorOut2().m_dDcResistance = 5e-3;
    f2.GetCapacitorOut2().m_dCapacitance = 47e-6;
    f2.GetCapacitorOut2().m_dEsr = 0.01;
    f2.GetCapacitorOut2().m_dEsl = 1e-9;
    doc.CheckAllSections();
}
