// The chart model: round limits and ticks of linear and logarithmic axes,
// the zoom stack, cursor snapping, the extremes, the read-out texts, the
// fitted range of Rescale and the reduction of a curve to pixel columns.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "graphs/Chart.h"

using namespace chart;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

VectorPoints Points(std::initializer_list<std::pair<double, double>> pts) {
    VectorPoints p;
    for (auto [x, y] : pts) {
        p.x.push_back(x);
        p.y.push_back(y);
    }
    return p;
}

}  // namespace

TEST(ChartAxes, RoundLimits) {
    struct Case {
        Range in;
        bool log;
        Range out;
    } cases[] = {
        {{0.0, 1.0}, false, {0.0, 1.0}},          // already round
        {{0.03, 0.97}, false, {0.0, 1.0}},        // step 0.2
        {{-1.05, 1.05}, false, {-1.5, 1.5}},      // step 0.5
        {{-0.05, 0.05}, false, {-0.06, 0.06}},    // the flat-zero band of Rescale, step 0.02
        {{12.3, 987.0}, false, {0.0, 1000.0}},    // step 200
        {{4.75, 5.25}, false, {4.7, 5.3}},        // step 0.1
        {{-3.2e-6, -1.1e-6}, false, {-3.5e-6, -1.0e-6}},
        {{15.0, 12000.0}, true, {10.0, 100000.0}},
        {{100.0, 1000.0}, true, {100.0, 1000.0}},
        {{0.3, 0.7}, true, {0.1, 1.0}},
    };
    for (const Case& c : cases) {
        Range r = RoundLimits(c.in, c.log);
        EXPECT_NEAR(r.lo, c.out.lo, 1e-12 * std::max(1.0, std::fabs(c.out.lo))) << c.in.lo << " " << c.in.hi;
        EXPECT_NEAR(r.hi, c.out.hi, 1e-12 * std::max(1.0, std::fabs(c.out.hi))) << c.in.lo << " " << c.in.hi;
    }
}

TEST(ChartAxes, NormalizedAlwaysDrawable) {
    struct Case {
        Range in;
        bool log;
        Range out;
    } cases[] = {
        {{2.0, 1.0}, false, {1.0, 2.0}},        // reversed
        {{3.0, 3.0}, false, {2.85, 3.15}},      // empty: 5 % either side
        {{0.0, 0.0}, false, {-0.05, 0.05}},
        {{kNaN, 4.0}, false, {3.8, 4.2}},       // one bound unusable
        {{kNaN, kInf}, false, {0.0, 1.0}},
        {{0.0, 1000.0}, true, {1.0, 1000.0}},   // log from zero: three decades
        {{-5.0, -1.0}, true, {1.0, 10.0}},
        {{10.0, 10.0}, true, {5.0, 20.0}},
    };
    for (const Case& c : cases) {
        Range r = Normalized(c.in, c.log);
        EXPECT_NEAR(r.lo, c.out.lo, 1e-12) << c.in.lo << " " << c.in.hi;
        EXPECT_NEAR(r.hi, c.out.hi, 1e-12) << c.in.lo << " " << c.in.hi;
        EXPECT_LT(r.lo, r.hi);
    }
}

TEST(ChartAxes, LinearTicks) {
    Axis a;
    a.range = {0.0, 1.0};
    a.minorTicks = 4;
    Ticks t = MakeTicks(a, 5);
    ASSERT_EQ(t.major.size(), 6u);
    for (size_t i = 0; i < t.major.size(); ++i) EXPECT_NEAR(t.major[i], 0.2 * i, 1e-12);
    EXPECT_EQ(t.minor.size(), 20u);  // four between each of five pairs
    EXPECT_NEAR(t.minor.front(), 0.04, 1e-12);

    // A range crossing zero has an exact zero tick, written "0".
    a.range = {-0.3, 0.7};
    a.minorTicks = 0;
    t = MakeTicks(a, 5);
    EXPECT_TRUE(t.minor.empty());
    bool zero = false;
    for (double v : t.major) zero = zero || v == 0.0;
    EXPECT_TRUE(zero);
    EXPECT_EQ(TickLabel(0.0, t, false), "0");
    EXPECT_EQ(TickLabel(0.4, t, false), "0.4");
    EXPECT_EQ(TickLabel(-0.2, t, false), "-0.2");

    // Labels keep the digits that tell neighbours apart.
    a.range = {1000.0, 1001.0};
    t = MakeTicks(a, 5);
    EXPECT_EQ(TickLabel(t.major[1], t, false), "1000.2");
    // Whole numbers are written whole, not with an exponent.
    a.range = {-100.0, 1000.0};
    t = MakeTicks(a, 5);
    EXPECT_EQ(TickLabel(-100.0, t, false), "-100");
    EXPECT_EQ(TickLabel(1000.0, t, false), "1000");
    // Small numbers carry the program's three-digit exponent.
    a.range = {0.0, 5e-6};
    t = MakeTicks(a, 5);
    EXPECT_EQ(TickLabel(t.major[1], t, false), "1e-006");
}

