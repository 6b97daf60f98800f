#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <thread>  // brings the clocks; <chrono> does not build with GBK literals

#include "request_head_filter.h"

// What the server notes about the request in hand, for its access-log line,
// its counters and its connection. The HTTP layer reads, routes, answers and
// logs each request on one worker thread, so each thread has the note of its
// own request; the connection begins it at the request's first byte and ends
// it once the answer has gone.
struct CRequestNote {
    std::optional<std::chrono::steady_clock::time_point> start;
    std::string peer;                          // the connection's other end
    const CRequestHeadFilter* head = nullptr;  // what it held back of the head
    std::optional<std::uint64_t> downloadOffset;
    std::optional<std::uint64_t> streamedBytes;  // of an answer sent piece by piece
    // The answer was given without reading the body: the connection ends
    // after it, as what follows on it is no request.
    bool bodyLeftUnread = false;

    static CRequestNote& Current();
};
