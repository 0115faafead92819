// View > Circuit and the printed picture page.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "AppFixture.h"
#include "app/CircuitDlg.h"
#include "app/DesignDoc.h"
#include "app/MainFrm.h"
#include "app/CircuitPage.h"
#include "circuit/Doc.h"
#include "schematics/Pictures.h"
#include "schematics/SchemBase.h"
#include "setup/SetupTestSupport.h"

namespace {

class CircuitDlgTest : public DialogTest {};

TEST_F(CircuitDlgTest, PicturesOfVariantsNotChosenAndWithoutParts) {
    const struct {
        int column;
        WORD variant;
        UINT picture;
    } cases[] = {{0, 4, 404},    {0, 9, 540},  {0, 999, 541}, {1, 0, 540}, {1, 2, 411}, {2, 3, 423},
                 {4, 0, 450},    {5, 1, 461},  {7, 0, 540},   {7, 6, 485}, {10, 6, 540}, {10, 5, 515},
                 {11, 999, 541}, {11, 4, 524}};
    for (const auto& c : cases) EXPECT_EQ(CircuitPictureId(c.column, c.variant), c.picture) << c.column << " " << c.variant;
}

TEST_F(CircuitDlgTest, GridFollowsPhasesAndOutputsAndOnlyRealPicturesEnlarge) {
    CPwrQuorraDoc doc;
    doc.OnNewDocument();
    doc.GetLineFilter()->SetLineSourceType(CLineFilter::SOURCE_3_PHASE_AC);
    doc.GetLineFilter()->SetTopology(4);
    doc.GetLineRectifier()->SetTopology(0);
    for (int i = 0; i < 3; ++i) doc.GetRequirements()->GetOutput(i)->SetEnabled(TRUE);
    doc.GetOutputChoke2()->SetTopology(1);
    CCircuitDlg dlg(&doc);
    std::vector<UINT> bitmaps;
    ui.windows.Script(IDD_CIRCUIT, [&](fw::Dialog& d) {
        auto& c = static_cast<CCircuitDlg&>(d);
        for (int id = IDC_PICTURE_FIRST; id < IDC_PICTURE_FIRST + kPictureButtons; ++id) bitmaps.push_back(c.GetBitmapId(id));
        c.UserClicked(1903);  // line rectifier "None": 540
        c.UserClicked(1911);  // output 4 is off: no picture
        c.UserClicked(1913);  // output 2's choke
    });
    dlg.DoModal();
    ASSERT_EQ(bitmaps.size(), 31u);
    EXPECT_EQ((std::vector<UINT>(bitmaps.begin(), bitmaps.begin() + 6)), (std::vector<UINT>{404, 404, 404, 540, 540, 540}));
    EXPECT_EQ(bitmaps[1913 - 1900], 461u);
    EXPECT_NE(bitmaps[1910 - 1900], 0u);
    EXPECT_EQ(bitmaps[1911 - 1900], 0u);
    EXPECT_EQ(bitmaps[1927 - 1900], 0u);
    EXPECT_EQ(ui.windows.modalRuns, (std::vector<UINT>{IDD_CIRCUIT, IDD_ENLARGED_PICTURE}));
}

// The hand shows only over a picture that a click enlarges.
TEST_F(CircuitDlgTest, HandCursorOnlyOverPicturesThatEnlarge) {
    CPwrQuorraDoc doc;
    doc.OnNewDocument();
    doc.GetLineFilter()->SetTopology(4);
    doc.GetLineRectifier()->SetTopology(0);
    doc.GetRequirements()->GetOutput(0)->SetEnabled(TRUE);
    CCircuitDlg dlg(&doc);
    std::vector<std::pair<int, fw::CursorKind>> seen;
    ui.windows.Script(IDD_CIRCUIT, [&](fw::Dialog& d) {
        for (int id : {1900, 1903, 1906, 1911, 1900}) {  // a picture, "None", not chosen, no picture
            const fw::Rect r = d.GetDlgItem(id)->GetRect();
            d.UserMouse(fw::MouseEvent::Move, {(r.left + r.right) / 2, r.bottom - 1}, 0);
            seen.push_back({id, d.GetCursor()});
        }
        d.UserMouse(fw::MouseEvent::Move, {1, 1}, 0);  // the dialog's background
        seen.push_back({0, d.GetCursor()});
    });
    dlg.DoModal();
    using C = fw::CursorKind;
    EXPECT_EQ(seen, (std::vector<std::pair<int, C>>{
                        {1900, C::Hand}, {1903, C::Arrow}, {1906, C::Arrow}, {1911, C::Arrow}, {1900, C::Hand}, {0, C::Arrow}}));
}

TEST_F(CircuitDlgTest, EnlargedPictureIsSizedToThePicture) {
    fw::Image picture;
    ASSERT_TRUE(LoadSectionPicture(404, picture));
    CEnlargedPictureDlg dlg(404);
    ui.windows.Script(IDD_ENLARGED_PICTURE, [&](fw::Dialog& d) {
        const fw::Rect w = d.GetWindowRect();
        EXPECT_EQ(w.Width(), 2 * kPictureX + picture.Width() + d.GetFrameExtra().cx);
        EXPECT_EQ(w.Height(), 2 * kPictureY + picture.Height() + 50);
        EXPECT_EQ(d.GetDlgItem(fw::IDOK)->GetRect().top, w.Height() - 50);
        fw::RecordingCanvas dc;
        d.OnPaint(dc);
        ASSERT_EQ(dc.ops.size(), 1u);
        EXPECT_NE(dc.ops[0].find("-> 11,14-"), std::string::npos) << dc.ops[0];
    });
    dlg.DoModal();
}

// The picture keeps its shape and never gets a negative or mirrored size.
TEST_F(CircuitDlgTest, PrintedPictureFitsThePageEvenly) {
    const struct {
        const char* name;
        fw::Rect area;
        int w0, h0, ppi;
        fw::Rect expect;
    } cases[] = {
        {"natural size at 600 dpi", {100, 200, 5000, 7000}, 400, 300, 600, {100, 200, 2600, 2075}},
        {"too wide: shrunk evenly", {0, 0, 1250, 7000}, 400, 300, 600, {0, 0, 1250, 937}},
        {"too tall: shrunk evenly", {0, 0, 5000, 300}, 400, 300, 600, {0, 0, 400, 300}},
        {"screen resolution", {0, 0, 800, 800}, 400, 300, 96, {0, 0, 400, 300}},
        {"low resolution is not enlarged", {0, 0, 800, 800}, 400, 300, 48, {0, 0, 200, 150}},
        {"no room", {0, 0, 0, 100}, 400, 300, 600, {}},
        {"header below the page", {0, 500, 800, 400}, 400, 300, 600, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const fw::Rect r = CircuitPictureRect(c.area, c.w0, c.h0, c.ppi, c.ppi);
        EXPECT_EQ(r, c.expect) << r.left << "," << r.top << "," << r.right << "," << r.bottom;
        EXPECT_GE(r.Width(), 0);
        EXPECT_GE(r.Height(), 0);
    }
}

TEST_F(CircuitDlgTest, PageTitleNamesTheSectionAndItsOutput) {
    EXPECT_EQ(CircuitPageTitle(51554, 0), "Line Filter:  2 Stage with Capacitor Damping");
    EXPECT_EQ(CircuitPageTitle(51650, 2), "Output Choke  2 :  Output Choke");
    EXPECT_EQ(CircuitPageTitle(51640, 1), "Secondary Section  1 :  Double Rectifier Half Wave");
    EXPECT_FALSE(LoggedAnyCode());
    EXPECT_EQ(CircuitPageTitle(999, 0), "Unknown Title");
    EXPECT_TRUE(Logged("View:      CODE ", 1500));
}

// The Circuit dialog opens after a design file was opened, and from View.
class CircuitFromTheFrame : public AppTest {};

TEST_F(CircuitFromTheFrame, OpenedDesignAndViewCircuitShowIt) {
    CDesignDocFactory designs;
    app_.SetDocumentFactory(&designs);
    ASSERT_TRUE(Start(""));
    const std::string path = ::testing::TempDir() + "pq-circuit-open.SEF";
    ASSERT_TRUE(app_.GetDocument()->OnSaveDocument(path));
    ui_.windows.modalRuns.clear();
    ASSERT_TRUE(app_.CloseCurrentDocument());
    ASSERT_NE(app_.OpenDocumentFile(path), nullptr);
    EXPECT_EQ(ui_.windows.modalRuns, std::vector<UINT>{IDD_CIRCUIT});
    Frame().UpdateCommandUI();
    ASSERT_TRUE(Frame().OnUserCommand(ID_VIEW_CIRCUIT));
    EXPECT_EQ(ui_.windows.modalRuns, (std::vector<UINT>{IDD_CIRCUIT, IDD_CIRCUIT}));
    std::remove(path.c_str());
}

}  // namespace
