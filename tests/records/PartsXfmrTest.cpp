// The two-winding and the power transformer: coupling coefficients, presets,
// the parts-database tag and record, the order of the connection codes in the
// archive, and the summaries.
#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>
#include <functional>
#include <limits>

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

std::string CodeLine(int code) { return "Parts:     CODE " + std::to_string(code) + "\r\n"; }

void ExpectGolden(const std::string& name, const std::string& actual) {
    test_support::ExpectGolden("records", name, actual);
}


const double kNaN = std::numeric_limits<double>::quiet_NaN();

OutputEnables Outputs(std::array<int32_t, 4> flags) {
    OutputEnables o;
    o.flags = flags;
    return o;
}

using Transformers = test_support::ReportCaptureTest;

// ---------------------------------------------------------------------------
// CTransformer

TEST_F(Transformers, TwoWindingCoupling) {
    struct Case {
        const char* name;
        std::function<void(CTransformer&)> change;
        BOOL ok;
        double k;
        int code;  // 0: none logged
    };
    const Case cases[] = {
        {"new record", [](CTransformer& t) { t.InitDefaults(); }, TRUE, 1.0, 0},
        // sqrt((1e-5 - 1e-7) / 1e-5) = sqrt(0.99)
        {"preset 0", [](CTransformer& t) { t.SetDefaults(0); }, TRUE, 0.99498743710662, 0},
        // sqrt((0.1 - 0.002) / 0.1) = sqrt(0.98)
        {"preset 1", [](CTransformer& t) { t.SetDefaults(1); }, TRUE, 0.98994949366117, 0},
        {"shorted above open circuit", [](CTransformer& t) { t.m_dSecondaryShortedInductance = 2e-5; }, FALSE, 0, 3707},
        {"shorted equals open circuit", [](CTransformer& t) { t.m_dSecondaryShortedInductance = 1e-5; }, TRUE, 0, 0},
        {"negative shorted", [](CTransformer& t) { t.m_dSecondaryShortedInductance = -1e-5; }, FALSE, 0, 3707},
        {"primary turns 0", [](CTransformer& t) { t.m_dPrimaryTurns = 0; }, FALSE, 0, 3706},
        {"secondary turns 0", [](CTransformer& t) { t.m_dSecondaryTurns = 0; }, FALSE, 0, 3706},
        {"primary inductance 0", [](CTransformer& t) { t.m_dPrimaryInductance = 0; }, FALSE, 0, 3706},
        {"secondary inductance 0", [](CTransformer& t) { t.m_dSecondaryInductance = 0; }, FALSE, 0, 3707},
        {"both secondary inductances 0",
         [](CTransformer& t) {
             t.m_dSecondaryInductance = 0;
             t.m_dSecondaryShortedInductance = 0;
         },
         FALSE, 0, 3707},
        {"secondary inductance NaN", [](CTransformer& t) { t.m_dSecondaryInductance = kNaN; }, FALSE, 0, 3707},
        {"shorted inductance NaN", [](CTransformer& t) { t.m_dSecondaryShortedInductance = kNaN; }, FALSE, 0, 3707},
        {"secondary inductance infinite",
         [](CTransformer& t) { t.m_dSecondaryInductance = std::numeric_limits<double>::infinity(); }, FALSE, 0, 3707},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RestartLog();
        CTransformer t;
        t.SetDefaults(0);
        c.change(t);
        t.m_dCoupling = 0.5;
        CTransformer before = t;
        std::feclearexcept(FE_ALL_EXCEPT);
        EXPECT_EQ(t.ComputeCoupling(), c.ok);
        EXPECT_EQ(std::fetestexcept(FE_DIVBYZERO | FE_INVALID), 0);
        EXPECT_NEAR(t.m_dCoupling, c.k, 1e-13);
        // Nothing but the coefficient changes.
        before.m_dCoupling = t.m_dCoupling;
        EXPECT_FALSE(t != before);
        std::string log = Log();
        EXPECT_EQ(CountOf(log, "Parts:"), c.code ? 1 : 0);
        if (c.code) {
            EXPECT_EQ(CountOf(log, CodeLine(c.code)), 1);
        }
    }
    EXPECT_TRUE(sink_.boxes.empty());
}

