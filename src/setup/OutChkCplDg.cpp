#include "setup/OutChkCplDg.h"

#include <memory>
#include <new>

#include "platform/core/Format.h"
#include "platform/ui/DDX.h"
#include "records/Utils.h"
#include "setup/SchemDlgReg.h"

namespace {

using P = COutputChokeMutualInd::Pair;

// The output whose winding each pair's shorted inductance is measured on.
constexpr int kMeasured[] = {2, 3, 4, 3, 4, 4};
// The fewest outputs a pair needs.
constexpr int kNeeds[] = {2, 3, 4, 3, 4, 4};

fw::FormTable MakeForm() {
    using K = fw::ControlKind;
    std::vector<fw::FormControl> c;
    const int col[] = {150, 200, 250, 300};
    const char* outputs[] = {"Output 1", "Output 2", "Output 3", "Output 4"};
    const int headIds[] = {fw::IDC_STATIC, fw::IDC_STATIC, 1277, 1279};
    const int windIds[] = {fw::IDC_STATIC, fw::IDC_STATIC, 1278, 1280};
    for (int i = 0; i < 4; ++i) {
        c.push_back({headIds[i], K::Static, outputs[i], col[i], 6, 46, 9, fw::kCenter});
        c.push_back({windIds[i], K::Static, "Winding", col[i], 15, 46, 9, fw::kCenter});
    }
    c.push_back({fw::IDC_STATIC, K::Static, "Open Circuit Inductance", 6, 30, 140, 9});
    c.push_back({fw::IDC_STATIC, K::Static, "( Inductor Out1 Zero Current Inductance )", 6, 39, 140, 9});
    for (int i = 0; i < 4; ++i) c.push_back({IDC_CPL_OPEN + i, K::Edit, nullptr, col[i], 30, 46, 12, fw::kReadOnly | fw::kDisabled});
    c.push_back({fw::IDC_STATIC, K::Static, "henries", 350, 32, 30, 9});
    const char* shortedRows[] = {"Inductance with Output 1 Winding Shorted", "Inductance with Output 2 Winding Shorted",
                                 "Inductance with Output 3 Winding Shorted"};
    const char* kRows[] = {"Coupling Coefficient to Winding 1", "Coupling Coefficient to Winding 2",
                           "Coupling Coefficient to Winding 3"};
    int p = 0;
    for (int row = 0; row < 3; ++row) {
        c.push_back({fw::IDC_STATIC, K::Static, shortedRows[row], 6, 56 + 17 * row, 140, 9});
        for (int j = row + 1; j < 4; ++j, ++p)
            c.push_back({IDC_CPL_SHORTED + p, K::Edit, nullptr, col[j], 54 + 17 * row, 46, 12, fw::kTabStop | fw::kBorder});
    }
    p = 0;
    for (int row = 0; row < 3; ++row) {
        c.push_back({fw::IDC_STATIC, K::Static, kRows[row], 6, 112 + 17 * row, 140, 9});
        for (int j = row + 1; j < 4; ++j, ++p)
            c.push_back({IDC_CPL_K + p, K::Edit, nullptr, col[j], 110 + 17 * row, 46, 12, fw::kReadOnly | fw::kDisabled});
    }
    c.push_back({fw::IDOK, K::DefPushButton, "OK", 135, 170, 50, 14, fw::kTabStop});
    c.push_back({fw::IDCANCEL, K::PushButton, "Cancel", 205, 170, 50, 14, fw::kTabStop});
    return {IDD_OUTPUT_CHOKE_COUPLING, "Output Choke Inductor Magnetic Coupling", 390, 192, fw::kFormCenter, c};
}

const fw::FormTable kCouplingForm = MakeForm();
const fw::FormRegistrar kRegisterCouplingForm(kCouplingForm);

}  // namespace

COutputChokeCouplingDlg::COutputChokeCouplingDlg(COutputChokeMutualInd* record, UINT templateId, fw::Window* parent)
    : CComponentDlgBase(templateId, nullptr, parent), m_pRecord(record) {}

