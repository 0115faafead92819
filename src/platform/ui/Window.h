// The window model shared by frames and dialogs: title, geometry, visibility,
// timers, the cursor and repainting. A window has a real counterpart only
// while a host (the window binding, or a test fake) is attached; until then
// it is a plain object and IsWindow() is false.
#pragma once

#include <string>

#include "platform/core/Types.h"
#include "platform/ui/Geometry.h"

namespace fw {

class Canvas;

enum class CursorKind { Arrow, Hand, Wait };

// ShowWindow commands.
constexpr int SW_HIDE = 0;
constexpr int SW_SHOWNORMAL = 1;
constexpr int SW_SHOWMAXIMIZED = 3;
constexpr int SW_SHOW = 5;
constexpr int SW_MINIMIZE = 6;
constexpr int SW_RESTORE = 9;

// SetWindowPos flags.
enum : unsigned {
    SWP_NOSIZE = 0x0001,
    SWP_NOMOVE = 0x0002,
    SWP_NOZORDER = 0x0004,
    SWP_NOACTIVATE = 0x0010,
};

// What a real window does for its model. Every call has a default that does
// nothing, so fakes override only what they watch.
class WindowHost {
public:
    virtual ~WindowHost() = default;
    virtual void TitleChanged() {}
    virtual void GeometryChanged() {}
    virtual void VisibilityChanged() {}
    virtual void Invalidate(bool erase) {}
    // Paints what is invalid at once.
    virtual void UpdateNow() {}
    virtual void CursorChanged() {}
    virtual void BringToFront() {}
    // The model's window is destroyed; the host lets go of it.
    virtual void Destroy() {}
};

class Window {
public:
    Window() = default;
    virtual ~Window();
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;

    bool IsWindow() const { return host_ != nullptr; }
    const void* GetSafeHwnd() const { return host_; }
    Window* GetParent() const { return parent_; }
    void SetParent(Window* parent) { parent_ = parent; }

    void SetWindowText(const std::string& text);
    const std::string& GetWindowText() const { return title_; }

    // Outer rectangle in screen pixels, and the client area (origin 0, 0).
    Rect GetWindowRect() const { return windowRect_; }
    Rect GetClientRect() const;
    void SetWindowPos(int x, int y, int cx, int cy, unsigned flags);
    void MoveWindow(const Rect& r, BOOL repaint = TRUE);
    // Centres the window over another one (the parent by default), or over
    // the work area when there is none.
    void CenterWindow(const Window* over = nullptr);

    void ShowWindow(int cmd);
    bool IsWindowVisible() const { return visible_; }
    bool IsIconic() const { return minimized_; }
    void Invalidate(BOOL erase = TRUE);
    void UpdateWindow();
    void SetCursor(CursorKind c);
    CursorKind GetCursor() const { return cursor_; }
    void BringToFront();

    // Timers go through the timer service and arrive as OnTimer on the
    // user-interface thread. SetTimer returns the id, or 0 on failure.
    UINT SetTimer(UINT id, UINT elapseMs);
    BOOL KillTimer(UINT id);
    virtual void OnTimer(UINT id) {}

    // Painting: the host calls OnPaint with a canvas over the client area.
    virtual void OnPaint(Canvas& dc) {}

    // For the host: attach on creation, detach on destruction. The geometry
    // and the size of the frame around the client area come from the host.
    void AttachHost(WindowHost* host) { host_ = host; }
    WindowHost* GetHost() const { return host_; }
    void DetachHost();
    void SetGeometryFromHost(const Rect& windowRect, Size frameExtra, Point clientOffset);
    void SetVisibleFromHost(bool visible, bool minimized = false) {
        visible_ = visible;
        minimized_ = minimized;
    }
    Size GetFrameExtra() const { return frameExtra_; }
    Point GetClientOffset() const { return clientOffset_; }

protected:
    std::string title_;
    WindowHost* host_ = nullptr;
    Window* parent_ = nullptr;
    Rect windowRect_;
    Size frameExtra_;
    Point clientOffset_;
    bool visible_ = false;
    bool minimized_ = false;
    CursorKind cursor_ = CursorKind::Arrow;
};

}  // namespace fw
