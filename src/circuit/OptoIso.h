// The opto-isolator: a transmitter driving the light-emitting diode (by
// voltage or through a drive transistor) and a receiver turning the photo
// transistor current back into a voltage. Variant 6 is a design without one.
#pragma once

#include <tuple>

#include "circuit/Section.h"
#include "records/DbParts.h"
#include "records/Parts.h"
#include "records/PartsSrc.h"

constexpr UINT kModuleOptoIso = 56057;
constexpr const char* kOptoIsolatorTag = "<OPTO_ISOLATOR_DATA>";

class COptoIsolator : public CSection {
public:
    static constexpr WORD kTopologyNone = 6;

    COptoIsolator();
    COptoIsolator(const COptoIsolator&) = default;
    static const char* StaticClassName() { return "COptoIsolator"; }
    const char* GetClassName() const override { return StaticClassName(); }

    // With the base, a new section starts at "None" rather than not chosen.
    void InitDefaults(BOOL withBase) override;
    void SetDefaults() override;
    BOOL WriteSummary(fw::File& file) override;
    void CheckChosen(BOOL report) override;
    void Serialize(fw::Archive& ar) override;

    COptoIsolator& operator=(const COptoIsolator& other);
    BOOL operator!=(const COptoIsolator& other) const;

    COptoIsoDriverSource& GetDriverSource() { return m_DriverSource; }
    CDiode& GetDiodeLED() { return m_DiodeLED; }
    CResistor& GetDriveResistor() { return m_DriveResistor; }
    CTransistorBP& GetDriveTransistor() { return m_DriveTransistor; }
    COptoIsoBiasVoltage& GetBiasVoltage() { return m_BiasVoltage; }
    CTransistorPhoto& GetPhotoTransistor() { return m_PhotoTransistor; }
    CResistor& GetLoadResistor() { return m_LoadResistor; }
    CCapacitor& GetPoleCapacitor() { return m_PoleCapacitor; }
    CResistor& GetResistorAmp1() { return m_ResistorAmp1; }
    CResistor& GetResistorAmp2() { return m_ResistorAmp2; }
    COperationalAmplifier& GetOperationalAmplifier() { return m_OpAmp; }
    CCrntVoltSource& GetVoltageSourceVRef() { return m_VoltageSourceVRef; }

private:
    // Archive, copy and comparison order.
    template <class Self>
    static auto RecordsOf(Self& s) {
        return std::tie(s.m_DriverSource, s.m_DiodeLED, s.m_DriveResistor, s.m_DriveTransistor, s.m_BiasVoltage,
                        s.m_PhotoTransistor, s.m_LoadResistor, s.m_PoleCapacitor, s.m_ResistorAmp1,
                        s.m_ResistorAmp2, s.m_OpAmp, s.m_VoltageSourceVRef);
    }

    COptoIsoDriverSource m_DriverSource;
    CDiode m_DiodeLED;
    CResistor m_DriveResistor;
    CTransistorBP m_DriveTransistor;
    COptoIsoBiasVoltage m_BiasVoltage;
    CTransistorPhoto m_PhotoTransistor;
    CResistor m_LoadResistor;
    CCapacitor m_PoleCapacitor;
    CResistor m_ResistorAmp1;
    CResistor m_ResistorAmp2;
    COperationalAmplifier m_OpAmp;
    CCrntVoltSource m_VoltageSourceVRef;
};
