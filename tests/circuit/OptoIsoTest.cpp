#include "PwrSectionsSupport.h"

using namespace circuit_test;

namespace {

class OptoIsolator : public ReportingTest {};

void NameParts(COptoIsolator& o) {
    o.GetDriverSource().m_dSourceVoltage = 12.0;
    o.GetDiodeLED().m_strName = "D LED";
    o.GetDriveResistor().m_strName = "R Drive";
    o.GetDriveTransistor().m_dForwardBiasVoltage = 0.65;
    o.GetBiasVoltage().m_dBiasVoltage = 5.0;
    o.GetPhotoTransistor().m_dCurrentTransferRatio = 0.8;
    o.GetLoadResistor().m_strName = "R Load";
    o.GetPoleCapacitor().m_strName = "C Pole";
    o.GetResistorAmp1().m_strName = "R Amp 1";
    o.GetResistorAmp2().m_strName = "R Amp 2";
    o.GetOperationalAmplifier().m_dMaximumOutput = 15.0;
    o.GetVoltageSourceVRef().m_dDCMagnitude = 2.5;
}

}  // namespace

TEST_F(OptoIsolator, NewSectionHasNone) {
    COptoIsolator o;
    EXPECT_EQ(o.GetTopology(), 6);
    EXPECT_TRUE(o.NeedsDefaults());
    o.CheckChosen(TRUE);
    EXPECT_TRUE(o.IsValid());
    EXPECT_EQ(Summary(o), "\r\n\r\nOpto-Isolator:  None\r\n  None");
}

TEST_F(OptoIsolator, CheckOfVariantAndDriverSource) {
    struct Case {
        WORD topology;
        int32_t driver;
        bool valid;
    };
    const Case cases[] = {{999, 0, false}, {6, 5, false}, {0, -1, false}, {3, 4, true}, {6, 0, true}};
    COptoIsolator o;
    for (const Case& c : cases) {
        SCOPED_TRACE("topology " + std::to_string(c.topology) + " driver " + std::to_string(c.driver));
        sink_.Clear();
        o.SetTopology(c.topology);
        o.GetDriverSource().m_nDriverSource = c.driver;
        o.CheckChosen(TRUE);
        EXPECT_EQ(o.IsValid(), c.valid ? 1 : 0);
        EXPECT_EQ(sink_.boxes, c.valid ? std::vector<std::string>{} : std::vector<std::string>{Msg(52113)});
    }
}

TEST_F(OptoIsolator, DefaultsRoundTripAndDamage) {
    COptoIsolator o;
    o.SetTopology(5);
    o.SetDefaults();
    EXPECT_EQ(o.GetTopology(), 5);
    EXPECT_EQ(o.GetVoltageSourceVRef().m_dDCMagnitude, 0.0);
    NameParts(o);
    COptoIsolator into;
    ExpectRoundTrip(o, into);

    ASSERT_TRUE(Load(into, ByteBuilder().Raw(BaseRecord(5)).Str(kVoltageErrorAmpTag).bytes));
    EXPECT_EQ(Logged().back(), Code(kModuleOptoIso, 10100));
    EXPECT_EQ(into.GetTopology(), 5);
    EXPECT_EQ(into.GetLoadResistor().m_strName, CResistor().m_strName);
    ASSERT_TRUE(Load(into, ByteBuilder().Raw(BaseRecord(5)).Str(kOptoIsolatorTag).U16(1).bytes));
    EXPECT_EQ(Logged().back(), Code(kModuleOptoIso, 10101));
}

TEST_F(OptoIsolator, SummaryOfEveryVariant) {
    COptoIsolator o;
    o.SetDefaults();
    NameParts(o);
    std::string text = SummariesOf(o, {0, 1, 2, 3, 4, 5, 6, 999});
    o.GetDriverSource().m_nDriverSource = 2;
    text += "driver output 2" + SummariesOf(o, {0});
    ExpectGolden("COptoIsolator_summary.txt", text);

    o.SetTopology(7);
    const std::string unknown = Summary(o);
    EXPECT_EQ(unknown.find("\r\n\r\nOpto-Isolator:  \r\n  Driver Source:  "), 0u);
    EXPECT_EQ(Logged().back(), Code(kModuleOptoIso, 10102));
}
