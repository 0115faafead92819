#include <gtest/gtest.h>

#include <thread>

#include "platform/ui/Fakes.h"
#include "platform/ui/Frame.h"

namespace {

class TestFrame : public fw::FrameWnd {
public:
    int OnCreate() override {
        GetToolBar().LoadToolBar(103);
        GetStatusBar().SetIndicators({fw::ID_SEPARATOR, 32831, 32833, 32832, 32830});
        return createResult;
    }
    void OnPostedMessage(UINT m, intptr_t w, intptr_t) override { received.push_back({m, w}); }
    int createResult = 0;
    std::vector<std::pair<UINT, intptr_t>> received;
};

TEST(Commands, AnIdWithoutAHandlerIsDisabledEvenWithARule) {
    fw::CommandTarget app, frame;
    frame.SetNextTarget(&app);
    int ran = 0;
    app.Commands().OnCommand(100, [&] { ++ran; });
    frame.Commands().OnUpdate(100, [](fw::CmdUI& ui) { ui.Enable(TRUE); ui.SetCheck(1); });
    frame.Commands().OnUpdate(200, [](fw::CmdUI& ui) { ui.Enable(TRUE); });

    fw::CmdUI a = frame.QueryCommand(100);
    EXPECT_TRUE(a.enabled);
    EXPECT_EQ(a.check, 1);
    EXPECT_TRUE(frame.ExecuteCommand(100));
    EXPECT_EQ(ran, 1);
    EXPECT_FALSE(frame.QueryCommand(200).enabled);  // a rule, but nothing to run
    EXPECT_FALSE(frame.QueryCommand(300).enabled);  // unknown
    EXPECT_FALSE(frame.ExecuteCommand(300));

    frame.Commands().OnUpdate(100, [](fw::CmdUI& ui) { ui.Enable(FALSE); });
    EXPECT_FALSE(frame.ExecuteCommand(100));  // refused while disabled
    EXPECT_EQ(ran, 1);
}

TEST(Commands, RangesServeEachIdOfTheRange) {
    fw::CommandTarget t;
    std::vector<UINT> got;
    t.Commands().OnCommandRange(10, 13, [&](UINT id) { got.push_back(id); });
    t.Commands().OnUpdateRange(10, 13, [](fw::CmdUI& ui) { ui.Enable(ui.m_nID != 12); });
    EXPECT_TRUE(t.ExecuteCommand(11));
    EXPECT_FALSE(t.ExecuteCommand(12));
    EXPECT_FALSE(t.ExecuteCommand(14));
    EXPECT_EQ(got, std::vector<UINT>{11});
}

TEST(MenuModel, MainMenuAndReplacingAnItem) {
    fw::Menu m;
    ASSERT_TRUE(m.LoadMenu(101));
    ASSERT_EQ(m.items.size(), 6u);
    EXPECT_EQ(m.items[0].text, "&File");
    EXPECT_EQ(m.FindCommand(57601)->text, "&Open...\tCtrl+O");
    ASSERT_TRUE(m.ModifyCommand(32790, 32791, "&Stop"));
    EXPECT_EQ(m.FindCommand(32790), nullptr);
    EXPECT_EQ(m.FindCommand(32791)->text, "&Stop");
    EXPECT_FALSE(m.ModifyCommand(1, 2, "x"));
    fw::Menu popups;
    ASSERT_TRUE(popups.LoadMenu(104));
    ASSERT_NE(popups.GetSubMenu(1), nullptr);
    EXPECT_EQ(popups.GetSubMenu(1)->items.size(), 5u);
    EXPECT_EQ(popups.GetSubMenu(2), nullptr);
}

TEST(MenuModel, Accelerators) {
    std::vector<fw::Accelerator> a;
    ASSERT_TRUE(fw::LoadAccelerators(101, a));
    std::vector<std::string> texts;
    for (const auto& x : a) texts.push_back(fw::AcceleratorText(x) + "=" + std::to_string(x.command));
    EXPECT_EQ(texts, (std::vector<std::string>{"Ctrl+N=57600", "Ctrl+O=57601", "Ctrl+S=57603", "Shift+F1=57669",
                                               "F1=57670"}));
}

TEST(ToolBarModel, ButtonsTakeTheImagesInOrder) {
    fw::ToolBar tb;
    ASSERT_TRUE(tb.LoadToolBar(103));
    ASSERT_EQ(tb.Buttons().size(), 35u);
    EXPECT_EQ(tb.Images().size(), 34u);
    EXPECT_EQ(tb.ImageSize(), (fw::Size{16, 15}));
    EXPECT_EQ(tb.CommandToIndex(32790), 24);
    EXPECT_EQ(tb.Buttons()[24].image, 22);  // Start
    EXPECT_EQ(tb.Buttons()[34].image, 30);
    tb.SetButtonInfo(24, 32791, fw::TBBS_BUTTON, 32);
    EXPECT_EQ(tb.CommandToIndex(32791), 24);
    EXPECT_EQ(tb.CommandToIndex(32790), -1);
}

TEST(StatusBarModel, IndicatorTextsAndDisabledPanes) {
    fw::StatusBar sb;
    sb.SetIndicators({fw::ID_SEPARATOR, 32831, 32833, 32832, 32830});
    EXPECT_EQ(sb.GetPaneText(1), "Single Ended Forward ");
    EXPECT_EQ(sb.Panes()[2].widthText, "Mode:  Generalized Average Hysteretic ");
    EXPECT_EQ(sb.GetPaneText(4), "100%");
    sb.Panes()[3].enabled = false;
    EXPECT_EQ(sb.DisplayedText(3), "");
    EXPECT_EQ(sb.DisplayedText(1), "Single Ended Forward ");
}

TEST(FrameModel, UpdateRulesReachMenuToolbarAndPanes) {
    fw::FakeUi ui;
    TestFrame f;
    bool open = false;
    f.Commands().OnCommand(57600, [] {});
    f.Commands().OnUpdate(32831, [&](fw::CmdUI& c) { c.Enable(open); });
    ASSERT_TRUE(f.LoadFrame(101));
    f.UpdateCommandUI();
    EXPECT_TRUE(f.GetMenu().FindCommand(57600)->enabled);
    EXPECT_FALSE(f.GetMenu().FindCommand(32772)->enabled);
    EXPECT_TRUE(f.GetToolBar().Buttons()[0].enabled);
    EXPECT_FALSE(f.GetToolBar().Buttons()[4].enabled);
    EXPECT_FALSE(f.GetStatusBar().Panes()[1].enabled);
    open = true;
    f.UpdateCommandUI();
    EXPECT_TRUE(f.GetStatusBar().Panes()[1].enabled);
    EXPECT_TRUE(f.GetStatusBar().Panes()[2].enabled);  // no rule: enabled
}

TEST(FrameModel, AcceleratorsRunOnlyAvailableCommands) {
    fw::FakeUi ui;
    TestFrame f;
    int news = 0;
    f.Commands().OnCommand(57600, [&] { ++news; });
    ASSERT_TRUE(f.LoadFrame(101));
    EXPECT_TRUE(f.TranslateAccelerator('N', fw::FVIRTKEY_CTRL));
    EXPECT_EQ(news, 1);
    EXPECT_TRUE(f.TranslateAccelerator('O', fw::FVIRTKEY_CTRL));  // an accelerator, but no handler
    EXPECT_FALSE(f.TranslateAccelerator('N', 0));
}

TEST(FrameModel, FailedCreationLeavesNoWindow) {
    fw::FakeUi ui;
    TestFrame f;
    f.createResult = -1;
    EXPECT_FALSE(f.LoadFrame(101));
    EXPECT_FALSE(f.IsWindow());
    EXPECT_FALSE(f.PostMessage(0x8001, 1, 0));
}

TEST(FrameModel, PostsFromManyThreadsArriveInEachThreadsOrder) {
    fw::FakeUi ui;
    TestFrame f;
    EXPECT_FALSE(f.PostMessage(0x8001, 0, 0));  // no window yet
    ASSERT_TRUE(f.LoadFrame(101));
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t)
        threads.emplace_back([&f, t] {
            for (int i = 0; i < 250; ++i) f.PostMessage(0x8001 + t, i, 0);
        });
    for (auto& th : threads) th.join();
    EXPECT_EQ(ui.windows.LastFrameHost()->wakes, 1000);
    f.DrainPostedMessages();
    ASSERT_EQ(f.received.size(), 1000u);
    intptr_t last[4] = {-1, -1, -1, -1};
    for (const auto& [m, w] : f.received) {
        EXPECT_EQ(w, last[m - 0x8001] + 1);
        last[m - 0x8001] = w;
    }
    f.DestroyWindow();
    EXPECT_FALSE(f.PostMessage(0x8002, 0, 0));
}

TEST(FrameModel, PromptsForTheMessagePane) {
    fw::FakeUi ui;
    TestFrame f;
    ASSERT_TRUE(f.LoadFrame(101));
    f.ShowPrompt(32790);
    EXPECT_EQ(f.GetStatusBar().GetPaneText(0), "Start circuit analysis");
    f.ShowPrompt(1);
    EXPECT_EQ(f.GetStatusBar().GetPaneText(0), "Ready");
}

}  // namespace
