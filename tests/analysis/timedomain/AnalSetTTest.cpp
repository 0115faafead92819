// The per-step set-up on a live context: switch-state moves, the drive latch and its delay
// timers, the time-step choice, the conduction events after a step, and whole short runs
// (one step past a tiny end time; a bad number ending the run with its message).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <vector>

#include "analysis/context/AnalContext.h"
#include "analysis/models/AnalInit.h"
#include "analysis/timedomain/AnalABCP.h"
#include "analysis/timedomain/AnalDABC.h"
#include "analysis/timedomain/AnalSetT.h"
#include "analysis/timedomain/AnalTime.h"
#include "platform/core/ReportSink.h"
#include "records/Utils.h"
#include "support/FirstConfigRecords.h"

namespace {

using test_support::FirstConfigRecords;

class StepSetUp : public ::testing::Test {
protected:
    void Start() {
        rec_.Attach(block_);
        block_.runStatus = 1;
        run_ = std::make_unique<AnalysisRun>(block_);
        ASSERT_EQ(run_->GetStatus(), AnalysisRun::Status::kLive);
        ctx_ = run_->Context();
        ASSERT_EQ(InitializeAnalysis(), 1);
        ASSERT_EQ(PrepareStepEngine(), 1);
    }
    void SetUp() override { ResetFirstMessageFlag(); }

    fw::RecordingSink sink_;
    fw::ScopedReportSink scoped_{&sink_};
    FirstConfigRecords rec_;
    AnalysisThreadParams block_;
    std::unique_ptr<AnalysisRun> run_;
    AnalysisContext* ctx_ = nullptr;
};

TEST_F(StepSetUp, SwitchStateMoves) {
    struct Case {
        const char* name;
        int32_t from, onRequest, offRequest, resetEnded;
        int32_t to;
        int32_t topology = 1;
    };
    const Case cases[] = {
        {"rest to on", 0, 1, 0, 0, 2},
        {"reset to on (reset cut short)", 1, 1, 0, 0, 2},
        {"on to reset", 2, 0, 1, 0, 1},
        {"reset ends", 1, 0, 0, 1, 0},
        {"off request while off is dropped", 0, 0, 1, 0, 0},
        {"reset end outside the reset is kept waiting", 2, 0, 0, 1, 2},
        // The passive clamp: its rectifier carries the reset, and its current's end rests.
        {"clamp: on to clamping", 2, 0, 1, 0, 1, 9},
        {"clamp: clamping ends", 1, 0, 0, 1, 0, 9},
        {"clamp: clamping cut short by the next on", 1, 1, 0, 0, 2, 9},
    };
    Start();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ctx_->pPrimaryInput->topology = c.topology;
        const bool clamp = c.topology == 9;
        PrimaryStateRec& pri = ctx_->primary;
        pri.switchState = c.from;
        pri.switch1OnRequest = c.onRequest;
        pri.switch1OffRequest = c.offRequest;
        (clamp ? pri.clampRectifierOffRequest : pri.resetRectifiersOffRequest) = c.resetEnded;
        ASSERT_EQ(DeterminePrimarySwitchState(), 1);
        EXPECT_EQ(pri.switchState, c.to);
        EXPECT_EQ(ctx_->engine.switchStateChanged, c.from != c.to ? 1 : 0);
        const int32_t resetPathOn = clamp ? pri.clampRectifierOn : pri.resetRectifiersOn;
        EXPECT_EQ(resetPathOn, c.to == 1 ? 1 : (c.from == c.to ? resetPathOn : 0));
        if (clamp) {
            EXPECT_EQ(pri.resetRectifiersOn, 0);
        }
        EXPECT_EQ(pri.switch1OnRequest, 0);
        EXPECT_EQ(pri.switch1OffRequest, 0);
    }
}

TEST_F(StepSetUp, DriveEdgesLoadTheirTimers) {
    rec_.primary.turnOnDelay = 3e-8;
    rec_.primary.stepSetupParamP = 4e-8;
    rec_.primary.stepSetupParamQ = 6e-8;
    Start();
    ControlStateRec& ctl = ctx_->control;
    EngineStore& st = ctx_->engine;
    StepStateRec& step = ctx_->stepState;

    // The falling clock inhibits the drive whatever the comparator says.
    ctl.clockSlope = -1.0;
    ctl.pwmComparatorDifferential = 0.5;
    UpdateControlSectionState();
    EXPECT_EQ(step.driveOn, 0);

    ctl.clockSlope = 1.0;
    UpdateControlSectionState();
    EXPECT_EQ(step.driveOn, 1);
    EXPECT_DOUBLE_EQ(st.onEdgeTimer, 3e-8);

    // The pulse ends before the switch followed it: the switch never turns on.
    ctl.pwmComparatorDifferential = -0.1;
    UpdateControlSectionState();
    EXPECT_EQ(step.driveOn, 0);
    EXPECT_LT(st.onEdgeTimer, 0.0);
    EXPECT_LT(st.offEdgeTimer, 0.0);

    // One pulse per clock period: the comparator asking again before the period ends is
    // ignored.
    ctl.pwmComparatorDifferential = 0.5;
    UpdateControlSectionState();
    EXPECT_EQ(step.driveOn, 0);

    // A normal off edge, and one forced by the current limit with its own delay, each in a
    // period of its own.
    const double delays[2] = {4e-8, 6e-8};
    for (int limited = 0; limited < 2; ++limited) {
        ctl.comparatorAux = 0.0;
        st.pulseEnded = 0;  // the clock started the next period
        ctl.pwmComparatorDifferential = 0.5;
        UpdateControlSectionState();
        EXPECT_EQ(step.driveOn, 1);
        st.onEdgeTimer = -1.0;  // the switch has followed
        if (limited) ctl.comparatorAux = 1.0;
        else ctl.pwmComparatorDifferential = -0.1;
        UpdateControlSectionState();
        EXPECT_EQ(step.driveOn, 0);
        EXPECT_DOUBLE_EQ(st.offEdgeTimer, delays[limited]);
    }
}

