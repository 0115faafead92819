// The main frame's commands and the rules that make them available.
#include <cctype>
#include <ctime>
#include <memory>
#include <new>
#include <vector>

#include "app/AnalDlg.h"
#include "app/AnalSupport.h"
#include "app/MainFrm.h"
#include "app/Morvane.h"
#include "app/NotesDlg.h"
#include "app/SetupCmds.h"
#include "app/USDataDlg.h"
#include "app/WaitCursor.h"
#include "circuit/Doc.h"
#include "graphs/GraphMgr.h"
#include "graphs/GraphPageRun.h"
#include "graphs/GraphTxt.h"
#include "graphs/KXGraph.h"
#include "platform/core/Archive.h"
#include "platform/core/File.h"
#include "records/Utils.h"
#include "resources/StringTable.h"

namespace {

constexpr UINT kMsgInsufficientMemory = 52094;
constexpr UINT kMsgCannotOpenTextFile = 52082;
constexpr UINT kMsgNotRunInitialValues = 52012;
constexpr UINT kMsgNotRunSerious = 52014;
constexpr UINT kMsgSaveAsUntitled = 54004;
constexpr const char* kUntitledFile = "Untitled.SEF";

struct CommandRule {
    UINT id;
    CmdRule rule;
};

// Menu 101 and the Stop item that replaces Start during a run.
constexpr CommandRule kCommandRules[] = {
    {fw::ID_FILE_NEW, CmdRule::R1},
    {fw::ID_FILE_OPEN, CmdRule::R1},
    {fw::ID_FILE_SAVE, CmdRule::R2},
    {fw::ID_FILE_SAVE_AS, CmdRule::R2},
    {ID_FILE_SAVE_AS_TEXT, CmdRule::R2},
    {fw::ID_FILE_PRINT, CmdRule::R2},
    {fw::ID_FILE_PRINT_PREVIEW, CmdRule::R2},
    {fw::ID_FILE_PRINT_SETUP, CmdRule::R2},
    {ID_SETUP_REQUIREMENTS, CmdRule::R2},
    {ID_SETUP_LINE_SOURCE, CmdRule::R2},
    {ID_SETUP_LINE_FILTER, CmdRule::R2},
    {ID_SETUP_LINE_RECTIFIER, CmdRule::R3},
    {ID_SETUP_INPUT_CAPACITOR, CmdRule::R4},
    {ID_SETUP_PRIMARY_SECTION, CmdRule::R2},
    {ID_SETUP_SECONDARY_SECTION, CmdRule::R5},
    {ID_SETUP_FIRST_STAGE_FILTER, CmdRule::R2},
    {ID_SETUP_SECOND_STAGE_FILTER, CmdRule::R2},
    {ID_SETUP_OUTPUT_CHOKE, CmdRule::R2},
    {ID_SETUP_LOAD_NETWORK, CmdRule::R2},
    {ID_SETUP_VOLTAGE_FEEDBACK, CmdRule::R2},
    {ID_SETUP_ERROR_AMPLIFIER, CmdRule::R2},
    {ID_SETUP_OPTO_ISOLATOR, CmdRule::R2},
    {ID_SETUP_CONTROL_SECTION, CmdRule::R2},
    {ID_SETUP_CURRENT_FEEDBACK, CmdRule::R6},
    {ID_SETUP_CURRENT_LIMIT, CmdRule::R7},
    {ID_ANALYSIS_USER_SPECIFIED, CmdRule::R2},
    {ID_ANALYSIS_PROBLEM_CHECK, CmdRule::R2},
    {ID_ANALYSIS_START, CmdRule::R8},
    {ID_ANALYSIS_STOP, CmdRule::Always},
    {ID_ANALYSIS_NOTES, CmdRule::R2},
    {ID_GRAPH_BLOW_UP, CmdRule::R10},
    {ID_GRAPH_RESCALE, CmdRule::R9},
    {ID_GRAPH_RESTORE, CmdRule::R9},
    {ID_GRAPH_PRINT, CmdRule::R9},
    {ID_GRAPH_COPY, CmdRule::R9},
    {ID_GRAPH_SAVE_AS_TEXT, CmdRule::R9},
    {ID_GRAPH_SAVE_FOR_VIEWER, CmdRule::R9},
    {ID_GRAPH_START_VIEWER, CmdRule::R11},
    {ID_VIEW_CIRCUIT, CmdRule::R2},
    {ID_VIEW_MESSAGES, CmdRule::Always},
};

// The Setup commands in menu-id order; their handlers' codes for a missing
// design run from 1906 in this order.
constexpr UINT kSetupCommands[] = {
    ID_SETUP_REQUIREMENTS,       ID_SETUP_LINE_SOURCE,         ID_SETUP_LINE_FILTER,      ID_SETUP_LINE_RECTIFIER,
    ID_SETUP_INPUT_CAPACITOR,    ID_SETUP_PRIMARY_SECTION,     ID_SETUP_SECONDARY_SECTION, ID_SETUP_OUTPUT_CHOKE,
    ID_SETUP_FIRST_STAGE_FILTER, ID_SETUP_SECOND_STAGE_FILTER, ID_SETUP_LOAD_NETWORK,      ID_SETUP_VOLTAGE_FEEDBACK,
    ID_SETUP_ERROR_AMPLIFIER,    ID_SETUP_OPTO_ISOLATOR,       ID_SETUP_CONTROL_SECTION,  ID_SETUP_CURRENT_FEEDBACK,
    ID_SETUP_CURRENT_LIMIT,
};
constexpr int kFirstSetupCode = 1906;

// The design's name with ".txt" in place of the design file's extension.
std::string SummaryTextFileName(std::string name) {
    const std::string ext = ".SEF";
    if (name.size() > ext.size()) {
        std::string tail = name.substr(name.size() - ext.size());
        for (char& c : tail) c = char(std::toupper(static_cast<unsigned char>(c)));
        if (tail == ext) name.resize(name.size() - ext.size());
    }
    return name + ".txt";
}

void ReportOutOfMemory(int code) {
    ReportMessage1(kMainFrmModule, code, FALSE);
    ReportMessage(kMsgInsufficientMemory, TRUE);
}

}  // namespace

