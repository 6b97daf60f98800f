#pragma once

#include <windows.h>

#include <cstddef>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "platform/registry_key.h"

// Opens root\path for reading in the program's own registry view; an empty
// key when it cannot be opened.
RegistryKey OpenRegistryKeyForReading(HKEY root, const std::string& path);

// The raw bytes of a value, whatever its registry type. Empty when the value
// is missing, unreadable, or longer than maxBytes.
std::optional<std::vector<char>> ReadRegistryBytes(
    HKEY key, const char* name, std::size_t maxBytes = std::numeric_limits<DWORD>::max());

// A value read as text: its bytes up to the first zero, or all of them when
// it has none (the registry does not make a string end in one).
std::optional<std::string> ReadRegistryText(
    HKEY key, const char* name, std::size_t maxBytes = std::numeric_limits<DWORD>::max());