// Hysteretic control has no clock: the comparator's difference alone turns the drive on and
// off, a crossing due within the timer resolution counting as passed; each rising edge
// measures the period into the running mean and starts a switching cycle.
TEST_F(StepSetUp, HystereticDriveFollowsTheComparatorAndMeasuresItsPeriod) {
    rec_.control.controlMode = 3;
    rec_.control.clockEnabled = 0;
    Start();
    ControlStateRec& ctl = ctx_->control;
    StepStateRec& step = ctx_->stepState;
    struct Row {
        const char* name;
        double difference, rate;
        int32_t driveBefore, driveAfter;
    };
    const Row rows[] = {
        {"below, rising, 1 us away: stays off", -0.01, 1e4, 0, 0},
        {"below, due within the resolution: on", -1e-6, 1e4, 0, 1},
        {"above, falling, 2 us away: stays on", 0.02, -1e4, 1, 1},
        {"above and rising: stays on", 0.02, 1e4, 1, 1},
        {"above, due within the resolution: off", 1e-6, -1e4, 1, 0},
        {"above: on", 0.02, -1e4, 0, 1},
        {"below: off", -0.02, 1e4, 1, 0},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.name);
        ASSERT_EQ(step.driveOn, r.driveBefore);
        ctl.pwmComparatorDifferential = r.difference;
        ctl.pwmComparatorDifferentialSlope = r.rate;
        UpdateControlSectionState();
        EXPECT_EQ(step.driveOn, r.driveAfter);
    }
    // The current limit holds the drive off.
    ctl.comparatorAux = 5.0;
    ctl.pwmComparatorDifferential = 0.02;
    UpdateControlSectionState();
    EXPECT_EQ(step.driveOn, 0);
    ctl.comparatorAux = 0.0;

    // Rising edges at 40, 50 and 70 us (the first at the run's first step): the mean of 10 and
    // 20 us; each edge starts a cycle.
    const double edges[] = {40e-6, 50e-6, 70e-6};
    for (int k = 0; k < 3; ++k) {
        step.stepCount = k == 0 ? 0 : 10 * k;
        step.time = edges[k];
        step.cycleTime = 3e-6;
        ctl.pwmComparatorDifferential = 0.02;
        UpdateControlSectionState();
        ASSERT_EQ(step.driveOn, 1);
        EXPECT_EQ(step.cycleTime, 0.0);
        ctl.pwmComparatorDifferential = -0.02;
        UpdateControlSectionState();
        ASSERT_EQ(step.driveOn, 0);
    }
    EXPECT_EQ(step.driveEdgeCount, 3u);
    EXPECT_DOUBLE_EQ(step.switchingPeriod, 15e-6);
    EXPECT_DOUBLE_EQ(step.lastDriveEdgeTime, 70e-6);
}

TEST_F(StepSetUp, ZeroDelaySwitchesAtOnce) {
    rec_.primary.turnOnDelay = 0.0;
    Start();
    ctx_->control.clockSlope = 1.0;
    ctx_->control.pwmComparatorDifferential = 0.5;
    UpdateControlSectionState();
    EXPECT_EQ(ctx_->primary.switch1OnRequest, 1);
    EXPECT_LT(ctx_->engine.onEdgeTimer, 0.0);
}

