#include "circuit/OutChk.h"

#include <cmath>

#include "circuit/DocServices.h"
#include "circuit/Require.h"
#include "platform/core/Fields.h"
#include "records/Record.h"
#include "records/Utils.h"

namespace {
fw::RegisterClass<COutputChoke> g_registerChoke("COutputChoke");
fw::RegisterClass<COutputChokeMutualInd> g_registerMutual("COutputChokeMutualInd");
constexpr UINT kLabelBase = 51650;
constexpr int kCodeOutputNumberMismatch = 905;
// Above this the coupling of two chokes cannot be built.
constexpr double kMaxCoupling = 0.998;
}  // namespace

// ---------------------------------------------------------------------------
// COutputChoke

COutputChoke::COutputChoke() { COutputChoke::InitDefaults(TRUE); }

void COutputChoke::InitDefaults(BOOL withBase) {
    COutputSection::InitDefaults(withBase);
    m_strTag = kOutputChokeTag;
    std::apply([](auto&... r) { (r.InitDefaults(), ...); }, RecordsOf(*this));
}

void COutputChoke::SetDefaults() {
    InitDefaults(FALSE);
    m_InductorOut1.SetDefaults(1);
    m_SenseResistor.SetDefaults(0);
    m_SenseAmplifier.SetDefaults(0);
    m_SkimInductor.SetDefaults(1);
}

void COutputChoke::Serialize(fw::Archive& ar) {
    SerializeOutputRecord(ar, {kOutputChokeTag, kModuleOutChk, 900, kCodeOutputNumberMismatch}, RecordsOf(*this));
}

BOOL COutputChoke::ReadOwnHeader(fw::Archive& ar, const OwnRecord& record) {
    m_strTag = ar.ReadString();
    if (m_strTag != record.tag) {
        WarnFileCorrupted();
        ReportMessage1(record.moduleId, record.headerCode, FALSE);
        InitDefaults(FALSE);
        return FALSE;
    }
    if (ar.ReadU16() != 0) {
        WarnFileVersion();
        InitDefaults(FALSE);
        return FALSE;
    }
    return TRUE;
}

COutputChoke& COutputChoke::operator=(const COutputChoke& other) {
    if (this == &other) return *this;
    COutputSection::operator=(other);
    fw::CopyFields(RecordsOf(*this), RecordsOf(other));
    return *this;
}

BOOL COutputChoke::operator!=(const COutputChoke& other) const {
    if (fw::FieldsDiffer(RecordsOf(*this), RecordsOf(other))) return TRUE;
    return COutputSection::operator!=(other);
}

BOOL COutputChoke::WriteSummary(fw::File& file) {
    static const char* const kHeaders[] = {"\r\n\r\nOutput Choke 1:  ", "\r\n\r\nOutput Choke 2:  ",
                                           "\r\n\r\nOutput Choke 3:  ", "\r\n\r\nOutput Choke 4:  "};
    auto part = [&file](const char* caption) { file.Write(std::string(caption)); };
    WriteOutputHeading(file, kHeaders, "\r\n\r\nOutput Choke:  ", kLabelBase);

    const WORD topology = GetTopology();
    if (topology == kTopologyNotChosen) {
        part("\r\n  Not Selected");
        return TRUE;
    }
    if (topology > 1) {
        ReportMessage1(kModuleOutChk, 901, FALSE);
        return TRUE;
    }
    if (topology == 1) {
        part("\r\n  Inductor Skim:  ");
        m_SkimInductor.WriteSummary(file);
    }
    part("\r\n  Inductor Out 1:  ");
    m_InductorOut1.WriteSummary(file);
    part("\r\n  Resistor Sense:  ");
    m_SenseResistor.WriteSummary(file);
    part("\r\n  Amplifier Sense:  ");
    m_SenseAmplifier.WriteSummary(file);
    return TRUE;
}

void COutputChoke::CheckChosen(BOOL report) { CheckOutputChosen(report, 52115); }

// ---------------------------------------------------------------------------
// COutputChokeMutualInd

void COutputChokeMutualInd::SetDefaults() {
    m_strTag = kOutputChokeMutualIndTag;
    m_bValid = 1;
    m_bCouplingEnabled = 0;
    m_nOutputCount = 0;
    m_dShorted.fill(0.0);
    m_dCoupling.fill(0.0);
    m_dOpen.fill(0.0);
}

void COutputChokeMutualInd::Serialize(fw::Archive& ar) {
    if (ar.IsStoring()) {
        WriteRecordHeader(ar, m_strTag, 0);
        fw::StoreFields(ar, FieldsOf(*this));
        return;
    }
    if (ReadRecordHeader(ar, m_strTag, kOutputChokeMutualIndTag, kModuleOutChk, 903, [this] { SetDefaults(); }) < 0)
        return;
    fw::LoadFields(ar, FieldsOf(*this));
}

COutputChokeMutualInd& COutputChokeMutualInd::operator=(const COutputChokeMutualInd& other) {
    m_strTag = other.m_strTag;
    fw::CopyFields(FieldsOf(*this), FieldsOf(other));
    return *this;
}

