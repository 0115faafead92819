// Steady-state starting values: the duty estimate (continuous and discontinuous choke
// current), stacked-winding effective turns, the starting period (fixed and hysteretic), the
// output prediction with its warning, and the whole estimate on the smallest converter.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>

#include "analysis/context/AnalContext.h"
#include "analysis/models/AnalInSS.h"
#include "analysis/models/AnalInit.h"
#include "analysis/context/AnalTableIndex.h"
#include "platform/core/ReportSink.h"
#include "records/Utils.h"
#include "support/FirstConfigRecords.h"

namespace {

using test_support::FirstConfigRecords;

class SteadyStart : public ::testing::Test {
protected:
    AnalysisContext& Start() {
        rec_.Attach(block_);
        for (int j = 1; j < 4; ++j) block_.pSecondaryRectifierInput[j] = &extra_[j];
        run_ = std::make_unique<AnalysisRun>(block_);
        return *run_->Context();
    }
    fw::RecordingSink sink_;
    fw::ScopedReportSink scoped_{&sink_};
    FirstConfigRecords rec_;
    SecondaryRectifierInputRec extra_[4];
    AnalysisThreadParams block_;
    std::unique_ptr<AnalysisRun> run_;
};

// The converter's on-state resistances: two switches of 1 mohm and the 1 uohm sense resistor
// (Rp = 2.001 mohm), the 1 uohm winding, the choke's 1 uohm and its 1 uohm sense (Ro = 2 uohm).
constexpr double kRtotal = 0.002001 + 1e-6 + 2e-6;

TEST_F(SteadyStart, DutyFromTheChokeBalance) {
    struct Case {
        const char* name;
        double load;      // ohm
        int conduction;   // expected mode
        double duty;
        double skim = 0.0;  // a skim inductor (1 uohm) in series with the choke (H)
    };
    // Vin = 48 V, n = 1, V = 10.7 V, diode 0.7 V + 0.01 ohm.
    // 5 ohm: I = 2.14 A, Vd = 0.7214 V; D = ((Rtotal·I + V) + Vd) / Vin
    //        = (0.00428856 + 10.7 + 0.7214) / 48 = 0.2380351783. The valley
    //        I - (1 - D)·(Vd + V)/L·T/2 = 2.14 - 0.435 stays positive: continuous.
    // 500 ohm: I = 0.0214 A; the valley is negative, so the choke runs dry:
    //        X = sqrt((2 uohm·I + V)·I·2T/L) = 0.2140000004 A,
    //        D = (L·X/T) / (n·Vin - Vd - V) = 2.140000004 / (48 - 0.700214 - 10.7) = 0.05847027.
    // A 50 uH skim inductor: the branch's 150 uH holds the energy, L·X = sqrt(2·P·T·L) grows
    // by sqrt(1.5), and its 1 uohm joins the choke's.
    const double skimX = std::sqrt((3e-6 * 0.0214 + 10.7) * 0.0214 * 2e-5 / 150e-6);
    const Case cases[] = {
        {"continuous", 5.0, 1, (kRtotal * 2.14 + 10.7 + 0.7214) / 48.0},
        {"discontinuous", 500.0, 0, 2.140000004 / (48.0 - 0.700214 - 10.7)},
        {"continuous with a skim inductor", 5.0, 1, ((kRtotal + 1e-6) * 2.14 + 10.7 + 0.7214) / 48.0, 50e-6},
        {"discontinuous with a skim inductor", 500.0, 0, 150e-6 * skimX / 1e-5 / (48.0 - 0.700214 - 10.7), 50e-6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        rec_.load.resistance = c.load;
        TimeMagnitudeTable skim;
        skim.Insert(0.0, c.skim);
        rec_.choke.skimWindingOn = c.skim > 0.0 ? 1 : 0;
        rec_.choke.skimResistance = 1e-6;
        block_.pTable[OutputTableIndex(1, kSkimTable)] = &skim;
        AnalysisContext& ctx = Start();
        ctx.inputCapacitor.inputVoltage = 48.0;
        double duty = 0.0;
        ASSERT_EQ(CalcSteadyStateDutyCycle(&duty), 1);
        EXPECT_NEAR(duty, c.duty, 1e-9);
        EXPECT_EQ(ctx.outputChoke[0].continuousConduction, c.conduction);
        EXPECT_NEAR(ctx.outputFilter[0].capacitorVoltage, 10.7, 1e-12);
        EXPECT_NEAR(ctx.secondaryRectifier[0].forwardVoltage, 0.7 + 0.01 * 10.7 / c.load, 1e-12);
        run_.reset();
    }
}

TEST_F(SteadyStart, ResistiveRectifierNeverRunsDry) {
    rec_.load.resistance = 500.0;
    rec_.rectifier.resistiveRectifier = 1;
    rec_.rectifier.onResistance = 0.01;
    rec_.rectifier.maximumDrop = 1.0;
    AnalysisContext& ctx = Start();
    ctx.inputCapacitor.inputVoltage = 48.0;
    double duty = 0.0;
    ASSERT_EQ(CalcSteadyStateDutyCycle(&duty), 1);
    EXPECT_EQ(ctx.outputChoke[0].continuousConduction, 1);
}

TEST_F(SteadyStart, StackedWindingsAddTheTurnsBelowThem) {
    struct Case {
        const char* name;
        int outputs;
        int flag;  // which stacking flag is set: 0 none, 1 stack2On1 ... 6 stack3On4
        double expected[4];
    };
    // Turns 10, 5, 3, 2. A winding stacked on another counts the other's turns too.
    const Case cases[] = {
        {"one output", 1, 0, {10, 0, 0, 0}},
        {"2 on 1", 2, 1, {10, 15, 0, 0}},      // output 2: N1 + N2
        {"1 on 2", 2, 2, {15, 5, 0, 0}},       // output 1: N2 + N1
        {"3 on 2", 3, 3, {10, 5, 8, 0}},       // output 3: N2 + N3
        {"2 on 3", 3, 4, {10, 8, 3, 0}},       // output 2: N3 + N2
        {"4 on 3", 4, 5, {10, 5, 3, 5}},       // output 4: N3 + N4
        {"3 on 4", 4, 6, {10, 5, 5, 2}},       // output 3: N4 + N3
        {"none of four", 4, 0, {10, 5, 3, 2}},
    };
    const double turns[4] = {10, 5, 3, 2};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        rec_.settings.outputCount = c.outputs;
        rec_.rectifier.windingTurns = turns[0];
        for (int j = 1; j < 4; ++j) extra_[j].windingTurns = turns[j];
        int32_t* flags[6] = {&rec_.primary.stack2On1, &rec_.primary.stack1On2, &rec_.primary.stack3On2,
                             &rec_.primary.stack2On3, &rec_.primary.stack4On3, &rec_.primary.stack3On4};
        for (int f = 0; f < 6; ++f) *flags[f] = (f + 1 == c.flag) ? 1 : 0;
        Start();
        for (int k = 1; k <= 4; ++k) EXPECT_EQ(EffectiveSecondaryTurns(k), c.expected[k - 1]) << "output " << k;
        run_.reset();
    }
}

TEST_F(SteadyStart, StartingPeriodFixedOrFromTheHysteresisBand) {
    struct Case {
        const char* name;
        int mode, kind;
        double period;
        bool channel2 = false;  // rectifier 2 a transistor of 30 mohm
    };
    // Hysteretic: band = 2 V · 1 k / (9 k + 1 k) = 0.2 V; the sensed choke current falls at
    // (V + Vd)/L · weight · gain · R = (10.7 + 0.7)/100 uH · 1 · 1 · 0.05 ohm = 5700 V/s, so
    // the period at D = 0.25 is 0.2 / 0.75 / 5700 = 46.78 us. A turn-on run takes 1 / f.
    // Rectifier 2's channel drops 0.03 ohm · 2.14 A in place of Vd: (10.7 + 0.0642) · 500 V/s.
    const Case cases[] = {
        {"voltage mode", 2, 1, 1e-5},
        {"hysteretic steady state", 3, 1, 0.2 / 0.75 / 5700.0},
        {"hysteretic turn-on", 3, 0, 1e-5},
        {"hysteretic steady state, rectifier 2 a transistor", 3, 1, 0.2 / 0.75 / ((10.7 + 0.0642) * 500.0), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        rec_.rectifier.resistiveRectifier = rec_.rectifier.frequencyAnalysisFlagB = c.channel2 ? 1 : 0;
        rec_.rectifier.secondOnResistance = 0.03;
        rec_.control.controlMode = c.mode;
        rec_.settings.analysisKind = c.kind;
        rec_.control.referenceValue = 2.0;
        rec_.control.hystFilterResistance = 9e3;
        rec_.control.hystDividerResistance = 1e3;
        rec_.control.senseSource = 1;
        rec_.choke.senseWeight = 1.0;
        rec_.choke.seriesResistance = 0.05;
        rec_.settings.switchingPeriodSetting = 1e-5;
        Start();
        double period = 0.0;
        ASSERT_EQ(CalcInitialSwitchingPeriod(&period, 0.25, 48.0), 1);
        EXPECT_NEAR(period, c.period, 1e-15);
        run_.reset();
    }
}

TEST_F(SteadyStart, PredictionFarFromTheTargetWarns) {
    struct Case {
        const char* name;
        int kind;
        double target, source, drop;
        bool warns;
    };
    // Predicted = source - I·(Rtotal) - Vd with I = target / 5 ohm.
    const Case cases[] = {
        {"on target", 1, 10.7, 11.4214, 0.7, false},
        {"22 per cent high", 1, 10.7, 14.5, 0.7, true},  // (13.7957 - 10.7) / 13.7957 = 0.224
        {"turn-on never warns", 0, 10.7, 14.5, 0.7, false},
        {"zero prediction, small target", 1, 0.0, 0.5, 0.5, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        rec_.settings.analysisKind = c.kind;
        rec_.load.outputVoltage = c.target;
        rec_.rectifier.diodeDrop = c.drop;
        rec_.filter.outputNumber = 1;
        AnalysisContext& ctx = Start();
        sink_.Clear();
        double predicted = 0.0;
        ASSERT_EQ(PredictOutputVoltage(&predicted, c.source, *ctx.pLoadNetworkInput[0], *ctx.pOutputChokeInput[0],
                                       *ctx.pSecondaryRectifierInput[0], *ctx.pOutputFilterInput[0]),
                  1);
        EXPECT_NEAR(predicted, c.source - c.target / 5.0 * kRtotal - c.drop, 1e-12);
        EXPECT_EQ(sink_.boxes.size(), c.warns ? 1u : 0u);
        if (c.warns) {
            EXPECT_EQ(sink_.boxes[0], "Warning:  Preliminary calculations predict a substantial difference between "
                                      "target voltage and output 1 voltage.");
        }
        run_.reset();
    }
}

// A zero prediction warns when the target is above 0.2 V: the load draws 3e-301 A through
// 1e300 ohm, too little to move the prediction off 0.
TEST_F(SteadyStart, ZeroPredictionWarnsForATargetAboveTheLimit) {
    rec_.settings.analysisKind = 1;
    rec_.load.outputVoltage = 0.3;
    rec_.load.resistance = 1e300;
    rec_.rectifier.diodeDrop = 0.5;
    rec_.filter.outputNumber = 1;
    AnalysisContext& ctx = Start();
    double predicted = 1.0;
    ASSERT_EQ(PredictOutputVoltage(&predicted, 0.5, *ctx.pLoadNetworkInput[0], *ctx.pOutputChokeInput[0],
                                   *ctx.pSecondaryRectifierInput[0], *ctx.pOutputFilterInput[0]),
              1);
    EXPECT_EQ(predicted, 0.0);
    EXPECT_EQ(sink_.boxes.size(), 1u);
}

TEST_F(SteadyStart, SmallestConverterStartsAtItsOperatingPoint) {
    rec_.settings.analysisKind = 1;
    rec_.filter.outputNumber = 1;
    AnalysisContext& ctx = Start();
    ASSERT_EQ(InitializeAnalysis(), 1) << (sink_.boxes.empty() ? "" : sink_.boxes[0]);
    EXPECT_TRUE(sink_.boxes.empty());
    // Line: P = 10.7 V · 2.14 A = 22.898 W drawn at 48 V: 0.4770417 A, 47.7 mV across the
    // line's 0.1 ohm, so the bulk starts at 47.95229583 V.
    const double vin = 48.0 - 0.1 * (10.7 * 2.14 / 48.0);
    EXPECT_NEAR(ctx.linePhase[0].lineCurrentHeld, 10.7 * 2.14 / 48.0, 1e-12);
    EXPECT_NEAR(ctx.inputCapacitor.capacitorVoltage1, vin, 1e-12);
    // D = 11.42568856 / 47.95229583 = 0.2382720; the ramp of 2 V over 9 us reaches the
    // control voltage 1 V + T·s2·D = 1.5294933 V after D·T.
    const double duty = (kRtotal * 2.14 + 10.7 + 0.7214) / vin;
    EXPECT_NEAR(ctx.control.pwmControlVoltage, 1.0 + 1e-5 * (2.0 / 0.9e-5) * duty, 1e-9);
    EXPECT_EQ(ctx.control.clockVoltage, 3.0);
    EXPECT_EQ(ctx.control.clockSlope, rec_.control.clockFirstSlope);
    EXPECT_EQ(ctx.control.pwmComparatorDifferential, -0.0001);
    EXPECT_EQ(ctx.stepState.switchingPeriod, 1e-5);
    // Output: the secondary sees n·Vin·D = 11.4256886 V, less the drops at the target's
    // 2.14 A: Vo = 11.4256886 - 2.14·Rtotal - 0.7 = 10.7214 V; I = Vo / 5 ohm.
    const double vo = vin * duty - 2.14 * kRtotal - 0.7;
    const double i = vo / 5.0;
    EXPECT_NEAR(ctx.outputFilter[0].capacitorVoltage, vo, 1e-9);
    EXPECT_NEAR(ctx.loadNetwork[0].resistorCurrent, i, 1e-9);
    // Choke: falling at m = -(0.7 + Vo)/L, its minimum I + (1 - D)·T·m/2 comes at the end of
    // the period; the period starts the clock's fall (T·s2/(s2 - s1) = 1 us) and the switch's
    // 30 ns turn-on delay earlier, so it starts at Imin - (1 us + 30 ns)·m = 1.82692 A.
    const double m = -(0.7 + vo) / 1e-4;
    const double start = i + (1.0 - duty) * 1e-5 * m / 2.0 - (1e-6 + 3e-8) * m;
    EXPECT_NEAR(ctx.outputChoke[0].chokeCurrent, start, 1e-9);
    EXPECT_EQ(ctx.secondaryRectifier[0].diodeConducting, 1);
    EXPECT_EQ(ctx.secondaryRectifier[0].rectifier1On, 0);
    EXPECT_NEAR(ctx.engine.output[0].freewheelCurrent, start, 1e-9);
    EXPECT_NEAR(ctx.outputFilter[0].capacitorCurrent, start - i, 1e-9);
    // Primary: both switches open, each blocking half the bulk, the transformer reset.
    EXPECT_EQ(ctx.primary.switchState, 0);
    EXPECT_EQ(ctx.primary.primaryWindingCurrent, 0.0);
    EXPECT_NEAR(ctx.primary.switch1Voltage, vin / 2.0, 1e-12);
    EXPECT_NEAR(ctx.primary.diode1Voltage, -vin / 2.0, 1e-12);
}

// The smallest converter with a choke that saturates from 100 uH (up to 0.3 A) to a 40 uH
// plateau from 0.5 A: the duty (the volt-second balance) is the same, but the ripple is the
// plateau's, (1 - D)·T·(0.7 + Vo)/40 uH = 2.17 A around 2.14 A, its valley 1.06 A still on the
// plateau; so the choke starts at Imin - (1 us + 30 ns)·m with m = -(0.7 + Vo)/40 uH, and
// at the 40 uH the step looks up there.
TEST_F(SteadyStart, SaturatingChokeStartsOnItsPlateau) {
    rec_.settings.analysisKind = 1;
    rec_.filter.outputNumber = 1;
    TimeMagnitudeTable core;
    core.Insert(0.0, 100e-6);
    core.Insert(0.3, 100e-6);
    core.Insert(0.5, 40e-6);
    core.Insert(20.0, 40e-6);
    block_.pTable[OutputTableIndex(1, kChokeTable)] = &core;
    AnalysisContext& ctx = Start();
    ASSERT_EQ(InitializeAnalysis(), 1) << (sink_.boxes.empty() ? "" : sink_.boxes[0]);
    const double vin = 48.0 - 0.1 * (10.7 * 2.14 / 48.0);
    const double duty = (kRtotal * 2.14 + 10.7 + 0.7214) / vin;
    const double vo = vin * duty - 2.14 * kRtotal - 0.7;
    const double i = vo / 5.0;
    const double m = -(0.7 + vo) / 40e-6;
    ASSERT_GT(i + (1.0 - duty) * 1e-5 * m / 2.0, 0.5);
    const double start = i + (1.0 - duty) * 1e-5 * m / 2.0 - (1e-6 + 3e-8) * m;
    EXPECT_NEAR(ctx.control.pwmControlVoltage, 1.0 + 1e-5 * (2.0 / 0.9e-5) * duty, 1e-9);
    EXPECT_NEAR(ctx.outputChoke[0].chokeCurrent, start, 1e-9);
    EXPECT_NEAR(ctx.outputChoke[0].currentSlope, m, 1e-6);
    EXPECT_NEAR(ctx.outputChoke[0].inductance, 40e-6, 1e-15);
    EXPECT_NEAR(ctx.engine.output[0].freewheelCurrent, start, 1e-9);
}

// A 50 uH skim inductor (1 uohm) in series with the smallest converter's choke: the duty takes
// its resistance, every slope the branch's whole inductance. Beside the 100 uH choke the branch
// is 150 uH; beside the saturating choke of the test above, on its 40 uH plateau, 90 uH (the
// ripple (1 - D)·T·11.42 V/90 uH = 0.97 A around 2.14 A stays there). The choke starts at
// Imin - (1 us + 30 ns)·m with m = -(0.7 + Vo)/L_branch, the skim carrying its current:
// V_skim = Ls·m + Rs·I0.
TEST_F(SteadyStart, SkimInductorJoinsTheChokeBranch) {
    struct Case {
        const char* name;
        bool saturating;
        double choke;  // the choke's own inductance at the start (H)
    };
    const Case cases[] = {{"plain choke", false, 100e-6}, {"saturating choke on its plateau", true, 40e-6}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        rec_.settings.analysisKind = 1;
        rec_.filter.outputNumber = 1;
        rec_.choke.skimWindingOn = 1;
        rec_.choke.skimResistance = 1e-6;
        TimeMagnitudeTable skim, core;
        skim.Insert(0.0, 50e-6);
        block_.pTable[OutputTableIndex(1, kSkimTable)] = &skim;
        core.Insert(0.0, 100e-6);
        core.Insert(0.3, 100e-6);
        core.Insert(0.5, 40e-6);
        core.Insert(20.0, 40e-6);
        block_.pTable[OutputTableIndex(1, kChokeTable)] = c.saturating ? &core : nullptr;
        AnalysisContext& ctx = Start();
        ASSERT_EQ(InitializeAnalysis(), 1) << (sink_.boxes.empty() ? "" : sink_.boxes[0]);
        const double r = kRtotal + 1e-6;
        const double vin = 48.0 - 0.1 * (10.7 * 2.14 / 48.0);
        const double duty = (r * 2.14 + 10.7 + 0.7214) / vin;
        const double vo = vin * duty - 2.14 * r - 0.7;
        const double i = vo / 5.0;
        const double m = -(0.7 + vo) / (c.choke + 50e-6);
        const double start = i + (1.0 - duty) * 1e-5 * m / 2.0 - (1e-6 + 3e-8) * m;
        const OutputChokeStateRec& ch = ctx.outputChoke[0];
        EXPECT_NEAR(ctx.control.pwmControlVoltage, 1.0 + 1e-5 * (2.0 / 0.9e-5) * duty, 1e-9);
        EXPECT_NEAR(ch.chokeCurrent, start, 1e-9);
        EXPECT_NEAR(ch.currentSlope, m, 1e-6);
        EXPECT_NEAR(ch.inductance, c.choke, 1e-15);
        EXPECT_NEAR(ch.totalInductance, c.choke + 50e-6 + rec_.choke.seriesInductance, 1e-15);
        EXPECT_NEAR(ch.skimInductance, 50e-6, 1e-18);
        EXPECT_NEAR(ch.skimCurrent, start, 1e-9);
        EXPECT_NEAR(ch.skimVoltage, 50e-6 * m + 1e-6 * start, 1e-9);
        EXPECT_NEAR(ctx.engine.output[0].freewheelCurrent, start, 1e-9);
        run_.reset();
    }
}

// A power transformer core of 200 uH up to 0.3 A, falling linearly to 50 uH at 0.6 A, flat
// beyond: Φ(0.3) = 60 uV·s, Φ(0.6) = 60 + (200 + 50)/2·0.3 = 97.5 uV·s, then 50 uH. At
// 48 V, D = 0.5, T = 10 us:
//   a swing of Vin·D·T/2 = 120 uV·s each side of 0 ends at X = 0.6 + 22.5/50 = 1.05 A (a
//   linear 200 uH would give 0.6 A); the active clamp's 48 V holds the core falling through
//   the off-time, and the period starts 1.03 us (the clock's fall, the 30 ns turn-on delay)
//   before the bottom, at Φ = -120 + 48·1.03 = -70.56 uV·s: 0.3 + u into the knee with
//   200·u - 250·u² = 10.56, u = (200 - √29440)/500, where L = 200 - 500·u = √29440 uH;
//   a peak of Vin·D·T = 240 uV·s from 0 at 0.6 + 142.5/50 = 3.45 A, the core's energy there
//   W = 9 (to 0.3 A) + 15.75 (0.3·200·0.3 + (0.3·(-500) + 200)·0.09/2 - 500·0.027/3) +
//   25·(3.45² - 0.6²) = 313.3125 uJ, which a 1 kohm clamp resistor burns at Vc = √(R·W/T).
TEST_F(SteadyStart, SaturatingTransformerAtThePeriodStart) {
    struct Case {
        const char* name;
        int topology, clamp, resistor;
        double magnetizing, inductance, clampCurrent, clampVoltage;
    };
    const double vc = std::sqrt(1000.0 * 313.3125e-6 / 1e-5);
    const double clampStart = -(0.3 + (200.0 - std::sqrt(29440.0)) / 500.0);
    const Case cases[] = {
        {"two-switch: reset to 0", 1, 0, 0, 0.0, 200e-6, NOT_SET, NOT_SET},
        {"active clamp: before the swing's bottom", 6, 1, 0, clampStart, std::sqrt(29440.0) * 1e-6, clampStart, 48.0},
        {"passive clamp: the peak's energy", 8, 1, 1, 0.0, 200e-6, -vc / 1000.0, vc},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        rec_.primary.topology = c.topology;
        rec_.primary.hasClampCapacitor = c.clamp;
        rec_.primary.clampResistorOn = c.resistor;
        rec_.primary.clampResistance = 1000.0;
        rec_.primary.clampSwitchOnResistance = 0.01;
        TimeMagnitudeTable core;
        core.Insert(0.0, 200e-6);
        core.Insert(0.3, 200e-6);
        core.Insert(0.6, 50e-6);
        core.Insert(20.0, 50e-6);
        block_.pTable[kPowerXfmrTable] = &core;
        AnalysisContext& ctx = Start();
        ctx.inputCapacitor.inputVoltage = 48.0;
        ctx.stepState.switchingPeriod = 1e-5;
        InitSteadyStatePrimary(0.5);
        const PrimaryStateRec& p = ctx.primary;
        EXPECT_NEAR(p.magnetizingCurrent, c.magnetizing, 1e-9);
        EXPECT_NEAR(p.magnetizingInductance, c.inductance, 1e-15);
        if (c.clamp) {
            EXPECT_NEAR(p.clampCapacitorCurrent, c.clampCurrent, 1e-9);
            EXPECT_NEAR(p.clampCapacitorVoltage, c.clampVoltage, 1e-9);
        }
        run_.reset();
    }
}

// The error amplifier's output worked back through an opto-isolator from the control
// voltage M = 1.5294933 V (the rising clock at the estimated duty): the inverter receiver's
// 2.2 kohm from its 5 V bias carries iC = (5 V - M)/2.2 kohm, the photo transistor's ratio of
// 0.5 asks iF = 2·iC of the LED, and the amplifier that sinks it from the 5 V driver source
// through 1 kohm and the LED (1.1 V, 5 ohm) sits at 5 - 1.1 - 1005·iF. The amplifier's
// feedback capacitor holds that output less the reference.
TEST_F(SteadyStart, ErrorAmplifierWorkedBackThroughTheOptoIsolator) {
    rec_.settings.analysisKind = 1;
    rec_.filter.outputNumber = 1;
    ControlInputRec& c = rec_.control;
    c.optoVariant = 0;
    c.optoDriveVoltage = 5.0;
    c.optoDriveResistance = 1e3;
    c.optoLedVoltage = 1.1;
    c.optoLedResistance = 5.0;
    c.optoBiasVoltage = 5.0;
    c.optoCurrentTransferRatio = 0.5;
    c.optoBandwidth = 2e4;
    c.optoLoadResistance = 2.2e3;
    AnalysisContext& ctx = Start();
    ASSERT_EQ(InitializeAnalysis(), 1);
    const double vin = 48.0 - 0.1 * (10.7 * 2.14 / 48.0);
    const double m = 1.0 + 1e-5 * (2.0 / 0.9e-5) * (kRtotal * 2.14 + 10.7 + 0.7214) / vin;
    const double ic = (5.0 - m) / 2.2e3;
    const double vea = 5.0 - 1.1 - 1005.0 * 2.0 * ic;
    EXPECT_NEAR(ctx.control.optoLedCurrent, ic, 1e-12);
    EXPECT_NEAR(ctx.control.optoCoupledError, m, 1e-9);
    EXPECT_NEAR(ctx.control.veaOutput, vea, 1e-9);
    EXPECT_NEAR(ctx.control.errorAmpStateC, vea - 1.5556, 1e-9);
    EXPECT_NEAR(ctx.control.pwmControlVoltage, m, 1e-9);
}

// The step's control networks charged for the estimated duty D = 0.2382720 (bulk
// 47.9523 V): the control voltage the modulator needs, the error amplifier at that output
// with its feedback at the reference (VRef = 1.5556 V), every capacitor of its feedback at
// the output less the reference, the input branch's at 0 (no DC current through R2's C1,
// the feedback at the reference); beyond its upper limit held there, the node at the input.
//   voltage mode:   M = 1 V + T·s2·D = 1 + 1e-5·(2 V / 9 us)·D;
//   feed-forward:   the ramp from the bulk through 100 kohm into 10 nF at D·T,
//                   M = Vb·(1 - exp(-D·T/(R·C)));
//   average current: the current amplifier's output at the clock's M, its reference the mean
//                   sensed choke current 0.1 V/A · Vo/5 ohm, its feedback capacitors at the
//                   difference; the error amplifier's output is that reference.
TEST_F(SteadyStart, ControlNetworksChargedForTheDuty) {
    const double vin = 48.0 - 0.1 * (10.7 * 2.14 / 48.0);
    const double duty = (kRtotal * 2.14 + 10.7 + 0.7214) / vin;
    const double clockM = 1.0 + 1e-5 * (2.0 / 0.9e-5) * duty;
    const double vo = vin * duty - 2.14 * kRtotal - 0.7;
    const double sensed = 0.1 * vo / 5.0;
    const double vr = 1.5556;
    struct Case {
        const char* name;
        void (*set)(ControlInputRec&, OutputChokeInputRec&);
        double control;  // the modulator's control voltage
        double vea;      // the error amplifier's output
        int32_t clamp;
        double vc2, vc1;
    };
    const double ffM = vin * (1.0 - std::exp(-duty * 1e-5 / (1e5 * 1e-8)));
    const Case cases[] = {
        {"voltage mode, Rfb with C3", [](ControlInputRec&, OutputChokeInputRec&) {}, clockM, clockM, 0, 0.0, 0.0},
        {"voltage mode, every capacitor",
         [](ControlInputRec& c, OutputChokeInputRec&) {
             c.veaVariant = 0;
             c.veaResistor2 = 1e3;
             c.veaResistor3 = 1e4;
             c.veaCapacitor1 = 1e-9;
             c.veaCapacitor2 = 1e-8;
         },
         clockM, clockM, 0, clockM - vr, 0.0},
        {"voltage mode, held at the upper limit",
         [](ControlInputRec& c, OutputChokeInputRec&) { c.errorUpperLimit = 1.2; }, 1.2, 1.2, 1, 0.0, 0.0},
        {"feed-forward",
         [](ControlInputRec& c, OutputChokeInputRec&) {
             c.controlMode = 1;
             c.rampResistance = 1e5;
             c.rampCapacitance = 1e-8;
         },
         ffM, ffM, 0, 0.0, 0.0},
        {"average current",
         [](ControlInputRec& c, OutputChokeInputRec& ch) {
             c.controlMode = 4;
             c.senseSource = 1;
             c.hasCurrentAmp = 1;
             c.currentAmpInputResistance = 1e4;
             c.currentAmpSeriesResistance = 3e4;
             c.currentAmpSeriesCapacitance = 5.3e-9;
             c.currentAmpParallelCapacitance = 1e-10;
             c.currentEaLowerLimit = 0.0;
             c.currentEaUpperLimit = 2.0;
             ch.senseWeight = 1e5;  // 0.1 V/A on the 1 uohm sense
         },
         clockM, sensed, 0, 0.0, 0.0},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        FirstConfigRecords rec;
        rec_ = rec;
        rec_.settings.analysisKind = 1;
        rec_.filter.outputNumber = 1;
        k.set(rec_.control, rec_.choke);
        AnalysisContext& ctx = Start();
        ASSERT_EQ(InitializeAnalysis(), 1) << (sink_.boxes.empty() ? "" : sink_.boxes[0]);
        const ControlStateRec& c = ctx.control;
        EXPECT_NEAR(c.pwmControlVoltage, k.control, 1e-9);
        EXPECT_NEAR(c.veaOutput, k.vea, 1e-9);
        EXPECT_EQ(c.veaClampState, k.clamp);
        EXPECT_NEAR(c.veaInvertingInput, vr, 1e-12);
        EXPECT_NEAR(c.errorAmpStateC, k.vea - vr, 1e-9);
        EXPECT_NEAR(c.errorAmpStateB, k.vc2, 1e-9);
        EXPECT_NEAR(c.errorAmpAux, k.vc1, 1e-12);
        if (rec_.control.hasCurrentAmp) {
            EXPECT_NEAR(c.currentEaOutput, clockM, 1e-9);
            EXPECT_NEAR(c.currentEaInvertingInput, sensed, 1e-9);
            EXPECT_NEAR(c.currentAmpStateB, clockM - sensed, 1e-9);
            EXPECT_NEAR(c.currentAmpStateA, clockM - sensed, 1e-9);
            EXPECT_EQ(c.currentEaClampState, 0);
        }
        run_.reset();
    }
}

// The rectified bulk: a full bridge (form 2) of 1 V diodes on a 100 V line gives 98 V from
// one phase, 100·sqrt(3) - 2 V from three; its four diodes block half of it each, the absent
// ones keep their presets. An AC line starts without line current.
TEST_F(SteadyStart, RectifiedBulkAndBlockingDiodes) {
    struct Case {
        const char* name;
        int phases;
        double vin;
    };
    const Case cases[] = {{"one phase", 1, 98.0}, {"three phases", 3, 100.0 * std::sqrt(3.0) - 2.0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        rec_.settings.analysisKind = 1;
        rec_.settings.lineRectifierForm = 2;
        rec_.settings.linePhaseCount = c.phases;
        rec_.line.lineMagnitude = 100.0;
        rec_.line.lineOffset = 0.0;
        rec_.line.rectifierForwardVoltage = 1.0;
        rec_.line.diode1Present = rec_.line.diode2Present = rec_.line.diode3Present = rec_.line.diode4Present = 1;
        rec_.filter.outputNumber = 1;
        AnalysisContext& ctx = Start();
        ASSERT_EQ(InitializeAnalysis(), 1);
        EXPECT_NEAR(ctx.inputCapacitor.inputVoltage, c.vin, 1e-12);
        EXPECT_EQ(ctx.linePhase[0].lineCurrentHeld, 0.0);
        const double blocking[4] = {ctx.lineRectifier.diode1Voltage, ctx.lineRectifier.diode2Voltage,
                                    ctx.lineRectifier.diode3Voltage, ctx.lineRectifier.diode4Voltage};
        for (double v : blocking) EXPECT_NEAR(v, -c.vin / 2.0, 1e-12);
        EXPECT_EQ(ctx.lineRectifier.diode5Voltage, NOT_SET);
        EXPECT_EQ(ctx.lineRectifier.negativeRectifierVoltage, 0.0);
        EXPECT_EQ(ctx.lineRectifier.positiveRectifierVoltage, 100.0);
        run_.reset();
    }
}

// A DC line through the filter: 0.2 ohm first stage, 0.3 ohm second stage beside a 0.6 ohm
// damping resistor, and the line's own 0.1 ohm. The line current P/Vin = 22.898 W / 48 V
// splits 2/3 into the second stage and 1/3 into the damping branch (inverse to their
// resistances); the bulk starts at 48 V less 0.2·I + 0.3·(2/3)·I + 0.1·I = 0.5·I.
TEST_F(SteadyStart, LineFilterCarriesTheLineCurrent) {
    rec_.settings.analysisKind = 1;
    rec_.line.firstInductorOn = 1;
    rec_.line.firstInductorResistance = 0.2;
    rec_.line.secondInductorOn = 1;
    rec_.line.secondInductorResistance = 0.3;
    rec_.line.dampingResistorOn = 1;
    rec_.line.dampingResistance = 0.6;
    rec_.line.sourceOn = 1;  // Capacitor In at the filter node
    rec_.filter.outputNumber = 1;
    AnalysisContext& ctx = Start();
    ASSERT_EQ(InitializeAnalysis(), 1);
    const double i = 10.7 * 2.14 / 48.0;
    const LinePhaseStateRec& ph = ctx.linePhase[0];
    // The filter node sits at the line less the line's 0.1 ohm and Inductor In1's drops.
    EXPECT_NEAR(ph.filterCapVoltage, 48.0 - 0.3 * i, 1e-12);
    EXPECT_DOUBLE_EQ(ph.filterCapCurrent, 0.0);
    EXPECT_NEAR(ph.firstInductorCurrent, i, 1e-12);
    EXPECT_NEAR(ph.secondInductorCurrent, 2.0 * i / 3.0, 1e-12);
    EXPECT_NEAR(ph.dampingBranchCurrent, i / 3.0, 1e-12);
    EXPECT_NEAR(ph.dampingResistorDrop, 0.6 * i / 3.0, 1e-12);
    EXPECT_NEAR(ctx.inputCapacitor.inputVoltage, 48.0 - 0.5 * i, 1e-12);
}

// The primary at the period start, 48 V bulk, 10 us, D = 0.5, 200 uH: the magnetising
// current at the bottom of its ripple is -(48 V / 200 uH · 5 us) / 2 = -0.6 A where the reset
// swings it; a clamp capacitor balances the volt-seconds at D/(1 - D)·Vin = Vin.
TEST_F(SteadyStart, PrimaryAtThePeriodStart) {
    struct Case {
        const char* name;
        int topology, clamp, transformer;
        double magnetizing, clampVoltage, windingVoltage, resetCapacitor;
        int state;
    };
    const Case cases[] = {
        {"two-switch", 1, 0, 1, 0.0, NOT_SET, 0.0, 0.0, 0},
        {"resonant reset", 4, 0, 1, -0.6, NOT_SET, -1.0, 49.0, 1},
        {"active clamp", 6, 1, 1, -0.6, 48.0, -48.0, 0.0, 1},
        {"no transformer element", 1, 0, 0, NOT_SET, NOT_SET, NOT_SET, 0.0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        rec_.primary.topology = c.topology;
        rec_.primary.hasClampCapacitor = c.clamp;
        rec_.primary.clampCapacitorOn = c.topology == 4;
        rec_.primary.powerTransformerOn = c.transformer;
        rec_.primary.clampSwitchOnResistance = 0.01;
        AnalysisContext& ctx = Start();
        ctx.inputCapacitor.inputVoltage = 48.0;
        ctx.stepState.switchingPeriod = 1e-5;
        InitSteadyStatePrimary(0.5);
        const PrimaryStateRec& p = ctx.primary;
        EXPECT_DOUBLE_EQ(p.magnetizingCurrent, c.magnetizing);
        EXPECT_DOUBLE_EQ(p.clampCapacitorVoltage, c.clampVoltage);
        EXPECT_DOUBLE_EQ(p.primaryWindingVoltage, c.windingVoltage);
        EXPECT_DOUBLE_EQ(p.capacitorVoltage, c.resetCapacitor);
        EXPECT_EQ(p.switchState, c.state);
        if (c.clamp) {
            EXPECT_DOUBLE_EQ(p.clampCapacitorCurrent, -0.6);
            EXPECT_DOUBLE_EQ(p.clampSwitchCurrent, 0.6);
            EXPECT_EQ(p.clampSwitchDiodeConducting, 0);
        }
        run_.reset();
    }
}

// A resistive (synchronous) freewheeling rectifier shares the choke current I with its body
// diode (0.7 V, 10 mohm) and the diode beside it (0.5 V, 20 mohm): at 10 mohm the channel's
// drop stays below both forward voltages and it carries everything; at 1 ohm the lower
// diode (0.5 V) takes over at u = (I·0.02 + 0.5)·1/1.02, which stays below 0.7 V, so it
// carries (u - 0.5)/0.02 and the body diode nothing.
TEST_F(SteadyStart, ResistiveRectifierSharesWithItsDiodes) {
    for (const double ron : {0.01, 1.0}) {
        SCOPED_TRACE(ron);
        rec_.settings.analysisKind = 1;
        rec_.filter.outputNumber = 1;
        SecondaryRectifierInputRec& r = rec_.rectifier;
        r.resistiveRectifier = 1;
        r.onResistance = 0.01;
        r.maximumDrop = 1.0;
        r.secondOnResistance = ron;
        r.secondDiodeVoltage = 0.5;
        r.secondDiodeResistance = 0.02;
        AnalysisContext& ctx = Start();
        ASSERT_EQ(InitializeAnalysis(), 1);
        const double i = ctx.outputChoke[0].chokeCurrent;
        const SecondaryRectifierStateRec& rs = ctx.secondaryRectifier[0];
        EXPECT_EQ(rs.diodeConducting, 0);
        EXPECT_EQ(rs.rectifier2TotalAnodeToCathodeCurrent, i);
        if (ron < 0.1) {
            EXPECT_EQ(rs.secondDiodeConducting, 0);
            EXPECT_DOUBLE_EQ(rs.rectifierVoltage, i * ron);
            EXPECT_DOUBLE_EQ(rs.channelCurrent, -i);
        } else {
            const double u = (i * 0.02 + 0.5) * 1.0 / 1.02;
            EXPECT_EQ(rs.secondDiodeConducting, 1);
            EXPECT_DOUBLE_EQ(rs.rectifierVoltage, u);
            EXPECT_DOUBLE_EQ(rs.secondDiodeCurrent, (u - 0.5) / 0.02);
        }
        run_.reset();
    }
}

// Transistor rectifiers (rectifier 1's channel 20 mohm, rectifier 2's 30 mohm; a position
// without one keeps its 0.7 V + 10 mohm diode). At I = 2.14 A the conducting drops are
// V1 = 0.0428 V (channel) or 0.7214 V (diode), V2 = 0.0642 V or 0.7214 V, and the choke's
// balance over the on-time and the off-time (AnalMSync.h) gives, with E = 48 V,
// Rs = 2.001 mohm + 1 uohm, Ro = 2 uohm:  D = (V + Ro·I + V2) / (E - Rs·I - V1 + V2)
//   both channels 0.224174320, rectifier 1 alone 0.234649509, rectifier 2 alone 0.227387870.
// The estimate's output at that duty is the target again; the period starts with rectifier 2
// carrying the choke current, through its driven channel (Ron2·I) or its diode, rectifier 1
// off, and the choke falling at (V2 + V)/L.
TEST_F(SteadyStart, TransistorRectifiersAtThePeriodStart) {
    struct Case {
        const char* name;
        int32_t flagA, flagB;
        double duty;
    };
    const Case cases[] = {{"both channels", 1, 1, 0.22417432031463133},
                          {"rectifier 1 alone", 1, 0, 0.23464950890530978},
                          {"rectifier 2 alone", 0, 1, 0.22738787045349296}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SecondaryRectifierInputRec& r = rec_.rectifier;
        r.resistiveRectifier = 1;

        r.frequencyAnalysisFlagA = c.flagA;
        r.frequencyAnalysisFlagB = c.flagB;
        r.onResistance = c.flagA ? 0.02 : NOT_SET;
        r.secondOnResistance = c.flagB ? 0.03 : NOT_SET;
        rec_.settings.analysisKind = 1;
        rec_.filter.outputNumber = 1;
        {
            AnalysisContext& ctx = Start();
            ctx.inputCapacitor.inputVoltage = 48.0;
            double duty = 0.0;
            ASSERT_EQ(CalcSteadyStateDutyCycle(&duty), 1);
            EXPECT_NEAR(duty, c.duty, 1e-12);
            EXPECT_EQ(ctx.outputChoke[0].continuousConduction, 1);
            run_.reset();
        }
        AnalysisContext& ctx = Start();
        ASSERT_EQ(InitializeAnalysis(), 1);
        const double ic = ctx.outputChoke[0].chokeCurrent;
        const SecondaryRectifierStateRec& rs = ctx.secondaryRectifier[0];
        EXPECT_NEAR(ctx.outputFilter[0].outputVoltage, 10.7, 1e-9);
        const double v2 = c.flagB ? 0.03 * 2.14 : 0.7 + 0.01 * 2.14;
        EXPECT_NEAR(ctx.outputChoke[0].currentSlope, -(v2 + 10.7) / rec_.choke.inductance, 1e-6);
        EXPECT_GT(ic, 0.0);
        EXPECT_EQ(rs.rectifier1On, 0);
        EXPECT_EQ(rs.switchPathAOn, 0);
        EXPECT_EQ(rs.switchPathBOn, c.flagB);
        EXPECT_EQ(rs.diodeConducting, 1);
        EXPECT_DOUBLE_EQ(rs.diodeCurrent, ic);
        EXPECT_DOUBLE_EQ(rs.rectifierVoltage, c.flagB ? 0.03 * ic : 0.7 + 0.01 * ic);
        if (c.flagB) {
            EXPECT_DOUBLE_EQ(rs.channelCurrent, -ic);
        }
        EXPECT_DOUBLE_EQ(ctx.engine.output[0].freewheelCurrent, ic);
        EXPECT_DOUBLE_EQ(ctx.engine.output[0].chokeNodeVoltage, -rs.rectifierVoltage);
        run_.reset();
    }
}

// Rectifier 1 a transistor, rectifier 2 a diode, at 500 ohm: the choke runs dry as with diodes
// (DutyFromTheChokeBalance), its duty from the on-time drop V1 = 20 mohm · 0.0214 A:
//   D = (L·X/T) / (n·Vin - V1 - V) = 2.140000004 / (48 - 0.000428 - 10.7); the period starts
// with the choke empty and both rectifiers off, the output at its target (within 1 mV).
TEST_F(SteadyStart, TransistorRectifier1WithADiodeRunsDry) {
    rec_.load.resistance = 500.0;
    SecondaryRectifierInputRec& r = rec_.rectifier;
    r.resistiveRectifier = r.frequencyAnalysisFlagA = 1;
    r.onResistance = 0.02;
    rec_.settings.analysisKind = 1;
    rec_.filter.outputNumber = 1;
    {
        AnalysisContext& ctx = Start();
        ctx.inputCapacitor.inputVoltage = 48.0;
        double duty = 0.0;
        ASSERT_EQ(CalcSteadyStateDutyCycle(&duty), 1);
        EXPECT_EQ(ctx.outputChoke[0].continuousConduction, 0);
        EXPECT_NEAR(duty, 2.140000004 / (48.0 - 0.000428 - 10.7), 1e-9);
        run_.reset();
    }
    AnalysisContext& ctx = Start();
    ASSERT_EQ(InitializeAnalysis(), 1);
    const SecondaryRectifierStateRec& rs = ctx.secondaryRectifier[0];
    EXPECT_EQ(ctx.outputChoke[0].chokeCurrent, 0.0);
    EXPECT_EQ(rs.diodeConducting, 0);
    EXPECT_EQ(rs.switchPathBOn, 0);
    EXPECT_EQ(rs.rectifier1On, 0);
    EXPECT_NEAR(ctx.outputFilter[0].outputVoltage, 10.7, 1e-3);
}

// A second stage of 10 mohm beside a damping branch of 20 mohm + 70 mohm: with its resistor
// the load current splits 90:10 (inductor : damping); without it the inductor carries it all
// and the damping inductor the share R_A/R_T of it.
TEST_F(SteadyStart, SecondStageSharesTheLoadCurrent) {
    for (const int resistor : {1, 0}) {
        SCOPED_TRACE(resistor);
        rec_.settings.analysisKind = 1;
        rec_.filter.outputNumber = 1;
        OutputFilterInputRec& f = rec_.filter;
        f.hasInductorB = 1;
        f.secondInductorResistance = 0.01;
        f.dampingInductorOn = 1;
        f.dampingInductorResistance = 0.02;
        f.hasDampingB = resistor;
        f.dampingResistance = 0.07;
        AnalysisContext& ctx = Start();
        ASSERT_EQ(InitializeAnalysis(), 1);
        const double i = ctx.loadNetwork[0].loadCurrent;
        const double rt = 0.01 + 0.02 + (resistor ? 0.07 : 0.0);
        const OutputFilterStateRec& fs = ctx.outputFilter[0];
        EXPECT_NEAR(fs.inductorBCurrent, resistor ? (0.09 / rt) * i : i, 1e-12);
        EXPECT_NEAR(fs.dampingInductorCurrent, 0.01 / rt * i, 1e-12);
        run_.reset();
    }
}

// A duty outside (0, 1) has no operating point: no weighted output gives 0, a 5 V line for a
// 10.7 V output needs 11.43 V / 5 V = 2.3. Either ends the start with its message.
TEST_F(SteadyStart, DutyOutsideZeroToOneHasNoOperatingPoint) {
    struct Case {
        const char* name;
        double weight, line;
    };
    const Case cases[] = {{"no weighted output", 0.0, 48.0}, {"line too low", 1.0, 5.0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        rec_.settings.analysisKind = 1;
        rec_.load.rippleWeight = c.weight;
        rec_.line.lineOffset = c.line;
        Start();
        sink_.Clear();
        ResetFirstMessageFlag();
        EXPECT_EQ(InitializeAnalysis(), 0);
        ASSERT_FALSE(sink_.boxes.empty());
        EXPECT_NE(sink_.boxes.back().find("Steady state initialization has failed."), std::string::npos);
        run_.reset();
    }
}

// With the modulator term the loop holds 0.5·<Vm> + 0.25·Vo (each over the 10.7 V target, the
// feedback gain equal to the reference) at 1, <Vm> the mean rectified voltage Vo + Ro·I
// (Ro = 2 uohm, the choke's winding and sense; I = Vo/5 ohm):
//   Vo = 10.7 / (0.75 + 0.5·2e-6/5) = 14.2666629 V,
// and the duty is the choke balance at that output: D = (Rtotal·I + Vo + 0.7 + 0.01·I)/48.
// Weights of 0.25 and 0.75 hold the mean rectified voltage and the output together near the
// target: Vo = 10.7 / (1 + 0.25·2e-6/5).
TEST_F(SteadyStart, ModulatorTermBalancesTheFeedback) {
    struct Case {
        const char* name;
        double modulator, output;  // weights
        double vo;                 // V
    };
    const Case cases[] = {
        {"half modulator, quarter output", 0.5, 0.25, 10.7 / (0.75 + 0.5 * 2e-6 / 5.0)},
        {"quarter modulator, rest output", 0.25, 0.75, 10.7 / (1.0 + 0.25 * 2e-6 / 5.0)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        rec_.rectifier.dutyWeight = c.modulator;
        rec_.load.rippleWeight = c.output;
        AnalysisContext& ctx = Start();
        ctx.inputCapacitor.inputVoltage = 48.0;
        double duty = 0.0;
        ASSERT_EQ(CalcSteadyStateDutyCycle(&duty), 1);
        const double i = c.vo / 5.0;
        EXPECT_NEAR(duty, (kRtotal * i + c.vo + 0.7 + 0.01 * i) / 48.0, 1e-9);
        EXPECT_NEAR(ctx.outputFilter[0].capacitorVoltage, c.vo, 1e-7);
        EXPECT_NEAR(ctx.secondaryRectifier[0].forwardVoltage, 0.7 + 0.01 * i, 1e-9);
        EXPECT_EQ(ctx.outputChoke[0].continuousConduction, 1);
        run_.reset();
    }
}

// The modulator's lag at the period start: a lag long against the 10 us period holds the mean
// rectified voltage, the output's capacitor voltage plus the choke's 2 uohm drop (within
// (Vh - Vl)·T/tau, 0.5 uV at 1000 s); without a lag the step takes the rectified voltage
// itself, the freewheeling drop at the period start.
TEST_F(SteadyStart, ModulatorLagStartsAtItsPeriodicValue) {
    struct Case {
        const char* name;
        double tau;  // s
        bool mean;   // at the mean (or at the period start's rectified voltage)
    };
    const Case cases[] = {{"long lag", 1e3, true}, {"no lag", 0.0, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        rec_.settings.analysisKind = 1;
        rec_.filter.outputNumber = 1;
        rec_.rectifier.dutyWeight = 0.25;
        rec_.load.rippleWeight = 0.75;
        rec_.filter.engineSetupParamA = c.tau;
        AnalysisContext& ctx = Start();
        ASSERT_EQ(InitializeAnalysis(), 1) << (sink_.boxes.empty() ? "" : sink_.boxes[0]);
        const SecondaryRectifierStateRec& rs = ctx.secondaryRectifier[0];
        const double mean = ctx.outputFilter[0].capacitorVoltage + 2e-6 * ctx.loadNetwork[0].loadCurrent;
        EXPECT_NEAR(rs.modulatorVoltage, c.mean ? mean : rs.rectifiedVoltage, 1e-6);
        EXPECT_LT(rs.rectifiedVoltage, 0.0);  // the freewheeling diode's drop
        run_.reset();
    }
}

// The steady state of a design with an AC line or a load sine repeats over the sources'
// common period, searched over whole switching periods (10 us here).
TEST(SourceCycle, WholeSwitchingPeriodsOfThePeriodicSources) {
    struct Case {
        const char* name;
        double lineMagnitude, lineFrequency, sineAmplitude, sineFrequency;
        int32_t periods;
    };
    const Case cases[] = {
        {"DC line, DC load", 0.0, 50.0, 0.0, 5000.0, 1},
        {"400 Hz line", 10.0, 400.0, 0.0, 0.0, 250},
        {"5 kHz load sine", 0.0, 0.0, 1.0, 5000.0, 20},
        {"both: 1 ms together", 10.0, 1000.0, 1.0, 5000.0, 100},
        {"50 Hz line", 10.0, 50.0, 0.0, 0.0, 2000},
        {"60 Hz line: 1666.7 a period, whole over three", 10.0, 60.0, 0.0, 0.0, 5000},
        {"both: 5 kHz with 400 Hz", 10.0, 400.0, 1.0, 5000.0, 500},
        {"5 Hz line: the longest cycle searched", 10.0, 5.0, 0.0, 0.0, 20000},
        {"4 Hz line: too many", 10.0, 4.0, 0.0, 0.0, 0},
        {"both: 50 Hz line with a 60 Hz sine", 10.0, 50.0, 1.0, 60.0, 10000},
        {"both: 50 Hz line with an 8 Hz sine, 50000 together", 10.0, 50.0, 1.0, 8.0, 0},
        {"11 kHz sine: whole only over 11 of its periods", 0.0, 0.0, 1.0, 11000.0, 0},
        {"9.9 kHz sine: whole over 10 of its periods", 0.0, 0.0, 1.0, 1e5 / 10.1, 101},
        {"150 kHz sine: 3 of its periods in 2", 0.0, 0.0, 1.0, 150e3, 2},
        {"a sine of no amplitude", 0.0, 0.0, 0.0, 3000.0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        AnalysisSettingsRec set;
        set.switchingPeriodSetting = 1e-5;
        set.outputCount = 1;
        LineSourceInputRec line;
        line.lineMagnitude = c.lineMagnitude;
        line.lineFrequency = c.lineFrequency;
        LoadNetworkInputRec load;
        load.currentSourceOn = 1;
        load.sourceSineAmplitude = c.sineAmplitude;
        load.sourceFrequency = c.sineFrequency;
        const LoadNetworkInputRec* loads[kMaxOutputs] = {&load, nullptr, nullptr, nullptr};
        EXPECT_EQ(SwitchingPeriodsPerSourceCycle(set, line, loads), c.periods);
    }
}

// Where the sources share no common period, the run moves each one that lacks a whole period
// of its own by the least amount within ten of its periods, and refuses beyond 0.1 %.
TEST(SourceCycle, RetunesSourcesWithoutAWholePeriod) {
    struct Case {
        const char* name;
        double lineMagnitude, lineFrequency, sineAmplitude, sineFrequency;
        int32_t periods;
        double lineAsRun, sineAsRun;  // 0: not moved
        double switchingPeriod = 1e-5;
    };
    const Case cases[] = {
        {"60 Hz line: whole over three periods, not moved", 10.0, 60.0, 0.0, 0.0, 5000, 0.0, 0.0},
        {"61 Hz line: one period of 1639, 0.02 %", 10.0, 61.0, 0.0, 0.0, 1639, 1.0 / 1639e-5, 0.0},
        {"60 Hz line at 97.345 kHz: 12 periods exact, one within 0.026 %", 10.0, 60.0, 0.0, 0.0, 1622,
         97345.0 / 1622.0, 0.0, 1.0 / 97345.0},
        {"300 Hz line at 99.91 kHz: one period, 0.01 %", 10.0, 300.0, 0.0, 0.0, 333, 99910.0 / 333.0, 0.0,
         1.0 / 99910.0},
        {"3.1 kHz sine: 129 over four periods", 0.0, 0.0, 1.0, 3100.0, 129, 0.0, 4.0 / 129e-5},
        {"11 kHz sine: 0.0999 % over ten periods", 0.0, 0.0, 1.0, 11000.0, 91, 0.0, 10.0 / 91e-5},
        {"17 kHz sine: 0.11 % at best", 0.0, 0.0, 1.0, 17000.0, 0, 0.0, 0.0},
        {"4 Hz line: 25000 in its one period", 10.0, 4.0, 0.0, 0.0, 0, 0.0, 0.0},
        {"exact 60 Hz line, moved 3.1 kHz sine: 645000 together", 10.0, 60.0, 1.0, 3100.0, 0, 0.0, 4.0 / 129e-5},
        {"moved 61 Hz line, exact 5 kHz sine: 32780 together", 10.0, 61.0, 1.0, 5000.0, 0, 1.0 / 1639e-5, 0.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        AnalysisSettingsRec set;
        set.switchingPeriodSetting = c.switchingPeriod;
        set.outputCount = 1;
        LineSourceInputRec line;
        line.lineMagnitude = c.lineMagnitude;
        line.lineFrequency = c.lineFrequency;
        LoadNetworkInputRec load;
        load.currentSourceOn = 1;
        load.sourceSineAmplitude = c.sineAmplitude;
        load.sourceFrequency = c.sineFrequency;
        const LoadNetworkInputRec* loads[kMaxOutputs] = {&load, nullptr, nullptr, nullptr};
        const SourceCyclePlan plan = PlanSourceCycle(set, line, loads);
        EXPECT_EQ(plan.periods, c.periods);
        EXPECT_EQ(plan.lineRetuned, c.lineAsRun != 0.0);
        EXPECT_NEAR(plan.lineFrequency, c.lineAsRun != 0.0 ? c.lineAsRun : c.lineFrequency, 1e-9 * c.lineFrequency);
        EXPECT_EQ(plan.loadRetuned[0], c.sineAsRun != 0.0);
        EXPECT_NEAR(plan.loadFrequency[0], c.sineAsRun != 0.0 ? c.sineAsRun : c.sineFrequency, 1e-9 * c.sineFrequency);
        if (c.lineFrequency > 0.0) {
            EXPECT_LE(std::fabs(plan.lineFrequency / c.lineFrequency - 1.0), kMaxSourceRetune);
        }
        // The user's records are never the ones moved.
        EXPECT_EQ(line.lineFrequency, c.lineFrequency);
        EXPECT_EQ(load.sourceFrequency, c.sineFrequency);
    }
}

}  // namespace
