// Winding losses: the step integrals, the period means and the resistances derived from them,
// and the core-loss resistance across the transformer's centre winding and a choke winding,
// each against the nodal oracle.
#include <gtest/gtest.h>

#include <cmath>

#include "analysis/context/AnalEngine.h"
#include "analysis/models/AnalMBranch.h"
#include "analysis/models/AnalMLoss.h"
#include "analysis/models/AnalMXfmr.h"
#include "support/NodalOracle.h"

namespace {

// A current of mean Im with a pulse: I0 + Ipk during the duty D of the period, I0 otherwise,
// stepped in n steps per part so that each part's straight segments are flat.
void RunPulse(WindingLoss* w, double i0, double ipk, double d, double t, double v, int periods, bool early,
              const WindingLossValues& vals) {
    double slope = 0.0;
    for (int p = 0; p < periods; ++p) {
        w->currentPrev = i0 + ipk;
        w->voltagePrev = v;
        for (int k = 0; k < 10; ++k) AccumulateWindingStep(w, &slope, i0 + ipk, v, d * t / 10.0);
        w->currentPrev = i0;
        w->voltagePrev = -v;
        for (int k = 0; k < 10; ++k) AccumulateWindingStep(w, &slope, i0, -v, (1.0 - d) * t / 10.0);
        AverageWindingCurrents(w, t, early, vals);
    }
}

}  // namespace

TEST(WindingLoss, StepIntegralsAreExactOnTheStepsSegment) {
    struct Case {
        double i0, i1, v0, v1, h;
    };
    const Case cases[] = {{0.0, 2.0, 0.0, 0.0, 1e-6}, {-1.0, 3.0, 5.0, -5.0, 2e-7}, {2.0, 2.0, 12.0, 12.0, 1e-5}};
    for (const Case& c : cases) {
        WindingLoss w;
        w.currentPrev = c.i0;
        w.voltagePrev = c.v0;
        double slope = 0.0;
        ASSERT_TRUE(AccumulateWindingStep(&w, &slope, c.i1, c.v1, c.h));
        // ∫(a + b·u)² du over [0, h] for the line from x0 to x1: h·(x0² + x0·x1 + x1²)/3.
        auto square = [&](double x0, double x1) {
            double sum = 0.0;
            const int n = 20000;
            for (int k = 0; k < n; ++k) {
                const double x = x0 + (x1 - x0) * (k + 0.5) / n;
                sum += x * x * c.h / n;
            }
            return sum;
        };
        EXPECT_NEAR(slope, (c.i1 - c.i0) / c.h, 1e-9 * std::fabs(slope) + 1e-9);
        EXPECT_NEAR(w.currentIntegral, (c.i0 + c.i1) / 2.0 * c.h, 1e-15);
        EXPECT_NEAR(w.squareCurrentIntegral, square(c.i0, c.i1), 1e-8 * square(c.i0, c.i1) + 1e-18);
        EXPECT_NEAR(w.squareVoltageIntegral, square(c.v0, c.v1), 1e-8 * square(c.v0, c.v1) + 1e-18);
        EXPECT_EQ(w.currentPrev, c.i1);
    }
}

TEST(WindingLoss, PeriodMeansGiveTheEffectiveAndCoreLossResistances) {
    // A winding carrying 1 A plus a 4 A pulse for a quarter period, ±10 V across it:
    // m = 1 + 0.25·4 = 2 A, b = 0.25·25 + 0.75·1 = 7 A², σ² = 7 - 4 = 3 A², c = 100 V².
    // Rdc 0.1, Rac 0.5: Reff = (3·0.5 + 4·0.1)/7 = 0.27143 ohm; 2 W of core: Rp = 100/2 = 50 ohm.
    struct Case {
        WindingLossValues v;
        bool early;
        double reff, rp;
    };
    const Case cases[] = {
        {{0.5, 2.0, 0.1}, false, 1.9 / 7.0, 50.0},
        {{0.5, 0.0, 0.1}, false, 1.9 / 7.0, 0.0},  // no core loss: no resistance across it
        {{0.0, 2.0, 0.1}, false, 0.1, 50.0},       // an AC resistance of 0 (not given) is the DC one
        {{0.5, 2.0, 0.1}, true, 0.1, 0.0},         // too early in the run: DC, no core-loss resistance
    };
    for (const Case& c : cases) {
        WindingLoss w;
        ResetWindingLoss(&w, c.v.dcResistance);
        RunPulse(&w, 1.0, 4.0, 0.25, 1e-5, 10.0, 1, c.early, c.v);
        EXPECT_NEAR(w.meanCurrent, 2.0, 1e-12);
        EXPECT_NEAR(w.meanSquareCurrent, 7.0, 1e-12);
        EXPECT_NEAR(w.meanSquareVoltage, 100.0, 1e-10);
        EXPECT_NEAR(w.windingResistance, c.reff, 1e-12);
        EXPECT_NEAR(w.parallelResistance, c.rp, 1e-9);
        EXPECT_EQ(w.currentIntegral, 0.0);
    }
}

