#pragma once

#include <windows.h>

#include <cstdint>

// Measures how long something took, from its construction on. (The
// standard <chrono> cannot be compiled with the GBK execution character
// set.)
class Stopwatch {
public:
    std::int64_t Milliseconds() const {
        return static_cast<std::int64_t>(GetTickCount64() - start_);
    }

private:
    ULONGLONG start_ = GetTickCount64();
};
