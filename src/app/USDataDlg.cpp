#include "app/USDataDlg.h"

namespace {

using fw::ControlKind;
constexpr unsigned kEdit = fw::kTabStop | fw::kBorder;

const fw::FormTable kUSDataForm{
    IDD_US_DATA,
    "User Specified Data",
    330,
    226,
    fw::kFormCenter,
    {
        {fw::IDC_STATIC, ControlKind::GroupBox, "Off Resistance", 7, 5, 154, 34},
        {fw::IDC_STATIC, ControlKind::Static, "Off Resistance", 14, 20, 56, 9},
        {IDC_US_OFF_RESISTANCE, ControlKind::Edit, "", 72, 18, 54, 13, kEdit | fw::kGroup},
        {fw::IDC_STATIC, ControlKind::Static, "ohms", 130, 20, 24, 9},

        {fw::IDC_STATIC, ControlKind::GroupBox, "Steady State Initialization", 169, 5, 154, 34},
        {fw::IDC_STATIC, ControlKind::Static, "Slow and More Precise Iteration Limit", 176, 16, 84, 18},
        {IDC_US_ITERATION_LIMIT, ControlKind::Edit, "", 264, 18, 52, 13, kEdit},

        {fw::IDC_STATIC, ControlKind::GroupBox, "Initialization Stabilization Run", 7, 43, 154, 34},
        {fw::IDC_STATIC, ControlKind::Static, "Number of Switching Cycles", 14, 58, 100, 9},
        {IDC_US_STABILIZATION_CYCLES, ControlKind::Edit, "", 116, 56, 38, 13, kEdit},

        {fw::IDC_STATIC, ControlKind::GroupBox, "Data Sampling for Time Domain Graphs", 169, 43, 154, 34},
        {IDC_US_SAMPLING_NONE, ControlKind::RadioButton, "None", 178, 58, 40, 10, fw::kGroup | fw::kTabStop},
        {IDC_US_SAMPLING_AVERAGE, ControlKind::RadioButton, "Average", 222, 58, 46, 10},
        {IDC_US_SAMPLING_PEAK, ControlKind::RadioButton, "Peak", 274, 58, 40, 10},

        {fw::IDC_STATIC, ControlKind::GroupBox, "Time Step Adjustment", 7, 81, 316, 82, fw::kGroup},
        {fw::IDC_STATIC, ControlKind::Static, "Large Time Step Attenuation Factor", 14, 96, 230, 9},
        {IDC_US_LARGE_STEP_FACTOR, ControlKind::Edit, "", 250, 94, 66, 13, kEdit},
        {fw::IDC_STATIC, ControlKind::Static, "Large Time Step Size Attenuation Lower Limit", 14, 112, 230, 9},
        {IDC_US_LARGE_STEP_LIMIT, ControlKind::Edit, "", 250, 110, 66, 13, kEdit},
        {fw::IDC_STATIC, ControlKind::Static, "Small Time Step Attenuation Factor", 14, 128, 230, 9},
        {IDC_US_SMALL_STEP_FACTOR, ControlKind::Edit, "", 250, 126, 66, 13, kEdit},
        {fw::IDC_STATIC, ControlKind::Static, "Small Time Step Size Attenuation Lower Limit", 14, 144, 230, 9},
        {IDC_US_SMALL_STEP_LIMIT, ControlKind::Edit, "", 250, 142, 66, 13, kEdit},

        {fw::IDC_STATIC, ControlKind::GroupBox, "Data Logging", 7, 167, 316, 30},
        {IDC_US_DATA_LOGGING, ControlKind::CheckBox, "Enable Data Logging", 14, 180, 120, 10,
         fw::kGroup | fw::kTabStop},

        {fw::IDOK, ControlKind::DefPushButton, "OK", 75, 204, 50, 14, fw::kGroup | fw::kTabStop},
        {fw::IDCANCEL, ControlKind::PushButton, "Cancel", 140, 204, 50, 14, fw::kTabStop},
        {IDC_US_DEFAULT, ControlKind::PushButton, "Default", 205, 204, 50, 14, fw::kTabStop},
    },
};
fw::FormRegistrar g_usDataForm(kUSDataForm);

}  // namespace

CUSDataDlg::CUSDataDlg(CUSData* data, fw::Window* parent)
    : CComponentDlgBase(IDD_US_DATA, nullptr, parent), m_pUSData(data) {
    OnClicked(IDC_US_DEFAULT, [this] { OnDefault(); });
}

void CUSDataDlg::DoDataExchange(fw::DataExchange& dx) {
    CUSData& d = *m_pUSData;
    DDX_Exact(dx, IDC_US_OFF_RESISTANCE, d.m_dOffResistance);
    fw::DDV_MinMaxDouble(dx, d.m_dOffResistance, 100.0, 1.0e9);
    fw::DDX_Text(dx, IDC_US_ITERATION_LIMIT, d.m_nIterationLimit);
    fw::DDV_MinMaxInt(dx, d.m_nIterationLimit, 5, 1000);
    fw::DDX_Text(dx, IDC_US_STABILIZATION_CYCLES, d.m_nStabilizationCycles);
    fw::DDV_MinMaxInt(dx, d.m_nStabilizationCycles, 0, 10000);
    DDX_RadioKeep(dx, IDC_US_SAMPLING_NONE, d.m_nDataSampling);
    DDX_Exact(dx, IDC_US_LARGE_STEP_FACTOR, d.m_dLargeStepFactor);
    fw::DDV_MinMaxDouble(dx, d.m_dLargeStepFactor, 0.5, 0.9999);
    DDX_Exact(dx, IDC_US_LARGE_STEP_LIMIT, d.m_dLargeStepLowerLimit);
    fw::DDV_MinMaxDouble(dx, d.m_dLargeStepLowerLimit, 1.0e-9, 1.0e-5);
    DDX_Exact(dx, IDC_US_SMALL_STEP_FACTOR, d.m_dSmallStepFactor);
    fw::DDV_MinMaxDouble(dx, d.m_dSmallStepFactor, 0.8, 0.999);
    DDX_Exact(dx, IDC_US_SMALL_STEP_LIMIT, d.m_dSmallStepLowerLimit);
    fw::DDV_MinMaxDouble(dx, d.m_dSmallStepLowerLimit, 1.0e-10, 1.0e-6);
    int logging = d.m_bDataLogging ? 1 : 0;
    fw::DDX_Check(dx, IDC_US_DATA_LOGGING, logging);
    if (dx.m_bSaveAndValidate) d.m_bDataLogging = logging;
}

void CUSDataDlg::OnDefault() {
    m_pUSData->SetDefaults();
    UpdateData(FALSE);
}
