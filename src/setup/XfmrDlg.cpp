#include "setup/XfmrDlg.h"

#include <algorithm>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "platform/core/Format.h"
#include "records/Utils.h"
#include "setup/PartsForms.h"

namespace {

using fw::ControlKind;
using W = CPwrTransformer;

constexpr unsigned kField = fw::kTabStop | fw::kBorder;
constexpr int kMargin = 7;
constexpr int kRowStep = 15;
constexpr int kCellWidth = 56;
constexpr int kCellStep = 60;
constexpr int kEditHeight = 12;

WindingConnectionsEditor& Editor() {
    static WindingConnectionsEditor editor;
    return editor;
}

int PairBox(int base, int earlier, int later) { return base + W::PairIndex(earlier, later); }

// The power transformer grid, with or without the reset column.
fw::FormTable GridForm(UINT id, bool withReset) {
    const int columns = withReset ? 6 : 5;
    struct Row {
        const char* label;
        const char* unit;
        int firstColumn;  // the grid's first column with a box on this row
        int (*box)(int column);
        bool display;     // read-only coupling boxes
    };
    static const Row rows[] = {
        {"Turns", nullptr, 0, [](int w) { return IDC_XFMR_TURNS + w; }, false},
        {"DC Component Winding Resistance", "ohms", 0, [](int w) { return IDC_XFMR_DC_RESISTANCE + w; }, false},
        {"AC Component Winding Resistance", "ohms", 0, [](int w) { return IDC_XFMR_AC_RESISTANCE + w; }, false},
        {"Open Circuit Inductance", "henries", 0, [](int w) { return IDC_XFMR_OPEN_INDUCTANCE + w; }, false},
        {"Inductance, Primary Shorted", "henries", 1, [](int w) { return PairBox(IDC_XFMR_SHORTED_INDUCTANCE, 0, w); },
         false},
        {"Inductance, Secondary 1 Shorted", "henries", 2,
         [](int w) { return PairBox(IDC_XFMR_SHORTED_INDUCTANCE, 1, w); }, false},
        {"Inductance, Secondary 2 Shorted", "henries", 3,
         [](int w) { return PairBox(IDC_XFMR_SHORTED_INDUCTANCE, 2, w); }, false},
        {"Inductance, Secondary 3 Shorted", "henries", 4,
         [](int w) { return PairBox(IDC_XFMR_SHORTED_INDUCTANCE, 3, w); }, false},
        {"Inductance, Secondary 4 Shorted", "henries", 5,
         [](int w) { return PairBox(IDC_XFMR_SHORTED_INDUCTANCE, 4, w); }, false},
        {"Intrawinding Capacitance", "farads", 0, [](int w) { return IDC_XFMR_CAPACITANCE + w; }, false},
        {"Coupling Coefficient to Primary", nullptr, 1, [](int w) { return PairBox(IDC_XFMR_COUPLING, 0, w); }, true},
        {"Coupling Coefficient to Secondary 1", nullptr, 2, [](int w) { return PairBox(IDC_XFMR_COUPLING, 1, w); },
         true},
        {"Coupling Coefficient to Secondary 2", nullptr, 3, [](int w) { return PairBox(IDC_XFMR_COUPLING, 2, w); },
         true},
        {"Coupling Coeffieient to Secondary 3", nullptr, 4, [](int w) { return PairBox(IDC_XFMR_COUPLING, 3, w); },
         true},
        {"Coupling Coefficient to Secondary 4", nullptr, 5, [](int w) { return PairBox(IDC_XFMR_COUPLING, 4, w); },
         true},
    };
    int labelWidth = 0;
    for (const Row& r : rows) labelWidth = std::max(labelWidth, parts_forms::TextWidth(r.label));
    const int unitX = kMargin + labelWidth + 4;
    const int unitWidth = parts_forms::TextWidth("henries");
    const int gridX = unitX + unitWidth + 4;
    const int cx = gridX + columns * kCellStep + kMargin - (kCellStep - kCellWidth);

    std::vector<fw::FormControl> c;
    int y = kMargin;
    c.push_back({fw::IDC_STATIC, ControlKind::Static, "Name or Part Number", kMargin, y + 2, labelWidth, 8});
    c.push_back({1000, ControlKind::Edit, "", unitX, y, cx - kMargin - unitX, kEditHeight, kField | fw::kGroup});
    y += kRowStep + 6;
    static const char* const headers[] = {"Primary ", "Secondary 1", "Secondary 2", "Secondary 3", "Secondary 4",
                                          "Reset "};
    for (int w = 0; w < columns; ++w) {
        const int headerId = (w >= 1 && w <= 4) ? IDC_XFMR_SECONDARY_HEADER + w : fw::IDC_STATIC;
        c.push_back({headerId, ControlKind::Static, headers[w], gridX + w * kCellStep, y, kCellWidth, 8, fw::kCenter});
    }
    y += 11;
    for (const Row& r : rows) {
        if (r.firstColumn >= columns) continue;
        c.push_back({fw::IDC_STATIC, ControlKind::Static, r.label, kMargin, y + 2, labelWidth, 8});
        if (r.unit) c.push_back({fw::IDC_STATIC, ControlKind::Static, r.unit, unitX, y + 2, unitWidth, 8});
        for (int w = r.firstColumn; w < columns; ++w) {
            c.push_back({r.box(w), ControlKind::Edit, "", gridX + w * kCellStep, y, kCellWidth, kEditHeight,
                         r.display ? fw::kBorder | fw::kReadOnly : kField});
        }
        y += kRowStep;
    }
    y += 4;
    c.push_back({fw::IDC_STATIC, ControlKind::Static, "Core Power Loss", kMargin, y + 2, labelWidth, 8});
    c.push_back({IDC_XFMR_CORE_POWER_LOSS, ControlKind::Edit, "", gridX, y, kCellWidth, kEditHeight, kField});
    c.push_back({fw::IDC_STATIC, ControlKind::Static, "watts", gridX + kCellWidth + 4, y + 2, 30, 8});
    y += kRowStep + 6;
    const char* const satText = "Core Saturation Characteristics ...";
    const char* const connText = "Secondary Winding Connections ...";
    const int satWidth = parts_forms::TextWidth(satText) + 12;
    const int connWidth = parts_forms::TextWidth(connText) + 12;
    c.push_back({IDC_CORE_SAT_BUTTON, ControlKind::PushButton, satText, kMargin, y, satWidth, 14, fw::kTabStop});
    c.push_back({IDC_XFMR_WINDING_CONNECTIONS, ControlKind::PushButton, connText, kMargin + satWidth + 8, y,
                 connWidth, 14, fw::kTabStop});
    y += 14 + 10;
    parts_forms::AddButtonRow(c, cx, y, true);
    return {id, "Transformer", cx, y + 14 + 6, fw::kFormCenter, std::move(c)};
}

fw::FormTable SenseForm() {
    struct Row {
        const char* label;
        const char* unit;
        int primary;  // -1: none
        int secondary;
        bool display;
    };
    static const Row rows[] = {
        {"Turns", nullptr, IDC_CS_PRIMARY_TURNS, IDC_CS_SECONDARY_TURNS, false},
        {"DC Component Winding Resistance", "ohms", IDC_CS_PRIMARY_DC_RESISTANCE, IDC_CS_SECONDARY_DC_RESISTANCE,
         false},
        {"AC Component Winding Resistance", "ohms", IDC_CS_PRIMARY_AC_RESISTANCE, IDC_CS_SECONDARY_AC_RESISTANCE,
         false},
        {"Open Circuit Inductance", "henries", IDC_CS_PRIMARY_INDUCTANCE, IDC_CS_SECONDARY_INDUCTANCE, false},
        {"Inductance, Primary Shorted", "henries", -1, IDC_CS_SHORTED_INDUCTANCE, false},
        {"Coupling Coefficient to Primary", nullptr, -1, IDC_CS_COUPLING, true},
    };
    int labelWidth = 0;
    for (const Row& r : rows) labelWidth = std::max(labelWidth, parts_forms::TextWidth(r.label));
    const int unitX = kMargin + labelWidth + 4;
    const int unitWidth = parts_forms::TextWidth("henries");
    const int gridX = unitX + unitWidth + 4;
    const int cx = std::max(gridX + 2 * kCellStep + kMargin - (kCellStep - kCellWidth), 4 * 50 + 3 * 8 + 2 * kMargin);

    std::vector<fw::FormControl> c;
    int y = kMargin;
    c.push_back({fw::IDC_STATIC, ControlKind::Static, "Name or Part Number", kMargin, y + 2, labelWidth, 8});
    c.push_back({1000, ControlKind::Edit, "", unitX, y, cx - kMargin - unitX, kEditHeight, kField | fw::kGroup});
    y += kRowStep + 6;
    c.push_back({fw::IDC_STATIC, ControlKind::Static, "Primary ", gridX, y, kCellWidth, 8, fw::kCenter});
    c.push_back({fw::IDC_STATIC, ControlKind::Static, "Secondary 1", gridX + kCellStep, y, kCellWidth, 8, fw::kCenter});
    y += 11;
    for (const Row& r : rows) {
        c.push_back({fw::IDC_STATIC, ControlKind::Static, r.label, kMargin, y + 2, labelWidth, 8});
        if (r.unit) c.push_back({fw::IDC_STATIC, ControlKind::Static, r.unit, unitX, y + 2, unitWidth, 8});
        if (r.primary >= 0) c.push_back({r.primary, ControlKind::Edit, "", gridX, y, kCellWidth, kEditHeight, kField});
        c.push_back({r.secondary, ControlKind::Edit, "", gridX + kCellStep, y, kCellWidth, kEditHeight,
                     r.display ? fw::kBorder | fw::kReadOnly : kField});
        y += kRowStep;
    }
    y += 4;
    c.push_back({fw::IDC_STATIC, ControlKind::Static, "Core Power Loss", kMargin, y + 2, labelWidth, 8});
    c.push_back({IDC_CORE_POWER_LOSS, ControlKind::Edit, "", gridX, y, kCellWidth, kEditHeight, kField});
    c.push_back({fw::IDC_STATIC, ControlKind::Static, "watts", gridX + kCellWidth + 4, y + 2, 30, 8});
    y += kRowStep + 6;
    const char* const satText = "Core Saturation Characteristics...";
    c.push_back({IDC_CORE_SAT_BUTTON, ControlKind::PushButton, satText, kMargin, y,
                 parts_forms::TextWidth(satText) + 12, 14, fw::kTabStop});
    y += 14 + 10;
    parts_forms::AddButtonRow(c, cx, y, true);
    return {IDD_TRANSFORMER, "Transformer", cx, y + 14 + 6, fw::kFormCenter, std::move(c)};
}

const fw::FormTable kResetForm = GridForm(IDD_PWR_TRANSFORMER_RESET, true);
const fw::FormTable kNoResetForm = GridForm(IDD_PWR_TRANSFORMER, false);
const fw::FormTable kSenseForm = SenseForm();
const fw::FormRegistrar g_forms[] = {fw::FormRegistrar(kResetForm), fw::FormRegistrar(kNoResetForm),
                                     fw::FormRegistrar(kSenseForm)};

constexpr double kMinTurns = 0.5;
constexpr double kMaxTurns = 10000.0;
constexpr double kMinResistance = 1e-6;
constexpr double kMaxResistance = 10000.0;
constexpr double kMinOpenInductance = 1e-7;
constexpr double kMaxInductance = 100.0;
constexpr double kMinShortedInductance = 1e-9;
// A shorted-winding inductance must stay this far below the open circuit
// inductance, so that the coupling is below 1.
constexpr double kShortedMargin = 1e-9;
constexpr double kMinCapacitance = 1e-13;
constexpr double kMaxCapacitance = 1e-5;
constexpr double kMaxPowerLoss = 100000.0;

void SetBox(fw::Dialog& dlg, int id, const std::string& text) {
    if (dlg.GetDlgItem(id)) dlg.SetDlgItemText(id, text);
}

}  // namespace

