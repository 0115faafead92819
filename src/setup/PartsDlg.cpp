#include "setup/PartsDlg.h"

#include <cmath>
#include <memory>
#include <new>

#include "circuit/DocServices.h"
#include "circuit/Require.h"
#include "records/Utils.h"
#include "setup/CoreSatDlg.h"
#include "setup/PartsForms.h"

namespace {

using namespace parts_forms;

const char* const kFarads = "farads";
const char* const kVolts = "volts";
const char* const kOhms = "ohms";
const char* const kHenries = "henries";
const char* const kSeconds = "seconds";
const char* const kPerKelvin = "%/Kelvin";
const char* const kPerKelvin2 = "%/Kelvin/Kelvin";
const char* const kPerCent = "per cent";

// ---------------------------------------------------------------------------
// Forms

const fw::FormTable kCapacitorForm = ValueForm(
    IDD_CAPACITOR, "Capacitor", true,
    {
        Field(IDC_CAPACITANCE, "Capacitance", kFarads),
        Field(IDC_CAP_BREAKDOWN, "Breakdown Voltage", kVolts),
        Field(IDC_CAP_TC_LINEAR, "Linear Temperature Coefficient of Capacitance", kPerKelvin),
        Field(IDC_CAP_TC_QUAD, "Quadratic Temperature Coefficient of Capacitance", kPerKelvin2),
        Field(IDC_CAP_ESR, "Equivalent Series Resistance", kOhms),
        Field(IDC_CAP_ESR_TC_LINEAR, "Linear Temperature Coefficient of ESR", kPerKelvin),
        Field(IDC_CAP_ESR_TC_QUAD, "Quadratic Temperature Coefficient of ESR", kPerKelvin2),
        Field(IDC_CAP_ESL, "Equivalent Series Inductance", kHenries),
        Field(IDC_CAP_LEAKAGE, "DC Leakage Current at Rated Voltage", "amps"),
        Field(IDC_CAP_LEAKAGE_TC, "Temperature Coefficient of Leakage Current", kPerKelvin),
    },
    true);

const fw::FormTable kCapacitorShortForm = ValueForm(
    IDD_CAPACITOR_SHORT, "Capacitor", true,
    {
        Field(IDC_CAPACITANCE, "Capacitance", kFarads),
        Field(IDC_CAP_TC_LINEAR, "Linear Temperature Coefficient of Capacitance", kPerKelvin),
        Field(IDC_CAP_TC_QUAD, "Quadratic Temperature Coefficient of Capacitance", kPerKelvin2),
    },
    true);

const fw::FormTable kDiodeRectifierForm = ValueForm(
    IDD_DIODE_RECTIFIER, "Diode Recifier", true,
    {
        Field(IDC_DIODE_FORWARD_VOLTAGE, "Forward Voltage", kVolts),
        Field(IDC_DIODE_FORWARD_TC, "Exponential Forward Voltage Temperature Coefficient", "1/Kelvin"),
        Field(IDC_DIODE_RESISTANCE, "Dynamic (Body) Resistance", kOhms),
        Field(IDC_DIODE_BREAKDOWN, "Reverse Breakdown Voltage", kVolts),
        Field(IDC_DIODE_LEAD_INDUCTANCE, "Lead Inductance", kHenries),
        Field(IDC_DIODE_CAPACITANCE, "Junction Capacitance", kFarads),
    },
    true);

const fw::FormTable kDiodeAntiParallelForm = ValueForm(
    IDD_DIODE_ANTI_PARALLEL, "Diode Recifier", true,
    {
        Text("Diode Arrangement is 2 Anti-Parallel Diodes"),
        Field(IDC_DIODE_FORWARD_VOLTAGE, "Forward Voltage", kVolts),
        Field(IDC_DIODE_FORWARD_TC, "Exponential Forward Voltage Temperature Coefficient", "1/Kelvin"),
        Field(IDC_DIODE_RESISTANCE, "Dynamic Resistance", kOhms),
        Field(IDC_DIODE_BREAKDOWN, "Reverse Breakdown Voltage", kVolts),
    },
    true);

const fw::FormTable kDiodeForm = ValueForm(IDD_DIODE, "Diode", true,
                                           {
                                               Field(IDC_DIODE_FORWARD_VOLTAGE, "Forward Voltage", kVolts),
                                               Field(IDC_DIODE_RESISTANCE, "Dynamic Resistance", kOhms),
                                           },
                                           true);

const fw::FormTable kResistorForm =
    ValueForm(IDD_RESISTOR, "Resistor", true,
              {
                  Field(IDC_RESISTANCE, "Resistance", kOhms),
                  Field(IDC_RES_TC_LINEAR, "Linear Temperature Coefficient", "ppm/Kelvin"),
                  Field(IDC_RES_TC_QUAD, "Quadratic Temperature Coefficient", "ppm/Kelvin/Kelvin"),
                  Field(IDC_RES_ESL, "Equivalent Series Inductance", kHenries),
              },
              true);

const fw::FormTable kResistorShortForm =
    ValueForm(IDD_RESISTOR_SHORT, "Resistor", true,
              {
                  Field(IDC_RESISTANCE, "Resistance", kOhms),
                  Field(IDC_RES_TC_LINEAR, "Linear Temperature Coefficient", "ppm/Kelvin"),
                  Field(IDC_RES_TC_QUAD, "Quadratic Temperature Coefficient", "ppm/Kelvin/Kelvin"),
              },
              true);

const fw::FormTable kTransistorFEForm = ValueForm(
    IDD_TRANSISTOR_FE, "Field Effect Transistor", true,
    {
        Field(IDC_FE_ON_RESISTANCE, "On Resistance", kOhms),
        Field(IDC_FE_ON_RESISTANCE_TC, "Linear Temperature Coefficient of On Resistance", kPerKelvin),
        Field(IDC_FE_BREAKDOWN, "Breakdown Voltage, Drain Source", kVolts),
        Field(IDC_FE_TURN_ON_DELAY, "Turn On Delay", kSeconds),
        Field(IDC_FE_RISE_TIME, "Rise Time", kSeconds),
        Field(IDC_FE_TURN_OFF_DELAY, "Turn Off Delay", kSeconds),
        Field(IDC_FE_FALL_TIME, "Fall Time", kSeconds),
        Field(IDC_FE_BODY_DIODE_VOLTAGE, "Body Diode Forward Voltage", kVolts),
        Field(IDC_FE_BODY_DIODE_RESISTANCE, "Body Diode Dynamic Resistance", kOhms),
        Field(IDC_FE_SOURCE_INDUCTANCE, "Source Lead Inductance", kHenries),
        Field(IDC_FE_DRAIN_INDUCTANCE, "Drain Lead Inductance", kHenries),
        Field(IDC_FE_OUTPUT_CAPACITANCE, "Output Capacitance", kFarads),
    },
    true);

const fw::FormTable kInductorForm = ValueForm(IDD_INDUCTOR, "Inductor", true,
                                              {
                                                  Field(IDC_INDUCTANCE, "Zero Current Inductance", kHenries),
                                                  Field(IDC_IND_DC_RESISTANCE, "DC Winding Resistance", kOhms),
                                                  Field(IDC_IND_AC_RESISTANCE, "AC Winding Resistance", kOhms),
                                                  Field(IDC_CORE_POWER_LOSS, "Core Power Loss", "watts"),
                                                  Button(IDC_CORE_SAT_BUTTON, "Core Saturation Characteristics..."),
                                              },
                                              true);

const fw::FormTable kInductorShortForm =
    ValueForm(IDD_INDUCTOR_SHORT, "Inductor", true, {Field(IDC_INDUCTANCE, "Zero Current Inductance", kHenries)},
              true);

const fw::FormTable kTransistorBPForm =
    ValueForm(IDD_TRANSISTOR_BP, "Bipolar Transistor", false,
              {Field(IDC_BP_FORWARD_VOLTAGE, "Forward Bias Base Emitter Voltage", kVolts)}, false);

const fw::FormTable kAmplifierForm =
    ValueForm(IDD_AMPLIFIER, "Dialog", false, {Field(IDC_AMP_GAIN, "Voltage Gain")}, false);

const fw::FormTable kSawtoothClockForm = ValueForm(
    IDD_SAWTOOTH_CLOCK, "Sawtooth / Triangle Timing Ramp", false,
    {
        Field(IDC_SAW_PEAK_TO_VALLEY, "Peak to Valley Voltage", kVolts),
        Field(IDC_SAW_DC_AVERAGE, "DC Average Voltage", kVolts),
        Field(IDC_SAW_SLOPE_DUTY, "Positive Slope Duty Ratio", kPerCent),
        Field(IDC_SAW_FREQUENCY, "Sawtooth Clock Frequency", "hertz"),
        Check(IDC_SAW_INHIBIT, "Inhibit During Reset"),
        Field(IDC_SAW_BLANKING_DUTY, "Leading Edge Blanking Duty Ratio", kPerCent, IDC_FIELD_LABEL, IDC_FIELD_UNIT),
    },
    false);

const fw::FormTable kComparatorForm = ValueForm(
    IDD_COMPARATOR, "Comparator", false, {Field(IDC_CMP_DELAY, "Control to Output Delay", kSeconds)}, false);

const fw::FormTable kComparatorLogicForm =
    ValueForm(IDD_COMPARATOR_LOGIC, "Comparator", false,
              {
                  Field(IDC_CMP_DELAY, "Control to Output Delay", kSeconds),
                  Check(IDC_CMP_LOGIC_PERCENT, "Variable Logic Voltage in Per Cent of Input Voltage"),
                  // The unit follows the box; room for the longer of its texts.
                  Field(IDC_CMP_LOGIC_VOLTAGE, "Logic Voltage ", kPerCent, -1, IDC_FIELD_UNIT),
              },
              false);

const fw::FormTable kComparatorSoftStartForm =
    ValueForm(IDD_COMPARATOR_SOFT_START, "Comparator", false,
              {
                  Field(IDC_CMP_DELAY, "Control to Output Delay", kSeconds),
                  Check(IDC_CMP_SOFT_START, "Enable Soft Start Capacitor Discharge"),
                  Field(IDC_CMP_SOFT_START_THRESHOLD, "Threshold Voltage for Soft Start Capacitor Discharge", kVolts,
                        IDC_FIELD_LABEL, IDC_FIELD_UNIT),
              },
              false);

const fw::FormTable kResetSwitchForm = ValueForm(
    IDD_RESET_SWITCH, "Reset Switch", false, {Field(IDC_RESET_ON_RESISTANCE, "Switch On Resistance", kOhms)}, false);

const fw::FormTable kOperationalAmplifierForm =
    ValueForm(IDD_OPERATIONAL_AMPLIFIER, "Operational Amplifier", false,
              {
                  GroupStart("Output Voltage"),
                  Field(IDC_OPAMP_MINIMUM, "Minimum", kVolts),
                  Field(IDC_OPAMP_MAXIMUM, "Maximum", kVolts),
                  GroupEnd(),
              },
              false);

const fw::FormTable kUnderVoltLockOutForm = ValueForm(IDD_UNDERVOLTAGE_LOCKOUT, "Undervoltage Lock Out", false,
                                                      {
                                                          Field(IDC_UVLO_TURN_ON, "Turn On Voltage", kVolts),
                                                          Field(IDC_UVLO_TURN_OFF, "Turn Off Voltage", kVolts),
                                                      },
                                                      false);

std::vector<Line> DriverSourceLines(bool warning) {
    std::vector<Line> lines;
    if (warning)
        lines.push_back(
            Text("Warning:  This transmitter adds a zero if the\ndriver source is not independently regulated.", 2));
    lines.push_back(GroupStart("Source"));
    lines.push_back(Radio(IDC_DRIVER_INDEPENDENT, "Independently Regulated Source"));
    lines.push_back(Radio(IDC_DRIVER_INDEPENDENT + 1, "Output 1"));
    lines.push_back(Radio(IDC_DRIVER_INDEPENDENT + 2, "Output 2"));
    lines.push_back(Radio(IDC_DRIVER_INDEPENDENT + 3, "Output 3"));
    lines.push_back(Radio(IDC_DRIVER_INDEPENDENT + 4, "Output 4"));
    lines.push_back(GroupEnd());
    lines.push_back(Field(IDC_OPTO_VOLTAGE, "Source Voltage", kVolts));
    return lines;
}

const fw::FormTable kDriverSourceWarningForm =
    ValueForm(IDD_DRIVER_SOURCE_WARNING, "Driver Source", false, DriverSourceLines(true), false);
const fw::FormTable kDriverSourceForm =
    ValueForm(IDD_DRIVER_SOURCE, "Driver Source", false, DriverSourceLines(false), false);

const fw::FormTable kBiasVoltageForm =
    ValueForm(IDD_BIAS_VOLTAGE, "Bias Voltage", false, {Field(IDC_OPTO_VOLTAGE, "Bias Voltage", kVolts)}, false);

const fw::FormTable kTransistorPhotoForm = ValueForm(IDD_TRANSISTOR_PHOTO, "Photo Transistor", false,
                                                     {
                                                         Field(IDC_PHOTO_CTR, "Current Transfer Ratio"),
                                                         Field(IDC_PHOTO_BANDWIDTH, "-3 dB Bandwidth (hertz)"),
                                                     },
                                                     false);

const fw::FormRegistrar g_forms[] = {
    fw::FormRegistrar(kCapacitorForm),         fw::FormRegistrar(kCapacitorShortForm),
    fw::FormRegistrar(kDiodeRectifierForm),    fw::FormRegistrar(kDiodeAntiParallelForm),
    fw::FormRegistrar(kDiodeForm),             fw::FormRegistrar(kResistorForm),
    fw::FormRegistrar(kResistorShortForm),     fw::FormRegistrar(kTransistorFEForm),
    fw::FormRegistrar(kInductorForm),          fw::FormRegistrar(kInductorShortForm),
    fw::FormRegistrar(kTransistorBPForm),      fw::FormRegistrar(kAmplifierForm),
    fw::FormRegistrar(kSawtoothClockForm),     fw::FormRegistrar(kComparatorForm),
    fw::FormRegistrar(kComparatorLogicForm),   fw::FormRegistrar(kComparatorSoftStartForm),
    fw::FormRegistrar(kResetSwitchForm),       fw::FormRegistrar(kOperationalAmplifierForm),
    fw::FormRegistrar(kUnderVoltLockOutForm),  fw::FormRegistrar(kDriverSourceWarningForm),
    fw::FormRegistrar(kDriverSourceForm),      fw::FormRegistrar(kBiasVoltageForm),
    fw::FormRegistrar(kTransistorPhotoForm),
};

void EnableItem(fw::Dialog& dlg, int id, bool enable) {
    if (fw::Control* c = dlg.GetDlgItem(id)) c->EnableWindow(enable ? TRUE : FALSE);
}

const CRequirements& CurrentRequirements() {
    static const CRequirements kDefaults;
    CDocServices* doc = GetCurrentDoc();
    const CRequirements* req = doc ? doc->GetRequirements() : nullptr;
    return req ? *req : kDefaults;
}

}  // namespace

