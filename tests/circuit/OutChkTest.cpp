#include "PwrSectionsSupport.h"

using namespace circuit_test;

namespace {

using OutputChoke = PwrSectionTest;

void NameParts(COutputChoke& c) {
    c.GetSenseAmplifier().m_dVoltageGain = 7.0;
    c.GetInductorOut1().m_strName = "L Out 1";
    c.GetSkimInductor().m_strName = "L Skim";
    c.GetSenseResistor().m_strName = "R Sense";
}

using P = COutputChokeMutualInd;

class MutualInd : public ReportingTest {
protected:
    void SetOpen(int output, double henries) {
        doc_.outputChokes[output - 1].GetInductorOut1().m_dInductance = henries;
    }
    void Check() {
        sink_.Clear();
        m_.CheckChosen(TRUE);
    }

    PwrDoc doc_;
    COutputChokeMutualInd m_;
};

}  // namespace

TEST_F(OutputChoke, CheckOfEnabledAndDisabledOutputs) {
    COutputChoke c;
    c.SetOutputNumber(1);
    EnableOutputs(doc_.requirements, {1});
    c.CheckChosen(TRUE);
    EXPECT_TRUE(c.IsValid());
    EXPECT_TRUE(sink_.boxes.empty());

    EnableOutputs(doc_.requirements, {1, 2});
    c.CheckChosen(FALSE);
    EXPECT_FALSE(c.IsValid());
    EXPECT_TRUE(sink_.boxes.empty());
    c.CheckChosen(TRUE);
    EXPECT_EQ(sink_.boxes, std::vector<std::string>{"Problem:  Output Choke 2 has not been chosen."});

    c.SetTopology(1);
    c.CheckChosen(TRUE);
    EXPECT_TRUE(c.IsValid());
}

TEST_F(OutputChoke, DefaultsAndRoundTrip) {
    COutputChoke c;
    c.SetOutputNumber(3);
    c.SetTopology(1);
    c.SetDefaults();
    EXPECT_EQ(c.GetTopology(), 1);
    CInductor l1;
    l1.SetDefaults(1);
    EXPECT_FALSE(c.GetInductorOut1() != l1);
    EXPECT_FALSE(c.GetSkimInductor() != l1);
    NameParts(c);
    COutputChoke into;
    into.SetOutputNumber(3);
    ExpectRoundTrip(c, into);

    COutputChoke other;
    other = c;
    other.GetSenseResistor().m_dResistance = 5.0;
    EXPECT_TRUE(other != c);
}

TEST_F(OutputChoke, DamagedRecords) {
    COutputChoke c;
    c.SetOutputNumber(2);
    NameParts(c);
    // Wrong tag: code 900, defaults, number kept.
    ASSERT_TRUE(Load(c, ByteBuilder().Raw(BaseRecord(1)).Str("<OUTPUT_FILTER_DATA>").bytes));
    EXPECT_EQ(c.GetOutputNumber(), 2);
    EXPECT_EQ(c.GetInductorOut1().m_strName, CInductor().m_strName);
    EXPECT_EQ(Logged().back(), Code(kModuleOutChk, 900));

    // Wrong schema: the warning and nothing logged for it.
    ResetFileWarnings();
    sink_.Clear();
    const size_t logged = Logged().size();
    ASSERT_TRUE(Load(c, ByteBuilder().Raw(BaseRecord(1)).Str(kOutputChokeTag).U16(1).bytes));
    EXPECT_EQ(sink_.boxes, std::vector<std::string>{Msg(52081)});
    EXPECT_EQ(Logged().size(), logged + 1);  // the box's text only

    // An output number that is not the member's position.
    ResetFileWarnings();
    sink_.Clear();
    COutputChoke stored;
    stored.SetOutputNumber(0);
    ASSERT_TRUE(Load(c, Store(stored)));
    EXPECT_EQ(c.GetOutputNumber(), 2);
    EXPECT_EQ(sink_.boxes, std::vector<std::string>{Msg(52080)});
    EXPECT_EQ(Logged().back(), Code(kModuleOutChk, 905));
}

TEST_F(OutputChoke, SummaryOfEveryVariant) {
    COutputChoke c;
    c.SetDefaults();
    c.SetOutputNumber(1);
    NameParts(c);
    std::string text = SummariesOf(c, {0, 1, 999});
    c.SetOutputNumber(6);
    text += "output number 6" + SummariesOf(c, {999});
    ExpectGolden("COutputChoke_summary.txt", text);

    c.SetTopology(2);
    EXPECT_EQ(Summary(c), "\r\n\r\nOutput Choke:  ");
    EXPECT_EQ(Logged().back(), Code(kModuleOutChk, 901));
}

// ---------------------------------------------------------------------------
// Coupling between the output chokes

TEST_F(MutualInd, DisabledCouplingNeitherComputesNorReports) {
    EnableOutputs(doc_.requirements, {1, 2});
    SetOpen(2, 1e-4);
    Check();
    EXPECT_TRUE(m_.IsValid());
    EXPECT_TRUE(sink_.boxes.empty());
    EXPECT_EQ(m_.OpenInductance(2), 0.0);
    EXPECT_EQ(SummaryText(m_), "\r\n\r\nOutput Filter Mutual Inductance:\r\n  Disabled");
}

