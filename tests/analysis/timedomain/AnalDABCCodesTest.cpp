// What a failing primary builder logs: its variant's own code (large builders 10411 + the
// variant), not one code for every variant that shares the builder.
#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "analysis/context/AnalContext.h"
#include "analysis/models/AnalInit.h"
#include "analysis/timedomain/AnalABCP.h"
#include "analysis/timedomain/AnalDABC.h"
#include "support/FirstConfigRecords.h"
#include "support/ReportCapture.h"

namespace {

class BuilderCodes : public test_support::ReportCaptureTest {
protected:
    // One step of the first configuration with the primary as `variant` in `state`, its
    // reset loop's term made not a number so that the large builder fails.
    std::string FailedStepLog(int32_t variant, int32_t state) {
        test_support::FirstConfigRecords rec;
        rec.primary.topology = variant;
        rec.primary.runCheckParamB = std::numeric_limits<double>::quiet_NaN();
        rec.primary.sectionQuantityParamI = std::numeric_limits<double>::quiet_NaN();
        AnalysisThreadParams block;
        rec.Attach(block);
        AnalysisRun run(block);
        EXPECT_EQ(run.GetStatus(), AnalysisRun::Status::kLive);
        EXPECT_EQ(InitializeAnalysis(), 1);
        EXPECT_EQ(PrepareStepEngine(), 1);
        // A start of step as the assembly test's.
        AnalysisContext& ctx = *run.Context();
        ctx.stepState.inverseTimeStep = 1.0 / 37e-9;
        ctx.linePhase[0].lineCurrentHeld = 1.4;
        ctx.inputCapacitor.capacitorVoltage1 = 46.2;
        ctx.inputCapacitor.upperBulkCapacitorCurrent = -0.6;
        ctx.primary.primaryWindingCurrent = 2.3;
        ctx.primary.switch1Current = 0.0;
        ctx.secondaryWinding[0].windingCurrent = 1.9;
        ctx.outputChoke[0].chokeCurrent = 2.1;
        ctx.outputFilter[0].capacitorVoltage = 10.4;
        ctx.outputFilter[0].capacitorCurrent = 0.2;
        ctx.loadNetwork[0].resistorCurrent = 3.1;
        RestartLog();
        ctx.primary.switchState = state;
        EXPECT_EQ(AssembleStateMatrices(), 0);
        return Log();
    }
};

TEST_F(BuilderCodes, LargeBuilderLogsItsOwnVariant) {
    struct Case {
        int32_t variant, state;
        const char* code;
    };
    // Two switch with current transformer and with current sense resistor, in their reset
    // state: the builder both share logs each variant's code.
    const Case cases[] = {
        {0, 1, "CODE 10411"},
        {1, 1, "CODE 10412"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        const std::string log = FailedStepLog(c.variant, c.state);
        EXPECT_EQ(test_support::CountOf(log, "AnalDABC:  CODE 104"), 1) << log;
        EXPECT_NE(log.find(c.code), std::string::npos) << log;
    }
}

}  // namespace