void CPartDlgBase::Value(fw::DataExchange& dx, int id, double& value, double lo, double hi) {
    DDX_Exact(dx, id, value);
    fw::DDV_MinMaxDouble(dx, value, lo, hi);
}

double CurrentSwitchingPeriod() {
    double f = CurrentRequirements().GetSwitchingFrequency();
    // A frequency from a damaged or odd file must not give an infinite or
    // negative limit: the default frequency stands in for it.
    if (!(f > 0.0) || !std::isfinite(1.0 / f)) f = CRequirements().GetSwitchingFrequency();
    return 1.0 / f;
}

void EditCoreSatChar(fw::Dialog& owner, CCoreSatChar& characteristic) {
    if (EditCopy(characteristic, [](CCoreSatChar& copy) {
            return CCoreSatCharListDlg(&copy, IDD_CORE_SAT_LIST, "Core Saturation Characteristics", nullptr).DoModal();
        }))
        owner.Invalidate(FALSE);
}

// ---------------------------------------------------------------------------
// Capacitors

CCapacitorDlg::CCapacitorDlg(CCapacitor* record, UINT templateId, const char* caption, fw::Window* parent)
    : CPartDlgBase(templateId, caption, parent), m_pRecord(record) {
    UseDatabaseButtons(record, &CPartsDbMgr::LoadCapacitor, &CPartsDbMgr::StoreCapacitor);
}

