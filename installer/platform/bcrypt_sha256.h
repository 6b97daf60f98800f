#pragma once

#include <cstddef>

#include "platform/bcrypt_handle.h"
#include "platform/sha256_digest.h"

// SHA-256 by the system's bcrypt. Throws std::runtime_error when the system
// refuses.
class CBcryptSha256 {
public:
    CBcryptSha256();

    void Add(const char* bytes, std::size_t count);
    // Ends the computation; it takes nothing more afterwards.
    Sha256Digest Finish();

private:
    BcryptAlgorithm algorithm_;
    BcryptHash hash_;
};