void SetWindingConnectionsEditor(WindingConnectionsEditor editor) { Editor() = std::move(editor); }

// ---------------------------------------------------------------------------
// The check on leaving a value box

BOOL CCouplingDlgBase::OnCommand(UINT id, UINT code) {
    if (code == fw::EN_KILLFOCUS && IsValueBox(int(id))) {
        OnKillFocusValue();
        return TRUE;
    }
    if (code == fw::BN_CLICKED && id == UINT(fw::IDOK) && m_bFocusCheckFailed) {
        m_bFocusCheckFailed = false;
        return TRUE;
    }
    if (code != fw::EN_SETFOCUS) m_bFocusCheckFailed = false;
    return CPartDlgBase::OnCommand(id, code);
}

void CCouplingDlgBase::OnKillFocusValue() {
    // The message box of a failed check takes the focus itself; that must
    // not start another check.
    if (m_bInFocusCheck) return;
    m_bInFocusCheck = true;
    if (UpdateData(TRUE)) UpdateCouplingDisplay();
    else m_bFocusCheckFailed = true;
    m_bInFocusCheck = false;
}

// ---------------------------------------------------------------------------
// Power transformer

CPwrTransformerDlg::CPwrTransformerDlg(CPwrTransformer* record, CRequirements* requirements, UINT templateId,
                                       const char* caption, fw::Window* parent)
    : CPwrTransformerDlg(record, requirements, templateId, caption, parent, false) {}

