#include "core/key_carrier.h"

#include <cstdint>

namespace {

constexpr int kCarrierOffset = 8;
constexpr int kKeyBits = 64;

}  // namespace

void HideStreamKey(unsigned char* block, const unsigned char key[8]) {
    std::uint64_t displaced = 0;
    for (int k = 0; k < kKeyBits; ++k) {
        unsigned char& carrier = block[kCarrierOffset + k];
        displaced |= std::uint64_t{carrier & 1u} << k;
        carrier = static_cast<unsigned char>((carrier & 0xFE) | ((key[k / 8] >> (k % 8)) & 1));
    }
    for (int i = 0; i < 8; ++i) block[i] = static_cast<unsigned char>(displaced >> (8 * i));
}

void RecoverStreamKey(unsigned char* block, unsigned char key[8]) {
    std::uint64_t displaced = 0;
    for (int i = 0; i < 8; ++i) displaced |= std::uint64_t{block[i]} << (8 * i);
    for (int i = 0; i < 8; ++i) key[i] = 0;
    for (int k = 0; k < kKeyBits; ++k) {
        unsigned char& carrier = block[kCarrierOffset + k];
        key[k / 8] = static_cast<unsigned char>(key[k / 8] | (carrier & 1) << (k % 8));
        carrier = static_cast<unsigned char>((carrier & 0xFE) | ((displaced >> k) & 1));
    }
}
