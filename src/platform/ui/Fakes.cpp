#include "platform/ui/Fakes.h"

namespace fw {

int FakeWindowSystem::RunModal(Dialog& dlg) {
    modalRuns.push_back(dlg.GetTemplateId());
    if (!dlg.BuildControls(units, frameExtra, clientOffset)) return -1;
    dialogHosts.push_back(std::make_unique<FakeDialogHost>());
    FakeDialogHost* host = dialogHosts.back().get();
    dlg.AttachDialogHost(host);
    dlg.SetVisibleFromHost(true);
    dlg.InitDialog();
    auto it = scripts.find(dlg.GetTemplateId());
    if (it != scripts.end() && !it->second.empty() && !dlg.IsEnded()) {
        auto script = std::move(it->second.front());
        it->second.pop_front();
        script(dlg);
    }
    if (!dlg.IsEnded()) dlg.UserPressedEscape();
    if (!dlg.IsEnded()) dlg.EndDialog(IDCANCEL);
    int result = dlg.GetResult();
    dlg.DestroyWindow();
    return result;
}

bool FakeWindowSystem::CreateModeless(Dialog& dlg, Window* parent) {
    if (!modelessResult || !dlg.BuildControls(units, frameExtra, clientOffset)) return false;
    modelessCreated.push_back(dlg.GetTemplateId());
    dialogHosts.push_back(std::make_unique<FakeDialogHost>());
    dlg.AttachDialogHost(dialogHosts.back().get());
    dlg.InitDialog();
    return true;
}

bool FakeWindowSystem::CreateFrame(FrameWnd& frame) {
    if (!frameResult) return false;
    frameHosts.push_back(std::make_unique<FakeFrameHost>());
    frame.AttachFrameHost(frameHosts.back().get());
    frame.SetGeometryFromHost(Rect::FromXYWH(0, 0, 800, 600), frameExtra, clientOffset);
    return true;
}

UINT FakeWindowSystem::TrackPopupMenu(const Menu&, Point screen, Window&) {
    popupsAt.push_back(screen);
    return popupAnswer;
}

int FakeWindowSystem::AskYesNoCancel(const std::string& text) {
    threeWayQuestions.push_back(text);
    if (threeWayAnswers.empty()) return threeWayDefault;
    int a = threeWayAnswers.front();
    threeWayAnswers.pop_front();
    return a;
}

bool FakePrintService::Run(Printable& job, bool preview) {
    PrintInfo info;
    info.preview = preview;
    info.drawArea = Rect::FromXYWH(0, 0, pageSize.cx, pageSize.cy);
    if (!job.OnPreparePrinting(info)) return false;
    lastInfo = info;
    lastPage = std::make_unique<RecordingCanvas>(pageSize, ppiX, ppiY);
    job.OnBeginPrinting(*lastPage, info);
    for (info.currentPage = 1; info.currentPage <= info.maxPage; ++info.currentPage) job.OnPrint(*lastPage, info);
    info.currentPage = info.maxPage;
    job.OnEndPrinting(*lastPage, info);
    return true;
}

bool FakePrintService::Print(Printable& job, const std::string& name, bool) {
    jobs.push_back("print " + name);
    lastFailed = false;
    if (!printAnswer) return false;
    if (failAnswer) {
        lastFailed = true;
        return false;
    }
    return Run(job, false);
}

bool FakePrintService::PrintPreview(Printable& job, const std::string& name) {
    jobs.push_back("preview " + name);
    return Run(job, true);
}

FakeUi::FakeUi() {
    Services s;
    s.windows = &windows;
    s.timers = &timers;
    s.clock = &clock;
    s.files = &files;
    s.printing = &printing;
    s.processes = &processes;
    s.instances = &instances;
    s.clipboard = &clipboard;
    previous_ = InstallServices(s);
    previousSink_ = SetReportSink(&sink);
}

FakeUi::~FakeUi() {
    SetReportSink(previousSink_);
    RestoreServices(previous_);
}

}  // namespace fw
