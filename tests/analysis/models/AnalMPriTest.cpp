// The current sense transformer's step against the two coupled windings it stands for.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "analysis/models/AnalMPri.h"
#include "support/NodalOracle.h"

namespace {

// Backward Euler on the windings themselves, the switch path driving the primary:
//     secondary loop   M·s·(I - Ip) - Ls·s·(Is - Isp) = R·Is
//     primary          V = Rp·I + Lp·s·(I - Ip) - M·s·(Is - Isp)
// solved by the nodal oracle with a source V across the primary. The model refers them to the
// primary through n = M/Ls with Im = I - Is/n, the leakage (1 - k²)·Lp in the switch path from
// the path's current Ip: at the oracle's current its branch must give the oracle's V, and its
// secondary current the oracle's.
TEST(SenseTransformerWindings, StepIsTheCoupledWindingsStep) {
    struct Case {
        double lp, ls, k, r, h, v, iPrev, isPrev;
    };
    const Case cases[] = {
        {1e-5, 0.1, 0.98995, 10.0, 1e-7, 0.05, 2.5, 0.024},  // the part's preset, mid on-time
        {5e-9, 5e-5, 0.8, 10.012, 1e-8, 0.02, 0.0, 0.0},     // a loose, small core at turn-on
        {1e-6, 1e-2, 1.0, 1.0, 1e-9, -0.3, 0.2, 0.001},      // a tight core, the current reversing
        {1e-5, 0.1, 0.9, 10.0, 1e-8, 2.0, -0.4, 0.0},        // a loose core joining at a reversed current
    };
    const double rp = 0.01;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.k);
        SenseTransformer ct{rp, 0.0, c.r, 0.0, 0.0};
        ASSERT_TRUE(SetSenseTransformerWindings(c.lp, c.ls, c.k, &ct));
        const double s = 1.0 / c.h, m = c.k * std::sqrt(c.lp * c.ls), n = ct.ratio;
        EXPECT_NEAR(n, m / c.ls, 1e-12 * n);
        EXPECT_NEAR(ct.leakageInductance, (1.0 - c.k * c.k) * c.lp, 1e-12 * c.lp);

        test_support::NodalOracle o(s);
        const int top = o.Node(), mid = o.Node(), sec = o.Node();
        o.VoltageSource(top, 0, c.v);
        o.Resistor(top, mid, rp);
        const int primary = o.Inductor(mid, 0, c.lp, c.iPrev);
        const int secondary = o.Inductor(sec, 0, c.ls, -c.isPrev);  // Is leaves the dotted end
        o.Mutual(primary, secondary, m);
        o.Resistor(sec, 0, c.r);
        ASSERT_TRUE(o.Solve());
        const double i = o.Current(primary), is = -o.Current(secondary);

        const double imPrev = c.iPrev - c.isPrev / n;
        const BranchPair b = CalcSenseTransformerBranch(ct, 1, s, imPrev, c.iPrev);
        const double im = SenseMagnetizingCurrent(ct, 1, s, imPrev, i);
        EXPECT_NEAR(n * (i - im), is, 1e-9 * std::max(std::fabs(is), 1e-6));
        EXPECT_NEAR(SensedVoltage(ct, 1, i, im), c.r * is, 1e-9 * std::max(std::fabs(c.r * is), 1e-6));
        EXPECT_NEAR(b.z * i + b.e, c.v, 1e-9 * std::max(std::fabs(c.v), 1.0));
    }
}

// While its rectifier blocks the core resets within the step: the path sees its resistance and
// its leakage alone.
TEST(SenseTransformerWindings, BlockingPathKeepsItsLeakage) {
    SenseTransformer ct{0.01, 0.0, 10.0, 0.0, 0.0};
    ASSERT_TRUE(SetSenseTransformerWindings(1e-5, 0.1, 0.9, &ct));
    const double s = 1e8, ll = 0.19e-5;
    const BranchPair b = CalcSenseTransformerBranch(ct, 0, s, 0.3, 1.5);
    EXPECT_NEAR(b.z, 0.01 + ll * s, 1e-9 * b.z);
    EXPECT_NEAR(b.e, -ll * s * 1.5, 1e-9 * ll * s);
}

// Windings that transfer no current are no transformer: a secondary inductance that is not
// positive, a coupling of 0 or above 1.
TEST(SenseTransformerWindings, RefusesWindingsThatTransferNothing) {
    const struct {
        double ls, k;
    } cases[] = {{0.0, 0.99}, {-0.1, 0.99}, {0.1, 0.0}, {0.1, 1.01}, {NAN, 0.99}};
    for (const auto& c : cases) {
        SenseTransformer ct{0.01, 0.0, 1.0, 0.0, 0.0};
        EXPECT_FALSE(SetSenseTransformerWindings(1e-5, c.ls, c.k, &ct)) << c.ls << " " << c.k;
    }
}

}  // namespace
