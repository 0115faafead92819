#include "setup/SelctDlg.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "records/Utils.h"
#include "setup/LinVltDg.h"
#include "setup/PartsDlg.h"

namespace {

using fw::ControlKind;

struct SelectOneLayout {
    UINT id;
    const char* title;
    SectionKind kind;
    const char* outputsGroup;  // nullptr: a plain dialog
    const char* variantGroup;
    std::vector<const char*> variants;
};

const std::vector<SelectOneLayout>& Layouts() {
    static const std::vector<SelectOneLayout> layouts = {
        {IDD_SELECT_CONTROL_SECTION, "Control Sections", SectionKind::ControlSection, nullptr, "Select One",
         {"Peak Current Mode Control", "Voltage Feed Forward Mode Control", "Voltage Mode Control",
          "Hysteretic Current Mode Control", "Average Current Mode Control"}},
        {IDD_SELECT_INPUT_CAPACITOR, "Input Capacitors", SectionKind::InputCapacitor, nullptr, "Select One",
         {"Single Capacitor", "Single Capacitor with Damping", "Doubler", "Doubler with Damping"}},
        {IDD_SELECT_LINE_FILTER, "Line Filters", SectionKind::LineFilter, nullptr, "Select One",
         {"1 Stage No Damping", "1 Stage with Damping Resistor", "1 Stage with Damping Resistor and Choke",
          "2 Stage No Damping", "2 Stage with Capacitor Damping", "2 Stage with Choke Damping",
          "2 Stage with Choke Damping and Choke", "2 Stage with Capacitor and Choke Damping", "2 Stage Complex Filter",
          "None"}},
        {IDD_SELECT_LINE_RECTIFIER, "Line Rectifiers", SectionKind::LineRectifier, nullptr, "Select One",
         {"None", "Half Wave", "Full Wave Bridge", "Half Wave Doubler", "Full Wave Single Capacitor",
          "Multi-Phase Doubler"}},
        {IDD_SELECT_LOAD_NETWORK, "Load Networks", SectionKind::LoadNetwork, "Outputs", "Select One",
         {"Resistive Load", "Inductive and Resistive Load", "Current Source Load", "Complex Load"}},
        {IDD_SELECT_OPTO_ISOLATOR, "Opto-Isolators", SectionKind::OptoIsolator, nullptr, "Select One",
         {"Voltage Drive Transmitter, Inverter Receiver", "Current Drive Transmitter, Follower Receiver",
          "Voltage Drive Transmitter, Inverter Receiver with Compensation Pole",
          "Current Drive Transmitter, Inverter Receiver with Op Amp Inverter",
          "Voltage Drive Transmitter, Follower Receiver with Op Amp Inverter",
          "Voltage Drive Transmitter, Follower Receiver with Op Amp Inverter and Compensation Pole", "None"}},
        {IDD_SELECT_OUTPUT_CHOKE, "Output Chokes", SectionKind::OutputChoke, "Output", "Select One",
         {"Output Choke", "Output Choke with Skimmer Choke"}},
        {IDD_SELECT_FIRST_STAGE_FILTER, "Output Filter, First Stage Capacitor", SectionKind::FirstStageOutputFilter,
         "Output", "Select One",
         {"Single Capacitor", "Capacitor with Damping", "Single Capacitor with Current Sensing",
          "Capacitor with Damping and Current Sensing"}},
        {IDD_SELECT_SECOND_STAGE_FILTER, "Second Stage Output Filters", SectionKind::SecondStageOutputFilter, "Output",
         "Select One",
         {"None", "LC Filter", "LC with Inductor Damping", "LC with Capacitor Damping",
          "LC with Inductor Damping and Damping Inductor", "LC with Inductor and Capacitor Damping",
          "LC with Inductor Damping, Damping Inductor, and Capacitor Damping"}},
        {IDD_SELECT_PRIMARY_SECTION, "Primary Sections", SectionKind::PrimarySection, nullptr, "Select One",
         {"Two Switch with Current Transformer", "Two Switch with Current Sense Resistor",
          "Single Switch with Current Transformer", "Single Switch with Current Sense Resistor",
          "Resonant Reset with Current Transformer", "Resonant Reset with Current Sense Resistor",
          "Active Clamp with Current Transformer", "Active Clamp with Current Sense Resistor",
          "Passive Clamp with Current Transformer", "Passive Clamp with Current Sense Resistor"}},
        {IDD_SELECT_SECONDARY_SECTION, "Secondary Sections", SectionKind::SecondarySection, "Output", "",
         {"Double Rectifier Half Wave"}},
        {IDD_SELECT_VOLTAGE_ERROR_AMP, "Voltage Error Amplifiers", SectionKind::VoltageErrorAmp, nullptr, "Select One",
         {"Three Poles, Two Zeroes", "Two Poles, One Zero", "Single Pole, Single Zero", "Single Pole",
          "Three Poles, Two Zeroes with DC Feedback", "Two Poles, One Zero with DC Feedback",
          "Single Pole, Single Zero with DC Feedback", "Single Pole with DC Feedback"}},
    };
    return layouts;
}

const SelectOneLayout* FindLayout(UINT id) {
    for (const SelectOneLayout& s : Layouts())
        if (s.id == id) return &s;
    return nullptr;
}

// Dialog units per character of the dialog font, with room to spare, so
// that no radio text is cut.
constexpr int kCharWidth = 4;
constexpr int kButtonWidth = 50;
constexpr int kButtonHeight = 14;
constexpr int kRadioStep = 13;

fw::FormTable SelectOneForm(const SelectOneLayout& s) {
    size_t longest = 0;
    for (const char* v : s.variants) longest = std::max(longest, std::strlen(v));
    const int radioWidth = std::max(120, static_cast<int>(longest) * kCharWidth + 20);
    const int width = radioWidth + 40;
    std::vector<fw::FormControl> c;
    int y = 6;
    if (s.outputsGroup) {
        c.push_back({fw::IDC_STATIC, ControlKind::GroupBox, s.outputsGroup, 7, y, width - 14, 28});
        static const char* const kOutputs[] = {"1", "2", "3", "4"};
        const int step = (width - 40) / 4;
        for (int k = 0; k < 4; ++k)
            c.push_back({IDC_SELECT_OUTPUT1 + k, ControlKind::RadioButton, kOutputs[k], 20 + k * step, y + 12, 24, 10,
                         k == 0 ? fw::kGroup | fw::kTabStop : 0u});
        y += 34;
    }
    const int n = static_cast<int>(s.variants.size());
    c.push_back({fw::IDC_STATIC, ControlKind::GroupBox, s.variantGroup, 7, y, width - 14, 16 + n * kRadioStep});
    for (int i = 0; i < n; ++i)
        c.push_back({IDC_SELECT_VARIANT0 + i, ControlKind::RadioButton, s.variants[size_t(i)], 17,
                     y + 12 + i * kRadioStep, radioWidth, 10, i == 0 ? fw::kGroup | fw::kTabStop : 0u});
    y += 16 + n * kRadioStep + 8;
    if (s.kind == SectionKind::OutputChoke) {
        c.push_back({IDC_SELECT_MAGNETIC_COUPLING, ControlKind::CheckBox, "Magnetic Coupling", 17, y + 2, 90, 10,
                     fw::kGroup | fw::kTabStop});
        c.push_back({IDC_SELECT_MUTUAL_INDUCTANCE, ControlKind::PushButton, "Mut. Ind.", 112, y, 50, kButtonHeight,
                     fw::kTabStop});
        y += kButtonHeight + 8;
    }
    c.push_back({fw::IDOK, ControlKind::DefPushButton, "OK", width / 2 - kButtonWidth - 8, y, kButtonWidth,
                 kButtonHeight, fw::kGroup | fw::kTabStop});
    c.push_back({fw::IDCANCEL, ControlKind::PushButton, "Cancel", width / 2 + 8, y, kButtonWidth, kButtonHeight,
                 fw::kTabStop});
    return {s.id, s.title, width, y + kButtonHeight + 7, fw::kFormCenter, std::move(c)};
}

std::vector<fw::FormTable> MakeSelectForms() {
    std::vector<fw::FormTable> forms;
    for (const SelectOneLayout& s : Layouts()) forms.push_back(SelectOneForm(s));
    return forms;
}

const std::vector<fw::FormTable>& SelectForms() {
    static const std::vector<fw::FormTable> forms = MakeSelectForms();
    return forms;
}

struct RegisterSelectForms {
    RegisterSelectForms() {
        for (const fw::FormTable& f : SelectForms()) fw::FormRegistrar{f};
    }
} g_selectForms;

const fw::FormTable kLineSourceForm{
    IDD_SELECT_LINE_SOURCE,
    "Line Source",
    190,
    118,
    fw::kFormCenter,
    {
        {fw::IDC_STATIC, ControlKind::GroupBox, "", 7, 6, 80, 82},
        {IDC_LINE_SOURCE_DC, ControlKind::RadioButton, "DC", 17, 18, 62, 10, fw::kGroup | fw::kTabStop},
        {IDC_LINE_SOURCE_DC + 1, ControlKind::RadioButton, "1 Phase AC", 17, 35, 62, 10},
        {IDC_LINE_SOURCE_DC + 2, ControlKind::RadioButton, "2 Phase AC", 17, 52, 62, 10},
        {IDC_LINE_SOURCE_DC + 3, ControlKind::RadioButton, "3 Phase AC", 17, 69, 62, 10},
        {fw::IDC_STATIC, ControlKind::GroupBox, "Component Values", 94, 6, 89, 82},
        {IDC_LINE_VOLTAGE, ControlKind::PushButton, " Line Voltage...", 102, 18, 74, kButtonHeight,
         fw::kGroup | fw::kTabStop},
        {IDC_LINE_INDUCTANCE, ControlKind::PushButton, " Line Inductance...", 102, 42, 74, kButtonHeight,
         fw::kTabStop},
        {IDC_LINE_RESISTANCE, ControlKind::PushButton, " Line Resistance...", 102, 66, 74, kButtonHeight,
         fw::kTabStop},
        {fw::IDOK, ControlKind::DefPushButton, "OK", 37, 97, kButtonWidth, kButtonHeight, fw::kGroup | fw::kTabStop},
        {fw::IDCANCEL, ControlKind::PushButton, "Cancel", 103, 97, kButtonWidth, kButtonHeight, fw::kTabStop},
    },
};
fw::FormRegistrar g_lineSourceForm(kLineSourceForm);

constexpr UINT kMsgSelectItem = 53021;
constexpr UINT kMsgDCLineSource = 53005;
constexpr UINT kMsgInsufficientMemory = 52094;
constexpr UINT kMsgNotAvailable = 58601;

}  // namespace

