// Every regression design runs every analysis kind with division by zero, invalid operations
// and overflow trapped: the engine never leans on an infinity or a NaN to decide anything, so
// a value that does go wrong is caught where it starts. The runs are short (a few periods, a
// sweep at one frequency): the traps look at every operation, not at the figures.
#include <gtest/gtest.h>

#include <cfenv>
#include <csignal>
#include <cstring>
#include <string>
#include <unistd.h>

#include "circuit/AnalCfg.h"
#include "circuit/Doc.h"
#include "designs/Designs.h"
#include "designs/SteadyStart.h"

namespace {

// What ran when a trap came: the handler can only write, so the name is kept ready.
char g_running[160] = "";

void OnTrap(int) {
    const char head[] = "\nfloating-point trap in ";
    (void)!::write(2, head, sizeof head - 1);
    (void)!::write(2, g_running, std::strlen(g_running));
    (void)!::write(2, "\n", 1);
    // Back to the default action: the faulting operation runs again and ends the program.
    std::signal(SIGFPE, SIG_DFL);
}

// Traps on for this thread (the headless runs step on it) while it lives.
class Traps {
public:
    explicit Traps(const std::string& what) {
        std::snprintf(g_running, sizeof g_running, "%s", what.c_str());
        previous_ = std::signal(SIGFPE, OnTrap);
        std::feclearexcept(FE_ALL_EXCEPT);
        feenableexcept(FE_DIVBYZERO | FE_INVALID | FE_OVERFLOW);
    }
    ~Traps() {
        fedisableexcept(FE_ALL_EXCEPT);
        std::feclearexcept(FE_ALL_EXCEPT);
        std::signal(SIGFPE, previous_);
    }

private:
    void (*previous_)(int);
};

class FpTrapsOf : public ::testing::TestWithParam<RegressionDesign> {};

TEST_P(FpTrapsOf, EveryKindRunsWithoutATrap) {
    const std::string name = GetParam().name;
#ifdef PQ_SANITIZE
    // Under the sanitizers one sweep stands for the four: they share the sweep's step.
    const int32_t lastKind = CAnalysisConfig::KIND_VOLTAGE_LOOP;
#else
    const int32_t lastKind = CAnalysisConfig::KIND_AMPLIFIER;
#endif
    for (int32_t kind = CAnalysisConfig::KIND_TURN_ON; kind <= lastKind; ++kind) {
        SCOPED_TRACE(kind);
        CPwrQuorraDoc doc;
        doc.OnNewDocument();
        GetParam().build(doc);
        HeadlessRun run;
        {
            Traps traps(name + ", kind " + std::to_string(kind));
            if (kind == CAnalysisConfig::KIND_TURN_ON) {
                run = RunTurnOn(doc, 5.0).run;
            } else if (kind == CAnalysisConfig::KIND_STEADY_STATE) {
                run = RunSteadyStart(doc, CAnalysisConfig::INIT_FAST, 1.0).run;
            } else {
                // One point, a fifth of the switching frequency, with the design's own sine.
                const double f = doc.GetRequirements()->GetSwitchingFrequency() / 5.0;
                const double amplitude = doc.GetAnalysisConfig()->GetStimulusCfg().m_dAmplitude;
                SweepPoints sink(f, f);
                run = RunFrequencySweep(doc, kind, {f, f, 1, amplitude}, &sink);
            }
        }
        // A kind the design cannot run is refused before it steps; what runs must succeed.
        if (run.steps > 0) {
            EXPECT_EQ(run.ran, 1) << run.problem;
        }
    }
}

// An overflow inside a step (here made by the step observer) fails the run at its next step
// with the control section's message, whichever start the run took.
TEST(NonFiniteStep, FailsTheRunAtTheNextStep) {
    for (int32_t kind : {CAnalysisConfig::KIND_TURN_ON, CAnalysisConfig::KIND_STEADY_STATE}) {
        SCOPED_TRACE(kind);
        CPwrQuorraDoc doc;
        doc.OnNewDocument();
        BuildSaturatingChoke(doc);
        doc.GetAnalysisConfig()->SetAnalysisKind(kind);
        int64_t steps = 0;
        const HeadlessRun run = RunDesignHeadless(doc, 3.0, nullptr, nullptr, [&steps](const AnalysisContext&) {
            if (++steps == 5) {
                volatile double big = 1e308;
                big = big * 10.0;
            }
        });
        EXPECT_EQ(run.ran, 0);
        EXPECT_EQ(steps, 5);
        EXPECT_EQ(run.problem, "Problem:  Failure calculating control section quantities.");
    }
}

INSTANTIATE_TEST_SUITE_P(Designs, FpTrapsOf, ::testing::ValuesIn(RegressionDesigns()),
                         [](const ::testing::TestParamInfo<RegressionDesign>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace
