// Each branch companion against the nodal oracle: the branch driven by a voltage over one
// step must draw the oracle's current, and the capacitor's own voltage after the step must
// be the oracle's.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <numbers>

#include "analysis/models/AnalMBranch.h"
#include "analysis/models/AnalMOut.h"
#include "support/NodalOracle.h"

namespace {

using test_support::NodalOracle;

constexpr double kRel = 1e-9;

void ExpectNear(double expected, double actual) { EXPECT_NEAR(actual, expected, kRel * (1.0 + std::fabs(expected))); }

struct CapacitorCase {
    const char* name;
    CapacitorGroup cap;
    double s, vPrev, iPrev, drive;
};

TEST(BranchCompanions, CapacitorGroupMatchesOracle) {
    const CapacitorCase cases[] = {
        {"ideal with ESR and ESL", {1e4, 3e-9, 0.07, 0.0, 0.0, 4.7e-6}, 1e7, 3.1, -0.4, 5.3},
        {"leakage switched on", {250.0, 2e-9, 0.03, 1.0, 1.0, 2.2e-6}, 2e6, -1.7, 0.9, 2.0},
        {"large step", {1e6, 1e-10, 1e-6, 0.0, 0.0, 1e-3}, 1e3, 47.0, 3.0, 46.0},
    };
    for (const CapacitorCase& c : cases) {
        SCOPED_TRACE(c.name);
        BranchPair branch;
        ASSERT_EQ(CalcCapacitorBranchCoeffs(c.cap, c.s, c.vPrev, c.iPrev, &branch), 1);
        const double current = BranchCurrent(branch, c.drive);
        const double vc = UpdateCapacitorBranch(c.cap, c.s, c.vPrev, current);

        NodalOracle o(c.s);
        const int top = o.Node(), mid = o.Node(), cap = o.Node();
        const int src = o.VoltageSource(top, 0, c.drive);
        o.Resistor(top, mid, CapacitorStepResistance(c.cap, c.s));
        o.Inductor(mid, cap, c.cap.esl, c.iPrev);
        o.Capacitor(cap, 0, c.cap.capacitance, c.vPrev);
        if (c.cap.leakageA * c.cap.leakageB != 0.0) o.Resistor(cap, 0, c.cap.leakageResistance);
        ASSERT_TRUE(o.Solve());
        ExpectNear(-o.Current(src), current);
        ExpectNear(o.V(cap), vc);
    }
}

// A capacitor with ESR stepped at a fixed h under a sine current, its terminal voltage's
// fundamental against the current's. Continuously Z = R + 1/(j·w·C). Backward Euler alone
// reads R + h/(2·C) for the real part; the imaginary part is -(h/(2·C))·cot(w·h/2) either way,
// within (w·h)²/12 of the continuous one (0.33 % at 100 steps a period).
TEST(BranchCompanions, CapacitorImpedanceOverManyStepsIsTheContinuousOne) {
    struct Case {
        const char* name;
        double esr, capacitance, realPart;
    };
    constexpr double h = 1e-7, w = 2.0 * std::numbers::pi * 1e5;
    const Case cases[] = {
        // 47 uF, 10 mohm: h/(2·C) = 1.06 mohm comes off the ESR and the real part is the ESR.
        {"ESR above h/(2C)", 0.01, 47e-6, 0.01},
        // 1 uF, 20 mohm: h/(2·C) = 50 mohm; the ESR goes and 50 mohm stays (not 70).
        {"ESR below h/(2C)", 0.02, 1e-6, 0.05},
        {"ideal capacitor", 0.0, 1e-6, 0.05},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const CapacitorGroup cap{1e9, 0.0, c.esr, 0.0, 0.0, c.capacitance};
        std::complex<double> v, i;
        double vc = 0.0, iPrev = 0.0;
        for (int n = 1; n <= 300; ++n) {
            const double t = n * h, current = std::cos(w * t);
            BranchPair b;
            CalcCapacitorBranchCoeffs(cap, 1.0 / h, vc, iPrev, &b);
            const double terminal = b.z * current + b.e;
            vc = UpdateCapacitorBranch(cap, 1.0 / h, vc, current);
            iPrev = current;
            if (n > 100) {  // two whole periods: the integrator's offset sums to nothing
                const std::complex<double> k = std::exp(std::complex<double>(0.0, -w * t));
                v += terminal * k;
                i += current * k;
            }
        }
        const std::complex<double> z = v / i;
        EXPECT_NEAR(z.real(), c.realPart, 1e-9);
        EXPECT_NEAR(z.imag(), -1.0 / (w * c.capacitance), 0.004 / (w * c.capacitance));
    }
}

// A step of V across R and C in series: continuously the source gives C·V², the capacitor
// keeps ½·C·V² and R dissipates the other ½·C·V² whatever R is. The stepped branch must too,
// with its loss counted as R·I² on the part's own ESR, and its capacitor must charge without
// overshoot even where h/(2·C) exceeds the ESR (a trapezoidal branch would ring there).
TEST(BranchCompanions, CapacitorChargedThroughItsEsrKeepsEnergyAndDoesNotRing) {
    struct Case {
        const char* name;
        double esr;
        bool lossExact;
    };
    constexpr double h = 1e-7, capacitance = 1e-6, volts = 10.0;  // h/(2·C) = 50 mohm
    const Case cases[] = {{"ESR 0.5 ohm", 0.5, true}, {"ESR 1 uohm", 1e-6, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const CapacitorGroup cap{1e9, 0.0, c.esr, 0.0, 0.0, capacitance};
        double vc = 0.0, iPrev = 0.0, source = 0.0, loss = 0.0;
        for (int n = 0; n < 2000; ++n) {
            BranchPair b;
            CalcCapacitorBranchCoeffs(cap, 1.0 / h, vc, iPrev, &b);
            const double current = BranchCurrent(b, volts);
            vc = UpdateCapacitorBranch(cap, 1.0 / h, vc, current);
            iPrev = current;
            source += h * volts * current;
            loss += h * c.esr * current * current;
            ASSERT_GE(current, 0.0) << n;
            ASSERT_LE(vc, volts * (1.0 + 1e-12)) << n;
        }
        const double half = 0.5 * capacitance * volts * volts;
        EXPECT_NEAR(source, 2.0 * half, 1e-9 * half);
        EXPECT_NEAR(vc, volts, 1e-9 * volts);
        if (c.lossExact) {
            EXPECT_NEAR(loss, half, 1e-9 * half);
        }
    }
}

TEST(BranchCompanions, InductorRectifierAndParallelMatchOracle) {
    const double s = 5e6;
    BranchPair inductor, diode;
    CalcInductorBranchCoeffs(3.3e-6, 0.12, s, 1.25, &inductor);
    CalcRectifierCoeffs(1, 0.65, 0.02, 1e6, &diode);
    const BranchPair both = ParallelBranches(inductor, diode);
    const double drive = 1.9;

    NodalOracle o(s);
    const int top = o.Node(), mid = o.Node(), anode = o.Node();
    const int src = o.VoltageSource(top, 0, drive);
    o.Resistor(top, mid, 0.12);
    const int l = o.Inductor(mid, 0, 3.3e-6, 1.25);
    o.Resistor(top, anode, 0.02);
    o.VoltageSource(anode, 0, 0.65);
    ASSERT_TRUE(o.Solve());
    ExpectNear(o.Current(l), BranchCurrent(inductor, drive));
    ExpectNear(-o.Current(src), BranchCurrent(both, drive));

    // An open rectifier is its open resistance without a forward voltage.
    BranchPair off;
    CalcRectifierCoeffs(0, 0.65, 0.02, 1e6, &off);
    EXPECT_EQ(off.z, 1e6);
    EXPECT_EQ(off.e, 0.0);
}

TEST(DenseSolve, SolvesAndRefusesSingular) {
    double a[8][8] = {{0.0, 2.0, 1.0}, {4.0, -1.0, 0.5}, {1.0, 1.0, 1.0}};
    double rhs[8] = {3.0, 2.0, 6.0};
    double x[8] = {};
    ASSERT_EQ(SolveDenseSmall(3, a, rhs, x), 1);  // needs the row swap: a[0][0] is 0
    // Solution of the original system, checked by substitution.
    const double orig[3][3] = {{0.0, 2.0, 1.0}, {4.0, -1.0, 0.5}, {1.0, 1.0, 1.0}};
    const double b[3] = {3.0, 2.0, 6.0};
    for (int r = 0; r < 3; ++r)
        EXPECT_NEAR(orig[r][0] * x[0] + orig[r][1] * x[1] + orig[r][2] * x[2], b[r], 1e-12);

    double singular[8][8] = {{1.0, 2.0}, {2.0, 4.0}};
    double rhs2[8] = {1.0, 2.0};
    EXPECT_EQ(SolveDenseSmall(2, singular, rhs2, x), 0);
}

TEST(ChokeDirection, FlagFollowsCurrentAndPolarity) {
    struct Case {
        int32_t testSwitch;
        double current;
        int32_t polarity;
        int32_t flag;
    };
    const Case cases[] = {
        {1, 2.0, 1, 1},   {1, -2.0, 1, 0}, {1, -2.0, -1, 1}, {1, 2.0, -1, 0},
        {1, 0.0, 1, 1},   {1, 0.0, -1, 1},  // exactly 0: either polarity
        {1, 2.0, 0, 0},   {1, 0.0, 0, 0},   // polarity 0 clears
        {0, -2.0, 1, 1},  {0, 2.0, 0, 1},   // the test switched off sets it whatever the current
    };
    for (const Case& c : cases) {
        int32_t flag = -1;
        SetFlagIfSameSign(&flag, c.testSwitch, c.current, c.polarity);
        EXPECT_EQ(flag, c.flag) << c.testSwitch << " " << c.current << " " << c.polarity;
    }
}

}  // namespace
