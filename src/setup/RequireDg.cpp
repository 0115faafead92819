#include "setup/RequireDg.h"

#include "records/Utils.h"

namespace {

using fw::ControlKind;

constexpr unsigned kField = fw::kTabStop | fw::kBorder;
constexpr int kColumn = 46;  // dialog units between output columns

std::vector<fw::FormControl> RequirementsControls() {
    std::vector<fw::FormControl> c = {
        {fw::IDC_STATIC, ControlKind::Static, "Target Switching Frequency", 12, 12, 100, 8},
        {IDC_REQ_SWITCHING_FREQUENCY, ControlKind::Edit, "", 116, 10, 72, 12, kField | fw::kGroup},
        {fw::IDC_STATIC, ControlKind::Static, "hertz", 194, 12, 40, 8},
        {fw::IDC_STATIC, ControlKind::Static, "Operating Temperature", 12, 30, 100, 8},
        {IDC_REQ_OPERATING_TEMP, ControlKind::Edit, "", 116, 28, 72, 12, kField},
        {fw::IDC_STATIC, ControlKind::Static, "Celsius", 194, 30, 40, 8},
        {fw::IDC_STATIC, ControlKind::GroupBox, "OUTPUTS", 7, 48, 286, 66},
        {fw::IDC_STATIC, ControlKind::Static, "Enabled", 14, 78, 56, 8},
        {fw::IDC_STATIC, ControlKind::Static, "Target Voltage", 14, 95, 56, 8},
        {fw::IDC_STATIC, ControlKind::Static, "volts", 256, 95, 30, 8},
    };
    static const char* const kHeads[] = {"1", "2", "3", "4"};
    for (int k = 0; k < 4; ++k)
        c.push_back({fw::IDC_STATIC, ControlKind::Static, kHeads[k], 72 + k * kColumn, 62, 40, 8, fw::kCenter});
    for (int k = 0; k < 4; ++k)
        c.push_back({IDC_REQ_OUTPUT1_ENABLED + k, ControlKind::CheckBox, "", 88 + k * kColumn, 77, 10, 10, fw::kTabStop});
    for (int k = 0; k < 4; ++k)
        c.push_back({IDC_REQ_OUTPUT1_VOLTAGE + k, ControlKind::Edit, "", 72 + k * kColumn, 93, 40, 12, kField});
    c.push_back({fw::IDOK, ControlKind::DefPushButton, "OK", 92, 122, 50, 14, fw::kTabStop | fw::kGroup});
    c.push_back({fw::IDCANCEL, ControlKind::PushButton, "Cancel", 158, 122, 50, 14, fw::kTabStop});
    return c;
}

const fw::FormTable kRequirementsForm{IDD_REQUIREMENTS, "Requirements", 300, 144, fw::kFormCenter,
                                      RequirementsControls()};
fw::FormRegistrar g_requirementsForm(kRequirementsForm);

constexpr double kMinFrequency = 1.0;
constexpr double kMaxFrequency = 1000000000.0;
constexpr double kMinTemp = -273.0;
constexpr double kMaxTemp = 300.0;
constexpr double kVoltageLimit = 100000.0;

constexpr UINT kMsgOutputsNotConsecutive = 52043;

}  // namespace

CRequirementsDlg::CRequirementsDlg(CRequirements* requirements, UINT templateId, fw::Window* parent)
    : CComponentDlgBase(templateId, nullptr, parent), m_pRequirements(requirements) {
    for (int k = 0; k < CRequirements::kOutputs; ++k)
        OnClicked(IDC_REQ_OUTPUT1_ENABLED + k, [this] { OnOutputEnabledClicked(); });
}