int VariantCount(SectionKind kind) {
    for (const SelectOneLayout& s : Layouts())
        if (s.kind == kind) return static_cast<int>(s.variants.size());
    return 0;
}

CSection* OutputSectionOf(CPwrQuorraDoc& doc, SectionKind kind, int output) {
    if (output < 0 || output > 3) return nullptr;
    switch (kind) {
    case SectionKind::SecondarySection: {
        CSecondarySection* s[] = {doc.GetSecondarySection1(), doc.GetSecondarySection2(), doc.GetSecondarySection3(),
                                  doc.GetSecondarySection4()};
        return s[output];
    }
    case SectionKind::OutputChoke: {
        COutputChoke* s[] = {doc.GetOutputChoke1(), doc.GetOutputChoke2(), doc.GetOutputChoke3(),
                             doc.GetOutputChoke4()};
        return s[output];
    }
    case SectionKind::FirstStageOutputFilter: {
        C1StgOutputFilter* s[] = {doc.Get1StgOutputFilter1(), doc.Get1StgOutputFilter2(), doc.Get1StgOutputFilter3(),
                                  doc.Get1StgOutputFilter4()};
        return s[output];
    }
    case SectionKind::SecondStageOutputFilter: {
        C2StgOutputFilter* s[] = {doc.Get2StgOutputFilter1(), doc.Get2StgOutputFilter2(), doc.Get2StgOutputFilter3(),
                                  doc.Get2StgOutputFilter4()};
        return s[output];
    }
    case SectionKind::LoadNetwork: {
        CLoadNetwork* s[] = {doc.GetLoadNetwork1(), doc.GetLoadNetwork2(), doc.GetLoadNetwork3(),
                             doc.GetLoadNetwork4()};
        return s[output];
    }
    default: return nullptr;
    }
}

