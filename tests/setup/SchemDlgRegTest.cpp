#include <gtest/gtest.h>

#include "circuit/LinFil.h"
#include "setup/SchemDlgReg.h"

namespace {

class SchemDlgRegTest : public ::testing::Test {
protected:
    void SetUp() override {
        ClearSchematicDialogs();
        ClearCouplingDialog();
    }
    SchematicDialogsSnapshot keep_;
};

TEST_F(SchemDlgRegTest, PictureAndListIdsFollowTheVariantTable) {
    struct Case {
        SectionKind kind;
        WORD variant;
        UINT picture;  // 0: the variant has no dialog
    };
    const Case cases[] = {
        {SectionKind::LineFilter, 0, 400},       {SectionKind::LineFilter, 8, 408},
        {SectionKind::LineFilter, 9, 0},         {SectionKind::LineRectifier, 0, 0},
        {SectionKind::LineRectifier, 1, 410},    {SectionKind::LineRectifier, 5, 414},
        {SectionKind::InputCapacitor, 3, 423},   {SectionKind::PrimarySection, 9, 439},
        {SectionKind::PrimarySection, 10, 0},    {SectionKind::SecondarySection, 0, 450},
        {SectionKind::SecondarySection, 1, 0},   {SectionKind::OutputChoke, 1, 461},
        {SectionKind::FirstStageOutputFilter, 2, 472}, {SectionKind::SecondStageOutputFilter, 0, 0},
        {SectionKind::SecondStageOutputFilter, 6, 485}, {SectionKind::LoadNetwork, 3, 493},
        {SectionKind::VoltageErrorAmp, 7, 507},  {SectionKind::OptoIsolator, 6, 0},
        {SectionKind::ControlSection, 4, 524},   {SectionKind::ControlSection, 999, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SchematicPictureId(c.kind, c.variant), c.picture) << int(c.kind) << " " << c.variant;
        EXPECT_EQ(SchematicListId(c.kind, c.variant), c.picture ? c.picture + 400 : 0u);
    }
}

TEST_F(SchemDlgRegTest, RegisteredDialogRunsOnTheTypedSection) {
    EXPECT_EQ(FindSchematicDialog(SectionKind::LineFilter, 3), nullptr);
    RegisterSchematicDialogOf<CLineFilter>(3, [](CLineFilter& s, const SchematicDialogArgs& a) {
        s.SetTopology(a.variant);
        return 1;
    });
    const SchematicDialogFn* run = FindSchematicDialog(SectionKind::LineFilter, 3);
    ASSERT_NE(run, nullptr);
    EXPECT_EQ(FindSchematicDialog(SectionKind::LineFilter, 4), nullptr);
    EXPECT_EQ(FindSchematicDialog(SectionKind::LineRectifier, 3), nullptr);

    CLineFilter copy;
    SchematicDialogArgs args;
    args.variant = 3;
    EXPECT_EQ((*run)(copy, args), 1);
    EXPECT_EQ(copy.GetTopology(), 3);

    // A second registration replaces the first; an empty one removes it.
    RegisterSchematicDialog(SectionKind::LineFilter, 3, [](CSection&, const SchematicDialogArgs&) { return 2; });
    EXPECT_EQ((*FindSchematicDialog(SectionKind::LineFilter, 3))(copy, args), 2);
    RegisterSchematicDialog(SectionKind::LineFilter, 3, nullptr);
    EXPECT_EQ(FindSchematicDialog(SectionKind::LineFilter, 3), nullptr);
}

TEST_F(SchemDlgRegTest, CouplingDialogIsOptional) {
    EXPECT_EQ(FindCouplingDialog(), nullptr);
    RegisterCouplingDialog([](COutputChokeMutualInd&) { return CouplingDialogResult{1, true}; });
    ASSERT_NE(FindCouplingDialog(), nullptr);
    ClearCouplingDialog();
    EXPECT_EQ(FindCouplingDialog(), nullptr);
}

TEST_F(SchemDlgRegTest, SnapshotPutsTheRegistryBack) {
    RegisterSchematicDialog(SectionKind::LoadNetwork, 1, [](CSection&, const SchematicDialogArgs&) { return 1; });
    {
        SchematicDialogsSnapshot inner;
        ClearSchematicDialogs();
        RegisterSchematicDialog(SectionKind::LoadNetwork, 2, [](CSection&, const SchematicDialogArgs&) { return 1; });
        RegisterCouplingDialog([](COutputChokeMutualInd&) { return CouplingDialogResult{}; });
    }
    EXPECT_NE(FindSchematicDialog(SectionKind::LoadNetwork, 1), nullptr);
    EXPECT_EQ(FindSchematicDialog(SectionKind::LoadNetwork, 2), nullptr);
    EXPECT_EQ(FindCouplingDialog(), nullptr);
}

}  // namespace
