// Part editing dialogs: one per kind of component record and layout. Each
// edits, in place, the record it is given; callers hand it a copy and commit
// the copy only when DoModal returns IDOK (see BaseDlg.h). Values are SI units
// or the per cent, ppm and 1/Kelvin units their labels name; nothing is
// converted. Internal codes go to module PartsDlg.
#pragma once

#include <cstdint>
#include <memory>
#include <new>

#include "records/DbParts.h"
#include "records/Parts.h"
#include "records/Utils.h"
#include "setup/BaseDlg.h"

constexpr UINT kModulePartsDlg = 56065;

// Templates.
constexpr UINT IDD_AMPLIFIER = 201;
constexpr UINT IDD_CAPACITOR = 204;
constexpr UINT IDD_CAPACITOR_SHORT = 205;
constexpr UINT IDD_COMPARATOR = 206;
constexpr UINT IDD_COMPARATOR_LOGIC = 207;
constexpr UINT IDD_COMPARATOR_SOFT_START = 208;
constexpr UINT IDD_DIODE_RECTIFIER = 220;
constexpr UINT IDD_DIODE_ANTI_PARALLEL = 221;
constexpr UINT IDD_DIODE = 222;
constexpr UINT IDD_INDUCTOR = 231;
constexpr UINT IDD_INDUCTOR_SHORT = 232;
constexpr UINT IDD_OPERATIONAL_AMPLIFIER = 234;
constexpr UINT IDD_BIAS_VOLTAGE = 235;
constexpr UINT IDD_DRIVER_SOURCE_WARNING = 236;
constexpr UINT IDD_DRIVER_SOURCE = 237;
constexpr UINT IDD_RESET_SWITCH = 243;
constexpr UINT IDD_RESISTOR = 244;
constexpr UINT IDD_RESISTOR_SHORT = 245;
constexpr UINT IDD_SAWTOOTH_CLOCK = 246;
constexpr UINT IDD_TRANSISTOR_BP = 265;
constexpr UINT IDD_TRANSISTOR_FE = 266;
constexpr UINT IDD_TRANSISTOR_PHOTO = 267;
constexpr UINT IDD_UNDERVOLTAGE_LOCKOUT = 268;

// Controls.
constexpr int IDC_PART_NAME = 1000;
constexpr int IDC_CAPACITANCE = 1001;
constexpr int IDC_CAP_BREAKDOWN = 1002;
constexpr int IDC_CAP_TC_LINEAR = 1003;
constexpr int IDC_CAP_TC_QUAD = 1004;
constexpr int IDC_CAP_ESR = 1005;
constexpr int IDC_CAP_ESR_TC_LINEAR = 1006;
constexpr int IDC_CAP_ESR_TC_QUAD = 1007;
constexpr int IDC_CAP_ESL = 1008;
constexpr int IDC_CAP_LEAKAGE = 1009;
constexpr int IDC_CAP_LEAKAGE_TC = 1010;
constexpr int IDC_DIODE_FORWARD_VOLTAGE = 1020;
constexpr int IDC_DIODE_FORWARD_TC = 1021;
constexpr int IDC_DIODE_RESISTANCE = 1022;
constexpr int IDC_DIODE_BREAKDOWN = 1023;
constexpr int IDC_DIODE_LEAD_INDUCTANCE = 1024;
constexpr int IDC_DIODE_CAPACITANCE = 1025;
constexpr int IDC_RESISTANCE = 1040;
constexpr int IDC_RES_TC_LINEAR = 1041;
constexpr int IDC_RES_TC_QUAD = 1042;
constexpr int IDC_RES_ESL = 1043;
constexpr int IDC_BP_FORWARD_VOLTAGE = 1120;
constexpr int IDC_FE_ON_RESISTANCE = 1121;        // 1121-1132 in record order
constexpr int IDC_FE_ON_RESISTANCE_TC = 1122;
constexpr int IDC_FE_BREAKDOWN = 1123;
constexpr int IDC_FE_TURN_ON_DELAY = 1124;
constexpr int IDC_FE_RISE_TIME = 1125;
constexpr int IDC_FE_TURN_OFF_DELAY = 1126;
constexpr int IDC_FE_FALL_TIME = 1127;
constexpr int IDC_FE_BODY_DIODE_VOLTAGE = 1128;
constexpr int IDC_FE_BODY_DIODE_RESISTANCE = 1129;
constexpr int IDC_FE_SOURCE_INDUCTANCE = 1130;
constexpr int IDC_FE_DRAIN_INDUCTANCE = 1131;
constexpr int IDC_FE_OUTPUT_CAPACITANCE = 1132;
constexpr int IDC_INDUCTANCE = 1160;
constexpr int IDC_IND_DC_RESISTANCE = 1161;
constexpr int IDC_IND_AC_RESISTANCE = 1162;
constexpr int IDC_SAW_PEAK_TO_VALLEY = 1170;
constexpr int IDC_SAW_DC_AVERAGE = 1171;
constexpr int IDC_SAW_SLOPE_DUTY = 1172;
constexpr int IDC_SAW_INHIBIT = 1173;
constexpr int IDC_SAW_BLANKING_DUTY = 1174;
constexpr int IDC_CORE_POWER_LOSS = 1190;
constexpr int IDC_CMP_DELAY = 1191;
constexpr int IDC_CMP_LOGIC_VOLTAGE = 1192;
constexpr int IDC_CMP_LOGIC_PERCENT = 1193;
constexpr int IDC_SAW_FREQUENCY = 1195;
constexpr int IDC_AMP_GAIN = 1210;
constexpr int IDC_FIELD_UNIT = 1273;   // unit label of a field that changes or greys
constexpr int IDC_FIELD_LABEL = 1275;  // its name label
constexpr int IDC_DRIVER_INDEPENDENT = 1300;  // 1301-1304: outputs 1-4
constexpr int IDC_RESET_ON_RESISTANCE = 1491;
constexpr int IDC_OPAMP_MINIMUM = 1560;
constexpr int IDC_OPAMP_MAXIMUM = 1561;
constexpr int IDC_UVLO_TURN_ON = 1570;
constexpr int IDC_UVLO_TURN_OFF = 1571;
constexpr int IDC_CMP_SOFT_START = 1580;
constexpr int IDC_CMP_SOFT_START_THRESHOLD = 1581;
constexpr int IDC_CORE_SAT_BUTTON = 1590;
constexpr int IDC_OPTO_VOLTAGE = 1722;
constexpr int IDC_PHOTO_CTR = 1723;
constexpr int IDC_PHOTO_BANDWIDTH = 1724;

// The switching period the timing fields may not exceed: 1 / the switching
// frequency of the current document's requirements.
double CurrentSwitchingPeriod();

// Runs edit (the copy -> IDOK or IDCANCEL) on a new copy of the record and,
// when it answers IDOK and the copy differs, assigns the copy back; TRUE
// then. Without memory for the copy: 52094, and edit is not run.
template <class Rec, class Edit>
BOOL EditCopy(Rec& record, Edit edit) {
    std::unique_ptr<Rec> copy(new (std::nothrow) Rec);
    if (!copy) {
        ReportMessage(52094, TRUE);
        return FALSE;
    }
    *copy = record;
    if (edit(*copy) != fw::IDOK || !(*copy != record)) return FALSE;
    record = *copy;
    return TRUE;
}

// Opens the core saturation list on a copy of the characteristic and takes
// the copy back on IDOK when it differs; the dialog is repainted then.
void EditCoreSatChar(fw::Dialog& owner, CCoreSatChar& characteristic);

// The base of the part dialogs here: the component dialog base with the
// exchange of one value field and its inclusive range.
class CPartDlgBase : public CComponentDlgBase {
public:
    using CComponentDlgBase::CComponentDlgBase;

protected:
    // The value at full precision (see DDX_Exact), then its range check.
    void Value(fw::DataExchange& dx, int id, double& value, double lo, double hi);
};