BOOL COutputChokeMutualInd::operator!=(const COutputChokeMutualInd& other) const {
    return (m_strTag != other.m_strTag || fw::FieldsDiffer(FieldsOf(*this), FieldsOf(other))) ? TRUE : FALSE;
}

BOOL COutputChokeMutualInd::CheckMutualInductance(BOOL show) {
    m_nOutputCount = COutputSection::CurrentRequirements().GetOutputCount();
    if (m_nOutputCount > 4) {
        m_nOutputCount = 4;
        ReportMessage1(kModuleOutChk, 902, FALSE);
    }
    CDocServices* doc = GetCurrentDoc();
    COutputChoke* chokes[4] = {nullptr, nullptr, nullptr, nullptr};
    if (doc) {
        chokes[0] = doc->GetOutputChoke1();
        chokes[1] = doc->GetOutputChoke2();
        chokes[2] = doc->GetOutputChoke3();
        chokes[3] = doc->GetOutputChoke4();
    }
    for (size_t j = 0; j < 4; ++j) m_dOpen[j] = chokes[j] ? chokes[j]->GetInductorOut1().m_dInductance : 0.0;

    // k_ij = sqrt(1 - S_ij / L_j); no real value is stored as 0 and reported
    // like a coupling that is too high, since neither can be built.
    auto compute = [this, show](Pair pair, int j, UINT message) {
        const double lj = m_dOpen[size_t(j - 1)];
        const double radicand = (std::isfinite(lj) && lj > 0.0) ? 1.0 - m_dShorted[pair] / lj : -1.0;
        if (!(radicand >= 0.0) || !std::isfinite(radicand)) {
            m_dCoupling[pair] = 0.0;
            ReportMessage(message, show);
            return;
        }
        m_dCoupling[pair] = std::pow(radicand, 0.5);
        if (m_dCoupling[pair] > kMaxCoupling) ReportMessage(message, show);
    };
    if (m_nOutputCount >= 4) {
        compute(k14, 4, 52002);
        compute(k24, 4, 52005);
        compute(k34, 4, 52007);
    }
    if (m_nOutputCount >= 3) {
        compute(k13, 3, 52001);
        compute(k23, 3, 52004);
    }
    if (m_nOutputCount >= 2) compute(k12, 2, 52000);
    return TRUE;
}

void COutputChokeMutualInd::CheckChosen(BOOL report) {
    m_bValid = 1;
    if (m_bCouplingEnabled) CheckMutualInductance(report);
}

BOOL COutputChokeMutualInd::WriteSummary(fw::File& file) {
    file.Write(std::string("\r\n\r\nOutput Filter Mutual Inductance:"));
    if (!m_bCouplingEnabled) {
        file.Write(std::string("\r\n  Disabled"));
        return TRUE;
    }
    CheckMutualInductance(FALSE);
    auto henry = [&file](const char* caption, double value) { WriteValueLine(file, caption, value, "henry"); };
    auto coefficient = [&file](const char* caption, double value) { WriteValueLine(file, caption, value); };
    const int32_t n = m_nOutputCount;
    if (n < 1 || n > 4) return TRUE;
    if (n >= 4) {
        henry("\r\n    Output 4 Open Circuit Inductance: ", m_dOpen[3]);
        henry("\r\n    Output 4 Winding Inductance with Output 1 Winding Shorted: ", m_dShorted[k14]);
        coefficient("\r\n    Output 4 Winding Coupling Coefficient to Winding 1: ", m_dCoupling[k14]);
        henry("\r\n    Output 4 Winding Inductance with Output 2 Winding Shorted: ", m_dShorted[k24]);
        coefficient("\r\n    Output 4 Winding Coupling Coefficient to Winding 2: ", m_dCoupling[k24]);
        henry("\r\n    Output 4 Winding Inductance with Output 3 Winding Shorted: ", m_dShorted[k34]);
        coefficient("\r\n    Output 4 Winding Coupling Coefficient to Winding 3: ", m_dCoupling[k34]);
    }
    if (n >= 3) {
        henry("\r\n    Output 3 Open Circuit Inductance: ", m_dOpen[2]);
        henry("\r\n    Output 3 Winding Inductance with Output 1 Winding Shorted: ", m_dShorted[k13]);
        coefficient("\r\n    Output 3 Winding Coupling Coefficient to Winding 1: ", m_dCoupling[k13]);
        henry("\r\n    Output 3 Winding Inductance with Output 2 Winding Shorted: ", m_dShorted[k23]);
        coefficient("\r\n    Output 3 Winding Coupling Coefficient to Winding 2: ", m_dCoupling[k23]);
    }
    if (n >= 2) {
        henry("\r\n    Output 2 Open Circuit Inductance: ", m_dOpen[1]);
        henry("\r\n    Output 2 Winding Inductance with Output 1 Winding Shorted: ", m_dShorted[k12]);
        coefficient("\r\n    Output 2 Winding Coupling Coefficient to Winding 1: ", m_dCoupling[k12]);
    }
    henry("\r\n    Output 1 Open Circuit Inductance: ", m_dOpen[0]);
    return TRUE;
}
