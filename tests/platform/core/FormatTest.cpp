#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "platform/core/Format.h"
#include "support/CommaLocale.h"

using test_support::RestoreCLocale;
using test_support::UseCommaLocale;

TEST(Format, ExponentsHaveThreeDigits) {
    struct Case {
        std::string got, want;
    };
    const Case cases[] = {
        {fw::Format("%7.3e", 4.7e-6), "4.700e-006"},
        {fw::Format("%7.3e", 0.0), "0.000e+000"},
        {fw::Format("%7.3e", -1e-14), "-1.000e-014"},
        {fw::Format("%7.3e", 1e100), "1.000e+100"},
        {fw::Format("%12.3e|", 1.5), "  1.500e+000|"},
        {fw::Format("%-12.3e|", 1.5), "1.500e+000  |"},
        {fw::Format("%012.3e", -1.5), "-01.500e+000"},
        {fw::Format("%g", 1e6), "1e+006"},
        {fw::Format("%g", 0.5), "0.5"},
        {fw::Format("%G", 1e-7), "1E-007"},
        {fw::Format("%E", 12345.678), "1.234568E+004"},
        {fw::Format("%s %7.3e %s", "\r\n    Capacitance: ", 1e-3, "farads"), "\r\n    Capacitance:  1.000e-003 farads"},
        {fw::Format("%d|%5d|%-3d|%x", 42, -7, 1, 255), "42|   -7|1  |ff"},
        {fw::Format("%.2f %5.1f", 3.14159, 2.25), "3.14   2.2"},
        {fw::Format("100%% %c %5s", 'x', "ab"), "100% x    ab"},
    };
    for (const Case& c : cases) EXPECT_EQ(c.got, c.want);
}

TEST(Format, PrintfCornerCases) {
    struct Case {
        std::string got, want;
    };
    const double inf = std::numeric_limits<double>::infinity();
    const Case cases[] = {
        // Long conversions are never cut short.
        {fw::Format("%.300e", 1.0).size() == 307 ? fw::Format("%.300e", 1.0).substr(295) : "cut", "0000000e+000"},
        {fw::Format("%.300f", 0.5).size() == 302 ? "ok" : "cut", "ok"},
        {fw::Format("%400d|", 7).size() == 401 ? "ok" : "cut", "ok"},
        // Zeros pad digits only.
        {fw::Format("%08.2e|%-8e|%08g", inf, -inf, inf), "     inf|-inf    |     inf"},
        {fw::Format("%+.1e % .1e", 2.0, 2.0), "+2.0e+000  2.0e+000"},
        {fw::Format("%#.3g %.3g %g", 1.0, 1e-5, 123456789.0), "1.00 1e-005 1.23457e+008"},
        {fw::Format("%*.*e|%-*d|", 12, 2, 0.5, 4, 3), "   5.00e-001|3   |"},
        {fw::Format("%hd %lld %lu %zu", 70000, -5LL, 6UL, size_t(7)), "4464 -5 6 7"},
        {fw::Format("%e", 1e-300), "1.000000e-300"},
        {fw::Format("%.0e", 5e10), "5e+010"},
        {fw::Format("%s|%.2s|%-4s|", "abc", "abc", "x"), "abc|ab|x   |"},
    };
    for (const Case& c : cases) EXPECT_EQ(c.got, c.want);
}

// The numbers of summaries and exports do not follow the user's locale.
TEST(Format, DecimalPointWhateverTheLocale) {
    if (!UseCommaLocale()) {
        RestoreCLocale();
        GTEST_SKIP() << "no locale with a decimal comma on this machine";
    }
    const std::string e = fw::Format("%7.3e", 4.7e-6);
    const std::string g = fw::Format("%g|%.2f|%E", 0.25, 3.14159, 1234.5);
    double parsed = 0;
    const bool ok = fw::ParseDouble("2.5e-3", parsed);
    const bool comma = fw::ParseDouble("2,5", parsed);
    RestoreCLocale();
    EXPECT_EQ(e, "4.700e-006");
    EXPECT_EQ(g, "0.25|3.14|1.234500E+003");
    EXPECT_TRUE(ok);
    EXPECT_FALSE(comma);
}

TEST(Format, SubstituteIsLiteral) {
    EXPECT_EQ(fw::Substitute("Doc:       CODE %1", "301"), "Doc:       CODE 301");
    EXPECT_EQ(fw::Substitute("%2 and %1 %d %s", "a", "b"), "b and a %d %s");
}

TEST(Parse, Doubles) {
    struct Case {
        const char* text;
        bool ok;
        double value;
    };
    const Case cases[] = {
        {"0.09", true, 0.09},    {" 1e-3 ", true, 1e-3}, {"-2.5", true, -2.5}, {"+4", true, 4},
        {".5", true, 0.5},       {"1.23456789e-3", true, 1.23456789e-3},
        {"", false, 0},          {"  ", false, 0},       {"abc", false, 0},  {"1.5x", false, 0},
        {"nan", false, 0},       {"inf", false, 0},      {"-inf", false, 0}, {"0x10", false, 0},
        {"1,5", false, 0},       {"--1", false, 0},      {"1e999", false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        double v = -99;
        EXPECT_EQ(fw::ParseDouble(c.text, v), c.ok);
        if (c.ok) EXPECT_DOUBLE_EQ(v, c.value);
        else EXPECT_EQ(v, -99);
    }
}

TEST(Parse, Integers) {
    int v = 0;
    EXPECT_TRUE(fw::ParseInt(" -12 ", v));
    EXPECT_EQ(v, -12);
    EXPECT_FALSE(fw::ParseInt("1.5", v));
    EXPECT_FALSE(fw::ParseInt("99999999999", v));
    unsigned u = 0;
    EXPECT_FALSE(fw::ParseUInt("-1", u));
    EXPECT_TRUE(fw::ParseUInt("7", u));
    EXPECT_EQ(u, 7u);
}
