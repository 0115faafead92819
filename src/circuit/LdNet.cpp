#include "circuit/LdNet.h"

#include "platform/core/Fields.h"
#include "records/Utils.h"

namespace {
fw::RegisterClass<CLoadNetwork> g_register("CLoadNetwork");
constexpr UINT kLabelBase = 51690;
constexpr int kCodeOutputNumberMismatch = 803;
}  // namespace

CLoadNetwork::CLoadNetwork() { CLoadNetwork::InitDefaults(TRUE); }

void CLoadNetwork::InitDefaults(BOOL withBase) {
    COutputSection::InitDefaults(withBase);
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
    SerializeOutputRecord(ar, {kLoadNetworkTag, kModuleLdNet, 800, kCodeOutputNumberMismatch}, RecordsOf(*this));
}

CLoadNetwork& CLoadNetwork::operator=(const CLoadNetwork& other) {
    if (this == &other) return *this;
    COutputSection::operator=(other);
    fw::CopyFields(RecordsOf(*this), RecordsOf(other));
    return *this;
}

BOOL CLoadNetwork::operator!=(const CLoadNetwork& other) const {
    if (fw::FieldsDiffer(RecordsOf(*this), RecordsOf(other))) return TRUE;
    return COutputSection::operator!=(other);
}

BOOL CLoadNetwork::WriteSummary(fw::File& file) {
    static const char* const kHeaders[] = {"\r\n\r\nLoad Network 1:  ", "\r\n\r\nLoad Network 2:  ",
                                           "\r\n\r\nLoad Network 3:  ", "\r\n\r\nLoad Network 4:  "};
    WriteOutputHeading(file, kHeaders, "\r\n\r\nLoad Network:  ", kLabelBase);
    auto part = [&file](const char* caption) { file.Write(std::string(caption)); };

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

void CLoadNetwork::CheckChosen(BOOL report) { CheckOutputChosen(report, 52107); }
