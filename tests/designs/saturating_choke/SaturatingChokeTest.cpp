// A saturating choke end to end: over the operating point's ripple the core sits on its
// 40 uH plateau, so the converter settles where the first configuration settles with a 40 uH
// choke, and the choke ripple grows by the inductance ratio.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <map>
#include <numbers>
#include <memory>
#include <string>

#include "analysis/context/AnalGraphSink.h"
#include "analysis/frequency/AnalFSwp.h"
#include "analysis/timedomain/AnalFigures.h"
#include "designs/AnalHeadless.h"
#include "circuit/Doc.h"
#include "designs/Designs.h"
#include "designs/ForwardClosedForm.h"
#include "records/DbParts.h"

namespace {

#ifdef PQ_SANITIZE
constexpr double kCycles = 1500;
#else
constexpr double kCycles = 2000;
#endif

// The first configuration's circuit (FirstConfigDesign.cpp) with the choke's inductance L:
// 48 V through 0.1 ohm, D = 0.25 at 100 kHz, Lp = Ls = 200 uH with 2 uH leakage, diodes
// 0.7 V + 10 mohm, both switches 1 mohm with the 1 uohm sense resistor, the choke's 2 uohm
// and its sense resistor's 0.1 nH, 100 uF, 5 ohm.
designs::ForwardSteadyState Forward(double l) {
    return designs::SolveForward(
        {48.0, 0.1, 0.25, 1e-5, 200e-6, 200e-6, 2e-6, 0.7, 0.01, 2e-3 + 1e-6, l + 1e-10, 2e-6, 100e-6, 5.0});
}

// In continuous conduction the choke's current rises by (Von - Vo)·Deff·T/L while the forward
// rectifier conducts and falls as much while it freewheels: the ripple is inversely
// proportional to the inductance the step uses, here the plateau's 40 uH looked up at the
// present current (1.0 A to 3.3 A over the period, above the 0.5 A knee). The average output
// hardly moves: only the leakage's share L/(L + Llk) of the forward voltage and the
// commutation time depend on L. So, against the unsaturated 100 uH: the ripple 2.5 times as
// large (0.88 A to 2.2 A peak to peak), the output within the 0.5 % of the closed form.
TEST(SaturatingChoke, RippleGrowsAsThePlateauInductancePredicts) {
    std::string problem;
    std::unique_ptr<CPwrQuorraDoc> doc = OpenRegressionDesign("saturating_choke", &problem);
    ASSERT_TRUE(doc) << problem;
    CRunFigures fig(0.0);
    const HeadlessRun run = RunDesignHeadless(*doc, kCycles, &fig, nullptr);
    ASSERT_EQ(run.ran, 1) << run.problem;

    const designs::ForwardSteadyState saturated = Forward(40e-6), nominal = Forward(100e-6);
    ASSERT_GT(saturated.il - saturated.dil / 2.0, 0.5);  // the valley stays on the plateau
    EXPECT_NEAR(fig.ChokePeakToPeak(), saturated.dil, 0.03 * saturated.dil);
    EXPECT_GT(fig.ChokePeakToPeak(), 2.3 * nominal.dil);
    EXPECT_NEAR(fig.OutputAverage(), saturated.vout, 0.005 * saturated.vout);
    EXPECT_NEAR(fig.ChokeAverage(), saturated.il, 0.005 * saturated.il);
    EXPECT_NEAR(fig.OutputPeakToPeak(), saturated.dvout, 0.05 * saturated.dvout);
}

// The same converter with its power transformer's core saturating instead: 200 uH up to
// 0.3 A, falling linearly to 50 uH at 0.6 A, flat beyond. The magnetising current starts every
// on-time at 0 (both primary rectifiers reset the core within the off-time) and rises under
// the primary voltage Vp as dIm/dt = Vp / L(Im):
//   t1 = L1·I1 / Vp                          to the knee at I1 = 0.3 A (L1 = 200 uH)
//   t2 = (L1 + L2)/2 · (I2 - I1) / Vp        across the knee to I2 = 0.6 A (L2 = 50 uH)
//   Im = I2 + Vp·(D·T - t1 - t2) / L2        at the end of the on-time
// (about 1.05 A against Vp·D·T/L1 = 0.6 A unsaturated). The secondary saturates in the same
// ratio, which leaves its reflected share k·sqrt(Ls/Lp)·Is of the primary current as it was,
// so the peak primary current is k·(IL + dIL/2) + Im = 3.60 A (3.15 A unsaturated). A step
// that held L at its starting current, above the step's mean across the falling knee, would
// lose about h·ΔL/(2L) ≈ 0.01 us of the ramp in each of the knee's ~8 steps of up to T/100,
// 2.2 % of the peak. The step takes the chord of the flux it moves (AnalMSat.h), from the
// core's voltage of the step before, which holds across the knee mid on-time; the run lies
// 0.7 % under the closed form, which takes Vp flat over the on-time: a tolerance of 1.5 %,
// with the rise above the unsaturated peak held to at least 0.3 A.
TEST(SaturatingChoke, SaturatingTransformerRaisesTheMagnetisingPeak) {
    CPwrQuorraDoc doc;
    doc.OnNewDocument();
    BuildFirstConfiguration(doc);
    SaturateTransformerCore(doc, 0.3);
    CRunFigures fig(0.0);
    const HeadlessRun run = RunDesignHeadless(doc, kCycles, &fig, nullptr);
    ASSERT_EQ(run.ran, 1) << run.problem;

    const designs::ForwardSteadyState cf = Forward(100e-6);
    const double l1 = 200e-6, l2 = 50e-6, i1 = 0.3, i2 = 0.6, on = 0.25 * 1e-5;
    const double t1 = l1 * i1 / cf.vp, t2 = (l1 + l2) / 2.0 * (i2 - i1) / cf.vp;
    ASSERT_LT(t1 + t2, on);  // the core reaches its plateau within the on-time
    const double im = i2 + cf.vp * (on - t1 - t2) / l2;
    const double peak = cf.k * (cf.il + cf.dil / 2.0) + im;
    EXPECT_NEAR(fig.PrimaryPeak(), peak, 0.015 * peak);
    EXPECT_GT(fig.PrimaryPeak(), cf.ipk + 0.3);
    EXPECT_NEAR(fig.OutputAverage(), cf.vout, 0.005 * cf.vout);
}

struct SweepPoint {
    HeadlessRun run;
    SweepPoints sink{5000.0, 20e3};
    double model40 = 0.0, model100 = 0.0;  // the averaged loop gain at 40 and 100 uH, in dB
};

// The closed-loop design (VoltageLoopDesign.cpp) swept at 5 kHz alone with this design's
// saturating choke, or with a plain 40 uH one.
void SweepAtFiveKilohertz(int32_t kind, double amplitude, bool saturating, SweepPoint& p) {
    CPwrQuorraDoc doc;
    doc.OnNewDocument();
    BuildVoltageLoop(doc);
    SetPlateauChoke(doc, saturating);
    doc.GetAnalysisConfig()->SetAnalysisKind(kind);
    doc.GetAnalysisConfig()->GetStimulusCfg().m_dAmplitude = amplitude;
    doc.GetAnalysisConfig()->GetStimulusCfg().m_dStopFrequency = 5000.0;
    doc.CheckAllSections();
    InstallFrequencyDrivers();
    p.run = RunDesignHeadless(doc, 0, nullptr, &p.sink);
    // The model from the records the run filled.
    using cd = std::complex<double>;
    const ControlInputRec& ci = *doc.GetControlInput();
    const OutputFilterInputRec& of = *doc.GetOutputFilterInput(0);
    const LoadNetworkInputRec& ld = *doc.GetLoadNetworkInput(0);
    const cd s(0.0, 2.0 * std::numbers::pi * 5000.0);
    const cd gc = -(ci.veaFeedbackResistor / ci.veaResistor1) / (1.0 + s * ci.veaFeedbackResistor * ci.veaCapacitor3);
    const double kfb = ci.feedbackGain * ld.rippleWeight / ld.outputVoltage;
    const double period =
        (ci.clockUpperLimit - ci.clockLowerLimit) * (1.0 / std::fabs(ci.clockFirstSlope) + 1.0 / ci.clockSecondSlope);
    const double fm = 1.0 / (ci.clockSecondSlope * period);
    const cd zc = of.rippleResistance + s * of.rippleInductance + 1.0 / (s * of.capACapacitance);
    const cd zo = ld.resistance * zc / (ld.resistance + zc);
    const double vin = doc.GetLineSourceInput()->lineOffset;
    const auto db = [&](double l) { return 20.0 * std::log10(std::abs(gc * kfb * fm * vin * zo / (zo + s * l))); };
    p.model40 = db(40e-6);
    p.model100 = db(100e-6);
}

// The sweeps around the saturated choke, at 5 kHz. The injected sine moves the choke current
// within its 1.0 A to 3.3 A on the plateau, so the small-signal choke is the plateau's 40 uH:
// each sweep must give what the same design gives with a plain 40 uH choke (to 0.1 dB and 1
// degree: only the step's lookup differs), the voltage loop and the amplifier analysis and the
// input-to-output response alike (amplitudes as VoltageLoopTest.cpp takes them). And the loop
// gain against the averaged model (VoltageLoopTest.cpp derives it)
//   T(s) = Gc·Kfb·Fm·Vin·(Ns/Np)·Zo/(Zo + s·L),  Gc = -(Rfb/R1)/(1 + s·Rfb·C3),
//   Zo = R || (ESR + s·ESL + 1/(s·C)),  Kfb = gain·weight/Vo,  Fm = 1/(s2·T)
// at L = 40 uH within 1 dB; the nominal 100 uH would put it about 8 dB lower. (The phase is
// left to the plain choke's run: at twice the 40 uH filter's 2.5 kHz resonance the damping the
// model leaves out still turns it by about 12 degrees.)
TEST(SaturatingChoke, SweepsSeeThePlateauInductance) {
    const struct {
        const char* name;
        int32_t kind;
        double amplitude;
    } cases[] = {{"voltage loop", CAnalysisConfig::KIND_VOLTAGE_LOOP, 0.02},
                 {"input to output", CAnalysisConfig::KIND_INPUT_TO_OUTPUT, 1.0},
                 {"amplifier", CAnalysisConfig::KIND_AMPLIFIER, 0.2}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SweepPoint sat, plain;
        SweepAtFiveKilohertz(c.kind, c.amplitude, true, sat);
        SweepAtFiveKilohertz(c.kind, c.amplitude, false, plain);
        ASSERT_EQ(sat.run.ran, 1) << sat.run.problem;
        ASSERT_EQ(plain.run.ran, 1) << plain.run.problem;
        ASSERT_FALSE(sat.sink.points.empty());
        ASSERT_EQ(sat.sink.points.size(), plain.sink.points.size());
        // Gains and phases in turn: quantities 1, 3, 5 in dB, 2, 4, 6 in degrees.
        for (const auto& [q, values] : sat.sink.points) {
            ASSERT_EQ(values.size(), 1u) << q;
            ASSERT_EQ(values.begin()->first, 5000.0) << q;
            const double v = values.begin()->second, ref = plain.sink.points[q].begin()->second;
            if (q % 2) EXPECT_NEAR(v, ref, 0.1) << q;
            else EXPECT_NEAR(std::remainder(v - ref, 360.0), 0.0, 1.0) << q;
        }
        if (c.kind != CAnalysisConfig::KIND_VOLTAGE_LOOP) continue;
        ASSERT_GT(sat.model40 - sat.model100, 5.0);
        EXPECT_NEAR(sat.sink.points[1].begin()->second, sat.model40, 1.0);
    }
}

}  // namespace
