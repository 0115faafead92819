#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <memory>
#include <regex>
#include <string>
#include <type_traits>
#include <vector>

#include "platform/core/Archive.h"
#include "platform/core/File.h"
#include "platform/core/ReportSink.h"
#include "records/DbParts.h"
#include "records/Parts.h"
#include "records/Utils.h"
#include "resources/StringTable.h"
#include "support/Golden.h"
#include "support/ReportCapture.h"

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

using test_support::ReadAll;

std::vector<uint8_t> Store(fw::Object& obj) {
    fw::Archive ar;
    obj.Serialize(ar);
    return ar.Bytes();
}

// Loads the object from the bytes and returns how many bytes were read.
size_t Load(fw::Object& obj, const std::vector<uint8_t>& bytes) {
    fw::Archive ar(bytes);
    obj.Serialize(ar);
    return ar.Position();
}

void CheckGolden(const std::string& name, const std::string& actual) {
    test_support::ExpectGolden("records", name, actual);
}

std::string AsString(const std::vector<uint8_t>& bytes) { return std::string(bytes.begin(), bytes.end()); }

// Summary text with its CR LF made visible, one summary line per file line.
std::string Visible(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\r') out += "\\r";
        else if (c == '\n') out += "\\n\n";
        else out += c;
    }
    return out;
}

template <class F>
std::string Summary(F write) {
    fw::StringFile f;
    write(f);
    return f.text;
}

// A record with every value distinct, so that a swapped field shows.
template <class T>
struct Info;

template <>
struct Info<CCapacitor> {
    static constexpr int kTagCode = 21301;
    static void Fill(CCapacitor& r) {
        r.m_strName = "C101 470uF/63V";
        r.m_dCapacitance = 4.7e-4;
        r.m_dBreakdownVoltage = 63.0;
        r.m_dCapTempCoefLinear = 0.03;
        r.m_dCapTempCoefQuad = -2.5e-4;
        r.m_dEsr = 0.045;
        r.m_dEsrTempCoefLinear = -0.8;
        r.m_dEsrTempCoefQuad = 0.0021;
        r.m_dEsl = 1.5e-8;
        r.m_dLeakageCurrent = 2.2e-5;
        r.m_dLeakageTempCoef = 6.5;
    }
    static double& AValue(CCapacitor& r) { return r.m_dEsr; }
};

template <>
struct Info<CDiode> {
    static constexpr int kTagCode = 21304;
    static void Fill(CDiode& r) {
        r.m_strName = "MUR1560";
        r.m_dForwardVoltage = 0.85;
        r.m_dForwardVoltageTempCoef = -0.0021;
        r.m_dDynamicResistance = 0.012;
        r.m_dBreakdownVoltage = 600.0;
        r.m_dLeadInductance = 7.5e-9;
        r.m_dJunctionCapacitance = 4.4e-11;
    }
    static double& AValue(CDiode& r) { return r.m_dForwardVoltage; }
};

template <>
struct Info<CResistor> {
    static constexpr int kTagCode = 21310;
    static void Fill(CResistor& r) {
        r.m_strName = "R7 0.1R";
        r.m_dResistance = 0.1;
        r.m_dTempCoefLinear = 150.0;
        r.m_dTempCoefQuad = -0.35;
        r.m_dEsl = 3.3e-9;
    }
    static double& AValue(CResistor& r) { return r.m_dResistance; }
};

template <>
struct Info<CObCurrentInductance> {
    static constexpr int kTagCode = 21315;
    static void Fill(CObCurrentInductance& r) {
        r.m_dCurrent = 1.25;
        r.m_dInductance = 3.3e-6;
    }
    static double& AValue(CObCurrentInductance& r) { return r.m_dInductance; }
};

template <>
struct Info<CCoreSatChar> {
    static constexpr int kTagCode = 21318;
    static void Fill(CCoreSatChar& r) {
        r.m_arPoints.AddCopy(0, CObCurrentInductance(0.5, 1e-4));
        r.m_arPoints.AddCopy(1, CObCurrentInductance(2.0, 6e-5));
    }
    static double& AValue(CCoreSatChar& r) { return r.m_arPoints.GetPointAt(1)->m_dCurrent; }
};

template <>
struct Info<CInductor> {
    static constexpr int kTagCode = 21307;
    static void Fill(CInductor& r) {
        r.m_strName = "L2 toroid";
        r.m_dInductance = 2.2e-4;
        r.m_dDcResistance = 0.018;
        r.m_dAcResistance = 0.26;
        r.m_dCorePowerLoss = 0.75;
        r.m_CoreSatChar.m_arPoints.AddCopy(0, CObCurrentInductance(0.5, 2.2e-4));
        r.m_CoreSatChar.m_arPoints.AddCopy(1, CObCurrentInductance(3.0, 1.4e-4));
        r.m_CoreSatChar.m_arPoints.AddCopy(2, CObCurrentInductance(6.0, 4.5e-5));
    }
    static double& AValue(CInductor& r) { return r.m_dAcResistance; }
};

