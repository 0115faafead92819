#include "CircuitTestSupport.h"

using namespace circuit_test;

namespace {

Bytes BaseRecord(WORD topology, int32_t valid, int32_t pending) {
    return ByteBuilder().Header("<BASE_SECTION_DATA>").U16(topology).I32(valid).I32(pending).bytes;
}

// A line rectifier's class record alone (what follows the base record).
Bytes ClassRecordOf(const CLineRectifier& r) {
    Bytes all = Store(r);
    const size_t base = BaseRecord(0, 0, 0).size();
    return Bytes(all.begin() + long(base), all.end());
}

class SectionBase : public ReportingTest {};

}  // namespace

TEST_F(SectionBase, FreshSectionHasBaseDefaults) {
    CSection bare;
    EXPECT_EQ(bare.GetTopology(), 999);
    EXPECT_FALSE(bare.IsValid());
    EXPECT_TRUE(bare.NeedsDefaults());
    EXPECT_EQ(bare.GetClassTag(), "<NOT-INITIALIZED>");
    EXPECT_EQ(bare.GetBaseTag(), "<BASE_SECTION_DATA>");
    EXPECT_EQ(bare.GetSignature(), "Halverd-PowerQuorra");

    CLineRectifier rect;
    EXPECT_EQ(rect.GetTopology(), 999);
    EXPECT_FALSE(rect.IsValid());
    EXPECT_TRUE(rect.NeedsDefaults());
    EXPECT_EQ(rect.GetClassTag(), "<LINE_RECTIFIER_DATA>");
    rect.ClearNeedsDefaults();
    EXPECT_FALSE(rect.NeedsDefaults());
}

TEST_F(SectionBase, AssignmentCopiesVariantAndFlagsButKeepsTags) {
    CLineRectifier rect;
    rect.SetTopology(3);
    rect.ClearNeedsDefaults();
    CInputCapacitor cap;
    CSection& target = cap;
    target = rect;
    EXPECT_EQ(cap.GetTopology(), 3);
    EXPECT_FALSE(cap.NeedsDefaults());
    EXPECT_EQ(cap.GetClassTag(), "<INPUT_CAPACITOR_DATA>");
    EXPECT_EQ(cap.GetBaseTag(), "<BASE_SECTION_DATA>");
    // Equal in every base field but the class tag: still different.
    EXPECT_TRUE(static_cast<const CSection&>(cap) != static_cast<const CSection&>(rect));
    CLineRectifier other;
    other.SetTopology(3);
    other.ClearNeedsDefaults();
    EXPECT_FALSE(static_cast<const CSection&>(other) != static_cast<const CSection&>(rect));
}

TEST_F(SectionBase, WriteLabelWritesTheStringOfBasePlusTopology) {
    CSection s;
    s.SetTopology(2);
    fw::StringFile f;
    EXPECT_TRUE(s.WriteLabel(f, 51690));
    EXPECT_EQ(f.text, Msg(51692));
    EXPECT_EQ(f.text, "Current Source Load");

    s.SetTopology(999);  // no such string: nothing written
    fw::StringFile none;
    EXPECT_TRUE(s.WriteLabel(none, 51690));
    EXPECT_EQ(none.text, "");
}

TEST_F(SectionBase, BaseRecordIsWrittenFirstInItsLayout) {
    CLineRectifier rect;
    rect.SetTopology(5);
    rect.ClearNeedsDefaults();
    rect.CheckChosen(FALSE);  // no document: not valid
    Bytes all = Store(rect);
    Bytes base = BaseRecord(999, 0, 0);
    ASSERT_GE(all.size(), base.size());
    EXPECT_EQ(Bytes(all.begin(), all.begin() + long(base.size())), base);

    rect.SetTopology(4);
    all = Store(rect);
    base = BaseRecord(4, 0, 0);
    EXPECT_EQ(Bytes(all.begin(), all.begin() + long(base.size())), base);
}

TEST_F(SectionBase, DamagedBaseRecordFallsBackAndTheClassRecordIsStillRead) {
    CLineRectifier source;
    source.SetTopology(2);
    source.GetDiode().m_strName = "From File";
    const Bytes classRecord = ClassRecordOf(source);

    struct Case {
        const char* name;
        Bytes base;
        std::string box;
        std::string code;
    };
    const Case cases[] = {
        {"wrong tag", ByteBuilder().Str("<BASE_SECTION>").bytes, Msg(52080), Code(56076, 4700)},
        {"wrong schema", ByteBuilder().Str("<BASE_SECTION_DATA>").U16(1).bytes, Msg(52081), Code(56076, 4701)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        NewLoad();

        CLineRectifier loaded;
        loaded.SetTopology(1);
        loaded.ClearNeedsDefaults();
        Bytes bytes = c.base;
        bytes.insert(bytes.end(), classRecord.begin(), classRecord.end());
        EXPECT_TRUE(Load(loaded, bytes));
        EXPECT_EQ(loaded.GetTopology(), 999);
        EXPECT_FALSE(loaded.IsValid());
        EXPECT_TRUE(loaded.NeedsDefaults());
        EXPECT_EQ(loaded.GetBaseTag(), "<BASE_SECTION_DATA>");
        EXPECT_EQ(loaded.GetClassTag(), "<LINE_RECTIFIER_DATA>");
        EXPECT_EQ(loaded.GetDiode().m_strName, "From File");
        EXPECT_EQ(sink_.boxes, std::vector<std::string>{c.box});
        EXPECT_EQ(Logged(), (std::vector<std::string>{c.box, c.code}));
    }
}

TEST_F(SectionBase, SectionsRegisterForCreationByName) {
    for (const char* name : {"CSection", "CLineRectifier", "CInputCapacitor", "CLineFilter"}) {
        auto obj = fw::ClassRegistry::Create(name);
        ASSERT_TRUE(obj) << name;
        EXPECT_STREQ(obj->GetClassName(), name);
    }
}
