// The source, transient point, current-sense and graph settings forms as
// real windows: every caption shown whole, the transient rows in their
// columns; pictures stay in /tmp.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <functional>

#include "platform/qt/QtDialog.h"
#include "platform/qt/QtServices.h"
#include "WindowChecks.h"
#include "setup/GraphCfgDlg.h"
#include "setup/PartsSrcDlg.h"

namespace {

void Check(fw::Dialog& dlg, const std::string& name, const std::function<void(fw::qt::QtDialog&)>& more = {}) {
    CheckDialogWindow(dlg, name, more);
}

TEST(QtSetupDialogs, SourceFormsShowTheirTextsWhole) {
    fw::qt::QtUi ui;
    CCrntVoltSource source;
    CObTimeMagnitude p;
    const double points[][2] = {{0.0, 0.0}, {1.5e-3, 12.25}, {1000000.0, -10000.0}};
    for (int i = 0; i < 3; ++i) {
        p.m_dTime = points[i][0];
        p.m_dMagnitude = points[i][1];
        source.m_Transient.AddCopy(i, p);
    }
    CCrntVoltSourceDlg current(&source, 1, IDD_CURRENT_SOURCE, "Current Source I Load", nullptr);
    Check(current, "current-source", [](fw::qt::QtDialog& w) {
        EXPECT_EQ(w.windowTitle(), QStringLiteral("Current Source I Load"));
        auto* list = qobject_cast<QListWidget*>(w.ControlWidget(IDC_TRANSIENT_LIST));
        ASSERT_NE(list, nullptr);
        ASSERT_EQ(list->count(), 3);
        // The widest row is seen whole, without a sideways scroll.
        const QString widest = list->item(2)->text();
        EXPECT_LE(list->fontMetrics().horizontalAdvance(widest), list->viewport()->width()) << widest.toStdString();
    });
    CCrntVoltSourceDlg voltage(&source, 0, IDD_VOLTAGE_SOURCE, "Voltage Source V Ref", nullptr);
    Check(voltage, "voltage-source");
    CDCSourceDlg dcCurrent(&source, IDD_DC_CURRENT_SOURCE, "Current Source ISS", nullptr);
    Check(dcCurrent, "dc-current-source");
    CDCSourceDlg dcVoltage(&source, IDD_DC_VOLTAGE_SOURCE, "Voltage Source USS", nullptr);
    Check(dcVoltage, "dc-voltage-source");
    CTransientDataDlg point(1, CTransientDataDlg::MODE_MODIFY, 1.5e-3, 12.25, nullptr, nullptr);
    Check(point, "transient-point", [](fw::qt::QtDialog& w) {
        EXPECT_EQ(w.windowTitle(), QStringLiteral("Modify Transient Data"));
    });

    CCrntSensSource sense;
    for (UINT id : {IDD_FEEDBACK_CURRENT_SOURCE, IDD_CURRENT_SOURCE_PRI_CHOKE, IDD_CURRENT_SOURCE_CHOKE_CAP}) {
        CCrntSensSourceDlg dlg(&sense, id, "Limit Current Source VISCL", nullptr);
        Check(dlg, "current-sense-" + std::to_string(id));
    }
}

TEST(QtSetupDialogs, GraphSettingsFormsShowTheirTextsWhole) {
    fw::qt::QtUi ui;
    CGraphCfg graph;
    CTimeGraphCfgDlg time(&graph, IDD_TIME_GRAPH_CFG, "Time 1 Graph", nullptr);
    Check(time, "time-graph");
    CFreqGraphCfgDlg freq(&graph, IDD_FREQ_GRAPH_CFG, "Frequency Domain Graph 1", nullptr);
    Check(freq, "freq-graph");
}

}  // namespace
