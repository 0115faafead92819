// Transformer part dialogs: the power transformer as a grid with one column
// per winding (with or without the reset winding), whose secondary columns
// follow the outputs the design's requirements enable, and the two-winding
// current sense transformer. The coupling coefficients are computed by the
// records and shown each time a value box loses the focus; OK also refuses
// an AC winding resistance below the DC one and inductances that give no
// coupling coefficient.
#pragma once

#include <functional>

#include "circuit/Require.h"
#include "records/Parts.h"
#include "setup/PartsDlg.h"

constexpr UINT IDD_PWR_TRANSFORMER_RESET = 239;
constexpr UINT IDD_PWR_TRANSFORMER = 240;
constexpr UINT IDD_TRANSFORMER = 263;

// Power transformer grid: the id of winding w's value (w in
// CPwrTransformer's winding order) and of a pair's boxes (pair index of
// CPwrTransformer::PairIndex, earlier winding shorted or referred to).
constexpr int IDC_XFMR_TURNS = 1360;
constexpr int IDC_XFMR_DC_RESISTANCE = 1366;
constexpr int IDC_XFMR_AC_RESISTANCE = 1372;
constexpr int IDC_XFMR_OPEN_INDUCTANCE = 1378;
constexpr int IDC_XFMR_SHORTED_INDUCTANCE = 1384;
constexpr int IDC_XFMR_COUPLING = 1399;
constexpr int IDC_XFMR_CORE_POWER_LOSS = 1414;
constexpr int IDC_XFMR_SECONDARY_HEADER = 1414;  // + output 1-4
constexpr int IDC_XFMR_CAPACITANCE = 1419;
constexpr int IDC_XFMR_WINDING_CONNECTIONS = 1585;

// Current sense transformer.
constexpr int IDC_CS_PRIMARY_TURNS = 1140;
constexpr int IDC_CS_SECONDARY_TURNS = 1141;
constexpr int IDC_CS_PRIMARY_DC_RESISTANCE = 1142;
constexpr int IDC_CS_SECONDARY_DC_RESISTANCE = 1143;
constexpr int IDC_CS_PRIMARY_AC_RESISTANCE = 1144;
constexpr int IDC_CS_SECONDARY_AC_RESISTANCE = 1145;
constexpr int IDC_CS_PRIMARY_INDUCTANCE = 1146;
constexpr int IDC_CS_SECONDARY_INDUCTANCE = 1147;
constexpr int IDC_CS_SHORTED_INDUCTANCE = 1148;
constexpr int IDC_CS_COUPLING = 1149;

// The secondary winding connections editor that the power transformer's
// button opens on a copy of the record; it returns IDOK or IDCANCEL and
// leaves its edits in the copy. While none is installed the button is
// greyed.
using WindingConnectionsEditor = std::function<int(CPwrTransformer& copy, const CRequirements& requirements)>;
void SetWindingConnectionsEditor(WindingConnectionsEditor editor);

// What both transformer dialogs do when a value box loses the focus: the
// whole exchange is checked and the couplings shown anew.
class CCouplingDlgBase : public CPartDlgBase {
public:
    using CPartDlgBase::CPartDlgBase;
    BOOL OnCommand(UINT id, UINT code) override;
    virtual void UpdateCouplingDisplay() = 0;
    void OnKillFocusValue();

protected:
    virtual bool IsValueBox(int id) const = 0;

private:
    bool m_bInFocusCheck = false;
    // A failed check on leaving a box also swallows the OK click that moved
    // the focus, as the message box would on the system; any other action
    // of the user clears it.
    bool m_bFocusCheckFailed = false;
};

// Template 240: no reset winding of its own; the reset winding always
// mirrors the primary's turns, DC resistance and open circuit inductance.
class CPwrTransformerDlg : public CCouplingDlgBase {
public:
    CPwrTransformerDlg(CPwrTransformer* record, CRequirements* requirements, UINT templateId, const char* caption,
                       fw::Window* parent);
    BOOL OnInitDialog() override;
    void DoDataExchange(fw::DataExchange& dx) override;
    void UpdateCouplingDisplay() override;
    void OnCoreSatChar();
    void OnWindingConnections();

    CPwrTransformer* m_pRecord;
    CRequirements* m_pRequirements;

protected:
    CPwrTransformerDlg(CPwrTransformer* record, CRequirements* requirements, UINT templateId, const char* caption,
                       fw::Window* parent, bool withReset);
    BOOL CanCloseWithOK() override;

private:
    bool OutputEnabled(int output) const;
    OutputEnables Enables() const;
    // The record's values with the couplings computed from them.
    BOOL ComputeCoupling(CPwrTransformer& computed) const;
    void ExchangeWinding(fw::DataExchange& dx, int w, bool withOpenInductance);
    bool IsValueBox(int id) const override;

    bool m_bReset;
};

// Template 239: the grid with the reset winding.
class CPwrTransformerResetDlg : public CPwrTransformerDlg {
public:
    CPwrTransformerResetDlg(CPwrTransformer* record, CRequirements* requirements, UINT templateId,
                            const char* caption, fw::Window* parent);
};

// Template 263: primary and secondary of a current sense transformer.
class CTransformerDlg : public CCouplingDlgBase {
public:
    CTransformerDlg(CTransformer* record, UINT templateId, const char* caption, fw::Window* parent);
    BOOL OnInitDialog() override;
    void DoDataExchange(fw::DataExchange& dx) override;
    void UpdateCouplingDisplay() override;
    void OnCoreSatChar();

    CTransformer* m_pRecord;

protected:
    BOOL CanCloseWithOK() override;
    bool IsValueBox(int id) const override;
};
