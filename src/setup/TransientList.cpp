#include "setup/TransientList.h"

#include "platform/core/Format.h"
#include "platform/ui/Services.h"
#include "records/Utils.h"
#include "resources/StringTable.h"
#include "setup/PartsSrcDlg.h"

namespace {

// A row has room for 30 characters; a magnitude too large for "%.4f" in that
// room (only a table from a file can hold one) is shown in exponent form.
constexpr size_t kRowRoom = 30;

}  // namespace

std::string CTransientList::FormatRow(double time, double magnitude) {
    std::string row = fw::Format("%7.3e\t%.4f", time, magnitude);
    if (row.size() > kRowRoom) row = fw::Format("%7.3e\t%.4e", time, magnitude);
    return row;
}

void CTransientList::Fill(const CObArrayTimeMagnitude& table) {
    m_points.clear();
    if (fw::Control* list = List()) list->ResetContent();
    for (int i = 0; i < table.GetCount(); ++i)
        if (const CObTimeMagnitude* p = table.GetPointAt(i)) Insert(p->m_dTime, p->m_dMagnitude);
    if (!m_points.empty())
        if (fw::Control* list = List()) list->SetCurSel(0);
}

void CTransientList::Save(CObArrayTimeMagnitude& table) const {
    table.DeleteAll();
    CObTimeMagnitude point;
    for (size_t i = 0; i < m_points.size(); ++i) {
        point.m_dTime = m_points[i].time;
        point.m_dMagnitude = m_points[i].magnitude;
        table.AddCopy(static_cast<int>(i), point);
    }
}

int CTransientList::Insert(double time, double magnitude) {
    size_t at = 0;
    while (at < m_points.size() && !(m_points[at].time > time)) ++at;
    m_points.insert(m_points.begin() + static_cast<std::ptrdiff_t>(at), Point{time, magnitude});
    const int row = static_cast<int>(at);
    if (fw::Control* list = List()) {
        list->InsertString(row, FormatRow(time, magnitude));
        list->SetCurSel(row);
    }
    return row;
}

void CTransientList::OnAdd() {
    CTransientDataDlg dlg(static_cast<int16_t>(m_kind), CTransientDataDlg::MODE_ADD, 0.0, 0.0, nullptr, &m_dialog);
    if (dlg.DoModal() == fw::IDOK) Insert(dlg.m_dTime, dlg.m_dMagnitude);
}

int CTransientList::SelectedPoint(UINT noSelectionMessage) const {
    fw::Control* list = List();
    if (!list || m_points.empty()) {
        Beep();
        return -1;
    }
    const int sel = list->GetCurSel();
    if (sel < 0 || sel >= static_cast<int>(m_points.size())) {
        ReportMessage(noSelectionMessage, TRUE);
        return -1;
    }
    return sel;
}

void CTransientList::OnDelete() {
    const int sel = SelectedPoint(53019);
    if (sel < 0) return;
    fw::Control* list = List();
    list->DeleteString(sel);
    m_points.erase(m_points.begin() + sel);
    if (!m_points.empty()) list->SetCurSel(sel < static_cast<int>(m_points.size()) ? sel : static_cast<int>(m_points.size()) - 1);
}

void CTransientList::OnModify() {
    const int sel = SelectedPoint(53020);
    if (sel < 0) return;
    const Point p = m_points[sel];
    CTransientDataDlg dlg(static_cast<int16_t>(m_kind), CTransientDataDlg::MODE_MODIFY, p.time, p.magnitude, nullptr,
                          &m_dialog);
    if (dlg.DoModal() != fw::IDOK) return;
    List()->DeleteString(sel);
    m_points.erase(m_points.begin() + sel);
    Insert(dlg.m_dTime, dlg.m_dMagnitude);
}

BOOL CTransientList::ConfirmZeroTimePoints() const {
    const char* text = res::FindString(54029);
    for (const Point& p : m_points) {
        if (p.time != 0.0 || p.magnitude == 0.0) continue;
        if (fw::MessageBox(text ? text : "", fw::MB_YESNO) != fw::IDYES) return FALSE;
    }
    return TRUE;
}
