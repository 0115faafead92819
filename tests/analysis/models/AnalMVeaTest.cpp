// The error amplifier's eight networks, linear and held at a limit, against the nodal oracle
// for one step, and run over many steps against their transfer functions.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <numbers>

#include "analysis/models/AnalMVea.h"
#include "support/NodalOracle.h"

namespace {

using cplx = std::complex<double>;

VeaNetwork Network(int32_t topology) {
    VeaNetwork a;
    a.topology = topology;
    a.r1 = 1e4;
    a.r2 = 2e3;
    a.c1 = 4.7e-8;
    a.r3 = 2e4;
    a.c2 = 1e-8;
    a.c3 = 1e-9;
    a.rfb = 2e5;
    a.lower = 0.0;
    a.upper = 5.0;
    return a;
}

struct Previous {
    double vc1 = 0.31, vc2 = -0.47, vc3 = 0.83;
};

ControlStateRec StateWith(const Previous& p) {
    ControlStateRec st;
    st.errorAmpAux = p.vc1;
    st.errorAmpStateB = p.vc2;
    st.errorAmpStateC = p.vc3;
    return st;
}

// The same network stamped element by element; the output is the op-amp's (linear) or a
// source at the held level (clamped).
struct OracleRun {
    test_support::NodalOracle o;
    int in, node, out, plus, m1, m2;
    OracleRun(const VeaNetwork& a, const Previous& p, double s, double input, double reference, bool clamped,
              double held)
        : o(s) {
        in = o.Node(), node = o.Node(), out = o.Node(), plus = o.Node(), m1 = o.Node(), m2 = o.Node();
        o.VoltageSource(in, 0, input);
        o.Resistor(in, node, a.r1);
        if (a.HasInputBranch()) {
            o.Resistor(in, m1, a.r2);
            o.Capacitor(m1, node, a.c1, p.vc1);
        } else {
            o.Resistor(m1, 0, 1.0);
        }
        if (a.HasC3()) o.Capacitor(out, node, a.c3, p.vc3);
        if (a.HasR3C2()) {
            o.Resistor(out, m2, a.r3);
            o.Capacitor(m2, node, a.c2, p.vc2);
        } else {
            o.Resistor(m2, 0, 1.0);
        }
        if (a.HasRfb()) o.Resistor(out, node, a.rfb);
        o.VoltageSource(plus, 0, reference);
        if (clamped) o.VoltageSource(out, 0, held);
        else o.IdealOpAmp(plus, node, out);
        EXPECT_TRUE(o.Solve());
    }
};

void ExpectRel(double actual, double expected, const char* what) {
    EXPECT_NEAR(actual, expected, 1e-9 * std::max(1.0, std::fabs(expected))) << what;
}

void ExpectMatchesOracle(const VeaNetwork& a, const Previous& p, double s, const ControlStateRec& st,
                         const OracleRun& r) {
    const auto& o = r.o;
    const double vf = o.V(r.out) - o.V(r.node);
    ExpectRel(st.veaOutput, o.V(r.out), "output");
    ExpectRel(st.veaInvertingInput, o.V(r.node), "node");
    ExpectRel(st.errorAmpStateC, vf, "feedback voltage");
    ExpectRel(st.errorAmpFlowA, (o.V(r.in) - o.V(r.node)) / a.r1, "R1 current");
    if (a.HasInputBranch()) {
        ExpectRel(st.errorAmpAux, o.V(r.m1) - o.V(r.node), "C1 voltage");
        ExpectRel(st.errorAmpFlowB, (o.V(r.in) - o.V(r.m1)) / a.r2, "C1 current");
    }
    if (a.HasR3C2()) {
        ExpectRel(st.errorAmpStateB, o.V(r.m2) - o.V(r.node), "C2 voltage");
        ExpectRel(st.errorAmpFlowC, (o.V(r.out) - o.V(r.m2)) / a.r3, "C2 current");
    }
    if (a.HasC3()) ExpectRel(st.errorAmpStateCAux, a.c3 * s * (vf - p.vc3), "C3 current");
    if (a.HasRfb()) ExpectRel(st.veaStateScaled, vf / a.rfb, "Rfb current");
}

TEST(VoltageErrorAmp, EveryTopologyMatchesTheOracleInBothForms) {
    const Previous p;
    const double s = 1.0 / 2e-6, reference = 2.5;
    for (int32_t t = 0; t < 8; ++t) {
        SCOPED_TRACE(t);
        const VeaNetwork a = Network(t);
        ASSERT_TRUE(VeaNetworkValid(a));
        for (double input : {2.3, 2.71}) {
            ControlStateRec lin = StateWith(p);
            ASSERT_EQ(SolveVoltageErrorAmpLinear(a, input, reference, s, &lin), 1);
            ExpectMatchesOracle(a, p, s, lin, OracleRun(a, p, s, input, reference, false, 0.0));
            EXPECT_EQ(lin.veaInvertingInput, reference);

            for (double held : {a.upper, a.lower}) {
                ControlStateRec cl = StateWith(p);
                cl.veaClampValue = held;
                ASSERT_EQ(SolveVoltageErrorAmpClamped(a, input, s, &cl), 1);
                ExpectMatchesOracle(a, p, s, cl, OracleRun(a, p, s, input, reference, true, held));
                EXPECT_EQ(cl.veaOutput, held);
            }
        }
    }
}

// Driven by a small sine at f (near the zero of R3·C2 and the poles of the input branch),
// the steady output's phasor is the network's transfer function at the step's own frequency
// variable (1 - exp(-jwh))/h, and close to it at jw.
TEST(VoltageErrorAmp, SineResponseIsTheTransferFunction) {
    const double f = 1e3, w = 2.0 * std::numbers::pi * f;
    const int perPeriod = 1000, periods = 40;
    const double h = 1.0 / (f * perPeriod), reference = 2.5, amplitude = 1e-3;
    for (int32_t t = 0; t < 8; ++t) {
        SCOPED_TRACE(t);
        const VeaNetwork a = Network(t);
        ControlStateRec st = StateWith(Previous{0.0, 0.0, 0.0});
        cplx phasor = 0.0;
        for (int k = 1; k <= perPeriod * periods; ++k) {
            const double phase = w * k * h;
            ASSERT_EQ(SolveVoltageErrorAmpLinear(a, reference + amplitude * std::sin(phase), reference, 1.0 / h, &st),
                      1);
            if (k > perPeriod * (periods - 1)) phasor += (st.veaOutput - reference) * std::exp(cplx(0.0, -phase));
        }
        // sin = Im(exp(j·phase)): the input's phasor is -j·amplitude/2 per sample.
        const cplx measured = phasor / (static_cast<double>(perPeriod) * cplx(0.0, -amplitude / 2.0));
        const cplx stepVariable = (1.0 - std::exp(cplx(0.0, -w * h))) / h;
        const cplx expected = VeaTransfer(a, stepVariable);
        EXPECT_LT(std::abs(measured - expected), 1e-6 * std::abs(expected));
        const cplx continuous = VeaTransfer(a, cplx(0.0, w));
        EXPECT_LT(std::abs(measured - continuous), 1e-2 * std::abs(continuous));
    }
}

// At DC: with Rfb the gain is -Rfb/R1 (C1 blocks); without it the network integrates the
// input current u/R1 into the feedback capacitors, output slope -u/(R1·(C2 + C3)).
TEST(VoltageErrorAmp, DcGainOrIntegratorSlope) {
    const double reference = 2.5, u = -0.01;
    for (int32_t t = 0; t < 8; ++t) {
        SCOPED_TRACE(t);
        const VeaNetwork a = Network(t);
        ControlStateRec st = StateWith(Previous{0.0, 0.0, 0.0});
        const double h = 1e-6;
        double before = 0.0;
        for (int k = 0; k < 40000; ++k) {
            before = st.veaOutput;
            SolveVoltageErrorAmpLinear(a, reference + u, reference, 1.0 / h, &st);
        }
        const double c = (a.HasC3() ? a.c3 : 0.0) + (a.HasR3C2() ? a.c2 : 0.0);
        if (a.HasRfb()) EXPECT_NEAR(st.veaOutput - reference, -a.rfb / a.r1 * u, 1e-6);
        else EXPECT_NEAR((st.veaOutput - before) / h, -u / (a.r1 * c), 1e-6 * std::fabs(u / (a.r1 * c)));
    }
}

// The integrator winds up to its upper limit while the output is low, is held there, and is
// released once the input passes the reference; the held step starts from the step's own
// start, as the oracle's clamped step does.
TEST(VoltageErrorAmp, IntegratorHeldAtItsLimitAndReleased) {
    const VeaNetwork a = Network(2);
    const double s = 1.0 / 1e-5, reference = 2.5;
    ControlStateRec st = StateWith(Previous{0.0, 0.0, 0.0});
    st.veaClampState = 0;
    int steps = 0;
    while (st.veaClampState == 0 && steps < 100000) {
        const Previous p{st.errorAmpAux, st.errorAmpStateB, st.errorAmpStateC};
        CalcVoltageErrorAmp(a, 2.0, reference, s, &st);
        ++steps;
        if (st.veaClampState == 1)
            ExpectMatchesOracle(a, p, s, st, OracleRun(a, p, s, 2.0, reference, true, a.upper));
    }
    ASSERT_EQ(st.veaClampState, 1);
    EXPECT_EQ(st.veaOutput, a.upper);
    // Still short of the reference by as much: held.
    CalcVoltageErrorAmp(a, 2.0, reference, s, &st);
    EXPECT_EQ(st.veaClampState, 1);
    EXPECT_LT(st.veaInvertingInput, reference);
    CalcVoltageErrorAmp(a, 2.6, reference, s, &st);
    EXPECT_EQ(st.veaClampState, 0);
    EXPECT_LT(st.veaOutput, a.upper);
}

TEST(VoltageErrorAmp, NetworkValidity) {
    struct Case {
        int32_t topology;
        double VeaNetwork::*member;
        double value;
        bool valid;
    };
    const Case cases[] = {
        {0, &VeaNetwork::c1, 0.0, false},   // the input branch needs C1
        {1, &VeaNetwork::c1, 0.0, true},    // no input branch in 1
        {3, &VeaNetwork::c3, -1e-9, false},
        {2, &VeaNetwork::c3, 0.0, true},    // no C3 in 2
        {7, &VeaNetwork::rfb, NAN, false},
        {3, &VeaNetwork::rfb, 0.0, true},
        {6, &VeaNetwork::upper, -1.0, false},  // limits out of order
    };
    for (const Case& c : cases) {
        VeaNetwork a = Network(c.topology);
        a.*c.member = c.value;
        EXPECT_EQ(VeaNetworkValid(a), c.valid) << c.topology;
    }
}

}  // namespace

