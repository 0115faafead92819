#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "SetupTestSupport.h"
#include "circuit/Doc.h"
#include "setup/RequireDg.h"
#include "setup/WeightDg.h"

namespace {

constexpr const char* kConsecutive = "Enabled outputs must be consecutive starting with output 1.";
constexpr const char* kWeights = "Enabled weights must add up to 100%.";

bool Enabled(fw::Dialog& d, int id) { return d.GetDlgItem(id)->IsWindowEnabled() != FALSE; }
bool Checked(fw::Dialog& d, int id) { return d.IsDlgButtonChecked(id) != 0; }

// ---------------------------------------------------------------------------
// Requirements

class RequirementsDlgTest : public DialogTest {
protected:
    int Run(std::function<void(fw::Dialog&)> script) {
        CRequirementsDlg dlg(&req_, IDD_REQUIREMENTS, nullptr);
        ui.windows.Script(IDD_REQUIREMENTS, std::move(script));
        return dlg.DoModal();
    }
    void EnableOutputs(int n) {
        for (int k = 0; k < 4; ++k) req_.m_Outputs[size_t(k)].m_bEnabled = k < n;
    }
    CRequirements req_;
};

TEST_F(RequirementsDlgTest, FieldsShowTheRecordAndOKStoresThem) {
    req_.m_dSwitchingFrequency = 123456.789;
    req_.m_Outputs[2].m_dTargetVoltage = 0.1 + 0.2;  // not exactly shown in 15 digits
    EXPECT_EQ(Run([](fw::Dialog& d) {
                  EXPECT_EQ(d.GetWindowText(), "Requirements");
                  EXPECT_EQ(d.GetDlgItemText(IDC_REQ_SWITCHING_FREQUENCY), "123456.789");
                  EXPECT_EQ(d.GetDlgItemText(IDC_REQ_OPERATING_TEMP), "25");
                  d.UserTyped(IDC_REQ_OPERATING_TEMP, "-40");
                  d.UserTyped(IDC_REQ_OUTPUT1_VOLTAGE, "3.3");
                  d.UserClicked(fw::IDOK);
              }),
              fw::IDOK);
    EXPECT_EQ(req_.m_dOperatingTemp, -40.0);
    EXPECT_EQ(req_.m_Outputs[0].m_dTargetVoltage, 3.3);
    EXPECT_EQ(req_.m_Outputs[2].m_dTargetVoltage, 0.1 + 0.2);  // left alone, kept exactly
}

TEST_F(RequirementsDlgTest, EnableRulesKeepOutputsConsecutive) {
    EnableOutputs(4);
    Run([](fw::Dialog& d) {
        // Output 1 cannot be turned off.
        d.UserClicked(IDC_REQ_OUTPUT1_ENABLED);
        EXPECT_TRUE(Checked(d, IDC_REQ_OUTPUT1_ENABLED));
        // Unchecking output 2 unchecks and disables 3 and 4.
        d.UserClicked(IDC_REQ_OUTPUT1_ENABLED + 1);
        for (int k : {1, 2, 3}) EXPECT_FALSE(Checked(d, IDC_REQ_OUTPUT1_ENABLED + k)) << k;
        for (int id : {IDC_REQ_OUTPUT1_VOLTAGE + 1, IDC_REQ_OUTPUT1_ENABLED + 2, IDC_REQ_OUTPUT1_VOLTAGE + 2,
                       IDC_REQ_OUTPUT1_ENABLED + 3, IDC_REQ_OUTPUT1_VOLTAGE + 3})
            EXPECT_FALSE(Enabled(d, id)) << id;
        EXPECT_TRUE(Enabled(d, IDC_REQ_OUTPUT1_ENABLED + 1));
        // Checking it again enables box 3 only, still unchecked.
        d.UserClicked(IDC_REQ_OUTPUT1_ENABLED + 1);
        EXPECT_TRUE(Enabled(d, IDC_REQ_OUTPUT1_VOLTAGE + 1));
        EXPECT_TRUE(Enabled(d, IDC_REQ_OUTPUT1_ENABLED + 2));
        EXPECT_FALSE(Checked(d, IDC_REQ_OUTPUT1_ENABLED + 2));
        EXPECT_FALSE(Enabled(d, IDC_REQ_OUTPUT1_VOLTAGE + 2));
        EXPECT_FALSE(Enabled(d, IDC_REQ_OUTPUT1_ENABLED + 3));
        d.UserClicked(fw::IDOK);
    });
    EXPECT_EQ(req_.CountEnabledOutputs(), 2);
}

// A field that fails its check does not stop the boxes from following the
// rules.
TEST_F(RequirementsDlgTest, EnableRulesRunWhenAFieldFails) {
    EnableOutputs(3);
    Run([](fw::Dialog& d) {
        d.UserTyped(IDC_REQ_SWITCHING_FREQUENCY, "0");
        d.UserClicked(IDC_REQ_OUTPUT1_ENABLED + 1);
        EXPECT_FALSE(Checked(d, IDC_REQ_OUTPUT1_ENABLED + 2));
        EXPECT_FALSE(Enabled(d, IDC_REQ_OUTPUT1_ENABLED + 2));
        EXPECT_FALSE(Enabled(d, IDC_REQ_OUTPUT1_VOLTAGE + 1));
        d.UserPressedEscape();
    });
    EXPECT_EQ(ui.sink.boxes, std::vector<std::string>{"Please enter a number between 1 and 1000000000."});
}

TEST_F(RequirementsDlgTest, OpeningFollowsTheRules) {
    // A record with a gap (from a file) opens with the outputs after it off.
    req_.m_Outputs[0].m_bEnabled = 0;
    req_.m_Outputs[1].m_bEnabled = 0;
    req_.m_Outputs[2].m_bEnabled = 1;
    Run([](fw::Dialog& d) {
        EXPECT_TRUE(Checked(d, IDC_REQ_OUTPUT1_ENABLED));
        EXPECT_FALSE(Checked(d, IDC_REQ_OUTPUT1_ENABLED + 2));
        EXPECT_FALSE(Enabled(d, IDC_REQ_OUTPUT1_ENABLED + 2));
        d.UserPressedEscape();
    });
}

TEST_F(RequirementsDlgTest, RangesRefuseWithFocusOnTheField) {
    struct Case {
        int id;
        const char* text;
        const char* box;
    };
    const Case cases[] = {
        {IDC_REQ_SWITCHING_FREQUENCY, "0.5", "Please enter a number between 1 and 1000000000."},
        {IDC_REQ_OPERATING_TEMP, "-300", "Please enter a number between -273 and 300."},
        {IDC_REQ_OUTPUT1_VOLTAGE + 3, "100001", "Please enter a number between -100000 and 100000."},
        {IDC_REQ_OPERATING_TEMP, "nan", "Please enter a number."},
        {IDC_REQ_OUTPUT1_VOLTAGE, "12abc", "Please enter a number."},
    };
    for (const Case& c : cases) {
        ui.sink.Clear();
        req_ = CRequirements();  // a refused exchange has stored what it read
        int focus = 0;
        EXPECT_EQ(Run([&](fw::Dialog& d) {
                      d.UserTyped(c.id, c.text);
                      d.UserClicked(fw::IDOK);
                      focus = d.GetFocusId();
                      d.UserPressedEscape();
                  }),
                  fw::IDCANCEL)
            << c.text;
        EXPECT_EQ(focus, c.id) << c.text;
        EXPECT_EQ(ui.sink.boxes, std::vector<std::string>{c.box}) << c.text;
    }
}

TEST_F(RequirementsDlgTest, OKRefusesNonConsecutiveOutputsFromAnyOK) {
    // Only a record that bypassed the boxes can have a gap: the popup OK
    // exchanges the fields first, so set the gap where the exchange reads it.
    for (UINT how : {UINT(fw::IDOK), UINT(ID_POPUP_OK)}) {
        ui.sink.Clear();
        EnableOutputs(1);
        EXPECT_EQ(Run([&](fw::Dialog& d) {
                      d.CheckDlgButton(IDC_REQ_OUTPUT1_ENABLED + 2, 1);  // a gap at output 2
                      if (how == fw::IDOK) d.UserClicked(fw::IDOK);
                      else d.UserCommand(how);
                      d.UserPressedEscape();
                  }),
                  fw::IDCANCEL);
        EXPECT_EQ(ui.sink.boxes, std::vector<std::string>{kConsecutive}) << how;
    }
}

TEST_F(RequirementsDlgTest, EnterInAFieldBeepsAndStays) {
    EXPECT_EQ(Run([](fw::Dialog& d) {
                  d.UserFocus(IDC_REQ_OPERATING_TEMP);
                  d.UserTyped(IDC_REQ_OPERATING_TEMP, "30");
                  d.UserPressedEnter();
                  EXPECT_FALSE(d.IsEnded());
                  d.UserPressedEscape();
              }),
              fw::IDCANCEL);
    EXPECT_EQ(ui.sink.beeps, 1);
    EXPECT_EQ(req_.m_dOperatingTemp, 30.0);  // exchanged, for the caller to discard
}

TEST_F(RequirementsDlgTest, DisabledOutputKeepsItsVoltageAndIsStillChecked) {
    EnableOutputs(1);
    req_.m_Outputs[3].m_dTargetVoltage = 48.0;
    EXPECT_EQ(Run([](fw::Dialog& d) {
                  EXPECT_FALSE(Enabled(d, IDC_REQ_OUTPUT1_VOLTAGE + 3));
                  d.UserClicked(fw::IDOK);
              }),
              fw::IDOK);
    EXPECT_EQ(req_.m_Outputs[3].m_dTargetVoltage, 48.0);
}

// ---------------------------------------------------------------------------
// Weighting

class WeightingDlgTest : public DialogTest {
protected:
    void SetUp() override {
        DialogTest::SetUp();
        doc_.OnNewDocument();
    }
    void EnableOutputs(int n) {
        for (int k = 0; k < 4; ++k) doc_.GetRequirements()->m_Outputs[size_t(k)].m_bEnabled = k < n;
    }
    int RunVoltage(std::function<void(fw::Dialog&)> script) {
        CVoltageFeedbackWeightingDlg dlg(&voltage_, IDD_VOLTAGE_FEEDBACK_WEIGHTING, nullptr);
        ui.windows.Script(IDD_VOLTAGE_FEEDBACK_WEIGHTING, std::move(script));
        return dlg.DoModal();
    }
    CPwrQuorraDoc doc_;
    CVoltageFeedbackNetwork voltage_;
};

TEST_F(WeightingDlgTest, SumOfEnabledWeightsDecidesOK) {
    EnableOutputs(2);
    struct Case {
        const char* w1;
        const char* w2;
        const char* m1;  // modulator 1 weight, enabled
        bool accepted;
    };
    const Case cases[] = {
        {"49", "50", "0", true}, {"49", "48", "0", false}, {"50", "50", "2", true},
        {"50", "50", "2.5", false}, {"40", "40", "18", true}, {"0", "0", "0", false},
    };
    for (const Case& c : cases) {
        ui.sink.Clear();
        voltage_ = CVoltageFeedbackNetwork();
        const int r = RunVoltage([&](fw::Dialog& d) {
            d.CheckDlgButton(IDC_WEIGHT_OUTPUT1_ENABLE, 1);
            d.CheckDlgButton(IDC_WEIGHT_OUTPUT1_ENABLE + 1, 1);
            d.CheckDlgButton(IDC_WEIGHT_MODULATOR1_ENABLE, 1);
            d.UserTyped(IDC_WEIGHT_OUTPUT1, c.w1);
            d.UserTyped(IDC_WEIGHT_OUTPUT1 + 1, c.w2);
            d.UserTyped(IDC_WEIGHT_MODULATOR1, c.m1);
            d.UserClicked(fw::IDOK);
            if (!d.IsEnded()) d.UserPressedEscape();
        });
        EXPECT_EQ(r, c.accepted ? fw::IDOK : fw::IDCANCEL) << c.w1 << " " << c.w2 << " " << c.m1;
        EXPECT_EQ(ui.sink.boxes, c.accepted ? std::vector<std::string>{} : std::vector<std::string>{kWeights});
    }
}

TEST_F(WeightingDlgTest, RowsOfDisabledOutputsAreOffAndDoNotCount) {
    EnableOutputs(1);
    voltage_.m_bOutputEnable = {1, 1, 0, 0};
    voltage_.m_dOutputWeight = {100, 30, 0, 0};
    EXPECT_EQ(RunVoltage([](fw::Dialog& d) {
                  for (int k = 1; k < 4; ++k)
                      for (int id : {IDC_WEIGHT_OUTPUT1_ENABLE, IDC_WEIGHT_OUTPUT1, IDC_WEIGHT_MODULATOR1_ENABLE,
                                     IDC_WEIGHT_MODULATOR1, IDC_WEIGHT_MODULATOR1_RC})
                          EXPECT_FALSE(Enabled(d, id + k)) << id + k;
                  for (int id : {IDC_WEIGHT_OUTPUT1_ENABLE, IDC_WEIGHT_OUTPUT1, IDC_WEIGHT_MODULATOR1_RC})
                      EXPECT_TRUE(Enabled(d, id));
                  d.UserClicked(fw::IDOK);
              }),
              fw::IDOK);
    EXPECT_TRUE(ui.sink.boxes.empty());
}

TEST_F(WeightingDlgTest, RangesComeBeforeTheSum) {
    struct Case {
        int id;
        const char* text;
        const char* box;
    };
    const Case cases[] = {
        {IDC_WEIGHT_OUTPUT1, "100.5", "Please enter a number between 0 and 100."},
        {IDC_WEIGHT_MODULATOR1 + 2, "-1", "Please enter a number between 0 and 100."},
        {IDC_WEIGHT_MODULATOR1_RC + 3, "10.01", "Please enter a number between 0 and 10."},
    };
    EnableOutputs(4);
    for (const Case& c : cases) {
        ui.sink.Clear();
        voltage_ = CVoltageFeedbackNetwork();
        int focus = 0;
        RunVoltage([&](fw::Dialog& d) {
            d.UserTyped(c.id, c.text);
            d.UserClicked(fw::IDOK);
            focus = d.GetFocusId();
            d.UserPressedEscape();
        });
        EXPECT_EQ(focus, c.id);
        EXPECT_EQ(ui.sink.boxes, std::vector<std::string>{c.box});
    }
}

TEST_F(WeightingDlgTest, PopupOKChecksTheSumAndEnterBeeps) {
    EnableOutputs(1);
    EXPECT_EQ(RunVoltage([](fw::Dialog& d) {
                  d.UserTyped(IDC_WEIGHT_OUTPUT1, "50");
                  d.CheckDlgButton(IDC_WEIGHT_OUTPUT1_ENABLE, 1);
                  d.UserCommand(ID_POPUP_OK);
                  EXPECT_FALSE(d.IsEnded());
                  d.UserFocus(IDC_WEIGHT_OUTPUT1);
                  d.UserTyped(IDC_WEIGHT_OUTPUT1, "100");
                  d.UserPressedEnter();
                  EXPECT_FALSE(d.IsEnded());
                  d.UserCommand(ID_POPUP_OK);
              }),
              fw::IDOK);
    EXPECT_EQ(ui.sink.boxes, std::vector<std::string>{kWeights});
    EXPECT_EQ(ui.sink.beeps, 1);
    EXPECT_EQ(voltage_.m_dOutputWeight[0], 100.0);
}

TEST_F(WeightingDlgTest, CurrentDialogsHaveOutputRowsOnly) {
    EnableOutputs(2);
    struct Case {
        UINT id;
        const char* title;
    };
    for (const Case& c : {Case{IDD_CURRENT_FEEDBACK_WEIGHTING, "Current Feedback Weighting"},
                          Case{IDD_CURRENT_LIMIT_WEIGHTING, "Current Limit Weighting"}}) {
        CCurrentFeedbackNetwork feedback;
        CCurrentLimitNetwork limit;
        CCurrentNetworkBase& net = c.id == IDD_CURRENT_FEEDBACK_WEIGHTING ? static_cast<CCurrentNetworkBase&>(feedback)
                                                                          : static_cast<CCurrentNetworkBase&>(limit);
        ui.windows.Script(c.id, [&](fw::Dialog& d) {
            EXPECT_EQ(d.GetWindowText(), c.title);
            EXPECT_EQ(d.GetDlgItem(IDC_WEIGHT_MODULATOR1), nullptr);
            d.CheckDlgButton(IDC_WEIGHT_OUTPUT1_ENABLE, 1);
            d.CheckDlgButton(IDC_WEIGHT_OUTPUT1_ENABLE + 1, 1);
            d.UserTyped(IDC_WEIGHT_OUTPUT1, "60");
            d.UserTyped(IDC_WEIGHT_OUTPUT1 + 1, "40");
            d.UserClicked(fw::IDOK);
        });
        int r = c.id == IDD_CURRENT_FEEDBACK_WEIGHTING
                    ? CCurrentFeedbackWeightingDlg(&feedback, c.id, nullptr).DoModal()
                    : CCurrentLimitWeightingDlg(&limit, c.id, nullptr).DoModal();
        EXPECT_EQ(r, fw::IDOK) << c.title;
        EXPECT_EQ(net.m_dOutputWeight[0], 60.0);
        EXPECT_EQ(net.m_bOutputEnable[1], 1);
    }
}

}  // namespace
