// The progress a sweep posts to the frame as the program runs it (the worker): the spinner's
// code keeps coming while the sweep steps, so the status bar turns, yet the posts stay bounded
// in time however many steps the sweep takes, and the start and end codes always arrive.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <thread>
#include <vector>

#include "analysis/timedomain/AnalTime.h"
#include "app/AnalEngineLink.h"
#include "app/DesignDoc.h"
#include "circuit/AnalCfg.h"
#include "circuit/AppServices.h"
#include "designs/Designs.h"
#include "platform/core/ReportSink.h"
#include "records/Utils.h"

namespace {

// The program's services as far as a run needs them: a main window to post to.
class WithAWindow : public CAppServices {
public:
    void SetDocument(CPwrQuorraDoc*) override {}
    void RefreshMainFrame(int) override {}
    BOOL IsLoggingOn() override { return FALSE; }
    intptr_t GetMainWindowHandle() override { return 1; }
    void ServeWorkerRequests() override {}
};

TEST(SweepProgress, SpinnerTurnsAtABoundedRate) {
    fw::RecordingSink sink;
    fw::ScopedReportSink scoped(&sink);
    WithAWindow program;
    CAppServices* previous = SetAppServices(&program);
    CDesignDocument host;
    CPwrQuorraDoc& doc = host.Design();
    ASSERT_TRUE(doc.OnNewDocument());
    BuildVoltageLoop(doc);
    // Eight points of at least three windows of 100 periods: several intervals of stepping.
    CFreqDomainStimulusCfg& stim = doc.GetAnalysisConfig()->GetStimulusCfg();
    stim.m_dStartFrequency = 1000.0;
    stim.m_dStopFrequency = 5000.0;
    stim.m_nPointsPerDecade = 10;
    ASSERT_TRUE(doc.PrepareAnalysis());
    ASSERT_TRUE(CheckAnalysisCanRun(doc));
    const auto begin = std::chrono::steady_clock::now();
    ASSERT_TRUE(doc.StartAnalysis());
    const auto done = [&] {
        for (const auto& p : sink.PostsSoFar())
            if (p.message == WM_ANALYSIS_DONE) return true;
        return false;
    };
    for (int i = 0; i < 3000 && !done(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - begin).count();
    doc.EndAnalysis();
    SetAppServices(previous);
    ASSERT_TRUE(done());
    EXPECT_EQ(doc.GetRunStatus(), 1);
    std::vector<intptr_t> codes;
    for (const auto& p : sink.posts)
        if (p.message == WM_ANALYSIS_PROGRESS) codes.push_back(p.wParam);
    ASSERT_GE(codes.size(), 2u);
    EXPECT_EQ(codes.front(), 1000);
    EXPECT_EQ(codes.back(), 1000);
    const auto count = [&](intptr_t code) { return std::count(codes.begin(), codes.end(), code); };
    // The sweep steps for far longer than one interval (hundreds of periods): the spinner
    // turns more than once; each kind's repeats come at most once an interval.
    ASSERT_GT(ms, 4.0 * kLeastRunStatusIntervalMs);
    EXPECT_GE(count(999), 2);
    EXPECT_LE(count(998) + count(999), 2 + ms / kLeastRunStatusIntervalMs);
}

}  // namespace
