#include "graphs/EquDlg.h"

#include <vector>

#include "circuit/Doc.h"
#include "platform/ui/Commands.h"
#include "records/Utils.h"
#include "resources/StringTable.h"

namespace {

using fw::ControlKind;
using fw::FormControl;

constexpr UINT kMenuDialogPopups = 104;
constexpr int kEditorPopup = 3;
constexpr UINT kContextOK = 32821;
constexpr int kMaxNumberText = 79;
constexpr int kMaxNegationDepth = 9;
constexpr UINT kMsgValueAfterParen = 52152;
constexpr UINT kMsgValueAfterValue = 52153;
constexpr UINT kMsgItemAfterParen = 52154;
constexpr UINT kMsgItemAfterValue = 52155;
constexpr UINT kMsgLeftParen = 52108;
constexpr UINT kMsgRightParen = 52117;
constexpr UINT kMsgNoElements = 54003;
constexpr UINT kMsgMismatchedParens = 52045;
constexpr UINT kMsgTooManyElements = 52044;
constexpr UINT kMsgNegation = 52098;
constexpr UINT kMsgEndsWithOperation = 58502;

// The binary operations: button, text, operator code, refusal.
struct Operation {
    int button;
    const char* text;
    int32_t op;
    UINT refusal;
};
constexpr Operation kOperations[] = {
    {IDC_EQU_POWER, " ^", CObEquation::OP_POWER, 52105},
    {IDC_EQU_MULTIPLY, " *", CObEquation::OP_MULTIPLY, 52112},
    {IDC_EQU_DIVIDE, " /", CObEquation::OP_DIVIDE, 52104},
    {IDC_EQU_ADD, " +", CObEquation::OP_ADD, 52101},
};

constexpr unsigned kButton = fw::kTabStop;

std::vector<FormControl> EquationControls() {
    std::vector<FormControl> c;
    c.push_back({fw::IDC_STATIC, ControlKind::GroupBox, "Select Group", 7, 7, 286, 268});
    auto buttonRow = [&](const char* title, int firstId, int count, int first, int y) {
        const int width = count == 3 ? 132 : 270;
        const int x = firstId == IDC_EQU_LINE_FILTER ? 153 : 15;
        c.push_back({fw::IDC_STATIC, ControlKind::GroupBox, title, x, y, width, 30});
        for (int i = 0; i < count; ++i) {
            static const char* const kDigits[] = {"0", "1", "2", "3", "4"};
            c.push_back({firstId + i, ControlKind::PushButton, kDigits[first + i], x + 10 + 40 * i, y + 12, 32, 14,
                         kButton | (i == 0 ? fw::kGroup : 0u)});
        }
    };
    buttonRow("Line Source", IDC_EQU_LINE_SOURCE, 3, 0, 19);
    buttonRow("Line Filter", IDC_EQU_LINE_FILTER, 3, 0, 19);
    c.push_back({IDC_EQU_LINE_RECTIFIER, ControlKind::PushButton, "Line Rectifier", 15, 57, 84, 14, kButton | fw::kGroup});
    c.push_back({IDC_EQU_INPUT_CAPACITOR, ControlKind::PushButton, "Input Capacitor", 107, 57, 84, 14, kButton});
    c.push_back({IDC_EQU_PRIMARY_SECTION, ControlKind::PushButton, "Primary Section", 199, 57, 86, 14, kButton});
    buttonRow("Secondary Section", IDC_EQU_SECONDARY_SECTION, 4, 1, 79);
    buttonRow("Output Choke", IDC_EQU_OUTPUT_CHOKE, 4, 1, 113);
    buttonRow("First Stage Output Filter", IDC_EQU_FIRST_STAGE_FILTER, 4, 1, 147);
    buttonRow("Second Stage Output Filter", IDC_EQU_SECOND_STAGE_FILTER, 4, 1, 181);
    buttonRow("Load Network", IDC_EQU_LOAD_NETWORK, 4, 1, 215);
    c.push_back({IDC_EQU_ERROR_AMPLIFIER, ControlKind::PushButton, "Voltage Error Amplifier", 15, 253, 100, 14,
                 kButton | fw::kGroup});
    c.push_back({IDC_EQU_OPTO_ISOLATOR, ControlKind::PushButton, "Opto-Isolator", 121, 253, 70, 14, kButton});
    c.push_back({IDC_EQU_CONTROL_SECTION, ControlKind::PushButton, "Control Section", 197, 253, 88, 14, kButton});

    c.push_back({fw::IDC_STATIC, ControlKind::GroupBox, "Item or Expression to be Graphed", 301, 7, 333, 60});
    c.push_back({IDC_EQU_TEXT, ControlKind::Edit, "", 309, 19, 317, 26,
                 fw::kBorder | fw::kReadOnly | fw::kMultiLine | fw::kVScroll | fw::kTabStop | fw::kGroup});
    c.push_back({IDC_EQU_CLEAR, ControlKind::PushButton, " Clear Item or Expression ", 412, 48, 110, 14, kButton});

    c.push_back({fw::IDC_STATIC, ControlKind::GroupBox, "Select Item", 301, 71, 333, 136});
    c.push_back({IDC_EQU_ITEMS, ControlKind::ListBox, "", 309, 83, 317, 100,
                 fw::kBorder | fw::kVScroll | fw::kTabStop | fw::kGroup});
    c.push_back({IDC_EQU_ENTER_ITEM, ControlKind::PushButton, " Enter Item ", 432, 187, 70, 14, kButton});

    c.push_back({fw::IDC_STATIC, ControlKind::GroupBox, "Enter Number", 301, 211, 333, 32});
    c.push_back({IDC_EQU_NUMBER, ControlKind::Edit, "", 309, 224, 200, 13, fw::kBorder | fw::kTabStop | fw::kGroup});
    c.push_back({IDC_EQU_ENTER_NUMBER, ControlKind::PushButton, "Enter Number", 546, 223, 72, 14, kButton});

    c.push_back({fw::IDC_STATIC, ControlKind::GroupBox, "Choose Operation", 301, 247, 333, 62});
    const char* const operations[] = {"Exponentiate   ^", "Multiply   *",    "Divide   /",      "Add   +",
                                      "Subtract   -",     "Left Paren.   (", "Right Paren.   )"};
    for (int i = 0; i < 7; ++i) {
        const int row = i / 4, col = i % 4;
        c.push_back({IDC_EQU_POWER + i, ControlKind::PushButton, operations[i], 309 + 80 * col, 260 + 20 * row, 76, 14,
                     kButton | (i == 0 ? fw::kGroup : 0u)});
    }

    c.push_back({fw::IDOK, ControlKind::DefPushButton, "OK", 80, 288, 50, 14, kButton | fw::kGroup});
    c.push_back({fw::IDCANCEL, ControlKind::PushButton, "Cancel", 160, 288, 50, 14, kButton});
    return c;
}

const fw::FormTable kEquationForm{IDD_EQUATION, "Equation", 641, 315, fw::kFormCenter, EquationControls()};
fw::FormRegistrar g_equationForm(kEquationForm);

CSection* OutputSection(CPwrQuorraDoc& doc, VarGroup group, int k) {
    switch (group) {
    case VarGroup::SecondarySection: {
        CSecondarySection* s[] = {doc.GetSecondarySection1(), doc.GetSecondarySection2(), doc.GetSecondarySection3(),
                                  doc.GetSecondarySection4()};
        return s[k - 1];
    }
    case VarGroup::OutputChoke: {
        COutputChoke* s[] = {doc.GetOutputChoke1(), doc.GetOutputChoke2(), doc.GetOutputChoke3(), doc.GetOutputChoke4()};
        return s[k - 1];
    }
    case VarGroup::FirstStageFilter: {
        C1StgOutputFilter* s[] = {doc.Get1StgOutputFilter1(), doc.Get1StgOutputFilter2(), doc.Get1StgOutputFilter3(),
                                  doc.Get1StgOutputFilter4()};
        return s[k - 1];
    }
    case VarGroup::SecondStageFilter: {
        C2StgOutputFilter* s[] = {doc.Get2StgOutputFilter1(), doc.Get2StgOutputFilter2(), doc.Get2StgOutputFilter3(),
                                  doc.Get2StgOutputFilter4()};
        return s[k - 1];
    }
    case VarGroup::LoadNetwork: {
        CLoadNetwork* s[] = {doc.GetLoadNetwork1(), doc.GetLoadNetwork2(), doc.GetLoadNetwork3(), doc.GetLoadNetwork4()};
        return s[k - 1];
    }
    default:
        return nullptr;
    }
}

std::string Text(UINT id) {
    const char* s = res::FindString(id);
    return s ? s : "";
}

// v within 0..highest gives first + step * v, else no list.
int Linear(int v, int highest, int first, int step) { return (v >= 0 && v <= highest) ? first + step * v : kNoVarList; }

}  // namespace

