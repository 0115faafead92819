// The second-stage output filter of one output: an optional LC post-filter
// with optional damping.
#pragma once

#include <tuple>

#include "circuit/Section.h"
#include "records/DbParts.h"

constexpr UINT kModuleOutFil2 = 56063;
constexpr const char* k2StgOutputFilterTag = "<2_STG_OUTPUT_FILTER_DATA>";

class C2StgOutputFilter : public COutputSection {
public:
    C2StgOutputFilter();
    C2StgOutputFilter(const C2StgOutputFilter&) = default;
    static const char* StaticClassName() { return "C2StgOutputFilter"; }
    const char* GetClassName() const override { return StaticClassName(); }

    void InitDefaults(BOOL withBase) override;
    void SetDefaults() override;
    BOOL WriteSummary(fw::File& file) override;
    void CheckChosen(BOOL report) override;
    void Serialize(fw::Archive& ar) override;

    C2StgOutputFilter& operator=(const C2StgOutputFilter& other);
    BOOL operator!=(const C2StgOutputFilter& other) const;

    CCapacitor& GetCapacitorOut2() { return m_CapacitorOut2; }
    CInductor& GetInductorOut2() { return m_InductorOut2; }
    CResistor& GetResistorDamp2() { return m_ResistorDamp2; }
    CCapacitor& GetCapacitorDamp2() { return m_CapacitorDamp2; }
    CResistor& GetResistorDamp3() { return m_ResistorDamp3; }
    CInductor& GetInductorOut3() { return m_InductorOut3; }

private:
    // Archive, copy and comparison order after the output number.
    template <class Self>
    static auto RecordsOf(Self& s) {
        return std::tie(s.m_CapacitorDamp2, s.m_CapacitorOut2, s.m_InductorOut2, s.m_InductorOut3,
                        s.m_ResistorDamp2, s.m_ResistorDamp3);
    }

    CCapacitor m_CapacitorDamp2;
    CCapacitor m_CapacitorOut2;
    CInductor m_InductorOut2;
    CInductor m_InductorOut3;
    CResistor m_ResistorDamp2;
    CResistor m_ResistorDamp3;
};
