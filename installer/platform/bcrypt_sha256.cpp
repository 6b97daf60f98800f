#include "platform/bcrypt_sha256.h"

#include <stdexcept>

namespace {

// bcrypt takes at most a ULONG at a time.
constexpr std::size_t kMaxStep = std::size_t{1} << 30;

void Require(NTSTATUS status) {
    if (!BCRYPT_SUCCESS(status)) throw std::runtime_error("bcrypt cannot compute SHA-256");
}

}  // namespace

CBcryptSha256::CBcryptSha256() {
    BCRYPT_ALG_HANDLE algorithm = nullptr;
    Require(BCryptOpenAlgorithmProvider(&algorithm, BCRYPT_SHA256_ALGORITHM, nullptr, 0));
    algorithm_.Reset(algorithm);
    BCRYPT_HASH_HANDLE hash = nullptr;
    Require(BCryptCreateHash(algorithm_.Get(), &hash, nullptr, 0, nullptr, 0, 0));
    hash_.Reset(hash);
}

void CBcryptSha256::Add(const char* bytes, std::size_t count) {
    while (count > 0) {
        const std::size_t step = count < kMaxStep ? count : kMaxStep;
        Require(BCryptHashData(hash_.Get(), reinterpret_cast<PUCHAR>(const_cast<char*>(bytes)),
                               static_cast<ULONG>(step), 0));
        bytes += step;
        count -= step;
    }
}

Sha256Digest CBcryptSha256::Finish() {
    Sha256Digest digest{};
    Require(BCryptFinishHash(hash_.Get(), digest.data(), static_cast<ULONG>(digest.size()), 0));
    return digest;
}
