#pragma once

#include <cstddef>
#include <thread>  // brings the clocks; <chrono> does not build with GBK literals

// How long and how much one client connection may take. Each connection
// holds one worker while it is served, so these bound what a slow or idle
// client costs: a worker for at most one deadline per request.
struct CConnectionLimits {
    // From a request's first byte to the last byte of its body (and for the
    // TLS handshake, from the connection on), however steadily it trickles.
    std::chrono::milliseconds requestDeadline{10000};
    // An answer that makes no progress for this long is given up.
    std::chrono::milliseconds sendTimeout{30000};
    // The wait for the next request on a kept connection.
    std::chrono::milliseconds keepAlive{2000};
    std::size_t requestsPerConnection = 10;
    // Request line and headers; installers send a few hundred bytes.
    std::size_t headBytes = 16 * 1024;
};
