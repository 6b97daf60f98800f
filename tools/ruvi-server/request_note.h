#pragma once

#include <cstdint>
#include <optional>
#include <thread>  // brings the clocks; <chrono> does not build with GBK literals

// What the server notes about the request in hand, for its access-log line
// and its counters. The HTTP layer reads, routes, answers and logs each
// request on one worker thread, so each thread has the note of its own
// request; it is begun when routing begins and ended by the log line.
struct CRequestNote {
    std::optional<std::chrono::steady_clock::time_point> start;
    std::optional<std::uint64_t> downloadOffset;
    std::optional<std::uint64_t> streamedBytes;  // of an answer sent piece by piece

    static CRequestNote& Current();
};