// ---------------------------------------------------------------------------
// Parts the parts database holds (Load and Store).

class CCapacitorDlg : public CPartDlgBase {
public:
    // Template 204 (every value) or, through CCapacitorDlg2, 205.
    CCapacitorDlg(CCapacitor* record, UINT templateId, const char* caption, fw::Window* parent);
    BOOL OnInitDialog() override;
    void DoDataExchange(fw::DataExchange& dx) override;

    CCapacitor* m_pRecord;
};

// The capacitance and its temperature coefficients; the other values are
// neither shown nor changed.
class CCapacitorDlg2 : public CCapacitorDlg {
public:
    using CCapacitorDlg::CCapacitorDlg;
    void DoDataExchange(fw::DataExchange& dx) override;
};

// Template 220 "Diode Recifier".
class CDiodeRectifierDlg : public CPartDlgBase {
public:
    CDiodeRectifierDlg(CDiode* record, UINT templateId, const char* caption, fw::Window* parent);
    BOOL OnInitDialog() override;
    void DoDataExchange(fw::DataExchange& dx) override;

    CDiode* m_pRecord;
};

// Template 221: two anti-parallel diodes.
class CDiodeRectifierDlg2 : public CDiodeRectifierDlg {
public:
    using CDiodeRectifierDlg::CDiodeRectifierDlg;
    void DoDataExchange(fw::DataExchange& dx) override;
};

// Template 222: forward voltage and dynamic resistance.
class CDiodeDlg : public CDiodeRectifierDlg {
public:
    using CDiodeRectifierDlg::CDiodeRectifierDlg;
    void DoDataExchange(fw::DataExchange& dx) override;
};

// Template 244, or 245 through CResistorDlg2.
class CResistorDlg : public CPartDlgBase {
public:
    CResistorDlg(CResistor* record, UINT templateId, const char* caption, fw::Window* parent);
    BOOL OnInitDialog() override;
    void DoDataExchange(fw::DataExchange& dx) override;

    CResistor* m_pRecord;
};

class CResistorDlg2 : public CResistorDlg {
public:
    using CResistorDlg::CResistorDlg;
    void DoDataExchange(fw::DataExchange& dx) override;
};

// Template 266. The switching times may not exceed one switching period.
class CTransistorFEDlg : public CPartDlgBase {
public:
    CTransistorFEDlg(CTransistorFE* record, UINT templateId, const char* caption, fw::Window* parent);
    BOOL OnInitDialog() override;
    void DoDataExchange(fw::DataExchange& dx) override;

    CTransistorFE* m_pRecord;
    double m_dPeriod;  // seconds
};

// Template 231, with the core saturation characteristic; 232 through
// CInductorDlg2.
class CInductorDlg : public CPartDlgBase {
public:
    CInductorDlg(CInductor* record, UINT templateId, const char* caption, fw::Window* parent);
    BOOL OnInitDialog() override;
    void DoDataExchange(fw::DataExchange& dx) override;
    void OnCoreSatChar();

    CInductor* m_pRecord;
};

class CInductorDlg2 : public CInductorDlg {
public:
    using CInductorDlg::CInductorDlg;
    void DoDataExchange(fw::DataExchange& dx) override;
};

// ---------------------------------------------------------------------------
// Parts without the database.

class CTransistorBPDlg : public CPartDlgBase {
public:
    CTransistorBPDlg(CTransistorBP* record, UINT templateId, const char* caption, fw::Window* parent);
    void DoDataExchange(fw::DataExchange& dx) override;

    CTransistorBP* m_pRecord;
};

// Template 201; callers name it "Sense Amplifier".
class CAmplifierDlg : public CPartDlgBase {
public:
    CAmplifierDlg(CAmplifier* record, UINT templateId, const char* caption, fw::Window* parent);
    void DoDataExchange(fw::DataExchange& dx) override;

    CAmplifier* m_pRecord;
};

