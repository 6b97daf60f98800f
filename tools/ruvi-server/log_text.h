#pragma once

#include <string>
#include <string_view>

// text made safe for a one-line log entry in UTF-8: control bytes (line
// feeds above all, which would forge further entries), the backslash and
// every byte that is not part of valid UTF-8 become escapes ("\n", "\r",
// "\t", "\\", "\xHH"); valid UTF-8 stays as it is.
std::string EscapeLogText(std::string_view text);

// text as a JSON string, quotes included. UTF-8 stays as it is; a byte that
// is not part of valid UTF-8 becomes the character of that value (\u00HH),
// so that every line stays valid JSON whatever a client sent.
std::string JsonString(std::string_view text);
