#include "app/FreqSetupDlg.h"

#include <memory>
#include <new>
#include <string>
#include <vector>

#include "circuit/DocServices.h"
#include "circuit/Require.h"
#include "platform/core/Format.h"
#include "records/Utils.h"
#include "setup/GraphCfgDlg.h"

namespace {

using fw::ControlKind;
using fw::FormControl;

constexpr UINT kMsgInsufficientMemory = 52094;
constexpr UINT kMsgStopBelowStart = 52136;
constexpr double kDefaultTargetFrequency = 100000.0;

// Row handlers' codes: six-row dialogs look up their own disabled button and
// graphs 1-4; two-row dialogs their own and the other row's buttons in turn.
constexpr FreqSetupTable kVoltageLoop{
    IDD_VOLTAGE_LOOP_SETUP, "Voltage Loop Response Setup", 4, 6,
    {"Loop Gain", "Loop Phase", "Control to Feedback Output Gain", "Control to Feedback Output Phase",
     "Error Amplifier Gain", "Error Amplifier Phase"},
    CFreqDomainStimulusCfg::CHOICE_VOLTAGE_LOOP, 0, 1497, -1, {4302, 4302},
    {{4303, 4304, 4305, 4306, 4307},
     {4308, 4309, 4310, 4311, 4312},
     {4313, 4314, 4315, 4316, 4317},
     {4318, 4319, 4320, 4321, 4322},
     {4323, 4324, 4325, 4326, 4327},
     {4328, 4329, 4330, 4331, 4332}},
    {4333, 4334, 4335, 4336}};

constexpr FreqSetupTable kAvgCurrentLoop{
    IDD_AVG_CURRENT_LOOP_SETUP, "Current Loop Setup for Average Current Mode Control", 4, 6,
    {"Current Loop Gain", "Current Loop Phase", "Current Error Amp Gain", "Current Error Amp Phase",
     "Current Loop Modulator Gain", "Current Loop Modulator Phase"},
    CFreqDomainStimulusCfg::CHOICE_AVG_CURRENT, 3, 1503, -1, {4337, 4337},
    {{4338, 4339, 4340, 4341, 4342},
     {4343, 4344, 4345, 4346, 4347},
     {4348, 4349, 4350, 4351, 4352},
     {4353, 4354, 4355, 4356, 4357},
     {4358, 4359, 4360, 4361, 4362},
     {4363, 4364, 4365, 4366, 4367}},
    {4368, 4369, 4370, 4371}};

constexpr FreqSetupTable kPeakCurrentLoop{
    IDD_PEAK_CURRENT_LOOP_SETUP, "Current Loop Setup for Peak or Hysteretic Current Control", 2, 2,
    {"Current Loop Gain", "Current Loop Phase"},
    CFreqDomainStimulusCfg::CHOICE_PEAK_CURRENT, 6, 1509, -1, {4372, 4373},
    {{4374, 4375, 4376, 4377, 4378, 4379}, {4380, 4381, 4382, 4383, 4384, 4385}},
    {4386, 4387}};

constexpr FreqSetupTable kInputToOutput{
    IDD_INPUT_TO_OUTPUT_SETUP, "Input To Output Setup", 4, 6,
    {"Input Filter Gain", "Input Filter Phase", "Input to Output Gain", "Input to Output Phase",
     "Line to Output Gain", "Line to Output Phase"},
    CFreqDomainStimulusCfg::CHOICE_INPUT_TO_OUTPUT, 7, 1511, CFreqDomainStimulusCfg::CHOICE_I2O_OUTPUT, {4388, 4388},
    {{4389, 4390, 4391, 4392, 4393},
     {4394, 4395, 4396, 4397, 4398},
     {4399, 4400, 4401, 4402, 4403},
     {4404, 4405, 4406, 4407, 4408},
     {4409, 4410, 4411, 4412, 4413},
     {4414, 4415, 4416, 4417, 4418}},
    {4419, 4420, 4421, 4422}};

// The second row has no code of its own for the other row's graph 1 button.
constexpr FreqSetupTable kAmplifier{
    IDD_AMPLIFIER_SETUP, "Amplifier Setup", 2, 2,
    {"Amplifier Gain", "Amplifier Phase"},
    CFreqDomainStimulusCfg::CHOICE_AMPLIFIER, 10, 1517, CFreqDomainStimulusCfg::CHOICE_AMP_OUTPUT, {4423, 4424},
    {{4425, 4426, 4427, 4428, 4429, 4430}, {4431, 4432, 4433, 0, 4434, 4435}},
    {4436, 4437}};

bool IsPhaseRow(int row) { return row % 2 == 0; }
int MaxPhaseId(const FreqSetupTable& t, int row) { return t.firstPhaseId + 2 * (row / 2 - 1); }

// Layout: stimulus at the top left, graph buttons and the output group to
// its right, the plot rows below with their phase ranges.
fw::FormTable BuildForm(const FreqSetupTable& t) {
    std::vector<FormControl> c;
    constexpr unsigned kField = fw::kTabStop | fw::kBorder;
    c.push_back({fw::IDC_STATIC, ControlKind::GroupBox, "Stimulus", 7, 7, 214, 76});
    const char* const labels[] = {"Start Frequency", "Stop Frequency", "Points Per Decade", "Stimulus Amplitude"};
    const char* const units[] = {"hertz", "hertz", "", "volts"};
    for (int i = 0; i < 4; ++i) {
        const int y = 20 + 15 * i;
        c.push_back({fw::IDC_STATIC, ControlKind::Static, labels[i], 14, y + 2, 80, 9});
        c.push_back({IDC_FREQ_START + i, ControlKind::Edit, "", 96, y, 80, 12, kField | (i == 0 ? fw::kGroup : 0u)});
        if (*units[i]) c.push_back({fw::IDC_STATIC, ControlKind::Static, units[i], 181, y + 2, 34, 9});
    }

    c.push_back({fw::IDC_STATIC, ControlKind::GroupBox, "Graphs", 227, 7, 198, 36});
    const char* const graphNames[] = {"Graph 1", "Graph 2", "Graph 3", "Graph 4"};
    for (int k = 0; k < t.graphs; ++k)
        c.push_back({IDC_FREQ_GRAPH1 + k, ControlKind::PushButton, graphNames[k], 235 + 47 * k, 20, 42, 14,
                     fw::kTabStop | (k == 0 ? fw::kGroup : 0u)});

    const int plotTop = 89;
    const int plotHeight = 40 + 16 * t.rows;
    c.push_back({fw::IDC_STATIC, ControlKind::GroupBox, "Plot Variables", 7, plotTop, 418, plotHeight});
    constexpr int kDisabledX = 158;
    constexpr int kColumn = 26;
    const int graphX = kDisabledX + kColumn;
    c.push_back({fw::IDC_STATIC, ControlKind::Static, "Disabled ", kDisabledX - 12, plotTop + 11, 36, 9, fw::kCenter});
    c.push_back({fw::IDC_STATIC, ControlKind::Static, "Graph", graphX, plotTop + 11, kColumn * t.graphs - 12, 9,
                 fw::kCenter});
    const char* const digits[] = {"1", "2", "3", "4"};
    for (int k = 0; k < t.graphs; ++k)
        c.push_back({fw::IDC_STATIC, ControlKind::Static, digits[k], graphX + kColumn * k, plotTop + 21, 10, 9});
    constexpr int kMaxX = 294;
    constexpr int kMinX = 358;
    c.push_back({fw::IDC_STATIC, ControlKind::Static, "Maximum Phase", kMaxX, plotTop + 11, 60, 9});
    c.push_back({fw::IDC_STATIC, ControlKind::Static, "Minimum Phase", kMinX, plotTop + 11, 60, 9});
    for (int r = 1; r <= t.rows; ++r) {
        const int y = plotTop + 34 + 16 * (r - 1);
        c.push_back({fw::IDC_STATIC, ControlKind::Static, t.rowLabels[r - 1], 14, y + 1, 134, 9});
        for (int k = 0; k <= t.graphs; ++k)
            c.push_back({IdcFreqRow(r) + k, ControlKind::RadioButton, "", kDisabledX + kColumn * k, y, 10, 10,
                         k == 0 ? fw::kGroup | fw::kTabStop : 0u});
        if (IsPhaseRow(r)) {
            c.push_back({MaxPhaseId(t, r), ControlKind::Edit, "", kMaxX, y - 1, 56, 12, kField | fw::kGroup});
            c.push_back({MaxPhaseId(t, r) + 1, ControlKind::Edit, "", kMinX, y - 1, 56, 12,
                         fw::kBorder | fw::kDisabled});
        }
    }

    if (t.outputChoice >= 0) {
        c.push_back({fw::IDC_STATIC, ControlKind::GroupBox, "Output", 227, 47, 198, 36});
        for (int o = 0; o < 4; ++o)
            c.push_back({IDC_FREQ_OUTPUT1 + o, ControlKind::RadioButton, digits[o], 240 + 45 * o, 63, 30, 10,
                         o == 0 ? fw::kGroup | fw::kTabStop : 0u});
    }

    const int buttons = plotTop + plotHeight + 8;
    c.push_back({fw::IDOK, ControlKind::DefPushButton, "OK", 150, buttons, 50, 14, fw::kTabStop | fw::kGroup});
    c.push_back({fw::IDCANCEL, ControlKind::PushButton, "Cancel", 232, buttons, 50, 14, fw::kTabStop});
    return {t.templateId, t.title, 432, buttons + 21, fw::kFormCenter, std::move(c)};
}

const fw::FormTable kVoltageLoopForm = BuildForm(kVoltageLoop);
const fw::FormTable kAvgCurrentLoopForm = BuildForm(kAvgCurrentLoop);
const fw::FormTable kPeakCurrentLoopForm = BuildForm(kPeakCurrentLoop);
const fw::FormTable kInputToOutputForm = BuildForm(kInputToOutput);
const fw::FormTable kAmplifierForm = BuildForm(kAmplifier);
fw::FormRegistrar g_voltageLoopForm(kVoltageLoopForm);
fw::FormRegistrar g_avgCurrentLoopForm(kAvgCurrentLoopForm);
fw::FormRegistrar g_peakCurrentLoopForm(kPeakCurrentLoopForm);
fw::FormRegistrar g_inputToOutputForm(kInputToOutputForm);
fw::FormRegistrar g_amplifierForm(kAmplifierForm);

const CRequirements* DesignRequirements() {
    CDocServices* doc = GetCurrentDoc();
    return doc ? doc->GetRequirements() : nullptr;
}

}  // namespace

