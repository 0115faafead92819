#include "platform/ui/Frame.h"

#include "platform/ui/Services.h"
#include "resources/UiResources.h"

namespace fw {

FrameWnd::~FrameWnd() {
    if (host_) DestroyWindow();
    std::lock_guard<std::mutex> lock(postMutex_);
    hasWindow_ = false;
}

BOOL FrameWnd::LoadFrame(UINT resourceId) {
    if (!menu_.LoadMenu(resourceId)) return FALSE;
    LoadAccelerators(resourceId, accelerators_);
    if (!Windows().CreateFrame(*this)) return FALSE;
    {
        std::lock_guard<std::mutex> lock(postMutex_);
        hasWindow_ = true;
    }
    if (OnCreate() == -1) {
        DestroyWindow();
        return FALSE;
    }
    if (fhost_) {
        fhost_->MenuChanged();
        fhost_->ToolBarChanged();
        for (int i = 0; i < statusBar_.GetCount(); ++i) fhost_->StatusPaneChanged(i);
    }
    return TRUE;
}

void FrameWnd::AttachFrameHost(FrameHost* host) {
    std::lock_guard<std::mutex> lock(postMutex_);
    fhost_ = host;
    AttachHost(host);
}

void FrameWnd::DestroyWindow() {
    {
        std::lock_guard<std::mutex> lock(postMutex_);
        hasWindow_ = false;
        posted_.clear();
    }
    if (!host_) return;
    OnDestroy();
    WindowHost* h = host_;
    {
        // Posting threads wake the host under this lock: once it is null
        // none can reach the host any more.
        std::lock_guard<std::mutex> lock(postMutex_);
        fhost_ = nullptr;
    }
    DetachHost();
    h->Destroy();
}

void FrameWnd::MenuChanged() {
    if (fhost_) fhost_->MenuChanged();
}

void FrameWnd::ToolBarChanged() {
    if (fhost_) fhost_->ToolBarChanged();
}

void FrameWnd::ShowToolBar(bool show) {
    if (toolBar_.visible == show) return;
    toolBar_.visible = show;
    if (fhost_) fhost_->ControlBarsChanged();
}

void FrameWnd::ShowStatusBar(bool show) {
    if (statusBar_.visible == show) return;
    statusBar_.visible = show;
    if (fhost_) fhost_->ControlBarsChanged();
}

void FrameWnd::SetChild(bool present, const std::string& title) {
    if (childPresent_ == present && childTitle_ == title) return;
    childPresent_ = present;
    childTitle_ = title;
    if (fhost_) fhost_->ChildChanged();
}

void FrameWnd::UpdateCommandUI() {
    bool commandsChanged = false;
    auto apply = [&](UINT id, bool& enabled, bool& checked, std::string* text) {
        CmdUI ui = QueryCommand(id);
        if (ui.enabled != enabled || (ui.check != 0) != checked) commandsChanged = true;
        enabled = ui.enabled;
        checked = ui.check != 0;
        if (text && ui.textSet && *text != ui.text) {
            *text = ui.text;
            commandsChanged = true;
        }
    };
    menu_.ForEachCommand([&](MenuItem& m) { apply(m.id, m.enabled, m.checked, &m.text); });
    for (ToolButton& b : toolBar_.Buttons()) {
        if (b.style & TBBS_SEPARATOR) continue;
        apply(b.id, b.enabled, b.checked, nullptr);
    }
    if (commandsChanged && fhost_) fhost_->CommandStatesChanged();

    auto& panes = statusBar_.Panes();
    for (size_t i = 0; i < panes.size(); ++i) {
        if (panes[i].indicator == ID_SEPARATOR) continue;
        CmdUI ui(panes[i].indicator);
        bool enabled = Commands().Update(ui) ? ui.enabled : true;
        if (enabled != panes[i].enabled) {
            panes[i].enabled = enabled;
            if (fhost_) fhost_->StatusPaneChanged(static_cast<int>(i));
        }
    }
}

bool FrameWnd::OnUserCommand(UINT id) { return ExecuteCommand(id); }

bool FrameWnd::TranslateAccelerator(UINT key, UINT modifiers) {
    for (const Accelerator& a : accelerators_) {
        if (a.key == key && a.modifiers == modifiers) {
            OnUserCommand(a.command);
            return true;
        }
    }
    return false;
}

void FrameWnd::SetMessageText(const std::string& text) { SetStatusPaneText(0, text); }

void FrameWnd::ShowPrompt(UINT commandId) {
    const char* s = res::FindCommandPrompt(commandId);
    std::string prompt = s ? s : "";
    size_t nl = prompt.find('\n');
    if (nl != std::string::npos) prompt.resize(nl);
    SetMessageText(prompt.empty() ? IdleMessage() : prompt);
}

void FrameWnd::SetStatusPaneText(int index, const std::string& text) {
    if (index < 0 || index >= statusBar_.GetCount()) return;
    if (statusBar_.GetPaneText(index) == text) return;
    statusBar_.SetPaneText(index, text);
    if (fhost_) fhost_->StatusPaneChanged(index);
}

void FrameWnd::UpdateStatusBarNow() {
    if (host_) host_->UpdateNow();
}

bool FrameWnd::PostMessage(UINT message, intptr_t wParam, intptr_t lParam) {
    std::lock_guard<std::mutex> lock(postMutex_);
    if (!hasWindow_) return false;
    posted_.push_back({message, wParam, lParam});
    // Waking only queues an event for the user-interface thread, so it is
    // done under the lock that keeps the host alive.
    if (fhost_) fhost_->WakeForPosts();
    return true;
}

void FrameWnd::DrainPostedMessages() {
    for (;;) {
        Posted p;
        {
            std::lock_guard<std::mutex> lock(postMutex_);
            if (posted_.empty()) return;
            p = posted_.front();
            posted_.pop_front();
        }
        OnPostedMessage(p.message, p.wParam, p.lParam);
    }
}

}  // namespace fw
