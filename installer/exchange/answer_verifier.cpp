#include "exchange/answer_verifier.h"

#include <windows.h>
// after windows.h
#include <bcrypt.h>

#include <cstring>
#include <stdexcept>

#include "core/base64.h"
#include "core/ecdsa_der.h"
#include "core/hex_text.h"
#include "core/installer_config.h"
#include "core/message_error.h"
#include "core/signed_answer.h"
#include "core/trust_key.h"
#include "exchange/exchange_messages.h"
#include "net/http_client.h"
#include "platform/bcrypt_handle.h"
#include "platform/sha256_engine.h"

namespace {

constexpr ULONG kCoordinateSize = kTrustKeyPointSize / 2;

std::string NewNonce() {
    unsigned char random[kNonceBytes];
    if (!BCRYPT_SUCCESS(
            BCryptGenRandom(nullptr, random, sizeof random, BCRYPT_USE_SYSTEM_PREFERRED_RNG))) {
        throw std::runtime_error("the system's random generator failed");
    }
    return LowerHex(random);
}

// What installers send: kNonceBytes as lower-case hex.
bool IsNonce(std::string_view text) {
    return text.size() == 2 * kNonceBytes &&
           text.find_first_not_of("0123456789abcdef") == std::string_view::npos;
}

Sha256Digest DigestOf(const std::string& bytes) {
    CSha256Engine engine;
    engine.Add(bytes.data(), bytes.size());
    return engine.Finish();
}

// The key X || Y as the system imports a public P-256 key.
ByteVector PublicKeyBlob(const ByteVector& point) {
    const BCRYPT_ECCKEY_BLOB head{BCRYPT_ECDSA_PUBLIC_P256_MAGIC, kCoordinateSize};
    ByteVector blob(sizeof head);
    std::memcpy(blob.data(), &head, sizeof head);
    blob.insert(blob.end(), point.begin(), point.end());
    return blob;
}

// Whether raw (r || s) signs digest under the key X || Y. A point the system
// will not import (off the curve, for one) verifies nothing.
bool VerifiesWithKey(const ByteVector& point, const Sha256Digest& digest, ByteVector raw) {
    BCRYPT_ALG_HANDLE openedAlgorithm = nullptr;
    if (!BCRYPT_SUCCESS(BCryptOpenAlgorithmProvider(&openedAlgorithm, BCRYPT_ECDSA_P256_ALGORITHM,
                                                    nullptr, 0))) {
        return false;
    }
    const BcryptAlgorithm algorithm(openedAlgorithm);
    ByteVector blob = PublicKeyBlob(point);
    BCRYPT_KEY_HANDLE importedKey = nullptr;
    if (!BCRYPT_SUCCESS(BCryptImportKeyPair(algorithm.Get(), nullptr, BCRYPT_ECCPUBLIC_BLOB,
                                            &importedKey, reinterpret_cast<PUCHAR>(blob.data()),
                                            static_cast<ULONG>(blob.size()), 0))) {
        return false;
    }
    const BcryptKey key(importedKey);
    Sha256Digest hashed = digest;
    return BCRYPT_SUCCESS(BCryptVerifySignature(
        key.Get(), nullptr, hashed.data(), static_cast<ULONG>(hashed.size()),
        reinterpret_cast<PUCHAR>(raw.data()), static_cast<ULONG>(raw.size()), 0));
}

}  // namespace

bool IsAnswerSignedFor(const ByteVector& trustKey, std::string_view nonce,
                       const std::optional<std::string>& signatureText, const ByteVector& body) {
    if (trustKey.size() != kTrustKeyPointSize || !signatureText) return false;
    const auto der = DecodeBase64(*signatureText);
    const auto raw = der ? RawP256Signature(*der) : std::nullopt;
    if (!raw) return false;
    return VerifiesWithKey(trustKey, DigestOf(SignedBytes(nonce, body)), *raw);
}

CAnswerVerifier::CAnswerVerifier(const CInstallerConfig& config) {
    if (!config.Trusted()) return;
    trustKey_ = config.trustKey;
    nonce_ = NewNonce();
}

void CAnswerVerifier::PrepareRequest(HttpClient& client) const {
    if (trustKey_.empty()) {
        client.extraHeaders.clear();
        client.keptHeaderName.clear();
        return;
    }
    client.extraHeaders = std::string(kNonceHeader) + ": " + nonce_ + "\r\n";
    client.keptHeaderName = kSignatureHeader;
}

SignatureVerdict CAnswerVerifier::CheckAnswer(const HttpClient& client) const {
    if (trustKey_.empty()) return SignatureVerdict::Unsigned;
    if (!IsAnswerSignedFor(trustKey_, nonce_, client.responseHeader, client.response)) {
        throw CMessageError(exchange_messages::kAnswerSignatureInvalid);
    }
    return SignatureVerdict::Valid;
}

RecordedAnswer CAnswerVerifier::Record(const HttpClient& client) const {
    if (trustKey_.empty()) return {client.response, {}, std::nullopt};
    return {client.response, nonce_, client.responseHeader};
}

SignatureVerdict CAnswerVerifier::CheckRecordedAnswer(const RecordedAnswer& answer) const {
    if (trustKey_.empty()) return SignatureVerdict::Unsigned;
    if (!IsNonce(answer.nonce) ||
        !IsAnswerSignedFor(trustKey_, answer.nonce, answer.signature, answer.body)) {
        throw CMessageError(exchange_messages::kAnswerSignatureInvalid);
    }
    return SignatureVerdict::Valid;
}
