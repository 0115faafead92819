// Control-circuit component records: the timing ramp, the comparator, the
// sense amplifier, the reset switch, the operational amplifier and the
// undervoltage lock-out. Each has built-in values and one preset, variant 0.
#include "records/Parts.h"
#include "records/Record.h"
#include "records/Utils.h"

namespace {

fw::RegisterClass<CSawtoothClock> g_regSawtoothClock("CSawtoothClock");
fw::RegisterClass<CComparator> g_regComparator("CComparator");
fw::RegisterClass<CAmplifier> g_regAmplifier("CAmplifier");
fw::RegisterClass<CResetSwitch> g_regResetSwitch("CResetSwitch");
fw::RegisterClass<COperationalAmplifier> g_regOperationalAmplifier("COperationalAmplifier");
fw::RegisterClass<CUnderVoltLockOut> g_regUnderVoltLockOut("CUnderVoltLockOut");

constexpr const char* kSawtoothClockTag = "<SAWTOOTHCLOCK_DATA>";
constexpr const char* kComparatorTag = "<COMPARATOR_DATA>";
constexpr const char* kAmplifierTag = "<AMPLIFIER_DATA>";
constexpr const char* kResetSwitchTag = "<RESET_SWITCH_DATA>";
constexpr const char* kOperationalAmplifierTag = "<OPERATIONAL_AMPLIFIER_DATA>";
constexpr const char* kUnderVoltLockOutTag = "<UNDERVOLTAGE_LOCK_OUT_DATA>";

}  // namespace

// ---------------------------------------------------------------------------
// CSawtoothClock

void CSawtoothClock::InitDefaults() {
    m_strTag = kSawtoothClockTag;
    m_nInhibitDuringReset = 1;
    m_dPeakToValleyVoltage = 1.8;
    m_dDcAverageVoltage = 1.9;
    m_dPositiveSlopeDutyRatio = 90.0;
    m_dBlankingDutyRatio = 0.0;
    m_dFrequency = 1.0;
}

void CSawtoothClock::SetDefaults(int variant) {
    InitDefaults();
    if (!parts_detail::IsPresetZero(variant, 3730)) return;
    m_nInhibitDuringReset = 1;
    m_dPeakToValleyVoltage = 2.0;
    m_dDcAverageVoltage = 2.0;
    m_dPositiveSlopeDutyRatio = 90.0;
    m_dBlankingDutyRatio = 0.0;
    m_dFrequency = 100000.0;
}

void CSawtoothClock::Serialize(fw::Archive& ar) { parts_detail::SerializeSchema0(*this, ar, kSawtoothClockTag, 3731); }

CSawtoothClock& CSawtoothClock::operator=(const CSawtoothClock& other) {
    parts_detail::Assign(*this, other);
    return *this;
}

BOOL CSawtoothClock::operator!=(const CSawtoothClock& other) const { return parts_detail::Differ(*this, other); }

BOOL CSawtoothClock::WriteSummary(fw::File& file) const {
    WriteValueLine(file, "\r\n    Peak to Valley Voltage: ", m_dPeakToValleyVoltage, "volts");
    WriteValueLine(file, "\r\n    DC Average Voltage: ", m_dDcAverageVoltage, "volts");
    WriteValueLine(file, "\r\n    Positive Slope Duty Ratio: ", m_dPositiveSlopeDutyRatio, "per cent");
    WriteValueLine(file, "\r\n  Switching Ripple Frequency: ", m_dFrequency, "hertz");
    if (m_nInhibitDuringReset != 0) {
        file.Write(std::string("\r\n    Inhibit During Reset"));
        WriteValueLine(file, "\r\n    Leading Edge Blanking Duty Ratio: ", m_dBlankingDutyRatio, "per cent");
    } else {
        file.Write(std::string("\r\n    Do NOT Inhibit During Reset"));
    }
    return TRUE;
}

// ---------------------------------------------------------------------------
// CComparator

void CComparator::InitDefaults() {
    m_strTag = kComparatorTag;
    m_dDelay = 5e-08;
    m_dLogicVoltage = 5.0;
    m_nLogicVoltageInPercent = 1;
    m_nSoftStartDischarge = 0;
    m_dSoftStartThreshold = 5.0;
}

void CComparator::SetDefaults(int variant) {
    InitDefaults();
    if (!parts_detail::IsPresetZero(variant, 3733)) return;
    m_dDelay = 1e-08;
    m_dLogicVoltage = 5.0;
    m_nLogicVoltageInPercent = 1;
    m_nSoftStartDischarge = 0;
    m_dSoftStartThreshold = 5.0;
}

void CComparator::Serialize(fw::Archive& ar) { parts_detail::SerializeSchema0(*this, ar, kComparatorTag, 3734); }

CComparator& CComparator::operator=(const CComparator& other) {
    parts_detail::Assign(*this, other);
    return *this;
}

BOOL CComparator::operator!=(const CComparator& other) const { return parts_detail::Differ(*this, other); }

BOOL CComparator::WriteSummaryDelay(fw::File& file) const {
    WriteValueLine(file, "\r\n    Control to Output Delay: ", m_dDelay, "seconds");
    return TRUE;
}

BOOL CComparator::WriteSummaryLogic(fw::File& file) const {
    WriteSummaryDelay(file);
    const char* unit = m_nLogicVoltageInPercent == 1 ? "per cent" : "volts";
    WriteValueLine(file, "\r\n    Logic Voltage: ", m_dLogicVoltage, unit);
    return TRUE;
}

