#pragma once

#include <string>

// Whether a download's save name (GBK, as read from the plan) names one file
// directly inside a folder, by the rules the installer holds save names to
// before it writes by them: at most 200 bytes of GBK; no path (separators, a
// drive, "." or ".."), no alternate stream, no device name, nothing Windows
// would trim or expand (a trailing dot or space, wildcards, quotes), no
// control characters. A double-byte character whose second byte happens to
// be a backslash is a character like any other.
bool IsPlainSaveName(const std::string& name);
