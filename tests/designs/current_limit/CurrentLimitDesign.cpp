// The closed-loop voltage-mode design driven into an overload: 2 ohm where 10 V needs 5 A.
// The current limit senses the primary current through a 0.1 ohm sense resistor (sense gain
// 1) against IRef = 0.25 V, so it ends each on-time at 2.5 A; its filter is made short
// (ISCL 10 ohm, 1 nF: 10 ns) so that the peak follows the threshold closely.
#include "circuit/Doc.h"
#include "designs/Designs.h"

void BuildCurrentLimit(CPwrQuorraDoc& doc) {
    BuildClosedLoopVoltageMode(doc);
    CPrimarySection& pri = *doc.GetPrimarySection();
    pri.GetSenseResistor().m_dResistance = 0.1;
    pri.GetSenseAmplifier().m_dVoltageGain = 1.0;
    CControlSection& ctl = *doc.GetControlSection();
    ctl.GetVoltageSourceIRef().m_dDCMagnitude = 0.25;
    ctl.GetResistorISCL().m_dResistance = 10.0;
    ctl.GetCapacitorISCL().m_dCapacitance = 1e-9;
    doc.GetLoadNetwork1()->GetResistorLoad2().m_dResistance = 2.0;
    doc.GetAnalysisConfig()->m_dTime = 0.02;
    doc.CheckAllSections();
}
