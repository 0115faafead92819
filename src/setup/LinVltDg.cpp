#include "setup/LinVltDg.h"

#include <cmath>

#include "platform/core/Format.h"
#include "records/Utils.h"

namespace {

using fw::ControlKind;

constexpr unsigned kField = fw::kTabStop | fw::kBorder;

const fw::FormTable kLineVoltageForm{
    IDD_LINE_VOLTAGE,
    "Line Voltage",
    236,
    150,
    fw::kFormCenter,
    {
        {fw::IDC_STATIC, ControlKind::GroupBox, "DC", 7, 5, 222, 34},
        {fw::IDC_STATIC, ControlKind::Static, "Magnitude", 15, 19, 66, 8},
        {IDC_DC_MAGNITUDE, ControlKind::Edit, "", 84, 17, 70, 12, kField | fw::kGroup},
        {fw::IDC_STATIC, ControlKind::Static, "volts", 158, 19, 22, 8},
        {IDC_LINE_DC_TRANSIENT, ControlKind::PushButton, "Transient", 184, 16, 40, 14, fw::kTabStop},
        {fw::IDC_STATIC, ControlKind::GroupBox, "AC", 7, 44, 222, 78},
        {fw::IDC_STATIC, ControlKind::Static, "Peak Magnitude", 15, 58, 66, 8},
        {IDC_AC_PEAK_MAGNITUDE, ControlKind::Edit, "", 84, 56, 70, 12, kField},
        {fw::IDC_STATIC, ControlKind::Static, "volts", 158, 58, 22, 8},
        {IDC_LINE_AC_TRANSIENT, ControlKind::PushButton, "Transient", 184, 55, 40, 14, fw::kTabStop},
        {fw::IDC_STATIC, ControlKind::Static, "RMS Magnitude", 15, 78, 66, 8},
        {IDC_LINE_RMS_MAGNITUDE, ControlKind::Edit, "", 84, 76, 70, 12, fw::kBorder | fw::kDisabled},
        {fw::IDC_STATIC, ControlKind::Static, "volts", 158, 78, 22, 8},
        {fw::IDC_STATIC, ControlKind::Static, "Frequency", 15, 98, 66, 8},
        {IDC_AC_FREQUENCY, ControlKind::Edit, "", 84, 96, 70, 12, kField},
        {fw::IDC_STATIC, ControlKind::Static, "hertz", 158, 98, 22, 8},
        {fw::IDOK, ControlKind::DefPushButton, "OK", 60, 130, 50, 14, fw::kTabStop | fw::kGroup},
        {fw::IDCANCEL, ControlKind::PushButton, "Cancel", 126, 130, 50, 14, fw::kTabStop},
    },
};

// The caption comes from the caller.
const fw::FormTable kTransientTableForm{
    IDD_TRANSIENT_TABLE,
    "",
    200,
    132,
    fw::kFormCenter,
    {
        {fw::IDC_STATIC, ControlKind::GroupBox, "Transient", 7, 5, 186, 100},
        {fw::IDC_STATIC, ControlKind::Static, "Time         Magnitude", 15, 17, 116, 8, fw::kNoPrefix},
        {IDC_TRANSIENT_LIST, ControlKind::ListBox, "", 15, 27, 116, 72, kField | fw::kVScroll | fw::kGroup},
        {IDC_TRANSIENT_ADD, ControlKind::PushButton, "Add", 138, 27, 48, 14, fw::kTabStop},
        {IDC_TRANSIENT_DELETE, ControlKind::PushButton, "Delete", 138, 45, 48, 14, fw::kTabStop},
        {IDC_TRANSIENT_MODIFY, ControlKind::PushButton, "Modify", 138, 63, 48, 14, fw::kTabStop},
        {fw::IDOK, ControlKind::DefPushButton, "OK", 42, 112, 50, 14, fw::kTabStop | fw::kGroup},
        {fw::IDCANCEL, ControlKind::PushButton, "Cancel", 108, 112, 50, 14, fw::kTabStop},
    },
};

fw::FormRegistrar g_lineVoltageForm(kLineVoltageForm);
fw::FormRegistrar g_transientTableForm(kTransientTableForm);

constexpr double kMagnitudeLimit = 10000.0;
constexpr double kMaxFrequency = 10000000.0;
constexpr UINT kMsgNeedsFrequency = 53000;

}  // namespace

// ---------------------------------------------------------------------------
// CLineVoltageDlg

