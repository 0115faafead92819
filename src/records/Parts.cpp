// Bipolar transistor and two-winding transformer records.
//
// The transformer's coupling coefficient of secondary 1 to the primary comes
// from the open-circuit inductance Lo of secondary 1 and its inductance Ls
// with the primary shorted: k = sqrt((Lo - Ls) / Lo), accepted from 0 to 1.
#include "records/Parts.h"

#include <cmath>

#include "records/Record.h"
#include "records/Utils.h"

namespace {

fw::RegisterClass<CTransistorBP> g_regTransistorBP("CTransistorBP");
fw::RegisterClass<CTransformer> g_regTransformer("CTransformer");

constexpr const char* kTransistorBPTag = "<TRANSISTOR_BP_DATA>";
constexpr const char* kTransformerTag = "<TRANSFORMER_DATA>";

}  // namespace

bool parts_detail::IsPresetZero(int variant, int code) {
    if (variant == 0) return true;
    ReportMessage1(kModuleParts, code, FALSE);
    return false;
}

BOOL CouplingFromInductances(double lo, double ls, double& k) {
    if (!std::isfinite(lo) || lo == 0) return FALSE;
    double ratio = (lo - ls) / lo;
    // Quiet comparisons: a NaN ratio fails without raising the invalid flag.
    if (!(std::isgreaterequal(ratio, 0.0) && std::islessequal(ratio, 1.0))) return FALSE;
    k = std::sqrt(ratio);
    return TRUE;
}

int ReadTransformerHeader(fw::Archive& ar, std::string& tag, const char* expectedTag, int codeA,
                          const std::function<void()>& defaults) {
    tag = ar.ReadString();
    if (tag == kDbTransformerTag) tag = expectedTag;
    if (tag != expectedTag) {
        WarnFileCorrupted();
        ReportMessage1(kModuleParts, codeA, FALSE);
        defaults();
        return -1;
    }
    if (ar.ReadU16() != 0) {
        WarnFileVersion();
        ReportMessage1(kModuleParts, codeA + 1, FALSE);
        defaults();
        return -1;
    }
    return 0;
}

// ---------------------------------------------------------------------------
// CTransistorBP

void CTransistorBP::InitDefaults() {
    m_strTag = kTransistorBPTag;
    m_dForwardBiasVoltage = 0.7;
}

void CTransistorBP::SetDefaults(int preset) {
    InitDefaults();
    if (!parts_detail::IsPresetZero(preset, 3700)) return;
    m_dForwardBiasVoltage = 0.7;
}

void CTransistorBP::Serialize(fw::Archive& ar) {
    parts_detail::SerializeSchema0(*this, ar, kTransistorBPTag, 3701);
}

CTransistorBP& CTransistorBP::operator=(const CTransistorBP& other) {
    parts_detail::Assign(*this, other);
    return *this;
}

BOOL CTransistorBP::operator!=(const CTransistorBP& other) const {
    return parts_detail::Differ(*this, other);
}

BOOL CTransistorBP::WriteSummary(fw::File& file) const {
    WriteValueLine(file, "\r\n    Forward Bias Base Emitter Voltage: ", m_dForwardBiasVoltage, "volts");
    return TRUE;
}

// ---------------------------------------------------------------------------
// CTransformer

void CTransformer::InitDefaults() {
    m_strTag = kTransformerTag;
    m_strName = "Default";
    m_dPrimaryTurns = 1;
    m_dSecondaryTurns = 1;
    m_dPrimaryDcResistance = 0;
    m_dSecondaryDcResistance = 0;
    m_dPrimaryAcResistance = 0;
    m_dSecondaryAcResistance = 0;
    m_dPrimaryInductance = 1e-5;
    m_dSecondaryInductance = 1e-5;
    m_dSecondaryShortedInductance = 0;
    m_dCoupling = 0;
    m_dCorePowerLoss = 0;
    m_CoreSatChar.InitDefaults();
    if (!ComputeCoupling()) ReportMessage1(kModuleParts, 3703, FALSE);
}

void CTransformer::SetDefaults(int preset) {
    InitDefaults();
    switch (preset) {
    case 0:
    case 1:
        m_strName = "Default";
        m_dPrimaryTurns = 1;
        m_dSecondaryTurns = 100;
        m_dPrimaryDcResistance = 0.001;
        m_dSecondaryDcResistance = 0.001;
        m_dPrimaryAcResistance = 1.0;
        m_dSecondaryAcResistance = 1.0;
        m_dPrimaryInductance = 1e-5;
        m_dSecondaryInductance = preset == 0 ? 1e-5 : 0.1;
        m_dSecondaryShortedInductance = preset == 0 ? 1e-7 : 0.002;
        m_dCorePowerLoss = 0;
        break;
    default:
        ReportMessage1(kModuleParts, 3704, FALSE);
        break;
    }
    if (!ComputeCoupling()) ReportMessage1(kModuleParts, 3705, FALSE);
}

