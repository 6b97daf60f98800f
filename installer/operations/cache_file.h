#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "net/response_sink.h"
#include "platform/kernel_handle.h"

class CCacheFileDigest;

// The size of the file at path; nothing when there is no such file or its
// size cannot be read.
std::optional<std::int64_t> CachedFileSize(const std::string& path);

// Downloads resume from a whole number of these bytes.
inline constexpr std::int64_t kResumeUnit = 1024;

// Where a download into the file at path resumes: its size rounded down to
// whole kilobytes, 0 when there is no such file. Whatever length a cut-off
// download left, the bytes before this offset are whole.
std::int64_t ResumeOffset(const std::string& path);

// Puts one piece at the file's position in one system call; returns the
// bytes that went in (fewer than size when the disk took no more).
using PieceWriter = std::function<DWORD(HANDLE file, const char* bytes, DWORD size)>;
DWORD WritePieceToFile(HANDLE file, const char* bytes, DWORD size);

enum class CacheFileFailure { None, OpenFailed, WriteFailed, PastDeclaredSize };

// A download's body, written into the cache file from the resume offset on
// as it arrives. The file is opened (created when needed) with the first
// piece, so an empty body leaves it as it was; the bytes before the offset
// are kept. Whatever was written before a failure stays in the file, for
// the next download to resume from.
class CCacheFile final : public IResponseSink {
public:
    // room: the most bytes the body may bring (what a declared size leaves
    // after offset); a piece that would go past it is refused, so a server
    // that sends more than it declared cannot fill the disk. digest, when
    // given, is shown every byte that goes into the file, where it went.
    CCacheFile(std::string path, std::int64_t offset, std::optional<std::uint64_t> room,
               PieceWriter writePiece, CCacheFileDigest* digest = nullptr);

    // Each piece goes to the file in one write.
    bool Write(const char* bytes, std::size_t size) override;
    // The digest's, when there is one: it hashes the piece where it lies.
    char* PieceBuffer(std::size_t size) override;
    // Cuts the file after the last byte written, so that the tail of an
    // earlier, longer file cannot stay behind the new bytes, and closes it.
    void Finish();

    CacheFileFailure Failure() const { return failure_; }
    // The body's bytes that are in the file.
    std::uint64_t Written() const { return written_; }

private:
    bool Open();

    std::string path_;
    std::int64_t offset_;
    std::optional<std::uint64_t> room_;
    PieceWriter writePiece_;
    CCacheFileDigest* digest_;
    KernelHandle file_;
    std::uint64_t written_ = 0;
    CacheFileFailure failure_ = CacheFileFailure::None;
};
