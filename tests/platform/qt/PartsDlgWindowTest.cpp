// Every part editing form as a real window: each control inside the window,
// every caption shown whole; the pictures stay in /tmp to be looked at.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>
#include <functional>
#include <string>

#include "WindowChecks.h"
#include "circuit/Require.h"
#include "platform/qt/QtDialog.h"
#include "platform/core/ReportSink.h"
#include "platform/qt/QtServices.h"
#include "setup/CoreSatDlg.h"
#include "setup/PartsDlg.h"
#include "setup/RectDlg.h"
#include "setup/XfmrDlg.h"

namespace {

void Type(QLineEdit* edit, const QString& text) {
    edit->selectAll();
    for (QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(edit, &press);
    }
}

void Check(fw::Dialog& dlg, const std::string& name) { CheckDialogWindow(dlg, "part-" + name); }

TEST(QtPartDialogs, EveryFormShowsItsTextsWhole) {
    fw::qt::QtUi ui;
    CCapacitor cap;
    CCapacitorDlg capacitor(&cap, IDD_CAPACITOR, "Capacitors Damp1 and Damp2", nullptr);
    Check(capacitor, "capacitor");
    CCapacitorDlg2 capacitor2(&cap, IDD_CAPACITOR_SHORT, "Capacitor Bias", nullptr);
    Check(capacitor2, "capacitor-short");
    CDiode diode;
    CDiodeRectifierDlg rectifier(&diode, IDD_DIODE_RECTIFIER, "Synchronous Rectifier Diode", nullptr);
    Check(rectifier, "diode-rectifier");
    CDiodeRectifierDlg2 antiParallel(&diode, IDD_DIODE_ANTI_PARALLEL, "Current Sense Diode", nullptr);
    Check(antiParallel, "diode-anti-parallel");
    CDiodeDlg led(&diode, IDD_DIODE, "Diode LED", nullptr);
    Check(led, "diode");
    CResistor res;
    CResistorDlg resistor(&res, IDD_RESISTOR, "Resistor Cap Sense", nullptr);
    Check(resistor, "resistor");
    CResistorDlg2 resistor2(&res, IDD_RESISTOR_SHORT, "Resistor Feedback", nullptr);
    Check(resistor2, "resistor-short");
    CTransistorFE fet;
    CTransistorFEDlg transistor(&fet, IDD_TRANSISTOR_FE, "Synchronous Rectifier Field Effect Transistor", nullptr);
    Check(transistor, "fet");
    CInductor ind;
    CInductorDlg inductor(&ind, IDD_INDUCTOR, "Inductor Out1", nullptr);
    Check(inductor, "inductor");
    CInductorDlg2 inductor2(&ind, IDD_INDUCTOR_SHORT, "Line Inductance", nullptr);
    Check(inductor2, "inductor-short");
    CTransistorBP bp;
    CTransistorBPDlg bipolar(&bp, IDD_TRANSISTOR_BP, "Bipolar Transistor Q1", nullptr);
    Check(bipolar, "bipolar");
    CAmplifier amp;
    CAmplifierDlg amplifier(&amp, IDD_AMPLIFIER, "Sense Amplifier", nullptr);
    Check(amplifier, "amplifier");
    CSawtoothClock saw;
    CSawtoothClockDlg sawtooth(&saw, IDD_SAWTOOTH_CLOCK, 1, nullptr, nullptr);
    Check(sawtooth, "sawtooth");
    CComparator cmp;
    CComparatorDlg comparator(&cmp, IDD_COMPARATOR, nullptr, nullptr);
    Check(comparator, "comparator");
    CComparatorDlg2 comparator2(&cmp, IDD_COMPARATOR_LOGIC, nullptr, nullptr);
    Check(comparator2, "comparator-logic");
    CComparatorDlg3 comparator3(&cmp, IDD_COMPARATOR_SOFT_START, nullptr, nullptr);
    Check(comparator3, "comparator-soft-start");
    CResetSwitch rs;
    CResetSwitchDlg reset(&rs, IDD_RESET_SWITCH, nullptr, nullptr);
    Check(reset, "reset-switch");
    COperationalAmplifier oa;
    COperationalAmplifierDlg opamp(&oa, IDD_OPERATIONAL_AMPLIFIER, nullptr, nullptr);
    Check(opamp, "opamp");
    CUnderVoltLockOut uv;
    CUnderVoltLockOutDlg uvlo(&uv, IDD_UNDERVOLTAGE_LOCKOUT, nullptr, nullptr);
    Check(uvlo, "uvlo");
    COptoIsoDriverSource ds;
    COptoIsoDriverSourceDlg driverWarning(&ds, IDD_DRIVER_SOURCE_WARNING, "Driver Source", nullptr);
    Check(driverWarning, "driver-source-warning");
    COptoIsoDriverSourceDlg driver(&ds, IDD_DRIVER_SOURCE, "Driver Source", nullptr);
    Check(driver, "driver-source");
    COptoIsoBiasVoltage bv;
    COptoIsoBiasVoltageDlg bias(&bv, IDD_BIAS_VOLTAGE, "Bias Voltage", nullptr);
    Check(bias, "bias-voltage");
    CTransistorPhoto ph;
    CTransistorPhotoDlg photo(&ph, IDD_TRANSISTOR_PHOTO, "Photo Transistor", nullptr);
    Check(photo, "photo-transistor");
}

TEST(QtPartDialogs, TransformerCoreAndRectifierFormsShowTheirTextsWhole) {
    fw::qt::QtUi ui;
    CRequirements req;
    for (int k = 0; k < 4; ++k) req.m_Outputs[size_t(k)].m_bEnabled = k != 1;
    CPwrTransformer pt;
    CPwrTransformerResetDlg withReset(&pt, &req, IDD_PWR_TRANSFORMER_RESET, "Power Transformer", nullptr);
    Check(withReset, "power-transformer-reset");
    CPwrTransformerDlg noReset(&pt, &req, IDD_PWR_TRANSFORMER, "Power Transformer", nullptr);
    Check(noReset, "power-transformer");
    CTransformer ct;
    CTransformerDlg sense(&ct, IDD_TRANSFORMER, "Current Sense Transformer", nullptr);
    Check(sense, "current-sense-transformer");

    CCoreSatChar sat;
    sat.m_arPoints.AddCopy(0, CObCurrentInductance(1.5, 2.2e-4));
    sat.m_arPoints.AddCopy(1, CObCurrentInductance(12345.0, 1.0e-9));
    CCoreSatCharListDlg list(&sat, IDD_CORE_SAT_LIST, "Core Saturation Characteristics", nullptr);
    Check(list, "core-saturation-list");
    CCoreSatCharDlg point(CCoreSatCharDlg::MODE_MODIFY, 1.5, 2.2e-4, nullptr, nullptr);
    Check(point, "core-saturation-point");

    int choice = 0;
    CRectifierDlg kind(&choice, IDD_RECTIFIER, "Rectifier 1", nullptr);
    Check(kind, "rectifier");
    CDiode d;
    CTransistorFE t;
    CSynchronousRectifierDlg sync(&d, &t, "Synchronous Rectifier 2", IDD_SYNCHRONOUS_RECTIFIER, nullptr);
    Check(sync, "synchronous-rectifier");
}

// In the real window, leaving a box with a bad value shows its message once,
// puts the focus back on it, and the OK click that took the focus is spent
// on that message; fixed, OK closes.
TEST(QtPartDialogs, TransformerFocusCheckInTheRealWindow) {
    fw::qt::QtUi ui;
    fw::RecordingSink sink;
    fw::ScopedReportSink scoped(&sink);
    CTransformer ct;
    ct.m_dPrimaryTurns = ct.m_dSecondaryTurns = 1;
    ct.m_dPrimaryDcResistance = ct.m_dSecondaryDcResistance = 0.1;
    ct.m_dPrimaryAcResistance = ct.m_dSecondaryAcResistance = 0.1;
    ct.m_dPrimaryInductance = ct.m_dSecondaryInductance = 1e-3;
    ct.m_dSecondaryShortedInductance = 1e-5;
    CTransformerDlg dlg(&ct, IDD_TRANSFORMER, "Current Sense Transformer", nullptr);
    size_t boxesAfterLeaving = 0, boxesAfterOk = 0;
    int focusAfterLeaving = 0;
    bool openAfterOk = false;
    QTimer::singleShot(0, [&] {
        auto* window = static_cast<fw::qt::QtDialog*>(fw::qt::WidgetOf(&dlg));
        ASSERT_NE(window, nullptr);
        auto* turns = qobject_cast<QLineEdit*>(window->ControlWidget(IDC_CS_PRIMARY_TURNS));
        auto* other = qobject_cast<QLineEdit*>(window->ControlWidget(IDC_CS_SECONDARY_TURNS));
        auto* ok = qobject_cast<QPushButton*>(window->ControlWidget(fw::IDOK));
        ASSERT_TRUE(turns && other && ok);
        window->activateWindow();
        QApplication::setActiveWindow(window);
        QApplication::processEvents();
        turns->setFocus();
        QApplication::processEvents();
        Type(turns, QStringLiteral("0"));
        other->setFocus();
        QApplication::processEvents();
        boxesAfterLeaving = sink.boxes.size();
        focusAfterLeaving = dlg.GetFocusId();
        const QPointF at(ok->width() / 2.0, ok->height() / 2.0);
        QMouseEvent press(QEvent::MouseButtonPress, at, ok->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        QApplication::sendEvent(ok, &press);
        QMouseEvent release(QEvent::MouseButtonRelease, at, ok->mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                            Qt::NoModifier);
        QApplication::sendEvent(ok, &release);
        QApplication::processEvents();
        boxesAfterOk = sink.boxes.size();
        openAfterOk = !dlg.IsEnded();
        Type(turns, QStringLiteral("2"));
        ok->click();
    });
    EXPECT_EQ(dlg.DoModal(), fw::IDOK);
    EXPECT_EQ(boxesAfterLeaving, 1u);
    EXPECT_EQ(focusAfterLeaving, IDC_CS_PRIMARY_TURNS);
    EXPECT_EQ(boxesAfterOk, 2u);
    EXPECT_TRUE(openAfterOk);
    EXPECT_EQ(ct.m_dPrimaryTurns, 2.0);
    EXPECT_EQ(sink.boxes.size(), 2u);
}

}  // namespace
