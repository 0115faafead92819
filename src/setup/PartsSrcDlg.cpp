#include "setup/PartsSrcDlg.h"

#include "records/Utils.h"

namespace {

using fw::ControlKind;
using fw::FormControl;
using fw::FormTable;

constexpr unsigned kField = fw::kTabStop | fw::kBorder;
constexpr unsigned kFirstRadio = fw::kGroup | fw::kTabStop;

// Source with DC, AC and transient parts (214 amps, 271 volts).
FormTable SourceForm(UINT id, const char* title, const char* unit) {
    return {id,
            title,
            232,
            214,
            fw::kFormCenter,
            {
                {fw::IDC_STATIC, ControlKind::GroupBox, "DC", 7, 5, 218, 30},
                {fw::IDC_STATIC, ControlKind::Static, "Magnitude", 15, 18, 60, 8},
                {IDC_DC_MAGNITUDE, ControlKind::Edit, "", 82, 16, 70, 12, kField | fw::kGroup},
                {fw::IDC_STATIC, ControlKind::Static, unit, 158, 18, 40, 8},
                {fw::IDC_STATIC, ControlKind::GroupBox, "AC", 7, 39, 218, 46},
                {fw::IDC_STATIC, ControlKind::Static, "Peak Magnitude", 15, 52, 62, 8},
                {IDC_AC_PEAK_MAGNITUDE, ControlKind::Edit, "", 82, 50, 70, 12, kField},
                {fw::IDC_STATIC, ControlKind::Static, unit, 158, 52, 40, 8},
                {fw::IDC_STATIC, ControlKind::Static, "Frequency", 15, 68, 62, 8},
                {IDC_AC_FREQUENCY, ControlKind::Edit, "", 82, 66, 70, 12, kField},
                {fw::IDC_STATIC, ControlKind::Static, "hertz", 158, 68, 40, 8},
                {fw::IDC_STATIC, ControlKind::GroupBox, "Transient", 7, 89, 218, 98},
                {fw::IDC_STATIC, ControlKind::Static, "Time         Magnitude", 15, 101, 140, 8, fw::kNoPrefix},
                {IDC_TRANSIENT_LIST, ControlKind::ListBox, "", 15, 111, 140, 70, kField | fw::kVScroll},
                {IDC_TRANSIENT_ADD, ControlKind::PushButton, "Add", 165, 111, 50, 14, fw::kTabStop},
                {IDC_TRANSIENT_DELETE, ControlKind::PushButton, "Delete", 165, 129, 50, 14, fw::kTabStop},
                {IDC_TRANSIENT_MODIFY, ControlKind::PushButton, "Modify", 165, 147, 50, 14, fw::kTabStop},
                {fw::IDOK, ControlKind::DefPushButton, "OK", 58, 194, 50, 14, fw::kTabStop | fw::kGroup},
                {fw::IDCANCEL, ControlKind::PushButton, "Cancel", 124, 194, 50, 14, fw::kTabStop},
            }};
}

// DC value only (215 amps, 272 volts).
FormTable DCSourceForm(UINT id, const char* title, const char* unit) {
    return {id,
            title,
            180,
            64,
            fw::kFormCenter,
            {
                {fw::IDC_STATIC, ControlKind::GroupBox, "DC", 7, 5, 166, 30},
                {fw::IDC_STATIC, ControlKind::Static, "Magnitude", 15, 18, 50, 8},
                {IDC_DC_MAGNITUDE, ControlKind::Edit, "", 68, 16, 60, 12, kField | fw::kGroup},
                {fw::IDC_STATIC, ControlKind::Static, unit, 134, 18, 34, 8},
                {fw::IDOK, ControlKind::DefPushButton, "OK", 32, 43, 50, 14, fw::kTabStop | fw::kGroup},
                {fw::IDCANCEL, ControlKind::PushButton, "Cancel", 98, 43, 50, 14, fw::kTabStop},
            }};
}

const FormTable kCurrentSourceForm = SourceForm(IDD_CURRENT_SOURCE, "Current Source", "amps");
const FormTable kVoltageSourceForm = SourceForm(IDD_VOLTAGE_SOURCE, "Voltage Source", "volts");
const FormTable kDCCurrentSourceForm = DCSourceForm(IDD_DC_CURRENT_SOURCE, "Current Source", "amps");
const FormTable kDCVoltageSourceForm = DCSourceForm(IDD_DC_VOLTAGE_SOURCE, "Voltage Source", "volts");

// One transient point; the title and the unit text are set when it opens.
const FormTable kTransientDataForm{
    IDD_TRANSIENT_DATA,
    "",
    190,
    80,
    fw::kFormCenter,
    {
        {fw::IDC_STATIC, ControlKind::GroupBox, "", 7, 5, 176, 48},
        {fw::IDC_STATIC, ControlKind::Static, "Time", 15, 18, 40, 8},
        {IDC_TRANSIENT_TIME, ControlKind::Edit, "", 60, 16, 70, 12, kField | fw::kGroup},
        {fw::IDC_STATIC, ControlKind::Static, "seconds", 136, 18, 40, 8},
        {fw::IDC_STATIC, ControlKind::Static, "Magnitude", 15, 35, 40, 8},
        {IDC_TRANSIENT_MAGNITUDE, ControlKind::Edit, "", 60, 33, 70, 12, kField},
        {IDC_TRANSIENT_UNITS, ControlKind::Static, "", 136, 35, 40, 8},
        {fw::IDOK, ControlKind::DefPushButton, "OK", 37, 60, 50, 14, fw::kTabStop | fw::kGroup},
        {fw::IDCANCEL, ControlKind::PushButton, "Cancel", 103, 60, 50, 14, fw::kTabStop},
    },
};

const FormTable kFeedbackSenseForm{
    IDD_FEEDBACK_CURRENT_SOURCE,
    "Feedback Current Source",
    170,
    86,
    fw::kFormCenter,
    {
        {fw::IDC_STATIC, ControlKind::GroupBox, "", 7, 5, 156, 54},
        {IDC_SENSE_PRIMARY_SWITCH, ControlKind::RadioButton, "Primary Switch", 17, 16, 130, 10, kFirstRadio},
        {IDC_SENSE_CHOKE, ControlKind::RadioButton, "Choke", 17, 29, 130, 10},
        {IDC_SENSE_OUTPUT_CAPACITOR, ControlKind::RadioButton, "Output Filter Capacitor", 17, 42, 130, 10},
        {fw::IDOK, ControlKind::DefPushButton, "OK", 27, 66, 50, 14, fw::kTabStop | fw::kGroup},
        {fw::IDCANCEL, ControlKind::PushButton, "Cancel", 93, 66, 50, 14, fw::kTabStop},
    },
};

const FormTable kPrimaryChokeSenseForm{
    IDD_CURRENT_SOURCE_PRI_CHOKE,
    "",
    170,
    73,
    fw::kFormCenter,
    {
        {fw::IDC_STATIC, ControlKind::GroupBox, "", 7, 5, 156, 41},
        {IDC_SENSE_PRIMARY_SWITCH, ControlKind::RadioButton, "Primary Switch", 17, 16, 130, 10, kFirstRadio},
        {IDC_SENSE_CHOKE, ControlKind::RadioButton, "Choke", 17, 29, 130, 10},
        {fw::IDOK, ControlKind::DefPushButton, "OK", 27, 53, 50, 14, fw::kTabStop | fw::kGroup},
        {fw::IDCANCEL, ControlKind::PushButton, "Cancel", 93, 53, 50, 14, fw::kTabStop},
    },
};

const FormTable kChokeCapacitorSenseForm{
    IDD_CURRENT_SOURCE_CHOKE_CAP,
    "",
    170,
    73,
    fw::kFormCenter,
    {
        {fw::IDC_STATIC, ControlKind::GroupBox, "", 7, 5, 156, 41},
        {IDC_SENSE_CHOKE, ControlKind::RadioButton, "Choke", 17, 16, 130, 10, kFirstRadio},
        {IDC_SENSE_OUTPUT_CAPACITOR, ControlKind::RadioButton, "Output Filter Capacitor", 17, 29, 130, 10},
        {fw::IDOK, ControlKind::DefPushButton, "OK", 60, 53, 50, 14, fw::kTabStop | fw::kGroup},
    },
};

fw::FormRegistrar g_currentSourceForm(kCurrentSourceForm);
fw::FormRegistrar g_voltageSourceForm(kVoltageSourceForm);
fw::FormRegistrar g_dcCurrentSourceForm(kDCCurrentSourceForm);
fw::FormRegistrar g_dcVoltageSourceForm(kDCVoltageSourceForm);
fw::FormRegistrar g_transientDataForm(kTransientDataForm);
fw::FormRegistrar g_feedbackSenseForm(kFeedbackSenseForm);
fw::FormRegistrar g_primaryChokeSenseForm(kPrimaryChokeSenseForm);
fw::FormRegistrar g_chokeCapacitorSenseForm(kChokeCapacitorSenseForm);

constexpr double kMagnitudeLimit = 10000.0;
constexpr double kMinACFrequency = 0.0001;
constexpr double kMaxACFrequency = 10000000.0;
constexpr double kMaxTransientTime = 1000000.0;

// Internal codes of the point dialog.
constexpr int kCodeBadMode = 3810;
constexpr int kCodeNoUnitControl = 3811;
constexpr int kCodeBadKind = 3812;

}  // namespace