TEST_F(Transformers, TwoWindingPresets) {
    struct Case {
        int preset;
        double secondaryTurns, dcResistance, acResistance, secondaryInductance, shorted;
    };
    // Preset 0: the first-stage output filter; preset 1: the current-sense
    // transformer; 2 is unknown and keeps the built-in values.
    const Case cases[] = {
        {0, 100, 0.001, 1.0, 1e-5, 1e-7},
        {1, 100, 0.001, 1.0, 0.1, 0.002},
        {2, 1, 0, 0, 1e-5, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.preset);
        RestartLog();
        CTransformer t;
        t.m_strName = "edited";
        t.m_dCorePowerLoss = 3.0;
        t.m_CoreSatChar.m_arPoints.AddCopy(0, CObCurrentInductance(1.0, 1e-5));
        t.SetDefaults(c.preset);
        EXPECT_EQ(t.m_strTag, "<TRANSFORMER_DATA>");
        EXPECT_EQ(t.m_strName, "Default");
        EXPECT_EQ(t.m_dPrimaryTurns, 1);
        EXPECT_EQ(t.m_dSecondaryTurns, c.secondaryTurns);
        EXPECT_EQ(t.m_dPrimaryDcResistance, c.dcResistance);
        EXPECT_EQ(t.m_dSecondaryDcResistance, c.dcResistance);
        EXPECT_EQ(t.m_dPrimaryAcResistance, c.acResistance);
        EXPECT_EQ(t.m_dSecondaryAcResistance, c.acResistance);
        EXPECT_EQ(t.m_dPrimaryInductance, 1e-5);
        EXPECT_EQ(t.m_dSecondaryInductance, c.secondaryInductance);
        EXPECT_EQ(t.m_dSecondaryShortedInductance, c.shorted);
        EXPECT_DOUBLE_EQ(t.m_dCoupling, std::sqrt((c.secondaryInductance - c.shorted) / c.secondaryInductance));
        EXPECT_EQ(t.m_dCorePowerLoss, 0);
        EXPECT_FALSE(t.m_CoreSatChar.HasPoints());
        const std::string log = Log();
        EXPECT_EQ(CountOf(log, "Parts:"), c.preset == 2 ? 1 : 0);
        if (c.preset == 2) {
            EXPECT_EQ(CountOf(log, CodeLine(3704)), 1);
        }
    }
    EXPECT_FALSE(CTransformer() != [] {
        CTransformer t;
        t.SetDefaults(2);
        return t;
    }());
}

TEST_F(Transformers, TwoWindingDatabaseTag) {
    CTransformer t;
    t.SetDefaults(1);
    t.m_strTag = "<DB_TRANSFORMER_DATA>";
    std::vector<uint8_t> bytes = Store(t);
    EXPECT_EQ(t.m_strTag, "<TRANSFORMER_DATA>");
    CTransformer expected;
    expected.SetDefaults(1);
    EXPECT_EQ(bytes, Store(expected));

    // A file that holds the database tag loads without a warning.
    fw::Archive ar;
    ar.WriteString("<DB_TRANSFORMER_DATA>");
    std::vector<uint8_t> rest(bytes.begin() + 1 + 18, bytes.end());
    ar.WriteBytes(rest.data(), rest.size());
    fw::Archive in(ar.Bytes());
    CTransformer loaded;
    loaded.Serialize(in);
    EXPECT_TRUE(in.AtEnd());
    EXPECT_FALSE(loaded != expected);
    EXPECT_TRUE(sink_.boxes.empty());
}

