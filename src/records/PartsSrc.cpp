#include "records/PartsSrc.h"

#include <memory>
#include <new>

#include "platform/core/Fields.h"
#include "records/Record.h"
#include "records/Utils.h"

namespace {

fw::RegisterClass<CObTimeMagnitude> g_regPoint("CObTimeMagnitude");
fw::RegisterClass<CObArrayTimeMagnitude> g_regTable("CObArrayTimeMagnitude");
fw::RegisterClass<CCrntVoltSource> g_regVoltSource("CCrntVoltSource");
fw::RegisterClass<CCrntSensSource> g_regSensSource("CCrntSensSource");

constexpr const char* kPointTag = "<OB_TIME_MAGNITUDE_DATA>";
constexpr const char* kVoltSourceTag = "<CRNT_VOLT_SOURCE_DATA>";
constexpr const char* kSensSourceTag = "<CRNT_SENS_SOURCE_DATA>";

constexpr UINT kMsgInsufficientMemory = 52094;

const char* UnitWord(int kind) { return kind ? "amperes" : "volts"; }

}  // namespace

// ---------------------------------------------------------------- point

void CObTimeMagnitude::InitDefaults() {
    m_strTag = kPointTag;
    m_dTime = 0.0;
    m_dMagnitude = 0.0;
}

void CObTimeMagnitude::Serialize(fw::Archive& ar) {
    if (ar.IsStoring()) {
        WriteRecordHeader(ar, m_strTag, 0);
        fw::StoreFields(ar, FieldsOf(*this));
        return;
    }
    if (ReadRecordHeader(ar, m_strTag, kPointTag, kModulePartsSrc, 3800, [this] { InitDefaults(); }) < 0) return;
    fw::LoadFields(ar, FieldsOf(*this));
}

CObTimeMagnitude& CObTimeMagnitude::operator=(const CObTimeMagnitude& other) {
    m_strTag = other.m_strTag;
    fw::CopyFields(FieldsOf(*this), FieldsOf(other));
    return *this;
}

BOOL CObTimeMagnitude::operator!=(const CObTimeMagnitude& other) const {
    return m_strTag != other.m_strTag || fw::FieldsDiffer(FieldsOf(*this), FieldsOf(other));
}

BOOL CObTimeMagnitude::WriteSummary(fw::File& f, int kind) const {
    WriteValueLine(f, "\r\n      Time: ", m_dTime, "seconds");
    WriteValueLine(f, "\r\n      Magnitude: ", m_dMagnitude, UnitWord(kind));
    return TRUE;
}

// ---------------------------------------------------------------- table

void CObArrayTimeMagnitude::Serialize(fw::Archive& ar) {
    if (ar.IsLoading()) {
        m_points.Serialize(ar);
        return;
    }
    // A null element would make the file unreadable, so empty slots are left out.
    size_t stored = 0;
    for (int i = 0; i < GetCount(); ++i)
        if (GetPointAt(i)) ++stored;
    ar.WriteCount(stored);
    for (int i = 0; i < GetCount(); ++i)
        if (const CObTimeMagnitude* p = GetPointAt(i)) ar.WriteObject(p);
}

CObArrayTimeMagnitude& CObArrayTimeMagnitude::operator=(const CObArrayTimeMagnitude& other) {
    if (this == &other) return *this;
    DeleteAll();
    for (int i = 0; i < other.GetCount(); ++i)
        if (const CObTimeMagnitude* p = other.GetPointAt(i)) AddCopy(i, *p);
    return *this;
}

BOOL CObArrayTimeMagnitude::operator!=(const CObArrayTimeMagnitude& other) const {
    if (GetCount() != other.GetCount()) return TRUE;
    for (int i = 0; i < GetCount(); ++i) {
        const CObTimeMagnitude* a = GetPointAt(i);
        const CObTimeMagnitude* b = other.GetPointAt(i);
        if (!a || !b) {
            if (a != b) return TRUE;  // an empty slot against a point
            continue;
        }
        if (*a != *b) return TRUE;
    }
    return FALSE;
}

void CObArrayTimeMagnitude::AddCopy(int index, const CObTimeMagnitude& point) {
    if (index < 0) return;
    try {
        m_points.SetAtGrow(index, std::make_unique<CObTimeMagnitude>(point));
    } catch (const std::bad_alloc&) {
        ReportMessage(kMsgInsufficientMemory, TRUE);
    }
}

BOOL CObArrayTimeMagnitude::WriteSummary(fw::File& f, int kind) const {
    for (int i = 0; i < GetCount(); ++i)
        if (const CObTimeMagnitude* p = GetPointAt(i)) p->WriteSummary(f, kind);
    return TRUE;
}

// ---------------------------------------------------------------- current or voltage source

