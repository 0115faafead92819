#include "CircuitTestSupport.h"
#include "circuit/LoadCheck.h"

using namespace circuit_test;

namespace {

class DocumentData : public ReportingTest {};

CMiscData SampleMisc() {
    CMiscData m;
    m.m_nCircuitType = 0;
    m.SetCircuitComplete(1);
    m.SetShowMessages(1);
    m.m_wReserved = {1, 2, 3, 0xFFFF, 5};
    m.m_nAutoDesign = CMiscData::AUTO_DESIGN_NEVER;
    m.SetNotes(std::string(300, 'n'));
    return m;
}

CUSData SampleUS() {
    CUSData u;
    u.m_dOffResistance = 2.5e7;
    u.m_nIterationLimit = 80;
    u.m_nStabilizationCycles = 4;
    u.m_nDataSampling = CUSData::SAMPLING_PEAK;
    u.m_dLargeStepFactor = 0.5;
    u.m_dLargeStepLowerLimit = 2e-7;
    u.m_dSmallStepFactor = 0.75;
    u.m_dSmallStepLowerLimit = 1e-8;
    return u;
}

}  // namespace

TEST_F(DocumentData, MiscDataArchiveAndAutoDesign) {
    const CMiscData m = SampleMisc();
    const Bytes expected = ByteBuilder()
                               .Header("<MISC_DATA>")
                               .I32(0)
                               .I32(1)
                               .I32(1)
                               .U16(1)
                               .U16(2)
                               .U16(3)
                               .U16(0xFFFF)
                               .U16(5)
                               .U16(2)
                               .Str(std::string(300, 'n'))
                               .bytes;
    EXPECT_EQ(Store(m), expected);
    ExpectGolden("MiscData.bin", AsString(expected));

    CMiscData loaded;
    EXPECT_TRUE(Load(loaded, expected));
    EXPECT_FALSE(loaded != m);
    EXPECT_EQ(loaded.GetNotes().size(), 300u);
    EXPECT_EQ(loaded.m_nAutoDesign, 2);
    EXPECT_FALSE(loaded.IsAutoDesignEnabled());
    loaded.EnableAutoDesign();
    EXPECT_EQ(loaded.m_nAutoDesign, 2);

    CMiscData fresh;
    fresh.EnableAutoDesign();
    EXPECT_TRUE(fresh.IsAutoDesignEnabled());

    // The 16-bit auto-design word widens without sign.
    Bytes wide = expected;
    const size_t at = ByteBuilder().Header("<MISC_DATA>").I32(0).I32(0).I32(0).U16(0).U16(0).U16(0).U16(0).U16(0).bytes.size();
    wide[at] = 0xFE;
    wide[at + 1] = 0xFF;
    EXPECT_TRUE(Load(loaded, wide));
    EXPECT_EQ(loaded.m_nAutoDesign, 65534);
}

TEST_F(DocumentData, MiscDataCopyAndCompareEveryFieldButTheTag) {
    const CMiscData m = SampleMisc();
    CMiscData copy;
    copy.m_strTag = "<OTHER>";
    copy = m;
    EXPECT_EQ(copy.m_strTag, "<OTHER>");
    EXPECT_FALSE(copy != m);
    using Change = void (*)(CMiscData&);
    const Change changes[] = {
        [](CMiscData& x) { x.m_nCircuitType = 2; },   [](CMiscData& x) { x.SetCircuitComplete(0); },
        [](CMiscData& x) { x.SetShowMessages(0); },   [](CMiscData& x) { x.m_wReserved[4] = 6; },
        [](CMiscData& x) { x.m_nAutoDesign = 1; },    [](CMiscData& x) { x.SetNotes("short"); },
    };
    for (size_t i = 0; i < std::size(changes); ++i) {
        CMiscData changed = m;
        changes[i](changed);
        EXPECT_TRUE(changed != m) << "change " << i;
    }
}

TEST_F(DocumentData, MiscDataLoadFailures) {
    struct Case {
        Bytes bytes;
        UINT box;
        int code;
    };
    const Case cases[] = {{ByteBuilder().Str("<MISC>").bytes, 52080, 3200},
                          {ByteBuilder().Str("<MISC_DATA>").U16(1).bytes, 52081, 3201}};
    for (const Case& c : cases) {
        NewLoad();
        CMiscData m = SampleMisc();
        EXPECT_TRUE(Load(m, c.bytes));
        EXPECT_FALSE(m != CMiscData());
        EXPECT_EQ(m.m_strTag, "<MISC_DATA>");
        EXPECT_EQ(Logged(), (std::vector<std::string>{Msg(c.box), Code(56054, c.code)}));
    }
}

