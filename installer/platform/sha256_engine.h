#pragma once

#include <cstddef>

#include "platform/bcrypt_handle.h"
#include "platform/sha256_digest.h"

// One running SHA-256 computation over the system's bcrypt: the installer
// checks downloads and signed answers with it, and the Windows build of the
// operator tools hashes plans' files with it. Throws std::runtime_error when
// the system refuses.
class CSha256Engine {
public:
    CSha256Engine();

    void Add(const char* bytes, std::size_t count);
    // Ends the computation; the engine takes nothing more afterwards.
    Sha256Digest Finish();

private:
    BcryptAlgorithm algorithm_;
    BcryptHash hash_;
};
