// The frequency sweeps of the closed-loop design (voltage_loop) with transistor rectifiers: they
// start from the steady state the estimate sets, and one point (5 kHz) of the loop, the
// amplifier and the input-to-output sweeps follows the averaged model of the converter, as the
// diode design's does (VoltageLoopTest.cpp has the model and its tolerances: from 5 kHz up s·L
// dominates the resistances, so the channels' in place of the diodes' change it by little).
//   loop            x1/x3 = Gc·Kfb·Fm·Vin·n·H,   Gc = -(Rfb/R1)/(1 + s·Rfb·C3)
//   amplifier       vo/x2 = Gc·Fm·Vin·n·H
//   input to output vo/vin = D·n·H / (1 + loop),  D = 0.25 (the control at VRef)
//   H = Zo/(Zo + s·L),  Zo = R || (ESR + s·ESL + 1/(s·C)),  Fm = 1/(s2·T)
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
constexpr double kFrequency = 5000.0;
constexpr double kDuty = 0.25;


TEST(SyncRectifierSweeps, OnePointOfEachSweepFollowsTheAveragedModel) {
    struct Case {
        const char* name;
        int32_t kind;
        double amplitude;  // as the diode design's sweeps
        int gain, phase;   // the quantities that show the transfer
    };
    const Case cases[] = {{"voltage loop", CAnalysisConfig::KIND_VOLTAGE_LOOP, 0.02, 1, 2},
                          {"amplifier", CAnalysisConfig::KIND_AMPLIFIER, 0.2, 1, 2},
                          {"input to output", CAnalysisConfig::KIND_INPUT_TO_OUTPUT, 1.0, 3, 4}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CPwrQuorraDoc doc;
        doc.OnNewDocument();
        BuildVoltageLoop(doc);
        MakeRectifiersSynchronous(doc);
        doc.GetAnalysisConfig()->SetAnalysisKind(c.kind);
        doc.GetAnalysisConfig()->GetStimulusCfg().m_dAmplitude = c.amplitude;
        doc.GetAnalysisConfig()->GetStimulusCfg().m_dStopFrequency = kFrequency;
        InstallFrequencyDrivers();
        SweepPoints sink(kFrequency, 20e3);
        const HeadlessRun run = RunDesignHeadless(doc, 0, nullptr, &sink);
        ASSERT_EQ(run.ran, 1) << run.problem;
        EXPECT_TRUE(run.messages.empty()) << run.messages.front();
        ASSERT_EQ(sink.points[c.gain].count(kFrequency) + sink.points[c.phase].count(kFrequency), 2u);

        const ControlInputRec& ci = *doc.GetControlInput();
        const OutputFilterInputRec& of = *doc.GetOutputFilterInput(0);
        const LoadNetworkInputRec& ld = *doc.GetLoadNetworkInput(0);
        const cd s(0.0, 2.0 * std::numbers::pi * kFrequency);
        const cd gc = -(ci.veaFeedbackResistor / ci.veaResistor1) / (1.0 + s * ci.veaFeedbackResistor * ci.veaCapacitor3);
        const double kfb = ci.feedbackGain * ld.rippleWeight / ld.outputVoltage;
        const double span = ci.clockUpperLimit - ci.clockLowerLimit;
        const double period = span * (1.0 / std::fabs(ci.clockFirstSlope) + 1.0 / ci.clockSecondSlope);
        const double fm = 1.0 / (ci.clockSecondSlope * period);
        const double vin = doc.GetLineSourceInput()->lineOffset, n = 1.0;
        const cd zc = of.rippleResistance + s * of.rippleInductance + 1.0 / (s * of.capACapacitance);
        const cd zo = ld.resistance * zc / (ld.resistance + zc);
        const cd h = zo / (zo + s * doc.GetOutputChokeInput(0)->inductance);
        const cd loop = gc * kfb * fm * vin * n * h;
        const cd expected = c.kind == CAnalysisConfig::KIND_VOLTAGE_LOOP ? loop
                            : c.kind == CAnalysisConfig::KIND_AMPLIFIER  ? gc * fm * vin * n * h
                                                                          : kDuty * n * h / (1.0 + loop);
        EXPECT_NEAR(sink.points[c.gain][kFrequency], Db(expected), 1.0);
        if (c.kind != CAnalysisConfig::KIND_INPUT_TO_OUTPUT) {
            EXPECT_NEAR(PhaseOff(sink.points[c.phase][kFrequency], Deg(expected)), 0.0, 5.0);
        }
    }
}

// The current loop of the average-current design (average_current) with transistor
// rectifiers, one point (7 kHz), against the same design with diodes: the loop opened at the
// current amplifier sees the choke current, whose answer to the duty the rectifiers' drops
// barely touch (they damp the output filter, s·L dominates them); within the tolerances of the
// diode design's own check against its averaged model.
TEST(SyncRectifierSweeps, CurrentLoopPointAsTheDiodeDesigns) {
    constexpr double kPoint = 7000.0;
    std::map<int, double> at[2];
    for (const int sync : {0, 1}) {
        SCOPED_TRACE(sync);
        CPwrQuorraDoc doc;
        doc.OnNewDocument();
        BuildAverageCurrent(doc);
        if (sync) MakeRectifiersSynchronous(doc);
        CAnalysisConfig& config = *doc.GetAnalysisConfig();
        config.SetAnalysisKind(CAnalysisConfig::KIND_CURRENT_LOOP);
        config.GetStimulusCfg().m_dStartFrequency = config.GetStimulusCfg().m_dStopFrequency = kPoint;
        config.GetStimulusCfg().m_dAmplitude = 0.02;
        InstallFrequencyDrivers();
        SweepPoints sink(kPoint, 20e3);
        const HeadlessRun run = RunDesignHeadless(doc, 0, nullptr, &sink);
        ASSERT_EQ(run.ran, 1) << run.problem;
        EXPECT_TRUE(run.messages.empty()) << run.messages.front();
        ASSERT_EQ(sink.points.size(), 6u);
        for (const auto& [q, values] : sink.points) {
            ASSERT_EQ(values.count(kPoint), 1u);
            at[sync][q] = values.at(kPoint);
        }
    }
    // Loop, current amplifier, modulator: gains (dB) and phases (degrees).
    for (int q = 1; q <= 6; q += 2) {
        SCOPED_TRACE(q);
        EXPECT_NEAR(at[1][q], at[0][q], 1.0);
        EXPECT_NEAR(PhaseOff(at[1][q + 1], at[0][q + 1]), 0.0, 5.0);
    }
}

}  // namespace
