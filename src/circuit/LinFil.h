// The section at the converter's input: the line source (its kind, line
// voltage, line inductance and line resistance) and the filter between the
// line and the rectifier, one of nine variants or none.
#pragma once

#include <string>
#include <tuple>

#include "circuit/LinVlt.h"
#include "circuit/Section.h"
#include "records/DbParts.h"

constexpr UINT kModuleLinFil = 56048;
constexpr const char* kLineFilterTag = "<LINE_FILTER_DATA>";

class CLineFilter : public CSection {
public:
    enum { SOURCE_DC = 0, SOURCE_1_PHASE_AC = 1, SOURCE_2_PHASE_AC = 2, SOURCE_3_PHASE_AC = 3 };
    enum { FILTER_NONE = 9 };
    static constexpr UINT kFirstLabel = 51550;

    CLineFilter() { CLineFilter::InitDefaults(TRUE); }
    CLineFilter(const CLineFilter&) = default;
    static const char* StaticClassName() { return "CLineFilter"; }
    const char* GetClassName() const override { return StaticClassName(); }

    void InitDefaults(BOOL withBase) override;
    // Presets of the filter parts only; the line source and the variant stay.
    void SetDefaults() override;
    BOOL WriteSummary(fw::File& file) override;
    void CheckChosen(BOOL report) override;
    // A line source type outside the four kinds and 999, or a variant
    // outside 0-9 and 999, read from a file, is damage (52080, code 603) and
    // reads as 999.
    void Serialize(fw::Archive& ar) override;

    CLineFilter& operator=(const CLineFilter& other);
    BOOL operator!=(const CLineFilter& other) const;

    WORD GetLineSourceType() const { return m_wLineSourceType; }
    void SetLineSourceType(WORD type) { m_wLineSourceType = type; }
    CLineVoltage& GetLineVoltage() { return m_LineVoltage; }
    CInductor& GetLineInductance() { return m_LineInductance; }
    CResistor& GetLineResistance() { return m_LineResistance; }
    CCapacitor& GetCapacitorIn() { return m_CapacitorIn; }
    CCapacitor& GetCapacitorDamp() { return m_CapacitorDamp; }
    CInductor& GetInductorIn1() { return m_InductorIn1; }
    CInductor& GetInductorIn2() { return m_InductorIn2; }
    CInductor& GetInductorDamp() { return m_InductorDamp; }
    CResistor& GetResistorDamp1() { return m_ResistorDamp1; }
    CResistor& GetResistorDamp2() { return m_ResistorDamp2; }

private:
    WORD m_wLineSourceType = kTopologyNotChosen;
    CInductor m_LineInductance;
    CResistor m_LineResistance;
    CLineVoltage m_LineVoltage;
    CCapacitor m_CapacitorIn;
    CCapacitor m_CapacitorDamp;
    CInductor m_InductorIn1;
    CInductor m_InductorIn2;    // "Inductor In" of the one-stage variants
    CInductor m_InductorDamp;
    CResistor m_ResistorDamp1;  // "Resistor Damp" of variant 4
    CResistor m_ResistorDamp2;  // "Resistor Damp" of variants 1, 2, 5 and 6

    // Archive, copy and comparison order of the member records.
    template <class Self>
    static auto RecordsOf(Self& s) {
        return std::tie(s.m_LineInductance, s.m_LineResistance, s.m_LineVoltage, s.m_CapacitorIn, s.m_CapacitorDamp,
                        s.m_InductorIn1, s.m_InductorIn2, s.m_InductorDamp, s.m_ResistorDamp1, s.m_ResistorDamp2);
    }
};
