#include <gtest/gtest.h>
#include <string>
#include "net/random_bytes.h"
TEST(Toolchain, GbkLiterals) {
    const std::string text = "运行超时";
    EXPECT_EQ(text, "\xd4\xcb\xd0\xd0\xb3\xac\xca\xb1");
    unsigned char b[16] = {};
    FillRandomBytes(b, sizeof b);
}