int SelectVarList(CPwrQuorraDoc& doc, VarGroup group, int n) {
    const int lineType = doc.GetLineFilter()->GetLineSourceType();
    const bool perOutput = group == VarGroup::SecondarySection || group == VarGroup::OutputChoke ||
                           group == VarGroup::FirstStageFilter || group == VarGroup::SecondStageFilter ||
                           group == VarGroup::LoadNetwork;
    if (perOutput && (n < 1 || n > 4)) return kNoVarList;
    if ((group == VarGroup::LineSource || group == VarGroup::LineFilter) && (n < 0 || n > 2)) return kNoVarList;
    switch (group) {
    case VarGroup::LineSource:
        return n;
    case VarGroup::LineFilter:
        return Linear(doc.GetLineFilter()->GetTopology(), 9, 3 + n, 3);
    case VarGroup::LineRectifier:
        switch (doc.GetLineRectifier()->GetTopology()) {
        case 0: return 33;
        case 1:
            if (lineType == 0 || lineType == 1) return 34;
            if (lineType == 2) return 35;
            if (lineType == 3) return 36;
            return kNoVarListForLineType;
        case 2: return 37;
        case 3: return 38;
        case 4:
            if (lineType == 2) return 39;
            if (lineType == 3) return 40;
            return kNoVarListForLineType;
        case 5:
            if (lineType == 2) return 41;
            if (lineType == 3) return 42;
            return kNoVarListForLineType;
        default: return kNoVarList;
        }
    case VarGroup::InputCapacitor:
        return Linear(doc.GetInputCapacitor()->GetTopology(), 3, 43, 1);
    case VarGroup::PrimarySection:
        return Linear(doc.GetPrimarySection()->GetTopology(), 9, 47, 1);
    case VarGroup::SecondarySection: {
        auto* s = static_cast<CSecondarySection*>(OutputSection(doc, group, n));
        if (s->GetTopology() != 0) return kNoVarList;
        return s->IsSynchronous() ? 57 + n : 61 + n;
    }
    case VarGroup::OutputChoke:
        return Linear(OutputSection(doc, group, n)->GetTopology(), 1, 65 + n, 4);
    case VarGroup::FirstStageFilter:
        return Linear(OutputSection(doc, group, n)->GetTopology(), 3, 73 + n, 4);
    case VarGroup::SecondStageFilter:
        return Linear(OutputSection(doc, group, n)->GetTopology(), 6, 89 + n, 4);
    case VarGroup::LoadNetwork:
        return Linear(OutputSection(doc, group, n)->GetTopology(), 3, 117 + n, 4);
    case VarGroup::VoltageErrorAmp:
        return Linear(doc.GetVoltageErrorAmp()->GetTopology(), 7, 134, 1);
    case VarGroup::OptoIsolator:
        return Linear(doc.GetOptoIsolator()->GetTopology(), 6, 142, 1);
    case VarGroup::ControlSection:
        return Linear(doc.GetControlSection()->GetTopology(), 4, 149, 1);
    }
    return kNoVarList;
}

