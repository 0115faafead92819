#include "circuit/OutFil1.h"

#include "platform/core/Fields.h"
#include "records/Utils.h"

namespace {
fw::RegisterClass<C1StgOutputFilter> g_register("C1StgOutputFilter");
constexpr UINT kLabelBase = 51660;
constexpr int kCodeOutputNumberMismatch = 1003;
}  // namespace

C1StgOutputFilter::C1StgOutputFilter() { C1StgOutputFilter::InitDefaults(TRUE); }

void C1StgOutputFilter::InitDefaults(BOOL withBase) {
    COutputSection::InitDefaults(withBase);
    m_strTag = k1StgOutputFilterTag;
    std::apply([](auto&... r) { (r.InitDefaults(), ...); }, RecordsOf(*this));
}

void C1StgOutputFilter::SetDefaults() {
    InitDefaults(FALSE);
    m_CapacitorOut1.SetDefaults(0);
    m_CapacitorDamp1.SetDefaults(0);
    m_CapacitorBias.SetDefaults(0);
    m_ResistorDamp1.SetDefaults(0);
    m_ResistorCapSense.SetDefaults(0);
    m_ResistorBias1.SetDefaults(0);
    m_ResistorBias2.SetDefaults(0);
    m_CurrentSenseDiode.SetDefaults(1);
    m_CurrentSenseTransformer.SetDefaults(0);
    m_VoltageSourceVBias.SetDefaults(0);
}

void C1StgOutputFilter::Serialize(fw::Archive& ar) {
    SerializeOutputRecord(ar, {k1StgOutputFilterTag, kModuleOutFil1, 1000, kCodeOutputNumberMismatch}, RecordsOf(*this));
}

C1StgOutputFilter& C1StgOutputFilter::operator=(const C1StgOutputFilter& other) {
    if (this == &other) return *this;
    COutputSection::operator=(other);
    fw::CopyFields(RecordsOf(*this), RecordsOf(other));
    return *this;
}

BOOL C1StgOutputFilter::operator!=(const C1StgOutputFilter& other) const {
    if (fw::FieldsDiffer(RecordsOf(*this), RecordsOf(other))) return TRUE;
    return COutputSection::operator!=(other);
}

BOOL C1StgOutputFilter::WriteSummary(fw::File& file) {
    static const char* const kHeaders[] = {
        "\r\n\r\nFirst Stage Output Filter 1:  ", "\r\n\r\nFirst Stage Output Filter 2:  ",
        "\r\n\r\nFirst Stage Output Filter 3:  ", "\r\n\r\nFirst Stage Output Filter 4:  "};
    auto part = [&file](const char* caption) { file.Write(std::string(caption)); };
    WriteOutputHeading(file, kHeaders, "\r\n\r\nOutput Filter:  ", kLabelBase);

    const WORD topology = GetTopology();
    if (topology == kTopologyNotChosen) {
        part("\r\n  Not Selected");
        return TRUE;
    }
    if (topology > 3) {
        ReportMessage1(kModuleOutFil1, 1002, FALSE);
        return TRUE;
    }
    const bool damping = topology == 1 || topology == 3;
    const bool sensing = topology == 2 || topology == 3;
    part("\r\n  Capacitor Out 1:  ");
    m_CapacitorOut1.WriteSummary(file);
    if (sensing) {
        part("\r\n  Current Sense Diode:  ");
        m_CurrentSenseDiode.WriteSummary(file, 1);
        part("\r\n  Current Sense Transformer:  ");
        m_CurrentSenseTransformer.WriteSummary(file);
        part("\r\n  Resistor Cap Sense:  ");
        m_ResistorCapSense.WriteSummary(file);
        part("\r\n  Resistor Bias 1:  ");
        m_ResistorBias1.WriteSummary(file);
        part("\r\n  Resistor Bias 2:  ");
        m_ResistorBias2.WriteSummary(file);
        part("\r\n  Capacitor Bias:  ");
        m_CapacitorBias.WriteSummaryShort(file);
    }
    if (damping) {
        part("\r\n  Capacitor Damp 1:  ");
        m_CapacitorDamp1.WriteSummary(file);
        part("\r\n  Resistor Damp 1:  ");
        m_ResistorDamp1.WriteSummary(file);
    }
    if (sensing) {
        part("\r\n  Voltage Source V Bias:  ");
        m_VoltageSourceVBias.WriteSummary(file, 0);
    }
    return TRUE;
}

void C1StgOutputFilter::CheckChosen(BOOL report) { CheckOutputChosen(report, 52099); }
