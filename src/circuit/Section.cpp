#include "circuit/Section.h"

#include "circuit/DocServices.h"
#include "circuit/LoadCheck.h"
#include "circuit/Require.h"
#include "records/Record.h"
#include "records/Utils.h"
#include "resources/StringTable.h"

namespace {
fw::RegisterClass<CSection> g_register("CSection");
}  // namespace

void CSection::InitSectionBase() {
    m_strSignature = kPwrQuorraSignature;
    m_strTag = kNotInitializedTag;
    m_bValid = 0;
    m_bNeedsDefaults = 1;
    m_wTopology = kTopologyNotChosen;
    m_strBaseTag = kBaseSectionTag;
}

BOOL CSection::WriteLabel(fw::File& file, UINT baseId) const {
    if (const char* label = res::FindString(baseId + m_wTopology)) file.Write(std::string(label));
    return TRUE;
}

void CSection::InitDefaults(BOOL withBase) {
    if (withBase) InitSectionBase();
}

void CSection::SetDefaults() { InitDefaults(FALSE); }

BOOL CSection::WriteSummary(fw::File&) { return TRUE; }

int CSection::VariantCount() const {
    // The lengths of the Select One lists, by section class.
    static const struct {
        const char* className;
        int count;
    } kLists[] = {
        {"CLineFilter", 10},     {"CLineRectifier", 6},     {"CInputCapacitor", 4},  {"CPrimarySection", 10},
        {"CSecondarySection", 1}, {"COutputChoke", 2},      {"C1StgOutputFilter", 4}, {"C2StgOutputFilter", 7},
        {"CLoadNetwork", 4},     {"CVoltageErrorAmp", 8},   {"COptoIsolator", 7},    {"CControlSection", 5},
    };
    const std::string name = GetClassName();
    for (const auto& l : kLists)
        if (name == l.className) return l.count;
    return 0;
}

void CSection::MendUnlistedVariant() {
    if (m_wTopology == kTopologyNotChosen || HasListedVariant()) return;
    ReportDamagedValue(kModuleSection, 4702);
    m_wTopology = kTopologyNotChosen;
    m_bValid = 0;
}

void CSection::CheckChosen(BOOL) { m_bValid = m_wTopology != kTopologyNotChosen ? 1 : 0; }

void CSection::Serialize(fw::Archive& ar) {
    if (ar.IsStoring()) {
        WriteRecordHeader(ar, m_strBaseTag, 0);
        ar.WriteU16(m_wTopology);
        ar.WriteI32(m_bValid);
        ar.WriteI32(m_bNeedsDefaults);
        return;
    }
    if (ReadRecordHeader(ar, m_strBaseTag, kBaseSectionTag, kModuleSection, 4700, [this] { InitSectionBase(); }) < 0)
        return;
    m_wTopology = ar.ReadU16();
    m_bValid = ar.ReadI32();
    m_bNeedsDefaults = ar.ReadI32();

}

CSection& CSection::operator=(const CSection& other) {
    m_wTopology = other.m_wTopology;
    m_bValid = other.m_bValid;
    m_bNeedsDefaults = other.m_bNeedsDefaults;
    return *this;
}

BOOL CSection::operator!=(const CSection& other) const {
    return (m_wTopology != other.m_wTopology || m_bValid != other.m_bValid ||
            m_bNeedsDefaults != other.m_bNeedsDefaults || m_strTag != other.m_strTag)
               ? TRUE
               : FALSE;
}

// ---------------------------------------------------------------------------
// COutputSection

void COutputSection::InitDefaults(BOOL withBase) {
    CSection::InitDefaults(withBase);
    if (withBase) m_wOutputNumber = 0;
}

COutputSection& COutputSection::operator=(const COutputSection& other) {
    CSection::operator=(other);
    m_wOutputNumber = other.m_wOutputNumber;
    return *this;
}

BOOL COutputSection::operator!=(const COutputSection& other) const {
    return (m_wOutputNumber != other.m_wOutputNumber || CSection::operator!=(other)) ? TRUE : FALSE;
}

const CRequirements& COutputSection::CurrentRequirements() {
    CDocServices* doc = GetCurrentDoc();
    const CRequirements* req = doc ? doc->GetRequirements() : nullptr;
    static const CRequirements kDefaults;
    return req ? *req : kDefaults;
}

BOOL COutputSection::SerializeOutputHeader(fw::Archive& ar, const OwnRecord& record) {
    CSection::Serialize(ar);
    if (ar.IsStoring()) {
        WriteRecordHeader(ar, m_strTag, 0);
        ar.WriteU16(m_wOutputNumber);
        return TRUE;
    }
    if (!ReadOwnHeader(ar, record)) return FALSE;
    if (ar.ReadU16() != m_wOutputNumber) ReportDamagedValue(record.moduleId, record.mismatchCode);
    return TRUE;
}

BOOL COutputSection::ReadOwnHeader(fw::Archive& ar, const OwnRecord& record) {
    return ReadRecordHeader(ar, m_strTag, record.tag, record.moduleId, record.headerCode,
                            [this] { InitDefaults(FALSE); }) >= 0
               ? TRUE
               : FALSE;
}

BOOL COutputSection::IsOutputEnabled() const { return CurrentRequirements().IsOutputEnabled(m_wOutputNumber); }

void COutputSection::CheckOutputChosen(BOOL report, UINT notChosenMessage) {
    m_bValid = 1;
    if (!IsOutputEnabled()) return;
    if (GetTopology() == kTopologyNotChosen) {
        m_bValid = 0;
        if (report) ReportMessage1(notChosenMessage, m_wOutputNumber + 1, TRUE);
    }
}

void COutputSection::WriteOutputHeading(fw::File& file, const char* const (&headings)[4], const char* otherNumber,
                                        UINT labelBase) const {
    file.Write(std::string(m_wOutputNumber < 4 ? headings[m_wOutputNumber] : otherNumber));
    WriteLabel(file, labelBase);
}
