// The frequency-domain setup dialogs driven headless: stimulus ranges from
// the target switching frequency, one graph per quantity, the phase ranges,
// the output fix-up, the graph buttons, OK and its menu twin, and the codes
// for a control the form lacks.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "app/FreqSetupDlg.h"
#include "circuit/Doc.h"
#include "platform/ui/Fakes.h"
#include "setup/DlgIds.h"
#include "support/ReportCapture.h"

namespace {

using test_support::CountOf;

class FreqSetup : public test_support::ReportCaptureTest {
protected:
    void SetUp() override {
        ReportCaptureTest::SetUp();
        doc_.InitDefaults();
    }

    // Runs a dialog made by make() with the script against its template.
    int Run(UINT templateId, const std::function<void(fw::Dialog&)>& script,
            const std::function<std::unique_ptr<CFreqSetupDlg>()>& make) {
        ui_.windows.Script(templateId, script);
        std::unique_ptr<CFreqSetupDlg> dlg = make();
        return dlg->DoModal();
    }
    int RunVoltageLoop(const std::function<void(fw::Dialog&)>& script) {
        return Run(IDD_VOLTAGE_LOOP_SETUP, script, [this] {
            return std::make_unique<CVoltageLoopSetupDlg>(&stim_, &g_[0], &g_[1], &g_[2], &g_[3]);
        });
    }

