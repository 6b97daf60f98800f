#pragma once

#include <array>
#include <cstdint>

// The Data Encryption Standard on single 8-byte groups. Parity bits of the
// key are ignored (PC-1 drops them).
class DesKeySchedule {
public:
    enum class Order { Encrypt, Decrypt };

    DesKeySchedule(const unsigned char key[8], Order order);

    // Sixteen 48-bit subkeys, in the order the rounds use them.
    const std::array<std::uint64_t, 16>& Subkeys() const { return subkeys_; }

private:
    std::array<std::uint64_t, 16> subkeys_{};
};

// Transforms one 8-byte group with the schedule (encrypts or decrypts,
// depending on the schedule's order). in and out may be the same buffer.
void DesBlock(const DesKeySchedule& schedule, const unsigned char in[8], unsigned char out[8]);
