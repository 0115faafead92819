#include "app/AnalDlg.h"

#include <memory>
#include <new>

#include "app/FreqSetupDlg.h"
#include "circuit/Doc.h"
#include "graphs/EquDlg.h"
#include "platform/core/Format.h"
#include "records/Utils.h"
#include "resources/StringTable.h"
#include "setup/GraphCfgDlg.h"

namespace {

using fw::ControlKind;

constexpr UINT kMenuDialogPopups = 104;
constexpr int kAnalysisPopup = 4;
constexpr double kMaxTotalTime = 9999999.9;  // seconds
constexpr UINT kMsgInsufficientMemory = 52094;
constexpr UINT kMsgCatalogueMemory = 52095;
constexpr UINT kMsgUnknownKind = 52017;
constexpr UINT kMsgNoFrequencyGraphs = 52149;
constexpr UINT kMsgNoTimeGraphs = 52150;
constexpr UINT kMsgVariableNotValid = 52046;
constexpr UINT kMsgAxisTooLong = 54000;
constexpr UINT kMsgAxisMinimumReset = 54001;
constexpr UINT kMsgAxisTooShort = 54002;
constexpr UINT kMsgLowStartFrequency = 54005;
constexpr UINT kMsgTotalTimeRange = 58501;
constexpr UINT kMsgFrequencyAxisOutside = 58510;

constexpr unsigned kFirst = fw::kGroup | fw::kTabStop;

// The template's places; a few controls are a little wider than it has them
// so that their captions show whole in the label font.
const fw::FormTable kAnalysisForm{
    IDD_ANALYSIS,
    "Analysis",
    323,
    294,
    fw::kFormCenter,
    {
        {static_cast<int>(ID_START_AND_SAVE), ControlKind::PushButton, "  Start and Save ", 20, 273, 60, 14, kFirst},
        {static_cast<int>(ID_START_ONLY), ControlKind::PushButton, " Start Only", 94, 273, 60, 14, fw::kTabStop},
        {static_cast<int>(ID_SAVE_ONLY), ControlKind::PushButton, "Save Only", 168, 273, 60, 14, fw::kTabStop},
        {fw::IDCANCEL, ControlKind::PushButton, "Cancel", 242, 273, 60, 14, fw::kTabStop},
        {fw::IDC_STATIC, ControlKind::GroupBox, "", 9, 10, 306, 250},
        {fw::IDC_STATIC, ControlKind::GroupBox, "Type", 29, 26, 264, 121},
        {fw::IDC_STATIC, ControlKind::Static, "Time Domain", 54, 42, 83, 12},
        {fw::IDC_STATIC, ControlKind::Static, "Frequency Domain", 171, 42, 74, 12},
        {IDC_ANAL_TURN_ON, ControlKind::RadioButton, "Turn On Transient", 63, 60, 93, 10, kFirst},
        {IDC_ANAL_STEADY_STATE, ControlKind::RadioButton, "Steady State", 63, 75, 73, 10},
        {IDC_ANAL_VOLTAGE_LOOP, ControlKind::RadioButton, "Voltage Loop Response", 180, 60, 106, 10},
        {IDC_ANAL_CURRENT_LOOP, ControlKind::RadioButton, "Current Loop", 180, 75, 106, 10},
        {IDC_ANAL_INPUT_TO_OUTPUT, ControlKind::RadioButton, "Input To Output", 180, 90, 106, 10},
        {IDC_ANAL_AMPLIFIER, ControlKind::RadioButton, "Amplifier", 180, 105, 106, 10},
        {IDC_ANAL_INIT_GROUP, ControlKind::GroupBox, "Steady State Initialization", 39, 91, 121, 47},
        {IDC_ANAL_INIT_SLOW, ControlKind::RadioButton, "Slow and More Precise", 50, 105, 104, 10, kFirst},
        {IDC_ANAL_INIT_FAST, ControlKind::RadioButton, "Fast and Less Precise", 50, 119, 104, 10},
        {IDC_ANAL_LAYOUT_GROUP, ControlKind::GroupBox, "", 29, 150, 264, 62, fw::kGroup},
        {IDC_ANAL_VARIABLE1, ControlKind::PushButton, "Variable 1", 44, 167, 50, 14, fw::kTabStop},
        {IDC_ANAL_VARIABLE1 + 1, ControlKind::PushButton, "Variable 2", 105, 167, 50, 14, fw::kTabStop},
        {IDC_ANAL_VARIABLE1 + 2, ControlKind::PushButton, "Variable 3", 167, 167, 50, 14, fw::kTabStop},
        {IDC_ANAL_VARIABLE1 + 3, ControlKind::PushButton, "Variable 4", 227, 167, 50, 14, fw::kTabStop},
        {IDC_ANAL_GRAPH1, ControlKind::PushButton, "Graph 1", 44, 186, 50, 14, fw::kTabStop},
        {IDC_ANAL_GRAPH1 + 1, ControlKind::PushButton, "Graph 2", 105, 186, 50, 14, fw::kTabStop},
        {IDC_ANAL_GRAPH1 + 2, ControlKind::PushButton, "Graph 3", 167, 186, 50, 14, fw::kTabStop},
        {IDC_ANAL_GRAPH1 + 3, ControlKind::PushButton, "Graph 4", 227, 186, 50, 14, fw::kTabStop},
        {IDC_ANAL_SETUP, ControlKind::PushButton, "Setup", 139, 167, 40, 14, fw::kTabStop},
        {IDC_ANAL_TIME_LABEL, ControlKind::Static, "Time", 111, 228, 19, 12},
        {IDC_ANAL_TIME, ControlKind::Edit, "", 136, 225, 40, 12, fw::kTabStop | fw::kBorder | fw::kGroup},
        {IDC_ANAL_SECONDS, ControlKind::Static, "seconds", 179, 228, 32, 12},
    },
};
fw::FormRegistrar g_analysisForm(kAnalysisForm);

std::string Text(UINT id) {
    const char* s = res::FindString(id);
    return s ? s : "";
}

bool AskYes(UINT id) { return fw::MessageBox(Text(id), fw::MB_YESNO) == fw::IDYES; }

void Code(int code) { ReportMessage1(kModuleAnalDlg, code, FALSE); }

// A radio group's checked position; with none checked the value stays.
void ExchangeRadio(fw::DataExchange& dx, int firstId, int32_t& value) {
    int position = value;
    fw::DDX_Radio(dx, firstId, position);
    if (dx.m_bSaveAndValidate && position >= 0) value = position;
}

}  // namespace

