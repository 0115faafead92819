// The first configuration with transistor rectifiers: both rectifier positions hold a
// transistor beside their diode, rectifier 1's channel 20 mohm and rectifier 2's 30 mohm (the
// two differ so that a swapped channel shows in the output). Their drive delays are the part
// preset's 20 ns, as are the primary switches', so no timing lets them cross-conduct.
#include "circuit/Doc.h"
#include "circuit/SecSec.h"
#include "designs/Designs.h"

void MakeRectifiersSynchronous(CPwrQuorraDoc& doc) {
    CSecondarySection& sec = *doc.GetSecondarySection1();
    sec.SetSynchronous(TRUE);
    sec.SetRectifier1Kind(CSecondarySection::SYNCHRONOUS);
    sec.SetRectifier2Kind(CSecondarySection::SYNCHRONOUS);
    sec.GetTransistorRectifier1().SetDefaults(0);
    sec.GetTransistorRectifier2().SetDefaults(0);
    sec.GetTransistorRectifier1().m_dOnResistance = 0.02;
    sec.GetTransistorRectifier2().m_dOnResistance = 0.03;
    doc.CheckAllSections();
}

void BuildSyncRectifier(CPwrQuorraDoc& doc) {
    BuildFirstConfiguration(doc);
    MakeRectifiersSynchronous(doc);
}