CFreqSetupDlg::CFreqSetupDlg(const FreqSetupTable& table, CFreqDomainStimulusCfg* stimulus, CGraphCfg* const* graphs,
                             UINT templateId, const char* caption, fw::Window* parent)
    : CComponentDlgBase(templateId, caption, parent), m_table(table), m_pStimulus(stimulus) {
    const CRequirements* req = DesignRequirements();
    m_dTargetFrequency = req ? req->GetSwitchingFrequency() : kDefaultTargetFrequency;
    for (int k = 0; k < table.graphs; ++k) m_pGraphCfg[size_t(k)] = graphs[k];
    for (int r = 1; r <= table.rows; ++r)
        for (int k = 0; k <= table.graphs; ++k) OnClicked(IdcFreqRow(r) + k, [this, r] { OnPlotVariableRow(r); });
    for (int r = 2; r <= table.rows; r += 2)
        OnNotify(MaxPhaseId(table, r), fw::EN_KILLFOCUS, [this] { OnMaxPhaseKillFocus(); });
    for (int k = 1; k <= table.graphs; ++k) OnClicked(IDC_FREQ_GRAPH1 + k - 1, [this, k] { OnFrequencyGraph(k); });
}

BOOL CFreqSetupDlg::OnInitDialog() {
    BOOL result = CComponentDlgBase::OnInitDialog();
    if (m_table.outputChoice < 0) return result;
    const CRequirements* req = DesignRequirements();
    for (int o = 0; o < 4; ++o) {
        m_outputEnabled[size_t(o)] = req && req->IsOutputEnabled(o);
        if (!m_outputEnabled[size_t(o)])
            if (fw::Control* c = GetDlgItem(IDC_FREQ_OUTPUT1 + o)) c->EnableWindow(FALSE);
    }
    SelectFirstEnabledOutput();
    return result;
}

