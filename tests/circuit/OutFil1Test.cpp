#include "PwrSectionsSupport.h"

using namespace circuit_test;

namespace {

using FirstStageFilter = PwrSectionTest;

void NameParts(C1StgOutputFilter& f) {
    f.GetCapacitorOut1().m_strName = "C Out 1";
    f.GetCapacitorDamp1().m_strName = "C Damp 1";
    f.GetResistorDamp1().m_strName = "R Damp 1";
    f.GetCapacitorBias().m_strName = "C Bias";
    f.GetCurrentSenseDiode().m_strName = "D Sense";
    f.GetResistorBias1().m_strName = "R Bias 1";
    f.GetResistorBias2().m_strName = "R Bias 2";
    f.GetResistorCapSense().m_strName = "R Cap Sense";
    f.GetCurrentSenseTransformer().m_strName = "T Sense";
    f.GetVoltageSourceVBias().m_dDCMagnitude = 3.3;
}

}  // namespace

TEST_F(FirstStageFilter, CheckOfEnabledAndDisabledOutputs) {
    C1StgOutputFilter f;
    f.SetOutputNumber(2);
    f.CheckChosen(TRUE);
    EXPECT_TRUE(f.IsValid());
    EXPECT_TRUE(sink_.boxes.empty());

    EnableOutputs(doc_.requirements, {1, 3});
    f.CheckChosen(TRUE);
    EXPECT_FALSE(f.IsValid());
    EXPECT_EQ(sink_.boxes, std::vector<std::string>{"Problem:  First Stage Output Filter 3 has not been chosen."});
    f.SetTopology(0);
    f.CheckChosen(TRUE);
    EXPECT_TRUE(f.IsValid());
}

TEST_F(FirstStageFilter, DefaultsRoundTripAndComparison) {
    C1StgOutputFilter f;
    f.SetOutputNumber(1);
    f.SetTopology(3);
    f.SetDefaults();
    EXPECT_EQ(f.GetTopology(), 3);
    CDiode d1;
    d1.SetDefaults(1);
    EXPECT_FALSE(f.GetCurrentSenseDiode() != d1);
    CTransformer t0;
    t0.SetDefaults(0);
    EXPECT_FALSE(f.GetCurrentSenseTransformer() != t0);
    NameParts(f);
    C1StgOutputFilter into;
    into.SetOutputNumber(1);
    ExpectRoundTrip(f, into);

    // A part the variant does not use still counts.
    C1StgOutputFilter other;
    other = f;
    other.SetTopology(0);
    f.SetTopology(0);
    other.GetVoltageSourceVBias().m_dDCMagnitude = 1.0;
    EXPECT_TRUE(other != f);
}

TEST_F(FirstStageFilter, DamagedRecords) {
    C1StgOutputFilter f;
    f.SetOutputNumber(3);
    NameParts(f);
    ASSERT_TRUE(Load(f, ByteBuilder().Raw(BaseRecord(2)).Str("<2_STG_OUTPUT_FILTER_DATA>").bytes));
    EXPECT_EQ(f.GetOutputNumber(), 3);
    EXPECT_EQ(f.GetTopology(), 2);
    EXPECT_FALSE(f.GetCapacitorOut1() != CCapacitor());
    EXPECT_EQ(Logged().back(), Code(kModuleOutFil1, 1000));
    ASSERT_TRUE(Load(f, ByteBuilder().Raw(BaseRecord(2)).Str(k1StgOutputFilterTag).U16(4).bytes));
    EXPECT_EQ(Logged().back(), Code(kModuleOutFil1, 1001));

    ResetFileWarnings();
    sink_.Clear();
    C1StgOutputFilter stored;
    stored.SetOutputNumber(0);
    NameParts(stored);
    ASSERT_TRUE(Load(f, Store(stored)));
    EXPECT_EQ(f.GetOutputNumber(), 3);
    EXPECT_EQ(f.GetCurrentSenseTransformer().m_strName, "T Sense");
    EXPECT_EQ(sink_.boxes, std::vector<std::string>{Msg(52080)});
    EXPECT_EQ(Logged().back(), Code(kModuleOutFil1, 1003));
}

TEST_F(FirstStageFilter, SummaryOfEveryVariant) {
    C1StgOutputFilter f;
    f.SetDefaults();
    NameParts(f);
    std::string text = SummariesOf(f, {0, 1, 2, 3, 999});
    f.SetOutputNumber(4);
    text += "output number 4" + SummariesOf(f, {0});
    ExpectGolden("C1StgOutputFilter_summary.txt", text);

    f.SetOutputNumber(0);
    f.SetTopology(4);
    EXPECT_EQ(Summary(f), "\r\n\r\nFirst Stage Output Filter 1:  ");
    EXPECT_EQ(Logged().back(), Code(kModuleOutFil1, 1002));
}
