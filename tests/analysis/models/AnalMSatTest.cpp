// The saturation lookup: piecewise-linear at |I|, flat beyond the last point, and the cursor
// walking both ways from where the previous lookup left it; the core's flux linkage and energy
// over the table, their inverses and the ripple a flux spans; the step's chord across the flux
// it moves.
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

// The table of the lookup test, 100 uH falling by 10 uH/A to 80 uH at 2 A, by 30 uH/A to
// 20 uH at 4 A, by 5 uH/A to 10 uH at 6 A, flat beyond. Segment by segment, Φ grows by
// L_a·u + s·u²/2 and W by a·L_a·u + (a·s + L_a)·u²/2 + s·u³/3:
//   Φ(1) = 100 - 5 = 95,  Φ(2) = 200 - 20 = 180,  Φ(3) = 180 + 80 - 15 = 245,
//   Φ(4) = 180 + 160 - 60 = 280,  Φ(6) = 280 + 40 - 10 = 310,  Φ(7) = 310 + 10 = 320   (uV·s);
//   W(2) = 200 - 80/3 = 173.333,  W(4) = W(2) + 320 + 40 - 80 = 453.333   (uJ).
// Ripples: around 3 A the flux 100 uV·s spans Φ(4) - Φ(2), 2 A; around 0 A 190 uV·s spans
// Φ(1) - Φ(-1), 2 A; around 0.5 A 275 uV·s spans Φ(2) - Φ(-1), 3 A across the zero.
TEST(SaturationCore, FluxEnergyAndRippleOverTheTable) {
    TimeMagnitudeTable t;
    t.Insert(0.0, 100e-6);
    t.Insert(2.0, 80e-6);
    t.Insert(4.0, 20e-6);
    t.Insert(6.0, 10e-6);
    const struct {
        double current, flux;
    } fluxes[] = {{0.0, 0.0}, {1.0, 95e-6}, {2.0, 180e-6}, {3.0, 245e-6}, {-3.0, -245e-6}, {4.0, 280e-6},
                  {6.0, 310e-6}, {7.0, 320e-6}};
    for (const auto& f : fluxes) {
        SCOPED_TRACE(f.current);
        EXPECT_NEAR(FluxLinkage(t.points, t.count, f.current), f.flux, 1e-15);
        EXPECT_NEAR(CurrentAtFlux(t.points, t.count, f.flux), f.current, 1e-9);
    }
    EXPECT_NEAR(CoreEnergy(t.points, t.count, 2.0), 200e-6 - 80e-6 / 3.0, 1e-15);
    EXPECT_NEAR(CoreEnergy(t.points, t.count, -4.0), 200e-6 - 80e-6 / 3.0 + 280e-6, 1e-15);
    EXPECT_NEAR(CurrentAtEnergy(t.points, t.count, 200e-6 - 80e-6 / 3.0 + 280e-6), 4.0, 1e-9);
    EXPECT_EQ(CurrentAtEnergy(t.points, t.count, 0.0), 0.0);
    EXPECT_NEAR(RippleAtFlux(t.points, t.count, 3.0, 100e-6), 2.0, 1e-9);
    EXPECT_NEAR(RippleAtFlux(t.points, t.count, 0.0, 190e-6), 2.0, 1e-9);
    EXPECT_NEAR(RippleAtFlux(t.points, t.count, 0.5, 275e-6), 3.0, 1e-9);
    EXPECT_NEAR(RippleAtFlux(t.points, t.count, -0.5, 275e-6), 3.0, 1e-9);
    EXPECT_EQ(RippleAtFlux(t.points, t.count, 3.0, 0.0), 0.0);
}

// The step's inductance on the same table: the chord from the current to where the flux takes
// it, F over the current's move, so that a step under the voltage it expected moves the flux
// exactly as the core would. From the hand values above: 1 A with 150 uV·s reaches Φ = 245,
// 3 A (75 uH); 3 A with -150 uV·s falls to Φ = 95, 1 A, the same chord; 1.5 A (Φ = 150 -
// 5·1.5² = 138.75) with -277.5 uV·s crosses zero to -1.5 A (92.5 uH); 2 A with 36.25 uV·s
// reaches 2 + u with 80u - 15u² = 36.25, u = 0.5 (72.5 uH); beyond the last point the flat
// 10 uH. No flux, or none that moves the current, leaves the value at the current.
TEST(SaturationCore, StepTakesTheChordOfTheFluxItMoves) {
    TimeMagnitudeTable t;
    t.Insert(0.0, 100e-6);
    t.Insert(2.0, 80e-6);
    t.Insert(4.0, 20e-6);
    t.Insert(6.0, 10e-6);
    const struct {
        double current, flux, inductance, slope;
    } cases[] = {
        {1.0, 150e-6, 75e-6, -10e-6},        {3.0, -150e-6, 75e-6, -30e-6},
        {1.5, -277.5e-6, 92.5e-6, -10e-6},   {2.0, 36.25e-6, 72.5e-6, -30e-6},
        {7.0, 20e-6, 10e-6, 0.0},            {3.0, 0.0, 50e-6, -30e-6},
        {3.0, 1e-30, 50e-6, -30e-6},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.current);
        SCOPED_TRACE(c.flux);
        double l = 0.0, slope = 0.0;
        ASSERT_EQ(LookUpStepInductance(&l, &slope, t, c.current, c.flux), 1);
        EXPECT_NEAR(l, c.inductance, 1e-12);
        EXPECT_NEAR(slope, c.slope, 1e-12);
    }
    EXPECT_EQ(ExpectedStepFlux(NOT_SET, 2.0, 1e-7), 0.0);
    EXPECT_EQ(ExpectedStepFlux(50e-6, NOT_SET, 1e-7), 0.0);
    EXPECT_NEAR(ExpectedStepFlux(50e-6, 2e5, 1e-7), 1e-6, 1e-18);
}

}  // namespace
