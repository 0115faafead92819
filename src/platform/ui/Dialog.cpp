#include "platform/ui/Dialog.h"

#include <algorithm>
#include <cctype>

#include "platform/ui/Commands.h"
#include "platform/ui/DDX.h"

namespace fw {

namespace {

// A failed exchange unwinds DoDataExchange to UpdateData.
struct DataExchangeFailure {};

int MulDivRound(int v, int mul, int div) {
    long long p = static_cast<long long>(v) * mul;
    return static_cast<int>(p >= 0 ? (p + div / 2) / div : -((-p + div / 2) / div));
}

std::string Lower(const std::string& s) {
    std::string out = s;
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

}  // namespace

// ---------------------------------------------------------------------------
// Control

Control::Control(Dialog* owner, const FormControl& form, const Rect& pixels)
    : owner_(owner),
      id_(form.id),
      kind_(form.kind),
      style_(form.style),
      text_(form.caption ? form.caption : ""),
      enabled_(!(form.style & kDisabled)),
      visible_(!(form.style & kHidden)),
      rect_(pixels) {
    if (kind_ == ControlKind::ListBox || kind_ == ControlKind::ComboBox) text_.clear();
}

bool Control::IsButtonLike() const {
    return kind_ == ControlKind::PushButton || kind_ == ControlKind::DefPushButton ||
           kind_ == ControlKind::OwnerDrawButton;
}

bool Control::CanTakeFocus() const {
    if (!enabled_ || !visible_) return false;
    switch (kind_) {
    case ControlKind::Static:
    case ControlKind::GroupBox:
    case ControlKind::EtchedLine:
        return false;
    default:
        return true;
    }
}

void Control::Changed() {
    if (owner_) owner_->ControlChanged(*this);
}

void Control::SetWindowText(const std::string& text) {
    if (text_ == text) return;
    text_ = text;
    Changed();
}

void Control::EnableWindow(BOOL enable) {
    bool e = enable != FALSE;
    if (enabled_ == e) return;
    enabled_ = e;
    Changed();
}

void Control::ShowWindow(int cmd) {
    bool v = cmd != SW_HIDE;
    if (visible_ == v) return;
    visible_ = v;
    Changed();
}

void Control::SetCheck(int state) {
    if (check_ == state) return;
    check_ = state;
    Changed();
}

void Control::SetFocus() {
    if (owner_) owner_->GotoDlgCtrl(this);
}

void Control::Invalidate(BOOL erase) { Changed(); }

Rect Control::GetWindowRect() const {
    Rect r = rect_;
    if (owner_) {
        Point origin = owner_->ClientToScreen({0, 0});
        r.Offset(origin.x, origin.y);
    }
    return r;
}

void Control::MoveWindow(int x, int y, int cx, int cy, BOOL repaint) {
    Rect r = Rect::FromXYWH(x, y, cx, cy);
    if (r == rect_) return;
    rect_ = r;
    if (owner_) owner_->ControlMoved(*this);
}

void Control::SetWindowPos(int x, int y, int cx, int cy, unsigned flags) {
    Rect r = rect_;
    if (!(flags & SWP_NOMOVE)) r = Rect::FromXYWH(x, y, r.Width(), r.Height());
    if (!(flags & SWP_NOSIZE)) {
        r.right = r.left + cx;
        r.bottom = r.top + cy;
    }
    MoveWindow(r, TRUE);
}

int Control::AddString(const std::string& row) {
    int index = static_cast<int>(rows_.size());
    if (style_ & kSort) {
        std::string key = Lower(row);
        index = 0;
        while (index < static_cast<int>(rows_.size()) && Lower(rows_[index]) <= key) ++index;
    }
    return InsertString(index, row);
}

int Control::InsertString(int index, const std::string& row) {
    if (index < 0 || index > static_cast<int>(rows_.size())) index = static_cast<int>(rows_.size());
    rows_.insert(rows_.begin() + index, row);
    data_.insert(data_.begin() + index, 0);
    if (curSel_ >= index) ++curSel_;
    Changed();
    return index;
}

int Control::DeleteString(int index) {
    if (index < 0 || index >= static_cast<int>(rows_.size())) return LB_ERR;
    rows_.erase(rows_.begin() + index);
    data_.erase(data_.begin() + index);
    if (curSel_ == index) curSel_ = -1;
    else if (curSel_ > index) --curSel_;
    Changed();
    return static_cast<int>(rows_.size());
}

void Control::ResetContent() {
    rows_.clear();
    data_.clear();
    curSel_ = -1;
    if (kind_ == ControlKind::ComboBox) text_.clear();
    Changed();
}

int Control::SetCurSel(int index) {
    if (index < -1 || index >= static_cast<int>(rows_.size())) {
        curSel_ = -1;
        Changed();
        return LB_ERR;
    }
    curSel_ = index;
    if (kind_ == ControlKind::ComboBox) text_ = index >= 0 ? rows_[index] : std::string();
    Changed();
    return index < 0 ? LB_ERR : index;
}

std::string Control::GetText(int index) const {
    if (index < 0 || index >= static_cast<int>(rows_.size())) return {};
    return rows_[index];
}

int Control::FindStringExact(int startAfter, const std::string& row) const {
    int n = static_cast<int>(rows_.size());
    std::string key = Lower(row);
    for (int k = 1; k <= n; ++k) {
        int i = ((startAfter < 0 ? -1 : startAfter) + k) % n;
        if (Lower(rows_[i]) == key) return i;
    }
    return LB_ERR;
}

BOOL Control::SetItemData(int index, intptr_t data) {
    if (index < 0 || index >= static_cast<int>(data_.size())) return FALSE;
    data_[index] = data;
    return TRUE;
}

intptr_t Control::GetItemData(int index) const {
    if (index < 0 || index >= static_cast<int>(data_.size())) return LB_ERR;
    return data_[index];
}

// ---------------------------------------------------------------------------
// Dialog

Dialog::Dialog(UINT templateId, Window* parent) : templateId_(templateId), form_(FindForm(templateId)) {
    parent_ = parent;
}

Dialog::Dialog(const FormTable& form, Window* parent) : templateId_(form.id), form_(&form) { parent_ = parent; }

Dialog::~Dialog() {
    if (host_) DestroyWindow();
}

int Dialog::DoModal() {
    ended_ = false;
    result_ = 0;
    return Windows().RunModal(*this);
}

BOOL Dialog::Create(Window* parent) {
    parent_ = parent;
    ended_ = false;
    return Windows().CreateModeless(*this, parent) ? TRUE : FALSE;
}

BOOL Dialog::DestroyWindow() {
    if (!host_) return FALSE;
    WindowHost* h = host_;
    DetachHost();
    dhost_ = nullptr;
    h->Destroy();
    return TRUE;
}

BOOL Dialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void Dialog::OnOK() {
    if (!UpdateData(TRUE)) return;
    EndDialog(IDOK);
}

void Dialog::OnCancel() { EndDialog(IDCANCEL); }

BOOL Dialog::OnCommand(UINT id, UINT code) {
    if (code == BN_CLICKED) {
        if (id == static_cast<UINT>(IDOK)) {
            OnOK();
            return TRUE;
        }
        if (id == static_cast<UINT>(IDCANCEL)) {
            OnCancel();
            return TRUE;
        }
    }
    auto it = handlers_.find({static_cast<int>(id), code});
    if (it != handlers_.end()) {
        auto handler = it->second;  // the handler may replace itself
        handler();
        return TRUE;
    }
    return FALSE;
}

BOOL Dialog::UpdateData(BOOL saveAndValidate) {
    DataExchange dx(this, saveAndValidate);
    bool wasIn = inUpdate_;
    inUpdate_ = true;
    try {
        DoDataExchange(dx);
    } catch (const DataExchangeFailure&) {
        inUpdate_ = wasIn;
        return FALSE;
    }
    inUpdate_ = wasIn;
    return TRUE;
}

void Dialog::EndDialog(int result) {
    ended_ = true;
    result_ = result;
    if (dhost_) dhost_->EndModal(result);
}

Control* Dialog::GetDlgItem(int id) {
    for (auto& c : controls_)
        if (c->id_ == id) return c.get();
    return nullptr;
}

const Control* Dialog::GetDlgItem(int id) const {
    for (const auto& c : controls_)
        if (c->id_ == id) return c.get();
    return nullptr;
}

void Dialog::SetDlgItemText(int id, const std::string& text) {
    if (Control* c = GetDlgItem(id)) c->SetWindowText(text);
}

std::string Dialog::GetDlgItemText(int id) const {
    const Control* c = GetDlgItem(id);
    return c ? c->GetWindowText() : std::string();
}

void Dialog::CheckDlgButton(int id, int check) {
    if (Control* c = GetDlgItem(id)) c->SetCheck(check);
}

UINT Dialog::IsDlgButtonChecked(int id) const {
    const Control* c = GetDlgItem(id);
    return c ? static_cast<UINT>(c->GetCheck()) : 0;
}

void Dialog::CheckRadioButton(int firstId, int lastId, int checkId) {
    for (auto& c : controls_) {
        if (c->id_ < firstId || c->id_ > lastId) continue;
        if (c->kind_ != ControlKind::RadioButton) continue;
        c->SetCheck(c->id_ == checkId ? BST_CHECKED : BST_UNCHECKED);
    }
}

int Dialog::GetCheckedRadioButton(int firstId, int lastId) const {
    for (const auto& c : controls_)
        if (c->id_ >= firstId && c->id_ <= lastId && c->kind_ == ControlKind::RadioButton && c->check_) return c->id_;
    return 0;
}

std::vector<int> Dialog::RadioGroupOf(int id) const {
    int n = static_cast<int>(controls_.size());
    int at = -1;
    for (int i = 0; i < n; ++i)
        if (controls_[i]->id_ == id) at = i;
    if (at < 0) return {};
    int start = at;
    while (start > 0 && !(controls_[start]->style_ & kGroup)) --start;
    std::vector<int> ids;
    for (int i = start; i < n; ++i) {
        if (i > start && (controls_[i]->style_ & kGroup)) break;
        if (controls_[i]->kind_ == ControlKind::RadioButton) ids.push_back(controls_[i]->id_);
    }
    return ids;
}

Control* Dialog::GetFocus() { return focusId_ ? GetDlgItem(focusId_) : nullptr; }

void Dialog::GotoDlgCtrl(Control* control) {
    if (control) SetFocusId(control->id_, true);
}

int Dialog::GetDefID() const {
    for (const auto& c : controls_)
        if (c->kind_ == ControlKind::DefPushButton) return c->id_;
    return IDOK;
}

Rect Dialog::MapDialogRect(const Rect& du) const {
    return {MulDivRound(du.left, du_.baseX, 4), MulDivRound(du.top, du_.baseY, 8), MulDivRound(du.right, du_.baseX, 4),
            MulDivRound(du.bottom, du_.baseY, 8)};
}

Point Dialog::ClientToScreen(Point p) const {
    return {windowRect_.left + clientOffset_.x + p.x, windowRect_.top + clientOffset_.y + p.y};
}

Point Dialog::ScreenToClient(Point p) const {
    return {p.x - windowRect_.left - clientOffset_.x, p.y - windowRect_.top - clientOffset_.y};
}

bool Dialog::BuildControls(DialogUnits du, Size frameExtra, Point clientOffset) {
    if (!form_) return false;
    du_ = du;
    controls_.clear();
    focusId_ = 0;
    ended_ = false;
    result_ = 0;
    for (const FormControl& fc : form_->controls) {
        Rect px = MapDialogRect({fc.x, fc.y, fc.x + fc.cx, fc.y + fc.cy});
        controls_.push_back(std::make_unique<Control>(this, fc, px));
    }
    title_ = form_->caption ? form_->caption : "";
    Rect client = MapDialogRect({0, 0, form_->cx, form_->cy});
    int w = client.Width() + frameExtra.cx;
    int h = client.Height() + frameExtra.cy;
    Rect area = parent_ ? parent_->GetWindowRect() : Windows().GetWorkArea();
    if (area.IsEmpty()) area = Windows().GetWorkArea();
    windowRect_ = Rect::FromXYWH(area.left + (area.Width() - w) / 2, area.top + (area.Height() - h) / 2, w, h);
    frameExtra_ = frameExtra;
    clientOffset_ = clientOffset;
    return true;
}

BOOL Dialog::InitDialog() {
    BOOL r = OnInitDialog();
    if (r && !focusId_) {
        for (auto& c : controls_) {
            if (c->CanTakeFocus()) {
                SetFocusId(c->id_, true);
                break;
            }
        }
    }
    return r;
}

UINT Dialog::TrackContextMenu(UINT menuId, int popupIndex, Point client) {
    Menu menu;
    if (!menu.LoadMenu(menuId)) return 0;
    const MenuItem* popup = menu.GetSubMenu(popupIndex);
    if (!popup) return 0;
    Menu items;
    items.items = popup->items;
    UINT chosen = Windows().TrackPopupMenu(items, ClientToScreen(client), *this);
    if (chosen) OnCommand(chosen, 0);
    return chosen;
}

void Dialog::UserTyped(int id, const std::string& text) {
    Control* c = GetDlgItem(id);
    if (!c || c->text_ == text) return;
    c->text_ = text;
    OnCommand(id, EN_CHANGE);
}

void Dialog::UserClicked(int id) {
    Control* c = GetDlgItem(id);
    if (!c || !c->enabled_ || !c->visible_) return;
    if (c->CanTakeFocus() && focusId_ != id) UserFocus(id);
    if (c->kind_ == ControlKind::CheckBox) {
        c->SetCheck(c->check_ ? BST_UNCHECKED : BST_CHECKED);
    } else if (c->kind_ == ControlKind::RadioButton) {
        for (int other : RadioGroupOf(id))
            if (Control* o = GetDlgItem(other)) o->SetCheck(other == id ? BST_CHECKED : BST_UNCHECKED);
    }
    OnCommand(id, BN_CLICKED);
}

void Dialog::UserSelected(int id, int index) {
    Control* c = GetDlgItem(id);
    if (!c || !c->enabled_) return;
    if (index < -1 || index >= static_cast<int>(c->rows_.size())) return;
    c->curSel_ = index;
    if (c->kind_ == ControlKind::ComboBox) c->text_ = index >= 0 ? c->rows_[index] : std::string();
    OnCommand(id, LBN_SELCHANGE);
}

void Dialog::UserDoubleClicked(int id) {
    Control* c = GetDlgItem(id);
    if (!c || !c->enabled_) return;
    OnCommand(id, c->kind_ == ControlKind::ListBox ? LBN_DBLCLK : BN_DOUBLECLICKED);
}

void Dialog::UserFocus(int id) {
    if (id == focusId_) return;
    int previous = focusId_;
    focusId_ = id;
    Control* prev = previous ? GetDlgItem(previous) : nullptr;
    if (prev && prev->IsEdit()) OnCommand(previous, EN_KILLFOCUS);
    Control* now = GetDlgItem(id);
    if (now && now->IsEdit() && focusId_ == id) OnCommand(id, EN_SETFOCUS);
}

void Dialog::UserPressedEnter() {
    Control* focus = GetFocus();
    if (focus && focus->IsButtonLike() && focus->enabled_) {
        OnCommand(focus->id_, BN_CLICKED);
        return;
    }
    int def = GetDefID();
    Control* c = GetDlgItem(def);
    if (c && !c->enabled_) {
        MessageBeep();
        return;
    }
    OnCommand(def, BN_CLICKED);
}

void Dialog::UserPressedEscape() { OnCommand(IDCANCEL, BN_CLICKED); }

void Dialog::UserMouse(MouseEvent kind, Point p, UINT flags) {
    switch (kind) {
    case MouseEvent::LButtonDown: OnLButtonDown(flags, p); break;
    case MouseEvent::LButtonUp: OnLButtonUp(flags, p); break;
    case MouseEvent::LButtonDblClk: OnLButtonDblClk(flags, p); break;
    case MouseEvent::RButtonDown: OnRButtonDown(flags, p); break;
    case MouseEvent::RButtonUp: OnRButtonUp(flags, p); break;
    case MouseEvent::Move: OnMouseMove(flags, p); break;
    }
}

void Dialog::ControlChanged(Control& c) {
    if (dhost_) dhost_->ControlChanged(c.id_);
}

void Dialog::ControlMoved(Control& c) {
    if (dhost_) dhost_->ControlGeometryChanged(c.id_);
}

void Dialog::SetFocusId(int id, bool notifyHost, bool force) {
    if (focusId_ == id && !force) return;
    focusId_ = id;
    if (notifyHost && dhost_) dhost_->FocusChanged(id);
}

// ---------------------------------------------------------------------------
// The data exchange calls that need the failure type

Control* DataExchange::PrepareCtrl(int id) {
    m_idLastControl = id;
    Control* c = m_pDlgWnd ? m_pDlgWnd->GetDlgItem(id) : nullptr;
    if (!c) throw DataExchangeFailure{};
    return c;
}

void DataExchange::Fail() {
    if (m_pDlgWnd && m_bSaveAndValidate) {
        // Told to the host even when the focus is there already, so that a
        // field's text is selected again.
        if (m_pDlgWnd->GetDlgItem(m_idLastControl)) m_pDlgWnd->SetFocusId(m_idLastControl, true, true);
    }
    throw DataExchangeFailure{};
}

}  // namespace fw
