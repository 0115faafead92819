// The main window model: menu, accelerators, toolbar and status bar, the
// command routing with its update rules, the message pane's prompts, and
// the queue of messages posted to the frame from any thread (drained on the
// user-interface thread). The window binding shows it; tests drive it.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "platform/core/Types.h"
#include "platform/ui/Commands.h"
#include "platform/ui/Window.h"

namespace fw {

// The framework's standard command ids.
constexpr UINT ID_FILE_NEW = 57600;
constexpr UINT ID_FILE_OPEN = 57601;
constexpr UINT ID_FILE_CLOSE = 57602;
constexpr UINT ID_FILE_SAVE = 57603;
constexpr UINT ID_FILE_SAVE_AS = 57604;
constexpr UINT ID_FILE_PRINT_SETUP = 57606;
constexpr UINT ID_FILE_PRINT = 57607;
constexpr UINT ID_FILE_PRINT_PREVIEW = 57609;
constexpr UINT ID_FILE_MRU_FILE1 = 57616;
constexpr UINT ID_APP_ABOUT = 57664;
constexpr UINT ID_APP_EXIT = 57665;
constexpr UINT ID_HELP_INDEX = 57666;
constexpr UINT ID_HELP_FINDER = 57667;
constexpr UINT ID_CONTEXT_HELP = 57669;
constexpr UINT ID_HELP = 57670;
constexpr UINT ID_DEFAULT_HELP = 57671;
constexpr UINT ID_VIEW_TOOLBAR = 59392;
constexpr UINT ID_VIEW_STATUS_BAR = 59393;

class FrameHost : public WindowHost {
public:
    // The menu's items changed (added, removed, renamed).
    virtual void MenuChanged() {}
    // Enabled and check states of menu items and toolbar buttons.
    virtual void CommandStatesChanged() {}
    virtual void ToolBarChanged() {}
    virtual void StatusPaneChanged(int index) {}
    // Shows or hides the toolbar or the status bar.
    virtual void ControlBarsChanged() {}
    // Posted messages wait in the queue: call DrainPostedMessages on the
    // user-interface thread soon. Called from any thread.
    virtual void WakeForPosts() {}
    // The title of the one child window (the design's window).
    virtual void ChildChanged() {}
};

class FrameWnd : public Window, public CommandTarget {
public:
    FrameWnd() = default;
    ~FrameWnd() override;

    // Loads the menu and accelerators of the resource id, creates the window
    // (OnCreate runs inside); FALSE when anything failed.
    BOOL LoadFrame(UINT resourceId);
    virtual int OnCreate() { return 0; }
    // Before the window closes (the close box, File Exit): FALSE keeps it.
    virtual BOOL OnQueryClose() { return TRUE; }
    virtual void OnDestroy() {}
    void DestroyWindow();
    FrameHost* GetFrameHost() const { return fhost_; }
    void AttachFrameHost(FrameHost* host);

    Menu& GetMenu() { return menu_; }
    const Menu& GetMenu() const { return menu_; }
    void MenuChanged();
    const std::vector<Accelerator>& GetAccelerators() const { return accelerators_; }
    ToolBar& GetToolBar() { return toolBar_; }
    // The toolbar's entries changed (a button's command or picture).
    void ToolBarChanged();
    StatusBar& GetStatusBar() { return statusBar_; }
    void ShowToolBar(bool show);
    void ShowStatusBar(bool show);

    // The child window of the design (one at most); empty title: none.
    void SetChild(bool present, const std::string& title);
    bool HasChild() const { return childPresent_; }
    const std::string& GetChildTitle() const { return childTitle_; }

    // Runs every update rule for the menu items, the toolbar buttons and the
    // status panes, and tells the host what changed.
    void UpdateCommandUI();
    // A command from the menu, the toolbar or an accelerator: refused when
    // its update rule disables it.
    bool OnUserCommand(UINT id);
    // The key, if it is an accelerator of the frame, runs its command.
    bool TranslateAccelerator(UINT key, UINT modifiers);

    // The message pane: a command's prompt while it is highlighted, else the
    // idle text.
    void SetMessageText(const std::string& text);
    void ShowPrompt(UINT commandId);
    static const char* IdleMessage() { return "Ready"; }
    void SetStatusPaneText(int index, const std::string& text);
    // Paints the status bar at once.
    void UpdateStatusBarNow();

    // Thread-safe: queues the message and wakes the user-interface thread.
    // False while the frame has no window.
    bool PostMessage(UINT message, intptr_t wParam, intptr_t lParam);
    // On the user-interface thread: handles every queued message in order.
    void DrainPostedMessages();
    virtual void OnPostedMessage(UINT message, intptr_t wParam, intptr_t lParam) {}
    virtual void OnDropFiles(const std::vector<std::string>& paths) {}
    void DragAcceptFiles(BOOL accept) { acceptFiles_ = accept != FALSE; }
    bool AcceptsFiles() const { return acceptFiles_; }

    // The status bar pane rules: OnUpdate rules of the indicator ids.
    // A pane without a rule stays enabled.

protected:
    Menu menu_;
    std::vector<Accelerator> accelerators_;
    ToolBar toolBar_;
    StatusBar statusBar_;

private:
    FrameHost* fhost_ = nullptr;
    bool childPresent_ = false;
    std::string childTitle_;
    bool acceptFiles_ = false;
    struct Posted {
        UINT message;
        intptr_t wParam;
        intptr_t lParam;
    };
    std::mutex postMutex_;
    std::deque<Posted> posted_;
    bool hasWindow_ = false;  // guarded by postMutex_
};

}  // namespace fw
