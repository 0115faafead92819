#include <gtest/gtest.h>

#include <limits>

#include "analysis/context/AnalTables.h"

TEST(TimeMagnitudeTable101, NewTableHoldsThePointAtTimeZero) {
    TimeMagnitudeTable101 t;
    EXPECT_EQ(t.count, 1);
    EXPECT_EQ(t.cursor, 0);
    for (const TimeMagnitudePoint& p : t.points) {
        EXPECT_EQ(p.time, 0.0);
        EXPECT_EQ(p.magnitude, 0.0);
    }
}

TEST(TimeMagnitudeTable101, InsertRefusesNegativeAndNotANumberTimes) {
    TimeMagnitudeTable101 t;
    EXPECT_EQ(t.Insert(-0.5, 3.0), FALSE);
    EXPECT_EQ(t.Insert(-1e-300, 3.0), FALSE);
    EXPECT_EQ(t.Insert(std::numeric_limits<double>::quiet_NaN(), 3.0), FALSE);
    EXPECT_EQ(t.count, 1);
    EXPECT_EQ(t.points[0].magnitude, 0.0);
    EXPECT_EQ(t.points[1].time, 0.0);
}

TEST(TimeMagnitudeTable101, InsertUpdatesAnExistingTimeAndAppendsANewOne) {
    TimeMagnitudeTable101 t;
    EXPECT_EQ(t.Insert(0.0, 5.0), TRUE);  // point 0
    EXPECT_EQ(t.count, 1);
    EXPECT_EQ(t.points[0].magnitude, 5.0);
    EXPECT_EQ(t.Insert(1e-3, 2.0), TRUE);
    EXPECT_EQ(t.Insert(2e-3, 4.0), TRUE);
    EXPECT_EQ(t.Insert(1e-3, 7.0), TRUE);
    EXPECT_EQ(t.count, 3);
    EXPECT_EQ(t.points[1].time, 1e-3);
    EXPECT_EQ(t.points[1].magnitude, 7.0);
    EXPECT_EQ(t.points[2].magnitude, 4.0);
}

TEST(TimeMagnitudeTable101, FullTableRefusesNewTimesButStillUpdates) {
    TimeMagnitudeTable101 t;
    for (int i = 1; i < 101; ++i) ASSERT_EQ(t.Insert(i * 1e-4, i), TRUE);
    EXPECT_EQ(t.count, 101);
    EXPECT_EQ(t.Insert(1.0, 1.0), FALSE);
    EXPECT_EQ(t.count, 101);
    EXPECT_EQ(t.Insert(50 * 1e-4, -3.0), TRUE);
    EXPECT_EQ(t.points[50].magnitude, -3.0);
}

TEST(TimeMagnitudeTable101, ClearStartsOver) {
    TimeMagnitudeTable101 t;
    t.Insert(1e-3, 2.0);
    t.cursor = 1;
    t.Clear();
    EXPECT_EQ(t.count, 1);
    EXPECT_EQ(t.cursor, 0);
    EXPECT_EQ(t.points[1].time, 0.0);
    EXPECT_EQ(t.points[1].magnitude, 0.0);
}

TEST(TimeMagnitudeTable101, InsertWithADamagedCountStaysInside) {
    TimeMagnitudeTable101 t;
    t.count = 500;
    EXPECT_EQ(t.Insert(3.0, 1.0), FALSE);
    EXPECT_EQ(t.count, 101);
    t.count = -4;
    EXPECT_EQ(t.Insert(3.0, 1.0), TRUE);
    EXPECT_EQ(t.count, 1);
    EXPECT_EQ(t.points[0].time, 3.0);
}
