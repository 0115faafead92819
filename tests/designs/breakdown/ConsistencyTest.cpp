// The engine's conduction states against the consistency tests: with data logging on (which
// turns the run checks on) every regression design runs its turn-on and settles without a
// single consistency code in the log.
#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <unistd.h>

#include "designs/AnalHeadless.h"
#include "circuit/AnalCfg.h"
#include "circuit/Doc.h"
#include "circuit/SecSec.h"
#include "designs/Designs.h"
#include "records/Utils.h"
#include "support/ReadFile.h"

namespace {

// Through the start-up (the bulk charges in 0.2 ms) and a few hundred settled periods.
#ifdef PQ_SANITIZE
constexpr double kCycles = 150;
#else
constexpr double kCycles = 400;
#endif

// The consistency codes a logged turn-on run of the document writes, each with how often.
std::string LoggedCodes(CPwrQuorraDoc& doc) {
    const std::string log = ::testing::TempDir() + "consistency_" + std::to_string(::getpid()) + ".log";
    std::remove(log.c_str());
    SetLogPath(log);
    ResetLogStarted();
    SetLoggingQuery([] { return true; });
    // A design kept for a frequency analysis shows its start-up as a turn-on run.
    if (!doc.GetAnalysisConfig()->IsTimeDomain()) doc.GetAnalysisConfig()->SetAnalysisKind(CAnalysisConfig::KIND_TURN_ON);
    doc.GetUSData()->SetDataLogging(TRUE);
    const HeadlessRun run = RunDesignHeadless(doc, kCycles, nullptr, nullptr);
    SetLoggingQuery(nullptr);
    EXPECT_EQ(run.ran, 1) << run.problem;
    const std::string text = test_support::ReadAll(log);
    std::remove(log.c_str());
    std::map<std::string, int> codes;
    const std::string mark = "AnalChck:  CODE ";
    for (size_t at = text.find(mark); at != std::string::npos; at = text.find(mark, at + 1))
        ++codes[text.substr(at + mark.size(), 5)];
    std::string found;
    for (const auto& [code, count] : codes) found += code + " x" + std::to_string(count) + " ";
    return found;
}

TEST(ConsistencyLog, NoRegressionDesignLogsAConsistencyCode) {
    for (const RegressionDesign& d : RegressionDesigns()) {
        SCOPED_TRACE(d.name);
        const std::string path = ::testing::TempDir() + d.name + "_" + std::to_string(::getpid()) + ".SEF";
        ASSERT_TRUE(WriteRegressionDesign(d, path));
        std::string problem;
        std::unique_ptr<CPwrQuorraDoc> doc = OpenDesignHeadless(path, &problem);
        std::remove(path.c_str());
        ASSERT_TRUE(doc) << problem;
        EXPECT_EQ(LoggedCodes(*doc), "");
    }
}

// The primary families sensed by a current transformer, whose rectifier joins the tests.
TEST(ConsistencyLog, SenseTransformerFamiliesLogNoConsistencyCode) {
    struct Case {
        const char* name;
        void (*build)(CPwrQuorraDoc&);
        int variant;
    };
    const Case cases[] = {
        {"two switch", &BuildFirstConfiguration, 0},   {"resonant reset", &BuildResonantReset, 4},
        {"active clamp", &BuildActiveClamp, 6},       {"passive clamp", &BuildPassiveClamp, 8},
        {"reset winding", &BuildResetWinding, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CPwrQuorraDoc doc;
        doc.OnNewDocument();
        c.build(doc);
        doc.GetPrimarySection()->SetTopology(WORD(c.variant));
        doc.CheckAllSections();
        EXPECT_EQ(LoggedCodes(doc), "");
    }
}

// The transistor rectifiers' body diodes against the diodes beside them: below (the body diode
// carries a let-go position's current), level with them (both do) and above (the diode does).
TEST(ConsistencyLog, TransistorBodyDiodesLogNoConsistencyCode) {
    for (const double vf : {0.35, 0.7, 1.0}) {
        SCOPED_TRACE(vf);
        CPwrQuorraDoc doc;
        doc.OnNewDocument();
        BuildSyncRectifier(doc);
        CSecondarySection& sec = *doc.GetSecondarySection1();
        sec.GetTransistorRectifier1().m_dBodyDiodeForwardVoltage = vf;
        sec.GetTransistorRectifier2().m_dBodyDiodeForwardVoltage = vf;
        doc.CheckAllSections();
        EXPECT_EQ(LoggedCodes(doc), "");
    }
}

}  // namespace
