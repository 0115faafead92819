#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "SetupTestSupport.h"
#include "circuit/CircuitTestSupport.h"
#include "setup/PartsDlg.h"
#include "setup/RectDlg.h"

namespace {

class RectDlg : public DialogTest {
protected:
    circuit_test::FakeDoc doc_;
};

// Every way out ends with IDOK; the choice tells which.
TEST_F(RectDlg, KindChoiceEndsWithOkAndTellsWhatWasChosen) {
    struct Case {
        const char* name;
        std::function<void(fw::Dialog&)> act;
        int choice;
    };
    const Case cases[] = {
        {"Non Synchronous", [](fw::Dialog& d) { d.UserClicked(IDC_RECT_NON_SYNCHRONOUS); }, IDC_RECT_NON_SYNCHRONOUS},
        {"Synchronous", [](fw::Dialog& d) { d.UserClicked(IDC_RECT_SYNCHRONOUS); }, IDC_RECT_SYNCHRONOUS},
        {"Cancel", [](fw::Dialog& d) { d.UserClicked(fw::IDCANCEL); }, fw::IDCANCEL},
        {"Escape", [](fw::Dialog& d) { d.UserPressedEscape(); }, fw::IDCANCEL},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        int choice = 0;
        CRectifierDlg dlg(&choice, IDD_RECTIFIER, "Rectifier 2", nullptr);
        std::string title;
        ui.windows.Script(IDD_RECTIFIER, [&](fw::Dialog& d) {
            title = d.GetWindowText();
            EXPECT_EQ(d.GetDlgItem(fw::IDOK), nullptr);
            c.act(d);
        });
        EXPECT_EQ(dlg.DoModal(), fw::IDOK);
        EXPECT_EQ(choice, c.choice);
        EXPECT_EQ(title, "Rectifier 2");
    }
}

// A part edited with OK is kept whatever the synchronous rectifier dialog
// then ends with; a part dialog cancelled changes nothing.
TEST_F(RectDlg, SynchronousRectifierEditsEachPartOnACopy) {
    struct Case {
        const char* name;
        int button;
        UINT partTemplate;
        const char* caption;
        int field;
        bool partOk;
        int closeWith;
        double diodeVf, fetRon;
    };
    const Case cases[] = {
        {"diode OK, then Cancel", IDC_SYNC_DIODE, IDD_DIODE_RECTIFIER, "Synchronous Rectifier Diode",
         IDC_DIODE_FORWARD_VOLTAGE, true, fw::IDCANCEL, 0.45, 0.2},
        {"diode cancelled", IDC_SYNC_DIODE, IDD_DIODE_RECTIFIER, "Synchronous Rectifier Diode",
         IDC_DIODE_FORWARD_VOLTAGE, false, fw::IDOK, 0.7, 0.2},
        {"transistor OK", IDC_SYNC_TRANSISTOR, IDD_TRANSISTOR_FE, "Synchronous Rectifier Field Effect Transistor",
         IDC_FE_ON_RESISTANCE, true, fw::IDOK, 0.7, 0.45},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CDiode diode;
        diode.m_dForwardVoltage = 0.7;
        CTransistorFE fet;
        fet.m_dOnResistance = 0.2;
        std::string partTitle, title;
        ui.windows.Script(c.partTemplate, [&](fw::Dialog& d) {
            partTitle = d.GetWindowText();
            d.UserTyped(c.field, "0.45");
            if (c.partOk) d.UserClicked(fw::IDOK);
        });
        CSynchronousRectifierDlg dlg(&diode, &fet, "Synchronous Rectifier 1", IDD_SYNCHRONOUS_RECTIFIER, nullptr);
        ui.windows.Script(IDD_SYNCHRONOUS_RECTIFIER, [&](fw::Dialog& d) {
            title = d.GetWindowText();
            d.UserClicked(c.button);
            d.UserClicked(c.closeWith);
        });
        EXPECT_EQ(dlg.DoModal(), c.closeWith);
        EXPECT_EQ(title, "Synchronous Rectifier 1");
        EXPECT_EQ(partTitle, c.caption);
        EXPECT_EQ(diode.m_dForwardVoltage, c.diodeVf);
        EXPECT_EQ(fet.m_dOnResistance, c.fetRon);
    }
}

}  // namespace
