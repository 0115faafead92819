// The secondary rectifier's picture: the kind of each rectifier chosen on a
// click, its parts edited on copies, and OK only with both kinds alike.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "circuit/SecSec.h"
#include "platform/ui/Canvas.h"
#include "schematics/SchemDlg.h"
#include "setup/PartsDlg.h"
#include "setup/RectDlg.h"
#include "setup/SetupTestSupport.h"

namespace {

class SecSecDg : public DialogTest {
protected:
    void SetUp() override {
        DialogTest::SetUp();
        s_.ClearNeedsDefaults();
        s_.SetTopology(0);
    }
    int Run(std::function<void(CSectionSchematicDlg&)> act) {
        SchematicDialogArgs args;
        args.output = 1;
        args.pictureId = 450;
        args.listId = 850;
        CSectionSchematicDlg dlg(*FindSchematicClass(SectionKind::SecondarySection, 0), &s_, args);
        ui.windows.Script(IDD_SCHEMATIC, [&](fw::Dialog& d) {
            title_ = d.GetWindowText();
            act(static_cast<CSectionSchematicDlg&>(d));
        });
        return dlg.DoModal();
    }
    // Clicks rectifier n and answers the kind question.
    void Click(CSectionSchematicDlg& d, int n, int choice) {
        ui.windows.Script(IDD_RECTIFIER, [choice](fw::Dialog& k) {
            if (choice == fw::IDCANCEL) k.UserClicked(fw::IDCANCEL);
            else k.UserClicked(choice);
        });
        const fw::Rect r = d.GetHotSpot(n == 1 ? 0 : 2).GetRect();
        d.UserMouse(fw::MouseEvent::LButtonUp, {r.left + 2, r.top + 2});
    }
    std::vector<std::string> Labels(CSectionSchematicDlg& d) {
        fw::RecordingCanvas dc;
        d.OnPaint(dc);
        return dc.OpsStartingWith("text ");
    }

    CSecondarySection s_;
    std::string title_;
};

TEST_F(SecSecDg, MixedKindsAreRefusedUntilBothMatch) {
    std::vector<std::string> mixed, both;
    int r = Run([&](CSectionSchematicDlg& d) {
        ui.windows.Script(IDD_SYNCHRONOUS_RECTIFIER, [](fw::Dialog& x) { x.UserClicked(fw::IDOK); });
        Click(d, 1, IDC_RECT_SYNCHRONOUS);
        mixed = Labels(d);
        d.UserClicked(fw::IDOK);
        EXPECT_FALSE(d.IsEnded());
        ui.windows.Script(IDD_SYNCHRONOUS_RECTIFIER, [](fw::Dialog& x) { x.UserClicked(fw::IDOK); });
        Click(d, 2, IDC_RECT_SYNCHRONOUS);
        both = Labels(d);
        d.UserClicked(fw::IDOK);
    });
    EXPECT_EQ(r, fw::IDOK);
    EXPECT_EQ(title_, "Secondary  1: Double Rectifier Half Wave");
    ASSERT_EQ(mixed.size(), 2u);
    EXPECT_NE(mixed[0].find(" Sync"), std::string::npos);
    EXPECT_NE(mixed[1].find("Non Sync"), std::string::npos);
    EXPECT_EQ(ui.sink.boxes, std::vector<std::string>{"All rectifiers must be either non-synchronous or synchronous."});
    EXPECT_EQ(s_.GetRectifier1Kind(), CSecondarySection::SYNCHRONOUS);
    EXPECT_EQ(s_.GetRectifier2Kind(), CSecondarySection::SYNCHRONOUS);
    EXPECT_TRUE(s_.IsSynchronous());
}

TEST_F(SecSecDg, TheSameKindWithoutAChangeOrACancelLeavesTheSectionAlone) {
    struct Case {
        const char* name;
        int choice;
        bool partOk;
    };
    const Case cases[] = {{"kind cancelled", fw::IDCANCEL, false},
                          {"same kind, part unchanged", IDC_RECT_NON_SYNCHRONOUS, true},
                          {"same kind, part cancelled", IDC_RECT_NON_SYNCHRONOUS, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const CSecondarySection before = s_;
        int invalidates = -1;
        Run([&](CSectionSchematicDlg& d) {
            ui.windows.Script(IDD_DIODE_RECTIFIER, [&](fw::Dialog& x) {
                EXPECT_EQ(x.GetWindowText(), "Diode 1");
                if (c.partOk) x.UserClicked(fw::IDOK);
            });
            auto* host = static_cast<fw::FakeDialogHost*>(d.GetDialogHost());
            const int start = host->invalidates;
            Click(d, 1, c.choice);
            invalidates = host->invalidates - start;
            d.UserClicked(fw::IDOK);
        });
        EXPECT_FALSE(s_ != before);
        EXPECT_EQ(invalidates, 0);
        ui.windows.scripts.clear();
    }
}

TEST_F(SecSecDg, ADiodeEditedThroughItsRectifierReachesThatRectifierOnly) {
    Run([&](CSectionSchematicDlg& d) {
        ui.windows.Script(IDD_DIODE_RECTIFIER, [](fw::Dialog& x) {
            EXPECT_EQ(x.GetWindowText(), "Diode 2");
            x.UserTyped(IDC_PART_NAME, "D2");
            x.UserClicked(fw::IDOK);
        });
        Click(d, 2, IDC_RECT_NON_SYNCHRONOUS);
        d.UserClicked(fw::IDOK);
    });
    EXPECT_EQ(s_.GetDiodeRectifier2().m_strName, "D2");
    EXPECT_NE(s_.GetDiodeRectifier1().m_strName, "D2");
    EXPECT_FALSE(s_.IsSynchronous());
}

}  // namespace
