#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "SetupTestSupport.h"
#include "circuit/AppServices.h"
#include "circuit/Doc.h"
#include "setup/RequireDg.h"
#include "setup/SelctDlg.h"
#include "setup/SetupMgr.h"
#include "setup/WeightDg.h"

namespace {

constexpr const char* kCannotEdit = "Problem:  This circuit variant cannot be edited yet.";

class CountingAppServices : public CAppServices {
public:
    void SetDocument(CPwrQuorraDoc*) override {}
    void RefreshMainFrame(int) override { ++refreshes; }
    BOOL IsLoggingOn() override { return TRUE; }
    intptr_t GetMainWindowHandle() override { return 0; }
    void ServeWorkerRequests() override {}
    int refreshes = 0;
};

// One schematic dialog run as the setup manager made it.
struct SchematicRun {
    SectionKind kind;
    SchematicDialogArgs args;
    WORD copyVariant;
};

class SetupMgrTest : public DialogTest {
protected:
    void SetUp() override {
        DialogTest::SetUp();
        ClearSchematicDialogs();
        ClearCouplingDialog();
        previousServices_ = SetAppServices(&app_);
        doc_.OnNewDocument();
        mgr_.SetDocument(&doc_);
        app_.refreshes = 0;
    }
    void TearDown() override {
        SetAppServices(previousServices_);
        DialogTest::TearDown();
    }
    // A schematic dialog that sets its variant, applies the edit and answers.
    template <class Section>
    void RegisterFake(WORD variant, int answer, std::function<void(Section&)> edit = nullptr) {
        RegisterSchematicDialogOf<Section>(variant, [this, answer, edit](Section& s, const SchematicDialogArgs& a) {
            s.SetTopology(a.variant);
            runs_.push_back({SectionKindOf<Section>::value, a, s.GetTopology()});
            if (edit) edit(s);
            return answer;
        });
    }
    void ScriptSelect(UINT id, int variantRadio, int outputRadio = -1, bool ok = true) {
        ui.windows.Script(id, [=](fw::Dialog& d) {
            if (outputRadio >= 0) d.UserClicked(IDC_SELECT_OUTPUT1 + outputRadio);
            if (variantRadio >= 0) d.UserClicked(IDC_SELECT_VARIANT0 + variantRadio);
            d.UserClicked(ok ? fw::IDOK : fw::IDCANCEL);
        });
    }
    void EnableOutputs(int n) {
        for (int k = 0; k < 4; ++k) doc_.GetRequirements()->m_Outputs[size_t(k)].m_bEnabled = k < n;
        doc_.GetRequirements()->CheckOutputs(FALSE);
    }
    int AutoDesign() { return doc_.GetMiscData()->m_nAutoDesign; }

