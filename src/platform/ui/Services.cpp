#include "platform/ui/Services.h"

#include <atomic>
#include <chrono>
#include <mutex>

#include "platform/core/ReportSink.h"
#include "platform/ui/Form.h"
#include "platform/ui/System.h"

namespace fw {

namespace {

class HeadlessWindows : public WindowSystem {
public:
    int RunModal(Dialog&) override { return -1; }
    bool CreateModeless(Dialog&, Window*) override { return false; }
    bool CreateFrame(FrameWnd&) override { return false; }
    UINT TrackPopupMenu(const Menu&, Point, Window&) override { return 0; }
    Rect GetWorkArea() override { return {0, 0, 1024, 768}; }
    DialogUnits GetDialogBaseUnits() override { return {}; }
    Size GetIconSize() override { return {32, 32}; }
    std::unique_ptr<Canvas> GetMeasuringCanvas(Window&) override { return std::make_unique<RecordingCanvas>(); }
    void BeginWaitCursor() override {}
    void EndWaitCursor() override {}
    // Without a window nobody can answer: refusing is the safe answer.
    int AskYesNoCancel(const std::string&) override { return IDCANCEL; }
    void RunIdleNow() override {}
};

class NoTimers : public TimerService {
public:
    bool SetTimer(Window&, UINT, UINT) override { return false; }
    bool KillTimer(Window&, UINT) override { return false; }
    void KillAll(Window&) override {}
};

class SteadyClock : public Clock {
public:
    uint32_t GetTickCount() override {
        auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now().time_since_epoch());
        return static_cast<uint32_t>(ms.count());
    }
};

class NoFileDialogs : public FileDialogs {
public:
    bool GetOpenFileName(const FileDialogRequest&, std::string&) override { return false; }
    bool GetSaveFileName(const FileDialogRequest&, std::string&) override { return false; }
};

class NoPrinter : public PrintService {
public:
    bool PrintSetup() override { return false; }
    bool Print(Printable&, const std::string&, bool) override { return false; }
    bool PrintPreview(Printable&, const std::string&) override { return false; }
};

class NoClipboard : public Clipboard {
public:
    bool SetImage(const Image&) override { return false; }
    bool SetText(const std::string&) override { return false; }
};

struct Defaults {
    HeadlessWindows windows;
    NoTimers timers;
    SteadyClock clock;
    NoFileDialogs files;
    NoPrinter printing;
    SystemProcessLauncher processes;
    LockOnlyInstanceGuard instances;
    NoClipboard clipboard;
};

Defaults& D() {
    static Defaults d;
    return d;
}

std::mutex g_mutex;
Services g_installed;

template <class T>
T& Pick(T* Services::*member, T& fallback) {
    std::lock_guard<std::mutex> lock(g_mutex);
    T* p = g_installed.*member;
    return p ? *p : fallback;
}

}  // namespace

WindowSystem& Windows() { return Pick(&Services::windows, static_cast<WindowSystem&>(D().windows)); }
TimerService& Timers() { return Pick(&Services::timers, static_cast<TimerService&>(D().timers)); }
Clock& GetClock() { return Pick(&Services::clock, static_cast<Clock&>(D().clock)); }
FileDialogs& Files() { return Pick(&Services::files, static_cast<FileDialogs&>(D().files)); }
PrintService& Printing() { return Pick(&Services::printing, static_cast<PrintService&>(D().printing)); }
ProcessLauncher& Processes() { return Pick(&Services::processes, static_cast<ProcessLauncher&>(D().processes)); }
InstanceGuard& Instances() { return Pick(&Services::instances, static_cast<InstanceGuard&>(D().instances)); }
Clipboard& GetClipboard() { return Pick(&Services::clipboard, static_cast<Clipboard&>(D().clipboard)); }

Services InstallServices(const Services& s) {
    std::lock_guard<std::mutex> lock(g_mutex);
    Services previous = g_installed;
    if (s.windows) g_installed.windows = s.windows;
    if (s.timers) g_installed.timers = s.timers;
    if (s.clock) g_installed.clock = s.clock;
    if (s.files) g_installed.files = s.files;
    if (s.printing) g_installed.printing = s.printing;
    if (s.processes) g_installed.processes = s.processes;
    if (s.instances) g_installed.instances = s.instances;
    if (s.clipboard) g_installed.clipboard = s.clipboard;
    return previous;
}

void RestoreServices(const Services& s) {
    std::lock_guard<std::mutex> lock(g_mutex);
    g_installed = s;
}

int MessageBox(const std::string& text, unsigned type) {
    switch (type & 0xF) {
    case MB_OKCANCEL:
        return GetReportSink().AskOkCancel(text) ? IDOK : IDCANCEL;
    case MB_YESNO:
        return GetReportSink().AskYesNo(text) ? IDYES : IDNO;
    case MB_YESNOCANCEL:
        return Windows().AskYesNoCancel(text);
    default:
        GetReportSink().MessageBox(text);
        return IDOK;
    }
}

void MessageBeep() { GetReportSink().Beep(); }

}  // namespace fw