BOOL CComparator::WriteSummarySoftStart(fw::File& file) const {
    WriteSummaryDelay(file);
    if (m_nSoftStartDischarge == 1) {
        file.Write(std::string("\r\n    Soft Start Capacitor Discharge Enabled"));
        WriteValueLine(file, "\r\n    Threshold Voltage for Soft Start Capacitor Discharge: ", m_dSoftStartThreshold,
                       "volts");
    } else {
        file.Write(std::string("\r\n    Soft Start Capacitor Discharge Disabled"));
    }
    return TRUE;
}

// ---------------------------------------------------------------------------
// CAmplifier

void CAmplifier::InitDefaults() {
    m_strTag = kAmplifierTag;
    m_dVoltageGain = 1.0;
}

void CAmplifier::SetDefaults(int variant) {
    InitDefaults();
    if (!parts_detail::IsPresetZero(variant, 3736)) return;
    m_dVoltageGain = 1.0;
}

void CAmplifier::Serialize(fw::Archive& ar) { parts_detail::SerializeSchema0(*this, ar, kAmplifierTag, 3737); }

CAmplifier& CAmplifier::operator=(const CAmplifier& other) {
    parts_detail::Assign(*this, other);
    return *this;
}

BOOL CAmplifier::operator!=(const CAmplifier& other) const { return parts_detail::Differ(*this, other); }

BOOL CAmplifier::WriteSummary(fw::File& file) const {
    WriteValueLine(file, "\r\n    Voltage Gain: ", m_dVoltageGain);
    return TRUE;
}

// ---------------------------------------------------------------------------
// CResetSwitch

void CResetSwitch::InitDefaults() {
    m_strTag = kResetSwitchTag;
    m_dOnResistance = 1e-10;
}

void CResetSwitch::SetDefaults(int variant) {
    InitDefaults();
    if (!parts_detail::IsPresetZero(variant, 3739)) return;
    m_dOnResistance = 1e-06;
}

void CResetSwitch::Serialize(fw::Archive& ar) { parts_detail::SerializeSchema0(*this, ar, kResetSwitchTag, 3740); }

CResetSwitch& CResetSwitch::operator=(const CResetSwitch& other) {
    parts_detail::Assign(*this, other);
    return *this;
}

BOOL CResetSwitch::operator!=(const CResetSwitch& other) const { return parts_detail::Differ(*this, other); }

BOOL CResetSwitch::WriteSummary(fw::File& file) const {
    WriteValueLine(file, "\r\n    Switch On Resistance: ", m_dOnResistance);
    return TRUE;
}

// ---------------------------------------------------------------------------
// COperationalAmplifier

void COperationalAmplifier::InitDefaults() {
    m_strTag = kOperationalAmplifierTag;
    m_dMinimumOutput = 0.0;
    m_dMaximumOutput = 5.0;
}

void COperationalAmplifier::SetDefaults(int variant) {
    InitDefaults();
    if (!parts_detail::IsPresetZero(variant, 3742)) return;
    m_dMinimumOutput = 0.0;
    m_dMaximumOutput = 5.0;
}

void COperationalAmplifier::Serialize(fw::Archive& ar) {
    parts_detail::SerializeSchema0(*this, ar, kOperationalAmplifierTag, 3743);
}

COperationalAmplifier& COperationalAmplifier::operator=(const COperationalAmplifier& other) {
    parts_detail::Assign(*this, other);
    return *this;
}

BOOL COperationalAmplifier::operator!=(const COperationalAmplifier& other) const {
    return parts_detail::Differ(*this, other);
}

BOOL COperationalAmplifier::WriteSummary(fw::File& file) const {
    WriteValueLine(file, "\r\n    Minimum Output: ", m_dMinimumOutput);
    WriteValueLine(file, "\r\n    Maximum Output: ", m_dMaximumOutput);
    return TRUE;
}

// ---------------------------------------------------------------------------
// CUnderVoltLockOut

void CUnderVoltLockOut::InitDefaults() {
    m_strTag = kUnderVoltLockOutTag;
    m_dTurnOnVoltage = 1.0;
    m_dTurnOffVoltage = 1.0;
}

void CUnderVoltLockOut::SetDefaults(int variant) {
    InitDefaults();
    if (!parts_detail::IsPresetZero(variant, 3745)) return;
    m_dTurnOnVoltage = 1.0;
    m_dTurnOffVoltage = 1.0;
}

void CUnderVoltLockOut::Serialize(fw::Archive& ar) {
    parts_detail::SerializeSchema0(*this, ar, kUnderVoltLockOutTag, 3746);
}

CUnderVoltLockOut& CUnderVoltLockOut::operator=(const CUnderVoltLockOut& other) {
    parts_detail::Assign(*this, other);
    return *this;
}

BOOL CUnderVoltLockOut::operator!=(const CUnderVoltLockOut& other) const { return parts_detail::Differ(*this, other); }

BOOL CUnderVoltLockOut::WriteSummary(fw::File& file) const {
    WriteValueLine(file, "\r\n    Turn On Voltage: ", m_dTurnOnVoltage, "volts");
    WriteValueLine(file, "\r\n    Turn Off Voltage: ", m_dTurnOffVoltage, "volts");
    return TRUE;
}