CPwrTransformerDlg::CPwrTransformerDlg(CPwrTransformer* record, CRequirements* requirements, UINT templateId,
                                       const char* caption, fw::Window* parent, bool withReset)
    : CCouplingDlgBase(templateId, caption, parent),
      m_pRecord(record),
      m_pRequirements(requirements),
      m_bReset(withReset) {
    UseDatabaseButtons(record, &CPartsDbMgr::LoadPwrTransformer, &CPartsDbMgr::StorePwrTransformer);
    OnClicked(IDC_CORE_SAT_BUTTON, [this] { OnCoreSatChar(); });
    OnClicked(IDC_XFMR_WINDING_CONNECTIONS, [this] { OnWindingConnections(); });
}

CPwrTransformerResetDlg::CPwrTransformerResetDlg(CPwrTransformer* record, CRequirements* requirements,
                                                 UINT templateId, const char* caption, fw::Window* parent)
    : CPwrTransformerDlg(record, requirements, templateId, caption, parent, true) {}

bool CPwrTransformerDlg::OutputEnabled(int output) const {
    return m_pRequirements && m_pRequirements->IsOutputEnabled(output - 1);
}

OutputEnables CPwrTransformerDlg::Enables() const {
    OutputEnables e;
    for (int k = 1; k <= 4; ++k) e.flags[size_t(k - 1)] = OutputEnabled(k) ? 1 : 0;
    return e;
}