TEST_F(StepSetUp, TimeStepLandsOnKnownEventsAndShortensBeforePredictedOnes) {
    Start();
    StepStateRec& step = ctx_->stepState;
    EngineStore& st = ctx_->engine;
    ControlStateRec& ctl = ctx_->control;
    auto choose = [&](double lastStep) {
        step.nextTimeStep = rec_.settings.initialTimeStep;
        step.inverseTimeStepTermA = lastStep;
        const double before = step.time;
        EXPECT_EQ(DetermineTimeStep(), 1);
        return step.time - before;
    };
    ctl.clockVoltage = 2.0;
    ctl.clockSlope = 1e3;  // far from its turn
    ctl.pwmComparatorDifferential = -1.0;

    EXPECT_NEAR(choose(1e-7), 1e-7, 1e-20);  // the largest step
    EXPECT_NEAR(choose(2e-8), 4e-8, 1e-20);  // grows at most twice
    EXPECT_NEAR(choose(1e-9), 1e-8, 1e-20);  // and to 10 ns after a step of 1 ns or less
    EXPECT_NEAR(choose(2e-10), 1e-8, 1e-20);
    st.onEdgeTimer = 3e-8;
    EXPECT_NEAR(choose(1e-7), 3e-8, 1e-20);  // lands on the timer
    st.onEdgeTimer = -1.0;
    ctl.pwmComparatorDifferential = 0.04;  // crossing in 0.04 V / 1e3 V/s: far
    ctl.clockSlope = 1e6;                  // crossing in 40 ns
    EXPECT_NEAR(choose(1e-7), 4e-8, 1e-20);
    ctl.pwmComparatorDifferential = -1.0;
    ctl.clockSlope = 1e3;
    st.switchStateChanged = 1;
    EXPECT_NEAR(choose(1e-7), 1e-9, 1e-20);  // the restart step
    st.switchStateChanged = 0;

    // A conducting rectifier whose current ends in 50 ns: a time-domain run lands on it; a
    // sweep stops short of it.
    ctx_->secondaryRectifier[0].rectifier1On = 1;
    st.output[0].forwardCurrent = 1.0;
    st.output[0].forwardSlope = -2e7;
    ctx_->pSettings->analysisKind = 0;
    EXPECT_NEAR(choose(1e-7), 5e-8, 1e-20);
    ctx_->pSettings->analysisKind = 2;
    const double h = choose(1e-7);
    EXPECT_LT(h, 5e-8);
    EXPECT_GT(h, 2e-8);
}

// After an output rectifier's current runs out the step resumes at the largest step taken
// since the last restart (within the growth limit); a device turning on restarts it (1 ns, or
// 32 ns with the transformer at rest), and so does a current end when the control senses the
// filter capacitors' current (which jumps there).
TEST_F(StepSetUp, StepResumesAfterAnOutputCurrentEndsAndRestartsOtherwise) {
    Start();
    StepStateRec& step = ctx_->stepState;
    EngineStore& st = ctx_->engine;
    SecondaryRectifierStateRec& rs = ctx_->secondaryRectifier[0];
    ControlStateRec& ctl = ctx_->control;
    ctl.clockVoltage = 2.0;
    ctl.clockSlope = 1e3;  // far from its turn
    ctl.pwmComparatorDifferential = -1.0;
    auto take = [&](double lastStep) {
        step.inverseTimeStepTermA = lastStep;
        const double before = step.time;
        EXPECT_EQ(DetermineTimeStep(), 1);
        return step.time - before;
    };
    auto endForwardCurrent = [&] {
        rs.rectifier1On = 1;
        st.output[0].forwardCurrent = -1e-6;
        st.output[0].freewheelVoltage = -1.0;
        st.output[0].forwardVoltage = -1.0;
        DetermineTimeStepAfterStep();
        ASSERT_EQ(rs.rectifier1On, 0);
        ASSERT_EQ(st.deviceEventThisStep, 1);
    };
    step.nextTimeStep = rec_.settings.initialTimeStep;
    EXPECT_NEAR(take(1e-7), 1e-7, 1e-20);
    endForwardCurrent();
    EXPECT_NEAR(take(3e-9), 6e-9, 1e-20);  // twice the approach's last step
    endForwardCurrent();
    EXPECT_NEAR(take(6e-8), 1e-7, 1e-20);  // back at the step before the approach

    // A rectifier coming on restarts the step.
    rs.diodeConducting = 0;
    rs.rectifier1On = 0;
    st.output[0].freewheelVoltage = 0.71;
    DetermineTimeStepAfterStep();
    ASSERT_EQ(rs.diodeConducting, 1);
    ctx_->primary.switchState = 0;
    EXPECT_NEAR(take(1e-7), 3.2e-8, 1e-20);
    DetermineTimeStepAfterStep();
    ctx_->primary.switchState = 2;
    st.deviceEventThisStep = 1;
    st.outputCurrentEndsOnly = 0;
    EXPECT_NEAR(take(1e-7), 1e-9, 1e-20);
    st.output[0].freewheelCurrent = 1.0;
    st.output[0].freewheelSlope = 0.0;

    // Sensing the capacitor current: the current end restarts it too.
    step.nextTimeStep = rec_.settings.initialTimeStep;
    take(1e-7);
    ctx_->pControlInput->senseSource = 2;
    endForwardCurrent();
    EXPECT_NEAR(take(6e-8), 1e-9, 1e-20);
}

