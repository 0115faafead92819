// The two small dialogs behind a click on a secondary rectifier: the choice
// of its kind (an ordinary diode or a synchronous rectifier), and the
// synchronous rectifier's two parts, each edited in its own part dialog.
// Neither has a data exchange or a right-click menu of its own.
#pragma once

#include "platform/ui/Dialog.h"
#include "records/DbParts.h"

constexpr UINT IDD_RECTIFIER = 241;
constexpr UINT IDD_SYNCHRONOUS_RECTIFIER = 262;

constexpr int IDC_RECT_NON_SYNCHRONOUS = 1260;
constexpr int IDC_RECT_SYNCHRONOUS = 1261;
constexpr int IDC_SYNC_DIODE = 1450;
constexpr int IDC_SYNC_TRANSISTOR = 1451;

// DoModal ends with IDOK in every case; the choice tells what the user did:
// IDC_RECT_NON_SYNCHRONOUS, IDC_RECT_SYNCHRONOUS, or IDCANCEL (Cancel,
// Escape or the close box).
class CRectifierDlg : public fw::Dialog {
public:
    CRectifierDlg(int* choice, UINT templateId, const char* caption, fw::Window* parent);
    BOOL OnInitDialog() override;
    void OnCancel() override;

    const char* m_pCaption;
    int* m_pChoice;

private:
    void Choose(int choice);
};

// The diode and the transistor are changed by their own dialogs as soon as
// those end with IDOK and the values differ, whatever this dialog ends with.
class CSynchronousRectifierDlg : public fw::Dialog {
public:
    CSynchronousRectifierDlg(CDiode* diode, CTransistorFE* transistor, const char* caption, UINT templateId,
                             fw::Window* parent);
    BOOL OnInitDialog() override;
    void OnDiode();
    void OnTransistor();

    const char* m_pCaption;
    CDiode* m_pDiode;
    CTransistorFE* m_pTransistor;
};
