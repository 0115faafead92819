#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include "platform/core/ReportSink.h"
#include "platform/qt/QtDialog.h"
#include "platform/qt/QtServices.h"
#include "platform/ui/DDX.h"

namespace {

const fw::FormTable kForm{
    9101,
    "Every Control",
    220,
    140,
    0,
    {
        {fw::IDC_STATIC, fw::ControlKind::GroupBox, "Values", 6, 4, 130, 60},
        {fw::IDC_STATIC, fw::ControlKind::Static, "&Capacitance", 12, 16, 60, 10},
        {1001, fw::ControlKind::Edit, "", 74, 14, 56, 12},
        {fw::IDC_STATIC, fw::ControlKind::Static, "farads", 12, 32, 60, 10},
        {1300, fw::ControlKind::CheckBox, "Enable Data Logging", 12, 46, 110, 10},
        {1737, fw::ControlKind::RadioButton, "None", 144, 10, 60, 10, fw::kGroup},
        {1738, fw::ControlKind::RadioButton, "Average", 144, 22, 60, 10},
        {1739, fw::ControlKind::RadioButton, "Peak", 144, 34, 60, 10},
        {1400, fw::ControlKind::ComboBox, "", 144, 50, 66, 60, fw::kGroup},
        {fw::IDC_STATIC, fw::ControlKind::EtchedLine, "", 6, 70, 208, 1},
        {fw::IDC_STATIC, fw::ControlKind::Static, "A line of notice text.", 6, 76, 208, 10, fw::kNoPrefix},
        {fw::IDOK, fw::ControlKind::DefPushButton, "OK", 50, 118, 50, 14},
        {fw::IDCANCEL, fw::ControlKind::PushButton, "Cancel", 120, 118, 50, 14},
    },
};

class ValuesDlg : public fw::Dialog {
public:
    ValuesDlg() : fw::Dialog(kForm) {}
    BOOL OnInitDialog() override {
        fw::Control* c = GetDlgItem(1400);
        for (const char* s : {"Blue", "Green", "Cyan"}) c->AddString(s);
        return fw::Dialog::OnInitDialog();
    }
    void DoDataExchange(fw::DataExchange& dx) override {
        fw::DDX_Text(dx, 1001, value);
        fw::DDV_MinMaxDouble(dx, value, 0.1, 100000);
        fw::DDX_Check(dx, 1300, logging);
        fw::DDX_Radio(dx, 1737, mode);
        fw::DDX_CBIndex(dx, 1400, colour);
    }
    double value = 4.7e-6;
    int logging = 1;
    int mode = 2;
    int colour = 1;
};

void Type(QWidget* w, const QString& text) {
    for (QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(w, &press);
    }
}

TEST(QtDialogWindow, AnyFormBecomesAWindowInStepWithItsModel) {
    fw::qt::QtUi ui;
    ValuesDlg dlg;
    ASSERT_TRUE(dlg.Create(nullptr));
    auto* window = static_cast<fw::qt::QtDialog*>(fw::qt::WidgetOf(&dlg));
    ASSERT_NE(window, nullptr);
    window->show();
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Every Control"));

    // Each control at its place in pixels, filled by the first exchange.
    auto* edit = qobject_cast<QLineEdit*>(window->ControlWidget(1001));
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->geometry(), QRect(dlg.GetDlgItem(1001)->GetRect().left, dlg.GetDlgItem(1001)->GetRect().top,
                                     dlg.GetDlgItem(1001)->GetRect().Width(), dlg.GetDlgItem(1001)->GetRect().Height()));
    EXPECT_EQ(edit->text(), QStringLiteral("4.7e-006"));
    EXPECT_TRUE(qobject_cast<QCheckBox*>(window->ControlWidget(1300))->isChecked());
    EXPECT_TRUE(qobject_cast<QRadioButton*>(window->ControlWidget(1739))->isChecked());
    EXPECT_FALSE(qobject_cast<QRadioButton*>(window->ControlWidget(1737))->isChecked());
    EXPECT_EQ(qobject_cast<QComboBox*>(window->ControlWidget(1400))->currentText(), QStringLiteral("Green"));
    int labels = 0;
    for (QLabel* l : window->findChildren<QLabel*>()) labels += l->text() == QStringLiteral("Capacitance");
    EXPECT_EQ(labels, 1);

    // The model's changes show at once; the user's reach the model.
    dlg.SetDlgItemText(1001, "0.5");
    EXPECT_EQ(edit->text(), QStringLiteral("0.5"));
    dlg.GetDlgItem(1300)->EnableWindow(FALSE);
    EXPECT_FALSE(window->ControlWidget(1300)->isEnabled());
    edit->selectAll();
    Type(edit, QStringLiteral("12"));
    EXPECT_EQ(dlg.GetDlgItemText(1001), "12");
    qobject_cast<QRadioButton*>(window->ControlWidget(1737))->click();
    EXPECT_EQ(dlg.GetCheckedRadioButton(1737, 1739), 1737);
    EXPECT_FALSE(qobject_cast<QRadioButton*>(window->ControlWidget(1739))->isChecked());

    EXPECT_TRUE(window->grab().toImage().save(QStringLiteral("/tmp/pq-dialog.png")));
    dlg.DestroyWindow();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

TEST(QtDialogWindow, ModalRunWithAFailedFieldThenOk) {
    fw::qt::QtUi ui;
    fw::RecordingSink sink;
    fw::ScopedReportSink scoped(&sink);
    ValuesDlg dlg;
    int focusAfterFailure = 0;
    // The user's actions, once the dialog's loop runs.
    QTimer::singleShot(0, [&] {
        auto* window = static_cast<fw::qt::QtDialog*>(fw::qt::WidgetOf(&dlg));
        ASSERT_NE(window, nullptr);
        auto* edit = qobject_cast<QLineEdit*>(window->ControlWidget(1001));
        edit->setFocus();
        edit->selectAll();
        Type(edit, QStringLiteral("0.09"));
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QApplication::sendEvent(edit, &enter);
        focusAfterFailure = dlg.GetFocusId();
        edit->selectAll();
        Type(edit, QStringLiteral("0.1"));
        qobject_cast<QPushButton*>(window->ControlWidget(fw::IDOK))->click();
    });
    EXPECT_EQ(dlg.DoModal(), fw::IDOK);
    ASSERT_EQ(sink.boxes.size(), 1u);
    EXPECT_EQ(sink.boxes[0], "Please enter a number between 0.1 and 100000.");
    EXPECT_EQ(focusAfterFailure, 1001);
    EXPECT_EQ(dlg.value, 0.1);
    EXPECT_EQ(dlg.mode, 2);
}

TEST(QtDialogWindow, EscapeCancels) {
    fw::qt::QtUi ui;
    ValuesDlg dlg;
    QTimer::singleShot(0, [&] {
        QWidget* window = fw::qt::WidgetOf(&dlg);
        QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(window, &esc);
    });
    EXPECT_EQ(dlg.DoModal(), fw::IDCANCEL);
    EXPECT_EQ(dlg.value, 4.7e-6);
}

}  // namespace