TEST_F(Transformers, TwoWindingFromDatabaseRecord) {
    CTransformerDb db;
    db.m_strName = "DB part";
    for (size_t i = 0; i < 7; ++i) {
        db.m_dTurns[i] = 10.0 + double(i);
        db.m_dDcResistance[i] = 20.0 + double(i);
        db.m_dAcResistance[i] = 30.0 + double(i);
        db.m_dOcInductance[i] = 40.0 + double(i);
    }
    for (size_t i = 0; i < db.m_dShortedInductance.size(); ++i) db.m_dShortedInductance[i] = 100.0 + double(i);
    db.m_dCorePowerLoss = 0.25;
    db.m_CoreSatChar.m_arPoints.AddCopy(0, CObCurrentInductance(1.0, 2.0));

    CTransformer t;
    t.m_dCoupling = 0.3;
    t = db;
    EXPECT_EQ(t.m_strTag, "<TRANSFORMER_DATA>");
    EXPECT_EQ(t.m_strName, "DB part");
    EXPECT_EQ(t.m_dPrimaryTurns, 10.0);
    EXPECT_EQ(t.m_dSecondaryTurns, 12.0);
    EXPECT_EQ(t.m_dPrimaryDcResistance, 20.0);
    EXPECT_EQ(t.m_dSecondaryDcResistance, 22.0);
    EXPECT_EQ(t.m_dPrimaryAcResistance, 30.0);
    EXPECT_EQ(t.m_dSecondaryAcResistance, 32.0);
    EXPECT_EQ(t.m_dPrimaryInductance, 40.0);
    EXPECT_EQ(t.m_dSecondaryInductance, 42.0);
    EXPECT_EQ(t.m_dSecondaryShortedInductance, 100.0);  // the pair (0, 2)
    EXPECT_EQ(t.m_dCoupling, 0.3);
    EXPECT_EQ(t.m_dCorePowerLoss, 0.25);
    EXPECT_FALSE(t.m_CoreSatChar != db.m_CoreSatChar);
}

// ---------------------------------------------------------------------------
// CPwrTransformer

TEST_F(Transformers, PowerTransformerDefaults) {
    CPwrTransformer t;
    EXPECT_EQ(t.m_strTag, "<PWR_TRANSFORMER_DATA>");
    EXPECT_EQ(t.m_strName, "Default");
    for (int w = 0; w < CPwrTransformer::kWindings; ++w) {
        SCOPED_TRACE(w);
        EXPECT_EQ(t.m_dTurns[size_t(w)], 1.0);
        EXPECT_EQ(t.m_dDcResistance[size_t(w)], 0.0);
        EXPECT_EQ(t.m_dAcResistance[size_t(w)], 0.0);
        EXPECT_EQ(t.m_dOpenInductance[size_t(w)], 1.0);
        EXPECT_EQ(t.m_dCapacitance[size_t(w)], 1e-13);
    }
    for (int p = 0; p < CPwrTransformer::kPairs; ++p) {
        EXPECT_EQ(t.m_dShortedInductance[size_t(p)], 0.0);
        EXPECT_EQ(t.m_dCoupling[size_t(p)], 0.0);
    }
    EXPECT_EQ(t.m_Connections.code, (std::array<int32_t, 8>{2, 3, 2, 3, 2, 3, 2, 3}));
    EXPECT_EQ(t.m_dCorePowerLoss, 0.0);
    EXPECT_FALSE(t.m_CoreSatChar.HasPoints());
}

TEST_F(Transformers, PowerTransformerPairOrder) {
    using T = CPwrTransformer;
    int expected = 0;
    for (int e = T::kPrimary; e < T::kWindings; ++e)
        for (int l = e + 1; l < T::kWindings; ++l) EXPECT_EQ(T::PairIndex(e, l), expected++);
    EXPECT_EQ(expected, T::kPairs);
    EXPECT_EQ(T::PairIndex(T::kSecondary1, T::kReset), 8);
    EXPECT_EQ(T::PairIndex(T::kSecondary4, T::kReset), 14);
    EXPECT_EQ(T::PairIndex(2, 2), -1);
    EXPECT_EQ(T::PairIndex(3, 1), -1);
    EXPECT_EQ(T::PairIndex(-1, 1), -1);
    EXPECT_EQ(T::PairIndex(0, 6), -1);
}