BOOL CCapacitorDlg::OnInitDialog() {
    CComponentDlgBase::OnInitDialog();
    ArrangeDatabaseButtons();
    return FALSE;
}

void CCapacitorDlg::DoDataExchange(fw::DataExchange& dx) {
    CCapacitor& r = *m_pRecord;
    fw::DDX_Text(dx, IDC_PART_NAME, r.m_strName);
    Value(dx, IDC_CAPACITANCE, r.m_dCapacitance, 1e-14, 1.0);
    Value(dx, IDC_CAP_BREAKDOWN, r.m_dBreakdownVoltage, 0.001, 100000.0);
    Value(dx, IDC_CAP_TC_LINEAR, r.m_dCapTempCoefLinear, -20.0, 20.0);
    Value(dx, IDC_CAP_TC_QUAD, r.m_dCapTempCoefQuad, -20.0, 20.0);
    Value(dx, IDC_CAP_ESR, r.m_dEsr, 0.0, 1e8);
    Value(dx, IDC_CAP_ESR_TC_LINEAR, r.m_dEsrTempCoefLinear, -20.0, 20.0);
    Value(dx, IDC_CAP_ESR_TC_QUAD, r.m_dEsrTempCoefQuad, -10.0, 10.0);
    Value(dx, IDC_CAP_ESL, r.m_dEsl, 0.0, 1000.0);
    Value(dx, IDC_CAP_LEAKAGE, r.m_dLeakageCurrent, 0.0, 10000.0);
    Value(dx, IDC_CAP_LEAKAGE_TC, r.m_dLeakageTempCoef, 0.0, 20.0);
}

