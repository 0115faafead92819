// Analysis > Notes: the free text kept with the design, edited on the copy
// of the design's CMiscData that the command hands over.
#pragma once

#include "circuit/MiscData.h"
#include "setup/BaseDlg.h"

constexpr UINT IDD_NOTES = 233;
constexpr int IDC_NOTES_TEXT = 1640;

class CNotesDlg : public CComponentDlgBase {
public:
    CNotesDlg(CMiscData* data, fw::Window* parent = nullptr)
        : CComponentDlgBase(IDD_NOTES, nullptr, parent), m_pMiscData(data) {}
    void DoDataExchange(fw::DataExchange& dx) override;

private:
    CMiscData* m_pMiscData;  // not owned
};
