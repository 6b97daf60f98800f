#pragma once

#include <optional>
#include <string>

#include "core/byte_vector.h"

// The exact bytes of the file at path (a byte string in the local code page),
// or nothing when it cannot be opened or read.
std::optional<ByteVector> ReadFileBytes(const std::string& path);
