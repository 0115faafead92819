// The User Specified Data (solver settings and the data-logging switch) and
// the transient point tables that the document hands to the analysis.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <tuple>

#include "platform/core/Archive.h"
#include "platform/core/Types.h"

#include "analysis/context/AnalTables.h"

constexpr UINT kModuleUSData = 56081;
constexpr const char* kUSDataTag = "<US_DATA>";

class CUSData : public fw::Object {
public:
    enum { SAMPLING_NONE = 0, SAMPLING_AVERAGE = 1, SAMPLING_PEAK = 2 };

    CUSData() { CUSData::SetDefaults(); }
    CUSData(const CUSData&) = default;
    static const char* StaticClassName() { return "CUSData"; }
    const char* GetClassName() const override { return StaticClassName(); }

    virtual void SetDefaults();
    // The data-logging switch is neither written nor read: a load keeps it.
    // A count outside the dialog's ranges, an unknown sampling mode, a step
    // factor outside (0, 1), or an off resistance or step limit that is not
    // positive, read from a file, is damage (52080, code 5602) and takes its
    // default.
    void Serialize(fw::Archive& ar) override;
    // Every field including the data-logging switch; not the tag.
    CUSData& operator=(const CUSData& other);
    BOOL operator!=(const CUSData& other) const;

    double GetOffResistance() const { return m_dOffResistance; }
    int32_t GetIterationLimit() const { return m_nIterationLimit; }
    int32_t GetStabilizationCycles() const { return m_nStabilizationCycles; }
    int32_t GetDataSampling() const { return m_nDataSampling; }
    double GetLargeStepFactor() const { return m_dLargeStepFactor; }
    double GetLargeStepLowerLimit() const { return m_dLargeStepLowerLimit; }
    double GetSmallStepFactor() const { return m_dSmallStepFactor; }
    double GetSmallStepLowerLimit() const { return m_dSmallStepLowerLimit; }
    BOOL GetDataLogging() const { return m_bDataLogging; }
    void SetDataLogging(BOOL on) { m_bDataLogging = on; }

    std::string m_strTag;
    double m_dOffResistance = 1.0e6;        // ohms
    int32_t m_nIterationLimit = 50;         // steady-state initialisation
    int32_t m_nStabilizationCycles = 10;    // switching cycles of the stabilization run
    int32_t m_nDataSampling = 0;            // SAMPLING_*
    double m_dLargeStepFactor = 0.9;
    double m_dLargeStepLowerLimit = 1.0e-7;  // seconds
    double m_dSmallStepFactor = 0.98;
    double m_dSmallStepLowerLimit = 3.0e-8;  // seconds
    BOOL m_bDataLogging = 0;                 // not archived

private:
    // Archive order.
    template <class Self>
    static auto ArchivedFieldsOf(Self& s) {
        return std::tie(s.m_dOffResistance, s.m_nIterationLimit, s.m_nStabilizationCycles, s.m_nDataSampling,
                        s.m_dLargeStepFactor, s.m_dLargeStepLowerLimit, s.m_dSmallStepFactor,
                        s.m_dSmallStepLowerLimit);
    }
    template <class Self>
    static auto FieldsOf(Self& s) {
        return std::tuple_cat(ArchivedFieldsOf(s), std::tie(s.m_bDataLogging));
    }
};

// The transient tables handed to the analysis (TimeMagnitudeTable,
// TimeMagnitudeTable3) are declared with the analysis records.

