#include "setup/PointRows.h"

#include "records/Utils.h"

void CPointRows::Clear() {
    m_points.clear();
    if (fw::Control* list = List()) list->ResetContent();
}

int CPointRows::Insert(double first, double second) {
    size_t at = 0;
    while (at < m_points.size() && !(m_points[at].first > first)) ++at;
    m_points.insert(m_points.begin() + static_cast<std::ptrdiff_t>(at), Point{first, second});
    const int row = static_cast<int>(at);
    if (fw::Control* list = List()) {
        list->InsertString(row, m_format(first, second));
        list->SetCurSel(row);
    }
    return row;
}

void CPointRows::Remove(int index) {
    if (index < 0 || index >= static_cast<int>(m_points.size())) return;
    m_points.erase(m_points.begin() + index);
    if (fw::Control* list = List()) list->DeleteString(index);
}

int CPointRows::SelectedPoint(UINT noSelectionMessage) const {
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

void CPointRows::DeleteSelected() {
    const int sel = SelectedPoint(53019);
    if (sel < 0) return;
    Remove(sel);
    const int n = static_cast<int>(m_points.size());
    if (n > 0) List()->SetCurSel(sel < n ? sel : n - 1);
}

void CPointRows::SelectFirst() {
    if (m_points.empty()) return;
    if (fw::Control* list = List()) list->SetCurSel(0);
}
