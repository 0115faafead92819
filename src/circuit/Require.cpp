#include "circuit/Require.h"

#include <cmath>

#include "circuit/LoadCheck.h"
#include "platform/core/Fields.h"
#include "records/Record.h"
#include "records/Utils.h"

namespace {
fw::RegisterClass<COutput> g_registerOutput("COutput");
fw::RegisterClass<CRequirements> g_registerRequirements("CRequirements");
}  // namespace

// ---------------------------------------------------------------------------
// COutput

void COutput::InitDefaults() {
    m_strTag = kOutputTag;
    m_bValid = 0;
    m_bEnabled = 0;
    m_dTargetVoltage = 5.0;
}

void COutput::Serialize(fw::Archive& ar) {
    if (ar.IsStoring()) {
        WriteRecordHeader(ar, m_strTag, 0);
        fw::StoreFields(ar, FieldsOf(*this));
        return;
    }
    if (ReadRecordHeader(ar, m_strTag, kOutputTag, kModuleRequire, 1200, [this] { InitDefaults(); }) < 0) return;
    fw::LoadFields(ar, FieldsOf(*this));
}

COutput& COutput::operator=(const COutput& other) {
    m_strTag = other.m_strTag;
    fw::CopyFields(FieldsOf(*this), FieldsOf(other));
    return *this;
}

BOOL COutput::operator!=(const COutput& other) const {
    return (m_strTag != other.m_strTag || fw::FieldsDiffer(FieldsOf(*this), FieldsOf(other))) ? TRUE : FALSE;
}

void COutput::Check(BOOL) { m_bValid = 1; }

BOOL COutput::WriteSummary(fw::File& file) const {
    file.Write(std::string("\r\n  Output Requirements:"));
    WriteValueLine(file, "\r\n    Target Voltage", m_dTargetVoltage, "volts");
    return TRUE;
}

// ---------------------------------------------------------------------------
// CRequirements

void CRequirements::InitDefaults() {
    m_strTag = kRequirementsTag;
    m_bValid = 0;
    m_dSwitchingFrequency = 100000.0;
    m_dOperatingTemp = 25.0;
    m_wOutputCount = 1;
    for (COutput& out : m_Outputs) out.InitDefaults();
    m_Outputs[0].SetEnabled(1);
}

void CRequirements::Serialize(fw::Archive& ar) {
    if (ar.IsStoring()) {
        WriteRecordHeader(ar, m_strTag, 0);
        fw::StoreFields(ar, FieldsOf(*this));
        return;
    }
    if (ReadRecordHeader(ar, m_strTag, kRequirementsTag, kModuleRequire, 1203, [this] { InitDefaults(); }) < 0)
        return;
    fw::LoadFields(ar, FieldsOf(*this));
    bool damaged = false;
    if (!IsFinitePositive(m_dSwitchingFrequency)) {
        m_dSwitchingFrequency = 100000.0;
        damaged = true;
    }
    if (!std::isfinite(m_dOperatingTemp)) {
        m_dOperatingTemp = 25.0;
        damaged = true;
    }
    if (m_wOutputCount > kOutputs) {
        m_wOutputCount = 1;
        damaged = true;
    }
    if (damaged) ReportDamagedValue(kModuleRequire, 1205);
    // The checks take the enabled outputs to run from output 1 on, as the
    // Requirements dialog keeps them. A gap is damage; filling it up to the
    // last enabled output keeps every enabled output's data.
    int last = -1;
    for (int i = 0; i < kOutputs; ++i)
        if (m_Outputs[size_t(i)].IsEnabled()) last = i;
    bool gap = false;
    for (int i = 0; i < last; ++i) {
        if (!m_Outputs[size_t(i)].IsEnabled()) {
            m_Outputs[size_t(i)].SetEnabled(1);
            gap = true;
        }
    }
    if (gap) ReportDamagedValue(kModuleRequire, 1206);
}

CRequirements& CRequirements::operator=(const CRequirements& other) {
    m_strTag = other.m_strTag;
    fw::CopyFields(FieldsOf(*this), FieldsOf(other));
    return *this;
}

BOOL CRequirements::operator!=(const CRequirements& other) const {
    return (m_strTag != other.m_strTag || fw::FieldsDiffer(FieldsOf(*this), FieldsOf(other))) ? TRUE : FALSE;
}

int CRequirements::CountEnabledOutputs() const {
    int n = 0;
    for (const COutput& out : m_Outputs)
        if (out.IsEnabled()) ++n;
    return n;
}

void CRequirements::CheckOutputs(BOOL report) {
    m_wOutputCount = 0;
    m_bValid = 1;
    for (COutput& out : m_Outputs) {
        out.Check(report);
        if (!out.IsEnabled()) continue;
        if (out.IsValid())
            ++m_wOutputCount;
        else
            m_bValid = 0;
    }
    if (m_wOutputCount == 0) {
        m_bValid = 0;
        if (report) ReportMessage(52114, TRUE);
    }
}

BOOL CRequirements::WriteSummary(fw::File& file) const {
    file.Write(std::string("\r\nRequirements:"));
    WriteValueLine(file, "\r\n  Target Switching Frequency: ", m_dSwitchingFrequency, "hertz");
    WriteValueLine(file, "\r\n  Operating Temperature: ", m_dOperatingTemp, "Celsius");
    for (const COutput& out : m_Outputs)
        if (out.IsEnabled()) out.WriteSummary(file);
    return TRUE;
}
