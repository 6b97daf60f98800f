#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "core/byte_vector.h"
#include "platform/sha256_digest.h"

// SHA-256, from OpenSSL on the host and from the system's bcrypt on Windows.

Sha256Digest Sha256(const ByteVector& bytes);

// The digest of a file's bytes, read piece by piece; nothing when it cannot
// be read.
std::optional<Sha256Digest> Sha256OfFile(const std::filesystem::path& path);

// 64 lower-case hex digits: the form plans declare.
std::string HexOf(const Sha256Digest& digest);