void CCapacitorDlg2::DoDataExchange(fw::DataExchange& dx) {
    CCapacitor& r = *m_pRecord;
    fw::DDX_Text(dx, IDC_PART_NAME, r.m_strName);
    Value(dx, IDC_CAPACITANCE, r.m_dCapacitance, 1e-14, 1.0);
    Value(dx, IDC_CAP_TC_LINEAR, r.m_dCapTempCoefLinear, -20.0, 20.0);
    Value(dx, IDC_CAP_TC_QUAD, r.m_dCapTempCoefQuad, -20.0, 20.0);
}

// ---------------------------------------------------------------------------
// Diodes

CDiodeRectifierDlg::CDiodeRectifierDlg(CDiode* record, UINT templateId, const char* caption, fw::Window* parent)
    : CPartDlgBase(templateId, caption, parent), m_pRecord(record) {
    UseDatabaseButtons(record, &CPartsDbMgr::LoadDiode, &CPartsDbMgr::StoreDiode);
}

BOOL CDiodeRectifierDlg::OnInitDialog() {
    CComponentDlgBase::OnInitDialog();
    ArrangeDatabaseButtons();
    return FALSE;
}

void CDiodeRectifierDlg::DoDataExchange(fw::DataExchange& dx) {
    CDiode& r = *m_pRecord;
    fw::DDX_Text(dx, IDC_PART_NAME, r.m_strName);
    Value(dx, IDC_DIODE_FORWARD_VOLTAGE, r.m_dForwardVoltage, 0.0, 10.0);
    Value(dx, IDC_DIODE_FORWARD_TC, r.m_dForwardVoltageTempCoef, -0.01, 0.0);
    Value(dx, IDC_DIODE_RESISTANCE, r.m_dDynamicResistance, 0.0, 10000.0);
    Value(dx, IDC_DIODE_BREAKDOWN, r.m_dBreakdownVoltage, 0.5, 100000.0);
    Value(dx, IDC_DIODE_LEAD_INDUCTANCE, r.m_dLeadInductance, 1e-9, 1000.0);
    Value(dx, IDC_DIODE_CAPACITANCE, r.m_dJunctionCapacitance, 1e-13, 0.001);
}

