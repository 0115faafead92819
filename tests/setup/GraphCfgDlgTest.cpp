#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "SetupTestSupport.h"
#include "setup/GraphCfgDlg.h"

namespace {

const char* const kAxisMessage = "Problem:  Axis Maximum must be larger than Axis Minimum.";

class GraphCfgDlg : public DialogTest {
protected:
    CGraphCfg cfg_;

    // Runs the time (229) or frequency (230) dialog on cfg_.
    int Run(UINT templateId, std::function<void(fw::Dialog&)> script) {
        std::unique_ptr<CComponentDlgBase> dlg;
        if (templateId == IDD_TIME_GRAPH_CFG) dlg = std::make_unique<CTimeGraphCfgDlg>(&cfg_, templateId, "Time 1 Graph", nullptr);
        else dlg = std::make_unique<CFreqGraphCfgDlg>(&cfg_, templateId, "Frequency Domain Graph 1", nullptr);
        ui.windows.Script(templateId, std::move(script));
        return dlg->DoModal();
    }
};

TEST_F(GraphCfgDlg, NewSettingsAsShown) {
    std::string title;
    std::vector<int> checked;
    std::vector<std::string> texts;
    Run(IDD_TIME_GRAPH_CFG, [&](fw::Dialog& d) {
        title = d.GetWindowText();
        checked = {d.GetCheckedRadioButton(1461, 1465), d.GetCheckedRadioButton(1466, 1470),
                   d.GetCheckedRadioButton(1479, 1482), d.GetCheckedRadioButton(1483, 1485)};
        for (int id : {1460, 1471, 1472, 1473, 1474, 1475, 1476, 1477, 1478}) texts.push_back(d.GetDlgItemText(id));
    });
    EXPECT_EQ(title, "Time 1 Graph");
    // Cyan traces, Red axes, no grid, Light Gray grid colour.
    EXPECT_EQ(checked, (std::vector<int>{1463, 1469, 1479, 1484}));
    EXPECT_EQ(texts, (std::vector<std::string>{"", "Micro Seconds", "0", "1", "0", "", "0", "1", "0"}));
}

TEST_F(GraphCfgDlg, FrequencyDialogHasNoTitleOrLabels) {
    cfg_.m_strTitle = "kept";
    cfg_.m_strYAxisLabel = "volts";
    std::string title;
    Run(IDD_FREQ_GRAPH_CFG, [&](fw::Dialog& d) {
        title = d.GetWindowText();
        for (int id : {1460, 1471, 1475}) EXPECT_EQ(d.GetDlgItem(id), nullptr) << id;
        d.UserTyped(1473, "1000");
        d.UserClicked(fw::IDOK);
    });
    EXPECT_EQ(title, "Frequency Domain Graph 1");
    EXPECT_EQ(cfg_.m_dXMax, 1000.0);
    EXPECT_EQ(cfg_.m_strTitle, "kept");
    EXPECT_EQ(cfg_.m_strYAxisLabel, "volts");
    EXPECT_EQ(cfg_.m_strXAxisLabel, "Micro Seconds");
}

// The axis check comes after the fields' own checks, and only when OK has
// the focus.
TEST_F(GraphCfgDlg, AxisRangesAndTickCounts) {
    struct Case {
        const char* name;
        const char* xMin;
        const char* xMax;
        const char* yMin;
        const char* yMax;
        const char* ticks;
        const char* box;  // nullptr: closes with OK
    };
    const Case cases[] = {
        {"valid", "-5", "5", "0.001", "0.002", "50", nullptr},
        {"x equal", "0", "0", "0", "1", "0", kAxisMessage},
        {"x reversed", "2", "1", "0", "1", "0", kAxisMessage},
        {"y equal", "0", "1", "3", "3", "0", kAxisMessage},
        {"y reversed", "0", "1", "3", "-3", "0", kAxisMessage},
        {"51 ticks refused first", "0", "0", "0", "1", "51", "Please enter an integer between 0 and 50."},
        {"negative ticks", "0", "1", "0", "1", "-1", "Please enter an integer between 0 and 50."},
        {"ticks not a number", "0", "1", "0", "1", "2.5", "Please enter an integer."},
        {"minimum not a number", "zero", "1", "0", "1", "0", "Please enter a number."},
    };
    for (UINT templateId : {IDD_TIME_GRAPH_CFG, IDD_FREQ_GRAPH_CFG}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.name) + " in " + std::to_string(templateId));
            ui.sink.Clear();
            cfg_.InitDefaults();
            const int result = Run(templateId, [&](fw::Dialog& d) {
                d.UserTyped(1472, c.xMin);
                d.UserTyped(1473, c.xMax);
                d.UserTyped(1474, c.ticks);
                d.UserTyped(1476, c.yMin);
                d.UserTyped(1477, c.yMax);
                d.UserClicked(fw::IDOK);
            });
            EXPECT_EQ(result, c.box ? fw::IDCANCEL : fw::IDOK);
            EXPECT_EQ(ui.sink.boxes, c.box ? std::vector<std::string>{c.box} : std::vector<std::string>{});
            EXPECT_EQ(ui.sink.beeps, 0);
        }
    }
}

