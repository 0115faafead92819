#include "circuit/DocAnalysis.h"

#include <system_error>

CAnalysisThreadCtl::~CAnalysisThreadCtl() { End(); }

BOOL CAnalysisThreadCtl::CreateRunEvents() {
    if (m_worker) return FALSE;
    ReleaseEvents();
    m_events = std::make_unique<RunEvents>();
    m_params.hStartEvent = &m_events->start;
    m_params.hBusyEvent = &m_events->busy;
    m_params.hQuitEvent = &m_events->quit;
    m_params.hFinishedEvent = &m_events->finished;
    return TRUE;
}

BOOL CAnalysisThreadCtl::Start(intptr_t notifyWnd, const std::function<void()>& whileStarting) {
    if (!m_events || !m_proc || m_worker) return FALSE;
    m_bRunning = 1;
    if (whileStarting) whileStarting();
    // The block is complete before the worker exists: the worker reads the window and
    // writes the status word from its first instruction on.
    m_params.hNotifyWnd = notifyWnd;
    m_params.runStatus = 1;
    auto worker = std::make_unique<fw::WorkerThread>();
    WorkerProc proc = m_proc;
    AnalysisThreadParams* params = &m_params;
    bool started = false;
    try {
        started = worker->Start([proc, params] { proc(*params); });
    } catch (const std::system_error&) {
        // No thread could be made (resources exhausted): the run is refused, nothing runs.
    }
    if (!started) {
        m_bRunning = 0;
        return FALSE;
    }
    m_worker = std::move(worker);
    m_events->busy.Set();
    m_events->quit.Reset();
    m_events->finished.Reset();
    m_events->start.Set();
    return TRUE;
}

void CAnalysisThreadCtl::End() {
    m_bRunning = 0;
    EndWorker();
}

void CAnalysisThreadCtl::EndWorker() {
    if (m_bEnding) return;
    if (!m_worker) {
        ReleaseEvents();
        return;
    }
    m_bEnding = 1;
    if (m_worker->IsAlive()) {
        // Quit first, then start, so that a worker waiting for start wakes and sees quit.
        m_events->quit.Set();
        m_events->start.Set();
        // Until the thread has returned: after finished it only frees its context, but even
        // that tail is waited for while serving, so the join below never blocks.
        while (m_worker->IsAlive()) {
            if (m_events->finished.Wait(kWaitSliceMs)) continue;
            if (m_serve) m_serve();
        }
    }
    m_worker->Join();
    m_worker.reset();
    ReleaseEvents();
    m_bEnding = 0;
}

void CAnalysisThreadCtl::ReleaseEvents() {
    m_params.hStartEvent = nullptr;
    m_params.hBusyEvent = nullptr;
    m_params.hQuitEvent = nullptr;
    m_params.hFinishedEvent = nullptr;
    m_events.reset();
}
