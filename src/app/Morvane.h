// The application object: start-up, the one-design rule, the command line,
// whether data logging is on, the viewer program, the splash's minimum time
// and shut-down. Every part of the shell reaches the open design through it.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

#include "app/DocumentHost.h"
#include "circuit/AppServices.h"
#include "platform/core/Types.h"
#include "platform/ui/Commands.h"
#include "platform/ui/RecentFiles.h"
#include "platform/ui/ResourcePack.h"
#include "platform/ui/Services.h"

class CMainFrame;
class CSplashWnd;

// Fixed names of the program.
constexpr const char* kInstanceSemaphoreName = "TQuorraPowerQuorraDesignerInstanceSemaphore";
constexpr const char* kMainWindowClass = "TQuorraPowerQuorraDesigner";
constexpr const char* kViewerWindowClass = "TQuorraPowerQuorraViewer";
// Installed beside the program.
constexpr const char* kResourceLibraryName = "Dravik.pqr";
constexpr const char* kViewerProgramName = "KVXViewer";

// The application module's internal codes (string 56070).
constexpr UINT kAppModule = 56070;

// What the window binding reports of a key or mouse press before it is
// delivered.
enum class UiInput {
    KeyDown,
    SysKeyDown,
    LButtonDown,
    RButtonDown,
    MButtonDown,
    NcLButtonDown,
    NcRButtonDown,
    NcMButtonDown,
    Other,
};

class CPwrQuorraApp : public fw::CommandTarget {
public:
    CPwrQuorraApp();
    ~CPwrQuorraApp() override;
    CPwrQuorraApp(const CPwrQuorraApp&) = delete;
    CPwrQuorraApp& operator=(const CPwrQuorraApp&) = delete;

    // Before InitInstance: where documents come from, the raw command line
    // (the program's arguments joined by blanks), and where the recent-file
    // list is kept (empty: not kept).
    void SetDocumentFactory(CDocumentFactory* factory) { factory_ = factory; }
    void SetCommandLine(const std::string& raw) { commandLine_ = raw; }
    void SetProfilePath(const std::string& path) { profilePath_ = path; }

    // The start-up sequence; FALSE ends the program before its loop.
    BOOL InitInstance();
    // Idle time of the loop (count 0 after messages were handled).
    BOOL OnIdle(long count);
    // A key or mouse press about to be delivered; never swallows it.
    BOOL PreTranslateMessage(UiInput input);
    int ExitInstance();

    CDocumentHost* GetDocument() const { return document_.load(); }
    // Counts the designs the program has held: a new design may reuse the old one's address.
    uint64_t GetDocumentSerial() const { return documentSerial_; }
    // The resource pack beside the program; nullptr when it could not be loaded.
    const fw::ResourcePack* GetResourceLibrary() const { return resourceLoaded_ ? &resources_ : nullptr; }
    CMainFrame* GetMainFrame() const { return mainFrame_.get(); }
    bool IsSplashUp() const;

    BOOL CloseCurrentDocument();
    // The save question for a modified design (Yes saves it); FALSE when the
    // user cancelled or the save failed. The design stays open.
    BOOL SaveModified();
    void OnFileNew();
    void OnFileOpen();
    void OnFileSave();
    void OnFileSaveAs();
    // Refused with a beep while an analysis runs (returns the open design).
    // Returns the new design, or nullptr when the file could not be opened,
    // in which case the design that was open stays open and unchanged.
    CDocumentHost* OpenDocumentFile(const std::string& path);
    // The last OpenDocumentFile tried the file and the design could not be read.
    bool LastOpenFailed() const { return lastOpenFailed_; }
    // File Exit and the close box: the save question, then the frame goes.
    void OnAppExit();

    // The folder a file dialog starts in: the open design's, else the folder
    // of the last file chosen in a dialog (empty: the system's choice).
    std::string FileDialogFolder() const;
    // The file dialogs, remembering the folder of the file chosen.
    bool AskOpenFileName(const fw::FileDialogRequest& request, std::string& path);
    bool AskSaveFileName(const fw::FileDialogRequest& request, std::string& path);

    BOOL IsLoggingOn() const;
    void RefreshMainFrame(BOOL showCircuit);
    // Help > About.
    void OnAppAbout();
    void StartViewer();
    // Whether the viewer program is installed beside this one.
    bool IsViewerInstalled() const;
    std::string ViewerPath() const;

    fw::RecentFileList& RecentFiles() { return recentFiles_; }
    bool CanOpenFiles() const { return factory_ && factory_->CanOpenFiles(); }
    bool CanSaveFiles() const { return factory_ && factory_->CanSaveFiles(); }
    // The start time of the splash (tick count).
    uint32_t GetSplashStartTime() const { return splashStart_; }
    CSplashWnd* GetSplash() const { return splash_.get(); }

    // The application of the program (the latest constructed).
    static CPwrQuorraApp* Get();

private:
    // What the design document asks of the application.
    class DocumentLink : public CAppServices {
    public:
        explicit DocumentLink(CPwrQuorraApp& app) : app_(app) {}
        void SetDocument(CPwrQuorraDoc*) override {}
        void RefreshMainFrame(int refreshPicture) override;
        BOOL IsLoggingOn() override { return app_.IsLoggingOn(); }
        intptr_t GetMainWindowHandle() override;
        void ServeWorkerRequests() override;

    private:
        CPwrQuorraApp& app_;
    };

    void DestroySplash();
    bool NewDocument();
    bool SaveDocument(CDocumentHost& doc, const std::string& path);
    void SetDocument(std::unique_ptr<CDocumentHost> doc);
    void RestoreCurrentDesign(CDocumentHost* current);
    void UpdateTitles();
    void SaveProfile();

    CDocumentFactory* factory_ = nullptr;
    std::string commandLine_;
    std::string profilePath_;
    uint32_t splashStart_ = 0;
    std::unique_ptr<CSplashWnd> splash_;
    fw::ResourcePack resources_;
    bool resourceLoaded_ = false;
    std::unique_ptr<CDocumentHost> ownedDocument_;
    std::atomic<CDocumentHost*> document_{nullptr};
    uint64_t documentSerial_ = 0;
    std::atomic<uint16_t> commandLineFlags_{0};
    std::unique_ptr<CMainFrame> mainFrame_;
    fw::RecentFileList recentFiles_{4};
    int untitledCount_ = 0;
    bool lastOpenFailed_ = false;
    std::string lastDialogFolder_;
    bool loggingQueryInstalled_ = false;
    // While the application makes or opens a design it refreshes the frame
    // itself once the design is in place; the document's own requests wait.
    bool changingDocument_ = false;
    DocumentLink documentLink_{*this};
};