template <>
struct Info<CTransistorFE> {
    static constexpr int kTagCode = 21313;
    static void Fill(CTransistorFE& r) {
        r.m_strName = "IRFP460";
        r.m_dOnResistance = 0.27;
        r.m_dOnResistanceTempCoef = 0.65;
        r.m_dBreakdownVoltage = 500.0;
        r.m_dTurnOnDelay = 1.8e-8;
        r.m_dRiseTime = 5.9e-8;
        r.m_dTurnOffDelay = 1.1e-7;
        r.m_dFallTime = 5.8e-8;
        r.m_dBodyDiodeForwardVoltage = 1.8;
        r.m_dBodyDiodeResistance = 0.035;
        r.m_dSourceInductance = 1.3e-8;
        r.m_dDrainInductance = 5e-9;
        r.m_dOutputCapacitance = 8.7e-10;
    }
    static double& AValue(CTransistorFE& r) { return r.m_dFallTime; }
};

template <class T>
T Filled() {
    T r;
    Info<T>::Fill(r);
    return r;
}

// Reports land in a recording sink and a log of the test's own.
class DbPartsTest : public test_support::ReportCaptureTest {
protected:
    // The internal codes logged under the DbParts module, in order.
    std::vector<int> LoggedCodes() const {
        std::vector<int> codes;
        const std::string log = Log();
        static const std::regex re("DbParts:   CODE (-?[0-9]+)\r\n");
        for (auto it = std::sregex_iterator(log.begin(), log.end(), re); it != std::sregex_iterator(); ++it)
            codes.push_back(std::stoi((*it)[1].str()));
        return codes;
    }
};

// ---------------------------------------------------------------------------
// The archive behaviour every record shares.

template <class T>
class DbPartsRecordTest : public DbPartsTest {};

using ArchivedRecords =
    ::testing::Types<CCapacitor, CDiode, CResistor, CInductor, CTransistorFE, CObCurrentInductance, CCoreSatChar>;

struct ClassNames {
    template <class T>
    static std::string GetName(int) {
        return T::StaticClassName();
    }
};
TYPED_TEST_SUITE(DbPartsRecordTest, ArchivedRecords, ClassNames);

TYPED_TEST(DbPartsRecordTest, DefaultsStoreAndLoadEqual) {
    TypeParam defaults;
    const auto bytes = Store(defaults);
    TypeParam loaded = Filled<TypeParam>();
    EXPECT_EQ(Load(loaded, bytes), bytes.size());
    EXPECT_FALSE(loaded != defaults);
    EXPECT_TRUE(this->sink_.boxes.empty());
    EXPECT_TRUE(this->LoggedCodes().empty());
}

// The golden bytes pin tag, schema word and field order.
TYPED_TEST(DbPartsRecordTest, FieldOrderMatchesGoldenBytesAndLoadsBack) {
    TypeParam record = Filled<TypeParam>();
    ASSERT_TRUE(record != TypeParam());
    const auto bytes = Store(record);
    CheckGolden(std::string(TypeParam::StaticClassName()) + ".bin", AsString(bytes));
    TypeParam loaded;
    EXPECT_EQ(Load(loaded, bytes), bytes.size());
    EXPECT_FALSE(loaded != record);
}

TYPED_TEST(DbPartsRecordTest, WrongTagGivesDefaultsAndReadsNoField) {
    TypeParam stored = Filled<TypeParam>();
    auto bytes = Store(stored);
    const size_t tagLength = TypeParam().m_strTag.size();
    bytes[1] = 'X';  // first character of the tag
    TypeParam record = Filled<TypeParam>();
    EXPECT_EQ(Load(record, bytes), 1 + tagLength);
    EXPECT_FALSE(record != TypeParam());
    // A second damaged record in the same load logs again but shows no new box.
    TypeParam second = Filled<TypeParam>();
    Load(second, bytes);
    EXPECT_EQ(this->LoggedCodes(), (std::vector<int>{Info<TypeParam>::kTagCode, Info<TypeParam>::kTagCode}));
    // The transistor alone logs its code without the corrupted-file box.
    if constexpr (std::is_same_v<TypeParam, CTransistorFE>) {
        EXPECT_TRUE(this->sink_.boxes.empty());
    } else {
        EXPECT_EQ(this->sink_.boxes, std::vector<std::string>{res::FindString(52080)});
    }
}

TYPED_TEST(DbPartsRecordTest, WrongSchemaGivesDefaultsAndCodePlusOne) {
    TypeParam stored = Filled<TypeParam>();
    auto bytes = Store(stored);
    const size_t schemaAt = 1 + TypeParam().m_strTag.size();
    bytes[schemaAt] = 7;
    bytes[schemaAt + 1] = 0;
    TypeParam record = Filled<TypeParam>();
    EXPECT_EQ(Load(record, bytes), schemaAt + 2);
    EXPECT_FALSE(record != TypeParam());
    EXPECT_EQ(this->LoggedCodes(), std::vector<int>{Info<TypeParam>::kTagCode + 1});
    EXPECT_EQ(this->sink_.boxes, std::vector<std::string>{res::FindString(52081)});
}

