#include "circuit/AnalCfg.h"

#include <new>

#include "circuit/DocServices.h"
#include "circuit/GraphServices.h"
#include "circuit/LoadCheck.h"
#include "circuit/Section.h"
#include "platform/core/Fields.h"
#include "records/Record.h"
#include "records/Utils.h"

namespace {
fw::RegisterClass<CAnalysisConfig> g_register("CAnalysisConfig");

constexpr int kMaxGraphs = 4;
// Graph settings 4-7 are a working copy: neither archived nor compared.
constexpr int kFirstWorkingSetting = 4;
constexpr int kFirstKindSetting = 8;

void Code(int code) { ReportMessage1(kModuleAnalCfg, code, FALSE); }
}  // namespace

CAnalysisConfig::CAnalysisConfig() { InitDefaults(); }

CAnalysisConfig::CAnalysisConfig(const CAnalysisConfig& other) : CAnalysisConfig() { *this = other; }

void CAnalysisConfig::InitDefaults() {
    m_strTag = kAnalysisConfigTag;
    m_bDefaults = 0;
    m_dTime = 0.001;
    m_nAnalysisKind = KIND_STEADY_STATE;
    m_nInitMode = INIT_FAST;
    for (auto& eq : m_pEquations) {
        if (eq) {
            eq->GetTokens().DeleteAll();
            continue;
        }
        eq.reset(new (std::nothrow) CEquation());
        if (!eq) {
            ReportMessage(52094, TRUE);
            return;
        }
    }
    for (CGraphCfg& cfg : m_GraphCfg) cfg.InitDefaults();
    m_Stimulus.SetDefaults();
}

void CAnalysisConfig::SetDefaults() { m_bDefaults = 1; }

void CAnalysisConfig::EnsureEquations() {
    for (auto& eq : m_pEquations)
        if (!eq) eq = std::make_unique<CEquation>();
}

void CAnalysisConfig::Serialize(fw::Archive& ar) {
    EnsureEquations();
    if (ar.IsStoring()) {
        WriteRecordHeader(ar, m_strTag, 0);
        ar.WriteI32(m_bDefaults);
        ar.WriteF64(m_dTime);
        ar.WriteI32(m_nAnalysisKind);
        ar.WriteI32(m_nInitMode);
    } else {
        if (ReadRecordHeader(ar, m_strTag, kAnalysisConfigTag, kModuleAnalCfg, 200, [this] { InitDefaults(); }) < 0)
            return;
        m_bDefaults = ar.ReadI32();
        m_dTime = ar.ReadFiniteF64(m_dTime);
        m_nAnalysisKind = ar.ReadI32();
        m_nInitMode = ar.ReadI32();
        bool damaged = false;
        if (!IsFinitePositive(m_dTime)) {
            m_dTime = 0.001;
            damaged = true;
        }
        if (!InRange(m_nAnalysisKind, KIND_TURN_ON, KIND_AMPLIFIER)) {
            m_nAnalysisKind = KIND_STEADY_STATE;
            damaged = true;
        }
        if (!InRange(m_nInitMode, INIT_SLOW_PRECISE, INIT_FAST)) {
            m_nInitMode = INIT_FAST;
            damaged = true;
        }
        if (damaged) ReportDamagedValue(kModuleAnalCfg, 219);
    }
    for (auto& eq : m_pEquations) eq->Serialize(ar);
    for (int i = 0; i < kGraphSettings; ++i)
        if (i < kFirstWorkingSetting || i >= kFirstKindSetting) m_GraphCfg[size_t(i)].Serialize(ar);
    m_Stimulus.Serialize(ar);
}

CAnalysisConfig& CAnalysisConfig::operator=(const CAnalysisConfig& other) {
    if (this == &other) return *this;
    m_strTag = other.m_strTag;
    m_bDefaults = other.m_bDefaults;
    m_dTime = other.m_dTime;
    m_nAnalysisKind = other.m_nAnalysisKind;
    m_nInitMode = other.m_nInitMode;
    for (size_t k = 0; k < m_pEquations.size(); ++k) {
        const auto& src = other.m_pEquations[k];
        if (!src) continue;
        if (m_pEquations[k])
            *m_pEquations[k] = *src;
        else
            m_pEquations[k] = std::make_unique<CEquation>(*src);
    }
    m_GraphCfg = other.m_GraphCfg;
    m_Stimulus = other.m_Stimulus;
    return *this;
}

BOOL CAnalysisConfig::operator!=(const CAnalysisConfig& other) const {
    if (m_strTag != other.m_strTag || m_bDefaults != other.m_bDefaults || fw::DoublesDiffer(m_dTime, other.m_dTime) ||
        m_nAnalysisKind != other.m_nAnalysisKind || m_nInitMode != other.m_nInitMode)
        return TRUE;
    for (size_t k = 0; k < m_pEquations.size(); ++k) {
        const CEquation* a = m_pEquations[k].get();
        const CEquation* b = other.m_pEquations[k].get();
        if (a && b) {
            if (*a != *b) return TRUE;
        } else if (a != b) {
            return TRUE;
        }
    }
    for (int i = 0; i < kGraphSettings; ++i) {
        if (i >= kFirstWorkingSetting && i < kFirstKindSetting) continue;
        if (m_GraphCfg[size_t(i)] != other.m_GraphCfg[size_t(i)]) return TRUE;
    }
    return m_Stimulus != other.m_Stimulus;
}

