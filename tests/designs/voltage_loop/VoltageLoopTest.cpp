// The voltage-loop response and the amplifier analysis of the closed-loop design against the
// averaged small-signal model of the converter.
//
// Averaged model (voltage mode, continuous conduction, forward converter):
//   error amplifier (inverting, R1 in, Rfb || C3 back):  Gc(s) = -(Rfb/R1) / (1 + s·Rfb·C3)
//   feedback:  x2 = Kfb·vo,  Kfb = feedback gain · weight / target voltage
//   modulator: the clock falls from U to L at slope s1 and rises back at s2, the drive held
//     off while it falls, on while the clock is below the control voltage:
//       d = (vc - L)/s2 / T,  T = (U - L)(1/|s1| + 1/s2)  =>  Fm = 1 / (s2·T)  per volt
//   power stage: vo/d = Vin·(Ns/Np)·Zo / (Zo + s·L),  Zo = R || (ESR + s·ESL + 1/(s·C))
// Then (x1 the amplifier output, x3 the control voltage after the injection point):
//   loop gain       x1/x3 = Gc·Kfb·Fm·Vin·(Ns/Np)·H(s)
//   error amplifier x1/x2 = Gc
//   amplifier       vo/x2 (loop opened at x2) = Gc·Fm·Vin·(Ns/Np)·H(s)
//   input to output vo/vin = D·(Ns/Np)·H(s) / (1 + T(s)),  T the loop gain above and D = 0.25
//     the duty at the operating point (the control voltage at VRef, see the design)
// With the modulator term the feedback also takes the rectified (pre-choke) voltage vm through
// an RC lag:  x2 = Kg·(wo·vo + wm·vm/(1 + s·τ)),  Kg = feedback gain / target voltage, and
// vm = (Ns/Np)·(Vin·d + D·vin), vo = H(s)·vm,  H = Zo/(Zo + s·L). So the loop gains a path that
// bypasses the output filter:
//   loop gain       T(s) = Gc·Kg·Fm·Vin·(Ns/Np)·(wo·H + wm/(1 + s·τ))
//   input to output vo/vin = D·(Ns/Np)·H / (1 + T(s))
//   amplifier       vo/x2 = Gc·Fm·Vin·(Ns/Np)·H as before: its sine replaces the whole feedback
// The choke and switch resistances and the leakage's duty loss damp the resonance (1.6 kHz)
// only; from 5 kHz up s·L dominates them, hence the 1 dB / 5 degree tolerance on the loop.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <map>
#include <numbers>

#include "analysis/context/AnalGraphSink.h"
#include "analysis/frequency/AnalFSwp.h"
#include "designs/AnalHeadless.h"
#include "circuit/AnalCfg.h"
#include "circuit/Doc.h"
#include "designs/Designs.h"
#include "designs/SweepMath.h"

