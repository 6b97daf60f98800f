#pragma once

#include <string>

#include "core/byte_vector.h"

// DES in ECB mode under a shared 8-byte key: each 8-byte group on its own,
// no framing, no checksum, no padding. out gets exactly in.size() bytes.
// Both throw CMessageError "无效的密钥长度!" when key is not 8 bytes long and
// "无效的解密长度!" when in is empty or not a multiple of 8 bytes.

void DesEcbDecrypt(const ByteVector& in, ByteVector& out, const std::string& key);

// The server's side of the same mode; padding is the caller's business.
void DesEcbEncrypt(const ByteVector& in, ByteVector& out, const std::string& key);
