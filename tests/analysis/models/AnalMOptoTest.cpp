// The opto-isolator arrangements: each receiver network against the nodal oracle, the
// photo transistor's lag against its transfer function, the chain's DC gain, and the limits.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <numbers>

#include "analysis/models/AnalMOpto.h"
#include "support/NodalOracle.h"

namespace {

using cplx = std::complex<double>;

OptoNetwork Network(int32_t topology) {
    OptoNetwork o;
    o.topology = topology;
    o.driveVoltage = 12.0;
    o.driveResistance = 1e3;
    o.ledVoltage = 1.1;
    o.ledResistance = 5.0;
    o.transistorVbe = 0.65;
    o.biasVoltage = 5.0;
    o.ctr = 0.8;
    o.bandwidth = 2e4;
    o.loadResistance = 2.2e3;
    o.poleCapacitance = 4.7e-9;
    o.ampResistor1 = 1e4;
    o.ampResistor2 = 2.2e4;
    o.ampUpper = 4.5;
    o.ampLower = 0.2;
    o.ampReference = 2.0;
    return o;
}

void ExpectRel(double actual, double expected, const char* what) {
    EXPECT_NEAR(actual, expected, 1e-9 * std::max(1.0, std::fabs(expected))) << what;
}

// Receivers 2-5 with a collector current iC, stamped element by element; 3-5 linear (the
// op-amp) or held (a source at clamp on its output).
TEST(OptoIsolator, ReceiversMatchTheOracle) {
    const double s = 1.0 / 1e-6, iC = 0.9e-3, capPrev = 1.3;
    for (int32_t t = 2; t <= 5; ++t) {
        for (bool held : {false, true}) {
            if (t == 2 && held) continue;
            SCOPED_TRACE(::testing::Message() << t << (held ? " held" : " linear"));
            const OptoNetwork o = Network(t);
            const double clamp = o.ampUpper;
            ControlStateRec st;
            st.optoLedCurrent = iC;
            st.errorAmpStateA = capPrev;
            if (t == 2) ASSERT_EQ(SolveOptoReceiverT2(o, s, &st), 1);
            else ASSERT_EQ(SolveOptoReceiverInverter(o, s, held, clamp, &st), 1);
            EXPECT_EQ(st.optoLedCurrent, iC);  // inside the limits

            test_support::NodalOracle n(s);
            const int b = n.Node(), p = n.Node(), node = n.Node(), out = n.Node(), ref = n.Node();
            n.VoltageSource(b, 0, o.biasVoltage);
            if (t == 2 || t == 3) {
                n.Resistor(b, p, o.loadResistance);
                n.CurrentSource(p, 0, iC);
                if (t == 2) n.Capacitor(b, p, o.poleCapacitance, capPrev);
            } else {
                n.CurrentSource(b, p, iC);
                n.Resistor(p, 0, o.loadResistance);
                if (t == 5) n.Capacitor(p, 0, o.poleCapacitance, capPrev);
            }
            n.VoltageSource(ref, 0, o.ampReference);
            if (t == 2) {
                n.Resistor(node, 0, 1.0);
                n.Resistor(out, 0, 1.0);
            } else {
                n.Resistor(p, node, o.ampResistor1);
                n.Resistor(node, out, o.ampResistor2);
                if (held) n.VoltageSource(out, 0, clamp);
                else n.IdealOpAmp(ref, node, out);
            }
            ASSERT_TRUE(n.Solve());
            if (t == 2) {
                ExpectRel(st.optoCoupledError, n.V(p), "output");
                ExpectRel(st.errorAmpStateA, o.biasVoltage - n.V(p), "pole capacitor voltage");
                ExpectRel(st.optoResistorCurrent, (o.biasVoltage - n.V(p)) / o.loadResistance, "load current");
                continue;
            }
            ExpectRel(st.optoCoupledError, n.V(out), "output");
            ExpectRel(st.optoReferenceCopy, n.V(node), "inverting node");
            ExpectRel(st.optoBranchCurrent, (n.V(node) - n.V(p)) / o.ampResistor1, "Ra1 current");
            ExpectRel(st.optoLimitDifference, t == 3 ? n.V(p) : o.biasVoltage - n.V(p), "photo transistor voltage");
            if (t == 5) ExpectRel(st.errorAmpStateA, n.V(p), "pole capacitor voltage");
        }
    }
}

// Driven by a sine of diode current at the bandwidth, the collector current follows
// CTR/(1 + s·tau) with s the step's own frequency variable (1 - exp(-jwh))/h; close to it at
// jw: -3 dB and -45 degrees there.
TEST(OptoIsolator, PhotoTransistorLagIsItsTransferFunction) {
    const OptoNetwork o = Network(0);
    const double w = 2.0 * std::numbers::pi * o.bandwidth, tau = 1.0 / w;
    const int perPeriod = 1000, periods = 20;
    const double h = 1.0 / (o.bandwidth * perPeriod), amplitude = 1e-4;
    ControlStateRec st;
    st.optoLedCurrent = 0.0;
    cplx phasor = 0.0;
    for (int k = 1; k <= perPeriod * periods; ++k) {
        const double phase = w * k * h;
        st.optoOutputCurrent = amplitude * std::sin(phase);
        ASSERT_EQ(SolveOptoPhotoTransistor(o, 1.0 / h, &st), 1);
        if (k > perPeriod * (periods - 1)) phasor += st.optoLedCurrent * std::exp(cplx(0.0, -phase));
    }
    const cplx measured = phasor / (static_cast<double>(perPeriod) * cplx(0.0, -amplitude / 2.0));
    const cplx stepVariable = (1.0 - std::exp(cplx(0.0, -w * h))) / h;
    const cplx expected = o.ctr / (1.0 + stepVariable * tau);
    EXPECT_LT(std::abs(measured - expected), 1e-6 * std::abs(expected));
    EXPECT_NEAR(std::abs(measured), o.ctr / std::sqrt(2.0), 0.01 * o.ctr);
    EXPECT_NEAR(std::arg(measured), -std::numbers::pi / 4.0, 0.01);
}

// The chain's small-signal DC gain d(out)/d(vEA) at a mid-range operating point, settled.
TEST(OptoIsolator, DcGainOfEveryArrangement) {
    const auto settle = [](const OptoNetwork& o, double vea) {
        ControlStateRec st;
        st.optoLedCurrent = 0.0;
        st.errorAmpStateA = 0.0;
        st.optoAmpClampState = 0;
        for (int k = 0; k < 2000; ++k) EXPECT_EQ(CalcOptoIsolator(o, vea, 1.0 / 1e-6, &st), 1);
        return st.optoCoupledError;
    };
    struct Case {
        int32_t topology;
        double vea;  // an operating point inside every limit
        double gain;
    };
    const OptoNetwork n = Network(0);
    const double rl = n.loadResistance, ra1 = n.ampResistor1, ra2 = n.ampResistor2;
    const double voltageDrive = n.ctr / (n.ledResistance + n.driveResistance);
    const double currentDrive = n.ctr / n.driveResistance;
    const Case cases[] = {
        {0, 8.9, rl * voltageDrive},
        {1, 1.6, rl * currentDrive},
        {2, 8.9, rl * voltageDrive},
        {3, 2.7, currentDrive * rl * ra2 / (rl + ra1)},
        {4, 10.2, voltageDrive * rl * ra2 / (rl + ra1)},
        {5, 10.2, voltageDrive * rl * ra2 / (rl + ra1)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.topology);
        const OptoNetwork o = Network(c.topology);
        const double dv = 1e-3;
        const double gain = (settle(o, c.vea + dv) - settle(o, c.vea - dv)) / (2.0 * dv);
        EXPECT_NEAR(gain, c.gain, 1e-6 * c.gain);
    }
    ControlStateRec st;
    ASSERT_EQ(CalcOptoIsolator(Network(6), 1.234, 1e6, &st), 1);
    EXPECT_EQ(st.optoCoupledError, 1.234);
}

TEST(OptoIsolator, LimitsOfTheReceivers) {
    const OptoNetwork o0 = Network(0), o1 = Network(1);
    ControlStateRec st;
    // RL·iC exactly Vb: the inverter gives 0, the follower Vb.
    st.optoLedCurrent = o0.biasVoltage / o0.loadResistance;
    SolveOptoReceiverT0(o0, &st);
    EXPECT_EQ(st.optoCoupledError, 0.0);
    SolveOptoReceiverT1(o1, &st);
    EXPECT_EQ(st.optoCoupledError, o1.biasVoltage);

    // A reverse-biased LED carries nothing.
    SolveOptoVoltageDriveTransmitter(o0, o0.driveVoltage, &st);
    EXPECT_EQ(st.optoOutputCurrent, 0.0);
    SolveOptoCurrentDriveTransmitter(o1, 0.0, &st);
    EXPECT_EQ(st.optoOutputCurrent, 0.0);

    // More collector current than the inverter receiver can carry: held where p reaches the
    // return; a negative one is taken as 0.
    const OptoNetwork o3 = Network(3);
    st.optoLedCurrent = 1.0;
    SolveOptoReceiverInverter(o3, 1e6, false, 0.0, &st);
    EXPECT_NEAR(st.optoLedCurrent, o3.biasVoltage / o3.loadResistance + o3.ampReference / o3.ampResistor1, 1e-15);
    EXPECT_NEAR(st.optoLimitDifference, 0.0, 1e-12);
    st.optoLedCurrent = -1e-3;
    SolveOptoReceiverInverter(o3, 1e6, false, 0.0, &st);
    EXPECT_EQ(st.optoLedCurrent, 0.0);

    // The inverter holds at its limits when its output reaches them exactly, and lets go when
    // its node comes back to the reference.
    struct Case {
        int32_t stateBefore;
        double output, node;
        int32_t stateAfter;
        double held;
    };
    const Case cases[] = {
        {0, o3.ampUpper, o3.ampReference, 1, o3.ampUpper},
        {0, o3.ampLower, o3.ampReference, 2, o3.ampLower},
        {0, 3.0, o3.ampReference, 0, 3.0},
        {1, o3.ampUpper, o3.ampReference - 0.1, 1, o3.ampUpper},
        {1, o3.ampUpper, o3.ampReference, 0, o3.ampUpper},
        {2, o3.ampLower, o3.ampReference, 0, o3.ampLower},
        {2, o3.ampLower, o3.ampReference + 0.1, 2, o3.ampLower},
    };
    for (const Case& c : cases) {
        st.optoAmpClampState = c.stateBefore;
        st.optoCoupledError = c.output;
        st.optoReferenceCopy = c.node;
        SolveOptoInverterOutput(o3, &st);
        EXPECT_EQ(st.optoAmpClampState, c.stateAfter) << c.stateBefore << " " << c.output;
        EXPECT_EQ(st.optoCoupledError, c.held);
    }
}

}  // namespace
