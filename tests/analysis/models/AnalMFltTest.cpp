// The second-stage output filter variants against the nodal oracle: the stage driven from
// the first stage's node over one step, with a resistive-inductive load behind it.
#include <gtest/gtest.h>

#include <cmath>

#include "analysis/models/AnalMFlt.h"
#include "support/NodalOracle.h"

namespace {

// The first stage's damping branch: Resistor Damp 1 and the capacitor's ESR, less the step
// correction of the capacitor's companion.
double DampingStepResistance(const FirstStageDamping& d, double s) {
    CapacitorGroup c = d.capacitor;
    c.esr += d.resistance;
    return CapacitorStepResistance(c, s);
}

using test_support::NodalOracle;

constexpr double kRel = 1e-9;

void ExpectNear(double expected, double actual, const char* what) {
    EXPECT_NEAR(actual, expected, kRel * (1.0 + std::fabs(expected))) << what;
}

// Each variant without and with core-loss resistances across Inductor Out 2 (its resistance
// and inductance, n1 to the output) and across Inductor Out 3 alone (not Resistor Damp 2).
TEST(SecondStage, EveryBuiltVariantMatchesOracle) {
    const double s = 3e6, vn1 = 12.4;
    const double loadR = 3.3, loadL = 40e-9, loadPrev = 3.6;
    for (const double rp : {0.0, 47.0})
    for (const int32_t variant : {1, 2, 3, 4, 5, 6}) {
        SCOPED_TRACE(variant);
        SCOPED_TRACE(rp);
        SecondStageValues v;
        v.variant = variant;
        v.capacitor = {1e9, 2e-9, 0.021, 0.0, 0.0, 47e-6};
        v.inductance = 1.5e-6;
        v.resistance = 0.004;
        v.dampingResistance = 0.8;
        v.dampingInductance = 0.7e-6;
        v.dampingInductorResistance = 0.03;
        v.dampingCapacitor = {1e9, 3e-9, 0.47, 0.0, 0.0, 22e-6};
        const double rp3 = rp / 5.0;
        v.inductorConductance = rp > 0.0 ? 1.0 / rp : 0.0;
        v.dampingInductorConductance = rp > 0.0 ? 1.0 / rp3 : 0.0;
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
        if (rp > 0.0) o.Resistor(n1, out, rp);
        int damp = -1, l3 = -1;
        if (dampedInductor && !dampingInductor) {
            const int b = o.Node();
            o.Resistor(n1, b, v.dampingResistance);
            damp = o.VoltageSource(b, out, 0.0);
        } else if (dampingInductor) {
            const int b = o.Node(), b2 = o.Node(), e = o.Node(), d = o.Node();
            o.Resistor(n1, b, v.dampingResistance);
            damp = o.VoltageSource(b, b2, 0.0);
            o.Resistor(b2, e, v.dampingInductorResistance);
            l3 = o.Inductor(e, d, v.dampingInductance, start.dampingCurrent);
            if (rp > 0.0) o.Resistor(b2, d, rp3);
            o.VoltageSource(d, out, 0.0);
        }
        const int c1 = o.Node(), c2 = o.Node();
        o.Resistor(out, c1, CapacitorStepResistance(v.capacitor, s));
        o.Inductor(c1, c2, v.capacitor.esl, start.capacitorCurrent);
        o.Capacitor(c2, 0, v.capacitor.capacitance, start.capacitorVoltage);
        int dampCap = -1;
        if (dampingCapacitor) {
            const int d1 = o.Node(), d2 = o.Node();
            dampCap = d2;
            o.Resistor(out, d1, CapacitorStepResistance(v.dampingCapacitor, s));
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
        ExpectNear(o.V(n1) - o.V(out), r.inductorVoltage, "inductor voltage");
        if (damp >= 0) ExpectNear(o.Current(damp), r.dampingCurrent, "damping current");
        if (l3 >= 0) ExpectNear(o.Current(l3), r.dampingInductorCurrent, "damping inductor current");
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
    d.capacitor = {1e9, 2e-9, 1e-6, 0.0, 0.0, 33e-6};  // an ESR under h/(2·C)
    d.resistance = 0.68;
    d.inductance = 4e-9;
    BranchPair branch;
    ASSERT_EQ(CalcFirstStageDampingCoeffs(d, s, vPrev, iPrev, &branch), 1);

    NodalOracle o(s);
    const int top = o.Node(), a = o.Node(), b = o.Node(), c = o.Node();
    const int src = o.VoltageSource(top, 0, drive);
    o.Resistor(top, a, DampingStepResistance(d, s));
    o.Inductor(a, b, d.inductance + d.capacitor.esl, iPrev);
    o.VoltageSource(b, c, 0.0);
    o.Capacitor(c, 0, d.capacitor.capacitance, vPrev);
    ASSERT_TRUE(o.Solve());
    const double current = BranchCurrent(branch, drive);
    ExpectNear(-o.Current(src), current, "damping branch current");
    ExpectNear(o.V(c), UpdateCapacitorBranch(d.capacitor, s, vPrev, current), "damping capacitor voltage");
}

}  // namespace

// The first stage with its capacitor current sensed, over one step driven from the output
// node: Capacitor Out 1 (with the damping branch beside it in variant 3) returning through
// the sense transformer's primary; its secondary through the diode into Resistor Cap Sense,
// Resistor Bias 1 from V Bias and Resistor Bias 2 into Capacitor Bias. With the diode open
// the secondary carries nothing and the primary is its own inductance. A core-loss
// resistance across the primary's terminals takes its share of the branch's current.
struct SenseCase {
    int32_t variant;
    int32_t diodeOn;
    double coupling;
    double coreConductance = 0.0;  // S
};

class CapacitorSenseOracle : public ::testing::TestWithParam<SenseCase> {};

TEST_P(CapacitorSenseOracle, StepMatchesOracle) {
    const SenseCase& k = GetParam();
    const double s = 4e6, vout = 5.1;
    CapacitorSenseValues v;
    v.primaryInductance = 2e-6;
    v.secondaryInductance = 2e-6 * 80.0 * 80.0;
    v.mutualInductance = k.coupling * std::sqrt(v.primaryInductance * v.secondaryInductance);
    v.primaryResistance = 0.002;
    v.secondaryResistance = 1.5;
    v.coreConductance = k.coreConductance;
    v.diodeForwardVoltage = 0.45;
    v.diodeResistance = 0.08;
    v.senseResistance = 22.0;
    v.biasVoltage = 2.5;
    v.biasResistance1 = 4.7e3;
    v.biasResistance2 = 1e3;
    v.biasCapacitor = BiasCapacitorGroup(2.2e-9);
    CapacitorSenseStart start;
    start.primaryCurrent = 0.9;
    start.secondaryCurrent = k.diodeOn ? 0.011 : 0.0;
    start.biasCapacitorVoltage = 0.31;
    start.biasCapacitorCurrent = 2e-5;
    start.diodeOn = k.diodeOn;
    const CapacitorGroup cap{1e9, 3e-9, 0.012, 0.0, 0.0, 220e-6};
    const double capPrev = 5.05, capIPrev = 0.8;
    FirstStageDamping d;
    d.capacitor = {1e9, 2e-9, 0.02, 0.0, 0.0, 470e-6};
    d.resistance = 0.15;
    d.inductance = 5e-9;
    const double dampPrev = 5.0, dampIPrev = 0.1;

    BranchPair capacitor, damping, sensed;
    CalcCapacitorBranchCoeffs(cap, s, capPrev, capIPrev, &capacitor);
    sensed = capacitor;
    if (k.variant == 3) {
        ASSERT_EQ(CalcFirstStageDampingCoeffs(d, s, dampPrev, dampIPrev, &damping), 1);
        sensed = ParallelBranches(capacitor, damping);
    }
    CapacitorSenseCoeffs c;
    ASSERT_EQ(CalcCapacitorSenseCoeffs(v, s, start, &c), 1);
    const double ip = (vout - sensed.e - c.primary.e) / (sensed.z + c.primary.z);
    CapacitorSenseResult r;
    ASSERT_EQ(UpdateCapacitorSense(v, s, start, c, ip, &r), 1);
    const double across = vout - r.primaryVoltage;

    NodalOracle o(s);
    const int out = o.Node(), x = o.Node();
    o.VoltageSource(out, 0, vout);
    const int c1 = o.Node(), c2 = o.Node(), c3 = o.Node();
    o.Resistor(out, c1, CapacitorStepResistance(cap, s));
    const int capBranch = o.Inductor(c1, c2, cap.esl, capIPrev);
    o.VoltageSource(c2, c3, 0.0);
    o.Capacitor(c3, x, cap.capacitance, capPrev);
    int dampBranch = -1;
    if (k.variant == 3) {
        const int d1 = o.Node(), d2 = o.Node();
        o.Resistor(out, d1, DampingStepResistance(d, s));
        dampBranch = o.Inductor(d1, d2, d.inductance + d.capacitor.esl, dampIPrev);
        o.Capacitor(d2, x, d.capacitor.capacitance, dampPrev);
    }
    const int p1 = o.Node();
    o.Resistor(x, p1, v.primaryResistance);
    const int primary = o.Inductor(p1, 0, v.primaryInductance, start.primaryCurrent);
    if (k.coreConductance > 0.0) o.Resistor(x, 0, 1.0 / k.coreConductance);
    // The sense network: V Bias through Resistor Bias 1, Resistor Cap Sense, and Resistor
    // Bias 2 into Capacitor Bias (its fixed ESR and ESL).
    const int n = o.Node(), b = o.Node(), q1 = o.Node(), q2 = o.Node();
    o.VoltageSource(b, 0, v.biasVoltage);
    o.Resistor(b, n, v.biasResistance1);
    o.Resistor(n, 0, v.senseResistance);
    o.Resistor(n, q1, v.biasResistance2 + CapacitorStepResistance(v.biasCapacitor, s));
    o.Inductor(q1, q2, v.biasCapacitor.esl, start.biasCapacitorCurrent);
    o.Capacitor(q2, 0, v.biasCapacitor.capacitance, start.biasCapacitorVoltage);
    int secondary = -1;
    if (k.diodeOn) {
        // The winding from the return to W, its current out of W into the diode; the mutual
        // term of a current leaving the dotted end is negative in the oracle's convention.
        const int w = o.Node(), a = o.Node(), kk = o.Node();
        secondary = o.Inductor(0, w, v.secondaryInductance, start.secondaryCurrent);
        o.Mutual(primary, secondary, -v.mutualInductance);
        o.Resistor(w, a, v.secondaryResistance + v.diodeResistance);
        o.VoltageSource(a, kk, v.diodeForwardVoltage);
        o.VoltageSource(kk, n, 0.0);
    }
    ASSERT_TRUE(o.Solve());
    ExpectNear(o.Current(primary), r.windingCurrent, "primary winding current");
    ExpectNear(o.Current(capBranch) + (dampBranch >= 0 ? o.Current(dampBranch) : 0.0), ip, "sensed branch current");
    ExpectNear(vout - o.V(x), across, "across the capacitors");
    ExpectNear(o.Current(capBranch), BranchCurrent(capacitor, across), "capacitor current");
    if (dampBranch >= 0) ExpectNear(o.Current(dampBranch), BranchCurrent(damping, across), "damping current");
    ExpectNear(k.diodeOn ? o.Current(secondary) : 0.0, r.secondaryCurrent, "secondary current");
    ExpectNear(o.V(n), r.nodeVoltage, "sense node");
    ExpectNear(o.V(q2), r.biasCapacitorVoltage, "bias capacitor voltage");
    ExpectNear((o.V(n) - v.biasResistance2 * (o.V(n) - o.V(q1)) / (v.biasResistance2 + CapacitorStepResistance(v.biasCapacitor, s))),
               r.output, "sense output");
    if (!k.diodeOn)
        ExpectNear(v.mutualInductance * s * (o.Current(primary) - start.primaryCurrent) - o.V(n), r.diodeVoltage,
                   "open diode voltage");
}

INSTANTIATE_TEST_SUITE_P(FirstStageSensing, CapacitorSenseOracle,
                         ::testing::Values(SenseCase{2, 1, 0.995}, SenseCase{2, 0, 0.995}, SenseCase{3, 1, 0.995},
                                           SenseCase{3, 0, 0.995}, SenseCase{2, 1, 1.0}, SenseCase{3, 1, 0.6},
                                           SenseCase{2, 1, 0.995, 0.5}, SenseCase{3, 0, 0.995, 0.5}));
