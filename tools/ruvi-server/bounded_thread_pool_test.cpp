#include "bounded_thread_pool.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <future>
#include <mutex>

// Durations and clocks come with <thread>: <chrono> itself does not compile
// with the GBK execution character set (its microsecond suffix has no GBK form).
#include <thread>

namespace {

constexpr auto kDeadline = std::chrono::seconds(30);

TEST(BoundedThreadPool, HoldsTheProducerOnceEveryWorkerIsBusyAndTheQueueIsFull) {
    constexpr int kThreads = 3;
    constexpr int kQueueLimit = 2;
    constexpr int kJobs = 10;
    std::promise<void> open;
    const std::shared_future<void> gate = open.get_future().share();
    std::atomic<int> runs = 0;
    std::mutex mutex;
    std::condition_variable acceptedChanged;
    int accepted = 0;

    CBoundedThreadPool pool(kThreads, kQueueLimit);
    auto producer = std::async(std::launch::async, [&] {
        for (int i = 0; i < kJobs; ++i) {
            pool.enqueue([&] {
                gate.wait();
                ++runs;
            });
            std::lock_guard lock(mutex);
            ++accepted;
            acceptedChanged.notify_all();
        }
    });
    {
        std::unique_lock lock(mutex);
        EXPECT_TRUE(acceptedChanged.wait_for(lock, kDeadline,
                                             [&] { return accepted >= kThreads + kQueueLimit; }));
        // While the gate is shut nothing can make room, so the producer
        // cannot have got further.
        EXPECT_EQ(accepted, kThreads + kQueueLimit);
    }
    open.set_value();  // on every path: the workers wait for it
    ASSERT_EQ(producer.wait_for(kDeadline), std::future_status::ready);
    pool.shutdown();
    EXPECT_EQ(runs.load(), kJobs);
}

TEST(BoundedThreadPool, ShutdownFinishesQueuedJobsAndMayBeRepeated) {
    std::atomic<int> runs = 0;
    CBoundedThreadPool pool(1, 16);
    for (int i = 0; i < 10; ++i) pool.enqueue([&] { ++runs; });
    pool.shutdown();
    EXPECT_EQ(runs.load(), 10);
    pool.shutdown();  // the destructor runs it once more
}

}  // namespace
