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
    m_rows.Clear();
    for (int i = 0; i < table.GetCount(); ++i)
        if (const CObTimeMagnitude* p = table.GetPointAt(i)) m_rows.Insert(p->m_dTime, p->m_dMagnitude);
    m_rows.SelectFirst();
}

void CTransientList::Save(CObArrayTimeMagnitude& table) const {
    table.DeleteAll();
    CObTimeMagnitude point;
    const std::vector<Point>& points = m_rows.Points();
    for (size_t i = 0; i < points.size(); ++i) {
        point.m_dTime = points[i].first;
        point.m_dMagnitude = points[i].second;
        table.AddCopy(static_cast<int>(i), point);
    }
}

int CTransientList::Insert(double time, double magnitude) { return m_rows.Insert(time, magnitude); }

void CTransientList::OnAdd() {
    CTransientDataDlg dlg(static_cast<int16_t>(m_kind), CTransientDataDlg::MODE_ADD, 0.0, 0.0, nullptr, &m_dialog);
    if (dlg.DoModal() == fw::IDOK) Insert(dlg.m_dTime, dlg.m_dMagnitude);
}

void CTransientList::OnDelete() { m_rows.DeleteSelected(); }

void CTransientList::OnModify() {
    const int sel = m_rows.SelectedPoint(53020);
    if (sel < 0) return;
    const Point p = m_rows.Points()[size_t(sel)];
    CTransientDataDlg dlg(static_cast<int16_t>(m_kind), CTransientDataDlg::MODE_MODIFY, p.first, p.second, nullptr,
                          &m_dialog);
    if (dlg.DoModal() != fw::IDOK) return;
    m_rows.Remove(sel);
    Insert(dlg.m_dTime, dlg.m_dMagnitude);
}

BOOL CTransientList::ConfirmZeroTimePoints() const {
    const char* text = res::FindString(54029);
    for (const Point& p : m_rows.Points()) {
        if (p.first != 0.0 || p.second == 0.0) continue;
        if (fw::MessageBox(text ? text : "", fw::MB_YESNO) != fw::IDYES) return FALSE;
    }
    return TRUE;
}
