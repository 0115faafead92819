// A design whose load plays a sine is swept with the sine silenced: the sweep measures the
// converter at its operating point with the injection as its only AC drive, so the load-sine
// design gives the points of the same design whose load has no sine at all.
#include <gtest/gtest.h>

#include <cmath>

#include "designs/AnalHeadless.h"
#include "circuit/AnalCfg.h"
#include "circuit/Doc.h"
#include "designs/Designs.h"

namespace {

TEST(LoadSourceSweep, TheLoadSineIsSilencedForTheSweep) {
    SweepPoints withSine(2000.0, 2000.0, 4), without(2000.0, 2000.0, 4);
    for (SweepPoints* sink : {&withSine, &without}) {
        CPwrQuorraDoc doc;
        doc.OnNewDocument();
        BuildLoadSource(doc);
        if (sink == &without) {
            doc.GetLoadNetwork1()->GetCurrentSourceILoad().m_dACPeakMagnitude = 0.0;
            doc.CheckAllSections();
        }
        const HeadlessRun run =
            RunFrequencySweep(doc, CAnalysisConfig::KIND_INPUT_TO_OUTPUT, {2000.0, 2000.0, 3, 0.5}, sink);
        ASSERT_EQ(run.ran, 1) << run.problem;
    }
    ASSERT_EQ(withSine.points.size(), without.points.size());
    ASSERT_FALSE(withSine.points.empty());
    for (const auto& [q, curve] : without.points) {
        ASSERT_EQ(withSine.points[q].size(), curve.size());
        for (const auto& [f, y] : curve) {
            SCOPED_TRACE(q);
            EXPECT_TRUE(std::isfinite(y));
            // Silenced before the operating point is sought, the two runs are the same run.
            EXPECT_NEAR(withSine.points[q][f], y, q % 2 ? 0.05 : 0.5);
        }
    }
}

}  // namespace