TEST_F(DocumentData, UserSpecifiedDataArchiveKeepsTheLoggingSwitch) {
    CUSData u = SampleUS();
    u.SetDataLogging(1);
    const Bytes expected = ByteBuilder()
                               .Header("<US_DATA>")
                               .F64(2.5e7)
                               .I32(80)
                               .I32(4)
                               .I32(2)
                               .F64(0.5)
                               .F64(2e-7)
                               .F64(0.75)
                               .F64(1e-8)
                               .bytes;
    EXPECT_EQ(Store(u), expected);
    ExpectGolden("USData.bin", AsString(expected));

    CUSData loaded;
    EXPECT_TRUE(Load(loaded, expected));
    EXPECT_FALSE(loaded.GetDataLogging());  // not in the file, so not changed by it
    EXPECT_TRUE(loaded != u);               // the switch takes part in the comparison
    loaded.SetDataLogging(1);
    EXPECT_FALSE(loaded != u);

    // A damaged record falls back to its defaults but keeps the switch too.
    for (const Bytes& bad : {ByteBuilder().Str("<US>").bytes, ByteBuilder().Str("<US_DATA>").U16(1).bytes}) {
        CUSData on = SampleUS();
        on.SetDataLogging(1);
        EXPECT_TRUE(Load(on, bad));
        EXPECT_EQ(on.GetOffResistance(), 1.0e6);
        EXPECT_TRUE(on.GetDataLogging());
    }
    const std::vector<std::string> log = Logged();
    EXPECT_EQ(log, (std::vector<std::string>{Msg(52080), Code(56081, 5600), Code(56081, 5601)}));

    CUSData copy;
    copy = u;
    EXPECT_FALSE(copy != u);
    EXPECT_TRUE(copy.GetDataLogging());
}

