// The output rectifier of one output: two rectifiers on the power
// transformer's secondary winding, each a diode or, for synchronous
// rectification, a transistor with its diode.
#pragma once

#include <tuple>

#include "circuit/Section.h"
#include "records/DbParts.h"

constexpr UINT kModuleSecSec = 56075;
constexpr const char* kSecondarySectionTag = "<SECONDARY_SECTION_DATA>";

class CSecondarySection : public COutputSection {
public:
    // Rectifier kinds.
    enum { SYNCHRONOUS = 0, NON_SYNCHRONOUS = 1 };

    CSecondarySection();
    CSecondarySection(const CSecondarySection&) = default;
    static const char* StaticClassName() { return "CSecondarySection"; }
    const char* GetClassName() const override { return StaticClassName(); }

    void InitDefaults(BOOL withBase) override;
    void SetDefaults() override;
    BOOL WriteSummary(fw::File& file) override;
    // May reset the topology to 999 (and mark the design modified) when the
    // primary section's variant allows no secondary of this kind.
    void CheckChosen(BOOL report) override;
    void Serialize(fw::Archive& ar) override;

    CSecondarySection& operator=(const CSecondarySection& other);
    BOOL operator!=(const CSecondarySection& other) const;

    BOOL IsSynchronous() const { return m_bSynchronous; }
    void SetSynchronous(BOOL synchronous) { m_bSynchronous = synchronous; }
    int32_t GetRectifier1Kind() const { return m_nRectifier1Kind; }
    int32_t GetRectifier2Kind() const { return m_nRectifier2Kind; }
    void SetRectifier1Kind(int32_t kind) { m_nRectifier1Kind = kind; }
    void SetRectifier2Kind(int32_t kind) { m_nRectifier2Kind = kind; }

    CDiode& GetDiodeRectifier1() { return m_DiodeRectifier1; }
    CDiode& GetDiodeRectifier2() { return m_DiodeRectifier2; }
    CTransistorFE& GetTransistorRectifier1() { return m_TransistorRectifier1; }
    CTransistorFE& GetTransistorRectifier2() { return m_TransistorRectifier2; }

private:
    // Archive, copy and comparison order after the output number.
    template <class Self>
    static auto FieldsOf(Self& s) {
        return std::tie(s.m_bSynchronous, s.m_nRectifier1Kind, s.m_nRectifier2Kind, s.m_DiodeRectifier1,
                        s.m_DiodeRectifier2, s.m_TransistorRectifier1, s.m_TransistorRectifier2);
    }

    BOOL m_bSynchronous = 0;          // 1 when both rectifiers are transistors
    int32_t m_nRectifier1Kind = NON_SYNCHRONOUS;
    int32_t m_nRectifier2Kind = NON_SYNCHRONOUS;
    CDiode m_DiodeRectifier1;
    CDiode m_DiodeRectifier2;
    CTransistorFE m_TransistorRectifier1;
    CTransistorFE m_TransistorRectifier2;
};
