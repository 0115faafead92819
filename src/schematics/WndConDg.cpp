#include "schematics/WndConDg.h"

#include <vector>

#include "platform/ui/Form.h"
#include "platform/ui/Services.h"
#include "records/Utils.h"
#include "schematics/Pictures.h"
#include "schematics/SchemBase.h"
#include "setup/XfmrDlg.h"

namespace {

using T = CSecondaryWindingConnectionsDlg;

struct Choice {
    int id;
    int terminal;
    int code;
    const char* text;
};

// Each terminal's buttons; a link names the partner it joins.
const Choice kChoices[] = {
    {1700, T::H, T::kGround, "H to Ground"},       {1701, T::H, T::kRectifier, "H to Rectifier Only"},
    {1702, T::G, T::kLink, "G to F"},              {1703, T::G, T::kGround, "G to Ground"},
    {1704, T::G, T::kRectifier, "G to Rectifier Only"}, {1705, T::F, T::kLink, "F to G"},
    {1706, T::F, T::kGround, "F to Ground"},       {1707, T::F, T::kRectifier, "F to Rectifier Only"},
    {1708, T::E, T::kLink, "E to D"},              {1709, T::E, T::kGround, "E to Ground"},
    {1710, T::E, T::kRectifier, "E to Rectifier Only"}, {1711, T::D, T::kLink, "D to E"},
    {1712, T::D, T::kGround, "D to Ground"},       {1713, T::D, T::kRectifier, "D to Rectifier Only"},
    {1714, T::C, T::kLink, "C to B"},              {1715, T::C, T::kGround, "C to Ground"},
    {1716, T::C, T::kRectifier, "C to Rectifier Only"}, {1717, T::B, T::kLink, "B to C"},
    {1718, T::B, T::kGround, "B to Ground"},       {1719, T::B, T::kRectifier, "B to Rectifier Only"},
    {1720, T::A, T::kGround, "A to Ground"},       {1721, T::A, T::kRectifier, "A to Rectifier Only"},
};

const Choice* ChoiceOf(int id) {
    for (const Choice& c : kChoices)
        if (c.id == id) return &c;
    return nullptr;
}

// Winding n has upper terminal 2n-1 and lower 2n-2 (B and A, D and C ...).
int OtherEnd(int terminal) { return terminal ^ 1; }
// The link partner: G-F, E-D, C-B; -1 for H and A.
int Partner(int terminal) {
    switch (terminal) {
    case T::G: return T::F;
    case T::F: return T::G;
    case T::E: return T::D;
    case T::D: return T::E;
    case T::C: return T::B;
    case T::B: return T::C;
    default: return -1;
    }
}
int ButtonOf(int terminal, int code) {
    for (const Choice& c : kChoices)
        if (c.terminal == terminal && c.code == code) return c.id;
    return 0;
}

fw::FormTable MakeForm() {
    using K = fw::ControlKind;
    std::vector<fw::FormControl> c;
    const struct {
        const char* title;
        int x, y;
        int first, last;
    } boxes[] = {{"Winding 4", 120, 4, 1700, 1704},
                 {"Winding 3", 120, 84, 1705, 1710},
                 {"Winding 2", 228, 4, 1711, 1716},
                 {"Winding 1", 228, 84, 1717, 1721}};
    bool first = true;
    for (const auto& b : boxes) {
        const int rows = b.last - b.first + 1;
        c.push_back({fw::IDC_STATIC, K::GroupBox, b.title, b.x, b.y, 100, 16 + 11 * rows});
        for (int id = b.first; id <= b.last; ++id)
            c.push_back({id, K::RadioButton, ChoiceOf(id)->text, b.x + 6, b.y + 12 + 11 * (id - b.first), 90, 10,
                         fw::kTabStop | (first ? fw::kGroup : 0u)});
        first = false;
    }
    c.push_back({IDC_WND_DEFAULT, K::PushButton, "Default", 120, 196, 50, 14, fw::kTabStop | fw::kGroup});
    c.push_back({fw::IDOK, K::DefPushButton, "OK", 190, 196, 50, 14, fw::kTabStop});
    c.push_back({fw::IDCANCEL, K::PushButton, "Cancel", 260, 196, 50, 14, fw::kTabStop});
    return {IDD_WINDING_CONNECTIONS, "Secondary Winding Connections", 336, 218, fw::kFormCenter, c};
}

const fw::FormTable kWindingForm = MakeForm();
const fw::FormRegistrar kRegisterWindingForm(kWindingForm);

}  // namespace

CSecondaryWindingConnectionsDlg::CSecondaryWindingConnectionsDlg(CPwrTransformer* record,
                                                                 const CRequirements* requirements, fw::Window* parent)
    : fw::Dialog(IDD_WINDING_CONNECTIONS, parent), m_pRecord(record), m_pRequirements(requirements) {}

bool CSecondaryWindingConnectionsDlg::WindingOn(int winding) const {
    const auto* out = m_pRequirements ? m_pRequirements->GetOutput(winding - 1) : nullptr;
    return out && out->IsEnabled();
}

