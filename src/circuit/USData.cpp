#include "circuit/USData.h"

#include "circuit/LoadCheck.h"
#include "platform/core/Fields.h"
#include "records/Record.h"

namespace {
fw::RegisterClass<CUSData> g_register("CUSData");
}  // namespace

void CUSData::SetDefaults() {
    m_strTag = kUSDataTag;
    m_dOffResistance = 1.0e6;
    m_nIterationLimit = 50;
    m_nStabilizationCycles = 10;
    m_nDataSampling = SAMPLING_NONE;
    m_dLargeStepFactor = 0.9;
    m_dLargeStepLowerLimit = 1.0e-7;
    m_dSmallStepFactor = 0.98;
    m_dSmallStepLowerLimit = 3.0e-8;
    m_bDataLogging = 0;
}

void CUSData::Serialize(fw::Archive& ar) {
    if (ar.IsStoring()) {
        WriteRecordHeader(ar, m_strTag, 0);
        fw::StoreFields(ar, ArchivedFieldsOf(*this));
        return;
    }
    // A fallback to the defaults must not touch the logging switch either.
    auto fallback = [this] {
        BOOL logging = m_bDataLogging;
        SetDefaults();
        m_bDataLogging = logging;
    };
    if (ReadRecordHeader(ar, m_strTag, kUSDataTag, kModuleUSData, 5600, fallback) < 0) return;
    fw::LoadFields(ar, ArchivedFieldsOf(*this));
    // Only the User Specified Data dialog sets these. A count outside its
    // ranges, a factor that does not attenuate, or a resistance or limit that
    // is not positive comes from damage; a huge count would keep a run busy
    // for hours.
    const CUSData defaults;
    bool damaged = false;
    auto fix = [&damaged](auto& value, bool sound, auto fallback) {
        if (!sound) {
            value = fallback;
            damaged = true;
        }
    };
    auto isFactor = [](double f) { return f > 0.0 && f < 1.0; };
    fix(m_dOffResistance, IsFinitePositive(m_dOffResistance), defaults.m_dOffResistance);
    fix(m_nIterationLimit, InRange(m_nIterationLimit, 5, 1000), defaults.m_nIterationLimit);
    fix(m_nStabilizationCycles, InRange(m_nStabilizationCycles, 0, 10000), defaults.m_nStabilizationCycles);
    fix(m_nDataSampling, InRange(m_nDataSampling, SAMPLING_NONE, SAMPLING_PEAK), defaults.m_nDataSampling);
    fix(m_dLargeStepFactor, isFactor(m_dLargeStepFactor), defaults.m_dLargeStepFactor);
    fix(m_dLargeStepLowerLimit, IsFinitePositive(m_dLargeStepLowerLimit), defaults.m_dLargeStepLowerLimit);
    fix(m_dSmallStepFactor, isFactor(m_dSmallStepFactor), defaults.m_dSmallStepFactor);
    fix(m_dSmallStepLowerLimit, IsFinitePositive(m_dSmallStepLowerLimit), defaults.m_dSmallStepLowerLimit);
    if (damaged) ReportDamagedValue(kModuleUSData, 5602);
}

CUSData& CUSData::operator=(const CUSData& other) {
    fw::CopyFields(FieldsOf(*this), FieldsOf(other));
    return *this;
}

BOOL CUSData::operator!=(const CUSData& other) const {
    return fw::FieldsDiffer(FieldsOf(*this), FieldsOf(other)) ? TRUE : FALSE;
}
