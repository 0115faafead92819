// The user-interface services on Qt: windows, timers, file dialogs, the
// clipboard, printing, message boxes (on the user-interface thread only),
// the single-instance guard with its local socket, and the loop's idle time.
#pragma once

#include <QObject>
#include <QMessageBox>
#include <QPrinter>
#include <QRect>
#include <atomic>
#include <functional>
#include <map>
#include <memory>
#include <string>

#include "platform/core/ReportSink.h"
#include "platform/ui/Services.h"

class QLocalServer;
class QTimer;
class QWidget;

class QPrintPreviewDialog;

namespace fw::qt {

// The QWidget that shows a model window, or nullptr.
QWidget* WidgetOf(const Window* w);
void RegisterWidget(const Window* w, QWidget* widget);
void UnregisterWidget(const Window* w);

class QtWindowSystem : public WindowSystem {
public:
    int RunModal(Dialog& dlg) override;
    bool CreateModeless(Dialog& dlg, Window* parent) override;
    bool CreateFrame(FrameWnd& frame) override;
    UINT TrackPopupMenu(const Menu& popup, Point screen, Window& owner) override;
    Rect GetWorkArea() override;
    DialogUnits GetDialogBaseUnits() override;
    Size GetIconSize() override;
    std::unique_ptr<Canvas> GetMeasuringCanvas(Window& w) override;
    void BeginWaitCursor() override;
    void EndWaitCursor() override;
    int AskYesNoCancel(const std::string& text) override;
    void RunIdleNow() override;

    // What the loop's idle time runs (the application's OnIdle).
    std::function<bool(long)> onIdle;
};

class QtTimers : public QObject, public TimerService {
public:
    bool SetTimer(Window& w, UINT id, UINT elapseMs) override;
    bool KillTimer(Window& w, UINT id) override;
    void KillAll(Window& w) override;

private:
    std::map<std::pair<Window*, UINT>, QTimer*> timers_;
};

class QtFileDialogs : public FileDialogs {
public:
    bool GetOpenFileName(const FileDialogRequest& r, std::string& path) override;
    bool GetSaveFileName(const FileDialogRequest& r, std::string& path) override;
    // "Name (*.x)|*.x|All Files (*.*)|*.*||" as Qt's ";;" list.
    static QString ToQtFilter(const std::string& filter);
};

class QtClipboard : public Clipboard {
public:
    bool SetImage(const Image& image) override;
    bool SetText(const std::string& text) override;
};

// Prints with Qt's print support. With a PDF path set, every job is written
// to that file without a dialog (tests, and printing to a file).
class QtPrintService : public PrintService {
public:
    QtPrintService();
    ~QtPrintService() override;
    bool PrintSetup() override;
    bool Print(Printable& job, const std::string& documentName, bool showDialog) override;
    bool PrintPreview(Printable& job, const std::string& documentName) override;
    void ProposeOutputFile(const std::string& path) override { proposal_ = path; }
    bool LastPrintFailed() const override { return failed_; }
    void SetPdfOutput(const std::string& path) { pdfPath_ = path; }
    // The printer's resolution in dots per inch (the printer's own until set).
    void SetResolution(int dpi);
    // Draws the job on the printer (a preview's printer too).
    static bool Render(QPrinter& printer, Printable& job, bool preview);
    // A preview window large enough to read: most of the work area, the page
    // fitted to its width.
    static void SizePreview(QPrintPreviewDialog& dialog, const QRect& workArea);

private:
    // The proposal for the next job only.
    std::string TakeProposal();

    std::unique_ptr<QPrinter> printer_;
    std::string pdfPath_;
    std::string proposal_;
    bool failed_ = false;
};

// One instance: the lock of the runtime folder, and a local socket named
// after the main window's class over which a second start asks the first
// to come forward.
class QtInstanceGuard : public QObject, public InstanceGuard {
public:
    ~QtInstanceGuard() override;
    Result Acquire(const std::string& name) override;
    bool IsRunning(const std::string& windowClass) override;
    bool BringToFront(const std::string& windowClass) override;
    // The first instance answers under the window class; each request to
    // come forward calls the function on the user-interface thread.
    bool Listen(const std::string& windowClass, std::function<void()> onBringToFront);
    static std::string SocketPath(const std::string& windowClass);

private:
    QLocalServer* server_ = nullptr;
    std::function<void()> onBringToFront_;
};

// The message boxes' common make-up: the caption never elided, and the
// program's own good news with an information icon (all else warns).
void FitCaption(QMessageBox& box);
QMessageBox::Icon IconFor(const std::string& text);

// Message boxes and questions on the user-interface thread (a worker's call
// waits for the answer); posts go to the frame's queue.
class QtReportSink : public ReportSink {
public:
    void MessageBox(const std::string& text) override;
    bool AskYesNo(const std::string& text) override;
    bool AskOkCancel(const std::string& text) override;
    void Beep() override;
    bool PostToMainWindow(uint32_t message, intptr_t wParam, intptr_t lParam) override;
    void SetFrame(FrameWnd* frame) { frame_ = frame; }
    void SetCaption(const std::string& caption) { caption_ = caption; }

private:
    std::atomic<FrameWnd*> frame_{nullptr};
    std::string caption_;
};

// Every Qt service, installed for its lifetime (a QApplication must exist).
class QtUi {
public:
    QtUi();
    ~QtUi();
    QtUi(const QtUi&) = delete;
    QtUi& operator=(const QtUi&) = delete;

    QtWindowSystem windows;
    QtTimers timers;
    QtFileDialogs files;
    QtPrintService printing;
    QtInstanceGuard instances;
    QtClipboard clipboard;
    QtReportSink sink;

private:
    Services previous_;
    ReportSink* previousSink_;
    QObject* idleHook_ = nullptr;
};

}  // namespace fw::qt
