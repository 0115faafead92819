// The common base of the circuit sections: the chosen variant (topology), the
// valid and defaults-pending flags and the two tags. Its base record is the
// first part of every section's archive; the derived class's own record
// follows it.
#pragma once

#include <cstdint>
#include <string>

#include "platform/core/Archive.h"
#include "platform/core/File.h"
#include "platform/core/Types.h"
#include "records/KXObject.h"

constexpr UINT kModuleSection = 56076;
constexpr WORD kTopologyNotChosen = 999;
constexpr const char* kBaseSectionTag = "<BASE_SECTION_DATA>";
constexpr const char* kNotInitializedTag = "<NOT-INITIALIZED>";

// The signature inherited from CPwrQuorraObject is neither archived nor compared.
class CSection : public CPwrQuorraObject {
public:
    CSection() { CSection::InitSectionBase(); }
    CSection(const CSection&) = default;
    static const char* StaticClassName() { return "CSection"; }
    const char* GetClassName() const override { return StaticClassName(); }

    // Virtual operations every section class implements, in this order.
    // InitSectionBase is the fallback of a bad base record.
    virtual void InitSectionBase();
    // Writes string baseId + topology (nothing when there is no such string).
    virtual BOOL WriteLabel(fw::File& file, UINT baseId) const;
    virtual void InitDefaults(BOOL withBase);
    // The section's presets; takes no argument.
    void SetDefaults() override;
    virtual BOOL WriteSummary(fw::File& file);
    virtual void CheckChosen(BOOL report);

    // The base record only; a derived class calls it first and then archives
    // its own record.
    void Serialize(fw::Archive& ar) override;

    // Copies topology and both flags, neither tag.
    CSection& operator=(const CSection& other);
    // Topology, valid flag, defaults-pending flag or class tag.
    BOOL operator!=(const CSection& other) const;

    WORD GetTopology() const { return m_wTopology; }
    void SetTopology(WORD topology) { m_wTopology = topology; }
    BOOL IsValid() const { return m_bValid; }
    BOOL NeedsDefaults() const { return m_bNeedsDefaults; }
    void ClearNeedsDefaults() { m_bNeedsDefaults = 0; }
    const std::string& GetClassTag() const { return m_strTag; }
    const std::string& GetBaseTag() const { return m_strBaseTag; }

protected:
    std::string m_strTag;          // the derived class's own tag
    BOOL m_bValid = 0;             // 1 when completely chosen (CheckChosen)
    BOOL m_bNeedsDefaults = 1;     // 1 until a schematic dialog applied the presets
    WORD m_wTopology = kTopologyNotChosen;
    std::string m_strBaseTag;
};
