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
    bool damaged = false;
    if (!IsFinitePositive(m_dOffResistance)) {
        m_dOffResistance = 1.0e6;
        damaged = true;
    }
    if (!InRange(m_nDataSampling, SAMPLING_NONE, SAMPLING_PEAK)) {
        m_nDataSampling = SAMPLING_NONE;
        damaged = true;
    }
    if (damaged) ReportDamagedValue(kModuleUSData, 5602);
}

CUSData& CUSData::operator=(const CUSData& other) {
    fw::CopyFields(FieldsOf(*this), FieldsOf(other));
    return *this;
}

BOOL CUSData::operator!=(const CUSData& other) const {
    return fw::FieldsDiffer(FieldsOf(*this), FieldsOf(other)) ? TRUE : FALSE;
}
