#pragma once

#include <string>
#include <string_view>

#include "core/byte_vector.h"
#include "p256_keys.h"

// The signature of an answer to the initial request, as installers in
// trusted mode check it (net/signed_answer.h) and as both the server and an
// offline layout give it. Host only, as the keys are.

// A nonce as installers draw one: 32 lower-case hex digits of 16 random
// bytes from the system's source.
std::string NewAnswerNonce();

// Whether text has that form.
bool IsAnswerNonce(std::string_view text);

// The X-Ruvi-Signature value for answer (its bytes as sent) over nonce.
std::string AnswerSignature(const CP256Signer& signer, std::string_view nonce,
                            const ByteVector& answer);
