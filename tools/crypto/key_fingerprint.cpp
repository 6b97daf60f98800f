#include "key_fingerprint.h"

#include "core/base64.h"
#include "core/trust_key.h"
#include "sha256.h"

std::string KeyFingerprint(const ByteVector& point) {
    const Sha256Digest digest = Sha256(TrustKeyDer(point));
    std::string text = EncodeBase64(ByteVector(digest.begin(), digest.end()));
    text.erase(text.find_last_not_of('=') + 1);
    return "SHA256:" + text;
}
