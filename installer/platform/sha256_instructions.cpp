#include "platform/sha256_instructions.h"

#include <cpuid.h>
#include <immintrin.h>

#include <algorithm>
#include <cstring>

namespace {

alignas(16) constexpr std::uint32_t kRoundConstants[64] = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4,
    0xab1c5ed5, 0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe,
    0x9bdc06a7, 0xc19bf174, 0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f,
    0x4a7484aa, 0x5cb0a9dc, 0x76f988da, 0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7,
    0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967, 0x27b70a85, 0x2e1b2138, 0x4d2c6dfc,
    0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85, 0xa2bfe8a1, 0xa81a664b,
    0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070, 0x19a4c116,
    0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7,
    0xc67178f2};

// The compression function over whole 64-byte blocks. The instructions keep
// the eight state words as the pairs ABEF and CDGH, and take the message four
// words at a time: each step of the loop is four rounds, and from the fifth
// on it makes its four words of the schedule from the four before.
__attribute__((target("sha,sse4.1,ssse3"))) void CompressBlocks(std::uint32_t state[8],
                                                                  const unsigned char* data,
                                                                  std::size_t blocks) {
    const __m128i bigEndian = _mm_set_epi64x(0x0c0d0e0f08090a0bLL, 0x0405060700010203LL);
    __m128i dcba = _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<__m128i*>(state)), 0xB1);
    __m128i cdgh = _mm_shuffle_epi32(_mm_loadu_si128(reinterpret_cast<__m128i*>(state + 4)), 0x1B);
    __m128i abef = _mm_alignr_epi8(dcba, cdgh, 8);
    cdgh = _mm_blend_epi16(cdgh, dcba, 0xF0);

    for (; blocks > 0; --blocks, data += 64) {
        const __m128i abefBefore = abef;
        const __m128i cdghBefore = cdgh;
        __m128i words[4];
        // Unrolled, the four words' places are fixed registers: a third
        // faster than the loop.
#pragma GCC unroll 16
        for (int step = 0; step < 16; ++step) {
            __m128i& next = words[step % 4];
            if (step < 4) {
                next = _mm_shuffle_epi8(
                    _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + 16 * step)), bigEndian);
            } else {
                const __m128i& last = words[(step + 3) % 4];
                const __m128i sevenBack = _mm_alignr_epi8(last, words[(step + 2) % 4], 4);
                next = _mm_sha256msg2_epu32(
                    _mm_add_epi32(_mm_sha256msg1_epu32(next, words[(step + 1) % 4]), sevenBack),
                    last);
            }
            const __m128i input = _mm_add_epi32(
                next, _mm_load_si128(reinterpret_cast<const __m128i*>(kRoundConstants + 4 * step)));
            cdgh = _mm_sha256rnds2_epu32(cdgh, abef, input);
            abef = _mm_sha256rnds2_epu32(abef, cdgh, _mm_shuffle_epi32(input, 0x0E));
        }
        abef = _mm_add_epi32(abef, abefBefore);
        cdgh = _mm_add_epi32(cdgh, cdghBefore);
    }

    const __m128i feba = _mm_shuffle_epi32(abef, 0x1B);
    const __m128i dchg = _mm_shuffle_epi32(cdgh, 0xB1);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(state), _mm_blend_epi16(feba, dchg, 0xF0));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(state + 4), _mm_alignr_epi8(dchg, feba, 8));
}

}  // namespace

bool CSha256Instructions::Available() {
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (!__get_cpuid(1, &eax, &ebx, &ecx, &edx)) return false;
    const bool ssse3 = (ecx & bit_SSSE3) != 0;
    const bool sse41 = (ecx & bit_SSE4_1) != 0;
    if (!__get_cpuid_count(7, 0, &eax, &ebx, &ecx, &edx)) return false;
    const bool sha = (ebx & bit_SHA) != 0;
    return ssse3 && sse41 && sha;
}

void CSha256Instructions::Add(const char* bytes, std::size_t count) {
    if (count == 0) return;
    const auto* data = reinterpret_cast<const unsigned char*>(bytes);
    total_ += count;
    if (pendingCount_ > 0) {
        const std::size_t fill = std::min(count, kBlock - pendingCount_);
        std::memcpy(pending_.data() + pendingCount_, data, fill);
        pendingCount_ += fill;
        data += fill;
        count -= fill;
        if (pendingCount_ < kBlock) return;
        CompressBlocks(state_.data(), pending_.data(), 1);
        pendingCount_ = 0;
    }
    CompressBlocks(state_.data(), data, count / kBlock);
    pendingCount_ = count % kBlock;
    std::memcpy(pending_.data(), data + count - pendingCount_, pendingCount_);
}

Sha256Digest CSha256Instructions::Finish() {
    // The padding: a one bit, zeros up to 8 bytes before a block's end, and
    // the message's length in bits, big-endian.
    unsigned char tail[2 * kBlock] = {};
    std::memcpy(tail, pending_.data(), pendingCount_);
    tail[pendingCount_] = 0x80;
    const std::size_t length = pendingCount_ + 9 <= kBlock ? kBlock : 2 * kBlock;
    const std::uint64_t bits = total_ * 8;
    for (int i = 0; i < 8; ++i) tail[length - 1 - i] = static_cast<unsigned char>(bits >> (8 * i));
    CompressBlocks(state_.data(), tail, length / kBlock);

    Sha256Digest digest{};
    for (std::size_t i = 0; i < digest.size(); ++i) {
        digest[i] = static_cast<unsigned char>(state_[i / 4] >> (24 - 8 * (i % 4)));
    }
    return digest;
}