bool IsRuleMet(CmdRule rule, const CommandState& s) {
    const bool r2 = s.designOpen && !s.running;
    const bool r9 = !s.graphRunning && s.graphHasData;
    switch (rule) {
    case CmdRule::Framework:
    case CmdRule::Always: return true;
    case CmdRule::R1: return !s.designOpen || !s.running;
    case CmdRule::R2: return r2;
    case CmdRule::R3: return r2 && s.lineSourceType != kTopologyNotChosen;
    case CmdRule::R4: return r2 && s.lineRectifierVariant != kTopologyNotChosen;
    case CmdRule::R5: return r2 && s.primaryVariant != kTopologyNotChosen;
    case CmdRule::R6: return r2 && s.enabledOutputs >= 2 && s.feedbackSourceNotPrimary;
    case CmdRule::R7: return r2 && s.enabledOutputs >= 2 && s.limitSourceChoke;
    case CmdRule::R8: return s.designOpen && s.circuitComplete;
    case CmdRule::R9: return r9;
    case CmdRule::R10: return r9 && s.graphCount >= 2;
    case CmdRule::R11: return !s.graphRunning && s.viewerFound;
    }
    return false;
}

CmdRule RuleOfCommand(UINT id) {
    for (const CommandRule& r : kCommandRules)
        if (r.id == id) return r.rule;
    return CmdRule::Framework;
}

bool IsMessagesChecked(const CommandState& s) { return s.designOpen && s.showMessages; }

bool IsBlowUpChecked(const CommandState& s) { return s.graphBlownUp; }

