#pragma once

#include <boost/iostreams/categories.hpp>
#include <boost/iostreams/operations.hpp>

#include <array>
#include <cstdint>
#include <ios>
#include <string>
#include <vector>

#include "net/byte_vector.h"
#include "net/des.h"

// The secure stream: DES-ECB blocks under a fresh per-stream key that the
// first block carries in the low bits of its ciphertext, each block with a
// 16-bit length and an 8-bit additive checksum, closed by an end block.

// In-memory source reading a byte vector.
class basic_vector_source {
public:
    typedef char char_type;
    typedef boost::iostreams::source_tag category;

    explicit basic_vector_source(const ByteVector* vector = nullptr) : vector_(vector) {}
    std::streamsize read(char* buffer, std::streamsize n);

private:
    const ByteVector* vector_;
    std::size_t position_ = 0;
};

// In-memory sink appending to a byte vector.
class basic_vector_sink {
public:
    typedef char char_type;
    typedef boost::iostreams::sink_tag category;

    explicit basic_vector_sink(ByteVector* vector = nullptr) : vector_(vector) {}
    std::streamsize write(const char* bytes, std::streamsize n);

private:
    ByteVector* vector_;
    std::streamsize written_ = 0;
};

// (The filter classes secure_output_filter and secure_input_filter are
// declared here by the implementation.)

// out receives the secure stream of in. Throws CMessageError
// "加密失败：" + the failure's text.
void SecureEncrypt(ByteVector& out, const ByteVector& in);

// Appends the payload of the secure stream in to out. Throws CMessageError
// "解密失败：" + the failure's text.
void SecureDecrypt(const ByteVector& in, ByteVector& out);

// DES-ECB decryption of every 8-byte group of in under the 8-byte key; out
// gets exactly in.size() bytes. Throws CMessageError "无效的密钥长度!" or
// "无效的解密长度!".
void DesEcbDecrypt(const ByteVector& in, ByteVector& out, const std::string& key);
