#include "PwrSectionsSupport.h"

using namespace circuit_test;

namespace {

using FeedbackNetworks = PwrSectionTest;

}  // namespace

TEST_F(FeedbackNetworks, DefaultVoltageNetworkWithOneOutput) {
    CVoltageFeedbackNetwork v;
    EXPECT_EQ(v.SumEnabledWeights(), 100.0);
    v.CheckChosen(TRUE);
    EXPECT_TRUE(v.IsValid());
    EXPECT_EQ(SummaryText(v),
              "\r\n\r\nVoltage Feedback Network:  \r\n  Output 1 Weight:  1.000e+002 per cent");
}

TEST_F(FeedbackNetworks, WeightSumWithinTwoPerCent) {
    struct Case {
        double w1;
        double w2;
        bool valid;
    };
    const Case cases[] = {{98.0, 0.0, true},     {102.0, 0.0, true}, {97.999, 0.0, false},
                          {102.001, 0.0, false}, {50.0, 48.0, true}, {60.0, 42.5, false}};
    EnableOutputs(doc_.requirements, {1, 2});
    doc_.control.GetFeedbackCurrentSourceVIS().m_iSensedCurrent = 1;
    doc_.control.GetLimitCurrentSourceVISCL().m_iSensedCurrent = 1;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.w1) + " + " + std::to_string(c.w2));
        CVoltageFeedbackNetwork v;
        CCurrentFeedbackNetwork f;
        CCurrentLimitNetwork l;
        v.m_bOutputEnable = {1, 1, 0, 0};
        v.m_dOutputWeight = {c.w1, c.w2, 0, 0};
        for (CCurrentNetworkBase* n : {static_cast<CCurrentNetworkBase*>(&f), static_cast<CCurrentNetworkBase*>(&l)}) {
            n->m_bOutputEnable = {1, 1, 0, 0};
            n->m_dOutputWeight = {c.w1, c.w2, 0, 0};
        }
        sink_.Clear();
        v.CheckChosen(TRUE);
        f.CheckChosen(TRUE);
        l.CheckChosen(TRUE);
        EXPECT_EQ(v.IsValid(), c.valid ? 1 : 0);
        EXPECT_EQ(f.IsValid(), c.valid ? 1 : 0);
        EXPECT_EQ(l.IsValid(), c.valid ? 1 : 0);
        const std::vector<std::string> expected =
            c.valid ? std::vector<std::string>() : std::vector<std::string>({Msg(52157), Msg(52029), Msg(52032)});
        EXPECT_EQ(sink_.boxes, expected);
    }
}

TEST_F(FeedbackNetworks, OnlyEnabledOutputsCountAndShow) {
    EnableOutputs(doc_.requirements, {1, 3});
    CVoltageFeedbackNetwork v;
    v.m_bOutputEnable = {1, 1, 0, 0};
    v.m_dOutputWeight = {60.0, 40.0, 0, 0};   // output 2 is disabled: neither counted nor shown
    v.m_bModulatorEnable = {0, 0, 1, 0};
    v.m_dModulatorWeight = {0, 0, 40.0, 0};   // output 3's own weight is not enabled
    v.m_dModulatorRC = {0, 0, 1e-3, 0};
    EXPECT_EQ(v.SumEnabledWeights(), 100.0);
    EXPECT_TRUE(v.IsWeightSumValid());
    EXPECT_EQ(SummaryText(v), "\r\n\r\nVoltage Feedback Network:  "
                              "\r\n  Output 1 Weight:  6.000e+001 per cent"
                              "\r\n  Modulator 3 Weight:  4.000e+001 per cent"
                              "\r\n  Modulator 3 RC Time Constant:  1.000e-003 seconds");
    v.m_bOutputEnable.fill(0);
    v.m_bModulatorEnable.fill(0);
    EXPECT_EQ(SummaryText(v), "\r\n\r\nVoltage Feedback Network:  \r\n  Nothing Enabled");
}