// A file cut anywhere inside a record is a damaged file, never a crash.
TYPED_TEST(DbPartsRecordTest, TruncatedRecordIsAnArchiveError) {
    TypeParam full = Filled<TypeParam>();
    const auto bytes = Store(full);
    for (size_t n = 0; n < bytes.size(); ++n) {
        TypeParam record;
        EXPECT_THROW(Load(record, std::vector<uint8_t>(bytes.begin(), bytes.begin() + long(n))), fw::ArchiveError)
            << "cut after " << n << " bytes";
    }
}

TYPED_TEST(DbPartsRecordTest, CopyAndCompare) {
    const TypeParam original = Filled<TypeParam>();
    TypeParam constructed(original);
    TypeParam assigned;
    assigned = original;
    EXPECT_FALSE(constructed != original);
    EXPECT_FALSE(assigned != original);
    TypeParam& alias = assigned;
    assigned = alias;  // assigning a record to itself keeps it
    EXPECT_FALSE(assigned != original);

    TypeParam other(original);
    other.m_strTag = "<OTHER_DATA>";
    EXPECT_TRUE(other != original);
    if constexpr (requires { other.m_strName; }) {
        other = original;
        other.m_strName += " ";
        EXPECT_TRUE(other != original);
    }

    // Values that are not ordered never count as a difference.
    TypeParam a(original), b(original);
    Info<TypeParam>::AValue(a) = kNaN;
    EXPECT_FALSE(a != b);
    EXPECT_FALSE(b != a);
    Info<TypeParam>::AValue(b) = kNaN;
    EXPECT_FALSE(a != b);
    Info<TypeParam>::AValue(a) = 1.0;
    Info<TypeParam>::AValue(b) = std::nextafter(1.0, 2.0);
    EXPECT_TRUE(a != b);
}

// Points are created by name when a characteristic loads; every record can be.
TYPED_TEST(DbPartsRecordTest, CreatedByClassName) {
    std::unique_ptr<fw::Object> obj = fw::ClassRegistry::Create(TypeParam::StaticClassName());
    ASSERT_NE(obj, nullptr);
    EXPECT_STREQ(obj->GetClassName(), TypeParam::StaticClassName());
    EXPECT_EQ(fw::ClassRegistry::Schema(TypeParam::StaticClassName()), 1);
}

// ---------------------------------------------------------------------------
// Presets

TEST_F(DbPartsTest, CapacitorPresets) {
    // A record that never got a preset carries one henry of series inductance.
    EXPECT_EQ(CCapacitor().m_dEsl, 1.0);
    const struct {
        int preset;
        double capacitance;
    } rows[] = {{0, 1e-14}, {1, 1.0}, {2, 1e-9}, {3, 1e-3}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.preset);
        CCapacitor c = Filled<CCapacitor>();
        c.SetDefaults(row.preset);
        EXPECT_EQ(c.m_strTag, "<CAPACITOR_DATA>");
        EXPECT_EQ(c.m_strName, "Default");
        EXPECT_EQ(c.m_dCapacitance, row.capacitance);
        EXPECT_EQ(c.m_dBreakdownVoltage, 10000.0);
        EXPECT_EQ(c.m_dEsr, 1e-6);
        EXPECT_EQ(c.m_dEsl, 1e-10);
        for (double v : {c.m_dCapTempCoefLinear, c.m_dCapTempCoefQuad, c.m_dEsrTempCoefLinear, c.m_dEsrTempCoefQuad,
                         c.m_dLeakageCurrent, c.m_dLeakageTempCoef})
            EXPECT_EQ(v, 0.0);
    }
    EXPECT_TRUE(LoggedCodes().empty());
}

TEST_F(DbPartsTest, DiodePresets) {
    const struct {
        int preset;
        double forwardVoltage;
    } rows[] = {{0, 0.7}, {1, 0.0}, {2, 1.4}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.preset);
        CDiode d = Filled<CDiode>();
        d.SetDefaults(row.preset);
        EXPECT_EQ(d.m_strTag, "<DIODE_DATA>");
        EXPECT_EQ(d.m_strName, "Default");
        EXPECT_EQ(d.m_dForwardVoltage, row.forwardVoltage);
        EXPECT_EQ(d.m_dForwardVoltageTempCoef, -0.0036);
        EXPECT_EQ(d.m_dDynamicResistance, 0.01);
        EXPECT_EQ(d.m_dBreakdownVoltage, 100.0);
        EXPECT_EQ(d.m_dLeadInductance, 1e-9);
        EXPECT_EQ(d.m_dJunctionCapacitance, 1e-13);
    }
    EXPECT_EQ(CDiode().m_dForwardVoltage, 0.0);
    EXPECT_TRUE(LoggedCodes().empty());
}

