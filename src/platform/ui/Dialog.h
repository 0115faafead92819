// The dialog model: a dialog built from its form table, with the state of
// every control (text, enabled, shown, checked, list rows, selection), the
// focus, the data exchange, OK and Cancel, and the events a real window
// feeds back (typing, clicks, selections, the mouse, Enter and Escape).
// Dialog logic is written against this model and runs in tests without a
// window; the window binding mirrors the model on screen.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/core/Types.h"
#include "platform/ui/Form.h"
#include "platform/ui/Services.h"
#include "platform/ui/Window.h"

namespace fw {

class Dialog;
class DataExchange;

// Notification codes that arrive with OnCommand.
enum : UINT {
    BN_CLICKED = 0,
    BN_DOUBLECLICKED = 5,
    LBN_SELCHANGE = 1,
    LBN_DBLCLK = 2,
    CBN_SELCHANGE = 1,
    EN_SETFOCUS = 0x0100,
    EN_KILLFOCUS = 0x0200,
    EN_CHANGE = 0x0300,
};

constexpr int LB_ERR = -1;
constexpr int CB_ERR = -1;

// Check states.
constexpr int BST_UNCHECKED = 0;
constexpr int BST_CHECKED = 1;

// Mouse key flags of the mouse handlers.
enum : UINT { MK_LBUTTON = 0x1, MK_RBUTTON = 0x2, MK_SHIFT = 0x4, MK_CONTROL = 0x8 };

enum class MouseEvent { LButtonDown, LButtonUp, LButtonDblClk, RButtonDown, RButtonUp, Move };

// What a dialog's real window does beyond a plain window's.
class DialogHost : public WindowHost {
public:
    // Any state of the control changed (text, check, enabled, shown, rows,
    // selection).
    virtual void ControlChanged(int id) {}
    virtual void ControlGeometryChanged(int id) {}
    virtual void FocusChanged(int id) {}
    virtual void EndModal(int result) {}
};

class Control {
public:
    Control(Dialog* owner, const FormControl& form, const Rect& pixels);

    int GetDlgCtrlID() const { return id_; }
    ControlKind GetKind() const { return kind_; }
    unsigned GetStyle() const { return style_; }
    bool IsEdit() const { return kind_ == ControlKind::Edit; }
    bool IsButtonLike() const;
    bool CanTakeFocus() const;

    void SetWindowText(const std::string& text);
    const std::string& GetWindowText() const { return text_; }
    void EnableWindow(BOOL enable = TRUE);
    BOOL IsWindowEnabled() const { return enabled_ ? TRUE : FALSE; }
    void ShowWindow(int cmd);
    BOOL IsWindowVisible() const { return visible_ ? TRUE : FALSE; }
    void SetCheck(int state);
    int GetCheck() const { return check_; }
    void SetFocus();
    void Invalidate(BOOL erase = TRUE);

    // Rectangle in the dialog's client pixels.
    Rect GetRect() const { return rect_; }
    // Rectangle on the screen.
    Rect GetWindowRect() const;
    void MoveWindow(int x, int y, int cx, int cy, BOOL repaint = TRUE);
    void MoveWindow(const Rect& r, BOOL repaint = TRUE) { MoveWindow(r.left, r.top, r.Width(), r.Height(), repaint); }
    void SetWindowPos(int x, int y, int cx, int cy, unsigned flags);

    // List and combo boxes.
    int GetCount() const { return static_cast<int>(rows_.size()); }
    int AddString(const std::string& row);
    int InsertString(int index, const std::string& row);
    int DeleteString(int index);
    void ResetContent();
    int GetCurSel() const { return curSel_; }
    int SetCurSel(int index);
    std::string GetText(int index) const;
    int FindStringExact(int startAfter, const std::string& row) const;
    BOOL SetItemData(int index, intptr_t data);
    intptr_t GetItemData(int index) const;
    const std::vector<std::string>& Rows() const { return rows_; }
    // Edits: the most characters the user can type (0: no limit).
    void LimitText(int n) { limit_ = n; }
    int GetLimitText() const { return limit_; }

private:
    friend class Dialog;
    void Changed();

    Dialog* owner_;
    int id_;
    ControlKind kind_;
    unsigned style_;
    std::string text_;
    bool enabled_;
    bool visible_;
    int check_ = 0;
    Rect rect_;
    std::vector<std::string> rows_;
    std::vector<intptr_t> data_;
    int curSel_ = -1;
    int limit_ = 0;
};

class Dialog : public Window {
public:
    explicit Dialog(UINT templateId, Window* parent = nullptr);
    explicit Dialog(const FormTable& form, Window* parent = nullptr);
    ~Dialog() override;

    UINT GetTemplateId() const { return templateId_; }
    const FormTable* GetForm() const { return form_; }

    // Runs the dialog modally; IDOK, IDCANCEL or another EndDialog result,
    // -1 when it could not be created.
    virtual int DoModal();
    // Creates the dialog modelessly; FALSE when it could not be created.
    BOOL Create(Window* parent);
    BOOL DestroyWindow();