void CRequirementsDlg::DoDataExchange(fw::DataExchange& dx) {
    CRequirements& r = *m_pRequirements;
    DDX_Exact(dx, IDC_REQ_SWITCHING_FREQUENCY, r.m_dSwitchingFrequency);
    fw::DDV_MinMaxDouble(dx, r.m_dSwitchingFrequency, kMinFrequency, kMaxFrequency);
    DDX_Exact(dx, IDC_REQ_OPERATING_TEMP, r.m_dOperatingTemp);
    fw::DDV_MinMaxDouble(dx, r.m_dOperatingTemp, kMinTemp, kMaxTemp);
    for (int k = 0; k < CRequirements::kOutputs; ++k)
        fw::DDX_Check(dx, IDC_REQ_OUTPUT1_ENABLED + k, r.m_Outputs[size_t(k)].m_bEnabled);
    // A disabled output's voltage is still exchanged and kept.
    for (int k = 0; k < CRequirements::kOutputs; ++k) {
        DDX_Exact(dx, IDC_REQ_OUTPUT1_VOLTAGE + k, r.m_Outputs[size_t(k)].m_dTargetVoltage);
        fw::DDV_MinMaxDouble(dx, r.m_Outputs[size_t(k)].m_dTargetVoltage, -kVoltageLimit, kVoltageLimit);
    }
    if (!dx.m_bSaveAndValidate) ApplyEnableRules();
}

void CRequirementsDlg::OnOutputEnabledClicked() {
    // A field that fails its check keeps the focus; the boxes still follow
    // the rules, so no box is left enabled after a disabled output.
    if (!UpdateData(TRUE)) {
        for (int k = 0; k < CRequirements::kOutputs; ++k)
            m_pRequirements->m_Outputs[size_t(k)].m_bEnabled =
                static_cast<BOOL>(IsDlgButtonChecked(IDC_REQ_OUTPUT1_ENABLED + k));
    }
    ApplyEnableRules();
}

void CRequirementsDlg::ApplyEnableRules() {
    auto& out = m_pRequirements->m_Outputs;
    auto enable = [this](int id, bool on) {
        if (fw::Control* c = GetDlgItem(id)) c->EnableWindow(on ? TRUE : FALSE);
    };
    auto clear = [this, &out](int k) {
        out[size_t(k)].m_bEnabled = 0;
        CheckDlgButton(IDC_REQ_OUTPUT1_ENABLED + k, fw::BST_UNCHECKED);
    };
    if (!out[0].m_bEnabled) {
        out[0].m_bEnabled = 1;
        CheckDlgButton(IDC_REQ_OUTPUT1_ENABLED, fw::BST_CHECKED);
    }
    if (!out[1].m_bEnabled) clear(2);
    if (!out[2].m_bEnabled) clear(3);
    enable(IDC_REQ_OUTPUT1_VOLTAGE, true);
    enable(IDC_REQ_OUTPUT1_ENABLED + 1, true);
    if (!out[1].m_bEnabled) {
        for (int id : {IDC_REQ_OUTPUT1_VOLTAGE + 1, IDC_REQ_OUTPUT1_ENABLED + 2, IDC_REQ_OUTPUT1_VOLTAGE + 2,
                       IDC_REQ_OUTPUT1_ENABLED + 3, IDC_REQ_OUTPUT1_VOLTAGE + 3})
            enable(id, false);
    } else {
        enable(IDC_REQ_OUTPUT1_VOLTAGE + 1, true);
        enable(IDC_REQ_OUTPUT1_ENABLED + 2, true);
    }
    if (!out[2].m_bEnabled) {
        for (int id : {IDC_REQ_OUTPUT1_VOLTAGE + 2, IDC_REQ_OUTPUT1_ENABLED + 3, IDC_REQ_OUTPUT1_VOLTAGE + 3})
            enable(id, false);
    } else {
        enable(IDC_REQ_OUTPUT1_VOLTAGE + 2, true);
        enable(IDC_REQ_OUTPUT1_ENABLED + 3, true);
    }
    enable(IDC_REQ_OUTPUT1_VOLTAGE + 3, out[3].m_bEnabled != 0);
}

BOOL CRequirementsDlg::CanCloseWithOK() {
    const auto& out = m_pRequirements->m_Outputs;
    bool ok = out[0].m_bEnabled != 0;
    bool gap = false;
    for (const COutput& o : out) {
        if (!o.m_bEnabled) gap = true;
        else if (gap) ok = false;
    }
    if (ok) return TRUE;
    ReportMessage(kMsgOutputsNotConsecutive, TRUE);
    return FALSE;
}
