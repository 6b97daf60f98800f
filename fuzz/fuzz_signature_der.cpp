// The answer signature's decoding on any header text: strict base64, then
// DER to the raw r || s. What is accepted must be 64 bytes and the one DER
// encoding of its two numbers: encoding them again gives back the bytes.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "core/base64.h"
#include "core/ecdsa_der.h"

namespace {

void Require(bool condition) {
    if (!condition) std::abort();
}

// The shortest DER INTEGER of a 32-byte big-endian number.
ByteVector Integer(const char* number) {
    std::size_t skip = 0;
    while (skip < 31 && number[skip] == '\0') ++skip;
    ByteVector value(number + skip, number + 32);
    if ((static_cast<unsigned char>(value[0]) & 0x80) != 0) value.insert(value.begin(), '\0');
    ByteVector integer = {0x02, static_cast<char>(value.size())};
    integer.insert(integer.end(), value.begin(), value.end());
    return integer;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto der = DecodeBase64(std::string_view(reinterpret_cast<const char*>(data), size));
    if (!der) return 0;
    const auto raw = RawP256Signature(*der);
    if (!raw) return 0;
    Require(raw->size() == kP256RawSignatureSize);
    const ByteVector r = Integer(raw->data());
    const ByteVector s = Integer(raw->data() + 32);
    ByteVector again = {0x30, static_cast<char>(r.size() + s.size())};
    again.insert(again.end(), r.begin(), r.end());
    again.insert(again.end(), s.begin(), s.end());
    Require(again == *der);
    return 0;
}
