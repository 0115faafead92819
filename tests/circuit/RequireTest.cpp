#include <cmath>

#include "CircuitTestSupport.h"

using namespace circuit_test;

namespace {

class Requirements : public ReportingTest {};

CRequirements Sample() {
    CRequirements r;
    r.m_dSwitchingFrequency = 250000.0;
    r.m_dOperatingTemp = 60.0;
    r.GetOutput(0)->SetTargetVoltage(3.3);
    r.GetOutput(1)->SetEnabled(1);
    r.GetOutput(1)->SetTargetVoltage(12.0);
    r.GetOutput(3)->SetTargetVoltage(-5.0);  // disabled, still kept
    r.CheckOutputs(FALSE);
    return r;
}

}  // namespace

TEST_F(Requirements, NewRecordHasOneEnabledOutput) {
    CRequirements r;
    EXPECT_EQ(r.m_strTag, "<REQUIREMENTS_DATA>");
    EXPECT_EQ(r.GetSwitchingFrequency(), 100000.0);
    EXPECT_EQ(r.GetOperatingTemp(), 25.0);
    EXPECT_EQ(r.GetOutputCount(), 1);
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(r.GetOutput(i)->IsEnabled(), i == 0 ? TRUE : FALSE);
        EXPECT_EQ(r.GetOutput(i)->GetTargetVoltage(), 5.0);
        EXPECT_EQ(r.GetOutput(i)->m_strTag, "<OUTPUT_DATA>");
    }
    EXPECT_EQ(r.GetOutput(4), nullptr);
    EXPECT_EQ(r.CountEnabledOutputs(), 1);
    EXPECT_TRUE(r.IsOutput1Enabled());
    EXPECT_FALSE(r.IsOutput4Enabled());
    r.CheckOutputs(TRUE);
    EXPECT_TRUE(r.IsValid());
    EXPECT_EQ(r.GetOutputCount(), 1);
    EXPECT_TRUE(sink_.boxes.empty());
}

TEST_F(Requirements, CheckOutputsCountsEnabledOutputs) {
    struct Case {
        std::vector<int> enabled;
        BOOL report;
        WORD count;
        BOOL valid;
        std::vector<std::string> boxes;
    };
    const Case cases[] = {
        {{0, 1, 2, 3}, TRUE, 4, TRUE, {}},
        {{1, 3}, TRUE, 2, TRUE, {}},
        {{}, TRUE, 0, FALSE, {Msg(52114)}},
        {{}, FALSE, 0, FALSE, {}},
    };
    for (const Case& c : cases) {
        sink_.Clear();
        CRequirements r;
        for (int i = 0; i < 4; ++i) r.GetOutput(i)->SetEnabled(0);
        for (int i : c.enabled) r.GetOutput(i)->SetEnabled(1);
        r.CheckOutputs(c.report);
        EXPECT_EQ(r.GetOutputCount(), c.count);
        EXPECT_EQ(r.IsValid(), c.valid);
        EXPECT_EQ(r.CountEnabledOutputs(), int(c.enabled.size()));
        EXPECT_EQ(sink_.boxes, c.boxes);
        for (int i = 0; i < 4; ++i) EXPECT_TRUE(r.GetOutput(i)->IsValid());  // every output's check marks it
    }
}

TEST_F(Requirements, SummaryListsOnlyEnabledOutputs) {
    const CRequirements r = Sample();
    fw::StringFile f;
    EXPECT_TRUE(r.WriteSummary(f));
    EXPECT_EQ(f.text,
              "\r\nRequirements:"
              "\r\n  Target Switching Frequency:  2.500e+005 hertz"
              "\r\n  Operating Temperature:  6.000e+001 Celsius"
              "\r\n  Output Requirements:"
              "\r\n    Target Voltage 3.300e+000 volts"
              "\r\n  Output Requirements:"
              "\r\n    Target Voltage 1.200e+001 volts");
    ExpectGolden("RequirementsSummary.txt", f.text);
}

