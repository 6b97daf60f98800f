#pragma once

#include <optional>
#include <string>
#include <string_view>

// UTF-16 and UTF-8, for what the bridge exchanges with browsers; and the
// ANSI code page, for what it tells the console.
std::string WideToUtf8(std::wstring_view text);
std::optional<std::wstring> Utf8ToWide(std::string_view text);  // nothing for bad UTF-8
std::string WideToAnsi(std::wstring_view text);
std::wstring AnsiToWide(std::string_view text);
