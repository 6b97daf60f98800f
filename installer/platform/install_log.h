#pragma once

#include <windows.h>

#include <concepts>
#include <initializer_list>
#include <string>
#include <vector>

// The run's install log: one UTF-8 file, one line per event. Each line is
// the local time with milliseconds and UTC offset, the writing thread's id,
// the event's name and its fields:
//   2025-01-31T12:00:00.123+08:00 1234 operation-end label="下载" code=401
// Texts are the program's own (GBK); they are converted to UTF-8 and then
// written quoted, with quotes, backslashes and control characters escaped;
// numbers stand bare. Every thread may write; until the log is opened, and
// when it cannot be written, writing does nothing. Nothing here throws: the
// install never waits on its log.

// One field of an event: a text or a number.
struct LogField {
    LogField(const char* key, const std::string& text);
    LogField(const char* key, const char* text);
    template <std::integral Number>
    LogField(const char* key, Number number) : key(key), value(std::to_string(number)) {}
    LogField(const char* key, bool flag) : key(key), value(flag ? "yes" : "no") {}
    // With two decimals.
    LogField(const char* key, double number);

    const char* key;
    std::string value;  // a text already in UTF-8, quoted and escaped
};

using LogFields = std::vector<LogField>;

// The line for an event at a local time whose offset from UTC is
// utcOffsetMinutes, in UTF-8, with its line end.
std::string FormatLogLine(const SYSTEMTIME& localTime, int utcOffsetMinutes, DWORD threadId,
                          const char* event, const LogFields& fields);

namespace install_log {

// Creates (or empties) the file at path and writes every later event to
// it. False when the file cannot be opened; the log then stays closed.
bool Open(const std::string& path) noexcept;
// Writes one event now.
void Write(const char* event, const LogFields& fields = {}) noexcept;
// Stops writing and closes the file.
void Close() noexcept;

}  // namespace install_log
