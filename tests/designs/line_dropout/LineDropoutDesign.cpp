// The first configuration's converter fed from a 48 V DC line (a one-phase line whose sine
// is 0 V) through a full-wave bridge
// (0.8 V, 0.02 ohm diodes) into a 100 uF bulk capacitor, with a drop-out in the DC line's
// transient points: the line falls to 0 V at 1 ms, stays there for 2 ms and comes back at
// 3 ms (each edge 1 us). While it is out the bridge blocks and the bulk capacitor alone feeds
// the converter.
#include "circuit/Doc.h"
#include "designs/Designs.h"

namespace {

void AddPoint(CObArrayTimeMagnitude& table, double time, double magnitude) {
    CObTimeMagnitude p;
    p.m_dTime = time;
    p.m_dMagnitude = magnitude;
    table.AddCopy(table.GetCount(), p);
}

}  // namespace

void BuildLineDropout(CPwrQuorraDoc& doc) {
    BuildFirstConfiguration(doc);
    CLineFilter& filter = *doc.GetLineFilter();
    // A one-phase line whose sine is 0 V: the DC part alone, through the bridge.
    filter.SetLineSourceType(CLineFilter::SOURCE_1_PHASE_AC);
    filter.SetTopology(CLineFilter::FILTER_NONE);
    filter.SetDefaults();
    filter.GetLineVoltage().m_dDCMagnitude = 48.0;
    filter.GetLineVoltage().m_dACPeakMagnitude = 0.0;
    filter.GetLineVoltage().m_dACFrequency = 50.0;
    CObArrayTimeMagnitude& table = filter.GetLineVoltage().GetDCMagnitudeTable();
    table.DeleteAll();
    // The table adds to the line's DC magnitude.
    const double line = filter.GetLineVoltage().m_dDCMagnitude;
    AddPoint(table, 0.0, 0.0);
    AddPoint(table, 1.0e-3, 0.0);
    AddPoint(table, 1.001e-3, -line);
    AddPoint(table, 3.0e-3, -line);
    AddPoint(table, 3.001e-3, 0.0);
    AddPoint(table, 4.0e-3, 0.0);

    CLineRectifier& rect = *doc.GetLineRectifier();
    rect.SetTopology(CLineRectifier::RECT_FULL_WAVE_BRIDGE);
    rect.SetDefaults();
    rect.GetDiode().m_dForwardVoltage = 0.8;
    rect.GetDiode().m_dForwardVoltageTempCoef = 0.0;
    rect.GetDiode().m_dDynamicResistance = 0.02;

    CInputCapacitor& in = *doc.GetInputCapacitor();
    in.SetTopology(CInputCapacitor::CAP_SINGLE);
    in.SetDefaults();
    in.GetCapacitorIn().m_dCapacitance = 100e-6;
    doc.CheckAllSections();
}
