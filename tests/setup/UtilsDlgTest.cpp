#include <gtest/gtest.h>

#include "SetupTestSupport.h"
#include "setup/UtilsDlg.h"

namespace {

const fw::FormTable kForm{
    9402,
    "Switches",
    120,
    60,
    0,
    {
        {1300, fw::ControlKind::CheckBox, "Enable", 10, 10, 60, 10, fw::kTabStop},
        {fw::IDOK, fw::ControlKind::DefPushButton, "OK", 10, 40, 40, 14},
    },
};

TEST_F(DialogTest, CheckHelpersSetTheButtonOrLogAMissingControl) {
    struct Case {
        const char* name;
        void (*set)(fw::Dialog*, int);
        int id;
        int initial;
        int expected;  // the check after the call
        int code;      // Utils code logged, 0 none
    };
    const Case cases[] = {
        {"check", SetDlgItemChecked, 1300, fw::BST_UNCHECKED, fw::BST_CHECKED, 0},
        {"uncheck", SetDlgItemUnchecked, 1300, fw::BST_CHECKED, fw::BST_UNCHECKED, 0},
        {"check a missing control", SetDlgItemChecked, 1301, fw::BST_UNCHECKED, fw::BST_UNCHECKED, 10001},
        {"uncheck a missing control", SetDlgItemUnchecked, 1301, fw::BST_CHECKED, fw::BST_CHECKED, 10000},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ClearLogAndBoxes();
        fw::Dialog dlg(kForm);
        ASSERT_TRUE(dlg.BuildControls(fw::DialogUnits{}));
        dlg.CheckDlgButton(1300, c.initial);
        c.set(&dlg, c.id);
        EXPECT_EQ(dlg.IsDlgButtonChecked(1300), static_cast<UINT>(c.expected));
        if (c.code) {
            EXPECT_TRUE(Logged("Utils:     CODE ", c.code));
        } else {
            EXPECT_FALSE(LoggedAnyCode());
        }
        EXPECT_TRUE(ui.sink.boxes.empty());
    }
}

TEST_F(DialogTest, CheckHelpersWithoutADialogLogOnly) {
    SetDlgItemChecked(nullptr, 1300);
    SetDlgItemUnchecked(nullptr, 1300);
    EXPECT_TRUE(Logged("Utils:     CODE ", 10001));
    EXPECT_TRUE(Logged("Utils:     CODE ", 10000));
}

}  // namespace
