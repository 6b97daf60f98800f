// The keyed DES decoder on any key and any input: the first byte chooses the
// key length (0 to 9), the key bytes follow, the rest is the input. A
// decryption that succeeds must give back as many bytes as it was given,
// and encrypting them again must restore the input.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "core/des_ecb.h"
#include "core/message_error.h"

namespace {

void Require(bool condition) {
    if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    const std::size_t keySize = data[0] % 10;
    if (size - 1 < keySize) return 0;
    const std::string key(reinterpret_cast<const char*>(data + 1), keySize);
    const ByteVector in(data + 1 + keySize, data + size);
    const bool valid = key.size() == 8 && !in.empty() && in.size() % 8 == 0;

    ByteVector plain;
    try {
        DesEcbDecrypt(in, plain, key);
    } catch (const CMessageError&) {
        Require(!valid);
        return 0;
    }
    Require(valid);
    Require(plain.size() == in.size());
    ByteVector again;
    DesEcbEncrypt(plain, again, key);
    Require(again == in);
    return 0;
}
