#include "PwrSectionsSupport.h"

using namespace circuit_test;

namespace {

class VoltageErrorAmp : public ReportingTest {};

void NameParts(CVoltageErrorAmp& a) {
    a.GetCapacitor1().m_strName = "C1";
    a.GetCapacitor2().m_strName = "C2";
    a.GetCapacitor3().m_strName = "C3";
    a.GetOperationalAmplifier().m_dMaximumOutput = 12.0;
    a.GetResistor1().m_strName = "R1";
    a.GetResistor2().m_strName = "R2";
    a.GetResistor3().m_strName = "R3";
    a.GetResistorFeedback().m_strName = "R Fb";
    a.GetUnderVoltLockOut().m_dTurnOnVoltage = 9.0;
}

}  // namespace

TEST_F(VoltageErrorAmp, NotChosenUntilAVariantIs) {
    CVoltageErrorAmp a;
    a.CheckChosen(TRUE);
    EXPECT_FALSE(a.IsValid());
    EXPECT_EQ(sink_.boxes, std::vector<std::string>{Msg(52120)});
    a.SetTopology(7);
    a.CheckChosen(TRUE);
    EXPECT_TRUE(a.IsValid());
}

TEST_F(VoltageErrorAmp, DefaultsRoundTripAndDamage) {
    CVoltageErrorAmp a;
    a.SetTopology(2);
    a.SetDefaults();
    EXPECT_EQ(a.GetVoltageSourceVRef().m_dDCMagnitude, 5.0);
    EXPECT_EQ(a.GetResistorFeedback().m_dResistance, 1e-6);
    EXPECT_EQ(a.GetCapacitor1().m_dCapacitance, 1e-14);
    NameParts(a);
    CVoltageErrorAmp into;
    ExpectRoundTrip(a, into);

    // A record no variant without DC feedback shows still counts.
    CVoltageErrorAmp other;
    other = a;
    other.GetResistorFeedback().m_dResistance = 2.0;
    EXPECT_TRUE(other != a);

    ASSERT_TRUE(Load(into, ByteBuilder().Raw(BaseRecord(2)).Str(kLoadNetworkTag).bytes));
    EXPECT_EQ(Logged().back(), Code(kModuleVErAmp, 1400));
    EXPECT_EQ(into.GetTopology(), 2);
    EXPECT_EQ(into.GetVoltageSourceVRef().m_dDCMagnitude, 0.0);
    ASSERT_TRUE(Load(into, ByteBuilder().Raw(BaseRecord(2)).Str(kVoltageErrorAmpTag).U16(9).bytes));
    EXPECT_EQ(Logged().back(), Code(kModuleVErAmp, 1401));
}

TEST_F(VoltageErrorAmp, SummaryOfEveryVariant) {
    CVoltageErrorAmp a;
    a.SetDefaults();
    NameParts(a);
    ExpectGolden("CVoltageErrorAmp_summary.txt", SummariesOf(a, {0, 1, 2, 3, 4, 5, 6, 7, 999}));

    a.SetTopology(8);
    EXPECT_EQ(Summary(a), "\r\n\r\nVoltage Error Amp:  ");
    EXPECT_EQ(Logged().back(), Code(kModuleVErAmp, 1402));
}