void CDiodeRectifierDlg2::DoDataExchange(fw::DataExchange& dx) {
    CDiode& r = *m_pRecord;
    fw::DDX_Text(dx, IDC_PART_NAME, r.m_strName);
    Value(dx, IDC_DIODE_FORWARD_VOLTAGE, r.m_dForwardVoltage, 0.0, 10.0);
    Value(dx, IDC_DIODE_FORWARD_TC, r.m_dForwardVoltageTempCoef, -0.01, 0.0);
    Value(dx, IDC_DIODE_RESISTANCE, r.m_dDynamicResistance, 1e-6, 10000.0);
    Value(dx, IDC_DIODE_BREAKDOWN, r.m_dBreakdownVoltage, 0.5, 100000.0);
}

void CDiodeDlg::DoDataExchange(fw::DataExchange& dx) {
    CDiode& r = *m_pRecord;
    fw::DDX_Text(dx, IDC_PART_NAME, r.m_strName);
    Value(dx, IDC_DIODE_FORWARD_VOLTAGE, r.m_dForwardVoltage, 0.0, 10.0);
    Value(dx, IDC_DIODE_RESISTANCE, r.m_dDynamicResistance, 1e-6, 10000.0);
}

// ---------------------------------------------------------------------------
// Resistors

CResistorDlg::CResistorDlg(CResistor* record, UINT templateId, const char* caption, fw::Window* parent)
    : CPartDlgBase(templateId, caption, parent), m_pRecord(record) {
    UseDatabaseButtons(record, &CPartsDbMgr::LoadResistor, &CPartsDbMgr::StoreResistor);
}

BOOL CResistorDlg::OnInitDialog() {
    CComponentDlgBase::OnInitDialog();
    ArrangeDatabaseButtons();
    return FALSE;
}

void CResistorDlg::DoDataExchange(fw::DataExchange& dx) {
    CResistor& r = *m_pRecord;
    fw::DDX_Text(dx, IDC_PART_NAME, r.m_strName);
    Value(dx, IDC_RESISTANCE, r.m_dResistance, 1e-8, 1e10);
    Value(dx, IDC_RES_TC_LINEAR, r.m_dTempCoefLinear, -100000.0, 100000.0);
    Value(dx, IDC_RES_TC_QUAD, r.m_dTempCoefQuad, -10000.0, 10000.0);
    Value(dx, IDC_RES_ESL, r.m_dEsl, 0.0, 10000.0);
}

void CResistorDlg2::DoDataExchange(fw::DataExchange& dx) {
    CResistor& r = *m_pRecord;
    fw::DDX_Text(dx, IDC_PART_NAME, r.m_strName);
    // The resistors of the control pictures start at the 1e-6 ohm preset;
    // a higher minimum would refuse an untouched editor.
    Value(dx, IDC_RESISTANCE, r.m_dResistance, 1e-6, 1e10);
    Value(dx, IDC_RES_TC_LINEAR, r.m_dTempCoefLinear, -100000.0, 100000.0);
    Value(dx, IDC_RES_TC_QUAD, r.m_dTempCoefQuad, -10000.0, 10000.0);
}

// ---------------------------------------------------------------------------
// Field effect transistor

CTransistorFEDlg::CTransistorFEDlg(CTransistorFE* record, UINT templateId, const char* caption, fw::Window* parent)
    : CPartDlgBase(templateId, caption, parent), m_pRecord(record), m_dPeriod(CurrentSwitchingPeriod()) {
    UseDatabaseButtons(record, &CPartsDbMgr::LoadTransistorFE, &CPartsDbMgr::StoreTransistorFE);
}

BOOL CTransistorFEDlg::OnInitDialog() {
    CComponentDlgBase::OnInitDialog();
    ArrangeDatabaseButtons();
    return FALSE;
}

