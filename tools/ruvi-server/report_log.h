#pragma once

#include <cstdint>
#include <filesystem>
#include <mutex>
#include <string_view>

#include "unique_fd.h"

// The reports installers send when the product will not start, appended to
// a file one line each: UTC time, client address, body (UTF-8, escaped so
// that it stays on its line), separated by tabs.
//
// A line that would take the file past rotationSize starts a new file: the
// full one becomes FILE.1, replacing the previous FILE.1. Several servers
// may append to the same file (instances serving one plan folder): each line
// goes out in one write on a descriptor opened for appending, and the size
// check, the rotation and the write happen under an exclusive lock on
// FILE.lock, which every instance takes. An instance whose file was rotated
// by another one notices that the name now leads to a new file and follows
// it, so no instance rotates twice or writes into a file after it has been
// rotated away.
class CReportLog {
public:
    static constexpr std::uint64_t kRotationSize = std::uint64_t{64} * 1024 * 1024;

    // Opens the file for appending. Throws CStartupError.
    explicit CReportLog(const std::filesystem::path& file,
                        std::uint64_t rotationSize = kRotationSize);

    // Safe to call from any thread and any process; the line is on disk (in
    // the kernel's hands) when it returns. False when it could not be
    // written.
    bool Append(std::string_view clientAddress, std::string_view body);

private:
    void FollowRotation();
    void RotateBefore(std::size_t lineSize);

    const std::filesystem::path path_;
    const std::filesystem::path rotatedPath_;
    const std::uint64_t rotationSize_;
    std::mutex mutex_;
    CUniqueFd lock_;
    CUniqueFd file_;
};
