#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <ios>

#include "core/des.h"
#include "core/secure_stream_format.h"

// The writing half of the secure stream, independent of any stream library:
// collects the payload into blocks, seals each full block under the stream
// key and hands it on; Close seals the last block together with the end
// block. One encoder serves one stream.
class SecureStreamEncoder {
public:
    // Takes up to n bytes and returns how many it took (a sink's write).
    using Sender = std::function<std::streamsize(const char*, std::streamsize)>;

    // A block is sent once header, payload and filler reach this size.
    static constexpr std::size_t kBlockCapacity = 16384;

    // Draws a fresh stream key from the system's random source.
    SecureStreamEncoder();

    void Write(const char* bytes, std::size_t size, const Sender& send);
    void Close(const Sender& send);

private:
    bool InFirstBlock() const { return headerSize_ == kFirstBlockHeaderSize; }
    void FinishBlock(bool last);
    void AppendEndBlock();
    void SealAndSend(const Sender& send);
    void StartContinuationBlock();

    // A full block plus the end block.
    static constexpr std::size_t kBufferSize = kBlockCapacity + kDesGroupSize;

    std::array<unsigned char, kBufferSize> plain_{};
    std::array<unsigned char, kBufferSize> cipher_{};
    std::size_t headerSize_ = kFirstBlockHeaderSize;
    std::size_t fill_ = kFirstBlockHeaderSize;
    std::array<unsigned char, 8> key_;
    DesKeySchedule schedule_;
};