TEST_F(Transformers, PowerTransformerPreset) {
    using T = CPwrTransformer;
    T t;
    t.SetDefaults(0, Outputs({1, 1, 0, 0}), FALSE);
    EXPECT_EQ(t.m_dTurns, (std::array<double, 6>{10.0, 10.0, 1.0, 1.0, 1.0, 1.0}));
    EXPECT_EQ(t.m_dOpenInductance, (std::array<double, 6>{2e-4, 2e-4, 10.0, 10.0, 10.0, 10.0}));
    for (int w = 0; w < T::kWindings; ++w) {
        EXPECT_EQ(t.m_dDcResistance[size_t(w)], 1e-6);
        EXPECT_EQ(t.m_dAcResistance[size_t(w)], 1.0);
        EXPECT_EQ(t.m_dCapacitance[size_t(w)], 1e-13);
    }
    EXPECT_EQ(t.m_dShortedInductance,
              (std::array<double, 15>{2e-6, 2e-6, 2e-6, 2e-6, 1e-6,  // primary shorted
                                      2e-6, 2e-6, 2e-6, 2e-6,        // secondary 1 shorted
                                      1e-8, 1e-8, 1e-8, 1e-8, 1e-8, 1e-8}));
    EXPECT_EQ(t.m_Connections.code, (std::array<int32_t, 8>{2, 3, 2, 3, 2, 3, 2, 3}));

    // Outputs 1 and 2: k(S1; P) = sqrt((2e-4 - 2e-6) / 2e-4) = sqrt(0.99),
    // k(S2; P) = k(S2; S1) = sqrt((10 - 2e-6) / 10); the rest stay 0.
    EXPECT_NEAR(t.Coupling(T::kPrimary, T::kSecondary1), 0.99498743710662, 1e-13);
    EXPECT_NEAR(t.Coupling(T::kPrimary, T::kSecondary2), std::sqrt(1 - 2e-7), 1e-15);
    EXPECT_NEAR(t.Coupling(T::kSecondary1, T::kSecondary2), std::sqrt(1 - 2e-7), 1e-15);
    int computed = 0;
    for (double k : t.m_dCoupling) computed += k != 0 ? 1 : 0;
    EXPECT_EQ(computed, 3);
    EXPECT_EQ(t.m_nOutputPresent, (std::array<int32_t, 4>{1, 1, 0, 0}));
    EXPECT_TRUE(Log().empty());

    // An unknown variant keeps the defaults, couplings computed from them.
    T unknown;
    unknown.SetDefaults(1, Outputs({1, 0, 0, 0}), FALSE);
    T expected;
    expected.ComputeCoupling(Outputs({1, 0, 0, 0}), FALSE);
    EXPECT_FALSE(unknown != expected);
    EXPECT_EQ(unknown.Coupling(T::kPrimary, T::kSecondary1), 1.0);
    EXPECT_EQ(CountOf(Log(), CodeLine(3710)), 1);
    EXPECT_EQ(CountOf(Log(), "Parts:"), 1);
}

// Each pair's coefficient out of range fails with that pair's code, clears
// every coefficient and stops.
TEST_F(Transformers, PowerTransformerCouplingFailureCodes) {
    using T = CPwrTransformer;
    struct Case {
        int earlier, later, code;
    };
    const Case cases[] = {
        {T::kPrimary, T::kSecondary1, 3713},    {T::kSecondary1, T::kReset, 3714},
        {T::kPrimary, T::kSecondary2, 3715},    {T::kSecondary2, T::kReset, 3716},
        {T::kPrimary, T::kSecondary3, 3717},    {T::kSecondary3, T::kReset, 3718},
        {T::kPrimary, T::kSecondary4, 3719},    {T::kSecondary4, T::kReset, 3720},
        {T::kPrimary, T::kReset, 3721},         {T::kSecondary1, T::kSecondary2, 3722},
        {T::kSecondary1, T::kSecondary3, 3723}, {T::kSecondary1, T::kSecondary4, 3724},
        {T::kSecondary2, T::kSecondary3, 3725}, {T::kSecondary2, T::kSecondary4, 3726},
        {T::kSecondary3, T::kSecondary4, 3727},
    };
    const OutputEnables all = Outputs({1, 1, 1, 1});
    for (const auto& c : cases) {
        SCOPED_TRACE(c.code);
        RestartLog();
        T t;
        t.SetDefaults(0, all, TRUE);
        ASSERT_EQ(t.Coupling(T::kSecondary4, T::kReset), std::sqrt((10.0 - 1e-8) / 10.0));
        // Shorted above open circuit: a negative ratio.
        t.ShortedInductance(c.earlier, c.later) = 2 * t.m_dOpenInductance[size_t(c.later)];
        T before = t;
        std::feclearexcept(FE_ALL_EXCEPT);
        EXPECT_FALSE(t.ComputeCoupling(all, TRUE));
        EXPECT_EQ(std::fetestexcept(FE_DIVBYZERO | FE_INVALID), 0);
        for (double k : t.m_dCoupling) EXPECT_EQ(k, 0.0);
        t.m_dCoupling = before.m_dCoupling;
        EXPECT_FALSE(t != before);
        EXPECT_EQ(CountOf(Log(), CodeLine(c.code)), 1);
        EXPECT_EQ(CountOf(Log(), "Parts:"), 1);
    }
}

