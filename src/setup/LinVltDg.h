// The line voltage dialog (template 273): DC magnitude, AC peak magnitude and
// frequency with the RMS value it gives, and a transient table for each
// magnitude; and the transient table dialog (274) that edits one table as a
// list sorted by time. Each edits the record or table it is given in place.
#pragma once

#include "circuit/LinVlt.h"
#include "setup/BaseDlg.h"
#include "setup/TransientList.h"

constexpr UINT IDD_LINE_VOLTAGE = 273;
constexpr UINT IDD_TRANSIENT_TABLE = 274;
constexpr int IDC_LINE_RMS_MAGNITUDE = 1179;
constexpr int IDC_LINE_DC_TRANSIENT = 1800;
constexpr int IDC_LINE_AC_TRANSIENT = 1801;

class CLineVoltageDlg : public CComponentDlgBase {
public:
    CLineVoltageDlg(CLineVoltage* voltage, fw::Window* parent);

    void DoDataExchange(fw::DataExchange& dx) override;
    // Closes only when the OK button has the focus; Enter in a field only
    // takes the values.
    void OnOK() override;
    void OnACPeakSetFocus();
    void OnACPeakKillFocus();
    void OnDCTransient();
    void OnACTransient();

    CLineVoltage* m_pVoltage;
    double m_dRMSMagnitude = 0.0;  // volts, shown only

protected:
    // An AC magnitude needs a frequency (53000).
    BOOL CanCloseWithOK() override;

private:
    void EditTable(CObArrayTimeMagnitude& table, const char* caption);
    bool m_bInKillFocus = false;
};

class CTransientTableDlg : public CComponentDlgBase {
public:
    CTransientTableDlg(CObArrayTimeMagnitude* table, const char* caption, fw::Window* parent);

    void DoDataExchange(fw::DataExchange& dx) override;
    void OnOK() override;
    void OnAdd() { m_list.OnAdd(); }
    void OnDelete() { m_list.OnDelete(); }
    void OnModify() { m_list.OnModify(); }

protected:
    // Every non-zero magnitude at time 0 confirmed (54029).
    BOOL CanCloseWithOK() override { return m_list.ConfirmZeroTimePoints(); }

private:
    CObArrayTimeMagnitude* m_pTable;
    CTransientList m_list;
};
