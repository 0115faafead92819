// The first configuration's converter fed from its 48 V DC line through a line filter on its
// own, no rectifier: Inductor In1 (10 uH, 0.1 ohm) to the filter node, Capacitor In (10 uF)
// there, then Inductor In2 (10 uH, 0.05 ohm) with Resistor Damp2 (2 ohm) beside it into the
// 1 mF bulk capacitor.
#include "circuit/Doc.h"
#include "designs/Designs.h"

void BuildLineFilter(CPwrQuorraDoc& doc) {
    BuildFirstConfiguration(doc);
    CLineFilter& filter = *doc.GetLineFilter();
    filter.SetTopology(5);
    filter.SetDefaults();
    filter.GetInductorIn1().m_dInductance = 10e-6;
    filter.GetInductorIn1().m_dDcResistance = 0.1;
    filter.GetInductorIn1().m_dAcResistance = 0.1;
    filter.GetInductorIn2().m_dInductance = 10e-6;
    filter.GetInductorIn2().m_dDcResistance = 0.05;
    filter.GetInductorIn2().m_dAcResistance = 0.05;
    filter.GetCapacitorIn().m_dCapacitance = 10e-6;
    filter.GetResistorDamp2().m_dResistance = 2.0;
    doc.CheckAllSections();
}
