// The Analysis dialog driven headless: its layout by kind, the total time,
// the variable and graph buttons, the Setup button per kind, the three
// closing commands with their checks and questions, and the availability of
// the equations' variables in the present circuit.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/AnalDlg.h"
#include "app/FreqSetupDlg.h"
#include "circuit/Doc.h"
#include "graphs/EquDlg.h"
#include "platform/ui/Fakes.h"
#include "resources/StringTable.h"
#include "setup/DlgIds.h"
#include "support/ReportCapture.h"

namespace {

using test_support::CountOf;

std::string Text(UINT id) { return res::FindString(id); }

std::string NotValid(int n) {
    const std::string d = std::to_string(n);
    return "At least one variable in equation " + d + " is not valid\nfor the current setup.  Please, re-enter equation " +
           d + ".";
}

// An equation of one variable token (the editor's own shape).
void SetVariable(CAnalysisConfig& cfg, int n, int32_t id) {
    CEquation& eq = *cfg.GetEquation(n);
    eq.InitDefaults();
    CObEquation t;
    t.m_nKind = CObEquation::KIND_VARIABLE;
    t.m_nVarId = id;
    eq.GetTokens().AddCopy(t);
    eq.m_strText = " var";
    eq.m_nLastEntry = CEquation::LAST_VALUE;
}

class AnalysisDialog : public test_support::ReportCaptureTest {
protected:
    void SetUp() override {
        ReportCaptureTest::SetUp();
        doc_.InitDefaults();
        doc_.GetLineFilter()->SetLineSourceType(1);
        doc_.SetAnalysisSetupOpen(TRUE);
        cfg_ = *doc_.GetAnalysisConfig();
    }

    int Run(const std::function<void(CAnalysisDlg&)>& script) {
        ui_.windows.Script(IDD_ANALYSIS, [&](fw::Dialog& d) { script(static_cast<CAnalysisDlg&>(d)); });
        CAnalysisDlg dlg(&cfg_);
        const int result = dlg.DoModal();
        chosen_ = dlg.GetChosenCommand();
        return result;
    }
    static bool Visible(CAnalysisDlg& d, int id) { return d.GetDlgItem(id)->IsWindowVisible(); }
    static bool Enabled(CAnalysisDlg& d, int id) { return d.GetDlgItem(id)->IsWindowEnabled(); }

