#include "setup/WeightDg.h"

#include "circuit/DocServices.h"
#include "circuit/Require.h"
#include "circuit/Section.h"
#include "records/Utils.h"

namespace {

using fw::ControlKind;

constexpr unsigned kField = fw::kTabStop | fw::kBorder;
constexpr int kRowTop = 30;
constexpr int kRowStep = 17;

std::vector<fw::FormControl> WeightingControls(bool modulators) {
    static const char* const kOutputs[] = {"Output 1", "Output 2", "Output 3", "Output 4"};
    static const char* const kModulators[] = {"Modulator 1", "Modulator 2", "Modulator 3", "Modulator 4"};
    std::vector<fw::FormControl> c = {
        {fw::IDC_STATIC, ControlKind::Static, "Enable", 66, 18, 30, 8, fw::kCenter},
        {fw::IDC_STATIC, ControlKind::Static, "Weight", 100, 10, 56, 8, fw::kCenter},
        {fw::IDC_STATIC, ControlKind::Static, "(per cent)", 100, 18, 56, 8, fw::kCenter},
    };
    if (modulators) {
        c.push_back({fw::IDC_STATIC, ControlKind::Static, "RC Time Constant", 164, 10, 70, 8, fw::kCenter});
        c.push_back({fw::IDC_STATIC, ControlKind::Static, "(seconds)", 164, 18, 70, 8, fw::kCenter});
    }
    const int rows = modulators ? 8 : 4;
    // Tab order runs along each row.
    for (int r = 0; r < rows; ++r) {
        const int y = kRowTop + r * kRowStep;
        const bool mod = r >= 4;
        const int k = r % 4;
        c.push_back({fw::IDC_STATIC, ControlKind::Static, mod ? kModulators[k] : kOutputs[k], 12, y + 2, 50, 8});
        c.push_back({(mod ? IDC_WEIGHT_MODULATOR1_ENABLE : IDC_WEIGHT_OUTPUT1_ENABLE) + k, ControlKind::CheckBox, "",
                     77, y + 1, 10, 10, fw::kTabStop | (r == 0 ? fw::kGroup : 0u)});
        c.push_back({(mod ? IDC_WEIGHT_MODULATOR1 : IDC_WEIGHT_OUTPUT1) + k, ControlKind::Edit, "", 102, y, 52, 12,
                     kField});
        if (mod)
            c.push_back({IDC_WEIGHT_MODULATOR1_RC + k, ControlKind::Edit, "", 168, y, 62, 12, kField});
    }
    const int width = modulators ? 242 : 168;
    const int buttons = kRowTop + rows * kRowStep + 6;
    c.push_back({fw::IDOK, ControlKind::DefPushButton, "OK", width / 2 - 58, buttons, 50, 14, fw::kTabStop | fw::kGroup});
    c.push_back({fw::IDCANCEL, ControlKind::PushButton, "Cancel", width / 2 + 8, buttons, 50, 14, fw::kTabStop});
    return c;
}

fw::FormTable WeightingForm(UINT id, const char* title, bool modulators) {
    const int rows = modulators ? 8 : 4;
    return {id, title, modulators ? 242 : 168, kRowTop + rows * kRowStep + 28, fw::kFormCenter,
            WeightingControls(modulators)};
}

const fw::FormTable kVoltageFeedbackForm =
    WeightingForm(IDD_VOLTAGE_FEEDBACK_WEIGHTING, "Voltage Feedback Weighting", true);
const fw::FormTable kCurrentFeedbackForm =
    WeightingForm(IDD_CURRENT_FEEDBACK_WEIGHTING, "Current Feedback Weighting", false);
const fw::FormTable kCurrentLimitForm = WeightingForm(IDD_CURRENT_LIMIT_WEIGHTING, "Current Limit Weighting", false);
fw::FormRegistrar g_voltageFeedbackForm(kVoltageFeedbackForm);
fw::FormRegistrar g_currentFeedbackForm(kCurrentFeedbackForm);
fw::FormRegistrar g_currentLimitForm(kCurrentLimitForm);

constexpr double kMaxWeight = 100.0;
constexpr double kMaxRC = 10.0;
constexpr UINT kMsgWeightSum = 53029;

}  // namespace