// ---------------------------------------------------------------------------
// CCrntVoltSourceDlg

CCrntVoltSourceDlg::CCrntVoltSourceDlg(CCrntVoltSource* source, int16_t kind, UINT templateId, const char* caption,
                                       fw::Window* parent)
    : CComponentDlgBase(templateId, caption, parent), m_pSource(source), m_nKind(kind), m_list(*this, IDC_TRANSIENT_LIST, kind) {
    OnClicked(IDC_TRANSIENT_ADD, [this] { OnAdd(); });
    OnClicked(IDC_TRANSIENT_DELETE, [this] { OnDelete(); });
    OnClicked(IDC_TRANSIENT_MODIFY, [this] { OnModify(); });
}

void CCrntVoltSourceDlg::DoDataExchange(fw::DataExchange& dx) {
    if (dx.m_bSaveAndValidate) m_list.Save(m_pSource->m_Transient);
    else m_list.Fill(m_pSource->m_Transient);

    DDX_Exact(dx, IDC_AC_PEAK_MAGNITUDE, m_pSource->m_dACPeakMagnitude);
    fw::DDV_MinMaxDouble(dx, m_pSource->m_dACPeakMagnitude, -kMagnitudeLimit, kMagnitudeLimit);
    DDX_Exact(dx, IDC_AC_FREQUENCY, m_pSource->m_dACFrequency);
    // A frequency matters only with a sine to go with it.
    if (m_pSource->m_dACPeakMagnitude != 0.0)
        fw::DDV_MinMaxDouble(dx, m_pSource->m_dACFrequency, kMinACFrequency, kMaxACFrequency);
    DDX_Exact(dx, IDC_DC_MAGNITUDE, m_pSource->m_dDCMagnitude);
    fw::DDV_MinMaxDouble(dx, m_pSource->m_dDCMagnitude, -kMagnitudeLimit, kMagnitudeLimit);
}

