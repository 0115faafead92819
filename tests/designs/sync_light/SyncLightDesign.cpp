// The transistor-rectifier design at light load: 118 ohm in place of 5 ohm, so that the choke's
// current (about 0.1 A on average, 0.9 A of ripple) runs backwards through rectifier 2's channel
// late in the off-time and is still reversed when the primary switch turns on.
#include "circuit/Doc.h"
#include "designs/Designs.h"

void BuildSyncLightLoad(CPwrQuorraDoc& doc) {
    BuildSyncRectifier(doc);
    doc.GetLoadNetwork1()->GetResistorLoad2().m_dResistance = 118.0;
}
