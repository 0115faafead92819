// The hysteretic comparator's networks against the nodal oracle and their transfer functions,
// and the window they make against the closed form of the hysteretic period.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <numbers>

#include "analysis/models/AnalMHyst.h"
#include "support/NodalOracle.h"

namespace {

HystNetwork Network() {
    HystNetwork n;
    n.ra = 1e5;    // R10
    n.rb = 1.6e3;  // R9
    n.cc = 1e-6;   // C8
    n.rs = 100.0;  // R7
    n.cs = 1e-10;  // C6
    return n;
}

TEST(HystereticComparator, MatchesTheOracleWithTheOutputHighAndLow) {
    const HystNetwork n = Network();
    const double vRef = 0.2, vcPrev = 0.9;
    struct Case {
        const char* name;
        double vIn, s;
    };
    // Both comparator levels, at a switching-sized step and at one where C8 takes part.
    const Case cases[] = {{"high", 5.0, 1.0 / 1e-7}, {"low", 0.0, 1.0 / 1e-7}, {"high, long step", 5.0, 1.0 / 0.05}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ControlStateRec st;
        st.hystFiltered = vcPrev;
        ASSERT_EQ(SolveHystereticComparatorNetwork(n, c.vIn, vRef, c.s, &st), 1);

        test_support::NodalOracle o(c.s);
        const int in = o.Node(), m = o.Node(), node = o.Node(), ref = o.Node();
        o.VoltageSource(in, 0, c.vIn);
        o.VoltageSource(ref, 0, vRef);
        o.Capacitor(in, m, n.cc, vcPrev);
        o.Resistor(m, node, n.ra);
        o.Resistor(node, ref, n.rb);
        ASSERT_TRUE(o.Solve());
        const double i = (o.V(node) - vRef) / n.rb;
        EXPECT_NEAR(st.pwmComparatorNonInverting, o.V(node), 1e-9);
        EXPECT_NEAR(st.hystFiltered, o.V(in) - o.V(m), 1e-9);
        EXPECT_NEAR(st.r10ResistorCurrent, i, 1e-12);
        EXPECT_NEAR(st.hystAux1, o.V(m) - o.V(node), 1e-9);
        EXPECT_NEAR(st.hystAux3, o.V(node) - vRef, 1e-9);
        EXPECT_EQ(st.hystInput, c.vIn);
    }
}

TEST(HystereticComparator, SenseFilterMatchesTheOracle) {
    const HystNetwork n = Network();
    const double s = 1.0 / 2e-8, u = 0.21, injection = 0.01, previous = 0.15;
    ControlStateRec st;
    st.rampCapacitorVoltage = previous;
    ASSERT_EQ(SolveHystereticSenseFilter(n, u, injection, s, &st), 1);
    test_support::NodalOracle o(s);
    const int in = o.Node(), v = o.Node();
    o.VoltageSource(in, 0, u + injection);
    o.Resistor(in, v, n.rs);
    o.Capacitor(v, 0, n.cs, previous);
    ASSERT_TRUE(o.Solve());
    EXPECT_NEAR(st.rampCapacitorVoltage, o.V(v), 1e-12);
    EXPECT_NEAR(st.rampCapacitorCurrent, (u + injection - o.V(v)) / n.rs, 1e-12);
}

// At DC C8 blocks: held long at a constant output the input settles on the control voltage;
// a step of the output moves the input by the window VL·R9/(R10 + R9) at once.
TEST(HystereticComparator, DcAndTheWindowStep) {
    const HystNetwork n = Network();
    ControlStateRec st;
    st.hystFiltered = 0.0;
    for (int k = 0; k < 400; ++k) ASSERT_EQ(SolveHystereticComparatorNetwork(n, 5.0, 0.2, 1.0 / 5e-3, &st), 1);
    EXPECT_NEAR(st.pwmComparatorNonInverting, 0.2, 1e-9);
    EXPECT_NEAR(st.hystFiltered, 4.8, 1e-7);
    const double before = st.pwmComparatorNonInverting;
    ASSERT_EQ(SolveHystereticComparatorNetwork(n, 0.0, 0.2, 1.0 / 1e-8, &st), 1);
    EXPECT_NEAR(before - st.pwmComparatorNonInverting, 5.0 * n.rb / (n.ra + n.rb), 1e-6);
}

// Driven by a sine, the input's response is the high pass R9·x·C8/((R10 + R9)·x·C8 + 1) at the
// step's frequency variable x = (1 - exp(-jwh))/h, close to it at jw; f at the pole.
TEST(HystereticComparator, SineResponseIsTheTransferFunction) {
    using cplx = std::complex<double>;
    const HystNetwork n = Network();
    const double f = 1.0 / (2.0 * std::numbers::pi * (n.ra + n.rb) * n.cc), w = 2.0 * std::numbers::pi * f;
    const int perPeriod = 1000, periods = 12;
    const double h = 1.0 / (f * perPeriod), amplitude = 1e-2;
    ControlStateRec st;
    st.hystFiltered = 0.0;
    cplx phasor = 0.0;
    for (int k = 1; k <= perPeriod * periods; ++k) {
        const double phase = w * k * h;
        ASSERT_EQ(SolveHystereticComparatorNetwork(n, amplitude * std::sin(phase), 0.0, 1.0 / h, &st), 1);
        if (k > perPeriod * (periods - 1)) phasor += st.pwmComparatorNonInverting * std::exp(cplx(0.0, -phase));
    }
    const cplx measured = phasor / (static_cast<double>(perPeriod) * cplx(0.0, -amplitude / 2.0));
    auto transfer = [&](cplx x) { return n.rb * x * n.cc / ((n.ra + n.rb) * x * n.cc + 1.0); };
    const cplx expected = transfer((1.0 - std::exp(cplx(0.0, -w * h))) / h);
    EXPECT_LT(std::abs(measured - expected), 1e-4 * std::abs(expected));
    const cplx continuous = transfer(cplx(0.0, w));
    EXPECT_LT(std::abs(measured - continuous), 1e-2 * std::abs(continuous));
    EXPECT_NEAR(std::arg(continuous), std::numbers::pi / 4.0, 1e-12);
}

// The comparator closing the loop on a sensed current that rises at a while the drive is on
// and falls at b while it is off: it switches with the period band·(1/a + 1/b), the sense
// filter's lag tau adding (a + b)·tau to the swing (the filtered sense reaches each edge of
// the window tau late).
TEST(HystereticComparator, SwitchesWithTheHystereticPeriod) {
    HystNetwork n = Network();
    n.cs = 1e-11;  // tau = 1 ns
    const double vl = 5.0, vRef = 0.2, a = 3.4e4, b = 1.06e4;  // V/s of sense
    const double band = vl * n.rb / (n.ra + n.rb), tau = n.rs * n.cs;
    const double expected = (band + (a + b) * tau) * (1.0 / a + 1.0 / b);
    const double h = 1e-10;
    ControlStateRec st;
    st.rampCapacitorVoltage = vRef;
    st.hystFiltered = 0.0;
    st.pwmComparatorDifferential = 0.0;
    double u = vRef, lastEdge = -1.0, firstEdge = -1.0;
    int edges = 0;
    bool on = false;
    for (int k = 0; k < 600000; ++k) {
        const bool want = st.pwmComparatorDifferential > 0.0;
        if (want && !on) {
            const double t = k * h;
            if (firstEdge < 0.0) firstEdge = t;
            lastEdge = t;
            ++edges;
        }
        on = want;
        u += (on ? a : -b) * h;
        ASSERT_EQ(SolveHystereticSenseFilter(n, u, 0.0, 1.0 / h, &st), 1);
        ASSERT_EQ(SolveHystereticComparatorNetwork(n, on ? vl : 0.0, vRef, 1.0 / h, &st), 1);
        st.pwmComparatorDifferential = st.pwmComparatorNonInverting - st.rampCapacitorVoltage;
    }
    ASSERT_GT(edges, 5);
    EXPECT_NEAR((lastEdge - firstEdge) / (edges - 1), expected, 2e-3 * expected);
}

TEST(HystereticComparator, CrossingAndValidity) {
    ControlStateRec st;
    st.pwmComparatorDifferential = 0.02;
    st.pwmComparatorDifferentialSlope = -1e4;
    EXPECT_NEAR(TimeToHystereticCrossing(st), 2e-6, 1e-18);
    st.pwmComparatorDifferential = -0.02;
    st.pwmComparatorDifferentialSlope = 1e4;
    EXPECT_NEAR(TimeToHystereticCrossing(st), 2e-6, 1e-18);
    st.pwmComparatorDifferentialSlope = -1e4;  // heading away
    EXPECT_EQ(TimeToHystereticCrossing(st), -1.0);
    st.pwmComparatorDifferential = 0.0;
    EXPECT_EQ(TimeToHystereticCrossing(st), -1.0);

    HystNetwork n = Network();
    EXPECT_TRUE(HystNetworkValid(n));
    for (double HystNetwork::*member : {&HystNetwork::ra, &HystNetwork::rb, &HystNetwork::cc, &HystNetwork::rs,
                                        &HystNetwork::cs}) {
        HystNetwork bad = n;
        bad.*member = 0.0;
        EXPECT_FALSE(HystNetworkValid(bad));
    }
    ControlInputRec in;
    in.referenceValue = 5.0;
    EXPECT_EQ(HystereticLogicLevel(in, 48.0), 5.0);
    in.referenceInPercent = 1;
    EXPECT_NEAR(HystereticLogicLevel(in, 48.0), 2.4, 1e-12);
}

}  // namespace

namespace {

// The steady start's window: a square comparator output of duty D from it keeps C8 where it
// began (no DC current through it), and N starts D·band below the control voltage.
TEST(HystereticComparator, SteadyStartWindowIsPeriodic) {
    const HystNetwork n = Network();
    const double vl = 5.0, duty = 0.25, vRef = 0.2, period = 10e-6, h = period / 400.0;
    const double band = vl * n.rb / (n.ra + n.rb);
    ControlStateRec st;
    ASSERT_EQ(StartHystereticWindow(n, vl, duty, vRef, &st), 1);
    EXPECT_NEAR(st.pwmComparatorNonInverting, vRef - duty * band, 1e-9);
    const double start = st.hystFiltered;
    double mean = 0.0;
    for (int k = 0; k < 400; ++k) {
        const double vIn = k < 100 ? vl : 0.0;
        ASSERT_EQ(SolveHystereticComparatorNetwork(n, vIn, vRef, 1.0 / h, &st), 1);
        mean += st.pwmComparatorNonInverting / 400.0;
    }
    EXPECT_NEAR(st.hystFiltered, start, 1e-6);
    EXPECT_NEAR(mean, vRef, 1e-6);
}

}  // namespace