TEST_F(GraphCfgDlg, EnterInAFieldBeepsAndStaysOpen) {
    bool endedAfterEnter = true;
    const int result = Run(IDD_TIME_GRAPH_CFG, [&](fw::Dialog& d) {
        d.UserFocus(1473);
        d.UserTyped(1473, "10");
        d.UserPressedEnter();
        endedAfterEnter = d.IsEnded();
        d.UserClicked(fw::IDOK);
    });
    EXPECT_FALSE(endedAfterEnter);
    EXPECT_EQ(ui.sink.beeps, 1);
    EXPECT_EQ(result, fw::IDOK);
    EXPECT_EQ(cfg_.m_dXMax, 10.0);
}

// The right-click OK must not let a reversed axis through: such settings
// would be refused as damage when the design is loaded again.
TEST_F(GraphCfgDlg, RightClickOkChecksTheAxesToo) {
    ui.windows.popupAnswer = ID_POPUP_OK;
    bool ended = true;
    Run(IDD_FREQ_GRAPH_CFG, [&](fw::Dialog& d) {
        d.UserTyped(1476, "5");
        d.UserMouse(fw::MouseEvent::RButtonDown, {5, 5}, fw::MK_RBUTTON);
        ended = d.IsEnded();
    });
    EXPECT_FALSE(ended);
    EXPECT_EQ(ui.sink.boxes, std::vector<std::string>{kAxisMessage});
}

TEST_F(GraphCfgDlg, ChoicesAndTextsAreStored) {
    const double awkward = 0.1 + 0.2;
    cfg_.m_dYMin = awkward;
    Run(IDD_TIME_GRAPH_CFG, [&](fw::Dialog& d) {
        d.UserTyped(1460, "Output Voltage");
        d.UserClicked(1461);  // Blue traces
        d.UserClicked(1470);  // Magenta axes
        d.UserTyped(1475, "Volts");
        d.UserTyped(1478, "4");
        d.UserClicked(1482);  // both grids
        d.UserClicked(1485);  // Medium Gray
        d.UserClicked(fw::IDOK);
    });
    EXPECT_EQ(cfg_.m_strTitle, "Output Voltage");
    EXPECT_EQ(cfg_.m_nTraceColor, CGraphCfg::COLOR_BLUE);
    EXPECT_EQ(cfg_.m_nAxisColor, CGraphCfg::COLOR_MAGENTA);
    EXPECT_EQ(cfg_.m_strYAxisLabel, "Volts");
    EXPECT_EQ(cfg_.m_nYMinorTicks, 4);
    EXPECT_EQ(cfg_.m_nGridType, CGraphCfg::GRID_BOTH);
    EXPECT_EQ(cfg_.m_nGridColor, CGraphCfg::GRID_MEDIUM_GRAY);
    EXPECT_EQ(cfg_.m_dYMin, awkward);  // untouched field, exact value
}

}  // namespace