CAnalysisDlg::CAnalysisDlg(CAnalysisConfig* config, UINT templateId, fw::Window* parent)
    : fw::Dialog(templateId, parent), m_pConfig(config), m_pDoc(GetCurrentDesign()) {
    m_nControlSectionVariant = m_pDoc ? m_pDoc->GetControlSection()->GetTopology() : kTopologyNotChosen;
    // A kind the dialog has no button for would start a run nobody chose.
    const int32_t kind = m_pConfig->GetAnalysisKind();
    if (kind < CAnalysisConfig::KIND_TURN_ON || kind > CAnalysisConfig::KIND_AMPLIFIER)
        m_pConfig->SetAnalysisKind(CAnalysisConfig::KIND_STEADY_STATE);
    // Voltage-mode control has no current loop.
    if ((m_nControlSectionVariant == 1 || m_nControlSectionVariant == 2) &&
        m_pConfig->GetAnalysisKind() == CAnalysisConfig::KIND_CURRENT_LOOP)
        m_pConfig->SetAnalysisKind(CAnalysisConfig::KIND_VOLTAGE_LOOP);

    OnClicked(IDC_ANAL_TURN_ON, [this] { OnTimeDomainKind(IDC_ANAL_TURN_ON); });
    OnClicked(IDC_ANAL_STEADY_STATE, [this] { OnTimeDomainKind(IDC_ANAL_STEADY_STATE); });
    for (int id = IDC_ANAL_VOLTAGE_LOOP; id <= IDC_ANAL_AMPLIFIER; ++id) OnClicked(id, [this] { OnFrequencyDomainKind(); });
    for (int n = 1; n <= CAnalysisConfig::kVariables; ++n) {
        OnClicked(IDC_ANAL_VARIABLE1 + n - 1, [this, n] { OnVariable(n); });
        OnClicked(IDC_ANAL_GRAPH1 + n - 1, [this, n] { OnGraph(n); });
    }
    OnClicked(IDC_ANAL_SETUP, [this] { OnSetup(); });
    for (UINT command : {ID_START_AND_SAVE, ID_START_ONLY, ID_SAVE_ONLY})
        OnClicked(static_cast<int>(command), [this, command] { OnCommandButton(command); });
}

