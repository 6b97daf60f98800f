#include "core/des.h"

#include <algorithm>
#include <bit>
#include <cstddef>

#include "core/des_tables.h"

namespace {

using namespace des_tables;

// For a permutation table of Out entries over In input bits: the output bits
// that each input bit feeds, indexed by input position - 1.
template <std::size_t In, std::size_t Out>
constexpr std::array<std::uint64_t, In> BitImages(const std::array<std::uint8_t, Out>& table) {
    std::array<std::uint64_t, In> images{};
    for (std::size_t j = 0; j < Out; ++j) images[table[j] - 1] |= std::uint64_t{1} << (Out - 1 - j);
    return images;
}

// A 64-bit permutation looked up a byte at a time: row i holds the images of
// every value of byte i (byte 0 is the most significant).
using ByteSpread = std::array<std::array<std::uint64_t, 256>, 8>;

constexpr ByteSpread SpreadBytes(const std::array<std::uint8_t, 64>& table) {
    const auto images = BitImages<64>(table);
    ByteSpread spread{};
    for (int byte = 0; byte < 8; ++byte) {
        for (unsigned value = 1; value < 256; ++value) {
            const int lowest = std::countr_zero(value);
            spread[byte][value] = spread[byte][value & (value - 1)] | images[byte * 8 + 7 - lowest];
        }
    }
    return spread;
}

// Each S-box merged with the permutation P that follows it, indexed by the
// box's six input bits as they stand (outer bits pick the row).
using SpTable = std::array<std::array<std::uint32_t, 64>, 8>;

constexpr SpTable MergeSBoxesWithP() {
    const auto images = BitImages<32>(kPermutationP);
    SpTable merged{};
    for (int box = 0; box < 8; ++box) {
        for (int input = 0; input < 64; ++input) {
            const int row = ((input >> 4) & 2) | (input & 1);
            const int column = (input >> 1) & 15;
            const int value = kSBoxes[box][row * 16 + column];
            std::uint32_t out = 0;
            for (int bit = 0; bit < 4; ++bit) {
                if (value & (8 >> bit)) out |= static_cast<std::uint32_t>(images[box * 4 + bit]);
            }
            merged[box][input] = out;
        }
    }
    return merged;
}

constexpr ByteSpread kInitialSpread = SpreadBytes(kInitialPermutation);
constexpr ByteSpread kFinalSpread = SpreadBytes(kFinalPermutation);
constexpr SpTable kSp = MergeSBoxesWithP();

template <std::size_t N>
std::uint64_t Permute(std::uint64_t in, int inWidth, const std::array<std::uint8_t, N>& table) {
    std::uint64_t out = 0;
    for (const int position : table) out = (out << 1) | ((in >> (inWidth - position)) & 1);
    return out;
}

std::uint64_t PermuteBytes(const ByteSpread& spread, std::uint64_t in) {
    std::uint64_t out = 0;
    for (int byte = 0; byte < 8; ++byte) out |= spread[byte][(in >> (56 - 8 * byte)) & 0xFF];
    return out;
}

std::uint32_t Rotate28(std::uint32_t half, int shift) {
    return ((half << shift) | (half >> (28 - shift))) & 0x0FFFFFFF;
}

// The round function: expansion, key mixing, S-boxes and P.
std::uint32_t Feistel(std::uint32_t right, std::uint64_t subkey) {
    std::uint32_t out = 0;
    for (int box = 0; box < 8; ++box) {
        // Box b reads bits 4b .. 4b+5 of R (1-based, wrapping), which the
        // rotation brings to the top.
        const std::uint32_t expanded = (std::rotl(right, 4 * box - 1) >> 26) & 0x3F;
        const auto key = static_cast<std::uint32_t>(subkey >> (42 - 6 * box)) & 0x3F;
        out |= kSp[box][expanded ^ key];
    }
    return out;
}

}  // namespace

DesKeySchedule::DesKeySchedule(const unsigned char key[8], Order order) {
    std::uint64_t bits = 0;
    for (int i = 0; i < 8; ++i) bits = (bits << 8) | key[i];
    const std::uint64_t halves = Permute(bits, 64, kPermutedChoice1);
    auto c = static_cast<std::uint32_t>(halves >> 28);
    auto d = static_cast<std::uint32_t>(halves & 0x0FFFFFFF);
    for (std::size_t round = 0; round < subkeys_.size(); ++round) {
        c = Rotate28(c, kKeyShifts[round]);
        d = Rotate28(d, kKeyShifts[round]);
        subkeys_[round] = Permute((std::uint64_t{c} << 28) | d, 56, kPermutedChoice2);
    }
    if (order == Order::Decrypt) std::reverse(subkeys_.begin(), subkeys_.end());
}

void DesBlock(const DesKeySchedule& schedule, const unsigned char in[8], unsigned char out[8]) {
    std::uint64_t block = 0;
    for (int i = 0; i < 8; ++i) block = (block << 8) | in[i];
    block = PermuteBytes(kInitialSpread, block);
    auto left = static_cast<std::uint32_t>(block >> 32);
    auto right = static_cast<std::uint32_t>(block);
    for (const std::uint64_t subkey : schedule.Subkeys()) {
        const std::uint32_t next = left ^ Feistel(right, subkey);
        left = right;
        right = next;
    }
    // The last round does not swap the halves.
    block = PermuteBytes(kFinalSpread, (std::uint64_t{right} << 32) | left);
    for (int i = 0; i < 8; ++i) out[i] = static_cast<unsigned char>(block >> (56 - 8 * i));
}
