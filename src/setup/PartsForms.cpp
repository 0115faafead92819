#include "setup/PartsForms.h"

#include <algorithm>
#include <cstring>

#include "setup/DlgIds.h"

namespace parts_forms {

namespace {

using fw::ControlKind;

constexpr int kMargin = 7;
constexpr int kRow = 16;        // one field line
constexpr int kEditWidth = 72;
constexpr int kEditHeight = 12;
constexpr int kGap = 5;
constexpr int kButtonWidth = 50;
constexpr int kButtonHeight = 14;
constexpr unsigned kField = fw::kTabStop | fw::kBorder;

}  // namespace

int TextWidth(const std::string& text) {
    // A character averages four dialog units; capitals and the wide letters
    // are allowed more, narrow ones less.
    int width = 0;
    for (char c : text) {
        if (c == 'm' || c == 'w' || c == 'M' || c == 'W' || c == '%') width += 6;
        else if (c >= 'A' && c <= 'Z') width += 5;
        else if (c == 'i' || c == 'l' || c == 'j' || c == 't' || c == 'f' || c == 'r' || c == ' ' || c == '.' ||
                 c == ',' || c == '(' || c == ')' || c == '/' || c == '-')
            width += 2;
        else width += 4;
    }
    return width + 6;
}

void AddButtonRow(std::vector<fw::FormControl>& controls, int cx, int y, bool withDatabase) {
    if (withDatabase) {
        // Load, Store, OK, Cancel spread over the row; while the database is
        // off the dialog hides the first two and centres the others.
        const int step = (cx - 2 * kMargin - kButtonWidth) / 3;
        controls.push_back({IDC_DB_LOAD, ControlKind::PushButton, "Load", kMargin, y, kButtonWidth, kButtonHeight,
                            fw::kTabStop});
        controls.push_back({IDC_DB_STORE, ControlKind::PushButton, "Store", kMargin + step, y, kButtonWidth,
                            kButtonHeight, fw::kTabStop});
        controls.push_back({fw::IDOK, ControlKind::DefPushButton, "OK", kMargin + 2 * step, y, kButtonWidth,
                            kButtonHeight, fw::kTabStop | fw::kGroup});
        controls.push_back({fw::IDCANCEL, ControlKind::PushButton, "Cancel", kMargin + 3 * step, y, kButtonWidth,
                            kButtonHeight, fw::kTabStop});
        return;
    }
    controls.push_back({fw::IDOK, ControlKind::DefPushButton, "OK", cx / 2 - kButtonWidth - 6, y, kButtonWidth,
                        kButtonHeight, fw::kTabStop | fw::kGroup});
    controls.push_back(
        {fw::IDCANCEL, ControlKind::PushButton, "Cancel", cx / 2 + 6, y, kButtonWidth, kButtonHeight, fw::kTabStop});
}

fw::FormTable ValueForm(UINT id, const char* title, bool withName, const std::vector<Line>& lines,
                        bool withDatabase) {
    // Column widths from the texts.
    int labelWidth = withName ? TextWidth("Name or Part Number") : 0;
    int unitWidth = 0;
    int wideWidth = 0;  // lines that span the form
    for (const Line& l : lines) {
        switch (l.kind) {
        case Line::Field:
            labelWidth = std::max(labelWidth, TextWidth(l.label));
            if (l.unit) unitWidth = std::max(unitWidth, TextWidth(l.unit));
            break;
        case Line::Check:
        case Line::Radio: wideWidth = std::max(wideWidth, TextWidth(l.label) + 14); break;
        case Line::Text: {
            // The longest of its lines.
            const char* s = l.label;
            while (s && *s) {
                const char* e = std::strchr(s, '\n');
                const size_t n = e ? size_t(e - s) : std::strlen(s);
                wideWidth = std::max(wideWidth, TextWidth(std::string(s, n)));
                s = e ? e + 1 : s + n;
            }
            break;
        }
        case Line::Button: wideWidth = std::max(wideWidth, TextWidth(l.label) + 12); break;
        default: break;
        }
    }
    bool grouped = false;
    for (const Line& l : lines) grouped = grouped || l.kind == Line::GroupStart;
    const int inset = grouped ? 8 : 0;
    const int editX = kMargin + inset + labelWidth + 4;
    const int unitX = editX + kEditWidth + 4;
    int cx = std::max({unitX + unitWidth + kMargin + inset, kMargin * 2 + inset * 2 + wideWidth,
                       withDatabase ? 4 * kButtonWidth + 3 * 8 + 2 * kMargin : 2 * kButtonWidth + 12 + 2 * kMargin});

    std::vector<fw::FormControl> c;
    int y = kMargin;
    bool firstTab = true;
    auto tabStyle = [&firstTab](unsigned style) {
        if (firstTab) {
            firstTab = false;
            return style | fw::kGroup;
        }
        return style;
    };
    if (withName) {
        c.push_back(
            {fw::IDC_STATIC, ControlKind::Static, "Name or Part Number", kMargin + inset, y + 2, labelWidth, 8});
        c.push_back({1000, ControlKind::Edit, "", editX, y, cx - kMargin - inset - editX, kEditHeight,
                     tabStyle(kField)});
        y += kRow + kGap;
    }
    int groupTop = 0;
    bool firstRadio = true;
    for (const Line& l : lines) {
        switch (l.kind) {
        case Line::Field:
            c.push_back({l.labelId, ControlKind::Static, l.label, kMargin + inset, y + 2, labelWidth, 8});
            c.push_back({l.id, ControlKind::Edit, "", editX, y, kEditWidth, kEditHeight, tabStyle(kField)});
            if (l.unit) c.push_back({l.unitId, ControlKind::Static, l.unit, unitX, y + 2, unitWidth, 8});
            y += kRow;
            break;
        case Line::Check:
            c.push_back({l.id, ControlKind::CheckBox, l.label, kMargin + inset, y, TextWidth(l.label) + 14, 10,
                         tabStyle(fw::kTabStop) | fw::kGroup});
            y += kRow;
            break;
        case Line::Radio:
            c.push_back({l.id, ControlKind::RadioButton, l.label, kMargin + inset, y, TextWidth(l.label) + 14, 10,
                         firstRadio ? tabStyle(fw::kTabStop) | fw::kGroup : 0u});
            firstRadio = false;
            y += 13;
            break;
        case Line::Text:
            c.push_back({fw::IDC_STATIC, ControlKind::Static, l.label, kMargin + inset, y, cx - 2 * (kMargin + inset),
                         10 * l.lines, fw::kNoPrefix});
            y += 10 * l.lines + 4;
            break;
        case Line::Button:
            c.push_back({l.id, ControlKind::PushButton, l.label, kMargin + inset, y, TextWidth(l.label) + 12,
                         kButtonHeight, tabStyle(fw::kTabStop)});
            y += kButtonHeight + kGap;
            break;
        case Line::GroupStart:
            groupTop = y;
            c.push_back({fw::IDC_STATIC, ControlKind::GroupBox, l.label, kMargin, y, cx - 2 * kMargin, 0});
            y += 12;
            break;
        case Line::GroupEnd:
            for (auto it = c.rbegin(); it != c.rend(); ++it) {
                if (it->kind == ControlKind::GroupBox && it->cy == 0) {
                    it->cy = y - groupTop + 2;
                    break;
                }
            }
            y += kGap + 2;
            // A field after the group starts a new tab group.
            firstTab = true;
            break;
        case Line::Gap: y += kGap; break;
        }
    }
    y += kGap;
    AddButtonRow(c, cx, y, withDatabase);
    const int cy = y + kButtonHeight + 6;
    return {id, title, cx, cy, fw::kFormCenter, std::move(c)};
}

}  // namespace parts_forms
