#pragma once

#include <filesystem>
#include <fstream>
#include <mutex>
#include <string_view>

// The reports installers send when the product will not start, appended to
// a file one line each: UTC time, client address, body (UTF-8, escaped so
// that it stays on its line), separated by tabs.
class CReportLog {
public:
    // Opens the file for appending. Throws CStartupError.
    explicit CReportLog(const std::filesystem::path& file);

    // Safe to call from any thread; the line is flushed before it returns.
    void Append(std::string_view clientAddress, std::string_view body);

private:
    std::mutex mutex_;
    std::ofstream stream_;
};