CAnalysisDlg::~CAnalysisDlg() { FreeCatalogue(); }

void CAnalysisDlg::BuildCatalogue() {
    FreeCatalogue();
    g_pTimeVarNameTable = new CTimeVarNameTable();
    g_pTimeVarCatalogue = new CTimeVarCatalogue();
    m_ownsCatalogue = true;
}

void CAnalysisDlg::FreeCatalogue() {
    if (!m_ownsCatalogue) return;
    delete g_pTimeVarCatalogue;
    g_pTimeVarCatalogue = nullptr;
    delete g_pTimeVarNameTable;
    g_pTimeVarNameTable = nullptr;
    m_ownsCatalogue = false;
}

BOOL CAnalysisDlg::OnInitDialog() {
    BuildCatalogue();
    fw::Dialog::OnInitDialog();
    const int32_t kind = m_pConfig->GetAnalysisKind();
    if (m_pConfig->IsTimeDomain())
        TimeDomainLayout(kind == CAnalysisConfig::KIND_STEADY_STATE);
    else
        FrequencyDomainLayout();
    if (m_nControlSectionVariant == 1 || m_nControlSectionVariant == 2)
        if (fw::Control* c = GetDlgItem(IDC_ANAL_CURRENT_LOOP)) c->EnableWindow(FALSE);
    return FALSE;
}

void CAnalysisDlg::DoDataExchange(fw::DataExchange& dx) {
    ExchangeRadio(dx, IDC_ANAL_TURN_ON, m_pConfig->m_nAnalysisKind);
    ExchangeRadio(dx, IDC_ANAL_INIT_SLOW, m_pConfig->m_nInitMode);
    fw::Control* time = dx.PrepareCtrl(IDC_ANAL_TIME);
    if (!dx.m_bSaveAndValidate) {
        fw::DDX_Text(dx, IDC_ANAL_TIME, m_pConfig->m_dTime);
        m_shownTime = time->GetWindowText();
        m_shownTimeValue = m_pConfig->m_dTime;
        return;
    }
    double value = 0.0;
    if (!m_pConfig->IsTimeDomain()) {
        // A frequency run reads no total time and the field is hidden: what
        // it holds is kept when it reads as a time, never refused.
        const std::string text = time->GetWindowText();
        if (text == m_shownTime) return;
        if (fw::ParseDouble(text, value) && value >= 0.0 && value <= kMaxTotalTime) m_pConfig->m_dTime = value;
        return;
    }
    fw::DDX_Text(dx, IDC_ANAL_TIME, value);
    if (time->GetWindowText() == m_shownTime) value = m_shownTimeValue;
    m_pConfig->m_dTime = value;
    // A run of no time has nothing to show and its progress divides by it.
    if (!(value > 0.0 && value <= kMaxTotalTime)) {
        fw::MessageBox(Text(kMsgTotalTimeRange), fw::MB_ICONEXCLAMATION);
        dx.Fail();
    }
}

