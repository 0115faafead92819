// The drive edges' transition delays and energies against their closed forms: each variant's
// flag adds its capacitances at the voltage it swings through, the leakages time the
// hand-over of the choke currents, and the guards give 0 where no transition can be timed.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "analysis/models/AnalMTrans.h"

namespace {

// One output 10:10 (a/n = 1), Cr1, Cr2, Cr3 = 100, 200, 50 pF; the switch 1 nF.
TransitionParams Base() {
    TransitionParams p;
    p.turnsRatio = 10.0;
    p.csw = 1e-9;
    p.outputs = 1;
    p.out[0].turns = 10.0;
    p.out[0].cr1 = 100e-12;
    p.out[0].cr2 = 200e-12;
    p.out[0].cr3 = 50e-12;
    return p;
}

TEST(TransitionTiming, OffEdgeChargesEveryCapacitanceThroughItsSwing) {
    const double vin = 48.0, i = 2.0;
    struct Case {
        const char* name;
        void (*set)(TransitionParams&);
        double vr;       // the reset voltage the variant swings to above the bulk
        double cExtra;   // the variant's capacitance charged through Vt (F)
        double eExtra;   // its energy over Vt² (F)
    };
    const Case cases[] = {
        // No reset path of its own (the resonant reset): the switch swings to the bulk.
        {"no reset flag", [](TransitionParams&) {}, 0.0, 0.0, 0.0},
        {"two switches: Vr = 2 Vb + Vin", [](TransitionParams& p) {
             p.doubled = 1; p.vb = 0.7; p.cb = 30e-12; p.cc = 10e-12; },
         2 * 0.7 + 48.0, 2 * 30e-12 + 10e-12, 0.25 * (30e-12 + 10e-12)},
        {"reset winding: Vr = (Vd + Vin) n / Nw", [](TransitionParams& p) {
             p.winding = 1; p.vd = 0.7; p.windingTurns = 5.0; p.cf = 20e-12; p.cg = 40e-12; },
         (0.7 + 48.0) / 5.0 * 10.0, 60e-12 * 0.25, 60e-12 * 0.5 * 0.25},
        {"clamp at its voltage", [](TransitionParams& p) { p.clamp = 1; }, 20.0, 0.0, 0.0},
        {"clamp below a third of the bulk is raised to it", [](TransitionParams& p) { p.clamp = 1; }, 16.0, 0.0, 0.0},
        {"clamp switch capacitance", [](TransitionParams& p) { p.clamp = 1; p.clampSwitch = 1; p.cd = 300e-12; },
         20.0, 300e-12, 0.5 * 300e-12},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TransitionParams p = Base();
        c.set(p);
        const double clamp = std::string(c.name).find("raised") != std::string::npos ? 10.0 : 20.0;
        const TransitionResult r = CalcOffEdgeTransition(p, i, clamp, vin);
        const double vt = vin + c.vr;
        const double rect = (100e-12 * c.vr + 200e-12 * vin + 50e-12 * vt) / i;  // (a/n)² = 1
        EXPECT_NEAR(r.delay, vt * (1e-9 + p.cc + c.cExtra) / i + rect, 1e-15);
        const double e = 0.5 * 1e-9 * vt * vt + c.eExtra * vt * vt + 0.5 * (100e-12 * c.vr * c.vr + 50e-12 * vt * vt);
        EXPECT_NEAR(r.energy, e, 1e-15);
    }
}

TEST(TransitionTiming, OffEdgeGuards) {
    TransitionParams p = Base();
    // Too little current to time the swing: no delay, the energy all the same.
    EXPECT_EQ(CalcOffEdgeTransition(p, 5e-5, 0.0, 48.0).delay, 0.0);
    EXPECT_GT(CalcOffEdgeTransition(p, 5e-5, 0.0, 48.0).energy, 0.0);
    // Not calculated: nothing.
    p.noCalc = 1;
    const TransitionResult none = CalcOffEdgeTransition(p, 2.0, 0.0, 48.0);
    EXPECT_EQ(none.delay, 0.0);
    EXPECT_EQ(none.energy, 0.0);
    // A reset winding without turns, a primary without turns: finite.
    p = Base();
    p.winding = 1;
    p.turnsRatio = 0.0;
    const TransitionResult r = CalcOffEdgeTransition(p, 2.0, 0.0, 48.0);
    EXPECT_TRUE(std::isfinite(r.delay) && std::isfinite(r.energy));
}

TEST(TransitionTiming, OnEdgeEnergyAndLeakageHandOver) {
    const double v = 48.0, vin = 48.0;
    TransitionParams p = Base();
    p.out[0].rectifierVoltage = -20.0;
    // Without leakage the choke current moves at once; the capacitances still hold their energy.
    TransitionResult r = CalcOnEdgeTransition(p, v, vin, 30e-9);
    EXPECT_EQ(r.delay, 0.0);
    EXPECT_NEAR(r.energy, 0.5 * 1e-9 * v * v + 0.5 * 50e-12 * v * v + 0.5 * 100e-12 * 400.0 + 0.5 * 200e-12 * vin * vin,
                1e-15);
    // Two switches in series double the swing seen by the windings and the leakage.
    p.doubled = 1;
    p.cb = 30e-12;
    r = CalcOnEdgeTransition(p, v, vin, 30e-9);
    EXPECT_NEAR(r.energy, 0.5 * 1e-9 * v * v + 0.5 * (3e-9 + 60e-12) * v * v + 0.5 * 50e-12 * 4 * v * v +
                              0.5 * 100e-12 * 400.0 + 0.5 * 200e-12 * vin * vin,
                1e-15);

    // Leakage: Vin·t = (Lk + L0)·(a/n)·(S·(dmin + t) + I0).
    p = Base();
    p.leakage = 1e-6;
    p.out[0].leakage = 1e-6;
    p.out[0].chokeCurrent = 3.0;
    p.out[0].chokeSlope = 1e5;
    const double dmin = 30e-9, l = 2e-6, a = 10.0, n = 10.0;
    r = CalcOnEdgeTransition(p, v, vin, dmin);
    const double t = r.delay;
    EXPECT_GT(t, 0.0);
    EXPECT_NEAR(vin * t, l * (a / n) * (1e5 * (dmin + t) + 3.0), 1e-15);

    struct Guard {
        const char* name;
        double vin, slope, current;
    };
    const Guard guards[] = {
        {"bulk below 1 V", 0.9, 1e5, 3.0},
        {"a reversed choke current clamps at 0", 48.0, 0.0, -3.0},
        {"choke slopes that outrun the winding", 48.0, 1e9, 3.0},
    };
    for (const Guard& g : guards) {
        SCOPED_TRACE(g.name);
        p.out[0].chokeSlope = g.slope;
        p.out[0].chokeCurrent = g.current;
        EXPECT_EQ(CalcOnEdgeTransition(p, v, g.vin, dmin).delay, 0.0);
    }
}

}  // namespace