TEST_F(Transformers, PowerTransformerCouplingInputs) {
    using T = CPwrTransformer;
    struct Case {
        const char* name;
        std::array<int32_t, 4> outputs;
        BOOL withReset;
        std::function<void(T&)> change;
        BOOL ok;
        int code;
    };
    const Case cases[] = {
        {"primary turns 0", {1, 0, 0, 0}, FALSE, [](T& t) { t.m_dTurns[T::kPrimary] = 0; }, FALSE, 3712},
        {"primary inductance 0", {1, 0, 0, 0}, FALSE, [](T& t) { t.m_dOpenInductance[T::kPrimary] = 0; }, FALSE, 3712},
        {"present secondary without turns", {1, 0, 1, 0}, FALSE, [](T& t) { t.m_dTurns[T::kSecondary3] = 0; }, FALSE,
         3712},
        {"absent secondary without turns", {1, 0, 0, 0}, FALSE, [](T& t) { t.m_dTurns[T::kSecondary3] = 0; }, TRUE, 0},
        {"no output at all", {0, 0, 0, 0}, FALSE, [](T&) {}, TRUE, 0},
        {"any non-zero flag is present", {0, 0, 0, -1}, FALSE, [](T& t) { t.ShortedInductance(0, 4) = 20; }, FALSE,
         3719},
        // Open-circuit inductance 0: the ratio is not formed.
        {"secondary inductance 0", {1, 0, 0, 0}, FALSE, [](T& t) { t.m_dOpenInductance[T::kSecondary1] = 0; }, FALSE,
         3713},
        {"reset inductance 0", {1, 0, 0, 0}, TRUE, [](T& t) { t.m_dOpenInductance[T::kReset] = 0; }, FALSE, 3714},
        {"reset inductance 0, reset unused", {1, 0, 0, 0}, FALSE, [](T& t) { t.m_dOpenInductance[T::kReset] = 0; },
         TRUE, 0},
        {"shorted NaN", {0, 1, 0, 0}, FALSE, [](T& t) { t.ShortedInductance(0, 2) = kNaN; }, FALSE, 3715},
        {"shorted equals open circuit", {1, 0, 0, 0}, FALSE, [](T& t) { t.ShortedInductance(0, 1) = 2e-4; }, TRUE, 0},
        {"absent output's pair is not checked", {1, 0, 1, 0}, TRUE,
         [](T& t) {
             t.ShortedInductance(T::kPrimary, T::kSecondary2) = 50;
             t.ShortedInductance(T::kSecondary1, T::kSecondary2) = 50;
             t.ShortedInductance(T::kSecondary2, T::kReset) = 50;
         },
         TRUE, 0},
        // The first failure in the calculation order is the one reported.
        {"first failure wins", {1, 1, 0, 0}, TRUE,
         [](T& t) {
             t.ShortedInductance(T::kSecondary1, T::kSecondary2) = 50;
             t.ShortedInductance(T::kPrimary, T::kReset) = 50;
         },
         FALSE, 3721},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RestartLog();
        T t;
        t.SetDefaults(0, Outputs({0, 0, 0, 0}), FALSE);
        // Coefficients that the calculation does not reach keep their values.
        t.m_dCoupling.fill(0.25);
        c.change(t);
        std::feclearexcept(FE_ALL_EXCEPT);
        EXPECT_EQ(t.ComputeCoupling(Outputs(c.outputs), c.withReset), c.ok);
        EXPECT_EQ(std::fetestexcept(FE_DIVBYZERO | FE_INVALID), 0);
        EXPECT_EQ(t.m_nOutputPresent, c.outputs);
        std::string log = Log();
        EXPECT_EQ(CountOf(log, "Parts:"), c.code ? 1 : 0);
        if (c.code) {
            EXPECT_EQ(CountOf(log, CodeLine(c.code)), 1);
            for (double k : t.m_dCoupling) EXPECT_EQ(k, 0.0);
        }
    }

    // Absent outputs and the unused reset winding keep their coefficients.
    T t;
    t.SetDefaults(0, Outputs({0, 0, 0, 0}), FALSE);
    t.m_dCoupling.fill(0.25);
    ASSERT_TRUE(t.ComputeCoupling(Outputs({1, 0, 1, 0}), FALSE));
    for (int p = 0; p < T::kPairs; ++p) {
        bool reached = p == T::PairIndex(0, 1) || p == T::PairIndex(0, 3) || p == T::PairIndex(1, 3);
        EXPECT_EQ(t.m_dCoupling[size_t(p)] == 0.25, !reached) << p;
    }
}

