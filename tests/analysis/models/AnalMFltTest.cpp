// The second-stage output filter variants against the nodal oracle: the stage driven from
// the first stage's node over one step, with a resistive-inductive load behind it.
#include <gtest/gtest.h>

#include <cmath>

#include "analysis/models/AnalMFlt.h"
#include "support/NodalOracle.h"

namespace {

using test_support::NodalOracle;

constexpr double kRel = 1e-9;

void ExpectNear(double expected, double actual, const char* what) {
    EXPECT_NEAR(actual, expected, kRel * (1.0 + std::fabs(expected))) << what;
}

TEST(SecondStage, EveryBuiltVariantMatchesOracle) {
    const double s = 3e6, vn1 = 12.4;
    const double loadR = 3.3, loadL = 40e-9, loadPrev = 3.6;
    for (const int32_t variant : {1, 2, 3, 4, 5, 6}) {
        SCOPED_TRACE(variant);
        SecondStageValues v;
        v.variant = variant;
        v.capacitor = {1e9, 2e-9, 0.021, 0.0, 0.0, 47e-6};
        v.inductance = 1.5e-6;
        v.resistance = 0.004;
        v.dampingResistance = 0.8;
        v.dampingInductance = 0.7e-6;
        v.dampingInductorResistance = 0.03;
        v.dampingCapacitor = {1e9, 3e-9, 0.47, 0.0, 0.0, 22e-6};
        const SecondStageStart start{3.4, 0.35, 12.1, -0.2, 11.8, 0.15};
        const bool dampedInductor = variant == 2 || variant == 4 || variant == 5 || variant == 6;
        const bool dampingInductor = variant == 4 || variant == 6;
        const bool dampingCapacitor = variant == 3 || variant == 5 || variant == 6;
        BranchPair load;
        CalcInductorBranchCoeffs(loadL, loadR, s, loadPrev, &load);
        SecondStageCoeffs c;
        ASSERT_EQ(CalcSecondStageCoeffs(v, s, start, load, &c), 1);
        SecondStageResult r;
        ASSERT_EQ(UpdateSecondStage(v, s, start, c, vn1, &r), 1);

        NodalOracle o(s);
        const int n1 = o.Node(), out = o.Node();
        const int src = o.VoltageSource(n1, 0, vn1);
        const int a = o.Node();
        o.Resistor(n1, a, v.resistance);
        const int l2 = o.Inductor(a, out, v.inductance, start.inductorCurrent);
        int damp = -1;
        if (dampedInductor && !dampingInductor) {
            const int b = o.Node();
            o.Resistor(n1, b, v.dampingResistance);
            damp = o.VoltageSource(b, out, 0.0);
        } else if (dampingInductor) {
            const int b = o.Node(), d = o.Node();
            o.Resistor(n1, b, v.dampingResistance + v.dampingInductorResistance);
            damp = o.Inductor(b, d, v.dampingInductance, start.dampingCurrent);
            o.VoltageSource(d, out, 0.0);
        }
        const int c1 = o.Node(), c2 = o.Node();
        o.Resistor(out, c1, v.capacitor.esr);
        o.Inductor(c1, c2, v.capacitor.esl, start.capacitorCurrent);
        o.Capacitor(c2, 0, v.capacitor.capacitance, start.capacitorVoltage);
        int dampCap = -1;
        if (dampingCapacitor) {
            const int d1 = o.Node(), d2 = o.Node();
            dampCap = d2;
            o.Resistor(out, d1, v.dampingCapacitor.esr);
            const int d3 = o.Node();
            o.Inductor(d1, d3, v.dampingCapacitor.esl, start.dampingCapacitorCurrent);
            o.VoltageSource(d3, d2, 0.0);
            o.Capacitor(d2, 0, v.dampingCapacitor.capacitance, start.dampingCapacitorVoltage);
        }
        const int l1 = o.Node();
        o.Resistor(out, l1, loadR);
        o.Inductor(l1, 0, loadL, loadPrev);
        ASSERT_TRUE(o.Solve());
        ExpectNear(-o.Current(src), r.current, "stage current");
        ExpectNear(o.V(out), r.outputVoltage, "output voltage");
        ExpectNear(o.Current(l2), r.inductorCurrent, "inductor current");
        if (damp >= 0) ExpectNear(o.Current(damp), r.dampingCurrent, "damping current");
        ExpectNear(o.V(c2), r.capacitorVoltage, "capacitor voltage");
        if (dampCap >= 0) ExpectNear(o.V(dampCap), r.dampingCapacitorVoltage, "damping capacitor voltage");
    }
}

TEST(SecondStage, NoneHandsTheLoadOnAndUnknownVariantsFail) {
    SecondStageCoeffs c;
    const BranchPair load{2.0, 0.5};
    ASSERT_EQ(CalcSecondStageCoeffs(SecondStageValues{}, 1e6, SecondStageStart{}, load, &c), 1);
    EXPECT_EQ(c.total.z, 2.0);
    EXPECT_EQ(c.total.e, 0.5);
    for (const int32_t variant : {7, -1}) {
        SecondStageValues v;
        v.variant = variant;
        EXPECT_EQ(CalcSecondStageCoeffs(v, 1e6, SecondStageStart{}, load, &c), 0) << variant;
    }
}

TEST(FirstStageDamping, BranchMatchesOracle) {
    const double s = 5e6, drive = 9.7, vPrev = 9.1, iPrev = 0.4;
    FirstStageDamping d;
    d.capacitor = {1e9, 2e-9, 0.015, 0.0, 0.0, 33e-6};
    d.resistance = 0.68;
    d.inductance = 4e-9;
    BranchPair branch;
    ASSERT_EQ(CalcFirstStageDampingCoeffs(d, s, vPrev, iPrev, &branch), 1);

    NodalOracle o(s);
    const int top = o.Node(), a = o.Node(), b = o.Node(), c = o.Node();
    const int src = o.VoltageSource(top, 0, drive);
    o.Resistor(top, a, d.resistance + d.capacitor.esr);
    o.Inductor(a, b, d.inductance + d.capacitor.esl, iPrev);
    o.VoltageSource(b, c, 0.0);
    o.Capacitor(c, 0, d.capacitor.capacitance, vPrev);
    ASSERT_TRUE(o.Solve());
    const double current = BranchCurrent(branch, drive);
    ExpectNear(-o.Current(src), current, "damping branch current");
    ExpectNear(o.V(c), UpdateCapacitorBranch(d.capacitor, s, vPrev, current), "damping capacitor voltage");
}

}  // namespace
