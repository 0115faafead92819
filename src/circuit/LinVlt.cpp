#include "circuit/LinVlt.h"

#include <cmath>

#include "circuit/LoadCheck.h"
#include "platform/core/Fields.h"
#include "records/Record.h"

namespace {
fw::RegisterClass<CLineVoltage> g_register("CLineVoltage");
constexpr int kVoltageKind = 0;
}  // namespace

void CLineVoltage::InitDefaults() {
    m_strTag = kLineVoltageTag;
    m_dACPeakMagnitude = 0.0;
    m_dACFrequency = 0.0;
    m_dDCMagnitude = 0.0;
    m_DCMagnitudeTable.DeleteAll();
    m_ACMagnitudeTable.DeleteAll();
}

void CLineVoltage::Serialize(fw::Archive& ar) {
    if (ar.IsStoring()) {
        WriteRecordHeader(ar, m_strTag, 0);
        fw::StoreFields(ar, FieldsOf(*this));
        return;
    }
    if (ReadRecordHeader(ar, m_strTag, kLineVoltageTag, kModuleLinVlt, 13100, [this] { InitDefaults(); }) < 0) return;
    fw::LoadFields(ar, FieldsOf(*this));
    // 0 is a DC source's frequency; below it nothing is meaningful.
    bool damaged = false;
    if (!std::isfinite(m_dACFrequency) || m_dACFrequency < 0.0) {
        m_dACFrequency = 0.0;
        damaged = true;
    }
    for (double* magnitude : {&m_dACPeakMagnitude, &m_dDCMagnitude}) {
        if (!std::isfinite(*magnitude)) {
            *magnitude = 0.0;
            damaged = true;
        }
    }
    if (damaged) ReportDamagedValue(kModuleLinVlt, 13102);
}

CLineVoltage& CLineVoltage::operator=(const CLineVoltage& other) {
    m_strTag = other.m_strTag;
    fw::CopyFields(FieldsOf(*this), FieldsOf(other));
    return *this;
}

BOOL CLineVoltage::operator!=(const CLineVoltage& other) const {
    return (m_strTag != other.m_strTag || fw::FieldsDiffer(FieldsOf(*this), FieldsOf(other))) ? TRUE : FALSE;
}

BOOL CLineVoltage::WriteSummary(fw::File& file) const {
    WriteValueLine(file, "\r\n    DC Magnitude: ", m_dDCMagnitude, "volts");
    WriteValueLine(file, "\r\n    AC Peak Magnitude: ", m_dACPeakMagnitude, "volts");
    WriteValueLine(file, "\r\n    AC Frequency: ", m_dACFrequency, "hertz");
    m_DCMagnitudeTable.WriteSummary(file, kVoltageKind);
    m_ACMagnitudeTable.WriteSummary(file, kVoltageKind);
    return TRUE;
}