TEST(WindingLoss, MeansRunOverThePeriodsAndWaitForACurrent) {
    const WindingLossValues v{0.5, 2.0, 0.1};
    WindingLoss w;
    ResetWindingLoss(&w, 0.1);
    // No current yet: nothing changes.
    EXPECT_TRUE(AverageWindingCurrents(&w, 1e-5, false, v));
    EXPECT_EQ(w.periods, 0);
    EXPECT_EQ(w.windingResistance, 0.1);
    // Nor a period of a winding that is not yet driven (a tenth of a microampere, nanovolts),
    // whose core-loss resistance would short it.
    RunPulse(&w, 1e-7, 0.0, 0.25, 1e-5, 1e-9, 1, false, v);
    EXPECT_EQ(w.periods, 0);
    EXPECT_EQ(w.parallelResistance, 0.0);
    // A period of a steady 2 A (b = 4), then the pulse of the case above (b = 7): the mean over
    // both, b = 5.5, m = 2, σ² = 1.5: Reff = (1.5·0.5 + 4·0.1)/5.5.
    RunPulse(&w, 2.0, 0.0, 0.25, 1e-5, 10.0, 1, false, v);
    RunPulse(&w, 1.0, 4.0, 0.25, 1e-5, 10.0, 1, false, v);
    EXPECT_EQ(w.periods, 2);
    EXPECT_NEAR(w.meanSquareCurrent, 5.5, 1e-12);
    EXPECT_NEAR(w.windingResistance, 1.15 / 5.5, 1e-12);
    // Seeding takes the operating point as one period.
    ASSERT_TRUE(SeedWindingLoss(&w, 2.0, 7.0, 100.0, v));
    EXPECT_EQ(w.periods, 1);
    EXPECT_NEAR(w.windingResistance, 1.9 / 7.0, 1e-12);
    EXPECT_NEAR(w.parallelResistance, 50.0, 1e-12);
}

TEST(WindingLoss, CoreLossResistanceAcrossTheCentreMatchesOracle) {
    // Source E through Rs into the primary (Rp, Lp) with Rc across its terminals, one secondary
    // (Rs2, Ls, coupling k) into a load RL; the step from nonzero currents.
    const double s = 1.0 / 5e-8, e = 48.0, rsrc = 0.3, rp = 0.05, lp = 200e-6, rc = 750.0;
    const double ls = 200e-6, k = 0.99, rs2 = 0.02, rl = 2.5, ipPrev = 1.2, isPrev = -0.9;
    TransformerParams t;
    t.outputs = 1;
    t.lp = lp;
    t.rp = rp;
    t.ls[0] = ls;
    t.rs[0] = rs2;
    t.mps[0] = k * std::sqrt(lp * ls);
    EngineStore st;
    CalcTransformerCoeffs(t, s, ipPrev, &isPrev, &st);
    st.loopA = -rsrc;
    st.loopB = e;
    st.loss.centreConductance = 1.0 / rc;
    BuildPrimaryCentre(1, &st);
    // The load: Vs = -RL·Is.
    const double is = -st.esr[0] / (st.zsr[0][0] + rl);
    const double ip = PrimaryCurrentFromRow(1, st, &is);
    const double it = CentreTerminalCurrent(st, ip);

    test_support::NodalOracle o(s);
    const int src = o.Node(), top = o.Node(), mid = o.Node(), sec = o.Node(), sm = o.Node();
    o.VoltageSource(src, 0, e);
    o.Resistor(src, top, rsrc);
    o.Resistor(top, 0, rc);
    o.Resistor(top, mid, rp);
    const int bp = o.Inductor(mid, 0, lp, ipPrev);
    const int bs = o.Inductor(sec, sm, ls, isPrev);
    o.Resistor(sm, 0, rs2);
    o.Resistor(sec, 0, rl);
    o.Mutual(bp, bs, t.mps[0]);
    ASSERT_TRUE(o.Solve());
    EXPECT_NEAR(ip, o.Current(bp), 1e-9 * std::fabs(o.Current(bp)));
    EXPECT_NEAR(is, o.Current(bs), 1e-9 * std::fabs(o.Current(bs)));
    EXPECT_NEAR(it, (e - o.V(top)) / rsrc, 1e-9 * std::fabs(it));
    // Without a core loss the terminal current is the winding's.
    st.loss.centreConductance = 0.0;
    EXPECT_EQ(CentreTerminalCurrent(st, ip), ip);
}