TEST_F(DocumentData, UserSpecifiedDataDefaultsAndDamagedValues) {
    const CUSData d;
    EXPECT_EQ(d.GetOffResistance(), 1.0e6);
    EXPECT_EQ(d.GetIterationLimit(), 50);
    EXPECT_EQ(d.GetStabilizationCycles(), 10);
    EXPECT_EQ(d.GetDataSampling(), 0);
    EXPECT_EQ(d.GetLargeStepFactor(), 0.9);
    EXPECT_EQ(d.GetLargeStepLowerLimit(), 1.0e-7);
    EXPECT_EQ(d.GetSmallStepFactor(), 0.98);
    EXPECT_EQ(d.GetSmallStepLowerLimit(), 3.0e-8);
    EXPECT_FALSE(d.GetDataLogging());

    // Each damaged field takes its default; the rest of the record is kept.
    struct Case {
        const char* name;
        void (*damage)(CUSData&);
        bool (*repaired)(const CUSData&);
    };
    const Case cases[] = {
        {"off resistance 0", [](CUSData& u) { u.m_dOffResistance = 0.0; },
         [](const CUSData& u) { return u.GetOffResistance() == 1.0e6; }},
        {"off resistance -1", [](CUSData& u) { u.m_dOffResistance = -1.0; },
         [](const CUSData& u) { return u.GetOffResistance() == 1.0e6; }},
        {"off resistance not a number", [](CUSData& u) { u.m_dOffResistance = std::nan(""); },
         [](const CUSData& u) { return u.GetOffResistance() == 1.0e6; }},
        {"sampling 3", [](CUSData& u) { u.m_nDataSampling = 3; },
         [](const CUSData& u) { return u.GetDataSampling() == 0; }},
        {"sampling -1", [](CUSData& u) { u.m_nDataSampling = -1; },
         [](const CUSData& u) { return u.GetDataSampling() == 0; }},
        {"iteration limit 4", [](CUSData& u) { u.m_nIterationLimit = 4; },
         [](const CUSData& u) { return u.GetIterationLimit() == 50; }},
        {"two billion iterations", [](CUSData& u) { u.m_nIterationLimit = 2000000000; },
         [](const CUSData& u) { return u.GetIterationLimit() == 50; }},
        {"negative cycles", [](CUSData& u) { u.m_nStabilizationCycles = -1; },
         [](const CUSData& u) { return u.GetStabilizationCycles() == 10; }},
        {"10001 cycles", [](CUSData& u) { u.m_nStabilizationCycles = 10001; },
         [](const CUSData& u) { return u.GetStabilizationCycles() == 10; }},
        {"large step factor 0", [](CUSData& u) { u.m_dLargeStepFactor = 0.0; },
         [](const CUSData& u) { return u.GetLargeStepFactor() == 0.9; }},
        {"large step factor 1", [](CUSData& u) { u.m_dLargeStepFactor = 1.0; },
         [](const CUSData& u) { return u.GetLargeStepFactor() == 0.9; }},
        {"large step limit 0", [](CUSData& u) { u.m_dLargeStepLowerLimit = 0.0; },
         [](const CUSData& u) { return u.GetLargeStepLowerLimit() == 1.0e-7; }},
        {"small step factor not a number", [](CUSData& u) { u.m_dSmallStepFactor = std::nan(""); },
         [](const CUSData& u) { return u.GetSmallStepFactor() == 0.98; }},
        {"small step limit negative", [](CUSData& u) { u.m_dSmallStepLowerLimit = -3e-8; },
         [](const CUSData& u) { return u.GetSmallStepLowerLimit() == 3.0e-8; }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        NewLoad();
        CUSData u = SampleUS();
        c.damage(u);
        CUSData loaded;
        EXPECT_TRUE(Load(loaded, Store(u)));
        EXPECT_TRUE(c.repaired(loaded));
        EXPECT_TRUE(IsFinitePositive(loaded.GetOffResistance()));
        // Only the damaged field changed.
        const CUSData sample = SampleUS();
        const int changed = (loaded.GetOffResistance() != sample.GetOffResistance()) +
                            (loaded.GetIterationLimit() != sample.GetIterationLimit()) +
                            (loaded.GetStabilizationCycles() != sample.GetStabilizationCycles()) +
                            (loaded.GetDataSampling() != sample.GetDataSampling()) +
                            (loaded.GetLargeStepFactor() != sample.GetLargeStepFactor()) +
                            (loaded.GetLargeStepLowerLimit() != sample.GetLargeStepLowerLimit()) +
                            (loaded.GetSmallStepFactor() != sample.GetSmallStepFactor()) +
                            (loaded.GetSmallStepLowerLimit() != sample.GetSmallStepLowerLimit());
        EXPECT_EQ(changed, 1);
        EXPECT_EQ(sink_.boxes, std::vector<std::string>{Msg(52080)});
        // A NaN is mended as it is read, before the record looks at it.
        const bool nan = std::string(c.name).find("not a number") != std::string::npos;
        const std::vector<std::string> logged =
            nan ? std::vector<std::string>{Msg(52080)} : std::vector<std::string>{Msg(52080), Code(56081, 5602)};
        EXPECT_EQ(Logged(), logged);
    }

    // The ends of the dialog's ranges are sound.
    NewLoad();
    CUSData low;
    low.m_dOffResistance = 100.0;
    low.m_nIterationLimit = 5;
    low.m_nStabilizationCycles = 0;
    low.m_dLargeStepFactor = 0.5;
    low.m_dLargeStepLowerLimit = 1.0e-9;
    low.m_dSmallStepFactor = 0.8;
    low.m_dSmallStepLowerLimit = 1.0e-10;
    CUSData high;
    high.m_dOffResistance = 1.0e9;
    high.m_nIterationLimit = 1000;
    high.m_nStabilizationCycles = 10000;
    high.m_nDataSampling = CUSData::SAMPLING_PEAK;
    high.m_dLargeStepFactor = 0.9999;
    high.m_dLargeStepLowerLimit = 1.0e-5;
    high.m_dSmallStepFactor = 0.999;
    high.m_dSmallStepLowerLimit = 1.0e-6;
    for (const CUSData* edge : {&low, &high}) {
        CUSData loaded;
        EXPECT_TRUE(Load(loaded, Store(*edge)));
        EXPECT_FALSE(loaded != *edge);
    }
    EXPECT_TRUE(sink_.boxes.empty());
    EXPECT_TRUE(Logged().empty());
}

TEST(TransientTables, InsertionRule) {
    TimeMagnitudeTable t;
    EXPECT_EQ(t.count, 0);
    EXPECT_EQ(t.points[0].time, 0.0);
    EXPECT_EQ(t.points[101].time, 0.0);
    EXPECT_EQ(t.cursor[0], 0);

    EXPECT_TRUE(t.Insert(0.0, 5.0));
    EXPECT_EQ(t.count, 1);
    EXPECT_TRUE(t.Insert(0.0, 7.0));  // same time: replaces the magnitude
    EXPECT_EQ(t.count, 1);
    EXPECT_EQ(t.points[0].magnitude, 7.0);
    EXPECT_FALSE(t.Insert(-1.0e-9, 1.0));
    EXPECT_FALSE(t.Insert(std::nan(""), 1.0));
    EXPECT_EQ(t.count, 1);

    // Appended in arrival order, up to 102 points; the 103rd is refused but
    // a stored time can still be updated.
    for (int i = 1; i < 102; ++i) EXPECT_TRUE(t.Insert(double(103 - i), double(i)));
    EXPECT_EQ(t.count, 102);
    EXPECT_EQ(t.points[1].time, 102.0);
    EXPECT_FALSE(t.Insert(500.0, 1.0));
    EXPECT_EQ(t.count, 102);
    EXPECT_TRUE(t.Insert(102.0, -3.0));
    EXPECT_EQ(t.points[1].magnitude, -3.0);

    TimeMagnitudeTable3 t3;
    t3.cursor[2] = 9;
    t3.Insert(1.0, 1.0);
    t3.Clear();
    EXPECT_EQ(t3.count, 0);
    EXPECT_EQ(t3.cursor[2], 0);
    EXPECT_EQ(t3.points[0].time, 0.0);
}
