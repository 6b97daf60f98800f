#include "platform/install_log_folder.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <string_view>
#include <vector>

#include "platform/file_search.h"
#include "platform/install_log.h"

namespace {

constexpr char kLogFolderName[] = "Logs";
constexpr std::string_view kNamePrefix = "RUVInstaller-";
constexpr std::string_view kNameSuffix = ".log";

// Skips count digits at text[at...]; false when they are not all there.
bool SkipDigits(std::string_view text, std::size_t& at, std::size_t count) {
    for (std::size_t end = at + count; at < end; ++at) {
        if (at >= text.size() || !std::isdigit(static_cast<unsigned char>(text[at]))) return false;
    }
    return true;
}

bool SkipChar(std::string_view text, std::size_t& at, char c) {
    if (at >= text.size() || text[at] != c) return false;
    ++at;
    return true;
}

std::vector<std::string> InstallLogsIn(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA found{};
    const FileSearch search(
        FindFirstFileA((folder + "\\" + std::string(kNamePrefix) + "*").c_str(), &found));
    if (!search) return names;
    do {
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0 &&
            IsInstallLogFileName(found.cFileName)) {
            names.emplace_back(found.cFileName);
        }
    } while (FindNextFileA(search.Get(), &found));
    return names;
}

}  // namespace

std::string InstallLogFileName(const SYSTEMTIME& localTime, DWORD pid) {
    char name[64];
    std::snprintf(name, sizeof name, "RUVInstaller-%04u%02u%02u-%02u%02u%02u-%lu.log",
                  localTime.wYear, localTime.wMonth, localTime.wDay, localTime.wHour,
                  localTime.wMinute, localTime.wSecond, static_cast<unsigned long>(pid));
    return name;
}

bool IsInstallLogFileName(const std::string& name) {
    const std::string_view text = name;
    if (!text.starts_with(kNamePrefix) || !text.ends_with(kNameSuffix)) return false;
    std::size_t at = kNamePrefix.size();
    const std::size_t pidEnd = text.size() - kNameSuffix.size();
    if (!SkipDigits(text, at, 8) || !SkipChar(text, at, '-') || !SkipDigits(text, at, 6) ||
        !SkipChar(text, at, '-') || at >= pidEnd) {
        return false;
    }
    return SkipDigits(text, at, pidEnd - at);
}

void PruneInstallLogs(const std::string& folder, std::size_t keep) {
    std::vector<std::string> names = InstallLogsIn(folder);
    if (names.size() <= keep) return;
    // The names hold the time from the year down: newest last when sorted.
    std::sort(names.begin(), names.end());
    for (std::size_t i = 0; i < names.size() - keep; ++i) {
        DeleteFileA((folder + "\\" + names[i]).c_str());
    }
}

std::optional<OwnFolder> OpenInstallLog(const std::string& path, const std::string& installFolder) {
    if (!path.empty()) {
        install_log::Open(path);
        return std::nullopt;
    }
    // Logs name servers and proxies, and nothing in the folder may be one
    // that a program without elevation put there.
    OwnFolder folder = PrepareOwnFolder(installFolder, kLogFolderName);
    if (!folder.Usable()) return folder;
    SYSTEMTIME now{};
    GetLocalTime(&now);
    install_log::Open(folder.path + "\\" + InstallLogFileName(now, GetCurrentProcessId()));
    PruneInstallLogs(folder.path, kInstallLogsKept);
    return folder;
}
