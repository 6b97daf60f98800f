#pragma once

#include <signal.h>

#include <atomic>
#include <functional>
#include <thread>

// Turns SIGINT and SIGTERM into a call on a thread of its own, where
// anything may be done (a signal handler could do almost nothing). Create it
// before any other thread: the signals are blocked in the creating thread
// and so in every thread started after it.
class CStopSignalWatcher {
public:
    explicit CStopSignalWatcher(std::function<void()> onStop);
    ~CStopSignalWatcher();
    CStopSignalWatcher(const CStopSignalWatcher&) = delete;
    CStopSignalWatcher& operator=(const CStopSignalWatcher&) = delete;

private:
    void Watch();

    sigset_t signals_{};
    std::function<void()> onStop_;
    std::atomic<bool> closing_ = false;
    std::thread watcher_;
};
