#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "net/byte_vector.h"
#include "p256_keys.h"

// Answers to ruvinstall, signed for installers in trusted mode. The
// installer sends a fresh nonce; the answer's signature covers that nonce
// exactly as sent, one line feed and the body exactly as sent, so an answer
// recorded for one installer is worth nothing to another. A request without
// a nonce gets a signature over an empty one, which no installer accepts. A
// nonce of another form (installers send 32 lower-case hex digits) is signed
// as it came: the installer judges it, and no text without a line feed can
// make the signed bytes read as another nonce's.

inline constexpr char kNonceHeader[] = "X-Ruvi-Nonce";
inline constexpr char kSignatureHeader[] = "X-Ruvi-Signature";

std::string SignedBytes(std::string_view nonce, const ByteVector& body);

// The operator's private key (PEM). Throws CStartupError.
std::unique_ptr<CP256Signer> LoadSigningKey(const std::filesystem::path& file);