// ---------------------------------------------------------------------------

CEquationDlg::CEquationDlg(CEquation* equation, const char* caption, fw::Window* parent)
    : fw::Dialog(IDD_EQUATION, parent), m_pEquation(equation), m_caption(caption ? caption : ""),
      m_pDoc(GetCurrentDesign()) {
    for (int id = IDC_EQU_LINE_SOURCE; id <= IDC_EQU_CONTROL_SECTION; ++id)
        OnClicked(id, [this, id] { OnSelectGroup(id); });
    OnClicked(IDC_EQU_ENTER_ITEM, [this] { OnEnterItem(); });
    OnNotify(IDC_EQU_ITEMS, fw::LBN_DBLCLK, [this] { OnEnterItem(); });
    OnClicked(IDC_EQU_ENTER_NUMBER, [this] { OnEnterNumber(); });
    for (const Operation& op : kOperations) OnClicked(op.button, [this, id = op.button] { OnOperation(id); });
    OnClicked(IDC_EQU_SUBTRACT, [this] { OnOperation(IDC_EQU_SUBTRACT); });
    OnClicked(IDC_EQU_LEFT_PAREN, [this] { OnLeftParen(); });
    OnClicked(IDC_EQU_RIGHT_PAREN, [this] { OnRightParen(); });
    OnClicked(IDC_EQU_CLEAR, [this] { OnClear(); });
    OnClicked(static_cast<int>(kContextOK), [this] { OnContextOK(); });
    OnNotify(IDC_EQU_NUMBER, fw::EN_KILLFOCUS, [this] { OnNumberKillFocus(); });
}