void CTransistorFEDlg::DoDataExchange(fw::DataExchange& dx) {
    CTransistorFE& r = *m_pRecord;
    fw::DDX_Text(dx, IDC_PART_NAME, r.m_strName);
    Value(dx, IDC_FE_ON_RESISTANCE, r.m_dOnResistance, 1e-6, 100000.0);
    Value(dx, IDC_FE_ON_RESISTANCE_TC, r.m_dOnResistanceTempCoef, -100.0, 100.0);
    Value(dx, IDC_FE_BREAKDOWN, r.m_dBreakdownVoltage, 0.1, 100000.0);
    Value(dx, IDC_FE_TURN_ON_DELAY, r.m_dTurnOnDelay, 1e-9, m_dPeriod);
    Value(dx, IDC_FE_RISE_TIME, r.m_dRiseTime, 1e-9, m_dPeriod);
    Value(dx, IDC_FE_TURN_OFF_DELAY, r.m_dTurnOffDelay, 1e-9, m_dPeriod);
    Value(dx, IDC_FE_FALL_TIME, r.m_dFallTime, 1e-9, m_dPeriod);
    Value(dx, IDC_FE_BODY_DIODE_VOLTAGE, r.m_dBodyDiodeForwardVoltage, 0.0, 5.0);
    Value(dx, IDC_FE_BODY_DIODE_RESISTANCE, r.m_dBodyDiodeResistance, 1e-6, 10000.0);
    Value(dx, IDC_FE_SOURCE_INDUCTANCE, r.m_dSourceInductance, 1e-9, 0.001);
    Value(dx, IDC_FE_DRAIN_INDUCTANCE, r.m_dDrainInductance, 1e-9, 0.001);
    Value(dx, IDC_FE_OUTPUT_CAPACITANCE, r.m_dOutputCapacitance, 1e-13, 0.0001);
}

// ---------------------------------------------------------------------------
// Inductors

CInductorDlg::CInductorDlg(CInductor* record, UINT templateId, const char* caption, fw::Window* parent)
    : CPartDlgBase(templateId, caption, parent), m_pRecord(record) {
    UseDatabaseButtons(record, &CPartsDbMgr::LoadInductor, &CPartsDbMgr::StoreInductor);
    OnClicked(IDC_CORE_SAT_BUTTON, [this] { OnCoreSatChar(); });
}

BOOL CInductorDlg::OnInitDialog() {
    CComponentDlgBase::OnInitDialog();
    ArrangeDatabaseButtons();
    return FALSE;
}

void CInductorDlg::DoDataExchange(fw::DataExchange& dx) {
    CInductor& r = *m_pRecord;
    fw::DDX_Text(dx, IDC_PART_NAME, r.m_strName);
    Value(dx, IDC_INDUCTANCE, r.m_dInductance, 1e-9, 100.0);
    Value(dx, IDC_IND_DC_RESISTANCE, r.m_dDcResistance, 1e-6, 10000.0);
    Value(dx, IDC_IND_AC_RESISTANCE, r.m_dAcResistance, r.m_dDcResistance, 10000.0);
    Value(dx, IDC_CORE_POWER_LOSS, r.m_dCorePowerLoss, 0.0, 100000.0);
}

void CInductorDlg::OnCoreSatChar() { EditCoreSatChar(*this, m_pRecord->m_CoreSatChar); }

void CInductorDlg2::DoDataExchange(fw::DataExchange& dx) {
    CInductor& r = *m_pRecord;
    fw::DDX_Text(dx, IDC_PART_NAME, r.m_strName);
    Value(dx, IDC_INDUCTANCE, r.m_dInductance, 1e-9, 100.0);
}

// ---------------------------------------------------------------------------
// Control parts

CTransistorBPDlg::CTransistorBPDlg(CTransistorBP* record, UINT templateId, const char* caption, fw::Window* parent)
    : CPartDlgBase(templateId, caption, parent), m_pRecord(record) {}

void CTransistorBPDlg::DoDataExchange(fw::DataExchange& dx) {
    Value(dx, IDC_BP_FORWARD_VOLTAGE, m_pRecord->m_dForwardBiasVoltage, -20.0, 20.0);
}

CAmplifierDlg::CAmplifierDlg(CAmplifier* record, UINT templateId, const char* caption, fw::Window* parent)
    : CPartDlgBase(templateId, caption, parent), m_pRecord(record) {}

void CAmplifierDlg::DoDataExchange(fw::DataExchange& dx) {
    Value(dx, IDC_AMP_GAIN, m_pRecord->m_dVoltageGain, 1e-6, 1e6);
}

CSawtoothClockDlg::CSawtoothClockDlg(CSawtoothClock* record, UINT templateId, int forceInhibit, const char* caption,
                                     fw::Window* parent)
    : CPartDlgBase(templateId, caption, parent), m_pRecord(record), m_nForceInhibit(forceInhibit) {
    OnClicked(IDC_SAW_INHIBIT, [this] { UpdateData(TRUE); });
}

BOOL CSawtoothClockDlg::OnInitDialog() {
    // Inhibited before the first fill, so that the blanking field the user
    // must give is open and shows the record's value.
    if (m_nForceInhibit) m_pRecord->m_nInhibitDuringReset = 1;
    CComponentDlgBase::OnInitDialog();
    if (m_nForceInhibit) {
        CheckDlgButton(IDC_SAW_INHIBIT, fw::BST_CHECKED);
        EnableItem(*this, IDC_SAW_INHIBIT, false);
    }
    return FALSE;
}

