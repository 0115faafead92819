#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "SetupTestSupport.h"
#include "setup/PartsSrcDlg.h"

namespace {

const char* const kQuestion54029 =
    "Warning:  A non-zero magnitude at zero time is effectively a DC component which may be inconsistent with the "
    "transient specification.";

struct Pt {
    double time;
    double magnitude;
};

void SetPoints(CCrntVoltSource& s, const std::vector<Pt>& points) {
    s.m_Transient.DeleteAll();
    CObTimeMagnitude p;
    for (size_t i = 0; i < points.size(); ++i) {
        p.m_dTime = points[i].time;
        p.m_dMagnitude = points[i].magnitude;
        s.m_Transient.AddCopy(static_cast<int>(i), p);
    }
}

std::vector<Pt> Points(const CCrntVoltSource& s) {
    std::vector<Pt> out;
    for (int i = 0; i < s.m_Transient.GetCount(); ++i) {
        const CObTimeMagnitude* p = s.m_Transient.GetPointAt(i);
        out.push_back(p ? Pt{p->m_dTime, p->m_dMagnitude} : Pt{-1, -1});
    }
    return out;
}

void ExpectPoints(const CCrntVoltSource& s, const std::vector<Pt>& expected) {
    const std::vector<Pt> got = Points(s);
    ASSERT_EQ(got.size(), expected.size());
    for (size_t i = 0; i < got.size(); ++i) {
        EXPECT_EQ(got[i].time, expected[i].time) << "point " << i;
        EXPECT_EQ(got[i].magnitude, expected[i].magnitude) << "point " << i;
    }
}

class SourceDlg : public DialogTest {
protected:
    CCrntVoltSource source_;

