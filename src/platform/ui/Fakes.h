// Recording fakes of every user-interface service, for tests. FakeUi
// installs all of them, and a recording report sink, for its lifetime:
//
//   fw::FakeUi ui;
//   ui.windows.Script(204, [](fw::Dialog& d) { d.UserTyped(1001, "0.09"); d.UserClicked(fw::IDOK); });
//   int r = dlg.DoModal();          // runs the script against the model
//   EXPECT_EQ(ui.sink.boxes.back(), "Please enter a number between 0.1 and 100000.");
#pragma once

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "platform/core/ReportSink.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/Frame.h"
#include "platform/ui/Services.h"

namespace fw {

class FakeDialogHost : public DialogHost {
public:
    std::vector<int> focusChanges;
    std::vector<int> changedControls;
    int invalidates = 0;
    int paintsNow = 0;
    bool destroyed = false;
    bool ended = false;
    int result = 0;
    void ControlChanged(int id) override { changedControls.push_back(id); }
    void FocusChanged(int id) override { focusChanges.push_back(id); }
    void Invalidate(bool) override { ++invalidates; }
    void UpdateNow() override { ++paintsNow; }
    void EndModal(int r) override {
        ended = true;
        result = r;
    }
    void Destroy() override { destroyed = true; }
};

class FakeFrameHost : public FrameHost {
public:
    int menuChanges = 0;
    int commandStateChanges = 0;
    int toolBarChanges = 0;
    std::vector<int> paneChanges;
    int controlBarChanges = 0;
    int wakes = 0;
    int paintsNow = 0;
    int broughtToFront = 0;
    int titleChanges = 0;
    int childChanges = 0;
    bool destroyed = false;
    void MenuChanged() override { ++menuChanges; }
    void CommandStatesChanged() override { ++commandStateChanges; }
    void ToolBarChanged() override { ++toolBarChanges; }
    void StatusPaneChanged(int index) override { paneChanges.push_back(index); }
    void ControlBarsChanged() override { ++controlBarChanges; }
    void WakeForPosts() override { ++wakes; }
    void UpdateNow() override { ++paintsNow; }
    void BringToFront() override { ++broughtToFront; }
    void TitleChanged() override { ++titleChanges; }
    void ChildChanged() override { ++childChanges; }
    void Destroy() override { destroyed = true; }
};

class FakeWindowSystem : public WindowSystem {
public:
    // What a modal run of the template does; runs once per DoModal, in
    // order. A run whose script leaves the dialog open ends with Escape.
    void Script(UINT templateId, std::function<void(Dialog&)> script) {
        scripts[templateId].push_back(std::move(script));
    }

    int RunModal(Dialog& dlg) override;
    bool CreateModeless(Dialog& dlg, Window* parent) override;
    bool CreateFrame(FrameWnd& frame) override;
    UINT TrackPopupMenu(const Menu& popup, Point screen, Window& owner) override;
    Rect GetWorkArea() override { return workArea; }
    DialogUnits GetDialogBaseUnits() override { return units; }
    Size GetIconSize() override { return iconSize; }
    std::unique_ptr<Canvas> GetMeasuringCanvas(Window&) override { return std::make_unique<RecordingCanvas>(); }
    void BeginWaitCursor() override { ++waitCursorDepth; ++waitCursorUses; }
    void EndWaitCursor() override { --waitCursorDepth; }
    int AskYesNoCancel(const std::string& text) override;
    void RunIdleNow() override { ++idleRuns; }