CommandState CMainFrame::GetCommandState() const {
    CommandState s;
    if (CDocumentHost* host = app_.GetDocument()) {
        CPwrQuorraDoc& doc = host->Design();
        s.designOpen = true;
        s.running = host->IsAnalysisRunning() != FALSE;
        s.lineSourceType = doc.GetLineFilter()->GetLineSourceType();
        s.lineRectifierVariant = doc.GetLineRectifier()->GetTopology();
        s.primaryVariant = doc.GetPrimarySection()->GetTopology();
        s.enabledOutputs = doc.GetRequirements()->CountEnabledOutputs();
        s.feedbackSourceNotPrimary = doc.GetControlSection()->IsFeedbackSourceNotPrimary() != FALSE;
        s.limitSourceChoke = doc.GetControlSection()->IsLimitSourceChoke() != FALSE;
        s.circuitComplete = doc.GetCircuitComplete() != FALSE;
        s.showMessages = doc.GetShowMessages() != FALSE;
    }
    s.graphRunning = IsGraphRunning();
    if (graphs_) {
        s.graphHasData = graphs_->HasGraphData() != FALSE;
        s.graphCount = graphs_->GetGraphCount();
        s.graphBlownUp = graphs_->IsBlownUp() != FALSE;
    }
    return s;
}