TEST_F(Transformers, PowerTransformerCopyAndCompare) {
    using T = CPwrTransformer;
    T a;
    a.SetDefaults(0, Outputs({1, 1, 1, 1}), TRUE);
    T b;
    b = a;
    EXPECT_FALSE(a != b);
    // The working flags are neither copied nor compared.
    EXPECT_EQ(b.m_nOutputPresent, (std::array<int32_t, 4>{0, 0, 0, 0}));
    b.m_nOutputPresent = {1, 0, 1, 0};
    EXPECT_FALSE(a != b);

    b.Coupling(T::kSecondary4, T::kReset) += 1e-9;
    EXPECT_TRUE(a != b);
    b = a;
    b.m_Connections[T::kEndH] = 1;
    EXPECT_TRUE(a != b);
    b = a;
    b.m_CoreSatChar.m_arPoints.AddCopy(0, CObCurrentInductance(1.0, 1e-4));
    EXPECT_TRUE(a != b);
    a = b;
    EXPECT_FALSE(a != b);
    // The copy owns its points.
    b.m_CoreSatChar.InitDefaults();
    EXPECT_TRUE(a.m_CoreSatChar.HasPoints());
}

TEST_F(Transformers, PowerTransformerCopyPrimaryToReset) {
    using T = CPwrTransformer;
    T t;
    t.SetDefaults(0, Outputs({1, 0, 0, 0}), TRUE);
    t.m_dAcResistance[T::kReset] = 7.0;
    t.m_dCapacitance[T::kReset] = 3e-12;
    T before = t;
    t.CopyPrimaryToResetWinding();
    EXPECT_EQ(t.m_dTurns[T::kReset], 10.0);
    EXPECT_EQ(t.m_dDcResistance[T::kReset], 1e-6);
    EXPECT_EQ(t.m_dOpenInductance[T::kReset], 2e-4);
    EXPECT_EQ(t.m_dAcResistance[T::kReset], 7.0);
    EXPECT_EQ(t.m_dCapacitance[T::kReset], 3e-12);
    EXPECT_EQ(t.m_dShortedInductance, before.m_dShortedInductance);
    EXPECT_EQ(t.m_dCoupling, before.m_dCoupling);
}

// The connection codes are archived H first and A last.
TEST_F(Transformers, PowerTransformerConnectionOrderInArchive) {
    using T = CPwrTransformer;
    T t;
    t.m_Connections.code = {2, 1, 1, 3, 2, 0, 1, 3};  // A .. H
    std::vector<uint8_t> bytes = Store(t);
    // Tag (1 + 22), schema 2, name (1 + 7), 4 x 6 + 15 + 6 + 15 doubles.
    size_t offset = 23 + 2 + 8 + 60 * 8;
    fw::Archive ar(std::vector<uint8_t>(bytes.begin() + long(offset), bytes.end()));
    std::array<int32_t, 8> archived{};
    for (auto& c : archived) c = ar.ReadI32();
    EXPECT_EQ(archived, (std::array<int32_t, 8>{3, 1, 0, 2, 3, 1, 1, 2}));
    EXPECT_EQ(ar.ReadF64(), 0.0);  // core power loss follows

    fw::Archive in(bytes);
    T loaded;
    loaded.Serialize(in);
    EXPECT_EQ(loaded.m_Connections.code, t.m_Connections.code);
}

