#include "bounded_thread_pool.h"

CBoundedThreadPool::CBoundedThreadPool(std::size_t threadCount, std::size_t queueLimit)
    : queueLimit_(queueLimit) {
    workers_.reserve(threadCount);
    for (std::size_t i = 0; i < threadCount; ++i) workers_.emplace_back([this] { Work(); });
}

CBoundedThreadPool::~CBoundedThreadPool() { shutdown(); }

void CBoundedThreadPool::enqueue(std::function<void()> job) {
    std::unique_lock lock(mutex_);
    roomFreed_.wait(lock, [this] { return jobs_.size() < queueLimit_ || shuttingDown_; });
    jobs_.push_back(std::move(job));
    jobQueued_.notify_one();
}

void CBoundedThreadPool::shutdown() {
    {
        std::lock_guard lock(mutex_);
        shuttingDown_ = true;
    }
    jobQueued_.notify_all();
    roomFreed_.notify_all();
    for (std::thread& worker : workers_) {
        if (worker.joinable()) worker.join();
    }
}

void CBoundedThreadPool::Work() {
    while (true) {
        std::function<void()> job;
        {
            std::unique_lock lock(mutex_);
            jobQueued_.wait(lock, [this] { return !jobs_.empty() || shuttingDown_; });
            if (jobs_.empty()) return;
            job = std::move(jobs_.front());
            jobs_.pop_front();
        }
        roomFreed_.notify_one();
        job();
    }
}
