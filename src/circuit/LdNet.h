// The load of one output: a resistor, a resistor with an inductor, a current
// source, or a complex load of two branches and a source. The simple
// variants use the second resistor and inductor, so their values survive a
// switch to the complex load.
#pragma once

#include <tuple>

#include "circuit/Section.h"
#include "records/DbParts.h"
#include "records/PartsSrc.h"

constexpr UINT kModuleLdNet = 56046;
constexpr const char* kLoadNetworkTag = "<LOAD_NETWORK_DATA>";

class CLoadNetwork : public COutputSection {
public:
    CLoadNetwork();
    CLoadNetwork(const CLoadNetwork&) = default;
    static const char* StaticClassName() { return "CLoadNetwork"; }
    const char* GetClassName() const override { return StaticClassName(); }

    void InitDefaults(BOOL withBase) override;
    void SetDefaults() override;
    BOOL WriteSummary(fw::File& file) override;
    void CheckChosen(BOOL report) override;
    void Serialize(fw::Archive& ar) override;

    CLoadNetwork& operator=(const CLoadNetwork& other);
    BOOL operator!=(const CLoadNetwork& other) const;

    CCrntVoltSource& GetCurrentSourceILoad() { return m_CurrentSourceILoad; }
    CInductor& GetInductorLoad1() { return m_InductorLoad1; }
    CInductor& GetInductorLoad2() { return m_InductorLoad2; }
    CResistor& GetResistorLoad1() { return m_ResistorLoad1; }
    CResistor& GetResistorLoad2() { return m_ResistorLoad2; }

private:
    // Archive, copy and comparison order after the output number.
    template <class Self>
    static auto RecordsOf(Self& s) {
        return std::tie(s.m_CurrentSourceILoad, s.m_InductorLoad1, s.m_InductorLoad2, s.m_ResistorLoad1,
                        s.m_ResistorLoad2);
    }

    CCrntVoltSource m_CurrentSourceILoad;
    CInductor m_InductorLoad1;
    CInductor m_InductorLoad2;
    CResistor m_ResistorLoad1;
    CResistor m_ResistorLoad2;
};
