// A breakdown box raised on the worker holds the run at its step until it is answered, and a
// stop asked for while the box is up is not lost: the user-interface side answers the box
// while it waits for the worker, and the run ends at the step after it.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

#include "analysis/timedomain/AnalThrd.h"
#include "circuit/DocAnalysis.h"
#include "platform/core/ReportSink.h"
#include "records/Utils.h"
#include "support/FirstConfigRecords.h"

namespace {

// A modal box: the worker waits in it until the user-interface side closes it.
class ModalSink : public fw::RecordingSink {
public:
    void MessageBox(const std::string& text) override {
        fw::RecordingSink::MessageBox(text);
        std::unique_lock<std::mutex> lock(m_);
        up_ = true;
        cv_.notify_all();
        cv_.wait(lock, [this] { return closed_; });
        up_ = false;
    }
    bool PostToMainWindow(uint32_t message, intptr_t wParam, intptr_t lParam) override {
        if (message == WM_ANALYSIS_DONE) done = true;
        return fw::RecordingSink::PostToMainWindow(message, wParam, lParam);
    }
    bool WaitUntilUp(std::chrono::milliseconds limit) {
        std::unique_lock<std::mutex> lock(m_);
        return cv_.wait_for(lock, limit, [this] { return up_; });
    }
    // The user closes this box and every later one at once.
    void Close() {
        std::lock_guard<std::mutex> lock(m_);
        closed_ = true;
        cv_.notify_all();
    }
    std::atomic<bool> done{false};

private:
    std::mutex m_;
    std::condition_variable cv_;
    bool up_ = false;
    bool closed_ = false;
};

TEST(BreakdownOnTheWorker, StopWhileTheBoxIsUpEndsTheRun) {
    ModalSink sink;
    fw::ScopedReportSink scoped(&sink);
    ResetFirstMessageFlag();
    test_support::FirstConfigRecords rec;
    rec.settings.endTime = 10.0;             // far longer than the test
    rec.primary.switchBreakdownVoltage = 1.0;  // both switches see the bulk at the first turn-off
    CAnalysisThreadCtl ctl;
    rec.Attach(ctl.Params());
    ctl.SetWorkerProc([](AnalysisThreadParams& p) { AnalysisThreadProc(p); });
    int served = 0;
    ctl.SetServeProc([&] {
        ++served;
        sink.Close();
    });
    ASSERT_TRUE(ctl.CreateRunEvents());
    ASSERT_TRUE(ctl.Start(1));
    ASSERT_TRUE(sink.WaitUntilUp(std::chrono::seconds(5)));

    const auto before = std::chrono::steady_clock::now();
    ctl.Stop();
    const double took = std::chrono::duration<double>(std::chrono::steady_clock::now() - before).count();
    EXPECT_LT(took, 1.0);
    EXPECT_GE(served, 1);
    EXPECT_EQ(ctl.GetRunStatus(), 2);
    EXPECT_FALSE(sink.done.load());
    // SW.1 and SW.2 trip at the same step; the run stops at the step after them.
    ASSERT_EQ(sink.boxes.size(), 2u);
    EXPECT_EQ(sink.boxes[0].rfind("Break Down Volt Problem with primary switch, SW.1.", 0), 0u);
    EXPECT_EQ(sink.boxes[1].rfind("Break Down Volt Problem with primary switch, SW.2.", 0), 0u);
}

}  // namespace
