// The output chokes' magnetic coupling: the inductance of each output's
// choke winding with another output's winding shorted, and the coupling
// coefficients that follow. Edits a copy; the record changes only on OK.
#pragma once

#include "circuit/OutChk.h"
#include "setup/BaseDlg.h"

constexpr UINT IDD_OUTPUT_CHOKE_COUPLING = 238;
constexpr UINT kModuleOutChkDg = 56058;
constexpr int IDC_CPL_OPEN = 1340;     // 1340-1343: L1..L4
constexpr int IDC_CPL_SHORTED = 1344;  // 1344-1349: pairs 12, 13, 14, 23, 24, 34
constexpr int IDC_CPL_K = 1350;        // 1350-1355: the same pairs

class COutputChokeCouplingDlg : public CComponentDlgBase {
public:
    COutputChokeCouplingDlg(COutputChokeMutualInd* record, UINT templateId, fw::Window* parent);

    BOOL OnInitDialog() override;
    void DoDataExchange(fw::DataExchange& dx) override;
    // True when an enabled shorted inductance is above 0.
    static bool AnyNonZero(const COutputChokeMutualInd& record);

protected:
    BOOL CanCloseWithOK() override;

private:
    void ShowCouplings();
    void OnKillFocusShorted();

    COutputChokeMutualInd* m_pRecord;
    bool m_bInKillFocus = false;
};

// Registers the dialog with the Output Chokes selection; called at start-up.
void RegisterOutputChokeCouplingDialog();
