#include <openssl/evp.h>

#include <stdexcept>

#include "sha256_engine.h"

struct CSha256Engine::State {
    struct Free {
        void operator()(EVP_MD_CTX* context) const { EVP_MD_CTX_free(context); }
    };
    std::unique_ptr<EVP_MD_CTX, Free> context{EVP_MD_CTX_new()};
};

CSha256Engine::CSha256Engine() : state_(std::make_unique<State>()) {
    if (!state_->context || EVP_DigestInit_ex(state_->context.get(), EVP_sha256(), nullptr) != 1) {
        throw std::runtime_error("OpenSSL cannot compute SHA-256");
    }
}

CSha256Engine::~CSha256Engine() = default;

void CSha256Engine::Add(const char* bytes, std::size_t count) {
    if (EVP_DigestUpdate(state_->context.get(), bytes, count) != 1) {
        throw std::runtime_error("OpenSSL cannot compute SHA-256");
    }
}

Sha256Digest CSha256Engine::Finish() {
    Sha256Digest digest{};
    if (EVP_DigestFinal_ex(state_->context.get(), digest.data(), nullptr) != 1) {
        throw std::runtime_error("OpenSSL cannot compute SHA-256");
    }
    return digest;
}
