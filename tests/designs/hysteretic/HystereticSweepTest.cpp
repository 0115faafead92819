// The frequency analyses of the hysteretic design against its averaged small-signal model.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <cstdio>
#include <memory>
#include <numbers>

#include "analysis/context/AnalGraphSink.h"
#include "analysis/frequency/AnalFSwp.h"
#include "designs/AnalHeadless.h"
#include "circuit/AnalCfg.h"
#include "circuit/Doc.h"
#include "designs/Designs.h"

namespace {

using cd = std::complex<double>;
constexpr double kPi = std::numbers::pi;

struct Model {
    double r1, c3, kfb, ks, r10, r9, c8, tau, c, esr, esl, r;
    cd S(double f) const { return cd(0, 2 * kPi * f); }
    cd Zo(double f) const {
        const cd s = S(f);
        const cd zc = esr + s * esl + 1.0 / (s * c);
        return r * zc / (r + zc);
    }
    cd Gc(double f) const { return -1.0 / (S(f) * r1 * c3); }
    // The window's centre over the control voltage (C8 in series with R10 + R9).
    cd Kw(double f) const { return 1.0 - r9 / (r10 + r9 + 1.0 / (S(f) * c8)); }
    // Choke current over the control voltage: the sense's cycle mean sits on the window's centre.
    cd Modulator(double f) const { return Kw(f) * (1.0 + S(f) * tau) / ks; }
    cd Loop(double f) const { return Gc(f) * kfb * Zo(f) * Modulator(f); }
};

Model ModelOf(CPwrQuorraDoc& doc) {
    const ControlInputRec& ci = *doc.GetControlInput();
    const OutputFilterInputRec& of = *doc.GetOutputFilterInput(0);
    const OutputChokeInputRec& ch = *doc.GetOutputChokeInput(0);
    const LoadNetworkInputRec& ld = *doc.GetLoadNetworkInput(0);
    Model m{};
    m.r1 = ci.veaResistor1;
    m.c3 = ci.veaCapacitor3;
    m.kfb = ci.feedbackGain * ld.rippleWeight / ld.outputVoltage;
    m.ks = ch.senseWeight * ch.seriesResistance * ch.seriesElementFactor;
    m.r10 = ci.hystFilterResistance;
    m.r9 = ci.hystDividerResistance;
    m.c8 = ci.hystFilterCapacitance;
    m.tau = ci.rampResistance * ci.rampCapacitance;
    m.c = of.capACapacitance;
    m.esr = of.rippleResistance;
    m.esl = of.rippleInductance;
    m.r = ld.resistance;
    std::printf("r1 %g c3 %g rfb %g kfb %g ks %g r10 %g r9 %g c8 %g tau %g c %g esr %g esl %g r %g\n", m.r1, m.c3,
                ci.veaFeedbackResistor, m.kfb, m.ks, m.r10, m.r9, m.c8, m.tau, m.c, m.esr, m.esl, m.r);
    return m;
}

double Db(cd h) { return 20.0 * std::log10(std::abs(h)); }
double Deg(cd h) { return std::arg(h) * 180.0 / kPi; }

TEST(HystereticSweep, Explore) {
    const struct {
        int32_t kind;
        double amplitude;
    } cases[] = {{3, 0.02}, {2, 0.02}, {5, 0.02}, {4, 1.0}};
    for (const auto& c : cases) {
        std::string problem;
        std::unique_ptr<CPwrQuorraDoc> doc = OpenRegressionDesign("hysteretic", &problem);
        ASSERT_TRUE(doc) << problem;
        SweepPoints sink(100.0, 2000.0);
        const HeadlessRun run = RunFrequencySweep(*doc, c.kind, {100.0, 2000.0, 3, c.amplitude}, &sink);
        std::printf("kind %d ran %d %s steps %lld s %.2f\n", c.kind, run.ran, run.problem.c_str(),
                    static_cast<long long>(run.steps), run.seconds);
        for (const auto& m : run.messages) std::printf("  msg %s\n", m.c_str());
        const Model m = ModelOf(*doc);
        for (const auto& [q, values] : sink.points)
            for (const auto& [f, v] : values) std::printf("  q%d f %8.1f %9.3f\n", q, f, v);
        for (double f : {100.0, 215.4, 464.2, 1000.0, 2000.0}) {
            const cd t = m.Loop(f);
            std::printf("  model f %8.1f loop %7.2f dB %7.1f  inv %7.2f %7.1f  gc %7.2f %7.1f amp %7.2f %7.1f\n", f,
                        Db(t), Deg(t), Db(1.0 / t), Deg(1.0 / t), Db(m.Gc(f)), Deg(m.Gc(f)),
                        Db(m.Gc(f) * m.Zo(f) * m.Modulator(f)), Deg(m.Gc(f) * m.Zo(f) * m.Modulator(f)));
        }
    }
}

}  // namespace