// ---------------------------------------------------------------------------
// CSelectOneDlg

CSelectOneDlg::CSelectOneDlg(UINT templateId, WORD* variant, fw::Window* parent)
    : fw::Dialog(templateId, parent), m_pVariant(variant) {
    const SelectOneLayout* layout = FindLayout(templateId);
    m_nVariants = layout ? static_cast<int>(layout->variants.size()) : 0;
    // A stored variant this dialog has no radio for checks none.
    m_nVariant = *variant < m_nVariants ? *variant : -1;
}

void CSelectOneDlg::DoDataExchange(fw::DataExchange& dx) { fw::DDX_Radio(dx, IDC_SELECT_VARIANT0, m_nVariant); }

void CSelectOneDlg::OnOK() {
    if (!UpdateData(TRUE)) return;
    if (m_nVariant >= 0 && m_nVariant < m_nVariants) {
        *m_pVariant = static_cast<WORD>(m_nVariant);
        fw::Dialog::OnOK();
        return;
    }
    *m_pVariant = kTopologyNotChosen;
    ReportMessage(kMsgSelectItem, TRUE);
}

void CSelectOneDlg::DisableVariant(int n) {
    if (fw::Control* c = GetDlgItem(IDC_SELECT_VARIANT0 + n)) c->EnableWindow(FALSE);
}

