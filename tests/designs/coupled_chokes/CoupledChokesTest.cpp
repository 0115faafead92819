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
#include "circuit/AnalCfg.h"
#include "designs/Designs.h"
#include "designs/ForwardClosedForm.h"
#include "records/DbParts.h"
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

// Both chokes on one saturating core: 100 uH up to 0.3 A, 40 uH from 0.5 A to 20 A. The core
// is looked up at the ampere-turns over each choke's turns, S = I1 + k·I2 = 1.5 × 2.1 A, on the
// plateau, so the pair moves as the coupled form says with the plateau's inductance: each
// current's slope v/(Lp·(1 + k)), the ripple of a single 60 uH choke in the first
// configuration's closed form (the other output's equal current on the same transformer),
// 2.5 times the unsaturated pair's. From the steady state; the lookup's lag as for the single
// saturating choke (3 %).
TEST(CoupledChokes, OneSaturatingCoreRipplesOnItsPlateau) {
    fw::RecordingSink sink;
    fw::ScopedReportSink scoped(&sink);
    CRunFigures plain(0.0);
    {
        CPwrQuorraDoc doc;
        doc.OnNewDocument();
        BuildCoupledChokes(doc);
        doc.GetAnalysisConfig()->SetAnalysisKind(CAnalysisConfig::KIND_STEADY_STATE);
        doc.CheckAllSections();
        ASSERT_EQ(RunDesignHeadless(doc, 60, &plain, nullptr).ran, 1);
    }
    CPwrQuorraDoc doc;
    doc.OnNewDocument();
    BuildCoupledChokes(doc);
    for (CInductor* l : {&doc.GetOutputChoke1()->GetInductorOut1(), &doc.GetOutputChoke2()->GetInductorOut1()}) {
        CObArrayCurrentInductance& points = l->m_CoreSatChar.m_arPoints;
        points.DeleteAll();
        points.AddCopy(0, CObCurrentInductance(0.3, 100e-6));
        points.AddCopy(1, CObCurrentInductance(0.5, 40e-6));
        points.AddCopy(2, CObCurrentInductance(20.0, 40e-6));
    }
    doc.GetAnalysisConfig()->SetAnalysisKind(CAnalysisConfig::KIND_STEADY_STATE);
    doc.CheckAllSections();
    CRunFigures fig(0.0);
    const HeadlessRun run = RunDesignHeadless(doc, 60, &fig, nullptr);
    ASSERT_EQ(run.ran, 1) << run.problem;
    designs::ForwardCircuit c{48.0, 0.1, 0.25, 1e-5, 200e-6, 200e-6, 2e-6, 0.7, 0.01, 2e-3 + 1e-6,
                              40e-6 * 1.5 + 1e-10, 2e-6, 100e-6, 5.0};
    designs::ForwardSteadyState cf = designs::SolveForward(c);
    for (int pass = 0; pass < 5; ++pass) {
        c.otherOutputsCurrent = cf.il;
        cf = designs::SolveForward(c);
    }
    EXPECT_NEAR(fig.ChokePeakToPeak(), cf.dil, 0.03 * cf.dil);
    // The averages move only by the leakage's share L/(L + Llk) of the forward voltage: against
    // the plain pair (an equivalent 150 uH) by the closed forms' ratio.
    designs::ForwardCircuit p = c;
    p.l = 100e-6 * 1.5 + 1e-10;
    designs::ForwardSteadyState pf = designs::SolveForward(p);
    for (int pass = 0; pass < 5; ++pass) {
        p.otherOutputsCurrent = pf.il;
        pf = designs::SolveForward(p);
    }
    const double expected = plain.ChokeAverage() * cf.il / pf.il;
    EXPECT_NEAR(fig.ChokeAverage(), expected, 0.005 * expected);
}