void CMainFrame::RegisterCommands() {
    fw::CommandMap& m = Commands();
    for (const CommandRule& r : kCommandRules) {
        const UINT id = r.id;
        const CmdRule rule = r.rule;
        m.OnUpdate(id, [this, id, rule](fw::CmdUI& ui) {
            CommandState s = GetCommandState();
            if (rule == CmdRule::R11) s.viewerFound = app_.IsViewerInstalled();
            ui.Enable(IsRuleMet(rule, s));
            if (id == ID_VIEW_MESSAGES) ui.SetCheck(IsMessagesChecked(s) ? 1 : 0);
            if (id == ID_GRAPH_BLOW_UP) ui.SetCheck(IsBlowUpChecked(s) ? 1 : 0);
        });
    }

    auto running = [this] {
        CDocumentHost* doc = app_.GetDocument();
        return doc && doc->IsAnalysisRunning();
    };
    m.OnCommandRange(fw::ID_FILE_MRU_FILE1, fw::ID_FILE_MRU_FILE1 + 3, [this](UINT id) {
        size_t index = id - fw::ID_FILE_MRU_FILE1;
        if (index >= app_.RecentFiles().Size()) return;
        std::string path = app_.RecentFiles()[index];
        app_.OpenDocumentFile(path);
        // A design that could not be opened leaves the list.
        if (app_.LastOpenFailed()) {
            for (size_t i = 0; i < app_.RecentFiles().Size(); ++i) {
                if (app_.RecentFiles()[i] == path) {
                    app_.RecentFiles().Remove(i);
                    break;
                }
            }
            UpdateRecentFileMenu();
        }
    });
    m.OnUpdateRange(fw::ID_FILE_MRU_FILE1, fw::ID_FILE_MRU_FILE1 + 3, [this, running](fw::CmdUI& ui) {
        size_t index = ui.m_nID - fw::ID_FILE_MRU_FILE1;
        ui.Enable(index < app_.RecentFiles().Size() && app_.CanOpenFiles() && !running());
    });

    m.OnCommand(fw::ID_APP_EXIT, [this] { app_.OnAppExit(); });
    m.OnCommand(fw::ID_VIEW_TOOLBAR, [this] { ShowToolBar(!GetToolBar().visible); });
    m.OnUpdate(fw::ID_VIEW_TOOLBAR, [this](fw::CmdUI& ui) { ui.SetCheck(GetToolBar().visible ? 1 : 0); });
    m.OnCommand(fw::ID_VIEW_STATUS_BAR, [this] { ShowStatusBar(!GetStatusBar().visible); });
    m.OnUpdate(fw::ID_VIEW_STATUS_BAR, [this](fw::CmdUI& ui) { ui.SetCheck(GetStatusBar().visible ? 1 : 0); });

    m.OnCommand(ID_FILE_SAVE_AS_TEXT, [this] { OnFileSaveAsText(); });
    m.OnCommand(fw::ID_FILE_PRINT, [this] {
        if (CPwrQuorraView* view = GetActiveView()) view->OnFilePrint();
    });
    m.OnCommand(fw::ID_FILE_PRINT_PREVIEW, [this] {
        if (CPwrQuorraView* view = GetActiveView()) view->OnFilePrintPreview();
    });
    m.OnCommand(ID_ANALYSIS_USER_SPECIFIED, [this] { OnAnalysisUserSpecified(); });
    m.OnCommand(ID_ANALYSIS_PROBLEM_CHECK, [this] { OnAnalysisProblemCheck(); });
    m.OnCommand(ID_ANALYSIS_NOTES, [this] { OnAnalysisNotes(); });
    m.OnCommand(ID_ANALYSIS_STOP, [this] { OnAnalysisStop(); });
    m.OnCommand(ID_ANALYSIS_START, [this] { OnAnalysisStart(); });
    m.OnCommand(ID_VIEW_MESSAGES, [this] { OnViewMessages(); });
    m.OnCommand(ID_GRAPH_START_VIEWER, [this] { app_.StartViewer(); });
    m.OnCommand(ID_GRAPH_SAVE_AS_TEXT, [this] { OnGraphSaveAsText(); });
    m.OnCommand(ID_GRAPH_SAVE_FOR_VIEWER, [this] { OnGraphSaveForViewer(); });
    // Blow Up, Rescale and Restore show through the one-shot redraw.
    m.OnCommand(ID_GRAPH_BLOW_UP, [this] {
        RunGraphPage().Page().BlowUp();
        SetTimer(ID_GRAPH_REDRAW, 1);
    });
    m.OnCommand(ID_GRAPH_RESCALE, [this] {
        RunGraphPage().Page().Rescale();
        SetTimer(ID_GRAPH_REDRAW, 1);
    });
    m.OnCommand(ID_GRAPH_RESTORE, [this] {
        RunGraphPage().Page().Restore();
        SetTimer(ID_GRAPH_REDRAW, 1);
    });
    m.OnCommand(ID_GRAPH_PRINT, [this] {
        view_.ProposePrintFile(RunGraphPage().GetJobName());
        RunGraphPage().Page().Print();
    });
    m.OnCommand(ID_GRAPH_COPY, [] { RunGraphPage().Page().Copy(); });
    m.OnCommand(ID_GRAPH_REDRAW, [] { RunGraphPage().Page().RedrawPage(); });

    // Panes 2 to 5 show their text only while a design is open.
    auto designOpen = [this] { return app_.GetDocument() != nullptr; };
    for (UINT indicator : {ID_INDICATOR_CIRCUIT, ID_INDICATOR_MODE, ID_INDICATOR_OUTPUTS, ID_INDICATOR_PROGRESS})
        m.OnUpdate(indicator, [designOpen](fw::CmdUI& ui) { ui.Enable(designOpen()); });

    ConnectSetupCommands(*this);
}

void CMainFrame::ConnectCommand(UINT id, std::function<void()> handler) { Commands().OnCommand(id, std::move(handler)); }

void CMainFrame::ConnectSetupCommand(UINT id, std::function<void(CPwrQuorraDoc&)> handler) {
    int code = kFirstSetupCode;
    for (UINT setup : kSetupCommands) {
        if (setup == id) break;
        ++code;
    }
    Commands().OnCommand(id, [this, code, handler = std::move(handler)] {
        CDocumentHost* host = app_.GetDocument();
        if (!host) {
            ReportMessage1(kMainFrmModule, code, FALSE);
            return;
        }
        handler(host->Design());
    });
}

