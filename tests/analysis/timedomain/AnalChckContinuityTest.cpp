// Current continuity across a change of rectifier conduction, on a hand-built context after
// a solved step: the rectifier that still conducts takes the choke's current, the windings
// carry the forward currents stacked on them, and the core's flux linkage seen from the
// winding that carries it (the primary, or the reset winding during the reset) is the same
// before and after the hand-over. An open primary takes nothing.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "analysis/context/AnalContext.h"
#include "analysis/models/AnalMSec.h"
#include "analysis/timedomain/AnalChck.h"
#include "platform/core/FpStatus.h"
#include "records/Utils.h"
#include "support/ReportCapture.h"

namespace {

constexpr double kLp = 200e-6;   // H
constexpr double kLr = 180e-6;   // H
constexpr double kM = 120e-6;    // primary-secondary mutual (H)
constexpr double kMr = 110e-6;   // reset-secondary mutual (H)

class CurrentContinuity : public test_support::ReportCaptureTest {
protected:
    // Two-switch forward, a later step (the last solve had both rectifiers of every output
    // conducting: the commutation overlap at turn-on), switch 1 on in both steps.
    void SetUp() override {
        ReportCaptureTest::SetUp();
        NewContext();
    }
    void NewContext() {
        run_.reset();
        run_ = std::make_unique<AnalysisRun>(block_);
        ctx_ = run_->Context();
        AnalysisContext& c = *ctx_;
        c.pSettings->outputCount = 1;
        c.stepState.stepCount = 10;
        c.primary.switchState = c.primarySnapshot.switchState = 2;
        c.primary.primaryWindingCurrent = c.primary.switch1Current = 0.5;
        EngineStore& st = c.engine;
        st.xfmr.lp = kLp;
        st.reset.lr = kLr;
        for (int32_t j = 0; j < kMaxOutputs; ++j) {
            st.xfmr.mps[j] = kM;
            st.reset.mrs[j] = kMr;
            st.output[j].polarity = 1;
            st.output[j].solvedForwardOn = st.output[j].solvedFreewheelOn = 1;
            c.secondaryRectifier[j].rectifier1On = c.secondaryRectifier[j].diodeConducting = 1;
        }
        Stack(1, {0, 0, 0, 0, 0, 0});
        // Output 1: the freewheel overshot through zero in the step that passed its crossing.
        SetOutput(1, 0.0239, -0.0166);
    }
    void TearDown() override {
        run_.reset();
        ReportCaptureTest::TearDown();
    }

    void Stack(int32_t outputs, StackingFlags flags) {
        const int32_t sign[kMaxOutputs] = {1, 1, 1, 1};
        ctx_->pSettings->outputCount = outputs;
        CalcStackingMatrix(outputs, flags, sign, ctx_->engine.stack);
    }
    // The solved currents of one output; its windings carry what the stack puts on them.
    void SetOutput(int32_t output, double forward, double freewheel) {
        AnalysisContext& c = *ctx_;
        SecondaryRectifierStateRec& r = c.secondaryRectifier[output - 1];
        r.rectifier1AnodeToCathodeCurrent = r.rectifierCurrent = forward;
        r.diodeCurrent = r.rectifier2TotalAnodeToCathodeCurrent = freewheel;
        c.outputChoke[output - 1].chokeCurrent = forward + freewheel;
        for (int32_t k = 0; k < c.pSettings->outputCount; ++k) {
            double w = 0.0;
            for (int32_t j = 0; j < c.pSettings->outputCount; ++j)
                w += c.engine.stack[j][k] * c.secondaryRectifier[j].rectifier1AnodeToCathodeCurrent;
            c.secondaryWinding[k].windingCurrent = w;
        }
    }
    // The flux linkage of the winding that carries the core's current: Lc·Ic + sum M·Is,
    // Is = -W into the dotted end (every output of positive polarity here).
    double Flux(bool reset) const {
        const AnalysisContext& c = *ctx_;
        double f = reset ? kLr * c.primary.resetWindingCurrent : kLp * c.primary.primaryWindingCurrent;
        for (int32_t k = 0; k < c.pSettings->outputCount; ++k)
            f -= (reset ? kMr : kM) * c.secondaryWinding[k].windingCurrent;
        return f;
    }

