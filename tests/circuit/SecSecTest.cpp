#include "PwrSectionsSupport.h"

using namespace circuit_test;

namespace {

class SecondarySection : public ReportingTest {
protected:
    void SetUp() override {
        ReportingTest::SetUp();
        EnableOutputs(doc_.requirements, {1, 2, 3});
        sec_.SetOutputNumber(2);
    }
    void Check() {
        sink_.Clear();
        doc_.modifiedCalls.clear();
        sec_.CheckChosen(TRUE);
    }
    std::string Msg3(UINT id) {
        std::string text = Msg(id);
        return text.replace(text.find("%1"), 2, "3");
    }

    PwrDoc doc_;
    CSecondarySection sec_;
};

void NameParts(CSecondarySection& s) {
    s.GetDiodeRectifier1().m_strName = "D Rect 1";
    s.GetDiodeRectifier2().m_strName = "D Rect 2";
    s.GetTransistorRectifier1().m_strName = "Q Rect 1";
    s.GetTransistorRectifier2().m_strName = "Q Rect 2";
}

}  // namespace

TEST_F(SecondarySection, DisabledOutputIsValid) {
    EnableOutputs(doc_.requirements, {1});
    Check();
    EXPECT_TRUE(sec_.IsValid());
    EXPECT_TRUE(sink_.boxes.empty());
}

TEST_F(SecondarySection, NotChosenNamesTheOutput) {
    doc_.primarySection.SetTopology(8);
    sec_.SetSynchronous(1);
    SetTiming(sec_.GetTransistorRectifier2(), 0, 0, 0, 0);
    Check();
    EXPECT_FALSE(sec_.IsValid());
    EXPECT_EQ(sink_.boxes, std::vector<std::string>{Msg3(52118)});
}