TEST_F(DbPartsTest, InductorPresets) {
    const struct {
        int preset;
        double inductance;
    } rows[] = {{0, 1e-8}, {1, 1e-4}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.preset);
        CInductor l = Filled<CInductor>();
        l.SetDefaults(row.preset);
        EXPECT_EQ(l.m_strTag, "<INDUCTOR_DATA>");
        EXPECT_EQ(l.m_strName, "Default");
        EXPECT_EQ(l.m_dInductance, row.inductance);
        EXPECT_EQ(l.m_dDcResistance, 1e-6);
        EXPECT_EQ(l.m_dAcResistance, 1e-6);
        EXPECT_EQ(l.m_dCorePowerLoss, 0.0);
        EXPECT_FALSE(l.m_CoreSatChar.HasPoints());
    }
    EXPECT_TRUE(LoggedCodes().empty());
}

TEST_F(DbPartsTest, ResistorPresets) {
    const struct {
        int preset;
        double resistance;
    } rows[] = {{0, 1e-6}, {1, 1e8}, {2, 1e-5}, {3, 1e3}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.preset);
        CResistor r = Filled<CResistor>();
        r.SetDefaults(row.preset);
        EXPECT_EQ(r.m_strTag, "<RESISTOR_DATA>");
        EXPECT_EQ(r.m_strName, "Default");
        EXPECT_EQ(r.m_dResistance, row.resistance);
        EXPECT_EQ(r.m_dTempCoefLinear, 0.0);
        EXPECT_EQ(r.m_dTempCoefQuad, 0.0);
        EXPECT_EQ(r.m_dEsl, 1e-10);
    }
    EXPECT_EQ(CResistor().m_dEsl, 0.0);
    EXPECT_TRUE(LoggedCodes().empty());
}

TEST_F(DbPartsTest, TransistorPresetRaisesOnlyTheBreakdownVoltage) {
    CTransistorFE expected;
    expected.m_dBreakdownVoltage = 10000.0;
    CTransistorFE t = Filled<CTransistorFE>();
    t.SetDefaults(0);
    EXPECT_FALSE(t != expected);
    EXPECT_EQ(CTransistorFE().m_dBreakdownVoltage, 10.0);
    CCoreSatChar c = Filled<CCoreSatChar>();
    c.SetDefaults(0);
    EXPECT_FALSE(c.HasPoints());
    EXPECT_TRUE(LoggedCodes().empty());
}

template <class T>
bool MissingPresetLeavesInitDefaults(int preset) {
    T r = Filled<T>();
    r.SetDefaults(preset);
    return !(r != T());
}

TEST_F(DbPartsTest, MissingPresetLogsItsCodeAndLeavesInitDefaults) {
    const struct {
        const char* what;
        bool (*apply)(int);
        int preset;
        int code;
    } rows[] = {
        {"capacitor", MissingPresetLeavesInitDefaults<CCapacitor>, 4, 21300},
        {"capacitor", MissingPresetLeavesInitDefaults<CCapacitor>, -1, 21300},
        {"diode", MissingPresetLeavesInitDefaults<CDiode>, 3, 21303},
        {"inductor", MissingPresetLeavesInitDefaults<CInductor>, 2, 21306},
        {"resistor", MissingPresetLeavesInitDefaults<CResistor>, 4, 21309},
        {"transistor", MissingPresetLeavesInitDefaults<CTransistorFE>, 1, 21312},
        {"characteristic", MissingPresetLeavesInitDefaults<CCoreSatChar>, 1, 21317},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.what) + " preset " + std::to_string(row.preset));
        ResetLogStarted();
        EXPECT_TRUE(row.apply(row.preset));
        EXPECT_EQ(LoggedCodes(), std::vector<int>{row.code});
    }
    EXPECT_TRUE(sink_.boxes.empty());
}

// ---------------------------------------------------------------------------
// Summaries

TEST_F(DbPartsTest, SummariesMatchGoldenText) {
    using Form = std::pair<const char*, std::function<std::string()>>;
    CInductor bare = Filled<CInductor>();
    bare.m_CoreSatChar.InitDefaults();
    const struct {
        const char* record;
        std::vector<Form> forms;
    } rows[] = {
        {"CCapacitor",
         {{"full", [] { return Summary([](fw::File& f) { Filled<CCapacitor>().WriteSummary(f); }); }},
          {"short", [] { return Summary([](fw::File& f) { Filled<CCapacitor>().WriteSummaryShort(f); }); }}}},
        {"CDiode",
         {{"full", [] { return Summary([](fw::File& f) { Filled<CDiode>().WriteSummary(f, FALSE); }); }},
          {"full, current sense", [] { return Summary([](fw::File& f) { Filled<CDiode>().WriteSummary(f, TRUE); }); }},
          {"short", [] { return Summary([](fw::File& f) { Filled<CDiode>().WriteSummaryShort(f); }); }}}},
        {"CInductor",
         {{"full, three points", [] { return Summary([](fw::File& f) { Filled<CInductor>().WriteSummary(f); }); }},
          {"full, no points", [&bare] { return Summary([&bare](fw::File& f) { bare.WriteSummary(f); }); }},
          {"short", [] { return Summary([](fw::File& f) { Filled<CInductor>().WriteSummaryShort(f); }); }}}},
        {"CResistor",
         {{"full", [] { return Summary([](fw::File& f) { Filled<CResistor>().WriteSummary(f); }); }},
          {"short", [] { return Summary([](fw::File& f) { Filled<CResistor>().WriteSummaryShort(f); }); }}}},
        {"CTransistorFE",
         {{"full", [] { return Summary([](fw::File& f) { Filled<CTransistorFE>().WriteSummary(f); }); }}}},
        {"CObCurrentInductance",
         {{"full", [] { return Summary([](fw::File& f) { Filled<CObCurrentInductance>().WriteSummary(f); }); }}}},
        {"CCoreSatChar",
         {{"full, two points", [] { return Summary([](fw::File& f) { Filled<CCoreSatChar>().WriteSummary(f); }); }},
          {"full, no points", [] { return Summary([](fw::File& f) { CCoreSatChar().WriteSummary(f); }); }}}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.record);
        std::string text;
        for (const auto& [form, write] : row.forms) text += std::string("[") + form + "]\n" + Visible(write()) + "\n";
        CheckGolden(std::string(row.record) + "_summary.txt", text);
    }
}

