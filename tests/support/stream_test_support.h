#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "core/byte_vector.h"

// A second, deliberately separate reading of the secure stream's wire format
// for the tests: it looks inside what the encoder produced and builds streams
// that the encoder never would (bad checksums, oversized blocks).

using StreamKey = std::array<unsigned char, 8>;

// The key a stream carries in the low bits of its bytes 8 to 71.
StreamKey CarriedKey(const ByteVector& stream);

// The plaintext of every group of a stream, at the stream's own offsets; the
// first group, which is never decrypted, reads as zeros.
ByteVector OpenGroups(const ByteVector& stream);

// Plaintext blocks under construction: append blocks, then seal.
class StreamPlaintext {
public:
    // An absent checksum is computed; a given one is written as it stands.
    StreamPlaintext& FirstBlock(const ByteVector& payload,
                                std::optional<unsigned char> checksum = std::nullopt);
    StreamPlaintext& Block(const ByteVector& payload,
                           std::optional<unsigned char> checksum = std::nullopt);
    StreamPlaintext& EndBlock();

    // Encrypts every group under key and hides the key in the first block.
    ByteVector Seal(const StreamKey& key) const;

private:
    void AppendHeader(std::size_t length, std::optional<unsigned char> checksum,
                      const ByteVector& payload);

    ByteVector plain_;
};

// Reproducible bytes of every value.
ByteVector PatternBytes(std::size_t size, std::uint32_t seed);

inline ByteVector BytesOf(const char* text) {
    ByteVector bytes;
    while (*text != '\0') bytes.push_back(*text++);
    return bytes;
}
