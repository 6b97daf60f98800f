#pragma once

#include <httplib.h>

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

// The HTTP layer's worker pool with a cap on waiting work: when queueLimit
// connections are already waiting, enqueue holds the accepting thread, so
// further clients wait in the kernel's backlog instead of in memory.
class CBoundedThreadPool : public httplib::TaskQueue {
public:
    CBoundedThreadPool(std::size_t threadCount, std::size_t queueLimit);
    ~CBoundedThreadPool() override;
    CBoundedThreadPool(const CBoundedThreadPool&) = delete;
    CBoundedThreadPool& operator=(const CBoundedThreadPool&) = delete;

    void enqueue(std::function<void()> job) override;

    // Runs what is already queued, then joins the workers.
    void shutdown() override;

private:
    void Work();

    const std::size_t queueLimit_;
    std::mutex mutex_;
    std::condition_variable jobQueued_;
    std::condition_variable roomFreed_;
    std::deque<std::function<void()>> jobs_;
    bool shuttingDown_ = false;
    std::vector<std::thread> workers_;
};
