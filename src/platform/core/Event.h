// Events (auto or manual reset) and the worker-thread primitive.
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace fw {

class Event {
public:
    explicit Event(bool manualReset, bool initiallySet = false)
        : manualReset_(manualReset), set_(initiallySet) {}
    Event(const Event&) = delete;
    Event& operator=(const Event&) = delete;

    void Set() {
        {
            std::lock_guard<std::mutex> lock(m_);
            set_ = true;
        }
        if (manualReset_) cv_.notify_all();
        else cv_.notify_one();
    }
    void Reset() {
        std::lock_guard<std::mutex> lock(m_);
        set_ = false;
    }
    // Waits until the event is set; an auto-reset event is reset by the wait
    // that takes it. A negative timeout waits without limit.
    bool Wait(int timeoutMs = -1) {
        std::unique_lock<std::mutex> lock(m_);
        if (timeoutMs < 0) {
            cv_.wait(lock, [&] { return set_; });
        } else if (!cv_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return set_; })) {
            return false;
        }
        if (!manualReset_) set_ = false;
        return true;
    }
    // Polls without consuming an auto-reset event.
    bool IsSet() const {
        std::lock_guard<std::mutex> lock(m_);
        return set_;
    }

private:
    const bool manualReset_;
    bool set_;
    mutable std::mutex m_;
    std::condition_variable cv_;
};

// One thread, joined (never detached): destroying a running worker joins it.
class WorkerThread {
public:
    WorkerThread() = default;
    WorkerThread(const WorkerThread&) = delete;
    WorkerThread& operator=(const WorkerThread&) = delete;
    ~WorkerThread() { Join(); }

    // Starts proc on a new thread; false when a thread is still attached.
    bool Start(std::function<void()> proc) {
        std::lock_guard<std::mutex> lock(m_);
        if (thread_.joinable()) return false;
        alive_ = true;
        thread_ = std::thread([this, proc = std::move(proc)] {
            proc();
            std::lock_guard<std::mutex> l(m_);
            alive_ = false;
        });
        return true;
    }
    bool IsAlive() const {
        std::lock_guard<std::mutex> lock(m_);
        return alive_;
    }
    bool IsAttached() const {
        std::lock_guard<std::mutex> lock(m_);
        return thread_.joinable();
    }
    void Join() {
        std::thread t;
        {
            std::lock_guard<std::mutex> lock(m_);
            t = std::move(thread_);
        }
        if (t.joinable()) t.join();
    }
    std::thread::id GetId() const {
        std::lock_guard<std::mutex> lock(m_);
        return thread_.get_id();
    }

private:
    mutable std::mutex m_;
    std::thread thread_;
    bool alive_ = false;
};

}  // namespace fw
