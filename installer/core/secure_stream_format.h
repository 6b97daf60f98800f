#pragma once

#include <cstddef>
#include <cstdint>

// Framing shared by the secure stream's encoder and decoder. Every block is a
// whole number of DES groups; a block's header is its 16-bit little-endian
// payload length and an additive checksum. The first block's header follows
// a reserved group whose ciphertext is replaced by the key carrier.

inline constexpr std::size_t kDesGroupSize = 8;
inline constexpr std::size_t kFirstBlockHeaderSize = 11;
inline constexpr std::size_t kBlockHeaderSize = 3;
// The key carrier needs the ciphertext bytes 8 to 71 of the first block.
inline constexpr std::size_t kMinFirstBlockSize = 72;
// An end block is a header with this length and this checksum byte.
inline constexpr std::uint16_t kEndBlockLength = 0xFFFF;
inline constexpr unsigned char kEndBlockChecksum = 0xFE;

// (low + high length byte + every payload byte) mod 256.
inline unsigned char BlockChecksum(const unsigned char* lengthBytes, const unsigned char* payload,
                                   std::size_t size) {
    unsigned sum = lengthBytes[0] + lengthBytes[1];
    for (std::size_t i = 0; i < size; ++i) sum += payload[i];
    return static_cast<unsigned char>(sum);
}

inline std::size_t RoundUpToGroup(std::size_t size) {
    return (size + kDesGroupSize - 1) / kDesGroupSize * kDesGroupSize;
}