TEST_F(StepSetUp, ConductionChangesAfterTheStep) {
    Start();
    EngineStore& st = ctx_->engine;
    SecondaryRectifierStateRec& rs = ctx_->secondaryRectifier[0];
    PrimaryStateRec& pri = ctx_->primary;
    ctx_->stepState.inverseTimeStepTermA = 1e-8;

    // Forward rectifier: current through zero ends it; freewheel: forward voltage starts it.
    rs.rectifier1On = 1;
    st.output[0].forwardCurrent = -1e-6;
    rs.diodeConducting = 0;
    st.output[0].freewheelVoltage = 0.71;
    DetermineTimeStepAfterStep();
    EXPECT_EQ(rs.rectifier1On, 0);
    EXPECT_EQ(rs.diodeConducting, 1);
    EXPECT_EQ(st.deviceEventThisStep, 1);

    // A current that would end within the event floor counts as ended.
    st.output[0].freewheelCurrent = 1e-3;
    st.output[0].freewheelSlope = -1e8;  // 10 ps
    st.output[0].forwardVoltage = 0.69;  // below its threshold: stays off
    DetermineTimeStepAfterStep();
    EXPECT_EQ(rs.diodeConducting, 0);
    EXPECT_EQ(rs.rectifier1On, 0);
    st.output[0].freewheelVoltage = -1.0;

    // The reset current's end asks the switch state to move to rest.
    pri.switchState = 1;
    pri.primaryWindingCurrent = -1e-9;
    DetermineTimeStepAfterStep();
    EXPECT_EQ(pri.resetRectifiersOffRequest, 1);
    // With a passive clamp it is the clamp rectifier's end.
    pri.resetRectifiersOffRequest = 0;
    ctx_->pPrimaryInput->topology = 9;
    DetermineTimeStepAfterStep();
    EXPECT_EQ(pri.clampRectifierOffRequest, 1);
    EXPECT_EQ(pri.resetRectifiersOffRequest, 0);
    pri.clampRectifierOffRequest = 0;
    // Resonant reset: the current through zero ends nothing; the body diode takes the ring
    // below its forward voltage and lets go when its current would reverse.
    ctx_->pPrimaryInput->topology = 5;
    ctx_->pPrimaryInput->switch1DiodeParamA = 0.8;
    pri.switch1DiodeConducting = 0;
    pri.switch1Voltage = -0.81;
    pri.switch1Current = -0.3;
    DetermineTimeStepAfterStep();
    EXPECT_EQ(pri.switch1DiodeConducting, 1);
    EXPECT_EQ(st.deviceEventThisStep, 1);
    EXPECT_EQ(pri.resetRectifiersOffRequest + pri.clampRectifierOffRequest, 0);
    pri.switch1Current = 1e-6;
    DetermineTimeStepAfterStep();
    EXPECT_EQ(pri.switch1DiodeConducting, 0);
    ctx_->pPrimaryInput->topology = 1;

    // Nothing changed: no event; the next step starts from the largest.
    pri.switchState = 0;
    st.output[0].freewheelVoltage = -1.0;
    st.output[0].forwardVoltage = -1.0;
    DetermineTimeStepAfterStep();
    EXPECT_EQ(st.deviceEventThisStep, 0);
    EXPECT_EQ(ctx_->stepState.nextTimeStep, rec_.settings.initialTimeStep);
}

