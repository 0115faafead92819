#include "circuit/InCap.h"

#include "circuit/DocServices.h"
#include "circuit/LinRec.h"
#include "platform/core/Fields.h"
#include "records/Record.h"
#include "records/Utils.h"

namespace {
fw::RegisterClass<CInputCapacitor> g_register("CInputCapacitor");
}  // namespace

void CInputCapacitor::InitDefaults(BOOL withBase) {
    if (withBase) InitSectionBase();
    m_strTag = kInputCapacitorTag;
    m_CapacitorIn.InitDefaults();
    m_CapacitorDamp.InitDefaults();
    m_ResistorDamp.InitDefaults();
}

void CInputCapacitor::SetDefaults() {
    InitDefaults(FALSE);
    m_CapacitorIn.SetDefaults(3);
    m_CapacitorDamp.SetDefaults(0);
    m_ResistorDamp.SetDefaults(0);
}

void CInputCapacitor::Serialize(fw::Archive& ar) {
    SerializeSectionRecord(ar, kInputCapacitorTag, kModuleInCap, 500, RecordsOf(*this));
}

CInputCapacitor& CInputCapacitor::operator=(const CInputCapacitor& other) {
    CSection::operator=(other);
    fw::CopyFields(RecordsOf(*this), RecordsOf(other));
    return *this;
}

BOOL CInputCapacitor::operator!=(const CInputCapacitor& other) const {
    if (fw::FieldsDiffer(RecordsOf(*this), RecordsOf(other))) return TRUE;
    return CSection::operator!=(other);
}

BOOL CInputCapacitor::WriteSummary(fw::File& file) {
    auto part = [&file](const char* caption, const auto& record) {
        file.Write(std::string(caption));
        record.WriteSummary(file);
    };
    file.Write(std::string("\r\n\r\nInput Capacitor:  "));
    WriteLabel(file, kFirstLabel);
    switch (m_wTopology) {
        case CAP_SINGLE: part("\r\n  Capacitor In:  ", m_CapacitorIn); break;
        case CAP_SINGLE_DAMPED:
            part("\r\n  Capacitor In:  ", m_CapacitorIn);
            part("\r\n  Capacitor Damp:  ", m_CapacitorDamp);
            part("\r\n  Resistor Damp:  ", m_ResistorDamp);
            break;
        case CAP_DOUBLER: part("\r\n  Capacitors In1 and In2:  ", m_CapacitorIn); break;
        case CAP_DOUBLER_DAMPED:
            part("\r\n  Capacitors In1 and In2:  ", m_CapacitorIn);
            part("\r\n  Capacitors Damp1 and Damp2:  ", m_CapacitorDamp);
            part("\r\n  Resistors Damp1 and Damp2:  ", m_ResistorDamp);
            break;
        case kTopologyNotChosen: file.Write(std::string("\r\n  Not Selected")); break;
        default: ReportMessage1(kModuleInCap, 502, FALSE); break;
    }
    return TRUE;
}

BOOL CInputCapacitor::SuitsRectifier(WORD topology, WORD rectifierTopology) {
    switch (rectifierTopology) {
        case CLineRectifier::RECT_NONE:
        case CLineRectifier::RECT_HALF_WAVE:
        case CLineRectifier::RECT_FULL_WAVE_BRIDGE:
        case CLineRectifier::RECT_FULL_WAVE_SINGLE_CAP:
            return (topology == CAP_SINGLE || topology == CAP_SINGLE_DAMPED) ? TRUE : FALSE;
        case CLineRectifier::RECT_HALF_WAVE_DOUBLER:
        case CLineRectifier::RECT_MULTI_PHASE_DOUBLER:
            return (topology == CAP_DOUBLER || topology == CAP_DOUBLER_DAMPED) ? TRUE : FALSE;
        default: return FALSE;
    }
}

void CInputCapacitor::CheckChosen(BOOL report) {
    m_bValid = 1;
    CDocServices* doc = GetCurrentDoc();
    const CLineRectifier* rectifier = doc ? doc->GetLineRectifier() : nullptr;
    const WORD rectTopology = rectifier ? rectifier->GetTopology() : kTopologyNotChosen;
    if (m_wTopology != kTopologyNotChosen && !SuitsRectifier(m_wTopology, rectTopology)) {
        m_wTopology = kTopologyNotChosen;
        if (doc) doc->SetModifiedFlag(TRUE);
    }
    if (m_wTopology == kTopologyNotChosen) {
        m_bValid = 0;
        if (report) ReportMessage(52106, TRUE);
    }
}
