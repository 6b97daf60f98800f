// Feeds the secure stream decoder three kinds of input, chosen by the first
// byte: the raw bytes as a stream; the bytes as the plaintext of a stream
// sealed under a fixed key, which lets the fuzzer shape the framing behind
// the encryption; and the bytes as a payload that must survive a round trip.

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "core/des.h"
#include "core/key_carrier.h"
#include "core/message_error.h"
#include "core/secure_stream.h"

namespace {

constexpr unsigned char kFixedKey[8] = {0x13, 0x34, 0x57, 0x79, 0x9B, 0xBC, 0xDF, 0xF1};

void Require(bool condition) {
    if (!condition) std::abort();
}

// A stream never carries more payload than it has bytes.
void DecodeExpectingFailureOrShorterPayload(const ByteVector& stream) {
    ByteVector payload;
    try {
        SecureDecrypt(stream, payload);
    } catch (const CMessageError&) {
        return;
    }
    Require(payload.size() <= stream.size());
}

ByteVector SealPlaintext(const std::uint8_t* data, std::size_t size) {
    ByteVector plain(data, data + size);
    while (plain.size() < 72 || plain.size() % 8 != 0) plain.push_back('\0');
    const DesKeySchedule schedule(kFixedKey, DesKeySchedule::Order::Encrypt);
    ByteVector stream(plain.size());
    auto* out = reinterpret_cast<unsigned char*>(stream.data());
    for (std::size_t at = 0; at < plain.size(); at += 8) {
        DesBlock(schedule, reinterpret_cast<const unsigned char*>(plain.data()) + at, out + at);
    }
    HideStreamKey(out, kFixedKey);
    return stream;
}

std::size_t RoundUpToGroup(std::size_t size) { return (size + 7) / 8 * 8; }

// The sealed size the block layout gives a payload of this size.
std::size_t SealedSize(std::size_t payload) {
    constexpr std::size_t kFirstPayload = 16373;
    constexpr std::size_t kLaterPayload = 16381;
    if (payload < kFirstPayload) {
        const std::size_t first = RoundUpToGroup(11 + payload);
        return (first < 72 ? 72 : first) + 8;
    }
    const std::size_t rest = payload - kFirstPayload;
    const std::size_t last = rest % kLaterPayload;
    return 16384 * (1 + rest / kLaterPayload) + (last == 0 ? 0 : RoundUpToGroup(3 + last)) + 8;
}

void RoundTrip(const std::uint8_t* data, std::size_t size) {
    const ByteVector payload(data, data + size);
    ByteVector stream;
    SecureEncrypt(stream, payload);
    Require(stream.size() == SealedSize(size));
    ByteVector decoded;
    SecureDecrypt(stream, decoded);
    Require(decoded == payload);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::uint8_t* body = data + 1;
    const std::size_t bodySize = size - 1;
    switch (data[0] % 3) {
        case 0:
            DecodeExpectingFailureOrShorterPayload(ByteVector(body, body + bodySize));
            break;
        case 1:
            DecodeExpectingFailureOrShorterPayload(SealPlaintext(body, bodySize));
            break;
        default:
            RoundTrip(body, bodySize);
            break;
    }
    return 0;
}
