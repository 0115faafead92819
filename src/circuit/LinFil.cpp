#include "circuit/LinFil.h"

#include "circuit/LoadCheck.h"
#include "platform/core/Fields.h"
#include "records/Record.h"
#include "records/Utils.h"

namespace {
fw::RegisterClass<CLineFilter> g_register("CLineFilter");

bool IsKnownSourceType(WORD type) { return type <= CLineFilter::SOURCE_3_PHASE_AC || type == kTopologyNotChosen; }
bool IsKnownVariant(WORD variant) { return variant <= CLineFilter::FILTER_NONE || variant == kTopologyNotChosen; }
}  // namespace

void CLineFilter::InitDefaults(BOOL withBase) {
    if (withBase) InitSectionBase();
    m_strTag = kLineFilterTag;
    m_wLineSourceType = kTopologyNotChosen;
    std::apply([](auto&... record) { (record.InitDefaults(), ...); }, RecordsOf(*this));
}

void CLineFilter::SetDefaults() {
    m_CapacitorIn.InitDefaults();
    m_CapacitorDamp.InitDefaults();
    m_ResistorDamp1.InitDefaults();
    m_InductorIn1.InitDefaults();
    m_InductorDamp.InitDefaults();
    m_InductorIn2.InitDefaults();
    m_ResistorDamp2.InitDefaults();
    m_CapacitorIn.SetDefaults(0);
    m_CapacitorDamp.SetDefaults(0);
    m_InductorIn1.SetDefaults(1);
    m_InductorIn2.SetDefaults(1);
    m_InductorDamp.SetDefaults(1);
    m_ResistorDamp1.SetDefaults(0);
    m_ResistorDamp2.SetDefaults(0);
}

void CLineFilter::Serialize(fw::Archive& ar) {
    CSection::Serialize(ar);
    // The check only asks whether a variant was chosen, so a variant that no
    // dialog offers would pass it.
    if (!ar.IsStoring() && !IsKnownVariant(m_wTopology)) {
        m_wTopology = kTopologyNotChosen;
        m_bValid = 0;
        ReportDamagedValue(kModuleLinFil, 603);
    }
    if (ar.IsStoring()) {
        WriteRecordHeader(ar, m_strTag, 0);
        ar.WriteU16(m_wLineSourceType);
        fw::StoreFields(ar, RecordsOf(*this));
        return;
    }
    if (ReadRecordHeader(ar, m_strTag, kLineFilterTag, kModuleLinFil, 600, [this] { InitDefaults(FALSE); }) < 0)
        return;
    m_wLineSourceType = ar.ReadU16();
    if (!IsKnownSourceType(m_wLineSourceType)) {
        m_wLineSourceType = kTopologyNotChosen;
        ReportDamagedValue(kModuleLinFil, 603);
    }
    fw::LoadFields(ar, RecordsOf(*this));
}

CLineFilter& CLineFilter::operator=(const CLineFilter& other) {
    CSection::operator=(other);
    m_wLineSourceType = other.m_wLineSourceType;
    fw::CopyFields(RecordsOf(*this), RecordsOf(other));
    return *this;
}

BOOL CLineFilter::operator!=(const CLineFilter& other) const {
    if (m_wLineSourceType != other.m_wLineSourceType || fw::FieldsDiffer(RecordsOf(*this), RecordsOf(other)))
        return TRUE;
    return CSection::operator!=(other);
}

BOOL CLineFilter::WriteSummary(fw::File& file) {
    auto part = [&file](const char* caption, const auto& record) {
        file.Write(std::string(caption));
        record.WriteSummary(file);
    };

    switch (m_wLineSourceType) {
        case SOURCE_DC: file.Write(std::string("\r\n\r\nLine Source:  DC")); break;
        case SOURCE_1_PHASE_AC: file.Write(std::string("\r\n\r\nLine Source:  Single Phase AC")); break;
        case SOURCE_2_PHASE_AC: file.Write(std::string("\r\n\r\nLine Source:  Two Phase AC")); break;
        case SOURCE_3_PHASE_AC: file.Write(std::string("\r\n\r\nLine Source:  Three Phase AC")); break;
        default:
            file.Write(std::string("\r\n\r\nLine Source:"));
            file.Write(std::string("\r\n  Not Selected"));
            break;
    }
    if (m_wLineSourceType <= SOURCE_3_PHASE_AC) {
        part("\r\n  Line Voltage:  ", m_LineVoltage);
        part("\r\n  Line Inductance:  ", m_LineInductance);
        part("\r\n  Line Resistance:  ", m_LineResistance);
    }

    file.Write(std::string("\r\n\r\nLine Filter:  "));
    WriteLabel(file, kFirstLabel);
    const WORD variant = m_wTopology;
    if (variant <= 2) {
        part("\r\n  Inductor In:  ", m_InductorIn2);
        if (variant >= 1) part("\r\n  Resistor Damp:  ", m_ResistorDamp2);
        if (variant == 2) part("\r\n  Inductor Damp:  ", m_InductorDamp);
        return TRUE;
    }
    if (variant <= 8) {
        part("\r\n  Inductor In1:  ", m_InductorIn1);
        part("\r\n  Inductor In2:  ", m_InductorIn2);
        part("\r\n  Capacitor In:  ", m_CapacitorIn);
        switch (variant) {
            case 4:
                part("\r\n  Capacitor Damp:  ", m_CapacitorDamp);
                part("\r\n  Resistor Damp:  ", m_ResistorDamp1);
                break;
            case 5: part("\r\n  Resistor Damp:  ", m_ResistorDamp2); break;
            case 6:
                part("\r\n  Resistor Damp:  ", m_ResistorDamp2);
                part("\r\n  Inductor Damp:  ", m_InductorDamp);
                break;
            case 7:
            case 8:
                part("\r\n  Capacitor Damp:  ", m_CapacitorDamp);
                part("\r\n  Resistor Damp1:  ", m_ResistorDamp1);
                part("\r\n  Resistor Damp2:  ", m_ResistorDamp2);
                if (variant == 8) part("\r\n  Inductor Damp:  ", m_InductorDamp);
                break;
            default: break;
        }
        return TRUE;
    }
    if (variant == FILTER_NONE)
        file.Write(std::string("\r\n  None"));
    else if (variant == kTopologyNotChosen)
        file.Write(std::string("\r\n  Not Selected"));
    else
        ReportMessage1(kModuleLinFil, 602, FALSE);
    return TRUE;
}

void CLineFilter::CheckChosen(BOOL report) {
    m_bValid = 1;
    auto fail = [this, report](UINT message) {
        m_bValid = 0;
        if (report) ReportMessage(message, TRUE);
    };
    const double ac = m_LineVoltage.GetACPeakMagnitude();
    if (m_wLineSourceType == kTopologyNotChosen) fail(52111);
    if (ac == 0.0 && m_LineVoltage.GetDCMagnitude() == 0.0) fail(52091);
    // The analysis divides by the line frequency.
    if (ac != 0.0 && !(m_LineVoltage.GetACFrequency() > 0.0)) fail(52092);
    if (m_wTopology == kTopologyNotChosen) fail(52109);
}
