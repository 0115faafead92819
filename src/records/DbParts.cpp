#include "records/DbParts.h"

#include <iterator>
#include <memory>
#include <new>
#include <tuple>

#include "platform/core/Fields.h"
#include "records/Record.h"
#include "records/Utils.h"

namespace {

fw::RegisterClass<CCapacitor> g_regCapacitor("CCapacitor");
fw::RegisterClass<CDiode> g_regDiode("CDiode");
fw::RegisterClass<CResistor> g_regResistor("CResistor");
fw::RegisterClass<CInductor> g_regInductor("CInductor");
fw::RegisterClass<CTransistorFE> g_regTransistorFE("CTransistorFE");
fw::RegisterClass<CObCurrentInductance> g_regCurrentInductance("CObCurrentInductance");
fw::RegisterClass<CCoreSatChar> g_regCoreSatChar("CCoreSatChar");
fw::RegisterClass<CTransformerDb> g_regTransformerDb("CTransformerDb");

constexpr const char* kCapacitorTag = "<CAPACITOR_DATA>";
constexpr const char* kDiodeTag = "<DIODE_DATA>";
constexpr const char* kInductorTag = "<INDUCTOR_DATA>";
constexpr const char* kResistorTag = "<RESISTOR_DATA>";
constexpr const char* kTransistorFETag = "<TRANSISTOR_FE_DATA>";
constexpr const char* kCurrentInductanceTag = "<OB_CURRENT_INDUCTANCE_DATA>";
constexpr const char* kCoreSatCharTag = "<CURRENT_INDUCTANCE_DATA>";

constexpr const char* kNameCaption = "\r\n    Name or Part Number: ";
constexpr UINT kInsufficientMemory = 52094;

// Internal codes of the module: a missing preset, then a wrong tag and a
// wrong schema (tag code + 1) on load.
enum : int {
    kCapacitorPreset = 21300,
    kCapacitorTagCode = 21301,
    kDiodePreset = 21303,
    kDiodeTagCode = 21304,
    kInductorPreset = 21306,
    kInductorTagCode = 21307,
    kResistorPreset = 21309,
    kResistorTagCode = 21310,
    kTransistorFEPreset = 21312,
    kTransistorFETagCode = 21313,
    kPointTagCode = 21315,
    kCoreSatCharPreset = 21317,
    kCoreSatCharTagCode = 21318,
};

template <class R>
void CopyRecord(R& dst, const R& src) {
    dst.m_strTag = src.m_strTag;
    fw::CopyFields(R::FieldsOf(dst), R::FieldsOf(src));
}

template <class R>
BOOL RecordsDiffer(const R& a, const R& b) {
    return (a.m_strTag != b.m_strTag || fw::FieldsDiffer(R::FieldsOf(a), R::FieldsOf(b))) ? TRUE : FALSE;
}

// Schema-0 records: tag, schema word, then the field list.
template <class R>
void SerializeRecord(R& r, fw::Archive& ar, const char* tag, int tagCode) {
    if (ar.IsStoring()) {
        WriteRecordHeader(ar, r.m_strTag, 0);
        fw::StoreFields(ar, R::FieldsOf(r));
        return;
    }
    if (ReadRecordHeader(ar, r.m_strTag, tag, kModuleDbParts, tagCode, [&r] { r.InitDefaults(); }) < 0) return;
    fw::LoadFields(ar, R::FieldsOf(r));
}

void ReportMissingPreset(int code) { ReportMessage1(kModuleDbParts, code, FALSE); }

}  // namespace

// ---------------------------------------------------------------------------
// CCapacitor

void CCapacitor::InitDefaults() {
    m_strTag = kCapacitorTag;
    m_strName = "Default";
    m_dCapacitance = 1e-14;
    m_dBreakdownVoltage = 100.0;
    m_dCapTempCoefLinear = 0.0;
    m_dCapTempCoefQuad = 0.0;
    m_dEsr = 0.0;
    m_dEsrTempCoefLinear = 0.0;
    m_dEsrTempCoefQuad = 0.0;
    // One henry, not the presets' 1e-10: a record that never got a preset shows up.
    m_dEsl = 1.0;
    m_dLeakageCurrent = 0.0;
    m_dLeakageTempCoef = 0.0;
}

void CCapacitor::SetDefaults(int preset) {
    static constexpr double kCapacitance[] = {1e-14, 1.0, 1e-9, 1e-3};
    InitDefaults();
    if (preset < 0 || preset >= int(std::size(kCapacitance))) {
        ReportMissingPreset(kCapacitorPreset);
        return;
    }
    m_dCapacitance = kCapacitance[preset];
    m_dBreakdownVoltage = 10000.0;
    m_dCapTempCoefLinear = 0.0;
    m_dCapTempCoefQuad = 0.0;
    m_dEsr = 1e-6;
    m_dEsrTempCoefLinear = 0.0;
    m_dEsrTempCoefQuad = 0.0;
    m_dEsl = 1e-10;
    m_dLeakageCurrent = 0.0;
    m_dLeakageTempCoef = 0.0;
}

CCapacitor& CCapacitor::operator=(const CCapacitor& other) {
    CopyRecord(*this, other);
    return *this;
}

BOOL CCapacitor::operator!=(const CCapacitor& other) const { return RecordsDiffer(*this, other); }

void CCapacitor::Serialize(fw::Archive& ar) { SerializeRecord(*this, ar, kCapacitorTag, kCapacitorTagCode); }

BOOL CCapacitor::WriteSummary(fw::File& file) const {
    WriteNameLine(file, kNameCaption, m_strName);
    WriteValueLine(file, "\r\n    Capacitance: ", m_dCapacitance, "farads");
    WriteValueLine(file, "\r\n    Breakdown Voltage: ", m_dBreakdownVoltage, "volts");
    WriteValueLine(file, "\r\n    Linear Temperature Coefficient of Capacitance: ", m_dCapTempCoefLinear, "%/Kelvin");
    WriteValueLine(file, "\r\n    Quadratic Temperature Coefficient of Capacitance: ", m_dCapTempCoefQuad,
                   "%/Kelvin/Kelvin");
    WriteValueLine(file, "\r\n    Equivalent Series Resistance: ", m_dEsr, "ohms");
    WriteValueLine(file, "\r\n    Linear Temperature Coefficient of ESR: ", m_dEsrTempCoefLinear, "%/Kelvin");
    WriteValueLine(file, "\r\n    Quadratic Temperature Coefficient of ESR: ", m_dEsrTempCoefQuad, "%/Kelvin/Kelvin");
    WriteValueLine(file, "\r\n    Equivalent Series Inductance: ", m_dEsl, "henries");
    WriteValueLine(file, "\r\n    DC Leakage Current at Rated Voltage: ", m_dLeakageCurrent, "amperes");
    WriteValueLine(file, "\r\n    Temperature Coefficient of Leakage Current: ", m_dLeakageTempCoef, "%/Kelvin");
    return TRUE;
}

BOOL CCapacitor::WriteSummaryShort(fw::File& file) const {
    WriteNameLine(file, kNameCaption, m_strName);
    WriteValueLine(file, "\r\n    Capacitance: ", m_dCapacitance, "farads");
    WriteValueLine(file, "\r\n    Linear Temperature Coefficient of Capacitance: ", m_dCapTempCoefLinear, "%/Kelvin");
    WriteValueLine(file, "\r\n    Quadratic Temperature Coefficient of Capacitance: ", m_dCapTempCoefQuad,
                   "%/Kelvin/Kelvin");
    return TRUE;
}

// ---------------------------------------------------------------------------
// CDiode

void CDiode::InitDefaults() {
    m_strTag = kDiodeTag;
    m_strName = "Default";
    m_dForwardVoltage = 0.0;
    m_dForwardVoltageTempCoef = -0.0036;
    m_dDynamicResistance = 0.01;
    m_dBreakdownVoltage = 100.0;
    m_dLeadInductance = 1e-9;
    m_dJunctionCapacitance = 1e-13;
}

