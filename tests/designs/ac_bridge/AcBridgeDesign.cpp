// The first configuration's converter fed from an AC line: 60 V peak at 400 Hz, one phase,
// 1 uH and 0.1 ohm of line, through a full-wave bridge (0.8 V, 0.02 ohm diodes without a
// temperature coefficient) into a single 150 uF bulk capacitor. The output capacitor is cut
// to 10 uF so that the output filter (5 kHz) follows the 800 Hz bulk ripple without
// resonating, and the converter draws a current that follows the bulk voltage smoothly.
// The doubler variant feeds the same converter through a half-wave doubler into two 330 uF
// capacitors from a 30 V peak line, so that its bulk stands near the bridge's.
#include "circuit/Doc.h"
#include "designs/Designs.h"

void FeedFromAcLine(CPwrQuorraDoc& doc, bool doubler) {
    CLineFilter& filter = *doc.GetLineFilter();
    filter.SetLineSourceType(CLineFilter::SOURCE_1_PHASE_AC);
    filter.SetTopology(CLineFilter::FILTER_NONE);
    filter.SetDefaults();
    filter.GetLineVoltage().m_dDCMagnitude = 0.0;
    filter.GetLineVoltage().m_dACPeakMagnitude = doubler ? 30.0 : 60.0;
    filter.GetLineVoltage().m_dACFrequency = 400.0;
    filter.GetLineInductance().m_dInductance = 1e-6;
    filter.GetLineResistance().m_dResistance = 0.1;

    CLineRectifier& rect = *doc.GetLineRectifier();
    rect.SetTopology(doubler ? CLineRectifier::RECT_HALF_WAVE_DOUBLER : CLineRectifier::RECT_FULL_WAVE_BRIDGE);
    rect.SetDefaults();
    rect.GetDiode().m_dForwardVoltage = 0.8;
    rect.GetDiode().m_dForwardVoltageTempCoef = 0.0;
    rect.GetDiode().m_dDynamicResistance = 0.02;

    CInputCapacitor& in = *doc.GetInputCapacitor();
    in.SetTopology(doubler ? CInputCapacitor::CAP_DOUBLER : CInputCapacitor::CAP_SINGLE);
    in.SetDefaults();
    in.GetCapacitorIn().m_dCapacitance = doubler ? 330e-6 : 150e-6;

    doc.Get1StgOutputFilter1()->GetCapacitorOut1().m_dCapacitance = 10e-6;
    doc.CheckAllSections();
}

void BuildAcBridge(CPwrQuorraDoc& doc) {
    BuildFirstConfiguration(doc);
    FeedFromAcLine(doc, false);
}
void BuildAcDoubler(CPwrQuorraDoc& doc) {
    BuildFirstConfiguration(doc);
    FeedFromAcLine(doc, true);
}
