#pragma once

#include <signal.h>

#include <atomic>
#include <functional>
#include <thread>

// Turns SIGINT and SIGTERM into a call on a thread of its own, where
// anything may be done (a signal handler could do almost nothing). The
// first signal asks for a graceful stop, which waits for the answers under
// way; a second one ends the process at once, with the shell's status for a
// signal death (128 + the signal's number). Create it before any other
// thread: the signals are blocked in the creating thread and so in every
// thread started after it.
class CStopSignalWatcher {
public:
    explicit CStopSignalWatcher(std::function<void()> onStop);
    ~CStopSignalWatcher();
    CStopSignalWatcher(const CStopSignalWatcher&) = delete;
    CStopSignalWatcher& operator=(const CStopSignalWatcher&) = delete;

private:
    void Watch();
    // The signal's number, or 0 when the watcher itself is closing.
    int AwaitSignal();

    sigset_t signals_{};
    std::function<void()> onStop_;
    std::atomic<bool> closing_ = false;
    std::thread watcher_;
};