TEST_F(MutualInd, CoefficientsOfTwoOutputs) {
    struct Case {
        double s12;
        double l2;
        double k12;
        bool message;
    };
    const Case cases[] = {
        {0.0, 1e-4, 1.0, true},     // fully coupled
        {1e-4, 1e-4, 0.0, false},   // not coupled
        {0.75e-4, 1e-4, 0.5, false},
        {2e-4, 1e-4, 0.0, true},    // S above L: no real coefficient
        {1e-5, 0.0, 0.0, true},     // no open-circuit inductance
        {1e-5, -1e-4, 0.0, true},
    };
    EnableOutputs(doc_.requirements, {1, 2});
    m_.SetCouplingEnabled(TRUE);
    for (const Case& c : cases) {
        SCOPED_TRACE("S12 " + std::to_string(c.s12) + " L2 " + std::to_string(c.l2));
        m_.ShortedInductance(P::k12) = c.s12;
        SetOpen(2, c.l2);
        Check();
        EXPECT_DOUBLE_EQ(m_.Coupling(P::k12), c.k12);
        EXPECT_EQ(sink_.boxes, c.message ? Boxes({52000}) : Boxes({}));
        EXPECT_TRUE(m_.IsValid());
    }
}

TEST_F(MutualInd, PairsInOrderOfTheHighestOutput) {
    m_.SetCouplingEnabled(TRUE);
    for (int k = 1; k <= 4; ++k) SetOpen(k, 1e-4);
    EnableOutputs(doc_.requirements, {1, 2, 3});
    Check();
    EXPECT_EQ(sink_.boxes, Boxes({52001, 52004, 52000}));
    EnableOutputs(doc_.requirements, {1, 2, 3, 4});
    Check();
    EXPECT_EQ(sink_.boxes, Boxes({52002, 52005, 52007, 52001, 52004, 52000}));
    EXPECT_EQ(m_.OpenInductance(4), 1e-4);
    EnableOutputs(doc_.requirements, {1});
    Check();
    EXPECT_TRUE(sink_.boxes.empty());
}

TEST_F(MutualInd, OutputCountAboveFourIsClamped) {
    m_.SetCouplingEnabled(TRUE);
    doc_.requirements.m_wOutputCount = 5;
    for (int k = 1; k <= 4; ++k) SetOpen(k, 1e-4);
    for (int p = 0; p < P::kPairs; ++p) m_.ShortedInductance(COutputChokeMutualInd::Pair(p)) = 1e-4;
    Check();
    EXPECT_EQ(m_.GetOutputCount(), 4);
    EXPECT_TRUE(sink_.boxes.empty());
    EXPECT_EQ(Logged().back(), Code(kModuleOutChk, 902));
}

TEST_F(MutualInd, SummaryByOutputCount) {
    m_.SetCouplingEnabled(TRUE);
    for (int k = 1; k <= 4; ++k) SetOpen(k, k * 1e-4);
    const double s[P::kPairs] = {1e-5, 2e-5, 3e-5, 4e-5, 5e-5, 6e-5};
    for (int p = 0; p < P::kPairs; ++p) m_.ShortedInductance(COutputChokeMutualInd::Pair(p)) = s[p];
    std::string text;
    for (int n = 1; n <= 4; ++n) {
        EnableFirstOutputs(doc_.requirements, n);
        text += "==== outputs " + std::to_string(n) + " ====" + SummaryText(m_) + "\n";
    }
    ExpectGolden("COutputChokeMutualInd_summary.txt", text);
    EnableFirstOutputs(doc_.requirements, 1);
    EXPECT_EQ(SummaryText(m_), "\r\n\r\nOutput Filter Mutual Inductance:\r\n    Output 1 Open Circuit Inductance:  "
                           "1.000e-004 henry");
    EXPECT_TRUE(sink_.boxes.empty());
}

TEST_F(MutualInd, StoresLoadsAndCompares) {
    m_.SetCouplingEnabled(TRUE);
    for (int k = 1; k <= 4; ++k) SetOpen(k, k * 1e-4);
    for (int p = 0; p < P::kPairs; ++p) m_.ShortedInductance(COutputChokeMutualInd::Pair(p)) = (p + 1) * 1e-5;
    EnableFirstOutputs(doc_.requirements, 4);
    m_.CheckChosen(FALSE);
    COutputChokeMutualInd into;
    ExpectRoundTrip(m_, into);
    // Tag, schema, valid, enabled, count, then the sixteen doubles.
    const Bytes bytes = Store(m_);
    const Bytes head = ByteBuilder().Header(kOutputChokeMutualIndTag).I32(1).I32(1).I32(4).F64(1e-5).bytes;
    EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + long(head.size())), head);
    EXPECT_EQ(bytes.size(), head.size() - 8 + 16 * 8);

    into.ShortedInductance(P::k34) = 0.5;
    EXPECT_TRUE(into != m_);

    ASSERT_TRUE(Load(into, ByteBuilder().Str("<OUTPUT_CHOKE_DATA>").bytes));
    EXPECT_EQ(Logged().back(), Code(kModuleOutChk, 903));
    EXPECT_FALSE(into.IsCouplingEnabled());
    ASSERT_TRUE(Load(into, ByteBuilder().Str(kOutputChokeMutualIndTag).U16(3).bytes));
    EXPECT_EQ(Logged().back(), Code(kModuleOutChk, 904));
}
