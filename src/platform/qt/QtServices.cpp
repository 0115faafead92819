#include "platform/qt/QtServices.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QClipboard>
#include <QFileDialog>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLocalServer>
#include <QLocalSocket>
#include <QMenu>
#include <QMessageBox>
#include <QPrinterInfo>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QScreen>
#include <QStyle>
#include <QTimer>

#include "platform/qt/QtCanvas.h"
#include "platform/qt/QtDialog.h"
#include "platform/qt/QtFrame.h"
#include "platform/qt/QtText.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/Frame.h"
#include "platform/ui/System.h"
#include "platform/ui/UiThread.h"
#include "resources/StringTable.h"

namespace fw::qt {

namespace {

std::map<const Window*, QWidget*>& Registry() {
    static std::map<const Window*, QWidget*> r;
    return r;
}

QWidget* ActiveParent() {
    if (QWidget* w = QApplication::activeModalWidget()) return w;
    return QApplication::activeWindow();
}

QString Caption() {
    const char* s = res::FindString(57344);
    return ToQ(s ? s : "");
}

}  // namespace

void FitCaption(QMessageBox& box) {
    // A box as narrow as a short message elides its caption in the title
    // bar: the grid gets a strut as wide as the caption and the title bar's
    // buttons.
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (!grid) return;
    const int width = QFontMetrics(QApplication::font("QMdiSubWindowTitleBar")).horizontalAdvance(box.windowTitle()) + 160;
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Minimum, QSizePolicy::Fixed), grid->rowCount(), 0, 1,
                  grid->columnCount());
}

QMessageBox::Icon IconFor(const std::string& text) {
    // The program's own news (a run went well, logging is on) is no warning.
    for (unsigned id : {53001u, 53010u}) {
        const char* s = res::FindString(id);
        if (s && text == s) return QMessageBox::Information;
    }
    return QMessageBox::Warning;
}

namespace {

// A canvas for measuring text in the dialog font.
struct MeasureSurface {
    QImage image{1, 1, QImage::Format_ARGB32_Premultiplied};
    QPainter painter{&image};
};

class MeasuringCanvas : private MeasureSurface, public QtCanvas {
public:
    MeasuringCanvas() : QtCanvas(painter, {1, 1}, image.logicalDpiX(), image.logicalDpiY()) {
        SetDefaultFontHeight(DialogFont().pixelSize());
    }
};

}  // namespace

QWidget* WidgetOf(const Window* w) {
    if (!w) return nullptr;
    auto it = Registry().find(w);
    return it == Registry().end() ? nullptr : it->second;
}

void RegisterWidget(const Window* w, QWidget* widget) { Registry()[w] = widget; }

void UnregisterWidget(const Window* w) { Registry().erase(w); }

// ---------------------------------------------------------------------------

int QtWindowSystem::RunModal(Dialog& dlg) {
    if (!dlg.GetForm()) return -1;
    QWidget* parent = WidgetOf(dlg.GetParent());
    if (!parent) parent = ActiveParent();
    int result = IDCANCEL;
    {
        QtDialog window(dlg, parent, true);
        RegisterWidget(&dlg, &window);
        if (!dlg.IsEnded()) window.exec();
        if (dlg.IsEnded()) result = dlg.GetResult();
        UnregisterWidget(&dlg);
    }
    return result;
}

bool QtWindowSystem::CreateModeless(Dialog& dlg, Window* parent) {
    if (!dlg.GetForm()) return false;
    auto* window = new QtDialog(dlg, WidgetOf(parent), false);
    RegisterWidget(&dlg, window);
    QObject::connect(window, &QObject::destroyed, [&dlg] { UnregisterWidget(&dlg); });
    return true;
}

bool QtWindowSystem::CreateFrame(FrameWnd& frame) {
    auto* window = new QtFrame(frame);
    frame.AttachFrameHost(window);
    RegisterWidget(&frame, window);
    QObject::connect(window, &QObject::destroyed, [&frame] { UnregisterWidget(&frame); });
    QRect g = window->geometry();
    frame.SetGeometryFromHost(FromQRect(g), {0, 0}, {0, 0});
    return true;
}

