// Two outputs whose chokes share one core, end to end.
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
#include "platform/core/ReportSink.h"

namespace {

#ifdef PQ_SANITIZE
constexpr double kCycles = 1500;
#else
constexpr double kCycles = 2000;
#endif

HeadlessRun RunNamed(const char* name, CRunFigures* fig) {
    for (const RegressionDesign& d : RegressionDesigns()) {
        if (std::string(d.name) != name) continue;
        const std::string path = ::testing::TempDir() + name + std::to_string(::getpid()) + ".SEF";
        EXPECT_TRUE(WriteRegressionDesign(d, path));
        std::string problem;
        std::unique_ptr<CPwrQuorraDoc> doc = OpenDesignHeadless(path, &problem);
        std::remove(path.c_str());
        HeadlessRun run;
        if (!doc) {
            run.problem = problem;
            return run;
        }
        return RunDesignHeadless(*doc, kCycles, fig, nullptr);
    }
    return {};
}

// Two identical outputs see the same choke voltage v(t), so their choke currents move
// together: L·dI1/dt + M·dI2/dt = v with dI1/dt = dI2/dt gives dI/dt = v/(L + M). Against
// the same two outputs on separate cores (dI/dt = v/L) the ripple shrinks by
//   L/(L + M) = 1/(1 + k) = 2/3  for k = 0.5,
// the averages (the load currents) stay.
TEST(CoupledChokes, RippleCurrentsFollowTheCoupledInductorForm) {
    CRunFigures coupled(0.0), separate(0.0);
    const HeadlessRun a = RunNamed("coupled_chokes", &coupled);
    ASSERT_EQ(a.ran, 1) << a.problem;
    {
        fw::RecordingSink sink;
        fw::ScopedReportSink scoped(&sink);
        CPwrQuorraDoc doc;
        doc.OnNewDocument();
        BuildCoupledChokes(doc);
        doc.GetOutputChokeMutualInd()->SetCouplingEnabled(FALSE);
        const HeadlessRun b = RunDesignHeadless(doc, kCycles, &separate, nullptr);
        ASSERT_EQ(b.ran, 1) << b.problem;
    }
    const double k = 0.5;
    EXPECT_NEAR(coupled.ChokePeakToPeak(), separate.ChokePeakToPeak() / (1.0 + k),
                0.03 * separate.ChokePeakToPeak() / (1.0 + k));
    EXPECT_NEAR(coupled.ChokeAverage(), separate.ChokeAverage(), 0.005 * separate.ChokeAverage());
}

}  // namespace
