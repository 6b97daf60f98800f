#include "platform/install_log.h"

#include <cstdio>
#include <cstdlib>
#include <mutex>

#include "platform/kernel_handle.h"

namespace {

// The program's text (GBK) in UTF-8, every byte of it, zero bytes included.
// Escaping comes after this: a GBK character may carry a quote's or a
// backslash's byte as its second byte, a UTF-8 character never does.
std::string Utf8Of(const std::string& text) {
    if (text.empty()) return {};
    const int length = static_cast<int>(text.size());
    std::wstring wide(text.size(), L'\0');
    wide.resize(MultiByteToWideChar(CP_ACP, 0, text.data(), length, wide.data(), length));
    std::string utf8(3 * wide.size(), '\0');
    utf8.resize(WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                    utf8.data(), static_cast<int>(utf8.size()), nullptr, nullptr));
    return utf8;
}

// Quoted and escaped, so that no text can end its field or its line.
std::string Quoted(const std::string& utf8) {
    std::string quoted = "\"";
    for (const char c : utf8) {
        switch (c) {
            case '"':
                quoted += "\\\"";
                break;
            case '\\':
                quoted += "\\\\";
                break;
            case '\n':
                quoted += "\\n";
                break;
            case '\r':
                quoted += "\\r";
                break;
            case '\t':
                quoted += "\\t";
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    char escaped[8];
                    std::snprintf(escaped, sizeof escaped, "\\x%02x", c);
                    quoted += escaped;
                } else {
                    quoted += c;
                }
        }
    }
    return quoted + "\"";
}

// The current local time and its offset from UTC, daylight saving included.
SYSTEMTIME LocalNow(int& utcOffsetMinutes) {
    SYSTEMTIME utc{};
    GetSystemTime(&utc);
    SYSTEMTIME local = utc;
    SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local);
    FILETIME utcFile{};
    FILETIME localFile{};
    SystemTimeToFileTime(&utc, &utcFile);
    SystemTimeToFileTime(&local, &localFile);
    const auto ticks = [](const FILETIME& time) {
        return static_cast<long long>((ULONGLONG{time.dwHighDateTime} << 32) | time.dwLowDateTime);
    };
    constexpr long long kTicksPerMinute = 60LL * 10'000'000;
    utcOffsetMinutes = static_cast<int>((ticks(localFile) - ticks(utcFile)) / kTicksPerMinute);
    return local;
}

// The one owner of the log file; the lock keeps lines whole when threads
// write at once.
class LogFile {
public:
    bool Open(const std::string& path) {
        const std::lock_guard lock(mutex_);
        file_ = AdoptFileHandle(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                            CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        return static_cast<bool>(file_);
    }

    void Write(const std::string& utf8Line) {
        const std::lock_guard lock(mutex_);
        if (!file_) return;
        DWORD written = 0;
        WriteFile(file_.Get(), utf8Line.data(), static_cast<DWORD>(utf8Line.size()), &written,
                  nullptr);
    }

    void Close() {
        const std::lock_guard lock(mutex_);
        file_.Reset();
    }

private:
    std::mutex mutex_;
    KernelHandle file_;
};

LogFile& TheLog() {
    static LogFile log;
    return log;
}

}  // namespace

LogField::LogField(const char* key, const std::string& text)
    : key(key), value(Quoted(Utf8Of(text))) {}

LogField::LogField(const char* key, const char* text) : LogField(key, std::string(text)) {}

LogField::LogField(const char* key, double number) : key(key) {
    char text[64];
    std::snprintf(text, sizeof text, "%.2f", number);
    value = text;
}

std::string FormatLogLine(const SYSTEMTIME& localTime, int utcOffsetMinutes, DWORD threadId,
                          const char* event, const LogFields& fields) {
    const int offset = std::abs(utcOffsetMinutes);
    char stamp[64];
    std::snprintf(stamp, sizeof stamp, "%04u-%02u-%02uT%02u:%02u:%02u.%03u%c%02d:%02d %lu ",
                  localTime.wYear, localTime.wMonth, localTime.wDay, localTime.wHour,
                  localTime.wMinute, localTime.wSecond, localTime.wMilliseconds,
                  utcOffsetMinutes < 0 ? '-' : '+', offset / 60, offset % 60,
                  static_cast<unsigned long>(threadId));
    std::string line = stamp;
    line += event;
    for (const LogField& field : fields) {
        line += ' ';
        line += field.key;
        line += '=';
        line += field.value;
    }
    return line + "\r\n";
}

namespace install_log {

bool Open(const std::string& path) noexcept {
    try {
        return TheLog().Open(path);
    } catch (...) {
        return false;
    }
}

void Write(const char* event, const LogFields& fields) noexcept {
    try {
        int utcOffsetMinutes = 0;
        const SYSTEMTIME now = LocalNow(utcOffsetMinutes);
        TheLog().Write(FormatLogLine(now, utcOffsetMinutes, GetCurrentThreadId(), event, fields));
    } catch (...) {
        // A line that cannot be made is left out.
    }
}

void Close() noexcept {
    try {
        TheLog().Close();
    } catch (...) {
    }
}

}  // namespace install_log