void CSawtoothClockDlg::DoDataExchange(fw::DataExchange& dx) {
    CSawtoothClock& r = *m_pRecord;
    Value(dx, IDC_SAW_PEAK_TO_VALLEY, r.m_dPeakToValleyVoltage, 0.01, 100.0);
    Value(dx, IDC_SAW_DC_AVERAGE, r.m_dDcAverageVoltage, 0.01, 100.0);
    Value(dx, IDC_SAW_SLOPE_DUTY, r.m_dPositiveSlopeDutyRatio, 0.0, 100.0);
    Value(dx, IDC_SAW_FREQUENCY, r.m_dFrequency, 0.0001, 1e10);
    int inhibit = r.m_nInhibitDuringReset;
    fw::DDX_Check(dx, IDC_SAW_INHIBIT, inhibit);
    r.m_nInhibitDuringReset = inhibit;
    const bool on = inhibit != 0;
    for (int id : {IDC_SAW_BLANKING_DUTY, IDC_FIELD_LABEL, IDC_FIELD_UNIT}) EnableItem(*this, id, on);
    if (on) Value(dx, IDC_SAW_BLANKING_DUTY, r.m_dBlankingDutyRatio, 0.0, 100.0);
    // The greyed field still shows the record's value, so that ticking the
    // box reads that value rather than an empty field.
    else if (!dx.m_bSaveAndValidate) DDX_Exact(dx, IDC_SAW_BLANKING_DUTY, r.m_dBlankingDutyRatio);
}

CComparatorDlg::CComparatorDlg(CComparator* record, UINT templateId, const char* caption, fw::Window* parent)
    : CPartDlgBase(templateId, caption, parent), m_pRecord(record), m_dPeriod(CurrentSwitchingPeriod()) {}

void CComparatorDlg::DoDataExchange(fw::DataExchange& dx) {
    Value(dx, IDC_CMP_DELAY, m_pRecord->m_dDelay, 1e-10, m_dPeriod);
}

CComparatorDlg2::CComparatorDlg2(CComparator* record, UINT templateId, const char* caption, fw::Window* parent)
    : CComparatorDlg(record, templateId, caption, parent) {
    OnClicked(IDC_CMP_LOGIC_PERCENT, [this] { UpdateData(TRUE); });
}

void CComparatorDlg2::DoDataExchange(fw::DataExchange& dx) {
    CComparator& r = *m_pRecord;
    CComparatorDlg::DoDataExchange(dx);
    int percent = r.m_nLogicVoltageInPercent;
    fw::DDX_Check(dx, IDC_CMP_LOGIC_PERCENT, percent);
    r.m_nLogicVoltageInPercent = percent;
    // Its range depends on the unit; OK checks it.
    DDX_Exact(dx, IDC_CMP_LOGIC_VOLTAGE, r.m_dLogicVoltage);
    SetDlgItemText(IDC_FIELD_UNIT, percent ? kPerCent : kVolts);
}

BOOL CComparatorDlg2::CanCloseWithOK() {
    const double v = m_pRecord->m_dLogicVoltage;
    if (m_pRecord->m_nLogicVoltageInPercent) {
        if (!(v >= 0.0 && v <= 100.0)) {
            ReportMessage(52096, TRUE);
            return FALSE;
        }
    } else if (!(v >= 0.0 && v <= 5.0)) {
        ReportMessage(52097, TRUE);
        return FALSE;
    }
    return TRUE;
}

CComparatorDlg3::CComparatorDlg3(CComparator* record, UINT templateId, const char* caption, fw::Window* parent)
    : CComparatorDlg(record, templateId, caption, parent) {
    OnClicked(IDC_CMP_SOFT_START, [this] {
        if (UpdateData(TRUE)) EnableThreshold();
    });
}

BOOL CComparatorDlg3::OnInitDialog() {
    CComponentDlgBase::OnInitDialog();
    EnableThreshold();
    return FALSE;
}

void CComparatorDlg3::EnableThreshold() {
    fw::Control* label = GetDlgItem(IDC_FIELD_LABEL);
    fw::Control* field = GetDlgItem(IDC_CMP_SOFT_START_THRESHOLD);
    fw::Control* unit = GetDlgItem(IDC_FIELD_UNIT);
    if (!label || !field || !unit) return;
    const BOOL on = m_pRecord->m_nSoftStartDischarge ? TRUE : FALSE;
    label->EnableWindow(on);
    field->EnableWindow(on);
    unit->EnableWindow(on);
}

void CComparatorDlg3::DoDataExchange(fw::DataExchange& dx) {
    CComparator& r = *m_pRecord;
    CComparatorDlg::DoDataExchange(dx);
    int discharge = r.m_nSoftStartDischarge;
    fw::DDX_Check(dx, IDC_CMP_SOFT_START, discharge);
    r.m_nSoftStartDischarge = discharge;
    Value(dx, IDC_CMP_SOFT_START_THRESHOLD, r.m_dSoftStartThreshold, 0.0, 1000.0);
}

CResetSwitchDlg::CResetSwitchDlg(CResetSwitch* record, UINT templateId, const char* caption, fw::Window* parent)
    : CPartDlgBase(templateId, caption, parent), m_pRecord(record) {}

