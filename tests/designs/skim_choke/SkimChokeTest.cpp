// The skim inductor's design swept from its estimated operating point: the voltage loop and
// the amplifier against the voltage_loop design's averaged model with the choke branch's
// whole inductance,
//   Gc(s) = -(Rfb/R1) / (1 + s·Rfb·C3),  H(s) = Zo / (Zo + s·(Lc + Ls)),
//   Zo = R || (ESR + s·ESL + 1/(s·C)),  Fm = 1/(s2·T)
//   loop x1/x3 = Gc·Kfb·Fm·Vin·(Ns/Np)·H,  amplifier vo/x2 = Gc·Fm·Vin·(Ns/Np)·H.
// At 5 kHz s·(Lc + Ls) is 4.7 ohm against the branch's tens of milliohms: the resistances and
// the leakage's duty loss stay inside 1 dB / 5 degrees (as on the voltage_loop design). Leaving
// the skim out of the model (Lc alone) moves the loop by 3.5 dB at 5 kHz.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <memory>
#include <numbers>

#include "analysis/frequency/AnalFSwp.h"
#include "circuit/AnalCfg.h"
#include "circuit/Doc.h"
#include "designs/AnalHeadless.h"
#include "designs/Designs.h"
#include "designs/SweepMath.h"

namespace {

using cd = std::complex<double>;
constexpr double kPi = std::numbers::pi;
constexpr double kStart = 5000.0, kStop = 20e3;
#ifdef PQ_SANITIZE
constexpr double kLast = kStart;  // one point under the sanitizers
#else
constexpr double kLast = kStop;
#endif


TEST(SkimChoke, LoopAndAmplifierSeeTheWholeChokeBranch) {
    const struct {
        const char* name;
        int32_t kind;
        double amplitude;
        double last;  // the sweep's stop: the amplifier shares the loop's start, one point
    } cases[] = {{"voltage loop", CAnalysisConfig::KIND_VOLTAGE_LOOP, 0.02, kLast},
                 {"amplifier", CAnalysisConfig::KIND_AMPLIFIER, 0.2, kStart}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string problem;
        std::unique_ptr<CPwrQuorraDoc> doc = OpenRegressionDesign("skim_choke", &problem);
        ASSERT_TRUE(doc) << problem;
        SweepPoints sink(kStart, kStop);
        const HeadlessRun run = RunFrequencySweep(*doc, c.kind, {kStart, c.last, 3, c.amplitude}, &sink);
        ASSERT_EQ(run.ran, 1) << run.problem;
        EXPECT_TRUE(run.messages.empty()) << run.messages.front();

        const ControlInputRec& ci = *doc->GetControlInput();
        const OutputFilterInputRec& of = *doc->GetOutputFilterInput(0);
        const LoadNetworkInputRec& ld = *doc->GetLoadNetworkInput(0);
        const double span = ci.clockUpperLimit - ci.clockLowerLimit;
        const double period = span * (1.0 / std::fabs(ci.clockFirstSlope) + 1.0 / ci.clockSecondSlope);
        const double fm = 1.0 / (ci.clockSecondSlope * period);
        const double vin = doc->GetLineSourceInput()->lineOffset;
        const double branch = doc->GetOutputChokeInput(0)->inductance + doc->GetOutputChoke1()->GetSkimInductor().m_dInductance;
        ASSERT_NEAR(branch, 150e-6, 1e-12);
        const auto plant = [&](double f) {
            const cd s(0, 2 * kPi * f);
            const cd zc = of.rippleResistance + s * of.rippleInductance + 1.0 / (s * of.capACapacitance);
            const cd zo = ld.resistance * zc / (ld.resistance + zc);
            return fm * vin * zo / (zo + s * branch);  // 10:10
        };
        const auto gc = [&](double f) {
            return -(ci.veaFeedbackResistor / ci.veaResistor1) /
                   (1.0 + cd(0, 2 * kPi * f) * ci.veaFeedbackResistor * ci.veaCapacitor3);
        };
        const double kfb = ci.feedbackGain * ld.rippleWeight / ld.outputVoltage;
        const auto& gain = sink.points[1];
        ASSERT_EQ(gain.size(), c.last == kStart ? 1u : 3u);
        for (const auto& [f, db] : gain) {
            const cd h = gc(f) * plant(f) * (c.kind == CAnalysisConfig::KIND_VOLTAGE_LOOP ? kfb : 1.0);
            EXPECT_NEAR(db, Db(h), 1.0) << f;
            EXPECT_NEAR(PhaseOff(sink.points[2][f], Deg(h)), 0.0, 5.0) << f;
        }
    }
}

}  // namespace