UINT QtWindowSystem::TrackPopupMenu(const Menu& popup, Point screen, Window& owner) {
    QMenu menu(WidgetOf(&owner));
    std::function<void(QMenu*, const std::vector<MenuItem>&)> fill = [&](QMenu* m, const std::vector<MenuItem>& items) {
        for (const MenuItem& item : items) {
            if (item.kind == MenuItem::Separator) m->addSeparator();
            else if (item.kind == MenuItem::Popup) fill(m->addMenu(ToQ(item.text)), item.items);
            else {
                QAction* a = m->addAction(ToQ(item.text));
                a->setData(item.id);
                a->setEnabled(item.enabled);
            }
        }
    };
    fill(&menu, popup.items);
    QAction* chosen = menu.exec(QPoint(screen.x, screen.y));
    return chosen ? chosen->data().toUInt() : 0;
}

Rect QtWindowSystem::GetWorkArea() {
    QScreen* s = QGuiApplication::primaryScreen();
    return s ? FromQRect(s->availableGeometry()) : Rect{0, 0, 1024, 768};
}

DialogUnits QtWindowSystem::GetDialogBaseUnits() { return DialogBaseUnitsOf(DialogFont()); }

Size QtWindowSystem::GetIconSize() {
    int s = QApplication::style()->pixelMetric(QStyle::PM_LargeIconSize);
    return {s, s};
}

std::unique_ptr<Canvas> QtWindowSystem::GetMeasuringCanvas(Window&) { return std::make_unique<MeasuringCanvas>(); }

void QtWindowSystem::BeginWaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }

void QtWindowSystem::EndWaitCursor() { QApplication::restoreOverrideCursor(); }

int QtWindowSystem::AskYesNoCancel(const std::string& text) {
    int answer = IDCANCEL;
    CallOnUiThread([&] {
        QMessageBox box(QMessageBox::Question, Caption(), ToQ(text),
                        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, ActiveParent());
        FitCaption(box);
        int r = box.exec();
        answer = r == QMessageBox::Yes ? IDYES : r == QMessageBox::No ? IDNO : IDCANCEL;
    });
    return answer;
}

void QtWindowSystem::RunIdleNow() {
    if (!onIdle) return;
    for (long n = 0; n < 16 && onIdle(n); ++n) {
    }
}

// ---------------------------------------------------------------------------

bool QtTimers::SetTimer(Window& w, UINT id, UINT elapseMs) {
    QTimer*& t = timers_[{&w, id}];
    if (!t) {
        t = new QTimer(this);
        Window* target = &w;
        QObject::connect(t, &QTimer::timeout, this, [target, id] { target->OnTimer(id); });
    }
    t->start(static_cast<int>(elapseMs));
    return true;
}

bool QtTimers::KillTimer(Window& w, UINT id) {
    auto it = timers_.find({&w, id});
    if (it == timers_.end()) return false;
    it->second->stop();
    it->second->deleteLater();
    timers_.erase(it);
    return true;
}

void QtTimers::KillAll(Window& w) {
    for (auto it = timers_.begin(); it != timers_.end();) {
        if (it->first.first == &w) {
            it->second->stop();
            it->second->deleteLater();
            it = timers_.erase(it);
        } else {
            ++it;
        }
    }
}

// ---------------------------------------------------------------------------

QString QtFileDialogs::ToQtFilter(const std::string& filter) {
    QStringList parts = ToQ(filter).split(QLatin1Char('|'));
    QStringList out;
    for (int i = 0; i + 1 < parts.size(); i += 2) {
        QString name = parts[i], pattern = parts[i + 1];
        if (name.isEmpty()) break;
        pattern.replace(QLatin1Char(';'), QLatin1Char(' '));
        out << (name.contains(QLatin1Char('(')) ? name : name + QStringLiteral(" (") + pattern + QLatin1Char(')'));
    }
    return out.join(QStringLiteral(";;"));
}

