#include "platform/ui/DDX.h"

#include <limits>

#include "platform/core/Format.h"
#include "resources/StringTable.h"

namespace fw {

namespace {

std::string Prompt(UINT id) {
    const char* s = res::FindString(id);
    return s ? s : "";
}

[[noreturn]] void FailWith(DataExchange& dx, const std::string& text) {
    MessageBox(text, MB_ICONEXCLAMATION);
    dx.Fail();
}

std::string TrimBlanksAndTabs(const std::string& s) {
    size_t b = 0, e = s.size();
    while (b < e && (s[b] == ' ' || s[b] == '\t')) ++b;
    while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t')) --e;
    return s.substr(b, e - b);
}

std::string G15(double v) { return Format("%.*g", 15, v); }

bool ParseLong(const std::string& text, long long& out) {
    std::string t = TrimBlanksAndTabs(text);
    int v = 0;
    if (!ParseInt(t, v)) return false;
    out = v;
    return true;
}

template <class T>
void IntegerText(DataExchange& dx, int id, T& value) {
    Control* c = dx.PrepareCtrl(id);
    if (!dx.m_bSaveAndValidate) {
        c->SetWindowText(std::to_string(value));
        return;
    }
    long long v = 0;
    if (!ParseLong(c->GetWindowText(), v) || v < static_cast<long long>(std::numeric_limits<T>::min()) ||
        v > static_cast<long long>(std::numeric_limits<T>::max())) {
        FailWith(dx, Prompt(kPromptInteger));
    }
    value = static_cast<T>(v);
}

}  // namespace

bool ParseDialogDouble(const std::string& text, double& value) {
    // The whole text is read: a long number cut short would be taken as a
    // different value.
    std::string t = TrimBlanksAndTabs(text);
    double v = 0;
    if (t.empty() || !ParseDouble(t, v)) return false;
    // A result of zero counts only when written as zero: ".0", "-0" and a
    // number too small to hold are refused.
    if (v == 0.0 && t[0] != '0') return false;
    value = v;
    return true;
}

void DDX_Text(DataExchange& dx, int id, std::string& value) {
    Control* c = dx.PrepareCtrl(id);
    if (dx.m_bSaveAndValidate) value = c->GetWindowText();
    else c->SetWindowText(value);
}

void DDX_Text(DataExchange& dx, int id, double& value) {
    Control* c = dx.PrepareCtrl(id);
    if (!dx.m_bSaveAndValidate) {
        c->SetWindowText(G15(value));
        return;
    }
    double v = 0;
    if (!ParseDialogDouble(c->GetWindowText(), v)) FailWith(dx, Prompt(kPromptNumber));
    value = v;
}

void DDX_Text(DataExchange& dx, int id, int& value) { IntegerText(dx, id, value); }

void DDX_Text(DataExchange& dx, int id, UINT& value) {
    Control* c = dx.PrepareCtrl(id);
    if (!dx.m_bSaveAndValidate) {
        c->SetWindowText(std::to_string(value));
        return;
    }
    unsigned v = 0;
    if (!ParseUInt(TrimBlanksAndTabs(c->GetWindowText()), v)) FailWith(dx, Prompt(kPromptInteger));
    value = v;
}

void DDX_Text(DataExchange& dx, int id, int16_t& value) { IntegerText(dx, id, value); }
void DDX_Text(DataExchange& dx, int id, uint16_t& value) { IntegerText(dx, id, value); }

void DDX_Check(DataExchange& dx, int id, int& value) {
    Control* c = dx.PrepareCtrl(id);
    if (dx.m_bSaveAndValidate) value = c->GetCheck();
    else c->SetCheck(value);
}

void DDX_Radio(DataExchange& dx, int id, int& value) {
    dx.PrepareCtrl(id);
    std::vector<int> group = dx.m_pDlgWnd->RadioGroupOf(id);
    if (dx.m_bSaveAndValidate) value = -1;
    for (size_t i = 0; i < group.size(); ++i) {
        Control* r = dx.m_pDlgWnd->GetDlgItem(group[i]);
        if (dx.m_bSaveAndValidate) {
            if (r->GetCheck()) {
                value = static_cast<int>(i);
                break;
            }
        } else {
            r->SetCheck(static_cast<int>(i) == value ? BST_CHECKED : BST_UNCHECKED);
        }
    }
}

void DDX_CBIndex(DataExchange& dx, int id, int& index) {
    Control* c = dx.PrepareCtrl(id);
    if (dx.m_bSaveAndValidate) index = c->GetCurSel();
    else c->SetCurSel(index);
}

void DDX_LBIndex(DataExchange& dx, int id, int& index) { DDX_CBIndex(dx, id, index); }

void DDX_CBString(DataExchange& dx, int id, std::string& value) {
    Control* c = dx.PrepareCtrl(id);
    if (dx.m_bSaveAndValidate) {
        value = c->GetWindowText();
        return;
    }
    int at = c->FindStringExact(-1, value);
    if (at >= 0) c->SetCurSel(at);
    else c->SetWindowText(value);
}

void DDV_MinMaxDouble(DataExchange& dx, double value, double minVal, double maxVal) {
    if (!dx.m_bSaveAndValidate) return;
    // Written so that a NaN value or bound fails rather than slipping past
    // both comparisons.
    if (!(value >= minVal && value <= maxVal))
        FailWith(dx, Substitute(Prompt(kPromptNumberRange), G15(minVal), G15(maxVal)));
}

void DDV_MinMaxInt(DataExchange& dx, int value, int minVal, int maxVal) {
    if (!dx.m_bSaveAndValidate) return;
    if (value < minVal || value > maxVal)
        FailWith(dx, Substitute(Prompt(kPromptIntegerRange), std::to_string(minVal), std::to_string(maxVal)));
}

void DDV_MinMaxUInt(DataExchange& dx, UINT value, UINT minVal, UINT maxVal) {
    if (!dx.m_bSaveAndValidate) return;
    if (value < minVal || value > maxVal)
        FailWith(dx, Substitute(Prompt(kPromptIntegerRange), std::to_string(minVal), std::to_string(maxVal)));
}

}  // namespace fw
