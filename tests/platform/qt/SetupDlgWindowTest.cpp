// The setup manager's forms as real windows: each control inside the window,
// every caption shown whole; the pictures stay in /tmp to be looked at.
#include <gtest/gtest.h>

#include <string>

#include "WindowChecks.h"
#include "circuit/Doc.h"
#include "platform/qt/QtDialog.h"
#include "platform/qt/QtServices.h"
#include "setup/LinVltDg.h"
#include "setup/RequireDg.h"
#include "setup/SelctDlg.h"
#include "setup/WeightDg.h"

namespace {

void Check(fw::Dialog& dlg, const std::string& name) { CheckDialogWindow(dlg, "setup-" + name); }

TEST(QtSetupMgrDialogs, EveryFormShowsItsTextsWhole) {
    fw::qt::QtUi ui;
    CPwrQuorraDoc doc;
    doc.OnNewDocument();
    for (int k = 0; k < 3; ++k) doc.GetRequirements()->m_Outputs[size_t(k)].m_bEnabled = 1;
    doc.GetRequirements()->CheckOutputs(FALSE);
    doc.GetLineFilter()->SetLineSourceType(1);
    doc.GetLineRectifier()->SetTopology(2);

    CRequirements req = *doc.GetRequirements();
    CRequirementsDlg requirements(&req, IDD_REQUIREMENTS, nullptr);
    Check(requirements, "requirements");
    CVoltageFeedbackNetwork vfb;
    CVoltageFeedbackWeightingDlg voltage(&vfb, IDD_VOLTAGE_FEEDBACK_WEIGHTING, nullptr);
    Check(voltage, "voltage-feedback-weighting");
    CCurrentFeedbackNetwork cfb;
    CCurrentFeedbackWeightingDlg current(&cfb, IDD_CURRENT_FEEDBACK_WEIGHTING, nullptr);
    Check(current, "current-feedback-weighting");
    CCurrentLimitNetwork cl;
    CCurrentLimitWeightingDlg limit(&cl, IDD_CURRENT_LIMIT_WEIGHTING, nullptr);
    Check(limit, "current-limit-weighting");

    CLineVoltage lv;
    lv.m_dACPeakMagnitude = 325;
    lv.m_dACFrequency = 50;
    CLineVoltageDlg lineVoltage(&lv, nullptr);
    Check(lineVoltage, "line-voltage");
    CObArrayTimeMagnitude table;
    CObTimeMagnitude point;
    point.m_dTime = 1.23456e-3;
    point.m_dMagnitude = -1234.5678;
    table.AddCopy(0, point);
    point.m_dTime = 2e-3;
    point.m_dMagnitude = 325;
    table.AddCopy(1, point);
    CTransientTableDlg transient(&table, "AC Magnitude Transient", nullptr);
    Check(transient, "transient-table");
    CLineFilter lf = *doc.GetLineFilter();
    CSelectLineSourceDlg lineSource(&lf, IDD_SELECT_LINE_SOURCE, nullptr);
    Check(lineSource, "line-source");

    struct Plain {
        UINT id;
        const char* name;
    };
    for (const Plain& p : {Plain{IDD_SELECT_CONTROL_SECTION, "control-sections"},
                           Plain{IDD_SELECT_INPUT_CAPACITOR, "input-capacitors"},
                           Plain{IDD_SELECT_LINE_FILTER, "line-filters"},
                           Plain{IDD_SELECT_LINE_RECTIFIER, "line-rectifiers"},
                           Plain{IDD_SELECT_OPTO_ISOLATOR, "opto-isolators"},
                           Plain{IDD_SELECT_PRIMARY_SECTION, "primary-sections"},
                           Plain{IDD_SELECT_VOLTAGE_ERROR_AMP, "voltage-error-amplifiers"}}) {
        WORD variant = 1;
        CSelectOneDlg dlg(p.id, &variant, nullptr);
        Check(dlg, p.name);
    }
    WORD variant = kTopologyNotChosen, output = 0;
    CSelectSecondarySectionDlg secondary(IDD_SELECT_SECONDARY_SECTION, &variant, &output, &doc, nullptr);
    Check(secondary, "secondary-sections");
    COutputChokeMutualInd coupling;
    CSelectOutputChokeDlg chokes(IDD_SELECT_OUTPUT_CHOKE, &variant, &output, &coupling, &doc, nullptr);
    Check(chokes, "output-chokes");
    CSelectFirstStageOutputFilterDlg first(IDD_SELECT_FIRST_STAGE_FILTER, &variant, &output, &doc, nullptr);
    Check(first, "first-stage-filters");
    CSelectSecondStageOutputFilterDlg second(IDD_SELECT_SECOND_STAGE_FILTER, &variant, &output, &doc, nullptr);
    Check(second, "second-stage-filters");
    CSelectLoadNetworkDlg load(IDD_SELECT_LOAD_NETWORK, &variant, &output, &doc, nullptr);
    Check(load, "load-networks");
}

}  // namespace
