#include "app/MainFrm.h"

#include "app/GraphLink.h"
#include "app/Morvane.h"
#include "graphs/GraphPageRun.h"
#include "circuit/Doc.h"
#include "records/Utils.h"
#include "resources/StringTable.h"

namespace {

constexpr UINT kToolbarResource = 103;
constexpr UINT kControlTitleBase = 51720;
// The control section's block of variant titles holds ten ids; a variant
// outside it has no name (and must not pick up an unrelated message).
constexpr WORD kVariantsPerBlock = 10;
constexpr WORD kNotChosen = 999;

}  // namespace

std::string ControlModePaneText(WORD variant) {
    if (variant == kNotChosen) return "Mode: ";
    if (variant >= kVariantsPerBlock) return {};
    const char* name = res::FindString(kControlTitleBase + variant);
    return name ? std::string("Mode: ") + name : std::string();
}

std::string OutputsPaneText(WORD outputs) {
    switch (outputs) {
    case 1: return "1 Output";
    case 2: return "2 Outputs";
    case 3: return "3 Outputs";
    case 4: return "4 Outputs";
    default: return " ";
    }
}

CMainFrame::CMainFrame(CPwrQuorraApp& app) : app_(app), view_(app) {
    SetNextTarget(&app);
    RegisterCommands();
    graphs_ = &AppGraphLink();
    RunGraphPage().Page().onZoomed = [this] { SetTimer(ID_GRAPH_REDRAW, 1); };
}

CMainFrame::~CMainFrame() { RunGraphPage().Page().onZoomed = nullptr; }

int CMainFrame::OnCreate() {
    if (!GetToolBar().LoadToolBar(kToolbarResource)) {
        ReportMessage1(kMainFrmModule, 1902, FALSE);
        return -1;
    }
    GetStatusBar().SetIndicators(
        {fw::ID_SEPARATOR, ID_INDICATOR_CIRCUIT, ID_INDICATOR_MODE, ID_INDICATOR_OUTPUTS, ID_INDICATOR_PROGRESS});
    if (GetStatusBar().GetCount() != 5) {
        ReportMessage1(kMainFrmModule, 1903, FALSE);
        return -1;
    }
    GetStatusBar().SetPaneText(kPaneMessage, IdleMessage());
    GetStatusBar().SetPaneText(kPaneProgress, "  ");
    UpdateRecentFileMenu();
    UpdateTitle();
    return 0;
}

BOOL CMainFrame::OnQueryClose() { return app_.CloseCurrentDocument(); }

void CMainFrame::OnDropFiles(const std::vector<std::string>& paths) {
    // One design at a time: the first file dropped is the one opened.
    if (!paths.empty()) app_.OpenDocumentFile(paths.front());
}

CPwrQuorraView* CMainFrame::GetActiveView() { return app_.GetDocument() ? &view_ : nullptr; }

// ---------------------------------------------------------------------------
// The run display

namespace {

// The spinners' phases, kept from one run to the next.
int g_settlingPhase = 0;
int g_busyPhase = 0;

constexpr UINT kMsgAnalysisSuccessful = 53001;
constexpr UINT kMsgSuccessfulWithEmptyGraph = 58511;
constexpr UINT kMsgAnalysisNotSuccessful = 52013;
constexpr UINT kMsgAnalysisTerminated = 52016;
constexpr UINT kMsgAnalysisResultError = 52015;
constexpr int kStartStopButton = 24;
constexpr int kStartImage = 22;
constexpr int kStopImage = 32;

}  // namespace

void CMainFrame::ResetProgressPhases() {
    g_settlingPhase = 0;
    g_busyPhase = 0;
}

void CMainFrame::OnPostedMessage(UINT message, intptr_t wParam, intptr_t lParam) {
    switch (message) {
    case WM_RUN_PROGRESS: OnRunProgress(wParam); break;
    case WM_RUN_ENDED: OnRunEnded(); break;
    case WM_RUN_STOP_REQUEST: OnStopRequest(); break;
    case WM_RUN_STOP_IF_RUNNING: OnStopIfRunning(); break;
    default: break;
    }
}

bool CMainFrame::IsGraphRunning() const { return graphs_ ? graphs_->IsAnalysisRunning() != FALSE : graphRunning_ != FALSE; }

namespace {

// How often the page is redrawn while a run adds points.
constexpr UINT kRunRedrawMs = 200;

}  // namespace

void CMainFrame::SetGraphRunning(BOOL running) {
    graphRunning_ = running;
    if (graphs_) graphs_->SetRunning(running);
    if (running) SetTimer(ID_GRAPH_REDRAW, kRunRedrawMs);
}

void CMainFrame::OnTimer(UINT id) {
    if (id != ID_GRAPH_REDRAW) return;
    if (!IsGraphRunning()) KillTimer(id);
    ExecuteCommand(ID_GRAPH_REDRAW);
}

void CMainFrame::SetStartStopMenu(BOOL running) {
    SetGraphRunning(running);
    const UINT from = running ? ID_ANALYSIS_START : ID_ANALYSIS_STOP;
    const UINT to = running ? ID_ANALYSIS_STOP : ID_ANALYSIS_START;
    if (GetMenu().ModifyCommand(from, to, running ? "&Stop" : "&Start")) MenuChanged();
    fw::ToolBar& tb = GetToolBar();
    if (kStartStopButton < static_cast<int>(tb.Buttons().size())) {
        tb.SetButtonInfo(kStartStopButton, to, fw::TBBS_BUTTON, running ? kStopImage : kStartImage);
        ToolBarChanged();
    }
    if (running) {
        // Every command's state before the run goes on, then the toolbar
        // painted at once.
        UpdateCommandUI();
        UpdateWindow();
    }
}

