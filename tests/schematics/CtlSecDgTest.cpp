// The control section variants' own rules beyond the common pattern.
#include <gtest/gtest.h>

#include <functional>

#include "circuit/CtlSec.h"
#include "platform/ui/Canvas.h"
#include "schematics/SchemDlg.h"
#include "setup/PartsDlg.h"
#include "setup/SetupTestSupport.h"

namespace {

class CtlSecDg : public DialogTest {
protected:
    CControlSection Fresh(WORD topology) {
        CControlSection s;
        s.SetTopology(topology);
        s.SetDefaults();
        s.ClearNeedsDefaults();
        return s;
    }
    void Run(CControlSection& s, WORD topology, std::function<void(CSectionSchematicDlg&)> act) {
        SchematicDialogArgs args;
        args.pictureId = SchematicPictureId(SectionKind::ControlSection, topology);
        args.listId = SchematicListId(SectionKind::ControlSection, topology);
        CSectionSchematicDlg dlg(*FindSchematicClass(SectionKind::ControlSection, topology), &s, args);
        ui.windows.Script(IDD_SCHEMATIC, [&](fw::Dialog& d) { act(static_cast<CSectionSchematicDlg&>(d)); });
        dlg.DoModal();
    }
};

TEST_F(CtlSecDg, HystereticCurrentNeverSensesThePrimarySwitch) {
    const struct {
        int32_t before, after;
    } cases[] = {{CCrntSensSource::SENSE_PRIMARY_SWITCH, CCrntSensSource::SENSE_CHOKE},
                 {CCrntSensSource::SENSE_CHOKE, CCrntSensSource::SENSE_CHOKE},
                 {CCrntSensSource::SENSE_OUTPUT_CAPACITOR, CCrntSensSource::SENSE_OUTPUT_CAPACITOR}};
    for (const auto& c : cases) {
        CControlSection s = Fresh(3);
        s.GetFeedbackCurrentSourceVIS().m_iSensedCurrent = c.before;
        s.GetResistor7().m_dResistance = 47.0;
        Run(s, 3, [](CSectionSchematicDlg&) {});
        EXPECT_EQ(s.GetFeedbackCurrentSourceVIS().m_iSensedCurrent, c.after) << c.before;
        EXPECT_EQ(s.GetResistor7().m_dResistance, 47.0);
    }
    // Other variants leave the source alone.
    CControlSection s = Fresh(0);
    s.GetFeedbackCurrentSourceVIS().m_iSensedCurrent = CCrntSensSource::SENSE_PRIMARY_SWITCH;
    Run(s, 0, [](CSectionSchematicDlg&) {});
    EXPECT_EQ(s.GetFeedbackCurrentSourceVIS().m_iSensedCurrent, CCrntSensSource::SENSE_PRIMARY_SWITCH);
}

TEST_F(CtlSecDg, DefaultGivesHystereticCurrentItsOwnCapacitor8AndResistor10) {
    CControlSection preset = Fresh(0);
    for (WORD t : {0, 3}) {
        SCOPED_TRACE(t);
        CControlSection s = Fresh(t);
        Run(s, t, [](CSectionSchematicDlg& d) { d.UserClicked(IDC_SCHEM_DEFAULT); });
        EXPECT_EQ(s.GetCapacitor8().m_dCapacitance, t == 3 ? 1.0 : preset.GetCapacitor8().m_dCapacitance);
        EXPECT_EQ(s.GetResistor10().m_dResistance, t == 3 ? 1.0e8 : preset.GetResistor10().m_dResistance);
    }
}

TEST_F(CtlSecDg, VoltageFeedForwardForcesTheRampsInhibitDuringReset) {
    for (WORD t : {0, 1}) {
        SCOPED_TRACE(t);
        CControlSection s = Fresh(t);
        s.GetSawtoothClock().m_nInhibitDuringReset = 0;
        const HotSpotList* list = FindHotSpotList(SchematicListId(SectionKind::ControlSection, t));
        const fw::Rect ramp = list->groups[t == 0 ? 9 : 13][0];
        bool checked = false, enabled = true;
        ui.windows.Script(IDD_SAWTOOTH_CLOCK, [&](fw::Dialog& d) {
            checked = d.IsDlgButtonChecked(IDC_SAW_INHIBIT) != 0;
            enabled = d.GetDlgItem(IDC_SAW_INHIBIT)->IsWindowEnabled() != FALSE;
            d.UserClicked(fw::IDOK);
        });
        Run(s, t, [&](CSectionSchematicDlg& d) {
            d.UserMouse(fw::MouseEvent::LButtonUp, {ramp.left + 1, ramp.top + 1});
        });
        EXPECT_EQ(checked, t == 1);
        EXPECT_EQ(enabled, t != 1);
        EXPECT_EQ(s.GetSawtoothClock().m_nInhibitDuringReset != 0, t == 1);
    }
}

TEST_F(CtlSecDg, TransistorLabelIsInFixedPointVolts) {
    CControlSection s = Fresh(0);
    s.GetBipolarTransistorQ1().m_dForwardBiasVoltage = 0.65;
    s.GetResistor7().m_dResistance = 4700.0;
    std::vector<std::string> texts;
    Run(s, 0, [&](CSectionSchematicDlg& d) {
        fw::RecordingCanvas dc;
        d.OnPaint(dc);
        texts = dc.OpsStartingWith("text ");
    });
    ASSERT_EQ(texts.size(), 9u);
    EXPECT_EQ(texts[0], "text 247,266 4.700e+003 ohm");
    EXPECT_EQ(texts[4], "text 560,215 0.650 volts");
}

}  // namespace
