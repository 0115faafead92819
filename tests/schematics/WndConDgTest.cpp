// The secondary winding connections: per-click rules, the series chain
// rule, windings of disabled outputs, Default and OK.
#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "schematics/WndConDg.h"
#include "setup/SetupTestSupport.h"

namespace {

using T = CSecondaryWindingConnectionsDlg;
using Codes = std::array<int32_t, 8>;  // A .. H

class WndConDg : public DialogTest {
protected:
    void Outputs(int n) {
        for (int i = 0; i < 4; ++i) req_.GetOutput(i)->SetEnabled(i < n);
    }
    int Run(const Codes& start, std::function<void(fw::Dialog&)> act) {
        rec_.m_Connections.code = start;
        T dlg(&rec_, &req_, nullptr);
        ui.windows.Script(IDD_WINDING_CONNECTIONS, std::move(act));
        return dlg.DoModal();
    }
    CRequirements req_;
    CPwrTransformer rec_;
};

//                 A  B  C  D  E  F  G  H
const Codes kDefault4{2, 3, 2, 3, 2, 3, 2, 3};

TEST_F(WndConDg, ClicksSetTerminalsAndKeepChainEndsApart) {
    struct Case {
        const char* name;
        Codes start;
        std::vector<int> clicks;
        Codes after;
    };
    const Case cases[] = {
        {"link sets both ends", kDefault4, {1702}, {2, 3, 2, 3, 2, 1, 1, 3}},
        {"ground breaks the link and frees the other end", kDefault4, {1702, 1706}, {2, 3, 2, 3, 0, 2, 0, 3}},
        {"same place on the other end is cleared", kDefault4, {1704}, {2, 3, 2, 3, 2, 3, 3, 0}},
        {"all linked, A to ground sends H to the rectifier", {0, 1, 1, 1, 1, 1, 1, 2}, {1720}, {2, 1, 1, 1, 1, 1, 1, 3}},
        {"all linked, H to ground sends A to the rectifier", {2, 1, 1, 1, 1, 1, 1, 0}, {1700}, {3, 1, 1, 1, 1, 1, 1, 2}},
        // Both chains are held to the rule, the lower one too.
        {"two chains, the lower one ends apart", {2, 1, 1, 2, 3, 1, 1, 2}, {1712}, {3, 1, 1, 2, 3, 1, 1, 2}},
    };
    Outputs(4);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Run(c.start, [&](fw::Dialog& d) {
            for (int id : c.clicks) d.UserClicked(id);
            for (int id = IDC_WND_FIRST; id <= IDC_WND_LAST; ++id) {
                // Exactly the buttons of the values are checked.
                const int terminal = std::string(d.GetDlgItem(id)->GetWindowText()).front() - 'A';
                const bool link = d.GetDlgItem(id)->GetWindowText().find("Ground") == std::string::npos &&
                                  d.GetDlgItem(id)->GetWindowText().find("Rectifier") == std::string::npos;
                const int code = link ? 1 : (d.GetDlgItem(id)->GetWindowText().find("Ground") != std::string::npos ? 2 : 3);
                EXPECT_EQ(d.GetDlgItem(id)->GetCheck() == fw::BST_CHECKED, rec_.m_Connections[size_t(terminal)] == code)
                    << id;
            }
        });
        EXPECT_EQ(rec_.m_Connections.code, c.after);
    }
}

TEST_F(WndConDg, ADisabledOutputsWindingIsClearedAndLocked) {
    Outputs(4);
    req_.GetOutput(1)->SetEnabled(FALSE);  // winding 2: D and C
    //                A  B  C  D  E  F  G  H
    const Codes start{2, 1, 1, 1, 1, 3, 2, 3};
    int result = Run(start, [&](fw::Dialog& d) {
        for (int id : {1708, 1711, 1712, 1713, 1714, 1715, 1716, 1717})
            EXPECT_FALSE(d.GetDlgItem(id)->IsWindowEnabled()) << id;
        EXPECT_TRUE(d.GetDlgItem(1709)->IsWindowEnabled());
        d.UserClicked(fw::IDOK);
        EXPECT_FALSE(d.IsEnded());  // B and E lost their links
        d.UserClicked(1719);
        d.UserClicked(1709);
        d.UserClicked(fw::IDOK);
    });
    EXPECT_EQ(result, fw::IDOK);
    EXPECT_EQ(rec_.m_Connections.code, (Codes{2, 3, 0, 0, 2, 3, 2, 3}));
    EXPECT_EQ(ui.sink.boxes, std::vector<std::string>{"Problem:  Primary Section Transformer 1 has missing connection(s)."});
}

TEST_F(WndConDg, DefaultConnectsEachEnabledWindingToItsRectifierAndGround) {
    Outputs(2);
    Run({1, 1, 1, 1, 1, 1, 1, 1}, [](fw::Dialog& d) {
        d.UserClicked(IDC_WND_DEFAULT);
        d.UserClicked(fw::IDOK);
    });
    EXPECT_EQ(rec_.m_Connections.code, (Codes{2, 3, 2, 3, 0, 0, 0, 0}));
}

TEST_F(WndConDg, NoOutputsMeansNothingToChooseAndOkAtOnce) {
    Outputs(0);
    int result = Run(kDefault4, [](fw::Dialog& d) {
        for (int id = IDC_WND_FIRST; id <= IDC_WND_LAST; ++id) EXPECT_FALSE(d.GetDlgItem(id)->IsWindowEnabled()) << id;
        d.UserClicked(fw::IDOK);
    });
    EXPECT_EQ(result, fw::IDOK);
    EXPECT_EQ(rec_.m_Connections.code, (Codes{}));
}

}  // namespace