BOOL CTransformer::ComputeCoupling() {
    if (m_dPrimaryTurns == 0 || m_dSecondaryTurns == 0 || m_dPrimaryInductance == 0) {
        ReportMessage1(kModuleParts, 3706, FALSE);
        m_dCoupling = 0;
        return FALSE;
    }
    double k = 0;
    if (!CouplingFromInductances(m_dSecondaryInductance, m_dSecondaryShortedInductance, k)) {
        ReportMessage1(kModuleParts, 3707, FALSE);
        m_dCoupling = 0;
        return FALSE;
    }
    m_dCoupling = k;
    return TRUE;
}

void CTransformer::Serialize(fw::Archive& ar) {
    if (ar.IsStoring()) {
        if (m_strTag == kDbTransformerTag) m_strTag = kTransformerTag;
        parts_detail::Store(*this, ar);
        return;
    }
    if (ReadTransformerHeader(ar, m_strTag, kTransformerTag, 3708, [this] { InitDefaults(); }) < 0) return;
    fw::LoadFields(ar, FieldsOf(*this));
}

CTransformer& CTransformer::operator=(const CTransformer& other) {
    parts_detail::Assign(*this, other);
    return *this;
}

CTransformer& CTransformer::operator=(const CTransformerDb& db) {
    // Database winding 0 is the primary, winding 2 the first secondary.
    m_strTag = kTransformerTag;
    m_strName = db.m_strName;
    m_dPrimaryTurns = db.m_dTurns[0];
    m_dSecondaryTurns = db.m_dTurns[2];
    m_dPrimaryDcResistance = db.m_dDcResistance[0];
    m_dSecondaryDcResistance = db.m_dDcResistance[2];
    m_dPrimaryAcResistance = db.m_dAcResistance[0];
    m_dSecondaryAcResistance = db.m_dAcResistance[2];
    m_dPrimaryInductance = db.m_dOcInductance[0];
    m_dSecondaryInductance = db.m_dOcInductance[2];
    m_dSecondaryShortedInductance = db.m_dShortedInductance[size_t(CTransformerDb::PairIndex(0, 2))];
    m_dCorePowerLoss = db.m_dCorePowerLoss;
    m_CoreSatChar = db.m_CoreSatChar;
    return *this;
}

BOOL CTransformer::operator!=(const CTransformer& other) const {
    return parts_detail::Differ(*this, other);
}

BOOL CTransformer::WriteSummary(fw::File& file) const {
    WriteNameLine(file, "\r\n    Name or Part Number: ", m_strName);
    WriteValueLine(file, "\r\n    Primary Turns: ", m_dPrimaryTurns);
    WriteValueLine(file, "\r\n    Secondary 1 Turns: ", m_dSecondaryTurns);
    WriteValueLine(file, "\r\n    Primary DC Component Winding Resistance: ", m_dPrimaryDcResistance, "ohms");
    WriteValueLine(file, "\r\n    Secondary 1 DC Component Winding Resistance: ", m_dSecondaryDcResistance, "ohms");
    WriteValueLine(file, "\r\n    Primary AC Component Winding Resistance: ", m_dPrimaryAcResistance, "ohms");
    WriteValueLine(file, "\r\n    Secondary 1 AC Component Winding Resistance: ", m_dSecondaryAcResistance, "ohms");
    WriteValueLine(file, "\r\n    Primary Open Circuit Inductance: ", m_dPrimaryInductance, "henry");
    WriteValueLine(file, "\r\n    Secondary 1 Open Circuit Inductance: ", m_dSecondaryInductance, "henry");
    WriteValueLine(file, "\r\n    Secondary 1 Inductance, Primary Winding Shorted: ", m_dSecondaryShortedInductance,
                   "henry");
    WriteValueLine(file, "\r\n    Secondary 1 Coupling Coefficient to Primary: ", m_dCoupling);
    WriteValueLine(file, "\r\n    Core Power Loss: ", m_dCorePowerLoss, "watts");
    m_CoreSatChar.WriteSummary(file);
    return TRUE;
}