BOOL CPwrTransformerDlg::OnInitDialog() {
    CComponentDlgBase::OnInitDialog();
    ArrangeDatabaseButtons();
    auto disable = [this](int id) {
        if (fw::Control* c = GetDlgItem(id)) c->EnableWindow(FALSE);
    };
    for (int k = 1; k <= 4; ++k) {
        if (OutputEnabled(k)) continue;
        for (int id : {IDC_XFMR_SECONDARY_HEADER + k, IDC_XFMR_TURNS + k, IDC_XFMR_DC_RESISTANCE + k,
                       IDC_XFMR_AC_RESISTANCE + k, IDC_XFMR_OPEN_INDUCTANCE + k,
                       PairBox(IDC_XFMR_SHORTED_INDUCTANCE, W::kPrimary, k), IDC_XFMR_CAPACITANCE + k})
            disable(id);
        if (m_bReset) disable(PairBox(IDC_XFMR_SHORTED_INDUCTANCE, k, W::kReset));
    }
    for (int i = 1; i <= 4; ++i)
        for (int j = i + 1; j <= 4; ++j)
            if (!(OutputEnabled(i) && OutputEnabled(j))) disable(PairBox(IDC_XFMR_SHORTED_INDUCTANCE, i, j));
    if (!Editor()) disable(IDC_XFMR_WINDING_CONNECTIONS);
    return FALSE;
}

void CPwrTransformerDlg::ExchangeWinding(fw::DataExchange& dx, int w, bool withOpenInductance) {
    CPwrTransformer& r = *m_pRecord;
    const size_t i = size_t(w);
    Value(dx, IDC_XFMR_TURNS + w, r.m_dTurns[i], kMinTurns, kMaxTurns);
    Value(dx, IDC_XFMR_DC_RESISTANCE + w, r.m_dDcResistance[i], kMinResistance, kMaxResistance);
    Value(dx, IDC_XFMR_AC_RESISTANCE + w, r.m_dAcResistance[i], r.m_dDcResistance[i], kMaxResistance);
    if (withOpenInductance)
        Value(dx, IDC_XFMR_OPEN_INDUCTANCE + w, r.m_dOpenInductance[i], kMinOpenInductance, kMaxInductance);
}

