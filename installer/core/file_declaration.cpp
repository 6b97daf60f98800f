#include "core/file_declaration.h"

#include <algorithm>
#include <charconv>

namespace {

constexpr std::size_t kHexDigits = 64;

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

}  // namespace

std::optional<std::uint64_t> DeclaredSize(std::string_view text) {
    const bool digitsOnly = !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
        return c >= '0' && c <= '9';
    });
    std::uint64_t size = 0;
    if (!digitsOnly ||
        std::from_chars(text.data(), text.data() + text.size(), size).ec != std::errc()) {
        return std::nullopt;
    }
    return size;
}

std::optional<Sha256Digest> DeclaredSha256(std::string_view text) {
    if (text.size() != kHexDigits) return std::nullopt;
    Sha256Digest digest{};
    for (std::size_t i = 0; i < digest.size(); ++i) {
        const int high = HexValue(text[2 * i]);
        const int low = HexValue(text[2 * i + 1]);
        if (high < 0 || low < 0) return std::nullopt;
        digest[i] = static_cast<unsigned char>(high * 16 + low);
    }
    return digest;
}
