#include "platform/staged_files.h"

#include <utility>

#include "platform/random_name.h"

namespace {

constexpr DWORD kFolderItself = FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT;
constexpr char kStagedTag[] = ".staged-";
constexpr DWORD kCopyPiece = 1 << 20;

bool WriteAll(HANDLE file, const char* bytes, std::size_t size) {
    while (size > 0) {
        const DWORD step = size < kCopyPiece ? static_cast<DWORD>(size) : kCopyPiece;
        DWORD written = 0;
        if (!WriteFile(file, bytes, step, &written, nullptr) || written != step) return false;
        bytes += step;
        size -= step;
    }
    return true;
}

}  // namespace

KernelHandle HoldFolder(const std::string& path) {
    if (!CreateDirectoryA(path.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
        return {};
    }
    KernelHandle folder = AdoptFileHandle(CreateFileA(path.c_str(), FILE_READ_ATTRIBUTES,
                                                      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                                      OPEN_EXISTING, kFolderItself, nullptr));
    BY_HANDLE_FILE_INFORMATION information{};
    if (!folder || !GetFileInformationByHandle(folder.Get(), &information)) return {};
    const DWORD attributes = information.dwFileAttributes;
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0 ||
        (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        return {};
    }
    return folder;
}

CStagedFiles::~CStagedFiles() {
    for (const Pending& pending : pending_) DeleteFileA(pending.staged.c_str());
}

KernelHandle CStagedFiles::Stage(const std::string& path) {
    const std::string staged = RandomNameBeside(path, kStagedTag);
    if (staged.empty()) return {};
    // CREATE_NEW: never a file, or a link, that someone put there.
    KernelHandle file = AdoptFileHandle(CreateFileA(staged.c_str(), GENERIC_WRITE, 0, nullptr,
                                                    CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file) pending_.push_back({staged, path});
    return file;
}

bool CStagedFiles::Staged(KernelHandle file, bool written) {
    written = written && FlushFileBuffers(file.Get());
    file.Reset();
    if (written) return true;
    DeleteFileA(pending_.back().staged.c_str());
    pending_.pop_back();
    return false;
}

bool CStagedFiles::Write(const std::string& path, std::string_view bytes) {
    KernelHandle file = Stage(path);
    if (!file) return false;
    const bool written = WriteAll(file.Get(), bytes.data(), bytes.size());
    return Staged(std::move(file), written);
}

bool CStagedFiles::Copy(const std::string& path, const std::string& source) {
    const KernelHandle from =
        AdoptFileHandle(CreateFileA(source.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!from) return false;
    KernelHandle file = Stage(path);
    if (!file) return false;
    std::vector<char> piece(kCopyPiece);
    bool written = true;
    for (;;) {
        DWORD read = 0;
        written = ReadFile(from.Get(), piece.data(), kCopyPiece, &read, nullptr);
        if (!written || read == 0) break;
        written = WriteAll(file.Get(), piece.data(), read);
        if (!written) break;
    }
    return Staged(std::move(file), written);
}

bool CStagedFiles::Place() {
    while (!pending_.empty()) {
        const Pending& next = pending_.front();
        if (!MoveFileExA(next.staged.c_str(), next.target.c_str(),
                         MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            return false;
        }
        pending_.erase(pending_.begin());
    }
    return true;
}
