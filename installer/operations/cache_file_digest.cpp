#include "operations/cache_file_digest.h"

#include <windows.h>

#include <algorithm>
#include <exception>
#include <system_error>
#include <utility>

#include "operations/cache_file.h"
#include "platform/kernel_handle.h"
#include "platform/sha256_engine.h"

namespace {

// Pieces waiting to be hashed, at most: the download runs this far ahead of
// a slower hash, and no further.
constexpr std::size_t kBuffers = 4;
constexpr DWORD kReadPiece = 1 << 20;

}  // namespace

// The running hash and how far it has come; used by one thread at a time.
// Only whole resume units go into the hash; the bytes after the last whole
// one wait aside. A download that breaks off resumes from its last whole
// unit, so when the next source writes there, the bytes past it are
// dropped and nothing is hashed again.
class CCacheFileDigest::Hashing {
public:
    Hashing(std::string path, const std::atomic<bool>& stopping)
        : path_(std::move(path)), stopping_(stopping) {
        Restart();
    }

    void Add(std::uint64_t position, const char* bytes, std::size_t size) {
        if (CoverUpTo(position)) failed_ = !Append(bytes, size);
    }

    // Makes the hash and the bytes aside cover exactly the file's bytes
    // [0, position): drops what lies past it, starts over when that is in
    // the hash already, reads what it was not shown. False once anything
    // has failed.
    bool CoverUpTo(std::uint64_t position) {
        if (!failed_ && position < hashed_) Restart();
        if (failed_) return false;
        if (position <= End()) {
            tail_.resize(static_cast<std::size_t>(position - hashed_));
            return true;
        }
        failed_ = !ReadFromFile(position);
        return !failed_;
    }

    std::optional<Sha256Digest> Finish(std::uint64_t length) {
        if (!CoverUpTo(length)) return std::nullopt;
        try {
            engine_->Add(tail_.data(), tail_.size());
            return engine_->Finish();
        } catch (const std::exception&) {
            return std::nullopt;
        }
    }

private:
    std::uint64_t End() const { return hashed_ + tail_.size(); }

    // The next bytes of the file after End(): whole units into the hash, the
    // rest aside.
    bool Append(const char* bytes, std::size_t size) {
        try {
            if (!tail_.empty()) {
                const std::size_t fill = std::min(size, kUnit - tail_.size());
                tail_.insert(tail_.end(), bytes, bytes + fill);
                bytes += fill;
                size -= fill;
                if (tail_.size() < kUnit) return true;
                engine_->Add(tail_.data(), kUnit);
                hashed_ += kUnit;
                tail_.clear();
            }
            const std::size_t whole = size / kUnit * kUnit;
            if (whole > 0) engine_->Add(bytes, whole);
            hashed_ += whole;
            tail_.assign(bytes + whole, bytes + size);
        } catch (const std::exception&) {
            return false;  // the system would not hash
        }
        return true;
    }

    void Restart() {
        hashed_ = 0;
        tail_.clear();
        try {
            engine_.emplace();
        } catch (const std::exception&) {
            failed_ = true;
        }
    }

    // Hashes the file's bytes [End(), position). The file stays open to its
    // writer, and to its deletion by a download that fails meanwhile.
    bool ReadFromFile(std::uint64_t position) {
        const KernelHandle file = AdoptFileHandle(CreateFileA(
            path_.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
            nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
        LARGE_INTEGER start;
        start.QuadPart = static_cast<LONGLONG>(End());
        if (!file || !SetFilePointerEx(file.Get(), start, nullptr, FILE_BEGIN)) return false;
        std::vector<char> piece(kReadPiece);
        while (End() < position) {
            if (stopping_) return false;
            const auto wanted =
                static_cast<DWORD>(std::min<std::uint64_t>(kReadPiece, position - End()));
            DWORD read = 0;
            if (!ReadFile(file.Get(), piece.data(), wanted, &read, nullptr) || read == 0 ||
                !Append(piece.data(), read)) {
                return false;
            }
        }
        return true;
    }

    static constexpr std::size_t kUnit = kResumeUnit;

    std::string path_;
    const std::atomic<bool>& stopping_;
    std::optional<CSha256Engine> engine_;
    std::uint64_t hashed_ = 0;  // the hash covers the file's bytes [0, hashed_)
    std::vector<char> tail_;    // and these are the file's next bytes
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

char* CCacheFileDigest::PieceBuffer(std::size_t size) {
    if (!thread_.joinable()) return nullptr;
    if (!lent_) lent_ = TakeFreeBuffer();
    if (lent_->bytes.size() < size) lent_->bytes.resize(size);
    return lent_->bytes.data();
}

void CCacheFileDigest::Wrote(std::uint64_t position, const char* bytes, std::size_t size) {
    if (size == 0) return;
    if (!thread_.joinable()) {
        hashing_->Add(position, bytes, size);
        return;
    }
    std::unique_ptr<Piece> piece;
    if (lent_ && bytes == lent_->bytes.data() && size <= lent_->bytes.size()) {
        piece = std::move(lent_);
    } else {
        // A copy: the writer refills its own buffer with the next piece
        // while this one is hashed.
        piece = TakeFreeBuffer();
        if (piece->bytes.size() < size) piece->bytes.resize(size);
        std::copy_n(bytes, size, piece->bytes.data());
    }
    piece->position = position;
    piece->size = size;
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
        hashing_->Add(piece->position, piece->bytes.data(), piece->size);
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
