#include "core/base64.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
constexpr char kPad = '=';
constexpr int kNotInAlphabet = -1;

constexpr std::array<int, 256> MakeValues() {
    std::array<int, 256> values{};
    for (int& value : values) value = kNotInAlphabet;
    for (int i = 0; i < 64; ++i) values[static_cast<unsigned char>(kAlphabet[i])] = i;
    return values;
}
constexpr std::array<int, 256> kValues = MakeValues();

int ValueOf(char c) { return kValues[static_cast<unsigned char>(c)]; }

}  // namespace

std::string EncodeBase64(const ByteVector& bytes) {
    std::string text;
    text.reserve((bytes.size() + 2) / 3 * 4);
    for (std::size_t i = 0; i < bytes.size(); i += 3) {
        const std::size_t count = std::min<std::size_t>(3, bytes.size() - i);
        std::uint32_t group = 0;
        for (std::size_t j = 0; j < 3; ++j) {
            const auto byte = j < count ? static_cast<unsigned char>(bytes[i + j]) : 0u;
            group = (group << 8) | byte;
        }
        for (std::size_t j = 0; j < 4; ++j) {
            text += j <= count ? kAlphabet[(group >> (18 - 6 * j)) & 0x3f] : kPad;
        }
    }
    return text;
}

std::optional<ByteVector> DecodeBase64(std::string_view text) {
    if (text.size() % 4 != 0) return std::nullopt;
    std::size_t padding = 0;
    while (padding < 2 && padding < text.size() && text[text.size() - 1 - padding] == kPad) {
        ++padding;
    }
    const std::string_view digits = text.substr(0, text.size() - padding);
    ByteVector bytes;
    bytes.reserve(digits.size() * 3 / 4);
    std::uint32_t bits = 0;
    int bitCount = 0;
    for (const char c : digits) {
        const int value = ValueOf(c);
        if (value == kNotInAlphabet) return std::nullopt;
        bits = (bits << 6) | static_cast<std::uint32_t>(value);
        bitCount += 6;
        if (bitCount >= 8) {
            bitCount -= 8;
            bytes.push_back(static_cast<char>((bits >> bitCount) & 0xff));
        }
    }
    // What is left over must be the zero fill of the last group.
    if ((bits & ((1u << bitCount) - 1)) != 0) return std::nullopt;
    return bytes;
}
