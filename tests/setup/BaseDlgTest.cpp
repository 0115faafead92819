#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SetupTestSupport.h"
#include "records/DbParts.h"
#include "setup/BaseDlg.h"

namespace {

constexpr UINT kPartForm = 9401;
constexpr int kCapacitance = 1001;
constexpr int kEsr = 1002;

const fw::FormTable kForm{
    kPartForm,
    "Capacitor",
    200,
    100,
    0,
    {
        {kCapacitance, fw::ControlKind::Edit, "", 10, 10, 60, 12, fw::kTabStop},
        {kEsr, fw::ControlKind::Edit, "", 10, 26, 60, 12, fw::kTabStop},
        {IDC_DB_LOAD, fw::ControlKind::PushButton, "Load", 10, 60, 40, 14, fw::kTabStop},
        {IDC_DB_STORE, fw::ControlKind::PushButton, "Store", 55, 60, 40, 14, fw::kTabStop},
        {fw::IDOK, fw::ControlKind::DefPushButton, "OK", 100, 80, 40, 14, fw::kTabStop},
        {fw::IDCANCEL, fw::ControlKind::PushButton, "Cancel", 150, 80, 40, 14, fw::kTabStop},
    },
};
fw::FormRegistrar g_form(kForm);

// A part dialog as the component dialogs are written on the base.
class CapacitorDlg : public CComponentDlgBase {
public:
    CapacitorDlg(CCapacitor* cap, const char* caption) : CComponentDlgBase(kPartForm, caption, nullptr), m_pCap(cap) {
        UseDatabaseButtons(cap, &CPartsDbMgr::LoadCapacitor, &CPartsDbMgr::StoreCapacitor);
    }
    BOOL OnInitDialog() override {
        CComponentDlgBase::OnInitDialog();
        ArrangeDatabaseButtons();
        return FALSE;
    }
    void DoDataExchange(fw::DataExchange& dx) override {
        DDX_Exact(dx, kCapacitance, m_pCap->m_dCapacitance);
        fw::DDV_MinMaxDouble(dx, m_pCap->m_dCapacitance, 1e-12, 1.0);
        DDX_Exact(dx, kEsr, m_pCap->m_dEsr);
        fw::DDV_MinMaxDouble(dx, m_pCap->m_dEsr, 0.0, 100.0);
    }
    CCapacitor* m_pCap;
};

class BaseDlg : public DialogTest {
protected:
    CCapacitor cap_;
    void SetUp() override {
        DialogTest::SetUp();
        cap_.m_dCapacitance = 1e-6;
        cap_.m_dEsr = 0.05;
    }
};

// OK closes only from the OK button; Enter in a field checks the fields and
// beeps; a failed check keeps the dialog open with the framework's prompt.
TEST_F(BaseDlg, OkClosesOnlyFromTheOkButton) {
    enum class Press { ClickOk, EnterInField, EnterOnOk };
    struct Case {
        const char* name;
        const char* capacitance;
        Press press;
        int result;
        int beeps;
        std::vector<std::string> boxes;
        double storedCapacitance;
    };
    const Case cases[] = {
        {"click on OK", "2.2e-6", Press::ClickOk, fw::IDOK, 0, {}, 2.2e-6},
        {"Enter on OK", "2.2e-6", Press::EnterOnOk, fw::IDOK, 0, {}, 2.2e-6},
        // The caller's copy already holds the value; Escape then cancels.
        {"Enter in a field", "2.2e-6", Press::EnterInField, fw::IDCANCEL, 1, {}, 2.2e-6},
        {"not a number", "abc", Press::ClickOk, fw::IDCANCEL, 0, {"Please enter a number."}, 1e-6},
        // A value that parses is taken before its range check fails (the caller
        // commits nothing on Cancel).
        {"out of range", "2", Press::ClickOk, fw::IDCANCEL, 0, {"Please enter a number between 1e-012 and 1."}, 2},
        {"out of range, Enter", "2", Press::EnterInField, fw::IDCANCEL, 0, {"Please enter a number between 1e-012 and 1."},
         2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ui.sink.Clear();
        cap_.m_dCapacitance = 1e-6;
        CapacitorDlg dlg(&cap_, nullptr);
        int focusAfter = 0;
        ui.windows.Script(kPartForm, [&](fw::Dialog& d) {
            d.UserFocus(kCapacitance);
            d.UserTyped(kCapacitance, c.capacitance);
            switch (c.press) {
            case Press::ClickOk: d.UserClicked(fw::IDOK); break;
            case Press::EnterInField: d.UserPressedEnter(); break;
            case Press::EnterOnOk:
                d.UserFocus(fw::IDOK);
                d.UserPressedEnter();
                break;
            }
            focusAfter = d.GetFocusId();
        });
        EXPECT_EQ(dlg.DoModal(), c.result);
        EXPECT_EQ(ui.sink.beeps, c.beeps);
        EXPECT_EQ(ui.sink.boxes, c.boxes);
        EXPECT_EQ(cap_.m_dCapacitance, c.storedCapacitance);
        if (!c.boxes.empty()) {
            EXPECT_EQ(focusAfter, kCapacitance);
        }
    }
}

TEST_F(BaseDlg, CaptionReplacesTheFormTitleOnlyWhenGiven) {
    struct Case {
        const char* caption;
        std::string title;
    };
    for (const Case& c : {Case{"Capacitor In", "Capacitor In"}, Case{nullptr, "Capacitor"}}) {
        CapacitorDlg dlg(&cap_, c.caption);
        std::string title;
        int focus = 0;
        ui.windows.Script(kPartForm, [&](fw::Dialog& d) {
            title = d.GetWindowText();
            focus = d.GetFocusId();
        });
        dlg.DoModal();
        EXPECT_EQ(title, c.title);
        EXPECT_EQ(focus, kCapacitance);  // the first field, as the system would put it
    }
}

TEST_F(BaseDlg, RightClickMenuOkClosesWhateverHasTheFocus) {
    struct Case {
        const char* name;
        const char* esr;
        UINT chosen;
        bool endsInMenu;
        int result;
        size_t boxes;
    };
    const Case cases[] = {
        {"OK with valid values", "0.1", ID_POPUP_OK, true, fw::IDOK, 0},
        {"OK with a bad value", "-1", ID_POPUP_OK, false, fw::IDCANCEL, 1},
        {"Cancel", "0.1", fw::IDCANCEL, true, fw::IDCANCEL, 0},
        {"nothing chosen", "0.1", 0, false, fw::IDCANCEL, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ui.sink.Clear();
        ui.windows.popupsAt.clear();
        ui.windows.popupAnswer = c.chosen;
        CapacitorDlg dlg(&cap_, nullptr);
        bool endedByMenu = false;
        fw::Point expectedAt;
        ui.windows.Script(kPartForm, [&](fw::Dialog& d) {
            d.UserFocus(kEsr);
            d.UserTyped(kEsr, c.esr);
            d.UserMouse(fw::MouseEvent::RButtonDown, {20, 30}, fw::MK_RBUTTON);
            expectedAt = d.ClientToScreen({20, 30});
            endedByMenu = d.IsEnded();
        });
        EXPECT_EQ(dlg.DoModal(), c.result);
        ASSERT_EQ(ui.windows.popupsAt.size(), 1u);
        EXPECT_EQ(ui.windows.popupsAt[0], expectedAt);
        EXPECT_EQ(endedByMenu, c.endsInMenu);
        EXPECT_EQ(ui.sink.boxes.size(), c.boxes);
        EXPECT_EQ(ui.sink.beeps, 0);
    }
}

TEST_F(BaseDlg, ReportDbResultLogsTheCodeAndShowsTheMessage) {
    struct Case {
        int result;
        int code;  // 0: nothing logged
        const char* box;
    };
    const Case cases[] = {
        {-1, 1600, "Problem:  The database functionality has been disabled."},
        {1, 1601, "Problem:  The database is not valid."},
        {4, 1604, "Problem:  An error occurred adding a part to the database."},
        {10, 1610, "Problem:  The database was not found."},
        {12, 1611, "Problem:  An error occurred during the database operation."},
        {13, 1612, "Problem:  The database selected is\nnot a parts database."},
        {18, 1617, "Problem:  The database filename was not valid."},
        {17, 1616, nullptr},
        {22, 1621, nullptr},
        {23, 0, nullptr},
        {0, 1622, "Problem:  An error occurred during database access."},
        {11, 1622, "Problem:  An error occurred during database access."},
        {24, 1622, "Problem:  An error occurred during database access."},
        {-2, 1622, "Problem:  An error occurred during database access."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.result);
        ClearLogAndBoxes();
        CComponentDlgBase::ReportDbResult(c.result);
        // The log: the time line, the code, then the message shown.
        const std::string log = Log();
        const std::string expected =
            c.code ? "BaseDlg:   CODE " + std::to_string(c.code) + "\r\n" + (c.box ? std::string(c.box) + "\r\n" : "")
                   : "";
        EXPECT_EQ(log.empty() ? log : log.substr(log.find("\r\n") + 2), expected);
        EXPECT_EQ(ui.sink.boxes, c.box ? std::vector<std::string>{c.box} : std::vector<std::string>{});
    }
}

TEST_F(BaseDlg, LoadReportsTheDisabledDatabaseAndShowsTheRecordAgain) {
    CapacitorDlg dlg(&cap_, nullptr);
    std::string shown;
    ui.windows.Script(kPartForm, [&](fw::Dialog& d) {
        d.UserTyped(kCapacitance, "3.3e-6");
        d.UserClicked(IDC_DB_LOAD);  // hidden while the database is off: a click does nothing
        EXPECT_TRUE(ui.sink.boxes.empty());
        d.GetDlgItem(IDC_DB_LOAD)->ShowWindow(fw::SW_SHOW);
        d.UserClicked(IDC_DB_LOAD);
        shown = d.GetDlgItemText(kCapacitance);
    });
    dlg.DoModal();
    EXPECT_EQ(ui.sink.boxes, std::vector<std::string>{"Problem:  The database functionality has been disabled."});
    EXPECT_TRUE(Logged("BaseDlg:   CODE ", 1600));
    EXPECT_EQ(shown, "1e-006");  // the record's value, not the typed one
    EXPECT_EQ(cap_.m_dCapacitance, 1e-6);
}

TEST_F(BaseDlg, StoreTakesTheFieldsFirstAndStopsWhenTheyFail) {
    struct Case {
        const char* capacitance;
        std::vector<std::string> boxes;
        double stored;
    };
    const Case cases[] = {
        {"4.7e-6", {"Problem:  The database functionality has been disabled."}, 4.7e-6},
        {"x", {"Please enter a number."}, 1e-6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.capacitance);
        ClearLogAndBoxes();
        cap_.m_dCapacitance = 1e-6;
        CapacitorDlg dlg(&cap_, nullptr);
        ui.windows.Script(kPartForm, [&](fw::Dialog& d) {
            d.UserTyped(kCapacitance, c.capacitance);
            d.GetDlgItem(IDC_DB_STORE)->ShowWindow(fw::SW_SHOW);
            d.UserClicked(IDC_DB_STORE);
            EXPECT_FALSE(d.IsEnded());
        });
        dlg.DoModal();
        EXPECT_EQ(ui.sink.boxes, c.boxes);
        EXPECT_EQ(cap_.m_dCapacitance, c.stored);
    }
}

TEST_F(BaseDlg, DatabaseButtonsHiddenAndOkCancelCentredWhileTheDatabaseIsOff) {
    ASSERT_EQ(g_PartsDbMgr.IsEnabled(), 0);
    CapacitorDlg dlg(&cap_, nullptr);
    ui.windows.Script(kPartForm, [&](fw::Dialog& d) {
        EXPECT_FALSE(d.GetDlgItem(IDC_DB_LOAD)->IsWindowVisible());
        EXPECT_FALSE(d.GetDlgItem(IDC_DB_STORE)->IsWindowVisible());
        const fw::Rect client = d.GetClientRect();
        const fw::Rect ok = d.GetDlgItem(fw::IDOK)->GetRect();
        const fw::Rect cancel = d.GetDlgItem(fw::IDCANCEL)->GetRect();
        // Form: 200 x 100 dialog units, 6 x 13 base units: 300 x 163 pixels;
        // buttons 40 x 14 units: 60 x 23 pixels.
        EXPECT_EQ(client, (fw::Rect{0, 0, 300, 163}));
        EXPECT_EQ(ok, fw::Rect::FromXYWH(80, 131, 60, 23));
        EXPECT_EQ(cancel, fw::Rect::FromXYWH(160, 131, 60, 23));
        EXPECT_EQ(cancel.left - ok.right, 20);
    });
    dlg.DoModal();
}

// Opening and closing with OK gives back every value as it was, even one
// that 15 digits do not hold; a value the user retyped is taken as typed.
TEST_F(BaseDlg, ExchangeKeepsUntouchedValuesExact) {
    const double awkward = 0.1 + 0.2;  // 0.30000000000000004
    struct Case {
        const char* typed;  // nullptr: left alone
        double stored;
    };
    for (const Case& c : {Case{nullptr, awkward}, Case{"0.3", awkward}, Case{"0.30", 0.3}, Case{"0.25", 0.25}}) {
        SCOPED_TRACE(c.typed ? c.typed : "untouched");
        cap_.m_dEsr = awkward;
        CapacitorDlg dlg(&cap_, nullptr);
        ui.windows.Script(kPartForm, [&](fw::Dialog& d) {
            EXPECT_EQ(d.GetDlgItemText(kEsr), "0.3");
            if (c.typed) d.UserTyped(kEsr, c.typed);
            d.UserClicked(fw::IDOK);
        });
        EXPECT_EQ(dlg.DoModal(), fw::IDOK);
        EXPECT_EQ(cap_.m_dEsr, c.stored);
    }
}

}  // namespace