void CAnalysisDlg::Show(int id, bool show) {
    if (fw::Control* c = GetDlgItem(id)) c->ShowWindow(show ? fw::SW_SHOW : fw::SW_HIDE);
}

void CAnalysisDlg::EnableGraphButton(int n) {
    const CEquation* eq = m_pConfig->GetEquation(n);
    if (fw::Control* c = GetDlgItem(IDC_ANAL_GRAPH1 + n - 1)) c->EnableWindow(eq && eq->IsInUse());
}

void CAnalysisDlg::TimeDomainLayout(bool steadyState) {
    for (int id : {IDC_ANAL_TIME_LABEL, IDC_ANAL_TIME, IDC_ANAL_SECONDS}) Show(id, true);
    SetDlgItemText(IDC_ANAL_LAYOUT_GROUP, "Time Domain");
    Show(IDC_ANAL_SETUP, false);
    for (int n = 1; n <= CAnalysisConfig::kVariables; ++n) {
        Show(IDC_ANAL_VARIABLE1 + n - 1, true);
        Show(IDC_ANAL_GRAPH1 + n - 1, true);
        EnableGraphButton(n);
    }
    for (int id : {IDC_ANAL_INIT_GROUP, IDC_ANAL_INIT_SLOW, IDC_ANAL_INIT_FAST}) Show(id, steadyState);
}

void CAnalysisDlg::FrequencyDomainLayout() {
    for (int id : {IDC_ANAL_TIME_LABEL, IDC_ANAL_TIME, IDC_ANAL_SECONDS}) Show(id, false);
    SetDlgItemText(IDC_ANAL_LAYOUT_GROUP, "Frequency Domain");
    for (int n = 0; n < CAnalysisConfig::kVariables; ++n) {
        Show(IDC_ANAL_VARIABLE1 + n, false);
        Show(IDC_ANAL_GRAPH1 + n, false);
    }
    Show(IDC_ANAL_SETUP, true);
}

void CAnalysisDlg::OnTimeDomainKind(int id) { TimeDomainLayout(id == IDC_ANAL_STEADY_STATE); }

void CAnalysisDlg::OnFrequencyDomainKind() { FrequencyDomainLayout(); }

void CAnalysisDlg::OnVariable(int n) {
    if (VarListAllocFailed()) {
        ReportMessage(kMsgCatalogueMemory, TRUE);
        return;
    }
    std::unique_ptr<CEquation>& eq = m_pConfig->m_pEquations[size_t(n - 1)];
    if (!eq) {
        eq.reset(new (std::nothrow) CEquation());
        if (!eq) {
            ReportMessage(kMsgInsufficientMemory, TRUE);
            return;
        }
    }
    std::unique_ptr<CEquation> scratch(new (std::nothrow) CEquation());
    if (!scratch) {
        ReportMessage(kMsgInsufficientMemory, TRUE);
        return;
    }
    *scratch = *eq;
    const std::string caption = "Time Domain Variable " + std::to_string(n);
    CEquationDlg dlg(scratch.get(), caption.c_str(), nullptr);
    if (dlg.DoModal() != fw::IDOK) return;
    if (*eq != *scratch) *eq = *scratch;
    EnableGraphButton(n);
}

void CAnalysisDlg::OnGraph(int n) {
    std::unique_ptr<CGraphCfg> scratch(new (std::nothrow) CGraphCfg());
    if (!scratch) {
        Code(4013 + n - 1);
        ReportMessage(kMsgInsufficientMemory, TRUE);
        return;
    }
    CGraphCfg& setting = *m_pConfig->GetGraphCfg(n - 1);
    *scratch = setting;
    const std::string caption = "Time " + std::to_string(n) + " Graph";
    CTimeGraphCfgDlg dlg(scratch.get(), IDD_TIME_GRAPH_CFG, caption.c_str(), nullptr);
    if (dlg.DoModal() == fw::IDOK && setting != *scratch) setting = *scratch;
}