void CPwrTransformerDlg::DoDataExchange(fw::DataExchange& dx) {
    CPwrTransformer& r = *m_pRecord;
    auto shorted = [&](int earlier, int later) {
        Value(dx, PairBox(IDC_XFMR_SHORTED_INDUCTANCE, earlier, later), r.ShortedInductance(earlier, later),
              kMinShortedInductance, r.m_dOpenInductance[size_t(later)] - kShortedMargin);
    };
    auto capacitance = [&](int w) {
        Value(dx, IDC_XFMR_CAPACITANCE + w, r.m_dCapacitance[size_t(w)], kMinCapacitance, kMaxCapacitance);
    };

    fw::DDX_Text(dx, IDC_PART_NAME, r.m_strName);
    ExchangeWinding(dx, W::kPrimary, true);
    capacitance(W::kPrimary);
    // The reset winding's open circuit inductance bounds the secondaries'
    // reset inductances, so it is taken before them.
    if (m_bReset)
        Value(dx, IDC_XFMR_OPEN_INDUCTANCE + W::kReset, r.m_dOpenInductance[W::kReset], kMinOpenInductance,
              kMaxInductance);
    for (int k = 1; k <= 4; ++k) {
        if (!OutputEnabled(k)) continue;
        ExchangeWinding(dx, k, true);
        shorted(W::kPrimary, k);
        if (m_bReset) shorted(k, W::kReset);
        capacitance(k);
    }
    for (int i = 1; i <= 4; ++i)
        for (int j = i + 1; j <= 4; ++j)
            if (OutputEnabled(i) && OutputEnabled(j)) shorted(i, j);
    if (m_bReset) {
        ExchangeWinding(dx, W::kReset, false);
        shorted(W::kPrimary, W::kReset);
        capacitance(W::kReset);
    }
    Value(dx, IDC_XFMR_CORE_POWER_LOSS, r.m_dCorePowerLoss, 0.0, kMaxPowerLoss);
    if (!dx.m_bSaveAndValidate) UpdateCouplingDisplay();
    if (!m_bReset) r.CopyPrimaryToResetWinding();
}

BOOL CPwrTransformerDlg::ComputeCoupling(CPwrTransformer& shown) const {
    shown = *m_pRecord;
    return shown.ComputeCoupling(Enables(), m_bReset ? TRUE : FALSE);
}

void CPwrTransformerDlg::UpdateCouplingDisplay() {
    // The record keeps what is shown; a computation that fails leaves its
    // couplings as they were (OK refuses to close then).
    CPwrTransformer shown;
    const BOOL ok = ComputeCoupling(shown);
    if (ok) {
        m_pRecord->m_dCoupling = shown.m_dCoupling;
        m_pRecord->m_nOutputPresent = shown.m_nOutputPresent;
    }
    const int last = m_bReset ? W::kReset : W::kSecondary4;
    auto present = [this](int w) { return w == W::kPrimary || w == W::kReset || OutputEnabled(w); };
    for (int earlier = W::kPrimary; earlier < last; ++earlier) {
        for (int later = earlier + 1; later <= last; ++later) {
            std::string text;
            if (ok && present(earlier) && present(later))
                text = fw::Format("%1.3e", shown.Coupling(earlier, later));
            SetBox(*this, PairBox(IDC_XFMR_COUPLING, earlier, later), text);
        }
    }
}

bool CPwrTransformerDlg::IsValueBox(int id) const {
    const fw::Control* c = GetDlgItem(id);
    if (!c || !c->IsEdit() || id == IDC_PART_NAME) return false;
    return (id >= IDC_XFMR_TURNS && id < IDC_XFMR_COUPLING) || (id >= IDC_XFMR_CAPACITANCE && id <= 1424);
}

BOOL CPwrTransformerDlg::CanCloseWithOK() {
    const CPwrTransformer& r = *m_pRecord;
    auto acBelowDc = [&r](int w) { return r.m_dAcResistance[size_t(w)] < r.m_dDcResistance[size_t(w)]; };
    bool bad = acBelowDc(W::kPrimary) || (m_bReset && acBelowDc(W::kReset));
    for (int k = 1; k <= 4; ++k) bad = bad || (OutputEnabled(k) && acBelowDc(k));
    if (bad) {
        ReportMessage(52008, TRUE);
        return FALSE;
    }
    CPwrTransformer computed;
    if (!ComputeCoupling(computed)) {
        UpdateCouplingDisplay();
        ReportMessage(52027, TRUE);
        return FALSE;
    }
    // What the dialog showed is what the design runs with, edited or not:
    // couplings stored before an output was enabled would leave it uncoupled.
    m_pRecord->m_dCoupling = computed.m_dCoupling;
    m_pRecord->m_nOutputPresent = computed.m_nOutputPresent;
    return TRUE;
}

