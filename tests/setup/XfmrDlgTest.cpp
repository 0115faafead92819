#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "SetupTestSupport.h"
#include "platform/core/Format.h"
#include "platform/core/ReportSink.h"
#include "setup/XfmrDlg.h"

namespace {

using W = CPwrTransformer;

int Shorted(int earlier, int later) { return IDC_XFMR_SHORTED_INDUCTANCE + W::PairIndex(earlier, later); }
int CouplingBox(int earlier, int later) { return IDC_XFMR_COUPLING + W::PairIndex(earlier, later); }

class XfmrDlg : public DialogTest {
protected:
    CRequirements req_;
    CPwrTransformer pt_;

    void SetUp() override {
        DialogTest::SetUp();
        Enable({1, 3});
        for (int w = 0; w < W::kWindings; ++w) {
            pt_.m_dTurns[size_t(w)] = 10;
            pt_.m_dDcResistance[size_t(w)] = 0.01;
            pt_.m_dAcResistance[size_t(w)] = 0.02;
            pt_.m_dOpenInductance[size_t(w)] = 1e-3;
            pt_.m_dCapacitance[size_t(w)] = 1e-11;
        }
        pt_.m_dShortedInductance.fill(1e-5);
    }
    void Enable(const std::set<int>& outputs) {
        for (int k = 1; k <= 4; ++k) req_.m_Outputs[size_t(k - 1)].m_bEnabled = outputs.count(k) ? 1 : 0;
    }
    int Run(fw::Dialog& dlg, std::function<void(fw::Dialog&)> script) {
        ui.windows.Script(dlg.GetTemplateId(), std::move(script));
        return dlg.DoModal();
    }
};

TEST_F(XfmrDlg, ColumnsFollowTheEnabledOutputs) {
    struct Case {
        UINT templateId;
        std::vector<int> disabled;
        std::vector<int> enabled;
        std::vector<int> emptyCouplings;
        std::vector<int> shownCouplings;
    };
    const std::vector<int> column2 = {1416, 1362, 1368, 1374, 1380, 1385, 1421};
    const std::vector<int> column4 = {1418, 1364, 1370, 1376, 1382, 1387, 1423};
    std::vector<int> disabled = {1389, 1391, 1393, 1394, 1396};
    disabled.insert(disabled.end(), column2.begin(), column2.end());
    disabled.insert(disabled.end(), column4.begin(), column4.end());
    std::vector<int> disabledReset = disabled;
    disabledReset.insert(disabledReset.end(), {1395, 1398});
    const Case cases[] = {
        {IDD_PWR_TRANSFORMER, disabled, {1390, 1361, 1363, 1384, 1386},
         {1400, 1402, 1404, 1406, 1408, 1409, 1411}, {1399, 1401, 1405}},
        {IDD_PWR_TRANSFORMER_RESET, disabledReset, {1390, 1392, 1397, 1365, 1388, 1424},
         {1400, 1402, 1404, 1406, 1408, 1409, 1410, 1411, 1413}, {1399, 1401, 1403, 1405, 1407, 1412}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.templateId);
        std::unique_ptr<fw::Dialog> dlg;
        if (c.templateId == IDD_PWR_TRANSFORMER)
            dlg.reset(new CPwrTransformerDlg(&pt_, &req_, c.templateId, "Power Transformer", nullptr));
        else
            dlg.reset(new CPwrTransformerResetDlg(&pt_, &req_, c.templateId, "Power Transformer", nullptr));
        const std::string k = fw::Format("%1.3e", std::sqrt((1e-3 - 1e-5) / 1e-3));
        Run(*dlg, [&](fw::Dialog& d) {
            EXPECT_EQ(d.GetWindowText(), "Power Transformer");
            for (int id : c.disabled) EXPECT_FALSE(d.GetDlgItem(id)->IsWindowEnabled()) << id;
            for (int id : c.enabled) EXPECT_TRUE(d.GetDlgItem(id)->IsWindowEnabled()) << id;
            for (int id : c.emptyCouplings) EXPECT_EQ(d.GetDlgItemText(id), "") << id;
            for (int id : c.shownCouplings) EXPECT_EQ(d.GetDlgItemText(id), k) << id;
        });
    }
}

struct FieldCase {
    int id;
    const char* valid;
    const char* invalid;
    const char* bounds;
};

// With outputs 1 and 3: the primary, the reset winding's open circuit
// inductance (it bounds the secondaries' reset inductances), each enabled
// secondary, the pair of secondaries, the rest of the reset winding, the core
// power loss. Each OK click shows one message: the check made when the focus
// leaves the box, whose failure also swallows the click.
const std::vector<FieldCase> kResetGridFields = {
    {1360, "12", "0.4", "0.5 and 10000"},
    {1366, "0.011", "0", "1e-006 and 10000"},
    {1372, "0.021", "0.01", "0.011 and 10000"},
    {1378, "0.0011", "101", "1e-007 and 100"},
    {1419, "1.1e-11", "1e-4", "1e-013 and 1e-005"},
    {1383, "0.0005", "5e-8", "1e-007 and 100"},
    {1361, "13", "10001", "0.5 and 10000"},
    {1367, "0.012", "10001", "1e-006 and 10000"},
    {1373, "0.022", "0.0119", "0.012 and 10000"},
    {1379, "0.002", "0", "1e-007 and 100"},
    // The shorted inductance must stay below the open circuit one.
    {1384, "1.2e-05", "0.002", "1e-009 and 0.001999999"},
    {1392, "1.3e-05", "0.0006", "1e-009 and 0.000499999"},
    {1420, "1.2e-11", "1e-14", "1e-013 and 1e-005"},
    {1363, "14", "0", "0.5 and 10000"},
    {1369, "0.013", "-1", "1e-006 and 10000"},
    {1375, "0.023", "0.001", "0.013 and 10000"},
    {1381, "0.003", "200", "1e-007 and 100"},
    {1386, "1.4e-05", "0", "1e-009 and 0.002999999"},
    {1397, "1.5e-05", "1", "1e-009 and 0.000499999"},
    {1422, "1.3e-11", "1", "1e-013 and 1e-005"},
    {1390, "1.6e-05", "0.0031", "1e-009 and 0.002999999"},
    {1365, "15", "0.1", "0.5 and 10000"},
    {1371, "0.014", "0", "1e-006 and 10000"},
    {1377, "0.024", "0.0139", "0.014 and 10000"},
    {1388, "1.7e-05", "0.0005", "1e-009 and 0.000499999"},
    {1424, "1.4e-11", "0", "1e-013 and 1e-005"},
    {1414, "2.5", "-2.5", "0 and 100000"},
};

TEST_F(XfmrDlg, ResetGridChecksItsFieldsInOrder) {
    CPwrTransformerResetDlg dlg(&pt_, &req_, IDD_PWR_TRANSFORMER_RESET, "Power Transformer", nullptr);
    std::vector<std::vector<std::string>> boxes;
    std::vector<int> focus;
    EXPECT_EQ(Run(dlg,
                  [&](fw::Dialog& d) {
                      for (const FieldCase& f : kResetGridFields) d.UserTyped(f.id, f.invalid);
                      for (const FieldCase& f : kResetGridFields) {
                          ui.sink.Clear();
                          d.UserClicked(fw::IDOK);
                          boxes.push_back(ui.sink.boxes);
                          focus.push_back(d.GetFocusId());
                          d.UserTyped(f.id, f.valid);
                      }
                      ui.sink.Clear();
                      d.UserClicked(fw::IDOK);
                  }),
              fw::IDOK);
    EXPECT_TRUE(ui.sink.boxes.empty());
    for (size_t i = 0; i < kResetGridFields.size(); ++i) {
        const FieldCase& f = kResetGridFields[i];
        EXPECT_EQ(boxes[i], std::vector<std::string>{"Please enter a number between " + std::string(f.bounds) + "."})
            << "field " << f.id;
        EXPECT_EQ(focus[i], f.id);
    }
    EXPECT_EQ(pt_.m_dTurns[W::kReset], 15.0);
    EXPECT_EQ(pt_.ShortedInductance(W::kSecondary3, W::kReset), 1.5e-5);
    EXPECT_EQ(pt_.ShortedInductance(W::kSecondary1, W::kSecondary3), 1.6e-5);
    EXPECT_EQ(pt_.m_dCorePowerLoss, 2.5);
    // Fields of disabled outputs are neither checked nor changed.
    EXPECT_EQ(pt_.m_dTurns[W::kSecondary2], 10.0);
    EXPECT_EQ(pt_.m_nOutputPresent, (std::array<int32_t, 4>{1, 0, 1, 0}));
}

// Lowering the reset winding's inductance below a secondary's reset
// inductance in the same edit is refused at that secondary's box, never
// taken as a coupling from the square root of a negative number.
TEST_F(XfmrDlg, ResetInductanceBoundsTheSecondariesAsTyped) {
    pt_.ShortedInductance(W::kSecondary1, W::kReset) = 5e-4;
    CPwrTransformerResetDlg dlg(&pt_, &req_, IDD_PWR_TRANSFORMER_RESET, nullptr, nullptr);
    int focus = 0;
    Run(dlg, [&](fw::Dialog& d) {
        d.UserTyped(IDC_XFMR_OPEN_INDUCTANCE + W::kReset, "1e-4");
        d.UserClicked(fw::IDOK);
        focus = d.GetFocusId();
    });
    EXPECT_EQ(ui.sink.boxes, std::vector<std::string>{"Please enter a number between 1e-009 and 9.9999e-005."});
    EXPECT_EQ(focus, Shorted(W::kSecondary1, W::kReset));
}

// The fixture's couplings were never computed: OK stores the couplings the dialog shows, edited or
// not, so the design never runs with a dead winding; an OK that finds them stored changes nothing.
TEST_F(XfmrDlg, OkStoresTheCouplingsItShows) {
    const double k = std::sqrt((1e-3 - 1e-5) / 1e-3);
    for (bool edit : {false, true}) {
        SCOPED_TRACE(edit);
        CPwrTransformer rec = pt_;
        CPwrTransformerResetDlg dlg(&rec, &req_, IDD_PWR_TRANSFORMER_RESET, nullptr, nullptr);
        EXPECT_EQ(Run(dlg,
                      [edit](fw::Dialog& d) {
                          if (edit) d.UserTyped(IDC_XFMR_CORE_POWER_LOSS, "1");
                          d.UserClicked(fw::IDOK);
                      }),
                  fw::IDOK);
        EXPECT_EQ(rec.Coupling(W::kPrimary, W::kReset), k);
        EXPECT_EQ(rec.Coupling(W::kSecondary3, W::kReset), k);
        EXPECT_EQ(rec.Coupling(W::kPrimary, W::kSecondary2), 0.0);  // output 2 is off
        EXPECT_TRUE(rec != pt_);

        const CPwrTransformer stored = rec;
        CPwrTransformerResetDlg again(&rec, &req_, IDD_PWR_TRANSFORMER_RESET, nullptr, nullptr);
        EXPECT_EQ(Run(again, [](fw::Dialog& d) { d.UserClicked(fw::IDOK); }), fw::IDOK);
        EXPECT_FALSE(rec != stored);
    }
    // An output enabled after its coupling was stored: the untouched OK couples it.
    CPwrTransformer rec = pt_;
    rec.ComputeCoupling(OutputEnables{{1, 0, 1, 0}}, TRUE);
    Enable({1, 2, 3});
    CPwrTransformerDlg dlg(&rec, &req_, IDD_PWR_TRANSFORMER, nullptr, nullptr);
    EXPECT_EQ(Run(dlg, [](fw::Dialog& d) { d.UserClicked(fw::IDOK); }), fw::IDOK);
    EXPECT_EQ(rec.Coupling(W::kPrimary, W::kSecondary2), k);
}

TEST_F(XfmrDlg, WithoutResetColumnTheResetMirrorsThePrimary) {
    pt_.m_dTurns[W::kReset] = 99;
    CPwrTransformerDlg dlg(&pt_, &req_, IDD_PWR_TRANSFORMER, nullptr, nullptr);
    EXPECT_EQ(Run(dlg,
                  [](fw::Dialog& d) {
                      EXPECT_EQ(d.GetDlgItem(1365), nullptr);
                      d.UserTyped(IDC_XFMR_TURNS, "20");
                      d.UserTyped(IDC_XFMR_DC_RESISTANCE, "0.5");
                      d.UserTyped(IDC_XFMR_AC_RESISTANCE, "0.6");
                      d.UserTyped(IDC_XFMR_OPEN_INDUCTANCE, "0.004");
                      d.UserClicked(fw::IDOK);
                  }),
              fw::IDOK);
    EXPECT_EQ(pt_.m_dTurns[W::kReset], 20.0);
    EXPECT_EQ(pt_.m_dDcResistance[W::kReset], 0.5);
    EXPECT_EQ(pt_.m_dOpenInductance[W::kReset], 0.004);
    // Not part of the mirror.
    EXPECT_EQ(pt_.m_dAcResistance[W::kReset], 0.02);
}

TEST_F(XfmrDlg, LeavingABoxChecksEveryFieldAndRefreshesTheCouplings) {
    CPwrTransformerResetDlg dlg(&pt_, &req_, IDD_PWR_TRANSFORMER_RESET, nullptr, nullptr);
    std::string before, after, afterBad;
    std::vector<std::string> boxes;
    int focus = 0;
    Run(dlg, [&](fw::Dialog& d) {
        before = d.GetDlgItemText(CouplingBox(W::kPrimary, W::kSecondary1));
        d.UserFocus(Shorted(W::kPrimary, W::kSecondary1));
        d.UserTyped(Shorted(W::kPrimary, W::kSecondary1), "2e-4");
        d.UserFocus(IDC_XFMR_TURNS);
        after = d.GetDlgItemText(CouplingBox(W::kPrimary, W::kSecondary1));
        // The record keeps what the box shows.
        EXPECT_EQ(fw::Format("%1.3e", pt_.Coupling(W::kPrimary, W::kSecondary1)), after);
        // Another box out of range: its message, and the focus goes there.
        d.UserTyped(IDC_XFMR_CAPACITANCE + 3, "1");
        d.UserFocus(IDC_XFMR_DC_RESISTANCE);
        boxes = ui.sink.boxes;
        focus = d.GetFocusId();
        afterBad = d.GetDlgItemText(CouplingBox(W::kPrimary, W::kSecondary1));
    });
    EXPECT_EQ(before, fw::Format("%1.3e", std::sqrt(0.99)));
    EXPECT_EQ(after, "8.944e-001");
    EXPECT_EQ(boxes, std::vector<std::string>{"Please enter a number between 1e-013 and 1e-005."});
    EXPECT_EQ(focus, IDC_XFMR_CAPACITANCE + 3);
    EXPECT_EQ(afterBad, after);
}

// A message box takes the focus from the box being checked; the focus move
// that brings must not start a second check (and a second box, and so on).
TEST_F(XfmrDlg, AFocusCheckDoesNotReenterThroughItsMessageBox) {
    class FocusMovingSink : public fw::RecordingSink {
    public:
        void MessageBox(const std::string& text) override {
            fw::RecordingSink::MessageBox(text);
            if (onBox && depth < 4) {
                ++depth;
                onBox();
                --depth;
            }
        }
        std::function<void()> onBox;
        int depth = 0;
    } sink;
    fw::ReportSink* previous = fw::SetReportSink(&sink);
    CPwrTransformerDlg dlg(&pt_, &req_, IDD_PWR_TRANSFORMER, nullptr, nullptr);
    int next = IDC_XFMR_OPEN_INDUCTANCE;
    Run(dlg, [&](fw::Dialog& d) {
        d.UserFocus(IDC_XFMR_TURNS);
        d.UserTyped(IDC_XFMR_DC_RESISTANCE, "0");
        sink.onBox = [&] { d.UserFocus(next++); };
        d.UserFocus(IDC_XFMR_AC_RESISTANCE);
        sink.onBox = nullptr;
    });
    fw::SetReportSink(previous);
    EXPECT_EQ(sink.boxes, std::vector<std::string>{"Please enter a number between 1e-006 and 10000."});
}

// The message of a failed check on leaving a box stands for the OK click
// that moved the focus; what the user does next is handled as usual.
TEST_F(XfmrDlg, AFailedFocusCheckTakesOnlyTheClickThatMovedTheFocus) {
    CTransformer ct;
    ct.m_dPrimaryTurns = ct.m_dSecondaryTurns = 1;
    ct.m_dPrimaryDcResistance = ct.m_dSecondaryDcResistance = 0.1;
    ct.m_dPrimaryAcResistance = ct.m_dSecondaryAcResistance = 0.1;
    ct.m_dPrimaryInductance = ct.m_dSecondaryInductance = 1e-3;
    ct.m_dSecondaryShortedInductance = 1e-5;
    CTransformerDlg dlg(&ct, IDD_TRANSFORMER, nullptr, nullptr);
    std::vector<size_t> boxes;
    std::vector<int> beeps;
    EXPECT_EQ(Run(dlg,
                  [&](fw::Dialog& d) {
                      d.UserFocus(IDC_CS_PRIMARY_TURNS);
                      d.UserTyped(IDC_CS_PRIMARY_TURNS, "0");
                      d.UserClicked(fw::IDOK);  // one message, the click taken by it
                      boxes.push_back(ui.sink.boxes.size());
                      d.UserTyped(IDC_CS_PRIMARY_TURNS, "2");
                      d.UserPressedEnter();  // checks, beeps, stays open
                      boxes.push_back(ui.sink.boxes.size());
                      beeps.push_back(ui.sink.beeps);
                      d.UserClicked(fw::IDOK);
                  }),
              fw::IDOK);
    EXPECT_EQ(boxes, (std::vector<size_t>{1, 1}));
    EXPECT_EQ(beeps, std::vector<int>{1});
    EXPECT_EQ(ct.m_dPrimaryTurns, 2.0);
}

TEST_F(XfmrDlg, InductancesThatGiveNoCouplingEmptyEveryCouplingBox) {
    Enable({1, 2, 3, 4});
    pt_.ShortedInductance(W::kPrimary, W::kSecondary4) = 2e-3;  // above its open circuit inductance
    CPwrTransformerResetDlg dlg(&pt_, &req_, IDD_PWR_TRANSFORMER_RESET, nullptr, nullptr);
    std::vector<std::string> texts;
    Run(dlg, [&](fw::Dialog& d) {
        for (int id = IDC_XFMR_COUPLING; id < IDC_XFMR_COUPLING + W::kPairs; ++id)
            texts.push_back(d.GetDlgItemText(id));
    });
    EXPECT_EQ(texts, std::vector<std::string>(W::kPairs, ""));
}

TEST_F(XfmrDlg, WindingConnectionsEditACopy) {
    struct Case {
        const char* name;
        bool installed;
        int answer;
        int32_t endA;
    };
    const Case cases[] = {
        {"no editor: the button is greyed", false, fw::IDOK, 0},
        {"OK takes the change", true, fw::IDOK, W::kGround},
        {"Cancel drops it", true, fw::IDCANCEL, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        pt_.m_Connections[W::kEndA] = 0;
        int runs = 0;
        if (c.installed) {
            SetWindingConnectionsEditor([&](CPwrTransformer& copy, const CRequirements& req) {
                ++runs;
                EXPECT_NE(&copy, &pt_);
                EXPECT_TRUE(req.IsOutput3Enabled());
                copy.m_Connections[W::kEndA] = W::kGround;
                return c.answer;
            });
        } else {
            SetWindingConnectionsEditor(nullptr);
        }
        CPwrTransformerDlg dlg(&pt_, &req_, IDD_PWR_TRANSFORMER, nullptr, nullptr);
        BOOL enabled = FALSE;
        Run(dlg, [&](fw::Dialog& d) {
            enabled = d.GetDlgItem(IDC_XFMR_WINDING_CONNECTIONS)->IsWindowEnabled();
            d.UserClicked(IDC_XFMR_WINDING_CONNECTIONS);
        });
        EXPECT_EQ(enabled, c.installed ? TRUE : FALSE);
        EXPECT_EQ(runs, c.installed ? 1 : 0);
        EXPECT_EQ(pt_.m_Connections[W::kEndA], c.endA);
    }
    SetWindingConnectionsEditor(nullptr);
}

// ---------------------------------------------------------------------------
// Current sense transformer

TEST_F(XfmrDlg, SenseTransformerChecksItsFieldsInOrder) {
    const std::vector<FieldCase> fields = {
        {1140, "1", "0", "0.5 and 10000"},
        {1141, "100", "20000", "0.5 and 10000"},
        {1142, "0.001", "0", "1e-006 and 10000"},
        {1143, "2", "0", "1e-006 and 10000"},
        {1144, "0.002", "0.0005", "0.001 and 10000"},
        {1145, "3", "1", "2 and 10000"},
        {1146, "1e-05", "1e-9", "1e-008 and 100"},
        {1147, "0.1", "101", "1e-008 and 100"},
        {1148, "0.001", "0.1", "1e-009 and 0.099999999"},
        {1190, "0.25", "-1", "0 and 100000"},
    };
    CTransformer ct;
    CTransformerDlg dlg(&ct, IDD_TRANSFORMER, "Current Sense Transformer", nullptr);
    std::vector<std::vector<std::string>> boxes;
    std::vector<int> focus;
    std::string coupling;
    EXPECT_EQ(Run(dlg,
                  [&](fw::Dialog& d) {
                      for (const FieldCase& f : fields) d.UserTyped(f.id, f.invalid);
                      for (const FieldCase& f : fields) {
                          ui.sink.Clear();
                          d.UserClicked(fw::IDOK);
                          boxes.push_back(ui.sink.boxes);
                          focus.push_back(d.GetFocusId());
                          d.UserTyped(f.id, f.valid);
                      }
                      d.UserFocus(1140);
                      d.UserFocus(1141);
                      coupling = d.GetDlgItemText(IDC_CS_COUPLING);
                      ui.sink.Clear();
                      d.UserClicked(fw::IDOK);
                  }),
              fw::IDOK);
    for (size_t i = 0; i < fields.size(); ++i) {
        EXPECT_EQ(boxes[i], std::vector<std::string>{"Please enter a number between " + std::string(fields[i].bounds) +
                                                     "."})
            << "field " << fields[i].id;
        EXPECT_EQ(focus[i], fields[i].id);
    }
    EXPECT_EQ(coupling, fw::Format("%1.3e", std::sqrt((0.1 - 0.001) / 0.1)));
    EXPECT_EQ(ct.m_dSecondaryShortedInductance, 0.001);
    EXPECT_EQ(ct.m_dCorePowerLoss, 0.25);
    EXPECT_DOUBLE_EQ(ct.m_dCoupling, std::sqrt(0.99));
}

}  // namespace
