// The document's control of the analysis worker: the parameter block, the four events of a
// run, the worker thread and the analysis-running flag. One worker thread per run: a run's
// end (or a stop) asks the worker to quit, waits for it and joins it, so the next start
// creates a new thread with new events.
//
// All operations are for the user-interface thread. While it waits for the worker it keeps
// serving the worker's requests (the serve procedure), so a worker that waits for a message
// box cannot deadlock the program; it waits only while a worker is alive.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>

#include "analysis/context/AnalParams.h"
#include "platform/core/Event.h"
#include "platform/core/Types.h"

class CAnalysisThreadCtl {
public:
    // The worker thread's procedure; it receives the document's parameter block.
    using WorkerProc = std::function<void(AnalysisThreadParams&)>;
    // Serves the user-interface thread's pending work for a moment.
    using ServeProc = std::function<void()>;

    CAnalysisThreadCtl() = default;
    CAnalysisThreadCtl(const CAnalysisThreadCtl&) = delete;
    CAnalysisThreadCtl& operator=(const CAnalysisThreadCtl&) = delete;
    // Ends a live worker as a stop does.
    ~CAnalysisThreadCtl();

    void SetWorkerProc(WorkerProc proc) { m_proc = std::move(proc); }
    void SetServeProc(ServeProc serve) { m_serve = std::move(serve); }

    // Creates this run's events (start auto-reset, busy manual-reset and set, quit manual-reset
    // so that a stop stays seen until the next start, finished auto-reset) and puts them into
    // the block. FALSE, and nothing changes, while a worker thread is attached.
    BOOL CreateRunEvents();

    // Starts the run: running flag 1, then whileStarting (the document rebuilds the graph
    // page there), then the worker with the status word 1 and the notify window already in
    // the block; then busy set, quit and finished reset, start set. FALSE (running flag 0)
    // without this run's events, without a worker procedure, or while a worker is attached:
    // a run is never started twice.
    BOOL Start(intptr_t notifyWnd, const std::function<void()>& whileStarting = nullptr);

    // Running flag 0; a live worker is asked to quit and waited for; the worker is forgotten
    // and the run's events are released. Returns at once when no worker exists.
    void End();
    // The same, for Analysis > Stop and the stop messages.
    void Stop() { End(); }

    // Any thread: the worker asks it through the application's logging query.
    BOOL IsRunning() const { return m_bRunning.load(); }
    // TRUE while a worker thread is attached (started and not yet joined).
    BOOL HasWorker() const { return m_worker ? TRUE : FALSE; }
    BOOL HasRunEvents() const { return m_events ? TRUE : FALSE; }

    AnalysisThreadParams& Params() { return m_params; }
    const AnalysisThreadParams& Params() const { return m_params; }
    // The status word of the last run; read it after End.
    int32_t GetRunStatus() const { return m_params.runStatus; }

    // The initial-values flag: 1 until the analysis reports that its calculation of initial
    // values failed (from any thread); re-armed at the preparation of every run, so such a
    // failure refuses only the run in which it happened.
    BOOL GetInitValuesOk() const { return m_initValuesOk.load() ? TRUE : FALSE; }
    void ClearInitValuesOk() { m_initValuesOk.store(0); }
    void RearmInitValues() { m_initValuesOk.store(1); }

private:
    struct RunEvents {
        fw::Event start{false, false};
        fw::Event busy{true, true};
        fw::Event quit{true, false};
        fw::Event finished{false, false};
    };

    void EndWorker();
    void ReleaseEvents();

    // How long one wait for the worker lasts before the pending work is served again.
    static constexpr int kWaitSliceMs = 10;

    // Written by the user-interface thread, read by the worker (logging query) as well.
    std::atomic<BOOL> m_bRunning{0};
    BOOL m_bEnding = 0;  // an end is waiting for the worker (the serve procedure may re-enter)
    WorkerProc m_proc;
    ServeProc m_serve;
    std::unique_ptr<RunEvents> m_events;
    std::unique_ptr<fw::WorkerThread> m_worker;
    AnalysisThreadParams m_params;
    std::atomic<int32_t> m_initValuesOk{1};
};
