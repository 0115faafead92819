// The equation editor driven headless: the groups and lists it offers for a
// design, the append and refuse rules of its buttons, the number field, and
// the checks and negation rewriting at OK.
#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "circuit/Doc.h"
#include "graphs/EquDlg.h"
#include "platform/ui/Fakes.h"
#include "support/ReportCapture.h"

namespace {

using test_support::CountOf;

constexpr const char* kLineVoltage = "< Line Source DC or AC/Phase 0 Open Line Voltage >";  // id 39, list 0 first

class EquationEditor : public test_support::ReportCaptureTest {
protected:
    void SetUp() override {
        ReportCaptureTest::SetUp();
        doc_.InitDefaults();
        doc_.GetLineFilter()->SetLineSourceType(1);
        g_pTimeVarNameTable = new CTimeVarNameTable();
        g_pTimeVarCatalogue = new CTimeVarCatalogue();
    }
    void TearDown() override {
        delete g_pTimeVarCatalogue;
        delete g_pTimeVarNameTable;
        g_pTimeVarCatalogue = nullptr;
        g_pTimeVarNameTable = nullptr;
        ReportCaptureTest::TearDown();
    }

    // Runs the editor on eq_ with the script; returns DoModal's result.
    int Run(const std::function<void(CEquationDlg&)>& script) {
        ui_.windows.Script(IDD_EQUATION, [&](fw::Dialog& d) { script(static_cast<CEquationDlg&>(d)); });
        CEquationDlg dlg(&eq_, "Time Domain Variable 1", nullptr);
        return dlg.DoModal();
    }

    // One element: V variable (the first of Line Source phase 0), N the
    // number 2.5, or an operation or parenthesis by its sign.
    static void Act(CEquationDlg& d, char a) {
        switch (a) {
        case 'V':
            d.UserClicked(IDC_EQU_LINE_SOURCE);
            d.UserSelected(IDC_EQU_ITEMS, 0);
            d.UserClicked(IDC_EQU_ENTER_ITEM);
            break;
        case 'N':
            d.UserTyped(IDC_EQU_NUMBER, "2.5");
            d.UserClicked(IDC_EQU_ENTER_NUMBER);
            break;
        case '^': d.UserClicked(IDC_EQU_POWER); break;
        case '*': d.UserClicked(IDC_EQU_MULTIPLY); break;
        case '/': d.UserClicked(IDC_EQU_DIVIDE); break;
        case '+': d.UserClicked(IDC_EQU_ADD); break;
        case '-': d.UserClicked(IDC_EQU_SUBTRACT); break;
        case '(': d.UserClicked(IDC_EQU_LEFT_PAREN); break;
        case ')': d.UserClicked(IDC_EQU_RIGHT_PAREN); break;
        }
    }
    static void Acts(CEquationDlg& d, const std::string& actions) {
        for (char a : actions) Act(d, a);
    }

    // The tokens as a string: V variable, N number (its value), and the
    // operator signs with ~ for negation.
    std::string Tokens() const {
        std::string out;
        const CObArrayEquation& t = eq_.GetTokens();
        for (int i = 0; i < t.GetCount(); ++i) {
            const CObEquation& k = *t.GetTokenAt(i);
            if (k.m_nKind == CObEquation::KIND_VARIABLE) out += "V";
            else if (k.m_nKind == CObEquation::KIND_NUMBER) out += k.m_dNumber == -1.0 ? "M" : "N";
            else out += " ^*/+-~()"[k.m_nOperator];
        }
        return out;
    }