TEST(ChartAxes, LogTicks) {
    Axis a;
    a.log = true;
    a.range = {10.0, 1e5};
    a.minorTicks = 8;
    Ticks t = MakeTicks(a, 10);
    ASSERT_EQ(t.major.size(), 5u);
    EXPECT_DOUBLE_EQ(t.major[0], 10.0);
    EXPECT_DOUBLE_EQ(t.major[4], 1e5);
    ASSERT_EQ(t.minor.size(), 32u);  // 2..9 in each of four decades
    EXPECT_DOUBLE_EQ(t.minor[0], 20.0);
    EXPECT_DOUBLE_EQ(t.minor[7], 90.0);
    EXPECT_EQ(TickLabel(1e3, t, true), "1000");
    EXPECT_EQ(TickLabel(1e6, t, true), "1e+006");

    // Thirteen decades on room for six numbers: every third decade.
    a.range = {1e-3, 1e9};
    t = MakeTicks(a, 6);
    EXPECT_EQ(t.major.size(), 5u);
    EXPECT_DOUBLE_EQ(t.major[1] / t.major[0], 1000.0);

    // Less than a decade: 1, 2 and 5 steps.
    a.range = {150.0, 900.0};
    a.minorTicks = 0;
    t = MakeTicks(a, 10);
    ASSERT_EQ(t.major.size(), 2u);
    EXPECT_DOUBLE_EQ(t.major[0], 200.0);
    EXPECT_DOUBLE_EQ(t.major[1], 500.0);

    // Decades are spaced evenly; values at or below zero fall far below.
    a.range = {10.0, 1000.0};
    EXPECT_NEAR(a.ToFraction(100.0), 0.5, 1e-12);
    EXPECT_NEAR(a.FromFraction(0.5), 100.0, 1e-9);
    EXPECT_LT(a.ToFraction(0.0), -1000.0);
}

TEST(ChartZoom, StackRestoresTheConfiguredView) {
    ViewStack s;
    const View home{{0, 10}, {-1, 1}};
    s.Reset(home);
    EXPECT_EQ(s.Depth(), 0u);
    s.Push({{2, 4}, {0, 1}});
    s.Push({{2.5, 3}, {0.2, 0.4}});
    EXPECT_EQ(s.Depth(), 2u);
    EXPECT_EQ(s.Current(), (View{{2.5, 3}, {0.2, 0.4}}));
    s.Restore();
    EXPECT_EQ(s.Depth(), 0u);
    EXPECT_EQ(s.Current(), home);
    s.Restore();  // restoring twice changes nothing
    EXPECT_EQ(s.Current(), home);
}

TEST(ChartCursors, SnapToCurve) {
    const VectorPoints curve = Points({{1, 10}, {2, 20}, {4, 0}});
    struct Case {
        DataPoint mouse;
        DataPoint expected;
    } cases[] = {
        {{0.0, 99}, {1, 10}},   // left of the first point: on it
        {{1.0, 99}, {1, 10}},   // on the first point
        {{1.5, 99}, {1.5, 15}}, // between: on the line
        {{2.0, 99}, {2, 20}},   // on a stored point
        {{3.0, 99}, {3, 10}},
        {{4.0, 99}, {4, 0}},
        {{9.0, 99}, {4, 0}},    // right of the last point: on it
    };
    for (const Case& c : cases) EXPECT_EQ(SnapToCurve(curve, c.mouse), c.expected) << c.mouse.x;
    // No points: the cursor stays at the mouse.
    EXPECT_EQ(SnapToCurve(VectorPoints{}, DataPoint{3, 4}), (DataPoint{3, 4}));
}

