// How each terminal of the power transformer's four secondary windings is
// connected: linked to the neighbouring winding, to ground, or to its
// rectifier only. Edits the record it is given (the caller's copy).
#pragma once

#include "circuit/Require.h"
#include "platform/ui/Dialog.h"
#include "records/Parts.h"

constexpr UINT IDD_WINDING_CONNECTIONS = 247;
constexpr UINT kModuleWndConDg = 56087;
constexpr UINT kWindingPicture = 530;
constexpr int IDC_WND_FIRST = 1700;  // 1700-1721, table in the .cpp
constexpr int IDC_WND_LAST = 1721;
constexpr int IDC_WND_DEFAULT = 1270;

class CSecondaryWindingConnectionsDlg : public fw::Dialog {
public:
    // Terminal indexes of the record's codes.
    enum Terminal { A = 0, B, C, D, E, F, G, H };
    enum Code { kOpen = 0, kLink = 1, kGround = 2, kRectifier = 3 };

    CSecondaryWindingConnectionsDlg(CPwrTransformer* record, const CRequirements* requirements, fw::Window* parent);

    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnPaint(fw::Canvas& dc) override;
    void OnChoice(int id);
    void OnDefault();

private:
    bool WindingOn(int winding) const;
    int32_t& Code(int terminal) { return m_pRecord->m_Connections[size_t(terminal)]; }
    void ApplyChainRule(int chosenId);
    void ShowValues();

    CPwrTransformer* m_pRecord;
    const CRequirements* m_pRequirements;
};

// Installs the dialog as the power transformer's winding connections editor.
void RegisterWindingConnectionsDialog();
