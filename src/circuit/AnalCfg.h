// What the user chooses in the Analysis dialog and the frequency-domain
// setup dialogs: the analysis kind, the run time, the steady-state
// initialisation, the four time-domain graph variables, the settings of
// every graph and the stimulus. The graph manager asks it graph by graph for
// colours, ranges, labels and titles and lets it number the graphs in use.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "circuit/EquObj.h"
#include "circuit/GraphCfg.h"
#include "circuit/Stimulus.h"
#include "platform/core/Archive.h"
#include "platform/core/Types.h"

constexpr UINT kModuleAnalCfg = 56003;
constexpr const char* kAnalysisConfigTag = "<ANALYSIS_CONFIG_DATA>";

class CAnalysisConfig : public fw::Object {
public:
    enum {
        KIND_TURN_ON = 0,
        KIND_STEADY_STATE = 1,
        KIND_VOLTAGE_LOOP = 2,
        KIND_CURRENT_LOOP = 3,
        KIND_INPUT_TO_OUTPUT = 4,
        KIND_AMPLIFIER = 5
    };
    enum { INIT_SLOW_PRECISE = 0, INIT_FAST = 1 };
    static constexpr int kVariables = 4;
    static constexpr int kGraphSettings = 24;
    // The control section's variant "Average Current Mode Control".
    static constexpr WORD kAverageCurrentModeTopology = 4;

    CAnalysisConfig();
    CAnalysisConfig(const CAnalysisConfig& other);
    static const char* StaticClassName() { return "CAnalysisConfig"; }
    const char* GetClassName() const override { return StaticClassName(); }

    void InitDefaults();
    // Sets the defaults flag and nothing else.
    virtual void SetDefaults();
    // The same: marks the configuration changed.
    void MarkChanged() { m_bDefaults = 1; }

    // Graph settings 4-7 are neither written nor read. A run time not above
    // zero or a kind or initialisation outside its choices, read from a file,
    // is damage (52080, code 219) and takes its default.
    void Serialize(fw::Archive& ar) override;
    CAnalysisConfig& operator=(const CAnalysisConfig& other);
    // Settings 4-7 never make two configurations differ.
    BOOL operator!=(const CAnalysisConfig& other) const;

    BOOL IsTimeDomain() const { return (m_nAnalysisKind == KIND_TURN_ON || m_nAnalysisKind == KIND_STEADY_STATE) ? TRUE : FALSE; }
    BOOL IsSteadyState() const { return m_nAnalysisKind == KIND_STEADY_STATE ? TRUE : FALSE; }
    BOOL IsFrequencyDomain() const {
        return (m_nAnalysisKind >= KIND_VOLTAGE_LOOP && m_nAnalysisKind <= KIND_AMPLIFIER) ? TRUE : FALSE;
    }
    // TRUE when the document's control section uses average current mode.
    BOOL IsAverageCurrentMode() const;

    // Graphs the current kind fills (0 outside a run and outside the
    // Analysis dialog; 0 with code 203 above four).
    int CountGraphsWithData() const;
    // Numbers the graphs in use 1, 2, ... (at most four) and tells the graph
    // manager.
    void AssignGraphNumbers() const;

    // Per-graph accessors, graph number 1 to 4.
    int GetTraceColor(int graph) const;
    int GetAxisColor(int graph) const;
    double GetXMin(int graph) const;
    double GetXMax(int graph) const;
    double GetYMin(int graph) const;
    double GetYMax(int graph) const;
    int GetXMinorTicks(int graph) const;
    int GetYMinorTicks(int graph) const;
    int GetGridType(int graph) const;
    int GetGridColor(int graph) const;
    const std::string* GetXAxisLabel(int graph) const;
    const std::string* GetYAxisLabel(int graph) const;
    const std::string* GetGraphTitle(int graph) const;
    const std::string* GetVariableText(int variable) const;

    int32_t GetAnalysisKind() const { return m_nAnalysisKind; }
    void SetAnalysisKind(int32_t kind) { m_nAnalysisKind = kind; }
    int32_t GetInitMode() const { return m_nInitMode; }
    double GetTime() const { return m_dTime; }
    // Variable equation 1 to 4, or nullptr.
    CEquation* GetEquation(int variable) const {
        return (variable >= 1 && variable <= kVariables) ? m_pEquations[size_t(variable - 1)].get() : nullptr;
    }
    // Graph setting 0 to 23, or nullptr.
    CGraphCfg* GetGraphCfg(int index) {
        return (index >= 0 && index < kGraphSettings) ? &m_GraphCfg[size_t(index)] : nullptr;
    }
    const CGraphCfg* GetGraphCfg(int index) const {
        return (index >= 0 && index < kGraphSettings) ? &m_GraphCfg[size_t(index)] : nullptr;
    }
    CFreqDomainStimulusCfg& GetStimulusCfg() { return m_Stimulus; }
    const CFreqDomainStimulusCfg& GetStimulusCfg() const { return m_Stimulus; }

    std::string m_strTag;
    BOOL m_bDefaults = 0;
    int32_t m_nAnalysisKind = KIND_STEADY_STATE;
    int32_t m_nInitMode = INIT_FAST;
    double m_dTime = 0.001;  // seconds
    std::array<std::unique_ptr<CEquation>, kVariables> m_pEquations;
    // 0-3 time graphs; 4-7 working copy of the frequency kind about to run;
    // 8-11, 12-15, 16-19, 20-23 graphs of kinds 2, 3, 4, 5.
    std::array<CGraphCfg, kGraphSettings> m_GraphCfg;
    CFreqDomainStimulusCfg m_Stimulus;

private:
    // The graph setting that graph n (1-4) of the current kind reads, or
    // nullptr for a graph number outside 1-4.
    const CGraphCfg* SettingOf(int graph) const;
    // Quantities of the current kind: count, first graph-choice word and
    // first title; FALSE for a kind that has none.
    BOOL QuantitiesOf(int& count, int& firstChoice, int& firstTitle, int& graphs) const;
    void EnsureEquations();
};
