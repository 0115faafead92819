// The current ramp of peak current control against the nodal oracle, with Q1 off and
// conducting, and its DC divider.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <numbers>

#include "analysis/models/AnalMRamp.h"
#include "support/NodalOracle.h"

namespace {

RampNetwork Network() {
    RampNetwork n;
    n.rb = 2e3;
    n.cb = 2e-9;
    n.ra = 1e3;
    n.ca = 1e-9;
    n.rc = 5e3;
    n.offset = 0.65;
    return n;
}

TEST(CurrentRamp, MatchesTheOracleWithQ1OffAndConducting) {
    const RampNetwork n = Network();
    const double s = 1.0 / 1e-7, vs = 0.7, vaPrev = 0.3, vbPrev = 0.5;
    struct Case {
        const char* name;
        double clock;
        bool conducting;
    };
    const Case cases[] = {{"Q1 off", 0.5, false}, {"Q1 conducting", 3.0, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ControlStateRec st;
        st.clockDividerVoltage = vaPrev;
        st.rampCapacitorVoltage = vbPrev;
        ASSERT_EQ(SolveCurrentRampNetwork(n, vs, c.clock, s, &st), 1);

        test_support::NodalOracle o(s);
        const int in = o.Node(), b = o.Node(), cn = o.Node();
        o.VoltageSource(in, 0, vs);
        o.Resistor(in, b, n.rb);
        o.Capacitor(b, 0, n.cb, vbPrev);
        o.Resistor(cn, b, n.ra);
        o.Capacitor(cn, b, n.ca, vaPrev);
        o.Resistor(cn, 0, n.rc);
        if (c.conducting) o.VoltageSource(cn, 0, c.clock - n.offset);
        ASSERT_TRUE(o.Solve());
        EXPECT_NEAR(st.rampCapacitorVoltage, o.V(b), 1e-9);
        EXPECT_NEAR(st.clockDividerVoltage, o.V(cn) - o.V(b), 1e-9);
        EXPECT_NEAR(st.rampDifference, o.V(cn), 1e-9);
        EXPECT_NEAR(st.clockDividerCurrent, (o.V(cn) - o.V(b)) / n.ra, 1e-12);
        // Q1 holds its emitter at the clock less its forward bias only when it conducts.
        if (c.conducting) EXPECT_NEAR(o.V(cn), c.clock - n.offset, 1e-12);
        else EXPECT_GT(o.V(cn), c.clock - n.offset);
    }
}

// Held long at a constant sense voltage with Q1 off, the network is the divider
// vB = vs·(RA + RC)/(RB + RA + RC).
TEST(CurrentRamp, DcDivider) {
    const RampNetwork n = Network();
    ControlStateRec st;
    st.clockDividerVoltage = 0.0;
    st.rampCapacitorVoltage = 0.0;
    for (int k = 0; k < 2000; ++k) ASSERT_EQ(SolveCurrentRampNetwork(n, 0.6, -10.0, 1.0 / 1e-7, &st), 1);
    EXPECT_NEAR(st.rampCapacitorVoltage, 0.6 * (n.ra + n.rc) / (n.rb + n.ra + n.rc), 1e-9);
}

// Driven by a small sine around a bias with Q1 off, vB/vs is the network's transfer function
// 1/(1 + RB·(x·CB + 1/Z2)), Z2 = RA || CA + RC, at the step's frequency variable
// x = (1 - exp(-jwh))/h, and close to it at jw; f near the RB·CB pole.
TEST(CurrentRamp, SineResponseIsTheTransferFunction) {
    using cplx = std::complex<double>;
    const RampNetwork n = Network();
    const double f = 1.0 / (2.0 * std::numbers::pi * n.rb * n.cb), w = 2.0 * std::numbers::pi * f;
    const int perPeriod = 1000, periods = 20;
    const double h = 1.0 / (f * perPeriod), amplitude = 1e-3, bias = 0.5;
    ControlStateRec st;
    st.clockDividerVoltage = 0.0;
    st.rampCapacitorVoltage = 0.0;
    cplx phasor = 0.0;
    for (int k = 1; k <= perPeriod * periods; ++k) {
        const double phase = w * k * h;
        ASSERT_EQ(SolveCurrentRampNetwork(n, bias + amplitude * std::sin(phase), -10.0, 1.0 / h, &st), 1);
        if (k > perPeriod * (periods - 1)) phasor += st.rampCapacitorVoltage * std::exp(cplx(0.0, -phase));
    }
    const cplx measured = phasor / (static_cast<double>(perPeriod) * cplx(0.0, -amplitude / 2.0));
    auto transfer = [&](cplx x) {
        const cplx z2 = 1.0 / (1.0 / n.ra + x * n.ca) + n.rc;
        return 1.0 / (1.0 + n.rb * (x * n.cb + 1.0 / z2));
    };
    const cplx expected = transfer((1.0 - std::exp(cplx(0.0, -w * h))) / h);
    EXPECT_LT(std::abs(measured - expected), 1e-6 * std::abs(expected));
    const cplx continuous = transfer(cplx(0.0, w));
    EXPECT_LT(std::abs(measured - continuous), 1e-2 * std::abs(continuous));
}

}  // namespace

namespace {

// The feed-forward ramp with the reset switch open (drive on) and closed, against the oracle.
TEST(FeedForwardRamp, MatchesTheOracleWithTheSwitchOpenAndClosed) {
    ControlInputRec in;
    in.rampResistance = 1e5;
    in.rampCapacitance = 1e-8;
    in.resetSwitchResistance = 10.0;
    ASSERT_TRUE(FeedForwardRampValid(in));
    const double s = 1.0 / 1e-7, bulk = 48.0, previous = 0.08;
    for (bool driveOn : {true, false}) {
        SCOPED_TRACE(driveOn);
        ControlStateRec st;
        st.rampCapacitorVoltage = previous;
        ASSERT_EQ(SolveFeedForwardRamp(in, bulk, driveOn, s, &st), 1);
        test_support::NodalOracle o(s);
        const int b = o.Node(), v = o.Node();
        o.VoltageSource(b, 0, bulk);
        o.Resistor(b, v, in.rampResistance);
        o.Capacitor(v, 0, in.rampCapacitance, previous);
        if (!driveOn) o.Resistor(v, 0, in.resetSwitchResistance);
        ASSERT_TRUE(o.Solve());
        EXPECT_NEAR(st.rampCapacitorVoltage, o.V(v), 1e-12);
        EXPECT_NEAR(st.feedForwardResistorCurrent, (bulk - o.V(v)) / in.rampResistance, 1e-15);
        EXPECT_NEAR(st.resetSwitchCurrent, driveOn ? 0.0 : o.V(v) / in.resetSwitchResistance, 1e-12);
    }
    in.resetSwitchResistance = 0.0;
    EXPECT_FALSE(FeedForwardRampValid(in));
}

}  // namespace
