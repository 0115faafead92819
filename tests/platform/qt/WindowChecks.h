// Checks shared by the tests that open forms as real windows.
#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <string>

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