// A transistor rectifier whose channel is not driven starts to conduct once its voltage passes
// the lower knee of its two diodes: the section's diode or the transistor's body diode.
TEST_F(StepSetUp, ALetGoTransistorPositionStartsAtItsLowerKnee) {
    struct Row {
        const char* name;
        int position;      // 0 rectifier 1, 1 rectifier 2
        double bodyDiode;  // forward voltage (V); 0: not given
        double voltage;    // across the position after the step (V)
        int32_t on;
    };
    const Row rows[] = {
        {"rectifier 2, body diode lower, between the knees", 1, 0.4, 0.5, 1},
        {"rectifier 2, no body diode given, between the knees", 1, 0.0, 0.5, 0},
        {"rectifier 2, body diode higher, past diode 2", 1, 0.9, 0.71, 1},
        {"rectifier 2, body diode higher, below diode 2", 1, 0.9, 0.69, 0},
        {"rectifier 1, body diode lower, between the knees", 0, 0.4, 0.5, 1},
        {"rectifier 1, body diode higher, below diode 1", 0, 0.9, 0.69, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        run_.reset();  // one run at a time
        rec_ = FirstConfigRecords();
        SecondaryRectifierInputRec& ri = rec_.rectifier;
        ri.frequencyAnalysisFlagA = ri.frequencyAnalysisFlagB = ri.resistiveRectifier = 1;
        ri.onResistance = ri.secondOnResistance = 0.01;
        ri.diodeDrop = ri.forwardVoltage = 0.7;
        ri.dynamicResistance = ri.secondDynamicResistance = 0.01;
        double& vb = row.position == 0 ? ri.secondDiodeVoltage : ri.bodyDiode2Voltage;
        double& rb = row.position == 0 ? ri.secondDiodeResistance : ri.bodyDiode2Resistance;
        if (row.bodyDiode > 0.0) {
            vb = row.bodyDiode;
            rb = 0.05;
        }
        Start();
        EngineStore& st = ctx_->engine;
        SecondaryRectifierStateRec& rs = ctx_->secondaryRectifier[0];
        ctx_->primary.switchState = 0;
        ctx_->stepState.inverseTimeStepTermA = 1e-8;
        rs.rectifier1On = rs.diodeConducting = rs.switchPathAOn = rs.switchPathBOn = 0;
        st.output[0].forwardVoltage = row.position == 0 ? row.voltage : -1.0;
        st.output[0].freewheelVoltage = row.position == 1 ? row.voltage : -1.0;
        DetermineTimeStepAfterStep();
        EXPECT_EQ(row.position == 0 ? rs.rectifier1On : rs.diodeConducting, row.on);
        EXPECT_EQ(row.position == 0 ? rs.diodeConducting : rs.rectifier1On, 0);
    }
}

// At rest the reset path blocks; a winding swinging its diodes past their forward voltage
// makes them conduct (the reset state), just at the voltage nothing happens.
TEST_F(StepSetUp, ResetPathConductsWhenItComesForwardAtRest) {
    struct Case {
        const char* name;
        int32_t topology;
        double over;  // volts past the forward voltage
        int32_t PrimaryStateRec::*device;
    };
    const Case cases[] = {
        {"two switch: the rectifier pair", 1, 0.1, &PrimaryStateRec::resetRectifiersOn},
        {"two switch at its forward voltage", 1, 0.0, &PrimaryStateRec::resetRectifiersOn},
        {"reset winding: its rectifier", 3, 0.1, &PrimaryStateRec::resetRectifierOn},
        {"passive clamp: its rectifier", 9, 0.1, &PrimaryStateRec::clampRectifierOn},
    };
    Start();
    PrimaryInputRec& pi = *ctx_->pPrimaryInput;
    pi.sectionQuantityParamI = 0.7;
    pi.sectionQuantityParamJ = 0.8;
    pi.sectionQuantityParamH = 0.9;
    ctx_->stepState.inverseTimeStepTermA = 1e-8;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        pi.topology = c.topology;
        PrimaryStateRec& pri = ctx_->primary;
        pri.switchState = 0;
        pri.*c.device = 0;
        pri.diode1Voltage = pri.diode2Voltage = 0.7 + c.over;
        pri.senseAmpVoltage = 0.8 + c.over;  // the reset rectifier's
        pri.resetDiodeVoltage = 0.9 + c.over;  // the clamp rectifier's
        DetermineTimeStepAfterStep();
        ASSERT_EQ(DeterminePrimarySwitchState(), 1);
        const int32_t on = c.over > 0.0 ? 1 : 0;
        EXPECT_EQ(pri.switchState, on ? 1 : 0);
        EXPECT_EQ(pri.*c.device, on);
        EXPECT_EQ(ctx_->engine.switchStateChanged, on);
    }
}

