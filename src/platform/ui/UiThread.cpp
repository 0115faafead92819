#include "platform/ui/UiThread.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

namespace fw {

namespace {

struct Call {
    std::function<void()> fn;
    bool done = false;
    bool cancelled = false;
};

struct State {
    std::mutex m;
    std::condition_variable cv;
    std::deque<std::shared_ptr<Call>> calls;
    std::function<void()> waker;
    std::thread::id uiThread;
    bool hasUiThread = false;
    bool closed = false;
};

State& S() {
    static State s;
    return s;
}

}  // namespace

void SetUiThread() {
    std::lock_guard<std::mutex> lock(S().m);
    S().uiThread = std::this_thread::get_id();
    S().hasUiThread = true;
}

bool IsUiThread() {
    std::lock_guard<std::mutex> lock(S().m);
    return S().hasUiThread && S().uiThread == std::this_thread::get_id();
}

void SetUiWaker(std::function<void()> waker) {
    std::lock_guard<std::mutex> lock(S().m);
    S().waker = std::move(waker);
}

bool CallOnUiThread(const std::function<void()>& fn) {
    State& s = S();
    std::unique_lock<std::mutex> lock(s.m);
    if (s.closed) return false;
    if (!s.hasUiThread || s.uiThread == std::this_thread::get_id()) {
        lock.unlock();
        fn();
        return true;
    }
    auto call = std::make_shared<Call>();
    call->fn = fn;
    s.calls.push_back(call);
    std::function<void()> waker = s.waker;
    lock.unlock();
    if (waker) waker();
    lock.lock();
    s.cv.wait(lock, [&] { return call->done || call->cancelled; });
    return call->done;
}

void ServeUiCalls() {
    State& s = S();
    for (;;) {
        std::shared_ptr<Call> call;
        {
            std::lock_guard<std::mutex> lock(s.m);
            if (s.calls.empty() || s.closed) return;
            call = s.calls.front();
            s.calls.pop_front();
        }
        call->fn();
        {
            std::lock_guard<std::mutex> lock(s.m);
            call->done = true;
        }
        s.cv.notify_all();
    }
}

bool WaitServingUi(Event& e, int timeoutMs) {
    auto start = std::chrono::steady_clock::now();
    for (;;) {
        ServeUiCalls();
        if (e.Wait(5)) return true;
        if (timeoutMs >= 0 &&
            std::chrono::steady_clock::now() - start >= std::chrono::milliseconds(timeoutMs))
            return false;
    }
}

void CloseUiCalls() {
    State& s = S();
    {
        std::lock_guard<std::mutex> lock(s.m);
        s.closed = true;
        for (auto& c : s.calls) c->cancelled = true;
        s.calls.clear();
    }
    s.cv.notify_all();
}

void OpenUiCalls() {
    std::lock_guard<std::mutex> lock(S().m);
    S().closed = false;
}

}  // namespace fw
