#pragma once

#include <cstddef>
#include <variant>

#include "platform/bcrypt_sha256.h"
#include "platform/sha256_digest.h"
#include "platform/sha256_instructions.h"

// One running SHA-256 computation: the installer checks downloads and signed
// answers with it, and the Windows build of the operator tools hashes plans'
// files with it. By the processor's SHA instructions where it has them,
// otherwise by the system's bcrypt. Throws std::runtime_error when the
// system refuses.
class CSha256Engine {
public:
    CSha256Engine();

    void Add(const char* bytes, std::size_t count);
    // Ends the computation; the engine takes nothing more afterwards.
    Sha256Digest Finish();

private:
    using Way = std::variant<CSha256Instructions, CBcryptSha256>;
    static Way FastestWay();

    Way way_;
};
