#include "stop_signal_watcher.h"

#include <pthread.h>

#include <cstdlib>

namespace {
constexpr int kSignalDeathBase = 128;
}

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

int CStopSignalWatcher::AwaitSignal() {
    int received = 0;
    sigwait(&signals_, &received);
    return closing_ ? 0 : received;
}

// Every line the server writes is complete when write returns (the report
// log takes one write per line), so ending without unwinding loses no line.
void CStopSignalWatcher::Watch() {
    if (AwaitSignal() == 0) return;
    onStop_();
    const int second = AwaitSignal();
    if (second != 0) std::_Exit(kSignalDeathBase + second);
}
