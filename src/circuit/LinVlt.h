// The line voltage of the line source: AC peak magnitude and frequency, DC
// magnitude, and a transient table for each magnitude.
#pragma once

#include <string>
#include <tuple>

#include "platform/core/Archive.h"
#include "platform/core/File.h"
#include "platform/core/Types.h"
#include "records/PartsSrc.h"

constexpr UINT kModuleLinVlt = 56052;
constexpr const char* kLineVoltageTag = "<LINE_VOLTAGE_DATA>";

class CLineVoltage : public fw::Object {
public:
    CLineVoltage() { InitDefaults(); }
    CLineVoltage(const CLineVoltage&) = default;
    static const char* StaticClassName() { return "CLineVoltage"; }
    const char* GetClassName() const override { return StaticClassName(); }

    void InitDefaults();
    // Archived AC peak first, then frequency, then DC magnitude, then the DC
    // and AC tables. A negative or non-finite frequency, or a magnitude that
    // is not finite, read from a file is damage (52080, code 13102) and reads
    // as 0.
    void Serialize(fw::Archive& ar) override;
    // The tag, the three values and both tables.
    CLineVoltage& operator=(const CLineVoltage& other);
    BOOL operator!=(const CLineVoltage& other) const;
    // Shows the DC magnitude first.
    BOOL WriteSummary(fw::File& file) const;

    double GetACPeakMagnitude() const { return m_dACPeakMagnitude; }
    double GetACFrequency() const { return m_dACFrequency; }
    double GetDCMagnitude() const { return m_dDCMagnitude; }
    CObArrayTimeMagnitude& GetDCMagnitudeTable() { return m_DCMagnitudeTable; }
    CObArrayTimeMagnitude& GetACMagnitudeTable() { return m_ACMagnitudeTable; }

    std::string m_strTag;
    double m_dACPeakMagnitude = 0.0;  // volts
    double m_dACFrequency = 0.0;      // hertz
    double m_dDCMagnitude = 0.0;      // volts
    CObArrayTimeMagnitude m_DCMagnitudeTable;  // "DC Magnitude Transient"
    CObArrayTimeMagnitude m_ACMagnitudeTable;  // "AC Magnitude Transient"

private:
    template <class Self>
    static auto FieldsOf(Self& s) {
        return std::tie(s.m_dACPeakMagnitude, s.m_dACFrequency, s.m_dDCMagnitude, s.m_DCMagnitudeTable,
                        s.m_ACMagnitudeTable);
    }
};
