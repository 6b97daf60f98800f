#include <windows.h>
// after windows.h
#include <bcrypt.h>

#include <stdexcept>

#include "sha256_engine.h"

namespace {

struct CloseAlgorithm {
    void operator()(BCRYPT_ALG_HANDLE algorithm) const {
        BCryptCloseAlgorithmProvider(algorithm, 0);
    }
};
struct DestroyHash {
    void operator()(BCRYPT_HASH_HANDLE hash) const { BCryptDestroyHash(hash); }
};

void Require(NTSTATUS status) {
    if (!BCRYPT_SUCCESS(status)) throw std::runtime_error("bcrypt cannot compute SHA-256");
}

}  // namespace

struct CSha256Engine::State {
    std::unique_ptr<void, CloseAlgorithm> algorithm;
    std::unique_ptr<void, DestroyHash> hash;
};

CSha256Engine::CSha256Engine() : state_(std::make_unique<State>()) {
    BCRYPT_ALG_HANDLE algorithm = nullptr;
    Require(BCryptOpenAlgorithmProvider(&algorithm, BCRYPT_SHA256_ALGORITHM, nullptr, 0));
    state_->algorithm.reset(algorithm);
    BCRYPT_HASH_HANDLE hash = nullptr;
    Require(BCryptCreateHash(algorithm, &hash, nullptr, 0, nullptr, 0, 0));
    state_->hash.reset(hash);
}

CSha256Engine::~CSha256Engine() = default;

// bcrypt takes at most a ULONG at a time.
void CSha256Engine::Add(const char* bytes, std::size_t count) {
    constexpr std::size_t kMaxStep = 1u << 30;
    while (count > 0) {
        const std::size_t step = count < kMaxStep ? count : kMaxStep;
        Require(BCryptHashData(state_->hash.get(),
                               reinterpret_cast<PUCHAR>(const_cast<char*>(bytes)),
                               static_cast<ULONG>(step), 0));
        bytes += step;
        count -= step;
    }
}

Sha256Digest CSha256Engine::Finish() {
    Sha256Digest digest{};
    Require(BCryptFinishHash(state_->hash.get(), digest.data(), digest.size(), 0));
    return digest;
}