TEST_F(Requirements, ArchiveLayoutRoundTripAndComparison) {
    const CRequirements r = Sample();
    ByteBuilder b;
    b.Header("<REQUIREMENTS_DATA>").I32(1).F64(250000.0).F64(60.0).U16(2);
    const double volts[] = {3.3, 12.0, 5.0, -5.0};
    const int enabled[] = {1, 1, 0, 0};
    for (int i = 0; i < 4; ++i) b.Header("<OUTPUT_DATA>").I32(1).I32(enabled[i]).F64(volts[i]);
    EXPECT_EQ(Store(r), b.bytes);
    ExpectGolden("Requirements.bin", AsString(b.bytes));

    CRequirements loaded;
    EXPECT_TRUE(Load(loaded, b.bytes));
    EXPECT_FALSE(loaded != r);
    CRequirements copy;
    copy = r;
    EXPECT_FALSE(copy != r);

    // A disabled output's voltage alone makes two records differ.
    CRequirements other = r;
    other.GetOutput(3)->SetTargetVoltage(-12.0);
    EXPECT_TRUE(other != r);
    other = r;
    other.m_dOperatingTemp = 61.0;
    EXPECT_TRUE(other != r);
    EXPECT_TRUE(Logged().empty());
}

TEST_F(Requirements, DamagedRecordsFallBackToTheirDefaults) {
    struct Case {
        const char* name;
        Bytes bytes;
        UINT box;
        int code;
    };
    const Case cases[] = {
        {"requirements tag", ByteBuilder().Str("<REQUIREMENTS>").bytes, 52080, 1203},
        {"requirements schema", ByteBuilder().Str("<REQUIREMENTS_DATA>").U16(1).bytes, 52081, 1204},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        NewLoad();
        CRequirements r = Sample();
        EXPECT_TRUE(Load(r, c.bytes));
        EXPECT_FALSE(r != CRequirements());  // the whole record, outputs included
        EXPECT_EQ(sink_.boxes, std::vector<std::string>{Msg(c.box)});
        EXPECT_EQ(Logged(), (std::vector<std::string>{Msg(c.box), Code(56073, c.code)}));
    }

    // A damaged output falls back alone; the next output reads on.
    ResetFileWarnings();
    sink_.Clear();
    ByteBuilder b;
    b.Header("<REQUIREMENTS_DATA>").I32(1).F64(1e5).F64(25.0).U16(1);
    b.Str("<OUTPUT_DATA>").U16(4);
    for (int i = 0; i < 3; ++i) b.Header("<OUTPUT_DATA>").I32(1).I32(1).F64(9.0);
    CRequirements r;
    EXPECT_TRUE(Load(r, b.bytes));
    EXPECT_EQ(r.GetOutput(0)->GetTargetVoltage(), 5.0);
    EXPECT_EQ(r.GetOutput(3)->GetTargetVoltage(), 9.0);
    // Its defaults leave a gap before the enabled outputs, which is filled.
    EXPECT_TRUE(r.GetOutput(0)->IsEnabled());
    const std::vector<std::string> logged = Logged();
    ASSERT_GE(logged.size(), 2u);
    EXPECT_EQ(std::vector<std::string>(logged.end() - 2, logged.end()),
              (std::vector<std::string>{Code(56073, 1201), Code(56073, 1206)}));
}

