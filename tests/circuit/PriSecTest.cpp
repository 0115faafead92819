#include <cmath>

#include "PwrSectionsSupport.h"

using namespace circuit_test;

namespace {

using X = CPwrTransformer;

// A design fed by a DC line source of `volts` without line rectifier, so
// that the rectified input voltage is the source voltage itself.
class PrimaryCheck : public ReportingTest {
protected:
    void SetUp() override {
        ReportingTest::SetUp();
        doc_.lineFilter.SetLineSourceType(CLineFilter::SOURCE_DC);
        doc_.lineFilter.GetLineVoltage().m_dDCMagnitude = 100.0;
        doc_.lineRectifier.SetTopology(CLineRectifier::RECT_NONE);
        EnableOutputs(doc_.requirements, {1});
        Xfmr().m_dTurns[X::kPrimary] = 10.0;
        Xfmr().m_dTurns[X::kSecondary1] = 1.0;
    }
    CPrimarySection& Primary() { return doc_.primarySection; }
    CPwrTransformer& Xfmr() { return doc_.primarySection.GetPowerTransformer(); }
    void SetTarget(int output, double volts) { doc_.requirements.GetOutput(output - 1)->SetTargetVoltage(volts); }
    void Check() {
        sink_.Clear();
        Primary().CheckChosen(doc_.requirements, TRUE);
    }

    PwrDoc doc_;
};

}  // namespace

TEST_F(PrimaryCheck, NotChosenReportsOnlyThat) {
    Xfmr().m_dTurns[X::kPrimary] = 0.0;
    Check();
    EXPECT_FALSE(Primary().IsValid());
    EXPECT_EQ(sink_.boxes, Boxes({52116}));
}

// Np = 10, N1 = 1, 100 V: the two-switch limit is 100 / 10 / 2 = 5 V, the
// single switch with Nr = 10 gives 100 / 20 = 5 V, the others 100 / 10 = 10 V.
TEST_F(PrimaryCheck, RealizabilityOfTheTargetVoltage) {
    struct Case {
        WORD topology;
        double target;
        bool valid;
    };
    const Case cases[] = {
        {0, 5.0, false}, {0, 4.99, true},  {1, 5.0, false}, {1, 4.99, true}, {2, 5.0, false}, {3, 4.99, true},
        {4, 9.99, true}, {4, 10.0, false}, {5, 9.99, true}, {8, 9.99, true}, {9, 10.0, false},
    };
    Xfmr().m_dTurns[X::kReset] = 10.0;
    for (const Case& c : cases) {
        SCOPED_TRACE("topology " + std::to_string(c.topology) + " target " + std::to_string(c.target));
        Primary().SetTopology(c.topology);
        SetTarget(1, c.target);
        Check();
        EXPECT_EQ(Primary().IsValid(), c.valid ? 1 : 0);
        EXPECT_EQ(sink_.boxes, c.valid ? Boxes({}) : Boxes({52166}));
    }
}

TEST_F(PrimaryCheck, NegativePolarityReachesAnyPositiveTarget) {
    Primary().SetTopology(0);
    Xfmr().m_Connections[X::kEndA] = X::kRectifierOnly;
    SetTarget(1, 1000.0);
    Check();
    EXPECT_TRUE(Primary().IsValid());
    EXPECT_TRUE(sink_.boxes.empty());
}

// Without primary turns nothing can be reached; the design says so once
// and the realizability test, which would divide by them, is left out.
TEST_F(PrimaryCheck, PrimaryTurnsNotPositive) {
    for (double np : {0.0, -10.0}) {
        SCOPED_TRACE(np);
        Primary().SetTopology(4);
        Xfmr().m_dTurns[X::kPrimary] = np;
        SetTarget(1, 1000.0);
        Check();
        EXPECT_FALSE(Primary().IsValid());
        EXPECT_EQ(sink_.boxes, Boxes({52167}));
        EXPECT_FALSE(Primary().IsOutputVoltageRealizable(1.0, 1.0, 1, 100.0));
    }
}