    std::map<UINT, std::deque<std::function<void(Dialog&)>>> scripts;
    std::vector<UINT> modalRuns;      // template ids, in order
    std::vector<UINT> modelessCreated;
    bool modelessResult = true;
    bool frameResult = true;
    UINT popupAnswer = 0;
    std::vector<Point> popupsAt;
    Rect workArea{0, 0, 1280, 984};
    DialogUnits units{6, 13};
    Size iconSize{32, 32};
    Size frameExtra{8, 30};
    Point clientOffset{4, 26};
    int waitCursorDepth = 0;
    int waitCursorUses = 0;
    std::vector<std::string> threeWayQuestions;
    std::deque<int> threeWayAnswers;
    int threeWayDefault = IDCANCEL;
    int idleRuns = 0;
    std::vector<std::unique_ptr<FakeDialogHost>> dialogHosts;
    std::vector<std::unique_ptr<FakeFrameHost>> frameHosts;
    FakeFrameHost* LastFrameHost() { return frameHosts.empty() ? nullptr : frameHosts.back().get(); }
};

class FakeTimers : public TimerService {
public:
    bool SetTimer(Window& w, UINT id, UINT elapseMs) override {
        active[{&w, id}] = elapseMs;
        return result;
    }
    bool KillTimer(Window& w, UINT id) override { return active.erase({&w, id}) > 0; }
    void KillAll(Window& w) override {
        for (auto it = active.begin(); it != active.end();)
            it = it->first.first == &w ? active.erase(it) : std::next(it);
    }
    bool IsActive(const Window& w, UINT id) const { return active.count({const_cast<Window*>(&w), id}) > 0; }
    UINT Interval(const Window& w, UINT id) const {
        auto it = active.find({const_cast<Window*>(&w), id});
        return it == active.end() ? 0 : it->second;
    }
    // Fires the timer once when it is active.
    bool Fire(Window& w, UINT id) {
        if (!IsActive(w, id)) return false;
        w.OnTimer(id);
        return true;
    }
    std::map<std::pair<Window*, UINT>, UINT> active;
    bool result = true;
};

class FakeClock : public Clock {
public:
    uint32_t GetTickCount() override { return now; }
    void Advance(uint32_t ms) { now += ms; }
    uint32_t now = 100000;
};

class FakeFileDialogs : public FileDialogs {
public:
    bool GetOpenFileName(const FileDialogRequest& r, std::string& path) override { return Answer(r, path); }
    bool GetSaveFileName(const FileDialogRequest& r, std::string& path) override { return Answer(r, path); }
    std::vector<FileDialogRequest> requests;
    // nullopt: the user cancels.
    std::deque<std::optional<std::string>> answers;

private:
    bool Answer(const FileDialogRequest& r, std::string& path) {
        requests.push_back(r);
        if (answers.empty() || !answers.front()) {
            if (!answers.empty()) answers.pop_front();
            return false;
        }
        path = *answers.front();
        answers.pop_front();
        return true;
    }
};

// Prints onto a recording canvas of the chosen page size and resolution.
class FakePrintService : public PrintService {
public:
    bool PrintSetup() override {
        ++setups;
        return setupAnswer;
    }
    bool Print(Printable& job, const std::string& name, bool showDialog) override;
    bool PrintPreview(Printable& job, const std::string& name) override;
    void ProposeOutputFile(const std::string& path) override { proposedFiles.push_back(path); }
    bool LastPrintFailed() const override { return lastFailed; }
    int setups = 0;
    bool setupAnswer = true;
    bool printAnswer = true;   // false: the dialog is cancelled
    bool failAnswer = false;   // true: the printer cannot be opened
    bool lastFailed = false;
    std::vector<std::string> proposedFiles;
    Size pageSize{5100, 6600};
    int ppiX = 600;
    int ppiY = 600;
    std::vector<std::string> jobs;  // "print NAME" or "preview NAME"
    std::unique_ptr<RecordingCanvas> lastPage;
    PrintInfo lastInfo;  // as the last job prepared it

private:
    bool Run(Printable& job, bool preview);
};

class FakeProcessLauncher : public ProcessLauncher {
public:
    int Spawn(const std::string& program, const std::vector<std::string>& args) override {
        spawned.push_back({program, args});
        return spawnResult;
    }
    bool FileExists(const std::string& path) override { return files.count(path) > 0; }
    std::string ProgramDirectory() override { return programDirectory; }
    struct Call {
        std::string program;
        std::vector<std::string> args;
    };
    std::vector<Call> spawned;
    int spawnResult = 0;
    std::set<std::string> files;
    std::string programDirectory = "/opt/powerquorra/";
};

class FakeInstanceGuard : public InstanceGuard {
public:
    Result Acquire(const std::string& name) override {
        acquired.push_back(name);
        return acquireResult;
    }
    bool IsRunning(const std::string& windowClass) override { return running.count(windowClass) > 0; }
    bool BringToFront(const std::string& windowClass) override {
        broughtToFront.push_back(windowClass);
        return running.count(windowClass) > 0;
    }
    Result acquireResult = Result::First;
    std::vector<std::string> acquired;
    std::set<std::string> running;
    std::vector<std::string> broughtToFront;
};

class FakeClipboard : public Clipboard {
public:
    bool SetImage(const Image& image) override {
        images.push_back(image);
        return result;
    }
    bool SetText(const std::string& text) override {
        texts.push_back(text);
        return result;
    }
    std::vector<Image> images;
    std::vector<std::string> texts;
    bool result = true;
};

// Every fake installed, with a recording report sink, for its lifetime.
class FakeUi {
public:
    FakeUi();
    ~FakeUi();
    FakeUi(const FakeUi&) = delete;
    FakeUi& operator=(const FakeUi&) = delete;

    RecordingSink sink;
    FakeWindowSystem windows;
    FakeTimers timers;
    FakeClock clock;
    FakeFileDialogs files;
    FakePrintService printing;
    FakeProcessLauncher processes;
    FakeInstanceGuard instances;
    FakeClipboard clipboard;

private:
    Services previous_;
    ReportSink* previousSink_;
};

}  // namespace fw
