// The run figures read currents and powers that ramp through a step as the step's mean, not
// its end value: a ramp from 0 to 1 over uneven steps averages 1/2 over its span whatever
// the steps, and a window that opens inside a step counts only the step's part inside it.
#include <gtest/gtest.h>

#include <memory>

#include "analysis/context/AnalContext.h"
#include "analysis/timedomain/AnalFigures.h"
#include "support/FirstConfigRecords.h"

namespace {

using test_support::FirstConfigRecords;

struct FigureRun {
    FirstConfigRecords rec;
    AnalysisThreadParams block;
    std::unique_ptr<AnalysisRun> run;
    AnalysisContext* ctx = nullptr;

    FigureRun() {
        rec.Attach(block);
        run = std::make_unique<AnalysisRun>(block);
        ctx = run->Context();
    }

    // The state at time t: a 48 V line whose current, the primary's draw and the load's
    // current all run as x = t/1 ms; the output holds 10 V.
    void Step(CRunFigures& fig, double t, double h) {
        const double x = t / 1e-3;
        ctx->stepState.time = t;
        ctx->stepState.inverseTimeStepTermA = h;
        ctx->engine.bulkDraw = x;
        ctx->linePhase[0].lineVoltage = 48.0;
        ctx->lineStep.sol.phaseCurrent[0] = x;
        ctx->outputFilter[0].outputVoltage = 10.0;
        ctx->loadNetwork[0].loadCurrent = x;
        fig.Observe(*ctx);
    }
};

TEST(RunFigures, RampsAverageAsTheirStepsMeanOverUnevenSteps) {
    struct Case {
        const char* name;
        double windowStart;  // ms
        double mean;         // of x over the window: (start + 1)/2
    };
    const Case cases[] = {
        {"window from the start", 0.0, 0.5},
        {"window opening inside a long step", 0.3, 0.65},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        FigureRun r;
        ASSERT_TRUE(r.ctx);
        r.ctx->pSettings->outputCount = 1;
        r.ctx->pSettings->linePhaseCount = 1;
        CRunFigures fig(c.windowStart * 1e-3);
        // Short steps and long ones in turn (0.05 and 0.15 ms): an end-value reading counts the
        // long steps' high ends three times as much and reads 0.5625 from the start.
        r.Step(fig, 0.0, 0.05e-3);
        double t = 0.0;
        for (int k = 0; t < 1e-3 - 1e-12; ++k) {
            const double h = (k % 2 ? 0.15 : 0.05) * 1e-3;
            t += h;
            r.Step(fig, t, h);
        }
        EXPECT_NEAR(fig.Span(), (1.0 - c.windowStart) * 1e-3, 1e-15);
        EXPECT_NEAR(fig.DrawAverage(), c.mean, 1e-12);
        EXPECT_NEAR(fig.InputCurrentAverage(), c.mean, 1e-12);
        EXPECT_NEAR(fig.InputPower(), 48.0 * c.mean, 1e-10);
        EXPECT_NEAR(fig.OutputPower(), 10.0 * c.mean, 1e-10);
        EXPECT_NEAR(fig.Efficiency(), 10.0 / 48.0, 1e-12);
    }
}

}  // namespace
