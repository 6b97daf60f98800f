#pragma once

#include <filesystem>
#include <memory>

#include "core/signed_answer.h"
#include "p256_keys.h"

// Answers to ruvinstall, signed for installers in trusted mode (the format
// is the installer's own, net/signed_answer.h; the signature is made by
// answer_signing.h). Installers in trusted mode send a nonce of 32
// lower-case hex digits; a request without one gets its answer unsigned
// (installers without a trust key send none), and one with a nonce of any
// other form is refused: the server signs nothing but what an installer
// could have drawn.

// The operator's private key (PEM). Throws CStartupError.
std::unique_ptr<CP256Signer> LoadSigningKey(const std::filesystem::path& file);