void CDiode::SetDefaults(int preset) {
    static constexpr double kForwardVoltage[] = {0.7, 0.0, 1.4};
    InitDefaults();
    if (preset < 0 || preset >= int(std::size(kForwardVoltage))) {
        ReportMissingPreset(kDiodePreset);
        return;
    }
    m_dForwardVoltage = kForwardVoltage[preset];
    m_dForwardVoltageTempCoef = -0.0036;
    m_dDynamicResistance = 0.01;
    m_dBreakdownVoltage = 100.0;
    m_dLeadInductance = 1e-9;
    m_dJunctionCapacitance = 1e-13;
}

CDiode& CDiode::operator=(const CDiode& other) {
    CopyRecord(*this, other);
    return *this;
}

BOOL CDiode::operator!=(const CDiode& other) const { return RecordsDiffer(*this, other); }

void CDiode::Serialize(fw::Archive& ar) { SerializeRecord(*this, ar, kDiodeTag, kDiodeTagCode); }

BOOL CDiode::WriteSummary(fw::File& file, BOOL currentSenseArrangement) const {
    WriteNameLine(file, kNameCaption, m_strName);
    WriteValueLine(file, "\r\n    Forward Voltage: ", m_dForwardVoltage, "volts");
    WriteValueLine(file, "\r\n    Exponential Forward Voltage Temperature Coefficient: ", m_dForwardVoltageTempCoef,
                   "1/Kelvin");
    WriteValueLine(file, "\r\n    Reverse Breakdown Voltage: ", m_dBreakdownVoltage, "volts");
    WriteValueLine(file, "\r\n    Dynamic Resistance (Body Resistance): ", m_dDynamicResistance, "ohms");
    if (currentSenseArrangement) {
        file.Write(fw::Format("%s", "\r\n    Current Sense Diode Arrangement:   2 Anti-Parallel Diodes"));
        return TRUE;
    }
    WriteValueLine(file, "\r\n    Lead Inductance:", m_dLeadInductance, "henries");
    WriteValueLine(file, "\r\n    Junction Capacitance:", m_dJunctionCapacitance, "farads");
    return TRUE;
}

BOOL CDiode::WriteSummaryShort(fw::File& file) const {
    WriteNameLine(file, kNameCaption, m_strName);
    WriteValueLine(file, "\r\n    Forward Voltage: ", m_dForwardVoltage, "volts");
    WriteValueLine(file, "\r\n    Dynamic Resistance: ", m_dDynamicResistance, "ohms");
    return TRUE;
}

// ---------------------------------------------------------------------------
// CResistor

void CResistor::InitDefaults() {
    m_strTag = kResistorTag;
    m_strName = "Default";
    m_dResistance = 1e-5;
    m_dTempCoefLinear = 0.0;
    m_dTempCoefQuad = 0.0;
    m_dEsl = 0.0;
}

void CResistor::SetDefaults(int preset) {
    static constexpr double kResistance[] = {1e-6, 1e8, 1e-5, 1e3};
    InitDefaults();
    if (preset < 0 || preset >= int(std::size(kResistance))) {
        ReportMissingPreset(kResistorPreset);
        return;
    }
    m_dResistance = kResistance[preset];
    m_dTempCoefLinear = 0.0;
    m_dTempCoefQuad = 0.0;
    m_dEsl = 1e-10;
}

CResistor& CResistor::operator=(const CResistor& other) {
    CopyRecord(*this, other);
    return *this;
}

BOOL CResistor::operator!=(const CResistor& other) const { return RecordsDiffer(*this, other); }

void CResistor::Serialize(fw::Archive& ar) { SerializeRecord(*this, ar, kResistorTag, kResistorTagCode); }

BOOL CResistor::WriteSummary(fw::File& file) const {
    WriteSummaryShort(file);
    WriteValueLine(file, "\r\n    Equivalent Series Inductance: ", m_dEsl, "henries");
    return TRUE;
}