void CEquationDlg::Code(int code) const { ReportMessage1(kModuleEquDlg, code, FALSE); }

BOOL CEquationDlg::OnInitDialog() {
    fw::Dialog::OnInitDialog();
    if (!m_caption.empty()) SetWindowText(m_caption);
    SetDlgItemText(IDC_EQU_TEXT, m_pEquation->GetText());
    if (!m_pDoc) return TRUE;
    auto disable = [this](int id) {
        if (fw::Control* c = GetDlgItem(id)) c->EnableWindow(FALSE);
    };
    switch (m_pDoc->GetLineFilter()->GetLineSourceType()) {
    case 0:
    case 1:
        for (int id : {IDC_EQU_LINE_SOURCE + 1, IDC_EQU_LINE_SOURCE + 2, IDC_EQU_LINE_FILTER + 1, IDC_EQU_LINE_FILTER + 2})
            disable(id);
        break;
    case 2:
        disable(IDC_EQU_LINE_SOURCE + 2);
        disable(IDC_EQU_LINE_FILTER + 2);
        break;
    case 3:
        break;
    default:
        Code(2100);
        break;
    }
    const CRequirements& req = *m_pDoc->GetRequirements();
    for (int k = 1; k <= 4; ++k) {
        if (req.IsOutputEnabled(k - 1)) continue;
        for (int first : {IDC_EQU_SECONDARY_SECTION, IDC_EQU_OUTPUT_CHOKE, IDC_EQU_FIRST_STAGE_FILTER,
                          IDC_EQU_SECOND_STAGE_FILTER, IDC_EQU_LOAD_NETWORK})
            disable(first + k - 1);
    }
    return TRUE;
}

void CEquationDlg::DoDataExchange(fw::DataExchange& dx) {
    fw::DDX_Text(dx, IDC_EQU_NUMBER, m_dNumber);
    fw::DDV_MinMaxDouble(dx, m_dNumber, -3.4e38, 3.4e38);
}