    fw::FakeUi ui_;
    CPwrQuorraDoc doc_;
    CEquation eq_;
};

TEST_F(EquationEditor, AppendAndRefuseSequences) {
    struct Case {
        const char* actions;
        std::vector<std::string> boxes;  // in order
        const char* tokens;              // V, N, signs, ~ negation
    };
    const Case cases[] = {
        {"V+N", {}, "V+N"},
        {"VV", {"Problem:  Cannot append a variable after a variable or a value."}, "V"},
        {"NN", {"Problem:  Cannot append a value after a variable or a value."}, "N"},
        {"(V)V", {"Problem:  Cannot append a variable after a right parenthesis."}, "(V)"},
        {"(V)N", {"Problem:  Cannot append a value after a right parenthesis."}, "(V)"},
        {"+", {"Problem:  Cannot use Add here."}, ""},
        {"(^", {"Problem:  Cannot use Exponentiate here."}, "("},
        {"V**", {"Problem:  Cannot use Multiply here."}, "V*"},
        {"/", {"Problem:  Cannot use Divide here."}, ""},
        {"V(", {"Problem:  Cannot use left parenthesis here."}, "V"},
        {")", {"Problem:  Cannot use right parenthesis here."}, ""},
        {"V)", {"Problem:  Cannot use right parenthesis here."}, "V"},
        {"(V+)", {"Problem:  Cannot use right parenthesis here."}, "(V+"},
        {"((V))", {}, "((V))"},
        {"(V))", {"Problem:  Cannot use right parenthesis here."}, "(V)"},
        {"-V", {}, "~V"},
        {"V-N", {}, "V-N"},
        {"(-V)^N", {}, "(~V)^N"},
        {"V*-N", {}, "V*~N"},
        {"--V", {}, "~~V"},
    };
    for (const Case& c : cases) {
        eq_.InitDefaults();
        ui_.sink.Clear();
        Run([&](CEquationDlg& d) { Acts(d, c.actions); });
        EXPECT_EQ(ui_.sink.boxes, c.boxes) << c.actions;
        EXPECT_EQ(Tokens(), c.tokens) << c.actions;
    }
}

TEST_F(EquationEditor, TextCountsAndShownExpression) {
    std::string shown;
    Run([&](CEquationDlg& d) {
        Acts(d, "-(V+N)");
        shown = d.GetDlgItemText(IDC_EQU_TEXT);
    });
    const std::string expected = std::string(" - ( ") + kLineVoltage + " + 2.5 )";
    EXPECT_EQ(eq_.GetText(), expected);
    EXPECT_EQ(shown, expected);
    EXPECT_EQ(eq_.m_nLeftParens, 1);
    EXPECT_EQ(eq_.m_nRightParens, 1);
    EXPECT_EQ(eq_.m_nLastEntry, CEquation::LAST_RIGHT_PAREN);
    EXPECT_EQ(eq_.GetTokens().GetTokenAt(1)->m_nOperator, CObEquation::OP_LEFT_PAREN);
    EXPECT_EQ(eq_.GetTokens().GetTokenAt(2)->m_nVarId, 39);
    EXPECT_EQ(eq_.GetTokens().GetTokenAt(4)->m_dNumber, 2.5);

    // An equation brought in shows its text and continues from its last element.
    std::string opened;
    Run([&](CEquationDlg& d) {
        opened = d.GetDlgItemText(IDC_EQU_TEXT);
        Acts(d, "*N");
        d.UserClicked(IDC_EQU_CLEAR);
        shown = d.GetDlgItemText(IDC_EQU_TEXT);
    });
    EXPECT_EQ(opened, expected);
    EXPECT_EQ(shown, "");
    EXPECT_EQ(eq_.GetTokens().GetCount(), 0);
    EXPECT_EQ(eq_.m_nLeftParens, 0);
    EXPECT_EQ(eq_.m_nLastEntry, CEquation::LAST_NOTHING);
}

TEST_F(EquationEditor, NumberFieldAppendsOnlyWhatItShows) {
    struct Case {
        const char* text;
        const char* box;  // nullptr: appended
        int beeps;
    };
    const Case cases[] = {
        {"-1.5e3", nullptr, 0},
        {"  ", nullptr, 1},
        {"2,5", "Please enter a number.", 0},
        {"4e38", "Please enter a number between -3.4e+038 and 3.4e+038.", 0},
    };
    for (const Case& c : cases) {
        eq_.InitDefaults();
        ui_.sink.Clear();
        int focus = 0;
        Run([&](CEquationDlg& d) {
            d.UserTyped(IDC_EQU_NUMBER, c.text);
            d.UserClicked(IDC_EQU_ENTER_NUMBER);
            focus = d.GetFocusId();
        });
        if (c.box) {
            EXPECT_EQ(ui_.sink.boxes, std::vector<std::string>{c.box}) << c.text;
            EXPECT_EQ(focus, IDC_EQU_NUMBER) << c.text;
        } else {
            EXPECT_TRUE(ui_.sink.boxes.empty()) << c.text;
        }
        EXPECT_EQ(ui_.sink.beeps, c.beeps) << c.text;
        const bool appended = !c.box && c.beeps == 0;
        EXPECT_EQ(eq_.GetTokens().GetCount(), appended ? 1 : 0) << c.text;
        if (appended) {
            EXPECT_EQ(eq_.GetText(), std::string(" ") + c.text);
            EXPECT_EQ(eq_.GetTokens().GetTokenAt(0)->m_dNumber, -1500.0);
        }
    }

    // Leaving the field with a bad number tells it once; the button right
    // after does not tell it again and appends nothing.
    eq_.InitDefaults();
    ui_.sink.Clear();
    Run([&](CEquationDlg& d) {
        d.UserFocus(IDC_EQU_NUMBER);
        d.UserTyped(IDC_EQU_NUMBER, "abc");
        d.UserClicked(IDC_EQU_ENTER_NUMBER);
    });
    EXPECT_EQ(ui_.sink.boxes, std::vector<std::string>{"Please enter a number."});
    EXPECT_EQ(eq_.GetTokens().GetCount(), 0);
}

TEST_F(EquationEditor, OkChecks) {
    struct Case {
        const char* actions;
        bool closes;
        const char* box;  // nullptr: none
    };
    const std::string nineteen = "V+V+V+V+V+V+V+V+V+V";  // 19 tokens
    const Case cases[] = {
        {"V+N", true, nullptr},
        {nineteen.c_str(), true, nullptr},
        {"-V+V+V+V+V+V+V+V+V+V", false, "Problem:  Equation has too many elements."},  // 20 tokens
        {"(V+N", false, "Problem:  Equation has mismatched parenthesis."},
        {"V+", false, "Problem:  Equation ends with an operation.\nPlease, finish the equation or clear it."},
        {"--V", false, "Problem:  A problem occurred with non-binary subtraction.\nPlease, verify equation."},
        {"----------V", false, "Problem:  A problem occurred with non-binary subtraction.\nPlease, verify equation."},
        {"-V*-V", true, nullptr},
    };
    for (const Case& c : cases) {
        eq_.InitDefaults();
        ui_.sink.Clear();
        const int result = Run([&](CEquationDlg& d) {
            Acts(d, c.actions);
            d.UserClicked(fw::IDOK);
        });
        EXPECT_EQ(result, c.closes ? fw::IDOK : fw::IDCANCEL) << c.actions;
        if (c.box) {
            EXPECT_EQ(ui_.sink.boxes, std::vector<std::string>{c.box}) << c.actions;
        } else {
            EXPECT_TRUE(ui_.sink.boxes.empty()) << c.actions;
        }
    }
}

TEST_F(EquationEditor, NegationsAreRewrittenAtOk) {
    struct Case {
        const char* actions;
        const char* tokens;  // after OK; M is the number -1
    };
    const Case cases[] = {
        {"-V", "(M*V)"},
        {"V*-(V+N)", "V*(M*(V+N))"},
        {"-(-V)", "(M*((M*V)))"},
        {"V-N", "V-N"},
    };
    for (const Case& c : cases) {
        eq_.InitDefaults();
        const std::string text = [&] {
            Run([&](CEquationDlg& d) {
                Acts(d, c.actions);
                d.UserClicked(fw::IDOK);
            });
            return eq_.GetText();
        }();
        EXPECT_EQ(Tokens(), c.tokens) << c.actions;
        EXPECT_EQ(text.find("-1"), std::string::npos) << "the text shows what was entered";
    }

    // 18 tokens with one negation grow to 21: refused, the editor stays on
    // the expanded tokens and its text is unchanged.
    eq_.InitDefaults();
    ui_.sink.Clear();
    std::string before;
    const int result = Run([&](CEquationDlg& d) {
        Acts(d, "V+V+V+V+V+V+V+V+-N");
        before = eq_.GetText();
        d.UserClicked(fw::IDOK);
    });
    EXPECT_EQ(result, fw::IDCANCEL);
    EXPECT_EQ(ui_.sink.boxes, std::vector<std::string>{"Problem:  Equation has too many elements."});
    EXPECT_EQ(eq_.GetTokens().GetCount(), 21);
    EXPECT_EQ(eq_.GetText(), before);
}

TEST_F(EquationEditor, EmptyEquationAsksAndFocusRules) {
    // No elements: the question; OK accepts the empty equation, Cancel stays.
    ui_.sink.answers = {false, true};
    const int result = Run([&](CEquationDlg& d) {
        d.UserClicked(fw::IDOK);
        EXPECT_FALSE(d.IsEnded());
        d.UserClicked(fw::IDOK);
    });
    EXPECT_EQ(result, fw::IDOK);
    EXPECT_EQ(ui_.sink.questions, (std::vector<std::string>(2, "Warning:  Equation does not have any elements.")));

    // Enter in the number field beeps and stays; the menu's OK closes from anywhere.
    eq_.InitDefaults();
    ui_.sink.Clear();
    bool endedByEnter = true;
    EXPECT_EQ(Run([&](CEquationDlg& d) {
                  Acts(d, "V");
                  d.UserFocus(IDC_EQU_NUMBER);
                  d.UserPressedEnter();
                  endedByEnter = d.IsEnded();
                  d.UserCommand(32821);
              }),
              fw::IDOK);
    EXPECT_FALSE(endedByEnter);
    EXPECT_EQ(ui_.sink.beeps, 1);
    EXPECT_EQ(Tokens(), "V");

    // The right-click menu is the editor's own.
    ui_.windows.popupAnswer = IDC_EQU_CLEAR;
    Run([&](CEquationDlg& d) { d.UserMouse(fw::MouseEvent::RButtonDown, {20, 20}); });
    EXPECT_EQ(eq_.GetTokens().GetCount(), 0);
}

TEST_F(EquationEditor, GroupButtonsFollowPhasesAndOutputs) {
    struct Case {
        WORD lineType;
        std::set<int> disabled;
        bool code2100;
    };
    const int s1 = IDC_EQU_LINE_SOURCE, f1 = IDC_EQU_LINE_FILTER;
    const Case cases[] = {
        {0, {s1 + 1, s1 + 2, f1 + 1, f1 + 2}, false},
        {1, {s1 + 1, s1 + 2, f1 + 1, f1 + 2}, false},
        {2, {s1 + 2, f1 + 2}, false},
        {3, {}, false},
        {999, {}, true},
    };
    // Outputs 1 and 2 enabled, 3 and 4 not.
    doc_.GetRequirements()->GetOutput(1)->SetEnabled(TRUE);
    std::set<int> outputsOff;
    for (int first : {IDC_EQU_SECONDARY_SECTION, IDC_EQU_OUTPUT_CHOKE, IDC_EQU_FIRST_STAGE_FILTER,
                      IDC_EQU_SECOND_STAGE_FILTER, IDC_EQU_LOAD_NETWORK}) {
        outputsOff.insert(first + 2);
        outputsOff.insert(first + 3);
    }
    for (const Case& c : cases) {
        doc_.GetLineFilter()->SetLineSourceType(c.lineType);
        RestartLog();
        std::set<int> disabled;
        Run([&](CEquationDlg& d) {
            for (int id = IDC_EQU_LINE_SOURCE; id <= IDC_EQU_CONTROL_SECTION; ++id)
                if (!d.GetDlgItem(id)->IsWindowEnabled()) disabled.insert(id);
        });
        std::set<int> expected = c.disabled;
        expected.insert(outputsOff.begin(), outputsOff.end());
        EXPECT_EQ(disabled, expected) << c.lineType;
        EXPECT_EQ(CountOf(Log(), "EquDlg:    CODE 2100"), c.code2100 ? 1 : 0) << c.lineType;
    }
}

TEST_F(EquationEditor, GroupButtonsChooseTheVariantsList) {
    struct Case {
        const char* what;
        std::function<void(CPwrQuorraDoc&)> design;
        int button;
        int list;          // -1: no list
        const char* code;  // logged, or nullptr
    };
    const Case cases[] = {
        {"line source phase 2", [](CPwrQuorraDoc& d) { d.GetLineFilter()->SetLineSourceType(3); },
         IDC_EQU_LINE_SOURCE + 2, 2, nullptr},
        {"line filter v1 phase 2",
         [](CPwrQuorraDoc& d) {
             d.GetLineFilter()->SetLineSourceType(3);
             d.GetLineFilter()->SetTopology(1);
         },
         IDC_EQU_LINE_FILTER + 2, 8, nullptr},
        {"line filter not chosen", [](CPwrQuorraDoc&) {}, IDC_EQU_LINE_FILTER, -1, "EquDlg:    CODE 2103"},
        {"line rectifier v1 two phase",
         [](CPwrQuorraDoc& d) {
             d.GetLineFilter()->SetLineSourceType(2);
             d.GetLineRectifier()->SetTopology(1);
         },
         IDC_EQU_LINE_RECTIFIER, 35, nullptr},
        {"line rectifier v5 three phase",
         [](CPwrQuorraDoc& d) {
             d.GetLineFilter()->SetLineSourceType(3);
             d.GetLineRectifier()->SetTopology(5);
         },
         IDC_EQU_LINE_RECTIFIER, 42, nullptr},
        {"line rectifier not chosen", [](CPwrQuorraDoc&) {}, IDC_EQU_LINE_RECTIFIER, -1, "EquDlg:    CODE 2108"},
        {"input capacitor v3", [](CPwrQuorraDoc& d) { d.GetInputCapacitor()->SetTopology(3); },
         IDC_EQU_INPUT_CAPACITOR, 46, nullptr},
        {"primary v9", [](CPwrQuorraDoc& d) { d.GetPrimarySection()->SetTopology(9); }, IDC_EQU_PRIMARY_SECTION, 56,
         nullptr},
        {"secondary 2 synchronous",
         [](CPwrQuorraDoc& d) {
             d.GetRequirements()->GetOutput(1)->SetEnabled(TRUE);
             d.GetSecondarySection2()->SetTopology(0);
             d.GetSecondarySection2()->SetSynchronous(TRUE);
         },
         IDC_EQU_SECONDARY_SECTION + 1, 59, nullptr},
        {"secondary 1 diodes", [](CPwrQuorraDoc& d) { d.GetSecondarySection1()->SetTopology(0); },
         IDC_EQU_SECONDARY_SECTION, 62, nullptr},
        {"secondary 1 not chosen", [](CPwrQuorraDoc& d) { d.GetSecondarySection1()->SetTopology(999); },
         IDC_EQU_SECONDARY_SECTION, -1, "EquDlg:    CODE 2111"},
        {"output choke 1 v1", [](CPwrQuorraDoc& d) { d.GetOutputChoke1()->SetTopology(1); }, IDC_EQU_OUTPUT_CHOKE,
         70, nullptr},
        {"first stage 1 v3", [](CPwrQuorraDoc& d) { d.Get1StgOutputFilter1()->SetTopology(3); },
         IDC_EQU_FIRST_STAGE_FILTER, 86, nullptr},
        {"second stage 1 v6", [](CPwrQuorraDoc& d) { d.Get2StgOutputFilter1()->SetTopology(6); },
         IDC_EQU_SECOND_STAGE_FILTER, 114, nullptr},
        {"second stage 1 v7", [](CPwrQuorraDoc& d) { d.Get2StgOutputFilter1()->SetTopology(7); },
         IDC_EQU_SECOND_STAGE_FILTER, -1, "EquDlg:    CODE 2123"},
        {"load network 1 v3", [](CPwrQuorraDoc& d) { d.GetLoadNetwork1()->SetTopology(3); }, IDC_EQU_LOAD_NETWORK,
         130, nullptr},
        {"error amplifier v7", [](CPwrQuorraDoc& d) { d.GetVoltageErrorAmp()->SetTopology(7); },
         IDC_EQU_ERROR_AMPLIFIER, 141, nullptr},
        {"opto-isolator v6", [](CPwrQuorraDoc& d) { d.GetOptoIsolator()->SetTopology(6); }, IDC_EQU_OPTO_ISOLATOR,
         148, nullptr},
        {"control v4", [](CPwrQuorraDoc& d) { d.GetControlSection()->SetTopology(4); }, IDC_EQU_CONTROL_SECTION, 153,
         nullptr},
        {"control not chosen", [](CPwrQuorraDoc& d) { d.GetControlSection()->SetTopology(999); },
         IDC_EQU_CONTROL_SECTION, -1, "EquDlg:    CODE 2133"},
    };
    for (const Case& c : cases) {
        doc_.InitDefaults();
        doc_.GetLineFilter()->SetLineSourceType(1);
        c.design(doc_);
        RestartLog();
        const CVarIdList* chosen = nullptr;
        std::vector<std::string> rows;
        Run([&](CEquationDlg& d) {
            d.UserClicked(c.button);
            chosen = d.GetChosenList();
            rows = d.GetDlgItem(IDC_EQU_ITEMS)->Rows();
        });
        if (c.list < 0) {
            EXPECT_EQ(chosen, nullptr) << c.what;
            EXPECT_TRUE(rows.empty()) << c.what;
        } else {
            const CVarIdList* list = g_pTimeVarCatalogue->GetList(c.list);
            EXPECT_EQ(chosen, list) << c.what;
            ASSERT_EQ(int(rows.size()), list->GetCount()) << c.what;
            std::string name;
            ASSERT_TRUE(list->GetName(0, name));
            EXPECT_EQ(rows[0], name) << c.what;
        }
        if (c.code) {
            EXPECT_EQ(CountOf(Log(), c.code), 1) << c.what;
        }
    }
}

TEST_F(EquationEditor, AGroupWithoutAListLeavesNothingToEnter) {
    // Line source chosen first, then the unchosen line rectifier: the shown
    // rows stay, but there is no list to take an item from.
    std::vector<std::string> rows;
    Run([&](CEquationDlg& d) {
        d.UserClicked(IDC_EQU_LINE_SOURCE);
        d.UserClicked(IDC_EQU_LINE_RECTIFIER);
        rows = d.GetDlgItem(IDC_EQU_ITEMS)->Rows();
        d.UserSelected(IDC_EQU_ITEMS, 0);
        d.UserClicked(IDC_EQU_ENTER_ITEM);
    });
    EXPECT_FALSE(rows.empty());
    EXPECT_EQ(eq_.GetTokens().GetCount(), 0);
    EXPECT_EQ(CountOf(Log(), "EquDlg:    CODE 2108"), 1);
    EXPECT_EQ(CountOf(Log(), "EquDlg:    CODE 2134"), 1);

    // A line source type the rectifier variant has no list for keeps the
    // list shown and chosen.
    doc_.GetLineFilter()->SetLineSourceType(0);
    doc_.GetLineRectifier()->SetTopology(4);
    RestartLog();
    const CVarIdList* chosen = nullptr;
    Run([&](CEquationDlg& d) {
        d.UserClicked(IDC_EQU_LINE_SOURCE);
        d.UserClicked(IDC_EQU_LINE_RECTIFIER);
        chosen = d.GetChosenList();
        // No selection: a beep, nothing appended.
        d.UserClicked(IDC_EQU_ENTER_ITEM);
    });
    EXPECT_EQ(chosen, g_pTimeVarCatalogue->GetList(0));
    EXPECT_EQ(CountOf(Log(), "EquDlg:    CODE 2106"), 1);
    EXPECT_EQ(CountOf(Log(), "...VALUE 0,  VALUE 4"), 1);
    EXPECT_EQ(ui_.sink.beeps, 1);
    EXPECT_EQ(eq_.GetTokens().GetCount(), 0);
}

}  // namespace
