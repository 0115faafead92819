// The first configuration of the regression designs, built as a user builds
// it: File New, then the Setup commands one by one with their dialogs, then
// saved. The saved file must hold exactly the design made in code from the
// same values through the document's sections.
//
// Once with the program's own picture dialogs, a click on each part to edit;
// once with stand-ins that keep only the picture dialogs' contract (the
// variant taken, its default parts applied while the section waits for them,
// a part's own dialog run on a copy), so that the Setup road is held apart
// from the pictures.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/AppFixture.h"
#include "app/DesignDoc.h"
#include "schematics/HotSpot.h"
#include "schematics/SchemBase.h"
#include "schematics/SchemDlg.h"
#include "circuit/DocTestSupport.h"
#include "setup/LinVltDg.h"
#include "setup/PartsDlg.h"
#include "setup/PartsSrcDlg.h"
#include "setup/RequireDg.h"
#include "setup/SchemDlgReg.h"
#include "setup/SelctDlg.h"
#include "setup/WeightDg.h"
#include "setup/XfmrDlg.h"
#include "support/ReadFile.h"

namespace {

// A part clicked in a schematic dialog: its dialog on a copy, the copy kept on
// a changed OK.
template <class Rec, class Run>
void EditComponent(Rec& part, Run run) {
    Rec copy;
    copy = part;
    if (run(&copy) == fw::IDOK && copy != part) part = copy;
}

template <class Section>
void StandInSchematic(WORD variant, std::function<void(Section&, const SchematicDialogArgs&)> clicks = nullptr) {
    RegisterSchematicDialogOf<Section>(variant, [clicks](Section& s, const SchematicDialogArgs& a) {
        s.SetTopology(a.variant);
        if (s.NeedsDefaults()) {
            s.SetDefaults();
            s.ClearNeedsDefaults();
        }
        if (clicks) clicks(s, a);
        return fw::IDOK;
    });
}

template <class Section>
void ApplyDefaults(Section& s, WORD variant) {
    s.SetTopology(variant);
    s.SetDefaults();
    s.ClearNeedsDefaults();
}

// The same design through the sections, as the Setup commands leave it.
void BuildExpected(CPwrQuorraDoc& doc) {
    doc.GetRequirements()->GetOutput(0)->SetTargetVoltage(10.7);

    CLineFilter& filter = *doc.GetLineFilter();
    filter.SetLineSourceType(CLineFilter::SOURCE_DC);
    filter.GetLineVoltage().m_dDCMagnitude = 48.0;
    filter.GetLineInductance().m_dInductance = 1e-6;
    filter.GetLineResistance().m_dResistance = 0.1;
    // "None" variants: the variant and the presets of their parts, no dialog.
    filter.SetTopology(CLineFilter::FILTER_NONE);
    for (CInductor* l : {&filter.GetInductorIn1(), &filter.GetInductorIn2(), &filter.GetInductorDamp()})
        l->SetDefaults(0);
    filter.GetCapacitorIn().SetDefaults(0);
    filter.GetCapacitorDamp().SetDefaults(0);
    filter.GetResistorDamp1().SetDefaults(1);
    filter.GetResistorDamp2().SetDefaults(1);
    doc.GetLineRectifier()->SetTopology(0);
    doc.GetLineRectifier()->GetDiode().SetDefaults(1);

    ApplyDefaults(*doc.GetInputCapacitor(), 0);
    CPrimarySection& pri = *doc.GetPrimarySection();
    ApplyDefaults(pri, CPrimarySection::TWO_SWITCH_RESISTOR);
    // The windings in use: the primary and output 1's secondary.
    pri.GetPowerTransformer().m_dAcResistance[0] = 1e-6;
    pri.GetPowerTransformer().m_dAcResistance[1] = 1e-6;
    ApplyDefaults(*doc.GetSecondarySection1(), 0);
    ApplyDefaults(*doc.GetOutputChoke1(), 0);
    ApplyDefaults(*doc.Get1StgOutputFilter1(), 0);
    doc.Get1StgOutputFilter1()->GetCapacitorOut1().m_dCapacitance = 100e-6;
    C2StgOutputFilter& second = *doc.Get2StgOutputFilter1();
    second.SetTopology(0);
    second.GetCapacitorDamp2().SetDefaults(0);
    second.GetCapacitorOut2().SetDefaults(0);
    second.GetInductorOut2().SetDefaults(0);
    second.GetInductorOut3().SetDefaults(0);
    second.GetResistorDamp2().SetDefaults(1);
    second.GetResistorDamp3().SetDefaults(1);
    ApplyDefaults(*doc.GetLoadNetwork1(), 0);
    doc.GetLoadNetwork1()->GetResistorLoad2().m_dResistance = 5.0;

    ApplyDefaults(*doc.GetControlSection(), CControlSection::VOLTAGE_MODE);
    CVoltageErrorAmp& vea = *doc.GetVoltageErrorAmp();
    ApplyDefaults(vea, 7);
    vea.GetResistor1().m_dResistance = 1e6;
    vea.GetVoltageSourceVRef().m_dDCMagnitude = 1.5556;
    COptoIsolator& opto = *doc.GetOptoIsolator();
    opto.SetTopology(COptoIsolator::kTopologyNone);
    opto.GetDriverSource().SetDefaults(0);
    opto.GetDiodeLED().SetDefaults(0);
    opto.GetDriveResistor().SetDefaults(0);
    opto.GetDriveTransistor().SetDefaults(0);
    opto.GetBiasVoltage().SetDefaults(0);
    opto.GetPhotoTransistor().SetDefaults(0);
    opto.GetLoadResistor().SetDefaults(0);
    opto.GetPoleCapacitor().SetDefaults(0);
    opto.GetResistorAmp1().SetDefaults(0);
    opto.GetResistorAmp2().SetDefaults(0);
    opto.GetOperationalAmplifier().SetDefaults(0);
    opto.GetVoltageSourceVRef().SetDefaults(0);

    // Requirements first moved it to 1, every later OK to 2.
    doc.GetMiscData()->m_nAutoDesign = CMiscData::AUTO_DESIGN_NEVER;
}

// The run settings come from the Analysis dialog, not from Setup: both
// designs take them in code.
void SetRun(CPwrQuorraDoc& doc) {
    doc.GetAnalysisConfig()->SetAnalysisKind(CAnalysisConfig::KIND_TURN_ON);
    doc.GetAnalysisConfig()->m_dTime = 0.02;
}

class SetupFirstConfigTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        app_.SetDocumentFactory(&designs_);
        ASSERT_TRUE(Start(""));
    }
    void RegisterStandIns() {
        StandInSchematic<CInputCapacitor>(0);
        StandInSchematic<CPrimarySection>(CPrimarySection::TWO_SWITCH_RESISTOR, [](CPrimarySection& s, const SchematicDialogArgs& a) {
            EditComponent(s.GetPowerTransformer(), [&](CPwrTransformer* t) {
                return CPwrTransformerDlg(t, a.requirements, IDD_PWR_TRANSFORMER, "Power Transformer", nullptr)
                    .DoModal();
            });
        });
        StandInSchematic<CSecondarySection>(0);
        StandInSchematic<COutputChoke>(0);
        StandInSchematic<C1StgOutputFilter>(0, [](C1StgOutputFilter& s, const SchematicDialogArgs&) {
            EditComponent(s.GetCapacitorOut1(), [](CCapacitor* c) {
                return CCapacitorDlg(c, IDD_CAPACITOR, "Capacitor Out1", nullptr).DoModal();
            });
        });
        StandInSchematic<CLoadNetwork>(0, [](CLoadNetwork& s, const SchematicDialogArgs&) {
            EditComponent(s.GetResistorLoad2(), [](CResistor* r) {
                return CResistorDlg(r, IDD_RESISTOR, "Resistor Load", nullptr).DoModal();
            });
        });
        StandInSchematic<CControlSection>(CControlSection::VOLTAGE_MODE);
        StandInSchematic<CVoltageErrorAmp>(7, [](CVoltageErrorAmp& s, const SchematicDialogArgs&) {
            EditComponent(s.GetResistor1(), [](CResistor* r) {
                return CResistorDlg2(r, IDD_RESISTOR_SHORT, "Resistor 1", nullptr).DoModal();
            });
            EditComponent(s.GetVoltageSourceVRef(), [](CCrntVoltSource* v) {
                return CCrntVoltSourceDlg(v, 0, IDD_VOLTAGE_SOURCE, "Voltage Source V Ref", nullptr).DoModal();
            });
        });
    }

    // With the program's picture dialogs: the next picture of the variant gets
    // a click on each named part, then OK. A variant whose picture dialog is
    // not there yet gets a stand-in; it has no parts to click here.
    void Picture(SectionKind kind, WORD topology, std::vector<const char*> parts = {}) {
        if (!pictures_) return;
        const SchematicClass* cls = FindSchematicClass(kind, topology);
        if (!FindSchematicDialog(kind, topology) || !cls) {
            ASSERT_TRUE(parts.empty()) << "no picture dialog to click in";
            RegisterSchematicDialog(kind, topology, [](CSection& s, const SchematicDialogArgs& a) {
                s.SetTopology(a.variant);
                if (s.NeedsDefaults()) {
                    s.SetDefaults();
                    s.ClearNeedsDefaults();
                }
                return fw::IDOK;
            });
            return;
        }
        const HotSpotList* list = FindHotSpotList(SchematicListId(kind, topology));
        ASSERT_NE(list, nullptr);
        std::vector<fw::Point> clicks;
        for (const char* part : parts) {
            int group = -1;
            for (size_t g = 0; g < cls->groups.size(); ++g)
                if (cls->groups[g].caption && std::string(cls->groups[g].caption) == part) group = static_cast<int>(g);
            ASSERT_GE(group, 0) << part;
            clicks.push_back(PointIn(*list, group));
        }
        ui_.windows.Script(IDD_SCHEMATIC, [clicks](fw::Dialog& d) {
            for (fw::Point p : clicks) d.UserMouse(fw::MouseEvent::LButtonUp, p);
            d.UserClicked(fw::IDOK);
        });
    }
    // A point of the group that no earlier group covers.
    static fw::Point PointIn(const HotSpotList& list, int group) {
        for (const fw::Rect& r : list.groups[size_t(group)])
            for (int y = r.top; y < r.bottom; ++y)
                for (int x = r.left; x < r.right; ++x) {
                    int hit = -1;
                    for (size_t g = 0; g < list.groups.size() && hit < 0; ++g)
                        for (const fw::Rect& q : list.groups[g])
                            if (q.PtInRect({x, y})) hit = static_cast<int>(g);
                    if (hit == group) return {x, y};
                }
        ADD_FAILURE() << "group " << group << " has no point of its own";
        return {};
    }

    // Types the fields of the next run of the template and presses OK.
    void Fill(UINT templateId, std::vector<std::pair<int, const char*>> fields, std::vector<int> clicks = {}) {
        ui_.windows.Script(templateId, [fields, clicks](fw::Dialog& d) {
            for (int id : clicks) d.UserClicked(id);
            for (const auto& f : fields) d.UserTyped(f.first, f.second);
            d.UserClicked(fw::IDOK);
        });
    }
    void Choose(UINT templateId, int variant) { Fill(templateId, {}, {IDC_SELECT_VARIANT0 + variant}); }
    void Run(UINT command) { EXPECT_TRUE(Frame().ExecuteCommand(command)) << command; }

    void BuildThroughSetup();
    void ExpectSavedAsExpected();

    CDesignDocFactory designs_;
    SchematicDialogsSnapshot keep_;
    bool pictures_ = false;
};

