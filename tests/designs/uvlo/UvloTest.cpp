// On a slowly charging bulk the lockout holds the references, the soft start and so the
// drive until the bulk reaches the turn-on level; then the loop starts and regulates.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <unistd.h>

#include "analysis/timedomain/AnalFigures.h"
#include "analysis/timedomain/AnalHeadless.h"
#include "circuit/Doc.h"
#include "designs/Designs.h"

namespace {

// The sanitizer build stops after the start (20 ms) and leaves the settling to the others.
#ifdef PQ_SANITIZE
constexpr double kCycles = 2000;
constexpr bool kSettles = false;
#else
constexpr double kCycles = 0;  // the design's own 80 ms
constexpr bool kSettles = true;
#endif

TEST(Uvlo, TheLoopStartsWhenTheBulkReachesTheTurnOnLevel) {
    std::string problem;
    std::unique_ptr<CPwrQuorraDoc> doc = OpenRegressionDesign("uvlo", &problem);
    ASSERT_TRUE(doc) << problem;
    CRunFigures fig(0.0);
    const HeadlessRun run = RunDesignHeadless(*doc, kCycles, &fig, nullptr);
    ASSERT_EQ(run.ran, 1) << run.problem;

    // Nothing loads the bulk before the drive starts: it charges from 48 V through the line's
    // 10 ohm (and 1 uH, negligible here), V(t) = 48·(1 - exp(-t/RC)), RC = 10 ohm·1 mF; it
    // passes the 30 V turn-on level at t = -RC·ln(1 - 30/48) = 9.81 ms.
    const double rc = 10.0 * 1e-3;
    const double tOn = -rc * std::log(1.0 - 30.0 / 48.0);
    EXPECT_NEAR(fig.ReferenceStartBulk(), 30.0, 0.005 * 30.0);
    EXPECT_NEAR(fig.ReferenceStartTime(), tOn, 0.01 * tOn);
    // The drive waits for the soft start, which charges only from then on.
    EXPECT_GE(fig.FirstDriveTime(), fig.ReferenceStartTime());
    // Then the loop regulates at its set point, 10 V (the closed-loop design).
    if (kSettles) {
        EXPECT_NEAR(fig.OutputAverage(), 10.0, 0.005 * 10.0);
    }
}

}  // namespace