void CMainFrame::OnFileSaveAsText() {
    CDocumentHost* host = app_.GetDocument();
    if (!host) {
        ReportMessage1(kMainFrmModule, 1905, FALSE);
        return;
    }
    fw::FileDialogRequest request;
    request.filter = "Text Files (*.txt)|*.txt|All Files (*.*)|*.*||";
    request.defaultExtension = "txt";
    request.overwritePrompt = false;
    request.initialFolder = app_.FileDialogFolder();
    request.initialPath = SummaryTextFileName(PlainTitle(*host));
    std::string path;
    if (!app_.AskSaveFileName(request, path)) return;
    // Formatted whole, then written beside the old summary and renamed over it: a full disk
    // keeps the previous text and is told as an open failure is.
    fw::StringFile text;
    bool ok;
    {
        CWaitCursor wait;
        ok = host->Design().WriteSummaryText(text) != FALSE;
    }
    ok = ok && fw::WriteFileAtomic(path, std::vector<uint8_t>(text.text.begin(), text.text.end()));
    if (!ok) {
        ReportMessage1(kMainFrmModule, 1936, FALSE);
        ReportMessage(kMsgCannotOpenTextFile, TRUE);
    }
}

void CMainFrame::OnAnalysisUserSpecified() {
    CDocumentHost* host = app_.GetDocument();
    if (!host) {
        ReportMessage1(kMainFrmModule, 1926, FALSE);
        return;
    }
    std::unique_ptr<CUSData> copy;
    try {
        copy = std::make_unique<CUSData>();
    } catch (const std::bad_alloc&) {
        ReportOutOfMemory(1927);
        return;
    }
    CUSData& design = *host->Design().GetUSData();
    *copy = design;
    CUSDataDlg dlg(copy.get(), this);
    if (dlg.DoModal() != fw::IDOK) return;
    // The logging switch is not part of the design file: changing it alone
    // leaves the design unmodified.
    design.SetDataLogging(copy->GetDataLogging());
    if (*copy != design) {
        design = *copy;
        host->SetModifiedFlag(TRUE);
    }
}

void CMainFrame::OnAnalysisProblemCheck() {
    CDocumentHost* host = app_.GetDocument();
    if (!host) {
        ReportMessage1(kMainFrmModule, 1923, FALSE);
        return;
    }
    CPwrQuorraDoc& doc = host->Design();
    const BOOL shown = doc.GetShowMessages();
    doc.SetShowMessages(TRUE);
    Beep();
    doc.CheckAllSections();
    Beep();
    doc.SetShowMessages(shown);
}

void CMainFrame::OnAnalysisNotes() {
    CDocumentHost* host = app_.GetDocument();
    if (!host) {
        ReportMessage1(kMainFrmModule, 1924, FALSE);
        return;
    }
    std::unique_ptr<CMiscData> copy;
    try {
        copy = std::make_unique<CMiscData>();
    } catch (const std::bad_alloc&) {
        ReportOutOfMemory(1925);
        return;
    }
    CMiscData& design = *host->Design().GetMiscData();
    *copy = design;
    CNotesDlg dlg(copy.get(), this);
    if (dlg.DoModal() != fw::IDOK) return;
    if (*copy != design) {
        design = *copy;
        host->SetModifiedFlag(TRUE);
    }
}

void CMainFrame::OnViewMessages() {
    CDocumentHost* host = app_.GetDocument();
    if (!host) {
        ReportMessage1(kMainFrmModule, 1904, FALSE);
        return;
    }
    host->Design().ToggleShowMessages();
}

namespace {

// The save dialog of the graph files, in the design's folder: no question before an
// existing file is replaced.
// The file offered is named after the design; the graph text is kept apart
// from the summary text, which takes the design's plain name.
bool AskGraphFile(CPwrQuorraApp& app, const CDocumentHost& doc, const char* filter, const char* extension,
                  const std::string& suffix, std::string& path) {
    fw::FileDialogRequest request;
    request.filter = filter;
    request.defaultExtension = extension;
    request.initialFolder = app.FileDialogFolder();
    std::string name = SummaryTextFileName(PlainTitle(doc));
    name.resize(name.size() - 4);  // ".txt"
    request.initialPath = name + suffix + "." + extension;
    request.overwritePrompt = false;
    return app.AskSaveFileName(request, path);
}

}  // namespace

