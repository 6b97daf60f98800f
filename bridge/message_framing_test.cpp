// Messages as browsers frame them, and everything a hostile or broken
// sender can make of the frame.

#include "message_framing.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

std::string Frame(uint32_t length, const std::string& body) {
    std::string bytes;
    for (int i = 0; i < 4; ++i) {
        bytes += char((length >> (8 * i)) & 0xFF);
    }
    return bytes + body;
}

TEST(MessageFraming, ReadsOneMessageOfAtMostFourKibibytes) {
    const std::string fourKiB(kMaxMessageBytes, 'x');
    const struct {
        const char* name;
        std::string bytes;
        std::optional<std::string> message;
    } cases[] = {
        {"a message", Frame(5, "hello"), "hello"},
        {"an empty message", Frame(0, ""), ""},
        {"exactly 4 KiB", Frame(4096, fourKiB), fourKiB},
        {"bytes after the message stay unread", Frame(2, "hiXYZ"), "hi"},
        {"over 4 KiB", Frame(4097, fourKiB + "x"), std::nullopt},
        {"a length read the wrong way round", std::string("\0\0\0\x05hello", 9), std::nullopt},
        {"the largest length", Frame(0xFFFFFFFF, "hello"), std::nullopt},
        {"a length longer than what follows", Frame(10, "abc"), std::nullopt},
        {"half a length", std::string("\x05\0", 2), std::nullopt},
        {"nothing at all", "", std::nullopt},
    };
    for (const auto& test : cases) {
        std::istringstream in(test.bytes);
        EXPECT_EQ(ReadMessage(in), test.message) << test.name;
    }
}

TEST(MessageFraming, WritesTheLengthLeastSignificantByteFirst) {
    std::ostringstream out;
    ASSERT_TRUE(WriteMessage(out, std::string(0x123, 'a')));
    EXPECT_EQ(out.str(), Frame(0x123, std::string(0x123, 'a')));
    EXPECT_EQ(out.str().substr(0, 4), std::string("\x23\x01\0\0", 4));

    std::ostringstream closed;
    closed.setstate(std::ios::badbit);
    EXPECT_FALSE(WriteMessage(closed, "{}"));
}

}  // namespace
