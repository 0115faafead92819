#include "circuit/Section.h"

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
