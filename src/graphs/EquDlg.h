// The equation editor: the user composes a time-domain graph variable from
// catalogue variables, numbers, the five operations and parentheses, one
// button per element. Each button refuses what cannot follow the element
// before it, and OK refuses what the evaluator could not run, so that an
// accepted equation can always be evaluated. It edits the equation it is
// given in place; the caller hands it a copy and keeps it on IDOK.
//
// Also here: which catalogue list holds a section's variables in the
// present design, shared with the Analysis dialog's availability check.
#pragma once

#include <string>

#include "circuit/EquObj.h"
#include "graphs/EquData.h"
#include "platform/ui/DDX.h"
#include "platform/ui/Dialog.h"

class CPwrQuorraDoc;

constexpr UINT kModuleEquDlg = 56038;
constexpr UINT IDD_EQUATION = 223;

constexpr int IDC_EQU_NUMBER = 1240;
constexpr int IDC_EQU_ITEMS = 1241;
constexpr int IDC_EQU_TEXT = 1242;
constexpr int IDC_EQU_ENTER_NUMBER = 1243;
constexpr int IDC_EQU_POWER = 1244;
constexpr int IDC_EQU_MULTIPLY = 1245;
constexpr int IDC_EQU_DIVIDE = 1246;
constexpr int IDC_EQU_ADD = 1247;
constexpr int IDC_EQU_SUBTRACT = 1248;
constexpr int IDC_EQU_LEFT_PAREN = 1249;
constexpr int IDC_EQU_RIGHT_PAREN = 1250;
constexpr int IDC_EQU_CLEAR = 1251;
constexpr int IDC_EQU_ENTER_ITEM = 1252;
// Group buttons: line source and line filter by phase 0-2, then one button
// per section, and the per-output sections by output 1-4.
constexpr int IDC_EQU_LINE_SOURCE = 1607;
constexpr int IDC_EQU_LINE_FILTER = 1610;
constexpr int IDC_EQU_LINE_RECTIFIER = 1613;
constexpr int IDC_EQU_INPUT_CAPACITOR = 1614;
constexpr int IDC_EQU_PRIMARY_SECTION = 1615;
constexpr int IDC_EQU_SECONDARY_SECTION = 1616;
constexpr int IDC_EQU_OUTPUT_CHOKE = 1620;
constexpr int IDC_EQU_FIRST_STAGE_FILTER = 1624;
constexpr int IDC_EQU_SECOND_STAGE_FILTER = 1628;
constexpr int IDC_EQU_LOAD_NETWORK = 1632;
constexpr int IDC_EQU_ERROR_AMPLIFIER = 1636;
constexpr int IDC_EQU_OPTO_ISOLATOR = 1637;
constexpr int IDC_EQU_CONTROL_SECTION = 1638;

// An accepted equation has fewer tokens than this.
constexpr int kMaxEquationTokens = 20;

enum class VarGroup {
    LineSource,         // n: phase 0-2
    LineFilter,         // n: phase 0-2
    LineRectifier,
    InputCapacitor,
    PrimarySection,
    SecondarySection,   // n: output 1-4
    OutputChoke,        // n: output 1-4
    FirstStageFilter,   // n: output 1-4
    SecondStageFilter,  // n: output 1-4
    LoadNetwork,        // n: output 1-4
    VoltageErrorAmp,
    OptoIsolator,
    ControlSection,
};
// The section's variant has no list (not chosen, or outside its table).
constexpr int kNoVarList = -1;
// The line rectifier's list depends on the line source type, and that type
// is not one the variant has a list for.
constexpr int kNoVarListForLineType = -2;

// The catalogue list that holds the variables of a section (and phase or
// output) for the design's present variants, or one of the two values above.
int SelectVarList(CPwrQuorraDoc& doc, VarGroup group, int n = 0);

class CEquationDlg : public fw::Dialog {
public:
    // caption: the window title. The document is the current one.
    CEquationDlg(CEquation* equation, const char* caption, fw::Window* parent);

    BOOL OnInitDialog() override;
    void DoDataExchange(fw::DataExchange& dx) override;
    void OnOK() override;
    void OnRButtonDown(UINT flags, fw::Point p) override;
    // "OK" of the right-click menu: the checks of OK, wherever the focus is.
    void OnContextOK();

    void OnSelectGroup(int buttonId);
    void FillItemList();
    void OnEnterItem();
    void OnEnterNumber();
    void OnOperation(int buttonId);
    void OnLeftParen();
    void OnRightParen();
    void OnClear();
    void OnNumberKillFocus();

    // Parentheses balanced and fewer than 20 tokens, and no operation left
    // open at the end; FALSE after the message.
    BOOL CheckEquation();
    // Rewrites every negation as a multiplication by -1 in parentheses, so
    // that the evaluator never meets one; FALSE, tokens unchanged, when the
    // negations cannot be closed.
    BOOL ExpandNegations();

    const CVarIdList* GetChosenList() const { return m_pChosenList; }

private:
    void Close(bool fromButton);
    void Append(const std::string& text, const CObEquation& token, int32_t lastEntry);
    void Code(int code) const;

    CEquation* m_pEquation;
    double m_dNumber = 0.0;
    std::string m_caption;
    CPwrQuorraDoc* m_pDoc;
    const CVarIdList* m_pChosenList = nullptr;
    // The number field's text when leaving it failed its check, so that
    // "Enter Number" right after does not tell the same again.
    bool m_numberRefused = false;
    std::string m_refusedText;
};
