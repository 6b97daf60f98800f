#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
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

// Told of each piece the client took, and whether it was the last.
using SentPieces = std::function<void(std::size_t bytes, bool last)>;

// Answers with length bytes of the file from offset (the caller sets the
// status). The bytes are read from disk piece by piece as the client takes
// them, so a large file never sits whole in memory. onSent hears of the
// pieces of a non-empty answer, on the thread that sends them.
void StreamFilePart(httplib::Response& response, CServedFile file, std::uint64_t offset,
                    std::uint64_t length, SentPieces onSent);

// 200 with the file's bytes from offset to its end (nothing when offset is
// at or past the end).
void StreamFileFrom(httplib::Response& response, CServedFile file, std::uint64_t offset,
                    SentPieces onSent);
