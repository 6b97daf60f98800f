#include "rate_limiter.h"

bool CRateLimiter::Admit(const std::string& key, Clock::time_point now) {
    std::lock_guard lock(mutex_);
    Sweep(now);
    std::deque<Clock::time_point>& times = admitted_[key];
    while (!times.empty() && times.front() <= now - window_) times.pop_front();
    if (times.size() >= count_) return false;
    times.push_back(now);
    return true;
}

void CRateLimiter::Sweep(Clock::time_point now) {
    if (now < nextSweep_) return;
    nextSweep_ = now + window_;
    std::erase_if(admitted_, [&](const auto& entry) {
        return entry.second.empty() || entry.second.back() <= now - window_;
    });
}