    fw::FakeUi ui_;
    CPwrQuorraDoc doc_;
    CFreqDomainStimulusCfg stim_;
    CGraphCfg g_[4];
};

TEST_F(FreqSetup, StimulusRangesFromTheTargetSwitchingFrequency) {
    struct Case {
        double target;
        int id;
        const char* text;
        const char* box;  // nullptr: accepted
    };
    const Case cases[] = {
        {100000, IDC_FREQ_START, "0.1", nullptr},
        {100000, IDC_FREQ_START, "0.09", "Please enter a number between 0.1 and 100000."},
        {100000, IDC_FREQ_START, "100001", "Please enter a number between 0.1 and 100000."},
        {100000, IDC_FREQ_STOP, "0.5", "Please enter a number between 1 and 100000."},
        {100000, IDC_FREQ_STOP, "100000", nullptr},
        {250000, IDC_FREQ_START, "0.2", "Please enter a number between 0.25 and 250000."},
        {250000, IDC_FREQ_STOP, "250000", nullptr},
        {100000, IDC_FREQ_AMPLITUDE, "0", "Please enter a number between 1e-006 and 1000."},
        {100000, IDC_FREQ_AMPLITUDE, "1000", nullptr},
        {100000, IDC_FREQ_POINTS, "0", "Please enter an integer between 1 and 100."},
        {100000, IDC_FREQ_POINTS, "101", "Please enter an integer between 1 and 100."},
        {100000, IDC_FREQ_POINTS, "2.5", "Please enter an integer."},
        {100000, IDC_FREQ_START, "ten", "Please enter a number."},
    };
    for (const Case& c : cases) {
        doc_.GetRequirements()->m_dSwitchingFrequency = c.target;
        stim_ = CFreqDomainStimulusCfg();
        ui_.sink.Clear();
        int focus = 0;
        const int result = RunVoltageLoop([&](fw::Dialog& d) {
            d.UserTyped(c.id, c.text);
            d.UserClicked(fw::IDOK);
            focus = d.GetFocusId();
        });
        if (c.box) {
            EXPECT_EQ(ui_.sink.boxes, std::vector<std::string>{c.box}) << c.text;
            EXPECT_EQ(focus, c.id) << c.text;
            EXPECT_EQ(result, fw::IDCANCEL) << c.text;
        } else {
            EXPECT_TRUE(ui_.sink.boxes.empty()) << c.text;
            EXPECT_EQ(result, fw::IDOK) << c.text;
        }
    }
}

TEST_F(FreqSetup, TargetReadAtConstructionAndStoredValuesShownAsTheyAre) {
    stim_.m_dStartFrequency = 80000;
    stim_.m_dStopFrequency = 90000;
    doc_.GetRequirements()->m_dSwitchingFrequency = 50000;
    std::string shown;
    const int result = RunVoltageLoop([&](fw::Dialog& d) {
        shown = d.GetDlgItemText(IDC_FREQ_START);
        // Raising the target now does not reach the open dialog.
        doc_.GetRequirements()->m_dSwitchingFrequency = 100000;
        d.UserClicked(fw::IDOK);
        EXPECT_FALSE(d.IsEnded());
        d.UserTyped(IDC_FREQ_START, "1000");
        d.UserTyped(IDC_FREQ_STOP, "2000");
        d.UserClicked(fw::IDOK);
    });
    EXPECT_EQ(shown, "80000");
    EXPECT_EQ(ui_.sink.boxes, std::vector<std::string>{"Please enter a number between 0.05 and 50000."});
    EXPECT_EQ(result, fw::IDOK);
    EXPECT_EQ(stim_.m_dStartFrequency, 1000.0);
}

TEST_F(FreqSetup, StartAboveStopRefusedByOkButNotByTheMenusOk) {
    struct Case {
        const char* start;
        const char* stop;
        bool viaMenu;
        int result;
        bool message;
    };
    const Case cases[] = {
        {"50", "50", false, fw::IDOK, false},
        {"60", "50", false, fw::IDCANCEL, true},
        {"60", "50", true, fw::IDOK, false},
    };
    for (const Case& c : cases) {
        stim_ = CFreqDomainStimulusCfg();
        ui_.sink.Clear();
        const int result = RunVoltageLoop([&](fw::Dialog& d) {
            d.UserTyped(IDC_FREQ_START, c.start);
            d.UserTyped(IDC_FREQ_STOP, c.stop);
            if (c.viaMenu) {
                ui_.windows.popupAnswer = ID_POPUP_OK;
                d.UserMouse(fw::MouseEvent::RButtonDown, {10, 10});
            } else {
                d.UserClicked(fw::IDOK);
            }
        });
        EXPECT_EQ(result, c.result) << c.start << " " << c.viaMenu;
        EXPECT_EQ(ui_.sink.boxes.size(), c.message ? 1u : 0u);
        if (c.message) {
            EXPECT_EQ(ui_.sink.boxes[0], "Problem:  Stop Frequency must be larger than Start Frequency.");
        }
        if (c.result == fw::IDOK) {
            EXPECT_EQ(stim_.m_dStartFrequency, std::stod(c.start));
        }
    }
    ui_.windows.popupAnswer = 0;
}

TEST_F(FreqSetup, EnterInAFieldStoresItAndBeeps) {
    bool ended = true;
    RunVoltageLoop([&](fw::Dialog& d) {
        d.UserFocus(IDC_FREQ_POINTS);
        d.UserTyped(IDC_FREQ_POINTS, "25");
        d.UserPressedEnter();
        ended = d.IsEnded();
    });
    EXPECT_FALSE(ended);
    EXPECT_EQ(ui_.sink.beeps, 1);
    EXPECT_EQ(stim_.m_nPointsPerDecade, 25);  // the working copy; the caller drops it on Cancel
}

TEST_F(FreqSetup, OneGraphPerQuantity) {
    struct Case {
        const char* what;
        std::vector<int> clicks;        // radio ids, in order
        std::vector<int32_t> choices;   // rows 1-6 after OK
    };
    const Case cases[] = {
        {"graph 2 taken over", {IdcFreqRow(1) + 2, IdcFreqRow(3) + 2}, {0, 0, 2, 0, 0, 0}},
        {"different graphs stay", {IdcFreqRow(1) + 2, IdcFreqRow(3) + 1}, {2, 0, 1, 0, 0, 0}},
        {"disabled changes no other row", {IdcFreqRow(1) + 2, IdcFreqRow(3) + 2, IdcFreqRow(3)}, {0, 0, 0, 0, 0, 0}},
        {"every row its own graph",
         {IdcFreqRow(1) + 1, IdcFreqRow(2) + 2, IdcFreqRow(5) + 3, IdcFreqRow(6) + 4, IdcFreqRow(4) + 4},
         {1, 2, 0, 4, 3, 0}},
    };
    for (const Case& c : cases) {
        stim_ = CFreqDomainStimulusCfg();
        RunVoltageLoop([&](fw::Dialog& d) {
            for (int id : c.clicks) d.UserClicked(id);
            d.UserClicked(fw::IDOK);
        });
        std::vector<int32_t> got(stim_.m_nChoice.begin(), stim_.m_nChoice.begin() + 6);
        EXPECT_EQ(got, c.choices) << c.what;
    }

    // The two-graph dialogs: the current-loop rows of their own words.
    stim_ = CFreqDomainStimulusCfg();
    Run(
        IDD_PEAK_CURRENT_LOOP_SETUP,
        [](fw::Dialog& d) {
            d.UserClicked(IdcFreqRow(2) + 1);
            d.UserClicked(IdcFreqRow(1) + 1);
            d.UserClicked(fw::IDOK);
        },
        [this] { return std::make_unique<CPeakCurrentLoopSetupDlg>(&stim_, &g_[0], &g_[1]); });
    EXPECT_EQ(stim_.GetChoice(CFreqDomainStimulusCfg::CHOICE_PEAK_CURRENT), 1);
    EXPECT_EQ(stim_.GetChoice(CFreqDomainStimulusCfg::CHOICE_PEAK_CURRENT + 1), 0);
    EXPECT_EQ(stim_.GetChoice(CFreqDomainStimulusCfg::CHOICE_AVG_CURRENT), 0);
}

TEST_F(FreqSetup, PhaseRangesFollowTheMaximum) {
    std::map<std::string, std::string> seen;
    RunVoltageLoop([&](fw::Dialog& d) {
        seen["default loop"] = d.GetDlgItemText(1498);
        seen["default control"] = d.GetDlgItemText(1500);
        d.UserFocus(1497);
        d.UserTyped(1497, "45");
        d.UserFocus(1499);
        seen["45"] = d.GetDlgItemText(1498);
        d.UserTyped(1499, "1000");
        d.UserFocus(1501);
        seen["1000"] = d.GetDlgItemText(1500);
        d.UserTyped(1501, "abc");
        d.UserFocus(fw::IDOK);
        seen["bad"] = d.GetDlgItemText(1502);
        d.UserTyped(1501, "-90");
        d.UserClicked(fw::IDOK);
    });
    EXPECT_EQ(seen["default loop"], "-450.00");
    EXPECT_EQ(seen["default control"], "-360.00");
    EXPECT_EQ(seen["45"], "-315.00");
    EXPECT_EQ(seen["1000"], "640.00");
    EXPECT_EQ(seen["bad"], "-450.00");
    EXPECT_EQ(ui_.sink.boxes, std::vector<std::string>{"Please enter a number."});
    EXPECT_EQ(stim_.m_dMaxPhase[0], 45.0);
    EXPECT_EQ(stim_.m_dMaxPhase[1], 1000.0);
}

TEST_F(FreqSetup, OutputGroupFollowsTheEnabledOutputs) {
    struct Case {
        std::vector<int> enabled;  // outputs 1-4 enabled
        int32_t stored;
        int32_t after;
        std::vector<int> disabledButtons;
    };
    const Case cases[] = {
        {{1, 2}, 2, 0, {IDC_FREQ_OUTPUT1 + 2, IDC_FREQ_OUTPUT1 + 3}},
        {{2, 4}, 1, 1, {IDC_FREQ_OUTPUT1, IDC_FREQ_OUTPUT1 + 2}},
        {{3}, 0, 2, {IDC_FREQ_OUTPUT1, IDC_FREQ_OUTPUT1 + 1, IDC_FREQ_OUTPUT1 + 3}},
        {{}, 3, 3, {IDC_FREQ_OUTPUT1, IDC_FREQ_OUTPUT1 + 1, IDC_FREQ_OUTPUT1 + 2, IDC_FREQ_OUTPUT1 + 3}},
    };
    for (bool amplifier : {false, true}) {
        const int word = amplifier ? CFreqDomainStimulusCfg::CHOICE_AMP_OUTPUT : CFreqDomainStimulusCfg::CHOICE_I2O_OUTPUT;
        for (const Case& c : cases) {
            for (int o = 0; o < 4; ++o)
                doc_.GetRequirements()->GetOutput(o)->SetEnabled(
                    std::count(c.enabled.begin(), c.enabled.end(), o + 1) ? TRUE : FALSE);
            stim_ = CFreqDomainStimulusCfg();
            stim_.m_nChoice[size_t(word)] = c.stored;
            std::vector<int> disabled;
            int checked = 0;
            auto script = [&](fw::Dialog& d) {
                for (int o = 0; o < 4; ++o)
                    if (!d.GetDlgItem(IDC_FREQ_OUTPUT1 + o)->IsWindowEnabled()) disabled.push_back(IDC_FREQ_OUTPUT1 + o);
                checked = d.GetCheckedRadioButton(IDC_FREQ_OUTPUT1, IDC_FREQ_OUTPUT1 + 3);
                d.UserClicked(fw::IDOK);
            };
            if (amplifier)
                Run(IDD_AMPLIFIER_SETUP, script,
                    [this] { return std::make_unique<CAmplifierSetupDlg>(&stim_, &g_[0], &g_[1]); });
            else
                Run(IDD_INPUT_TO_OUTPUT_SETUP, script, [this] {
                    return std::make_unique<CInputToOutputSetupDlg>(&stim_, &g_[0], &g_[1], &g_[2], &g_[3]);
                });
            EXPECT_EQ(disabled, c.disabledButtons) << amplifier << " " << c.stored;
            EXPECT_EQ(checked, IDC_FREQ_OUTPUT1 + c.after) << amplifier << " " << c.stored;
            EXPECT_EQ(stim_.m_nChoice[size_t(word)], c.after) << amplifier << " " << c.stored;
        }
    }
}

TEST_F(FreqSetup, GraphButtonsEditTheWorkingSettings) {
    ui_.windows.Script(IDD_FREQ_GRAPH_CFG, [](fw::Dialog& d) {
        EXPECT_EQ(d.GetWindowText(), "Frequency Domain Graph 3");
        d.UserTyped(IDC_GRAPH_X_MAX, "5000");
        d.UserClicked(fw::IDOK);
    });
    ui_.windows.Script(IDD_FREQ_GRAPH_CFG, [](fw::Dialog& d) {
        d.UserTyped(IDC_GRAPH_X_MAX, "7000");
        d.UserClicked(fw::IDCANCEL);
    });
    RunVoltageLoop([](fw::Dialog& d) {
        d.UserClicked(IDC_FREQ_GRAPH1 + 2);
        d.UserClicked(IDC_FREQ_GRAPH1 + 1);
        d.UserClicked(fw::IDCANCEL);
    });
    EXPECT_EQ(g_[2].m_dXMax, 5000.0);
    EXPECT_EQ(g_[1].m_dXMax, 1.0);
    EXPECT_EQ(ui_.windows.modalRuns,
              (std::vector<UINT>{IDD_VOLTAGE_LOOP_SETUP, IDD_FREQ_GRAPH_CFG, IDD_FREQ_GRAPH_CFG}));
}

TEST_F(FreqSetup, AMissingControlIsLoggedWithItsCode) {
    // The amplifier form without its second row's graph 2 button.
    static fw::FormTable lacking = *fw::FindForm(IDD_AMPLIFIER_SETUP);
    static bool registered = false;
    if (!registered) {
        lacking.id = 9224;
        std::erase_if(lacking.controls, [](const fw::FormControl& c) { return c.id == IdcFreqRow(2) + 2; });
        static fw::FormRegistrar reg(lacking);
        registered = true;
    }
    Run(
        9224,
        [](fw::Dialog& d) {
            d.UserClicked(IdcFreqRow(1) + 2);
            d.UserClicked(IdcFreqRow(2) + 1);
        },
        [this] { return std::make_unique<CAmplifierSetupDlg>(&stim_, &g_[0], &g_[1], 9224); });
    // Row 1 looks the other row's graph 2 up last; row 2 its own graph 2.
    EXPECT_EQ(CountOf(Log(), "Stimulus:  CODE 4430"), 1);
    EXPECT_EQ(CountOf(Log(), "Stimulus:  CODE 4434"), 1);
}

}  // namespace
