// The common base of the circuit sections: the chosen variant (topology), the
// valid and defaults-pending flags and the two tags. Its base record is the
// first part of every section's archive; the derived class's own record
// follows it.
#pragma once

#include <cstdint>
#include <string>

#include "platform/core/Archive.h"
#include "platform/core/Fields.h"
#include "platform/core/File.h"
#include "platform/core/Types.h"
#include "records/KXObject.h"
#include "records/Record.h"

class CRequirements;

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
    // How many variants the section's Select One list offers (0 for a class without a list).
    int VariantCount() const;
    // A variant of that list (not "not chosen", nothing past its end).
    bool HasListedVariant() const { return m_wTopology < VariantCount(); }
    // After a load: a variant past the list (that the class's own record did not catch) is
    // damage, and the section is left not chosen, so the check asks for it and nothing runs
    // it as another variant.
    void MendUnlistedVariant();
    void SetTopology(WORD topology) { m_wTopology = topology; }
    BOOL IsValid() const { return m_bValid; }
    BOOL NeedsDefaults() const { return m_bNeedsDefaults; }
    void ClearNeedsDefaults() { m_bNeedsDefaults = 0; }
    const std::string& GetClassTag() const { return m_strTag; }
    const std::string& GetBaseTag() const { return m_strBaseTag; }

protected:
    // The base record, then the class's own record: tag, schema 0 and the
    // given fields. A damaged own header runs InitDefaults(FALSE), so the
    // topology the base record read stays, and no own field is read.
    template <class Fields>
    void SerializeSectionRecord(fw::Archive& ar, const char* tag, UINT moduleId, int headerCode,
                                const Fields& fields) {
        CSection::Serialize(ar);
        if (ar.IsStoring()) {
            WriteRecordHeader(ar, m_strTag, 0);
            fw::StoreFields(ar, fields);
            return;
        }
        if (ReadRecordHeader(ar, m_strTag, tag, moduleId, headerCode, [this] { InitDefaults(FALSE); }) < 0) return;
        fw::LoadFields(ar, fields);
    }

    std::string m_strTag;          // the derived class's own tag
    BOOL m_bValid = 0;             // 1 when completely chosen (CheckChosen)
    BOOL m_bNeedsDefaults = 1;     // 1 until a schematic dialog applied the presets
    WORD m_wTopology = kTopologyNotChosen;
    std::string m_strBaseTag;
};

// A section that exists once per output (rectifier, choke, filters, load).
// Its own record starts with the output number, which is the member's
// position in the document: the owner sets it, and a file that stores
// another number is damaged and is not taken.
class COutputSection : public CSection {
public:
    COutputSection() = default;
    COutputSection(const COutputSection&) = default;

    // With the base, also output 1.
    void InitDefaults(BOOL withBase) override;

    // Base fields and output number; the derived class adds its own.
    COutputSection& operator=(const COutputSection& other);
    BOOL operator!=(const COutputSection& other) const;

    WORD GetOutputNumber() const { return m_wOutputNumber; }
    void SetOutputNumber(WORD number) { m_wOutputNumber = number; }

    // The current document's requirements; without a document, those of a
    // new design.
    static const CRequirements& CurrentRequirements();

protected:
    // The derived class's own record.
    struct OwnRecord {
        const char* tag;
        UINT moduleId;
        int headerCode;    // wrong tag; headerCode + 1 wrong schema
        int mismatchCode;  // a stored output number that is not this one
    };

    // Base record, own header, output number, then the given fields.
    template <class Fields>
    void SerializeOutputRecord(fw::Archive& ar, const OwnRecord& record, const Fields& fields) {
        if (!SerializeOutputHeader(ar, record)) return;
        if (ar.IsStoring())
            fw::StoreFields(ar, fields);
        else
            fw::LoadFields(ar, fields);
    }
    // FALSE on load when the own header was damaged: InitDefaults(FALSE)
    // has run and the own fields do not follow.
    BOOL SerializeOutputHeader(fw::Archive& ar, const OwnRecord& record);
    // Tag and schema of the own record; FALSE after the failure path ran.
    virtual BOOL ReadOwnHeader(fw::Archive& ar, const OwnRecord& record);

    BOOL IsOutputEnabled() const;
    // Valid when the output is disabled or a variant is chosen; otherwise
    // notChosenMessage names the output (1 to 4) when reporting.
    void CheckOutputChosen(BOOL report, UINT notChosenMessage);
    // headings[n] for output numbers 0 to 3, otherNumber for any other,
    // then the variant's label.
    void WriteOutputHeading(fw::File& file, const char* const (&headings)[4], const char* otherNumber,
                            UINT labelBase) const;

    WORD m_wOutputNumber = 0;  // 0 to 3 for outputs 1 to 4
};
