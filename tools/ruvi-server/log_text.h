#pragma once

#include <string>
#include <string_view>

// text made safe for a one-line log entry: control bytes (line feeds above
// all, which would forge further entries) and the backslash become escapes
// ("\n", "\r", "\t", "\\", "\xHH"); every other byte, UTF-8 included, stays.
std::string EscapeLogText(std::string_view text);