// Independent of the golden files: the exact bytes of a few lines.
TEST_F(DbPartsTest, SummaryLinesUseThreeDigitExponents) {
    const std::string capacitor = Summary([](fw::File& f) { CCapacitor().WriteSummary(f); });
    const std::string head = "\r\n    Name or Part Number:  Default\r\n    Capacitance:  1.000e-014 farads\r\n";
    EXPECT_EQ(capacitor.substr(0, head.size()), head);
    EXPECT_NE(capacitor.find("\r\n    Equivalent Series Inductance:  1.000e+000 henries"), std::string::npos);
    const std::string diode = Summary([](fw::File& f) { CDiode().WriteSummary(f, FALSE); });
    EXPECT_NE(diode.find("\r\n    Lead Inductance: 1.000e-009 henries"), std::string::npos);
}

TEST_F(DbPartsTest, CurrentSenseDiodeSummaryEndsWithTheArrangement) {
    const std::string text = Summary([](fw::File& f) { CDiode().WriteSummary(f, TRUE); });
    const std::string last = "\r\n    Current Sense Diode Arrangement:   2 Anti-Parallel Diodes";
    ASSERT_GE(text.size(), last.size());
    EXPECT_EQ(text.substr(text.size() - last.size()), last);
    EXPECT_EQ(text.find("Lead Inductance"), std::string::npos);
    EXPECT_EQ(text.find("Junction Capacitance"), std::string::npos);
}

TEST_F(DbPartsTest, InductorPointLinesFollowCorePowerLoss) {
    auto linesAfterLoss = [](const CInductor& l) {
        const std::string text = Summary([&l](fw::File& f) { l.WriteSummary(f); });
        const size_t at = text.find("\r\n    Core Power Loss: ");
        EXPECT_NE(at, std::string::npos);
        int n = 0;
        for (size_t p = text.find("\r\n", at + 2); p != std::string::npos; p = text.find("\r\n", p + 2)) ++n;
        return n;
    };
    EXPECT_EQ(linesAfterLoss(CInductor()), 0);
    EXPECT_EQ(linesAfterLoss(Filled<CInductor>()), 6);
}

// ---------------------------------------------------------------------------
// The field-effect transistor's older schema

std::vector<uint8_t> SchemaZeroTransistor(const std::string& name, double onResistance, double breakdown) {
    fw::Archive ar;
    ar.WriteString("<TRANSISTOR_FE_DATA>");
    ar.WriteU16(0);
    ar.WriteString(name);
    ar.WriteF64(onResistance);
    ar.WriteF64(breakdown);
    for (double v : {2e-8, 3e-8, 4e-8, 5e-8, 0.9, 0.2, 2e-9, 3e-9, 2e-13}) ar.WriteF64(v);
    return ar.Bytes();
}

TEST_F(DbPartsTest, SchemaZeroTransistorsLoadWithOneNoticeAndStoreAsSchemaOne) {
    std::vector<uint8_t> file = SchemaZeroTransistor("Q1", 0.05, 200.0);
    const auto second = SchemaZeroTransistor("Q2", 0.05, 200.0);
    file.insert(file.end(), second.begin(), second.end());

    fw::Archive ar(file);
    CTransistorFE q1 = Filled<CTransistorFE>(), q2 = Filled<CTransistorFE>();
    q1.Serialize(ar);
    q2.Serialize(ar);
    EXPECT_TRUE(ar.AtEnd());
    EXPECT_EQ(sink_.boxes, std::vector<std::string>{res::FindString(54035)});
    EXPECT_TRUE(LoggedCodes().empty());

    CTransistorFE expected;
    expected.m_strName = "Q1";
    expected.m_dOnResistance = 0.05;
    expected.m_dOnResistanceTempCoef = 0.0;
    expected.m_dBreakdownVoltage = 200.0;
    expected.m_dTurnOnDelay = 2e-8;
    expected.m_dRiseTime = 3e-8;
    expected.m_dTurnOffDelay = 4e-8;
    expected.m_dFallTime = 5e-8;
    expected.m_dBodyDiodeForwardVoltage = 0.9;
    expected.m_dBodyDiodeResistance = 0.2;
    expected.m_dSourceInductance = 2e-9;
    expected.m_dDrainInductance = 3e-9;
    expected.m_dOutputCapacitance = 2e-13;
    EXPECT_FALSE(q1 != expected);
    EXPECT_EQ(q2.m_strName, "Q2");
    EXPECT_EQ(q2.m_dOnResistanceTempCoef, 0.0);

    // Stored again: schema 1 with twelve values.
    const auto stored = Store(q1);
    const size_t schemaAt = 1 + std::string("<TRANSISTOR_FE_DATA>").size();
    EXPECT_EQ(stored[schemaAt], 1);
    EXPECT_EQ(stored[schemaAt + 1], 0);
    EXPECT_EQ(stored.size(), schemaAt + 2 + 1 + 2 + 12 * 8);
    CTransistorFE reloaded;
    EXPECT_EQ(Load(reloaded, stored), stored.size());
    EXPECT_FALSE(reloaded != expected);
    EXPECT_EQ(sink_.boxes.size(), 1u);
}