void CEquationDlg::OnSelectGroup(int id) {
    if (!m_pDoc) return;
    VarGroup group;
    int n = 0;
    int code = 0;  // logged when the section's variant has no list
    if (id < IDC_EQU_LINE_FILTER) {
        group = VarGroup::LineSource, n = id - IDC_EQU_LINE_SOURCE;
    } else if (id < IDC_EQU_LINE_RECTIFIER) {
        group = VarGroup::LineFilter, n = id - IDC_EQU_LINE_FILTER, code = 2103 + n;
    } else if (id == IDC_EQU_LINE_RECTIFIER) {
        group = VarGroup::LineRectifier, code = 2108;
    } else if (id == IDC_EQU_INPUT_CAPACITOR) {
        group = VarGroup::InputCapacitor, code = 2109;
    } else if (id == IDC_EQU_PRIMARY_SECTION) {
        group = VarGroup::PrimarySection, code = 2110;
    } else if (id < IDC_EQU_OUTPUT_CHOKE) {
        group = VarGroup::SecondarySection, n = id - IDC_EQU_SECONDARY_SECTION + 1, code = 2110 + n;
    } else if (id < IDC_EQU_FIRST_STAGE_FILTER) {
        group = VarGroup::OutputChoke, n = id - IDC_EQU_OUTPUT_CHOKE + 1, code = 2114 + n;
    } else if (id < IDC_EQU_SECOND_STAGE_FILTER) {
        group = VarGroup::FirstStageFilter, n = id - IDC_EQU_FIRST_STAGE_FILTER + 1, code = 2118 + n;
    } else if (id < IDC_EQU_LOAD_NETWORK) {
        group = VarGroup::SecondStageFilter, n = id - IDC_EQU_SECOND_STAGE_FILTER + 1, code = 2122 + n;
    } else if (id < IDC_EQU_ERROR_AMPLIFIER) {
        group = VarGroup::LoadNetwork, n = id - IDC_EQU_LOAD_NETWORK + 1, code = 2126 + n;
    } else if (id == IDC_EQU_ERROR_AMPLIFIER) {
        group = VarGroup::VoltageErrorAmp, code = 2131;
    } else if (id == IDC_EQU_OPTO_ISOLATOR) {
        group = VarGroup::OptoIsolator, code = 2132;
    } else {
        group = VarGroup::ControlSection, code = 2133;
    }
    const int list = SelectVarList(*m_pDoc, group, n);
    if (list == kNoVarListForLineType) {
        // The list shown stays: the design's line source type is damaged.
        const int variant = m_pDoc->GetLineRectifier()->GetTopology();
        Code(variant == 1 ? 2137 : variant == 4 ? 2106 : 2107);
        ReportMessage2(56083, m_pDoc->GetLineFilter()->GetLineSourceType(), variant, FALSE);
        return;
    }
    if (list == kNoVarList) {
        m_pChosenList = nullptr;
        Code(code);
        return;
    }
    m_pChosenList = g_pTimeVarCatalogue ? g_pTimeVarCatalogue->GetList(list) : nullptr;
    FillItemList();
}

void CEquationDlg::FillItemList() {
    fw::Control* box = GetDlgItem(IDC_EQU_ITEMS);
    if (!box) {
        Code(2101);
        return;
    }
    box->ResetContent();
    if (!m_pChosenList) return;
    for (int i = 0; i < m_pChosenList->GetCount(); ++i) {
        std::string name;
        if (!m_pChosenList->GetName(i, name)) {
            Code(2102);
            return;
        }
        box->InsertString(-1, name);
    }
}

void CEquationDlg::Append(const std::string& text, const CObEquation& token, int32_t lastEntry) {
    CObArrayEquation& tokens = m_pEquation->GetTokens();
    const int before = tokens.GetCount();
    tokens.AddCopy(token);
    // Out of memory has been told; the equation stays as it was.
    if (tokens.GetCount() == before) return;
    m_pEquation->m_strText += text;
    m_pEquation->m_nLastEntry = lastEntry;
    SetDlgItemText(IDC_EQU_TEXT, m_pEquation->m_strText);
}

void CEquationDlg::OnEnterItem() {
    const int32_t last = m_pEquation->m_nLastEntry;
    if (last == CEquation::LAST_RIGHT_PAREN) {
        ReportMessage(kMsgItemAfterParen, TRUE);
        return;
    }
    if (last == CEquation::LAST_VALUE) {
        ReportMessage(kMsgItemAfterValue, TRUE);
        return;
    }
    if (!m_pChosenList) {
        Code(2134);
        return;
    }
    fw::Control* box = GetDlgItem(IDC_EQU_ITEMS);
    if (!box) {
        Code(2135);
        return;
    }
    const int sel = box->GetCurSel();
    if (sel < 0) {
        Beep();
        return;
    }
    uint16_t id = 0;
    if (!m_pChosenList->GetId(sel, id)) return;
    CObEquation token;
    token.m_nKind = CObEquation::KIND_VARIABLE;
    token.m_nVarId = id;
    Append(" " + box->GetText(sel), token, CEquation::LAST_VALUE);
}

