// A command that changes in a menu item and a toolbar button (Start and Stop
// of an analysis) is taken into the existing window: the same menu, the same
// button, the new command behind both.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMenuBar>
#include <QPointer>
#include <QToolBar>

#include "platform/qt/QtFrame.h"
#include "platform/qt/QtServices.h"
#include "platform/qt/QtText.h"

namespace {

constexpr UINT kStart = 32790;
constexpr UINT kStop = 32791;

class SwapFrame : public fw::FrameWnd {
public:
    SwapFrame() {
        for (UINT id : {kStart, kStop}) Commands().OnCommand(id, [this, id] { ran.push_back(id); });
    }
    int OnCreate() override { return GetToolBar().LoadToolBar(103) ? 0 : -1; }
    std::vector<UINT> ran;
};

QAction* MenuAction(fw::qt::QtFrame* frame, const QString& text) {
    for (QAction* a : frame->MenuActions())
        if (a->text() == text) return a;
    return nullptr;
}

TEST(QtFrameCommandSwap, StartBecomesStopInPlace) {
    fw::qt::QtUi ui;
    SwapFrame frame;
    ASSERT_TRUE(frame.LoadFrame(101));
    auto* window = dynamic_cast<fw::qt::QtFrame*>(frame.GetFrameHost());
    ASSERT_NE(window, nullptr);
    QPointer<QAction> item = MenuAction(window, QStringLiteral("&Start"));
    ASSERT_FALSE(item.isNull());
    QPointer<QMenu> analysis = window->menuBar()->actions()[2]->menu();
    QPointer<QAction> button = window->ToolBar()->actions()[24];
    ASSERT_EQ(button->property(fw::qt::QtFrame::kCommandProperty).toUInt(), kStart);

    ASSERT_TRUE(frame.GetMenu().ModifyCommand(kStart, kStop, "&Stop"));
    frame.MenuChanged();
    frame.GetToolBar().SetButtonInfo(24, kStop, fw::TBBS_BUTTON, 32);
    frame.ToolBarChanged();
    frame.UpdateCommandUI();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    ASSERT_FALSE(item.isNull());
    ASSERT_FALSE(analysis.isNull());
    ASSERT_FALSE(button.isNull());
    EXPECT_EQ(item->text(), QStringLiteral("&Stop"));
    EXPECT_EQ(item->property(fw::qt::QtFrame::kCommandProperty).toUInt(), kStop);
    EXPECT_EQ(button->property(fw::qt::QtFrame::kCommandProperty).toUInt(), kStop);
    EXPECT_EQ(button->toolTip(), QStringLiteral("Stop Analysis"));
    item->trigger();
    button->trigger();
    EXPECT_EQ(frame.ran, (std::vector<UINT>{kStop, kStop}));

    // A change of shape (another item) builds the menus anew.
    frame.GetMenu().items[2].items.push_back(fw::MenuItem{fw::MenuItem::Command, kStart, "&Start", true, false, {}});
    frame.MenuChanged();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(analysis.isNull());
    EXPECT_NE(MenuAction(window, QStringLiteral("&Start")), nullptr);
    frame.DestroyWindow();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace
