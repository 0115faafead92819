// The current sense transformer's step against the two coupled windings it stands for.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "analysis/models/AnalMPri.h"

namespace {

// Backward Euler on the windings themselves, the switch path driving the primary with I:
//     secondary loop   M·s·(I - Ip) - Ls·s·(Is - Isp) = R·Is
//     primary          V = Rp·I + Lp·s·(I - Ip) - M·s·(Is - Isp)
// The model refers them to the primary through n = M/Ls with Im = I - Is/n and leaves the
// leakage (1 - k²)·Lp·s·(I - Ip) out of the switch path: the secondary current must be the
// windings' exactly, the voltage theirs less that leakage term.
TEST(SenseTransformerWindings, StepIsTheCoupledWindingsStep) {
    struct Case {
        double lp, ls, k, r, h, i, iPrev, isPrev;
    };
    const Case cases[] = {
        {1e-5, 0.1, 0.98995, 10.0, 1e-7, 3.0, 2.5, 0.024},  // the part's preset, mid on-time
        {5e-9, 5e-5, 0.8, 10.012, 1e-8, 1.0, 0.0, 0.0},     // a loose, small core at turn-on
        {1e-6, 1e-2, 1.0, 1.0, 1e-9, -0.5, 0.2, 0.001},     // a tight core, the current reversing
    };
    const double rp = 0.01;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.k);
        SenseTransformer ct{rp, 0.0, c.r, 0.0, 0.0};
        ASSERT_TRUE(SetSenseTransformerWindings(c.lp, c.ls, c.k, &ct));
        const double s = 1.0 / c.h, m = c.k * std::sqrt(c.lp * c.ls), n = ct.ratio;
        EXPECT_NEAR(n, m / c.ls, 1e-12 * n);

        const double is = (m * s * (c.i - c.iPrev) + c.ls * s * c.isPrev) / (c.ls * s + c.r);
        const double v = rp * c.i + c.lp * s * (c.i - c.iPrev) - m * s * (is - c.isPrev);
        const double leakage = (1.0 - c.k * c.k) * c.lp * s * (c.i - c.iPrev);

        const double imPrev = c.iPrev - c.isPrev / n;
        const BranchPair b = CalcSenseTransformerBranch(ct, 1, s, imPrev);
        const double im = SenseMagnetizingCurrent(ct, 1, s, imPrev, c.i);
        EXPECT_NEAR(n * (c.i - im), is, 1e-9 * std::max(std::fabs(is), 1e-6));
        EXPECT_NEAR(SensedVoltage(ct, 1, c.i, im), c.r * is, 1e-9 * std::max(std::fabs(c.r * is), 1e-6));
        EXPECT_NEAR(b.z * c.i + b.e, v - leakage, 1e-9 * std::max(std::fabs(v), 1.0));
    }
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
