// Dialog data exchange: each DDX_ call moves one value between a control and
// a member (towards the control when filling it, from it when reading), each
// DDV_ call right after it checks the value just read. The first failure
// shows the framework's message, puts the focus on that control and ends the
// exchange: the fields before it are stored, the fields after it are not.
#pragma once

#include <cstdint>
#include <string>

#include "platform/core/Types.h"
#include "platform/ui/Dialog.h"

namespace fw {

// The framework's prompts (string table).
constexpr UINT kPromptInteger = 61712;
constexpr UINT kPromptNumber = 61713;
constexpr UINT kPromptIntegerRange = 61714;
constexpr UINT kPromptNumberRange = 61715;

class DataExchange {
public:
    DataExchange(Dialog* dlg, BOOL saveAndValidate) : m_pDlgWnd(dlg), m_bSaveAndValidate(saveAndValidate) {}

    Dialog* m_pDlgWnd;
    BOOL m_bSaveAndValidate;
    // The control of the last DDX_ call, where a DDV_ failure puts the focus.
    int m_idLastControl = 0;

    // The control for the next exchange (must exist: a missing control is a
    // programming error of the form, reported as a failure of the exchange).
    Control* PrepareCtrl(int id);
    // Shows nothing itself: puts the focus on the last control and ends the
    // exchange (UpdateData returns FALSE).
    [[noreturn]] void Fail();
};

void DDX_Text(DataExchange& dx, int id, std::string& value);
// Towards the control "%.*g" at 15 digits; from it, the whole text as one
// decimal number, and zero only when the text starts with the digit 0.
void DDX_Text(DataExchange& dx, int id, double& value);
void DDX_Text(DataExchange& dx, int id, int& value);
void DDX_Text(DataExchange& dx, int id, UINT& value);
void DDX_Text(DataExchange& dx, int id, int16_t& value);
void DDX_Text(DataExchange& dx, int id, uint16_t& value);
void DDX_Check(DataExchange& dx, int id, int& value);
// The index of the checked button in the radio group that starts at id; -1
// when none is checked.
void DDX_Radio(DataExchange& dx, int id, int& value);
void DDX_CBIndex(DataExchange& dx, int id, int& index);
void DDX_LBIndex(DataExchange& dx, int id, int& index);
void DDX_CBString(DataExchange& dx, int id, std::string& value);

// Range checks, from the controls only; the bounds are inclusive.
void DDV_MinMaxDouble(DataExchange& dx, double value, double minVal, double maxVal);
void DDV_MinMaxInt(DataExchange& dx, int value, int minVal, int maxVal);
void DDV_MinMaxUInt(DataExchange& dx, UINT value, UINT minVal, UINT maxVal);

// The number parsing of DDX_Text, for dialogs that read a field themselves.
bool ParseDialogDouble(const std::string& text, double& value);

}  // namespace fw
