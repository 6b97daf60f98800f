#pragma once

#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>

#include "core/byte_vector.h"

// ECDSA P-256 keys as the operator keeps them (PEM files) and the signatures
// the server adds to its answers: DER-encoded ECDSA over SHA-256, what
// `openssl dgst -sha256 -sign KEY.pem` writes. OpenSSL, host only.

// A key that does not read, or is not a P-256 key.
class CKeyError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A new private key, as PEM (PKCS#8) text.
std::string NewP256PrivateKeyPem();

// X || Y of the public key in PEM text holding a P-256 private or public key.
ByteVector PublicPointOfPem(std::string_view pem);

// A private key loaded once and used from any number of threads.
class CP256Signer {
public:
    explicit CP256Signer(std::string_view privateKeyPem);
    ~CP256Signer();
    CP256Signer(const CP256Signer&) = delete;
    CP256Signer& operator=(const CP256Signer&) = delete;

    // DER ECDSA signature of SHA-256(message).
    ByteVector Sign(std::string_view message) const;
    // X || Y of its public key.
    ByteVector PublicPoint() const;

private:
    struct Key;
    std::unique_ptr<Key> key_;
};

// Whether signature is a valid DER signature of message by the key X || Y.
bool VerifyP256(const ByteVector& point, std::string_view message, const ByteVector& signature);