namespace {

// The folder the dialog opens in, then the file it proposes there.
void PlaceDialog(QFileDialog& dialog, const FileDialogRequest& r) {
    if (!r.initialFolder.empty()) dialog.setDirectory(PathToQ(r.initialFolder));
    if (!r.initialPath.empty()) dialog.selectFile(PathToQ(r.initialPath));
}

}  // namespace

bool QtFileDialogs::GetOpenFileName(const FileDialogRequest& r, std::string& path) {
    QFileDialog dialog(ActiveParent(), ToQ(r.title), QString(), ToQtFilter(r.filter));
    PlaceDialog(dialog, r);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
    path = PathFromQ(dialog.selectedFiles().front());
    return true;
}

bool QtFileDialogs::GetSaveFileName(const FileDialogRequest& r, std::string& path) {
    QFileDialog dialog(ActiveParent(), ToQ(r.title), QString(), ToQtFilter(r.filter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(ToQ(r.defaultExtension));
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !r.overwritePrompt);
    PlaceDialog(dialog, r);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return false;
    path = PathFromQ(dialog.selectedFiles().front());
    return true;
}

bool QtClipboard::SetImage(const Image& image) {
    QClipboard* c = QGuiApplication::clipboard();
    if (!c || image.IsNull()) return false;
    c->setImage(ToQImage(image));
    return true;
}

bool QtClipboard::SetText(const std::string& text) {
    QClipboard* c = QGuiApplication::clipboard();
    if (!c) return false;
    c->setText(ToQ(text));
    return true;
}

// ---------------------------------------------------------------------------

QtPrintService::QtPrintService() : printer_(std::make_unique<QPrinter>(QPrinter::HighResolution)) {}

QtPrintService::~QtPrintService() = default;

bool QtPrintService::PrintSetup() {
    if (!pdfPath_.empty()) return true;
    QPageSetupDialog dialog(printer_.get(), ActiveParent());
    return dialog.exec() == QDialog::Accepted;
}

namespace {

constexpr const char* kPrintFailed = "Problem:  The page could not be printed.\nThe printer or the output file could not be opened.";

PrintInfo PageInfo(QPrinter& printer, bool preview) {
    PrintInfo info;
    info.preview = preview;
    QRect paint = printer.pageLayout().paintRectPixels(printer.resolution());
    info.drawArea = Rect{0, 0, paint.width(), paint.height()};
    return info;
}

// Draws the prepared job's pages; the drawing area is the page's as the
// printer now has it (the print dialog may have changed printer or paper).
bool RenderPrepared(QPrinter& printer, Printable& job, PrintInfo info) {
    PrintInfo page = PageInfo(printer, info.preview);
    info.drawArea = page.drawArea;
    QPainter painter;
    if (!painter.begin(&printer)) return false;
    QtCanvas canvas(painter, {info.drawArea.Width(), info.drawArea.Height()}, printer.resolution(),
                    printer.resolution());
    job.OnBeginPrinting(canvas, info);
    for (info.currentPage = 1; info.currentPage <= info.maxPage; ++info.currentPage) {
        if (info.currentPage > 1) printer.newPage();
        job.OnPrint(canvas, info);
    }
    info.currentPage = info.maxPage;
    job.OnEndPrinting(canvas, info);
    return painter.end();
}

}  // namespace

bool QtPrintService::Render(QPrinter& printer, Printable& job, bool preview) {
    PrintInfo info = PageInfo(printer, preview);
    if (!job.OnPreparePrinting(info)) return false;
    return RenderPrepared(printer, job, info);
}

void QtPrintService::SetResolution(int dpi) { printer_->setResolution(dpi); }

std::string QtPrintService::TakeProposal() {
    std::string p;
    p.swap(proposal_);
    return p;
}

bool QtPrintService::Print(Printable& job, const std::string& documentName, bool showDialog) {
    failed_ = false;
    printer_->setDocName(ToQ(documentName));
    // The one printer keeps the last job's output file: a job that prints to
    // a file (the last one did, or there is no printer but a file) offers
    // its own instead.
    const std::string proposal = TakeProposal();
    if (!proposal.empty() && (!printer_->outputFileName().isEmpty() || QPrinterInfo::availablePrinters().isEmpty()))
        printer_->setOutputFileName(PathToQ(proposal));
    PrintInfo info = PageInfo(*printer_, false);
    if (!job.OnPreparePrinting(info)) return false;
    if (!pdfPath_.empty()) {
        printer_->setOutputFormat(QPrinter::PdfFormat);
        printer_->setOutputFileName(PathToQ(pdfPath_));
    } else if (showDialog) {
        QPrintDialog dialog(printer_.get(), ActiveParent());
        if (info.noPageNumbers) dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
        // hidePrintToFile is not honoured here: on this platform printing to
        // a PDF file is an ordinary printer, not a printer-data file.
        if (dialog.exec() != QDialog::Accepted) return false;
    }
    if (RenderPrepared(*printer_, job, info)) return true;
    // The printer or the output file could not be opened: the user asked for
    // a page and gets none, so say so.
    failed_ = true;
    MessageBox(kPrintFailed, MB_ICONEXCLAMATION);
    return false;
}

void QtPrintService::SizePreview(QPrintPreviewDialog& dialog, const QRect& workArea) {
    QRect r(QPoint(), workArea.size() * 9 / 10);
    r.moveCenter(workArea.center());
    dialog.setGeometry(r);
    if (auto* view = dialog.findChild<QPrintPreviewWidget*>()) view->fitToWidth();
}

bool QtPrintService::PrintPreview(Printable& job, const std::string& documentName) {
    printer_->setDocName(ToQ(documentName));
    TakeProposal();
    if (!pdfPath_.empty()) {
        printer_->setOutputFormat(QPrinter::PdfFormat);
        printer_->setOutputFileName(PathToQ(pdfPath_));
        return Render(*printer_, job, true);
    }
    QPrintPreviewDialog dialog(printer_.get(), ActiveParent());
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, [&job](QPrinter* p) { Render(*p, job, true); });
    QScreen* screen = QGuiApplication::primaryScreen();
    SizePreview(dialog, screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768));
    dialog.exec();
    return true;
}