BOOL CAnalysisConfig::IsAverageCurrentMode() const {
    CDocServices* doc = GetCurrentDoc();
    const CSection* control = doc ? doc->GetControlSection() : nullptr;
    return (control && control->GetTopology() == kAverageCurrentModeTopology) ? TRUE : FALSE;
}

BOOL CAnalysisConfig::QuantitiesOf(int& count, int& firstChoice, int& firstTitle, int& graphs) const {
    using S = CFreqDomainStimulusCfg;
    switch (m_nAnalysisKind) {
        case KIND_VOLTAGE_LOOP:
            count = 6, firstChoice = S::CHOICE_VOLTAGE_LOOP, firstTitle = S::TITLE_VOLTAGE_LOOP, graphs = 4;
            return TRUE;
        case KIND_CURRENT_LOOP:
            if (IsAverageCurrentMode())
                count = 6, firstChoice = S::CHOICE_AVG_CURRENT, firstTitle = S::TITLE_AVG_CURRENT, graphs = 4;
            else
                count = 2, firstChoice = S::CHOICE_PEAK_CURRENT, firstTitle = S::TITLE_PEAK_CURRENT, graphs = 2;
            return TRUE;
        case KIND_INPUT_TO_OUTPUT:
            count = 6, firstChoice = S::CHOICE_INPUT_TO_OUTPUT, firstTitle = S::TITLE_INPUT_TO_OUTPUT, graphs = 4;
            return TRUE;
        case KIND_AMPLIFIER:
            count = 2, firstChoice = S::CHOICE_AMPLIFIER, firstTitle = S::TITLE_AMPLIFIER, graphs = 2;
            return TRUE;
        default:
            return FALSE;
    }
}

int CAnalysisConfig::CountGraphsWithData() const {
    CDocServices* doc = GetCurrentDoc();
    if (!doc || (!doc->IsAnalysisRunning() && !doc->IsAnalysisSetupOpen())) return 0;
    int count = 0;
    if (IsTimeDomain()) {
        for (const auto& eq : m_pEquations)
            if (eq && eq->IsInUse()) ++count;
    } else {
        int quantities = 0, firstChoice = 0, firstTitle = 0, graphs = 0;
        if (!QuantitiesOf(quantities, firstChoice, firstTitle, graphs)) {
            Code(202);
            return 0;
        }
        for (int q = 0; q < quantities; ++q)
            if (m_Stimulus.GetChoice(firstChoice + q) > 0) ++count;
    }
    if (count > kMaxGraphs) {
        Code(203);
        return 0;
    }
    return count;
}

void CAnalysisConfig::AssignGraphNumbers() const {
    CGraphMgrServices* mgr = GetCurrentGraphMgr();
    int32_t n = 0;
    if (IsTimeDomain()) {
        for (int32_t k = 1; k <= kVariables && n < kMaxGraphs; ++k) {
            const CEquation* eq = m_pEquations[size_t(k - 1)].get();
            if (!eq || !eq->IsInUse()) continue;
            ++n;
            if (mgr) {
                mgr->SetQuantityGraph(k, n);
                mgr->SetGraphSource(k, n);
            }
        }
        return;
    }
    int quantities = 0, firstChoice = 0, firstTitle = 0, graphs = 0;
    if (!QuantitiesOf(quantities, firstChoice, firstTitle, graphs)) {
        Code(204);
        return;
    }
    // The page has four graph slots: a fifth quantity would run past them.
    for (int32_t g = 1; g <= graphs; ++g) {
        for (int32_t q = 1; q <= quantities; ++q) {
            if (m_Stimulus.GetChoice(firstChoice + q - 1) != g) continue;
            if (n >= kMaxGraphs) return;
            ++n;
            if (mgr) {
                mgr->SetQuantityGraph(q, n);
                mgr->SetGraphSource(g, n);
                mgr->SetGraphQuantity(q, n);
                mgr->SetChoiceQuantity(q, g);
            }
        }
    }
}

const CGraphCfg* CAnalysisConfig::SettingOf(int graph) const {
    if (graph < 1 || graph > kMaxGraphs) return nullptr;
    return &m_GraphCfg[size_t(IsTimeDomain() ? graph - 1 : graph + 3)];
}

int CAnalysisConfig::GetTraceColor(int graph) const {
    const CGraphCfg* s = SettingOf(graph);
    if (!s) {
        Code(205);
        return 11;
    }
    switch (s->m_nTraceColor) {
        case CGraphCfg::COLOR_BLUE: return 9;
        case CGraphCfg::COLOR_GREEN: return 10;
        case CGraphCfg::COLOR_CYAN: return 11;
        case CGraphCfg::COLOR_RED: return 12;
        case CGraphCfg::COLOR_MAGENTA: return 13;
        default: return 11;
    }
}

