#include <gtest/gtest.h>

#include <cmath>

#include "platform/ui/DDX.h"
#include "platform/ui/Fakes.h"

namespace {

// Three number fields in a row, an integer, a check box and a radio group.
const fw::FormTable kForm{
    9001,
    "Values",
    200,
    120,
    0,
    {
        {1001, fw::ControlKind::Edit, "", 10, 10, 60, 12},
        {1002, fw::ControlKind::Edit, "", 10, 26, 60, 12},
        {1003, fw::ControlKind::Edit, "", 10, 42, 60, 12},
        {1004, fw::ControlKind::Edit, "", 10, 58, 60, 12},
        {1005, fw::ControlKind::CheckBox, "Enable", 10, 74, 60, 10},
        {1010, fw::ControlKind::RadioButton, "None", 100, 10, 60, 10, fw::kGroup},
        {1011, fw::ControlKind::RadioButton, "Average", 100, 22, 60, 10},
        {1012, fw::ControlKind::RadioButton, "Peak", 100, 34, 60, 10},
        {1020, fw::ControlKind::Static, "unit", 100, 50, 40, 10, fw::kGroup},
        {fw::IDOK, fw::ControlKind::DefPushButton, "OK", 40, 100, 50, 14, fw::kGroup},
        {fw::IDCANCEL, fw::ControlKind::PushButton, "Cancel", 100, 100, 50, 14},
    },
};

struct Values {
    double a = 1.0, b = 0.5, c = 3.0;
    int n = 7;
    int check = 0;
    int mode = 1;
};

class ValuesDlg : public fw::Dialog {
public:
    explicit ValuesDlg(Values& v) : fw::Dialog(kForm), v_(v) {}
    void DoDataExchange(fw::DataExchange& dx) override {
        fw::DDX_Text(dx, 1001, v_.a);
        fw::DDV_MinMaxDouble(dx, v_.a, 0.1, 100000);
        fw::DDX_Text(dx, 1002, v_.b);
        fw::DDV_MinMaxDouble(dx, v_.b, 1e-14, 1.0);
        fw::DDX_Text(dx, 1003, v_.c);
        // The bound is the field stored just before.
        fw::DDV_MinMaxDouble(dx, v_.c, v_.b, 10000);
        fw::DDX_Text(dx, 1004, v_.n);
        fw::DDV_MinMaxInt(dx, v_.n, 5, 1000);
        fw::DDX_Check(dx, 1005, v_.check);
        fw::DDX_Radio(dx, 1010, v_.mode);
    }

private:
    Values& v_;
};

class DataExchangeTest : public ::testing::Test {
protected:
    // Runs the dialog with the typed texts, presses OK; returns the result.
    int Run(const std::vector<std::pair<int, std::string>>& typed) {
        ui.windows.Script(9001, [&](fw::Dialog& d) {
            for (const auto& [id, text] : typed) d.UserTyped(id, text);
            d.UserClicked(fw::IDOK);
            focusAfter = d.GetFocusId();
            endedByOk = d.IsEnded();
        });
        ValuesDlg dlg(v);
        return dlg.DoModal();
    }
    fw::FakeUi ui;
    Values v;
    int focusAfter = 0;
    bool endedByOk = false;
};

TEST_F(DataExchangeTest, OutOfRangeNamesTheBoundsAndKeepsTheFocusOnTheField) {
    Run({{1001, "0.09"}});
    ASSERT_EQ(ui.sink.boxes.size(), 1u);
    EXPECT_EQ(ui.sink.boxes[0], "Please enter a number between 0.1 and 100000.");
    EXPECT_EQ(focusAfter, 1001);
    EXPECT_FALSE(endedByOk);
    // The parsed value is stored before its range check fails.
    EXPECT_EQ(v.a, 0.09);
}

TEST_F(DataExchangeTest, TextThatIsNotANumber) {
    Run({{1002, "12abc"}});
    ASSERT_EQ(ui.sink.boxes.size(), 1u);
    EXPECT_EQ(ui.sink.boxes[0], "Please enter a number.");
    EXPECT_EQ(focusAfter, 1002);
    EXPECT_EQ(v.b, 0.5);  // not stored
}

TEST_F(DataExchangeTest, FieldsBeforeTheFailureAreStoredThoseAfterAreNot) {
    Run({{1001, "5"}, {1002, "0.5"}, {1003, "0.25"}, {1004, "9"}});
    // c's lower bound is b as just stored (0.5), so 0.25 fails.
    ASSERT_EQ(ui.sink.boxes.size(), 1u);
    EXPECT_EQ(ui.sink.boxes[0], "Please enter a number between 0.5 and 10000.");
    EXPECT_EQ(v.a, 5.0);
    EXPECT_EQ(v.b, 0.5);
    EXPECT_EQ(v.c, 0.25);
    EXPECT_EQ(v.n, 7);
    EXPECT_EQ(focusAfter, 1003);
}

TEST_F(DataExchangeTest, ANaNBoundRefusesTheValue) {
    // A bound taken from a damaged record must not let every value through.
    Values stored;
    double bound = std::nan("");
    ui.windows.Script(9001, [&](fw::Dialog& d) { d.UserClicked(fw::IDOK); });
    class NaNBoundDlg : public fw::Dialog {
    public:
        NaNBoundDlg(Values& v, double& lo) : fw::Dialog(kForm), v_(v), lo_(lo) {}
        void DoDataExchange(fw::DataExchange& dx) override {
            fw::DDX_Text(dx, 1001, v_.a);
            fw::DDV_MinMaxDouble(dx, v_.a, lo_, 10.0);
        }
        Values& v_;
        double& lo_;
    } dlg(stored, bound);
    EXPECT_EQ(dlg.DoModal(), fw::IDCANCEL);
    ASSERT_EQ(ui.sink.boxes.size(), 1u);
    EXPECT_EQ(ui.sink.boxes[0].rfind("Please enter a number between ", 0), 0u);
}

TEST_F(DataExchangeTest, AllValidEndsWithOkAndStoresEverything) {
    EXPECT_EQ(Run({{1001, " 100000 "}, {1002, "1e-14"}, {1003, "0.5"}, {1004, "1000"}}), fw::IDOK);
    EXPECT_TRUE(ui.sink.boxes.empty());
    EXPECT_EQ(v.a, 100000.0);
    EXPECT_EQ(v.b, 1e-14);
    EXPECT_EQ(v.n, 1000);
    EXPECT_EQ(v.mode, 1);
}

TEST_F(DataExchangeTest, IntegerMessages) {
    Run({{1004, "4"}});
    ASSERT_EQ(ui.sink.boxes.size(), 1u);
    EXPECT_EQ(ui.sink.boxes[0], "Please enter an integer between 5 and 1000.");
    ui.sink.Clear();
    Run({{1004, "5.5"}});
    ASSERT_EQ(ui.sink.boxes.size(), 1u);
    EXPECT_EQ(ui.sink.boxes[0], "Please enter an integer.");
    EXPECT_EQ(focusAfter, 1004);
}

TEST_F(DataExchangeTest, ValuesAreWrittenWithFifteenDigitsAndThreeDigitExponents) {
    v.b = 1e-14;
    v.a = 0.1;
    v.mode = 2;
    v.check = 1;
    ui.windows.Script(9001, [](fw::Dialog& d) {
        EXPECT_EQ(d.GetDlgItemText(1001), "0.1");
        EXPECT_EQ(d.GetDlgItemText(1002), "1e-014");
        EXPECT_EQ(d.GetDlgItemText(1003), "3");
        EXPECT_EQ(d.GetDlgItemText(1004), "7");
        EXPECT_EQ(d.IsDlgButtonChecked(1005), 1u);
        EXPECT_EQ(d.GetCheckedRadioButton(1010, 1012), 1012);
    });
    ValuesDlg dlg(v);
    dlg.DoModal();
}

TEST(DialogNumberParsing, ZeroOnlyWhenWrittenAsZero) {
    struct Case {
        const char* text;
        bool ok;
        double value;
    };
    const Case cases[] = {
        {"0", true, 0.0},      {"0.0", true, 0.0},     {"0e5", true, 0.0},     {" \t0 ", true, 0.0},
        {".0", false, 0},      {"-0", false, 0},       {"+0", false, 0},       {"1e-400", false, 0},
        {"-2.5", true, -2.5},  {".5", true, 0.5},      {"1e400", false, 0},    {"nan", false, 0},
        {"inf", false, 0},     {"0x10", false, 0},     {"", false, 0},         {"1 2", false, 0},
        {"4.7e-6", true, 4.7e-6},
    };
    for (const Case& c : cases) {
        double v = -1;
        EXPECT_EQ(fw::ParseDialogDouble(c.text, v), c.ok) << c.text;
        if (c.ok) {
            EXPECT_EQ(v, c.value) << c.text;
        }
    }
}

TEST(DialogNumberParsing, TheWholeTextIsRead) {
    // A long number keeps its later digits instead of being cut to 31
    // characters, and junk after them is not overlooked.
    std::string text = "1." + std::string(29, '0') + "9999";
    double v = 0;
    ASSERT_TRUE(fw::ParseDialogDouble(text, v));
    EXPECT_DOUBLE_EQ(v, 1.0);
    std::string junk = std::string(31, '1') + "x";
    EXPECT_FALSE(fw::ParseDialogDouble(junk, v));
    // Cut after 31 characters this would read as zero and pass the zero rule.
    EXPECT_TRUE(fw::ParseDialogDouble("0.000000000000000000000000000001234", v));
    EXPECT_EQ(v, 1.234e-30);
}

}  // namespace
