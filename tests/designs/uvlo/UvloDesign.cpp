// The closed-loop voltage-mode design fed through 10 ohm of line resistance, so that the
// 1 mF bulk charges slowly (10 ms time constant) from 0 V at turn-on, with the error
// amplifier's under-voltage lockout turning on at 30 V and off at 20 V. 80 ms run.
#include "circuit/Doc.h"
#include "designs/Designs.h"

void BuildUvlo(CPwrQuorraDoc& doc) {
    BuildClosedLoopVoltageMode(doc);
    doc.GetLineFilter()->GetLineResistance().m_dResistance = 10.0;
    CUnderVoltLockOut& uvlo = doc.GetVoltageErrorAmp()->GetUnderVoltLockOut();
    uvlo.m_dTurnOnVoltage = 30.0;
    uvlo.m_dTurnOffVoltage = 20.0;
    doc.GetAnalysisConfig()->m_dTime = 0.08;
    doc.CheckAllSections();
}
