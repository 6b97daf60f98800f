#pragma once

#include <string>

// Conversions at the program's edges. The program's own texts are narrow
// strings in the local (ANSI) code page; request bodies go out as UTF-8, and
// COM and GDI+ speak UTF-16. None of them throws.

// Empty on failure (and for an empty input). Ends at an embedded zero byte.
std::string AnsiToUtf8(std::string text);

// On failure out becomes empty and the result is false.
bool WideToAnsi(std::wstring text, std::string& out);
bool AnsiToWide(std::string text, std::wstring& out);