TEST_F(Transformers, PowerTransformerDatabaseTag) {
    CPwrTransformer t;
    t.SetDefaults(0, Outputs({1, 0, 0, 0}), FALSE);
    CPwrTransformer expected = t;
    t.m_strTag = "<DB_TRANSFORMER_DATA>";
    std::vector<uint8_t> bytes = Store(t);
    EXPECT_EQ(t.m_strTag, "<PWR_TRANSFORMER_DATA>");
    EXPECT_EQ(bytes, Store(expected));

    fw::Archive ar;
    ar.WriteString("<DB_TRANSFORMER_DATA>");
    ar.WriteBytes(bytes.data() + 23, bytes.size() - 23);
    fw::Archive in(ar.Bytes());
    CPwrTransformer loaded;
    loaded.Serialize(in);
    EXPECT_TRUE(in.AtEnd());
    EXPECT_FALSE(loaded != expected);
    EXPECT_TRUE(sink_.boxes.empty());
}

TEST_F(Transformers, PowerTransformerFromDatabaseRecord) {
    using T = CPwrTransformer;
    CTransformerDb db;
    db.m_strName = "DB power";
    for (size_t i = 0; i < 7; ++i) {
        db.m_dTurns[i] = 10.0 + double(i);
        db.m_dDcResistance[i] = 20.0 + double(i);
        db.m_dAcResistance[i] = 30.0 + double(i);
        db.m_dOcInductance[i] = 40.0 + double(i);
        db.m_dIntraCapacitance[i] = 50.0 + double(i);
    }
    for (size_t i = 0; i < db.m_dShortedInductance.size(); ++i) db.m_dShortedInductance[i] = 100.0 + double(i);
    db.m_nConnection = {11, 12, 13, 14, 15, 16, 17, 18};  // A, C, B, D, E, F, G, H
    db.m_dCorePowerLoss = 0.5;
    db.m_CoreSatChar.m_arPoints.AddCopy(0, CObCurrentInductance(1.0, 2.0));

    T t;
    t.m_dShortedInductance.fill(-1.0);
    t.m_dCoupling.fill(0.75);
    t = db;
    EXPECT_EQ(t.m_strTag, "<PWR_TRANSFORMER_DATA>");
    EXPECT_EQ(t.m_strName, "DB power");
    // Database windings 0, 2 .. 6 are ours 0 .. 5.
    const size_t dbWinding[6] = {0, 2, 3, 4, 5, 6};
    for (size_t w = 0; w < 6; ++w) {
        SCOPED_TRACE(w);
        EXPECT_EQ(t.m_dTurns[w], 10.0 + double(dbWinding[w]));
        EXPECT_EQ(t.m_dDcResistance[w], 20.0 + double(dbWinding[w]));
        EXPECT_EQ(t.m_dAcResistance[w], 30.0 + double(dbWinding[w]));
        EXPECT_EQ(t.m_dOpenInductance[w], 40.0 + double(dbWinding[w]));
        EXPECT_EQ(t.m_dCapacitance[w], 50.0 + double(dbWinding[w]));
    }
    for (int e = 0; e < 6; ++e) {
        for (int l = e + 1; l < 6; ++l) {
            SCOPED_TRACE(testing::Message() << e << "," << l);
            double v = t.ShortedInductance(e, l);
            if (e != T::kPrimary && l == T::kReset) {
                EXPECT_EQ(v, -1.0);  // Secondary k / Reset keep theirs
            } else {
                int dbPair = CTransformerDb::PairIndex(int(dbWinding[e]), int(dbWinding[l]));
                EXPECT_EQ(v, 100.0 + dbPair);
            }
        }
    }
    EXPECT_EQ(t.m_Connections.code, (std::array<int32_t, 8>{11, 13, 12, 14, 15, 16, 17, 18}));
    for (double k : t.m_dCoupling) EXPECT_EQ(k, 0.75);
    EXPECT_EQ(t.m_dCorePowerLoss, 0.5);
    EXPECT_FALSE(t.m_CoreSatChar != db.m_CoreSatChar);
}

