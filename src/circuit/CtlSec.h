// The pulse-width-modulation controller in one of five control modes: PWM
// comparators, timing ramp, soft start, current sensing and the parts that a
// mode needs. It owns 35 records; a mode uses a fixed subset, and the
// others keep their values.
#pragma once

#include <tuple>

#include "circuit/Section.h"
#include "records/DbParts.h"
#include "records/Parts.h"
#include "records/PartsSrc.h"

constexpr UINT kModuleCtlSec = 56032;
constexpr const char* kControlSectionTag = "<CONTROL_SECTION_DATA>";

class CControlSection : public CSection {
public:
    enum {
        PEAK_CURRENT = 0,
        VOLTAGE_FEED_FORWARD = 1,
        VOLTAGE_MODE = 2,
        HYSTERETIC_CURRENT = 3,
        AVERAGE_CURRENT = 4
    };

    CControlSection();
    CControlSection(const CControlSection&) = default;
    static const char* StaticClassName() { return "CControlSection"; }
    const char* GetClassName() const override { return StaticClassName(); }

    void InitDefaults(BOOL withBase) override;
    // The feedback current source's preset follows the topology at the time.
    void SetDefaults() override;
    BOOL WriteSummary(fw::File& file) override;
    void CheckChosen(BOOL report) override;
    void Serialize(fw::Archive& ar) override;

    CControlSection& operator=(const CControlSection& other);
    BOOL operator!=(const CControlSection& other) const;

    // The current feedback network takes part when the feedback current
    // source senses anything but the primary switch; the current limit
    // network when the limit current source senses the choke.
    BOOL IsFeedbackSourceNotPrimary() const;
    BOOL IsLimitSourceChoke() const;

    CCapacitor& GetCapacitor4() { return m_Capacitor4; }
    CCapacitor& GetCapacitor5() { return m_Capacitor5; }
    CCapacitor& GetCapacitor6() { return m_Capacitor6; }
    CCapacitor& GetCapacitor7() { return m_Capacitor7; }
    CCapacitor& GetCapacitor8() { return m_Capacitor8; }
    CCapacitor& GetCapacitorFF() { return m_CapacitorFF; }
    CComparator& GetComparator1() { return m_Comparator1; }
    CComparator& GetComparator2() { return m_Comparator2; }
    CCrntSensSource& GetFeedbackCurrentSourceVIS() { return m_FeedbackCurrentSourceVIS; }
    CCrntSensSource& GetLimitCurrentSourceVISCL() { return m_LimitCurrentSourceVISCL; }
    COperationalAmplifier& GetOperationalAmplifier() { return m_OpAmp; }
    CResetSwitch& GetResetSwitch() { return m_ResetSwitch; }
    CResistor& GetResistor4() { return m_Resistor4; }
    CResistor& GetResistor5() { return m_Resistor5; }
    CResistor& GetResistor7() { return m_Resistor7; }
    CResistor& GetResistor8() { return m_Resistor8; }
    CResistor& GetResistor9() { return m_Resistor9; }
    CResistor& GetResistor10() { return m_Resistor10; }
    CResistor& GetResistorFF() { return m_ResistorFF; }
    CResistor& GetResistor9Peak() { return m_Resistor9Peak; }
    CSawtoothClock& GetSawtoothClock() { return m_SawtoothClock; }
    CTransistorBP& GetBipolarTransistorQ1() { return m_TransistorQ1; }
    CCrntVoltSource& GetVoltageSourceIRef() { return m_VoltageSourceIRef; }
    CCrntVoltSource& GetVoltageSourceUI() { return m_VoltageSourceUI; }
    CCapacitor& GetCapacitorSS() { return m_CapacitorSS; }
    CCrntVoltSource& GetCurrentSourceISS() { return m_CurrentSourceISS; }
    CCrntVoltSource& GetVoltageSourceUE() { return m_VoltageSourceUE; }
    CCrntVoltSource& GetVoltageSourceUSS() { return m_VoltageSourceUSS; }
    CResistor& GetResistorISCL() { return m_ResistorISCL; }
    CCapacitor& GetCapacitorISCL() { return m_CapacitorISCL; }

private:
    // Construction, archive, copy and comparison order.
    template <class Self>
    static auto RecordsOf(Self& s) {
        return std::tie(s.m_Capacitor4, s.m_Capacitor5, s.m_Capacitor6, s.m_Capacitor7, s.m_Capacitor8,
                        s.m_CapacitorA, s.m_CapacitorB, s.m_CapacitorFF, s.m_Comparator1, s.m_Comparator2,
                        s.m_FeedbackCurrentSourceVIS, s.m_LimitCurrentSourceVISCL, s.m_OpAmp, s.m_ResetSwitch,
                        s.m_Resistor4, s.m_Resistor5, s.m_Resistor7, s.m_Resistor8, s.m_Resistor9, s.m_Resistor10,
                        s.m_ResistorA, s.m_ResistorB, s.m_ResistorC, s.m_ResistorFF, s.m_Resistor9Peak,
                        s.m_SawtoothClock, s.m_TransistorQ1, s.m_VoltageSourceIRef, s.m_VoltageSourceUI,
                        s.m_CapacitorSS, s.m_CurrentSourceISS, s.m_VoltageSourceUE, s.m_VoltageSourceUSS,
                        s.m_ResistorISCL, s.m_CapacitorISCL);
    }

    void CheckCapacitorCurrentFeedback(BOOL report);
    void CheckSwitchDelays(BOOL report, double switchingFrequency);

    CCapacitor m_Capacitor4;
    CCapacitor m_Capacitor5;
    CCapacitor m_Capacitor6;
    CCapacitor m_Capacitor7;
    CCapacitor m_Capacitor8;
    CCapacitor m_CapacitorA;  // no variant shows it
    CCapacitor m_CapacitorB;  // no variant shows it
    CCapacitor m_CapacitorFF;
    CComparator m_Comparator1;  // Comparator PWM
    CComparator m_Comparator2;  // Comparator PWM2, on the current-limit path
    CCrntSensSource m_FeedbackCurrentSourceVIS;
    CCrntSensSource m_LimitCurrentSourceVISCL;
    COperationalAmplifier m_OpAmp;
    CResetSwitch m_ResetSwitch;
    CResistor m_Resistor4;
    CResistor m_Resistor5;
    CResistor m_Resistor7;
    CResistor m_Resistor8;
    CResistor m_Resistor9;   // Resistor 9 of the hysteretic mode
    CResistor m_Resistor10;
    CResistor m_ResistorA;   // no variant shows it
    CResistor m_ResistorB;   // no variant shows it
    CResistor m_ResistorC;   // no variant shows it
    CResistor m_ResistorFF;
    CResistor m_Resistor9Peak;  // Resistor 9 of the peak current mode
    CSawtoothClock m_SawtoothClock;
    CTransistorBP m_TransistorQ1;
    CCrntVoltSource m_VoltageSourceIRef;
    CCrntVoltSource m_VoltageSourceUI;
    CCapacitor m_CapacitorSS;
    CCrntVoltSource m_CurrentSourceISS;
    CCrntVoltSource m_VoltageSourceUE;
    CCrntVoltSource m_VoltageSourceUSS;
    CResistor m_ResistorISCL;   // Current Limit Sense Filter Resistor
    CCapacitor m_CapacitorISCL;  // Current Limit Sense Filter Capacitor
};
