// The bulk capacitor behind the line rectifier, with an optional damping
// branch, in a single or a doubler arrangement.
#pragma once

#include <tuple>

#include "circuit/Section.h"
#include "records/DbParts.h"

constexpr UINT kModuleInCap = 56044;
constexpr const char* kInputCapacitorTag = "<INPUT_CAPACITOR_DATA>";

class CInputCapacitor : public CSection {
public:
    enum { CAP_SINGLE = 0, CAP_SINGLE_DAMPED = 1, CAP_DOUBLER = 2, CAP_DOUBLER_DAMPED = 3 };
    static constexpr UINT kFirstLabel = 51580;

    CInputCapacitor() { CInputCapacitor::InitDefaults(TRUE); }
    CInputCapacitor(const CInputCapacitor&) = default;
    static const char* StaticClassName() { return "CInputCapacitor"; }
    const char* GetClassName() const override { return StaticClassName(); }

    void InitDefaults(BOOL withBase) override;
    void SetDefaults() override;
    BOOL WriteSummary(fw::File& file) override;
    // A variant that does not suit the line rectifier is reset to 999, and
    // the design marked modified, only when that changes the topology.
    void CheckChosen(BOOL report) override;
    void Serialize(fw::Archive& ar) override;

    CInputCapacitor& operator=(const CInputCapacitor& other);
    BOOL operator!=(const CInputCapacitor& other) const;

    CCapacitor& GetCapacitorIn() { return m_CapacitorIn; }
    CCapacitor& GetCapacitorDamp() { return m_CapacitorDamp; }
    CResistor& GetResistorDamp() { return m_ResistorDamp; }

    // TRUE when the input capacitor topology may be used with the rectifier topology.
    static BOOL SuitsRectifier(WORD topology, WORD rectifierTopology);

private:
    CCapacitor m_CapacitorIn;    // "In1 and In2" in the doubler variants
    CCapacitor m_CapacitorDamp;  // "Damp1 and Damp2" in the doubler variants
    CResistor m_ResistorDamp;    // "Damp1 and Damp2" in the doubler variants

    // Archive, copy and comparison order.
    template <class Self>
    static auto RecordsOf(Self& s) {
        return std::tie(s.m_CapacitorIn, s.m_CapacitorDamp, s.m_ResistorDamp);
    }
};
