// Records of module Parts: the archive scheme, copy and compare for every
// class, the presets and summaries of the small records, and the schema-0
// photo transistor. The transformers' own behaviour is in PartsXfmrTest.cpp.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <memory>

#include "platform/core/Archive.h"
#include "platform/core/File.h"
#include "platform/core/ReportSink.h"
#include "records/Parts.h"
#include "records/Utils.h"
#include "resources/StringTable.h"
#include "support/ArchiveBytes.h"
#include "support/Golden.h"
#include "support/ReportCapture.h"

namespace {

using test_support::CountOf;
using test_support::Store;
using test_support::ReadAll;

std::string CodeLine(int code) { return "Parts:     CODE " + std::to_string(code) + "\r\n"; }

// Compares with tests/fixtures/records/<name>.
void ExpectGolden(const std::string& name, const std::string& actual) {
    test_support::ExpectGolden("records", name, actual);
}

std::string AsString(const std::vector<uint8_t>& bytes) { return std::string(bytes.begin(), bytes.end()); }


// A record's header followed by a few filler bytes (read as fields only when
// the header is wrongly accepted).
std::vector<uint8_t> HeaderBytes(const std::string& tag, uint16_t schema) {
    fw::Archive ar;
    ar.WriteString(tag);
    ar.WriteU16(schema);
    for (int i = 0; i < 8; ++i) ar.WriteF64(123.0);
    return ar.Bytes();
}

// Message boxes recorded, the log in the test's temporary folder.
class PartsRecords : public test_support::ReportCaptureTest {
public:
    using ReportCaptureTest::Log;  // the preset checks read it
    int Boxes(int id) {
        int n = 0;
        for (const auto& b : sink_.boxes) n += b == res::FindString(uint32_t(id)) ? 1 : 0;
        return n;
    }
};

// ---------------------------------------------------------------------------
// The archive scheme, copy and compare, for every class of the module.

template <class R>
struct Traits;

template <>
struct Traits<CTransistorBP> {
    static constexpr const char* tag = "<TRANSISTOR_BP_DATA>";
    static constexpr int tagCode = 3701;
    static constexpr uint16_t badSchema = 1;
    static void Modify(CTransistorBP& r) { r.m_dForwardBiasVoltage = 0.55; }
    static void Sample(CTransistorBP& r) { r.SetDefaults(0); }
};
template <>
struct Traits<CTransformer> {
    static constexpr const char* tag = "<TRANSFORMER_DATA>";
    static constexpr int tagCode = 3708;
    static constexpr uint16_t badSchema = 1;
    static void Modify(CTransformer& r) {
        r.m_strName = "T1";
        r.m_dSecondaryShortedInductance = 2e-6;
        r.m_CoreSatChar.m_arPoints.AddCopy(0, CObCurrentInductance(1.5, 2e-5));
    }
    // Every value distinct, so the golden bytes pin the field order.
    static void Sample(CTransformer& r) {
        r.SetDefaults(1);
        r.m_strName = "CT 1:100";
        r.m_dPrimaryDcResistance = 0.0011;
        r.m_dSecondaryDcResistance = 0.0012;
        r.m_dPrimaryAcResistance = 1.1;
        r.m_dSecondaryAcResistance = 1.2;
        r.m_dCorePowerLoss = 0.35;
        r.ComputeCoupling();
        r.m_CoreSatChar.m_arPoints.AddCopy(0, CObCurrentInductance(0.5, 9e-6));
    }
};
template <>
struct Traits<CPwrTransformer> {
    static constexpr const char* tag = "<PWR_TRANSFORMER_DATA>";
    static constexpr int tagCode = 3728;
    static constexpr uint16_t badSchema = 1;
    static void Modify(CPwrTransformer& r) {
        r.m_strName = "PT";
        r.m_dCoupling[14] = 0.5;
        r.m_Connections[CPwrTransformer::kEndA] = 0;
        r.m_CoreSatChar.m_arPoints.AddCopy(0, CObCurrentInductance(2.0, 1e-4));
    }
    static void Sample(CPwrTransformer& r) {
        OutputEnables all;
        all.flags = {1, 1, 1, 1};
        // Every winding, pair and end distinct, so the golden bytes pin the
        // field order and the order within each table.
        r.SetDefaults(0, all, TRUE);
        r.m_strName = "PT-ETD39";
        for (size_t w = 0; w < CPwrTransformer::kWindings; ++w) {
            r.m_dTurns[w] = 10.0 + double(w);
            r.m_dDcResistance[w] = 1e-3 * double(w + 1);
            r.m_dAcResistance[w] = 0.1 * double(w + 1);
            r.m_dOpenInductance[w] = 2e-4 * double(w + 1);
            r.m_dCapacitance[w] = 1e-12 * double(w + 1);
        }
        for (size_t p = 0; p < CPwrTransformer::kPairs; ++p) r.m_dShortedInductance[p] = 1e-6 * double(p + 1);
        r.ComputeCoupling(all, TRUE);
        r.m_Connections.code = {2, 1, 1, 3, 2, 0, 1, 3};
        r.m_dCorePowerLoss = 1.25;
        r.m_CoreSatChar.m_arPoints.AddCopy(0, CObCurrentInductance(4.0, 1.5e-4));
    }
};
template <>
struct Traits<CSawtoothClock> {
    static constexpr const char* tag = "<SAWTOOTHCLOCK_DATA>";
    static constexpr int tagCode = 3731;
    static constexpr uint16_t badSchema = 1;
    static void Modify(CSawtoothClock& r) {
        r.m_nInhibitDuringReset = 0;
        r.m_dFrequency = 250000.0;
    }
    static void Sample(CSawtoothClock& r) {
        r.SetDefaults(0);
        r.m_dDcAverageVoltage = 1.5;
        r.m_dBlankingDutyRatio = 4.0;
    }
};
template <>
struct Traits<CComparator> {
    static constexpr const char* tag = "<COMPARATOR_DATA>";
    static constexpr int tagCode = 3734;
    static constexpr uint16_t badSchema = 1;
    static void Modify(CComparator& r) {
        r.m_nSoftStartDischarge = 1;
        r.m_dSoftStartThreshold = 2.5;
    }
    static void Sample(CComparator& r) {
        r.SetDefaults(0);
        r.m_nSoftStartDischarge = 1;
        r.m_dSoftStartThreshold = 0.7;
    }
};
template <>
struct Traits<CAmplifier> {
    static constexpr const char* tag = "<AMPLIFIER_DATA>";
    static constexpr int tagCode = 3737;
    static constexpr uint16_t badSchema = 1;
    static void Modify(CAmplifier& r) { r.m_dVoltageGain = 20.0; }
    static void Sample(CAmplifier& r) { r.SetDefaults(0); }
};
template <>
struct Traits<CResetSwitch> {
    static constexpr const char* tag = "<RESET_SWITCH_DATA>";
    static constexpr int tagCode = 3740;
    static constexpr uint16_t badSchema = 1;
    static void Modify(CResetSwitch& r) { r.m_dOnResistance = 0.1; }
    static void Sample(CResetSwitch& r) { r.SetDefaults(0); }
};
template <>
struct Traits<COperationalAmplifier> {
    static constexpr const char* tag = "<OPERATIONAL_AMPLIFIER_DATA>";
    static constexpr int tagCode = 3743;
    static constexpr uint16_t badSchema = 1;
    static void Modify(COperationalAmplifier& r) { r.m_dMaximumOutput = 12.0; }
    static void Sample(COperationalAmplifier& r) { r.SetDefaults(0); }
};
template <>
struct Traits<CUnderVoltLockOut> {
    static constexpr const char* tag = "<UNDERVOLTAGE_LOCK_OUT_DATA>";
    static constexpr int tagCode = 3746;
    static constexpr uint16_t badSchema = 1;
    static void Modify(CUnderVoltLockOut& r) { r.m_dTurnOffVoltage = 8.5; }
    static void Sample(CUnderVoltLockOut& r) {
        r.SetDefaults(0);
        r.m_dTurnOnVoltage = 9.5;
        r.m_dTurnOffVoltage = 8.0;
    }
};
template <>
struct Traits<COptoIsoDriverSource> {
    static constexpr const char* tag = "<OPTO_ISO_DRIVER_SOURCE_DATA>";
    static constexpr int tagCode = 3749;
    static constexpr uint16_t badSchema = 1;
    static void Modify(COptoIsoDriverSource& r) { r.m_nDriverSource = 2; }
    static void Sample(COptoIsoDriverSource& r) { r.SetDefaults(0); }
};
template <>
struct Traits<COptoIsoBiasVoltage> {
    static constexpr const char* tag = "<OPTO_ISO_BIAS_VOLTAGE_DATA>";
    static constexpr int tagCode = 3752;
    static constexpr uint16_t badSchema = 1;
    static void Modify(COptoIsoBiasVoltage& r) { r.m_dBiasVoltage = 12.0; }
    static void Sample(COptoIsoBiasVoltage& r) { r.SetDefaults(0); }
};
template <>
struct Traits<CTransistorPhoto> {
    static constexpr const char* tag = "<TRANSISTOR_PHOTO_DATA>";
    static constexpr int tagCode = 3755;
    static constexpr uint16_t badSchema = 2;
    static void Modify(CTransistorPhoto& r) { r.m_dBandwidth = 2e6; }
    static void Sample(CTransistorPhoto& r) { r.SetDefaults(0); }
};

template <class R>
class EveryPartsRecord : public PartsRecords {};

using PartsClasses = ::testing::Types<CTransistorBP, CTransformer, CPwrTransformer, CSawtoothClock, CComparator,
                                      CAmplifier, CResetSwitch, COperationalAmplifier, CUnderVoltLockOut,
                                      COptoIsoDriverSource, COptoIsoBiasVoltage, CTransistorPhoto>;
TYPED_TEST_SUITE(EveryPartsRecord, PartsClasses);

TYPED_TEST(EveryPartsRecord, StoredAndLoadedComparesEqual) {
    using R = TypeParam;
    R plain;
    R modified;
    Traits<R>::Modify(modified);
    ASSERT_TRUE(plain != modified);
    for (const R* source : {&plain, &modified}) {
        fw::Archive ar(Store(*source));
        R loaded;
        if (source == &plain) Traits<R>::Modify(loaded);
        loaded.Serialize(ar);
        EXPECT_FALSE(loaded != *source);
        EXPECT_TRUE(ar.AtEnd());
    }
    EXPECT_TRUE(this->sink_.boxes.empty());
}

TYPED_TEST(EveryPartsRecord, CopyIsEqualAndTagCounts) {
    using R = TypeParam;
    R source;
    Traits<R>::Modify(source);
    R copy;
    copy = source;
    EXPECT_FALSE(copy != source);
    R copyConstructed(source);
    EXPECT_FALSE(copyConstructed != source);
    // Assigning a record to itself keeps it, its characteristic included.
    R& alias = copy;
    copy = alias;
    EXPECT_FALSE(copy != source);

    R otherTag;
    otherTag.m_strTag = "<OTHER_DATA>";
    EXPECT_TRUE(otherTag != R());
}

TYPED_TEST(EveryPartsRecord, WrongTagGivesDefaultsCodeAndOneWarning) {
    using R = TypeParam;
    // Two damaged records in one load: one message box, both codes logged.
    fw::Archive ar(HeaderBytes("<CAPACITOR_DATA>", 0));
    R first;
    Traits<R>::Modify(first);
    first.Serialize(ar);
    EXPECT_FALSE(first != R());
    EXPECT_EQ(first.m_strTag, Traits<R>::tag);

    fw::Archive again(HeaderBytes("", 0));
    R second;
    second.Serialize(again);

    EXPECT_EQ(this->sink_.boxes.size(), 1u);
    EXPECT_EQ(this->Boxes(52080), 1);
    EXPECT_EQ(CountOf(this->Log(), CodeLine(Traits<R>::tagCode)), 2);
}

TYPED_TEST(EveryPartsRecord, UnknownSchemaGivesDefaultsAndReadsNoField) {
    using R = TypeParam;
    fw::Archive ar(HeaderBytes(Traits<R>::tag, Traits<R>::badSchema));
    R r;
    Traits<R>::Modify(r);
    r.Serialize(ar);
    EXPECT_FALSE(r != R());
    EXPECT_EQ(ar.Remaining(), 8u * 8u);
    EXPECT_EQ(this->Boxes(52081), 1);
    EXPECT_EQ(this->sink_.boxes.size(), 1u);
    EXPECT_EQ(CountOf(this->Log(), CodeLine(Traits<R>::tagCode + 1)), 1);
}

TYPED_TEST(EveryPartsRecord, GoldenBytes) {
    using R = TypeParam;
    R r;
    Traits<R>::Sample(r);
    std::string bytes = AsString(Store(r));
    ExpectGolden(std::string(R::StaticClassName()) + ".bin", bytes);

    // The golden bytes load back into the same record.
    std::string golden = ReadAll(test_support::GoldenPath("records", std::string(R::StaticClassName()) + ".bin"));
    fw::Archive ar(std::vector<uint8_t>(golden.begin(), golden.end()));
    R loaded;
    loaded.Serialize(ar);
    EXPECT_FALSE(loaded != r);
    EXPECT_TRUE(ar.AtEnd());
}

TYPED_TEST(EveryPartsRecord, CreatedByClassName) {
    using R = TypeParam;
    std::unique_ptr<fw::Object> obj = fw::ClassRegistry::Create(R::StaticClassName());
    ASSERT_NE(obj, nullptr);
    EXPECT_STREQ(obj->GetClassName(), R::StaticClassName());
    EXPECT_EQ(fw::ClassRegistry::Schema(R::StaticClassName()), 1);
}

TYPED_TEST(EveryPartsRecord, TruncatedRecordIsAnArchiveError) {
    using R = TypeParam;
    R r;
    Traits<R>::Sample(r);
    std::vector<uint8_t> bytes = Store(r);
    bytes.resize(bytes.size() - 1);
    fw::Archive ar(bytes);
    R loaded;
    EXPECT_THROW(loaded.Serialize(ar), fw::ArchiveError);
}

// ---------------------------------------------------------------------------
// Compare rule: doubles differ only when ordered.

TEST_F(PartsRecords, UnorderedDoublesNeverDiffer) {
    CComparator a;
    CComparator b;
    a.m_dDelay = std::nan("");
    EXPECT_FALSE(a != b);
    b.m_dDelay = std::nan("");
    EXPECT_FALSE(a != b);
    b.m_nSoftStartDischarge = 1;
    EXPECT_TRUE(a != b);
}

// ---------------------------------------------------------------------------
// Built-in values and presets of the small records.

template <class R>
struct PresetCase {
    const char* name;
    int variant;
    int code;                      // logged for an unknown variant, else 0
    std::function<void(R&)> expect;  // sets the expected values on a record
};

template <class R>
void CheckPresets(PartsRecords& t, const std::vector<PresetCase<R>>& cases, const std::function<void(R&)>& builtIn) {
    R expectedBuiltIn;
    builtIn(expectedBuiltIn);
    EXPECT_FALSE(R() != expectedBuiltIn) << R::StaticClassName() << " built-in values";
    for (const auto& c : cases) {
        R r;
        r.SetDefaults(c.variant);
        R expected;
        builtIn(expected);
        c.expect(expected);
        EXPECT_FALSE(r != expected) << R::StaticClassName() << " " << c.name;
        if (c.code) {
            EXPECT_EQ(CountOf(t.Log(), CodeLine(c.code)), 1) << c.code;
        }
    }
}

TEST_F(PartsRecords, BuiltInValuesAndPresets) {
    auto none = [](auto&) {};
    CheckPresets<CTransistorBP>(*this, {{"0", 0, 0, none}, {"1", 1, 3700, none}},
                                [](CTransistorBP& r) { r.m_dForwardBiasVoltage = 0.7; });
    CheckPresets<CSawtoothClock>(
        *this,
        {{"0", 0, 0,
          [](CSawtoothClock& r) {
              r.m_dPeakToValleyVoltage = 2.0;
              r.m_dDcAverageVoltage = 2.0;
              r.m_dFrequency = 100000.0;
          }},
         {"1", 1, 3730, none}},
        [](CSawtoothClock& r) {
            r.m_nInhibitDuringReset = 1;
            r.m_dPeakToValleyVoltage = 1.8;
            r.m_dDcAverageVoltage = 1.9;
            r.m_dPositiveSlopeDutyRatio = 90.0;
            r.m_dBlankingDutyRatio = 0.0;
            r.m_dFrequency = 1.0;
        });
    CheckPresets<CComparator>(*this, {{"0", 0, 0, [](CComparator& r) { r.m_dDelay = 1e-08; }}, {"-1", -1, 3733, none}},
                              [](CComparator& r) {
                                  r.m_dDelay = 5e-08;
                                  r.m_dLogicVoltage = 5.0;
                                  r.m_nLogicVoltageInPercent = 1;
                                  r.m_nSoftStartDischarge = 0;
                                  r.m_dSoftStartThreshold = 5.0;
                              });
    CheckPresets<CAmplifier>(*this, {{"0", 0, 0, none}, {"2", 2, 3736, none}},
                             [](CAmplifier& r) { r.m_dVoltageGain = 1.0; });
    CheckPresets<CResetSwitch>(*this, {{"0", 0, 0, [](CResetSwitch& r) { r.m_dOnResistance = 1e-06; }},
                                       {"1", 1, 3739, none}},
                               [](CResetSwitch& r) { r.m_dOnResistance = 1e-10; });
    CheckPresets<COperationalAmplifier>(*this, {{"0", 0, 0, none}, {"1", 1, 3742, none}},
                                        [](COperationalAmplifier& r) {
                                            r.m_dMinimumOutput = 0.0;
                                            r.m_dMaximumOutput = 5.0;
                                        });
    CheckPresets<CUnderVoltLockOut>(*this, {{"0", 0, 0, none}, {"1", 1, 3745, none}}, [](CUnderVoltLockOut& r) {
        r.m_dTurnOnVoltage = 1.0;
        r.m_dTurnOffVoltage = 1.0;
    });
    CheckPresets<COptoIsoDriverSource>(*this, {{"0", 0, 0, none}, {"1", 1, 3748, none}},
                                       [](COptoIsoDriverSource& r) {
                                           r.m_nDriverSource = 0;
                                           r.m_dSourceVoltage = 5.0;
                                       });
    CheckPresets<COptoIsoBiasVoltage>(*this, {{"0", 0, 0, none}, {"1", 1, 3751, none}},
                                      [](COptoIsoBiasVoltage& r) { r.m_dBiasVoltage = 5.0; });
    CheckPresets<CTransistorPhoto>(*this, {{"0", 0, 0, none}, {"1", 1, 3754, none}}, [](CTransistorPhoto& r) {
        r.m_dCurrentTransferRatio = 1.0;
        r.m_dBandwidth = 100000000.0;
    });

    // Only the unknown variants logged a code; nothing was shown.
    EXPECT_EQ(CountOf(Log(), "Parts:"), 10);
    EXPECT_TRUE(sink_.boxes.empty());
}

// A preset applied over edited values restores them.
TEST_F(PartsRecords, PresetStartsFromBuiltInValues) {
    CSawtoothClock clock;
    clock.m_dBlankingDutyRatio = 12.0;
    clock.m_nInhibitDuringReset = 0;
    clock.SetDefaults(7);
    EXPECT_FALSE(clock != CSawtoothClock());
}

// ---------------------------------------------------------------------------
// Summaries of the small records.

struct SummaryCase {
    const char* golden;  // file under tests/fixtures/records
    std::function<void(fw::File&)> write;
};

TEST_F(PartsRecords, SummariesMatchGoldenText) {
    auto clock = [](int32_t inhibit) {
        CSawtoothClock c;
        c.SetDefaults(0);
        c.m_nInhibitDuringReset = inhibit;
        c.m_dBlankingDutyRatio = 5.0;
        return c;
    };
    auto comparator = [](int32_t percent, int32_t discharge) {
        CComparator c;
        c.SetDefaults(0);
        c.m_nLogicVoltageInPercent = percent;
        c.m_nSoftStartDischarge = discharge;
        c.m_dSoftStartThreshold = 0.5;
        return c;
    };
    auto driver = [](int32_t source) {
        COptoIsoDriverSource d;
        d.m_nDriverSource = source;
        return d;
    };
    const SummaryCase cases[] = {
        {"CTransistorBP.txt", [](fw::File& f) { EXPECT_TRUE(CTransistorBP().WriteSummary(f)); }},
        {"CSawtoothClock.txt", [&](fw::File& f) { EXPECT_TRUE(clock(1).WriteSummary(f)); }},
        // Any non-zero flag inhibits.
        {"CSawtoothClock.txt", [&](fw::File& f) { EXPECT_TRUE(clock(-3).WriteSummary(f)); }},
        {"CSawtoothClockNoInhibit.txt", [&](fw::File& f) { EXPECT_TRUE(clock(0).WriteSummary(f)); }},
        {"CComparatorDelay.txt", [&](fw::File& f) { EXPECT_TRUE(comparator(1, 1).WriteSummaryDelay(f)); }},
        {"CComparatorLogicPercent.txt", [&](fw::File& f) { EXPECT_TRUE(comparator(1, 0).WriteSummaryLogic(f)); }},
        {"CComparatorLogicVolts.txt", [&](fw::File& f) { EXPECT_TRUE(comparator(0, 0).WriteSummaryLogic(f)); }},
        // Only 1 means per cent.
        {"CComparatorLogicVolts.txt", [&](fw::File& f) { EXPECT_TRUE(comparator(2, 0).WriteSummaryLogic(f)); }},
        {"CComparatorSoftStartEnabled.txt",
         [&](fw::File& f) { EXPECT_TRUE(comparator(1, 1).WriteSummarySoftStart(f)); }},
        {"CComparatorSoftStartDisabled.txt",
         [&](fw::File& f) { EXPECT_TRUE(comparator(1, 0).WriteSummarySoftStart(f)); }},
        // Only 1 means enabled.
        {"CComparatorSoftStartDisabled.txt",
         [&](fw::File& f) { EXPECT_TRUE(comparator(1, 2).WriteSummarySoftStart(f)); }},
        {"CAmplifier.txt", [](fw::File& f) { EXPECT_TRUE(CAmplifier().WriteSummary(f)); }},
        {"CResetSwitch.txt", [](fw::File& f) { EXPECT_TRUE(CResetSwitch().WriteSummary(f)); }},
        {"COperationalAmplifier.txt", [](fw::File& f) { EXPECT_TRUE(COperationalAmplifier().WriteSummary(f)); }},
        {"CUnderVoltLockOut.txt", [](fw::File& f) { EXPECT_TRUE(CUnderVoltLockOut().WriteSummary(f)); }},
        {"COptoIsoDriverSourceIndependent.txt", [&](fw::File& f) { EXPECT_TRUE(driver(0).WriteSummary(f)); }},
        {"COptoIsoDriverSourceOutput3.txt", [&](fw::File& f) { EXPECT_TRUE(driver(3).WriteSummary(f)); }},
        {"COptoIsoBiasVoltage.txt", [](fw::File& f) { EXPECT_TRUE(COptoIsoBiasVoltage().WriteSummary(f)); }},
        {"CTransistorPhoto.txt", [](fw::File& f) { EXPECT_TRUE(CTransistorPhoto().WriteSummary(f)); }},
    };
    for (const auto& c : cases) {
        fw::StringFile f;
        c.write(f);
        SCOPED_TRACE(c.golden);
        ExpectGolden(c.golden, f.text);
    }
}

// Two lines that the golden files must hold exactly as the record's
// design words them.
TEST_F(PartsRecords, SummaryWordingSpotChecks) {
    COptoIsoDriverSource d;
    d.m_nDriverSource = 3;
    fw::StringFile f;
    d.WriteSummary(f);
    EXPECT_EQ(f.text, "\r\n    Driver Source:  Output  3");

    CSawtoothClock c;
    c.m_nInhibitDuringReset = 0;
    c.m_dBlankingDutyRatio = 50.0;
    fw::StringFile g;
    c.WriteSummary(g);
    EXPECT_EQ(g.text,
              "\r\n    Peak to Valley Voltage:  1.800e+000 volts"
              "\r\n    DC Average Voltage:  1.900e+000 volts"
              "\r\n    Positive Slope Duty Ratio:  9.000e+001 per cent"
              "\r\n  Switching Ripple Frequency:  1.000e+000 hertz"
              "\r\n    Do NOT Inhibit During Reset");
}

// ---------------------------------------------------------------------------
// The photo transistor's older layout.

std::vector<uint8_t> PhotoSchema0(double ratio) {
    fw::Archive ar;
    ar.WriteString("<TRANSISTOR_PHOTO_DATA>");
    ar.WriteU16(0);
    ar.WriteF64(ratio);
    return ar.Bytes();
}

TEST_F(PartsRecords, PhotoTransistorSchema0LoadsWithNoticeAndStoresAsSchema1) {
    std::vector<uint8_t> bytes = PhotoSchema0(0.5);
    std::vector<uint8_t> twice = bytes;
    twice.insert(twice.end(), bytes.begin(), bytes.end());
    fw::Archive ar(twice);
    CTransistorPhoto a;
    CTransistorPhoto b;
    a.m_dBandwidth = 3.0;
    a.Serialize(ar);
    b.Serialize(ar);
    EXPECT_TRUE(ar.AtEnd());
    EXPECT_EQ(a.m_dCurrentTransferRatio, 0.5);
    EXPECT_EQ(a.m_dBandwidth, 100000000.0);
    EXPECT_FALSE(a != b);
    // One notice per load, none of the damaged-file warnings.
    EXPECT_EQ(sink_.boxes.size(), 1u);
    EXPECT_EQ(Boxes(54035), 1);
    EXPECT_EQ(CountOf(Log(), "Parts:"), 0);

    fw::Archive expected;
    expected.WriteString("<TRANSISTOR_PHOTO_DATA>");
    expected.WriteU16(1);
    expected.WriteF64(0.5);
    expected.WriteF64(100000000.0);
    EXPECT_EQ(Store(a), expected.Bytes());

    // The next load shows the notice again.
    ResetFileWarnings();
    fw::Archive next(bytes);
    CTransistorPhoto c;
    c.Serialize(next);
    EXPECT_EQ(Boxes(54035), 2);
}

TEST_F(PartsRecords, PhotoTransistorNoticeDoesNotHideLaterDamage) {
    std::vector<uint8_t> bytes = PhotoSchema0(0.25);
    std::vector<uint8_t> damaged = HeaderBytes("<TRANSISTOR_PHOTO_DATA>", 2);
    bytes.insert(bytes.end(), damaged.begin(), damaged.end());
    fw::Archive ar(bytes);
    CTransistorPhoto a;
    CTransistorPhoto b;
    a.Serialize(ar);
    b.Serialize(ar);
    EXPECT_EQ(Boxes(54035), 1);
    EXPECT_EQ(Boxes(52081), 1);
    EXPECT_EQ(b.m_dCurrentTransferRatio, 1.0);
    EXPECT_EQ(b.m_dBandwidth, 100000000.0);
}

}  // namespace
