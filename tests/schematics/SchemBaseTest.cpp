#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "circuit/LinFil.h"
#include "platform/ui/Canvas.h"
#include "schematics/SchemDlg.h"
#include "setup/PartsDlg.h"
#include "setup/SetupTestSupport.h"

namespace {

class SchemBase : public DialogTest {
protected:
    void SetUp() override {
        DialogTest::SetUp();
        filter_.ClearNeedsDefaults();
        filter_.GetInductorIn1().m_dInductance = 4.7e-6;
        cls_ = FindSchematicClass(SectionKind::LineFilter, 4);
        ASSERT_NE(cls_, nullptr);
    }
    void TearDown() override {
        SetSchematicPrinter(nullptr);
        DialogTest::TearDown();
    }
    // Runs the line filter dialog of topology 4 with the script acting on it.
    int Run(std::function<void(CSectionSchematicDlg&)> act) {
        SchematicDialogArgs args;
        args.variant = 4;
        args.pictureId = 404;
        args.listId = 804;
        CSectionSchematicDlg dlg(*cls_, &filter_, args);
        ui.windows.Script(IDD_SCHEMATIC, [&](fw::Dialog& d) { act(static_cast<CSectionSchematicDlg&>(d)); });
        return dlg.DoModal();
    }
    static fw::FakeDialogHost& Host(fw::Dialog& d) { return static_cast<fw::FakeDialogHost&>(*d.GetDialogHost()); }

