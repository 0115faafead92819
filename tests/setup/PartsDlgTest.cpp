#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "SetupTestSupport.h"
#include "circuit/CircuitTestSupport.h"
#include "platform/core/Format.h"
#include "setup/CoreSatDlg.h"
#include "setup/PartsDlg.h"

namespace {

// Every record a part dialog edits.
struct Records {
    CCapacitor capacitor;
    CDiode diode;
    CResistor resistor;
    CTransistorFE fet;
    CInductor inductor;
    CTransistorBP bipolar;
    CAmplifier amplifier;
    CSawtoothClock sawtooth;
    CComparator comparator;
    CResetSwitch resetSwitch;
    COperationalAmplifier opamp;
    CUnderVoltLockOut uvlo;
    COptoIsoDriverSource driver;
    COptoIsoBiasVoltage bias;
    CTransistorPhoto photo;
};

class PartsDlg : public DialogTest {
protected:
    circuit_test::FakeDoc doc_;  // the requirements the dialogs read: 100 kHz, output 1
    Records r_;

    // Runs the dialog with the script; returns DoModal's result.
    int Run(fw::Dialog& dlg, std::function<void(fw::Dialog&)> script) {
        ui.windows.Script(dlg.GetTemplateId(), std::move(script));
        return dlg.DoModal();
    }
    std::string RangeMessage(const std::string& bounds) { return "Please enter a number between " + bounds + "."; }
};

// One value field: a text that passes, one that fails, and the bounds its
// message names.
struct FieldCase {
    int id;
    const char* valid;
    const char* invalid;
    const char* bounds;
};

struct DialogCase {
    const char* name;
    std::function<std::unique_ptr<fw::Dialog>(Records&)> make;
    std::vector<FieldCase> fields;  // in exchange order
    bool editsRecord = true;        // a second opening shows the values
};

template <class Dlg, class Rec>
std::function<std::unique_ptr<fw::Dialog>(Records&)> Make(Rec Records::*member, UINT templateId,
                                                          const char* caption = nullptr) {
    return [member, templateId, caption](Records& r) {
        return std::unique_ptr<fw::Dialog>(new Dlg(&(r.*member), templateId, caption, nullptr));
    };
}

const std::vector<DialogCase>& DialogCases() {
    static const std::vector<DialogCase> cases = {
        {"capacitor", Make<CCapacitorDlg>(&Records::capacitor, IDD_CAPACITOR),
         {{IDC_CAPACITANCE, "4.7e-06", "1e-15", "1e-014 and 1"},
          {IDC_CAP_BREAKDOWN, "63", "0", "0.001 and 100000"},
          {IDC_CAP_TC_LINEAR, "0.5", "21", "-20 and 20"},
          {IDC_CAP_TC_QUAD, "-0.25", "-21", "-20 and 20"},
          {IDC_CAP_ESR, "0.05", "-1", "0 and 100000000"},
          {IDC_CAP_ESR_TC_LINEAR, "1.5", "20.5", "-20 and 20"},
          {IDC_CAP_ESR_TC_QUAD, "-2.5", "11", "-10 and 10"},
          {IDC_CAP_ESL, "2e-09", "1001", "0 and 1000"},
          {IDC_CAP_LEAKAGE, "3e-06", "10001", "0 and 10000"},
          {IDC_CAP_LEAKAGE_TC, "4", "-1", "0 and 20"}}},
        {"capacitor, short form", Make<CCapacitorDlg2>(&Records::capacitor, IDD_CAPACITOR_SHORT),
         {{IDC_CAPACITANCE, "1e-14", "2", "1e-014 and 1"},
          {IDC_CAP_TC_LINEAR, "20", "20.001", "-20 and 20"},
          {IDC_CAP_TC_QUAD, "-20", "-20.5", "-20 and 20"}}},
        {"diode rectifier", Make<CDiodeRectifierDlg>(&Records::diode, IDD_DIODE_RECTIFIER),
         {{IDC_DIODE_FORWARD_VOLTAGE, "0.7", "11", "0 and 10"},
          {IDC_DIODE_FORWARD_TC, "-0.002", "0.1", "-0.01 and 0"},
          {IDC_DIODE_RESISTANCE, "0", "-1", "0 and 10000"},
          {IDC_DIODE_BREAKDOWN, "600", "0.4", "0.5 and 100000"},
          {IDC_DIODE_LEAD_INDUCTANCE, "5e-09", "0", "1e-009 and 1000"},
          {IDC_DIODE_CAPACITANCE, "1e-10", "1", "1e-013 and 0.001"}}},
        {"anti-parallel diodes", Make<CDiodeRectifierDlg2>(&Records::diode, IDD_DIODE_ANTI_PARALLEL),
         {{IDC_DIODE_FORWARD_VOLTAGE, "0.6", "-0.1", "0 and 10"},
          {IDC_DIODE_FORWARD_TC, "-0.01", "-0.02", "-0.01 and 0"},
          {IDC_DIODE_RESISTANCE, "0.02", "0", "1e-006 and 10000"},
          {IDC_DIODE_BREAKDOWN, "100", "100001", "0.5 and 100000"}}},
        {"diode", Make<CDiodeDlg>(&Records::diode, IDD_DIODE),
         {{IDC_DIODE_FORWARD_VOLTAGE, "1.2", "10.5", "0 and 10"},
          {IDC_DIODE_RESISTANCE, "3", "0", "1e-006 and 10000"}}},
        {"resistor", Make<CResistorDlg>(&Records::resistor, IDD_RESISTOR),
         {{IDC_RESISTANCE, "5e-07", "0", "1e-008 and 10000000000"},
          {IDC_RES_TC_LINEAR, "100", "200000", "-100000 and 100000"},
          {IDC_RES_TC_QUAD, "-10", "-10001", "-10000 and 10000"},
          {IDC_RES_ESL, "1e-08", "-1e-9", "0 and 10000"}}},
        // 5e-07 ohms passes the full form, not the short one.
        {"resistor, short form", Make<CResistorDlg2>(&Records::resistor, IDD_RESISTOR_SHORT),
         {{IDC_RESISTANCE, "4700", "5e-7", "1e-006 and 10000000000"},
          {IDC_RES_TC_LINEAR, "-50", "100001", "-100000 and 100000"},
          {IDC_RES_TC_QUAD, "2", "20000", "-10000 and 10000"}}},
        // The switching times are held to one period of 100 kHz.
        {"field effect transistor", Make<CTransistorFEDlg>(&Records::fet, IDD_TRANSISTOR_FE),
         {{IDC_FE_ON_RESISTANCE, "0.1", "0", "1e-006 and 100000"},
          {IDC_FE_ON_RESISTANCE_TC, "0.7", "101", "-100 and 100"},
          {IDC_FE_BREAKDOWN, "200", "0.05", "0.1 and 100000"},
          {IDC_FE_TURN_ON_DELAY, "1e-08", "2e-05", "1e-009 and 1e-005"},
          {IDC_FE_RISE_TIME, "2e-08", "2e-05", "1e-009 and 1e-005"},
          {IDC_FE_TURN_OFF_DELAY, "3e-08", "1e-10", "1e-009 and 1e-005"},
          {IDC_FE_FALL_TIME, "4e-08", "1e-4", "1e-009 and 1e-005"},
          {IDC_FE_BODY_DIODE_VOLTAGE, "0.9", "5.5", "0 and 5"},
          {IDC_FE_BODY_DIODE_RESISTANCE, "0.01", "0", "1e-006 and 10000"},
          {IDC_FE_SOURCE_INDUCTANCE, "3e-09", "0.002", "1e-009 and 0.001"},
          {IDC_FE_DRAIN_INDUCTANCE, "4e-09", "0", "1e-009 and 0.001"},
          {IDC_FE_OUTPUT_CAPACITANCE, "1e-09", "0.001", "1e-013 and 0.0001"}}},
        // The AC resistance starts at the DC resistance just stored.
        {"inductor", Make<CInductorDlg>(&Records::inductor, IDD_INDUCTOR),
         {{IDC_INDUCTANCE, "0.0001", "101", "1e-009 and 100"},
          {IDC_IND_DC_RESISTANCE, "0.02", "0", "1e-006 and 10000"},
          {IDC_IND_AC_RESISTANCE, "0.05", "0.01", "0.02 and 10000"},
          {IDC_CORE_POWER_LOSS, "0.5", "-0.5", "0 and 100000"}}},
        {"inductor, short form", Make<CInductorDlg2>(&Records::inductor, IDD_INDUCTOR_SHORT),
         {{IDC_INDUCTANCE, "2e-06", "1e-10", "1e-009 and 100"}}},
        {"bipolar transistor", Make<CTransistorBPDlg>(&Records::bipolar, IDD_TRANSISTOR_BP),
         {{IDC_BP_FORWARD_VOLTAGE, "0.65", "-21", "-20 and 20"}}},
        {"amplifier", Make<CAmplifierDlg>(&Records::amplifier, IDD_AMPLIFIER),
         {{IDC_AMP_GAIN, "20", "0", "1e-006 and 1000000"}}},
        {"comparator", Make<CComparatorDlg>(&Records::comparator, IDD_COMPARATOR),
         {{IDC_CMP_DELAY, "1e-07", "1e-4", "1e-010 and 1e-005"}}},
        {"comparator with logic voltage", Make<CComparatorDlg2>(&Records::comparator, IDD_COMPARATOR_LOGIC),
         {{IDC_CMP_DELAY, "2e-07", "0", "1e-010 and 1e-005"}}},
        {"comparator with soft start", Make<CComparatorDlg3>(&Records::comparator, IDD_COMPARATOR_SOFT_START),
         {{IDC_CMP_DELAY, "3e-07", "1", "1e-010 and 1e-005"},
          {IDC_CMP_SOFT_START_THRESHOLD, "0.4", "1001", "0 and 1000"}}},
        {"reset switch", Make<CResetSwitchDlg>(&Records::resetSwitch, IDD_RESET_SWITCH),
         {{IDC_RESET_ON_RESISTANCE, "10", "2e6", "1e-006 and 1000000"}}},
        {"undervoltage lock out", Make<CUnderVoltLockOutDlg>(&Records::uvlo, IDD_UNDERVOLTAGE_LOCKOUT),
         {{IDC_UVLO_TURN_ON, "10", "0.05", "0.1 and 1000000"},
          {IDC_UVLO_TURN_OFF, "8", "1e7", "0.1 and 1000000"}}},
        {"driver source", Make<COptoIsoDriverSourceDlg>(&Records::driver, IDD_DRIVER_SOURCE),
         {{IDC_OPTO_VOLTAGE, "12", "0.5", "1 and 1000"}}},
        {"bias voltage", Make<COptoIsoBiasVoltageDlg>(&Records::bias, IDD_BIAS_VOLTAGE),
         {{IDC_OPTO_VOLTAGE, "5", "1001", "1 and 1000"}}},
        {"photo transistor", Make<CTransistorPhotoDlg>(&Records::photo, IDD_TRANSISTOR_PHOTO),
         {{IDC_PHOTO_CTR, "0.5", "0.0001", "0.001 and 1000"},
          {IDC_PHOTO_BANDWIDTH, "50000", "99", "100 and 10000000000"}}},
        // The sawtooth's blanking field counts only while inhibited (the
        // record starts so).
        {"sawtooth", [](Records& r) {
             r.sawtooth.m_nInhibitDuringReset = 1;
             return std::unique_ptr<fw::Dialog>(new CSawtoothClockDlg(&r.sawtooth, IDD_SAWTOOTH_CLOCK, 0, nullptr,
                                                                      nullptr));
         },
         {{IDC_SAW_PEAK_TO_VALLEY, "1.8", "0.001", "0.01 and 100"},
          {IDC_SAW_DC_AVERAGE, "1.9", "101", "0.01 and 100"},
          {IDC_SAW_SLOPE_DUTY, "90", "-1", "0 and 100"},
          {IDC_SAW_FREQUENCY, "200000", "0", "0.0001 and 10000000000"},
          {IDC_SAW_BLANKING_DUTY, "5", "100.5", "0 and 100"}}},
        {"core saturation point", [](Records&) {
             return std::unique_ptr<fw::Dialog>(new CCoreSatCharDlg(CCoreSatCharDlg::MODE_ADD, 1.0, 1e-9, nullptr,
                                                                    nullptr));
         },
         {{IDC_CORE_SAT_CURRENT, "2.5", "-1", "0 and 100000"},
          {IDC_CORE_SAT_INDUCTANCE, "0.0005", "101", "1e-009 and 100"}},
         false},
    };
    return cases;
}

// With every field out of range, OK names the fields one by one in
// exchange order, each with its bounds and the focus on it; once all pass,
// the dialog closes and a second opening shows each value where it was
// typed.
TEST_F(PartsDlg, FieldsAreCheckedInExchangeOrderWithTheirRanges) {
    for (const DialogCase& c : DialogCases()) {
        SCOPED_TRACE(c.name);
        ui.sink.Clear();
        r_ = Records{};
        std::unique_ptr<fw::Dialog> dlg = c.make(r_);
        std::vector<std::string> boxes;
        std::vector<int> focus;
        const int result = Run(*dlg, [&](fw::Dialog& d) {
            for (const FieldCase& f : c.fields) d.UserTyped(f.id, f.invalid);
            for (const FieldCase& f : c.fields) {
                ui.sink.Clear();
                d.UserClicked(fw::IDOK);
                boxes.push_back(ui.sink.boxes.empty() ? "" : ui.sink.boxes.back());
                focus.push_back(d.GetFocusId());
                d.UserTyped(f.id, f.valid);
            }
            ui.sink.Clear();
            d.UserClicked(fw::IDOK);
        });
        EXPECT_EQ(result, fw::IDOK);
        EXPECT_TRUE(ui.sink.boxes.empty());
        for (size_t i = 0; i < c.fields.size(); ++i) {
            EXPECT_EQ(boxes[i], RangeMessage(c.fields[i].bounds)) << "field " << c.fields[i].id;
            EXPECT_EQ(focus[i], c.fields[i].id);
        }
        if (!c.editsRecord) continue;
        std::unique_ptr<fw::Dialog> again = c.make(r_);
        Run(*again, [&](fw::Dialog& d) {
            for (const FieldCase& f : c.fields) {
                double v = 0;
                ASSERT_TRUE(fw::ParseDialogDouble(f.valid, v));
                EXPECT_EQ(d.GetDlgItemText(f.id), fw::Format("%.*g", 15, v)) << "field " << f.id;
            }
        });
    }
}

TEST_F(PartsDlg, TheNameIsTakenAsTypedAndValuesKeepFullPrecision) {
    r_.capacitor.m_strName = "C 12";
    r_.capacitor.m_dCapacitance = 1.0 / 3.0 * 1e-6;  // more digits than the field shows
    const CCapacitor before = r_.capacitor;
    CCapacitorDlg dlg(&r_.capacitor, IDD_CAPACITOR, "Capacitor In", nullptr);
    std::string shown;
    EXPECT_EQ(Run(dlg,
                  [&](fw::Dialog& d) {
                      shown = d.GetDlgItemText(IDC_PART_NAME);
                      d.UserFocus(fw::IDOK);
                      d.UserClicked(fw::IDOK);
                  }),
              fw::IDOK);
    EXPECT_EQ(shown, "C 12");
    EXPECT_FALSE(r_.capacitor != before);

    CCapacitorDlg rename(&r_.capacitor, IDD_CAPACITOR, "Capacitor In", nullptr);
    Run(rename, [](fw::Dialog& d) {
        d.UserTyped(IDC_PART_NAME, "  EEU-FR1 470uF, 25 V  ");
        d.UserClicked(fw::IDOK);
    });
    EXPECT_EQ(r_.capacitor.m_strName, "  EEU-FR1 470uF, 25 V  ");
}

// The caption replaces the form's title except in the dialogs that keep
// it; Load and Store stay hidden while the database is off.
TEST_F(PartsDlg, CaptionsAndDatabaseButtons) {
    struct Case {
        const char* name;
        std::function<std::unique_ptr<fw::Dialog>(Records&)> make;
        std::string title;
        bool database;
    };
    const Case cases[] = {
        {"capacitor", Make<CCapacitorDlg>(&Records::capacitor, IDD_CAPACITOR, "Capacitor Out1"), "Capacitor Out1",
         true},
        {"inductor", Make<CInductorDlg>(&Records::inductor, IDD_INDUCTOR, "Inductor Skim"), "Inductor Skim", true},
        {"comparator", Make<CComparatorDlg>(&Records::comparator, IDD_COMPARATOR), "Comparator", false},
        {"amplifier", Make<CAmplifierDlg>(&Records::amplifier, IDD_AMPLIFIER, "Sense Amplifier"), "Sense Amplifier",
         false},
        {"bias voltage keeps its title", Make<COptoIsoBiasVoltageDlg>(&Records::bias, IDD_BIAS_VOLTAGE, "Other"),
         "Bias Voltage", false},
        {"photo transistor keeps its title",
         Make<CTransistorPhotoDlg>(&Records::photo, IDD_TRANSISTOR_PHOTO, "Other"), "Photo Transistor", false},
        {"driver source keeps its title",
         Make<COptoIsoDriverSourceDlg>(&Records::driver, IDD_DRIVER_SOURCE_WARNING, "Other"), "Driver Source", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::unique_ptr<fw::Dialog> dlg = c.make(r_);
        Run(*dlg, [&](fw::Dialog& d) {
            EXPECT_EQ(d.GetWindowText(), c.title);
            EXPECT_EQ(d.GetDlgItem(IDC_DB_LOAD) != nullptr, c.database);
            for (int id : {IDC_DB_LOAD, IDC_DB_STORE})
                if (fw::Control* b = d.GetDlgItem(id)) {
                    EXPECT_FALSE(b->IsWindowVisible());
                }
        });
    }
}

// The timing limit is one period of the design's switching frequency; a
// frequency that gives no period (zero from an odd file, or no document)
// falls back to the default 100 kHz.
TEST_F(PartsDlg, TimingLimitFollowsTheSwitchingFrequency) {
    struct Case {
        double frequency;
        const char* bounds;
    };
    for (const Case& c : {Case{50000.0, "1e-010 and 2e-005"}, Case{0.0, "1e-010 and 1e-005"},
                          Case{-5.0, "1e-010 and 1e-005"}, Case{1e-320, "1e-010 and 1e-005"}}) {
        SCOPED_TRACE(c.frequency);
        ui.sink.Clear();
        doc_.requirements.m_dSwitchingFrequency = c.frequency;
        CComparatorDlg dlg(&r_.comparator, IDD_COMPARATOR, nullptr, nullptr);
        Run(dlg, [](fw::Dialog& d) {
            d.UserTyped(IDC_CMP_DELAY, "1");
            d.UserClicked(fw::IDOK);
        });
        ASSERT_EQ(ui.sink.boxes.size(), 1u);
        EXPECT_EQ(ui.sink.boxes[0], RangeMessage(c.bounds));
    }
}

TEST_F(PartsDlg, OperationalAmplifierMinimumBelowMaximum) {
    const std::string k52124 = "The minimum output voltage must be smaller\nthan the maximum output voltage.";
    struct Case {
        const char* name;
        std::function<void(fw::Dialog&)> script;
        int result;
        std::vector<std::string> boxes;
        double minimum, maximum;
    };
    const Case cases[] = {
        {"equal values pass the fields and are refused by OK",
         [](fw::Dialog& d) {
             d.UserTyped(IDC_OPAMP_MINIMUM, "5");
             d.UserClicked(fw::IDOK);
         },
         fw::IDCANCEL, {k52124}, 5, 5},
        {"and by the menu's OK",
         [](fw::Dialog& d) {
             d.UserTyped(IDC_OPAMP_MINIMUM, "5");
             d.UserCommand(ID_POPUP_OK);
         },
         fw::IDCANCEL, {k52124}, 5, 5},
        {"raising both at once is refused at the minimum",
         [](fw::Dialog& d) {
             d.UserTyped(IDC_OPAMP_MINIMUM, "7");
             d.UserTyped(IDC_OPAMP_MAXIMUM, "10");
             d.UserClicked(fw::IDOK);
         },
         fw::IDCANCEL, {"Please enter a number between -1000 and 5."}, 7, 5},
        {"raising the maximum first works",
         [](fw::Dialog& d) {
             d.UserFocus(IDC_OPAMP_MAXIMUM);
             d.UserTyped(IDC_OPAMP_MAXIMUM, "10");
             d.UserPressedEnter();
             d.UserTyped(IDC_OPAMP_MINIMUM, "7");
             d.UserClicked(fw::IDOK);
         },
         fw::IDOK, {}, 7, 10},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ui.sink.Clear();
        r_.opamp.m_dMinimumOutput = 0;
        r_.opamp.m_dMaximumOutput = 5;
        COperationalAmplifierDlg dlg(&r_.opamp, IDD_OPERATIONAL_AMPLIFIER, nullptr, nullptr);
        EXPECT_EQ(Run(dlg, c.script), c.result);
        EXPECT_EQ(ui.sink.boxes, c.boxes);
        EXPECT_EQ(r_.opamp.m_dMinimumOutput, c.minimum);
        EXPECT_EQ(r_.opamp.m_dMaximumOutput, c.maximum);
    }
}

TEST_F(PartsDlg, ComparatorLogicVoltageLimitFollowsItsUnit) {
    const std::string k52096 = "Logic Voltage must be between 0 and 100 per cent";
    const std::string k52097 = "Logic Voltage must be between 0 and 5 volts";
    struct Case {
        const char* name;
        int percent;
        const char* logic;
        bool clickBox;    // toggles the per-cent box first
        bool popup;       // the menu's OK instead of the button
        const char* unit; // shown after the clicks
        std::vector<std::string> boxes;
        int result;
    };
    const Case cases[] = {
        {"150 per cent", 1, "150", false, false, "per cent", {k52096}, fw::IDCANCEL},
        {"150 per cent, menu OK", 1, "150", false, true, "per cent", {k52096}, fw::IDCANCEL},
        {"box cleared: 150 volts", 1, "150", true, false, "volts", {k52097}, fw::IDCANCEL},
        {"-1 volt", 0, "-1", false, false, "volts", {k52097}, fw::IDCANCEL},
        {"5 volts", 0, "5", false, false, "volts", {}, fw::IDOK},
        {"box set: 100 per cent", 0, "100", true, false, "per cent", {}, fw::IDOK},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ui.sink.Clear();
        r_.comparator.m_nLogicVoltageInPercent = c.percent;
        CComparatorDlg2 dlg(&r_.comparator, IDD_COMPARATOR_LOGIC, nullptr, nullptr);
        std::string unit;
        EXPECT_EQ(Run(dlg,
                      [&](fw::Dialog& d) {
                          d.UserTyped(IDC_CMP_LOGIC_VOLTAGE, c.logic);
                          if (c.clickBox) d.UserClicked(IDC_CMP_LOGIC_PERCENT);
                          unit = d.GetDlgItemText(IDC_FIELD_UNIT);
                          if (c.popup) d.UserCommand(ID_POPUP_OK);
                          else d.UserClicked(fw::IDOK);
                      }),
                  c.result);
        EXPECT_EQ(unit, c.unit);
        EXPECT_EQ(ui.sink.boxes, c.boxes);
    }
}

TEST_F(PartsDlg, SoftStartThresholdIsGreyedWhileDischargeIsOff) {
    for (int discharge : {0, 1}) {
        SCOPED_TRACE(discharge);
        r_.comparator.m_nSoftStartDischarge = discharge;
        r_.comparator.m_dSoftStartThreshold = 0.3;
        CComparatorDlg3 dlg(&r_.comparator, IDD_COMPARATOR_SOFT_START, nullptr, nullptr);
        std::vector<BOOL> before, after;
        EXPECT_EQ(Run(dlg,
                      [&](fw::Dialog& d) {
                          for (int id : {IDC_FIELD_LABEL, IDC_CMP_SOFT_START_THRESHOLD, IDC_FIELD_UNIT})
                              before.push_back(d.GetDlgItem(id)->IsWindowEnabled());
                          d.UserClicked(IDC_CMP_SOFT_START);
                          for (int id : {IDC_FIELD_LABEL, IDC_CMP_SOFT_START_THRESHOLD, IDC_FIELD_UNIT})
                              after.push_back(d.GetDlgItem(id)->IsWindowEnabled());
                          d.UserClicked(fw::IDOK);
                      }),
                  fw::IDOK);
        EXPECT_EQ(before, std::vector<BOOL>(3, discharge ? TRUE : FALSE));
        EXPECT_EQ(after, std::vector<BOOL>(3, discharge ? FALSE : TRUE));
        EXPECT_EQ(r_.comparator.m_nSoftStartDischarge, discharge ? 0 : 1);
    }
}

TEST_F(PartsDlg, SawtoothBlankingCountsOnlyWhileInhibited) {
    struct Case {
        const char* name;
        int inhibit;
        int force;
        bool clickBox;
        bool fieldEnabled;  // after the clicks
        bool boxEnabled;
        int result;         // with a blanking text that is out of range
        int storedInhibit;
        size_t boxesBeforeOk;  // ticking the box reads the field it opens
    };
    const Case cases[] = {
        // The out-of-range blanking text is not looked at.
        {"off", 0, 0, false, false, true, fw::IDOK, 0, 0},
        {"off, then ticked", 0, 0, true, true, true, fw::IDCANCEL, 1, 0},
        {"on", 1, 0, false, true, true, fw::IDCANCEL, 1, 0},
        {"on, then cleared", 1, 0, true, false, true, fw::IDOK, 0, 0},
        // Forced: the record is inhibited before the fields are filled, so the
        // field the user must give is open and shows the record's value.
        {"forced on a record that is off", 0, 1, false, true, false, fw::IDCANCEL, 1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ui.sink.Clear();
        r_.sawtooth = CSawtoothClock{};
        r_.sawtooth.m_nInhibitDuringReset = c.inhibit;
        r_.sawtooth.m_dBlankingDutyRatio = 7.5;
        CSawtoothClockDlg dlg(&r_.sawtooth, IDD_SAWTOOTH_CLOCK, c.force, nullptr, nullptr);
        bool fieldEnabled = false, boxEnabled = false, labelsFollow = false;
        std::string shown;
        size_t boxesBeforeOk = 0;
        const int result = Run(dlg, [&](fw::Dialog& d) {
            shown = d.GetDlgItemText(IDC_SAW_BLANKING_DUTY);
            if (c.clickBox) d.UserClicked(IDC_SAW_INHIBIT);
            boxesBeforeOk = ui.sink.boxes.size();
            fieldEnabled = d.GetDlgItem(IDC_SAW_BLANKING_DUTY)->IsWindowEnabled();
            labelsFollow = d.GetDlgItem(IDC_FIELD_LABEL)->IsWindowEnabled() == fieldEnabled &&
                           d.GetDlgItem(IDC_FIELD_UNIT)->IsWindowEnabled() == fieldEnabled;
            boxEnabled = d.GetDlgItem(IDC_SAW_INHIBIT)->IsWindowEnabled();
            d.UserTyped(IDC_SAW_BLANKING_DUTY, "150");
            d.UserClicked(fw::IDOK);
        });
        EXPECT_EQ(result, c.result);
        EXPECT_EQ(fieldEnabled, c.fieldEnabled);
        EXPECT_TRUE(labelsFollow);
        EXPECT_EQ(boxEnabled, c.boxEnabled);
        EXPECT_EQ(r_.sawtooth.m_nInhibitDuringReset, c.storedInhibit);
        EXPECT_EQ(boxesBeforeOk, c.boxesBeforeOk);
        // Shown even while greyed.
        EXPECT_EQ(shown, "7.5");
    }
}

TEST_F(PartsDlg, DriverSourceOffersOnlyEnabledOutputs) {
    doc_.requirements.m_Outputs[0].m_bEnabled = 1;
    doc_.requirements.m_Outputs[1].m_bEnabled = 1;
    doc_.requirements.m_Outputs[2].m_bEnabled = 0;
    doc_.requirements.m_Outputs[3].m_bEnabled = 0;
    r_.driver.m_nDriverSource = 3;
    COptoIsoDriverSourceDlg dlg(&r_.driver, IDD_DRIVER_SOURCE_WARNING, "Driver Source", nullptr);
    int checked = 0;
    std::vector<BOOL> enabled;
    BOOL voltageAfterOutput = TRUE, voltageAfterIndependent = FALSE;
    EXPECT_EQ(Run(dlg,
                  [&](fw::Dialog& d) {
                      checked = d.GetCheckedRadioButton(IDC_DRIVER_INDEPENDENT, IDC_DRIVER_INDEPENDENT + 4);
                      for (int k = 0; k <= 4; ++k)
                          enabled.push_back(d.GetDlgItem(IDC_DRIVER_INDEPENDENT + k)->IsWindowEnabled());
                      d.UserClicked(IDC_DRIVER_INDEPENDENT + 2);
                      voltageAfterOutput = d.GetDlgItem(IDC_OPTO_VOLTAGE)->IsWindowEnabled();
                      d.UserClicked(IDC_DRIVER_INDEPENDENT);
                      voltageAfterIndependent = d.GetDlgItem(IDC_OPTO_VOLTAGE)->IsWindowEnabled();
                      d.UserClicked(IDC_DRIVER_INDEPENDENT + 1);
                      d.UserClicked(fw::IDOK);
                  }),
              fw::IDOK);
    EXPECT_EQ(checked, IDC_DRIVER_INDEPENDENT);
    EXPECT_EQ(enabled, (std::vector<BOOL>{TRUE, TRUE, TRUE, FALSE, FALSE}));
    EXPECT_FALSE(voltageAfterOutput);
    EXPECT_TRUE(voltageAfterIndependent);
    EXPECT_EQ(r_.driver.m_nDriverSource, 1);
}

// The inductor's characteristic is replaced only when its list ends with OK
// and differs; the inductor's own OK still decides for the caller.
TEST_F(PartsDlg, InductorEditsItsCoreSaturationOnACopy) {
    struct Case {
        const char* name;
        bool listOk;
        size_t points;
    };
    for (const Case& c : {Case{"OK", true, 1}, Case{"Cancel", false, 0}}) {
        SCOPED_TRACE(c.name);
        r_.inductor.m_CoreSatChar.m_arPoints.DeleteAll();
        ui.windows.Script(IDD_CORE_SAT_POINT, [](fw::Dialog& d) {
            d.UserTyped(IDC_CORE_SAT_CURRENT, "3");
            d.UserTyped(IDC_CORE_SAT_INDUCTANCE, "1e-5");
            d.UserClicked(fw::IDOK);
        });
        ui.windows.Script(IDD_CORE_SAT_LIST, [&](fw::Dialog& d) {
            EXPECT_EQ(d.GetWindowText(), "Core Saturation Characteristics");
            d.UserClicked(IDC_CORE_SAT_ADD);
            if (c.listOk) d.UserClicked(fw::IDOK);
        });
        CInductorDlg dlg(&r_.inductor, IDD_INDUCTOR, "Inductor Out1", nullptr);
        Run(dlg, [](fw::Dialog& d) { d.UserClicked(IDC_CORE_SAT_BUTTON); });
        ASSERT_EQ(size_t(r_.inductor.m_CoreSatChar.m_arPoints.GetCount()), c.points);
        if (c.points) {
            EXPECT_EQ(r_.inductor.m_CoreSatChar.m_arPoints.GetPointAt(0)->m_dCurrent, 3.0);
        }
    }
}

}  // namespace
