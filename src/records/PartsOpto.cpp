// Opto-isolator component records: the supply of the transmitting diode,
// the bias of the receiving side and the receiving photo transistor.
#include "records/Parts.h"
#include "records/Record.h"
#include "records/Utils.h"

namespace {

fw::RegisterClass<COptoIsoDriverSource> g_regOptoIsoDriverSource("COptoIsoDriverSource");
fw::RegisterClass<COptoIsoBiasVoltage> g_regOptoIsoBiasVoltage("COptoIsoBiasVoltage");
fw::RegisterClass<CTransistorPhoto> g_regTransistorPhoto("CTransistorPhoto");

constexpr const char* kDriverSourceTag = "<OPTO_ISO_DRIVER_SOURCE_DATA>";
constexpr const char* kBiasVoltageTag = "<OPTO_ISO_BIAS_VOLTAGE_DATA>";
constexpr const char* kTransistorPhotoTag = "<TRANSISTOR_PHOTO_DATA>";

constexpr double kDefaultPhotoBandwidth = 100000000.0;  // hertz

}  // namespace

// ---------------------------------------------------------------------------
// COptoIsoDriverSource

void COptoIsoDriverSource::InitDefaults() {
    m_strTag = kDriverSourceTag;
    m_nDriverSource = 0;
    m_dSourceVoltage = 5.0;
}

// The preset equals the built-in values.
void COptoIsoDriverSource::SetDefaults(int variant) {
    InitDefaults();
    parts_detail::IsPresetZero(variant, 3748);
}

void COptoIsoDriverSource::Serialize(fw::Archive& ar) {
    parts_detail::SerializeSchema0(*this, ar, kDriverSourceTag, 3749);
}

COptoIsoDriverSource& COptoIsoDriverSource::operator=(const COptoIsoDriverSource& other) {
    parts_detail::Assign(*this, other);
    return *this;
}

BOOL COptoIsoDriverSource::operator!=(const COptoIsoDriverSource& other) const {
    return parts_detail::Differ(*this, other);
}

BOOL COptoIsoDriverSource::WriteSummary(fw::File& file) const {
    if (m_nDriverSource == 0)
        WriteValueLine(file, "\r\n    Independently Regulated Source Voltage: ", m_dSourceVoltage, "volts");
    else
        file.Write(fw::Format("%s %d", "\r\n    Driver Source:  Output ", int(m_nDriverSource)));
    return TRUE;
}

// ---------------------------------------------------------------------------
// COptoIsoBiasVoltage

void COptoIsoBiasVoltage::InitDefaults() {
    m_strTag = kBiasVoltageTag;
    m_dBiasVoltage = 5.0;
}

void COptoIsoBiasVoltage::SetDefaults(int variant) {
    InitDefaults();
    parts_detail::IsPresetZero(variant, 3751);
}

void COptoIsoBiasVoltage::Serialize(fw::Archive& ar) {
    parts_detail::SerializeSchema0(*this, ar, kBiasVoltageTag, 3752);
}

COptoIsoBiasVoltage& COptoIsoBiasVoltage::operator=(const COptoIsoBiasVoltage& other) {
    parts_detail::Assign(*this, other);
    return *this;
}

BOOL COptoIsoBiasVoltage::operator!=(const COptoIsoBiasVoltage& other) const {
    return parts_detail::Differ(*this, other);
}

BOOL COptoIsoBiasVoltage::WriteSummary(fw::File& file) const {
    WriteValueLine(file, "\r\n    Bias Voltage: ", m_dBiasVoltage, "volts");
    return TRUE;
}

// ---------------------------------------------------------------------------
// CTransistorPhoto

void CTransistorPhoto::InitDefaults() {
    m_strTag = kTransistorPhotoTag;
    m_dCurrentTransferRatio = 1.0;
    m_dBandwidth = kDefaultPhotoBandwidth;
}

void CTransistorPhoto::SetDefaults(int variant) {
    InitDefaults();
    parts_detail::IsPresetZero(variant, 3754);
}

void CTransistorPhoto::Serialize(fw::Archive& ar) {
    if (ar.IsStoring()) {
        parts_detail::Store(*this, ar, 1);
        return;
    }
    int schema =
        ReadRecordHeader(ar, m_strTag, kTransistorPhotoTag, kModuleParts, 3755, [this] { InitDefaults(); }, {0, 1});
    if (schema < 0) return;
    if (schema == 0) {
        // Older files hold no bandwidth.
        m_dCurrentTransferRatio = ar.ReadFiniteF64(m_dCurrentTransferRatio);
        m_dBandwidth = kDefaultPhotoBandwidth;
        WarnOlderFileVersion();
        return;
    }
    fw::LoadFields(ar, FieldsOf(*this));
}

CTransistorPhoto& CTransistorPhoto::operator=(const CTransistorPhoto& other) {
    parts_detail::Assign(*this, other);
    return *this;
}

BOOL CTransistorPhoto::operator!=(const CTransistorPhoto& other) const { return parts_detail::Differ(*this, other); }

BOOL CTransistorPhoto::WriteSummary(fw::File& file) const {
    WriteValueLine(file, "\r\n    Current Transfer Ratio: ", m_dCurrentTransferRatio);
    WriteValueLine(file, "\r\n    -3 dB Bandwidth ( hertz ): ", m_dBandwidth);
    return TRUE;
}