    CLineFilter filter_;
    const SchematicClass* cls_ = nullptr;
};

TEST_F(SchemBase, OpensSizedToThePictureWithTheButtonsBelowIt) {
    Run([&](CSectionSchematicDlg& d) {
        EXPECT_EQ(d.GetWindowText(), "2 Stage with Capacitor Damping");
        const fw::Rect w = d.GetWindowRect();
        EXPECT_EQ(w.Width(), 2 * kPictureX + d.GetPictureWidth() + d.GetFrameExtra().cx);
        EXPECT_EQ(w.Height(), 2 * kPictureY + d.GetPictureHeight() + 100);
        const int centre = w.Width() / 2;
        const fw::Rect def = d.GetDlgItem(IDC_SCHEM_DEFAULT)->GetRect();
        const fw::Rect print = d.GetDlgItem(IDC_SCHEM_PRINT)->GetRect();
        const fw::Rect copy = d.GetDlgItem(IDC_SCHEM_COPY)->GetRect();
        const fw::Rect ok = d.GetDlgItem(fw::IDOK)->GetRect();
        const fw::Rect cancel = d.GetDlgItem(fw::IDCANCEL)->GetRect();
        EXPECT_EQ(def.top, w.Height() - 100);
        EXPECT_EQ(def.right, centre - 50);
        EXPECT_EQ(print.left, centre - print.Width() / 2);
        EXPECT_EQ(copy.left, centre + 50);
        EXPECT_EQ(ok.top, w.Height() - 65);
        EXPECT_EQ(ok.right, centre - 10);
        EXPECT_EQ(cancel.left, centre + 10);
        // The lists' rectangles lie on the picture.
        for (int i = 0; i < d.GetHotSpotCount(); ++i) {
            EXPECT_LE(d.GetHotSpot(i).GetRect().right, kPictureX + d.GetPictureWidth());
            EXPECT_LE(d.GetHotSpot(i).GetRect().bottom, kPictureY + d.GetPictureHeight());
        }
        d.UserClicked(fw::IDOK);
    });
}

TEST_F(SchemBase, PaintsThePictureThenEachLabelAtItsRectangle) {
    Run([&](CSectionSchematicDlg& d) {
        fw::RecordingCanvas dc;
        d.OnPaint(dc);
        ASSERT_FALSE(dc.ops.empty());
        EXPECT_NE(dc.ops.front().find("-> 11,14-"), std::string::npos) << dc.ops.front();
        auto texts = dc.OpsStartingWith("text ");
        ASSERT_EQ(texts.size(), 5u);
        EXPECT_EQ(texts[0], "text 75,88 4.700e-006 H");
        EXPECT_EQ(dc.GetFont().height, 0);  // the label font is taken back
    });
}

TEST_F(SchemBase, CursorIsTheHandOverAPartOnly) {
    Run([&](CSectionSchematicDlg& d) {
        const struct {
            fw::Point p;
            fw::CursorKind cursor;
        } cases[] = {{{94, 63}, fw::CursorKind::Hand},
                     {{119, 70}, fw::CursorKind::Arrow},  // the right edge
                     {{80, 90}, fw::CursorKind::Hand},    // the label strip
                     {{5, 5}, fw::CursorKind::Arrow}};
        for (const auto& c : cases) {
            d.UserMouse(fw::MouseEvent::Move, c.p);
            EXPECT_EQ(d.GetCursor(), c.cursor) << c.p.x << "," << c.p.y;
        }
    });
}

TEST_F(SchemBase, ClickOutsideEveryPartOpensNothing) {
    Run([&](CSectionSchematicDlg& d) {
        d.UserMouse(fw::MouseEvent::LButtonUp, {5, 5});
        EXPECT_EQ(d.GetClickedGroup(), -1);
        EXPECT_EQ(d.GetCursor(), fw::CursorKind::Arrow);
    });
    EXPECT_EQ(ui.windows.modalRuns, std::vector<UINT>{IDD_SCHEMATIC});
    EXPECT_FALSE(LoggedAnyCode());
}

TEST_F(SchemBase, GroupWithoutAPartIsReportedWithTheEditCode) {
    Run([&](CSectionSchematicDlg& d) {
        d.EditComponent(5);
        d.EditComponent(-1);
    });
    EXPECT_TRUE(Logged("LinFilDg:  CODE ", 2909));
    EXPECT_EQ(ui.windows.modalRuns, std::vector<UINT>{IDD_SCHEMATIC});
}

TEST_F(SchemBase, DefaultResetsThePartsAndRepaints) {
    filter_.GetCapacitorIn().m_dCapacitance = 3.3;
    CLineFilter preset;
    preset.SetDefaults();
    Run([&](CSectionSchematicDlg& d) {
        int before = Host(d).invalidates;
        d.UserClicked(IDC_SCHEM_DEFAULT);
        EXPECT_GT(Host(d).invalidates, before);
        d.UserClicked(fw::IDOK);
    });
    EXPECT_EQ(filter_.GetCapacitorIn().m_dCapacitance, preset.GetCapacitorIn().m_dCapacitance);
    EXPECT_EQ(filter_.GetTopology(), 4);
}

TEST_F(SchemBase, DefaultsPendingAreAppliedOnOpeningOnlyThen) {
    for (bool pending : {true, false}) {
        SCOPED_TRACE(pending);
        CLineFilter s;
        s.GetInductorIn1().m_dInductance = 7.0;
        s.SetTopology(0);
        if (!pending) s.ClearNeedsDefaults();
        SchematicDialogArgs args;
        args.pictureId = 404;
        args.listId = 804;
        CSectionSchematicDlg dlg(*cls_, &s, args);
        EXPECT_EQ(s.GetTopology(), 4);
        EXPECT_FALSE(s.NeedsDefaults());
        EXPECT_EQ(s.GetInductorIn1().m_dInductance != 7.0, pending);
    }
}

TEST_F(SchemBase, PrintHandsOnThePictureOrReportsThatThereIsNoView) {
    Run([&](CSectionSchematicDlg& d) { d.UserClicked(IDC_SCHEM_PRINT); });
    EXPECT_TRUE(Logged("BaseDlg:   CODE ", 1632));
    ClearLogAndBoxes();
    int picture = 0, title = 0, output = -1;
    SetSchematicPrinter([&](int p, int t, int o) {
        picture = p;
        title = t;
        output = o;
        return true;
    });
    Run([&](CSectionSchematicDlg& d) { d.UserClicked(IDC_SCHEM_PRINT); });
    EXPECT_EQ(picture, 404);
    EXPECT_EQ(title, 51554);
    EXPECT_EQ(output, 0);
    EXPECT_FALSE(LoggedAnyCode());
}

TEST_F(SchemBase, CopyPutsTheBarePictureOnTheClipboard) {
    int w = 0, h = 0;
    Run([&](CSectionSchematicDlg& d) {
        w = d.GetPictureWidth();
        h = d.GetPictureHeight();
        d.UserClicked(IDC_SCHEM_COPY);
    });
    ASSERT_EQ(ui.clipboard.images.size(), 1u);
    EXPECT_EQ(ui.clipboard.images[0].Width(), w);
    EXPECT_EQ(ui.clipboard.images[0].Height(), h);
    EXPECT_TRUE(ui.sink.boxes.empty());

    ui.clipboard.result = false;
    Run([&](CSectionSchematicDlg& d) { d.UserClicked(IDC_SCHEM_COPY); });
    EXPECT_EQ(ui.sink.boxes, std::vector<std::string>{"Problem:  Could not copy the bitmap to the clipboard."});
    EXPECT_TRUE(Logged("BaseDlg:   CODE ", 1635));
}

TEST_F(SchemBase, RightClickMenuChoiceActsAsItsButton) {
    ui.windows.popupAnswer = fw::IDOK;
    EXPECT_EQ(Run([&](CSectionSchematicDlg& d) { d.UserMouse(fw::MouseEvent::RButtonDown, {20, 20}); }), fw::IDOK);
    ASSERT_EQ(ui.windows.popupsAt.size(), 1u);
}

// A missing list leaves a dialog without parts; a missing picture keeps the
// template's size and says so; neither stops the dialog.
TEST_F(SchemBase, MissingListOrPictureIsReportedAndTheDialogStillRuns) {
    SchematicDialogArgs args;
    args.pictureId = 404;
    args.listId = 1234;
    {
        CSectionSchematicDlg dlg(*cls_, &filter_, args);
        EXPECT_EQ(dlg.GetHotSpotCount(), 0);
        ui.windows.Script(IDD_SCHEMATIC, [](fw::Dialog& d) {
            d.UserMouse(fw::MouseEvent::LButtonUp, {100, 70});
            d.UserClicked(fw::IDOK);
        });
        EXPECT_EQ(dlg.DoModal(), fw::IDOK);
    }
    EXPECT_TRUE(Logged("BaseDlg:   CODE ", 1623));
    EXPECT_EQ(ui.windows.modalRuns, std::vector<UINT>{IDD_SCHEMATIC});

    ClearLogAndBoxes();
    args.pictureId = 409;  // no picture of that id
    args.listId = 804;
    CSectionSchematicDlg dlg(*cls_, &filter_, args);
    ui.windows.Script(IDD_SCHEMATIC, [](fw::Dialog& d) {
        EXPECT_EQ(d.GetWindowText(), "Use SetWindowText()");
        d.UserClicked(IDC_SCHEM_COPY);
        d.UserClicked(fw::IDOK);
    });
    EXPECT_EQ(dlg.DoModal(), fw::IDOK);
    EXPECT_EQ(ui.sink.boxes, std::vector<std::string>{"Problem:  Could Not Load Bitmap"});
    EXPECT_TRUE(Logged("BaseDlg:   CODE ", 1628));
    EXPECT_TRUE(Logged("BaseDlg:   CODE ", 1634));
    EXPECT_TRUE(ui.clipboard.images.empty());
}

// Labels on one row keep a gap between their texts: the one before moves
// left while the picture has room, the one after takes the rest; labels on
// other rows, or already apart, stay at their rectangles.
TEST(LabelStarts, TouchingLabelsOnARowAreSetApart) {
    struct Case {
        const char* what;
        std::vector<fw::Rect> at;
        std::vector<int> widths;
        std::vector<int> starts;
    };
    const Case cases[] = {
        {"apart", {{10, 50, 60, 60}, {100, 50, 150, 60}}, {80, 80}, {10, 100}},
        {"touching, room on the left", {{40, 50, 90, 60}, {122, 50, 170, 60}}, {80, 40}, {34, 122}},
        {"touching at the picture's edge", {{12, 50, 60, 60}, {90, 50, 150, 60}}, {80, 40}, {10, 98}},
        {"given right to left", {{90, 50, 150, 60}, {12, 50, 60, 60}}, {40, 80}, {98, 10}},
        {"another row", {{10, 50, 60, 60}, {60, 70, 150, 80}}, {80, 80}, {10, 60}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(LabelStarts(c.at, c.widths, 10), c.starts);
    }
}

}  // namespace
