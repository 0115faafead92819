#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "SetupTestSupport.h"
#include "setup/CoreSatDlg.h"

namespace {

struct Pt {
    double current;
    double inductance;
};

class CoreSatDlg : public DialogTest {
protected:
    CCoreSatChar sat_;

    void SetPoints(const std::vector<Pt>& points) {
        sat_.m_arPoints.DeleteAll();
        for (size_t i = 0; i < points.size(); ++i)
            sat_.m_arPoints.AddCopy(int(i), CObCurrentInductance(points[i].current, points[i].inductance));
    }
    std::vector<Pt> Points() const {
        std::vector<Pt> out;
        for (int i = 0; i < sat_.m_arPoints.GetCount(); ++i) {
            const CObCurrentInductance* p = sat_.m_arPoints.GetPointAt(i);
            out.push_back({p->m_dCurrent, p->m_dInductance});
        }
        return out;
    }
    void ExpectPoints(const std::vector<Pt>& expected) const {
        const std::vector<Pt> got = Points();
        ASSERT_EQ(got.size(), expected.size());
        for (size_t i = 0; i < got.size(); ++i) {
            EXPECT_EQ(got[i].current, expected[i].current) << "point " << i;
            EXPECT_EQ(got[i].inductance, expected[i].inductance) << "point " << i;
        }
    }
    // The point dialog's next run: type the values (nullptr leaves a field)
    // and click OK, or cancel.
    void ScriptPoint(const char* current, const char* inductance, bool ok = true) {
        ui.windows.Script(IDD_CORE_SAT_POINT, [=](fw::Dialog& d) {
            if (current) d.UserTyped(IDC_CORE_SAT_CURRENT, current);
            if (inductance) d.UserTyped(IDC_CORE_SAT_INDUCTANCE, inductance);
            if (ok) d.UserClicked(fw::IDOK);
        });
    }
    int Run(std::function<void(fw::Dialog&)> script) {
        CCoreSatCharListDlg dlg(&sat_, IDD_CORE_SAT_LIST, "Core Saturation Characteristics", nullptr);
        ui.windows.Script(IDD_CORE_SAT_LIST, std::move(script));
        return dlg.DoModal();
    }
    static std::vector<std::string> Rows(fw::Dialog& d) { return d.GetDlgItem(IDC_CORE_SAT_LIST)->Rows(); }
    static int Selected(fw::Dialog& d) { return d.GetDlgItem(IDC_CORE_SAT_LIST)->GetCurSel(); }
};

TEST_F(CoreSatDlg, PointsAreListedByCurrentAndEqualCurrentsGoAfter) {
    ScriptPoint("2", "3e-6");
    ScriptPoint("1", "4e-6");
    ScriptPoint("3", "1e-6");
    ScriptPoint("2", "2e-6");
    std::vector<std::string> rows;
    std::vector<int> selections;
    EXPECT_EQ(Run([&](fw::Dialog& d) {
                  for (int i = 0; i < 4; ++i) {
                      d.UserClicked(IDC_CORE_SAT_ADD);
                      selections.push_back(Selected(d));
                  }
                  rows = Rows(d);
                  d.UserClicked(fw::IDOK);
              }),
              fw::IDOK);
    EXPECT_EQ(selections, (std::vector<int>{0, 0, 2, 2}));
    EXPECT_EQ(rows, (std::vector<std::string>{"1.000e+000\t4.000e-006", "2.000e+000\t3.000e-006",
                                              "2.000e+000\t2.000e-006", "3.000e+000\t1.000e-006"}));
    ExpectPoints({{1, 4e-6}, {2, 3e-6}, {2, 2e-6}, {3, 1e-6}});
}

// The rows show four digits; the points keep every digit, so OK neither
// rounds an untouched point nor one just entered.
TEST_F(CoreSatDlg, PointsKeepFullPrecision) {
    SetPoints({{1.23456789, 9.87654321e-5}, {0.5, 1e-4}});
    ScriptPoint("2.71828182845", "3.14159265358e-6");
    EXPECT_EQ(Run([](fw::Dialog& d) {
                  d.UserClicked(IDC_CORE_SAT_ADD);
                  d.UserClicked(fw::IDOK);
              }),
              fw::IDOK);
    ExpectPoints({{0.5, 1e-4}, {1.23456789, 9.87654321e-5}, {2.71828182845, 3.14159265358e-6}});
}

TEST_F(CoreSatDlg, DeleteSelectsTheNextRowOrTheLast) {
    struct Case {
        const char* name;
        std::vector<Pt> points;
        int select;
        std::vector<Pt> left;
        int selectionAfter;
    };
    const Case cases[] = {
        {"middle of three", {{1, 1e-6}, {2, 2e-6}, {3, 3e-6}}, 1, {{1, 1e-6}, {3, 3e-6}}, 1},
        {"last of three", {{1, 1e-6}, {2, 2e-6}, {3, 3e-6}}, 2, {{1, 1e-6}, {2, 2e-6}}, 1},
        {"the only one", {{1, 1e-6}}, 0, {}, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetPoints(c.points);
        int after = -2;
        Run([&](fw::Dialog& d) {
            d.UserSelected(IDC_CORE_SAT_LIST, c.select);
            d.UserClicked(IDC_CORE_SAT_DELETE);
            after = Selected(d);
            d.UserClicked(fw::IDOK);
        });
        EXPECT_EQ(after, c.selectionAfter);
        ExpectPoints(c.left);
    }
}

TEST_F(CoreSatDlg, ModifyMovesThePointToItsPlace) {
    SetPoints({{1, 1e-6}, {2, 2e-6}, {3, 3e-6}});
    std::string shownCurrent, title;
    ui.windows.Script(IDD_CORE_SAT_POINT, [&](fw::Dialog& d) {
        shownCurrent = d.GetDlgItemText(IDC_CORE_SAT_CURRENT);
        title = d.GetWindowText();
        d.UserTyped(IDC_CORE_SAT_CURRENT, "5");
        d.UserClicked(fw::IDOK);
    });
    int after = -1;
    Run([&](fw::Dialog& d) {
        d.UserSelected(IDC_CORE_SAT_LIST, 0);
        d.UserClicked(IDC_CORE_SAT_MODIFY);
        after = Selected(d);
        d.UserClicked(fw::IDOK);
    });
    EXPECT_EQ(shownCurrent, "1");
    EXPECT_EQ(title, "Modify Core Saturation Characteristics");
    EXPECT_EQ(after, 2);
    ExpectPoints({{2, 2e-6}, {3, 3e-6}, {5, 1e-6}});
}

TEST_F(CoreSatDlg, DeleteAndModifyNeedASelection) {
    struct Case {
        const char* name;
        std::vector<Pt> points;
        int button;
        std::vector<std::string> boxes;
        int beeps;
    };
    const Case cases[] = {
        {"delete, nothing selected", {{1, 1e-6}}, IDC_CORE_SAT_DELETE,
         {"Select item to be deleted before pressing Delete."}, 0},
        {"modify, nothing selected", {{1, 1e-6}}, IDC_CORE_SAT_MODIFY,
         {"Select item to be modified before pressing Modify."}, 0},
        {"delete, empty list", {}, IDC_CORE_SAT_DELETE, {}, 1},
        {"modify, empty list", {}, IDC_CORE_SAT_MODIFY, {}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ui.sink.Clear();
        SetPoints(c.points);
        Run([&](fw::Dialog& d) {
            d.UserSelected(IDC_CORE_SAT_LIST, -1);
            d.UserClicked(c.button);
            d.UserClicked(fw::IDOK);
        });
        EXPECT_EQ(ui.sink.boxes, c.boxes);
        EXPECT_EQ(ui.sink.beeps, c.beeps);
        EXPECT_EQ(Points().size(), c.points.size());
        EXPECT_TRUE(ui.windows.scripts[IDD_CORE_SAT_POINT].empty());
    }
}

TEST_F(CoreSatDlg, CancelLeavesTheCharacteristicUntouched) {
    SetPoints({{1, 1e-6}, {2, 2e-6}});
    ScriptPoint("3", "3e-6");
    EXPECT_EQ(Run([](fw::Dialog& d) {
                  d.UserClicked(IDC_CORE_SAT_ADD);
                  d.UserSelected(IDC_CORE_SAT_LIST, 0);
                  d.UserClicked(IDC_CORE_SAT_DELETE);
                  d.UserClicked(fw::IDCANCEL);
              }),
              fw::IDCANCEL);
    ExpectPoints({{1, 1e-6}, {2, 2e-6}});
}

// A point needs a current above zero, from the button and the menu's OK
// alike; the smallest positive one is fine.
TEST_F(CoreSatDlg, PointDialogRefusesAZeroCurrent) {
    const std::string k52033 =
        "Problem:  The zero current inductance is set in the part's dialog.\nThe current entered here must be greater "
        "than 0.0.";
    struct Case {
        const char* current;
        bool popup;
        int result;
        std::vector<std::string> boxes;
    };
    const Case cases[] = {
        {"0", false, fw::IDCANCEL, {k52033}},
        {"0", true, fw::IDCANCEL, {k52033}},
        {"1e-12", false, fw::IDOK, {}},
        {"1e-12", true, fw::IDOK, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.current) + (c.popup ? " menu" : " button"));
        ui.sink.Clear();
        CCoreSatCharDlg dlg(CCoreSatCharDlg::MODE_ADD, 1.0, 1e-9, nullptr, nullptr);
        std::string title;
        ui.windows.Script(IDD_CORE_SAT_POINT, [&](fw::Dialog& d) {
            title = d.GetWindowText();
            d.UserTyped(IDC_CORE_SAT_CURRENT, c.current);
            if (c.popup) d.UserCommand(ID_POPUP_OK);
            else d.UserClicked(fw::IDOK);
        });
        EXPECT_EQ(dlg.DoModal(), c.result);
        EXPECT_EQ(title, "Add Core Saturation Characteristics");
        EXPECT_EQ(ui.sink.boxes, c.boxes);
    }
}

TEST_F(CoreSatDlg, PointDialogWithAnUnknownModeLogsItAndKeepsTheEmptyTitle) {
    CCoreSatCharDlg dlg(7, 1.0, 1e-9, "ignored", nullptr);
    std::string title = "?";
    ui.windows.Script(IDD_CORE_SAT_POINT, [&](fw::Dialog& d) { title = d.GetWindowText(); });
    dlg.DoModal();
    EXPECT_EQ(title, "");
    EXPECT_TRUE(Logged("PartsDlg:  CODE ", 3605));
}

}  // namespace