BOOL CResistor::WriteSummaryShort(fw::File& file) const {
    WriteNameLine(file, kNameCaption, m_strName);
    WriteValueLine(file, "\r\n    Resistance: ", m_dResistance, "ohms");
    WriteValueLine(file, "\r\n    Linear Temperature Coefficient: ", m_dTempCoefLinear, "ppm/Kelvin");
    WriteValueLine(file, "\r\n    Quadratic Temperature Coefficient: ", m_dTempCoefQuad, "ppm/Kelvin/Kelvin");
    return TRUE;
}

// ---------------------------------------------------------------------------
// CObCurrentInductance

void CObCurrentInductance::InitDefaults() {
    m_strTag = kCurrentInductanceTag;
    m_dCurrent = 0.0;
    m_dInductance = 0.0;
}

CObCurrentInductance& CObCurrentInductance::operator=(const CObCurrentInductance& other) {
    CopyRecord(*this, other);
    return *this;
}

BOOL CObCurrentInductance::operator!=(const CObCurrentInductance& other) const { return RecordsDiffer(*this, other); }

void CObCurrentInductance::Serialize(fw::Archive& ar) {
    SerializeRecord(*this, ar, kCurrentInductanceTag, kPointTagCode);
}

BOOL CObCurrentInductance::WriteSummary(fw::File& file) const {
    WriteValueLine(file, "\r\n      Current: ", m_dCurrent, "amperes");
    WriteValueLine(file, "\r\n      Inductance: ", m_dInductance, "henries");
    return TRUE;
}

// ---------------------------------------------------------------------------
// CObArrayCurrentInductance

void CObArrayCurrentInductance::AddCopy(int index, const CObCurrentInductance& point) {
    try {
        auto copy = std::make_unique<CObCurrentInductance>(point);
        if (index >= 0 && index < GetCount())
            SetAtGrow(index, std::move(copy));
        else
            Add(std::move(copy));
    } catch (const std::bad_alloc&) {
        ReportMessage(kInsufficientMemory, TRUE);
    }
}

CObArrayCurrentInductance& CObArrayCurrentInductance::operator=(const CObArrayCurrentInductance& other) {
    // The base builds the whole copy before it replaces anything.
    try {
        fw::ObArray<CObCurrentInductance>::operator=(other);
    } catch (const std::bad_alloc&) {
        ReportMessage(kInsufficientMemory, TRUE);
    }
    return *this;
}

BOOL CObArrayCurrentInductance::operator!=(const CObArrayCurrentInductance& other) const {
    if (GetCount() != other.GetCount()) return TRUE;
    for (int i = 0; i < GetCount(); ++i) {
        const CObCurrentInductance* a = GetAt(i);
        const CObCurrentInductance* b = other.GetAt(i);
        if (!a || !b) {
            if (a != b) return TRUE;
            continue;
        }
        if (*a != *b) return TRUE;
    }
    return FALSE;
}

BOOL CObArrayCurrentInductance::WriteSummary(fw::File& file) const {
    for (int i = 0; i < GetCount(); ++i)
        if (const CObCurrentInductance* p = GetAt(i)) p->WriteSummary(file);
    return TRUE;
}

// ---------------------------------------------------------------------------
// CCoreSatChar

void CCoreSatChar::InitDefaults() {
    m_strTag = kCoreSatCharTag;
    m_arPoints.DeleteAll();
}

void CCoreSatChar::SetDefaults(int preset) {
    InitDefaults();
    if (preset != 0) ReportMissingPreset(kCoreSatCharPreset);
}

CCoreSatChar& CCoreSatChar::operator=(const CCoreSatChar& other) {
    m_strTag = other.m_strTag;
    m_arPoints = other.m_arPoints;
    return *this;
}

BOOL CCoreSatChar::operator!=(const CCoreSatChar& other) const {
    return (m_strTag != other.m_strTag || m_arPoints != other.m_arPoints) ? TRUE : FALSE;
}

