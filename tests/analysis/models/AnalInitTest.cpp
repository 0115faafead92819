// Initialisation: the line phases' angles and voltages, the turn-on state from rest, and the
// line filter impedance check with its warning.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <numbers>

#include "analysis/context/AnalContext.h"
#include "analysis/models/AnalInit.h"
#include "platform/core/ReportSink.h"
#include "records/Utils.h"
#include "support/FirstConfigRecords.h"

namespace {

using test_support::FirstConfigRecords;

class Init : public ::testing::Test {
protected:
    AnalysisContext& Start() {
        rec_.Attach(block_);
        run_ = std::make_unique<AnalysisRun>(block_);
        return *run_->Context();
    }
    fw::RecordingSink sink_;
    fw::ScopedReportSink scoped_{&sink_};
    FirstConfigRecords rec_;
    AnalysisThreadParams block_;
    std::unique_ptr<AnalysisRun> run_;
};

TEST_F(Init, LinePhasesTakeTheirAnglesAndVoltages) {
    rec_.settings.linePhaseCount = 3;
    rec_.line.lineMagnitude = 100.0;
    rec_.line.lineOffset = 5.0;
    AnalysisContext& ctx = Start();
    ASSERT_EQ(InitLineSourceQuantities(), 1);
    const double angles[3] = {0.0, 2.0 * std::numbers::pi / 3.0, 4.0 * std::numbers::pi / 3.0};
    for (int p = 0; p < 3; ++p) {
        EXPECT_NEAR(ctx.linePhase[p].phase, angles[p], 1e-15);
        EXPECT_NEAR(ctx.linePhase[p].lineVoltage, 100.0 * std::sin(angles[p]) + 5.0, 1e-12);
    }
    EXPECT_EQ(ctx.stepState.nextTimeStep, rec_.settings.initialTimeStep);
}

TEST_F(Init, TurnOnStartsFromRestWithTheClockAtItsTop) {
    AnalysisContext& ctx = Start();
    ASSERT_EQ(InitializeAnalysis(), 1);
    EXPECT_EQ(ctx.inputCapacitor.capacitorVoltage1, 0.0);
    EXPECT_EQ(ctx.outputFilter[0].capacitorVoltage, 0.0);
    EXPECT_EQ(ctx.outputChoke[0].chokeCurrent, 0.0);
    EXPECT_EQ(ctx.primary.primaryWindingCurrent, 0.0);
    EXPECT_EQ(ctx.primary.switchState, 0);
    EXPECT_EQ(ctx.secondaryRectifier[0].rectifier1On, 0);
    EXPECT_EQ(ctx.secondaryRectifier[0].diodeConducting, 0);
    EXPECT_EQ(ctx.secondaryRectifier[0].rectifier1Resistance, rec_.settings.openResistance);
    EXPECT_EQ(ctx.control.clockVoltage, rec_.control.clockUpperLimit);
    EXPECT_EQ(ctx.control.clockSlope, rec_.control.clockFirstSlope);
    EXPECT_EQ(ctx.stepState.switchingPeriod, rec_.settings.switchingPeriodSetting);
    EXPECT_TRUE(sink_.boxes.empty());
}

TEST_F(Init, LineFilterImpedanceWarning) {
    struct Case {
        const char* name;
        double lineInductance, lineResistance, bulkCapacitance, period, loadResistance;
        bool warns;
    };
    // 5 ohm at 10.7 V takes 22.9 W: Zin = 48²/22.9 = 100 ohm, so the filter may peak at 10 ohm.
    //  small line: 1 uH, 0.1 ohm against 1 mF peaks far below 1 ohm;
    //  soft line: 1 mH with 1 uF resonates at 5 krad/s with a peak of about wL = 5 ohm
    //  on top of the resonance (plain magnitudes add): above 10 ohm;
    //  no load: Zin = 1e8 ohm, one pass, no warning;
    //  no switching period: no upper frequency bound, one pass instead of a division by zero.
    const Case cases[] = {
        {"small line impedance", 1e-6, 0.1, 1e-3, 1e-5, 5.0, false},
        {"soft line", 1e-3, 10.0, 1e-6, 1e-5, 5.0, true},
        {"no load", 1e-3, 10.0, 1e-6, 1e-5, 1e30, false},
        {"no switching period", 1e-6, 0.1, 1e-3, 0.0, 5.0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FirstConfigRecords fresh;
        rec_ = fresh;
        rec_.line.lineInductance = c.lineInductance;
        rec_.line.lineResistance = c.lineResistance;
        rec_.line.outputCapacitance = c.bulkCapacitance;
        rec_.load.resistance = c.loadResistance;
        run_.reset();
        AnalysisContext& ctx = Start();
        ctx.stepState.switchingPeriod = c.period;
        sink_.Clear();
        EXPECT_EQ(CheckLineFilterImpedance(), 1);
        ASSERT_EQ(sink_.boxes.size(), c.warns ? 1u : 0u);
        if (c.warns) {
            EXPECT_EQ(sink_.boxes[0],
                      "Line filter impedance is high with respect to converter input\nimpedance.  This condition may "
                      "result in instability.");
        }
    }
}

}  // namespace
