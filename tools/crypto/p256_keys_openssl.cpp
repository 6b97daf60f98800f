#include <openssl/bio.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>

#include <optional>

#include "core/base64.h"
#include "core/trust_key.h"
#include "p256_keys.h"

namespace {

template <typename T, void (*Free)(T*)>
struct Deleter {
    void operator()(T* object) const { Free(object); }
};
using KeyPtr = std::unique_ptr<EVP_PKEY, Deleter<EVP_PKEY, EVP_PKEY_free>>;
using BioPtr = std::unique_ptr<BIO, Deleter<BIO, BIO_free_all>>;
using DigestPtr = std::unique_ptr<EVP_MD_CTX, Deleter<EVP_MD_CTX, EVP_MD_CTX_free>>;

constexpr char kNotAP256Key[] = "not an ECDSA P-256 key in PEM form";

BioPtr ReadingBio(std::string_view text) {
    BioPtr bio(BIO_new_mem_buf(text.data(), static_cast<int>(text.size())));
    if (!bio) throw CKeyError("OpenSSL is out of memory");
    return bio;
}

// X || Y when key is a P-256 key whose public part encodes as the form the
// configuration pins; nothing otherwise.
std::optional<ByteVector> PointOf(EVP_PKEY* key) {
    unsigned char* der = nullptr;
    const int length = i2d_PUBKEY(key, &der);
    if (length <= 0) return std::nullopt;
    const ByteVector bytes(der, der + length);
    OPENSSL_free(der);
    return ParseTrustKey(EncodeBase64(bytes));
}

KeyPtr ReadPrivateKey(std::string_view pem) {
    KeyPtr key(PEM_read_bio_PrivateKey(ReadingBio(pem).get(), nullptr, nullptr, nullptr));
    if (!key || !PointOf(key.get())) throw CKeyError(kNotAP256Key);
    return key;
}

KeyPtr PublicKeyOf(const ByteVector& point) {
    const ByteVector der = TrustKeyDer(point);
    const auto* cursor = reinterpret_cast<const unsigned char*>(der.data());
    return KeyPtr(d2i_PUBKEY(nullptr, &cursor, static_cast<long>(der.size())));
}

}  // namespace

std::string NewP256PrivateKeyPem() {
    const KeyPtr key(EVP_PKEY_Q_keygen(nullptr, nullptr, "EC", "P-256"));
    BioPtr bio(BIO_new(BIO_s_mem()));
    if (!key || !bio ||
        PEM_write_bio_PrivateKey(bio.get(), key.get(), nullptr, nullptr, 0, nullptr, nullptr) !=
            1) {
        throw CKeyError("OpenSSL cannot make a P-256 key");
    }
    char* text = nullptr;
    const long length = BIO_get_mem_data(bio.get(), &text);
    return std::string(text, static_cast<std::size_t>(length));
}

ByteVector PublicPointOfPem(std::string_view pem) {
    KeyPtr key(PEM_read_bio_PrivateKey(ReadingBio(pem).get(), nullptr, nullptr, nullptr));
    if (!key) key.reset(PEM_read_bio_PUBKEY(ReadingBio(pem).get(), nullptr, nullptr, nullptr));
    const auto point = key ? PointOf(key.get()) : std::nullopt;
    if (!point) throw CKeyError(kNotAP256Key);
    return *point;
}

struct CP256Signer::Key {
    KeyPtr key;
};

CP256Signer::CP256Signer(std::string_view privateKeyPem)
    : key_(std::make_unique<Key>(Key{ReadPrivateKey(privateKeyPem)})) {}

CP256Signer::~CP256Signer() = default;

// Each signature has a context of its own; the key itself is only read, which
// OpenSSL allows from several threads at once.
ByteVector CP256Signer::Sign(std::string_view message) const {
    const DigestPtr context(EVP_MD_CTX_new());
    std::size_t length = 0;
    const auto* bytes = reinterpret_cast<const unsigned char*>(message.data());
    if (!context ||
        EVP_DigestSignInit(context.get(), nullptr, EVP_sha256(), nullptr, key_->key.get()) != 1 ||
        EVP_DigestSign(context.get(), nullptr, &length, bytes, message.size()) != 1) {
        throw CKeyError("OpenSSL cannot sign");
    }
    ByteVector signature(length);
    if (EVP_DigestSign(context.get(), reinterpret_cast<unsigned char*>(signature.data()), &length,
                       bytes, message.size()) != 1) {
        throw CKeyError("OpenSSL cannot sign");
    }
    signature.resize(length);
    return signature;
}

ByteVector CP256Signer::PublicPoint() const { return *PointOf(key_->key.get()); }

bool VerifyP256(const ByteVector& point, std::string_view message, const ByteVector& signature) {
    const KeyPtr key = PublicKeyOf(point);
    const DigestPtr context(EVP_MD_CTX_new());
    return key && context &&
           EVP_DigestVerifyInit(context.get(), nullptr, EVP_sha256(), nullptr, key.get()) == 1 &&
           EVP_DigestVerify(context.get(), reinterpret_cast<const unsigned char*>(signature.data()),
                            signature.size(),
                            reinterpret_cast<const unsigned char*>(message.data()),
                            message.size()) == 1;
}
