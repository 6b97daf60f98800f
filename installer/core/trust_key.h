#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/byte_vector.h"

// The operator's signing key that a configuration pins: an ECDSA P-256
// public key, written as the base64 (strict, see base64.h) of its DER
// SubjectPublicKeyInfo, which is what `openssl ec -pubout -outform DER`
// writes. Such a key is always 91 bytes: a fixed 26-byte head naming
// id-ecPublicKey on prime256v1, then the uncompressed point 0x04 || X || Y.
// The curve equation is not checked here: a point off the curve cannot
// verify any signature.

inline constexpr std::size_t kTrustKeyPointSize = 64;  // X || Y, 32 bytes each

// X || Y of the key text; nothing when the text is not such a key.
std::optional<ByteVector> ParseTrustKey(std::string_view text);

// The DER SubjectPublicKeyInfo of the point X || Y.
ByteVector TrustKeyDer(const ByteVector& point);

// The configuration's text of the point X || Y.
std::string TrustKeyText(const ByteVector& point);
