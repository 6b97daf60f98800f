#pragma once

#include <functional>
#include <thread>  // brings the clocks; <chrono> does not build with GBK literals

// A TCP port on 127.0.0.1 that nothing listens on at the moment of the call.
// For programs that cannot pick their own port; the caller retries when
// another process takes it first.
int FreeLoopbackPort();

// Whether something accepts TCP connections on 127.0.0.1:port.
bool AcceptsConnections(int port);

// Polls condition until it holds or the time is up; returns whether it held.
bool WaitUntil(std::chrono::milliseconds limit, const std::function<bool()>& condition);
