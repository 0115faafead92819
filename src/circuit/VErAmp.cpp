#include "circuit/VErAmp.h"

#include "platform/core/Fields.h"
#include "records/Record.h"
#include "records/Utils.h"

namespace {
fw::RegisterClass<CVoltageErrorAmp> g_register("CVoltageErrorAmp");
constexpr UINT kLabelBase = 51700;
}  // namespace

CVoltageErrorAmp::CVoltageErrorAmp() { CVoltageErrorAmp::InitDefaults(TRUE); }

void CVoltageErrorAmp::InitDefaults(BOOL withBase) {
    if (withBase) InitSectionBase();
    m_strTag = kVoltageErrorAmpTag;
    std::apply([](auto&... r) { (r.InitDefaults(), ...); }, RecordsOf(*this));
}

void CVoltageErrorAmp::SetDefaults() {
    InitDefaults(FALSE);
    m_Capacitor1.SetDefaults(0);
    m_Capacitor2.SetDefaults(0);
    m_Capacitor3.SetDefaults(0);
    m_Resistor1.SetDefaults(0);
    m_Resistor2.SetDefaults(0);
    m_Resistor3.SetDefaults(0);
    m_ResistorFeedback.SetDefaults(0);
    m_OpAmp.SetDefaults(0);
    m_UnderVoltLockOut.SetDefaults(0);
    m_VoltageSourceVRef.SetDefaults(1);
}

void CVoltageErrorAmp::Serialize(fw::Archive& ar) {
    SerializeSectionRecord(ar, kVoltageErrorAmpTag, kModuleVErAmp, 1400, RecordsOf(*this));
}

CVoltageErrorAmp& CVoltageErrorAmp::operator=(const CVoltageErrorAmp& other) {
    if (this == &other) return *this;
    CSection::operator=(other);
    fw::CopyFields(RecordsOf(*this), RecordsOf(other));
    return *this;
}

BOOL CVoltageErrorAmp::operator!=(const CVoltageErrorAmp& other) const {
    if (fw::FieldsDiffer(RecordsOf(*this), RecordsOf(other))) return TRUE;
    return CSection::operator!=(other);
}

BOOL CVoltageErrorAmp::WriteSummary(fw::File& file) {
    file.Write(std::string("\r\n\r\nVoltage Error Amp:  "));
    WriteLabel(file, kLabelBase);
    const WORD topology = GetTopology();
    if (topology == kTopologyNotChosen) {
        file.Write(std::string("\r\n  Not Selected"));
        return TRUE;
    }
    if (topology > 7) {
        ReportMessage1(kModuleVErAmp, 1402, FALSE);
        return TRUE;
    }
    auto part = [&file](const char* caption) { file.Write(std::string(caption)); };
    // Variant n + 4 adds the DC feedback resistor to variant n.
    const WORD base = topology % 4;
    const bool dcFeedback = topology >= 4;
    if (base == 0) {
        part("\r\n  Capacitor 1:  ");
        m_Capacitor1.WriteSummaryShort(file);
    }
    if (base <= 2) {
        part("\r\n  Capacitor 2:  ");
        m_Capacitor2.WriteSummaryShort(file);
    }
    if (base != 2) {
        part("\r\n  Capacitor 3:  ");
        m_Capacitor3.WriteSummaryShort(file);
    }
    part("\r\n  Operational Amplifier:  ");
    m_OpAmp.WriteSummary(file);
    part("\r\n  Resistor 1:  ");
    m_Resistor1.WriteSummaryShort(file);
    if (base == 0) {
        part("\r\n  Resistor 2:  ");
        m_Resistor2.WriteSummaryShort(file);
    }
    if (base <= 2) {
        part("\r\n  Resistor 3:  ");
        m_Resistor3.WriteSummaryShort(file);
    }
    if (dcFeedback) {
        part("\r\n  Resistor Feedback:  ");
        m_ResistorFeedback.WriteSummaryShort(file);
    }
    part("\r\n  Undervoltage Lock Out:  ");
    m_UnderVoltLockOut.WriteSummary(file);
    part("\r\n  Voltage Source VRef:  ");
    m_VoltageSourceVRef.WriteSummary(file, 0);
    return TRUE;
}

void CVoltageErrorAmp::CheckChosen(BOOL report) {
    m_bValid = 1;
    if (GetTopology() == kTopologyNotChosen) {
        m_bValid = 0;
        if (report) ReportMessage(52120, TRUE);
    }
}