void CAnalysisDlg::OnSetup() {
    if (!UpdateData(TRUE)) return;
    std::unique_ptr<CFreqDomainStimulusCfg> stimulus(new (std::nothrow) CFreqDomainStimulusCfg());
    std::unique_ptr<CGraphCfg> graphs[4];
    bool made = stimulus != nullptr;
    for (auto& g : graphs) {
        g.reset(new (std::nothrow) CGraphCfg());
        made = made && g;
    }
    if (!made) {
        Code(4017);
        ReportMessage(kMsgInsufficientMemory, TRUE);
        return;
    }
    *stimulus = m_pConfig->GetStimulusCfg();
    int first = 0;  // the kind's first graph setting
    int count = 4;  // graphs handed to its dialog
    std::unique_ptr<CFreqSetupDlg> dlg;
    auto copyGraphs = [&] {
        for (int i = 0; i < count; ++i) *graphs[i] = *m_pConfig->GetGraphCfg(first + i);
    };
    switch (m_pConfig->GetAnalysisKind()) {
    case CAnalysisConfig::KIND_VOLTAGE_LOOP:
        first = 8;
        copyGraphs();
        dlg = std::make_unique<CVoltageLoopSetupDlg>(stimulus.get(), graphs[0].get(), graphs[1].get(),
                                                     graphs[2].get(), graphs[3].get());
        break;
    case CAnalysisConfig::KIND_CURRENT_LOOP:
        first = 12;
        if (m_nControlSectionVariant == CAnalysisConfig::kAverageCurrentModeTopology) {
            copyGraphs();
            dlg = std::make_unique<CAvgCurrentLoopSetupDlg>(stimulus.get(), graphs[0].get(), graphs[1].get(),
                                                            graphs[2].get(), graphs[3].get());
        } else {
            count = 2;
            copyGraphs();
            dlg = std::make_unique<CPeakCurrentLoopSetupDlg>(stimulus.get(), graphs[0].get(), graphs[1].get());
        }
        break;
    case CAnalysisConfig::KIND_INPUT_TO_OUTPUT:
        first = 16;
        copyGraphs();
        dlg = std::make_unique<CInputToOutputSetupDlg>(stimulus.get(), graphs[0].get(), graphs[1].get(),
                                                       graphs[2].get(), graphs[3].get());
        break;
    case CAnalysisConfig::KIND_AMPLIFIER:
        first = 20;
        count = 2;
        copyGraphs();
        dlg = std::make_unique<CAmplifierSetupDlg>(stimulus.get(), graphs[0].get(), graphs[1].get());
        break;
    default:
        Code(4018);
        ReportMessage(kMsgUnknownKind, TRUE);
        return;
    }
    if (dlg->DoModal() != fw::IDOK) return;
    if (m_pConfig->GetStimulusCfg() != *stimulus) m_pConfig->GetStimulusCfg() = *stimulus;
    for (int i = 0; i < count; ++i) {
        CGraphCfg& setting = *m_pConfig->GetGraphCfg(first + i);
        if (setting != *graphs[i]) setting = *graphs[i];
    }
}

void CAnalysisDlg::OnRButtonDown(UINT flags, fw::Point p) { TrackContextMenu(kMenuDialogPopups, kAnalysisPopup, p); }

void CAnalysisDlg::OnCommandButton(UINT command) {
    m_nChosenCommand = static_cast<int>(command);
    OnOK();
}

void CAnalysisDlg::OnOK() {
    if (!UpdateData(TRUE)) return;
    switch (m_nChosenCommand) {
    case ID_SAVE_ONLY:
        break;
    case ID_START_AND_SAVE:
    case ID_START_ONLY:
        if (m_pConfig->IsTimeDomain()) {
            if (!CheckTimeDomainStart()) return;
        } else if (m_pConfig->IsFrequencyDomain()) {
            if (!CheckFrequencyDomainStart()) return;
        } else {
            // Never started: the worker would only report that it cannot.
            Code(4000);
            ReportMessage(kMsgUnknownKind, TRUE);
            return;
        }
        break;
    default:
        // Enter before any command was chosen.
        Beep();
        return;
    }
    FreeCatalogue();
    fw::Dialog::OnOK();
}