TEST_F(SecondarySection, PrimaryVariantDecidesWhetherTheTopologyStays) {
    struct Case {
        WORD primary;
        WORD before;
        WORD after;
        bool modified;
        bool valid;
    };
    const Case cases[] = {
        {0, 1, 999, true, false},     // damaged topology under a two-switch primary
        {7, 999, 999, false, false},  // already not chosen: no change, nothing to save
        {0, 0, 0, false, true},
        {8, 1, 1, false, true},       // a passive clamp keeps it
        {999, 1, 1, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("primary " + std::to_string(c.primary) + " secondary " + std::to_string(c.before));
        doc_.primarySection.SetTopology(c.primary);
        sec_.SetTopology(c.before);
        Check();
        EXPECT_EQ(sec_.GetTopology(), c.after);
        EXPECT_EQ(doc_.modifiedCalls, c.modified ? std::vector<BOOL>{TRUE} : std::vector<BOOL>{});
        EXPECT_EQ(sec_.IsValid(), c.valid ? 1 : 0);
        EXPECT_EQ(sink_.boxes.size(), c.valid ? 0u : 1u);
    }
}

// Synchronous rectifiers against the clamp switch SW2 (active clamp only)
// and against the main switch SW1; equal sums pass.
TEST_F(SecondarySection, CrossConductionWithSynchronousRectifiers) {
    struct Case {
        WORD primary;
        BOOL synchronous;
        double q1[4];
        double q2[4];
        std::vector<UINT> messages;
    };
    const double t = 1e-8;
    const Case cases[] = {
        {6, 1, {t, t, t, t}, {t, t, t, t}, {}},
        {6, 1, {0, t, t, t}, {t, t, t, t}, {52031}},
        {7, 1, {0, t, 2 * t, t}, {0, t, 2 * t, t}, {52031, 52031, 52133, 52133}},
        {0, 1, {0, t, 2 * t, t}, {0, t, 2 * t, t}, {52133, 52133}},
        {8, 1, {0, t, 2 * t, t}, {0, t, t, t}, {52133}},
        {7, 0, {0, t, 2 * t, t}, {0, t, 2 * t, t}, {}},
    };
    sec_.SetTopology(0);
    for (const Case& c : cases) {
        SCOPED_TRACE("primary " + std::to_string(c.primary) + " synchronous " + std::to_string(c.synchronous));
        doc_.primarySection.SetTopology(c.primary);
        sec_.SetSynchronous(c.synchronous);
        SetTiming(sec_.GetTransistorRectifier1(), c.q1[0], c.q1[1], c.q1[2], c.q1[3]);
        SetTiming(sec_.GetTransistorRectifier2(), c.q2[0], c.q2[1], c.q2[2], c.q2[3]);
        Check();
        std::vector<std::string> expected;
        for (UINT id : c.messages) expected.push_back(Msg(id));
        EXPECT_EQ(sink_.boxes, expected);
        EXPECT_EQ(sec_.IsValid(), c.messages.empty() ? 1 : 0);
    }
}

TEST_F(SecondarySection, DefaultsKeepTopologyAndOutput) {
    sec_.SetTopology(0);
    sec_.SetSynchronous(1);
    sec_.SetRectifier1Kind(0);
    sec_.SetDefaults();
    EXPECT_EQ(sec_.GetTopology(), 0);
    EXPECT_EQ(sec_.GetOutputNumber(), 2);
    EXPECT_FALSE(sec_.IsSynchronous());
    EXPECT_EQ(sec_.GetRectifier1Kind(), 1);
    CDiode d0;
    d0.SetDefaults(0);
    EXPECT_FALSE(sec_.GetDiodeRectifier2() != d0);
}

TEST_F(SecondarySection, StoresLoadsAndCompares) {
    sec_.SetDefaults();
    sec_.SetTopology(0);
    sec_.SetSynchronous(1);
    sec_.SetRectifier1Kind(0);
    sec_.SetRectifier2Kind(0);
    NameParts(sec_);
    CSecondarySection into;
    into.SetOutputNumber(2);
    ExpectRoundTrip(sec_, into);

    // Fields and records in order: output number, flags, records.
    const Bytes bytes = Store(sec_);
    const Bytes head = ByteBuilder()
                           .Raw(BaseRecord(0, sec_.IsValid(), sec_.NeedsDefaults()))
                           .Header(kSecondarySectionTag)
                           .U16(2)
                           .I32(1)
                           .I32(0)
                           .I32(0)
                           .bytes;
    ASSERT_GT(bytes.size(), head.size());
    EXPECT_EQ(Bytes(bytes.begin(), bytes.begin() + long(head.size())), head);

    CSecondarySection other;
    other = sec_;
    other.GetTransistorRectifier2().m_dFallTime = 1.0;
    EXPECT_TRUE(other != sec_);
    other = sec_;
    other.SetOutputNumber(3);
    EXPECT_TRUE(other != sec_);
}

// The output number is the member's position; a file that says otherwise
// is damaged and the number stays.
TEST_F(SecondarySection, StoredOutputNumberMustMatchThePosition) {
    sec_.SetTopology(0);
    NameParts(sec_);
    CSecondarySection into;
    into.SetOutputNumber(1);
    ASSERT_TRUE(Load(into, Store(sec_)));
    EXPECT_EQ(into.GetOutputNumber(), 1);
    EXPECT_EQ(into.GetDiodeRectifier2().m_strName, "D Rect 2");
    EXPECT_EQ(sink_.boxes, std::vector<std::string>{Msg(52080)});
    EXPECT_EQ(Logged().back(), Code(kModuleSecSec, 1303));
}

TEST_F(SecondarySection, WrongTagKeepsOutputNumberAndTopology) {
    CSecondarySection into;
    into.SetOutputNumber(3);
    into.SetSynchronous(1);
    ASSERT_TRUE(Load(into, ByteBuilder().Raw(BaseRecord(0)).Str("<PRIMARY_SECTION_DATA>").bytes));
    EXPECT_EQ(into.GetOutputNumber(), 3);
    EXPECT_EQ(into.GetTopology(), 0);
    EXPECT_FALSE(into.IsSynchronous());
    EXPECT_EQ(Logged().back(), Code(kModuleSecSec, 1300));
    ResetFileWarnings();
    ASSERT_TRUE(Load(into, ByteBuilder().Raw(BaseRecord(0)).Str(kSecondarySectionTag).U16(2).bytes));
    EXPECT_EQ(Logged().back(), Code(kModuleSecSec, 1301));
}

TEST_F(SecondarySection, SummaryOfEveryVariant) {
    sec_.SetDefaults();
    NameParts(sec_);
    std::string text = SummariesOf(sec_, {0, 999});
    sec_.SetSynchronous(1);
    sec_.SetRectifier1Kind(0);
    sec_.SetRectifier2Kind(0);
    text += "synchronous" + SummariesOf(sec_, {0});
    sec_.SetOutputNumber(7);
    text += "output number 7" + SummariesOf(sec_, {999});
    ExpectGolden("CSecondarySection_summary.txt", text);

    sec_.SetTopology(1);
    EXPECT_EQ(Summary(sec_), "\r\n\r\nSecondary Section:  ");
    EXPECT_EQ(Logged().back(), Code(kModuleSecSec, 1302));
}
