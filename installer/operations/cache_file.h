#pragma once

#include <optional>
#include <string>

#include "net/byte_vector.h"

// The size of the file at path; nothing when there is no such file or its
// size cannot be read.
std::optional<long long> CachedFileSize(const std::string& path);

// Where a download into the file at path resumes: its size rounded down to
// whole kilobytes, 0 when there is no such file.
long long ResumeOffset(const std::string& path);

enum class CacheWriteOutcome { Written, OpenFailed, WriteFailed };

// Writes data into the file at path from offset on, creating the file when
// needed, keeping what lies before offset and cutting the file after the
// last byte written. Bytes written before a failure stay in the file.
CacheWriteOutcome WriteCacheFile(const std::string& path, long long offset, const ByteVector& data);