TEST_F(PrimaryCheck, SingleSwitchWithoutPositiveTurnsReachesNothing) {
    Primary().SetTopology(2);
    Xfmr().m_dTurns[X::kReset] = -10.0;
    EXPECT_FALSE(Primary().IsOutputVoltageRealizable(-1000.0, 1.0, 1, 100.0));
}

TEST_F(PrimaryCheck, MissingConnectionReportedOnce) {
    Primary().SetTopology(4);
    EnableOutputs(doc_.requirements, {1, 3});
    SetTarget(3, 1.0);
    Xfmr().m_dTurns[X::kSecondary3] = 1.0;
    Xfmr().m_Connections[X::kEndE] = X::kNotConnected;
    Check();
    EXPECT_EQ(sink_.boxes, Boxes({52165}));
    EXPECT_FALSE(Primary().IsValid());

    // Winding 1 unconnected as well: still one message.
    Xfmr().m_Connections[X::kEndB] = X::kNotConnected;
    Check();
    EXPECT_EQ(sink_.boxes, Boxes({52165}));

    // A disabled output's winding may stay unconnected.
    EnableOutputs(doc_.requirements, {1});
    Xfmr().m_Connections[X::kEndB] = X::kRectifierOnly;
    Check();
    EXPECT_TRUE(sink_.boxes.empty());
    EXPECT_TRUE(Primary().IsValid());
}

TEST_F(PrimaryCheck, CrossConductionOfTheActiveClamp) {
    struct Case {
        WORD topology;
        double sw1[4];
        double sw2[4];
        size_t messages;
    };
    const double t = 1e-8;
    const Case cases[] = {
        {6, {t, t, t, t}, {t, t, t, t}, 0},      // equal sums pass
        {7, {t, t, t, t}, {0, t, t, t}, 1},      // SW2 on before SW1 off
        {6, {0, t, t, t}, {t, t, t, t}, 1},      // SW1 on before SW2 off
        {7, {0, t, t, t}, {0, t, t, t}, 2},      // both
        {8, {0, t, t, t}, {0, t, t, t}, 0},      // no clamp switch
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("topology " + std::to_string(c.topology));
        Primary().SetTopology(c.topology);
        SetTarget(1, 1.0);
        SetTiming(Primary().GetSwitchSW1(), c.sw1[0], c.sw1[1], c.sw1[2], c.sw1[3]);
        SetTiming(Primary().GetSwitchSW2(), c.sw2[0], c.sw2[1], c.sw2[2], c.sw2[3]);
        Check();
        EXPECT_EQ(sink_.boxes, std::vector<std::string>(c.messages, Msg(52030)));
        EXPECT_EQ(Primary().IsValid(), c.messages == 0 ? 1 : 0);
    }
}

TEST_F(PrimaryCheck, EveryTestRunsInOrder) {
    Primary().SetTopology(6);
    SetTiming(Primary().GetSwitchSW1(), 0, 1e-8, 1e-8, 1e-8);
    SetTiming(Primary().GetSwitchSW2(), 0, 1e-8, 1e-8, 1e-8);
    Xfmr().m_Connections[X::kEndB] = X::kNotConnected;
    SetTarget(1, 10.0);
    Check();
    EXPECT_EQ(sink_.boxes, Boxes({52165, 52030, 52030, 52166}));

    Xfmr().m_dTurns[X::kPrimary] = 0.0;
    Check();
    EXPECT_EQ(sink_.boxes, Boxes({52167, 52165, 52030, 52030}));

    // Without the report flag the verdict is the same and nothing is shown.
    sink_.Clear();
    Primary().CheckChosen(doc_.requirements, FALSE);
    EXPECT_FALSE(Primary().IsValid());
    EXPECT_TRUE(sink_.boxes.empty());
}

