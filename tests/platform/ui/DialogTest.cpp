#include <gtest/gtest.h>

#include "platform/ui/DDX.h"
#include "platform/ui/Fakes.h"

namespace {

const fw::FormTable kForm{
    9002,
    "Choices",
    180,
    100,
    0,
    {
        {1001, fw::ControlKind::Edit, "", 10, 10, 60, 12},
        {1100, fw::ControlKind::RadioButton, "A", 10, 30, 40, 10, fw::kGroup},
        {1101, fw::ControlKind::RadioButton, "B", 10, 42, 40, 10},
        {1200, fw::ControlKind::RadioButton, "X", 90, 30, 40, 10, fw::kGroup},
        {1201, fw::ControlKind::RadioButton, "Y", 90, 42, 40, 10},
        {1300, fw::ControlKind::CheckBox, "Check", 10, 56, 60, 10, fw::kGroup},
        {1400, fw::ControlKind::ComboBox, "", 90, 56, 60, 40, fw::kSort},
        {1270, fw::ControlKind::PushButton, "Default", 10, 80, 40, 14},
        {fw::IDOK, fw::ControlKind::DefPushButton, "OK", 60, 80, 40, 14},
        {fw::IDCANCEL, fw::ControlKind::PushButton, "Cancel", 110, 80, 40, 14},
    },
};

// OK closes only when the OK button itself has the focus; Enter elsewhere
// checks the fields and beeps (the editing dialogs' rule).
class FocusOkDlg : public fw::Dialog {
public:
    FocusOkDlg() : fw::Dialog(kForm) {
        OnClicked(1270, [this] { ++defaults; });
        OnNotify(1001, fw::EN_KILLFOCUS, [this] { ++killFocus; });
        OnNotify(1400, fw::CBN_SELCHANGE, [this] { ++selChanges; });
    }
    void DoDataExchange(fw::DataExchange& dx) override {
        fw::DDX_Text(dx, 1001, value);
        fw::DDV_MinMaxDouble(dx, value, 0, 10);
    }
    void OnOK() override {
        if (!UpdateData(TRUE)) return;
        if (GetFocus() != GetDlgItem(fw::IDOK)) {
            fw::MessageBeep();
            return;
        }
        fw::Dialog::OnOK();
    }
    double value = 1;
    int defaults = 0;
    int killFocus = 0;
    int selChanges = 0;
};

TEST(DialogModel, EnterInAFieldValidatesAndBeepsAClickOnOkCloses) {
    fw::FakeUi ui;
    FocusOkDlg dlg;
    ui.windows.Script(9002, [&](fw::Dialog& d) {
        EXPECT_EQ(d.GetFocusId(), 1001);  // the first control that takes the focus
        d.UserTyped(1001, "4");
        d.UserPressedEnter();
        EXPECT_FALSE(d.IsEnded());
        EXPECT_EQ(ui.sink.beeps, 1);
        EXPECT_EQ(dlg.value, 4.0);  // stored by the exchange already
        d.UserClicked(fw::IDOK);     // the click moves the focus to OK first
        EXPECT_EQ(dlg.killFocus, 1);
    });
    EXPECT_EQ(dlg.DoModal(), fw::IDOK);
}

TEST(DialogModel, EnterOnAFocusedButtonPressesThatButton) {
    fw::FakeUi ui;
    FocusOkDlg dlg;
    ui.windows.Script(9002, [&](fw::Dialog& d) {
        d.UserFocus(1270);
        d.UserPressedEnter();
        EXPECT_EQ(dlg.defaults, 1);
        EXPECT_FALSE(d.IsEnded());
        d.UserPressedEscape();
    });
    EXPECT_EQ(dlg.DoModal(), fw::IDCANCEL);
}

TEST(DialogModel, RadioGroupsAreSeparateAndCheckBoxesToggle) {
    fw::FakeUi ui;
    FocusOkDlg dlg;
    ui.windows.Script(9002, [&](fw::Dialog& d) {
        EXPECT_EQ(d.RadioGroupOf(1101), (std::vector<int>{1100, 1101}));
        d.UserClicked(1100);
        d.UserClicked(1201);
        d.UserClicked(1101);
        EXPECT_EQ(d.GetCheckedRadioButton(1100, 1101), 1101);
        EXPECT_EQ(d.IsDlgButtonChecked(1100), 0u);
        EXPECT_EQ(d.GetCheckedRadioButton(1200, 1201), 1201);
        d.UserClicked(1300);
        EXPECT_EQ(d.IsDlgButtonChecked(1300), 1u);
        d.UserClicked(1300);
        EXPECT_EQ(d.IsDlgButtonChecked(1300), 0u);
        // A disabled control ignores clicks.
        d.GetDlgItem(1300)->EnableWindow(FALSE);
        d.UserClicked(1300);
        EXPECT_EQ(d.IsDlgButtonChecked(1300), 0u);
    });
    dlg.DoModal();
}

TEST(DialogModel, SortedComboAndSelection) {
    fw::FakeUi ui;
    FocusOkDlg dlg;
    ui.windows.Script(9002, [&](fw::Dialog& d) {
        fw::Control* c = d.GetDlgItem(1400);
        c->AddString("Red");
        c->AddString("blue");
        c->AddString("Green");
        EXPECT_EQ(c->Rows(), (std::vector<std::string>{"blue", "Green", "Red"}));
        EXPECT_EQ(c->FindStringExact(-1, "green"), 1);
        EXPECT_EQ(c->SetCurSel(5), fw::CB_ERR);
        EXPECT_EQ(c->GetCurSel(), -1);
        d.UserSelected(1400, 2);
        EXPECT_EQ(c->GetCurSel(), 2);
        EXPECT_EQ(c->GetWindowText(), "Red");
        EXPECT_EQ(dlg.selChanges, 1);
        EXPECT_EQ(c->DeleteString(0), 2);
        EXPECT_EQ(c->GetCurSel(), 1);
    });
    dlg.DoModal();
}

// The editing dialogs' right-click menu: its OK arrives as a command.
TEST(DialogModel, ContextMenuChoiceArrivesAsACommand) {
    fw::FakeUi ui;
    FocusOkDlg dlg;
    int popupOk = 0;
    dlg.OnClicked(32821, [&] { ++popupOk; });
    ui.windows.Script(9002, [&](fw::Dialog& d) {
        ui.windows.popupAnswer = 32821;
        EXPECT_EQ(d.TrackContextMenu(104, 0, {5, 7}), 32821u);
        EXPECT_EQ(ui.windows.popupsAt.back(), d.ClientToScreen({5, 7}));
        EXPECT_EQ(popupOk, 1);
        EXPECT_EQ(d.TrackContextMenu(104, 2, {5, 7}), 0u);  // no such popup
        ui.windows.popupAnswer = fw::IDCANCEL;
        d.TrackContextMenu(104, 1, {5, 7});
    });
    EXPECT_EQ(dlg.DoModal(), fw::IDCANCEL);
}

TEST(DialogModel, MissingFormCannotRun) {
    fw::FakeUi ui;
    fw::Dialog dlg(424242);
    EXPECT_EQ(dlg.DoModal(), -1);
}

TEST(DialogModel, WithoutAWindowSystemNothingRuns) {
    fw::Dialog dlg(kForm);
    EXPECT_EQ(dlg.DoModal(), -1);
    EXPECT_FALSE(dlg.Create(nullptr));
}

TEST(DialogModel, DialogUnitsArePixelsByTheBaseUnits) {
    fw::FakeUi ui;
    ui.windows.units = {8, 16};
    FocusOkDlg dlg;
    ui.windows.Script(9002, [&](fw::Dialog& d) {
        // x * 8 / 4, y * 16 / 8.
        EXPECT_EQ(d.GetDlgItem(1001)->GetRect(), (fw::Rect{20, 20, 140, 44}));
        EXPECT_EQ(d.GetClientRect(), (fw::Rect{0, 0, 360, 200}));
        EXPECT_EQ(d.GetWindowRect().Width(), 360 + ui.windows.frameExtra.cx);
        fw::Point origin = d.ClientToScreen({0, 0});
        EXPECT_EQ(d.GetDlgItem(1001)->GetWindowRect().left, origin.x + 20);
    });
    dlg.DoModal();
}

TEST(DialogModel, ModelessDialogLivesUntilDestroyed) {
    fw::FakeUi ui;
    fw::Dialog dlg(kForm);
    ASSERT_TRUE(dlg.Create(nullptr));
    EXPECT_TRUE(dlg.IsWindow());
    dlg.SetTimer(1, 500);
    EXPECT_TRUE(ui.timers.IsActive(dlg, 1));
    EXPECT_TRUE(dlg.DestroyWindow());
    EXPECT_FALSE(dlg.IsWindow());
    EXPECT_TRUE(ui.windows.dialogHosts.back()->destroyed);
    EXPECT_FALSE(ui.timers.IsActive(dlg, 1));
}

}  // namespace
