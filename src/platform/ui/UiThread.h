// The user-interface thread, and calls that other threads make on it. A
// worker that needs a message box hands the call over and waits; the
// user-interface thread runs it when its loop wakes, or while it waits for
// the worker itself (WaitServingUi), so that neither waits for the other.
#pragma once

#include <functional>

#include "platform/core/Event.h"

namespace fw {

// The calling thread becomes the user-interface thread.
void SetUiThread();
bool IsUiThread();
// How to wake the user-interface thread's loop (called from any thread);
// the loop then calls ServeUiCalls.
void SetUiWaker(std::function<void()> waker);
// Runs fn on the user-interface thread and waits until it has run; on that
// thread, or when there is none, fn runs at once. False when the calls are
// closed (the program is ending): fn did not run.
bool CallOnUiThread(const std::function<void()>& fn);
// On the user-interface thread: runs every call waiting.
void ServeUiCalls();
// On the user-interface thread: waits for the event (a negative timeout
// waits without limit) while serving the calls of other threads.
bool WaitServingUi(Event& e, int timeoutMs = -1);
// No more calls run; waiting and later callers return false. Reopen for a
// new loop (tests).
void CloseUiCalls();
void OpenUiCalls();

}  // namespace fw
