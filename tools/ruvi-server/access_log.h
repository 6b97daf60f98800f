#pragma once

#include <cstdint>
#include <cstdio>
#include <mutex>
#include <optional>
#include <string>
#include <thread>  // brings the clocks; <chrono> does not build with GBK literals

// One JSON object per answered request, one per line, for log collectors:
//   {"time":"2025-01-31T12:00:00.123Z","client":"127.0.0.1","method":"POST",
//    "path":"/RUVServer/files/setup.exe","status":200,"bytes":300001,
//    "milliseconds":12,"offset":0}
// time is UTC; path is the request target as sent (with its query); bytes
// counts the body bytes that went out (of a cut download, as far as it
// went); milliseconds runs from the request's head to the answer's end.
// Downloads add "offset", the resume offset asked for. Behind a trusted
// proxy, client is the installer's address the proxy passed on and "proxy"
// the proxy's own (client_address.h).
struct CAccessEntry {
    std::string client;
    std::string proxy;
    std::string method;
    std::string path;
    int status = 0;
    std::uint64_t bytes = 0;
    std::int64_t milliseconds = 0;
    std::optional<std::uint64_t> offset;
};

std::string AccessLogLine(const CAccessEntry& entry, std::chrono::system_clock::time_point time);

// Writes the lines to a stream, each whole and flushed, from any thread.
class CAccessLog {
public:
    explicit CAccessLog(std::FILE* out) : out_(out) {}
    void Write(const CAccessEntry& entry);

private:
    std::mutex mutex_;
    std::FILE* out_;
};
