// The weighting dialogs: how strongly each output, and for the voltage loop
// each output's modulator, contributes to the voltage feedback (template
// 270), the current feedback (216) or the current limit (218). Rows of
// outputs that the requirements do not enable are disabled and do not count
// toward the sum, which OK requires to lie between 98 and 102 per cent. Each
// edits the record it is given in place.
#pragma once

#include <array>
#include <cstdint>

#include "circuit/FbNet.h"
#include "setup/BaseDlg.h"

constexpr UINT IDD_VOLTAGE_FEEDBACK_WEIGHTING = 270;
constexpr UINT IDD_CURRENT_FEEDBACK_WEIGHTING = 216;
constexpr UINT IDD_CURRENT_LIMIT_WEIGHTING = 218;
constexpr int IDC_WEIGHT_OUTPUT1_ENABLE = 1430;     // 1430-1433
constexpr int IDC_WEIGHT_MODULATOR1_ENABLE = 1434;  // 1434-1437
constexpr int IDC_WEIGHT_OUTPUT1 = 1438;            // 1438-1441
constexpr int IDC_WEIGHT_MODULATOR1 = 1442;         // 1442-1445
constexpr int IDC_WEIGHT_MODULATOR1_RC = 1446;      // 1446-1449

// The rows and the checks shared by the three dialogs.
class CWeightingDlgBase : public CComponentDlgBase {
public:
    BOOL OnInitDialog() override;
    void DoDataExchange(fw::DataExchange& dx) override;

protected:
    struct Fields {
        std::array<int32_t, 4>* outputEnable;
        std::array<double, 4>* outputWeight;
        std::array<int32_t, 4>* modulatorEnable = nullptr;  // the voltage loop only
        std::array<double, 4>* modulatorWeight = nullptr;
        std::array<double, 4>* modulatorRC = nullptr;
    };
    CWeightingDlgBase(const Fields& fields, UINT templateId, fw::Window* parent);

    // The enabled weights of the enabled outputs add up to 100 per cent
    // within 2 (53029).
    BOOL CanCloseWithOK() override;
    virtual BOOL IsWeightSumValid() const = 0;

private:
    Fields m_fields;
};

class CVoltageFeedbackWeightingDlg : public CWeightingDlgBase {
public:
    CVoltageFeedbackWeightingDlg(CVoltageFeedbackNetwork* network, UINT templateId, fw::Window* parent);

protected:
    BOOL IsWeightSumValid() const override { return m_pNetwork->IsWeightSumValid(); }

private:
    CVoltageFeedbackNetwork* m_pNetwork;
};

class CCurrentFeedbackWeightingDlg : public CWeightingDlgBase {
public:
    CCurrentFeedbackWeightingDlg(CCurrentFeedbackNetwork* network, UINT templateId, fw::Window* parent);

protected:
    BOOL IsWeightSumValid() const override { return m_pNetwork->IsWeightSumValid(); }

private:
    CCurrentFeedbackNetwork* m_pNetwork;
};

class CCurrentLimitWeightingDlg : public CWeightingDlgBase {
public:
    CCurrentLimitWeightingDlg(CCurrentLimitNetwork* network, UINT templateId, fw::Window* parent);

protected:
    BOOL IsWeightSumValid() const override { return m_pNetwork->IsWeightSumValid(); }

private:
    CCurrentLimitNetwork* m_pNetwork;
};