void CFreqSetupDlg::SelectFirstEnabledOutput() {
    int32_t& choice = m_pStimulus->m_nChoice[size_t(m_table.outputChoice)];
    if (choice >= 0 && choice < 4 && m_outputEnabled[size_t(choice)]) return;
    for (int o = 0; o < 4; ++o) {
        if (!m_outputEnabled[size_t(o)]) continue;
        choice = o;
        CheckRadioButton(IDC_FREQ_OUTPUT1, IDC_FREQ_OUTPUT1 + 3, IDC_FREQ_OUTPUT1 + o);
        return;
    }
}

void CFreqSetupDlg::DoDataExchange(fw::DataExchange& dx) {
    CFreqDomainStimulusCfg& s = *m_pStimulus;
    DDX_Exact(dx, IDC_FREQ_START, s.m_dStartFrequency);
    fw::DDV_MinMaxDouble(dx, s.m_dStartFrequency, m_dTargetFrequency / 1000000.0, m_dTargetFrequency);
    DDX_Exact(dx, IDC_FREQ_STOP, s.m_dStopFrequency);
    fw::DDV_MinMaxDouble(dx, s.m_dStopFrequency, 1.0, m_dTargetFrequency);
    fw::DDX_Text(dx, IDC_FREQ_POINTS, s.m_nPointsPerDecade);
    fw::DDV_MinMaxInt(dx, s.m_nPointsPerDecade, 1, CFreqDomainStimulusCfg::kMaxPointsPerDecade);
    DDX_Exact(dx, IDC_FREQ_AMPLITUDE, s.m_dAmplitude);
    fw::DDV_MinMaxDouble(dx, s.m_dAmplitude, 0.000001, 1000.0);
    for (int r = 1; r <= m_table.rows; ++r)
        DDX_RadioKeep(dx, IdcFreqRow(r), s.m_nChoice[size_t(m_table.firstChoice + r - 1)]);
    if (m_table.outputChoice >= 0) DDX_RadioKeep(dx, IDC_FREQ_OUTPUT1, s.m_nChoice[size_t(m_table.outputChoice)]);
    for (int r = 2; r <= m_table.rows; r += 2)
        DDX_Exact(dx, MaxPhaseId(m_table, r), s.m_dMaxPhase[size_t(m_table.firstPhase + r / 2 - 1)]);
    for (int r = 2; r <= m_table.rows; r += 2)
        SetDlgItemText(MaxPhaseId(m_table, r) + 1,
                       fw::Format("%.2f", s.m_dMaxPhase[size_t(m_table.firstPhase + r / 2 - 1)] - 360.0));
}

