#include "message_framing.h"

#include <cstdint>
#include <istream>
#include <ostream>

namespace {

constexpr size_t kLengthBytes = 4;

}  // namespace

std::optional<std::string> ReadMessage(std::istream& in) {
    unsigned char prefix[kLengthBytes];
    if (!in.read(reinterpret_cast<char*>(prefix), kLengthBytes)) {
        return std::nullopt;
    }
    uint32_t length = 0;
    for (size_t i = kLengthBytes; i-- > 0;) {
        length = (length << 8) | prefix[i];
    }
    if (length > kMaxMessageBytes) {
        return std::nullopt;
    }
    std::string message(length, '\0');
    if (!in.read(message.data(), std::streamsize(length))) {
        return std::nullopt;
    }
    return message;
}

bool WriteMessage(std::ostream& out, std::string_view message) {
    const auto length = uint32_t(message.size());
    char prefix[kLengthBytes];
    for (size_t i = 0; i < kLengthBytes; ++i) {
        prefix[i] = char((length >> (8 * i)) & 0xFF);
    }
    out.write(prefix, kLengthBytes);
    out.write(message.data(), std::streamsize(message.size()));
    return bool(out.flush());
}
