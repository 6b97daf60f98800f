#pragma once

#include <string>

// Whether name, a file name the server gives, names one file directly inside
// a folder and nothing else: no path (separators, a drive, "." or ".."), no
// alternate stream, no device, nothing the system would trim or expand
// (a trailing dot or space, wildcards, quotes), no control characters, and
// at most 200 bytes in the local code page. The characters are judged as the
// system reads them, so a double-byte character whose second byte happens to
// be a backslash is a character like any other.
bool IsPlainFileName(const std::string& name);
