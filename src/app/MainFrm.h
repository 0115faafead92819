// The main frame: its menu, toolbar and status bar, the texts of the status
// panes, the window of the open design, the menu commands with the rules
// that make them available, and the display of an analysis run (Start and
// Stop, the progress pane, the result).
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "app/View.h"
#include "platform/ui/Frame.h"

class CPwrQuorraApp;
class CPwrQuorraDoc;

// The MainFrm module's internal codes (string 56053).
constexpr UINT kMainFrmModule = 56053;

// Status bar indicators.
constexpr UINT ID_INDICATOR_PROGRESS = 32830;
constexpr UINT ID_INDICATOR_CIRCUIT = 32831;
constexpr UINT ID_INDICATOR_OUTPUTS = 32832;
constexpr UINT ID_INDICATOR_MODE = 32833;

// Commands of the frame.
constexpr UINT ID_FILE_SAVE_AS_TEXT = 32771;
constexpr UINT ID_SETUP_REQUIREMENTS = 32772;
constexpr UINT ID_SETUP_LINE_SOURCE = 32774;
constexpr UINT ID_SETUP_LINE_FILTER = 32775;
constexpr UINT ID_SETUP_LINE_RECTIFIER = 32776;
constexpr UINT ID_SETUP_INPUT_CAPACITOR = 32777;
constexpr UINT ID_SETUP_PRIMARY_SECTION = 32778;
constexpr UINT ID_SETUP_SECONDARY_SECTION = 32779;
constexpr UINT ID_SETUP_OUTPUT_CHOKE = 32780;
constexpr UINT ID_SETUP_FIRST_STAGE_FILTER = 32781;
constexpr UINT ID_SETUP_SECOND_STAGE_FILTER = 32782;
constexpr UINT ID_SETUP_LOAD_NETWORK = 32783;
constexpr UINT ID_SETUP_VOLTAGE_FEEDBACK = 32784;
constexpr UINT ID_SETUP_ERROR_AMPLIFIER = 32785;
constexpr UINT ID_SETUP_OPTO_ISOLATOR = 32786;
constexpr UINT ID_SETUP_CONTROL_SECTION = 32787;
constexpr UINT ID_SETUP_CURRENT_FEEDBACK = 32788;
constexpr UINT ID_SETUP_CURRENT_LIMIT = 32789;
constexpr UINT ID_ANALYSIS_START = 32790;
constexpr UINT ID_ANALYSIS_STOP = 32791;
constexpr UINT ID_ANALYSIS_PROBLEM_CHECK = 32792;
constexpr UINT ID_ANALYSIS_NOTES = 32793;
constexpr UINT ID_ANALYSIS_USER_SPECIFIED = 32794;
constexpr UINT ID_GRAPH_BLOW_UP = 32801;
constexpr UINT ID_GRAPH_RESCALE = 32802;
constexpr UINT ID_GRAPH_RESTORE = 32803;
constexpr UINT ID_GRAPH_PRINT = 32804;
constexpr UINT ID_GRAPH_COPY = 32805;
constexpr UINT ID_GRAPH_SAVE_AS_TEXT = 32806;
constexpr UINT ID_GRAPH_SAVE_FOR_VIEWER = 32807;
constexpr UINT ID_GRAPH_START_VIEWER = 32808;
constexpr UINT ID_GRAPH_REDRAW = 32811;
constexpr UINT ID_VIEW_MESSAGES = 32820;
constexpr UINT ID_HELP_USING = 32843;
constexpr UINT ID_VIEW_CIRCUIT = 32844;

// Messages from the analysis worker and the graph manager.
constexpr UINT WM_RUN_PROGRESS = 0x8001;
constexpr UINT WM_RUN_ENDED = 0x8002;
constexpr UINT WM_RUN_STOP_REQUEST = 0x8003;
constexpr UINT WM_RUN_STOP_IF_RUNNING = 0x8004;

// Pane 3's text for a control section variant (999: none chosen); an empty
// result means the pane keeps its text (a variant without a name).
std::string ControlModePaneText(WORD variant);
// Pane 4's text for the number of outputs: "1 Output" .. "4 Outputs", else a blank.
std::string OutputsPaneText(WORD outputs);

// ---------------------------------------------------------------------------
// Availability of the commands

// What the update rules read.
struct CommandState {
    bool designOpen = false;
    bool running = false;                 // the design's running flag
    WORD lineSourceType = 999;            // the line filter's line source type
    WORD lineRectifierVariant = 999;
    WORD primaryVariant = 999;
    int enabledOutputs = 0;               // in the requirements
    bool feedbackSourceNotPrimary = false;
    bool limitSourceChoke = false;
    bool circuitComplete = false;
    bool showMessages = false;
    bool graphRunning = false;            // the graph manager's running flag
    bool graphHasData = false;
    int graphCount = 0;
    bool graphBlownUp = false;
    bool viewerFound = false;
};

