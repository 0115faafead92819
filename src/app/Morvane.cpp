#include "app/Morvane.h"

#include <cerrno>
#include <new>

#include "app/AboutDlg.h"
#include "app/CircuitDlg.h"
#include "app/CircuitPage.h"
#include "app/MainFrm.h"
#include "app/Splash.h"
#include "app/View.h"
#include "app/WaitCursor.h"
#include "circuit/Doc.h"
#include "platform/ui/Services.h"
#include "platform/ui/UiThread.h"
#include "records/DbMgr.h"
#include "records/Utils.h"
#include "resources/StringTable.h"
#include "schematics/SchemDlg.h"

namespace {

constexpr UINT kMainFrameResource = 101;
constexpr uint16_t kLoggingRequested = 0x0001;
constexpr uint32_t kSplashMinimumMs = 2500;
constexpr UINT kSplashTimer = 1;
constexpr UINT kSplashTimerMs = 500;
constexpr UINT kMsgLoggingEnabled = 53010;
constexpr UINT kMsgViewerRunning = 54028;

std::atomic<CPwrQuorraApp*> g_app{nullptr};

// View > Circuit, also shown after a design file was opened.
void ShowCircuit(CPwrQuorraApp& app) {
    CDocumentHost* doc = app.GetDocument();
    CCircuitDlg dlg(doc ? &doc->Design() : nullptr);
    dlg.DoModal();
}

// The names of the document template (string 101): field 1 is the base of
// new designs' titles ("Morvane" gives "Morvane1", "Morvane2" ...).
std::string TemplateField(int index) {
    const char* s = res::FindString(101);
    std::string text = s ? s : "";
    size_t start = 0;
    for (int i = 0; i < index; ++i) {
        size_t nl = text.find('\n', start);
        if (nl == std::string::npos) return {};
        start = nl + 1;
    }
    size_t end = text.find('\n', start);
    return text.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

std::string FileDialogFilter() { return TemplateField(3) + "|*" + TemplateField(4) + "|All Files (*.*)|*.*||"; }

std::string FileNameOf(const std::string& path) {
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string FolderOf(const std::string& path) {
    size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return {};
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

// Marks the application busy making or opening a design.
class ChangingDocument {
public:
    explicit ChangingDocument(bool& flag) : flag_(flag), was_(flag) { flag_ = true; }
    ~ChangingDocument() { flag_ = was_; }
    ChangingDocument(const ChangingDocument&) = delete;
    ChangingDocument& operator=(const ChangingDocument&) = delete;

private:
    bool& flag_;
    bool was_;
};


}  // namespace

CPwrQuorraApp::CPwrQuorraApp() {
    g_app = this;
    SetAppServices(&documentLink_);
    fw::CommandMap& m = Commands();
    m.OnCommand(fw::ID_FILE_NEW, [this] { OnFileNew(); });
    m.OnCommand(fw::ID_FILE_PRINT_SETUP, [] { fw::Printing().PrintSetup(); });
    m.OnCommand(fw::ID_APP_ABOUT, [this] { OnAppAbout(); });
}

CPwrQuorraApp::~CPwrQuorraApp() {
    if (loggingQueryInstalled_) SetLoggingQuery(nullptr);
    DestroySplash();
    if (mainFrame_) mainFrame_->DestroyWindow();
    document_ = nullptr;
    ownedDocument_.reset();
    if (GetAppServices() == &documentLink_) SetAppServices(nullptr);
    CPwrQuorraApp* self = this;
    g_app.compare_exchange_strong(self, nullptr);
}

CPwrQuorraApp* CPwrQuorraApp::Get() { return g_app.load(); }

BOOL CPwrQuorraApp::InitInstance() {
    CWaitCursor wait;
    // Every report asks this object whether it goes to the log.
    SetLoggingQuery([this] { return IsLoggingOn() != FALSE; });
    loggingQueryInstalled_ = true;

    // This platform always has the threads the analysis needs.

    // One running instance: a second start brings the first forward and ends.
    switch (fw::Instances().Acquire(kInstanceSemaphoreName)) {
    case fw::InstanceGuard::Result::Failed:
        return FALSE;
    case fw::InstanceGuard::Result::AlreadyRunning:
        fw::Instances().BringToFront(kMainWindowClass);
        return FALSE;
    case fw::InstanceGuard::Result::First:
        break;
    }

    if (!profilePath_.empty()) recentFiles_.Load(profilePath_);
    if (CanOpenFiles()) Commands().OnCommand(fw::ID_FILE_OPEN, [this] { OnFileOpen(); });
    if (CanSaveFiles()) {
        Commands().OnCommand(fw::ID_FILE_SAVE, [this] { OnFileSave(); });
        Commands().OnCommand(fw::ID_FILE_SAVE_AS, [this] { OnFileSaveAs(); });
    }

    // The section pictures' dialogs, which the Setup commands open.
    RegisterSchematicDialogs();
    SetSchematicPrinter([](int picture, int title, int output) {
        CPwrQuorraView* view = GetActivePwrQuorraView();
        if (!view) return false;
        view->PrintItem(picture, title, output);
        return true;
    });
    static CCircuitPage circuitPage;
    CPwrQuorraView::SetCircuitPagePrinter(&circuitPage);

    try {
        mainFrame_ = std::make_unique<CMainFrame>(*this);
    } catch (const std::bad_alloc&) {
        ReportMessage1(kAppModule, 3501, FALSE);
        return FALSE;
    }
    if (!mainFrame_->LoadFrame(kMainFrameResource)) {
        mainFrame_.reset();
        return FALSE;
    }

    mainFrame_->ConnectCommand(ID_VIEW_CIRCUIT, [this] { ShowCircuit(*this); });
    mainFrame_->DragAcceptFiles(TRUE);
    // Until a design is in place the frame shows that there is none: a load's
    // messages come before the first idle time would update it.
    mainFrame_->UpdateCommandUI();
    mainFrame_->UpdateStatusPanes();
    fw::Rect work = fw::Windows().GetWorkArea();
    mainFrame_->ShowWindow(fw::SW_SHOWNORMAL);
    mainFrame_->SetWindowPos(work.left, work.top, work.Width(), work.Height(), fw::SWP_NOZORDER);
    mainFrame_->UpdateWindow();

    splash_ = std::make_unique<CSplashWnd>();
    if (splash_->Create(mainFrame_.get())) {
        splash_->ShowWindow(fw::SW_SHOW);
        splash_->UpdateWindow();
        // No handler: the ticks only wake the loop so that idle time comes.
        splash_->SetTimer(kSplashTimer, kSplashTimerMs);
    } else {
        splash_.reset();
    }
    splashStart_ = fw::GetClock().GetTickCount();

    // The command line is one text: empty or "~..." is a new design ("~!"
    // also turns data logging on), anything else is one file path.
    if (commandLine_.empty()) {
        OnFileNew();
    } else if (commandLine_[0] == '~') {
        if (commandLine_.size() > 1 && commandLine_[1] == '!') {
            commandLineFlags_ |= kLoggingRequested;
            ReportMessage(kMsgLoggingEnabled, FALSE);
        }
        OnFileNew();
    } else {
        OpenDocumentFile(commandLine_);
    }

    std::string pack = fw::Processes().ProgramDirectory() + kResourceLibraryName;
    resourceLoaded_ = resources_.Open(pack);
    if (!resourceLoaded_) ReportMessage1(kAppModule, 3502, FALSE);

    g_PartsDbMgr.Open();
    return TRUE;
}

BOOL CPwrQuorraApp::OnIdle(long count) {
    BOOL more = FALSE;
    if (mainFrame_ && mainFrame_->IsWindow()) {
        if (count == 0) {
            mainFrame_->UpdateCommandUI();
            // The design's title carries its modified mark.
            mainFrame_->UpdateTitle();
        }
        more = count < 1 ? TRUE : FALSE;
    }
    if (!IsSplashUp()) return more;
    uint32_t elapsed = fw::GetClock().GetTickCount() - splashStart_;
    if (elapsed <= kSplashMinimumMs) return TRUE;
    DestroySplash();
    if (mainFrame_) mainFrame_->UpdateWindow();
    return more;
}

BOOL CPwrQuorraApp::PreTranslateMessage(UiInput input) {
    if (IsSplashUp() && input != UiInput::Other) {
        DestroySplash();
        if (mainFrame_) mainFrame_->UpdateWindow();
    }
    return FALSE;
}

int CPwrQuorraApp::ExitInstance() {
    g_PartsDbMgr.Close();
    SaveProfile();
    return 0;
}

bool CPwrQuorraApp::IsSplashUp() const { return splash_ && splash_->IsWindow(); }

void CPwrQuorraApp::DestroySplash() {
    if (splash_) {
        splash_->DestroyWindow();
        splash_.reset();
    }
}

BOOL CPwrQuorraApp::CloseCurrentDocument() {
    if (!SaveModified()) return FALSE;
    if (!GetDocument()) return TRUE;
    SetDocument(nullptr);
    RefreshMainFrame(FALSE);
    return TRUE;
}

BOOL CPwrQuorraApp::SaveModified() {
    CDocumentHost* doc = GetDocument();
    if (!doc) return TRUE;
    if (doc->IsModified()) {
        int answer = fw::Windows().AskYesNoCancel("Save the changes to " + PlainTitle(*doc) + "?");
        if (answer == fw::IDCANCEL) return FALSE;
        if (answer == fw::IDYES) {
            if (!CanSaveFiles()) {
                fw::MessageBox("This build of the program cannot write design files; the design stays open.");
                return FALSE;
            }
            std::string path = doc->GetPathName();
            if (path.empty()) {
                fw::FileDialogRequest r;
                r.filter = FileDialogFilter();
                r.defaultExtension = "SEF";
                r.initialFolder = FileDialogFolder();
                r.initialPath = PlainTitle(*doc) + TemplateField(4);
                r.overwritePrompt = true;
                if (!AskSaveFileName(r, path)) return FALSE;
            }
            if (!SaveDocument(*doc, path)) return FALSE;
        }
    }
    return TRUE;
}

std::string CPwrQuorraApp::FileDialogFolder() const {
    CDocumentHost* doc = GetDocument();
    if (doc && !doc->GetPathName().empty()) return FolderOf(doc->GetPathName());
    return lastDialogFolder_;
}

bool CPwrQuorraApp::AskOpenFileName(const fw::FileDialogRequest& request, std::string& path) {
    if (!fw::Files().GetOpenFileName(request, path)) return false;
    lastDialogFolder_ = FolderOf(path);
    return true;
}

bool CPwrQuorraApp::AskSaveFileName(const fw::FileDialogRequest& request, std::string& path) {
    if (!fw::Files().GetSaveFileName(request, path)) return false;
    lastDialogFolder_ = FolderOf(path);
    return true;
}

void CPwrQuorraApp::OnFileNew() {
    if (CloseCurrentDocument()) NewDocument();
}

bool CPwrQuorraApp::NewDocument() {
    if (!factory_) return false;
    std::unique_ptr<CDocumentHost> doc;
    {
        ChangingDocument changing(changingDocument_);
        doc = factory_->CreateDocument();
        if (!doc) return false;
        doc->SetTitle(TemplateField(1) + std::to_string(++untitledCount_));
        if (!doc->OnNewDocument()) return false;
    }
    SetDocument(std::move(doc));
    RefreshMainFrame(FALSE);
    return true;
}

void CPwrQuorraApp::OnFileOpen() {
    fw::FileDialogRequest r;
    r.filter = FileDialogFilter();
    r.defaultExtension = "SEF";
    r.initialFolder = FileDialogFolder();
    std::string path;
    if (AskOpenFileName(r, path)) OpenDocumentFile(path);
}

CDocumentHost* CPwrQuorraApp::OpenDocumentFile(const std::string& path) {
    lastOpenFailed_ = false;
    CDocumentHost* current = GetDocument();
    if (current && current->IsAnalysisRunning()) {
        fw::MessageBeep();
        return current;
    }
    if (!SaveModified()) return GetDocument();
    if (!factory_) return nullptr;
    // The file is read into a document of its own: the open design goes only
    // once the new one has loaded, so a file that fails leaves it as it was.
    std::unique_ptr<CDocumentHost> doc;
    {
        ChangingDocument changing(changingDocument_);
        doc = factory_->CreateDocument();
        if (!doc) {
            RestoreCurrentDesign(current);
            return nullptr;
        }
        // A document that keeps its own path and title sets them while it
        // reads the file (or keeps none, when the file held another kind of
        // design); for the others these are the file's.
        doc->SetPathName(path);
        doc->SetTitle(FileNameOf(path));
        if (!doc->OnOpenDocument(path)) {
            lastOpenFailed_ = true;
            doc.reset();
            RestoreCurrentDesign(current);
            return nullptr;
        }
        doc->SetModifiedFlag(FALSE);
    }
    SetDocument(std::move(doc));
    recentFiles_.Add(path);
    SaveProfile();
    if (mainFrame_) mainFrame_->UpdateRecentFileMenu();
    RefreshMainFrame(TRUE);
    return GetDocument();
}

bool CPwrQuorraApp::SaveDocument(CDocumentHost& doc, const std::string& path) {
    CWaitCursor wait;
    const bool newPath = doc.GetPathName() != path;
    if (!doc.OnSaveDocument(path)) return false;
    doc.SetModifiedFlag(FALSE);
    if (newPath) {
        doc.SetPathName(path);
        doc.SetTitle(FileNameOf(path));
        recentFiles_.Add(path);
        SaveProfile();
        if (mainFrame_) mainFrame_->UpdateRecentFileMenu();
    }
    if (mainFrame_) mainFrame_->UpdateTitle();
    return true;
}

void CPwrQuorraApp::OnFileSave() {
    CDocumentHost* doc = GetDocument();
    if (!doc) return;
    if (doc->GetPathName().empty()) {
        OnFileSaveAs();
        return;
    }
    SaveDocument(*doc, doc->GetPathName());
}

void CPwrQuorraApp::OnFileSaveAs() {
    CDocumentHost* doc = GetDocument();
    if (!doc) return;
    fw::FileDialogRequest r;
    r.filter = FileDialogFilter();
    r.defaultExtension = "SEF";
    r.initialFolder = FileDialogFolder();
    r.initialPath = doc->GetPathName().empty() ? PlainTitle(*doc) + TemplateField(4) : FileNameOf(doc->GetPathName());
    r.overwritePrompt = true;
    std::string path;
    if (AskSaveFileName(r, path)) SaveDocument(*doc, path);
}

void CPwrQuorraApp::RestoreCurrentDesign(CDocumentHost* current) {
    // A document made for the file registered itself as the current one.
    SetCurrentDoc(current ? &current->Design() : nullptr);
}

void CPwrQuorraApp::OnAppExit() {
    if (!mainFrame_ || !mainFrame_->IsWindow()) return;
    if (!mainFrame_->OnQueryClose()) return;
    DestroySplash();
    mainFrame_->DestroyWindow();
}

void CPwrQuorraApp::SetDocument(std::unique_ptr<CDocumentHost> doc) {
    // The pointer that other threads read goes first, the object after.
    document_ = doc.get();
    ownedDocument_ = std::move(doc);
    ++documentSerial_;
    UpdateTitles();
}

void CPwrQuorraApp::UpdateTitles() {
    if (mainFrame_) mainFrame_->UpdateTitle();
}

BOOL CPwrQuorraApp::IsLoggingOn() const {
    if (commandLineFlags_.load() & kLoggingRequested) return TRUE;
    CDocumentHost* doc = document_.load();
    if (!doc || !doc->IsAnalysisRunning()) return FALSE;
    return doc->GetDataLoggingSwitch() ? TRUE : FALSE;
}

void CPwrQuorraApp::RefreshMainFrame(BOOL showCircuit) {
    if (!mainFrame_ || !mainFrame_->IsWindow()) return;
    mainFrame_->UpdateStatusPanes();
    if (showCircuit) ShowCircuit(*this);
}

void CPwrQuorraApp::OnAppAbout() {
    CAboutDlg about(mainFrame_.get());
    about.DoModal();
}

void CPwrQuorraApp::DocumentLink::RefreshMainFrame(int refreshPicture) {
    if (app_.changingDocument_) return;
    app_.RefreshMainFrame(refreshPicture ? TRUE : FALSE);
}

intptr_t CPwrQuorraApp::DocumentLink::GetMainWindowHandle() {
    CMainFrame* frame = app_.GetMainFrame();
    return frame && frame->IsWindow() ? reinterpret_cast<intptr_t>(frame) : 0;
}

void CPwrQuorraApp::DocumentLink::ServeWorkerRequests() {
    // Only the worker's calls (its message boxes): posted messages wait in
    // the frame's queue until the stop or end that waits here has returned.
    fw::ServeUiCalls();
}

std::string CPwrQuorraApp::ViewerPath() const { return fw::Processes().ProgramDirectory() + kViewerProgramName; }

bool CPwrQuorraApp::IsViewerInstalled() const { return fw::Processes().FileExists(ViewerPath()); }

void CPwrQuorraApp::StartViewer() {
    if (fw::Instances().IsRunning(kViewerWindowClass)) {
        const char* question = res::FindString(kMsgViewerRunning);
        if (fw::MessageBox(question ? question : "", fw::MB_YESNO) != fw::IDYES) {
            fw::Instances().BringToFront(kViewerWindowClass);
            return;
        }
    }
    int error = fw::Processes().Spawn(ViewerPath(), {IsLoggingOn() ? "~!" : "~~"});
    if (error == 0) return;
    UINT code = 3508, message = 52162;
    switch (error) {
    case ENOENT: code = 3505; message = 52158; break;
    case E2BIG: code = 3503; message = 52162; break;
    case ENOEXEC: code = 3506; message = 52160; break;
    case ENOMEM: code = 3507; message = 52159; break;
    case EINVAL: code = 3504; message = 52162; break;
    default: break;
    }
    ReportMessage1(kAppModule, static_cast<int>(code), FALSE);
    ReportMessage(message, TRUE);
}

void CPwrQuorraApp::SaveProfile() {
    if (!profilePath_.empty()) recentFiles_.Save(profilePath_);
}