// With data logging on every member checks the floating-point status: an ordinary run
// through every switch state and conduction change raises none.
// The step rules on one chosen step each: the rectifier turn-on predicted from its voltage's
// rate, the one-per-cent rule of the choke, the breakpoints of the line's tables, the reset
// capacitor's rules, the control sources' phase step, and the sense transformer's rule with
// the user's attenuation.
TEST_F(StepSetUp, StepRulesPropose) {
    Start();
    StepStateRec& step = ctx_->stepState;
    EngineStore& st = ctx_->engine;
    ControlStateRec& ctl = ctx_->control;
    ctl.clockVoltage = 2.0;
    ctl.clockSlope = 1e3;  // far from its turn
    ctl.pwmComparatorDifferential = -1.0;
    auto choose = [&] {
        step.nextTimeStep = rec_.settings.initialTimeStep;
        step.inverseTimeStepTermA = 1e-7;
        const double before = step.time;
        EXPECT_EQ(DetermineTimeStep(), 1);
        return step.time - before;
    };
    auto quiet = [&] {
        st.watch = StepWatchStore();
        ctx_->outputChoke[0].currentSlope = 0.0;
    };
    quiet();
    EXPECT_NEAR(choose(), 1e-7, 1e-20);

    // The freewheel rectifier, off, its voltage 0.2 V rising at 10 V/us towards 0.7 V: it
    // turns on in 50 ns. Falling, or already past its forward voltage: nothing.
    SecondaryRectifierStateRec& rs = ctx_->secondaryRectifier[0];
    rs.diodeConducting = 0;
    st.output[0].freewheelVoltage = 0.2;
    st.watch.output[0][kWatchFreewheelVoltage] = {0.2, 1e7, 1};
    EXPECT_NEAR(choose(), 5e-8, 1e-20);
    st.watch.output[0][kWatchFreewheelVoltage].rate = -1e7;
    EXPECT_NEAR(choose(), 1e-7, 1e-20);
    quiet();
    // The forward rectifier likewise: off at -0.3 V rising at 20 V/us towards its 0.7 V, 50 ns;
    // conducting, nothing.
    rs.rectifier1On = 0;
    st.output[0].forwardVoltage = -0.3;
    st.watch.output[0][kWatchForwardVoltage] = {-0.3, 2e7, 1};
    EXPECT_NEAR(choose(), 5e-8, 1e-20);
    rs.rectifier1On = 1;
    EXPECT_NEAR(choose(), 1e-7, 1e-20);
    rs.rectifier1On = 0;
    quiet();

    // The choke: its reference is the current of the output's target, 10.7 V / 5 ohm, even
    // while it passes through zero; at 0.4 A/us 1 % of it takes 53.5 ns.
    ctx_->outputFilter[0].outputVoltage = 10.0;
    ctx_->outputChoke[0].chokeCurrent = 0.0;
    ctx_->outputChoke[0].meanCurrent = NOT_SET;
    ctx_->outputChoke[0].currentSlope = 4e5;
    EXPECT_NEAR(choose(), 0.01 * (10.7 / 5.0) / 4e5, 1e-20);
    quiet();

    // A line table's next point 37 ns ahead is landed on; one behind the run time is not.
    TimeMagnitudeTable101& table = *ctx_->pTable101[kLineOffsetTable];
    table.Clear();
    table.Insert(step.time - 1e-8, 0.0);
    table.Insert(step.time + 1e-7 + 37e-9, 1.0);
    EXPECT_NEAR(choose(), 1e-7, 1e-20);
    const double before = step.time;
    table.Insert(step.time + 37e-9, 1.0);
    choose();
    EXPECT_EQ(step.time, before + 37e-9);
    table.Clear();

    // The resonant reset, its winding at 20 V falling at 1 V/ns after the turn-off (the
    // forward rectifier on: state 3): the step lands where it would reach zero, and on the way
    // takes at most an eighth of the largest step. In the reset (state 1) the capacitor's
    // current, 0.1 A falling at 10 A/us, ends in 10 ns.
    PrimaryStateRec& pri = ctx_->primary;
    ctx_->pPrimaryInput->topology = 5;
    pri.switchState = 3;
    pri.primaryWindingVoltage = 10.0;
    ctx_->inputCapacitor.inputVoltage = 48.0;
    st.watch.primary[kWatchWindingVoltage] = {10.0, -1e9, 1};
    EXPECT_NEAR(choose(), 1e-8, 1e-20);
    pri.primaryWindingVoltage = 20.0;
    EXPECT_NEAR(choose(), 1.25e-8, 1e-20);
    st.watch.primary[kWatchWindingVoltage].rate = -1e6;  // slow: 20 us away
    pri.switchState = 1;
    EXPECT_NEAR(choose(), 1e-7, 1e-20);
    pri.resetCapacitorCurrent = 0.1;
    st.watch.primary[kWatchResetCapacitorCurrent] = {0.1, -1e7, 1};
    EXPECT_NEAR(choose(), 1e-8, 1e-20);
    pri.switchState = 0;
    ctx_->pPrimaryInput->topology = 1;
    quiet();

    // A control source of 1 MHz while the comparator closes in (far off, 1 ms): a twentieth of
    // its period, pi/(10·2·pi·f).
    ControlInputRec& ci = *ctx_->pControlInput;
    ci.errorInjectionOn = 1;
    ci.errorInjectionAmplitude = 0.1;
    ci.errorInjectionFrequency = 1e6;
    ctl.pwmComparatorDifferential = 1.0;
    ctl.clockSlope = 1e3;
    const int32_t mode = ci.controlMode;
    ci.controlMode = 2;
    EXPECT_NEAR(choose(), 5e-8, 1e-20);
    ci.errorInjectionAmplitude = 0.0;  // no sine: nothing
    EXPECT_NEAR(choose(), 1e-7, 1e-20);
    ci.controlMode = mode;
    ci.errorInjectionOn = 0;
    ctl.pwmComparatorDifferential = -1.0;

    // With the switch on: a freewheel rectifier still handing its current over to the forward
    // one holds the step at the overlap step (not in a sweep, and not once the switch is off);
    // a reversed input current of -0.5 A rising at
    // 10 A/us ends its step where it turns, in 50 ns (not once it rises past zero). The load
    // resistor's voltage, -50 mV rising at 1 V/us, crosses zero in 50 ns; at +50 mV rising, never.
    pri.switchState = 2;
    st.switchStateChanged = 0;
    rs.diodeConducting = 1;
    rs.rectifier1On = 1;
    const int32_t kind = ctx_->pSettings->analysisKind;
    ctx_->pSettings->analysisKind = 1;
    EXPECT_NEAR(choose(), rec_.settings.stepSetupParamB, 1e-20);
    EXPECT_EQ(step.commutationOverlap, 1);
    ctx_->pSettings->analysisKind = 2;
    EXPECT_NEAR(choose(), 1e-7, 1e-20);
    ctx_->pSettings->analysisKind = kind;
    pri.switchState = 1;
    rs.rectifier1On = 0;
    EXPECT_NEAR(choose(), 1e-7, 1e-20);
    EXPECT_EQ(step.commutationOverlap, 0);
    rs.diodeConducting = 0;
    pri.switchState = 2;
    st.watch.primary[kWatchBulkDraw] = {-0.5, 1e7, 1};
    EXPECT_NEAR(choose(), 5e-8, 1e-20);
    st.watch.primary[kWatchBulkDraw] = {0.5, 1e7, 1};
    EXPECT_NEAR(choose(), 1e-7, 1e-20);
    pri.switchState = 0;
    quiet();
    ctx_->pLoadNetworkInput[0]->resistorOn = 1;
    st.watch.output[0][kWatchLoadVoltage] = {-0.05, 1e6, 1};
    EXPECT_NEAR(choose(), 5e-8, 1e-20);
    st.watch.output[0][kWatchLoadVoltage] = {0.05, 1e6, 1};
    EXPECT_NEAR(choose(), 1e-7, 1e-20);
    quiet();

    // The sense transformer: 1 % of its largest current (1 A) at 0.2 A/us is 50 ns, which the
    // small-step attenuation takes down by its factor; a lower factor, a shorter step.
    ctx_->pPrimaryInput->currentSenseTransformerOn = 1;
    ctx_->pPrimaryInput->secondSwitchOn = 0;
    st.watch.senseCurrentPeak[0] = 1.0;
    st.watch.primary[kWatchSenseCurrent] = {0.5, 2e5, 1};
    EXPECT_NEAR(choose(), 0.98 * 5e-8, 1e-20);
    ctx_->pSettings->smallStepAttenuationFactor = 0.8;
    EXPECT_NEAR(choose(), 0.8 * 5e-8, 1e-20);
    ctx_->pPrimaryInput->currentSenseTransformerOn = 0;
}

