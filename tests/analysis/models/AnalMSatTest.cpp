// The saturation lookup: piecewise-linear at |I|, flat beyond the last point, and the cursor
// walking both ways from where the previous lookup left it.
#include <gtest/gtest.h>

#include "analysis/models/AnalMSat.h"

namespace {

TEST(SaturationLookup, FollowsTheTableFromTheCursor) {
    TimeMagnitudeTable t;
    t.Insert(0.0, 100e-6);
    t.Insert(2.0, 80e-6);
    t.Insert(4.0, 20e-6);
    t.Insert(6.0, 10e-6);
    struct Case {
        const char* name;
        double current;
        double inductance;
        double slope;
        int32_t cursor;  // where the lookup leaves it
    };
    // In this order, each lookup starting where the previous one ended.
    const Case cases[] = {
        {"at rest", 0.0, 100e-6, -10e-6, 0},
        {"first segment", 1.0, 90e-6, -10e-6, 0},
        {"a negative current as its magnitude", -3.0, 50e-6, -30e-6, 1},
        {"on a point: the segment it starts", 4.0, 20e-6, -5e-6, 2},
        {"beyond the last point: flat", 9.0, 10e-6, 0.0, 3},
        {"back down two segments at once", -1.5, 85e-6, -10e-6, 0},
        {"up across three", 5.0, 15e-6, -5e-6, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        double l = 0.0, s = 1.0;
        ASSERT_EQ(LookUpInductance(&l, &s, t, c.current), 1);
        EXPECT_NEAR(l, c.inductance, 1e-15);
        EXPECT_NEAR(s, c.slope, 1e-15);
        EXPECT_EQ(t.cursor[0], c.cursor);
    }
}

TEST(SaturationLookup, SingleAndEmptyTables) {
    TimeMagnitudeTable t;
    double l = 0.0, s = 1.0;
    EXPECT_EQ(LookUpInductance(&l, &s, t, 1.0), 0);  // no point at all
    t.Insert(0.0, 47e-6);
    ASSERT_EQ(LookUpInductance(&l, &s, t, 25.0), 1);
    EXPECT_EQ(l, 47e-6);
    EXPECT_EQ(s, 0.0);
    EXPECT_FALSE(Saturable(&t));
    t.Insert(1.0, 40e-6);
    EXPECT_TRUE(Saturable(&t));
    EXPECT_FALSE(Saturable(static_cast<TimeMagnitudeTable*>(nullptr)));
}

}  // namespace
