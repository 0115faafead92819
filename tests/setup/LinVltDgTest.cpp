#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "SetupTestSupport.h"
#include "setup/LinVltDg.h"
#include "setup/PartsSrcDlg.h"

namespace {

constexpr const char* kNeedsFrequency = "Problem:  If the AC Magnitude is non-zero, the Frequency must be non-zero.";

struct Pt {
    double time;
    double magnitude;
};

void SetTable(CObArrayTimeMagnitude& t, const std::vector<Pt>& points) {
    t.DeleteAll();
    CObTimeMagnitude p;
    for (size_t i = 0; i < points.size(); ++i) {
        p.m_dTime = points[i].time;
        p.m_dMagnitude = points[i].magnitude;
        t.AddCopy(static_cast<int>(i), p);
    }
}

std::vector<std::pair<double, double>> Table(const CObArrayTimeMagnitude& t) {
    std::vector<std::pair<double, double>> out;
    for (int i = 0; i < t.GetCount(); ++i) out.emplace_back(t.GetPointAt(i)->m_dTime, t.GetPointAt(i)->m_dMagnitude);
    return out;
}

class LineVoltageDlgTest : public DialogTest {
protected:
    int Run(std::function<void(fw::Dialog&)> script) {
        CLineVoltageDlg dlg(&voltage_, nullptr);
        ui.windows.Script(IDD_LINE_VOLTAGE, std::move(script));
        return dlg.DoModal();
    }
    // The next point dialog: type both fields and OK.
    void ScriptPoint(const char* time, const char* magnitude) {
        ui.windows.Script(IDD_TRANSIENT_DATA, [=](fw::Dialog& d) {
            d.UserTyped(IDC_TRANSIENT_TIME, time);
            d.UserTyped(IDC_TRANSIENT_MAGNITUDE, magnitude);
            d.UserClicked(fw::IDOK);
        });
    }
    CLineVoltage voltage_;
};

TEST_F(LineVoltageDlgTest, FrequencyIsNeededOnlyWithAnACMagnitude) {
    struct Case {
        const char* peak;
        const char* frequency;
        bool accepted;
    };
    const Case cases[] = {{"0", "0", true}, {"1", "0", false}, {"325", "50", true}, {"-1", "0", false}};
    for (const Case& c : cases) {
        ui.sink.Clear();
        voltage_ = CLineVoltage();
        const int r = Run([&](fw::Dialog& d) {
            d.UserTyped(IDC_AC_PEAK_MAGNITUDE, c.peak);
            d.UserTyped(IDC_AC_FREQUENCY, c.frequency);
            d.UserClicked(fw::IDOK);
            if (!d.IsEnded()) d.UserPressedEscape();
        });
        EXPECT_EQ(r, c.accepted ? fw::IDOK : fw::IDCANCEL) << c.peak << " " << c.frequency;
        EXPECT_EQ(ui.sink.boxes.size(), c.accepted ? 0u : 1u);
        EXPECT_EQ(ui.sink.beeps, c.accepted ? 0 : 1);
        if (!c.accepted) {
            EXPECT_EQ(ui.sink.boxes[0], kNeedsFrequency);
        }
    }
}

TEST_F(LineVoltageDlgTest, RangesAndTheirFocus) {
    struct Case {
        int id;
        const char* text;
        const char* box;
    };
    const Case cases[] = {
        {IDC_AC_PEAK_MAGNITUDE, "10001", "Please enter a number between -10000 and 10000."},
        {IDC_DC_MAGNITUDE, "-10000.5", "Please enter a number between -10000 and 10000."},
        {IDC_AC_FREQUENCY, "1e8", "Please enter a number between 0 and 10000000."},
        {IDC_AC_FREQUENCY, "inf", "Please enter a number."},
    };
    for (const Case& c : cases) {
        ui.sink.Clear();
        voltage_ = CLineVoltage();
        int focus = 0;
        Run([&](fw::Dialog& d) {
            d.UserTyped(IDC_AC_PEAK_MAGNITUDE, "100");
            d.UserTyped(c.id, c.text);
            d.UserClicked(fw::IDOK);
            focus = d.GetFocusId();
            d.UserPressedEscape();
        });
        EXPECT_EQ(focus, c.id) << c.text;
        EXPECT_EQ(ui.sink.boxes, std::vector<std::string>{c.box}) << c.text;
    }
    // Without an AC magnitude any frequency the field holds is taken.
    voltage_ = CLineVoltage();
    EXPECT_EQ(Run([](fw::Dialog& d) {
                  d.UserTyped(IDC_AC_FREQUENCY, "1e8");
                  d.UserClicked(fw::IDOK);
              }),
              fw::IDOK);
}

TEST_F(LineVoltageDlgTest, RmsFollowsThePeakAndEnterOnlyTakesTheValues) {
    voltage_.m_dACPeakMagnitude = 325;
    Run([](fw::Dialog& d) {
        EXPECT_EQ(d.GetDlgItemText(IDC_LINE_RMS_MAGNITUDE), "229.809704");
        EXPECT_FALSE(d.GetDlgItem(IDC_LINE_RMS_MAGNITUDE)->IsWindowEnabled());
        d.UserFocus(IDC_AC_PEAK_MAGNITUDE);
        EXPECT_EQ(d.GetDlgItemText(IDC_LINE_RMS_MAGNITUDE), "");
        d.UserTyped(IDC_AC_PEAK_MAGNITUDE, "100");
        d.UserFocus(IDC_AC_FREQUENCY);
        EXPECT_EQ(d.GetDlgItemText(IDC_LINE_RMS_MAGNITUDE), "70.710678");
        d.UserTyped(IDC_AC_FREQUENCY, "60");
        d.UserPressedEnter();  // stays open, no beep
        EXPECT_FALSE(d.IsEnded());
        d.UserPressedEscape();
    });
    EXPECT_EQ(ui.sink.beeps, 0);
    EXPECT_EQ(voltage_.m_dACFrequency, 60.0);
}

// A message box that takes the focus from the field and gives it back, as a
// window system may: the field loses the focus again under the first check.
class FocusStealingSink : public fw::RecordingSink {
public:
    void MessageBox(const std::string& text) override {
        fw::RecordingSink::MessageBox(text);
        if (!dialog || boxes.size() > 3) return;  // a runaway would stop here
        dialog->UserFocus(IDC_AC_PEAK_MAGNITUDE);
        dialog->UserFocus(IDC_DC_MAGNITUDE);
    }
    fw::Dialog* dialog = nullptr;
};

TEST_F(LineVoltageDlgTest, FocusLossCheckDoesNotReenter) {
    FocusStealingSink stealing;
    Run([&](fw::Dialog& d) {
        d.UserFocus(IDC_AC_PEAK_MAGNITUDE);
        d.UserTyped(IDC_AC_PEAK_MAGNITUDE, "20000");
        fw::ScopedReportSink scoped(&stealing);
        stealing.dialog = &d;
        d.UserFocus(IDC_DC_MAGNITUDE);
        stealing.dialog = nullptr;
        d.UserPressedEscape();
    });
    EXPECT_EQ(stealing.boxes, std::vector<std::string>{"Please enter a number between -10000 and 10000."});
}

TEST_F(LineVoltageDlgTest, PopupOKChecksTheFrequencyToo) {
    EXPECT_EQ(Run([](fw::Dialog& d) {
                  d.UserTyped(IDC_AC_PEAK_MAGNITUDE, "10");
                  d.UserCommand(ID_POPUP_OK);
                  EXPECT_FALSE(d.IsEnded());
                  d.UserTyped(IDC_AC_FREQUENCY, "50");
                  d.UserCommand(ID_POPUP_OK);
              }),
              fw::IDOK);
    EXPECT_EQ(ui.sink.boxes, std::vector<std::string>{kNeedsFrequency});
}

TEST_F(LineVoltageDlgTest, TransientTablesAreEditedOnACopy) {
    SetTable(voltage_.m_ACMagnitudeTable, {{1e-3, 10}});
    // DC: points added then Cancel: nothing changes.
    ScriptPoint("1e-3", "5");
    ui.windows.Script(IDD_TRANSIENT_TABLE, [](fw::Dialog& d) {
        EXPECT_EQ(d.GetWindowText(), "DC Magnitude Transient");
        d.UserClicked(IDC_TRANSIENT_ADD);
        d.UserClicked(fw::IDCANCEL);
    });
    // AC: a point entered with more digits than the rows show is kept whole.
    ScriptPoint("1.23456e-3", "1.23456");
    ui.windows.Script(IDD_TRANSIENT_TABLE, [](fw::Dialog& d) {
        EXPECT_EQ(d.GetWindowText(), "AC Magnitude Transient");
        d.UserClicked(IDC_TRANSIENT_ADD);
        EXPECT_EQ(d.GetDlgItem(IDC_TRANSIENT_LIST)->Rows(),
                  (std::vector<std::string>{"1.000e-003\t10.0000", "1.235e-003\t1.2346"}));
        d.UserClicked(fw::IDOK);
    });
    EXPECT_EQ(Run([](fw::Dialog& d) {
                  d.UserClicked(IDC_LINE_DC_TRANSIENT);
                  d.UserClicked(IDC_LINE_AC_TRANSIENT);
                  d.UserClicked(fw::IDOK);
              }),
              fw::IDOK);
    EXPECT_EQ(voltage_.m_DCMagnitudeTable.GetCount(), 0);
    EXPECT_EQ(Table(voltage_.m_ACMagnitudeTable),
              (std::vector<std::pair<double, double>>{{1e-3, 10}, {1.23456e-3, 1.23456}}));
}

class TransientTableDlgTest : public DialogTest {
protected:
    int Run(std::function<void(fw::Dialog&)> script) {
        CTransientTableDlg dlg(&table_, "DC Magnitude Transient", nullptr);
        ui.windows.Script(IDD_TRANSIENT_TABLE, std::move(script));
        return dlg.DoModal();
    }
    CObArrayTimeMagnitude table_;
};

TEST_F(TransientTableDlgTest, ZeroTimeMagnitudeIsQuestionedOnEveryOK) {
    SetTable(table_, {{0.0, 5.0}, {1e-3, 0.0}});
    // No keeps the dialog open, for the OK button and the popup alike.
    ui.sink.answers = {false, false, true};
    EXPECT_EQ(Run([](fw::Dialog& d) {
                  d.UserClicked(fw::IDOK);
                  EXPECT_FALSE(d.IsEnded());
                  d.UserCommand(ID_POPUP_OK);
                  EXPECT_FALSE(d.IsEnded());
                  d.UserClicked(fw::IDOK);
              }),
              fw::IDOK);
    EXPECT_EQ(ui.sink.questions.size(), 3u);
}

TEST_F(TransientTableDlgTest, DeleteSelectsTheNextRowAndRefusesWithoutOne) {
    SetTable(table_, {{1e-3, 1}, {2e-3, 2}});
    EXPECT_EQ(Run([](fw::Dialog& d) {
                  fw::Control* list = d.GetDlgItem(IDC_TRANSIENT_LIST);
                  d.UserSelected(IDC_TRANSIENT_LIST, 1);
                  d.UserClicked(IDC_TRANSIENT_DELETE);
                  EXPECT_EQ(list->GetCurSel(), 0);  // the new last row
                  d.UserClicked(IDC_TRANSIENT_DELETE);
                  EXPECT_EQ(list->GetCurSel(), -1);
                  d.UserClicked(IDC_TRANSIENT_DELETE);  // empty: a beep
                  d.UserFocus(IDC_TRANSIENT_LIST);
                  d.UserPressedEnter();  // stays open without a beep
                  EXPECT_FALSE(d.IsEnded());
                  d.UserClicked(fw::IDOK);
              }),
              fw::IDOK);
    EXPECT_EQ(ui.sink.beeps, 1);
    EXPECT_EQ(table_.GetCount(), 0);
}

}  // namespace