void CEquationDlg::OnNumberKillFocus() {
    m_numberRefused = !UpdateData(TRUE);
    m_refusedText = GetDlgItemText(IDC_EQU_NUMBER);
}

void CEquationDlg::OnEnterNumber() {
    const int32_t last = m_pEquation->m_nLastEntry;
    if (last == CEquation::LAST_RIGHT_PAREN) {
        ReportMessage(kMsgValueAfterParen, TRUE);
        return;
    }
    if (last == CEquation::LAST_VALUE) {
        ReportMessage(kMsgValueAfterValue, TRUE);
        return;
    }
    const std::string text = GetDlgItemText(IDC_EQU_NUMBER).substr(0, kMaxNumberText);
    if (text.find_first_not_of(" \t") == std::string::npos) {
        Beep();
        return;
    }
    // The token must carry the number the text shows: a text that is no
    // number, or one out of range, appends nothing.
    if (m_numberRefused && text == m_refusedText) {
        if (fw::Control* c = GetDlgItem(IDC_EQU_NUMBER)) GotoDlgCtrl(c);
        return;
    }
    if (!UpdateData(TRUE)) {
        m_numberRefused = true;
        m_refusedText = text;
        return;
    }
    CObEquation token;
    token.m_nKind = CObEquation::KIND_NUMBER;
    token.m_dNumber = m_dNumber;
    Append(" " + text, token, CEquation::LAST_VALUE);
}

void CEquationDlg::OnOperation(int buttonId) {
    const int32_t last = m_pEquation->m_nLastEntry;
    const bool afterOperand = last == CEquation::LAST_VALUE || last == CEquation::LAST_RIGHT_PAREN;
    CObEquation token;
    token.m_nKind = CObEquation::KIND_OPERATOR;
    if (buttonId == IDC_EQU_SUBTRACT) {
        token.m_nOperator = afterOperand ? CObEquation::OP_SUBTRACT : CObEquation::OP_NEGATE;
        Append(" -", token, CEquation::LAST_OPERATOR);
        return;
    }
    for (const Operation& op : kOperations) {
        if (op.button != buttonId) continue;
        if (!afterOperand) {
            ReportMessage(op.refusal, TRUE);
            return;
        }
        token.m_nOperator = op.op;
        Append(op.text, token, CEquation::LAST_OPERATOR);
        return;
    }
}

void CEquationDlg::OnLeftParen() {
    const int32_t last = m_pEquation->m_nLastEntry;
    if (last == CEquation::LAST_VALUE || last == CEquation::LAST_RIGHT_PAREN) {
        ReportMessage(kMsgLeftParen, TRUE);
        return;
    }
    CObEquation token;
    token.m_nKind = CObEquation::KIND_OPERATOR;
    token.m_nOperator = CObEquation::OP_LEFT_PAREN;
    const int before = m_pEquation->GetTokens().GetCount();
    Append(" (", token, CEquation::LAST_LEFT_PAREN);
    if (m_pEquation->GetTokens().GetCount() > before) ++m_pEquation->m_nLeftParens;
}

void CEquationDlg::OnRightParen() {
    const int32_t last = m_pEquation->m_nLastEntry;
    const bool afterOperand = last == CEquation::LAST_VALUE || last == CEquation::LAST_RIGHT_PAREN;
    if (!afterOperand || m_pEquation->m_nLeftParens <= m_pEquation->m_nRightParens) {
        ReportMessage(kMsgRightParen, TRUE);
        return;
    }
    CObEquation token;
    token.m_nKind = CObEquation::KIND_OPERATOR;
    token.m_nOperator = CObEquation::OP_RIGHT_PAREN;
    const int before = m_pEquation->GetTokens().GetCount();
    Append(" )", token, CEquation::LAST_RIGHT_PAREN);
    if (m_pEquation->GetTokens().GetCount() > before) ++m_pEquation->m_nRightParens;
}

void CEquationDlg::OnClear() {
    m_pEquation->InitDefaults();
    SetDlgItemText(IDC_EQU_TEXT, m_pEquation->m_strText);
}