void CCrntVoltSource::InitDefaults() {
    m_strTag = kVoltSourceTag;
    m_dACPeakMagnitude = 0.0;
    m_dACFrequency = 0.0;
    m_dDCMagnitude = 0.0;
    m_Transient.DeleteAll();
}

void CCrntVoltSource::InitDefaultsUnitDC() {
    InitDefaults();
    m_dDCMagnitude = 1.0;
}

void CCrntVoltSource::SetDefaults(int32_t variant) {
    InitDefaults();
    switch (variant) {
    case 0: m_dDCMagnitude = 0.0; break;
    case 1: m_dDCMagnitude = 5.0; break;
    case 2: m_dDCMagnitude = 1e-05; break;
    default: ReportMessage1(kModulePartsSrc, 3802, FALSE); break;
    }
}

void CCrntVoltSource::Serialize(fw::Archive& ar) {
    if (ar.IsStoring()) {
        WriteRecordHeader(ar, m_strTag, 0);
        fw::StoreFields(ar, FieldsOf(*this));
        return;
    }
    // On a wrong tag or schema the table is emptied and its points stay unread.
    if (ReadRecordHeader(ar, m_strTag, kVoltSourceTag, kModulePartsSrc, 3803, [this] { InitDefaults(); }) < 0)
        return;
    fw::LoadFields(ar, FieldsOf(*this));
}

CCrntVoltSource& CCrntVoltSource::operator=(const CCrntVoltSource& other) {
    m_strTag = other.m_strTag;
    fw::CopyFields(FieldsOf(*this), FieldsOf(other));
    return *this;
}

BOOL CCrntVoltSource::operator!=(const CCrntVoltSource& other) const {
    return m_strTag != other.m_strTag || fw::FieldsDiffer(FieldsOf(*this), FieldsOf(other));
}

BOOL CCrntVoltSource::WriteSummary(fw::File& f, int kind) const {
    WriteValueLine(f, "\r\n    DC Magnitude: ", m_dDCMagnitude, UnitWord(kind));
    WriteValueLine(f, "\r\n    AC Peak Magnitude: ", m_dACPeakMagnitude, UnitWord(kind));
    WriteValueLine(f, "\r\n    AC Frequency: ", m_dACFrequency, "hertz");
    return TRUE;
}

BOOL CCrntVoltSource::WriteSummaryDC(fw::File& f, int kind) const {
    WriteValueLine(f, "\r\n    DC Magnitude: ", m_dDCMagnitude, kind ? "amps" : "volts");
    return TRUE;
}

// ---------------------------------------------------------------- current sense source

void CCrntSensSource::InitDefaults() {
    m_strTag = kSensSourceTag;
    m_iSensedCurrent = SENSE_PRIMARY_SWITCH;
}

void CCrntSensSource::SetDefaults(int32_t variant) {
    m_strTag = kSensSourceTag;
    switch (variant) {
    case 0: m_iSensedCurrent = SENSE_PRIMARY_SWITCH; break;
    case 1: m_iSensedCurrent = SENSE_CHOKE; break;
    default: ReportMessage1(kModulePartsSrc, 3813, FALSE); break;
    }
}

void CCrntSensSource::Serialize(fw::Archive& ar) {
    if (ar.IsStoring()) {
        WriteRecordHeader(ar, m_strTag, 0);
        fw::StoreFields(ar, FieldsOf(*this));
        return;
    }
    if (ReadRecordHeader(ar, m_strTag, kSensSourceTag, kModulePartsSrc, 3814, [this] { InitDefaults(); }) < 0)
        return;
    fw::LoadFields(ar, FieldsOf(*this));
    // The program never writes another value; one in a file is damage, logged
    // apart from a wrong tag so that the log tells the two apart.
    if (m_iSensedCurrent < SENSE_PRIMARY_SWITCH || m_iSensedCurrent > SENSE_OUTPUT_CAPACITOR) {
        WarnFileCorrupted();
        ReportMessage1(kModulePartsSrc, 3817, FALSE);
        InitDefaults();
    }
}

CCrntSensSource& CCrntSensSource::operator=(const CCrntSensSource& other) {
    m_strTag = other.m_strTag;
    fw::CopyFields(FieldsOf(*this), FieldsOf(other));
    return *this;
}

BOOL CCrntSensSource::operator!=(const CCrntSensSource& other) const {
    return m_strTag != other.m_strTag || fw::FieldsDiffer(FieldsOf(*this), FieldsOf(other));
}

BOOL CCrntSensSource::WriteSummary(fw::File& f) const {
    switch (m_iSensedCurrent) {
    case SENSE_PRIMARY_SWITCH: f.Write("\r\n    Primary Source"); break;
    case SENSE_CHOKE: f.Write("\r\n    Choke Source"); break;
    case SENSE_OUTPUT_CAPACITOR: f.Write("\r\n    Capacitor Source"); break;
    default: f.Write("\r\n    Unknown Source"); break;
    }
    return TRUE;
}