BOOL CSelectLineRectifierDlg::OnInitDialog() {
    CSelectOneDlg::OnInitDialog();
    CDocServices* doc = GetCurrentDoc();
    const WORD type = doc ? doc->GetLineFilter()->GetLineSourceType() : kTopologyNotChosen;
    std::vector<int> off;
    switch (type) {
    case CLineFilter::SOURCE_DC: off = {2, 3, 4, 5}; break;
    case CLineFilter::SOURCE_1_PHASE_AC: off = {0, 4, 5}; break;
    case CLineFilter::SOURCE_2_PHASE_AC:
    case CLineFilter::SOURCE_3_PHASE_AC: off = {0, 2, 3}; break;
    default:
        ReportMessage1(kModuleSelctDlg, 2200, FALSE);
        off = {0, 1, 2, 3, 4, 5};
        break;
    }
    for (int n : off) DisableVariant(n);
    return TRUE;
}

BOOL CSelectInputCapacitorDlg::OnInitDialog() {
    CSelectOneDlg::OnInitDialog();
    CDocServices* doc = GetCurrentDoc();
    const WORD rectifier = doc ? doc->GetLineRectifier()->GetTopology() : kTopologyNotChosen;
    std::vector<int> off;
    switch (rectifier) {
    case 0:
    case 1:
    case 2:
    case 4: off = {2, 3}; break;
    case 3:
    case 5: off = {0, 1}; break;
    default:
        ReportMessage1(kModuleSelctDlg, 2201, FALSE);
        off = {0, 1, 2, 3};
        break;
    }
    for (int n : off) DisableVariant(n);
    return TRUE;
}

