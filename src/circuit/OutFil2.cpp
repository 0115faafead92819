#include "circuit/OutFil2.h"

#include <vector>

#include "platform/core/Fields.h"
#include "records/Utils.h"

namespace {
fw::RegisterClass<C2StgOutputFilter> g_register("C2StgOutputFilter");
constexpr UINT kLabelBase = 51670;
constexpr int kCodeOutputNumberMismatch = 1053;

enum Part { kCapOut2, kIndOut2, kIndOut3, kCapDamp2, kResDamp2, kResDamp3 };
}  // namespace

C2StgOutputFilter::C2StgOutputFilter() { C2StgOutputFilter::InitDefaults(TRUE); }

void C2StgOutputFilter::InitDefaults(BOOL withBase) {
    COutputSection::InitDefaults(withBase);
    m_strTag = k2StgOutputFilterTag;
    std::apply([](auto&... r) { (r.InitDefaults(), ...); }, RecordsOf(*this));
}

void C2StgOutputFilter::SetDefaults() {
    InitDefaults(FALSE);
    m_CapacitorOut2.SetDefaults(0);
    m_CapacitorDamp2.SetDefaults(0);
    m_InductorOut2.SetDefaults(1);
    m_InductorOut3.SetDefaults(1);
    m_ResistorDamp2.SetDefaults(0);
    m_ResistorDamp3.SetDefaults(0);
}

void C2StgOutputFilter::Serialize(fw::Archive& ar) {
    SerializeOutputRecord(ar, {k2StgOutputFilterTag, kModuleOutFil2, 1050, kCodeOutputNumberMismatch}, RecordsOf(*this));
}

C2StgOutputFilter& C2StgOutputFilter::operator=(const C2StgOutputFilter& other) {
    if (this == &other) return *this;
    COutputSection::operator=(other);
    fw::CopyFields(RecordsOf(*this), RecordsOf(other));
    return *this;
}

BOOL C2StgOutputFilter::operator!=(const C2StgOutputFilter& other) const {
    if (fw::FieldsDiffer(RecordsOf(*this), RecordsOf(other))) return TRUE;
    return COutputSection::operator!=(other);
}

BOOL C2StgOutputFilter::WriteSummary(fw::File& file) {
    static const char* const kHeaders[] = {
        "\r\n\r\nSecond Stage Output Filter 1:  ", "\r\n\r\nSecond Stage Output Filter 2:  ",
        "\r\n\r\nSecond Stage Output Filter 3:  ", "\r\n\r\nSecond Stage Output Filter 4:  "};
    // Parts of variants 1 to 6, in summary order.
    static const std::vector<Part> kVariants[] = {
        {kCapOut2, kIndOut2},
        {kCapOut2, kIndOut2, kResDamp2},
        {kIndOut2, kCapOut2, kCapDamp2, kResDamp3},
        {kCapOut2, kIndOut2, kIndOut3, kResDamp2},
        {kCapDamp2, kCapOut2, kIndOut2, kResDamp2, kResDamp3},
        {kCapDamp2, kCapOut2, kIndOut2, kIndOut3, kResDamp2, kResDamp3},
    };
    auto part = [&file](const char* caption) { file.Write(std::string(caption)); };
    WriteOutputHeading(file, kHeaders, "\r\n\r\nSecond Stage Output Filter:  ", kLabelBase);

    const WORD topology = GetTopology();
    if (topology == kTopologyNotChosen) {
        part("\r\n  Not Selected");
        return TRUE;
    }
    if (topology == 0) {
        part("\r\n  None");
        return TRUE;
    }
    if (topology > 6) {
        ReportMessage1(kModuleOutFil2, 1052, FALSE);
        return TRUE;
    }
    for (Part p : kVariants[topology - 1]) {
        switch (p) {
        case kCapOut2:
            part("\r\n  Capacitor Out 2:  ");
            m_CapacitorOut2.WriteSummary(file);
            break;
        case kIndOut2:
            part("\r\n  Inductor Out 2:  ");
            m_InductorOut2.WriteSummary(file);
            break;
        case kIndOut3:
            part("\r\n  Inductor Out 3:  ");
            m_InductorOut3.WriteSummary(file);
            break;
        case kCapDamp2:
            part("\r\n  Capacitor Damp 2:  ");
            m_CapacitorDamp2.WriteSummary(file);
            break;
        case kResDamp2:
            part("\r\n  Resistor Damp 2:  ");
            m_ResistorDamp2.WriteSummary(file);
            break;
        case kResDamp3:
            part("\r\n  Resistor Damp 3:  ");
            m_ResistorDamp3.WriteSummary(file);
            break;
        }
    }
    return TRUE;
}

void C2StgOutputFilter::CheckChosen(BOOL report) { CheckOutputChosen(report, 52100); }
