#pragma once

#include <windows.h>

#include <functional>

#include "platform/kernel_handle.h"

// A thread running one piece of work, started with the C runtime's thread
// start so the runtime is set up for it. The object owns the thread's handle
// (for waiting) and closes it when it goes away; the thread itself runs on
// to its end in any case.
class CWorkerThread {
public:
    // An empty object when the thread could not be started.
    static CWorkerThread Start(std::function<void()> work);

    CWorkerThread() = default;

    explicit operator bool() const { return bool(handle_); }
    // Signalled when the work has ended.
    HANDLE Handle() const { return handle_.Get(); }

    // Waits until the work has ended (at once without a thread), handling
    // the calling thread's messages meanwhile: work that calls into this
    // thread's windows cannot deadlock the wait. A WM_QUIT met on the way is
    // posted again afterwards.
    void WaitPumpingMessages() const;

private:
    explicit CWorkerThread(HANDLE handle) : handle_(handle) {}

    KernelHandle handle_;
};