TEST(ChartCursors, ExtremesTakeTheFirstOfEqualValues) {
    DataPoint hi, lo;
    FindExtremes(Points({{0, 1}, {1, 5}, {2, -3}, {3, 5}, {4, -3}}), hi, lo);
    EXPECT_EQ(hi, (DataPoint{1, 5}));
    EXPECT_EQ(lo, (DataPoint{2, -3}));
    FindExtremes(VectorPoints{}, hi, lo);
    EXPECT_EQ(hi, (DataPoint{0, 0}));
    EXPECT_EQ(lo, (DataPoint{0, 0}));
}

TEST(ChartCursors, ReadoutTexts) {
    struct Case {
        DataPoint g, m;
        const char* green;
        const char* magenta;
        const char* diff;
    } cases[] = {
        {{12.5, -0.0034}, {2.5, 1.0}, "Green:   +1.250e+001  -3.400e-003", "Magenta: +2.500e+000  +1.000e+000",
         "Diff: +1.000e+001  -1.003e+000"},
        {{0, 0}, {0, 0}, "Green:   +0.000e+000  +0.000e+000", "Magenta: +0.000e+000  +0.000e+000",
         "Diff: +0.000e+000  +0.000e+000"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(GreenReadout(c.g), c.green);
        EXPECT_EQ(MagentaReadout(c.m), c.magenta);
        EXPECT_EQ(DiffReadout(c.g, c.m), c.diff);
    }
}

TEST(ChartRescale, FitRangeWidensOutwards) {
    struct Case {
        VectorPoints p;
        bool ok;
        Range out;
    } cases[] = {
        {Points({{0, 1}, {1, 3}}), true, {0.95, 3.15}},
        {Points({{0, -2}, {1, -1}}), true, {-2.1, -0.95}},  // negative data stays inside
        {Points({{0, -1}, {1, -1}}), true, {-1.05, -0.95}}, // flat negative: not inverted
        {Points({{0, 0}, {1, 0}}), true, {-0.05, 0.05}},    // flat zero
        {Points({{0, kNaN}, {1, 2}, {2, kInf}}), true, {1.9, 2.1}},
        {Points({{0, kNaN}}), false, {}},
        {VectorPoints{}, false, {}},
    };
    for (const Case& c : cases) {
        Range r;
        ASSERT_EQ(FitRange(c.p, r), c.ok);
        if (!c.ok) continue;
        EXPECT_NEAR(r.lo, c.out.lo, 1e-12);
        EXPECT_NEAR(r.hi, c.out.hi, 1e-12);
    }
}

TEST(ChartDecimation, ClipSegment) {
    struct Case {
        Segment in;
        bool inside;
        Segment out;
    } cases[] = {
        {{1, 1, 5, 5}, true, {1, 1, 5, 5}},
        {{-5, 5, 15, 5}, true, {0, 5, 10, 5}},
        {{5, -10, 5, 20}, true, {5, 0, 5, 10}},
        {{-5, -5, -1, 20}, false, {}},
        {{-1e9, -1e9, 1e9, 1e9}, true, {0, 0, 10, 10}},
    };
    for (const Case& c : cases) {
        Segment s = c.in;
        ASSERT_EQ(ClipSegment(s, 0, 0, 10, 10), c.inside);
        if (!c.inside) continue;
        EXPECT_NEAR(s.x0, c.out.x0, 1e-6);  // pixels
        EXPECT_NEAR(s.y0, c.out.y0, 1e-6);
        EXPECT_NEAR(s.x1, c.out.x1, 1e-6);
        EXPECT_NEAR(s.y1, c.out.y1, 1e-6);
    }
}

class ChartDecimationTest : public ::testing::Test {
protected:
    Axis xa, ya;
    fw::Rect plot{100, 50, 1100, 550};  // 1000 columns, 500 rows
    std::vector<Segment> out;

    void SetUp() override {
        xa.range = {0.0, 64000.0};
        ya.range = {-2.0, 2.0};
    }
    double Top() const {
        double t = 1e9;
        for (const Segment& s : out) t = std::min({t, s.y0, s.y1});
        return t;
    }
    void ExpectInsidePlot() const {
        for (const Segment& s : out) {
            EXPECT_GE(std::min(s.x0, s.x1), plot.left - 1e-9);
            EXPECT_LE(std::max(s.x0, s.x1), plot.right - 1 + 1e-9);
            EXPECT_GE(std::min(s.y0, s.y1), plot.top - 1e-9);
            EXPECT_LE(std::max(s.y0, s.y1), plot.bottom - 1 + 1e-9);
        }
    }
};

TEST_F(ChartDecimationTest, OneSampleSpikeSurvivesAmongManyPoints) {
    VectorPoints p;
    for (int i = 0; i < 64000; ++i) {
        p.x.push_back(i);
        p.y.push_back(std::sin(i * 0.001));
    }
    p.y[31234] = 1.9;  // one sample that must still be drawn
    DecimateToColumns(p, xa, ya, plot, out);
    // A stroke per column: far fewer lines than points.
    EXPECT_LE(out.size(), 1000u);
    ExpectInsidePlot();
    const double spikeRow = (plot.bottom - 1) - (1.9 + 2.0) / 4.0 * (plot.Height() - 1);
    EXPECT_NEAR(Top(), spikeRow, 1e-6);

    // The same curve reused: no growth of the output past its size.
    const size_t before = out.capacity();
    DecimateToColumns(p, xa, ya, plot, out);
    EXPECT_EQ(out.capacity(), before);
}

TEST_F(ChartDecimationTest, ZoomedFarInClipsTheRest) {
    VectorPoints p;
    for (int i = 0; i < 64000; ++i) {
        p.x.push_back(i);
        p.y.push_back(i % 2 ? 1.0 : -1.0);
    }
    xa.range = {1000.0, 1002.0};  // two samples across the whole plot
    DecimateToColumns(p, xa, ya, plot, out);
    ExpectInsidePlot();
    EXPECT_GE(out.size(), 2u);
    EXPECT_LE(out.size(), 8u);  // only the lines that cross the view remain
}

TEST_F(ChartDecimationTest, GapsAndSinglePoints) {
    // A non-finite value breaks the line: nothing joins across it.
    VectorPoints p = Points({{0, 0}, {32000, 1}, {32001, kNaN}, {64000, -1}});
    DecimateToColumns(p, xa, ya, plot, out);
    std::vector<Segment> sloped;
    for (const Segment& s : out)
        if (s.x0 != s.x1) sloped.push_back(s);
    ASSERT_EQ(sloped.size(), 1u);
    EXPECT_NEAR(sloped[0].x1, 100 + 999 * 0.5, 1e-9);
    EXPECT_EQ(out.size(), 4u);  // and a dot for each of the three points

    // One point is a dot; no points, no lines.
    DecimateToColumns(Points({{32000, 0}}), xa, ya, plot, out);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].x0, out[0].x1);
    DecimateToColumns(VectorPoints{}, xa, ya, plot, out);
    EXPECT_TRUE(out.empty());

    // Values far beyond the axis range are clipped, not overflowed.
    DecimateToColumns(Points({{0, -1e300}, {64000, 1e300}}), xa, ya, plot, out);
    ExpectInsidePlot();
    ASSERT_FALSE(out.empty());
    EXPECT_EQ(out[0].y0, plot.bottom - 1);
    EXPECT_EQ(out[0].y1, plot.top);
}

TEST_F(ChartDecimationTest, LogAxisDropsPointsAtOrBelowZero) {
    xa.log = true;
    xa.range = {10.0, 1e5};
    VectorPoints p = Points({{0, 0}, {10, 0}, {100, 1}, {1e5, -1}});
    DecimateToColumns(p, xa, ya, plot, out);
    ExpectInsidePlot();
    ASSERT_FALSE(out.empty());
    // The first decade takes a quarter of the width.
    bool atQuarter = false;
    for (const Segment& s : out) atQuarter = atQuarter || std::fabs(s.x1 - (100 + 999 * 0.25)) < 1e-6;
    EXPECT_TRUE(atQuarter);
}
