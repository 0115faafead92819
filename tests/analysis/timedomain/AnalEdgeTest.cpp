// The drive edges on a live context: each element's timer takes its own delay plus the edge's
// transition delay, due timers switch at once, timers count down into their element's request,
// the next expiry limits the step, the edges' energy makes the period's transition loss, and
// the active clamp's switches hand the current to the body diodes through the dead times.
#include <gtest/gtest.h>

#include <memory>

#include "analysis/context/AnalContext.h"
#include "analysis/models/AnalInit.h"
#include "analysis/timedomain/AnalABCP.h"
#include "analysis/timedomain/AnalEdge.h"
#include "analysis/timedomain/AnalSetT.h"
#include "platform/core/ReportSink.h"
#include "records/Utils.h"
#include "support/FirstConfigRecords.h"

namespace {

using test_support::FirstConfigRecords;

class DriveEdges : public ::testing::Test {
protected:
    // An active clamp with a transistor rectifier pair, every delay different, and capacitances
    // large enough that the off-edge transition delay shows.
    DriveEdges() {
        PrimaryInputRec& p = rec_.primary;
        p.topology = 7;
        p.secondSwitchOn = 0;
        p.diode1On = 0;
        p.hasClampCapacitor = 1;
        p.clampCapacitorOn = 1;
        p.turnOnFlagA = 1;
        p.transitionClamp = 1;
        p.clampCapacitance = 0.33e-6;
        p.clampSwitchOnResistance = 0.05;
        p.clampSwitchDiodeParamA = 0.8;
        p.clampSwitchDiodeParamB = 0.02;
        p.switch1DiodeParamA = 0.7;
        p.switch1DiodeParamB = 0.01;
        p.turnOnDelay = 60e-9;
        p.stepSetupParamP = 40e-9;
        p.stepSetupParamQ = 45e-9;
        p.clampSwitchOnEdgeDelay = 20e-9;
        p.clampSwitchOffEdgeDelay = 90e-9;
        p.clampSwitchLimitDelay = 95e-9;
        p.stepSetupParamR = 1e-9;  // Csw
        rec_.rectifier.frequencyAnalysisFlagA = 1;
        rec_.rectifier.frequencyAnalysisFlagB = 1;
        rec_.rectifier.rect1OnEdgeDelay = 70e-9;
        rec_.rectifier.rect2OnEdgeDelay = 25e-9;
        rec_.rectifier.rect1OffEdgeDelay = 35e-9;
        rec_.rectifier.rect2OffEdgeDelay = 80e-9;
        rec_.rectifier.rect1LimitDelay = 36e-9;
        rec_.rectifier.rect2LimitDelay = 81e-9;
    }
    void Start() {
        rec_.Attach(block_);
        block_.runStatus = 1;
        run_.reset();
        run_ = std::make_unique<AnalysisRun>(block_);
        ASSERT_EQ(run_->GetStatus(), AnalysisRun::Status::kLive);
        ctx_ = run_->Context();
        ASSERT_EQ(InitializeAnalysis(), 1);
        ASSERT_EQ(PrepareStepEngine(), 1);
        ctx_->inputCapacitor.inputVoltage = 48.0;
        ctx_->primary.clampCapacitorVoltage = 20.0;
        ctx_->primary.switch1Current = 2.0;
        ctx_->primary.switch1Voltage = 0.0;
    }
    void SetUp() override { ResetFirstMessageFlag(); }

