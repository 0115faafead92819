// The first-stage output filter of one output: the output capacitor,
// optionally damped and optionally with capacitor current sensing.
#pragma once

#include <tuple>

#include "circuit/Section.h"
#include "records/DbParts.h"
#include "records/Parts.h"
#include "records/PartsSrc.h"

constexpr UINT kModuleOutFil1 = 56062;
constexpr const char* k1StgOutputFilterTag = "<1_STG_OUTPUT_FILTER_DATA>";

class C1StgOutputFilter : public COutputSection {
public:
    C1StgOutputFilter();
    C1StgOutputFilter(const C1StgOutputFilter&) = default;
    static const char* StaticClassName() { return "C1StgOutputFilter"; }
    const char* GetClassName() const override { return StaticClassName(); }

    void InitDefaults(BOOL withBase) override;
    void SetDefaults() override;
    BOOL WriteSummary(fw::File& file) override;
    void CheckChosen(BOOL report) override;
    void Serialize(fw::Archive& ar) override;

    C1StgOutputFilter& operator=(const C1StgOutputFilter& other);
    BOOL operator!=(const C1StgOutputFilter& other) const;

    // TRUE for the two variants with capacitor current sensing.
    BOOL HasCurrentSensing() const { return (GetTopology() == 2 || GetTopology() == 3) ? TRUE : FALSE; }

    CCapacitor& GetCapacitorOut1() { return m_CapacitorOut1; }
    CCapacitor& GetCapacitorDamp1() { return m_CapacitorDamp1; }
    CResistor& GetResistorDamp1() { return m_ResistorDamp1; }
    CCapacitor& GetCapacitorBias() { return m_CapacitorBias; }
    CDiode& GetCurrentSenseDiode() { return m_CurrentSenseDiode; }
    CResistor& GetResistorBias1() { return m_ResistorBias1; }
    CResistor& GetResistorBias2() { return m_ResistorBias2; }
    CResistor& GetResistorCapSense() { return m_ResistorCapSense; }
    CTransformer& GetCurrentSenseTransformer() { return m_CurrentSenseTransformer; }
    CCrntVoltSource& GetVoltageSourceVBias() { return m_VoltageSourceVBias; }

private:
    // Archive, copy and comparison order after the output number.
    template <class Self>
    static auto RecordsOf(Self& s) {
        return std::tie(s.m_CapacitorBias, s.m_CapacitorDamp1, s.m_CapacitorOut1, s.m_CurrentSenseDiode,
                        s.m_ResistorBias1, s.m_ResistorBias2, s.m_ResistorCapSense, s.m_ResistorDamp1,
                        s.m_CurrentSenseTransformer, s.m_VoltageSourceVBias);
    }

    CCapacitor m_CapacitorBias;
    CCapacitor m_CapacitorDamp1;
    CCapacitor m_CapacitorOut1;
    CDiode m_CurrentSenseDiode;
    CResistor m_ResistorBias1;
    CResistor m_ResistorBias2;
    CResistor m_ResistorCapSense;
    CResistor m_ResistorDamp1;
    CTransformer m_CurrentSenseTransformer;
    CCrntVoltSource m_VoltageSourceVBias;
};
