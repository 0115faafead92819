// The power stage on the primary side: the power transformer, the primary
// switch or switches, the reset or clamp network and the current sense, in
// one of ten variants. Its check tests the winding connections, the switch
// timing of the active clamp and whether each output's target voltage can be
// reached from the rectified line voltage through the transformer.
#pragma once

#include <array>
#include <tuple>

#include "circuit/Section.h"
#include "records/DbParts.h"
#include "records/Parts.h"

class CRequirements;

constexpr UINT kModulePriSec = 56069;
constexpr const char* kPrimarySectionTag = "<PRIMARY_SECTION_DATA>";

class CPrimarySection : public CSection {
public:
    enum {
        TWO_SWITCH_XFMR = 0,
        TWO_SWITCH_RESISTOR = 1,
        SINGLE_SWITCH_XFMR = 2,
        SINGLE_SWITCH_RESISTOR = 3,
        RESONANT_RESET_XFMR = 4,
        RESONANT_RESET_RESISTOR = 5,
        ACTIVE_CLAMP_XFMR = 6,
        ACTIVE_CLAMP_RESISTOR = 7,
        PASSIVE_CLAMP_XFMR = 8,
        PASSIVE_CLAMP_RESISTOR = 9
    };

    CPrimarySection();
    CPrimarySection(const CPrimarySection&) = default;
    static const char* StaticClassName() { return "CPrimarySection"; }
    const char* GetClassName() const override { return StaticClassName(); }

    void InitDefaults(BOOL withBase) override;
    void SetDefaults() override;
    // The transformer's summary prints only the windings of the outputs
    // that the requirements enable.
    BOOL WriteSummary(fw::File& file, const CRequirements& requirements);
    void CheckChosen(const CRequirements& requirements, BOOL report);
    // The section slots, with the current document's requirements.
    BOOL WriteSummary(fw::File& file) override;
    void CheckChosen(BOOL report) override;
    void Serialize(fw::Archive& ar) override;

    CPrimarySection& operator=(const CPrimarySection& other);
    BOOL operator!=(const CPrimarySection& other) const;

    // TRUE when s * targetVoltage lies strictly below the highest voltage
    // that the variant's transformer ratio gives from inputVoltage (volts,
    // after the rectifier) on effectiveTurns secondary turns. A ratio whose
    // primary-side turns are not positive reaches nothing.
    BOOL IsOutputVoltageRealizable(double targetVoltage, double effectiveTurns, int polarity,
                                   double inputVoltage) const;
    // How the secondary windings sit on the transformer, from the winding-end codes and the
    // enabled outputs: which neighbouring windings are joined (1-2, 2-3, 3-4), each output's
    // polarity s(k) (+1 or -1, also above the output count), the stacking direction of each
    // joined pair (up: the upper output's rectifier also sees the lower winding; down: the
    // reverse) and each output's effective turns (0 above the output count).
    struct WindingArrangement {
        std::array<int32_t, 3> linked{};
        std::array<int32_t, 4> polarity{};
        std::array<int32_t, 3> up{};
        std::array<int32_t, 3> down{};
        std::array<double, 4> effectiveTurns{};
    };
    WindingArrangement GetWindingArrangement(const CRequirements& requirements) const;

    // TRUE for the two active-clamp variants, which have a second switch.
    BOOL HasClampSwitch() const {
        return (GetTopology() == ACTIVE_CLAMP_XFMR || GetTopology() == ACTIVE_CLAMP_RESISTOR) ? TRUE : FALSE;
    }

    CAmplifier& GetSenseAmplifier() { return m_SenseAmplifier; }
    CCapacitor& GetClampCapacitor() { return m_ClampCapacitor; }
    CCapacitor& GetResetCapacitor() { return m_ResetCapacitor; }
    CDiode& GetDiode1And2() { return m_Diode1And2; }
    CDiode& GetClampDiode() { return m_ClampDiode; }
    CDiode& GetCurrentSenseDiode() { return m_CurrentSenseDiode; }
    CDiode& GetResetDiode() { return m_ResetDiode; }
    CResistor& GetClampResistor() { return m_ClampResistor; }
    CResistor& GetSenseResistor() { return m_SenseResistor; }
    CPwrTransformer& GetPowerTransformer() { return m_PowerTransformer; }
    CTransformer& GetCurrentSenseTransformer() { return m_CurrentSenseTransformer; }
    CTransistorFE& GetSwitchSW2() { return m_SwitchSW2; }
    CTransistorFE& GetSwitchSW1() { return m_SwitchSW1; }
    const CPwrTransformer& GetPowerTransformer() const { return m_PowerTransformer; }
    const CTransistorFE& GetSwitchSW2() const { return m_SwitchSW2; }
    const CTransistorFE& GetSwitchSW1() const { return m_SwitchSW1; }

private:
    // Construction, archive, copy and comparison order.
    template <class Self>
    static auto RecordsOf(Self& s) {
        return std::tie(s.m_SenseAmplifier, s.m_ClampCapacitor, s.m_ResetCapacitor, s.m_Diode1And2, s.m_ClampDiode,
                        s.m_CurrentSenseDiode, s.m_ResetDiode, s.m_ClampResistor, s.m_SenseResistor,
                        s.m_PowerTransformer, s.m_CurrentSenseTransformer, s.m_SwitchSW2, s.m_SwitchSW1);
    }

    CAmplifier m_SenseAmplifier;
    CCapacitor m_ClampCapacitor;
    CCapacitor m_ResetCapacitor;
    CDiode m_Diode1And2;          // both diodes of the two-switch variants
    CDiode m_ClampDiode;
    CDiode m_CurrentSenseDiode;
    CDiode m_ResetDiode;
    CResistor m_ClampResistor;
    CResistor m_SenseResistor;
    CPwrTransformer m_PowerTransformer;
    CTransformer m_CurrentSenseTransformer;
    CTransistorFE m_SwitchSW2;    // the clamp switch of the active-clamp variants
    CTransistorFE m_SwitchSW1;    // both switches of the two-switch variants
};
