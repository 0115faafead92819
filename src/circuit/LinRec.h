// The section that rectifies the line source: the chosen rectifier circuit
// and the data of its diodes (one record shared by every diode).
#pragma once

#include "circuit/Section.h"
#include "records/DbParts.h"

constexpr UINT kModuleLinRec = 56050;
constexpr const char* kLineRectifierTag = "<LINE_RECTIFIER_DATA>";

class CLineRectifier : public CSection {
public:
    enum {
        RECT_NONE = 0,
        RECT_HALF_WAVE = 1,
        RECT_FULL_WAVE_BRIDGE = 2,
        RECT_HALF_WAVE_DOUBLER = 3,
        RECT_FULL_WAVE_SINGLE_CAP = 4,
        RECT_MULTI_PHASE_DOUBLER = 5
    };
    static constexpr UINT kFirstLabel = 51570;

    CLineRectifier() { CLineRectifier::InitDefaults(TRUE); }
    CLineRectifier(const CLineRectifier&) = default;
    static const char* StaticClassName() { return "CLineRectifier"; }
    const char* GetClassName() const override { return StaticClassName(); }

    void InitDefaults(BOOL withBase) override;
    void SetDefaults() override;
    BOOL WriteSummary(fw::File& file) override;
    // A rectifier that does not suit the line source is reset to 999, and the
    // design marked modified, only when that changes the topology.
    void CheckChosen(BOOL report) override;
    void Serialize(fw::Archive& ar) override;

    CLineRectifier& operator=(const CLineRectifier& other);
    BOOL operator!=(const CLineRectifier& other) const;

    CDiode& GetDiode() { return m_Diode; }
    const CDiode& GetDiode() const { return m_Diode; }

    // TRUE when the rectifier topology may be used with the line source type.
    static BOOL SuitsLineSource(WORD topology, WORD lineSourceType);

private:
    CDiode m_Diode;
};