void SetupFirstConfigTest::BuildThroughSetup() {
    app_.OnFileNew();
    ASSERT_NE(app_.GetDocument(), nullptr);

    Fill(IDD_REQUIREMENTS, {{IDC_REQ_OUTPUT1_VOLTAGE, "10.7"}});
    Run(ID_SETUP_REQUIREMENTS);

    Fill(IDD_LINE_VOLTAGE, {{IDC_DC_MAGNITUDE, "48"}});
    Fill(IDD_INDUCTOR_SHORT, {{IDC_INDUCTANCE, "1e-6"}});
    Fill(IDD_RESISTOR, {{IDC_RESISTANCE, "0.1"}});
    Fill(IDD_SELECT_LINE_SOURCE, {}, {IDC_LINE_SOURCE_DC, IDC_LINE_VOLTAGE, IDC_LINE_INDUCTANCE, IDC_LINE_RESISTANCE});
    Run(ID_SETUP_LINE_SOURCE);

    Choose(IDD_SELECT_LINE_FILTER, CLineFilter::FILTER_NONE);
    Run(ID_SETUP_LINE_FILTER);
    Choose(IDD_SELECT_LINE_RECTIFIER, 0);
    Run(ID_SETUP_LINE_RECTIFIER);
    Picture(SectionKind::InputCapacitor, 0);
    Choose(IDD_SELECT_INPUT_CAPACITOR, 0);
    Run(ID_SETUP_INPUT_CAPACITOR);

    Fill(IDD_PWR_TRANSFORMER, {{IDC_XFMR_AC_RESISTANCE, "1e-6"}, {IDC_XFMR_AC_RESISTANCE + 1, "1e-6"}});
    Picture(SectionKind::PrimarySection, CPrimarySection::TWO_SWITCH_RESISTOR, {"Power Transformer"});
    Choose(IDD_SELECT_PRIMARY_SECTION, CPrimarySection::TWO_SWITCH_RESISTOR);
    Run(ID_SETUP_PRIMARY_SECTION);

    Picture(SectionKind::SecondarySection, 0);
    Choose(IDD_SELECT_SECONDARY_SECTION, 0);
    Run(ID_SETUP_SECONDARY_SECTION);
    Picture(SectionKind::OutputChoke, 0);
    Choose(IDD_SELECT_OUTPUT_CHOKE, 0);
    Run(ID_SETUP_OUTPUT_CHOKE);
    Fill(IDD_CAPACITOR, {{IDC_CAPACITANCE, "100e-6"}});
    Picture(SectionKind::FirstStageOutputFilter, 0, {"Capacitor Out1"});
    Choose(IDD_SELECT_FIRST_STAGE_FILTER, 0);
    Run(ID_SETUP_FIRST_STAGE_FILTER);
    Choose(IDD_SELECT_SECOND_STAGE_FILTER, 0);
    Run(ID_SETUP_SECOND_STAGE_FILTER);
    Fill(IDD_RESISTOR, {{IDC_RESISTANCE, "5"}});
    Picture(SectionKind::LoadNetwork, 0, {"Resistor Load"});
    Choose(IDD_SELECT_LOAD_NETWORK, 0);
    Run(ID_SETUP_LOAD_NETWORK);

    Picture(SectionKind::ControlSection, CControlSection::VOLTAGE_MODE);
    Choose(IDD_SELECT_CONTROL_SECTION, CControlSection::VOLTAGE_MODE);
    Run(ID_SETUP_CONTROL_SECTION);
    Fill(IDD_RESISTOR_SHORT, {{IDC_RESISTANCE, "1e6"}});
    Fill(IDD_VOLTAGE_SOURCE, {{IDC_DC_MAGNITUDE, "1.5556"}});
    Picture(SectionKind::VoltageErrorAmp, 7, {"Resistor 1", "Voltage Source V Ref"});
    Choose(IDD_SELECT_VOLTAGE_ERROR_AMP, 7);
    Run(ID_SETUP_ERROR_AMPLIFIER);
    Choose(IDD_SELECT_OPTO_ISOLATOR, COptoIsolator::kTopologyNone);
    Run(ID_SETUP_OPTO_ISOLATOR);
    Fill(IDD_VOLTAGE_FEEDBACK_WEIGHTING, {});
    Run(ID_SETUP_VOLTAGE_FEEDBACK);
}

