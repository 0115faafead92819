#include "setup/BaseDlg.h"

#include "records/Utils.h"

namespace {

struct DbResultRow {
    int result;
    int code;    // BaseDlg code logged first
    UINT message;  // 0: log only
};

// Results of the parts database and how each is told to the user.
constexpr DbResultRow kDbResults[] = {
    {-1, 1600, 53004}, {1, 1601, 52038},  {2, 1602, 52084},  {3, 1603, 52035},  {4, 1604, 52034},
    {5, 1605, 52037},  {6, 1606, 52126},  {7, 1607, 52078},  {8, 1608, 52079},  {9, 1609, 52121},
    {10, 1610, 52039}, {12, 1611, 52144}, {13, 1612, 52040}, {14, 1613, 52041}, {15, 1614, 52134},
    {16, 1615, 52143}, {17, 1616, 0},     {18, 1617, 52023}, {19, 1618, 52087}, {20, 1619, 0},
    {21, 1620, 0},     {22, 1621, 0},
};
constexpr int kDbResultSilent = 23;
constexpr DbResultRow kDbResultOther{0, 1622, 52147};

}  // namespace

CComponentDlgBase::CComponentDlgBase(UINT templateId, const char* caption, fw::Window* parent)
    : fw::Dialog(templateId, parent) {
    if (caption) m_caption = caption;
    OnClicked(static_cast<int>(ID_POPUP_OK), [this] { OnPopupOK(); });
    OnClicked(IDC_DB_LOAD, [this] { OnLoad(); });
    OnClicked(IDC_DB_STORE, [this] { OnStore(); });
}

BOOL CComponentDlgBase::OnInitDialog() {
    fw::Dialog::OnInitDialog();
    if (m_caption) SetWindowText(*m_caption);
    FocusFirstControl();
    return FALSE;
}

void CComponentDlgBase::OnOK() {
    if (!UpdateData(TRUE)) return;
    if (GetFocusId() != fw::IDOK) {
        // Enter in a field checks the fields but does not close.
        Beep();
        return;
    }
    if (!CanCloseWithOK()) return;
    fw::Dialog::OnOK();
}

void CComponentDlgBase::OnRButtonDown(UINT flags, fw::Point p) { TrackContextMenu(IDR_DIALOG_POPUPS, 0, p); }

void CComponentDlgBase::OnPopupOK() {
    if (!UpdateData(TRUE)) return;
    if (!CanCloseWithOK()) return;
    EndDialog(fw::IDOK);
}

void CComponentDlgBase::ReportDbResult(int result) {
    if (result == kDbResultSilent) return;
    DbResultRow row = kDbResultOther;
    for (const DbResultRow& r : kDbResults)
        if (r.result == result) row = r;
    ReportMessage1(kModuleBaseDlg, row.code, FALSE);
    if (row.message) ReportMessage(row.message, TRUE);
}

void CComponentDlgBase::OnLoad() {
    if (!m_load) return;
    int32_t code = m_load();
    if (code != 0) ReportDbResult(code);
    UpdateData(FALSE);
}

void CComponentDlgBase::OnStore() {
    if (!m_store) return;
    if (!UpdateData(TRUE)) return;
    int32_t code = m_store();
    if (code != 0) ReportDbResult(code);
}

void CComponentDlgBase::ArrangeDatabaseButtons() {
    if (g_PartsDbMgr.IsEnabled()) return;
    for (int id : {IDC_DB_LOAD, IDC_DB_STORE})
        if (fw::Control* c = GetDlgItem(id)) c->ShowWindow(fw::SW_HIDE);
    const fw::Rect client = GetClientRect();
    const int y = client.Height() - 32;
    if (fw::Control* ok = GetDlgItem(fw::IDOK)) {
        const fw::Rect r = ok->GetRect();
        ok->MoveWindow(client.Width() / 2 - r.Width() - 10, y, r.Width(), r.Height(), TRUE);
    }
    if (fw::Control* cancel = GetDlgItem(fw::IDCANCEL)) {
        const fw::Rect r = cancel->GetRect();
        cancel->MoveWindow(client.Width() / 2 + 10, y, r.Width(), r.Height(), TRUE);
    }
}

void CComponentDlgBase::DDX_Exact(fw::DataExchange& dx, int id, double& value) {
    if (!dx.m_bSaveAndValidate) {
        fw::DDX_Text(dx, id, value);
        m_shown[id] = {GetDlgItemText(id), value};
        return;
    }
    double v = value;
    fw::DDX_Text(dx, id, v);
    auto it = m_shown.find(id);
    if (it != m_shown.end() && it->second.text == GetDlgItemText(id)) v = it->second.value;
    value = v;
}

void CComponentDlgBase::DDX_RadioKeep(fw::DataExchange& dx, int firstId, int32_t& value) {
    int position = value;
    fw::DDX_Radio(dx, firstId, position);
    if (dx.m_bSaveAndValidate && position >= 0) value = position;
}

void CComponentDlgBase::FocusFirstControl() {
    if (GetFocusId()) return;
    for (const auto& c : Controls()) {
        if (c->CanTakeFocus()) {
            GotoDlgCtrl(c.get());
            return;
        }
    }
}
