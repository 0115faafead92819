// The Requirements dialog (template 242): target switching frequency,
// operating temperature and, for outputs 1 to 4, whether each is used and its
// target voltage. The enabled outputs stay consecutive from output 1: a box
// can be checked only when the output before it is enabled, and unchecking an
// output unchecks all that follow. Edits the record it is given in place.
#pragma once

#include "circuit/Require.h"
#include "setup/BaseDlg.h"

constexpr UINT IDD_REQUIREMENTS = 242;
constexpr int IDC_REQ_SWITCHING_FREQUENCY = 1195;
constexpr int IDC_REQ_OPERATING_TEMP = 1196;
constexpr int IDC_REQ_OUTPUT1_ENABLED = 1050;  // 1050-1053
constexpr int IDC_REQ_OUTPUT1_VOLTAGE = 1057;  // 1057-1060

class CRequirementsDlg : public CComponentDlgBase {
public:
    CRequirementsDlg(CRequirements* requirements, UINT templateId, fw::Window* parent);

    void DoDataExchange(fw::DataExchange& dx) override;
    void OnOutputEnabledClicked();

protected:
    // Output 1 enabled and no enabled output after a disabled one (52043).
    BOOL CanCloseWithOK() override;

private:
    void ApplyEnableRules();

    CRequirements* m_pRequirements;
};