    SchematicDialogsSnapshot keep_;
    CountingAppServices app_;
    CAppServices* previousServices_ = nullptr;
    CPwrQuorraDoc doc_;
    CSetupMgr mgr_;
    std::vector<SchematicRun> runs_;
};

TEST_F(SetupMgrTest, RequirementsRaiseTheAutoDesignFlagAndCommitOnlyAChange) {
    // OK without a change: 0 becomes 1, nothing is modified.
    ui.windows.Script(IDD_REQUIREMENTS, [](fw::Dialog& d) { d.UserClicked(fw::IDOK); });
    mgr_.SetupRequirements();
    EXPECT_EQ(AutoDesign(), 1);
    EXPECT_FALSE(doc_.IsModified());
    EXPECT_EQ(app_.refreshes, 0);

    // A change is committed, checked and shown.
    ui.windows.Script(IDD_REQUIREMENTS, [](fw::Dialog& d) {
        d.UserClicked(IDC_REQ_OUTPUT1_ENABLED + 1);
        d.UserClicked(fw::IDOK);
    });
    mgr_.SetupRequirements();
    EXPECT_TRUE(doc_.IsModified());
    EXPECT_EQ(doc_.GetRequirements()->GetOutputCount(), 2);
    EXPECT_EQ(app_.refreshes, 1);

    // 2 stays 2; Cancel changes nothing.
    doc_.GetMiscData()->m_nAutoDesign = 2;
    doc_.SetModifiedFlag(FALSE);
    ui.windows.Script(IDD_REQUIREMENTS, [](fw::Dialog& d) {
        d.UserTyped(IDC_REQ_OPERATING_TEMP, "50");
        d.UserClicked(fw::IDCANCEL);
    });
    mgr_.SetupRequirements();
    ui.windows.Script(IDD_REQUIREMENTS, [](fw::Dialog& d) { d.UserClicked(fw::IDOK); });
    mgr_.SetupRequirements();
    EXPECT_EQ(AutoDesign(), 2);
    EXPECT_FALSE(doc_.IsModified());
    EXPECT_EQ(doc_.GetRequirements()->GetOperatingTemp(), 25.0);
}

TEST_F(SetupMgrTest, WeightingAndLineSourceSetTheFlagToTwoAndCommitAChange) {
    struct Case {
        const char* name;
        UINT templateId;
        std::function<void(fw::Dialog&)> edit;
        std::function<void(CSetupMgr&)> command;
        std::function<bool(CPwrQuorraDoc&)> changed;
    };
    const Case cases[] = {
        {"voltage feedback", IDD_VOLTAGE_FEEDBACK_WEIGHTING, [](fw::Dialog& d) { d.UserTyped(IDC_WEIGHT_OUTPUT1, "99.5"); },
         [](CSetupMgr& m) { m.SetupVoltageFeedbackNetwork(); },
         [](CPwrQuorraDoc& d) { return d.GetVoltageFeedbackNetwork()->m_dOutputWeight[0] == 99.5; }},
        {"current feedback", IDD_CURRENT_FEEDBACK_WEIGHTING,
         [](fw::Dialog& d) {
             d.CheckDlgButton(IDC_WEIGHT_OUTPUT1_ENABLE, 1);
             d.UserTyped(IDC_WEIGHT_OUTPUT1, "98.5");
         },
         [](CSetupMgr& m) { m.SetupCurrentFeedbackNetwork(); },
         [](CPwrQuorraDoc& d) { return d.GetCurrentFeedbackNetwork()->m_dOutputWeight[0] == 98.5; }},
        {"current limit", IDD_CURRENT_LIMIT_WEIGHTING, [](fw::Dialog& d) {
             d.CheckDlgButton(IDC_WEIGHT_OUTPUT1_ENABLE, 1);
             d.UserTyped(IDC_WEIGHT_OUTPUT1, "100");
         },
         [](CSetupMgr& m) { m.SetupCurrentLimitNetwork(); },
         [](CPwrQuorraDoc& d) { return d.GetCurrentLimitNetwork()->m_dOutputWeight[0] == 100.0; }},
        {"line source", IDD_SELECT_LINE_SOURCE, [](fw::Dialog& d) { d.UserClicked(IDC_LINE_SOURCE_DC + 1); },
         [](CSetupMgr& m) { m.SetupLineSource(); },
         [](CPwrQuorraDoc& d) { return d.GetLineFilter()->GetLineSourceType() == 1; }},
    };
    for (const Case& c : cases) {
        doc_.OnNewDocument();
        ui.sink.Clear();
        // Cancel: nothing.
        ui.windows.Script(c.templateId, [&](fw::Dialog& d) {
            c.edit(d);
            d.UserClicked(fw::IDCANCEL);
        });
        c.command(mgr_);
        EXPECT_EQ(AutoDesign(), 0) << c.name;
        EXPECT_FALSE(doc_.IsModified()) << c.name;
        EXPECT_FALSE(c.changed(doc_)) << c.name;
        // OK with a change.
        doc_.GetMiscData()->m_nAutoDesign = 1;
        ui.windows.Script(c.templateId, [&](fw::Dialog& d) {
            c.edit(d);
            d.UserClicked(fw::IDOK);
        });
        c.command(mgr_);
        EXPECT_TRUE(ui.sink.boxes.empty()) << c.name;
        EXPECT_TRUE(c.changed(doc_)) << c.name;
        EXPECT_TRUE(doc_.IsModified()) << c.name;
        EXPECT_EQ(AutoDesign(), 2) << c.name;
    }
}

TEST_F(SetupMgrTest, LineSourceOKWithoutChangeSetsOnlyTheFlag) {
    doc_.GetLineFilter()->SetLineSourceType(0);
    ui.windows.Script(IDD_SELECT_LINE_SOURCE, [](fw::Dialog& d) { d.UserClicked(fw::IDOK); });
    mgr_.SetupLineSource();
    EXPECT_EQ(AutoDesign(), 2);
    EXPECT_FALSE(doc_.IsModified());
}

TEST_F(SetupMgrTest, SchematicDialogGetsTheCopyAndItsIds) {
    RegisterFake<CLineFilter>(3, fw::IDCANCEL);
    RegisterFake<CPrimarySection>(7, fw::IDCANCEL);
    RegisterFake<CLoadNetwork>(2, fw::IDCANCEL);
    ScriptSelect(IDD_SELECT_LINE_FILTER, 3);
    mgr_.SetupLineFilter();
    ScriptSelect(IDD_SELECT_PRIMARY_SECTION, 7);
    mgr_.SetupPrimarySection();
    EnableOutputs(3);
    ScriptSelect(IDD_SELECT_LOAD_NETWORK, 2, 2);
    mgr_.SetupLoadNetwork();
    ASSERT_EQ(runs_.size(), 3u);
    EXPECT_EQ(runs_[0].args.pictureId, 403u);
    EXPECT_EQ(runs_[0].args.listId, 803u);
    EXPECT_EQ(runs_[0].args.output, 0);
    EXPECT_EQ(runs_[0].args.templateId, 203u);
    EXPECT_EQ(runs_[1].args.pictureId, 437u);
    EXPECT_EQ(runs_[1].args.requirements, doc_.GetRequirements());
    EXPECT_EQ(runs_[2].args.pictureId, 492u);
    EXPECT_EQ(runs_[2].args.output, 3);  // output 3, numbered from 1
    // Cancel in the schematic dialog leaves the sections alone.
    EXPECT_EQ(doc_.GetLineFilter()->GetTopology(), kTopologyNotChosen);
    EXPECT_EQ(doc_.GetPrimarySection()->GetTopology(), kTopologyNotChosen);
    EXPECT_EQ(AutoDesign(), 0);
}

TEST_F(SetupMgrTest, SchematicOKCommitsOnlyAChange) {
    RegisterFake<CVoltageErrorAmp>(2, fw::IDOK);
    // A changed variant is a change: committed, checked, shown.
    ScriptSelect(IDD_SELECT_VOLTAGE_ERROR_AMP, 2);
    mgr_.SetupVoltageErrorAmplifier();
    EXPECT_EQ(doc_.GetVoltageErrorAmp()->GetTopology(), 2);
    EXPECT_TRUE(doc_.IsModified());
    EXPECT_EQ(AutoDesign(), 2);
    EXPECT_EQ(app_.refreshes, 1);
    // The same again changes nothing but the flag.
    doc_.SetModifiedFlag(FALSE);
    doc_.GetMiscData()->m_nAutoDesign = 0;
    ScriptSelect(IDD_SELECT_VOLTAGE_ERROR_AMP, 2);
    mgr_.SetupVoltageErrorAmplifier();
    EXPECT_FALSE(doc_.IsModified());
    EXPECT_EQ(AutoDesign(), 2);
    EXPECT_EQ(app_.refreshes, 1);
}

TEST_F(SetupMgrTest, CommitChecksTheSectionAndTheDesign) {
    RegisterFake<CInputCapacitor>(0, fw::IDOK);
    doc_.GetLineFilter()->SetLineSourceType(CLineFilter::SOURCE_1_PHASE_AC);
    doc_.GetLineRectifier()->SetTopology(2);
    doc_.GetInputCapacitor()->CheckChosen(FALSE);
    ASSERT_FALSE(doc_.GetInputCapacitor()->IsValid());
    ScriptSelect(IDD_SELECT_INPUT_CAPACITOR, 0);
    mgr_.SetupInputCapacitor();
    EXPECT_EQ(doc_.GetInputCapacitor()->GetTopology(), 0);
    EXPECT_TRUE(doc_.GetInputCapacitor()->IsValid());
    EXPECT_TRUE(doc_.IsModified());
}

TEST_F(SetupMgrTest, NoneVariantsResetTheirPartsWithoutADialog) {
    doc_.GetLineFilter()->SetTopology(0);
    doc_.GetLineFilter()->GetInductorIn1().m_dInductance = 1.0;
    doc_.GetLineFilter()->GetResistorDamp2().m_dResistance = 123.0;
    CLineFilter expected = *doc_.GetLineFilter();
    expected.SetTopology(CLineFilter::FILTER_NONE);
    expected.GetInductorIn1().SetDefaults(0);
    expected.GetResistorDamp2().SetDefaults(1);
    ScriptSelect(IDD_SELECT_LINE_FILTER, CLineFilter::FILTER_NONE);
    mgr_.SetupLineFilter();
    EXPECT_EQ(ui.windows.modalRuns, std::vector<UINT>{IDD_SELECT_LINE_FILTER});
    EXPECT_EQ(doc_.GetLineFilter()->GetTopology(), CLineFilter::FILTER_NONE);
    EXPECT_FALSE(doc_.GetLineFilter()->GetInductorIn1() != expected.GetInductorIn1());
    EXPECT_FALSE(doc_.GetLineFilter()->GetResistorDamp2() != expected.GetResistorDamp2());
    EXPECT_TRUE(doc_.IsModified());
    EXPECT_EQ(AutoDesign(), 2);

    // Nothing to reset and the same variant: the flag moves, the design does not.
    doc_.SetModifiedFlag(FALSE);
    doc_.GetMiscData()->m_nAutoDesign = 0;
    ScriptSelect(IDD_SELECT_LINE_FILTER, CLineFilter::FILTER_NONE);
    mgr_.SetupLineFilter();
    EXPECT_FALSE(doc_.IsModified());
    EXPECT_EQ(AutoDesign(), 2);
}

TEST_F(SetupMgrTest, OtherNoneVariants) {
    struct Case {
        const char* name;
        UINT select;
        int variant;
        std::function<void(CSetupMgr&)> command;
        std::function<WORD(CPwrQuorraDoc&)> topology;
    };
    const Case cases[] = {
        {"line rectifier", IDD_SELECT_LINE_RECTIFIER, 0, [](CSetupMgr& m) { m.SetupLineRectifier(); },
         [](CPwrQuorraDoc& d) { return d.GetLineRectifier()->GetTopology(); }},
        {"opto-isolator", IDD_SELECT_OPTO_ISOLATOR, 6, [](CSetupMgr& m) { m.SetupOptoIsolator(); },
         [](CPwrQuorraDoc& d) { return d.GetOptoIsolator()->GetTopology(); }},
        {"second stage", IDD_SELECT_SECOND_STAGE_FILTER, 0, [](CSetupMgr& m) { m.SetupSecondStageOutputFilter(); },
         [](CPwrQuorraDoc& d) { return d.Get2StgOutputFilter1()->GetTopology(); }},
    };
    doc_.GetLineFilter()->SetLineSourceType(0);
    for (const Case& c : cases) {
        ScriptSelect(c.select, c.variant);
        c.command(mgr_);
        EXPECT_EQ(c.topology(doc_), c.variant) << c.name;
    }
    EXPECT_EQ(ui.windows.modalRuns,
              (std::vector<UINT>{IDD_SELECT_LINE_RECTIFIER, IDD_SELECT_OPTO_ISOLATOR, IDD_SELECT_SECOND_STAGE_FILTER}));
}

TEST_F(SetupMgrTest, VariantWithoutADialogIsRefused) {
    ScriptSelect(IDD_SELECT_CONTROL_SECTION, 1);
    mgr_.SetupControlSection();
    EXPECT_EQ(ui.sink.boxes, std::vector<std::string>{kCannotEdit});
    EXPECT_EQ(doc_.GetControlSection()->GetTopology(), kTopologyNotChosen);
    EXPECT_FALSE(doc_.IsModified());
    EXPECT_EQ(AutoDesign(), 0);
}

TEST_F(SetupMgrTest, RememberedOutputIsStoredEvenWhenTheSchematicIsCancelled) {
    EnableOutputs(2);
    RegisterFake<C1StgOutputFilter>(1, fw::IDCANCEL);
    ScriptSelect(IDD_SELECT_FIRST_STAGE_FILTER, 1, 1);
    mgr_.SetupFirstStageOutputFilter();
    EXPECT_EQ(doc_.GetMiscData()->m_wReserved[2], 1);
    EXPECT_TRUE(doc_.IsModified());
    EXPECT_EQ(doc_.Get1StgOutputFilter2()->GetTopology(), kTopologyNotChosen);
    EXPECT_EQ(AutoDesign(), 0);
    // The next command opens on that output.
    bool onOutput2 = false;
    ui.windows.Script(IDD_SELECT_FIRST_STAGE_FILTER, [&](fw::Dialog& d) {
        onOutput2 = d.IsDlgButtonChecked(IDC_SELECT_OUTPUT1 + 1) != 0;
        d.UserClicked(fw::IDCANCEL);
    });
    mgr_.SetupFirstStageOutputFilter();
    EXPECT_TRUE(onOutput2);
}

TEST_F(SetupMgrTest, PerOutputCommandsEditTheChosenOutputsSection) {
    EnableOutputs(4);
    RegisterFake<CSecondarySection>(0, fw::IDOK, [](CSecondarySection& s) { s.SetSynchronous(TRUE); });
    RegisterFake<CLoadNetwork>(3, fw::IDOK);
    RegisterFake<C2StgOutputFilter>(1, fw::IDOK);
    ScriptSelect(IDD_SELECT_SECONDARY_SECTION, 0, 3);
    mgr_.SetupSecondarySection();
    ScriptSelect(IDD_SELECT_LOAD_NETWORK, 3, 1);
    mgr_.SetupLoadNetwork();
    ScriptSelect(IDD_SELECT_SECOND_STAGE_FILTER, 1, 2);
    mgr_.SetupSecondStageOutputFilter();
    EXPECT_TRUE(doc_.GetSecondarySection4()->IsSynchronous());
    EXPECT_FALSE(doc_.GetSecondarySection1()->IsSynchronous());
    EXPECT_EQ(doc_.GetLoadNetwork2()->GetTopology(), 3);
    EXPECT_EQ(doc_.GetLoadNetwork1()->GetTopology(), kTopologyNotChosen);
    EXPECT_EQ(doc_.Get2StgOutputFilter3()->GetTopology(), 1);
    EXPECT_EQ(doc_.GetLoadNetwork2()->GetOutputNumber(), 1);  // the copy went back to its own place
    const auto& remembered = doc_.GetMiscData()->m_wReserved;
    EXPECT_EQ(remembered[0], 3);
    EXPECT_EQ(remembered[4], 1);
    EXPECT_EQ(remembered[3], 2);
}

TEST_F(SetupMgrTest, OutputChokeCouplingIsCommittedAtTheSelectionsOK) {
    EnableOutputs(2);
    RegisterCouplingDialog([](COutputChokeMutualInd& c) {
        c.ShortedInductance(COutputChokeMutualInd::k12) = 1e-6;
        return CouplingDialogResult{fw::IDOK, true};
    });
    RegisterFake<COutputChoke>(0, fw::IDCANCEL);
    ui.windows.Script(IDD_SELECT_OUTPUT_CHOKE, [](fw::Dialog& d) {
        d.UserClicked(IDC_SELECT_MAGNETIC_COUPLING);
        d.UserClicked(IDC_SELECT_VARIANT0);
        d.UserClicked(fw::IDOK);
    });
    mgr_.SetupOutputChoke();
    const COutputChokeMutualInd& c = *doc_.GetOutputChokeMutualInd();
    EXPECT_EQ(c.m_bCouplingEnabled, 1);
    EXPECT_EQ(c.m_dShorted[COutputChokeMutualInd::k12], 1e-6);
    EXPECT_TRUE(doc_.IsModified());
    EXPECT_EQ(AutoDesign(), 0);  // the choke itself was not edited
    EXPECT_EQ(doc_.GetOutputChoke1()->GetTopology(), kTopologyNotChosen);

    // Cancel in the selection drops the coupling edits.
    doc_.SetModifiedFlag(FALSE);
    ui.windows.Script(IDD_SELECT_OUTPUT_CHOKE, [](fw::Dialog& d) {
        d.UserClicked(IDC_SELECT_MAGNETIC_COUPLING);  // off
        d.UserClicked(fw::IDCANCEL);
    });
    mgr_.SetupOutputChoke();
    EXPECT_EQ(doc_.GetOutputChokeMutualInd()->m_bCouplingEnabled, 1);
    EXPECT_FALSE(doc_.IsModified());
}

TEST_F(SetupMgrTest, EditorsRefuseBadVariantsAndOutputs) {
    struct Case {
        std::function<void(CSetupMgr&)> edit;
        int code;
    };
    const Case cases[] = {
        {[](CSetupMgr& m) { m.EditLineFilter(10); }, 1807},
        {[](CSetupMgr& m) { m.EditLineRectifier(6); }, 1809},
        {[](CSetupMgr& m) { m.EditInputCapacitor(kTopologyNotChosen); }, 1811},
        {[](CSetupMgr& m) { m.EditPrimarySection(10); }, 1813},
        {[](CSetupMgr& m) { m.EditSecondarySection(0, 4); }, 1815},
        {[](CSetupMgr& m) { m.EditSecondarySection(1, 0); }, 1816},
        {[](CSetupMgr& m) { m.EditOutputChoke(0, kNoOutput); }, 1818},
        {[](CSetupMgr& m) { m.EditOutputChoke(2, 0); }, 1819},
        {[](CSetupMgr& m) { m.EditFirstStageOutputFilter(4, 0); }, 1822},
        {[](CSetupMgr& m) { m.EditSecondStageOutputFilter(0, 5); }, 1824},
        {[](CSetupMgr& m) { m.EditSecondStageOutputFilter(7, 0); }, 1825},
        {[](CSetupMgr& m) { m.EditLoadNetwork(0, 9); }, 1827},
        {[](CSetupMgr& m) { m.EditLoadNetwork(4, 0); }, 1828},
        {[](CSetupMgr& m) { m.EditVoltageErrorAmplifier(8); }, 1830},
        {[](CSetupMgr& m) { m.EditOptoIsolator(7); }, 1832},
        {[](CSetupMgr& m) { m.EditControlSection(5); }, 1834},
    };
    for (const Case& c : cases) {
        ClearLogAndBoxes();
        c.edit(mgr_);
        EXPECT_TRUE(Logged("SetupMgr:  CODE ", c.code)) << c.code;
        EXPECT_TRUE(ui.sink.boxes.empty()) << c.code;
    }
    EXPECT_FALSE(doc_.IsModified());
    EXPECT_EQ(AutoDesign(), 0);
    EXPECT_TRUE(ui.windows.modalRuns.empty());
}

}  // namespace
