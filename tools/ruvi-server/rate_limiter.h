#pragma once

#include <cstddef>
#include <deque>
#include <mutex>
#include <string>
#include <thread>  // brings the clocks; <chrono> does not build with GBK literals
#include <unordered_map>

// At most `count` admissions per key (a client address) in any span of
// `window`. It remembers the admissions of the last window only: keys
// without one are swept out once a window, so the memory stays with the
// clients of the last window. Safe to use from any thread.
class CRateLimiter {
public:
    using Clock = std::chrono::steady_clock;

    CRateLimiter(std::size_t count, Clock::duration window) : count_(count), window_(window) {}

    // Admits and counts, or refuses without counting.
    bool Admit(const std::string& key, Clock::time_point now);

private:
    void Sweep(Clock::time_point now);

    const std::size_t count_;
    const Clock::duration window_;
    std::mutex mutex_;
    std::unordered_map<std::string, std::deque<Clock::time_point>> admitted_;
    Clock::time_point nextSweep_{};
};
