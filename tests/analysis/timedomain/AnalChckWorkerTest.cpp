// A breakdown box raised on the worker holds the run at its step until it is answered, and a
// stop asked for while the box is up is not lost: the user-interface side answers the box
// while it waits for the worker, and the run ends at the step after it. The box is shown
// either by a sink that blocks the worker itself or, as the program's does, handed to the
// user-interface thread, which shows it while it waits for the worker.
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
#include "platform/ui/UiThread.h"
#include "records/Utils.h"
#include "support/FirstConfigRecords.h"

namespace {

// A modal box: the worker waits in it until the user-interface side closes it.
class ModalSink : public fw::RecordingSink {
public:
    explicit ModalSink(bool marshal) : marshal_(marshal) {}
    void MessageBox(const std::string& text) override {
        {
            std::lock_guard<std::mutex> lock(m_);
            up_ = true;
            cv_.notify_all();
        }
        if (marshal_) {
            // The worker waits until the user-interface thread has shown the box and it was closed.
            const bool shown = fw::CallOnUiThread([&] {
                fw::RecordingSink::MessageBox(text);
                if (!fw::IsUiThread()) offUiThread = true;
            });
            if (!shown) offUiThread = true;
        } else {
            fw::RecordingSink::MessageBox(text);
        }
        std::unique_lock<std::mutex> lock(m_);
        cv_.wait(lock, [this] { return closed_ || marshal_; });
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
    std::atomic<bool> offUiThread{false};

private:
    const bool marshal_;
    std::mutex m_;
    std::condition_variable cv_;
    bool up_ = false;
    bool closed_ = false;
};

void StopWhileTheBoxIsUp(bool marshal) {
    fw::OpenUiCalls();
    fw::SetUiThread();
    fw::SetUiWaker(nullptr);
    ModalSink sink(marshal);
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
        if (marshal) fw::ServeUiCalls();  // the user closes each box the thread shows
        else sink.Close();
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
    EXPECT_FALSE(sink.offUiThread.load());
}

TEST(BreakdownOnTheWorker, StopWhileTheBoxIsUpEndsTheRun) {
    for (const bool marshal : {false, true}) {
        SCOPED_TRACE(marshal ? "shown by the user-interface thread" : "shown by the worker");
        StopWhileTheBoxIsUp(marshal);
    }
}

}  // namespace