BOOL COutputChokeCouplingDlg::OnInitDialog() {
    m_pRecord->CheckMutualInductance(FALSE);
    CComponentDlgBase::OnInitDialog();
    if (!m_pRecord->CheckMutualInductance(FALSE)) ReportMessage1(kModuleOutChkDg, 3300, FALSE);
    const int n = m_pRecord->GetOutputCount();
    auto disable = [this](std::initializer_list<int> ids) {
        for (int id : ids)
            if (fw::Control* c = GetDlgItem(id)) c->EnableWindow(FALSE);
    };
    if (n == 2) disable({1277, 1278, IDC_CPL_K + P::k13, IDC_CPL_K + P::k23, IDC_CPL_SHORTED + P::k13,
                         IDC_CPL_SHORTED + P::k23});
    if (n == 2 || n == 3)
        disable({1279, 1280, IDC_CPL_K + P::k14, IDC_CPL_K + P::k24, IDC_CPL_K + P::k34, IDC_CPL_SHORTED + P::k14,
                 IDC_CPL_SHORTED + P::k24, IDC_CPL_SHORTED + P::k34});
    for (int p = 0; p < P::kPairs; ++p) OnNotify(IDC_CPL_SHORTED + p, fw::EN_KILLFOCUS, [this] { OnKillFocusShorted(); });
    return FALSE;
}

void COutputChokeCouplingDlg::ShowCouplings() {
    m_pRecord->CheckMutualInductance(FALSE);
    const int n = m_pRecord->GetOutputCount();
    for (int p = 0; p < P::kPairs; ++p) {
        const bool present = n >= kNeeds[p];
        if (present) SetDlgItemText(IDC_CPL_K + p, fw::Format("%1.3e", m_pRecord->Coupling(P(p))));
        else if (n == 2 || n == 3) SetDlgItemText(IDC_CPL_K + p, "");
    }
}

void COutputChokeCouplingDlg::DoDataExchange(fw::DataExchange& dx) {
    const int n = m_pRecord->GetOutputCount();
    if (!dx.m_bSaveAndValidate) {
        ShowCouplings();
        for (int j = 1; j <= 4; ++j) {
            if (j == 1 || n >= j) SetDlgItemText(IDC_CPL_OPEN + j - 1, fw::Format("%.15g", m_pRecord->OpenInductance(j)));
            else if (n == 2 || n == 3) SetDlgItemText(IDC_CPL_OPEN + j - 1, "");
        }
    }
    for (int p = 0; p < P::kPairs; ++p) {
        if (n >= kNeeds[p]) {
            DDX_Exact(dx, IDC_CPL_SHORTED + p, m_pRecord->ShortedInductance(P(p)));
            if (dx.m_bSaveAndValidate)
                fw::DDV_MinMaxDouble(dx, m_pRecord->ShortedInductance(P(p)), 0.0, m_pRecord->OpenInductance(kMeasured[p]));
        } else if (!dx.m_bSaveAndValidate && (n == 2 || n == 3)) {
            SetDlgItemText(IDC_CPL_SHORTED + p, "");
        }
    }
}

void COutputChokeCouplingDlg::OnKillFocusShorted() {
    // The range message takes the focus from another field; its own
    // kill-focus must not ask again.
    if (m_bInKillFocus) return;
    m_bInKillFocus = true;
    if (UpdateData(TRUE)) ShowCouplings();
    m_bInKillFocus = false;
}

bool COutputChokeCouplingDlg::AnyNonZero(const COutputChokeMutualInd& record) {
    COutputChokeMutualInd& r = const_cast<COutputChokeMutualInd&>(record);
    const int n = r.GetOutputCount();
    for (int p = 0; p < P::kPairs; ++p)
        if (n >= kNeeds[p] && r.ShortedInductance(P(p)) > 0.0) return true;
    return false;
}

BOOL COutputChokeCouplingDlg::CanCloseWithOK() {
    if (!AnyNonZero(*m_pRecord)) {
        ReportMessage(52151, TRUE);
        return FALSE;
    }
    m_pRecord->CheckMutualInductance(TRUE);
    return TRUE;
}

void RegisterOutputChokeCouplingDialog() {
    RegisterCouplingDialog([](COutputChokeMutualInd& record) {
        CouplingDialogResult out;
        std::unique_ptr<COutputChokeMutualInd> copy(new (std::nothrow) COutputChokeMutualInd);
        if (!copy) {
            ReportMessage(52094, TRUE);
            out.result = fw::IDCANCEL;
        } else {
            *copy = record;
            COutputChokeCouplingDlg dlg(copy.get(), IDD_OUTPUT_CHOKE_COUPLING, nullptr);
            out.result = dlg.DoModal();
            if (out.result == fw::IDOK) record = *copy;
        }
        out.anyNonZero = COutputChokeCouplingDlg::AnyNonZero(record);
        return out;
    });
}