void CMainFrame::SetProgressText(const std::string& text) {
    SetStatusPaneText(kPaneProgress, text);
    UpdateStatusBarNow();
}

void CMainFrame::ClearProgressPane() { SetProgressText("  "); }

void CMainFrame::OnRunProgress(intptr_t code) {
    if (!app_.GetDocument()) return;
    static const char* const kSettling[] = {"   .", "   o", "   O"};
    static const char* const kBusy[] = {"   |", "   /", "  ---", "   \\"};
    std::string text;
    switch (code) {
    case 998:
        text = kSettling[g_settlingPhase];
        g_settlingPhase = (g_settlingPhase + 1) % 3;
        break;
    case 999:
        text = kBusy[g_busyPhase];
        g_busyPhase = (g_busyPhase + 1) % 4;
        break;
    case 1000:
        text = " ";
        break;
    default:
        text = std::to_string(code) + "%";
        break;
    }
    SetProgressText(text);
}

void CMainFrame::OnRunEnded() {
    SetStartStopMenu(FALSE);
    CDocumentHost* host = app_.GetDocument();
    if (!host) {
        ReportMessage1(kMainFrmModule, 1931, FALSE);
        return;
    }
    CPwrQuorraDoc& doc = host->Design();
    doc.EndAnalysis();
    switch (doc.GetRunStatus()) {
    case 1:
        // The last progress text stays. A graph left without a point is
        // named: the run went well, but the user sees nothing of it there.
        ReportMessage(graphs_ && graphs_->HasEmptyGraph() ? kMsgSuccessfulWithEmptyGraph : kMsgAnalysisSuccessful,
                      TRUE);
        break;
    case 2:
        SetProgressText("Fail");
        ReportMessage(kMsgAnalysisNotSuccessful, TRUE);
        break;
    case 3:
        if (graphs_) graphs_->ClearAndRecreatePage();
        SetProgressText("Err11");
        ReportMessage(kMsgAnalysisTerminated, TRUE);
        break;
    default:
        ClearProgressPane();
        ReportMessage(kMsgAnalysisResultError, TRUE);
        break;
    }
}

void CMainFrame::OnStopRequest() {
    CDocumentHost* host = app_.GetDocument();
    if (!host) {
        ReportMessage1(kMainFrmModule, 1932, FALSE);
        return;
    }
    host->Design().StopAnalysis();
    SetStartStopMenu(FALSE);
}

void CMainFrame::OnStopIfRunning() {
    CDocumentHost* host = app_.GetDocument();
    if (!host) {
        ReportMessage1(kMainFrmModule, 1933, FALSE);
        return;
    }
    if (!host->IsAnalysisRunning()) return;
    host->Design().StopAnalysis();
    SetStartStopMenu(FALSE);
    ClearProgressPane();
}

void CMainFrame::OnAnalysisStop() {
    CDocumentHost* host = app_.GetDocument();
    if (!host) {
        ReportMessage1(kMainFrmModule, 1930, FALSE);
        return;
    }
    host->Design().StopAnalysis();
    SetStartStopMenu(FALSE);
    SetProgressText("Stop");
}

void CMainFrame::UpdateStatusPanes() {
    CDocumentHost* doc = app_.GetDocument();
    if (!doc) {
        SetStatusPaneText(kPaneMode, " ");
        SetStatusPaneText(kPaneOutputs, " ");
    } else {
        std::string mode = ControlModePaneText(doc->GetControlSectionTopology());
        if (!mode.empty()) SetStatusPaneText(kPaneMode, mode);
        SetStatusPaneText(kPaneOutputs, OutputsPaneText(doc->GetNumberOfOutputs()));
    }
    UpdateStatusBarNow();
}

void CMainFrame::UpdateRecentFileMenu() {
    const UINT first = fw::ID_FILE_MRU_FILE1, last = fw::ID_FILE_MRU_FILE1 + 3;
    for (fw::MenuItem& popup : GetMenu().items) {
        if (popup.kind != fw::MenuItem::Popup) continue;
        auto& items = popup.items;
        size_t at = items.size();
        for (size_t i = 0; i < items.size(); ++i) {
            if (items[i].kind == fw::MenuItem::Command && items[i].id >= first && items[i].id <= last) {
                at = i;
                break;
            }
        }
        if (at == items.size()) continue;
        size_t end = at;
        while (end < items.size() && items[end].kind == fw::MenuItem::Command && items[end].id >= first &&
               items[end].id <= last)
            ++end;
        items.erase(items.begin() + static_cast<long>(at), items.begin() + static_cast<long>(end));
        std::vector<fw::MenuItem> entries;
        const auto& list = app_.RecentFiles();
        if (list.Size() == 0) {
            fw::MenuItem placeholder;
            placeholder.id = first;
            placeholder.text = "Recent File";
            placeholder.enabled = false;
            entries.push_back(placeholder);
        }
        for (size_t i = 0; i < list.Size(); ++i) {
            fw::MenuItem item;
            item.id = first + static_cast<UINT>(i);
            item.text = list.MenuText(i);
            entries.push_back(item);
        }
        items.insert(items.begin() + static_cast<long>(at), entries.begin(), entries.end());
        MenuChanged();
        return;
    }
}

void CMainFrame::UpdateTitle() {
    const char* appTitle = res::FindString(57344);
    std::string title = appTitle ? appTitle : "";
    CDocumentHost* doc = app_.GetDocument();
    if (doc) title += " - " + doc->GetTitle();
    SetWindowText(title);
    SetChild(doc != nullptr, doc ? doc->GetTitle() : std::string());
    if (app_.GetDocumentSerial() != titledSerial_) {
        titledSerial_ = app_.GetDocumentSerial();
        ClearProgressPane();
    }
    view_.OnDesignWindow(doc != nullptr);
}