// ---------------------------------------------------------------------------
// CSelectPerOutputDlg

CSelectPerOutputDlg::CSelectPerOutputDlg(UINT templateId, SectionKind kind, int firstCode, WORD* variant,
                                         WORD* output, CPwrQuorraDoc* doc, fw::Window* parent)
    : fw::Dialog(templateId, parent),
      m_pDoc(doc),
      m_kind(kind),
      m_nFirstCode(firstCode),
      m_pVariant(variant),
      m_pOutput(output),
      m_wVariants{kTopologyNotChosen, kTopologyNotChosen, kTopologyNotChosen, kTopologyNotChosen},
      m_nOutput(*output < 4 ? *output : -1),
      m_nVariant(-1),
      m_nVariants(VariantCount(kind)) {
    for (int k = 0; k < 4; ++k) OnClicked(IDC_SELECT_OUTPUT1 + k, [this] { OnChoiceClicked(); });
    for (int n = 0; n < m_nVariants; ++n) OnClicked(IDC_SELECT_VARIANT0 + n, [this] { OnChoiceClicked(); });
}

WORD CSelectPerOutputDlg::SectionVariant(int output) const {
    CSection* s = m_pDoc ? OutputSectionOf(*m_pDoc, m_kind, output) : nullptr;
    return s ? s->GetTopology() : kTopologyNotChosen;
}

void CSelectPerOutputDlg::MoveToFirstEnabledOutput() {
    m_nOutput = -1;
    const CRequirements* req = m_pDoc ? m_pDoc->GetRequirements() : nullptr;
    for (int k = 0; k < 4; ++k) {
        if (req && req->IsOutputEnabled(k)) {
            m_nOutput = k;
            *m_pOutput = static_cast<WORD>(k);
            *m_pVariant = SectionVariant(k);
            return;
        }
    }
    ReportMessage1(kModuleSelctDlg, m_nFirstCode, FALSE);
}

BOOL CSelectPerOutputDlg::OnInitDialog() {
    const CRequirements* req = m_pDoc ? m_pDoc->GetRequirements() : nullptr;
    // A remembered output that is no output at all starts on the first
    // enabled one, as a disabled one does.
    bool move = *m_pOutput > 3;
    for (int k = 3; k >= 0; --k) {
        if (!req || !req->IsOutputEnabled(k)) {
            if (fw::Control* c = GetDlgItem(IDC_SELECT_OUTPUT1 + k)) c->EnableWindow(FALSE);
            if (*m_pOutput == k) move = true;
            continue;
        }
        m_wVariants[size_t(k)] = SectionVariant(k);
        if (*m_pOutput == k) *m_pVariant = m_wVariants[size_t(k)];
    }
    if (move) MoveToFirstEnabledOutput();
    else m_nOutput = *m_pOutput;
    m_nVariant = *m_pVariant < m_nVariants ? *m_pVariant : -1;
    InitCoupling();
    return fw::Dialog::OnInitDialog();
}

void CSelectPerOutputDlg::DoDataExchange(fw::DataExchange& dx) {
    fw::DDX_Radio(dx, IDC_SELECT_OUTPUT1, m_nOutput);
    ExchangeCoupling(dx);
    fw::DDX_Radio(dx, IDC_SELECT_VARIANT0, m_nVariant);
}

