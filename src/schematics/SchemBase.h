// The picture dialog base: a modal dialog that shows one section variant's
// circuit picture, finds the part under a click from the picture's hot-spot
// list, paints value labels over the picture and offers Default, Print and
// Copy. Derived dialogs say what a click on a group edits and which labels
// they paint.
#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "platform/ui/Canvas.h"
#include "platform/ui/Dialog.h"
#include "schematics/HotSpot.h"

#include "setup/BaseDlg.h"  // kModuleBaseDlg
constexpr UINT IDD_SCHEMATIC = 203;
constexpr int IDC_SCHEM_DEFAULT = 1270;
constexpr int IDC_SCHEM_PRINT = 1271;
constexpr int IDC_SCHEM_COPY = 1272;
constexpr UINT IDR_SCHEMATIC_MENU = 104;

// The picture's margin in client pixels. The hot-spot lists are client
// pixels with the picture placed here, so it is fixed, not taken from the
// font: a different system font must not move the picture off its lists.
constexpr int kPictureX = 11;
constexpr int kPictureY = 14;

// Prints a section picture (picture id, title string id, output 1-4);
// false when there is no design view to print from. Set by the program.
using SchematicPrinter = std::function<bool(int pictureId, int titleId, int output)>;
void SetSchematicPrinter(SchematicPrinter printer);

// The window title of a title text with a title kind (1-5) and an output number (1-4).
std::string SchematicTitle(const std::string& text, int titleKind, int output);

// Where each label's text starts: at its rectangle's left, or, where it
// would touch the text of a label before it on the same row, a few pixels
// after that text (which moves left towards minLeft first), so that two
// values never read as one.
std::vector<int> LabelStarts(const std::vector<fw::Rect>& at, const std::vector<int>& widths, int minLeft);

class CSchematicDlgBase : public fw::Dialog {
public:
    CSchematicDlgBase(UINT templateId, UINT pictureId, UINT listId, fw::Window* parent);

    BOOL OnInitDialog() override;
    void OnPaint(fw::Canvas& dc) override;
    void OnLButtonUp(UINT flags, fw::Point p) override;
    void OnLButtonDown(UINT flags, fw::Point p) override { SetCursorAt(p); }
    void OnLButtonDblClk(UINT flags, fw::Point p) override { SetCursorAt(p); }
    void OnRButtonUp(UINT flags, fw::Point p) override { SetCursorAt(p); }
    void OnMouseMove(UINT flags, fw::Point p) override { SetCursorAt(p); }
    void OnRButtonDown(UINT flags, fw::Point p) override;

    // Resets the edited section to the variant's default parts.
    virtual void SetSectionDefaults() = 0;

    int GetClickedGroup() const { return m_nClickedGroup; }
    int GetHotSpotCount() const { return m_nHotSpots; }
    const CHotSpotRect& GetHotSpot(int i) const { return m_HotSpots[i]; }
    UINT GetPictureId() const { return m_nPictureId; }
    int GetPictureWidth() const { return m_nPictureWidth; }
    int GetPictureHeight() const { return m_nPictureHeight; }

protected:
    // Labels are painted between these, each at the top-left corner of one
    // hot-spot record.
    void BeginLabels(fw::Canvas& dc);
    void DrawLabel(int record, const std::string& text);
    void EndLabels();
    // The derived dialog's labels; called by OnPaint after the picture.
    virtual void PaintLabels() {}

    void OnDefault();
    void OnPrint();
    void OnCopy();

    UINT m_nTitleId = 0;
    int m_nTitleKind = 0;
    int m_nUnit = 0;

private:
    void SetCursorAt(fw::Point p);
    int HitGroup(fw::Point p) const;

    UINT m_nPictureId;
    int m_nPictureX = kPictureX;
    int m_nPictureY = kPictureY;
    int m_nPictureWidth = 0;
    int m_nPictureHeight = 0;
    int m_nWindowHeight = 0;
    int m_nWindowWidth = 0;
    CHotSpotRect m_HotSpots[kMaxHotSpots];
    int m_nHotSpots = 0;
    fw::Canvas* m_pLabelDC = nullptr;
    std::vector<std::pair<int, std::string>> m_Labels;  // queued until all are known
    fw::Font m_OldFont;
    int m_nClickedGroup = -1;
};