// After the step: the step-time list and the end time are landed on, in the run itself, not
// while settling.
TEST_F(StepSetUp, AfterTheStepLandsOnListedTimesAndTheEndTime) {
    rec_.settings.analysisKind = 1;
    rec_.settings.stepSetupParamA = 3e-6;   // stepTimes[0]
    rec_.settings.settingsSpareA = 5e-6;    // stepTimes[1]
    rec_.settings.stepSetupFlagA = 2;       // stepTimeCount
    rec_.settings.endTime = 8.05e-6;
    Start();
    StepStateRec& step = ctx_->stepState;
    step.inverseTimeStepTermA = 1e-7;
    auto after = [&](double t, double cycleTime) {
        step.time = t;
        step.cycleTime = cycleTime;
        EXPECT_EQ(DetermineTimeStepAfterStep(), 1);
        return step.nextTimeStep;
    };
    step.settling = 1;
    EXPECT_NEAR(after(2.95e-6, 0.0), 1e-7, 1e-20);  // settling: the list waits
    step.settling = 0;
    EXPECT_NEAR(after(2.95e-6, 0.0), 5e-8, 1e-18);
    EXPECT_NEAR(after(3e-6, 0.0), 1e-7, 1e-20);      // reached: the next entry is 2 us away
    EXPECT_NEAR(after(4.97e-6, 0.0), 3e-8, 1e-18);
    EXPECT_NEAR(after(6e-6, 0.0), 1e-7, 1e-20);      // all passed: nothing
    EXPECT_NEAR(after(8e-6, 0.0), 5e-8, 1e-18);      // the end time
    EXPECT_NEAR(after(8.05e-6 - 5e-11, 0.0), 1e-7, 1e-20);  // too close to land on
}

// A whole run: a step ends exactly on each point of the DC line's transient table, and the
// run ends exactly on its end time.
TEST_F(StepSetUp, RunStepsOnEveryLineBreakpointAndEndsOnItsEndTime) {
    rec_.settings.analysisKind = 1;
    rec_.settings.skipInitializationLoop = 1;
    rec_.settings.endTime = 63.3e-6;
    TimeMagnitudeTable101 table;
    const double points[] = {13.337e-6, 27.5e-6, 41.0123e-6, 55.55e-6};
    table.Insert(0.0, 0.0);
    for (const double t : points) table.Insert(t, 0.5);
    block_.pTable101[kTable101BlockIndex[kLineOffsetTable]] = &table;
    Start();
    std::vector<double> ends;
    SetTimeStepObserver([&](const AnalysisContext& c) { ends.push_back(c.stepState.time); });
    ASSERT_EQ(RunTimeDomainAnalysis(), 1);
    SetTimeStepObserver(nullptr);
    EXPECT_EQ(block_.runStatus, 1);
    for (const double t : points) EXPECT_NE(std::find(ends.begin(), ends.end(), t), ends.end()) << t;
    ASSERT_FALSE(ends.empty());
    EXPECT_EQ(ends.back(), rec_.settings.endTime);
}

TEST_F(StepSetUp, LoggedRunFindsNoFloatingPointFault) {
    rec_.settings.loggingOn = 1;
    rec_.settings.endTime = 300e-6;
    Start();
    ASSERT_EQ(RunTimeDomainAnalysis(), 1);
    EXPECT_EQ(block_.runStatus, 1);
    EXPECT_TRUE(sink_.boxes.empty());
}

TEST_F(StepSetUp, RunShorterThanItsFirstStepTakesOneStep) {
    rec_.settings.endTime = 1e-12;
    Start();
    ASSERT_EQ(RunTimeDomainAnalysis(), 1);
    EXPECT_EQ(block_.runStatus, 1);
    EXPECT_EQ(ctx_->stepState.stepCount, 1);
}