void CFreqSetupDlg::OnOK() {
    if (!UpdateData(TRUE)) return;
    if (GetFocusId() != fw::IDOK) {
        // Enter in a field has stored it; only the OK button closes.
        Beep();
        return;
    }
    if (m_pStimulus->m_dStartFrequency > m_pStimulus->m_dStopFrequency) {
        ReportMessage(kMsgStopBelowStart, TRUE);
        return;
    }
    fw::Dialog::OnOK();
}

fw::Control* CFreqSetupDlg::Find(int id, int code) {
    fw::Control* c = GetDlgItem(id);
    if (!c && code) ReportMessage1(kModuleStimulus, code, FALSE);
    return c;
}

void CFreqSetupDlg::OnPlotVariableRow(int row) {
    if (!UpdateData(TRUE)) return;
    const int* codes = m_table.rowCodes[row - 1];
    const int first = IdcFreqRow(row);
    int graph = 0;
    if (m_table.rows == 2) {
        const int other = IdcFreqRow(3 - row);
        // Own disabled, other's disabled, then graph by graph own and other's.
        fw::Control* own = Find(first, codes[0]);
        if (!own) return;
        fw::Control* otherDisabled = Find(other, codes[1]);
        if (!otherDisabled) return;
        for (int k = 1; k <= 2; ++k) {
            fw::Control* mine = Find(first + k, codes[2 * k]);
            if (!mine) return;
            if (codes[2 * k + 1] && !Find(other + k, codes[2 * k + 1])) return;
            if (!graph && mine->GetCheck()) graph = k;
        }
        if (own->GetCheck() || !graph || otherDisabled->GetCheck()) return;
        ResolveConflicts(row, graph);
        return;
    }
    fw::Control* own = Find(first, codes[0]);
    if (!own) return;
    for (int k = 1; k <= m_table.graphs; ++k) {
        fw::Control* mine = Find(first + k, codes[k]);
        if (!mine) return;
        if (!graph && mine->GetCheck()) graph = k;
    }
    if (own->GetCheck() || !graph) return;
    ResolveConflicts(row, graph);
}

