// Every primary family sensed by a current transformer instead of a sense resistor: the power
// stage is the same but for the transformer's primary resistance in the switch path (10 mohm
// beside the resistor's 1 uohm, 3 A for a quarter of the period: a drop under 10 mV in 48 V),
// so each output must match its sense-resistor twin closely over the same run.
#include <gtest/gtest.h>

#include "analysis/timedomain/AnalFigures.h"
#include "designs/AnalHeadless.h"
#include "circuit/Doc.h"
#include "designs/Designs.h"

namespace {

#ifdef PQ_SANITIZE
constexpr double kCycles = 200;
#else
constexpr double kCycles = 400;
#endif

double RunOutput(void (*build)(CPwrQuorraDoc&), int variant, double* duty) {
    CPwrQuorraDoc doc;
    doc.OnNewDocument();
    build(doc);
    doc.GetPrimarySection()->SetTopology(WORD(variant));
    doc.CheckAllSections();
    CRunFigures fig(0.0);
    const HeadlessRun run = RunDesignHeadless(doc, kCycles, &fig, nullptr);
    EXPECT_EQ(run.ran, 1) << run.problem;
    *duty = fig.Duty();
    return fig.OutputAverage();
}

TEST(SenseTransformer, EveryFamilyRunsAsItsSenseResistorTwin) {
    struct Case {
        const char* name;
        void (*build)(CPwrQuorraDoc&);
        int transformerVariant;
    };
    const Case cases[] = {
        {"two switch", &BuildFirstConfiguration, 0},
        {"resonant reset", &BuildResonantReset, 4},
        {"active clamp", &BuildActiveClamp, 6},
        {"passive clamp", &BuildPassiveClamp, 8},
        {"reset winding", &BuildResetWinding, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        double dutyResistor = 0.0, dutyTransformer = 0.0;
        const double withResistor = RunOutput(c.build, c.transformerVariant + 1, &dutyResistor);
        const double withTransformer = RunOutput(c.build, c.transformerVariant, &dutyTransformer);
        EXPECT_NEAR(withTransformer, withResistor, 0.002 * withResistor);
        EXPECT_NEAR(dutyTransformer, dutyResistor, 0.001);
    }
}

}  // namespace
