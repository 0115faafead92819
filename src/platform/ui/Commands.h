// Command ids with their handlers and update rules, and the models of the
// menu, the accelerators, the toolbar and the status bar that show them.
// A command is available only when some target handles it: an id without a
// handler is shown disabled, never silently ignored.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/core/Types.h"
#include "platform/ui/Image.h"

namespace fw {

// What an update rule sets for one command.
class CmdUI {
public:
    explicit CmdUI(UINT id) : m_nID(id) {}
    UINT m_nID;
    void Enable(BOOL on = TRUE) { enabled = on != FALSE; }
    void SetCheck(int check = 1) { this->check = check; }
    void SetText(const std::string& t) {
        text = t;
        textSet = true;
    }

    bool enabled = false;
    int check = 0;
    bool textSet = false;
    std::string text;
};

class CommandMap {
public:
    void OnCommand(UINT id, std::function<void()> handler) { handlers_[id] = std::move(handler); }
    void OnUpdate(UINT id, std::function<void(CmdUI&)> rule) { rules_[id] = std::move(rule); }
    // A range of ids (the recent files); the handler gets the id.
    void OnCommandRange(UINT first, UINT last, std::function<void(UINT)> handler);
    void OnUpdateRange(UINT first, UINT last, std::function<void(CmdUI&)> rule);

    bool HasHandler(UINT id) const;
    // Runs the update rule when there is one; a handled command without a
    // rule is enabled. False when the map knows nothing of the id.
    bool Update(CmdUI& ui) const;
    bool Execute(UINT id) const;

private:
    struct Range {
        UINT first, last;
        std::function<void(UINT)> handler;
        std::function<void(CmdUI&)> rule;
    };
    std::map<UINT, std::function<void()>> handlers_;
    std::map<UINT, std::function<void(CmdUI&)>> rules_;
    std::vector<Range> ranges_;
};

// A chain of command maps (frame, then application).
class CommandTarget {
public:
    virtual ~CommandTarget() = default;
    CommandMap& Commands() { return commands_; }
    void SetNextTarget(CommandTarget* next) { next_ = next; }
    // The state of the command: disabled when no target handles it.
    CmdUI QueryCommand(UINT id) const;
    // Runs the command when it is available; false otherwise.
    bool ExecuteCommand(UINT id);

private:
    CommandMap commands_;
    CommandTarget* next_ = nullptr;
};

// ---------------------------------------------------------------------------

struct MenuItem {
    enum Kind { Command, Separator, Popup };
    Kind kind = Command;
    UINT id = 0;
    std::string text;  // "&Open...\tCtrl+O": '&' marks the access key, '\t' the shortcut column
    bool enabled = true;
    bool checked = false;
    std::vector<MenuItem> items;  // a popup's items
};

class Menu {
public:
    std::vector<MenuItem> items;

    // The menu resource of the id; false when there is none.
    bool LoadMenu(UINT resourceId);
    // The popup at the position of the top level (nullptr outside).
    const MenuItem* GetSubMenu(int pos) const;
    MenuItem* FindCommand(UINT id);
    const MenuItem* FindCommand(UINT id) const;
    // Replaces a command item by another command with its text; false when
    // the old id is not in the menu.
    bool ModifyCommand(UINT oldId, UINT newId, const std::string& text);
    // Every command item, depth first.
    void ForEachCommand(const std::function<void(MenuItem&)>& fn);
    void ForEachCommand(const std::function<void(const MenuItem&)>& fn) const;
};

// Accelerator keys.
enum : UINT { FVIRTKEY_CTRL = 0x1, FVIRTKEY_SHIFT = 0x2, FVIRTKEY_ALT = 0x4 };
constexpr UINT VK_F1 = 0x70;

struct Accelerator {
    UINT key;  // 'A'..'Z', '0'..'9' or VK_F1 + n
    UINT modifiers;
    UINT command;
};

bool LoadAccelerators(UINT resourceId, std::vector<Accelerator>& out);
// "Ctrl+N", "Shift+F1" ...
std::string AcceleratorText(const Accelerator& a);

// ---------------------------------------------------------------------------

constexpr UINT ID_SEPARATOR = 0;
// Toolbar button styles.
enum : UINT { TBBS_BUTTON = 0x0, TBBS_SEPARATOR = 0x1, TBBS_CHECKBOX = 0x2 };

struct ToolButton {
    UINT id = 0;
    UINT style = TBBS_BUTTON;
    int image = -1;
    bool enabled = true;
    bool checked = false;
};

class ToolBar {
public:
    // The images (one strip cut in equal pictures) and the entries: an id
    // of ID_SEPARATOR is a separator, every other entry takes the next
    // image in order.
    bool LoadToolBar(UINT resourceId);
    void SetButtons(const std::vector<UINT>& ids);
    void SetButtonInfo(int index, UINT id, UINT style, int image);
    int CommandToIndex(UINT id) const;
    const std::vector<ToolButton>& Buttons() const { return buttons_; }
    std::vector<ToolButton>& Buttons() { return buttons_; }
    const std::vector<Image>& Images() const { return images_; }
    Size ImageSize() const { return imageSize_; }
    bool visible = true;

private:
    std::vector<ToolButton> buttons_;
    std::vector<Image> images_;
    Size imageSize_;
};

struct StatusPane {
    UINT indicator = ID_SEPARATOR;
    std::string text;
    // The text whose width the pane takes (the indicator's string).
    std::string widthText;
    bool enabled = true;
};

class StatusBar {
public:
    // Pane 0 of ID_SEPARATOR is the message pane; every indicator's
    // string-table text is its first text and its width.
    void SetIndicators(const std::vector<UINT>& ids);
    int GetCount() const { return static_cast<int>(panes_.size()); }
    int CommandToIndex(UINT indicator) const;
    void SetPaneText(int index, const std::string& text);
    const std::string& GetPaneText(int index) const { return panes_.at(index).text; }
    // What the pane shows: nothing while it is disabled.
    std::string DisplayedText(int index) const;
    const std::vector<StatusPane>& Panes() const { return panes_; }
    std::vector<StatusPane>& Panes() { return panes_; }
    bool visible = true;

private:
    std::vector<StatusPane> panes_;
};

}  // namespace fw
