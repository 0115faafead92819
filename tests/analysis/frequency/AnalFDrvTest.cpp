// The frequency drivers on the first configuration's records: a stop asked for before the
// start and during the sweep of each kind, the amplifier's output choice outside the outputs, and the
// error amplifier's analytic response.
#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <memory>
#include <numbers>

#include "analysis/context/AnalContext.h"
#include "analysis/frequency/AnalFAmp.h"
#include "analysis/frequency/AnalFI2O.h"
#include "analysis/frequency/AnalFSwp.h"
#include "analysis/frequency/AnalFVLR.h"
#include "support/FirstConfigRecords.h"
#include "support/ReportCapture.h"

namespace {

using test_support::CountOf;
using test_support::FirstConfigRecords;

// Every quantity on its own graph; after `stopAfter` samples it asks the run to stop.
class StoppingSink : public CGraphSampleSink {
public:
    fw::Event* quit = nullptr;
    int stopAfter = -1;
    int samples = 0;
    BOOL GetVariableGraph(int q, int& g) override {
        g = q;
        return TRUE;
    }
    double GetGraphStart(int) override { return 1.0; }
    double GetGraphStop(int) override { return 1e9; }
    BOOL PlotSample(int, double, double, double) override {
        if (++samples == stopAfter && quit) quit->Set();
        return TRUE;
    }
};

class Sweep : public test_support::ReportCaptureTest {
protected:
    AnalysisContext& Start(int32_t kind) {
        ResetFirstMessageFlag();
        rec_.settings.analysisKind = kind;
        rec_.settings.skipInitializationLoop = 1;
        rec_.settings.sweepStartFrequency = 20e3;
        rec_.settings.sweepEndFrequency = 40e3;
        rec_.settings.sweepFactor = 2.0;
        rec_.settings.stimulusAmplitude = 0.01;
        rec_.Attach(block_);
        block_.hQuitEvent = &quit_;
        block_.pGraphSink = &graphs_;
        block_.runStatus = 1;
        graphs_.quit = &quit_;
        run_ = std::make_unique<AnalysisRun>(block_);
        return *run_->Context();
    }

