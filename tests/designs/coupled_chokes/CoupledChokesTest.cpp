// Two outputs whose chokes share one core, end to end.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <string>
#include <unistd.h>

#include "analysis/timedomain/AnalFigures.h"
#include "designs/AnalHeadless.h"
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

// The skim inductor sits in series with the choke: 25 uH beside the first configuration's
// 100 uH choke slows the current's slopes by L/(L + Ls), so the ripple shrinks to 0.8 of
// the plain choke's (the leakage's share of the slope, 2 uH in 100, moves this by well under
// 1 %); the average (the load current) stays.
TEST(OutputChokes, SkimInductorAddsItsInductance) {
    auto run = [](bool skim, CRunFigures* fig) {
        fw::RecordingSink sink;
        fw::ScopedReportSink scoped(&sink);
        CPwrQuorraDoc doc;
        doc.OnNewDocument();
        BuildFirstConfiguration(doc);
        if (skim) {
            COutputChoke& choke = *doc.GetOutputChoke1();
            choke.SetTopology(1);
            choke.SetDefaults();
            choke.GetSkimInductor().m_dInductance = 25e-6;
            choke.GetSkimInductor().m_dDcResistance = 1e-6;
            doc.CheckAllSections();
        }
        return RunDesignHeadless(doc, kCycles, fig, nullptr);
    };
    CRunFigures plain(0.0), skimmed(0.0);
    const HeadlessRun a = run(false, &plain);
    ASSERT_EQ(a.ran, 1) << a.problem;
    const HeadlessRun b = run(true, &skimmed);
    ASSERT_EQ(b.ran, 1) << b.problem;
    const double ratio = 100e-6 / (100e-6 + 25e-6);
    EXPECT_NEAR(skimmed.ChokePeakToPeak(), ratio * plain.ChokePeakToPeak(), 0.02 * ratio * plain.ChokePeakToPeak());
    EXPECT_NEAR(skimmed.ChokeAverage(), plain.ChokeAverage(), 0.005 * plain.ChokeAverage());
}

}  // namespace
