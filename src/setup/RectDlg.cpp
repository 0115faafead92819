#include "setup/RectDlg.h"

#include "setup/PartsDlg.h"

namespace {

using fw::ControlKind;

const fw::FormTable kRectifierForm{
    IDD_RECTIFIER,
    "Rectifier",
    150,
    78,
    fw::kFormCenter,
    {
        {fw::IDC_STATIC, ControlKind::GroupBox, "Select Type", 7, 5, 136, 44},
        {IDC_RECT_NON_SYNCHRONOUS, ControlKind::PushButton, "Non Synchronous", 25, 16, 100, 14,
         fw::kTabStop | fw::kGroup},
        {IDC_RECT_SYNCHRONOUS, ControlKind::PushButton, "Synchronous", 25, 32, 100, 14, fw::kTabStop},
        {fw::IDCANCEL, ControlKind::PushButton, "Cancel", 50, 57, 50, 14, fw::kTabStop | fw::kGroup},
    },
};

const fw::FormTable kSynchronousForm{
    IDD_SYNCHRONOUS_RECTIFIER,
    "Synchronous Rectifier",
    150,
    78,
    fw::kFormCenter,
    {
        {fw::IDC_STATIC, ControlKind::GroupBox, "Select Part", 7, 5, 136, 44},
        {IDC_SYNC_DIODE, ControlKind::PushButton, "Diode", 25, 16, 100, 14, fw::kTabStop | fw::kGroup},
        {IDC_SYNC_TRANSISTOR, ControlKind::PushButton, "Transistor", 25, 32, 100, 14, fw::kTabStop},
        {fw::IDOK, ControlKind::DefPushButton, "OK", 19, 57, 50, 14, fw::kTabStop | fw::kGroup},
        {fw::IDCANCEL, ControlKind::PushButton, "Cancel", 81, 57, 50, 14, fw::kTabStop},
    },
};

const fw::FormRegistrar g_forms[] = {fw::FormRegistrar(kRectifierForm), fw::FormRegistrar(kSynchronousForm)};

// The part's own dialog on a copy of it.
template <class Dlg, class Part>
void EditPart(Part& part, UINT templateId, const char* caption) {
    EditCopy(part, [&](Part& copy) { return Dlg(&copy, templateId, caption, nullptr).DoModal(); });
}

}  // namespace

CRectifierDlg::CRectifierDlg(int* choice, UINT templateId, const char* caption, fw::Window* parent)
    : fw::Dialog(templateId, parent), m_pCaption(caption), m_pChoice(choice) {
    OnClicked(IDC_RECT_NON_SYNCHRONOUS, [this] { Choose(IDC_RECT_NON_SYNCHRONOUS); });
    OnClicked(IDC_RECT_SYNCHRONOUS, [this] { Choose(IDC_RECT_SYNCHRONOUS); });
}

BOOL CRectifierDlg::OnInitDialog() {
    fw::Dialog::OnInitDialog();
    if (m_pCaption) SetWindowText(m_pCaption);
    return TRUE;
}

void CRectifierDlg::Choose(int choice) {
    if (m_pChoice) *m_pChoice = choice;
    fw::Dialog::OnOK();
}

void CRectifierDlg::OnCancel() { Choose(fw::IDCANCEL); }

CSynchronousRectifierDlg::CSynchronousRectifierDlg(CDiode* diode, CTransistorFE* transistor, const char* caption,
                                                   UINT templateId, fw::Window* parent)
    : fw::Dialog(templateId, parent), m_pCaption(caption), m_pDiode(diode), m_pTransistor(transistor) {
    OnClicked(IDC_SYNC_DIODE, [this] { OnDiode(); });
    OnClicked(IDC_SYNC_TRANSISTOR, [this] { OnTransistor(); });
}

BOOL CSynchronousRectifierDlg::OnInitDialog() {
    fw::Dialog::OnInitDialog();
    if (m_pCaption) SetWindowText(m_pCaption);
    return TRUE;
}

void CSynchronousRectifierDlg::OnDiode() {
    if (m_pDiode)
        EditPart<CDiodeRectifierDlg>(*m_pDiode, IDD_DIODE_RECTIFIER, "Synchronous Rectifier Diode");
}

void CSynchronousRectifierDlg::OnTransistor() {
    if (m_pTransistor)
        EditPart<CTransistorFEDlg>(*m_pTransistor, IDD_TRANSISTOR_FE, "Synchronous Rectifier Field Effect Transistor");
}