    fw::Event quit_{true};
    FirstConfigRecords rec_;
    AnalysisThreadParams block_;
    StoppingSink graphs_;
    std::unique_ptr<AnalysisRun> run_;
};

TEST_F(Sweep, AStopBeforeTheStartRunsNothing) {
    Start(2);
    quit_.Set();
    EXPECT_EQ(RunVoltageLoopAnalysis(), 0);
    EXPECT_EQ(graphs_.samples, 0);
    EXPECT_EQ(CountOf(Log(), "Analysis Terminated"), 1);
    EXPECT_TRUE(sink_.boxes.empty());
}

TEST_F(Sweep, AStopDuringTheSweepEndsItAtTheNextStep) {
    struct Case {
        int32_t kind;
        int32_t (*run)();
        int quantities;
    } cases[] = {{2, RunVoltageLoopAnalysis, 6}, {4, RunLineToOutputAnalysis, 6}, {5, RunAmplifierAnalysis, 2}};
    for (const Case& c : cases) {
        quit_.Reset();
        graphs_.samples = 0;
        graphs_.stopAfter = c.quantities;  // the first point's samples
        Start(c.kind);
        EXPECT_EQ(c.run(), 0) << c.kind;
        EXPECT_EQ(block_.runStatus, 2) << c.kind;
        EXPECT_EQ(graphs_.samples, c.quantities) << c.kind;
        run_.reset();
    }
}

TEST_F(Sweep, SweepSettingsThatCouldNeverEndAreRefused) {
    const struct {
        double start, stop, factor;
    } cases[] = {{NOT_SET, 40e3, 2.0}, {20e3, 0.0, 2.0}, {20e3, 40e3, 1.0}, {20e3, 40e3, NOT_SET}};
    for (const auto& c : cases) {
        sink_.Clear();
        Start(2);
        run_->Context()->pSettings->sweepStartFrequency = c.start;
        run_->Context()->pSettings->sweepEndFrequency = c.stop;
        run_->Context()->pSettings->sweepFactor = c.factor;
        ResetFirstMessageFlag();
        EXPECT_EQ(RunVoltageLoopAnalysis(), 1);
        EXPECT_EQ(block_.runStatus, 2);
        ASSERT_EQ(sink_.boxes.size(), 1u);
        EXPECT_NE(sink_.boxes[0].find("frequency sweep"), std::string::npos);
        EXPECT_EQ(graphs_.samples, 0);
        run_.reset();
    }
}

// A switching period that passes with the drive on throughout, or without a pulse, raises the
// duty-extreme flag; the sweep warns at its next point, once however often it is raised.
TEST_F(Sweep, DutyExtremeWarnsOncePerRun) {
    const struct {
        double amplitude;
        int warnings;
    } cases[] = {{0.01, 0}, {3.0, 1}};  // a 3 V sine drives the control past both ends of the clock
    for (const auto& c : cases) {
        sink_.Clear();
        graphs_.samples = 0;
        Start(2);
        run_->Context()->pSettings->stimulusAmplitude = c.amplitude;
        EXPECT_EQ(RunVoltageLoopAnalysis(), 1) << c.amplitude;
        int warnings = 0;
        for (const std::string& box : sink_.boxes) warnings += CountOf(box, "reached an extreme condition");
        EXPECT_EQ(warnings, c.warnings) << c.amplitude;
        EXPECT_EQ(graphs_.samples, 12) << c.amplitude;  // the sweep went on: 20 and 40 kHz
        run_.reset();
    }
}

// The output's missing quantities go non-finite in the step: the run is failed there with the
// control section's message rather than plotting them.
TEST_F(Sweep, AmplifierOutputOutsideTheOutputsIsReportedAndTheRunFails) {
    rec_.settings.amplifierOutput = 3;  // the design has one output
    Start(5);
    EXPECT_EQ(RunAmplifierAnalysis(), 1);
    EXPECT_EQ(block_.runStatus, 2);
    EXPECT_EQ(graphs_.samples, 0);
    EXPECT_GT(CountOf(Log(), "AnalFAmp:  CODE 5217"), 0);
}

TEST(VoltageLoopCrossCheck, AMagnitudeBothEstimatesContradictIsReplaced) {
    const struct {
        const char* name;
        double m, u, v;
        double wantM, wantP;
    } cases[] = {
        {"agrees with the first estimate", 1.005, 1.0, 3.0, 1.005, 0.1},
        {"agrees with the second estimate", 2.99, 1.0, 3.0, 2.99, 0.1},
        {"estimates agree: their geometric mean and mean angle", 2.0, 1.0, 1.005, std::sqrt(1.0 * 1.005), 0.3},
        {"estimates differ: the larger, the second", 0.5, 1.0, 3.0, 3.0, 0.4},
        {"estimates differ: the larger, the first", 0.5, 3.0, 1.0, 3.0, 0.2},
        {"larger than both: kept", 5.0, 1.0, 3.0, 5.0, 0.1},
    };
    for (const auto& c : cases) {
        double m = c.m, p = 0.1;
        CrossCheckMagnitude(m, p, c.u, 0.2, c.v, 0.3 + (c.v > c.u ? 0.1 : 0.0));
        EXPECT_NEAR(m, c.wantM, 1e-12) << c.name;
        EXPECT_NEAR(p, c.wantP, 1e-12) << c.name;
    }
}

TEST(ErrorAmpResponse, SinglePoleWithDcFeedbackIsRfbOverR1WithItsPole) {
    ControlInputRec ci;
    ci.veaVariant = 7;
    ci.optoVariant = 6;
    ci.veaResistor1 = 10e3;
    ci.veaFeedbackResistor = 100e3;
    ci.veaCapacitor3 = 1e-9;
    for (double f : {10.0, 1591.5, 1e5}) {
        const double w = 2.0 * std::numbers::pi * f;
        // -Zf/Zi with Zf = Rfb / (1 + j w Rfb C3)
        const std::complex<double> h = -(100e3 / 10e3) / (1.0 + std::complex<double>(0.0, w * 100e3 * 1e-9));
        double g = 0.0, phi = 0.0;
        ASSERT_EQ(CalcErrorAmpResponse(ci, w, &g, &phi), 1);
        EXPECT_NEAR(g, std::abs(h), 1e-9 * std::abs(h)) << f;
        EXPECT_NEAR(std::remainder(phi - std::arg(h), 2.0 * std::numbers::pi), 0.0, 1e-9) << f;
    }
    ci.optoVariant = 9;  // no such stage: never a made-up response
    double g = 0.0, phi = 0.0;
    EXPECT_EQ(CalcErrorAmpResponse(ci, 1.0, &g, &phi), 0);
}

}  // namespace