namespace {

using cd = std::complex<double>;
constexpr double kPi = std::numbers::pi;

struct Model {
    double r1, rfb, c3, kfb, fm, vin, n, l, c, esr, esl, r;
    double km = 0.0, tau = 0.0;  // the modulator term's Kg·wm and lag
    // The loop gain x1/x3, the output's path and the modulator's.
    cd Loop(double f) const {
        return Gc(f) * (kfb * Plant(f) + km * fm * vin * n / (1.0 + cd(0, 2 * kPi * f) * tau));
    }
    cd Gc(double f) const { return -(rfb / r1) / (1.0 + cd(0, 2 * kPi * f) * rfb * c3); }
    cd Plant(double f) const {
        const cd s(0, 2 * kPi * f);
        const cd zc = esr + s * esl + 1.0 / (s * c);
        const cd zo = r * zc / (r + zc);
        return fm * vin * n * zo / (zo + s * l);
    }
};

Model ModelOf(CPwrQuorraDoc& doc) {
    const ControlInputRec& ci = *doc.GetControlInput();
    const OutputFilterInputRec& of = *doc.GetOutputFilterInput(0);
    const LoadNetworkInputRec& ld = *doc.GetLoadNetworkInput(0);
    Model m{};
    m.r1 = ci.veaResistor1;
    m.rfb = ci.veaFeedbackResistor;
    m.c3 = ci.veaCapacitor3;
    m.kfb = ci.feedbackGain * ld.rippleWeight / ld.outputVoltage;
    const double span = ci.clockUpperLimit - ci.clockLowerLimit;
    const double period = span * (1.0 / std::fabs(ci.clockFirstSlope) + 1.0 / ci.clockSecondSlope);
    m.fm = ci.clockInhibitDuringReset ? 1.0 / (ci.clockSecondSlope * period)
                                      : 1.0 / span;
    m.vin = doc.GetLineSourceInput()->lineOffset;
    m.n = 1.0;  // 10:10
    m.l = doc.GetOutputChokeInput(0)->inductance;
    m.c = of.capACapacitance;
    m.esr = of.rippleResistance;
    m.esl = of.rippleInductance;
    m.r = ld.resistance;
    m.km = ci.feedbackGain * doc.GetSecondaryRectifierInput(0)->dutyWeight / ld.outputVoltage;
    m.tau = of.engineSetupParamA;
    return m;
}


struct SweepRun {
    HeadlessRun run;
    Model model;
    SweepPoints sink{5000.0, 20e3};
    double phaseMax = 0.0;  // of the loop phase
};

void RunKind(int32_t kind, int quantities, double amplitude, SweepRun& r) {
    CPwrQuorraDoc doc;
    doc.OnNewDocument();
    BuildVoltageLoop(doc);
    doc.GetAnalysisConfig()->SetAnalysisKind(kind);
    doc.GetAnalysisConfig()->GetStimulusCfg().m_dAmplitude = amplitude;
    r.phaseMax = doc.GetAnalysisConfig()->GetStimulusCfg().m_dMaxPhase[0];
#ifdef PQ_SANITIZE
    // One point under the sanitizers: the sweep ends on the first converged point.
    doc.GetAnalysisConfig()->GetStimulusCfg().m_dStopFrequency = 5000.0;
    r.sink.stop = 5000.0;
#endif
    r.sink.quantities = quantities;
    InstallFrequencyDrivers();
    r.run = RunDesignHeadless(doc, 0, nullptr, &r.sink);
    r.model = ModelOf(doc);
    // A sine that stays small keeps the duty off its extremes: no warning, no other box.
    EXPECT_TRUE(r.run.messages.empty()) << r.run.messages.front();
}

TEST(VoltageLoop, LoopAndErrorAmplifierFollowTheAveragedModel) {
    SweepRun r;
    RunKind(CAnalysisConfig::KIND_VOLTAGE_LOOP, 6, 0.02, r);
    ASSERT_EQ(r.run.ran, 1) << r.run.problem;
    const auto& gain = r.sink.points[1];
    ASSERT_GE(gain.size(), 1u);
#ifndef PQ_SANITIZE
    ASSERT_EQ(gain.size(), 3u);
    EXPECT_EQ(gain.rbegin()->first, 20e3);  // landed on the graphs' end
#endif
    for (const auto& [f, db] : gain) {
        const Model& m = r.model;
        const cd loop = m.Gc(f) * m.kfb * m.Plant(f);
        EXPECT_NEAR(db, Db(loop), 1.0) << f;
        EXPECT_NEAR(PhaseOff(r.sink.points[2][f], Deg(loop)), 0.0, 5.0) << f;
        EXPECT_NEAR(r.sink.points[5][f], Db(m.Gc(f)), 0.5) << f;
        EXPECT_NEAR(PhaseOff(r.sink.points[6][f], Deg(m.Gc(f))), 0.0, 3.0) << f;
        // The loop phase is put into its window [max - 360, max].
        EXPECT_LE(r.sink.points[2][f], r.phaseMax + 1e-9);
        EXPECT_GE(r.sink.points[2][f], r.phaseMax - 360.0 - 1e-9);
    }
}

TEST(VoltageLoop, AmplifierAnalysisFollowsTheOpenLoopModel) {
    SweepRun r;
    // A larger sine: at 20 kHz the output answers 70 dB below it, under the switching ripple.
    RunKind(CAnalysisConfig::KIND_AMPLIFIER, 2, 0.2, r);
    ASSERT_EQ(r.run.ran, 1) << r.run.problem;
    const auto& gain = r.sink.points[1];
    ASSERT_GE(gain.size(), 1u);
    for (const auto& [f, db] : gain) {
        const cd h = r.model.Gc(f) * r.model.Plant(f);
        EXPECT_NEAR(db, Db(h), 1.0) << f;
        EXPECT_NEAR(PhaseOff(r.sink.points[2][f], Deg(h)), 0.0, 5.0) << f;
    }
}

TEST(VoltageLoop, InputToOutputFollowsTheClosedLoopLineTransfer) {
    SweepRun r;
    // A volt on the 48 V line: the output's answer must stand above the switching ripple.
    RunKind(CAnalysisConfig::KIND_INPUT_TO_OUTPUT, 6, 1.0, r);
    ASSERT_EQ(r.run.ran, 1) << r.run.problem;
    const auto& gain = r.sink.points[3];
    ASSERT_GE(gain.size(), 1u);
#ifndef PQ_SANITIZE
    ASSERT_EQ(gain.size(), 3u);
#endif
    constexpr double kDuty = 0.25;
    for (const auto& [f, db] : gain) {
        const Model& m = r.model;
        const cd loop = m.Gc(f) * m.kfb * m.Plant(f);
        const cd line = kDuty * m.n * m.Plant(f) / (m.fm * m.vin * m.n) / (1.0 + loop);
        EXPECT_NEAR(db, Db(line), 1.0) << f;
    }
}

// The modulator term, half the feedback from the rectified voltage and half from the output
// (the operating point stays where the design regulates it). At 5 kHz a 20 us lag leaves the
// modulator's path about 18 dB above the output's (|H| is 0.11 there, three times past the
// filter's resonance); a 200 us one brings it near it. The line transfer is taken at 10 kHz:
// at 5 kHz the damping the model leaves out turns its phase by 4.4 degrees already without the
// term. The amplifier analysis opens the loop before the feedback network, so it must not see
// the term at all.
TEST(VoltageLoop, ModulatorTermJoinsTheLoopPastTheFilter) {
    const struct {
        const char* name;
        int32_t kind;
        double amplitude, lag, f;
    } cases[] = {{"voltage loop, 20 us lag", CAnalysisConfig::KIND_VOLTAGE_LOOP, 0.02, 20e-6, 5000.0},
                 {"voltage loop, 200 us lag", CAnalysisConfig::KIND_VOLTAGE_LOOP, 0.02, 200e-6, 5000.0},
                 {"input to output, 20 us lag", CAnalysisConfig::KIND_INPUT_TO_OUTPUT, 1.0, 20e-6, 10e3},
                 {"amplifier, 20 us lag", CAnalysisConfig::KIND_AMPLIFIER, 0.2, 20e-6, 5000.0}};
    constexpr double kDuty = 0.25;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CPwrQuorraDoc doc;
        doc.OnNewDocument();
        BuildVoltageLoop(doc);
        FeedTheModulator(doc, 50.0, 50.0, c.lag);
        SweepPoints sink(5000.0, 20e3);
        const HeadlessRun run = RunFrequencySweep(doc, c.kind, {c.f, c.f, 3, c.amplitude}, &sink);
        ASSERT_EQ(run.ran, 1) << run.problem;
        EXPECT_TRUE(run.messages.empty()) << run.messages.front();
        const Model m = ModelOf(doc);
        ASSERT_GT(m.km, 0.0);
        const cd loop = m.Loop(c.f);
        cd expected;
        int gain = 1;
        if (c.kind == CAnalysisConfig::KIND_VOLTAGE_LOOP) {
            expected = loop;
            // The term moves the loop well off its output-only gain.
            ASSERT_GT(std::abs(Db(loop) - Db(m.Gc(c.f) * m.kfb * m.Plant(c.f))), 3.0);
        } else if (c.kind == CAnalysisConfig::KIND_INPUT_TO_OUTPUT) {
            expected = kDuty * m.n * m.Plant(c.f) / (m.fm * m.vin * m.n) / (1.0 + loop);
            gain = 3;
        } else {
            expected = m.Gc(c.f) * m.Plant(c.f);
        }
        ASSERT_EQ(sink.points[gain].size(), 1u);
        EXPECT_NEAR(sink.points[gain][c.f], Db(expected), 1.0);
        EXPECT_NEAR(PhaseOff(sink.points[gain + 1][c.f], Deg(expected)), 0.0, 5.0);
    }
}

}  // namespace