int CAnalysisConfig::GetAxisColor(int graph) const {
    const CGraphCfg* s = SettingOf(graph);
    if (!s) {
        Code(206);
        return 4;
    }
    int c = s->m_nAxisColor;
    return (c >= CGraphCfg::COLOR_BLUE && c <= CGraphCfg::COLOR_MAGENTA) ? c + 1 : 4;
}

double CAnalysisConfig::GetXMin(int graph) const {
    const CGraphCfg* s = SettingOf(graph);
    if (!s) Code(207);
    return s ? s->m_dXMin : 0.0;
}

double CAnalysisConfig::GetXMax(int graph) const {
    const CGraphCfg* s = SettingOf(graph);
    if (!s) Code(208);
    return s ? s->m_dXMax : 0.0;
}

double CAnalysisConfig::GetYMin(int graph) const {
    const CGraphCfg* s = SettingOf(graph);
    if (!s) Code(209);
    return s ? s->m_dYMin : 0.0;
}

double CAnalysisConfig::GetYMax(int graph) const {
    const CGraphCfg* s = SettingOf(graph);
    if (!s) Code(210);
    return s ? s->m_dYMax : 0.0;
}

int CAnalysisConfig::GetXMinorTicks(int graph) const {
    const CGraphCfg* s = SettingOf(graph);
    if (!s) Code(211);
    return s ? s->m_nXMinorTicks : 0;
}

int CAnalysisConfig::GetYMinorTicks(int graph) const {
    const CGraphCfg* s = SettingOf(graph);
    if (!s) Code(212);
    return s ? s->m_nYMinorTicks : 0;
}

int CAnalysisConfig::GetGridType(int graph) const {
    const CGraphCfg* s = SettingOf(graph);
    if (!s) {
        Code(213);
        return -1;
    }
    switch (s->m_nGridType) {
        case CGraphCfg::GRID_MAJOR: return 0;
        case CGraphCfg::GRID_MINOR: return 1;
        case CGraphCfg::GRID_BOTH: return 2;
        default: return -1;
    }
}

int CAnalysisConfig::GetGridColor(int graph) const {
    const CGraphCfg* s = SettingOf(graph);
    if (!s) {
        Code(214);
        return -1;
    }
    switch (s->m_nGridColor) {
        case CGraphCfg::GRID_OFF_WHITE: return 19;
        case CGraphCfg::GRID_LIGHT_GRAY: return 7;
        case CGraphCfg::GRID_MEDIUM_GRAY: return 18;
        default: return -1;
    }
}

const std::string* CAnalysisConfig::GetXAxisLabel(int graph) const {
    if (IsTimeDomain()) {
        const CGraphCfg* s = SettingOf(graph);
        return s ? &s->m_strXAxisLabel : nullptr;
    }
    if (IsFrequencyDomain()) return &m_Stimulus.GetFrequencyLabel();
    Code(215);
    return nullptr;
}

namespace {
// The quantity that user graph g shows, as the graph manager recorded it.
int32_t ChoiceQuantity(int graph) {
    if (graph < 1 || graph > kMaxGraphs) return 0;
    CGraphMgrServices* mgr = GetCurrentGraphMgr();
    return mgr ? mgr->GetChoiceQuantity(graph) : 0;
}
}  // namespace

const std::string* CAnalysisConfig::GetYAxisLabel(int graph) const {
    if (IsTimeDomain()) {
        const CGraphCfg* s = SettingOf(graph);
        return s ? &s->m_strYAxisLabel : nullptr;
    }
    if (!IsFrequencyDomain()) {
        Code(216);
        return nullptr;
    }
    int32_t q = ChoiceQuantity(graph);
    int32_t highest = m_nAnalysisKind == KIND_AMPLIFIER ? 2 : 6;
    if (q < 1 || q > highest) return nullptr;
    return (q % 2 == 1) ? &m_Stimulus.GetGainLabel() : &m_Stimulus.GetPhaseLabel();
}

const std::string* CAnalysisConfig::GetGraphTitle(int graph) const {
    if (IsTimeDomain()) {
        const CGraphCfg* s = SettingOf(graph);
        return s ? &s->m_strTitle : nullptr;
    }
    int quantities = 0, firstChoice = 0, firstTitle = 0, graphs = 0;
    if (!QuantitiesOf(quantities, firstChoice, firstTitle, graphs)) {
        Code(217);
        return nullptr;
    }
    int32_t q = ChoiceQuantity(graph);
    if (q < 1 || q > quantities) return nullptr;
    return m_Stimulus.GetTitle(firstTitle + q - 1);
}

const std::string* CAnalysisConfig::GetVariableText(int variable) const {
    const CEquation* eq = GetEquation(variable);
    if (!eq) {
        Code(218);
        return nullptr;
    }
    return &eq->GetText();
}
