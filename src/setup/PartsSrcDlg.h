// Editing dialogs of the source records: a current or voltage source with
// its DC value, AC sine and transient table; the DC value alone; one
// transient point; and the choice of the current that the control section
// senses. Each edits, in place, the record it is given (the callers give a
// copy and commit it on IDOK). Internal codes go to module PartsSrc.
#pragma once

#include <cstdint>

#include "records/PartsSrc.h"
#include "setup/BaseDlg.h"
#include "setup/TransientList.h"

// Current or voltage source: template 214 with kind 1 (current), 271 with
// kind 0 (voltage).
class CCrntVoltSourceDlg : public CComponentDlgBase {
public:
    CCrntVoltSourceDlg(CCrntVoltSource* source, int16_t kind, UINT templateId, const char* caption,
                       fw::Window* parent);

    void DoDataExchange(fw::DataExchange& dx) override;
    // Closes only when the OK button has the focus (no beep otherwise) and
    // the user accepts every non-zero magnitude at time 0.
    void OnOK() override;
    void OnAdd() { m_list.OnAdd(); }
    void OnDelete() { m_list.OnDelete(); }
    void OnModify() { m_list.OnModify(); }

    CCrntVoltSource* m_pSource;
    int16_t m_nKind;  // 1 current, 0 voltage

private:
    CTransientList m_list;
};

// DC value of a source: template 272 (volts) or 215 (amps).
class CDCSourceDlg : public CComponentDlgBase {
public:
    CDCSourceDlg(CCrntVoltSource* source, UINT templateId, const char* caption, fw::Window* parent);
    void DoDataExchange(fw::DataExchange& dx) override;

    CCrntVoltSource* m_pSource;
};

// One transient point, template 264. After IDOK the caller reads m_dTime and
// m_dMagnitude.
class CTransientDataDlg : public CComponentDlgBase {
public:
    enum { MODE_ADD = 0, MODE_MODIFY = 1 };

    // The title follows the mode; the caption is not applied.
    CTransientDataDlg(int16_t kind, int32_t mode, double time, double magnitude, const char* caption,
                      fw::Window* parent);
    BOOL OnInitDialog() override;
    void DoDataExchange(fw::DataExchange& dx) override;

    int16_t m_nKind;  // 0 voltage, 1 current
    int32_t m_nMode;
    double m_dTime;       // seconds
    double m_dMagnitude;  // volts or amperes
};

// Which current the current sense follows: template 211 (primary switch,
// choke, output filter capacitor), 212 (primary switch, choke) or 213
// (choke, output filter capacitor).
class CCrntSensSourceDlg : public CComponentDlgBase {
public:
    CCrntSensSourceDlg(CCrntSensSource* source, UINT templateId, const char* caption, fw::Window* parent);
    void DoDataExchange(fw::DataExchange& dx) override;

    CCrntSensSource* m_pSource;

private:
    // Template 213 has no primary-switch button: its positions are one less
    // than the sensed current.
    int FirstButton() const;
    int Offset() const;
};
