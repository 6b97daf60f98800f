#include "core/signed_answer.h"

std::string SignedBytes(std::string_view nonce, const ByteVector& body) {
    std::string bytes(nonce);
    bytes += '\n';
    bytes.append(body.begin(), body.end());
    return bytes;
}