    fw::RecordingSink sink_;
    fw::ScopedReportSink scoped_{&sink_};
    FirstConfigRecords rec_;
    AnalysisThreadParams block_;
    std::unique_ptr<AnalysisRun> run_;
    AnalysisContext* ctx_ = nullptr;
};

TEST_F(DriveEdges, EachElementTakesItsDelayPlusTheEdgesTransition) {
    Start();
    EngineStore& st = ctx_->engine;
    const TransitionParams params = TransitionParamsOf(*ctx_);
    const double tdOff = CalcOffEdgeTransition(params, 2.0, 20.0, 48.0).delay;
    ASSERT_GT(tdOff, 20e-9);  // 1 nF through 68 V at 2 A, and the rectifiers'

    struct Case {
        const char* name;
        int edge;  // 0 on, 1 off, 2 current-limited off
        const double* timer;
        double expected;
    };
    const Case cases[] = {
        {"switch 1 on", 0, &st.onEdgeTimer, 60e-9},
        {"clamp switch off", 0, &st.clampOnEdgeTimer, 20e-9},
        {"rectifier 1 on", 0, &st.rectOnEdgeTimer[0][0], 70e-9},
        {"rectifier 2 off", 0, &st.rectOnEdgeTimer[0][1], 25e-9},
        {"switch 1 off", 1, &st.offEdgeTimer, 40e-9 + tdOff},
        {"clamp switch on", 1, &st.clampOffEdgeTimer, 90e-9 + tdOff},
        {"rectifier 1 off", 1, &st.rectOffEdgeTimer[0][0], 35e-9 + tdOff},
        {"rectifier 2 on", 1, &st.rectOffEdgeTimer[0][1], 80e-9 + tdOff},
        // The current limit's own delays, measured ones: no transition delay added.
        {"switch 1 off at the limit", 2, &st.offEdgeTimer, 45e-9},
        {"clamp switch on at the limit", 2, &st.clampOffEdgeTimer, 95e-9},
        {"rectifier 1 off at the limit", 2, &st.rectOffEdgeTimer[0][0], 36e-9},
        {"rectifier 2 on at the limit", 2, &st.rectOffEdgeTimer[0][1], 81e-9},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        st.IdleEdgeTimers();
        if (c.edge == 0) {
            BeginDriveOnEdge(*ctx_);  // no leakage: the on-edge adds nothing
        } else {
            BeginDriveOffEdge(*ctx_, c.edge == 2);
            EXPECT_LT(st.onEdgeTimer, 0.0);
        }
        EXPECT_NEAR(*c.timer, c.expected, 1e-15);
        EXPECT_EQ(ctx_->primary.switch1OnRequest + ctx_->primary.switch1OffRequest, 0);
    }

    // The drive's rise cancels the fall's timers, and the other way round; a pulse that ends
    // before switch 1 followed it leaves switch 1 off.
    BeginDriveOffEdge(*ctx_, false);
    BeginDriveOnEdge(*ctx_);
    EXPECT_LT(st.offEdgeTimer, 0.0);
    EXPECT_LT(st.clampOffEdgeTimer, 0.0);
    EXPECT_LT(st.rectOffEdgeTimer[0][1], 0.0);
    BeginDriveOffEdge(*ctx_, false);
    EXPECT_LT(st.onEdgeTimer, 0.0);
    EXPECT_LT(st.offEdgeTimer, 0.0);
    EXPECT_LT(st.clampOnEdgeTimer, 0.0);
    EXPECT_GT(st.clampOffEdgeTimer, 0.0);
}

TEST_F(DriveEdges, TimersRunOutIntoTheirRequests) {
    Start();
    EngineStore& st = ctx_->engine;
    PrimaryStateRec& p = ctx_->primary;
    SecondaryRectifierStateRec& rs = ctx_->secondaryRectifier[0];
    BeginDriveOnEdge(*ctx_);
    // The nearest expiry limits the step: the clamp switch's 20 ns.
    EXPECT_NEAR(NextEdgeTimer(st, 1), 20e-9, 1e-18);
    // Exactly one step's worth runs out in that step.
    EXPECT_EQ(CountDownEdgeTimers(*ctx_, 20e-9), 1);
    EXPECT_EQ(p.clampSwitchOffRequest, 1);
    EXPECT_EQ(p.switch1OnRequest, 0);
    EXPECT_EQ(CountDownEdgeTimers(*ctx_, 5e-9), 1);  // rectifier 2 at 25 ns
    EXPECT_EQ(rs.delayExpired, 1);
    EXPECT_EQ(CountDownEdgeTimers(*ctx_, 30e-9), 0);
    EXPECT_EQ(CountDownEdgeTimers(*ctx_, 5e-9 - 4e-10), 1);  // within the resolution of 60 ns
    EXPECT_EQ(p.switch1OnRequest, 1);
    EXPECT_EQ(rs.switchPathASettled, 0);
    EXPECT_EQ(CountDownEdgeTimers(*ctx_, 10e-9), 1);
    EXPECT_EQ(rs.switchPathASettled, 1);
    EXPECT_LT(NextEdgeTimer(st, 1), 0.0);
    EXPECT_EQ(CountDownEdgeTimers(*ctx_, 1e-6), 0);
}

// Rectifier 1's channel is driven from its on-edge timer to its off-edge timer, rectifier 2's
// the other way round. Driven, a channel conducts whatever its current's sign; let go with its
// current reversed, the position opens after the step.
TEST_F(DriveEdges, ChannelsConductBetweenTheirTimers) {
    Start();
    SecondaryRectifierStateRec& rs = ctx_->secondaryRectifier[0];
    OutputStepStore& o = ctx_->engine.output[0];
    ctx_->stepState.inverseTimeStepTermA = 1e-12;  // the after-step countdown leaves the timers
    rs.switchPathBOn = rs.diodeConducting = 1;     // freewheeling on rectifier 2's channel
    BeginDriveOnEdge(*ctx_);
    CountDownEdgeTimers(*ctx_, 1e-6);
    EXPECT_EQ(rs.switchPathAOn, 1);
    EXPECT_EQ(rs.rectifier1On, 1);
    EXPECT_EQ(rs.switchPathBOn, 0);
    o.forwardCurrent = -0.5;
    o.forwardSlope = -1e4;
    o.freewheelCurrent = 0.3;
    o.freewheelSlope = -1e3;
    ASSERT_EQ(DetermineTimeStepAfterStep(), 1);
    EXPECT_EQ(rs.rectifier1On, 1) << "a driven channel carries a reversed current";
    EXPECT_EQ(rs.diodeConducting, 1) << "rectifier 2's diode keeps its forward current";

    BeginDriveOffEdge(*ctx_, false);
    CountDownEdgeTimers(*ctx_, 1e-6);
    EXPECT_EQ(rs.switchPathAOn, 0);
    EXPECT_EQ(rs.switchPathBOn, 1);
    o.freewheelCurrent = -0.2;
    ASSERT_EQ(DetermineTimeStepAfterStep(), 1);
    EXPECT_EQ(rs.rectifier1On, 0) << "let go with its current reversed, rectifier 1 opens";
    EXPECT_EQ(rs.diodeConducting, 1);
}

TEST_F(DriveEdges, ZeroDelaysSwitchAtOnce) {
    PrimaryInputRec& pi = rec_.primary;
    pi.turnOnDelay = pi.stepSetupParamP = pi.clampSwitchOnEdgeDelay = pi.clampSwitchOffEdgeDelay = 0.0;
    pi.stepSetupParamR = 0.0;
    rec_.rectifier.rect1OnEdgeDelay = 0.0;
    Start();
    ctx_->primary.switch1Current = 0.0;  // nothing to swing: no transition delay either
    PrimaryStateRec& p = ctx_->primary;
    BeginDriveOnEdge(*ctx_);
    EXPECT_EQ(p.switch1OnRequest, 1);
    EXPECT_EQ(p.clampSwitchOffRequest, 1);
    EXPECT_EQ(ctx_->secondaryRectifier[0].switchPathASettled, 1);
    EXPECT_LT(ctx_->engine.onEdgeTimer, 0.0);
    p.switch1OnRequest = p.clampSwitchOffRequest = 0;
    BeginDriveOffEdge(*ctx_, false);
    EXPECT_EQ(p.switch1OffRequest, 1);
    EXPECT_EQ(p.clampSwitchOnRequest, 1);
}

TEST_F(DriveEdges, PeriodTransitionLossIsTheEdgesEnergyOverThePeriod) {
    Start();
    const TransitionParams params = TransitionParamsOf(*ctx_);
    ctx_->primary.switch1Voltage = 30.0;
    const double on = CalcOnEdgeTransition(params, 30.0, 48.0, 60e-9).energy;
    const double off = CalcOffEdgeTransition(params, 2.0, 20.0, 48.0).energy;
    // With the switch's capacitance alone: ½·Csw·V² at the on-edge, ½·Csw·(Vin + Vclamp)² at the off-edge.
    EXPECT_DOUBLE_EQ(on, 0.5 * 1e-9 * 900.0);
    EXPECT_DOUBLE_EQ(off, 0.5 * 1e-9 * 68.0 * 68.0);
    ctx_->primary.cycleAccumulator = 0.0;
    BeginDriveOnEdge(*ctx_);
    BeginDriveOffEdge(*ctx_, false);
    StartTransitionPeriod(*ctx_);
    EXPECT_NEAR(ctx_->engine.periodTransitionLoss, 0.5 * 1e-9 * (900.0 + 68.0 * 68.0) / 1e-5, 1e-12);
    EXPECT_EQ(ctx_->primary.cycleAccumulator, 0.0);
}

TEST_F(DriveEdges, ActiveClampHandsTheCurrentToTheBodyDiodes) {
    Start();
    PrimaryStateRec& p = ctx_->primary;
    struct Case {
        const char* name;
        int32_t state, sw1, sw1Diode, clamp, clampDiode;  // before
        void (*request)(PrimaryStateRec&);
        double current;                                   // winding current into the drain (A)
        int32_t toState, toSw1, toSw1Diode, toClamp, toClampDiode;
    };
    const Case cases[] = {
        {"switch 1 off: the clamp switch's diode takes the current", 2, 1, 0, 0, 0,
         [](PrimaryStateRec& r) { r.switch1OffRequest = 1; }, 2.0, 1, 0, 0, 0, 1},
        {"switch 1 off with no current: idle", 2, 1, 0, 0, 0, [](PrimaryStateRec& r) { r.switch1OffRequest = 1; },
         0.0, 0, 0, 0, 0, 0},
        {"clamp channel on after the dead time, beside its diode", 1, 0, 0, 0, 1,
         [](PrimaryStateRec& r) { r.clampSwitchOnRequest = 1; }, 1.0, 1, 0, 0, 1, 1},
        {"both at once: no dead time", 2, 1, 0, 0, 0,
         [](PrimaryStateRec& r) { r.switch1OffRequest = r.clampSwitchOnRequest = 1; }, 2.0, 1, 0, 0, 1, 0},
        {"clamp diode lets go: idle", 1, 0, 0, 0, 1, [](PrimaryStateRec& r) { r.clampSwitchDiodeOffRequest = 1; }, 0.0,
         0, 0, 0, 0, 0},
        {"clamp channel on from idle", 0, 0, 0, 0, 0, [](PrimaryStateRec& r) { r.clampSwitchOnRequest = 1; }, 0.0, 1, 0,
         0, 1, 0},
        {"clamp channel off, current negative: switch 1's diode", 1, 0, 0, 1, 0,
         [](PrimaryStateRec& r) { r.clampSwitchOffRequest = 1; }, -1.5, 2, 0, 1, 0, 0},
        {"clamp channel off, current positive: its own diode", 1, 0, 0, 1, 0,
         [](PrimaryStateRec& r) { r.clampSwitchOffRequest = 1; }, 0.5, 1, 0, 0, 0, 1},
        {"switch 1 channel after its diode", 2, 0, 1, 0, 0, [](PrimaryStateRec& r) { r.switch1OnRequest = 1; }, -0.5,
         2, 1, 0, 0, 0},
        {"switch 1's diode lets go: idle", 2, 0, 1, 0, 0, [](PrimaryStateRec& r) { r.switch1DiodeOffRequest = 1; },
         0.0, 0, 0, 0, 0, 0},
        {"switch 1 on takes the clamp channel off", 1, 0, 0, 1, 0, [](PrimaryStateRec& r) { r.switch1OnRequest = 1; },
         -1.0, 2, 1, 0, 0, 0},
        {"clamp channel on takes switch 1 off", 2, 1, 0, 0, 0, [](PrimaryStateRec& r) { r.clampSwitchOnRequest = 1; },
         2.0, 1, 0, 0, 1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        p.switchState = c.state;
        p.switch1Conducting = c.sw1;
        p.switch1DiodeConducting = c.sw1Diode;
        p.clampSwitchActive = c.clamp;
        p.clampSwitchDiodeConducting = c.clampDiode;
        p.primaryWindingCurrent = c.current;
        ctx_->secondaryRectifier[0].rectifier1On = 0;
        c.request(p);
        ASSERT_EQ(DeterminePrimarySwitchState(), 1);
        EXPECT_EQ(p.switchState, c.toState);
        EXPECT_EQ(p.switch1Conducting, c.toSw1);
        EXPECT_EQ(p.switch1DiodeConducting, c.toSw1Diode);
        EXPECT_EQ(p.clampSwitchActive, c.toClamp);
        EXPECT_EQ(p.clampSwitchDiodeConducting, c.toClampDiode);
        EXPECT_EQ(p.switch1OnRequest + p.switch1OffRequest + p.clampSwitchOnRequest + p.clampSwitchOffRequest +
                      p.switch1DiodeOffRequest + p.clampSwitchDiodeOffRequest,
                  0);
    }
}

TEST_F(DriveEdges, StateThreeLastsWhileAForwardRectifierConducts) {
    for (int32_t topology : {7, 5}) {
        SCOPED_TRACE(topology);
        rec_.primary.topology = topology;
        rec_.primary.turnOnFlagA = topology == 7;
        Start();
        PrimaryStateRec& p = ctx_->primary;
        SecondaryRectifierStateRec& rs = ctx_->secondaryRectifier[0];
        p.switchState = 2;
        p.switch1Conducting = 1;
        p.primaryWindingCurrent = 2.0;
        rs.rectifier1On = 1;
        p.switch1OffRequest = 1;
        ASSERT_EQ(DeterminePrimarySwitchState(), 1);
        EXPECT_EQ(p.switchState, 3);
        ASSERT_EQ(DeterminePrimarySwitchState(), 1);
        EXPECT_EQ(p.switchState, 3);
        EXPECT_EQ(ctx_->engine.switchStateChanged, 0);
        rs.rectifier1On = 0;
        ASSERT_EQ(DeterminePrimarySwitchState(), 1);
        EXPECT_EQ(p.switchState, 1);
        EXPECT_EQ(ctx_->engine.switchStateChanged, 1);
        // The two-switch forward has no state 3.
    }
    rec_.primary.topology = 1;
    Start();
    ctx_->primary.switchState = 2;
    ctx_->primary.switch1Conducting = 1;
    ctx_->secondaryRectifier[0].rectifier1On = 1;
    ctx_->primary.switch1OffRequest = 1;
    ASSERT_EQ(DeterminePrimarySwitchState(), 1);
    EXPECT_EQ(ctx_->primary.switchState, 1);
}

}  // namespace