void CPwrTransformerDlg::OnCoreSatChar() { EditCoreSatChar(*this, m_pRecord->m_CoreSatChar); }

void CPwrTransformerDlg::OnWindingConnections() {
    if (!Editor()) return;
    static const CRequirements kNoRequirements;
    const CRequirements& requirements = m_pRequirements ? *m_pRequirements : kNoRequirements;
    if (EditCopy(*m_pRecord, [&](CPwrTransformer& copy) { return Editor()(copy, requirements); })) Invalidate(FALSE);
}

// ---------------------------------------------------------------------------
// Current sense transformer

CTransformerDlg::CTransformerDlg(CTransformer* record, UINT templateId, const char* caption, fw::Window* parent)
    : CCouplingDlgBase(templateId, caption, parent), m_pRecord(record) {
    UseDatabaseButtons(record, &CPartsDbMgr::LoadTransformer, &CPartsDbMgr::StoreTransformer);
    OnClicked(IDC_CORE_SAT_BUTTON, [this] { OnCoreSatChar(); });
}

BOOL CTransformerDlg::OnInitDialog() {
    CComponentDlgBase::OnInitDialog();
    ArrangeDatabaseButtons();
    return FALSE;
}

void CTransformerDlg::DoDataExchange(fw::DataExchange& dx) {
    CTransformer& r = *m_pRecord;
    fw::DDX_Text(dx, IDC_PART_NAME, r.m_strName);
    Value(dx, IDC_CS_PRIMARY_TURNS, r.m_dPrimaryTurns, kMinTurns, kMaxTurns);
    Value(dx, IDC_CS_SECONDARY_TURNS, r.m_dSecondaryTurns, kMinTurns, kMaxTurns);
    Value(dx, IDC_CS_PRIMARY_DC_RESISTANCE, r.m_dPrimaryDcResistance, kMinResistance, kMaxResistance);
    Value(dx, IDC_CS_SECONDARY_DC_RESISTANCE, r.m_dSecondaryDcResistance, kMinResistance, kMaxResistance);
    Value(dx, IDC_CS_PRIMARY_AC_RESISTANCE, r.m_dPrimaryAcResistance, r.m_dPrimaryDcResistance, kMaxResistance);
    Value(dx, IDC_CS_SECONDARY_AC_RESISTANCE, r.m_dSecondaryAcResistance, r.m_dSecondaryDcResistance, kMaxResistance);
    Value(dx, IDC_CS_PRIMARY_INDUCTANCE, r.m_dPrimaryInductance, 1e-8, kMaxInductance);
    Value(dx, IDC_CS_SECONDARY_INDUCTANCE, r.m_dSecondaryInductance, 1e-8, kMaxInductance);
    Value(dx, IDC_CS_SHORTED_INDUCTANCE, r.m_dSecondaryShortedInductance, kMinShortedInductance,
          r.m_dSecondaryInductance - kShortedMargin);
    Value(dx, IDC_CORE_POWER_LOSS, r.m_dCorePowerLoss, 0.0, kMaxPowerLoss);
    if (!dx.m_bSaveAndValidate) UpdateCouplingDisplay();
}

void CTransformerDlg::UpdateCouplingDisplay() {
    const BOOL ok = m_pRecord->ComputeCoupling();
    SetBox(*this, IDC_CS_COUPLING, ok ? fw::Format("%1.3e", m_pRecord->m_dCoupling) : std::string());
}

bool CTransformerDlg::IsValueBox(int id) const {
    return id >= IDC_CS_PRIMARY_TURNS && id <= IDC_CS_SHORTED_INDUCTANCE;
}

BOOL CTransformerDlg::CanCloseWithOK() {
    const CTransformer& r = *m_pRecord;
    if (r.m_dPrimaryAcResistance < r.m_dPrimaryDcResistance ||
        r.m_dSecondaryAcResistance < r.m_dSecondaryDcResistance) {
        ReportMessage(52008, TRUE);
        return FALSE;
    }
    if (!m_pRecord->ComputeCoupling()) {
        UpdateCouplingDisplay();
        ReportMessage(52027, TRUE);
        return FALSE;
    }
    return TRUE;
}

void CTransformerDlg::OnCoreSatChar() { EditCoreSatChar(*this, m_pRecord->m_CoreSatChar); }
