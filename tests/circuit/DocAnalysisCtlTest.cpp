// The analysis thread control with a worker that follows the analysis worker's protocol
// and a driver chosen by each test. Run these under ThreadSanitizer as well.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <thread>

#include "circuit/DocAnalysis.h"
#include "platform/core/Event.h"
#include "platform/core/ReportSink.h"
#include "records/Utils.h"

namespace {

using namespace std::chrono_literals;

// Shared between a test and its worker.
struct WorkerState {
    // The analysis driver: returns the run's result (0 ends the worker).
    std::function<int(AnalysisThreadParams&)> driver;
    std::atomic<int> procRuns{0};
    std::atomic<int> driverRuns{0};
    std::atomic<int> threadReuse{0};     // a thread that ran the procedure more than once
    std::atomic<bool> finishedSet{false};
    std::atomic<bool> skipFinished{false};  // the worker leaves without setting finished
    fw::Event driverStarted{false, false};
    fw::Event runDone{false, false};        // set after the worker posted the run-finished message
};

thread_local int t_procCalls = 0;

// The analysis worker's loop: status 1, wait for start, leave on quit, driver between busy
// reset and set, run-finished message on a non-zero result, finished on leaving.
CAnalysisThreadCtl::WorkerProc MakeWorker(std::shared_ptr<WorkerState> s) {
    return [s](AnalysisThreadParams& p) {
        if (++t_procCalls > 1) ++s->threadReuse;
        ++s->procRuns;
        p.runStatus = 1;
        for (;;) {
            // Bounded, so that a lost stop fails the test instead of hanging it.
            if (!p.hStartEvent->Wait(5000)) break;
            if (p.hQuitEvent->IsSet()) break;
            p.hBusyEvent->Reset();
            ++s->driverRuns;
            s->driverStarted.Set();
            int result = s->driver(p);
            p.hBusyEvent->Set();
            if (result == 0) break;
            p.runStatus = result;
            fw::GetReportSink().PostToMainWindow(WM_ANALYSIS_DONE, 0, 0);
            s->runDone.Set();
        }
        if (s->skipFinished) return;
        s->finishedSet = true;
        p.hFinishedEvent->Set();
    };
}

// A driver that runs until it is asked to quit, polling the quit event the way the drivers
// do at every step, then returns result. It gives up after a few seconds so that a lost stop
// fails the test instead of hanging it.
std::function<int(AnalysisThreadParams&)> RunUntilQuit(int result) {
    return [result](AnalysisThreadParams& p) {
        auto limit = std::chrono::steady_clock::now() + 3s;
        while (!p.hQuitEvent->Wait(0) && std::chrono::steady_clock::now() < limit)
            std::this_thread::sleep_for(1ms);
        return result;
    };
}

class AnalysisCtlTest : public ::testing::Test {
protected:
    void SetUp() override { ResetFileWarnings(); }

    void Attach(std::function<int(AnalysisThreadParams&)> driver) {
        state = std::make_shared<WorkerState>();
        state->driver = std::move(driver);
        ctl.SetWorkerProc(MakeWorker(state));
    }

