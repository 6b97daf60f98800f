#include "access_log.h"

#include <ctime>

#include "log_text.h"

namespace {

std::string UtcWithMilliseconds(std::chrono::system_clock::time_point time) {
    const auto since = time.time_since_epoch();
    const std::time_t seconds = std::chrono::duration_cast<std::chrono::seconds>(since).count();
    const auto milliseconds =
        std::chrono::duration_cast<std::chrono::milliseconds>(since).count() % 1000;
    std::tm parts{};
    gmtime_r(&seconds, &parts);
    char text[40];
    const std::size_t length = std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", &parts);
    std::snprintf(text + length, sizeof text - length, ".%03dZ", static_cast<int>(milliseconds));
    return text;
}

}  // namespace

std::string AccessLogLine(const CAccessEntry& entry, std::chrono::system_clock::time_point time) {
    std::string line =
        "{\"time\":\"" + UtcWithMilliseconds(time) + "\",\"client\":" + JsonString(entry.client);
    if (!entry.proxy.empty()) line += ",\"proxy\":" + JsonString(entry.proxy);
    line += ",\"method\":" + JsonString(entry.method) + ",\"path\":" + JsonString(entry.path) +
            ",\"status\":" + std::to_string(entry.status) +
            ",\"bytes\":" + std::to_string(entry.bytes) +
            ",\"milliseconds\":" + std::to_string(entry.milliseconds);
    if (entry.offset) line += ",\"offset\":" + std::to_string(*entry.offset);
    return line + "}\n";
}

void CAccessLog::Write(const CAccessEntry& entry) {
    const std::string line = AccessLogLine(entry, std::chrono::system_clock::now());
    std::lock_guard lock(mutex_);
    std::fwrite(line.data(), 1, line.size(), out_);
    std::fflush(out_);
}