void CResetSwitchDlg::DoDataExchange(fw::DataExchange& dx) {
    Value(dx, IDC_RESET_ON_RESISTANCE, m_pRecord->m_dOnResistance, 1e-6, 1e6);
}

COperationalAmplifierDlg::COperationalAmplifierDlg(COperationalAmplifier* record, UINT templateId,
                                                   const char* caption, fw::Window* parent)
    : CPartDlgBase(templateId, caption, parent), m_pRecord(record) {}

void COperationalAmplifierDlg::DoDataExchange(fw::DataExchange& dx) {
    COperationalAmplifier& r = *m_pRecord;
    // The minimum is held to the maximum stored before this exchange.
    Value(dx, IDC_OPAMP_MINIMUM, r.m_dMinimumOutput, -1000.0, r.m_dMaximumOutput);
    Value(dx, IDC_OPAMP_MAXIMUM, r.m_dMaximumOutput, r.m_dMinimumOutput, 1000.0);
}

BOOL COperationalAmplifierDlg::CanCloseWithOK() {
    if (!(m_pRecord->m_dMinimumOutput < m_pRecord->m_dMaximumOutput)) {
        ReportMessage(52124, TRUE);
        return FALSE;
    }
    return TRUE;
}

CUnderVoltLockOutDlg::CUnderVoltLockOutDlg(CUnderVoltLockOut* record, UINT templateId, const char* caption,
                                           fw::Window* parent)
    : CPartDlgBase(templateId, caption, parent), m_pRecord(record) {}

void CUnderVoltLockOutDlg::DoDataExchange(fw::DataExchange& dx) {
    Value(dx, IDC_UVLO_TURN_ON, m_pRecord->m_dTurnOnVoltage, 0.1, 1e6);
    Value(dx, IDC_UVLO_TURN_OFF, m_pRecord->m_dTurnOffVoltage, 0.1, 1e6);
}

// ---------------------------------------------------------------------------
// Opto-isolator parts

COptoIsoDriverSourceDlg::COptoIsoDriverSourceDlg(COptoIsoDriverSource* record, UINT templateId, const char* caption,
                                                 fw::Window* parent)
    : CPartDlgBase(templateId, caption, parent), m_pRecord(record) {
    OnClicked(IDC_DRIVER_INDEPENDENT, [this] { EnableItem(*this, IDC_OPTO_VOLTAGE, true); });
    for (int k = 1; k <= 4; ++k)
        OnClicked(IDC_DRIVER_INDEPENDENT + k, [this] { EnableItem(*this, IDC_OPTO_VOLTAGE, false); });
}

BOOL COptoIsoDriverSourceDlg::OnInitDialog() {
    const CRequirements& req = CurrentRequirements();
    for (int k = 4; k >= 1; --k) {
        if (req.IsOutputEnabled(k - 1)) continue;
        EnableItem(*this, IDC_DRIVER_INDEPENDENT + k, false);
        if (m_pRecord->m_nDriverSource == k) m_pRecord->m_nDriverSource = 0;
    }
    fw::Dialog::OnInitDialog();
    FocusFirstControl();
    return FALSE;
}

void COptoIsoDriverSourceDlg::DoDataExchange(fw::DataExchange& dx) {
    DDX_RadioKeep(dx, IDC_DRIVER_INDEPENDENT, m_pRecord->m_nDriverSource);
    Value(dx, IDC_OPTO_VOLTAGE, m_pRecord->m_dSourceVoltage, 1.0, 1000.0);
}

COptoIsoBiasVoltageDlg::COptoIsoBiasVoltageDlg(COptoIsoBiasVoltage* record, UINT templateId, const char* caption,
                                               fw::Window* parent)
    : CPartDlgBase(templateId, caption, parent), m_pRecord(record) {}

BOOL COptoIsoBiasVoltageDlg::OnInitDialog() {
    fw::Dialog::OnInitDialog();
    FocusFirstControl();
    return FALSE;
}

void COptoIsoBiasVoltageDlg::DoDataExchange(fw::DataExchange& dx) {
    Value(dx, IDC_OPTO_VOLTAGE, m_pRecord->m_dBiasVoltage, 1.0, 1000.0);
}

CTransistorPhotoDlg::CTransistorPhotoDlg(CTransistorPhoto* record, UINT templateId, const char* caption,
                                         fw::Window* parent)
    : CPartDlgBase(templateId, caption, parent), m_pRecord(record) {}

BOOL CTransistorPhotoDlg::OnInitDialog() {
    fw::Dialog::OnInitDialog();
    FocusFirstControl();
    return FALSE;
}

void CTransistorPhotoDlg::DoDataExchange(fw::DataExchange& dx) {
    Value(dx, IDC_PHOTO_CTR, m_pRecord->m_dCurrentTransferRatio, 0.001, 1000.0);
    Value(dx, IDC_PHOTO_BANDWIDTH, m_pRecord->m_dBandwidth, 100.0, 1e10);
}