// ---------------------------------------------------------------------------
// The point list and the characteristic

CObArrayCurrentInductance Points(std::initializer_list<std::pair<double, double>> points) {
    CObArrayCurrentInductance list;
    for (const auto& [i, l] : points) list.AddCopy(list.GetCount(), CObCurrentInductance(i, l));
    return list;
}

TEST_F(DbPartsTest, PointListsCompareInOrder) {
    const struct {
        const char* what;
        CObArrayCurrentInductance a, b;
        BOOL differ;
    } rows[] = {
        {"same points", Points({{1, 2e-4}, {2, 1e-4}}), Points({{1, 2e-4}, {2, 1e-4}}), FALSE},
        {"other order", Points({{1, 2e-4}, {2, 1e-4}}), Points({{2, 1e-4}, {1, 2e-4}}), TRUE},
        {"one more point", Points({{1, 2e-4}}), Points({{1, 2e-4}, {2, 1e-4}}), TRUE},
        {"both empty", Points({}), Points({}), FALSE},
        {"not ordered", Points({{kNaN, 2e-4}}), Points({{1, 2e-4}}), FALSE},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        EXPECT_EQ(row.a != row.b, row.differ);
        CCoreSatChar ca, cb;
        ca.m_arPoints = row.a;
        cb.m_arPoints = row.b;
        EXPECT_EQ(ca != cb, row.differ);
    }
}

TEST_F(DbPartsTest, AddCopyAppendsReplacesAndLeavesNoGaps) {
    CObArrayCurrentInductance list = Points({{1, 1e-4}, {2, 2e-4}});
    list.AddCopy(1, CObCurrentInductance(5, 5e-4));  // replaces
    ASSERT_EQ(list.GetCount(), 2);
    EXPECT_EQ(list.GetPointAt(1)->m_dCurrent, 5.0);
    list.AddCopy(10, CObCurrentInductance(6, 6e-4));  // past the end: appends
    list.AddCopy(-1, CObCurrentInductance(7, 7e-4));
    ASSERT_EQ(list.GetCount(), 4);
    EXPECT_EQ(list.GetPointAt(2)->m_dCurrent, 6.0);
    EXPECT_EQ(list.GetPointAt(3)->m_dCurrent, 7.0);
    EXPECT_EQ(list.GetPointAt(4), nullptr);
    EXPECT_EQ(list.GetPointAt(-1), nullptr);
    // Adding a point of the list itself copies it first.
    list.AddCopy(0, *list.GetPointAt(0));
    EXPECT_EQ(list.GetPointAt(0)->m_dCurrent, 1.0);
}

TEST_F(DbPartsTest, CopyingAListIntoItselfKeepsIt) {
    CObArrayCurrentInductance list = Points({{1, 1e-4}, {2, 2e-4}, {3, 3e-4}});
    const CObArrayCurrentInductance& same = list;
    list = same;
    EXPECT_FALSE(list != Points({{1, 1e-4}, {2, 2e-4}, {3, 3e-4}}));
    CCoreSatChar c = Filled<CCoreSatChar>();
    const CCoreSatChar& sameChar = c;
    c = sameChar;
    EXPECT_EQ(c.m_arPoints.GetCount(), 2);
}

TEST_F(DbPartsTest, CopiedCharacteristicOwnsItsPoints) {
    auto source = std::make_unique<CCoreSatChar>(Filled<CCoreSatChar>());
    CCoreSatChar copy;
    copy = *source;
    source->m_arPoints.GetPointAt(0)->m_dCurrent = 99.0;
    EXPECT_EQ(copy.m_arPoints.GetPointAt(0)->m_dCurrent, 0.5);
    source.reset();
    EXPECT_FALSE(copy != Filled<CCoreSatChar>());
}

TEST_F(DbPartsTest, LoadingACharacteristicReplacesItsPoints) {
    CCoreSatChar stored = Filled<CCoreSatChar>();
    const auto bytes = Store(stored);
    CCoreSatChar target;
    target.m_arPoints = Points({{7, 7e-4}, {8, 8e-4}, {9, 9e-4}, {10, 1e-3}});
    EXPECT_EQ(Load(target, bytes), bytes.size());
    EXPECT_FALSE(target != stored);
    EXPECT_TRUE(target.HasPoints());
}

