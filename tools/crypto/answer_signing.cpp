#include "answer_signing.h"

#include <algorithm>

#include "core/base64.h"
#include "core/hex_text.h"
#include "core/random_bytes.h"
#include "core/signed_answer.h"

std::string NewAnswerNonce() {
    unsigned char random[kNonceBytes];
    FillRandomBytes(random, sizeof random);
    return LowerHex(random);
}

bool IsAnswerNonce(std::string_view text) {
    return text.size() == 2 * kNonceBytes && std::all_of(text.begin(), text.end(), [](char c) {
               return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
           });
}

std::string AnswerSignature(const CP256Signer& signer, std::string_view nonce,
                            const ByteVector& answer) {
    return EncodeBase64(signer.Sign(SignedBytes(nonce, answer)));
}
