// The About, Notes and User Specified Data forms as real windows: every
// control inside the window, the texts in place; pictures stay in /tmp.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "app/AboutDlg.h"
#include "app/NotesDlg.h"
#include "app/Splash.h"
#include "app/USDataDlg.h"
#include "platform/qt/QtDialog.h"
#include "platform/qt/QtServices.h"
#include "WindowChecks.h"

namespace {

fw::qt::QtDialog* Show(fw::Dialog& dlg) {
    if (!dlg.Create(nullptr)) return nullptr;
    auto* window = static_cast<fw::qt::QtDialog*>(fw::qt::WidgetOf(&dlg));
    if (window) window->show();
    return window;
}

void ExpectControlsInside(fw::Dialog& dlg, fw::qt::QtDialog* window, const char* picture) {
    const QRect client = window->rect();
    for (const auto& c : dlg.Controls()) {
        QWidget* w = window->ControlWidget(c->GetDlgCtrlID());
        if (!w || c->GetDlgCtrlID() == fw::IDC_STATIC) continue;
        EXPECT_TRUE(client.contains(w->geometry())) << picture << " control " << c->GetDlgCtrlID();
    }
    ExpectTextsFit(window, picture);
    EXPECT_TRUE(window->grab().toImage().save(QString::fromLatin1(picture)));
}

TEST(QtSmallDialogs, AboutBox) {
    fw::qt::QtUi ui;
    CAboutDlg about;
    fw::qt::QtDialog* window = Show(about);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("About Power Quorra Designer"));
    auto* version = qobject_cast<QLabel*>(window->ControlWidget(IDC_ABOUT_VERSION));
    ASSERT_NE(version, nullptr);
    EXPECT_EQ(version->text(), QStringLiteral("1.00"));
    ExpectControlsInside(about, window, "/tmp/pq-about.png");
    about.DestroyWindow();
}

TEST(QtSmallDialogs, NotesAndUserSpecifiedData) {
    fw::qt::QtUi ui;
    CMiscData misc;
    misc.SetNotes("Prototype for the 48 V rack.");
    CNotesDlg notes(&misc);
    fw::qt::QtDialog* window = Show(notes);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Notes"));
    ExpectControlsInside(notes, window, "/tmp/pq-notes.png");
    notes.DestroyWindow();

    CUSData data;
    CUSDataDlg usData(&data);
    window = Show(usData);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(window->windowTitle(), QStringLiteral("User Specified Data"));
    auto* off = qobject_cast<QLineEdit*>(window->ControlWidget(IDC_US_OFF_RESISTANCE));
    ASSERT_NE(off, nullptr);
    EXPECT_EQ(off->text(), QStringLiteral("1000000"));
    ExpectControlsInside(usData, window, "/tmp/pq-usdata.png");
    usData.DestroyWindow();
}

TEST(QtSmallDialogs, SplashTextsFit) {
    fw::qt::QtUi ui;
    CSplashWnd splash;
    fw::qt::QtDialog* window = Show(splash);
    ASSERT_NE(window, nullptr);
    ExpectTextsFit(window, "splash");
    splash.DestroyWindow();
}

}  // namespace
