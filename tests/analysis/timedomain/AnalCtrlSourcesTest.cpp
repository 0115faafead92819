// The control side's sources and feedback terms in the step: the error amplifier's AC
// reference, the error and current-loop injections, the soft-start reset by the current limit,
// and the modulator term of the feedback sum with its RC lag.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <numbers>

#include "analysis/context/AnalContext.h"
#include "analysis/models/AnalInit.h"
#include "analysis/timedomain/AnalABCP.h"
#include "analysis/timedomain/AnalABCS.h"
#include "analysis/timedomain/AnalSetT.h"
#include "analysis/timedomain/AnalTime.h"
#include "platform/core/ReportSink.h"
#include "records/Utils.h"
#include "support/FirstConfigRecords.h"

namespace {

using test_support::FirstConfigRecords;

constexpr double kH = 1e-6;  // s, the step of every case
constexpr double kTwoPi = 2.0 * std::numbers::pi;

class ControlSources : public ::testing::Test {
protected:
    void SetUp() override {
        ResetFirstMessageFlag();
        rec_.control.softStartRate = 1e3;  // V/s: 1 mV a step
    }
    void Start() {
        rec_.Attach(block_);
        block_.runStatus = 1;
        run_ = std::make_unique<AnalysisRun>(block_);
        ASSERT_EQ(run_->GetStatus(), AnalysisRun::Status::kLive);
        ctx_ = run_->Context();
        ASSERT_EQ(InitializeAnalysis(), 1);
        ASSERT_EQ(PrepareStepEngine(), 1);
        ctx_->stepState.inverseTimeStep = 1.0 / kH;
        ctx_->stepState.inverseTimeStepTermA = kH;
        ctx_->inputCapacitor.inputVoltage = 48.0;  // the references run
    }

