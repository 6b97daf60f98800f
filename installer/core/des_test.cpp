#include "core/des.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>

namespace {

using Group = std::array<unsigned char, 8>;

Group FromNumber(std::uint64_t value) {
    Group group{};
    for (int i = 0; i < 8; ++i) group[i] = static_cast<unsigned char>(value >> (56 - 8 * i));
    return group;
}

std::uint64_t ToNumber(const Group& group) {
    std::uint64_t value = 0;
    for (const unsigned char byte : group) value = (value << 8) | byte;
    return value;
}

std::uint64_t Transform(std::uint64_t key, DesKeySchedule::Order order, std::uint64_t in) {
    const Group keyBytes = FromNumber(key);
    const DesKeySchedule schedule(keyBytes.data(), order);
    const Group input = FromNumber(in);
    Group output{};
    DesBlock(schedule, input.data(), output.data());
    return ToNumber(output);
}

std::uint64_t Encrypt(std::uint64_t key, std::uint64_t plain) {
    return Transform(key, DesKeySchedule::Order::Encrypt, plain);
}

std::uint64_t Decrypt(std::uint64_t key, std::uint64_t cipher) {
    return Transform(key, DesKeySchedule::Order::Decrypt, cipher);
}

struct KnownAnswer {
    std::uint64_t key;
    std::uint64_t plain;
    std::uint64_t cipher;
};

// Published examples and entries of the NBS/NIST known-answer tables
// (variable plaintext, variable key, S-box and permutation tests).
constexpr KnownAnswer kKnownAnswers[] = {
    {0x133457799BBCDFF1, 0x0123456789ABCDEF, 0x85E813540F0AB405},
    {0x0123456789ABCDEF, 0x4E6F772069732074, 0x3FA40E8A984D4815},
    {0x0E329232EA6D0D73, 0x8787878787878787, 0x0000000000000000},
    {0x0101010101010101, 0x8000000000000000, 0x95F8A5E5DD31D900},
    {0x0101010101010101, 0x4000000000000000, 0xDD7F121CA5015619},
    {0x0101010101010101, 0x0000000000000001, 0x166B40B44ABA4BD6},
    {0x8001010101010101, 0x0000000000000000, 0x95A8D72813DAA94D},
    {0x4001010101010101, 0x0000000000000000, 0x0EEC1487DD8C26D5},
    {0x7CA110454A1A6E57, 0x01A1D6D039776742, 0x690F5B0D9A26939B},
    {0x0131D9619DC1376E, 0x5CD54CA83DEF57DA, 0x7A389D10354BD271},
    {0x1046913489980131, 0x0000000000000000, 0x88D55E54F54C97B4},
};

TEST(DesBlock, MatchesPublishedKnownAnswersBothWays) {
    for (const KnownAnswer& answer : kKnownAnswers) {
        SCOPED_TRACE(testing::Message() << std::hex << "key " << answer.key);
        EXPECT_EQ(Encrypt(answer.key, answer.plain), answer.cipher);
        EXPECT_EQ(Decrypt(answer.key, answer.cipher), answer.plain);
    }
}

// Rivest's test: sixteen alternating encryptions and decryptions, each keyed
// by its own input, reach a published value only if every table is right.
TEST(DesBlock, PassesTheIteratedSelfKeyedChain) {
    std::uint64_t x = 0x9474B8E8C73BCA7D;
    for (int i = 0; i < 16; ++i) x = i % 2 == 0 ? Encrypt(x, x) : Decrypt(x, x);
    EXPECT_EQ(x, 0x1B1A2DDB4C642438u);
}

TEST(DesBlock, KeepsTheComplementationProperty) {
    const std::uint64_t key = 0x3B3898371520F75E;
    const std::uint64_t plain = 0x0123456789ABCDEF;
    EXPECT_EQ(Encrypt(~key, ~plain), ~Encrypt(key, plain));
}

TEST(DesBlock, WeakKeysAreTheirOwnInverse) {
    for (const std::uint64_t key : {0x0101010101010101ull, 0xFEFEFEFEFEFEFEFEull,
                                    0xE0E0E0E0F1F1F1F1ull, 0x1F1F1F1F0E0E0E0Eull}) {
        EXPECT_EQ(Encrypt(key, Encrypt(key, 0x0123456789ABCDEF)), 0x0123456789ABCDEFu);
    }
}

TEST(DesBlock, TransformsInPlace) {
    const Group key = FromNumber(0x133457799BBCDFF1);
    const DesKeySchedule schedule(key.data(), DesKeySchedule::Order::Encrypt);
    Group group = FromNumber(0x0123456789ABCDEF);
    DesBlock(schedule, group.data(), group.data());
    EXPECT_EQ(ToNumber(group), 0x85E813540F0AB405u);
}

TEST(DesKeySchedule, IgnoresParityBitsAndReversesForDecryption) {
    const Group key = FromNumber(0x133457799BBCDFF1);
    const Group flippedParity = FromNumber(0x133457799BBCDFF1 ^ 0x0101010101010101);
    const DesKeySchedule encrypt(key.data(), DesKeySchedule::Order::Encrypt);
    const DesKeySchedule decrypt(key.data(), DesKeySchedule::Order::Decrypt);
    const DesKeySchedule other(flippedParity.data(), DesKeySchedule::Order::Encrypt);

    EXPECT_EQ(other.Subkeys(), encrypt.Subkeys());
    for (std::size_t i = 0; i < 16; ++i) {
        EXPECT_EQ(decrypt.Subkeys()[i], encrypt.Subkeys()[15 - i]);
        EXPECT_LT(encrypt.Subkeys()[i], std::uint64_t{1} << 48);
    }
}

}  // namespace
