#include "platform/ui/Window.h"

#include "platform/ui/Services.h"

namespace fw {

Window::~Window() {
    // A window that still has timers must not be called after it is gone.
    Timers().KillAll(*this);
}

void Window::SetWindowText(const std::string& text) {
    if (title_ == text) return;
    title_ = text;
    if (host_) host_->TitleChanged();
}

Rect Window::GetClientRect() const {
    int w = windowRect_.Width() - frameExtra_.cx;
    int h = windowRect_.Height() - frameExtra_.cy;
    return {0, 0, w < 0 ? 0 : w, h < 0 ? 0 : h};
}

void Window::SetWindowPos(int x, int y, int cx, int cy, unsigned flags) {
    Rect r = windowRect_;
    if (!(flags & SWP_NOMOVE)) {
        r = Rect::FromXYWH(x, y, r.Width(), r.Height());
    }
    if (!(flags & SWP_NOSIZE)) {
        r.right = r.left + cx;
        r.bottom = r.top + cy;
    }
    if (r == windowRect_) return;
    windowRect_ = r;
    if (host_) host_->GeometryChanged();
}

void Window::MoveWindow(const Rect& r, BOOL repaint) {
    SetWindowPos(r.left, r.top, r.Width(), r.Height(), SWP_NOZORDER);
    if (repaint) Invalidate(TRUE);
}

void Window::CenterWindow(const Window* over) {
    if (!over) over = parent_;
    Rect area = over ? over->GetWindowRect() : Windows().GetWorkArea();
    int x = area.left + (area.Width() - windowRect_.Width()) / 2;
    int y = area.top + (area.Height() - windowRect_.Height()) / 2;
    SetWindowPos(x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

void Window::ShowWindow(int cmd) {
    bool visible = cmd != SW_HIDE;
    bool minimized = cmd == SW_MINIMIZE;
    if (visible == visible_ && minimized == minimized_) return;
    visible_ = visible;
    minimized_ = minimized;
    if (host_) host_->VisibilityChanged();
}

void Window::Invalidate(BOOL erase) {
    if (host_) host_->Invalidate(erase != FALSE);
}

void Window::UpdateWindow() {
    if (host_) host_->UpdateNow();
}

void Window::SetCursor(CursorKind c) {
    if (cursor_ == c) return;
    cursor_ = c;
    if (host_) host_->CursorChanged();
}

void Window::BringToFront() {
    if (host_) host_->BringToFront();
}

UINT Window::SetTimer(UINT id, UINT elapseMs) { return Timers().SetTimer(*this, id, elapseMs) ? id : 0; }

BOOL Window::KillTimer(UINT id) { return Timers().KillTimer(*this, id) ? TRUE : FALSE; }

void Window::DetachHost() {
    Timers().KillAll(*this);
    host_ = nullptr;
    visible_ = false;
}

void Window::SetGeometryFromHost(const Rect& windowRect, Size frameExtra, Point clientOffset) {
    windowRect_ = windowRect;
    frameExtra_ = frameExtra;
    clientOffset_ = clientOffset;
}

}  // namespace fw
