#include "p256_point.h"

#include <array>
#include <cstdint>

#include "core/trust_key.h"

// The curve equation y^2 = x^3 - 3x + b (mod p) in plain 256-bit arithmetic,
// so that both builds decide alike: Wine's bcrypt, unlike the system's,
// imports a public key without checking that it lies on the curve.

namespace {

using U256 = std::array<std::uint64_t, 4>;  // least significant limb first

constexpr U256 kPrime = {0xffffffffffffffff, 0x00000000ffffffff, 0x0000000000000000,
                         0xffffffff00000001};
constexpr U256 kB = {0x3bce3c3e27d2604b, 0x651d06b0cc53b0f6, 0xb3ebbd55769886bc,
                     0x5ac635d8aa3a93e7};

bool Less(const U256& a, const U256& b) {
    for (std::size_t i = a.size(); i-- > 0;) {
        if (a[i] != b[i]) return a[i] < b[i];
    }
    return false;
}

// a - b, ignoring the borrow out of the top limb.
U256 Subtract(const U256& a, const U256& b) {
    U256 difference{};
    std::uint64_t borrow = 0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const std::uint64_t partial = a[i] - b[i];
        difference[i] = partial - borrow;
        borrow = (a[i] < b[i]) || (partial < borrow) ? 1 : 0;
    }
    return difference;
}

// (a + b) mod p for a, b < p.
U256 AddMod(const U256& a, const U256& b) {
    U256 sum{};
    std::uint64_t carry = 0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        const std::uint64_t partial = a[i] + b[i];
        sum[i] = partial + carry;
        carry = (partial < a[i]) || (sum[i] < partial) ? 1 : 0;
    }
    return carry != 0 || !Less(sum, kPrime) ? Subtract(sum, kPrime) : sum;
}

// (a - b) mod p for a, b < p.
U256 SubtractMod(const U256& a, const U256& b) {
    return Less(a, b) ? AddMod(a, Subtract(kPrime, b)) : Subtract(a, b);
}

// (a * b) mod p by doubling and adding, from b's top bit down.
U256 MultiplyMod(const U256& a, const U256& b) {
    U256 product{};
    for (std::size_t bit = 256; bit-- > 0;) {
        product = AddMod(product, product);
        if ((b[bit / 64] >> (bit % 64)) & 1) product = AddMod(product, a);
    }
    return product;
}

U256 ReadBigEndian(const ByteVector& bytes, std::size_t offset) {
    U256 value{};
    for (std::size_t i = 0; i < 32; ++i) {
        const auto byte = static_cast<unsigned char>(bytes[offset + i]);
        value[3 - i / 8] = (value[3 - i / 8] << 8) | byte;
    }
    return value;
}

}  // namespace

bool IsP256Point(const ByteVector& point) {
    if (point.size() != kTrustKeyPointSize) return false;
    const U256 x = ReadBigEndian(point, 0);
    const U256 y = ReadBigEndian(point, 32);
    if (!Less(x, kPrime) || !Less(y, kPrime)) return false;
    const U256 threeX = AddMod(AddMod(x, x), x);
    const U256 right = AddMod(SubtractMod(MultiplyMod(MultiplyMod(x, x), x), threeX), kB);
    return MultiplyMod(y, y) == right;
}