namespace {

// The current error amplifier runs the same stage on its own state: R4 in, C5 across R5 in
// series with C4, referenced to the limited error voltage.
TEST(CurrentErrorAmp, IsTheStageWithItsOwnNetworkAndState) {
    ControlInputRec in;
    in.currentAmpInputResistance = 1e4;
    in.currentAmpSeriesResistance = 3e4;
    in.currentAmpSeriesCapacitance = 5.3e-9;
    in.currentAmpParallelCapacitance = 1e-10;
    in.currentEaLowerLimit = 0.0;
    in.currentEaUpperLimit = 2.5;
    const VeaNetwork a = CurrentAmpNetworkOf(in);
    ASSERT_TRUE(VeaNetworkValid(a));
    const double s = 1.0 / 1e-7, sense = 0.21, reference = 0.2;
    const Previous p{0.0, 0.4, 1.1};  // C4, C5 (the feedback voltage)
    ControlStateRec st;
    st.currentAmpStateA = p.vc2;
    st.currentAmpStateB = p.vc3;
    st.currentEaClampState = 0;
    ASSERT_EQ(CalcCurrentErrorAmp(a, sense, reference, s, &st), 1);
    const OracleRun r(a, p, s, sense, reference, false, 0.0);
    ExpectRel(st.currentEaOutput, r.o.V(r.out), "output");
    ExpectRel(st.currentAmpStateA, r.o.V(r.m2) - r.o.V(r.node), "C4 voltage");
    ExpectRel(st.currentAmpStateB, r.o.V(r.out) - r.o.V(r.node), "C5 voltage");
    ExpectRel(st.currentAmpFlowB, (sense - reference) / in.currentAmpInputResistance, "R4 current");
    EXPECT_EQ(st.currentEaInvertingInput, reference);
    EXPECT_EQ(st.currentEaClampState, 0);
}

}  // namespace