CWeightingDlgBase::CWeightingDlgBase(const Fields& fields, UINT templateId, fw::Window* parent)
    : CComponentDlgBase(templateId, nullptr, parent), m_fields(fields) {}

BOOL CWeightingDlgBase::OnInitDialog() {
    CComponentDlgBase::OnInitDialog();
    const CRequirements& req = COutputSection::CurrentRequirements();
    for (int k = 0; k < 4; ++k) {
        if (req.IsOutputEnabled(k)) continue;
        std::vector<int> row = {IDC_WEIGHT_OUTPUT1_ENABLE + k, IDC_WEIGHT_OUTPUT1 + k};
        if (m_fields.modulatorEnable)
            row.insert(row.end(), {IDC_WEIGHT_MODULATOR1_ENABLE + k, IDC_WEIGHT_MODULATOR1 + k,
                                   IDC_WEIGHT_MODULATOR1_RC + k});
        for (int id : row)
            if (fw::Control* c = GetDlgItem(id)) c->EnableWindow(FALSE);
    }
    // The first control that can still take the focus: the base chose one
    // before the rows were disabled.
    if (fw::Control* focus = GetFocus(); focus && !focus->CanTakeFocus()) {
        for (const auto& c : Controls()) {
            if (c->CanTakeFocus()) {
                GotoDlgCtrl(c.get());
                break;
            }
        }
    }
    return FALSE;
}

void CWeightingDlgBase::DoDataExchange(fw::DataExchange& dx) {
    const Fields& f = m_fields;
    for (int k = 0; k < 4; ++k) fw::DDX_Check(dx, IDC_WEIGHT_OUTPUT1_ENABLE + k, (*f.outputEnable)[size_t(k)]);
    if (f.modulatorEnable)
        for (int k = 0; k < 4; ++k)
            fw::DDX_Check(dx, IDC_WEIGHT_MODULATOR1_ENABLE + k, (*f.modulatorEnable)[size_t(k)]);
    for (int k = 0; k < 4; ++k) {
        DDX_Exact(dx, IDC_WEIGHT_OUTPUT1 + k, (*f.outputWeight)[size_t(k)]);
        fw::DDV_MinMaxDouble(dx, (*f.outputWeight)[size_t(k)], 0.0, kMaxWeight);
    }
    if (!f.modulatorEnable) return;
    for (int k = 0; k < 4; ++k) {
        DDX_Exact(dx, IDC_WEIGHT_MODULATOR1 + k, (*f.modulatorWeight)[size_t(k)]);
        fw::DDV_MinMaxDouble(dx, (*f.modulatorWeight)[size_t(k)], 0.0, kMaxWeight);
    }
    for (int k = 0; k < 4; ++k) {
        DDX_Exact(dx, IDC_WEIGHT_MODULATOR1_RC + k, (*f.modulatorRC)[size_t(k)]);
        fw::DDV_MinMaxDouble(dx, (*f.modulatorRC)[size_t(k)], 0.0, kMaxRC);
    }
}

BOOL CWeightingDlgBase::CanCloseWithOK() {
    if (IsWeightSumValid()) return TRUE;
    ReportMessage(kMsgWeightSum, TRUE);
    return FALSE;
}

CVoltageFeedbackWeightingDlg::CVoltageFeedbackWeightingDlg(CVoltageFeedbackNetwork* network, UINT templateId,
                                                           fw::Window* parent)
    : CWeightingDlgBase({&network->m_bOutputEnable, &network->m_dOutputWeight, &network->m_bModulatorEnable,
                         &network->m_dModulatorWeight, &network->m_dModulatorRC},
                        templateId, parent),
      m_pNetwork(network) {}

CCurrentFeedbackWeightingDlg::CCurrentFeedbackWeightingDlg(CCurrentFeedbackNetwork* network, UINT templateId,
                                                           fw::Window* parent)
    : CWeightingDlgBase({&network->m_bOutputEnable, &network->m_dOutputWeight}, templateId, parent),
      m_pNetwork(network) {}

CCurrentLimitWeightingDlg::CCurrentLimitWeightingDlg(CCurrentLimitNetwork* network, UINT templateId,
                                                     fw::Window* parent)
    : CWeightingDlgBase({&network->m_bOutputEnable, &network->m_dOutputWeight}, templateId, parent),
      m_pNetwork(network) {}