// ---------------------------------------------------------------------------
// Summaries

TEST_F(Transformers, SummariesMatchGoldenText) {
    using T = CPwrTransformer;
    auto power = [](std::array<int32_t, 4> outputs, BOOL withReset) {
        T t;
        t.SetDefaults(0, Outputs(outputs), withReset);
        t.m_strName = "PT-1";
        t.m_Connections.code = {2, 1, 1, 0, 3, 3, 2, 3};
        t.m_dCorePowerLoss = 0.75;
        return t;
    };
    struct Case {
        const char* golden;
        std::function<void(fw::File&)> write;
    };
    const Case cases[] = {
        {"CTransformer.txt",
         [](fw::File& f) {
             CTransformer t;
             t.SetDefaults(1);
             t.m_CoreSatChar.m_arPoints.AddCopy(0, CObCurrentInductance(0.5, 1e-5));
             t.m_CoreSatChar.m_arPoints.AddCopy(1, CObCurrentInductance(2.0, 4e-6));
             EXPECT_TRUE(t.WriteSummary(f));
         }},
        {"CPwrTransformerAllOutputsReset.txt",
         [&](fw::File& f) {
             T t = power({1, 1, 1, 1}, TRUE);
             t.m_CoreSatChar.m_arPoints.AddCopy(0, CObCurrentInductance(3.0, 1e-4));
             EXPECT_TRUE(t.WriteSummary(f, Outputs({1, 1, 1, 1}), TRUE));
         }},
        // Secondary 4 lists couplings to enabled secondaries only; three
        // enabled outputs list the ends F down to A.
        {"CPwrTransformerOutputs124Reset.txt",
         [&](fw::File& f) { EXPECT_TRUE(power({1, 1, 0, 1}, TRUE).WriteSummary(f, Outputs({1, 1, 0, 1}), TRUE)); }},
        // Every winding and pair distinct, so a value taken from the wrong
        // winding or pair shows.
        {"CPwrTransformerDistinct.txt",
         [](fw::File& f) {
             T t;
             t.m_strName = "PT-2";
             for (size_t w = 0; w < T::kWindings; ++w) {
                 t.m_dTurns[w] = 10.0 + double(w);
                 t.m_dDcResistance[w] = 1e-3 * double(w + 1);
                 t.m_dAcResistance[w] = 0.1 * double(w + 1);
                 t.m_dOpenInductance[w] = 2e-4 * double(w + 1);
                 t.m_dCapacitance[w] = 1e-12 * double(w + 1);
             }
             for (size_t p = 0; p < T::kPairs; ++p) {
                 t.m_dShortedInductance[p] = 1e-6 * double(p + 1);
                 t.m_dCoupling[p] = 0.9 + 0.001 * double(p);
             }
             t.m_Connections.code = {3, 1, 1, 1, 1, 1, 1, 2};
             EXPECT_TRUE(t.WriteSummary(f, Outputs({1, 1, 1, 1}), TRUE));
         }},
        {"CPwrTransformerNoOutputs.txt",
         [&](fw::File& f) { EXPECT_TRUE(power({0, 0, 0, 0}, FALSE).WriteSummary(f, Outputs({0, 0, 0, 0}), FALSE)); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.golden);
        fw::StringFile f;
        c.write(f);
        ExpectGolden(c.golden, f.text);
    }
}

TEST_F(Transformers, PowerTransformerSummaryWithoutOutputs) {
    CPwrTransformer t;
    fw::StringFile f;
    t.WriteSummary(f, Outputs({0, 0, 0, 0}), FALSE);
    EXPECT_EQ(f.text,
              "\r\n    Name or Part Number:  Default"
              "\r\n    Primary Winding: "
              "\r\n      Turns:  1.000e+000"
              "\r\n      DC Component Winding Resistance:  0.000e+000 ohms"
              "\r\n      AC Component Winding Resistance:  0.000e+000 ohms"
              "\r\n      Open Circuit Inductance:  1.000e+000 henry"
              "\r\n      Intrawinding Capacitance:  1.000e-013 farad"
              "\r\n    Winding Connections: "
              "\r\n    Core Power Loss:  0.000e+000 watts");
}

}  // namespace
