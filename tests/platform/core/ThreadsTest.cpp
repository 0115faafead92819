#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <thread>

#include "platform/core/Event.h"
#include "platform/core/FpStatus.h"

TEST(Event, AutoResetReleasesOneWait) {
    fw::Event e(false);
    EXPECT_FALSE(e.Wait(0));
    e.Set();
    EXPECT_TRUE(e.Wait(0));
    EXPECT_FALSE(e.Wait(0));
}

TEST(Event, ManualResetStaysSet) {
    fw::Event e(true);
    e.Set();
    EXPECT_TRUE(e.Wait(0));
    EXPECT_TRUE(e.Wait(0));
    e.Reset();
    EXPECT_FALSE(e.IsSet());
}

TEST(WorkerThread, RunsAndJoins) {
    fw::WorkerThread w;
    fw::Event go(false), done(true);
    std::atomic<int> runs{0};
    ASSERT_TRUE(w.Start([&] {
        go.Wait();
        ++runs;
        done.Set();
    }));
    EXPECT_FALSE(w.Start([] {}));  // one thread at a time
    go.Set();
    EXPECT_TRUE(done.Wait(5000));
    w.Join();
    EXPECT_FALSE(w.IsAlive());
    EXPECT_EQ(runs, 1);
    EXPECT_TRUE(w.Start([&] { ++runs; }));
    w.Join();
    EXPECT_EQ(runs, 2);
}

TEST(FpStatus, ReadsAndClears) {
    fw::ClearFpStatus();
    volatile double zero = 0.0, one = 1.0;
    volatile double r = one / zero;
    (void)r;
    unsigned s = fw::ReadAndClearFpStatus();
    EXPECT_TRUE(s & fw::kFpZeroDivide);
    EXPECT_EQ(fw::ReadAndClearFpStatus(), 0u);
    volatile double n = std::sqrt(-one);
    (void)n;
    EXPECT_TRUE(fw::ReadAndClearFpStatus() & fw::kFpInvalid);
}

// Each thread has its own status: a worker's fault is not seen by, nor
// cleared from, the thread that started it.
TEST(FpStatus, IsPerThread) {
    fw::ClearFpStatus();
    unsigned seenByWorker = 99;
    std::thread worker([&] {
        fw::ClearFpStatus();
        volatile double zero = 0.0, one = 1.0;
        volatile double r = one / zero;
        (void)r;
        seenByWorker = fw::ReadAndClearFpStatus();
    });
    worker.join();
    EXPECT_TRUE(seenByWorker & fw::kFpZeroDivide);
    EXPECT_EQ(fw::ReadAndClearFpStatus(), 0u);
}