void CCrntVoltSourceDlg::OnOK() {
    if (!UpdateData(TRUE)) return;
    // Enter in a field only takes the data.
    if (GetFocusId() != fw::IDOK) return;
    if (!m_list.ConfirmZeroTimePoints()) return;
    fw::Dialog::OnOK();
}

// ---------------------------------------------------------------------------
// CDCSourceDlg

CDCSourceDlg::CDCSourceDlg(CCrntVoltSource* source, UINT templateId, const char* caption, fw::Window* parent)
    : CComponentDlgBase(templateId, caption, parent), m_pSource(source) {}

void CDCSourceDlg::DoDataExchange(fw::DataExchange& dx) {
    DDX_Exact(dx, IDC_DC_MAGNITUDE, m_pSource->m_dDCMagnitude);
    fw::DDV_MinMaxDouble(dx, m_pSource->m_dDCMagnitude, -kMagnitudeLimit, kMagnitudeLimit);
}

// ---------------------------------------------------------------------------
// CTransientDataDlg

CTransientDataDlg::CTransientDataDlg(int16_t kind, int32_t mode, double time, double magnitude, const char* caption,
                                     fw::Window* parent)
    : CComponentDlgBase(IDD_TRANSIENT_DATA, caption, parent),
      m_nKind(kind),
      m_nMode(mode),
      m_dTime(time),
      m_dMagnitude(magnitude) {}

BOOL CTransientDataDlg::OnInitDialog() {
    fw::Dialog::OnInitDialog();
    switch (m_nMode) {
    case MODE_ADD: SetWindowText("Add Transient Data"); break;
    case MODE_MODIFY: SetWindowText("Modify Transient Data"); break;
    default: ReportMessage1(kModulePartsSrc, kCodeBadMode, FALSE); break;
    }
    if (fw::Control* units = GetDlgItem(IDC_TRANSIENT_UNITS)) {
        switch (m_nKind) {
        case 0: units->SetWindowText("volts"); break;
        case 1: units->SetWindowText("amperes"); break;
        default: ReportMessage1(kModulePartsSrc, kCodeBadKind, FALSE); break;
        }
    } else {
        ReportMessage1(kModulePartsSrc, kCodeNoUnitControl, FALSE);
    }
    FocusFirstControl();
    return FALSE;
}

void CTransientDataDlg::DoDataExchange(fw::DataExchange& dx) {
    DDX_Exact(dx, IDC_TRANSIENT_TIME, m_dTime);
    fw::DDV_MinMaxDouble(dx, m_dTime, 0.0, kMaxTransientTime);
    DDX_Exact(dx, IDC_TRANSIENT_MAGNITUDE, m_dMagnitude);
    fw::DDV_MinMaxDouble(dx, m_dMagnitude, -kMagnitudeLimit, kMagnitudeLimit);
}

// ---------------------------------------------------------------------------
// CCrntSensSourceDlg

CCrntSensSourceDlg::CCrntSensSourceDlg(CCrntSensSource* source, UINT templateId, const char* caption,
                                       fw::Window* parent)
    : CComponentDlgBase(templateId, caption, parent), m_pSource(source) {}

int CCrntSensSourceDlg::FirstButton() const {
    return GetTemplateId() == IDD_CURRENT_SOURCE_CHOKE_CAP ? IDC_SENSE_CHOKE : IDC_SENSE_PRIMARY_SWITCH;
}

int CCrntSensSourceDlg::Offset() const { return GetTemplateId() == IDD_CURRENT_SOURCE_CHOKE_CAP ? 1 : 0; }

void CCrntSensSourceDlg::DoDataExchange(fw::DataExchange& dx) {
    // With no button checked (a value this template has no button for) the
    // record keeps its value.
    const int32_t value = m_pSource->m_iSensedCurrent;
    int position = value < Offset() ? -1 : value - Offset();
    fw::DDX_Radio(dx, FirstButton(), position);
    if (dx.m_bSaveAndValidate && position >= 0) m_pSource->m_iSensedCurrent = position + Offset();
}
