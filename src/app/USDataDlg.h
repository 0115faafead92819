// Analysis > User Specified: the solver settings of the design (switch off
// resistance, initialisation limits, graph sampling, time-step attenuation)
// and the data-logging switch, edited on the copy of the design's CUSData
// that the command hands over. Default puts the record's defaults into the
// fields without closing.
#pragma once

#include "circuit/USData.h"
#include "setup/BaseDlg.h"

constexpr UINT IDD_US_DATA = 269;
constexpr int IDC_US_DEFAULT = 1270;
constexpr int IDC_US_OFF_RESISTANCE = 1730;
constexpr int IDC_US_LARGE_STEP_FACTOR = 1731;
constexpr int IDC_US_LARGE_STEP_LIMIT = 1732;
constexpr int IDC_US_SMALL_STEP_FACTOR = 1733;
constexpr int IDC_US_SMALL_STEP_LIMIT = 1734;
constexpr int IDC_US_ITERATION_LIMIT = 1735;
constexpr int IDC_US_STABILIZATION_CYCLES = 1736;
constexpr int IDC_US_SAMPLING_NONE = 1737;  // 1737-1739: None, Average, Peak
constexpr int IDC_US_SAMPLING_AVERAGE = 1738;
constexpr int IDC_US_SAMPLING_PEAK = 1739;
constexpr int IDC_US_DATA_LOGGING = 1741;

class CUSDataDlg : public CComponentDlgBase {
public:
    CUSDataDlg(CUSData* data, fw::Window* parent = nullptr);
    void DoDataExchange(fw::DataExchange& dx) override;

private:
    void OnDefault();

    CUSData* m_pUSData;  // not owned
};