    fw::RecordingSink sink;
    fw::ScopedReportSink scoped{&sink};
    std::shared_ptr<WorkerState> state;
    CAnalysisThreadCtl ctl;
};

TEST_F(AnalysisCtlTest, StopWhileIdleReturnsAtOnce) {
    Attach(RunUntilQuit(1));
    auto t0 = std::chrono::steady_clock::now();
    ctl.Stop();
    ASSERT_TRUE(ctl.CreateRunEvents());
    ctl.Stop();  // prepared but never started: nothing to wait for
    ctl.End();
    EXPECT_LT(std::chrono::steady_clock::now() - t0, 500ms);
    EXPECT_FALSE(ctl.IsRunning());
    EXPECT_FALSE(ctl.HasWorker());
    EXPECT_FALSE(ctl.HasRunEvents());
    EXPECT_EQ(state->procRuns, 0);
}

TEST_F(AnalysisCtlTest, StartThenStopWaitsForFinishedAndLeavesNoWorker) {
    Attach(RunUntilQuit(2));
    ASSERT_TRUE(ctl.CreateRunEvents());
    ASSERT_TRUE(ctl.Start(1234));
    EXPECT_TRUE(ctl.IsRunning());
    EXPECT_TRUE(ctl.HasWorker());
    ASSERT_TRUE(state->driverStarted.Wait(5000));
    ctl.Stop();
    EXPECT_TRUE(state->finishedSet);
    EXPECT_FALSE(ctl.IsRunning());
    EXPECT_FALSE(ctl.HasWorker());
    EXPECT_EQ(ctl.Params().hStartEvent, nullptr);
    EXPECT_EQ(ctl.Params().hFinishedEvent, nullptr);
    EXPECT_EQ(ctl.Params().hNotifyWnd, 1234);
}

// The stop may reach the worker before or after its driver began.
TEST_F(AnalysisCtlTest, StopRightAfterStartRunsTheDriverAtMostOnce) {
    Attach(RunUntilQuit(1));
    for (int i = 0; i < 20; ++i) {
        ASSERT_TRUE(ctl.CreateRunEvents());
        ASSERT_TRUE(ctl.Start(0));
        ctl.Stop();
        EXPECT_FALSE(ctl.HasWorker());
        EXPECT_FALSE(ctl.IsRunning());
    }
    EXPECT_EQ(state->procRuns, 20);
    EXPECT_LE(state->driverRuns, 20);
    EXPECT_EQ(state->threadReuse, 0);
}

// The driver consumes the quit event when it polls it and returns a non-zero result, so the
// worker posts and waits for start again: the stop must still be seen there.
TEST_F(AnalysisCtlTest, ProcedureThatSeesTheStopNeverRunsTwice) {
    Attach(RunUntilQuit(2));
    ASSERT_TRUE(ctl.CreateRunEvents());
    ASSERT_TRUE(ctl.Start(0));
    ASSERT_TRUE(state->driverStarted.Wait(5000));
    ctl.Stop();
    EXPECT_EQ(state->driverRuns, 1);
    EXPECT_EQ(state->procRuns, 1);
    EXPECT_EQ(ctl.GetRunStatus(), 2);
}

// A run that completes: the worker posts the run-finished message and waits for start; the
// end of the run ends the worker. The next run needs new events and gets a new thread.
TEST_F(AnalysisCtlTest, TwoRunsUseTwoThreadsAndTwoSetsOfEvents) {
    Attach([](AnalysisThreadParams&) { return 1; });
    for (int run = 1; run <= 2; ++run) {
        SCOPED_TRACE(run);
        ASSERT_TRUE(ctl.CreateRunEvents());
        ASSERT_TRUE(ctl.Start(0));
        ASSERT_TRUE(state->runDone.Wait(5000));
        ctl.End();
        EXPECT_FALSE(ctl.HasWorker());
        EXPECT_FALSE(ctl.HasRunEvents());
        EXPECT_EQ(ctl.GetRunStatus(), 1);
        EXPECT_FALSE(ctl.Start(0)) << "a run needs its own events";
    }
    EXPECT_EQ(state->procRuns, 2);
    EXPECT_EQ(state->driverRuns, 2);
    EXPECT_EQ(state->threadReuse, 0);
}

TEST_F(AnalysisCtlTest, ARunIsNeverStartedTwice) {
    Attach(RunUntilQuit(2));
    EXPECT_FALSE(ctl.Start(0)) << "no events yet";
    ASSERT_TRUE(ctl.CreateRunEvents());
    ASSERT_TRUE(ctl.Start(0));
    ASSERT_TRUE(state->driverStarted.Wait(5000));
    EXPECT_FALSE(ctl.Start(0));
    EXPECT_FALSE(ctl.CreateRunEvents()) << "the live worker's events stay";
    EXPECT_NE(ctl.Params().hQuitEvent, nullptr);
    ctl.Stop();
    EXPECT_EQ(state->procRuns, 1);
    EXPECT_EQ(state->driverRuns, 1);

    CAnalysisThreadCtl noProc;
    ASSERT_TRUE(noProc.CreateRunEvents());
    EXPECT_FALSE(noProc.Start(0));
    EXPECT_FALSE(noProc.IsRunning());
}

// A worker that could not build its context leaves without setting finished.
TEST_F(AnalysisCtlTest, WorkerThatEndsWithoutFinishedDoesNotHangTheStop) {
    Attach(RunUntilQuit(1));
    state->skipFinished = true;
    ASSERT_TRUE(ctl.CreateRunEvents());
    ASSERT_TRUE(ctl.Start(0));
    ASSERT_TRUE(state->driverStarted.Wait(5000));
    ctl.Stop();
    EXPECT_FALSE(state->finishedSet);
    EXPECT_FALSE(ctl.HasWorker());
}

// The worker asks the user-interface thread for something (a message box) and waits for the
// answer while the user-interface thread waits for the worker to end.
TEST_F(AnalysisCtlTest, WaitingForTheWorkerKeepsServingItsRequests) {
    auto request = std::make_shared<fw::Event>(false, false);
    auto answer = std::make_shared<fw::Event>(false, false);
    Attach([request, answer](AnalysisThreadParams&) {
        request->Set();
        answer->Wait();
        return 2;
    });
    std::atomic<int> served{0};
    ctl.SetServeProc([&] {
        if (request->Wait(0)) {
            ++served;
            answer->Set();
        }
    });
    ASSERT_TRUE(ctl.CreateRunEvents());
    ASSERT_TRUE(ctl.Start(0));
    ASSERT_TRUE(state->driverStarted.Wait(5000));
    ctl.Stop();
    EXPECT_EQ(served, 1);
    EXPECT_FALSE(ctl.HasWorker());
    EXPECT_EQ(state->driverRuns, 1);
}

// A serve procedure that asks for another stop while the first one waits.
TEST_F(AnalysisCtlTest, StopRequestedWhileStoppingIsHarmless) {
    Attach(RunUntilQuit(2));
    ctl.SetServeProc([this] { ctl.Stop(); });
    ASSERT_TRUE(ctl.CreateRunEvents());
    ASSERT_TRUE(ctl.Start(0));
    ASSERT_TRUE(state->driverStarted.Wait(5000));
    ctl.Stop();
    EXPECT_FALSE(ctl.HasWorker());
    EXPECT_EQ(state->procRuns, 1);
}

TEST_F(AnalysisCtlTest, DestroyingTheControlEndsALiveWorker) {
    auto s = std::make_shared<WorkerState>();
    s->driver = RunUntilQuit(2);
    {
        CAnalysisThreadCtl local;
        local.SetWorkerProc(MakeWorker(s));
        ASSERT_TRUE(local.CreateRunEvents());
        ASSERT_TRUE(local.Start(0));
        ASSERT_TRUE(s->driverStarted.Wait(5000));
    }
    EXPECT_TRUE(s->finishedSet);
    EXPECT_EQ(s->driverRuns, 1);
}

TEST_F(AnalysisCtlTest, InitialValuesFailureIsReportedFromTheWorkerAndRearmed) {
    Attach([this](AnalysisThreadParams&) {
        ctl.ClearInitValuesOk();
        return 2;
    });
    ASSERT_TRUE(ctl.CreateRunEvents());
    ASSERT_TRUE(ctl.Start(0));
    ASSERT_TRUE(state->runDone.Wait(5000));
    ctl.End();
    EXPECT_FALSE(ctl.GetInitValuesOk());
    ctl.RearmInitValues();
    EXPECT_TRUE(ctl.GetInitValuesOk());
}

}  // namespace
