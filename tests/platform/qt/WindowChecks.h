// Checks shared by the tests that open forms as real windows.
#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <functional>
#include <string>

#include "platform/qt/QtDialog.h"
#include "platform/qt/QtServices.h"
#include "platform/ui/Dialog.h"

// Every caption of the window is shown whole: labels, button texts and
// group titles fit the room their control has.
inline void ExpectTextsFit(QWidget* window, const std::string& name) {
    for (QLabel* l : window->findChildren<QLabel*>()) {
        if (l->text().isEmpty()) continue;
        const QRect need = l->fontMetrics().boundingRect(QRect(0, 0, l->width(), 10000),
                                                          (l->wordWrap() ? Qt::TextWordWrap : 0) | Qt::AlignLeft,
                                                          l->text());
        EXPECT_LE(need.width(), l->width()) << name << ": \"" << l->text().toStdString() << "\"";
        // The measure counts a pixel below the descenders that is never drawn.
        EXPECT_LE(need.height(), l->height() + 1) << name << ": \"" << l->text().toStdString() << "\"";
    }
    for (QAbstractButton* b : window->findChildren<QAbstractButton*>()) {
        if (b->text().isEmpty()) continue;
        const int need = qobject_cast<QPushButton*>(b) ? b->fontMetrics().horizontalAdvance(b->text()) + 6
                                                       : b->sizeHint().width();
        EXPECT_LE(need, b->width()) << name << ": \"" << b->text().toStdString() << "\"";
    }
    for (QGroupBox* g : window->findChildren<QGroupBox*>()) {
        if (g->title().isEmpty()) continue;
        EXPECT_LE(g->fontMetrics().horizontalAdvance(g->title()) + 8, g->width())
            << name << ": \"" << g->title().toStdString() << "\"";
    }
}

// Opens the dialog as a window, checks that every shown control lies inside
// it and that its texts fit, runs more, and saves its picture as
// /tmp/pq-NAME.png to be looked at.
inline void CheckDialogWindow(fw::Dialog& dlg, const std::string& name,
                              const std::function<void(fw::qt::QtDialog&)>& more = {}) {
    ASSERT_TRUE(dlg.Create(nullptr)) << name;
    auto* window = static_cast<fw::qt::QtDialog*>(fw::qt::WidgetOf(&dlg));
    ASSERT_NE(window, nullptr) << name;
    window->show();
    const QRect client = window->rect();
    for (const auto& c : dlg.Controls()) {
        QWidget* w = window->ControlWidget(c->GetDlgCtrlID());
        if (!w || c->GetDlgCtrlID() == fw::IDC_STATIC || !c->IsWindowVisible()) continue;
        EXPECT_TRUE(client.contains(w->geometry())) << name << " control " << c->GetDlgCtrlID();
    }
    ExpectTextsFit(window, name);
    if (more) more(*window);
    EXPECT_TRUE(window->grab().toImage().save(QString::fromStdString("/tmp/pq-" + name + ".png")));
    dlg.DestroyWindow();
}