// ---------------------------------------------------------------------------

QtInstanceGuard::~QtInstanceGuard() {
    if (server_) server_->close();
}

InstanceGuard::Result QtInstanceGuard::Acquire(const std::string& name) { return InstanceLock::Acquire(name); }

std::string QtInstanceGuard::SocketPath(const std::string& windowClass) { return RuntimeDirectory() + windowClass; }

bool QtInstanceGuard::IsRunning(const std::string& windowClass) {
    QLocalSocket s;
    s.connectToServer(PathToQ(SocketPath(windowClass)));
    if (!s.waitForConnected(500)) return false;
    s.disconnectFromServer();
    return true;
}

bool QtInstanceGuard::BringToFront(const std::string& windowClass) {
    QLocalSocket s;
    s.connectToServer(PathToQ(SocketPath(windowClass)));
    if (!s.waitForConnected(1000)) return false;
    s.write("front\n");
    bool written = s.waitForBytesWritten(1000);
    s.disconnectFromServer();
    if (s.state() != QLocalSocket::UnconnectedState) s.waitForDisconnected(1000);
    return written;
}

bool QtInstanceGuard::Listen(const std::string& windowClass, std::function<void()> onBringToFront) {
    onBringToFront_ = std::move(onBringToFront);
    if (!server_) {
        server_ = new QLocalServer(this);
        server_->setSocketOptions(QLocalServer::UserAccessOption);
        QObject::connect(server_, &QLocalServer::newConnection, this, [this] {
            while (QLocalSocket* c = server_->nextPendingConnection()) {
                auto handle = [this, c] {
                    if (c->property("pqDone").toBool()) return;
                    QByteArray data = c->readAll();
                    if (data.contains("front")) {
                        c->setProperty("pqDone", true);
                        if (onBringToFront_) onBringToFront_();
                    }
                };
                QObject::connect(c, &QLocalSocket::readyRead, this, handle);
                QObject::connect(c, &QLocalSocket::disconnected, this, [c, handle] {
                    handle();
                    c->deleteLater();
                });
                if (c->bytesAvailable()) handle();
            }
        });
    }
    if (server_->isListening()) return true;
    QString path = PathToQ(SocketPath(windowClass));
    if (server_->listen(path)) return true;
    // A socket left behind by an instance that died: this process holds the
    // instance lock, so nobody else is listening there.
    QLocalServer::removeServer(path);
    return server_->listen(path);
}