// ---------------------------------------------------------------------------
// The parts-database transformer record

TEST_F(DbPartsTest, TransformerDbDefaults) {
    const CTransformerDb db;
    EXPECT_EQ(db.m_strTag, "<DB_TRANSFORMER_DATA>");
    EXPECT_EQ(db.m_strName, "Default");
    for (int w = 0; w < CTransformerDb::kWindings; ++w) {
        SCOPED_TRACE(w);
        EXPECT_EQ(db.m_dTurns[size_t(w)], 1.0);
        EXPECT_EQ(db.m_dDcResistance[size_t(w)], 0.0);
        EXPECT_EQ(db.m_dAcResistance[size_t(w)], 0.0);
        EXPECT_EQ(db.m_dOcInductance[size_t(w)], 1.0);
        EXPECT_EQ(db.m_dIntraCapacitance[size_t(w)], 1e-13);
    }
    for (double v : db.m_dShortedInductance) EXPECT_EQ(v, 0.0);
    EXPECT_EQ(db.m_nConnection, (std::array<int32_t, 8>{3, 2, 3, 2, 3, 2, 3, 2}));
    EXPECT_EQ(db.m_dCorePowerLoss, 0.0);
    EXPECT_FALSE(db.m_CoreSatChar.HasPoints());
}

TEST_F(DbPartsTest, TransformerDbPairOrder) {
    const struct {
        int earlier, later, index;
    } rows[] = {{0, 2, 0},  {0, 6, 4},  {1, 2, 5},  {1, 6, 9},   {2, 3, 10}, {2, 6, 13}, {3, 4, 14},
                {4, 6, 18}, {5, 6, 19}, {0, 1, -1}, {3, 3, -1}, {4, 2, -1},  {0, 7, -1}, {-1, 2, -1}};
    for (const auto& row : rows)
        EXPECT_EQ(CTransformerDb::PairIndex(row.earlier, row.later), row.index) << row.earlier << "," << row.later;
}

TEST_F(DbPartsTest, TransformerDbIsNeverArchivedAndComparesItsFields) {
    CTransformerDb db;
    EXPECT_TRUE(Store(db).empty());
    db.m_strName = "kept";
    EXPECT_EQ(Load(db, {1, 2, 3}), 0u);
    EXPECT_EQ(db.m_strName, "kept");

    const CTransformerDb base;
    const struct {
        const char* what;
        std::function<void(CTransformerDb&)> change;
        BOOL differ;
    } rows[] = {
        {"name", [](CTransformerDb& d) { d.m_strName = "X"; }, TRUE},
        {"connection H", [](CTransformerDb& d) { d.m_nConnection[CTransformerDb::kEndH] = 0; }, TRUE},
        {"pair (5,6)", [](CTransformerDb& d) { d.m_dShortedInductance[19] = 1e-6; }, TRUE},
        {"core power loss", [](CTransformerDb& d) { d.m_dCorePowerLoss = 1.0; }, TRUE},
        {"characteristic", [](CTransformerDb& d) { d.m_CoreSatChar.m_arPoints.AddCopy(0, {}); }, TRUE},
        {"not ordered", [](CTransformerDb& d) { d.m_dTurns[6] = kNaN; }, FALSE},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        CTransformerDb changed;
        row.change(changed);
        EXPECT_EQ(changed != base, row.differ);
        CTransformerDb copy;
        copy = changed;
        EXPECT_FALSE(copy != changed);
    }
}

// A database record whose every entry is recognisable, to see what a
// conversion overwrites and what it keeps.
CTransformerDb MarkedTransformerDb() {
    CTransformerDb db;
    db.m_strName = "old";
    db.m_dTurns.fill(9.0);
    db.m_dDcResistance.fill(9.0);
    db.m_dAcResistance.fill(9.0);
    db.m_dOcInductance.fill(9.0);
    for (size_t i = 0; i < db.m_dShortedInductance.size(); ++i) db.m_dShortedInductance[i] = 100.0 + double(i);
    for (size_t i = 0; i < db.m_dIntraCapacitance.size(); ++i) db.m_dIntraCapacitance[i] = 200.0 + double(i);
    db.m_nConnection.fill(1);
    db.m_dCorePowerLoss = 9.0;
    return db;
}