    AnalysisThreadParams block_;
    std::unique_ptr<AnalysisRun> run_;
    AnalysisContext* ctx_ = nullptr;
};

TEST_F(CurrentContinuity, TheConductingRectifierTakesTheChokeCurrentAndTheFluxIsHeld) {
    struct Row {
        const char* name;
        int32_t forward, freewheel;  // conduction decided after the solve
        double forwardAfter, freewheelAfter, chokeAfter;
    };
    const double choke = 0.0239 - 0.0166;
    const Row rows[] = {
        {"freewheel off: the forward rectifier takes the choke current", 1, 0, choke, 0.0, choke},
        {"forward off: the freewheel rectifier takes it", 0, 1, 0.0, choke, choke},
        {"both off: the choke current ends with them", 0, 0, 0.0, 0.0, 0.0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        NewContext();
        AnalysisContext& c = *ctx_;
        const double flux = Flux(false);
        c.secondaryRectifier[0].rectifier1On = row.forward;
        c.secondaryRectifier[0].diodeConducting = row.freewheel;
        ASSERT_EQ(KeepCurrentsContinuous(), 1);
        const SecondaryRectifierStateRec& r = c.secondaryRectifier[0];
        EXPECT_DOUBLE_EQ(r.rectifier1AnodeToCathodeCurrent, row.forwardAfter);
        EXPECT_DOUBLE_EQ(r.diodeCurrent, row.freewheelAfter);
        EXPECT_DOUBLE_EQ(c.outputChoke[0].chokeCurrent, row.chokeAfter);
        EXPECT_DOUBLE_EQ(c.secondaryWinding[0].windingCurrent, row.forwardAfter);
        EXPECT_NEAR(Flux(false), flux, 1e-15);
        // The switch carries the primary's new current through the sense resistor's inductance.
        EXPECT_DOUBLE_EQ(c.primary.switch1Current, c.primary.primaryWindingCurrent);
    }
}

TEST_F(CurrentContinuity, NoChangeLeavesTheSolvedCurrents) {
    AnalysisContext& c = *ctx_;
    ASSERT_EQ(KeepCurrentsContinuous(), 1);
    EXPECT_DOUBLE_EQ(c.secondaryRectifier[0].rectifier1AnodeToCathodeCurrent, 0.0239);
    EXPECT_DOUBLE_EQ(c.secondaryRectifier[0].diodeCurrent, -0.0166);
    EXPECT_DOUBLE_EQ(c.primary.primaryWindingCurrent, 0.5);
    // The first step has no solve before it to compare with.
    c.stepState.stepCount = 0;
    c.secondaryRectifier[0].diodeConducting = 0;
    ASSERT_EQ(KeepCurrentsContinuous(), 1);
    EXPECT_DOUBLE_EQ(c.secondaryRectifier[0].diodeCurrent, -0.0166);
}

TEST_F(CurrentContinuity, StackedWindingsCarryTheForwardCurrentsOnThem) {
    AnalysisContext& c = *ctx_;
    // Winding 2 stacked on winding 1: winding 1 carries both outputs' forward currents.
    Stack(2, {1, 0, 0, 0, 0, 0});
    SetOutput(1, 1.0, 0.0);
    SetOutput(2, 0.03, -0.01);
    ASSERT_DOUBLE_EQ(c.secondaryWinding[0].windingCurrent, 1.03);
    c.secondaryRectifier[0].diodeConducting = 0;  // output 1 was in overlap with a tiny freewheel
    c.secondaryRectifier[1].diodeConducting = 0;
    const double flux = Flux(false);
    ASSERT_EQ(KeepCurrentsContinuous(), 1);
    EXPECT_DOUBLE_EQ(c.secondaryRectifier[1].rectifier1AnodeToCathodeCurrent, 0.02);
    EXPECT_DOUBLE_EQ(c.secondaryWinding[0].windingCurrent, 1.0 + 0.02);
    EXPECT_DOUBLE_EQ(c.secondaryWinding[1].windingCurrent, 0.02);
    EXPECT_NEAR(Flux(false), flux, 1e-15);
}

TEST_F(CurrentContinuity, TheResetWindingHoldsTheFluxDuringTheReset) {
    AnalysisContext& c = *ctx_;
    c.pPrimaryInput->resetWindingOn = c.pPrimaryInput->resetDiodeOn = 1;
    c.primary.switchState = c.primarySnapshot.switchState = 1;
    c.primary.primaryWindingCurrent = 0.0;
    c.primary.resetWindingCurrent = 0.4;
    // The forward rectifier of the output ends in the reset with its current overshot below zero.
    SetOutput(1, -0.0108, 0.0247);
    c.secondaryRectifier[0].rectifier1On = 0;
    const double flux = Flux(true);
    ASSERT_EQ(KeepCurrentsContinuous(), 1);
    EXPECT_DOUBLE_EQ(c.secondaryWinding[0].windingCurrent, 0.0);
    EXPECT_NEAR(Flux(true), flux, 1e-15);
    EXPECT_DOUBLE_EQ(c.primary.primaryWindingCurrent, 0.0);  // the open primary takes nothing
}

TEST_F(CurrentContinuity, AnEndedResetDropsWhatIsLeftInTheOpenPrimary) {
    AnalysisContext& c = *ctx_;
    c.primarySnapshot.switchState = 1;
    c.primary.switchState = 0;
    c.primary.primaryWindingCurrent = -0.0035;  // overshot through zero in the last step
    SetOutput(1, -0.0108, 0.0247);
    c.secondaryRectifier[0].rectifier1On = 0;
    ASSERT_EQ(KeepCurrentsContinuous(), 1);
    EXPECT_DOUBLE_EQ(c.primary.primaryWindingCurrent, 0.0);
    EXPECT_DOUBLE_EQ(c.secondaryWinding[0].windingCurrent, 0.0);
    EXPECT_DOUBLE_EQ(c.secondaryRectifier[0].diodeCurrent, 0.0247 - 0.0108);
}

// A hand-over whose size over the step is below 0.0001 A/s is no change: the core's winding
// keeps its current. Output 1's freewheel of f ends, so the forward rectifier's winding changes
// by f and the primary would take M/Lp·f = 0.6·f; at a 10 ns step the rule's edge is
// |0.6·f| = 1e-12 A. The reset winding holds the flux alike during the reset.
TEST_F(CurrentContinuity, AChangeTooSmallForTheStepMovesNoCurrent) {
    struct Row {
        const char* name;
        double freewheel;        // A
        double inverseTimeStep;  // 1/s
        bool reset;
        bool moves;
    };
    const Row rows[] = {
        {"below the rate", -1.5e-12, 1e8, false, false},
        {"above the rate", -1.8e-12, 1e8, false, true},
        {"the same change over a step 10 times longer", -1.8e-12, 1e7, false, false},
        {"a real hand-over", -0.0166, 1e8, false, true},
        {"no step known: every change counts", -1.5e-12, NOT_SET, false, true},
        {"reset winding, below the rate", -1.5e-12, 1e8, true, false},
        {"reset winding, above the rate", -1.8e-12, 1e8, true, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        NewContext();
        AnalysisContext& c = *ctx_;
        if (row.reset) {
            c.pPrimaryInput->resetWindingOn = c.pPrimaryInput->resetDiodeOn = 1;
            c.primary.switchState = c.primarySnapshot.switchState = 1;
            c.primary.resetWindingCurrent = 0.4;
        }
        c.stepState.inverseTimeStep = row.inverseTimeStep;
        SetOutput(1, 0.0239, row.freewheel);
        c.secondaryRectifier[0].diodeConducting = 0;
        const double flux = Flux(row.reset);
        ASSERT_EQ(KeepCurrentsContinuous(), 1);
        // The secondary side is handed over either way.
        EXPECT_DOUBLE_EQ(c.secondaryWinding[0].windingCurrent, 0.0239 + row.freewheel);
        double& held = row.reset ? c.primary.resetWindingCurrent : c.primary.primaryWindingCurrent;
        if (row.moves) {
            EXPECT_NE(held, row.reset ? 0.4 : 0.5);
            EXPECT_NEAR(Flux(row.reset), flux, 1e-15);
        } else {
            EXPECT_EQ(held, row.reset ? 0.4 : 0.5);
            EXPECT_EQ(c.primary.switch1Current, 0.5);
        }
    }
}

// At the edge itself: exactly 0.0001 A/s is a change (2^-10 s steps keep the product exact).
TEST(CurrentChangeRule, CountsFromTheRateOn) {
    const double s = 1024.0;
    const double edge = kLeastCurrentChangeRate / s;
    EXPECT_TRUE(CountsAsCurrentChange(edge, s));
    EXPECT_TRUE(CountsAsCurrentChange(-edge, s));
    EXPECT_FALSE(CountsAsCurrentChange(std::nextafter(edge, 0.0), s));
    EXPECT_FALSE(CountsAsCurrentChange(-std::nextafter(edge, 0.0), s));
    EXPECT_FALSE(CountsAsCurrentChange(0.0, s));
    EXPECT_TRUE(CountsAsCurrentChange(std::nextafter(edge, 1.0), s));
    EXPECT_TRUE(CountsAsCurrentChange(0.0, 0.0));  // no step: nothing to compare with
}

// The device that carries a share afterwards shows it: the active clamp's switch the
// primary's in the reset interval, a driven synchronous channel its position's.
TEST_F(CurrentContinuity, TheCarryingSwitchShowsItsShare) {
    AnalysisContext& c = *ctx_;
    c.pPrimaryInput->topology = 6;
    c.pPrimaryInput->turnOnFlagA = 1;
    c.primary.switchState = 1;
    c.primarySnapshot.switchState = 3;
    c.primary.clampSwitchActive = 1;
    c.secondaryRectifier[0].rectifier1On = 0;
    const double flux = Flux(false);
    ASSERT_EQ(KeepCurrentsContinuous(), 1);
    EXPECT_NEAR(Flux(false), flux, 1e-15);
    EXPECT_DOUBLE_EQ(c.primary.clampSwitchCurrent, -c.primary.primaryWindingCurrent);

    NewContext();  // a fresh context: the old one is gone
    AnalysisContext& d = *ctx_;
    d.pSecondaryRectifierInput[0]->frequencyAnalysisFlagB = 1;
    d.pSecondaryRectifierInput[0]->secondOnResistance = 0.01;
    d.secondaryRectifier[0].switchPathBOn = 1;
    d.outputChoke[0].chokeFlagA = 1;
    d.engine.output[0].solvedFreewheelOn = 0;
    d.secondaryRectifier[0].rectifier1On = 0;
    ASSERT_EQ(KeepCurrentsContinuous(), 1);
    const double choke = 0.0239 - 0.0166;
    EXPECT_DOUBLE_EQ(d.secondaryRectifier[0].channelCurrent, -choke);
    EXPECT_DOUBLE_EQ(d.secondaryRectifier[0].channelVoltage, -0.01 * choke);
}

// A hand-over that cannot be computed fails the step with the change's codes and the run's
// first message; the output's share, a transistor position's, the primary's and the active
// clamp switch's have their own.
TEST_F(CurrentContinuity, AFailedHandOverFailsTheStepWithItsCodes) {
    constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
    constexpr double kHuge = 1e300;  // A: finite, but no channel drop of it is
    struct Row {
        const char* name;
        std::function<void(AnalysisContext&)> setUp;
        std::vector<std::string> codes;
        const char* box;
    };
    const Row rows[] = {
        {"the output's share",
         [&](AnalysisContext& c) {
             c.outputChoke[0].chokeCurrent = kNaN;
             c.secondaryRectifier[0].diodeConducting = 0;
         },
         {"CODE 13200", "CODE 13207", "CODE 13219"}, "secondary rectifier"},
        {"the primary's share",
         [&](AnalysisContext& c) {
             c.engine.xfmr.mps[0] = std::numeric_limits<double>::infinity();
             c.secondaryRectifier[0].diodeConducting = 0;
         },
         {"CODE 13220"}, "primary switch"},
        {"the clamp switch's share in the reset interval",
         [&](AnalysisContext& c) {
             c.pPrimaryInput->topology = 6;
             c.pPrimaryInput->turnOnFlagA = 1;
             c.primary.switchState = 1;
             c.primarySnapshot.switchState = 3;
             c.primary.clampSwitchDiodeConducting = 1;
             c.engine.xfmr.mps[0] = std::numeric_limits<double>::infinity();
             c.secondaryRectifier[0].rectifier1On = 0;
         },
         {"CODE 13221"}, "primary clamp switch"},
        {"rectifier 1 off: the driven switch 2 channel's drop",
         [&](AnalysisContext& c) {
             c.pSecondaryRectifierInput[0]->frequencyAnalysisFlagB = 1;
             c.pSecondaryRectifierInput[0]->secondOnResistance = kHuge;
             c.secondaryRectifier[0].switchPathBOn = 1;
             c.outputChoke[0].chokeFlagA = 1;
             c.outputChoke[0].chokeCurrent = kHuge;
             c.engine.output[0].solvedFreewheelOn = 0;  // only rectifier 1 conducted
             c.secondaryRectifier[0].rectifier1On = 0;
         },
         {"CODE 13202", "CODE 13219"}, "secondary rectifier"},
        {"rectifier 2 off: the driven switch 1 channel's drop",
         [&](AnalysisContext& c) {
             c.pSecondaryRectifierInput[0]->frequencyAnalysisFlagA = 1;
             c.pSecondaryRectifierInput[0]->onResistance = kHuge;
             c.secondaryRectifier[0].switchPathAOn = 1;
             c.outputChoke[0].chokeFlagA = 1;
             c.outputChoke[0].chokeCurrent = kHuge;
             c.engine.output[0].solvedForwardOn = 0;  // only rectifier 2 conducted
             c.secondaryRectifier[0].diodeConducting = 0;
         },
         {"CODE 13206", "CODE 13219"}, "secondary rectifier"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        NewContext();
        ResetFirstMessageFlag();
        sink_.Clear();
        RestartLog();
        AnalysisContext& c = *ctx_;
        c.pSettings->loggingOn = 1;
        fw::ClearFpStatus();  // the row before may have left an overflow raised
        row.setUp(c);
        EXPECT_EQ(KeepCurrentsContinuous(), 0);
        const std::string log = Log();
        for (const std::string& code : row.codes) EXPECT_EQ(test_support::CountOf(log, code), 1) << code;
        ASSERT_EQ(sink_.boxes.size(), 1u);
        EXPECT_NE(sink_.boxes[0].find(row.box), std::string::npos) << sink_.boxes[0];
    }
    fw::ClearFpStatus();
}

}  // namespace
