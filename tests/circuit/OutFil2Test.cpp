#include "PwrSectionsSupport.h"

using namespace circuit_test;

namespace {

using SecondStageFilter = PwrSectionTest;

void NameParts(C2StgOutputFilter& f) {
    f.GetCapacitorOut2().m_strName = "C Out 2";
    f.GetCapacitorDamp2().m_strName = "C Damp 2";
    f.GetInductorOut2().m_strName = "L Out 2";
    f.GetInductorOut3().m_strName = "L Out 3";
    f.GetResistorDamp2().m_strName = "R Damp 2";
    f.GetResistorDamp3().m_strName = "R Damp 3";
}

}  // namespace

TEST_F(SecondStageFilter, CheckOfEnabledAndDisabledOutputs) {
    C2StgOutputFilter f;
    f.SetOutputNumber(3);
    f.CheckChosen(TRUE);
    EXPECT_TRUE(f.IsValid());
    EnableOutputs(doc_.requirements, {4});
    f.CheckChosen(TRUE);
    EXPECT_FALSE(f.IsValid());
    EXPECT_EQ(sink_.boxes, std::vector<std::string>{"Problem:  Second Stage Output Filter 4 has not been chosen."});
    f.SetTopology(0);  // "None" is a choice
    f.CheckChosen(TRUE);
    EXPECT_TRUE(f.IsValid());
}

TEST_F(SecondStageFilter, DefaultsRoundTripAndDamage) {
    C2StgOutputFilter f;
    f.SetOutputNumber(2);
    f.SetTopology(6);
    f.SetDefaults();
    CInductor l1;
    l1.SetDefaults(1);
    EXPECT_FALSE(f.GetInductorOut3() != l1);
    NameParts(f);
    C2StgOutputFilter into;
    into.SetOutputNumber(2);
    ExpectRoundTrip(f, into);

    ASSERT_TRUE(Load(into, ByteBuilder().Raw(BaseRecord(6)).Str(k1StgOutputFilterTag).bytes));
    EXPECT_EQ(Logged().back(), Code(kModuleOutFil2, 1050));
    EXPECT_EQ(into.GetOutputNumber(), 2);
    ASSERT_TRUE(Load(into, ByteBuilder().Raw(BaseRecord(6)).Str(k2StgOutputFilterTag).U16(1).bytes));
    EXPECT_EQ(Logged().back(), Code(kModuleOutFil2, 1051));
    into.SetOutputNumber(1);
    ASSERT_TRUE(Load(into, Store(f)));
    EXPECT_EQ(into.GetOutputNumber(), 1);
    EXPECT_EQ(Logged().back(), Code(kModuleOutFil2, 1053));
}

TEST_F(SecondStageFilter, SummaryOfEveryVariant) {
    C2StgOutputFilter f;
    f.SetDefaults();
    f.SetOutputNumber(3);
    NameParts(f);
    std::string text = SummariesOf(f, {0, 1, 2, 3, 4, 5, 6, 999});
    f.SetOutputNumber(9);
    text += "output number 9" + SummariesOf(f, {0});
    ExpectGolden("C2StgOutputFilter_summary.txt", text);

    f.SetTopology(7);
    EXPECT_EQ(Summary(f), "\r\n\r\nSecond Stage Output Filter:  ");
    EXPECT_EQ(Logged().back(), Code(kModuleOutFil2, 1052));
}