// Secondary turns 1, 2, 4 and 8, so that every effective-turns sum is
// distinct. With Np = 100 and 100 V the limit of output k is T(k) volts
// (resonant reset): a target of s(k) * (T(k) - 0.001) passes and one of
// s(k) * T(k) fails, which pins both the polarity and the effective turns.
TEST_F(PrimaryCheck, WindingPolarityAndEffectiveTurns) {
    struct Case {
        const char* name;
        int outputs;
        int32_t ends[8];  // A to H
        int polarity[4];
        double turns[4];
        bool polarityMessage;  // 52019 logged
    };
    const Case cases[] = {
        {"two linked B-C, A grounded", 2, {2, 1, 1, 3, 2, 3, 2, 3}, {1, 1}, {1, 3}, false},
        {"two linked B-C, A to rectifier", 2, {3, 1, 1, 3, 2, 3, 2, 3}, {-1, -1}, {3, 2}, false},
        {"three, D-E linked with opposite polarity", 3, {2, 3, 2, 1, 1, 2, 2, 3}, {1, 1, -1}, {1, 2, 6}, true},
        {"four stacked upward", 4, {2, 1, 1, 1, 1, 1, 1, 3}, {1, 1, 1, 1}, {1, 3, 7, 15}, false},
        {"four stacked downward", 4, {3, 1, 1, 1, 1, 1, 1, 2}, {-1, -1, -1, -1}, {15, 14, 12, 8}, false},
        {"four separate", 4, {2, 3, 2, 3, 2, 3, 2, 3}, {1, 1, 1, 1}, {1, 2, 4, 8}, false},
    };
    Primary().SetTopology(4);
    Xfmr().m_dTurns[X::kPrimary] = 100.0;
    Xfmr().m_dTurns[X::kSecondary1] = 1.0;
    Xfmr().m_dTurns[X::kSecondary2] = 2.0;
    Xfmr().m_dTurns[X::kSecondary3] = 4.0;
    Xfmr().m_dTurns[X::kSecondary4] = 8.0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EnableFirstOutputs(doc_.requirements, c.outputs);
        for (int e = 0; e < 8; ++e) Xfmr().m_Connections[size_t(e)] = c.ends[e];
        auto passing = [&] {
            for (int k = 1; k <= c.outputs; ++k) SetTarget(k, c.polarity[k - 1] * (c.turns[k - 1] - 0.001));
        };
        passing();
        RestartLog();
        Check();
        EXPECT_TRUE(Primary().IsValid());
        EXPECT_TRUE(sink_.boxes.empty());
        const std::vector<std::string> polarityLog = c.polarityMessage ? std::vector<std::string>{Msg(52019)}
                                                                       : std::vector<std::string>{};
        EXPECT_EQ(Logged(), polarityLog);
        for (int k = 1; k <= c.outputs; ++k) {
            SCOPED_TRACE("output " + std::to_string(k));
            passing();
            SetTarget(k, c.polarity[k - 1] * c.turns[k - 1]);
            Check();
            EXPECT_FALSE(Primary().IsValid());
            EXPECT_EQ(sink_.boxes, Boxes({52166}));
        }
    }
}

TEST_F(PrimaryCheck, RealizabilityStopsAtTheHighestFailingOutput) {
    Primary().SetTopology(4);
    EnableOutputs(doc_.requirements, {1, 2});
    Xfmr().m_dTurns[X::kSecondary2] = 1.0;
    SetTarget(1, 100.0);
    SetTarget(2, 100.0);
    Check();
    EXPECT_EQ(sink_.boxes, Boxes({52166}));
}