// ---------------------------------------------------------------------------

void QtReportSink::MessageBox(const std::string& text) {
    std::string caption = caption_;
    CallOnUiThread([&] {
        QMessageBox box(IconFor(text), caption.empty() ? Caption() : ToQ(caption), ToQ(text), QMessageBox::Ok,
                        ActiveParent());
        FitCaption(box);
        box.exec();
    });
}

bool QtReportSink::AskYesNo(const std::string& text) {
    bool yes = false;
    std::string caption = caption_;
    CallOnUiThread([&] {
        QMessageBox box(QMessageBox::Question, caption.empty() ? Caption() : ToQ(caption), ToQ(text),
                        QMessageBox::Yes | QMessageBox::No, ActiveParent());
        FitCaption(box);
        yes = box.exec() == QMessageBox::Yes;
    });
    return yes;
}

bool QtReportSink::AskOkCancel(const std::string& text) {
    bool ok = false;
    std::string caption = caption_;
    CallOnUiThread([&] {
        QMessageBox box(QMessageBox::Warning, caption.empty() ? Caption() : ToQ(caption), ToQ(text),
                        QMessageBox::Ok | QMessageBox::Cancel, ActiveParent());
        FitCaption(box);
        ok = box.exec() == QMessageBox::Ok;
    });
    return ok;
}

void QtReportSink::Beep() {
    CallOnUiThread([] { QApplication::beep(); });
}

bool QtReportSink::PostToMainWindow(uint32_t message, intptr_t wParam, intptr_t lParam) {
    FrameWnd* f = frame_.load();
    return f && f->PostMessage(message, wParam, lParam);
}

// ---------------------------------------------------------------------------

QtUi::QtUi() {
    Services s;
    s.windows = &windows;
    s.timers = &timers;
    s.files = &files;
    s.printing = &printing;
    s.instances = &instances;
    s.clipboard = &clipboard;
    previous_ = InstallServices(s);
    previousSink_ = SetReportSink(&sink);
    SetUiThread();
    OpenUiCalls();
    SetUiWaker([] {
        if (QCoreApplication* app = QCoreApplication::instance())
            QMetaObject::invokeMethod(app, [] { ServeUiCalls(); }, Qt::QueuedConnection);
    });
    // Idle time: whenever the loop is about to wait for events.
    idleHook_ = new QObject;
    if (QAbstractEventDispatcher* d = QAbstractEventDispatcher::instance()) {
        QObject::connect(d, &QAbstractEventDispatcher::aboutToBlock, idleHook_, [this] {
            static bool inIdle = false;
            if (inIdle || !windows.onIdle) return;
            inIdle = true;
            windows.onIdle(0);
            inIdle = false;
        });
    }
}

QtUi::~QtUi() {
    delete idleHook_;
    CloseUiCalls();
    SetUiWaker(nullptr);
    SetReportSink(previousSink_);
    RestoreServices(previous_);
}

}  // namespace fw::qt
