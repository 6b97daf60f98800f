#pragma once

#include <windows.h>
// needs windows.h before it
#include <psapi.h>

#include <cstdint>
#include <cstdio>
#include <string>

// Wall-clock time from construction (or the last Restart), on the
// performance counter.
class BenchTimer {
public:
    BenchTimer() { Restart(); }

    void Restart() { QueryPerformanceCounter(&start_); }

    double Seconds() const {
        LARGE_INTEGER now;
        LARGE_INTEGER frequency;
        QueryPerformanceCounter(&now);
        QueryPerformanceFrequency(&frequency);
        return static_cast<double>(now.QuadPart - start_.QuadPart) /
               static_cast<double>(frequency.QuadPart);
    }
    double Milliseconds() const { return Seconds() * 1000.0; }

private:
    LARGE_INTEGER start_;
};

// The largest working set this process has had so far, in bytes.
inline std::uint64_t PeakWorkingSet() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) return 0;
    return counters.PeakWorkingSetSize;
}

// Milliseconds from the creation of the process to now. The system stamps a
// process's creation on the clock that GetSystemTimePreciseAsFileTime reads.
inline double MillisecondsSinceCreation(HANDLE process) {
    FILETIME created;
    FILETIME exited;
    FILETIME kernel;
    FILETIME user;
    FILETIME now;
    GetSystemTimePreciseAsFileTime(&now);
    if (!GetProcessTimes(process, &created, &exited, &kernel, &user)) return -1.0;
    const auto ticks = [](FILETIME time) {
        return (static_cast<std::int64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    };
    // FILETIME counts 100-nanosecond ticks.
    return static_cast<double>(ticks(now) - ticks(created)) / 10000.0;
}

// One "milliseconds<TAB>stage" line, as scripts/bench reads them.
inline void PrintStage(double milliseconds, const std::string& stage) {
    std::printf("%.2f\t%s\n", milliseconds, stage.c_str());
}