CLineVoltageDlg::CLineVoltageDlg(CLineVoltage* voltage, fw::Window* parent)
    : CComponentDlgBase(IDD_LINE_VOLTAGE, nullptr, parent), m_pVoltage(voltage) {
    OnNotify(IDC_AC_PEAK_MAGNITUDE, fw::EN_SETFOCUS, [this] { OnACPeakSetFocus(); });
    OnNotify(IDC_AC_PEAK_MAGNITUDE, fw::EN_KILLFOCUS, [this] { OnACPeakKillFocus(); });
    OnClicked(IDC_LINE_DC_TRANSIENT, [this] { OnDCTransient(); });
    OnClicked(IDC_LINE_AC_TRANSIENT, [this] { OnACTransient(); });
}

void CLineVoltageDlg::DoDataExchange(fw::DataExchange& dx) {
    CLineVoltage& v = *m_pVoltage;
    DDX_Exact(dx, IDC_AC_PEAK_MAGNITUDE, v.m_dACPeakMagnitude);
    fw::DDV_MinMaxDouble(dx, v.m_dACPeakMagnitude, -kMagnitudeLimit, kMagnitudeLimit);
    DDX_Exact(dx, IDC_AC_FREQUENCY, v.m_dACFrequency);
    if (v.m_dACPeakMagnitude != 0.0) fw::DDV_MinMaxDouble(dx, v.m_dACFrequency, 0.0, kMaxFrequency);
    DDX_Exact(dx, IDC_DC_MAGNITUDE, v.m_dDCMagnitude);
    fw::DDV_MinMaxDouble(dx, v.m_dDCMagnitude, -kMagnitudeLimit, kMagnitudeLimit);
    m_dRMSMagnitude = std::sqrt(2.0) / 2.0 * v.m_dACPeakMagnitude;
    SetDlgItemText(IDC_LINE_RMS_MAGNITUDE, fw::Format("%f", m_dRMSMagnitude));
}

void CLineVoltageDlg::OnOK() {
    if (!UpdateData(TRUE)) return;
    if (GetFocusId() != fw::IDOK) return;
    if (!CanCloseWithOK()) return;
    fw::Dialog::OnOK();
}

BOOL CLineVoltageDlg::CanCloseWithOK() {
    if (m_pVoltage->m_dACPeakMagnitude == 0.0 || m_pVoltage->m_dACFrequency != 0.0) return TRUE;
    Beep();
    ReportMessage(kMsgNeedsFrequency, TRUE);
    return FALSE;
}

void CLineVoltageDlg::OnACPeakSetFocus() { SetDlgItemText(IDC_LINE_RMS_MAGNITUDE, ""); }

void CLineVoltageDlg::OnACPeakKillFocus() {
    // The range message of a failed exchange moves the focus itself; that
    // must not start a second exchange under the first.
    if (m_bInKillFocus) return;
    m_bInKillFocus = true;
    UpdateData(TRUE);
    m_bInKillFocus = false;
}

void CLineVoltageDlg::OnDCTransient() { EditTable(m_pVoltage->m_DCMagnitudeTable, "DC Magnitude Transient"); }

void CLineVoltageDlg::OnACTransient() { EditTable(m_pVoltage->m_ACMagnitudeTable, "AC Magnitude Transient"); }

void CLineVoltageDlg::EditTable(CObArrayTimeMagnitude& table, const char* caption) {
    CObArrayTimeMagnitude copy;
    copy = table;
    CTransientTableDlg dlg(&copy, caption, nullptr);
    if (dlg.DoModal() == fw::IDOK && copy != table) {
        table = copy;
        Invalidate(FALSE);
    }
}

// ---------------------------------------------------------------------------
// CTransientTableDlg

CTransientTableDlg::CTransientTableDlg(CObArrayTimeMagnitude* table, const char* caption, fw::Window* parent)
    : CComponentDlgBase(IDD_TRANSIENT_TABLE, caption, parent), m_pTable(table), m_list(*this, IDC_TRANSIENT_LIST, 0) {
    OnClicked(IDC_TRANSIENT_ADD, [this] { OnAdd(); });
    OnClicked(IDC_TRANSIENT_DELETE, [this] { OnDelete(); });
    OnClicked(IDC_TRANSIENT_MODIFY, [this] { OnModify(); });
}

void CTransientTableDlg::DoDataExchange(fw::DataExchange& dx) {
    if (dx.m_bSaveAndValidate) m_list.Save(*m_pTable);
    else m_list.Fill(*m_pTable);
}

void CTransientTableDlg::OnOK() {
    if (!UpdateData(TRUE)) return;
    if (GetFocusId() != fw::IDOK) return;
    if (!CanCloseWithOK()) return;
    EndDialog(fw::IDOK);
}
