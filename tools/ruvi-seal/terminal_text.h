#pragma once

#include <optional>
#include <string>

// The installer's texts are GBK. On Windows the console and the command line
// speak the same code page; on the host they speak UTF-8, so texts crossing
// the terminal are converted there and nowhere else.

// A GBK text for the terminal. Bytes that are not GBK show as '?'.
std::string ToTerminal(const std::string& gbk);

// A command-line text in GBK; nothing when it cannot be expressed in GBK.
std::optional<std::string> FromTerminal(const std::string& text);
