// The setup dialogs of the four frequency-domain analyses: the swept sine
// stimulus, which measured gain or phase goes to which graph (one graph
// holds at most one quantity of a dialog), the range of every phase axis,
// the graph settings, and for two of them the output looked at. One class
// driven by a table per analysis; the five named classes only choose their
// table. They edit the caller's working copies while they run; the caller
// keeps the copies only on IDOK.
#pragma once

#include <array>

#include "circuit/GraphCfg.h"
#include "circuit/Stimulus.h"
#include "setup/BaseDlg.h"

constexpr UINT IDD_AMPLIFIER_SETUP = 224;
constexpr UINT IDD_AVG_CURRENT_LOOP_SETUP = 225;
constexpr UINT IDD_PEAK_CURRENT_LOOP_SETUP = 226;
constexpr UINT IDD_INPUT_TO_OUTPUT_SETUP = 227;
constexpr UINT IDD_VOLTAGE_LOOP_SETUP = 228;

constexpr int IDC_FREQ_START = 1493;
constexpr int IDC_FREQ_STOP = 1494;
constexpr int IDC_FREQ_POINTS = 1495;
constexpr int IDC_FREQ_AMPLITUDE = 1496;
// Row r's "Disabled " button; graph k of the row is this plus k.
constexpr int IdcFreqRow(int row) { return 1520 + 5 * (row - 1); }
constexpr int IDC_FREQ_OUTPUT1 = 1290;  // 1290-1293: outputs 1-4
constexpr int IDC_FREQ_GRAPH1 = 1235;   // 1235-1238: graphs 1-4

// What distinguishes the five dialogs.
struct FreqSetupTable {
    UINT templateId;
    const char* title;
    int graphs;     // 4 or 2
    int rows;       // 6 or 2
    const char* rowLabels[6];
    int firstChoice;  // graph-choice word of row 1
    int firstPhase;   // maximum-phase index of the first phase row
    int firstPhaseId; // maximum-phase edit of the first phase row; its minimum follows
    int outputChoice; // output-choice word, or -1 without an output group
    // Internal codes (module Stimulus) for a control the handlers cannot find.
    int conflictCodes[2];   // the other rows' buttons; two-row dialogs: graph, disabled
    int rowCodes[6][6];     // per row, in the order each handler looks its buttons up; 0: none
    int graphCodes[4];      // the graph-settings copy of graph button k
};

class CFreqSetupDlg : public CComponentDlgBase {
public:
    // graphs: the working graph settings 1..N of the table (N = table.graphs).
    CFreqSetupDlg(const FreqSetupTable& table, CFreqDomainStimulusCfg* stimulus, CGraphCfg* const* graphs,
                  UINT templateId, const char* caption, fw::Window* parent);

    BOOL OnInitDialog() override;
    void DoDataExchange(fw::DataExchange& dx) override;
    // Exchange, the OK button's focus, then start not above stop (52136).
    // The right-click menu's "OK" closes after the exchange alone.
    void OnOK() override;

    void OnPlotVariableRow(int row);
    void OnMaxPhaseKillFocus();
    void OnFrequencyGraph(int graph);
    // Moves a stored output that the requirements do not enable to the
    // first enabled one.
    void SelectFirstEnabledOutput();

    double GetTargetSwitchingFrequency() const { return m_dTargetFrequency; }

private:
    fw::Control* Find(int id, int code);
    void ResolveConflicts(int row, int graph);

    const FreqSetupTable& m_table;
    CFreqDomainStimulusCfg* m_pStimulus;  // not owned
    double m_dTargetFrequency;            // hertz, as the requirements held it at construction
    std::array<CGraphCfg*, 4> m_pGraphCfg{};  // not owned
    std::array<bool, 4> m_outputEnabled{};
};

class CVoltageLoopSetupDlg : public CFreqSetupDlg {
public:
    CVoltageLoopSetupDlg(CFreqDomainStimulusCfg* stimulus, CGraphCfg* g1, CGraphCfg* g2, CGraphCfg* g3, CGraphCfg* g4,
                         UINT templateId = IDD_VOLTAGE_LOOP_SETUP, const char* caption = nullptr,
                         fw::Window* parent = nullptr);
};

class CAvgCurrentLoopSetupDlg : public CFreqSetupDlg {
public:
    CAvgCurrentLoopSetupDlg(CFreqDomainStimulusCfg* stimulus, CGraphCfg* g1, CGraphCfg* g2, CGraphCfg* g3,
                            CGraphCfg* g4, UINT templateId = IDD_AVG_CURRENT_LOOP_SETUP, const char* caption = nullptr,
                            fw::Window* parent = nullptr);
};

class CPeakCurrentLoopSetupDlg : public CFreqSetupDlg {
public:
    CPeakCurrentLoopSetupDlg(CFreqDomainStimulusCfg* stimulus, CGraphCfg* g1, CGraphCfg* g2,
                             UINT templateId = IDD_PEAK_CURRENT_LOOP_SETUP, const char* caption = nullptr,
                             fw::Window* parent = nullptr);
};

class CInputToOutputSetupDlg : public CFreqSetupDlg {
public:
    CInputToOutputSetupDlg(CFreqDomainStimulusCfg* stimulus, CGraphCfg* g1, CGraphCfg* g2, CGraphCfg* g3,
                           CGraphCfg* g4, UINT templateId = IDD_INPUT_TO_OUTPUT_SETUP, const char* caption = nullptr,
                           fw::Window* parent = nullptr);
};

class CAmplifierSetupDlg : public CFreqSetupDlg {
public:
    CAmplifierSetupDlg(CFreqDomainStimulusCfg* stimulus, CGraphCfg* g1, CGraphCfg* g2,
                       UINT templateId = IDD_AMPLIFIER_SETUP, const char* caption = nullptr,
                       fw::Window* parent = nullptr);
};