TEST_F(DbPartsTest, TransformerDbFromTwoWindingTransformer) {
    CTransformer x;
    x.m_strName = "CT 1:100";
    x.m_dPrimaryTurns = 1.0;
    x.m_dSecondaryTurns = 100.0;
    x.m_dPrimaryDcResistance = 0.001;
    x.m_dSecondaryDcResistance = 0.002;
    x.m_dPrimaryAcResistance = 1.1;
    x.m_dSecondaryAcResistance = 1.2;
    x.m_dPrimaryInductance = 1e-5;
    x.m_dSecondaryInductance = 0.1;
    x.m_dSecondaryShortedInductance = 0.002;
    x.m_dCoupling = 0.5;
    x.m_dCorePowerLoss = 0.3;
    x.m_CoreSatChar.m_arPoints = Points({{1, 0.1}, {2, 0.05}});

    CTransformerDb db = MarkedTransformerDb();
    db = x;
    EXPECT_EQ(db.m_strTag, "<DB_TRANSFORMER_DATA>");
    EXPECT_EQ(db.m_strName, "CT 1:100");
    using W = std::array<double, 7>;
    EXPECT_EQ(db.m_dTurns, (W{1.0, 0, 100.0, 0, 0, 0, 0}));
    EXPECT_EQ(db.m_dDcResistance, (W{0.001, 0, 0.002, 0, 0, 0, 0}));
    EXPECT_EQ(db.m_dAcResistance, (W{1.1, 0, 1.2, 0, 0, 0, 0}));
    EXPECT_EQ(db.m_dOcInductance, (W{1e-5, 0, 0.1, 0, 0, 0, 0}));
    EXPECT_EQ(db.m_dIntraCapacitance, MarkedTransformerDb().m_dIntraCapacitance);
    for (int a = 0; a < 7; ++a) {
        for (int b = a + 1; b < 7; ++b) {
            const int i = CTransformerDb::PairIndex(a, b);
            if (i < 0) continue;
            SCOPED_TRACE(std::to_string(a) + "," + std::to_string(b));
            const double expected = (a == 0 && b == 2) ? 0.002 : (b == 6 && a >= 2) ? 100.0 + i : 0.0;
            EXPECT_EQ(db.m_dShortedInductance[size_t(i)], expected);
        }
    }
    EXPECT_EQ(db.m_nConnection, (std::array<int32_t, 8>{}));
    EXPECT_EQ(db.m_dCorePowerLoss, 0.3);
    EXPECT_FALSE(db.m_CoreSatChar != x.m_CoreSatChar);
}

TEST_F(DbPartsTest, TransformerDbFromPowerTransformer) {
    CPwrTransformer p;
    p.m_strName = "T1 ETD39";
    for (size_t w = 0; w < 6; ++w) {
        p.m_dTurns[w] = 10.0 + double(w);
        p.m_dDcResistance[w] = 20.0 + double(w);
        p.m_dAcResistance[w] = 30.0 + double(w);
        p.m_dOpenInductance[w] = 40.0 + double(w);
        p.m_dCapacitance[w] = 50.0 + double(w);
    }
    for (size_t i = 0; i < 15; ++i) {
        p.m_dShortedInductance[i] = 60.0 + double(i);
        p.m_dCoupling[i] = 0.5;
    }
    for (size_t e = 0; e < 8; ++e) p.m_Connections[e] = int32_t(70 + e);  // A = 70 ... H = 77
    p.m_dCorePowerLoss = 0.8;
    p.m_CoreSatChar.m_arPoints = Points({{1, 0.1}});

    CTransformerDb db = MarkedTransformerDb();
    db = p;
    EXPECT_EQ(db.m_strTag, "<DB_TRANSFORMER_DATA>");
    EXPECT_EQ(db.m_strName, "T1 ETD39");
    using W = std::array<double, 7>;
    EXPECT_EQ(db.m_dTurns, (W{10, 0, 11, 12, 13, 14, 15}));
    EXPECT_EQ(db.m_dDcResistance, (W{20, 0, 21, 22, 23, 24, 25}));
    EXPECT_EQ(db.m_dAcResistance, (W{30, 0, 31, 32, 33, 34, 35}));
    EXPECT_EQ(db.m_dOcInductance, (W{40, 0, 41, 42, 43, 44, 45}));
    EXPECT_EQ(db.m_dIntraCapacitance, (W{50, 50, 51, 52, 53, 54, 55}));
    // Database pair order against the power transformer's pair order.
    const struct {
        int earlier, later;
        double expected;
    } pairs[] = {
        {0, 2, 60},  {0, 3, 61},  {0, 4, 62},  {0, 5, 63},  {0, 6, 64},                 // primary shorted
        {1, 2, 0},   {1, 3, 0},   {1, 4, 0},   {1, 5, 0},   {1, 6, 0},                  // the empty slot
        {2, 3, 65},  {2, 4, 66},  {2, 5, 67},  {3, 4, 69},  {3, 5, 70},  {4, 5, 72},    // secondaries
        {2, 6, 113}, {3, 6, 116}, {4, 6, 118}, {5, 6, 119},                             // to reset: kept
    };
    for (const auto& pair : pairs)
        EXPECT_EQ(db.m_dShortedInductance[size_t(CTransformerDb::PairIndex(pair.earlier, pair.later))], pair.expected)
            << pair.earlier << "," << pair.later;
    // Ends in the order A, C, B, D, E, F, G, H.
    EXPECT_EQ(db.m_nConnection, (std::array<int32_t, 8>{70, 72, 71, 73, 74, 75, 76, 77}));
    EXPECT_EQ(db.m_dCorePowerLoss, 0.8);
    EXPECT_FALSE(db.m_CoreSatChar != p.m_CoreSatChar);
}

}  // namespace
