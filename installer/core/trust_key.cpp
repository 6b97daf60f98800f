#include "core/trust_key.h"

#include <algorithm>
#include <iterator>

#include "core/base64.h"

namespace {

// SEQUENCE { SEQUENCE { OID id-ecPublicKey, OID prime256v1 },
//            BIT STRING (no unused bits) { 0x04 (uncompressed) ...
constexpr unsigned char kDerHead[] = {
    0x30, 0x59, 0x30, 0x13, 0x06, 0x07, 0x2a, 0x86, 0x48, 0xce, 0x3d, 0x02, 0x01, 0x06,
    0x08, 0x2a, 0x86, 0x48, 0xce, 0x3d, 0x03, 0x01, 0x07, 0x03, 0x42, 0x00, 0x04,
};

}  // namespace

std::optional<ByteVector> ParseTrustKey(std::string_view text) {
    const auto der = DecodeBase64(text);
    if (!der || der->size() != sizeof kDerHead + kTrustKeyPointSize ||
        !std::equal(std::begin(kDerHead), std::end(kDerHead), der->begin(),
                    [](unsigned char expected, char actual) {
                        return expected == static_cast<unsigned char>(actual);
                    })) {
        return std::nullopt;
    }
    return ByteVector(der->begin() + sizeof kDerHead, der->end());
}

ByteVector TrustKeyDer(const ByteVector& point) {
    ByteVector der;
    der.reserve(sizeof kDerHead + point.size());
    for (const unsigned char byte : kDerHead) der.push_back(static_cast<char>(byte));
    der.insert(der.end(), point.begin(), point.end());
    return der;
}

std::string TrustKeyText(const ByteVector& point) { return EncodeBase64(TrustKeyDer(point)); }
