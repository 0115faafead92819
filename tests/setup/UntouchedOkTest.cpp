// An OK on a part editor that the user did not touch must leave its record
// equal and show nothing: otherwise an unchanged design is marked modified
// and re-checked, or the user cannot close the editor at all.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "SetupTestSupport.h"
#include "circuit/Doc.h"
#include "designs/Designs.h"
#include "setup/CoreSatDlg.h"
#include "setup/DlgIds.h"
#include "setup/PartsDlg.h"
#include "setup/PartsSrcDlg.h"
#include "setup/XfmrDlg.h"

namespace {

class UntouchedOk : public DialogTest {
protected:
    void SetUp() override {
        DialogTest::SetUp();
        doc_ = std::make_unique<CPwrQuorraDoc>();
        doc_->OnNewDocument();
    }
    void TearDown() override {
        doc_.reset();
        DialogTest::TearDown();
    }

public:
    // Opens the editor on rec, presses OK at once.
    template <class Rec>
    void Expect(const std::string& what, Rec& rec, const std::function<std::unique_ptr<fw::Dialog>(Rec&)>& open) {
        SCOPED_TRACE(what);
        const Rec before = rec;
        ui.sink.Clear();
        std::unique_ptr<fw::Dialog> dlg = open(rec);
        ui.windows.Script(dlg->GetTemplateId(), [](fw::Dialog& d) { d.UserClicked(fw::IDOK); });
        EXPECT_EQ(dlg->DoModal(), fw::IDOK);
        EXPECT_TRUE(ui.sink.boxes.empty()) << ui.sink.boxes.front();
        EXPECT_FALSE(rec != before) << "the record changed";
    }
    CRequirements& Requirements() { return *doc_->GetRequirements(); }

