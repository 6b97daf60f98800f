#include "platform/random_name.h"

#include <windows.h>

#include <bcrypt.h>

namespace {

constexpr std::size_t kRandomBytes = 8;
constexpr char kHexDigits[] = "0123456789abcdef";

}  // namespace

std::string RandomNameBeside(const std::string& path, std::string_view tag) {
    unsigned char random[kRandomBytes] = {};
    if (!BCRYPT_SUCCESS(
            BCryptGenRandom(nullptr, random, sizeof random, BCRYPT_USE_SYSTEM_PREFERRED_RNG))) {
        return {};
    }
    std::string name = path;
    name += tag;
    for (const unsigned char byte : random) {
        name += kHexDigits[byte >> 4];
        name += kHexDigits[byte & 0x0F];
    }
    return name;
}
