#include "platform/text_conversion.h"

#include <gtest/gtest.h>

namespace {

const std::string kTimeoutGbk = "\xd4\xcb\xd0\xd0\xb3\xac\xca\xb1";  // 运行超时
const std::string kTimeoutUtf8 = "\xe8\xbf\x90\xe8\xa1\x8c\xe8\xb6\x85\xe6\x97\xb6";

TEST(TextConversion, GbkTextRoundTripsThroughUtf8AndWide) {
    EXPECT_EQ(AnsiToUtf8(kTimeoutGbk), kTimeoutUtf8);

    std::wstring wide;
    ASSERT_TRUE(AnsiToWide(kTimeoutGbk, wide));
    EXPECT_EQ(wide, L"\u8fd0\u884c\u8d85\u65f6");

    std::string back = "stale";
    ASSERT_TRUE(WideToAnsi(wide, back));
    EXPECT_EQ(back, kTimeoutGbk);
}

TEST(TextConversion, AsciiIsUnchangedInEveryDirection) {
    const std::string ascii = "RUVI ruvinstall 1.0.0.1";
    EXPECT_EQ(AnsiToUtf8(ascii), ascii);
    std::wstring wide;
    ASSERT_TRUE(AnsiToWide(ascii, wide));
    EXPECT_EQ(wide, L"RUVI ruvinstall 1.0.0.1");
    std::string back;
    ASSERT_TRUE(WideToAnsi(wide, back));
    EXPECT_EQ(back, ascii);
}

TEST(TextConversion, EmbeddedZeroEndsTheUtf8Result) {
    EXPECT_EQ(AnsiToUtf8(std::string("ab\0cd", 5)), "ab");
}

TEST(TextConversion, EmptyInputsGiveEmptyResults) {
    EXPECT_EQ(AnsiToUtf8(""), "");
    std::wstring wide = L"stale";
    EXPECT_TRUE(AnsiToWide("", wide));
    EXPECT_EQ(wide, L"");
    std::string narrow = "stale";
    EXPECT_TRUE(WideToAnsi(L"", narrow));
    EXPECT_EQ(narrow, "");
}

}  // namespace