void CEquationDlg::OnRButtonDown(UINT flags, fw::Point p) { TrackContextMenu(kMenuDialogPopups, kEditorPopup, p); }

void CEquationDlg::OnOK() { Close(true); }

void CEquationDlg::OnContextOK() { Close(false); }

void CEquationDlg::Close(bool fromButton) {
    if (!UpdateData(TRUE)) return;
    if (fromButton && GetFocusId() != fw::IDOK) {
        // Enter in another control does not close the editor.
        Beep();
        return;
    }
    if (m_pEquation->GetTokens().GetCount() == 0) {
        if (fw::MessageBox(Text(kMsgNoElements), fw::MB_OKCANCEL) == fw::IDOK) EndDialog(fw::IDOK);
        return;
    }
    if (!CheckEquation()) return;
    if (!ExpandNegations()) {
        ReportMessage(kMsgNegation, TRUE);
        return;
    }
    if (!CheckEquation()) return;
    EndDialog(fw::IDOK);
}

BOOL CEquationDlg::CheckEquation() {
    if (m_pEquation->m_nLeftParens != m_pEquation->m_nRightParens) {
        ReportMessage(kMsgMismatchedParens, TRUE);
        return FALSE;
    }
    if (m_pEquation->GetTokens().GetCount() >= kMaxEquationTokens) {
        ReportMessage(kMsgTooManyElements, TRUE);
        return FALSE;
    }
    // A trailing operation leaves the evaluator nothing to apply it to: the
    // graph would stay empty without a word.
    if (m_pEquation->m_nLastEntry == CEquation::LAST_OPERATOR) {
        ReportMessage(kMsgEndsWithOperation, TRUE);
        return FALSE;
    }
    return TRUE;
}

BOOL CEquationDlg::ExpandNegations() {
    const CObArrayEquation& tokens = m_pEquation->GetTokens();
    CObArrayEquation expanded;
    // Parentheses opened inside each open negation level.
    int open[kMaxNegationDepth + 1] = {};
    int depth = 0;
    auto op = [](int32_t code) {
        CObEquation t;
        t.m_nKind = CObEquation::KIND_OPERATOR;
        t.m_nOperator = code;
        return t;
    };
    auto closeLevel = [&] {
        expanded.AddCopy(op(CObEquation::OP_RIGHT_PAREN));
        --depth;
    };
    for (int i = 0; i < tokens.GetCount(); ++i) {
        const CObEquation& t = *tokens.GetTokenAt(i);
        if (t.m_nKind == CObEquation::KIND_OPERATOR) {
            switch (t.m_nOperator) {
            case CObEquation::OP_POWER:
            case CObEquation::OP_MULTIPLY:
            case CObEquation::OP_DIVIDE:
            case CObEquation::OP_ADD:
            case CObEquation::OP_SUBTRACT:
                expanded.AddCopy(t);
                break;
            case CObEquation::OP_NEGATE: {
                if (depth >= kMaxNegationDepth) return FALSE;
                open[++depth] = 0;
                expanded.AddCopy(op(CObEquation::OP_LEFT_PAREN));
                CObEquation minusOne;
                minusOne.m_nKind = CObEquation::KIND_NUMBER;
                minusOne.m_dNumber = -1.0;
                expanded.AddCopy(minusOne);
                expanded.AddCopy(op(CObEquation::OP_MULTIPLY));
                break;
            }
            case CObEquation::OP_LEFT_PAREN:
                expanded.AddCopy(t);
                if (depth > 0) ++open[depth];
                break;
            case CObEquation::OP_RIGHT_PAREN:
                expanded.AddCopy(t);
                if (depth > 0) {
                    if (open[depth] < 1) return FALSE;
                    if (--open[depth] == 0) closeLevel();
                }
                break;
            default:
                return FALSE;
            }
        } else if (t.m_nKind == CObEquation::KIND_VARIABLE || t.m_nKind == CObEquation::KIND_NUMBER) {
            expanded.AddCopy(t);
            if (depth > 0 && open[depth] == 0) closeLevel();
        } else {
            return FALSE;
        }
    }
    if (depth != 0) return FALSE;
    m_pEquation->GetTokens() = expanded;
    return TRUE;
}
