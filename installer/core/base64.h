#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/byte_vector.h"

// Base64 with the standard alphabet and "=" padding, on one line: the form
// of the configuration's trust key and of signatures on the wire.

std::string EncodeBase64(const ByteVector& bytes);

// Strict: only the canonical encoding of some bytes is accepted. Nothing
// for white space or line breaks anywhere, a length that is not a multiple
// of 4, padding that is missing, misplaced or longer than two characters,
// and unused bits in the last character that are not zero (so that each
// byte string has exactly one text).
std::optional<ByteVector> DecodeBase64(std::string_view text);