void CFreqSetupDlg::ResolveConflicts(int row, int graph) {
    const bool twoRows = m_table.rows == 2;
    for (int r = 1; r <= m_table.rows; ++r) {
        if (r == row) continue;
        fw::Control* taken = Find(IdcFreqRow(r) + graph, m_table.conflictCodes[0]);
        if (!taken) return;
        fw::Control* disabled = Find(IdcFreqRow(r), m_table.conflictCodes[twoRows ? 1 : 0]);
        if (!disabled) return;
        if (!taken->GetCheck()) continue;
        taken->SetCheck(fw::BST_UNCHECKED);
        disabled->SetCheck(fw::BST_CHECKED);
    }
}

void CFreqSetupDlg::OnMaxPhaseKillFocus() { UpdateData(TRUE); }

void CFreqSetupDlg::OnFrequencyGraph(int graph) {
    CGraphCfg* working = m_pGraphCfg[size_t(graph - 1)];
    std::unique_ptr<CGraphCfg> copy(new (std::nothrow) CGraphCfg());
    if (!copy || !working) {
        ReportMessage1(kModuleStimulus, m_table.graphCodes[graph - 1], FALSE);
        ReportMessage(kMsgInsufficientMemory, TRUE);
        return;
    }
    *copy = *working;
    const std::string caption = "Frequency Domain Graph " + std::to_string(graph);
    CFreqGraphCfgDlg dlg(copy.get(), IDD_FREQ_GRAPH_CFG, caption.c_str(), nullptr);
    if (dlg.DoModal() == fw::IDOK && *copy != *working) *working = *copy;
}

// ---------------------------------------------------------------------------

namespace {
struct Graphs4 {
    CGraphCfg* g[4];
};
}  // namespace

CVoltageLoopSetupDlg::CVoltageLoopSetupDlg(CFreqDomainStimulusCfg* stimulus, CGraphCfg* g1, CGraphCfg* g2,
                                           CGraphCfg* g3, CGraphCfg* g4, UINT templateId, const char* caption,
                                           fw::Window* parent)
    : CFreqSetupDlg(kVoltageLoop, stimulus, Graphs4{{g1, g2, g3, g4}}.g, templateId, caption, parent) {}

CAvgCurrentLoopSetupDlg::CAvgCurrentLoopSetupDlg(CFreqDomainStimulusCfg* stimulus, CGraphCfg* g1, CGraphCfg* g2,
                                                 CGraphCfg* g3, CGraphCfg* g4, UINT templateId, const char* caption,
                                                 fw::Window* parent)
    : CFreqSetupDlg(kAvgCurrentLoop, stimulus, Graphs4{{g1, g2, g3, g4}}.g, templateId, caption, parent) {}

CPeakCurrentLoopSetupDlg::CPeakCurrentLoopSetupDlg(CFreqDomainStimulusCfg* stimulus, CGraphCfg* g1, CGraphCfg* g2,
                                                   UINT templateId, const char* caption, fw::Window* parent)
    : CFreqSetupDlg(kPeakCurrentLoop, stimulus, Graphs4{{g1, g2, nullptr, nullptr}}.g, templateId, caption, parent) {}

CInputToOutputSetupDlg::CInputToOutputSetupDlg(CFreqDomainStimulusCfg* stimulus, CGraphCfg* g1, CGraphCfg* g2,
                                               CGraphCfg* g3, CGraphCfg* g4, UINT templateId, const char* caption,
                                               fw::Window* parent)
    : CFreqSetupDlg(kInputToOutput, stimulus, Graphs4{{g1, g2, g3, g4}}.g, templateId, caption, parent) {}

CAmplifierSetupDlg::CAmplifierSetupDlg(CFreqDomainStimulusCfg* stimulus, CGraphCfg* g1, CGraphCfg* g2,
                                       UINT templateId, const char* caption, fw::Window* parent)
    : CFreqSetupDlg(kAmplifier, stimulus, Graphs4{{g1, g2, nullptr, nullptr}}.g, templateId, caption, parent) {}
