// View > Circuit: the whole converter as a grid of small section pictures,
// one per section and, where a section repeats, per line phase or output; a
// click on a picture shows it at its natural size.
#pragma once

#include <array>

#include "platform/ui/Dialog.h"

class CPwrQuorraDoc;

constexpr UINT IDD_CIRCUIT = 275;
constexpr UINT IDD_ENLARGED_PICTURE = 276;
constexpr int IDC_PICTURE_FIRST = 1900;  // 1900-1930
constexpr int kPictureButtons = 31;
constexpr UINT kPictureNoParts = 540;
constexpr UINT kPictureNotChosen = 541;

// The picture of a section variant for the grid (541 when none is chosen,
// 540 for a variant without parts).
UINT CircuitPictureId(int column, WORD variant);

class CCircuitDlg : public fw::Dialog {
public:
    explicit CCircuitDlg(CPwrQuorraDoc* design, fw::Window* parent = nullptr);
    BOOL OnInitDialog() override;
    void OnDrawItem(int id, fw::Canvas& dc, const fw::Rect& rc) override;
    void OnPicture(int id);
    // The hand over a picture that a click enlarges, the arrow elsewhere.
    void OnMouseMove(UINT flags, fw::Point p) override;
    UINT GetBitmapId(int id) const { return m_bitmaps[size_t(id - IDC_PICTURE_FIRST)]; }

private:
    CPwrQuorraDoc* m_pDesign;
    std::array<UINT, kPictureButtons> m_bitmaps{};
};

class CEnlargedPictureDlg : public fw::Dialog {
public:
    CEnlargedPictureDlg(UINT bitmapId, fw::Window* parent = nullptr);
    BOOL OnInitDialog() override;
    void OnPaint(fw::Canvas& dc) override;

private:
    UINT m_nBitmapId;
    int m_nMarginX = 0;
    int m_nMarginY = 0;
};
