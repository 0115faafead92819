// The main frame's commands and the rules that make them available.
#include <memory>
#include <new>

#include "app/MainFrm.h"
#include "app/Morvane.h"
#include "app/NotesDlg.h"
#include "app/SetupCmds.h"
#include "app/USDataDlg.h"
#include "app/WaitCursor.h"
#include "circuit/Doc.h"
#include "platform/core/File.h"
#include "records/Utils.h"

namespace {

constexpr UINT kMsgInsufficientMemory = 52094;
constexpr UINT kMsgCannotOpenTextFile = 52082;

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
    m.OnCommand(ID_VIEW_MESSAGES, [this] { OnViewMessages(); });
    m.OnCommand(ID_GRAPH_START_VIEWER, [this] { app_.StartViewer(); });

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
    std::string path;
    if (!fw::Files().GetSaveFileName(request, path)) return;
    fw::DiskFile file;
    bool ok = file.Create(path);
    if (ok) {
        CWaitCursor wait;
        ok = host->Design().WriteSummaryText(file) != FALSE;
    }
    // A write or a close that failed is told as the open failure is: the
    // text on disk is not the summary.
    ok = file.Close() && ok;
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
