// The first configuration with three parts rated below the voltages its turn-on reaches:
// the primary switches (SW.1 and SW.2 share one rating), the freewheel rectifier D.2 of
// output 1 and the bulk input capacitor C.IN1. Everything else is the first configuration,
// whose ratings (the part presets) stay above every voltage of its run.
#include "circuit/Doc.h"
#include "designs/Designs.h"

void BuildBreakdownConfiguration(CPwrQuorraDoc& doc) {
    BuildFirstConfiguration(doc);
    doc.GetPrimarySection()->GetSwitchSW1().m_dBreakdownVoltage = 42.0;
    doc.GetSecondarySection1()->GetDiodeRectifier2().m_dBreakdownVoltage = 38.0;
    doc.GetInputCapacitor()->GetCapacitorIn().m_dBreakdownVoltage = 40.0;
}
