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

TEST(VoltageErrorAmpT7, LinearForm) {
    struct Case {
        const char* name;
        double input, reference, r1, rfb, c3, s, vc3Prev;
        double expectedOut;
    };
    // vC3 = (vC3prev·g3·R1 - u)·Rfb/(Rfb·g3·R1 + R1), output = Vr + vC3, u = Vin - Vr.
    //  row 1: g3 = 1e-3, u = 0.5: vC3 = (-0.2·1e-3·1e4 - 0.5)·1e5/(1e5·1e-3·1e4 + 1e4)
    //         = -2.5·1e5/1.01e6 = -0.247525
    //  row 2: at DC the gain is -Rfb/R1: 2.5 - 10·(-0.1) = 3.5
    //  row 3: gain 1e-12, as the fixed-duty design: the output is the reference
    const Case cases[] = {
        {"one step with the capacitor", 3.0, 2.5, 1e4, 1e5, 1e-9, 1e6, -0.2, 2.5 - 2.5e5 / 1.01e6},
        {"DC gain", 2.4, 2.5, 1e3, 1e4, 1e-15, 1.0, 0.0, 3.5},
        {"turned down", 10.0, 1.5556, 1e6, 1e-6, 1e-14, 1e7, 0.0, 1.5556},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ControlStateRec st;
        st.errorAmpStateC = c.vc3Prev;
        st.veaClampState = 0;
        const ErrorAmpT7 amp{c.r1, c.rfb, c.c3, 0.0, 5.0};
        ASSERT_EQ(CalcVoltageErrorAmpT7(amp, c.input, c.reference, c.s, &st), 1);
        EXPECT_NEAR(st.veaOutput, c.expectedOut, 1e-9);
        EXPECT_EQ(st.veaClampState, 0);
        EXPECT_EQ(st.veaInvertingInput, c.reference);
    }
}

// Held at a limit the output is a source and the node is free: the oracle solves the
// network between them.
TEST(VoltageErrorAmpT7, ClampedFormMatchesOracle) {
    const ErrorAmpT7 amp{2.2e3, 4.7e4, 3.3e-9, 0.0, 5.0};
    const double s = 1.0 / 2e-7, input = 0.4, vc3Prev = 1.7;
    ControlStateRec st;
    st.veaClampState = 1;
    st.veaClampValue = 5.0;
    st.errorAmpStateC = vc3Prev;
    ASSERT_EQ(SolveVoltageErrorAmpClampedT7(amp, input, s, &st), 1);

    test_support::NodalOracle o(s);
    const int out = o.Node(), node = o.Node(), in = o.Node(), cap = o.Node();
    o.VoltageSource(out, 0, 5.0);
    o.Resistor(out, node, amp.rfb);
    // The capacitor's voltage is output - node; its start value vC3prev.
    o.VoltageSource(out, cap, 0.0);
    o.Capacitor(cap, node, amp.c3, vc3Prev);
    o.Resistor(node, in, amp.r1);
    o.VoltageSource(in, 0, input);
    ASSERT_TRUE(o.Solve());
    EXPECT_NEAR(st.veaInvertingInput, o.V(node), 1e-9);
    EXPECT_NEAR(st.errorAmpStateC, 5.0 - o.V(node), 1e-9);
    EXPECT_EQ(st.veaOutput, 5.0);
}

TEST(VoltageErrorAmpT7, HeldAtALimitAndReleasedWhenTheNodeCrossesTheReference) {
    const ErrorAmpT7 amp{1e3, 1e5, 1e-15, 0.0, 5.0};
    const double s = 1.0, reference = 2.5;
    ControlStateRec st;
    st.errorAmpStateC = 0.0;
    st.veaClampState = 0;
    // Far below the reference: the linear output (2.5 + 100·2.5) passes the upper limit.
    CalcVoltageErrorAmpT7(amp, 0.0, reference, s, &st);
    EXPECT_EQ(st.veaClampState, 1);
    EXPECT_EQ(st.veaOutput, 5.0);
    EXPECT_LT(st.veaInvertingInput, reference);
    // Still below: held.
    CalcVoltageErrorAmpT7(amp, 2.4, reference, s, &st);
    EXPECT_EQ(st.veaClampState, 1);
    // The input rises past the reference: the node follows it past the reference, linear again.
    CalcVoltageErrorAmpT7(amp, 2.52, reference, s, &st);
    EXPECT_EQ(st.veaClampState, 0);
    EXPECT_NEAR(st.veaOutput, 2.5 - 100.0 * 0.02, 1e-6);
    // Far above: held at the lower limit.
    CalcVoltageErrorAmpT7(amp, 5.0, reference, s, &st);
    EXPECT_EQ(st.veaClampState, 2);
    EXPECT_EQ(st.veaOutput, 0.0);
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
