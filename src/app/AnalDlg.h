// The Analysis dialog: what the next run does. It edits the caller's working
// copy of the analysis configuration (kind, steady-state initialisation,
// total time, the four time-domain variables and their graphs, or the
// stimulus and graphs of a frequency-domain kind) and closes with one of
// "Start and Save", "Start Only" or "Save Only" once that command's checks
// pass; the caller reads the command and commits the copy.
//
// While it is open it owns the variable catalogue that the equation editor
// and the availability check read.
#pragma once

#include <string>

#include "circuit/AnalCfg.h"
#include "graphs/EquData.h"
#include "platform/ui/DDX.h"
#include "platform/ui/Dialog.h"

class CPwrQuorraDoc;

constexpr UINT kModuleAnalDlg = 56007;
constexpr UINT IDD_ANALYSIS = 202;

constexpr UINT ID_START_AND_SAVE = 32840;
constexpr UINT ID_START_ONLY = 32841;
constexpr UINT ID_SAVE_ONLY = 32842;

constexpr int IDC_ANAL_INIT_FAST = 1218;
constexpr int IDC_ANAL_INIT_SLOW = 1219;  // first of the initialisation group
constexpr int IDC_ANAL_STEADY_STATE = 1220;
constexpr int IDC_ANAL_TURN_ON = 1221;    // first of the kind group
constexpr int IDC_ANAL_VOLTAGE_LOOP = 1222;
constexpr int IDC_ANAL_CURRENT_LOOP = 1223;
constexpr int IDC_ANAL_INPUT_TO_OUTPUT = 1224;
constexpr int IDC_ANAL_AMPLIFIER = 1225;
constexpr int IDC_ANAL_TIME = 1226;
constexpr int IDC_ANAL_VARIABLE1 = 1227;  // 1227-1230
constexpr int IDC_ANAL_GRAPH1 = 1231;     // 1231-1234
constexpr int IDC_ANAL_SETUP = 1239;
constexpr int IDC_ANAL_INIT_GROUP = 1217;
constexpr int IDC_ANAL_SECONDS = 1274;
constexpr int IDC_ANAL_LAYOUT_GROUP = 1275;
constexpr int IDC_ANAL_TIME_LABEL = 1276;

class CAnalysisDlg : public fw::Dialog {
public:
    // The control section's variant is read from the current document now.
    CAnalysisDlg(CAnalysisConfig* config, UINT templateId = IDD_ANALYSIS, fw::Window* parent = nullptr);
    ~CAnalysisDlg() override;

    // 32840, 32841, 32842, or 2 when no command was chosen.
    int GetChosenCommand() const { return m_nChosenCommand; }

    BOOL OnInitDialog() override;
    void DoDataExchange(fw::DataExchange& dx) override;
    void OnOK() override;
    void OnCancel() override;
    void OnRButtonDown(UINT flags, fw::Point p) override;

    void OnTimeDomainKind(int id);
    void OnFrequencyDomainKind();
    void OnVariable(int n);
    void OnGraph(int n);
    void OnSetup();
    void OnCommandButton(UINT command);

    // Every variable of the four equations exists in the present circuit;
    // FALSE after one message 52046 per equation that names a missing one.
    BOOL CheckEquationVariables();
    BOOL IsVariableAvailable(int32_t id);
    static BOOL ListContains(const CVarIdList& list, int32_t id);

private:
    void BuildCatalogue();
    void FreeCatalogue();
    void TimeDomainLayout(bool steadyState);
    void FrequencyDomainLayout();
    void EnableGraphButton(int n);
    void Show(int id, bool show);
    // The time-domain checks of a start; FALSE stays open.
    bool CheckTimeDomainStart();
    bool CheckFrequencyDomainStart();
    // Every graph the kind plots on can take a point of the sweep: its x
    // range meets the stimulus' start and stop frequencies.
    bool FrequencyGraphsMeetTheSweep(int firstSetting) const;

    CAnalysisConfig* m_pConfig;  // not owned
    int32_t m_nControlSectionVariant;
    int m_nChosenCommand = fw::IDCANCEL;
    CPwrQuorraDoc* m_pDoc;
    bool m_ownsCatalogue = false;
    // The total time as shown, so that an untouched field gives back the
    // exact value it was filled with.
    std::string m_shownTime;
    double m_shownTimeValue = 0.0;
};
