#include "operations/plain_file_name.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(PlainFileName, AcceptsOneFileOfAFolderAndNothingElse) {
    // Plain literals are GBK here: 安装 is four bytes; 媆 is 8B 5C, whose
    // second byte is a backslash only to a reader of single bytes.
    const std::string hundredChinese = [] {
        std::string name;
        for (int i = 0; i < 100; ++i) name += "装";
        return name;
    }();
    struct Case {
        std::string name;
        bool accepted;
    };
    const Case cases[] = {
        {"RUV_installer.EXE", true},
        {"setup", true},
        {".hidden", true},
        {"a b.exe", true},
        {"安装.exe", true},
        {"媆.exe", true},
        {"CONSOLE.exe", true},
        {"COM10", true},
        {"nul_file.txt", true},
        {std::string(200, 'a'), true},
        {hundredChinese, true},

        {"", false},
        {std::string("a\0b.exe", 7), false},
        {"x:stream", false},
        {"setup.exe:hidden", false},
        {"C:evil.exe", false},
        {"COM1.txt", false},
        {"lpt9", false},
        {"Con", false},
        {"nul.tar.gz", false},
        {"AUX .txt", false},
        {"prn", false},
        {"a.", false},
        {"a ", false},
        {".", false},
        {"..", false},
        {"a/b", false},
        {"a\\b", false},
        {"..\\..\\evil.dll", false},
        {"\"setup.exe\"", false},
        {"set*.exe", false},
        {"set?.exe", false},
        {"a<b", false},
        {"a>b", false},
        {"a|b", false},
        {"tab\t.exe", false},
        {"line\n", false},
        {"\x1f", false},
        {"del\x7f", false},
        {std::string(201, 'a'), false},
        {hundredChinese + "a", false},
        {"\x81", false},  // a lead byte without its second byte
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsPlainFileName(c.name), c.accepted) << "\"" << c.name << "\"";
    }
}

}  // namespace