// Input voltage after the rectifier: with Np = N1 = 10 (resonant reset)
// the limit equals it.
TEST_F(PrimaryCheck, InputVoltageAfterTheLineRectifier) {
    struct Case {
        WORD rectifier;
        WORD source;
        double temp;
        double vin;
    };
    const double vd = 0.7;
    const double vdHot = 0.7 * std::exp(100.0 * -0.002);
    const Case cases[] = {
        {CLineRectifier::RECT_NONE, CLineFilter::SOURCE_1_PHASE_AC, 25.0, 180.0},
        {CLineRectifier::RECT_HALF_WAVE, CLineFilter::SOURCE_1_PHASE_AC, 25.0, 180.0 - vd},
        {CLineRectifier::RECT_FULL_WAVE_BRIDGE, CLineFilter::SOURCE_1_PHASE_AC, 25.0, 180.0 - 2 * vd},
        {CLineRectifier::RECT_FULL_WAVE_BRIDGE, CLineFilter::SOURCE_1_PHASE_AC, 125.0, 180.0 - 2 * vdHot},
        {CLineRectifier::RECT_FULL_WAVE_SINGLE_CAP, CLineFilter::SOURCE_2_PHASE_AC, 25.0, 360.0 - 2 * vd},
        {CLineRectifier::RECT_FULL_WAVE_SINGLE_CAP, CLineFilter::SOURCE_3_PHASE_AC, 25.0,
         std::sqrt(3.0) * 180.0 - 2 * vd},
        {CLineRectifier::RECT_HALF_WAVE_DOUBLER, CLineFilter::SOURCE_1_PHASE_AC, 25.0, 360.0 - 2 * vd},
        {CLineRectifier::RECT_MULTI_PHASE_DOUBLER, CLineFilter::SOURCE_3_PHASE_AC, 25.0, 360.0 - 2 * vd},
    };
    Primary().SetTopology(4);
    Xfmr().m_dTurns[X::kSecondary1] = 10.0;
    doc_.lineFilter.GetLineVoltage().m_dDCMagnitude = 10.0;
    doc_.lineFilter.GetLineVoltage().m_dACPeakMagnitude = 170.0;
    doc_.lineRectifier.GetDiode().m_dForwardVoltage = vd;
    doc_.lineRectifier.GetDiode().m_dForwardVoltageTempCoef = -0.002;
    for (const Case& c : cases) {
        SCOPED_TRACE("rectifier " + std::to_string(c.rectifier) + " source " + std::to_string(c.source));
        doc_.lineRectifier.SetTopology(c.rectifier);
        doc_.lineFilter.SetLineSourceType(c.source);
        doc_.requirements.m_dOperatingTemp = c.temp;
        SetTarget(1, c.vin * (1 - 1e-9));
        Check();
        EXPECT_TRUE(Primary().IsValid());
        SetTarget(1, c.vin * (1 + 1e-9));
        Check();
        EXPECT_FALSE(Primary().IsValid());
    }
}

// ---------------------------------------------------------------------------
// Defaults, archive, comparison, summary

namespace {

// Every record carries its own name, so the summaries show which record
// stands under which caption.
void NameParts(CPrimarySection& p) {
    p.GetSenseAmplifier().m_dVoltageGain = 21.0;
    p.GetClampCapacitor().m_strName = "C Clamp";
    p.GetResetCapacitor().m_strName = "C Reset";
    p.GetDiode1And2().m_strName = "D1 D2";
    p.GetClampDiode().m_strName = "D Clamp";
    p.GetCurrentSenseDiode().m_strName = "D Sense";
    p.GetResetDiode().m_strName = "D Reset";
    p.GetClampResistor().m_strName = "R Clamp";
    p.GetSenseResistor().m_strName = "R Sense";
    p.GetPowerTransformer().m_strName = "T Power";
    p.GetCurrentSenseTransformer().m_strName = "T Sense";
    p.GetSwitchSW2().m_strName = "Q SW2";
    p.GetSwitchSW1().m_strName = "Q SW1";
}

using PrimarySection = PwrSectionTest;

}  // namespace