    fw::RecordingSink sink_;
    fw::ScopedReportSink scoped_{&sink_};
    FirstConfigRecords rec_;
    AnalysisThreadParams block_;
    std::unique_ptr<AnalysisRun> run_;
    AnalysisContext* ctx_ = nullptr;
};

// The reference, the error injection and the current-loop injection each follow
// offset + amplitude sin(2 pi f t) from phase 0 at turn-on; the error injection adds to the
// soft-start limited error, the current injection to the sensed current.
TEST_F(ControlSources, SinesFollowTheirClosedFormsFromTurnOn) {
    ControlInputRec& c = rec_.control;
    c.veaReferenceAcOn = 1;
    c.veaReferenceAmplitude = 0.2;
    c.veaReferenceFrequency = 1e3;
    c.errorInjectionOn = 1;
    c.errorAmpOffset = 0.05;
    c.errorInjectionAmplitude = 0.3;
    c.errorInjectionFrequency = 2.5e3;
    c.controlMode = 4;  // average current: the current amplifier reads the injected sense
    c.currentInjectionOn = 1;
    c.currentInjectionOffset = -0.1;
    c.currentInjectionAmplitude = 0.4;
    c.currentInjectionFrequency = 7e3;
    Start();
    ControlStateRec& ctl = ctx_->control;
    for (int n = 1; n <= 300; ++n) {
        const double t = n * kH;
        SCOPED_TRACE(n);
        ASSERT_EQ(CalcControlSectionQuantities(), 1);
        EXPECT_NEAR(ctl.veaReference, c.veaReferenceValue + 0.2 * std::sin(kTwoPi * 1e3 * t), 1e-9);
        const double limited = std::min(ctl.optoCoupledError, ctl.softStartControl);
        EXPECT_NEAR(ctl.limitedError - limited, 0.05 + 0.3 * std::sin(kTwoPi * 2.5e3 * t), 1e-9);
        EXPECT_NEAR(ctl.currentLoopInjection, -0.1 + 0.4 * std::sin(kTwoPi * 7e3 * t), 1e-9);
    }
}

// A sweep after its settling writes its own injections: the sources keep their offsets.
TEST_F(ControlSources, SweepKeepsTheSourcesOffsets) {
    ControlInputRec& c = rec_.control;
    c.errorInjectionOn = 1;
    c.errorAmpOffset = 0.05;
    c.errorInjectionAmplitude = 0.3;
    c.errorInjectionFrequency = 2.5e3;
    c.currentInjectionOn = 1;
    c.currentInjectionOffset = -0.1;
    c.currentInjectionAmplitude = 0.4;
    c.currentInjectionFrequency = 7e3;
    rec_.settings.analysisKind = 2;
    Start();
    ctx_->stepState.settling = 0;
    ControlStateRec& ctl = ctx_->control;
    ctl.currentLoopSweepInjection = 0.02;
    for (int n = 0; n < 50; ++n) {
        ASSERT_EQ(CalcControlSectionQuantities(), 1);
        const double limited = std::min(ctl.optoCoupledError + ctl.voltageLoopInjection, ctl.softStartControl);
        EXPECT_NEAR(ctl.limitedError - limited, 0.05, 1e-12);
        EXPECT_NEAR(ctl.currentLoopInjection, -0.1 + 0.02, 1e-12);
    }
}

// The soft start restarts from 0 only when the current limit and its discharge are enabled and
// armed and the last step's filtered sense reached both thresholds.
TEST_F(ControlSources, SoftStartResetsOnlyOnItsWholeCondition) {
    struct Case {
        const char* name;
        int32_t limit, enabled, armed;
        double sense;  // last step's filtered current-limit sense (V)
        bool resets;
    };
    // Thresholds: current limit 5 V (the records'), discharge 6 V.
    const Case cases[] = {
        {"above both", 1, 1, 1, 6.5, true},
        {"at both", 1, 1, 1, 6.0, true},
        {"above the limit only", 1, 1, 1, 5.5, false},
        {"discharge disabled", 1, 0, 1, 6.5, false},
        {"not armed", 1, 1, 0, 6.5, false},
        {"no current limit", 0, 1, 1, 6.5, false},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        rec_ = FirstConfigRecords{};
        rec_.control.softStartRate = 1e3;
        rec_.control.currentLimitEnabled = k.limit;
        rec_.control.softStartResetEnabled = k.enabled;
        rec_.control.softStartResetArmed = k.armed;
        rec_.control.softStartResetThreshold = 6.0;
        Start();
        ControlStateRec& ctl = ctx_->control;
        ctl.softStartCapVoltage = 2.0;
        ctl.currentLimitFeedback = k.sense;
        ASSERT_EQ(CalcControlSectionQuantities(), 1);
        EXPECT_NEAR(ctl.softStartCapVoltage, (k.resets ? 0.0 : 2.0) + 1e-3, 1e-12);
        // The amplifier's clamp follows the restarted soft start at once.
        EXPECT_NEAR(ctl.errorUpperClamp, std::min(rec_.control.errorUpperLimit, ctl.softStartControl), 1e-12);
        run_.reset();
    }
}

// Feedback = sum over the outputs of (modulator weight x modulator voltage + load weight x
// output voltage) / target x gain; the modulator voltage is the rectified voltage through the
// backward-Euler RC lag: after n steps of a constant u from 0, u (1 - (tau s / (tau s + 1))^n).
TEST_F(ControlSources, ModulatorTermEntersTheFeedbackThroughItsLag) {
    rec_.rectifier.dutyWeight = 0.25;
    rec_.load.rippleWeight = 0.75;
    rec_.filter.engineSetupParamA = 20e-6;  // s
    Start();
    SecondaryRectifierStateRec& rs = ctx_->secondaryRectifier[0];
    ctx_->engine.output[0].chokeNodeVoltage = 30.0;
    const double a = 20.0 / 21.0;  // tau s / (tau s + 1) at tau = 20 us, h = 1 us
    for (int n = 1; n <= 40; ++n) {
        ASSERT_EQ(AssembleSecRectifierElementsPass2(), 1);
        EXPECT_NEAR(rs.modulatorVoltage, 30.0 * (1.0 - std::pow(a, n)), 1e-9) << n;
    }
    ctx_->outputFilter[0].outputVoltage = 10.0;
    ASSERT_EQ(CalcControlSectionQuantities(), 1);
    const double expected = (0.25 * rs.modulatorVoltage + 0.75 * 10.0) / rec_.load.outputVoltage *
                            rec_.control.feedbackGain;
    EXPECT_NEAR(ctx_->control.veaReferenceCopy, expected, 1e-12);

    // Without a lag the modulator voltage is the rectified voltage of the step.
    rec_.filter.engineSetupParamA = 0.0;
    ctx_->pOutputFilterInput[0]->engineSetupParamA = 0.0;
    ctx_->engine.output[0].chokeNodeVoltage = 12.0;
    ASSERT_EQ(AssembleSecRectifierElementsPass2(), 1);
    EXPECT_EQ(rs.modulatorVoltage, 12.0);
}

}  // namespace
