#pragma once

#include <string>

#include "core/byte_vector.h"

// How the answer document travels: the installer's configuration names one
// of the two, and whoever answers in its place (the server, an offline
// layout) has to match it.
enum class AnswerSealing { Secure, Des };

// The answer document as the installer's configured mode opens it: a secure
// stream, or DES-ECB under the key after padding with spaces to a multiple
// of 8 bytes (the installer parses every decrypted byte, so the padding has
// to be white space after the root). Throws CPlanError.
ByteVector SealAnswer(const ByteVector& document, AnswerSealing sealing, const std::string& desKey);
