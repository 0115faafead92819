#include "circuit/OptoIso.h"

#include "platform/core/Fields.h"
#include "records/Record.h"
#include "records/Utils.h"

namespace {
fw::RegisterClass<COptoIsolator> g_register("COptoIsolator");
constexpr UINT kLabelBase = 51710;
}  // namespace

COptoIsolator::COptoIsolator() { COptoIsolator::InitDefaults(TRUE); }

void COptoIsolator::InitDefaults(BOOL withBase) {
    if (withBase) {
        InitSectionBase();
        SetTopology(kTopologyNone);
    }
    m_strTag = kOptoIsolatorTag;
    std::apply([](auto&... r) { (r.InitDefaults(), ...); }, RecordsOf(*this));
}

void COptoIsolator::SetDefaults() {
    InitDefaults(FALSE);
    std::apply([](auto&... r) { (r.SetDefaults(0), ...); }, RecordsOf(*this));
}

void COptoIsolator::Serialize(fw::Archive& ar) {
    SerializeSectionRecord(ar, kOptoIsolatorTag, kModuleOptoIso, 10100, RecordsOf(*this));
}

COptoIsolator& COptoIsolator::operator=(const COptoIsolator& other) {
    if (this == &other) return *this;
    CSection::operator=(other);
    fw::CopyFields(RecordsOf(*this), RecordsOf(other));
    return *this;
}

BOOL COptoIsolator::operator!=(const COptoIsolator& other) const {
    if (fw::FieldsDiffer(RecordsOf(*this), RecordsOf(other))) return TRUE;
    return CSection::operator!=(other);
}

BOOL COptoIsolator::WriteSummary(fw::File& file) {
    auto part = [&file](const char* caption) { file.Write(std::string(caption)); };
    part("\r\n\r\nOpto-Isolator:  ");
    WriteLabel(file, kLabelBase);
    const WORD topology = GetTopology();
    if (topology == kTopologyNone) {
        part("\r\n  None");
        return TRUE;
    }
    // Every other value, "not chosen" included, lists the common parts.
    part("\r\n  Driver Source:  ");
    m_DriverSource.WriteSummary(file);
    part("\r\n  Drive Resistor:  ");
    m_DriveResistor.WriteSummaryShort(file);
    part("\r\n  Diode LED:  ");
    m_DiodeLED.WriteSummaryShort(file);
    if (topology == 1 || topology == 3) {
        part("\r\n  Drive Transistor:  ");
        m_DriveTransistor.WriteSummary(file);
    }
    part("\r\n  Bias Voltage:  ");
    m_BiasVoltage.WriteSummary(file);
    part("\r\n  Photo Transistor:  ");
    m_PhotoTransistor.WriteSummary(file);
    part("\r\n  Load Resistor:  ");
    m_LoadResistor.WriteSummaryShort(file);

    auto poleCapacitor = [&] {
        part("\r\n  Pole Capacitor:  ");
        m_PoleCapacitor.WriteSummaryShort(file);
    };
    auto opAmpInverter = [&] {
        part("\r\n  Resistor Amp1:  ");
        m_ResistorAmp1.WriteSummaryShort(file);
        part("\r\n  Resistor Amp2:  ");
        m_ResistorAmp2.WriteSummaryShort(file);
        part("\r\n  Operational Amplifier:  ");
        m_OpAmp.WriteSummary(file);
        part("\r\n  Voltage Source VRef:  ");
        m_VoltageSourceVRef.WriteSummary(file, 0);
    };
    switch (topology) {
    case 0:
    case 1:
        break;
    case 2:
        poleCapacitor();
        break;
    case 3:
    case 4:
        opAmpInverter();
        break;
    case 5:
        poleCapacitor();
        opAmpInverter();
        break;
    case kTopologyNotChosen:
        part("\r\n  Not Selected");
        break;
    default:
        ReportMessage1(kModuleOptoIso, 10102, FALSE);
        break;
    }
    return TRUE;
}

void COptoIsolator::CheckChosen(BOOL report) {
    m_bValid = 1;
    if (GetTopology() == kTopologyNotChosen) {
        m_bValid = 0;
        if (report) ReportMessage(52113, TRUE);
        return;
    }
    const int32_t driver = m_DriverSource.m_nDriverSource;
    if (driver < 0 || driver > 4) {
        m_bValid = 0;
        if (report) ReportMessage(52113, TRUE);
    }
}