void SetupFirstConfigTest::ExpectSavedAsExpected() {
    CDocumentHost* host = app_.GetDocument();
    CPwrQuorraDoc& design = host->Design();

    for (const auto& [id, left] : ui_.windows.scripts) EXPECT_TRUE(left.empty()) << "unused script of " << id;
    EXPECT_TRUE(ui_.sink.boxes.empty()) << ui_.sink.boxes.front();
    // The design is complete, and Problem Check finds nothing.
    EXPECT_TRUE(design.GetCircuitComplete());
    EXPECT_TRUE(Frame().ExecuteCommand(ID_ANALYSIS_PROBLEM_CHECK));
    EXPECT_TRUE(ui_.sink.boxes.empty()) << ui_.sink.boxes.front();

    SetRun(design);
    const std::string built = ::testing::TempDir() + "pq_setup_first_config_built.SEF";
    ASSERT_TRUE(host->OnSaveDocument(built));

    CPwrQuorraDoc expected;
    expected.OnNewDocument();
    BuildExpected(expected);
    SetRun(expected);
    expected.CheckAllSections();
    const std::string made = ::testing::TempDir() + "pq_setup_first_config_expected.SEF";
    ASSERT_TRUE(expected.OnSaveDocument(made));

    EXPECT_EQ(test_support::DifferingRecords(design, expected), std::vector<std::string>{});
    EXPECT_TRUE(test_support::ReadAll(built) == test_support::ReadAll(made)) << "the design files differ";
    std::remove(built.c_str());
    std::remove(made.c_str());
}

TEST_F(SetupFirstConfigTest, TheSetupMenuAloneBuildsTheRegressionDesign) {
    pictures_ = true;
    BuildThroughSetup();
    ExpectSavedAsExpected();
}

TEST_F(SetupFirstConfigTest, TheSetupRoadAloneBuildsItWithStandInPictures) {
    RegisterStandIns();
    BuildThroughSetup();
    ExpectSavedAsExpected();
}

}  // namespace