void CSelectPerOutputDlg::OnChoiceClicked() {
    // Store the variant of the output being left.
    *m_pVariant = kTopologyNotChosen;
    bool complete = true;
    int checked = -1;
    for (int n = 0; n < m_nVariants; ++n) {
        const fw::Control* r = GetDlgItem(IDC_SELECT_VARIANT0 + n);
        if (!r) {
            ReportMessage1(kModuleSelctDlg, m_nFirstCode + 1, FALSE);
            complete = false;
            break;
        }
        if (checked < 0 && r->GetCheck()) checked = n;
    }
    if (complete) {
        const WORD variant = checked < 0 ? kTopologyNotChosen : static_cast<WORD>(checked);
        *m_pVariant = variant;
        if (m_nOutput >= 0 && m_nOutput <= 3) m_wVariants[size_t(m_nOutput)] = variant;
        else ReportMessage1(kModuleSelctDlg, m_nFirstCode + 2, FALSE);
    }

    UpdateData(TRUE);

    // Show the variant remembered for the output now checked.
    if (m_nOutput < 0 || m_nOutput > 3) {
        ReportMessage1(kModuleSelctDlg, m_nFirstCode + 3, FALSE);
        return;
    }
    const WORD shown = m_wVariants[size_t(m_nOutput)];
    *m_pVariant = shown;
    for (int n = 0; n < m_nVariants; ++n) CheckDlgButton(IDC_SELECT_VARIANT0 + n, n == shown ? 1 : 0);
    m_nVariant = shown < m_nVariants ? shown : -1;
}

void CSelectPerOutputDlg::OnOK() {
    if (!UpdateData(TRUE)) return;
    // Without an enabled output there is nothing to edit: the output index
    // must name one.
    if (m_nVariant >= 0 && m_nVariant < m_nVariants && m_nOutput >= 0 && m_nOutput <= 3) {
        *m_pVariant = static_cast<WORD>(m_nVariant);
        *m_pOutput = static_cast<WORD>(m_nOutput);
        fw::Dialog::OnOK();
        return;
    }
    *m_pVariant = kTopologyNotChosen;
    ReportMessage(kMsgSelectItem, TRUE);
}

// ---------------------------------------------------------------------------
// CSelectOutputChokeDlg

CSelectOutputChokeDlg::CSelectOutputChokeDlg(UINT templateId, WORD* variant, WORD* output,
                                             COutputChokeMutualInd* coupling, CPwrQuorraDoc* doc, fw::Window* parent)
    : CSelectPerOutputDlg(templateId, SectionKind::OutputChoke, 2206, variant, output, doc, parent),
      m_pCoupling(coupling) {
    OnClicked(IDC_SELECT_MAGNETIC_COUPLING, [this] { OnMagneticCoupling(); });
    OnClicked(IDC_SELECT_MUTUAL_INDUCTANCE, [this] { OnMutualInductance(); });
}

void CSelectOutputChokeDlg::ExchangeCoupling(fw::DataExchange& dx) {
    fw::DDX_Check(dx, IDC_SELECT_MAGNETIC_COUPLING, m_pCoupling->m_bCouplingEnabled);
}

void CSelectOutputChokeDlg::InitCoupling() {
    const CRequirements* req = m_pDoc ? m_pDoc->GetRequirements() : nullptr;
    if (!req || req->GetOutputCount() < 2) {
        if (fw::Control* c = GetDlgItem(IDC_SELECT_MAGNETIC_COUPLING)) c->EnableWindow(FALSE);
        EnableMutualInductance(false);
    }
    if (!m_pCoupling->m_bCouplingEnabled) EnableMutualInductance(false);
}

void CSelectOutputChokeDlg::EnableMutualInductance(bool on) {
    if (fw::Control* c = GetDlgItem(IDC_SELECT_MUTUAL_INDUCTANCE)) c->EnableWindow(on ? TRUE : FALSE);
}

void CSelectOutputChokeDlg::OnMagneticCoupling() {
    UpdateData(TRUE);
    if (!m_pCoupling->m_bCouplingEnabled) {
        EnableMutualInductance(false);
        return;
    }
    RunCouplingDialog(true);
}

void CSelectOutputChokeDlg::OnMutualInductance() { RunCouplingDialog(false); }