    // The point dialog's next run: type the values (nullptr leaves a field)
    // and click OK.
    void ScriptPoint(const char* time, const char* magnitude) {
        ui.windows.Script(IDD_TRANSIENT_DATA, [=](fw::Dialog& d) {
            if (time) d.UserTyped(IDC_TRANSIENT_TIME, time);
            if (magnitude) d.UserTyped(IDC_TRANSIENT_MAGNITUDE, magnitude);
            d.UserClicked(fw::IDOK);
        });
    }
    int Run(std::function<void(fw::Dialog&)> script, UINT templateId = IDD_CURRENT_SOURCE, int16_t kind = 1) {
        CCrntVoltSourceDlg dlg(&source_, kind, templateId, "Current Source I Load", nullptr);
        ui.windows.Script(templateId, std::move(script));
        return dlg.DoModal();
    }
};

TEST_F(SourceDlg, PointsAreListedByTimeAndSavedInListOrder) {
    std::vector<std::string> rows;
    int selected = -2;
    ScriptPoint("2e-3", "1");
    ScriptPoint("1e-3", "2");
    ScriptPoint("2e-3", "3");
    EXPECT_EQ(Run([&](fw::Dialog& d) {
                  for (int i = 0; i < 3; ++i) d.UserClicked(IDC_TRANSIENT_ADD);
                  rows = d.GetDlgItem(IDC_TRANSIENT_LIST)->Rows();
                  selected = d.GetDlgItem(IDC_TRANSIENT_LIST)->GetCurSel();
                  d.UserClicked(fw::IDOK);
              }),
              fw::IDOK);
    EXPECT_EQ(rows, (std::vector<std::string>{"1.000e-003\t2.0000", "2.000e-003\t1.0000", "2.000e-003\t3.0000"}));
    EXPECT_EQ(selected, 2);  // the last one added, after the point of the same time
    ExpectPoints(source_, {{1e-3, 2}, {2e-3, 1}, {2e-3, 3}});
    // Each Add opened the point dialog in add mode with the current unit.
    EXPECT_EQ(ui.windows.modalRuns,
              (std::vector<UINT>{IDD_CURRENT_SOURCE, IDD_TRANSIENT_DATA, IDD_TRANSIENT_DATA, IDD_TRANSIENT_DATA}));
}

// The rows show rounded values; the table keeps the points as they were.
TEST_F(SourceDlg, OpeningAndClosingKeepsEveryPointExact) {
    const std::vector<Pt> table = {{0.0, 0.0}, {1.23456789e-3, 4e-5}, {2e-3, 1.23456789e-3}, {0.1 + 0.2, -0.1 - 0.2}};
    SetPoints(source_, table);
    CCrntVoltSource before = source_;
    std::vector<std::string> rows;
    EXPECT_EQ(Run([&](fw::Dialog& d) {
                  rows = d.GetDlgItem(IDC_TRANSIENT_LIST)->Rows();
                  EXPECT_EQ(d.GetDlgItem(IDC_TRANSIENT_LIST)->GetCurSel(), 0);
                  d.UserClicked(fw::IDOK);
              }),
              fw::IDOK);
    EXPECT_EQ(rows, (std::vector<std::string>{"0.000e+000\t0.0000", "1.235e-003\t0.0000", "2.000e-003\t0.0012",
                                              "3.000e-001\t-0.3000"}));
    ExpectPoints(source_, table);
    EXPECT_FALSE(source_ != before);
}

// Modify changes the point edited and no other; a field left alone keeps its
// exact value.
TEST_F(SourceDlg, ModifyChangesOnlyTheEditedPoint) {
    SetPoints(source_, {{1.23456789e-3, 4e-5}, {2.5e-3, 1.23456789e-3}, {3e-3, 7}});
    std::string shownTime, shownMagnitude, title;
    ui.windows.Script(IDD_TRANSIENT_DATA, [&](fw::Dialog& d) {
        title = d.GetWindowText();
        shownTime = d.GetDlgItemText(IDC_TRANSIENT_TIME);
        shownMagnitude = d.GetDlgItemText(IDC_TRANSIENT_MAGNITUDE);
        d.UserTyped(IDC_TRANSIENT_MAGNITUDE, "5");
        d.UserClicked(fw::IDOK);
    });
    EXPECT_EQ(Run([&](fw::Dialog& d) {
                  d.UserSelected(IDC_TRANSIENT_LIST, 1);
                  d.UserClicked(IDC_TRANSIENT_MODIFY);
                  EXPECT_EQ(d.GetDlgItem(IDC_TRANSIENT_LIST)->GetText(1), "2.500e-003\t5.0000");
                  EXPECT_EQ(d.GetDlgItem(IDC_TRANSIENT_LIST)->GetCurSel(), 1);
                  d.UserClicked(fw::IDOK);
              }),
              fw::IDOK);
    EXPECT_EQ(title, "Modify Transient Data");
    EXPECT_EQ(shownTime, "0.0025");
    EXPECT_EQ(shownMagnitude, "0.00123456789");
    ExpectPoints(source_, {{1.23456789e-3, 4e-5}, {2.5e-3, 5}, {3e-3, 7}});
}

TEST_F(SourceDlg, ModifiedPointMovesToItsPlaceInTime) {
    SetPoints(source_, {{1e-3, 1}, {2e-3, 2}, {3e-3, 3}});
    ScriptPoint("5e-3", nullptr);
    std::vector<std::string> rows;
    Run([&](fw::Dialog& d) {
        d.UserSelected(IDC_TRANSIENT_LIST, 0);
        d.UserClicked(IDC_TRANSIENT_MODIFY);
        rows = d.GetDlgItem(IDC_TRANSIENT_LIST)->Rows();
        EXPECT_EQ(d.GetDlgItem(IDC_TRANSIENT_LIST)->GetCurSel(), 2);
        d.UserClicked(fw::IDOK);
    });
    EXPECT_EQ(rows, (std::vector<std::string>{"2.000e-003\t2.0000", "3.000e-003\t3.0000", "5.000e-003\t1.0000"}));
    ExpectPoints(source_, {{2e-3, 2}, {3e-3, 3}, {5e-3, 1}});
}

TEST_F(SourceDlg, CancelledPointDialogChangesNothing) {
    SetPoints(source_, {{1e-3, 1}});
    ui.windows.Script(IDD_TRANSIENT_DATA, [](fw::Dialog& d) {
        d.UserTyped(IDC_TRANSIENT_TIME, "9");
        d.UserClicked(fw::IDCANCEL);
    });
    ui.windows.Script(IDD_TRANSIENT_DATA, [](fw::Dialog& d) { d.UserClicked(fw::IDCANCEL); });
    Run([&](fw::Dialog& d) {
        d.UserClicked(IDC_TRANSIENT_MODIFY);
        d.UserClicked(IDC_TRANSIENT_ADD);
        EXPECT_EQ(d.GetDlgItem(IDC_TRANSIENT_LIST)->Rows(), std::vector<std::string>{"1.000e-003\t1.0000"});
        d.UserClicked(fw::IDOK);
    });
    ExpectPoints(source_, {{1e-3, 1}});
}

TEST_F(SourceDlg, DeleteSelectsTheRowThatTakesThePlace) {
    struct Case {
        const char* name;
        int rows;
        int select;  // -1: no selection
        int selectedAfter;
        int rowsAfter;
        int beeps;
        std::vector<std::string> boxes;
    };
    const Case cases[] = {
        {"last of five", 5, 4, 3, 4, 0, {}},
        {"second of five", 5, 1, 1, 4, 0, {}},
        {"the only row", 1, 0, -1, 0, 0, {}},
        {"no selection", 3, -1, -1, 3, 0, {"Select item to be deleted before pressing Delete."}},
        {"empty list", 0, -1, -1, 0, 1, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ui.sink.Clear();
        std::vector<Pt> points;
        for (int i = 0; i < c.rows; ++i) points.push_back({(i + 1) * 1e-3, i * 1.0});
        SetPoints(source_, points);
        std::vector<std::string> rowsBefore;
        int selectedAfter = -2;
        Run([&](fw::Dialog& d) {
            fw::Control* list = d.GetDlgItem(IDC_TRANSIENT_LIST);
            d.UserSelected(IDC_TRANSIENT_LIST, c.select);
            rowsBefore = list->Rows();
            d.UserClicked(IDC_TRANSIENT_DELETE);
            selectedAfter = list->GetCurSel();
            ASSERT_EQ(list->GetCount(), c.rowsAfter);
            if (c.select >= 0 && c.selectedAfter >= 0) {
                // The row now selected is the one that followed the deleted row,
                // or the new last row.
                const int expected = c.select < c.rowsAfter ? c.select + 1 : c.select - 1;
                EXPECT_EQ(list->GetText(selectedAfter), rowsBefore[expected]);
            }
            d.UserClicked(fw::IDOK);
        });
        EXPECT_EQ(selectedAfter, c.selectedAfter);
        EXPECT_EQ(ui.sink.beeps, c.beeps);
        EXPECT_EQ(ui.sink.boxes, c.boxes);
        EXPECT_EQ(source_.m_Transient.GetCount(), c.rowsAfter);
    }
}

TEST_F(SourceDlg, ModifyNeedsARowAndASelection) {
    struct Case {
        int rows;
        int beeps;
        std::vector<std::string> boxes;
    };
    for (const Case& c : {Case{0, 1, {}}, Case{2, 0, {"Select item to be modified before pressing Modify."}}}) {
        ui.sink.Clear();
        ui.windows.modalRuns.clear();
        SetPoints(source_, c.rows ? std::vector<Pt>{{1e-3, 1}, {2e-3, 2}} : std::vector<Pt>{});
        Run([&](fw::Dialog& d) {
            d.UserSelected(IDC_TRANSIENT_LIST, -1);
            d.UserClicked(IDC_TRANSIENT_MODIFY);
        });
        EXPECT_EQ(ui.sink.beeps, c.beeps);
        EXPECT_EQ(ui.sink.boxes, c.boxes);
        EXPECT_EQ(ui.windows.modalRuns, std::vector<UINT>{IDD_CURRENT_SOURCE});  // no point dialog
    }
}

// Each point at time 0 with a magnitude asks 54029 on OK; the first No keeps
// the dialog open.
TEST_F(SourceDlg, NonZeroMagnitudeAtZeroTimeAsksBeforeClosing) {
    struct Case {
        const char* name;
        std::vector<Pt> points;
        std::vector<bool> answers;
        size_t questions;
        bool closed;
    };
    const Case cases[] = {
        {"Yes closes", {{0.0, 5.0}, {1e-3, 1.0}}, {true}, 1, true},
        {"No stays open", {{0.0, 5.0}}, {false}, 1, false},
        {"each point asks", {{0.0, 5.0}, {0.0, -2.0}}, {true, true}, 2, true},
        {"No stops the questions", {{0.0, 5.0}, {0.0, -2.0}}, {false}, 1, false},
        {"zero magnitude does not ask", {{0.0, 0.0}, {1e-3, 5.0}}, {}, 0, true},
        // The row shows 0.0000, the point is not zero.
        {"a small magnitude asks", {{0.0, 4e-5}}, {true}, 1, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ui.sink.Clear();
        ui.sink.answers = c.answers;
        SetPoints(source_, c.points);
        bool ended = false;
        Run([&](fw::Dialog& d) {
            d.UserClicked(fw::IDOK);
            ended = d.IsEnded();
        });
        EXPECT_EQ(ended, c.closed);
        ASSERT_EQ(ui.sink.questions.size(), c.questions);
        for (const std::string& q : ui.sink.questions) EXPECT_EQ(q, kQuestion54029);
        ExpectPoints(source_, c.points);
    }
}

TEST_F(SourceDlg, EnterInAFieldTakesTheDataWithoutClosingOrBeeping) {
    ui.sink.answers = {true};
    SetPoints(source_, {{0.0, 5.0}});
    bool ended = true;
    Run([&](fw::Dialog& d) {
        d.UserFocus(IDC_DC_MAGNITUDE);
        d.UserTyped(IDC_DC_MAGNITUDE, "12");
        d.UserPressedEnter();
        ended = d.IsEnded();
    });
    EXPECT_FALSE(ended);
    EXPECT_EQ(ui.sink.beeps, 0);
    EXPECT_TRUE(ui.sink.questions.empty());
    EXPECT_EQ(source_.m_dDCMagnitude, 12.0);
}

TEST_F(SourceDlg, FieldRanges) {
    struct Case {
        const char* name;
        const char* dc;
        const char* peak;
        const char* frequency;
        const char* box;  // nullptr: accepted
        int focus;
    };
    const Case cases[] = {
        {"frequency 0 without a sine", "1", "0", "0", nullptr, 0},
        {"frequency 0 with a sine", "1", "2", "0", "Please enter a number between 0.0001 and 10000000.",
         IDC_AC_FREQUENCY},
        {"frequency at its limits", "1", "2", "10000000", nullptr, 0},
        {"frequency above", "1", "2", "10000001", "Please enter a number between 0.0001 and 10000000.",
         IDC_AC_FREQUENCY},
        {"peak beyond", "1", "-10001", "50", "Please enter a number between -10000 and 10000.", IDC_AC_PEAK_MAGNITUDE},
        {"dc beyond", "10000.5", "0", "0", "Please enter a number between -10000 and 10000.", IDC_DC_MAGNITUDE},
        {"dc not a number", "1O", "0", "0", "Please enter a number.", IDC_DC_MAGNITUDE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ui.sink.Clear();
        source_.InitDefaults();
        int focus = 0;
        const int result = Run([&](fw::Dialog& d) {
            d.UserTyped(IDC_DC_MAGNITUDE, c.dc);
            d.UserTyped(IDC_AC_PEAK_MAGNITUDE, c.peak);
            d.UserTyped(IDC_AC_FREQUENCY, c.frequency);
            d.UserClicked(fw::IDOK);
            focus = d.GetFocusId();
        });
        EXPECT_EQ(result, c.box ? fw::IDCANCEL : fw::IDOK);
        EXPECT_EQ(ui.sink.boxes, c.box ? std::vector<std::string>{c.box} : std::vector<std::string>{});
        if (c.box) {
            EXPECT_EQ(focus, c.focus);
        }
    }
}

TEST_F(SourceDlg, TitleFromTheCallerAndUnitsFromTheTemplate) {
    struct Case {
        UINT templateId;
        int16_t kind;
        const char* unit;
        const char* pointUnit;
    };
    for (const Case& c : {Case{IDD_CURRENT_SOURCE, 1, "amps", "amperes"}, Case{IDD_VOLTAGE_SOURCE, 0, "volts", "volts"}}) {
        std::string title, pointUnit, pointTitle;
        std::vector<std::string> statics;
        ui.windows.Script(IDD_TRANSIENT_DATA, [&](fw::Dialog& d) {
            pointTitle = d.GetWindowText();
            pointUnit = d.GetDlgItemText(IDC_TRANSIENT_UNITS);
        });
        Run(
            [&](fw::Dialog& d) {
                title = d.GetWindowText();
                for (const auto& ctl : d.Controls())
                    if (ctl->GetKind() == fw::ControlKind::Static) statics.push_back(ctl->GetWindowText());
                d.UserClicked(IDC_TRANSIENT_ADD);
            },
            c.templateId, c.kind);
        EXPECT_EQ(title, "Current Source I Load");
        EXPECT_EQ(std::count(statics.begin(), statics.end(), c.unit), 2);
        EXPECT_EQ(pointTitle, "Add Transient Data");
        EXPECT_EQ(pointUnit, c.pointUnit);
    }
}

// ---------------------------------------------------------------------------

class TransientDataDlg : public DialogTest {};

TEST_F(TransientDataDlg, TitleAndUnitFollowModeAndKind) {
    struct Case {
        int16_t kind;
        int32_t mode;
        const char* title;
        const char* unit;
        int code;  // PartsSrc code logged, 0 none
    };
    const Case cases[] = {
        {0, 0, "Add Transient Data", "volts", 0},
        {1, 1, "Modify Transient Data", "amperes", 0},
        {0, 2, "", "volts", 3810},
        {3, 0, "Add Transient Data", "", 3812},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode * 10 + c.kind);
        ClearLogAndBoxes();
        CTransientDataDlg dlg(c.kind, c.mode, 1e-3, 2.0, "ignored", nullptr);
        std::string title, unit;
        ui.windows.Script(IDD_TRANSIENT_DATA, [&](fw::Dialog& d) {
            title = d.GetWindowText();
            unit = d.GetDlgItemText(IDC_TRANSIENT_UNITS);
            EXPECT_EQ(d.GetDlgItemText(IDC_TRANSIENT_TIME), "0.001");
            EXPECT_EQ(d.GetDlgItemText(IDC_TRANSIENT_MAGNITUDE), "2");
        });
        dlg.DoModal();
        EXPECT_EQ(title, c.title);
        EXPECT_EQ(unit, c.unit);
        if (c.code) {
            EXPECT_TRUE(Logged("PartsSrc:  CODE ", c.code));
        } else {
            EXPECT_FALSE(LoggedAnyCode());
        }
    }
}

TEST_F(TransientDataDlg, Ranges) {
    struct Case {
        const char* time;
        const char* magnitude;
        const char* box;
    };
    const Case cases[] = {
        {"0", "-10000", nullptr},
        {"1000000", "10000", nullptr},
        {"-1e-9", "1", "Please enter a number between 0 and 1000000."},
        {"1000001", "1", "Please enter a number between 0 and 1000000."},
        {"1", "10000.01", "Please enter a number between -10000 and 10000."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.time) + " " + c.magnitude);
        ui.sink.Clear();
        CTransientDataDlg dlg(0, CTransientDataDlg::MODE_ADD, 0.0, 0.0, nullptr, nullptr);
        ui.windows.Script(IDD_TRANSIENT_DATA, [&](fw::Dialog& d) {
            d.UserTyped(IDC_TRANSIENT_TIME, c.time);
            d.UserTyped(IDC_TRANSIENT_MAGNITUDE, c.magnitude);
            d.UserClicked(fw::IDOK);
        });
        EXPECT_EQ(dlg.DoModal(), c.box ? fw::IDCANCEL : fw::IDOK);
        EXPECT_EQ(ui.sink.boxes, c.box ? std::vector<std::string>{c.box} : std::vector<std::string>{});
    }
}

// ---------------------------------------------------------------------------

TEST_F(DialogTest, DCSourceDialogEditsTheDCValueOnly) {
    struct Case {
        const char* typed;
        int result;
        double dc;
    };
    for (const Case& c : {Case{"12.5", fw::IDOK, 12.5}, Case{"-20000", fw::IDCANCEL, -20000.0}}) {
        CCrntVoltSource source;
        source.m_dDCMagnitude = 3.0;
        source.m_dACPeakMagnitude = 7.0;
        CDCSourceDlg dlg(&source, IDD_DC_VOLTAGE_SOURCE, "Voltage Source USS", nullptr);
        std::string title;
        ui.windows.Script(IDD_DC_VOLTAGE_SOURCE, [&](fw::Dialog& d) {
            title = d.GetWindowText();
            d.UserTyped(IDC_DC_MAGNITUDE, c.typed);
            d.UserClicked(fw::IDOK);
        });
        EXPECT_EQ(dlg.DoModal(), c.result);
        EXPECT_EQ(title, "Voltage Source USS");
        EXPECT_EQ(source.m_dDCMagnitude, c.dc);
        EXPECT_EQ(source.m_dACPeakMagnitude, 7.0);
    }
}

TEST_F(DialogTest, CurrentSenseChoice) {
    struct Case {
        const char* name;
        UINT templateId;
        int32_t held;
        int shownChecked;  // 0: none
        int clicked;       // 0: none
        int32_t saved;
    };
    const Case cases[] = {
        {"213 shows the capacitor", IDD_CURRENT_SOURCE_CHOKE_CAP, 2, IDC_SENSE_OUTPUT_CAPACITOR, 0, 2},
        {"213 choke to capacitor", IDD_CURRENT_SOURCE_CHOKE_CAP, 1, IDC_SENSE_CHOKE, IDC_SENSE_OUTPUT_CAPACITOR, 2},
        {"213 capacitor to choke", IDD_CURRENT_SOURCE_CHOKE_CAP, 2, IDC_SENSE_OUTPUT_CAPACITOR, IDC_SENSE_CHOKE, 1},
        {"213 primary shows none and keeps 0", IDD_CURRENT_SOURCE_CHOKE_CAP, 0, 0, 0, 0},
        {"211 capacitor to primary", IDD_FEEDBACK_CURRENT_SOURCE, 2, IDC_SENSE_OUTPUT_CAPACITOR,
         IDC_SENSE_PRIMARY_SWITCH, 0},
        {"212 primary to choke", IDD_CURRENT_SOURCE_PRI_CHOKE, 0, IDC_SENSE_PRIMARY_SWITCH, IDC_SENSE_CHOKE, 1},
        // No button for the capacitor: nothing checked, and the value is kept.
        {"212 capacitor kept", IDD_CURRENT_SOURCE_PRI_CHOKE, 2, 0, 0, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CCrntSensSource sense;
        sense.m_iSensedCurrent = c.held;
        CCrntSensSourceDlg dlg(&sense, c.templateId, "Limit Current Source VISCL", nullptr);
        int checked = -1;
        ui.windows.Script(c.templateId, [&](fw::Dialog& d) {
            checked = d.GetCheckedRadioButton(IDC_SENSE_PRIMARY_SWITCH, IDC_SENSE_OUTPUT_CAPACITOR);
            if (c.clicked) d.UserClicked(c.clicked);
            d.UserClicked(fw::IDOK);
        });
        EXPECT_EQ(dlg.DoModal(), fw::IDOK);
        EXPECT_EQ(checked, c.shownChecked);
        EXPECT_EQ(sense.m_iSensedCurrent, c.saved);
    }
}

TEST_F(DialogTest, CurrentSenseCancelLeavesTheRecord) {
    CCrntSensSource sense;
    sense.m_iSensedCurrent = 2;
    CCrntSensSourceDlg dlg(&sense, IDD_CURRENT_SOURCE_CHOKE_CAP, nullptr, nullptr);
    std::string title;
    ui.windows.Script(IDD_CURRENT_SOURCE_CHOKE_CAP, [&](fw::Dialog& d) {
        title = d.GetWindowText();
        d.UserClicked(IDC_SENSE_CHOKE);
        d.UserPressedEscape();
    });
    EXPECT_EQ(dlg.DoModal(), fw::IDCANCEL);
    EXPECT_EQ(title, "");
    EXPECT_EQ(sense.m_iSensedCurrent, 2);
}

}  // namespace
