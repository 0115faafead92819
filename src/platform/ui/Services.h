// The services behind the user interface, each behind an interface so that
// dialog and frame logic runs in tests with recording fakes (Fakes.h) and in
// the program with the window binding. Message boxes, Yes/No questions, the
// beep and messages posted to the main window go through fw::ReportSink
// (platform/core/ReportSink.h); MessageBox below routes to it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/core/Types.h"
#include "platform/ui/Canvas.h"
#include "platform/ui/Geometry.h"
#include "platform/ui/Image.h"

namespace fw {

class Dialog;
class FrameWnd;
class Window;
class Menu;

// Pixels per 4 horizontal and per 8 vertical dialog units.
struct DialogUnits {
    int baseX = 6;
    int baseY = 13;
};

// Creates real windows for the models and runs their loops.
class WindowSystem {
public:
    virtual ~WindowSystem() = default;
    // Creates the dialog's window, runs it modally, returns the result of
    // EndDialog, or -1 when the dialog could not be created.
    virtual int RunModal(Dialog& dlg) = 0;
    // Creates a modeless dialog (shown when the form says so or ShowWindow
    // is called); false when it could not be created.
    virtual bool CreateModeless(Dialog& dlg, Window* parent) = 0;
    // Creates the frame's window with its menu, toolbar and status bar.
    virtual bool CreateFrame(FrameWnd& frame) = 0;
    // Shows a popup menu at a screen point; returns the chosen command or 0.
    virtual UINT TrackPopupMenu(const Menu& popup, Point screen, Window& owner) = 0;
    // The screen less the task bar.
    virtual Rect GetWorkArea() = 0;
    virtual DialogUnits GetDialogBaseUnits() = 0;
    // The system icon size (32 by 32 on most screens).
    virtual Size GetIconSize() = 0;
    // A canvas that measures text in the window's font (a client DC).
    virtual std::unique_ptr<Canvas> GetMeasuringCanvas(Window& w) = 0;
    // The wait cursor over the whole program, counted (nested on and off).
    virtual void BeginWaitCursor() = 0;
    virtual void EndWaitCursor() = 0;
    // A three-way question; returns IDYES, IDNO or IDCANCEL.
    virtual int AskYesNoCancel(const std::string& text) = 0;
    // Runs the idle processing now (update handlers); used where the
    // framework must bring menus and buttons up to date at once.
    virtual void RunIdleNow() = 0;
};

class TimerService {
public:
    virtual ~TimerService() = default;
    // Starts or restarts the window's timer; its ticks call w.OnTimer(id) on
    // the user-interface thread until KillTimer.
    virtual bool SetTimer(Window& w, UINT id, UINT elapseMs) = 0;
    virtual bool KillTimer(Window& w, UINT id) = 0;
    // Every timer of the window is killed (the window is destroyed).
    virtual void KillAll(Window& w) = 0;
};

// Milliseconds since an arbitrary start, wrapping at 2^32 like a tick count.
class Clock {
public:
    virtual ~Clock() = default;
    virtual uint32_t GetTickCount() = 0;
};

struct FileDialogRequest {
    std::string title;             // empty: the system's own title
    std::string filter;            // "Name (*.ext)|*.ext|All Files (*.*)|*.*||"
    std::string defaultExtension;  // without the dot
    std::string initialFolder;     // empty: the system's choice
    std::string initialPath;       // a file name in that folder, or a whole path
    bool overwritePrompt = false;  // save dialogs: ask before replacing a file
};

class FileDialogs {
public:
    virtual ~FileDialogs() = default;
    // false when the user cancelled.
    virtual bool GetOpenFileName(const FileDialogRequest& request, std::string& path) = 0;
    virtual bool GetSaveFileName(const FileDialogRequest& request, std::string& path) = 0;
};

// One print job: the printable area in device units and the page.
struct PrintInfo {
    bool preview = false;
    int currentPage = 1;
    int maxPage = 1;
    Rect drawArea;  // the printable area of the page, device units
    // Set by OnPreparePrinting for the print dialog: no page range to choose,
    // no printing into a printer file.
    bool noPageNumbers = false;
    bool hidePrintToFile = false;
};

// What a view does to print: prepare (may cancel), then draw each page.
class Printable {
public:
    virtual ~Printable() = default;
    virtual bool OnPreparePrinting(PrintInfo& info) { return true; }
    virtual void OnBeginPrinting(Canvas& dc, PrintInfo& info) {}
    virtual void OnPrint(Canvas& dc, PrintInfo& info) = 0;
    virtual void OnEndPrinting(Canvas& dc, PrintInfo& info) {}
};

class PrintService {
public:
    virtual ~PrintService() = default;
    // The printer and page settings dialog; false when cancelled.
    virtual bool PrintSetup() = 0;
    // Prints (after the print dialog when showDialog); false when cancelled
    // or failed.
    virtual bool Print(Printable& job, const std::string& documentName, bool showDialog) = 0;
    virtual bool PrintPreview(Printable& job, const std::string& documentName) = 0;
    // The file the next job's print dialog offers when it prints to a file
    // (the job's own name in its design's folder), so that no job writes
    // over the file of the one before unasked.
    virtual void ProposeOutputFile(const std::string& path) { (void)path; }
    // The last Print failed (the printer or its file could not be opened),
    // as opposed to being cancelled.
    virtual bool LastPrintFailed() const { return false; }
};

class ProcessLauncher {
public:
    virtual ~ProcessLauncher() = default;
    // Starts a program without waiting; 0 when started, else an errno value
    // (ENOENT, E2BIG, ENOEXEC, ENOMEM, EINVAL ...).
    virtual int Spawn(const std::string& program, const std::vector<std::string>& args) = 0;
    virtual bool FileExists(const std::string& path) = 0;
    // The folder that holds the running program (with a trailing '/').
    virtual std::string ProgramDirectory() = 0;
};

// One running instance per name, and finding another program's window.
class InstanceGuard {
public:
    enum class Result { First, AlreadyRunning, Failed };
    virtual ~InstanceGuard() = default;
    // Marks this process as the running instance of the name; the mark goes
    // away when the process ends, however it ends.
    virtual Result Acquire(const std::string& name) = 0;
    // Whether a program that answers to the window class is running.
    virtual bool IsRunning(const std::string& windowClass) = 0;
    // Asks that program to restore its main window and come to the front.
    virtual bool BringToFront(const std::string& windowClass) = 0;
};

class Clipboard {
public:
    virtual ~Clipboard() = default;
    virtual bool SetImage(const Image& image) = 0;
    virtual bool SetText(const std::string& text) = 0;
};

// The installed services. Until something is installed they are headless:
// no windows (RunModal returns -1), no timers, the real clock, no printer,
// real process start, a lock-based instance guard without window finding.
struct Services {
    WindowSystem* windows = nullptr;
    TimerService* timers = nullptr;
    Clock* clock = nullptr;
    FileDialogs* files = nullptr;
    PrintService* printing = nullptr;
    ProcessLauncher* processes = nullptr;
    InstanceGuard* instances = nullptr;
    Clipboard* clipboard = nullptr;
};

// Each call returns the installed service or the headless default.
WindowSystem& Windows();
TimerService& Timers();
Clock& GetClock();
FileDialogs& Files();
PrintService& Printing();
ProcessLauncher& Processes();
InstanceGuard& Instances();
Clipboard& GetClipboard();

// Installs the non-null members; returns what was installed before.
Services InstallServices(const Services& s);
// Replaces every member (null members go back to the defaults).
void RestoreServices(const Services& s);

// Message box types and the framework's box: MB_OK goes to the report
// sink's MessageBox, MB_OKCANCEL to its AskOkCancel, MB_YESNO to its
// AskYesNo, MB_YESNOCANCEL to the window system. Returns IDOK, IDYES, IDNO or IDCANCEL.
enum : unsigned {
    MB_OK = 0x0,
    MB_OKCANCEL = 0x1,
    MB_YESNOCANCEL = 0x3,
    MB_YESNO = 0x4,
    MB_ICONEXCLAMATION = 0x30,
};
int MessageBox(const std::string& text, unsigned type = MB_OK);
void MessageBeep();

}  // namespace fw