    // The framework's steps, overridden by dialogs.
    virtual BOOL OnInitDialog();
    virtual void DoDataExchange(DataExchange& dx) {}
    virtual void OnOK();
    virtual void OnCancel();
    // A command from a control (id and notification code) or from a popup
    // menu (code 0). The default runs OK and Cancel, then the handlers
    // registered with OnClicked and OnNotify. TRUE when something handled it.
    virtual BOOL OnCommand(UINT id, UINT code);
    // Owner-drawn controls.
    virtual void OnDrawItem(int id, Canvas& dc, const Rect& rc) {}
    // The mouse over the dialog's own area, client coordinates.
    virtual void OnLButtonDown(UINT flags, Point p) {}
    virtual void OnLButtonUp(UINT flags, Point p) {}
    virtual void OnLButtonDblClk(UINT flags, Point p) {}
    virtual void OnRButtonDown(UINT flags, Point p) {}
    virtual void OnRButtonUp(UINT flags, Point p) {}
    virtual void OnMouseMove(UINT flags, Point p) {}

    // Data exchange between the controls and the dialog's members: TRUE
    // reads and checks the controls; FALSE fills them. FALSE when a field
    // failed (its message was shown and the focus is on it).
    BOOL UpdateData(BOOL saveAndValidate = TRUE);
    void EndDialog(int result);
    bool IsEnded() const { return ended_; }
    int GetResult() const { return result_; }

    Control* GetDlgItem(int id);
    const Control* GetDlgItem(int id) const;
    void SetDlgItemText(int id, const std::string& text);
    std::string GetDlgItemText(int id) const;
    void CheckDlgButton(int id, int check);
    UINT IsDlgButtonChecked(int id) const;
    // Checks one radio button of the range and clears the others.
    void CheckRadioButton(int firstId, int lastId, int checkId);
    int GetCheckedRadioButton(int firstId, int lastId) const;
    // The ids of the radio group the button belongs to, in form order.
    std::vector<int> RadioGroupOf(int id) const;
    Control* GetFocus();
    int GetFocusId() const { return focusId_; }
    // Moves the focus to the control (an edit gets its text selected).
    void GotoDlgCtrl(Control* control);
    const std::vector<std::unique_ptr<Control>>& Controls() const { return controls_; }
    // The default button's id (IDOK unless the form says otherwise).
    int GetDefID() const;

    // Dialog units to pixels with the base units the dialog was built with.
    Rect MapDialogRect(const Rect& du) const;
    Point ClientToScreen(Point p) const;
    Point ScreenToClient(Point p) const;

    // Shows popup popupIndex of menu resource menuId at a client point (the
    // right-click menus); the chosen item arrives as OnCommand(id, 0), as a
    // button's would. Returns the chosen command, 0 when none was chosen or
    // the menu has no such popup.
    UINT TrackContextMenu(UINT menuId, int popupIndex, Point client);

    // Handlers by control id, a message map in code.
    void OnClicked(int id, std::function<void()> handler) { handlers_[{id, BN_CLICKED}] = std::move(handler); }
    void OnNotify(int id, UINT code, std::function<void()> handler) { handlers_[{id, code}] = std::move(handler); }

    // For the window binding and the fakes: build the controls from the
    // form, then initialise; then feed the user's actions.
    bool BuildControls(DialogUnits du, Size frameExtra = {}, Point clientOffset = {});
    BOOL InitDialog();
    DialogHost* GetDialogHost() const { return dhost_; }
    void AttachDialogHost(DialogHost* host) {
        dhost_ = host;
        AttachHost(host);
    }
    void UserTyped(int id, const std::string& text);
    void UserClicked(int id);
    void UserSelected(int id, int index);
    void UserDoubleClicked(int id);
    void UserFocus(int id);
    // Enter: a focused push button is pressed, else the default button.
    void UserPressedEnter();
    void UserPressedEscape();
    // A command chosen in a popup menu or sent by an accelerator.
    void UserCommand(UINT id) { OnCommand(id, 0); }
    void UserMouse(MouseEvent kind, Point p, UINT flags = 0);
    // From the binding: the host already shows the change.
    void SetFocusFromHost(int id) { focusId_ = id; }

private:
    friend class Control;
    friend class DataExchange;
    void ControlChanged(Control& c);
    void ControlMoved(Control& c);
    void SetFocusId(int id, bool notifyHost, bool force = false);

    UINT templateId_ = 0;
    const FormTable* form_ = nullptr;
    DialogUnits du_;
    std::vector<std::unique_ptr<Control>> controls_;
    DialogHost* dhost_ = nullptr;
    int focusId_ = 0;
    bool ended_ = false;
    int result_ = 0;
    bool inUpdate_ = false;
    std::map<std::pair<int, UINT>, std::function<void()>> handlers_;
};

}  // namespace fw
