// The output side's other saturable inductors end to end: the skim inductor, the second stage's
// inductor and its damping inductor, the load's series and shunt inductors, and the capacitor
// sense transformer. Each core holds its nominal inductance L0 up to a knee far below its
// operating current and L0/3 beyond, so over the whole period (after the first microseconds of
// the turn-on) the part sits on its plateau: the circuit is the linear one with L0/3 there.
// Each run is set against that linear twin over the same steps; a lookup left out, taken at
// the wrong current or not carried into the reverse pass would leave the part at L0 (or off
// its plateau) and its current's ripple three times too small.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "analysis/context/AnalContext.h"
#include "analysis/timedomain/AnalFigures.h"
#include "circuit/AnalCfg.h"
#include "circuit/Doc.h"
#include "designs/AnalHeadless.h"
#include "designs/Designs.h"
#include "designs/ForwardClosedForm.h"
#include "designs/SteadyStart.h"
#include "analysis/frequency/AnalFSwp.h"
#include "records/DbParts.h"

namespace {

constexpr double kCycles = 300;
constexpr double kPeriod = 1e-5;  // the first configuration's 100 kHz

// L0 up to a knee of `knee`, L0/3 from twice the knee to 100 A; or, as the twin, a plain L0/3.
void Saturate(CInductor& l, double l0, double knee, bool saturating) {
    CObArrayCurrentInductance& points = l.m_CoreSatChar.m_arPoints;
    points.DeleteAll();
    if (!saturating) {
        l.m_dInductance = l0 / 3.0;
        return;
    }
    l.m_dInductance = l0;
    points.AddCopy(0, CObCurrentInductance(knee, l0));
    points.AddCopy(1, CObCurrentInductance(2.0 * knee, l0 / 3.0));
    points.AddCopy(2, CObCurrentInductance(100.0, l0 / 3.0));
}

void SkimInductor(CPwrQuorraDoc& doc, bool saturating) {
    COutputChoke& choke = *doc.GetOutputChoke1();
    choke.SetTopology(1);
    choke.SetDefaults();
    choke.GetSkimInductor().m_dDcResistance = 1e-6;
    Saturate(choke.GetSkimInductor(), 75e-6, 0.05, saturating);
}

// The second stage with its damping inductor beside the resistor (Inductor Out 3).
C2StgOutputFilter& SecondStage(CPwrQuorraDoc& doc) {
    C2StgOutputFilter& f2 = *doc.Get2StgOutputFilter1();
    f2.SetTopology(6);
    f2.SetDefaults();
    f2.GetInductorOut2().m_dInductance = 3e-6;
    f2.GetInductorOut2().m_dDcResistance = 5e-3;
    f2.GetCapacitorOut2().m_dCapacitance = 100e-6;
    f2.GetInductorOut3().m_dInductance = 1.5e-6;
    f2.GetInductorOut3().m_dDcResistance = 1e-3;
    return f2;
}

void SecondStageInductor(CPwrQuorraDoc& doc, bool saturating) {
    Saturate(SecondStage(doc).GetInductorOut2(), 3e-6, 0.05, saturating);
}

// The second stage without damping, its inductor alone before Capacitor Out 2.
void UndampedSecondStageInductor(CPwrQuorraDoc& doc, bool saturating) {
    C2StgOutputFilter& f2 = *doc.Get2StgOutputFilter1();
    f2.SetTopology(1);
    f2.SetDefaults();
    f2.GetInductorOut2().m_dDcResistance = 5e-3;
    f2.GetCapacitorOut2().m_dCapacitance = 100e-6;
    Saturate(f2.GetInductorOut2(), 3e-6, 0.05, saturating);
}

void DampingInductor(CPwrQuorraDoc& doc, bool saturating) {
    // Its current is the ripple's share, around 0: a knee at 1 mA.
    Saturate(SecondStage(doc).GetInductorOut3(), 1.5e-6, 0.001, saturating);
}

// The resistive-inductive load (Inductor Load2 in series with the 5 ohm) and the complex load
// (Inductor Load1 in series with the rest).
void ShuntLoadInductor(CPwrQuorraDoc& doc, bool saturating) {
    CLoadNetwork& ld = *doc.GetLoadNetwork1();
    const double r = ld.GetResistorLoad2().m_dResistance;
    ld.SetTopology(1);
    ld.SetDefaults();
    ld.GetResistorLoad2().m_dResistance = r;
    ld.GetInductorLoad2().m_dDcResistance = 1e-3;
    Saturate(ld.GetInductorLoad2(), 30e-6, 0.05, saturating);
}

void SeriesLoadInductor(CPwrQuorraDoc& doc, bool saturating) {
    CLoadNetwork& ld = *doc.GetLoadNetwork1();
    const double r = ld.GetResistorLoad2().m_dResistance;
    ld.SetTopology(3);
    ld.SetDefaults();
    ld.GetResistorLoad2().m_dResistance = r;
    ld.GetResistorLoad1().m_dResistance = 1e-3;
    ld.GetInductorLoad2().m_dInductance = 10e-6;
    ld.GetInductorLoad2().m_dDcResistance = 1e-3;
    ld.GetInductorLoad1().m_dDcResistance = 1e-3;
    ld.GetCurrentSourceILoad().m_dDCMagnitude = 0.0;
    ld.GetCurrentSourceILoad().m_dACPeakMagnitude = 0.0;
    Saturate(ld.GetInductorLoad1(), 30e-6, 0.05, saturating);
}

// The capacitor sense transformer (CapacitorSenseDesign.cpp: 1 uH primary, 10 mH secondary).
// Its secondary saturates in its primary's ratio, so the twin takes both at a third. Its core
// carries the magnetising current, which crosses 0 with the capacitor's: a knee at 1 uA.
void CapacitorSenseTransformer(CPwrQuorraDoc& doc, bool saturating) {
    C1StgOutputFilter& f1 = *doc.Get1StgOutputFilter1();
    SetCapacitorSenseStage(f1, 1.0, 100e-12);
    CTransformer& ct = f1.GetCurrentSenseTransformer();
    CObArrayCurrentInductance& points = ct.m_CoreSatChar.m_arPoints;
    points.DeleteAll();
    if (!saturating) {
        ct.m_dPrimaryInductance /= 3.0;
        ct.m_dSecondaryInductance /= 3.0;
        return;
    }
    const double l0 = ct.m_dPrimaryInductance;
    points.AddCopy(0, CObCurrentInductance(1e-6, l0));
    points.AddCopy(1, CObCurrentInductance(2e-6, l0 / 3.0));
    points.AddCopy(2, CObCurrentInductance(100.0, l0 / 3.0));
}

struct Watched {
    double current;     // the saturating part's current (A)
    double inductance;  // the inductance its step took (H)
};

Watched Skim(const AnalysisContext& c) { return {c.outputChoke[0].chokeCurrent, c.outputChoke[0].skimInductance}; }
Watched Second(const AnalysisContext& c) {
    return {c.outputFilter[0].secondInductorCurrent, c.outputFilter[0].secondInductance};
}
Watched Damping(const AnalysisContext& c) {
    return {c.outputFilter[0].dampingInductorCurrent, c.outputFilter[0].dampingInductance};
}
// Its sense output, which the secondary's droop shapes.
Watched Sense(const AnalysisContext& c) {
    return {c.outputFilter[0].currentSenseOutput, c.outputFilter[0].csInductanceC};
}
Watched Shunt(const AnalysisContext& c) { return {c.loadNetwork[0].resistorCurrent, c.loadNetwork[0].load2Inductance}; }
Watched Series(const AnalysisContext& c) {
    return {c.loadNetwork[0].firstBranchCurrent, c.loadNetwork[0].load1Inductance};
}

struct Ripple {
    HeadlessRun run;
    double peakToPeak = 0.0, mean = 0.0;
    double lMin = 1.0, lMax = 0.0;
};

Ripple RunPart(void (*set)(CPwrQuorraDoc&, bool), Watched (*watch)(const AnalysisContext&), bool saturating) {
    CPwrQuorraDoc doc;
    doc.OnNewDocument();
    BuildFirstConfiguration(doc);
    set(doc, saturating);
    doc.CheckAllSections();
    Ripple r;
    double lo = 1e9, hi = -1e9, area = 0.0, span = 0.0, tPrev = 0.0;
    const double from = (kCycles - 5) * kPeriod;  // the last five periods
    r.run = RunDesignHeadless(doc, kCycles, nullptr, nullptr, [&](const AnalysisContext& c) {
        const double t = c.stepState.time;
        if (t > from) {
            const Watched w = watch(c);
            lo = std::min(lo, w.current);
            hi = std::max(hi, w.current);
            area += w.current * (t - tPrev);
            span += t - tPrev;
            r.lMin = std::min(r.lMin, w.inductance);
            r.lMax = std::max(r.lMax, w.inductance);
        }
        tPrev = t;
    });
    r.peakToPeak = hi - lo;
    r.mean = span > 0.0 ? area / span : 0.0;
    return r;
}

TEST(SaturatingFilters, EachPartRunsOnItsPlateauAsItsLinearTwin) {
    struct Case {
        const char* name;
        void (*set)(CPwrQuorraDoc&, bool);
        Watched (*watch)(const AnalysisContext&);
        double l0;
    };
    const Case cases[] = {
        {"skim inductor", &SkimInductor, &Skim, 75e-6},
        {"second-stage inductor", &SecondStageInductor, &Second, 3e-6},
        {"second-stage damping inductor", &DampingInductor, &Damping, 1.5e-6},
        {"load shunt inductor", &ShuntLoadInductor, &Shunt, 30e-6},
        {"load series inductor", &SeriesLoadInductor, &Series, 30e-6},
        {"capacitor sense transformer", &CapacitorSenseTransformer, &Sense, 1e-6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const Ripple sat = RunPart(c.set, c.watch, true), twin = RunPart(c.set, c.watch, false);
        ASSERT_EQ(sat.run.ran, 1) << sat.run.problem;
        ASSERT_EQ(twin.run.ran, 1) << twin.run.problem;
        ASSERT_GT(twin.peakToPeak, 0.0);
        // On the plateau over the whole window, and the circuit's ripple that of L0/3.
        EXPECT_NEAR(sat.lMin, c.l0 / 3.0, 1e-9 * c.l0);
        EXPECT_NEAR(sat.lMax, c.l0 / 3.0, 1e-9 * c.l0);
        EXPECT_NEAR(sat.peakToPeak, twin.peakToPeak, 0.02 * twin.peakToPeak);
        EXPECT_NEAR(sat.mean, twin.mean, 0.005 * std::fabs(twin.mean) + 1e-4);
    }
}

// The steady-state start places each part at its operating point's current, on its plateau:
// the first period runs periodic and as its linear twin's (the skim inductor's start is the
// choke's estimate's, which does not yet take a skim winding).
TEST(SaturatingFilters, SteadyStartIsItsLinearTwins) {
    struct Case {
        const char* name;
        void (*set)(CPwrQuorraDoc&, bool);
    };
    const Case cases[] = {
        {"second-stage inductor", &SecondStageInductor}, {"second-stage damping inductor", &DampingInductor},
        {"load shunt inductor", &ShuntLoadInductor},     {"load series inductor", &SeriesLoadInductor},
        {"capacitor sense transformer", &CapacitorSenseTransformer},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SteadyStartRun runs[2];
        for (const bool saturating : {true, false}) {
            CPwrQuorraDoc doc;
            doc.OnNewDocument();
            BuildFirstConfiguration(doc);
            c.set(doc, saturating);
            doc.CheckAllSections();
            runs[saturating ? 0 : 1] = RunSteadyStart(doc, CAnalysisConfig::INIT_SLOW_PRECISE);
        }
        const SteadyStartRun &sat = runs[0], &twin = runs[1];
        ASSERT_EQ(sat.run.ran, 1) << sat.run.problem;
        ASSERT_EQ(twin.run.ran, 1) << twin.run.problem;
        EXPECT_NEAR(sat.end.vout, sat.start.vout, sat.capTolerance);
        EXPECT_NEAR(sat.end.il, sat.start.il, sat.chokeTolerance);
        EXPECT_NEAR(sat.firstAverage.vout, twin.firstAverage.vout, 1e-3 * std::fabs(twin.firstAverage.vout));
        EXPECT_NEAR(sat.firstAverage.il, twin.firstAverage.il, 1e-3 * std::fabs(twin.firstAverage.il));
    }
}

// The voltage-loop sweep at 5 kHz around a saturating second stage (no damping): the injected
// sine moves its current on the plateau, so the loop sees the linear twin's L0/3 (to 0.1 dB and
// 1 degree). The second stage's 3 uH against 1 uH with its 100 uF raises the loop gain at 5 kHz
// (1/(1 - w²LC) alone: 1/0.70 against 1/0.90, less beside the 5 ohm load): a sweep left at L0
// gives about 0.9 dB more, well outside the tolerance.
TEST(SaturatingFilters, VoltageLoopSweepSeesThePlateau) {
    SweepPoints sinks[2] = {SweepPoints(5000.0, 20e3), SweepPoints(5000.0, 20e3)};
    for (const bool saturating : {true, false}) {
        CPwrQuorraDoc doc;
        doc.OnNewDocument();
        BuildVoltageLoop(doc);
        UndampedSecondStageInductor(doc, saturating);
        doc.GetAnalysisConfig()->SetAnalysisKind(CAnalysisConfig::KIND_VOLTAGE_LOOP);
        doc.GetAnalysisConfig()->GetStimulusCfg().m_dAmplitude = 0.02;
        doc.GetAnalysisConfig()->GetStimulusCfg().m_dStopFrequency = 5000.0;
        doc.CheckAllSections();
        InstallFrequencyDrivers();
        const HeadlessRun run = RunDesignHeadless(doc, 0, nullptr, &sinks[saturating ? 0 : 1]);
        ASSERT_EQ(run.ran, 1) << run.problem;
    }
    SweepPoints &sat = sinks[0], &twin = sinks[1];
    ASSERT_FALSE(sat.points.empty());
    ASSERT_EQ(sat.points.size(), twin.points.size());
    for (const auto& [q, values] : sat.points) {
        ASSERT_EQ(values.size(), 1u) << q;
        const double v = values.begin()->second, ref = twin.points[q].begin()->second;
        if (q % 2) EXPECT_NEAR(v, ref, 0.1) << q;
        else EXPECT_NEAR(std::remainder(v - ref, 360.0), 0.0, 1.0) << q;
    }
}

// A skim inductor whose knee lies inside the choke's ripple: 75 uH up to 2.0 A, falling linearly
// to 25 uH at 2.3 A, flat beyond, in series with the first configuration's 100 uH choke.
// Under a constant voltage V the current moves along (Lc + Ls(i))·di = V·dt, so over each slope
// of the period the flux Φ(i) = Lc·i + ∫0..i Ls moves by the slope's volt-seconds F, and the
// time spent at each current is proportional to its inductance: the period's mean current is
//     Io = (W(b) - W(a)) / F,   W(i) = ∫0..i x·(Lc + Ls(x)) dx,   Φ(b) - Φ(a) = F,
// with a and b the valley and the peak. Io is the load's current and F = dIL·L of the linear
// closed form (ForwardClosedForm.h; the ripple's volt-seconds hardly depend on L: 0.2 % between
// 125 and 175 uH). Solving the two for a and b gives the ripple b - a across the knee, between
// the plateau's and the nominal's (0.58 A against 0.69 A and 0.50 A).
// A step that held the inductance of its starting current would leave about |dL/dI|·ΔI²/2 of
// flux on the skim inductor at each step across the knee, in the same sense rising and
// falling: about 26 steps of 0.023 A at 1.7e-4 H/A, 1.1e-6 V·s a period, a ripple 1 % short
// and an average 0.6 % low. The step takes the chord of the flux it moves (AnalMSat.h), exact
// while the voltage holds; what is left is the one step at each edge that takes the chord the
// wrong way (0.3 % of ripple, 0.15 % of the average) and the closed form's own 0.2 % in F.
double SkimL(double i) {
    const double x = std::fabs(i);
    if (x <= 2.0) return 75e-6;
    if (x >= 2.3) return 25e-6;
    return 75e-6 - (x - 2.0) / 0.3 * 50e-6;
}

// Φ and W by the trapezoid rule on a fine grid: independent of the engine's segment formulas.
void FluxAndEnergy(double to, double* flux, double* energy) {
    constexpr int kSteps = 20000;
    const double lc = 100e-6, h = to / kSteps;
    double f = 0.0, w = 0.0;
    for (int k = 0; k < kSteps; ++k) {
        const double x0 = k * h, x1 = x0 + h;
        const double l0 = lc + SkimL(x0), l1 = lc + SkimL(x1);
        f += 0.5 * (l0 + l1) * h;
        w += 0.5 * (x0 * l0 + x1 * l1) * h;
    }
    *flux = f;
    *energy = w;
}

double Flux(double i) {
    double f = 0.0, w = 0.0;
    FluxAndEnergy(i, &f, &w);
    return f;
}
double Energy(double i) {
    double f = 0.0, w = 0.0;
    FluxAndEnergy(i, &f, &w);
    return w;
}

// The peak b whose flux lies F above the valley a's.
double PeakAbove(double a, double flux) {
    double lo = a, hi = a + flux / 125e-6, target = Flux(a) + flux;
    for (int k = 0; k < 60; ++k) {
        const double mid = 0.5 * (lo + hi);
        (Flux(mid) < target ? lo : hi) = mid;
    }
    return 0.5 * (lo + hi);
}

designs::ForwardSteadyState ForwardWith(double l) {
    // The first configuration (SaturatingChokeTest.cpp lists its values) with choke and skim.
    return designs::SolveForward(
        {48.0, 0.1, 0.25, 1e-5, 200e-6, 200e-6, 2e-6, 0.7, 0.01, 2e-3 + 1e-6, l + 1e-10, 2e-6 + 1e-6, 100e-6, 5.0});
}

TEST(SaturatingFilters, SkimRippleAcrossItsKnee) {
    CPwrQuorraDoc doc;
    doc.OnNewDocument();
    BuildFirstConfiguration(doc);
    COutputChoke& choke = *doc.GetOutputChoke1();
    choke.SetTopology(1);
    choke.SetDefaults();
    CInductor& skim = choke.GetSkimInductor();
    skim.m_dInductance = 75e-6;
    skim.m_dDcResistance = 1e-6;
    CObArrayCurrentInductance& points = skim.m_CoreSatChar.m_arPoints;
    points.DeleteAll();
    points.AddCopy(0, CObCurrentInductance(2.0, 75e-6));
    points.AddCopy(1, CObCurrentInductance(2.3, 25e-6));
    points.AddCopy(2, CObCurrentInductance(100.0, 25e-6));
    doc.CheckAllSections();
    CRunFigures fig(0.0);
    const HeadlessRun run = RunDesignHeadless(doc, 800, &fig, nullptr);
    ASSERT_EQ(run.ran, 1) << run.problem;

    const designs::ForwardSteadyState plateau = ForwardWith(125e-6), nominal = ForwardWith(175e-6);
    const double flux = 0.5 * (plateau.dil * 125e-6 + nominal.dil * 175e-6);
    ASSERT_NEAR(plateau.dil * 125e-6, nominal.dil * 175e-6, 0.005 * flux);
    const double io = plateau.il;
    double lo = io - flux / 125e-6, hi = io;  // the valley lies below the mean, within a ripple
    for (int k = 0; k < 50; ++k) {
        const double a = 0.5 * (lo + hi), b = PeakAbove(a, flux);
        ((Energy(b) - Energy(a)) / flux < io ? lo : hi) = a;
    }
    const double valley = 0.5 * (lo + hi), peak = PeakAbove(valley, flux);
    ASSERT_LT(valley, 2.0);  // the ripple spans the knee
    ASSERT_GT(peak, 2.3);
    const double ripple = peak - valley;
    ASSERT_GT(ripple, 1.1 * nominal.dil);
    ASSERT_LT(ripple, 0.9 * plateau.dil);
    EXPECT_NEAR(fig.ChokePeakToPeak(), ripple, 0.008 * ripple);
    EXPECT_NEAR(fig.ChokeAverage(), io, 0.004 * io);
}

}  // namespace
