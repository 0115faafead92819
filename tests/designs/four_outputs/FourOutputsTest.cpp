// Four outputs on one transformer end to end: the design written and read back, run as a
// turn-on transient until every output has settled, and each output's average measured over
// the last tenth of the run against its closed form.
#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <string>
#include <unistd.h>

#include "analysis/timedomain/AnalFigures.h"
#include "designs/AnalHeadless.h"
#include "circuit/Doc.h"
#include "designs/Designs.h"
#include "designs/ForwardClosedForm.h"

namespace {

#ifdef PQ_SANITIZE
constexpr double kCycles = 600;
#else
constexpr double kCycles = 1000;
#endif

// Each output is the first configuration's output with its own load. The secondaries are
// coupled to each other by the product of their couplings to the primary (k(Sj;Sk) = k²),
// so with the primary held by the bulk each output's commutation sees its own leakage
// Ls(1 - k²) alone (the mutual that remains between two secondaries, Ls·(k(Sj;Sk) - k²),
// is zero) and each output follows the single-output closed form. The outputs meet only in
// the primary current: the line and the switch carry all four choke currents, a fixed point
// over the four outputs.
TEST(FourOutputs, EveryOutputSettlesOnItsClosedForm) {
    std::string problem;
    std::unique_ptr<CPwrQuorraDoc> doc = OpenRegressionDesign("four_outputs", &problem);
    ASSERT_TRUE(doc) << problem;
    CRunFigures fig(0.0);
    const HeadlessRun run = RunDesignHeadless(*doc, kCycles, &fig, nullptr);
    ASSERT_EQ(run.ran, 1) << run.problem;

    const double loads[4] = {5.0, 10.0, 2.5, 20.0};
    double il[4] = {2.0, 1.0, 4.0, 0.5};
    designs::ForwardSteadyState cf[4];
    for (int pass = 0; pass < 20; ++pass) {
        for (int j = 0; j < 4; ++j) {
            const double others = il[0] + il[1] + il[2] + il[3] - il[j];
            cf[j] = designs::SolveForward({48.0, 0.1, 0.25, 1e-5, 200e-6, 200e-6, 2e-6, 0.7, 0.01, 2e-3 + 1e-6,
                                           100e-6 + 1e-10, 2e-6, 100e-6, loads[j], others});
        }
        for (int j = 0; j < 4; ++j) il[j] = cf[j].il;
    }
    for (int j = 0; j < 4; ++j) {
        SCOPED_TRACE(j + 1);
        EXPECT_NEAR(fig.OutputAverage(j), cf[j].vout, 0.01 * cf[j].vout);
    }
    EXPECT_NEAR(fig.Duty(), 0.25, 0.002);
}

}  // namespace
