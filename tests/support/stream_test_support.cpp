#include "stream_test_support.h"

#include <random>

#include "core/des.h"

namespace {

unsigned char Byte(const ByteVector& bytes, std::size_t at) {
    return static_cast<unsigned char>(bytes[at]);
}

void PadToGroup(ByteVector& bytes, std::size_t minimum) {
    while (bytes.size() % 8 != 0 || bytes.size() < minimum) bytes.push_back('\0');
}

}  // namespace

StreamKey CarriedKey(const ByteVector& stream) {
    StreamKey key{};
    for (int bit = 0; bit < 64; ++bit) {
        if (Byte(stream, 8 + bit) & 1) key[bit / 8] |= static_cast<unsigned char>(1 << (bit % 8));
    }
    return key;
}

ByteVector OpenGroups(const ByteVector& stream) {
    ByteVector cipher = stream;
    for (int bit = 0; bit < 64; ++bit) {
        const int saved = (Byte(stream, bit / 8) >> (bit % 8)) & 1;
        cipher[8 + bit] = static_cast<char>((Byte(stream, 8 + bit) & 0xFE) | saved);
    }
    const StreamKey key = CarriedKey(stream);
    const DesKeySchedule schedule(key.data(), DesKeySchedule::Order::Decrypt);
    ByteVector plain(stream.size(), '\0');
    for (std::size_t at = 8; at + 8 <= stream.size(); at += 8) {
        DesBlock(schedule, reinterpret_cast<const unsigned char*>(cipher.data() + at),
                 reinterpret_cast<unsigned char*>(plain.data() + at));
    }
    return plain;
}

StreamPlaintext& StreamPlaintext::FirstBlock(const ByteVector& payload,
                                             std::optional<unsigned char> checksum) {
    plain_.assign(8, '\0');
    AppendHeader(payload.size(), checksum, payload);
    PadToGroup(plain_, 72);
    return *this;
}

StreamPlaintext& StreamPlaintext::Block(const ByteVector& payload,
                                        std::optional<unsigned char> checksum) {
    AppendHeader(payload.size(), checksum, payload);
    PadToGroup(plain_, 0);
    return *this;
}

StreamPlaintext& StreamPlaintext::EndBlock() {
    for (const unsigned char byte : {0xFF, 0xFF, 0xFE, 1, 2, 3, 4, 5}) {
        plain_.push_back(static_cast<char>(byte));
    }
    return *this;
}

void StreamPlaintext::AppendHeader(std::size_t length, std::optional<unsigned char> checksum,
                                   const ByteVector& payload) {
    const auto low = static_cast<unsigned char>(length);
    const auto high = static_cast<unsigned char>(length >> 8);
    unsigned sum = low + high;
    for (const char byte : payload) sum += static_cast<unsigned char>(byte);
    plain_.push_back(static_cast<char>(low));
    plain_.push_back(static_cast<char>(high));
    plain_.push_back(static_cast<char>(checksum.value_or(static_cast<unsigned char>(sum))));
    plain_.insert(plain_.end(), payload.begin(), payload.end());
}

ByteVector StreamPlaintext::Seal(const StreamKey& key) const {
    const DesKeySchedule schedule(key.data(), DesKeySchedule::Order::Encrypt);
    ByteVector stream(plain_.size(), '\0');
    for (std::size_t at = 0; at < plain_.size(); at += 8) {
        DesBlock(schedule, reinterpret_cast<const unsigned char*>(plain_.data() + at),
                 reinterpret_cast<unsigned char*>(stream.data() + at));
    }
    std::uint64_t displaced = 0;
    for (int bit = 0; bit < 64; ++bit) {
        displaced |= std::uint64_t{Byte(stream, 8 + bit) & 1u} << bit;
        const int keyBit = (key[bit / 8] >> (bit % 8)) & 1;
        stream[8 + bit] = static_cast<char>((Byte(stream, 8 + bit) & 0xFE) | keyBit);
    }
    for (int i = 0; i < 8; ++i) stream[i] = static_cast<char>(displaced >> (8 * i));
    return stream;
}

ByteVector PatternBytes(std::size_t size, std::uint32_t seed) {
    std::mt19937 generator(seed);
    ByteVector bytes(size);
    for (char& byte : bytes) byte = static_cast<char>(generator() & 0xFF);
    return bytes;
}
