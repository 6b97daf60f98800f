#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/sha256_digest.h"

// What an answer may declare of a file it has the installer fetch or run:
// its size (the text of a Size element: decimal bytes) and its SHA-256 (the
// text of a Sha256 element: 64 hex digits, either case). The installer checks
// its files against them; the operator tools write them and check plans.

struct FileDeclaration {
    std::optional<std::uint64_t> size;
    std::optional<Sha256Digest> sha256;

    bool Empty() const { return !size && !sha256; }
};

// Digits only, at least one, no sign or white space, within 64 bits.
std::optional<std::uint64_t> DeclaredSize(std::string_view text);
// Exactly 64 hex digits of either case.
std::optional<Sha256Digest> DeclaredSha256(std::string_view text);
