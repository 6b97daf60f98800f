#pragma once

#include <functional>
#include <thread>  // brings the clocks; <chrono> does not build with GBK literals

// Dispatches the current thread's messages until condition holds or the
// timeout ends; returns whether it held.
bool PumpMessagesUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout);
