#include "PwrSectionsSupport.h"

using namespace circuit_test;

namespace {

using LoadNetwork = PwrSectionTest;

void NameParts(CLoadNetwork& n) {
    n.GetCurrentSourceILoad().m_dDCMagnitude = 2.5;
    n.GetInductorLoad1().m_strName = "L Load 1";
    n.GetInductorLoad2().m_strName = "L Load 2";
    n.GetResistorLoad1().m_strName = "R Load 1";
    n.GetResistorLoad2().m_strName = "R Load 2";
}

}  // namespace

TEST_F(LoadNetwork, CheckOfEnabledAndDisabledOutputs) {
    CLoadNetwork n;
    n.SetOutputNumber(1);
    n.CheckChosen(TRUE);
    EXPECT_TRUE(n.IsValid());
    EnableOutputs(doc_.requirements, {2});
    n.CheckChosen(TRUE);
    EXPECT_FALSE(n.IsValid());
    EXPECT_EQ(sink_.boxes, std::vector<std::string>{"Problem:  Load Network 2 has not been chosen."});
}

TEST_F(LoadNetwork, DefaultsRoundTripAndDamage) {
    CLoadNetwork n;
    n.SetOutputNumber(1);
    n.SetTopology(1);
    n.SetDefaults();
    EXPECT_EQ(n.GetResistorLoad2().m_dResistance, 1e8);
    EXPECT_EQ(n.GetResistorLoad1().m_dResistance, 1e-6);
    EXPECT_EQ(n.GetCurrentSourceILoad().m_dDCMagnitude, 0.0);
    NameParts(n);
    CLoadNetwork into;
    into.SetOutputNumber(1);
    ExpectRoundTrip(n, into);

    ASSERT_TRUE(Load(into, ByteBuilder().Raw(BaseRecord(1)).Str(kOptoIsolatorTag).bytes));
    EXPECT_EQ(Logged().back(), Code(kModuleLdNet, 800));
    EXPECT_EQ(into.GetOutputNumber(), 1);
    ASSERT_TRUE(Load(into, ByteBuilder().Raw(BaseRecord(1)).Str(kLoadNetworkTag).U16(1).bytes));
    EXPECT_EQ(Logged().back(), Code(kModuleLdNet, 801));
    into.SetOutputNumber(0);
    ASSERT_TRUE(Load(into, Store(n)));
    EXPECT_EQ(into.GetOutputNumber(), 0);
    EXPECT_EQ(Logged().back(), Code(kModuleLdNet, 803));
}

TEST_F(LoadNetwork, SummaryOfEveryVariant) {
    CLoadNetwork n;
    n.SetDefaults();
    NameParts(n);
    std::string text = SummariesOf(n, {0, 1, 2, 3, 999});
    n.SetOutputNumber(4);
    text += "output number 4" + SummariesOf(n, {999});
    ExpectGolden("CLoadNetwork_summary.txt", text);

    n.SetTopology(4);
    EXPECT_EQ(Summary(n), "\r\n\r\nLoad Network:  ");
    EXPECT_EQ(Logged().back(), Code(kModuleLdNet, 802));
}
