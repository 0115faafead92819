#include "circuit/LinRec.h"

#include "circuit/DocServices.h"
#include "circuit/LinFil.h"
#include "records/Record.h"
#include "records/Utils.h"

namespace {
fw::RegisterClass<CLineRectifier> g_register("CLineRectifier");
}  // namespace

void CLineRectifier::InitDefaults(BOOL withBase) {
    if (withBase) InitSectionBase();
    m_strTag = kLineRectifierTag;
    m_Diode.InitDefaults();
}

void CLineRectifier::SetDefaults() {
    InitDefaults(FALSE);
    m_Diode.SetDefaults(0);
}

void CLineRectifier::Serialize(fw::Archive& ar) {
    SerializeSectionRecord(ar, kLineRectifierTag, kModuleLinRec, 700, std::tie(m_Diode));
}

CLineRectifier& CLineRectifier::operator=(const CLineRectifier& other) {
    CSection::operator=(other);
    m_Diode = other.m_Diode;
    return *this;
}

BOOL CLineRectifier::operator!=(const CLineRectifier& other) const {
    if (m_Diode != other.m_Diode) return TRUE;
    return CSection::operator!=(other);
}

BOOL CLineRectifier::WriteSummary(fw::File& file) {
    file.Write(std::string("\r\n\r\nLine Rectifier:  "));
    WriteLabel(file, kFirstLabel);
    const char* caption = nullptr;
    switch (m_wTopology) {
        case RECT_NONE: file.Write(std::string("\r\n  None")); return TRUE;
        case RECT_HALF_WAVE: caption = "\r\n  Diode:  "; break;
        case RECT_FULL_WAVE_BRIDGE: caption = "\r\n  All Diodes:  "; break;
        case RECT_HALF_WAVE_DOUBLER:
        case RECT_FULL_WAVE_SINGLE_CAP:
        case RECT_MULTI_PHASE_DOUBLER: caption = "\r\n  Both Diodes:  "; break;
        case kTopologyNotChosen: file.Write(std::string("\r\n  Not Selected")); return TRUE;
        default: ReportMessage1(kModuleLinRec, 702, FALSE); return TRUE;
    }
    file.Write(std::string(caption));
    m_Diode.WriteSummary(file, FALSE);
    return TRUE;
}

BOOL CLineRectifier::SuitsLineSource(WORD topology, WORD lineSourceType) {
    switch (lineSourceType) {
        case CLineFilter::SOURCE_DC: return (topology == RECT_NONE || topology == RECT_HALF_WAVE) ? TRUE : FALSE;
        case CLineFilter::SOURCE_1_PHASE_AC:
            return (topology == RECT_HALF_WAVE || topology == RECT_FULL_WAVE_BRIDGE ||
                    topology == RECT_HALF_WAVE_DOUBLER)
                       ? TRUE
                       : FALSE;
        case CLineFilter::SOURCE_2_PHASE_AC:
        case CLineFilter::SOURCE_3_PHASE_AC:
            return (topology == RECT_HALF_WAVE || topology == RECT_FULL_WAVE_SINGLE_CAP ||
                    topology == RECT_MULTI_PHASE_DOUBLER)
                       ? TRUE
                       : FALSE;
        default: return FALSE;
    }
}

void CLineRectifier::CheckChosen(BOOL report) {
    m_bValid = 1;
    CDocServices* doc = GetCurrentDoc();
    const CLineFilter* filter = doc ? doc->GetLineFilter() : nullptr;
    const WORD source = filter ? filter->GetLineSourceType() : kTopologyNotChosen;
    if (m_wTopology != kTopologyNotChosen && !SuitsLineSource(m_wTopology, source)) {
        m_wTopology = kTopologyNotChosen;
        if (doc) doc->SetModifiedFlag(TRUE);
    }
    if (m_wTopology == kTopologyNotChosen) {
        m_bValid = 0;
        if (report) ReportMessage(52110, TRUE);
    }
}