void CMainFrame::OnGraphSaveAsText() {
    CDocumentHost* host = app_.GetDocument();
    if (!host) {
        ReportMessage1(kMainFrmModule, 1934, FALSE);
        return;
    }
    std::string path;
    if (!AskGraphFile(app_, *host, "Text Files (*.txt)|*.txt|All Files (*.*)|*.*||", "txt", " - Graphs", path))
        return;
    CWaitCursor wait;
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    if (!SaveGraphsAsTextFile(GraphMgr(), path, *host->Design().GetAnalysisConfig(), host->GetPathName(), local))
        ReportMessage1(kMainFrmModule, 1934, FALSE);
}

void CMainFrame::OnGraphSaveForViewer() {
    CDocumentHost* host = app_.GetDocument();
    if (!host) {
        ReportMessage1(kMainFrmModule, 1935, FALSE);
        return;
    }
    std::string path;
    if (!AskGraphFile(app_, *host, "Viewer Files (*.kvx)|*.kvx|All Files (*.*)|*.*||", "kvx", "", path)) return;
    CWaitCursor wait;
    CPwrQuorraDoc& doc = host->Design();
    if (!SaveGraphsForViewerFile(GraphMgr(), path, *doc.GetAnalysisConfig(), host->GetPathName(),
                                 doc.GetMiscData()->GetNotes()))
        ReportMessage1(kMainFrmModule, 1935, FALSE);
}

void CMainFrame::OnAnalysisStart() {
    CDocumentHost* host = app_.GetDocument();
    if (!host) {
        ReportMessage1(kMainFrmModule, 1928, FALSE);
        return;
    }
    CPwrQuorraDoc& doc = host->Design();
    std::unique_ptr<CAnalysisConfig> copy;
    try {
        copy = std::make_unique<CAnalysisConfig>();
    } catch (const std::bad_alloc&) {
        ReportOutOfMemory(1929);
        return;
    }
    CAnalysisConfig& design = *doc.GetAnalysisConfig();
    *copy = design;
    doc.SetAnalysisSetupOpen(TRUE);
    CAnalysisDlg dlg(copy.get(), IDD_ANALYSIS, nullptr);
    if (dlg.DoModal() != fw::IDOK) {
        doc.SetAnalysisSetupOpen(FALSE);
        return;
    }
    const bool changed = *copy != design;
    // Copied even when equal: the frequency graphs for the run are set at OK
    // and are not part of the comparison.
    design = *copy;
    if (changed) {
        design.MarkChanged();
        // Through the host, which keeps the flag the save below reads.
        host->SetModifiedFlag(TRUE);
        doc.CheckAllSections();
    }
    const int command = dlg.GetChosenCommand();
    const bool save = command == static_cast<int>(ID_START_AND_SAVE) || command == static_cast<int>(ID_SAVE_ONLY);
    const bool start = command == static_cast<int>(ID_START_AND_SAVE) || command == static_cast<int>(ID_START_ONLY);
    if (save && host->IsModified()) {
        if (!host->GetPathName().empty()) {
            app_.OnFileSave();
        } else {
            const char* question = res::FindString(kMsgSaveAsUntitled);
            // Saved beside the program's working folder; the design itself stays untitled.
            if (fw::MessageBox(question ? question : "", fw::MB_YESNO) == fw::IDYES && host->SaveCopyAs(kUntitledFile))
                UpdateTitle();
        }
    }
    doc.SetAnalysisSetupOpen(FALSE);
    if (!start) return;
    if (!CanRunAnalysis(doc, design.GetAnalysisKind())) return;
    if (!doc.PrepareAnalysis()) {
        ReportMessage(doc.GetInitValuesOk() ? kMsgNotRunSerious : kMsgNotRunInitialValues, TRUE);
        return;
    }
    if (!CanRunPreparedAnalysis(doc)) {
        // Gives back the run's events; no worker exists yet.
        doc.StopAnalysis();
        return;
    }
    SetStartStopMenu(TRUE);
    if (!doc.StartAnalysis()) SetStartStopMenu(FALSE);
}
