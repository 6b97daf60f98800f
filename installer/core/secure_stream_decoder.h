#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <ios>
#include <optional>

#include "core/des.h"
#include "core/secure_stream_format.h"

// The reading half of the secure stream, independent of any stream library:
// pulls raw bytes from a source, recovers the stream key from the first
// block, and checks and unpacks one block at a time. Whatever the bytes, it
// never reads or writes outside its buffers. One decoder serves one stream.
class SecureStreamDecoder {
public:
    // Fills up to n bytes and returns the count; -1 (or 0) at the source's end.
    using Receiver = std::function<std::streamsize(char*, std::streamsize)>;

    // Header plus payload of one block may not exceed this.
    static constexpr std::size_t kBlockLimit = 31744;

    // Copies up to size payload bytes into buffer and returns the count, or
    // -1 once the end block has been read and the source is exhausted.
    // Throws CStreamFailure on a damaged or truncated stream.
    std::streamsize Read(char* buffer, std::streamsize size, const Receiver& receive);

private:
    void ParseNextBlock(const Receiver& receive);
    void ExtractKey(const Receiver& receive);
    void ReceiveMore(const Receiver& receive);
    void DropBlock(std::size_t consumed);

    static constexpr std::size_t kBufferSize = kBlockLimit + kDesGroupSize;

    // -1 until the header group of the block being parsed is decrypted.
    long payloadLength_ = -1;
    bool endBlockSeen_ = false;
    bool endOfData_ = false;
    int endReports_ = 0;
    std::array<unsigned char, kBufferSize> raw_{};
    std::size_t rawFill_ = 0;
    std::array<unsigned char, kBufferSize> plain_{};
    std::size_t headerSize_ = kFirstBlockHeaderSize;
    std::size_t readPosition_ = kFirstBlockHeaderSize;
    std::size_t payloadEnd_ = 0;
    // Present once the key has been taken from the first block.
    std::optional<DesKeySchedule> schedule_;
};
