#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "core/byte_vector.h"

// The signature of the answer to the initial request in trusted mode. The
// installer sends a fresh nonce in kNonceHeader; the server answers with
// kSignatureHeader: the base64 of a DER ECDSA P-256 SHA-256 signature over
// SignedBytes(nonce, body), both exactly as they went over the wire. So an
// answer recorded for one request is worth nothing for another.

inline constexpr char kNonceHeader[] = "X-Ruvi-Nonce";
inline constexpr char kSignatureHeader[] = "X-Ruvi-Signature";
// Installers send 16 random bytes as lower-case hex.
inline constexpr std::size_t kNonceBytes = 16;

// The nonce, one line feed, the body.
std::string SignedBytes(std::string_view nonce, const ByteVector& body);
