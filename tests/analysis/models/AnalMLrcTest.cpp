// The line side of every rectifier case against the nodal oracle: the phases, diodes and
// capacitors built element by element, the bulk node driven by a voltage source. The
// reduction must give the oracle's bulk voltage-current line, and the reverse pass every
// branch current and diode voltage the oracle finds at that draw.
#include <gtest/gtest.h>

#include <cmath>

#include "analysis/models/AnalMBranch.h"
#include "analysis/models/AnalMLrc.h"
#include "support/NodalOracle.h"

namespace {

using test_support::NodalOracle;

constexpr double kRel = 1e-9;
constexpr double kS = 2e6;  // 0.5 us step
constexpr double kVf = 0.83, kRon = 0.021, kRoff = 1e5;
constexpr double kLl = 1.7e-6, kRl = 0.27;
const CapacitorGroup kUpperCap{1e9, 3e-9, 0.045, 0.0, 0.0, 330e-6};
const CapacitorGroup kLowerCap{1e9, 5e-9, 0.061, 0.0, 0.0, 270e-6};

void ExpectNear(double expected, double actual, const char* what) {
    EXPECT_NEAR(actual, expected, kRel * (1.0 + std::fabs(expected))) << what;
}

struct LineCase {
    int32_t rectifierCase;
    int32_t doubled;
    uint32_t onMask;  // diodes conducting
    bool filtered = false;  // every line filter element in every phase
    bool damped = false;    // the input capacitor's damping branches
};

// Line filter elements (per phase p the values scaled by 1 + 0.1·p) and the damping branch of
// the input capacitor: an inductor branch (L, R), or a capacitor group with a series R and L.
struct InductorValues {
    double l, r, iPrev;
};
const InductorValues kIn1{3.3e-6, 0.05, 0.7}, kIn2{6.8e-6, 0.03, 1.1}, kDampBranch{1e-6, 2.2, 0.05};
const CapacitorGroup kCin{1e9, 1e-9, 0.02, 0.0, 0.0, 2.2e-6};
const CapacitorGroup kCdamp{1e9, 2e-9, 1.5, 0.0, 0.0, 4.7e-6};
constexpr double kCinPrev = 120.0, kCinIPrev = 0.1, kCdampPrev = 118.0, kCdampIPrev = -0.05;
const CapacitorGroup kBulkDamp{1e9, 1e-9, 1e-3, 0.0, 0.0, 47e-6};
constexpr double kBulkDampR = 0.5, kBulkDampL = 3e-9, kBulkDampVPrev = 139.0, kBulkDampIPrev = 0.3;

double Scale(int p) { return 1.0 + 0.1 * p; }

BranchPair Series(const BranchPair& a, const BranchPair& b) { return {a.z + b.z, a.e + b.e}; }

struct Start {
    double es[3] = {151.0, -87.0, -63.0};
    double iPrev[3] = {1.3, -0.4, -0.9};
    double vUpper = 141.0, iUpper = 0.6, vLower = 77.0, iLower = -0.2;
};

LineSideInputs Inputs(const LineCase& c, const Start& st) {
    LineSideInputs in;
    in.rectifierCase = c.rectifierCase;
    in.doubledCapacitor = c.doubled;
    for (int32_t p = 0; p < kMaxLinePhases; ++p) {
        CalcInductorBranchCoeffs(kLl * (1.0 + 0.1 * p), kRl * (1.0 + 0.2 * p), kS, st.iPrev[p], &in.phase[p]);
        in.phase[p].e = st.es[p] - in.phase[p].e;
    }
    for (int32_t d = 0; d < kLineDiodes; ++d)
        CalcRectifierCoeffs((c.onMask >> d) & 1u, kVf, kRon * (1.0 + 0.05 * d), kRoff, &in.diode[d]);
    CalcCapacitorBranchCoeffs(kUpperCap, kS, st.vUpper, st.iUpper, &in.upperCapacitor);
    CalcCapacitorBranchCoeffs(kLowerCap, kS, st.vLower, st.iLower, &in.lowerCapacitor);
    if (c.filtered) {
        in.firstInductorOn = in.filterCapacitorOn = in.dampingCapacitorOn = in.secondInductorOn = in.dampingBranchOn = 1;
        for (int p = 0; p < kMaxLinePhases; ++p) {
            CalcInductorBranchCoeffs(kIn1.l * Scale(p), kIn1.r, kS, kIn1.iPrev, &in.firstInductor[p]);
            CalcInductorBranchCoeffs(kIn2.l * Scale(p), kIn2.r, kS, kIn2.iPrev, &in.secondInductor[p]);
            CalcInductorBranchCoeffs(kDampBranch.l, kDampBranch.r * Scale(p), kS, kDampBranch.iPrev, &in.dampingBranch[p]);
            CalcCapacitorBranchCoeffs(kCin, kS, kCinPrev * Scale(p), kCinIPrev, &in.filterCapacitor[p]);
            CalcCapacitorBranchCoeffs(kCdamp, kS, kCdampPrev, kCdampIPrev * Scale(p), &in.dampingCapacitor[p]);
        }
    }
    if (c.damped) {
        in.dampedCapacitor = 1;
        BranchPair cap, rl;
        CalcCapacitorBranchCoeffs(kBulkDamp, kS, kBulkDampVPrev, kBulkDampIPrev, &cap);
        CalcInductorBranchCoeffs(kBulkDampL, kBulkDampR, kS, kBulkDampIPrev, &rl);
        in.upperDamping = in.lowerDamping = Series(cap, rl);
    }
    return in;
}

// The same circuit in the oracle; V(P) forced to vBulk. Returns the current the forcing
// source delivers into P, and fills the branch results.
struct OracleResult {
    double iIn = 0.0;
    double phaseCurrent[3] = {};
    double diodeCurrent[8] = {};
    double diodeVoltage[8] = {};
    double upperCurrent = 0.0, lowerCurrent = 0.0;
};

void AddCapacitor(NodalOracle& o, int a, int b, const CapacitorGroup& g, double vPrev, double iPrev, int* branch) {
    const int x = o.Node(), y = o.Node();
    o.Resistor(a, x, CapacitorStepResistance(g, kS));
    *branch = o.Inductor(x, y, g.esl, iPrev);
    o.Capacitor(y, b, g.capacitance, vPrev);
}

OracleResult RunOracle(const LineCase& c, const Start& st, double vBulk) {
    static const int kPhases[10] = {1, 1, 2, 3, 1, 1, 2, 2, 3, 3};
    NodalOracle o(kS);
    const int p = o.Node();
    const int mid = c.doubled ? o.Node() : 0;
    const bool bridge = c.rectifierCase == 4 || c.rectifierCase == 6 || c.rectifierCase == 8;
    const bool doubler = c.rectifierCase == 5 || c.rectifierCase == 7 || c.rectifierCase == 9;
    const int neutral = bridge ? o.Node() : doubler ? mid : 0;
    int terminal[3] = {};
    int phaseBranch[3] = {};
    for (int k = 0; k < kPhases[c.rectifierCase]; ++k) {
        terminal[k] = c.rectifierCase == 0 ? p : o.Node();
        const int end = c.filtered ? o.Node() : terminal[k];
        const int x = o.Node(), y = o.Node();
        o.VoltageSource(x, neutral, st.es[k]);
        phaseBranch[k] = o.Inductor(x, y, kLl * (1.0 + 0.1 * k), st.iPrev[k]);
        o.Resistor(y, end, kRl * (1.0 + 0.2 * k));
        if (!c.filtered) continue;
        // Inductor In1 to the filter node, Capacitor In and the damping capacitor branch to
        // the neutral, Inductor In2 with the damping branch beside it on to the rectifier.
        const int f = o.Node(), a = o.Node(), b = o.Node(), d = o.Node(), e = o.Node(), g = o.Node(), h = o.Node();
        o.Inductor(end, a, kIn1.l * Scale(k), kIn1.iPrev);
        o.Resistor(a, f, kIn1.r);
        o.Inductor(f, b, kIn2.l * Scale(k), kIn2.iPrev);
        o.Resistor(b, terminal[k], kIn2.r);
        o.Inductor(f, d, kDampBranch.l, kDampBranch.iPrev);
        o.Resistor(d, terminal[k], kDampBranch.r * Scale(k));
        o.Resistor(f, e, CapacitorStepResistance(kCin, kS));
        o.Inductor(e, g, kCin.esl, kCinIPrev);
        o.Capacitor(g, neutral, kCin.capacitance, kCinPrev * Scale(k));
        const int q = o.Node();
        o.Resistor(f, h, CapacitorStepResistance(kCdamp, kS));
        o.Inductor(h, q, kCdamp.esl, kCdampIPrev * Scale(k));
        o.Capacitor(q, neutral, kCdamp.capacitance, kCdampPrev);
    }
    int anode[8] = {}, cathode[8] = {};
    switch (c.rectifierCase) {
    case 1: case 2: case 3:
        anode[0] = terminal[0], cathode[0] = p;
        anode[4] = terminal[1], cathode[4] = p;
        anode[6] = terminal[2], cathode[6] = p;
        break;
    case 4:
        anode[0] = terminal[0], cathode[0] = p;
        anode[1] = 0, cathode[1] = terminal[0];
        anode[2] = neutral, cathode[2] = p;
        anode[3] = 0, cathode[3] = neutral;
        break;
    default:
        for (int k = 0; k < 3; ++k) {
            const int up[3] = {0, 4, 6}, lo[3] = {1, 5, 7};
            anode[up[k]] = terminal[k], cathode[up[k]] = p;
            anode[lo[k]] = 0, cathode[lo[k]] = terminal[k];
        }
        break;
    }
    const uint32_t used = LineDiodesOfRectifierCase(c.rectifierCase);
    int inner[8] = {};
    for (int d = 0; d < 8; ++d) {
        if (!(used >> d & 1u)) continue;
        if ((c.onMask >> d) & 1u) {
            inner[d] = o.Node();
            o.Resistor(anode[d], inner[d], kRon * (1.0 + 0.05 * d));
            o.VoltageSource(inner[d], cathode[d], kVf);
        } else {
            o.Resistor(anode[d], cathode[d], kRoff);
        }
    }
    int upper = 0, lower = 0;
    AddCapacitor(o, p, mid, kUpperCap, st.vUpper, st.iUpper, &upper);
    if (c.doubled) AddCapacitor(o, mid, 0, kLowerCap, st.vLower, st.iLower, &lower);
    auto addDamping = [&](int top, int bottom) {
        const int x = o.Node();
        o.Resistor(top, x, kBulkDampR);
        const int y = o.Node();
        o.Inductor(x, y, kBulkDampL, kBulkDampIPrev);
        int unused = 0;
        AddCapacitor(o, y, bottom, kBulkDamp, kBulkDampVPrev, kBulkDampIPrev, &unused);
    };
    if (c.damped) {
        addDamping(p, mid);
        if (c.doubled) addDamping(mid, 0);
    }
    const int force = o.VoltageSource(p, 0, vBulk);
    EXPECT_TRUE(o.Solve());

    OracleResult r;
    r.iIn = -o.Current(force);
    for (int k = 0; k < kPhases[c.rectifierCase]; ++k) r.phaseCurrent[k] = o.Current(phaseBranch[k]);
    for (int d = 0; d < 8; ++d) {
        if (!(used >> d & 1u)) continue;
        r.diodeVoltage[d] = o.V(anode[d]) - o.V(cathode[d]);
        r.diodeCurrent[d] = (c.onMask >> d & 1u) ? (o.V(anode[d]) - o.V(inner[d])) / (kRon * (1.0 + 0.05 * d))
                                                 : r.diodeVoltage[d] / kRoff;
    }
    r.upperCurrent = o.Current(upper);
    r.lowerCurrent = c.doubled ? o.Current(lower) : 0.0;
    return r;
}

TEST(LineSide, EveryRectifierCaseMatchesOracle) {
    const LineCase cases[] = {
        {0, 0, 0x00},  {0, 1, 0x00},                 // no rectifier, one or two capacitors
        {1, 0, 0x01},  {1, 0, 0x00},                 // half wave, conducting or open
        {2, 0, 0x11},  {2, 0, 0x01},  {3, 0, 0x51},  {3, 0, 0x40},
        {4, 0, 0x09},  {4, 0, 0x06},  {4, 0, 0x00},  {4, 1, 0x09},  // bridge: either diagonal, all open
        {5, 1, 0x01},  {5, 1, 0x02},                 // doubler, either half
        {6, 0, 0x21},  {7, 1, 0x21},  {8, 0, 0x61},  {8, 0, 0x93},  {9, 1, 0x61},  {9, 1, 0x00},
        // With the line filter in every phase and damped input capacitors.
        {0, 0, 0x00, true, true}, {1, 0, 0x01, true, false}, {4, 0, 0x09, true, true},
        {5, 1, 0x01, true, true}, {8, 0, 0x61, true, false}, {9, 1, 0x61, false, true},
    };
    const Start st;
    for (const LineCase& c : cases) {
        SCOPED_TRACE(::testing::Message() << "case " << c.rectifierCase << " doubled " << c.doubled << " filtered "
                                          << c.filtered << " damped " << c.damped << " on 0x" << std::hex << c.onMask);
        const LineSideInputs in = Inputs(c, st);
        LineSideSolution sol;
        ASSERT_EQ(CalcLineSideCoeffs(in, &sol), 1);

        // Two forced bulk voltages give the oracle's line V = e + z·Iin, Iin = -Idraw.
        const double va = 140.0, vb = 150.0;
        const OracleResult ra = RunOracle(c, st, va);
        const OracleResult rb = RunOracle(c, st, vb);
        const double z = (vb - va) / (rb.iIn - ra.iIn);
        ExpectNear(z, sol.z, "z");
        ExpectNear(va - z * ra.iIn, sol.e, "e");

        ASSERT_EQ(UpdateLineSide(in, -ra.iIn, &sol), 1);
        for (int p = 0; p < 3; ++p) ExpectNear(ra.phaseCurrent[p], sol.phaseCurrent[p], "phase current");
        for (int d = 0; d < 8; ++d) {
            ExpectNear(ra.diodeCurrent[d], sol.diodeCurrent[d], "diode current");
            ExpectNear(ra.diodeVoltage[d], sol.diodeVoltage[d], "diode voltage");
        }
        ExpectNear(ra.upperCurrent, sol.upperCapacitorCurrent, "upper capacitor current");
        ExpectNear(ra.lowerCurrent, sol.lowerCapacitorCurrent, "lower capacitor current");
        // Kirchhoff at the bulk node: what comes in leaves through the capacitors and the draw.
        ExpectNear(sol.rectifierCurrent, sol.upperCapacitorCurrent + sol.upperDampingCurrent - ra.iIn,
                   "bulk node balance");
    }
}

TEST(LineSide, RefusesWhatItCannotBuild) {
    const Start st;
    LineSideSolution sol;
    // A doubler needs the capacitors' midpoint for its neutral.
    EXPECT_EQ(CalcLineSideCoeffs(Inputs({5, 0, 0x01}, st), &sol), 0);
    EXPECT_EQ(CalcLineSideCoeffs(Inputs({10, 0, 0x00}, st), &sol), 0);
    EXPECT_EQ(CalcLineSideCoeffs(Inputs({-1, 0, 0x00}, st), &sol), 0);
    // A source without any impedance cannot be put beside the bulk capacitor.
    LineSideInputs in = Inputs({0, 0, 0x00}, st);
    in.phase[0] = {0.0, 48.0};
    EXPECT_EQ(CalcLineSideCoeffs(in, &sol), 0);
}

}  // namespace
