#include "setup/GraphCfgDlg.h"

#include "records/Utils.h"

namespace {

using fw::ControlKind;
using fw::FormControl;
using fw::FormTable;

constexpr unsigned kField = fw::kTabStop | fw::kBorder;
constexpr unsigned kFirstRadio = fw::kGroup | fw::kTabStop;

const char* const kColors[] = {"Blue", "Green", "Cyan", "Red", "Magenta"};

void AddRadioColumn(std::vector<FormControl>& c, int firstId, const char* const* captions, int count, int x, int y) {
    for (int i = 0; i < count; ++i)
        c.push_back({firstId + i, ControlKind::RadioButton, captions[i], x, y + 12 * i, 96, 10, i == 0 ? kFirstRadio : 0u});
}

// One axis group: its label field (time graphs), range and minor ticks.
void AddAxisGroup(std::vector<FormControl>& c, const char* title, int labelId, int firstValueId, int x, int top,
                  bool withLabel) {
    const int rows = withLabel ? 4 : 3;
    c.push_back({fw::IDC_STATIC, ControlKind::GroupBox, title, x, top, 120, 16 + 16 * rows});
    const char* const names[] = {"Minimum", "Maximum", "Minor Ticks"};
    int row = 0;
    auto field = [&](const char* name, int id, unsigned extra) {
        const int y = top + 12 + 16 * row++;
        c.push_back({fw::IDC_STATIC, ControlKind::Static, name, x + 8, y + 2, 50, 8});
        c.push_back({id, ControlKind::Edit, "", x + 60, y, 54, 12, kField | extra});
    };
    if (withLabel) field("Label", labelId, fw::kGroup);
    for (int i = 0; i < 3; ++i) field(names[i], firstValueId + i, !withLabel && i == 0 ? fw::kGroup : 0u);
}

FormTable GraphForm(UINT id, const char* title, bool withLabels) {
    std::vector<FormControl> c;
    int top = 7;
    if (withLabels) {
        c.push_back({fw::IDC_STATIC, ControlKind::Static, "Title", 7, 9, 30, 8});
        c.push_back({IDC_GRAPH_TITLE, ControlKind::Edit, "", 40, 7, 215, 12, kField | fw::kGroup});
        top = 25;
    }
    c.push_back({fw::IDC_STATIC, ControlKind::GroupBox, "Trace Color (Light)", 7, top, 120, 74});
    AddRadioColumn(c, IDC_GRAPH_TRACE_BLUE, kColors, 5, 17, top + 12);
    c.push_back({fw::IDC_STATIC, ControlKind::GroupBox, "Axis Color (Dark)", 135, top, 120, 74});
    AddRadioColumn(c, IDC_GRAPH_AXIS_BLUE, kColors, 5, 145, top + 12);

    const int axisTop = top + 80;
    AddAxisGroup(c, "X Axis", IDC_GRAPH_X_LABEL, IDC_GRAPH_X_MIN, 7, axisTop, withLabels);
    AddAxisGroup(c, "Y Axis", IDC_GRAPH_Y_LABEL, IDC_GRAPH_Y_MIN, 135, axisTop, withLabels);

    const int gridTop = axisTop + 16 + 16 * (withLabels ? 4 : 3) + 6;
    c.push_back({fw::IDC_STATIC, ControlKind::GroupBox, "Grid", 7, gridTop, 120, 40});
    c.push_back({IDC_GRAPH_GRID_NONE, ControlKind::RadioButton, "None", 17, gridTop + 12, 46, 10, kFirstRadio});
    c.push_back({IDC_GRAPH_GRID_NONE + 1, ControlKind::RadioButton, "Major", 67, gridTop + 12, 46, 10});
    c.push_back({IDC_GRAPH_GRID_NONE + 2, ControlKind::RadioButton, "Minor", 17, gridTop + 26, 46, 10});
    c.push_back({IDC_GRAPH_GRID_NONE + 3, ControlKind::RadioButton, "Both", 67, gridTop + 26, 46, 10});
    c.push_back({fw::IDC_STATIC, ControlKind::GroupBox, "Grid Color", 135, gridTop, 120, 50});
    const char* const gridColors[] = {"Off White", "Light Gray", "Medium Gray"};
    AddRadioColumn(c, IDC_GRAPH_GRID_OFF_WHITE, gridColors, 3, 145, gridTop + 12);

    const int buttons = gridTop + 56;
    c.push_back({fw::IDOK, ControlKind::DefPushButton, "OK", 76, buttons, 50, 14, fw::kTabStop | fw::kGroup});
    c.push_back({fw::IDCANCEL, ControlKind::PushButton, "Cancel", 136, buttons, 50, 14, fw::kTabStop});
    return {id, title, 262, buttons + 20, fw::kFormCenter, std::move(c)};
}

const FormTable kTimeGraphForm = GraphForm(IDD_TIME_GRAPH_CFG, "Time Graph", true);
const FormTable kFreqGraphForm = GraphForm(IDD_FREQ_GRAPH_CFG, "Frequency Domain Graph", false);
fw::FormRegistrar g_timeGraphForm(kTimeGraphForm);
fw::FormRegistrar g_freqGraphForm(kFreqGraphForm);

}  // namespace

void CGraphCfgDlgBase::ExchangeSettings(fw::DataExchange& dx, bool withLabels) {
    CGraphCfg& g = *m_pGraphCfg;
    if (withLabels) fw::DDX_Text(dx, IDC_GRAPH_TITLE, g.m_strTitle);
    DDX_RadioKeep(dx, IDC_GRAPH_TRACE_BLUE, g.m_nTraceColor);
    DDX_RadioKeep(dx, IDC_GRAPH_AXIS_BLUE, g.m_nAxisColor);
    if (withLabels) fw::DDX_Text(dx, IDC_GRAPH_X_LABEL, g.m_strXAxisLabel);
    DDX_Exact(dx, IDC_GRAPH_X_MIN, g.m_dXMin);
    DDX_Exact(dx, IDC_GRAPH_X_MAX, g.m_dXMax);
    fw::DDX_Text(dx, IDC_GRAPH_X_TICKS, g.m_nXMinorTicks);
    fw::DDV_MinMaxInt(dx, g.m_nXMinorTicks, 0, CGraphCfg::kMaxMinorTicks);
    if (withLabels) fw::DDX_Text(dx, IDC_GRAPH_Y_LABEL, g.m_strYAxisLabel);
    DDX_Exact(dx, IDC_GRAPH_Y_MIN, g.m_dYMin);
    DDX_Exact(dx, IDC_GRAPH_Y_MAX, g.m_dYMax);
    fw::DDX_Text(dx, IDC_GRAPH_Y_TICKS, g.m_nYMinorTicks);
    fw::DDV_MinMaxInt(dx, g.m_nYMinorTicks, 0, CGraphCfg::kMaxMinorTicks);
    DDX_RadioKeep(dx, IDC_GRAPH_GRID_NONE, g.m_nGridType);
    DDX_RadioKeep(dx, IDC_GRAPH_GRID_OFF_WHITE, g.m_nGridColor);
}

BOOL CGraphCfgDlgBase::CanCloseWithOK() {
    const CGraphCfg& g = *m_pGraphCfg;
    if (!(g.m_dXMin < g.m_dXMax) || !(g.m_dYMax > g.m_dYMin)) {
        ReportMessage(52021, TRUE);
        return FALSE;
    }
    return TRUE;
}
