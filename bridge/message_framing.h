#pragma once

#include <cstddef>
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>

// How browsers frame native messages: the length in 4 bytes, least
// significant first, then that many bytes of UTF-8 JSON.

// The largest message the bridge reads. Its requests are far smaller.
inline constexpr size_t kMaxMessageBytes = 4096;

// One message from in. Nothing when the stream ends before the length or
// the bytes it announces, or when the length is over kMaxMessageBytes (the
// bytes are then left unread).
std::optional<std::string> ReadMessage(std::istream& in);

// Writes one message and flushes it; false when the stream failed.
bool WriteMessage(std::ostream& out, std::string_view message);
