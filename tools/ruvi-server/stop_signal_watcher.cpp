#include "stop_signal_watcher.h"

#include <pthread.h>

CStopSignalWatcher::CStopSignalWatcher(std::function<void()> onStop) : onStop_(std::move(onStop)) {
    sigemptyset(&signals_);
    sigaddset(&signals_, SIGINT);
    sigaddset(&signals_, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals_, nullptr);
    watcher_ = std::thread([this] { Watch(); });
}

// Wakes a watcher still waiting with a signal of its own, marked as such.
CStopSignalWatcher::~CStopSignalWatcher() {
    closing_ = true;
    pthread_kill(watcher_.native_handle(), SIGTERM);
    watcher_.join();
}

void CStopSignalWatcher::Watch() {
    int received = 0;
    sigwait(&signals_, &received);
    if (!closing_) onStop_();
}