BOOL CSecondaryWindingConnectionsDlg::OnInitDialog() {
    fw::Dialog::OnInitDialog();
    fw::Image picture;
    if (!LoadSectionPicture(kWindingPicture, picture)) {
        ReportMessage1(kModuleWndConDg, 21201, FALSE);
        ReportMessage(52025, TRUE);
    }
    for (int w = 4; w >= 1; --w) {
        if (WindingOn(w)) continue;
        const int upper = 2 * w - 1, lower = 2 * w - 2;
        for (int t : {upper, lower}) {
            Code(t) = kOpen;
            for (const Choice& c : kChoices)
                if (c.terminal == t) GetDlgItem(c.id)->EnableWindow(FALSE);
            const int p = Partner(t);
            if (p >= 0) {
                if (Code(p) == kLink) Code(p) = kOpen;
                GetDlgItem(ButtonOf(p, kLink))->EnableWindow(FALSE);
            }
        }
    }
    for (const Choice& c : kChoices) OnClicked(c.id, [this, id = c.id] { OnChoice(id); });
    OnClicked(IDC_WND_DEFAULT, [this] { OnDefault(); });
    ShowValues();
    return FALSE;
}

void CSecondaryWindingConnectionsDlg::ShowValues() {
    for (const Choice& c : kChoices) {
        fw::Control* b = GetDlgItem(c.id);
        if (!b) {
            ReportMessage1(kModuleWndConDg, Code(c.terminal) == c.code ? 21202 : 21203, FALSE);
            continue;
        }
        b->SetCheck(Code(c.terminal) == c.code ? fw::BST_CHECKED : fw::BST_UNCHECKED);
    }
}

void CSecondaryWindingConnectionsDlg::OnChoice(int id) {
    if (const Choice* c = ChoiceOf(id)) {
        if (c->code == kLink) {
            Code(c->terminal) = kLink;
            Code(Partner(c->terminal)) = kLink;
        } else {
            Code(c->terminal) = c->code;
            if (Code(OtherEnd(c->terminal)) == c->code) Code(OtherEnd(c->terminal)) = kOpen;
            const int p = Partner(c->terminal);
            if (p >= 0 && Code(p) == kLink) Code(p) = kOpen;
        }
    }
    ApplyChainRule(id);
    ShowValues();
}

// Windings joined by links form series chains; the two ends of a chain
// must not both go to ground, nor both to the rectifier. Every chain is
// held to it, not only the first one found: with links 4-3 and 2-1 the
// lower chain could otherwise short two windings in series.
void CSecondaryWindingConnectionsDlg::ApplyChainRule(int chosenId) {
    auto linked = [this](int upperWinding) {  // the link between winding n and n-1
        const int low = 2 * upperWinding - 2;  // lower terminal of the upper winding
        return Code(low) == kLink && Code(low - 1) == kLink;
    };
    int w = 4;
    while (w >= 1) {
        int bottom = w;
        while (bottom > 1 && linked(bottom)) --bottom;
        if (bottom != w) {
            const int p = 2 * w - 1, q = 2 * bottom - 2;  // top end, bottom end
            for (int v : {int(kGround), int(kRectifier)}) {
                if (Code(p) != v || Code(q) != v) continue;
                const int other = v == kGround ? kRectifier : kGround;
                if (chosenId == ButtonOf(p, v)) Code(q) = other;
                else if (chosenId == ButtonOf(q, v)) Code(p) = other;
                else Code(q) = other;
            }
        }
        w = bottom - 1;
    }
}

void CSecondaryWindingConnectionsDlg::OnDefault() {
    for (int w = 1; w <= 4; ++w) {
        const bool on = WindingOn(w);
        Code(2 * w - 1) = on ? kRectifier : kOpen;
        Code(2 * w - 2) = on ? kGround : kOpen;
    }
    ShowValues();
}

void CSecondaryWindingConnectionsDlg::OnOK() {
    for (int w = 1; w <= 4; ++w)
        if (WindingOn(w) && (Code(2 * w - 1) == kOpen || Code(2 * w - 2) == kOpen)) {
            ReportMessage(52165, TRUE);
            return;
        }
    if (GetFocusId() != fw::IDOK) {
        fw::MessageBeep();
        return;
    }
    EndDialog(fw::IDOK);
}

void CSecondaryWindingConnectionsDlg::OnPaint(fw::Canvas& dc) {
    fw::Image picture;
    if (LoadSectionPicture(kWindingPicture, picture)) dc.DrawImage(picture, kPictureX, kPictureY);
    else ReportMessage1(kModuleWndConDg, 21205, FALSE);
}

void RegisterWindingConnectionsDialog() {
    SetWindingConnectionsEditor([](CPwrTransformer& copy, const CRequirements& requirements) {
        CSecondaryWindingConnectionsDlg dlg(&copy, &requirements, nullptr);
        return dlg.DoModal();
    });
}
