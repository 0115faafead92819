// The Analysis dialog in both layouts, the equation editor with a list
// shown, and the five frequency-domain setup dialogs as real windows: every
// caption shown whole; pictures stay in /tmp.
#include <gtest/gtest.h>

#include <QListWidget>

#include "app/AnalDlg.h"
#include "app/FreqSetupDlg.h"
#include "circuit/Doc.h"
#include "graphs/EquDlg.h"
#include "platform/qt/QtDialog.h"
#include "platform/qt/QtServices.h"
#include "WindowChecks.h"

namespace {

TEST(QtAnalysisDialogs, AnalysisDialogInBothLayouts) {
    fw::qt::QtUi ui;
    CPwrQuorraDoc doc;
    doc.InitDefaults();
    for (int32_t kind : {CAnalysisConfig::KIND_STEADY_STATE, CAnalysisConfig::KIND_AMPLIFIER}) {
        CAnalysisConfig cfg;
        cfg.SetAnalysisKind(kind);
        CAnalysisDlg dlg(&cfg);
        CheckDialogWindow(dlg, "analysis-" + std::to_string(kind), [&](fw::qt::QtDialog& w) {
            EXPECT_EQ(w.windowTitle(), QStringLiteral("Analysis"));
            EXPECT_EQ(w.ControlWidget(IDC_ANAL_SETUP)->isVisible(), kind == CAnalysisConfig::KIND_AMPLIFIER);
        });
    }
}

TEST(QtAnalysisDialogs, EquationEditorShowsLongNamesWhole) {
    fw::qt::QtUi ui;
    CPwrQuorraDoc doc;
    doc.InitDefaults();
    doc.GetLineFilter()->SetLineSourceType(3);
    doc.GetLineFilter()->SetTopology(8);
    CTimeVarNameTable names;
    CTimeVarCatalogue catalogue;
    g_pTimeVarNameTable = &names;
    g_pTimeVarCatalogue = &catalogue;
    CEquation eq;
    CEquationDlg dlg(&eq, "Time Domain Variable 1", nullptr);
    CheckDialogWindow(dlg, "equation", [&](fw::qt::QtDialog& w) {
        EXPECT_EQ(w.windowTitle(), QStringLiteral("Time Domain Variable 1"));
        dlg.UserClicked(IDC_EQU_LINE_FILTER);
        auto* list = qobject_cast<QListWidget*>(w.ControlWidget(IDC_EQU_ITEMS));
        ASSERT_NE(list, nullptr);
        ASSERT_GT(list->count(), 10);
        int widest = 0;
        for (int i = 0; i < list->count(); ++i)
            widest = std::max(widest, list->fontMetrics().horizontalAdvance(list->item(i)->text()));
        EXPECT_LE(widest, list->viewport()->width());
        dlg.UserSelected(IDC_EQU_ITEMS, 13);
        dlg.UserClicked(IDC_EQU_ENTER_ITEM);
        dlg.UserClicked(IDC_EQU_MULTIPLY);
        dlg.UserTyped(IDC_EQU_NUMBER, "2.5");
        dlg.UserClicked(IDC_EQU_ENTER_NUMBER);
        EXPECT_EQ(eq.GetTokens().GetCount(), 3);
        w.grab().toImage().save(QStringLiteral("/tmp/pq-equation-filled.png"));
    });
    g_pTimeVarNameTable = nullptr;
    g_pTimeVarCatalogue = nullptr;
}

TEST(QtAnalysisDialogs, FrequencySetupDialogs) {
    fw::qt::QtUi ui;
    CPwrQuorraDoc doc;
    doc.InitDefaults();
    CFreqDomainStimulusCfg stim;
    CGraphCfg g[4];
    CVoltageLoopSetupDlg voltage(&stim, &g[0], &g[1], &g[2], &g[3]);
    CheckDialogWindow(voltage, "freq-voltage-loop", [](fw::qt::QtDialog& w) {
        EXPECT_EQ(w.windowTitle(), QStringLiteral("Voltage Loop Response Setup"));
    });
    CAvgCurrentLoopSetupDlg avg(&stim, &g[0], &g[1], &g[2], &g[3]);
    CheckDialogWindow(avg, "freq-avg-current-loop");
    CPeakCurrentLoopSetupDlg peak(&stim, &g[0], &g[1]);
    CheckDialogWindow(peak, "freq-peak-current-loop");
    CInputToOutputSetupDlg i2o(&stim, &g[0], &g[1], &g[2], &g[3]);
    CheckDialogWindow(i2o, "freq-input-to-output");
    CAmplifierSetupDlg amp(&stim, &g[0], &g[1]);
    CheckDialogWindow(amp, "freq-amplifier");
}

}  // namespace