    fw::FakeUi ui_;
    CPwrQuorraDoc doc_;
    CAnalysisConfig cfg_;
    int chosen_ = 0;
};

TEST_F(AnalysisDialog, LayoutByKind) {
    struct Case {
        int32_t kind;
        WORD control;        // control section variant
        int checked;         // kind radio shown
        bool timeDomain;
        bool initGroup;
        bool currentLoopEnabled;
    };
    const Case cases[] = {
        {0, 0, IDC_ANAL_TURN_ON, true, false, true},
        {1, 0, IDC_ANAL_STEADY_STATE, true, true, true},
        {2, 0, IDC_ANAL_VOLTAGE_LOOP, false, true, true},
        {3, 0, IDC_ANAL_CURRENT_LOOP, false, true, true},
        {3, 2, IDC_ANAL_VOLTAGE_LOOP, false, true, false},
        {3, 1, IDC_ANAL_VOLTAGE_LOOP, false, true, false},
        {5, 4, IDC_ANAL_AMPLIFIER, false, true, true},
        {7, 0, IDC_ANAL_STEADY_STATE, true, true, true},
        {-1, 0, IDC_ANAL_STEADY_STATE, true, true, true},
    };
    for (const Case& c : cases) {
        doc_.GetControlSection()->SetTopology(c.control);
        cfg_.SetAnalysisKind(c.kind);
        Run([&](CAnalysisDlg& d) {
            const std::string what = std::to_string(c.kind) + "/" + std::to_string(c.control);
            EXPECT_TRUE(d.IsDlgButtonChecked(c.checked)) << what;
            EXPECT_EQ(d.GetDlgItemText(IDC_ANAL_LAYOUT_GROUP), c.timeDomain ? "Time Domain" : "Frequency Domain") << what;
            for (int id : {IDC_ANAL_TIME, IDC_ANAL_TIME_LABEL, IDC_ANAL_SECONDS, IDC_ANAL_VARIABLE1, IDC_ANAL_GRAPH1 + 3})
                EXPECT_EQ(Visible(d, id), c.timeDomain) << what << " " << id;
            EXPECT_EQ(Visible(d, IDC_ANAL_SETUP), !c.timeDomain) << what;
            for (int id : {IDC_ANAL_INIT_GROUP, IDC_ANAL_INIT_SLOW, IDC_ANAL_INIT_FAST})
                EXPECT_EQ(Visible(d, id), c.initGroup) << what << " " << id;
            EXPECT_EQ(Enabled(d, IDC_ANAL_CURRENT_LOOP), c.currentLoopEnabled) << what;
            EXPECT_EQ(d.GetFocusId(), 0) << "the dialog leaves the focus alone";
        });
    }

    // Clicks switch the layout; the initialisation group keeps its state
    // when a frequency kind follows.
    cfg_.SetAnalysisKind(1);
    Run([&](CAnalysisDlg& d) {
        d.UserClicked(IDC_ANAL_TURN_ON);
        EXPECT_FALSE(Visible(d, IDC_ANAL_INIT_GROUP));
        d.UserClicked(IDC_ANAL_AMPLIFIER);
        EXPECT_FALSE(Visible(d, IDC_ANAL_INIT_GROUP));
        EXPECT_FALSE(Visible(d, IDC_ANAL_TIME));
        EXPECT_TRUE(Visible(d, IDC_ANAL_SETUP));
        d.UserClicked(IDC_ANAL_STEADY_STATE);
        EXPECT_TRUE(Visible(d, IDC_ANAL_INIT_GROUP));
        EXPECT_TRUE(Visible(d, IDC_ANAL_TIME));
        d.UserClicked(IDC_ANAL_INIT_SLOW);
        d.UserClicked(ID_SAVE_ONLY);
    });
    EXPECT_EQ(cfg_.GetAnalysisKind(), 1);
    EXPECT_EQ(cfg_.GetInitMode(), CAnalysisConfig::INIT_SLOW_PRECISE);
}

TEST_F(AnalysisDialog, TotalTimeRange) {
    struct Case {
        const char* text;
        const char* box;  // nullptr: closes
    };
    const Case cases[] = {
        {"0.002", nullptr},
        {"9999999.9", nullptr},
        {"0", "Please enter a total time above 0 and at most 9999999.9 seconds."},
        {"-1", "Please enter a total time above 0 and at most 9999999.9 seconds."},
        {"10000000", "Please enter a total time above 0 and at most 9999999.9 seconds."},
        {"1 ms", "Please enter a number."},
    };
    for (const Case& c : cases) {
        cfg_ = *doc_.GetAnalysisConfig();
        ui_.sink.Clear();
        int focus = 0;
        const int result = Run([&](CAnalysisDlg& d) {
            d.UserTyped(IDC_ANAL_TIME, c.text);
            d.UserClicked(ID_SAVE_ONLY);
            focus = d.GetFocusId();
        });
        if (c.box) {
            EXPECT_EQ(ui_.sink.boxes, std::vector<std::string>{c.box}) << c.text;
            EXPECT_EQ(focus, IDC_ANAL_TIME) << c.text;
            EXPECT_EQ(result, fw::IDCANCEL) << c.text;
        } else {
            EXPECT_TRUE(ui_.sink.boxes.empty()) << c.text;
            EXPECT_EQ(result, fw::IDOK) << c.text;
            EXPECT_EQ(cfg_.GetTime(), std::stod(c.text));
        }
    }
    // A frequency kind hides the field and reads no total time: nothing in it is refused, and only
    // a time it can hold is kept.
    const struct {
        const char* text;
        double kept;
    } hidden[] = {{"0", 0.0}, {"0.5", 0.5}, {"-1", 0.25}, {"1 ms", 0.25}};
    for (const auto& c : hidden) {
        cfg_ = *doc_.GetAnalysisConfig();
        cfg_.m_dTime = 0.25;
        ui_.sink.Clear();
        const int result = Run([&](CAnalysisDlg& d) {
            d.UserTyped(IDC_ANAL_TIME, c.text);
            d.UserClicked(IDC_ANAL_VOLTAGE_LOOP);
            d.UserClicked(ID_SAVE_ONLY);
        });
        EXPECT_TRUE(ui_.sink.boxes.empty()) << c.text;
        EXPECT_EQ(result, fw::IDOK) << c.text;
        EXPECT_EQ(cfg_.GetTime(), c.kept) << c.text;
    }
    // An untouched field gives back the exact value.
    cfg_.m_dTime = 1.0 / 3.0;
    Run([](CAnalysisDlg& d) { d.UserClicked(ID_SAVE_ONLY); });
    EXPECT_EQ(cfg_.GetTime(), 1.0 / 3.0);
}

TEST_F(AnalysisDialog, VariableAndGraphButtons) {
    SetVariable(cfg_, 2, 39);
    // Variable 2's equation is cleared in the editor, variable 3 gets one.
    ui_.windows.Script(IDD_EQUATION, [](fw::Dialog& d) {
        EXPECT_EQ(d.GetWindowText(), "Time Domain Variable 2");
        d.UserClicked(IDC_EQU_CLEAR);
        d.UserClicked(fw::IDOK);
    });
    ui_.sink.answers = {true};  // the empty-equation question
    ui_.windows.Script(IDD_EQUATION, [](fw::Dialog& d) {
        d.UserClicked(IDC_EQU_LINE_SOURCE);
        d.UserSelected(IDC_EQU_ITEMS, 1);
        d.UserClicked(IDC_EQU_ENTER_ITEM);
        d.UserClicked(fw::IDOK);
    });
    ui_.windows.Script(IDD_TIME_GRAPH_CFG, [](fw::Dialog& d) {
        EXPECT_EQ(d.GetWindowText(), "Time 3 Graph");
        d.UserTyped(IDC_GRAPH_X_MAX, "800");
        d.UserClicked(fw::IDOK);
    });
    std::vector<bool> before, after;
    bool catalogueOpen = false;
    Run([&](CAnalysisDlg& d) {
        catalogueOpen = g_pTimeVarCatalogue && g_pTimeVarNameTable;
        for (int n = 0; n < 4; ++n) before.push_back(Enabled(d, IDC_ANAL_GRAPH1 + n));
        d.UserClicked(IDC_ANAL_VARIABLE1 + 1);
        d.UserClicked(IDC_ANAL_VARIABLE1 + 2);
        for (int n = 0; n < 4; ++n) after.push_back(Enabled(d, IDC_ANAL_GRAPH1 + n));
        d.UserClicked(IDC_ANAL_GRAPH1 + 2);
        d.UserClicked(fw::IDCANCEL);
    });
    EXPECT_TRUE(catalogueOpen);
    EXPECT_EQ(g_pTimeVarCatalogue, nullptr);
    EXPECT_EQ(g_pTimeVarNameTable, nullptr);
    EXPECT_EQ(before, (std::vector<bool>{false, true, false, false}));
    EXPECT_EQ(after, (std::vector<bool>{false, false, true, false}));
    EXPECT_FALSE(cfg_.GetEquation(2)->IsInUse());
    ASSERT_TRUE(cfg_.GetEquation(3)->IsInUse());
    EXPECT_EQ(cfg_.GetEquation(3)->GetTokens().GetTokenAt(0)->m_nVarId, 48);
    EXPECT_EQ(cfg_.GetGraphCfg(2)->m_dXMax, 800.0);
}

TEST_F(AnalysisDialog, TimeAxisChecksAtStart) {
    struct Case {
        double xMin, xMax;  // graph 1, microseconds; total time 1000 microseconds
        std::vector<UINT> questions;
        double xMinAfter;
    };
    const Case cases[] = {
        {0, 2000, {54000}, 0},
        {0, 50, {54002}, 0},
        {1000, 1000, {54001}, 0},
        {0, 1000, {}, 0},
        {1500, 50, {54002, 54001}, 0},
        {2000, 3000, {54000, 54001}, 0},
    };
    for (const Case& c : cases) {
        cfg_ = *doc_.GetAnalysisConfig();
        cfg_.m_dTime = 0.001;
        SetVariable(cfg_, 1, 39);
        cfg_.GetGraphCfg(0)->m_dXMin = c.xMin;
        cfg_.GetGraphCfg(0)->m_dXMax = c.xMax;
        // Graph 2 has no equation: never looked at.
        cfg_.GetGraphCfg(1)->m_dXMin = 5000;
        cfg_.GetGraphCfg(1)->m_dXMax = 1;
        ui_.sink.Clear();
        EXPECT_EQ(Run([](CAnalysisDlg& d) { d.UserClicked(ID_START_ONLY); }), fw::IDOK);
        std::vector<std::string> expected;
        for (UINT q : c.questions) expected.push_back(Text(q));
        EXPECT_EQ(ui_.sink.questions, expected) << c.xMin << "-" << c.xMax;
        EXPECT_EQ(cfg_.GetGraphCfg(0)->m_dXMin, c.xMinAfter);
        EXPECT_EQ(cfg_.GetGraphCfg(1)->m_dXMin, 5000.0);
        EXPECT_EQ(chosen_, int(ID_START_ONLY));
    }

    // No keeps the dialog open; the reset minimum stays reset.
    cfg_.GetGraphCfg(0)->m_dXMin = 1000;
    cfg_.GetGraphCfg(0)->m_dXMax = 5000;
    ui_.sink.Clear();
    ui_.sink.answers = {true, false};
    bool ended = true;
    Run([&](CAnalysisDlg& d) {
        d.UserClicked(ID_START_AND_SAVE);
        ended = d.IsEnded();
    });
    EXPECT_FALSE(ended);
    EXPECT_EQ(ui_.sink.questions, (std::vector<std::string>{Text(54000), Text(54001)}));
    EXPECT_EQ(cfg_.GetGraphCfg(0)->m_dXMin, 0.0);
}

TEST_F(AnalysisDialog, ClosingCommands) {
    struct Case {
        const char* what;
        int32_t kind;
        bool variable;
        std::function<void(fw::Dialog&)> act;
        int result;
        int chosen;
        std::vector<std::string> boxes;
        int beeps;
    };
    const Case cases[] = {
        {"save only without variables", 1, false, [](fw::Dialog& d) { d.UserClicked(ID_SAVE_ONLY); }, fw::IDOK,
         ID_SAVE_ONLY, {}, 0},
        {"start without variables", 1, false, [](fw::Dialog& d) { d.UserClicked(ID_START_AND_SAVE); }, fw::IDCANCEL,
         ID_START_AND_SAVE, {Text(52150)}, 0},
        {"frequency start without graphs", 2, false, [](fw::Dialog& d) { d.UserClicked(ID_START_ONLY); },
         fw::IDCANCEL, ID_START_ONLY, {Text(52149)}, 0},
        {"enter right after opening", 1, true, [](fw::Dialog& d) { d.UserPressedEnter(); }, fw::IDCANCEL, fw::IDCANCEL,
         {}, 1},
        {"enter repeats the command",
         1, false,
         [](fw::Dialog& d) {
             d.UserClicked(ID_START_ONLY);
             d.UserFocus(IDC_ANAL_TIME);
             d.UserPressedEnter();
         },
         fw::IDCANCEL, ID_START_ONLY, {Text(52150), Text(52150)}, 0},
        {"menu start only",
         1, true,
         [this](fw::Dialog& d) {
             ui_.windows.popupAnswer = ID_START_ONLY;
             d.UserMouse(fw::MouseEvent::RButtonDown, {30, 30});
         },
         fw::IDOK, ID_START_ONLY, {}, 0},
        {"cancel", 1, true, [](fw::Dialog& d) { d.UserClicked(fw::IDCANCEL); }, fw::IDCANCEL, fw::IDCANCEL, {}, 0},
    };
    for (const Case& c : cases) {
        cfg_ = *doc_.GetAnalysisConfig();
        cfg_.SetAnalysisKind(c.kind);
        cfg_.GetGraphCfg(0)->m_dXMax = 1000;
        if (c.variable) SetVariable(cfg_, 1, 39);
        ui_.sink.Clear();
        ui_.windows.popupAnswer = 0;
        EXPECT_EQ(Run([&](CAnalysisDlg& d) { c.act(d); }), c.result) << c.what;
        EXPECT_EQ(chosen_, c.chosen) << c.what;
        EXPECT_EQ(ui_.sink.boxes, c.boxes) << c.what;
        EXPECT_EQ(ui_.sink.beeps, c.beeps) << c.what;
    }
    EXPECT_EQ(g_pTimeVarCatalogue, nullptr);
}

TEST_F(AnalysisDialog, FrequencyStartChecksAndGraphsForTheRun) {
    struct Case {
        int32_t kind;
        double start;
        bool asks;
        int firstSetting;
    };
    const Case cases[] = {
        {2, 999, true, 8},
        {2, 1000, false, 8},
        {3, 1000, false, 12},
        {4, 5000, false, 16},
        {5, 1000, false, 20},
    };
    for (const Case& c : cases) {
        cfg_ = *doc_.GetAnalysisConfig();
        cfg_.SetAnalysisKind(c.kind);
        cfg_.GetStimulusCfg().m_dStartFrequency = c.start;
        cfg_.GetStimulusCfg().m_dStopFrequency = 50000;
        // One quantity of every kind on graph 1.
        for (int word : {0, 12, 14, 21}) cfg_.GetStimulusCfg().m_nChoice[size_t(word)] = 1;
        for (int i = 0; i < 4; ++i) {
            cfg_.GetGraphCfg(c.firstSetting + i)->m_strTitle = "graph " + std::to_string(i);
            cfg_.GetGraphCfg(c.firstSetting + i)->m_dXMin = 100.0;
            cfg_.GetGraphCfg(c.firstSetting + i)->m_dXMax = 100000.0;
        }
        ui_.sink.Clear();
        EXPECT_EQ(Run([](CAnalysisDlg& d) { d.UserClicked(ID_START_ONLY); }), fw::IDOK) << c.kind;
        EXPECT_EQ(ui_.sink.questions.size(), c.asks ? 1u : 0u) << c.kind;
        if (c.asks) {
            EXPECT_EQ(ui_.sink.questions[0], Text(54005));
        }
        for (int i = 0; i < 4; ++i) EXPECT_EQ(cfg_.GetGraphCfg(4 + i)->m_strTitle, "graph " + std::to_string(i)) << c.kind;
    }
}

// A graph whose frequency axis misses the sweep would stay blank: the start says so first.
TEST_F(AnalysisDialog, FrequencyGraphsThatCannotShowAPointOfTheSweep) {
    struct Case {
        const char* name;
        double xMin, xMax;  // graph 2 of the voltage loop; the sweep runs 1000 to 30000 Hz
        bool asks;
    };
    const Case cases[] = {
        {"untouched axis", 0.0, 1.0, true},
        {"above the sweep", 40000.0, 100000.0, true},
        {"ends at the start", 10.0, 1000.0, false},
        {"inside", 2000.0, 3000.0, false},
        {"around", 1.0, 1e6, false},
    };
    for (const Case& c : cases) {
        for (bool yes : {true, false}) {
            SCOPED_TRACE(std::string(c.name) + (yes ? " yes" : " no"));
            cfg_ = *doc_.GetAnalysisConfig();
            cfg_.SetAnalysisKind(CAnalysisConfig::KIND_VOLTAGE_LOOP);
            cfg_.GetStimulusCfg().m_dStartFrequency = 1000.0;
            cfg_.GetStimulusCfg().m_dStopFrequency = 30000.0;
            // Loop gain on graph 1 (in range), loop phase on graph 2, graph 3 unused and untouched.
            cfg_.GetStimulusCfg().m_nChoice[0] = 1;
            cfg_.GetStimulusCfg().m_nChoice[1] = 2;
            cfg_.GetGraphCfg(8)->m_dXMin = 100.0;
            cfg_.GetGraphCfg(8)->m_dXMax = 100000.0;
            cfg_.GetGraphCfg(9)->m_dXMin = c.xMin;
            cfg_.GetGraphCfg(9)->m_dXMax = c.xMax;
            ui_.sink.Clear();
            ui_.sink.answers = {yes};
            const int result = Run([](CAnalysisDlg& d) { d.UserClicked(ID_START_ONLY); });
            ui_.sink.answers.clear();
            if (!c.asks) {
                EXPECT_TRUE(ui_.sink.questions.empty());
                EXPECT_EQ(result, fw::IDOK);
                continue;
            }
            EXPECT_EQ(ui_.sink.questions, std::vector<std::string>{Text(58510)});
            EXPECT_EQ(result, yes ? fw::IDOK : fw::IDCANCEL);
        }
    }
}

TEST_F(AnalysisDialog, SetupOpensTheKindsDialogOnScratchCopies) {
    struct Case {
        int32_t kind;
        WORD control;
        UINT templateId;
        int firstSetting;
        int graphs;
    };
    const Case cases[] = {
        {2, 0, IDD_VOLTAGE_LOOP_SETUP, 8, 4},
        {3, 4, IDD_AVG_CURRENT_LOOP_SETUP, 12, 4},
        {3, 0, IDD_PEAK_CURRENT_LOOP_SETUP, 12, 2},
        {3, 3, IDD_PEAK_CURRENT_LOOP_SETUP, 12, 2},
        {4, 0, IDD_INPUT_TO_OUTPUT_SETUP, 16, 4},
        {5, 0, IDD_AMPLIFIER_SETUP, 20, 2},
    };
    for (const Case& c : cases) {
        for (bool accept : {false, true}) {
            doc_.GetControlSection()->SetTopology(c.control);
            cfg_ = *doc_.GetAnalysisConfig();
            cfg_.SetAnalysisKind(c.kind);
            ui_.windows.modalRuns.clear();
            // Each graph button sets its graph's x maximum, then the stimulus changes.
            for (int k = 1; k <= c.graphs; ++k)
                ui_.windows.Script(IDD_FREQ_GRAPH_CFG, [k](fw::Dialog& d) {
                    d.UserTyped(IDC_GRAPH_X_MAX, std::to_string(100 * k));
                    d.UserClicked(fw::IDOK);
                });
            ui_.windows.Script(c.templateId, [&](fw::Dialog& d) {
                for (int k = 1; k <= c.graphs; ++k) d.UserClicked(IDC_FREQ_GRAPH1 + k - 1);
                d.UserTyped(IDC_FREQ_POINTS, "20");
                d.UserClicked(accept ? fw::IDOK : fw::IDCANCEL);
            });
            Run([](CAnalysisDlg& d) {
                d.UserClicked(IDC_ANAL_SETUP);
                d.UserClicked(fw::IDCANCEL);
            });
            const std::string what = std::to_string(c.kind) + "/" + std::to_string(c.control) + (accept ? " ok" : "");
            ASSERT_GE(ui_.windows.modalRuns.size(), 2u) << what;
            EXPECT_EQ(ui_.windows.modalRuns[1], c.templateId) << what;
            EXPECT_EQ(cfg_.GetStimulusCfg().m_nPointsPerDecade, accept ? 20 : 10) << what;
            for (int i = 0; i < 4; ++i) {
                const double expected = (accept && i < c.graphs) ? 100.0 * (i + 1) : 1.0;
                EXPECT_EQ(cfg_.GetGraphCfg(c.firstSetting + i)->m_dXMax, expected) << what << " graph " << i;
            }
        }
    }
}

// ---------------------------------------------------------------------------
// Availability of the variables

class VariableAvailability : public AnalysisDialog {
protected:
    // The first id of catalogue list n.
    static int32_t FirstOf(int n) {
        CTimeVarCatalogue catalogue;
        CTimeVarNameTable names;
        CTimeVarNameTable* saved = g_pTimeVarNameTable;
        g_pTimeVarNameTable = &names;
        uint16_t id = 0;
        EXPECT_TRUE(catalogue.GetList(n)->GetId(0, id));
        g_pTimeVarNameTable = saved;
        return id;
    }
    bool Available(int32_t id) {
        bool available = false;
        Run([&](CAnalysisDlg& d) {
            available = d.IsVariableAvailable(id);
            d.UserClicked(fw::IDCANCEL);
        });
        return available;
    }
};

TEST_F(VariableAvailability, FollowsThePresentCircuit) {
    const int32_t loadNetwork3 = FirstOf(117 + 3);  // load network variant 0, output 3
    struct Case {
        const char* what;
        std::function<void(CPwrQuorraDoc&)> design;
        int32_t id;
        bool available;
    };
    const Case cases[] = {
        {"phase 0 source, single phase", [](CPwrQuorraDoc&) {}, 39, true},
        {"phase 1 source, single phase", [](CPwrQuorraDoc&) {}, 40, false},
        {"phase 2 source, three phase", [](CPwrQuorraDoc& d) { d.GetLineFilter()->SetLineSourceType(3); }, 41, true},
        {"phase 2 source, two phase", [](CPwrQuorraDoc& d) { d.GetLineFilter()->SetLineSourceType(2); }, 41, false},
        {"filter v1 phase 2, three phase",
         [](CPwrQuorraDoc& d) {
             d.GetLineFilter()->SetLineSourceType(3);
             d.GetLineFilter()->SetTopology(1);
         },
         17, true},
        {"filter v1 phase 2, single phase", [](CPwrQuorraDoc& d) { d.GetLineFilter()->SetTopology(1); }, 17, false},
        {"id beyond the catalogue, same low bits", [](CPwrQuorraDoc&) {}, 65536 + 39, false},
        {"negative id", [](CPwrQuorraDoc&) {}, -1, false},
        {"rectifier v4, DC source",
         [](CPwrQuorraDoc& d) {
             d.GetLineFilter()->SetLineSourceType(0);
             d.GetLineRectifier()->SetTopology(4);
         },
         FirstOf(39), false},
        {"rectifier v4, two phase",
         [](CPwrQuorraDoc& d) {
             d.GetLineFilter()->SetLineSourceType(2);
             d.GetLineRectifier()->SetTopology(4);
         },
         FirstOf(39), true},
        {"output 3 load network, enabled",
         [](CPwrQuorraDoc& d) {
             d.GetRequirements()->GetOutput(2)->SetEnabled(TRUE);
             d.GetLoadNetwork3()->SetTopology(0);
         },
         loadNetwork3, true},
        {"output 3 load network, disabled", [](CPwrQuorraDoc& d) { d.GetLoadNetwork3()->SetTopology(0); },
         loadNetwork3, false},
        {"control section v4", [](CPwrQuorraDoc& d) { d.GetControlSection()->SetTopology(4); }, FirstOf(153), true},
    };
    for (const Case& c : cases) {
        doc_.InitDefaults();
        doc_.GetLineFilter()->SetLineSourceType(1);
        doc_.SetAnalysisSetupOpen(TRUE);
        c.design(doc_);
        EXPECT_EQ(Available(c.id), c.available) << c.what;
    }
}

TEST_F(VariableAvailability, OneMessagePerBadEquationAtStart) {
    SetVariable(cfg_, 1, 39);
    SetVariable(cfg_, 2, 40);
    SetVariable(cfg_, 3, 51);
    SetVariable(cfg_, 4, 65536 + 39);
    // Equation 2 also has a second bad variable: still one message.
    CObEquation t = *cfg_.GetEquation(2)->GetTokens().GetTokenAt(0);
    t.m_nVarId = 41;
    cfg_.GetEquation(2)->GetTokens().AddCopy(t);
    for (int n = 0; n < 4; ++n) cfg_.GetGraphCfg(n)->m_dXMax = 1000;
    bool ended = true;
    Run([&](CAnalysisDlg& d) {
        d.UserClicked(ID_START_ONLY);
        ended = d.IsEnded();
    });
    EXPECT_FALSE(ended);
    EXPECT_EQ(ui_.sink.boxes, (std::vector<std::string>{NotValid(2), NotValid(4)}));

    // Numbers and operators only: nothing to look up.
    ui_.sink.Clear();
    cfg_ = *doc_.GetAnalysisConfig();
    CObEquation number;
    number.m_nKind = CObEquation::KIND_NUMBER;
    number.m_dNumber = 3;
    cfg_.GetEquation(1)->GetTokens().AddCopy(number);
    cfg_.GetGraphCfg(0)->m_dXMax = 1000;
    EXPECT_EQ(Run([](CAnalysisDlg& d) { d.UserClicked(ID_START_ONLY); }), fw::IDOK);
    EXPECT_TRUE(ui_.sink.boxes.empty());
}

TEST_F(VariableAvailability, LineSourceTypeOutsideItsChoicesIsLogged) {
    doc_.GetLineFilter()->SetLineSourceType(999);
    doc_.GetLineFilter()->SetTopology(2);
    EXPECT_FALSE(Available(39));
    EXPECT_EQ(CountOf(Log(), "AnalDlg:   CODE 4001"), 1);
    EXPECT_EQ(CountOf(Log(), "AnalDlg:   CODE 4004"), 1);
    doc_.GetLineFilter()->SetTopology(999);
    RestartLog();
    EXPECT_FALSE(Available(39));
    EXPECT_EQ(CountOf(Log(), "AnalDlg:   CODE 4012"), 1);
}

}  // namespace
