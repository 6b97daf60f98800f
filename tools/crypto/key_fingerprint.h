#pragma once

#include <string>

#include "core/byte_vector.h"

// How the tools show a trust key: "SHA256:" and the base64 of the SHA-256 of
// its DER SubjectPublicKeyInfo, without the "=" padding. The same as
//   openssl pkey -pubin -in PUBLIC.pem -outform DER |
//     openssl dgst -sha256 -binary | base64 | tr -d =
std::string KeyFingerprint(const ByteVector& point);