void CCoreSatChar::Serialize(fw::Archive& ar) {
    if (ar.IsStoring()) {
        WriteRecordHeader(ar, m_strTag, 0);
        m_arPoints.Serialize(ar);
        return;
    }
    if (ReadRecordHeader(ar, m_strTag, kCoreSatCharTag, kModuleDbParts, kCoreSatCharTagCode,
                         [this] { InitDefaults(); }) < 0)
        return;
    m_arPoints.Serialize(ar);  // replaces what the list held
}

BOOL CCoreSatChar::WriteSummary(fw::File& file) const { return m_arPoints.WriteSummary(file); }

// ---------------------------------------------------------------------------
// CInductor

void CInductor::InitDefaults() {
    m_strTag = kInductorTag;
    m_strName = "Default";
    m_dInductance = 1e-9;
    m_dDcResistance = 0.0;
    m_dAcResistance = 0.0;
    m_dCorePowerLoss = 0.0;
    m_CoreSatChar.InitDefaults();
}

void CInductor::SetDefaults(int preset) {
    static constexpr double kInductance[] = {1e-8, 1e-4};
    InitDefaults();
    if (preset < 0 || preset >= int(std::size(kInductance))) {
        ReportMissingPreset(kInductorPreset);
        return;
    }
    m_dInductance = kInductance[preset];
    m_dDcResistance = 1e-6;
    m_dAcResistance = 1e-6;
    m_dCorePowerLoss = 0.0;
}

CInductor& CInductor::operator=(const CInductor& other) {
    CopyRecord(*this, other);
    return *this;
}

BOOL CInductor::operator!=(const CInductor& other) const { return RecordsDiffer(*this, other); }

void CInductor::Serialize(fw::Archive& ar) { SerializeRecord(*this, ar, kInductorTag, kInductorTagCode); }

BOOL CInductor::WriteSummary(fw::File& file) const {
    WriteSummaryShort(file);
    WriteValueLine(file, "\r\n    DC Winding Resistance: ", m_dDcResistance, "ohms");
    WriteValueLine(file, "\r\n    AC Winding Resistance: ", m_dAcResistance, "ohms");
    WriteValueLine(file, "\r\n    Core Power Loss: ", m_dCorePowerLoss, "watts");
    m_CoreSatChar.WriteSummary(file);
    return TRUE;
}

BOOL CInductor::WriteSummaryShort(fw::File& file) const {
    WriteNameLine(file, kNameCaption, m_strName);
    WriteValueLine(file, "\r\n    Zero Current Inductance: ", m_dInductance, "henries");
    return TRUE;
}

// ---------------------------------------------------------------------------
// CTransistorFE

void CTransistorFE::InitDefaults() {
    m_strTag = kTransistorFETag;
    m_strName = "Default";
    m_dOnResistance = 0.001;
    m_dOnResistanceTempCoef = 0.0;
    m_dBreakdownVoltage = 10.0;
    m_dTurnOnDelay = 1e-8;
    m_dRiseTime = 1e-8;
    m_dTurnOffDelay = 1e-8;
    m_dFallTime = 1e-8;
    m_dBodyDiodeForwardVoltage = 0.7;
    m_dBodyDiodeResistance = 0.1;
    m_dSourceInductance = 1e-9;
    m_dDrainInductance = 1e-9;
    m_dOutputCapacitance = 1e-13;
}

void CTransistorFE::SetDefaults(int preset) {
    InitDefaults();
    if (preset != 0) {
        ReportMissingPreset(kTransistorFEPreset);
        return;
    }
    // Preset 0 differs from the built-in values only in the breakdown voltage.
    m_dBreakdownVoltage = 10000.0;
}

CTransistorFE& CTransistorFE::operator=(const CTransistorFE& other) {
    CopyRecord(*this, other);
    return *this;
}

BOOL CTransistorFE::operator!=(const CTransistorFE& other) const { return RecordsDiffer(*this, other); }

