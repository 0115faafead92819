// Each branch companion against the nodal oracle: the branch driven by a voltage over one
// step must draw the oracle's current, and the capacitor's own voltage after the step must
// be the oracle's.
#include <gtest/gtest.h>

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
        o.Resistor(top, mid, c.cap.esr);
        o.Inductor(mid, cap, c.cap.esl, c.iPrev);
        o.Capacitor(cap, 0, c.cap.capacitance, c.vPrev);
        if (c.cap.leakageA * c.cap.leakageB != 0.0) o.Resistor(cap, 0, c.cap.leakageResistance);
        ASSERT_TRUE(o.Solve());
        ExpectNear(-o.Current(src), current);
        ExpectNear(o.V(cap), vc);
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
