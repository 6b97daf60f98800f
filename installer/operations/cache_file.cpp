#include "operations/cache_file.h"

#include <utility>

#include "operations/cache_file_digest.h"

std::optional<std::int64_t> CachedFileSize(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA status;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &status)) return std::nullopt;
    return (static_cast<std::int64_t>(status.nFileSizeHigh) << 32) |
           static_cast<std::int64_t>(status.nFileSizeLow);
}

std::int64_t ResumeOffset(const std::string& path) {
    return CachedFileSize(path).value_or(0) / kResumeUnit * kResumeUnit;
}

DWORD WritePieceToFile(HANDLE file, const char* bytes, DWORD size) {
    DWORD written = 0;
    // A failed write may still have put bytes in; written counts them.
    WriteFile(file, bytes, size, &written, nullptr);
    return written;
}

CCacheFile::CCacheFile(std::string path, std::int64_t offset, std::optional<std::uint64_t> room,
                       PieceWriter writePiece, CCacheFileDigest* digest)
    : path_(std::move(path)),
      offset_(offset),
      room_(room),
      writePiece_(std::move(writePiece)),
      digest_(digest) {}

bool CCacheFile::Write(const char* bytes, std::size_t size) {
    if (failure_ != CacheFileFailure::None) return false;
    if (room_ && size > *room_ - written_) {
        failure_ = CacheFileFailure::PastDeclaredSize;
        return false;
    }
    if (!file_ && !Open()) return false;
    // A piece larger than one write can take is a write failure too.
    const DWORD wrote =
        size <= MAXDWORD ? writePiece_(file_.Get(), bytes, static_cast<DWORD>(size)) : 0;
    // Exactly what went in, even when a failed write put in only part of it.
    if (digest_ != nullptr) {
        digest_->Wrote(static_cast<std::uint64_t>(offset_) + written_, bytes, wrote);
    }
    written_ += wrote;
    if (wrote == size) return true;
    failure_ = CacheFileFailure::WriteFailed;
    return false;
}

char* CCacheFile::PieceBuffer(std::size_t size) {
    return digest_ != nullptr ? digest_->PieceBuffer(size) : nullptr;
}

bool CCacheFile::Open() {
    file_ = AdoptFileHandle(CreateFileA(path_.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                        OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file_) {
        failure_ = CacheFileFailure::OpenFailed;
        return false;
    }
    LARGE_INTEGER position;
    position.QuadPart = offset_;
    if (!SetFilePointerEx(file_.Get(), position, nullptr, FILE_BEGIN)) {
        // Closed at once: cut at its start, the file would lose its bytes.
        file_.Reset();
        failure_ = CacheFileFailure::WriteFailed;
        return false;
    }
    return true;
}

void CCacheFile::Finish() {
    if (!file_) return;
    if (!SetEndOfFile(file_.Get()) && failure_ == CacheFileFailure::None) {
        failure_ = CacheFileFailure::WriteFailed;
    }
    file_.Reset();
}
