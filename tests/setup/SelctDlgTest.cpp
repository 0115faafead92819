#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "SetupTestSupport.h"
#include "circuit/Doc.h"
#include "setup/LinVltDg.h"
#include "setup/PartsDlg.h"
#include "setup/SelctDlg.h"

namespace {

constexpr const char* kSelectItem = "Select item before pressing OK";

bool Enabled(fw::Dialog& d, int id) { return d.GetDlgItem(id)->IsWindowEnabled() != FALSE; }
bool Checked(fw::Dialog& d, int id) { return d.IsDlgButtonChecked(id) != 0; }

// The checked variant radios, by variant number.
std::vector<int> CheckedVariants(fw::Dialog& d) {
    std::vector<int> out;
    for (int n = 0; d.GetDlgItem(IDC_SELECT_VARIANT0 + n); ++n)
        if (Checked(d, IDC_SELECT_VARIANT0 + n)) out.push_back(n);
    return out;
}
std::vector<int> EnabledVariants(fw::Dialog& d) {
    std::vector<int> out;
    for (int n = 0; d.GetDlgItem(IDC_SELECT_VARIANT0 + n); ++n)
        if (Enabled(d, IDC_SELECT_VARIANT0 + n)) out.push_back(n);
    return out;
}

class SelectDlgTest : public DialogTest {
protected:
    void SetUp() override {
        DialogTest::SetUp();
        doc_.OnNewDocument();
    }
    void EnableOutputs(std::vector<int> outputs) {
        for (int k = 0; k < 4; ++k) doc_.GetRequirements()->m_Outputs[size_t(k)].m_bEnabled = 0;
        for (int k : outputs) doc_.GetRequirements()->m_Outputs[size_t(k)].m_bEnabled = 1;
        doc_.GetRequirements()->CheckOutputs(FALSE);
    }
    template <class Dlg>
    int RunPlain(UINT id, WORD& variant, std::function<void(fw::Dialog&)> script) {
        Dlg dlg(id, &variant, nullptr);
        ui.windows.Script(id, std::move(script));
        return dlg.DoModal();
    }
    template <class Dlg>
    int RunPerOutput(UINT id, WORD& variant, WORD& output, std::function<void(fw::Dialog&)> script) {
        Dlg dlg(id, &variant, &output, &doc_, nullptr);
        ui.windows.Script(id, std::move(script));
        return dlg.DoModal();
    }
    CPwrQuorraDoc doc_;
};

TEST_F(SelectDlgTest, FormsHaveTheirTitlesAndVariants) {
    struct Case {
        UINT id;
        const char* title;
        int variants;
        const char* last;
    };
    const Case cases[] = {
        {IDD_SELECT_CONTROL_SECTION, "Control Sections", 5, "Average Current Mode Control"},
        {IDD_SELECT_INPUT_CAPACITOR, "Input Capacitors", 4, "Doubler with Damping"},
        {IDD_SELECT_LINE_FILTER, "Line Filters", 10, "None"},
        {IDD_SELECT_LINE_RECTIFIER, "Line Rectifiers", 6, "Multi-Phase Doubler"},
        {IDD_SELECT_LOAD_NETWORK, "Load Networks", 4, "Complex Load"},
        {IDD_SELECT_OPTO_ISOLATOR, "Opto-Isolators", 7, "None"},
        {IDD_SELECT_OUTPUT_CHOKE, "Output Chokes", 2, "Output Choke with Skimmer Choke"},
        {IDD_SELECT_FIRST_STAGE_FILTER, "Output Filter, First Stage Capacitor", 4,
         "Capacitor with Damping and Current Sensing"},
        {IDD_SELECT_SECOND_STAGE_FILTER, "Second Stage Output Filters", 7,
         "LC with Inductor Damping, Damping Inductor, and Capacitor Damping"},
        {IDD_SELECT_PRIMARY_SECTION, "Primary Sections", 10, "Passive Clamp with Current Sense Resistor"},
        {IDD_SELECT_SECONDARY_SECTION, "Secondary Sections", 1, "Double Rectifier Half Wave"},
        {IDD_SELECT_VOLTAGE_ERROR_AMP, "Voltage Error Amplifiers", 8, "Single Pole with DC Feedback"},
    };
    for (const Case& c : cases) {
        const fw::FormTable* f = fw::FindForm(c.id);
        ASSERT_NE(f, nullptr) << c.id;
        EXPECT_STREQ(f->caption, c.title);
        int n = 0;
        const char* last = nullptr;
        bool outputs = false;
        for (const fw::FormControl& fc : f->controls) {
            if (fc.id >= IDC_SELECT_VARIANT0 && fc.id < IDC_SELECT_VARIANT0 + 20) {
                EXPECT_EQ(fc.id, IDC_SELECT_VARIANT0 + n) << c.title;
                ++n;
                last = fc.caption;
            }
            if (fc.id == IDC_SELECT_OUTPUT1 + 3) outputs = true;
        }
        EXPECT_EQ(n, c.variants) << c.title;
        EXPECT_STREQ(last, c.last);
        EXPECT_EQ(outputs, c.id == 253 || c.id == 255 || c.id == 256 || c.id == 257 || c.id == 259) << c.title;
    }
}

TEST_F(SelectDlgTest, PlainDialogReturnsTheCheckedVariant) {
    WORD variant = kTopologyNotChosen;
    // Not chosen: nothing checked, OK refused until a choice is made.
    EXPECT_EQ(RunPlain<CSelectControlSectionDlg>(IDD_SELECT_CONTROL_SECTION, variant,
                                                 [](fw::Dialog& d) {
                                                     EXPECT_TRUE(CheckedVariants(d).empty());
                                                     d.UserClicked(fw::IDOK);
                                                     EXPECT_FALSE(d.IsEnded());
                                                     d.UserClicked(IDC_SELECT_VARIANT0 + 3);
                                                     d.UserClicked(fw::IDOK);
                                                 }),
              fw::IDOK);
    EXPECT_EQ(variant, 3);
    EXPECT_EQ(ui.sink.boxes, std::vector<std::string>{kSelectItem});

    // A stored variant beyond the dialog's radios shows none checked.
    variant = 12;
    EXPECT_EQ(RunPlain<CSelectPrimarySectionDlg>(IDD_SELECT_PRIMARY_SECTION, variant,
                                                 [](fw::Dialog& d) {
                                                     EXPECT_TRUE(CheckedVariants(d).empty());
                                                     d.UserClicked(fw::IDOK);
                                                     d.UserPressedEscape();
                                                 }),
              fw::IDCANCEL);
    EXPECT_EQ(variant, kTopologyNotChosen);
}

TEST_F(SelectDlgTest, LineRectifiersFollowTheLineSource) {
    struct Case {
        WORD sourceType;
        std::vector<int> enabled;
        bool code2200;
    };
    const Case cases[] = {
        {CLineFilter::SOURCE_DC, {0, 1}, false},
        {CLineFilter::SOURCE_1_PHASE_AC, {1, 2, 3}, false},
        {CLineFilter::SOURCE_2_PHASE_AC, {1, 4, 5}, false},
        {CLineFilter::SOURCE_3_PHASE_AC, {1, 4, 5}, false},
        {kTopologyNotChosen, {}, true},
    };
    for (const Case& c : cases) {
        ClearLogAndBoxes();
        doc_.GetLineFilter()->SetLineSourceType(c.sourceType);
        WORD variant = 3;
        std::vector<int> enabled;
        // A choice already checked can still be confirmed.
        EXPECT_EQ(RunPlain<CSelectLineRectifierDlg>(IDD_SELECT_LINE_RECTIFIER, variant,
                                                    [&](fw::Dialog& d) {
                                                        enabled = EnabledVariants(d);
                                                        EXPECT_EQ(CheckedVariants(d), std::vector<int>{3});
                                                        d.UserClicked(fw::IDOK);
                                                    }),
                  fw::IDOK);
        EXPECT_EQ(enabled, c.enabled) << c.sourceType;
        EXPECT_EQ(variant, 3);
        EXPECT_EQ(Logged("SelctDlg:  CODE ", 2200), c.code2200) << c.sourceType;
    }
}

TEST_F(SelectDlgTest, InputCapacitorsFollowTheLineRectifier) {
    struct Case {
        WORD rectifier;
        std::vector<int> enabled;
    };
    const Case cases[] = {{0, {0, 1}}, {1, {0, 1}}, {2, {0, 1}}, {3, {2, 3}}, {4, {0, 1}}, {5, {2, 3}},
                          {kTopologyNotChosen, {}}};
    for (const Case& c : cases) {
        ClearLogAndBoxes();
        doc_.GetLineRectifier()->SetTopology(c.rectifier);
        WORD variant = kTopologyNotChosen;
        std::vector<int> enabled;
        RunPlain<CSelectInputCapacitorDlg>(IDD_SELECT_INPUT_CAPACITOR, variant, [&](fw::Dialog& d) {
            enabled = EnabledVariants(d);
            d.UserPressedEscape();
        });
        EXPECT_EQ(enabled, c.enabled) << c.rectifier;
        EXPECT_EQ(Logged("SelctDlg:  CODE ", 2201), c.rectifier == kTopologyNotChosen);
    }
}

TEST_F(SelectDlgTest, PerOutputOpensOnTheFirstEnabledOutputWhenTheRememberedOneIsOff) {
    EnableOutputs({0, 2});
    doc_.Get2StgOutputFilter1()->SetTopology(4);
    doc_.Get2StgOutputFilter3()->SetTopology(2);
    for (WORD remembered : {WORD(1), WORD(7)}) {
        WORD variant = kTopologyNotChosen, output = remembered;
        EXPECT_EQ(RunPerOutput<CSelectSecondStageOutputFilterDlg>(
                      IDD_SELECT_SECOND_STAGE_FILTER, variant, output,
                      [](fw::Dialog& d) {
                          EXPECT_TRUE(Checked(d, IDC_SELECT_OUTPUT1));
                          EXPECT_FALSE(Enabled(d, IDC_SELECT_OUTPUT1 + 1));
                          EXPECT_TRUE(Enabled(d, IDC_SELECT_OUTPUT1 + 2));
                          EXPECT_FALSE(Enabled(d, IDC_SELECT_OUTPUT1 + 3));
                          EXPECT_EQ(CheckedVariants(d), std::vector<int>{4});
                          d.UserClicked(IDC_SELECT_OUTPUT1 + 2);
                          EXPECT_EQ(CheckedVariants(d), std::vector<int>{2});
                          d.UserClicked(fw::IDOK);
                      }),
                  fw::IDOK)
            << remembered;
        EXPECT_EQ(output, 2);
        EXPECT_EQ(variant, 2);
    }
}

TEST_F(SelectDlgTest, EachOutputKeepsTheVariantLastClickedForIt) {
    EnableOutputs({0, 1});
    doc_.Get2StgOutputFilter2()->SetTopology(5);
    WORD variant = kTopologyNotChosen, output = 0;
    EXPECT_EQ(RunPerOutput<CSelectSecondStageOutputFilterDlg>(
                  IDD_SELECT_SECOND_STAGE_FILTER, variant, output,
                  [](fw::Dialog& d) {
                      EXPECT_TRUE(CheckedVariants(d).empty());  // output 1 never chosen
                      d.UserClicked(IDC_SELECT_VARIANT0 + 1);   // "LC Filter"
                      d.UserClicked(IDC_SELECT_OUTPUT1 + 1);
                      EXPECT_EQ(CheckedVariants(d), std::vector<int>{5});  // output 2's own
                      d.UserClicked(IDC_SELECT_VARIANT0 + 6);
                      d.UserClicked(IDC_SELECT_OUTPUT1);
                      EXPECT_EQ(CheckedVariants(d), std::vector<int>{1});
                      d.UserClicked(fw::IDOK);
                  }),
              fw::IDOK);
    EXPECT_EQ(output, 0);
    EXPECT_EQ(variant, 1);
    EXPECT_EQ(doc_.Get2StgOutputFilter2()->GetTopology(), 5);  // the dialog only returns numbers
}

TEST_F(SelectDlgTest, WithoutAnEnabledOutputOKIsRefused) {
    EnableOutputs({});
    WORD variant = kTopologyNotChosen, output = 0;
    EXPECT_EQ(RunPerOutput<CSelectLoadNetworkDlg>(IDD_SELECT_LOAD_NETWORK, variant, output,
                                                  [](fw::Dialog& d) {
                                                      for (int k = 0; k < 4; ++k)
                                                          EXPECT_FALSE(Checked(d, IDC_SELECT_OUTPUT1 + k));
                                                      d.UserClicked(IDC_SELECT_VARIANT0);
                                                      d.UserClicked(fw::IDOK);
                                                      EXPECT_FALSE(d.IsEnded());
                                                      d.UserPressedEscape();
                                                  }),
              fw::IDCANCEL);
    EXPECT_TRUE(Logged("SelctDlg:  CODE ", 2218));
    // The click had no output to remember its variant for, nor one to show.
    EXPECT_TRUE(Logged("SelctDlg:  CODE ", 2220));
    EXPECT_TRUE(Logged("SelctDlg:  CODE ", 2221));
    EXPECT_EQ(ui.sink.boxes, std::vector<std::string>{kSelectItem});
    EXPECT_EQ(output, 0);  // never an index that names no output
}

TEST_F(SelectDlgTest, SecondarySectionsAcceptTheirOneVariant) {
    WORD variant = kTopologyNotChosen, output = 0;
    EXPECT_EQ(RunPerOutput<CSelectSecondarySectionDlg>(IDD_SELECT_SECONDARY_SECTION, variant, output,
                                                       [](fw::Dialog& d) {
                                                           d.UserClicked(fw::IDOK);
                                                           EXPECT_FALSE(d.IsEnded());
                                                           d.UserClicked(IDC_SELECT_VARIANT0);
                                                           d.UserClicked(fw::IDOK);
                                                       }),
              fw::IDOK);
    EXPECT_EQ(variant, 0);
}

class OutputChokeSelectTest : public SelectDlgTest {
protected:
    void SetUp() override {
        SelectDlgTest::SetUp();
        ClearCouplingDialog();
    }
    SchematicDialogsSnapshot keep_;
    int Run(std::function<void(fw::Dialog&)> script) {
        WORD variant = kTopologyNotChosen, output = 0;
        CSelectOutputChokeDlg dlg(IDD_SELECT_OUTPUT_CHOKE, &variant, &output, &coupling_, &doc_, nullptr);
        ui.windows.Script(IDD_SELECT_OUTPUT_CHOKE, std::move(script));
        return dlg.DoModal();
    }
    COutputChokeMutualInd coupling_;
};

TEST_F(OutputChokeSelectTest, CouplingNeedsTwoOutputs) {
    EnableOutputs({0});
    Run([](fw::Dialog& d) {
        EXPECT_FALSE(Enabled(d, IDC_SELECT_MAGNETIC_COUPLING));
        EXPECT_FALSE(Enabled(d, IDC_SELECT_MUTUAL_INDUCTANCE));
        d.UserPressedEscape();
    });
    EnableOutputs({0, 1});
    Run([](fw::Dialog& d) {
        EXPECT_TRUE(Enabled(d, IDC_SELECT_MAGNETIC_COUPLING));
        EXPECT_FALSE(Enabled(d, IDC_SELECT_MUTUAL_INDUCTANCE));  // the coupling is off
        d.UserPressedEscape();
    });
}

TEST_F(OutputChokeSelectTest, TickingOpensTheCouplingDialogAndItsAnswerSetsTheBox) {
    EnableOutputs({0, 1});
    struct Case {
        CouplingDialogResult answer;
        bool ticked;
    };
    const Case cases[] = {{{fw::IDOK, true}, true}, {{fw::IDCANCEL, false}, false}, {{fw::IDCANCEL, true}, true}};
    for (const Case& c : cases) {
        coupling_ = COutputChokeMutualInd();
        int runs = 0;
        RegisterCouplingDialog([&](COutputChokeMutualInd&) {
            ++runs;
            return c.answer;
        });
        bool box = false, button = false;
        Run([&](fw::Dialog& d) {
            d.UserClicked(IDC_SELECT_MAGNETIC_COUPLING);
            box = Checked(d, IDC_SELECT_MAGNETIC_COUPLING);
            button = Enabled(d, IDC_SELECT_MUTUAL_INDUCTANCE);
            d.UserPressedEscape();
        });
        EXPECT_EQ(runs, 1);
        EXPECT_EQ(box, c.ticked);
        EXPECT_EQ(button, c.ticked);
        EXPECT_EQ(coupling_.m_bCouplingEnabled, c.ticked ? 1 : 0);
    }
}

TEST_F(OutputChokeSelectTest, WithoutACouplingEditorTheBoxStaysOff) {
    EnableOutputs({0, 1});
    Run([](fw::Dialog& d) {
        d.UserClicked(IDC_SELECT_MAGNETIC_COUPLING);
        EXPECT_FALSE(Checked(d, IDC_SELECT_MAGNETIC_COUPLING));
        d.UserPressedEscape();
    });
    EXPECT_EQ(coupling_.m_bCouplingEnabled, 0);
    EXPECT_EQ(ui.sink.boxes, std::vector<std::string>{"Problem:  This part cannot be edited yet."});
}

class LineSourceSelectTest : public DialogTest {
protected:
    int Run(std::function<void(fw::Dialog&)> script) {
        CSelectLineSourceDlg dlg(&filter_, IDD_SELECT_LINE_SOURCE, nullptr);
        ui.windows.Script(IDD_SELECT_LINE_SOURCE, std::move(script));
        return dlg.DoModal();
    }
    CLineFilter filter_;
};

TEST_F(LineSourceSelectTest, OKNeedsATypeThatFitsTheVoltage) {
    struct Case {
        int type;  // -1: none checked
        double dc, acPeak;
        const char* box;  // nullptr: accepted
    };
    const Case cases[] = {
        {-1, 0, 0, kSelectItem},
        {CLineFilter::SOURCE_DC, 10, 10, nullptr},
        {CLineFilter::SOURCE_DC, 9, 10,
         "With a DC Line Source, the line voltage DC magnitude\nmust be larger than the line voltage AC peak "
         "magnitude."},
        {CLineFilter::SOURCE_1_PHASE_AC, 0, 325, nullptr},
        {CLineFilter::SOURCE_3_PHASE_AC, 0, 325, nullptr},
    };
    for (const Case& c : cases) {
        ui.sink.Clear();
        filter_ = CLineFilter();
        filter_.GetLineVoltage().m_dDCMagnitude = c.dc;
        filter_.GetLineVoltage().m_dACPeakMagnitude = c.acPeak;
        const int r = Run([&](fw::Dialog& d) {
            for (int k = 0; k < 4; ++k) EXPECT_FALSE(Checked(d, IDC_LINE_SOURCE_DC + k));
            if (c.type >= 0) d.UserClicked(IDC_LINE_SOURCE_DC + c.type);
            d.UserClicked(fw::IDOK);
            if (!d.IsEnded()) d.UserPressedEscape();
        });
        EXPECT_EQ(r, c.box ? fw::IDCANCEL : fw::IDOK) << c.type << " " << c.dc;
        EXPECT_EQ(filter_.GetLineSourceType(), c.box ? kTopologyNotChosen : WORD(c.type));
        EXPECT_EQ(ui.sink.boxes, c.box ? std::vector<std::string>{c.box} : std::vector<std::string>{});
    }
}

TEST_F(LineSourceSelectTest, LineVoltageIsEditedIntoTheCopy) {
    filter_.SetLineSourceType(CLineFilter::SOURCE_1_PHASE_AC);
    ui.windows.Script(IDD_LINE_VOLTAGE, [](fw::Dialog& d) {
        d.UserTyped(IDC_AC_PEAK_MAGNITUDE, "325");
        d.UserTyped(IDC_AC_FREQUENCY, "50");
        d.UserClicked(fw::IDOK);
    });
    ui.windows.Script(IDD_LINE_VOLTAGE, [](fw::Dialog& d) {
        d.UserTyped(IDC_DC_MAGNITUDE, "5");
        d.UserClicked(fw::IDCANCEL);
    });
    EXPECT_EQ(Run([](fw::Dialog& d) {
                  EXPECT_TRUE(Checked(d, IDC_LINE_SOURCE_DC + 1));
                  d.UserClicked(IDC_LINE_VOLTAGE);
                  d.UserClicked(IDC_LINE_VOLTAGE);
                  d.UserClicked(fw::IDOK);
              }),
              fw::IDOK);
    EXPECT_EQ(filter_.GetLineVoltage().m_dACPeakMagnitude, 325.0);
    EXPECT_EQ(filter_.GetLineVoltage().m_dACFrequency, 50.0);
    EXPECT_EQ(filter_.GetLineVoltage().m_dDCMagnitude, 0.0);
}

TEST_F(LineSourceSelectTest, LineInductanceAndResistanceAreEditedIntoTheCopy) {
    std::string inductanceTitle, resistanceTitle;
    ui.windows.Script(IDD_INDUCTOR_SHORT, [&](fw::Dialog& d) {
        inductanceTitle = d.GetWindowText();
        d.UserTyped(IDC_INDUCTANCE, "2.5e-6");
        d.UserClicked(fw::IDOK);
    });
    ui.windows.Script(IDD_RESISTOR, [&](fw::Dialog& d) {
        resistanceTitle = d.GetWindowText();
        d.UserTyped(IDC_RESISTANCE, "0.35");
        d.UserClicked(fw::IDOK);
    });
    ui.windows.Script(IDD_RESISTOR, [](fw::Dialog& d) {
        d.UserTyped(IDC_RESISTANCE, "99");
        d.UserClicked(fw::IDCANCEL);
    });
    EXPECT_EQ(Run([](fw::Dialog& d) {
                  d.UserClicked(IDC_LINE_INDUCTANCE);
                  d.UserClicked(IDC_LINE_RESISTANCE);
                  d.UserClicked(IDC_LINE_RESISTANCE);
                  d.UserClicked(IDC_LINE_SOURCE_DC + 1);
                  d.UserClicked(fw::IDOK);
              }),
              fw::IDOK);
    EXPECT_EQ(inductanceTitle, "Line Inductance");
    EXPECT_EQ(resistanceTitle, "Line Resistance");
    EXPECT_EQ(filter_.GetLineInductance().m_dInductance, 2.5e-6);
    EXPECT_EQ(filter_.GetLineResistance().m_dResistance, 0.35);
}

}  // namespace
