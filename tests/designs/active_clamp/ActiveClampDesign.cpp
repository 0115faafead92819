// The first configuration's converter with a single switch reset by an active clamp: the
// clamp switch and 1 uF in series from the drain back to the bulk. Same transformer (2 uH
// leakage), output and fixed duty of 0.25. The clamp switch turns on 80 ns after switch 1
// turns off (turn-on delay 90 ns against switch 1's 10 ns turn-off delay, equal rise and fall)
// and off 10 ns before switch 1 turns on (no turn-off delay of its own): dead times in which the
// body diodes carry the current.
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
    CTransistorFE& sw2 = pri.GetSwitchSW2();
    sw2.m_dTurnOnDelay = 90e-9;
    sw2.m_dTurnOffDelay = 0.0;
    doc.CheckAllSections();
}
