// The output chokes' coupling dialog: which pairs can be edited for the
// design's outputs, the shorted inductance bounded by the measured winding's
// open inductance, OK wanting a non-zero value, and Cancel keeping nothing.
#include <gtest/gtest.h>

#include <functional>

#include "SetupTestSupport.h"
#include "circuit/CircuitTestSupport.h"
#include "setup/OutChkCplDg.h"
#include "setup/SchemDlgReg.h"

namespace {

class OutChkCplDg : public DialogTest {
protected:
    void SetOutputs(int n) {
        for (int i = 0; i < 4; ++i) doc_.requirements.GetOutput(i)->SetEnabled(i < n);
        doc_.requirements.CheckOutputs(FALSE);
        for (int i = 0; i < 4; ++i) doc_.outputChokes[i].GetInductorOut1().m_dInductance = 1e-5 * (i + 1);
    }
    CouplingDialogResult Run(COutputChokeMutualInd& record, std::function<void(fw::Dialog&)> act) {
        SchematicDialogsSnapshot keep;
        RegisterOutputChokeCouplingDialog();
        ui.windows.Script(IDD_OUTPUT_CHOKE_COUPLING, std::move(act));
        return (*FindCouplingDialog())(record);
    }
    circuit_test::FakeDoc doc_;
};

TEST_F(OutChkCplDg, OnlyThePairsOfTheDesignsOutputsCanBeEdited) {
    const struct {
        int outputs;
        std::vector<int> enabled;
    } cases[] = {{2, {1344}}, {3, {1344, 1345, 1347}}, {4, {1344, 1345, 1346, 1347, 1348, 1349}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.outputs);
        SetOutputs(c.outputs);
        COutputChokeMutualInd record;
        Run(record, [&](fw::Dialog& d) {
            for (int id = 1344; id <= 1349; ++id) {
                const bool on = std::find(c.enabled.begin(), c.enabled.end(), id) != c.enabled.end();
                EXPECT_EQ(d.GetDlgItem(id)->IsWindowEnabled() != FALSE, on) << id;
                EXPECT_EQ(d.GetDlgItemText(id).empty(), !on) << id;
                EXPECT_EQ(d.GetDlgItemText(id + 6).empty(), !on) << id + 6;
            }
        });
    }
}

TEST_F(OutChkCplDg, ShortedInductanceAboveTheOpenOneIsRefused) {
    SetOutputs(3);
    COutputChokeMutualInd record;
    std::string k;
    CouplingDialogResult r = Run(record, [&](fw::Dialog& d) {
        d.UserFocus(1345);
        d.UserTyped(1345, "4e-5");  // above L3 = 3e-5
        d.UserFocus(1344);
        EXPECT_EQ(d.GetFocusId(), 1345);
        d.UserTyped(1345, "2.25e-5");  // k13 = sqrt(1 - 0.75) = 0.5
        d.UserFocus(1344);
        k = d.GetDlgItemText(1351);
        d.UserClicked(fw::IDOK);
    });
    // The range message, then OK's warnings for the pairs left at 0 (k = 1).
    ASSERT_EQ(ui.sink.boxes.size(), 3u);
    EXPECT_EQ(ui.sink.boxes[0], "Please enter a number between 0 and 3e-005.");
    EXPECT_EQ(ui.sink.boxes[1], "Problem:  Output 2 to Output 3 Mutual Inductance is too high to be physically realizable");
    EXPECT_EQ(k, "5.000e-001");
    EXPECT_EQ(r.result, fw::IDOK);
    EXPECT_TRUE(r.anyNonZero);
    EXPECT_DOUBLE_EQ(record.ShortedInductance(COutputChokeMutualInd::k13), 2.25e-5);
}

TEST_F(OutChkCplDg, OkWantsANonZeroValueAndCancelKeepsNothing) {
    SetOutputs(2);
    COutputChokeMutualInd record;
    CouplingDialogResult r = Run(record, [&](fw::Dialog& d) {
        d.UserTyped(1344, "0");
        d.UserClicked(fw::IDOK);
        EXPECT_FALSE(d.IsEnded());
        d.UserTyped(1344, "1e-6");
        d.UserFocus(fw::IDCANCEL);  // the value is saved on leaving the field
        d.UserClicked(fw::IDCANCEL);
    });
    EXPECT_EQ(ui.sink.boxes, std::vector<std::string>{"At least one enabled value must be non-zero."});
    EXPECT_EQ(r.result, fw::IDCANCEL);
    EXPECT_FALSE(r.anyNonZero);
    EXPECT_EQ(record.ShortedInductance(COutputChokeMutualInd::k12), 0.0);
}

}  // namespace