    std::unique_ptr<CPwrQuorraDoc> doc_;
};

template <class Dlg, class Rec>
std::function<std::unique_ptr<fw::Dialog>(Rec&)> Open(UINT templateId) {
    return [templateId](Rec& r) { return std::unique_ptr<fw::Dialog>(new Dlg(&r, templateId, nullptr, nullptr)); };
}

// One editor on each preset of its record.
struct EditorCase {
    const char* name;
    std::function<void(UntouchedOk&, const std::string& name)> check;
};

template <class Rec>
EditorCase Presets(const char* name, std::vector<int> presets,
                   std::function<std::unique_ptr<fw::Dialog>(Rec&)> open) {
    return {name, [presets, open](UntouchedOk& t, const std::string& what) {
                for (int p : presets) {
                    Rec rec;
                    rec.SetDefaults(p);
                    t.Expect<Rec>(what + ", preset " + std::to_string(p), rec, open);
                }
            }};
}

template <class Dlg, class Rec>
EditorCase Editor(const char* name, UINT templateId, int presets) {
    std::vector<int> all;
    for (int p = 0; p < presets; ++p) all.push_back(p);
    return Presets<Rec>(name, all, Open<Dlg, Rec>(templateId));
}

template <int16_t Kind, UINT Template>
std::unique_ptr<fw::Dialog> OpenSource(CCrntVoltSource& r) {
    return std::unique_ptr<fw::Dialog>(new CCrntVoltSourceDlg(&r, Kind, Template, nullptr, nullptr));
}

template <class Dlg>
EditorCase PowerTransformer(const char* name, UINT templateId) {
    return {name, [templateId](UntouchedOk& t, const std::string& what) {
                CRequirements& req = t.Requirements();
                for (int outputs = 1; outputs <= 4; ++outputs) {
                    OutputEnables enables;
                    for (int k = 0; k < 4; ++k) {
                        req.m_Outputs[size_t(k)].m_bEnabled = k < outputs ? 1 : 0;
                        enables.flags[size_t(k)] = k < outputs ? 1 : 0;
                    }
                    // As the primary section presets it.
                    CPwrTransformer rec;
                    rec.SetDefaults(0, enables, FALSE);
                    rec.CopyPrimaryToResetWinding();
                    rec.ComputeCoupling(enables, TRUE);
                    t.Expect<CPwrTransformer>(what + ", outputs " + std::to_string(outputs), rec,
                                              [&req, templateId](CPwrTransformer& r) {
                                                  return std::unique_ptr<fw::Dialog>(
                                                      new Dlg(&r, &req, templateId, nullptr, nullptr));
                                              });
                }
            }};
}

const std::vector<EditorCase>& EditorCases() {
    static const std::vector<EditorCase> cases = {
        Editor<CCapacitorDlg, CCapacitor>("capacitor", IDD_CAPACITOR, 4),
        Editor<CCapacitorDlg2, CCapacitor>("capacitor, short form", IDD_CAPACITOR_SHORT, 4),
        Editor<CDiodeRectifierDlg, CDiode>("diode rectifier", IDD_DIODE_RECTIFIER, 3),
        Editor<CDiodeRectifierDlg2, CDiode>("anti-parallel diodes", IDD_DIODE_ANTI_PARALLEL, 3),
        Editor<CDiodeDlg, CDiode>("diode", IDD_DIODE, 3),
        Editor<CResistorDlg, CResistor>("resistor", IDD_RESISTOR, 4),
        Editor<CResistorDlg2, CResistor>("resistor, short form", IDD_RESISTOR_SHORT, 4),
        Editor<CTransistorFEDlg, CTransistorFE>("field effect transistor", IDD_TRANSISTOR_FE, 1),
        Editor<CInductorDlg, CInductor>("inductor", IDD_INDUCTOR, 2),
        Editor<CInductorDlg2, CInductor>("inductor, short form", IDD_INDUCTOR_SHORT, 2),
        Editor<CTransistorBPDlg, CTransistorBP>("bipolar transistor", IDD_TRANSISTOR_BP, 1),
        Editor<CAmplifierDlg, CAmplifier>("amplifier", IDD_AMPLIFIER, 1),
        Editor<CComparatorDlg, CComparator>("comparator", IDD_COMPARATOR, 1),
        Editor<CComparatorDlg2, CComparator>("comparator with logic voltage", IDD_COMPARATOR_LOGIC, 1),
        Editor<CComparatorDlg3, CComparator>("comparator with soft start", IDD_COMPARATOR_SOFT_START, 1),
        Editor<CResetSwitchDlg, CResetSwitch>("reset switch", IDD_RESET_SWITCH, 1),
        Editor<COperationalAmplifierDlg, COperationalAmplifier>("operational amplifier", IDD_OPERATIONAL_AMPLIFIER,
                                                               1),
        Editor<CUnderVoltLockOutDlg, CUnderVoltLockOut>("undervoltage lock-out", IDD_UNDERVOLTAGE_LOCKOUT, 1),
        Editor<COptoIsoDriverSourceDlg, COptoIsoDriverSource>("driver source", IDD_DRIVER_SOURCE, 1),
        Editor<COptoIsoDriverSourceDlg, COptoIsoDriverSource>("driver source with warning",
                                                             IDD_DRIVER_SOURCE_WARNING, 1),
        Editor<COptoIsoBiasVoltageDlg, COptoIsoBiasVoltage>("bias voltage", IDD_BIAS_VOLTAGE, 1),
        Editor<CTransistorPhotoDlg, CTransistorPhoto>("photo transistor", IDD_TRANSISTOR_PHOTO, 1),
        Editor<CTransformerDlg, CTransformer>("current sense transformer", IDD_TRANSFORMER, 2),
        {"sawtooth", [](UntouchedOk& t, const std::string& what) {
             for (int force : {0, 1}) {
                 CSawtoothClock rec;
                 rec.SetDefaults(0);
                 // A forced box sets the record once; from then on it is as it was.
                 if (force) rec.m_nInhibitDuringReset = 1;
                 t.Expect<CSawtoothClock>(what + ", forced inhibit " + std::to_string(force), rec,
                                          [force](CSawtoothClock& r) {
                                              return std::unique_ptr<fw::Dialog>(
                                                  new CSawtoothClockDlg(&r, IDD_SAWTOOTH_CLOCK, force, nullptr, nullptr));
                                          });
             }
         }},
        Presets<CCrntVoltSource>("voltage source", {0, 1, 2}, &OpenSource<0, IDD_VOLTAGE_SOURCE>),
        Presets<CCrntVoltSource>("current source", {0, 1, 2}, &OpenSource<1, IDD_CURRENT_SOURCE>),
        Editor<CDCSourceDlg, CCrntVoltSource>("DC voltage", IDD_DC_VOLTAGE_SOURCE, 3),
        Editor<CDCSourceDlg, CCrntVoltSource>("DC current", IDD_DC_CURRENT_SOURCE, 3),
        Editor<CCrntSensSourceDlg, CCrntSensSource>("sensed current", IDD_FEEDBACK_CURRENT_SOURCE, 2),
        Editor<CCrntSensSourceDlg, CCrntSensSource>("sensed current, switch or choke", IDD_CURRENT_SOURCE_PRI_CHOKE,
                                                    2),
        // This form has no primary switch button: a stored primary switch is kept.
        Editor<CCrntSensSourceDlg, CCrntSensSource>("sensed current, choke or capacitor",
                                                    IDD_CURRENT_SOURCE_CHOKE_CAP, 2),
        Editor<CCoreSatCharListDlg, CCoreSatChar>("core saturation", IDD_CORE_SAT_LIST, 1),
        PowerTransformer<CPwrTransformerDlg>("power transformer", IDD_PWR_TRANSFORMER),
        PowerTransformer<CPwrTransformerResetDlg>("power transformer with reset winding", IDD_PWR_TRANSFORMER_RESET),
    };
    return cases;
}

TEST_F(UntouchedOk, EveryEditorOnItsPresetsKeepsTheRecord) {
    for (const EditorCase& c : EditorCases()) c.check(*this, c.name);
}

// The records of the first configuration, each in the editor its picture opens.
TEST_F(UntouchedOk, TheFirstConfigurationsRecordsStayAsBuilt) {
    CPwrQuorraDoc& d = *doc_;
    BuildFirstConfiguration(d);
    CPrimarySection& pri = *d.GetPrimarySection();
    Expect<CPwrTransformer>("power transformer", pri.GetPowerTransformer(), [&d](CPwrTransformer& r) {
        return std::unique_ptr<fw::Dialog>(
            new CPwrTransformerDlg(&r, d.GetRequirements(), IDD_PWR_TRANSFORMER, nullptr, nullptr));
    });
    Expect<CResistor>("sense resistor", pri.GetSenseResistor(), Open<CResistorDlg, CResistor>(IDD_RESISTOR));
    Expect<CTransistorFE>("switches", pri.GetSwitchSW1(), Open<CTransistorFEDlg, CTransistorFE>(IDD_TRANSISTOR_FE));
    Expect<CDiode>("diodes", pri.GetDiode1And2(), Open<CDiodeRectifierDlg, CDiode>(IDD_DIODE_RECTIFIER));
    Expect<CResistor>("line resistance", d.GetLineFilter()->GetLineResistance(),
                      Open<CResistorDlg, CResistor>(IDD_RESISTOR));
    Expect<CInductor>("line inductance", d.GetLineFilter()->GetLineInductance(),
                      Open<CInductorDlg2, CInductor>(IDD_INDUCTOR_SHORT));
    Expect<CDiode>("secondary rectifier", d.GetSecondarySection1()->GetDiodeRectifier1(),
                   Open<CDiodeRectifierDlg, CDiode>(IDD_DIODE_RECTIFIER));
    Expect<CInductor>("output choke", d.GetOutputChoke1()->GetInductorOut1(),
                      Open<CInductorDlg, CInductor>(IDD_INDUCTOR));
    Expect<CCapacitor>("output capacitor", d.Get1StgOutputFilter1()->GetCapacitorOut1(),
                       Open<CCapacitorDlg, CCapacitor>(IDD_CAPACITOR));
    Expect<CResistor>("load", d.GetLoadNetwork1()->GetResistorLoad2(), Open<CResistorDlg, CResistor>(IDD_RESISTOR));

    CVoltageErrorAmp& vea = *d.GetVoltageErrorAmp();
    for (CResistor* r : {&vea.GetResistor1(), &vea.GetResistor2(), &vea.GetResistor3(), &vea.GetResistorFeedback()})
        Expect<CResistor>("error amplifier resistor", *r, Open<CResistorDlg2, CResistor>(IDD_RESISTOR_SHORT));
    for (CCapacitor* c : {&vea.GetCapacitor1(), &vea.GetCapacitor2(), &vea.GetCapacitor3()})
        Expect<CCapacitor>("error amplifier capacitor", *c, Open<CCapacitorDlg2, CCapacitor>(IDD_CAPACITOR_SHORT));
    Expect<COperationalAmplifier>("error amplifier", vea.GetOperationalAmplifier(),
                                  Open<COperationalAmplifierDlg, COperationalAmplifier>(IDD_OPERATIONAL_AMPLIFIER));
    Expect<CUnderVoltLockOut>("lock-out", vea.GetUnderVoltLockOut(),
                              Open<CUnderVoltLockOutDlg, CUnderVoltLockOut>(IDD_UNDERVOLTAGE_LOCKOUT));

    CControlSection& ctl = *d.GetControlSection();
    for (CResistor* r : {&ctl.GetResistor4(), &ctl.GetResistor5(), &ctl.GetResistor7(), &ctl.GetResistor8()})
        Expect<CResistor>("control resistor", *r, Open<CResistorDlg2, CResistor>(IDD_RESISTOR_SHORT));
    Expect<CComparator>("comparator", ctl.GetComparator1(), Open<CComparatorDlg, CComparator>(IDD_COMPARATOR));
    Expect<CSawtoothClock>("ramp", ctl.GetSawtoothClock(), [](CSawtoothClock& r) {
        return std::unique_ptr<fw::Dialog>(new CSawtoothClockDlg(&r, IDD_SAWTOOTH_CLOCK, 0, nullptr, nullptr));
    });
}

}  // namespace