TEST_F(PrimarySection, NewSectionAndDefaults) {
    CPrimarySection p;
    EXPECT_EQ(p.GetTopology(), kTopologyNotChosen);
    EXPECT_TRUE(p.NeedsDefaults());
    EXPECT_EQ(p.GetClassTag(), kPrimarySectionTag);
    EXPECT_EQ(p.GetSenseResistor().m_dResistance, 1.0e-8);

    p.SetTopology(3);
    p.SetDefaults();
    EXPECT_EQ(p.GetTopology(), 3);
    CResistor r0;
    r0.SetDefaults(0);
    EXPECT_FALSE(p.GetSenseResistor() != r0);
    CTransformer t1;
    t1.SetDefaults(1);
    EXPECT_FALSE(p.GetCurrentSenseTransformer() != t1);
    const CPwrTransformer& x = p.GetPowerTransformer();
    EXPECT_EQ(x.m_dTurns[X::kReset], x.m_dTurns[X::kPrimary]);
    EXPECT_EQ(x.m_dTurns[X::kPrimary], 10.0);
    EXPECT_EQ(x.m_dDcResistance[X::kReset], x.m_dDcResistance[X::kPrimary]);
    EXPECT_EQ(x.m_dOpenInductance[X::kReset], x.m_dOpenInductance[X::kPrimary]);
}

TEST_F(PrimarySection, StoresLoadsAndCompares) {
    CPrimarySection p;
    p.SetDefaults();
    p.SetTopology(7);
    NameParts(p);
    p.GetPowerTransformer().m_Connections[X::kEndD] = X::kAdjacentWinding;
    CPrimarySection q;
    ExpectRoundTrip(p, q);

    // Any member makes a difference, the last one included.
    CPrimarySection r;
    r = p;
    EXPECT_FALSE(r != p);
    r.GetSwitchSW1().m_dFallTime += 1e-9;
    EXPECT_TRUE(r != p);
    r = p;
    r.GetSenseAmplifier().m_dVoltageGain = 1.0;
    EXPECT_TRUE(r != p);
}

TEST_F(PrimarySection, WrongTagOrSchemaFallsBackToDefaults) {
    struct Case {
        Bytes own;
        UINT warning;
        int code;
    };
    const Case cases[] = {
        {ByteBuilder().Str("<SECONDARY_SECTION_DATA>").bytes, 52080, 1100},
        {ByteBuilder().Str(kPrimarySectionTag).U16(1).bytes, 52081, 1101},
    };
    for (const Case& c : cases) {
        NewLoad();
        CPrimarySection p;
        p.SetDefaults();
        NameParts(p);
        ASSERT_TRUE(Load(p, ByteBuilder().Raw(BaseRecord(5)).Raw(c.own).bytes));
        EXPECT_EQ(p.GetTopology(), 5);
        EXPECT_EQ(p.GetClassTag(), kPrimarySectionTag);
        CTransistorFE builtIn;
        EXPECT_FALSE(p.GetSwitchSW1() != builtIn);
        EXPECT_EQ(p.GetSenseResistor().m_dResistance, 1.0e-8);
        EXPECT_EQ(sink_.boxes, std::vector<std::string>{Msg(c.warning)});
        const std::vector<std::string> log = Logged();
        ASSERT_FALSE(log.empty());
        EXPECT_EQ(log.back(), Code(kModulePriSec, c.code));
    }
}

TEST_F(PrimarySection, SummaryOfEveryVariant) {
    EnableOutputs(doc_.requirements, {1, 2});
    CPrimarySection p;
    p.SetDefaults();
    NameParts(p);
    ExpectGolden("CPrimarySection_summary.txt", SummariesOf(p, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 999, 10}));

    // Only the single-switch variants print the reset winding.
    for (WORD t = 0; t <= 9; ++t) {
        p.SetTopology(t);
        EXPECT_EQ(Summary(p).find("Reset Winding") != std::string::npos, t == 2 || t == 3) << t;
    }
    RestartLog();
    p.SetTopology(10);
    EXPECT_EQ(Summary(p), std::string("\r\n\r\nPrimary Section:  "));
    EXPECT_EQ(Logged(), std::vector<std::string>{Code(kModulePriSec, 1102)});
}
