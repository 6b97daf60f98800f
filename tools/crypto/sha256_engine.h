#pragma once

#ifdef _WIN32
// The system's bcrypt, shared with the installer.
#include "platform/sha256_engine.h"
#else

#include <cstddef>
#include <memory>

#include "sha256.h"

// One running SHA-256 computation over OpenSSL. Throws std::runtime_error
// when OpenSSL refuses.
class CSha256Engine {
public:
    CSha256Engine();
    ~CSha256Engine();
    CSha256Engine(const CSha256Engine&) = delete;
    CSha256Engine& operator=(const CSha256Engine&) = delete;

    void Add(const char* bytes, std::size_t count);
    Sha256Digest Finish();

private:
    struct State;
    std::unique_ptr<State> state_;
};

#endif
