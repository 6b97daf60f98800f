#include "terminal_text.h"

#include <gtest/gtest.h>

namespace {

#ifdef _WIN32
TEST(TerminalText, WindowsConsoleSpeaksTheInstallersCodePage) {
    EXPECT_EQ(ToTerminal("\xd6\xd0\xce\xc4"), "\xd6\xd0\xce\xc4");
    EXPECT_EQ(FromTerminal("\xd6\xd0\xce\xc4"), "\xd6\xd0\xce\xc4");
}
#else
TEST(TerminalText, GbkTextsAreShownAsUtf8) {
    EXPECT_EQ(ToTerminal("\xbd\xe2\xc3\xdc\xca\xa7\xb0\xdc\xa3\xba"
                         "CheckSum fail"),
              "\xe8\xa7\xa3\xe5\xaf\x86\xe5\xa4\xb1\xe8\xb4\xa5\xef\xbc\x9a"
              "CheckSum fail");
    EXPECT_EQ(ToTerminal(""), "");
}

TEST(TerminalText, BytesThatAreNotGbkShowAsQuestionMarks) {
    EXPECT_EQ(ToTerminal("a\xff"
                         "b\xd6"),
              "a?b?");
    EXPECT_EQ(ToTerminal(std::string(3000, 'x') + "\xff"), std::string(3000, 'x') + "?");
}

TEST(TerminalText, CommandLineTextsBecomeGbk) {
    EXPECT_EQ(FromTerminal("\xe5\xaf\x86\xe9\x92\xa5"
                           "12"),
              "\xc3\xdc\xd4\xbf"
              "12");
    EXPECT_EQ(FromTerminal(std::string(5000, 'k')), std::string(5000, 'k'));
}

TEST(TerminalText, CommandLineTextsWithoutAGbkFormAreRefused) {
    EXPECT_EQ(FromTerminal("\xf0\x9f\x98\x80"), std::nullopt);  // an emoji
    EXPECT_EQ(FromTerminal("bad \xff utf-8"), std::nullopt);
}
#endif

}  // namespace