// Template 246. The blanking duty ratio is taken only while "Inhibit During
// Reset" is ticked. With forceInhibit the record is inhibited before the
// fields are filled, and the box stays ticked and greyed.
class CSawtoothClockDlg : public CPartDlgBase {
public:
    CSawtoothClockDlg(CSawtoothClock* record, UINT templateId, int forceInhibit, const char* caption,
                      fw::Window* parent);
    BOOL OnInitDialog() override;
    void DoDataExchange(fw::DataExchange& dx) override;

    CSawtoothClock* m_pRecord;
    int m_nForceInhibit;
};

// Template 206: the delay alone.
class CComparatorDlg : public CPartDlgBase {
public:
    CComparatorDlg(CComparator* record, UINT templateId, const char* caption, fw::Window* parent);
    void DoDataExchange(fw::DataExchange& dx) override;

    CComparator* m_pRecord;
    double m_dPeriod;  // seconds
};

// Template 207: the delay and the logic voltage, in volts (0 to 5) or in per
// cent of the input voltage (0 to 100).
class CComparatorDlg2 : public CComparatorDlg {
public:
    CComparatorDlg2(CComparator* record, UINT templateId, const char* caption, fw::Window* parent);
    void DoDataExchange(fw::DataExchange& dx) override;

protected:
    BOOL CanCloseWithOK() override;
};

// Template 208: the delay and the soft-start capacitor discharge.
class CComparatorDlg3 : public CComparatorDlg {
public:
    CComparatorDlg3(CComparator* record, UINT templateId, const char* caption, fw::Window* parent);
    BOOL OnInitDialog() override;
    void DoDataExchange(fw::DataExchange& dx) override;

private:
    void EnableThreshold();
};

class CResetSwitchDlg : public CPartDlgBase {
public:
    CResetSwitchDlg(CResetSwitch* record, UINT templateId, const char* caption, fw::Window* parent);
    void DoDataExchange(fw::DataExchange& dx) override;

    CResetSwitch* m_pRecord;
};

// Template 234. The minimum must stay below the maximum.
class COperationalAmplifierDlg : public CPartDlgBase {
public:
    COperationalAmplifierDlg(COperationalAmplifier* record, UINT templateId, const char* caption, fw::Window* parent);
    void DoDataExchange(fw::DataExchange& dx) override;

    COperationalAmplifier* m_pRecord;

protected:
    BOOL CanCloseWithOK() override;
};

class CUnderVoltLockOutDlg : public CPartDlgBase {
public:
    CUnderVoltLockOutDlg(CUnderVoltLockOut* record, UINT templateId, const char* caption, fw::Window* parent);
    void DoDataExchange(fw::DataExchange& dx) override;

    CUnderVoltLockOut* m_pRecord;
};

// Template 236 (with the warning text) or 237. Outputs that the design's
// requirements do not enable cannot be chosen; a stored choice of one falls
// back to the independently regulated source.
class COptoIsoDriverSourceDlg : public CPartDlgBase {
public:
    COptoIsoDriverSourceDlg(COptoIsoDriverSource* record, UINT templateId, const char* caption, fw::Window* parent);
    BOOL OnInitDialog() override;
    void DoDataExchange(fw::DataExchange& dx) override;

    COptoIsoDriverSource* m_pRecord;
};

// Keeps the form's title: the caption is not applied.
class COptoIsoBiasVoltageDlg : public CPartDlgBase {
public:
    COptoIsoBiasVoltageDlg(COptoIsoBiasVoltage* record, UINT templateId, const char* caption, fw::Window* parent);
    BOOL OnInitDialog() override;
    void DoDataExchange(fw::DataExchange& dx) override;

    COptoIsoBiasVoltage* m_pRecord;
};

// Keeps the form's title: the caption is not applied.
class CTransistorPhotoDlg : public CPartDlgBase {
public:
    CTransistorPhotoDlg(CTransistorPhoto* record, UINT templateId, const char* caption, fw::Window* parent);
    BOOL OnInitDialog() override;
    void DoDataExchange(fw::DataExchange& dx) override;

    CTransistorPhoto* m_pRecord;
};
