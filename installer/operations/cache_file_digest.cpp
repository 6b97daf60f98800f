#include "operations/cache_file_digest.h"

#include <windows.h>

#include <algorithm>
#include <exception>
#include <system_error>
#include <utility>

#include "platform/kernel_handle.h"
#include "platform/sha256_engine.h"

namespace {

// Pieces copied and waiting to be hashed, at most: the download runs this
// far ahead of a slower hash, and no further.
constexpr std::size_t kBuffers = 4;
constexpr DWORD kReadPiece = 1 << 20;

}  // namespace

// The running hash and how far it has come; used by one thread at a time.
class CCacheFileDigest::Hashing {
public:
    Hashing(std::string path, const std::atomic<bool>& stopping)
        : path_(std::move(path)), stopping_(stopping) {
        Restart();
    }

    void Add(std::uint64_t position, const char* bytes, std::size_t size) {
        if (CoverUpTo(position)) failed_ = !Hash(bytes, size);
    }

    // Makes the hash cover exactly the file's bytes [0, position): starts
    // over when it went further, reads what it was not shown. False once
    // anything has failed.
    bool CoverUpTo(std::uint64_t position) {
        if (!failed_ && position < end_) Restart();
        if (!failed_ && position > end_) failed_ = !ReadFromFile(position);
        return !failed_;
    }

    std::optional<Sha256Digest> Finish(std::uint64_t length) {
        if (!CoverUpTo(length)) return std::nullopt;
        try {
            return engine_->Finish();
        } catch (const std::exception&) {
            return std::nullopt;
        }
    }

private:
    // The next bytes of the file after end_.
    bool Hash(const char* bytes, std::size_t size) {
        try {
            engine_->Add(bytes, size);
        } catch (const std::exception&) {
            return false;  // the system would not hash
        }
        end_ += size;
        return true;
    }

    void Restart() {
        end_ = 0;
        try {
            engine_.emplace();
        } catch (const std::exception&) {
            failed_ = true;
        }
    }

    // Hashes the file's bytes [end_, position). The file stays open to its
    // writer, and to its deletion by a download that fails meanwhile.
    bool ReadFromFile(std::uint64_t position) {
        const KernelHandle file = AdoptFileHandle(CreateFileA(
            path_.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
            nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
        LARGE_INTEGER start;
        start.QuadPart = static_cast<LONGLONG>(end_);
        if (!file || !SetFilePointerEx(file.Get(), start, nullptr, FILE_BEGIN)) return false;
        std::vector<char> piece(kReadPiece);
        while (end_ < position) {
            if (stopping_) return false;
            const auto wanted =
                static_cast<DWORD>(std::min<std::uint64_t>(kReadPiece, position - end_));
            DWORD read = 0;
            if (!ReadFile(file.Get(), piece.data(), wanted, &read, nullptr) || read == 0 ||
                !Hash(piece.data(), read)) {
                return false;
            }
        }
        return true;
    }

    std::string path_;
    const std::atomic<bool>& stopping_;
    std::optional<CSha256Engine> engine_;
    std::uint64_t end_ = 0;  // the hash covers the file's bytes [0, end_)
    bool failed_ = false;
};

CCacheFileDigest::CCacheFileDigest(std::string path, std::uint64_t kept)
    : hashing_(std::make_unique<Hashing>(std::move(path), stopping_)) {
    try {
        thread_ = std::thread([this, kept] { HashInOrder(kept); });
    } catch (const std::system_error&) {
        // No thread to be had: everything is hashed on the writer's thread.
        hashing_->CoverUpTo(kept);
    }
}

CCacheFileDigest::~CCacheFileDigest() {
    if (!thread_.joinable()) return;
    {
        // Under the lock, or the thread could miss it between its look at
        // the flags and its wait.
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    thread_.join();
}

void CCacheFileDigest::Wrote(std::uint64_t position, const char* bytes, std::size_t size) {
    if (size == 0) return;
    if (!thread_.joinable()) {
        hashing_->Add(position, bytes, size);
        return;
    }
    // A copy: the writer refills its buffer with the next piece while this
    // one is hashed.
    std::unique_ptr<Piece> piece = TakeFreeBuffer();
    piece->position = position;
    piece->bytes.assign(bytes, bytes + size);
    {
        const std::lock_guard lock(mutex_);
        queued_.push_back(std::move(piece));
    }
    changed_.notify_all();
}

std::optional<Sha256Digest> CCacheFileDigest::Finish(std::uint64_t length) {
    if (thread_.joinable()) {
        {
            const std::lock_guard lock(mutex_);
            finishing_ = true;
        }
        changed_.notify_all();
        thread_.join();  // once the queue is empty
    }
    return hashing_->Finish(length);
}

void CCacheFileDigest::HashInOrder(std::uint64_t kept) {
    hashing_->CoverUpTo(kept);
    for (;;) {
        std::unique_ptr<Piece> piece;
        {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [this] { return stopping_ || finishing_ || !queued_.empty(); });
            if (stopping_ || queued_.empty()) return;
            piece = std::move(queued_.front());
            queued_.pop_front();
        }
        hashing_->Add(piece->position, piece->bytes.data(), piece->bytes.size());
        {
            const std::lock_guard lock(mutex_);
            free_.push_back(std::move(piece));
        }
        changed_.notify_all();
    }
}

std::unique_ptr<CCacheFileDigest::Piece> CCacheFileDigest::TakeFreeBuffer() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return !free_.empty() || buffers_ < kBuffers; });
    if (free_.empty()) {
        ++buffers_;
        return std::make_unique<Piece>();
    }
    std::unique_ptr<Piece> piece = std::move(free_.back());
    free_.pop_back();
    return piece;
}