void CAnalysisDlg::OnCancel() {
    FreeCatalogue();
    fw::Dialog::OnCancel();
}

bool CAnalysisDlg::CheckTimeDomainStart() {
    if (m_pConfig->CountGraphsWithData() == 0) {
        ReportMessage(kMsgNoTimeGraphs, TRUE);
        return false;
    }
    if (!CheckEquationVariables()) return false;
    const double total = m_pConfig->GetTime() * 1000000.0;  // microseconds, as the time axes
    bool tooLong = false, tooShort = false, reset = false;
    for (int n = 1; n <= CAnalysisConfig::kVariables; ++n) {
        const CEquation* eq = m_pConfig->GetEquation(n);
        if (!eq || !eq->IsInUse()) continue;
        CGraphCfg& g = *m_pConfig->GetGraphCfg(n - 1);
        if (g.m_dXMax > total) tooLong = true;
        if (g.m_dXMax < total / 10.0) tooShort = true;
        if (g.m_dXMin >= total) {
            g.m_dXMin = 0.0;
            reset = true;
        }
    }
    if (tooShort && !AskYes(kMsgAxisTooShort)) return false;
    if (tooLong && !AskYes(kMsgAxisTooLong)) return false;
    if (reset && !AskYes(kMsgAxisMinimumReset)) return false;
    return true;
}

bool CAnalysisDlg::CheckFrequencyDomainStart() {
    if (m_pConfig->CountGraphsWithData() == 0) {
        ReportMessage(kMsgNoFrequencyGraphs, TRUE);
        return false;
    }
    const double target = m_pDoc ? m_pDoc->GetRequirements()->GetSwitchingFrequency() : 0.0;
    if (m_pConfig->GetStimulusCfg().m_dStartFrequency < 0.01 * target && !AskYes(kMsgLowStartFrequency)) return false;
    // The run reads the chosen kind's graphs from settings 4-7.
    const int first = 8 + 4 * (m_pConfig->GetAnalysisKind() - CAnalysisConfig::KIND_VOLTAGE_LOOP);
    if (!FrequencyGraphsMeetTheSweep(first) && !AskYes(kMsgFrequencyAxisOutside)) return false;
    for (int i = 0; i < 4; ++i) *m_pConfig->GetGraphCfg(4 + i) = *m_pConfig->GetGraphCfg(first + i);
    return true;
}

bool CAnalysisDlg::FrequencyGraphsMeetTheSweep(int firstSetting) const {
    using S = CFreqDomainStimulusCfg;
    int quantities = 6, firstChoice = 0, graphs = 4;
    switch (m_pConfig->GetAnalysisKind()) {
    case CAnalysisConfig::KIND_VOLTAGE_LOOP: firstChoice = S::CHOICE_VOLTAGE_LOOP; break;
    case CAnalysisConfig::KIND_CURRENT_LOOP:
        if (m_pConfig->IsAverageCurrentMode()) {
            firstChoice = S::CHOICE_AVG_CURRENT;
        } else {
            firstChoice = S::CHOICE_PEAK_CURRENT;
            quantities = graphs = 2;
        }
        break;
    case CAnalysisConfig::KIND_INPUT_TO_OUTPUT: firstChoice = S::CHOICE_INPUT_TO_OUTPUT; break;
    case CAnalysisConfig::KIND_AMPLIFIER:
        firstChoice = S::CHOICE_AMPLIFIER;
        quantities = graphs = 2;
        break;
    default: return true;
    }
    const CFreqDomainStimulusCfg& stimulus = m_pConfig->GetStimulusCfg();
    // The graph manager's accept window: a graph takes the sweep's points
    // between its start and stop, each widened by 1e-5.
    const double low = stimulus.m_dStartFrequency - 1e-5, high = stimulus.m_dStopFrequency + 1e-5;
    for (int q = 0; q < quantities; ++q) {
        const int graph = stimulus.GetChoice(firstChoice + q);
        if (graph < 1 || graph > graphs) continue;
        const CGraphCfg& g = *m_pConfig->GetGraphCfg(firstSetting + graph - 1);
        if (!(g.m_dXMax >= low && g.m_dXMin <= high)) return false;
    }
    return true;
}