void CTransistorFE::Serialize(fw::Archive& ar) {
    if (ar.IsStoring()) {
        WriteRecordHeader(ar, m_strTag, 1);
        fw::StoreFields(ar, FieldsOf(*this));
        return;
    }
    // A foreign tag logs its code without the corrupted-file box.
    int schema = ReadRecordHeader(ar, m_strTag, kTransistorFETag, kModuleDbParts, kTransistorFETagCode,
                                  [this] { InitDefaults(); }, {0, 1}, FALSE);
    if (schema < 0) return;
    if (schema == 1) {
        fw::LoadFields(ar, FieldsOf(*this));
        return;
    }
    // Schema 0 predates the on-resistance coefficient.
    fw::LoadFields(ar, std::tie(m_strName, m_dOnResistance));
    m_dOnResistanceTempCoef = 0.0;
    fw::LoadFields(ar, std::tie(m_dBreakdownVoltage, m_dTurnOnDelay, m_dRiseTime, m_dTurnOffDelay, m_dFallTime,
                                m_dBodyDiodeForwardVoltage, m_dBodyDiodeResistance, m_dSourceInductance,
                                m_dDrainInductance, m_dOutputCapacitance));
    WarnOlderFileVersion();
}

BOOL CTransistorFE::WriteSummary(fw::File& file) const {
    // The switching times come last here, unlike in the archive.
    WriteNameLine(file, kNameCaption, m_strName);
    WriteValueLine(file, "\r\n    On Resistance: ", m_dOnResistance, "ohms");
    WriteValueLine(file, "\r\n    Linear Coefficient of On Resistance: ", m_dOnResistanceTempCoef, "%/Kelvin");
    WriteValueLine(file, "\r\n    Breakdown Voltage, Drain Source: ", m_dBreakdownVoltage, "volts");
    WriteValueLine(file, "\r\n    Body Diode Forward Voltage: ", m_dBodyDiodeForwardVoltage, "volts");
    WriteValueLine(file, "\r\n    Body Diode Dynamic Resistance: ", m_dBodyDiodeResistance, "ohms");
    WriteValueLine(file, "\r\n    Source Lead Inductance: ", m_dSourceInductance, "henries");
    WriteValueLine(file, "\r\n    Drain Lead Inductance: ", m_dDrainInductance, "henries");
    WriteValueLine(file, "\r\n    Output Capacitance: ", m_dOutputCapacitance, "farads");
    WriteValueLine(file, "\r\n    Turn On Delay: ", m_dTurnOnDelay, "seconds");
    WriteValueLine(file, "\r\n    Rise Time: ", m_dRiseTime, "seconds");
    WriteValueLine(file, "\r\n    Turn Off Delay: ", m_dTurnOffDelay, "seconds");
    WriteValueLine(file, "\r\n    Fall Time: ", m_dFallTime, "seconds");
    return TRUE;
}

// ---------------------------------------------------------------------------
// CTransformerDb (conversions from the transformer records: DbPartsXfmr.cpp)

int CTransformerDb::PairIndex(int earlier, int later) {
    if (earlier < 0 || later >= kWindings || earlier >= later || (earlier == 0 && later == 1)) return -1;
    // Position among all pairs in lexicographic order, less the missing (0, 1).
    int index = 0;
    for (int a = 0; a < earlier; ++a) index += kWindings - 1 - a;
    index += later - earlier - 1;
    return index - 1;
}

void CTransformerDb::InitDefaults() {
    m_strTag = kDbTransformerTag;
    m_strName = "Default";
    m_dTurns.fill(1.0);
    m_dDcResistance.fill(0.0);
    m_dAcResistance.fill(0.0);
    m_dOcInductance.fill(1.0);
    m_dShortedInductance.fill(0.0);
    m_dIntraCapacitance.fill(1e-13);
    m_nConnection = {3, 2, 3, 2, 3, 2, 3, 2};
    m_dCorePowerLoss = 0.0;
    m_CoreSatChar.InitDefaults();
}

CTransformerDb& CTransformerDb::operator=(const CTransformerDb& other) {
    CopyRecord(*this, other);
    return *this;
}

BOOL CTransformerDb::operator!=(const CTransformerDb& other) const { return RecordsDiffer(*this, other); }

void CTransformerDb::Serialize(fw::Archive&) {}
