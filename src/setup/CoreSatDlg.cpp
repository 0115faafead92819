#include "setup/CoreSatDlg.h"

#include "platform/core/Format.h"
#include "records/Utils.h"
#include "setup/PartsForms.h"

namespace {

using fw::ControlKind;
constexpr unsigned kField = fw::kTabStop | fw::kBorder;

const fw::FormTable kListForm{
    IDD_CORE_SAT_LIST,
    "Core Saturation Characteristics",
    214,
    136,
    fw::kFormCenter,
    {
        {fw::IDC_STATIC, ControlKind::Static, "Current                 Inductance", 7, 7, 140, 8, fw::kNoPrefix},
        {IDC_CORE_SAT_LIST, ControlKind::ListBox, "", 7, 17, 140, 90, kField | fw::kVScroll | fw::kGroup},
        {IDC_CORE_SAT_ADD, ControlKind::PushButton, "Add", 156, 17, 50, 14, fw::kTabStop},
        {IDC_CORE_SAT_DELETE, ControlKind::PushButton, "Delete", 156, 35, 50, 14, fw::kTabStop},
        {IDC_CORE_SAT_MODIFY, ControlKind::PushButton, "Modify", 156, 53, 50, 14, fw::kTabStop},
        {fw::IDOK, ControlKind::DefPushButton, "OK", 45, 116, 50, 14, fw::kTabStop | fw::kGroup},
        {fw::IDCANCEL, ControlKind::PushButton, "Cancel", 119, 116, 50, 14, fw::kTabStop},
    },
};

const fw::FormTable kPointForm = parts_forms::ValueForm(IDD_CORE_SAT_POINT, "", false,
                                                        {
                                                            parts_forms::Field(IDC_CORE_SAT_CURRENT, "Current", "amps"),
                                                            parts_forms::Field(IDC_CORE_SAT_INDUCTANCE, "Inductance",
                                                                               "henries"),
                                                        },
                                                        false);

const fw::FormRegistrar g_listForm(kListForm);
const fw::FormRegistrar g_pointForm(kPointForm);

constexpr int kCodeBadMode = 3605;

}  // namespace

// ---------------------------------------------------------------------------
// CCoreSatCharListDlg

CCoreSatCharListDlg::CCoreSatCharListDlg(CCoreSatChar* characteristic, UINT templateId, const char* caption,
                                         fw::Window* parent)
    : CPartDlgBase(templateId, caption, parent),
      m_pCoreSatChar(characteristic),
      m_rows(*this, IDC_CORE_SAT_LIST, &FormatRow) {
    OnClicked(IDC_CORE_SAT_ADD, [this] { OnAdd(); });
    OnClicked(IDC_CORE_SAT_DELETE, [this] { OnDelete(); });
    OnClicked(IDC_CORE_SAT_MODIFY, [this] { OnModify(); });
}

std::string CCoreSatCharListDlg::FormatRow(double current, double inductance) {
    return fw::Format("%7.3e\t%7.3e", current, inductance);
}

void CCoreSatCharListDlg::DoDataExchange(fw::DataExchange& dx) {
    if (dx.m_bSaveAndValidate) ReadList();
    else FillList();
}

void CCoreSatCharListDlg::FillList() {
    m_rows.Clear();
    const CObArrayCurrentInductance& points = m_pCoreSatChar->m_arPoints;
    for (int i = 0; i < points.GetCount(); ++i)
        if (const CObCurrentInductance* p = points.GetPointAt(i)) InsertPoint(p->m_dCurrent, p->m_dInductance);
    m_rows.SelectFirst();
}

void CCoreSatCharListDlg::ReadList() {
    CObArrayCurrentInductance& points = m_pCoreSatChar->m_arPoints;
    points.DeleteAll();
    const std::vector<Point>& rows = m_rows.Points();
    for (size_t i = 0; i < rows.size(); ++i)
        points.AddCopy(static_cast<int>(i), CObCurrentInductance(rows[i].first, rows[i].second));
}

void CCoreSatCharListDlg::InsertPoint(double current, double inductance) { m_rows.Insert(current, inductance); }

void CCoreSatCharListDlg::OnAdd() {
    CCoreSatCharDlg dlg(CCoreSatCharDlg::MODE_ADD, 1.0, 1e-9, nullptr, nullptr);
    if (dlg.DoModal() == fw::IDOK) InsertPoint(dlg.m_dCurrent, dlg.m_dInductance);
}

void CCoreSatCharListDlg::OnDelete() { m_rows.DeleteSelected(); }

void CCoreSatCharListDlg::OnModify() {
    const int sel = m_rows.SelectedPoint(53020);
    if (sel < 0) return;
    const Point p = m_rows.Points()[size_t(sel)];
    CCoreSatCharDlg dlg(CCoreSatCharDlg::MODE_MODIFY, p.first, p.second, nullptr, nullptr);
    if (dlg.DoModal() != fw::IDOK) return;
    m_rows.Remove(sel);
    InsertPoint(dlg.m_dCurrent, dlg.m_dInductance);
}

// ---------------------------------------------------------------------------
// CCoreSatCharDlg

CCoreSatCharDlg::CCoreSatCharDlg(int mode, double current, double inductance, const char* caption, fw::Window* parent)
    : CPartDlgBase(IDD_CORE_SAT_POINT, caption, parent),
      m_dCurrent(current),
      m_dInductance(inductance),
      m_nMode(mode) {}

BOOL CCoreSatCharDlg::OnInitDialog() {
    fw::Dialog::OnInitDialog();
    switch (m_nMode) {
    case MODE_ADD: SetWindowText("Add Core Saturation Characteristics"); break;
    case MODE_MODIFY: SetWindowText("Modify Core Saturation Characteristics"); break;
    default: ReportMessage1(kModulePartsDlg, kCodeBadMode, FALSE); break;
    }
    FocusFirstControl();
    return FALSE;
}

void CCoreSatCharDlg::DoDataExchange(fw::DataExchange& dx) {
    Value(dx, IDC_CORE_SAT_CURRENT, m_dCurrent, 0.0, 100000.0);
    Value(dx, IDC_CORE_SAT_INDUCTANCE, m_dInductance, 1e-9, 100.0);
}

BOOL CCoreSatCharDlg::CanCloseWithOK() {
    if (m_dCurrent == 0.0) {
        ReportMessage(52033, TRUE);
        return FALSE;
    }
    return TRUE;
}
