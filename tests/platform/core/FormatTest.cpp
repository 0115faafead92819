#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "platform/core/Format.h"

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
