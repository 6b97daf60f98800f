#pragma once

#include <string>

#include "core/byte_vector.h"

// The operator's PEM key files. OpenSSL reads and makes them, so only the
// Linux build has them; the Windows build fails with a text that says so.
// Both throw CToolFailure.

// X || Y of the public key in the PEM file at path (a P-256 private key, or
// a public key).
ByteVector PublicPointOfKeyFile(const std::string& path);

// Writes a new P-256 private key to path, which must not exist yet, readable
// and writable by its owner only: first to a new file beside it, which then
// takes the name (never replacing a file that took it meanwhile). Returns X
// || Y of its public key.
ByteVector WriteNewSigningKey(const std::string& path);

// An answer signed as ruvi-server signs it, over a fresh nonce, with the P-256
// private key in the PEM file at path.
struct CAnswerSignature {
    std::string nonce;      // 32 lower-case hex digits
    std::string signature;  // the X-Ruvi-Signature value
};
CAnswerSignature SignAnswerWithKeyFile(const std::string& path, const ByteVector& answer);
