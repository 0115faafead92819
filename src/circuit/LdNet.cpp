#include "circuit/LdNet.h"

#include "circuit/DocServices.h"
#include "circuit/LoadCheck.h"
#include "circuit/Require.h"
#include "platform/core/Fields.h"
#include "records/Record.h"
#include "records/Utils.h"

namespace {
fw::RegisterClass<CLoadNetwork> g_register("CLoadNetwork");
constexpr UINT kLabelBase = 51690;
constexpr int kCodeOutputNumberMismatch = 803;

// Without a document the defaults of a new design apply.
BOOL IsOutputEnabled(WORD outputNumber) {
    CDocServices* doc = GetCurrentDoc();
    const CRequirements* req = doc ? doc->GetRequirements() : nullptr;
    static const CRequirements kDefaults;
    return (req ? req : &kDefaults)->IsOutputEnabled(outputNumber);
}
}  // namespace

CLoadNetwork::CLoadNetwork() { CLoadNetwork::InitDefaults(TRUE); }

void CLoadNetwork::InitDefaults(BOOL withBase) {
    if (withBase) {
        InitSectionBase();
        m_wOutputNumber = 0;
    }
    m_strTag = kLoadNetworkTag;
    std::apply([](auto&... r) { (r.InitDefaults(), ...); }, RecordsOf(*this));
}

void CLoadNetwork::SetDefaults() {
    InitDefaults(FALSE);
    m_InductorLoad1.SetDefaults(0);
    m_InductorLoad2.SetDefaults(0);
    m_ResistorLoad1.SetDefaults(0);
    m_ResistorLoad2.SetDefaults(1);
    m_CurrentSourceILoad.SetDefaults(0);
}

void CLoadNetwork::Serialize(fw::Archive& ar) {
    CSection::Serialize(ar);
    if (ar.IsStoring()) {
        WriteRecordHeader(ar, m_strTag, 0);
        ar.WriteU16(m_wOutputNumber);
        fw::StoreFields(ar, RecordsOf(*this));
        return;
    }
    if (ReadRecordHeader(ar, m_strTag, kLoadNetworkTag, kModuleLdNet, 800, [this] { InitDefaults(FALSE); }) < 0)
        return;
    if (ar.ReadU16() != m_wOutputNumber) ReportDamagedValue(kModuleLdNet, kCodeOutputNumberMismatch);
    fw::LoadFields(ar, RecordsOf(*this));
}

CLoadNetwork& CLoadNetwork::operator=(const CLoadNetwork& other) {
    if (this == &other) return *this;
    CSection::operator=(other);
    m_wOutputNumber = other.m_wOutputNumber;
    fw::CopyFields(RecordsOf(*this), RecordsOf(other));
    return *this;
}

BOOL CLoadNetwork::operator!=(const CLoadNetwork& other) const {
    if (m_wOutputNumber != other.m_wOutputNumber) return TRUE;
    if (fw::FieldsDiffer(RecordsOf(*this), RecordsOf(other))) return TRUE;
    return CSection::operator!=(other);
}

BOOL CLoadNetwork::WriteSummary(fw::File& file) {
    static const char* const kHeaders[] = {"\r\n\r\nLoad Network 1:  ", "\r\n\r\nLoad Network 2:  ",
                                           "\r\n\r\nLoad Network 3:  ", "\r\n\r\nLoad Network 4:  "};
    auto part = [&file](const char* caption) { file.Write(std::string(caption)); };
    part(m_wOutputNumber < 4 ? kHeaders[m_wOutputNumber] : "\r\n\r\nLoad Network:  ");
    WriteLabel(file, kLabelBase);

    auto resistor = [&](const char* caption, const CResistor& r) {
        part(caption);
        r.WriteSummary(file);
    };
    auto inductor = [&](const char* caption, const CInductor& l) {
        part(caption);
        l.WriteSummary(file);
    };
    auto source = [&] {
        part("\r\n  Current Source I Load:  ");
        m_CurrentSourceILoad.WriteSummary(file, 1);
    };
    switch (GetTopology()) {
    case 0:
        resistor("\r\n  Resistor Load:  ", m_ResistorLoad2);
        break;
    case 1:
        resistor("\r\n  Resistor Load:  ", m_ResistorLoad2);
        inductor("\r\n  Inductor Load:  ", m_InductorLoad2);
        break;
    case 2:
        source();
        break;
    case 3:
        resistor("\r\n  Resistor Load1:  ", m_ResistorLoad1);
        inductor("\r\n  Inductor Load1:  ", m_InductorLoad1);
        resistor("\r\n  Resistor Load2:  ", m_ResistorLoad2);
        inductor("\r\n  Inductor Load2:  ", m_InductorLoad2);
        source();
        break;
    case kTopologyNotChosen:
        part("\r\n  Not Selected");
        break;
    default:
        ReportMessage1(kModuleLdNet, 802, FALSE);
        break;
    }
    return TRUE;
}

void CLoadNetwork::CheckChosen(BOOL report) {
    m_bValid = 1;
    if (!IsOutputEnabled(m_wOutputNumber)) return;
    if (GetTopology() == kTopologyNotChosen) {
        m_bValid = 0;
        if (report) ReportMessage1(52107, m_wOutputNumber + 1, TRUE);
    }
}