TEST_F(Requirements, ImpossibleValuesFromAFileAreReportedAndReplaced) {
    struct Case {
        const char* name;
        double frequency;
        double temperature;
        uint16_t count;
        double frequencyAfter;
        double temperatureAfter;
        WORD countAfter;
    };
    const Case cases[] = {
        {"zero frequency", 0.0, 40.0, 1, 100000.0, 40.0, 1},
        {"negative frequency", -5e4, 40.0, 2, 100000.0, 40.0, 2},
        {"frequency not a number", std::nan(""), 40.0, 2, 100000.0, 40.0, 2},
        {"temperature not a number", 2e5, std::nan(""), 3, 2e5, 25.0, 3},
        {"infinite temperature", 2e5, HUGE_VAL, 3, 2e5, 25.0, 3},
        {"output count above four", 2e5, 40.0, 9, 2e5, 40.0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        NewLoad();
        ByteBuilder b;
        b.Header("<REQUIREMENTS_DATA>").I32(1).F64(c.frequency).F64(c.temperature).U16(c.count);
        for (int i = 0; i < 4; ++i) b.Header("<OUTPUT_DATA>").I32(1).I32(1).F64(5.0);
        CRequirements r;
        EXPECT_TRUE(Load(r, b.bytes));
        EXPECT_EQ(r.GetSwitchingFrequency(), c.frequencyAfter);
        EXPECT_EQ(r.GetOutputCount(), c.countAfter);
        EXPECT_EQ(r.GetOperatingTemp(), c.temperatureAfter);  // the rest is kept
        EXPECT_EQ(r.CountEnabledOutputs(), 4);
        EXPECT_EQ(sink_.boxes, std::vector<std::string>{Msg(52080)});
        // A NaN or an infinity is mended as it is read, before the record looks at it.
        const bool finite = std::isfinite(c.frequency) && std::isfinite(c.temperature);
        const std::vector<std::string> logged =
            finite ? std::vector<std::string>{Msg(52080), Code(56073, 1205)} : std::vector<std::string>{Msg(52080)};
        EXPECT_EQ(Logged(), logged);
    }
}

// The checks count on the enabled outputs running from output 1 on; a file
// with a gap is damage, repaired up to its last enabled output.
TEST_F(Requirements, EnabledOutputsWithAGapAreDamageAndAreFilledIn) {
    struct Case {
        std::vector<int> enabled;
        std::vector<int> after;
        bool damaged;
    };
    const Case cases[] = {
        {{0, 2}, {0, 1, 2}, true},
        {{3}, {0, 1, 2, 3}, true},
        {{1, 3}, {0, 1, 2, 3}, true},
        {{0, 1, 2}, {0, 1, 2}, false},
        {{}, {}, false},  // none enabled is the check's 52114, not damage
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.enabled));
        NewLoad();
        CRequirements stored;
        for (int i = 0; i < 4; ++i) {
            stored.GetOutput(i)->SetEnabled(0);
            stored.GetOutput(i)->SetTargetVoltage(1.0 + i);
        }
        for (int i : c.enabled) stored.GetOutput(i)->SetEnabled(1);
        CRequirements r;
        EXPECT_TRUE(Load(r, Store(stored)));
        std::vector<int> enabled;
        for (int i = 0; i < 4; ++i) {
            if (r.IsOutputEnabled(i)) enabled.push_back(i);
            EXPECT_EQ(r.GetOutput(i)->GetTargetVoltage(), 1.0 + i);  // every output's data kept
        }
        EXPECT_EQ(enabled, c.after);
        if (c.damaged) {
            EXPECT_EQ(sink_.boxes, std::vector<std::string>{Msg(52080)});
            EXPECT_EQ(Logged(), (std::vector<std::string>{Msg(52080), Code(56073, 1206)}));
        } else {
            EXPECT_TRUE(sink_.boxes.empty());
            EXPECT_TRUE(Logged().empty());
        }
    }
}

TEST_F(Requirements, DocumentHelpers) {
    FakeDoc doc;
    CDiode d;
    d.m_dForwardVoltage = 0.7;
    d.m_dForwardVoltageTempCoef = -0.0036;
    EXPECT_DOUBLE_EQ(doc.ScaleToOperatingTemp(d), 0.7);  // 25 degrees: unscaled
    doc.requirements.m_dOperatingTemp = 125.0;
    EXPECT_DOUBLE_EQ(doc.ScaleToOperatingTemp(d), 0.7 * std::exp(100.0 * -0.0036));

    int32_t pos = 0, nonPos = 0;
    RecordSign(1, &pos, &nonPos);
    EXPECT_EQ(pos, 1);
    EXPECT_EQ(nonPos, 0);
    RecordSign(0, &pos, &nonPos);
    EXPECT_EQ(pos, 1);
    EXPECT_EQ(nonPos, 1);

    EXPECT_EQ(SignsNotOpposite(1, -1), 0);
    EXPECT_EQ(SignsNotOpposite(-1, 2), 0);
    EXPECT_EQ(SignsNotOpposite(1, 0), 1);
    EXPECT_EQ(SignsNotOpposite(-1, -1), 1);
    EXPECT_EQ(BothSetAndBothOne(1, 3, 1, 1), 1);
    EXPECT_EQ(BothSetAndBothOne(1, 0, 1, 1), 0);
    EXPECT_EQ(BothSetAndBothOne(1, 1, 1, 2), 0);
}
