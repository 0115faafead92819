#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/core/Archive.h"
#include "platform/core/File.h"
#include "platform/core/ReportSink.h"
#include "records/PartsSrc.h"
#include "records/Utils.h"
#include "resources/StringTable.h"
#include "support/ArchiveBytes.h"
#include "support/Golden.h"
#include "support/ReportCapture.h"

namespace {

using Bytes = std::vector<uint8_t>;

using test_support::ReadAll;

using test_support::Store;

std::string Hex(const std::string& s) {
    std::string out;
    char buf[4];
    for (unsigned char c : s) {
        std::snprintf(buf, sizeof buf, "%02X ", c);
        out += buf;
    }
    return out;
}

// Compares with tests/fixtures/records/<name>; binary files show as hex.
void ExpectGolden(const std::string& name, const std::string& actual, bool binary) {
    test_support::ExpectGolden("records", name, actual, binary ? Hex : nullptr);
}

void AppendU16(Bytes& b, uint16_t v) {
    b.push_back(uint8_t(v));
    b.push_back(uint8_t(v >> 8));
}

void AppendText(Bytes& b, const std::string& s) { b.insert(b.end(), s.begin(), s.end()); }

CObTimeMagnitude Point(double t, double m) {
    CObTimeMagnitude p;
    p.m_dTime = t;
    p.m_dMagnitude = m;
    return p;
}

CObArrayTimeMagnitude Table(std::initializer_list<CObTimeMagnitude> points) {
    CObArrayTimeMagnitude t;
    int i = 0;
    for (const auto& p : points) t.AddCopy(i++, p);
    return t;
}

// Message boxes recorded, logging on into the test's temporary folder.
class PartsSrc : public test_support::ReportCaptureTest {
protected:
    bool Logged(int code) { return Log().find("PartsSrc:  CODE " + std::to_string(code) + "\r\n") != std::string::npos; }
};

// ---------------------------------------------------------------- every archived record of the module

struct PointTraits {
    using R = CObTimeMagnitude;
    static constexpr const char* kName = "CObTimeMagnitude";
    static constexpr int kCode = 3800;
    static void Fill(R& r) { r = Point(1.5e-3, -2.25); }
    static std::string Summaries(const R& r) {
        fw::StringFile f;
        r.WriteSummary(f, 0);
        r.WriteSummary(f, 1);
        return f.text;
    }
    static std::vector<std::function<void(R&)>> Mutations() {
        return {[](R& r) { r.m_strTag = "<X>"; }, [](R& r) { r.m_dTime = 9.0; },
                [](R& r) { r.m_dMagnitude = 9.0; }};
    }
};

struct VoltTraits {
    using R = CCrntVoltSource;
    static constexpr const char* kName = "CCrntVoltSource";
    static constexpr int kCode = 3803;
    static void Fill(R& r) {
        r.m_dACPeakMagnitude = 3.5;
        r.m_dACFrequency = 60.0;
        r.m_dDCMagnitude = 12.0;
        r.m_Transient = Table({Point(1e-3, 2.0), Point(2e-3, -1.0)});
    }
    static std::string Summaries(const R& r) {
        fw::StringFile f;
        r.WriteSummary(f, 0);
        r.WriteSummary(f, 1);
        r.WriteSummaryDC(f, 0);
        r.WriteSummaryDC(f, 1);
        return f.text;
    }
    static std::vector<std::function<void(R&)>> Mutations() {
        return {[](R& r) { r.m_strTag = "<X>"; },
                [](R& r) { r.m_dACPeakMagnitude = 9.0; },
                [](R& r) { r.m_dACFrequency = 9.0; },
                [](R& r) { r.m_dDCMagnitude = 9.0; },
                [](R& r) { r.m_Transient.GetPointAt(1)->m_dMagnitude = 9.0; },
                [](R& r) { r.m_Transient = Table({Point(2e-3, -1.0), Point(1e-3, 2.0)}); }};
    }
};

struct SensTraits {
    using R = CCrntSensSource;
    static constexpr const char* kName = "CCrntSensSource";
    static constexpr int kCode = 3814;
    static void Fill(R& r) { r.m_iSensedCurrent = 2; }
    static std::string Summaries(const R& r) {
        fw::StringFile f;
        R copy = r;
        for (int32_t v : {0, 1, 2, 3, -1}) {
            copy.m_iSensedCurrent = v;
            copy.WriteSummary(f);
        }
        return f.text;
    }
    static std::vector<std::function<void(R&)>> Mutations() {
        return {[](R& r) { r.m_strTag = "<X>"; }, [](R& r) { r.m_iSensedCurrent = 1; }};
    }
};

template <class Traits>
class SourceRecord : public PartsSrc {};
using RecordTypes = ::testing::Types<PointTraits, VoltTraits, SensTraits>;
TYPED_TEST_SUITE(SourceRecord, RecordTypes);

TYPED_TEST(SourceRecord, StoreLoadRoundTrip) {
    using R = typename TypeParam::R;
    R defaults, filled;
    TypeParam::Fill(filled);
    ASSERT_TRUE(defaults != filled);
    struct Case {
        const char* what;
        const R& stored;
        const R& overwritten;
    };
    const Case cases[] = {{"defaults", defaults, filled}, {"filled", filled, defaults}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fw::Archive in(Store(c.stored));
        R loaded = c.overwritten;
        loaded.Serialize(in);
        EXPECT_FALSE(loaded != c.stored);
        EXPECT_TRUE(in.AtEnd());
    }
    EXPECT_TRUE(this->sink_.boxes.empty());
}

TYPED_TEST(SourceRecord, CopyAndCompare) {
    using R = typename TypeParam::R;
    R filled;
    TypeParam::Fill(filled);
    R copied(filled);
    R assigned;
    assigned = filled;
    EXPECT_FALSE(copied != filled);
    EXPECT_FALSE(assigned != filled);
    assigned = assigned;
    EXPECT_FALSE(assigned != filled);
    const auto mutations = TypeParam::Mutations();
    for (size_t i = 0; i < mutations.size(); ++i) {
        SCOPED_TRACE(i);
        R changed = filled;
        mutations[i](changed);
        EXPECT_TRUE(changed != filled);
        EXPECT_TRUE(filled != changed);
    }
}

TYPED_TEST(SourceRecord, WrongTagOrSchemaFallsBackToDefaults) {
    using R = typename TypeParam::R;
    R filled;
    TypeParam::Fill(filled);
    const size_t tagBytes = 1 + filled.m_strTag.size();
    struct Case {
        bool wrongTag;
        UINT message;
        int code;
        size_t readUpTo;  // nothing after the header is read
    };
    const Case cases[] = {{true, 52080, TypeParam::kCode, tagBytes},
                          {false, 52081, TypeParam::kCode + 1, tagBytes + 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.message);
        this->NewLoad();
        Bytes bytes = Store(filled);
        if (c.wrongTag)
            bytes[tagBytes - 1] = 'X';  // the closing bracket
        else
            bytes[tagBytes] = 1;
        fw::Archive in(bytes);
        R loaded;
        TypeParam::Fill(loaded);
        loaded.Serialize(in);
        EXPECT_FALSE(loaded != R());
        EXPECT_EQ(in.Position(), c.readUpTo);
        ASSERT_EQ(this->sink_.boxes.size(), 1u);
        EXPECT_EQ(this->sink_.boxes[0], res::FindString(c.message));
        EXPECT_TRUE(this->Logged(c.code));
    }
}

TYPED_TEST(SourceRecord, GoldenBytes) {
    using R = typename TypeParam::R;
    R filled;
    TypeParam::Fill(filled);
    const Bytes bytes = Store(filled);
    ExpectGolden(std::string(TypeParam::kName) + ".bin", std::string(bytes.begin(), bytes.end()), true);
    // The golden file loads back into the same record.
    const std::string golden = ReadAll(test_support::GoldenPath("records", std::string(TypeParam::kName) + ".bin"));
    fw::Archive in(Bytes(golden.begin(), golden.end()));
    R loaded;
    loaded.Serialize(in);
    EXPECT_FALSE(loaded != filled);
}

// Points are created by name when a table loads; every record can be.
TYPED_TEST(SourceRecord, CreatedByClassName) {
    std::unique_ptr<fw::Object> obj = fw::ClassRegistry::Create(TypeParam::kName);
    ASSERT_NE(obj, nullptr);
    EXPECT_STREQ(obj->GetClassName(), TypeParam::kName);
    EXPECT_EQ(fw::ClassRegistry::Schema(TypeParam::kName), 1);
}

TYPED_TEST(SourceRecord, GoldenSummary) {
    using R = typename TypeParam::R;
    R filled;
    TypeParam::Fill(filled);
    ExpectGolden(std::string(TypeParam::kName) + ".txt", TypeParam::Summaries(filled), false);
}

// ---------------------------------------------------------------- transient tables

Bytes PointBytes(double t, double m) { return Store(Point(t, m)); }

TEST_F(PartsSrc, EmptyTableStoresCountOnlyAndLoadsEmpty) {
    EXPECT_EQ(Store(CObArrayTimeMagnitude()), (Bytes{0x00, 0x00}));
    CObArrayTimeMagnitude t = Table({Point(1, 2)});
    fw::Archive in(Bytes{0x00, 0x00});
    t.Serialize(in);
    EXPECT_EQ(t.GetCount(), 0);
}

// The class is written once per archive: a second table, as a later record
// of the same file, refers to it by its index.
TEST_F(PartsSrc, TablesUseNewClassTagOnceThenClassIndex) {
    const CObArrayTimeMagnitude first = Table({Point(1e-3, 1.0), Point(2e-3, 2.0)});
    const CObArrayTimeMagnitude second = Table({Point(3e-3, 3.0)});
    fw::Archive ar;
    const_cast<CObArrayTimeMagnitude&>(first).Serialize(ar);
    const_cast<CObArrayTimeMagnitude&>(second).Serialize(ar);

    Bytes expected;
    AppendU16(expected, 2);
    AppendU16(expected, 0xFFFF);
    AppendU16(expected, 1);
    AppendU16(expected, 16);
    AppendText(expected, "CObTimeMagnitude");
    for (uint8_t b : PointBytes(1e-3, 1.0)) expected.push_back(b);
    AppendU16(expected, 0x8001);
    for (uint8_t b : PointBytes(2e-3, 2.0)) expected.push_back(b);
    AppendU16(expected, 1);
    AppendU16(expected, 0x8001);
    for (uint8_t b : PointBytes(3e-3, 3.0)) expected.push_back(b);
    EXPECT_EQ(ar.Bytes(), expected);

    fw::Archive in(ar.Bytes());
    CObArrayTimeMagnitude a, b;
    a.Serialize(in);
    b.Serialize(in);
    EXPECT_FALSE(a != first);
    EXPECT_FALSE(b != second);
    EXPECT_TRUE(in.AtEnd());
}

TEST_F(PartsSrc, TableComparison) {
    const CObTimeMagnitude a = Point(1e-3, 1.0), b = Point(2e-3, 2.0), a2 = Point(1e-3, 1.5);
    struct Case {
        const char* what;
        CObArrayTimeMagnitude left, right;
        BOOL differ;
    };
    const Case cases[] = {
        {"both empty", Table({}), Table({}), FALSE},
        {"same points", Table({a, b}), Table({a, b}), FALSE},
        {"other order", Table({a, b}), Table({b, a}), TRUE},
        {"other count", Table({a}), Table({a, b}), TRUE},
        {"other magnitude", Table({a, b}), Table({a2, b}), TRUE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.left != c.right, c.differ);
        EXPECT_EQ(c.right != c.left, c.differ);
    }
}

TEST_F(PartsSrc, TableAssignmentCopiesPointsAndKeepsItself) {
    CObArrayTimeMagnitude source = Table({Point(1, 1), Point(2, 2)});
    CObArrayTimeMagnitude target = Table({Point(9, 9), Point(8, 8), Point(7, 7)});
    target = source;
    EXPECT_FALSE(target != source);
    EXPECT_NE(target.GetPointAt(0), source.GetPointAt(0));  // own copies
    source.GetPointAt(0)->m_dMagnitude = 5;
    EXPECT_EQ(target.GetPointAt(0)->m_dMagnitude, 1);

    CObArrayTimeMagnitude& alias = target;
    target = alias;
    ASSERT_EQ(target.GetCount(), 2);
    EXPECT_EQ(target.GetPointAt(1)->m_dTime, 2);
}

// A slot left empty (a copy that ran out of memory) is skipped by the
// summary and never written, so the saved table loads back.
TEST_F(PartsSrc, EmptySlotsAreSkippedAndNeverStored) {
    CObArrayTimeMagnitude t;
    t.AddCopy(0, Point(1, 1));
    t.AddCopy(2, Point(3, 3));
    t.AddCopy(-1, Point(4, 4));
    ASSERT_EQ(t.GetCount(), 3);
    EXPECT_EQ(t.GetPointAt(1), nullptr);
    EXPECT_EQ(t.GetPointAt(3), nullptr);
    EXPECT_EQ(t.GetPointAt(-1), nullptr);

    CObArrayTimeMagnitude copy = t;
    EXPECT_FALSE(copy != t);
    EXPECT_TRUE(copy != Table({Point(1, 1), Point(3, 3), Point(0, 0)}));

    fw::StringFile f;
    t.WriteSummary(f, 0);
    fw::StringFile expected;
    Point(1, 1).WriteSummary(expected, 0);
    Point(3, 3).WriteSummary(expected, 0);
    EXPECT_EQ(f.text, expected.text);

    fw::Archive in(Store(t));
    CObArrayTimeMagnitude loaded;
    loaded.Serialize(in);
    EXPECT_FALSE(loaded != Table({Point(1, 1), Point(3, 3)}));
}

TEST_F(PartsSrc, TableSummaryWritesTwoLinesPerPointInIndexOrder) {
    const CObArrayTimeMagnitude t = Table({Point(2e-3, 1.0), Point(1e-3, -0.5), Point(0.25, 1e4)});
    struct Case {
        int kind;
        const char* unit;
    };
    for (const Case& c : {Case{1, "amperes"}, Case{0, "volts"}}) {
        SCOPED_TRACE(c.kind);
        fw::StringFile f;
        EXPECT_EQ(t.WriteSummary(f, c.kind), TRUE);
        const std::string u = c.unit;
        EXPECT_EQ(f.text, "\r\n      Time:  2.000e-003 seconds\r\n      Magnitude:  1.000e+000 " + u +
                              "\r\n      Time:  1.000e-003 seconds\r\n      Magnitude:  -5.000e-001 " + u +
                              "\r\n      Time:  2.500e-001 seconds\r\n      Magnitude:  1.000e+004 " + u);
    }
}

// Damaged tables end the load with ArchiveError and never hold a null point.
TEST_F(PartsSrc, DamagedTableNeverHoldsNullPoints) {
    const Bytes onePoint = Store(Table({Point(1, 1)}));
    Bytes nullAfterPoint = onePoint;
    nullAfterPoint[0] = 2;
    AppendU16(nullAfterPoint, 0);
    Bytes otherClass;
    AppendU16(otherClass, 1);
    AppendU16(otherClass, 0xFFFF);
    AppendU16(otherClass, 1);
    AppendU16(otherClass, 15);
    AppendText(otherClass, "CCrntVoltSource");
    Bytes sharedPoint = onePoint;
    sharedPoint[0] = 2;
    AppendU16(sharedPoint, 2);  // the first point's object index
    Bytes hugeCount;
    AppendU16(hugeCount, 0xFFFF);
    for (uint8_t b : {0xFF, 0xFF, 0xFF, 0x7F}) hugeCount.push_back(b);
    Bytes truncated(onePoint.begin(), onePoint.end() - 3);

    struct Case {
        const char* what;
        Bytes bytes;
    };
    const Case cases[] = {{"null element", Bytes{1, 0, 0, 0}},
                          {"null after a point", nullAfterPoint},
                          {"another class", otherClass},
                          {"shared point", sharedPoint},
                          {"huge count", hugeCount},
                          {"truncated point", truncated}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CObArrayTimeMagnitude t = Table({Point(5, 5)});
        fw::Archive in(c.bytes);
        EXPECT_THROW(t.Serialize(in), fw::ArchiveError);
        for (int i = 0; i < t.GetCount(); ++i) EXPECT_NE(t.GetPointAt(i), nullptr);
    }
}

TEST_F(PartsSrc, PointWithWrongSchemaKeepsItsPlaceWithZeroValues) {
    Bytes bytes = Store(Table({Point(1, 1)}));
    // count, new-class tag with name, then the point's tag string and schema
    const size_t schemaAt = 2 + 6 + 16 + 1 + 24;
    ASSERT_EQ(bytes[schemaAt], 0);
    bytes[schemaAt] = 7;
    fw::Archive in(bytes);
    CObArrayTimeMagnitude t;
    t.Serialize(in);
    ASSERT_EQ(t.GetCount(), 1);
    EXPECT_FALSE(*t.GetPointAt(0) != CObTimeMagnitude());
    EXPECT_EQ(sink_.boxes, std::vector<std::string>{res::FindString(52081)});
    EXPECT_TRUE(Logged(3801));
}

// ---------------------------------------------------------------- sources

TEST_F(PartsSrc, VoltSourcePresets) {
    struct Case {
        int32_t variant;
        double dc;
        bool codeLogged;
    };
    const Case cases[] = {{0, 0.0, false}, {1, 5.0, false}, {2, 1e-05, false}, {3, 0.0, true}, {-1, 0.0, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.variant);
        NewLoad();
        CCrntVoltSource s;
        VoltTraits::Fill(s);
        s.m_strTag = "<X>";
        s.SetDefaults(c.variant);
        EXPECT_EQ(s.m_strTag, "<CRNT_VOLT_SOURCE_DATA>");
        EXPECT_EQ(s.m_dACPeakMagnitude, 0.0);
        EXPECT_EQ(s.m_dACFrequency, 0.0);
        EXPECT_EQ(s.m_dDCMagnitude, c.dc);
        EXPECT_EQ(s.m_Transient.GetCount(), 0);
        EXPECT_EQ(Logged(3802), c.codeLogged);
    }
    CCrntVoltSource unit;
    VoltTraits::Fill(unit);
    unit.InitDefaultsUnitDC();
    CCrntVoltSource expected;
    expected.m_dDCMagnitude = 1.0;
    EXPECT_FALSE(unit != expected);
}

TEST_F(PartsSrc, SensSourcePresetsKeepValueOnUnknownVariant) {
    struct Case {
        int32_t start, variant, result;
        bool codeLogged;
    };
    const Case cases[] = {{2, 0, 0, false}, {2, 1, 1, false}, {2, 2, 2, true}, {1, -1, 1, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.variant);
        NewLoad();
        CCrntSensSource s;
        s.m_strTag = "<X>";
        s.m_iSensedCurrent = c.start;
        s.SetDefaults(c.variant);
        EXPECT_EQ(s.m_strTag, "<CRNT_SENS_SOURCE_DATA>");
        EXPECT_EQ(s.m_iSensedCurrent, c.result);
        EXPECT_EQ(Logged(3813), c.codeLogged);
    }
}

// Only 0, 1 and 2 name a current; anything else in a file is damage.
TEST_F(PartsSrc, SensSourceOutOfRangeValueIsDamage) {
    for (int32_t bad : {3, -1}) {
        SCOPED_TRACE(bad);
        NewLoad();
        CCrntSensSource stored;
        stored.m_iSensedCurrent = bad;
        fw::Archive in(Store(stored));
        CCrntSensSource loaded;
        loaded.m_iSensedCurrent = 2;
        loaded.Serialize(in);
        EXPECT_FALSE(loaded != CCrntSensSource());
        EXPECT_TRUE(in.AtEnd());
        EXPECT_EQ(sink_.boxes, std::vector<std::string>{res::FindString(52080)});
        EXPECT_TRUE(Logged(3817));
        EXPECT_FALSE(Logged(3814));  // that is the wrong tag's code
    }
}

TEST_F(PartsSrc, SourceSummaryUnitsFollowTheKind) {
    CCrntVoltSource s;
    s.m_dDCMagnitude = 12;
    struct Case {
        bool dcOnly;
        int kind;
        const char* firstLine;
    };
    const Case cases[] = {{false, 0, "\r\n    DC Magnitude:  1.200e+001 volts"},
                          {false, 1, "\r\n    DC Magnitude:  1.200e+001 amperes"},
                          {true, 0, "\r\n    DC Magnitude:  1.200e+001 volts"},
                          {true, 7, "\r\n    DC Magnitude:  1.200e+001 amps"}};
    for (const Case& c : cases) {
        fw::StringFile f;
        EXPECT_EQ(c.dcOnly ? s.WriteSummaryDC(f, c.kind) : s.WriteSummary(f, c.kind), TRUE);
        EXPECT_EQ(f.text.substr(0, std::strlen(c.firstLine)), c.firstLine);
        if (c.dcOnly) {
            EXPECT_EQ(f.text, c.firstLine);
        }
    }

    CCrntSensSource sens;
    sens.m_iSensedCurrent = 3;
    fw::StringFile f;
    sens.WriteSummary(f);
    EXPECT_EQ(f.text, "\r\n    Unknown Source");
}

}  // namespace