// A value that cannot be solved ends the run with its message rather than stepping on with
// it, whether or not data logging is on.
TEST_F(StepSetUp, BadNumberEndsTheRunWithItsMessage) {
    rec_.choke.inductance = std::numeric_limits<double>::quiet_NaN();
    rec_.settings.loggingOn = 0;
    rec_.settings.endTime = 1e-4;
    Start();
    ASSERT_EQ(RunTimeDomainAnalysis(), 1);
    EXPECT_EQ(block_.runStatus, 2);
    EXPECT_EQ(ctx_->stepState.stepCount, 0);
    ASSERT_EQ(sink_.boxes.size(), 1u);
    EXPECT_EQ(sink_.boxes[0], "Problem:  Failure calculating output choke quantities.");
}

// A section whose variant the step does not simulate fails its step with the section's
// message, even when nothing refused the design before the run.
TEST_F(StepSetUp, UnsimulatedVariantsFailTheirStep) {
    struct Case {
        const char* name;
        void (*change)(FirstConfigRecords&);
        const char* message;
    };
    const Case cases[] = {
        {"unknown line filter", [](FirstConfigRecords& r) { r.settings.lineFilterVariant = 10; },
         "Problem:  Failure calculating line filter quantities."},
        {"unknown input capacitor", [](FirstConfigRecords& r) { r.settings.inputCapacitorVariant = 4; },
         "Problem:  Failure calculating input capacitor quantities."},
        {"doubler on one capacitor", [](FirstConfigRecords& r) { r.settings.lineRectifierVariant = 5; },
         "Problem:  Failure calculating line rectifier quantities."},
        {"current sensing without its transformer", [](FirstConfigRecords& r) { r.filter.sectionQuantityFlagA = 2; },
         "Problem:  Failure calculating first stage output filter quantities."},
        {"unknown second stage", [](FirstConfigRecords& r) { r.filter.sectionQuantityFlagB = 7; },
         "Problem:  Failure calculating second stage output filter quantities."},
        {"primary variant", [](FirstConfigRecords& r) { r.primary.topology = 3; },
         "Problem:  Failure calculating primary section quantities."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FirstConfigRecords fresh;
        rec_ = fresh;
        c.change(rec_);
        rec_.settings.endTime = 1e-5;
        run_.reset();
        sink_.Clear();
        Start();
        ASSERT_EQ(RunTimeDomainAnalysis(), 1);
        EXPECT_EQ(block_.runStatus, 2);
        EXPECT_EQ(ctx_->stepState.stepCount, 0);
        ASSERT_EQ(sink_.boxes.size(), 1u);
        EXPECT_EQ(sink_.boxes[0], c.message);
    }
}

}  // namespace

// The references run from the step the bulk reaches the lockout's turn-on level and stop at
// its turn-off level; the soft start charges only while they run, and the error amplifier's
// upper clamp follows it.
TEST(ControlLockout, ReferencesFollowTheBulkWithTheLockoutHysteresis) {
    fw::RecordingSink sink;
    fw::ScopedReportSink scoped(&sink);
    ResetFirstMessageFlag();
    FirstConfigRecords rec;
    rec.control.lockoutLevelA = 30.0;
    rec.control.lockoutLevelB = 20.0;
    rec.control.softStartRate = 1e3;  // V/s
    AnalysisThreadParams block;
    rec.Attach(block);
    block.runStatus = 1;
    AnalysisRun run(block);
    ASSERT_EQ(run.GetStatus(), AnalysisRun::Status::kLive);
    AnalysisContext* ctx = run.Context();
    ASSERT_EQ(InitializeAnalysis(), 1);
    ASSERT_EQ(PrepareStepEngine(), 1);
    ctx->stepState.inverseTimeStep = 1e6;
    ctx->stepState.inverseTimeStepTermA = 1e-6;

    struct Case {
        double bulk;
        bool running;
    };
    const Case cases[] = {{10.0, false}, {29.99, false}, {30.0, true}, {25.0, true},
                          {20.01, true}, {20.0, false},  {25.0, false}, {30.0, true}};
    ControlStateRec& ctl = ctx->control;
    EXPECT_EQ(ctl.referenceLockout, 1);  // locked out until a step has seen the bulk
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bulk);
        const double softStart = ctl.softStartCapVoltage;
        ctx->inputCapacitor.inputVoltage = c.bulk;
        ASSERT_EQ(CalcControlSectionQuantities(), 1);
        EXPECT_EQ(ctl.referenceLockout, c.running ? 0 : 1);
        EXPECT_EQ(ctl.veaReference, c.running ? rec.control.veaReferenceValue : 1e-6);
        EXPECT_NEAR(ctl.softStartCapVoltage - softStart, c.running ? 1e-3 : 0.0, 1e-12);
        EXPECT_LE(ctl.veaOutput, ctl.softStartControl + 1e-12);
    }
}