enum class CmdRule {
    Framework,  // the framework's own state (always available where handled)
    Always,
    R1,   // no design, or no run in progress
    R2,   // a design and no run in progress
    R3,   // R2 and a line source type chosen
    R4,   // R2 and a line rectifier variant chosen
    R5,   // R2 and a primary section variant chosen
    R6,   // R2, two or more outputs and a feedback current source other than the primary
    R7,   // R2, two or more outputs and the current-limit source at the choke
    R8,   // a design whose circuit is complete
    R9,   // no graph run and a graph with data
    R10,  // R9 and two or more graphs
    R11,  // no graph run and the viewer program found
};

bool IsRuleMet(CmdRule rule, const CommandState& s);
// The rule of a command of the main menu (Framework for ids it does not name).
CmdRule RuleOfCommand(UINT id);
// Check marks: View > Messages and Graph > Blow Up.
bool IsMessagesChecked(const CommandState& s);
bool IsBlowUpChecked(const CommandState& s);

// What the frame needs of the graph manager; without one the frame keeps the
// running flag itself and there are no graphs.
class CGraphPageLink {
public:
    virtual ~CGraphPageLink() = default;
    virtual void SetRunning(BOOL running) = 0;
    virtual BOOL IsAnalysisRunning() = 0;
    virtual BOOL HasGraphData() = 0;
    virtual int GetGraphCount() = 0;
    virtual BOOL IsBlownUp() = 0;
    virtual void ClearAndRecreatePage() = 0;
    // Some graph of the page holds no point at all.
    virtual BOOL HasEmptyGraph() { return FALSE; }
};

// ---------------------------------------------------------------------------

class CMainFrame : public fw::FrameWnd {
public:
    explicit CMainFrame(CPwrQuorraApp& app);
    ~CMainFrame() override;

    int OnCreate() override;
    BOOL OnQueryClose() override;
    void OnDropFiles(const std::vector<std::string>& paths) override;
    void OnPostedMessage(UINT message, intptr_t wParam, intptr_t lParam) override;
    // Timer 32811: the graph page is redrawn (once after a graph command, and
    // over and over while a run adds points).
    void OnTimer(UINT id) override;

    // Panes 3 and 4 from the open design.
    void UpdateStatusPanes();
    // The recent-file entries of the File menu.
    void UpdateRecentFileMenu();
    // The frame's and the design window's titles; another design (or none)
    // also empties the progress pane, which spoke of the last one's run.
    void UpdateTitle();

    // The state the update rules read, from the design and the graph manager.
    CommandState GetCommandState() const;
    // The view of the open design; nullptr when no design is open.
    CPwrQuorraView* GetActiveView();

    // Handlers whose targets come with later parts of the program: until one
    // is connected its command stays unavailable. A Setup command's handler
    // gets the open design (without one it logs its internal code).
    void ConnectCommand(UINT id, std::function<void()> handler);
    void ConnectSetupCommand(UINT id, std::function<void(CPwrQuorraDoc&)> handler);
    void SetGraphPageLink(CGraphPageLink* link) { graphs_ = link; }

    // The Analysis item and its toolbar button: Stop while running, else Start.
    void SetStartStopMenu(BOOL running);
    void SetProgressText(const std::string& text);
    void ClearProgressPane();
    // The spinners of the progress pane start over (tests).
    static void ResetProgressPhases();

    // The commands.
    void OnFileSaveAsText();
    void OnGraphSaveAsText();
    void OnGraphSaveForViewer();
    void OnAnalysisUserSpecified();
    void OnAnalysisProblemCheck();
    void OnAnalysisNotes();
    void OnAnalysisStart();
    void OnAnalysisStop();
    void OnViewMessages();

    // Pane indices.
    static constexpr int kPaneMessage = 0;
    static constexpr int kPaneCircuit = 1;
    static constexpr int kPaneMode = 2;
    static constexpr int kPaneOutputs = 3;
    static constexpr int kPaneProgress = 4;

private:
    void RegisterCommands();
    void OnRunProgress(intptr_t code);
    void OnRunEnded();
    void OnStopRequest();
    void OnStopIfRunning();
    bool IsGraphRunning() const;
    void SetGraphRunning(BOOL running);

    CPwrQuorraApp& app_;
    CPwrQuorraView view_;
    CGraphPageLink* graphs_ = nullptr;
    BOOL graphRunning_ = FALSE;  // the graph manager's flag while there is none
    uint64_t titledSerial_ = 0;  // the design the progress pane was last cleared for
};
