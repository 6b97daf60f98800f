#include "core/file_declaration.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(FileDeclaration, SizeIsDecimalDigitsWithin64Bits) {
    const struct {
        const char* text;
        std::optional<std::uint64_t> size;
    } cases[] = {
        {"0", 0},
        {"300001", 300001},
        {"007", 7},
        {"18446744073709551615", 18446744073709551615u},
        {"18446744073709551616", std::nullopt},
        {"", std::nullopt},
        {"+5", std::nullopt},
        {"-5", std::nullopt},
        {" 5", std::nullopt},
        {"5 ", std::nullopt},
        {"5k", std::nullopt},
        {"0x10", std::nullopt},
        {"1e3", std::nullopt},
    };
    for (const auto& c : cases) EXPECT_EQ(DeclaredSize(c.text), c.size) << '"' << c.text << '"';
}

TEST(FileDeclaration, Sha256IsExactly64HexDigitsOfEitherCase) {
    const std::string lower = "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";
    const std::string upper = "BA7816BF8F01CFEA414140DE5DAE2223B00361A396177A9CB410FF61F20015AD";
    const auto digest = DeclaredSha256(lower);
    ASSERT_TRUE(digest.has_value());
    EXPECT_EQ((*digest)[0], 0xba);
    EXPECT_EQ((*digest)[31], 0xad);
    EXPECT_EQ(DeclaredSha256(upper), digest);
    EXPECT_EQ(DeclaredSha256(upper.substr(0, 32) + lower.substr(32)), digest);

    const std::string spaced = " a7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad";
    for (const std::string& text : {std::string(), lower.substr(1), lower + "0", spaced,
                                    lower.substr(0, 63) + "g", lower.substr(0, 62) + "\xa3\xb0"}) {
        EXPECT_FALSE(DeclaredSha256(text).has_value()) << '"' << text << '"';
    }
}

}  // namespace
