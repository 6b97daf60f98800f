#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/sha256_digest.h"

// The SHA-256 of the bytes a cache file holds from its start, kept up to
// date while the file is written, so that checking a download against its
// declared hash reads nothing back. The writer reports every write with the
// bytes that went in and where; the digest hashes those bytes, in order, on a
// thread of its own, while the next piece arrives: in place when the writer
// took them into a buffer the digest lent, else from a copy. Bytes it was
// never shown (a prefix kept from an earlier download, or a gap) it reads
// from the file, once. A write at or after the last whole kilobyte shown
// (the next source of a download resuming there) drops what was shown past
// it and costs nothing more; one that lands before (a download that starts
// the file over) has it hash the file's bytes before that point again, from
// disk. However the writes come, the digest is that of the bytes on disk
// from 0 to the length asked for.
class CCacheFileDigest {
public:
    // kept: the file's first bytes, which stay as they are; hashed from the
    // file at once, while the download begins.
    CCacheFileDigest(std::string path, std::uint64_t kept);
    ~CCacheFileDigest();
    CCacheFileDigest(const CCacheFileDigest&) = delete;
    CCacheFileDigest& operator=(const CCacheFileDigest&) = delete;

    // A buffer of at least size bytes for the writer's next piece: a Wrote
    // whose bytes lie at its start takes them without a copy. The same
    // buffer until such a Wrote; nothing when everything is hashed on the
    // writer's thread. Waits as Wrote does.
    char* PieceBuffer(std::size_t size);

    // The file's bytes from position on are now the size bytes at bytes:
    // exactly those a write put in. Waits while the hashing is a few pieces
    // behind, so that a slow hash holds up the download rather than filling
    // memory.
    void Wrote(std::uint64_t position, const char* bytes, std::size_t size);

    // The digest of the file's first length bytes, once everything written
    // before is hashed. Nothing when the file could not be read or the
    // system would not hash. Takes nothing more afterwards.
    std::optional<Sha256Digest> Finish(std::uint64_t length);

private:
    struct Piece {
        std::uint64_t position = 0;
        std::size_t size = 0;     // the piece: the first size of bytes
        std::vector<char> bytes;  // never shrinks, so that it is filled once
    };
    class Hashing;

    void HashInOrder(std::uint64_t kept);
    std::unique_ptr<Piece> TakeFreeBuffer();

    std::atomic<bool> stopping_{false};
    std::unique_ptr<Hashing> hashing_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<std::unique_ptr<Piece>> queued_;
    std::vector<std::unique_ptr<Piece>> free_;
    std::size_t buffers_ = 0;
    bool finishing_ = false;
    std::unique_ptr<Piece> lent_;  // the writer's alone
    std::thread thread_;           // last: it starts once everything above is there
};