// ---------------------------------------------------------------------------
// Availability of the equations' variables in the present circuit

BOOL CAnalysisDlg::CheckEquationVariables() {
    if (m_pConfig->CountGraphsWithData() == 0) return FALSE;
    BOOL ok = TRUE;
    for (int n = 1; n <= CAnalysisConfig::kVariables; ++n) {
        const CEquation* eq = m_pConfig->GetEquation(n);
        if (!eq) continue;
        const CObArrayEquation& tokens = eq->GetTokens();
        for (int i = 0; i < tokens.GetCount(); ++i) {
            const CObEquation& t = *tokens.GetTokenAt(i);
            if (t.m_nKind != CObEquation::KIND_VARIABLE || IsVariableAvailable(t.m_nVarId)) continue;
            ReportMessage1(kMsgVariableNotValid, n, TRUE);
            ok = FALSE;
            break;
        }
    }
    return ok;
}

BOOL CAnalysisDlg::ListContains(const CVarIdList& list, int32_t id) {
    // The whole id: a damaged file's 65536 + n is not variable n.
    for (int i = 0; i < list.GetCount(); ++i) {
        uint16_t entry = 0;
        if (list.GetId(i, entry) && static_cast<int32_t>(entry) == id) return TRUE;
    }
    return FALSE;
}

BOOL CAnalysisDlg::IsVariableAvailable(int32_t id) {
    if (!m_pDoc || !g_pTimeVarCatalogue) return FALSE;
    if (id < 0 || id > kHighestTimeVarId) return FALSE;
    CPwrQuorraDoc& doc = *m_pDoc;
    auto holds = [&](int list) {
        const CVarIdList* l = list >= 0 ? g_pTimeVarCatalogue->GetList(list) : nullptr;
        return l && ListContains(*l, id);
    };
    auto holdsGroup = [&](VarGroup group, int n) { return holds(SelectVarList(doc, group, n)); };

    const int lineType = doc.GetLineFilter()->GetLineSourceType();
    // Phases beyond the first: none for DC or single phase.
    const int extraPhases = lineType == 3 ? 2 : lineType == 2 ? 1 : 0;
    if (lineType < 0 || lineType > 3) {
        Code(4001);
    } else {
        for (int p = extraPhases; p >= 0; --p)
            if (holdsGroup(VarGroup::LineSource, p)) return TRUE;
    }
    const int filter = doc.GetLineFilter()->GetTopology();
    if (filter < 0 || filter > 9) {
        Code(4012);
    } else if (lineType < 0 || lineType > 3) {
        Code(4002 + filter);
    } else {
        for (int p = extraPhases; p >= 0; --p)
            if (holdsGroup(VarGroup::LineFilter, p)) return TRUE;
    }
    for (VarGroup g : {VarGroup::LineRectifier, VarGroup::InputCapacitor, VarGroup::PrimarySection})
        if (holdsGroup(g, 0)) return TRUE;
    const CRequirements& req = *doc.GetRequirements();
    for (VarGroup g : {VarGroup::SecondarySection, VarGroup::OutputChoke, VarGroup::FirstStageFilter,
                       VarGroup::SecondStageFilter, VarGroup::LoadNetwork})
        for (int k = 1; k <= 4; ++k)
            if (req.IsOutputEnabled(k - 1) && holdsGroup(g, k)) return TRUE;
    for (VarGroup g : {VarGroup::VoltageErrorAmp, VarGroup::OptoIsolator, VarGroup::ControlSection})
        if (holdsGroup(g, 0)) return TRUE;
    return FALSE;
}