void CSelectOutputChokeDlg::RunCouplingDialog(bool ticked) {
    const CouplingDialogFn* run = FindCouplingDialog();
    if (!run) {
        // Without the coupling editor the coupling stays as it was before
        // the box was ticked.
        ReportMessage(kMsgNotAvailable, TRUE);
        if (ticked) SetCoupling(FALSE);
        return;
    }
    const CouplingDialogResult r = (*run)(*m_pCoupling);
    if (r.result == fw::IDOK) EnableMutualInductance(true);
    else SetCoupling(r.anyNonZero ? TRUE : FALSE);
}

void CSelectOutputChokeDlg::SetCoupling(BOOL on) {
    EnableMutualInductance(on != FALSE);
    m_pCoupling->m_bCouplingEnabled = on;
    CheckDlgButton(IDC_SELECT_MAGNETIC_COUPLING, on);
}

// ---------------------------------------------------------------------------
// CSelectLineSourceDlg

CSelectLineSourceDlg::CSelectLineSourceDlg(CLineFilter* lineFilter, UINT templateId, fw::Window* parent)
    : fw::Dialog(templateId, parent), m_pLineFilter(lineFilter) {
    const WORD type = lineFilter->GetLineSourceType();
    m_nType = type <= CLineFilter::SOURCE_3_PHASE_AC ? type : -1;
    OnClicked(IDC_LINE_VOLTAGE, [this] { OnLineVoltage(); });
    OnClicked(IDC_LINE_INDUCTANCE, [this] { OnLineInductance(); });
    OnClicked(IDC_LINE_RESISTANCE, [this] { OnLineResistance(); });
}

void CSelectLineSourceDlg::DoDataExchange(fw::DataExchange& dx) { fw::DDX_Radio(dx, IDC_LINE_SOURCE_DC, m_nType); }

void CSelectLineSourceDlg::OnOK() {
    if (!UpdateData(TRUE)) return;
    // The type must be one of the four: an unchecked group would store a
    // number that is neither a type nor "not chosen".
    if (m_nType < CLineFilter::SOURCE_DC || m_nType > CLineFilter::SOURCE_3_PHASE_AC) {
        ReportMessage(kMsgSelectItem, TRUE);
        return;
    }
    const CLineVoltage& v = m_pLineFilter->GetLineVoltage();
    if (m_nType == CLineFilter::SOURCE_DC && v.m_dDCMagnitude < v.m_dACPeakMagnitude) {
        ReportMessage(kMsgDCLineSource, TRUE);
        return;
    }
    EndDialog(fw::IDOK);
    m_pLineFilter->SetLineSourceType(static_cast<WORD>(m_nType));
}

namespace {

// Edits one member record of the line filter copy on a copy of its own; a
// changed record goes back on OK.
template <class Rec, class Run>
void EditLinePart(fw::Dialog& owner, Rec& member, Run run) {
    Rec* copy = new (std::nothrow) Rec;
    if (!copy) {
        ReportMessage(kMsgInsufficientMemory, TRUE);
        return;
    }
    *copy = member;
    if (run(copy) == fw::IDOK && *copy != member) {
        member = *copy;
        owner.Invalidate(FALSE);
    }
    delete copy;
}

}  // namespace

void CSelectLineSourceDlg::OnLineVoltage() {
    EditLinePart(*this, m_pLineFilter->GetLineVoltage(),
                 [](CLineVoltage* v) { return CLineVoltageDlg(v, nullptr).DoModal(); });
}

void CSelectLineSourceDlg::OnLineInductance() {
    EditLinePart(*this, m_pLineFilter->GetLineInductance(), [](CInductor* l) {
        return CInductorDlg2(l, IDD_INDUCTOR_SHORT, "Line Inductance", nullptr).DoModal();
    });
}

void CSelectLineSourceDlg::OnLineResistance() {
    EditLinePart(*this, m_pLineFilter->GetLineResistance(), [](CResistor* r) {
        return CResistorDlg(r, IDD_RESISTOR, "Line Resistance", nullptr).DoModal();
    });
}
