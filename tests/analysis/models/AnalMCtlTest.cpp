// Control elements: the sawtooth clock's turns, the error amplifier "Single Pole with DC
// Feedback" in its linear range and at its limits, and the current-limit filter against the
// nodal oracle.
#include <gtest/gtest.h>

#include "analysis/models/AnalMCtl.h"
#include "support/NodalOracle.h"

namespace {

ControlInputRec Clock() {
    ControlInputRec in;
    in.clockUpperLimit = 3.0;
    in.clockLowerLimit = 1.0;
    in.clockFirstSlope = -2e6;
    in.clockSecondSlope = 2.0 / 9e-6;
    return in;
}

TEST(SawtoothClock, TurnsAtItsLimitsAndStartsAPeriodAtTheTop) {
    const ControlInputRec in = Clock();
    ControlStateRec st;
    st.clockVoltage = 3.0;
    st.clockSlope = in.clockFirstSlope;
    int32_t periodStart = -1;

    EXPECT_NEAR(TimeToClockTurn(in, st), 1e-6, 1e-18);
    AdvanceSawtoothClock(in, st, 0.4e-6, &periodStart);
    EXPECT_NEAR(st.clockVoltage, 2.2, 1e-12);
    EXPECT_EQ(periodStart, 0);

    // Landing on the turn (a hair past it after rounding) turns the clock.
    AdvanceSawtoothClock(in, st, TimeToClockTurn(in, st) * (1.0 + 1e-12), &periodStart);
    EXPECT_EQ(st.clockVoltage, 1.0);
    EXPECT_EQ(st.clockSlope, in.clockSecondSlope);
    EXPECT_EQ(periodStart, 0);
    EXPECT_NEAR(TimeToClockTurn(in, st), 9e-6, 1e-15);

    AdvanceSawtoothClock(in, st, 9e-6, &periodStart);
    EXPECT_EQ(st.clockVoltage, 3.0);
    EXPECT_EQ(st.clockSlope, in.clockFirstSlope);
    EXPECT_EQ(periodStart, 1);
}

TEST(VoltageErrorAmpT7, LinearStepAndLimits) {
    struct Case {
        const char* name;
        double feedback, reference, r1, rfb, c3, s, vnPrev;
        double expectedOut;
        int32_t clamp;
    };
    // Linear: I = (Vf - Vr)/R1, Vn = (I + C3·s·Vnprev)/(1/Rfb + C3·s), out = Vr - Vn.
    //  row 1: I = 0.5/1e4 = 5e-5; C3·s = 1e-9·1e6 = 1e-3; Vn = (5e-5 + 1e-3·0.2)/(1e-5 + 1e-3)
    //         = 2.5e-4/1.01e-3 = 0.247525; out = 2.5 - 0.247525
    //  row 2: no capacitor current at DC (s small): out = Vr - Rfb/R1·(Vf - Vr) = 2.5 - 10·(-0.1)
    //  row 3: gain 1e-12, as the fixed-duty design: out = Vr
    const Case cases[] = {
        {"one step with the capacitor", 3.0, 2.5, 1e4, 1e5, 1e-9, 1e6, 0.2, 2.5 - 2.5e-4 / 1.01e-3, 0},
        {"DC gain", 2.4, 2.5, 1e3, 1e4, 1e-15, 1.0, 0.0, 3.5, 0},
        {"turned down", 10.0, 1.5556, 1e6, 1e-6, 1e-14, 1e7, 0.0, 1.5556, 0},
        {"held at the upper limit", 0.0, 2.5, 1e3, 1e5, 1e-15, 1.0, 0.0, 5.0, 1},
        {"held at the lower limit", 5.0, 2.5, 1e3, 1e5, 1e-15, 1.0, 0.0, 0.0, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ControlStateRec st;
        st.errorAmpStateA = c.vnPrev;
        ASSERT_EQ(SolveVoltageErrorAmpT7(c.feedback, c.reference, c.r1, c.rfb, c.c3, c.s, 0.0, 5.0, &st), 1);
        EXPECT_NEAR(st.veaOutput, c.expectedOut, 1e-9);
        EXPECT_EQ(st.veaClampState, c.clamp);
        // Held at a limit, the network keeps the voltage that the limit leaves across it.
        EXPECT_NEAR(st.errorAmpStateA, c.reference - st.veaOutput, 1e-9);
    }
}

TEST(CurrentLimitFilter, MatchesOracle) {
    const double r = 1e3, c = 1e-9, s = 1.0 / 50e-9, vi = 0.8, vPrev = 0.3;
    test_support::NodalOracle o(s);
    const int in = o.Node(), out = o.Node();
    o.VoltageSource(in, 0, vi);
    o.Resistor(in, out, r);
    o.Capacitor(out, 0, c, vPrev);
    ASSERT_TRUE(o.Solve());
    EXPECT_NEAR(CalcCurrentLimitFilter(vi, r, c, s, vPrev), o.V(out), 1e-12);
}

}  // namespace
