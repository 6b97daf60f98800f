#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>

#include "unique_fd.h"

namespace httplib {
struct Response;
}

// A download file, open for reading. Its size is taken when it is opened,
// so one answer is consistent even if the operator replaces the file.
struct CServedFile {
    CUniqueFd descriptor;
    std::uint64_t size = 0;
};

// nullopt when path is not a regular file that can be opened.
std::optional<CServedFile> OpenServedFile(const std::filesystem::path& path);

// Answers with the file's bytes from offset to its end (nothing when offset
// is at or past the end). The bytes are read from disk piece by piece as the
// client takes them, so a large file never sits whole in memory.
void StreamFileFrom(httplib::Response& response, CServedFile file, std::uint64_t offset);
