// The voltage error amplifier: an operational amplifier with a pole/zero
// network, a reference source and an undervoltage lock-out. Variant n + 4 is
// variant n with the DC feedback resistor.
#pragma once

#include <tuple>

#include "circuit/Section.h"
#include "records/DbParts.h"
#include "records/Parts.h"
#include "records/PartsSrc.h"

constexpr UINT kModuleVErAmp = 56085;
constexpr const char* kVoltageErrorAmpTag = "<VOLTAGE_ERROR_AMP_DATA>";

class CVoltageErrorAmp : public CSection {
public:
    CVoltageErrorAmp();
    CVoltageErrorAmp(const CVoltageErrorAmp&) = default;
    static const char* StaticClassName() { return "CVoltageErrorAmp"; }
    const char* GetClassName() const override { return StaticClassName(); }

    void InitDefaults(BOOL withBase) override;
    void SetDefaults() override;
    BOOL WriteSummary(fw::File& file) override;
    void CheckChosen(BOOL report) override;
    void Serialize(fw::Archive& ar) override;

    CVoltageErrorAmp& operator=(const CVoltageErrorAmp& other);
    BOOL operator!=(const CVoltageErrorAmp& other) const;

    CCapacitor& GetCapacitor1() { return m_Capacitor1; }
    CCapacitor& GetCapacitor2() { return m_Capacitor2; }
    CCapacitor& GetCapacitor3() { return m_Capacitor3; }
    COperationalAmplifier& GetOperationalAmplifier() { return m_OpAmp; }
    CResistor& GetResistor1() { return m_Resistor1; }
    CResistor& GetResistor2() { return m_Resistor2; }
    CResistor& GetResistor3() { return m_Resistor3; }
    CResistor& GetResistorFeedback() { return m_ResistorFeedback; }
    CUnderVoltLockOut& GetUnderVoltLockOut() { return m_UnderVoltLockOut; }
    CCrntVoltSource& GetVoltageSourceVRef() { return m_VoltageSourceVRef; }

private:
    // Archive, copy and comparison order.
    template <class Self>
    static auto RecordsOf(Self& s) {
        return std::tie(s.m_Capacitor1, s.m_Capacitor2, s.m_Capacitor3, s.m_OpAmp, s.m_Resistor1, s.m_Resistor2,
                        s.m_Resistor3, s.m_ResistorFeedback, s.m_UnderVoltLockOut, s.m_VoltageSourceVRef);
    }

    CCapacitor m_Capacitor1;
    CCapacitor m_Capacitor2;
    CCapacitor m_Capacitor3;
    COperationalAmplifier m_OpAmp;
    CResistor m_Resistor1;
    CResistor m_Resistor2;
    CResistor m_Resistor3;
    CResistor m_ResistorFeedback;
    CUnderVoltLockOut m_UnderVoltLockOut;
    CCrntVoltSource m_VoltageSourceVRef;
};
