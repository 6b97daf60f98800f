#pragma once

#include "core/byte_vector.h"
#include "core/des_ecb.h"
#include "core/secure_filters.h"
#include "core/vector_devices.h"

// The secure stream: DES-ECB blocks under a fresh per-stream key that the
// first block carries in the low bits of its ciphertext, each block with a
// 16-bit length and an 8-bit additive checksum, closed by an end block.
// These two wrappers are what the rest of the installer calls; DES-ECB under
// a shared key (des_ecb.h) is the other way the server may encode answers.

// out receives the secure stream of in. Throws CMessageError
// "加密失败：" + the failure's text.
void SecureEncrypt(ByteVector& out, const ByteVector& in);

// Appends the payload of the secure stream in to out. Throws CMessageError
// "解密失败：" + the failure's text; out then holds whatever was decoded
// before the failure.
void SecureDecrypt(const ByteVector& in, ByteVector& out);
