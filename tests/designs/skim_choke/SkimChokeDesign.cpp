// The voltage-loop design with a skim inductor in series with output 1's 100 uH choke: 50 uH
// and 20 mohm, no core loss, its AC resistance its DC one. The choke branch is then 150 uH: the
// ripple falls by a third and the output filter's resonance moves from 1.6 kHz to 1.3 kHz.
#include "circuit/Doc.h"
#include "designs/Designs.h"
#include "records/DbParts.h"

void BuildSkimChoke(CPwrQuorraDoc& doc) {
    BuildVoltageLoop(doc);
    COutputChoke& choke = *doc.GetOutputChoke1();
    choke.SetTopology(1);
    CInductor& skim = choke.GetSkimInductor();
    skim.m_dInductance = 50e-6;
    skim.m_dDcResistance = 0.02;
    skim.m_dAcResistance = 0.02;
    skim.m_dCorePowerLoss = 0.0;
    doc.CheckAllSections();
}
