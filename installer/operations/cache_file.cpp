#include "operations/cache_file.h"

#include <windows.h>

#include <algorithm>

#include "platform/kernel_handle.h"

namespace {

// Each block goes to the system in one unbuffered write, so an interrupted
// download leaves the file at a whole number of blocks, which is what the
// resume offset counts on.
constexpr std::size_t kBlockSize = 1024;

}  // namespace

std::optional<long long> CachedFileSize(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA status;
    if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &status)) return std::nullopt;
    return (static_cast<long long>(status.nFileSizeHigh) << 32) |
           static_cast<long long>(status.nFileSizeLow);
}

long long ResumeOffset(const std::string& path) {
    const long long size = CachedFileSize(path).value_or(0);
    return size / static_cast<long long>(kBlockSize) * static_cast<long long>(kBlockSize);
}

CacheWriteOutcome WriteCacheFile(const std::string& path, long long offset,
                                 const ByteVector& data) {
    const KernelHandle file =
        AdoptFileHandle(CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                    OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return CacheWriteOutcome::OpenFailed;
    LARGE_INTEGER position;
    position.QuadPart = offset;
    if (!SetFilePointerEx(file.Get(), position, nullptr, FILE_BEGIN)) {
        return CacheWriteOutcome::WriteFailed;
    }
    for (std::size_t done = 0; done < data.size();) {
        const DWORD block = static_cast<DWORD>(std::min(kBlockSize, data.size() - done));
        DWORD written = 0;
        if (!WriteFile(file.Get(), data.data() + done, block, &written, nullptr) ||
            written != block) {
            return CacheWriteOutcome::WriteFailed;
        }
        done += block;
    }
    // A longer file from an earlier download must not keep its stale tail
    // behind the new bytes.
    if (!SetEndOfFile(file.Get())) return CacheWriteOutcome::WriteFailed;
    return CacheWriteOutcome::Written;
}