TEST(WindingLoss, ChokeWindingWithItsCoreLossResistanceMatchesOracle) {
    // A branch current Ib into the choke winding (R, L) shunted by Rp.
    const double s = 1.0 / 1e-7, l = 100e-6, r = 0.05, rp = 200.0, ilPrev = 2.0, ib = 2.3;
    BranchPair winding;
    CalcInductorBranchCoeffs(l, r, s, ilPrev, &winding);
    const BranchPair shunted = ShuntedBranch(winding, 1.0 / rp);
    const double v = shunted.z * ib + shunted.e;
    const double il = ib - v / rp;

    test_support::NodalOracle o(s);
    const int a = o.Node(), m = o.Node();
    o.CurrentSource(0, a, ib);
    o.Resistor(a, 0, rp);
    o.Resistor(a, m, r);
    const int bl = o.Inductor(m, 0, l, ilPrev);
    ASSERT_TRUE(o.Solve());
    EXPECT_NEAR(v, o.V(a), 1e-9 * std::fabs(o.V(a)));
    EXPECT_NEAR(il, o.Current(bl), 1e-9 * std::fabs(il));
}

TEST(WindingLoss, ChokesOnOneCoreWithTheirCoreLossResistancesMatchOracle) {
    // Three chokes on one core, branch currents Ib into each; the first two with their
    // core-loss resistances across them, the third without (g = 0: its branch is its winding).
    const double s = 1.0 / 2e-7;
    const double l[3] = {100e-6, 47e-6, 220e-6}, r[3] = {0.05, 0.02, 0.1}, rp[3] = {150.0, 80.0, 0.0};
    const double iPrev[3] = {2.0, -0.7, 1.1}, ib[3] = {2.3, -0.5, 0.9};
    const double k[3][3] = {{0.0, 0.6, 0.3}, {0.6, 0.0, 0.45}, {0.3, 0.45, 0.0}};
    double z[kMaxOutputs][kMaxOutputs] = {}, e[kMaxOutputs] = {}, g[kMaxOutputs] = {};
    for (int j = 0; j < 3; ++j) {
        BranchPair w;
        CalcInductorBranchCoeffs(l[j], r[j], s, iPrev[j], &w);
        z[j][j] = w.z;
        e[j] = w.e;
        g[j] = rp[j] > 0.0 ? 1.0 / rp[j] : 0.0;
        for (int i = 0; i < 3; ++i)
            if (i != j) {
                z[j][i] = k[j][i] * std::sqrt(l[j] * l[i]) * s;
                e[j] -= z[j][i] * iPrev[i];
            }
    }
    double zs[kMaxOutputs][kMaxOutputs], es[kMaxOutputs];
    ASSERT_EQ(ShuntCoupledWindings(3, z, e, g, zs, es), 1);

    test_support::NodalOracle o(s);
    int node[3], branch[3];
    for (int j = 0; j < 3; ++j) {
        node[j] = o.Node();
        const int m = o.Node();
        o.CurrentSource(0, node[j], ib[j]);
        if (rp[j] > 0.0) o.Resistor(node[j], 0, rp[j]);
        o.Resistor(node[j], m, r[j]);
        branch[j] = o.Inductor(m, 0, l[j], iPrev[j]);
    }
    for (int j = 0; j < 3; ++j)
        for (int i = j + 1; i < 3; ++i) o.Mutual(branch[j], branch[i], k[j][i] * std::sqrt(l[j] * l[i]));
    ASSERT_TRUE(o.Solve());
    for (int j = 0; j < 3; ++j) {
        SCOPED_TRACE(j);
        double v = es[j];
        for (int i = 0; i < 3; ++i) {
            v += zs[j][i] * ib[i];
            EXPECT_NEAR(zs[j][i], zs[i][j], 1e-9 * std::fabs(zs[j][j]));
        }
        EXPECT_NEAR(v, o.V(node[j]), 1e-9 * std::fabs(o.V(node[j])));
        const double own = ib[j] - g[j] * v;
        EXPECT_NEAR(own, o.Current(branch[j]), 1e-9 * std::fabs(own));
    }
}
