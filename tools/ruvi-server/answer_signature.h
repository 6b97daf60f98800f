#pragma once

#include <filesystem>
#include <memory>

#include "core/signed_answer.h"
#include "p256_keys.h"

// Answers to ruvinstall, signed for installers in trusted mode (the format
// is the installer's own: net/signed_answer.h). A request without a nonce
// gets a signature over an empty one, which no installer accepts. A nonce of
// another form (installers send 32 lower-case hex digits) is signed as it
// came: the installer judges it, and no text without a line feed can make
// the signed bytes read as another nonce's.

// The operator's private key (PEM). Throws CStartupError.
std::unique_ptr<CP256Signer> LoadSigningKey(const std::filesystem::path& file);