TEST_F(FeedbackNetworks, CurrentNetworksTakePartByTheControlSection) {
    CCurrentFeedbackNetwork f;
    CCurrentLimitNetwork l;
    f.m_bOutputEnable = {1, 0, 0, 0};
    f.m_dOutputWeight = {10.0, 0, 0, 0};
    l = CCurrentLimitNetwork();
    l.m_bOutputEnable = {1, 0, 0, 0};
    l.m_dOutputWeight = {10.0, 0, 0, 0};
    EnableOutputs(doc_.requirements, {1, 2});

    // Primary source: no summary at all and never flagged.
    f.CheckChosen(TRUE);
    l.CheckChosen(TRUE);
    EXPECT_TRUE(f.IsValid());
    EXPECT_TRUE(l.IsValid());
    EXPECT_EQ(SummaryText(f), "");
    EXPECT_EQ(SummaryText(l), "");

    doc_.control.GetFeedbackCurrentSourceVIS().m_iSensedCurrent = 2;
    doc_.control.GetLimitCurrentSourceVISCL().m_iSensedCurrent = 2;  // not the choke
    f.CheckChosen(TRUE);
    l.CheckChosen(TRUE);
    EXPECT_FALSE(f.IsValid());
    EXPECT_TRUE(l.IsValid());
    EXPECT_EQ(SummaryText(f), "\r\n\r\nCurrent Feedback Network:  \r\n  Output 1 Weight:  1.000e+001 per cent");
    EXPECT_EQ(SummaryText(l), "");

    doc_.control.GetLimitCurrentSourceVISCL().m_iSensedCurrent = 1;
    l.CheckChosen(TRUE);
    EXPECT_FALSE(l.IsValid());
    l.m_bOutputEnable.fill(0);
    EXPECT_EQ(SummaryText(l), "\r\n\r\nCurrent Limit Network:  \r\n  Nothing Enabled");

    // With one enabled output the weights do not matter.
    EnableOutputs(doc_.requirements, {2});
    f.CheckChosen(TRUE);
    l.CheckChosen(TRUE);
    EXPECT_TRUE(f.IsValid());
    EXPECT_TRUE(l.IsValid());
}

TEST_F(FeedbackNetworks, ArchiveLayoutAndTags) {
    CVoltageFeedbackNetwork v;
    v.m_bModulatorEnable = {0, 1, 0, 0};
    v.m_dModulatorRC = {0, 2e-3, 0, 0};
    ByteBuilder expected;
    expected.Header(kVoltageFeedbackNetworkTag).I32(1);
    for (int32_t e : {1, 0, 0, 0, 0, 1, 0, 0}) expected.I32(e);
    for (double d : {100.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 2e-3, 0.0, 0.0}) expected.F64(d);
    EXPECT_EQ(Store(v), expected.bytes);
    CVoltageFeedbackNetwork vIn;
    ExpectRoundTrip(v, vIn);

    // Both current networks carry the current feedback tag.
    CCurrentLimitNetwork l;
    l.m_bOutputEnable = {0, 0, 1, 1};
    l.m_dOutputWeight = {0, 0, 30.0, 70.0};
    l.m_bValid = 0;
    ByteBuilder limit;
    limit.Header(kCurrentFeedbackNetworkTag).I32(0);
    for (int32_t e : {0, 0, 1, 1}) limit.I32(e);
    for (double d : {0.0, 0.0, 30.0, 70.0}) limit.F64(d);
    EXPECT_EQ(Store(l), limit.bytes);
    CCurrentLimitNetwork lIn;
    ExpectRoundTrip(l, lIn);
    CCurrentFeedbackNetwork fIn;
    ASSERT_TRUE(Load(fIn, limit.bytes));
    EXPECT_EQ(fIn.m_dOutputWeight[3], 70.0);

    struct Case {
        fw::Object* record;
        Bytes bytes;
        int code;
    };
    CVoltageFeedbackNetwork v2;
    CCurrentFeedbackNetwork f2;
    CCurrentLimitNetwork l2;
    const Case cases[] = {
        {&v2, ByteBuilder().Str(kCurrentFeedbackNetworkTag).bytes, 2600},
        {&v2, ByteBuilder().Str(kVoltageFeedbackNetworkTag).U16(1).bytes, 2601},
        {&f2, ByteBuilder().Str("<CURRENT_LIMIT_NETWORK_DATA>").bytes, 2602},
        {&f2, ByteBuilder().Str(kCurrentFeedbackNetworkTag).U16(1).bytes, 2603},
        {&l2, ByteBuilder().Str("<CURRENT_LIMIT_NETWORK_DATA>").bytes, 2604},
        {&l2, ByteBuilder().Str(kCurrentFeedbackNetworkTag).U16(1).bytes, 2605},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        ASSERT_TRUE(Load(*c.record, c.bytes));
        EXPECT_EQ(Logged().back(), Code(kModuleFbNet, c.code));
    }
    EXPECT_EQ(l2.m_strTag, kCurrentFeedbackNetworkTag);
    EXPECT_EQ(v2.m_dOutputWeight[0], 100.0);
}

TEST_F(FeedbackNetworks, CopyAndCompare) {
    CVoltageFeedbackNetwork a;
    CVoltageFeedbackNetwork b;
    b.m_dModulatorRC[3] = 1e-6;
    EXPECT_TRUE(b != a);
    b = a;
    EXPECT_FALSE(b != a);
    b.m_bValid = 0;
    EXPECT_TRUE(b != a);

    CCurrentFeedbackNetwork f;
    CCurrentFeedbackNetwork g;
    g.m_dOutputWeight[1] = 5.0;
    EXPECT_TRUE(g != f);
    g = f;
    EXPECT_FALSE(g != f);
}
